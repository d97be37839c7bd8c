#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>

#include "shell/drop_offer.h"

// What is dragged onto the window, read from the shell's data object in the forms the window
// takes, within sizes no address or Internet Shortcut exceeds.
namespace pellumar::shell {

// The files (two at most: two are enough to refuse), the link, the files a browser describes
// and the plain text that `data` offers.
DropOffer ReadDropOffer(IDataObject* data);

// The text of the Internet Shortcut at `path`, or of the contents of the file that `data`
// describes at `index`; empty where there is none to read.
std::u16string ReadInternetShortcut(const std::u16string& path);
std::u16string ReadDescribedFile(IDataObject* data, LONG index);

}  // namespace pellumar::shell
