// Small value types shared by the drawing surface and everything that draws on
// it: colours, points, rectangles and sizes, all in bitmap pixels with the
// origin at the top-left corner and y growing downwards.
#ifndef PLOTVANE_CANVAS_TYPES_H_
#define PLOTVANE_CANVAS_TYPES_H_

#include <cstdint>
#include <cstdlib>

namespace plotvane {

// A colour as 0x00BBGGRR: red in the low byte, then green, then blue. The high
// byte carries no colour and is ignored wherever a colour is used.
using TColor = uint32_t;

constexpr uint8_t GetRValue(TColor c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t GetGValue(TColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t GetBValue(TColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }
constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

struct TPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const TPoint& a, const TPoint& b) { return a.x == b.x && a.y == b.y; }
  friend bool operator!=(const TPoint& a, const TPoint& b) { return !(a == b); }
};

struct TSize {
  int cx = 0;
  int cy = 0;
};

// A box [Left, Top, Right, Bottom): the right and bottom edges lie outside.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// a * b / c rounded to the nearest integer, halves away from zero, computed
// without intermediate overflow. Returns -1 when c is 0 or the result does
// not fit an int, as the platform does.
inline int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  int64_t p = static_cast<int64_t>(a) * b;
  bool negative = (p < 0) != (c < 0);
  int64_t ap = p < 0 ? -p : p;
  int64_t ac = c < 0 ? -static_cast<int64_t>(c) : c;
  int64_t q = (ap + ac / 2) / ac;
  const int64_t result = negative ? -q : q;
  if (result < INT32_MIN || result > INT32_MAX) return -1;
  return static_cast<int>(result);
}

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_TYPES_H_
