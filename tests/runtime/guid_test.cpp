#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "runtime/guid.h"

namespace plotvane {
namespace {

std::u16string Text(const GUID& guid) {
  OLECHAR buffer[kGuidStringSize];
  EXPECT_EQ(StringFromGUID2(guid, buffer, kGuidStringSize), kGuidStringSize);
  return buffer;
}

TEST(GuidTest, TextFormIsTheRegistryForm) {
  struct Case {
    GUID guid;
    std::u16string text;
  };
  const Case cases[] = {
      {IID_IDispatch, u"{00020400-0000-0000-C000-000000000046}"},
      {IID_IClassFactory2, u"{B196B28F-BAB4-101A-B69C-00AA00341D07}"},
      {IID_IErrorInfo, u"{1CF2B120-547D-101B-8E65-08002B2BD119}"},
      {{0x01234567, 0x89AB, 0xCDEF, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}},
       u"{01234567-89AB-CDEF-FEDC-BA9876543210}"},
      {GUID_NULL, u"{00000000-0000-0000-0000-000000000000}"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Text(c.guid), c.text);
    GUID back;
    ASSERT_EQ(CLSIDFromString(c.text.c_str(), &back), NOERROR);
    EXPECT_EQ(back, c.guid);
  }
  GUID lower;
  ASSERT_EQ(IIDFromString(u"{b196b28f-bab4-101a-b69c-00aa00341d07}", &lower), S_OK);
  EXPECT_EQ(lower, IID_IClassFactory2);

  OLECHAR small[kGuidStringLength];
  EXPECT_EQ(StringFromGUID2(IID_IUnknown, small, kGuidStringLength), 0) << "no room for the zero";
}

TEST(GuidTest, MalformedTextsAreRefused) {
  const char16_t* malformed[] = {
      u"",
      u"00020400-0000-0000-C000-000000000046",     // no braces
      u"{00020400-0000-0000-C000-000000000046",    // no closing brace
      u"{00020400-0000-0000-C000-000000000046}x",  // trailing text
      u"{00020400-0000-0000-C000-00000000004}",    // a digit short
      u"{00020400-0000-0000-C000-0000000000467}",  // a digit too many
      u"{00020400+0000-0000-C000-000000000046}",   // wrong separator
      u"{0002040-00000-0000-C000-000000000046}",   // hyphen misplaced
      u"{0002040G-0000-0000-C000-000000000046}",   // not hexadecimal
      u"{ 0020400-0000-0000-C000-000000000046}",
      u"Plotvane.Draw",
  };
  for (const char16_t* text : malformed) {
    SCOPED_TRACE(std::string(text, text + std::char_traits<char16_t>::length(text)));
    GUID guid = IID_IDispatch;
    EXPECT_EQ(CLSIDFromString(text, &guid), CO_E_CLASSSTRING);
    EXPECT_EQ(guid, GUID_NULL);
    EXPECT_EQ(IIDFromString(text, &guid), E_INVALIDARG);
  }
  GUID guid;
  EXPECT_EQ(CLSIDFromString(nullptr, &guid), E_INVALIDARG);
  EXPECT_EQ(CLSIDFromString(u"{00020400-0000-0000-C000-000000000046}", nullptr), E_INVALIDARG);
}

TEST(GuidTest, CreatedGuidsAreRandomVersionFourAndUniqueAcrossThreads) {
  constexpr int kThreads = 4;
  constexpr int kEach = 500;
  std::vector<std::vector<GUID>> made(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&made, t] {
      for (int i = 0; i < kEach; ++i) {
        GUID guid;
        if (CoCreateGuid(&guid) == S_OK) made[t].push_back(guid);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::set<std::u16string> texts;
  for (const std::vector<GUID>& guids : made) {
    ASSERT_EQ(guids.size(), static_cast<size_t>(kEach));
    for (const GUID& guid : guids) {
      const std::u16string text = Text(guid);
      EXPECT_EQ(text[15], u'4') << "version nibble";
      EXPECT_NE(std::u16string(u"89AB").find(text[20]), std::u16string::npos) << "variant bits";
      texts.insert(text);
    }
  }
  EXPECT_EQ(texts.size(), static_cast<size_t>(kThreads * kEach));
  EXPECT_EQ(CoCreateGuid(nullptr), E_INVALIDARG);
}

}  // namespace
}  // namespace plotvane
