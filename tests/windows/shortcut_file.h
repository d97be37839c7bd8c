#pragma once

#include <string>

namespace pellumar::testing {

// What a shortcut file on disk holds, read back through the shell.
struct ShortcutFile {
  std::u16string targetName;  // the last item of the target, as the shell names it
  std::u16string targetUrl;   // the target item's URL, where it has one (an Internet item)
  std::u16string iconLocation;
  int iconIndex = -1;
};

ShortcutFile LoadShortcut(const std::u16string& path);

}  // namespace pellumar::testing
