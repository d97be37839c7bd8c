#pragma once

#include <windows.h>
#include <wrl/client.h>

#include <memory>
#include <optional>
#include <string>

#include "app/background.h"
#include "app/credit_link.h"
#include "app/drop_target.h"
#include "app/gdi.h"
#include "app/layout.h"
#include "app/text_scale.h"
#include "shell/com_apartment.h"
#include "shell/screen_reader.h"
#include "shell/services.h"
#include "shell/windows_services.h"

namespace pellumar::app {

// Where a test stands in for the system: the platform the commands and pickers call, whether a
// contrast theme is on, the screen reader and the opening of a web page. Null: the system's own.
struct Form1Seams {
  shell::Services* platform = nullptr;
  bool (*highContrast)() = nullptr;
  shell::ScreenReader* screenReader = nullptr;
  void (*openWebPage)(std::u16string_view address) = nullptr;
};

// The program's only window: three labelled boxes, two "Browse" buttons, "Create Shortcut",
// "Delete Shortcut" and the credit link, laid out from the design in twips and scaled with
// the DPI of the monitor it is on.
class Form1 final : public DropReceiver {
 public:
  explicit Form1(HINSTANCE instance, Form1Seams seams = {});
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window and its controls and runs the load handler; false when the system
  // refuses the window.
  bool Create();
  // Shows the window centred on its monitor with the focus in txtURL.
  void Show(int showCommand);

  HWND hwnd() const { return hwnd_; }
  HWND Control(ControlId id) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Ties the window to the object that makes it, on its first message.
  static void OnNcCreate(HWND window, const CREATESTRUCTW& create);
  void OnCreate();
  void OnDestroy();
  void OnSysCommand(WPARAM command);
  void OnSettingChange();
  void OnSendShellNotices();
  void OnFirstShown();
  void OnSysColorChange(WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int code);
  LRESULT OnCtlColorStatic(HDC dc, HWND control);
  bool OnSetCursor(HWND control);
  void OnEraseBackground(HDC dc);
  void OnActivate(bool active);
  void RememberFocus();
  void RestoreFocus();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  // Tells screen readers what the controls' captions do not say.
  void DescribeControls();
  // Starts taking what is dragged onto the window.
  void TakeDrops();
  bool TakesDrops() const override;
  void Fill(const DropFill& fill) override;
  // The colours may have changed (new colours, settings or theme): a contrast theme is asked
  // for again and everything repainted.
  void OnColoursChanged();
  void OnTextSizeChanged();

  // The window's event handlers.
  void Form_Load();
  void Command1_Click();
  void Command2_Click(shell::Changes& changed);
  void Command3_Click();
  void Command4_Click(shell::Changes& changed);
  void lblLink_Click();
  void OpenWebPage(std::u16string_view address);

  // Runs one click's handler, which adds each file it changes to the list it is given; a
  // failure it raises is reported here, once, and the window and its texts stay as they are.
  template <typename Handler>
  void RunHandler(Handler handler);
  void ReportError(const std::u16string& text);
  shell::Services& Platform();

  void LoadIcons();
  void LoadHandCursor();
  void BuildFonts();
  void BuildLinkFont();
  void LayOut();
  void AutoSizeLink();
  std::u16string Text(ControlId id) const;
  void SetText(ControlId id, const std::u16string& text);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND controls_[kControls.size()] = {};
  UINT dpi_ = 96;
  UINT placedDpi_ = 96;  // the scale the window was made for
  WindowScale scale_;    // of the layout: the DPI and the text size
  Background background_;
  UniqueFont labelFont_;
  UniqueFont defaultFont_;
  UniqueFont linkFont_;
  UniqueIcon smallIcon_;  // the caption's and the taskbar's, at the window's scale
  UniqueIcon bigIcon_;    // Alt+Tab's
  UniqueCursor handCursor_;       // the credit's, at the window's scale
  HCURSOR waitCursor_ = nullptr;  // while a click's work runs
  CreditLink creditLink_;
  bool linkAutoSize_ = false;
  bool linkUnderline_ = false;
  COLORREF linkColor_ = CLR_INVALID;
  HWND lastFocus_ = nullptr;
  bool handlerRunning_ = false;
  std::optional<shell::ComApartment> com_;  // started by the first click that needs it
  std::optional<shell::WindowsServices> services_;
  shell::Services* platform_;
  bool (*askHighContrast_)();
  void (*openWebPage_)(std::u16string_view address);
  std::unique_ptr<shell::ScreenReader> systemReader_;
  shell::ScreenReader* screenReader_;
  bool highContrast_ = false;
  std::unique_ptr<shell::CommonDialog> dlgCommonDialog_;
  shell::Changes unsent_;  // what the clicks changed that the shell has not been told of yet
  Microsoft::WRL::ComPtr<DropTarget> dropTarget_;
  bool dropRegistered_ = false;
};

// Runs the window's message loop until it closes; Tab and Shift+Tab move the focus.
int RunMessageLoop(HWND window);

}  // namespace pellumar::app
