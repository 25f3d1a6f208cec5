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

  // Calls member `id` (flags as Invoke takes them) with `args` in natural
  // order; a write's value is the last. Returns (hresult, value, source,
  // description).
  py::tuple Call(DISPID id, WORD flags, const py::tuple& args) const {
    std::vector<Variant> values;
    for (const py::handle& a : args) values.push_back(ToVariant(ToValue(a)));
    std::vector<VARIANT> raw;  // last argument first
    for (auto it = values.rbegin(); it != values.rend(); ++it) raw.push_back(*it->Get());
    DISPID put = DISPID_PROPERTYPUT;
    const bool is_put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS params{raw.data(), is_put ? &put : nullptr, static_cast<UINT>(raw.size()),
                      is_put ? 1u : 0u};
    Variant result;
    HRESULT hr;
    {
      py::gil_scoped_release unlocked;  // drawing takes a while; other threads may run
      hr = draw_->Invoke(id, IID_NULL, 0, flags, &params, result.Get(), nullptr, nullptr);
    }
    std::pair<std::string, std::string> error;
    if (FAILED(hr)) error = TakeErrorInfo();
    return py::make_tuple(hr, FromVariant(*result.Get()), error.first, error.second);
  }

  // The interface's description: (name, help) of the interface and, per
  // function of its dispatch view in order, (name, dispid, invkind, help,
  // parameter names, parameter type names, result type name).
  py::tuple Describe() const {
    ComPtr<ITypeInfo> info;
    Check(draw_->GetTypeInfo(0, 0, info.ReleaseAndGetAddressOf()));
    std::string name, help;
    Documentation(info.Get(), MEMBERID_NIL, &name, &help);
    py::list functions;
    TypeAttr attr(info.Get());
    for (UINT i = 0; i < attr->cFuncs; ++i) {
      FuncDesc f(info.Get(), i);
      const std::vector<std::string> names = FunctionNames(info.Get(), f.get());
      std::string member_help;
      Documentation(info.Get(), f->memid, nullptr, &member_help);
      py::list params, types;
      for (SHORT p = 0; p < f->cParams; ++p) {
        params.append(names[static_cast<size_t>(p) + 1]);
        types.append(TypeName(info.Get(), f->lprgelemdescParam[p].tdesc));
      }
      functions.append(py::make_tuple(names[0], f->memid, static_cast<int>(f->invkind),
                                      member_help, params, types,
                                      TypeName(info.Get(), f->elemdescFunc.tdesc)));
    }
    return py::make_tuple(name, help, functions);
  }

  // The library's enumerations: (name, help, [(constant, value)]) each.
  py::list Enumerations() const {
    ComPtr<ITypeInfo> info;
    ComPtr<ITypeLib> library;
    Check(draw_->GetTypeInfo(0, 0, info.ReleaseAndGetAddressOf()));
    Check(info->GetContainingTypeLib(library.ReleaseAndGetAddressOf(), nullptr));
    py::list out;
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
      ComPtr<ITypeInfo> entry;
      Check(library->GetTypeInfo(i, entry.ReleaseAndGetAddressOf()));
      TypeAttr attr(entry.Get());
      if (attr->typekind != TKIND_ENUM) continue;
      std::string name, help;
      Documentation(entry.Get(), MEMBERID_NIL, &name, &help);
      py::list values;
      for (UINT v = 0; v < attr->cVars; ++v) {
        VARDESC* var = nullptr;
        Check(entry->GetVarDesc(v, &var));
        std::string constant;
        Variant value;
        const HRESULT hr = VariantChangeType(value.Get(), var->lpvarValue, 0, VT_I4);
        const MEMBERID memid = var->memid;
        entry->ReleaseVarDesc(var);
        Check(hr);
        Documentation(entry.Get(), memid, &constant, nullptr);
        values.append(py::make_tuple(constant, value->lVal));
      }
      out.append(py::make_tuple(name, help, values));
    }
    return out;
  }

 private:
  // A parameter's or result's type: the enumeration's name, or the
  // automation type ("long", "BSTR", "VARIANT", …).
  static std::string TypeName(ITypeInfo* info, const TYPEDESC& type) {
    if (type.vt == VT_PTR) return TypeName(info, *type.lptdesc);
    if (type.vt == VT_USERDEFINED) return NameOfRef(info, type.hreftype);
    switch (type.vt) {
      case VT_I2: case VT_I4: case VT_UI2: case VT_UI4: case VT_INT: case VT_UINT: return "int";
      case VT_R4: case VT_R8: return "float";
      case VT_BSTR: return "str";
      case VT_BOOL: return "bool";
      case VT_VARIANT: return "bytes";  // the only VARIANTs IDraw returns are pictures
      default: return "None";
    }
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
      .def("describe", plotvane::Translated(&DrawObject::Describe))
      .def("enumerations", plotvane::Translated(&DrawObject::Enumerations));
  m.attr("DISPATCH_METHOD") = DISPATCH_METHOD;
  m.attr("DISPATCH_PROPERTYGET") = DISPATCH_PROPERTYGET;
  m.attr("DISPATCH_PROPERTYPUT") = DISPATCH_PROPERTYPUT;
}
