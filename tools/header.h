// The interface description of a type library, printed as a C and C++
// header.
#ifndef PLOTVANE_TOOLS_HEADER_H_
#define PLOTVANE_TOOLS_HEADER_H_

#include <string>

#include "runtime/typeinfo.h"
#include "runtime/types.h"

namespace plotvane {

// Writes to *out the header a C or C++ client includes to call the library's
// interfaces through their virtual tables: the enumerations as typedef'd
// enums, the identifiers of the library, its interfaces and classes as
// constants (LIBID_, IID_, CLSID_ before the name), each dual or
// virtual-table interface as an abstract C++ class and, for C, as a struct of
// function pointers with an access macro per method (IDraw_get_Width), and
// the server's four entry points. Property accessors are named get_, put_ and
// putref_ before the property's name. Returns S_OK, or the first failure of
// the library's methods (*out then holds what was written).
HRESULT WriteHeader(ITypeLib* library, std::string* out);

}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_HEADER_H_
