#include "shell/shell_link.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <string>
#include <string_view>
#include <utility>

#include "shell/file_system.h"
#include "shell/owners.h"
#include "shell/shell_error.h"
#include "shell/step_times.h"
#include "shell/system_dlls.h"
#include "shell/system_error.h"
#include "shell/wide.h"

namespace pellumar::shell {
namespace {

using Microsoft::WRL::ComPtr;

std::u16string KnownFolder(REFKNOWNFOLDERID folder, std::u16string_view requested) {
  PELLUMAR_STEP("click: desktop looked up");
  PWSTR path = nullptr;
  const HRESULT hr = system::SHGetKnownFolderPath(folder, KF_FLAG_DEFAULT, nullptr, &path);
  const CoTaskText owned(path);
  Check(hr, Operation::SpecialFolders, requested);
  return FromWide(path);
}

class Shortcut final : public ShortcutObject {
 public:
  Shortcut(std::u16string path, std::u16string_view desktop)
      : path_(std::move(path)), systemPath_(SpelledAsReported(path_, desktop)) {
    PELLUMAR_STEP("click: shell link created");
    Check(system::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&link_)),
          Operation::CreateShortcut, path_);
  }

  void TargetPath(std::u16string_view target) override {
    PELLUMAR_STEP("click: SetPath");
    Check(link_->SetPath(Wide(std::u16string(target))), Operation::TargetPath, path_);
  }

  void IconLocation(std::u16string_view iconPath) override {
    Check(link_->SetIconLocation(Wide(std::u16string(iconPath)), 0), Operation::IconLocation,
          path_);
  }

  Change Save() override {
    ComPtr<IPersistFile> file;
    Check(link_.As(&file), Operation::Save, path_);
    DWORD error = ERROR_SUCCESS;
    const bool existed = [&] {
      PELLUMAR_STEP("click: checks on disk");
      return IsFile(systemPath_, &error);
    }();
    {
      PELLUMAR_STEP("click: Save");
      const HRESULT saved = file->Save(Wide(systemPath_), TRUE);
      if (FAILED(saved)) {
        const auto code = static_cast<DWORD>(saved);
        RaiseRefusedChange(Operation::Save, path_, systemPath_, SystemReason(code), code, code);
      }
    }
    // A save can report success and leave nothing behind; a shortcut that is not on disk
    // must never pass for one that is.
    PELLUMAR_STEP("click: checks on disk");
    if (!IsFile(systemPath_, &error)) {
      throw ShellError(Operation::Save, path_,
                       u"The system reported the shortcut saved, but it is not on disk.", error);
    }
    return {existed ? Change::Kind::Updated : Change::Kind::Created, systemPath_};
  }

 private:
  std::u16string path_;        // as the commands made it, for messages
  std::u16string systemPath_;  // as the system is handed it
  ComPtr<IShellLinkW> link_;
};

class Shell final : public ShellObject {
 public:
  std::u16string SpecialFolders(std::u16string_view folder) override {
    if (folder == u"Desktop") return KnownFolder(FOLDERID_Desktop, folder);
    if (folder == u"AllUsersDesktop") return KnownFolder(FOLDERID_PublicDesktop, folder);
    throw ShellError(Operation::SpecialFolders, std::u16string(folder),
                     u"This folder is not known.", 0);
  }

  std::unique_ptr<ShortcutObject> CreateShortcut(std::u16string_view path,
                                                 std::u16string_view desktop) override {
    return std::make_unique<Shortcut>(std::u16string(path), desktop);
  }
};

}  // namespace

std::unique_ptr<ShellObject> CreateShell() { return std::make_unique<Shell>(); }

}  // namespace pellumar::shell
