#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "shell/text.h"

// What the commands check before anything is written or deleted: that the shortcut's path is
// one Windows can hold, inside the desktop folder, and that the target and icon fit in a
// shortcut. Pure rules on text, the same on every Windows: a name is judged by the program,
// not by what one version of the file system happens to accept.
namespace pellumar {

// The longest full path the shell's save and the file deletion take, in UTF-16 code units,
// without a long-path-aware manifest (MAX_PATH less the terminating null). The same limit
// holds for a shortcut's target and icon location.
inline constexpr std::size_t kMaxPathLength = 259;

enum class PathFault {
  NotOnDesktop,        // a full path elsewhere, picked with the site-name Browse
  LeavesDesktop,       // a ".." folder
  ForbiddenCharacter,  // < > " | ? * or a control character
  Colon,               // ':' anywhere after the desktop folder
  ReservedName,        // CON, NUL, COM1, LPT¹, CONIN$ ... with or without an extension
  EndsWithDotOrSpace,  // a folder Windows would silently write without its trailing dots or spaces
  TooLong,
};

struct PathRefusal {
  PathFault fault;
  std::u16string reason;  // why, in a sentence or two for a person
};

// Why no shortcut may be written or deleted at `path`, which ShortcutPathOnDesktop made from a
// site name and `desktop`; nothing when one may. A site name may lead into a folder of the
// desktop ("news\today"), never out of it.
std::optional<PathRefusal> CheckShortcutPath(std::u16string_view path, std::u16string_view desktop);

// The path the shell is given for a shortcut CheckShortcutPath accepts: the desktop, then the
// folders and the name with one backslash between them ('/' is one too) and no "." folder. The
// shell's file operations and notifications, unlike CreateFileW, do not tidy a path themselves.
std::u16string CanonicalShortcutPath(std::u16string_view path, std::u16string_view desktop);

// Why `target` (a normalized address) or `icon` (a normalized icon path) cannot be stored in a
// shortcut whole; nothing when it can.
std::optional<std::u16string> CheckTarget(std::u16string_view target);
std::optional<std::u16string> CheckIconLocation(std::u16string_view icon);

// `text` without the white space around it (spaces, tabs, line breaks, no-break spaces), as a
// pasted address often brings.
std::u16string_view TrimWhiteSpace(std::u16string_view text);

}  // namespace pellumar
