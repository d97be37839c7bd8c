#include "shortcut/drop.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "shortcut/checks.h"
#include "utf8.h"

namespace pellumar {
namespace {

using testing::ToUtf8;

struct PlanCase {
  const char* what;
  DropOffer offer;
  DropStep step;
  DropFill fill;
  std::u16string file = {};
};

class PlanDropTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanDropTest, FillsOnlyTheBoxesTheOfferNames) {
  const DropPlan plan = PlanDrop(GetParam().offer);
  EXPECT_EQ(plan.step, GetParam().step);
  const DropFill& want = GetParam().fill;
  EXPECT_EQ(ToUtf8(plan.fill.address), ToUtf8(want.address));
  EXPECT_EQ(ToUtf8(plan.fill.siteName), ToUtf8(want.siteName));
  EXPECT_EQ(ToUtf8(plan.fill.icon), ToUtf8(want.icon));
  EXPECT_EQ(ToUtf8(plan.fill.title), ToUtf8(want.title));
  EXPECT_EQ(ToUtf8(plan.file), ToUtf8(GetParam().file));
}

const DropOffer kBrowserLink{{}, u"https://example.org/a?b=C", {u"Example Page.url"}, u"x"};

INSTANTIATE_TEST_SUITE_P(
    Offers, PlanDropTest,
    ::testing::Values(
        PlanCase{"browser link with title", kBrowserLink, DropStep::Fill,
                 {.address = u"https://example.org/a?b=C", .title = u"Example Page"}},
        PlanCase{"link, no described file", {{}, u" http://portal\r\n", {}, {}}, DropStep::Fill,
                 {.address = u"http://portal"}},
        PlanCase{"link that is no web address", {{}, u"file:///c:/a.htm", {u"a.url"}, u"http://x"},
                 DropStep::Refuse, {}},
        PlanCase{"described shortcut only", {{}, {}, {u"News.URL"}, {}},
                 DropStep::ReadDescribedFileContents, {.title = u"News"}},
        PlanCase{"two described files", {{}, {}, {u"a.url", u"b.url"}, {}}, DropStep::Refuse, {}},
        PlanCase{"text address", {{}, {}, {}, u"HTTPS://Example.org"}, DropStep::Fill,
                 {.address = u"HTTPS://Example.org"}},
        PlanCase{"text of two addresses", {{}, {}, {}, u"http://a http://b"}, DropStep::Refuse, {}},
        PlanCase{"text without scheme", {{}, {}, {}, u"example.org"}, DropStep::Refuse, {}},
        PlanCase{"bare scheme", {{}, {}, {}, u"http://"}, DropStep::Refuse, {}},
        PlanCase{"icon", {{{u"C:\\Art\\GLOBE.ICO"}}, {}, {}, {}}, DropStep::Fill,
                 {.icon = u"C:\\Art\\GLOBE.ICO"}},
        PlanCase{"program", {{{u"c:\\apps\\tool.Exe"}}, {}, {}, {}}, DropStep::Fill,
                 {.icon = u"c:\\apps\\tool.Exe"}},
        PlanCase{"shortcut", {{{u"c:\\links\\news.lnk"}}, {}, {}, {}}, DropStep::Fill,
                 {.siteName = u"c:\\links\\news.lnk"}},
        // The site-name Browse's test is on the name as given.
        PlanCase{"upper-case shortcut", {{{u"c:\\links\\NEWS.LNK"}}, {}, {}, {}}, DropStep::Refuse,
                 {}},
        PlanCase{"internet shortcut", {{{u"d:\\My Sites\\Portal.url"}}, u"http://x", {}, {}},
                 DropStep::ReadInternetShortcut, {.title = u"Portal"}, u"d:\\My Sites\\Portal.url"},
        PlanCase{"folder", {{{u"c:\\icons.ico", true}}, {}, {}, {}}, DropStep::Refuse, {}},
        PlanCase{"two files", {{{u"a.ico"}, {u"b.ico"}}, {}, {}, {}}, DropStep::Refuse, {}},
        PlanCase{"other file", {{{u"c:\\notes.txt"}}, {}, {}, u"http://x"}, DropStep::Refuse, {}},
        PlanCase{"nothing", {}, DropStep::Refuse, {}}),
    [](const auto& info) {
      std::string name;
      for (const char* c = info.param.what; *c; ++c) name += std::isalnum(*c) ? *c : '_';
      return name;
    });

TEST(InternetShortcutAddressTest, ReadsTheFirstUrlLineOfItsSection) {
  EXPECT_EQ(InternetShortcutAddress(u"[InternetShortcut]\r\nURL=https://a.example/\r\n"),
            u"https://a.example/");
  EXPECT_EQ(InternetShortcutAddress(u"[Other]\nURL=http://no\n[ internetshortcut ]\n"
                                    u"IconIndex=0\n url = http://yes \nURL=http://later\n"),
            u"http://yes");
  EXPECT_EQ(InternetShortcutAddress(u"URL=http://outside\n[InternetShortcut]\n"), std::nullopt);
  EXPECT_EQ(InternetShortcutAddress(u"[InternetShortcut]\nURL=file:///c:/x\n"), std::nullopt);
  EXPECT_EQ(InternetShortcutAddress(u""), std::nullopt);
}

TEST(SiteNameFromTitleTest, ReplacesWhatNoFileNameHoldsAndCutsToTheRoomLeft) {
  EXPECT_EQ(SiteNameFromTitle(u" News: Today | A/B \t\"1\" ", 20), u"News- Today - A-B  -1-");
  EXPECT_EQ(SiteNameFromTitle(u"a\tb\nc", 20), u"a b c");
  EXPECT_EQ(SiteNameFromTitle(u"<>", 20), u"--");
  EXPECT_EQ(SiteNameFromTitle(u"   ", 20), u"");
  // Room for the name: 259 less the desktop, a separator and ".lnk".
  const std::size_t desktop = 200;
  const std::size_t room = kMaxPathLength - desktop - 5;
  EXPECT_EQ(SiteNameFromTitle(std::u16string(300, u'x'), desktop), std::u16string(room, u'x'));
  EXPECT_EQ(SiteNameFromTitle(std::u16string(room - 1, u'x') + u"\U0001F600", desktop),
            std::u16string(room - 1, u'x'));  // no half of a pair
  EXPECT_EQ(SiteNameFromTitle(std::u16string(room - 1, u'x') + u" yy", desktop),
            std::u16string(room - 1, u'x'));
  EXPECT_EQ(SiteNameFromTitle(u"abc", 400), u"");
}

}  // namespace
}  // namespace pellumar
