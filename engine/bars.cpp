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

// The value text of a bar's total: its percentage with "%", or its value
// with prefix and suffix.
std::u16string TotalText(const TChartix& chart, const std::u16string& mask, Double value,
                         Double percent) {
  return chart.FShowPercent ? FormatFloat(mask, percent) + u"%"
                            : chart.AddPrefixSuffix(FormatFloat(mask, value));
}

// Whether the bar of `value` has its total written at its end.
bool ShowsTotal(const TChartix& chart, Double value) {
  return chart.FShowBarTotal && (chart.FShowTotalIfZero || value - chart.FYOffset != 0);
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

// One bar, as both directions draw it.
struct Bar {
  int index = 0;       // its data item
  Double value = 0;    // the item's value
  Double percent = 0;  // |value| as a share of Total, in percent
  bool above = false;  // the value is not below FYOffset
  Int64 length = 0;    // pixels from the origin line to the bar's end, signed
  Slot slot{};         // its slot along the category axis
};

// The corners a bar is drawn with. A vertical bar above the origin line
// covers rows y0 - length to y0, one below it rows y0 to y0 - length: the
// corners differ by one row on each side. A horizontal percentage bar
// always runs right; otherwise the origin column belongs to bars on both
// sides.
TRect BarCorners(const TChartix& chart, bool vertical, const SlotLayout& slots, const Bar& bar) {
  const Int64 x0 = chart.FOriginX, y0 = chart.FOriginY;
  if (vertical) {
    const Int64 left = x0 + bar.slot.start;
    return TRect{ClampToCanvas(left), ClampToCanvas(y0 + (bar.above ? 1 : 0)),
                 ClampToCanvas(left + slots.width),
                 ClampToCanvas(y0 - bar.length + (bar.above ? 0 : 1))};
  }
  const Int64 bottom = y0 - bar.slot.start;
  const Int64 left = chart.FShowPercent ? x0 : x0 + (bar.above ? 0 : 1);
  const Int64 right = x0 + bar.length + (chart.FShowPercent || bar.above ? 1 : 0);
  return TRect{ClampToCanvas(left), ClampToCanvas(bottom), ClampToCanvas(right),
               ClampToCanvas(bottom - slots.width)};
}

}  // namespace

// The steps of the bar drawers: a friend of TChartix, for its canvas, text
// measures and map areas.
class BarSteps {
 public:
  // The chart of the data items, vertical (cxtVBar) or horizontal (cxtHBar):
  // the frame, then each bar with its total and label.
  static void DrawBars(TChartix& chart, TGraphType graph_type);

 private:
  static void DrawVBarTotal(TChartix& chart, const Bar& bar, const std::u16string& mask);
  static void DrawVBarLabel(TChartix& chart, const Bar& bar);
  static void DrawHBarTexts(TChartix& chart, const Bar& bar, const std::u16string& mask);
};

// ---- Shared with the stacked charts ------------------------------------------

TBrushStyle DrawingSteps::DrawBarFrame(TChartix& chart, TGraphType graph_type) {
  const bool vertical = graph_type == cxtVBar || graph_type == cxtVStackedBar;
  chart.PrepareCanvas(graph_type);
  PaintBackground(chart);
  TCanvas& canvas = chart.Canvas();

  const Int64 x0 = chart.FOriginX, y0 = chart.FOriginY;
  const Int64 max_x = chart.FMaxX, max_y = chart.FMaxY;
  const Int64 x_negative = chart.FXAxisNegative, y_negative = chart.FYAxisNegative;
  TRect plot;
  if (vertical) {
    plot = {ClampToCanvas(x0), ClampToCanvas(y0 - (max_y - y_negative)), ClampToCanvas(x0 + max_x),
            ClampToCanvas(y0 + y_negative + 1)};
  } else {
    plot = {ClampToCanvas(x0 - y_negative), ClampToCanvas(y0 - (max_x - x_negative) + 1),
            ClampToCanvas(x0 + max_y - y_negative + 1), ClampToCanvas(y0 + x_negative + 1)};
  }
  canvas.Brush().SetColor(chart.FPlotAreaColor);
  canvas.Pen().Color = chart.FPlotAreaColor;
  canvas.Rectangle(plot.Left, plot.Top, plot.Right, plot.Bottom);

  canvas.Pen().Width = 1;
  if (vertical) {
    chart.DrawYAxis(graph_type);
  } else {
    chart.DrawHBarAxis(graph_type);
  }
  const TBrushStyle axis_style = canvas.Brush().Style();
  if (chart.FShowPlotBorder) {
    canvas.Pen().Color = chart.FGraphPen;
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Rectangle(plot.Left, plot.Top, plot.Right, plot.Bottom);
  }
  canvas.MoveTo(ClampToCanvas(x0), ClampToCanvas(y0));
  if (vertical) {
    canvas.LineTo(ClampToCanvas(x0 + max_x), ClampToCanvas(y0));
    chart.TextBottom = Saturate32(y0 + y_negative);
  } else {
    canvas.LineTo(ClampToCanvas(x0), ClampToCanvas(y0 - max_x));
  }
  return axis_style;
}

SlotLayout LayOutBars(const TChartix& chart, TGraphType graph_type, Int64 count) {
  // Only vertical bars take the spare pixel per bar.
  const bool widen = graph_type == cxtVBar || graph_type == cxtVStackedBar;
  return LayOutSlots(chart.FMaxX, count, chart.FBarWidth, chart.FBarGap, widen);
}

void PublishBarLayout(TChartix& chart, TGraphType graph_type, const SlotLayout& slots, Int64 count,
                      Double per_unit) {
  const Int64 pitch = slots.width + slots.gap;
  // The two halves are rounded one by one, so the first position may lie a
  // pixel off the exact centre that totals and labels use.
  const Int64 half_spare = Round64(static_cast<long double>(slots.spare) / 2);
  const Int64 half_width = Round64(static_cast<long double>(slots.width) / 2);
  if (graph_type == cxtVBar || graph_type == cxtVStackedBar) {
    chart.FXPixelsPerUnit = static_cast<Double>(pitch);
    chart.FYPixelsPerUnit = per_unit;
    const Int64 first = half_spare + chart.FOriginX + half_width;
    chart.FFirstBarPos = Saturate32(first);
    chart.FLastBarPos = Saturate32(first + (count - 1) * pitch);
  } else {
    chart.FXPixelsPerUnit = per_unit;
    chart.FYPixelsPerUnit = static_cast<Double>(pitch);
    const Int64 first = chart.FOriginY - half_spare - half_width;
    chart.FFirstBarPos = Saturate32(first);
    chart.FLastBarPos = Saturate32(first - (count - 1) * pitch);
  }
  chart.FReadYTop = chart.FYTop;
  chart.FReadYGrad = chart.FYGrad;
  chart.FReadBarGap = Saturate32(slots.gap);
  chart.FReadBarWidth = Saturate32(slots.width);
}

// ---- Both directions -----------------------------------------------------------

void TChartix::DrawVBarGraph() { BarSteps::DrawBars(*this, cxtVBar); }

void TChartix::DrawHBarGraph() { BarSteps::DrawBars(*this, cxtHBar); }

void BarSteps::DrawBars(TChartix& chart, TGraphType graph_type) {
  AutoSettingsScope automatic_settings(chart);
  const bool vertical = graph_type == cxtVBar;
  const std::vector<Double> values = ItemValues(chart);
  const int count = static_cast<int>(values.size());
  DrawingSteps::DrawBarFrame(chart, graph_type);
  if (count == 0) return;

  const SlotLayout slots = LayOutBars(chart, graph_type, count);
  const Double scale = BarScale(chart);
  PublishBarLayout(chart, graph_type, slots, count, scale);

  TCanvas& canvas = chart.Canvas();
  if (vertical) {
    if (chart.FYAxisNegative > 0 && chart.FShowNumbers) {
      chart.TextBottom = Saturate32(chart.TextBottom + AbsHeight(canvas.Font()) / 2);
    }
  } else {
    canvas.Font() = chart.FLabelFont;
    canvas.Pen().Width = 1;
    chart.TextLeft = Saturate32(static_cast<Int64>(chart.FOriginX) - chart.FYAxisNegative);
  }
  for (int i = 0; i < count; ++i) {
    Bar bar;
    bar.index = i;
    bar.value = values[static_cast<size_t>(i)];
    bar.percent = chart.Total != 0 ? std::fabs(bar.value) * 100 / chart.Total : 0;
    canvas.Brush().SetColor(TChartix::SetColour(chart.ColourList[i], 0));
    bar.above = bar.value >= chart.FYOffset;
    bar.length = PixelLength(((chart.FShowPercent ? bar.percent : bar.value) -
                              static_cast<long double>(chart.FYOffset)) *
                             scale);
    bar.slot = SlotOf(slots, i);
    const TRect c = BarCorners(chart, vertical, slots, bar);
    canvas.Rectangle(c.Left, c.Top, c.Right, c.Bottom);
    if (chart.FUseImageMap && chart.FIMDataArea) {
      chart.AddRectArea(c.Left, c.Top, c.Right, c.Bottom, i);
    }

    canvas.Brush().SetColor(chart.FPlotAreaColor);  // totals get an opaque plot-area background
    const std::u16string mask = chart.GetValueMask();
    if (!vertical) {
      DrawHBarTexts(chart, bar, mask);
      continue;
    }
    if (ShowsTotal(chart, bar.value)) DrawVBarTotal(chart, bar, mask);
    DrawVBarLabel(chart, bar);
  }
}

// ---- Vertical bars -----------------------------------------------------------

void BarSteps::DrawVBarTotal(TChartix& chart, const Bar& bar, const std::u16string& mask) {
  TCanvas& canvas = chart.Canvas();
  canvas.Font() = MadeFont(chart.FLabelFont, chart.FBarTotalVertical ? 900 : 0);
  const std::u16string text = TotalText(chart, mask, bar.value, bar.percent);
  const Int64 tw = chart.GetTextWidth(text);
  const Int64 th = chart.GetTextHeight(text);
  const long double centre = static_cast<Int64>(chart.FOriginX) + bar.slot.centre;
  const Int64 bar_end = chart.FOriginY - bar.length;
  // A percentage is never negative, so its total always sits above the bar.
  const bool above = chart.FShowPercent || bar.value >= chart.FYOffset;
  Int64 x, y;
  if (!chart.FBarTotalVertical) {
    x = Round64(centre - static_cast<long double>(tw) / 2);
    if (above) {
      y = bar_end - 1 - chart.GetTextHeight(u"X");
    } else {
      y = bar_end + 1;
      const Int64 size = std::abs(static_cast<Int64>(chart.FLabelFont.Size()));
      chart.TextBottom = Saturate32(std::max<Int64>(chart.TextBottom, y + size));
    }
  } else {
    // Upward text runs from its reference point towards the top of the
    // image: y is its lower end.
    x = Round64(centre - static_cast<long double>(th) / 2);
    if (above) {
      y = bar_end - 3;
    } else {
      y = bar_end + 3 + tw;
      chart.TextBottom = Saturate32(std::max<Int64>(chart.TextBottom, y));
    }
  }
  canvas.TextOut(ClampToCanvas(x), ClampToCanvas(y), text);
  canvas.Font() = chart.FLabelFont;
}

void BarSteps::DrawVBarLabel(TChartix& chart, const Bar& bar) {
  TCanvas& canvas = chart.Canvas();
  const TextBackground background(canvas, chart.FLabelBGColour, chart.FLabelTransparent,
                                  TextBackground::kColourFirst);
  if (!chart.FShowLabel) return;
  canvas.Font() = MadeFont(chart.FLabelFont, chart.FLabelVertical ? 900 : 0);
  const std::u16string& name = chart.NameList[bar.index];
  const Int64 tw = chart.GetTextWidth(name);
  const Int64 th = chart.GetTextHeight(name);
  const Int64 hf = AbsHeight(chart.FLabelFont);
  const long double centre = static_cast<Int64>(chart.FOriginX) + bar.slot.centre;
  const Int64 y0 = chart.FOriginY;
  Int64 x, y, right, bottom;
  // Labels go under the axis for bars above it and over the axis for bars
  // below it. Upward labels take their side from the value's sign, level
  // ones from the comparison with the offset.
  if (!chart.FLabelVertical) {
    x = Round64(centre - static_cast<long double>(tw) / 2);
    right = Round64(centre + static_cast<long double>(tw) / 2);
    if (bar.value >= chart.FYOffset) {
      y = y0 + 3;
      bottom = y0 + 3 + hf;
      chart.TextBottom = Saturate32(std::max<Int64>(chart.TextBottom, bottom));
    } else {
      y = y0 - 4 - hf;
      bottom = y0 - 3;
    }
  } else {
    x = Round64(centre - static_cast<long double>(th) / 2);
    right = Round64(centre + static_cast<long double>(th) / 2);
    if (bar.value >= 0) {
      y = y0 + 3 + tw;
      bottom = y0 + 3;
      chart.TextBottom = Saturate32(std::max<Int64>(chart.TextBottom, y));
    } else {
      y = y0 - 3;
      bottom = y0 - 3 - tw;
    }
  }
  canvas.TextOut(ClampToCanvas(x), ClampToCanvas(y), name);
  if (chart.FUseImageMap && chart.FIMLabel) {
    chart.AddRectArea(ClampToCanvas(x), ClampToCanvas(y), ClampToCanvas(right),
                      ClampToCanvas(bottom), bar.index);
  }
  canvas.Font() = chart.FLabelFont;
}

// ---- Horizontal bars ---------------------------------------------------------

void BarSteps::DrawHBarTexts(TChartix& chart, const Bar& bar, const std::u16string& mask) {
  TCanvas& canvas = chart.Canvas();
  const Int64 x0 = chart.FOriginX, y0 = chart.FOriginY;
  const long double centre = bar.slot.centre;
  const Double value = bar.value;
  const std::u16string& name = chart.NameList[bar.index];
  Int64 text_left = chart.TextLeft;
  if (ShowsTotal(chart, value)) {
    const std::u16string text = TotalText(chart, mask, value, bar.percent);
    // Centred on the bar by the height of the bar's name.
    const Int64 y = y0 - Round64(centre + static_cast<long double>(chart.GetTextHeight(name)) / 2);
    Int64 x;
    if (chart.FShowPercent || value >= chart.FYOffset) {
      x = x0 + bar.length + 4;
    } else {
      x = x0 + bar.length - chart.GetTextWidth(text) - 2;
      text_left = std::min(text_left, x);
    }
    canvas.TextOut(ClampToCanvas(x), ClampToCanvas(y), text);
  }

  const TextBackground background(canvas, chart.FLabelBGColour, chart.FLabelTransparent,
                                  TextBackground::kColourFirst);
  if (chart.FShowLabel) {
    const Int64 tw = chart.GetTextWidth(name);
    const long double half = static_cast<long double>(chart.GetTextHeight(name)) / 2;
    const Int64 y = y0 - Round64(centre + half), y2 = y0 - Round64(centre - half);
    // Left of the category axis for bars to the right of the origin, right
    // of it for bars to the left.
    const Int64 x = value >= chart.FYOffset ? x0 - 3 - tw : x0 + 3;
    canvas.TextOut(ClampToCanvas(x), ClampToCanvas(y), name);
    if (value >= chart.FYOffset) text_left = std::min(text_left, x);
    if (chart.FUseImageMap && chart.FIMLabel) {
      chart.AddRectArea(ClampToCanvas(x), ClampToCanvas(y), ClampToCanvas(x + tw),
                        ClampToCanvas(y2), bar.index);
    }
  }
  chart.TextLeft = Saturate32(text_left);
}

}  // namespace plotvane
