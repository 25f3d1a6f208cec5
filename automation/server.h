// Module state of the in-process server: live objects and explicit locks.
// The counts change atomically; the server may be unloaded when both are 0.
#ifndef PLOTVANE_AUTOMATION_SERVER_H_
#define PLOTVANE_AUTOMATION_SERVER_H_

#include "automation/com/types.h"

namespace plotvane {

// Called by every object when it is created and when it is freed.
void ServerObjectCreated();
void ServerObjectDestroyed();
LONG ServerObjectCount();

// IClassFactory::LockServer.
void ServerLock();
void ServerUnlock();
LONG ServerLockCount();

}  // namespace plotvane

#endif  // PLOTVANE_AUTOMATION_SERVER_H_
