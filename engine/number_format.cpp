#include "engine/number_format.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/errors.h"

namespace plotvane {

namespace {

std::u16string Widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// ASCII text of `s`, or false when `s` holds anything else.
bool Narrow(const std::u16string& s, std::string& out) {
  out.clear();
  for (char16_t c : s) {
    if (c > 0x7F) return false;
    out += static_cast<char>(c);
  }
  return true;
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
  // d.ddd...e±x with `digits` significant digits, correctly rounded.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, std::fabs(value));
  std::string mantissa;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p) {
    if (*p != '.') mantissa += *p;
  }
  const int exponent = std::atoi(p + 1);
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
  std::string s;
  if (!Narrow(text, s)) return false;
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return false;
  const size_t last = s.find_last_not_of(' ');
  s = s.substr(first, last - first + 1);
  // Accept exactly: sign? digits* (separator digits*)? (e sign? digits+)?
  const char dec = static_cast<char>(FormatSettings().DecimalSeparator);
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t mantissa_digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++mantissa_digits;
  if (i < s.size() && s[i] == dec) {
    s[i] = '.';
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++mantissa_digits;
  }
  if (mantissa_digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t exponent_digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++exponent_digits;
    if (exponent_digits == 0) return false;
  }
  if (i != s.size()) return false;
  errno = 0;
  const double v = std::strtod(s.c_str(), nullptr);
  if (!std::isfinite(v)) return false;
  value = v;
  return true;
}

double StrToFloat(const std::u16string& text) {
  double value = 0;
  if (!TryStrToFloat(text, value)) {
    std::string narrow;
    for (char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    throw EConvertError("'" + narrow + "' is not a valid floating point value");
  }
  return value;
}

}  // namespace plotvane
