// Type information: how a server describes its classes, interfaces and
// enumerations to clients that discover them at run time.
//
// A type library (ITypeLib) holds type descriptions (ITypeInfo), one per
// enumeration, interface or class. A description answers with records:
//   TYPEATTR   the type as a whole: kind, identifier, counts of functions,
//              variables and implemented types, flags, version
//   FUNCDESC   one function: member id, invoke kind (method, property read,
//              property write), parameters and result as ELEMDESCs
//   VARDESC    one variable; for an enumeration, a named constant
//   TLIBATTR   the library: identifier, version, system kind
// A type that is not a base type is named by a reference (HREFTYPE) that
// ITypeInfo::GetRefTypeInfo turns into its description.
//
// Records handed out by a Get…Attr / Get…Desc method stay valid until given
// back to the matching Release… method of the same object. Strings returned
// through BSTR* belong to the caller. Shapes and method order are the
// platform's, so code written against them also compiles against its headers.
#ifndef PLOTVANE_RUNTIME_TYPEINFO_H_
#define PLOTVANE_RUNTIME_TYPEINFO_H_

#include <cstdint>

#include "runtime/guid.h"
#include "runtime/interfaces.h"
#include "runtime/types.h"

using HREFTYPE = DWORD;
using ULONG_PTR = uintptr_t;

// Variant types found only in type descriptions.
constexpr VARTYPE VT_PTR = 26;          // pointer to lptdesc's type
constexpr VARTYPE VT_SAFEARRAY = 27;    // array of lptdesc's type
constexpr VARTYPE VT_CARRAY = 28;       // C array (lpadesc)
constexpr VARTYPE VT_USERDEFINED = 29;  // the type named by hreftype

// The member id that stands for the type (or library) itself.
constexpr MEMBERID MEMBERID_NIL = DISPID_UNKNOWN;

enum TYPEKIND {
  TKIND_ENUM = 0,
  TKIND_RECORD,
  TKIND_MODULE,
  TKIND_INTERFACE,  // virtual-table interface
  TKIND_DISPATCH,   // dispatch interface (for a dual interface: its late-bound view)
  TKIND_COCLASS,
  TKIND_ALIAS,
  TKIND_UNION,
  TKIND_MAX
};

enum INVOKEKIND {
  INVOKE_FUNC = 1,
  INVOKE_PROPERTYGET = 2,
  INVOKE_PROPERTYPUT = 4,
  INVOKE_PROPERTYPUTREF = 8
};

enum FUNCKIND { FUNC_VIRTUAL, FUNC_PUREVIRTUAL, FUNC_NONVIRTUAL, FUNC_STATIC, FUNC_DISPATCH };

enum CALLCONV { CC_FASTCALL = 0, CC_CDECL = 1, CC_MSCPASCAL, CC_MACPASCAL, CC_STDCALL, CC_MAX };

enum VARKIND { VAR_PERINSTANCE, VAR_STATIC, VAR_CONST, VAR_DISPATCH };

enum SYSKIND { SYS_WIN16 = 0, SYS_WIN32, SYS_MAC, SYS_WIN64 };

// TYPEATTR::wTypeFlags.
constexpr WORD TYPEFLAG_FAPPOBJECT = 0x1;
constexpr WORD TYPEFLAG_FCANCREATE = 0x2;
constexpr WORD TYPEFLAG_FLICENSED = 0x4;
constexpr WORD TYPEFLAG_FPREDECLID = 0x8;
constexpr WORD TYPEFLAG_FHIDDEN = 0x10;
constexpr WORD TYPEFLAG_FCONTROL = 0x20;
constexpr WORD TYPEFLAG_FDUAL = 0x40;
constexpr WORD TYPEFLAG_FNONEXTENSIBLE = 0x80;
constexpr WORD TYPEFLAG_FOLEAUTOMATION = 0x100;
constexpr WORD TYPEFLAG_FRESTRICTED = 0x200;
constexpr WORD TYPEFLAG_FAGGREGATABLE = 0x400;
constexpr WORD TYPEFLAG_FREPLACEABLE = 0x800;
constexpr WORD TYPEFLAG_FDISPATCHABLE = 0x1000;

// PARAMDESC::wParamFlags.
constexpr USHORT PARAMFLAG_NONE = 0;
constexpr USHORT PARAMFLAG_FIN = 0x1;
constexpr USHORT PARAMFLAG_FOUT = 0x2;
constexpr USHORT PARAMFLAG_FLCID = 0x4;
constexpr USHORT PARAMFLAG_FRETVAL = 0x8;
constexpr USHORT PARAMFLAG_FOPT = 0x10;
constexpr USHORT PARAMFLAG_FHASDEFAULT = 0x20;

// ITypeInfo::GetImplTypeFlags.
constexpr INT IMPLTYPEFLAG_FDEFAULT = 0x1;
constexpr INT IMPLTYPEFLAG_FSOURCE = 0x2;
constexpr INT IMPLTYPEFLAG_FRESTRICTED = 0x4;

// TLIBATTR::wLibFlags.
constexpr WORD LIBFLAG_FRESTRICTED = 0x1;
constexpr WORD LIBFLAG_FCONTROL = 0x2;
constexpr WORD LIBFLAG_FHIDDEN = 0x4;
constexpr WORD LIBFLAG_FHASDISKIMAGE = 0x8;

// Failures of type descriptions and their registration.
constexpr HRESULT TYPE_E_REGISTRYACCESS = static_cast<HRESULT>(0x8002801Cu);
constexpr HRESULT TYPE_E_LIBNOTREGISTERED = static_cast<HRESULT>(0x8002801Du);

struct ARRAYDESC;

// A type: a base type by vt, or a pointer/array of lptdesc, or a named type
// by hreftype (VT_USERDEFINED).
struct TYPEDESC {
  union {
    TYPEDESC* lptdesc;
    ARRAYDESC* lpadesc;
    HREFTYPE hreftype;
  };
  VARTYPE vt;
};

struct IDLDESC {
  ULONG_PTR dwReserved;
  USHORT wIDLFlags;
};

struct PARAMDESCEX;
struct PARAMDESC {
  PARAMDESCEX* pparamdescex;
  USHORT wParamFlags;
};

struct ELEMDESC {
  TYPEDESC tdesc;
  union {
    IDLDESC idldesc;
    PARAMDESC paramdesc;
  };
};

struct TYPEATTR {
  GUID guid;
  LCID lcid;
  DWORD dwReserved;
  MEMBERID memidConstructor;
  MEMBERID memidDestructor;
  LPOLESTR lpstrSchema;
  ULONG cbSizeInstance;
  TYPEKIND typekind;
  WORD cFuncs;
  WORD cVars;
  WORD cImplTypes;
  WORD cbSizeVft;
  WORD cbAlignment;
  WORD wTypeFlags;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  TYPEDESC tdescAlias;  // TKIND_ALIAS: the type aliased
  IDLDESC idldescType;
};

struct FUNCDESC {
  MEMBERID memid;
  SCODE* lprgscode;
  ELEMDESC* lprgelemdescParam;  // cParams entries
  FUNCKIND funckind;
  INVOKEKIND invkind;
  CALLCONV callconv;
  SHORT cParams;
  SHORT cParamsOpt;
  SHORT oVft;  // byte offset in the virtual table (virtual functions)
  SHORT cScodes;
  ELEMDESC elemdescFunc;  // the result
  WORD wFuncFlags;
};

struct VARDESC {
  MEMBERID memid;
  LPOLESTR lpstrSchema;
  union {
    ULONG oInst;
    VARIANT* lpvarValue;  // VAR_CONST: the constant's value
  };
  ELEMDESC elemdescVar;
  WORD wVarFlags;
  VARKIND varkind;
};

struct TLIBATTR {
  GUID guid;
  LCID lcid;
  SYSKIND syskind;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  WORD wLibFlags;
};

struct ITypeComp;
struct ITypeLib;

// One type's description. Methods a description does not support return
// E_NOTIMPL.
struct ITypeInfo : public IUnknown {
  virtual HRESULT GetTypeAttr(TYPEATTR** ppTypeAttr) = 0;
  virtual HRESULT GetTypeComp(ITypeComp** ppTComp) = 0;
  // The index-th function (0 .. cFuncs - 1), in virtual-table order.
  virtual HRESULT GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) = 0;
  // The index-th variable (0 .. cVars - 1).
  virtual HRESULT GetVarDesc(UINT index, VARDESC** ppVarDesc) = 0;
  // The member's name followed by its parameters' names, at most cMaxNames.
  virtual HRESULT GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) = 0;
  // The reference of the index-th implemented type (base interface, or an
  // interface of a class); for a dual interface's dispatch view, index -1
  // (0xFFFFFFFF) names its virtual-table view.
  virtual HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) = 0;
  virtual HRESULT GetImplTypeFlags(UINT index, INT* pImplTypeFlags) = 0;
  virtual HRESULT GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) = 0;
  virtual HRESULT Invoke(PVOID pvInstance, MEMBERID memid, WORD wFlags, DISPPARAMS* pDispParams,
                         VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;
  // Name, help string, help context and help file of a member, or of the
  // type itself for MEMBERID_NIL. Null out-pointers are skipped.
  virtual HRESULT GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                   DWORD* pdwHelpContext, BSTR* pBstrHelpFile) = 0;
  virtual HRESULT GetDllEntry(MEMBERID memid, INVOKEKIND invKind, BSTR* pBstrDllName,
                              BSTR* pBstrName, WORD* pwOrdinal) = 0;
  virtual HRESULT GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) = 0;
  virtual HRESULT AddressOfMember(MEMBERID memid, INVOKEKIND invKind, PVOID* ppv) = 0;
  virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, PVOID* ppvObj) = 0;
  virtual HRESULT GetMops(MEMBERID memid, BSTR* pBstrMops) = 0;
  // The library holding this description and its index there.
  virtual HRESULT GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) = 0;
  virtual void ReleaseTypeAttr(TYPEATTR* pTypeAttr) = 0;
  virtual void ReleaseFuncDesc(FUNCDESC* pFuncDesc) = 0;
  virtual void ReleaseVarDesc(VARDESC* pVarDesc) = 0;

 protected:
  ~ITypeInfo() = default;
};

// A library of type descriptions. Unlike the other methods of the automation
// interfaces, GetTypeInfoCount returns the count itself, as the platform's.
struct ITypeLib : public IUnknown {
  virtual UINT GetTypeInfoCount() = 0;
  virtual HRESULT GetTypeInfo(UINT index, ITypeInfo** ppTInfo) = 0;
  virtual HRESULT GetTypeInfoType(UINT index, TYPEKIND* pTKind) = 0;
  virtual HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTinfo) = 0;
  virtual HRESULT GetLibAttr(TLIBATTR** ppTLibAttr) = 0;
  virtual HRESULT GetTypeComp(ITypeComp** ppTComp) = 0;
  // As ITypeInfo::GetDocumentation, of the index-th description or, for
  // index -1, of the library itself.
  virtual HRESULT GetDocumentation(INT index, BSTR* pBstrName, BSTR* pBstrDocString,
                                   DWORD* pdwHelpContext, BSTR* pBstrHelpFile) = 0;
  virtual HRESULT IsName(LPOLESTR szNameBuf, ULONG lHashVal, BOOL* pfName) = 0;
  virtual HRESULT FindName(LPOLESTR szNameBuf, ULONG lHashVal, ITypeInfo** ppTInfo,
                           MEMBERID* rgMemId, USHORT* pcFound) = 0;
  virtual void ReleaseTLibAttr(TLIBATTR* pTLibAttr) = 0;

 protected:
  ~ITypeLib() = default;
};

inline constexpr IID IID_ITypeInfo = {
    0x00020401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_ITypeLib = {
    0x00020402, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

#endif  // PLOTVANE_RUNTIME_TYPEINFO_H_
