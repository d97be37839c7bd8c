#include "picture/jpeg.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pellumar::picture {
namespace {

constexpr int kMaxSide = 16384;
constexpr std::size_t kMaxPixels = std::size_t{64} << 20;

constexpr std::array<std::uint8_t, 64> kZigzag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

struct Huffman {
  bool defined = false;
  std::array<int, 17> maxCode{};  // largest code of each length, -1 when none
  std::array<int, 17> offset{};   // index of the first symbol of each length, minus its code
  std::array<std::uint8_t, 256> symbols{};
};

struct Component {
  int id = 0, h = 1, v = 1, quant = 0;
  int dcTable = 0, acTable = 0;
  int prediction = 0;
  int stride = 0;  // samples per row of the component's plane
  std::vector<std::uint8_t> plane;
};

// Reads entropy-coded bits; a marker or the end of data reads as zero bits.
class BitReader {
 public:
  BitReader(const std::uint8_t* data, std::size_t size, std::size_t position)
      : data_(data), size_(size), position_(position) {}

  int Bit() {
    if (count_ == 0) Fill();
    --count_;
    return (buffer_ >> count_) & 1;
  }
  int Bits(int n) {
    int value = 0;
    for (int i = 0; i < n; ++i) value = (value << 1) | Bit();
    return value;
  }
  // Skips to the next restart marker and starts afresh after it.
  bool Restart() {
    count_ = 0;
    while (position_ + 1 < size_ && !(data_[position_] == 0xFF && data_[position_ + 1] >= 0xD0 &&
                                      data_[position_ + 1] <= 0xD7)) {
      ++position_;
    }
    if (position_ + 1 >= size_) return false;
    position_ += 2;
    return true;
  }

 private:
  void Fill() {
    buffer_ = 0;
    count_ = 8;
    if (position_ >= size_) return;
    const std::uint8_t byte = data_[position_];
    if (byte == 0xFF) {
      if (position_ + 1 < size_ && data_[position_ + 1] == 0x00) {
        position_ += 2;  // a stuffed 0xFF
        buffer_ = 0xFF;
      }
      return;  // a marker: zeros until the decoder moves past it
    }
    ++position_;
    buffer_ = byte;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_;
  int buffer_ = 0;
  int count_ = 0;
};

int Decode(BitReader& bits, const Huffman& table) {
  int code = 0;
  for (int length = 1; length <= 16; ++length) {
    code = (code << 1) | bits.Bit();
    if (code <= table.maxCode[length]) {
      const int index = table.offset[length] + code;
      return index >= 0 && index < 256 ? table.symbols[static_cast<std::size_t>(index)] : -1;
    }
  }
  return -1;
}

int Extend(int value, int size) { return value < (1 << (size - 1)) ? value - (1 << size) + 1 : value; }

inline std::uint8_t Clamp(int value) {
  return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// A dequantised coefficient, bounded so that damaged data cannot overflow the arithmetic.
int Dequantise(int value, int quant) {
  constexpr long long kLimit = 1 << 20;
  return static_cast<int>(std::clamp(static_cast<long long>(value) * quant, -kLimit, kLimit));
}

// Cosines for the inverse transform: c[x][u] = C(u) cos((2x+1)u pi/16) / 2. Worked out when
// compiling, from cos(k pi/16) for k = 0 to 8, so that no decode waits on the table.
struct CosineTable {
  std::array<std::array<float, 8>, 8> c{};
};

constexpr CosineTable MakeCosineTable() {
  constexpr double kEighths[9] = {1.0,
                                  0.98078528040323044913,
                                  0.92387953251128675613,
                                  0.83146961230254523708,
                                  0.70710678118654752440,
                                  0.55557023301960222474,
                                  0.38268343236508977173,
                                  0.19509032201612826785,
                                  0.0};
  CosineTable table;
  for (int x = 0; x < 8; ++x) {
    for (int u = 0; u < 8; ++u) {
      int k = (2 * x + 1) * u % 32;  // cos(k pi/16) repeats every 32
      if (k > 16) k = 32 - k;
      const double cosine = k > 8 ? -kEighths[16 - k] : kEighths[k];
      const float scale = u == 0 ? static_cast<float>(kEighths[4]) : 1.0f;  // 1 / sqrt(2)
      table.c[x][u] = scale * static_cast<float>(cosine) / 2.0f;
    }
  }
  return table;
}

constexpr CosineTable kCosines = MakeCosineTable();

void InverseTransform(const std::array<int, 64>& coefficients, std::uint8_t* out, int stride) {
  const CosineTable& table = kCosines;
  std::array<float, 64> rows{};
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      float sum = 0;
      for (int u = 0; u < 8; ++u) sum += table.c[x][u] * static_cast<float>(coefficients[y * 8 + u]);
      rows[y * 8 + x] = sum;
    }
  }
  for (int x = 0; x < 8; ++x) {
    for (int y = 0; y < 8; ++y) {
      float sum = 0;
      for (int v = 0; v < 8; ++v) sum += table.c[y][v] * rows[v * 8 + x];
      out[y * stride + x] = Clamp(static_cast<int>(std::lround(sum)) + 128);
    }
  }
}

class Decoder {
 public:
  Decoder(const std::uint8_t* data, std::size_t size, const PixelTarget& target, PictureSize limit)
      : data_(data), size_(size), target_(target), limit_(limit) {}

  bool Run() {
    if (size_ < 4 || data_[0] != 0xFF || data_[1] != 0xD8) return false;
    position_ = 2;
    for (;;) {
      while (position_ < size_ && data_[position_] == 0xFF) ++position_;  // fill bytes
      if (position_ >= size_ || data_[position_ - 1] != 0xFF) return false;
      const std::uint8_t marker = data_[position_++];
      if (marker == 0xD9) return false;  // the end before any scan
      if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) continue;
      if (position_ + 2 > size_) return false;
      const std::size_t length = Word(position_);
      if (length < 2 || position_ + length > size_) return false;
      const std::size_t start = position_ + 2, end = position_ + length;
      bool ok = true;
      switch (marker) {
        case 0xC0:
        case 0xC1: ok = ReadFrame(start, end); break;
        case 0xC4: ok = ReadHuffman(start, end); break;
        case 0xDB: ok = ReadQuantization(start, end); break;
        case 0xDD:
          ok = end - start >= 2;
          if (ok) restartInterval_ = static_cast<int>(Word(start));
          break;
        case 0xDA: return ReadScan(start, end) && Finish();
        default:
          // Progressive, lossless and arithmetic-coded frames are not this decoder's kind.
          if (marker >= 0xC2 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            return false;
          }
          break;  // application data and comments
      }
      if (!ok) return false;
      position_ = end;
    }
  }

 private:
  std::size_t Word(std::size_t at) const { return (std::size_t{data_[at]} << 8) | data_[at + 1]; }

  bool ReadFrame(std::size_t at, std::size_t end) {
    if (end - at < 6 || data_[at] != 8 || !components_.empty()) return false;
    height_ = static_cast<int>(Word(at + 1));
    width_ = static_cast<int>(Word(at + 3));
    const int count = data_[at + 5];
    if (width_ <= 0 || height_ <= 0 || width_ > kMaxSide || height_ > kMaxSide ||
        static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) > kMaxPixels ||
        (count != 1 && count != 3) || end - at < 6 + 3 * static_cast<std::size_t>(count)) {
      return false;
    }
    for (int i = 0; i < count; ++i) {
      const std::size_t c = at + 6 + 3 * static_cast<std::size_t>(i);
      Component component;
      component.id = data_[c];
      component.h = data_[c + 1] >> 4;
      component.v = data_[c + 1] & 15;
      component.quant = data_[c + 2];
      if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4 || component.quant > 3) {
        return false;
      }
      hMax_ = std::max(hMax_, component.h);
      vMax_ = std::max(vMax_, component.v);
      components_.push_back(component);
    }
    return true;
  }

  bool ReadHuffman(std::size_t at, std::size_t end) {
    while (at < end) {
      if (end - at < 17) return false;
      const int kind = data_[at] >> 4, id = data_[at] & 15;
      if (kind > 1 || id > 3) return false;
      Huffman& table = (kind == 0 ? dc_ : ac_)[static_cast<std::size_t>(id)];
      std::size_t total = 0;
      int code = 0, index = 0;
      for (int length = 1; length <= 16; ++length) {
        const int count = data_[at + static_cast<std::size_t>(length)];
        total += static_cast<std::size_t>(count);
        table.offset[length] = index - code;
        table.maxCode[length] = count ? code + count - 1 : -1;
        code = (code + count) << 1;
        index += count;
      }
      if (total > 256 || end - at < 17 + total) return false;
      std::copy_n(data_ + at + 17, total, table.symbols.begin());
      table.defined = true;
      at += 17 + total;
    }
    return true;
  }

  bool ReadQuantization(std::size_t at, std::size_t end) {
    while (at < end) {
      const int precision = data_[at] >> 4, id = data_[at] & 15;
      const std::size_t bytes = precision ? 128 : 64;
      if (precision > 1 || id > 3 || end - at < 1 + bytes) return false;
      for (std::size_t k = 0; k < 64; ++k) {
        quant_[static_cast<std::size_t>(id)][k] =
            precision ? static_cast<int>(Word(at + 1 + 2 * k)) : data_[at + 1 + k];
      }
      at += 1 + bytes;
    }
    return true;
  }

  bool ReadScan(std::size_t at, std::size_t end) {
    if (components_.empty() || end - at < 1) return false;
    const std::size_t count = data_[at];
    // One interleaved scan holding every component, as baseline encoders write.
    if (count != components_.size() || end - at < 1 + 2 * count + 3) return false;
    for (std::size_t i = 0; i < count; ++i) {
      const int id = data_[at + 1 + 2 * i];
      const int tables = data_[at + 2 + 2 * i];
      Component& component = components_[i];
      if (component.id != id) return false;
      component.dcTable = tables >> 4;
      component.acTable = tables & 15;
      if (component.dcTable > 3 || component.acTable > 3 || !dc_[static_cast<std::size_t>(component.dcTable)].defined ||
          !ac_[static_cast<std::size_t>(component.acTable)].defined) {
        return false;
      }
    }
    const int mcusX = (width_ + 8 * hMax_ - 1) / (8 * hMax_);
    part_ = {std::clamp(limit_.width, 0, width_), std::clamp(limit_.height, 0, height_)};
    if (part_.width == 0 || part_.height == 0) return false;
    const int mcusY = (part_.height + 8 * vMax_ - 1) / (8 * vMax_);
    for (Component& component : components_) {
      component.stride = mcusX * component.h * 8;
      component.plane.assign(static_cast<std::size_t>(component.stride) * static_cast<std::size_t>(mcusY * component.v * 8), 0);
    }
    BitReader bits(data_, size_, end);
    std::array<int, 64> coefficients{};
    int untilRestart = restartInterval_;
    for (int my = 0; my < mcusY; ++my) {
      for (int mx = 0; mx < mcusX; ++mx) {
        if (restartInterval_ && untilRestart-- == 0) {
          if (!bits.Restart()) return true;  // a short scan: what is decoded stays
          for (Component& component : components_) component.prediction = 0;
          untilRestart = restartInterval_ - 1;
        }
        for (Component& component : components_) {
          for (int by = 0; by < component.v; ++by) {
            for (int bx = 0; bx < component.h; ++bx) {
              if (!DecodeBlock(bits, component, coefficients)) return false;
              const auto firstPixel = [](int mcu, int blocks, int block) {
                return 8 * (static_cast<std::size_t>(mcu) * static_cast<std::size_t>(blocks) +
                            static_cast<std::size_t>(block));
              };
              const std::size_t x = firstPixel(mx, component.h, bx), y = firstPixel(my, component.v, by);
              std::uint8_t* out = component.plane.data() + y * static_cast<std::size_t>(component.stride) + x;
              WriteBlock(coefficients, out, component.stride);
            }
          }
        }
      }
    }
    return true;
  }

  bool DecodeBlock(BitReader& bits, Component& component, std::array<int, 64>& coefficients) {
    const auto& quant = quant_[static_cast<std::size_t>(component.quant)];
    coefficients.fill(0);
    const int dcSize = Decode(bits, dc_[static_cast<std::size_t>(component.dcTable)]);
    if (dcSize < 0 || dcSize > 11) return false;
    if (dcSize) {
      component.prediction = std::clamp(component.prediction + Extend(bits.Bits(dcSize), dcSize), -32768, 32767);
    }
    coefficients[0] = Dequantise(component.prediction, quant[0]);
    hasAc_ = false;
    for (int k = 1; k < 64;) {
      const int symbol = Decode(bits, ac_[static_cast<std::size_t>(component.acTable)]);
      if (symbol < 0) return false;
      const int run = symbol >> 4, size = symbol & 15;
      if (size == 0) {
        if (run != 15) break;  // end of block
        k += 16;
        continue;
      }
      k += run;
      if (k > 63) return false;
      coefficients[kZigzag[static_cast<std::size_t>(k)]] =
          Dequantise(Extend(bits.Bits(size), size), quant[static_cast<std::size_t>(k)]);
      hasAc_ = true;
      ++k;
    }
    return true;
  }

  void WriteBlock(const std::array<int, 64>& coefficients, std::uint8_t* out, int stride) const {
    if (hasAc_) return InverseTransform(coefficients, out, stride);
    // A flat block, most of a plain picture: its one value, without the transform.
    const std::uint8_t value = Clamp(static_cast<int>(std::lround(coefficients[0] / 8.0)) + 128);
    for (std::ptrdiff_t y = 0; y < 8; ++y) std::fill_n(out + y * stride, 8, value);
  }

  bool Finish() const {
    std::uint32_t* pixels = target_({width_, height_}, part_);
    if (!pixels) return false;
    const auto width = static_cast<std::size_t>(part_.width);
    // Which sample of each component's row serves each pixel of a row, worked out once.
    std::vector<std::vector<std::size_t>> columns;
    for (const Component& c : components_) {
      std::vector<std::size_t>& column = columns.emplace_back(width);
      for (std::size_t x = 0; x < width; ++x) column[x] = x * static_cast<std::size_t>(c.h) / static_cast<std::size_t>(hMax_);
    }
    const auto row = [&](std::size_t i, int y) {
      const Component& c = components_[i];
      return c.plane.data() + static_cast<std::size_t>(y * c.v / vMax_) * static_cast<std::size_t>(c.stride);
    };
    for (int y = 0; y < part_.height; ++y) {
      std::uint32_t* out = pixels + static_cast<std::size_t>(y) * width;
      if (components_.size() == 1) {
        const std::uint8_t* grey = row(0, y);
        for (std::size_t x = 0; x < width; ++x) {
          const std::uint32_t g = grey[columns[0][x]];
          out[x] = g << 16 | g << 8 | g;
        }
        continue;
      }
      const std::uint8_t* luma = row(0, y);
      const std::uint8_t* blue = row(1, y);
      const std::uint8_t* red = row(2, y);
      // Neighbours mostly share their samples; each colour is converted once per run.
      std::uint32_t lastSamples = ~0u, lastRgb = 0;
      for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t samples = std::uint32_t{luma[columns[0][x]]} << 16 |
                                      std::uint32_t{blue[columns[1][x]]} << 8 | red[columns[2][x]];
        if (samples != lastSamples) {
          const int l = static_cast<int>(samples >> 16) << 10;
          const int cb = static_cast<int>((samples >> 8) & 0xFF) - 128, cr = static_cast<int>(samples & 0xFF) - 128;
          const int r = (l + 1436 * cr + 512) >> 10;           // 1.402
          const int g = (l - 352 * cb - 731 * cr + 512) >> 10;  // 0.344136, 0.714136
          const int b = (l + 1815 * cb + 512) >> 10;           // 1.772
          lastSamples = samples;
          lastRgb = std::uint32_t{Clamp(r)} << 16 | std::uint32_t{Clamp(g)} << 8 | Clamp(b);
        }
        out[x] = lastRgb;
      }
    }
    return true;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  const PixelTarget& target_;
  PictureSize limit_;
  PictureSize part_;
  std::size_t position_ = 0;
  int width_ = 0, height_ = 0, hMax_ = 1, vMax_ = 1;
  int restartInterval_ = 0;
  bool hasAc_ = false;
  std::vector<Component> components_;
  std::array<Huffman, 4> dc_{}, ac_{};
  std::array<std::array<int, 64>, 4> quant_{};
};

}  // namespace

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, const PixelTarget& target, PictureSize limit) {
  return data && Decoder(data, size, target, limit).Run();
}

std::optional<Image> DecodeJpeg(const std::uint8_t* data, std::size_t size) {
  Image image;
  const bool decoded = DecodeJpeg(data, size, [&](PictureSize, PictureSize part) {
    image.width = part.width;
    image.height = part.height;
    image.pixels.resize(static_cast<std::size_t>(part.width) * static_cast<std::size_t>(part.height));
    return image.pixels.data();
  });
  if (!decoded) return std::nullopt;
  return image;
}

}  // namespace pellumar::picture
