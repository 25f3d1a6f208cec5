// GUID text and creation. Random identifiers come straight from the kernel's
// random source on every call: no generator state is kept, so there is
// nothing to seed, share between threads or repeat after a fork.
#include "runtime/guid.h"

#include <sys/random.h>

#include <cerrno>
#include <cstddef>

namespace plotvane {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

// Positions of the hyphens in the text form; every other position between
// the braces holds one hexadecimal digit.
constexpr bool IsHyphenPosition(int i) { return i == 9 || i == 14 || i == 19 || i == 24; }

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// The 32 digits of `guid` in text order.
void GuidDigits(const GUID& guid, uint8_t digits[32]) {
  for (int i = 0; i < 8; ++i) digits[i] = (guid.Data1 >> (28 - 4 * i)) & 0xF;
  for (int i = 0; i < 4; ++i) digits[8 + i] = (guid.Data2 >> (12 - 4 * i)) & 0xF;
  for (int i = 0; i < 4; ++i) digits[12 + i] = (guid.Data3 >> (12 - 4 * i)) & 0xF;
  for (int i = 0; i < 8; ++i) {
    digits[16 + 2 * i] = guid.Data4[i] >> 4;
    digits[17 + 2 * i] = guid.Data4[i] & 0xF;
  }
}

// Reads the text form; false for anything else. `text` is zero-terminated.
bool ParseGuid(const char16_t* text, GUID* guid) {
  uint8_t digits[32];
  int n = 0;
  for (int i = 0; i < kGuidStringLength; ++i) {
    const char16_t c = text[i];
    if (c == 0) return false;
    if (i == 0) {
      if (c != u'{') return false;
    } else if (i == kGuidStringLength - 1) {
      if (c != u'}') return false;
    } else if (IsHyphenPosition(i)) {
      if (c != u'-') return false;
    } else {
      const int v = HexValue(c);
      if (v < 0) return false;
      digits[n++] = static_cast<uint8_t>(v);
    }
  }
  if (text[kGuidStringLength] != 0) return false;
  auto number = [&digits](int first, int count) {
    uint32_t v = 0;
    for (int i = first; i < first + count; ++i) v = (v << 4) | digits[i];
    return v;
  };
  guid->Data1 = number(0, 8);
  guid->Data2 = static_cast<uint16_t>(number(8, 4));
  guid->Data3 = static_cast<uint16_t>(number(12, 4));
  for (int i = 0; i < 8; ++i) guid->Data4[i] = static_cast<uint8_t>(number(16 + 2 * i, 2));
  return true;
}

// Fills `buffer` with random bytes; false when the kernel cannot supply them.
bool RandomBytes(void* buffer, size_t size) {
  auto* out = static_cast<uint8_t*>(buffer);
  while (size > 0) {
    const ssize_t got = getrandom(out, size, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    out += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

HRESULT GuidFromString(LPCOLESTR text, GUID* guid, HRESULT malformed) {
  if (text == nullptr || guid == nullptr) return E_INVALIDARG;
  if (!ParseGuid(text, guid)) {
    *guid = GUID_NULL;
    return malformed;
  }
  return NOERROR;
}

}  // namespace
}  // namespace plotvane

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
  if (lpsz == nullptr || cchMax < kGuidStringSize) return 0;
  uint8_t digits[32];
  plotvane::GuidDigits(rguid, digits);
  int n = 0;
  for (int i = 0; i < kGuidStringLength; ++i) {
    if (i == 0) {
      lpsz[i] = u'{';
    } else if (i == kGuidStringLength - 1) {
      lpsz[i] = u'}';
    } else if (plotvane::IsHyphenPosition(i)) {
      lpsz[i] = u'-';
    } else {
      lpsz[i] = plotvane::kHexDigits[digits[n++]];
    }
  }
  lpsz[kGuidStringLength] = 0;
  return kGuidStringSize;
}

HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
  return plotvane::GuidFromString(lpsz, pclsid, CO_E_CLASSSTRING);
}

HRESULT IIDFromString(LPCOLESTR lpsz, IID* lpiid) {
  return plotvane::GuidFromString(lpsz, lpiid, E_INVALIDARG);
}

HRESULT CoCreateGuid(GUID* pguid) {
  if (pguid == nullptr) return E_INVALIDARG;
  GUID guid;
  if (!plotvane::RandomBytes(&guid, sizeof(guid))) return E_FAIL;
  guid.Data3 = static_cast<uint16_t>((guid.Data3 & 0x0FFF) | 0x4000);
  guid.Data4[0] = static_cast<uint8_t>((guid.Data4[0] & 0x3F) | 0x80);
  *pguid = guid;
  return S_OK;
}
