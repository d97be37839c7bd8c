// The picture decoder on any bytes: no crash, and a picture only whole.
#include <cstddef>
#include <cstdint>

#include "app/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto image = pellumar::app::DecodeJpeg(data, size);
  if (image && image->pixels.size() != static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height)) {
    __builtin_trap();
  }
  return 0;
}
