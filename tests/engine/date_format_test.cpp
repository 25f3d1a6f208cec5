#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "engine/chartix.h"
#include "engine/number_format.h"

namespace plotvane {
namespace {

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// 1 January 2023, a Sunday.
constexpr double kNewYear = 44927;
// Day number of a time of day.
constexpr double At(int hour, int minute = 0, int second = 0, int ms = 0) {
  return (((hour * 60 + minute) * 60 + second) * 1000 + ms) / 86400000.0;
}

TEST(FormatDateTimeTest, WritesEveryPatternItem) {
  struct Case {
    const char16_t* pattern;
    double value;
    const char16_t* expected;
  } cases[] = {{u"c", kNewYear, u"01/01/2023"},
               {u"c", kNewYear + 0.5, u"01/01/2023 12:00:00"},
               {u"C", kNewYear + At(0, 0, 0, 1), u"01/01/2023 00:00:00"},
               {u"d/m/yy", kNewYear + 40, u"10/2/23"},
               {u"ddd dddd", kNewYear, u"Sun Sunday"},
               {u"ddddd|dddddd", kNewYear, u"01/01/2023|Sunday, 1 January 2023"},
               {u"mmm mmmm mmmmm", kNewYear + 250, u"Sep September September"},
               {u"y yyy yyyyy", kNewYear, u"23 2023 2023"},
               {u"h:n:s", kNewYear + At(3, 4, 5), u"3:4:5"},
               {u"hh:nn:ss.zzz z", kNewYear + At(3, 4, 5, 7), u"03:04:05.007 7"},
               {u"hh:mm m", kNewYear + At(3, 4), u"03:04 1"},  // minutes right after an hour only
               {u"t|tt", kNewYear + At(13, 4, 5), u"13:04|13:04:05"},
               // 12-hour clocks.
               {u"h am/pm", kNewYear, u"12 am"},
               {u"h am/pm", kNewYear + 0.5, u"12 pm"},
               {u"hh AM/PM", kNewYear + At(23), u"11 PM"},
               {u"h A/P", kNewYear + At(13), u"1 P"},
               {u"h ampm", kNewYear + At(12, 30), u"12 PM"},
               {u"h Am/pM", kNewYear + At(13), u"1 pM"},
               {u"hh 'x' hh am/pm", kNewYear + At(13), u"13 x 01 pm"},
               {u"hh 'am/pm'", kNewYear + At(13), u"13 am/pm"},
               {u"a aaa", kNewYear, u"a aaa"},
               // Quoted and other text.
               {u"'Day' d \"of\" mmmm", kNewYear, u"Day 1 of January"},
               {u"d 'unclosed", kNewYear, u"1 unclosed"},
               {u"''", kNewYear, u""},
               {u"qq-#", kNewYear, u"qq-#"},
               // Day numbers: the epoch, negative days, leap years, the calendar's ends.
               {u"c", 0, u"30/12/1899"},
               {u"c", -1.25, u"29/12/1899 06:00:00"},
               {u"c", -0.5, u"30/12/1899 12:00:00"},
               {u"ddd dd/mm/yyyy", -700, u"Sat 29/01/1898"},
               {u"dd/mm", 60, u"28/02"},
               {u"dd/mm", 36585, u"29/02"},
               {u"c", -693593, u"01/01/0001"},
               {u"c", 2958465.5, u"31/12/9999 12:00:00"},
               {u"c", kNewYear + 0.99999999999, u"02/01/2023"},  // rounds to midnight
               // No calendar date: nothing at all.
               {u"'x' c", 2958466, u""},
               {u"c", -693594, u""},
               {u"c", 1e300, u""},
               {u"c", std::numeric_limits<double>::quiet_NaN(), u""},
               {u"c", -std::numeric_limits<double>::infinity(), u""}};
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDateTime(c.pattern, c.value), c.expected)
        << Narrow(c.pattern) << " " << c.value;
  }
}

TEST(FormatDateTimeTest, NestedPatternsStayBounded) {
  // A short date that nests itself stops two levels down.
  EXPECT_EQ(DateToStr(kNewYear, u"dd ddddd"), u"01 01 01 ");
  EXPECT_EQ(DateTimeToStr(kNewYear + 0.5, u"dd", u"t"), u"01 12:00");

  // Long patterns and long quoted texts are written whole.
  const std::u16string text(100000, u'x');
  EXPECT_EQ(FormatDateTime(u"'" + text + u"' yyyy", kNewYear), text + u" 2023");
  std::u16string many;
  for (int i = 0; i < 10000; ++i) many += u"dd.";
  EXPECT_EQ(FormatDateTime(many, kNewYear).size(), 30000u);

  // A long short date nested many times is cut after bounded work.
  std::u16string nested;
  for (int i = 0; i < 20000; ++i) nested += u"ddddd";
  const std::u16string result = DateToStr(kNewYear, nested);
  EXPECT_GT(result.size(), 0u);
  EXPECT_LE(result.size(), 16 * 3 * nested.size() + 65536);
}

TEST(GetDateTextTest, UsesTheChartsPatternsAndLeavesTheSharedOnesAlone) {
  struct Case {
    TDateTimeFormat format;
    const char16_t *date_pattern, *time_pattern;
    double value;
    const char16_t* expected;
  } cases[] = {{dtDateTime, u"", u"", kNewYear, u"01/01/2023"},
               {dtDateTime, u"", u"", kNewYear + 0.5, u"01/01/2023 12:00:00"},
               {dtDateTime, u"yyyy-mm-dd", u"hh:nn", kNewYear + 0.75, u"2023-01-01 18:00"},
               {dtDate, u"yyyy-mm", u"", kNewYear, u"2023-01"},
               {dtDate, u"", u"hh", kNewYear + 0.75, u"01/01/2023"},
               {dtTime, u"", u"", kNewYear + 0.75, u"18:00:00"},
               {dtTime, u"yyyy", u"h am/pm", kNewYear + 0.75, u"6 pm"},
               {dtDate, u"''", u"", kNewYear, u" "},
               {dtDateTime, u"", u"", std::nan(""), u" "}};
  for (const Case& c : cases) {
    TChartix chart;
    chart.FDateTimeFormat = c.format;
    chart.FDateFormat = c.date_pattern;
    chart.FTimeFormat = c.time_pattern;
    EXPECT_EQ(chart.GetDateText(c.value), c.expected) << Narrow(c.date_pattern) << c.value;
    EXPECT_EQ(FormatSettings().ShortDateFormat, u"dd/mm/yyyy");
    EXPECT_EQ(FormatSettings().LongTimeFormat, u"hh:nn:ss");
    EXPECT_EQ(DateTimeToStr(kNewYear + 0.5), u"01/01/2023 12:00:00");
  }
}

}  // namespace
}  // namespace plotvane
