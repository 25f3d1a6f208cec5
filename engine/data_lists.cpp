// Adding, reading and clearing the engine's data. Numbers are stored as text
// in the general format (15 significant digits for values, 7 for the keys of
// user axis labels), as the drawers read them back from the same text.
#include <cmath>

#include "engine/chartix.h"
#include "engine/number_format.h"

namespace plotvane {

namespace {

// The value text of `value`; values that cannot be written as a number
// (NaN, infinities) are stored as "0".
std::u16string ValueText(double value) {
  return std::isfinite(value) ? FloatToStr(value) : std::u16string(u"0");
}

std::u16string ColourText(const std::u16string& colour) {
  return TChartix::GetColour(TChartix::SetColour(colour, 0));
}

std::u16string LabelEntry(double number, const std::u16string& label) {
  const std::u16string key = std::isfinite(number) ? FloatToStrF(number, 7) : u"0";
  return key + u"=" + label;
}

// Zeroes the read-back values.
void ResetReadBack(TChartix& chart) {
  chart.FReadBarWidth = 0;
  chart.FReadBarGap = 0;
  chart.FFirstBarPos = 0;
  chart.FLastBarPos = 0;
  chart.FXPixelsPerUnit = 0;
  chart.FYPixelsPerUnit = 0;
  chart.FReadYTop = 0;
  chart.FReadYGrad = 0;
  chart.FReadXTop = 0;
  chart.FReadXGrad = 0;
}

}  // namespace

void TChartix::AddData(const std::u16string& name, Double value, const std::u16string& colour) {
  NameList.Add(name);
  ValueList.Add(ValueText(value));
  if (colour == u"R" || colour == u"r") {
    ColourList.Add(RNDColourTable[static_cast<size_t>(FRNDColour)]);
    NextRNDColour(FRNDColour);
  } else {
    ColourList.Add(ColourText(colour));
  }
}

std::u16string TChartix::ReadName(Integer index) const {
  if (index < 0 || index >= NameList.Count()) return u"";
  return NameList[index];
}

Double TChartix::ReadValue(Integer index) const {
  if (index < 0 || index >= ValueList.Count()) return 0;
  double value = 0;
  return TryStrToFloat(ValueList[index], value) ? value : 0;
}

std::u16string TChartix::ReadColor(Integer index) const {
  if (index < 0 || index >= ColourList.Count()) return u"000000";
  return ColourList[index];
}

void TChartix::ClearData() {
  NameList.Clear();
  ValueList.Clear();
  ColourList.Clear();
  Points.Clear();
  TextList.clear();
  LineGraphTextList.clear();
  MarkerList.clear();
  IMURLList.Clear();
  IMTitleList.Clear();
  IMAreaExtra.Clear();
  StackedGroupList.Clear();
  stacked_groups_.clear();
  stacked_item_groups_.clear();
  StackedNameList.Clear();
  StackedValueList.Clear();
  StackedColourList.Clear();
  ExtraLines.Clear();
  ResetReadBack(*this);
}

void TChartix::AddPoint(Double x, Double y, const std::u16string& color,
                        const std::u16string& line_name) {
  Points.Add(UpperCase(color), TPointEntry{ValueText(x), ValueText(y), line_name});
}

void TChartix::AddXValue(Double name, const std::u16string& value) {
  XAxisValues.Add(LabelEntry(name, value));
}

void TChartix::AddYValue(Double name, const std::u16string& value) {
  YAxisValues.Add(LabelEntry(name, value));
}

void TChartix::ClearAxisLabels() {
  XAxisValues.Clear();
  YAxisValues.Clear();
}

void TChartix::AddStackedData(const std::u16string& group, const std::u16string& name,
                              Double value, const std::u16string& colour) {
  // The item keeps the index of its group: its entry cannot tell the group
  // apart from a name that holds an "=" itself.
  const auto found = stacked_groups_.try_emplace(group, StackedGroupList.Count());
  if (found.second) StackedGroupList.Add(group);
  stacked_item_groups_.push_back(found.first->second);
  StackedNameList.Add(group + u"=" + name);
  StackedValueList.Add(ValueText(std::fabs(value)));
  StackedColourList.Add(ColourText(colour));
}

void TChartix::AddText(const std::u16string& value, Integer x, Integer y, Single angle) {
  TextList.push_back(TTextItem{value, static_cast<Double>(x), static_cast<Double>(y), angle});
}

void TChartix::AddLineGraphText(const std::u16string& value, Single x, Single y, Single angle) {
  LineGraphTextList.push_back(TTextItem{value, x, y, angle});
}

void TChartix::AddMarker(Double x, Double y, TPointStyle point_style, Word point_size,
                         const std::u16string& colour) {
  MarkerList.push_back(TMarkerItem{x, y, point_style, point_size, SetColour(colour, 0)});
}

void TChartix::AddExtraLine(Integer x1, Integer y1, Integer x2, Integer y2, Integer thickness,
                            TPenStyle pen_style, TColor colour) {
  std::u16string entry;
  for (Int64 part :
       {static_cast<Int64>(x1), static_cast<Int64>(y1), static_cast<Int64>(x2),
        static_cast<Int64>(y2), static_cast<Int64>(thickness), static_cast<Int64>(pen_style),
        static_cast<Int64>(static_cast<Integer>(colour))}) {
    if (!entry.empty()) entry += u',';
    for (char c : std::to_string(part)) entry += static_cast<char16_t>(c);
  }
  ExtraLines.Add(entry);
}

void TChartix::AddCustomLegend(const std::u16string& value, const std::u16string& colour) {
  CustomLegendNameList.Add(value);
  CustomLegendColourList.Add(ColourText(colour));
}

void TChartix::ClearCustomLegend() {
  CustomLegendNameList.Clear();
  CustomLegendColourList.Clear();
}

void TChartix::AddMapArea(const std::u16string& url, const std::u16string& title,
                          const std::u16string& extra) {
  FUseImageMap = true;
  IMURLList.Add(url);
  IMTitleList.Add(title);
  IMAreaExtra.Add(extra);
}

}  // namespace plotvane
