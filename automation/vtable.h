// The virtual-table half of the dual interfaces IDraw and IDraw2, made from
// the member table at compile time.
//
// A client that binds early calls IDraw (or IDraw2, whose table continues
// IDraw's) through a table of function pointers:
// the seven IUnknown and IDispatch methods, then one entry per accessor of
// each member in the table's order (a property's read accessor before its
// write accessor). Every entry returns an HRESULT and takes, after the
// interface pointer, the member's parameters (the index of an indexed
// property first), then the new value of a write or a pointer to the result
// of a read or of a method that returns one. Parameters and results have the
// C types of their automation types: LONG, USHORT, DOUBLE, FLOAT,
// VARIANT_BOOL, BSTR (borrowed when passed in, owned by the caller when
// returned), VARIANT (returned; the caller clears it), OLE_COLOR, and the
// enumerations as 32-bit integers.
//
// Each entry packs its arguments into the VARIANTs a late-bound call would
// have after coercion and runs the member's handler in the same guard as
// Invoke (CallMember), so both halves share one description of every member
// and fail alike: E_UNEXPECTED with the thread's error information. Results
// are set to their empty values (0, null string, VT_EMPTY) before the call,
// so a failed call leaves nothing to free; a null result pointer gives
// E_POINTER.
#ifndef PLOTVANE_AUTOMATION_VTABLE_H_
#define PLOTVANE_AUTOMATION_VTABLE_H_

#include <array>
#include <cstddef>
#include <utility>

#include "automation/members.h"
#include "runtime/types.h"
#include "runtime/variant.h"

namespace plotvane {

class Tdraw;

// One entry of a virtual table, stored untyped; it is called only through
// its own type.
using TVtableEntry = void (*)();

// What a client's IDraw pointer points at: the table, then the object. A
// C++ client takes `vtable` for its object's table pointer, so it comes first
// (the layout the table itself rests on is stated where it is built).
struct TVtableFace {
  const TVtableEntry* vtable;
  Tdraw* owner;
};

// IUnknown (3) and IDispatch (4) come before the members.
constexpr size_t kDispatchEntries = 7;

// Runs `accessor` of `member` on `draw` with `args` (the member's parameters,
// already of their declared types) and, for a write, `value`, inside the
// error guard shared with Invoke. The result goes to *result. A failure of
// the member sets the thread's error information and returns E_UNEXPECTED;
// with `excep_info` given, DISP_E_EXCEPTION with the details copied there.
HRESULT CallMember(Tdraw& draw, const TMember& member, TAccessor accessor, VARIANT* args,
                   const VARIANT& value, VARIANT* result, EXCEPINFO* excep_info);

namespace vtable_detail {

// The C type of each automation type, in and out.
template <TArgType T, typename = void>
struct CType {
  using In = LONG;  // I4 and the enumerations
  static void Store(VARIANT& v, In x) { v.lVal = x; }
  static In Load(VARIANT& v) { return v.lVal; }
};
template <>
struct CType<TArgType::kUI2> {
  using In = USHORT;
  static void Store(VARIANT& v, In x) { v.uiVal = x; }
  static In Load(VARIANT& v) { return v.uiVal; }
};
template <>
struct CType<TArgType::kR8> {
  using In = DOUBLE;
  static void Store(VARIANT& v, In x) { v.dblVal = x; }
  static In Load(VARIANT& v) { return v.dblVal; }
};
template <>
struct CType<TArgType::kR4> {
  using In = FLOAT;
  static void Store(VARIANT& v, In x) { v.fltVal = x; }
  static In Load(VARIANT& v) { return v.fltVal; }
};
template <>
struct CType<TArgType::kBool> {
  using In = VARIANT_BOOL;
  static void Store(VARIANT& v, In x) { v.boolVal = x; }
  static In Load(VARIANT& v) { return v.boolVal; }
};
template <>
struct CType<TArgType::kBstr> {
  using In = BSTR;
  static void Store(VARIANT& v, In x) { v.bstrVal = x; }  // borrowed
  static In Load(VARIANT& v) {
    const BSTR out = v.bstrVal;  // handed over to the caller
    VariantInit(&v);
    return out;
  }
};
template <>
struct CType<TArgType::kOleColor> {
  using In = OLE_COLOR;
  static void Store(VARIANT& v, In x) { v.ulVal = x; }
  static In Load(VARIANT& v) { return v.ulVal; }
};
// VARIANTs only come back (the caller clears them); none is passed in.
template <>
struct CType<TArgType::kVariant> {
  using In = VARIANT;  // declared for the table's shape, never stored
  static VARIANT Load(VARIANT& v) {
    const VARIANT out = v;
    VariantInit(&v);
    return out;
  }
};

template <TArgType T>
using In = typename CType<T>::In;
template <TArgType T>
using Out = decltype(CType<T>::Load(std::declval<VARIANT&>()));

// The entries of member `M` of `Table`; I... numbers its parameters.
template <const TMember* Table, size_t M, typename Indices>
struct Entries;

template <const TMember* Table, size_t M, size_t... I>
struct Entries<Table, M, std::index_sequence<I...>> {
  static constexpr const TMember& kMember = Table[M];
  static constexpr TArgType kType = kMember.type;

  // The parameters as the VARIANTs Invoke's coercion would give.
  static void Pack([[maybe_unused]] VARIANT* args, In<kMember.params[I].type>... values) {
    ((args[I].vt = VarTypeOf(kMember.params[I].type),
      CType<kMember.params[I].type>::Store(args[I], values)),
     ...);
  }

  // The result, of the declared type, into *out; the caller owns it.
  static HRESULT Deliver(HRESULT hr, Variant& result, Out<kType>* out) {
    if (FAILED(hr)) return hr;
    if constexpr (kType != TArgType::kVariant) {
      if (result.vt() != VarTypeOf(kType)) hr = result.ChangeType(VarTypeOf(kType));
      if (FAILED(hr)) return hr;
    }
    *out = CType<kType>::Load(*result.Get());
    return S_OK;
  }

  static HRESULT Run(TVtableFace* self, TAccessor accessor, VARIANT* args, const VARIANT& value,
                     VARIANT* result) {
    return CallMember(*self->owner, kMember, accessor, args, value, result, nullptr);
  }

  static HRESULT Get(TVtableFace* self, In<kMember.params[I].type>... params, Out<kType>* out) {
    if (out == nullptr) return E_POINTER;
    *out = Out<kType>{};
    std::array<VARIANT, kMaxParams> args{};
    Pack(args.data(), params...);
    Variant result;
    return Deliver(Run(self, TAccessor::kGet, args.data(), VARIANT{}, result.Get()), result, out);
  }

  static HRESULT Put(TVtableFace* self, In<kMember.params[I].type>... params, In<kType> value) {
    std::array<VARIANT, kMaxParams + 1> args{};
    Pack(args.data(), params...);
    VARIANT& v = args[kMaxParams];
    v.vt = VarTypeOf(kType);
    CType<kType>::Store(v, value);
    Variant result;
    return Run(self, TAccessor::kPut, args.data(), v, result.Get());
  }

  static HRESULT Call(TVtableFace* self, In<kMember.params[I].type>... params) {
    std::array<VARIANT, kMaxParams> args{};
    Pack(args.data(), params...);
    Variant result;
    return Run(self, TAccessor::kCall, args.data(), VARIANT{}, result.Get());
  }

  static HRESULT CallWithResult(TVtableFace* self, In<kMember.params[I].type>... params,
                                Out<kType>* out) {
    if (out == nullptr) return E_POINTER;
    *out = Out<kType>{};
    std::array<VARIANT, kMaxParams> args{};
    Pack(args.data(), params...);
    Variant result;
    return Deliver(Run(self, TAccessor::kCall, args.data(), VARIANT{}, result.Get()), result,
                   out);
  }
};

template <typename F>
TVtableEntry Untyped(F* entry) {
  return reinterpret_cast<TVtableEntry>(entry);
}

// The entries of member `M`, appended to *out in virtual-table order.
template <const TMember* Table, size_t M>
void AppendEntries(TVtableEntry** out) {
  using E = Entries<Table, M, std::make_index_sequence<Table[M].param_count>>;
  constexpr TMember kMember = Table[M];
  if constexpr (kMember.kind == TMemberKind::kMethod) {
    if constexpr (kMember.type == TArgType::kNone) {
      *(*out)++ = Untyped(&E::Call);
    } else {
      *(*out)++ = Untyped(&E::CallWithResult);
    }
  } else {
    *(*out)++ = Untyped(&E::Get);
    if constexpr (kMember.kind == TMemberKind::kGetPut) *(*out)++ = Untyped(&E::Put);
  }
}

template <const TMember* Table, size_t... M>
void AppendAll(TVtableEntry* out, std::index_sequence<M...>) {
  (AppendEntries<Table, M>(&out), ...);
}

}  // namespace vtable_detail

// The member entries of the virtual table (IDraw2's, which begins with
// IDraw's), in order; their number in *count. They live as long as the
// program.
const TVtableEntry* MemberVtableEntries(size_t* count);

// Number of virtual-table entries the members of `table` take.
constexpr size_t EntryCount(const TMember* table, size_t count) {
  size_t n = 0;
  for (size_t i = 0; i < count; ++i) n += table[i].kind == TMemberKind::kGetPut ? 2 : 1;
  return n;
}

// The member entries of the virtual table of `Table`'s `Count` members.
template <const TMember* Table, size_t Count>
std::array<TVtableEntry, EntryCount(Table, Count)> MemberEntries() {
  std::array<TVtableEntry, EntryCount(Table, Count)> entries{};
  vtable_detail::AppendAll<Table>(entries.data(), std::make_index_sequence<Count>{});
  return entries;
}

}  // namespace plotvane

#endif  // PLOTVANE_AUTOMATION_VTABLE_H_
