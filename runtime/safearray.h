// One-dimensional safe arrays of bytes (VT_UI1), the type in which pictures
// cross the interface.
//
// An array has a lower bound chosen by its creator (pictures use 1) and
// cElements elements, so its upper bound is lLbound + cElements - 1; an empty
// array with lower bound 1 has bounds 1..0. Its data may be read or written
// only between SafeArrayAccessData and SafeArrayUnaccessData, which count
// locks; a locked array cannot be destroyed.
//
//   SafeArrayCreateVector(vt, lbound, n)    allocates; the caller destroys it
//   SafeArrayCreate(vt, 1, bounds)          the same from a bound record
//   SafeArrayDestroy(psa)                   frees (fails while locked)
//   SafeArrayCopy(psa, &copy)               allocates a copy
//   SafeArrayGetLBound / UBound / Dim / Elemsize / Vartype   describe it
//   SafeArrayAccessData / UnaccessData      lock and reach the elements
//   plotvane::SafeArrayAccess               a lock held by an object
#ifndef PLOTVANE_RUNTIME_SAFEARRAY_H_
#define PLOTVANE_RUNTIME_SAFEARRAY_H_

#include <stddef.h>

#include "runtime/types.h"

typedef struct SAFEARRAYBOUND {
  ULONG cElements;
  LONG lLbound;
} SAFEARRAYBOUND;

// The array descriptor. Fields are set by this library; callers only read
// them (and should prefer the functions below).
typedef struct SAFEARRAY {
  USHORT cDims;
  USHORT fFeatures;
  ULONG cbElements;
  ULONG cLocks;
  PVOID pvData;
  SAFEARRAYBOUND rgsabound[1];
} SAFEARRAY;

// fFeatures flags this library sets: the element type is recorded with the
// array (SafeArrayGetVartype reads it).
#define FADF_HAVEVARTYPE ((USHORT)0x0080)


#ifdef __cplusplus
extern "C" {
#endif

// Creates a one-dimensional array of `cElements` elements of type `vt` with
// lower bound `lLbound`, elements set to zero. Only VT_UI1 is supported.
// Returns null for another type, when the upper bound (lLbound + cElements - 1)
// does not fit a LONG, or when memory is exhausted. The caller destroys it.
PLOTVANE_COM_EXPORT SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements);

// As SafeArrayCreateVector, from `rgsabound[0]`; `cDims` must be 1 (null
// otherwise, or when `rgsabound` is null).
PLOTVANE_COM_EXPORT SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound);

// Frees an array made by this library. S_OK (also for null);
// DISP_E_ARRAYISLOCKED while the array is locked, which leaves it intact.
PLOTVANE_COM_EXPORT HRESULT SafeArrayDestroy(SAFEARRAY* psa);

// Makes a copy with the same bounds and elements in *ppsaOut (owned by the
// caller; null when `psa` is null). E_INVALIDARG when `ppsaOut` is null,
// E_OUTOFMEMORY when the copy cannot be allocated.
PLOTVANE_COM_EXPORT HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut);

// Number of dimensions (1 for the arrays made here); 0 for null.
PLOTVANE_COM_EXPORT UINT SafeArrayGetDim(SAFEARRAY* psa);
// Bytes per element; 0 for null.
PLOTVANE_COM_EXPORT UINT SafeArrayGetElemsize(SAFEARRAY* psa);

// Bounds of dimension `nDim` (counted from 1). E_INVALIDARG for a null
// argument, DISP_E_BADINDEX for a dimension the array does not have.
PLOTVANE_COM_EXPORT HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound);
PLOTVANE_COM_EXPORT HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound);

// The element type. E_INVALIDARG for a null argument or an array without a
// recorded type.
PLOTVANE_COM_EXPORT HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt);

// Adds a lock and gives the address of the first element (valid, though not
// to be dereferenced, for an empty array). E_INVALIDARG for a null argument,
// E_UNEXPECTED past kMaxSafeArrayLocks. Safe from several threads.
PLOTVANE_COM_EXPORT HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData);
// Removes a lock. E_INVALIDARG for null, E_UNEXPECTED when not locked.
PLOTVANE_COM_EXPORT HRESULT SafeArrayUnaccessData(SAFEARRAY* psa);
// SafeArrayAccessData and SafeArrayUnaccessData without the address.
PLOTVANE_COM_EXPORT HRESULT SafeArrayLock(SAFEARRAY* psa);
PLOTVANE_COM_EXPORT HRESULT SafeArrayUnlock(SAFEARRAY* psa);

#ifdef __cplusplus
}  // extern "C"
#endif

#ifdef __cplusplus
// Most locks one array can hold at once; one more fails with E_UNEXPECTED.
constexpr ULONG kMaxSafeArrayLocks = 65535;

namespace plotvane {

// Holds a lock on a byte array for its lifetime and exposes the bytes.
// ok() is false (and data() null, size() 0) when the lock was refused.
//
//   SafeArrayAccess bytes(V_ARRAY(&picture));
//   if (bytes.ok()) fwrite(bytes.data(), 1, bytes.size(), file);
class SafeArrayAccess {
 public:
  explicit SafeArrayAccess(SAFEARRAY* psa) {
    if (SUCCEEDED(SafeArrayAccessData(psa, &data_))) {
      psa_ = psa;
      size_ = static_cast<size_t>(psa->rgsabound[0].cElements) * psa->cbElements;
    } else {
      data_ = nullptr;
    }
  }
  SafeArrayAccess(const SafeArrayAccess&) = delete;
  SafeArrayAccess& operator=(const SafeArrayAccess&) = delete;
  ~SafeArrayAccess() {
    if (psa_ != nullptr) SafeArrayUnaccessData(psa_);
  }

  bool ok() const { return psa_ != nullptr; }
  BYTE* data() const { return static_cast<BYTE*>(data_); }
  size_t size() const { return size_; }

 private:
  SAFEARRAY* psa_ = nullptr;
  void* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace plotvane
#endif  // __cplusplus

#endif  // PLOTVANE_RUNTIME_SAFEARRAY_H_
