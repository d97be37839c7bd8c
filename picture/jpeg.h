#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// A decoder for the one kind of JPEG the program carries: baseline (sequential, Huffman coded,
// 8-bit), grey or YCbCr with any sampling, with or without restart markers. Decoding it here
// rather than through the system's imaging components keeps COM and the codec DLLs out of
// the program's start. Damaged or unsupported data gives no image, never a crash.
namespace pellumar::picture {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom
};

struct PictureSize {
  int width = 0;
  int height = 0;
};

// Where the decoded pixels go: asked once, with the whole picture's size and the size of the
// part that will be decoded, for room for that part as 0x00RRGGBB pixels, rows top to bottom;
// null refuses the picture.
using PixelTarget = std::function<std::uint32_t*(PictureSize whole, PictureSize part)>;

// Decodes the top-left part of the picture no larger than `limit` (the whole picture by
// default) into the target's room; false when the data is damaged or of another kind (the room
// may then hold part of a picture). Rows below the part are not decoded at all.
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, const PixelTarget& target,
                PictureSize limit = {1 << 30, 1 << 30});

std::optional<Image> DecodeJpeg(const std::uint8_t* data, std::size_t size);

}  // namespace pellumar::picture
