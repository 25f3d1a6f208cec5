// Value axes: the vertical axis of vertical bars, the line graph and vertical
// stacked bars (DrawYAxis, with the grid under it), the value axis of
// horizontal bars (DrawHBarAxis, with its own grid lines) and the line
// graph's X axis (DrawXAxis).
//
// Each axis walks its ticks outwards from the origin, first over the
// positive part, then over the negative part. A tick gets a mark, and, with
// numbers on, its value as text; the origin gets no mark, only a number.
// Tick k lies Round(k px) pixels from the origin, px being the unrounded
// pixel distance of two ticks, so rounding never accumulates along an axis.
#include <algorithm>
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

Int64 HalfOf(Int64 v) { return Round64(static_cast<long double>(v) / 2); }

// The value text of a point coordinate; 0 when it does not read (it always
// does for points added through AddPoint).
Double PointValue(const std::u16string& text) {
  Double value = 0;
  return TryStrToFloat(text, value) ? value : 0;
}

// The largest Ceil(v), at least 0, over the point coordinates `pick` gives.
template <class Pick>
Int64 LargestPointValue(const TPointList& points, Pick pick) {
  Int64 m = 0;
  for (const auto& line : points.Lines()) {
    for (const auto& point : line.Points) m = std::max(m, Ceil64(PointValue(pick(point))));
  }
  return m;
}

// Which value axis a tick number belongs to: its date, label and
// prefix/suffix settings.
enum class AxisKind : uint8_t {
  kVertical,        // the vertical value axis (FUseYAxisDates, AddPrefixSuffixY)
  kHorizontalBars,  // the value axis of horizontal bars (no dates, AddPrefixSuffix)
  kX,               // the line graph's X axis (FUseXAxisDates, AddPrefixSuffixX, no percentages)
};

// The text written at a tick of value `value`, or at the origin.
std::u16string TickText(const TChartix& chart, AxisKind axis, Double value,
                        const std::u16string& mask, bool origin) {
  const bool dates = axis == AxisKind::kVertical ? chart.FUseYAxisDates
                     : axis == AxisKind::kX      ? chart.FUseXAxisDates
                                                 : false;
  const std::u16string t = dates ? chart.GetDateText(value) : FormatFloat(mask, value);
  if (chart.FShowPercent && axis != AxisKind::kX) return origin ? u"0%" : t + u"%";
  const bool labels = axis == AxisKind::kX ? chart.FUseXAxisLabels : chart.FUseYAxisLabels;
  if (labels) {
    const std::u16string key = origin ? FloatToStr(value) : t;
    return axis == AxisKind::kX ? chart.GetXAxisLabel(key) : chart.GetYAxisLabel(key);
  }
  switch (axis) {
    case AxisKind::kVertical:
      return chart.AddPrefixSuffixY(t);
    case AxisKind::kHorizontalBars:
      return chart.AddPrefixSuffix(t);
    case AxisKind::kX:
      return chart.AddPrefixSuffixX(t);
  }
  return t;
}

}  // namespace

// The scale steps of the axes: a friend of TChartix, for its largest-value
// helpers and CalculateScale.
class AxisSteps {
 public:
  // The largest value the vertical value axis and its grid scale by.
  static Int64 YAxisMaxValue(TChartix& chart, TGraphType graph_type) {
    switch (graph_type) {
      case cxtVBar: {
        Int64 b = chart.GetMaxValue();
        if (chart.FShowLinesWithBars && !chart.Points.Empty()) b = std::max(b, chart.GetMaxY());
        return b;
      }
      case cxtLine:
        return chart.GetMaxY();
      case cxtVStackedBar:
        chart.FShowPercent = false;
        return chart.GetMaxStackedTotal();
      default:
        return 0;
    }
  }

  // Makes a scale ready for its ticks: an offset not below a given top is
  // reset, a scale with an automatic top or step is chosen, and px, the
  // distance of two ticks, worked out over the positive part `length` or,
  // for all-negative data, the negative part. `per_unit` receives the
  // pixels per value unit (1 for a span of 0).
  static TickScale PrepareScale(TChartix& chart, Double& top, Double& grad, Double& offset,
                                Int64 max_value, Int64 length, Int64 negative, Double& per_unit) {
    if (top != 0 && offset >= top) offset = 0;
    if (top == 0 || grad == 0) chart.CalculateScale(grad, top, offset, max_value, length);

    TickScale scale;
    scale.top = top;
    scale.grad = grad;
    scale.offset = offset;
    scale.length = length;
    scale.negative = negative;
    scale.decimals = chart.FDecimals;
    per_unit = 1;
    const long double span = std::fabs(static_cast<long double>(top) - offset);
    // Data wholly below zero spread their span over the negative part.
    const Int64 stretch = (max_value > 0 || negative == 0) ? length : negative;
    if (span != 0) {
      scale.px = static_cast<double>(grad / span * stretch);
      per_unit = static_cast<double>(stretch / span);
    }
    return scale;
  }
};

// ---- Largest values ------------------------------------------------------

Int64 TChartix::GetMaxValue() {
  const int count = ValueList.Count();
  Int64 m = 0;
  for (int i = 0; i < count; ++i) m = std::max(m, Ceil64(ReadValue(i)));
  // With percentages, the share of the (rounded) largest value.
  if (FShowPercent && Total != 0) m = Ceil64(100.0L / Total * m);
  if (m == 0) {
    for (int i = 0; i < count; ++i) m = std::min(m, Ceil64(ReadValue(i)));
  }
  return m;
}

Int64 TChartix::GetMaxX() {
  return LargestPointValue(Points,
                           [](const TPointEntry& p) -> const std::u16string& { return p.X; });
}

Int64 TChartix::GetMaxY() {
  return LargestPointValue(Points,
                           [](const TPointEntry& p) -> const std::u16string& { return p.Y; });
}

Integer TChartix::GetMaxStackedTotal() {
  // Sums are added in 64 bits and kept to the 32 a stacked total has, so
  // that large groups saturate instead of wrapping to negative totals. An
  // item counts in the group it is drawn in.
  std::vector<Int64> sums(static_cast<size_t>(StackedGroupList.Count()));
  Int64 smallest = 0;
  for (int k = 0; k < StackedValueList.Count(); ++k) {
    Double value = 0;
    TryStrToFloat(StackedValueList[k], value);
    const Int64 rounded = Ceil64(value);
    smallest = std::min(smallest, rounded);
    const Integer group = DrawingSteps::StackedGroupOf(*this, k);
    if (group < 0) continue;
    Int64& sum = sums[static_cast<size_t>(group)];
    sum = Saturate32(sum + std::max<Int64>(INT32_MIN, std::min<Int64>(INT32_MAX, rounded)));
  }
  Int64 m = 0;
  for (Int64 sum : sums) m = std::max(m, sum);
  if (m == 0) m = smallest;
  return Saturate32(m);
}

// ---- Scale -----------------------------------------------------------------

void TChartix::CalculateScale(Double& grad, Double& top, Double& offset, Int64 max_value,
                              Int64 axis_length) {
  plotvane::CalculateScale(grad, top, offset, max_value, axis_length, FLabelFont.Size(),
                           FShowPercent);
}

// ---- The vertical value axis ---------------------------------------------

void TChartix::DrawYAxis(TGraphType graph_type) {
  const Int64 b = AxisSteps::YAxisMaxValue(*this, graph_type);
  if (FShowGrid) DrawGrid(graph_type);  // the grid lies under everything the axis draws

  TCanvas& canvas = Canvas();
  canvas.Font() = FLabelFont;
  canvas.Pen() = TPen{FGraphPen, 1, TPenStyle::psSolid};
  const Int64 length = static_cast<Int64>(FMaxY) - FYAxisNegative;
  const TickScale scale =
      AxisSteps::PrepareScale(*this, FYTop, FYGrad, FYOffset, b, length, FYAxisNegative, YLinePX);

  const Int64 x0 = FOriginX, y0 = FOriginY;
  canvas.MoveTo(ClampToCanvas(x0), ClampToCanvas(y0 - length));
  canvas.LineTo(ClampToCanvas(x0), ClampToCanvas(y0 + FYAxisNegative + 1));

  const std::u16string mask = GetYValueMask();
  const Int64 h = AbsHeight(canvas.Font());
  Int64 text_left = x0 - FXAxisNegative;
  if (FXAxisNegative > 0 && FShowNumbers) text_left -= h / 2;
  const Int64 mark_left = x0 - FYMarkSize;

  auto tick = [&](Int64 y, Double value) {
    canvas.MoveTo(ClampToCanvas(mark_left), ClampToCanvas(y));
    canvas.LineTo(ClampToCanvas(x0), ClampToCanvas(y));
    canvas.Brush().SetColor(FLabelBGColour);
    if (FLabelTransparent) canvas.Brush().SetStyle(TBrushStyle::bsClear);
    if (!FShowNumbers) return;
    const std::u16string s = TickText(*this, AxisKind::kVertical, value, mask, false);
    const Int64 x = mark_left - 2 - GetTextWidth(s);
    canvas.TextOut(ClampToCanvas(x), ClampToCanvas(y - HalfOf(h)), s);
    text_left = std::min(text_left, x);
  };
  WalkPositiveTicks(scale, TickCount(scale, false), true, 0,
                    [&](Int64 p, Double v) { tick(y0 - p, v); });
  WalkNegativeTicks(scale, [&](Int64 p, Double v) { tick(y0 + p, v); });
  TextLeft = Saturate32(text_left);

  if (FXAxisNegative == 0 && FShowNumbers) {
    const std::u16string s = TickText(*this, AxisKind::kVertical, FYOffset, mask, true);
    canvas.TextOut(ClampToCanvas(mark_left - 2 - GetTextWidth(s)), ClampToCanvas(y0 - HalfOf(h)),
                   s);
  }
}

void TChartix::DrawGrid(TGraphType graph_type) {
  const Int64 b = AxisSteps::YAxisMaxValue(*this, graph_type);
  const Int64 length = static_cast<Int64>(FMaxY) - FYAxisNegative;
  Double per_unit = 0;  // the axis, not its grid, publishes the pixels per unit
  const TickScale scale =
      AxisSteps::PrepareScale(*this, FYTop, FYGrad, FYOffset, b, length, FYAxisNegative, per_unit);

  TCanvas& canvas = Canvas();
  canvas.Pen().Color = FGridColour;
  canvas.Pen().Style = FGridStyle;
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  const Int64 x0 = FOriginX, y0 = FOriginY;
  auto line = [&canvas](Int64 x1, Int64 y1, Int64 x2, Int64 y2) {
    canvas.MoveTo(ClampToCanvas(x1), ClampToCanvas(y1));
    canvas.LineTo(ClampToCanvas(x2), ClampToCanvas(y2));
  };

  if (!FHideHGrid) {
    auto across = [&](Int64 y) {
      if (FXAxisNegative == 0) {
        line(x0, y, x0 + FMaxX, y);
      } else {
        line(x0 + FMaxX - FXAxisNegative, y, x0 - FXAxisNegative, y);
      }
    };
    WalkPositiveTicks(scale, TickCount(scale, true), true, 0,
                      [&](Int64 p, Double) { across(y0 - p); });
    WalkNegativeTicks(scale, [&](Int64 p, Double) { across(y0 + p); });
  }
  if (graph_type != cxtLine) return;

  const Int64 x_length = static_cast<Int64>(FMaxX) - FXAxisNegative;
  const TickScale x_scale = AxisSteps::PrepareScale(*this, FXTop, FXGrad, FXOffset, GetMaxX(),
                                                    x_length, FXAxisNegative, per_unit);
  if (FHideVGrid) return;
  // These lines run over every step of the span; past the bitmap's edge no
  // further line can show.
  const Int64 reach = std::max<Int64>(x0, FBitmap->Width() - x0) + 1;
  WalkPositiveTicks(x_scale, TickCount(x_scale, true), false, reach, [&](Int64 p, Double) {
    if (FYAxisNegative == 0) {
      line(x0 + p, y0, x0 + p, y0 - FMaxY);
    } else {
      line(x0 + p, y0 + FYAxisNegative, x0 + p, y0 - length);
    }
  });
  WalkNegativeTicks(
      x_scale, [&](Int64 p, Double) { line(x0 - p, y0 + FYAxisNegative, x0 - p, y0 - length); });
}

// ---- The value axis of horizontal bars -------------------------------------

void TChartix::DrawHBarAxis(TGraphType graph_type) {
  TCanvas& canvas = Canvas();
  canvas.Font() = FLabelFont;
  canvas.Pen().Color = FGraphPen;
  canvas.Pen().Width = 1;
  canvas.Brush().SetColor(FBGColour);
  canvas.Brush().SetStyle(TBrushStyle::bsClear);  // numbers of this axis have no background

  Int64 b = 0;
  if (graph_type == cxtHStackedBar) {
    b = GetMaxStackedTotal();
  } else {
    Total = 0;
    for (int i = 0; i < ValueList.Count(); ++i) Total += std::fabs(ReadValue(i));
    b = GetMaxValue();
    if (FShowLinesWithBars && !Points.Empty()) b = std::max(b, GetMaxY());
  }
  const Int64 length = static_cast<Int64>(FMaxY) - FYAxisNegative;
  Double per_unit = 0;  // this axis leaves YLinePX alone
  const TickScale scale =
      AxisSteps::PrepareScale(*this, FYTop, FYGrad, FYOffset, b, length, FYAxisNegative, per_unit);

  const Int64 x0 = FOriginX, y0 = FOriginY;
  canvas.MoveTo(ClampToCanvas(x0 + length), ClampToCanvas(y0));
  canvas.LineTo(ClampToCanvas(x0 - FYAxisNegative - 1), ClampToCanvas(y0));
  const std::u16string mask = GetValueMask();
  Int64 text_bottom = 0;
  const Int64 h = AbsHeight(canvas.Font());
  const Int64 number_top = y0 + FYMarkSize + 2;

  // Upward numbers end 2 pixels below the tick mark, each in a font of its
  // own; level ones hang centred under it.
  auto number = [&](Int64 x, Double value, bool origin) {
    const std::u16string s = TickText(*this, AxisKind::kHorizontalBars, value, mask, origin);
    if (FXValuesVertical) {
      canvas.Font() = MadeFont(FLabelFont, 900);
      const Int64 w = GetTextWidth(s);
      canvas.TextOut(ClampToCanvas(x - HalfOf(h)), ClampToCanvas(number_top + w), s);
      if (!origin) text_bottom = std::max(text_bottom, w);
    } else {
      const Int64 w = GetTextWidth(s);
      canvas.TextOut(ClampToCanvas(x - HalfOf(w)), ClampToCanvas(number_top), s);
      if (!origin) text_bottom = h;
    }
  };
  auto tick = [&](Int64 x, Double value) {
    canvas.MoveTo(ClampToCanvas(x), ClampToCanvas(y0 + FYMarkSize));
    canvas.LineTo(ClampToCanvas(x), ClampToCanvas(y0));
    if (FShowGrid) {
      canvas.Pen().Color = FGridColour;
      canvas.Pen().Style = FGridStyle;
      canvas.LineTo(ClampToCanvas(x), ClampToCanvas(y0 - FMaxX));
      canvas.Pen().Color = FGraphPen;
      canvas.Pen().Style = TPenStyle::psSolid;
    }
    if (FShowNumbers) number(x, value, false);
  };
  WalkPositiveTicks(scale, TickCount(scale, false), true, 0,
                    [&](Int64 p, Double v) { tick(x0 + p, v); });
  WalkNegativeTicks(scale, [&](Int64 p, Double v) { tick(x0 - p, v); });
  TextBottom = Saturate32(text_bottom);
  if (FShowNumbers) number(x0, FYOffset, true);
}

// ---- The line graph's X axis -----------------------------------------------

void TChartix::DrawXAxis(TGraphType) {
  TCanvas& canvas = Canvas();
  // One font for every number of this axis, turned when they read upwards.
  canvas.Font() = MadeFont(FLabelFont, FXValuesVertical ? 900 : 0);
  canvas.Pen() = TPen{FGraphPen, 1, TPenStyle::psSolid};
  canvas.Brush().SetColor(FBGColour);
  const Int64 length = static_cast<Int64>(FMaxX) - FXAxisNegative;
  const TickScale scale = AxisSteps::PrepareScale(*this, FXTop, FXGrad, FXOffset, GetMaxX(), length,
                                                  FXAxisNegative, XLinePX);

  const Int64 x0 = FOriginX, y0 = FOriginY;
  canvas.MoveTo(ClampToCanvas(x0 + length), ClampToCanvas(y0));
  canvas.LineTo(ClampToCanvas(x0 - FXAxisNegative - 1), ClampToCanvas(y0));
  const std::u16string mask = GetXValueMask();
  const Int64 h = AbsHeight(canvas.Font());
  Int64 text_bottom = y0 + FYAxisNegative;
  if (FYAxisNegative > 0 && FShowNumbers) text_bottom += h / 2;
  const Int64 number_top = y0 + FXMarkSize + 2;

  auto tick = [&](Int64 x, Double value) {
    canvas.MoveTo(ClampToCanvas(x), ClampToCanvas(y0 + FXMarkSize));
    canvas.LineTo(ClampToCanvas(x), ClampToCanvas(y0));
    canvas.Brush().SetColor(FLabelBGColour);
    if (FLabelTransparent) canvas.Brush().SetStyle(TBrushStyle::bsClear);
    if (!FShowNumbers) return;
    const std::u16string s = TickText(*this, AxisKind::kX, value, mask, false);
    const Int64 w = GetTextWidth(s);
    if (FXValuesVertical) {
      canvas.TextOut(ClampToCanvas(x - HalfOf(h)), ClampToCanvas(number_top + w), s);
      text_bottom = std::max(text_bottom, number_top + w);
    } else {
      canvas.TextOut(ClampToCanvas(x - HalfOf(w)), ClampToCanvas(number_top), s);
      text_bottom = std::max(text_bottom, number_top + h);
    }
  };
  WalkPositiveTicks(scale, TickCount(scale, false), true, 0,
                    [&](Int64 p, Double v) { tick(x0 + p, v); });
  WalkNegativeTicks(scale, [&](Int64 p, Double v) { tick(x0 - p, v); });
  TextBottom = Saturate32(text_bottom);

  if (FYAxisNegative == 0 && FShowNumbers) {
    const std::u16string s = TickText(*this, AxisKind::kX, FXOffset, mask, true);
    const Int64 w = GetTextWidth(s);
    if (FXValuesVertical) {
      // Centred by half the point size here, not half the pixel height.
      const Int64 half_size = HalfOf(std::abs(static_cast<Int64>(canvas.Font().Size())));
      canvas.TextOut(ClampToCanvas(x0 - half_size), ClampToCanvas(number_top + w), s);
    } else {
      canvas.TextOut(ClampToCanvas(x0 - HalfOf(w)), ClampToCanvas(number_top), s);
    }
  }
  canvas.Font() = FLabelFont;
}

}  // namespace plotvane
