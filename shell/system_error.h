#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "shell/shell_error.h"

// The system's words for a failure, and the ShellError the Windows side raises with them.
namespace pellumar::shell {

// The system's words for a Win32 error or HRESULT; empty where it has none.
std::u16string SystemText(DWORD code);
// The system's words for a Win32 error or HRESULT, or its number where the system has none.
std::u16string SystemReason(DWORD code);

// Raises the failure of `operation` on `path` for the Win32 error or HRESULT `code`.
[[noreturn]] void Raise(Operation operation, std::u16string_view path, DWORD code);
void Check(HRESULT hr, Operation operation, std::u16string_view path);

// Raises the failure of a save or a delete at `systemPath` (the system's spelling of `path`),
// refused with `code` (a Win32 error, an HRESULT or one of the shell's file-operation codes) for
// `reason`; where Windows' protection of the desktop may be what refused it, the reason says what
// to do about it. `kept` is the code the error keeps.
[[noreturn]] void RaiseRefusedChange(Operation operation, const std::u16string& path,
                                     const std::u16string& systemPath, std::u16string reason,
                                     DWORD code, DWORD kept);

}  // namespace pellumar::shell
