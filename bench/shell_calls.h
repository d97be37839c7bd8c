// The shell calls behind Pellumar's two clicks, at their least: the desktop looked up, the
// shell link created early bound, SetPath and Save; the file sent to the Recycle Bin with the
// flags Pellumar uses. Shared by the floor without a window and the themed window's buttons.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

namespace bench {

// Ticks of the performance counter, the clock every process shares, in milliseconds.
inline double TicksToMs(long long ticks) {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  return static_cast<double>(ticks) / ticksPerMs;
}

inline double NowMs() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return TicksToMs(now.QuadPart);
}

inline std::wstring OnDesktop(const wchar_t* name) {
  PWSTR desktop = nullptr;
  SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &desktop);
  std::wstring path = std::wstring(desktop ? desktop : L"") + L"\\" + name;
  CoTaskMemFree(desktop);
  return path;
}

inline std::wstring WriteLink(const wchar_t* name, const wchar_t* target = L"http://portal/news") {
  const std::wstring path = OnDesktop(name);
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    link->SetPath(target);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      file->Save(path.c_str(), TRUE);
      file->Release();
    }
    link->Release();
  }
  return path;
}

// Wine's Recycle Bin, once it held from some eight hundred to two thousand items of one run,
// refused new ones and asked before each deletion, which stops a run: every round of clicks and
// every hundred deletions begin with an empty one, untimed.
inline void EmptyRecycleBin() {
  SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

inline void Recycle(const std::wstring& path, HWND owner) {
  std::wstring from = path;
  from.push_back(L'\0');
  SHFILEOPSTRUCTW operation{};
  operation.hwnd = owner;
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags =
      FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationW(&operation);
}

}  // namespace bench
