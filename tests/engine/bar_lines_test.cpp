#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "engine/chartix.h"
#include "tests/engine/chart_fixture.h"

namespace plotvane {
namespace {

using testing_charts::Draw;
using testing_charts::Extent;
using testing_charts::ToString;

constexpr TColor kTrend = 0x40C080;
constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000;  // as TColor: 0x00BBGGRR

struct SeriesPoint {
  double y;
  const char16_t* colour;
  bool marked;  // over a bar, so joined and marked
};

// Where point k (from 0) of a series lies: over bar k of the published
// layout, at the height of its value.
TPoint PointAt(const TChartix& c, TGraphType type, int k, double y) {
  const bool vertical = type == cxtVBar || type == cxtVStackedBar;
  const int pitch = c.FReadBarGap + c.FReadBarWidth;
  if (vertical) return {c.FFirstBarPos + k * pitch, c.FOriginY - static_cast<int>(y * c.FYPixelsPerUnit)};
  return {c.FOriginX + static_cast<int>(y * c.FXPixelsPerUnit), c.FFirstBarPos - k * pitch};
}

TEST(BarLinesTest, TrendLineRunsFromTheFirstBarCentreToTheLast) {
  struct Case {
    const char* name;
    TGraphType type;
    std::vector<double> values;
    double top, offset;
    const char* pixels;  // the line's extent, its end point not painted
  } cases[] = {
      // 2, 4, 9: m = 3.5, b = 1.5, e = 8.5; 20 pixels per unit, bar centres 92 and 258.
      {"three values", cxtVBar, {2, 4, 9}, 10, 0, "92,81,257,220"},
      {"equal values", cxtVBar, {5, 5, 5}, 10, 0, "92,150,257,150"},
      // 60 and 80 over an offset of 50: from 10 units above the origin line.
      {"offset", cxtVBar, {60, 80}, 100, 50, "113,131,237,210"},
      // 1 and 3 across 50 pixels per unit, bar centres at rows 187 and 63.
      {"horizontal", cxtHBar, {1, 3}, 4, 0, "100,64,199,187"},
      {"one value", cxtVBar, {7}, 10, 0, "2147483647,2147483647,-2147483648,-2147483648"},
  };
  for (const Case& c : cases) {
    TChartix chart;
    chart.FShowLegend = false;
    chart.FShowLabel = false;
    chart.FShowTrendLine = true;
    chart.FTrendLineColour = kTrend;
    chart.FYTop = c.top;
    chart.FYOffset = c.offset;
    for (double v : c.values) chart.AddData(u"", v, u"FFFF00");
    Draw(chart, c.type);
    EXPECT_EQ(ToString(Extent(chart, kTrend)), c.pixels) << c.name;
  }
}

TEST(BarLinesTest, EachSeriesRunsOverTheBarsFromTheFirst) {
  struct Case {
    const char* name;
    TGraphType type;
    int bars;
    std::vector<SeriesPoint> points;  // in the order added
  } cases[] = {
      {"three and two over four bars", cxtVBar, 4,
       {{5, u"FF0000", true}, {7, u"FF0000", true}, {6, u"FF0000", true},
        {3, u"0000FF", true}, {4, u"0000FF", true}}},
      {"third point past two bars", cxtVBar, 2,
       {{5, u"FF0000", true}, {7, u"FF0000", true}, {3, u"FF0000", false}}},
      // The points of one colour string keep together: red runs on over a
      // third bar after the blue point.
      {"one colour added twice", cxtVBar, 4,
       {{5, u"FF0000", true}, {7, u"FF0000", true}, {3, u"0000FF", true}, {6, u"FF0000", true}}},
      {"horizontal, counting upwards", cxtHBar, 3,
       {{5, u"FF0000", true}, {7, u"FF0000", true}, {3, u"FF0000", true}}},
      {"stacked groups", cxtVStackedBar, 2,
       {{5, u"FF0000", true}, {7, u"FF0000", true}, {6, u"FF0000", false}}},
      {"horizontal stacked groups", cxtHStackedBar, 3,
       {{5, u"0000FF", true}, {7, u"0000FF", true}, {6, u"0000FF", true}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Glyphs alone, then lines alone: a point is marked exactly when it is
    // over a bar, and the lines stay within the marked points.
    for (bool lines : {false, true}) {
      TChartix chart;
      chart.FShowLegend = chart.FShowLabel = chart.FShowGrid = false;
      chart.FShowLinesWithBars = true;
      chart.FYTop = 10;
      chart.FShowLine = lines;
      chart.FPointStyle = lines ? cxpsNone : cxpsSquare;
      for (int i = 0; i < c.bars; ++i) {
        if (c.type == cxtVStackedBar || c.type == cxtHStackedBar) {
          chart.AddStackedData(std::u16string(1, u'A' + i), u"n", 1, u"FFFF00");
        } else {
          chart.AddData(u"", 1, u"FFFF00");
        }
      }
      for (const SeriesPoint& p : c.points) chart.AddPoint(0, p.y, p.colour, u"");
      Draw(chart, c.type);
      // The series in their list order: each colour's points together.
      std::vector<const SeriesPoint*> red, blue;
      for (const SeriesPoint& p : c.points) (p.colour[0] == u'F' ? red : blue).push_back(&p);
      int index = 0;
      for (const auto* series : {&red, &blue}) {
        if (series->empty()) continue;
        const TColor colour = series == &red ? kRed : kBlue;
        TRect spanned{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (size_t k = 0; k < series->size(); ++k) {
          const TPoint at = PointAt(chart, c.type, static_cast<int>(k), (*series)[k]->y);
          const TRect near{at.x - 2, at.y - 2, at.x + 3, at.y + 3};
          const bool painted = Extent(chart, colour, near).Left != INT_MAX;
          if (!lines) {
            EXPECT_EQ(painted, (*series)[k]->marked) << "point " << index + k;
          }
          if ((*series)[k]->marked) {
            spanned = {std::min(spanned.Left, at.x), std::min(spanned.Top, at.y),
                       std::max(spanned.Right, at.x), std::max(spanned.Bottom, at.y)};
          }
        }
        index += static_cast<int>(series->size());
        if (lines) {
          const TRect drawn = Extent(chart, colour);
          if (series->size() == 1) {  // a lone point has nothing to join
            EXPECT_EQ(drawn.Left, INT_MAX);
            continue;
          }
          ASSERT_NE(drawn.Left, INT_MAX);
          // Joined through every marked point, the last end left out.
          EXPECT_GE(drawn.Left, spanned.Left - 1);
          EXPECT_LE(drawn.Right, spanned.Right);
          EXPECT_GE(drawn.Top, spanned.Top - 1);
          EXPECT_LE(drawn.Bottom, spanned.Bottom);
          EXPECT_GE((drawn.Right - drawn.Left) + (drawn.Bottom - drawn.Top),
                    (spanned.Right - spanned.Left) + (spanned.Bottom - spanned.Top) - 2);
        }
      }
    }
  }
}

TEST(BarLinesTest, BarLegendListsItemsThenTrendLineThenEachSeries) {
  TChartix chart;
  chart.FShowLabel = false;
  chart.FShowTrendLine = chart.FShowLinesWithBars = chart.FLegendHideEmptyNames = true;
  chart.FTrendLineName = u"fit";
  chart.FTrendLineColour = kTrend;
  chart.FLegendX = 300;
  chart.FLegendY = 20;
  chart.FLegendAlign = cxtaTopLeft;
  chart.FLegendVertical = true;
  chart.AddData(u"a", 2, u"FFFF00");
  chart.AddData(u"b", 3, u"00FF00");
  chart.AddPoint(0, 1, u"ff0000", u"first");
  chart.AddPoint(0, 2, u"0000FF", u"");  // hidden: no entry of its own
  chart.AddPoint(0, 3, u"FF0000", u"");
  for (TGraphType type : {cxtVBar, cxtHBar, cxtVStackedBar}) {
    SCOPED_TRACE(type);
    if (type == cxtVStackedBar) chart.AddStackedData(u"G", u"a", 2, u"FFFF00");
    Draw(chart, type);
    // Swatch centres one row (16 pixels) apart from the box's top.
    std::vector<TColor> expected = {0x00FFFF, 0x00FF00, kTrend, kRed};
    if (type == cxtVStackedBar) expected = {0x00FFFF, kRed};
    for (size_t j = 0; j < expected.size(); ++j) {
      EXPECT_EQ(chart.PixelColour(309, 30 + 16 * static_cast<int>(j)), expected[j]) << j;
    }
    EXPECT_NE(chart.PixelColour(309, 30 + 16 * static_cast<int>(expected.size())), kBlue);
  }
}

TEST(BarLinesTest, HandleDrawsNeitherOverlay) {
  TChartix chart;
  chart.FShowLegend = chart.FShowLabel = false;
  chart.FShowTrendLine = chart.FShowLinesWithBars = true;
  chart.FTrendLineColour = kTrend;
  chart.AddData(u"", 2, u"FFFF00");
  chart.AddData(u"", 6, u"FFFF00");
  chart.AddPoint(0, 5, u"FF0000", u"");
  chart.AddPoint(0, 1, u"FF0000", u"");
  Draw(chart, cxtVBar);
  EXPECT_NE(Extent(chart, kTrend).Left, INT_MAX);
  EXPECT_NE(Extent(chart, kRed).Left, INT_MAX);
  const std::unique_ptr<TBitmap> handle = chart.Handle(cxtVBar);
  for (int y = 0; y < handle->Height(); ++y) {
    for (int x = 0; x < handle->Width(); ++x) {
      const TColor pixel = handle->GetPixel(x, y);
      ASSERT_TRUE(pixel != kTrend && pixel != kRed) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace plotvane
