#include "recording_services.h"
#include "utf8.h"

namespace pellumar::testing {
namespace {

using shell::Operation;

class RecordingShortcut final : public shell::ShortcutObject {
 public:
  RecordingShortcut(RecordingServices& log, std::u16string_view path) : log_(log), path_(path) {}
  void TargetPath(std::u16string_view target) override { log_.Call(Operation::TargetPath, target); }
  void IconLocation(std::u16string_view icon) override { log_.Call(Operation::IconLocation, icon); }
  shell::Change Save() override {
    log_.Call(Operation::Save);
    return {shell::Change::Kind::Created, path_};
  }

 private:
  RecordingServices& log_;
  std::u16string path_;
};

class RecordingShell final : public shell::ShellObject {
 public:
  explicit RecordingShell(RecordingServices& log) : log_(log) {}
  std::u16string SpecialFolders(std::u16string_view folder) override {
    log_.Call(Operation::SpecialFolders, folder);
    return folder == u"AllUsersDesktop" ? log_.allUsersDesktop : log_.desktop;
  }
  std::unique_ptr<shell::ShortcutObject> CreateShortcut(std::u16string_view path,
                                                        std::u16string_view) override {
    log_.Call(Operation::CreateShortcut, path);
    return std::make_unique<RecordingShortcut>(log_, path);
  }

 private:
  RecordingServices& log_;
};

class RecordingFile final : public shell::FileObject {
 public:
  RecordingFile(RecordingServices& log, std::u16string_view path) : log_(log), path_(path) {}
  std::optional<shell::Change> Delete() override {
    log_.Call(Operation::Delete);
    if (log_.keepFile) return std::nullopt;
    return shell::Change{shell::Change::Kind::Deleted, path_};
  }

 private:
  RecordingServices& log_;
  std::u16string path_;
};

class RecordingFileSystem final : public shell::FileSystemObject {
 public:
  explicit RecordingFileSystem(RecordingServices& log) : log_(log) {}
  bool FileExists(std::u16string_view path) override {
    log_.Record("FileExists", path);
    return log_.fileExists;
  }
  std::unique_ptr<shell::FileObject> GetFile(std::u16string_view path) override {
    log_.Call(Operation::GetFile, path);
    return std::make_unique<RecordingFile>(log_, path);
  }

 private:
  RecordingServices& log_;
};

}  // namespace

std::unique_ptr<shell::ShellObject> RecordingServices::CreateShellObject() {
  Call(Operation::CreateShellObject);
  return std::make_unique<RecordingShell>(*this);
}

std::unique_ptr<shell::FileSystemObject> RecordingServices::CreateFileSystemObject(
    std::u16string_view reportedDesktop) {
  Call(Operation::CreateFileSystemObject, reportedDesktop);
  return std::make_unique<RecordingFileSystem>(*this);
}

void RecordingServices::Record(std::string_view operation, std::u16string_view argument) {
  calls.push_back(std::string(operation) + "(" + testing::ToUtf8(argument) + ")");
}

void RecordingServices::Call(Operation operation, std::u16string_view argument) {
  Record(testing::ToUtf8(shell::OperationName(operation)), argument);
  if (failAt == operation) {
    throw shell::ShellError(operation, std::u16string(argument), u"Injected failure.", failCode);
  }
}

}  // namespace pellumar::testing
