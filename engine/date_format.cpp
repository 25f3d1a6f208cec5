// Date and time texts of day numbers.
//
// A day number is split once into calendar date, weekday and time (rounded
// to whole milliseconds); the pattern is then read from left to right, each
// run of one letter producing one item. Nested patterns (the short and long
// date, the short and long time) are written by the same reader one level
// down. Two limits keep a pattern that nests itself, or one that nests a huge
// pattern many times, from running away: a nesting depth, and a work budget
// proportional to the length of all patterns involved, charged for every
// pattern character read and every character written.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "engine/number_format.h"
#include "engine/types.h"

namespace plotvane {

namespace {

// 1 January 0001 and 31 December 9999 as day numbers: the calendar's range.
constexpr Int64 kFirstDay = -693593;
constexpr Int64 kLastDay = 2958465;
constexpr Int64 kMsPerDay = 86400000;
// Day 0, 30 December 1899, counted from 1 January 1970.
constexpr Int64 kDay0FromUnixEpoch = -25569;

// Nested patterns below the outermost one; deeper ones write nothing.
constexpr int kMaxNesting = 2;

struct DateParts {
  int year = 0, month = 0, day = 0;
  int day_of_week = 0;  // 0 Sunday
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Gregorian date of a day count from 1 January 1970, by eras of 400 years.
void CivilFromDays(Int64 z, DateParts& parts) {
  z += 719468;  // from 1 March 0000
  const Int64 era = (z >= 0 ? z : z - 146096) / 146097;
  const Int64 doe = z - era * 146097;
  const Int64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const Int64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const Int64 mp = (5 * doy + 2) / 153;
  parts.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  parts.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  parts.year = static_cast<int>(yoe + era * 400 + (parts.month <= 2 ? 1 : 0));
}

// False when `value` has no calendar date (NaN, infinities, outside years
// 1 to 9999); the range is checked before any conversion to an integer.
bool DecodeDayNumber(double value, DateParts& parts) {
  if (!(value >= static_cast<double>(kFirstDay) - 1 && value <= static_cast<double>(kLastDay) + 1))
    return false;
  Int64 day = static_cast<Int64>(std::trunc(value));
  const long double fraction = std::fabs(static_cast<long double>(value) - std::trunc(value));
  Int64 ms = std::llround(fraction * kMsPerDay);
  if (ms >= kMsPerDay) {  // 23:59:59.9996 is midnight of the next calendar day
    ms -= kMsPerDay;
    ++day;
  }
  if (day < kFirstDay || day > kLastDay) return false;
  CivilFromDays(day + kDay0FromUnixEpoch, parts);
  parts.day_of_week = static_cast<int>(((day % 7) + 7 + 6) % 7);  // day 0 was a Saturday
  parts.hour = static_cast<int>(ms / 3600000);
  parts.minute = static_cast<int>(ms / 60000 % 60);
  parts.second = static_cast<int>(ms / 1000 % 60);
  parts.millisecond = static_cast<int>(ms % 1000);
  return true;
}

char16_t Upper(char16_t c) { return (c >= u'a' && c <= u'z') ? c - (u'a' - u'A') : c; }
bool IsLetter(char16_t c) { return Upper(c) >= u'A' && Upper(c) <= u'Z'; }

// True when `pattern` holds `word` at `pos`, ignoring letter case.
bool HasAt(const std::u16string& pattern, size_t pos, const char16_t* word) {
  for (size_t i = 0; word[i] != 0; ++i) {
    if (pos + i >= pattern.size() || Upper(pattern[pos + i]) != Upper(word[i])) return false;
  }
  return true;
}

// The length of the am/pm marker at `pos`: 5 for "am/pm", 3 for "a/p", 4 for
// "ampm", 0 for none.
size_t MarkerAt(const std::u16string& pattern, size_t pos) {
  if (HasAt(pattern, pos, u"am/pm")) return 5;
  if (HasAt(pattern, pos, u"a/p")) return 3;
  if (HasAt(pattern, pos, u"ampm")) return 4;
  return 0;
}

// Position after the quoted text that opens at `pos`, or the pattern's end
// when the quote is never closed.
size_t SkipQuoted(const std::u16string& pattern, size_t pos) {
  const size_t close = pattern.find(pattern[pos], pos + 1);
  return close == std::u16string::npos ? pattern.size() : close + 1;
}

// True when an am/pm marker follows `pos` before the next hour letter.
bool TwelveHourClockFollows(const std::u16string& pattern, size_t pos) {
  while (pos < pattern.size()) {
    const char16_t c = Upper(pattern[pos]);
    if (c == u'H') return false;
    if (c == u'\'' || c == u'"') {
      pos = SkipQuoted(pattern, pos);
      continue;
    }
    if (c == u'A' && MarkerAt(pattern, pos) != 0) return true;
    ++pos;
  }
  return false;
}

class DateWriter {
 public:
  DateWriter(const DateParts& parts, const std::u16string& short_date,
             const std::u16string& long_time, size_t budget)
      : parts_(parts), short_date_(short_date), long_time_(long_time), budget_(budget) {}

  void Write(const std::u16string& pattern, int depth);
  std::u16string Take() { return std::move(out_); }

 private:
  // Both charge the budget; once it is spent nothing more is written.
  void Append(const char16_t* text, size_t length);
  void Append(const std::u16string& text) { Append(text.data(), text.size()); }
  void Append(char16_t c) { Append(&c, 1); }
  void AppendNumber(int value, size_t min_digits);
  // Writes the item that starts with a letter run of `count` at `pos`;
  // returns the position after it.
  size_t WriteLetters(const std::u16string& pattern, size_t pos, size_t count, int depth);
  size_t WriteMarker(const std::u16string& pattern, size_t pos);
  void WriteHour(const std::u16string& pattern, size_t after, size_t count);

  const DateParts& parts_;
  const std::u16string& short_date_;
  const std::u16string& long_time_;
  size_t budget_;
  char16_t last_letter_ = 0;  // of the pattern being read, for "m" after "h"
  std::u16string out_;
};

void DateWriter::Append(const char16_t* text, size_t length) {
  const size_t n = std::min(length, budget_);
  out_.append(text, n);
  budget_ -= n;
}

void DateWriter::AppendNumber(int value, size_t min_digits) {
  std::u16string digits;
  for (const char c : std::to_string(value)) digits += static_cast<char16_t>(c);
  if (digits.size() < min_digits) digits.insert(0, min_digits - digits.size(), u'0');
  Append(digits);
}

void DateWriter::Write(const std::u16string& pattern, int depth) {
  if (depth > kMaxNesting) return;
  const char16_t saved_last_letter = last_letter_;
  last_letter_ = 0;
  const TFormatSettings& settings = FormatSettings();
  size_t pos = 0;
  while (pos < pattern.size() && budget_ > 0) {
    const char16_t c = pattern[pos];
    size_t next = pos + 1;
    if (c == u'\'' || c == u'"') {
      const size_t close = pattern.find(c, pos + 1);
      const size_t end = close == std::u16string::npos ? pattern.size() : close;
      Append(pattern.data() + pos + 1, end - pos - 1);
      next = close == std::u16string::npos ? end : end + 1;
    } else if (c == u'/') {
      Append(settings.DateSeparator);
    } else if (c == u':') {
      Append(settings.TimeSeparator);
    } else if (Upper(c) == u'A') {
      next = WriteMarker(pattern, pos);
      last_letter_ = u'A';
    } else if (IsLetter(c)) {
      while (next < pattern.size() && Upper(pattern[next]) == Upper(c)) ++next;
      next = WriteLetters(pattern, pos, next - pos, depth);
    } else {
      Append(c);
    }
    const size_t read = std::min(next - pos, budget_);
    budget_ -= read;
    pos = next;
  }
  last_letter_ = saved_last_letter;
}

size_t DateWriter::WriteMarker(const std::u16string& pattern, size_t pos) {
  const size_t length = MarkerAt(pattern, pos);
  const bool pm = parts_.hour >= 12;
  if (length == 5) {
    Append(pattern.data() + pos + (pm ? 3 : 0), 2);  // in the pattern's letter case
  } else if (length == 3) {
    Append(pattern[pos + (pm ? 2 : 0)]);
  } else if (length == 4) {
    Append(pm ? FormatSettings().TimePMString : FormatSettings().TimeAMString);
  } else {
    Append(pattern[pos]);  // a lone "a" is plain text
    return pos + 1;
  }
  return pos + length;
}

void DateWriter::WriteHour(const std::u16string& pattern, size_t after, size_t count) {
  int hour = parts_.hour;
  if (TwelveHourClockFollows(pattern, after)) {
    if (hour == 0) {
      hour = 12;
    } else if (hour > 12) {
      hour -= 12;
    }
  }
  AppendNumber(hour, count >= 2 ? 2 : 1);
}

size_t DateWriter::WriteLetters(const std::u16string& pattern, size_t pos, size_t count,
                                int depth) {
  const TFormatSettings& settings = FormatSettings();
  char16_t letter = Upper(pattern[pos]);
  if (letter == u'M' && last_letter_ == u'H') letter = u'N';  // "hh:mm" means minutes
  last_letter_ = letter;
  const size_t two = count >= 2 ? 2 : 1;
  switch (letter) {
    case u'C':
      Write(short_date_, depth + 1);
      if (parts_.hour != 0 || parts_.minute != 0 || parts_.second != 0 || parts_.millisecond != 0) {
        Append(u' ');
        Write(long_time_, depth + 1);
      }
      break;
    case u'D':
      if (count <= 2) {
        AppendNumber(parts_.day, two);
      } else if (count <= 4) {
        const auto& names = count == 3 ? settings.ShortDayNames : settings.LongDayNames;
        Append(names[static_cast<size_t>(parts_.day_of_week)]);
      } else {
        Write(count == 5 ? short_date_ : settings.LongDateFormat, depth + 1);
      }
      break;
    case u'M':
      if (count <= 2) {
        AppendNumber(parts_.month, two);
      } else {
        const auto& names = count == 3 ? settings.ShortMonthNames : settings.LongMonthNames;
        Append(names[static_cast<size_t>(parts_.month - 1)]);
      }
      break;
    case u'Y':
      AppendNumber(count <= 2 ? parts_.year % 100 : parts_.year, count <= 2 ? 2 : 4);
      break;
    case u'H':
      WriteHour(pattern, pos + count, count);
      break;
    case u'N':
      AppendNumber(parts_.minute, two);
      break;
    case u'S':
      AppendNumber(parts_.second, two);
      break;
    case u'Z':
      AppendNumber(parts_.millisecond, count >= 3 ? 3 : count);
      break;
    case u'T':
      Write(count == 1 ? settings.ShortTimeFormat : long_time_, depth + 1);
      break;
    default:  // any other letter is plain text, the whole run of it
      Append(pattern.data() + pos, count);
      break;
  }
  return pos + count;
}

// Enough for every pattern whose nested patterns are expanded a few times
// each; a pattern that repeats a long nested one many times is cut.
size_t WorkBudget(const std::u16string& pattern, const std::u16string& short_date,
                  const std::u16string& long_time) {
  const TFormatSettings& s = FormatSettings();
  const size_t input = pattern.size() + short_date.size() + long_time.size() +
                       s.LongDateFormat.size() + s.ShortTimeFormat.size();
  return 16 * input + 65536;
}

}  // namespace

std::u16string FormatDateTime(const std::u16string& pattern, double value,
                              const std::u16string& short_date, const std::u16string& long_time) {
  DateParts parts;
  if (!DecodeDayNumber(value, parts)) return std::u16string();
  DateWriter writer(parts, short_date, long_time, WorkBudget(pattern, short_date, long_time));
  writer.Write(pattern, 0);
  return writer.Take();
}

std::u16string DateTimeToStr(double value, const std::u16string& short_date,
                             const std::u16string& long_time) {
  return FormatDateTime(u"c", value, short_date, long_time);
}

std::u16string DateToStr(double value, const std::u16string& short_date,
                         const std::u16string& long_time) {
  return FormatDateTime(short_date, value, short_date, long_time);
}

std::u16string TimeToStr(double value, const std::u16string& short_date,
                         const std::u16string& long_time) {
  return FormatDateTime(long_time, value, short_date, long_time);
}

}  // namespace plotvane
