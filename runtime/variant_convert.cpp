// VariantChangeType. A source value is first read as a Number (an exact
// integer or a real), whatever its type; each target type then takes the
// Number by one rule. Strings are read by number_text.
#include <cfloat>
#include <cmath>
#include <string>
#include <string_view>

#include "base/ascii.h"
#include "runtime/number_text.h"
#include "runtime/variant.h"
#include "runtime/variant_types.h"

namespace plotvane {
namespace {

// A value taken from a variant: an exact integer (sign and magnitude) or a
// real. `from_bool` marks the integer -1 or 0 of a Boolean; `single` a real
// that was a VT_R4, which is written with single precision.
struct Number {
  bool is_real = false;
  bool negative = false;
  uint64_t magnitude = 0;
  double real = 0;
  bool single = false;
  bool from_bool = false;
};

Number SignedNumber(int64_t v) {
  Number n;
  n.negative = v < 0;
  n.magnitude = n.negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  return n;
}
Number UnsignedNumber(uint64_t v) {
  Number n;
  n.magnitude = v;
  return n;
}
Number RealNumber(double v, bool single) {
  Number n;
  n.is_real = true;
  n.real = v;
  n.single = single;
  return n;
}

std::u16string_view TextOf(const VARIANT& v) {
  return {v.bstrVal == nullptr ? u"" : v.bstrVal, SysStringLen(v.bstrVal)};
}

// Reads a string for an integer target (`want_integer`, exact rounding) or
// for a real one.
HRESULT NumberFromText(std::u16string_view text, bool want_integer, Number* n) {
  detail::NumberText parsed;
  HRESULT hr = detail::ParseNumberText(text, &parsed);
  if (FAILED(hr)) return hr;
  if (want_integer) {
    *n = Number();
    return detail::NumberTextToInteger(parsed, &n->negative, &n->magnitude);
  }
  double value = 0;
  hr = detail::NumberTextToDouble(parsed, &value);
  if (SUCCEEDED(hr)) *n = RealNumber(value, false);
  return hr;
}

// Reads any numeric, Boolean, empty or string source. Other sources
// (VT_NULL, VT_ERROR, interfaces, arrays) are a type mismatch.
HRESULT NumberFromVariant(const VARIANT& v, bool want_integer, Number* n) {
  switch (v.vt) {
    case VT_EMPTY:
      *n = Number();
      return S_OK;
    case VT_I2:
      *n = SignedNumber(v.iVal);
      return S_OK;
    case VT_I4:
      *n = SignedNumber(v.lVal);
      return S_OK;
    case VT_INT:
      *n = SignedNumber(v.intVal);
      return S_OK;
    case VT_I8:
      *n = SignedNumber(v.llVal);
      return S_OK;
    case VT_UI1:
      *n = UnsignedNumber(v.bVal);
      return S_OK;
    case VT_UI2:
      *n = UnsignedNumber(v.uiVal);
      return S_OK;
    case VT_UI4:
      *n = UnsignedNumber(v.ulVal);
      return S_OK;
    case VT_UINT:
      *n = UnsignedNumber(v.uintVal);
      return S_OK;
    case VT_UI8:
      *n = UnsignedNumber(v.ullVal);
      return S_OK;
    case VT_R4:
      *n = RealNumber(v.fltVal, true);
      return S_OK;
    case VT_R8:
      *n = RealNumber(v.dblVal, false);
      return S_OK;
    case VT_BOOL:
      *n = SignedNumber(v.boolVal != 0 ? -1 : 0);
      n->from_bool = true;
      return S_OK;
    case VT_BSTR:
      return NumberFromText(TextOf(v), want_integer, n);
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

// Rounds to nearest, halves to even, independent of the floating-point
// rounding mode a host may have set.
double RoundHalfEven(double x) {
  const double below = std::floor(x);
  const double fraction = x - below;
  if (fraction > 0.5) return below + 1;
  if (fraction < 0.5) return below;
  return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

struct IntegerType {
  bool is_signed;
  int bits;
};

IntegerType IntegerTypeOf(VARTYPE vt) {
  switch (vt) {
    case VT_I2:
      return {true, 16};
    case VT_I4:
    case VT_INT:
      return {true, 32};
    case VT_I8:
      return {true, 64};
    case VT_UI1:
      return {false, 8};
    case VT_UI2:
      return {false, 16};
    case VT_UI4:
    case VT_UINT:
      return {false, 32};
    default:
      return {false, 64};  // VT_UI8
  }
}

bool Fits(bool negative, uint64_t magnitude, IntegerType type) {
  if (type.is_signed) {
    const uint64_t half = uint64_t{1} << (type.bits - 1);
    return negative ? magnitude <= half : magnitude < half;
  }
  if (negative && magnitude != 0) return false;
  return type.bits == 64 || magnitude < (uint64_t{1} << type.bits);
}

void StoreInteger(VARTYPE vt, bool negative, uint64_t magnitude, VARIANT* out) {
  // Two's complement of the magnitude; only values that fit arrive here.
  const uint64_t bits = negative ? 0 - magnitude : magnitude;
  out->vt = vt;
  switch (vt) {
    case VT_I2:
      out->iVal = static_cast<SHORT>(bits);
      break;
    case VT_I4:
      out->lVal = static_cast<LONG>(bits);
      break;
    case VT_INT:
      out->intVal = static_cast<INT>(bits);
      break;
    case VT_I8:
      out->llVal = static_cast<LONGLONG>(bits);
      break;
    case VT_UI1:
      out->bVal = static_cast<BYTE>(bits);
      break;
    case VT_UI2:
      out->uiVal = static_cast<USHORT>(bits);
      break;
    case VT_UI4:
      out->ulVal = static_cast<ULONG>(bits);
      break;
    case VT_UINT:
      out->uintVal = static_cast<UINT>(bits);
      break;
    default:
      out->ullVal = bits;
      break;
  }
}

HRESULT ToInteger(const VARIANT& source, VARTYPE vt, VARIANT* out) {
  Number n;
  const HRESULT hr = NumberFromVariant(source, true, &n);
  if (FAILED(hr)) return hr;
  const IntegerType type = IntegerTypeOf(vt);
  if (n.from_bool && !type.is_signed && n.negative) {
    // True keeps all its bits set, as flag masks built from it expect.
    StoreInteger(vt, false, ~uint64_t{0}, out);
    return S_OK;
  }
  if (n.is_real) {
    const double r = RoundHalfEven(n.real);
    constexpr double k2To64 = 18446744073709551616.0;
    if (!(r > -k2To64 && r < k2To64)) return DISP_E_OVERFLOW;  // NaN too
    n.negative = r < 0;
    n.magnitude = static_cast<uint64_t>(std::fabs(r));
  }
  if (!Fits(n.negative, n.magnitude, type)) return DISP_E_OVERFLOW;
  StoreInteger(vt, n.negative, n.magnitude, out);
  return S_OK;
}

HRESULT ToReal(const VARIANT& source, VARTYPE vt, VARIANT* out) {
  Number n;
  const HRESULT hr = NumberFromVariant(source, false, &n);
  if (FAILED(hr)) return hr;
  double value = n.real;
  if (!n.is_real) {
    value = static_cast<double>(n.magnitude);
    if (n.negative) value = -value;
  }
  if (vt == VT_R8) {
    out->vt = VT_R8;
    out->dblVal = value;
    return S_OK;
  }
  if (std::isfinite(value) && std::fabs(value) > FLT_MAX) return DISP_E_OVERFLOW;
  out->vt = VT_R4;
  out->fltVal = static_cast<float>(value);
  return S_OK;
}


HRESULT ToBool(const VARIANT& source, VARIANT* out) {
  bool value = false;
  if (source.vt == VT_BSTR) {
    std::u16string_view text = TextOf(source);
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    if (EqualIgnoringCase(text, u"true")) {
      value = true;
    } else if (!EqualIgnoringCase(text, u"false")) {
      detail::NumberText parsed;
      const HRESULT hr = detail::ParseNumberText(text, &parsed);
      if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
      value = detail::NumberTextIsNonZero(parsed);
    }
  } else {
    Number n;
    const HRESULT hr = NumberFromVariant(source, false, &n);
    if (FAILED(hr)) return hr;
    value = n.is_real ? n.real != 0 : n.magnitude != 0;  // NaN is true
  }
  out->vt = VT_BOOL;
  out->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

std::string FormatNumber(const Number& n) {
  if (n.from_bool) return n.negative ? "True" : "False";
  if (n.is_real)
    return n.single ? detail::FormatSingle(static_cast<float>(n.real))
                    : detail::FormatDouble(n.real);
  std::string text = std::to_string(n.magnitude);
  if (n.negative && n.magnitude != 0) text.insert(text.begin(), '-');
  return text;
}

HRESULT ToString(const VARIANT& source, VARIANT* out) {
  std::string text;
  if (source.vt != VT_EMPTY) {
    Number n;
    const HRESULT hr = NumberFromVariant(source, false, &n);
    if (FAILED(hr)) return hr;
    text = FormatNumber(n);
  }
  const std::u16string wide(text.begin(), text.end());  // ASCII only
  BSTR bstr = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (bstr == nullptr) return E_OUTOFMEMORY;
  out->vt = VT_BSTR;
  out->bstrVal = bstr;
  return S_OK;
}

HRESULT ToInterface(const VARIANT& source, VARTYPE vt, VARIANT* out) {
  IUnknown* object = nullptr;
  if (source.vt == VT_DISPATCH) {
    object = source.pdispVal;
  } else if (source.vt == VT_UNKNOWN) {
    object = source.punkVal;
  } else if (source.vt != VT_EMPTY) {
    return DISP_E_TYPEMISMATCH;
  }
  void* result = nullptr;
  if (object != nullptr) {
    const IID& iid = vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown;
    if (FAILED(object->QueryInterface(iid, &result)) || result == nullptr) {
      return DISP_E_TYPEMISMATCH;
    }
  }
  out->vt = vt;
  if (vt == VT_DISPATCH) {
    out->pdispVal = static_cast<IDispatch*>(result);
  } else {
    out->punkVal = static_cast<IUnknown*>(result);
  }
  return S_OK;
}

// Converts the by-value `source` into the empty `out`.
HRESULT Convert(const VARIANT& source, VARTYPE vt, VARIANT* out) {
  if (source.vt == vt) return VariantCopy(out, &source);
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_ERROR:
    case VT_ARRAY | VT_UI1:
      return DISP_E_TYPEMISMATCH;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return ToInterface(source, vt, out);
    case VT_BSTR:
      return ToString(source, out);
    case VT_BOOL:
      return ToBool(source, out);
    case VT_R4:
    case VT_R8:
      return ToReal(source, vt, out);
    default:
      return ToInteger(source, vt, out);
  }
}

}  // namespace
}  // namespace plotvane

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT /*wFlags*/,
                          VARTYPE vt) {
  if (pvargDest == nullptr || pvarSrc == nullptr) return E_INVALIDARG;
  if ((vt & VT_BYREF) != 0 || !plotvane::detail::IsHeldType(vt)) return DISP_E_BADVARTYPE;
  VARIANT view;
  HRESULT hr = plotvane::detail::Dereference(*pvarSrc, &view);
  if (FAILED(hr)) return hr;
  VARIANT result;
  VariantInit(&result);
  hr = plotvane::Convert(view, vt, &result);
  if (FAILED(hr)) return hr;
  // Only now is the destination given up: on failure it keeps its value, and
  // when it is also the source, the source was read completely above.
  hr = VariantClear(pvargDest);
  if (FAILED(hr)) {
    VariantClear(&result);
    return hr;
  }
  *pvargDest = result;
  return S_OK;
}
