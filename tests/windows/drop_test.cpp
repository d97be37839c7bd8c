// What is dragged onto the window: each form a browser or a folder window offers, handed to a
// drop target of the window like the one it registers, and one drag made by the system's drag
// loop with real input.
#include <windows.h>

#include <shlobj.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "driver.h"
#include "machine.h"
#include "shell/wide.h"
#include "utf8.h"

namespace pellumar {
namespace {

using app::ControlId;
using shell::Wide;
using Bytes = std::string;

template <typename T>
Bytes BytesOf(const T& value) { return Bytes(reinterpret_cast<const char*>(&value), sizeof value); }

Bytes WideBytes(std::u16string_view text) {
  return Bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2) + Bytes(2, '\0');
}

Bytes FileList(std::initializer_list<std::u16string> paths) {
  Bytes bytes = BytesOf(DROPFILES{sizeof(DROPFILES), {}, FALSE, TRUE});
  for (const auto& path : paths) bytes += WideBytes(path);
  return bytes + Bytes(2, '\0');
}

Bytes Described(const wchar_t* name) {
  FILEDESCRIPTORW file{};
  lstrcpynW(file.cFileName, name, MAX_PATH);
  return BytesOf(UINT{1}) + BytesOf(file);
}

CLIPFORMAT Registered(const wchar_t* name) {
  return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name));
}

// An object of the test's stack, asked for no other interface.
template <typename Interface>
class OnStack : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

// A data object of blocks of global memory, as the formats' owners make them.
class Offer final : public OnStack<IDataObject> {
 public:
  Offer(std::initializer_list<std::pair<CLIPFORMAT, Bytes>> formats) : formats_(formats) {}
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
    for (const auto& [format, bytes] : formats_) {
      if (format != wanted->cfFormat || !(wanted->tymed & TYMED_HGLOBAL)) continue;
      const HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
      bytes.copy(static_cast<char*>(GlobalLock(copy)), bytes.size());
      GlobalUnlock(copy);
      *medium = {};
      medium->tymed = TYMED_HGLOBAL;
      medium->hGlobal = copy;
      return S_OK;
    }
    return DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  std::vector<std::pair<CLIPFORMAT, Bytes>> formats_;
};

// A drop target that takes nothing: a second one for a window is refused once it has its own.
class Refusing final : public OnStack<IDropTarget> {
 public:
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD*) override { return E_NOTIMPL; }
};

bool TakesDrops(HWND window) {
  Refusing second;
  const HRESULT registered = RegisterDragDrop(window, &second);
  if (SUCCEEDED(registered)) RevokeDragDrop(window);
  return registered == DRAGDROP_E_ALREADYREGISTERED;
}

class WindowDropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form_.Create());
    form_.Show(SW_SHOWNORMAL);
    ASSERT_TRUE(testing::WaitFor([&] { return Pump(), TakesDrops(form_.hwnd()); }));
  }
  // The window's end asks the thread to quit: taken here, or it would end the next test's dialog.
  void TearDown() override {
    DestroyWindow(form_.hwnd());
    Pump();
  }
  static void Pump() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  std::string Boxes() const {
    std::string text;
    for (ControlId id : {ControlId::txtURL, ControlId::txtFileName, ControlId::txtIcon})
      text += "|" + testing::ToUtf8(testing::WindowText(form_.Control(id)));
    return text.substr(1);
  }

  app::Form1 form_{GetModuleHandleW(nullptr)};
};

struct DropRow {
  const char* what;
  Offer offer;
  std::string boxes;  // address|site name|icon after the drop, which start as old||old
  const wchar_t* siteBefore = L"";
};

TEST_F(WindowDropTest, EachFormFillsItsBoxesAndAnythingElseIsRefused) {
  const std::u16string url = testing::TestFolder() + u"Portal.url", art = testing::TestFolder() + u"art.ico";
  CreateDirectoryW(Wide(art), nullptr);
  const testing::RemoveOnExit removeUrl(url), removeArt(art);
  const HANDLE file = CreateFileW(Wide(url), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const char kPortal[] = "[InternetShortcut]\r\nURL=https://portal.example/\r\n";
  DWORD written = 0;
  WriteFile(file, kPortal, sizeof kPortal - 1, &written, nullptr);
  CloseHandle(file);
  const std::string longAddress = "http://" + std::string(300, 'x');
  const CLIPFORMAT link = Registered(CFSTR_INETURLW), described = Registered(CFSTR_FILEDESCRIPTORW);
  DropRow rows[] = {
      {"browser link", {{link, WideBytes(u"https://a/?b=C")}, {described, Described(L"A: B.url")},
                        {CF_UNICODETEXT, WideBytes(u"x")}}, "https://a/?b=C|A- B|old"},
      {"name typed", {{link, WideBytes(u"http://a")}, {described, Described(L"T.url")}}, "http://a|Mine|old",
       L"Mine"},
      {"ANSI link, long", {{Registered(CFSTR_INETURLA), longAddress + '\0'}}, longAddress + "||old"},
      {"described", {{described, Described(L"News.url")},
                     {Registered(CFSTR_FILECONTENTS), "[InternetShortcut]\nURL=http://news\n"}}, "http://news|News|old"},
      {"text", {{CF_TEXT, Bytes(" https://text/ \r\n", 18)}}, "https://text/||old"},
      {"icon", {{CF_HDROP, FileList({u"C:\\Art\\GLOBE.ICO"})}}, "old||C:\\Art\\GLOBE.ICO"},
      {"shortcut", {{CF_HDROP, FileList({u"C:\\L\\news.lnk"})}}, "old|C:\\L\\news.lnk|old"},
      {"internet shortcut", {{CF_HDROP, FileList({url})}}, "https://portal.example/|Portal|old"},
      {"folder", {{CF_HDROP, FileList({art})}}, "old||old"},
  };
  Microsoft::WRL::ComPtr<app::DropTarget> target;
  target.Attach(new app::DropTarget(form_.hwnd(), form_));
  for (DropRow& row : rows) {
    SCOPED_TRACE(row.what);
    SetWindowTextW(form_.Control(ControlId::txtURL), L"old");
    SetWindowTextW(form_.Control(ControlId::txtIcon), L"old");
    SetWindowTextW(form_.Control(ControlId::txtFileName), row.siteBefore);
    const bool takes = row.boxes != "old||old";
    // The source allows a move too: a drop taken as one would have the source delete its file.
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    ASSERT_EQ(target->DragEnter(&row.offer, MK_LBUTTON, {10, 10}, &effect), S_OK);
    EXPECT_EQ(effect, takes ? DROPEFFECT_COPY : DROPEFFECT_NONE);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target->Drop(&row.offer, 0, {12, 12}, &effect), S_OK);
    EXPECT_EQ(effect, takes ? DROPEFFECT_COPY : DROPEFFECT_NONE);
    EXPECT_EQ(Boxes(), row.boxes);
  }
}

INPUT Mouse(DWORD flags, POINT at = {}) {
  INPUT input{INPUT_MOUSE, {}};
  input.mi = {MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1),
              MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1), 0, flags, 0, 0};
  return input;
}

// A hand on the mouse: once the drag has begun it carries the pointer onto `over`, through the
// system's queue, and lets go of the button once the drag loop has seen it there a few times.
class Hand final : public OnStack<IDropSource> {
 public:
  explicit Hand(RECT over) : over_(over) {}
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape || ++calls > 2000) return DRAGDROP_S_CANCEL;
    if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
    POINT at{};
    GetCursorPos(&at);
    std::vector<INPUT> steps;
    const POINT to{(over_.left + over_.right) / 2, (over_.top + over_.bottom) / 2};
    // Under Wine the X server's pointer, a step behind, can take the cursor back for a moment: the
    // hand then moves it onto the box again, as a person's would.
    for (int i = calls == 1 ? 1 : 8; !PtInRect(&over_, at) && i <= 8; ++i)
      steps.push_back(Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                            {at.x + (to.x - at.x) * i / 8, at.y + (to.y - at.y) * i / 8}));
    if (PtInRect(&over_, at) && ++seenOver == 3) steps.push_back(Mouse(MOUSEEVENTF_LEFTUP));
    SendInput(static_cast<UINT>(steps.size()), steps.data(), sizeof(INPUT));
    return S_OK;
  }

  int calls = 0, seenOver = 0;  // what the drag loop asked, and saw, for a failure to tell

 private:
  RECT over_;
};

// The button pressed on a window of the test's beside the form, as on a link in a browser.
TEST_F(WindowDropTest, ARealDragFromAnotherWindowFillsTheAddressBox) {
  PELLUMAR_ONLY_ON_A_THROWAWAY_MACHINE();
  WNDCLASSW page{0, DefWindowProcW, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr, nullptr, nullptr,
                 L"PellumarDragSource"};
  RegisterClassW(&page);
  const HWND source = CreateWindowExW(WS_EX_TOPMOST, page.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                      40, 40, nullptr, nullptr, page.hInstance, nullptr);
  SetCursorPos(20, 20);
  INPUT down = Mouse(MOUSEEVENTF_LEFTDOWN);
  SendInput(1, &down, sizeof down);
  ASSERT_TRUE(testing::WaitFor([] { return Pump(), GetKeyState(VK_LBUTTON) < 0; }))
      << "the button press did not reach the test's window";

  Offer link{{Registered(CFSTR_INETURLW), WideBytes(u"https://dragged.example/")}};
  RECT box{};
  GetWindowRect(form_.Control(ControlId::txtURL), &box);
  Hand hand(box);
  DWORD effect = DROPEFFECT_NONE;
  EXPECT_EQ(DoDragDrop(&link, &hand, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect), DRAGDROP_S_DROP)
      << hand.calls << " questions, " << hand.seenOver << " over the box";
  EXPECT_EQ(effect, DROPEFFECT_COPY) << hand.calls << " questions, " << hand.seenOver << " over the box";
  EXPECT_EQ(Boxes(), "https://dragged.example/||");
  DestroyWindow(source);
}

}  // namespace
}  // namespace pellumar
