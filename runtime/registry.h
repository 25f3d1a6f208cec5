// The registry: a tree of keys, each with named string values, where servers
// record their classes and type libraries and clients look them up.
//
// Glossary:
//   key          a node of the tree, named by its path below a root key with
//                "\" between the names ("CLSID\{…}\InprocServer32"). Names are
//                1 to 255 UTF-16 units without "\" or control characters and
//                compare without regard to ASCII letter case; a key keeps the
//                spelling it was created with.
//   root key     HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE:
//                predefined handles that are always open.
//   value        a named string (REG_SZ) stored under a key; the value with the
//                empty (or null) name is the key's default value.
//   handle       an HKEY returned by RegCreateKeyExW / RegOpenKeyExW, open until
//                RegCloseKey. A handle names its key by path: once the key is
//                deleted, calls through it fail with ERROR_KEY_DELETED.
//   store        the file the tree is kept in. The process opens one store
//                (plotvane::OpenRegistryStore), changes it through the functions
//                below and writes it back (plotvane::SaveRegistryStore), which
//                replaces the file atomically. Without an open store every
//                function fails with ERROR_INVALID_HANDLE.
//
// The component never chooses a store: the registering tool does, then calls
// the server's registration entry points, which write through these functions.
// All functions are safe to call from several threads; results are the
// platform's error codes (ERROR_SUCCESS is 0), not HRESULTs.
//
//   plotvane::OpenRegistryStore(path)   loads (or starts) the store in a file
//   RegCreateKeyExW / RegOpenKeyExW     open a key (creating it and its parents)
//   RegSetValueExW / RegQueryValueExW   write / read a string value
//   RegDeleteValueW / RegDeleteKeyW     delete a value / a key without subkeys
//   RegCloseKey                         closes a handle
//   plotvane::SaveRegistryStore()       writes the store back, atomically
//   RegisterTypeLib / UnRegisterTypeLib record / remove a type library
#ifndef PLOTVANE_RUNTIME_REGISTRY_H_
#define PLOTVANE_RUNTIME_REGISTRY_H_

#include <cstdint>

#include "runtime/guid.h"
#include "runtime/typeinfo.h"
#include "runtime/types.h"

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LSTATUS = LONG;
using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPDWORD = DWORD*;
using LPBYTE = BYTE*;

// The predefined root keys, as the platform writes them.
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u)))

// Results.
constexpr LSTATUS ERROR_SUCCESS = 0;
constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;     // no such key or value
constexpr LSTATUS ERROR_ACCESS_DENIED = 5;      // deleting a key that has subkeys
constexpr LSTATUS ERROR_INVALID_HANDLE = 6;     // unknown handle, or no store open
constexpr LSTATUS ERROR_OUTOFMEMORY = 14;
constexpr LSTATUS ERROR_INVALID_PARAMETER = 87; // bad name, type or size
constexpr LSTATUS ERROR_MORE_DATA = 234;        // the caller's buffer is too small
constexpr LSTATUS ERROR_BADDB = 1009;           // the store file is not a store
constexpr LSTATUS ERROR_CANTOPEN = 1011;        // the store file cannot be read
constexpr LSTATUS ERROR_CANTWRITE = 1013;       // the store file cannot be written
constexpr LSTATUS ERROR_KEY_DELETED = 1018;     // the handle's key was deleted

// The HRESULT carrying a registry result.
constexpr HRESULT HRESULT_FROM_WIN32(LSTATUS x) {
  return x <= 0 ? static_cast<HRESULT>(x)
                : static_cast<HRESULT>((static_cast<uint32_t>(x) & 0xFFFFu) | 0x80070000u);
}

// Value types; only strings are stored.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;

// RegCreateKeyExW options and dispositions; access rights are accepted and
// not checked (the store has no security).
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Bounds that keep a store small: the longest key name in UTF-16 units, the
// longest value name, the largest value in bytes, the largest store file and
// the most handles open at once.
constexpr size_t kMaxRegistryKeyName = 255;
constexpr size_t kMaxRegistryValueName = 16383;
constexpr size_t kMaxRegistryValueBytes = size_t{1} << 20;
constexpr size_t kMaxRegistryStoreBytes = size_t{64} << 20;
constexpr size_t kMaxRegistryHandles = 100000;

extern "C" {

// Opens the key `lpSubKey` below `hKey`, creating it and any missing parents,
// and stores a new handle in *phkResult (null on failure). A null or empty
// `lpSubKey` opens `hKey`'s own key again. *lpdwDisposition, when given, tells
// whether the key was created or existed. `Reserved`, `lpClass`,
// `samDesired` and `lpSecurityAttributes` are ignored; `dwOptions` must be
// REG_OPTION_NON_VOLATILE. ERROR_INVALID_PARAMETER for a malformed path
// (empty name, name too long, control character, leading "\").
PLOTVANE_COM_EXPORT LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved,
                                            LPWSTR lpClass, DWORD dwOptions, REGSAM samDesired,
                                            const void* lpSecurityAttributes, PHKEY phkResult,
                                            LPDWORD lpdwDisposition);

// Opens the existing key `lpSubKey` below `hKey`; ERROR_FILE_NOT_FOUND when
// it does not exist. Otherwise as RegCreateKeyExW.
PLOTVANE_COM_EXPORT LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions,
                                          REGSAM samDesired, PHKEY phkResult);

// Closes a handle. Closing a root key does nothing. ERROR_INVALID_HANDLE for
// a handle that is not open.
PLOTVANE_COM_EXPORT LSTATUS RegCloseKey(HKEY hKey);

// Sets the value `lpValueName` (null or "" for the default value) of the key
// to the string in `lpData`: `cbData` bytes of UTF-16, normally ending in a
// zero unit, which is not stored. Only REG_SZ is accepted; an odd `cbData`,
// more than kMaxRegistryValueBytes or a value name that is too long give
// ERROR_INVALID_PARAMETER.
PLOTVANE_COM_EXPORT LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved,
                                           DWORD dwType, const BYTE* lpData, DWORD cbData);

// Reads the value `lpValueName` (null or "" for the default value). On entry
// *lpcbData is the size of `lpData` in bytes; on return it is the size of the
// string with its terminating zero unit. With `lpData` null only the size is
// reported; with a buffer that is too small, ERROR_MORE_DATA and nothing is
// copied. *lpType, when given, is REG_SZ. ERROR_FILE_NOT_FOUND when the key
// has no such value.
PLOTVANE_COM_EXPORT LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved,
                                             LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);

// Deletes one value. ERROR_FILE_NOT_FOUND when the key has no such value.
PLOTVANE_COM_EXPORT LSTATUS RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);

// Deletes the key `lpSubKey` below `hKey` with its values. A key that still
// has subkeys is not deleted (ERROR_ACCESS_DENIED); a missing key gives
// ERROR_FILE_NOT_FOUND; a root key or an empty path, ERROR_ACCESS_DENIED.
PLOTVANE_COM_EXPORT LSTATUS RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);

// Records a type library under HKEY_CLASSES_ROOT, with this layout (GUIDs in
// their text form, the version as hexadecimal "major.minor"):
//   TypeLib\{library}\3.1            = the library's help string (or its name)
//   TypeLib\{library}\3.1\FLAGS      = the library flags, decimal
//   TypeLib\{library}\3.1\HELPDIR    = szHelpDir ("" when null)
//   TypeLib\{library}\3.1\0\win64    = szFullPath (win32 on 32-bit systems;
//                                      0 is the library's locale, hexadecimal)
// and for every interface the library describes that clients may call
// through a dispatch interface (dispatch views, dual and OLE-automation
// interfaces):
//   Interface\{iid}                  = the interface's name
//   Interface\{iid}\ProxyStubClsid   = the standard marshaller for its kind
//   Interface\{iid}\ProxyStubClsid32 = the same
//   Interface\{iid}\TypeLib          = {library}, value "Version" = "3.1"
// Recording twice gives the same keys. E_INVALIDARG for a null library or
// path; the library's own failures; HRESULT_FROM_WIN32 of a registry failure
// (nothing written is undone then: the caller does not save the store).
PLOTVANE_COM_EXPORT HRESULT RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath,
                                            LPCOLESTR szHelpDir);

// Removes what RegisterTypeLib recorded for version wVerMajor.wVerMinor of
// the library `libID`: the interfaces whose TypeLib key names this library
// and version, the version key with everything below it, and the library's
// key when no other version is left. `lcid` and `syskind` are ignored: every
// locale and system of the version goes. TYPE_E_REGISTRYACCESS when that
// version is not registered (nothing changes); HRESULT_FROM_WIN32 of a
// registry failure.
PLOTVANE_COM_EXPORT HRESULT UnRegisterTypeLib(REFGUID libID, WORD wVerMajor, WORD wVerMinor,
                                              LCID lcid, SYSKIND syskind);

}  // extern "C"

namespace plotvane {

// Makes the file at `path` (UTF-8) the process's store: its keys and values
// are read, and SaveRegistryStore will write there. A missing file starts an
// empty store. What was open before is dropped unsaved and its handles stop
// working. ERROR_CANTOPEN when the file cannot be read, ERROR_BADDB when it
// is not a store or is larger than kMaxRegistryStoreBytes, and
// ERROR_INVALID_PARAMETER for a null or empty path; the store open before
// stays open in these cases.
PLOTVANE_COM_EXPORT LSTATUS OpenRegistryStore(const char* path);

// Writes the store to its file: a new file is written and flushed beside it,
// then renamed over the old one, so the file always holds either the old or
// the new store. ERROR_CANTWRITE when that fails (the old file is kept),
// ERROR_INVALID_HANDLE without an open store.
PLOTVANE_COM_EXPORT LSTATUS SaveRegistryStore();

// Drops the store unsaved; its handles stop working. Does nothing when no
// store is open.
PLOTVANE_COM_EXPORT void CloseRegistryStore();

}  // namespace plotvane

#endif  // PLOTVANE_RUNTIME_REGISTRY_H_
