// The one UTF-8 / UTF-16 codec of the component, its runtime, its command and
// its tests. Header-only, so that every library and program can share it
// without linking anything.
//
// Text inside the component is UTF-16 (automation strings); file names, font
// lookups, messages, scripts and the terminal are UTF-8. Two kinds of
// conversion:
//   lenient  Utf16ToUtf8, Utf8ToUtf16: never fail; what cannot be converted
//            (an unpaired surrogate, a malformed or overlong sequence, a
//            surrogate or a value beyond U+10FFFF encoded in UTF-8) becomes
//            U+FFFD, one per offending unit or byte.
//   strict   ReadUtf8, Utf8ToUtf16Strict: refuse such input, for stored
//            text that must come back exactly as written (the registry file,
//            registered paths).
#ifndef PLOTVANE_BASE_UTF_H_
#define PLOTVANE_BASE_UTF_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plotvane {

// Appends code point `c` (at most U+10FFFF, not a surrogate) as UTF-8.
inline void AppendUtf8(uint32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Appends code point `c` (at most U+10FFFF) as UTF-16, a surrogate pair above
// U+FFFF.
inline void AppendUtf16(uint32_t c, std::u16string* out) {
  if (c >= 0x10000) {
    c -= 0x10000;
    *out += static_cast<char16_t>(0xD800 + (c >> 10));
    *out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  } else {
    *out += static_cast<char16_t>(c);
  }
}

// Reads one well-formed UTF-8 sequence at *at into *c and moves *at past it.
// False, with nothing moved, for a malformed or overlong sequence, a
// surrogate, a value beyond U+10FFFF or a sequence cut off by the end.
// REQUIRES: *at < text.size().
inline bool ReadUtf8(std::string_view text, size_t* at, uint32_t* c) {
  const unsigned char lead = static_cast<unsigned char>(text[*at]);
  const int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2
                                    : (lead >> 3) == 0x1E ? 3 : -1;
  if (extra < 0 || text.size() - *at <= static_cast<size_t>(extra)) return false;
  uint32_t value = extra == 0 ? lead : lead & (0x3Fu >> extra);
  for (int k = 1; k <= extra; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[*at + static_cast<size_t>(k)]);
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3F);
  }
  static constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (value < kLeast[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return false;
  }
  *at += static_cast<size_t>(extra) + 1;
  *c = value;
  return true;
}

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
    AppendUtf8(c, &out);
  }
  return out;
}

// UTF-16 of `text`; a byte that does not start a well-formed sequence becomes
// U+FFFD.
inline std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    uint32_t c = 0xFFFD;
    if (!ReadUtf8(text, &i, &c)) ++i;
    AppendUtf16(c, &out);
  }
  return out;
}

// UTF-16 of `text` appended to *out; false, with *out holding what came
// before the first offending sequence, when `text` is not well-formed UTF-8.
inline bool Utf8ToUtf16Strict(std::string_view text, std::u16string* out) {
  for (size_t at = 0; at < text.size();) {
    uint32_t c;
    if (!ReadUtf8(text, &at, &c)) return false;
    AppendUtf16(c, out);
  }
  return true;
}

}  // namespace plotvane

#endif  // PLOTVANE_BASE_UTF_H_
