#include "engine/number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "engine/chartix.h"
#include "engine/errors.h"

namespace plotvane {
namespace {

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(FormatFloatTest, RoundsTheEighteenDigitStringHalvesAwayFromZero) {
  struct Case {
    const char16_t* mask;
    double value;
    const char16_t* expected;
  } cases[] = {// Halves on the 18-digit string: 1.005 lies just below its half.
               {u"0.##", 0.125, u"0.13"},
               {u"0.", 2.5, u"3"},
               {u"0.", -2.5, u"-3"},
               {u"0.", 0.49999999999999994, u"0"},
               {u"0.##", 1.005, u"1"},
               {u"0.00", 1.005, u"1.00"},
               {u"0.#", 9.96, u"10"},
               {u"0.00", 0.005, u"0.01"},
               {u"0.00", 2, u"2.00"},
               // Decimals past the 18 digits are zeros, not the binary value's digits.
               {u"0.00000000000000000000", 0.1, u"0.10000000000000000600"},
               // No sign on zero; thousands groups.
               {u"0.#", -0.04, u"0"},
               {u"0.00", -0.001, u"0.00"},
               {u"#,##0.##", 1234567.891, u"1,234,567.89"},
               {u"#,##0.", -1200, u"-1,200"},
               {u"#,##0.", 999.5, u"1,000"},
               {u"#,##0.00", 0.5, u"0.50"},
               // 1E18 and beyond, the non-numbers and the empty mask: the general form.
               {u"#,##0.", 999999999999999872.0, u"999,999,999,999,999,872"},
               {u"0.", 1e18, u"1E18"},
               {u"0.", kNaN, u"NAN"},
               {u"0.", kInf, u"INF"},
               {u"", 12.5, u"12.5"}};
  for (const Case& c : cases) {
    EXPECT_EQ(FormatFloat(c.mask, c.value), c.expected) << Narrow(c.mask) << " " << c.value;
  }
}

TEST(FormatFloatTest, MasksOfTheEngineFollowTheDecimalsSetting) {
  struct Case {
    Integer decimals;
    bool separator, separator_x, separator_y;
    const char16_t *value_mask, *x_mask, *y_mask;
  } cases[] = {{2, false, false, false, u"0.##", u"0.##", u"0.##"},
               {0, true, false, false, u"#,##0.", u"#,##0.", u"#,##0."},
               {-2, false, true, false, u"0.00", u"#,##0.00", u"0.00"},
               {-2, false, false, true, u"0.00", u"0.00", u"#,##0.00"}};
  for (const Case& c : cases) {
    TChartix chart;
    chart.FDecimals = c.decimals;
    chart.FShowSeparator = c.separator;
    chart.FShowSeparatorX = c.separator_x;
    chart.FShowSeparatorY = c.separator_y;
    EXPECT_EQ(chart.GetValueMask(), c.value_mask) << c.decimals;
    EXPECT_EQ(chart.GetXValueMask(), c.x_mask) << c.decimals;
    EXPECT_EQ(chart.GetYValueMask(), c.y_mask) << c.decimals;
  }
  TChartix chart;
  const std::pair<Integer, const char16_t*> values[] = {{3, u"2.5"}, {-3, u"2.500"}, {0, u"3"}};
  for (const auto& [decimals, expected] : values) {
    chart.FDecimals = decimals;
    EXPECT_EQ(FormatFloat(chart.GetValueMask(), 2.5), expected) << decimals;
  }
}

TEST(FormatFloatTest, MasksLongerThan224CharactersAreRefused) {
  struct Case {
    Integer decimals;
    bool separator;
    bool accepted;
  } cases[] = {{222, false, true},      {-222, false, true},     {223, false, false},
               {218, true, true},       {219, true, false},      {-219, true, false},
               {INT_MAX, false, false}, {INT_MIN, false, false}, {INT_MIN, true, false}};
  for (const Case& c : cases) {
    TChartix chart;
    chart.FDecimals = c.decimals;
    chart.FShowSeparator = c.separator;
    const std::u16string mask = chart.GetValueMask();
    EXPECT_LE(mask.size(), kMaxFormatMaskLength + 5) << c.decimals;  // never built at full size
    if (c.accepted) {
      EXPECT_EQ(mask.size(), static_cast<size_t>(2 + std::abs(c.decimals) + (c.separator ? 4 : 0)));
      EXPECT_NO_THROW(FormatFloat(mask, 1.0 / 3)) << c.decimals;
      continue;
    }
    try {
      FormatFloat(mask, 1);
      ADD_FAILURE() << "accepted " << c.decimals;
    } catch (const EConvertError& e) {
      EXPECT_STREQ(e.what(), "Format string too long");
    }
  }
  EXPECT_EQ(FormatFloat(u"0." + std::u16string(222, u'0'), 0.5).size(), 224u);
}

TEST(FloatToStrTest, WritesTheGeneralForm) {
  struct Case {
    double value;
    int digits;
    const char16_t* expected;
  } cases[] = {{12.5, 15, u"12.5"},
               {1.0 / 3, 15, u"0.333333333333333"},
               {0.0001, 15, u"0.0001"},
               {0.00001, 15, u"1E-5"},
               {1e20, 15, u"1E20"},
               {123456789012345678.0, 15, u"1.23456789012346E17"},
               {-0.0, 15, u"0"},
               {kNaN, 15, u"NAN"},
               {1234567.8, 7, u"1234568"},
               {12345678, 7, u"1.234568E7"},
               // Rounding may add an integer digit; halves go away from zero.
               {999999999999999.9, 15, u"1E15"},
               {12345678901234.25, 15, u"12345678901234.3"},
               {-1000000000000005.0, 15, u"-1.00000000000001E15"},
               {2.5, 0, u"3"}};
  for (const Case& c : cases) {
    EXPECT_EQ(FloatToStrF(c.value, c.digits), c.expected) << c.value << " " << c.digits;
  }
}

TEST(StrToFloatTest, ReadsNumbersAndEveryValueTextBack) {
  const std::pair<const char16_t*, double> accepted[] = {{u" 12.5 ", 12.5},
                                                         {u"+1", 1},
                                                         {u"-1.5e3", -1500},
                                                         {u"1.", 1},
                                                         {u".5", 0.5},
                                                         {u"1E-5", 1e-5},
                                                         {u"007", 7},
                                                         {u"1e-400", 0},
                                                         {u"-0", 0},
                                                         {u"1.79769313486232E308", DBL_MAX},
                                                         {u"-1.79769313486232E308", -DBL_MAX}};
  for (const auto& [text, expected] : accepted) {
    EXPECT_EQ(StrToFloat(text), expected) << Narrow(text);
  }
  for (double v : {DBL_MAX, -DBL_MAX, DBL_MIN, 5e-324, 0.1, 1.0 / 3, -123456.789e200}) {
    const double back = StrToFloat(FloatToStr(v));
    EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << Narrow(FloatToStr(v));
  }
}

TEST(StrToFloatTest, RefusesEverythingElseWithTheMessage) {
  const char16_t* refused[] = {u"",
                               u" ",
                               u"abc",
                               u"1,000",
                               u"1.2.3",
                               u"e5",
                               u"1e",
                               u"1e+",
                               u"inf",
                               u"nan",
                               u"0x10",
                               u"1 2",
                               u"\t1",
                               u"--1",
                               u"1e400",
                               u"\uFF11",
                               u"1.79769313486233E308"};
  for (const char16_t* text : refused) {
    double value = 42;
    EXPECT_FALSE(TryStrToFloat(text, value)) << Narrow(text);
    EXPECT_EQ(value, 42) << Narrow(text);
  }
  const std::pair<std::u16string, const char*> messages[] = {
      {u"abc", "'abc' is not a valid floating point value"},
      {u"01/01/2023", "'01/01/2023' is not a valid floating point value"},
      {u"\u00e9", "'\xc3\xa9' is not a valid floating point value"}};
  for (const auto& [text, message] : messages) {
    try {
      StrToFloat(text);
      ADD_FAILURE() << message;
    } catch (const EConvertError& e) {
      EXPECT_STREQ(e.what(), message);
    }
  }
}

TEST(ChartixFormatTest, PrefixAndSuffixKeepTheMinusSignInFront) {
  struct Case {
    const char16_t *prefix, *suffix, *prefix_x, *suffix_x, *prefix_y, *suffix_y, *text;
    const char16_t *plain, *x, *y;
  } cases[] = {{u"$", u"", u"", u"", u"", u"", u"-1,200", u"-$1,200", u"-$1,200", u"-$1,200"},
               {u"", u"", u"\u20ac", u"", u"", u"", u"5", u"5", u"\u20ac5", u"5"},
               {u"$", u"", u"", u"", u"\u00a3", u"", u"5", u"$5", u"$5", u"$5"},
               {u"$", u"", u"", u"", u"\u00a3", u" kg", u"-5", u"-$5", u"-$5", u"-$5 kg"},
               {u"", u"%", u"<", u">", u"[", u"]", u"", u"%", u"<%", u"[%"}};
  for (const Case& c : cases) {
    TChartix chart;
    chart.FPrefix = c.prefix;
    chart.FSuffix = c.suffix;
    chart.FPrefixX = c.prefix_x;
    chart.FSuffixX = c.suffix_x;
    chart.FPrefixY = c.prefix_y;
    chart.FSuffixY = c.suffix_y;
    EXPECT_EQ(chart.AddPrefixSuffix(c.text), c.plain) << Narrow(c.text);
    EXPECT_EQ(chart.AddPrefixSuffixX(c.text), c.x) << Narrow(c.text);
    EXPECT_EQ(chart.AddPrefixSuffixY(c.text), c.y) << Narrow(c.text);
  }
}

TEST(ChartixFormatTest, AxisLabelsAreFoundByTheNumberTheTextShows) {
  TChartix chart;
  chart.AddYValue(1000, u"one thousand");
  chart.AddYValue(0.5, u"half");
  chart.AddYValue(1e20, u"huge");
  chart.AddXValue(1234567.8, u"rounded key");
  const std::pair<const char16_t*, const char16_t*> y_cases[] = {
      {u"1,000", u"one thousand"},
      {u"1000.0", u"one thousand"},
      {u"1000", u"one thousand"},
      {u"1,500", u""},
      {u"0.50", u"half"},
      {u"1000.00001", u""},
      {u"100,000,000,000,000,000,000", u"huge"}};
  for (const auto& [text, label] : y_cases) {
    EXPECT_EQ(chart.GetYAxisLabel(text), label) << Narrow(text);
    EXPECT_EQ(chart.GetXAxisLabel(text), u"") << Narrow(text);
  }
  EXPECT_EQ(chart.GetXAxisLabel(u"1,234,568"), u"rounded key");
  EXPECT_THROW(chart.GetYAxisLabel(u"01/01/2023"), EConvertError);
}

}  // namespace
}  // namespace plotvane
