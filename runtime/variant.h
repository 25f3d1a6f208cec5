// VARIANT: a value of one of several automation types, tagged by vt.
//
// Types held (vt):
//   VT_EMPTY, VT_NULL                          no value
//   VT_I2 iVal, VT_I4 lVal, VT_INT intVal, VT_I8 llVal        signed integers
//   VT_UI1 bVal, VT_UI2 uiVal, VT_UI4 ulVal, VT_UINT uintVal, VT_UI8 ullVal
//   VT_R4 fltVal, VT_R8 dblVal                 reals
//   VT_BOOL boolVal                            VARIANT_TRUE (-1) or VARIANT_FALSE
//   VT_ERROR scode                             an HRESULT (DISP_E_PARAMNOTFOUND
//                                              marks an omitted argument)
//   VT_BSTR bstrVal                            a string, owned by the variant
//   VT_DISPATCH pdispVal, VT_UNKNOWN punkVal   an interface, one reference held
//   VT_ARRAY | VT_UI1 parray                   a byte array, owned by the variant
//   VT_BYREF | any of the above but EMPTY and NULL, through the matching
//   pointer field (plVal, pbstrVal, pparray, ...), and VT_BYREF | VT_VARIANT
//   (pvarVal): a reference to a value owned by someone else.
// Any other vt is refused with DISP_E_BADVARTYPE.
//
//   VariantInit(&v)                     makes v empty (owns nothing)
//   VariantClear(&v)                    frees what v owns, leaves it empty
//   VariantCopy(&dest, &src)            deep copy
//   VariantChangeType(&dest, &src, 0, vt)   converts (the coercion rules are
//                                       described at the declaration)
//   plotvane::Variant                   owns one VARIANT
#ifndef PLOTVANE_RUNTIME_VARIANT_H_
#define PLOTVANE_RUNTIME_VARIANT_H_


#ifdef __cplusplus
#include <cstddef>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>
#endif

#include "runtime/bstr.h"
#include "runtime/interfaces.h"
#include "runtime/safearray.h"
#include "runtime/types.h"

typedef struct tagVARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONGLONG llVal;
    LONG lVal;
    BYTE bVal;
    SHORT iVal;
    FLOAT fltVal;
    DOUBLE dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    SAFEARRAY* parray;
    BYTE* pbVal;
    SHORT* piVal;
    LONG* plVal;
    LONGLONG* pllVal;
    FLOAT* pfltVal;
    DOUBLE* pdblVal;
    VARIANT_BOOL* pboolVal;
    SCODE* pscode;
    BSTR* pbstrVal;
    IUnknown** ppunkVal;
    IDispatch** ppdispVal;
    SAFEARRAY** pparray;
    struct tagVARIANT* pvarVal;
    PVOID byref;
    USHORT uiVal;
    ULONG ulVal;
    ULONGLONG ullVal;
    INT intVal;
    UINT uintVal;
    USHORT* puiVal;
    ULONG* pulVal;
    ULONGLONG* pullVal;
    INT* pintVal;
    UINT* puintVal;
    // Gives the union the platform's size (a record: data and type pointer),
    // so a VARIANT is 16 bytes on 32-bit and 24 bytes on 64-bit systems.
    struct {
      PVOID pvRecord;
      PVOID pRecInfo;
    } brecVal;
  };
} tagVARIANT;
#ifdef __cplusplus
static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*), "VARIANT must keep the platform's size");
#endif

// The platform's accessors.
#define V_VT(v) ((v)->vt)
#define V_ISBYREF(v) ((V_VT(v) & VT_BYREF) != 0)
#define V_ISARRAY(v) ((V_VT(v) & VT_ARRAY) != 0)
#define V_I2(v) ((v)->iVal)
#define V_I4(v) ((v)->lVal)
#define V_I8(v) ((v)->llVal)
#define V_UI1(v) ((v)->bVal)
#define V_UI2(v) ((v)->uiVal)
#define V_UI4(v) ((v)->ulVal)
#define V_UI8(v) ((v)->ullVal)
#define V_INT(v) ((v)->intVal)
#define V_UINT(v) ((v)->uintVal)
#define V_R4(v) ((v)->fltVal)
#define V_R8(v) ((v)->dblVal)
#define V_BOOL(v) ((v)->boolVal)
#define V_ERROR(v) ((v)->scode)
#define V_BSTR(v) ((v)->bstrVal)
#define V_DISPATCH(v) ((v)->pdispVal)
#define V_UNKNOWN(v) ((v)->punkVal)
#define V_ARRAY(v) ((v)->parray)
#define V_BYREF(v) ((v)->byref)
#define V_VARIANTREF(v) ((v)->pvarVal)

// VariantChangeType flags. They are accepted for compatibility; the
// conversions below are the same with or without them.
#define VARIANT_NOVALUEPROP ((USHORT)0x01)
#define VARIANT_ALPHABOOL ((USHORT)0x02)

#ifdef __cplusplus
extern "C" {
#endif

// Makes `pvarg` VT_EMPTY without looking at what it held.
PLOTVANE_COM_EXPORT void VariantInit(VARIANTARG* pvarg);

// Frees what `pvarg` owns (string, array, interface reference; nothing for
// VT_BYREF) and makes it VT_EMPTY. E_INVALIDARG for null; DISP_E_BADVARTYPE
// for an unknown type and DISP_E_ARRAYISLOCKED for a locked array, both of
// which leave the variant unchanged.
PLOTVANE_COM_EXPORT HRESULT VariantClear(VARIANTARG* pvarg);

// Makes *pvargDest an independent copy of *pvargSrc: strings and arrays are
// duplicated, interfaces get a reference of their own, VT_BYREF values copy
// the pointer. What *pvargDest held is freed first. Copying onto itself does
// nothing. E_INVALIDARG for null, DISP_E_BADVARTYPE for an unknown type,
// E_OUTOFMEMORY; on failure *pvargDest is unchanged.
PLOTVANE_COM_EXPORT HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc);

// Converts *pvargSrc to type `vt` into *pvarg (the two may be the same
// variant). A VT_BYREF source is read through its pointer; the result always
// owns its value. On success what *pvarg held is freed; on failure *pvarg is
// unchanged. The rules, as scripting clients expect them:
//   - same type: a copy. VT_EMPTY and VT_NULL convert only to themselves;
//     VT_NULL, VT_ERROR and byte arrays to nothing else.
//   - between integer, real and Boolean types: reals become integers rounded
//     to nearest with halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2); a value
//     outside the target's range, an infinity or NaN for an integer, a finite
//     value beyond the single range for VT_R4: DISP_E_OVERFLOW. True is -1
//     (all bits set in an unsigned target); any non-zero number is true.
//   - VT_EMPTY: 0, false, or the empty string.
//   - a string to a number: optional blanks around an optional sign, digits
//     with an optional decimal point and exponent ("12", " -1.5e3 ", ".5"),
//     or "&H" and hexadecimal digits; rounded exactly from its decimal digits.
//     Anything else, the empty string included, is DISP_E_TYPEMISMATCH.
//   - a string to Boolean: "True" or "False" in any letter case, or a number.
//   - a number to a string: integers in decimal; reals in the shortest form
//     that reads back to the same value ("0.1", "2.5", "1E+20"); Booleans as
//     "True" and "False".
//   - VT_DISPATCH and VT_UNKNOWN convert into each other by asking the object
//     for the interface (DISP_E_TYPEMISMATCH when it lacks it), and VT_EMPTY
//     into them as a null pointer; to nothing else (a default value is not
//     fetched).
// E_INVALIDARG for a null argument or a VT_BYREF source with a null pointer,
// DISP_E_BADVARTYPE for an unknown source type or a target other than the
// types held (VT_BYREF targets included), E_OUTOFMEMORY. `wFlags` is ignored.
PLOTVANE_COM_EXPORT HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc,
                                              USHORT wFlags, VARTYPE vt);

#ifdef __cplusplus
}  // extern "C"
#endif

#ifdef __cplusplus
namespace plotvane {

// Owns one VARIANT and clears it on destruction. Copying is not allowed (use
// CopyFrom); moving empties the source. The factories throw std::bad_alloc
// when a string or array cannot be allocated.
//
//   Variant width = Variant::I4(400);
//   Variant title = Variant::String(u"Fruit sold");
//   Variant index;
//   HRESULT hr = index.ChangeType(VT_UI2);
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      VariantClear(&v_);
      v_ = other.v_;
      VariantInit(&other.v_);
    }
    return *this;
  }
  // A locked array cannot be freed here; it is then left to its locker.
  ~Variant() { VariantClear(&v_); }

  static Variant I2(SHORT value) {
    return Make(VT_I2, [&](VARIANT& v) { v.iVal = value; });
  }
  static Variant I4(LONG value) {
    return Make(VT_I4, [&](VARIANT& v) { v.lVal = value; });
  }
  static Variant UI1(BYTE value) {
    return Make(VT_UI1, [&](VARIANT& v) { v.bVal = value; });
  }
  static Variant UI2(USHORT value) {
    return Make(VT_UI2, [&](VARIANT& v) { v.uiVal = value; });
  }
  static Variant R4(FLOAT value) {
    return Make(VT_R4, [&](VARIANT& v) { v.fltVal = value; });
  }
  static Variant R8(DOUBLE value) {
    return Make(VT_R8, [&](VARIANT& v) { v.dblVal = value; });
  }
  static Variant Bool(bool value) {
    return Make(VT_BOOL, [&](VARIANT& v) { v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; });
  }
  static Variant Error(SCODE code) {
    return Make(VT_ERROR, [&](VARIANT& v) { v.scode = code; });
  }
  static Variant Null() {
    return Make(VT_NULL, [](VARIANT&) {});
  }
  static Variant String(std::u16string_view text) {
    BStr copy(text);
    return Make(VT_BSTR, [&](VARIANT& v) { v.bstrVal = copy.Detach(); });
  }
  // A byte array with bounds lower_bound .. lower_bound + size - 1, holding a
  // copy of `bytes` (which may be null when `size` is 0).
  static Variant Bytes(const void* bytes, size_t size, LONG lower_bound = 1) {
    SAFEARRAY* psa = size > 0xFFFFFFFFu
                         ? nullptr
                         : SafeArrayCreateVector(VT_UI1, lower_bound, static_cast<ULONG>(size));
    if (psa == nullptr) throw std::bad_alloc();
    if (size > 0) std::memcpy(psa->pvData, bytes, size);
    return Make(static_cast<VARTYPE>(VT_ARRAY | VT_UI1), [&](VARIANT& v) { v.parray = psa; });
  }
  // Adds a reference of its own to `object` (which may be null).
  static Variant Dispatch(IDispatch* object) {
    if (object != nullptr) object->AddRef();
    return Make(VT_DISPATCH, [&](VARIANT& v) { v.pdispVal = object; });
  }
  // Takes over what `v` owns; `v` is left VT_EMPTY.
  static Variant Attach(VARIANT* v) {
    Variant result;
    result.v_ = *v;
    VariantInit(v);
    return result;
  }

  VARIANT* Get() { return &v_; }
  const VARIANT* Get() const { return &v_; }
  VARIANT* operator->() { return &v_; }
  const VARIANT* operator->() const { return &v_; }
  VARTYPE vt() const { return v_.vt; }

  // Hands what the variant owns to the caller, who must clear it.
  VARIANT Detach() {
    VARIANT out = v_;
    VariantInit(&v_);
    return out;
  }
  // Clears the variant and returns it for a callee to fill.
  VARIANT* ReleaseAndGetAddressOf() {
    VariantClear(&v_);
    VariantInit(&v_);
    return &v_;
  }
  HRESULT Clear() { return VariantClear(&v_); }
  HRESULT CopyFrom(const VARIANT* source) { return VariantCopy(&v_, source); }
  // Converts in place (VariantChangeType); unchanged on failure.
  HRESULT ChangeType(VARTYPE vt) { return VariantChangeType(&v_, &v_, 0, vt); }

 private:
  template <typename Fill>
  static Variant Make(VARTYPE vt, Fill fill) {
    Variant result;
    result.v_.vt = vt;
    fill(result.v_);
    return result;
  }

  VARIANT v_;
};

}  // namespace plotvane
#endif  // __cplusplus

#endif  // PLOTVANE_RUNTIME_VARIANT_H_
