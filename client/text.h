// Text of the result documents of the plotvane command and its service.
#ifndef PLOTVANE_CLIENT_TEXT_H_
#define PLOTVANE_CLIENT_TEXT_H_

#include <string>
#include <string_view>

namespace plotvane {

// `text` as a JSON string literal, quotes included: '"', '\' and control
// characters escaped, everything else as it is.
std::string JsonQuoted(std::string_view text);

}  // namespace plotvane

#endif  // PLOTVANE_CLIENT_TEXT_H_
