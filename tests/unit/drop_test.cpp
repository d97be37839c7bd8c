#include "shortcut/drop.h"

#include <gtest/gtest.h>

#include <string>

#include "shortcut/checks.h"

// Which forms a drop takes, and which boxes each fills, is shown on the window itself.
namespace pellumar {
namespace {

TEST(InternetShortcutAddressTest, ReadsTheFirstUrlLineOfItsSection) {
  EXPECT_EQ(InternetShortcutAddress(u"[Other]\nURL=http://no\n[ internetshortcut ]\n"
                                    u"IconIndex=0\r\n url = http://yes \nURL=http://later\n"),
            u"http://yes");
  EXPECT_EQ(InternetShortcutAddress(u"URL=http://outside\n[InternetShortcut]\n"), std::nullopt);
  EXPECT_EQ(InternetShortcutAddress(u"[InternetShortcut]\nURL=file:///c:/x\n"), std::nullopt);
}

TEST(SiteNameFromTitleTest, ReplacesWhatNoFileNameHoldsAndCutsToTheRoomLeft) {
  EXPECT_EQ(SiteNameFromTitle(u" News: Today | A/B\t\"1\" ", 20), u"News- Today - A-B -1-");
  // Room for the name: 259 less the desktop, a separator and ".lnk"; never half a pair.
  const std::size_t room = kMaxPathLength - 200 - 5;
  EXPECT_EQ(SiteNameFromTitle(std::u16string(300, u'x'), 200), std::u16string(room, u'x'));
  EXPECT_EQ(SiteNameFromTitle(std::u16string(room - 1, u'x') + u"\U0001F600", 200),
            std::u16string(room - 1, u'x'));
  EXPECT_EQ(SiteNameFromTitle(std::u16string(room - 1, u'x') + u" y", 200),
            std::u16string(room - 1, u'x'));
  EXPECT_EQ(SiteNameFromTitle(u"abc", 400), u"");
}

}  // namespace
}  // namespace pellumar
