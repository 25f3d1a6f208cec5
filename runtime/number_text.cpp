// Numeric text. Decimal text is kept as its digits and a power of ten, so
// that rounding to an integer is exact ("2.5000000000000001" rounds up, which
// a detour through a double would get wrong) and reading a double rounds
// once, correctly.
#include "runtime/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace plotvane {
namespace detail {
namespace {

// The exponent is saturated here while it is read: far beyond any double, yet
// small enough that adding a string length cannot overflow.
constexpr int64_t kExponentLimit = 1000000000;

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
int HexValue(char16_t c) {
  if (IsDigit(c)) return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

HRESULT ParseHex(std::u16string_view digits, NumberText* number) {
  if (digits.empty()) return DISP_E_TYPEMISMATCH;
  uint64_t value = 0;
  int significant = 0;
  for (char16_t c : digits) {
    const int v = HexValue(c);
    if (v < 0) return DISP_E_TYPEMISMATCH;
    if (value != 0 || v != 0) ++significant;
    value = (value << 4) | static_cast<uint64_t>(v);
    if (significant > 16) return DISP_E_OVERFLOW;
  }
  number->hex = true;
  number->hex_value = value;
  return S_OK;
}

// Appends one mantissa digit. `point_seen` tells whether it lies after the
// decimal point, which moves the exponent down by one.
void AddDigit(char16_t c, bool point_seen, NumberText* number, bool* dropped_non_zero) {
  if (number->digits.empty() && c == u'0') {
    if (point_seen) --number->exponent;  // a leading zero of the fraction
    return;
  }
  if (number->digits.size() < kMaxSignificantDigits - 1) {
    number->digits.push_back(static_cast<char>(c));
    if (point_seen) --number->exponent;
    return;
  }
  // Past the limit the digit is only counted, as a power of ten.
  if (c != u'0') *dropped_non_zero = true;
  if (!point_seen) ++number->exponent;
}

// Reads "e", optional sign, digits. Returns false when they are malformed.
bool ParseExponent(std::u16string_view text, int64_t* exponent) {
  bool negative = false;
  if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  int64_t value = 0;
  for (char16_t c : text) {
    if (!IsDigit(c)) return false;
    value = std::min(value * 10 + (c - u'0'), kExponentLimit);
  }
  *exponent = negative ? -value : value;
  return true;
}

void StripTrailingZeros(NumberText* number) {
  while (!number->digits.empty() && number->digits.back() == '0') {
    number->digits.pop_back();
    ++number->exponent;
  }
}

}  // namespace

HRESULT ParseNumberText(std::u16string_view text, NumberText* number) {
  *number = NumberText();
  text = Trim(text);
  if (text.size() >= 2 && text[0] == u'&' && (text[1] == u'H' || text[1] == u'h')) {
    return ParseHex(text.substr(2), number);
  }
  if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
    number->negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  bool point_seen = false;
  bool any_digit = false;
  bool dropped_non_zero = false;
  size_t i = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsDigit(c)) {
      any_digit = true;
      AddDigit(c, point_seen, number, &dropped_non_zero);
    } else if (c == u'.' && !point_seen) {
      point_seen = true;
    } else {
      break;
    }
  }
  if (!any_digit) return DISP_E_TYPEMISMATCH;
  if (i < text.size()) {
    if (text[i] != u'e' && text[i] != u'E') return DISP_E_TYPEMISMATCH;
    int64_t exponent = 0;
    if (!ParseExponent(text.substr(i + 1), &exponent)) return DISP_E_TYPEMISMATCH;
    number->exponent += exponent;
  }
  if (dropped_non_zero) {
    number->digits.push_back('1');
    --number->exponent;
  }
  StripTrailingZeros(number);
  if (number->digits.empty()) number->exponent = 0;
  return S_OK;
}

HRESULT NumberTextToInteger(const NumberText& number, bool* negative, uint64_t* magnitude) {
  *negative = number.negative;
  *magnitude = 0;
  if (number.hex) {
    *negative = false;
    *magnitude = number.hex_value;
    return S_OK;
  }
  const int64_t count = static_cast<int64_t>(number.digits.size());
  // Digits before the decimal point: more than 20 cannot fit 64 bits.
  const int64_t integer_digits = count + number.exponent;
  if (integer_digits > 20) return DISP_E_OVERFLOW;
  uint64_t value = 0;
  for (int64_t i = 0; i < integer_digits; ++i) {
    const uint64_t digit = i < count ? static_cast<uint64_t>(number.digits[i] - '0') : 0;
    if (__builtin_mul_overflow(value, 10u, &value) ||
        __builtin_add_overflow(value, digit, &value)) {
      return DISP_E_OVERFLOW;
    }
  }
  if (integer_digits < count) {
    // Round to nearest, halves to even. Trailing zeros are stripped, so any
    // digit after the first dropped one is non-zero.
    const int first = integer_digits >= 0 ? number.digits[integer_digits] - '0' : 0;
    const bool beyond_half = integer_digits + 1 < count;
    if (first > 5 || (first == 5 && (beyond_half || (value & 1) != 0))) {
      if (__builtin_add_overflow(value, 1u, &value)) return DISP_E_OVERFLOW;
    }
  }
  *magnitude = value;
  return S_OK;
}

HRESULT NumberTextToDouble(const NumberText& number, double* value) {
  if (number.hex) {
    *value = static_cast<double>(number.hex_value);
    return S_OK;
  }
  const double zero = number.negative ? -0.0 : 0.0;
  if (number.digits.empty()) {
    *value = zero;
    return S_OK;
  }
  // The value lies in [10^(magnitude-1), 10^magnitude).
  const int64_t magnitude = static_cast<int64_t>(number.digits.size()) + number.exponent;
  if (magnitude > 310) return DISP_E_OVERFLOW;
  if (magnitude < -330) {
    *value = zero;
    return S_OK;
  }
  std::string text = number.digits + "e" + std::to_string(number.exponent);
  double parsed = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec == std::errc::result_out_of_range) {
    if (magnitude > 0) return DISP_E_OVERFLOW;
    parsed = 0;
  } else if (result.ec != std::errc()) {
    return DISP_E_TYPEMISMATCH;
  }
  *value = number.negative ? -parsed : parsed;
  return S_OK;
}

bool NumberTextIsNonZero(const NumberText& number) {
  return number.hex ? number.hex_value != 0 : !number.digits.empty();
}

namespace {

template <typename Real>
std::string FormatReal(Real value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

}  // namespace

std::string FormatDouble(double value) { return FormatReal(value); }
std::string FormatSingle(float value) { return FormatReal(value); }

}  // namespace detail
}  // namespace plotvane
