#include <windows.h>

#include "app/form1.h"
#include "shell/system_dlls.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  pellumar::shell::system::LoadDllsFromSystemFolderOnly();
  pellumar::app::Form1 form(instance);
  if (!form.Create()) return 1;
  form.Show(showCommand);
  return pellumar::app::RunMessageLoop(form.hwnd());
}

