// The automation runtime in one include: types and result codes, GUIDs,
// strings, arrays, variants, interfaces, error information, bitmap handles.
#ifndef PLOTVANE_AUTOMATION_COM_COM_H_
#define PLOTVANE_AUTOMATION_COM_COM_H_

#include "automation/com/bitmap_handles.h"
#include "automation/com/bstr.h"
#include "automation/com/com_ptr.h"
#include "automation/com/error_info.h"
#include "automation/com/guid.h"
#include "automation/com/interfaces.h"
#include "automation/com/safearray.h"
#include "automation/com/types.h"
#include "automation/com/variant.h"

#endif  // PLOTVANE_AUTOMATION_COM_COM_H_
