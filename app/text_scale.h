#pragma once

#include <windows.h>

#include "app/dpi.h"

// The window's scale: its monitor's DPI, and how much the Text size setting enlarges the
// message font there. The window grows with that font as a dialog grows with its own; at 100 %
// it is the design scaled by the DPI alone.
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
