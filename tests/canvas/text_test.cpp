#include <algorithm>
#include <climits>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/utf.h"
#include "canvas/bitmap.h"
#include "canvas/canvas.h"
#include "canvas/font_instance.h"
#include "canvas/font_lookup.h"
#include "tests/canvas/text_script.h"

namespace plotvane {
namespace {

using testing_text::ReadTextFile;
using testing_text::TextScript;

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A pixel row as characters: '.' for the row's most common colour, '#' for
// black, 'o' for anything else.
std::string Sketch(const std::string& row) {
  std::vector<std::string> pixels;
  std::istringstream in(row);
  for (std::string p; in >> p;) pixels.push_back(p);
  std::string out;
  for (const std::string& p : pixels) out += p == "000000" ? '#' : p == "FFFFFF" ? '.' : 'o';
  return out;
}

// Scripts recorded from the reference renderer: metrics, extents, blocks and
// the pixels of unturned and turned text must come out the same.
class RecordedTextScriptTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RecordedTextScriptTest, PrintsAndPaintsWhatTheReferenceDid) {
  const std::string base = std::string(PLOTVANE_TEST_DATA) + "/canvas/" + GetParam();
  TextScript script;
  script.Run(ReadTextFile(base + ".ops"));
  const std::vector<std::string> expected = SplitLines(ReadTextFile(base + ".expected"));
  const std::vector<std::string>& actual = script.Output();
  ASSERT_EQ(actual.size(), expected.size()) << GetParam();
  int failures = 0;
  for (size_t i = 0; i < expected.size() && failures < 8; ++i) {
    if (actual[i] == expected[i]) continue;
    ++failures;
    ADD_FAILURE() << GetParam() << ".ops line " << script.ScriptLines()[i] << ", output line "
                  << i + 1 << ": expected \"" << expected[i] << "\", got \"" << actual[i] << "\""
                  << (script.Rows()[i].empty() ? "" : "\n  our row: " + Sketch(script.Rows()[i]));
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, RecordedTextScriptTest,
                         ::testing::Values("text_metrics", "text_cells", "text_sizes",
                                           "text_glyphs", "text_turned", "text_blocks"));

constexpr TColor kWhite = 0xFFFFFF, kBlack = 0, kYellow = RGB(255, 255, 0);

std::unique_ptr<TBitmap> WhiteBitmap(int w, int h) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf24bit);
  bitmap->SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) bitmap->SetPixel(x, y, kWhite);
  }
  return bitmap;
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
    }
  }
  return true;
}

// A turned text on a solid brush fills its cell turned about the reference
// point ("Apples" at 8 points: 33 x 12).
struct TurnedCellCase {
  int escapement;
  unsigned align;
  TRect cell;  // the background expected, reference point (60, 60)
};

class TurnedCellTest : public ::testing::TestWithParam<TurnedCellCase> {};

TEST_P(TurnedCellTest, FillsTheCellTurnedAboutTheReferencePoint) {
  const TurnedCellCase& c = GetParam();
  auto bitmap = WhiteBitmap(120, 120);
  TCanvas& canvas = bitmap->Canvas();
  canvas.Font().Escapement = c.escapement;
  canvas.Brush().SetColor(kYellow);
  canvas.SetTextAlign(c.align);
  canvas.TextOut(60, 60, u"Apples");
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 120; ++x) {
      const bool inside = x >= c.cell.Left && x < c.cell.Right && y >= c.cell.Top &&
                          y < c.cell.Bottom;
      const TColor p = bitmap->GetPixel(x, y);
      if (inside) {
        ASSERT_TRUE(p == kYellow || p == kBlack) << "escapement " << c.escapement << " at " << x
                                                 << "," << y;
      } else {
        ASSERT_NE(p, kYellow) << "escapement " << c.escapement << " at " << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Directions, TurnedCellTest,
    ::testing::Values(TurnedCellCase{0, TA_LEFT | TA_TOP, {60, 60, 93, 72}},
                      TurnedCellCase{900, TA_LEFT | TA_TOP, {60, 27, 72, 60}},
                      TurnedCellCase{900, TA_RIGHT | TA_BOTTOM, {48, 60, 60, 93}},
                      TurnedCellCase{900, TA_CENTER | TA_BASELINE, {50, 43, 62, 76}},
                      TurnedCellCase{2700, TA_LEFT | TA_TOP, {48, 60, 60, 93}},
                      TurnedCellCase{1800, TA_LEFT | TA_TOP, {27, 48, 60, 60}}));

// The missing-glyph box of the font: what a code point no installed face has
// draws.
TEST(TextUnitsTest, SurrogatePairsAreOneCodePointAndStraySurrogatesDrawTheBox) {
  TBitmap measuring;
  TCanvas& canvas = measuring.Canvas();
  const int box = canvas.TextWidth(u"\uE000");
  const int a = canvas.TextWidth(u"a");
  ASSERT_GT(box, 0);
  const struct {
    std::u16string text;
    int width;
  } cases[] = {
      {u"\U0010FFFD", box},             // a pair: one code point no face has
      {std::u16string(1, 0xD83D), box},  // a high surrogate alone
      {std::u16string(1, 0xDE00), box},  // a low surrogate alone
      {std::u16string{0xDE00, 0xD83D}, 2 * box},  // in the wrong order: two strays
      {std::u16string{u'a', 0xD83D}, a + box},    // cut off at the end
  };
  for (const auto& c : cases) EXPECT_EQ(canvas.TextWidth(c.text), c.width);

  auto pair = WhiteBitmap(40, 20), lacking = WhiteBitmap(40, 20), stray = WhiteBitmap(40, 20);
  pair->Canvas().TextOut(2, 2, u"\U0010FFFD");
  lacking->Canvas().TextOut(2, 2, u"\uE000");
  stray->Canvas().TextOut(2, 2, std::u16string(1, 0xDBFF));
  EXPECT_TRUE(SamePixels(*pair, *lacking));
  EXPECT_TRUE(SamePixels(*stray, *lacking));
}

// The family of the face that draws `code_point` for `font`, which lacks it.
std::u16string FallbackFamily(const TFont& font, char32_t code_point) {
  const auto file = ResolveFontFile(font.Name, font.Bold(), (font.Style & fsItalic) != 0);
  const auto block = ResolveFallbackBlock(*file, font.Bold(), (font.Style & fsItalic) != 0,
                                          code_point / kFallbackBlockSize);
  const int k = block->face[code_point % kFallbackBlockSize];
  return k == 0 ? u"" : Utf8ToUtf16(block->faces[k - 1]->family);
}

// A title in Latin, Greek, Cyrillic, Chinese, Japanese and Korean, and a code
// point no face has, upright and turned: what the font lacks is measured and
// drawn by the face that has it at the font's pixel size, on its baseline;
// the cell stays the font's.
class FallbackTextTest : public ::testing::TestWithParam<int> {};

TEST_P(FallbackTextTest, MeasuresAndDrawsWithTheFacesThatHaveTheCodePoints) {
  const std::u16string own = u"Sales \u0395\u03BB\u03BB\u03AC\u03B4\u03B1 "
                             u"\u041F\u0440\u043E\u0434\u0430\u0436\u0438 ";
  const std::u16string cjk = u"\u9500\u552E\u58F2\u4E0A\uB9E4\uCD9C";
  const std::u16string none = u"\uE000";
  TBitmap measuring;
  TCanvas& canvas = measuring.Canvas();
  canvas.Font().Height = -16;
  canvas.Font().Escapement = GetParam();
  TFont fallback = canvas.Font();

  int expected = canvas.TextWidth(own) + canvas.TextWidth(none);
  for (char16_t unit : cjk) {
    fallback.Name = FallbackFamily(canvas.Font(), unit);
    ASSERT_FALSE(fallback.Name.empty())
        << "no installed face has U+" << std::hex << static_cast<int>(unit)
        << ": tools/install-deps.sh installs one";
    TBitmap other;
    other.Canvas().Font() = fallback;
    expected += other.Canvas().TextWidth(std::u16string(1, unit));
  }
  EXPECT_EQ(canvas.TextExtent(own + cjk + none).cx, expected);
  EXPECT_EQ(canvas.TextExtent(own + cjk + none).cy, canvas.TextHeight(u"S"));

  // The fallback glyphs, drawn by the font and by their face by name alike.
  auto linked = WhiteBitmap(160, 160), named = WhiteBitmap(160, 160);
  for (TBitmap* b : {linked.get(), named.get()}) {
    b->Canvas().Font() = b == linked.get() ? canvas.Font() : fallback;
    b->Canvas().Brush().SetStyle(TBrushStyle::bsClear);
    b->Canvas().SetTextAlign(TA_LEFT | TA_BASELINE);
    b->Canvas().TextOut(40, 120, cjk);
  }
  EXPECT_TRUE(SamePixels(*linked, *named));
  int ink = 0;
  for (int y = 0; y < 160; ++y) {
    for (int x = 0; x < 160; ++x) ink += linked->GetPixel(x, y) == kBlack;
  }
  EXPECT_GT(ink, 100);
}

INSTANTIATE_TEST_SUITE_P(Directions, FallbackTextTest, ::testing::Values(0, 900));

TEST(HugeFontTest, MeasuresWithoutOverflowAndDrawsOnlyWhatIsVisible) {
  TBitmap measuring;
  TCanvas& canvas = measuring.Canvas();
  canvas.Font().Height = -133333;  // 100000 points
  const TTextMetric m = canvas.GetTextMetrics();
  EXPECT_EQ(m.tmHeight, m.tmAscent + m.tmDescent);
  EXPECT_GT(m.tmHeight, 133333);
  EXPECT_GT(canvas.TextWidth(u"Apples"), 300000);
  EXPECT_EQ(canvas.TextWidth(std::u16string(20000, u'W')), INT_MAX);  // saturates
  for (int height : {INT_MIN, INT_MAX, INT_MIN + 1}) {
    canvas.Font().Height = height;
    EXPECT_GT(canvas.TextExtent(u"Apples").cy, 0) << height;
  }

  // The stem of an "l" 133333 pixels high covers the whole bitmap.
  auto bitmap = WhiteBitmap(64, 48);
  TCanvas& drawing = bitmap->Canvas();
  drawing.Font().Height = -133333;
  drawing.Brush().SetStyle(TBrushStyle::bsClear);
  drawing.SetTextAlign(TA_LEFT | TA_BASELINE);
  drawing.TextOut(-10000, 48, u"l");
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) ASSERT_EQ(bitmap->GetPixel(x, y), kBlack) << x << "," << y;
  }
  // Turned and at extreme positions nothing breaks.
  drawing.Font().Escapement = 450;
  drawing.TextOut(INT_MAX, INT_MIN, u"Wg");
  drawing.Font().Height = INT_MIN;
  drawing.Font().Escapement = INT_MIN;
  drawing.TextOut(INT_MIN, INT_MAX, u"Wg");
}

// A text drawn over the edges of a bitmap paints what the same text shows
// through that window of a bitmap twice as wide and high: glyphs off the
// bitmap are skipped, glyphs kept whole or rendered whole for the drawing
// are painted in part, and a glyph's pixels do not depend on where the
// bitmap cuts it. The windows are drawn before and after the large bitmap,
// so that each finds the glyphs the other left in the thread's caches.
struct WindowCase {
  int height;
  int escapement;
};

class TextWindowTest : public ::testing::TestWithParam<WindowCase> {};

TEST_P(TextWindowTest, PaintsWhatALargerBitmapShowsThroughTheWindow) {
  constexpr int kW = 480, kH = 360;
  const WindowCase& c = GetParam();
  const auto draw = [&c](TBitmap& bitmap, int dx, int dy) {
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font().Height = c.height;
    canvas.Font().Escapement = c.escapement;
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.SetTextAlign(TA_LEFT | TA_BASELINE);
    for (const TPoint at : {TPoint{-200, 600}, TPoint{300, 420}, TPoint{700, 150}}) {
      canvas.TextOut(at.x - dx, at.y - dy, u"Wg@\u56fe&");
    }
  };
  auto large = WhiteBitmap(2 * kW, 2 * kH);
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) draw(*large, 0, 0);
    for (int window = 0; window < 4; ++window) {
      const int x0 = window % 2 * kW, y0 = window / 2 * kH;
      auto small = WhiteBitmap(kW, kH);
      draw(*small, x0, y0);
      if (pass == 0) continue;
      for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
          ASSERT_EQ(small->GetPixel(x, y), large->GetPixel(x0 + x, y0 + y))
              << "window " << window << " at " << x << "," << y;
        }
      }
    }
  }
  int ink = 0;
  for (int y = 0; y < 2 * kH; ++y) {
    for (int x = 0; x < 2 * kW; ++x) ink += large->GetPixel(x, y) == kBlack;
  }
  EXPECT_GT(ink, 2000);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TextWindowTest,
                         ::testing::Values(WindowCase{-60, 0},  // kept whole by the font
                                           WindowCase{-60, 2700},
                                           WindowCase{-450, 0},  // rendered whole per drawing
                                           WindowCase{-450, 450}));

// Long texts far larger than the bitmap, over and beyond it: however many
// there are, the glyphs rendered come to a few bitmaps' worth of pixels.
// Glyphs off the bitmap are never rendered, and those drawn again are
// painted from the drawing's own rendering.
TEST(HugeTextTest, RendersAFewBitmapsWorthWhateverTheNumberOfTexts) {
  constexpr int kSide = 1024;
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf4bit);
  bitmap->SetPalette({{255, 255, 255, 0}, {0, 0, 0, 0}});
  bitmap->SetSize(kSide, kSide);
  TCanvas& canvas = bitmap->Canvas();
  canvas.Font().Height = -1000;
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  const std::u16string text = [] {
    std::u16string t;
    while (t.size() < 310) t += u"WMQ@#%&";
    return t;
  }();
  const int64_t before = RenderedGlyphPixels();
  uint32_t seed = 1;
  const auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % (4 * kSide)) - 2 * kSide;
  };
  for (int i = 0; i < 600; ++i) {
    const int x = next(), y = next();
    canvas.TextOut(x, y, text);
  }
  const int64_t rendered = RenderedGlyphPixels() - before;
  // Seven glyphs, each rendered whole once: about a bitmap each.
  EXPECT_LE(rendered, 8 * int64_t{kSide} * kSide);
  int ink = 0;
  for (int y = 0; y < kSide; y += 7) {
    for (int x = 0; x < kSide; x += 7) ink += bitmap->GetIndex(x, y) == 1;
  }
  EXPECT_GT(ink, 1000);
}

TEST(EmptyBitmapTest, DrawingDoesNothingAndMeasuringWorks) {
  TBitmap empty;
  TCanvas& canvas = empty.Canvas();
  canvas.TextOut(0, 0, u"Apples");
  TRect r{0, 0, 100, 100};
  canvas.DrawText(u"Apples\nPears", r, DT_NOCLIP | DT_NOPREFIX);
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(canvas.TextWidth(u"Apples"), 33);
  EXPECT_EQ(canvas.TextHeight(u"Apples"), 12);
  EXPECT_EQ(canvas.DrawText(u"Apples\nPears", r, DT_CALCRECT | DT_NOPREFIX), 24);
  EXPECT_EQ(r.Right, 33);
  EXPECT_EQ(r.Bottom, 24);
}

// DrawText places each line as TextOut would at the line's own position.
struct BlockCase {
  unsigned format;
  std::u16string text;
  std::vector<std::u16string> lines;  // what TextOut draws, one line each
  std::vector<int> xs;                // at these x, lines 12 pixels apart from y 10
};

class DrawTextTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(DrawTextTest, DrawsLikeTextOutLineByLine) {
  const BlockCase& c = GetParam();
  auto block = WhiteBitmap(160, 60), lines = WhiteBitmap(160, 60);
  TRect r{20, 10, 140, 50};
  block->Canvas().Brush().SetStyle(TBrushStyle::bsClear);
  block->Canvas().DrawText(c.text, r, c.format | DT_NOCLIP);
  lines->Canvas().Brush().SetStyle(TBrushStyle::bsClear);
  for (size_t k = 0; k < c.lines.size(); ++k) {
    lines->Canvas().TextOut(c.xs[k], 10 + 12 * static_cast<int>(k), c.lines[k]);
  }
  EXPECT_TRUE(SamePixels(*block, *lines));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DrawTextTest,
    ::testing::Values(BlockCase{DT_LEFT | DT_NOPREFIX, u"Apples\r\nX", {u"Apples", u"X"}, {20, 20}},
                      // (20 + 140 - 33) / 2 = 63, (160 - 7) / 2 = 76
                      BlockCase{DT_CENTER | DT_NOPREFIX, u"Apples\nX", {u"Apples", u"X"}, {63, 76}},
                      BlockCase{DT_RIGHT | DT_NOPREFIX, u"Apples\nX", {u"Apples", u"X"}, {107, 133}},
                      BlockCase{DT_LEFT, u"&&a && b", {u"&a & b"}, {20}}));

TEST(DrawTextTest, UnderlinesTheMarkedCharacterAndClipsToTheRectangle) {
  auto marked = WhiteBitmap(80, 30), plain = WhiteBitmap(80, 30);
  TRect r{10, 5, 70, 25};
  marked->Canvas().DrawText(u"&File", r, DT_LEFT);
  plain->Canvas().TextOut(10, 5, u"File");
  // "F" is 7 pixels wide: its underline runs from x 10 to 15, one row below
  // the baseline (ascent 10).
  for (int x = 0; x < 80; ++x) {
    for (int y = 0; y < 30; ++y) {
      const bool line = y == 16 && x >= 10 && x < 16;
      ASSERT_EQ(marked->GetPixel(x, y), line ? kBlack : plain->GetPixel(x, y)) << x << "," << y;
    }
  }

  auto clipped = WhiteBitmap(80, 30);
  TRect small{12, 7, 20, 12};
  clipped->Canvas().Brush().SetColor(kYellow);
  clipped->Canvas().DrawText(u"Apples", small, DT_LEFT | DT_NOPREFIX);
  for (int x = 0; x < 80; ++x) {
    for (int y = 0; y < 30; ++y) {
      const bool inside = x >= 12 && x < 20 && y >= 7 && y < 12;
      if (!inside) {
        ASSERT_EQ(clipped->GetPixel(x, y), kWhite) << x << "," << y;
      }
    }
  }
}

// Canvases on several threads draw at once; each gets what it gets alone.
// The texts have code points the fonts lack, from blocks no other test asks
// for, so that the threads meet while the fallback faces are being chosen.
TEST(TextThreadsTest, CanvasesOnSeveralThreadsDrawAsTheyDoAlone) {
  const auto draw = [](TBitmap& bitmap, int seed) {
    TCanvas& canvas = bitmap.Canvas();
    for (int i = 0; i < 24; ++i) {
      const int k = (seed + i) % 24;
      canvas.Font().Height = -(9 + k % 8);
      canvas.Font().Style = static_cast<TFontStyles>(k % 4);
      canvas.Font().Escapement = (k % 3) * 450;
      canvas.Font().Name = k % 5 == 0 ? u"Times New Roman" : u"Arial";
      canvas.Font().Color = RGB(static_cast<uint8_t>(k * 10), 0, 0);
      const char16_t han = static_cast<char16_t>(0x7000 + 0x100 * k + i);
      const char16_t hangul = static_cast<char16_t>(0xD000 + 0x100 * (k % 7) + i);
      canvas.TextOut(5 + 7 * k, 5 + 11 * k, u"Threads 0123 gyp " + std::u16string{han, hangul});
    }
  };
  constexpr int kThreads = 4;
  std::vector<std::unique_ptr<TBitmap>> alone, together;
  for (int t = 0; t < kThreads; ++t) {
    alone.push_back(WhiteBitmap(260, 300));
    together.push_back(WhiteBitmap(260, 300));
  }
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 3; ++round) draw(*together[t], t * 5);
    });
  }
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < kThreads; ++t) {
    draw(*alone[t], t * 5);
    EXPECT_TRUE(SamePixels(*alone[t], *together[t])) << t;
  }
}

}  // namespace
}  // namespace plotvane
