// The automation interfaces, with the platform's method order (which is their
// virtual-table order and must not change).
//
// Interfaces are abstract: every method is pure virtual and returns an
// HRESULT, except AddRef and Release, which return the new reference count
// (for diagnostics only). An object lives while references to it are held and
// frees itself on its last Release; nobody deletes it through an interface
// pointer, so the destructors are protected and not virtual, as the platform
// lays interfaces out. Reference counts of implementations are atomic: an
// object may be handed between threads.
//
// Out-parameter rule: a method that returns an interface or a string through
// a pointer sets it (to null on failure) and the caller owns what it gets.
#ifndef PLOTVANE_RUNTIME_INTERFACES_H_
#define PLOTVANE_RUNTIME_INTERFACES_H_

#include "runtime/guid.h"
#include "runtime/types.h"

// What a licensed class factory reports about its licence.
typedef struct LICINFO {
  LONG cbLicInfo;
  BOOL fRuntimeKeyAvail;
  BOOL fLicVerified;
} LICINFO;

#ifdef __cplusplus
// Type information is described by the server's type library; the runtime
// only passes pointers to it along.
struct ITypeInfo;

struct IUnknown {
  // Stores in *ppvObject the object's interface `riid` with a reference added,
  // or null with E_NOINTERFACE. E_POINTER when `ppvObject` is null.
  virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

// Late-bound calls by member number, the way scripting clients call.
struct IDispatch : public IUnknown {
  // Number of type descriptions offered (0 or 1).
  virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
  virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
  // Maps a member name (rgszNames[0], matched ignoring case) and the names of
  // its parameters to numbers. DISP_E_UNKNOWNNAME when a name is unknown; its
  // entry in rgDispId is then DISPID_UNKNOWN.
  virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                DISPID* rgDispId) = 0;
  // Calls member `dispIdMember` as a method or property access (wFlags) with
  // the arguments in pDispParams; the result goes to pVarResult when given.
  // Failure details go to pExcepInfo (DISP_E_EXCEPTION) or the index of the
  // offending argument to puArgErr (DISP_E_TYPEMISMATCH, DISP_E_PARAMNOTFOUND).
  virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                         DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                         UINT* puArgErr) = 0;

 protected:
  ~IDispatch() = default;
};

// Makes the objects of one class.
struct IClassFactory : public IUnknown {
  // Makes a new object and returns its interface `riid`. *ppvObject is set to
  // null first. E_POINTER for a null `ppvObject`; CLASS_E_NOAGGREGATION when
  // `pUnkOuter` is given and the class cannot be aggregated.
  virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
  // Keeps the server loaded while locked (fLock TRUE), counting locks.
  virtual HRESULT LockServer(BOOL fLock) = 0;

 protected:
  ~IClassFactory() = default;
};



struct IClassFactory2 : public IClassFactory {
  virtual HRESULT GetLicInfo(LICINFO* pLicInfo) = 0;
  virtual HRESULT RequestLicKey(DWORD dwReserved, BSTR* pBstrKey) = 0;
  virtual HRESULT CreateInstanceLic(IUnknown* pUnkOuter, IUnknown* pUnkReserved, REFIID riid,
                                    BSTR bstrKey, PVOID* ppvObj) = 0;

 protected:
  ~IClassFactory2() = default;
};

// The details of the last failure on a thread (see error_info.h). Each getter
// hands the caller a new copy of the string.
struct IErrorInfo : public IUnknown {
  // The interface that defined the error.
  virtual HRESULT GetGUID(GUID* pGUID) = 0;
  // Who raised it: the ProgID of the class.
  virtual HRESULT GetSource(BSTR* pBstrSource) = 0;
  // The text shown to the user.
  virtual HRESULT GetDescription(BSTR* pBstrDescription) = 0;
  virtual HRESULT GetHelpFile(BSTR* pBstrHelpFile) = 0;
  virtual HRESULT GetHelpContext(DWORD* pdwHelpContext) = 0;

 protected:
  ~IErrorInfo() = default;
};

// Fills an error object before it is handed to SetErrorInfo. Each setter
// copies its string; a null string clears the field.
struct ICreateErrorInfo : public IUnknown {
  virtual HRESULT SetGUID(REFGUID rguid) = 0;
  virtual HRESULT SetSource(LPOLESTR szSource) = 0;
  virtual HRESULT SetDescription(LPOLESTR szDescription) = 0;
  virtual HRESULT SetHelpFile(LPOLESTR szHelpFile) = 0;
  virtual HRESULT SetHelpContext(DWORD dwHelpContext) = 0;

 protected:
  ~ICreateErrorInfo() = default;
};

// Implemented by objects that report failures through error objects:
// S_OK for the interfaces that do, S_FALSE for the others.
struct ISupportErrorInfo : public IUnknown {
  virtual HRESULT InterfaceSupportsErrorInfo(REFIID riid) = 0;

 protected:
  ~ISupportErrorInfo() = default;
};

#else  // C

// C clients see each interface as a pointer to its table of functions, in
// the same order, each taking the interface pointer first.
#define PLOTVANE_C_INTERFACE(name) \
  typedef struct name name;        \
  struct name {                    \
    const struct name##Vtbl* lpVtbl; \
  }

struct ITypeInfo;
typedef struct ITypeInfo ITypeInfo;

#define PLOTVANE_IUNKNOWN_METHODS(T)                                          \
  HRESULT (*QueryInterface)(T * This, REFIID riid, void** ppvObject); \
  ULONG (*AddRef)(T * This);                                                  \
  ULONG (*Release)(T * This)
#define PLOTVANE_IDISPATCH_METHODS(T)                                                      \
  PLOTVANE_IUNKNOWN_METHODS(T);                                                            \
  HRESULT (*GetTypeInfoCount)(T * This, UINT * pctinfo);                                   \
  HRESULT (*GetTypeInfo)(T * This, UINT iTInfo, LCID lcid, ITypeInfo * *ppTInfo);          \
  HRESULT (*GetIDsOfNames)(T * This, REFIID riid, LPOLESTR * rgszNames, UINT cNames,       \
                           LCID lcid, DISPID * rgDispId);                                  \
  HRESULT (*Invoke)(T * This, DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,    \
                    DISPPARAMS * pDispParams, VARIANT * pVarResult, EXCEPINFO * pExcepInfo, \
                    UINT * puArgErr)

PLOTVANE_C_INTERFACE(IUnknown);
struct IUnknownVtbl {
  PLOTVANE_IUNKNOWN_METHODS(IUnknown);
};

PLOTVANE_C_INTERFACE(IDispatch);
struct IDispatchVtbl {
  PLOTVANE_IDISPATCH_METHODS(IDispatch);
};

PLOTVANE_C_INTERFACE(IClassFactory);
struct IClassFactoryVtbl {
  PLOTVANE_IUNKNOWN_METHODS(IClassFactory);
  HRESULT (*CreateInstance)(IClassFactory* This, IUnknown* pUnkOuter, REFIID riid,
                            void** ppvObject);
  HRESULT (*LockServer)(IClassFactory* This, BOOL fLock);
};

PLOTVANE_C_INTERFACE(IErrorInfo);
struct IErrorInfoVtbl {
  PLOTVANE_IUNKNOWN_METHODS(IErrorInfo);
  HRESULT (*GetGUID)(IErrorInfo* This, GUID* pGUID);
  HRESULT (*GetSource)(IErrorInfo* This, BSTR* pBstrSource);
  HRESULT (*GetDescription)(IErrorInfo* This, BSTR* pBstrDescription);
  HRESULT (*GetHelpFile)(IErrorInfo* This, BSTR* pBstrHelpFile);
  HRESULT (*GetHelpContext)(IErrorInfo* This, DWORD* pdwHelpContext);
};

PLOTVANE_C_INTERFACE(ICreateErrorInfo);
struct ICreateErrorInfoVtbl {
  PLOTVANE_IUNKNOWN_METHODS(ICreateErrorInfo);
  HRESULT (*SetGUID)(ICreateErrorInfo* This, REFGUID rguid);
  HRESULT (*SetSource)(ICreateErrorInfo* This, LPOLESTR szSource);
  HRESULT (*SetDescription)(ICreateErrorInfo* This, LPOLESTR szDescription);
  HRESULT (*SetHelpFile)(ICreateErrorInfo* This, LPOLESTR szHelpFile);
  HRESULT (*SetHelpContext)(ICreateErrorInfo* This, DWORD dwHelpContext);
};

PLOTVANE_C_INTERFACE(ISupportErrorInfo);
struct ISupportErrorInfoVtbl {
  PLOTVANE_IUNKNOWN_METHODS(ISupportErrorInfo);
  HRESULT (*InterfaceSupportsErrorInfo)(ISupportErrorInfo* This, REFIID riid);
};

#endif  // __cplusplus

#endif  // PLOTVANE_RUNTIME_INTERFACES_H_
