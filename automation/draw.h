// Tdraw: the automation object behind the Draw class. It owns one chart engine
// and the four output settings of its own, and serves IDispatch through the
// member table. One object is used by one thread at a time; objects share
// nothing and may draw in parallel.
#ifndef PLOTVANE_AUTOMATION_DRAW_H_
#define PLOTVANE_AUTOMATION_DRAW_H_

#include "runtime/interfaces.h"
#include "runtime/types.h"

namespace plotvane {

// Creates a new Draw object with every default and returns its interface
// `riid` in *out (null on failure). With an outer object the new object is
// aggregated: only IUnknown may be asked for (CLASS_E_NOAGGREGATION
// otherwise), and the inner, non-delegating IUnknown is returned. E_POINTER
// for a null `out`, E_NOINTERFACE for an interface the object lacks (the
// object is then freed at once), E_UNEXPECTED when creating fails.
// Every live object counts in ServerObjectCount().
HRESULT CreateDrawObject(IUnknown* outer, REFIID riid, void** out);

}  // namespace plotvane

#endif  // PLOTVANE_AUTOMATION_DRAW_H_
