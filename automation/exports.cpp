// The four entry points of the server library, with the platform's names and
// signatures. They are the only symbols the library exports (exports.map);
// everything they do is in server.cpp.
#include "automation/server.h"
#include "runtime/guid.h"
#include "runtime/types.h"

#define PLOTVANE_SERVER_EXPORT extern "C" __attribute__((visibility("default")))

PLOTVANE_SERVER_EXPORT HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  return plotvane::ServerGetClassObject(rclsid, riid, ppv);
}

PLOTVANE_SERVER_EXPORT HRESULT DllCanUnloadNow() { return plotvane::ServerCanUnloadNow(); }

PLOTVANE_SERVER_EXPORT HRESULT DllRegisterServer() { return plotvane::ServerRegister(); }

PLOTVANE_SERVER_EXPORT HRESULT DllUnregisterServer() { return plotvane::ServerUnregister(); }
