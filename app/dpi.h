#pragma once

#include <windows.h>

// DPI functions of newer Windows, looked up at run time so the program still starts where
// they are missing; each falls back to the system-wide DPI.
namespace pellumar::app {

inline constexpr UINT kDefaultDpi = 96;

UINT DpiOf(HWND window);
RECT WindowRectForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);
// The system's message font at `dpi`.
LOGFONTW MessageFont(UINT dpi);

inline int Scale(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), kDefaultDpi); }
inline int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

}  // namespace pellumar::app
