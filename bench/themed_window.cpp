// The start-up floor: an empty window with Pellumar's manifest (Common Controls 6, per-monitor
// DPI) and the same eleven controls at the same places, built with the same flags, that does
// nothing else: no fonts of its own, no picture, no handlers.
//
// Built a second time with PELLUMAR_SHELL_BUTTONS, it is the click floor instead: its Create
// and Delete buttons make the bare shell calls for "bench shortcut.lnk" on the desktop, COM
// started by the first click, as Pellumar starts it, and the shell is told of each change once
// the click has been answered. What a click on it costs is what any windowed program pays for
// the same result; the rest of a Pellumar click is Pellumar's own.
#include <windows.h>

#include "baseline_window.h"

#ifdef PELLUMAR_SHELL_BUTTONS
#include "shell_calls.h"
#endif

namespace {

struct Control {
  const wchar_t* className;
  const wchar_t* text;
  DWORD style, exStyle;
  int left, top, width, height;
};

constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_LEFT;
constexpr DWORD kBox = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY;

constexpr Control kControls[] = {
    {L"STATIC", L"WebSite URL:", kLabel, 0, 24, 32, 81, 25},
    {L"EDIT", L"", kBox, WS_EX_CLIENTEDGE, 112, 24, 217, 25},
    {L"STATIC", L"Site Name:", kLabel, 0, 24, 64, 65, 17},
    {L"EDIT", L"", kBox, WS_EX_CLIENTEDGE, 112, 56, 137, 25},
    {L"BUTTON", L"Browse", kButton, 0, 256, 56, 73, 25},
    {L"STATIC", L"Icon:", kLabel, 0, 24, 96, 49, 17},
    {L"EDIT", L"", kBox, WS_EX_CLIENTEDGE, 112, 96, 137, 25},
    {L"BUTTON", L"Browse", kButton, 0, 256, 96, 73, 25},
    {L"BUTTON", L"Create Shortcut", kButton, 0, 48, 136, 113, 33},
    {L"BUTTON", L"Delete Shortcut", kButton, 0, 176, 136, 113, 33},
    {L"STATIC", L"\u00A9 2005 Pellumar Labs", kLabel | SS_NOTIFY, 0, 216, 184, 129, 17},
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
#ifdef PELLUMAR_SHELL_BUTTONS
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
      (LOWORD(wParam) == 108 || LOWORD(wParam) == 109)) {
    static const bool comStarted =
        SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    (void)comStarted;
    if (LOWORD(wParam) == 108) {
      bench::WriteLink(L"bench shortcut.lnk");
    } else {
      bench::Recycle(bench::OnDesktop(L"bench shortcut.lnk"), window);
    }
    // The shell is told of the change once the click has been answered, as Pellumar tells it.
    PostMessageW(window, WM_APP + 1, LOWORD(wParam) == 108 ? SHCNE_CREATE : SHCNE_DELETE, 0);
    return 0;
  }
  if (message == WM_APP + 1) {
    const std::wstring path = bench::OnDesktop(L"bench shortcut.lnk");
    SHChangeNotify(static_cast<LONG>(wParam), SHCNF_PATHW | SHCNF_FLUSHNOWAIT, path.c_str(),
                   nullptr);
    return 0;
  }
#endif
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const HWND window = bench::MakeBaselineWindow(instance, WindowProc, L"Pellumar.ThemedWindow",
                                                L"Themed", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
  int id = 100;
  for (const Control& c : kControls) {
    CreateWindowExW(c.exStyle, c.className, c.text, c.style, c.left, c.top, c.width, c.height,
                    window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
  }
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return 0;
}
