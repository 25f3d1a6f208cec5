#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/chartix.h"
#include "engine/errors.h"
#include "tests/engine/chart_fixture.h"

namespace plotvane {
namespace {

using testing_charts::Draw;
using testing_charts::Extent;
using testing_charts::TextSize;
using testing_charts::ToString;

constexpr TColor kNumberBack = 0x00FFFF, kGrid = 0x808080, kWhite = 0xFFFFFF;

// A vertical bar chart of 12, 37 and 5 whose axis numbers have a background
// of their own colour; origin (50, 250), 200 pixels of axis, 8-point numbers.
std::unique_ptr<TChartix> Chart() {
  auto chart = std::make_unique<TChartix>();
  chart->FShowLegend = false;
  chart->FShowLabel = false;
  chart->FLabelBGColour = kNumberBack;
  chart->FGridColour = kGrid;
  chart->AddData(u"", 12, u"FF0000");
  chart->AddData(u"", 37, u"00FF00");
  chart->AddData(u"", 5, u"0000FF");
  chart->FHeight = 500;
  return chart;
}

struct Number {
  int row;  // the tick's row
  std::u16string text;
};

struct AxisCase {
  const char* name;
  void (*set_up)(TChartix&);
  std::vector<Number> numbers;  // ticks from the top down, then the origin
};

TEST(AxesTest, VerticalTicksCarryTheirNumbers) {
  const AxisCase cases[] = {
      {"automatic",
       [](TChartix&) {},
       {{50, u"40"}, {100, u"30"}, {150, u"20"}, {200, u"10"}, {250, u"0"}}},
      {"given step 15",
       [](TChartix& c) { c.FYGrad = 15; },
       {{100, u"30"}, {175, u"15"}, {250, u"0"}}},
      // 37 of 54 is 68.5 %: top 70, step 14.
      {"percentages",
       [](TChartix& c) { c.FShowPercent = true; },
       {{50, u"70%"}, {90, u"56%"}, {130, u"42%"}, {170, u"28%"}, {210, u"14%"}, {250, u"0%"}}},
      {"prefix and suffix",
       [](TChartix& c) {
         c.FPrefixY = u"$";
         c.FSuffixY = u"k";
         c.FYTop = 20;
         c.FYGrad = 20;
       },
       {{50, u"$20k"}, {250, u"$0k"}}},
      {"user labels",
       [](TChartix& c) {
         c.FUseYAxisLabels = true;
         c.AddYValue(20, u"Twenty");
         c.AddYValue(0, u"None");
       },
       {{150, u"Twenty"}, {250, u"None"}}},
      // No positive part: the span spreads over the negative part.
      {"all negative",
       [](TChartix& c) {
         c.ClearData();
         c.AddData(u"", -37, u"FF0000");
         c.FYAxisNegative = c.FMaxY;
       },
       {{450, u"-37"}, {250, u"0"}}},
      {"no numbers", [](TChartix& c) { c.FShowNumbers = false; }, {}},
  };
  const TFont font;
  for (const AxisCase& c : cases) {
    auto chart = Chart();
    c.set_up(*chart);
    Draw(*chart, cxtVBar);
    SCOPED_TRACE(c.name);
    int text_left = 50;
    for (const Number& n : c.numbers) {
      const TSize size = TextSize(font, n.text);
      const int x = 50 - 4 - 2 - size.cx;
      const TRect band{0, n.row - 6, 50, n.row - 6 + size.cy};
      EXPECT_EQ(ToString(Extent(*chart, kNumberBack, band)),
                ToString(TRect{x, n.row - 6, x + size.cx - 1, n.row - 6 + size.cy - 1}))
          << std::string(n.text.begin(), n.text.end());
      if (n.row != 250) {
        text_left = std::min(text_left, x);
        EXPECT_EQ(chart->PixelColour(46, n.row), 0u);  // the tick mark
        EXPECT_EQ(chart->PixelColour(45, n.row), kWhite);
      }
    }
    if (c.numbers.empty()) {
      EXPECT_EQ(Extent(*chart, kNumberBack).Left, INT_MAX);
    }
    EXPECT_EQ(chart->TextLeft, text_left);
  }
}

TEST(AxesTest, OffsetsNotBelowAGivenTopAreReset) {
  auto chart = Chart();
  chart->FYTop = 100;
  chart->FYOffset = 120;
  Draw(*chart, cxtVBar);
  EXPECT_EQ(chart->FYOffset, 0);  // and it stays reset
  EXPECT_EQ(chart->FReadYTop, 100);
  EXPECT_EQ(chart->FReadYGrad, 25);
  // All negative: top -37 and step 37, with no spacing over an axis of no
  // positive length.
  chart->ClearData();
  chart->AddData(u"", -37, u"FF0000");
  chart->FYTop = 0;
  chart->FYAxisNegative = chart->FMaxY;
  Draw(*chart, cxtHBar);
  EXPECT_EQ(chart->FReadYTop, -37);
  EXPECT_EQ(chart->FReadYGrad, 37);
}

TEST(AxesTest, GridLinesLieUnderTheTicksUnlessHidden) {
  struct Case {
    TGraphType type;
    bool hide;
    bool drawn;
  } cases[] = {{cxtVBar, false, true}, {cxtVBar, true, false}, {cxtHBar, true, true}};
  for (const Case& c : cases) {
    auto chart = Chart();
    chart->FShowGrid = true;
    chart->FHideHGrid = c.hide;
    chart->FGridStyle = TPenStyle::psSolid;
    Draw(*chart, c.type);
    const TRect grid = Extent(*chart, kGrid);
    SCOPED_TRACE(std::to_string(c.type) + (c.hide ? " hidden" : ""));
    EXPECT_EQ(grid.Left <= grid.Right, c.drawn);
    if (c.drawn && c.type == cxtVBar) {
      // From the axis to the end of the category axis, at the four ticks.
      EXPECT_EQ(ToString(grid), "51,50,299,200");
    }
  }
}

TEST(AxesTest, HorizontalBarNumbersSetTheDepthOfTheirBand) {
  const TFont font;
  for (bool upwards : {true, false}) {
    auto chart = Chart();
    chart->FXValuesVertical = upwards;
    Draw(*chart, cxtHBar);
    EXPECT_EQ(chart->TextBottom, upwards ? TextSize(font, u"40").cx : 11) << upwards;
    chart->FShowNumbers = false;
    Draw(*chart, cxtHBar);
    EXPECT_EQ(chart->TextBottom, 0);
  }
}

TEST(AxesTest, ANegativeCategoryPartMovesTheNumbersAndDropsTheOriginNumber) {
  auto chart = Chart();
  chart->FXAxisNegative = 20;
  Draw(*chart, cxtVBar);
  EXPECT_EQ(chart->TextLeft, std::min(50 - 20 - 5, 50 - 6 - TextSize(TFont{}, u"40").cx));
  EXPECT_EQ(Extent(*chart, kNumberBack, {0, 244, 50, 257}).Left, INT_MAX);
}

TEST(AxesTest, FailuresOfTheNumberTextsEndTheDrawing) {
  auto chart = Chart();
  chart->FLabelFont.SetSize(0);
  EXPECT_THROW_MSG(Draw(*chart, cxtHBar), EDivByZero, "Division by zero");
  chart = Chart();
  chart->FUseYAxisDates = chart->FUseYAxisLabels = true;
  EXPECT_THROW_MSG(Draw(*chart, cxtVBar), EConvertError,
                   "'09/01/1900' is not a valid floating point value");
  chart = Chart();
  chart->FDecimals = 300;
  EXPECT_THROW_MSG(Draw(*chart, cxtVBar), EConvertError, "Format string too long");
}

}  // namespace
}  // namespace plotvane
