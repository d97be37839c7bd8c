#pragma once

#include <windows.h>

// The credit is a label that opens the maker's page when clicked. From the keyboard it is the
// last stop of the Tab cycle: while it has the focus it shows a focus cue (once the keyboard has
// been used, as Windows hides focus cues until then), and Enter or Space opens the page as a
// click does. With the mouse it looks and behaves as a label.
namespace pellumar::app {

class CreditLink {
 public:
  CreditLink() = default;
  ~CreditLink();
  CreditLink(const CreditLink&) = delete;
  CreditLink& operator=(const CreditLink&) = delete;

  // Takes the keys and the focus cue of `label`, a static control with SS_NOTIFY whose parent
  // takes its clicks as STN_CLICKED.
  void Attach(HWND label);
  // The colour of the cue under a contrast theme; CLR_INVALID for the system's own cue.
  void SetCueColour(COLORREF colour);

 private:
  static LRESULT CALLBACK Procedure(HWND label, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void PaintCue() const;
  void Detach();

  HWND label_ = nullptr;
  WNDPROC original_ = nullptr;
  COLORREF cueColour_ = CLR_INVALID;
};

}  // namespace pellumar::app
