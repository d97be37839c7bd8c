// What Pellumar.exe carries: version block, icon, cursor, picture and manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "driver.h"
#include "resources/resource_ids.h"
#include "shell/wide.h"

namespace pellumar {
namespace {

std::u16string ExePath() { return testing::TestFolder() + PELLUMAR_EXE_FROM_TESTS; }

class ResourcesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    exe_ = LoadLibraryExW(shell::Wide(ExePath()), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  }
  static void TearDownTestSuite() { FreeLibrary(exe_); }
  static std::string Resource(const wchar_t* type, int id) {
    const HRSRC found = FindResourceW(exe_, MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    const auto* data = static_cast<const char*>(LockResource(LoadResource(exe_, found)));
    return std::string(data, SizeofResource(exe_, found));
  }
  static HMODULE exe_;
};

HMODULE ResourcesTest::exe_ = nullptr;

TEST_F(ResourcesTest, VersionBlock) {
  const std::u16string path = ExePath();
  DWORD handle = 0;
  std::string block(GetFileVersionInfoSizeW(shell::Wide(path), &handle), '\0');
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(shell::Wide(path), 0, static_cast<DWORD>(block.size()), block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  const std::pair<const wchar_t*, const char16_t*> strings[] = {
      {L"FileVersion", u"1.00"},          {L"ProductVersion", u"1.00"},
      {L"InternalName", u"Pellumar"},     {L"OriginalFilename", u"Pellumar.exe"},
      {L"CompanyName", u"Pellumar Labs"}, {L"ProductName", u"Pellumar"},
      {L"FileDescription", u"Pellumar"},  {L"LegalCopyright", app::kCredit.data()}};
  for (const auto& [key, expected] : strings) {
    wchar_t* value = nullptr;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        << "missing " << static_cast<char>(key[0]);
    EXPECT_EQ(shell::FromWide(value), expected);
  }
}

#pragma pack(push, 2)
struct GroupEntry {  // one image of an icon or cursor group resource
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

// The icon and the cursor each begin with their 32 x 32, 16-colour image as designed. The icon
// has the same in 32-bit colour for every size Windows asks for at 100 to 200 percent and in
// Explorer; the cursor a black and white hand for each larger pointer, its hot spot scaled.
TEST_F(ResourcesTest, IconAndCursorHoldTheir16ColourImageAndTheIconEverySize) {
  const std::string icons = Resource(RT_GROUP_ICON, IDI_PELLUMAR);
  ASSERT_GE(icons.size(), 6u);
  std::vector<std::pair<int, int>> sizes;  // width, bits per pixel
  for (std::size_t at = 6; at + sizeof(GroupEntry) <= icons.size(); at += sizeof(GroupEntry)) {
    const auto* entry = reinterpret_cast<const GroupEntry*>(icons.data() + at);
    sizes.emplace_back(entry->width ? entry->width : 256, entry->bitCount);
  }
  EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{
                       {32, 4}, {16, 32}, {20, 32}, {24, 32}, {32, 32}, {40, 32}, {48, 32}, {64, 32}, {256, 32}}));

  const std::string cursors = Resource(RT_GROUP_CURSOR, IDC_HANDPOINT);
  std::vector<std::tuple<LONG, WORD, WORD, WORD>> hands;  // size, bits, hot spot
  for (std::size_t at = 6; at + sizeof(GroupEntry) <= cursors.size(); at += sizeof(GroupEntry)) {
    const std::string image = Resource(RT_CURSOR, reinterpret_cast<const GroupEntry*>(cursors.data() + at)->id);
    ASSERT_GE(image.size(), 4 + sizeof(BITMAPINFOHEADER));
    const auto* hotSpot = reinterpret_cast<const WORD*>(image.data());
    const auto* bitmap = reinterpret_cast<const BITMAPINFOHEADER*>(image.data() + 4);
    EXPECT_EQ(bitmap->biHeight, 2 * bitmap->biWidth);  // colour and mask
    hands.emplace_back(bitmap->biWidth, bitmap->biBitCount, hotSpot[0], hotSpot[1]);
  }
  EXPECT_EQ(hands, (std::vector<std::tuple<LONG, WORD, WORD, WORD>>{
                       {32, 4, 12, 1}, {48, 1, 18, 1}, {64, 1, 24, 2}, {96, 1, 36, 3}, {128, 1, 48, 4}}));

  for (const auto& [groupType, imageType, id] :
       {std::tuple{RT_GROUP_ICON, RT_ICON, IDI_PELLUMAR}, std::tuple{RT_GROUP_CURSOR, RT_CURSOR, IDC_HANDPOINT}}) {
    const std::string group = Resource(groupType, id);
    ASSERT_GE(group.size(), 6 + sizeof(GroupEntry));
    const auto* entry = reinterpret_cast<const GroupEntry*>(group.data() + 6);  // the first
    const std::string image = Resource(imageType, entry->id);
    // A cursor's image starts with its hot spot.
    const std::size_t header = groupType == RT_GROUP_CURSOR ? 4 : 0;
    ASSERT_GE(image.size(), header + sizeof(BITMAPINFOHEADER));
    const auto* bitmap = reinterpret_cast<const BITMAPINFOHEADER*>(image.data() + header);
    EXPECT_EQ(bitmap->biWidth, 32);
    EXPECT_EQ(bitmap->biHeight, 64);  // colour and mask
    EXPECT_EQ(bitmap->biBitCount, 4);
    if (header) {
      const auto* hotSpot = reinterpret_cast<const WORD*>(image.data());
      EXPECT_EQ(hotSpot[0], 12);
      EXPECT_EQ(hotSpot[1], 1);
    }
  }
}

TEST_F(ResourcesTest, BackgroundIsA1152By864Jpeg) {
  const std::string jpeg = Resource(RT_RCDATA, IDR_BACKGROUND);
  ASSERT_GT(jpeg.size(), 4u);
  EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
  // The frame header (SOF0..SOF2) holds the height and the width.
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(jpeg[i]); };
  for (std::size_t i = 2; i + 9 < jpeg.size();) {
    if (byte(i) != 0xFF) break;
    const unsigned marker = byte(i + 1);
    if (marker >= 0xC0 && marker <= 0xC2) {
      EXPECT_EQ(byte(i + 5) * 256 + byte(i + 6), 864);
      EXPECT_EQ(byte(i + 7) * 256 + byte(i + 8), 1152);
      return;
    }
    i += 2 + byte(i + 2) * 256 + byte(i + 3);
  }
  ADD_FAILURE() << "no frame header";
}

TEST_F(ResourcesTest, ManifestAsksForPerMonitorDpiAndCommonControls6) {
  const std::string manifest = Resource(RT_MANIFEST, 1);
  EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}

}  // namespace
}  // namespace pellumar
