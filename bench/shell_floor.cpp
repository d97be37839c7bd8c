// pellumar_shell_floor CYCLES
// A bare program's memory over as many of the shell calls behind Pellumar's clicks as the
// benchmark makes through the window (bench/shell_calls.h). Prints one line for the driver:
//   growth KB   private bytes after CYCLES create/delete pairs, less after ten
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>

#include "shell_calls.h"

namespace {

double PrivateKb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage / 1024.0;  // Wine fills in this, not PrivateUsage
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int cycles = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 1000;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const wchar_t* name = L"bench floor.lnk";
  for (int i = 0; i < 10; ++i) bench::Recycle(bench::WriteLink(name), nullptr);
  const double before = PrivateKb();
  for (int i = 0; i < cycles; ++i) bench::Recycle(bench::WriteLink(name), nullptr);
  std::printf("growth %.0f\n", PrivateKb() - before);
  CoUninitialize();
  return 0;
}
