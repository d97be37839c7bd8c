#pragma once

#include <windows.h>

// The window while a click's work runs, which can take seconds on a slow desktop: the wait
// cursor shows it, and input that reached the window meanwhile is dropped, not run after it,
// where a second Create would recycle the shortcut just written.
namespace pellumar::app {

class BusyWindow {
 public:
  // Shows `waitCursor` and sets `busy` until the object goes, however its scope is left.
  BusyWindow(HCURSOR waitCursor, bool& busy);
  ~BusyWindow();
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

 private:
  bool& busy_;
  HCURSOR previousCursor_;
};

}  // namespace pellumar::app
