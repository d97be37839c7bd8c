#pragma once

#include <string>
#include <vector>

namespace pellumar::shell {

// One file of a drop, as the shell names it.
struct DroppedFile {
  std::u16string path;
  bool folder = false;
};

// What a dragged object offers in the forms the window reads; a form it lacks is empty.
struct DropOffer {
  std::vector<DroppedFile> files = {};              // files from a folder window
  std::u16string link = {};                         // the address a browser hands over
  std::vector<std::u16string> describedFiles = {};  // names of files a browser would make
  std::u16string text = {};                         // plain text
};

}  // namespace pellumar::shell
