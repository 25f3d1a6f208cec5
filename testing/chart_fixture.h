// Drawing a chart with the engine and reading it back: its image map, where a
// colour lies on the picture, the areas and text sizes the drawers produce.
#ifndef PLOTVANE_TESTING_CHART_FIXTURE_H_
#define PLOTVANE_TESTING_CHART_FIXTURE_H_

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

#include "canvas/bitmap.h"
#include "engine/chartix.h"

namespace plotvane::testing_charts {

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

}  // namespace plotvane::testing_charts

#endif  // PLOTVANE_TESTING_CHART_FIXTURE_H_
