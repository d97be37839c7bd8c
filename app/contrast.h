#pragma once

#include <windows.h>

// The window's colours under a contrast theme, where the person has chosen every colour pair:
// no picture behind the text, and the theme's window, text and hyperlink colours.
namespace pellumar::app {

bool HighContrastOn();

struct ContrastColours {
  HBRUSH background;  // the system's own brush: never deleted
  COLORREF text, link;
};
ContrastColours ThemeColours();

}  // namespace pellumar::app
