// Internal to the runtime: which variant types it holds, and reading a value
// through VT_BYREF.
#ifndef PLOTVANE_RUNTIME_VARIANT_TYPES_H_
#define PLOTVANE_RUNTIME_VARIANT_TYPES_H_

#include "runtime/types.h"
#include "runtime/variant.h"

namespace plotvane {
namespace detail {

// True for the scalar base types a variant may hold by value.
bool IsScalarType(VARTYPE vt);

// True for every vt listed in variant.h, VT_BYREF forms included.
bool IsHeldType(VARTYPE vt);

// Makes *view a VARIANT holding, by value, what `source` holds or refers to
// (following VT_BYREF and one VT_BYREF | VT_VARIANT). The view shares strings,
// arrays and interfaces with `source`: it owns nothing and must not be
// cleared. E_INVALIDARG for a null reference, DISP_E_BADVARTYPE for an unknown
// type.
HRESULT Dereference(const VARIANT& source, VARIANT* view);

}  // namespace detail
}  // namespace plotvane

#endif  // PLOTVANE_RUNTIME_VARIANT_TYPES_H_
