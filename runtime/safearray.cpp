// Safe arrays. Each array is one heap block:
//   ArrayBlock   the element type, then the SAFEARRAY descriptor callers see
//   [padding]    up to a 16-byte boundary
//   [elements]   cElements x cbElements bytes
// A SAFEARRAY* therefore always leads back to its block and its type.
#include "runtime/safearray.h"

#include <cstdlib>
#include <cstring>

namespace plotvane {
namespace {

struct ArrayBlock {
  VARTYPE vt;
  SAFEARRAY descriptor;
};

constexpr size_t kDataOffset = (sizeof(ArrayBlock) + 15) / 16 * 16;

ArrayBlock* BlockOf(SAFEARRAY* psa) {
  return reinterpret_cast<ArrayBlock*>(reinterpret_cast<char*>(psa) -
                                       offsetof(ArrayBlock, descriptor));
}

// Bytes of one element of `vt`, or 0 for a type these arrays do not hold.
ULONG ElementSize(VARTYPE vt) { return vt == VT_UI1 ? 1 : 0; }

SAFEARRAY* CreateVector(VARTYPE vt, LONG lbound, ULONG count) {
  const ULONG element_size = ElementSize(vt);
  if (element_size == 0) return nullptr;
  // The upper bound must be a LONG too, also for an empty array (lbound - 1).
  const int64_t ubound = int64_t{lbound} + count - 1;
  if (ubound > INT32_MAX || ubound < INT32_MIN) return nullptr;
  const size_t data_bytes = size_t{count} * element_size;
  auto* block = static_cast<char*>(std::calloc(1, kDataOffset + data_bytes));
  if (block == nullptr) return nullptr;
  auto* header = reinterpret_cast<ArrayBlock*>(block);
  header->vt = vt;
  SAFEARRAY& sa = header->descriptor;
  sa.cDims = 1;
  sa.fFeatures = FADF_HAVEVARTYPE;
  sa.cbElements = element_size;
  sa.cLocks = 0;
  sa.pvData = block + kDataOffset;
  sa.rgsabound[0].cElements = count;
  sa.rgsabound[0].lLbound = lbound;
  return &sa;
}

ULONG Locks(SAFEARRAY* psa) { return __atomic_load_n(&psa->cLocks, __ATOMIC_ACQUIRE); }

// Adds one to the lock count unless it is at kMaxSafeArrayLocks.
bool AddLock(SAFEARRAY* psa) {
  ULONG locks = Locks(psa);
  do {
    if (locks >= kMaxSafeArrayLocks) return false;
  } while (!__atomic_compare_exchange_n(&psa->cLocks, &locks, locks + 1, true, __ATOMIC_ACQ_REL,
                                        __ATOMIC_ACQUIRE));
  return true;
}

// Takes one from the lock count unless it is 0.
bool RemoveLock(SAFEARRAY* psa) {
  ULONG locks = Locks(psa);
  do {
    if (locks == 0) return false;
  } while (!__atomic_compare_exchange_n(&psa->cLocks, &locks, locks - 1, true, __ATOMIC_ACQ_REL,
                                        __ATOMIC_ACQUIRE));
  return true;
}

HRESULT CheckDimension(SAFEARRAY* psa, UINT nDim, LONG* out) {
  if (psa == nullptr || out == nullptr) return E_INVALIDARG;
  if (nDim < 1 || nDim > psa->cDims) return DISP_E_BADINDEX;
  return S_OK;
}

}  // namespace
}  // namespace plotvane

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
  return plotvane::CreateVector(vt, lLbound, cElements);
}

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) {
  if (cDims != 1 || rgsabound == nullptr) return nullptr;
  return plotvane::CreateVector(vt, rgsabound[0].lLbound, rgsabound[0].cElements);
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
  if (psa == nullptr) return S_OK;
  if (plotvane::Locks(psa) != 0) return DISP_E_ARRAYISLOCKED;
  std::free(plotvane::BlockOf(psa));
  return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
  if (ppsaOut == nullptr) return E_INVALIDARG;
  *ppsaOut = nullptr;
  if (psa == nullptr) return S_OK;
  const SAFEARRAYBOUND& bound = psa->rgsabound[0];
  SAFEARRAY* copy =
      plotvane::CreateVector(plotvane::BlockOf(psa)->vt, bound.lLbound, bound.cElements);
  if (copy == nullptr) return E_OUTOFMEMORY;
  std::memcpy(copy->pvData, psa->pvData, size_t{bound.cElements} * psa->cbElements);
  *ppsaOut = copy;
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) { return psa == nullptr ? 0 : psa->cDims; }

UINT SafeArrayGetElemsize(SAFEARRAY* psa) { return psa == nullptr ? 0 : psa->cbElements; }

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
  const HRESULT hr = plotvane::CheckDimension(psa, nDim, plLbound);
  if (SUCCEEDED(hr)) *plLbound = psa->rgsabound[nDim - 1].lLbound;
  return hr;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
  const HRESULT hr = plotvane::CheckDimension(psa, nDim, plUbound);
  if (SUCCEEDED(hr)) {
    const SAFEARRAYBOUND& bound = psa->rgsabound[nDim - 1];
    // Fits: creation refused arrays whose upper bound would not.
    *plUbound = static_cast<LONG>(int64_t{bound.lLbound} + bound.cElements - 1);
  }
  return hr;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
  if (psa == nullptr || pvt == nullptr || (psa->fFeatures & FADF_HAVEVARTYPE) == 0) {
    return E_INVALIDARG;
  }
  *pvt = plotvane::BlockOf(psa)->vt;
  return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* psa) {
  if (psa == nullptr) return E_INVALIDARG;
  return plotvane::AddLock(psa) ? S_OK : E_UNEXPECTED;
}

HRESULT SafeArrayUnlock(SAFEARRAY* psa) {
  if (psa == nullptr) return E_INVALIDARG;
  return plotvane::RemoveLock(psa) ? S_OK : E_UNEXPECTED;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
  if (psa == nullptr || ppvData == nullptr) return E_INVALIDARG;
  const HRESULT hr = SafeArrayLock(psa);
  if (SUCCEEDED(hr)) *ppvData = psa->pvData;
  return hr;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) { return SafeArrayUnlock(psa); }
