#include "app/form1.h"

#include <exception>
#include <new>
#include <string>
#include <utility>

#include "app/busy_window.h"
#include "app/contrast.h"
#include "app/dpi.h"
#include "app/fonts.h"
#include "app/frame.h"
#include "resources/resource_ids.h"
#include "shell/open_dialog.h"
#include "shell/shell_error.h"
#include "shell/step_times.h"
#include "shell/system_dlls.h"
#include "shell/wide.h"
#include "shortcut/commands.h"
#include "shortcut/pickers.h"

namespace pellumar::app {
namespace {

using shell::Wide;

// Posted after a click that wrote or deleted a shortcut: the shell is told once the window has
// answered the click.
constexpr UINT kSendShellNotices = WM_APP + 1;
// Posted once the window first shows: what needs COM (what screen readers are told, taking
// drops) is not paid before the first paint.
constexpr UINT kFirstShown = WM_APP + 2;

// Where a control goes, in pixels at `dpi`.
struct Place {
  int x, y, width, height;
};

Place PlaceOf(const ControlSpec& control, const WindowScale& scale) {
  return {scale.Pixels(control.left), scale.Pixels(control.top), scale.Pixels(control.width),
          scale.Pixels(control.height)};
}

int IdOf(ControlId id) { return static_cast<int>(id); }

// Whether the window runs per-monitor v2, which scales its caption and frame by itself.
bool PerMonitorV2InForce() {
  return shell::system::AreDpiAwarenessContextsEqual(
      shell::system::GetThreadDpiAwarenessContext(), DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

std::size_t IndexOf(ControlId id) {
  return static_cast<std::size_t>(IdOf(id) - IdOf(ControlId::Label2));
}

}  // namespace

Form1::Form1(HINSTANCE instance, Form1Seams seams)
    : instance_(instance),
      platform_(seams.platform),
      askHighContrast_(seams.highContrast ? seams.highContrast : HighContrastOn),
      openWebPage_(seams.openWebPage),
      systemReader_(seams.screenReader ? nullptr : shell::SystemScreenReader()),
      screenReader_(seams.screenReader ? seams.screenReader : systemReader_.get()) {
  PELLUMAR_STEP("start-up: picture");
  waitCursor_ = LoadCursorW(nullptr, IDC_WAIT);  // the system's own: never destroyed
  background_.Load(instance, IDR_BACKGROUND);
}

Form1::~Form1() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool Form1::Create() {
  PELLUMAR_STEP("start-up: window made, with WM_CREATE");
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExW(instance_, kForm1Class, &windowClass)) {
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    // No class icons: each window sets its own, for its scale (LoadIcons), before it shows.
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kForm1Class;
    if (!RegisterClassExW(&windowClass)) return false;
  }
  // Made where and as large as it is shown, at the scale programs start at: moving and sizing
  // it afterwards would lay it out a second time while the person waits.
  placedDpi_ = SystemDpi();
  const RECT frame = CentredFrame(ScaleAt(placedDpi_));
  return CreateWindowExW(0, kForm1Class, shell::kAppTitle, kFormStyle, frame.left, frame.top,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                         instance_, this) != nullptr;
}

void Form1::Show(int showCommand) {
  if (dpi_ != placedDpi_) {  // the primary monitor has another scale than the system's
    const RECT frame = CentredFrame(scale_);
    SetWindowPos(hwnd_, nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  {
    PELLUMAR_STEP("start-up: ShowWindow");
    ShowWindow(hwnd_, showCommand);
  }
  PELLUMAR_STEP("start-up: UpdateWindow, the first paint");
  UpdateWindow(hwnd_);
  SetFocus(Control(ControlId::txtURL));
  PostMessageW(hwnd_, kFirstShown, 0, 0);
}

HWND Form1::Control(ControlId id) const { return controls_[IndexOf(id)]; }

LRESULT CALLBACK Form1::WindowProc(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) OnNcCreate(window, *reinterpret_cast<CREATESTRUCTW*>(lParam));
  auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!form) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return form->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the system's code; a failure here loses only this message.
    return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
      break;
    case WM_ERASEBKGND:
      OnEraseBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_SYSCOMMAND:
      OnSysCommand(wParam);
      break;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SETTINGCHANGE:
      OnSettingChange();
      break;
    case WM_SYSCOLORCHANGE:
      OnSysColorChange(wParam, lParam);
      break;
    case WM_THEMECHANGED:
      OnColoursChanged();
      break;
    case kSendShellNotices:
      OnSendShellNotices();
      return 0;
    case kFirstShown:
      OnFirstShown();
      return 0;
    case WM_GETOBJECT:
      if (const LRESULT answer = screenReader_->AnswerGetObject(hwnd_, wParam, lParam))
        return answer;
      break;
    case WM_DESTROY:
      OnDestroy();
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Form1::OnNcCreate(HWND window, const CREATESTRUCTW& create) {
  auto* form = static_cast<Form1*>(create.lpCreateParams);
  form->hwnd_ = window;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  // Windows 10 1607 scales the caption and the frame only of a window that asks, where the
  // manifest's per-monitor v2 falls back to v1.
  if (!PerMonitorV2InForce()) shell::system::EnableNonClientDpiScaling(window);
}

// Minimising takes the focus away before the window is left.
void Form1::OnSysCommand(WPARAM command) {
  if ((command & 0xFFF0) == SC_MINIMIZE) RememberFocus();
}

void Form1::OnSettingChange() {
  LoadHandCursor();  // the person may have chosen another pointer size
  OnTextSizeChanged();
  OnColoursChanged();
}

void Form1::OnSendShellNotices() { shell::TellShell(std::exchange(unsent_, {})); }

void Form1::OnDestroy() {
  PELLUMAR_SAVE_STEPS();
  if (!unsent_.empty()) OnSendShellNotices();  // none is lost to a quick close
  screenReader_->Forget(hwnd_);
  if (dropRegistered_) shell::system::RevokeDragDrop(hwnd_);
  dropRegistered_ = false;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  PostQuitMessage(0);
}

// The common controls take new colours only from their top-level window.
void Form1::OnSysColorChange(WPARAM wParam, LPARAM lParam) {
  for (const HWND control : controls_) SendMessageW(control, WM_SYSCOLORCHANGE, wParam, lParam);
  OnColoursChanged();
}

void Form1::OnFirstShown() {
  DescribeControls();
  TakeDrops();
}

void Form1::OnCreate() {
  PELLUMAR_STEP("start-up: WM_CREATE");
  dpi_ = DpiOf(hwnd_);
  scale_ = ScaleAt(dpi_);
  highContrast_ = askHighContrast_();
  services_.emplace(hwnd_);
  dlgCommonDialog_ = shell::CreateCommonDialog(hwnd_);
  for (const ControlSpec& control : kControls) {
    const wchar_t* className = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (control.kind) {
      case Kind::Label:
        // The credit, a link, takes the focus too: last, after the window's seven controls.
        style |= SS_LEFT | (control.id == ControlId::lblLink ? SS_NOTIFY | WS_TABSTOP : 0);
        break;
      case Kind::TextBox:
        className = L"EDIT";
        style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case Kind::Button:
        className = L"BUTTON";
        // BS_NOTIFY: the second press of a double-click comes as BN_DBLCLK, which no handler
        // takes, not as a second click that would delete again or recycle what was just made.
        style |= WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY;
        break;
    }
    // Each made in its place: placing them afterwards would lay every one out twice.
    const Place place = PlaceOf(control, scale_);
    controls_[IndexOf(control.id)] = CreateWindowExW(
        exStyle, className, Wide(std::u16string(control.text)), style, place.x, place.y,
        place.width, place.height, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdOf(control.id))), instance_, nullptr);
  }
  creditLink_.Attach(Control(ControlId::lblLink));
  creditLink_.SetCueColour(highContrast_ ? ThemeColours().link : CLR_INVALID);
  {
    PELLUMAR_STEP("start-up: WM_CREATE: fonts");
    BuildFonts();
  }
  LoadIcons();
  LoadHandCursor();
  Form_Load();
}

// The icon holds an image for each size Windows asks for at each scale: the sizes of the
// window's own scale are loaded, so none is stretched from another.
void Form1::LoadIcons() {
  const auto load = [this](int metric) {
    const int size = SystemMetric(metric, dpi_);
    return UniqueIcon(static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PELLUMAR), IMAGE_ICON, size, size, 0)));
  };
  UniqueIcon smallIcon = load(SM_CXSMICON), bigIcon = load(SM_CXICON);
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
  // Only now that the window shows the new ones may the old ones go.
  smallIcon_ = std::move(smallIcon);
  bigIcon_ = std::move(bigIcon);
}

// The cursor holds a hand drawn for each size a pointer has at each scale, and for pointers the
// person made larger: the one of the window's scale and that size is loaded, not one stretched.
void Form1::LoadHandCursor() {
  const int size = SystemMetric(SM_CXCURSOR, dpi_);
  UniqueCursor hand(static_cast<HCURSOR>(
      LoadImageW(instance_, MAKEINTRESOURCEW(IDC_HANDPOINT), IMAGE_CURSOR, size, size, 0)));
  if (!hand) return;  // the one there is stays
  if (handCursor_ && GetCursor() == handCursor_.get()) SetCursor(hand.get());
  handCursor_ = std::move(hand);
}

void Form1::BuildFonts() {
  const LOGFONTW defaultFont = MessageFont(dpi_);
  UniqueFont labelFont = LabelFontThatFits(hwnd_, scale_);
  UniqueFont normalFont(CreateFontIndirectW(&defaultFont));
  for (const ControlSpec& control : kControls) {
    if (control.id == ControlId::lblLink) continue;
    const HFONT font = IsBoldLabel(control.id) ? labelFont.get() : normalFont.get();
    SendMessageW(Control(control.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  // Only now that no control uses them may the old fonts go.
  labelFont_ = std::move(labelFont);
  defaultFont_ = std::move(normalFont);
  BuildLinkFont();
}

// The credit's font: the window's default font, underlined once the window has loaded.
void Form1::BuildLinkFont() {
  LOGFONTW font{};
  GetObjectW(defaultFont_.get(), sizeof font, &font);
  font.lfUnderline = linkUnderline_;
  UniqueFont linkFont(CreateFontIndirectW(&font));
  SendMessageW(Control(ControlId::lblLink), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont.get()),
               FALSE);
  linkFont_ = std::move(linkFont);
}

void Form1::LayOut() {
  for (const ControlSpec& control : kControls) {
    const Place place = PlaceOf(control, scale_);
    SetWindowPos(Control(control.id), nullptr, place.x, place.y, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (linkAutoSize_) AutoSizeLink();
}

// Sizes the credit label to its caption, keeping its top-left corner.
void Form1::AutoSizeLink() {
  const HWND link = Control(ControlId::lblLink);
  const std::u16string caption = Text(ControlId::lblLink);
  const SIZE size =
      TextExtent(link, linkFont_.get(), Wide(caption), static_cast<int>(caption.size()));
  SetWindowPos(link, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The credit label's style, set in this order when the window loads.
void Form1::Form_Load() {
  linkAutoSize_ = true;
  SetText(ControlId::lblLink, std::u16string(kCredit));
  linkColor_ = RGB(255, 255, 255);
  linkUnderline_ = true;
  BuildLinkFont();
  AutoSizeLink();  // to the caption in its final font
}

void Form1::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;  // STN_CLICKED has the same value
  switch (static_cast<ControlId>(id)) {
    case ControlId::Command1:
      return RunHandler([this](shell::Changes&) { Command1_Click(); });
    case ControlId::Command2: {
      PELLUMAR_STEP("click: Create Shortcut handler");
      return RunHandler([this](shell::Changes& changed) { Command2_Click(changed); });
    }
    case ControlId::Command3:
      return RunHandler([this](shell::Changes&) { Command3_Click(); });
    case ControlId::Command4: {
      PELLUMAR_STEP("click: Delete Shortcut handler");
      return RunHandler([this](shell::Changes& changed) { Command4_Click(changed); });
    }
    case ControlId::lblLink:
      return RunHandler([this](shell::Changes&) { lblLink_Click(); });
    default:
      return;
  }
}

template <typename Handler>
void Form1::RunHandler(Handler handler) {
  // One handler at a time: a click that arrives while a message or the dialog is open waits
  // for nothing and runs nothing.
  if (handlerRunning_) return;
  shell::Changes changed;
  {
    const BusyWindow busy(waitCursor_, handlerRunning_);
    try {
      if (!com_) com_.emplace();
      handler(changed);
      // Success shows nothing on the screen; a screen reader says what happened, raised only
      // while one listens: nobody would hear it, and it costs every click.
      if (!changed.empty() && screenReader_->Listening())
        screenReader_->Announce(hwnd_, Announcement(changed.back().kind));
    } catch (const shell::ShellError& error) {
      ReportError(error.Describe());
    } catch (const std::bad_alloc&) {
      ReportError(u"There is not enough memory to complete the action.");
    } catch (const std::exception&) {
      ReportError(u"The action could not be completed.");
    }
  }
  if (changed.empty()) return;
  for (shell::Change& change : changed) unsent_.push_back(std::move(change));
  // At once where the window was closed meanwhile, or the notice cannot be posted.
  if (!hwnd_ || !PostMessageW(hwnd_, kSendShellNotices, 0, 0)) OnSendShellNotices();
}

void Form1::ReportError(const std::u16string& text) {
  MessageBoxW(hwnd_, Wide(text), shell::kAppTitle, MB_OK | MB_ICONERROR | MB_APPLMODAL);
}

shell::Services& Form1::Platform() { return platform_ ? *platform_ : *services_; }

void Form1::Command1_Click() {
  if (auto name = Pick(kIconPicker, *dlgCommonDialog_, Platform()))
    SetText(ControlId::txtIcon, *name);
}

void Form1::Command2_Click(shell::Changes& changed) {
  CreateWebShortcut(Platform(), Text(ControlId::txtFileName), Text(ControlId::txtURL),
                    Text(ControlId::txtIcon), changed);
}

void Form1::Command3_Click() {
  if (auto name = Pick(kShortcutPicker, *dlgCommonDialog_, Platform())) {
    SetText(ControlId::txtFileName, *name);
  }
}

void Form1::Command4_Click(shell::Changes& changed) {
  DeleteWebShortcut(Platform(), Text(ControlId::txtFileName), changed);
}

void Form1::lblLink_Click() { OpenWebPage(kMakerPage); }

// Hands the address to the shell's default handler; nothing is shown when it cannot open it.
void Form1::OpenWebPage(std::u16string_view address) {
  if (openWebPage_) return openWebPage_(address);
  shell::OpenWithDefaultHandler(address);
}

LRESULT Form1::OnCtlColorStatic(HDC dc, HWND control) {
  const bool isLink = control == Control(ControlId::lblLink);
  if (highContrast_) {
    const ContrastColours theme = ThemeColours();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, isLink ? theme.link : theme.text);
    return reinterpret_cast<LRESULT>(theme.background);
  }
  // The labels are transparent: the picture is drawn under them, then their text on top.
  RECT area{};
  GetWindowRect(control, &area);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&area), 2);
  background_.Paint(dc, {area.left, area.top}, area, dpi_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, isLink && linkColor_ != CLR_INVALID ? linkColor_ : GetSysColor(COLOR_BTNTEXT));
  return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

bool Form1::OnSetCursor(HWND control) {
  if (control != Control(ControlId::lblLink) || !handCursor_) return false;
  SetCursor(handCursor_.get());
  return true;
}

void Form1::OnEraseBackground(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (highContrast_) {
    FillRect(dc, &client, ThemeColours().background);
  } else {
    background_.Paint(dc, {0, 0}, client, dpi_);
  }
}

// Text size changed while the window is open: laid out again at the new scale, its frame's
// top-left corner kept.
void Form1::OnTextSizeChanged() {
  const WindowScale scale = ScaleAt(dpi_);
  if (scale == scale_) return;
  scale_ = scale;
  const RECT frame = FrameFor(scale_);
  SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  BuildFonts();
  LayOut();
}

void Form1::DescribeControls() {
  if (!com_) com_.emplace();
  screenReader_->Name(Control(ControlId::Command1), kIconBrowseName);
  screenReader_->Describe(Control(ControlId::Command1), kIconBrowseDescription);
  screenReader_->Name(Control(ControlId::Command3), kShortcutBrowseName);
  screenReader_->Describe(Control(ControlId::Command3), kShortcutBrowseDescription);
  screenReader_->MarkAsLink(Control(ControlId::lblLink));
}

void Form1::TakeDrops() {
  if (dropTarget_) return;
  if (!com_) com_.emplace();
  dropTarget_.Attach(new (std::nothrow) DropTarget(hwnd_, *this));
  dropRegistered_ =
      dropTarget_ && SUCCEEDED(shell::system::RegisterDragDrop(hwnd_, dropTarget_.Get()));
}

// Not while a command runs: it has read the boxes, and its message or dialog is open.
bool Form1::TakesDrops() const { return hwnd_ && !handlerRunning_; }

// A drop fills the boxes as typing would; a page's title names the shortcut only when no name
// was typed.
void Form1::Fill(const DropFill& fill) {
  if (!fill.address.empty()) SetText(ControlId::txtURL, fill.address);
  if (!fill.icon.empty()) SetText(ControlId::txtIcon, fill.icon);
  if (!fill.siteName.empty()) SetText(ControlId::txtFileName, fill.siteName);
  if (fill.title.empty() || !Text(ControlId::txtFileName).empty()) return;
  const std::u16string name = SiteNameForTitle(Platform(), fill.title);
  if (!name.empty()) SetText(ControlId::txtFileName, name);
}

void Form1::OnColoursChanged() {
  highContrast_ = askHighContrast_();
  creditLink_.SetCueColour(highContrast_ ? ThemeColours().link : CLR_INVALID);
  // The labels paint their own background: they are told too.
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// As dialogs keep their focus: the control that had it is remembered when the window is left,
// and given it back when the window is activated or gets the focus, which is how a restore
// from the taskbar arrives. A minimised window takes none: its keys go to the window itself.
void Form1::OnActivate(bool active) {
  if (active) return RestoreFocus();
  RememberFocus();
}

void Form1::RememberFocus() {
  const HWND focus = GetFocus();
  if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
}

void Form1::RestoreFocus() {
  if (IsIconic(hwnd_)) return;
  SetFocus(lastFocus_ && IsChild(hwnd_, lastFocus_) ? lastFocus_ : Control(ControlId::txtURL));
}

void Form1::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  scale_ = ScaleAt(dpi);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  BuildFonts();
  LoadIcons();
  LoadHandCursor();
  LayOut();
  // The controls clip the window's painting, so they must be told too: the transparent labels
  // would keep their old-size text over the old picture.
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::u16string Form1::Text(ControlId id) const {
  const HWND control = Control(id);
  std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, u'\0');
  const int copied = GetWindowTextW(control, reinterpret_cast<wchar_t*>(text.data()),
                                    static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

void Form1::SetText(ControlId id, const std::u16string& text) {
  SetWindowTextW(Control(id), Wide(text));
}

int RunMessageLoop(HWND window) {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

}  // namespace pellumar::app
