#include "shell/windows_services.h"

#include <cderr.h>
#include <commdlg.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <vector>

#include "shell/shell_error.h"
#include "shell/system_dlls.h"
#include "shell/wide.h"

namespace pellumar::shell {
namespace {

using Microsoft::WRL::ComPtr;

// Spelled out here rather than taken from the system's GUID library, which would link every
// GUID Windows has into the program.
constexpr CLSID kShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr KNOWNFOLDERID kDesktopFolder = {
    0xB4BFCC3A, 0xDB2C, 0x424C, {0xB0, 0x29, 0x7F, 0xE9, 0x9A, 0x87, 0xC6, 0x41}};

[[noreturn]] void Raise(Operation operation, std::u16string_view path, DWORD code) {
  throw ShellError(operation, std::u16string(path), SystemReason(code), code);
}

void Check(HRESULT hr, Operation operation, std::u16string_view path) {
  if (FAILED(hr)) Raise(operation, path, static_cast<DWORD>(hr));
}

void CheckWin32(BOOL ok, Operation operation, std::u16string_view path) {
  if (!ok) Raise(operation, path, GetLastError());
}

// Attributes of an existing file; a folder is no file.
bool IsFile(const std::u16string& path, DWORD* error) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data)) {
    *error = GetLastError();
    return false;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    *error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  return true;
}

std::u16string KnownDesktop(std::u16string_view requested) {
  PWSTR path = nullptr;
  const HRESULT hr = system::SHGetKnownFolderPath(kDesktopFolder, KF_FLAG_DEFAULT, nullptr, &path);
  std::u16string result = FromWide(path);
  system::CoTaskMemFree(path);
  Check(hr, Operation::SpecialFolders, requested);
  return result;
}

std::u16string FullPath(const std::u16string& path) {
  const DWORD length = GetFullPathNameW(Wide(path), 0, nullptr, nullptr);
  if (length == 0) return {};
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(Wide(path), length, full.data(), nullptr);
  if (written == 0 || written >= length) return {};
  full.resize(written);
  return FromWide(std::wstring_view(full));
}

// The program writes and deletes shortcuts in the desktop folder and nowhere else: a site
// name may lead into a folder of the desktop, but not out of it ("..\"), not to a device
// ("CON") and not to a file's hidden stream (":").
// `desktop` is the folder this click's name was made from, when it is known.
void CheckOnDesktop(Operation operation, const std::u16string& path, const std::u16string& desktopOfClick) {
  const std::u16string full = FullPath(path);
  if (full.empty()) Raise(operation, path, GetLastError() ? GetLastError() : ERROR_INVALID_NAME);
  std::u16string desktop = FullPath(desktopOfClick.empty() ? KnownDesktop(u"Desktop") : desktopOfClick);
  if (!desktop.empty() && desktop.back() != u'\\') desktop += u'\\';
  const auto lower = [](std::u16string text) {
    CharLowerBuffW(reinterpret_cast<wchar_t*>(text.data()), static_cast<DWORD>(text.size()));
    return text;
  };
  if (full.rfind(u"\\\\.\\", 0) == 0) {
    throw ShellError(operation, path, u"The name is reserved for a device.", ERROR_INVALID_NAME);
  }
  if (desktop.size() <= 1 || full.size() <= desktop.size() || lower(full).rfind(lower(desktop), 0) != 0) {
    throw ShellError(operation, path, u"The name leads out of the desktop folder.", ERROR_ACCESS_DENIED);
  }
  if (full.find(u':', desktop.size()) != std::u16string::npos) {
    throw ShellError(operation, path, u"The name holds a character that file names cannot hold (:).",
                     ERROR_INVALID_NAME);
  }
}

// Tells the shell, so the desktop shows the change at once.
void NotifyShell(LONG event, const std::u16string& path) {
  system::SHChangeNotify(event, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, Wide(path), nullptr);
}

class Shortcut final : public ShortcutObject {
 public:
  Shortcut(std::u16string path, const std::u16string& desktop) : path_(std::move(path)) {
    CheckOnDesktop(Operation::CreateShortcut, path_, desktop);
    Check(system::CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link_)),
          Operation::CreateShortcut, path_);
  }

  void TargetPath(std::u16string_view target) override {
    Check(link_->SetPath(Wide(std::u16string(target))), Operation::TargetPath, path_);
  }

  void IconLocation(std::u16string_view iconPath) override {
    Check(link_->SetIconLocation(Wide(std::u16string(iconPath)), 0), Operation::IconLocation, path_);
  }

  void Save() override {
    ComPtr<IPersistFile> file;
    Check(link_.As(&file), Operation::Save, path_);
    DWORD error = ERROR_SUCCESS;
    const bool existed = IsFile(path_, &error);
    Check(file->Save(Wide(path_), TRUE), Operation::Save, path_);
    // A save can report success and leave nothing behind; a shortcut that is not on disk
    // must never pass for one that is.
    if (!IsFile(path_, &error)) {
      throw ShellError(Operation::Save, path_,
                       u"The system reported the shortcut saved, but it is not on disk.", error);
    }
    NotifyShell(existed ? SHCNE_UPDATEITEM : SHCNE_CREATE, path_);
  }

 private:
  std::u16string path_;
  ComPtr<IShellLinkW> link_;
};

class Shell final : public ShellObject {
 public:
  explicit Shell(std::u16string& desktopOfClick) : desktop_(desktopOfClick) { desktop_.clear(); }

  std::u16string SpecialFolders(std::u16string_view folder) override {
    if (folder != u"Desktop") {
      throw ShellError(Operation::SpecialFolders, std::u16string(folder),
                       u"This folder is not known.", 0);
    }
    desktop_ = KnownDesktop(folder);
    return desktop_;
  }

  std::unique_ptr<ShortcutObject> CreateShortcut(std::u16string_view path) override {
    return std::make_unique<Shortcut>(std::u16string(path), desktop_);
  }

 private:
  std::u16string& desktop_;
};

class File final : public FileObject {
 public:
  explicit File(std::u16string path) : path_(std::move(path)) {}

  void Delete() override {
    CheckWin32(DeleteFileW(Wide(path_)), Operation::Delete, path_);
    NotifyShell(SHCNE_DELETE, path_);
  }

 private:
  std::u16string path_;
};

class FileSystem final : public FileSystemObject {
 public:
  explicit FileSystem(const std::u16string& desktopOfClick) : desktop_(desktopOfClick) {}

  std::unique_ptr<FileObject> GetFile(std::u16string_view path) override {
    std::u16string file(path);
    CheckOnDesktop(Operation::GetFile, file, desktop_);
    DWORD error = ERROR_SUCCESS;
    if (!IsFile(file, &error)) Raise(Operation::GetFile, file, error);
    return std::make_unique<File>(std::move(file));
  }

 private:
  const std::u16string& desktop_;
};

std::u16string DialogReason(DWORD code) {
  switch (code) {
    case FNERR_BUFFERTOOSMALL: return u"The chosen file name is too long.";
    case FNERR_INVALIDFILENAME: return u"The file name is not valid.";
    case CDERR_DIALOGFAILURE: return u"The dialog box could not be created.";
    case CDERR_MEMALLOCFAILURE:
    case CDERR_MEMLOCKFAILURE: return u"There is not enough memory to show the dialog box.";
    default: {
      wchar_t text[64];
      wsprintfW(text, L"The dialog box failed (error 0x%04X).", code);
      return FromWide(text);
    }
  }
}

class OpenFileDialog final : public CommonDialog {
 public:
  explicit OpenFileDialog(HWND owner) : owner_(owner) {}

  void DialogTitle(std::u16string_view title) override { title_ = title; }
  void CancelError(bool raise) override { cancelError_ = raise; }
  void Filter(std::u16string_view filter) override { filter_ = filter; }
  std::u16string FileName() const override { return fileName_; }

  void ShowOpen() override {
    // "Description|pattern|..." becomes the dialog's list of NUL-separated pairs.
    std::u16string filter = filter_;
    for (char16_t& c : filter) {
      if (c == u'|') c = u'\0';
    }
    filter.push_back(u'\0');
    std::vector<wchar_t> buffer(kMaxFileName, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter_.empty() ? nullptr : Wide(filter);
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrTitle = title_.empty() ? nullptr : Wide(title_);
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   OFN_NODEREFERENCELINKS;
    if (system::GetOpenFileNameW(&dialog)) {
      fileName_ = FromWide(buffer.data());
      return;
    }
    fileName_.clear();
    const DWORD error = system::CommDlgExtendedError();
    if (error != 0) throw ShellError(Operation::ShowOpen, u"", DialogReason(error), error);
    if (cancelError_) throw ShellError(Operation::ShowOpen, u"", u"Cancel was selected.", 0);
  }

 private:
  static constexpr std::size_t kMaxFileName = 32768;  // the longest path Windows has
  HWND owner_;
  std::u16string title_;
  std::u16string filter_;
  bool cancelError_ = false;
  std::u16string fileName_;
};

}  // namespace

std::unique_ptr<CommonDialog> CreateCommonDialog(HWND owner) {
  return std::make_unique<OpenFileDialog>(owner);
}

std::unique_ptr<ShellObject> WindowsServices::CreateShellObject() {
  return std::make_unique<Shell>(desktopOfClick_);
}

std::unique_ptr<FileSystemObject> WindowsServices::CreateFileSystemObject() {
  return std::make_unique<FileSystem>(desktopOfClick_);
}

void WindowsServices::MsgBox(std::u16string_view prompt) {
  MessageBoxW(owner_, Wide(std::u16string(prompt)), kAppTitle, MB_OK | MB_APPLMODAL);
}

std::u16string SystemReason(DWORD code) {
  // HRESULTs that wrap a Win32 error read best as that error.
  if (HRESULT_FACILITY(code) == FACILITY_WIN32 && (code & 0x80000000u)) code = HRESULT_CODE(code);
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string reason = FromWide(std::wstring_view(buffer ? buffer : L"", length));
  LocalFree(buffer);
  while (!reason.empty() && (reason.back() == u'\r' || reason.back() == u'\n' || reason.back() == u' ')) {
    reason.pop_back();
  }
  if (reason.empty()) {
    wchar_t fallback[32];
    wsprintfW(fallback, L"System error 0x%08X.", code);
    reason = FromWide(fallback);
  }
  return reason;
}

}  // namespace pellumar::shell
