#include "base/utf.h"

#include <string>

#include <gtest/gtest.h>

namespace plotvane {
namespace {

// UTF-8 that is well formed converts both ways, exactly.
TEST(UtfTest, WellFormedTextRoundTrips) {
  const struct {
    const char* utf8;
    std::u16string utf16;
  } cases[] = {
      {"", u""},
      {"Fruit", u"Fruit"},
      {"\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},               // two bytes
      {"\xE2\x82\xAC\xEF\xBF\xBF", u"\u20AC\uFFFF"},          // three bytes, the last BMP unit
      {"\xF0\x9F\x8D\x8E", u"\U0001F34E"},                    // four bytes, a surrogate pair
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},                    // the last code point
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
    std::u16string strict;
    EXPECT_TRUE(Utf8ToUtf16Strict(c.utf8, &strict));
    EXPECT_EQ(strict, c.utf16);
  }
}

// Malformed UTF-8: the lenient conversion gives U+FFFD per offending byte and
// goes on; the strict one refuses, keeping what came before.
TEST(UtfTest, MalformedUtf8IsReplacedOrRefused) {
  const struct {
    const char* what;
    std::string utf8;
    std::u16string lenient;
    std::u16string strict_prefix;
  } cases[] = {
      {"lone continuation", "a\x80" "b", u"a\uFFFDb", u"a"},
      {"cut off at the end", "a\xE2\x82", u"a\uFFFD\uFFFD", u"a"},
      {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD", u""},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", u""},
      {"beyond U+10FFFF", "x\xF4\x90\x80\x80", u"x\uFFFD\uFFFD\uFFFD\uFFFD", u"x"},
      {"invalid lead", "\xFF" "z", u"\uFFFDz", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.lenient);
    std::u16string strict;
    EXPECT_FALSE(Utf8ToUtf16Strict(c.utf8, &strict));
    EXPECT_EQ(strict, c.strict_prefix);
  }
}

TEST(UtfTest, UnpairedSurrogatesBecomeReplacementCharacters) {
  const struct {
    std::u16string utf16;
    const char* utf8;
  } cases[] = {
      {std::u16string(1, char16_t{0xD800}), "\xEF\xBF\xBD"},
      {std::u16string{char16_t{0xDC00}, u'a'}, "\xEF\xBF\xBD" "a"},
      {std::u16string{char16_t{0xD83C}, char16_t{0xD83C}, char16_t{0xDF4E}}, "\xEF\xBF\xBD\xF0\x9F\x8D\x8E"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
}

}  // namespace
}  // namespace plotvane
