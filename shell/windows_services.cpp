#include "shell/windows_services.h"

#include <shlobj.h>

#include <string>

#include "shell/file_system.h"
#include "shell/shell_link.h"
#include "shell/step_times.h"
#include "shell/system_dlls.h"
#include "shell/wide.h"

namespace pellumar::shell {

std::unique_ptr<ShellObject> WindowsServices::CreateShellObject() { return CreateShell(); }

std::unique_ptr<FileSystemObject> WindowsServices::CreateFileSystemObject(
    std::u16string_view desktop) {
  return CreateFileSystem(owner_, std::u16string(desktop));
}

void WindowsServices::MsgBox(std::u16string_view prompt) {
  MessageBoxW(owner_, Wide(std::u16string(prompt)), kAppTitle, MB_OK | MB_APPLMODAL);
}

void TellShell(const Changes& changes) {
  PELLUMAR_STEP("after the click: the shell told");
  for (const Change& change : changes) {
    const LONG event = change.kind == Change::Kind::Created   ? SHCNE_CREATE
                       : change.kind == Change::Kind::Updated ? SHCNE_UPDATEITEM
                                                              : SHCNE_DELETE;
    system::SHChangeNotify(event, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, Wide(change.path), nullptr);
  }
}

void OpenWithDefaultHandler(std::u16string_view address) {
  const std::u16string wide(address);
  const int length = WideCharToMultiByte(CP_ACP, 0, Wide(wide), -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return;
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, Wide(wide), -1, ansi.data(), length, nullptr, nullptr);
  system::ShellExecuteA(nullptr, nullptr, ansi.data(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace pellumar::shell
