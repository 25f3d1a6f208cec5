// Number texts: the general form, number masks and reading numbers back, and
// the engine's value masks, prefixes and suffixes, date texts and user axis
// labels built on them.
//
// Digits come from std::to_chars and go back through std::from_chars, which
// ignore the C locale: a host that switches its locale must not change the
// text of a value, nor make a stored value unreadable.
#include "engine/number_format.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

#include "engine/chartix.h"
#include "base/ascii.h"
#include "base/utf.h"
#include "engine/errors.h"

namespace plotvane {

namespace {

// Significant decimal digits and the decimal exponent of the first:
// value ~ d1.d2d3... * 10^exponent.
struct DecimalDigits {
  std::string digits;
  int exponent = 0;
};

// The first `digits` significant digits of a finite, non-negative `value`,
// rounded halves to even on the exact binary value.
DecimalDigits ToDecimal(double value, int digits) {
  char buf[64];
  const auto result =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
  DecimalDigits out;
  const char* p = buf;
  for (; p != result.ptr && *p != 'e'; ++p) {
    if (*p != '.') out.digits += *p;
  }
  // "e+05", "e-07": at most three exponent digits for a double.
  if (p != result.ptr) std::from_chars(p + (p[1] == '+' ? 2 : 1), result.ptr, out.exponent);
  return out;
}



// ---------------------------------------------------------------------------
// Reading numbers

// A number text split by its syntax: sign, mantissa digits with the position
// of the decimal point, and the exponent (clamped at a million: beyond a few
// hundred it only decides between zero and overflow).
struct NumberSyntax {
  bool negative = false;
  std::string mantissa;  // every mantissa digit, the point left out
  Int64 point = 0;       // digits before the decimal point
  Int64 exponent = 0;
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool ParseNumber(const std::u16string& text, NumberSyntax& out) {
  size_t i = text.find_first_not_of(u' ');
  if (i == std::u16string::npos) return false;
  const size_t end = text.find_last_not_of(u' ') + 1;
  if (text[i] == u'+' || text[i] == u'-') out.negative = text[i++] == u'-';
  for (; i < end && IsDigit(text[i]); ++i) out.mantissa += static_cast<char>(text[i]);
  out.point = static_cast<Int64>(out.mantissa.size());
  if (i < end && text[i] == FormatSettings().DecimalSeparator) {
    for (++i; i < end && IsDigit(text[i]); ++i) out.mantissa += static_cast<char>(text[i]);
  }
  if (out.mantissa.empty()) return false;
  if (i < end && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    bool negative_exponent = false;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) negative_exponent = text[i++] == u'-';
    const size_t first = i;
    for (; i < end && IsDigit(text[i]); ++i) {
      out.exponent = std::min<Int64>(out.exponent * 10 + (text[i] - u'0'), 1000000);
    }
    if (i == first) return false;
    if (negative_exponent) out.exponent = -out.exponent;
  }
  return i == end;
}

// The largest double as FloatToStr writes it, rounded up to 15 digits.
constexpr char kLargestValueDigits[] = "179769313486232";
constexpr Int64 kLargestValueExponent = 308;

// Decides a text that from_chars found out of range: tiny magnitudes are 0,
// the rounded-up text of the largest double is that double, the rest does
// not read.
bool OutOfRangeValue(const NumberSyntax& number, double& value) {
  const size_t first = number.mantissa.find_first_not_of('0');
  // The decimal exponent of the first significant digit.
  const Int64 exponent = number.point - static_cast<Int64>(first) - 1 + number.exponent;
  if (first == std::string::npos || exponent < 0) {
    value = number.negative ? -0.0 : 0.0;
    return true;
  }
  std::string significant = number.mantissa.substr(first);
  significant.erase(significant.find_last_not_of('0') + 1);
  if (exponent != kLargestValueExponent || significant > kLargestValueDigits) return false;
  value = number.negative ? -DBL_MAX : DBL_MAX;
  return true;
}

// ---------------------------------------------------------------------------
// Number masks

// What FormatFloat needs of a mask.
struct MaskShape {
  int decimals = 0;      // placeholders after the first "."
  int min_decimals = 0;  // placeholder position of the last "0" after it
  bool thousands = false;
};

MaskShape ReadMask(const std::u16string& mask) {
  MaskShape shape;
  bool after_point = false;
  for (char16_t c : mask) {
    if (c == u',') shape.thousands = true;
    if (c == u'.') after_point = true;
    if (!after_point || (c != u'0' && c != u'#')) continue;
    ++shape.decimals;
    if (c == u'0') shape.min_decimals = shape.decimals;
  }
  return shape;
}

// Cuts `number` to its first `keep` digits (padding with zeros when it has
// fewer), increasing them by one in magnitude when the first dropped digit is
// 5 or more: halves away from zero, decided on the digits as they stand. A
// carry out of the first digit ("9.99" to "10.0") adds a digit and raises the
// exponent. Nothing is kept when `keep` is negative.
void RoundHalfAway(DecimalDigits& number, int keep) {
  std::string& d = number.digits;
  if (keep < 0) {
    d.clear();
    return;
  }
  const size_t n = static_cast<size_t>(keep);
  if (n >= d.size()) {
    d.append(n - d.size(), '0');
    return;
  }
  const bool up = d[n] >= '5';
  d.resize(n);
  if (!up) return;
  size_t i = d.size();
  while (i > 0 && d[i - 1] == '9') d[--i] = '0';
  if (i > 0) {
    ++d[i - 1];
  } else {
    d.insert(d.begin(), '1');
    ++number.exponent;
  }
}

std::u16string GroupThousands(const std::string& digits, char16_t separator) {
  std::u16string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += static_cast<char16_t>(digits[i]);
  }
  return out;
}

// Builds the engine's masks. A mask past the longest accepted one is cut to
// one character beyond it: FormatFloat refuses it just the same, and a
// decimals setting of 2^31 never becomes a string of that length.
std::u16string BuildMask(Integer decimals, bool separators) {
  const Int64 wanted = std::abs(static_cast<Int64>(decimals));
  const size_t count = static_cast<size_t>(std::min<Int64>(wanted, kMaxFormatMaskLength - 1));
  std::u16string mask = separators ? u"#,##0." : u"0.";
  mask.append(count, decimals > 0 ? u'#' : u'0');
  return mask;
}

// The minus sign stays in front of the prefix: "-$1,200", not "$-1,200".
std::u16string WrapText(const std::u16string& text, const std::u16string& prefix,
                        const std::u16string& suffix) {
  if (!text.empty() && text[0] == u'-') return u"-" + prefix + text.substr(1) + suffix;
  return prefix + text + suffix;
}

// The user label of `list` for the number an axis text shows. The text is
// read without its thousands separators and written again in the general
// form, so "1,000" and "1000.0" both find the key "1000".
std::u16string AxisLabel(const TStringList& list, const std::u16string& text) {
  std::u16string plain = text;
  plain.erase(std::remove(plain.begin(), plain.end(), FormatSettings().ThousandSeparator),
              plain.end());
  const int index = list.IndexOfName(FloatToStr(StrToFloat(plain)));
  return index < 0 ? std::u16string() : list.ValueFromIndex(index);
}

}  // namespace

const TFormatSettings& FormatSettings() {
  static const TFormatSettings settings;
  return settings;
}

std::u16string FloatToStrF(double value, int digits) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value > 0 ? u"INF" : u"-INF";
  if (value == 0) return u"0";
  // The same two steps as the masks: 18 digits, then halves away from zero.
  digits = std::clamp(digits, 1, 17);
  DecimalDigits number = ToDecimal(std::fabs(value), 18);
  RoundHalfAway(number, digits);
  std::string& mantissa = number.digits;
  const int exponent = number.exponent;
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();

  const char16_t dec = FormatSettings().DecimalSeparator;
  std::u16string out = value < 0 ? u"-" : u"";
  if (exponent >= digits || exponent < -4) {
    out += static_cast<char16_t>(mantissa[0]);
    if (mantissa.size() > 1) {
      out += dec;
      out += Widen(mantissa.substr(1));
    }
    out += u'E';
    out += Widen(std::to_string(exponent));
    return out;
  }
  if (exponent < 0) {
    out += u'0';
    out += dec;
    out += std::u16string(static_cast<size_t>(-exponent - 1), u'0');
    out += Widen(mantissa);
    return out;
  }
  const size_t int_digits = static_cast<size_t>(exponent) + 1;
  if (mantissa.size() <= int_digits) {
    out += Widen(mantissa);
    out += std::u16string(int_digits - mantissa.size(), u'0');
  } else {
    out += Widen(mantissa.substr(0, int_digits));
    out += dec;
    out += Widen(mantissa.substr(int_digits));
  }
  return out;
}

bool TryStrToFloat(const std::u16string& text, double& value) {
  NumberSyntax number;
  if (!ParseNumber(text, number)) return false;
  // from_chars wants "digits.digitsEexponent" with no "+" and "." as point.
  std::string plain = number.mantissa;
  plain.insert(static_cast<size_t>(number.point), 1, '.');
  plain += 'e';
  plain += std::to_string(number.exponent);
  double magnitude = 0;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), magnitude);
  if (result.ec == std::errc::result_out_of_range) return OutOfRangeValue(number, value);
  if (result.ec != std::errc() || !std::isfinite(magnitude)) return false;
  value = number.negative ? -magnitude : magnitude;
  return true;
}

double StrToFloat(const std::u16string& text) {
  double value = 0;
  if (!TryStrToFloat(text, value)) {
    throw EConvertError("'" + Utf16ToUtf8(text) + "' is not a valid floating point value");
  }
  return value;
}

std::u16string FormatFloat(const std::u16string& mask, double value) {
  if (mask.size() > kMaxFormatMaskLength) throw EConvertError("Format string too long");
  if (mask.empty() || !(std::fabs(value) < 1E18)) return FloatToStr(value);
  const MaskShape shape = ReadMask(mask);
  // 18 significant digits first; the mask's rounding works on that string,
  // so a double just below a half rounds down as its 18 digits say.
  DecimalDigits number = ToDecimal(std::fabs(value), 18);
  RoundHalfAway(number, number.exponent + 1 + shape.decimals);
  // `digits` now holds the value times 10^decimals, `int_digits` of them
  // (none or fewer when the value is below 1) before the decimal point.
  const std::string& digits = number.digits;
  const int int_digits = number.exponent + 1;

  std::string int_part = "0";
  std::string fraction = digits;
  if (int_digits > 0) {
    int_part = digits.substr(0, static_cast<size_t>(int_digits));
    fraction = digits.substr(static_cast<size_t>(int_digits));
  } else if (!digits.empty()) {
    fraction.insert(0, static_cast<size_t>(-int_digits), '0');
  }
  fraction.resize(static_cast<size_t>(shape.decimals), '0');
  while (fraction.size() > static_cast<size_t>(shape.min_decimals) && fraction.back() == '0') {
    fraction.pop_back();
  }

  const TFormatSettings& settings = FormatSettings();
  const bool zero = digits.find_first_not_of('0') == std::string::npos;
  std::u16string out = (value < 0 && !zero) ? u"-" : u"";
  out += shape.thousands ? GroupThousands(int_part, settings.ThousandSeparator) : Widen(int_part);
  if (!fraction.empty()) {
    out += settings.DecimalSeparator;
    out += Widen(fraction);
  }
  return out;
}

// ---------------------------------------------------------------------------
// The engine's number texts

std::u16string TChartix::GetValueMask() const { return BuildMask(FDecimals, FShowSeparator); }

std::u16string TChartix::GetXValueMask() const {
  return BuildMask(FDecimals, FShowSeparator || FShowSeparatorX);
}

std::u16string TChartix::GetYValueMask() const {
  return BuildMask(FDecimals, FShowSeparator || FShowSeparatorY);
}

std::u16string TChartix::AddPrefixSuffix(const std::u16string& text) const {
  return WrapText(text, FPrefix, FSuffix);
}

// The axis prefix and suffix stand in, each on its own, only where the
// general one is empty.
std::u16string TChartix::AddPrefixSuffixX(const std::u16string& text) const {
  return WrapText(text, FPrefix.empty() ? FPrefixX : FPrefix, FSuffix.empty() ? FSuffixX : FSuffix);
}

std::u16string TChartix::AddPrefixSuffixY(const std::u16string& text) const {
  return WrapText(text, FPrefix.empty() ? FPrefixY : FPrefix, FSuffix.empty() ? FSuffixY : FSuffix);
}

// The chart's own patterns are handed to the conversion; the process's
// settings stay untouched, so charts on other threads see no change.
std::u16string TChartix::GetDateText(Double value) const {
  const TFormatSettings& settings = FormatSettings();
  const std::u16string& short_date = FDateFormat.empty() ? settings.ShortDateFormat : FDateFormat;
  const std::u16string& long_time = FTimeFormat.empty() ? settings.LongTimeFormat : FTimeFormat;
  std::u16string text;
  switch (FDateTimeFormat) {
    case dtDate:
      text = DateToStr(value, short_date, long_time);
      break;
    case dtTime:
      text = TimeToStr(value, short_date, long_time);
      break;
    case dtDateTime:
    default:
      text = DateTimeToStr(value, short_date, long_time);
      break;
  }
  // A label cell is never empty: the axis measures and draws it.
  return text.empty() ? u" " : text;
}

std::u16string TChartix::GetXAxisLabel(const std::u16string& text) const {
  return AxisLabel(XAxisValues, text);
}

std::u16string TChartix::GetYAxisLabel(const std::u16string& text) const {
  return AxisLabel(YAxisValues, text);
}

}  // namespace plotvane
