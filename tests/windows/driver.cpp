#include "driver.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "shell/wide.h"

namespace pellumar::testing {
namespace {

using shell::Wide;

struct Search {
  DWORD processId;
  const wchar_t* className;
  std::u16string_view title;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (processId == search->processId && IsWindowVisible(window) &&
      lstrcmpW(className, search->className) == 0 &&
      (search->title.empty() || WindowText(window) == search->title)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindOfProcess(DWORD processId, const wchar_t* className, std::u16string_view title) {
  Search search{processId, className, title, nullptr};
  EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

// WM_GETTEXT, since GetWindowTextW does not ask a window of another process for its text.
std::u16string WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  const LRESULT length = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return shell::FromWide(std::wstring_view(text));
}

std::u16string TestFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string folder = shell::FromWide(path);
  return folder.substr(0, folder.find_last_of(u'\\') + 1);
}

Program::Program() {
  std::u16string command(1, u'"');
  command += TestFolder();
  command += PELLUMAR_EXE_FROM_TESTS;
  command += u'"';
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  // Wine's start of a process fails now and then, under load, with an internal error of its own
  // (ERROR_INTERNAL_ERROR, 2 in some 100 runs), which says nothing of the program: that alone is
  // tried again. Windows does not give it for a program that is there.
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(nullptr, const_cast<wchar_t*>(Wide(command)), nullptr, nullptr, FALSE, 0,
                       nullptr, nullptr, &startup, &process_)) {
      break;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
      throw std::runtime_error("Pellumar.exe did not start: error " + std::to_string(error));
    }
    Sleep(200);
  }
  WaitForInputIdle(process_.hProcess, 10000);
  WaitFor([&] { return (window_ = FindOfProcess(process_.dwProcessId, app::kForm1Class, u"")); });
  if (!window_) throw std::runtime_error("Pellumar's window did not appear");
}

Program::~Program() {
  if (Alive()) {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 1);
    }
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

HWND Program::Control(app::ControlId id) const { return GetDlgItem(window_, static_cast<int>(id)); }

bool Program::Alive() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

void Program::Type(app::ControlId box, std::u16string_view text) {
  SendMessageW(Control(box), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(std::u16string(text))));
}

std::u16string Program::Text(app::ControlId control) const { return WindowText(Control(control)); }

// Posted, not sent: a sent click would not return while the program's message box is open. Only
// once the program is done with what came before: a click that reaches it while a handler still
// runs is dropped, as a person's would be.
void Program::Click(app::ControlId button) {
  Sync();
  PostMessageW(Control(button), BM_CLICK, 0, 0);
}

void Program::Sync() const {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
}

// A marker posted after everything else, whose taking shows from outside: the address box's
// limit on typing, given back at once. Posted messages are taken in the order they came.
void Program::Taken() const {
  const HWND box = Control(app::ControlId::txtURL);
  DWORD_PTR limit = 0, now = 0;
  SendMessageTimeoutW(box, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 10000, &limit);
  PostMessageW(box, EM_SETLIMITTEXT, limit + 1, 0);
  WaitFor([&] {
    return SendMessageTimeoutW(box, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 10000, &now) &&
           now == limit + 1;
  });
  SendMessageTimeoutW(box, EM_SETLIMITTEXT, limit, 0, SMTO_NORMAL, 10000, &now);
}

void Program::ClickLink() {
  Sync();
  const HWND link = Control(app::ControlId::lblLink);
  PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

namespace {

INPUT Key(WORD key, wchar_t unit, DWORD flags) {
  INPUT input{INPUT_KEYBOARD, {}};
  input.ki = {key, unit, flags, 0, 0};
  return input;
}

// Real input lands where the system sends it: in the window in front. Nothing is pressed until
// the program's window is there.
void Send(HWND window, std::vector<INPUT> inputs) {
  DWORD_PTR result = 0;  // the program done with what came before, as Program::Sync
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
  SetForegroundWindow(window);
  if (!WaitFor([&] { return GetForegroundWindow() == window; }, 5000))
    throw std::runtime_error("the program's window did not come to the front");
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

void Program::DoubleClick(app::ControlId control) {
  RECT rect{};
  GetWindowRect(Control(control), &rect);
  const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  SetCursorPos(middle.x, middle.y);
  const bool there = WaitFor([&] {
    POINT pointer{};
    return GetCursorPos(&pointer) && pointer.x == middle.x && pointer.y == middle.y;
  }, 5000);
  if (!there) throw std::runtime_error("the pointer did not reach the control");
  std::vector<INPUT> presses(4, INPUT{INPUT_MOUSE, {}});
  for (std::size_t i = 0; i < presses.size(); ++i)
    presses[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
  Send(window_, presses);
}

void Program::PressKey(WORD key) {
  Send(window_, {Key(key, 0, 0), Key(key, 0, KEYEVENTF_KEYUP)});
}

void Program::TypeKeys(std::u16string_view text) {
  std::vector<INPUT> keys;
  for (char16_t unit : text) {
    keys.push_back(Key(0, unit, KEYEVENTF_UNICODE));
    keys.push_back(Key(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
  }
  Send(window_, keys);
}

HWND Program::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info);
  return info.hwndFocus;
}

HWND WaitForDialogOf(DWORD processId, std::u16string_view title, DWORD milliseconds) {
  HWND dialog = nullptr;
  WaitFor([&] { return (dialog = FindOfProcess(processId, L"#32770", title)); }, milliseconds);
  return dialog;
}

namespace {

BOOL CALLBACK FindEdit(HWND child, LPARAM found) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  if (lstrcmpiW(className, L"Edit") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

}  // namespace

bool AnswerOpenDialog(HWND dialog, std::u16string_view name) {
  if (name.empty()) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  } else {
    // The file-name box: an edit of its own (edt1) or the edit inside a combo box (cmb13).
    HWND edit = GetDlgItem(dialog, 0x480);
    if (!edit) EnumChildWindows(GetDlgItem(dialog, 0x47C), FindEdit, reinterpret_cast<LPARAM>(&edit));
    if (!edit) return false;
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(std::u16string(name))));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  return WaitFor([&] { return !IsWindow(dialog); });
}

HWND Program::WaitForDialog(std::u16string_view title, DWORD milliseconds) const {
  return WaitForDialogOf(process_.dwProcessId, title, milliseconds);
}

bool Program::NoDialog() const {
  Taken();
  return FindOfProcess(process_.dwProcessId, L"#32770", u"") == nullptr;
}

std::u16string Program::TakeMessage() {
  const HWND box = WaitForDialog(u"Pellumar");
  if (!box) return u"<no message>";
  const std::u16string text = WindowText(GetDlgItem(box, 0xFFFF));
  lastMessageIcon = GetDlgItem(box, 0x14) != nullptr && IsWindowVisible(GetDlgItem(box, 0x14));
  lastMessageButtons = 0;
  for (int id = IDOK; id <= IDCONTINUE; ++id) lastMessageButtons += GetDlgItem(box, id) != nullptr;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  WaitFor([&] { return !IsWindow(box); });
  return text;
}

}  // namespace pellumar::testing
