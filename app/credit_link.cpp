#include "app/credit_link.h"

#include "app/gdi.h"

namespace pellumar::app {
namespace {

bool Activates(UINT message, WPARAM key) {
  return (message == WM_KEYDOWN || message == WM_CHAR) && (key == VK_RETURN || key == VK_SPACE);
}

}  // namespace

CreditLink::~CreditLink() { Detach(); }

void CreditLink::Attach(HWND label) {
  Detach();
  label_ = label;
  // A static control keeps nothing of its own in its user data.
  SetWindowLongPtrW(label_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(label_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
}

void CreditLink::Detach() {
  if (!label_) return;
  if (IsWindow(label_)) {
    SetWindowLongPtrW(label_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    SetWindowLongPtrW(label_, GWLP_USERDATA, 0);
  }
  label_ = nullptr;
  original_ = nullptr;
}

void CreditLink::SetCueColour(COLORREF colour) {
  cueColour_ = colour;
  if (label_ && GetFocus() == label_) InvalidateRect(label_, nullptr, TRUE);
}

LRESULT CALLBACK CreditLink::Procedure(HWND label, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
  auto* link = reinterpret_cast<CreditLink*>(GetWindowLongPtrW(label, GWLP_USERDATA));
  if (!link) return DefWindowProcW(label, message, wParam, lParam);
  try {
    return link->HandleMessage(message, wParam, lParam);
  } catch (...) {
    return CallWindowProcW(link->original_, label, message, wParam, lParam);
  }
}

LRESULT CreditLink::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC original = original_;
  const HWND label = label_;
  switch (message) {
    case WM_GETDLGCODE:
      // Enter and Space come to the link instead of the dialog manager, which would take Enter
      // for the window's default button (it has none).
      if (const auto* asked = reinterpret_cast<const MSG*>(lParam);
          asked && Activates(asked->message, asked->wParam)) {
        return CallWindowProcW(original, label, message, wParam, lParam) | DLGC_WANTMESSAGE;
      }
      break;
    case WM_KEYDOWN:
      // Once a press: a held key repeats its WM_KEYDOWN with bit 30 set.
      if (Activates(message, wParam)) {
        if (!(lParam & (1 << 30))) {
          SendMessageW(GetParent(label), WM_COMMAND,
                       MAKEWPARAM(GetDlgCtrlID(label), STN_CLICKED),
                       reinterpret_cast<LPARAM>(label));
        }
        return 0;
      }
      break;
    case WM_CHAR:
      if (Activates(message, wParam)) return 0;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: {
      const LRESULT result = CallWindowProcW(original, label, message, wParam, lParam);
      InvalidateRect(label, nullptr, TRUE);
      return result;
    }
    case WM_PAINT: {
      const LRESULT result = CallWindowProcW(original, label, message, wParam, lParam);
      PaintCue();
      return result;
    }
    case WM_NCDESTROY:
      Detach();
      return CallWindowProcW(original, label, message, wParam, lParam);
  }
  return CallWindowProcW(original, label, message, wParam, lParam);
}

// The cue around the caption while the link has the focus, unless Windows hides focus cues
// until the keyboard is used.
void CreditLink::PaintCue() const {
  if (GetFocus() != label_) return;
  if (SendMessageW(label_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) return;
  RECT area{};
  GetClientRect(label_, &area);
  const WindowDc dc(label_);
  if (cueColour_ == CLR_INVALID) {
    DrawFocusRect(dc.get(), &area);
  } else {
    const GdiOwner<HBRUSH, DeleteGdiObject> brush(CreateSolidBrush(cueColour_));
    FrameRect(dc.get(), &area, brush.get());
  }
}

}  // namespace pellumar::app
