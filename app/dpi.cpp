#include "app/dpi.h"

#include "app/gdi.h"
#include "shell/system_dlls.h"

namespace pellumar::app {

UINT SystemDpi() {
  const WindowDc screen(nullptr);
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

UINT DpiOf(HWND window) {
  const UINT dpi = shell::system::GetDpiForWindow(window);
  return dpi ? dpi : SystemDpi();
}

RECT WindowRectForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi) {
  RECT rect{0, 0, client.cx, client.cy};
  if (!shell::system::AdjustWindowRectExForDpi(&rect, style, FALSE, exStyle, dpi)) {
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
  return rect;
}

int SystemMetric(int metric, UINT dpi) {
  if (const int value = shell::system::GetSystemMetricsForDpi(metric, dpi)) return value;
  return MulDiv(GetSystemMetrics(metric), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

LOGFONTW MessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (shell::system::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics,
                                                0, dpi)) {
    return metrics.lfMessageFont;
  }
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return font;
  }
  LOGFONTW font{};
  font.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, L"Segoe UI", LF_FACESIZE);
  return font;
}

}  // namespace pellumar::app
