#include "app/busy_window.h"

#include <utility>
#include <vector>

namespace pellumar::app {
namespace {

// The messages a click's work drops when they were queued meanwhile, all between these two.
constexpr UINT kFirstInput = WM_NCMOUSEMOVE, kLastInput = 0x024F;  // WM_POINTERHWHEEL
constexpr UINT kGesture = 0x0119, kGestureNotify = 0x011A, kTouch = 0x0240;

bool IsInput(UINT message) {
  return (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == BM_CLICK ||
         (message >= WM_KEYFIRST && message <= WM_KEYLAST) || message == kGesture ||
         message == kGestureNotify || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= kTouch && message <= kLastInput);  // and the WM_POINTER* messages
}

// Drops the input queued before `end`, an assistive tool's clicks included; what came later,
// and the quit message of a window closed meanwhile, stay. Most clicks find nothing waiting and
// look no further: a look answers what other programs sent meanwhile (under Wine whatever the
// flags say), and a driver told the window is ready may already be clicking again.
void DropInputQueuedBefore(DWORD end) {
  if (HIWORD(GetQueueStatus(QS_INPUT | QS_ALLPOSTMESSAGE)) == 0) return;
  for (const UINT queue : {PM_QS_INPUT, PM_QS_POSTMESSAGE}) {
    // Each queue is in the order its messages came: within a range of messages, the first one
    // found is the oldest, and a new one ends that range's search. A message that is not input
    // splits its range around itself.
    std::vector<std::pair<UINT, UINT>> ranges{{kFirstInput, kLastInput}};
    while (!ranges.empty()) {
      const auto [first, last] = ranges.back();
      ranges.pop_back();
      MSG message{};
      if (!PeekMessageW(&message, nullptr, first, last, PM_NOREMOVE | queue) ||
          message.message == WM_QUIT || static_cast<LONG>(message.time - end) >= 0) {
        continue;
      }
      const UINT found = message.message;
      if (IsInput(found) && PeekMessageW(&message, message.hwnd, found, found, PM_REMOVE | queue)) {
        // Never the quit message, which every look may return: it is put back.
        if (message.message == WM_QUIT) PostQuitMessage(static_cast<int>(message.wParam));
        ranges.emplace_back(first, last);
      } else {
        if (found > first) ranges.emplace_back(first, found - 1);
        if (found < last) ranges.emplace_back(found + 1, last);
      }
    }
  }
}

}  // namespace

BusyWindow::BusyWindow(HCURSOR waitCursor, bool& busy)
    : busy_(busy), previousCursor_(SetCursor(waitCursor)) {
  busy_ = true;
}

BusyWindow::~BusyWindow() {
  DropInputQueuedBefore(GetTickCount());
  SetCursor(previousCursor_);
  busy_ = false;
}

}  // namespace pellumar::app
