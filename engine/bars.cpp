// Vertical and horizontal bar charts: one bar per data item in its own slot
// along the category axis, from the value axis's origin line to the item's
// value, with its value (the total) at its end and its name (the label)
// beside the category axis.
//
// Slot geometry along the category axis (pixels; W width, G gap, E the spare
// room, of which half comes before the first bar):
//   bar i (from 0) starts Round(E/2) + i (G + W) after the origin, and its
//   centre, where totals and labels are centred, lies E/2 + i (G + W) + W/2
//   after it, unrounded.
// Vertical bars run right from FOriginX and up from FOriginY for values
// above FYOffset; horizontal bars run up from FOriginY (the first bar is the
// lowest) and right from FOriginX. The origin row (column) belongs to bars
// on both sides of it.
#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/chartix.h"
#include "engine/drawing.h"
#include "engine/number_format.h"
#include "engine/rounding.h"
#include "engine/scale.h"

namespace plotvane {

namespace {

Int64 AbsHeight(const TFont& font) { return std::abs(static_cast<Int64>(font.Height)); }

// The value text of a bar's total: its percentage with "%", or its value
// with prefix and suffix.
std::u16string TotalText(const TChartix& chart, const std::u16string& mask, Double value,
                         Double percent) {
  return chart.FShowPercent ? FormatFloat(mask, percent) + u"%"
                            : chart.AddPrefixSuffix(FormatFloat(mask, value));
}

// The item values, read back from their texts once; Total becomes the sum of
// their absolute values.
std::vector<Double> ItemValues(TChartix& chart) {
  std::vector<Double> values(static_cast<size_t>(chart.NameList.Count()));
  chart.Total = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    values[i] = chart.ReadValue(static_cast<Integer>(i));
    chart.Total += std::fabs(values[i]);
  }
  return values;
}

// P, the pixels per value unit of the scale the axis chose: the positive
// part of the axis over the span, or the negative part for a scale wholly
// below zero; 0 for a span of 0.
Double BarScale(const TChartix& chart) {
  const long double span = std::fabs(static_cast<long double>(chart.FYTop) - chart.FYOffset);
  if (span == 0) return 0;
  const long double part = chart.FYTop >= 0
                               ? static_cast<long double>(chart.FMaxY) - chart.FYAxisNegative
                               : static_cast<long double>(chart.FYAxisNegative);
  return static_cast<Double>(part / span);
}

}  // namespace

// ---- Shared with the stacked charts ------------------------------------------

TBrushStyle TChartix::DrawBarFrame(TGraphType graph_type) {
  const bool vertical = graph_type == cxtVBar || graph_type == cxtVStackedBar;
  PrepareCanvas(graph_type);
  PaintBackground();
  TCanvas& canvas = Canvas();

  const Int64 x0 = FOriginX, y0 = FOriginY;
  TRect plot;
  if (vertical) {
    plot = {ClampToCanvas(x0), ClampToCanvas(y0 - (FMaxY - FYAxisNegative)),
            ClampToCanvas(x0 + FMaxX), ClampToCanvas(y0 + FYAxisNegative + 1)};
  } else {
    plot = {ClampToCanvas(x0 - FYAxisNegative), ClampToCanvas(y0 - (FMaxX - FXAxisNegative) + 1),
            ClampToCanvas(x0 + FMaxY - FYAxisNegative + 1), ClampToCanvas(y0 + FXAxisNegative + 1)};
  }
  canvas.Brush().SetColor(FPlotAreaColor);
  canvas.Pen().Color = FPlotAreaColor;
  canvas.Rectangle(plot.Left, plot.Top, plot.Right, plot.Bottom);

  canvas.Pen().Width = 1;
  if (vertical) {
    DrawYAxis(graph_type);
  } else {
    DrawHBarAxis(graph_type);
  }
  const TBrushStyle axis_style = canvas.Brush().Style();
  if (FShowPlotBorder) {
    canvas.Pen().Color = FGraphPen;
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Rectangle(plot.Left, plot.Top, plot.Right, plot.Bottom);
  }
  canvas.MoveTo(ClampToCanvas(x0), ClampToCanvas(y0));
  if (vertical) {
    canvas.LineTo(ClampToCanvas(x0 + FMaxX), ClampToCanvas(y0));
    TextBottom = Saturate32(y0 + FYAxisNegative);
  } else {
    canvas.LineTo(ClampToCanvas(x0), ClampToCanvas(y0 - FMaxX));
  }
  return axis_style;
}

SlotLayout TChartix::LayOutBars(TGraphType graph_type, Int64 count) {
  // Only vertical bars take the spare pixel per bar.
  const bool widen = graph_type == cxtVBar || graph_type == cxtVStackedBar;
  return LayOutSlots(FMaxX, count, FBarWidth, FBarGap, widen);
}

void TChartix::PublishBarLayout(TGraphType graph_type, const SlotLayout& slots, Int64 count,
                                Double per_unit) {
  const Int64 pitch = slots.width + slots.gap;
  // The two halves are rounded one by one, so the first position may lie a
  // pixel off the exact centre that totals and labels use.
  const Int64 half_spare = Round64(static_cast<long double>(slots.spare) / 2);
  const Int64 half_width = Round64(static_cast<long double>(slots.width) / 2);
  if (graph_type == cxtVBar || graph_type == cxtVStackedBar) {
    FXPixelsPerUnit = static_cast<Double>(pitch);
    FYPixelsPerUnit = per_unit;
    const Int64 first = half_spare + FOriginX + half_width;
    FFirstBarPos = Saturate32(first);
    FLastBarPos = Saturate32(first + (count - 1) * pitch);
  } else {
    FXPixelsPerUnit = per_unit;
    FYPixelsPerUnit = static_cast<Double>(pitch);
    const Int64 first = FOriginY - half_spare - half_width;
    FFirstBarPos = Saturate32(first);
    FLastBarPos = Saturate32(first - (count - 1) * pitch);
  }
  FReadYTop = FYTop;
  FReadYGrad = FYGrad;
  FReadBarGap = Saturate32(slots.gap);
  FReadBarWidth = Saturate32(slots.width);
}

// ---- Vertical bars -----------------------------------------------------------

void TChartix::DrawVBarGraph() {
  AutoSettingsScope automatic_settings(*this);
  const std::vector<Double> values = ItemValues(*this);
  const int count = static_cast<int>(values.size());
  DrawBarFrame(cxtVBar);
  if (count == 0) return;

  const SlotLayout slots = LayOutBars(cxtVBar, count);
  const Double scale = BarScale(*this);
  PublishBarLayout(cxtVBar, slots, count, scale);

  TCanvas& canvas = Canvas();
  if (FYAxisNegative > 0 && FShowNumbers) {
    TextBottom = Saturate32(TextBottom + AbsHeight(canvas.Font()) / 2);
  }
  const Int64 x0 = FOriginX, y0 = FOriginY;
  for (int i = 0; i < count; ++i) {
    const Double v = values[static_cast<size_t>(i)];
    const Double percent = Total != 0 ? std::fabs(v) * 100 / Total : 0;
    canvas.Brush().SetColor(SetColour(ColourList[i], 0));
    const bool above = v >= FYOffset;
    const Int64 height =
        PixelLength(((FShowPercent ? percent : v) - static_cast<long double>(FYOffset)) * scale);
    const Slot slot = SlotOf(slots, i);
    const Int64 left = x0 + slot.start;
    // A bar above the origin line covers rows y0 - height to y0, one below
    // it rows y0 to y0 - height: the corners differ by one row on each side.
    const int l = ClampToCanvas(left), t = ClampToCanvas(y0 + (above ? 1 : 0));
    const int r = ClampToCanvas(left + slots.width),
              b = ClampToCanvas(y0 - height + (above ? 0 : 1));
    canvas.Rectangle(l, t, r, b);
    if (FUseImageMap && FIMDataArea) AddRectArea(l, t, r, b, i);

    canvas.Brush().SetColor(FPlotAreaColor);  // totals get an opaque plot-area background
    const std::u16string mask = GetValueMask();
    const long double centre = x0 + slot.centre;
    if (FShowBarTotal && (FShowTotalIfZero || v - FYOffset != 0)) {
      DrawVBarTotal(centre, y0 - height, v, percent, mask);
    }
    DrawVBarLabel(i, centre, v);
  }
}

void TChartix::DrawVBarTotal(long double centre, Int64 bar_end, Double value, Double percent,
                             const std::u16string& mask) {
  TCanvas& canvas = Canvas();
  canvas.Font() = MadeFont(FLabelFont, FBarTotalVertical ? 900 : 0);
  const std::u16string text = TotalText(*this, mask, value, percent);
  const Int64 tw = GetTextWidth(text);
  const Int64 th = GetTextHeight(text);
  // A percentage is never negative, so its total always sits above the bar.
  const bool above = FShowPercent || value >= FYOffset;
  Int64 x, y;
  if (!FBarTotalVertical) {
    x = Round64(centre - static_cast<long double>(tw) / 2);
    if (above) {
      y = bar_end - 1 - GetTextHeight(u"X");
    } else {
      y = bar_end + 1;
      const Int64 size = std::abs(static_cast<Int64>(FLabelFont.Size()));
      TextBottom = Saturate32(std::max<Int64>(TextBottom, y + size));
    }
  } else {
    // Upward text runs from its reference point towards the top of the
    // image: y is its lower end.
    x = Round64(centre - static_cast<long double>(th) / 2);
    if (above) {
      y = bar_end - 3;
    } else {
      y = bar_end + 3 + tw;
      TextBottom = Saturate32(std::max<Int64>(TextBottom, y));
    }
  }
  canvas.TextOut(ClampToCanvas(x), ClampToCanvas(y), text);
  canvas.Font() = FLabelFont;
}

void TChartix::DrawVBarLabel(int index, long double centre, Double value) {
  TCanvas& canvas = Canvas();
  const TextBackground background(canvas, FLabelBGColour, FLabelTransparent,
                                  TextBackground::kColourFirst);
  if (!FShowLabel) return;
  canvas.Font() = MadeFont(FLabelFont, FLabelVertical ? 900 : 0);
  const std::u16string& name = NameList[index];
  const Int64 tw = GetTextWidth(name);
  const Int64 th = GetTextHeight(name);
  const Int64 hf = AbsHeight(FLabelFont);
  const Int64 y0 = FOriginY;
  Int64 x, y, right, bottom;
  // Labels go under the axis for bars above it and over the axis for bars
  // below it. Upward labels take their side from the value's sign, level
  // ones from the comparison with the offset.
  if (!FLabelVertical) {
    x = Round64(centre - static_cast<long double>(tw) / 2);
    right = Round64(centre + static_cast<long double>(tw) / 2);
    if (value >= FYOffset) {
      y = y0 + 3;
      bottom = y0 + 3 + hf;
      TextBottom = Saturate32(std::max<Int64>(TextBottom, bottom));
    } else {
      y = y0 - 4 - hf;
      bottom = y0 - 3;
    }
  } else {
    x = Round64(centre - static_cast<long double>(th) / 2);
    right = Round64(centre + static_cast<long double>(th) / 2);
    if (value >= 0) {
      y = y0 + 3 + tw;
      bottom = y0 + 3;
      TextBottom = Saturate32(std::max<Int64>(TextBottom, y));
    } else {
      y = y0 - 3;
      bottom = y0 - 3 - tw;
    }
  }
  canvas.TextOut(ClampToCanvas(x), ClampToCanvas(y), name);
  if (FUseImageMap && FIMLabel) {
    AddRectArea(ClampToCanvas(x), ClampToCanvas(y), ClampToCanvas(right), ClampToCanvas(bottom),
                index);
  }
  canvas.Font() = FLabelFont;
}

// ---- Horizontal bars ---------------------------------------------------------

void TChartix::DrawHBarGraph() {
  AutoSettingsScope automatic_settings(*this);
  const std::vector<Double> values = ItemValues(*this);
  const int count = static_cast<int>(values.size());
  DrawBarFrame(cxtHBar);
  if (count == 0) return;

  const SlotLayout slots = LayOutBars(cxtHBar, count);
  const Double scale = BarScale(*this);
  PublishBarLayout(cxtHBar, slots, count, scale);

  TCanvas& canvas = Canvas();
  canvas.Font() = FLabelFont;
  canvas.Pen().Width = 1;
  TextLeft = Saturate32(static_cast<Int64>(FOriginX) - FYAxisNegative);
  const Int64 x0 = FOriginX, y0 = FOriginY;
  for (int i = 0; i < count; ++i) {
    const Double v = values[static_cast<size_t>(i)];
    const Double percent = Total != 0 ? std::fabs(v) * 100 / Total : 0;
    canvas.Brush().SetColor(SetColour(ColourList[i], 0));
    const bool above = v >= FYOffset;
    const Int64 length =
        PixelLength(((FShowPercent ? percent : v) - static_cast<long double>(FYOffset)) * scale);
    const Slot slot = SlotOf(slots, i);
    const Int64 bottom = y0 - slot.start;
    // A percentage bar always runs right; otherwise the origin column
    // belongs to bars on both sides.
    const Int64 left = FShowPercent ? x0 : x0 + (above ? 0 : 1);
    const Int64 right = x0 + length + (FShowPercent || above ? 1 : 0);
    const int l = ClampToCanvas(left), t = ClampToCanvas(bottom);
    const int r = ClampToCanvas(right), b = ClampToCanvas(bottom - slots.width);
    canvas.Rectangle(l, t, r, b);
    if (FUseImageMap && FIMDataArea) AddRectArea(l, t, r, b, i);

    canvas.Brush().SetColor(FPlotAreaColor);
    DrawHBarTexts(i, slot.centre, length, v, percent, GetValueMask());
  }
}

void TChartix::DrawHBarTexts(int index, long double centre, Int64 bar_end, Double value,
                             Double percent, const std::u16string& mask) {
  TCanvas& canvas = Canvas();
  const Int64 x0 = FOriginX, y0 = FOriginY;
  const std::u16string& name = NameList[index];
  Int64 text_left = TextLeft;
  if (FShowBarTotal && (FShowTotalIfZero || value - FYOffset != 0)) {
    const std::u16string text = TotalText(*this, mask, value, percent);
    // Centred on the bar by the height of the bar's name.
    const Int64 y = y0 - Round64(centre + static_cast<long double>(GetTextHeight(name)) / 2);
    Int64 x;
    if (FShowPercent || value >= FYOffset) {
      x = x0 + bar_end + 4;
    } else {
      x = x0 + bar_end - GetTextWidth(text) - 2;
      text_left = std::min(text_left, x);
    }
    canvas.TextOut(ClampToCanvas(x), ClampToCanvas(y), text);
  }

  const TextBackground background(canvas, FLabelBGColour, FLabelTransparent,
                                  TextBackground::kColourFirst);
  if (FShowLabel) {
    const Int64 tw = GetTextWidth(name);
    const long double half = static_cast<long double>(GetTextHeight(name)) / 2;
    const Int64 y = y0 - Round64(centre + half), y2 = y0 - Round64(centre - half);
    // Left of the category axis for bars to the right of the origin, right
    // of it for bars to the left.
    const Int64 x = value >= FYOffset ? x0 - 3 - tw : x0 + 3;
    canvas.TextOut(ClampToCanvas(x), ClampToCanvas(y), name);
    if (value >= FYOffset) text_left = std::min(text_left, x);
    if (FUseImageMap && FIMLabel) {
      AddRectArea(ClampToCanvas(x), ClampToCanvas(y), ClampToCanvas(x + tw), ClampToCanvas(y2),
                  index);
    }
  }
  TextLeft = Saturate32(text_left);
}

}  // namespace plotvane
