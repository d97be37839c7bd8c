// What is dragged onto the window: each form a browser or a folder window offers, handed to the
// target the window registered, and one drag made with the system's drag loop and real input.
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

Bytes WideBytes(std::u16string_view text) {
  return Bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2) + Bytes(2, '\0');
}

Bytes FileList(const std::vector<std::u16string>& paths) {
  DROPFILES header{sizeof(DROPFILES), {}, FALSE, TRUE};
  Bytes bytes(reinterpret_cast<const char*>(&header), sizeof header);
  for (const auto& path : paths) bytes += WideBytes(path);
  return bytes + Bytes(2, '\0');
}

Bytes Described(const std::u16string& name) {
  const UINT count = 1;
  FILEDESCRIPTORW file{};
  lstrcpynW(file.cFileName, Wide(name), MAX_PATH);
  return Bytes(reinterpret_cast<const char*>(&count), sizeof count) +
         Bytes(reinterpret_cast<const char*>(&file), sizeof file);
}

// A data object of blocks of global memory, as the formats' owners make them.
class Offer final : public IDataObject {
 public:
  std::vector<std::pair<CLIPFORMAT, Bytes>> formats;

  Offer(std::initializer_list<std::pair<const wchar_t*, Bytes>> offered) {
    for (const auto& [name, bytes] : offered) {
      const CLIPFORMAT format = name == std::wstring_view(L"CF_HDROP")        ? CF_HDROP
                                : name == std::wstring_view(L"CF_UNICODETEXT") ? CF_UNICODETEXT
                                : name == std::wstring_view(L"CF_TEXT")        ? CF_TEXT
                                    : static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name));
      formats.emplace_back(format, bytes);
    }
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IDataObject ? this : nullptr;
    return *object ? (AddRef(), S_OK) : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // on the test's stack
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
    for (const auto& [format, bytes] : formats) {
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
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
};

class WindowDropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form_.Create());
    form_.Show(SW_SHOWNORMAL);
    ASSERT_TRUE(testing::WaitFor([&] {
      MSG message{};
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      return form_.dropTarget() != nullptr;
    }));
  }
  // The window's end asks the thread to quit: taken here, or it would end the next test's dialog.
  void TearDown() override {
    DestroyWindow(form_.hwnd());
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  std::string Box(ControlId id) const {
    return testing::ToUtf8(testing::WindowText(form_.Control(id)));
  }

  app::Form1 form_{GetModuleHandleW(nullptr)};
};

struct DropRow {
  const char* what;
  Offer offer;
  std::string url, site, icon;  // the boxes after the drop: "old" where it changes nothing
  const wchar_t* siteBefore = L"";
};

TEST_F(WindowDropTest, EachFormFillsItsBoxesAndAnythingElseIsRefused) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::u16string folder = shell::FromWide(temp) + u"pellumar-drop";
  const std::u16string url = folder + u"\\Portal.url", art = folder + u"\\art.ico";
  CreateDirectoryW(Wide(folder), nullptr);
  CreateDirectoryW(Wide(art), nullptr);
  const HANDLE file = CreateFileW(Wide(url), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const char kPortal[] = "[InternetShortcut]\r\nURL=https://portal.example/\r\n";
  DWORD written = 0;
  WriteFile(file, kPortal, sizeof kPortal - 1, &written, nullptr);
  CloseHandle(file);
  const std::string longAddress = "http://" + std::string(300, 'x');
  const std::string ansiLongAddress = longAddress + '\0';

  DropRow rows[] = {
      {"browser link",
       {{CFSTR_INETURLW, WideBytes(u"https://example.org/a?b=C")},
        {CFSTR_FILEDESCRIPTORW, Described(u"Example: Page.url")}, {L"CF_UNICODETEXT", WideBytes(u"x")}},
       "https://example.org/a?b=C", "Example- Page", "old"},
      {"typed name kept", {{CFSTR_INETURLW, WideBytes(u"http://a.example")},
                           {CFSTR_FILEDESCRIPTORW, Described(u"Title.url")}},
       "http://a.example", "Mine", "old", L"Mine"},
      {"ANSI link, long", {{CFSTR_INETURLA, ansiLongAddress}}, longAddress, "", "old"},
      {"described shortcut", {{CFSTR_FILEDESCRIPTORW, Described(u"News.url")},
                              {CFSTR_FILECONTENTS, "[InternetShortcut]\nURL=http://news.example\n"}},
       "http://news.example", "News", "old"},
      {"text", {{L"CF_TEXT", Bytes(" https://text.example/ \r\n", 26)}}, "https://text.example/", "", "old"},
      {"two addresses", {{L"CF_UNICODETEXT", WideBytes(u"http://a http://b")}}, "old", "", "old"},
      {"icon", {{L"CF_HDROP", FileList({u"C:\\Art\\GLOBE.ICO"})}}, "old", "", "C:\\Art\\GLOBE.ICO"},
      {"shortcut", {{L"CF_HDROP", FileList({u"C:\\Links\\news.lnk"})}}, "old", "C:\\Links\\news.lnk", "old"},
      {"internet shortcut", {{L"CF_HDROP", FileList({url})}}, "https://portal.example/", "Portal", "old"},
      {"folder", {{L"CF_HDROP", FileList({art})}}, "old", "", "old"},
      {"two files", {{L"CF_HDROP", FileList({u"a.ico", u"b.ico"})}}, "old", "", "old"},
      {"other file", {{L"CF_HDROP", FileList({u"C:\\notes.txt"})}}, "old", "", "old"},
  };
  IDropTarget* target = form_.dropTarget();
  for (DropRow& row : rows) {
    SCOPED_TRACE(row.what);
    SetWindowTextW(form_.Control(ControlId::txtURL), L"old");
    SetWindowTextW(form_.Control(ControlId::txtIcon), L"old");
    SetWindowTextW(form_.Control(ControlId::txtFileName), row.siteBefore);
    const bool takes = row.url != "old" || row.icon != "old" || row.site != testing::ToUtf8(shell::FromWide(row.siteBefore));
    // The source allows a move too: a drop that moved would have the source delete its file.
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    ASSERT_EQ(target->DragEnter(&row.offer, MK_LBUTTON, {10, 10}, &effect), S_OK);
    EXPECT_EQ(effect, takes ? DROPEFFECT_COPY : DROPEFFECT_NONE);
    effect = DROPEFFECT_LINK;
    target->DragOver(MK_LBUTTON, {12, 12}, &effect);
    EXPECT_EQ(effect, takes ? DROPEFFECT_LINK : DROPEFFECT_NONE);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target->Drop(&row.offer, 0, {12, 12}, &effect), S_OK);
    EXPECT_EQ(effect, takes ? DROPEFFECT_COPY : DROPEFFECT_NONE);
    EXPECT_EQ(Box(ControlId::txtURL), row.url);
    EXPECT_EQ(Box(ControlId::txtFileName), row.site);
    EXPECT_EQ(Box(ControlId::txtIcon), row.icon);
  }
  DeleteFileW(Wide(url));
  RemoveDirectoryW(Wide(art));
  RemoveDirectoryW(Wide(folder));
}

INPUT Mouse(DWORD flags, POINT at = {}) {
  INPUT input{INPUT_MOUSE, {}};
  input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags;
  return input;
}

// A hand on the mouse: once the drag has begun it moves the pointer onto `over`, through the
// system's queue, and lets go of the button there.
class Hand final : public IDropSource {
 public:
  explicit Hand(RECT over) : over_(over) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IDropSource ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape || ++calls_ > 2000) return DRAGDROP_S_CANCEL;
    if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
    POINT at{};
    GetCursorPos(&at);
    if (calls_ == 1) {
      const POINT middle{(over_.left + over_.right) / 2, (over_.top + over_.bottom) / 2};
      std::vector<INPUT> steps;
      for (int step = 1; step <= 8; ++step) {
        const POINT on{at.x + (middle.x - at.x) * step / 8, at.y + (middle.y - at.y) * step / 8};
        steps.push_back(Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, on));
      }
      SendInput(static_cast<UINT>(steps.size()), steps.data(), sizeof(INPUT));
    } else if (!released_ && PtInRect(&over_, at)) {
      INPUT up = Mouse(MOUSEEVENTF_LEFTUP);
      SendInput(1, &up, sizeof up);
      released_ = true;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  RECT over_;
  int calls_ = 0;
  bool released_ = false;
};

// The system's own drag loop, with the button pressed on a window of the test's beside the form,
// as on a link in a browser, and the pointer carried onto the address box.
TEST_F(WindowDropTest, ARealDragFromAnotherWindowFillsTheAddressBox) {
  PELLUMAR_ONLY_ON_A_THROWAWAY_MACHINE();
  WNDCLASSW sourceClass{};
  sourceClass.lpfnWndProc = DefWindowProcW;
  sourceClass.hInstance = GetModuleHandleW(nullptr);
  sourceClass.lpszClassName = L"PellumarDragSource";
  RegisterClassW(&sourceClass);
  const HWND source = CreateWindowExW(WS_EX_TOPMOST, sourceClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE,
                                      0, 0, 40, 40, nullptr, nullptr, sourceClass.hInstance, nullptr);
  SetCursorPos(20, 20);
  INPUT down = Mouse(MOUSEEVENTF_LEFTDOWN);
  SendInput(1, &down, sizeof down);
  ASSERT_TRUE(testing::WaitFor([] {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    return GetKeyState(VK_LBUTTON) < 0;
  })) << "the button press did not reach the test's window";

  Offer link{{CFSTR_INETURLW, WideBytes(u"https://dragged.example/")}};
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
