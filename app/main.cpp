#include <windows.h>

#include "app/form1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  pellumar::app::Form1 form(instance);
  if (!form.Create()) return 1;
  form.Show(showCommand);
  return pellumar::app::RunMessageLoop(form.hwnd());
}

