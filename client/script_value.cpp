#include "client/script_value.h"

#include "base/utf.h"

namespace plotvane {

Variant ToVariant(const ScriptValue& value) {
  struct {
    Variant operator()(std::monostate) const { return Variant(); }
    Variant operator()(bool b) const { return Variant::Bool(b); }
    Variant operator()(int32_t n) const { return Variant::I4(n); }
    Variant operator()(double d) const { return Variant::R8(d); }
    Variant operator()(const std::string& s) const { return Variant::String(Utf8ToUtf16(s)); }
  } convert;
  return std::visit(convert, value);
}

}  // namespace plotvane
