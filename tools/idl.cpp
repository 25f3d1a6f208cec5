// Prints a type library as IDL, asking the library for everything through
// ITypeLib and ITypeInfo, as any client that inspects a server would.
#include "tools/idl.h"

#include <cstdio>
#include <string>
#include <vector>

#include "base/utf.h"
#include "client/text.h"
#include "client/type_reader.h"
#include "runtime/bstr.h"
#include "runtime/com_ptr.h"
#include "runtime/guid.h"
#include "runtime/variant.h"

namespace plotvane {

namespace {

std::string Hex(MEMBERID id) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08x", static_cast<unsigned>(id));
  return text;
}

// An attribute block: "[\n    a,\n    b\n  ]\n" at the given indent.
std::string Attributes(const std::vector<std::string>& attributes, const std::string& indent) {
  std::string out = indent + "[\n";
  for (size_t i = 0; i < attributes.size(); ++i) {
    out += indent + "  " + attributes[i] + (i + 1 < attributes.size() ? ",\n" : "\n");
  }
  return out + indent + "]\n";
}

std::vector<std::string> HeaderAttributes(ITypeInfo* info, const TYPEATTR* attr) {
  std::string help;
  Documentation(info, MEMBERID_NIL, nullptr, &help);
  std::vector<std::string> list;
  if (attr->guid != GUID_NULL) list.push_back("uuid(" + GuidText(attr->guid) + ")");
  if (attr->wMajorVerNum != 0 || attr->wMinorVerNum != 0) {
    list.push_back("version(" + std::to_string(attr->wMajorVerNum) + "." +
                   std::to_string(attr->wMinorVerNum) + ")");
  }
  if (!help.empty()) list.push_back("helpstring(" + JsonQuoted(help) + ")");
  return list;
}

void WriteEnum(ITypeInfo* info, const TYPEATTR* attr, std::string* out) {
  const std::string name = NameOf(info);
  *out += "  typedef enum " + name + " {\n";
  for (UINT i = 0; i < attr->cVars; ++i) {
    VARDESC* var = nullptr;
    Check(info->GetVarDesc(i, &var));
    std::string constant;
    Documentation(info, var->memid, &constant, nullptr);
    Variant value;
    if (var->varkind == VAR_CONST && var->lpvarValue != nullptr) {
      Check(VariantChangeType(value.Get(), var->lpvarValue, 0, VT_I4));
    }
    info->ReleaseVarDesc(var);
    *out += "    " + constant + " = " + std::to_string(value->lVal) +
            (i + 1 < attr->cVars ? ",\n" : "\n");
  }
  *out += "  } " + name + ";\n\n";
}

std::string ParamFlags(USHORT flags) {
  std::vector<std::string> list;
  if (flags & PARAMFLAG_FIN) list.push_back("in");
  if (flags & PARAMFLAG_FOUT) list.push_back("out");
  if (flags & PARAMFLAG_FRETVAL) list.push_back("retval");
  if (flags & PARAMFLAG_FOPT) list.push_back("optional");
  std::string text;
  for (const auto& f : list) text += (text.empty() ? "" : ", ") + f;
  return text.empty() ? "" : "[" + text + "] ";
}

// One function: "[id(0x00000003), propget, helpstring("Width of …")]
// HRESULT Width([out, retval] long* Value);"
std::string FunctionLine(ITypeInfo* info, const FUNCDESC* f) {
  const std::vector<std::string> texts = FunctionNames(info, f);
  std::string help;
  Documentation(info, f->memid, nullptr, &help);
  std::string line = "[id(" + Hex(f->memid) + ")";
  if (f->invkind == INVOKE_PROPERTYGET) line += ", propget";
  if (f->invkind == INVOKE_PROPERTYPUT) line += ", propput";
  if (f->invkind == INVOKE_PROPERTYPUTREF) line += ", propputref";
  if (!help.empty()) line += ", helpstring(" + JsonQuoted(help) + ")";
  line += "] " + TypeNameOf(info, f->elemdescFunc.tdesc) + " " + texts[0] + "(";
  for (SHORT i = 0; i < f->cParams; ++i) {
    const ELEMDESC& p = f->lprgelemdescParam[i];
    const std::string& param = texts[static_cast<size_t>(i) + 1];
    line += (i > 0 ? ", " : "") + ParamFlags(p.paramdesc.wParamFlags) +
            TypeNameOf(info, p.tdesc) + " " + param;
  }
  return line + ");";
}

void WriteInterface(ITypeInfo* info, std::string* out) {
  TypeAttr attr(info);
  std::vector<std::string> attributes = HeaderAttributes(info, attr.operator->());
  if (attr->wTypeFlags & TYPEFLAG_FDUAL) attributes.push_back("dual");
  if (attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) attributes.push_back("oleautomation");
  *out += Attributes(attributes, "  ");
  const bool dispatch = attr->typekind == TKIND_DISPATCH;
  *out += std::string("  ") + (dispatch ? "dispinterface " : "interface ") + NameOf(info);
  if (!dispatch && attr->cImplTypes > 0) {
    HREFTYPE base = 0;
    Check(info->GetRefTypeOfImplType(0, &base));
    *out += " : " + NameOfRef(info, base);
  }
  *out += dispatch ? "\n  {\n    methods:\n" : "\n  {\n";
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FuncDesc f(info, i);
    *out += "    " + FunctionLine(info, f.get()) + "\n";
  }
  *out += "  };\n\n";
}

void WriteClass(ITypeInfo* info, const TYPEATTR* attr, std::string* out) {
  *out += Attributes(HeaderAttributes(info, attr), "  ");
  *out += "  coclass " + NameOf(info) + "\n  {\n";
  for (UINT i = 0; i < attr->cImplTypes; ++i) {
    HREFTYPE ref = 0;
    INT flags = 0;
    Check(info->GetRefTypeOfImplType(i, &ref));
    Check(info->GetImplTypeFlags(i, &flags));
    std::string prefix;
    if (flags & IMPLTYPEFLAG_FDEFAULT) prefix += "default";
    if (flags & IMPLTYPEFLAG_FSOURCE) prefix += prefix.empty() ? "source" : ", source";
    *out += "    " + (prefix.empty() ? "" : "[" + prefix + "] ") + "interface " +
            NameOfRef(info, ref) + ";\n";
  }
  *out += "  };\n\n";
}

void WriteDescription(ITypeInfo* info, std::string* out) {
  TypeAttr attr(info);
  switch (attr->typekind) {
    case TKIND_ENUM:
      WriteEnum(info, attr.operator->(), out);
      break;
    case TKIND_DISPATCH:
      if (attr->wTypeFlags & TYPEFLAG_FDUAL) {
        // A dual interface is declared by its virtual-table view.
        ComPtr<ITypeInfo> vtable;
        VtableView(info, vtable.ReleaseAndGetAddressOf());
        WriteInterface(vtable.Get(), out);
      } else {
        WriteInterface(info, out);
      }
      break;
    case TKIND_INTERFACE:
      WriteInterface(info, out);
      break;
    case TKIND_COCLASS:
      WriteClass(info, attr.operator->(), out);
      break;
    default:
      *out += "  // " + NameOf(info) + ": a kind of description this printer does not show\n\n";
      break;
  }
}

}  // namespace

HRESULT WriteIdl(ITypeLib* library, std::string* out) {
  try {
    TLIBATTR* lib = nullptr;
    Check(library->GetLibAttr(&lib));
    const TLIBATTR attr = *lib;
    library->ReleaseTLibAttr(lib);
    BStr name, help;
    Check(library->GetDocumentation(-1, name.ReleaseAndGetAddressOf(),
                                    help.ReleaseAndGetAddressOf(), nullptr, nullptr));
    std::vector<std::string> attributes = {
        "uuid(" + GuidText(attr.guid) + ")",
        "version(" + std::to_string(attr.wMajorVerNum) + "." + std::to_string(attr.wMinorVerNum) +
            ")"};
    if (help.size() > 0) attributes.push_back("helpstring(" + JsonQuoted(Utf16ToUtf8(help.view())) + ")");
    *out += Attributes(attributes, "");
    *out += "library " + Utf16ToUtf8(name.view()) + "\n{\n";
    const UINT count = library->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
      ComPtr<ITypeInfo> info;
      Check(library->GetTypeInfo(i, info.ReleaseAndGetAddressOf()));
      WriteDescription(info.Get(), out);
    }
    if (count > 0) out->pop_back();  // no blank line before the closing brace
    *out += "};\n";
    return S_OK;
  } catch (const TypeReadFailure& failure) {
    return failure.hr;
  }
}

}  // namespace plotvane
