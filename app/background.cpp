#include "app/background.h"

#include <wincodec.h>
#include <wrl/client.h>

#include "app/dpi.h"
#include "shell/system_dlls.h"

namespace pellumar::app {
namespace {

using Microsoft::WRL::ComPtr;

// Spelled out rather than linked from the system's GUID libraries (see windows_services.cpp).
constexpr CLSID kImagingFactory = {
    0xCACAF262, 0x9370, 0x4615, {0xA1, 0x3B, 0x9F, 0x55, 0x39, 0xDA, 0x4C, 0x0A}};
constexpr GUID kPixelFormat32bppBGR = {
    0x6FDDC324, 0x4E03, 0x4BFE, {0xB1, 0x85, 0x3D, 0x77, 0x76, 0x8D, 0xC9, 0x0E}};

// Decodes the JPEG into a top-down 32-bit DIB section; null when anything fails, and the
// window then shows the plain field colour.
HBITMAP Decode(const void* data, DWORD length, SIZE* size) {
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT width = 0, height = 0;
  if (FAILED(shell::system::CoCreateInstance(kImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), length)) ||
      FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(frame.Get(), kPixelFormat32bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&width, &height))) {
    return nullptr;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  const UINT stride = width * 4;
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
    DeleteObject(bitmap);
    return nullptr;
  }
  size->cx = static_cast<LONG>(width);
  size->cy = static_cast<LONG>(height);
  return bitmap;
}

}  // namespace

void Background::Load(HINSTANCE instance, int resourceId) {
  const HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
  const HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (data) picture_.reset(Decode(data, SizeofResource(instance, resource), &size_));
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
