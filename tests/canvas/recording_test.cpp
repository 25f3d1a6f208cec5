#include "canvas/recording.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "canvas/bitmap.h"
#include "canvas/canvas.h"
#include "canvas/text_layout.h"

namespace plotvane {
namespace {

std::unique_ptr<TBitmap> Blank(int width = 60, int height = 40) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf24bit);
  bitmap->SetSize(width, height);
  return bitmap;
}

struct RecordCase {
  const char* name;
  std::function<void(TCanvas&)> draw;
  std::vector<TOpKind> kinds;          // what is kept, in order
  std::vector<int32_t> last_coords;    // of the last operation kept
};

void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.name; }

class RecordingTest : public ::testing::TestWithParam<RecordCase> {};

// What the canvas paints is kept, in order, with the canvas's own
// coordinates; what paints nothing is not.
TEST_P(RecordingTest, KeepsWhatThePixelsShow) {
  const RecordCase& c = GetParam();
  auto bitmap = Blank();
  c.draw(bitmap->Canvas());
  const TRecording& r = bitmap->Recording();
  std::vector<TOpKind> kinds;
  for (size_t i = 0; i < r.Size(); ++i) kinds.push_back(r.Op(i).kind);
  ASSERT_EQ(kinds, c.kinds);
  if (kinds.empty()) return;
  const TRecordedOp last = r.Op(r.Size() - 1);
  EXPECT_EQ(std::vector<int32_t>(last.coords, last.coords + last.coord_count), c.last_coords);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, RecordingTest,
    ::testing::Values(
        RecordCase{"rectangle with its corners as given",
                   [](TCanvas& c) { c.Rectangle(30, 20, 10, 5); }, {TOpKind::kRectangle},
                   {30, 20, 10, 5}},
        RecordCase{"an empty box paints nothing", [](TCanvas& c) { c.Rectangle(5, 5, 5, 20); }, {},
                   {}},
        RecordCase{"a thin ellipse is drawn as its rectangle",
                   [](TCanvas& c) { c.Ellipse(5, 5, 7, 20); }, {TOpKind::kRectangle},
                   {5, 5, 7, 20}},
        RecordCase{"line from the pen position",
                   [](TCanvas& c) {
                     c.MoveTo(3, 4);
                     c.LineTo(20, 9);
                     c.LineTo(1, 1);
                   },
                   {TOpKind::kLine, TOpKind::kLine}, {20, 9, 1, 1}},
        RecordCase{"a clear pen draws no line",
                   [](TCanvas& c) {
                     c.Pen().Style = TPenStyle::psClear;
                     c.LineTo(20, 9);
                   },
                   {}, {}},
        RecordCase{"pie wedge with the outline's ends",
                   [](TCanvas& c) { c.Pie(10, 10, 31, 31, 31, 20, 20, 10); }, {TOpKind::kPie},
                   {10, 10, 31, 31, 31, 20, 20, 10, 0, 30, 20, 21, 10}},
        RecordCase{"a slice too thin to show is not kept",
                   [](TCanvas& c) { c.PieSlice(10, 10, 31, 31, 31, 20, 31, 20); }, {}, {}},
        RecordCase{"polygon points", [](TCanvas& c) { c.Polygon({{1, 2}, {9, 3}, {4, 8}}); },
                   {TOpKind::kPolygon}, {1, 2, 9, 3, 4, 8}},
        RecordCase{"pixel inside, and none outside",
                   [](TCanvas& c) {
                     c.SetPixel(4, 5, 0x123456);
                     c.SetPixel(-1, 5, 0x123456);
                   },
                   {TOpKind::kPixel}, {4, 5}},
        RecordCase{"text and block; measuring keeps nothing",
                   [](TCanvas& c) {
                     c.TextOut(2, 3, u"A");
                     TRect r{1, 2, 30, 20};
                     c.DrawText(u"B", r, DT_CALCRECT);
                     r = TRect{1, 2, 30, 20};
                     c.DrawText(u"B\nC", r, DT_CENTER);
                   },
                   {TOpKind::kText, TOpKind::kTextBlock}, {1, 2, 30, 20}}));

// A text keeps its font, alignment, format and characters; copies of the
// bitmap carry the recording, and giving the bitmap away takes it along.
TEST(RecordingTest, TextsKeepTheirStateAndCopiesKeepTheRecording) {
  auto bitmap = Blank();
  TCanvas& c = bitmap->Canvas();
  c.Font().Name = u"Liberation Serif";
  c.Font().Style = fsBold | fsUnderline;
  c.SetTextAlign(TA_RIGHT | TA_BASELINE);
  c.Brush().SetColor(0x00FF00);
  c.TextOut(50, 30, u"x\xD800y");
  TBitmap copy;
  copy.Assign(*bitmap);
  const std::unique_ptr<TBitmap> taken = bitmap->ReleaseHandle();
  EXPECT_TRUE(bitmap->Recording().Empty());
  for (const TBitmap* b : {&copy, taken.get()}) {
    ASSERT_EQ(b->Recording().Size(), 1u);
    const TRecordedOp op = b->Recording().Op(0);
    EXPECT_EQ(op.font->Name, u"Liberation Serif");
    EXPECT_EQ(op.font->Style, fsBold | fsUnderline);
    EXPECT_EQ(op.align, TA_RIGHT | TA_BASELINE);
    EXPECT_EQ(op.brush_colour, 0x00FF00u);
    EXPECT_EQ(op.text, u"x\xD800y");
  }
}

// Drawing each character alone where the layout puts it gives the pixels of
// the whole text, along a level line and a turned one.
TEST(TextLayoutTest, PutsEveryGlyphWhereTheCanvasDrawsIt) {
  for (const int escapement : {0, 300}) {
    TFont font;
    font.Height = -13;
    font.Escapement = escapement;
    const std::u16string text = u"Wavy lines, \u4e2d\u6587 & AVA";
    auto whole = Blank(240, 120);
    auto pieces = Blank(240, 120);
    for (TBitmap* b : {whole.get(), pieces.get()}) {
      b->Canvas().Brush().SetStyle(TBrushStyle::bsClear);
      b->Canvas().Font() = font;
    }
    whole->Canvas().TextOut(10, 90, text);
    const TTextLayout layout = LayOutText(font, TA_LEFT | TA_TOP, 10, 90, text);
    ASSERT_EQ(layout.lines.size(), 1u);
    TCanvas& c = pieces->Canvas();
    c.SetTextAlign(TA_LEFT | TA_BASELINE);
    for (const TPlacedChar& p : layout.lines[0].chars) {
      c.TextOut(static_cast<int>(p.x), static_cast<int>(p.y),
                layout.lines[0].text.substr(p.first, p.units));
    }
    for (int y = 0; y < whole->Height(); ++y) {
      for (int x = 0; x < whole->Width(); ++x) {
        ASSERT_EQ(whole->GetPixel(x, y), pieces->GetPixel(x, y))
            << "escapement " << escapement << ", pixel " << x << ", " << y;
      }
    }
  }
}

}  // namespace
}  // namespace plotvane
