#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "shell/services.h"

namespace pellumar::shell {

// The program's name: the window's caption and the title of its messages.
inline constexpr wchar_t kAppTitle[] = L"Pellumar";

// The platform operations on the shell's own APIs. COM must be started on the calling thread
// (see ComApartment).
class WindowsServices final : public Services {
 public:
  // Messages, and the question before a delete for good, are modal to `owner`, which may be null.
  explicit WindowsServices(HWND owner = nullptr) : owner_(owner) {}

  std::unique_ptr<ShellObject> CreateShellObject() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject(std::u16string_view desktop) override;
  void MsgBox(std::u16string_view prompt) override;

 private:
  HWND owner_;
};

// Tells the shell of each change, so the desktop shows it: not every shell tells itself.
void TellShell(const Changes& changes);

// Hands `address` to the shell's default handler for it, in the system's code page, with no
// owner window: the browser is a program of its own, and a message the shell may show about
// the address stands on its own instead of blocking the window. Whether it opened is not known.
void OpenWithDefaultHandler(std::u16string_view address);

}  // namespace pellumar::shell
