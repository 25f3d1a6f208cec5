// What the engine tests share: the peer that reaches the engine's private
// drawing steps, drawing a chart and reading its image map, finding where a
// colour lies on the picture, and comparing an exception's exact message.
#ifndef PLOTVANE_TESTS_ENGINE_CHART_FIXTURE_H_
#define PLOTVANE_TESTS_ENGINE_CHART_FIXTURE_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

#include "canvas/bitmap.h"
#include "engine/chartix.h"

// Expects `statement` to throw `type` whose what() is exactly `message`.
#define EXPECT_THROW_MSG(statement, type, message)                      \
  do {                                                                  \
    try {                                                               \
      statement;                                                        \
      ADD_FAILURE() << #statement " threw nothing; expected " #type;    \
    } catch (const type& e) {                                           \
      EXPECT_STREQ(e.what(), message);                                  \
    } catch (...) {                                                     \
      ADD_FAILURE() << #statement " threw something other than " #type; \
    }                                                                   \
  } while (0)

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

namespace testing_charts {

// Draws `type` and returns its image map as UTF-8 (the maps are ASCII).
inline std::string Draw(TChartix& chart, TGraphType type) {
  auto bitmap = std::make_unique<TBitmap>();
  chart.GetGraph(bitmap, type);
  return std::string(chart.FImageMapText.begin(), chart.FImageMapText.end());
}

// The bounding box of the pixels of exactly `colour` in the last drawing,
// within `area` (right and bottom exclusive) when given; right and bottom
// inclusive, {INT_MAX, INT_MAX, INT_MIN, INT_MIN} when there is none.
inline TRect Extent(const TChartix& chart, TColor colour, TRect area = {0, 0, INT_MAX, INT_MAX}) {
  TRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  const TBitmap& bitmap = chart.Bitmap();
  for (int y = std::max(0, area.Top); y < std::min(bitmap.Height(), area.Bottom); ++y) {
    for (int x = std::max(0, area.Left); x < std::min(bitmap.Width(), area.Right); ++x) {
      if (chart.PixelColour(x, y) != colour) continue;
      box.Left = std::min(box.Left, x);
      box.Top = std::min(box.Top, y);
      box.Right = std::max(box.Right, x);
      box.Bottom = std::max(box.Bottom, y);
    }
  }
  return box;
}

inline std::string ToString(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) +
         "," + std::to_string(r.Bottom);
}

// An image-map rectangle as the area builders write it for entries titled
// "e<index>" without link or extra HTML.
inline std::string RectArea(int l, int t, int r, int b, int entry) {
  const std::string title = "e" + std::to_string(entry);
  return "<area shape=\"rect\" coords=\"" + std::to_string(l) + "," + std::to_string(t) + "," +
         std::to_string(r) + "," + std::to_string(b) + "\" title=\"" + title + "\"  alt=\"" +
         title + "\" />";
}

// Advance width and cell height of `text` in `font`, as the drawers measure.
inline TSize TextSize(const TFont& font, const std::u16string& text) {
  TBitmap bitmap;
  bitmap.Canvas().Font() = font;
  return bitmap.Canvas().TextExtent(text);
}

}  // namespace testing_charts
}  // namespace plotvane

#endif  // PLOTVANE_TESTS_ENGINE_CHART_FIXTURE_H_
