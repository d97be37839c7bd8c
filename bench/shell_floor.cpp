// pellumar_shell_floor CYCLES
// The least the shell needs for what Pellumar's clicks do, in one process with no window, and
// a bare program's memory over as many of those calls as the benchmark makes through the
// window. Prints three lines for the benchmark driver:
//   create MEDIAN P10 P90   look the desktop up, create the shell link early bound, SetPath, Save
//   delete MEDIAN P10 P90   SHFileOperationW to the Recycle Bin, with Pellumar's flags
//   growth KB               private bytes after CYCLES create/delete pairs, less after ten
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::wstring Create(const wchar_t* name) {
  PWSTR desktop = nullptr;
  SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &desktop);
  const std::wstring path = std::wstring(desktop) + L"\\" + name;
  CoTaskMemFree(desktop);
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                   reinterpret_cast<void**>(&link));
  link->SetPath(L"http://portal/news");
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  file->Save(path.c_str(), TRUE);
  file->Release();
  link->Release();
  return path;
}

void Delete(const std::wstring& path) {
  std::wstring from = path;
  from.push_back(L'\0');
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags =
      FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationW(&operation);
}

void Print(const char* what, std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const auto at = [&](double q) {
    return samples[static_cast<std::size_t>(q * (samples.size() - 1))];
  };
  std::printf("%s %.3f %.3f %.3f\n", what, at(0.5), at(0.1), at(0.9));
}

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
  for (int i = 0; i < 10; ++i) Delete(Create(name));
  const double before = PrivateKb();
  std::vector<double> creates, deletes;
  for (int i = 0; i < cycles; ++i) {
    double start = NowMs();
    const std::wstring path = Create(name);
    creates.push_back(NowMs() - start);
    start = NowMs();
    Delete(path);
    deletes.push_back(NowMs() - start);
  }
  const double after = PrivateKb();
  Print("create", creates);
  Print("delete", deletes);
  std::printf("growth %.0f\n", after - before);
  CoUninitialize();
  return 0;
}
