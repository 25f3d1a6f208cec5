// Recording a type library in the registry and removing it again. The key
// layout is described at RegisterTypeLib in registry.h.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "runtime/bstr.h"
#include "runtime/com_ptr.h"
#include "runtime/registry.h"
#include "runtime/registry_tree.h"

namespace plotvane {
namespace {

// Marshallers of the platform: interfaces described for automation (dual or
// OLE-automation) and pure dispatch interfaces.
constexpr GUID kAutomationMarshaller = {
    0x00020424, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kDispatchMarshaller = {
    0x00020420, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::u16string GuidText(REFGUID guid) {
  OLECHAR text[kGuidStringSize];
  StringFromGUID2(guid, text, kGuidStringSize);
  return text;
}

std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::u16string VersionText(WORD major, WORD minor) {
  char text[16];
  std::snprintf(text, sizeof(text), "%x.%x", major, minor);
  return Ascii(text);
}

// A key handle that closes itself.
class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// Sets the value `name` of `path` (created if missing) below HKEY_CLASSES_ROOT.
LSTATUS SetValue(const std::u16string& path, const char16_t* name, const std::u16string& value) {
  Key key;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr,
                                   REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.Out(), nullptr);
  if (status != ERROR_SUCCESS) return status;
  return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
}

// Name and help string of the index-th description (-1: the library).
HRESULT Documentation(ITypeLib* library, INT index, std::u16string* name, std::u16string* help) {
  BStr name_text, help_text;
  HRESULT hr = library->GetDocumentation(index, name_text.ReleaseAndGetAddressOf(),
                                         help_text.ReleaseAndGetAddressOf(), nullptr, nullptr);
  if (FAILED(hr)) return hr;
  *name = name_text.str();
  *help = help_text.str();
  return S_OK;
}

// The interface keys of the index-th description, when clients may call it.
HRESULT RegisterInterface(ITypeLib* library, UINT index, const std::u16string& lib_guid,
                          const std::u16string& version) {
  ComPtr<ITypeInfo> info;
  HRESULT hr = library->GetTypeInfo(index, info.ReleaseAndGetAddressOf());
  if (FAILED(hr)) return hr;
  TYPEATTR* attr = nullptr;
  hr = info->GetTypeAttr(&attr);
  if (FAILED(hr)) return hr;
  const TYPEKIND kind = attr->typekind;
  const WORD flags = attr->wTypeFlags;
  const GUID iid = attr->guid;
  info->ReleaseTypeAttr(attr);
  const bool automation = (flags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION)) != 0;
  if (kind != TKIND_DISPATCH && !(kind == TKIND_INTERFACE && automation)) return S_OK;

  std::u16string name, help;
  hr = Documentation(library, static_cast<INT>(index), &name, &help);
  if (FAILED(hr)) return hr;
  const std::u16string key = u"Interface\\" + GuidText(iid);
  const std::u16string marshaller =
      GuidText(automation ? kAutomationMarshaller : kDispatchMarshaller);
  LSTATUS status = SetValue(key, nullptr, name);
  if (status == ERROR_SUCCESS) status = SetValue(key + u"\\ProxyStubClsid", nullptr, marshaller);
  if (status == ERROR_SUCCESS) status = SetValue(key + u"\\ProxyStubClsid32", nullptr, marshaller);
  if (status == ERROR_SUCCESS) status = SetValue(key + u"\\TypeLib", nullptr, lib_guid);
  if (status == ERROR_SUCCESS) status = SetValue(key + u"\\TypeLib", u"Version", version);
  return HRESULT_FROM_WIN32(status);
}

const std::u16string* FindValue(const detail::RegKey& key, const std::u16string& name) {
  auto it = key.values.find(name);
  return it == key.values.end() ? nullptr : &it->second;
}

}  // namespace
}  // namespace plotvane

HRESULT RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir) {
  using namespace plotvane;
  if (ptlib == nullptr || szFullPath == nullptr) return E_INVALIDARG;
  try {
    TLIBATTR* attr = nullptr;
    HRESULT hr = ptlib->GetLibAttr(&attr);
    if (FAILED(hr)) return hr;
    const TLIBATTR lib = *attr;
    ptlib->ReleaseTLibAttr(attr);
    std::u16string name, help;
    hr = Documentation(ptlib, -1, &name, &help);
    if (FAILED(hr)) return hr;

    const std::u16string lib_guid = GuidText(lib.guid);
    const std::u16string version = VersionText(lib.wMajorVerNum, lib.wMinorVerNum);
    const std::u16string key = u"TypeLib\\" + lib_guid + u"\\" + version;
    char locale[32];
    std::snprintf(locale, sizeof(locale), "%x\\%s", static_cast<unsigned>(lib.lcid),
                  lib.syskind == SYS_WIN64 ? "win64" : "win32");
    LSTATUS status = SetValue(key, nullptr, help.empty() ? name : help);
    if (status == ERROR_SUCCESS) {
      status = SetValue(key + u"\\FLAGS", nullptr, Ascii(std::to_string(lib.wLibFlags)));
    }
    if (status == ERROR_SUCCESS) {
      status = SetValue(key + u"\\HELPDIR", nullptr, szHelpDir == nullptr ? u"" : szHelpDir);
    }
    if (status == ERROR_SUCCESS) status = SetValue(key + u"\\" + Ascii(locale), nullptr, szFullPath);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);

    const UINT count = ptlib->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
      hr = RegisterInterface(ptlib, i, lib_guid, version);
      if (FAILED(hr)) return hr;
    }
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnRegisterTypeLib(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID, SYSKIND) {
  using namespace plotvane;
  try {
    const std::u16string lib_guid = GuidText(libID);
    const std::u16string version = VersionText(wVerMajor, wVerMinor);
    HRESULT result = S_OK;
    const LSTATUS status = detail::WithRegistryRoot(HKEY_CLASSES_ROOT, [&](detail::RegKey& root) {
      detail::RegKey* lib = detail::FindSubkey(root, {u"TypeLib", lib_guid});
      if (lib == nullptr || lib->subkeys.count(version) == 0) {
        result = TYPE_E_REGISTRYACCESS;
        return ERROR_SUCCESS;
      }
      // Interfaces recorded by this library and version go with it.
      if (detail::RegKey* interfaces = detail::FindSubkey(root, {u"Interface"})) {
        for (auto it = interfaces->subkeys.begin(); it != interfaces->subkeys.end();) {
          const detail::RegKey* typelib = detail::FindSubkey(*it->second, {u"TypeLib"});
          const std::u16string* owner = typelib ? FindValue(*typelib, u"") : nullptr;
          const std::u16string* owner_version = typelib ? FindValue(*typelib, u"Version") : nullptr;
          const bool ours = owner != nullptr && owner_version != nullptr &&
                            !detail::RegistryNameLess()(*owner, lib_guid) &&
                            !detail::RegistryNameLess()(lib_guid, *owner) &&
                            *owner_version == version;
          it = ours ? interfaces->subkeys.erase(it) : std::next(it);
        }
      }
      lib->subkeys.erase(version);
      if (lib->subkeys.empty() && lib->values.empty()) {
        detail::FindSubkey(root, {u"TypeLib"})->subkeys.erase(lib_guid);
      }
      return ERROR_SUCCESS;
    });
    return status == ERROR_SUCCESS ? result : HRESULT_FROM_WIN32(status);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}
