#include "shell/system_dlls.h"

#include <shellapi.h>

namespace pellumar::shell::system {
namespace {

// Loads a system DLL from the system folder only, never from the program's or the current
// folder.
HMODULE SystemLibrary(const wchar_t* name) {
  if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  wchar_t path[MAX_PATH];
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length + lstrlenW(name) + 2 > MAX_PATH) return nullptr;
  path[length] = L'\\';
  lstrcpyW(path + length + 1, name);
  return LoadLibraryW(path);
}

template <typename Function>
Function Bind(const wchar_t* library, const char* name) {
  const HMODULE module = SystemLibrary(library);
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

#define PELLUMAR_BIND(library, function) \
  static const auto bound = Bind<decltype(&::function)>(library, #function)

// HRESULT_FROM_WIN32 is an inline function in the Windows SDK (a macro in MinGW's headers), so
// this cannot be a constant expression on both.
const HRESULT kMissing = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

}  // namespace

HRESULT CoInitializeEx(void* reserved, DWORD flags) {
  PELLUMAR_BIND(L"ole32.dll", CoInitializeEx);
  return bound ? bound(reserved, flags) : kMissing;
}

void CoUninitialize() {
  PELLUMAR_BIND(L"ole32.dll", CoUninitialize);
  if (bound) bound();
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         void** object) {
  PELLUMAR_BIND(L"ole32.dll", CoCreateInstance);
  return bound ? bound(clsid, outer, context, iid, object) : kMissing;
}

void CoTaskMemFree(void* memory) {
  PELLUMAR_BIND(L"ole32.dll", CoTaskMemFree);
  if (bound) bound(memory);
}

HRESULT SHGetKnownFolderPath(REFKNOWNFOLDERID folder, DWORD flags, HANDLE token, PWSTR* path) {
  PELLUMAR_BIND(L"shell32.dll", SHGetKnownFolderPath);
  *path = nullptr;
  return bound ? bound(folder, flags, token, path) : kMissing;
}

HINSTANCE ShellExecuteA(HWND owner, const char* operation, const char* file, const char* parameters,
                        const char* directory, int showCommand) {
  PELLUMAR_BIND(L"shell32.dll", ShellExecuteA);
  return bound ? bound(owner, operation, file, parameters, directory, showCommand) : nullptr;
}

void SHChangeNotify(LONG event, UINT flags, const void* item1, const void* item2) {
  PELLUMAR_BIND(L"shell32.dll", SHChangeNotify);
  if (bound) bound(event, flags, item1, item2);
}

int SHFileOperationW(SHFILEOPSTRUCTW* operation) {
  PELLUMAR_BIND(L"shell32.dll", SHFileOperationW);
  return bound ? bound(operation) : ERROR_PROC_NOT_FOUND;
}

UINT GetDpiForWindow(HWND window) {
  PELLUMAR_BIND(L"user32.dll", GetDpiForWindow);
  return bound ? bound(window) : 0;
}

BOOL AdjustWindowRectExForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) {
  PELLUMAR_BIND(L"user32.dll", AdjustWindowRectExForDpi);
  return bound ? bound(rect, style, menu, exStyle, dpi) : FALSE;
}

BOOL SystemParametersInfoForDpi(UINT action, UINT parameter, void* value, UINT update, UINT dpi) {
  PELLUMAR_BIND(L"user32.dll", SystemParametersInfoForDpi);
  return bound ? bound(action, parameter, value, update, dpi) : FALSE;
}

HRESULT SHCreateItemFromParsingName(PCWSTR path, IBindCtx* context, REFIID iid, void** item) {
  PELLUMAR_BIND(L"shell32.dll", SHCreateItemFromParsingName);
  *item = nullptr;
  return bound ? bound(path, context, iid, item) : kMissing;
}

}  // namespace pellumar::shell::system
