#include "app/fonts.h"

#include <algorithm>
#include <string>

#include "shell/wide.h"

namespace pellumar::app {
namespace {

using shell::Wide;

// "MS Sans Serif" 8.25 pt bold in the Arabic character set, the labels' font. Windows has that
// face only as a bitmap font without the set, so the font mapper answers with whichever
// installed face has it; how wide the captions come out varies from machine to machine.
constexpr BYTE kArabicCharset = 178;

LOGFONTW LabelFont(const WindowScale& scale) {
  LOGFONTW font{};
  font.lfHeight = scale.Grow(-MulDiv(825, static_cast<int>(scale.dpi), 7200));
  font.lfWeight = FW_BOLD;
  font.lfCharSet = kArabicCharset;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynW(font.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
  return font;
}

}  // namespace

bool IsBoldLabel(ControlId id) {
  return id == ControlId::Label1 || id == ControlId::Label2 || id == ControlId::lblIcon;
}

UniqueFont LabelFontThatFits(HWND window, const WindowScale& scale) {
  const LOGFONTW asked = LabelFont(scale);
  LOGFONTW anyCharset = asked;
  anyCharset.lfCharSet = DEFAULT_CHARSET;
  LOGFONTW trueType = anyCharset;  // the TrueType face that followed the bitmap one
  lstrcpynW(trueType.lfFaceName, L"Microsoft Sans Serif", LF_FACESIZE);
  LOGFONTW tahoma = anyCharset;
  lstrcpynW(tahoma.lfFaceName, L"Tahoma", LF_FACESIZE);

  UniqueFont best;
  LONG bestExcess = 0;
  for (const LOGFONTW& candidate : {asked, anyCharset, trueType, tahoma}) {
    UniqueFont font(CreateFontIndirectW(&candidate));
    LONG excess = 0;  // how far the widest caption overflows its label
    for (const ControlSpec& control : kControls) {
      if (!IsBoldLabel(control.id)) continue;
      const SIZE size = TextExtent(window, font.get(), Wide(std::u16string(control.text)),
                                   static_cast<int>(control.text.size()));
      excess = std::max(excess, size.cx - scale.Pixels(control.width));
    }
    if (excess <= 0) return font;
    if (!best || excess < bestExcess) {
      best = std::move(font);
      bestExcess = excess;
    }
  }
  return best;
}

}  // namespace pellumar::app
