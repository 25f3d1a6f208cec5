// Text of the plotvane command's result documents.
#ifndef PLOTVANE_TOOLS_TEXT_H_
#define PLOTVANE_TOOLS_TEXT_H_

#include <string>
#include <string_view>

namespace plotvane {

// `text` as a JSON string literal, quotes included: '"', '\' and control
// characters escaped, everything else as it is.
std::string JsonQuoted(std::string_view text);

}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_TEXT_H_
