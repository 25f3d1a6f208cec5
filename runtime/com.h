// The automation runtime in one include: types and result codes, GUIDs,
// strings, arrays, variants, interfaces, error information, bitmap handles,
// call cancellation.
// C clients get the same declarations, the interfaces as function tables;
// the owner classes (ComPtr, BStr, Variant, …) are C++ only.
#ifndef PLOTVANE_RUNTIME_COM_H_
#define PLOTVANE_RUNTIME_COM_H_

#include "runtime/bitmap_handles.h"
#include "runtime/bstr.h"
#include "runtime/call_cancel.h"
#include "runtime/error_info.h"
#include "runtime/guid.h"
#include "runtime/interfaces.h"
#include "runtime/safearray.h"
#include "runtime/types.h"
#include "runtime/variant.h"
#ifdef __cplusplus
#include "runtime/com_ptr.h"
#endif

#endif  // PLOTVANE_RUNTIME_COM_H_
