// The overlays of bar charts: the least-squares trend line through the bar
// values, drawn from the centre of the first bar to the centre of the last
// on the chart's value scale, not clipped to the plot area.
#include "engine/chartix.h"
#include "engine/drawing.h"
#include "engine/rounding.h"

namespace plotvane {

void TChartix::DrawTrendLine(TGraphType graph_type) {
  if (graph_type != cxtVBar && graph_type != cxtHBar) return;
  const int n = ValueList.Count();
  if (n < 2) return;

  // The fit of y = m x + b over x = 0 .. n - 1, the values themselves also
  // when the bars show percentages.
  double sx = 0, sy = 0, sxy = 0, sxx = 0;
  for (int i = 0; i < n; ++i) {
    const double y = ReadValue(i);
    sx += i;
    sy += y;
    sxy += i * y;
    sxx += static_cast<double>(i) * i;
  }
  const double d = n * sxx - sx * sx;
  const double m = (n * sxy - sx * sy) / d;
  const double b = (sy * sxx - sx * sxy) / d;
  const double e = (n - 1) * m + b;

  TCanvas& canvas = Canvas();
  const TColor colour = canvas.Pen().Color;
  const int width = canvas.Pen().Width;
  canvas.Pen().Color = FTrendLineColour;
  canvas.Pen().Width = FTrendLineWidth;
  auto value_at = [this](double v, double per_unit) {
    return PixelLength((static_cast<long double>(v) - FYOffset) * per_unit);
  };
  if (graph_type == cxtVBar) {
    canvas.MoveTo(FFirstBarPos, ClampToCanvas(FOriginY - value_at(b, FYPixelsPerUnit)));
    canvas.LineTo(FLastBarPos, ClampToCanvas(FOriginY - value_at(e, FYPixelsPerUnit)));
  } else {
    canvas.MoveTo(ClampToCanvas(FOriginX + value_at(b, FXPixelsPerUnit)), FFirstBarPos);
    canvas.LineTo(ClampToCanvas(FOriginX + value_at(e, FXPixelsPerUnit)), FLastBarPos);
  }
  canvas.Pen().Color = colour;
  canvas.Pen().Width = width;
}

}  // namespace plotvane
