#include <gtest/gtest.h>

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

}  // namespace
}  // namespace plotvane
