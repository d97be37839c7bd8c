#include "shortcut/drop.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "recording_services.h"

namespace pellumar {
namespace {

using testing::ToUtf8;

// What a plan says, in one line: its step, then address|site name|icon|title|file.
std::string Described(const DropPlan& plan) {
  constexpr const char* kSteps[] = {"refuse", "fill", "read file", "read contents"};
  return std::string(kSteps[static_cast<int>(plan.step)]) + " " + ToUtf8(plan.fill.address) + "|" +
         ToUtf8(plan.fill.siteName) + "|" + ToUtf8(plan.fill.icon) + "|" +
         ToUtf8(plan.fill.title) + "|" + ToUtf8(plan.file);
}

struct PlanRow {
  const char* what;
  DropOffer offer;
  std::string plan;
};

TEST(PlanDropTest, EachOfferFillsItsBoxesOrIsRefused) {
  const std::u16string web = u"https://a.example/";
  const PlanRow rows[] = {
      {"icon", {.files = {{u"C:\\Art\\GLOBE.ICO"}}}, "fill ||C:\\Art\\GLOBE.ICO||"},
      {"program", {.files = {{u"c:\\p\\app.exe"}}}, "fill ||c:\\p\\app.exe||"},
      {"library", {.files = {{u"c:\\p\\art.Dll"}}}, "fill ||c:\\p\\art.Dll||"},
      {"icon by a slash", {.files = {{u"c:/art/x.ico"}}}, "fill ||c:/art/x.ico||"},
      {"folder named as an icon", {.files = {{u"C:\\art.ico", true}}}, "refuse ||||"},
      {"shortcut", {.files = {{u"C:\\L\\news.lnk"}}}, "fill |C:\\L\\news.lnk|||"},
      {"shortcut in capitals", {.files = {{u"C:\\L\\NEWS.LNK"}}}, "refuse ||||"},
      {"internet shortcut", {.files = {{u"C:\\L\\Top News.URL"}}},
       "read file |||Top News|C:\\L\\Top News.URL"},
      {"no extension, a dot in its folder", {.files = {{u"C:\\a.ico\\readme"}}}, "refuse ||||"},
      {"an extension alone", {.files = {{u"C:\\a\\.ico"}}}, "fill ||C:\\a\\.ico||"},
      {"a bare name", {.files = {{u"x.ico"}}}, "fill ||x.ico||"},
      {"text file", {.files = {{u"C:\\a.txt"}}}, "refuse ||||"},
      {"two files", {.files = {{u"a.ico"}, {u"b.ico"}}, .text = web}, "refuse ||||"},
      {"files before a link", {.files = {{u"a.txt"}}, .link = web}, "refuse ||||"},
      {"browser link, titled", {.link = web, .describedFiles = {u"A Page.url"}, .text = u"x"},
       "fill https://a.example/|||A Page|"},
      {"link, two described", {.link = web, .describedFiles = {u"a.url", u"b.url"}},
       "fill https://a.example/||||"},
      {"link, described not a shortcut", {.link = web, .describedFiles = {u"a.txt"}},
       "fill https://a.example/||||"},
      {"link not a web address", {.link = u"ftp://a", .text = web}, "refuse ||||"},
      {"described shortcut alone", {.describedFiles = {u"News.url"}, .text = web},
       "read contents |||News|"},
      {"two described, text", {.describedFiles = {u"a.url", u"b.url"}, .text = u" http://t "},
       "fill http://t||||"},
      {"text", {.text = u"http://t/a?b"}, "fill http://t/a?b||||"},
      {"text of two addresses", {.text = u"http://a http://b"}, "refuse ||||"},
      {"nothing", {}, "refuse ||||"},
  };
  for (const PlanRow& row : rows) {
    EXPECT_EQ(Described(PlanDrop(row.offer)), row.plan) << row.what;
  }
}

struct TextRow {
  std::u16string text;
  std::optional<std::string> found;
};

// Each row's text read by `read`: the address it finds, or none.
template <std::size_t N, typename Read>
void ExpectEach(const TextRow (&rows)[N], Read read) {
  for (const TextRow& row : rows) {
    const auto found = read(row.text);
    EXPECT_EQ(found ? std::optional(ToUtf8(*found)) : std::nullopt, row.found) << ToUtf8(row.text);
  }
}

TEST(WebAddressInTest, TakesOneHttpAddressAndNothingElse) {
  const TextRow rows[] = {
      {u"http://a", "http://a"},
      {u"HTTPS://A/b", "HTTPS://A/b"},
      {u"\t http://a/ \r\n", "http://a/"},
      {u"http://!", "http://!"},
      {u"http://", std::nullopt},
      {u"https://", std::nullopt},
      {u"http:/a", std::nullopt},
      {u"ftp://a", std::nullopt},
      {u"www.a.example", std::nullopt},
      {u"http://a b", std::nullopt},
      {u"http://a\tb", std::nullopt},
      {u"http://a\u007Fb", std::nullopt},
      {u"http://a\u00A0b", std::nullopt},
      {u"", std::nullopt},
  };
  ExpectEach(rows, WebAddressIn);
}

TEST(InternetShortcutAddressTest, ReadsTheFirstUrlLineOfItsSection) {
  const TextRow rows[] = {
      {u"[InternetShortcut]\r\nURL=http://a\r\n", "http://a"},
      {u"\n\n[ internetshortcut ]\r\n\r\n url = http://a ", "http://a"},
      {u"[InternetShortcut]\rIconFile=x\rURL=http://b\rURL=http://c", "http://b"},
      {u"[InternetShortcut]\nnothing\nURL=http://a=b", "http://a=b"},
      {u"[InternetShortcut]\nURL=ftp://a\nURL=http://b", std::nullopt},
      {u"[InternetShortcut]\nURLs=http://a", std::nullopt},
      {u"[InternetShortcut]\n[Other]\nURL=http://a", std::nullopt},
      {u"[Other]\nURL=http://a\n[InternetShortcut]", std::nullopt},
      {u"[InternetShortcut\nURL=http://a", std::nullopt},
      {u"URL=http://a", std::nullopt},
      {u"", std::nullopt},
      // Windows' wide section holds the address whole, where its code page has a '?'.
      {u"[InternetShortcut]\r\nURL=https://b?cher.example/?\r\n[InternetShortcut.W]\r\n"
       u"URL=https://b+APw-cher.example/+AOQ-\r\n",
       "https://bücher.example/ä"},
      {u"[InternetShortcut.W]\nURL=http://a+AOQ-", "http://aä"},
      {u"[InternetShortcut]\nURL=https://b?cher.example/\n[InternetShortcut.W]\n"
       u"URL=https://b+AP-cher.example/",
       "https://b?cher.example/"},  // a wide line not well formed
  };
  ExpectEach(rows, InternetShortcutAddress);
}

TEST(DecodeUtf7Test, DecodesBase64RunsAndRefusesWhatIsNotWellFormed) {
  const TextRow rows[] = {
      {u"https://b+APw-cher.example/+AOQ-", "https://bücher.example/ä"},
      {u"A+ImIDkQ.", "A≢Α."},
      {u"1 +- 1", "1 + 1"},
      {u"+2DzfAA-", "🌀"},
      {u"b+AA-cher", std::nullopt},  // twelve bits: no whole unit
      {u"a+AOR-", std::nullopt},     // the bits left over are not zero
      {u"a+!", std::nullopt},
      {u"+2Dw-", std::nullopt},  // half a character
      {u"\u00E4", std::nullopt},
  };
  ExpectEach(rows, DecodeUtf7);
}

struct TitleRow {
  std::u16string title;
  std::size_t desktopLength;
  std::u16string name;
};

TEST(SiteNameFromTitleTest, MakesANameTheRulesTakeThatFitsOnTheDesktop) {
  // A desktop of 250 characters leaves room for four: the separator and ".lnk" take five.
  const std::u16string smile = u"\U0001F600";
  const TitleRow rows[] = {
      {u"News: Today=1", 10, u"News- Today=1"},
      {u"a<b>c\"d/e\\f|g?h*i", 10, u"a-b-c-d-e-f-g-h-i"},
      {u"\ta\u001Fb c\u007F", 10, u"a b c"},
      {u"  x  ", 10, u"x"},
      {u"abcd", 250, u"abcd"},
      {u"abcdef", 250, u"abcd"},
      {u"ab  cd", 250, u"ab"},
      {u"abc" + smile, 250, u"abc"},
      {u"abcd" + smile, 250, u"abcd"},
      {u"abc" + std::u16string(1, char16_t(0xDBFF)) + u"x", 250, u"abc"},
      {u"abc" + std::u16string(1, char16_t(0xD800)) + u"x", 250, u"abc"},
      {u"abc" + std::u16string(1, char16_t(0xDC00)) + u"x", 250,
       u"abc" + std::u16string(1, char16_t(0xDC00))},
      {u"abc" + std::u16string(1, char16_t(0xD7FF)) + u"x", 250,
       u"abc" + std::u16string(1, char16_t(0xD7FF))},
      {u"abcdef", 253, u"a"},
      {u"abcdef", 254, u""},
      {u"abcdef", 300, u""},
  };
  for (const TitleRow& row : rows) {
    EXPECT_EQ(SiteNameFromTitle(row.title, row.desktopLength), row.name)
        << ToUtf8(row.title) << " on a desktop of " << row.desktopLength;
  }
}

TEST(SiteNameForTitleTest, UsesTheDesktopReportedNowAndNothingWhenThereIsNone) {
  testing::RecordingServices services;
  services.desktop = std::u16string(250, u'd');
  EXPECT_EQ(SiteNameForTitle(services, u"abcdef"), u"abcd");
  services.failAt = shell::Operation::SpecialFolders;
  EXPECT_EQ(SiteNameForTitle(services, u"abcdef"), u"");
}

}  // namespace
}  // namespace pellumar
