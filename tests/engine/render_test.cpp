#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/chartix.h"
#include "engine/errors.h"

namespace plotvane {
namespace {

std::vector<std::u16string> Census(const TChartix& chart) {
  return {chart.ColoursUsed.begin(), chart.ColoursUsed.end()};
}

std::u16string Hex6(int i) {
  std::u16string s = TChartix::GetColour(static_cast<TColor>(i * 0x010203 + 0x100));
  return s;
}

TEST(RenderTest, ChartTypesWithoutTheirDataAreRefusedAndLeaveTheBitmap) {
  struct Case {
    TGraphType type;
    bool add_items, add_points, add_groups;
  } cases[] = {
      {cxtVBar, false, true, true},   {cxtHBar, false, true, true},
      {cxtLine, true, false, true},   {cxtVStackedBar, true, true, false},
      {cxtHStackedBar, true, true, false},
  };
  for (const Case& c : cases) {
    TChartix chart;
    if (c.add_items) chart.AddData(u"a", 1, u"FF0000");
    if (c.add_points) chart.AddPoint(1, 1, u"", u"l");
    if (c.add_groups) chart.AddStackedData(u"g", u"n", 1, u"");
    chart.AddMapArea(u"u", u"t", u"");
    chart.FImageMapText = u"old";
    auto bitmap = std::make_unique<TBitmap>();
    TBitmap* before = bitmap.get();
    try {
      chart.GetGraph(bitmap, c.type);
      ADD_FAILURE() << "type " << int(c.type) << " drew without data";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "No data items or points defined.");
    }
    EXPECT_EQ(bitmap.get(), before) << int(c.type);
    EXPECT_EQ(chart.FImageMapText, u"") << int(c.type);
  }
}

TEST(RenderTest, PieWithoutItemsDrawsAnEmptyPicture) {
  TChartix chart;
  auto bitmap = std::make_unique<TBitmap>();
  chart.GetGraph(bitmap, cxtPie);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(chart.FPieDia, 200);  // the drawer stopped before the pie
}

TEST(RenderTest, OneRedItemGivesThreeColoursInAFourBitPalette) {
  TChartix chart;
  chart.AddData(u"a", 1, u"FF0000");
  auto bitmap = std::make_unique<TBitmap>();
  chart.GetGraph(bitmap, cxtPie);
  EXPECT_EQ(Census(chart), (std::vector<std::u16string>{u"000000", u"FF0000", u"FFFFFF"}));
  EXPECT_EQ(bitmap->PixelFormat(), TPixelFormat::pf4bit);
  ASSERT_EQ(bitmap->Palette().size(), 16u);
  const std::vector<TPaletteEntry> expected_start = {{0, 0, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
  for (size_t i = 0; i < 16; ++i) {
    const TPaletteEntry want = i < 3 ? expected_start[i] : TPaletteEntry{};
    EXPECT_EQ(bitmap->Palette()[i], want) << "entry " << i;
  }
  EXPECT_EQ(bitmap->Width(), 400);
  EXPECT_EQ(bitmap->Height(), 300);
}

TEST(RenderTest, CensusCountsEveryColourSourceOnceAndPicksTheFormat) {
  struct Case {
    int distinct_items;
    TPixelFormat format;
    size_t palette;
  } cases[] = {{13, TPixelFormat::pf4bit, 16},  // 13 + black and white = 15
               {14, TPixelFormat::pf4bit, 16},  // 16 colours
               {15, TPixelFormat::pf8bit, 256}, // 17
               {254, TPixelFormat::pf8bit, 256},
               {255, TPixelFormat::pf24bit, 0}};
  for (const Case& c : cases) {
    TChartix chart;
    for (int i = 0; i < c.distinct_items; ++i) chart.AddData(u"", 1, Hex6(i));
    auto bitmap = std::make_unique<TBitmap>();
    chart.GetGraph(bitmap, cxtPie);
    EXPECT_EQ(chart.ColoursUsed.Count(), c.distinct_items + 2) << c.distinct_items;
    EXPECT_EQ(bitmap->PixelFormat(), c.format) << c.distinct_items;
    EXPECT_EQ(bitmap->Palette().size(), c.palette) << c.distinct_items;
  }
}

TEST(RenderTest, CensusIncludesExtraLinesCustomLegendAndSettings) {
  TChartix chart;
  chart.AddData(u"a", 1, u"ff0000");
  chart.AddExtraLine(0, 0, 10, 10, 1, TPenStyle::psSolid, 0x00FF00);
  chart.FCustomLegend = true;
  chart.AddCustomLegend(u"c", u"0000ff");
  chart.FTrendLineColour = 0x123456;
  auto bitmap = std::make_unique<TBitmap>();
  chart.GetGraph(bitmap, cxtPie);
  EXPECT_EQ(Census(chart), (std::vector<std::u16string>{u"000000", u"0000FF", u"00FF00",
                                                        u"563412", u"FF0000", u"FFFFFF"}));
}

TEST(RenderTest, ImageMapIsWrappedInTheMapElementAfterEveryDrawing) {
  TChartix chart;
  chart.AddData(u"a", 0, u"");
  chart.AddMapArea(u"", u"t", u"");
  chart.FIMName = u"m";
  chart.FImageMapExtra = u"<!-- x -->";
  chart.FIMDataArea = chart.FIMLabel = chart.FIMLegend = false;
  auto bitmap = std::make_unique<TBitmap>();
  chart.GetGraph(bitmap, cxtPie);
  EXPECT_EQ(chart.FImageMapText, u"<map name=\"m\" id=\"m\" ><!-- x --></map>");
  chart.GetGraph(bitmap, cxtVBar);
  EXPECT_EQ(chart.FImageMapText, u"<map name=\"m\" id=\"m\" ><!-- x --></map>");

  auto handle = chart.Handle(cxtPie);
  EXPECT_EQ(chart.FImageMapText, u"<map name=\"m\"><!-- x --></map>");
  EXPECT_TRUE(chart.Bitmap().Empty());
}

TEST(RenderTest, NoMapEntriesMeansNoMapText) {
  TChartix chart;
  chart.AddData(u"a", 1, u"");
  auto bitmap = std::make_unique<TBitmap>();
  chart.GetGraph(bitmap, cxtPie);
  EXPECT_EQ(chart.FImageMapText, u"");
}

TEST(RenderTest, BitmapsBeyondThePixelBudgetAreRefusedWithAClearMessage) {
  TChartix chart;
  chart.AddData(u"a", 1, u"FF0000");
  chart.FWidth = 65535;
  chart.FHeight = 65535;
  auto bitmap = std::make_unique<TBitmap>();
  TBitmap* before = bitmap.get();
  try {
    chart.GetGraph(bitmap, cxtPie);
    ADD_FAILURE() << "a 65535 x 65535 picture was drawn";
  } catch (const EOutOfResources& e) {
    EXPECT_STREQ(e.what(), "Bitmap of 65535 x 65535 pixels exceeds the limit of 16777216 pixels");
  }
  EXPECT_EQ(bitmap.get(), before);
  // The largest square within the budget still draws.
  chart.FWidth = chart.FHeight = 4096;
  chart.GetGraph(bitmap, cxtPie);
  EXPECT_EQ(bitmap->Width(), 4096);
}

TEST(RenderTest, PixelQueriesAndScaleConversions) {
  TChartix chart;
  EXPECT_EQ(chart.PixelColour(0, 0), kClrInvalid);
  EXPECT_EQ(chart.GraphX(60), 10.0);
  chart.FXOffset = 5;
  chart.FYOffset = 2;
  EXPECT_EQ(chart.GraphX(60), 15.0);
  EXPECT_EQ(chart.GraphY(240), 12.0);
  chart.XLinePX = 0;
  chart.YLinePX = 0;
  EXPECT_EQ(chart.GraphX(60), 0.0);
  EXPECT_EQ(chart.GraphY(240), 0.0);

  chart.AddData(u"a", 1, u"FF0000");
  auto bitmap = std::make_unique<TBitmap>();
  chart.GetGraph(bitmap, cxtPie);
  EXPECT_EQ(chart.PixelColour(0, 0), 0xFFFFFFu);
  EXPECT_EQ(chart.PixelColour(400, 0), kClrInvalid);
  EXPECT_EQ(chart.PixelColour(-1, 5), kClrInvalid);
}

}  // namespace
}  // namespace plotvane
