#pragma once

#include <windows.h>

#include <memory>

#include "shell/services.h"

namespace pellumar::shell {

// The open-file dialog on the shell's dialog object, modal to `owner`. Shortcut files are returned
// as themselves, not followed to their targets.
std::unique_ptr<CommonDialog> CreateCommonDialog(HWND owner);

}  // namespace pellumar::shell
