// _plotvane: the Python module's bridge to the server library. It makes Draw
// objects through the server's entry point and IClassFactory, calls their
// members through IDispatch, and reads the type library for the names, kinds,
// types and help strings of the members and the enumerations. The Python
// package above it (plotvane/__init__.py) turns these into attributes,
// methods, enum.IntEnum classes and plotvane.Error.
//
// Values cross as follows: bool, int, float, str and None become VT_BOOL,
// VT_I4 (VT_R8 beyond 32 bits), VT_R8, VT_BSTR and VT_EMPTY, which Invoke
// coerces to each parameter's declared type; results come back as bool, int,
// float, str, bytes (byte arrays) or None.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/utf.h"
#include "client/call_failure.h"
#include "client/interface_reference.h"
#include "client/script_value.h"
#include "client/type_reader.h"
#include "plotvane.h"
#include "runtime/com.h"
#include "runtime/typeinfo.h"

namespace py = pybind11;

namespace plotvane {
namespace {

// A Python argument as the value a script would write for it.
ScriptValue ToValue(const py::handle& value) {
  if (value.is_none()) return std::monostate();
  if (py::isinstance<py::bool_>(value)) return value.cast<bool>();
  if (py::isinstance<py::int_>(value)) {
    const long long n = value.cast<long long>();
    if (n >= INT32_MIN && n <= INT32_MAX) return static_cast<int32_t>(n);
    return static_cast<double>(n);
  }
  if (py::isinstance<py::float_>(value)) return value.cast<double>();
  if (py::isinstance<py::str>(value)) return value.cast<std::string>();
  throw py::type_error("plotvane: arguments are bool, int, float, str or None, not " +
                       std::string(py::str(value.get_type().attr("__name__"))));
}

py::object FromVariant(const VARIANT& v) {
  switch (v.vt) {
    case VT_EMPTY: return py::none();
    case VT_BOOL: return py::bool_(v.boolVal != 0);
    case VT_I2: return py::int_(v.iVal);
    case VT_I4: return py::int_(v.lVal);
    case VT_UI2: return py::int_(v.uiVal);
    case VT_UI4: return py::int_(v.ulVal);
    case VT_R4: return py::float_(v.fltVal);
    case VT_R8: return py::float_(v.dblVal);
    case VT_BSTR: {
      const std::string text = Utf16ToUtf8(std::u16string_view(v.bstrVal == nullptr ? u"" : v.bstrVal,
                                                           SysStringLen(v.bstrVal)));
      return py::str(text);
    }
    case VT_ARRAY | VT_UI1: {
      SafeArrayAccess bytes(v.parray);
      if (!bytes.ok()) return py::bytes();
      return py::bytes(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    default: {
      Variant copy;
      if (FAILED(VariantChangeType(copy.Get(), &v, 0, VT_BSTR))) return py::none();
      return FromVariant(*copy.Get());
    }
  }
}

// The details of the thread's error information: (source, description).
std::pair<std::string, std::string> TakeErrorInfo() {
  ComPtr<IErrorInfo> error;
  if (GetErrorInfo(0, error.ReleaseAndGetAddressOf()) != S_OK || !error) return {};
  BStr source, description;
  error->GetSource(source.ReleaseAndGetAddressOf());
  error->GetDescription(description.ReleaseAndGetAddressOf());
  return {Utf16ToUtf8(source.view()), Utf16ToUtf8(description.view())};
}

// One Draw object of the server.
class DrawObject {
 public:
  DrawObject() {
    ComPtr<IClassFactory> factory;
    HRESULT hr = DllGetClassObject(CLSID_Draw, IID_IClassFactory, factory.ReleaseAndGetAddressOfVoid());
    if (SUCCEEDED(hr))
      hr = factory->CreateInstance(nullptr, IID_IDispatch, draw_.ReleaseAndGetAddressOfVoid());
    if (FAILED(hr)) throw std::runtime_error("plotvane: cannot create a Draw object");
  }

  // The member number of `name`, matched without case; -1 when unknown.
  DISPID IdOf(const std::string& name) const {
    std::u16string text = Utf8ToUtf16(name);
    LPOLESTR names[] = {text.data()};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(draw_->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) return DISPID_UNKNOWN;
    return id;
  }

  // Calls member `id` (flags as Invoke takes them), which the caller named
  // `name`, with `args` in natural order; a write's value is the last.
  // Returns (hresult, value, source, description); a call the dispatch layer
  // refused is described from the type library.
  py::tuple Call(DISPID id, WORD flags, const py::tuple& args, const std::string& name) const {
    std::vector<Variant> values;
    for (const py::handle& a : args) values.push_back(ToVariant(ToValue(a)));
    std::vector<VARIANT> in_order, raw;  // raw: last argument first
    for (const Variant& v : values) in_order.push_back(*v.Get());
    for (auto it = values.rbegin(); it != values.rend(); ++it) raw.push_back(*it->Get());
    DISPID put = DISPID_PROPERTYPUT;
    const bool is_put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS params{raw.data(), is_put ? &put : nullptr, static_cast<UINT>(raw.size()),
                      is_put ? 1u : 0u};
    Variant result;
    HRESULT hr;
    UINT arg_error = 0;
    {
      py::gil_scoped_release unlocked;  // drawing takes a while; other threads may run
      hr = draw_->Invoke(id, IID_NULL, 0, flags, &params, result.Get(), nullptr, &arg_error);
    }
    std::pair<std::string, std::string> error;
    if (FAILED(hr)) {
      error = TakeErrorInfo();
      if (error.second.empty()) error.second = Explain(hr, name, flags, in_order, arg_error);
    }
    return py::make_tuple(hr, FromVariant(*result.Get()), error.first, error.second);
  }

  // What was wrong with a call of `name` that the dispatch layer would
  // refuse with `hresult` (unsigned, as the module raises it), given `args`:
  // the text the module raises.
  std::string ExplainCall(uint32_t hresult, const std::string& name, WORD flags,
                          const py::tuple& args) const {
    const HRESULT hr = static_cast<HRESULT>(hresult);
    std::vector<Variant> values;
    for (const py::handle& a : args) values.push_back(ToVariant(ToValue(a)));
    std::vector<VARIANT> in_order;
    for (const Variant& v : values) in_order.push_back(*v.Get());
    return Explain(hr, name, flags, in_order, 0);
  }

  // The interface's description: (name, help, members, enumerations). A
  // member is (name, dispid, readable, writable, method, help, parameter
  // names, parameter types, type); an enumeration (name, [(constant,
  // value)]). Types are named as the interface declares them.
  py::tuple Describe() const {
    ComPtr<ITypeInfo> info;
    Check(draw_->GetTypeInfo(0, 0, info.ReleaseAndGetAddressOf()));
    const InterfaceReference reference = ReadInterfaceReference(info.Get());
    py::list members, enumerations;
    for (const MemberReference& m : reference.members) {
      py::list names, types;
      for (const ParamReference& p : m.params) {
        names.append(p.name);
        types.append(p.type);
      }
      members.append(py::make_tuple(m.name, m.dispid, m.get, m.put, m.method, m.help, names,
                                    types, m.type));
    }
    for (const EnumReference& e : reference.enumerations) {
      enumerations.append(py::make_tuple(e.name, e.values));
    }
    return py::make_tuple(reference.name, reference.help, members, enumerations);
  }

 private:
  std::string Explain(HRESULT hr, const std::string& name, WORD flags,
                      const std::vector<VARIANT>& args, UINT arg_error) const {
    FailedCall call;
    call.hr = hr;
    call.name = name;
    call.kind = flags == DISPATCH_PROPERTYPUT   ? CallKind::kPut
                : flags == DISPATCH_PROPERTYGET ? CallKind::kGet
                                                : CallKind::kCall;
    call.args = args.data();
    call.arg_count = args.size();
    call.arg_error = arg_error;
    return ExplainFailedCall(draw_.Get(), call);
  }

  ComPtr<IDispatch> draw_;
};

// Type library failures become Python errors.
template <typename R>
auto Translated(R (DrawObject::*f)() const) {
  return [f](const DrawObject& d) {
    try {
      return (d.*f)();
    } catch (const TypeReadFailure& failure) {
      throw std::runtime_error("plotvane: cannot read the type library (" +
                               std::to_string(failure.hr) + ")");
    }
  };
}

}  // namespace
}  // namespace plotvane

PYBIND11_MODULE(_plotvane, m) {
  using plotvane::DrawObject;
  m.doc() = "The server library's Draw objects, called through IDispatch.";
  py::class_<DrawObject>(m, "DrawObject")
      .def(py::init<>())
      .def("id_of", &DrawObject::IdOf)
      .def("call", &DrawObject::Call)
      .def("explain", &DrawObject::ExplainCall)
      .def("describe", plotvane::Translated(&DrawObject::Describe));
  m.attr("DISPATCH_METHOD") = DISPATCH_METHOD;
  m.attr("DISPATCH_PROPERTYGET") = DISPATCH_PROPERTYGET;
  m.attr("DISPATCH_PROPERTYPUT") = DISPATCH_PROPERTYPUT;
  m.attr("DISP_E_UNKNOWNNAME") = static_cast<uint32_t>(DISP_E_UNKNOWNNAME);
  m.attr("DISP_E_MEMBERNOTFOUND") = static_cast<uint32_t>(DISP_E_MEMBERNOTFOUND);
  m.attr("DISP_E_BADPARAMCOUNT") = static_cast<uint32_t>(DISP_E_BADPARAMCOUNT);
  m.attr("DISP_E_TYPEMISMATCH") = static_cast<uint32_t>(DISP_E_TYPEMISMATCH);
  m.attr("DISP_E_OVERFLOW") = static_cast<uint32_t>(DISP_E_OVERFLOW);
  m.attr("DISP_E_PARAMNOTFOUND") = static_cast<uint32_t>(DISP_E_PARAMNOTFOUND);
}
