// Conversions between numbers and text shared by the whole component: data
// values are stored as text, labels are made through number masks, date axes
// through date patterns. All of them read one fixed, read-only record of
// regional settings, so a value written as text reads back the same, and
// several objects may format on several threads at once.
//
//   FormatFloat     a value through a number mask ("#,##0.##")
//   FloatToStrF     the general form with a chosen number of significant digits
//   FloatToStr      the general form with 15 digits: the value text of the lists
//   StrToFloat      text to a value, throwing; TryStrToFloat without throwing
//   FormatDateTime  a day number through a date and time pattern
//   DateTimeToStr, DateToStr, TimeToStr   the pattern "c", the short date, the long time
//
// Day numbers count days from 30 December 1899 (day 0; 1 January 1900 is day
// 2); the fraction is the time of day (0.5 is noon). Below 0 the day is the
// whole part taken towards zero and the time the absolute value of the
// fraction, so -1.25 is 29 December 1899 at 06:00.
//
// All results are freshly allocated strings owned by the caller. Only
// FormatFloat (mask too long) and StrToFloat (not a number) throw.
#ifndef PLOTVANE_ENGINE_NUMBER_FORMAT_H_
#define PLOTVANE_ENGINE_NUMBER_FORMAT_H_

#include <array>
#include <cstddef>
#include <string>

namespace plotvane {

// The regional settings every number and date text is made with. There is
// one record for the process and it never changes; date texts that need other
// patterns receive them as arguments.
struct TFormatSettings {
  char16_t DecimalSeparator = u'.';   // written by FormatFloat and FloatToStr, read by StrToFloat
  char16_t ThousandSeparator = u',';  // between digit groups of masks with ","
  char16_t DateSeparator = u'/';      // "/" of a date pattern
  char16_t TimeSeparator = u':';      // ":" of a date pattern
  std::u16string ShortDateFormat = u"dd/mm/yyyy";        // default date pattern, "ddddd"
  std::u16string LongDateFormat = u"dddd, d mmmm yyyy";  // "dddddd"
  std::u16string ShortTimeFormat = u"hh:nn";             // "t"
  std::u16string LongTimeFormat = u"hh:nn:ss";           // default time pattern, "tt"
  std::u16string TimeAMString = u"AM";                   // "ampm" before noon
  std::u16string TimePMString = u"PM";                   // "ampm" from noon on
  std::array<std::u16string, 12> ShortMonthNames = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                                    u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
  std::array<std::u16string, 12> LongMonthNames = {
      u"January", u"February", u"March",     u"April",   u"May",      u"June",
      u"July",    u"August",   u"September", u"October", u"November", u"December"};
  // Sunday first.
  std::array<std::u16string, 7> ShortDayNames = {u"Sun", u"Mon", u"Tue", u"Wed",
                                                 u"Thu", u"Fri", u"Sat"};
  std::array<std::u16string, 7> LongDayNames = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                                u"Thursday", u"Friday", u"Saturday"};
};

// The process's settings: immutable, safe to read from any thread.
const TFormatSettings& FormatSettings();

// The longest number mask FormatFloat accepts, in UTF-16 code units.
constexpr size_t kMaxFormatMaskLength = 224;

// `value` written through a number mask of "0", "#", "." and ",":
//  - D, the decimals, is the number of "0"/"#" after the first "."; trailing
//    zeros are dropped down to the position of the last "0" after the "."
//    (so "0.##" writes 2.5 as "2.5", "0.00" writes 2 as "2.00"), and the
//    decimal separator appears only before a remaining digit;
//  - the value is first written with 18 significant digits (halves to even on
//    the exact binary value), and that string is rounded to D decimals with
//    halves away from zero: 2.5 gives "3", -2.5 "-3", 0.125 with D = 2
//    "0.13", while 1.005, whose double lies just below the half, gives "1";
//  - the integer part has at least one digit; a "," anywhere puts the
//    thousands separator between groups of three; a value that rounds to zero
//    has no sign ("0", never "-0");
//  - magnitudes of 1E18 and more, NaN and infinities are written as
//    FloatToStr writes them ("1E18", "NAN", "INF", "-INF").
// Other mask characters are ignored; an empty mask gives the FloatToStr form.
// Throws EConvertError("Format string too long") for masks longer than
// kMaxFormatMaskLength, before doing anything else.
std::u16string FormatFloat(const std::u16string& mask, double value);

// The general form with at most `digits` significant digits (clamped to
// 1..17), rounded to them as FormatFloat rounds (18 digits first, then halves
// away from zero: 12345678901234.25 gives "12345678901234.3"): fixed notation while the rounded
// value has at most `digits` integer digits and a magnitude of at least 0.0001 (or is 0), otherwise
// scientific ("1E20", "1.5E-7"); trailing zeros removed, no thousands separators, "-" for negative
// values, never "-0". NaN and the infinities give "NAN", "INF" and "-INF".
std::u16string FloatToStrF(double value, int digits);
// The general form with 15 significant digits, the value text of the lists.
inline std::u16string FloatToStr(double value) { return FloatToStrF(value, 15); }

// Reads a decimal number: blanks, an optional sign, digits with at most one
// DecimalSeparator (at least one digit in all), an optional exponent ("E" or
// "e", optional sign, digits), blanks. No thousands separators, no other
// characters. A magnitude too small for a double reads as 0; one too large is
// refused, except up to 1.79769313486232E308, the 15-digit text of the
// largest double, which reads as that double so that every value text reads
// back. Never yields NaN or an infinity.
// Throws EConvertError("'TEXT' is not a valid floating point value") with
// the text as given, in UTF-8.
double StrToFloat(const std::u16string& text);
// The same without throwing: false, and `value` untouched, when `text` does
// not read.
bool TryStrToFloat(const std::u16string& text, double& value);

// A day number written through a date and time pattern. Pattern letters are
// not case-sensitive and a run of one letter is taken as a whole:
//   c             `short_date`, then " " and `long_time` unless the time is 00:00:00.000
//   d dd          day of the month, dd with a leading zero
//   ddd dddd      abbreviated and full day name
//   ddddd dddddd  `short_date`, the long date pattern of the settings
//   m mm          month, mm with a leading zero; the minute right after an hour
//   mmm mmmm      abbreviated and full month name
//   y yy          year with two digits; yyy and longer with four
//   h hh          hour 0-23, or 1-12 when am/pm, a/p or ampm follows before the next hour
//   n nn, s ss    minute, second; nn and ss with a leading zero
//   z zzz         millisecond, zzz with three digits
//   t tt          the short time pattern of the settings, `long_time`
//   am/pm a/p     "am"/"pm" ("a"/"p") in the letter case of the pattern
//   ampm          TimeAMString or TimePMString of the settings
//   / :           DateSeparator, TimeSeparator
//   'x' "x"       the text between the quotes (an open quote runs to the end)
// Any other character is copied. The time is rounded to whole milliseconds
// (23:59:59.9996 becomes 00:00 of the next day).
//
// Day numbers outside 1 January 0001 to 31 December 9999, NaN and the
// infinities give the empty text, whatever the pattern: no calendar date
// exists for them. Patterns may nest `short_date` and `long_time` two levels
// deep; deeper nesting writes nothing, and the whole expansion stops after an
// amount of work proportional to the patterns' length, keeping the text made
// so far, so a pattern that nests itself cannot run away.
std::u16string FormatDateTime(const std::u16string& pattern, double value,
                              const std::u16string& short_date = FormatSettings().ShortDateFormat,
                              const std::u16string& long_time = FormatSettings().LongTimeFormat);
// The pattern "c".
std::u16string DateTimeToStr(double value,
                             const std::u16string& short_date = FormatSettings().ShortDateFormat,
                             const std::u16string& long_time = FormatSettings().LongTimeFormat);
// The pattern `short_date`.
std::u16string DateToStr(double value,
                         const std::u16string& short_date = FormatSettings().ShortDateFormat,
                         const std::u16string& long_time = FormatSettings().LongTimeFormat);
// The pattern `long_time`.
std::u16string TimeToStr(double value,
                         const std::u16string& short_date = FormatSettings().ShortDateFormat,
                         const std::u16string& long_time = FormatSettings().LongTimeFormat);

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_NUMBER_FORMAT_H_
