#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/services.h"

namespace pellumar::shell {

// The program's name: the window's caption and the title of its messages.
inline constexpr wchar_t kAppTitle[] = L"Pellumar";

// What the shell is told of each shortcut written or deleted (SHChangeNotify), so the desktop
// shows the change. Sent at once, or, for a window, kept until its click is over: the notice
// costs as much as a tenth of the click under Wine, and the window should answer first.
class ShellNotices {
 public:
  explicit ShellNotices(bool deferred) : deferred_(deferred) {}
  void Add(long event, std::u16string path);
  void Send();
  bool Pending() const { return !notices_.empty(); }

  // The last change on the desktop, for a screen reader: none, a shortcut written, or one sent
  // away from `deletedFrom`, whose words depend on its drive and are asked for only when said.
  enum class Change { None, Created, Deleted };
  Change change = Change::None;
  std::u16string deletedFrom;

 private:
  struct Notice {
    long event;
    std::u16string path;
  };
  bool deferred_;
  std::vector<Notice> notices_;
};

// The platform operations on the shell's own APIs. COM must be started on the calling thread
// (see ComApartment).
class WindowsServices final : public Services {
 public:
  // Messages are modal to `owner`, which may be null. With an owner the shell's notices wait
  // for SendShellNotices, which the window calls once the click is over; without, they go at once.
  explicit WindowsServices(HWND owner = nullptr) : owner_(owner), notices_(owner != nullptr) {}
  WindowsServices(const WindowsServices&) = delete;
  WindowsServices& operator=(const WindowsServices&) = delete;

  std::unique_ptr<ShellObject> CreateShellObject() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject(std::u16string_view desktop) override;
  void MsgBox(std::u16string_view prompt) override;

  bool ShellNoticesPending() const { return notices_.Pending(); }
  // What the commands since the last call changed on the desktop, in the words a screen reader
  // says: empty when nothing changed.
  std::u16string_view TakeChange();
  void ForgetChange() { notices_.change = ShellNotices::Change::None; }
  void SendShellNotices() { notices_.Send(); }

 private:
  HWND owner_;
  ShellNotices notices_;
};

// The open-file dialog on the shell's dialog object, modal to `owner`. Shortcut files are returned
// as themselves, not followed to their targets.
std::unique_ptr<CommonDialog> CreateCommonDialog(HWND owner);

// Hands `address` to the shell's default handler for it, in the system's code page, with no
// owner window: the browser is a program of its own, and a message the shell may show about
// the address stands on its own instead of blocking the window. Whether it opened is not known.
void OpenWithDefaultHandler(std::u16string_view address);

// Whether a folder is at `path`.
bool IsFolder(const std::u16string& path);

// The system's reason for a Win32 error or HRESULT, in words, or by its number where the
// system has none.
std::u16string SystemReason(DWORD code);
// The system's words for a Win32 error or HRESULT; empty where it has none.
std::u16string SystemText(DWORD code);

}  // namespace pellumar::shell
