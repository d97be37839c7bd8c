#pragma once

#include <windows.h>

// The window while a click's work runs. A command on a slow desktop (a network share, a virus
// scan, a full Recycle Bin) can take seconds, and the window cannot answer meanwhile: the wait
// cursor says so, and what was clicked or typed at it in that time is dropped once the work is
// done, not run after it, where a second Create would recycle the shortcut just written and a
// second Delete would say it is gone. Its own messages and an open dialog take their input as
// ever.
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
