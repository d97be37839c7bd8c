#pragma once

#include <memory>

#include "shell/services.h"

namespace pellumar::shell {

// The shell object: the current user's folders, as the shell knows them (a redirected desktop
// included), and shortcuts written through the shell link.
std::unique_ptr<ShellObject> CreateShell();

}  // namespace pellumar::shell
