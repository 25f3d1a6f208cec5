// A Draw object held the way a scripting client holds it: through IDispatch
// only, members resolved by name with GetIDsOfNames and called with Invoke,
// arguments in natural order (a property write's value last). Used by the
// tests and the benchmarks, so both drive the object exactly as clients do.
#ifndef PLOTVANE_TESTING_DRAW_CLIENT_H_
#define PLOTVANE_TESTING_DRAW_CLIENT_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "automation/draw.h"
#include "base/ascii.h"
#include "client/graph_kinds.h"
#include "runtime/com.h"

namespace plotvane::testing_client {

class DrawClient {
 public:
  DrawClient() : created_(CreateDrawObject(nullptr, IID_IDispatch, reinterpret_cast<void**>(&d_))) {}
  ~DrawClient() {
    if (d_ != nullptr) d_->Release();
  }
  DrawClient(const DrawClient&) = delete;
  DrawClient& operator=(const DrawClient&) = delete;

  // What creating the object returned; S_OK when the client holds one.
  HRESULT created() const { return created_; }
  IDispatch* dispatch() const { return d_; }
  IDispatch* operator->() const { return d_; }

  HRESULT IdOf(const char16_t* name, DISPID* id) const {
    std::u16string n(name);
    LPOLESTR names[] = {n.data()};
    *id = DISPID_UNKNOWN;
    return d_->GetIDsOfNames(IID_NULL, names, 1, 0, id);
  }

  HRESULT Invoke(DISPID id, WORD flags, std::vector<Variant> args = {}, VARIANT* result = nullptr,
                 EXCEPINFO* excep = nullptr) const {
    // Invoke takes its arguments last to first.
    std::vector<VARIANT> raw;
    for (auto it = args.rbegin(); it != args.rend(); ++it) raw.push_back(*it->Get());
    DISPID put = DISPID_PROPERTYPUT;
    const bool is_put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS params{raw.data(), is_put ? &put : nullptr, static_cast<UINT>(raw.size()),
                      is_put ? 1u : 0u};
    return d_->Invoke(id, IID_NULL, 0, flags, &params, result, excep, nullptr);
  }
  HRESULT Invoke(const char16_t* name, WORD flags, std::vector<Variant> args = {},
                 VARIANT* result = nullptr, EXCEPINFO* excep = nullptr) const {
    DISPID id = DISPID_UNKNOWN;
    if (const HRESULT hr = IdOf(name, &id); FAILED(hr)) return hr;
    return Invoke(id, flags, std::move(args), result, excep);
  }

  HRESULT Put(const char16_t* name, Variant value) const {
    std::vector<Variant> args;
    args.push_back(std::move(value));
    return Invoke(name, DISPATCH_PROPERTYPUT, std::move(args));
  }
  HRESULT Call(const char16_t* name, std::vector<Variant> args = {}, VARIANT* result = nullptr) const {
    return Invoke(name, DISPATCH_METHOD, std::move(args), result);
  }

 private:
  IDispatch* d_ = nullptr;
  HRESULT created_;
};

// Arguments in natural order. (Variants move only, so no initializer list.)
template <typename... T>
std::vector<Variant> Values(T&&... values) {
  std::vector<Variant> v;
  (v.push_back(std::forward<T>(values)), ...);
  return v;
}

// The byte-array property of chart kind `kind` (TxGraphType: pie, bar,
// line, stacked bar) in format `format` (TxImageFormat: PNG, GIF, BMP, JPEG).
inline const char16_t* BytesMemberName(int kind, int format) {
  static const auto kNames = [] {
    static const char* kFormats[] = {"PNG", "GIF", "BMP", "JPG"};
    std::array<std::array<std::u16string, std::size(kFormats)>, kGraphKindCount> names;
    for (size_t k = 0; k < names.size(); ++k) {
      for (size_t f = 0; f < names[k].size(); ++f) {
        names[k][f] = Widen(std::string(kFormats[f]) + kGraphKinds[k].member);
      }
    }
    return names;
  }();
  return kNames[kind][format].c_str();
}

// The bytes of a one-dimensional byte array of any lower bound; its bounds
// go to `lbound` and `ubound` when given. Empty for anything else.
inline std::vector<uint8_t> ArrayBytes(const VARIANT& v, LONG* lbound = nullptr, LONG* ubound = nullptr) {
  if (v.vt != (VT_ARRAY | VT_UI1) || v.parray == nullptr) return {};
  LONG lo = 0, hi = -1;
  SafeArrayGetLBound(v.parray, 1, &lo);
  SafeArrayGetUBound(v.parray, 1, &hi);
  if (lbound != nullptr) *lbound = lo;
  if (ubound != nullptr) *ubound = hi;
  const uint8_t* data = static_cast<const uint8_t*>(v.parray->pvData);
  return std::vector<uint8_t>(data, data + (hi - lo + 1));
}

// The description of this thread's error information; empty when there is none.
inline std::u16string ErrorDescription() {
  ComPtr<IErrorInfo> error;
  if (GetErrorInfo(0, error.ReleaseAndGetAddressOf()) != S_OK || !error) return u"";
  BSTR text = nullptr;
  error->GetDescription(&text);
  std::u16string out(text == nullptr ? u"" : text, SysStringLen(text));
  SysFreeString(text);
  return out;
}

}  // namespace plotvane::testing_client

#endif  // PLOTVANE_TESTING_DRAW_CLIENT_H_
