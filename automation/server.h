// Module state of the in-process server: live objects and explicit locks.
// The counts change atomically; the server may be unloaded when both are 0.
#ifndef PLOTVANE_AUTOMATION_SERVER_H_
#define PLOTVANE_AUTOMATION_SERVER_H_

#include "runtime/guid.h"
#include "runtime/types.h"

namespace plotvane {

// Called by every object when it is created and when it is freed.
void ServerObjectCreated();
void ServerObjectDestroyed();
LONG ServerObjectCount();

// IClassFactory::LockServer.
void ServerLock();
void ServerUnlock();
LONG ServerLockCount();

// The four entry points of the server library, exported under the
// platform's names by exports.cpp; the contracts are the platform's.
//
// The class object of `clsid`, as interface `riid` (IClassFactory,
// IClassFactory2 or IUnknown), with a reference the caller releases.
// CLASS_E_CLASSNOTAVAILABLE and a null *ppv for any class but Draw;
// E_NOINTERFACE for another interface; E_POINTER for a null `ppv`.
HRESULT ServerGetClassObject(REFCLSID clsid, REFIID riid, void** ppv);
// S_OK when no object is alive and no lock is held, otherwise S_FALSE.
HRESULT ServerCanUnloadNow();
// Records the type library and the class in the open registry store; the
// same keys every time. S_OK, or E_FAIL on any failure (without a store
// among them).
HRESULT ServerRegister();
// Removes what ServerRegister recorded; keys already missing are no error.
// S_OK, or E_FAIL on any failure.
HRESULT ServerUnregister();

}  // namespace plotvane

#endif  // PLOTVANE_AUTOMATION_SERVER_H_
