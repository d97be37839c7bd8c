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

}  // namespace pellumar::app
