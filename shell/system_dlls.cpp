#include "shell/system_dlls.h"

#include <shellapi.h>

#include <atomic>
#include <memory>

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

// A function looked up once and kept. The cache is a constant-initialised atomic rather than a
// function's static with an initialiser, whose thread-safe guard would bring more of the C++
// library into the program to protect a lookup that, repeated, only finds the same address.
template <typename Function>
Function Bind(std::atomic<FARPROC>& cache, const wchar_t* library, const char* name) {
  // Kept for a function the system lacks, so it is not looked for again: no function is at 1.
  const FARPROC missing = reinterpret_cast<FARPROC>(static_cast<INT_PTR>(1));
  FARPROC address = cache.load(std::memory_order_acquire);
  if (!address) {
    const HMODULE module = SystemLibrary(library);
    address = module ? GetProcAddress(module, name) : nullptr;
    cache.store(address ? address : missing, std::memory_order_release);
  }
  return address == missing ? nullptr : reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

#define PELLUMAR_BIND(library, function)        \
  static constinit std::atomic<FARPROC> cache{}; \
  const auto bound = Bind<decltype(&::function)>(cache, library, #function)

// HRESULT_FROM_WIN32 is an inline function in the Windows SDK (a macro in MinGW's headers), so
// this cannot be a constant expression on both.
const HRESULT kMissing = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

}  // namespace

BOOL SetDefaultDllDirectories(DWORD directories) {
  PELLUMAR_BIND(L"kernel32.dll", SetDefaultDllDirectories);
  return bound ? bound(directories) : FALSE;
}

BOOL LoadDllsFromSystemFolderOnly() { return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

HRESULT CoInitializeEx(void* reserved, DWORD flags) {
  PELLUMAR_BIND(L"ole32.dll", CoInitializeEx);
  return bound ? bound(reserved, flags) : kMissing;
}

void CoUninitialize() {
  PELLUMAR_BIND(L"ole32.dll", CoUninitialize);
  if (bound) bound();
}

HRESULT OleInitialize(void* reserved) {
  PELLUMAR_BIND(L"ole32.dll", OleInitialize);
  return bound ? bound(reserved) : kMissing;
}

void OleUninitialize() {
  PELLUMAR_BIND(L"ole32.dll", OleUninitialize);
  if (bound) bound();
}

HRESULT RegisterDragDrop(HWND window, IDropTarget* target) {
  PELLUMAR_BIND(L"ole32.dll", RegisterDragDrop);
  return bound ? bound(window, target) : kMissing;
}

HRESULT RevokeDragDrop(HWND window) {
  PELLUMAR_BIND(L"ole32.dll", RevokeDragDrop);
  return bound ? bound(window) : kMissing;
}

void ReleaseStgMedium(STGMEDIUM* medium) {
  PELLUMAR_BIND(L"ole32.dll", ReleaseStgMedium);
  if (bound) bound(medium);
}

UINT DragQueryFileW(HDROP drop, UINT index, wchar_t* file, UINT characters) {
  PELLUMAR_BIND(L"shell32.dll", DragQueryFileW);
  return bound ? bound(drop, index, file, characters) : 0;
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

int GetSystemMetricsForDpi(int metric, UINT dpi) {
  PELLUMAR_BIND(L"user32.dll", GetSystemMetricsForDpi);
  return bound ? bound(metric, dpi) : 0;
}

BOOL EnableNonClientDpiScaling(HWND window) {
  PELLUMAR_BIND(L"user32.dll", EnableNonClientDpiScaling);
  return bound ? bound(window) : FALSE;
}

DPI_AWARENESS_CONTEXT GetThreadDpiAwarenessContext() {
  PELLUMAR_BIND(L"user32.dll", GetThreadDpiAwarenessContext);
  return bound ? bound() : nullptr;
}

BOOL AreDpiAwarenessContextsEqual(DPI_AWARENESS_CONTEXT first, DPI_AWARENESS_CONTEXT second) {
  PELLUMAR_BIND(L"user32.dll", AreDpiAwarenessContextsEqual);
  return bound ? bound(first, second) : FALSE;
}

// UI Automation's functions are declared here: the API header of some MinGW-w64 releases does
// not compile as C++.
HRESULT UiaHostProviderFromHwnd(HWND window, IRawElementProviderSimple** provider) {
  static constinit std::atomic<FARPROC> cache{};
  using Function = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
  const auto bound = Bind<Function>(cache, L"uiautomationcore.dll", "UiaHostProviderFromHwnd");
  *provider = nullptr;
  return bound ? bound(window, provider) : kMissing;
}

LRESULT UiaReturnRawElementProvider(HWND window, WPARAM wParam, LPARAM lParam,
                                    IRawElementProviderSimple* provider) {
  static constinit std::atomic<FARPROC> cache{};
  using Function = LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
  const auto bound = Bind<Function>(cache, L"uiautomationcore.dll", "UiaReturnRawElementProvider");
  return bound ? bound(window, wParam, lParam, provider) : 0;
}

HRESULT UiaRaiseNotificationEvent(IRawElementProviderSimple* provider, const wchar_t* text) {
  // Declared by newer SDKs only; its enumerations' values are fixed by the interface.
  using Raise = HRESULT(WINAPI*)(IRawElementProviderSimple*, int kind, int processing, BSTR text,
                                 BSTR activity);
  constexpr int kActionCompleted = 2, kImportantMostRecent = 1;
  static constinit std::atomic<FARPROC> cache{}, allocate{}, release{};
  const auto raise = Bind<Raise>(cache, L"uiautomationcore.dll", "UiaRaiseNotificationEvent");
  const auto sysAlloc = Bind<decltype(&::SysAllocString)>(allocate, L"oleaut32.dll", "SysAllocString");
  const auto sysFree = Bind<decltype(&::SysFreeString)>(release, L"oleaut32.dll", "SysFreeString");
  if (!raise || !sysAlloc || !sysFree) return kMissing;
  using String = std::unique_ptr<OLECHAR, decltype(sysFree)>;
  const String said(sysAlloc(text), sysFree), activity(sysAlloc(L"Pellumar"), sysFree);
  if (!said || !activity) return E_OUTOFMEMORY;
  return raise(provider, kActionCompleted, kImportantMostRecent, said.get(), activity.get());
}

BOOL UiaClientsAreListening() {
  static constinit std::atomic<FARPROC> cache{};
  using Function = BOOL(WINAPI*)();
  const auto bound = Bind<Function>(cache, L"uiautomationcore.dll", "UiaClientsAreListening");
  return bound ? bound() : FALSE;
}

HRESULT SHCreateItemFromParsingName(PCWSTR path, IBindCtx* context, REFIID iid, void** item) {
  PELLUMAR_BIND(L"shell32.dll", SHCreateItemFromParsingName);
  *item = nullptr;
  return bound ? bound(path, context, iid, item) : kMissing;
}

}  // namespace pellumar::shell::system
