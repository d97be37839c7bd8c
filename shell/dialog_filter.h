#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pellumar::shell {

// One entry of the open-file dialog's list of file types.
struct FileType {
  std::u16string description;
  std::u16string pattern;
  bool operator==(const FileType&) const = default;
};

// A filter, "Description|pattern|Description|pattern...", as the dialog's list of file types, in
// its order; a description without its pattern is left out.
std::vector<FileType> FileTypes(std::u16string_view filter);

}  // namespace pellumar::shell
