// The XY line graph: the points of every line against two value axes,
// joined in the order they were added, with a glyph and a map circle at each
// point; its legend of one entry per line; the markers; and the text items
// anchored to data positions, with their leaders and frames.
//
// Every position comes from the one mapping the axes publish (PixelOf):
// value x lies at column FOriginX + Round((x - FXOffset) XLinePX), value y
// at row FOriginY - Round((y - FYOffset) YLinePX). Nothing is
// clipped to the plot area: a value beyond the scale is drawn beyond the
// axes, and the bitmap's edges clip it.
//
// A line is a run of points of one colour string, and the point list keeps
// each line's points together in the order they were added, so a change of
// colour string starts a new line that is not joined to the one before.
// Points are never sorted. All glyphs are drawn after all lines, so that
// they lie on top; a point's map index is its position in the list, one
// line after the other.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/chartix.h"
#include "engine/drawing.h"
#include "engine/number_format.h"
#include "engine/rounding.h"

namespace plotvane {

namespace {

// Positions are kept within this distance of the origin, far beyond any
// bitmap, so that adding offsets to them never overflows.
constexpr Int64 kPixelLimit = Int64{1} << 62;

// The value of a coordinate text; 0 when it does not read (it always does
// for points added through AddPoint).
Double PointValue(const std::u16string& text) {
  Double value = 0;
  return TryStrToFloat(text, value) ? value : 0;
}

// origin + Round(distance), halves to even, kept within kPixelLimit.
Int64 Offset(Int64 origin, long double distance) {
  const Int64 d = std::max(-kPixelLimit, std::min(kPixelLimit, Round64(distance)));
  return origin + d;
}

// The pixel of the point (x, y) on the scale the axes of the last drawing
// published: column FOriginX + Round((x - FXOffset) XLinePX) and row
// FOriginY - Round((y - FYOffset) YLinePX), halves to even. Worked out in
// 64 bits, so a value far beyond the scale still has a position (within
// +-2^62); GraphX and GraphY invert them.
Pixel PixelOf(const TChartix& chart, Double x, Double y) {
  return Pixel{
      Offset(chart.FOriginX, (static_cast<long double>(x) - chart.FXOffset) * chart.XLinePX),
      Offset(chart.FOriginY, -((static_cast<long double>(y) - chart.FYOffset) * chart.YLinePX))};
}

// The plot area: the extent of the axes, widened by the label font's point
// size f when numbers are shown and an axis crosses the plot inside it:
// upwards when the X axis has a negative part, to the right when the
// vertical axis has one, and also to the left and downwards when both have.
TRect PlotArea(const TChartix& c) {
  const Int64 f = std::abs(static_cast<Int64>(c.FLabelFont.Size()));
  const bool x_negative = c.FXAxisNegative > 0 && c.FShowNumbers;
  const bool y_negative = c.FYAxisNegative > 0 && c.FShowNumbers;
  const Int64 x0 = c.FOriginX, y0 = c.FOriginY;
  Int64 top = y0 - (c.FMaxY - c.FYAxisNegative);
  Int64 right = x0 + c.FMaxX - c.FXAxisNegative;
  Int64 left = x0 - c.FXAxisNegative;
  Int64 bottom = y0 + c.FYAxisNegative;
  if (x_negative) top -= f;
  if (y_negative) right += f;
  if (x_negative && y_negative) {
    left -= f;
    bottom += f;
  }
  return TRect{ClampToCanvas(left), ClampToCanvas(top), ClampToCanvas(right + 1),
               ClampToCanvas(bottom + 1)};
}

// ---- Text frames -------------------------------------------------------------

// A frame's edges as offsets from the text's anchor (X, Y): the rectangle
// (X + left, Y - top) to (X + right, Y + bottom), right and bottom outside.
struct FrameOffsets {
  Int64 left, top, right, bottom;
};

// The frame of level text whose block is wb wide and hb high: its outline
// runs 2 columns left of the block and on the first column right of it and
// the first row below it.
FrameOffsets LevelFrame(int align, Int64 wb, Int64 hb, const TTextMetric& tm) {
  const Int64 half = Round64(static_cast<long double>(wb) / 2);
  const int horizontal = align % 3, vertical = align / 3;
  FrameOffsets f{};
  f.left = horizontal == 0 ? -2 : horizontal == 1 ? -half - 2 : -wb - 2;
  f.right = horizontal == 0 ? wb + 1 : horizontal == 1 ? half + 1 : 1;
  f.top = vertical == 0 ? 0 : vertical == 1 ? tm.tmAscent : tm.tmHeight;
  f.bottom = hb - f.top + 1;
  return f;
}

// The frame of text reading upwards, w long: its top is its left side and
// its start its lower end, so the alignment's horizontal part moves the
// frame along the column and its vertical part across it.
FrameOffsets UpwardFrame(int align, Int64 w, const TTextMetric& tm) {
  const Int64 half = Round64(static_cast<long double>(w) / 2);
  const int horizontal = align % 3, vertical = align / 3;
  FrameOffsets f{};
  f.top = horizontal == 0 ? w + 1 : horizontal == 1 ? half + 1 : 1;
  f.bottom = horizontal == 0 ? 2 : horizontal == 1 ? half + 2 : w + 2;
  f.left = vertical == 0 ? 0 : vertical == 1 ? -tm.tmAscent : -tm.tmHeight;
  f.right = vertical == 0 ? tm.tmHeight + 1 : vertical == 1 ? tm.tmDescent + 1 : 1;
  return f;
}

// A text block's lines are drawn one cell height apart, each with its
// reference point at the block's left edge, as the text alignment places
// it; nothing is clipped and "&" is an ordinary character.
constexpr unsigned kBlockFormat = DT_LEFT | DT_NOCLIP | DT_NOPREFIX;

// Draws the frame of `text`, level or reading upwards, anchored at
// `anchor` by `align`, in the canvas's current (turned) font: outlined in
// `border`, filled with `fill`.
void DrawTextFrame(TCanvas& canvas, const std::u16string& text, bool level, int align, Pixel anchor,
                   TColor border, TColor fill) {
  canvas.Pen().Color = border;
  canvas.Brush().SetColor(fill);
  const TTextMetric tm = canvas.GetTextMetrics();
  FrameOffsets f;
  if (level) {
    TRect block{0, 0, 0, 0};
    canvas.DrawText(text, block, kBlockFormat | DT_CALCRECT);
    f = LevelFrame(align, block.Right, block.Bottom, tm);
  } else {
    f = UpwardFrame(align, canvas.TextExtent(text).cx, tm);
  }
  canvas.Rectangle(ClampToCanvas(anchor.x + f.left), ClampToCanvas(anchor.y - f.top),
                   ClampToCanvas(anchor.x + f.right), ClampToCanvas(anchor.y + f.bottom));
}

}  // namespace

// ---- The graph -------------------------------------------------------------------

void TChartix::DrawLineGraph() {
  AutoSettingsScope automatic_settings(*this);
  PrepareCanvas(cxtLine);
  PaintBackground(*this);
  TCanvas& canvas = Canvas();

  const TRect plot = PlotArea(*this);
  canvas.Brush().SetColor(FPlotAreaColor);
  canvas.Pen().Color = FPlotAreaColor;
  canvas.Rectangle(plot.Left, plot.Top, plot.Right, plot.Bottom);

  DrawYAxis(cxtLine);  // with the grid, under both axes
  DrawXAxis(cxtLine);
  if (FShowPlotBorder) {
    canvas.Pen().Color = FGraphPen;
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Rectangle(plot.Left, plot.Top, plot.Right, plot.Bottom);
  }
  canvas.Pen().Width = FLineWidth;
  FXPixelsPerUnit = XLinePX;
  FYPixelsPerUnit = YLinePX;
  FReadXGrad = FXGrad;
  FReadXTop = FXTop;
  FReadYGrad = FYGrad;
  FReadYTop = FYTop;

  std::vector<Pixel> pixels;
  pixels.reserve(static_cast<size_t>(Points.Count()));
  for (const auto& line : Points.Lines()) {
    for (const auto& point : line.Points) {
      pixels.push_back(PixelOf(*this, PointValue(point.X), PointValue(point.Y)));
    }
  }

  // Lines: each starts at its first point without joining the line before.
  size_t i = 0;
  for (const auto& line : Points.Lines()) {
    canvas.Pen().Color = SetColour(line.Colour, 0);
    Pixel pen = pixels[i++];
    for (size_t k = 1; k < line.Points.size(); ++k, ++i) {
      if (FShowLine) Segment(canvas, pen, pixels[i]);
      pen = pixels[i];
    }
  }

  // Glyphs and map circles, over every line.
  canvas.Pen().Width = 1;
  const bool areas = FUseImageMap && FIMDataArea;
  i = 0;
  for (const auto& line : Points.Lines()) {
    const TColor colour = SetColour(line.Colour, 0);
    for (size_t k = 0; k < line.Points.size(); ++k, ++i) {
      const int x = ClampToCanvas(pixels[i].x), y = ClampToCanvas(pixels[i].y);
      if (FPointStyle != cxpsNone) {
        canvas.Pen().Color = colour;
        DrawPoint(x, y, FPointStyle, FPointSize, colour);
      }
      if (areas) AddCircleArea(x, y, static_cast<Integer>(i));
    }
  }
}

// ---- Legend ----------------------------------------------------------------------

void TChartix::DrawLineLegend() {
  if (!FShowLegend) return;
  std::vector<LegendEntry> entries;
  if (FCustomLegend) {
    entries = CustomLegendEntries(*this);
  } else {
    AppendLineEntries(*this, entries);
  }
  LegendLayout layout;
  layout.centred_row_name_areas = true;
  DrawingSteps::DrawLegendBox(*this, entries, layout);
}

// ---- Markers ---------------------------------------------------------------------

void TChartix::DrawMarkers() {
  for (const TMarkerItem& marker : MarkerList) {
    if (marker.PointStyle == cxpsNone) continue;
    const Pixel at = PixelOf(*this, marker.x, marker.y);
    DrawPoint(ClampToCanvas(at.x), ClampToCanvas(at.y), marker.PointStyle, marker.PointSize,
              marker.Colour);
  }
}

// ---- Text items ------------------------------------------------------------------

void TChartix::DrawLineGraphText() {
  if (LineGraphTextList.empty()) return;
  TCanvas& canvas = Canvas();
  const TBrushStyle entry_style = canvas.Brush().Style();
  for (const TTextItem& item : LineGraphTextList) {
    canvas.Font() = MadeFont(FLineGraphFont, Round(static_cast<long double>(item.Angle) * 10));
    const unsigned previous_align = canvas.GetTextAlign();
    unsigned flags = 0;
    const bool known_align = AlignFlags(FLineGraphTextAlign, flags);
    if (known_align) canvas.SetTextAlign(flags);

    const Pixel data = PixelOf(*this, item.x, item.y);
    const Pixel anchor{data.x + FLineGraphTextXOffset, data.y - FLineGraphTextYOffset};
    if (FLineGraphTextLeader) {
      canvas.Pen().Color = FLineGraphLeaderColor;
      canvas.Brush().SetStyle(TBrushStyle::bsClear);
      Segment(canvas, data, anchor);
    }
    // Only level and upward texts get a frame; its fill is their background.
    const long double whole = std::trunc(static_cast<long double>(item.Angle));
    const bool framed = FLineGraphTextBorder && (whole == 0 || whole == 90);
    if (framed) {
      DrawTextFrame(canvas, item.Value, whole == 0, known_align ? FLineGraphTextAlign : cxtaTopLeft,
                    anchor, FLineGraphBorderColor, FLineGraphTextBGColor);
    }
    if (FLineGraphTextTransparent || framed) {
      canvas.Brush().SetStyle(TBrushStyle::bsClear);
    } else {
      canvas.Brush().SetColor(FLineGraphTextBGColor);
    }

    const int x = ClampToCanvas(anchor.x), y = ClampToCanvas(anchor.y);
    if (item.Angle == 0) {
      TRect block{x, y, x, y};
      canvas.DrawText(item.Value, block, kBlockFormat);
    } else {
      canvas.TextOut(x, y, item.Value);
    }
    canvas.SetTextAlign(previous_align);
    canvas.Font() = FLineGraphFont;  // the made font lives for one item only
  }
  canvas.Brush().SetStyle(entry_style);
}

}  // namespace plotvane
