// The members of a dual interface as its type library describes them, read
// through ITypeInfo the way any client reads type information: their names,
// kinds, parameters, types and help. `plotvane help`, the playground's member
// list, the Python module and the explanations of failed calls all show what
// this reads; none of them keeps a copy of the interface.
#ifndef PLOTVANE_CLIENT_INTERFACE_REFERENCE_H_
#define PLOTVANE_CLIENT_INTERFACE_REFERENCE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/typeinfo.h"
#include "runtime/types.h"

namespace plotvane {

// A parameter, or a property's value. Types are named as the interface
// declares them: "long", "unsigned short", "double", "float", "VARIANT_BOOL",
// "BSTR", "VARIANT", "OLE_COLOR", or an enumeration's name ("TxGridStyle").
struct ParamReference {
  std::string name;
  std::string type;
};

// One member: a property (readable, and writable unless read-only) or a
// method.
struct MemberReference {
  std::string name;
  DISPID dispid = 0;
  bool get = false;     // a readable property
  bool put = false;     // a writable property
  bool method = false;  // a method
  // An indexed property's index, or a method's arguments; never a write's
  // value.
  std::vector<ParamReference> params;
  std::string type;  // the property's type, or the method's result ("void")
  std::string help;  // its meaning and default, as the library's help string
};

struct EnumReference {
  std::string name;
  std::vector<std::pair<std::string, int32_t>> values;  // constant, value
};

struct InterfaceReference {
  std::string name;                         // "IDraw"
  std::string help;                         // the interface's help string
  std::vector<MemberReference> members;     // in the description's order
  std::vector<EnumReference> enumerations;  // of the library that holds it
};

// Reads the dispatch description `dispatch` (as IDispatch::GetTypeInfo gives
// it) and the enumerations of its library. Without `with_help` the help
// strings stay empty, which saves reading them. Throws TypeReadFailure when
// the description cannot be read.
InterfaceReference ReadInterfaceReference(ITypeInfo* dispatch, bool with_help = true);

// The member called `name`, matched without case as GetIDsOfNames matches;
// null when there is none.
const MemberReference* FindMemberReference(const InterfaceReference& reference,
                                           std::string_view name);
// The enumeration called `name` (exactly), or null.
const EnumReference* FindEnumReference(const InterfaceReference& reference,
                                       std::string_view name);

// "AddData(Name: BSTR, Value: double, Colour: BSTR)", "ReadName(Index: unsigned
// short) -> BSTR", "Width: long, read-write", "Version: BSTR, read-only".
std::string Signature(const MemberReference& member);

// The parameters' names as a caller is told them: "Name, Value, Colour".
std::string ParamNames(const MemberReference& member);

}  // namespace plotvane

#endif  // PLOTVANE_CLIENT_INTERFACE_REFERENCE_H_
