// The arithmetic of value axes and bar slots, apart from any drawing: the
// automatic scale, the tick series along an axis and the slot layout of bar
// charts.
//
// An axis has a top, a step (grad) and an offset, the value at its origin;
// S = |top - offset| is the span of its positive part. Ticks lie px pixels
// apart, px kept unrounded, so tick k lies Round(k px) pixels from the
// origin (halves to even).
#ifndef PLOTVANE_ENGINE_SCALE_H_
#define PLOTVANE_ENGINE_SCALE_H_

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/rounding.h"
#include "engine/types.h"

namespace plotvane {

// ---- Automatic scale --------------------------------------------------------

// Chooses the top and the step of an axis where they are 0, from the largest
// data value `max_value` (already rounded up to an integer), the pixel length
// `axis_length` of the axis's positive part and the label font's point size
// `font_size` (its absolute value counts):
//  1. i, the magnitude: the number of times max_value divides by ten and
//     stays at least 10;
//  2. a small odd value (3, 5, 7, 9) becomes the next even one, 0 becomes 1;
//  3. top, when 0: the value itself when it is a multiple of 10^i, else the
//     next multiple of 10^i (37 gives 40, 101 gives 200), at most 100 when
//     `percent`; a negative value is its own top;
//  4. the label spacing: for j = 2..10 a step of j font sizes gives
//     d = axis_length div (j font_size) steps; d is best when the span
//     divides into d whole steps, second best when span / d rounds to an
//     even number; among equals the j nearest 6 wins, the smaller on a tie;
//     the search stops at the first d of 0;
//  5. grad, when 0: Round(span / d) for the best spacing, at least 1, or the
//     value itself when no spacing fits. The step is then made positive,
//     also when it was given.
// Throws EDivByZero when `font_size` is 0.
void CalculateScale(double& grad, double& top, double offset, Int64 max_value, Int64 axis_length,
                    Int64 font_size, bool percent);

// ---- Ticks ------------------------------------------------------------------

// One axis as its ticks see it.
struct TickScale {
  double top = 0;
  double grad = 0;
  double offset = 0;
  double px = 0;           // pixels between two ticks, unrounded
  Int64 length = 0;        // pixels of the positive part
  Int64 negative = 0;      // pixels of the negative part
  int decimals = 0;        // the number setting FDecimals
};

// Ticks closer together than a pixel would be painted over one another at
// the same place; of every run of ticks that round to the same pixel only
// the last is visited. So a tiny step against a huge span costs what the
// axis has pixels, not what the span has steps.
namespace tick_detail {

// The largest tick number a walk reaches, well inside 64 bits, so that
// counting on from it never overflows.
constexpr Int64 kLastTick = 4000000000000000000;

// The last tick k2 >= k that rounds to the same pixel as tick k.
inline Int64 LastAtSamePixel(Int64 k, Int64 pixel, double px) {
  if (Round64(static_cast<long double>(k + 1) * px) != pixel) return k;
  const long double step = std::fabs(static_cast<long double>(px));
  const long double far = (std::abs(pixel) + 0.5L) / step;
  Int64 k2 = far >= 4.0e18L ? kLastTick : static_cast<Int64>(far);
  if (k2 < k) k2 = k;
  while (k2 > k && Round64(static_cast<long double>(k2) * px) != pixel) --k2;
  while (k2 < kLastTick && Round64(static_cast<long double>(k2 + 1) * px) == pixel) ++k2;
  return k2;
}

// Pd = 10^(|decimals| + 1), held in single precision: a value is compared
// with the top one decimal finer than it is written.
inline float FinerFactor(int decimals) {
  const Int64 power = std::abs(static_cast<Int64>(decimals)) + 1;
  return static_cast<float>(std::pow(10.0L, static_cast<long double>(power)));
}

inline Int64 Finer(double v, float pd) { return Round64(static_cast<long double>(v) * pd); }

inline double TickValue(const TickScale& s, Int64 k, int sign) {
  return static_cast<double>(static_cast<long double>(s.offset) +
                             sign * static_cast<long double>(k) * s.grad);
}

}  // namespace tick_detail

// The number of ticks on the positive side, held in 32 bits: Round(S / grad)
// for an axis, Int(S / grad), whole steps only, for grid lines.
inline Int64 TickCount(const TickScale& s, bool whole_steps) {
  const long double steps = std::fabs(static_cast<long double>(s.top) - s.offset) / s.grad;
  return whole_steps ? Round(std::trunc(steps)) : Round(steps);
}

// Visits the ticks on the positive side, k = 1..n, as
// visit(pixels from the origin, value) with value = k grad + offset. With
// `stop_tests` the walk ends before the first tick whose value passes the
// top (compared one decimal finer than written) or whose pixel passes the
// end of the axis. Without them it runs all n ticks, but ends once a tick
// lies more than `reach` pixels from the origin: the ticks only move further
// away from there.
template <class Visit>
void WalkPositiveTicks(const TickScale& s, Int64 n, bool stop_tests, Int64 reach, Visit visit) {
  const float pd = tick_detail::FinerFactor(s.decimals);
  const Int64 top = tick_detail::Finer(std::fabs(s.top), pd);
  auto passes_top = [&](Int64 k) {
    return top < tick_detail::Finer(tick_detail::TickValue(s, k, 1), pd);
  };
  for (Int64 k = 1; k <= n;) {
    const Int64 pixel = Round64(static_cast<long double>(k) * s.px);
    if (stop_tests && (passes_top(k) || pixel > s.length)) return;
    if (!stop_tests && std::abs(pixel) > reach) return;
    Int64 last = std::min(n, tick_detail::LastAtSamePixel(k, pixel, s.px));
    if (stop_tests && last > k && passes_top(last)) {
      // The top is passed within the run: its last tick before the top.
      Int64 lo = k, hi = last;  // passes_top(lo) is false, passes_top(hi) true
      while (hi - lo > 1) {
        const Int64 mid = lo + (hi - lo) / 2;
        (passes_top(mid) ? hi : lo) = mid;
      }
      last = lo;
    }
    visit(pixel, tick_detail::TickValue(s, last, 1));
    k = last + 1;
  }
}

// Visits the ticks on the negative side, k = 1, 2, ... while Round(k px) is
// within the negative part, as visit(pixels from the origin, value) with
// value = offset - k grad. Nothing when px is not positive.
template <class Visit>
void WalkNegativeTicks(const TickScale& s, Visit visit) {
  if (!(s.px > 0)) return;
  for (Int64 k = 1; k < tick_detail::kLastTick;) {
    const Int64 pixel = Round64(static_cast<long double>(k) * s.px);
    if (pixel > s.negative) return;
    const Int64 last = tick_detail::LastAtSamePixel(k, pixel, s.px);
    visit(pixel, tick_detail::TickValue(s, last, -1));
    k = last + 1;
  }
}

// ---- Bar slots --------------------------------------------------------------

// Bar width W, gap G and spare room E of `count` bars along an axis of
// `length` pixels, from the settings `width` and `gap` (0 for automatic),
// every division rounded down:
//  1. both automatic: W = G = length / (2 count); when `widen`, W grows by
//     one pixel if the bars still fit;
//  2. then, W automatic beside a given gap: W = (length - count G) / count;
//  3. then, G automatic beside a width: G = (length - count W) / count;
//  4. E = length - (count - 1) G - count W, negative when the given width
//     and gap do not fit. Half of E goes before the first bar.
// REQUIRES: count > 0.
struct SlotLayout {
  Int64 width = 0;
  Int64 gap = 0;
  Int64 spare = 0;
};
SlotLayout LayOutSlots(Int64 length, Int64 count, Int64 width, Int64 gap, bool widen);

// Bar i (from 0) of `slots`: where its slot starts, Round(E/2) + i (G + W),
// and where its centre lies, E/2 + i (G + W) + W/2 unrounded, both as
// distances from the origin along the category axis.
struct Slot {
  Int64 start;
  long double centre;
};

inline Slot SlotOf(const SlotLayout& slots, Int64 i) {
  const Int64 pitch = slots.gap + slots.width;
  return Slot{Round64(static_cast<long double>(slots.spare) / 2) + i * pitch,
              static_cast<long double>(slots.spare) / 2 + static_cast<long double>(i) * pitch +
                  static_cast<long double>(slots.width) / 2};
}

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_SCALE_H_
