#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/chartix.h"

namespace plotvane {
namespace {

constexpr TColor kBackground = 0xFFFFFF, kFrame = 0, kFill = 0x00FF00;

struct Expected {
  TTextAlign align;
  int dx_vertical, dy_vertical;      // box 23 x 37
  int dx_horizontal, dy_horizontal;  // box 41 x 21
};

// Two entries with empty names: the boxes are 3p + s by 2R + p (vertical) and
// 5p + 2s by p + R (horizontal) with s = 8, p = 5 and R = h + p = 16.
const Expected kAnchors[] = {
    {cxtaTopLeft, 0, 0, 0, 0},          {cxtaTopCentre, 11, 0, 20, 0},
    {cxtaTopRight, 23, 0, 41, 0},       {cxtaBaselineLeft, 0, 18, 0, 10},
    {cxtaBaselineCentre, 11, 18, 20, 10}, {cxtaBaselineRight, 23, 18, 41, 10},
    {cxtaBottomLeft, 0, 37, 0, 21},     {cxtaBottomCentre, 11, 37, 20, 21},
    {cxtaBottomRight, 23, 37, 41, 21},
};

std::string Area(int l, int t, int r, int b, int entry) {
  return "<area shape=\"rect\" coords=\"" + std::to_string(l) + "," + std::to_string(t) + "," +
         std::to_string(r) + "," + std::to_string(b) + "\" title=\"e" + std::to_string(entry) +
         "\"  alt=\"e" + std::to_string(entry) + "\" />";
}

std::string DrawLegend(TChartix& chart) {
  auto bitmap = std::make_unique<TBitmap>();
  chart.GetGraph(bitmap, cxtPie);
  const std::u16string& map = chart.FImageMapText;
  return std::string(map.begin(), map.end());
}

TChartix* NewChart(TTextAlign align, bool vertical) {
  auto* chart = new TChartix;
  chart->AddData(u"", 1, u"FF0000");
  chart->AddData(u"", 1, u"0000FF");
  chart->AddMapArea(u"", u"e0", u"");
  chart->AddMapArea(u"", u"e1", u"");
  chart->FCentreX = chart->FCentreY = 20;
  chart->FPieDia = 11;
  chart->FShowLabel = chart->FShowNumbers = false;
  chart->FIMDataArea = chart->FIMLabel = false;
  chart->FLegendX = 200;
  chart->FLegendY = 150;
  chart->FLegendAlign = align;
  chart->FLegendVertical = vertical;
  chart->FLegendBGColour = kFill;
  return chart;
}

TEST(LegendTest, BoxIsAnchoredByItsAlignmentPointInBothLayouts) {
  for (const Expected& e : kAnchors) {
    for (bool vertical : {true, false}) {
      std::unique_ptr<TChartix> chart(NewChart(e.align, vertical));
      const std::string map = DrawLegend(*chart);
      const int w = vertical ? 23 : 41, h = vertical ? 37 : 21;
      const int x = 200 - (vertical ? e.dx_vertical : e.dx_horizontal);
      const int y = 150 - (vertical ? e.dy_vertical : e.dy_horizontal);
      SCOPED_TRACE("align " + std::to_string(e.align) + (vertical ? " vertical" : " horizontal"));
      EXPECT_EQ(chart->PixelColour(x, y), kFrame);
      EXPECT_EQ(chart->PixelColour(x + w - 1, y + h - 1), kFrame);
      EXPECT_EQ(chart->PixelColour(x - 1, y - 1), kBackground);
      EXPECT_EQ(chart->PixelColour(x + w, y + h), kBackground);
      EXPECT_EQ(chart->PixelColour(x + 2, y + h - 2), kFill);
      std::string expected = "<map name=\"map1\" id=\"map1\" >";
      if (vertical) {
        expected += Area(x + 5, y + 6, x + 13, y + 14, 0) + Area(x + 18, y + 4, x + 18, y + 16, 0) +
                    Area(x + 5, y + 22, x + 13, y + 30, 1) + Area(x + 18, y + 20, x + 18, y + 32, 1);
      } else {
        expected += Area(x + 5, y + 6, x + 13, y + 14, 0) + Area(x + 18, y + 4, x + 18, y + 15, 0) +
                    Area(x + 23, y + 6, x + 31, y + 14, 1) + Area(x + 36, y + 4, x + 36, y + 15, 1);
      }
      EXPECT_EQ(map, expected + "</map>");
    }
  }
}

TEST(LegendTest, EntriesFollowInversionHidingAndTheCustomList) {
  std::unique_ptr<TChartix> chart(NewChart(cxtaTopLeft, true));
  chart->FLegendInvert = true;
  DrawLegend(*chart);
  // The first row shows the last item (blue) and takes map entry 0.
  EXPECT_EQ(chart->PixelColour(209, 160), 0xFF0000u);
  EXPECT_EQ(chart->PixelColour(209, 176), 0x0000FFu);

  chart->FLegendHideEmptyNames = true;
  const std::string empty = DrawLegend(*chart);
  EXPECT_EQ(empty, "<map name=\"map1\" id=\"map1\" ></map>");
  EXPECT_EQ(chart->PixelColour(200 + 22, 150 + 4), kFrame);  // an empty box 23 x 5
  EXPECT_EQ(chart->PixelColour(200 + 23, 150 + 4), kBackground);

  chart->FCustomLegend = true;
  chart->AddCustomLegend(u"", u"FFFF00");
  DrawLegend(*chart);
  EXPECT_EQ(chart->PixelColour(209, 160), 0x00FFFFu);
}

TEST(LegendTest, NothingIsDrawnWhenTheLegendIsOff) {
  std::unique_ptr<TChartix> chart(NewChart(cxtaTopLeft, true));
  chart->FShowLegend = false;
  EXPECT_EQ(DrawLegend(*chart), "<map name=\"map1\" id=\"map1\" ></map>");
  EXPECT_EQ(chart->PixelColour(200, 150), kBackground);
}

TEST(LegendTest, AllZeroPieStillWritesLegendAreas) {
  TChartix chart;
  chart.AddData(u"", 0, u"FF0000");
  chart.AddMapArea(u"", u"e0", u"");
  const std::string map = DrawLegend(chart);
  EXPECT_NE(map.find(Area(325, 16, 333, 24, 0)), std::string::npos) << map;
  EXPECT_TRUE(chart.Bitmap().Empty());
}

}  // namespace
}  // namespace plotvane
