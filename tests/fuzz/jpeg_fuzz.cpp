// The picture decoder on any bytes, asked for a part of the picture as the window asks: no crash,
// no pixel written outside the room it asked for (exactly that large, for the sanitizer), a part
// never larger than the picture or the limit, and a picture decoded whole is decoded in part too.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/jpeg.h"

using pellumar::picture::DecodeJpeg;
using pellumar::picture::PictureSize;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const PictureSize limit{1 + data[0] % 64, 1 + data[1] % 64};
  data += 2;
  size -= 2;
  const bool whole = DecodeJpeg(data, size).has_value();
  std::vector<std::uint32_t> room;
  int asked = 0;
  const bool part = DecodeJpeg(
      data, size,
      [&](PictureSize picture, PictureSize wanted) {
        ++asked;
        if (wanted.width <= 0 || wanted.height <= 0 || wanted.width > picture.width ||
            wanted.height > picture.height || wanted.width > limit.width ||
            wanted.height > limit.height) {
          __builtin_trap();
        }
        room.assign(static_cast<std::size_t>(wanted.width) * static_cast<std::size_t>(wanted.height), 0);
        return room.data();
      },
      limit);
  if ((part && asked != 1) || asked > 1 || (whole && !part)) __builtin_trap();
  return 0;
}
