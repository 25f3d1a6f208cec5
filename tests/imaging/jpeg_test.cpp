#include "imaging/jpeg.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "imaging/errors.h"
#include "testing/expect_throw.h"
#include "tests/support/decoders.h"
#include "tests/support/pictures.h"

namespace plotvane {
namespace {

using testing::DecodedJPEG;
using testing::DecodeJPEG;

std::vector<uint8_t> Save(TJPEGImage* image) {
  std::vector<uint8_t> bytes;
  VectorByteWriter writer(&bytes);
  image->SaveToStream(&writer);
  return bytes;
}

std::vector<uint8_t> Encode(const TBitmap& bitmap, int quality) {
  TJPEGImage image;
  image.Assign(bitmap);
  image.SetCompressionQuality(quality);
  return Save(&image);
}

struct SizeCase {
  int width, height;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.width << "x" << c.height; }

class JPEGRoundTripTest : public ::testing::TestWithParam<SizeCase> {};

// At quality 100 libjpeg must read back a picture of random 2 x 2 cells within
// a few levels (only colour conversion and rounding lose anything), so a flip,
// a shift or a red/blue swap shows at once.
TEST_P(JPEGRoundTripTest, LibjpegReadsBackThePictureClosely) {
  const SizeCase& c = GetParam();
  const auto bitmap =
      testing::RandomCellBitmap(c.width, c.height, static_cast<uint32_t>(c.width + c.height));
  const DecodedJPEG jpeg = DecodeJPEG(Encode(*bitmap, 100));
  ASSERT_EQ(jpeg.width, c.width);
  ASSERT_EQ(jpeg.height, c.height);
  const std::vector<TColor> colours = testing::PixelColours(*bitmap);
  int worst = 0;
  double total = 0;
  for (size_t p = 0; p < colours.size(); ++p) {
    for (int channel = 0; channel < 3; ++channel) {
      const int difference = std::abs(jpeg.rgb[3 * p + channel] -
                                      static_cast<int>((colours[p] >> (8 * channel)) & 0xFF));
      worst = std::max(worst, difference);
      total += difference;
    }
  }
  EXPECT_LE(worst, 6);
  EXPECT_LE(total / (3.0 * colours.size()), 1.5);
}

INSTANTIATE_TEST_SUITE_P(Sizes, JPEGRoundTripTest,
                         ::testing::Values(SizeCase{1, 1}, SizeCase{1, 7}, SizeCase{7, 1},
                                           SizeCase{11, 13}, SizeCase{301, 301}));

// The base tables the library scales by quality, in natural order.
constexpr int kLuminance[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
constexpr int kChrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                  24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// The library's scaling: 5000 / q below 50, else 200 - 2q, as a percentage;
// baseline keeps every entry within 1..255.
int Scaled(int base, int quality) {
  const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
  return std::clamp((base * scale + 50) / 100, 1, 255);
}

struct QualityCase {
  int setting;
  int effective;  // what the library works with
};

void PrintTo(const QualityCase& c, std::ostream* os) { *os << "quality " << c.setting; }

class JPEGQualityTest : public ::testing::TestWithParam<QualityCase> {};

// The setting's low byte is the quality; the tables, the 4:2:0 sampling,
// the JFIF header and the single baseline scan follow from the library's
// defaults.
TEST_P(JPEGQualityTest, WritesTheScaledTablesOfABaselineFile) {
  const QualityCase& c = GetParam();
  const auto bitmap = testing::SmoothTrueColourBitmap(16, 16);
  TJPEGImage image;
  image.Assign(*bitmap);
  image.SetCompressionQuality(c.setting);
  EXPECT_EQ(image.CompressionQuality(), c.setting & 0xFF);
  const DecodedJPEG jpeg = DecodeJPEG(Save(&image));
  for (int i = 0; i < 64; ++i) {
    ASSERT_EQ(jpeg.quant[0][i], Scaled(kLuminance[i], c.effective)) << "luminance entry " << i;
    ASSERT_EQ(jpeg.quant[1][i], Scaled(kChrominance[i], c.effective)) << "chrominance entry " << i;
  }
  EXPECT_FALSE(jpeg.progressive);
  EXPECT_EQ(jpeg.components, 3);
  EXPECT_EQ(jpeg.sampling[0], (std::array<int, 2>{2, 2}));
  EXPECT_EQ(jpeg.sampling[1], (std::array<int, 2>{1, 1}));
  EXPECT_EQ(jpeg.sampling[2], (std::array<int, 2>{1, 1}));
  EXPECT_TRUE(jpeg.saw_jfif);
  EXPECT_EQ(jpeg.density_unit, 0);
  EXPECT_EQ(jpeg.x_density, 1);
  EXPECT_EQ(jpeg.y_density, 1);
}

INSTANTIATE_TEST_SUITE_P(Settings, JPEGQualityTest,
                         ::testing::Values(QualityCase{0, 1}, QualityCase{50, 50},
                                           QualityCase{100, 100}, QualityCase{150, 100},
                                           QualityCase{300, 44}, QualityCase{356, 100}));

// An indexed bitmap is expanded to its palette's colours before compression,
// so it gives the same bytes as its truecolour copy.
TEST(JPEGTest, IndexedBitmapEqualsItsTrueColourCopy) {
  const auto indexed = testing::RandomIndexedBitmap(TPixelFormat::pf4bit, 37, 23, 16, 8);
  TBitmap truecolour;
  truecolour.Assign(*indexed);
  truecolour.SetPixelFormat(TPixelFormat::pf24bit);
  ASSERT_EQ(testing::PixelColours(truecolour), testing::PixelColours(*indexed));
  EXPECT_EQ(Encode(*indexed, 90), Encode(truecolour, 90));
}

TEST(JPEGTest, BitmapWithoutPixelsGivesNoBytes) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf4bit);
  bitmap.SetSize(0, 10);
  EXPECT_TRUE(Encode(bitmap, 100).empty());
}

// A picture wider than the library allows makes it raise an error: the error
// arrives as an exception with the library's text, and the image stays usable.
TEST(JPEGTest, LibraryErrorBecomesAnExceptionAndTheImageRecovers) {
  TBitmap wide;
  wide.SetPixelFormat(TPixelFormat::pf24bit);
  wide.SetSize(65501, 1);
  TJPEGImage image;
  image.Assign(wide);
  std::vector<uint8_t> bytes;
  VectorByteWriter writer(&bytes);
  EXPECT_THROW_MSG(image.SaveToStream(&writer), EJPEGError,
                   "Maximum supported image dimension is 65500 pixels");
  EXPECT_TRUE(bytes.empty());
  image.Assign(*testing::SmoothTrueColourBitmap(5, 4));
  EXPECT_EQ(DecodeJPEG(Save(&image)).width, 5);
}

}  // namespace
}  // namespace plotvane
