// The engine's rounding rules, one helper each, so that every conversion from
// a real number to pixels rounds the same way.
#ifndef PLOTVANE_ENGINE_ROUNDING_H_
#define PLOTVANE_ENGINE_ROUNDING_H_

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/types.h"

namespace plotvane {

// Nearest integer, halves to even (2.5 gives 2, 3.5 gives 4, -2.5 gives -2).
// Values beyond the 32-bit range, and NaN, saturate instead of overflowing:
// NaN gives 0, which keeps a drawing alive on nonsense input.
inline int Round(long double v) {
  if (std::isnan(v)) return 0;
  long double r = std::nearbyint(v);  // the default rounding mode is to-nearest-even
  if (r >= static_cast<long double>(std::numeric_limits<int>::max()))
    return std::numeric_limits<int>::max();
  if (r <= static_cast<long double>(std::numeric_limits<int>::min()))
    return std::numeric_limits<int>::min();
  return static_cast<int>(r);
}

// Largest integer not above v (bar slots), saturating like Round.
inline int Floor(long double v) { return Round(std::floor(v)); }

// Smallest integer not below v (the largest-value helpers of the axes).
inline int Ceil(long double v) { return Round(std::ceil(v)); }

// Round, Floor and Ceil into 64 bits, for the largest-value helpers of the
// axes and the scale's stop tests, where values beyond 32 bits are ordinary.
// They saturate at the 64-bit range the same way; NaN gives 0.
inline Int64 Round64(long double v) {
  if (std::isnan(v)) return 0;
  const long double r = std::nearbyint(v);
  if (r >= 9223372036854775807.0L) return std::numeric_limits<Int64>::max();
  if (r <= -9223372036854775808.0L) return std::numeric_limits<Int64>::min();
  return static_cast<Int64>(r);
}
inline Int64 Floor64(long double v) { return Round64(std::floor(v)); }
inline Int64 Ceil64(long double v) { return Round64(std::ceil(v)); }

// Saturates a 64-bit result into a 32-bit Integer field.
inline int Saturate32(Int64 v) {
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_ROUNDING_H_
