// The automation runtime's basic types and result codes.
//
// Names, widths and values are the automation platform's own, and they live in
// the global namespace as the platform declares them (constants as macros), so
// that code written against this runtime also compiles against the platform's
// headers. The headers of the runtime's API serve C clients as well as C++. Helper
// code of our own (owner classes, the bitmap handle table) is in namespace
// plotvane.
//
// Glossary:
//   HRESULT  32-bit result: bit 31 set means failure, S_OK (0) and S_FALSE (1)
//            are the two successes callers test for.
//   OLECHAR  one UTF-16 code unit; every text crossing the interface is UTF-16.
//   BSTR     pointer to the first character of a length-prefixed string
//            (bstr.h); the null pointer is the empty string.
//   DISPID   number of a member of a dispatch interface.
//   LCID     locale identifier; this runtime has one fixed locale and ignores it.
#ifndef PLOTVANE_RUNTIME_TYPES_H_
#define PLOTVANE_RUNTIME_TYPES_H_

#include <stdint.h>
#ifndef __cplusplus
#include <uchar.h>
#endif

// Marks the runtime's API; everything else in the shared library is hidden.
#define PLOTVANE_COM_EXPORT __attribute__((visibility("default")))

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint16_t USHORT;
typedef int16_t SHORT;
typedef uint32_t DWORD;
typedef uint32_t ULONG;
typedef int32_t LONG;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef int32_t INT;
typedef uint32_t UINT;
typedef int32_t BOOL;
typedef float FLOAT;
typedef double DOUBLE;
typedef void* PVOID;
typedef void* LPVOID;

// A colour as automation passes it: 0x00BBGGRR.
typedef uint32_t OLE_COLOR;

typedef int32_t HRESULT;
typedef int32_t SCODE;
typedef int32_t DISPID;
typedef int32_t MEMBERID;
typedef uint32_t LCID;
typedef uint16_t VARTYPE;

typedef char16_t OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef OLECHAR* BSTR;

// The automation Boolean: 16 bits, true is all bits set.
typedef int16_t VARIANT_BOOL;
#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

// Macros, as the platform has them, so that C libraries which also define
// them when missing (libjpeg does) can be included in either order.
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

// Successes.
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define NOERROR ((HRESULT)0)

// General failures.
#define E_UNEXPECTED ((HRESULT)0x8000FFFF)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_POINTER ((HRESULT)0x80004003)
#define E_ABORT ((HRESULT)0x80004004)
#define E_FAIL ((HRESULT)0x80004005)
#define E_ACCESSDENIED ((HRESULT)0x80070005)
#define E_HANDLE ((HRESULT)0x80070006)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)

// Class objects and identifiers.
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111)
#define CLASS_E_NOTLICENSED ((HRESULT)0x80040112)
#define CO_E_CLASSSTRING ((HRESULT)0x800401F3)

// Calls and their cancellation.
#define RPC_E_CALL_CANCELED ((HRESULT)0x80010002)
#define RPC_E_TIMEOUT ((HRESULT)0x8001011F)
#define CO_E_CANCEL_DISABLED ((HRESULT)0x80010140)

// Dispatch interfaces, variants and arrays.
#define DISP_E_UNKNOWNINTERFACE ((HRESULT)0x80020001)
#define DISP_E_MEMBERNOTFOUND ((HRESULT)0x80020003)
#define DISP_E_PARAMNOTFOUND ((HRESULT)0x80020004)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005)
#define DISP_E_UNKNOWNNAME ((HRESULT)0x80020006)
#define DISP_E_NONAMEDARGS ((HRESULT)0x80020007)
#define DISP_E_BADVARTYPE ((HRESULT)0x80020008)
#define DISP_E_EXCEPTION ((HRESULT)0x80020009)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000A)
#define DISP_E_BADINDEX ((HRESULT)0x8002000B)
#define DISP_E_UNKNOWNLCID ((HRESULT)0x8002000C)
#define DISP_E_ARRAYISLOCKED ((HRESULT)0x8002000D)
#define DISP_E_BADPARAMCOUNT ((HRESULT)0x8002000E)
#define DISP_E_PARAMNOTOPTIONAL ((HRESULT)0x8002000F)
#define TYPE_E_ELEMENTNOTFOUND ((HRESULT)0x8002802B)

// Kinds of dispatch call (IDispatch::Invoke's wFlags), combinable.
#define DISPATCH_METHOD ((WORD)0x1)
#define DISPATCH_PROPERTYGET ((WORD)0x2)
#define DISPATCH_PROPERTYPUT ((WORD)0x4)
#define DISPATCH_PROPERTYPUTREF ((WORD)0x8)

// Reserved member numbers.
#define DISPID_UNKNOWN ((DISPID)-1)
#define DISPID_VALUE ((DISPID)0)
// Names the value argument of a property write among the named arguments.
#define DISPID_PROPERTYPUT ((DISPID)-3)

// Variant types (VARIANT::vt). The base types below may be combined with
// VT_ARRAY (a SAFEARRAY of them) or VT_BYREF (a pointer to one).
#define VT_EMPTY ((VARTYPE)0)
#define VT_NULL ((VARTYPE)1)
#define VT_I2 ((VARTYPE)2)
#define VT_I4 ((VARTYPE)3)
#define VT_R4 ((VARTYPE)4)
#define VT_R8 ((VARTYPE)5)
#define VT_CY ((VARTYPE)6)
#define VT_DATE ((VARTYPE)7)
#define VT_BSTR ((VARTYPE)8)
#define VT_DISPATCH ((VARTYPE)9)
#define VT_ERROR ((VARTYPE)10)
#define VT_BOOL ((VARTYPE)11)
#define VT_VARIANT ((VARTYPE)12)
#define VT_UNKNOWN ((VARTYPE)13)
#define VT_DECIMAL ((VARTYPE)14)
#define VT_I1 ((VARTYPE)16)
#define VT_UI1 ((VARTYPE)17)
#define VT_UI2 ((VARTYPE)18)
#define VT_UI4 ((VARTYPE)19)
#define VT_I8 ((VARTYPE)20)
#define VT_UI8 ((VARTYPE)21)
#define VT_INT ((VARTYPE)22)
#define VT_UINT ((VARTYPE)23)
#define VT_VOID ((VARTYPE)24)
#define VT_HRESULT ((VARTYPE)25)
#define VT_ARRAY ((VARTYPE)0x2000)
#define VT_BYREF ((VARTYPE)0x4000)
#define VT_TYPEMASK ((VARTYPE)0x0FFF)

typedef struct tagVARIANT VARIANT;
typedef struct tagVARIANT VARIANTARG;

// Arguments of one dispatch call. rgvarg holds them in reverse order (the last
// argument first); the first cNamedArgs of them are named by
// rgdispidNamedArgs. Owned by the caller.
typedef struct DISPPARAMS {
  VARIANTARG* rgvarg;
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
} DISPPARAMS;

// What a member that failed with DISP_E_EXCEPTION reports. The strings belong
// to whoever receives the structure, who frees them with SysFreeString.
typedef struct EXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  PVOID pvReserved;
  HRESULT (*pfnDeferredFillIn)(struct EXCEPINFO*);
  SCODE scode;
} EXCEPINFO;

#endif  // PLOTVANE_RUNTIME_TYPES_H_
