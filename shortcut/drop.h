#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "shell/drop_offer.h"
#include "shell/services.h"

// What a link, an icon or a shortcut dragged onto the window puts in its boxes. A drop only
// fills boxes, as typing would; Create and Delete then judge the text as ever.
namespace pellumar {

using shell::DropOffer;
using shell::DroppedFile;

// The boxes a drop writes; each only when its text is not empty.
struct DropFill {
  std::u16string address = {};   // txtURL
  std::u16string siteName = {};  // txtFileName
  std::u16string icon = {};      // txtIcon
  // The page's title: for txtFileName when it is empty, made a name with SiteNameFromTitle.
  std::u16string title = {};
};

enum class DropStep {
  Refuse,                     // nothing here the window takes
  Fill,                       // `fill` is complete
  ReadInternetShortcut,       // the address is the URL= line of the file `file`...
  ReadDescribedFileContents,  // ... or of the contents of the one file described
};

struct DropPlan {
  DropStep step = DropStep::Refuse;
  DropFill fill;
  std::u16string file;  // the Internet Shortcut to read, for ReadInternetShortcut
};

// Decides what an offer fills: one file, else a browser's link (titled by the Internet Shortcut
// it describes), else one described Internet Shortcut, else text that is one web address.
DropPlan PlanDrop(const DropOffer& offer);

// `text` without the white space around it when it is one http:// or https:// address.
std::optional<std::u16string> WebAddressIn(std::u16string_view text);

// The web address of an Internet Shortcut: the URL= line of its [InternetShortcut.W] section,
// where Windows writes it whole in UTF-7, else that of [InternetShortcut], which holds a '?'
// for each character the system's code page lacks.
std::optional<std::u16string> InternetShortcutAddress(std::u16string_view fileText);

// `text` decoded from UTF-7 (RFC 2152); nothing where it is not well formed.
std::optional<std::u16string> DecodeUtf7(std::u16string_view text);

// A title made a site name the naming rules take: each character no file name may hold becomes
// '-' (a control character a space), white space around goes, and the name is cut where its
// shortcut's path, on a desktop folder of `desktopLength` characters, would be too long.
std::u16string SiteNameFromTitle(std::u16string_view title, std::size_t desktopLength);

// SiteNameFromTitle on the desktop the shell reports now; empty where it reports none, for
// Create to say why.
std::u16string SiteNameForTitle(shell::Services& services, std::u16string_view title);

}  // namespace pellumar
