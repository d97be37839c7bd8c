#include "picture/jpeg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pellumar::picture {
namespace {

std::vector<std::uint8_t> Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::optional<Image> Decode(const std::vector<std::uint8_t>& data) { return DecodeJpeg(data.data(), data.size()); }

struct Rgb {
  int r, g, b;
};

Rgb At(const Image& image, int x, int y) {
  const std::uint32_t p = image.pixels[static_cast<std::size_t>(y * image.width + x)];
  return {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)};
}

TEST(JpegTest, DecodesTheWindowsBackground) {
  const auto image = Decode(Read(PELLUMAR_RESOURCES "/background.jpg"));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 1152);
  EXPECT_EQ(image->height, 864);
  for (const auto& [x, y] : {std::pair{0, 0}, {350, 203}, {1151, 863}, {600, 40}, {20, 500}}) {
    const Rgb c = At(*image, x, y);
    EXPECT_NEAR(c.r, 10, 3) << x << "," << y;
    EXPECT_NEAR(c.g, 107, 3) << x << "," << y;
    EXPECT_NEAR(c.b, 204, 3) << x << "," << y;
  }
  // The faint lighter line, 64 to 71 pixels from the top.
  for (int y = 65; y <= 70; ++y) EXPECT_GT(At(*image, 100, y).g, 115) << y;
}

// Each test picture against ImageMagick's own decoding of it. Chroma is widened by repeating
// samples, not smoothed, so subsampled colour may differ a little more at edges.
struct Reference {
  const char* name;
  double meanError;
};

class JpegReferenceTest : public ::testing::TestWithParam<Reference> {};

TEST_P(JpegReferenceTest, MatchesAnotherDecoder) {
  const std::string base = std::string(PELLUMAR_TEST_DATA "/") + GetParam().name;
  const auto image = Decode(Read(base + ".jpg"));
  const std::vector<std::uint8_t> reference = Read(base + ".rgb");
  ASSERT_TRUE(image);
  ASSERT_EQ(reference.size(), static_cast<std::size_t>(image->width * image->height * 3));
  double error = 0;
  for (std::size_t i = 0; i < image->pixels.size(); ++i) {
    const std::uint32_t p = image->pixels[i];
    error += std::abs(static_cast<int>(p >> 16 & 0xFF) - reference[3 * i]) +
             std::abs(static_cast<int>(p >> 8 & 0xFF) - reference[3 * i + 1]) +
             std::abs(static_cast<int>(p & 0xFF) - reference[3 * i + 2]);
  }
  EXPECT_LT(error / static_cast<double>(reference.size()), GetParam().meanError);
}

INSTANTIATE_TEST_SUITE_P(Pictures, JpegReferenceTest,
                         ::testing::Values(Reference{"colour-444", 1.5}, Reference{"colour-420", 4.0},
                                           Reference{"grey", 1.0}));

TEST(JpegTest, RefusesWhatItDoesNotDecode) {
  EXPECT_FALSE(Decode(Read(PELLUMAR_TEST_DATA "/progressive.jpg")));
  EXPECT_FALSE(Decode({}));
  EXPECT_FALSE(Decode({0xFF, 0xD8}));
  EXPECT_FALSE(Decode({0x89, 'P', 'N', 'G'}));
  EXPECT_FALSE(DecodeJpeg(nullptr, 10));
}

// A file cut short before its picture data begins gives no picture, and one cut inside it the
// whole picture, as far as the data goes; flipped bits anywhere give no crash, and flipped in
// the file's first marker, no picture.
TEST(JpegTest, DamagedDataIsRefusedOrDecodedWholeAndNeverCrashes) {
  const std::vector<std::uint8_t> good = Read(PELLUMAR_TEST_DATA "/colour-420.jpg");
  const auto whole = Decode(good);
  ASSERT_TRUE(whole);
  std::size_t scan = 0;  // where the picture data begins: after the start-of-scan header
  for (std::size_t i = 0; i + 3 < good.size() && !scan; ++i) {
    if (good[i] == 0xFF && good[i + 1] == 0xDA) scan = i + 2 + (good[i + 2] << 8 | good[i + 3]);
  }
  ASSERT_GT(scan, 0u);
  for (std::size_t length = 0; length < good.size(); length += 7) {
    const auto cut = Decode(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length)));
    if (length < scan) {
      EXPECT_FALSE(cut) << "cut to " << length << " bytes";
    } else {
      ASSERT_TRUE(cut) << "cut to " << length << " bytes";
      EXPECT_EQ(cut->width, whole->width);
      EXPECT_EQ(cut->height, whole->height);
    }
  }
  for (std::size_t i = 0; i < good.size(); i += 3) {
    std::vector<std::uint8_t> damaged = good;
    damaged[i] ^= 0xA5;
    const auto image = Decode(damaged);
    if (i < 2) {
      EXPECT_FALSE(image) << "byte " << i;
    }
  }
}

TEST(JpegTest, ATargetThatRefusesLeavesNoPicture) {
  const std::vector<std::uint8_t> good = Read(PELLUMAR_TEST_DATA "/grey.jpg");
  int asked = 0;
  EXPECT_FALSE(DecodeJpeg(good.data(), good.size(), [&](PictureSize whole, PictureSize part) -> std::uint32_t* {
    ++asked;
    EXPECT_EQ(whole.width, 48);
    EXPECT_EQ(whole.height, 40);
    EXPECT_EQ(part.width, 48);
    EXPECT_EQ(part.height, 40);
    return nullptr;
  }));
  EXPECT_EQ(asked, 1);
}

TEST(JpegTest, DecodesATopLeftPartExactlyAsTheWholePictureHasIt) {
  const std::vector<std::uint8_t> data = Read(PELLUMAR_TEST_DATA "/colour-420.jpg");
  const auto whole = Decode(data);
  ASSERT_TRUE(whole);
  for (const PictureSize limit : {PictureSize{20, 13}, PictureSize{1, 1}, PictureSize{100, 17}}) {
    std::vector<std::uint32_t> part;
    PictureSize told;
    ASSERT_TRUE(DecodeJpeg(data.data(), data.size(),
                           [&](PictureSize, PictureSize size) {
                             told = size;
                             part.resize(static_cast<std::size_t>(size.width * size.height));
                             return part.data();
                           },
                           limit));
    EXPECT_EQ(told.width, std::min(limit.width, 48));
    EXPECT_EQ(told.height, std::min(limit.height, 40));
    for (int y = 0; y < told.height; ++y) {
      for (int x = 0; x < told.width; ++x) {
        ASSERT_EQ(part[static_cast<std::size_t>(y * told.width + x)],
                  whole->pixels[static_cast<std::size_t>(y * 48 + x)]) << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace pellumar::picture
