// The error object and the per-thread slot that holds it.
#include "runtime/error_info.h"

#include <atomic>
#include <new>
#include <string>
#include <utility>

#include "runtime/bstr.h"
#include "runtime/com_ptr.h"

namespace plotvane {
namespace {

// One error object: written through ICreateErrorInfo, read through
// IErrorInfo. Its fields are written by the failing member before the object
// is published, so they need no lock; the reference count is atomic because
// the object may be released on another thread than the one that made it.
class ErrorObject final : public IErrorInfo, public ICreateErrorInfo {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IErrorInfo) {
      *ppvObject = static_cast<IErrorInfo*>(this);
    } else if (riid == IID_ICreateErrorInfo) {
      *ppvObject = static_cast<ICreateErrorInfo*>(this);
    } else {
      *ppvObject = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
  ULONG Release() override {
    const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;  // the object's own end, as every COM object's
    return left;
  }

  HRESULT GetGUID(GUID* pGUID) override {
    if (pGUID == nullptr) return E_INVALIDARG;
    *pGUID = guid_;
    return S_OK;
  }
  HRESULT GetSource(BSTR* out) override { return CopyOut(source_, out); }
  HRESULT GetDescription(BSTR* out) override { return CopyOut(description_, out); }
  HRESULT GetHelpFile(BSTR* out) override { return CopyOut(help_file_, out); }
  HRESULT GetHelpContext(DWORD* pdwHelpContext) override {
    if (pdwHelpContext == nullptr) return E_INVALIDARG;
    *pdwHelpContext = help_context_;
    return S_OK;
  }

  HRESULT SetGUID(REFGUID rguid) override {
    guid_ = rguid;
    return S_OK;
  }
  HRESULT SetSource(LPOLESTR text) override { return CopyIn(text, &source_); }
  HRESULT SetDescription(LPOLESTR text) override { return CopyIn(text, &description_); }
  HRESULT SetHelpFile(LPOLESTR text) override { return CopyIn(text, &help_file_); }
  HRESULT SetHelpContext(DWORD dwHelpContext) override {
    help_context_ = dwHelpContext;
    return S_OK;
  }

 private:
  ~ErrorObject() = default;

  // A field that was never set reads back as the null BSTR (the empty string).
  static HRESULT CopyOut(const BStr& field, BSTR* out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (field.Get() == nullptr) return S_OK;
    *out = SysAllocStringLen(field.Get(), static_cast<UINT>(field.size()));
    return *out == nullptr ? E_OUTOFMEMORY : S_OK;
  }
  static HRESULT CopyIn(LPOLESTR text, BStr* field) {
    BStr copy;
    if (text != nullptr) {
      copy.Attach(SysAllocString(text));
      if (copy.Get() == nullptr) return E_OUTOFMEMORY;
    }
    *field = std::move(copy);
    return S_OK;
  }

  std::atomic<ULONG> refs_{1};
  GUID guid_ = GUID_NULL;
  BStr source_;
  BStr description_;
  BStr help_file_;
  DWORD help_context_ = 0;
};

// The calling thread's slot. Its destructor runs when the thread ends and
// releases an object nobody collected.
ComPtr<IErrorInfo>& ThreadSlot() {
  thread_local ComPtr<IErrorInfo> slot;
  return slot;
}

}  // namespace
}  // namespace plotvane

HRESULT CreateErrorInfo(ICreateErrorInfo** pperrinfo) {
  if (pperrinfo == nullptr) return E_INVALIDARG;
  *pperrinfo = new (std::nothrow) plotvane::ErrorObject();
  return *pperrinfo == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT SetErrorInfo(ULONG /*dwReserved*/, IErrorInfo* perrinfo) {
  // Swap first and release afterwards: releasing the old object may run a
  // client's code, which may itself set error information.
  plotvane::ComPtr<IErrorInfo> previous(perrinfo);
  plotvane::ThreadSlot().Swap(previous);
  return S_OK;
}

HRESULT GetErrorInfo(ULONG /*dwReserved*/, IErrorInfo** pperrinfo) {
  if (pperrinfo == nullptr) return E_INVALIDARG;
  *pperrinfo = plotvane::ThreadSlot().Detach();
  return *pperrinfo == nullptr ? S_FALSE : S_OK;
}
