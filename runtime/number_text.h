// Internal to the runtime: numbers read from and written as text, for the
// variant conversions. One fixed notation, independent of any locale:
// "." is the decimal point and there are no thousands separators.
#ifndef PLOTVANE_RUNTIME_NUMBER_TEXT_H_
#define PLOTVANE_RUNTIME_NUMBER_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/types.h"

namespace plotvane {
namespace detail {

// A numeric text, read exactly: value = (-1 if negative) x digits x 10^exponent,
// or the hexadecimal value when `hex` is set.
struct NumberText {
  bool hex = false;
  uint64_t hex_value = 0;
  bool negative = false;
  // Significant decimal digits, without leading or trailing zeros; empty for
  // zero. At most kMaxSignificantDigits: beyond that the digits kept end in a
  // 1 standing for the non-zero digits dropped, which rounds the same way.
  std::string digits;
  int64_t exponent = 0;
};

constexpr size_t kMaxSignificantDigits = 800;

// Reads `text`: blanks, an optional sign, digits with an optional decimal
// point (at least one digit) and an optional exponent ("e" or "E", optional
// sign, digits), blanks; or blanks, "&H" (either case) and 1 to 16
// significant hexadecimal digits, blanks. Returns S_OK, DISP_E_OVERFLOW for
// more hexadecimal digits, DISP_E_TYPEMISMATCH for any other text.
HRESULT ParseNumberText(std::u16string_view text, NumberText* number);

// The value rounded to an integer, halves to even, as a sign and magnitude.
// DISP_E_OVERFLOW when the magnitude exceeds 64 bits.
HRESULT NumberTextToInteger(const NumberText& number, bool* negative, uint64_t* magnitude);

// The value as the nearest double. DISP_E_OVERFLOW beyond the double range;
// values too small for it become zero of the same sign.
HRESULT NumberTextToDouble(const NumberText& number, double* value);

// True unless the value is zero.
bool NumberTextIsNonZero(const NumberText& number);

// The shortest text that reads back to `value` ("0.1", "2.5", "1E+20",
// "-0"); "NaN", "INF" and "-INF" for the values without digits.
std::string FormatDouble(double value);
std::string FormatSingle(float value);

}  // namespace detail
}  // namespace plotvane

#endif  // PLOTVANE_RUNTIME_NUMBER_TEXT_H_
