#include "shell/file_system.h"

#include <shellapi.h>
#include <shobjidl.h>
#include <wrl/client.h>

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

using Microsoft::WRL::ComPtr;

// No question and no progress, except where the file cannot go to the Recycle Bin (none on its
// drive, or one turned off): Windows then asks before deleting it for good.
constexpr DWORD kFlags =
    FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_NOERRORUI | FOF_SILENT;

// What the shell's file operation reports of the one file it deletes: whether it did, and the
// item now in the Recycle Bin, which it names only when the file went there.
class DeleteReport final : public IFileOperationProgressSink {
 public:
  bool reported = false;
  bool recycled = false;
  HRESULT result = S_OK;

  HRESULT STDMETHODCALLTYPE PostDeleteItem(DWORD, IShellItem*, HRESULT deleted,
                                           IShellItem* newlyCreated) override {
    reported = true;
    result = deleted;
    recycled = SUCCEEDED(deleted) && newlyCreated != nullptr;
    return S_OK;
  }

  // Lives on its caller's stack.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == __uuidof(IFileOperationProgressSink)) {
      *object = static_cast<IFileOperationProgressSink*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE StartOperations() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE FinishOperations(HRESULT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PreRenameItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PostRenameItem(DWORD, IShellItem*, LPCWSTR, HRESULT,
                                           IShellItem*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PreMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PostMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT,
                                         IShellItem*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PreCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PostCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT,
                                         IShellItem*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PreDeleteItem(DWORD, IShellItem*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PreNewItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PostNewItem(DWORD, IShellItem*, LPCWSTR, LPCWSTR, DWORD, HRESULT,
                                        IShellItem*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE UpdateProgress(UINT, UINT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResetTimer() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PauseTimer() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResumeTimer() override { return S_OK; }
};

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
    Deletion deletion = DeleteByFileOperation();
    if (deletion == Deletion::NotRun) deletion = DeleteByShFileOperation();
    if (deletion == Deletion::Kept) return std::nullopt;
    return Change{deletion == Deletion::Recycled       ? Change::Kind::Recycled
                  : deletion == Deletion::DeletedForGood ? Change::Kind::DeletedForGood
                                                         : Change::Kind::Deleted,
                  systemPath_};
  }

 private:
  enum class Deletion { NotRun, Kept, Recycled, DeletedForGood, Deleted };

  // Whether the file is still at its path once an operation has ended.
  bool StillThere() const {
    PELLUMAR_STEP("click: checks on disk");
    DWORD error = ERROR_SUCCESS;
    return IsFile(systemPath_, &error);
  }

  // An operation that reports the file deleted and leaves it there has failed.
  [[noreturn]] void RaiseStillThere() const {
    throw ShellError(Operation::Delete, path_,
                     u"The system reported the shortcut deleted, but it is still there.", 0);
  }

  // The shell's file operation object, which says where the file went. Where the system's has
  // none that works (Wine's deletes nothing), it has not run, and nothing has changed.
  Deletion DeleteByFileOperation() {
    PELLUMAR_STEP("click: IFileOperation");
    DeleteReport report;  // outlives the operation it is given to
    ComPtr<IFileOperation> operation;
    ComPtr<IShellItem> item;
    DWORD cookie = 0;
    const bool queued =
        SUCCEEDED(system::CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL,
                                           IID_PPV_ARGS(&operation))) &&
        SUCCEEDED(operation->SetOperationFlags(kFlags | FOFX_RECYCLEONDELETE)) &&
        (!owner_ || SUCCEEDED(operation->SetOwnerWindow(owner_))) &&
        SUCCEEDED(system::SHCreateItemFromParsingName(Wide(systemPath_), nullptr,
                                                      IID_PPV_ARGS(&item))) &&
        SUCCEEDED(operation->Advise(&report, &cookie)) &&
        SUCCEEDED(operation->DeleteItem(item.Get(), nullptr));
    if (!queued) {
      if (cookie) operation->Unadvise(cookie);
      return Deletion::NotRun;
    }
    const HRESULT performed = operation->PerformOperations();
    operation->Unadvise(cookie);
    BOOL aborted = FALSE;
    if (FAILED(operation->GetAnyOperationsAborted(&aborted))) aborted = FALSE;
    const bool there = StillThere();
    if (!report.reported && !aborted && there) return Deletion::NotRun;
    const HRESULT result = FAILED(report.result) ? report.result : performed;
    constexpr HRESULT kUserCancelled = static_cast<HRESULT>(0x80270000);  // COPYENGINE_E_USER_CANCELLED
    if (there && aborted &&
        (SUCCEEDED(result) || result == kUserCancelled || result == HRESULT_FROM_WIN32(ERROR_CANCELLED)))
      return Deletion::Kept;  // the person said no
    if (FAILED(result)) {
      const auto code = static_cast<DWORD>(result);
      RaiseRefusedChange(Operation::Delete, path_, systemPath_, SystemReason(code), code, code);
    }
    if (there) RaiseStillThere();
    if (!report.reported) return Deletion::Deleted;
    return report.recycled ? Deletion::Recycled : Deletion::DeletedForGood;
  }

  // The file operation every Windows has, which says nothing of where the file went.
  Deletion DeleteByShFileOperation() {
    std::u16string from = systemPath_;
    from.push_back(u'\0');  // the list of paths ends with two nulls
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner_;
    operation.wFunc = FO_DELETE;
    operation.pFrom = Wide(from);
    operation.fFlags = kFlags;
    const int result = [&] {
      PELLUMAR_STEP("click: SHFileOperationW");
      return system::SHFileOperationW(&operation);
    }();
    const bool there = StillThere();
    // An operation the system gave up on is marked aborted too: only one the person answered
    // keeps the file without a word.
    constexpr int kCancelled = 0x75;  // DE_OPCANCELLED
    if (operation.fAnyOperationsAborted && there &&
        (result == 0 || result == kCancelled || result == ERROR_CANCELLED))
      return Deletion::Kept;
    if (result != 0) {
      const auto code = static_cast<std::uint32_t>(result);
      RaiseRefusedChange(Operation::Delete, path_, systemPath_,
                         FileOperationReason(code, SystemText(code)), code, 0);
    }
    if (there) RaiseStillThere();
    return Deletion::Deleted;
  }

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

}  // namespace pellumar::shell
