#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "engine/chartix.h"
#include "engine/errors.h"
#include "tests/engine/chart_fixture.h"

namespace plotvane {
namespace {

using testing_charts::Draw;
using testing_charts::Extent;
using testing_charts::RectArea;
using testing_charts::TextSize;
using testing_charts::ToString;

constexpr TColor kBar = 0xFF0000 /* "0000FF" */, kPlot = 0xEEEEEE, kLabelBack = 0x00FFFF;

// A bar chart whose parts can be told apart by colour: no legend or title,
// fixed scale top 40 and step 10 over 200 pixels (5 pixels per unit).
std::unique_ptr<TChartix> Chart() {
  auto chart = std::make_unique<TChartix>();
  chart->FShowLegend = false;
  chart->FPlotAreaColor = kPlot;
  chart->FLabelBGColour = kLabelBack;
  chart->FShowLabel = false;
  chart->FShowNumbers = false;
  chart->FYTop = 40;
  chart->FYGrad = 10;
  return chart;
}

TEST(BarsTest, SlotsAndThePublishedLayout) {
  struct Case {
    TGraphType type;
    int count, axis, width, gap;
    int first_edge;         // first pixel of bar 1 along the category axis, from the origin
    int w, g, first, last;  // read back; positions relative to the origin
  } cases[] = {
      {cxtVBar, 5, 400, 0, 0, 18, 41, 40, 18 + 20, 18 + 20 + 4 * 81},
      {cxtHBar, 5, 400, 0, 0, 20, 40, 40, -(20 + 20), -(20 + 20 + 4 * 80)},
      {cxtVBar, 3, 4, 0, 0, 0, 1, 0, 0 + 0, 0 + 2},  // widened from 0: E = 1, Round(0.5) = 0
      {cxtVBar, 4, 300, 30, 0, 22, 30, 45, 22 + 15, 22 + 15 + 3 * 75},
      {cxtVBar, 1, 10, 5, 0, 2, 5, 5, 4, 4},  // E = 5: Round(2.5) + Round(2.5)
      {cxtVBar, 1, 12, 5, 0, 4, 5, 7, 6, 6},  // E = 7: Round(3.5) + Round(2.5)
  };
  for (const Case& c : cases) {
    auto chart = Chart();
    for (int i = 0; i < c.count; ++i) chart->AddData(u"", 10, i == 0 ? u"0000FF" : u"00FF00");
    chart->FMaxX = static_cast<Word>(c.axis);
    chart->FBarWidth = c.width;
    chart->FBarGap = c.gap;
    chart->FWidth = chart->FHeight = 800;
    chart->FOriginX = 50;
    chart->FOriginY = 700;
    Draw(*chart, c.type);
    SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.count) + " bars on " +
                 std::to_string(c.axis));
    const bool vertical = c.type == cxtVBar;
    // The fill lies inside a one-pixel outline.
    TRect bar = Extent(*chart, kBar);
    bar = {bar.Left - 1, bar.Top - 1, bar.Right + 1, bar.Bottom + 1};
    if (c.w > 2) {
      EXPECT_EQ(vertical ? bar.Left - 50 : 700 - bar.Bottom - 1, c.first_edge);
      EXPECT_EQ(vertical ? bar.Right - bar.Left + 1 : bar.Bottom - bar.Top + 1, c.w);
    }
    const int origin = vertical ? 50 : 700;
    EXPECT_EQ(chart->FReadBarWidth, c.w);
    EXPECT_EQ(chart->FReadBarGap, c.g);
    EXPECT_EQ(chart->FFirstBarPos - origin, c.first);
    EXPECT_EQ(chart->FLastBarPos - origin, c.last);
    EXPECT_EQ(vertical ? chart->FXPixelsPerUnit : chart->FYPixelsPerUnit, c.w + c.g);
    EXPECT_EQ(vertical ? chart->FYPixelsPerUnit : chart->FXPixelsPerUnit, 5.0);
    // Automatic settings are automatic again; the read-back values stay
    // until ClearData.
    EXPECT_EQ(chart->FBarWidth, c.width);
    EXPECT_EQ(chart->FBarGap, c.gap);
    chart->ClearData();
    EXPECT_EQ(chart->FReadBarWidth, 0);
    EXPECT_EQ(chart->FFirstBarPos, 0);
    EXPECT_EQ(chart->FYPixelsPerUnit, 0.0);
  }
}

TEST(BarsTest, BarsOnBothSidesOfTheOriginShareItsRow) {
  struct Case {
    TGraphType type;
    double value;
    bool percent;
    const char* box;  // left, top, right, bottom inclusive
  } cases[] = {
      // Origin (50, 250), 100 pixels below it and 200 above, 5 pixels per
      // unit; the slot starts 24 pixels (vertical) or 25 (horizontal) along.
      {cxtVBar, 12, false, "74,190,124,250"},
      {cxtVBar, -12, false, "74,250,124,310"},
      // A percentage bar rises whatever the sign: 100 % of a top of 100.
      {cxtVBar, -12, true, "74,51,124,249"},  // from the row above the line
      {cxtHBar, 12, false, "50,175,110,224"},
      {cxtHBar, -12, false, "-10,175,50,224"},
      {cxtHBar, -12, true, "50,175,250,224"},
  };
  for (const Case& c : cases) {
    auto chart = Chart();
    chart->FYAxisNegative = 100;
    chart->FXAxisNegative = 0;
    chart->FOriginX = 150;
    chart->FMaxX = 100;
    chart->FMaxY = 300;
    chart->FHeight = 400;
    chart->AddData(u"", c.value, u"0000FF");
    chart->FShowPercent = c.percent;
    if (c.percent) chart->FYTop = 100;
    Draw(*chart, c.type);
    const TRect fill = Extent(*chart, kBar);  // inside a one-pixel outline
    TRect box{fill.Left - 1, fill.Top - 1, fill.Right + 1, fill.Bottom + 1};
    box.Left -= 100;  // as if the origin were at x = 50
    box.Right -= 100;
    EXPECT_EQ(ToString(box), c.box) << c.type << " " << c.value << (c.percent ? " %" : "");
  }
}

// Totals and labels of a bar standing on a category axis of no length, so
// that the bar's centre is the origin column and the text cells (plot-area
// colour behind totals, label colour behind labels) lie on the background.
struct TextCase {
  bool upwards;
  double value, offset;
  bool percent;
  int dy;  // reference point's row relative to the origin row, by the rules below
};

TEST(BarsTest, VerticalTotalsSitOnTheBarEnd) {
  // Bars of 12 end 60 pixels from the origin row; a percentage (100 % on a
  // top of 100 over 200 pixels) ends 200 pixels above it.
  const int x_height = TextSize(TFont{}, u"X").cy;
  const TextCase cases[] = {
      {false, 12, 0, false, -60 - 1 - x_height},
      {false, -12, 0, false, 60 + 1},
      {false, -12, 0, true, -200 - 1 - x_height},
      {true, 12, 0, false, -60 - 3},
      {true, -12, 0, false, 60 + 3},  // plus the text's width: the lower end
      {true, -12, 0, true, -200 - 3},
  };
  for (const TextCase& c : cases) {
    auto chart = Chart();
    chart->FMaxX = 0;
    chart->FYAxisNegative = 50;
    chart->FMaxY = 250;
    chart->FOriginX = 200;
    chart->FOriginY = 300;
    chart->FHeight = 600;
    chart->FShowPercent = c.percent;
    if (c.percent) chart->FYTop = 100;
    chart->FShowBarTotal = true;
    chart->FBarTotalVertical = c.upwards;
    chart->AddData(u"a", c.value, u"0000FF");
    Draw(*chart, cxtVBar);
    const std::u16string text = c.percent ? u"100%" : (c.value < 0 ? u"-12" : u"12");
    const TSize size = TextSize(TFont{}, text);
    const bool below = !c.percent && c.value < 0;
    const int y = 300 + c.dy + (c.upwards && below ? size.cx : 0);
    TRect expected;
    if (c.upwards) {
      const int x = static_cast<int>(std::nearbyint(200 - size.cy / 2.0));
      expected = {x, y - size.cx, x + size.cy - 1, y - 1};  // the cell turned about (x, y)
    } else {
      const int x = static_cast<int>(std::nearbyint(200 - size.cx / 2.0));
      expected = {x, y, x + size.cx - 1, y + size.cy - 1};
    }
    SCOPED_TRACE((c.upwards ? "upwards " : "level ") + std::to_string(c.value) +
                 (c.percent ? " %" : ""));
    EXPECT_EQ(ToString(Extent(*chart, kPlot)), ToString(expected));
    // The caption under the plot goes below a total under the origin line.
    if (below) {
      EXPECT_EQ(chart->TextBottom, c.upwards ? y : y + 8);
    }
  }
}

TEST(BarsTest, VerticalLabelsAndTheirMapAreas) {
  const TSize size = TextSize(TFont{}, u"Name");
  const TextCase cases[] = {
      {false, 12, 0, false, 3},
      {false, -12, 0, false, -4 - 11},
      {true, 12, 0, false, 3 + size.cx},
      {true, -12, 0, false, -3},
      // Between the offset and 0: above the line, yet upward labels take the
      // value's sign and cross their own bar.
      {true, -10, -20, false, -3},
      {false, -10, -20, false, 3},
  };
  for (const TextCase& c : cases) {
    auto chart = Chart();
    chart->FMaxX = 0;
    chart->FYAxisNegative = 100;
    chart->FMaxY = 300;
    chart->FOriginX = 200;
    chart->FOriginY = 150;
    chart->FYOffset = c.offset;
    chart->FShowLabel = true;
    chart->FLabelVertical = c.upwards;
    chart->AddData(u"Name", c.value, u"0000FF");
    chart->AddMapArea(u"", u"e0", u"");
    chart->FIMDataArea = false;
    const std::string map = Draw(*chart, cxtVBar);
    const int y = 150 + c.dy;
    TRect cell, area;
    if (c.upwards) {
      const int x = static_cast<int>(std::nearbyint(200 - size.cy / 2.0));
      const int right = static_cast<int>(std::nearbyint(200 + size.cy / 2.0));
      cell = {x, y - size.cx, x + size.cy - 1, y - 1};
      area = {x, y, right, y - size.cx};
    } else {
      const int x = static_cast<int>(std::nearbyint(200 - size.cx / 2.0));
      const int right = static_cast<int>(std::nearbyint(200 + size.cx / 2.0));
      cell = {x, y, x + size.cx - 1, y + size.cy - 1};
      area = {x, y, right, c.value >= c.offset ? y + 11 : 150 - 3};
    }
    SCOPED_TRACE((c.upwards ? "upwards " : "level ") + std::to_string(c.value));
    EXPECT_EQ(ToString(Extent(*chart, kLabelBack)), ToString(cell));
    EXPECT_EQ(map, "<map name=\"map1\" id=\"map1\" >" +
                       RectArea(area.Left, area.Top, area.Right, area.Bottom, 0) + "</map>");
  }
}

TEST(BarsTest, HorizontalTotalsAndLabelsBesideTheBarEnds) {
  struct Case {
    double value;
    bool percent;
  } cases[] = {{12, false}, {-12, false}, {-12, true}};
  for (const Case& c : cases) {
    auto chart = Chart();
    chart->FMaxX = 0;  // the bar's centre is the origin row
    chart->FYAxisNegative = 100;
    chart->FMaxY = 300;
    chart->FOriginX = 200;
    chart->FOriginY = 150;
    chart->FShowPercent = c.percent;
    if (c.percent) chart->FYTop = 100;
    chart->FWidth = 600;
    chart->FShowBarTotal = true;
    chart->FShowLabel = true;
    chart->AddData(u"Name", c.value, u"0000FF");
    Draw(*chart, cxtHBar);
    const std::u16string text = c.percent ? u"100%" : (c.value < 0 ? u"-12" : u"12");
    const TSize total = TextSize(TFont{}, text), name = TextSize(TFont{}, u"Name");
    const int end = c.percent ? 200 : (c.value < 0 ? -60 : 60);
    const int total_x = (c.percent || c.value >= 0) ? 200 + end + 4 : 200 + end - total.cx - 2;
    const int top = 150 - static_cast<int>(std::nearbyint(name.cy / 2.0));
    SCOPED_TRACE(std::to_string(c.value) + (c.percent ? " %" : ""));
    EXPECT_EQ(ToString(Extent(*chart, kPlot)),
              ToString(TRect{total_x, top, total_x + total.cx - 1, top + name.cy - 1}));
    const int label_x = c.value >= 0 ? 200 - 3 - name.cx : 200 + 3;
    EXPECT_EQ(ToString(Extent(*chart, kLabelBack)),
              ToString(TRect{label_x, top, label_x + name.cx - 1, top + name.cy - 1}));
    // Left of the value axis's negative part, labels and totals move it.
    const int leftmost = c.value >= 0 ? label_x : c.percent ? 100 : total_x;
    EXPECT_EQ(chart->TextLeft, std::min(100, leftmost));
  }
}

TEST(BarsTest, MapAreasFollowTheDrawingOrder) {
  auto chart = Chart();
  chart->FShowLabel = true;
  chart->FMaxX = 100;
  chart->AddData(u"A", 10, u"0000FF");
  chart->AddData(u"B", -10, u"00FF00");
  chart->FYAxisNegative = 100;
  chart->AddMapArea(u"", u"e0", u"");
  chart->AddMapArea(u"", u"e1", u"");
  const std::string map = Draw(*chart, cxtVBar);
  // W = 26 (widened), G = 25, E = 23: bars from 50 + Round(11.5) = 62 and
  // 113, centred at 74.5 and 125.5; 2.5 pixels per unit.
  const TSize a = TextSize(TFont{}, u"A"), b = TextSize(TFont{}, u"B");
  const int ax = static_cast<int>(std::nearbyint(74.5 - a.cx / 2.0));
  const int bx = static_cast<int>(std::nearbyint(125.5 - b.cx / 2.0));
  const int ar = static_cast<int>(std::nearbyint(74.5 + a.cx / 2.0));
  const int br = static_cast<int>(std::nearbyint(125.5 + b.cx / 2.0));
  EXPECT_EQ(map, "<map name=\"map1\" id=\"map1\" >" + RectArea(62, 251, 88, 225, 0) +
                     RectArea(ax, 253, ar, 264, 0) + RectArea(113, 250, 139, 276, 1) +
                     RectArea(bx, 235, br, 247, 1) + "</map>");
}

TEST(BarsTest, AutomaticScaleIsAutomaticAgainAndGraphYInvertsIt) {
  TChartix chart;
  chart.AddData(u"a", 12, u"FF0000");
  chart.AddData(u"b", 37, u"00FF00");
  chart.AddData(u"c", 5, u"0000FF");
  Draw(chart, cxtVBar);
  EXPECT_EQ(chart.FReadYTop, 40);
  EXPECT_EQ(chart.FReadYGrad, 10);
  EXPECT_EQ(chart.FYTop, 0);
  EXPECT_EQ(chart.FYGrad, 0);
  EXPECT_EQ(chart.YLinePX, 5);
  EXPECT_EQ(chart.GraphY(chart.FOriginY - 100), 20);
  EXPECT_EQ(chart.Total, 54);
}

TEST(BarsTest, FailuresGiveTheirSettingsBack) {
  TChartix chart;
  chart.AddData(u"a", 12, u"FF0000");
  chart.FLabelFont.SetSize(0);
  chart.FBarWidth = 0;
  EXPECT_THROW_MSG(Draw(chart, cxtVBar), EDivByZero, "Division by zero");
  EXPECT_EQ(chart.FYTop, 0);
  EXPECT_EQ(chart.FYGrad, 0);
  // Given a scale, a font of size 0 draws.
  chart.FYTop = 20;
  chart.FYGrad = 5;
  Draw(chart, cxtHBar);
  EXPECT_EQ(chart.FReadYGrad, 5);
}

TEST(BarsTest, FarOffSettingsCostOnlyWhatTheBitmapHas) {
  TChartix chart;
  chart.AddData(u"a", 1e300, u"FF0000");
  chart.AddData(u"b", -1e300, u"00FF00");
  chart.FShowBarTotal = true;
  chart.FLabelVertical = chart.FBarTotalVertical = true;
  chart.FYGrad = 1e-300;  // a step far below a pixel
  chart.FBarWidth = 2000000000;
  chart.FBarGap = -2000000000;
  for (TGraphType type : {cxtVBar, cxtHBar}) {
    chart.FShowGrid = true;
    Draw(chart, type);
    EXPECT_EQ(chart.Bitmap().Width(), 400);
  }
}

}  // namespace
}  // namespace plotvane
