#include <gtest/gtest.h>

#include <atomic>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "runtime/variant.h"

namespace plotvane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A source value: the type and either a number or a text.
struct Source {
  VARTYPE vt;
  long double number = 0;
  std::u16string text = u"";
};

Variant Make(const Source& s) {
  VARIANT v;
  VariantInit(&v);
  v.vt = s.vt;
  switch (s.vt) {
    case VT_I2:
      v.iVal = static_cast<SHORT>(s.number);
      break;
    case VT_I4:
      v.lVal = static_cast<LONG>(s.number);
      break;
    case VT_I8:
      v.llVal = static_cast<LONGLONG>(s.number);
      break;
    case VT_UI1:
      v.bVal = static_cast<BYTE>(s.number);
      break;
    case VT_UI2:
      v.uiVal = static_cast<USHORT>(s.number);
      break;
    case VT_UI4:
      v.ulVal = static_cast<ULONG>(s.number);
      break;
    case VT_UI8:
      v.ullVal = static_cast<ULONGLONG>(s.number);
      break;
    case VT_R4:
      v.fltVal = static_cast<float>(s.number);
      break;
    case VT_R8:
      v.dblVal = static_cast<double>(s.number);
      break;
    case VT_BOOL:
      v.boolVal = s.number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_ERROR:
      v.scode = DISP_E_PARAMNOTFOUND;
      break;
    case VT_BSTR:
      return Variant::String(s.text);
    default:
      break;  // VT_EMPTY, VT_NULL
  }
  return Variant::Attach(&v);
}

// The numeric value of a converted variant, exact for every type held.
long double NumberOf(const VARIANT& v) {
  switch (v.vt) {
    case VT_I2:
      return v.iVal;
    case VT_I4:
      return v.lVal;
    case VT_INT:
      return v.intVal;
    case VT_I8:
      return v.llVal;
    case VT_UI1:
      return v.bVal;
    case VT_UI2:
      return v.uiVal;
    case VT_UI4:
      return v.ulVal;
    case VT_UINT:
      return v.uintVal;
    case VT_UI8:
      return v.ullVal;
    case VT_R4:
      return v.fltVal;
    case VT_R8:
      return v.dblVal;
    case VT_BOOL:
      return v.boolVal;
    default:
      return kNaN;
  }
}

std::string Narrow(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::u16string_view BStrView(const Variant& v) {
  return {v->bstrVal == nullptr ? u"" : v->bstrVal, SysStringLen(v->bstrVal)};
}

struct ConversionCase {
  Source source;
  VARTYPE target;
  HRESULT hr;
  long double number = 0;     // the result of a numeric or Boolean target
  std::u16string text = u"";  // the result of a VT_BSTR target
};

const ConversionCase kConversions[] = {
    // Reals to integers: halves to even, overflow beyond the range.
    {{VT_R8, 2.5}, VT_I4, S_OK, 2},
    {{VT_R8, 3.5}, VT_I4, S_OK, 4},
    {{VT_R8, -2.5}, VT_I4, S_OK, -2},
    {{VT_R8, -3.5}, VT_I4, S_OK, -4},
    {{VT_R8, 2.4999999}, VT_I4, S_OK, 2},
    {{VT_R8, 0.5000001}, VT_I4, S_OK, 1},
    {{VT_R4, 2.5}, VT_I2, S_OK, 2},
    {{VT_R8, 1e10}, VT_I4, DISP_E_OVERFLOW},
    {{VT_R8, kNaN}, VT_I4, DISP_E_OVERFLOW},
    {{VT_R8, -kInf}, VT_I8, DISP_E_OVERFLOW},
    {{VT_R8, 2147483647.4}, VT_I4, S_OK, 2147483647},
    {{VT_R8, 2147483647.5}, VT_I4, DISP_E_OVERFLOW},
    {{VT_R8, -2147483648.5}, VT_I4, S_OK, -2147483648.0L},
    {{VT_R8, -2147483648.6}, VT_I4, DISP_E_OVERFLOW},
    {{VT_R8, 32767.5}, VT_I2, DISP_E_OVERFLOW},
    {{VT_R8, 254.5}, VT_UI1, S_OK, 254},
    {{VT_R8, 255.5}, VT_UI1, DISP_E_OVERFLOW},
    {{VT_R8, 70000}, VT_UI2, DISP_E_OVERFLOW},
    {{VT_R8, 65535.4}, VT_UI2, S_OK, 65535},
    {{VT_R8, -0.4}, VT_UI2, S_OK, 0},
    {{VT_R8, -0.6}, VT_UI2, DISP_E_OVERFLOW},
    {{VT_R8, 1e19}, VT_I8, DISP_E_OVERFLOW},
    {{VT_R8, 1e19}, VT_UI8, S_OK, 1e19L},
    {{VT_R8, -9223372036854775808.0L}, VT_I8, S_OK, -9223372036854775808.0L},
    // Between integer types.
    {{VT_I4, -1}, VT_UI4, DISP_E_OVERFLOW},
    {{VT_I4, 70000}, VT_I2, DISP_E_OVERFLOW},
    {{VT_I4, -32768}, VT_I2, S_OK, -32768},
    {{VT_UI4, 4294967295.0L}, VT_I4, DISP_E_OVERFLOW},
    {{VT_UI8, 18446744073709551615.0L}, VT_I8, DISP_E_OVERFLOW},
    {{VT_I8, -9223372036854775807.0L}, VT_R8, S_OK, -9223372036854775808.0L},
    {{VT_UI2, 65535}, VT_I4, S_OK, 65535},
    // Reals between themselves.
    {{VT_R8, 1e300}, VT_R4, DISP_E_OVERFLOW},
    {{VT_R8, 0.1}, VT_R4, S_OK, 0.1f},
    {{VT_R4, 0.1f}, VT_R8, S_OK, 0.1f},
    // Booleans: true is -1.
    {{VT_BOOL, 1}, VT_I4, S_OK, -1},
    {{VT_BOOL, 1}, VT_I2, S_OK, -1},
    {{VT_BOOL, 1}, VT_R8, S_OK, -1},
    {{VT_BOOL, 1}, VT_UI1, S_OK, 255},
    {{VT_BOOL, 1}, VT_UI2, S_OK, 65535},
    {{VT_BOOL, 0}, VT_I4, S_OK, 0},
    {{VT_I4, 5}, VT_BOOL, S_OK, VARIANT_TRUE},
    {{VT_R8, 0.0}, VT_BOOL, S_OK, VARIANT_FALSE},
    {{VT_R8, 0.25}, VT_BOOL, S_OK, VARIANT_TRUE},
    // Empty and null.
    {{VT_EMPTY}, VT_I4, S_OK, 0},
    {{VT_EMPTY}, VT_R8, S_OK, 0},
    {{VT_EMPTY}, VT_BOOL, S_OK, VARIANT_FALSE},
    {{VT_EMPTY}, VT_BSTR, S_OK, 0, u""},
    {{VT_NULL}, VT_I4, DISP_E_TYPEMISMATCH},
    {{VT_NULL}, VT_BSTR, DISP_E_TYPEMISMATCH},
    {{VT_I4, 1}, VT_NULL, DISP_E_TYPEMISMATCH},
    {{VT_ERROR}, VT_I4, DISP_E_TYPEMISMATCH},
    // Strings to numbers.
    {{VT_BSTR, 0, u"12"}, VT_I4, S_OK, 12},
    {{VT_BSTR, 0, u" 12 "}, VT_I4, S_OK, 12},
    {{VT_BSTR, 0, u"\t-7\r\n"}, VT_I4, S_OK, -7},
    {{VT_BSTR, 0, u"+7"}, VT_UI1, S_OK, 7},
    {{VT_BSTR, 0, u"1e3"}, VT_I4, S_OK, 1000},
    {{VT_BSTR, 0, u"1E+3"}, VT_R8, S_OK, 1000},
    {{VT_BSTR, 0, u"2.5"}, VT_I4, S_OK, 2},
    {{VT_BSTR, 0, u"3.5"}, VT_I4, S_OK, 4},
    {{VT_BSTR, 0, u"-2.5"}, VT_I4, S_OK, -2},
    {{VT_BSTR, 0, u"2.5000000000000000001"}, VT_I4, S_OK, 3},
    {{VT_BSTR, 0, u"25e-1"}, VT_I4, S_OK, 2},
    {{VT_BSTR, 0, u".5"}, VT_R8, S_OK, 0.5},
    {{VT_BSTR, 0, u"1."}, VT_I4, S_OK, 1},
    {{VT_BSTR, 0, u"0.04"}, VT_I4, S_OK, 0},
    {{VT_BSTR, 0, u"0.1"}, VT_R8, S_OK, 0.1},
    {{VT_BSTR, 0, u"000123.4500"}, VT_R8, S_OK, 123.45},
    {{VT_BSTR, 0, u"&H1F"}, VT_I4, S_OK, 31},
    {{VT_BSTR, 0, u"&hff"}, VT_R8, S_OK, 255},
    {{VT_BSTR, 0, u"&HFFFF"}, VT_I2, DISP_E_OVERFLOW},
    {{VT_BSTR, 0, u"&H10000000000000000"}, VT_UI8, DISP_E_OVERFLOW},
    {{VT_BSTR, 0, u"2147483648"}, VT_I4, DISP_E_OVERFLOW},
    {{VT_BSTR, 0, u"-2147483648"}, VT_I4, S_OK, -2147483648.0L},
    {{VT_BSTR, 0, u"70000"}, VT_UI2, DISP_E_OVERFLOW},
    {{VT_BSTR, 0, u"18446744073709551615"}, VT_UI8, S_OK, 18446744073709551615.0L},
    {{VT_BSTR, 0, u"18446744073709551616"}, VT_UI8, DISP_E_OVERFLOW},
    {{VT_BSTR, 0, u"9223372036854775807.5"}, VT_I8, DISP_E_OVERFLOW},  // the tie rounds up to even
    {{VT_BSTR, 0, u"9223372036854775806.5"}, VT_I8, S_OK, 9223372036854775806.0L},
    // Beyond the digits kept, a non-zero digit still breaks a tie.
    {{VT_BSTR, 0, u"0.5" + std::u16string(1000, u'0') + u"1"}, VT_I4, S_OK, 1},
    {{VT_BSTR, 0, u"2.5" + std::u16string(1000, u'0')}, VT_I4, S_OK, 2},
    {{VT_BSTR, 0, u"0." + std::u16string(1000, u'9')}, VT_R8, S_OK, 1},
    {{VT_BSTR, 0, u"1" + std::u16string(400, u'0')}, VT_R8, DISP_E_OVERFLOW},
    {{VT_BSTR, 0, u"1" + std::u16string(400, u'0') + u"e-400"}, VT_R8, S_OK, 1},
    {{VT_BSTR, 0, u"1e400"}, VT_R8, DISP_E_OVERFLOW},
    {{VT_BSTR, 0, u"1e-400"}, VT_R8, S_OK, 0},
    {{VT_BSTR, 0, u"1e99999999999999999999"}, VT_R8, DISP_E_OVERFLOW},
    {{VT_BSTR, 0, u"1e39"}, VT_R4, DISP_E_OVERFLOW},
    {{VT_BSTR, 0, u"abc"}, VT_I4, DISP_E_TYPEMISMATCH},
    {{VT_BSTR, 0, u""}, VT_I4, DISP_E_TYPEMISMATCH},
    {{VT_BSTR, 0, u""}, VT_R8, DISP_E_TYPEMISMATCH},
    {{VT_BSTR, 0, u"   "}, VT_I4, DISP_E_TYPEMISMATCH},
    {{VT_BSTR, 0, u"."}, VT_R8, DISP_E_TYPEMISMATCH},
    {{VT_BSTR, 0, u"1e"}, VT_R8, DISP_E_TYPEMISMATCH},
    {{VT_BSTR, 0, u"1 2"}, VT_I4, DISP_E_TYPEMISMATCH},
    {{VT_BSTR, 0, u"12abc"}, VT_I4, DISP_E_TYPEMISMATCH},
    {{VT_BSTR, 0, u"1,000"}, VT_I4, DISP_E_TYPEMISMATCH},
    {{VT_BSTR, 0, u"- 1"}, VT_I4, DISP_E_TYPEMISMATCH},
    {{VT_BSTR, 0, u"&H"}, VT_I4, DISP_E_TYPEMISMATCH},
    {{VT_BSTR, 0, u"\uFF11"}, VT_I4, DISP_E_TYPEMISMATCH},  // a full-width digit
    {{VT_BSTR, 0,
      std::u16string(u"1\0"
                     u"2",
                     3)},
     VT_I4,
     DISP_E_TYPEMISMATCH},
    // Strings to Booleans.
    {{VT_BSTR, 0, u"True"}, VT_BOOL, S_OK, VARIANT_TRUE},
    {{VT_BSTR, 0, u" FALSE "}, VT_BOOL, S_OK, VARIANT_FALSE},
    {{VT_BSTR, 0, u"true"}, VT_BOOL, S_OK, VARIANT_TRUE},
    {{VT_BSTR, 0, u"0"}, VT_BOOL, S_OK, VARIANT_FALSE},
    {{VT_BSTR, 0, u"-2.5"}, VT_BOOL, S_OK, VARIANT_TRUE},
    {{VT_BSTR, 0, u"yes"}, VT_BOOL, DISP_E_TYPEMISMATCH},
    {{VT_BSTR, 0, u""}, VT_BOOL, DISP_E_TYPEMISMATCH},
    // Numbers and Booleans to strings.
    {{VT_I4, -42}, VT_BSTR, S_OK, 0, u"-42"},
    {{VT_UI8, 18446744073709551615.0L}, VT_BSTR, S_OK, 0, u"18446744073709551615"},
    {{VT_I8, -9223372036854775808.0L}, VT_BSTR, S_OK, 0, u"-9223372036854775808"},
    {{VT_R8, 12}, VT_BSTR, S_OK, 0, u"12"},
    {{VT_R8, 0.1}, VT_BSTR, S_OK, 0, u"0.1"},
    {{VT_R8, 2.5}, VT_BSTR, S_OK, 0, u"2.5"},
    {{VT_R8, -1.0 / 3}, VT_BSTR, S_OK, 0, u"-0.3333333333333333"},
    {{VT_R8, 1e20}, VT_BSTR, S_OK, 0, u"1E+20"},
    {{VT_R8, 1.5e-7}, VT_BSTR, S_OK, 0, u"1.5E-07"},
    {{VT_R4, 0.1f}, VT_BSTR, S_OK, 0, u"0.1"},
    {{VT_BOOL, 1}, VT_BSTR, S_OK, 0, u"True"},
    {{VT_BOOL, 0}, VT_BSTR, S_OK, 0, u"False"},
    {{VT_BSTR, 0, std::u16string(u"a\0b", 3)}, VT_BSTR, S_OK, 0, std::u16string(u"a\0b", 3)},
    // Types this runtime does not hold.
    {{VT_I4, 1}, VT_DATE, DISP_E_BADVARTYPE},
    {{VT_I4, 1}, VT_BYREF | VT_I4, DISP_E_BADVARTYPE},
    {{VT_DATE}, VT_I4, DISP_E_BADVARTYPE},
    {{VT_I4, 1}, VT_ARRAY | VT_UI1, DISP_E_TYPEMISMATCH},
};

TEST(VariantChangeTypeTest, FollowsTheScriptingCoercions) {
  for (const ConversionCase& c : kConversions) {
    SCOPED_TRACE(testing::Message()
                 << "vt " << c.source.vt << " (" << static_cast<double>(c.source.number) << ", \""
                 << Narrow(c.source.text) << "\") -> vt " << c.target);
    Variant source = Make(c.source);
    Variant result;
    const HRESULT hr = VariantChangeType(result.Get(), source.Get(), 0, c.target);
    EXPECT_EQ(hr, c.hr) << std::hex << "got 0x" << static_cast<uint32_t>(hr);
    if (FAILED(hr)) {
      EXPECT_EQ(result.vt(), VT_EMPTY) << "a failed conversion leaves the destination alone";
      continue;
    }
    ASSERT_EQ(result.vt(), c.target);
    if (c.target == VT_BSTR) {
      EXPECT_EQ(Narrow(BStrView(result)), Narrow(c.text));
      EXPECT_EQ(SysStringLen(result->bstrVal), c.text.size());
    } else {
      EXPECT_EQ(NumberOf(*result.Get()), c.number);
    }
  }
}

TEST(VariantChangeTypeTest, RealsWrittenAsTextReadBackExactly) {
  std::mt19937_64 random(20240611);
  std::uniform_int_distribution<uint64_t> bits;
  for (int i = 0; i < 2000; ++i) {
    double value;
    const uint64_t b = bits(random);
    std::memcpy(&value, &b, sizeof(value));
    if (!std::isfinite(value)) continue;
    Variant v = Variant::R8(value);
    ASSERT_EQ(v.ChangeType(VT_BSTR), S_OK);
    const std::string text = Narrow(BStrView(v));
    ASSERT_EQ(v.ChangeType(VT_R8), S_OK) << text;
    EXPECT_EQ(std::memcmp(&v->dblVal, &value, sizeof(value)), 0) << text;
  }
}

TEST(VariantChangeTypeTest, ReadsThroughReferences) {
  LONG number = 7;
  VARIANT by_ref;
  VariantInit(&by_ref);
  by_ref.vt = VT_BYREF | VT_I4;
  by_ref.plVal = &number;
  Variant result;
  ASSERT_EQ(VariantChangeType(result.Get(), &by_ref, 0, VT_BSTR), S_OK);
  EXPECT_EQ(BStrView(result), u"7");

  // A script passes its variables as references to variants.
  Variant text = Variant::String(u"12");
  VARIANT to_variant;
  VariantInit(&to_variant);
  to_variant.vt = VT_BYREF | VT_VARIANT;
  to_variant.pvarVal = text.Get();
  ASSERT_EQ(VariantChangeType(result.Get(), &to_variant, 0, VT_I4), S_OK);
  EXPECT_EQ(result->lVal, 12);
  ASSERT_EQ(VariantChangeType(result.Get(), &to_variant, 0, VT_BSTR), S_OK);
  EXPECT_NE(result->bstrVal, text->bstrVal) << "the result owns a copy";
  EXPECT_EQ(VariantClear(&to_variant), S_OK);  // a reference owns nothing
  EXPECT_EQ(BStrView(text), u"12");

  VARIANT broken;
  VariantInit(&broken);
  broken.vt = VT_BYREF | VT_BSTR;
  broken.pbstrVal = nullptr;
  EXPECT_EQ(VariantChangeType(result.Get(), &broken, 0, VT_I4), E_INVALIDARG);
  VARIANT cycle;
  VariantInit(&cycle);
  cycle.vt = VT_BYREF | VT_VARIANT;
  cycle.pvarVal = &cycle;
  EXPECT_EQ(VariantChangeType(result.Get(), &cycle, 0, VT_I4), DISP_E_BADVARTYPE);
}

TEST(VariantChangeTypeTest, ConvertsInPlace) {
  Variant v = Variant::String(u" 3.5 ");
  ASSERT_EQ(v.ChangeType(VT_I4), S_OK);  // the string is freed: LeakSanitizer checks
  EXPECT_EQ(v->lVal, 4);
  Variant kept = Variant::String(u"abc");
  EXPECT_EQ(kept.ChangeType(VT_R8), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(BStrView(kept), u"abc");
}

// Counts its references, so that copies, conversions and clears can be
// checked for balance.
class CountedDispatch final : public IDispatch {
 public:
  HRESULT QueryInterface(REFIID riid, void** out) override {
    if (riid != IID_IUnknown && riid != IID_IDispatch) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  std::atomic<ULONG> refs{0};
};

TEST(VariantTest, InterfacesKeepTheirReferencesBalanced) {
  CountedDispatch object;
  {
    Variant held = Variant::Dispatch(&object);
    EXPECT_EQ(object.refs, 1u);
    Variant copy;
    ASSERT_EQ(copy.CopyFrom(held.Get()), S_OK);
    EXPECT_EQ(object.refs, 2u);
    Variant unknown;
    ASSERT_EQ(VariantChangeType(unknown.Get(), held.Get(), 0, VT_UNKNOWN), S_OK);
    EXPECT_EQ(object.refs, 3u);
    EXPECT_EQ(VariantChangeType(unknown.Get(), held.Get(), 0, VT_I4), DISP_E_TYPEMISMATCH);
    ASSERT_EQ(unknown.ChangeType(VT_DISPATCH), S_OK);
    EXPECT_EQ(object.refs, 3u);
    Variant moved = std::move(copy);
    EXPECT_EQ(copy.vt(), VT_EMPTY);
  }
  EXPECT_EQ(object.refs, 0u);
  Variant empty;
  ASSERT_EQ(empty.ChangeType(VT_DISPATCH), S_OK);
  EXPECT_EQ(empty->pdispVal, nullptr);
}

TEST(VariantTest, CopiesAreDeepAndClearsRefuseUnknownTypes) {
  const uint8_t bytes[] = {'B', 'M', 0, 7};
  Variant picture = Variant::Bytes(bytes, sizeof(bytes));
  Variant copy;
  ASSERT_EQ(copy.CopyFrom(picture.Get()), S_OK);
  ASSERT_NE(copy->parray, picture->parray);
  LONG lower = 0, upper = 0;
  SafeArrayGetLBound(copy->parray, 1, &lower);
  SafeArrayGetUBound(copy->parray, 1, &upper);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 4);
  EXPECT_EQ(std::memcmp(copy->parray->pvData, bytes, sizeof(bytes)), 0);
  EXPECT_EQ(copy.CopyFrom(copy.Get()), S_OK) << "copying onto itself";
  EXPECT_EQ(copy->parray->rgsabound[0].cElements, 4u);

  Variant empty_picture = Variant::Bytes(nullptr, 0);
  EXPECT_EQ(empty_picture->parray->rgsabound[0].cElements, 0u);

  VARIANT odd;
  VariantInit(&odd);
  odd.vt = VT_DATE;
  EXPECT_EQ(VariantClear(&odd), DISP_E_BADVARTYPE);
  EXPECT_EQ(copy.CopyFrom(&odd), DISP_E_BADVARTYPE);
  EXPECT_EQ(copy.vt(), VT_ARRAY | VT_UI1) << "a failed copy leaves the destination alone";
}

}  // namespace
}  // namespace plotvane
