// The member table: the one description of the automation interfaces.
//
// The Draw object serves two dual interfaces: IDraw, published and fixed,
// and IDraw2, which extends it with the SVG pictures. Every member has one
// entry, in virtual-table order, IDraw's first: its name, dispatch number,
// kind, declared types, the handlers that carry a call to the engine, and its
// meaning and default. GetIDsOfNames and Invoke dispatch through it, the type
// library is generated from it (help strings included), and registration
// records what it describes. Nothing about a member is written anywhere else.
#ifndef PLOTVANE_AUTOMATION_MEMBERS_H_
#define PLOTVANE_AUTOMATION_MEMBERS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/guid.h"
#include "runtime/types.h"
#include "runtime/variant.h"

namespace plotvane {

class Tdraw;

// The declared type of a property, parameter or result.
enum class TArgType : uint8_t {
  kNone,  // no result (methods)
  kI4,
  kUI2,
  kR8,
  kR4,
  kBool,
  kBstr,
  kVariant,
  kOleColor,
  // Enumerations of the type library, passed as 32-bit integers.
  kGridStyle,
  kPointStyle,
  kGraphType,
  kTextAlign,
  kStackedTextAlign,
  kImageFormat,
};

// The VARIANT type an argument of `type` is coerced to before a handler sees
// it, and the type a result of `type` carries (VT_EMPTY for kNone).
VARTYPE VarTypeOf(TArgType type);
// The type's name in the interface description: "long", "unsigned short",
// "double", "float", "VARIANT_BOOL", "BSTR", "VARIANT", "OLE_COLOR",
// "TxGridStyle", …; "void" for kNone.
const char* IdlTypeOf(TArgType type);

enum class TMemberKind : uint8_t {
  kGet,     // read-only property
  kGetPut,  // read-write property
  kMethod,
};

// Which accessor of a member a call uses: a property's read or write, or a
// method's call.
enum class TAccessor : uint8_t { kGet, kPut, kCall };

struct TParam {
  const char* name;
  TArgType type;
};

// Handlers. `args` are the member's parameters (a property's index, a
// method's arguments) in declaration order, already coerced to their declared
// types; a put handler receives the new value coerced to the property's type.
// Results are written to `result` (initialised empty). Handlers may throw:
// the dispatch layer turns exceptions into failed calls.
using TGetHandler = void (*)(Tdraw& draw, const VARIANT* args, VARIANT* result);
using TPutHandler = void (*)(Tdraw& draw, const VARIANT* args, const VARIANT& value);
using TCallHandler = void (*)(Tdraw& draw, const VARIANT* args, VARIANT* result);

constexpr size_t kMaxParams = 7;

struct TMember {
  const char* name;
  DISPID dispid;
  TMemberKind kind;
  TArgType type;        // property type, or the method's result type
  uint8_t param_count;  // property index parameters, or method arguments
  std::array<TParam, kMaxParams> params;
  TGetHandler get;   // kGet, kGetPut
  TPutHandler put;   // kGetPut
  TCallHandler call; // kMethod
  // The member's meaning in one sentence, which clients show as its help.
  const char* help;
  // A new object's value as a script would write it (400, "FFFFFF", True,
  // gsDot); "" where there is none: methods, pictures, texts made on reading.
  const char* default_text;
};

// The member's documentation as the type library carries it: its help, then
// " Default: " and its default when it has one ("Width of the picture in
// pixels. Default: 400.").
std::string MemberDocumentation(const TMember& member);

// The members in virtual-table order: IDraw's, then IDraw2's own.
const std::vector<TMember>& Members();
// The member called `name` ignoring letter case, or null.
const TMember* FindMember(const std::u16string& name);
// The member with dispatch number `dispid`, or null.
const TMember* FindMember(DISPID dispid);

// An enumeration of the type library.
struct TEnumValue {
  const char* name;
  int32_t value;
};
struct TEnumeration {
  const char* name;
  std::vector<TEnumValue> values;
};
// TxGridStyle, TxPointStyle, TxGraphType, TxTextAlign, TxStackedTextAlign,
// TxImageFormat, in that order.
const std::vector<TEnumeration>& Enumerations();

// Identity of the type library, the interfaces and the class.
extern const GUID LIBID_Plotvane;
extern const IID IID_IDraw;
extern const IID IID_IDraw2;
extern const CLSID CLSID_Draw;
constexpr char kLibraryName[] = "Plotvane";
constexpr char kLibraryHelp[] = "Plotvane Library";
constexpr uint16_t kLibraryMajorVersion = 3;
constexpr uint16_t kLibraryMinorVersion = 1;

// A dual interface of the Draw object. Each extends the one before it: its
// own members are Members()[first, end), and its virtual table holds the
// members before `first` ahead of them.
struct TInterface {
  const char* name;
  const char* help;
  const IID* iid;
  size_t first;
  size_t end;
};
// IDraw, then IDraw2; the last is the object's default interface.
const std::vector<TInterface>& Interfaces();
// The interface that declares `member` (one of Members()).
const TInterface& InterfaceOf(const TMember& member);

constexpr char kClassName[] = "Draw";
constexpr char kClassHelp[] = "Draw Object";
constexpr char kProgID[] = "Plotvane.Draw";

}  // namespace plotvane

#endif  // PLOTVANE_AUTOMATION_MEMBERS_H_
