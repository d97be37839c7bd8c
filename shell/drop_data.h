#pragma once

#include <windows.h>
#include <ole2.h>

#include <optional>
#include <string>

#include "shortcut/drop.h"

// What is dragged onto the window, read from the shell's data object in the forms the window
// takes, within sizes no address or Internet Shortcut exceeds.
namespace pellumar::shell {

// The files (two at most: two are enough to refuse), the link, the files a browser describes
// and the plain text that `data` offers.
DropOffer ReadDropOffer(IDataObject* data);

// The address of the Internet Shortcut `plan` names: a file on disk, or the first described
// file's contents in `data`; nothing when it holds none.
std::optional<std::u16string> ReadDroppedAddress(const DropPlan& plan, IDataObject* data);

}  // namespace pellumar::shell
