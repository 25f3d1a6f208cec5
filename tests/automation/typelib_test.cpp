// The type library against the member table it is generated from: what a
// client reading the type information learns about each member.
#include "automation/typelib.h"

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "automation/members.h"
#include "automation/server.h"
#include "runtime/bstr.h"
#include "runtime/com_ptr.h"

namespace plotvane {
namespace {

std::string Narrow(BSTR text) {
  std::string out;
  for (UINT i = 0; i < SysStringLen(text); ++i) out += static_cast<char>(text[i]);
  return out;
}

std::string NameOf(ITypeInfo* info, MEMBERID memid = MEMBERID_NIL) {
  BStr name;
  EXPECT_EQ(info->GetDocumentation(memid, name.ReleaseAndGetAddressOf(), nullptr, nullptr, nullptr),
            S_OK);
  return Narrow(name.Get());
}

// The name of a parameter or result type as the library describes it.
std::string TypeName(ITypeInfo* info, const TYPEDESC& type) {
  if (type.vt == VT_PTR) return TypeName(info, *type.lptdesc) + "*";
  if (type.vt != VT_USERDEFINED) return "vt" + std::to_string(type.vt);
  ComPtr<ITypeInfo> target;
  EXPECT_EQ(info->GetRefTypeInfo(type.hreftype, target.ReleaseAndGetAddressOf()), S_OK);
  return target ? NameOf(target.Get()) : "?";
}

// What the table says a declared type should be described as.
std::string ExpectedTypeName(TArgType type) {
  switch (type) {
    case TArgType::kNone: return "vt" + std::to_string(VT_VOID);
    case TArgType::kOleColor:
    case TArgType::kGridStyle:
    case TArgType::kPointStyle:
    case TArgType::kGraphType:
    case TArgType::kTextAlign:
    case TArgType::kStackedTextAlign:
    case TArgType::kImageFormat: return IdlTypeOf(type);
    default: return "vt" + std::to_string(VarTypeOf(type));
  }
}

ComPtr<ITypeInfo> VtableView(ITypeInfo* dispatch) {
  HREFTYPE ref = 0;
  EXPECT_EQ(dispatch->GetRefTypeOfImplType(0xFFFFFFFFu, &ref), S_OK);
  ComPtr<ITypeInfo> view;
  EXPECT_EQ(dispatch->GetRefTypeInfo(ref, view.ReleaseAndGetAddressOf()), S_OK);
  return view;
}

// Both views of each interface list its members in virtual-table order, a
// read-write property as its read function followed by its write function,
// with the table's ids, parameter names and types: the dispatch view every
// member the interface offers (IDraw2's: IDraw's, then its own), the
// virtual-table view the interface's own, in the slots after those of the
// interface it extends. The virtual-table view returns HRESULT and passes a
// result through a last [out, retval] pointer.
TEST(TypeLibTest, InterfaceViewsFollowTheMemberTable) {
  ComPtr<ITypeLib> library;
  ASSERT_EQ(GetPlotvaneTypeLib(library.ReleaseAndGetAddressOf()), S_OK);
  ASSERT_EQ(Interfaces().size(), 2u);
  EXPECT_EQ(Interfaces()[0].end, 204u);
  size_t slots_before = 0;  // members' slots of the interfaces extended
  for (const TInterface& face : Interfaces()) {
    SCOPED_TRACE(face.name);
    ComPtr<ITypeInfo> dispatch;
    ASSERT_EQ(library->GetTypeInfoOfGuid(*face.iid, dispatch.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<ITypeInfo> vtable = VtableView(dispatch.Get());
    ASSERT_TRUE(vtable);
    for (ITypeInfo* view : {dispatch.Get(), vtable.Get()}) {
      const bool is_vtable = view == vtable.Get();
      SCOPED_TRACE(is_vtable ? "virtual-table view" : "dispatch view");
      TYPEATTR* attr = nullptr;
      ASSERT_EQ(view->GetTypeAttr(&attr), S_OK);
      EXPECT_EQ(attr->guid, *face.iid);
      EXPECT_EQ(attr->typekind, is_vtable ? TKIND_INTERFACE : TKIND_DISPATCH);
      EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
      const UINT count = attr->cFuncs;
      const size_t first_slot = 7 + (is_vtable ? slots_before : 0);
      view->ReleaseTypeAttr(attr);
      HREFTYPE base_ref = 0;
      ASSERT_EQ(view->GetRefTypeOfImplType(0, &base_ref), S_OK);
      ComPtr<ITypeInfo> base;
      ASSERT_EQ(view->GetRefTypeInfo(base_ref, base.ReleaseAndGetAddressOf()), S_OK);
      EXPECT_EQ(NameOf(base.Get()),
                is_vtable && face.first > 0 ? Interfaces()[0].name : std::string("IDispatch"));

      UINT f = 0;
      std::set<MEMBERID> ids;
      for (size_t index = is_vtable ? face.first : 0; index < face.end; ++index) {
        const TMember& m = Members()[index];
        std::vector<INVOKEKIND> kinds;
        if (m.kind == TMemberKind::kMethod) kinds = {INVOKE_FUNC};
        if (m.kind == TMemberKind::kGet) kinds = {INVOKE_PROPERTYGET};
        if (m.kind == TMemberKind::kGetPut) kinds = {INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT};
        for (INVOKEKIND kind : kinds) {
          SCOPED_TRACE(std::string(m.name) + " invoke kind " + std::to_string(kind));
          FUNCDESC* desc = nullptr;
          ASSERT_EQ(view->GetFuncDesc(f, &desc), S_OK);
          EXPECT_EQ(desc->memid, m.dispid);
          EXPECT_EQ(desc->invkind, kind);
          if (is_vtable) {
            EXPECT_EQ(desc->oVft, static_cast<SHORT>((first_slot + f) * sizeof(void*)));
          }
          ++f;
          ids.insert(desc->memid);
          // Parameters: the table's, then the written value or the result.
          std::vector<std::string> expected;
          for (size_t i = 0; i < m.param_count; ++i) expected.push_back(ExpectedTypeName(m.params[i].type));
          const std::string value = ExpectedTypeName(m.type);
          const bool has_value = m.type != TArgType::kNone;
          if (kind == INVOKE_PROPERTYPUT) expected.push_back(value);
          if (kind != INVOKE_PROPERTYPUT && is_vtable && has_value) expected.push_back(value + "*");
          std::vector<std::string> got;
          for (SHORT i = 0; i < desc->cParams; ++i) {
            got.push_back(TypeName(view, desc->lprgelemdescParam[i].tdesc));
          }
          EXPECT_EQ(got, expected);
          const std::string result = is_vtable ? "vt" + std::to_string(VT_HRESULT)
                                     : kind == INVOKE_PROPERTYPUT ? "vt" + std::to_string(VT_VOID)
                                                                  : value;
          EXPECT_EQ(TypeName(view, desc->elemdescFunc.tdesc), result);
          if (is_vtable && desc->cParams > 0 && kind != INVOKE_PROPERTYPUT && has_value) {
            EXPECT_EQ(desc->lprgelemdescParam[desc->cParams - 1].paramdesc.wParamFlags,
                      PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
          }
          view->ReleaseFuncDesc(desc);
        }
        // Names: the member, then its parameters in order.
        BSTR names[kMaxParams + 2] = {};
        UINT got_names = 0;
        ASSERT_EQ(view->GetNames(m.dispid, names, kMaxParams + 2, &got_names), S_OK);
        ASSERT_GE(got_names, 1u + m.param_count);
        EXPECT_EQ(Narrow(names[0]), m.name);
        for (size_t i = 0; i < m.param_count; ++i) EXPECT_EQ(Narrow(names[i + 1]), m.params[i].name);
        for (UINT i = 0; i < got_names; ++i) SysFreeString(names[i]);
        // Help: the member's line with its default.
        BStr help;
        EXPECT_EQ(view->GetDocumentation(m.dispid, nullptr, help.ReleaseAndGetAddressOf(),
                                         nullptr, nullptr),
                  S_OK);
        EXPECT_EQ(Narrow(help.Get()), MemberDocumentation(m));
      }
      EXPECT_EQ(f, count) << "functions beyond the table";
      EXPECT_EQ(ids.size(), (is_vtable ? face.end - face.first : face.end));
      FUNCDESC* past = nullptr;
      EXPECT_EQ(view->GetFuncDesc(count, &past), TYPE_E_ELEMENTNOTFOUND);
      if (is_vtable) slots_before += f;
    }
  }
}

TEST(TypeLibTest, LibraryHoldsEnumerationsInterfaceAndClass) {
  ComPtr<ITypeLib> library;
  ASSERT_EQ(GetPlotvaneTypeLib(library.ReleaseAndGetAddressOf()), S_OK);
  TLIBATTR* lib = nullptr;
  ASSERT_EQ(library->GetLibAttr(&lib), S_OK);
  EXPECT_EQ(lib->guid, LIBID_Plotvane);
  EXPECT_EQ(lib->wMajorVerNum, 3);
  EXPECT_EQ(lib->wMinorVerNum, 1);
  library->ReleaseTLibAttr(lib);
  BStr name, help;
  ASSERT_EQ(library->GetDocumentation(-1, name.ReleaseAndGetAddressOf(),
                                      help.ReleaseAndGetAddressOf(), nullptr, nullptr),
            S_OK);
  EXPECT_EQ(Narrow(name.Get()), "Plotvane");
  EXPECT_EQ(Narrow(help.Get()), "Plotvane Library");

  const auto& enumerations = Enumerations();
  ASSERT_EQ(library->GetTypeInfoCount(), enumerations.size() + 3);
  for (UINT i = 0; i < enumerations.size(); ++i) {
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(library->GetTypeInfo(i, info.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(NameOf(info.Get()), enumerations[i].name);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_ENUM);
    ASSERT_EQ(attr->cVars, enumerations[i].values.size());
    for (UINT k = 0; k < attr->cVars; ++k) {
      VARDESC* var = nullptr;
      ASSERT_EQ(info->GetVarDesc(k, &var), S_OK);
      EXPECT_EQ(var->varkind, VAR_CONST);
      EXPECT_EQ(NameOf(info.Get(), var->memid), enumerations[i].values[k].name);
      EXPECT_EQ(var->lpvarValue->lVal, enumerations[i].values[k].value);
      info->ReleaseVarDesc(var);
    }
    info->ReleaseTypeAttr(attr);
  }

  // The class, found by its identifier, names IDraw2 as its default interface.
  ComPtr<ITypeInfo> draw_class;
  ASSERT_EQ(library->GetTypeInfoOfGuid(CLSID_Draw, draw_class.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(NameOf(draw_class.Get()), "Draw");
  HREFTYPE ref = 0;
  INT flags = 0;
  ASSERT_EQ(draw_class->GetRefTypeOfImplType(0, &ref), S_OK);
  ASSERT_EQ(draw_class->GetImplTypeFlags(0, &flags), S_OK);
  EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
  ComPtr<ITypeInfo> draw_interface;
  ASSERT_EQ(draw_class->GetRefTypeInfo(ref, draw_interface.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(NameOf(draw_interface.Get()), "IDraw2");

  // IDraw2 leads back to the same library at its own index, after IDraw.
  ComPtr<ITypeLib> containing;
  UINT index = 99;
  ASSERT_EQ(draw_interface->GetContainingTypeLib(containing.ReleaseAndGetAddressOf(), &index), S_OK);
  EXPECT_EQ(containing.Get(), library.Get());
  ComPtr<ITypeInfo> again;
  ASSERT_EQ(library->GetTypeInfo(index, again.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(again.Get(), draw_interface.Get());
  EXPECT_EQ(index, enumerations.size() + 1);
  ComPtr<ITypeInfo> first;
  ASSERT_EQ(library->GetTypeInfo(index - 1, first.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(NameOf(first.Get()), "IDraw");
  ComPtr<ITypeInfo> missing;
  EXPECT_EQ(library->GetTypeInfoOfGuid(GUID_NULL, missing.ReleaseAndGetAddressOf()),
            TYPE_E_ELEMENTNOTFOUND);
}

// The descriptions live in the server, so a client holding any of them keeps
// it loaded.
TEST(TypeLibTest, HeldTypeInformationCountsAsALiveObject) {
  const LONG before = ServerObjectCount();
  {
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(GetDrawTypeInfo(info.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(ServerObjectCount(), before + 1);
    ComPtr<ITypeLib> library;
    ASSERT_EQ(info->GetContainingTypeLib(library.ReleaseAndGetAddressOf(), nullptr), S_OK);
    info.Reset();
    EXPECT_EQ(ServerObjectCount(), before + 1);
  }
  EXPECT_EQ(ServerObjectCount(), before);
}

}  // namespace
}  // namespace plotvane
