#include "shell/shell_error.h"

#include <iterator>

namespace pellumar::shell {
namespace {

struct OperationText {
  std::u16string_view name;    // the platform's name
  std::u16string_view action;  // what could not be done, for a person
  const char* what;            // for logs and test output
};

// In the order of Operation.
constexpr OperationText kOperations[] = {
    {u"CreateShellObject", u"start the shell service", "CreateShellObject failed"},
    {u"SpecialFolders", u"find the desktop folder", "SpecialFolders failed"},
    {u"CreateShortcut", u"prepare the shortcut", "CreateShortcut failed"},
    {u"TargetPath", u"set the shortcut's web address", "TargetPath failed"},
    {u"IconLocation", u"set the shortcut's icon", "IconLocation failed"},
    {u"Save", u"save the shortcut", "Save failed"},
    {u"CreateFileSystemObject", u"start the file service", "CreateFileSystemObject failed"},
    {u"GetFile", u"find the shortcut", "GetFile failed"},
    {u"Delete", u"delete the shortcut", "Delete failed"},
    {u"ShowOpen", u"show the open-file dialog", "ShowOpen failed"},
};
static_assert(std::size(kOperations) == static_cast<std::size_t>(Operation::ShowOpen) + 1);

const OperationText& TextOf(Operation operation) {
  static constexpr OperationText kUnknown{u"Unknown", u"complete the operation", "platform operation failed"};
  const auto index = static_cast<std::size_t>(operation);
  return index < std::size(kOperations) ? kOperations[index] : kUnknown;
}

}  // namespace

std::u16string_view OperationName(Operation operation) { return TextOf(operation).name; }

ShellError::ShellError(Operation operation, std::u16string path, std::u16string reason,
                       std::uint32_t code)
    : operation_(operation),
      path_(std::move(path)),
      reason_(std::move(reason)),
      code_(code) {}

const char* ShellError::what() const noexcept { return TextOf(operation_).what; }

std::u16string ShellError::Describe() const { return DescribeFailure(TextOf(operation_).action, path_, reason_); }

std::u16string DescribeFailure(std::u16string_view action, std::u16string_view path,
                               std::u16string_view reason) {
  std::u16string text = u"Could not ";
  text += action;
  text += u".";
  if (!path.empty()) {
    text += u"\n\n";
    // A path of thousands of characters would fill the screen: its start and end tell which.
    constexpr std::size_t kHead = 100, kTail = 60;
    if (path.size() > kHead + kTail + 40) {
      text += path.substr(0, kHead);
      text += u" \u2026 ";
      text += path.substr(path.size() - kTail);
    } else {
      text += path;
    }
  }
  if (!reason.empty()) {
    text += u"\n\n";
    text += reason;
  }
  return text;
}

}  // namespace pellumar::shell
