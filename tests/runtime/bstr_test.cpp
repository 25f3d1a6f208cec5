#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "runtime/bstr.h"

namespace plotvane {
namespace {

TEST(BStrTest, LengthsCountEveryCodeUnitIncludingEmbeddedZeros) {
  struct Case {
    std::u16string text;
    UINT length;
  };
  const Case cases[] = {
      {u"", 0},
      {u"a", 1},
      {std::u16string(u"a\0b", 3), 3},
      {std::u16string(3, u'\0'), 3},
      {u"\u00e9\U0001F600", 3},  // a surrogate pair is two code units
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.size());
    BSTR b = SysAllocStringLen(c.text.data(), static_cast<UINT>(c.text.size()));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SysStringLen(b), c.length);
    EXPECT_EQ(SysStringByteLen(b), 2 * c.length);
    EXPECT_EQ(std::u16string(b, SysStringLen(b)), c.text);
    EXPECT_EQ(b[c.length], u'\0') << "the terminator lets the text read as a C string";
    SysFreeString(b);
  }
}

TEST(BStrTest, NullIsTheEmptyStringEverywhere) {
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  BStr empty;
  EXPECT_EQ(empty.view(), u"");

  // A null source with a length gives that many zero units.
  BSTR zeros = SysAllocStringLen(nullptr, 4);
  ASSERT_NE(zeros, nullptr);
  EXPECT_EQ(std::u16string(zeros, 4), std::u16string(4, u'\0'));
  SysFreeString(zeros);

  // SysAllocString stops at the first zero; SysAllocStringLen does not.
  BSTR cut = SysAllocString(u"ab\0cd");
  EXPECT_EQ(SysStringLen(cut), 2u);
  SysFreeString(cut);
}

TEST(BStrTest, LengthsThatWouldOverflowThePrefixAreRefused) {
  for (UINT n : {kMaxBStrLength + 1, 0x80000000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(SysAllocStringLen(nullptr, n), nullptr);
    BSTR kept = SysAllocString(u"kept");
    EXPECT_EQ(SysReAllocStringLen(&kept, nullptr, n), FALSE);
    EXPECT_EQ(std::u16string(kept), u"kept") << "a refused reallocation keeps the old string";
    SysFreeString(kept);
  }
}

TEST(BStrTest, ReallocationMayReadFromTheStringItReplaces) {
  BSTR b = SysAllocString(u"Hello world");
  ASSERT_EQ(SysReAllocString(&b, b + 6), TRUE);
  EXPECT_EQ(std::u16string(b, SysStringLen(b)), u"world");
  ASSERT_EQ(SysReAllocStringLen(&b, b, 3), TRUE);
  EXPECT_EQ(std::u16string(b, SysStringLen(b)), u"wor");
  ASSERT_EQ(SysReAllocString(&b, nullptr), TRUE);
  EXPECT_EQ(b, nullptr);
  EXPECT_EQ(SysReAllocString(nullptr, u"x"), FALSE);
}

TEST(BStrTest, OwnerFreesOnceAndMoveEmptiesTheSource) {
  BStr a(std::u16string_view(u"x\0y", 3));
  EXPECT_EQ(a.size(), 3u);
  BStr b(std::move(a));
  EXPECT_EQ(a.Get(), nullptr);
  EXPECT_EQ(b.view(), std::u16string_view(u"x\0y", 3));
  a = std::move(b);
  EXPECT_EQ(b.Get(), nullptr);
  BSTR raw = a.Detach();
  EXPECT_EQ(a.Get(), nullptr);
  b.Attach(raw);  // b frees it: LeakSanitizer checks the balance
  *b.ReleaseAndGetAddressOf() = SysAllocString(u"new");
  EXPECT_EQ(b.str(), u"new");
}

}  // namespace
}  // namespace plotvane
