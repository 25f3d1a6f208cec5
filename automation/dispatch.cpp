// Late-bound calls: names to dispatch numbers, and Invoke, which checks the
// call against the member table, coerces the arguments to the declared types
// and runs the member's handler inside the error guard.
//
// Arguments arrive in DISPPARAMS in reverse order (the last one first); a
// property write carries its new value as the one named argument
// DISPID_PROPERTYPUT. Failures of the dispatch layer itself use the DISP_E_
// codes; failures of a member become E_UNEXPECTED with error information, or
// RPC_E_CALL_CANCELED when the member was stopped because the calling
// thread's call was cancelled (runtime/call_cancel.h).
#include <array>
#include <atomic>
#include <exception>
#include <new>
#include <string>

#include "automation/draw_object.h"
#include "automation/members.h"
#include "automation/vtable.h"
#include "base/ascii.h"
#include "base/utf.h"
#include "canvas/stop.h"
#include "runtime/bstr.h"
#include "runtime/call_cancel.h"
#include "runtime/com_ptr.h"
#include "runtime/error_info.h"
#include "runtime/variant.h"

namespace plotvane {

namespace {

// What a member stopped at its caller's request reports.
const char* const kCancelled = "The call was cancelled.";

// Leaves the details of a failed member for the caller: the thread's error
// object (naming the interface `iid` of the member), and the EXCEPINFO when
// the caller gave one.
HRESULT ReportFailure(const std::string& message, const IID& iid, EXCEPINFO* excep_info,
                      HRESULT result = E_UNEXPECTED) {
  const std::u16string description = Utf8ToUtf16(message);
  const std::u16string source = Widen(kProgID);
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.ReleaseAndGetAddressOf()))) {
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(source.c_str()));
    create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    ComPtr<IErrorInfo> error;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, error.ReleaseAndGetAddressOfVoid())))
      SetErrorInfo(0, error.Get());
  }
  if (excep_info == nullptr) return result;
  *excep_info = EXCEPINFO{};
  excep_info->bstrSource = SysAllocStringLen(source.data(), static_cast<UINT>(source.size()));
  excep_info->bstrDescription =
      SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
  excep_info->scode = result;
  return DISP_E_EXCEPTION;
}

// Owns the coerced arguments of one call.
class Arguments {
 public:
  Arguments() {
    for (auto& v : values_) VariantInit(&v);
  }
  ~Arguments() {
    for (auto& v : values_) VariantClear(&v);
  }
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  VARIANT* data() { return values_.data(); }
  VARIANT& operator[](size_t i) { return values_[i]; }

 private:
  std::array<VARIANT, kMaxParams + 1> values_;
};

// Coerces `source` to `type` into `target`; DISP_E_TYPEMISMATCH or
// DISP_E_OVERFLOW when it cannot be done.
HRESULT Coerce(const VARIANT& source, TArgType type, VARIANT* target) {
  HRESULT hr = VariantChangeType(target, &source, 0, VarTypeOf(type));
  if (SUCCEEDED(hr)) return S_OK;
  return hr == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
}

}  // namespace

HRESULT CallMember(Tdraw& draw, const TMember& member, TAccessor accessor, VARIANT* args,
                   const VARIANT& value, VARIANT* result, EXCEPINFO* excep_info) {
  // A call made after its caller asked for the stop fails before it starts;
  // one that draws stops when the stop is asked for.
  const std::atomic<bool>* cancelled = CallCancelledFlag();
  if (cancelled->load(std::memory_order_acquire)) {
    return ReportFailure(kCancelled, *InterfaceOf(member).iid, excep_info, RPC_E_CALL_CANCELED);
  }
  draw.Graph().SetStopTest({cancelled});
  try {
    switch (accessor) {
      case TAccessor::kGet: member.get(draw, args, result); break;
      case TAccessor::kPut: member.put(draw, args, value); break;
      case TAccessor::kCall: member.call(draw, args, result); break;
    }
  } catch (const EStopped&) {
    return ReportFailure(kCancelled, *InterfaceOf(member).iid, excep_info, RPC_E_CALL_CANCELED);
  } catch (const std::exception& e) {
    return ReportFailure(e.what(), *InterfaceOf(member).iid, excep_info);
  } catch (...) {
    return ReportFailure("Unexpected failure", *InterfaceOf(member).iid, excep_info);
  }
  return S_OK;
}

HRESULT Tdraw::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) {
  if (cNames == 0) return S_OK;
  if (rgszNames == nullptr || rgDispId == nullptr) return E_INVALIDARG;
  for (UINT i = 0; i < cNames; ++i) rgDispId[i] = DISPID_UNKNOWN;
  if (rgszNames[0] == nullptr) return DISP_E_UNKNOWNNAME;
  const TMember* member = FindMember(std::u16string(rgszNames[0]));
  if (member == nullptr) return DISP_E_UNKNOWNNAME;
  rgDispId[0] = member->dispid;
  HRESULT hr = S_OK;
  // Parameter names map to their positions.
  for (UINT i = 1; i < cNames; ++i) {
    if (rgszNames[i] == nullptr) {
      hr = DISP_E_UNKNOWNNAME;
      continue;
    }
    const std::u16string name(rgszNames[i]);
    for (uint8_t p = 0; p < member->param_count; ++p) {
      if (EqualIgnoringCase(name, member->params[p].name)) rgDispId[i] = p;
    }
    if (rgDispId[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT Tdraw::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                      VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) {
  const TMember* member = FindMember(dispIdMember);
  if (member == nullptr) return DISP_E_MEMBERNOTFOUND;
  DISPPARAMS no_args{nullptr, nullptr, 0, 0};
  const DISPPARAMS& params = pDispParams != nullptr ? *pDispParams : no_args;
  // Counts without their arrays are refused before anything is read.
  if (params.cArgs > 0 && params.rgvarg == nullptr) return E_INVALIDARG;
  if (params.cNamedArgs > 0 && params.rgdispidNamedArgs == nullptr) return E_INVALIDARG;

  const bool put = (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  const bool get = !put && (wFlags & DISPATCH_PROPERTYGET) != 0 && member->kind != TMemberKind::kMethod;
  const bool call = !put && (wFlags & DISPATCH_METHOD) != 0 && member->kind == TMemberKind::kMethod;
  if (put && member->kind != TMemberKind::kGetPut) return DISP_E_MEMBERNOTFOUND;
  if (!put && !get && !call) return DISP_E_MEMBERNOTFOUND;

  // A write's value is the named argument DISPID_PROPERTYPUT (or, from
  // callers that do not name it, the last argument).
  UINT positional = params.cArgs;
  if (put) {
    if (params.cNamedArgs > 1 ||
        (params.cNamedArgs == 1 && params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
      return DISP_E_PARAMNOTFOUND;
    if (params.cArgs == 0) return DISP_E_BADPARAMCOUNT;
    positional = params.cArgs - 1;
  } else if (params.cNamedArgs != 0) {
    return DISP_E_NONAMEDARGS;
  }
  if (positional != member->param_count) return DISP_E_BADPARAMCOUNT;

  Arguments args;
  // rgvarg[cArgs - 1] is the first positional argument; for a write
  // rgvarg[0] is the value.
  for (UINT i = 0; i < positional; ++i) {
    const UINT at = params.cArgs - 1 - i;
    HRESULT hr = Coerce(params.rgvarg[at], member->params[i].type, &args[i]);
    if (FAILED(hr)) {
      if (puArgErr != nullptr) *puArgErr = at;
      return hr;
    }
  }
  VARIANT& value = args[kMaxParams];
  if (put) {
    HRESULT hr = Coerce(params.rgvarg[0], member->type, &value);
    if (FAILED(hr)) {
      if (puArgErr != nullptr) *puArgErr = 0;
      return hr;
    }
  }

  Variant result;
  const TAccessor accessor = put ? TAccessor::kPut : get ? TAccessor::kGet : TAccessor::kCall;
  const HRESULT hr = CallMember(*this, *member, accessor, args.data(), value, result.Get(), pExcepInfo);
  if (FAILED(hr)) return hr;
  if (pVarResult != nullptr) {
    VariantClear(pVarResult);
    *pVarResult = result.Detach();
  }
  return S_OK;
}

}  // namespace plotvane
