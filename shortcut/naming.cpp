#include "shortcut/naming.h"

#include <algorithm>

namespace pellumar {
namespace {

constexpr std::u16string_view kHttp = u"http://";
constexpr std::u16string_view kHttps = u"https://";
constexpr std::u16string_view kLnk = u".lnk";
constexpr std::u16string_view kIco = u".ico";
constexpr std::u16string_view kSeparator = u"\\";

}  // namespace

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
    if (LowerCaseUnit(text[i]) != lowerPrefix[i]) return false;
  }
  return true;
}

std::u16string Remove(std::u16string_view text, std::u16string_view piece) {
  if (piece.empty()) return std::u16string(text);
  std::u16string result;
  result.reserve(text.size());
  std::size_t start = 0;
  for (std::size_t found = text.find(piece); found != std::u16string_view::npos;
       found = text.find(piece, start)) {
    result.append(text.substr(start, found - start));
    start = found + piece.size();
  }
  result.append(text.substr(start));
  return result;
}

std::u16string NormalizeUrl(std::u16string_view text) {
  std::u16string_view scheme = kHttp;
  std::u16string_view rest = text;
  if (StartsWithIgnoringCase(text, kHttps)) {
    scheme = kHttps;
    rest.remove_prefix(kHttps.size());
  } else if (StartsWithIgnoringCase(text, kHttp)) {
    rest.remove_prefix(kHttp.size());
  }
  // Servers treat the path, query and fragment as case-sensitive; only the host is not.
  const std::size_t hostEnd = std::min(rest.find_first_of(u"/?#"), rest.size());
  std::u16string result(scheme);
  result += LowerCase(rest.substr(0, hostEnd));
  result += rest.substr(hostEnd);
  return result;
}

std::u16string NormalizeLinkName(std::u16string_view text) {
  std::u16string name = Remove(LowerCase(text), kLnk);
  name += kLnk;
  return name;
}

std::u16string NormalizeIconPath(std::u16string_view text) {
  std::u16string icon = LowerCase(text);
  // A program or a library holds its icons itself, and its path is their location as it is: a
  // ".ico" after it would name a file that is not there.
  if (std::u16string_view(icon).ends_with(u".exe") || std::u16string_view(icon).ends_with(u".dll"))
    return icon;
  // Only a trailing ".ico" goes: folders such as "my.icons" keep their names.
  while (std::u16string_view(icon).ends_with(kIco)) icon.resize(icon.size() - kIco.size());
  icon += kIco;
  return icon;
}

bool HasIcon(std::u16string_view normalizedIcon) { return normalizedIcon.size() > kIco.size(); }

std::u16string ShortcutPathOnDesktop(std::u16string_view linkName, std::u16string_view desktop) {
  std::u16string path(desktop);
  path += kSeparator;
  path += Remove(linkName, desktop);
  return path;
}

}  // namespace pellumar
