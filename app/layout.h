#pragma once

#include <array>
#include <string_view>

// The main window's design: every control's place and size in twips (1440 per inch, 15 per
// pixel at 96 DPI), in creation order. Each label comes just before the box it names, so screen
// readers announce it; labels take no focus, so the focusable controls follow in tab order. The
// credit, a link, is the one label that does, last.
namespace pellumar::app {

inline constexpr wchar_t kForm1Class[] = L"Pellumar.Form1";
inline constexpr int kClientWidth = 5265;
inline constexpr int kClientHeight = 3060;

enum class ControlId : int {
  Label2 = 100,
  txtURL,
  Label1,
  txtFileName,
  Command3,
  lblIcon,
  txtIcon,
  Command1,
  Command2,
  Command4,
  lblLink,
};

enum class Kind { Label, TextBox, Button };

struct ControlSpec {
  ControlId id;
  Kind kind;
  std::u16string_view text;
  int left, top, width, height;
};

inline constexpr std::array<ControlSpec, 11> kControls{{
    {ControlId::Label2, Kind::Label, u"WebSite URL:", 360, 480, 1215, 375},
    {ControlId::txtURL, Kind::TextBox, u"", 1680, 360, 3255, 375},
    {ControlId::Label1, Kind::Label, u"Site Name:", 360, 960, 975, 255},
    {ControlId::txtFileName, Kind::TextBox, u"", 1680, 840, 2055, 375},
    {ControlId::Command3, Kind::Button, u"Browse", 3840, 840, 1095, 375},
    {ControlId::lblIcon, Kind::Label, u"Icon:", 360, 1440, 735, 255},
    {ControlId::txtIcon, Kind::TextBox, u"", 1680, 1440, 2055, 375},
    {ControlId::Command1, Kind::Button, u"Browse", 3840, 1440, 1095, 375},
    {ControlId::Command2, Kind::Button, u"Create Shortcut", 720, 2040, 1695, 495},
    {ControlId::Command4, Kind::Button, u"Delete Shortcut", 2640, 2040, 1695, 495},
    {ControlId::lblLink, Kind::Label, u"", 3240, 2760, 1935, 255},
}};

// The credit label's line and the maker's page.
inline constexpr std::u16string_view kCredit = u"\u00A9 2005 Pellumar Labs";
inline constexpr std::u16string_view kMakerPage = u"http://www.pellumar.example/";

// The names screen readers announce the two Browse buttons by, and what they say of each after
// it. Each begins with the caption, so that a person who says "click Browse" still reaches them.
inline constexpr std::u16string_view kIconBrowseName = u"Browse for an icon file";
inline constexpr std::u16string_view kShortcutBrowseName = u"Browse for a shortcut";
inline constexpr std::u16string_view kIconBrowseDescription = u"Picks the icon file";
inline constexpr std::u16string_view kShortcutBrowseDescription =
    u"Picks a shortcut on the desktop";

}  // namespace pellumar::app
