#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace pellumar::shell {

enum class Operation {
  CreateShellObject,
  SpecialFolders,
  CreateShortcut,
  TargetPath,
  IconLocation,
  Save,
  CreateFileSystemObject,
  GetFile,
  Delete,
  ShowOpen,
};

// The platform's name of an operation, e.g. "Save".
std::u16string_view OperationName(Operation operation);

// A failed platform operation: which one, the path it worked on and the system's reason in
// words. The one error type of the platform layer.
class ShellError : public std::exception {
 public:
  ShellError(Operation operation, std::u16string path, std::u16string reason, std::uint32_t code);

  Operation operation() const noexcept { return operation_; }
  const std::u16string& path() const noexcept { return path_; }
  const std::u16string& reason() const noexcept { return reason_; }
  // The Win32 error or HRESULT behind the reason; 0 when there is none (the shell's file
  // operation answers with codes of its own, which the reason names).
  std::uint32_t code() const noexcept { return code_; }
  // Which operation failed, e.g. "Save failed"; Describe() tells the whole story.
  const char* what() const noexcept override;

  // What failed, on which path and why, in sentences for a person.
  std::u16string Describe() const;

 private:
  Operation operation_;
  std::u16string path_;
  std::u16string reason_;
  std::uint32_t code_;
};

// The reason for a code the shell's file operation (SHFileOperationW) returns. Its documented
// codes are older than Win32's and clash with Win32 codes of the same number (0xB7 is a path
// too long, not "file already exists"), so they are read first, by their own meaning; any other
// is a Win32 code, given in `systemText`, the system's words for it, or by its number where
// the system has none.
std::u16string FileOperationReason(std::uint32_t code, std::u16string_view systemText);

// `path` with its leading `desktop`, which the commands lower-case, spelt as the system
// reported it; any other path unchanged. The system is handed that spelling: a folder marked
// case-sensitive is found by no other, and Wine finds it without searching each folder for a
// name that matches.
std::u16string SpelledAsReported(std::u16string_view path, std::u16string_view desktop);

// "Could not <action>.", then the path (its two ends when it is very long) and the reason, as
// paragraphs: how every failure reads, the system's and the program's own.
std::u16string DescribeFailure(std::u16string_view action, std::u16string_view path,
                               std::u16string_view reason);

}  // namespace pellumar::shell
