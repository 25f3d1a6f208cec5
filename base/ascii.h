// Letter case and widening of ASCII text, shared by the member table, the
// dispatch layer, the runtime and the engine. Header-only.
//
// Member names, parameter names, registry key names and the words "true" and
// "false" are matched without case the way the automation platform matches
// them: only the 26 ASCII letters fold; every other unit compares as it is.
#ifndef PLOTVANE_BASE_ASCII_H_
#define PLOTVANE_BASE_ASCII_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace plotvane {

// `c` with a..z made A..Z; everything else unchanged.
constexpr char32_t AsciiUpper(char32_t c) { return c >= U'a' && c <= U'z' ? c - 32 : c; }

// Orders `a` and `b` ignoring ASCII letter case: negative, zero or positive.
// Units compare as unsigned numbers (a char as 0..255), a prefix first.
template <typename CharA, typename CharB>
int CompareIgnoringCase(std::basic_string_view<CharA> a, std::basic_string_view<CharB> b) {
  using UA = std::make_unsigned_t<CharA>;
  using UB = std::make_unsigned_t<CharB>;
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const char32_t x = AsciiUpper(static_cast<UA>(a[i]));
    const char32_t y = AsciiUpper(static_cast<UB>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
inline int CompareIgnoringCase(std::u16string_view a, std::string_view b) {
  return CompareIgnoringCase<char16_t, char>(a, b);
}
inline int CompareIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return CompareIgnoringCase<char16_t, char16_t>(a, b);
}

inline bool EqualIgnoringCase(std::u16string_view a, std::string_view b) {
  return CompareIgnoringCase(a, b) == 0;
}
inline bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return CompareIgnoringCase(a, b) == 0;
}

// `text` with each byte widened to one UTF-16 unit: for ASCII text (names,
// numbers, fixed messages), where the byte is the character.
inline std::u16string Widen(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (const char c : text) out += static_cast<char16_t>(static_cast<unsigned char>(c));
  return out;
}

}  // namespace plotvane

#endif  // PLOTVANE_BASE_ASCII_H_
