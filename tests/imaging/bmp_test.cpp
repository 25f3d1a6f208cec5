#include "imaging/bmp.h"

#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/pictures.h"

namespace plotvane {
namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
         uint32_t{b[at + 3]} << 24;
}
uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }

// Reads a pixel's colour back from the file: rows bottom-up, padded to 4
// bytes, indices through the colour table stored blue, green, red, 0.
TColor FilePixel(const std::vector<uint8_t>& file, int x, int y) {
  const int width = static_cast<int>(U32(file, 18)), height = static_cast<int>(U32(file, 22));
  const int bits = static_cast<int>(U16(file, 28));
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  const uint8_t* row = &file[U32(file, 10) + stride * static_cast<size_t>(height - 1 - y)];
  if (bits == 24) return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
  const int index = bits == 8   ? row[x]
                    : bits == 4 ? (x & 1 ? row[x / 2] & 15 : row[x / 2] >> 4)
                                : (row[x / 8] >> (7 - x % 8)) & 1;
  const uint8_t* entry = &file[14 + 40 + 4 * static_cast<size_t>(index)];
  EXPECT_EQ(entry[3], 0);
  return RGB(entry[2], entry[1], entry[0]);
}

struct BmpCase {
  TPixelFormat format;
  int width, height;
};

void PrintTo(const BmpCase& c, std::ostream* os) {
  *os << testing::FormatName(c.format) << " " << c.width << "x" << c.height;
}

class BMPTest : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BMPTest, HeadersAndPixelsDescribeTheBitmap) {
  const BmpCase& c = GetParam();
  const uint32_t seed = static_cast<uint32_t>(c.width * 31 + c.height);
  const auto bitmap =
      c.format == TPixelFormat::pf24bit
          ? testing::RandomTrueColourBitmap(c.width, c.height, 0, seed)
          : testing::RandomIndexedBitmap(c.format, c.width, c.height,
                                         c.format == TPixelFormat::pf1bit ? 2 : 16, seed);
  const std::vector<uint8_t> file = EncodeBMP(*bitmap);
  const uint32_t bits = static_cast<uint32_t>(bitmap->BitsPerPixel());
  const uint32_t colours = bits == 24 ? 0 : 1u << bits;
  const uint32_t stride = ((c.width * bits + 31) / 32) * 4;
  const uint32_t offset = 14 + 40 + 4 * colours;
  ASSERT_EQ(file.size(), offset + stride * c.height);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(U32(file, 2), file.size());
  EXPECT_EQ(U32(file, 6), 0u);
  EXPECT_EQ(U32(file, 10), offset);
  EXPECT_EQ(U32(file, 14), 40u);
  EXPECT_EQ(U32(file, 18), static_cast<uint32_t>(c.width));
  EXPECT_EQ(U32(file, 22), static_cast<uint32_t>(c.height));  // positive: bottom-up
  EXPECT_EQ(U16(file, 26), 1u);
  EXPECT_EQ(U16(file, 28), bits);
  EXPECT_EQ(U32(file, 30), 0u);
  EXPECT_EQ(U32(file, 34), stride * c.height);
  EXPECT_EQ(U32(file, 46), colours);
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      ASSERT_EQ(FilePixel(file, x, y), bitmap->GetPixel(x, y) & 0xFFFFFF) << x << "," << y;
    }
  }
}

std::vector<BmpCase> Cases() {
  std::vector<BmpCase> cases;
  for (TPixelFormat f :
       {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit, TPixelFormat::pf24bit}) {
    for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {11, 13}, {301, 301}}) {
      cases.push_back({f, w, h});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Sizes, BMPTest, ::testing::ValuesIn(Cases()));

TEST(BMPEmptyTest, BitmapWithoutPixelsGivesNoBytes) {
  for (TPixelFormat f : {TPixelFormat::pfDevice, TPixelFormat::pf4bit, TPixelFormat::pf24bit}) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(f);
    bitmap.SetSize(9, 0);
    EXPECT_TRUE(EncodeBMP(bitmap).empty()) << testing::FormatName(f);
  }
}

}  // namespace
}  // namespace plotvane
