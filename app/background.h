#pragma once

#include <windows.h>

#include "app/gdi.h"

namespace pellumar::app {

// The window's background picture, decoded once from its JPEG resource and drawn unscaled from
// the client area's top-left corner (scaled with the DPI, so it looks the same at any DPI).
class Background {
 public:
  void Load(HINSTANCE instance, int resourceId);
  // Paints `area`, in client coordinates, into `dc`, whose own origin lies at `origin` in the
  // client area (a child control's DC); beyond the picture, the field's blue.
  void Paint(HDC dc, POINT origin, const RECT& area, UINT dpi);
  SIZE size() const { return size_; }
  bool loaded() const { return picture_ != nullptr; }

 private:
  HBITMAP PictureAt(HDC reference, UINT dpi);

  UniqueBitmap picture_;
  SIZE size_{};
  UniqueBitmap scaled_;
  UINT scaledDpi_ = 0;
};

// The field's colour, used where the picture cannot be shown.
inline constexpr COLORREF kFieldBlue = RGB(10, 107, 204);

}  // namespace pellumar::app
