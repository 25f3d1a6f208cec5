#include "imaging/pvPNGImage.h"

#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

#include "imaging/errors.h"
#include "imaging/png_chunks.h"
#include "tests/support/decoders.h"
#include "tests/support/file_layouts.h"
#include "tests/support/pictures.h"

namespace plotvane {
namespace {

using testing::DecodedPNG;
using testing::DecodePNG;

using testing::BigEndian32;
using testing::PNGChunk;
using testing::PNGChunkOrder;
using testing::PNGChunks;

std::vector<uint8_t> Save(const TpvPNGImage& image) {
  std::vector<uint8_t> bytes;
  VectorByteWriter writer(&bytes);
  image.SaveToStream(&writer);
  return bytes;
}

std::vector<uint8_t> Inflate(const std::vector<PNGChunk>& chunks, size_t expected) {
  std::vector<uint8_t> stream;
  for (const PNGChunk& c : chunks) {
    if (c.type == "IDAT") stream.insert(stream.end(), c.data.begin(), c.data.end());
  }
  std::vector<uint8_t> raw(expected + 1);
  uLongf size = raw.size();
  EXPECT_EQ(uncompress(raw.data(), &size, stream.data(), stream.size()), Z_OK);
  raw.resize(size);
  return raw;
}

struct RoundTripCase {
  TPixelFormat format;
  int width, height;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
  *os << testing::FormatName(c.format) << " " << c.width << "x" << c.height;
}

class PNGRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

// libpng must read back the exact palette and pixels, and the rows must carry
// the filter the format prescribes: None for indexed, Paeth for truecolour.
TEST_P(PNGRoundTripTest, LibpngReadsBackEveryPixel) {
  const RoundTripCase& c = GetParam();
  const uint32_t seed = static_cast<uint32_t>(c.width * 1000 + c.height);
  const auto bitmap = c.format == TPixelFormat::pf24bit
                          ? testing::RandomTrueColourBitmap(c.width, c.height, 0, seed)
                          : testing::RandomIndexedBitmap(c.format, c.width, c.height,
                                                         c.format == TPixelFormat::pf1bit   ? 2
                                                         : c.format == TPixelFormat::pf4bit ? 16
                                                                                            : 256,
                                                         seed);
  TpvPNGImage image;
  image.Assign(*bitmap);
  const std::vector<uint8_t> file = Save(image);
  const DecodedPNG png = DecodePNG(file);
  ASSERT_EQ(png.width, static_cast<uint32_t>(c.width));
  ASSERT_EQ(png.height, static_cast<uint32_t>(c.height));
  const bool truecolour = c.format == TPixelFormat::pf24bit;
  EXPECT_EQ(png.bit_depth, truecolour ? 8 : bitmap->BitsPerPixel());
  EXPECT_EQ(png.color_type, truecolour ? 2 : 3);
  EXPECT_EQ(png.palette.size(), bitmap->Palette().size());
  for (size_t i = 0; i < png.palette.size(); ++i) {
    const TPaletteEntry& e = bitmap->Palette()[i];
    EXPECT_EQ(png.palette[i], (testing::Rgb{e.peRed, e.peGreen, e.peBlue})) << "entry " << i;
  }
  const std::vector<TColor> colours = testing::PixelColours(*bitmap);
  for (size_t p = 0; p < colours.size(); ++p) {
    TColor got;
    if (truecolour) {
      got = RGB(png.samples[3 * p], png.samples[3 * p + 1], png.samples[3 * p + 2]);
    } else {
      const testing::Rgb& e = png.palette[png.samples[p]];
      got = RGB(e[0], e[1], e[2]);
    }
    ASSERT_EQ(got, colours[p]) << "pixel " << p % c.width << "," << p / c.width;
  }

  const size_t row_bytes = truecolour ? c.width * 3u : (c.width * bitmap->BitsPerPixel() + 7u) / 8;
  const std::vector<uint8_t> raw = Inflate(PNGChunks(file), c.height * (row_bytes + 1));
  ASSERT_EQ(raw.size(), c.height * (row_bytes + 1));
  for (int y = 0; y < c.height; ++y) {
    EXPECT_EQ(raw[y * (row_bytes + 1)], truecolour ? 4 : 0) << "filter of row " << y;
  }
}

std::vector<RoundTripCase> RoundTripCases() {
  std::vector<RoundTripCase> cases;
  for (TPixelFormat f :
       {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit, TPixelFormat::pf24bit}) {
    for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {11, 13}, {301, 301}}) {
      cases.push_back({f, w, h});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Sizes, PNGRoundTripTest, ::testing::ValuesIn(RoundTripCases()));

// Random truecolour data does not compress, so this picture needs more than
// one IDAT chunk; libpng must read it back across the cut.
TEST(PNGTest, PictureLargerThanOneDataChunk) {
  const auto bitmap = testing::RandomTrueColourBitmap(500, 400, 0, 11);
  TpvPNGImage image;
  image.Assign(*bitmap);
  const std::vector<uint8_t> file = Save(image);
  const std::vector<PNGChunk> chunks = PNGChunks(file);
  EXPECT_EQ(PNGChunkOrder(chunks), "IHDR IDAT IDAT IEND");
  EXPECT_EQ(chunks[1].data.size(), kIdatChunkBytes);
  const DecodedPNG png = DecodePNG(file);
  const std::vector<TColor> colours = testing::PixelColours(*bitmap);
  for (size_t p = 0; p < colours.size(); ++p) {
    ASSERT_EQ(RGB(png.samples[3 * p], png.samples[3 * p + 1], png.samples[3 * p + 2]), colours[p])
        << "pixel " << p;
  }
}

// Each thread compresses every picture with the one stream it keeps: what a
// picture compressed before must not change the next file, nor a file on
// another thread.
TEST(PNGTest, EarlierPicturesLeaveNoTraceInTheNext) {
  const auto chart = testing::RandomCellBitmap(400, 300, 5);
  const auto noise = testing::RandomTrueColourBitmap(300, 200, 0, 6);
  TpvPNGImage image, other;
  image.Assign(*chart);
  other.Assign(*noise);
  const std::vector<uint8_t> first = Save(image);
  Save(other);
  EXPECT_EQ(Save(image), first);
  std::vector<uint8_t> on_new_thread;
  std::thread([&] { on_new_thread = Save(image); }).join();
  EXPECT_EQ(on_new_thread, first);
}

struct IdatCase {
  size_t bytes;
  std::vector<size_t> chunk_sizes;
};

class IdatSplitTest : public ::testing::TestWithParam<IdatCase> {};

TEST_P(IdatSplitTest, CutsAtTheChunkSizeAndWritesAtLeastOne) {
  const IdatCase& c = GetParam();
  std::vector<uint8_t> data(c.bytes);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + i / 251);
  std::vector<uint8_t> file = {137, 80, 78, 71, 13, 10, 26, 10};
  VectorByteWriter writer(&file);
  WriteIDATChunks(&writer, data.data(), data.size());
  std::vector<size_t> sizes;
  std::vector<uint8_t> joined;
  for (const PNGChunk& chunk : PNGChunks(file)) {
    EXPECT_EQ(chunk.type, "IDAT");
    sizes.push_back(chunk.data.size());
    joined.insert(joined.end(), chunk.data.begin(), chunk.data.end());
  }
  EXPECT_EQ(sizes, c.chunk_sizes) << c.bytes << " bytes";
  EXPECT_EQ(joined, data);
}

INSTANTIATE_TEST_SUITE_P(Sizes, IdatSplitTest,
                         ::testing::Values(IdatCase{0, {0}}, IdatCase{1, {1}},
                                           IdatCase{512000, {512000}},
                                           IdatCase{512001, {512000, 1}},
                                           IdatCase{1024000, {512000, 512000}},
                                           IdatCase{1024001, {512000, 512000, 1}}));

// What the ancillary chunks carry for each transparency and resolution setting.
struct ChunkCase {
  const char* name;
  TPixelFormat format;
  bool transparent;
  TColor transparent_colour;  // for indexed pictures: taken from palette index `index`
  int index;                  // -1: a colour that is not in the palette
  int dpi;
  const char* order;
  std::vector<uint8_t> trns;
  uint32_t ppm;
};

void PrintTo(const ChunkCase& c, std::ostream* os) { *os << c.name; }

class PNGChunkTest : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(PNGChunkTest, WritesTransparencyAndResolutionAsSet) {
  const ChunkCase& c = GetParam();
  auto bitmap = c.format == TPixelFormat::pf24bit
                    ? testing::RandomTrueColourBitmap(5, 3, 4, 3)
                    : testing::RandomIndexedBitmap(c.format, 5, 3, 2, 3);
  TColor colour = c.transparent_colour;
  if (c.format != TPixelFormat::pf24bit) {
    if (c.index >= 0) {
      const TPaletteEntry& e = bitmap->Palette()[static_cast<size_t>(c.index)];
      colour = RGB(e.peRed, e.peGreen, e.peBlue);
    } else {
      colour = 0x00FEFDFC;  // the test palette never repeats a channel value
    }
  }
  TpvPNGImage image;
  image.Assign(*bitmap);
  if (c.transparent) image.SetTransparency(colour | 0xAB000000, true);
  if (c.dpi != 0) {
    image.SetXDPI(c.dpi);
    image.SetYDPI(c.dpi);
  }
  const std::vector<uint8_t> file = Save(image);
  const std::vector<PNGChunk> chunks = PNGChunks(file);
  EXPECT_EQ(PNGChunkOrder(chunks), c.order);
  for (const PNGChunk& chunk : chunks) {
    if (chunk.type == "tRNS") {
      EXPECT_EQ(chunk.data, c.trns);
    }
    if (chunk.type == "pHYs") {
      EXPECT_EQ(BigEndian32(&chunk.data[0]), c.ppm);
      EXPECT_EQ(BigEndian32(&chunk.data[4]), c.ppm);
      EXPECT_EQ(chunk.data[8], 1);
      EXPECT_EQ(image.XDPI(), c.dpi);
    }
  }
  const DecodedPNG png = DecodePNG(file);  // libpng accepts what was written
  EXPECT_EQ(png.has_phys, c.ppm != 0);
}

const TColor kRgbColour = RGB(0x12, 0x34, 0x56);

INSTANTIATE_TEST_SUITE_P(
    Settings, PNGChunkTest,
    ::testing::Values(
        ChunkCase{"Opaque4Bit", TPixelFormat::pf4bit, false, 0, 0, 0, "IHDR PLTE IDAT IEND", {}, 0},
        ChunkCase{"TransparentIndex0",
                  TPixelFormat::pf4bit,
                  true,
                  0,
                  0,
                  0,
                  "IHDR PLTE tRNS IDAT IEND",
                  {0},
                  0},
        ChunkCase{"TransparentIndex5",
                  TPixelFormat::pf4bit,
                  true,
                  0,
                  5,
                  0,
                  "IHDR PLTE tRNS IDAT IEND",
                  {255, 255, 255, 255, 255, 0},
                  0},
        ChunkCase{"TransparentIndex255", TPixelFormat::pf8bit, true, 0, 255, 0,
                  "IHDR PLTE tRNS IDAT IEND",
                  [] {
                    std::vector<uint8_t> v(256, 255);
                    v.back() = 0;
                    return v;
                  }(),
                  0},
        ChunkCase{"TransparentColourNotInPalette",
                  TPixelFormat::pf1bit,
                  true,
                  0,
                  -1,
                  0,
                  "IHDR PLTE IDAT IEND",
                  {},
                  0},
        ChunkCase{"TransparentTruecolour",
                  TPixelFormat::pf24bit,
                  true,
                  kRgbColour,
                  0,
                  0,
                  "IHDR tRNS IDAT IEND",
                  {0, 0x12, 0, 0x34, 0, 0x56},
                  0},
        ChunkCase{
            "Dpi72", TPixelFormat::pf4bit, false, 0, 0, 72, "IHDR PLTE pHYs IDAT IEND", {}, 2835},
        ChunkCase{"Dpi96", TPixelFormat::pf24bit, false, 0, 0, 96, "IHDR pHYs IDAT IEND", {}, 3780},
        ChunkCase{"Dpi300Transparent",
                  TPixelFormat::pf8bit,
                  true,
                  0,
                  1,
                  300,
                  "IHDR PLTE tRNS pHYs IDAT IEND",
                  {255, 0},
                  11811},
        // A negative resolution is no resolution, not a wrapped-around giant.
        ChunkCase{
            "DpiNegative", TPixelFormat::pf4bit, false, 0, 0, -96, "IHDR PLTE IDAT IEND", {}, 0}),
    [](const ::testing::TestParamInfo<ChunkCase>& param) { return param.param.name; });

// Resolutions past what the file's 31-bit fields hold are capped, not wrapped.
TEST(PNGTest, HugeResolutionIsCapped) {
  TpvPNGImage image;
  image.Assign(*testing::RandomIndexedBitmap(TPixelFormat::pf4bit, 2, 2, 2, 1));
  image.SetXDPI(2000000000);
  image.SetYDPI(1);
  for (const PNGChunk& chunk : PNGChunks(Save(image))) {
    if (chunk.type != "pHYs") continue;
    EXPECT_EQ(BigEndian32(&chunk.data[0]), 2147483647u);
    EXPECT_EQ(BigEndian32(&chunk.data[4]), 39u);
  }
}

// Assigning a new bitmap forgets the transparency and resolution of the last.
TEST(PNGTest, AssignResetsTransparencyAndResolution) {
  const auto bitmap = testing::RandomIndexedBitmap(TPixelFormat::pf4bit, 3, 3, 4, 5);
  const TPaletteEntry& e = bitmap->Palette()[2];
  TpvPNGImage image;
  image.Assign(*bitmap);
  image.SetTransparency(RGB(e.peRed, e.peGreen, e.peBlue), true);
  image.SetXDPI(96);
  image.SetYDPI(96);
  TpvPNGImage copy;
  copy.Assign(image);
  EXPECT_EQ(PNGChunkOrder(PNGChunks(Save(copy))), "IHDR PLTE tRNS pHYs IDAT IEND");
  image.Assign(*bitmap);
  EXPECT_EQ(PNGChunkOrder(PNGChunks(Save(image))), "IHDR PLTE IDAT IEND");
}

class PNGEmptyTest : public ::testing::TestWithParam<TPixelFormat> {};

// A bitmap without pixels, whatever its format (and even when made
// transparent), gives the same fixed file: 0 x 0, 16 black palette entries,
// an empty zlib stream.
TEST_P(PNGEmptyTest, WritesTheFixedEmptyFile) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(GetParam());
  bitmap.SetSize(7, 0);
  TpvPNGImage image;
  image.Assign(bitmap);
  image.SetTransparency(0, true);
  const std::vector<uint8_t> file = Save(image);
  const std::vector<PNGChunk> chunks = PNGChunks(file);
  ASSERT_EQ(PNGChunkOrder(chunks), "IHDR PLTE IDAT IEND");
  EXPECT_EQ(chunks[0].data, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 4, 3, 0, 0, 0}));
  EXPECT_EQ(chunks[1].data, std::vector<uint8_t>(48, 0));
  EXPECT_EQ(chunks[2].data, (std::vector<uint8_t>{0x78, 0x9C, 0x03, 0x00, 0, 0, 0, 1}));
  EXPECT_EQ(file.size(), 8 + 25 + 60 + 20 + 12u);
}

INSTANTIATE_TEST_SUITE_P(Formats, PNGEmptyTest,
                         ::testing::Values(TPixelFormat::pfDevice, TPixelFormat::pf1bit,
                                           TPixelFormat::pf4bit, TPixelFormat::pf8bit,
                                           TPixelFormat::pf24bit),
                         [](const ::testing::TestParamInfo<TPixelFormat>& param) {
                           const std::string name = testing::FormatName(param.param);
                           return name.substr(0, name.find('-'));
                         });

}  // namespace
}  // namespace plotvane
