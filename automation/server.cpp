// The in-process server: its object and lock counts, the class factory of
// Draw and the table that finds it, and registration.
//
// The factory is a static object made while the library initialises, so it
// exists before any entry point can be called and lasts until the library is
// unloaded; references to it are not counted towards unloading (a client that
// keeps a factory across an unload must hold a lock, as with any server).
#include "automation/server.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "automation/draw.h"
#include "automation/members.h"
#include "automation/typelib.h"
#include "base/ascii.h"
#include "base/utf.h"
#include "runtime/com_ptr.h"
#include "runtime/guid.h"
#include "runtime/interfaces.h"
#include "runtime/registry.h"

namespace plotvane {
namespace {

std::atomic<LONG> g_objects{0};
std::atomic<LONG> g_locks{0};

// Makes Draw objects. Licensing is not used: every client is licensed, and
// IClassFactory2 is offered only because clients may ask for it.
class DrawFactory final : public IClassFactory2 {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory && riid != IID_IClassFactory2) {
      return E_NOINTERFACE;
    }
    *ppvObject = static_cast<IClassFactory2*>(this);
    AddRef();
    return S_OK;
  }
  // The factory is never freed; the count only answers AddRef and Release.
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override { return --refs_; }

  HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    try {
      return CreateDrawObject(pUnkOuter, riid, ppvObject);
    } catch (...) {
      return E_UNEXPECTED;  // nothing may cross the interface
    }
  }
  HRESULT LockServer(BOOL fLock) override {
    if (fLock) {
      ServerLock();
    } else {
      ServerUnlock();
    }
    return S_OK;
  }

  HRESULT GetLicInfo(LICINFO* pLicInfo) override {
    if (pLicInfo == nullptr) return E_POINTER;
    pLicInfo->cbLicInfo = sizeof(LICINFO);
    pLicInfo->fRuntimeKeyAvail = FALSE;
    pLicInfo->fLicVerified = TRUE;
    return S_OK;
  }
  HRESULT RequestLicKey(DWORD, BSTR* pBstrKey) override {
    if (pBstrKey != nullptr) *pBstrKey = nullptr;
    return E_NOTIMPL;
  }
  HRESULT CreateInstanceLic(IUnknown* pUnkOuter, IUnknown*, REFIID riid, BSTR,
                            PVOID* ppvObj) override {
    return CreateInstance(pUnkOuter, riid, ppvObj);
  }

 private:
  std::atomic<ULONG> refs_{1};
};

// The class objects of the server by class identifier. Read by every
// DllGetClassObject call, written only while the library initialises.
class FactoryTable {
 public:
  FactoryTable() { Add(CLSID_Draw, &draw_factory_); }

  // The factory of `clsid`, or null.
  IClassFactory* Find(REFCLSID clsid) {
    std::shared_lock<std::shared_mutex> lock(mutex_);
    for (const Entry& entry : entries_) {
      if (entry.clsid == clsid) return entry.factory;
    }
    return nullptr;
  }

 private:
  struct Entry {
    CLSID clsid;
    IClassFactory* factory;
  };

  void Add(REFCLSID clsid, IClassFactory* factory) {
    std::unique_lock<std::shared_mutex> lock(mutex_);
    entries_.push_back({clsid, factory});
  }

  std::shared_mutex mutex_;
  DrawFactory draw_factory_;
  std::vector<Entry> entries_;
};

// Made while the library initialises, before any entry point is called.
FactoryTable g_factories;

// ---------------------------------------------------------------------------
// Registration
// ---------------------------------------------------------------------------

// Registration fails as a whole with this, and DllRegisterServer and
// DllUnregisterServer report E_FAIL.
struct RegistrationFailure {};

void Check(bool ok) {
  if (!ok) throw RegistrationFailure();
}

std::u16string GuidText(REFGUID guid) {
  OLECHAR text[kGuidStringSize];
  Check(StringFromGUID2(guid, text, kGuidStringSize) == kGuidStringSize);
  return text;
}

// `bytes` as UTF-16; a path that is not UTF-8 cannot be recorded.
std::u16string FromUtf8(const std::string& bytes) {
  std::u16string out;
  Check(Utf8ToUtf16Strict(bytes, &out));
  return out;
}

// The full path of this library's file, with every link resolved. Recorded
// as it is, blanks included: a registry value needs no quoting, and this
// platform has no short form of a name to fall back on.
std::string LibraryPath() {
  Dl_info info{};
  Check(dladdr(reinterpret_cast<void*>(&ServerRegister), &info) != 0 && info.dli_fname != nullptr);
  char resolved[PATH_MAX];
  Check(realpath(info.dli_fname, resolved) != nullptr);
  return resolved;
}

// A key below HKEY_CLASSES_ROOT, closed when done.
class ClassesKey {
 public:
  explicit ClassesKey(const std::u16string& path) {
    Check(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_WRITE, nullptr, &key_, nullptr) == ERROR_SUCCESS);
  }
  ClassesKey(const ClassesKey&) = delete;
  ClassesKey& operator=(const ClassesKey&) = delete;
  ~ClassesKey() { RegCloseKey(key_); }

  // Sets the value `name` (null: the default value).
  void Set(const char16_t* name, const std::u16string& value) {
    const auto* data = reinterpret_cast<const BYTE*>(value.c_str());
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(char16_t));
    Check(RegSetValueExW(key_, name, 0, REG_SZ, data, bytes) == ERROR_SUCCESS);
  }

 private:
  HKEY key_ = nullptr;
};

void SetDefault(const std::u16string& path, const std::u16string& value) {
  ClassesKey(path).Set(nullptr, value);
}

// Deletes a key; one that is already gone is no error.
void DeleteKey(const std::u16string& path) {
  const LSTATUS status = RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
  Check(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND);
}

void Register() {
  const std::string path = LibraryPath();
  const std::u16string library = FromUtf8(path);
  const size_t slash = path.find_last_of('/');
  const std::u16string folder = FromUtf8(slash == 0 ? "/" : path.substr(0, slash));
  ComPtr<ITypeLib> type_library;
  Check(SUCCEEDED(GetPlotvaneTypeLib(type_library.ReleaseAndGetAddressOf())));
  Check(SUCCEEDED(RegisterTypeLib(type_library.Get(), library.c_str(), folder.c_str())));

  const std::u16string clsid = GuidText(CLSID_Draw);
  const std::u16string class_key = u"CLSID\\" + clsid;
  const std::u16string prog_id = Widen(kProgID);
  const std::u16string description = Widen(kClassHelp);
  SetDefault(class_key, description);
  {
    ClassesKey server(class_key + u"\\InprocServer32");
    server.Set(nullptr, library);
    server.Set(u"ThreadingModel", u"Both");
  }
  SetDefault(prog_id, description);
  SetDefault(prog_id + u"\\Clsid", clsid);
  SetDefault(class_key + u"\\ProgID", prog_id);
  SetDefault(class_key + u"\\Version", Widen((std::to_string(kLibraryMajorVersion) + "." +
                                              std::to_string(kLibraryMinorVersion)).c_str()));
  SetDefault(class_key + u"\\TypeLib", GuidText(LIBID_Plotvane));
}

void Unregister() {
  const HRESULT hr = UnRegisterTypeLib(LIBID_Plotvane, kLibraryMajorVersion, kLibraryMinorVersion,
                                       0, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
  Check(SUCCEEDED(hr) || hr == TYPE_E_REGISTRYACCESS);  // not registered: nothing to remove
  const std::u16string class_key = u"CLSID\\" + GuidText(CLSID_Draw);
  const std::u16string prog_id = Widen(kProgID);
  DeleteKey(class_key + u"\\TypeLib");
  DeleteKey(class_key + u"\\Version");
  DeleteKey(prog_id + u"\\Clsid");
  DeleteKey(prog_id);
  DeleteKey(class_key + u"\\ProgID");
  DeleteKey(class_key + u"\\InprocServer32");
  DeleteKey(class_key);
}

// Runs a registration step; any failure, an exception included, is E_FAIL.
template <typename Step>
HRESULT Guarded(Step step) {
  try {
    step();
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace

void ServerObjectCreated() { ++g_objects; }
void ServerObjectDestroyed() { --g_objects; }
LONG ServerObjectCount() { return g_objects.load(); }

void ServerLock() { ++g_locks; }

// An unlock without a lock is ignored: a count below zero would keep the
// server loaded for good.
void ServerUnlock() {
  LONG locks = g_locks.load();
  while (locks > 0 && !g_locks.compare_exchange_weak(locks, locks - 1)) {
  }
}

LONG ServerLockCount() { return g_locks.load(); }

HRESULT ServerGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  IClassFactory* factory = g_factories.Find(clsid);
  if (factory == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
  return factory->QueryInterface(riid, ppv);
}

HRESULT ServerCanUnloadNow() {
  return g_objects.load() == 0 && g_locks.load() == 0 ? S_OK : S_FALSE;
}

HRESULT ServerRegister() { return Guarded(Register); }
HRESULT ServerUnregister() { return Guarded(Unregister); }

}  // namespace plotvane
