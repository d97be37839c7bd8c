#include "shortcut/commands.h"
#include "utf8.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "recording_services.h"

namespace pellumar {
namespace {

using shell::Operation;
using shell::ShellError;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using testing::RecordingServices;

constexpr char kNewsPath[] = "c:\\users\\u\\desktop\\news.lnk";
constexpr char kDesktop[] = "C:\\Users\\U\\Desktop";  // as the shell reports it

std::string Call(std::string_view operation, std::string_view argument = "") {
  return std::string(operation) + "(" + std::string(argument) + ")";
}

// Whether `expected` were made in this order, whatever other calls came between them.
::testing::AssertionResult MadeInOrder(const std::vector<std::string>& calls,
                                       std::initializer_list<std::string> expected) {
  auto next = calls.begin();
  for (const std::string& call : expected) {
    next = std::find(next, calls.end(), call);
    if (next == calls.end()) {
      return ::testing::AssertionFailure()
             << call << " is not among the calls after those before it: "
             << ::testing::PrintToString(calls);
    }
    ++next;
  }
  return ::testing::AssertionSuccess();
}

// How many calls of `operation` were made.
long CallsOf(const std::vector<std::string>& calls, std::string_view operation) {
  const std::string start = std::string(operation) + "(";
  return std::count_if(calls.begin(), calls.end(),
                       [&](const std::string& call) { return call.rfind(start, 0) == 0; });
}

using Kind = shell::Change::Kind;
std::vector<Kind> KindsOf(const shell::Changes& changes) {
  std::vector<Kind> kinds;
  for (const shell::Change& change : changes) kinds.push_back(change.kind);
  return kinds;
}

TEST(CreateWebShortcutTest, WritesTargetAndIconInOrder) {
  RecordingServices services;
  CreateWebShortcut(services, u"News", u"Portal/a", u"C:\\Icons\\Globe", services.changed);
  EXPECT_THAT(services.calls,
              UnorderedElementsAre(Call("CreateShellObject"), Call("SpecialFolders", "Desktop"),
                                   Call("CreateShortcut", kNewsPath),
                                   Call("TargetPath", "http://portal/a"),
                                   Call("IconLocation", "c:\\icons\\globe.ico"),
                                   Call("CreateFileSystemObject", kDesktop),
                                   Call("FileExists", kNewsPath), Call("Save")));
  // The target and the icon are set before the save, which comes once the name is known free.
  EXPECT_TRUE(MadeInOrder(services.calls, {Call("TargetPath", "http://portal/a"), Call("Save")}));
  EXPECT_TRUE(MadeInOrder(services.calls, {Call("IconLocation", "c:\\icons\\globe.ico"), Call("Save")}));
  EXPECT_TRUE(MadeInOrder(services.calls, {Call("FileExists", kNewsPath), Call("Save")}));
}

TEST(CreateWebShortcutTest, LeavesTheIconUnsetWhenTheBoxHoldsNoIcon) {
  for (const std::u16string icon : {u"", u".ico", u".ICO.ico"}) {
    RecordingServices services;
    CreateWebShortcut(services, u"News", u"Portal/a", icon, services.changed);
    EXPECT_EQ(CallsOf(services.calls, "IconLocation"), 0);
    EXPECT_EQ(CallsOf(services.calls, "Save"), 1);
  }
}

// The shell is given one backslash between folders, whatever the name held.
TEST(CreateWebShortcutTest, APickedPathOrSlashesReachTheShellWithSingleBackslashes) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"C:\\Users\\U\\Desktop\\News.lnk", kNewsPath},
      {u"news/today", "c:\\users\\u\\desktop\\news\\today.lnk"},
      {u"news\\\\.\\//today", "c:\\users\\u\\desktop\\news\\today.lnk"},
  };
  for (const auto& [site, path] : cases) {
    RecordingServices services;
    CreateWebShortcut(services, site, u"x", u"", services.changed);
    EXPECT_THAT(services.calls, Contains(Call("CreateShortcut", path)));
    DeleteWebShortcut(services, site, services.changed);
    EXPECT_THAT(services.calls, Contains(Call("GetFile", path)));
  }
}

TEST(CreateWebShortcutTest, CreatingTwiceSavesToTheSamePathTwice) {
  RecordingServices services;
  CreateWebShortcut(services, u"News", u"a", u"", services.changed);
  CreateWebShortcut(services, u"NEWS.LNK", u"a", u"", services.changed);
  EXPECT_TRUE(MadeInOrder(services.calls, {Call("CreateShortcut", kNewsPath), Call("Save"),
                                           Call("CreateShortcut", kNewsPath), Call("Save")}));
}

// A file of that name goes to the Recycle Bin before the new shortcut takes the name.
TEST(CreateWebShortcutTest, AnExistingShortcutIsRecycledBeforeTheNewOneIsSaved) {
  RecordingServices services;
  services.fileExists = true;
  CreateWebShortcut(services, u"News", u"a", u"", services.changed);
  EXPECT_TRUE(MadeInOrder(services.calls, {Call("FileExists", kNewsPath), Call("GetFile", kNewsPath),
                                           Call("Delete"), Call("Save")}));
  EXPECT_THAT(KindsOf(services.changed), ElementsAre(Kind::Deleted, Kind::Created));
}

TEST(CreateWebShortcutTest, KeepingTheExistingShortcutWritesNothingAndSaysNothing) {
  RecordingServices services;
  services.fileExists = true;
  services.keepFile = true;
  CreateWebShortcut(services, u"News", u"a", u"", services.changed);
  EXPECT_EQ(services.calls.back(), Call("Delete"));
  EXPECT_TRUE(services.changed.empty());
}

TEST(CreateWebShortcutTest, ASaveThatFailsAfterRecyclingSaysWhereThePreviousShortcutIs) {
  RecordingServices services;
  services.fileExists = true;
  services.failAt = Operation::Save;
  try {
    CreateWebShortcut(services, u"News", u"a", u"", services.changed);
    FAIL() << "no error raised";
  } catch (const ShellError& error) {
    EXPECT_EQ(error.operation(), Operation::Save);
    EXPECT_EQ(error.reason(),
              u"Injected failure.\n\nThe shortcut that had this name is in the "
              u"Recycle Bin, unless you agreed to delete it for good.");
  }
  // The shell still hears that the old shortcut is gone.
  EXPECT_THAT(KindsOf(services.changed), ElementsAre(Kind::Deleted));
}

struct ValidationCase {
  std::u16string siteName, webAddress;
  std::string message;
};

class CreateValidationTest : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(CreateValidationTest, ShowsOnlyItsOneMessageAndTouchesNoPlatformObject) {
  RecordingServices services;
  CreateWebShortcut(services, GetParam().siteName, GetParam().webAddress, u"c:\\a.ico", services.changed);
  EXPECT_THAT(services.calls, ElementsAre(Call("MsgBox", GetParam().message)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CreateValidationTest,
    ::testing::Values(ValidationCase{u"", u"", "Please Enter a valid FileName"},
                      ValidationCase{u"", u"portal", "Please Enter a valid FileName"},
                      ValidationCase{u"News", u"", "Please Enter a valid Website Address"},
                      // Nothing but white space is no address; "http://" alone is no shortcut.
                      ValidationCase{u"News", u" \t\u00A0\r\n ",
                                     "Please Enter a valid Website Address"}));

TEST(CreateWebShortcutTest, APastedAddressLosesItsPaddingAndABlankNameKeepsItsSpace) {
  RecordingServices services;
  CreateWebShortcut(services, u" ", u"  Portal/a b\t\r\n", u"", services.changed);
  EXPECT_THAT(services.calls, Contains(Call("CreateShortcut", "c:\\users\\u\\desktop\\ .lnk")));
  EXPECT_THAT(services.calls, Contains(Call("TargetPath", "http://portal/a b")));
  EXPECT_EQ(CallsOf(services.calls, "Save"), 1);
}

// A name the rules refuse, or a target or icon a shortcut cannot hold whole, is said in one
// message after the desktop is known; no shortcut object and no file object is made.
struct RefusalCase {
  bool create;
  std::u16string siteName, webAddress, iconText;
  std::string message;  // empty: only that a message is shown
};

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, SaysWhyAndTouchesNoFile) {
  const RefusalCase& c = GetParam();
  RecordingServices services;
  if (c.create) {
    CreateWebShortcut(services, c.siteName, c.webAddress, c.iconText, services.changed);
  } else {
    DeleteWebShortcut(services, c.siteName, services.changed);
  }
  // Only the shell object and its folders are asked, then the message.
  for (std::size_t i = 0; i + 1 < services.calls.size(); ++i) {
    EXPECT_TRUE(services.calls[i].rfind("CreateShellObject(", 0) == 0 ||
                services.calls[i].rfind("SpecialFolders(", 0) == 0)
        << services.calls[i];
  }
  EXPECT_THAT(services.calls, Contains(Call("SpecialFolders", "Desktop")));
  EXPECT_EQ(services.calls.back().rfind(c.create ? "MsgBox(Could not create the shortcut.\n\n"
                                                 : "MsgBox(Could not delete the shortcut.\n\n",
                                        0),
            0u)
      << services.calls.back();
  if (!c.message.empty()) {
    EXPECT_EQ(services.calls.back(), Call("MsgBox", c.message));
  }
}

const std::u16string kLongAddress(253, u'a');  // with "http://", one more than a shortcut holds

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusalTest,
    ::testing::Values(
        RefusalCase{true, u"con", u"a", u"", ""}, RefusalCase{false, u"Nul.txt", u"", u"", ""},
        RefusalCase{true, u"a?b", u"a", u"", ""}, RefusalCase{false, u"..\\News", u"", u"", ""},
        RefusalCase{true, std::u16string(300, u'n'), u"a", u"", ""},
        RefusalCase{true, u"News", kLongAddress, u"", ""},
        RefusalCase{true, u"News", kLongAddress, u"c:\\globe", ""},
        RefusalCase{true, u"News", u"a", std::u16string(256, u'i'), ""},
        // A shortcut picked elsewhere is named as it was picked.
        RefusalCase{
            false, u"D:\\Links\\News.lnk", u"", u"",
            "Could not delete the shortcut.\n\nD:\\Links\\News.lnk\n\nThe shortcut is not on "
            "the desktop. Shortcuts are only written and deleted in the desktop folder."},
        // One on the desktop of all users shows on the person's, but is not in their folder.
        RefusalCase{false, u"C:\\Users\\Public\\Desktop\\News.lnk", u"", u"",
                    "Could not delete the shortcut.\n\nC:\\Users\\Public\\Desktop\\News.lnk\n\n"
                    "The shortcut is on the desktop of all users, which shows on yours too. "
                    "Pellumar changes only your own desktop."},
        RefusalCase{true, u"c:\\users\\public\\desktop\\news.lnk", u"a", u"", ""}));

TEST(CreateWebShortcutTest, TheLongestTargetAndIconAShortcutHoldsAreWritten) {
  RecordingServices services;
  CreateWebShortcut(services, u"News", std::u16string(252, u'a'), std::u16string(255, u'i'),
                    services.changed);
  EXPECT_EQ(services.calls.back(), Call("Save"));
}

// Each failing operation stops the command right there: it is the last call recorded and the
// error reaches the caller unchanged.
class CreateFailureTest : public ::testing::TestWithParam<Operation> {};

TEST_P(CreateFailureTest, StopsAtTheFailingStep) {
  RecordingServices services;
  services.failAt = GetParam();
  try {
    CreateWebShortcut(services, u"News", u"Portal/a", u"globe", services.changed);
    FAIL() << "no error raised";
  } catch (const ShellError& error) {
    EXPECT_EQ(error.operation(), GetParam());
  }
  const std::string name = testing::ToUtf8(shell::OperationName(GetParam()));
  EXPECT_EQ(services.calls.back().rfind(name + "(", 0), 0u) << services.calls.back();
}

INSTANTIATE_TEST_SUITE_P(Steps, CreateFailureTest,
                         ::testing::Values(Operation::CreateShellObject, Operation::SpecialFolders,
                                           Operation::CreateShortcut, Operation::TargetPath,
                                           Operation::IconLocation,
                                           Operation::CreateFileSystemObject, Operation::Save));

TEST(DeleteWebShortcutTest, DeletesTheFileCreateWrites) {
  for (const std::u16string name : {u"News", u"News.LNK", u"news.lnk.lnk"}) {
    RecordingServices services;
    DeleteWebShortcut(services, name, services.changed);
    EXPECT_THAT(services.calls, Contains(Call("CreateFileSystemObject", kDesktop)));
    EXPECT_TRUE(MadeInOrder(services.calls, {Call("GetFile", kNewsPath), Call("Delete")}));
    EXPECT_EQ(CallsOf(services.calls, "MsgBox"), 0);
    EXPECT_THAT(KindsOf(services.changed), ElementsAre(Kind::Deleted));
  }
}

TEST(DeleteWebShortcutTest, EmptyNameAsksForTheBareExtensionWithoutAMessage) {
  RecordingServices services;
  DeleteWebShortcut(services, u"", services.changed);
  EXPECT_TRUE(MadeInOrder(services.calls,
                          {Call("GetFile", "c:\\users\\u\\desktop\\.lnk"), Call("Delete")}));
  EXPECT_EQ(CallsOf(services.calls, "MsgBox"), 0);
}

// A shortcut of that name on the desktop of all users is said to be there, not missing; only a
// shortcut not found at all is still the system's failure.
TEST(DeleteWebShortcutTest, AShortcutOnTheDesktopOfAllUsersIsSaidToBeThere) {
  for (const bool there : {true, false}) {
    RecordingServices services;
    services.failAt = Operation::GetFile;
    services.failCode = 2;  // not found
    services.fileExists = there;
    if (!there) {
      EXPECT_THROW(DeleteWebShortcut(services, u"News", services.changed), ShellError);
      continue;
    }
    DeleteWebShortcut(services, u"News", services.changed);
    EXPECT_EQ(services.calls.back(),
              Call("MsgBox",
                   "Could not find the shortcut.\n\nc:\\users\\u\\desktop\\news.lnk\n\nA shortcut of "
                   "this name is on the desktop of all users, which shows on yours too. Pellumar "
                   "changes only your own desktop."));
    EXPECT_THAT(services.calls, Contains(Call("FileExists", "C:\\Users\\Public\\Desktop\\news.lnk")));
  }
}

class DeleteFailureTest : public ::testing::TestWithParam<Operation> {};

TEST_P(DeleteFailureTest, StopsAtTheFailingStep) {
  RecordingServices services;
  services.failAt = GetParam();
  EXPECT_THROW(DeleteWebShortcut(services, u"News", services.changed), ShellError);
  const std::string name = testing::ToUtf8(shell::OperationName(GetParam()));
  EXPECT_EQ(services.calls.back().rfind(name + "(", 0), 0u) << services.calls.back();
}

INSTANTIATE_TEST_SUITE_P(Steps, DeleteFailureTest,
                         ::testing::Values(Operation::CreateShellObject, Operation::SpecialFolders,
                                           Operation::CreateFileSystemObject, Operation::GetFile,
                                           Operation::Delete));

// A delete is said as the system reported it: where it said nothing, nothing of where it went.
TEST(AnnouncementTest, SaysOnlyWhatTheSystemReported) {
  const std::pair<Kind, std::u16string_view> rows[] = {
      {Kind::Created, u"Shortcut created on the desktop"},
      {Kind::Updated, u"Shortcut created on the desktop"},
      {Kind::Recycled, u"Shortcut moved to the Recycle Bin"},
      {Kind::DeletedForGood, u"Shortcut deleted for good"},
      {Kind::Deleted, u"Shortcut deleted"},
  };
  for (const auto& [kind, said] : rows) EXPECT_EQ(Announcement(kind), said);
}

TEST(ShellErrorTest, DescribesWhatFailedWhereAndWhy) {
  const ShellError error(Operation::GetFile, u"c:\\d\\news.lnk",
                         u"The system cannot find the file specified.", 2);
  EXPECT_EQ(error.Describe(),
            u"Could not find the shortcut.\n\nc:\\d\\news.lnk\n\n"
            u"The system cannot find the file specified.");
  EXPECT_STREQ(error.what(), "GetFile failed");
}

// The shell's file operation has codes of its own that clash with Win32's: each documented one
// says what it means whatever the system would say of that number; any other is a Win32 code,
// in the system's words where it has some, else by its number.
// What a person reads when the shell's file operation refuses: its own codes by their meaning
// (0xB7 is a path too deep, not Win32's "already exists"), any other in the system's words, and
// a code neither knows by its number.
TEST(ShellErrorTest, FileOperationCodesSayWhatTheyMean) {
  const struct {
    std::uint32_t code;
    std::u16string_view systemText, reason;
  } rows[] = {
      {0x78, u"Cannot create a file when that file already exists.",
       u"Access to the file was denied by its security settings."},
      {0xB7, u"Cannot create a file when that file already exists.",
       u"A path became longer than Windows takes during the operation."},
      {0x79, u"", u"The path is longer than Windows takes."},
      {0x5, u"Access is denied.", u"Access is denied."},
      {0x77, u"", u"The file operation failed (code 0x77)."},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(shell::FileOperationReason(row.code, row.systemText), row.reason) << row.code;
  }
}

TEST(ShellErrorTest, HandsTheSystemTheDesktopSpeltAsItWasReported) {
  const struct {
    std::u16string_view path, desktop, expected;
  } cases[] = {
      {u"c:\\users\\ann\\desktop\\x.lnk", u"C:\\Users\\Ann\\Desktop",
       u"C:\\Users\\Ann\\Desktop\\x.lnk"},
      {u"d:\\x.lnk", u"D:\\", u"D:\\x.lnk"},
      {u"\\\\srv\\home\\desktop\\x.lnk", u"\\\\SRV\\Home\\Desktop",
       u"\\\\SRV\\Home\\Desktop\\x.lnk"},
      // Only A to Z are lower-cased, so only they may differ.
      {u"c:\\\u00C4\\desktop\\x.lnk", u"C:\\\u00C4\\Desktop", u"C:\\\u00C4\\Desktop\\x.lnk"},
      {u"c:\\\u00E4\\desktop\\x.lnk", u"C:\\\u00C4\\Desktop", u"c:\\\u00E4\\desktop\\x.lnk"},
      {u"c:\\users\\ann\\desktopper\\x.lnk", u"C:\\Users\\Ann\\Desktop",
       u"c:\\users\\ann\\desktopper\\x.lnk"},
      {u"c:\\users\\ann\\x.lnk", u"C:\\Users\\Ann\\Desktop", u"c:\\users\\ann\\x.lnk"},
      {u"c:\\x.lnk", u"", u"c:\\x.lnk"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shell::SpelledAsReported(c.path, c.desktop), c.expected)
        << testing::ToUtf8(std::u16string(c.path));
  }
}

TEST(ShellErrorTest, ShortensAVeryLongPathButKeepsItsEnds) {
  const std::u16string path = u"c:\\d\\" + std::u16string(32000, u'x') + u".lnk";
  const std::u16string text = ShellError(Operation::Save, path, u"Too long.", 206).Describe();
  EXPECT_LT(text.size(), 250u);
  EXPECT_NE(text.find(u"c:\\d\\xxx"), std::u16string::npos);
  EXPECT_NE(text.find(u"xxx.lnk\n\nToo long."), std::u16string::npos);
}

}  // namespace
}  // namespace pellumar
