#include "client/client.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace plotvane {

std::string DefaultServerPath() {
  char self[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (n <= 0) return "libplotvane.so";
  const std::string exe(self, static_cast<size_t>(n));
  const std::string folder = exe.substr(0, exe.find_last_of('/') + 1);
  // In the build the library is beside the command; installed, it is in the
  // library folder of the same prefix.
  const std::string beside = folder + "libplotvane.so";
  if (::access(beside.c_str(), F_OK) == 0) return beside;
  return folder + PLOTVANE_SERVER_FROM_COMMAND;
}

ServerLibrary::ServerLibrary(const std::string& path, bool for_process_life) {
  // dlopen searches the library path for a bare name; a client names a file.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle =
      ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | (for_process_life ? RTLD_NODELETE : 0));
  if (handle == nullptr) {
    const char* why = ::dlerror();
    error_ = why != nullptr ? why : "cannot load " + path;
    return;
  }
  get_class_object_ =
      reinterpret_cast<GetClassObjectFunction>(::dlsym(handle, "DllGetClassObject"));
  can_unload_now_ = reinterpret_cast<PlainFunction>(::dlsym(handle, "DllCanUnloadNow"));
  register_server_ = reinterpret_cast<PlainFunction>(::dlsym(handle, "DllRegisterServer"));
  unregister_server_ = reinterpret_cast<PlainFunction>(::dlsym(handle, "DllUnregisterServer"));
  if (get_class_object_ == nullptr || can_unload_now_ == nullptr ||
      register_server_ == nullptr || unregister_server_ == nullptr) {
    error_ = path + " is not an in-process server: it lacks the server entry points";
    ::dlclose(handle);
    return;
  }
  handle_ = handle;
}

ServerLibrary::~ServerLibrary() {
  if (handle_ != nullptr && can_unload_now_() == S_OK) ::dlclose(handle_);
}

HRESULT ServerLibrary::GetClassObject(REFCLSID clsid, REFIID iid, void** out) const {
  return get_class_object_(clsid, iid, out);
}

HRESULT ServerLibrary::CreateDraw(ComPtr<IDispatch>* out) const {
  out->Reset();
  ComPtr<IClassFactory> factory;
  HRESULT hr = get_class_object_(kDrawClassId, IID_IClassFactory,
                                 factory.ReleaseAndGetAddressOfVoid());
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(nullptr, IID_IDispatch, out->ReleaseAndGetAddressOfVoid());
}

}  // namespace plotvane
