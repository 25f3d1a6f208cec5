#include "base/ascii.h"

#include <string>

#include <gtest/gtest.h>

namespace plotvane {
namespace {

TEST(AsciiTest, OnlyAsciiLettersFoldWhenComparing) {
  const struct {
    std::u16string a;
    const char* b;
    int order;
  } cases[] = {
      {u"Width", "WIDTH", 0},
      {u"width", "Width", 0},
      {u"Width", "Widths", -1},   // a prefix first
      {u"Widths", "Width", 1},
      {u"AddData", "ADDDATE", -1},
      {u"_", "a", 1},             // letters fold to upper case, below '_' (0x5F)
      {u"\u00E9", "\xC9", 1},     // no folding beyond ASCII; units compare unsigned
      {u"", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.b);
    EXPECT_EQ(CompareIgnoringCase(c.a, c.b), c.order);
    EXPECT_EQ(EqualIgnoringCase(c.a, c.b), c.order == 0);
    EXPECT_EQ(CompareIgnoringCase(c.a, Widen(c.b)), c.order);
  }
}

TEST(AsciiTest, WideningKeepsEveryByte) {
  EXPECT_EQ(Widen("Plotvane 3.1"), u"Plotvane 3.1");
  EXPECT_EQ(Widen(std::string("\xFF\0", 2)), (std::u16string{char16_t{0xFF}, char16_t{0}}));
}

}  // namespace
}  // namespace plotvane
