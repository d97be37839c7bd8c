#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

// What a screen reader is told of the window beyond what its controls say themselves: a name of
// its own for each Browse button (both are captioned "Browse") and what it picks, that the
// credit is a link, and, since success shows nothing on the screen, what a command did.
namespace pellumar::shell {

class ScreenReader {
 public:
  virtual ~ScreenReader() = default;
  // The name `control` is announced by, in place of its caption.
  virtual void Name(HWND control, std::u16string_view name) = 0;
  // What is said of `control` after its name.
  virtual void Describe(HWND control, std::u16string_view description) = 0;
  // `label` is a link whose default action opens its page.
  virtual void MarkAsLink(HWND label) = 0;
  // Whether anything listens for what Announce says: what nobody hears is not worked out.
  virtual bool Listening() = 0;
  // Said once by a screen reader, shown nowhere.
  virtual void Announce(HWND window, std::u16string_view text) = 0;
  // The answer to WM_GETOBJECT for `window`, or 0 where the system answers.
  virtual LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam) = 0;
  // `window` is going: what was answered for it is let go, and what was said of its controls
  // taken back.
  virtual void Forget(HWND window) = 0;
};

// The system's accessibility services (annotations through IAccPropServices, notifications
// through UI Automation), bound at run time: where Windows lacks one, that part does nothing.
std::unique_ptr<ScreenReader> SystemScreenReader();

}  // namespace pellumar::shell
