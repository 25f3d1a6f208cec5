// Lines: 1-pixel lines with the platform's tie-breaking and dash patterns,
// and wide pens built from bands and round tips.
//
// A 1-pixel line is a Bresenham line that steps along its major axis; on a
// tie the minor coordinate advances only for lines heading into four of the
// eight octants (the platform's bias). The pixel after t major steps has the
// minor offset
//   m(t) = max(0, ceil((2 minor t - major + bias) / (2 major))),
// so the part of a line inside the bitmap is found by solving for t, and no
// pixel outside the bitmap is visited.
//
// A wide pen paints, as the platform's wide pens do, a band along each
// segment (a rectangle for level and upright segments, otherwise a
// quadrilateral whose half-widths are rounded separately on either side) and
// a round tip, the platform's elliptic region of the pen's width, at every
// vertex. Painting the pieces one after another gives the same pixels as
// painting their union, since they share one colour.
#include <algorithm>
#include <cmath>

#include "canvas/quadrant_path.h"
#include "canvas/raster.h"

namespace plotvane {
namespace raster {

namespace {

// On and off lengths of the styled 1-pixel pens, by pen style.
constexpr uint8_t kDash[] = {18, 6};
constexpr uint8_t kDot[] = {3, 3};
constexpr uint8_t kDashDot[] = {9, 6, 3, 6};
constexpr uint8_t kDashDotDot[] = {9, 3, 3, 3, 3, 3};

int64_t Sign(int64_t v) { return v < 0 ? -1 : 1; }

// The platform's rounding of pen geometry: halves upwards.
int64_t RoundHalfUp(double v) {
  const double r = std::floor(v + 0.5);
  if (r > 4e18) return int64_t{4000000000000000000};
  if (r < -4e18) return -int64_t{4000000000000000000};
  return static_cast<int64_t>(r);
}

// Clips the t range [*t0, *t1] of a line to the minor-axis range [lo, hi] of
// its minor offset m(t) (see the file comment).
void ClipMinor(Int128 major, Int128 minor, Int128 bias, int64_t lo, int64_t hi, int64_t* t0,
               int64_t* t1) {
  if (minor == 0) {
    if (lo > 0 || hi < 0) *t1 = *t0 - 1;
    return;
  }
  if (lo > 0) {
    // m(t) >= lo  <=>  2 minor t - major + bias > 2 major (lo - 1)
    *t0 = std::max(*t0, FloorDiv(2 * major * (lo - 1) + major - bias, 2 * minor) + 1);
  }
  if (hi < 0) {
    *t1 = *t0 - 1;
  } else {
    // m(t) <= hi  <=>  2 minor t - major + bias <= 2 major hi
    *t1 = std::min(*t1, FloorDiv(2 * major * hi + major - bias, 2 * minor));
  }
}

}  // namespace

Dash::Dash(int style) {
  switch (style) {
    case 1:
      runs_ = kDash;
      count_ = 2;
      break;
    case 2:
      runs_ = kDot;
      count_ = 2;
      break;
    case 3:
      runs_ = kDashDot;
      count_ = 4;
      break;
    case 4:
      runs_ = kDashDotDot;
      count_ = 6;
      break;
    default:
      break;
  }
  for (int i = 0; i < count_; ++i) length_ += runs_[i];
}

bool Dash::On(int64_t offset) const {
  if (length_ == 0) return true;
  int64_t at = (phase_ + offset % length_) % length_;
  for (int i = 0; i < count_; ++i) {
    if (at < runs_[i]) return (i & 1) == 0;
    at -= runs_[i];
  }
  return true;
}

void Dash::Skip(int64_t pixels) {
  if (length_ != 0) phase_ = (phase_ + pixels % length_) % length_;
}

void ThinLine(Surface& surface, Point from, Point to, Dash* dash) {
  const int64_t dx = to.x - from.x, dy = to.y - from.y;
  if (dx == 0 && dy == 0) return;
  // The octants that round ties towards the minor direction: heading down and
  // left, up and left (both steep and shallow ways) and shallow up-right.
  bool x_major, bias;
  if (dy > 0) {
    x_major = dx > 0 ? dx > dy : -dx > dy;
    bias = !x_major && dx <= 0;  // octant 3
  } else if (dx < 0) {
    x_major = -dx > -dy;
    bias = true;                 // octants 5 and 6
  } else {
    x_major = dx > -dy;
    bias = x_major;              // octant 8
  }
  const int64_t major = x_major ? std::abs(dx) : std::abs(dy);
  const int64_t minor = x_major ? std::abs(dy) : std::abs(dx);
  const int64_t s_major = Sign(x_major ? dx : dy), s_minor = Sign(x_major ? dy : dx);
  const int64_t start_major = x_major ? from.x : from.y;
  const int64_t start_minor = x_major ? from.y : from.x;
  const int64_t size_major = x_major ? surface.Width() : surface.Height();
  const int64_t size_minor = x_major ? surface.Height() : surface.Width();

  int64_t t0 = 0, t1 = major - 1;
  // Major axis inside [0, size_major).
  if (s_major > 0) {
    t0 = std::max(t0, -start_major);
    t1 = std::min(t1, size_major - 1 - start_major);
  } else {
    t0 = std::max(t0, start_major - (size_major - 1));
    t1 = std::min(t1, start_major);
  }
  // Minor axis inside [0, size_minor).
  const int64_t lo = s_minor > 0 ? -start_minor : start_minor - (size_minor - 1);
  const int64_t hi = s_minor > 0 ? size_minor - 1 - start_minor : start_minor;
  if (t0 <= t1) ClipMinor(major, minor, bias ? 1 : 0, lo, hi, &t0, &t1);

  const bool solid = dash == nullptr || dash->Solid();
  if (t0 <= t1 && minor == 0 && solid) {
    // Level and upright lines: one span.
    const int64_t a = start_major + s_major * t0, b = start_major + s_major * t1;
    if (x_major) {
      surface.Span(start_minor, std::min(a, b), std::max(a, b) + 1);
    } else {
      surface.Box(start_minor, std::min(a, b), start_minor + 1, std::max(a, b) + 1);
    }
  } else if (t0 <= t1) {
    // Step from the first visible pixel with the error the walk from the
    // line's start would have there.
    int64_t m = std::max<int64_t>(
        0, CeilDiv(Int128(2) * minor * t0 - major + (bias ? 1 : 0), Int128(2) * major));
    int64_t err = static_cast<int64_t>(Int128(2) * minor * (t0 + 1) - major - Int128(2) * major * m);
    const int64_t step_minor = 2 * minor, step_both = 2 * minor - 2 * major, b = bias ? 1 : 0;
    // `target_of(t)` is the surface step t paints (null: none).
    auto walk = [&](auto target_of) {
      for (int64_t t = t0; t <= t1; ++t) {
        Surface* target = target_of(t);
        if (target != nullptr) {
          const int64_t p = start_major + s_major * t, q = start_minor + s_minor * m;
          if (x_major) {
            target->Plot(p, q);
          } else {
            target->Plot(q, p);
          }
        }
        if (err + b > 0) {
          ++m;
          err += step_both;
        } else {
          err += step_minor;
        }
      }
    };
    if (solid) {
      walk([&surface](int64_t) { return &surface; });
    } else {
      walk([&surface, dash](int64_t t) { return dash->On(t) ? &surface : dash->Gaps(); });
    }
  }
  if (dash != nullptr) dash->Skip(major);
}

void RoundTip::PaintRun(Surface& surface, int64_t y, int64_t x0, int64_t x1) const {
  if (x1 + reach_ < 0 || x0 - reach_ >= surface.Width()) return;
  const int64_t r0 = std::max(Top(), -y), r1 = std::min(Bottom(), surface.Height() - y);
  if (r0 >= r1) return;
  surface.Progress(r1 - r0);
  // Rows narrow away from the middle, so the tips cover the bitmap when its
  // first and last rows are covered.
  int64_t a = 0, b = 0, c = 0, d = 0;
  if (r0 == -y && r1 == surface.Height() - y && Row(r0, &a, &b) && Row(r1 - 1, &c, &d) &&
      x0 + std::max(a, c) <= 0 && x1 + std::min(b, d) >= surface.Width()) {
    surface.Box(0, 0, surface.Width(), surface.Height());
    return;
  }
  for (int64_t r = r0; r < r1; ++r) {
    if (Row(r, &a, &b)) surface.Span(y + r, x0 + a, x1 + b);
  }
}

std::array<Point, 4> WideBand(Point a, Point b, int64_t width) {
  const int64_t dx = b.x - a.x, dy = b.y - a.y;
  const double len = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
  const double width_x = static_cast<double>(width) * static_cast<double>(std::abs(dy)) / len;
  const double width_y = static_cast<double>(width) * static_cast<double>(std::abs(dx)) / len;
  Point narrow{RoundHalfUp(width_x / 2), RoundHalfUp(width_y / 2)};
  Point wide{RoundHalfUp((width_x + 1) / 2), RoundHalfUp((width_y + 1) / 2)};
  if (dx < 0) {
    wide.y = -wide.y;
    narrow.y = -narrow.y;
  }
  if (dy < 0) {
    std::swap(narrow, wide);
    narrow.x = -narrow.x;
    wide.x = -wide.x;
  }
  return {Point{a.x - narrow.x, a.y + narrow.y}, Point{a.x + wide.x, a.y - wide.y},
          Point{b.x + wide.x, b.y - wide.y}, Point{b.x - narrow.x, b.y + narrow.y}};
}

void WideSegment(Surface& surface, Point a, Point b, int64_t width) {
  const int64_t dx = b.x - a.x, dy = b.y - a.y;
  if ((dx == 0 && dy == 0) || surface.Full()) return;
  if (dy == 0) {
    const int64_t top = a.y - width / 2;
    surface.Box(std::min(a.x, b.x), top, std::max(a.x, b.x), top + width);
    return;
  }
  if (dx == 0) {
    const int64_t left = a.x - width / 2;
    surface.Box(left, std::min(a.y, b.y), left + width, std::max(a.y, b.y));
    return;
  }
  const std::array<Point, 4> band = WideBand(a, b, width);
  FillPolygon(surface, std::vector<Point>(band.begin(), band.end()), FillRule::kAlternate);
}

PenGeometry GeometryOf(const TPen& pen) {
  if (pen.Style == TPenStyle::psClear) return {false, 0, 0, false};
  const int64_t width = std::max(pen.Width, 1);
  const int style = static_cast<int>(pen.Style);
  const bool styled = style >= 1 && style <= 4;
  return {true, width, (styled && width == 1) ? style : 0,
          pen.Style == TPenStyle::psInsideFrame};
}

void PenPolyline(Surface& surface, const std::vector<Point>& points, bool close, int64_t width,
                 Dash* dash) {
  const size_t n = points.size();
  if (n == 0 || surface.Empty()) return;
  const size_t segments = close ? n : n - 1;
  if (width <= 1) {
    for (size_t i = 0; i < segments; ++i) {
      surface.Progress(1);
      ThinLine(surface, points[i], points[(i + 1) % n], dash);
    }
    return;
  }
  for (size_t i = 0; i < segments; ++i) WideSegment(surface, points[i], points[(i + 1) % n], width);
  const RoundTip tip(width, surface.WalkLimit());
  for (const Point& p : points) {
    if (surface.Full()) break;
    tip.PaintRun(surface, p.y, p.x, p.x);
  }
}

}  // namespace raster
}  // namespace plotvane
