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
  // The Win32 error or HRESULT behind the reason; 0 when there is none.
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

// "Could not <action>.", then the path (its two ends when it is very long) and the reason, as
// paragraphs: how every failure reads, the system's and the program's own.
std::u16string DescribeFailure(std::u16string_view action, std::u16string_view path,
                               std::u16string_view reason);

}  // namespace pellumar::shell
