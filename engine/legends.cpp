// Legends: a box anchored at (FLegendX, FLegendY) by its alignment point,
// listing a colour swatch and a name per entry, one under the other or all in
// one row. Each chart kind's legend drawer collects its own entries; one box
// layout draws them all.
//
// Geometry (pixels): n entries, h the legend font's pixel height, s = FSquare,
// p = FPadding, w(k) the width of name k, R the row step (h + p, or s + p when
// the swatch is the taller).
//   vertical:   W = max w(k) + 3p + s            H = n R + p
//   horizontal: W = sum w(k) + (2n + 1) p + n s  H = p + R
#include <algorithm>

#include "engine/chartix.h"
#include "engine/drawing.h"
#include "engine/rounding.h"

namespace plotvane {

void TChartix::DrawLegend(TGraphType graph_type) {
  if (!FShowLegend) return;

  std::vector<LegendEntry> entries;
  if (FCustomLegend) {
    entries = CustomLegendEntries(*this);
  } else {
    const int count = NameList.Count();
    for (int k = 0; k < count; ++k) {
      const int j = FLegendInvert ? count - 1 - k : k;
      if (FLegendHideEmptyNames && NameList[j].empty()) continue;
      entries.push_back({NameList[j], ColourList[j]});
    }
    const bool bars = graph_type == cxtVBar || graph_type == cxtHBar;
    if (bars && FShowTrendLine && !FTrendLineName.empty())
      entries.push_back({FTrendLineName, GetColour(FTrendLineColour)});
    if (bars && FShowLinesWithBars) AppendLineEntries(*this, entries);
  }
  DrawingSteps::DrawLegendBox(*this, entries, LegendLayout{});
}

std::vector<LegendEntry> CustomLegendEntries(const TChartix& chart) {
  std::vector<LegendEntry> entries;
  for (int k = 0; k < chart.CustomLegendNameList.Count(); ++k)
    entries.push_back({chart.CustomLegendNameList[k], chart.CustomLegendColourList[k]});
  return entries;
}

void AppendLineEntries(const TChartix& chart, std::vector<LegendEntry>& entries) {
  // A point starts an entry when its colour differs from that of the last
  // point that made one; a hidden name makes none and leaves the colour to
  // compare with as it was.
  std::u16string last = u"nil";
  for (const auto& line : chart.Points.Lines()) {
    for (const auto& point : line.Points) {
      if (line.Colour == last) continue;
      if (chart.FLegendHideEmptyNames && point.LineName.empty()) continue;
      entries.push_back({point.LineName, line.Colour});
      last = line.Colour;
    }
  }
}

void DrawingSteps::DrawLegendBox(TChartix& chart, const std::vector<LegendEntry>& entries,
                                 const LegendLayout& layout) {
  TCanvas& canvas = chart.Canvas();
  const TBrushStyle previous_style = canvas.Brush().Style();
  canvas.Font() = chart.FLegendFont;
  const Int64 n = static_cast<Int64>(entries.size());
  const Int64 h = AbsHeight(chart.FLegendFont);
  const Int64 s = chart.FSquare, p = chart.FPadding;
  // The texts shown, and the widths a row advances by.
  std::vector<std::u16string> shown;
  std::vector<Int64> widths, advances;
  widths.reserve(entries.size());
  Int64 widest = 0, total_width = 0;
  for (const auto& e : entries) {
    widths.push_back(chart.GetTextWidth(e.name));
    widest = std::max(widest, widths.back());
    total_width += widths.back();
    if (layout.show_after_last_equals) {
      shown.push_back(TextAfterLast(e.name, u'='));
      advances.push_back(chart.GetTextWidth(shown.back()));
    }
  }
  if (!layout.show_after_last_equals) advances = widths;
  const Int64 row = h > s ? h + p : s + p;
  Int64 box_w, box_h, step = row;
  if (chart.FLegendVertical) {
    box_w = layout.column_width >= 0 ? layout.column_width : widest + 3 * p + s;
    box_h = n * row + p;
  } else {
    if (n == 0) step = s + p;
    box_w = total_width + (2 * n + 1) * p + n * s;
    box_h = p + step;
  }

  Int64 dx = 0, dy = 0;
  switch (chart.FLegendAlign) {
    case cxtaTopCentre: dx = box_w / 2; break;
    case cxtaTopRight: dx = box_w; break;
    case cxtaBaselineLeft: dy = box_h / 2; break;
    case cxtaBaselineCentre: dx = box_w / 2; dy = box_h / 2; break;
    case cxtaBaselineRight: dx = box_w; dy = box_h / 2; break;
    case cxtaBottomLeft: dy = box_h; break;
    case cxtaBottomCentre: dx = box_w / 2; dy = box_h; break;
    case cxtaBottomRight: dx = box_w; dy = box_h; break;
    default: break;
  }
  const Int64 x0 = chart.FLegendX - dx, y0 = chart.FLegendY - dy;

  canvas.Brush().SetColor(chart.FLegendBGColour);
  canvas.Pen().Color = chart.FShowLegendBox ? chart.FLegendFont.Color : chart.FLegendBGColour;
  canvas.Rectangle(ClampToCanvas(x0), ClampToCanvas(y0), ClampToCanvas(x0 + box_w),
                   ClampToCanvas(y0 + box_h));

  const bool areas = layout.map_areas && chart.FUseImageMap && chart.FIMLegend;
  const Int64 half_s = Round(static_cast<long double>(s) / 2);
  const Int64 half_h = Round(static_cast<long double>(h) / 2);
  Int64 yc = Round(static_cast<long double>(p + step) / 2) + y0;
  Int64 before = 0;  // widths of the names before entry k
  for (Int64 k = 0; k < n; ++k) {
    const LegendEntry& e = entries[static_cast<size_t>(k)];
    Int64 sx, sy, tx, ty, t_bottom;
    if (chart.FLegendVertical) {
      sx = x0 + p;
      sy = yc - half_s;
      tx = x0 + 2 * p + s;
      ty = yc - half_h;
      t_bottom = yc + half_h;
    } else {
      sx = x0 + (2 * k + 1) * p + k * s + before;
      sy = layout.row_swatch_on_centre ? yc - half_s : y0 + (box_h - s) / 2;
      tx = x0 + (2 * k + 2) * p + (k + 1) * s + before;
      ty = yc - half_h;
      t_bottom = layout.centred_row_name_areas ? yc + half_h : ty + h;
    }
    canvas.Pen().Color = chart.FLegendFont.Color;
    canvas.Brush().SetColor(TChartix::SetColour(e.colour, 0));
    const int left = ClampToCanvas(sx), top = ClampToCanvas(sy);
    const int right = ClampToCanvas(sx + s), bottom = ClampToCanvas(sy + s);
    canvas.Rectangle(left, top, right, bottom);
    canvas.Brush().SetColor(chart.FLegendBGColour);
    const size_t at = static_cast<size_t>(k);
    canvas.TextOut(ClampToCanvas(tx), ClampToCanvas(ty),
                   layout.show_after_last_equals ? shown[at] : e.name);
    const Int64 w = widths[at];
    if (areas) {
      chart.AddRectArea(left, top, right, bottom, static_cast<Integer>(k));
      chart.AddRectArea(ClampToCanvas(tx), ClampToCanvas(ty), ClampToCanvas(tx + w),
                        ClampToCanvas(t_bottom), static_cast<Integer>(k));
    }
    if (chart.FLegendVertical) yc += row;
    before += advances[at];
  }
  if (layout.keep_brush_style) canvas.Brush().SetStyle(previous_style);
}

}  // namespace plotvane
