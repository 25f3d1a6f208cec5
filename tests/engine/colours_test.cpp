#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/chartix.h"

namespace plotvane {
namespace {

constexpr TColor kOld = 0x123456;

struct ColourCase {
  std::u16string text;
  TColor expected;
};

void PrintTo(const ColourCase& c, std::ostream* os) {
  *os << '"' << std::string(c.text.begin(), c.text.end()) << '"';
}

class SetColourTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(SetColourTest, ReadsExactlyWhatTheRuleAccepts) {
  const ColourCase& c = GetParam();
  EXPECT_EQ(TChartix::SetColour(c.text, kOld), c.expected)
      << "colour string \"" << std::string(c.text.begin(), c.text.end()) << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SetColourTest,
    ::testing::Values(ColourCase{u"FF0000", 0x0000FF}, ColourCase{u"#00ff00", 0x00FF00},
                      ColourCase{u"$0000FF", 0xFF0000}, ColourCase{u"$ff0000", 0x0000FF},
                      ColourCase{u"FFOOOO", 0x0000FF}, ColourCase{u"ffoooo", 0x0000FF},
                      ColourCase{u"#", kOld},            // one character is not stripped
                      ColourCase{u"##FF0000", kOld},     // only one character is stripped
                      ColourCase{u"", 0},                // empty is black, never the fallback
                      ColourCase{u"FOOBAR", kOld},       // "R" is not hexadecimal
                      ColourCase{u"F00", 0x0000F0},      // short strings are not expanded
                      ColourCase{u"FF0000AA", 0x0000FF}, // characters after six are ignored
                      ColourCase{u"FF000Z", kOld}, ColourCase{u" FF0000", kOld},
                      ColourCase{u"-F0000", kOld}, ColourCase{u"red", kOld},
                      ColourCase{u"#FFFFFF", 0xFFFFFF}, ColourCase{u"1", 0x000001},
                      ColourCase{u"0", 0}, ColourCase{u"$", kOld}));

TEST(GetColourTest, WritesRedGreenBlueInUpperCaseAndIgnoresTheHighByte) {
  EXPECT_EQ(TChartix::GetColour(0x00FFFFFF), u"FFFFFF");
  EXPECT_EQ(TChartix::GetColour(0), u"000000");
  EXPECT_EQ(TChartix::GetColour(0x000080FF), u"FF8000");
  EXPECT_EQ(TChartix::GetColour(0x80000005), u"050000");
  EXPECT_EQ(TChartix::GetColour(TChartix::SetColour(u"#abcdef", 0)), u"ABCDEF");
}

std::vector<std::u16string> AutomaticColours(TChartix& chart, int n) {
  for (int i = 0; i < n; ++i) chart.AddData(u"x", 1, u"R");
  return {chart.ColourList.begin(), chart.ColourList.end()};
}

TEST(AutomaticColourTest, WalksTheTableByItsStride) {
  TChartix chart;
  EXPECT_EQ(AutomaticColours(chart, 3),
            (std::vector<std::u16string>{u"990033", u"6600cc", u"009999"}));
  EXPECT_EQ(chart.FRNDColour, 144);
}

TEST(AutomaticColourTest, VisitsEveryIndexButTheLastBeforeReturningToZero) {
  TChartix chart;
  std::vector<bool> seen(211, false);
  int steps = 0;
  do {
    ASSERT_FALSE(seen[static_cast<size_t>(chart.FRNDColour)]) << "index " << chart.FRNDColour;
    seen[static_cast<size_t>(chart.FRNDColour)] = true;
    chart.AddData(u"x", 1, u"r");
    ++steps;
  } while (chart.FRNDColour != 0);
  EXPECT_EQ(steps, 210);
  EXPECT_FALSE(seen[210]);
}

TEST(AutomaticColourTest, IndexTwoHundredTenIsFollowedByFortySeven) {
  TChartix chart;
  chart.SetRNDColor(210);
  EXPECT_EQ(AutomaticColours(chart, 2), (std::vector<std::u16string>{u"cccccc", u"6633cc"}));
}

TEST(AutomaticColourTest, OutOfRangeIndicesAreIgnored) {
  TChartix chart;
  chart.SetRNDColor(17);
  for (int bad : {211, -1, 300}) {
    chart.SetRNDColor(bad);
    EXPECT_EQ(chart.FRNDColour, 17) << bad;
  }
}

TEST(AutomaticColourTest, OnlyExactlyROrLowerCaseRIsAutomatic) {
  TChartix chart;
  chart.AddData(u"a", 1, u" R");
  chart.AddData(u"b", 1, u"Random");
  EXPECT_EQ(chart.ReadColor(0), u"000000");
  EXPECT_EQ(chart.ReadColor(1), u"000000");
  EXPECT_EQ(chart.FRNDColour, 0);
}

TEST(AutomaticColourTest, ClearDataContinuesTheWalk) {
  TChartix chart;
  chart.AddData(u"a", 1, u"R");
  chart.ClearData();
  chart.AddData(u"b", 1, u"R");
  EXPECT_EQ(chart.ReadColor(0), u"6600cc");
}

}  // namespace
}  // namespace plotvane
