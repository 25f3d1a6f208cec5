// Text conversions of the plotvane command: automation strings are UTF-16,
// files, scripts and the terminal are UTF-8.
#ifndef PLOTVANE_TOOLS_TEXT_H_
#define PLOTVANE_TOOLS_TEXT_H_

#include <string>
#include <string_view>

namespace plotvane {

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// UTF-8 to UTF-16. The text must be valid UTF-8 (the JSON reader has checked
// it); a malformed sequence becomes U+FFFD.
std::u16string ToUtf16(std::string_view text);

// `text` as a JSON string literal, quotes included: '"', '\' and control
// characters escaped, everything else as it is.
std::string JsonQuoted(std::string_view text);

}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_TEXT_H_
