// Properties of the naming rules that hold for every text.
#include "fuzz_input.h"
#include "shortcut/checks.h"
#include "shortcut/drop.h"
#include "shortcut/naming.h"

using namespace pellumar;

namespace {

bool HasCapital(std::u16string_view text) {
  for (char16_t c : text) {
    if (c >= u'A' && c <= u'Z') return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const std::u16string text = input.Next();
  const std::u16string other = input.Next();

  const std::u16string link = NormalizeLinkName(text);
  PELLUMAR_CHECK(std::u16string_view(link).ends_with(u".lnk"));
  PELLUMAR_CHECK(link.size() <= text.size() + 4);
  PELLUMAR_CHECK(!HasCapital(link));

  const std::u16string url = NormalizeUrl(text);
  PELLUMAR_CHECK(url.starts_with(u"http://") || url.starts_with(u"https://"));
  PELLUMAR_CHECK(url.size() <= text.size() + 7);

  const std::u16string icon = NormalizeIconPath(text);
  const std::u16string lower = LowerCase(text);
  const bool program = lower.ends_with(u".exe") || lower.ends_with(u".dll");
  PELLUMAR_CHECK(program ? icon == lower : std::u16string_view(icon).ends_with(u".ico"));
  PELLUMAR_CHECK(icon.size() <= text.size() + 4);
  PELLUMAR_CHECK(HasIcon(icon) == (icon.size() != 4));
  PELLUMAR_CHECK(!std::u16string_view(icon).ends_with(u".ico.ico"));

  const std::u16string desktop = LowerCase(other);
  const std::u16string path = ShortcutPathOnDesktop(link, desktop);
  PELLUMAR_CHECK(path.starts_with(desktop + u"\\"));
  PELLUMAR_CHECK(path.size() <= desktop.size() + 1 + link.size());

  // A path the rule accepts fits the shell, holds no character a file name cannot, and never
  // climbs out of the desktop.
  if (const auto refusal = CheckShortcutPath(path, desktop); !refusal) {
    // Judged, and handed to the shell, as its canonical form: one backslash between folders.
    const std::u16string canonical = CanonicalShortcutPath(path, desktop);
    const std::size_t start =
        desktop.size() + (desktop.ends_with(u'\\') || desktop.ends_with(u'/') ? 0 : 1);
    PELLUMAR_CHECK(canonical.starts_with(desktop) && canonical.size() > start);
    const std::u16string_view name = std::u16string_view(canonical).substr(start);
    PELLUMAR_CHECK(canonical.size() <= kMaxPathLength);
    PELLUMAR_CHECK(name.find(u"\\\\") == std::u16string_view::npos &&
                   name.find(u'/') == std::u16string_view::npos);
    PELLUMAR_CHECK(name.find_first_of(u"<>:\"|?*") == std::u16string_view::npos);
    for (char16_t c : name) PELLUMAR_CHECK(c >= 0x20);
    PELLUMAR_CHECK(name.find(u"..\\") != 0 && name.find(u"\\..\\") == std::u16string_view::npos);
  } else {
    PELLUMAR_CHECK(!refusal->reason.empty());
  }
  // Trimming takes white space from the two ends and nothing else: what it leaves is the text
  // between, with no white space at either end.
  const std::u16string_view trimmed = TrimWhiteSpace(text);
  const auto white = [](char16_t c) { return TrimWhiteSpace(std::u16string_view(&c, 1)).empty(); };
  const std::size_t before = static_cast<std::size_t>(trimmed.data() - std::u16string_view(text).data());
  PELLUMAR_CHECK(before + trimmed.size() <= text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i < before || i >= before + trimmed.size()) PELLUMAR_CHECK(white(text[i]));
  }
  PELLUMAR_CHECK(trimmed.empty() || (!white(trimmed.front()) && !white(trimmed.back())));

  // A dragged page's title made a site name is never refused for its characters or its length,
  // and never ends in half a character.
  const std::u16string title = SiteNameFromTitle(text, desktop.size());  // empty: none fits
  const auto titled = CheckShortcutPath(ShortcutPathOnDesktop(NormalizeLinkName(title), desktop), desktop);
  PELLUMAR_CHECK(title.empty() || !titled || (titled->fault != PathFault::TooLong &&
                                              titled->fault != PathFault::ForbiddenCharacter &&
                                              titled->fault != PathFault::Colon));
  const auto high = [](char16_t c) { return c >= 0xD800 && c <= 0xDBFF; };
  bool pairsWhole = true;  // in the text: every high surrogate followed by a low one
  for (std::size_t i = 0; i < text.size(); ++i)
    pairsWhole = pairsWhole && (!high(text[i]) || (i + 1 < text.size() && (text[i + 1] & 0xFC00) == 0xDC00));
  PELLUMAR_CHECK(!pairsWhole || title.empty() || !high(title.back()));
  if (const auto address = InternetShortcutAddress(text)) PELLUMAR_CHECK(WebAddressIn(*address) == address);

  const std::u16string removed = Remove(text, other);
  PELLUMAR_CHECK(removed.size() <= text.size());
  PELLUMAR_CHECK(other.empty() || (text.size() - removed.size()) % other.size() == 0);
  return 0;
}
