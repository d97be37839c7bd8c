#include "shortcut/pickers.h"
#include "shell/dialog_filter.h"
#include "utf8.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "recording_services.h"

namespace pellumar {
namespace {

using ::testing::ElementsAre;

// An open-file dialog that records how it is set up and returns a prepared choice.
class FakeDialog final : public shell::CommonDialog {
 public:
  explicit FakeDialog(std::u16string choice) : choice_(std::move(choice)) {}
  std::vector<std::string> calls;

  void DialogTitle(std::u16string_view title) override { calls.push_back("DialogTitle " + testing::ToUtf8(title)); }
  void CancelError(bool raise) override { calls.push_back(raise ? "CancelError true" : "CancelError false"); }
  void Filter(std::u16string_view filter) override { calls.push_back("Filter " + testing::ToUtf8(filter)); }
  void InitDir(std::u16string_view folder) override { calls.push_back("InitDir " + testing::ToUtf8(folder)); }
  void ClientGuid(const shell::Guid& guid) override { calls.push_back("ClientGuid " + std::to_string(guid.data1)); }
  void ShowOpen() override { calls.push_back("ShowOpen"); }
  std::u16string FileName() const override { return choice_; }

 private:
  std::u16string choice_;
};

struct PickCase {
  const Picker* picker;
  std::u16string choice;
  bool accepted;
  std::string message;  // shown when not accepted
};

class PickTest : public ::testing::TestWithParam<PickCase> {};

TEST_P(PickTest, AcceptsTheChoiceUnchangedOrShowsItsMessage) {
  const PickCase& c = GetParam();
  FakeDialog dialog(c.choice);
  testing::RecordingServices services;
  const auto picked = Pick(*c.picker, dialog, services);
  // The shortcut picker asks where the desktop is before it shows the dialog.
  std::vector<std::string> messages;
  for (const std::string& call : services.calls) {
    if (call.rfind("MsgBox(", 0) == 0) messages.push_back(call);
  }
  if (c.accepted) {
    EXPECT_EQ(picked, c.choice);
    EXPECT_TRUE(messages.empty());
  } else {
    EXPECT_EQ(picked, std::nullopt);
    EXPECT_THAT(messages, ElementsAre("MsgBox(" + c.message + ")"));
  }
}

constexpr char kNoIcon[] = "You didn't choose a valid icon file the default icon will be used";

INSTANTIATE_TEST_SUITE_P(
    Cases, PickTest,
    ::testing::Values(PickCase{&kIconPicker, u"C:\\Art\\GLOBE.ICO", true, ""},
                      PickCase{&kIconPicker, u"c:\\a.icons\\b.bmp", true, ""},
                      PickCase{&kIconPicker, u"c:\\a\\b.bmp", false, kNoIcon},
                      PickCase{&kIconPicker, u"c:\\icons\\a.bmp", false, kNoIcon},
                      PickCase{&kIconPicker, u"a.icns", false, kNoIcon},
                      PickCase{&kIconPicker, u"", false, kNoIcon},
                      PickCase{&kShortcutPicker, u"C:\\Links\\news.lnk", true, ""},
                      PickCase{&kShortcutPicker, u"c:\\x.lnk.txt", true, ""},
                      PickCase{&kShortcutPicker, u"c:\\lnk\\a.txt", false, "You didn't choose a valid shortcut file"},
                      PickCase{&kShortcutPicker, u"a.ln", false, "You didn't choose a valid shortcut file"},
                      PickCase{&kShortcutPicker, u"C:\\Links\\NEWS.LNK", false,
                               "You didn't choose a valid shortcut file"},
                      PickCase{&kShortcutPicker, u"", false, "You didn't choose a valid shortcut file "}));

TEST(PickTest, SetsTitleCancelModeFilterMemoryAndFolderBeforeShowing) {
  // A typo in a filter (say "*.ic") would hide every file the picker is for; one memory for
  // both would open each where the other was last.
  const std::pair<const Picker*, std::vector<std::string>> cases[] = {
      {&kIconPicker,
       {"DialogTitle Open", "CancelError false", "Filter Icons (*.ico)|*.ico", "ClientGuid 2164985264",
        "InitDir ", "ShowOpen"}},
      {&kShortcutPicker,
       {"DialogTitle Open", "CancelError false", "Filter Shortcuts (*.lnk)|*.lnk", "ClientGuid 3798618966",
        "InitDir C:\\Users\\U\\Desktop", "ShowOpen"}},
  };
  for (const auto& [picker, expected] : cases) {
    FakeDialog dialog(u"x");
    testing::RecordingServices services;
    Pick(*picker, dialog, services);
    EXPECT_EQ(dialog.calls, expected);
  }
}

// The dialog's list of file types, as each picker's filter becomes it.
TEST(FileTypesTest, EachDescriptionIsPairedWithThePatternAfterIt) {
  using shell::FileType;
  const std::pair<std::u16string_view, std::vector<FileType>> rows[] = {
      {kIconPicker.filter, {{u"Icons (*.ico)", u"*.ico"}}},
      {u"Icons|*.ico|All|*.*", {{u"Icons", u"*.ico"}, {u"All", u"*.*"}}},
      {u"Icons|*.ico|All", {{u"Icons", u"*.ico"}}},  // a description without its pattern
      {u"Icons", {}},
      {u"", {}},
      {u"|*.ico|", {{u"", u"*.ico"}}},
  };
  for (const auto& [filter, types] : rows) {
    EXPECT_EQ(shell::FileTypes(filter), types) << testing::ToUtf8(filter);
  }
}

}  // namespace
}  // namespace pellumar
