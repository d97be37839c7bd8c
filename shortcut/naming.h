#pragma once

#include <string>
#include <string_view>

#include "shell/text.h"

// The rules that turn the three boxes' free text into the shortcut's path, target and icon.
// Strings are UTF-16; lengths and positions count code units.
namespace pellumar {

// True when `text` begins with `lowerPrefix` (in small letters) in either case of A-Z.
bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view lowerPrefix);

// Removes every non-overlapping occurrence of `piece`, scanning once from the left.
std::u16string Remove(std::u16string_view text, std::u16string_view piece);

// The shortcut's target: "http://" or "https://" in front, the host lower-cased, the path,
// query and fragment as typed.
std::u16string NormalizeUrl(std::u16string_view text);

// The shortcut's file name: lower-cased, every ".lnk" removed, one ".lnk" appended.
std::u16string NormalizeLinkName(std::u16string_view text);

// The shortcut's icon location: lower-cased, trailing ".ico" pieces dropped, one ".ico"
// appended; a program's or a library's path (".exe", ".dll") only lower-cased. A bare ".ico"
// means no icon; see HasIcon.
std::u16string NormalizeIconPath(std::u16string_view text);

// True when a normalized icon path names an icon rather than the bare ".ico".
bool HasIcon(std::u16string_view normalizedIcon);

// The desktop folder, a separator and the link name with every occurrence of the desktop
// folder removed. Names of shortcuts already on desktops depend on this exact form.
std::u16string ShortcutPathOnDesktop(std::u16string_view linkName, std::u16string_view desktop);

}  // namespace pellumar
