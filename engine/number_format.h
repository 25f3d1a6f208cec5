// Conversions between numbers and text shared by the whole component: data
// values are stored as text, labels are made through number masks, date axes
// through date patterns. All of them read one fixed, read-only record of
// regional settings, so a value written as text reads back the same, and
// several objects may format on several threads at once.
#ifndef PLOTVANE_ENGINE_NUMBER_FORMAT_H_
#define PLOTVANE_ENGINE_NUMBER_FORMAT_H_

#include <array>
#include <string>

namespace plotvane {

// The regional settings every number and date text is made with. There is
// one record for the process and it never changes; date texts that need other
// patterns receive them as arguments.
struct TFormatSettings {
  char16_t DecimalSeparator = u'.';
  char16_t ThousandSeparator = u',';
  char16_t DateSeparator = u'/';
  char16_t TimeSeparator = u':';
  std::u16string ShortDateFormat = u"dd/mm/yyyy";
  std::u16string LongDateFormat = u"dddd, d mmmm yyyy";
  std::u16string ShortTimeFormat = u"hh:nn";
  std::u16string LongTimeFormat = u"hh:nn:ss";
  std::u16string TimeAMString = u"AM";
  std::u16string TimePMString = u"PM";
  std::array<std::u16string, 12> ShortMonthNames = {u"Jan", u"Feb", u"Mar", u"Apr",
                                                    u"May", u"Jun", u"Jul", u"Aug",
                                                    u"Sep", u"Oct", u"Nov", u"Dec"};
  std::array<std::u16string, 12> LongMonthNames = {
      u"January", u"February", u"March",     u"April",   u"May",      u"June",
      u"July",    u"August",   u"September", u"October", u"November", u"December"};
  // Sunday first.
  std::array<std::u16string, 7> ShortDayNames = {u"Sun", u"Mon", u"Tue", u"Wed",
                                                 u"Thu", u"Fri", u"Sat"};
  std::array<std::u16string, 7> LongDayNames = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                                u"Thursday", u"Friday", u"Saturday"};
};

// The process's settings.
const TFormatSettings& FormatSettings();

// `value` written through a number mask of "0", "#", "." and ",": the value
// is first written with 18 significant digits, then rounded to the mask's
// decimals with halves away from zero; no "-0"; thousands separators when the
// mask has ","; magnitudes of 1E18 and more in the FloatToStr form.
// Throws EConvertError("Format string too long") for masks over 224
// characters.
std::u16string FormatFloat(const std::u16string& mask, double value);

// The general form with at most `digits` significant digits: shortest
// decimal, fixed notation while the value has at most `digits` integer digits
// and a magnitude of at least 0.0001 (or is 0), otherwise scientific ("1E20",
// "1.5E-7").
std::u16string FloatToStrF(double value, int digits);
// The general form with 15 significant digits, the value text of the lists.
inline std::u16string FloatToStr(double value) { return FloatToStrF(value, 15); }

// Reads a decimal number (optional sign, decimal separator, optional
// exponent, blanks around allowed). Throws EConvertError("'TEXT' is not a
// valid floating point value").
double StrToFloat(const std::u16string& text);
// The same without throwing; false when `text` does not read.
bool TryStrToFloat(const std::u16string& text, double& value);

// Date and time texts of a day number (days from 30 December 1899, the
// fraction the time of day). The short-date and long-time patterns are passed
// explicitly; the process's settings are never changed.
std::u16string FormatDateTime(const std::u16string& pattern, double value,
                              const std::u16string& short_date, const std::u16string& long_time);
std::u16string DateTimeToStr(double value, const std::u16string& short_date,
                             const std::u16string& long_time);
std::u16string DateToStr(double value, const std::u16string& short_date);
std::u16string TimeToStr(double value, const std::u16string& long_time);

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_NUMBER_FORMAT_H_
