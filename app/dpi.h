#pragma once

#include <windows.h>

// The DPI of a window and what follows from it. The per-window DPI functions of Windows 10 are
// bound at run time (shell/system_dlls.h); where they are missing, the system-wide DPI is used.
namespace pellumar::app {

inline constexpr UINT kDefaultDpi = 96;

UINT DpiOf(HWND window);
// The scale the system starts programs at, before they have a window of their own.
UINT SystemDpi();
RECT WindowRectForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);
// A size the system gives in pixels (SM_CXICON ...), at `dpi`.
int SystemMetric(int metric, UINT dpi);
// The system's message font at `dpi`.
LOGFONTW MessageFont(UINT dpi);

inline int Scale(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), kDefaultDpi); }
inline constexpr int kTwipsPerInch = 1440;

inline int TwipsToPixels(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

}  // namespace pellumar::app
