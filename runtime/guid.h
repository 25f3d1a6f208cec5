// Globally unique identifiers: their layout, text form and creation.
//
// The text form is the registry's: 38 characters, upper-case hexadecimal in
// braces, groups of 8-4-4-4-12 digits, "{00020400-0000-0000-C000-000000000046}".
// The first three groups are Data1, Data2 and Data3 as numbers; the last two
// are the eight bytes of Data4 in order.
#ifndef PLOTVANE_RUNTIME_GUID_H_
#define PLOTVANE_RUNTIME_GUID_H_

#include <string.h>

#include "runtime/types.h"

typedef struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
typedef CLSID* LPCLSID;

#ifdef __cplusplus
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;

inline bool IsEqualGUID(REFGUID a, REFGUID b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         memcmp(a.Data4, b.Data4, sizeof(a.Data4)) == 0;
}
inline bool IsEqualIID(REFIID a, REFIID b) { return IsEqualGUID(a, b); }
inline bool IsEqualCLSID(REFCLSID a, REFCLSID b) { return IsEqualGUID(a, b); }
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
inline bool operator!=(REFGUID a, REFGUID b) { return !IsEqualGUID(a, b); }

// Characters of the text form, without and with its terminating null.
constexpr int kGuidStringLength = 38;
constexpr int kGuidStringSize = kGuidStringLength + 1;
#else
// C passes identifiers by address where C++ passes them by reference; the
// two are the same at the call.
typedef const GUID* REFGUID;
typedef const IID* REFIID;
typedef const CLSID* REFCLSID;
#define IsEqualGUID(a, b) (memcmp((a), (b), sizeof(GUID)) == 0)
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Writes the text form of `rguid` and a terminating zero into `lpsz`.
// Returns the characters written including the zero (kGuidStringSize), or 0
// with nothing written when `lpsz` is null or `cchMax` < kGuidStringSize.
PLOTVANE_COM_EXPORT int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);

// Reads the text form (hexadecimal digits in either case). Returns NOERROR,
// CO_E_CLASSSTRING for any other text (wrong length, missing braces or
// hyphens, a character that is not a hexadecimal digit, trailing
// characters), E_INVALIDARG for a null argument. On failure *pclsid, when
// given, is the null identifier.
PLOTVANE_COM_EXPORT HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);

// As CLSIDFromString, but a malformed text gives E_INVALIDARG.
PLOTVANE_COM_EXPORT HRESULT IIDFromString(LPCOLESTR lpsz, IID* lpiid);

// Makes a new random identifier in the standard random layout (version 4:
// the high nibble of Data3 is 4; variant: the two high bits of Data4[0] are
// 10), from the operating system's cryptographic random source. Safe to call
// from any thread. Returns S_OK, E_INVALIDARG when `pguid` is null, or
// E_FAIL when no random bytes can be had (*pguid is then unchanged).
PLOTVANE_COM_EXPORT HRESULT CoCreateGuid(GUID* pguid);

#ifdef __cplusplus
}  // extern "C"
#endif

// The platform's well-known interface identifiers.
#ifdef __cplusplus
inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr IID IID_NULL = GUID_NULL;
inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IClassFactory2 = {
    0xB196B28F, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IErrorInfo = {
    0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr IID IID_ICreateErrorInfo = {
    0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr IID IID_ISupportErrorInfo = {
    0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

#else
static const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
static const IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
static const IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID IID_IDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID IID_IClassFactory2 = {
    0xB196B28F, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
static const IID IID_IErrorInfo = {
    0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
static const IID IID_ICreateErrorInfo = {
    0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
static const IID IID_ISupportErrorInfo = {
    0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

#endif

#endif  // PLOTVANE_RUNTIME_GUID_H_
