#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Small rules on UTF-16 text that the core and the platform share: the case of the Latin letters
// A-Z alone (the same on every platform, whatever its locale), numbers in words, and paths.
namespace pellumar {

constexpr char16_t LowerCaseUnit(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}
constexpr char16_t UpperCaseUnit(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}
constexpr bool IsAsciiLetter(char16_t c) {
  return LowerCaseUnit(c) >= u'a' && LowerCaseUnit(c) <= u'z';
}

// Maps A-Z to a-z and leaves every other code unit as it is, the same on every platform.
std::u16string LowerCase(std::u16string_view text);

// `value` in decimal digits.
std::u16string Decimal(std::uint64_t value);
// `value` in upper-case hexadecimal digits, at least `digits` of them.
std::u16string Hexadecimal(std::uint32_t value, int digits = 1);

// A backslash or a slash: Windows takes either between folders.
constexpr bool IsPathSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// Whether `path` names something inside `folder` (the same case), not the folder itself.
bool IsInFolder(std::u16string_view path, std::u16string_view folder);

}  // namespace pellumar
