// pellumar_bench PELLUMAR_EXE EMPTY_WINDOW_EXE LABEL
// Measures the real Pellumar.exe against its baselines in the same run and prints Markdown
// table rows: start-up, click-to-file for Create and Delete, and memory.
#include <windows.h>
#include <oleauto.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kStartRuns = 30;
constexpr int kClicks = 300;
constexpr int kCycles = 1000;
constexpr int kWarmUp = 10;

double NowMs() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

struct Stats {
  double median, low, high;  // median, 10th and 90th percentiles
};

Stats Summarize(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const auto at = [&](double q) { return samples[static_cast<std::size_t>(q * (samples.size() - 1))]; };
  return {at(0.5), at(0.1), at(0.9)};
}

std::string Show(const Stats& s, const char* unit) {
  char text[96];
  std::snprintf(text, sizeof text, "%.2f %s (%.2f–%.2f)", s.median, unit, s.low, s.high);
  return text;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Desktop() {
  PWSTR path = nullptr;
  SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path);
  std::wstring desktop = path;
  CoTaskMemFree(path);
  return desktop;
}

struct FindData {
  DWORD processId;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM parameter) {
  auto* data = reinterpret_cast<FindData*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (processId != data->processId || !IsWindowVisible(window) || lstrcmpW(className, data->className)) return TRUE;
  data->found = window;
  return FALSE;
}

// A program started and shown: process start to its window visible and the program idle.
class Child {
 public:
  Child(const std::wstring& exe, const wchar_t* className) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + exe + L"\"";
    const double start = NowMs();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_)) {
      throw std::runtime_error("cannot start the program");
    }
    WaitForInputIdle(process_.hProcess, 10000);
    FindData data{process_.dwProcessId, className, nullptr};
    while (EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&data)), !data.found) {
      if (NowMs() - start > 10000) throw std::runtime_error("no window");
      Sleep(1);
    }
    window_ = data.found;
    startMs_ = NowMs() - start;
  }
  ~Child() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  double startMs() const { return startMs_; }
  // Returns once the program has finished what it was doing (its handler has returned).
  void Sync() const { SendMessageW(window_, WM_NULL, 0, 0); }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  // Peak working set and private bytes, in KB.
  std::pair<double, double> Memory() const {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process_.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // PagefileUsage is the private commit, as PrivateUsage is; Wine fills in only the former.
    return {counters.PeakWorkingSetSize / 1024.0, counters.PagefileUsage / 1024.0};
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
  double startMs_ = 0;
};

// Late-bound calls on an automation object, the way a script makes them.
VARIANT Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::vector<std::wstring> args = {}) {
  DISPID id = 0;
  LPOLESTR member = const_cast<LPOLESTR>(name);
  if (FAILED(object->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id))) {
    throw std::runtime_error("no such member");
  }
  std::vector<VARIANT> values(args.size());
  for (std::size_t i = 0; i < args.size(); ++i) {  // arguments go in reverse order
    VariantInit(&values[i]);
    values[i].vt = VT_BSTR;
    values[i].bstrVal = SysAllocString(args[args.size() - 1 - i].c_str());
  }
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  VARIANT result;
  VariantInit(&result);
  const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, nullptr, nullptr);
  for (VARIANT& value : values) VariantClear(&value);
  if (FAILED(hr)) throw std::runtime_error("call failed");
  return result;
}

IDispatch* CreateObject(const wchar_t* progId) {
  CLSID clsid;
  IDispatch* object = nullptr;
  if (FAILED(CLSIDFromProgID(progId, &clsid)) ||
      FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&object)))) {
    throw std::runtime_error("cannot create the object");
  }
  return object;
}

// What a script does for one shortcut: CreateObject, SpecialFolders("Desktop"), CreateShortcut,
// TargetPath, Save.
void ScriptCreate(const wchar_t* fileName) {
  IDispatch* shell = CreateObject(L"WScript.Shell");
  VARIANT folders = Invoke(shell, L"SpecialFolders", DISPATCH_PROPERTYGET);
  VARIANT desktop = Invoke(folders.pdispVal, L"Item", DISPATCH_METHOD, {L"Desktop"});
  VARIANT link = Invoke(shell, L"CreateShortcut", DISPATCH_METHOD, {std::wstring(desktop.bstrVal) + L"\\" + fileName});
  VARIANT target = Invoke(link.pdispVal, L"TargetPath", DISPATCH_PROPERTYPUT, {L"http://portal/news"});
  VariantClear(&target);
  VARIANT saved = Invoke(link.pdispVal, L"Save", DISPATCH_METHOD);
  VariantClear(&saved);
  VariantClear(&link);
  VariantClear(&desktop);
  VariantClear(&folders);
  shell->Release();
}

// What a script does to delete it: the desktop from the shell object, then the file object.
void ScriptDelete(const wchar_t* fileName) {
  IDispatch* shell = CreateObject(L"WScript.Shell");
  VARIANT folders = Invoke(shell, L"SpecialFolders", DISPATCH_PROPERTYGET);
  VARIANT desktop = Invoke(folders.pdispVal, L"Item", DISPATCH_METHOD, {L"Desktop"});
  IDispatch* files = CreateObject(L"Scripting.FileSystemObject");
  VARIANT result = Invoke(files, L"DeleteFile", DISPATCH_METHOD, {std::wstring(desktop.bstrVal) + L"\\" + fileName});
  VariantClear(&desktop);
  VariantClear(&folders);
  shell->Release();
  VariantClear(&result);
  files->Release();
}

std::vector<double> Time(int runs, const std::function<void()>& action) {
  std::vector<double> samples;
  for (int i = 0; i < runs; ++i) {
    const double start = NowMs();
    action();
    samples.push_back(NowMs() - start);
  }
  return samples;
}

void Row(const char* measure, const std::string& pellumar, const std::string& baseline, const char* against,
         double ratio) {
  std::printf("| %s | %s | %s: %s | %.2fx |\n", measure, pellumar.c_str(), against, baseline.c_str(), ratio);
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void Spin(const std::function<bool()>& done) {
  const double start = NowMs();
  while (!done()) {
    if (NowMs() - start > 10000) throw std::runtime_error("the click did nothing");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fputs("usage: pellumar_bench PELLUMAR_EXE EMPTY_WINDOW_EXE LABEL\n", stderr);
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring pellumarExe = argv[1], emptyExe = argv[2];
  char label[64];
  WideCharToMultiByte(CP_UTF8, 0, argv[3], -1, label, sizeof label, nullptr, nullptr);
  try {
    // Start-up, the two programs taking turns so drift hits both alike.
    std::vector<double> pellumarStart, emptyStart;
    for (int i = 0; i < kStartRuns; ++i) {
      pellumarStart.push_back(Child(pellumarExe, L"Pellumar.Form1").startMs());
      emptyStart.push_back(Child(emptyExe, L"Pellumar.EmptyWindow").startMs());
    }
    const Stats ps = Summarize(pellumarStart), es = Summarize(emptyStart);
    Row((std::string("Start-up to window shown and idle, ") + label).c_str(), Show(ps, "ms"), Show(es, "ms"),
        "empty window", ps.median / es.median);
    if (GetEnvironmentVariableW(L"PELLUMAR_BENCH_STARTUP_ONLY", nullptr, 0)) return 0;

    // Click to file, through the real window.
    const std::wstring desktop = Desktop();
    const std::wstring path = desktop + L"\\bench shortcut.lnk";
    DeleteFileW(path.c_str());
    Child empty(emptyExe, L"Pellumar.EmptyWindow");
    Child program(pellumarExe, L"Pellumar.Form1");
    SetWindowTextW(program.Control(101), L"Portal/News");     // txtURL
    SetWindowTextW(program.Control(103), L"Bench Shortcut");  // txtFileName
    const HWND create = program.Control(108), remove = program.Control(109);
    const auto cycle = [&](std::vector<double>* creates, std::vector<double>* deletes) {
      double start = NowMs();
      Click(create);
      Spin([&] { return Exists(path); });
      if (creates) creates->push_back(NowMs() - start);
      program.Sync();  // each click starts on an idle program
      start = NowMs();
      Click(remove);
      Spin([&] { return !Exists(path); });
      if (deletes) deletes->push_back(NowMs() - start);
      program.Sync();
    };
    for (int i = 0; i < kWarmUp; ++i) cycle(nullptr, nullptr);
    const auto warm = program.Memory();
    std::vector<double> creates, deletes;
    for (int i = 0; i < kClicks; ++i) cycle(&creates, &deletes);

    // Baselines: the scripting route, and the floor of writing the same bytes.
    Click(create);
    Spin([&] { return Exists(path); });
    Sleep(50);
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes);
    const std::vector<char> bytes(attributes.nFileSizeLow, 'x');
    Click(remove);
    Spin([&] { return !Exists(path); });

    const std::wstring scriptPath = desktop + L"\\bench scripting.lnk";
    const auto scriptCreates = Time(kClicks, [&] {
      ScriptCreate(L"bench scripting.lnk");
      DeleteFileW(scriptPath.c_str());
    });
    std::vector<double> scriptDeletes;
    for (int i = 0; i < kClicks; ++i) {
      ScriptCreate(L"bench scripting.lnk");
      const double start = NowMs();
      ScriptDelete(L"bench scripting.lnk");
      scriptDeletes.push_back(NowMs() - start);
    }
    const std::wstring floorPath = desktop + L"\\bench floor.lnk";
    const auto floorCreates = Time(kClicks, [&] {
      const HANDLE file = CreateFileW(floorPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      DWORD written = 0;
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      CloseHandle(file);
      DeleteFileW(floorPath.c_str());
    });
    std::vector<double> floorDeletes;
    for (int i = 0; i < kClicks; ++i) {
      const HANDLE file = CreateFileW(floorPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      CloseHandle(file);
      const double start = NowMs();
      DeleteFileW(floorPath.c_str());
      floorDeletes.push_back(NowMs() - start);
    }

    const Stats pc = Summarize(creates), pd = Summarize(deletes);
    const Stats sc = Summarize(scriptCreates), sd = Summarize(scriptDeletes);
    const Stats fc = Summarize(floorCreates), fd = Summarize(floorDeletes);
    Row((std::string("Create Shortcut click to file on disk, ") + label).c_str(), Show(pc, "ms"), Show(sc, "ms"),
        "scripting route", pc.median / sc.median);
    Row((std::string("Create Shortcut click to file on disk, ") + label).c_str(), Show(pc, "ms"), Show(fc, "ms"),
        "floor (CreateFileW + WriteFile)", pc.median / fc.median);
    Row((std::string("Delete Shortcut click to file gone, ") + label).c_str(), Show(pd, "ms"), Show(sd, "ms"),
        "scripting route", pd.median / sd.median);
    Row((std::string("Delete Shortcut click to file gone, ") + label).c_str(), Show(pd, "ms"), Show(fd, "ms"),
        "floor (DeleteFileW)", pd.median / fd.median);

    // The Delete handler alone, without the button's own click and repaint.
    std::vector<double> handlerDeletes;
    for (int i = 0; i < kClicks; ++i) {
      Click(create);
      Spin([&] { return Exists(path); });
      program.Sync();
      const double start = NowMs();
      PostMessageW(GetParent(remove), WM_COMMAND, MAKEWPARAM(109, BN_CLICKED), reinterpret_cast<LPARAM>(remove));
      Spin([&] { return !Exists(path); });
      handlerDeletes.push_back(NowMs() - start);
      program.Sync();
    }
    const Stats hd = Summarize(handlerDeletes);
    Row((std::string("Delete handler alone (no button press drawn), ") + label).c_str(), Show(hd, "ms"), Show(sd, "ms"),
        "scripting route", hd.median / sd.median);

    // What any click costs before the program does anything: a message there and back.
    const Stats trip = Summarize(Time(kClicks, [&] { program.Sync(); }));
    std::printf("| Message round trip to the program, %s | %s | | |\n", label, Show(trip, "ms").c_str());

    // Memory: after start-up, and after 1,000 create/delete cycles through the window.
    for (int i = kWarmUp + kClicks; i < kCycles; ++i) cycle(nullptr, nullptr);
    const auto after = program.Memory();
    const auto base = empty.Memory();
    char text[128], baseText[64];
    std::snprintf(text, sizeof text, "%.0f KB peak working set, %.0f KB private", warm.first, warm.second);
    std::snprintf(baseText, sizeof baseText, "%.0f KB, %.0f KB", base.first, base.second);
    Row((std::string("Memory after start-up and 10 clicks, ") + label).c_str(), text, baseText, "empty window",
        warm.second / base.second);
    std::snprintf(text, sizeof text, "%.0f KB peak working set, %.0f KB private (growth %+.0f KB)", after.first,
                  after.second, after.second - warm.second);
    Row((std::string("Memory after 1,000 create/delete cycles, ") + label).c_str(), text, baseText,
        "empty window", after.second / base.second);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
  }
  return 0;
}
