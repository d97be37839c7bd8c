#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "shell/services.h"
#include "utf8.h"
#include "shell/shell_error.h"

namespace pellumar::testing {

// Records every platform call as "Operation(argument)" in UTF-8 and can make one operation
// fail, so the commands' order of steps and their stop on failure can be checked.
class RecordingServices final : public shell::Services {
 public:
  std::vector<std::string> calls;
  std::u16string desktop = u"C:\\Users\\U\\Desktop";
  std::u16string allUsersDesktop = u"C:\\Users\\Public\\Desktop";
  std::optional<shell::Operation> failAt;
  std::uint32_t failCode = 5;  // the Win32 error the failure carries
  bool fileExists = false;  // what FileExists answers
  bool keepFile = false;    // Delete: the person chooses to keep the file
  shell::Changes changed;   // for the commands to add what they changed to

  std::unique_ptr<shell::ShellObject> CreateShellObject() override;
  std::unique_ptr<shell::FileSystemObject> CreateFileSystemObject(std::u16string_view desktop) override;
  void MsgBox(std::u16string_view prompt) override { Record("MsgBox", prompt); }

  void Record(std::string_view operation, std::u16string_view argument = {});
  // Records the call, then raises when `operation` is the one set to fail.
  void Call(shell::Operation operation, std::u16string_view argument = {});
};

}  // namespace pellumar::testing

namespace pellumar::shell {
// Names operations in test output.
inline void PrintTo(Operation operation, std::ostream* out) {
  *out << pellumar::testing::ToUtf8(OperationName(operation));
}
}  // namespace pellumar::shell
