#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/chartix.h"

namespace plotvane {
namespace {

std::vector<std::u16string> Names(const TPointList& points) {
  std::vector<std::u16string> out;
  for (const auto& line : points.Lines())
    for (const auto& p : line.Points) out.push_back(p.LineName);
  return out;
}

TEST(DataListsTest, AddDataStoresNameValueTextAndColourString) {
  TChartix chart;
  chart.AddData(u"A", 12.5, u"FF0000");
  chart.AddData(u"B", 1, u"red");
  chart.AddData(u"C", 1.0 / 3, u"");
  chart.AddData(u"D", -3, u"#00ff00");
  EXPECT_EQ(chart.DataCount(), 4);
  EXPECT_EQ(chart.ReadName(0), u"A");
  EXPECT_EQ(chart.ReadValue(0), 12.5);
  EXPECT_EQ(chart.ReadColor(0), u"FF0000");
  EXPECT_EQ(chart.ReadColor(1), u"000000");
  EXPECT_EQ(chart.ValueList[2], u"0.333333333333333");
  EXPECT_EQ(chart.ReadColor(2), u"000000");
  EXPECT_EQ(chart.ValueList[3], u"-3");
  EXPECT_EQ(chart.ReadColor(3), u"00FF00");
}

TEST(DataListsTest, ReadingOutOfRangeGivesTheNeutralValues) {
  TChartix chart;
  chart.AddData(u"A", 1, u"");
  chart.AddData(u"B", 2, u"");
  for (int index : {2, 5, -1, 65535}) {
    EXPECT_EQ(chart.ReadName(index), u"") << index;
    EXPECT_EQ(chart.ReadValue(index), 0) << index;
    EXPECT_EQ(chart.ReadColor(index), u"000000") << index;
  }
}

TEST(DataListsTest, ValuesThatCannotBeWrittenAreStoredAsZero) {
  TChartix chart;
  for (double v : {std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL}) {
    chart.AddData(u"x", v, u"");
    chart.AddStackedData(u"g", u"x", v, u"");
    chart.AddPoint(v, v, u"", u"");
  }
  for (const auto& text : chart.ValueList) EXPECT_EQ(text, u"0");
  for (const auto& text : chart.StackedValueList) EXPECT_EQ(text, u"0");
  for (const auto& p : chart.Points.Lines()[0].Points) {
    EXPECT_EQ(p.X, u"0");
    EXPECT_EQ(p.Y, u"0");
  }
}

TEST(DataListsTest, PointsAreGroupedByColourInOrderOfFirstAppearance) {
  TChartix chart;
  const char16_t* colours[] = {u"A", u"B", u"a", u"C", u"b"};
  const char16_t* names[] = {u"A1", u"B1", u"A2", u"C1", u"B2"};
  for (int i = 0; i < 5; ++i) chart.AddPoint(i, i, colours[i], names[i]);
  EXPECT_EQ(Names(chart.Points),
            (std::vector<std::u16string>{u"A1", u"A2", u"B1", u"B2", u"C1"}));
  EXPECT_EQ(chart.Points.Lines()[0].Colour, u"A");
}

TEST(DataListsTest, PointColoursAreUpperCasedButNotNormalised) {
  TChartix chart;
  chart.AddPoint(1, 1, u"ff0000", u"a");
  chart.AddPoint(2, 2, u"#FF0000", u"b");
  chart.AddPoint(3, 3, u"FF0000", u"c");
  ASSERT_EQ(chart.Points.Lines().size(), 2u);
  EXPECT_EQ(chart.Points.Lines()[0].Colour, u"FF0000");
  EXPECT_EQ(chart.Points.Lines()[1].Colour, u"#FF0000");
  EXPECT_EQ(Names(chart.Points), (std::vector<std::u16string>{u"a", u"c", u"b"}));
}

TEST(DataListsTest, AxisLabelsAreSortedKeysOfSevenDigitsWithoutDuplicates) {
  TChartix chart;
  chart.AddXValue(1234567.8, u"x");
  chart.AddXValue(1234567.8, u"x");
  chart.AddXValue(1234567.8, u"y");
  chart.AddXValue(12345678, u"big");
  chart.AddXValue(0.1, u"tenth");
  chart.AddYValue(5, u"FIVE");
  chart.AddYValue(5, u"five");  // equal ignoring case: not added again
  EXPECT_EQ(std::vector<std::u16string>(chart.XAxisValues.begin(), chart.XAxisValues.end()),
            (std::vector<std::u16string>{u"0.1=tenth", u"1.234568E7=big", u"1234568=x",
                                         u"1234568=y"}));
  EXPECT_EQ(chart.YAxisValues.Count(), 1);
  chart.ClearAxisLabels();
  EXPECT_TRUE(chart.XAxisValues.Empty());
  EXPECT_TRUE(chart.YAxisValues.Empty());
}

TEST(DataListsTest, StackedDataKeepsGroupsCaseSensitiveAndValuesAbsolute) {
  TChartix chart;
  chart.AddStackedData(u"G1", u"N", -5, u"0000FF");
  chart.AddStackedData(u"g1", u"M", 2.5, u"bad colour");
  chart.AddStackedData(u"G1", u"O", 1, u"F");
  EXPECT_EQ(std::vector<std::u16string>(chart.StackedGroupList.begin(),
                                        chart.StackedGroupList.end()),
            (std::vector<std::u16string>{u"G1", u"g1"}));
  EXPECT_EQ(chart.StackedNameList[0], u"G1=N");
  EXPECT_EQ(chart.StackedValueList[0], u"5");
  EXPECT_EQ(chart.StackedColourList[0], u"0000FF");
  EXPECT_EQ(chart.StackedColourList[1], u"000000");
  EXPECT_EQ(chart.StackedColourList[2], u"0F0000");
}

TEST(DataListsTest, ExtraLinesAreSevenCommaSeparatedIntegers) {
  TChartix chart;
  chart.AddExtraLine(10, 20, 300, 20, 2, TPenStyle::psDash, 0x000000FF);
  chart.AddExtraLine(-5, 0, 2147483647, -2147483647 - 1, 0, TPenStyle::psInsideFrame, 0xFFFFFF);
  EXPECT_EQ(chart.ExtraLines[0], u"10,20,300,20,2,1,255");
  EXPECT_EQ(chart.ExtraLines[1], u"-5,0,2147483647,-2147483648,0,6,16777215");
}

TEST(DataListsTest, TextsAndMarkersKeepTheirFields) {
  TChartix chart;
  chart.AddText(u"hello", 10, 20, 45.04f);
  chart.AddLineGraphText(u"lg", 1.5f, 2.5f, 90);
  chart.AddMarker(3, 4, cxpsSquare, 7, u"zz");
  chart.AddMarker(3, 4, cxpsDot, 7, u"00FF00");
  ASSERT_EQ(chart.TextList.size(), 1u);
  EXPECT_EQ(chart.TextList[0].x, 10.0);
  EXPECT_EQ(chart.TextList[0].Angle, 45.04f);
  EXPECT_EQ(chart.LineGraphTextList[0].y, 2.5);
  EXPECT_EQ(chart.MarkerList[0].Colour, 0u);
  EXPECT_EQ(chart.MarkerList[1].Colour, 0x00FF00u);
  EXPECT_EQ(chart.MarkerList[1].PointSize, 7);
}

TEST(DataListsTest, ClearDataReachesDataButNotSettingsLabelsOrLegend) {
  TChartix chart;
  chart.AddData(u"a", 1, u"R");
  chart.AddPoint(1, 2, u"", u"p");
  chart.AddStackedData(u"g", u"n", 1, u"");
  chart.AddText(u"t", 1, 2, 0);
  chart.AddLineGraphText(u"t", 1, 2, 0);
  chart.AddMarker(1, 2, cxpsDot, 2, u"");
  chart.AddExtraLine(1, 2, 3, 4, 1, TPenStyle::psSolid, 0);
  chart.AddMapArea(u"u", u"t", u"e");
  chart.AddXValue(1, u"one");
  chart.AddCustomLegend(u"c", u"FF0000");
  chart.FImageMapText = u"<map></map>";
  chart.FReadBarWidth = 7;
  chart.FYPixelsPerUnit = 2.5;
  chart.FWidth = 123;

  chart.ClearData();
  EXPECT_EQ(chart.DataCount(), 0);
  EXPECT_TRUE(chart.Points.Empty());
  EXPECT_TRUE(chart.StackedGroupList.Empty());
  EXPECT_TRUE(chart.StackedNameList.Empty());
  EXPECT_TRUE(chart.TextList.empty());
  EXPECT_TRUE(chart.LineGraphTextList.empty());
  EXPECT_TRUE(chart.MarkerList.empty());
  EXPECT_TRUE(chart.ExtraLines.Empty());
  EXPECT_TRUE(chart.IMURLList.Empty());
  EXPECT_EQ(chart.FReadBarWidth, 0);
  EXPECT_EQ(chart.FYPixelsPerUnit, 0);

  EXPECT_TRUE(chart.FUseImageMap);
  EXPECT_EQ(chart.FImageMapText, u"<map></map>");
  EXPECT_EQ(chart.XAxisValues.Count(), 1);
  EXPECT_EQ(chart.CustomLegendNameList.Count(), 1);
  EXPECT_EQ(chart.CustomLegendColourList[0], u"FF0000");
  EXPECT_EQ(chart.FWidth, 123);
  EXPECT_EQ(chart.FRNDColour, 48);

  // A group seen before the clear is new again afterwards.
  chart.AddStackedData(u"g", u"n", 1, u"");
  EXPECT_EQ(chart.StackedGroupList.Count(), 1);
}

TEST(DataListsTest, AMillionItemsAndPointsAddWithoutQuadraticCost) {
  TChartix chart;
  for (int i = 0; i < 1000000; ++i) chart.AddData(u"item", i * 0.5, u"R");
  // Alternating colours would force an insertion in the middle of a flat list.
  for (int i = 0; i < 200000; ++i) chart.AddPoint(i, i, (i & 1) ? u"A" : u"B", u"");
  EXPECT_EQ(chart.DataCount(), 1000000);
  EXPECT_EQ(chart.ReadValue(999999), 499999.5);
  EXPECT_EQ(chart.Points.Count(), 200000);
  EXPECT_EQ(chart.Points.Lines().size(), 2u);
}

}  // namespace
}  // namespace plotvane
