#pragma once

#include <windows.h>

#include <string>

#include "shell/services.h"

namespace pellumar::shell {

// The program's name: the window's caption and the title of its messages.
inline constexpr wchar_t kAppTitle[] = L"Pellumar";

// The platform operations on the shell's own APIs. COM must be started on the calling thread
// (see ComApartment).
class WindowsServices final : public Services {
 public:
  // Messages are modal to `owner`, which may be null.
  explicit WindowsServices(HWND owner = nullptr) : owner_(owner) {}
  WindowsServices(const WindowsServices&) = delete;
  WindowsServices& operator=(const WindowsServices&) = delete;

  std::unique_ptr<ShellObject> CreateShellObject() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  void MsgBox(std::u16string_view prompt) override;

 private:
  HWND owner_;
};

// The open-file dialog on the shell's dialog object, modal to `owner`. Shortcut files are returned
// as themselves, not followed to their targets.
std::unique_ptr<CommonDialog> CreateCommonDialog(HWND owner);

// The system's reason for a Win32 error or HRESULT, in words.
std::u16string SystemReason(DWORD code);

}  // namespace pellumar::shell
