// The automatic scale and the bar slot layout.
//
// Both work in 64 bits: values and pixel counts that a client can set do not
// fit 32, and an automatic scale must not wrap into nonsense for them.
#include "engine/scale.h"

#include <cmath>
#include <cstdlib>

#include "engine/errors.h"

namespace plotvane {

namespace {

// a mod d truncating towards zero; a mod -1 is 0 also for the most negative a.
Int64 Mod(Int64 a, Int64 d) { return d == -1 ? 0 : a % d; }

// a div d rounded towards minus infinity.
Int64 FloorDiv(Int64 a, Int64 d) {
  const Int64 q = a / d;
  return (a % d != 0 && ((a < 0) != (d < 0))) ? q - 1 : q;
}

// The number of steps of a label spacing of `sizes` font sizes.
Int64 Steps(Int64 axis_length, Int64 font_size, Int64 sizes) {
  const Int64 unit = sizes * font_size;
  if (unit == 0) throw EDivByZero();
  return axis_length / unit;
}

}  // namespace

void CalculateScale(double& grad, double& top, double offset, Int64 max_value, Int64 axis_length,
                    Int64 font_size, bool percent) {
  font_size = font_size < 0 ? -font_size : font_size;
  Int64 b = max_value;

  int magnitude = 0;
  while (std::trunc(static_cast<long double>(b) / std::pow(10.0L, magnitude)) >= 10) ++magnitude;
  if (b > 1 && b < 10 && b % 2 != 0) ++b;
  if (b == 0) b = 1;

  if (top == 0) {
    const long double power = std::pow(10.0L, magnitude);
    if (Mod(b, Round64(power)) == 0) {
      top = static_cast<double>(b);
    } else {
      top = static_cast<double>(Round64((std::trunc(b / power) + 1) * power));
    }
    if (percent && top > 100) top = 100;
  }

  const long double span = static_cast<long double>(top) - offset;
  const Int64 whole_span = Round64(span);
  int best_sizes = 3, best_quality = 2;
  for (int sizes = 2; sizes <= 10; ++sizes) {
    const Int64 d = Steps(axis_length, font_size, sizes);
    if (d == 0) break;
    const int quality = Mod(whole_span, d) == 0 ? 1 : Round64(span / d) % 2 == 0 ? 2 : 3;
    if (quality < best_quality ||
        (quality == best_quality && std::abs(6 - sizes) < std::abs(6 - best_sizes))) {
      best_sizes = sizes;
      best_quality = quality;
    }
  }

  if (grad == 0) {
    const Int64 d = Steps(axis_length, font_size, best_sizes);
    if (d != 0) {
      grad = static_cast<double>(Round64(span / d));
      if (grad == 0) grad = 1;
    } else {
      grad = static_cast<double>(b);
    }
  }
  grad = std::fabs(grad);
}

SlotLayout LayOutSlots(Int64 length, Int64 count, Int64 width, Int64 gap, bool widen) {
  if (width == 0 && gap == 0) {
    width = FloorDiv(length, 2 * count);
    gap = width;
    if (widen && (count - 1) * gap + count * (width + 1) <= length) ++width;
  }
  if (width == 0 && gap != 0) width = FloorDiv(length - count * gap, count);
  if (width != 0 && gap == 0) gap = FloorDiv(length - count * width, count);
  return SlotLayout{width, gap, length - (count - 1) * gap - count * width};
}

}  // namespace plotvane
