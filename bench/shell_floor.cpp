// pellumar_shell_floor CYCLES
// A bare program's memory over as many of the shell calls behind Pellumar's clicks as the
// benchmark makes through the window (bench/shell_calls.h). Prints one line for the driver:
//   growth KB   private bytes after CYCLES create/delete pairs, less after ten
//
// pellumar_shell_floor links COUNT
// The shell-link floor as a console program of its own with no window measures it: the desktop
// looked up, the link made, SetPath("http://example.org") and Save to benchfloor.lnk on the
// desktop, COUNT times after ten unmeasured. Prints one line per write: "link MS".
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>

#include "shell_calls.h"

namespace {

double PrivateKb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage / 1024.0;  // Wine fills in this, not PrivateUsage
}

}  // namespace

// While `writing` is set, asks for the file's attributes over and over, as a driver polling
// for the file from beside does.
struct Poller {
  std::wstring path;
  std::atomic<bool> writing{false};
  std::atomic<bool> stop{false};
};

DWORD WINAPI Poll(void* parameter) {
  auto* poller = static_cast<Poller*>(parameter);
  while (!poller->stop) {
    if (poller->writing) {
      GetFileAttributesW(poller->path.c_str());
    } else {
      Sleep(1);
    }
  }
  return 0;
}

int WriteLinks(int count, bool polled) {
  const wchar_t* name = L"benchfloor.lnk";
  Poller poller{bench::OnDesktop(name)};
  const HANDLE thread = polled ? CreateThread(nullptr, 0, Poll, &poller, 0, nullptr) : nullptr;
  for (int i = -10; i < count; ++i) {
    DeleteFileW(poller.path.c_str());  // each write makes the file anew, as a Create after Delete
    poller.writing = true;
    const double start = bench::NowMs();
    bench::WriteLink(name, L"http://example.org");
    const double end = bench::NowMs();
    poller.writing = false;
    if (i >= 0) std::printf("link %.4f\n", end - start);
  }
  poller.stop = true;
  if (thread) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  DeleteFileW(poller.path.c_str());
  return 0;
}

int wmain(int argc, wchar_t** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  if (argc > 2 && std::wstring(argv[1]) == L"links")
    return WriteLinks(static_cast<int>(std::wcstol(argv[2], nullptr, 10)),
                      argc > 3 && std::wstring(argv[3]) == L"polled");
  const int cycles = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 1000;
  const wchar_t* name = L"bench floor.lnk";
  for (int i = 0; i < 10; ++i) bench::Recycle(bench::WriteLink(name), nullptr);
  const double before = PrivateKb();
  for (int i = 0; i < cycles; ++i) {
    if (i % 100 == 0) bench::EmptyRecycleBin();
    bench::Recycle(bench::WriteLink(name), nullptr);
  }
  std::printf("growth %.0f\n", PrivateKb() - before);
  CoUninitialize();
  return 0;
}
