#include "shell/dialog_filter.h"

namespace pellumar::shell {

std::vector<FileType> FileTypes(std::u16string_view filter) {
  std::vector<std::u16string> parts(1);
  for (char16_t c : filter) {
    if (c == u'|') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  std::vector<FileType> types;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
    types.push_back({std::move(parts[i]), std::move(parts[i + 1])});
  return types;
}

}  // namespace pellumar::shell
