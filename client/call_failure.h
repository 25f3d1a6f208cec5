// What a client tells its caller when the dispatch layer refuses a call.
//
// The server reports such a refusal by its code alone, as the platform's
// dispatch does: DISP_E_UNKNOWNNAME for a name it does not have,
// DISP_E_BADPARAMCOUNT for a wrong number of arguments, DISP_E_TYPEMISMATCH
// and DISP_E_OVERFLOW (with the argument's position in puArgErr) for an
// argument that cannot be converted, DISP_E_MEMBERNOTFOUND for a write of a
// read-only property or a member used as what it is not. The client knows
// what it asked for and reads the rest from the server's type library:
//
//   Unknown name "Titel"; did you mean "Title"?
//   AddData takes Name, Value, Colour: 2 given
//   AddData: Value (argument 2) takes a number (double), not "twelve"
//   Version is a read-only property
//
// The server's own error information is left as it is; this text is what
// the client shows in its place.
#ifndef PLOTVANE_CLIENT_CALL_FAILURE_H_
#define PLOTVANE_CLIENT_CALL_FAILURE_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "runtime/interfaces.h"
#include "runtime/types.h"
#include "runtime/variant.h"

namespace plotvane {

// How a member was used: read, written or called.
enum class CallKind { kGet, kPut, kCall };

// A call that Invoke (or GetIDsOfNames) refused.
struct FailedCall {
  HRESULT hr = S_OK;
  std::string_view name;           // the member as the caller named it
  CallKind kind = CallKind::kCall;
  const VARIANT* args = nullptr;   // the arguments in the caller's order; a write's value last
  size_t arg_count = 0;
  UINT arg_error = 0;              // puArgErr: the bad argument, counted from the last
};

// The text that says what was wrong with `call`, composed from the type
// information of `object` (IDispatch::GetTypeInfo). "" when the code is not
// one of those above or the type information does not describe the member;
// the caller then shows what it had. Never throws but std::bad_alloc.
std::string ExplainFailedCall(IDispatch* object, const FailedCall& call);

}  // namespace plotvane

#endif  // PLOTVANE_CLIENT_CALL_FAILURE_H_
