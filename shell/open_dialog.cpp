#include "shell/open_dialog.h"

#include <shobjidl.h>
#include <wrl/client.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/dialog_filter.h"
#include "shell/owners.h"
#include "shell/shell_error.h"
#include "shell/system_dlls.h"
#include "shell/system_error.h"
#include "shell/wide.h"

namespace pellumar::shell {
namespace {

using Microsoft::WRL::ComPtr;

// The open-file dialog makes the folder it showed last the process's current folder, whatever
// its flags say; a program holding a USB stick's or a network share's folder keeps it from
// being removed. This puts the current folder back when the dialog is done, on every path.
class KeepCurrentFolder {
 public:
  KeepCurrentFolder() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    folder_.resize(length);
    const DWORD written = length ? GetCurrentDirectoryW(length, folder_.data()) : 0;
    folder_.resize(written < length ? written : 0);
  }
  ~KeepCurrentFolder() {
    if (!folder_.empty()) SetCurrentDirectoryW(folder_.c_str());
  }
  KeepCurrentFolder(const KeepCurrentFolder&) = delete;
  KeepCurrentFolder& operator=(const KeepCurrentFolder&) = delete;

 private:
  std::wstring folder_;
};

// The shell's dialog object rather than GetOpenFileNameW: since Windows 7 the older dialog
// ignores the start folder it is given once it is the one given the first time, and opens in
// the folder last picked instead; SetFolder applies every time.
class OpenFileDialog final : public CommonDialog {
 public:
  explicit OpenFileDialog(HWND owner) : owner_(owner) {}

  void DialogTitle(std::u16string_view title) override { title_ = title; }
  void CancelError(bool raise) override { cancelError_ = raise; }
  void Filter(std::u16string_view filter) override { filter_ = filter; }
  void InitDir(std::u16string_view folder) override { initDir_ = folder; }
  void ClientGuid(const Guid& guid) override {
    static_assert(sizeof(Guid) == sizeof(GUID));
    std::memcpy(&client_, &guid, sizeof client_);
    hasClient_ = true;
  }
  std::u16string FileName() const override { return fileName_; }

  void ShowOpen() override {
    const KeepCurrentFolder keep;
    fileName_.clear();
    ComPtr<IFileOpenDialog> dialog;
    Check(system::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&dialog)),
          Operation::ShowOpen, u"");
    FILEOPENDIALOGOPTIONS options = 0;
    Check(dialog->GetOptions(&options), Operation::ShowOpen, u"");
    // A shortcut is returned as itself, not followed to its target; no pick is added to the
    // person's recent items.
    options |= FOS_FORCEFILESYSTEM | FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR |
               FOS_NODEREFERENCELINKS | FOS_DONTADDTORECENT;
    Check(dialog->SetOptions(options), Operation::ShowOpen, u"");
    if (!title_.empty()) Check(dialog->SetTitle(Wide(title_)), Operation::ShowOpen, u"");
    if (hasClient_) Check(dialog->SetClientGuid(client_), Operation::ShowOpen, u"");
    const std::vector<FileType> types = FileTypes(filter_);
    std::vector<COMDLG_FILTERSPEC> specs;
    for (const FileType& type : types)
      specs.push_back({Wide(type.description), Wide(type.pattern)});
    if (!specs.empty()) {
      Check(dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data()),
            Operation::ShowOpen, u"");
      Check(dialog->SetFileTypeIndex(1), Operation::ShowOpen, u"");
    }
    if (!initDir_.empty()) {
      ComPtr<IShellItem> folder;
      Check(system::SHCreateItemFromParsingName(Wide(initDir_), nullptr, IID_PPV_ARGS(&folder)),
            Operation::ShowOpen, initDir_);
      Check(dialog->SetFolder(folder.Get()), Operation::ShowOpen, initDir_);
    }

    const HRESULT shown = dialog->Show(owner_);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) {
      if (cancelError_) throw ShellError(Operation::ShowOpen, u"", u"Cancel was selected.", 0);
      return;
    }
    Check(shown, Operation::ShowOpen, u"");
    ComPtr<IShellItem> chosen;
    Check(dialog->GetResult(&chosen), Operation::ShowOpen, u"");
    PWSTR path = nullptr;
    Check(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path), Operation::ShowOpen, u"");
    const CoTaskText owned(path);
    fileName_ = FromWide(path);
  }

 private:
  HWND owner_;
  std::u16string title_;
  std::u16string filter_;
  std::u16string initDir_;
  bool cancelError_ = false;
  GUID client_{};
  bool hasClient_ = false;
  std::u16string fileName_;
};

}  // namespace

std::unique_ptr<CommonDialog> CreateCommonDialog(HWND owner) {
  return std::make_unique<OpenFileDialog>(owner);
}

}  // namespace pellumar::shell
