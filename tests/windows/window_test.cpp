// The window created in this process, so its fonts, colours and images can be inspected.
#include <windows.h>

#include <oleacc.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <vector>
#include <string>
#include <atomic>
#include <thread>

#include "app/background.h"
#include "app/dpi.h"
#include "app/form1.h"
#include "utf8.h"
#include "app/gdi.h"
#include "driver.h"
#include "machine.h"
#include "resources/resource_ids.h"
#include "shell/shell_error.h"
#include "shell/wide.h"
#include "shell/windows_services.h"

namespace pellumar {
namespace {

using app::ControlId;

// The design at 96 DPI, in pixels: class, caption, left, top, width, height.
struct Expected {
  ControlId id;
  const wchar_t* className;
  const char16_t* text;
  int left, top, width, height;
};

constexpr std::array<Expected, 10> kDesign{{
    {ControlId::Label2, L"Static", u"WebSite URL:", 24, 32, 81, 25},
    {ControlId::txtURL, L"Edit", u"", 112, 24, 217, 25},
    {ControlId::Label1, L"Static", u"Site Name:", 24, 64, 65, 17},
    {ControlId::txtFileName, L"Edit", u"", 112, 56, 137, 25},
    {ControlId::Command3, L"Button", u"Browse", 256, 56, 73, 25},
    {ControlId::lblIcon, L"Static", u"Icon:", 24, 96, 49, 17},
    {ControlId::txtIcon, L"Edit", u"", 112, 96, 137, 25},
    {ControlId::Command1, L"Button", u"Browse", 256, 96, 73, 25},
    {ControlId::Command2, L"Button", u"Create Shortcut", 48, 136, 113, 33},
    {ControlId::Command4, L"Button", u"Delete Shortcut", 176, 136, 113, 33},
}};

RECT ClientRectOf(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

// The width and colour depth of the window's small and big icons: the images of its scale, in
// 32-bit colour, not stretched from another size.
std::vector<int> IconsOf(HWND form) {
  std::vector<int> shown;
  for (WPARAM which : {ICON_SMALL, ICON_BIG}) {
    ICONINFO info{};
    BITMAP colour{};
    if (GetIconInfo(reinterpret_cast<HICON>(SendMessageW(form, WM_GETICON, which, 0)), &info)) {
      GetObjectW(info.hbmColor, sizeof colour, &colour);
      DeleteObject(info.hbmMask);
      DeleteObject(info.hbmColor);
    }
    shown.insert(shown.end(), {colour.bmWidth, colour.bmBitsPixel});
  }
  return shown;
}

// The caption, client size, every control's class, caption, place and size, and the tab order
// of a Pellumar window, in this process or another.
void ExpectTheDesign(HWND form) {
  EXPECT_EQ(testing::WindowText(form), u"Pellumar");
  RECT client{};
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, 351);
  EXPECT_EQ(client.bottom, 204);
  for (const Expected& e : kDesign) {
    SCOPED_TRACE(testing::ToUtf8(e.text) + " #" + std::to_string(static_cast<int>(e.id)));
    const HWND control = GetDlgItem(form, static_cast<int>(e.id));
    ASSERT_NE(control, nullptr);
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    EXPECT_EQ(lstrcmpiW(className, e.className), 0);
    EXPECT_EQ(testing::WindowText(control), e.text);
    const RECT rect = ClientRectOf(control);
    EXPECT_EQ(rect.left, e.left);
    EXPECT_EQ(rect.top, e.top);
    EXPECT_EQ(rect.right - rect.left, e.width);
    EXPECT_EQ(rect.bottom - rect.top, e.height);
  }
  const ControlId order[] = {ControlId::txtURL,   ControlId::txtFileName, ControlId::Command3,
                             ControlId::txtIcon,  ControlId::Command1,    ControlId::Command2,
                             ControlId::Command4, ControlId::lblLink,     ControlId::txtURL};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    EXPECT_EQ(GetNextDlgTabItem(form, GetDlgItem(form, static_cast<int>(order[i])), FALSE),
              GetDlgItem(form, static_cast<int>(order[i + 1])))
        << "after control " << static_cast<int>(order[i]);
  }
}

class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    form_ = new app::Form1(GetModuleHandleW(nullptr));
    ASSERT_TRUE(form_->Create());
    form_->Show(SW_SHOWNORMAL);
  }
  static void TearDownTestSuite() {
    delete form_;
    form_ = nullptr;
  }
  static HWND Control(ControlId id) { return form_->Control(id); }

  static app::Form1* form_;
};

app::Form1* WindowTest::form_ = nullptr;

TEST_F(WindowTest, FollowsTheDesignAndIsCentredOnTheScreen) {
  ExpectTheDesign(form_->hwnd());
  RECT frame{};
  GetWindowRect(form_->hwnd(), &frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(form_->hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1);
  EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1);
  EXPECT_TRUE(GetWindowLongW(form_->hwnd(), GWL_STYLE) & WS_THICKFRAME);
  EXPECT_EQ(IconsOf(form_->hwnd()), (std::vector<int>{16, 32, 32, 32}));
}

TEST(ProgramWindowTest, TheRealProgramFollowsTheDesignWithTheFocusInTheAddressBox) {
  testing::Program program;
  ExpectTheDesign(program.window());
  EXPECT_EQ(program.Focus(), program.Control(ControlId::txtURL));
}

// How far the widest label caption overflows its label in `font` (negative: room to spare).
LONG CaptionExcess(HWND form, HFONT font) {
  LONG excess = LONG_MIN;
  for (ControlId id : {ControlId::Label1, ControlId::Label2, ControlId::lblIcon}) {
    const HWND label = GetDlgItem(form, static_cast<int>(id));
    const std::u16string caption = testing::WindowText(label);
    RECT client{};
    GetClientRect(label, &client);
    const SIZE size =
        app::TextExtent(label, font, shell::Wide(caption), static_cast<int>(caption.size()));
    excess = std::max(excess, size.cx - client.right);
  }
  return excess;
}

TEST_F(WindowTest, LabelsUseTheBoldFontAndTheRestTheWindowsFont) {
  // As asked, unless the system's answer to that would cut a caption: then without the
  // character set, or the TrueType face that followed the bitmap one, or Tahoma.
  LOGFONTW asked{};
  asked.lfHeight = -11;  // 8.25 pt at 96 DPI
  asked.lfWeight = 700;
  asked.lfCharSet = 178;
  lstrcpyW(asked.lfFaceName, L"MS Sans Serif");
  const app::UniqueFont askedFont(CreateFontIndirectW(&asked));
  const bool askedFits = CaptionExcess(form_->hwnd(), askedFont.get()) <= 0;
  for (ControlId id : {ControlId::Label1, ControlId::Label2, ControlId::lblIcon}) {
    const LOGFONTW font = FontOf(Control(id));
    if (askedFits) {
      EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
      EXPECT_EQ(font.lfCharSet, 178);
    } else {
      EXPECT_TRUE(!lstrcmpW(font.lfFaceName, L"MS Sans Serif") ||
                  !lstrcmpW(font.lfFaceName, L"Microsoft Sans Serif") ||
                  !lstrcmpW(font.lfFaceName, L"Tahoma"))
          << testing::ToUtf8(shell::FromWide(font.lfFaceName));
    }
    EXPECT_EQ(font.lfHeight, -11);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
  }
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  for (ControlId id :
       {ControlId::txtURL, ControlId::txtFileName, ControlId::txtIcon, ControlId::Command1,
        ControlId::Command2, ControlId::Command3, ControlId::Command4}) {
    const LOGFONTW font = FontOf(Control(id));
    EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName);
    EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight);
    EXPECT_FALSE(font.lfUnderline);
  }
}

TEST_F(WindowTest, FirstFocusInTheAddressBoxAndNoDefaultButton) {
  EXPECT_EQ(GetFocus(), Control(ControlId::txtURL));
  for (ControlId id :
       {ControlId::Command1, ControlId::Command2, ControlId::Command3, ControlId::Command4}) {
    EXPECT_EQ(GetWindowLongW(Control(id), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_TRUE(GetWindowLongW(Control(id), GWL_STYLE) & BS_NOTIFY) << "a double-click is one click";
    EXPECT_EQ(testing::WindowText(Control(id)).find(u'&'), std::u16string::npos);
  }
}

// Windows tells only top-level windows of new system colours; the common controls take them
// from their window.
std::vector<HWND> toldOfColours;
LRESULT CALLBACK RecordColourChange(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == WM_SYSCOLORCHANGE) toldOfColours.push_back(sent->hwnd);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(WindowTest, NewSystemColoursReachEveryControl) {
  toldOfColours.clear();
  const HHOOK hook =
      SetWindowsHookExW(WH_CALLWNDPROC, RecordColourChange, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  SendMessageW(form_->hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  UnhookWindowsHookEx(hook);
  for (const app::ControlSpec& control : app::kControls) {
    EXPECT_EQ(std::count(toldOfColours.begin(), toldOfColours.end(), Control(control.id)), 1)
        << "control " << static_cast<int>(control.id);
  }
}

// The credit is a link a keyboard can use: Enter and Space on it, through the dialog manager as
// the message loop passes them, each open the maker's page once, as a click does; a key held
// down opens it no more.
TEST(WindowLinkTest, EnterAndSpaceOnTheCreditOpenTheMakersPageOnceEach) {
  static std::vector<std::u16string> opened;
  opened.clear();
  app::Form1 form(GetModuleHandleW(nullptr),
                  {nullptr, nullptr, nullptr,
                   [](std::u16string_view address) { opened.emplace_back(address); }});
  ASSERT_TRUE(form.Create());
  form.Show(SW_SHOWNORMAL);
  const HWND link = form.Control(ControlId::lblLink);
  SetFocus(link);
  ASSERT_EQ(GetFocus(), link);
  // Each key pressed, held down (its repeat), then let go.
  const std::pair<UINT, LPARAM> strokes[] = {
      {WM_KEYDOWN, 1}, {WM_KEYDOWN, 1 | 1 << 30}, {WM_KEYUP, static_cast<LPARAM>(0xC0000001u)}};
  for (const WPARAM key : {VK_RETURN, VK_SPACE}) {
    for (const auto& [message, state] : strokes) {
      MSG typed{link, message, key, state, 0, {}};
      IsDialogMessageW(form.hwnd(), &typed);  // dispatches, as the message loop has it
      while (PeekMessageW(&typed, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE)) {
        IsDialogMessageW(form.hwnd(), &typed);
      }
    }
  }
  EXPECT_EQ(opened, std::vector<std::u16string>(2, std::u16string(app::kMakerPage)));
  EXPECT_EQ(GetFocus(), link) << "Enter or Space moved the focus";
}

TEST_F(WindowTest, CreditLinkIsWhiteUnderlinedSizedToItsCaptionWithAHand) {
  const HWND link = Control(ControlId::lblLink);
  const std::u16string caption = testing::WindowText(link);
  EXPECT_NE(caption.find(u"2005"), std::u16string::npos);
  EXPECT_TRUE(FontOf(link).lfUnderline);

  const RECT rect = ClientRectOf(link);
  EXPECT_EQ(rect.left, 216);
  EXPECT_EQ(rect.top, 184);
  EXPECT_LE(rect.right, 351) << "the credit runs past the window";
  const HDC screen = GetDC(link);
  const HGDIOBJ old =
      SelectObject(screen, reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32W(screen, shell::Wide(caption), static_cast<int>(caption.size()), &extent);
  SelectObject(screen, old);
  ReleaseDC(link, screen);
  EXPECT_EQ(rect.right - rect.left, extent.cx);
  EXPECT_EQ(rect.bottom - rect.top, extent.cy);

  const HDC dc = CreateCompatibleDC(nullptr);
  SendMessageW(form_->hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(link));
  EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
  SendMessageW(form_->hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(Control(ControlId::Label1)));
  EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_BTNTEXT));
  DeleteDC(dc);

  // The hand drawn for the scale, with its hot spot on the finger tip: at 144 DPI the 48-pixel
  // image, not the 32-pixel one stretched.
  const struct {
    UINT dpi;
    LONG size;
    DWORD x, y;
  } scales[] = {{96, 32, 12, 1}, {144, 48, 18, 1}};
  RECT frame{};
  GetWindowRect(form_->hwnd(), &frame);
  for (const auto& scale : scales) {
    RECT suggested = frame;
    suggested.right = frame.left + MulDiv(frame.right - frame.left, static_cast<int>(scale.dpi), 96);
    suggested.bottom = frame.top + MulDiv(frame.bottom - frame.top, static_cast<int>(scale.dpi), 96);
    SendMessageW(form_->hwnd(), WM_DPICHANGED, MAKEWPARAM(scale.dpi, scale.dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    SendMessageW(form_->hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(GetCursor(), &info)) << scale.dpi;
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, scale.size) << scale.dpi;
    EXPECT_EQ(info.xHotspot, scale.x) << scale.dpi;
    EXPECT_EQ(info.yHotspot, scale.y) << scale.dpi;
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
  }
  SendMessageW(form_->hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&frame));
}

TEST_F(WindowTest, BackgroundIsTheBlueFieldWithItsFaintLine) {
  const HDC screen = GetDC(nullptr);
  const app::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, 351, 204));
  ReleaseDC(nullptr, screen);
  const app::MemoryDc dc(nullptr, bitmap.get());
  SendMessageW(form_->hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
  const auto isClose = [](COLORREF c, int r, int g, int b) {
    return std::abs(GetRValue(c) - r) <= 8 && std::abs(GetGValue(c) - g) <= 8 &&
           std::abs(GetBValue(c) - b) <= 8;
  };
  for (POINT p : {POINT{5, 5}, POINT{300, 40}, POINT{100, 150}, POINT{340, 200}}) {
    EXPECT_TRUE(isClose(GetPixel(dc.get(), p.x, p.y), 10, 107, 204)) << p.x << "," << p.y;
  }
  const COLORREF line = GetPixel(dc.get(), 100, 67);
  EXPECT_GT(GetBValue(line) + GetGValue(line), 107 + 204 + 10) << std::hex << line;
}

// Painting: the controls clip the window's own, so each area is painted once on a resize (no
// flicker), and the labels still show the picture under their text with nothing left behind.
TEST_F(WindowTest, EachAreaIsPaintedOnceAndTheLabelsStayTransparent) {
  EXPECT_TRUE(GetWindowLongW(form_->hwnd(), GWL_STYLE) & WS_CLIPCHILDREN);
  RECT frame{};
  GetWindowRect(form_->hwnd(), &frame);
  const auto resize = [&](int grow) {
    SetWindowPos(form_->hwnd(), nullptr, 0, 0, frame.right - frame.left + grow,
                 frame.bottom - frame.top + grow, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(form_->hwnd());
  };
  resize(120);
  SetWindowTextW(Control(ControlId::Label1), L"W");  // a shorter caption leaves no trail
  RedrawWindow(Control(ControlId::Label1), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  resize(0);
  const HDC dc = GetDC(form_->hwnd());
  // Where "Site Name:" stood, right of the new "W": the picture's blue, not the old letters.
  int dark = 0;
  for (int x = 44; x < 88; ++x) {
    for (int y = 66; y < 80; ++y) dark += GetBValue(GetPixel(dc, x, y)) < 120;
  }
  const COLORREF button = GetPixel(dc, 60, 150);  // inside "Create Shortcut", beside its text
  ReleaseDC(form_->hwnd(), dc);
  SetWindowTextW(Control(ControlId::Label1), L"Site Name:");
  EXPECT_EQ(dark, 0) << "the old caption shows through";
  EXPECT_GT(GetRValue(button), 150) << std::hex << button << ": the button was painted over";
}

// The open-file dialog makes the folder it showed the process's current folder; the program
// puts its own back, so a USB stick or a share browsed can be removed while it runs.
TEST_F(WindowTest, TheCurrentFolderIsTheSameAfterEachBrowse) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::u16string folder = shell::FromWide(temp) + u"pellumar browse";
  CreateDirectoryW(shell::Wide(folder), nullptr);
  const testing::RemoveOnExit removeFolder(folder);
  const std::u16string icon = folder + u"\\globe.ico", shortcut = folder + u"\\picked.lnk";
  for (const std::u16string& file : {icon, shortcut}) {
    CloseHandle(
        CreateFileW(shell::Wide(file), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  const testing::RemoveOnExit removeIcon(icon), removeShortcut(shortcut);
  const auto current = [] {
    wchar_t path[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, path);
    return shell::FromWide(path);
  };
  const std::u16string before = current();
  ASSERT_NE(before, folder);

  const std::pair<ControlId, std::u16string> browses[] = {
      {ControlId::Command1, icon}, {ControlId::Command3, shortcut}, {ControlId::Command1, u""}};
  for (const auto& [button, choice] : browses) {
    SCOPED_TRACE(testing::ToUtf8(choice));
    // The dialog is modal inside the click; another thread answers it, and the message a
    // cancel brings.
    std::thread answer([&choice] {
      const HWND dialog = testing::WaitForDialogOf(GetCurrentProcessId(), u"Open");
      if (dialog) testing::AnswerOpenDialog(dialog, choice);
      if (choice.empty()) {
        if (const HWND box = testing::WaitForDialogOf(GetCurrentProcessId(), u"Pellumar")) {
          PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
      }
    });
    SendMessageW(Control(button), BM_CLICK, 0, 0);
    answer.join();
    EXPECT_EQ(current(), before);
  }
  EXPECT_EQ(testing::WindowText(Control(ControlId::txtIcon)), icon);
  EXPECT_EQ(testing::WindowText(Control(ControlId::txtFileName)), shortcut);
  SetWindowTextW(Control(ControlId::txtIcon), L"");
  SetWindowTextW(Control(ControlId::txtFileName), L"");
}

// Whatever face the system maps the labels' font to, each caption shows whole on one line.
TEST(WindowCaptionTest, EveryLabelShowsItsCaptionWholeOnOneLine) {
  app::Form1 form(GetModuleHandleW(nullptr));
  ASSERT_TRUE(form.Create());
  const HFONT font =
      reinterpret_cast<HFONT>(SendMessageW(form.Control(ControlId::Label1), WM_GETFONT, 0, 0));
  EXPECT_LE(CaptionExcess(form.hwnd(), font), 0)
      << "font "
      << testing::ToUtf8(shell::FromWide(FontOf(form.Control(ControlId::Label1)).lfFaceName));
}

// The pixels of a control as the window shows it on the screen.
std::vector<COLORREF> PixelsOf(HWND control) {
  RECT rect{};
  GetClientRect(control, &rect);
  const app::WindowDc dc(control);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < rect.bottom; ++y) {
    for (int x = 0; x < rect.right; ++x) pixels.push_back(GetPixel(dc.get(), x, y));
  }
  return pixels;
}

// Until the window has painted everything and its thread has nothing left to do, for up to
// 2 s. No message says that nothing more will come (Wine hands over what the display does as
// messages of its own), so "nothing left" is three looks in a row, 10 ms apart, finding none.
void Settle(HWND window) {
  int quiet = 0;
  const ULONGLONG end = GetTickCount64() + 2000;
  while (quiet < 3 && GetTickCount64() < end) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG message{};
    bool busy = false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&message);
      busy = true;
    }
    quiet = busy || GetUpdateRect(window, nullptr, FALSE) ? 0 : quiet + 1;
    Sleep(10);
  }
}

// A window moved to a monitor of another scale and back looks like one that never moved: no
// label keeps text of the other size over a stale picture.
TEST(WindowDpiTest, AChangeOfScaleRepaintsTheLabelsLikeAWindowStartedAtThatScale) {
  app::Form1 started(GetModuleHandleW(nullptr)), moved(GetModuleHandleW(nullptr));
  ASSERT_TRUE(started.Create());
  ASSERT_TRUE(moved.Create());
  started.Show(SW_SHOWNOACTIVATE);
  moved.Show(SW_SHOWNOACTIVATE);
  const UINT dpi = app::DpiOf(started.hwnd());
  RECT frame{};
  GetWindowRect(started.hwnd(), &frame);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  // One above the other, so neither hides the other.
  SetWindowPos(started.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(moved.hwnd(), HWND_TOP, 0, height + 8, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  Settle(moved.hwnd());
  const UINT other = dpi == 144 ? 96 : 144;
  RECT there{0, height + 8, MulDiv(width, static_cast<int>(other), static_cast<int>(dpi)),
             height + 8 + MulDiv(height, static_cast<int>(other), static_cast<int>(dpi))};
  SendMessageW(moved.hwnd(), WM_DPICHANGED, MAKEWPARAM(other, other),
               reinterpret_cast<LPARAM>(&there));
  Settle(moved.hwnd());
  RECT back{0, height + 8, width, 2 * height + 8};
  SendMessageW(moved.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&back));
  Settle(moved.hwnd());
  Settle(started.hwnd());
  for (ControlId id :
       {ControlId::Label2, ControlId::Label1, ControlId::lblIcon, ControlId::lblLink}) {
    const std::vector<COLORREF> shown = PixelsOf(moved.Control(id)),
                                expected = PixelsOf(started.Control(id));
    ASSERT_EQ(shown.size(), expected.size()) << "label " << static_cast<int>(id);
    EXPECT_EQ(
        std::count_if(shown.begin(), shown.end(),
                      [&, i = std::size_t{0}](COLORREF c) mutable { return c != expected[i++]; }),
        0)
        << "pixels that differ, label " << static_cast<int>(id);
  }
}

bool contrastTheme = false;
bool ContrastTheme() { return contrastTheme; }

int CountOf(const std::vector<COLORREF>& pixels, COLORREF colour) {
  return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour));
}

// Under a contrast theme the window paints the theme's colour pairs and no picture behind its
// text; with the theme off again it is today's window, pixel for pixel.
TEST(WindowContrastTest, AContrastThemeTakesThePicturesPlaceAndLeavesNothingBehind) {
  app::Form1 started(GetModuleHandleW(nullptr));
  app::Form1 themed(GetModuleHandleW(nullptr), {nullptr, ContrastTheme});
  ASSERT_TRUE(started.Create());
  ASSERT_TRUE(themed.Create());
  started.Show(SW_SHOWNOACTIVATE);
  themed.Show(SW_SHOWNOACTIVATE);
  RECT frame{};
  GetWindowRect(started.hwnd(), &frame);
  SetWindowPos(started.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(themed.hwnd(), HWND_TOP, 0, frame.bottom - frame.top + 8, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE);
  const ControlId labels[] = {ControlId::Label2, ControlId::Label1, ControlId::lblIcon};

  contrastTheme = true;
  SendMessageW(themed.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  Settle(themed.hwnd());
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  {
    const app::WindowDc dc(themed.hwnd());
    EXPECT_EQ(GetPixel(dc.get(), 5, 5), window);
    EXPECT_EQ(GetPixel(dc.get(), 100, 67), window) << "the picture's line shows";
  }
  for (ControlId id : labels) {
    const std::vector<COLORREF> shown = PixelsOf(themed.Control(id));
    EXPECT_EQ(shown.front(), window) << "label " << static_cast<int>(id);
    EXPECT_GT(CountOf(shown, GetSysColor(COLOR_WINDOWTEXT)), 0) << "label " << static_cast<int>(id);
  }
  const std::vector<COLORREF> credit = PixelsOf(themed.Control(ControlId::lblLink));
  EXPECT_GT(CountOf(credit, GetSysColor(COLOR_HOTLIGHT)), 0);

  contrastTheme = false;
  SendMessageW(themed.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  Settle(themed.hwnd());
  Settle(started.hwnd());
  for (ControlId id : {ControlId::Label2, ControlId::Label1, ControlId::lblIcon, ControlId::lblLink}) {
    EXPECT_EQ(PixelsOf(themed.Control(id)), PixelsOf(started.Control(id)))
        << "label " << static_cast<int>(id);
  }
  const app::WindowDc shown(themed.hwnd()), today(started.hwnd());
  EXPECT_EQ(GetPixel(shown.get(), 100, 67), GetPixel(today.get(), 100, 67));
}

// Not a check: shows the window under a contrast theme for half a minute, for the picture that
// `tools/screenshot --high-contrast` takes of it.
TEST(WindowContrastTest, DISABLED_ShowsTheWindowForAPicture) {
  app::Form1 form(GetModuleHandleW(nullptr), {nullptr, +[] { return true; }});
  ASSERT_TRUE(form.Create());
  form.Show(SW_SHOWNORMAL);
  const ULONGLONG end = GetTickCount64() + 30000;
  while (GetTickCount64() < end && IsWindow(form.hwnd())) Settle(form.hwnd());
}

// The system's message font at `percent` text, as Windows' Text size setting makes it, for as long
// as this lives; the old one back when it goes.
class TextSize {
 public:
  explicit TextSize(int percent) {
    metrics_.cbSize = sizeof metrics_;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics_, &metrics_, 0);
    NONCLIENTMETRICSW larger = metrics_;
    larger.lfMessageFont.lfHeight = -MulDiv(12, percent, 100);  // 9 points at 96 DPI
    lstrcpyW(larger.lfMessageFont.lfFaceName, L"Tahoma");
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof larger, &larger, 0);
  }
  ~TextSize() { SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics_, &metrics_, 0); }
  TextSize(const TextSize&) = delete;
  TextSize& operator=(const TextSize&) = delete;

 private:
  NONCLIENTMETRICSW metrics_{};
};

// How far `text` in the control's font overflows its client area, across and down (negative:
// room to spare), with `margin` pixels kept free on each side.
SIZE Overflow(HWND control, const std::u16string& text, int margin) {
  RECT client{};
  GetClientRect(control, &client);
  const SIZE size = app::TextExtent(
      control, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
      shell::Wide(text), static_cast<int>(text.size()));
  return {size.cx + 2 * margin - client.right, size.cy + 2 * margin - client.bottom};
}

struct TextCase {
  int percent;
  UINT dpi;
};

class WindowTextSizeTest : public ::testing::TestWithParam<TextCase> {};

// At larger text the window grows with its font, so every caption and a typed address still
// fit: in a window that was open when the setting changed, and in one started after.
TEST_P(WindowTextSizeTest, EveryCaptionAndATypedAddressFitTheirControls) {
  PELLUMAR_ONLY_ON_A_THROWAWAY_MACHINE();  // the prefix's message font, for the test's length
  const auto [percent, dpi] = GetParam();
  app::Form1 open(GetModuleHandleW(nullptr));
  ASSERT_TRUE(open.Create());
  const TextSize text(percent);
  SendMessageW(open.hwnd(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  app::Form1 started(GetModuleHandleW(nullptr));
  ASSERT_TRUE(started.Create());
  for (app::Form1* form : {&open, &started}) {
    SCOPED_TRACE(form == &open ? "open when the setting changed" : "started after");
    RECT suggested{0, 0, 1600, 1000};
    if (dpi != app::DpiOf(form->hwnd())) {
      SendMessageW(form->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    }
    const auto grown = [&](int pixels) { return MulDiv(pixels * percent / 100, static_cast<int>(dpi), 96); };
    if (dpi == 96) {  // a change of scale takes the size the system suggests
      RECT client{};
      GetClientRect(form->hwnd(), &client);
      EXPECT_NEAR(client.right, grown(351), 1);
      EXPECT_NEAR(client.bottom, grown(204), 1);
    }
    const RECT url = ClientRectOf(form->Control(ControlId::txtURL));
    EXPECT_NEAR(url.right, grown(329), 1);
    EXPECT_NEAR(url.bottom, grown(49), 1);
    SetWindowTextW(form->Control(ControlId::txtURL), L"www.example.org/news");
    for (const Expected& e : kDesign) {
      const HWND control = form->Control(e.id);
      const std::u16string caption = testing::WindowText(control);
      if (caption.empty()) continue;
      const SIZE over = Overflow(control, caption, e.className[0] == L'B' ? 2 : 0);
      EXPECT_LE(over.cx, 0) << testing::ToUtf8(caption);
      EXPECT_LE(over.cy, 0) << testing::ToUtf8(caption);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowTextSizeTest,
                         ::testing::Values(TextCase{150, 96}, TextCase{200, 96}, TextCase{150, 144},
                                           TextCase{200, 144}));

// As a window larger than the picture paints it, on any screen: more of the picture, then the
// field's blue.
TEST(WindowSizeTest, ALargerWindowShowsMoreOfThePictureThenTheField) {
  app::Background background;
  background.Load(GetModuleHandleW(nullptr), IDR_BACKGROUND);
  const HDC screen = GetDC(nullptr);
  const app::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, 1300, 950));
  ReleaseDC(nullptr, screen);
  const app::MemoryDc dc(nullptr, bitmap.get());
  background.Paint(dc.get(), {0, 0}, RECT{0, 0, 1300, 950}, app::kDefaultDpi);
  const COLORREF field = GetPixel(dc.get(), 1000, 700);  // well inside the picture
  EXPECT_NEAR(GetBValue(field), 204, 8);
  EXPECT_GT(GetGValue(GetPixel(dc.get(), 1000, 67)), GetGValue(field) + 8)
      << "the line runs the picture's width";
  EXPECT_EQ(GetPixel(dc.get(), 1155, 100), app::kFieldBlue);
}

TEST(WindowDpiTest, LayoutFontsAndPictureScaleWithTheDpi) {
  app::Form1 form(GetModuleHandleW(nullptr));
  ASSERT_TRUE(form.Create());
  RECT suggested{0, 0, 600, 400};
  SendMessageW(form.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  // 144 DPI: 10 twips a pixel.
  const RECT url = ClientRectOf(form.Control(ControlId::txtURL));
  EXPECT_EQ(url.left, 168);
  EXPECT_EQ(url.top, 36);
  EXPECT_EQ(url.right - url.left, 326);
  const RECT create = ClientRectOf(form.Control(ControlId::Command2));
  EXPECT_EQ(create.bottom - create.top, 50);
  EXPECT_EQ(FontOf(form.Control(ControlId::Label1)).lfHeight, -17);
  EXPECT_LT(FontOf(form.Control(ControlId::txtURL)).lfHeight, -12);
  EXPECT_TRUE(FontOf(form.Control(ControlId::lblLink)).lfUnderline);
  EXPECT_EQ(IconsOf(form.hwnd()), (std::vector<int>{24, 32, 48, 32}));

  // The faint line, 64 to 71 pixels down at 96 DPI, lies 96 to 107 down at 144.
  const HDC screen = GetDC(nullptr);
  const app::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, 527, 306));
  ReleaseDC(nullptr, screen);
  const app::MemoryDc dc(nullptr, bitmap.get());
  SendMessageW(form.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
  EXPECT_GT(GetBValue(GetPixel(dc.get(), 200, 101)), GetBValue(GetPixel(dc.get(), 200, 90)));
  EXPECT_GT(GetBValue(GetPixel(dc.get(), 200, 101)), GetBValue(GetPixel(dc.get(), 200, 112)));

  // Nothing made for one scale outlives it: after 100 more changes, each painted, as many fonts,
  // icons and pictures are live as after the first.
  const int live = app::LiveGdiObjects();
  for (int change = 1; change <= 100; ++change) {
    const UINT dpi = change % 2 ? 96 : 144;
    SendMessageW(form.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    SendMessageW(form.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
  }
  EXPECT_EQ(app::LiveGdiObjects(), live);
}

// The shell, with a save that takes 2 s, as on a desktop redirected to a slow share: what the
// cursor is while it saves, and how many messages are shown.
class SlowSave final : public shell::Services {
 public:
  HCURSOR cursorDuringSave = nullptr;
  int messages = 0;
  DWORD saving = 2000;  // ms
  bool closedMeanwhile = false;  // the window is closed from outside while it saves
  std::atomic<bool> saveStarted{false};

  std::unique_ptr<shell::ShellObject> CreateShellObject() override {
    return std::make_unique<Shell>(real_.CreateShellObject(), *this);
  }
  std::unique_ptr<shell::FileSystemObject> CreateFileSystemObject(
      std::u16string_view desktop) override {
    return real_.CreateFileSystemObject(desktop);
  }
  void MsgBox(std::u16string_view) override { ++messages; }

 private:
  struct Shortcut final : shell::ShortcutObject {
    Shortcut(std::unique_ptr<shell::ShortcutObject> real, SlowSave& slow)
        : real(std::move(real)), slow(slow) {}
    void TargetPath(std::u16string_view target) override { real->TargetPath(target); }
    void IconLocation(std::u16string_view icon) override { real->IconLocation(icon); }
    shell::Change Save() override {
      slow.cursorDuringSave = GetCursor();
      slow.saveStarted = true;
      Sleep(slow.saving);
      if (slow.closedMeanwhile) PostQuitMessage(0);
      return real->Save();
    }
    std::unique_ptr<shell::ShortcutObject> real;
    SlowSave& slow;
  };
  struct Shell final : shell::ShellObject {
    Shell(std::unique_ptr<shell::ShellObject> real, SlowSave& slow)
        : real(std::move(real)), slow(slow) {}
    std::u16string SpecialFolders(std::u16string_view folder) override {
      return real->SpecialFolders(folder);
    }
    std::unique_ptr<shell::ShortcutObject> CreateShortcut(std::u16string_view path,
                                                          std::u16string_view desktop) override {
      return std::make_unique<Shortcut>(real->CreateShortcut(path, desktop), slow);
    }
    std::unique_ptr<shell::ShellObject> real;
    SlowSave& slow;
  };
  shell::WindowsServices real_;
};

long long RecycledItems() {
  SHQUERYRBINFO bin{};
  bin.cbSize = sizeof bin;
  SHQueryRecycleBinW(L"C:\\", &bin);
  return bin.i64NumItems;
}

// Fills the window's boxes for a shortcut `site` on the desktop to "example.org", where none
// is yet; returns the path it will have.
std::u16string ReadyToCreate(app::Form1& form, std::u16string_view site) {
  const std::u16string path = shell::WindowsServices().CreateShellObject()->SpecialFolders(
                                  u"Desktop") + u"\\" + std::u16string(site) + u".lnk";
  DeleteFileW(shell::Wide(path));
  SetWindowTextW(form.Control(ControlId::txtFileName), shell::Wide(std::u16string(site)));
  SetWindowTextW(form.Control(ControlId::txtURL), L"example.org");
  return path;
}

// Clicks that reach a busy window are dropped, not run after the command: a second Create
// would send the shortcut just written to the Recycle Bin and write it again.
TEST(WindowBusyTest, ClicksDuringASlowSaveAreDroppedUnderTheWaitCursor) {
  PELLUMAR_ONLY_ON_A_THROWAWAY_MACHINE();
  SlowSave slow;
  app::Form1 form(GetModuleHandleW(nullptr), {&slow});
  ASSERT_TRUE(form.Create());
  form.Show(SW_SHOWNORMAL);
  const std::u16string path = ReadyToCreate(form, u"busy");
  const testing::RemoveOnExit cleanup(path);
  const long long recycled = RecycledItems();

  const HWND create = form.Control(ControlId::Command2);
  // More clicks while the first one saves: by mouse, by an assistive tool, by touch or pen,
  // and on the window's frame.
  constexpr UINT kPointerDown = 0x0246, kPointerUp = 0x0247;
  const UINT meanwhile[] = {WM_LBUTTONDOWN, WM_LBUTTONUP,  BM_CLICK,         kPointerDown,
                            kPointerUp,     WM_NCLBUTTONDOWN, WM_NCLBUTTONUP};
  std::thread impatient([create, &meanwhile, &slow] {
    testing::WaitFor([&] { return slow.saveStarted.load(); });
    for (const UINT message : meanwhile) PostMessageW(create, message, 0, MAKELPARAM(5, 5));
  });
  SendMessageW(create, BM_CLICK, 0, 0);
  impatient.join();
  for (const UINT message : meanwhile) {
    MSG left{};  // a look returns a quit message too, whatever it asks for
    EXPECT_FALSE(PeekMessageW(&left, nullptr, message, message, PM_NOREMOVE) &&
                 left.message == message)
        << "message 0x" << std::hex << message << ", queued during the save, was kept";
  }
  Settle(form.hwnd());

  EXPECT_EQ(slow.cursorDuringSave, LoadCursorW(nullptr, IDC_WAIT));
  EXPECT_NE(GetFileAttributesW(shell::Wide(path)), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(RecycledItems(), recycled) << "a queued click recycled the new shortcut";
  EXPECT_EQ(slow.messages, 0);
}

// A window closed from outside while a command runs (Restart Manager, taskkill) ends the
// program, as a closed window should: its quit message outlives the drop of what came meanwhile.
TEST(WindowBusyTest, TheQuitMessageOfAWindowClosedDuringASaveIsKept) {
  PELLUMAR_ONLY_ON_A_THROWAWAY_MACHINE();
  SlowSave slow;
  slow.saving = 50;
  slow.closedMeanwhile = true;
  app::Form1 form(GetModuleHandleW(nullptr), {&slow});
  ASSERT_TRUE(form.Create());
  form.Show(SW_SHOWNOACTIVATE);
  const testing::RemoveOnExit cleanup(ReadyToCreate(form, u"closed"));
  MSG quit{};  // the quit message of the windows of the tests before, taken first
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  SendMessageW(form.Control(ControlId::Command2), BM_CLICK, 0, 0);
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// What the window tells a screen reader, in the order it tells it.
class RecordingReader final : public shell::ScreenReader {
 public:
  std::vector<std::pair<HWND, std::u16string>> told;
  void Name(HWND control, std::u16string_view text) override { told.emplace_back(control, text); }
  void Describe(HWND control, std::u16string_view text) override { told.emplace_back(control, text); }
  void MarkAsLink(HWND label) override { told.emplace_back(label, u"link"); }
  bool Listening() override { return true; }
  void Announce(HWND window, std::u16string_view text) override { told.emplace_back(window, text); }
  LRESULT AnswerGetObject(HWND, WPARAM, LPARAM) override { return 0; }
  void Forget(HWND) override {}
};

// Each Browse says what it picks, the credit is a link, and a Create and a Delete each say once
// what they did, which nothing on the screen shows.
TEST(WindowScreenReaderTest, BrowseButtonsAreDescribedTheCreditIsALinkAndEachChangeIsSaid) {
  PELLUMAR_ONLY_ON_A_THROWAWAY_MACHINE();
  RecordingReader reader;
  app::Form1 form(GetModuleHandleW(nullptr), {nullptr, nullptr, &reader});
  ASSERT_TRUE(form.Create());
  form.Show(SW_SHOWNOACTIVATE);
  Settle(form.hwnd());
  using Told = std::vector<std::pair<HWND, std::u16string>>;
  EXPECT_EQ(reader.told,
            (Told{{form.Control(ControlId::Command1), u"Browse for an icon file"},
                  {form.Control(ControlId::Command1), std::u16string(app::kIconBrowseDescription)},
                  {form.Control(ControlId::Command3), u"Browse for a shortcut"},
                  {form.Control(ControlId::Command3), std::u16string(app::kShortcutBrowseDescription)},
                  {form.Control(ControlId::lblLink), u"link"}}));

  const testing::RemoveOnExit cleanup(ReadyToCreate(form, u"said"));
  reader.told.clear();
  SendMessageW(form.Control(ControlId::Command2), BM_CLICK, 0, 0);
  SendMessageW(form.Control(ControlId::Command4), BM_CLICK, 0, 0);
  // Where the shortcut went, as the system said: Windows' file operation names the item in the
  // Recycle Bin; Wine's deletes nothing, and the older operation that does says nothing.
  const std::u16string deleted = testing::RunningUnderWine() ? u"Shortcut deleted"
                                                              : u"Shortcut moved to the Recycle Bin";
  EXPECT_EQ(reader.told, (Told{{form.hwnd(), u"Shortcut created on the desktop"},
                               {form.hwnd(), deleted}}));
}

// What a client reads of `control` through Microsoft Active Accessibility: its name,
// description and role.
struct Accessible {
  std::u16string name, description;
  LONG role = 0;
  bool operator==(const Accessible&) const = default;
};
Accessible ReadAccessible(HWND control) {
  Accessible read;
  IAccessible* object = nullptr;
  if (AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible,
                                 reinterpret_cast<void**>(&object)) != S_OK) {
    return read;
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  for (auto [get, into] : {std::pair{&IAccessible::get_accName, &read.name},
                           std::pair{&IAccessible::get_accDescription, &read.description}}) {
    BSTR text = nullptr;
    if ((object->*get)(self, &text) == S_OK && text) *into = shell::FromWide(text);
    SysFreeString(text);
  }
  VARIANT role{};
  if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4) read.role = role.lVal;
  object->Release();
  return read;
}

// The system's own annotation service, as far as Wine has one: what a screen reader reads back,
// and, once the window is gone, what its controls said before.
TEST(WindowScreenReaderTest, TheSystemReadsBackTheNamesDescriptionsAndTheLinkRoleUntilTheWindowGoes) {
  app::Form1 form(GetModuleHandleW(nullptr));
  ASSERT_TRUE(form.Create());
  form.Show(SW_SHOWNOACTIVATE);
  Settle(form.hwnd());
  const Accessible icon = ReadAccessible(form.Control(ControlId::Command1));
  if (icon.description.empty()) GTEST_SKIP() << "this system keeps no annotations";
  EXPECT_EQ(icon, (Accessible{u"Browse for an icon file", std::u16string(app::kIconBrowseDescription),
                              ROLE_SYSTEM_PUSHBUTTON}));
  EXPECT_EQ(ReadAccessible(form.Control(ControlId::Command3)).name, u"Browse for a shortcut");
  EXPECT_EQ(ReadAccessible(form.Control(ControlId::lblLink)).role, ROLE_SYSTEM_LINK);

  // The reader takes back what it said of a window's controls when the window goes.
  const auto reader = shell::SystemScreenReader();
  const HWND button = CreateWindowExW(0, L"BUTTON", L"Browse", WS_CHILD, 0, 0, 80, 24, form.hwnd(),
                                      nullptr, nullptr, nullptr);
  reader->Name(button, u"Browse for an icon file");
  reader->Describe(button, u"Picks the icon file");
  EXPECT_EQ(ReadAccessible(button).name, u"Browse for an icon file");
  reader->Forget(form.hwnd());
  EXPECT_EQ(ReadAccessible(button), (Accessible{u"Browse", u"", ROLE_SYSTEM_PUSHBUTTON}));
}

}  // namespace
}  // namespace pellumar
