#include "app/background.h"

#include <cstdint>

#include "app/dpi.h"
#include "picture/jpeg.h"

namespace pellumar::app {

using picture::DecodeJpeg;
using picture::PictureSize;

namespace {

// A top-down 32-bit DIB section for the decoder to fill.
HBITMAP CreatePictureBitmap(int width, int height, std::uint32_t** pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  *pixels = bitmap ? static_cast<std::uint32_t*>(bits) : nullptr;
  return bitmap;
}

}  // namespace

void Background::Load(HINSTANCE instance, int resourceId) {
  const HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
  const HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
  jpeg_ = loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
  jpegSize_ = jpeg_ ? SizeofResource(instance, resource) : 0;
  damaged_ = jpeg_ == nullptr;
}

void Background::DecodeAtLeast(int width, int height) {
  const bool complete = size_.cx == whole_.cx && size_.cy == whole_.cy;
  if (damaged_ || (picture_ && (complete || (width <= size_.cx && height <= size_.cy)))) return;
  // Past the first corner, the rest of the picture at once: a window is resized many times.
  const PictureSize limit =
      picture_ ? PictureSize{whole_.cx, whole_.cy} : PictureSize{width, height};
  UniqueBitmap bitmap;
  PictureSize whole, part;
  const bool decoded = DecodeJpeg(
      jpeg_, jpegSize_,
      [&](PictureSize wholeSize, PictureSize partSize) {
        std::uint32_t* pixels = nullptr;
        bitmap.reset(CreatePictureBitmap(partSize.width, partSize.height, &pixels));
        whole = wholeSize;
        part = partSize;
        return pixels;
      },
      limit);
  if (!decoded) {
    damaged_ = true;  // the plain field colour from now on
    picture_.reset();
    return;
  }
  picture_ = std::move(bitmap);
  size_ = {part.width, part.height};
  whole_ = {whole.width, whole.height};
  scaled_.reset();
  scaledDpi_ = 0;
}

HBITMAP Background::PictureAt(HDC reference, UINT dpi) {
  if (dpi == kDefaultDpi) return picture_.get();
  if (scaledDpi_ != dpi) {
    // Scaled once per DPI, not at every paint.
    const SIZE scaled{Scale(size_.cx, dpi), Scale(size_.cy, dpi)};
    scaled_.reset(CreateCompatibleBitmap(reference, scaled.cx, scaled.cy));
    scaledDpi_ = scaled_ ? dpi : 0;
    if (!scaled_) return picture_.get();
    MemoryDc source(reference, picture_.get());
    MemoryDc target(reference, scaled_.get());
    SetStretchBltMode(target.get(), HALFTONE);
    SetBrushOrgEx(target.get(), 0, 0, nullptr);
    StretchBlt(target.get(), 0, 0, scaled.cx, scaled.cy, source.get(), 0, 0, size_.cx, size_.cy,
               SRCCOPY);
  }
  return scaled_ ? scaled_.get() : picture_.get();
}

void Background::Paint(HDC dc, POINT origin, const RECT& area, UINT dpi) {
  // The picture's pixels this area needs, at 96 DPI.
  DecodeAtLeast(MulDiv(area.right, kDefaultDpi, static_cast<int>(dpi)) + 1,
                MulDiv(area.bottom, kDefaultDpi, static_cast<int>(dpi)) + 1);
  SetDCBrushColor(dc, kFieldBlue);
  const auto field = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
  RECT local = area;
  OffsetRect(&local, -origin.x, -origin.y);
  if (!picture_) {
    FillRect(dc, &local, field);
    return;
  }
  const HBITMAP picture = PictureAt(dc, dpi);
  BITMAP shown{};
  GetObjectW(picture, sizeof shown, &shown);
  MemoryDc source(dc, picture);
  const RECT pictureRect{0, 0, shown.bmWidth, shown.bmHeight};
  RECT visible{};
  if (IntersectRect(&visible, &area, &pictureRect)) {
    BitBlt(dc, visible.left - origin.x, visible.top - origin.y, visible.right - visible.left,
           visible.bottom - visible.top, source.get(), visible.left, visible.top, SRCCOPY);
  }
  // Beyond the picture, when the window is made larger than it.
  if (area.right > pictureRect.right) {
    RECT right{pictureRect.right - origin.x, local.top, local.right, local.bottom};
    FillRect(dc, &right, field);
  }
  if (area.bottom > pictureRect.bottom) {
    RECT below{local.left, pictureRect.bottom - origin.y, local.right, local.bottom};
    FillRect(dc, &below, field);
  }
}

}  // namespace pellumar::app
