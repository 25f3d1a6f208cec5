// Stacked bar charts, vertical and horizontal: one bar per group in the slot
// layout of the plain bar charts, its items stacked from the origin line
// outwards in list order, each segment in its item's colour, with the
// segment's value, the group's name (the label) and the group's total.
//
// Segments (pixels; P the pixels per value unit, R(x) = Round(x P) halves to
// even, base the sum of the values stacked before a segment of value v):
//   vertical:   columns x_L to x_L + W, rows FOriginY - R(base + v) to
//               FOriginY - R(base), both ends included;
//   horizontal: rows y_g - W to y_g, columns FOriginX + R(base) to
//               FOriginX + R(base + v), both ends included.
// So two neighbours share one row (column), which the later one paints. The
// value axis of stacked bars always starts at 0.
//
// An item belongs to the group it was added to; its entry "group=name"
// names the group by the text before its last "=", except when the item's
// own name holds an "=", where the entry cannot tell.
#include <cstdlib>
#include <unordered_set>
#include <vector>

#include "engine/chartix.h"
#include "engine/drawing.h"
#include "engine/number_format.h"
#include "engine/rounding.h"
#include "engine/scale.h"

namespace plotvane {

namespace {

Int64 Half(Int64 v) { return v / 2; }  // truncating, in 64 bits

// R(x): a height of x value units in pixels from the origin line.
Int64 ScaledLength(Double x, Double per_unit) {
  return PixelLength(static_cast<long double>(x) * per_unit);
}

// The two corners a segment is drawn with, in 64 bits.
struct Corners {
  Int64 x1, y1, x2, y2;
};

bool Upward(TStackedTextAlign align) {
  return align == cxstCentreV || align == cxstLeftV || align == cxstRightV;
}

// The reference point of a segment value of width `tw` and height `th` in a
// vertical chart. Upward text starts at its lower end, so it is centred on
// the segment's middle row. Values outside the enumeration are centred
// like cxstCentreH.
Pixel VerticalValueAt(TStackedTextAlign align, const Corners& c, Int64 tw, Int64 th) {
  const Int64 level = Half(c.y1 + c.y2 - th), upward = Half(c.y1 + c.y2 + tw);
  switch (align) {
    case cxstCentreV: return {Half(c.x1 + c.x2 - th), upward};
    case cxstLeftH: return {c.x1 - tw - 2, level};
    case cxstLeftV: return {c.x1 - th - 2, upward};
    case cxstRightH: return {c.x2 + 3, level};
    case cxstRightV: return {c.x2 + 3, upward};
    default: return {Half(c.x1 + c.x2 - tw), level};
  }
}

// The items of every group, in list order: those of group g are
// items[first[g]] up to items[first[g + 1]].
struct GroupedItems {
  std::vector<Integer> first;
  std::vector<Integer> items;
};

GroupedItems GroupItems(const std::vector<Integer>& group_of, size_t groups) {
  GroupedItems grouped;
  grouped.first.assign(groups + 1, 0);
  for (Integer g : group_of) {
    if (g >= 0) ++grouped.first[static_cast<size_t>(g) + 1];
  }
  for (size_t g = 0; g < groups; ++g) grouped.first[g + 1] += grouped.first[g];
  grouped.items.resize(static_cast<size_t>(grouped.first[groups]));
  std::vector<Integer> next(grouped.first.begin(), grouped.first.end() - 1);
  for (size_t k = 0; k < group_of.size(); ++k) {
    const Integer g = group_of[k];
    if (g < 0) continue;
    grouped.items[static_cast<size_t>(next[static_cast<size_t>(g)]++)] = static_cast<Integer>(k);
  }
  return grouped;
}

}  // namespace

// The steps of the stacked charts: a friend of TChartix, for its canvas,
// text measures and map areas.
class StackedBarSteps {
 public:
  // The chart of the stacked groups, vertical (cxtVStackedBar) or
  // horizontal (cxtHStackedBar): the frame, then the groups one by one.
  static void DrawStackedBars(TChartix& chart, TGraphType graph_type);

 private:
  // Stacked item `item` of the group in `slot`, from `base` to `base` +
  // `value` value units on a scale of `per_unit` pixels per unit, with its
  // value text.
  static void DrawSegment(TChartix& chart, TGraphType graph_type, const SlotLayout& slots,
                          const Slot& slot, Integer item, Double base, Double value,
                          Double per_unit, const std::u16string& mask);
  // The name of group `group` beside the category axis.
  static void DrawLabel(TChartix& chart, TGraphType graph_type, Integer group, const Slot& slot);
  // The total `sum` of the group in `slot` at the end of its bar.
  static void DrawTotal(TChartix& chart, TGraphType graph_type, const Slot& slot, Double sum,
                        Double per_unit, const std::u16string& mask, TBrushStyle axis_style);
};

std::u16string TChartix::GetEntryName(const TStringList& list, Integer index) {
  if (index < 0 || index >= list.Count()) return u"";
  return TextBeforeLast(list[index], u'=');
}

std::u16string TChartix::GetEntryValue(const TStringList& list, Integer index) {
  if (index < 0 || index >= list.Count()) return u"";
  return TextAfterLast(list[index], u'=');
}

Integer DrawingSteps::StackedGroupOf(const TChartix& chart, Integer item) {
  if (item < 0 || item >= chart.StackedNameList.Count()) return -1;
  Integer group = -1;
  if (static_cast<size_t>(item) < chart.stacked_item_groups_.size()) {
    group = chart.stacked_item_groups_[static_cast<size_t>(item)];
  } else {
    const auto it = chart.stacked_groups_.find(TChartix::GetEntryName(chart.StackedNameList, item));
    if (it != chart.stacked_groups_.end()) group = it->second;
  }
  return group < chart.StackedGroupList.Count() ? group : -1;
}

// ---- The charts ----------------------------------------------------------------

void TChartix::DrawVStackedBarGraph() { StackedBarSteps::DrawStackedBars(*this, cxtVStackedBar); }

void TChartix::DrawHStackedBarGraph() { StackedBarSteps::DrawStackedBars(*this, cxtHStackedBar); }

void StackedBarSteps::DrawStackedBars(TChartix& chart, TGraphType graph_type) {
  AutoSettingsScope automatic_settings(chart);
  const bool vertical = graph_type == cxtVStackedBar;
  const TBrushStyle axis_style = DrawingSteps::DrawBarFrame(chart, graph_type);
  const int count = chart.StackedGroupList.Count();
  if (count == 0) return;

  const SlotLayout slots = LayOutBars(chart, graph_type, count);
  TCanvas& canvas = chart.Canvas();
  if (vertical && chart.FYAxisNegative > 0 && chart.FShowNumbers) {
    chart.TextBottom = Saturate32(chart.TextBottom + AbsHeight(canvas.Font()) / 2);
  }
  // Set before the scale is looked at, so that a chart with nothing to stack
  // does not leave its caption at the column of an earlier drawing.
  if (!vertical) {
    chart.TextLeft = Saturate32(static_cast<Int64>(chart.FOriginX) - chart.FYAxisNegative);
  }
  if (!(chart.FYTop > 0)) return;  // all values 0: no groups
  const Double per_unit = static_cast<Double>(
      (static_cast<long double>(chart.FMaxY) - chart.FYAxisNegative) / chart.FYTop);
  PublishBarLayout(chart, graph_type, slots, count, per_unit);
  const std::u16string mask = chart.GetValueMask();

  const int items = chart.StackedNameList.Count();
  std::vector<Integer> group_of(static_cast<size_t>(items));
  std::vector<Double> values(static_cast<size_t>(items));
  for (int k = 0; k < items; ++k) {
    group_of[static_cast<size_t>(k)] = DrawingSteps::StackedGroupOf(chart, k);
    Double value = 0;
    if (k < chart.StackedValueList.Count() && TryStrToFloat(chart.StackedValueList[k], value)) {
      values[static_cast<size_t>(k)] = value;
    }
  }
  const GroupedItems grouped = GroupItems(group_of, static_cast<size_t>(count));
  for (int g = 0; g < count; ++g) {
    const Slot slot = SlotOf(slots, g);
    Double base = 0, value = 0;
    const size_t end = static_cast<size_t>(grouped.first[static_cast<size_t>(g) + 1]);
    for (size_t i = static_cast<size_t>(grouped.first[static_cast<size_t>(g)]); i < end; ++i) {
      const Integer k = grouped.items[i];
      base += value;
      value = values[static_cast<size_t>(k)];
      DrawSegment(chart, graph_type, slots, slot, k, base, value, per_unit, mask);
    }
    // A vertical group writes its name before its total, a horizontal one
    // after it.
    if (vertical) DrawLabel(chart, graph_type, g, slot);
    DrawTotal(chart, graph_type, slot, base + value, per_unit, mask, axis_style);
    if (!vertical) DrawLabel(chart, graph_type, g, slot);
    canvas.Brush().SetStyle(axis_style);
  }
}

void StackedBarSteps::DrawSegment(TChartix& chart, TGraphType graph_type, const SlotLayout& slots,
                                  const Slot& slot, Integer item, Double base, Double value,
                                  Double per_unit, const std::u16string& mask) {
  TCanvas& canvas = chart.Canvas();
  const bool vertical = graph_type == cxtVStackedBar;
  const Int64 x0 = chart.FOriginX, y0 = chart.FOriginY;
  const Int64 from = ScaledLength(base, per_unit), to = ScaledLength(base + value, per_unit);
  const Int64 bar_bottom = y0 - slot.start;  // horizontal bars: the row under the bar
  Corners c;
  if (vertical) {
    const Int64 left = x0 + slot.start;
    c = {left, y0 + 1 - from, left + slots.width, y0 - to};
  } else {
    c = {x0 + from, bar_bottom, x0 + to + 1, bar_bottom - slots.width};
  }
  const std::u16string colour =
      item < chart.StackedColourList.Count() ? chart.StackedColourList[item] : u"";
  canvas.Brush().SetColor(TChartix::SetColour(colour, 0));
  const int l = ClampToCanvas(c.x1), t = ClampToCanvas(c.y1);
  const int r = ClampToCanvas(c.x2), b = ClampToCanvas(c.y2);
  canvas.Rectangle(l, t, r, b);
  // A segment of 0 still has its row (column), and its area.
  if (chart.FUseImageMap && chart.FIMDataArea) chart.AddRectArea(l, t, r, b, item);
  if (!chart.FShowStackedValues || value == 0) return;

  canvas.Font() = chart.FStackedTextFont;
  if (chart.FStackedTextTransparent) {
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  } else {
    canvas.Brush().SetColor(chart.FStackedTextBGColor);
  }
  const std::u16string text = chart.AddPrefixSuffix(FormatFloat(mask, value));
  const Int64 tw = chart.GetTextWidth(text), th = chart.GetTextHeight(text);
  Pixel at;
  if (vertical) {
    at = VerticalValueAt(chart.FStackedTextAlign, c, tw, th);
  } else {
    // Always level and centred along the bar: the alignment only chooses
    // above the bar, on its centre line or under it.
    at.x = Half(c.x1 + c.x2 - tw);
    switch (chart.FStackedTextAlign) {
      case cxstLeftH:
      case cxstLeftV: at.y = bar_bottom - slots.width - th - 2; break;
      case cxstRightH:
      case cxstRightV: at.y = bar_bottom + 3; break;
      default:
        at.y = y0 - Round64(slot.centre + static_cast<long double>(chart.GetTextHeight(u"X")) / 2);
        break;
    }
  }
  const bool upward = vertical && Upward(chart.FStackedTextAlign);
  if (upward) canvas.Font() = MadeFont(chart.FStackedTextFont, 900);
  canvas.TextOut(ClampToCanvas(at.x), ClampToCanvas(at.y), text);
  if (upward) canvas.Font() = chart.FStackedTextFont;  // the turned font lives for one text
}

void StackedBarSteps::DrawLabel(TChartix& chart, TGraphType graph_type, Integer group,
                                const Slot& slot) {
  TCanvas& canvas = chart.Canvas();
  canvas.Brush().SetColor(chart.FLabelBGColour);
  canvas.Font() = chart.FLabelFont;
  if (chart.FLabelTransparent) canvas.Brush().SetStyle(TBrushStyle::bsClear);
  if (!chart.FShowLabel) return;

  const std::u16string& name = chart.StackedGroupList[group];
  const Int64 x0 = chart.FOriginX, y0 = chart.FOriginY;
  if (graph_type == cxtHStackedBar) {
    // Left of the category axis, level whatever FLabelVertical says.
    const Int64 tw = chart.GetTextWidth(name), th = chart.GetTextHeight(name);
    const Int64 x = x0 - 3 - tw;
    const Int64 y = y0 - Round64(slot.centre + static_cast<long double>(th) / 2);
    canvas.TextOut(ClampToCanvas(x), ClampToCanvas(y), name);
    chart.TextLeft = Saturate32(std::min<Int64>(chart.TextLeft, x));
    return;
  }
  const long double centre = x0 + slot.centre;
  if (!chart.FLabelVertical) {
    // Shown by its part after the last "=", but centred by the whole name.
    const Int64 tw = chart.GetTextWidth(name);
    canvas.TextOut(ClampToCanvas(Round64(centre - static_cast<long double>(tw) / 2)),
                   ClampToCanvas(y0 + 3), TChartix::GetEntryValue(chart.StackedGroupList, group));
    chart.TextBottom =
        Saturate32(std::max<Int64>(chart.TextBottom, y0 + 3 + AbsHeight(chart.FLabelFont)));
    return;
  }
  canvas.Font() = MadeFont(chart.FLabelFont, 900);
  const Int64 tw = chart.GetTextWidth(name), th = chart.GetTextHeight(name);
  canvas.TextOut(ClampToCanvas(Round64(centre - static_cast<long double>(th) / 2)),
                 ClampToCanvas(y0 + 3 + tw), name);
  chart.TextBottom = Saturate32(std::max<Int64>(chart.TextBottom, y0 + 3 + tw));
  canvas.Font() = chart.FLabelFont;
}

void StackedBarSteps::DrawTotal(TChartix& chart, TGraphType graph_type, const Slot& slot,
                                Double sum, Double per_unit, const std::u16string& mask,
                                TBrushStyle axis_style) {
  if (!chart.FShowBarTotal || !(chart.FShowTotalIfZero || sum != 0)) return;
  TCanvas& canvas = chart.Canvas();
  canvas.Font() = chart.FLabelFont;
  const std::u16string text = chart.AddPrefixSuffix(FormatFloat(mask, sum));
  const Int64 hx = chart.GetTextHeight(u"X");
  const Int64 length = ScaledLength(sum, per_unit);
  Int64 x, y;
  if (graph_type == cxtVStackedBar) {
    // Just above the bar, on the plot-area colour.
    canvas.Brush().SetStyle(axis_style);
    canvas.Brush().SetColor(chart.FPlotAreaColor);
    x = Round64(chart.FOriginX + slot.centre -
                static_cast<long double>(chart.GetTextWidth(text)) / 2);
    y = chart.FOriginY - length - 1 - hx;
  } else {
    // Four pixels right of the bar's end, without background.
    canvas.Brush().SetColor(chart.FPlotAreaColor);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    x = chart.FOriginX + length + 4;
    y = chart.FOriginY - Round64(slot.centre + static_cast<long double>(hx) / 2);
  }
  canvas.TextOut(ClampToCanvas(x), ClampToCanvas(y), text);
}

// ---- The legend -----------------------------------------------------------------

void TChartix::DrawStackedLegend() {
  if (!FShowLegend) return;
  Canvas().Font() = FLegendFont;
  const int count = StackedNameList.Count();
  // The box is as wide as the widest item name, listed or not.
  Int64 widest = 0;
  for (int k = 0; k < count; ++k) {
    widest = std::max<Int64>(widest, GetTextWidth(GetEntryValue(StackedNameList, k)));
  }

  // Each name once, compared without case, with the colour of its first
  // item in the order listed.
  std::vector<LegendEntry> entries;
  std::unordered_set<std::u16string> listed;
  for (int k = 0; k < count; ++k) {
    const int j = FLegendInvert ? count - 1 - k : k;
    std::u16string name = GetEntryValue(StackedNameList, j);
    if (FLegendHideEmptyNames && name.empty()) continue;
    if (!listed.insert(UpperCase(name)).second) continue;
    const std::u16string colour = j < StackedColourList.Count() ? StackedColourList[j] : u"";
    entries.push_back({std::move(name), colour});
  }
  if (FShowLinesWithBars) AppendLineEntries(*this, entries);

  LegendLayout layout;
  layout.map_areas = false;
  layout.column_width = widest + Int64{3} * FPadding + FSquare;
  layout.row_swatch_on_centre = true;
  layout.show_after_last_equals = true;
  layout.keep_brush_style = true;
  DrawingSteps::DrawLegendBox(*this, entries, layout);
}

}  // namespace plotvane
