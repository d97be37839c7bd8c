// The window the start-up baselines show: a class of their own with the dialog face colour, and
// the program's client size (351 x 204 pixels at 96 DPI) centred on the screen.
#pragma once

#include <windows.h>

namespace bench {

inline HWND MakeBaselineWindow(HINSTANCE instance, WNDPROC procedure, const wchar_t* className,
                               const wchar_t* title, DWORD style) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  RegisterClassExW(&windowClass);
  RECT frame{0, 0, 351, 204};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  return CreateWindowExW(0, className, title, style, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                         (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                         nullptr, instance, nullptr);
}

}  // namespace bench
