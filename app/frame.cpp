#include "app/frame.h"

#include "app/dpi.h"
#include "app/layout.h"

namespace pellumar::app {

RECT FrameFor(const WindowScale& scale) {
  return WindowRectForClient({scale.Pixels(kClientWidth), scale.Pixels(kClientHeight)}, kFormStyle,
                             0, scale.dpi);
}

RECT CentredFrame(const WindowScale& scale) {
  const RECT frame = FrameFor(scale);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int left = work.left + (work.right - work.left - width) / 2;
  const int top = work.top + (work.bottom - work.top - height) / 2;
  return {left, top, left + width, top + height};
}

}  // namespace pellumar::app
