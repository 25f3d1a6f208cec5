// Prints a type library as the header an interface compiler would make of
// it, asking the library for everything through ITypeLib and ITypeInfo.
//
// Layout of what is written:
//   a note that the file is generated, include guard, the runtime's header
//   enumerations      typedef enum TxGridStyle { gsSolid = 0, ... } TxGridStyle;
//   identifiers       static const IID IID_IDraw = {0x9A08A001, ...};
//   C++ interfaces    struct IDraw : public IDispatch { virtual HRESULT ... = 0; };
//                     struct IDraw2 : public IDraw { ... };
//   C interfaces      struct IDrawVtbl { ... };  struct IDraw { lpVtbl };  macros; a
//                     derived interface's table repeats its bases' methods first
//   entry points      DllGetClassObject, DllCanUnloadNow, ...
#include "tools/header.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/utf.h"
#include "client/type_reader.h"
#include "runtime/bstr.h"
#include "runtime/com_ptr.h"
#include "runtime/guid.h"
#include "runtime/variant.h"

namespace plotvane {

namespace {

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%0*X", digits, value);
  return text;
}

// {0x9A08A001, 0xF7D1, 0x4848, {0x92, 0xB9, ...}}
std::string GuidInitializer(REFGUID guid) {
  std::string out = "{" + Hex(guid.Data1, 8) + ", " + Hex(guid.Data2, 4) + ", " +
                    Hex(guid.Data3, 4) + ", {";
  for (int i = 0; i < 8; ++i) out += (i > 0 ? ", " : "") + Hex(guid.Data4[i], 2);
  return out + "}}";
}

void WriteGuid(const char* type, const std::string& name, REFGUID guid, std::string* out) {
  *out += "/* {" + GuidText(guid) + "} */\n";
  *out += std::string("static const ") + type + " " + name + " = " + GuidInitializer(guid) +
          ";\n";
}

// The C type of a parameter or result, as the runtime's header names it.
std::string CTypeName(ITypeInfo* context, const TYPEDESC& type) {
  static const struct {
    VARTYPE vt;
    const char* name;
  } kBaseTypes[] = {
      {VT_I2, "SHORT"},          {VT_I4, "LONG"},        {VT_R4, "FLOAT"},
      {VT_R8, "DOUBLE"},         {VT_BSTR, "BSTR"},      {VT_BOOL, "VARIANT_BOOL"},
      {VT_VARIANT, "VARIANT"},   {VT_UI1, "BYTE"},       {VT_UI2, "USHORT"},
      {VT_UI4, "ULONG"},         {VT_INT, "INT"},        {VT_UINT, "UINT"},
      {VT_VOID, "void"},         {VT_HRESULT, "HRESULT"}, {VT_DISPATCH, "IDispatch*"},
      {VT_UNKNOWN, "IUnknown*"}, {VT_ERROR, "SCODE"},
  };
  switch (type.vt) {
    case VT_PTR: return CTypeName(context, *type.lptdesc) + "*";
    case VT_SAFEARRAY: return "SAFEARRAY*";
    case VT_USERDEFINED: return NameOfRef(context, type.hreftype);
    default: break;
  }
  for (const auto& base : kBaseTypes) {
    if (base.vt == type.vt) return base.name;
  }
  return "VARIANT";
}

void WriteEnum(ITypeInfo* info, const TYPEATTR* attr, std::string* out) {
  const std::string name = NameOf(info);
  *out += "typedef enum " + name + " {\n";
  for (UINT i = 0; i < attr->cVars; ++i) {
    VARDESC* var = nullptr;
    Check(info->GetVarDesc(i, &var));
    std::string constant;
    Variant value;
    HRESULT hr = S_OK;
    try {
      Documentation(info, var->memid, &constant, nullptr);
      if (var->varkind == VAR_CONST && var->lpvarValue != nullptr)
        hr = VariantChangeType(value.Get(), var->lpvarValue, 0, VT_I4);
    } catch (...) {
      info->ReleaseVarDesc(var);
      throw;
    }
    info->ReleaseVarDesc(var);
    Check(hr);
    *out += "  " + constant + " = " + std::to_string(value->lVal) +
            (i + 1 < attr->cVars ? ",\n" : "\n");
  }
  *out += "} " + name + ";\n\n";
}

// One method of a virtual-table interface, by its name and its parameters.
struct Method {
  std::string comment;  // "[id(0x00000003), propget] Width of the picture in pixels. …"
  std::string name;     // "get_Width"
  std::string result;   // "HRESULT"
  std::vector<std::pair<std::string, std::string>> params;  // type, name
};

Method ReadMethod(ITypeInfo* info, const FUNCDESC* f) {
  const std::vector<std::string> names = FunctionNames(info, f);
  Method m;
  m.comment = "[id(" + Hex(static_cast<uint32_t>(f->memid), 8) + ")";
  m.name = names[0];
  switch (f->invkind) {
    case INVOKE_PROPERTYGET: m.comment += ", propget"; m.name = "get_" + m.name; break;
    case INVOKE_PROPERTYPUT: m.comment += ", propput"; m.name = "put_" + m.name; break;
    case INVOKE_PROPERTYPUTREF: m.comment += ", propputref"; m.name = "putref_" + m.name; break;
    default: break;
  }
  std::string help;
  Documentation(info, f->memid, nullptr, &help);
  // The help goes into a C comment, which "*/" would end early.
  for (size_t at = help.find("*/"); at != std::string::npos; at = help.find("*/", at)) {
    help.replace(at, 2, "* /");
  }
  m.comment += "]" + (help.empty() ? "" : " " + help);
  m.result = CTypeName(info, f->elemdescFunc.tdesc);
  for (SHORT i = 0; i < f->cParams; ++i) {
    m.params.emplace_back(CTypeName(info, f->lprgelemdescParam[i].tdesc),
                          names[static_cast<size_t>(i) + 1]);
  }
  return m;
}

std::string ParamList(const Method& m, const std::string& self) {
  std::string out = self;
  for (const auto& [type, name] : m.params) {
    out += (out.empty() ? "" : ", ") + type + " " + name;
  }
  return out.empty() ? "void" : out;
}

// The methods of `info`'s own functions.
std::vector<Method> OwnMethods(ITypeInfo* info) {
  TypeAttr attr(info);
  std::vector<Method> methods;
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FuncDesc f(info, i);
    methods.push_back(ReadMethod(info, f.get()));
  }
  return methods;
}

// The interface `info` derives from ("IUnknown" for none) and, in *base,
// its description.
std::string BaseOf(ITypeInfo* info, ComPtr<ITypeInfo>* base) {
  TypeAttr attr(info);
  if (attr->cImplTypes == 0) return "IUnknown";
  HREFTYPE ref = 0;
  Check(info->GetRefTypeOfImplType(0, &ref));
  Check(info->GetRefTypeInfo(ref, base->ReleaseAndGetAddressOf()));
  return NameOf(base->Get());
}

void WriteInterface(ITypeInfo* info, std::string* out) {
  const std::string name = NameOf(info);
  std::string help;
  Documentation(info, MEMBERID_NIL, nullptr, &help);
  ComPtr<ITypeInfo> ancestor;
  const std::string base = BaseOf(info, &ancestor);
  const std::vector<Method> methods = OwnMethods(info);
  // A C table holds the methods of every interface it extends, up to
  // IDispatch or IUnknown, ahead of its own.
  std::vector<Method> inherited;
  std::string root = base;
  while (root != "IDispatch" && root != "IUnknown") {
    const std::vector<Method> more = OwnMethods(ancestor.Get());
    inherited.insert(inherited.begin(), more.begin(), more.end());
    ComPtr<ITypeInfo> next;
    root = BaseOf(ancestor.Get(), &next);
    ancestor = std::move(next);
  }
  const std::string comment = help.empty() ? "" : "/* " + help + " */\n";

  *out += "#ifdef __cplusplus\n\n" + comment;
  *out += "struct " + name + " : public " + base + " {\n";
  for (const Method& m : methods) {
    *out += "  /* " + m.comment + " */\n  virtual " + m.result + " " + m.name + "(" +
            ParamList(m, "") + ") = 0;\n";
  }
  *out += "\n protected:\n  ~" + name + "() = default;\n};\n\n#else  /* C */\n\n" + comment;
  *out += "typedef struct " + name + " " + name + ";\n";
  *out += "typedef struct " + name + "Vtbl {\n";
  *out += root == "IDispatch" ? "  PLOTVANE_IDISPATCH_METHODS(" + name + ");\n"
                              : "  PLOTVANE_IUNKNOWN_METHODS(" + name + ");\n";
  std::vector<Method> table = inherited;
  table.insert(table.end(), methods.begin(), methods.end());
  for (const Method& m : table) {
    *out += "  /* " + m.comment + " */\n  " + m.result + " (*" + m.name + ")(" +
            ParamList(m, name + "* This") + ");\n";
  }
  *out += "} " + name + "Vtbl;\n";
  *out += "struct " + name + " {\n  const struct " + name + "Vtbl* lpVtbl;\n};\n\n";
  std::vector<Method> all = {{"", "QueryInterface", "", {{"", "riid"}, {"", "ppvObject"}}},
                             {"", "AddRef", "", {}},
                             {"", "Release", "", {}}};
  if (root == "IDispatch") {
    all.push_back({"", "GetTypeInfoCount", "", {{"", "pctinfo"}}});
    all.push_back({"", "GetTypeInfo", "", {{"", "iTInfo"}, {"", "lcid"}, {"", "ppTInfo"}}});
    all.push_back({"", "GetIDsOfNames", "",
                   {{"", "riid"}, {"", "rgszNames"}, {"", "cNames"}, {"", "lcid"}, {"", "rgDispId"}}});
    all.push_back({"", "Invoke", "",
                   {{"", "dispIdMember"}, {"", "riid"}, {"", "lcid"}, {"", "wFlags"},
                    {"", "pDispParams"}, {"", "pVarResult"}, {"", "pExcepInfo"}, {"", "puArgErr"}}});
  }
  all.insert(all.end(), table.begin(), table.end());
  for (const Method& m : all) {
    std::string args = "This";
    for (const auto& param : m.params) args += ", " + param.second;
    *out += "#define " + name + "_" + m.name + "(" + args + ") ((This)->lpVtbl->" + m.name +
            "(" + args + "))\n";
  }
  *out += "\n#endif  /* __cplusplus */\n\n";
}

void WriteDescription(ITypeInfo* info, std::string* enums, std::string* ids,
                      std::string* interfaces) {
  TypeAttr attr(info);
  const std::string name = NameOf(info);
  switch (attr->typekind) {
    case TKIND_ENUM:
      WriteEnum(info, attr.get(), enums);
      break;
    case TKIND_DISPATCH:
      WriteGuid("IID", "IID_" + name, attr->guid, ids);
      if (attr->wTypeFlags & TYPEFLAG_FDUAL) {
        ComPtr<ITypeInfo> vtable;
        VtableView(info, vtable.ReleaseAndGetAddressOf());
        WriteInterface(vtable.Get(), interfaces);
      }
      break;
    case TKIND_INTERFACE:
      WriteGuid("IID", "IID_" + name, attr->guid, ids);
      WriteInterface(info, interfaces);
      break;
    case TKIND_COCLASS:
      WriteGuid("CLSID", "CLSID_" + name, attr->guid, ids);
      break;
    default:
      break;
  }
}

}  // namespace

HRESULT WriteHeader(ITypeLib* library, std::string* out) {
  try {
    TLIBATTR* lib = nullptr;
    Check(library->GetLibAttr(&lib));
    const TLIBATTR attr = *lib;
    library->ReleaseTLibAttr(lib);
    BStr name_text, help_text;
    Check(library->GetDocumentation(-1, name_text.ReleaseAndGetAddressOf(),
                                    help_text.ReleaseAndGetAddressOf(), nullptr, nullptr));
    const std::string name = Utf16ToUtf8(name_text.view());
    std::string guard;
    for (char c : name) guard += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    guard += "_H_";
    std::string enums, ids, interfaces;
    WriteGuid("GUID", "LIBID_" + name, attr.guid, &ids);
    const UINT count = library->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
      ComPtr<ITypeInfo> info;
      Check(library->GetTypeInfo(i, info.ReleaseAndGetAddressOf()));
      WriteDescription(info.Get(), &enums, &ids, &interfaces);
    }
    *out += "/* " + name + " " + std::to_string(attr.wMajorVerNum) + "." +
            std::to_string(attr.wMinorVerNum) + ": " + Utf16ToUtf8(help_text.view()) +
            ", for C and C++ clients.\n"
            "   Generated from the server's type library by `plotvane header`: do not edit;\n"
            "   the interface is described by the server's member table. */\n";
    *out += "#ifndef " + guard + "\n#define " + guard + "\n\n";
    // The runtime's headers by the path they are installed under, beside
    // this header: include/plotvane/automation/com/.
    *out += "#include \"automation/com/com.h\"\n\n";
    *out += "#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n";
    *out += enums + ids + "\n";
    *out += "#ifdef __cplusplus\n}  /* extern \"C\" */\n#endif\n\n";
    *out += interfaces;
    *out +=
        "/* The in-process server's entry points. */\n"
        "#ifdef __cplusplus\nextern \"C\" {\n#endif\n"
        "HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);\n"
        "HRESULT DllCanUnloadNow(void);\n"
        "HRESULT DllRegisterServer(void);\n"
        "HRESULT DllUnregisterServer(void);\n"
        "#ifdef __cplusplus\n}  /* extern \"C\" */\n#endif\n\n";
    *out += "#endif  /* " + guard + " */\n";
    return S_OK;
  } catch (const TypeReadFailure& failure) {
    return failure.hr;
  }
}

}  // namespace plotvane
