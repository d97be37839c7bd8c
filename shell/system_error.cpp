#include "shell/system_error.h"

#include <utility>

#include "shell/file_system.h"
#include "shell/owners.h"
#include "shell/text.h"
#include "shell/wide.h"

namespace pellumar::shell {
namespace {

// An HRESULT that wraps a Win32 error is read as that error.
DWORD Win32Code(DWORD code) {
  return HRESULT_FACILITY(code) == FACILITY_WIN32 && (code & 0x80000000u) ? HRESULT_CODE(code)
                                                                          : code;
}

// Controlled folder access refuses a change as "access denied", or as a file or folder not found.
constexpr std::u16string_view kProtectedFolder =
    u"Windows may be keeping programs from changing the desktop. If Controlled folder access is "
    u"on, allow Pellumar in Windows Security: Virus & threat protection, Manage ransomware "
    u"protection, Allow an app through Controlled folder access.";

}  // namespace

std::u16string SystemText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, Win32Code(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const LocalText owned(buffer);
  std::u16string reason = FromWide(std::wstring_view(buffer ? buffer : L"", length));
  while (!reason.empty() &&
         (reason.back() == u'\r' || reason.back() == u'\n' || reason.back() == u' ')) {
    reason.pop_back();
  }
  return reason;
}

std::u16string SystemReason(DWORD code) {
  std::u16string reason = SystemText(code);
  if (reason.empty()) reason = u"System error 0x" + Hexadecimal(code, 8) + u".";
  return reason;
}

void Raise(Operation operation, std::u16string_view path, DWORD code) {
  throw ShellError(operation, std::u16string(path), SystemReason(code), code);
}

void Check(HRESULT hr, Operation operation, std::u16string_view path) {
  if (FAILED(hr)) Raise(operation, path, static_cast<DWORD>(hr));
}

void RaiseRefusedChange(Operation operation, const std::u16string& path,
                        const std::u16string& systemPath, std::u16string reason, DWORD code,
                        DWORD kept) {
  const DWORD win32 = Win32Code(code);
  constexpr DWORD kShellAccessDenied = 0x78;  // DE_ACCESSDENIEDSRC
  const bool refused = win32 == ERROR_ACCESS_DENIED || win32 == ERROR_FILE_NOT_FOUND ||
                       win32 == ERROR_PATH_NOT_FOUND || win32 == kShellAccessDenied;
  // Where the shortcut's folder is there all the same, the message says where a person lets
  // Pellumar through.
  if (refused && IsFolder(systemPath.substr(0, systemPath.find_last_of(u'\\')))) {
    reason += u"\n\n";
    reason += kProtectedFolder;
  }
  throw ShellError(operation, path, std::move(reason), kept);
}

}  // namespace pellumar::shell
