#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// Owners for GDI objects: each deletes its object when it goes.
namespace pellumar::app {

struct GdiObjectDeleter {
  void operator()(void* object) const noexcept { DeleteObject(static_cast<HGDIOBJ>(object)); }
};

template <typename Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

using UniqueFont = GdiObject<HFONT>;
using UniqueBitmap = GdiObject<HBITMAP>;

struct IconDeleter {
  void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// A memory DC with one bitmap selected for its lifetime.
class MemoryDc {
 public:
  MemoryDc(HDC reference, HBITMAP bitmap)
      : dc_(CreateCompatibleDC(reference)), old_(SelectObject(dc_, bitmap)) {}
  ~MemoryDc() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const noexcept { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window's device context (the screen's for null) for the scope.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() { ReleaseDC(window_, dc_); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// One object selected into a DC for the scope.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, old_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The size of `text` on one line in `font`, as a static control draws it.
inline SIZE TextExtent(HWND window, HFONT font, const wchar_t* text, int length) {
  const WindowDc dc(window);
  const SelectedObject selected(dc.get(), font);
  RECT extent{0, 0, 0, 0};
  DrawTextW(dc.get(), text, length, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return {extent.right, extent.bottom};
}

}  // namespace pellumar::app
