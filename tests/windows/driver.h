#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/layout.h"

namespace pellumar::testing {

// Polls `condition` until it holds or `milliseconds` pass.
template <typename Condition>
bool WaitFor(Condition condition, DWORD milliseconds = 10000) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() > end) return false;
    Sleep(20);
  }
}

std::u16string WindowText(HWND window);

// The real Pellumar.exe, started in its own process and driven the way a user would: texts
// typed into the boxes, posted clicks, dialogs found and answered.
class Program {
 public:
  Program();
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  HWND window() const { return window_; }
  HWND Control(app::ControlId id) const;
  bool Alive() const;

  void Type(app::ControlId box, std::u16string_view text);
  std::u16string Text(app::ControlId control) const;
  void Click(app::ControlId button);
  // Returns once the program has handled everything sent before, or is showing a dialog.
  void Sync() const;
  // Returns once the program has taken every message posted before, a click among them: a
  // message box the click shows is open by then.
  void Taken() const;
  void ClickLink();

  // A person's own input through the system's queue, the window brought to the front: it moves
  // this machine's mouse and types on its keyboard, so only throwaway-machine tests use it.
  void DoubleClick(app::ControlId control);
  void PressKey(WORD key);
  void TypeKeys(std::u16string_view text);
  // The control that has the keyboard focus in the program, or null.
  HWND Focus() const;

  // The process's dialog with this title (a message box: "Pellumar"), or null after a wait.
  HWND WaitForDialog(std::u16string_view title, DWORD milliseconds = 10000) const;
  // True when no dialog of the process is open once it has taken what was posted before.
  bool NoDialog() const;
  // Waits for a message box, returns its text and presses its OK button.
  std::u16string TakeMessage();
  // Whether the last message taken showed an icon, and how many buttons it had.
  bool lastMessageIcon = false;
  int lastMessageButtons = 0;

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

// The dialog of that process with this title, or null after a wait.
HWND WaitForDialogOf(DWORD processId, std::u16string_view title, DWORD milliseconds = 10000);

// Answers an open-file dialog: types `name` and presses Open, or cancels when `name` is empty.
// True once the dialog has closed.
bool AnswerOpenDialog(HWND dialog, std::u16string_view name);

// The folder of the test program, with a trailing separator.
std::u16string TestFolder();

}  // namespace pellumar::testing
