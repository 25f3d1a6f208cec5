#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/chartix.h"

namespace plotvane {
namespace {

constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00;

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// A pie whose map shows only the slices, entries titled t0, t1, ...
struct Pie {
  explicit Pie(std::vector<double> values, bool labels = false) {
    const char16_t* colours[] = {u"FF0000", u"0000FF", u"00FF00", u"FFFF00"};
    for (size_t i = 0; i < values.size(); ++i) {
      chart.AddData(u"", values[i], colours[i % 4]);
      const std::string title = "t" + std::to_string(i);
      chart.AddMapArea(u"", std::u16string(title.begin(), title.end()), u"");
    }
    chart.FShowLabel = labels;
    chart.FShowNumbers = false;
    chart.FShowLegend = false;
    chart.FIMLabel = labels;
  }
  void Draw() {
    auto bitmap = std::make_unique<TBitmap>();
    chart.GetGraph(bitmap, cxtPie);
  }
  std::string Map() const { return Narrow(chart.FImageMapText); }
  TChartix chart;
};

std::string Poly(const char* coords, int entry) {
  return std::string("<area shape=\"poly\" coords=\"") + coords + "\" title=\"t" +
         std::to_string(entry) + "\"  alt=\"t" + std::to_string(entry) + "\" />";
}
std::string Rect(const char* coords, int entry) {
  return std::string("<area shape=\"rect\" coords=\"") + coords + "\" title=\"t" +
         std::to_string(entry) + "\"  alt=\"t" + std::to_string(entry) + "\" />";
}

TEST(PieTest, TwoHalvesGiveTheirPolygonsAndColours) {
  Pie pie({1, 1});
  pie.Draw();
  EXPECT_EQ(pie.chart.FPieDia, 201);
  EXPECT_EQ(pie.Map(), "<map name=\"map1\" id=\"map1\" >" +
                           Poly("175,50,175,150,175,250,246,221,276,150,246,79", 0) +
                           Poly("175,250,175,150,175,50,104,79,74,150,104,221", 1) + "</map>");
  EXPECT_EQ(pie.chart.PixelColour(225, 150), kRed);
  EXPECT_EQ(pie.chart.PixelColour(125, 150), kBlue);
  EXPECT_EQ(pie.chart.PixelColour(5, 5), 0xFFFFFFu);
  // The box of an odd diameter 201 centred on 175 spans 76..274.
  EXPECT_EQ(pie.chart.PixelColour(274, 150), 0u);
  EXPECT_EQ(pie.chart.PixelColour(275, 150), 0xFFFFFFu);
  EXPECT_EQ(pie.chart.PixelColour(76, 150), 0u);
  EXPECT_EQ(pie.chart.PixelColour(75, 150), 0xFFFFFFu);
}

TEST(PieTest, LabelsSitOnAnEllipseOutsideTheRim) {
  Pie pie({1, 1}, /*labels=*/true);
  pie.chart.FIMDataArea = false;
  pie.Draw();
  // Empty names have no width: each rectangle is the label point's column,
  // from the name's top down to the label point, lifted by one pixel.
  EXPECT_EQ(pie.Map(), "<map name=\"map1\" id=\"map1\" >" + Rect("286,137,286,149", 0) +
                           Rect("64,137,64,149", 1) + "</map>");
}

TEST(PieTest, TinyAndZeroItemsAreSkippedButKeepTheirIndex) {
  Pie pie({1e-9, 1, 0, 1});
  pie.Draw();
  const std::string map = pie.Map();
  EXPECT_EQ(map.find("title=\"t0\""), std::string::npos);
  EXPECT_EQ(map.find("title=\"t2\""), std::string::npos);
  EXPECT_NE(map.find("title=\"t1\""), std::string::npos) << map;
  EXPECT_NE(map.find("title=\"t3\""), std::string::npos) << map;
  EXPECT_EQ(pie.chart.PixelColour(125, 150), 0x00FFFFu);  // item 3 is yellow
}

// A slice so thin that its rim points differ but its radials cross the
// outline at one point is skipped like a slice whose rim points agree,
// instead of painting the whole disc over the slices before it.
TEST(PieTest, SliceWhoseRadialsMeetOnTheOutlineIsSkipped) {
  for (const double tiny : {0.2, 0.3}) {
    Pie pie({110, tiny, 90});
    pie.Draw();
    const std::string map = pie.Map();
    EXPECT_EQ(map.find("title=\"t1\""), std::string::npos) << tiny << map;
    EXPECT_EQ(pie.chart.PixelColour(225, 150), kRed) << tiny;   // the first slice
    EXPECT_EQ(pie.chart.PixelColour(125, 150), kGreen) << tiny; // the third
  }
}

TEST(PieTest, OneItemIsAPlainDiscWithTwoAreas) {
  Pie pie({5});
  pie.Draw();
  const std::string map = pie.Map();
  size_t areas = 0;
  for (size_t at = map.find("<area"); at != std::string::npos; at = map.find("<area", at + 1))
    ++areas;
  EXPECT_EQ(areas, 2u);
  // No radial outline remains anywhere inside the disc.
  for (int y = 52; y < 249; ++y) EXPECT_EQ(pie.chart.PixelColour(175, y), kRed) << "y " << y;
  for (int x = 78; x < 273; ++x) EXPECT_EQ(pie.chart.PixelColour(x, 150), kRed) << "x " << x;
}

TEST(PieTest, LargeSliceSeamIsRepairedButTheStartRadialStays) {
  Pie pie({1, 0});
  pie.Draw();
  // The start radial points straight down from the centre. The repair works
  // on the box spanned by the seam radial, from the centre to (79, 179), so
  // the start radial's part inside that box goes too; below it the radial
  // stays.
  for (int y = 155; y <= 179; ++y) EXPECT_EQ(pie.chart.PixelColour(175, y), kRed) << "y " << y;
  for (int y = 180; y < 245; ++y) EXPECT_EQ(pie.chart.PixelColour(175, y), 0u) << "y " << y;
  // The seam lies at 5 radians: left of the centre and a little below it.
  for (int r = 10; r < 95; r += 5) {
    const int x = 175 + static_cast<int>(std::lround(std::sin(5.0) * r));
    const int y = 150 + static_cast<int>(std::lround(std::cos(5.0) * r));
    EXPECT_EQ(pie.chart.PixelColour(x, y), kRed) << "r " << r;
  }
}

TEST(PieTest, SliceWiderThanFivePointFiveRadiansIsDrawnAsTwoWedges) {
  const double just_one = 5.5 / (2 * 3.14159265358979323846);
  Pie one({just_one, 1 - just_one});
  one.Draw();
  Pie two({just_one + 1e-6, 1 - just_one - 1e-6});
  two.Draw();
  auto count = [](const std::string& map, const char* title) {
    size_t n = 0;
    for (size_t at = map.find(title); at != std::string::npos; at = map.find(title, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count(one.Map(), "title=\"t0\""), 1u);
  EXPECT_EQ(count(two.Map(), "title=\"t0\""), 2u);
}

TEST(PieTest, AbsurdStartAnglesDrawWithoutHanging) {
  for (float angle : {3e38f, -3e38f, std::numeric_limits<float>::infinity(),
                      std::numeric_limits<float>::quiet_NaN()}) {
    Pie pie({1, 2, 3}, /*labels=*/true);
    pie.chart.FStartAngle = angle;
    pie.Draw();
    EXPECT_EQ(pie.chart.Bitmap().Width(), 400) << angle;
  }
}

TEST(PieTest, NegativeValuesShowTheirSignBeforeThePrefix) {
  Pie pie({-1200, 300});
  pie.chart.FPrefix = u"$";
  pie.chart.FShowSeparator = true;
  EXPECT_EQ(Narrow(pie.chart.AddPrefixSuffix(u"-1,200")), "-$1,200");
  pie.Draw();
  // The negative item still takes four fifths of the disc.
  EXPECT_EQ(pie.chart.PixelColour(100, 150), kRed);
}

}  // namespace
}  // namespace plotvane
