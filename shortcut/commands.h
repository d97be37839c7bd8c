#pragma once

#include <string_view>

#include "shell/services.h"

namespace pellumar {

inline constexpr std::u16string_view kEnterFileName = u"Please Enter a valid FileName";
inline constexpr std::u16string_view kEnterWebsiteAddress = u"Please Enter a valid Website Address";

// Writes the shortcut named after `siteName` on the desktop, or shows why it cannot. Each file
// it changes is added to `changed` as it is changed, so a later step that fails keeps what came
// before. A failing platform operation raises shell::ShellError and the remaining steps do
// not run.
void CreateWebShortcut(shell::Services& services, std::u16string_view siteName,
                       std::u16string_view webAddress, std::u16string_view iconText,
                       shell::Changes& changed);

// What a screen reader hears once a command has made the change `kind`, since success shows
// nothing on the screen: of a delete, only what the system said of where the file went.
std::u16string_view Announcement(shell::Change::Kind kind);

// Deletes the desktop shortcut that CreateWebShortcut writes for `siteName`.
void DeleteWebShortcut(shell::Services& services, std::u16string_view siteName,
                       shell::Changes& changed);

}  // namespace pellumar
