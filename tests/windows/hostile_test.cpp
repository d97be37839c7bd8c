// Hostile texts typed into the real window: the program stays up, says what failed and why,
// keeps the boxes as typed, and changes no file but the one shortcut the texts name.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "driver.h"
#include "machine.h"
#include "reserved_names.h"
#include "shell/wide.h"
#include "shell/windows_services.h"
#include "shortcut/checks.h"
#include "shortcut/naming.h"
#include "shortcut_file.h"
#include "utf8.h"

namespace pellumar {
namespace {

using app::ControlId;
using shell::Wide;
using testing::Program;
using testing::WaitFor;

enum class Outcome { Written, Refused, Either };

struct Hostile {
  std::string label;
  std::u16string site, address, icon;
  Outcome outcome;
};

std::u16string Repeat(char16_t c, std::size_t n) { return std::u16string(n, c); }

std::vector<Hostile> Cases() {
  const std::u16string desktop = shell::WindowsServices().CreateShellObject()->SpecialFolders(u"Desktop");
  std::vector<Hostile> cases = {
      {"blank site name", u" ", u"a", u"", Outcome::Written},
      {"blank address", u"hostile blank address", u"   ", u"", Outcome::Refused},
      {"padded address", u"hostile padded address", u" \t portal/a \r\n", u"", Outcome::Written},
      {"blank icon", u"hostile blank icon", u"a", u"   ", Outcome::Written},
      {"site name of 300", Repeat(u'a', 300), u"a", u"", Outcome::Refused},
      {"site name of 5,000", Repeat(u'b', 5000), u"a", u"", Outcome::Refused},
      {"site name of 32,000", Repeat(u'c', 32000), u"a", u"", Outcome::Refused},
      {"address of 5,000", u"hostile long address", u"a/" + Repeat(u'x', 5000), u"", Outcome::Refused},
      {"icon of 5,000", u"hostile long icon", u"a", Repeat(u'i', 5000), Outcome::Refused},
      {"CON", u"CON", u"a", u"", Outcome::Refused},
      {"NUL", u"nul", u"a", u"", Outcome::Refused},
      {"COM1", u"COM1", u"a", u"", Outcome::Refused},
      {"CON with extension", u"con.txt", u"a", u"", Outcome::Refused},
      {"less than", u"a<b", u"a", u"", Outcome::Refused},
      {"greater than", u"a>b", u"a", u"", Outcome::Refused},
      {"colon", u"a:b", u"a", u"", Outcome::Refused},
      {"quote", u"a\"b", u"a", u"", Outcome::Refused},
      {"slash", u"a/b", u"a", u"", Outcome::Refused},
      {"bar", u"a|b", u"a", u"", Outcome::Refused},
      {"question mark", u"a?b", u"a", u"", Outcome::Refused},
      {"star", u"a*b", u"a", u"", Outcome::Refused},
      {"control character", u"a\u0001b", u"a", u"", Outcome::Refused},
      {"tab", u"a\tb", u"a", u"", Outcome::Refused},
      {"trailing dots", u"hostile dots...", u"a", u"", Outcome::Written},
      {"trailing spaces", u"hostile spaces   ", u"a", u"", Outcome::Written},
      {"parent folder", u"..\\hostile escape", u"a", u"", Outcome::Refused},
      {"parent of parent", u"..\\..\\..\\hostile escape", u"a", u"", Outcome::Refused},
      {"folder that is not there", u"no such folder\\site", u"a", u"", Outcome::Refused},
      {"full path inside the desktop", desktop + u"\\Hostile Inside", u"a", u"", Outcome::Written},
      {"full path outside the desktop", u"d:\\links\\news", u"a", u"", Outcome::Refused},
      {"Arabic", u"موقع إخباري", u"a", u"", Outcome::Written},
      {"Chinese", u"新闻网站", u"a", u"", Outcome::Written},
      {"combining marks", u"e\u0301cole\u0308", u"a", u"", Outcome::Written},
      {"emoji", u"globe \U0001F310\U0001F468\u200D\U0001F469", u"a", u"", Outcome::Written},
      {"lone surrogate", std::u16string(u"lone ") + char16_t(0xD800), u"a", u"", Outcome::Either},
      {"https address", u"hostile https", u"HTTPS://Example.COM/A", u"", Outcome::Written},
      {"mixed case address", u"hostile mixed", u"hTtP://ExAmPlE.CoM/PaTh", u"", Outcome::Written},
      {"query and fragment", u"hostile query", u"a.b/p?q=1&r=http://c#Frag", u"", Outcome::Written},
      {"spaces in the address", u"hostile spaced", u"my site/a b c", u"", Outcome::Written},
      {"non-ASCII host", u"hostile idn", u"bücher.example/straße", u"", Outcome::Written},
      {"icon that does not exist", u"hostile icon", u"a", u"c:\\no such folder\\none", Outcome::Written},
      {"empty site name", u"", u"a", u"a", Outcome::Refused},
      {"empty address", u"hostile empty address", u"", u"", Outcome::Refused},
      {"line break", u"a\r\nb", u"a", u"", Outcome::Refused},
      {"folder ending in a dot", u"hostile.\\x", u"a", u"", Outcome::Refused},
  };
  for (const std::u16string& site : testing::kReservedSiteNames) {
    cases.push_back({"device name " + testing::ToUtf8(site), site, u"a", u"", Outcome::Refused});
  }
  return cases;
}

// Every name in the folders a site name could reach: the desktop, the folders above it, C:\.
std::set<std::u16string> Snapshot() {
  std::set<std::u16string> names;
  std::u16string folder = shell::WindowsServices().CreateShellObject()->SpecialFolders(u"Desktop");
  for (int level = 0; level < 4 && !folder.empty(); ++level) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(Wide(folder + u"\\*"), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        names.insert(folder + u"\\" + shell::FromWide(found.cFileName));
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    folder = folder.substr(0, folder.find_last_of(u'\\'));
  }
  return names;
}

class HostileTest : public ::testing::Test {
 protected:
  void SetUp() override { PELLUMAR_ONLY_ON_A_THROWAWAY_MACHINE(); }
  static void SetUpTestSuite() { program_ = new Program; }
  static void TearDownTestSuite() {
    delete program_;
    program_ = nullptr;
  }
  static Program* program_;
};

Program* HostileTest::program_ = nullptr;

TEST_F(HostileTest, NothingCrashesLiesOrTouchesAnotherFile) {
  const std::u16string desktop = LowerCase(shell::WindowsServices().CreateShellObject()->SpecialFolders(u"Desktop"));
  int written = 0, refused = 0;
  for (const Hostile& c : Cases()) {
    SCOPED_TRACE(c.label);
    Program& program = *program_;
    ASSERT_TRUE(program.Alive());
    const std::u16string path = ShortcutPathOnDesktop(NormalizeLinkName(c.site), desktop);
    const std::set<std::u16string> before = Snapshot();
    program.Type(ControlId::txtURL, c.address);
    program.Type(ControlId::txtFileName, c.site);
    program.Type(ControlId::txtIcon, c.icon);
    const std::u16string url = program.Text(ControlId::txtURL), site = program.Text(ControlId::txtFileName),
                         icon = program.Text(ControlId::txtIcon);

    program.Click(ControlId::Command2);
    program.Taken();
    const HWND box = program.WaitForDialog(u"Pellumar", 0);
    std::u16string message;
    if (box) message = program.TakeMessage();
    const std::set<std::u16string> after = Snapshot();
    EXPECT_TRUE(program.Alive());
    EXPECT_EQ(program.Text(ControlId::txtURL), url);
    EXPECT_EQ(program.Text(ControlId::txtFileName), site);
    EXPECT_EQ(program.Text(ControlId::txtIcon), icon);

    if (!message.empty()) {
      ++refused;
      EXPECT_NE(c.outcome, Outcome::Written) << testing::ToUtf8(message);
      // Either a check of the boxes, or what failed, where and why.
      const bool validation = message.rfind(u"Please Enter a valid", 0) == 0;
      EXPECT_TRUE(validation || (message.rfind(u"Could not ", 0) == 0 && message.find(u"\n\n") != std::u16string::npos))
          << testing::ToUtf8(message);
      EXPECT_EQ(after, before) << "a failed command changed files";
      continue;
    }
    ++written;
    const testing::RemoveOnExit cleanup(path);
    EXPECT_NE(c.outcome, Outcome::Refused) << "no message, yet this must fail";
    // Success means the shortcut is on disk, readable, and the only new name.
    const DWORD attributes = GetFileAttributesW(Wide(path));
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "no message, but no shortcut either";
    EXPECT_NO_THROW(testing::LoadShortcut(path));
    // The shortcut is the one new name there can be: on the desktop itself, where no file had
    // its name; in a folder of it, none the snapshot sees.
    const std::u16string canonical = CanonicalShortcutPath(path, desktop);
    const auto isShortcut = [&](const std::u16string& name) { return LowerCase(name) == canonical; };
    std::set<std::u16string> added;
    for (const auto& name : after) {
      if (!before.count(name)) added.insert(name);
    }
    for (const auto& name : added) EXPECT_TRUE(isShortcut(name)) << testing::ToUtf8(name);
    const bool onDesktop = canonical.find_last_of(u'\\') == desktop.size();
    const bool existed = std::any_of(before.begin(), before.end(), isShortcut);
    EXPECT_EQ(added.size(), onDesktop && !existed ? 1u : 0u);
    program.Click(ControlId::Command4);
    EXPECT_TRUE(WaitFor([&] { return GetFileAttributesW(Wide(path)) == INVALID_FILE_ATTRIBUTES; }, 5000));
    EXPECT_TRUE(program.NoDialog());
  }
  std::printf("hostile cases: %d written, %d refused with a message\n", written, refused);
}

}  // namespace
}  // namespace pellumar
