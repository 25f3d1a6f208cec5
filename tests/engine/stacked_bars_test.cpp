#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/chartix.h"
#include "engine/drawing.h"
#include "engine/rounding.h"
#include "tests/engine/chart_fixture.h"

namespace plotvane {
namespace {

using testing_charts::Draw;
using testing_charts::Extent;
using testing_charts::RectArea;
using testing_charts::TextSize;
using testing_charts::ToString;

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kCell = 0x00FFFF;
constexpr TColor kText = 0x800080;
const std::string kMapOpen = "<map name=\"map1\" id=\"map1\" >";

struct Item {
  const char16_t* group;
  const char16_t* name;
  double value;
  const char16_t* colour;
};

// A chart of `items`, each with its own map entry e<k>, on a scale of 10
// pixels per unit (top 20 over 200 pixels), without numbers, labels or
// legend.
std::unique_ptr<TChartix> NewChart(const std::vector<Item>& items) {
  auto chart = std::make_unique<TChartix>();
  for (const Item& i : items) chart->AddStackedData(i.group, i.name, i.value, i.colour);
  for (size_t k = 0; k < items.size(); ++k) {
    chart->AddMapArea(u"", u"e" + std::u16string(1, static_cast<char16_t>(u'0' + k)), u"");
  }
  chart->FYTop = 20;
  chart->FShowNumbers = chart->FShowLabel = chart->FShowLegend = false;
  return chart;
}

const std::vector<Item> kThreeItems = {
    {u"A", u"x", 10, u"FF0000"}, {u"A", u"y", 5, u"00FF00"}, {u"B", u"x", 7, u"0000FF"}};

// Whether `text` in `font`, turned by `escapement`, with its reference point
// at (x, y), gives exactly the pixels of the font's colour that the last
// drawing has in the text's cell: a text one pixel off, or another text,
// does not. A turned cell covers the th columns right of its reference point
// and the tw rows above it.
::testing::AssertionResult TextDrawnAt(const TChartix& chart, const TFont& font, int escapement,
                                       const std::u16string& text, int x, int y) {
  const TSize size = TextSize(font, text);
  const TRect cell = escapement == 0 ? TRect{x, y, x + size.cx, y + size.cy}
                                     : TRect{x, y - size.cx, x + size.cy, y};
  TBitmap expected;
  expected.Assign(chart.Bitmap());
  TCanvas& canvas = expected.Canvas();
  canvas.Pen().Color = chart.FBGColour;
  canvas.Brush().SetColor(chart.FBGColour);
  canvas.Rectangle(cell.Left, cell.Top, cell.Right, cell.Bottom);
  canvas.Font() = MadeFont(font, escapement);
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.TextOut(x, y, text);
  int painted = 0;
  for (int py = cell.Top; py < cell.Bottom; ++py) {
    for (int px = cell.Left; px < cell.Right; ++px) {
      const bool want = expected.GetPixel(px, py) == font.Color;
      if (want != (chart.PixelColour(px, py) == font.Color)) {
        return ::testing::AssertionFailure() << "text differs at " << px << "," << py;
      }
      painted += want;
    }
  }
  if (painted == 0) return ::testing::AssertionFailure() << "the text paints nothing";
  return ::testing::AssertionSuccess();
}

TEST(StackedBarsTest, SegmentsStackFromTheOriginAndNeighboursShareARow) {
  struct Case {
    TGraphType type;
    std::string areas;
    TRect red, green, blue;  // fills inside the outlines
  };
  // Two groups on 250 pixels: vertical W 63, G 62, E 62; horizontal W = G = 62, E 64.
  const Case cases[] = {
      {cxtVStackedBar,
       RectArea(81, 251, 144, 150, 0) + RectArea(81, 151, 144, 100, 1) +
           RectArea(206, 251, 269, 180, 2),
       {82, 151, 142, 249}, {82, 101, 142, 149}, {207, 181, 267, 249}},
      {cxtHStackedBar,
       RectArea(50, 218, 151, 156, 0) + RectArea(150, 218, 201, 156, 1) +
           RectArea(50, 94, 121, 32, 2),
       {51, 157, 149, 216}, {151, 157, 199, 216}, {51, 33, 119, 92}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type == cxtVStackedBar ? "vertical" : "horizontal");
    auto chart = NewChart(kThreeItems);
    EXPECT_EQ(Draw(*chart, c.type), kMapOpen + c.areas + "</map>");
    EXPECT_EQ(ToString(Extent(*chart, kRed)), ToString(c.red));
    EXPECT_EQ(ToString(Extent(*chart, kGreen)), ToString(c.green));
    EXPECT_EQ(ToString(Extent(*chart, kBlue)), ToString(c.blue));
    EXPECT_EQ(chart->FYTop, 20);
  }
}

TEST(StackedBarsTest, SegmentValuesTakeTheirCellAtEachAlignment) {
  // The upper of two segments of 5 in one group: vertical columns 112 to 238,
  // rows 200 down to 150 (Y1 = 201, Y2 = 150); horizontal columns 100 to
  // 150 of rows 63 to 187, centre line 125. "5" is 6 x 12; an upward cell
  // covers the th columns right of its reference point and the tw rows above.
  struct Case {
    TGraphType type;
    TStackedTextAlign align;
    TRect cell;
  };
  const Case cases[] = {
      {cxtVStackedBar, cxstCentreH, {172, 169, 177, 180}},  // y = (201 + 150 - 12) div 2
      {cxtVStackedBar, cxstCentreV, {169, 172, 180, 177}},
      {cxtVStackedBar, cxstLeftH, {104, 169, 109, 180}},
      {cxtVStackedBar, cxstLeftV, {98, 172, 109, 177}},
      {cxtVStackedBar, cxstRightH, {241, 169, 246, 180}},
      {cxtVStackedBar, cxstRightV, {241, 172, 252, 177}},
      // Horizontal bars never turn a value: centred along the segment, on
      // the centre line, above the bar or 3 pixels below it.
      {cxtHStackedBar, cxstCentreH, {122, 119, 127, 130}},
      {cxtHStackedBar, cxstCentreV, {122, 119, 127, 130}},
      {cxtHStackedBar, cxstLeftH, {122, 49, 127, 60}},
      {cxtHStackedBar, cxstLeftV, {122, 49, 127, 60}},
      {cxtHStackedBar, cxstRightH, {122, 191, 127, 202}},
      {cxtHStackedBar, cxstRightV, {122, 191, 127, 202}},
  };
  ASSERT_EQ(TextSize(TFont(), u"5").cx, 6);
  ASSERT_EQ(TextSize(TFont(), u"5").cy, 12);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + " align " + std::to_string(c.align));
    auto chart = NewChart({{u"A", u"a", 5, u"FF0000"}, {u"A", u"b", 5, u"00FF00"}});
    chart->FShowStackedValues = true;
    chart->FStackedTextAlign = c.align;
    chart->FStackedTextTransparent = false;
    chart->FStackedTextBGColor = kCell;
    Draw(*chart, c.type);
    // Only the upper segment's value lies here.
    const TRect upper = c.type == cxtVStackedBar ? TRect{0, 0, 400, 200} : TRect{101, 0, 400, 300};
    EXPECT_EQ(ToString(Extent(*chart, kCell, upper)), ToString(c.cell));
  }
}

TEST(StackedBarsTest, ZeroSegmentIsOneRowWithAnAreaButNoValue) {
  for (TGraphType type : {cxtVStackedBar, cxtHStackedBar}) {
    auto chart = NewChart({{u"A", u"a", 0, u"FF0000"}});
    chart->FShowStackedValues = true;
    chart->FStackedTextTransparent = false;
    chart->FStackedTextBGColor = kCell;
    const std::string area =
        type == cxtVStackedBar ? RectArea(112, 251, 238, 250, 0) : RectArea(50, 188, 51, 63, 0);
    EXPECT_EQ(Draw(*chart, type), kMapOpen + area + "</map>");
    EXPECT_GT(Extent(*chart, kCell).Left, Extent(*chart, kCell).Right);
  }
}

TEST(StackedBarsTest, LabelsAndTotalsKeepTheirSidesAndOrders) {
  struct Text {
    std::u16string text;
    int escapement, x, y;
  };
  struct Case {
    TGraphType type;
    bool label_vertical;
    std::vector<Text> texts;
    int text_bottom, text_left;  // -1: not checked
  };
  const int tw_a = TextSize(TFont(), u"A").cx, tw_b = TextSize(TFont(), u"B").cx;
  // Centres: vertical x 112.5 and 237.5, horizontal y 187 and 63. Totals sit
  // 1 + hX above a vertical bar (Round(106.5) = 106) and 4 pixels right of a
  // horizontal one.
  const Case cases[] = {
      {cxtVStackedBar, false,
       {{u"15", 0, 106, 87}, {u"7", 0, 234, 167},
        {u"A", 0, Round(112.5L - tw_a / 2.0L), 253}, {u"B", 0, Round(237.5L - tw_b / 2.0L), 253}},
       250 + 3 + 11, -1},
      {cxtVStackedBar, true,
       {{u"A", 900, 112 - 6, 253 + tw_a}, {u"B", 900, 238 - 6, 253 + tw_b}},
       253 + std::max(tw_a, tw_b), -1},
      // Upward labels are not used by horizontal bars.
      {cxtHStackedBar, true,
       {{u"15", 0, 204, 181}, {u"7", 0, 124, 57},
        {u"A", 0, 47 - tw_a, 181}, {u"B", 0, 47 - tw_b, 57}},
       -1, 47 - std::max(tw_a, tw_b)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + (c.label_vertical ? " upward labels" : ""));
    auto chart = NewChart(kThreeItems);
    chart->FShowBarTotal = chart->FShowLabel = true;
    chart->FLabelVertical = c.label_vertical;
    chart->FLabelFont.Color = kText;
    Draw(*chart, c.type);
    for (const Text& t : c.texts) {
      EXPECT_TRUE(TextDrawnAt(*chart, chart->FLabelFont, t.escapement, t.text, t.x, t.y))
          << std::string(t.text.begin(), t.text.end());
    }
    if (c.text_bottom >= 0) {
      EXPECT_EQ(chart->TextBottom, c.text_bottom);
    }
    if (c.text_left >= 0) {
      EXPECT_EQ(chart->TextLeft, c.text_left);
    }
  }
}

TEST(StackedBarsTest, GroupLayoutIsPublishedAsForAsManyBars) {
  for (TGraphType type : {cxtVStackedBar, cxtHStackedBar}) {
    TChartix bars;
    auto stacked = NewChart({});
    for (int g = 0; g < 5; ++g) {
      const std::u16string name(1, static_cast<char16_t>(u'a' + g));
      bars.AddData(name, 3 + g, u"FF0000");
      stacked->AddStackedData(name, u"only", 3 + g, u"FF0000");
    }
    bars.FYTop = stacked->FYTop = 0;
    Draw(bars, type == cxtVStackedBar ? cxtVBar : cxtHBar);
    Draw(*stacked, type);
    SCOPED_TRACE(std::to_string(type));
    EXPECT_EQ(stacked->FReadBarWidth, bars.FReadBarWidth);
    EXPECT_EQ(stacked->FReadBarGap, bars.FReadBarGap);
    EXPECT_EQ(stacked->FFirstBarPos, bars.FFirstBarPos);
    EXPECT_EQ(stacked->FLastBarPos, bars.FLastBarPos);
    EXPECT_EQ(stacked->FXPixelsPerUnit, bars.FXPixelsPerUnit);
    EXPECT_EQ(stacked->FYPixelsPerUnit, bars.FYPixelsPerUnit);
    EXPECT_EQ(stacked->FReadYTop, 8);
    EXPECT_EQ(stacked->FReadYGrad, bars.FReadYGrad);
    EXPECT_EQ(stacked->FYTop, 0);  // automatic again
    EXPECT_EQ(stacked->FBarWidth, 0);
  }
}

TEST(StackedBarsTest, GroupsAreCaseSensitiveAndItemsStayInTheGroupTheyWereAddedTo) {
  // "North" and "north" are two bars; a name holding "=" neither moves its
  // item to another group nor loses it, and a group named with "=" keeps
  // its items.
  auto chart = NewChart({{u"North", u"na=me", 6, u"FF0000"},
                         {u"north", u"x", 4, u"00FF00"},
                         {u"North", u"y", 3, u"0000FF"},
                         {u"north=b", u"z", 2, u"FFFF00"}});
  EXPECT_EQ(TChartixTestPeer::MaxStackedTotal(*chart), 9);
  chart->FShowLabel = true;
  chart->FLabelFont.Color = kText;
  // Three groups on 250 pixels: W 42, G 41, E 42.
  EXPECT_EQ(Draw(*chart, cxtVStackedBar),
            kMapOpen + RectArea(71, 251, 113, 190, 0) + RectArea(71, 191, 113, 160, 2) +
                RectArea(154, 251, 196, 210, 1) + RectArea(237, 251, 279, 230, 3) + "</map>");
  // A level label shows the part after the last "=", centred by the whole name.
  const int whole = TextSize(TFont(), u"north=b").cx;
  EXPECT_TRUE(TextDrawnAt(*chart, chart->FLabelFont, 0, u"b", Round(258 - whole / 2.0L), 253));
}

TEST(StackedBarsTest, ATopBelowZeroDrawsNoGroupAndGivesTheSettingsBack) {
  for (TGraphType type : {cxtVStackedBar, cxtHStackedBar}) {
    auto chart = NewChart(kThreeItems);
    chart->FYTop = -5;
    chart->FYAxisNegative = 10;
    chart->TextLeft = 7;
    EXPECT_EQ(Draw(*chart, type), kMapOpen + "</map>");
    EXPECT_EQ(chart->FYTop, -5);
    EXPECT_GT(Extent(*chart, kRed).Left, Extent(*chart, kRed).Right);
    // The horizontal caption column starts at the value axis's left end, not
    // where an earlier drawing left it.
    if (type == cxtHStackedBar) {
      EXPECT_EQ(chart->TextLeft, 40);
    }
  }
}

TEST(StackedLegendTest, EachNameOnceInTheBoxOfAllNames) {
  constexpr TColor kFill = 0xC0FFC0;
  struct Case {
    bool vertical, invert;
    int padding;
    std::vector<TColor> swatches;  // in legend order
    std::vector<int> swatch_tops;  // relative to the box
    int box_width, box_height;
  };
  // Items x (red), X (green: listed as x), "" (hidden), y (blue); one line
  // series "k=w" after them, shown as "w". The column is as wide as the
  // widest item name, "X"; the row as wide as the names listed.
  const int x = TextSize(TFont(), u"x").cx, wide = TextSize(TFont(), u"X").cx;
  const int y = TextSize(TFont(), u"y").cx, line = TextSize(TFont(), u"k=w").cx;
  const Case cases[] = {
      {true, false, 5, {kRed, kBlue, kCell}, {6, 22, 38}, wide + 23, 3 * 16 + 5},
      {true, true, 5, {kBlue, kGreen, kCell}, {6, 22, 38}, wide + 23, 3 * 16 + 5},
      // Row swatches sit on the row centre: Round(9.5) - 4 = 6, not (19 - 8) div 2.
      {false, false, 4, {kRed, kBlue, kCell}, {6, 6, 6}, x + y + line + 28 + 24, 4 + 15},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.vertical ? "column" : "row") + (c.invert ? " inverted" : ""));
    auto chart = NewChart({{u"A", u"x", 1, u"FF0000"},
                           {u"B", u"X", 1, u"00FF00"},
                           {u"A", u"", 1, u"FFFFFF"},
                           {u"B", u"y", 1, u"0000FF"}});
    chart->FShowLegend = chart->FLegendHideEmptyNames = chart->FShowLinesWithBars = true;
    chart->AddPoint(1, 1, u"FFFF00", u"k=w");
    chart->FLegendVertical = c.vertical;
    chart->FLegendInvert = c.invert;
    chart->FPadding = static_cast<Word>(c.padding);
    chart->FLegendBGColour = kFill;
    chart->FLegendX = 200;
    chart->FLegendY = 100;
    const std::string map = Draw(*chart, cxtVStackedBar);
    EXPECT_EQ(map.find("coords=\"" + std::to_string(200 + c.padding)), std::string::npos) << map;
    EXPECT_EQ(ToString(Extent(*chart, kFill)),
              ToString({201, 101, 200 + c.box_width - 2, 100 + c.box_height - 2}));
    int left = 200 + c.padding;
    for (size_t j = 0; j < c.swatches.size(); ++j) {
      const int top = 100 + c.swatch_tops[j];
      EXPECT_EQ(chart->PixelColour(left + 4, top + 4), c.swatches[j]) << j;
      EXPECT_EQ(chart->PixelColour(left + 4, top - 1), kFill) << j;
      if (!c.vertical) left += 8 + 2 * c.padding + (j == 0 ? x : j == 1 ? y : 0);
    }
    const int text_x = 200 + 2 * c.padding + 8;
    EXPECT_TRUE(TextDrawnAt(*chart, chart->FLegendFont, 0, c.invert ? u"y" : u"x", text_x,
                            100 + Round((c.padding + 11 + c.padding) / 2.0L) - 6));
    if (!c.vertical) {
      EXPECT_TRUE(TextDrawnAt(*chart, chart->FLegendFont, 0, u"w", 200 + 6 * 4 + 24 + x + y, 104));
    }
  }
}

}  // namespace
}  // namespace plotvane
