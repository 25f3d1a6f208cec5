#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "runtime/safearray.h"
#include "runtime/variant.h"

namespace plotvane {
namespace {

TEST(SafeArrayTest, BoundsFollowTheLowerBoundAndCount) {
  struct Case {
    LONG lower;
    ULONG count;
    LONG upper;
  };
  const Case cases[] = {
      {1, 0, 0},  // the empty picture: bounds 1..0
      {1, 1, 1},
      {1, 54, 54},
      {0, 10, 9},
      {-5, 3, -3},
      {INT32_MAX, 1, INT32_MAX},
      {INT32_MIN, 1, INT32_MIN},
      {INT32_MAX - 99, 100, INT32_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lower << " x " << c.count);
    SAFEARRAY* psa = SafeArrayCreateVector(VT_UI1, c.lower, c.count);
    ASSERT_NE(psa, nullptr);
    LONG lower = 0, upper = 0;
    EXPECT_EQ(SafeArrayGetLBound(psa, 1, &lower), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(psa, 1, &upper), S_OK);
    EXPECT_EQ(lower, c.lower);
    EXPECT_EQ(upper, c.upper);
    EXPECT_EQ(SafeArrayGetDim(psa), 1u);
    EXPECT_EQ(SafeArrayGetElemsize(psa), 1u);
    VARTYPE vt = VT_EMPTY;
    EXPECT_EQ(SafeArrayGetVartype(psa, &vt), S_OK);
    EXPECT_EQ(vt, VT_UI1);
    EXPECT_EQ(SafeArrayGetLBound(psa, 2, &lower), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetUBound(psa, 0, &upper), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayDestroy(psa), S_OK);
  }
}

TEST(SafeArrayTest, RefusesWhatItCannotDescribe) {
  // Upper bounds that do not fit a LONG, for empty arrays too.
  EXPECT_EQ(SafeArrayCreateVector(VT_UI1, INT32_MAX, 2), nullptr);
  EXPECT_EQ(SafeArrayCreateVector(VT_UI1, INT32_MIN, 0), nullptr);
  EXPECT_EQ(SafeArrayCreateVector(VT_UI1, 1, 0xFFFFFFFFu), nullptr);
  // Other element types and dimensions.
  EXPECT_EQ(SafeArrayCreateVector(VT_BSTR, 1, 4), nullptr);
  SAFEARRAYBOUND bounds[2] = {{4, 1}, {4, 1}};
  EXPECT_EQ(SafeArrayCreate(VT_UI1, 2, bounds), nullptr);
  EXPECT_EQ(SafeArrayCreate(VT_UI1, 1, nullptr), nullptr);
  SAFEARRAY* one = SafeArrayCreate(VT_UI1, 1, bounds);
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(SafeArrayDestroy(one), S_OK);
}

TEST(SafeArrayTest, LockedArraysCannotBeDestroyedOrCleared) {
  SAFEARRAY* psa = SafeArrayCreateVector(VT_UI1, 1, 3);
  ASSERT_NE(psa, nullptr);
  void* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(psa, &data), S_OK);
  ASSERT_EQ(SafeArrayAccessData(psa, &data), S_OK);  // locks nest
  std::memcpy(data, "BM\x01", 3);
  EXPECT_EQ(SafeArrayDestroy(psa), DISP_E_ARRAYISLOCKED);

  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = psa;
  EXPECT_EQ(VariantClear(&v), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(v.parray, psa) << "a failed clear leaves the variant as it was";

  EXPECT_EQ(SafeArrayUnaccessData(psa), S_OK);
  EXPECT_EQ(SafeArrayDestroy(psa), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayUnaccessData(psa), S_OK);
  EXPECT_EQ(SafeArrayUnaccessData(psa), E_UNEXPECTED) << "unlocking an unlocked array";

  SAFEARRAY* copy = nullptr;
  ASSERT_EQ(SafeArrayCopy(psa, &copy), S_OK);
  EXPECT_EQ(VariantClear(&v), S_OK);
  {
    SafeArrayAccess bytes(copy);
    ASSERT_TRUE(bytes.ok());
    ASSERT_EQ(bytes.size(), 3u);
    EXPECT_EQ(std::memcmp(bytes.data(), "BM\x01", 3), 0);
    EXPECT_EQ(SafeArrayDestroy(copy), DISP_E_ARRAYISLOCKED);
  }
  EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
}

TEST(SafeArrayTest, NullArgumentsAreRefused) {
  LONG bound = 0;
  void* data = nullptr;
  VARTYPE vt = 0;
  EXPECT_EQ(SafeArrayGetLBound(nullptr, 1, &bound), E_INVALIDARG);
  EXPECT_EQ(SafeArrayGetUBound(nullptr, 1, &bound), E_INVALIDARG);
  EXPECT_EQ(SafeArrayAccessData(nullptr, &data), E_INVALIDARG);
  EXPECT_EQ(SafeArrayGetVartype(nullptr, &vt), E_INVALIDARG);
  EXPECT_EQ(SafeArrayCopy(nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
  EXPECT_EQ(SafeArrayGetDim(nullptr), 0u);
  EXPECT_FALSE(SafeArrayAccess(nullptr).ok());
}

}  // namespace
}  // namespace plotvane
