#include "engine/scale.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/errors.h"
#include "tests/engine/chart_fixture.h"

namespace plotvane {
namespace {

TEST(ScaleTest, AutomaticTopAndStepFollowTheLargestValueAndTheAxisLength) {
  struct Case {
    long long length, max_value;
    double top, grad;
  } cases[] = {
      {200, 37, 40, 10},
      {200, 30, 30, 6},
      {200, 7, 8, 2},
      {200, 3, 4, 1},
      {200, 0, 1, 1},
      {200, 1, 1, 1},
      {200, -37, -37, 12},
      {200, 101, 200, 50},
      {200, 986, 1000, 250},
      {200, 1234, 2000, 500},
      {200, 55, 60, 15},
      {200, 99, 100, 25},
      {400, 37, 40, 5},
      {400, 250, 300, 30},
      {400, 1234, 2000, 250},
      // No spacing fits an axis without a positive part: the step is the value.
      {0, -37, -37, 37},
  };
  for (const Case& c : cases) {
    double top = 0, grad = 0;
    CalculateScale(grad, top, 0, c.max_value, c.length, 8, false);
    EXPECT_EQ(top, c.top) << c.length << " " << c.max_value;
    EXPECT_EQ(grad, c.grad) << c.length << " " << c.max_value;
  }
}

TEST(ScaleTest, GivenValuesPercentagesAndTheFontSize) {
  double top = 0, grad = 0;
  CalculateScale(grad, top, 0, 250, 200, 8, true);
  EXPECT_EQ(top, 100);  // percentages never exceed 100
  top = 50;
  grad = -7;
  CalculateScale(grad, top, 0, 37, 200, 8, false);
  EXPECT_EQ(top, 50);  // a given top stays
  EXPECT_EQ(grad, 7);  // a given step only turns positive
  top = 0;
  grad = 0;
  CalculateScale(grad, top, 0, 37, 200, -8, false);  // a negative size counts as its size
  EXPECT_EQ(grad, 10);
  top = grad = 0;
  EXPECT_THROW_MSG(CalculateScale(grad, top, 0, 37, 200, 0, false), EDivByZero, "Division by zero");
}

TEST(ScaleTest, SlotsAreRoundedDownAndCentredByTheSpareRoom) {
  struct Case {
    long long length, count, width, gap;
    bool widen;
    long long w, g, e;
  } cases[] = {
      {400, 5, 0, 0, true, 41, 40, 35},  // one more pixel per bar still fits
      {400, 5, 0, 0, false, 40, 40, 40},
      {4, 3, 0, 0, true, 1, 0, 1},   // widened from 0, then the gap from the width
      {4, 3, 0, 0, false, 0, 0, 4},  // zero-width bars
      {300, 4, 30, 0, true, 30, 45, 45},
      {300, 4, 0, 20, true, 55, 20, 20},
      {100, 4, 40, 10, true, 40, 10, -90},  // too wide: the bars start before the axis
  };
  for (const Case& c : cases) {
    const SlotLayout s = LayOutSlots(c.length, c.count, c.width, c.gap, c.widen);
    EXPECT_EQ(s.width, c.w) << c.length << " " << c.count;
    EXPECT_EQ(s.gap, c.g) << c.length << " " << c.count;
    EXPECT_EQ(s.spare, c.e) << c.length << " " << c.count;
  }
}

std::vector<std::pair<long long, double>> Positive(const TickScale& s, long long n, bool stops,
                                                   long long reach = 0) {
  std::vector<std::pair<long long, double>> ticks;
  WalkPositiveTicks(s, n, stops, reach, [&](long long p, double v) { ticks.emplace_back(p, v); });
  return ticks;
}

std::vector<std::pair<long long, double>> Negative(const TickScale& s) {
  std::vector<std::pair<long long, double>> ticks;
  WalkNegativeTicks(s, [&](long long p, double v) { ticks.emplace_back(p, v); });
  return ticks;
}

using Ticks = std::vector<std::pair<long long, double>>;

TEST(ScaleTest, TickWalksStopAtTheTopAndAtTheEndOfTheAxis) {
  // Step 15 under an automatic top of 40: the third tick (45) passes the top.
  TickScale s;
  s.top = 40;
  s.grad = 15;
  s.px = 15.0 / 40 * 200;
  s.length = 200;
  EXPECT_EQ(TickCount(s, false), 3);
  EXPECT_EQ(Positive(s, TickCount(s, false), true), (Ticks{{75, 15}, {150, 30}}));
  // Ticks step Round(k px) from the origin, halves to even, not by a rounded px.
  s.top = 4;
  s.grad = 1;
  s.px = 2.5;
  s.length = 10;
  s.negative = 5;
  EXPECT_EQ(Positive(s, 4, true), (Ticks{{2, 1}, {5, 2}, {8, 3}, {10, 4}}));
  EXPECT_EQ(Negative(s), (Ticks{{2, -1}, {5, -2}}));
  // The top test works one decimal finer than the numbers are written: 1.02
  // passes a top of 1 with one decimal (1.0 < 1.02), not with none (1 = 1).
  s.top = 1;
  s.grad = 0.34;
  s.px = 1;
  s.decimals = 0;
  EXPECT_EQ(Positive(s, TickCount(s, false), true).size(), 3u);
  s.decimals = -1;
  EXPECT_EQ(Positive(s, TickCount(s, false), true).size(), 2u);
  s.px = 0;
  EXPECT_TRUE(Negative(s).empty());
}

TEST(ScaleTest, TicksCloserThanAPixelCostWhatTheAxisHasPixels) {
  // A step of 1e-9 over a span of 1e9: 2^31 - 1 ticks, 200 pixels. Only the
  // last tick of each pixel is visited.
  TickScale s;
  s.top = 1e9;
  s.grad = 1e-9;
  s.px = 1e-9 / 1e9 * 200;
  s.length = 200;
  s.negative = 3;
  const Ticks ticks = Positive(s, TickCount(s, false), true);
  ASSERT_FALSE(ticks.empty());
  EXPECT_LE(ticks.size(), 201u);
  for (size_t i = 1; i < ticks.size(); ++i) EXPECT_LT(ticks[i - 1].first, ticks[i].first);
  EXPECT_EQ(Negative(s).size(), 4u);  // pixels 0 to 3
  // Grid lines without stop tests end once past the bitmap.
  s.px = 0.5;
  EXPECT_EQ(Positive(s, 1000000000, false, 20).back().first, 20);
}

}  // namespace
}  // namespace plotvane
