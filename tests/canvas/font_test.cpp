#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "canvas/bitmap.h"
#include "canvas/canvas.h"
#include "canvas/font_config.h"
#include "canvas/font_instance.h"
#include "canvas/font_lookup.h"

namespace plotvane {
namespace {

std::string FileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

struct LookupCase {
  std::u16string name;
  bool bold;
  bool italic;
  const char* file;
};

class FontLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(FontLookupTest, ResolvesNamesToTheFaceOrItsStandIn) {
  const LookupCase& c = GetParam();
  EXPECT_EQ(FileName(ResolveFontFile(c.name, c.bold, c.italic)->path), c.file)
      << std::string(c.name.begin(), c.name.end()) << (c.bold ? " bold" : "")
      << (c.italic ? " italic" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Names, FontLookupTest,
    ::testing::Values(
        LookupCase{u"Arial", false, false, "LiberationSans-Regular.ttf"},
        LookupCase{u"ARIAL", true, false, "LiberationSans-Bold.ttf"},
        LookupCase{u"Arial", false, true, "LiberationSans-Italic.ttf"},
        LookupCase{u"Arial", true, true, "LiberationSans-BoldItalic.ttf"},
        LookupCase{u"Liberation Sans", false, false, "LiberationSans-Regular.ttf"},
        // Faces with a metric-compatible stand-in get it ...
        LookupCase{u"Times New Roman", false, false, "LiberationSerif-Regular.ttf"},
        LookupCase{u"Courier New", true, false, "LiberationMono-Bold.ttf"},
        // ... any other name gets the fallback face, never the system default.
        LookupCase{u"No Such Face", false, false, "LiberationSans-Regular.ttf"},
        LookupCase{u"Verdana", true, false, "LiberationSans-Bold.ttf"},
        LookupCase{u"", false, true, "LiberationSans-Italic.ttf"},
        LookupCase{u"sans-serif", false, false, "LiberationSans-Regular.ttf"},
        LookupCase{u"Arial:bold", false, false, "LiberationSans-Regular.ttf"},
        LookupCase{std::u16string(u"Times New Roman\0Arial", 21), false, false,
                   "LiberationSerif-Regular.ttf"},  // the name ends at a NUL
        LookupCase{std::u16string(1, 0xD800) + u"Arial", false, false,
                   "LiberationSans-Regular.ttf"},
        LookupCase{std::u16string(100000, u'x'), false, false, "LiberationSans-Regular.ttf"}));

// The face a code point the font lacks is drawn with: the closest installed
// face that has it, in the font's weight and slant where that face has them;
// none when no face has it. The faces are those tools/install-deps.sh
// installs (a CJK face among them).
struct FallbackCase {
  std::u16string name;
  bool bold;
  bool italic;
  char32_t code_point;
  const char* file;  // "" for none
  int face_index;
};

class FallbackFaceTest : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(FallbackFaceTest, IsTheClosestFaceThatHasTheCodePoint) {
  const FallbackCase& c = GetParam();
  const std::shared_ptr<const TFontFile> font = ResolveFontFile(c.name, c.bold, c.italic);
  const std::shared_ptr<const TFallbackBlock> block =
      ResolveFallbackBlock(*font, c.bold, c.italic, c.code_point / kFallbackBlockSize);
  const int k = block->face[c.code_point % kFallbackBlockSize];
  const std::string found =
      k == 0 ? "" : FileName(block->faces[k - 1]->path) + "#" +
                        std::to_string(block->faces[k - 1]->face_index);
  EXPECT_EQ(found, *c.file == 0 ? "" : c.file + ("#" + std::to_string(c.face_index)))
      << std::string(c.name.begin(), c.name.end()) << (c.bold ? " bold" : "")
      << (c.italic ? " italic" : "") << " U+" << std::hex << static_cast<uint32_t>(c.code_point);
}

INSTANTIATE_TEST_SUITE_P(
    CodePoints, FallbackFaceTest,
    ::testing::Values(
        FallbackCase{u"Arial", false, false, 0x4E2D, "wqy-microhei.ttc", 0},   // Han
        FallbackCase{u"Arial", true, true, 0xB9E4, "wqy-microhei.ttc", 0},     // Hangul, no bold
        FallbackCase{u"Courier New", false, false, 0x3042, "wqy-microhei.ttc", 1},  // kana, mono
        FallbackCase{u"Arial", true, false, 0x0531, "DejaVuSans-Bold.ttf", 0},  // Armenian
        FallbackCase{u"Times New Roman", false, false, 0x0531, "DejaVuSerif.ttf", 0},
        FallbackCase{u"Arial", false, false, 0xE000, "", 0},     // private use: nobody's
        FallbackCase{u"Arial", false, false, 0x0378, "", 0},     // unassigned
        FallbackCase{u"Arial", false, false, 0x110000, "", 0}));  // beyond the code space

// What a configuration makes of a face name: the families the pattern asks
// for after substitution, with their binding, and the file and face matched.
std::string MatchOf(FcConfig* config, const char* family, bool bold, bool italic) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  std::string out;
  FcValue value;
  FcValueBinding binding;
  for (int i = 0;
       FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i) {
    if (value.type == FcTypeString) {
      out += reinterpret_cast<const char*>(value.u.s) + std::string(":") +
             std::to_string(static_cast<int>(binding)) + ",";
    }
  }
  FcResult status = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &status);
  FcChar8* file = nullptr;
  int index = 0;
  if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    out += " -> " + std::string(reinterpret_cast<const char*>(file)) + "#" + std::to_string(index);
  }
  if (match != nullptr) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return out;
}

// The configuration that lookups use matches every name as fontconfig's own
// initialisation does, and "Arial" resolves to the very file that gives.
TEST(FontConfigTest, MatchesAsFontconfigsOwnInitialisation) {
  FcConfig* ours = LoadFontConfig();
  FcConfig* own = FcInitLoadConfigAndFonts();
  ASSERT_NE(ours, nullptr);
  ASSERT_NE(own, nullptr);
  for (const char* family : {"Arial", "Times New Roman", "Courier New", "Helvetica", "Verdana",
                             "Liberation Sans", "DejaVu Sans", "sans-serif", "serif",
                             "monospace", "No Such Face", ""}) {
    for (int style = 0; style < 4; ++style) {
      const bool bold = style & 1, italic = style & 2;
      EXPECT_EQ(MatchOf(ours, family, bold, italic), MatchOf(own, family, bold, italic))
          << family << (bold ? " bold" : "") << (italic ? " italic" : "");
    }
  }
  const std::string own_arial = MatchOf(own, "Arial", false, false);
  EXPECT_EQ(" -> " + ResolveFontFile(u"Arial", false, false)->path + "#0",
            own_arial.substr(own_arial.find(" -> ")));
  FcConfigDestroy(ours);
  FcConfigDestroy(own);
}

// A font instance renders a glyph too large to keep only within the visible
// box; whatever part is asked for, its pixels are those of the whole glyph.
TEST(FontInstanceTest, CutGlyphsHaveThePixelsOfTheWholeGlyph) {
  TFont font;
  font.Height = -5000;  // glyphs far beyond the size kept whole, in several tiles
  font.Style = fsBold;
  TFontInstance& instance = AcquireFontInstance(font);
  int64_t advance = 0;
  const TPixelBox all{-10000, -10000, 10000, 10000};
  const TGlyphImage whole = instance.DrawnGlyph(U'@', all, &advance);
  ASSERT_GT(whole.width, 4096);
  const int64_t x0 = whole.left, y0 = whole.top;
  int64_t ink = 0;
  // Across the whole glyph's tile seam, along a column, and a small square.
  for (const TPixelBox& part :
       {TPixelBox{x0 + 4000, y0 + 1000, x0 + 4200, y0 + 1100},
        TPixelBox{x0 + 1000, y0 - 10, x0 + 1100, y0 + whole.height + 10},
        TPixelBox{x0 + 2000, y0 + 2000, x0 + 2017, y0 + 2017}}) {
    const TGlyphImage& cut = instance.DrawnGlyph(U'@', part, &advance);
    for (int64_t y = part.top; y < part.bottom; ++y) {
      for (int64_t x = part.left; x < part.right; ++x) {
        const bool in_whole = y >= y0 && y < y0 + whole.height &&
                              whole.Test(static_cast<int>(x - x0), static_cast<int>(y - y0));
        const bool in_cut = x >= cut.left && x < cut.left + cut.width && y >= cut.top &&
                            y < cut.top + cut.height &&
                            cut.Test(static_cast<int>(x - cut.left), static_cast<int>(y - cut.top));
        ASSERT_EQ(in_cut, in_whole) << x << "," << y;
        ink += in_whole;
      }
    }
    EXPECT_LE(static_cast<int64_t>(cut.width) * cut.height,
              (part.right - part.left + 4) * (part.bottom - part.top + 4));
  }
  EXPECT_GT(ink, 0);
}

// Many fonts in turn, and texts of code points from more blocks than an
// instance keeps: the per-thread caches evict and remake instances and
// fallback choices, and every font keeps measuring the same.
TEST(FontInstanceTest, MeasuresTheSameAfterTheCachesTurnOver) {
  TBitmap bitmap;
  TCanvas& canvas = bitmap.Canvas();
  std::u16string blocks;  // one code point of each of 400 blocks, CJK among them
  for (char32_t c = 0x4E00; c < 0x4E00 + 400 * 0x100; c += 0x100) {
    if (c >= 0xD800 && c < 0xE000) continue;
    if (c < 0x10000) {
      blocks += static_cast<char16_t>(c);
    } else {
      blocks += {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
                 static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
    }
  }
  std::vector<int> first;
  for (int round = 0; round < 3; ++round) {
    for (int k = 0; k < 40; ++k) {
      canvas.Font().Height = -(8 + k);
      canvas.Font().Name = k % 2 ? u"Arial" : u"Face " + std::u16string(1, u'A' + k % 26);
      canvas.Font().Escapement = k % 3 * 900;
      const int width = canvas.TextWidth(u"Turn over 0123" + (k % 4 ? u"" : blocks));
      if (round == 0) {
        first.push_back(width);
      } else {
        EXPECT_EQ(width, first[k]) << k;
      }
    }
  }
}

}  // namespace
}  // namespace plotvane
