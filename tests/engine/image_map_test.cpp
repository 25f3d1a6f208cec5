#include <string>

#include <gtest/gtest.h>

#include "engine/chartix.h"
#include "tests/engine/chart_fixture.h"

namespace plotvane {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

TEST(ImageMapTest, AreasAreWrittenCharacterForCharacter) {
  TChartix chart;
  chart.AddMapArea(u"a.htm", u"Sales", u"");
  chart.AddMapArea(u"", u"No link", u"target=\"_blank\"");
  TChartixTestPeer::Rect(chart, 10, 20, 30, 40, 0);
  EXPECT_EQ(chart.FImageMapText,
            u"<area shape=\"rect\" coords=\"10,20,30,40\" href=\"a.htm\" title=\"Sales\"  "
            u"alt=\"Sales\" />");
  chart.FImageMapText.clear();
  TChartixTestPeer::Rect(chart, -5, 0, 3, 2, 1);
  EXPECT_EQ(chart.FImageMapText,
            u"<area shape=\"rect\" coords=\"-5,0,3,2\" title=\"No link\" target=\"_blank\" "
            u"alt=\"No link\" />");
  chart.FImageMapText.clear();
  chart.FPointSize = 3;
  TChartixTestPeer::Circle(chart, 7, 8, 1);
  EXPECT_EQ(chart.FImageMapText,
            u"<area shape=\"circle\" coords=\"7,8,6\" title=\"No link\" target=\"_blank\" "
            u"alt=\"No link\" />");
}

TEST(ImageMapTest, ShapesWithoutAnEntryGetNoArea) {
  TChartix chart;
  chart.AddMapArea(u"u", u"t", u"e");
  TChartixTestPeer::Rect(chart, 1, 2, 3, 4, 1);
  TChartixTestPeer::Rect(chart, 1, 2, 3, 4, -1);
  TChartixTestPeer::Circle(chart, 1, 2, 5);
  TChartixTestPeer::Slice(chart, 1, 2, 3, 4, 1, 0, 1);
  EXPECT_EQ(chart.FImageMapText, u"");
}

TEST(ImageMapTest, SlicePolygonFollowsTheRimAtThreeIntermediateAngles) {
  TChartix chart;
  chart.FPieDia = 201;  // as the pie drawer leaves it
  chart.AddMapArea(u"", u"t", u"");
  // Half a default pie, from straight down to straight up through the right.
  TChartixTestPeer::Slice(chart, 175, 50, 175, 250, 0, 0, kPi);
  EXPECT_EQ(chart.FImageMapText,
            u"<area shape=\"poly\" coords=\"175,50,175,150,175,250,246,221,276,150,246,79\" "
            u"title=\"t\"  alt=\"t\" />");
}

}  // namespace
}  // namespace plotvane
