// The server library as the plotvane command and its service use it: loaded
// at run time and reached only through its exported entry points, as any
// automation client reaches an in-process server.
#ifndef PLOTVANE_CLIENT_CLIENT_H_
#define PLOTVANE_CLIENT_CLIENT_H_

#include <string>

#include "runtime/com_ptr.h"
#include "runtime/guid.h"
#include "runtime/interfaces.h"
#include "runtime/types.h"

namespace plotvane {

// The class identifier of Draw, as the server's type library declares it:
// {62C75F58-23FA-4ECC-B03E-466195CF294A}.
inline constexpr CLSID kDrawClassId = {
    0x62C75F58, 0x23FA, 0x4ECC, {0xB0, 0x3E, 0x46, 0x61, 0x95, 0xCF, 0x29, 0x4A}};

// The server library's file: libplotvane.so in the folder of the running
// executable or, when it is not there, in the library folder of the prefix
// the executable is installed in.
std::string DefaultServerPath();

// One loaded server library. The library is unloaded on destruction when it
// reports that it can be (no object alive, no lock held); every object it
// made must be released before.
class ServerLibrary {
 public:
  // Loads the library at `path` (a path without "/" is taken relative to the
  // current folder). ok() tells whether it was loaded with its four entry
  // points; error() says why not. With `for_process_life`, the library stays
  // mapped until the process ends, as a long-running host keeps its server:
  // the libraries it brought along (fontconfig keeps some memory for as long
  // as it is loaded) are then never unloaded under threads that used them.
  explicit ServerLibrary(const std::string& path, bool for_process_life = false);
  ServerLibrary(const ServerLibrary&) = delete;
  ServerLibrary& operator=(const ServerLibrary&) = delete;
  ~ServerLibrary();

  bool ok() const { return handle_ != nullptr; }
  const std::string& error() const { return error_; }

  // The entry points. REQUIRES: ok().
  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const;
  HRESULT CanUnloadNow() const { return can_unload_now_(); }
  HRESULT RegisterServer() const { return register_server_(); }
  HRESULT UnregisterServer() const { return unregister_server_(); }

  // A new Draw object, through DllGetClassObject and IClassFactory. On
  // failure *out is empty and the HRESULT says why. REQUIRES: ok().
  HRESULT CreateDraw(ComPtr<IDispatch>* out) const;

 private:
  using GetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);
  using PlainFunction = HRESULT (*)();

  void* handle_ = nullptr;
  std::string error_;
  GetClassObjectFunction get_class_object_ = nullptr;
  PlainFunction can_unload_now_ = nullptr;
  PlainFunction register_server_ = nullptr;
  PlainFunction unregister_server_ = nullptr;
};

}  // namespace plotvane

#endif  // PLOTVANE_CLIENT_CLIENT_H_
