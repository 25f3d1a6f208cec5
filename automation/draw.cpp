#include "automation/draw.h"

#include "automation/com/guid.h"
#include "automation/draw_object.h"
#include "automation/members.h"
#include "automation/server.h"
#include "automation/typelib.h"

namespace plotvane {

Tdraw::Tdraw(IUnknown* outer)
    : controller_(outer != nullptr ? outer : &inner_), Graph_(std::make_unique<TChartix>()) {
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
  } else if (riid == IID_IDispatch || riid == IID_IDraw) {
    // IDraw is offered for late binding: its calls go through Invoke.
    *ppvObject = static_cast<IDispatch*>(&owner_);
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
  return (riid == IID_IDraw || riid == IID_IDispatch) ? S_OK : S_FALSE;
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
