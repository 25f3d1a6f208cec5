// Call streams: a conversation with Draw objects written as bytes, so that a
// fuzzer can mutate it freely and a sequence that once went wrong can be kept
// as a file and played again by the tests.
//
// Every byte string is a valid stream: a reader that runs out yields zeros,
// and every count and selector is taken modulo its range. A stream is a list
// of records, each opening with an operation byte (taken modulo kOpCount):
//
//   kOpInvoke        dispid:I16 CALL                Invoke by number
//   kOpInvokeByName  count:U8 NAME* CALL            GetIDsOfNames, then Invoke
//   kOpPut           member:U8 ARG                  a well-formed property write
//   kOpUse           member:U8 ARG*                 a well-formed read or method call
//   kOpOutput        output:U8 kind:I32 format:I32 path:U8
//                                                   a picture through one output member
//   kOpNewObject     how:U8                         the object released, a new one made
//   kOpHandles       what:U8 number:I32 size:I32    bitmap handles read, deleted, forged
//
//   CALL  := flags:U8 argc:U8 named:U8 NAMEDID{named % 4} ARG{argc % 9} options:U8
//            arguments in their natural order (a write's value last); NAMEDID
//            is a signed byte (0xFD is DISPID_PROPERTYPUT); options bit 0 asks
//            for the result, bit 1 passes an EXCEPINFO, bit 2 a puArgErr,
//            bit 3 leaves the named-argument array out, bit 4 the whole
//            DISPPARAMS, bit 5 the argument array.
//   NAME  := 0 member:U8 case:U8   a member's name, letters flipped by `case`
//          | 1 STR                 any text (a null BSTR passes a null name)
//   ARG   := tag:U8 VALUE          tag bit 7 passes the value by reference;
//            the low bits (modulo kArgKinds) pick the type, see ReadValue.
//   STR   := kind:U8 ...           see ReadString.
//   I16, I32, F64: a selector byte below the number of special values picks
//            one of them (0, -1, extremes, NaN, infinities ...); 0xFF is
//            followed by the raw little-endian bytes.
//
// The player keeps a stream's cost bounded: at most kMaxRecords records and
// kMaxDrawings calls that draw. File names given to the saving members are
// always replaced by paths inside the player's own folder, so a stream can
// never write elsewhere.
//
// Besides surviving every stream, the component must keep its promises, and
// the player checks them after each call: a success returns a value of the
// member's declared type (a byte array starting with its format's signature
// and bounds from 1, a live bitmap handle, an SVG document that is
// well-formed XML), a member's failure carries a description, a saved
// picture exists, a live handle can be deleted exactly once. Every PNG
// picture a stream draws is followed by the SVG document of the same chart,
// which must be drawn too. Broken promises are collected as failures.
//
// Streams choose members among IDraw's (the interface streams were written
// for), so that every kept stream still makes the calls it was kept for;
// IDraw2's members are reached by number and by the SVG read after each PNG.
#ifndef PLOTVANE_TESTING_CALL_STREAM_H_
#define PLOTVANE_TESTING_CALL_STREAM_H_

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "automation/draw.h"
#include "automation/members.h"
#include "automation/server.h"
#include "base/utf.h"
#include "runtime/com.h"
#include "testing/xml_check.h"

namespace plotvane {
namespace fuzz {

enum Op : uint8_t {
  kOpInvoke,
  kOpInvokeByName,
  kOpPut,
  kOpUse,
  kOpOutput,
  kOpNewObject,
  kOpHandles,
  kOpCount
};

// Argument kinds (the low bits of an ARG tag, modulo kArgKinds).
enum ArgKind : uint8_t {
  kArgEmpty,
  kArgNull,
  kArgI2,
  kArgI4,
  kArgR4,
  kArgR8,
  kArgBool,
  kArgBstr,
  kArgError,
  kArgUI1,
  kArgUI2,
  kArgUI4,
  kArgI8,
  kArgUI8,
  kArgInt,
  kArgUInt,
  kArgBytes,     // len:U8 bytes lbound:I32: a byte array
  kArgDispatch,  // which:U8: the object itself or null
  kArgUnknown,   // which:U8: the object itself or null
  kArgVariant,   // ARG: a variant inside a variant (by reference only)
  kArgRawType,   // vt:I16 raw:8 bytes: any type tag at all
  kArgKinds
};
constexpr uint8_t kArgByRef = 0x80;

// String kinds (the first byte of a STR, modulo kStringKinds).
enum StringKind : uint8_t {
  kStrNull,     // a null BSTR
  kStrAscii,    // len:U8, then len bytes, one code unit each
  kStrUtf16,    // len:U16, then len code units (any, surrogates unpaired too)
  kStrRepeat,   // unit:U16 count:U16: one code unit count times
  kStrWord,     // index:U8: a text from kWords
  kStrHuge,     // unit:U16 count:U8: one code unit count x 4096 times
  kStringKinds
};
constexpr uint8_t kRawSelector = 0xFF;

// Texts a client plausibly sends: colours in every notation, numbers the
// string conversions must read or refuse, date patterns, masks, face names,
// markup, parameter names.
inline const std::vector<std::u16string>& Words() {
  static const std::vector<std::u16string> words = {
      u"", u"R", u"r", u"FF0000", u"#ff0000", u"$FF0000", u"FFOOOO", u"zzz", u"00a000",
      u"12", u" -1.5e3 ", u".5", u"&HFF", u"&H", u"1e308", u"1e309", u"-0", u"NaN", u"Infinity",
      u"True", u"false", u"4294967296", u"-2147483649", u"65536", u"1,000", u"0x10",
      u"yyyy-mm-dd hh:nn:ss", u"dddd, mmmm d, yyyy", u"''", u"\"", u"am/pm", u"c", u"tt", u"z",
      u"hh:nn:ss.zzz ampm", u"mmmmmmmmmmmmmmmmmmmm", u"#,##0.00", u"0.###############",
      u"Arial", u"Liberation Serif", u"DejaVu Sans Mono", u"No Such Face", u"Courier New",
      u"<b>\"&amp;'</b>", u"1000=one thousand", u"a=b=c", u"x,y,1,2", u"\u00c5lesund \U0001F600",
      u"\u0645\u0631\u062d\u0628\u0627", u"\u4e2d\u6587", u"\r\n\t", u"X", u"Y", u"Index",
      u"FileName", u"GraphType", u"FileFormat", u"Value", u"Colour", u"Color", u"Name",
  };
  return words;
}

// Reads a stream; past its end every read gives zeros.
class CallReader {
 public:
  CallReader(const uint8_t* data, size_t size) : at_(data), end_(data + size) {}

  bool Empty() const { return at_ >= end_; }
  uint8_t U8() { return Empty() ? 0 : *at_++; }
  uint16_t U16() { return static_cast<uint16_t>(U8() | (U8() << 8)); }
  uint32_t U32() { return static_cast<uint32_t>(U16()) | (static_cast<uint32_t>(U16()) << 16); }
  uint64_t U64() { return static_cast<uint64_t>(U32()) | (static_cast<uint64_t>(U32()) << 32); }

  int16_t I16() {
    static constexpr int16_t kSpecial[] = {0, 1, -1, 2, 3, 5, 7, 9, -3, INT16_MIN, INT16_MAX,
                                           100, 255, 256};
    const uint8_t selector = U8();
    if (selector < std::size(kSpecial)) return kSpecial[selector];
    return static_cast<int16_t>(U16());
  }
  int32_t I32() {
    static constexpr int32_t kSpecial[] = {
        0, 1, -1, 2, 3, 4, 5, 8, 9, 100, 200, 255, 256, 300, 356, 400, 1000, 4096, 32767,
        32768, 65535, 65536, 70000, -65535, -65536, 0x7FFFFFFF, INT32_MIN, 0x00FFFFFF,
        0x7FFF0000, -100000};
    const uint8_t selector = U8();
    if (selector < std::size(kSpecial)) return kSpecial[selector];
    return static_cast<int32_t>(U32());
  }
  double F64() {
    static constexpr double kInf = std::numeric_limits<double>::infinity();
    static const double kSpecial[] = {
        0.0, -0.0, 1.0, -1.0, 0.5, 2.5, 3.5, -2.5, 1.23456789, 100.0, 1e6, 1e15, 1e16, 1e300,
        -1e300, DBL_MAX, -DBL_MAX, DBL_MIN, 4.9e-324, std::numeric_limits<double>::quiet_NaN(),
        kInf, -kInf, 2147483647.5, -2147483648.5, 65535.5, 4294967296.0, 44927.0, 44927.5,
        -693594.0, 2958466.0, 1e-7, FLT_MAX, 3.5e38};
    const uint8_t selector = U8();
    if (selector < std::size(kSpecial)) return kSpecial[selector];
    const uint64_t bits = U64();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

 private:
  const uint8_t* at_;
  const uint8_t* end_;
};

// Writes streams (the seed corpus, tests). Values always go raw.
class CallWriter {
 public:
  const std::vector<uint8_t>& bytes() const { return bytes_; }

  void U8(uint8_t v) { bytes_.push_back(v); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  void I16(int16_t v) {
    U8(kRawSelector);
    U16(static_cast<uint16_t>(v));
  }
  void I32(int32_t v) {
    U8(kRawSelector);
    U32(static_cast<uint32_t>(v));
  }
  void F64(double v) {
    U8(kRawSelector);
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U32(static_cast<uint32_t>(bits));
    U32(static_cast<uint32_t>(bits >> 32));
  }
  void String(const std::u16string& s) {
    bool ascii = s.size() <= 0xFF;
    for (char16_t c : s) ascii = ascii && c < 0x80;
    if (ascii) {
      U8(kStrAscii);
      U8(static_cast<uint8_t>(s.size()));
      for (char16_t c : s) U8(static_cast<uint8_t>(c));
      return;
    }
    const size_t n = std::min<size_t>(s.size(), 0xFFFF);
    U8(kStrUtf16);
    U16(static_cast<uint16_t>(n));
    for (size_t i = 0; i < n; ++i) U16(s[i]);
  }
  void NullString() { U8(kStrNull); }

  void ArgEmpty() { U8(kArgEmpty); }
  void ArgI4(int32_t v) {
    U8(kArgI4);
    I32(v);
  }
  void ArgR8(double v) {
    U8(kArgR8);
    F64(v);
  }
  void ArgBool(bool v) {
    U8(kArgBool);
    U8(v ? 1 : 0);
  }
  void ArgString(const std::u16string& s) {
    U8(kArgBstr);
    String(s);
  }

  // The head of an Invoke: by name (kOpInvokeByName) for a script's step.
  void InvokeByName(const std::u16string& name) {
    U8(kOpInvokeByName);
    U8(1);
    U8(1);  // NAME: any text
    String(name);
  }
  // CALL up to its arguments; a write names its value DISPID_PROPERTYPUT.
  void CallHead(WORD flags, size_t argc) {
    U8(static_cast<uint8_t>(flags));
    U8(static_cast<uint8_t>(argc));
    const bool put = flags == DISPATCH_PROPERTYPUT;
    U8(put ? 1 : 0);
    if (put) U8(static_cast<uint8_t>(static_cast<int8_t>(DISPID_PROPERTYPUT)));
  }
  // CALL after its arguments: the result and an EXCEPINFO requested.
  void CallTail() { U8(0x03); }

  void Output(uint8_t output, int32_t kind, int32_t format) {
    U8(kOpOutput);
    U8(output);
    I32(kind);
    I32(format);
    U8(0);
  }

 private:
  std::vector<uint8_t> bytes_;
};

// Plays streams on Draw objects and checks the component's promises.
class CallPlayer {
 public:
  // The most records played from one stream, and the most calls that draw.
  static constexpr int kMaxRecords = 256;
  static constexpr int kMaxDrawings = 8;

  // `folder` is an existing folder the saving members may write into; the
  // player removes what it saves there. `trace`, when given, receives one
  // line per call. With a `drawing_budget`, calls that draw are skipped once
  // a stream has spent that long drawing, so that a stream of many large
  // pictures stays within the fuzzer's time limit and only a single slow
  // call can exceed it; without one (replays) every call is made.
  explicit CallPlayer(std::string folder, std::ostream* trace = nullptr,
                      std::chrono::milliseconds drawing_budget = std::chrono::milliseconds::zero())
      : folder_(std::move(folder)), trace_(trace), drawing_budget_(drawing_budget) {
    for (size_t i = 0; i < ChosenMemberCount(); ++i) {
      const TMember& m = Members()[i];
      const std::string name = m.name;
      if (m.kind == TMemberKind::kGetPut) writable_.push_back(&m);
      if (IsOutputName(name)) outputs_.push_back(&m);
    }
  }
  CallPlayer(const CallPlayer&) = delete;
  CallPlayer& operator=(const CallPlayer&) = delete;

  // Plays one stream on a new object and returns the broken promises found
  // (empty when none).
  std::vector<std::string> Play(const uint8_t* data, size_t size) {
    Stream s(data, size);
    NewObject(s, 0);
    for (int record = 0; record < kMaxRecords && !s.in.Empty(); ++record) {
      switch (s.in.U8() % kOpCount) {
        case kOpInvoke: {
          const DISPID dispid = s.in.I16();
          Call(s, dispid);
          break;
        }
        case kOpInvokeByName:
          InvokeByName(s);
          break;
        case kOpPut:
          Put(s);
          break;
        case kOpUse:
          Use(s);
          break;
        case kOpOutput:
          Output(s);
          break;
        case kOpNewObject:
          NewObject(s, s.in.U8());
          break;
        case kOpHandles:
          Handles(s);
          break;
      }
    }
    for (const LiveHandle& h : s.handles) {
      if (!h.deleted && DeleteObject(h.handle) != TRUE) Fail(s, "a live bitmap handle could not be deleted");
    }
    if (s.object != nullptr) s.object->Release();
    return std::move(s.failures);
  }

 private:
  struct LiveHandle {
    HBITMAP handle;
    bool deleted;
  };

  // Storage for one value passed by reference, aligned for any of them.
  struct alignas(8) Scalar {
    uint8_t bytes[16] = {};
  };

  // What one stream owns while it plays: the object, values passed by
  // reference, the handles it was given.
  struct Stream {
    Stream(const uint8_t* data, size_t size) : in(data, size) {}
    ~Stream() {
      for (BSTR& b : strings) SysFreeString(b);
      for (SAFEARRAY*& a : arrays) SafeArrayDestroy(a);
      for (VARIANT& v : variants) VariantClear(&v);
    }
    CallReader in;
    IDispatch* object = nullptr;
    int drawings = 0;
    std::chrono::milliseconds drawing_time{0};
    std::vector<std::string> failures;
    std::vector<LiveHandle> handles;
    // Storage behind by-reference arguments, alive until the stream ends.
    std::deque<BSTR> strings;
    std::deque<SAFEARRAY*> arrays;
    std::deque<VARIANT> variants;
    std::deque<Scalar> scalars;
  };

  // One call's arguments in natural order; owned values are cleared after
  // the call.
  struct Args {
    Args() = default;
    Args(const Args&) = delete;
    Args& operator=(const Args&) = delete;
    ~Args() {
      for (VARIANT& v : values) VariantClear(&v);
    }
    std::vector<VARIANT> values;
  };

  // The members streams choose among by index: IDraw's.
  static size_t ChosenMemberCount() { return Interfaces().front().end; }

  static bool IsOutputName(const std::string& name) {
    if (name.rfind("Save", 0) == 0) return true;
    if (name == "BMPHandle" || name == "DummyGraph" || name == "Base64Out") return true;
    for (const char* prefix : {"PNG", "GIF", "JPG", "BMP", "SVG"}) {
      if (name.rfind(prefix, 0) == 0) return true;
    }
    return false;
  }
  bool Draws(const TMember* m) const {
    for (const TMember* o : outputs_) {
      if (o == m) return true;
    }
    return false;
  }

  void Fail(Stream& s, const std::string& what) {
    s.failures.push_back(what);
    if (trace_ != nullptr) *trace_ << "  FAILED: " << what << "\n";
  }

  // ---- values ----------------------------------------------------------------

  // A text as STR describes it. Returns false for the null BSTR.
  static bool ReadString(CallReader& in, std::u16string* text) {
    text->clear();
    switch (in.U8() % kStringKinds) {
      case kStrNull:
        return false;
      case kStrAscii: {
        const uint8_t n = in.U8();
        for (int i = 0; i < n; ++i) text->push_back(in.U8());
        return true;
      }
      case kStrUtf16: {
        const uint16_t n = in.U16();
        for (int i = 0; i < n && !in.Empty(); ++i) text->push_back(in.U16());
        return true;
      }
      case kStrRepeat: {
        const char16_t unit = in.U16();
        text->assign(in.U16(), unit);
        return true;
      }
      case kStrWord: {
        const auto& words = Words();
        *text = words[in.U8() % words.size()];
        return true;
      }
      case kStrHuge: {
        const char16_t unit = in.U16();
        text->assign(size_t{in.U8()} * 4096, unit);
        return true;
      }
    }
    return false;
  }
  static BSTR AllocString(CallReader& in) {
    std::u16string text;
    if (!ReadString(in, &text)) return nullptr;
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  }

  // A double narrowed to float without leaving the float range (a plain cast
  // of a value beyond it is undefined).
  static float Narrow(double d) {
    if (std::isnan(d)) return std::numeric_limits<float>::quiet_NaN();
    if (d > FLT_MAX) return std::numeric_limits<float>::infinity();
    if (d < -FLT_MAX) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(d);
  }

  // Reads one ARG into `v` (initialised empty). Values passed by reference
  // live in the stream's storage; everything else is owned by `v`.
  void ReadArg(Stream& s, VARIANT* v, int depth) {
    const uint8_t tag = s.in.U8();
    const bool by_ref = (tag & kArgByRef) != 0 && depth < 3;
    VARIANT value;
    VariantInit(&value);
    const uint8_t kind = static_cast<uint8_t>((tag & 0x7F) % kArgKinds);
    switch (kind) {
      case kArgEmpty: break;
      case kArgNull: value.vt = VT_NULL; break;
      case kArgI2: value.vt = VT_I2; value.iVal = static_cast<SHORT>(s.in.I32()); break;
      case kArgI4: value.vt = VT_I4; value.lVal = s.in.I32(); break;
      case kArgR4: value.vt = VT_R4; value.fltVal = Narrow(s.in.F64()); break;
      case kArgR8: value.vt = VT_R8; value.dblVal = s.in.F64(); break;
      case kArgBool: {
        const uint8_t b = s.in.U8();
        value.vt = VT_BOOL;
        // Any 16 bits: clients are not always careful to send -1.
        value.boolVal = b == 0 ? VARIANT_FALSE : b == 1 ? VARIANT_TRUE : static_cast<VARIANT_BOOL>(b);
        break;
      }
      case kArgBstr: value.vt = VT_BSTR; value.bstrVal = AllocString(s.in); break;
      case kArgError:
        value.vt = VT_ERROR;
        value.scode = s.in.U8() % 2 == 0 ? DISP_E_PARAMNOTFOUND : s.in.I32();
        break;
      case kArgUI1: value.vt = VT_UI1; value.bVal = static_cast<BYTE>(s.in.I32()); break;
      case kArgUI2: value.vt = VT_UI2; value.uiVal = static_cast<USHORT>(s.in.I32()); break;
      case kArgUI4: value.vt = VT_UI4; value.ulVal = static_cast<ULONG>(s.in.I32()); break;
      case kArgI8:
        value.vt = VT_I8;
        value.llVal = static_cast<LONGLONG>(s.in.U64());
        break;
      case kArgUI8: value.vt = VT_UI8; value.ullVal = s.in.U64(); break;
      case kArgInt: value.vt = VT_INT; value.intVal = s.in.I32(); break;
      case kArgUInt: value.vt = VT_UINT; value.uintVal = static_cast<UINT>(s.in.I32()); break;
      case kArgBytes: {
        const uint8_t n = s.in.U8();
        SAFEARRAY* psa = SafeArrayCreateVector(VT_UI1, s.in.I32(), n);
        if (psa != nullptr) {
          for (int i = 0; i < n; ++i) static_cast<uint8_t*>(psa->pvData)[i] = s.in.U8();
          value.vt = VT_ARRAY | VT_UI1;
          value.parray = psa;
        }
        break;
      }
      case kArgDispatch:
      case kArgUnknown: {
        const bool self = s.in.U8() % 2 == 0 && s.object != nullptr;
        value.vt = kind == kArgDispatch ? VT_DISPATCH : VT_UNKNOWN;
        if (self) {
          s.object->AddRef();
          value.pdispVal = s.object;
        }
        break;
      }
      case kArgVariant:
        // A variant holds no variant by value; by reference it points to one.
        if (by_ref) {
          s.variants.emplace_back();
          VariantInit(&s.variants.back());
          ReadArg(s, &s.variants.back(), depth + 1);
          v->vt = VT_BYREF | VT_VARIANT;
          v->pvarVal = &s.variants.back();
          return;
        }
        if (depth < 3) ReadArg(s, &value, depth + 1);
        break;
      case kArgRawType: {
        const VARTYPE vt = static_cast<VARTYPE>(s.in.U16());
        const uint64_t raw = s.in.U64();
        if (by_ref) break;
        // Unknown type tags keep their raw bits, which must never be looked
        // at; for types that hold a pointer, the pointer is null.
        const VARTYPE base = vt & VT_TYPEMASK;
        const bool pointer = (vt & (VT_BYREF | VT_ARRAY)) != 0 || base == VT_BSTR ||
                             base == VT_DISPATCH || base == VT_UNKNOWN || base == VT_VARIANT ||
                             base == VT_DECIMAL || base > VT_UINT;
        value.vt = vt;
        value.ullVal = pointer ? 0 : raw;
        *v = value;
        return;
      }
    }
    if (!by_ref) {
      *v = value;
      return;
    }
    // The value moves into the stream's storage and `v` points to it.
    if (value.vt == VT_EMPTY || value.vt == VT_NULL) {
      // Not a type that can be referenced: the call must refuse it.
      s.scalars.emplace_back();
      v->vt = VT_BYREF | value.vt;
      v->byref = s.scalars.back().bytes;
      return;
    }
    v->vt = VT_BYREF | value.vt;
    if (value.vt == VT_BSTR) {
      s.strings.push_back(value.bstrVal);
      v->pbstrVal = &s.strings.back();
    } else if (value.vt == (VT_ARRAY | VT_UI1)) {
      s.arrays.push_back(value.parray);
      v->pparray = &s.arrays.back();
    } else if (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) {
      // The reference is kept by a stream-owned variant.
      s.variants.push_back(value);
      v->ppdispVal = &s.variants.back().pdispVal;
    } else {
      s.scalars.emplace_back();
      std::memcpy(s.scalars.back().bytes, &value.llVal, sizeof value.llVal);
      v->byref = s.scalars.back().bytes;
    }
  }

  // A value as the trace shows it: its type number and, for the common
  // types, the value (long texts by their length).
  static std::string Describe(const VARIANT& v) {
    std::string out = "vt " + std::to_string(v.vt);
    switch (v.vt) {
      case VT_I4: return out + " " + std::to_string(v.lVal);
      case VT_I2: return out + " " + std::to_string(v.iVal);
      case VT_R8: return out + " " + std::to_string(v.dblVal);
      case VT_R4: return out + " " + std::to_string(v.fltVal);
      case VT_BOOL: return out + " " + std::to_string(v.boolVal);
      case VT_UI1: return out + " " + std::to_string(v.bVal);
      case VT_UI2: return out + " " + std::to_string(v.uiVal);
      case VT_UI4: return out + " " + std::to_string(v.ulVal);
      case VT_BSTR: {
        const UINT n = SysStringLen(v.bstrVal);
        if (n > 40) return out + " " + std::to_string(n) + " units";
        return out + " \"" + Utf16ToUtf8(std::u16string_view(v.bstrVal, n)) + "\"";
      }
      default: return out;
    }
  }

  // ---- calls -----------------------------------------------------------------

  // A path inside the player's folder chosen by `how`, or one that cannot be
  // written.
  std::u16string SavePath(uint8_t how, const TMember* m) const {
    const std::u16string folder = Utf8ToUtf16(folder_);
    std::u16string ext = Utf8ToUtf16(std::string(m->name).substr(4, 3));
    switch (how % 5) {
      case 0: return folder + u"/chart." + ext;
      case 1: return folder + u"/missing/chart." + ext;
      case 2: return folder;  // a folder, not a file
      case 3: return u"";
      default: return folder + u"/\xD800odd\xDFFF." + ext;
    }
  }
  void RemoveSaved(const std::u16string& path) const {
    const std::string p = Utf16ToUtf8(path);
    struct stat st;
    if (stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(p.c_str());
  }
  bool Saved(const std::u16string& path) const {
    struct stat st;
    return stat(Utf16ToUtf8(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }

  // Reads a CALL and invokes `dispid` with it.
  void Call(Stream& s, DISPID dispid) {
    const WORD flags = s.in.U8();
    const size_t argc = s.in.U8() % 9;
    const size_t named = s.in.U8() % 4;
    std::vector<DISPID> named_ids(std::max<size_t>(named, 1), 0);
    for (size_t i = 0; i < named; ++i) named_ids[i] = static_cast<int8_t>(s.in.U8());
    Args args;
    args.values.resize(argc);
    for (VARIANT& v : args.values) {
      VariantInit(&v);
      ReadArg(s, &v, 0);
    }
    const uint8_t options = s.in.U8();
    Invoke(s, dispid, flags, &args, named_ids, named, options);
  }

  // Invokes `dispid` with `args` (natural order) and checks the outcome.
  void Invoke(Stream& s, DISPID dispid, WORD flags, Args* args, std::vector<DISPID>& named_ids,
              size_t named, uint8_t options) {
    const TMember* member = FindMember(dispid);
    const bool draws = member != nullptr && Draws(member);
    if (draws && ++s.drawings > kMaxDrawings) return;
    if (draws && drawing_budget_.count() > 0 && s.drawing_time > drawing_budget_) return;
    const bool saving = member != nullptr && std::string(member->name).rfind("Save", 0) == 0;
    std::u16string save_path;
    if (saving) {
      // Whatever the stream passed, a saving member gets a path of ours,
      // chosen by the first argument.
      const VARIANT* first = args->values.empty() ? nullptr : &args->values[0];
      const uint8_t how = first == nullptr        ? 0
                          : first->vt == VT_UI1   ? first->bVal
                                                  : static_cast<uint8_t>(first->vt);
      save_path = SavePath(how, member);
      for (VARIANT& v : args->values) {
        VariantClear(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(save_path.data(), static_cast<UINT>(save_path.size()));
      }
      RemoveSaved(save_path);
    }

    const std::string what = (member != nullptr ? member->name : "#" + std::to_string(dispid));
    if (trace_ != nullptr) {
      *trace_ << what << " flags " << flags << " (";
      for (size_t i = 0; i < args->values.size(); ++i) {
        *trace_ << (i > 0 ? ", " : "") << Describe(args->values[i]);
      }
      *trace_ << ") named " << named << " options " << int{options} << std::flush;
    }
    std::vector<VARIANT> reversed(args->values.rbegin(), args->values.rend());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(),
                      (options & 0x08) != 0 ? nullptr : named_ids.data(),
                      static_cast<UINT>(reversed.size()), static_cast<UINT>(named)};
    if ((options & 0x20) != 0) params.rgvarg = nullptr;
    Variant result;
    EXCEPINFO excep{};
    UINT arg_err = 0xFFFFFFFF;
    const auto started = std::chrono::steady_clock::now();
    const HRESULT hr = s.object->Invoke(dispid, IID_NULL, 0, flags,
                                        (options & 0x10) != 0 ? nullptr : &params,
                                        (options & 0x01) != 0 ? result.Get() : nullptr,
                                        (options & 0x02) != 0 ? &excep : nullptr,
                                        (options & 0x04) != 0 ? &arg_err : nullptr);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    if (draws) s.drawing_time += ms;
    if (trace_ != nullptr) {
      *trace_ << " -> 0x" << std::hex << static_cast<uint32_t>(hr) << std::dec << " in "
              << ms.count() << " ms\n";
    }
    CheckFailureDetails(s, what, hr, options, &excep);
    if (hr == S_OK && member != nullptr && (options & 0x01) != 0) {
      CheckResult(s, member, flags, *result.Get());
    }
    if (saving) {
      if (hr == S_OK && !Saved(save_path)) Fail(s, what + " succeeded but saved no file");
      if (hr == S_OK && what.rfind("SaveSVG", 0) == 0 && Saved(save_path)) {
        std::ifstream file(Utf16ToUtf8(save_path), std::ios::binary);
        CheckSvg(s, what, std::string(std::istreambuf_iterator<char>(file), {}));
      }
      RemoveSaved(save_path);
    }
  }

  // A failure of the member itself carries its description, in the error
  // object or in the EXCEPINFO; a failure never leaves either behind unread.
  void CheckFailureDetails(Stream& s, const std::string& what, HRESULT hr, uint8_t options,
                           EXCEPINFO* excep) {
    ComPtr<IErrorInfo> error;
    std::u16string description;
    if (GetErrorInfo(0, error.ReleaseAndGetAddressOf()) == S_OK && error) {
      BSTR text = nullptr;
      error->GetDescription(&text);
      description.assign(text == nullptr ? u"" : text, SysStringLen(text));
      SysFreeString(text);
    }
    if (hr == DISP_E_EXCEPTION) {
      if ((options & 0x02) == 0) Fail(s, what + ": DISP_E_EXCEPTION without an EXCEPINFO");
      if (SysStringLen(excep->bstrDescription) == 0) Fail(s, what + ": exception without a description");
    } else if (hr == E_UNEXPECTED && description.empty()) {
      Fail(s, what + ": E_UNEXPECTED without a description");
    }
    SysFreeString(excep->bstrSource);
    SysFreeString(excep->bstrDescription);
    SysFreeString(excep->bstrHelpFile);
  }

  // A success returns what the member declares.
  void CheckResult(Stream& s, const TMember* m, WORD flags, const VARIANT& result) {
    const std::string name = m->name;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (put || m->type == TArgType::kNone) {
      if (result.vt != VT_EMPTY) Fail(s, name + " returned a value it does not declare");
      return;
    }
    if (m->type == TArgType::kVariant) {
      CheckPicture(s, name, result);
      return;
    }
    if (result.vt != VarTypeOf(m->type)) {
      Fail(s, name + " returned type " + std::to_string(result.vt));
      return;
    }
    if (name.rfind("SVG", 0) == 0) {
      CheckSvg(s, name,
               Utf16ToUtf8(std::u16string_view(result.bstrVal, SysStringLen(result.bstrVal))));
    }
    if (name == "BMPHandle") {
      const HBITMAP handle = BitmapHandleFromNumber(result.lVal);
      const LONG size = GetBitmapFileBytes(handle, 0, nullptr);
      if (size < 0) Fail(s, "BMPHandle returned a handle that is not alive");
      if (size >= 2) {
        char head[2] = {};
        GetBitmapFileBytes(handle, 2, head);
        if (head[0] != 'B' || head[1] != 'M') Fail(s, "BMPHandle's picture is not a BMP file");
      }
      s.handles.push_back(LiveHandle{handle, false});
    }
  }

  // A picture is a one-dimensional byte array from 1 that starts with its
  // format's signature (or is empty where the format writes nothing).
  void CheckPicture(Stream& s, const std::string& name, const VARIANT& result) {
    if (result.vt != (VT_ARRAY | VT_UI1) || result.parray == nullptr) {
      Fail(s, name + " returned no byte array");
      return;
    }
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(result.parray, 1, &lo);
    SafeArrayGetUBound(result.parray, 1, &hi);
    if (SafeArrayGetDim(result.parray) != 1 || lo != 1 || hi < 0) {
      Fail(s, name + " returned bounds other than 1..n");
      return;
    }
    const auto* bytes = static_cast<const uint8_t*>(result.parray->pvData);
    const size_t size = static_cast<size_t>(hi);
    auto starts = [&](const char* signature, size_t n) {
      return size >= n && std::memcmp(bytes, signature, n) == 0;
    };
    bool ok = true;
    if (name.rfind("PNG", 0) == 0) ok = starts("\x89PNG\r\n\x1a\n", 8);
    if (name.rfind("GIF", 0) == 0) ok = starts("GIF87a", 6) || starts("GIF89a", 6);
    if (name.rfind("JPG", 0) == 0) ok = size == 0 || starts("\xFF\xD8\xFF", 3);
    if (name.rfind("BMP", 0) == 0) ok = size == 0 || starts("BM", 2);
    if (!ok) Fail(s, name + " returned bytes without the format's signature");
    if (name.rfind("PNG", 0) == 0) ReadSvgOf(s, name.substr(3));
  }

  // An SVG document is well-formed XML, whatever the texts in it.
  void CheckSvg(Stream& s, const std::string& name, const std::string& text) {
    if (text.rfind("<svg ", 0) != 0) Fail(s, name + " returned no SVG document");
    const std::string error = testing_xml::XmlError(text);
    if (!error.empty()) Fail(s, name + " returned an SVG document that is not well-formed: " + error);
  }

  // Reads the chart `kind` ("Pie", "StackedBar", ...), just drawn as a PNG
  // picture, as an SVG document too.
  void ReadSvgOf(Stream& s, const std::string& kind) {
    const TMember* svg = FindMember(Utf8ToUtf16("SVG" + kind));
    if (svg == nullptr) return;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    Variant result;
    const auto started = std::chrono::steady_clock::now();
    const HRESULT hr = s.object->Invoke(svg->dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                        result.Get(), nullptr, nullptr);
    s.drawing_time += std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    if (trace_ != nullptr) {
      *trace_ << "  " << svg->name << " -> 0x" << std::hex << static_cast<uint32_t>(hr) << std::dec
              << "\n";
    }
    if (FAILED(hr)) {
      Fail(s, std::string(svg->name) + " failed where the PNG picture was drawn");
      return;
    }
    CheckResult(s, svg, DISPATCH_PROPERTYGET, *result.Get());
  }

  // ---- operations ------------------------------------------------------------

  void InvokeByName(Stream& s) {
    const size_t count = s.in.U8() % 4;
    std::vector<std::u16string> texts(count);
    std::vector<LPOLESTR> names(count, nullptr);
    for (size_t i = 0; i < count; ++i) {
      if (s.in.U8() % 2 == 0) {
        const auto& members = Members();
        const std::string name = members[s.in.U8() % ChosenMemberCount()].name;
        const uint8_t flip = s.in.U8();
        for (size_t k = 0; k < name.size(); ++k) {
          char16_t c = static_cast<unsigned char>(name[k]);
          if ((flip >> (k % 8)) & 1) c = (c >= u'a' && c <= u'z') ? c - 32 : (c >= u'A' && c <= u'Z') ? c + 32 : c;
          texts[i].push_back(c);
        }
        names[i] = texts[i].data();
      } else if (ReadString(s.in, &texts[i])) {
        names[i] = texts[i].data();
      }
    }
    std::vector<DISPID> ids(std::max<size_t>(count, 1), 0);
    const HRESULT hr = s.object->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(count), 0,
                                               ids.data());
    if (hr == S_OK && count > 0 && FindMember(ids[0]) == nullptr) {
      Fail(s, "GetIDsOfNames gave a number no member has");
    }
    Call(s, count > 0 ? ids[0] : DISPID_UNKNOWN);
  }

  void Put(Stream& s) {
    const TMember* m = writable_[s.in.U8() % writable_.size()];
    Args args;
    args.values.resize(1);
    VariantInit(&args.values[0]);
    ReadArg(s, &args.values[0], 0);
    std::vector<DISPID> named{DISPID_PROPERTYPUT};
    Invoke(s, m->dispid, DISPATCH_PROPERTYPUT, &args, named, 1, 0x03);
  }

  void Use(Stream& s) {
    const auto& members = Members();
    const TMember* m = &members[s.in.U8() % ChosenMemberCount()];
    Args args;
    args.values.resize(m->param_count);
    for (VARIANT& v : args.values) {
      VariantInit(&v);
      ReadArg(s, &v, 0);
    }
    std::vector<DISPID> named{0};
    const WORD flags = m->kind == TMemberKind::kMethod ? DISPATCH_METHOD : DISPATCH_PROPERTYGET;
    Invoke(s, m->dispid, flags, &args, named, 0, 0x03);
  }

  // One output member with arguments of the right types: a chart kind and a
  // format (any numbers), or a path of ours.
  void Output(Stream& s) {
    const TMember* m = outputs_[s.in.U8() % outputs_.size()];
    const int32_t kind = s.in.I32();
    const int32_t format = s.in.I32();
    const uint8_t how = s.in.U8();
    Args args;
    args.values.resize(m->param_count);
    for (uint8_t i = 0; i < m->param_count; ++i) {
      VARIANT& v = args.values[i];
      VariantInit(&v);
      v.vt = VT_I4;
      v.lVal = i == 0 ? kind : format;
      if (m->params[i].type == TArgType::kBstr) {
        v.vt = VT_UI1;  // the path is chosen from this
        v.bVal = how;
      }
    }
    std::vector<DISPID> named{0};
    const WORD flags = m->kind == TMemberKind::kMethod ? DISPATCH_METHOD : DISPATCH_PROPERTYGET;
    Invoke(s, m->dispid, flags, &args, named, 0, 0x03);
  }

  void NewObject(Stream& s, uint8_t how) {
    if (s.object != nullptr) s.object->Release();
    s.object = nullptr;
    HRESULT hr;
    if (how % 2 == 0) {
      hr = CreateDrawObject(nullptr, IID_IDispatch, reinterpret_cast<void**>(&s.object));
    } else {
      // Through the class factory, as a client of the server library does.
      ComPtr<IClassFactory> factory;
      hr = ServerGetClassObject(CLSID_Draw, IID_IClassFactory, factory.ReleaseAndGetAddressOfVoid());
      if (SUCCEEDED(hr)) {
        hr = factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&s.object));
      }
    }
    if (FAILED(hr) || s.object == nullptr) {
      Fail(s, "a Draw object could not be created");
      // Play on with a fresh attempt the plain way; without an object
      // nothing can be called.
      CreateDrawObject(nullptr, IID_IDispatch, reinterpret_cast<void**>(&s.object));
    }
    if (trace_ != nullptr) *trace_ << "new object\n";
  }

  // Reads, deletes and forges bitmap handles. A live handle reads as a BMP
  // file and deletes once; a forged or deleted one is refused.
  void Handles(Stream& s) {
    const uint8_t what = s.in.U8();
    const int32_t number = s.in.I32();
    const int32_t size = s.in.I32();
    LiveHandle* live = s.handles.empty()
                           ? nullptr
                           : &s.handles[static_cast<uint32_t>(number) % s.handles.size()];
    HBITMAP handle = BitmapHandleFromNumber(number);
    if (live != nullptr && what % 2 == 0) handle = live->handle;
    // A forged number that happens to be one of ours is treated as ours.
    for (LiveHandle& h : s.handles) {
      if (h.handle == handle) live = &h;
    }
    const bool alive = live != nullptr && handle == live->handle && !live->deleted;
    if (what % 4 < 2) {
      const BOOL deleted = DeleteObject(handle);
      if (alive && deleted != TRUE) Fail(s, "DeleteObject refused a live handle");
      if (live != nullptr && handle == live->handle && live->deleted && deleted != FALSE) {
        Fail(s, "DeleteObject deleted a handle twice");
      }
      if (live != nullptr && handle == live->handle) live->deleted = true;
    } else {
      const LONG capacity = std::min<LONG>(size, 1 << 16);
      std::vector<uint8_t> buffer(capacity > 0 ? static_cast<size_t>(capacity) : 1);
      const LONG read = GetBitmapFileBytes(handle, capacity, buffer.data());
      if (alive && capacity >= 0 && read < 0) Fail(s, "GetBitmapFileBytes refused a live handle");
      if (capacity >= 0 && read > capacity) Fail(s, "GetBitmapFileBytes copied more than asked");
      if (capacity < 0 && read != -1) Fail(s, "GetBitmapFileBytes took a negative size");
    }
    if (trace_ != nullptr) *trace_ << "handles " << int{what} << " " << number << "\n";
  }

  std::string folder_;
  std::ostream* trace_;
  std::chrono::milliseconds drawing_budget_;
  std::vector<const TMember*> writable_;
  std::vector<const TMember*> outputs_;
};

}  // namespace fuzz
}  // namespace plotvane

#endif  // PLOTVANE_TESTING_CALL_STREAM_H_
