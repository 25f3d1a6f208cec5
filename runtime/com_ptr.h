// ComPtr: holds one reference to an automation interface.
#ifndef PLOTVANE_RUNTIME_COM_PTR_H_
#define PLOTVANE_RUNTIME_COM_PTR_H_

#include <cstddef>
#include <utility>

#include "runtime/interfaces.h"

namespace plotvane {

// Holds one reference to an interface of type T (IUnknown or derived) and
// releases it on destruction. Copying adds a reference; moving transfers it
// and leaves the source empty.
//
//   ComPtr<IClassFactory> factory;
//   DllGetClassObject(clsid, IID_IClassFactory, factory.ReleaseAndGetAddressOfVoid());
//   ComPtr<IDispatch> draw;
//   factory->CreateInstance(nullptr, IID_IDispatch, draw.ReleaseAndGetAddressOfVoid());
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}  // NOLINT: an empty pointer converts implicitly
  // Shares `p`: adds a reference of its own.
  explicit ComPtr(T* p) : p_(p) {
    if (p_ != nullptr) p_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(other.Detach()) {}
  ComPtr& operator=(const ComPtr& other) {
    ComPtr(other).Swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr(std::move(other)).Swap(*this);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Takes over the reference the caller holds on `p` (no AddRef).
  void Attach(T* p) {
    Reset();
    p_ = p;
  }
  // Hands the reference to the caller, who must release it.
  T* Detach() { return std::exchange(p_, nullptr); }
  // Releases the reference held, if any.
  void Reset() {
    if (T* p = Detach()) p->Release();
  }
  // Releases the reference held and returns where a callee may store a new
  // one, which this object then owns.
  T** ReleaseAndGetAddressOf() {
    Reset();
    return &p_;
  }
  // The same, for the void** out-parameters of QueryInterface and factories.
  void** ReleaseAndGetAddressOfVoid() { return reinterpret_cast<void**>(ReleaseAndGetAddressOf()); }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

  // Asks the object for interface `iid` of type U. E_POINTER when empty.
  template <typename U>
  HRESULT As(REFIID iid, ComPtr<U>* out) const {
    if (p_ == nullptr) return E_POINTER;
    return p_->QueryInterface(iid, out->ReleaseAndGetAddressOfVoid());
  }

 private:
  T* p_ = nullptr;
};

}  // namespace plotvane

#endif  // PLOTVANE_RUNTIME_COM_PTR_H_
