#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace pellumar::fuzz {

// Reads the fuzzer's bytes as UTF-16 code units (any, lone surrogates included), in pieces
// separated by a zero unit.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::u16string Next() {
    std::u16string text;
    while (position_ + 1 < size_) {
      const char16_t unit = static_cast<char16_t>(data_[position_] | data_[position_ + 1] << 8);
      position_ += 2;
      if (unit == 0) break;
      text += unit;
    }
    return text;
  }

  std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// Stops the run, so libFuzzer keeps the input that broke a property.
#define PELLUMAR_CHECK(condition)                                                           \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      __builtin_trap();                                                                     \
    }                                                                                       \
  } while (false)

}  // namespace pellumar::fuzz
