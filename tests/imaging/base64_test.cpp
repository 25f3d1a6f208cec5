#include "imaging/base64.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace plotvane {
namespace {

std::string Encode(const std::string& text) {
  return BufferToBase64(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

TEST(Base64Test, EncodesTheStandardVectors) {
  const std::pair<const char*, const char*> cases[] = {{"", ""},
                                                       {"f", "Zg=="},
                                                       {"fo", "Zm8="},
                                                       {"foo", "Zm9v"},
                                                       {"foob", "Zm9vYg=="},
                                                       {"fooba", "Zm9vYmE="},
                                                       {"foobar", "Zm9vYmFy"},
                                                       {"\xFB\xFF\xBF", "+/+/"}};
  for (const auto& [input, expected] : cases) {
    EXPECT_EQ(Encode(input), expected) << "input \"" << input << "\"";
  }
}

// Decodes the text back, checking the line structure on the way: lines of 76
// characters each ending in CR LF, and a last line that ends in CR LF exactly
// when it is full.
std::vector<uint8_t> DecodeLines(const std::string& text) {
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string plain;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find("\r\n", at);
    const size_t line_end = end == std::string::npos ? text.size() : end;
    const size_t length = line_end - at;
    if (end != std::string::npos) {
      EXPECT_EQ(length, 76u) << "line at " << at;
    } else {
      EXPECT_LT(length, 76u) << "a full last line must end in CR LF";
    }
    plain += text.substr(at, length);
    at = end == std::string::npos ? text.size() : end + 2;
  }
  std::vector<uint8_t> bytes;
  uint32_t bits = 0;
  int count = 0;
  for (char ch : plain) {
    if (ch == '=') break;
    bits = bits << 6 | static_cast<uint32_t>(alphabet.find(ch));
    count += 6;
    if (count >= 8) {
      count -= 8;
      bytes.push_back(static_cast<uint8_t>(bits >> count));
    }
  }
  return bytes;
}

// Around the line length: 57 input bytes fill a line exactly (CR LF follows),
// 56 fill it with one "=" (CR LF follows too), 58 spill over.
TEST(Base64Test, BreaksLinesAfterEvery76Characters) {
  for (size_t size : {1u, 55u, 56u, 57u, 58u, 113u, 114u, 115u, 171u, 1000u}) {
    std::vector<uint8_t> input(size);
    for (size_t i = 0; i < size; ++i) input[i] = static_cast<uint8_t>(i * 37 + 11);
    const std::string text = BufferToBase64(input.data(), input.size());
    EXPECT_EQ(DecodeLines(text), input) << size << " bytes";
    const size_t characters = (size + 2) / 3 * 4;
    EXPECT_EQ(text.size(), characters + characters / 76 * 2) << size << " bytes";
  }
}

}  // namespace
}  // namespace plotvane
