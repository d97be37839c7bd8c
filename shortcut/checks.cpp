#include "shortcut/checks.h"

#include <array>
#include <utility>

#include "shortcut/naming.h"

namespace pellumar {
namespace {

constexpr std::u16string_view kOnlyOnDesktop =
    u"Shortcuts are only written and deleted in the desktop folder.";

// Device names: a file or folder of one of these names, whatever follows after a dot, is the
// device on Windows 10, and cannot be opened, copied or deleted by most programs elsewhere.
constexpr std::array<std::u16string_view, 32> kReservedNames = {
    u"con",       u"prn",       u"aux",       u"nul",       u"conin$", u"conout$",   u"com0",
    u"com1",      u"com2",      u"com3",      u"com4",      u"com5",   u"com6",      u"com7",
    u"com8",      u"com9",      u"lpt0",      u"lpt1",      u"lpt2",   u"lpt3",      u"lpt4",
    u"lpt5",      u"lpt6",      u"lpt7",      u"lpt8",      u"lpt9",   u"com\u00B9", u"com\u00B2",
    u"com\u00B3", u"lpt\u00B9", u"lpt\u00B2", u"lpt\u00B3",
};

// The device a file or folder name stands for, when it stands for one: its part before the
// first dot, without the spaces Windows ignores there, is a reserved name.
std::optional<std::u16string_view> DeviceName(std::u16string_view segment) {
  std::u16string_view base = segment.substr(0, segment.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  const std::u16string lower = LowerCase(base);
  for (std::u16string_view name : kReservedNames) {
    if (lower == name) return base;
  }
  return std::nullopt;
}

std::u16string Quoted(std::u16string_view text) {
  std::u16string quoted(1, u'"');
  quoted += text;
  quoted += u'"';
  return quoted;
}

PathRefusal Refuse(PathFault fault, std::u16string reason) { return {fault, std::move(reason)}; }

std::optional<PathRefusal> CheckCharacters(std::u16string_view name) {
  for (char16_t c : name) {
    if (c < 0x20) {
      return Refuse(
          PathFault::ForbiddenCharacter,
          u"A file name cannot hold control characters such as tabs or line breaks (here U+" +
              Hexadecimal(c, 4) + u").");
    }
    if (std::u16string_view(u"<>\"|?*").find(c) != std::u16string_view::npos) {
      return Refuse(PathFault::ForbiddenCharacter,
                    u"A file name cannot hold the character '" + std::u16string(1, c) + u"'.");
    }
    if (c == u':') {
      return Refuse(
          PathFault::Colon,
          u"A file name cannot hold the character ':' (Windows keeps it for drive letters).");
    }
  }
  return std::nullopt;
}

std::optional<PathRefusal> CheckSegments(std::u16string_view name) {
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = start;
    while (end < name.size() && !IsPathSeparator(name[end])) ++end;
    const std::u16string_view segment = name.substr(start, end - start);
    start = end + 1;
    if (segment.empty() || segment == u".") continue;
    if (segment == u"..") {
      return Refuse(
          PathFault::LeavesDesktop,
          u"The name leads out of the desktop folder (\"..\"). " + std::u16string(kOnlyOnDesktop));
    }
    if (const auto device = DeviceName(segment)) {
      std::u16string name(*device);
      for (char16_t& c : name) c = UpperCaseUnit(c);
      return Refuse(PathFault::ReservedName,
                    name +
                        u" is a name Windows keeps for a device: no file or folder may be called "
                        u"that, whatever follows it after a dot.");
    }
    if (segment.back() == u'.' || segment.back() == u' ') {
      return Refuse(PathFault::EndsWithDotOrSpace,
                    u"The folder name " + Quoted(segment) +
                        u" ends with a dot or a space, which Windows drops: the shortcut would go "
                        u"to another folder.");
    }
  }
  return std::nullopt;
}

std::u16string TooLongForAShortcut(std::u16string_view what, std::size_t length) {
  std::u16string reason(what);
  reason += u" is too long: it has ";
  reason += Decimal(length);
  reason += u" characters, and a shortcut holds at most ";
  reason += Decimal(kMaxPathLength);
  reason += u".";
  return reason;
}

}  // namespace

std::optional<PathRefusal> CheckShortcutPath(std::u16string_view path,
                                             std::u16string_view desktop) {
  const bool underDesktop = IsInFolder(path, desktop);
  const std::u16string_view name = underDesktop ? path.substr(desktop.size() + 1) : path;
  // A full path of its own after the desktop's is a shortcut elsewhere, as the site-name Browse
  // gives one: on a drive ("d:\links\news.lnk") or a share ("\\server\links\news.lnk"). One
  // separator is a picked path inside the desktop, whose folder was removed from it.
  const bool elsewhere =
      (name.size() >= 3 && IsAsciiLetter(name[0]) && name[1] == u':' &&
       IsPathSeparator(name[2])) ||
      (name.size() >= 2 && IsPathSeparator(name[0]) && IsPathSeparator(name[1]));
  if (!underDesktop || elsewhere) {
    return Refuse(PathFault::NotOnDesktop,
                  u"The shortcut is not on the desktop. " + std::u16string(kOnlyOnDesktop));
  }
  if (auto refusal = CheckCharacters(name)) return refusal;
  if (auto refusal = CheckSegments(name)) return refusal;
  const std::size_t length = CanonicalShortcutPath(path, desktop).size();
  // Only "." folders and separators: that is the desktop itself, not a shortcut on it.
  if (length <= desktop.size() + (IsPathSeparator(desktop.back()) ? 0 : 1)) {
    return Refuse(PathFault::NotOnDesktop,
                  u"The shortcut is not on the desktop. " + std::u16string(kOnlyOnDesktop));
  }
  if (length > kMaxPathLength) {
    return Refuse(PathFault::TooLong,
                  u"The name is too long: the shortcut's full path would have " + Decimal(length) +
                      u" characters, and Windows takes at most " + Decimal(kMaxPathLength) + u".");
  }
  return std::nullopt;
}

std::u16string CanonicalShortcutPath(std::u16string_view path, std::u16string_view desktop) {
  if (path.substr(0, desktop.size()) != desktop) return std::u16string(path);
  std::u16string canonical(desktop);
  std::u16string_view rest = path.substr(desktop.size());
  while (!rest.empty()) {
    std::size_t end = 0;
    while (end < rest.size() && !IsPathSeparator(rest[end])) ++end;
    const std::u16string_view segment = rest.substr(0, end);
    rest.remove_prefix(end < rest.size() ? end + 1 : end);
    if (segment.empty() || segment == u".") continue;
    if (canonical.empty() || !IsPathSeparator(canonical.back())) canonical += u'\\';
    canonical += segment;
  }
  return canonical;
}

std::optional<std::u16string> CheckTarget(std::u16string_view target) {
  if (target.size() <= kMaxPathLength) return std::nullopt;
  return TooLongForAShortcut(u"The web address", target.size());
}

std::optional<std::u16string> CheckIconLocation(std::u16string_view icon) {
  if (icon.size() <= kMaxPathLength) return std::nullopt;
  return TooLongForAShortcut(u"The icon's path", icon.size());
}

std::u16string_view TrimWhiteSpace(std::u16string_view text) {
  const auto isSpace = [](char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r') || c == u'\u00A0' || c == u'\u3000' ||
           c == u'\uFEFF' || (c >= u'\u2000' && c <= u'\u200B') || c == u'\u202F' || c == u'\u205F';
  };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace pellumar
