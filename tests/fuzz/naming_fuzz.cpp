// Properties of the naming rules that hold for every text.
#include "fuzz_input.h"
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
  PELLUMAR_CHECK(std::u16string_view(icon).ends_with(u".ico"));
  PELLUMAR_CHECK(icon.size() <= text.size() + 4);
  PELLUMAR_CHECK(HasIcon(icon) == (icon.size() != 4));
  PELLUMAR_CHECK(!std::u16string_view(icon).ends_with(u".ico.ico"));

  const std::u16string desktop = LowerCase(other);
  const std::u16string path = ShortcutPathOnDesktop(link, desktop);
  PELLUMAR_CHECK(path.starts_with(desktop + u"\\"));
  PELLUMAR_CHECK(path.size() <= desktop.size() + 1 + link.size());

  const std::u16string removed = Remove(text, other);
  PELLUMAR_CHECK(removed.size() <= text.size());
  PELLUMAR_CHECK(other.empty() || (text.size() - removed.size()) % other.size() == 0);
  return 0;
}
