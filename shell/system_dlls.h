#pragma once

#include <windows.h>
#include <objbase.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <uiautomationcore.h>

// The functions of ole32, shell32 and newer user32 the program calls, bound from the system folder
// on first use. Every DLL loaded before the window shows is paid at each start, and most runs
// need these only when a button is clicked. Each returns a failure when its DLL or function
// cannot be found.
namespace pellumar::shell::system {

// Where the system looks for DLLs loaded by name, the program's own and those the system loads
// for it; every Windows 10 and 11 has it.
BOOL SetDefaultDllDirectories(DWORD directories);
// Run from wherever its zip was unpacked, usually the Downloads folder, the program must never
// load a DLL planted there under a common name, not even through the system's own code on its
// behalf: DLLs loaded by name come from the system folder alone. A DLL loaded by its full path,
// as COM loads a shell extension, still finds the DLLs beside it (the README says why).
BOOL LoadDllsFromSystemFolderOnly();
HRESULT CoInitializeEx(void* reserved, DWORD flags);
void CoUninitialize();
// OLE on top of COM, for what is dragged onto the window.
HRESULT OleInitialize(void* reserved);
void OleUninitialize();
HRESULT RegisterDragDrop(HWND window, IDropTarget* target);
HRESULT RevokeDragDrop(HWND window);
void ReleaseStgMedium(STGMEDIUM* medium);
UINT DragQueryFileW(HDROP drop, UINT index, wchar_t* file, UINT characters);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);
void CoTaskMemFree(void* memory);
HRESULT SHGetKnownFolderPath(REFKNOWNFOLDERID folder, DWORD flags, HANDLE token, PWSTR* path);
HINSTANCE ShellExecuteA(HWND owner, const char* operation, const char* file, const char* parameters,
                        const char* directory, int showCommand);
void SHChangeNotify(LONG event, UINT flags, const void* item1, const void* item2);
int SHFileOperationW(SHFILEOPSTRUCTW* operation);
// user32's per-window DPI functions of Windows 10 (1607 and later); each fails (0, FALSE) where
// the system lacks it.
UINT GetDpiForWindow(HWND window);
BOOL AdjustWindowRectExForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);
BOOL SystemParametersInfoForDpi(UINT action, UINT parameter, void* value, UINT update, UINT dpi);
int GetSystemMetricsForDpi(int metric, UINT dpi);
BOOL EnableNonClientDpiScaling(HWND window);
DPI_AWARENESS_CONTEXT GetThreadDpiAwarenessContext();
BOOL AreDpiAwarenessContextsEqual(DPI_AWARENESS_CONTEXT first, DPI_AWARENESS_CONTEXT second);

HRESULT SHCreateItemFromParsingName(PCWSTR path, IBindCtx* context, REFIID iid, void** item);

// UI Automation, for what a screen reader is told. The notification (Windows 10 1709 and
// later) says `text` once, as the outcome of an action, of `provider`'s element.
HRESULT UiaHostProviderFromHwnd(HWND window, IRawElementProviderSimple** provider);
LRESULT UiaReturnRawElementProvider(HWND window, WPARAM wParam, LPARAM lParam,
                                    IRawElementProviderSimple* provider);
HRESULT UiaRaiseNotificationEvent(IRawElementProviderSimple* provider, const wchar_t* text);
// Whether any UI Automation client (a screen reader, say) listens to this process's events.
BOOL UiaClientsAreListening();

}  // namespace pellumar::shell::system
