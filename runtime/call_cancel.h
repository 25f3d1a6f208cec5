// Call cancellation: how one thread asks the call running on another to stop.
//
// A thread that runs calls which may be stopped opens a cancellable section
// around them (CoEnableCallCancellation ... CoDisableCallCancellation).
// Another thread asks for the stop with CoCancelCall, naming the thread by
// the identifier GetCurrentThreadId gave it. Nothing is interrupted: the
// running call tests for the request (CoTestCancel) between steps of its
// work, and a call that finds it cleans up and fails with
// RPC_E_CALL_CANCELED.
//
// A request lasts until the section closes: every call made in the section
// after it fails too, and a thread's next section starts clear. A request
// for a thread with no open section is refused (CO_E_CANCEL_DISABLED) and
// forgotten, so it can never reach the calls that thread makes later.
//
//   worker thread                          controlling thread
//   CoEnableCallCancellation(NULL);
//   publish GetCurrentThreadId()   ---->   CoCancelCall(worker_id, 0);
//   dispatch->Invoke(...);  /* fails with RPC_E_CALL_CANCELED */
//   withdraw the identifier
//   CoDisableCallCancellation(NULL);
//
// Withdraw the identifier before closing the section, and have the
// controlling thread cancel only while it is published (both under one lock
// of the caller's), so that a request meant for one call cannot land in the
// section of the next.
#ifndef PLOTVANE_RUNTIME_CALL_CANCEL_H_
#define PLOTVANE_RUNTIME_CALL_CANCEL_H_

#include "runtime/types.h"

#ifdef __cplusplus
extern "C" {
#endif

// The calling thread's identifier: never 0, and never given to another thread
// of the process (identifiers are not reused when threads end).
PLOTVANE_COM_EXPORT DWORD GetCurrentThreadId(void);

// Opens a cancellable section on the calling thread, or nests one in the open
// section (each opening needs its closing). Opening the outermost section
// clears any earlier request. `pReserved` is ignored. Returns S_OK.
PLOTVANE_COM_EXPORT HRESULT CoEnableCallCancellation(LPVOID pReserved);

// Closes the innermost section opened on the calling thread; closing the
// outermost one forgets its request and wakes a CoCancelCall waiting for it.
// `pReserved` is ignored. S_OK, or CO_E_CANCEL_DISABLED when no section is
// open.
PLOTVANE_COM_EXPORT HRESULT CoDisableCallCancellation(LPVOID pReserved);

// Asks the call running in the open section of thread `dwThreadId` (0: the
// calling thread) to stop, then waits up to `ulTimeout` seconds for that
// section to close (0: does not wait; 0xFFFFFFFF: waits as long as it takes).
// Returns
//   S_OK                  the request was made (and, with a timeout, the
//                         section closed within it);
//   RPC_E_CALL_CANCELED   the section had been asked to stop already;
//   CO_E_CANCEL_DISABLED  the thread has no open section: nothing is done;
//   RPC_E_TIMEOUT         the request was made but the section was still
//                         open when the timeout passed.
PLOTVANE_COM_EXPORT HRESULT CoCancelCall(DWORD dwThreadId, ULONG ulTimeout);

// RPC_E_CALL_CANCELED when the calling thread's open section was asked to
// stop, S_OK otherwise (also outside any section). Costs a load of one flag
// of the thread's: made between the steps of long work.
PLOTVANE_COM_EXPORT HRESULT CoTestCancel(void);

#ifdef __cplusplus
}  // extern "C"

#include <atomic>

namespace plotvane {

// The flag CoTestCancel reads for the calling thread: true while the thread's
// open section is asked to stop. It lives as long as the thread, so work that
// tests often (between glyphs, every few thousand rows) may keep its address
// for the length of a call and read it instead of calling CoTestCancel.
PLOTVANE_COM_EXPORT const std::atomic<bool>* CallCancelledFlag();

}  // namespace plotvane
#endif

#endif  // PLOTVANE_RUNTIME_CALL_CANCEL_H_
