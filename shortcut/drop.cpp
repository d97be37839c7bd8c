#include "shortcut/drop.h"

#include <exception>
#include <memory>

#include "shortcut/checks.h"
#include "shortcut/naming.h"

namespace pellumar {
namespace {

constexpr std::u16string_view kUrlExtension = u".url";

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// The last part of a path, after its last separator.
std::u16string_view FileNameOf(std::u16string_view path) {
  std::size_t start = path.size();
  while (start > 0 && !IsPathSeparator(path[start - 1])) --start;
  return path.substr(start);
}

// The file name's extension with its dot, lower-cased; empty when it has none.
std::u16string ExtensionOf(std::u16string_view path) {
  const std::u16string_view name = FileNameOf(path);
  const std::size_t dot = name.rfind(u'.');
  return dot == std::u16string_view::npos ? std::u16string() : LowerCase(name.substr(dot));
}

// An Internet Shortcut's file name without its extension, which is the page's title.
std::u16string TitleOfInternetShortcut(std::u16string_view path) {
  const std::u16string_view name = FileNameOf(path);
  return std::u16string(name.substr(0, name.size() - kUrlExtension.size()));
}

DropPlan Fill(DropFill fill) { return {DropStep::Fill, std::move(fill), {}}; }

DropPlan PlanFile(const DroppedFile& file) {
  const std::u16string extension = ExtensionOf(file.path);
  if (file.folder) return {};
  if (extension == u".ico" || extension == u".exe" || extension == u".dll") {
    return Fill({.icon = file.path});
  }
  // As the site-name Browse takes a shortcut: its name as given must hold ".lnk".
  if (extension == u".lnk" && file.path.find(u".lnk") != std::u16string::npos) {
    return Fill({.siteName = file.path});
  }
  if (extension == kUrlExtension) {
    return {DropStep::ReadInternetShortcut, {.title = TitleOfInternetShortcut(file.path)},
            file.path};
  }
  return {};
}

// The title of the one Internet Shortcut a browser describes for a dragged link; empty when it
// describes none, or more than one file.
std::u16string DescribedInternetShortcut(const DropOffer& offer) {
  if (offer.describedFiles.size() != 1) return {};
  const std::u16string& name = offer.describedFiles.front();
  return ExtensionOf(name) == kUrlExtension ? TitleOfInternetShortcut(name) : std::u16string();
}

}  // namespace

DropPlan PlanDrop(const DropOffer& offer) {
  if (!offer.files.empty()) {
    return offer.files.size() == 1 ? PlanFile(offer.files.front()) : DropPlan{};
  }
  std::u16string title = DescribedInternetShortcut(offer);
  if (!offer.link.empty()) {
    auto address = WebAddressIn(offer.link);
    if (!address) return {};
    return Fill({.address = std::move(*address), .title = std::move(title)});
  }
  if (!title.empty()) return {DropStep::ReadDescribedFileContents, {.title = std::move(title)}, {}};
  if (auto address = WebAddressIn(offer.text)) return Fill({.address = std::move(*address)});
  return {};
}

std::optional<std::u16string> WebAddressIn(std::u16string_view text) {
  text = TrimWhiteSpace(text);
  std::size_t scheme = 0;
  if (StartsWithIgnoringCase(text, u"https://")) {
    scheme = 8;
  } else if (StartsWithIgnoringCase(text, u"http://")) {
    scheme = 7;
  } else {
    return std::nullopt;
  }
  if (text.size() == scheme) return std::nullopt;
  // One address: white space inside it means text that holds more than one thing.
  for (char16_t c : text) {
    if (c <= u' ' || c == 0x7F || TrimWhiteSpace(std::u16string_view(&c, 1)).empty()) {
      return std::nullopt;
    }
  }
  return std::u16string(text);
}

std::optional<std::u16string> InternetShortcutAddress(std::u16string_view fileText) {
  bool inSection = false;
  while (!fileText.empty()) {
    const std::size_t end = fileText.find_first_of(u"\r\n");
    std::u16string_view line = TrimWhiteSpace(fileText.substr(0, end));
    fileText.remove_prefix(end == std::u16string_view::npos ? fileText.size() : end + 1);
    if (line.starts_with(u'[')) {
      const std::size_t close = line.find(u']');
      inSection = close != std::u16string_view::npos &&
                  LowerCase(TrimWhiteSpace(line.substr(1, close - 1))) == u"internetshortcut";
      continue;
    }
    const std::size_t equals = line.find(u'=');
    if (!inSection || equals == std::u16string_view::npos) continue;
    if (LowerCase(TrimWhiteSpace(line.substr(0, equals))) != u"url") continue;
    // The first URL= line is the one Windows reads.
    return WebAddressIn(line.substr(equals + 1));
  }
  return std::nullopt;
}

std::u16string SiteNameFromTitle(std::u16string_view title, std::size_t desktopLength) {
  std::u16string name;
  name.reserve(title.size());
  for (char16_t c : title) {
    if (c < u' ' || c == 0x7F) {
      name += u' ';
    } else if (std::u16string_view(u"<>:\"/\\|?*").find(c) != std::u16string_view::npos) {
      name += u'-';
    } else {
      name += c;
    }
  }
  name = std::u16string(TrimWhiteSpace(name));
  // The desktop, a separator, the name and ".lnk": the naming rules only ever shorten the name.
  const std::size_t fixed = desktopLength + 1 + 4;
  const std::size_t room = kMaxPathLength > fixed ? kMaxPathLength - fixed : 0;
  if (name.size() > room) {
    std::size_t cut = room;
    if (cut > 0 && IsHighSurrogate(name[cut - 1])) --cut;  // never half a character
    name = std::u16string(TrimWhiteSpace(std::u16string_view(name).substr(0, cut)));
  }
  return name;
}

std::u16string SiteNameForTitle(shell::Services& services, std::u16string_view title) {
  std::size_t desktop = 0;
  try {
    desktop = services.CreateShellObject()->SpecialFolders(u"Desktop").size();
  } catch (const std::exception&) {
    return {};
  }
  return SiteNameFromTitle(title, desktop);
}

}  // namespace pellumar
