// VARIANT initialisation, clearing and copying.
#include "runtime/variant.h"

#include "runtime/variant_types.h"

namespace plotvane {
namespace detail {

bool IsScalarType(VARTYPE vt) {
  switch (vt) {
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_BOOL:
    case VT_BSTR:
    case VT_ERROR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

bool IsHeldType(VARTYPE vt) {
  if (vt == VT_EMPTY || vt == VT_NULL || IsScalarType(vt)) return true;
  if (vt == (VT_ARRAY | VT_UI1)) return true;
  if ((vt & VT_BYREF) == 0) return false;
  const VARTYPE target = static_cast<VARTYPE>(vt & ~VT_BYREF);
  return IsScalarType(target) || target == VT_VARIANT || target == (VT_ARRAY | VT_UI1);
}

namespace {

// Reads one VT_BYREF level of a scalar or array into *view.
HRESULT ReadReference(const VARIANT& source, VARIANT* view) {
  if (source.byref == nullptr) return E_INVALIDARG;
  VariantInit(view);
  view->vt = static_cast<VARTYPE>(source.vt & ~VT_BYREF);
  switch (view->vt) {
    case VT_I2:
      view->iVal = *source.piVal;
      break;
    case VT_I4:
      view->lVal = *source.plVal;
      break;
    case VT_R4:
      view->fltVal = *source.pfltVal;
      break;
    case VT_R8:
      view->dblVal = *source.pdblVal;
      break;
    case VT_BOOL:
      view->boolVal = *source.pboolVal;
      break;
    case VT_BSTR:
      view->bstrVal = *source.pbstrVal;
      break;
    case VT_ERROR:
      view->scode = *source.pscode;
      break;
    case VT_DISPATCH:
      view->pdispVal = *source.ppdispVal;
      break;
    case VT_UNKNOWN:
      view->punkVal = *source.ppunkVal;
      break;
    case VT_UI1:
      view->bVal = *source.pbVal;
      break;
    case VT_UI2:
      view->uiVal = *source.puiVal;
      break;
    case VT_UI4:
      view->ulVal = *source.pulVal;
      break;
    case VT_I8:
      view->llVal = *source.pllVal;
      break;
    case VT_UI8:
      view->ullVal = *source.pullVal;
      break;
    case VT_INT:
      view->intVal = *source.pintVal;
      break;
    case VT_UINT:
      view->uintVal = *source.puintVal;
      break;
    case VT_ARRAY | VT_UI1:
      view->parray = *source.pparray;
      break;
    default:
      return DISP_E_BADVARTYPE;
  }
  return S_OK;
}

}  // namespace

HRESULT Dereference(const VARIANT& source, VARIANT* view) {
  if (!IsHeldType(source.vt)) return DISP_E_BADVARTYPE;
  if ((source.vt & VT_BYREF) == 0) {
    *view = source;
    return S_OK;
  }
  if (source.vt != (VT_BYREF | VT_VARIANT)) return ReadReference(source, view);
  // A reference to a variant, as script engines pass their variables. The
  // variant referred to may itself be a reference to a value, but not to
  // another variant: that would allow cycles.
  const VARIANT* inner = source.pvarVal;
  if (inner == nullptr) return E_INVALIDARG;
  if (!IsHeldType(inner->vt) || inner->vt == (VT_BYREF | VT_VARIANT)) return DISP_E_BADVARTYPE;
  return Dereference(*inner, view);
}

}  // namespace detail
}  // namespace plotvane

void VariantInit(VARIANTARG* pvarg) {
  pvarg->vt = VT_EMPTY;
  pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
  pvarg->brecVal.pvRecord = nullptr;
  pvarg->brecVal.pRecInfo = nullptr;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
  if (pvarg == nullptr) return E_INVALIDARG;
  if (!plotvane::detail::IsHeldType(pvarg->vt)) return DISP_E_BADVARTYPE;
  switch (pvarg->vt) {
    case VT_BSTR:
      SysFreeString(pvarg->bstrVal);
      break;
    case VT_DISPATCH:
      if (pvarg->pdispVal != nullptr) pvarg->pdispVal->Release();
      break;
    case VT_UNKNOWN:
      if (pvarg->punkVal != nullptr) pvarg->punkVal->Release();
      break;
    case VT_ARRAY | VT_UI1: {
      const HRESULT hr = SafeArrayDestroy(pvarg->parray);
      if (FAILED(hr)) return hr;
      break;
    }
    default:
      break;  // plain values and references own nothing
  }
  VariantInit(pvarg);
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
  if (pvargDest == nullptr || pvargSrc == nullptr) return E_INVALIDARG;
  if (pvargDest == pvargSrc) return S_OK;
  if (!plotvane::detail::IsHeldType(pvargSrc->vt)) return DISP_E_BADVARTYPE;
  VARIANT copy = *pvargSrc;
  switch (copy.vt) {
    case VT_BSTR:
      if (pvargSrc->bstrVal != nullptr) {
        copy.bstrVal = SysAllocStringLen(pvargSrc->bstrVal, SysStringLen(pvargSrc->bstrVal));
        if (copy.bstrVal == nullptr) return E_OUTOFMEMORY;
      }
      break;
    case VT_DISPATCH:
      if (copy.pdispVal != nullptr) copy.pdispVal->AddRef();
      break;
    case VT_UNKNOWN:
      if (copy.punkVal != nullptr) copy.punkVal->AddRef();
      break;
    case VT_ARRAY | VT_UI1: {
      const HRESULT hr = SafeArrayCopy(pvargSrc->parray, &copy.parray);
      if (FAILED(hr)) return hr;
      break;
    }
    default:
      break;
  }
  const HRESULT hr = VariantClear(pvargDest);
  if (FAILED(hr)) {
    VariantClear(&copy);
    return hr;
  }
  *pvargDest = copy;
  return S_OK;
}
