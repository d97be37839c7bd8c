// The baseline for start-up and memory: an empty window of the same size, built with the same
// flags, that does nothing else.
#include <windows.h>

#include "baseline_window.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const HWND window = bench::MakeBaselineWindow(instance, WindowProc, L"Pellumar.EmptyWindow",
                                                L"Empty", WS_OVERLAPPEDWINDOW);
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
