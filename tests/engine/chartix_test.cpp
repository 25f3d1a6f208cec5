#include <gtest/gtest.h>

#include "engine/chartix.h"

namespace plotvane {
namespace {

TEST(ChartixTest, NewEngineHoldsTheDocumentedDefaults) {
  TChartix c;
  const struct {
    const char* name;
    long long actual, expected;
  } numbers[] = {
      {"Width", c.FWidth, 400},       {"Height", c.FHeight, 300},
      {"CenterX", c.FCentreX, 175},   {"CenterY", c.FCentreY, 150},
      {"PieDia", c.FPieDia, 200},     {"Offset", c.FOffset, 10},
      {"LegendX", c.FLegendX, 320},   {"LegendY", c.FLegendY, 10},
      {"Square", c.FSquare, 8},       {"Padding", c.FPadding, 5},
      {"OriginX", c.FOriginX, 50},    {"OriginY", c.FOriginY, 250},
      {"MaxX", c.FMaxX, 250},         {"MaxY", c.FMaxY, 200},
      {"XMarkSize", c.FXMarkSize, 4}, {"YMarkSize", c.FYMarkSize, 4},
      {"PointSize", c.FPointSize, 2}, {"LineWidth", c.FLineWidth, 1},
      {"TrendLineWidth", c.FTrendLineWidth, 1}, {"RNDColor", c.FRNDColour, 0},
      {"Decimals", c.FDecimals, 0},   {"BGColor", c.FBGColour, 0xFFFFFF},
      {"TransColor", c.FTransColour, 0xFFFFFF}, {"GraphPen", c.FGraphPen, 0},
      {"GridStyle", static_cast<int>(c.FGridStyle), static_cast<int>(TPenStyle::psDot)},
      {"ShowLabel", c.FShowLabel, true}, {"ShowLegendBox", c.FShowLegendBox, true},
      {"LegendVertical", c.FLegendVertical, true}, {"XValuesVertical", c.FXValuesVertical, true},
      {"ShowTotalIfZero", c.FShowTotalIfZero, true}, {"TextTransparent", c.FTextTransparent, true},
      {"LineGraphTextTransparent", c.FLineGraphTextTransparent, true},
      {"ShowPercent", c.FShowPercent, false}, {"UseImageMap", c.FUseImageMap, false},
      {"IMDataArea", c.FIMDataArea, true},
  };
  for (const auto& n : numbers) EXPECT_EQ(n.actual, n.expected) << n.name;

  for (const TFont* font : {&c.FLabelFont, &c.FLegendFont, &c.FTitleFont, &c.FAxisTextFont,
                            &c.FLineGraphFont, &c.FTextFont, &c.FStackedTextFont}) {
    EXPECT_EQ(font->Name, u"Arial");
    EXPECT_EQ(font->Size(), 8);
    EXPECT_EQ(font->Height, -11);
    EXPECT_EQ(font->Color, 0u);
    EXPECT_EQ(font->Bold(), font == &c.FTitleFont);
  }
  EXPECT_EQ(c.FIMName, u"map1");
  EXPECT_TRUE(c.XAxisValues.Sorted());
  EXPECT_TRUE(c.YAxisValues.Sorted());
  EXPECT_FALSE(c.NameList.Sorted());
  EXPECT_TRUE(c.Bitmap().Empty());
}

}  // namespace
}  // namespace plotvane
