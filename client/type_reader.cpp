#include "client/type_reader.h"

#include "base/utf.h"
#include "runtime/bstr.h"
#include "runtime/com_ptr.h"
#include "runtime/guid.h"

namespace plotvane {

void Check(HRESULT hr) {
  if (FAILED(hr)) throw TypeReadFailure{hr};
}

std::string GuidText(REFGUID guid) {
  OLECHAR text[kGuidStringSize];
  StringFromGUID2(guid, text, kGuidStringSize);
  return Utf16ToUtf8(std::u16string_view(text + 1, kGuidStringLength - 2));
}

void Documentation(ITypeInfo* info, MEMBERID memid, std::string* name, std::string* help) {
  BStr name_text, help_text;
  Check(info->GetDocumentation(memid, name_text.ReleaseAndGetAddressOf(),
                               help_text.ReleaseAndGetAddressOf(), nullptr, nullptr));
  if (name != nullptr) *name = Utf16ToUtf8(name_text.view());
  if (help != nullptr) *help = Utf16ToUtf8(help_text.view());
}

std::string NameOf(ITypeInfo* info) {
  std::string name;
  Documentation(info, MEMBERID_NIL, &name, nullptr);
  return name;
}

std::string NameOfRef(ITypeInfo* context, HREFTYPE ref) {
  ComPtr<ITypeInfo> target;
  Check(context->GetRefTypeInfo(ref, target.ReleaseAndGetAddressOf()));
  return NameOf(target.Get());
}

std::vector<std::string> FunctionNames(ITypeInfo* info, const FUNCDESC* f) {
  std::vector<BSTR> names(static_cast<size_t>(f->cParams) + 1, nullptr);
  UINT count = 0;
  Check(info->GetNames(f->memid, names.data(), static_cast<UINT>(names.size()), &count));
  std::vector<std::string> texts;
  for (UINT i = 0; i < count; ++i) {
    texts.push_back(Utf16ToUtf8(std::u16string_view(names[i], SysStringLen(names[i]))));
    SysFreeString(names[i]);
  }
  if (texts.empty()) texts.emplace_back();
  while (texts.size() < names.size()) texts.emplace_back("Value");
  return texts;
}

std::string TypeNameOf(ITypeInfo* context, const TYPEDESC& type) {
  static const struct {
    VARTYPE vt;
    const char* name;
  } kBaseTypes[] = {
      {VT_I2, "short"},         {VT_I4, "long"},           {VT_R4, "float"},
      {VT_R8, "double"},        {VT_BSTR, "BSTR"},         {VT_BOOL, "VARIANT_BOOL"},
      {VT_VARIANT, "VARIANT"},  {VT_UI1, "unsigned char"}, {VT_UI2, "unsigned short"},
      {VT_UI4, "unsigned long"}, {VT_INT, "int"},          {VT_UINT, "unsigned int"},
      {VT_VOID, "void"},        {VT_HRESULT, "HRESULT"},   {VT_DISPATCH, "IDispatch*"},
      {VT_UNKNOWN, "IUnknown*"}, {VT_DATE, "DATE"},        {VT_CY, "CURRENCY"},
  };
  switch (type.vt) {
    case VT_PTR: return TypeNameOf(context, *type.lptdesc) + "*";
    case VT_SAFEARRAY: return "SAFEARRAY(" + TypeNameOf(context, *type.lptdesc) + ")";
    case VT_USERDEFINED: return NameOfRef(context, type.hreftype);
    default: break;
  }
  for (const auto& base : kBaseTypes) {
    if (base.vt == type.vt) return base.name;
  }
  return "VARIANT";
}

void VtableView(ITypeInfo* dispatch, ITypeInfo** out) {
  HREFTYPE ref = 0;
  Check(dispatch->GetRefTypeOfImplType(0xFFFFFFFFu, &ref));
  Check(dispatch->GetRefTypeInfo(ref, out));
}

}  // namespace plotvane
