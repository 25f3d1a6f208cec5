// Reading a type library through ITypeLib and ITypeInfo, as any client that
// inspects a server does: shared by the IDL and header printers and the
// Python module.
#ifndef PLOTVANE_CLIENT_TYPE_READER_H_
#define PLOTVANE_CLIENT_TYPE_READER_H_

#include <string>
#include <vector>

#include "runtime/typeinfo.h"
#include "runtime/types.h"

namespace plotvane {

// Ends a printing with the result of the library method that failed.
struct TypeReadFailure {
  HRESULT hr;
};

// Throws TypeReadFailure for a failed `hr`.
void Check(HRESULT hr);

// The type attributes of a description, given back when done.
class TypeAttr {
 public:
  explicit TypeAttr(ITypeInfo* info) : info_(info) { Check(info->GetTypeAttr(&attr_)); }
  TypeAttr(const TypeAttr&) = delete;
  TypeAttr& operator=(const TypeAttr&) = delete;
  ~TypeAttr() { info_->ReleaseTypeAttr(attr_); }
  const TYPEATTR* operator->() const { return attr_; }
  const TYPEATTR* get() const { return attr_; }

 private:
  ITypeInfo* info_;
  TYPEATTR* attr_ = nullptr;
};

// One function description, given back when done.
class FuncDesc {
 public:
  FuncDesc(ITypeInfo* info, UINT index) : info_(info) { Check(info->GetFuncDesc(index, &desc_)); }
  FuncDesc(const FuncDesc&) = delete;
  FuncDesc& operator=(const FuncDesc&) = delete;
  ~FuncDesc() { info_->ReleaseFuncDesc(desc_); }
  const FUNCDESC* operator->() const { return desc_; }
  const FUNCDESC* get() const { return desc_; }

 private:
  ITypeInfo* info_;
  FUNCDESC* desc_ = nullptr;
};

// A GUID's registry form without its braces: "6E772568-C3A1-41DE-…".
std::string GuidText(REFGUID guid);

// Name and help string of a description (MEMBERID_NIL) or of a member; either
// output may be null.
void Documentation(ITypeInfo* info, MEMBERID memid, std::string* name, std::string* help);
std::string NameOf(ITypeInfo* info);
// The name of the description `ref` refers to from `context`.
std::string NameOfRef(ITypeInfo* context, HREFTYPE ref);

// The names of a function: its own, then its parameters'. A library may leave
// a property write's value unnamed; it is then called "Value".
std::vector<std::string> FunctionNames(ITypeInfo* info, const FUNCDESC* f);

// The name of `type` as IDL writes it: "long", "unsigned short", "BSTR",
// "VARIANT_BOOL", a pointer with "*", a referenced description by its name
// ("TxGridStyle", "OLE_COLOR"); "VARIANT" for what IDL has no name for.
std::string TypeNameOf(ITypeInfo* context, const TYPEDESC& type);

// The virtual-table view of a dual interface's dispatch description.
void VtableView(ITypeInfo* dispatch, ITypeInfo** out);

}  // namespace plotvane

#endif  // PLOTVANE_CLIENT_TYPE_READER_H_
