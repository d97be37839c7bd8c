#include "shortcut/naming.h"
#include "shortcut/checks.h"
#include "reserved_names.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace pellumar {
namespace {

struct Case {
  std::u16string input;
  std::u16string expected;
};

class RuleTest : public ::testing::TestWithParam<Case> {};

// ---- Remove and LowerCase --------------------------------------------------------------

struct RemoveCase {
  std::u16string text, piece, expected;
};

class RemoveTest : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveTest, RemovesEveryOccurrenceInOneLeftToRightPass) {
  EXPECT_EQ(Remove(GetParam().text, GetParam().piece), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveTest,
    ::testing::Values(RemoveCase{u"a.lnk", u".lnk", u"a"},
                      RemoveCase{u"a.lnkb.lnk.lnk", u".lnk", u"ab"},
                      RemoveCase{u"x.l.lnknk", u".lnk", u"x.lnk"},  // not scanned again
                      RemoveCase{u"aaa", u"aa", u"a"},              // no overlaps
                      RemoveCase{u"A.LNK", u".lnk", u"A.LNK"},      // exact comparison
                      RemoveCase{u"text", u"", u"text"}, RemoveCase{u"", u".lnk", u""},
                      RemoveCase{u".lnk", u".lnk", u""}, RemoveCase{u"ab", u"abc", u"ab"}));

TEST(LowerCaseTest, MapsOnlyAsciiCapitals) {
  EXPECT_EQ(LowerCase(u"AZaz09@[`{"), u"azaz09@[`{");
  // Letters outside A-Z, fullwidth forms and surrogates are left alone on every platform.
  EXPECT_EQ(LowerCase(u"ÄÉΣЖＡ\U0001F600"), u"ÄÉΣЖＡ\U0001F600");
  EXPECT_EQ(LowerCase(u""), u"");
}

// ---- NormalizeUrl ----------------------------------------------------------------------

class NormalizeUrlTest : public RuleTest {};

TEST_P(NormalizeUrlTest, KeepsSchemeLowersHostKeepsTheRest) {
  EXPECT_EQ(NormalizeUrl(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormalizeUrlTest,
    ::testing::Values(Case{u"Portal/Page", u"http://portal/Page"},
                      Case{u"HTTP://Portal", u"http://portal"},
                      Case{u"https://portal", u"https://portal"},
                      Case{u"HTTPS://Example.COM/Watch?v=AbC#T",
                           u"https://example.com/Watch?v=AbC#T"},
                      Case{u"HtTpS://A.B", u"https://a.b"},
                      // An address inside the query is data, not a scheme.
                      Case{u"site/login?next=http://a.b", u"http://site/login?next=http://a.b"},
                      Case{u"Site?Q=1", u"http://site?Q=1"}, Case{u"Site#Top", u"http://site#Top"},
                      Case{u"a http://b", u"http://a http://b"}, Case{u"http://", u"http://"},
                      Case{u"https:/x", u"http://https:/x"}, Case{u"", u"http://"},
                      Case{u"БАНК.рф/Путь", u"http://БАНК.рф/Путь"}));

// ---- NormalizeLinkName -----------------------------------------------------------------

class NormalizeLinkNameTest : public RuleTest {};

TEST_P(NormalizeLinkNameTest, LowersRemovesEveryLnkAndAppendsOne) {
  EXPECT_EQ(NormalizeLinkName(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormalizeLinkNameTest,
    ::testing::Values(Case{u"My Site", u"my site.lnk"}, Case{u"Site.LNK", u"site.lnk"},
                      Case{u"a.lnk.b", u"a.b.lnk"}, Case{u"x.l.lnknk", u"x.lnk.lnk"},
                      Case{u"", u".lnk"}, Case{u".lnk.LNK", u".lnk"}, Case{u"News ", u"news .lnk"},
                      Case{u"a<b>:\"|?*", u"a<b>:\"|?*.lnk"}, Case{u"موقع", u"موقع.lnk"},
                      Case{u"站点\U0001F310", u"站点\U0001F310.lnk"}));

// ---- NormalizeIconPath -----------------------------------------------------------------

class NormalizeIconPathTest : public RuleTest {};

TEST_P(NormalizeIconPathTest, LowersDropsTrailingIcoAndAppendsOne) {
  EXPECT_EQ(NormalizeIconPath(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, NormalizeIconPathTest,
                         ::testing::Values(Case{u"C:\\Icons\\Globe.ICO", u"c:\\icons\\globe.ico"},
                                           Case{u"c:\\my.icons\\a.ico", u"c:\\my.icons\\a.ico"},
                                           Case{u"c:\\icons\\globe", u"c:\\icons\\globe.ico"},
                                           Case{u"a.ico.ICO", u"a.ico"},
                                           Case{u"a.ico.bmp", u"a.ico.bmp.ico"}, Case{u"", u".ico"},
                                           Case{u".ico", u".ico"}, Case{u".ICO.ico", u".ico"},
                                           Case{u"C:\\Apps\\Tool.EXE", u"c:\\apps\\tool.exe"},
                                           Case{u"shell32.dll", u"shell32.dll"},
                                           Case{u"app.exe.ico", u"app.exe.ico"}));

TEST(HasIconTest, OnlyTheBareExtensionMeansNoIcon) {
  EXPECT_FALSE(HasIcon(NormalizeIconPath(u"")));
  EXPECT_FALSE(HasIcon(NormalizeIconPath(u".ico.ico")));
  EXPECT_TRUE(HasIcon(NormalizeIconPath(u"a")));
  EXPECT_TRUE(HasIcon(NormalizeIconPath(u"x.ico")));
}

// ---- ShortcutPathOnDesktop -------------------------------------------------------------

struct PathCase {
  std::u16string linkName, desktop, expected;
};

class ShortcutPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ShortcutPathTest, JoinsDesktopAndNameWithTheDesktopRemovedFromTheName) {
  EXPECT_EQ(ShortcutPathOnDesktop(GetParam().linkName, GetParam().desktop), GetParam().expected);
}

constexpr char16_t kDesk[] = u"c:\\users\\u\\desktop";

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortcutPathTest,
    ::testing::Values(
        PathCase{u"news.lnk", kDesk, u"c:\\users\\u\\desktop\\news.lnk"},
        // A full path inside the desktop keeps its own separator: two in a row.
        PathCase{u"c:\\users\\u\\desktop\\news.lnk", kDesk, u"c:\\users\\u\\desktop\\\\news.lnk"},
        PathCase{u"d:\\links\\news.lnk", kDesk, u"c:\\users\\u\\desktop\\d:\\links\\news.lnk"},
        PathCase{u"news.lnk", u"", u"\\news.lnk"},
        PathCase{u"c:\\users\\u\\desktopc:\\users\\u\\desktop.lnk", kDesk,
                 u"c:\\users\\u\\desktop\\.lnk"}));

// ---- CheckShortcutPath --------------------------------------------------------------------

// A site name as typed, and how the path made of it on the desktop is judged. Reserved names,
// characters and lengths are the program's own rule, the same on every Windows and under Wine.
struct NameCase {
  std::u16string siteName;
  std::optional<PathFault> fault;  // nothing: the shortcut may be written there
  std::u16string mentioned = {};   // a piece the reason names, when it is refused
};

class CheckShortcutPathTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(CheckShortcutPathTest, RefusesWhatWindowsCannotHoldOrWhatLeavesTheDesktop) {
  const NameCase& c = GetParam();
  const auto refusal =
      CheckShortcutPath(ShortcutPathOnDesktop(NormalizeLinkName(c.siteName), kDesk), kDesk);
  ASSERT_EQ(refusal.has_value(), c.fault.has_value());
  if (!refusal) return;
  EXPECT_EQ(refusal->fault, *c.fault);
  EXPECT_NE(refusal->reason.find(c.mentioned), std::u16string::npos);
}

// With the desktop above, 236 characters of name make a full path of 259 with ".lnk".
const std::u16string kLongestName(236, u'n');

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckShortcutPathTest,
    ::testing::Values(
        NameCase{u"con", PathFault::ReservedName, u"CON is a name Windows keeps for a device"},
        NameCase{u"NUL.txt", PathFault::ReservedName, u"NUL"},
        // Named in capitals, every letter and only the letters, as typed in small ones.
        NameCase{u"aux", PathFault::ReservedName, u"AUX is a name"},
        NameCase{u"com1", PathFault::ReservedName, u"COM1 is a name"},
        NameCase{u"lpt9.txt", PathFault::ReservedName, u"LPT9 is a name"},
        NameCase{u"conin$", PathFault::ReservedName, u"CONIN$ is a name"},
        // Characters no file name holds, a colon after the desktop, folders Windows would rename.
        NameCase{u"a<b", PathFault::ForbiddenCharacter,
                 u"A file name cannot hold the character '<'."},
        NameCase{u"a>b", PathFault::ForbiddenCharacter},
        NameCase{u"a\"b", PathFault::ForbiddenCharacter},
        NameCase{u"a|b", PathFault::ForbiddenCharacter},
        NameCase{u"a?b", PathFault::ForbiddenCharacter},
        NameCase{u"a*b", PathFault::ForbiddenCharacter, u"'*'"},
        NameCase{u"a\tb", PathFault::ForbiddenCharacter, u"U+0009"},
        NameCase{std::u16string(u"a\u0001b"), PathFault::ForbiddenCharacter},
        NameCase{u"a\u001Fb", PathFault::ForbiddenCharacter},
        NameCase{u"a:b", PathFault::Colon, u"the character ':' (Windows"},
        NameCase{u"news.\\x", PathFault::EndsWithDotOrSpace, u"\"news.\""},
        NameCase{u"news \\x", PathFault::EndsWithDotOrSpace},
        // Out of the desktop, or a shortcut picked elsewhere.
        NameCase{u"..\\x", PathFault::LeavesDesktop, u"desktop folder"},
        NameCase{u"a\\..\\..\\x", PathFault::LeavesDesktop},
        NameCase{u"../x", PathFault::LeavesDesktop},
        NameCase{u"D:\\Links\\News.lnk", PathFault::NotOnDesktop, u"not on the desktop"},
        NameCase{u"\\\\server\\links\\news", PathFault::NotOnDesktop},
        NameCase{u"a:\\news", PathFault::NotOnDesktop},
        NameCase{u"Z:/news", PathFault::NotOnDesktop}, NameCase{u"A:\\news", PathFault::NotOnDesktop},
        NameCase{u"z:\\news", PathFault::NotOnDesktop}, NameCase{u"@:\\news", PathFault::Colon},
        NameCase{u"[:\\news", PathFault::Colon}, NameCase{u"`:\\news", PathFault::Colon},
        NameCase{u"{:\\news", PathFault::Colon},
        // Longer than the shell's save and the deletion take.
        NameCase{kLongestName + u"n", PathFault::TooLong, u"260"},
        // Counted on the path the shell is given: doubled separators and "." folders go first.
        NameCase{u"n//.//" + kLongestName.substr(2), std::nullopt},
        // Names that stay allowed, folders of the desktop and near misses included.
        NameCase{kLongestName, std::nullopt}, NameCase{u"News", std::nullopt},
        NameCase{u"News ", std::nullopt}, NameCase{u"hostile dots...", std::nullopt},
        NameCase{u"console", std::nullopt}, NameCase{u"com10", std::nullopt},
        NameCase{u"com1x", std::nullopt}, NameCase{u"lpt", std::nullopt},
        NameCase{u"nul_", std::nullopt}, NameCase{u"my con", std::nullopt},
        NameCase{u"conin", std::nullopt}, NameCase{u"com-1", std::nullopt},
        NameCase{u"lpt\u2074", std::nullopt},
        NameCase{u" con", std::nullopt}, NameCase{u"news\\today", std::nullopt},
        NameCase{u"news/today", std::nullopt}, NameCase{u".\\news", std::nullopt},
        NameCase{u"c:\\users\\u\\desktop\\News.lnk", std::nullopt},
        NameCase{u"موقع إخباري", std::nullopt}, NameCase{u"e\u0301cole", std::nullopt},
        NameCase{u"", std::nullopt}));

TEST(CheckShortcutPathTest, EveryDeviceNameIsRefusedWithOrWithoutAnExtension) {
  for (const std::u16string& site : testing::kReservedSiteNames) {
    const auto refusal =
        CheckShortcutPath(ShortcutPathOnDesktop(NormalizeLinkName(site), kDesk), kDesk);
    ASSERT_TRUE(refusal) << testing::ToUtf8(site);
    EXPECT_EQ(refusal->fault, PathFault::ReservedName) << testing::ToUtf8(site);
  }
}

TEST(CheckShortcutPathTest, APathThatIsNotUnderTheDesktopIsRefused) {
  const auto fault = [](std::u16string_view path, std::u16string_view desktop) {
    const auto refusal = CheckShortcutPath(path, desktop);
    return refusal ? std::optional(refusal->fault) : std::nullopt;
  };
  // The desktop itself, with or without "." folders, and a drive's root of its own after it, in
  // either case of letter (a path as the program makes it is lower-cased; the rule is not).
  for (const std::u16string path :
       {u"d:\\news.lnk", u"c:\\users\\u\\desktopx\\news.lnk", u"c:\\users\\u\\desktop",
        u"c:\\users\\u\\desktop\\.", u"c:\\users\\u\\desktop\\d:\\",
        u"c:\\users\\u\\desktop\\A:\\x", u"c:\\users\\u\\desktop\\Z:\\x"}) {
    EXPECT_EQ(fault(path, kDesk), PathFault::NotOnDesktop) << testing::ToUtf8(path);
  }
  EXPECT_EQ(fault(u"\\news.lnk", u""), PathFault::NotOnDesktop);
  EXPECT_EQ(fault(u"c:\\users\\u\\desktop\\x", kDesk), std::nullopt);  // one character past it
  // A desktop at a drive's root: its own separator ends it, so one character is a name.
  EXPECT_EQ(fault(u"d:\\\\news.lnk", u"d:\\"), std::nullopt);
  EXPECT_EQ(fault(u"d:\\\\x", u"d:\\"), std::nullopt);
  EXPECT_EQ(fault(u"d:\\\\.", u"d:\\"), PathFault::NotOnDesktop);
}

// ---- TrimWhiteSpace ------------------------------------------------------------------------

TEST(TrimWhiteSpaceTest, DropsEveryKindOfWhiteSpaceAroundAndNothingElse) {
  const std::u16string spaces[] = {u" ",      u"\t",     u"\n",     u"\v",     u"\f",
                                   u"\r",     u"\u00A0", u"\u2000", u"\u2005", u"\u200A",
                                   u"\u200B", u"\u202F", u"\u205F", u"\u3000", u"\uFEFF"};
  for (const std::u16string& space : spaces) {
    const std::u16string padded = space + space + u"p o" + space + space;
    EXPECT_EQ(TrimWhiteSpace(padded), u"p o") << testing::ToUtf8(space);
  }
  // Near misses stay: printable characters, and spaces of no kind listed.
  for (const std::u16string kept : {u"portal", u"\u200Cp\u200C", u"\u2010p", u"\u1FFFp", u"_p_"}) {
    EXPECT_EQ(TrimWhiteSpace(kept), kept) << testing::ToUtf8(kept);
  }
}

// ---- CanonicalShortcutPath ------------------------------------------------------------------

TEST(CanonicalShortcutPathTest, OneBackslashBetweenFoldersAndTheDesktopAsItIs) {
  const std::u16string_view cases[][3] = {
      {u"c:\\users\\u\\desktop\\news.lnk", kDesk, u"c:\\users\\u\\desktop\\news.lnk"},
      {u"c:\\users\\u\\desktop\\\\news.lnk", kDesk, u"c:\\users\\u\\desktop\\news.lnk"},
      {u"c:\\users\\u\\desktop\\a/./b//c.lnk", kDesk, u"c:\\users\\u\\desktop\\a\\b\\c.lnk"},
      {u"d:\\\\news.lnk", u"d:\\", u"d:\\news.lnk"},
      {u"\\\\server\\share\\desktop\\\\news.lnk", u"\\\\server\\share\\desktop",
       u"\\\\server\\share\\desktop\\news.lnk"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CanonicalShortcutPath(c[0], c[1]), c[2]) << testing::ToUtf8(c[0]);
  }
}

// ---- Growth ----------------------------------------------------------------------------

TEST(RulesTest, NeverGrowMoreThanTheAppendedPiece) {
  const std::u16string text = u"HTTP://A.lnk.ico/B?C#D.ICO.LNK";
  EXPECT_LE(NormalizeUrl(text).size(), text.size() + 8);
  EXPECT_LE(NormalizeLinkName(text).size(), text.size() + 4);
  EXPECT_LE(NormalizeIconPath(text).size(), text.size() + 4);
}

}  // namespace
}  // namespace pellumar
