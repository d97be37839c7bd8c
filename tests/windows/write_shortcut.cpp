// write_shortcut SITE URL ICON: creates a desktop shortcut through the program's own command
// and platform layer, for checking the file with an independent reader.
#include <cstdio>

#include "shell/com_apartment.h"
#include "shell/shell_error.h"
#include "shell/wide.h"
#include "shell/windows_services.h"
#include "shortcut/commands.h"

int wmain(int argc, wchar_t** argv) {
  using namespace pellumar;
  if (argc != 4) {
    std::fputs("usage: write_shortcut SITE URL ICON\n", stderr);
    return 2;
  }
  const shell::ComApartment com;
  shell::WindowsServices services;
  shell::Changes changed;
  try {
    CreateWebShortcut(services, shell::FromWide(argv[1]), shell::FromWide(argv[2]),
                      shell::FromWide(argv[3]), changed);
  } catch (const shell::ShellError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
