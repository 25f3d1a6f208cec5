// The values a client passes to the Draw object's members, whether a script
// wrote them or a Python caller did, and the argument each becomes.
#ifndef PLOTVANE_CLIENT_SCRIPT_VALUE_H_
#define PLOTVANE_CLIENT_SCRIPT_VALUE_H_

#include <cstdint>
#include <string>
#include <variant>

#include "runtime/variant.h"

namespace plotvane {

// A value passed to a member: null, true/false, an integer that fits 32
// bits, any other number, a UTF-8 string.
using ScriptValue = std::variant<std::monostate, bool, int32_t, double, std::string>;

// The argument `value` becomes: VT_EMPTY, VT_BOOL, VT_I4, VT_R8 or VT_BSTR,
// which Invoke coerces to the parameter's declared type.
Variant ToVariant(const ScriptValue& value);

}  // namespace plotvane

#endif  // PLOTVANE_CLIENT_SCRIPT_VALUE_H_
