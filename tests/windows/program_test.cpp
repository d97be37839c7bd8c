// The real Pellumar.exe, driven from outside through its window.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>

#include "driver.h"
#include "machine.h"
#include "utf8.h"
#include "shortcut_file.h"
#include "shell/shell_error.h"
#include "shell/wide.h"
#include "shell/windows_services.h"

namespace pellumar {
namespace {

using app::ControlId;
using shell::Wide;
using testing::Program;
using testing::RemoveOnExit;
using testing::WaitFor;

std::u16string Desktop() {
  return shell::WindowsServices().CreateShellObject()->SpecialFolders(u"Desktop") + u"\\";
}

bool Exists(const std::u16string& path) { return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES; }

void WriteFile(const std::u16string& path) {
  const HANDLE file = CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(file);
}

// Texts of the three boxes, to check that nothing the user typed is lost.
struct Boxes {
  std::u16string url, fileName, icon;
  bool operator==(const Boxes&) const = default;
  friend void PrintTo(const Boxes& boxes, std::ostream* out) {
    *out << "{" << testing::ToUtf8(boxes.url) << " | " << testing::ToUtf8(boxes.fileName) << " | "
         << testing::ToUtf8(boxes.icon) << "}";
  }
};

Boxes BoxesOf(const Program& program) {
  return {program.Text(ControlId::txtURL), program.Text(ControlId::txtFileName),
          program.Text(ControlId::txtIcon)};
}

// Writes shortcuts on the desktop, files beside the tests and the handler of web addresses.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { PELLUMAR_ONLY_ON_A_THROWAWAY_MACHINE(); }
  void Fill(const Boxes& boxes) {
    program_.Type(ControlId::txtURL, boxes.url);
    program_.Type(ControlId::txtFileName, boxes.fileName);
    program_.Type(ControlId::txtIcon, boxes.icon);
  }
  Program program_;
};

TEST_F(ProgramTest, CreateAndDeleteThroughTheButtons) {
  const std::u16string path = Desktop() + u"e2e news.lnk";
  DeleteFileW(Wide(path));
  const RemoveOnExit cleanup(path);
  // A pasted address with white space around it still gives a working shortcut.
  const Boxes typed{u"  Portal/News\t", u"E2E News", u"C:\\Icons\\Globe"};
  Fill(typed);

  program_.Click(ControlId::Command2);
  ASSERT_TRUE(WaitFor([&] { return Exists(path); }));
  EXPECT_TRUE(program_.NoDialog());
  EXPECT_EQ(BoxesOf(program_), typed);
  testing::ShortcutFile file;
  WaitFor([&] {  // the file may still be being written
    try {
      file = testing::LoadShortcut(path);
      return true;
    } catch (const std::exception&) {
      return false;
    }
  });
  EXPECT_EQ(file.targetName, u"http://portal/News");
  EXPECT_EQ(file.iconLocation, u"c:\\icons\\globe.ico");

  // A double-click is one click: the shortcut deleted once, and no message that it is gone.
  program_.DoubleClick(ControlId::Command4);
  EXPECT_TRUE(WaitFor([&] { return !Exists(path); }));
  EXPECT_TRUE(program_.NoDialog());
  EXPECT_EQ(BoxesOf(program_), typed);
}

TEST_F(ProgramTest, TypingAfterMinimiseAndRestoreLandsInTheBoxThatHadTheFocus) {
  const HWND box = program_.Control(ControlId::txtFileName);
  program_.PressKey(VK_TAB);  // from the address box
  ASSERT_TRUE(WaitFor([&] { return program_.Focus() == box; }, 3000));
  for (WPARAM command : {SC_MINIMIZE, SC_RESTORE}) {
    PostMessageW(program_.window(), WM_SYSCOMMAND, command, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsIconic(program_.window()) == (command == SC_RESTORE); }));
  }
  program_.TypeKeys(u"Typed");
  EXPECT_TRUE(WaitFor([&] { return program_.Text(ControlId::txtFileName) == u"Typed"; }, 3000))
      << testing::ToUtf8(program_.Text(ControlId::txtFileName));
  EXPECT_EQ(program_.Text(ControlId::txtURL), u"");
}

TEST_F(ProgramTest, ValidationMessagesComeOneAtATime) {
  Fill({u"", u"", u""});
  program_.Click(ControlId::Command2);
  EXPECT_EQ(program_.TakeMessage(), u"Please Enter a valid FileName");
  EXPECT_FALSE(program_.lastMessageIcon);
  EXPECT_EQ(program_.lastMessageButtons, 1);
  EXPECT_TRUE(program_.NoDialog());

  Fill({u"", u"Name", u""});
  program_.Click(ControlId::Command2);
  EXPECT_EQ(program_.TakeMessage(), u"Please Enter a valid Website Address");
  const RemoveOnExit cleanup(Desktop() + u"name.lnk");
  EXPECT_FALSE(Exists(Desktop() + u"name.lnk"));
}

TEST_F(ProgramTest, AFailureIsReportedAndTheProgramGoesOnWithItsTexts) {
  const Boxes typed{u"a.b", u"Not On The Desktop", u"x"};
  Fill(typed);
  program_.Click(ControlId::Command4);
  const std::u16string report = program_.TakeMessage();
  EXPECT_NE(report.find(u"Could not find the shortcut."), std::u16string::npos) << testing::ToUtf8(report);
  EXPECT_NE(report.find(u"not on the desktop.lnk"), std::u16string::npos) << testing::ToUtf8(report);
  EXPECT_TRUE(program_.Alive());
  EXPECT_EQ(BoxesOf(program_), typed);

  // The window still works after the report.
  const std::u16string path = Desktop() + u"not on the desktop.lnk";
  const RemoveOnExit cleanup(path);
  program_.Click(ControlId::Command2);
  EXPECT_TRUE(WaitFor([&] { return Exists(path); }));
}

// ---- Pickers, through the real open-file dialog --------------------------------------------

void Answer(Program& program, std::u16string_view name) {
  const HWND dialog = program.WaitForDialog(u"Open");
  ASSERT_NE(dialog, nullptr) << "no open-file dialog";
  EXPECT_TRUE(testing::AnswerOpenDialog(dialog, name));
}

struct PickCase {
  ControlId button, box;
  std::u16string file;     // created in the test folder; empty: the dialog is cancelled
  std::u16string message;  // empty: the box takes the path
  friend void PrintTo(const PickCase& c, std::ostream* out) {
    *out << "button " << static_cast<int>(c.button) << " file '" << testing::ToUtf8(c.file) << "'";
  }
};

class PickerTest : public ProgramTest, public ::testing::WithParamInterface<PickCase> {};

TEST_P(PickerTest, FillsTheBoxOnlyWithAGoodChoice) {
  const PickCase& c = GetParam();
  const std::u16string path = c.file.empty() ? u"" : testing::TestFolder() + c.file;
  if (!path.empty()) WriteFile(path);
  const RemoveOnExit cleanup(path);
  program_.Type(c.box, u"before");

  program_.Click(c.button);
  Answer(program_, path);
  if (c.message.empty()) {
    EXPECT_TRUE(WaitFor([&] { return program_.Text(c.box) == path; }))
        << testing::ToUtf8(program_.Text(c.box));
    EXPECT_TRUE(program_.NoDialog());
  } else {
    EXPECT_EQ(program_.TakeMessage(), c.message);
    EXPECT_EQ(program_.Text(c.box), u"before");
  }
}

constexpr char16_t kNoIcon[] = u"You didn't choose a valid icon file the default icon will be used";

INSTANTIATE_TEST_SUITE_P(
    Cases, PickerTest,
    ::testing::Values(
        PickCase{ControlId::Command1, ControlId::txtIcon, u"Globe.ICO", u""},
        PickCase{ControlId::Command1, ControlId::txtIcon, u"", kNoIcon},
        PickCase{ControlId::Command1, ControlId::txtIcon, u"globe.bmp", kNoIcon},
        PickCase{ControlId::Command3, ControlId::txtFileName, u"picked.lnk", u""},
        PickCase{ControlId::Command3, ControlId::txtFileName, u"", u"You didn't choose a valid shortcut file "},
        PickCase{ControlId::Command3, ControlId::txtFileName, u"PICKED.LNK",
                 u"You didn't choose a valid shortcut file"}));

TEST_F(ProgramTest, BothPickersShareOneDialogAndEachSetsItsOwnFilter) {
  // A cancel after a good choice is still an empty choice: the box keeps its text.
  const std::u16string icon = testing::TestFolder() + u"shared.ico";
  WriteFile(icon);
  const RemoveOnExit cleanup(icon);
  program_.Click(ControlId::Command1);
  Answer(program_, icon);
  ASSERT_TRUE(WaitFor([&] { return program_.Text(ControlId::txtIcon) == icon; }));
  program_.Click(ControlId::Command3);
  Answer(program_, u"");
  EXPECT_EQ(program_.TakeMessage(), u"You didn't choose a valid shortcut file ");
  EXPECT_EQ(program_.Text(ControlId::txtFileName), u"");
}

// ---- Credit link ---------------------------------------------------------------------------

bool ProcessRuns(const wchar_t* name) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry)) {
    found = lstrcmpiW(entry.szExeFile, name) == 0;
  }
  CloseHandle(snapshot);
  return found;
}

TEST_F(ProgramTest, ClickingTheCreditAsksTheShellOnceToOpenTheMakersPage) {
  // The test prefix's handler for http addresses writes each address it is given to a file.
  const std::u16string opened = u"C:\\opened.txt";
  DeleteFileW(Wide(opened));
  const RemoveOnExit cleanup(opened);
  const testing::RegistryValueGuard handler(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", nullptr);
  ASSERT_NE(handler.key(), nullptr);
  const wchar_t command[] = L"cmd.exe /c echo %1>> C:\\opened.txt";
  RegSetValueExW(handler.key(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command), sizeof command);

  const Boxes typed{u"u", u"n", u"i"};
  Fill(typed);
  program_.ClickLink();
  program_.Taken();  // every open the click asked for has been asked
  ASSERT_TRUE(WaitFor([&] { return Exists(opened); }));
  // The handlers the shell started have written what they were given.
  EXPECT_TRUE(WaitFor([] { return !ProcessRuns(L"cmd.exe"); }));
  std::ifstream file(testing::ToUtf8(opened).c_str());
  std::string line, lines;
  int count = 0;
  while (std::getline(file, line)) {
    lines += line;
    ++count;
  }
  EXPECT_EQ(count, 1);
  EXPECT_NE(lines.find("http://www.pellumar.example/"), std::string::npos) << lines;
  EXPECT_TRUE(program_.NoDialog());
  EXPECT_EQ(BoxesOf(program_), typed);
}

}  // namespace
}  // namespace pellumar
