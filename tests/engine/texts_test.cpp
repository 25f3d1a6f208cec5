#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/chartix.h"

namespace plotvane {
namespace {

constexpr TColor kGreen = 0x00FF00, kWhite = 0xFFFFFF, kRed = 0x0000FF;

// A chart whose pie stays in the top-left corner, on a green background, so
// that the annotation drawn over it can be seen.
std::unique_ptr<TChartix> NewChart() {
  auto chart = std::make_unique<TChartix>();
  chart->AddData(u"", 1, u"000000");
  chart->FCentreX = chart->FCentreY = 10;
  chart->FPieDia = 9;
  chart->FShowLabel = chart->FShowNumbers = chart->FShowLegend = false;
  chart->FBGColour = kGreen;
  return chart;
}

void Draw(TChartix& chart) {
  auto bitmap = std::make_unique<TBitmap>();
  chart.GetGraph(bitmap, cxtPie);
}

TSize Extent(const TFont& font, const std::u16string& text) {
  TBitmap scratch;
  scratch.Canvas().Font() = font;
  return scratch.Canvas().TextExtent(text);
}

TEST(TitleTest, TheAlignmentPointOfTheOpaqueCellLiesOnTheReferencePoint) {
  const std::u16string title = u"Title";
  for (int align = cxtaTopLeft; align <= cxtaBottomRight; ++align) {
    auto chart = NewChart();
    chart->FTitle = title;
    chart->FTitleX = 200;
    chart->FTitleY = 100;
    chart->FTitleTextAlign = static_cast<TTextAlign>(align);
    Draw(*chart);
    const TSize cell = Extent(chart->FTitleFont, title);
    const int ascent = 10;  // Arial 8 points: cell 12 = ascent 10 + descent 2
    const int left = 200 - (align % 3 == 0 ? 0 : align % 3 == 1 ? cell.cx / 2 : cell.cx);
    const int top = 100 - (align / 3 == 0 ? 0 : align / 3 == 1 ? ascent : cell.cy);
    SCOPED_TRACE("align " + std::to_string(align));
    EXPECT_EQ(chart->PixelColour(left, top), kWhite);
    EXPECT_EQ(chart->PixelColour(left, top + cell.cy - 1), kWhite);
    EXPECT_EQ(chart->PixelColour(left - 1, top), kGreen);
    EXPECT_EQ(chart->PixelColour(left, top - 1), kGreen);
    EXPECT_EQ(chart->PixelColour(left + cell.cx + 1, top + cell.cy), kGreen);
  }
}

TEST(TitleTest, TransparentTitleKeepsTheBackground) {
  auto chart = NewChart();
  chart->FTitle = u"Title";
  chart->FTitleX = 200;
  chart->FTitleY = 100;
  chart->FTitleTransparent = true;
  Draw(*chart);
  EXPECT_EQ(chart->PixelColour(200, 100), kGreen);
}

TEST(TextItemTest, UnturnedItemIsDrawnAtItsTopLeftCorner) {
  auto chart = NewChart();
  chart->FTextTransparent = false;
  chart->FTextBGColor = kWhite;
  chart->AddText(u"Note", 150, 60, 0);
  chart->AddText(u"Up", 300, 200, 90);
  Draw(*chart);
  const TSize cell = Extent(chart->FTextFont, u"Note");
  EXPECT_EQ(chart->PixelColour(150, 60), kWhite);
  EXPECT_EQ(chart->PixelColour(150 + cell.cx - 1, 60 + cell.cy - 1), kWhite);
  EXPECT_EQ(chart->PixelColour(149, 60), kGreen);
  // Turned upwards, the text covers the columns right of its reference point
  // and the rows above it.
  EXPECT_EQ(chart->PixelColour(301, 199), kWhite);
  EXPECT_EQ(chart->PixelColour(301, 201), kGreen);
}

struct LineCase {
  TPenStyle style;
  int thickness;
  std::vector<int> red, gap;  // columns on row 20 painted red / in the gap colour
};

constexpr TColor kBlue = 0xFF0000;

TEST(ExtraLineTest, EachPenStylePaintsItsPatternAndThePenIsRestored) {
  const LineCase cases[] = {
      {TPenStyle::psSolid, 1, {10, 50, 109}, {}},
      {TPenStyle::psDash, 1, {10, 27, 34}, {28, 33}},
      {TPenStyle::psDot, 1, {10, 12, 16}, {13, 15}},
      {TPenStyle::psClear, 1, {}, {}},
      {TPenStyle::psDot, 3, {10, 13, 14, 100}, {}},
      {static_cast<TPenStyle>(7), 1, {10, 13, 14}, {}},  // no such style: solid
  };
  for (const LineCase& c : cases) {
    auto chart = NewChart();
    // The lines come last, under the solid brush the title left: the gaps of
    // a styled pen take its colour, as on an opaque background.
    chart->FTitleBGColour = kBlue;
    chart->AddExtraLine(10, 20, 110, 20, c.thickness, c.style, kRed);
    Draw(*chart);
    SCOPED_TRACE("style " + std::to_string(static_cast<int>(c.style)) + " width " +
                 std::to_string(c.thickness));
    for (int x : c.red) EXPECT_EQ(chart->PixelColour(x, 20), kRed) << "x " << x;
    for (int x : c.gap) EXPECT_EQ(chart->PixelColour(x, 20), kBlue) << "x " << x;
    EXPECT_EQ(chart->PixelColour(c.thickness == 3 ? 8 : 9, 20), kGreen);
    EXPECT_EQ(chart->PixelColour(c.thickness == 3 ? 112 : 110, 20), kGreen);
    if (c.style == TPenStyle::psClear) {
      EXPECT_EQ(chart->PixelColour(50, 20), kGreen);
    }
    if (c.thickness == 3) {
      EXPECT_EQ(chart->PixelColour(50, 19), kRed);
      EXPECT_EQ(chart->PixelColour(50, 21), kRed);
    }
    const TPen& pen = chart->FBitmap->Canvas().Pen();
    EXPECT_EQ(pen.Width, 1);
    EXPECT_EQ(pen.Style, TPenStyle::psSolid);
  }
}

}  // namespace
}  // namespace plotvane
