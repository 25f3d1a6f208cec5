// Base64 in lines: every 3 input bytes give 4 characters, the first from the
// top 6 bits of the first byte; a final 1 or 2 bytes give 2 or 3 characters
// and "==" or "=". The characters on the current line are counted 4 at a
// time; once a line holds more than 75 (so exactly 76) CR LF follows.
#include "imaging/base64.h"

namespace plotvane {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kLineChars = 76;

}  // namespace

std::string BufferToBase64(const uint8_t* Buffer, size_t Size) {
  std::string text;
  const size_t groups = (Size + 2) / 3;
  text.reserve(groups * 4 + groups * 4 / kLineChars * 2);
  int line = 0;
  for (size_t i = 0; i < Size; i += 3) {
    const size_t left = Size - i;
    const uint32_t v = (uint32_t{Buffer[i]} << 16) | (left > 1 ? uint32_t{Buffer[i + 1]} << 8 : 0) |
                       (left > 2 ? uint32_t{Buffer[i + 2]} : 0);
    text += kAlphabet[(v >> 18) & 63];
    text += kAlphabet[(v >> 12) & 63];
    text += left > 1 ? kAlphabet[(v >> 6) & 63] : '=';
    text += left > 2 ? kAlphabet[v & 63] : '=';
    line += 4;
    if (line > kLineChars - 1) {
      text += "\r\n";
      line = 0;
    }
  }
  return text;
}

}  // namespace plotvane
