#include "shell/windows_services.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <cstring>
#include <vector>

#include "shell/shell_error.h"
#include "shell/step_times.h"
#include "shell/system_dlls.h"
#include "shell/wide.h"
#include "shortcut/text.h"

namespace pellumar::shell {
namespace {

using Microsoft::WRL::ComPtr;

[[noreturn]] void Raise(Operation operation, std::u16string_view path, DWORD code) {
  throw ShellError(operation, std::u16string(path), SystemReason(code), code);
}

void Check(HRESULT hr, Operation operation, std::u16string_view path) {
  if (FAILED(hr)) Raise(operation, path, static_cast<DWORD>(hr));
}

// Whether a file is at `path`, a folder being none, and its attributes when there is.
bool IsFile(const std::u16string& path, DWORD* error, DWORD* attributes = nullptr) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data)) {
    *error = GetLastError();
    return false;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    *error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  if (attributes) *attributes = data.dwFileAttributes;
  return true;
}

// Controlled folder access, in Windows Security, keeps programs it does not know from changing
// the desktop, and the refusal reaches them as an ordinary "access denied" or, to some, as a
// file or folder not found. Where the folder of the shortcut is there all the same, the
// message says where a person lets Pellumar through.
constexpr std::u16string_view kProtectedFolder =
    u"Windows may be keeping programs from changing the desktop. If Controlled folder access is "
    u"on, allow Pellumar in Windows Security: Virus & threat protection, Manage ransomware "
    u"protection, Allow an app through Controlled folder access.";

// Raises the failure of a save or a delete at `systemPath`, refused with `code` (a Win32 error,
// an HRESULT or one of the shell's file-operation codes) for `reason`; where the refusal may be
// that protection's, the message says what to do about it. `kept` is the code the error keeps.
[[noreturn]] void RaiseRefusedChange(Operation operation, const std::u16string& path,
                                     const std::u16string& systemPath, std::u16string reason,
                                     DWORD code, DWORD kept) {
  const DWORD win32 = HRESULT_FACILITY(code) == FACILITY_WIN32 && (code & 0x80000000u)
                          ? HRESULT_CODE(code)
                          : code;
  constexpr DWORD kShellAccessDenied = 0x78;  // DE_ACCESSDENIEDSRC
  const bool refused = win32 == ERROR_ACCESS_DENIED || win32 == ERROR_FILE_NOT_FOUND ||
                       win32 == ERROR_PATH_NOT_FOUND || win32 == kShellAccessDenied;
  if (refused && IsFolder(systemPath.substr(0, systemPath.find_last_of(u'\\')))) {
    reason += u"\n\n";
    reason += kProtectedFolder;
  }
  throw ShellError(operation, path, std::move(reason), kept);
}

std::u16string KnownFolder(REFKNOWNFOLDERID folder, std::u16string_view requested) {
  PELLUMAR_STEP("click: desktop looked up");
  PWSTR path = nullptr;
  const HRESULT hr = system::SHGetKnownFolderPath(folder, KF_FLAG_DEFAULT, nullptr, &path);
  std::u16string result = FromWide(path);
  system::CoTaskMemFree(path);
  Check(hr, Operation::SpecialFolders, requested);
  return result;
}

}  // namespace

void ShellNotices::Add(long event, std::u16string path) {
  notices_.push_back({event, std::move(path)});
  if (!deferred_) Send();
}

// Tells the shell, so the desktop shows each change.
void ShellNotices::Send() {
  PELLUMAR_STEP("after the click: the shell told");
  for (const Notice& notice : notices_) {
    system::SHChangeNotify(notice.event, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, Wide(notice.path),
                           nullptr);
  }
  notices_.clear();
}

namespace {

class Shortcut final : public ShortcutObject {
 public:
  Shortcut(std::u16string path, std::u16string_view desktop, ShellNotices& notices)
      : path_(std::move(path)), systemPath_(SpelledAsReported(path_, desktop)), notices_(notices) {
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

  void Save() override {
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
    notices_.Add(existed ? SHCNE_UPDATEITEM : SHCNE_CREATE, systemPath_);
    notices_.change = ShellNotices::Change::Created;
  }

 private:
  std::u16string path_;        // as the commands made it, for messages
  std::u16string systemPath_;  // as the system is handed it
  ShellNotices& notices_;
  ComPtr<IShellLinkW> link_;
};

class Shell final : public ShellObject {
 public:
  explicit Shell(ShellNotices& notices) : notices_(notices) {}

  std::u16string SpecialFolders(std::u16string_view folder) override {
    if (folder == u"AllUsersDesktop") return KnownFolder(FOLDERID_PublicDesktop, folder);
    if (folder != u"Desktop") {
      throw ShellError(Operation::SpecialFolders, std::u16string(folder),
                       u"This folder is not known.", 0);
    }
    desktop_ = KnownFolder(FOLDERID_Desktop, folder);
    return desktop_;
  }

  std::unique_ptr<ShortcutObject> CreateShortcut(std::u16string_view path) override {
    return std::make_unique<Shortcut>(std::u16string(path), desktop_, notices_);
  }

 private:
  ShellNotices& notices_;
  std::u16string desktop_;  // as this object last reported it
};

class File final : public FileObject {
 public:
  // `attributes` are the file's when it was found.
  File(std::u16string path, std::u16string systemPath, DWORD attributes, HWND owner,
       ShellNotices& notices)
      : path_(std::move(path)),
        systemPath_(std::move(systemPath)),
        attributes_(attributes),
        owner_(owner),
        notices_(notices) {}

  // To the Recycle Bin, as Windows deletes a person's own files, so a slip can be undone; but
  // refused as the plain deletion would refuse it: a read-only file, or one held open.
  bool Delete() override {
    Refuse();
    std::u16string from = systemPath_;
    from.push_back(u'\0');  // the list of paths ends with two nulls
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner_;
    operation.wFunc = FO_DELETE;
    operation.pFrom = Wide(from);
    // No question and no progress, except where the file cannot go to the Recycle Bin (none on
    // its drive, or one turned off): Windows then asks before deleting it for good.
    operation.fFlags =
        FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_NOERRORUI | FOF_SILENT;
    const int result = [&] {
      PELLUMAR_STEP("click: SHFileOperationW");
      return system::SHFileOperationW(&operation);
    }();
    PELLUMAR_STEP("click: checks on disk");
    DWORD error = ERROR_SUCCESS;
    if (operation.fAnyOperationsAborted && IsFile(systemPath_, &error))
      return false;  // the person said no
    if (result != 0) {
      const auto code = static_cast<std::uint32_t>(result);
      RaiseRefusedChange(Operation::Delete, path_, systemPath_,
                         FileOperationReason(code, SystemText(code)), code, 0);
    }
    if (IsFile(systemPath_, &error)) {
      throw ShellError(Operation::Delete, path_,
                       u"The system reported the shortcut deleted, but it is still there.", 0);
    }
    notices_.Add(SHCNE_DELETE, systemPath_);  // not every shell tells itself
    notices_.change = ShellNotices::Change::Deleted;
    notices_.deletedFrom = systemPath_;
    return true;
  }

 private:
  // Raises what the plain deletion would refuse.
  void Refuse() const {
    PELLUMAR_STEP("click: checks on disk");
    // The shell's file operation takes wildcards, and "*" would be every shortcut there is.
    if (path_.find_first_of(u"*?") != std::u16string::npos)
      Raise(Operation::Delete, path_, ERROR_INVALID_NAME);
    // Read-only: refused for that reason alone.
    if (attributes_ & FILE_ATTRIBUTE_READONLY) Raise(Operation::Delete, path_, ERROR_ACCESS_DENIED);
    // Held open: refused, unless the hold passes within a moment. The shell, told of a new
    // shortcut, reads it for its icon, and a virus scanner reads each new file; a person who
    // deletes a shortcut just made meets their hold, which is not the person's to wait out.
    constexpr int kLooks = 25;
    constexpr DWORD kPause = 20;  // ms: half a second in all
    for (int look = 1;; ++look) {
      const HANDLE file = CreateFileW(Wide(systemPath_), DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
      if (file != INVALID_HANDLE_VALUE) return static_cast<void>(CloseHandle(file));
      const DWORD error = GetLastError();
      if (error != ERROR_SHARING_VIOLATION || look == kLooks) RaiseRefused(error);
      Sleep(kPause);
    }
  }

  [[noreturn]] void RaiseRefused(DWORD code) const {
    RaiseRefusedChange(Operation::Delete, path_, systemPath_, SystemReason(code), code, code);
  }

  std::u16string path_;        // as the commands made it, for messages
  std::u16string systemPath_;  // as the system is handed it
  DWORD attributes_;
  HWND owner_;                 // of the question before a permanent delete
  ShellNotices& notices_;
};

class FileSystem final : public FileSystemObject {
 public:
  FileSystem(HWND owner, ShellNotices& notices, std::u16string desktop)
      : owner_(owner), notices_(notices), desktop_(std::move(desktop)) {}

  bool FileExists(std::u16string_view path) override {
    PELLUMAR_STEP("click: checks on disk");
    DWORD error = ERROR_SUCCESS;
    return IsFile(SpelledAsReported(path, desktop_), &error);
  }

  std::unique_ptr<FileObject> GetFile(std::u16string_view path) override {
    PELLUMAR_STEP("click: checks on disk");
    std::u16string systemPath = SpelledAsReported(path, desktop_);
    DWORD error = ERROR_SUCCESS;
    DWORD attributes = 0;
    if (!IsFile(systemPath, &error, &attributes)) Raise(Operation::GetFile, path, error);
    return std::make_unique<File>(std::u16string(path), std::move(systemPath), attributes, owner_,
                                  notices_);
  }

 private:
  HWND owner_;
  ShellNotices& notices_;
  std::u16string desktop_;  // as the shell reported it
};

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
    // "Description|pattern|..." becomes the dialog's list of pairs.
    std::vector<std::u16string> parts(1);
    for (char16_t c : filter_) {
      if (c == u'|') {
        parts.emplace_back();
      } else {
        parts.back() += c;
      }
    }
    std::vector<COMDLG_FILTERSPEC> types;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
      types.push_back({Wide(parts[i]), Wide(parts[i + 1])});
    if (!types.empty()) {
      Check(dialog->SetFileTypes(static_cast<UINT>(types.size()), types.data()),
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
    fileName_ = FromWide(path);
    system::CoTaskMemFree(path);
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

std::u16string_view WindowsServices::TakeChange() {
  switch (std::exchange(notices_.change, ShellNotices::Change::None)) {
    case ShellNotices::Change::None:
      return {};
    case ShellNotices::Change::Created:
      return u"Shortcut created on the desktop";
    case ShellNotices::Change::Deleted:
      break;
  }
  // Only the PC's own drives are sure to have a Recycle Bin: elsewhere the person was asked
  // before it was deleted for good, and is told so again. Asking costs a third of a
  // millisecond under Wine, so it is asked only here.
  const std::u16string& path = notices_.deletedFrom;
  const bool ownDrive = path.size() > 3 && path[1] == u':' &&
                        GetDriveTypeW(Wide(path.substr(0, 3))) == DRIVE_FIXED;
  return ownDrive ? u"Shortcut moved to the Recycle Bin" : u"Shortcut deleted for good";
}

std::unique_ptr<ShellObject> WindowsServices::CreateShellObject() {
  return std::make_unique<Shell>(notices_);
}

std::unique_ptr<FileSystemObject> WindowsServices::CreateFileSystemObject(
    std::u16string_view desktop) {
  return std::make_unique<FileSystem>(owner_, notices_, std::u16string(desktop));
}

void WindowsServices::MsgBox(std::u16string_view prompt) {
  MessageBoxW(owner_, Wide(std::u16string(prompt)), kAppTitle, MB_OK | MB_APPLMODAL);
}

void OpenWithDefaultHandler(std::u16string_view address) {
  const std::u16string wide(address);
  const int length = WideCharToMultiByte(CP_ACP, 0, Wide(wide), -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return;
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, Wide(wide), -1, ansi.data(), length, nullptr, nullptr);
  system::ShellExecuteA(nullptr, nullptr, ansi.data(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool IsFolder(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string SystemReason(DWORD code) {
  std::u16string reason = SystemText(code);
  if (reason.empty()) reason = u"System error 0x" + Hexadecimal(code, 8) + u".";
  return reason;
}

std::u16string SystemText(DWORD code) {
  // HRESULTs that wrap a Win32 error read best as that error.
  if (HRESULT_FACILITY(code) == FACILITY_WIN32 && (code & 0x80000000u)) code = HRESULT_CODE(code);
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string reason = FromWide(std::wstring_view(buffer ? buffer : L"", length));
  LocalFree(buffer);
  while (!reason.empty() &&
         (reason.back() == u'\r' || reason.back() == u'\n' || reason.back() == u' ')) {
    reason.pop_back();
  }
  return reason;
}

}  // namespace pellumar::shell
