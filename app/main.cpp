#include <windows.h>

#include "app/form1.h"
#include "shell/system_dlls.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // Run from wherever its zip was unpacked, usually the Downloads folder: a DLL planted there
  // under a common name must never be loaded, not even by the system's own code on the
  // program's behalf (the controls, the shell, the open dialog), so DLLs come from the system
  // folder alone.
  pellumar::shell::system::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  pellumar::app::Form1 form(instance);
  if (!form.Create()) return 1;
  form.Show(showCommand);
  return pellumar::app::RunMessageLoop(form.hwnd());
}

