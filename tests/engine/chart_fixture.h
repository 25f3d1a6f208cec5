// What the engine tests share: the peer that reaches the engine's private
// drawing steps, beside the chart fixture and EXPECT_THROW_MSG of testing/.
#ifndef PLOTVANE_TESTS_ENGINE_CHART_FIXTURE_H_
#define PLOTVANE_TESTS_ENGINE_CHART_FIXTURE_H_

#include "engine/chartix.h"
#include "testing/chart_fixture.h"
#include "testing/expect_throw.h"

namespace plotvane {

// Reaches the private steps that only the drawers call.
class TChartixTestPeer {
 public:
  static void Rect(TChartix& c, int l, int t, int r, int b, int i) { c.AddRectArea(l, t, r, b, i); }
  static void Slice(TChartix& c, int ex, int ey, int sx, int sy, int i, long double a0,
                    long double a1) {
    c.AddPieSliceArea(ex, ey, sx, sy, i, a0, a1);
  }
  static void Circle(TChartix& c, int x, int y, int i) { c.AddCircleArea(x, y, i); }
  static Int64 MaxValue(TChartix& c) { return c.GetMaxValue(); }
  static Int64 MaxY(TChartix& c) { return c.GetMaxY(); }
  static Integer MaxStackedTotal(TChartix& c) { return c.GetMaxStackedTotal(); }
  static void Point(TChartix& c, int x, int y, TPointStyle style, Word size, TColor colour) {
    c.DrawPoint(x, y, style, size, colour);
  }
  static TCanvas& Canvas(TChartix& c) { return c.Canvas(); }
};

}  // namespace plotvane

#endif  // PLOTVANE_TESTS_ENGINE_CHART_FIXTURE_H_
