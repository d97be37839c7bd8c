#pragma once

#include <windows.h>

#include <utility>

// Owners for GDI objects and icons: each releases its object when it goes. Every font, bitmap
// and icon the window makes is held by one of these, so in the window's tests their count tells
// whether anything made for one scale outlives it (a process may hold 10,000 GDI objects in
// all, and Wine cannot count them).
namespace pellumar::app {

#ifdef PELLUMAR_COUNT_GDI_OBJECTS
// How many objects the owners below hold in this process.
inline int& LiveGdiObjects() {
  static int live = 0;  // constant-initialised: no guard, and the window has one thread
  return live;
}
inline void CountGdiObjects(int change) { LiveGdiObjects() += change; }
#else
inline void CountGdiObjects(int) {}
#endif

template <typename Handle, typename Release>
class GdiOwner {
 public:
  GdiOwner() = default;
  explicit GdiOwner(Handle handle) { reset(handle); }
  ~GdiOwner() { reset(); }
  GdiOwner(GdiOwner&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiOwner& operator=(GdiOwner&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }
  void reset(Handle handle = nullptr) noexcept {
    if (handle_) {
      Release{}(handle_);
      CountGdiObjects(-1);
    }
    handle_ = handle;
    if (handle_) CountGdiObjects(+1);
  }

 private:
  Handle handle_ = nullptr;
};

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};
struct DestroyCursorHandle {
  void operator()(HCURSOR cursor) const noexcept { DestroyCursor(cursor); }
};

using UniqueFont = GdiOwner<HFONT, DeleteGdiObject>;
using UniqueBitmap = GdiOwner<HBITMAP, DeleteGdiObject>;
using UniqueIcon = GdiOwner<HICON, DestroyIconHandle>;
using UniqueCursor = GdiOwner<HCURSOR, DestroyCursorHandle>;

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
