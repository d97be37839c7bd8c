#pragma once

#include <windows.h>

#include "app/dpi.h"

// The window's scale: the DPI of its monitor, and how much larger than at 100 % the person's
// Text size setting (Settings > Accessibility > Text size, up to 225 %) makes the system's
// message font at that DPI. The window grows with that font as a dialog grows with its own:
// its client size, every control's place and size, and the labels' font. At 100 % text (or a
// message font smaller than Windows' own at 100 %) it is the design scaled by the DPI alone.
namespace pellumar::app {

struct WindowScale {
  UINT dpi = kDefaultDpi;
  // The message font's height in pixels now, and at 100 % text.
  int fontHeight = 1, standardFontHeight = 1;

  int Grow(int pixels) const { return MulDiv(pixels, fontHeight, standardFontHeight); }
  int Pixels(int twips) const { return Grow(TwipsToPixels(twips, dpi)); }
  bool operator==(const WindowScale& other) const {
    return dpi == other.dpi &&
           fontHeight * other.standardFontHeight == other.fontHeight * standardFontHeight;
  }
};

WindowScale ScaleAt(UINT dpi);

}  // namespace pellumar::app
