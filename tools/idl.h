// The interface description of a type library, printed as IDL.
#ifndef PLOTVANE_TOOLS_IDL_H_
#define PLOTVANE_TOOLS_IDL_H_

#include <string>

#include "runtime/typeinfo.h"
#include "runtime/types.h"

namespace plotvane {

// Writes `library` to *out as IDL: the library block with its GUID, version
// and help string, then every description in library order: enumerations as
// typedefs, interfaces (a dual interface by its virtual-table view, members
// in virtual-table order with their ids, invoke kinds, parameters and
// results) and classes with their interfaces. Returns S_OK, or the first
// failure of the library's methods (*out then holds what was written).
HRESULT WriteIdl(ITypeLib* library, std::string* out);

}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_IDL_H_
