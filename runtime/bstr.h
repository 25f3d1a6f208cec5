// Automation strings (BSTR) and their owner class.
//
// Layout of one string, allocated as a single block:
//   [4 bytes] length in bytes, excluding the terminator (little-endian ULONG)
//   [length]  the UTF-16 code units; embedded zeros are allowed
//   [2 bytes] a zero code unit, so the text also reads as a C string
// A BSTR points at the first code unit, 4 bytes into the block. The null BSTR
// is a valid value everywhere and means the empty string.
//
// Every string is allocated and freed inside this library, so one side of the
// interface may free what the other allocated.
//
//   SysAllocString(psz)           allocates a copy of a zero-terminated text
//   SysAllocStringLen(pch, len)   allocates len units, copied from pch if given
//   SysReAllocString(Len)         replaces *pbstr with a new copy
//   SysFreeString(bstr)           frees (null is fine)
//   SysStringLen / SysStringByteLen   length in code units / bytes
//   plotvane::BStr                owns one BSTR
#ifndef PLOTVANE_RUNTIME_BSTR_H_
#define PLOTVANE_RUNTIME_BSTR_H_


#ifdef __cplusplus
#include <new>
#include <string>
#include <string_view>
#include <utility>
#endif

#include "runtime/types.h"


#ifdef __cplusplus
extern "C" {
#endif

// Allocates a copy of the zero-terminated `psz`. Returns null when `psz` is
// null, too long or memory is exhausted. The caller owns the result.
PLOTVANE_COM_EXPORT BSTR SysAllocString(const OLECHAR* psz);

// Allocates a string of `ui` code units, copied from `pch` (which may hold
// zeros) or, when `pch` is null, all zero. Returns null when `ui` exceeds
// kMaxBStrLength or memory is exhausted. The caller owns the result.
PLOTVANE_COM_EXPORT BSTR SysAllocStringLen(const OLECHAR* pch, UINT ui);

// Replaces *pbstr with a new copy of `psz` (which may point into *pbstr) and
// frees the old string. Returns TRUE; FALSE with *pbstr unchanged when
// `pbstr` is null or the allocation fails. A null `psz` gives the null BSTR.
PLOTVANE_COM_EXPORT INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz);

// As SysReAllocString, with `len` code units from `psz` (as SysAllocStringLen).
PLOTVANE_COM_EXPORT INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len);

// Frees a string made by this library. Null is allowed and ignored.
PLOTVANE_COM_EXPORT void SysFreeString(BSTR bstrString);

// Length in code units (embedded zeros included); 0 for null.
PLOTVANE_COM_EXPORT UINT SysStringLen(BSTR pbstr);

// Length in bytes, excluding the terminator; 0 for null.
PLOTVANE_COM_EXPORT UINT SysStringByteLen(BSTR bstr);

#ifdef __cplusplus
}  // extern "C"
#endif

#ifdef __cplusplus
// The longest string, in code units: its byte length must fit the 31 bits of
// a positive LONG, as the platform's. Longer requests are refused.
constexpr UINT kMaxBStrLength = (0x7FFFFFFFu - 4 - 2) / 2;

namespace plotvane {

// Owns one BSTR (possibly null, the empty string); frees it on destruction.
// Copying is not allowed; moving empties the source.
//
//   BStr name(u"Apples");
//   object->SetSource(name.Get());
//   BStr description;
//   error->GetDescription(description.ReleaseAndGetAddressOf());
class BStr {
 public:
  BStr() = default;
  // Copies `text`. Throws std::bad_alloc when the string cannot be allocated.
  explicit BStr(std::u16string_view text)
      : bstr_(SysAllocStringLen(text.data(), Checked(text.size()))) {
    if (bstr_ == nullptr) throw std::bad_alloc();
  }
  BStr(const BStr&) = delete;
  BStr& operator=(const BStr&) = delete;
  BStr(BStr&& other) noexcept : bstr_(other.Detach()) {}
  BStr& operator=(BStr&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
  }
  ~BStr() { SysFreeString(bstr_); }

  // Takes ownership of `bstr`, freeing the string held so far.
  void Attach(BSTR bstr) {
    SysFreeString(bstr_);
    bstr_ = bstr;
  }
  // Gives up ownership: the caller frees the result.
  BSTR Detach() { return std::exchange(bstr_, nullptr); }
  // Frees the string held so far and returns where a callee may store a new
  // one, which this object then owns.
  BSTR* ReleaseAndGetAddressOf() {
    Attach(nullptr);
    return &bstr_;
  }

  // The string, still owned by this object; may be null.
  BSTR Get() const { return bstr_; }
  size_t size() const { return SysStringLen(bstr_); }
  std::u16string_view view() const { return {bstr_ == nullptr ? u"" : bstr_, size()}; }
  std::u16string str() const { return std::u16string(view()); }

 private:
  // Lengths beyond kMaxBStrLength become a request that is refused.
  static UINT Checked(size_t n) {
    return n > kMaxBStrLength ? kMaxBStrLength + 1 : static_cast<UINT>(n);
  }

  BSTR bstr_ = nullptr;
};

}  // namespace plotvane
#endif  // __cplusplus

#endif  // PLOTVANE_RUNTIME_BSTR_H_
