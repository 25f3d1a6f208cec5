// The overlays of bar charts: the least-squares trend line through the bar
// values, drawn from the centre of the first bar to the centre of the last
// on the chart's value scale, not clipped to the plot area; and the line
// series drawn over plain and stacked bars, the k-th point of a series over
// the k-th bar at the height of its Y value.
#include "engine/chartix.h"
#include "engine/drawing.h"
#include "engine/number_format.h"
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

void TChartix::DrawBarLines(TGraphType graph_type) {
  const bool vertical = graph_type == cxtVBar || graph_type == cxtVStackedBar;
  const bool stacked = graph_type == cxtVStackedBar || graph_type == cxtHStackedBar;
  const Int64 bars = stacked ? StackedGroupList.Count() : ValueList.Count();
  // Bars count upwards in a horizontal chart.
  const Int64 pitch = (vertical ? 1 : -1) * (static_cast<Int64>(FReadBarGap) + FReadBarWidth);
  const long double per_unit = vertical ? FYPixelsPerUnit : FXPixelsPerUnit;
  TCanvas& canvas = Canvas();
  const TColor colour = canvas.Pen().Color;
  const int width = canvas.Pen().Width;

  // Each line of the point list is one series: the lines hold distinct
  // colour strings, so a series never runs on into the next.
  for (const auto& line : Points.Lines()) {
    const TColor series_colour = SetColour(line.Colour, 0);
    canvas.Pen().Color = series_colour;
    Pixel pen;
    Int64 k = 1;
    for (const auto& point : line.Points) {
      Double y = 0;
      if (!TryStrToFloat(point.Y, y)) y = 0;
      const Int64 v = PixelLength((static_cast<long double>(y) - FYOffset) * per_unit);
      const Int64 q = FFirstBarPos + (k - 1) * pitch;
      const Pixel at = vertical ? Pixel{q, FOriginY - v} : Pixel{FOriginX + v, q};
      if (k == 1) {
        canvas.MoveTo(ClampToCanvas(at.x), ClampToCanvas(at.y));
        pen = at;
      } else {
        canvas.Pen().Width = FLineWidth;
        if (FShowLine && k <= bars) {
          Segment(canvas, pen, at);
          pen = at;
        }
      }
      canvas.Pen().Width = 1;
      // Points beyond the last bar are neither joined nor marked, and the
      // pen stays at the last one that was.
      if (FPointStyle != cxpsNone && k <= bars) {
        DrawPoint(ClampToCanvas(at.x), ClampToCanvas(at.y), FPointStyle, FPointSize, series_colour);
        canvas.MoveTo(ClampToCanvas(at.x), ClampToCanvas(at.y));
        pen = at;
      }
      ++k;
    }
  }
  canvas.Pen().Color = colour;
  canvas.Pen().Width = width;
}

}  // namespace plotvane
