#include "shell/shell_error.h"

namespace pellumar::shell {
namespace {

std::u16string_view Action(Operation operation) {
  switch (operation) {
    case Operation::CreateShellObject: return u"start the shell service";
    case Operation::SpecialFolders: return u"find the desktop folder";
    case Operation::CreateShortcut: return u"prepare the shortcut";
    case Operation::TargetPath: return u"set the shortcut's web address";
    case Operation::IconLocation: return u"set the shortcut's icon";
    case Operation::Save: return u"save the shortcut";
    case Operation::CreateFileSystemObject: return u"start the file service";
    case Operation::GetFile: return u"find the shortcut";
    case Operation::Delete: return u"delete the shortcut";
    case Operation::ShowOpen: return u"show the open-file dialog";
  }
  return u"complete the operation";
}

}  // namespace

std::u16string_view OperationName(Operation operation) {
  switch (operation) {
    case Operation::CreateShellObject: return u"CreateShellObject";
    case Operation::SpecialFolders: return u"SpecialFolders";
    case Operation::CreateShortcut: return u"CreateShortcut";
    case Operation::TargetPath: return u"TargetPath";
    case Operation::IconLocation: return u"IconLocation";
    case Operation::Save: return u"Save";
    case Operation::CreateFileSystemObject: return u"CreateFileSystemObject";
    case Operation::GetFile: return u"GetFile";
    case Operation::Delete: return u"Delete";
    case Operation::ShowOpen: return u"ShowOpen";
  }
  return u"Unknown";
}

ShellError::ShellError(Operation operation, std::u16string path, std::u16string reason,
                       std::uint32_t code)
    : operation_(operation),
      path_(std::move(path)),
      reason_(std::move(reason)),
      code_(code) {}

const char* ShellError::what() const noexcept {
  switch (operation_) {
    case Operation::CreateShellObject: return "CreateShellObject failed";
    case Operation::SpecialFolders: return "SpecialFolders failed";
    case Operation::CreateShortcut: return "CreateShortcut failed";
    case Operation::TargetPath: return "TargetPath failed";
    case Operation::IconLocation: return "IconLocation failed";
    case Operation::Save: return "Save failed";
    case Operation::CreateFileSystemObject: return "CreateFileSystemObject failed";
    case Operation::GetFile: return "GetFile failed";
    case Operation::Delete: return "Delete failed";
    case Operation::ShowOpen: return "ShowOpen failed";
  }
  return "platform operation failed";
}

std::u16string ShellError::Describe() const {
  std::u16string text = u"Could not ";
  text += Action(operation_);
  text += u".";
  if (!path_.empty()) {
    text += u"\n\n";
    // A path of thousands of characters would fill the screen: its start and end tell which.
    constexpr std::size_t kHead = 100, kTail = 60;
    if (path_.size() > kHead + kTail + 40) {
      text += std::u16string_view(path_).substr(0, kHead);
      text += u" \u2026 ";
      text += std::u16string_view(path_).substr(path_.size() - kTail);
    } else {
      text += path_;
    }
  }
  if (!reason_.empty()) {
    text += u"\n\n";
    text += reason_;
  }
  return text;
}

}  // namespace pellumar::shell
