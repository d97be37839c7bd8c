#include "shell/text.h"

namespace pellumar {

std::u16string LowerCase(std::u16string_view text) {
  std::u16string result(text);
  for (char16_t& c : result) c = LowerCaseUnit(c);
  return result;
}

std::u16string Decimal(std::uint64_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

std::u16string Hexadecimal(std::uint32_t value, int digits) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text;
  do {
    text.insert(text.begin(), kDigits[value % 16]);
    value /= 16;
  } while (value != 0 || static_cast<int>(text.size()) < digits);
  return text;
}

bool IsInFolder(std::u16string_view path, std::u16string_view folder) {
  return !folder.empty() && path.size() > folder.size() + 1 &&
         path.substr(0, folder.size()) == folder && IsPathSeparator(path[folder.size()]);
}

}  // namespace pellumar
