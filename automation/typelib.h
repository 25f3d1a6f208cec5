// The type library of the server, generated from the member table.
//
// The library "Plotvane" holds, by index:
//   0 .. 5   the enumerations TxGridStyle … TxImageFormat (TKIND_ENUM), each
//            value a VAR_CONST of type long
//   6        IDraw, the late-bound view of the dual interface (TKIND_DISPATCH,
//            flags dual, OLE-automation, dispatchable); its functions are the
//            members in virtual-table order, a read-write property giving a
//            read function followed by a write function
//   7        IDraw2, which extends IDraw: the same, its functions IDraw's
//            followed by its own
//   8        Draw, the creatable class (TKIND_COCLASS) with IDraw2 as default
// The virtual-table view of each interface (TKIND_INTERFACE: every function
// returns HRESULT, results travel in an [out, retval] pointer) is reached
// through GetRefTypeOfImplType(-1) of its dispatch view; IDraw's derives from
// IDispatch, IDraw2's from IDraw's and lists only its own functions, in the
// slots after IDraw's. The descriptions of the platform's own IDispatch and
// OLE_COLOR, which the interfaces refer to, are reachable through
// GetRefTypeInfo but do not belong to the library.
//
// Everything is built once, on first use, and never changes; the objects are
// shared by all threads. While a client holds any reference to the library
// or one of its descriptions the server counts a live object, so it is not
// unloaded under the client. Records handed out (TYPEATTR, FUNCDESC, …) stay
// valid while the server is loaded; the Release… methods accept them and do
// nothing. What the library does not describe (type comparison, invocation
// through type information, name lookup by hash) returns E_NOTIMPL.
#ifndef PLOTVANE_AUTOMATION_TYPELIB_H_
#define PLOTVANE_AUTOMATION_TYPELIB_H_

#include "runtime/typeinfo.h"
#include "runtime/types.h"

namespace plotvane {

// Stores in *out the library, with a reference the caller releases.
// E_POINTER when `out` is null, E_OUTOFMEMORY when it cannot be built.
HRESULT GetPlotvaneTypeLib(ITypeLib** out);

// Stores in *out the description of the object's default interface, IDraw2
// (the dispatch view, index 7 of the library), with a reference the caller
// releases. E_POINTER when `out` is
// null, E_OUTOFMEMORY when the library cannot be built.
HRESULT GetDrawTypeInfo(ITypeInfo** out);

}  // namespace plotvane

#endif  // PLOTVANE_AUTOMATION_TYPELIB_H_
