#include "shortcut/drop.h"

#include <cstdint>
#include <exception>
#include <memory>

#include "shortcut/checks.h"
#include "shortcut/naming.h"

namespace pellumar {
namespace {

constexpr std::u16string_view kUrlExtension = u".url";

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The value of a digit of UTF-7's base64, or -1.
int Base64Value(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c - u'A';
  if (c >= u'a' && c <= u'z') return c - u'a' + 26;
  if (c >= u'0' && c <= u'9') return c - u'0' + 52;
  if (c == u'+') return 62;
  if (c == u'/') return 63;
  return -1;
}

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
  // The first URL= line of each section is the one Windows reads.
  std::optional<std::u16string_view> ansi, wide;
  std::optional<std::u16string_view>* section = nullptr;
  while (!fileText.empty()) {
    const std::size_t end = fileText.find_first_of(u"\r\n");
    std::u16string_view line = TrimWhiteSpace(fileText.substr(0, end));
    fileText.remove_prefix(end == std::u16string_view::npos ? fileText.size() : end + 1);
    if (line.starts_with(u'[')) {
      const std::size_t close = line.find(u']');
      const std::u16string name = close == std::u16string_view::npos
                                      ? std::u16string()
                                      : LowerCase(TrimWhiteSpace(line.substr(1, close - 1)));
      section = name == u"internetshortcut" ? &ansi : name == u"internetshortcut.w" ? &wide : nullptr;
      continue;
    }
    const std::size_t equals = line.find(u'=');
    if (!section || *section || equals == std::u16string_view::npos) continue;
    if (LowerCase(TrimWhiteSpace(line.substr(0, equals))) != u"url") continue;
    *section = line.substr(equals + 1);
  }
  if (wide) {
    if (const auto decoded = DecodeUtf7(*wide)) {
      if (auto address = WebAddressIn(*decoded)) return address;
    }
  }
  return ansi ? WebAddressIn(*ansi) : std::nullopt;
}

std::optional<std::u16string> DecodeUtf7(std::u16string_view text) {
  std::u16string decoded;
  for (std::size_t i = 0; i < text.size();) {
    const char16_t c = text[i++];
    if (c >= 0x80) return std::nullopt;  // UTF-7 is ASCII
    if (c != u'+') {
      decoded += c;
      continue;
    }
    if (i < text.size() && text[i] == u'-') {  // "+-" is a plus sign
      decoded += u'+';
      ++i;
      continue;
    }
    // Base64 of UTF-16 units, to the first character that is none of its digits; a '-' there
    // ends it and is dropped. The bits left over from the last whole unit must be zero.
    std::uint32_t bits = 0;
    int count = 0;
    const std::size_t start = i;
    for (; i < text.size(); ++i) {
      const int value = Base64Value(text[i]);
      if (value < 0) break;
      bits = (bits << 6) | static_cast<std::uint32_t>(value);
      count += 6;
      if (count >= 16) {
        count -= 16;
        decoded += static_cast<char16_t>(bits >> count);
      }
      bits &= (1u << count) - 1;
    }
    if (i == start || count >= 6 || bits != 0) return std::nullopt;
    if (i < text.size() && text[i] == u'-') ++i;
  }
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    if (IsHighSurrogate(decoded[i]) && i + 1 < decoded.size() && IsLowSurrogate(decoded[i + 1])) {
      ++i;
    } else if (IsHighSurrogate(decoded[i]) || IsLowSurrogate(decoded[i])) {
      return std::nullopt;  // half a character
    }
  }
  return decoded;
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
