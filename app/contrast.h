#pragma once

#include <windows.h>

// The window's colours under a contrast theme (High Contrast Black or White on Windows 10;
// Aquatic, Desert, Dusk or Night sky on Windows 11). The person has chosen every colour pair
// then: the window paints its background in the theme's window colour instead of the picture,
// which no text may stand on, its labels in the theme's text colour and the credit in its
// hyperlink colour. The boxes and buttons are the system's and follow the theme themselves.
namespace pellumar::app {

// Whether a contrast theme is on.
bool HighContrastOn();

struct ContrastColours {
  HBRUSH background;  // the system's own brush: never deleted
  COLORREF text, link;
};
ContrastColours ThemeColours();

}  // namespace pellumar::app
