#include "shell/file_system.h"

#include <shellapi.h>

#include <cstdint>
#include <utility>

#include "shell/owners.h"
#include "shell/shell_error.h"
#include "shell/step_times.h"
#include "shell/system_dlls.h"
#include "shell/system_error.h"
#include "shell/wide.h"

namespace pellumar::shell {
namespace {

class File final : public FileObject {
 public:
  // `attributes` are the file's when it was found.
  File(std::u16string path, std::u16string systemPath, DWORD attributes, HWND owner)
      : path_(std::move(path)),
        systemPath_(std::move(systemPath)),
        attributes_(attributes),
        owner_(owner) {}

  // To the Recycle Bin, as Windows deletes a person's own files, so a slip can be undone; but
  // refused as the plain deletion would refuse it: a read-only file, or one held open.
  std::optional<Change> Delete() override {
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
      return std::nullopt;  // the person said no
    if (result != 0) {
      const auto code = static_cast<std::uint32_t>(result);
      RaiseRefusedChange(Operation::Delete, path_, systemPath_,
                         FileOperationReason(code, SystemText(code)), code, 0);
    }
    if (IsFile(systemPath_, &error)) {
      throw ShellError(Operation::Delete, path_,
                       u"The system reported the shortcut deleted, but it is still there.", 0);
    }
    return Change{Change::Kind::Deleted, systemPath_};
  }

 private:
  // Raises what the plain deletion would refuse.
  void Refuse() const {
    PELLUMAR_STEP("click: checks on disk");
    // The shell's file operation takes wildcards, and "*" would be every shortcut there is.
    if (path_.find_first_of(u"*?") != std::u16string::npos)
      Raise(Operation::Delete, path_, ERROR_INVALID_NAME);
    if (attributes_ & FILE_ATTRIBUTE_READONLY) Raise(Operation::Delete, path_, ERROR_ACCESS_DENIED);
    // Held open: refused, unless the hold passes within a moment. The shell, told of a new
    // shortcut, reads it for its icon, and a virus scanner reads each new file; a person who
    // deletes a shortcut just made meets their hold, which is not the person's to wait out.
    constexpr int kLooks = 25;
    constexpr DWORD kPause = 20;  // ms: half a second in all
    for (int look = 1;; ++look) {
      const UniqueHandle file(CreateFileW(
          Wide(systemPath_), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
          nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
      if (file) return;
      const DWORD error = GetLastError();
      if (error != ERROR_SHARING_VIOLATION || look == kLooks) {
        RaiseRefusedChange(Operation::Delete, path_, systemPath_, SystemReason(error), error,
                           error);
      }
      Sleep(kPause);
    }
  }

  std::u16string path_;        // as the commands made it, for messages
  std::u16string systemPath_;  // as the system is handed it
  DWORD attributes_;
  HWND owner_;  // of the question before a permanent delete
};

class FileSystem final : public FileSystemObject {
 public:
  FileSystem(HWND owner, std::u16string desktop) : owner_(owner), desktop_(std::move(desktop)) {}

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
    return std::make_unique<File>(std::u16string(path), std::move(systemPath), attributes, owner_);
  }

 private:
  HWND owner_;
  std::u16string desktop_;  // as the shell reported it
};

}  // namespace

std::unique_ptr<FileSystemObject> CreateFileSystem(HWND owner, std::u16string desktop) {
  return std::make_unique<FileSystem>(owner, std::move(desktop));
}

bool IsFile(const std::u16string& path, DWORD* error, DWORD* attributes) {
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

bool IsFolder(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool OnOwnDrive(const std::u16string& path) {
  return path.size() > 3 && path[1] == u':' &&
         GetDriveTypeW(Wide(path.substr(0, 3))) == DRIVE_FIXED;
}

}  // namespace pellumar::shell
