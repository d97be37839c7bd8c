#include "shell/shell_error.h"

#include <iterator>

#include "shell/text.h"

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
  static constexpr OperationText kUnknown{u"Unknown", u"complete the operation",
                                          "platform operation failed"};
  const auto index = static_cast<std::size_t>(operation);
  return index < std::size(kOperations) ? kOperations[index] : kUnknown;
}

struct FileOperationCode {
  std::uint32_t code;
  std::u16string_view reason;
};

// The codes Windows documents for SHFileOperationW, and what each means.
constexpr FileOperationCode kFileOperationCodes[] = {
    {0x71, u"The source and the destination are the same file."},
    {0x72, u"Several files were given as the source, but only one as the destination."},
    {0x73, u"The file cannot be renamed into another folder."},
    {0x74, u"The source is the root folder of a drive, which cannot be moved or renamed."},
    {0x75, u"The operation was cancelled."},
    {0x76, u"The destination is a folder inside the source."},
    {0x78, u"Access to the file was denied by its security settings."},
    {0x79, u"The path is longer than Windows takes."},
    {0x7A, u"The operation involved several destinations."},
    {0x7C, u"The path is not valid."},
    {0x7D, u"The source and the destination are in the same folder."},
    {0x7E, u"A file already has the destination's name."},
    {0x80, u"A folder already has the destination's name."},
    {0x81, u"The file's name is longer than Windows takes."},
    {0x82, u"The destination is a read-only CD, which may not be formatted."},
    {0x83, u"The destination is a read-only DVD, which may not be formatted."},
    {0x84, u"The destination is a writable CD, which may not be formatted."},
    {0x85, u"The file is too large for the destination drive or its file system."},
    {0x86, u"The source is a read-only CD, which may not be formatted."},
    {0x87, u"The source is a read-only DVD, which may not be formatted."},
    {0x88, u"The source is a writable CD, which may not be formatted."},
    {0xB7, u"A path became longer than Windows takes during the operation."},
    {0x402, u"An unknown error occurred; the path is probably not valid."},
    {0x10000, u"An unspecified error occurred at the destination."},
    {0x10074, u"The destination is the root folder of a drive, which cannot be renamed."},
};

}  // namespace

std::u16string SpelledAsReported(std::u16string_view path, std::u16string_view desktop) {
  const std::size_t length = desktop.size();
  bool matches = length > 0 && path.size() >= length &&
                 (path.size() == length || path[length] == u'\\' || desktop.back() == u'\\');
  for (std::size_t i = 0; matches && i < length; ++i)
    matches = path[i] == LowerCaseUnit(desktop[i]);
  if (!matches) return std::u16string(path);
  return std::u16string(desktop) + std::u16string(path.substr(length));
}

std::u16string FileOperationReason(std::uint32_t code, std::u16string_view systemText) {
  for (const FileOperationCode& known : kFileOperationCodes) {
    if (known.code == code) return std::u16string(known.reason);
  }
  if (!systemText.empty()) return std::u16string(systemText);
  return u"The file operation failed (code 0x" + Hexadecimal(code) + u").";
}

std::u16string_view OperationName(Operation operation) { return TextOf(operation).name; }

ShellError::ShellError(Operation operation, std::u16string path, std::u16string reason,
                       std::uint32_t code)
    : operation_(operation), path_(std::move(path)), reason_(std::move(reason)), code_(code) {}

const char* ShellError::what() const noexcept { return TextOf(operation_).what; }

std::u16string ShellError::Describe() const {
  return DescribeFailure(TextOf(operation_).action, path_, reason_);
}

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
