// BSTR allocation. The block layout is described in bstr.h.
#include "runtime/bstr.h"

#include <cstdlib>
#include <cstring>

namespace plotvane {
namespace {

constexpr size_t kPrefixBytes = sizeof(uint32_t);

// The start of the block that `bstr` points into.
char* BlockOf(BSTR bstr) { return reinterpret_cast<char*>(bstr) - kPrefixBytes; }

uint32_t ByteLength(BSTR bstr) {
  uint32_t bytes;
  std::memcpy(&bytes, BlockOf(bstr), sizeof(bytes));
  return bytes;
}

size_t ZeroTerminatedLength(const OLECHAR* psz) {
  size_t n = 0;
  // Stop one past the limit: the allocation then refuses the length.
  while (n <= kMaxBStrLength && psz[n] != 0) ++n;
  return n;
}

}  // namespace
}  // namespace plotvane

BSTR SysAllocStringLen(const OLECHAR* pch, UINT ui) {
  if (ui > kMaxBStrLength) return nullptr;
  const uint32_t bytes = ui * static_cast<uint32_t>(sizeof(OLECHAR));
  auto* block = static_cast<char*>(std::malloc(plotvane::kPrefixBytes + bytes + sizeof(OLECHAR)));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &bytes, sizeof(bytes));
  char* text = block + plotvane::kPrefixBytes;
  if (pch != nullptr) {
    std::memcpy(text, pch, bytes);
  } else {
    // The platform leaves these units undefined; zeros keep a caller that
    // reads before writing from seeing stale memory.
    std::memset(text, 0, bytes);
  }
  std::memset(text + bytes, 0, sizeof(OLECHAR));
  return reinterpret_cast<BSTR>(text);
}

BSTR SysAllocString(const OLECHAR* psz) {
  if (psz == nullptr) return nullptr;
  const size_t n = plotvane::ZeroTerminatedLength(psz);
  if (n > kMaxBStrLength) return nullptr;
  return SysAllocStringLen(psz, static_cast<UINT>(n));
}

INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len) {
  if (pbstr == nullptr) return FALSE;
  // Allocate before freeing: `psz` may point into the old string.
  BSTR fresh = SysAllocStringLen(psz, len);
  if (fresh == nullptr) return FALSE;
  SysFreeString(*pbstr);
  *pbstr = fresh;
  return TRUE;
}

INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz) {
  if (pbstr == nullptr) return FALSE;
  if (psz == nullptr) {
    SysFreeString(*pbstr);
    *pbstr = nullptr;
    return TRUE;
  }
  const size_t n = plotvane::ZeroTerminatedLength(psz);
  if (n > kMaxBStrLength) return FALSE;
  return SysReAllocStringLen(pbstr, psz, static_cast<UINT>(n));
}

void SysFreeString(BSTR bstrString) {
  if (bstrString != nullptr) std::free(plotvane::BlockOf(bstrString));
}

UINT SysStringByteLen(BSTR bstr) { return bstr == nullptr ? 0 : plotvane::ByteLength(bstr); }

UINT SysStringLen(BSTR pbstr) { return SysStringByteLen(pbstr) / sizeof(OLECHAR); }
