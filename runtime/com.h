// The automation runtime in one include: types and result codes, GUIDs,
// strings, arrays, variants, interfaces, error information, bitmap handles.
// C clients get the same declarations, the interfaces as function tables;
// the owner classes (ComPtr, BStr, Variant, …) are C++ only.
#ifndef PLOTVANE_AUTOMATION_COM_COM_H_
#define PLOTVANE_AUTOMATION_COM_COM_H_

#include "automation/com/bitmap_handles.h"
#include "automation/com/bstr.h"
#include "automation/com/error_info.h"
#include "automation/com/guid.h"
#include "automation/com/interfaces.h"
#include "automation/com/safearray.h"
#include "automation/com/types.h"
#include "automation/com/variant.h"
#ifdef __cplusplus
#include "automation/com/com_ptr.h"
#endif

#endif  // PLOTVANE_AUTOMATION_COM_COM_H_
