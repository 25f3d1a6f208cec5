#include "automation/draw.h"

#include <cstddef>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "automation/draw_object.h"
#include "automation/members.h"
#include "automation/server.h"
#include "automation/typelib.h"
#include "runtime/guid.h"

// The type information carried by the virtual table: classes with the
// interfaces' names, derived as the clients' are (IDraw from IDispatch,
// IDraw2 from IDraw). They are never instantiated; clients declare the
// interfaces with their methods in the generated header.
struct IDraw : public IDispatch {
 protected:
  ~IDraw() = default;
};
struct IDraw2 : public IDraw {
 protected:
  ~IDraw2() = default;
};

namespace plotvane {

namespace {

using vtable_detail::Untyped;

// The IUnknown and IDispatch entries of the virtual table: the object's own
// methods, reached through the face a client holds.
HRESULT FaceQueryInterface(TVtableFace* self, REFIID riid, void** ppvObject) {
  return self->owner->QueryInterface(riid, ppvObject);
}
ULONG FaceAddRef(TVtableFace* self) { return self->owner->AddRef(); }
ULONG FaceRelease(TVtableFace* self) { return self->owner->Release(); }
HRESULT FaceGetTypeInfoCount(TVtableFace* self, UINT* pctinfo) {
  return self->owner->GetTypeInfoCount(pctinfo);
}
HRESULT FaceGetTypeInfo(TVtableFace* self, UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) {
  return self->owner->GetTypeInfo(iTInfo, lcid, ppTInfo);
}
HRESULT FaceGetIDsOfNames(TVtableFace* self, REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                          LCID lcid, DISPID* rgDispId) {
  return self->owner->GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId);
}
HRESULT FaceInvoke(TVtableFace* self, DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                   DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                   UINT* puArgErr) {
  return self->owner->Invoke(dispIdMember, riid, lcid, wFlags, pDispParams, pVarResult,
                             pExcepInfo, puArgErr);
}

// The virtual table of IDraw2, whose start is IDraw's: IUnknown, IDispatch,
// then the members' entries, after the two words a C++ compiler puts before
// the entries of a class's table (the offset of the object in its whole, and
// its type information). Those let C++ clients, and run-time checks of their
// calls, treat the face as an object of their own IDraw2 class, and so of
// IDraw.
//
// REQUIRES: the compiler lays out objects and tables as the Itanium C++ ABI
// does (GCC and Clang do, except where they follow the Windows ABI): an
// object of a class with virtual functions and no data begins with the
// address of its table's first entry; the words at entries -1 and -2 are the
// type information and the offset to the top; every word, entry and face
// field is one pointer wide. Another layout (the Windows compilers keep
// neither word before the entries) needs a table of its own, so such a build
// stops here.
union TVtableWord {
  std::ptrdiff_t offset_to_top;
  const std::type_info* type;
  TVtableEntry entry;
};
#if defined(__GXX_ABI_VERSION)
constexpr bool kItaniumCxxAbi = true;
#else
constexpr bool kItaniumCxxAbi = false;
#endif
static_assert(kItaniumCxxAbi, "IDraw's virtual table is laid out for the Itanium C++ ABI");
static_assert(sizeof(TVtableWord) == sizeof(void*) && sizeof(TVtableEntry) == sizeof(void*) &&
                  sizeof(std::ptrdiff_t) == sizeof(void*),
              "every word of the table is one pointer wide");
static_assert(std::is_standard_layout_v<TVtableFace> && offsetof(TVtableFace, vtable) == 0 &&
                  sizeof(TVtableFace) == 2 * sizeof(void*),
              "a face begins with its table pointer, where an object keeps its own");

const TVtableEntry* DrawVtable() {
  static const std::vector<TVtableWord> table = [] {
    std::vector<TVtableWord> words(2);
    words[0].offset_to_top = 0;
    words[1].type = &typeid(IDraw2);
    for (TVtableEntry entry :
         {Untyped(&FaceQueryInterface), Untyped(&FaceAddRef), Untyped(&FaceRelease),
          Untyped(&FaceGetTypeInfoCount), Untyped(&FaceGetTypeInfo), Untyped(&FaceGetIDsOfNames),
          Untyped(&FaceInvoke)}) {
      words.emplace_back().entry = entry;
    }
    static_assert(kDispatchEntries == 7, "IUnknown and IDispatch have seven methods");
    size_t count = 0;
    const TVtableEntry* members = MemberVtableEntries(&count);
    for (size_t i = 0; i < count; ++i) words.emplace_back().entry = members[i];
    return words;
  }();
  return &table[2].entry;
}

}  // namespace

Tdraw::Tdraw(IUnknown* outer)
    : vtable_face_{DrawVtable(), this},
      controller_(outer != nullptr ? outer : &inner_),
      Graph_(std::make_unique<TChartix>()) {
  // The automation object shows line-graph texts on their background and
  // starts the automatic colours at the beginning of their table.
  Graph_->FLineGraphTextTransparent = false;
  Graph_->SetRNDColor(0);
  ServerObjectCreated();
}

Tdraw::~Tdraw() { ServerObjectDestroyed(); }

HRESULT Tdraw::NonDelegatingUnknown::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid == IID_IUnknown) {
    *ppvObject = static_cast<IUnknown*>(this);
  } else if (riid == IID_IDispatch) {
    *ppvObject = static_cast<IDispatch*>(&owner_);
  } else if (riid == IID_IDraw || riid == IID_IDraw2) {
    // The dual interfaces: IDispatch's methods, then the members' entries.
    // IDraw2's table begins with IDraw's, so one face serves both. It holds
    // no count of its own; AddRef below counts the object.
    *ppvObject = &owner_.vtable_face_;
    owner_.AddRef();
    return S_OK;
  } else if (riid == IID_ISupportErrorInfo) {
    *ppvObject = static_cast<ISupportErrorInfo*>(&owner_);
  } else {
    return E_NOINTERFACE;
  }
  static_cast<IUnknown*>(*ppvObject)->AddRef();
  return S_OK;
}

ULONG Tdraw::NonDelegatingUnknown::AddRef() { return ++owner_.refs_; }

ULONG Tdraw::NonDelegatingUnknown::Release() {
  const ULONG refs = --owner_.refs_;
  if (refs == 0) delete &owner_;  // COM's pair: created by CreateDrawObject
  return refs;
}

HRESULT Tdraw::QueryInterface(REFIID riid, void** ppvObject) {
  return controller_->QueryInterface(riid, ppvObject);
}
ULONG Tdraw::AddRef() { return controller_->AddRef(); }
ULONG Tdraw::Release() { return controller_->Release(); }

HRESULT Tdraw::GetTypeInfoCount(UINT* pctinfo) {
  if (pctinfo == nullptr) return E_INVALIDARG;
  *pctinfo = 1;
  return S_OK;
}

HRESULT Tdraw::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) {
  if (ppTInfo == nullptr) return E_INVALIDARG;
  *ppTInfo = nullptr;
  if (iTInfo != 0) return DISP_E_BADINDEX;
  return GetDrawTypeInfo(ppTInfo);
}

HRESULT Tdraw::InterfaceSupportsErrorInfo(REFIID riid) {
  return (riid == IID_IDraw || riid == IID_IDraw2 || riid == IID_IDispatch) ? S_OK : S_FALSE;
}

HRESULT CreateDrawObject(IUnknown* outer, REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
  Tdraw* draw = nullptr;
  try {
    draw = new Tdraw(outer);  // freed by its last Release
  } catch (...) {
    return E_UNEXPECTED;
  }
  // The creation reference is handed over to the caller's interface, or
  // dropped when the interface is missing, which frees the object.
  HRESULT hr = draw->InnerUnknown()->QueryInterface(riid, out);
  draw->InnerUnknown()->Release();
  return hr;
}

}  // namespace plotvane
