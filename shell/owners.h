#pragma once

#include <windows.h>

#include <memory>

#include "shell/system_dlls.h"

// Owners for what the system hands over to be given back: each frees its object when it goes.
namespace pellumar::shell {

struct CoTaskMemFreer {
  void operator()(void* memory) const noexcept { system::CoTaskMemFree(memory); }
};
// A string the shell allocated, such as a path it reports.
using CoTaskText = std::unique_ptr<wchar_t, CoTaskMemFreer>;

struct LocalFreer {
  void operator()(void* memory) const noexcept { LocalFree(memory); }
};
// A string the system allocated with LocalAlloc, such as FormatMessageW's.
using LocalText = std::unique_ptr<wchar_t, LocalFreer>;

// A kernel object's handle, such as an open file's; INVALID_HANDLE_VALUE is none.
class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE handle) noexcept : handle_(handle) {}
  ~UniqueHandle() {
    if (*this) CloseHandle(handle_);
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  explicit operator bool() const noexcept {
    return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr;
  }
  HANDLE get() const noexcept { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace pellumar::shell
