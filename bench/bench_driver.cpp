// pellumar_bench PELLUMAR_EXE THEMED_WINDOW_EXE EMPTY_WINDOW_EXE SHELL_FLOOR_EXE CLICK_FLOOR_EXE
//                LABEL
// Measures the real Pellumar.exe against its baselines in the same run and prints Markdown
// table rows: start-up, click-to-file for Create and Delete, and memory.
#include <windows.h>
#include <oleauto.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "shell_calls.h"

namespace {

constexpr int kStartRuns = 50;
constexpr int kClicks = 300;
constexpr int kCycles = 1000;
constexpr int kWarmUp = 10;

using bench::NowMs;

struct Stats {
  double median, low, high;  // median, 10th and 90th percentiles
};

Stats Summarize(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const auto at = [&](double q) {
    return samples[static_cast<std::size_t>(q * (samples.size() - 1))];
  };
  return {at(0.5), at(0.1), at(0.9)};
}

std::string Show(const Stats& s, const char* unit) {
  char text[96];
  std::snprintf(text, sizeof text, "%.2f %s (%.2f–%.2f)", s.median, unit, s.low, s.high);
  return text;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

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
  if (processId != data->processId || !IsWindowVisible(window) ||
      lstrcmpW(className, data->className))
    return TRUE;
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
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
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
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0)
      TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  double startMs() const { return startMs_; }
  HWND window() const { return window_; }
  // Returns once the program has finished what it was doing (its handler has returned).
  void Sync() const { SendMessageW(window_, WM_NULL, 0, 0); }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  // Peak working set and private bytes, in KB.
  std::pair<double, double> Memory() const {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process_.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    // PagefileUsage is the private commit, as PrivateUsage is; Wine fills in only the former.
    return {counters.PeakWorkingSetSize / 1024.0, counters.PagefileUsage / 1024.0};
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
  double startMs_ = 0;
};

// Late-bound calls on an automation object, the way a script makes them.
VARIANT Invoke(IDispatch* object, const wchar_t* name, WORD flags,
               std::vector<std::wstring> args = {}) {
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
  const HRESULT hr =
      object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, nullptr, nullptr);
  for (VARIANT& value : values) VariantClear(&value);
  if (FAILED(hr)) throw std::runtime_error("call failed");
  return result;
}

IDispatch* CreateObject(const wchar_t* progId) {
  CLSID clsid;
  IDispatch* object = nullptr;
  if (FAILED(CLSIDFromProgID(progId, &clsid)) ||
      FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IDispatch, reinterpret_cast<void**>(&object)))) {
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
  VARIANT link = Invoke(shell, L"CreateShortcut", DISPATCH_METHOD,
                        {std::wstring(desktop.bstrVal) + L"\\" + fileName});
  VARIANT target =
      Invoke(link.pdispVal, L"TargetPath", DISPATCH_PROPERTYPUT, {L"http://portal/news"});
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
  VARIANT result = Invoke(files, L"DeleteFile", DISPATCH_METHOD,
                          {std::wstring(desktop.bstrVal) + L"\\" + fileName});
  VariantClear(&desktop);
  VariantClear(&folders);
  shell->Release();
  VariantClear(&result);
  files->Release();
}

// Runs `action` once, adding how long it took to `samples` when `record` says so.
void Timed(bool record, std::vector<double>* samples, const std::function<void()>& action) {
  const double start = NowMs();
  action();
  if (record) samples->push_back(NowMs() - start);
}

std::vector<double> Time(int runs, const std::function<void()>& action) {
  std::vector<double> samples;
  for (int i = 0; i < runs; ++i) Timed(true, &samples, action);
  return samples;
}

// One table row: a figure of Pellumar's beside a baseline's, and the ratio of their medians.
void Row(const std::string& measure, const Stats& pellumar, const char* against,
         const Stats& baseline) {
  std::printf("| %s | %s | %s: %s | %.2fx |\n", measure.c_str(), Show(pellumar, "ms").c_str(),
              against, Show(baseline, "ms").c_str(), pellumar.median / baseline.median);
}

// A person's clicks are far apart: before the next one the window may finish what it does
// after answering (it tells the shell of the change then), as it would between a person's.
void Settle(const Child& window) {
  Sleep(5);
  window.Sync();
}

// Click to ready: the click sent, so it returns once the handler has finished and the window
// answers again; done() says the click's result is on disk.
void TimedClick(const Child& window, HWND button, const std::function<bool()>& done,
                const char* failure, bool record, std::vector<double>* samples) {
  Timed(record, samples, [&] {
    SendMessageW(button, BM_CLICK, 0, 0);
    if (!done()) throw std::runtime_error(failure);
  });
  Settle(window);
}

// Click to file: the click posted, until done() says its result is first on disk.
void PostedClick(const Child& window, HWND button, const std::function<bool()>& done, bool record,
                 std::vector<double>* samples) {
  Timed(record, samples, [&] {
    PostMessageW(button, BM_CLICK, 0, 0);
    const double start = NowMs();
    while (!done()) {
      if (NowMs() - start > 10000) throw std::runtime_error("the click did nothing");
    }
  });
  Settle(window);
}

// Runs the bare shell program (pellumar_shell_floor) with `arguments` and returns what it
// printed.
std::string RunShellFloor(const std::wstring& exe, const std::wstring& arguments) {
  wchar_t folder[MAX_PATH], file[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"flr", 0, file);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE out =
      CreateFileW(file, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = out;
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + exe + L"\" " + arguments;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    throw std::runtime_error("cannot start the shell floor program");
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(out);
  std::string printed;
  if (FILE* text = _wfopen(file, L"rb")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, text)) > 0;) printed.append(buffer, n);
    std::fclose(text);
  }
  DeleteFileW(file);
  if (printed.empty()) throw std::runtime_error("the shell floor printed nothing");
  return printed;
}

// The samples of one kind ("link") the shell floor printed, a line "KIND MS" each.
std::vector<double> SamplesOf(const std::string& printed, const char* kind) {
  std::vector<double> samples;
  const std::string prefix = std::string(kind) + " ";
  for (std::size_t at = 0; at < printed.size();) {
    std::size_t end = printed.find('\n', at);
    if (end == std::string::npos) end = printed.size();
    if (printed.compare(at, prefix.size(), prefix) == 0)
      samples.push_back(std::atof(printed.c_str() + at + prefix.size()));
    at = end + 1;
  }
  if (samples.empty()) throw std::runtime_error("the shell floor printed no samples");
  return samples;
}

constexpr int kOutsideRounds = 100;

// One Create of the outside rhythm, on the clock every process shares (milliseconds).
struct Click {
  double posted, onDisk, ready;
};

// The steps the steps build timed inside the given clicks, from the log it wrote when it closed
// (lines "step<TAB>ms<TAB>start in counter ticks"), and what lies around the handler: from the
// click posted to the handler starting (the button's press and release, the message queue),
// and from the handler's end to the window answering.
void PrintClickSteps(const std::wstring& log, const std::vector<Click>& clicks,
                     const std::function<std::string(const char*)>& measure) {
  FILE* file = _wfopen(log.c_str(), L"r");
  if (!file) return;
  struct Step {
    std::string name;
    double ms, start;
  };
  std::vector<Step> steps;
  char line[256];
  while (std::fgets(line, sizeof line, file)) {
    char* tab = std::strchr(line, '\t');
    if (!tab) continue;
    char* second = std::strchr(tab + 1, '\t');
    if (!second) continue;
    steps.push_back({std::string(line, tab), std::atof(tab + 1),
                     bench::TicksToMs(std::atoll(second + 1))});
  }
  std::fclose(file);
  std::vector<std::string> names;  // in the order first met
  std::vector<std::vector<double>> samples;
  const auto add = [&](const std::string& name, double ms) {
    std::size_t i = 0;
    while (i < names.size() && names[i] != name) ++i;
    if (i == names.size()) {
      names.push_back(name);
      samples.emplace_back();
    }
    samples[i].push_back(ms);
  };
  for (const Click& click : clicks) {
    const Step* handler = nullptr;  // the click's own; a focus change also reaches the handler
    for (const Step& step : steps) {
      if (step.name == "click: Create Shortcut handler" && step.start >= click.posted &&
          step.start < click.ready && (!handler || step.ms > handler->ms))
        handler = &step;
    }
    if (!handler) continue;
    add("click posted to the handler's start", handler->start - click.posted);
    for (const Step& step : steps) {
      if (step.start >= handler->start && step.start < handler->start + handler->ms &&
          &step != handler)
        add(step.name, step.ms);
    }
    add("the handler", handler->ms);
    add("the handler's end to the window answering", click.ready - handler->start - handler->ms);
    for (const Step& step : steps) {  // what the window does once it has answered
      if (step.name.rfind("after the click", 0) == 0 && step.start >= handler->start &&
          step.start < click.ready + 20)
        add(step.name + " (once the window has answered)", step.ms);
    }
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::printf("| %s: %s | %s | | |\n",
                measure("Outside rhythm, where Create's click to ready goes (steps build)").c_str(),
                names[i].c_str(), Show(Summarize(samples[i]), "ms").c_str());
  }
}

// Another rhythm, that of a driver written outside the project: the click posted, the file
// polled for without a pause until it is there (click to file), then a message there and back
// (click to ready); 20 ms, then Delete the same way; 20 ms. Its floor is the shell-link floor as
// a console program of its own with no window (pellumar_shell_floor links), on the same
// desktop. The same rhythm is also clicked with a millisecond's pause between two looks for the
// file, and the floor made with a thread beside it polling as the driver does: the poll's own
// share of the machine, which a person's waiting does not take, shows in both. All four take
// turns, ten rounds at a time, so that the machine's drift meets each alike.
void OutsideRhythm(const std::wstring& pellumarExe, const std::wstring& floorExe,
                   const std::function<std::string(const char*)>& measure) {
  const std::wstring path = Desktop() + L"\\benchlink.lnk";
  const auto there = [&] { return Exists(path); };
  const auto gone = [&] { return !Exists(path); };
  DeleteFileW(path.c_str());
  constexpr int kTurn = 10;
  std::vector<Click> creates, pausedCreates;
  std::vector<double> deletes, floor, polledFloor;
  {
    const Child program(pellumarExe, L"Pellumar.Form1");
    SetWindowTextW(program.Control(103), L"benchlink");    // txtFileName
    SetWindowTextW(program.Control(101), L"example.org");  // txtURL
    const auto click = [&](HWND button, const std::function<bool()>& done, bool pause) {
      Click timed{NowMs(), 0, 0};
      PostMessageW(button, BM_CLICK, 0, 0);
      while (!done()) {
        if (NowMs() - timed.posted > 10000) throw std::runtime_error("the click did nothing");
        if (pause) Sleep(1);
      }
      timed.onDisk = NowMs();
      DWORD_PTR result = 0;
      SendMessageTimeoutW(program.window(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
      timed.ready = NowMs();
      Sleep(20);
      return timed;
    };
    const auto rounds = [&](int count, bool pause, std::vector<Click>* made,
                            std::vector<double>* removed) {
      for (int i = 0; i < count; ++i) {
        const Click created = click(program.Control(108), there, pause);
        const Click deleted = click(program.Control(109), gone, pause);
        if (!made) continue;
        made->push_back(created);
        if (removed) removed->push_back(deleted.ready - deleted.posted);
      }
    };
    const std::wstring writes = L"links " + std::to_wstring(kTurn);
    rounds(kWarmUp, false, nullptr, nullptr);
    for (int turn = 0; turn < kOutsideRounds / kTurn; ++turn) {
      rounds(kTurn, false, &creates, &deletes);
      rounds(kTurn, true, &pausedCreates, nullptr);
      for (double ms : SamplesOf(RunShellFloor(floorExe, writes), "link")) floor.push_back(ms);
      for (double ms : SamplesOf(RunShellFloor(floorExe, writes + L" polled"), "link"))
        polledFloor.push_back(ms);
    }
  }
  // The steps build writes its log when it closes: it then holds this rhythm's clicks, placed
  // by their times, and is emptied for the rest of the run.
  wchar_t log[MAX_PATH];
  const DWORD logLength = GetEnvironmentVariableW(L"PELLUMAR_STEP_LOG", log, MAX_PATH);
  if (logLength > 0 && logLength < MAX_PATH) {
    PrintClickSteps(log, creates, measure);
    DeleteFileW(log);
  }

  const auto part = [](const std::vector<Click>& clicks, double Click::*end) {
    std::vector<double> samples;
    for (const Click& click : clicks) samples.push_back(click.*end - click.posted);
    return Summarize(samples);
  };
  const Stats floorStats = Summarize(floor);
  const char* floorName = "shell-link floor, a console program of its own";
  Row(measure("Outside rhythm: Create Shortcut click to ready"), part(creates, &Click::ready),
      floorName, floorStats);
  Row(measure("Outside rhythm: Create Shortcut click to file first on disk"),
      part(creates, &Click::onDisk), floorName, floorStats);
  Row(measure("Outside rhythm: Create Shortcut click to ready"), part(creates, &Click::ready),
      "the same floor with the driver's polling beside it", Summarize(polledFloor));
  Row(measure("Outside rhythm, a millisecond between looks for the file: Create Shortcut click "
              "to ready"),
      part(pausedCreates, &Click::ready), floorName, floorStats);
  std::printf("| %s | %s | | |\n", measure("Outside rhythm: Delete Shortcut click to ready").c_str(),
              Show(Summarize(deletes), "ms").c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 7) {
    std::fputs(
        "usage: pellumar_bench PELLUMAR_EXE THEMED_WINDOW_EXE EMPTY_WINDOW_EXE SHELL_FLOOR_EXE "
        "CLICK_FLOOR_EXE LABEL\n",
        stderr);
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring pellumarExe = argv[1], themedExe = argv[2], emptyExe = argv[3],
                     floorExe = argv[4], clickFloorExe = argv[5];
  char label[64];
  WideCharToMultiByte(CP_UTF8, 0, argv[6], -1, label, sizeof label, nullptr, nullptr);
  const auto measure = [&](const char* what) { return std::string(what) + ", " + label; };
  try {
    // Set, the clicks alone are measured: for comparing two builds of the program.
    const bool clicksOnly = GetEnvironmentVariableW(L"PELLUMAR_BENCH_CLICKS_ONLY", nullptr, 0);
    // The outside rhythm first, so that the steps build's log of it holds nothing else.
    if (!clicksOnly) OutsideRhythm(pellumarExe, floorExe, measure);
    if (GetEnvironmentVariableW(L"PELLUMAR_BENCH_OUTSIDE_ONLY", nullptr, 0)) return 0;
    // Start-up, the three programs taking turns so drift hits them alike.
    if (!clicksOnly) {
      std::vector<double> pellumarStart, themedStart, emptyStart;
      for (int i = 0; i < kStartRuns; ++i) {
        pellumarStart.push_back(Child(pellumarExe, L"Pellumar.Form1").startMs());
        themedStart.push_back(Child(themedExe, L"Pellumar.ThemedWindow").startMs());
        emptyStart.push_back(Child(emptyExe, L"Pellumar.EmptyWindow").startMs());
      }
      const Stats ps = Summarize(pellumarStart), ts = Summarize(themedStart),
                  es = Summarize(emptyStart);
      Row(measure("Start-up to window shown and idle"), ps,
          "themed floor (same manifest, same eleven controls)", ts);
      Row(measure("Start-up to window shown and idle"), ps,
          "bare window (no manifest, no controls)", es);
    }
    if (GetEnvironmentVariableW(L"PELLUMAR_BENCH_STARTUP_ONLY", nullptr, 0)) return 0;

    // Clicks through the real window. Click to ready: the click sent, so it returns once the
    // handler has finished and the window answers again; the shortcut is then complete on disk.
    // Click to file: the click posted, until the file first exists (or is first gone).
    // Every round also times the click floor's buttons, the same shell calls made in this
    // process (the floor with no window at all) and the scripting route, taking turns with the
    // program: Wine's Recycle Bin slows down as it fills, so all of them meet the same one.
    const std::wstring desktop = Desktop();
    const std::wstring path = desktop + L"\\bench shortcut.lnk";
    const auto there = [&] { return Exists(path); };
    const auto gone = [&] { return !Exists(path); };
    DeleteFileW(path.c_str());
    Child program(pellumarExe, L"Pellumar.Form1");
    SetWindowTextW(program.Control(101), L"Portal/News");     // txtURL
    SetWindowTextW(program.Control(103), L"Bench Shortcut");  // txtFileName
    const HWND create = program.Control(108), remove = program.Control(109);
    const Child clickFloor(clickFloorExe, L"Pellumar.ThemedWindow");
    const HWND floorCreate = clickFloor.Control(108), floorRemove = clickFloor.Control(109);
    std::vector<double> createReady, deleteReady, createFile, deleteFile, clickFloorCreate,
        clickFloorDelete, floorCreates, floorDeletes, scriptCreates, scriptDeletes;
    const auto cycle = [&](bool record) {
      TimedClick(program, create, there, "Create Shortcut wrote nothing", record, &createReady);
      TimedClick(program, remove, gone, "Delete Shortcut left the file", record, &deleteReady);
      PostedClick(program, create, there, record, &createFile);
      PostedClick(program, remove, gone, record, &deleteFile);
    };
    const auto round = [&](bool record) {
      bench::EmptyRecycleBin();
      cycle(record);
      TimedClick(clickFloor, floorCreate, there, "the click floor wrote nothing", record,
                 &clickFloorCreate);
      TimedClick(clickFloor, floorRemove, gone, "the click floor left the file", record,
                 &clickFloorDelete);
      Timed(record, &floorCreates, [] { bench::WriteLink(L"bench shortcut.lnk"); });
      Timed(record, &floorDeletes, [&] { bench::Recycle(path, nullptr); });
      Timed(record, &scriptCreates, [] { ScriptCreate(L"bench shortcut.lnk"); });
      Timed(record, &scriptDeletes, [] { ScriptDelete(L"bench shortcut.lnk"); });
      if (!gone()) throw std::runtime_error("the scripting route left the file");
    };
    for (int i = 0; i < kWarmUp; ++i) round(false);
    const auto warm = program.Memory();
    for (int i = 0; i < kClicks; ++i) round(true);

    // The bare program's memory over as many shell calls as the window makes.
    double floorGrowthKb = 0;
    bench::EmptyRecycleBin();
    if (!clicksOnly) {
      std::sscanf(RunShellFloor(floorExe, std::to_wstring(kCycles)).c_str(), "growth %lf",
                  &floorGrowthKb);
    }

    const Stats cr = Summarize(createReady), dr = Summarize(deleteReady);
    const Stats cf = Summarize(createFile), df = Summarize(deleteFile);
    const Stats fc = Summarize(floorCreates), fd = Summarize(floorDeletes);
    const Stats kc = Summarize(clickFloorCreate), kd = Summarize(clickFloorDelete);
    const Stats sc = Summarize(scriptCreates), sd = Summarize(scriptDeletes);
    Row(measure("Create Shortcut click to ready"), cr,
        "shell-link floor (desktop, IShellLinkW, SetPath, Save; no window)", fc);
    Row(measure("Create Shortcut click to ready"), cr,
        "click floor (the same calls behind the themed window's button)", kc);
    Row(measure("Create Shortcut click to ready"), cr, "scripting route", sc);
    Row(measure("Create Shortcut click to file first on disk"), cf, "shell-link floor", fc);
    Row(measure("Delete Shortcut click to ready"), dr,
        "Delete floor (SHFileOperationW, same flags; no window)", fd);
    Row(measure("Delete Shortcut click to ready"), dr,
        "click floor (the same call behind the themed window's button)", kd);
    Row(measure("Delete Shortcut click to ready"), dr, "scripting route (deletes for good)", sd);
    Row(measure("Delete Shortcut click to file gone"), df, "Delete floor", fd);
    if (clicksOnly) return 0;

    // What any click costs before the program does anything: a message there and back, and the
    // same button of the themed floor window pressed and released with no handler behind it.
    const Stats trip = Summarize(Time(kClicks, [&] { program.Sync(); }));
    std::printf("| Message round trip to the program, %s | %s | | |\n", label,
                Show(trip, "ms").c_str());
    {
      const Child themed(themedExe, L"Pellumar.ThemedWindow");
      const HWND button = themed.Control(108);
      const Stats press = Summarize(Time(kClicks, [&] { SendMessageW(button, BM_CLICK, 0, 0); }));
      std::printf(
          "| A click alone: the same button of the themed floor window, no handler, %s | %s | | "
          "|\n",
          label, Show(press, "ms").c_str());
    }

    // Memory: after start-up, and after 1,000 create/delete cycles through the window (each
    // cycle above made two of each), beside the bare program's growth over as many calls.
    for (int pairs = 2 * kClicks; pairs < kCycles; pairs += 2) {
      if (pairs % 100 == 0) bench::EmptyRecycleBin();
      cycle(false);
    }
    const auto after = program.Memory();
    char text[160], baseText[96];
    std::snprintf(text, sizeof text, "%.0f KB private after start-up, growth %+.0f KB", warm.second,
                  after.second - warm.second);
    std::snprintf(baseText, sizeof baseText, "growth %+.0f KB", floorGrowthKb);
    std::printf("| %s | %s | bare program making the same shell calls: %s | %+.0f KB |\n",
                measure("Memory over 1,000 create/delete cycles").c_str(), text, baseText,
                after.second - warm.second - floorGrowthKb);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
  }
  return 0;
}
