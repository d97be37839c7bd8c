#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/wide.h"

// Tests that change the machine they run on (the user's desktop folder, the registry, files in
// C:\) run only where nothing of value can be lost: the project's own Wine prefix, which
// tools/wine-run marks, or a machine its owner declares throwaway. Everything such a test
// changes is put back by a guard object, also when the test fails.
namespace pellumar::testing {

inline bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

inline bool MayChangeThisMachine() {
  if (RunningUnderWine() &&
      GetFileAttributesW(L"C:\\pellumar-test-prefix") != INVALID_FILE_ATTRIBUTES)
    return true;
  return GetEnvironmentVariableW(L"PELLUMAR_THROWAWAY_MACHINE", nullptr, 0) != 0;
}

#define PELLUMAR_ONLY_ON_A_THROWAWAY_MACHINE()                                                   \
  if (!::pellumar::testing::MayChangeThisMachine())                                              \
  GTEST_SKIP() << "changes the desktop, the registry or C:\\ of this machine: runs only in the " \
                  "project's Wine prefix, or where PELLUMAR_THROWAWAY_MACHINE is set"

// Removes a file or an empty folder when it goes, whatever its attributes.
class RemoveOnExit {
 public:
  explicit RemoveOnExit(std::u16string path) : path_(std::move(path)) {}
  ~RemoveOnExit() {
    const wchar_t* path = shell::Wide(path_);
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(path)) RemoveDirectoryW(path);
  }
  RemoveOnExit(const RemoveOnExit&) = delete;
  RemoveOnExit& operator=(const RemoveOnExit&) = delete;

 private:
  std::u16string path_;
};

// Puts a registry value back as it was when it goes: its old type and data, or no value, and
// no key where there was none.
class RegistryValueGuard {
 public:
  RegistryValueGuard(HKEY root, const wchar_t* subKey, const wchar_t* name)
      : name_(name ? name : L"") {
    DWORD disposition = 0;
    if (RegCreateKeyExW(root, subKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &key_, &disposition) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    if (disposition == REG_CREATED_NEW_KEY) {
      root_ = root;
      createdKey_ = subKey;
    }
    DWORD bytes = 0;
    had_ = RegQueryValueExW(key_, Name(), nullptr, &type_, nullptr, &bytes) == ERROR_SUCCESS;
    data_.resize(bytes);
    if (had_ &&
        RegQueryValueExW(key_, Name(), nullptr, &type_, data_.data(), &bytes) != ERROR_SUCCESS)
      had_ = false;
  }
  ~RegistryValueGuard() {
    if (!key_) return;
    if (had_) {
      RegSetValueExW(key_, Name(), 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
    } else {
      RegDeleteValueW(key_, Name());
    }
    RegCloseKey(key_);
    if (root_) RegDeleteKeyW(root_, createdKey_.c_str());
  }
  RegistryValueGuard(const RegistryValueGuard&) = delete;
  RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;

  // The open key, to change the value in.
  HKEY key() const { return key_; }
  const wchar_t* Name() const { return name_.empty() ? nullptr : name_.c_str(); }

 private:
  HKEY key_ = nullptr;
  HKEY root_ = nullptr;  // set when the key was made here
  std::wstring createdKey_;
  std::wstring name_;
  bool had_ = false;
  DWORD type_ = REG_NONE;
  std::vector<BYTE> data_;
};

}  // namespace pellumar::testing
