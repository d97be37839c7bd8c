#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "app/gdi.h"

namespace pellumar::app {

// The window's background picture, from its JPEG resource, drawn unscaled from the client
// area's top-left corner (scaled with the DPI, so it looks the same at any DPI). The window
// shows only a corner of it at first: that corner is decoded for the first paint, and the
// whole picture once the window grows past it.
class Background {
 public:
  void Load(HINSTANCE instance, int resourceId);
  // Paints `area`, in client coordinates, into `dc`, whose own origin lies at `origin` in the
  // client area (a child control's DC); beyond the picture, the field's blue.
  void Paint(HDC dc, POINT origin, const RECT& area, UINT dpi);

 private:
  // Decodes at least the top-left `width` x `height` pixels of the picture.
  void DecodeAtLeast(int width, int height);
  HBITMAP PictureAt(HDC reference, UINT dpi);

  const std::uint8_t* jpeg_ = nullptr;
  std::size_t jpegSize_ = 0;
  bool damaged_ = false;
  UniqueBitmap picture_;
  SIZE size_{};   // what is decoded
  SIZE whole_{};  // the whole picture
  UniqueBitmap scaled_;
  UINT scaledDpi_ = 0;
};

// The field's colour, used where the picture cannot be shown.
inline constexpr COLORREF kFieldBlue = RGB(10, 107, 204);

}  // namespace pellumar::app
