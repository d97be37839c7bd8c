#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/services.h"

// The two "Browse" buttons: one open-file dialog, a filter, a test on the chosen name and the
// messages for an empty or a wrong choice.
namespace pellumar {

struct Picker {
  std::u16string_view filter;
  std::u16string_view extension;
  bool lowerCaseBeforeTest;
  std::u16string_view emptyChoiceMessage;
  std::u16string_view wrongFileMessage;
  bool startsOnDesktop;  // where the shortcuts it picks live; else the system's choice
  shell::Guid memory;    // the system's memory of this picker's dialog
};

inline constexpr std::u16string_view kNoIconChosen =
    u"You didn't choose a valid icon file the default icon will be used";

// Command1, beside the icon box.
inline constexpr Picker kIconPicker{
    u"Icons (*.ico)|*.ico", u".ico", true, kNoIconChosen, kNoIconChosen, false,
    {0x810b0db0, 0x73e0, 0x4648, {0x98, 0x3c, 0xc4, 0x7f, 0x7b, 0xa3, 0x01, 0x91}}};

// Command3, beside the site-name box. The empty-choice message ends with a space.
inline constexpr Picker kShortcutPicker{
    u"Shortcuts (*.lnk)|*.lnk", u".lnk", false, u"You didn't choose a valid shortcut file ",
    u"You didn't choose a valid shortcut file", true,
    {0xe26a5356, 0x4cc9, 0x410a, {0x9f, 0xc7, 0x06, 0xb3, 0x04, 0x98, 0x05, 0x61}}};

// Shows the dialog; returns the chosen name exactly as the dialog gave it, or shows the
// picker's message and returns nothing.
std::optional<std::u16string> Pick(const Picker& picker, shell::CommonDialog& dialog,
                                   shell::Services& services);

}  // namespace pellumar
