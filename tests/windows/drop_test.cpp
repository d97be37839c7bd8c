// What is dragged onto the window: each form a browser or a folder window offers, handed to the
// target the window registered, and one drag made by the system's drag loop with real input.
#include <windows.h>

#include <shlobj.h>

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

// A data object of blocks of global memory, as the formats' owners make them; on the stack.
class Offer final : public IDataObject {
 public:
  Offer(std::initializer_list<std::pair<CLIPFORMAT, Bytes>> formats) : formats_(formats) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IDataObject ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
    for (const auto& [format, bytes] : formats_) {
      if (format != wanted->cfFormat || !(wanted->tymed & TYMED_HGLOBAL)) continue;
      const HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
      bytes.copy(static_cast<char*>(GlobalLock(copy)), bytes.size());
      GlobalUnlock(copy);
      *medium = {TYMED_HGLOBAL, {.hGlobal = copy}, nullptr};
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

class WindowDropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form_.Create());
    form_.Show(SW_SHOWNORMAL);
    ASSERT_TRUE(testing::WaitFor([&] { return Pump(), form_.dropTarget() != nullptr; }));
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
  std::string Box(ControlId id) const { return testing::ToUtf8(testing::WindowText(form_.Control(id))); }

  app::Form1 form_{GetModuleHandleW(nullptr)};
};

struct DropRow {
  const char* what;
  Offer offer;
  std::string url, site, icon;  // the boxes after the drop, which start "old", "" and "old"
  const wchar_t* siteBefore = L"";
};

TEST_F(WindowDropTest, EachFormFillsItsBoxesAndAnythingElseIsRefused) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::u16string folder = shell::FromWide(temp) + u"pellumar drop", url = folder + u"\\Portal.url",
                       art = folder + u"\\art.ico";
  CreateDirectoryW(Wide(folder), nullptr);
  CreateDirectoryW(Wide(art), nullptr);
  const testing::RemoveOnExit removeFolder(folder), removeUrl(url), removeArt(art);
  const HANDLE file = CreateFileW(Wide(url), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const char kPortal[] = "[InternetShortcut]\r\nURL=https://portal.example/\r\n";
  DWORD written = 0;
  WriteFile(file, kPortal, sizeof kPortal - 1, &written, nullptr);
  CloseHandle(file);
  const std::string longAddress = "http://" + std::string(300, 'x');
  const CLIPFORMAT link = Registered(CFSTR_INETURLW), described = Registered(CFSTR_FILEDESCRIPTORW);

  DropRow rows[] = {
      {"browser link", {{link, WideBytes(u"https://a.example/?b=C")}, {described, Described(L"A: B.url")},
                        {CF_UNICODETEXT, WideBytes(u"x")}}, "https://a.example/?b=C", "A- B", "old"},
      {"name typed", {{link, WideBytes(u"http://a")}, {described, Described(L"T.url")}}, "http://a", "Mine",
       "old", L"Mine"},
      {"ANSI link, long", {{Registered(CFSTR_INETURLA), longAddress + '\0'}}, longAddress, "", "old"},
      {"described shortcut", {{described, Described(L"News.url")},
                              {Registered(CFSTR_FILECONTENTS), "[InternetShortcut]\nURL=http://news\n"}},
       "http://news", "News", "old"},
      {"text", {{CF_TEXT, Bytes(" https://text.example/ \r\n", 26)}}, "https://text.example/", "", "old"},
      {"two addresses", {{CF_UNICODETEXT, WideBytes(u"http://a http://b")}}, "old", "", "old"},
      {"icon", {{CF_HDROP, FileList({u"C:\\Art\\GLOBE.ICO"})}}, "old", "", "C:\\Art\\GLOBE.ICO"},
      {"shortcut", {{CF_HDROP, FileList({u"C:\\L\\news.lnk"})}}, "old", "C:\\L\\news.lnk", "old"},
      {"shortcut in capitals", {{CF_HDROP, FileList({u"C:\\L\\NEWS.LNK"})}}, "old", "", "old"},
      {"internet shortcut", {{CF_HDROP, FileList({url})}}, "https://portal.example/", "Portal", "old"},
      {"folder", {{CF_HDROP, FileList({art})}}, "old", "", "old"},
      {"two files", {{CF_HDROP, FileList({u"a.ico", u"b.ico"})}}, "old", "", "old"},
  };
  IDropTarget* target = form_.dropTarget();
  for (DropRow& row : rows) {
    SCOPED_TRACE(row.what);
    SetWindowTextW(form_.Control(ControlId::txtURL), L"old");
    SetWindowTextW(form_.Control(ControlId::txtIcon), L"old");
    SetWindowTextW(form_.Control(ControlId::txtFileName), row.siteBefore);
    const bool takes = row.url != "old" || row.icon != "old" || !row.site.empty();
    // The source allows a move too: a drop taken as one would have the source delete its file.
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    ASSERT_EQ(target->DragEnter(&row.offer, MK_LBUTTON, {10, 10}, &effect), S_OK);
    EXPECT_EQ(effect, takes ? DROPEFFECT_COPY : DROPEFFECT_NONE);
    effect = DROPEFFECT_LINK;
    target->DragOver(MK_LBUTTON, {12, 12}, &effect);
    EXPECT_EQ(effect, takes ? DROPEFFECT_LINK : DROPEFFECT_NONE);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target->Drop(&row.offer, 0, {12, 12}, &effect), S_OK);
    EXPECT_EQ(effect, takes ? DROPEFFECT_COPY : DROPEFFECT_NONE);
    EXPECT_EQ(Box(ControlId::txtURL) + "|" + Box(ControlId::txtFileName) + "|" + Box(ControlId::txtIcon),
              row.url + "|" + row.site + "|" + row.icon);
  }
}

INPUT Mouse(DWORD flags, POINT at = {}) {
  INPUT input{INPUT_MOUSE, {}};
  input.mi = {MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1),
              MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1), 0, flags, 0, 0};
  return input;
}

// A hand on the mouse: once the drag has begun it carries the pointer onto `over`, through the
// system's queue, and lets go of the button there.
class Hand final : public IDropSource {
 public:
  explicit Hand(RECT over) : over_(over) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape || ++calls_ > 2000) return DRAGDROP_S_CANCEL;
    if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
    POINT at{};
    GetCursorPos(&at);
    std::vector<INPUT> steps;
    if (calls_ == 1) {
      const POINT to{(over_.left + over_.right) / 2, (over_.top + over_.bottom) / 2};
      for (int i = 1; i <= 8; ++i)
        steps.push_back(Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                              {at.x + (to.x - at.x) * i / 8, at.y + (to.y - at.y) * i / 8}));
    } else if (!released_ && PtInRect(&over_, at)) {
      steps.push_back(Mouse(MOUSEEVENTF_LEFTUP));
      released_ = true;
    }
    SendInput(static_cast<UINT>(steps.size()), steps.data(), sizeof(INPUT));
    return S_OK;
  }

 private:
  RECT over_;
  int calls_ = 0;
  bool released_ = false;
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
  EXPECT_EQ(DoDragDrop(&link, &hand, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect), DRAGDROP_S_DROP);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  EXPECT_EQ(Box(ControlId::txtURL), "https://dragged.example/");
  DestroyWindow(source);
}

}  // namespace
}  // namespace pellumar
