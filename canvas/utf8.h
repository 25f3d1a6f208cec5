// Conversions between the UTF-16 text the component works with and the UTF-8
// that file names, font lookups and messages need.
#ifndef PLOTVANE_CANVAS_UTF8_H_
#define PLOTVANE_CANVAS_UTF8_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace plotvane {

// UTF-8 of `text`; a surrogate without its partner becomes U+FFFD.
inline std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// UTF-16 of `text`; a byte that does not start a well-formed sequence becomes
// U+FFFD.
inline std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2
                                                           : (lead >> 3) == 30 ? 3 : -1;
    uint32_t c = 0xFFFD;
    size_t used = 1;
    if (extra >= 0 && text.size() - i > static_cast<size_t>(extra)) {
      uint32_t v = extra == 0 ? lead : lead & (0x3Fu >> extra);
      bool ok = true;
      for (int k = 1; k <= extra && ok; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i + k]);
        ok = (next & 0xC0) == 0x80;
        v = (v << 6) | (next & 0x3F);
      }
      static const uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
      if (ok && v >= kLeast[extra] && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF)) {
        c = v;
        used = static_cast<size_t>(extra) + 1;
      }
    }
    i += used;
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_UTF8_H_
