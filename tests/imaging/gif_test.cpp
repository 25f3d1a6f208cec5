#include "imaging/gif.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "imaging/errors.h"
#include "testing/expect_throw.h"
#include "tests/support/decoders.h"
#include "tests/support/file_layouts.h"
#include "tests/support/pictures.h"

namespace plotvane {
namespace {

using testing::DecodedGIF;
using testing::DecodeGIF;

using testing::GIFBlocks;
using testing::GIFLayout;

std::vector<uint8_t> Save(const TGIFImage& image) {
  std::vector<uint8_t> bytes;
  VectorByteWriter writer(&bytes);
  image.SaveToStream(&writer);
  return bytes;
}

// The steps a chart takes: quantize, assign, optimize, transparency, save.
std::vector<uint8_t> ChartGif(const TBitmap& bitmap, bool transparent = false, TColor colour = 0) {
  TGIFImage image;
  image.SetColorReduction(TColorReduction::rmQuantize);
  image.Assign(bitmap);
  image.OptimizeColorMap();
  if (transparent) image.ApplyTransparency(colour);
  return Save(image);
}

TColor EntryColour(const testing::Rgb& e) { return RGB(e[0], e[1], e[2]); }

// What every optimized file must show: one sorted global table holding each
// used colour exactly once, most used first, black padding to a power of two,
// no local table, sub-blocks of 255 bytes but the last.
void ExpectOptimizedFile(const std::vector<uint8_t>& file, const DecodedGIF& gif,
                         size_t used_colours) {
  const GIFLayout layout = GIFBlocks(file);
  ASSERT_TRUE(gif.has_global_map);
  EXPECT_TRUE(gif.sort_flag);
  EXPECT_FALSE(gif.has_local_map);
  int bits = 1;
  while ((size_t{1} << bits) < used_colours) ++bits;
  EXPECT_EQ(gif.global_map.size(), size_t{1} << bits);
  EXPECT_EQ(layout.screen_packed, 0x88 | (bits - 1) << 4 | (bits - 1));
  EXPECT_EQ(layout.min_code_size, std::max(bits, 2));
  EXPECT_EQ(layout.image_packed, 0);
  EXPECT_TRUE(layout.trailer);
  for (size_t i = 0; i + 1 < layout.sub_blocks.size(); ++i) {
    ASSERT_EQ(layout.sub_blocks[i], 255u) << "sub-block " << i;
  }
  for (size_t i = used_colours; i < gif.global_map.size(); ++i) {
    EXPECT_EQ(gif.global_map[i], (testing::Rgb{0, 0, 0})) << "padding entry " << i;
  }
  std::vector<size_t> counts(gif.global_map.size(), 0);
  for (uint8_t p : gif.pixels) ++counts[p];
  std::set<TColor> distinct;
  for (size_t i = 0; i < used_colours; ++i) {
    EXPECT_GT(counts[i], 0u) << "entry " << i << " unused";
    if (i > 0) {
      EXPECT_GE(counts[i - 1], counts[i]) << "entry " << i << " out of order";
    }
    distinct.insert(EntryColour(gif.global_map[i]));
  }
  EXPECT_EQ(distinct.size(), used_colours);
}

struct RoundTripCase {
  TPixelFormat format;
  int width, height, colours;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
  *os << testing::FormatName(c.format) << " " << c.width << "x" << c.height << " " << c.colours
      << " colours";
}

class GIFRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

// giflib must read back every pixel's colour exactly. 301 x 301 random pixels
// run through several string-table resets.
TEST_P(GIFRoundTripTest, GiflibReadsBackEveryPixel) {
  const RoundTripCase& c = GetParam();
  const uint32_t seed = static_cast<uint32_t>(c.width * 1000 + c.height + c.colours);
  const auto bitmap =
      c.format == TPixelFormat::pf24bit
          ? testing::RandomTrueColourBitmap(c.width, c.height, c.colours, seed)
          : testing::RandomIndexedBitmap(c.format, c.width, c.height, c.colours, seed);
  const std::vector<uint8_t> file = ChartGif(*bitmap);
  const DecodedGIF gif = DecodeGIF(file);
  ASSERT_EQ(gif.width, c.width);
  ASSERT_EQ(gif.height, c.height);
  EXPECT_EQ(gif.screen_width, c.width);
  EXPECT_EQ(gif.screen_height, c.height);
  EXPECT_EQ(GIFBlocks(file).version, "GIF87a");
  const std::vector<TColor> colours = testing::PixelColours(*bitmap);
  for (size_t p = 0; p < colours.size(); ++p) {
    ASSERT_EQ(EntryColour(gif.global_map[gif.pixels[p]]), colours[p])
        << "pixel " << p % c.width << "," << p / c.width;
  }
  ExpectOptimizedFile(file, gif, std::set<TColor>(colours.begin(), colours.end()).size());
}

std::vector<RoundTripCase> RoundTripCases() {
  std::vector<RoundTripCase> cases;
  for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {11, 13}, {301, 301}}) {
    cases.push_back({TPixelFormat::pf1bit, w, h, 2});
    cases.push_back({TPixelFormat::pf4bit, w, h, 16});
    cases.push_back({TPixelFormat::pf8bit, w, h, 256});
    cases.push_back({TPixelFormat::pf24bit, w, h, 200});  // few colours: kept exactly
  }
  cases.push_back({TPixelFormat::pf4bit, 40, 30, 2});    // 2 colours: b = 1
  cases.push_back({TPixelFormat::pf8bit, 40, 30, 5});    // 5 colours: b = 3
  cases.push_back({TPixelFormat::pf8bit, 64, 64, 256});  // every entry used: b = 8
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Sizes, GIFRoundTripTest, ::testing::ValuesIn(RoundTripCases()));

// A truecolour picture of some 100 000 colours is quantized: the file holds
// at most 256, giflib reads back exactly what the frame holds, and the
// dithered picture stays close to the original on average.
TEST(GIFTest, TrueColourPictureIsReducedTo256Colours) {
  const auto bitmap = testing::SmoothTrueColourBitmap(500, 300);
  const std::vector<TColor> original = testing::PixelColours(*bitmap);
  ASSERT_GT(std::set<TColor>(original.begin(), original.end()).size(), 100000u);
  TGIFImage image;
  image.Assign(*bitmap);
  image.OptimizeColorMap();
  const std::vector<uint8_t> file = Save(image);
  const DecodedGIF gif = DecodeGIF(file);
  ASSERT_EQ(gif.pixels, image.Images()[0].Data());
  ASSERT_LE(image.ColorMap().Count(), 256);
  // Dithering trades per-pixel error for a faithful local average: compare
  // the means of 8 x 8 blocks, per channel. The outermost blocks are left
  // out: the ramps peak there, beyond the palette's mean colours.
  const int w = bitmap->Width();
  double worst = 0;
  for (int by = 8; by + 16 <= bitmap->Height(); by += 8) {
    for (int bx = 8; bx + 16 <= w; bx += 8) {
      for (int channel = 0; channel < 3; ++channel) {
        double difference = 0;
        for (int y = by; y < by + 8; ++y) {
          for (int x = bx; x < bx + 8; ++x) {
            const size_t p = static_cast<size_t>(y) * w + x;
            difference += gif.global_map[gif.pixels[p]][channel];
            difference -= (original[p] >> (8 * channel)) & 0xFF;
          }
        }
        worst = std::max(worst, std::abs(difference) / 64);
      }
    }
  }
  EXPECT_LT(worst, 5.0);
  ExpectOptimizedFile(file, gif, static_cast<size_t>(image.ColorMap().Count()));
}

// The table order: most pixels first, equal counts by first palette index;
// equal palette colours merge into one entry; unused entries vanish.
TEST(GIFTest, OptimizeOrdersByCountThenPaletteIndexAndMergesEqualColours) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf4bit);
  const TPaletteEntry red{200, 10, 20, 0}, green{30, 180, 40, 0}, blue{50, 60, 170, 0};
  std::vector<TPaletteEntry> palette(16, TPaletteEntry{1, 2, 3, 0});
  palette[3] = blue;
  palette[5] = red;
  palette[9] = green;
  palette[12] = red;  // the same colour twice
  bitmap.SetPalette(palette);
  bitmap.SetSize(6, 1);
  for (auto [x, index] : {std::pair{0, 9}, {1, 3}, {2, 12}, {3, 5}, {4, 9}, {5, 3}}) {
    bitmap.SetIndex(x, 0, index);
  }
  TGIFImage image;
  image.Assign(bitmap);
  image.OptimizeColorMap();
  const TGIFColorMap& map = image.ColorMap();
  ASSERT_EQ(map.Count(), 3);
  // Two pixels each: blue (index 3) before red (indices 5 and 12) before green (9).
  EXPECT_EQ(map[0], (TGIFColor{50, 60, 170}));
  EXPECT_EQ(map[1], (TGIFColor{200, 10, 20}));
  EXPECT_EQ(map[2], (TGIFColor{30, 180, 40}));
  EXPECT_EQ(image.Images()[0].Data(), (std::vector<uint8_t>{2, 0, 1, 1, 2, 0}));
  EXPECT_EQ(image.Images()[0].ColorMap().Count(), 0);
}

// A one-colour picture still needs a 2-entry table (b = 1) and code size 2.
TEST(GIFTest, SingleColourPicture) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf8bit);
  bitmap.SetPalette({TPaletteEntry{9, 8, 7, 0}});
  bitmap.SetSize(3, 2);
  const std::vector<uint8_t> file = ChartGif(bitmap);
  const DecodedGIF gif = DecodeGIF(file);
  EXPECT_EQ(gif.global_map, (std::vector<testing::Rgb>{{9, 8, 7}, {0, 0, 0}}));
  EXPECT_EQ(gif.pixels, std::vector<uint8_t>(6, 0));
  EXPECT_EQ(GIFBlocks(file).min_code_size, 2);
}

struct TransparencyCase {
  const char* name;
  bool colour_present;
};

class GIFTransparencyTest : public ::testing::TestWithParam<TransparencyCase> {};

// Transparency writes a "89a" file with a graphic control extension: flags 1
// and the colour's index when the table has the colour, flags 0 and index 0
// when it does not.
TEST_P(GIFTransparencyTest, WritesTheGraphicControlExtension) {
  const auto bitmap = testing::RandomIndexedBitmap(TPixelFormat::pf4bit, 20, 10, 6, 4);
  TGIFImage image;
  image.Assign(*bitmap);
  image.OptimizeColorMap();
  const int wanted = 3;
  const TGIFColor c = image.ColorMap()[wanted];
  const TColor colour = GetParam().colour_present ? RGB(c.Red, c.Green, c.Blue) : 0x00FEFDFC;
  image.ApplyTransparency(colour);
  const std::vector<uint8_t> file = Save(image);
  const GIFLayout layout = GIFBlocks(file);
  EXPECT_EQ(layout.version, "GIF89a");
  ASSERT_EQ(layout.extensions.size(), 1u);
  const uint8_t flags = GetParam().colour_present ? 1 : 0;
  const uint8_t index = GetParam().colour_present ? wanted : 0;
  EXPECT_EQ(layout.extensions[0], (std::vector<uint8_t>{0x21, 0xF9, 4, flags, 0, 0, index, 0}));
  const DecodedGIF gif = DecodeGIF(file);
  EXPECT_EQ(gif.transparent_index, GetParam().colour_present ? wanted : -1);
}

INSTANTIATE_TEST_SUITE_P(Colours, GIFTransparencyTest,
                         ::testing::Values(TransparencyCase{"Present", true},
                                           TransparencyCase{"Absent", false}),
                         [](const ::testing::TestParamInfo<TransparencyCase>& param) {
                           return param.param.name;
                         });

class GIFEmptyTest : public ::testing::TestWithParam<bool> {};

// A bitmap without pixels: a 0 x 0 screen, packed byte 0x77, no table, no
// image descriptor; the extension (flags 0) when transparency is asked for.
TEST_P(GIFEmptyTest, WritesHeaderScreenAndTrailerOnly) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf4bit);
  bitmap.SetSize(0, 5);
  const bool transparent = GetParam();
  const std::vector<uint8_t> file = ChartGif(bitmap, transparent, 0);
  std::vector<uint8_t> expected = {
      'G', 'I',  'F', '8', static_cast<uint8_t>(transparent ? '9' : '7'), 'a', 0, 0, 0,
      0,   0x77, 0,   0};
  if (transparent) expected.insert(expected.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 0});
  expected.push_back(0x3B);
  EXPECT_EQ(file, expected);
}

INSTANTIATE_TEST_SUITE_P(Transparency, GIFEmptyTest, ::testing::Bool());

TEST(GIFTest, PixelOutsideTheTableFails) {
  const auto bitmap = testing::RandomIndexedBitmap(TPixelFormat::pf4bit, 4, 4, 3, 2);
  TGIFImage image;
  image.Assign(*bitmap);
  image.OptimizeColorMap();  // 3 colours: b = 2, indices 0..3 allowed
  image.Images()[0].Data()[5] = 4;
  EXPECT_THROW_MSG(Save(image), EGIFError, "Color not in color table");
}

// IndexOf gives the first match on an optimized map and the last otherwise.
TEST(GIFTest, IndexOfPicksFirstOrLastMatch) {
  TGIFColorMap map;
  for (TGIFColor c : {TGIFColor{1, 2, 3}, TGIFColor{4, 5, 6}, TGIFColor{1, 2, 3}}) map.Add(c);
  EXPECT_EQ(map.IndexOf(RGB(1, 2, 3)), 2);
  EXPECT_EQ(map.IndexOf(RGB(3, 2, 1)), -1);
  map.SetOptimized(true);
  EXPECT_EQ(map.IndexOf(RGB(1, 2, 3) | 0xFF000000), 0);
}

}  // namespace
}  // namespace plotvane
