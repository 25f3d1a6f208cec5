// Error information: the details a failing member leaves for its caller.
//
// Each thread has one slot holding at most one error object. A member that
// fails fills an object made by CreateErrorInfo and stores it with
// SetErrorInfo before returning its HRESULT; the caller collects it with
// GetErrorInfo, which empties the slot. Slots are per thread, so failures on
// different threads never see each other's details, and a thread's object is
// released when the thread ends.
//
//   ComPtr<ICreateErrorInfo> create;
//   CreateErrorInfo(create.ReleaseAndGetAddressOf());
//   create->SetDescription(description);
//   ComPtr<IErrorInfo> error;
//   create.As(IID_IErrorInfo, &error);
//   SetErrorInfo(0, error.Get());
#ifndef PLOTVANE_RUNTIME_ERROR_INFO_H_
#define PLOTVANE_RUNTIME_ERROR_INFO_H_

#include "runtime/interfaces.h"
#include "runtime/types.h"

#ifdef __cplusplus
extern "C" {
#endif

// Makes a new, empty error object (all strings null, GUID_NULL, help context
// 0) that also offers IErrorInfo through QueryInterface. The caller owns the
// reference. E_INVALIDARG when `pperrinfo` is null, E_OUTOFMEMORY when the
// object cannot be made (*pperrinfo is then null).
PLOTVANE_COM_EXPORT HRESULT CreateErrorInfo(ICreateErrorInfo** pperrinfo);

// Makes `perrinfo` the calling thread's error object, adding a reference, and
// releases the object held before. Null empties the slot. `dwReserved` is
// ignored. Returns S_OK.
PLOTVANE_COM_EXPORT HRESULT SetErrorInfo(ULONG dwReserved, IErrorInfo* perrinfo);

// Hands the calling thread's error object to the caller (who releases it) and
// empties the slot. S_OK with the object, S_FALSE with *pperrinfo null when
// the slot is empty, E_INVALIDARG when `pperrinfo` is null. `dwReserved` is
// ignored.
PLOTVANE_COM_EXPORT HRESULT GetErrorInfo(ULONG dwReserved, IErrorInfo** pperrinfo);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif  // PLOTVANE_RUNTIME_ERROR_INFO_H_
