#include "imaging/svg_markup.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <cmath>
#include <cstdio>

#include "base/utf.h"

namespace plotvane {
namespace svg {

void AppendXmlChar(char32_t c, std::string* out) {
  switch (c) {
    case '&': *out += "&amp;"; return;
    case '<': *out += "&lt;"; return;
    case '>': *out += "&gt;"; return;
    case '"': *out += "&quot;"; return;
    case '\t': *out += "&#9;"; return;
    case '\n': *out += "&#10;"; return;
    case '\r': *out += "&#13;"; return;
    default: AppendUtf8(c, out);
  }
}

void AppendXml(std::u16string_view text, std::string* out) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    AppendXmlChar(XmlChar(c) ? c : kReplacement, out);
  }
}

void AppendXml(std::string_view utf8, std::string* out) {
  for (size_t at = 0; at < utf8.size();) {
    uint32_t c = 0;
    if (!ReadUtf8(utf8, &at, &c)) {
      c = kReplacement;
      ++at;
    }
    AppendXmlChar(XmlChar(c) ? c : kReplacement, out);
  }
}

void AppendInteger(int64_t v, std::string* out) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, v);
  out->append(digits, result.ptr);
}

void AppendNumber(double v, std::string* out) {
  if (!std::isfinite(v)) v = 0;
  const double rounded = std::round(v * 1000) / 1000;
  if (std::fabs(rounded) < 9e15 && rounded == std::floor(rounded)) {
    AppendInteger(static_cast<int64_t>(rounded), out);
    return;
  }
  char text[64];
  int n = std::snprintf(text, sizeof text, "%.3f", rounded);
  if (n <= 0 || n >= static_cast<int>(sizeof text)) {
    *out += '0';
    return;
  }
  while (n > 0 && text[n - 1] == '0') --n;
  if (n > 0 && text[n - 1] == '.') --n;
  out->append(text, static_cast<size_t>(n));
}

int Paint::Index(TColor colour) const {
  colour &= 0xFFFFFF;
  Remembered& r = remembered_[(colour * 0x9E3779B1u) >> 26];
  if (r.colour != colour) r = Remembered{colour, bitmap_.NearestIndex(colour)};
  return r.index;
}

TColor Paint::Drawn(TColor colour) const {
  colour &= 0xFFFFFF;
  const std::vector<TPaletteEntry>& palette = bitmap_.Palette();
  if (palette.empty()) return colour;
  const TPaletteEntry& e = palette[static_cast<size_t>(Index(colour))];
  return RGB(e.peRed, e.peGreen, e.peBlue);
}

bool Paint::Transparent(TColor colour) const {
  if (transparent_ < 0) return false;
  if (bitmap_.Palette().empty()) return (colour & 0xFFFFFF) == transparent_;
  return Index(colour) == transparent_;
}

void Paint::Append(TColor colour, std::string* out) const {
  if (mode_ == kMask) {
    *out += Transparent(colour) ? "#000" : "#fff";
    return;
  }
  if (mode_ == kOmitTransparent && Transparent(colour)) {
    *out += "none";
    return;
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  const TColor drawn = Drawn(colour);
  const uint8_t channels[] = {GetRValue(drawn), GetGValue(drawn), GetBValue(drawn)};
  // #RGB where every channel repeats its digit, as #FFF; #RRGGBB otherwise.
  const bool doubled = std::all_of(std::begin(channels), std::end(channels),
                                   [](uint8_t c) { return (c >> 4) == (c & 15); });
  *out += '#';
  for (const uint8_t c : channels) {
    *out += kHex[c >> 4];
    if (!doubled) *out += kHex[c & 15];
  }
}

}  // namespace svg
}  // namespace plotvane
