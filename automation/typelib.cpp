// The type library, generated once from the member table and the
// enumerations. Every record a client can ask for (TYPEATTR, FUNCDESC,
// VARDESC, TLIBATTR) is built in advance and handed out as a pointer into the
// library, so that reading the library allocates nothing but the strings the
// caller owns.
#include "automation/typelib.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "automation/members.h"
#include "automation/server.h"
#include "base/ascii.h"
#include "base/utf.h"
#include "runtime/bstr.h"
#include "runtime/variant.h"

namespace plotvane {
namespace {

// References to descriptions outside the library's index range: the
// platform's IDispatch and OLE_COLOR, and the virtual-table views of the
// interfaces, the i-th at kFirstVtableRef + i.
constexpr HREFTYPE kIDispatchRef = 0x10000;
constexpr HREFTYPE kOleColorRef = 0x10001;
constexpr HREFTYPE kFirstVtableRef = 0x10002;
constexpr HREFTYPE kNoRef = 0xFFFFFFFF;

// Slots of IUnknown and IDispatch before the members in the virtual table.
constexpr int kDispatchSlots = 7;
// The name of a property's value and of a method's result.
constexpr char16_t kValueName[] = u"Value";
constexpr char16_t kOtherValueName[] = u"NewValue";
// Enumeration constants are numbered from here, as type libraries number
// their variables.
constexpr MEMBERID kFirstConstantId = 0x40000000;


// Hands the caller a copy of `text` in *out; a null `out` is skipped, an
// empty text gives the null string.
HRESULT CopyOut(const std::u16string& text, BSTR* out) {
  if (out == nullptr) return S_OK;
  *out = nullptr;
  if (text.empty()) return S_OK;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out == nullptr ? E_OUTOFMEMORY : S_OK;
}

class TypeLibrary;

// One type description. The builder fills the public data once; afterwards
// it never changes and is read by any thread.
class TypeDescription final : public ITypeInfo {
 public:
  // The names GetNames reports for one member id (the member, then its
  // parameters) and the help string GetDocumentation reports for it.
  struct Names {
    MEMBERID memid;
    std::vector<std::u16string> names;
    std::u16string help;
  };

  TypeDescription(TypeLibrary& library, int index) : library_(library), index_(index) {
    attr.memidConstructor = MEMBERID_NIL;
    attr.memidDestructor = MEMBERID_NIL;
    attr.cbAlignment = alignof(void*);
  }

  TYPEATTR attr{};
  std::u16string name;
  std::u16string help;
  std::vector<FUNCDESC> funcs;
  std::vector<VARDESC> vars;
  std::vector<Names> names;
  std::vector<HREFTYPE> impl_refs;
  std::vector<INT> impl_flags;
  HREFTYPE partner = kNoRef;  // the other view of a dual interface

  // IUnknown: the library counts the references of all its descriptions.
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG AddRef() override;
  ULONG Release() override;

  // ITypeInfo.
  HRESULT GetTypeAttr(TYPEATTR** ppTypeAttr) override {
    if (ppTypeAttr == nullptr) return E_INVALIDARG;
    *ppTypeAttr = &attr;
    return S_OK;
  }
  HRESULT GetTypeComp(ITypeComp** ppTComp) override {
    if (ppTComp != nullptr) *ppTComp = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) override {
    if (ppFuncDesc == nullptr) return E_INVALIDARG;
    *ppFuncDesc = nullptr;
    if (index >= funcs.size()) return TYPE_E_ELEMENTNOTFOUND;
    *ppFuncDesc = &funcs[index];
    return S_OK;
  }
  HRESULT GetVarDesc(UINT index, VARDESC** ppVarDesc) override {
    if (ppVarDesc == nullptr) return E_INVALIDARG;
    *ppVarDesc = nullptr;
    if (index >= vars.size()) return TYPE_E_ELEMENTNOTFOUND;
    *ppVarDesc = &vars[index];
    return S_OK;
  }
  HRESULT GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) override;
  HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) override;
  HRESULT GetImplTypeFlags(UINT index, INT* pImplTypeFlags) override {
    if (pImplTypeFlags == nullptr) return E_INVALIDARG;
    *pImplTypeFlags = 0;
    if (index >= impl_flags.size()) return TYPE_E_ELEMENTNOTFOUND;
    *pImplTypeFlags = impl_flags[index];
    return S_OK;
  }
  HRESULT GetIDsOfNames(LPOLESTR*, UINT, MEMBERID*) override { return E_NOTIMPL; }
  HRESULT Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                           DWORD* pdwHelpContext, BSTR* pBstrHelpFile) override;
  HRESULT GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
  HRESULT GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) override;
  HRESULT AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override { return E_NOTIMPL; }
  HRESULT CreateInstance(IUnknown*, REFIID, PVOID* ppvObj) override {
    if (ppvObj != nullptr) *ppvObj = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetMops(MEMBERID, BSTR* pBstrMops) override {
    if (pBstrMops != nullptr) *pBstrMops = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) override;
  // The records belong to the library; nothing to give back.
  void ReleaseTypeAttr(TYPEATTR*) override {}
  void ReleaseFuncDesc(FUNCDESC*) override {}
  void ReleaseVarDesc(VARDESC*) override {}

 private:
  TypeLibrary& library_;
  int index_;  // in the library; -1 for descriptions it only refers to
};

class TypeLibrary final : public ITypeLib {
 public:
  TypeLibrary();
  TypeLibrary(const TypeLibrary&) = delete;
  TypeLibrary& operator=(const TypeLibrary&) = delete;

  // The description a reference names, or null.
  TypeDescription* Resolve(HREFTYPE ref) const;
  // The dispatch view of the object's default interface.
  TypeDescription* DrawDispatch() const { return entries_[class_index_ - 1].get(); }

  HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    if (riid != IID_IUnknown && riid != IID_ITypeLib) return E_NOINTERFACE;
    *ppvObject = static_cast<ITypeLib*>(this);
    AddRef();
    return S_OK;
  }
  // The first reference makes the server count a live object, the last
  // release ends it: a client holding type information keeps the server
  // loaded, since the descriptions live in it.
  ULONG AddRef() override {
    const ULONG before = refs_.fetch_add(1);
    if (before == 0) ServerObjectCreated();
    return before + 1;
  }
  ULONG Release() override {
    ULONG before = refs_.load();
    do {
      if (before == 0) return 0;  // a release too many is ignored
    } while (!refs_.compare_exchange_weak(before, before - 1));
    if (before == 1) ServerObjectDestroyed();
    return before - 1;
  }

  UINT GetTypeInfoCount() override { return static_cast<UINT>(entries_.size()); }
  HRESULT GetTypeInfo(UINT index, ITypeInfo** ppTInfo) override {
    if (ppTInfo == nullptr) return E_INVALIDARG;
    *ppTInfo = nullptr;
    if (index >= entries_.size()) return TYPE_E_ELEMENTNOTFOUND;
    *ppTInfo = entries_[index].get();
    AddRef();
    return S_OK;
  }
  HRESULT GetTypeInfoType(UINT index, TYPEKIND* pTKind) override {
    if (pTKind == nullptr) return E_INVALIDARG;
    if (index >= entries_.size()) return TYPE_E_ELEMENTNOTFOUND;
    *pTKind = entries_[index]->attr.typekind;
    return S_OK;
  }
  HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTinfo) override {
    if (ppTinfo == nullptr) return E_INVALIDARG;
    *ppTinfo = nullptr;
    if (guid == GUID_NULL) return TYPE_E_ELEMENTNOTFOUND;
    for (const auto& entry : entries_) {
      if (entry->attr.guid == guid) {
        *ppTinfo = entry.get();
        AddRef();
        return S_OK;
      }
    }
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT GetLibAttr(TLIBATTR** ppTLibAttr) override {
    if (ppTLibAttr == nullptr) return E_INVALIDARG;
    *ppTLibAttr = &attr_;
    return S_OK;
  }
  HRESULT GetTypeComp(ITypeComp** ppTComp) override {
    if (ppTComp != nullptr) *ppTComp = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetDocumentation(INT index, BSTR* pBstrName, BSTR* pBstrDocString,
                           DWORD* pdwHelpContext, BSTR* pBstrHelpFile) override {
    if (index == -1) {
      if (pdwHelpContext != nullptr) *pdwHelpContext = 0;
      if (pBstrHelpFile != nullptr) *pBstrHelpFile = nullptr;
      HRESULT hr = CopyOut(Widen(kLibraryName), pBstrName);
      if (SUCCEEDED(hr)) hr = CopyOut(Widen(kLibraryHelp), pBstrDocString);
      return hr;
    }
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return TYPE_E_ELEMENTNOTFOUND;
    return entries_[static_cast<size_t>(index)]->GetDocumentation(
        MEMBERID_NIL, pBstrName, pBstrDocString, pdwHelpContext, pBstrHelpFile);
  }
  HRESULT IsName(LPOLESTR, ULONG, BOOL*) override { return E_NOTIMPL; }
  HRESULT FindName(LPOLESTR, ULONG, ITypeInfo**, MEMBERID*, USHORT*) override { return E_NOTIMPL; }
  void ReleaseTLibAttr(TLIBATTR*) override {}

 private:
  TYPEDESC TypeOf(TArgType type) const;
  ELEMDESC Element(TYPEDESC type, USHORT flags);
  void AddEnumeration(const TEnumeration& enumeration);
  void AddFunction(TypeDescription& d, const TMember& m, INVOKEKIND kind, bool vtable,
                   size_t first_slot);
  void BuildInterface(TypeDescription& d, size_t interface, bool vtable);
  void AddClass();

  std::vector<std::unique_ptr<TypeDescription>> entries_;
  std::vector<std::unique_ptr<TypeDescription>> vtables_;  // by interface
  std::unique_ptr<TypeDescription> idispatch_;
  std::unique_ptr<TypeDescription> ole_color_;
  size_t class_index_ = 0;
  TLIBATTR attr_{};
  // Storage the records point into; a deque never moves its elements.
  std::deque<std::vector<ELEMDESC>> parameter_lists_;
  std::deque<TYPEDESC> pointees_;
  std::deque<VARIANT> constants_;
  std::atomic<ULONG> refs_{0};
};

// ---------------------------------------------------------------------------
// Building
// ---------------------------------------------------------------------------

TypeLibrary::TypeLibrary() {
  attr_.guid = LIBID_Plotvane;
  attr_.syskind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  attr_.wMajorVerNum = kLibraryMajorVersion;
  attr_.wMinorVerNum = kLibraryMinorVersion;

  for (const TEnumeration& e : Enumerations()) AddEnumeration(e);

  for (size_t i = 0; i < Interfaces().size(); ++i) {
    const size_t index = entries_.size();
    auto dispatch = std::make_unique<TypeDescription>(*this, static_cast<int>(index));
    dispatch->attr.typekind = TKIND_DISPATCH;
    BuildInterface(*dispatch, i, /*vtable=*/false);
    dispatch->partner = kFirstVtableRef + static_cast<HREFTYPE>(i);
    entries_.push_back(std::move(dispatch));

    // The virtual-table view shares the dispatch view's place in the library.
    auto vtable = std::make_unique<TypeDescription>(*this, static_cast<int>(index));
    vtable->attr.typekind = TKIND_INTERFACE;
    BuildInterface(*vtable, i, /*vtable=*/true);
    vtable->partner = static_cast<HREFTYPE>(index);
    vtables_.push_back(std::move(vtable));
  }

  AddClass();

  idispatch_ = std::make_unique<TypeDescription>(*this, -1);
  idispatch_->attr.typekind = TKIND_INTERFACE;
  idispatch_->attr.guid = IID_IDispatch;
  idispatch_->attr.cbSizeVft = kDispatchSlots * sizeof(void*);
  idispatch_->name = u"IDispatch";

  ole_color_ = std::make_unique<TypeDescription>(*this, -1);
  ole_color_->attr.typekind = TKIND_ALIAS;
  ole_color_->attr.tdescAlias.vt = VarTypeOf(TArgType::kOleColor);
  ole_color_->name = u"OLE_COLOR";
}

TypeDescription* TypeLibrary::Resolve(HREFTYPE ref) const {
  if (ref < entries_.size()) return entries_[ref].get();
  switch (ref) {
    case kIDispatchRef: return idispatch_.get();
    case kOleColorRef: return ole_color_.get();
    default: break;
  }
  if (ref >= kFirstVtableRef && ref - kFirstVtableRef < vtables_.size()) {
    return vtables_[ref - kFirstVtableRef].get();
  }
  return nullptr;
}

// The type description of a declared type: a base type, or a reference to
// an enumeration of the library or to OLE_COLOR.
TYPEDESC TypeLibrary::TypeOf(TArgType type) const {
  TYPEDESC desc{};
  desc.vt = type == TArgType::kNone ? VT_VOID : VarTypeOf(type);
  if (type == TArgType::kOleColor) {
    desc.vt = VT_USERDEFINED;
    desc.hreftype = kOleColorRef;
    return desc;
  }
  const std::string name = IdlTypeOf(type);
  const auto& enumerations = Enumerations();
  for (size_t i = 0; i < enumerations.size(); ++i) {
    if (name == enumerations[i].name) {
      desc.vt = VT_USERDEFINED;
      desc.hreftype = static_cast<HREFTYPE>(i);  // enumerations come first
    }
  }
  return desc;
}

ELEMDESC TypeLibrary::Element(TYPEDESC type, USHORT flags) {
  ELEMDESC element{};
  element.tdesc = type;
  element.paramdesc.wParamFlags = flags;
  return element;
}

void TypeLibrary::AddEnumeration(const TEnumeration& enumeration) {
  auto d = std::make_unique<TypeDescription>(*this, static_cast<int>(entries_.size()));
  d->attr.typekind = TKIND_ENUM;
  d->attr.cbSizeInstance = sizeof(int32_t);
  d->attr.cbAlignment = alignof(int32_t);
  d->name = Widen(enumeration.name);
  for (const TEnumValue& value : enumeration.values) {
    VARIANT& constant = constants_.emplace_back();
    VariantInit(&constant);
    constant.vt = VT_I4;
    constant.lVal = value.value;
    VARDESC var{};
    var.memid = kFirstConstantId + static_cast<MEMBERID>(d->vars.size());
    var.lpvarValue = &constant;
    var.elemdescVar.tdesc.vt = VT_I4;
    var.varkind = VAR_CONST;
    d->vars.push_back(var);
    d->names.push_back({var.memid, {Widen(value.name)}, {}});
  }
  d->attr.cVars = static_cast<WORD>(d->vars.size());
  entries_.push_back(std::move(d));
}

// One function of an interface. The dispatch view declares a property
// read's value as its result; the virtual-table view returns HRESULT and
// passes results through an [out, retval] pointer. The view's functions
// take the virtual-table slots from `first_slot` on.
void TypeLibrary::AddFunction(TypeDescription& d, const TMember& m, INVOKEKIND kind, bool vtable,
                              size_t first_slot) {
  std::vector<ELEMDESC>& params = parameter_lists_.emplace_back();
  for (size_t i = 0; i < m.param_count; ++i) {
    params.push_back(Element(TypeOf(m.params[i].type), PARAMFLAG_FIN));
  }
  const TYPEDESC value = TypeOf(m.type);
  TYPEDESC result{};
  result.vt = vtable ? VT_HRESULT : VT_VOID;
  if (kind == INVOKE_PROPERTYPUT) {
    params.push_back(Element(value, PARAMFLAG_FIN));
  } else if (!vtable) {
    result = value;
  } else if (value.vt != VT_VOID) {
    TYPEDESC pointer{};
    pointer.vt = VT_PTR;
    pointer.lptdesc = &pointees_.emplace_back(value);
    params.push_back(Element(pointer, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL));
  }
  FUNCDESC f{};
  f.memid = m.dispid;
  f.lprgelemdescParam = params.empty() ? nullptr : params.data();
  f.funckind = vtable ? FUNC_PUREVIRTUAL : FUNC_DISPATCH;
  f.invkind = kind;
  f.callconv = CC_STDCALL;
  f.cParams = static_cast<SHORT>(params.size());
  f.oVft = static_cast<SHORT>((first_slot + d.funcs.size()) * sizeof(void*));
  f.elemdescFunc = Element(result, PARAMFLAG_NONE);
  d.funcs.push_back(f);
}

// An interface: its dispatch view lists every member the interface offers,
// those of the interfaces it extends first; its virtual-table view lists its
// own, after the slots of the interface it extends.
void TypeLibrary::BuildInterface(TypeDescription& d, size_t interface, bool vtable) {
  const TInterface& self = Interfaces()[interface];
  d.attr.guid = *self.iid;
  d.attr.cbSizeInstance = sizeof(void*);
  d.attr.wTypeFlags = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION;
  if (!vtable) d.attr.wTypeFlags |= TYPEFLAG_FDISPATCHABLE;
  d.attr.wMajorVerNum = kLibraryMajorVersion;
  d.attr.wMinorVerNum = kLibraryMinorVersion;
  d.name = Widen(self.name);
  d.help = Widen(self.help);
  d.impl_refs = {vtable && interface > 0 ? kFirstVtableRef + static_cast<HREFTYPE>(interface - 1)
                                          : kIDispatchRef};
  d.impl_flags = {0};
  d.attr.cImplTypes = 1;
  const std::vector<TMember>& members = Members();
  size_t first_slot = kDispatchSlots;
  for (size_t i = 0; vtable && i < self.first; ++i) {
    first_slot += members[i].kind == TMemberKind::kGetPut ? 2 : 1;
  }
  for (size_t i = vtable ? self.first : 0; i < self.end; ++i) {
    const TMember& m = members[i];
    TypeDescription::Names names{m.dispid, {Widen(m.name)}, Utf8ToUtf16(MemberDocumentation(m))};
    for (size_t p = 0; p < m.param_count; ++p) names.names.push_back(Widen(m.params[p].name));
    if (m.kind != TMemberKind::kMethod || m.type != TArgType::kNone) {
      // A parameter may already be called Value; the value then takes the
      // other name, so that no two parameters share one.
      bool taken = false;
      for (size_t p = 0; p < m.param_count; ++p) taken |= Widen(m.params[p].name) == kValueName;
      names.names.push_back(taken ? kOtherValueName : kValueName);
    }
    d.names.push_back(std::move(names));
    if (m.kind == TMemberKind::kMethod) {
      AddFunction(d, m, INVOKE_FUNC, vtable, first_slot);
      continue;
    }
    AddFunction(d, m, INVOKE_PROPERTYGET, vtable, first_slot);
    if (m.kind == TMemberKind::kGetPut) AddFunction(d, m, INVOKE_PROPERTYPUT, vtable, first_slot);
  }
  d.attr.cFuncs = static_cast<WORD>(d.funcs.size());
  const size_t slots = vtable ? first_slot + d.funcs.size() : kDispatchSlots;
  d.attr.cbSizeVft = static_cast<WORD>(slots * sizeof(void*));
}

void TypeLibrary::AddClass() {
  class_index_ = entries_.size();
  auto d = std::make_unique<TypeDescription>(*this, static_cast<int>(entries_.size()));
  d->attr.typekind = TKIND_COCLASS;
  d->attr.guid = CLSID_Draw;
  d->attr.wTypeFlags = TYPEFLAG_FCANCREATE;
  d->attr.wMajorVerNum = kLibraryMajorVersion;
  d->attr.wMinorVerNum = kLibraryMinorVersion;
  d->attr.cImplTypes = 1;
  d->name = Widen(kClassName);
  d->help = Widen(kClassHelp);
  d->impl_refs = {static_cast<HREFTYPE>(class_index_ - 1)};  // the newest interface
  d->impl_flags = {IMPLTYPEFLAG_FDEFAULT};
  entries_.push_back(std::move(d));
}

// ---------------------------------------------------------------------------
// Descriptions
// ---------------------------------------------------------------------------

HRESULT TypeDescription::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid != IID_IUnknown && riid != IID_ITypeInfo) return E_NOINTERFACE;
  *ppvObject = static_cast<ITypeInfo*>(this);
  AddRef();
  return S_OK;
}

ULONG TypeDescription::AddRef() { return library_.AddRef(); }
ULONG TypeDescription::Release() { return library_.Release(); }

HRESULT TypeDescription::GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames,
                                  UINT* pcNames) {
  if (rgBstrNames == nullptr || pcNames == nullptr) return E_INVALIDARG;
  *pcNames = 0;
  for (const Names& entry : names) {
    if (entry.memid != memid) continue;
    const UINT count = std::min<UINT>(cMaxNames, static_cast<UINT>(entry.names.size()));
    for (UINT i = 0; i < count; ++i) {
      HRESULT hr = CopyOut(entry.names[i], &rgBstrNames[i]);
      if (FAILED(hr)) {
        for (UINT k = 0; k < i; ++k) SysFreeString(rgBstrNames[k]);
        return hr;
      }
    }
    *pcNames = count;
    return S_OK;
  }
  return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT TypeDescription::GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) {
  if (pRefType == nullptr) return E_INVALIDARG;
  *pRefType = 0;
  if (index == 0xFFFFFFFFu) {
    if (partner == kNoRef) return TYPE_E_ELEMENTNOTFOUND;
    *pRefType = partner;
    return S_OK;
  }
  if (index >= impl_refs.size()) return TYPE_E_ELEMENTNOTFOUND;
  *pRefType = impl_refs[index];
  return S_OK;
}

HRESULT TypeDescription::GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                          DWORD* pdwHelpContext, BSTR* pBstrHelpFile) {
  const std::u16string* member_name = memid == MEMBERID_NIL ? &name : nullptr;
  const std::u16string* member_help = memid == MEMBERID_NIL ? &help : nullptr;
  for (const Names& entry : names) {
    if (entry.memid != memid) continue;
    member_name = &entry.names.front();
    member_help = &entry.help;
  }
  if (member_name == nullptr) return TYPE_E_ELEMENTNOTFOUND;
  if (pdwHelpContext != nullptr) *pdwHelpContext = 0;
  if (pBstrHelpFile != nullptr) *pBstrHelpFile = nullptr;
  if (pBstrDocString != nullptr) *pBstrDocString = nullptr;
  HRESULT hr = CopyOut(*member_name, pBstrName);
  if (SUCCEEDED(hr)) hr = CopyOut(*member_help, pBstrDocString);
  if (FAILED(hr) && pBstrName != nullptr) {
    SysFreeString(*pBstrName);
    *pBstrName = nullptr;
  }
  return hr;
}

HRESULT TypeDescription::GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) {
  if (ppTInfo == nullptr) return E_INVALIDARG;
  *ppTInfo = library_.Resolve(hRefType);
  if (*ppTInfo == nullptr) return TYPE_E_ELEMENTNOTFOUND;
  (*ppTInfo)->AddRef();
  return S_OK;
}

HRESULT TypeDescription::GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) {
  if (ppTLib == nullptr) return E_INVALIDARG;
  *ppTLib = nullptr;
  if (index_ < 0) return E_NOTIMPL;  // the platform's own types
  *ppTLib = &library_;
  library_.AddRef();
  if (pIndex != nullptr) *pIndex = static_cast<UINT>(index_);
  return S_OK;
}

// The library, built on first use. Null when building it ran out of memory;
// the next call tries again.
TypeLibrary* Library() {
  try {
    static TypeLibrary library;
    return &library;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

HRESULT GetPlotvaneTypeLib(ITypeLib** out) {
  if (out == nullptr) return E_POINTER;
  *out = Library();
  if (*out == nullptr) return E_OUTOFMEMORY;
  (*out)->AddRef();
  return S_OK;
}

HRESULT GetDrawTypeInfo(ITypeInfo** out) {
  if (out == nullptr) return E_POINTER;
  TypeLibrary* library = Library();
  *out = library == nullptr ? nullptr : library->DrawDispatch();
  if (*out == nullptr) return E_OUTOFMEMORY;
  (*out)->AddRef();
  return S_OK;
}

}  // namespace plotvane
