#include "client/interface_reference.h"

#include <unordered_map>

#include "base/ascii.h"
#include "base/utf.h"
#include "client/type_reader.h"
#include "runtime/com_ptr.h"
#include "runtime/variant.h"

namespace plotvane {

namespace {

// Adds the enumerations of the library that holds `info`; a description
// outside any library has none.
void ReadEnumerations(ITypeInfo* info, std::vector<EnumReference>* out) {
  ComPtr<ITypeLib> library;
  if (FAILED(info->GetContainingTypeLib(library.ReleaseAndGetAddressOf(), nullptr))) return;
  for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
    ComPtr<ITypeInfo> entry;
    Check(library->GetTypeInfo(i, entry.ReleaseAndGetAddressOf()));
    TypeAttr attr(entry.Get());
    if (attr->typekind != TKIND_ENUM) continue;
    EnumReference e{NameOf(entry.Get()), {}};
    for (UINT v = 0; v < attr->cVars; ++v) {
      VARDESC* var = nullptr;
      Check(entry->GetVarDesc(v, &var));
      Variant value;
      HRESULT hr = E_UNEXPECTED;
      if (var->varkind == VAR_CONST && var->lpvarValue != nullptr)
        hr = VariantChangeType(value.Get(), var->lpvarValue, 0, VT_I4);
      const MEMBERID memid = var->memid;
      entry->ReleaseVarDesc(var);
      Check(hr);
      std::string constant;
      Documentation(entry.Get(), memid, &constant, nullptr);
      e.values.emplace_back(std::move(constant), value->lVal);
    }
    out->push_back(std::move(e));
  }
}

}  // namespace

InterfaceReference ReadInterfaceReference(ITypeInfo* dispatch, bool with_help) {
  InterfaceReference reference;
  Documentation(dispatch, MEMBERID_NIL, &reference.name, &reference.help);
  std::unordered_map<DISPID, size_t> index_of;
  TypeAttr attr(dispatch);
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FuncDesc f(dispatch, i);
    auto [at, added] = index_of.emplace(f->memid, reference.members.size());
    if (added) {
      MemberReference m;
      m.dispid = f->memid;
      if (with_help) Documentation(dispatch, f->memid, nullptr, &m.help);
      reference.members.push_back(std::move(m));
    }
    MemberReference& m = reference.members[at->second];
    const std::vector<std::string> names = FunctionNames(dispatch, f.get());
    m.name = names[0];
    std::vector<ParamReference> params;
    for (SHORT p = 0; p < f->cParams; ++p) {
      params.push_back({names[static_cast<size_t>(p) + 1],
                        TypeNameOf(dispatch, f->lprgelemdescParam[p].tdesc)});
    }
    switch (f->invkind) {
      case INVOKE_PROPERTYPUT:
      case INVOKE_PROPERTYPUTREF:
        m.put = true;
        if (params.empty()) break;  // a write without its value describes nothing more
        if (!m.get) m.type = params.back().type;
        params.pop_back();
        if (!m.get) m.params = std::move(params);
        break;
      case INVOKE_PROPERTYGET:
        m.get = true;
        m.type = TypeNameOf(dispatch, f->elemdescFunc.tdesc);
        m.params = std::move(params);
        break;
      default:
        m.method = true;
        m.type = TypeNameOf(dispatch, f->elemdescFunc.tdesc);
        m.params = std::move(params);
        break;
    }
  }
  ReadEnumerations(dispatch, &reference.enumerations);
  return reference;
}

const MemberReference* FindMemberReference(const InterfaceReference& reference,
                                           std::string_view name) {
  const std::u16string wanted = Utf8ToUtf16(name);
  for (const MemberReference& m : reference.members) {
    if (EqualIgnoringCase(wanted, m.name)) return &m;
  }
  return nullptr;
}

const EnumReference* FindEnumReference(const InterfaceReference& reference,
                                       std::string_view name) {
  for (const EnumReference& e : reference.enumerations) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

std::string ParamNames(const MemberReference& member) {
  std::string text;
  for (const ParamReference& p : member.params) text += (text.empty() ? "" : ", ") + p.name;
  return text;
}

std::string Signature(const MemberReference& member) {
  if (!member.method && member.params.empty()) {
    return member.name + ": " + member.type + (member.put ? ", read-write" : ", read-only");
  }
  std::string text = member.name + "(";
  for (size_t i = 0; i < member.params.size(); ++i) {
    text += (i > 0 ? ", " : "") + member.params[i].name + ": " + member.params[i].type;
  }
  text += ")";
  if (member.type != "void") text += " -> " + member.type;
  return text;
}

}  // namespace plotvane
