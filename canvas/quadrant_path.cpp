// The quarter outline per row: see quadrant_path.h for the method.
#include "canvas/quadrant_path.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "canvas/raster.h"

namespace plotvane {
namespace raster {

namespace {

// Boxes up to this size are evaluated exactly in 128 bits: the error terms
// stay below 2^123.
constexpr int64_t kExactLimit = int64_t{1} << 30;

// Walks between the closed-form stretches and at the path's end stop after
// this many iterations; the walks take a handful of them for ordinary shapes
// and stay far below this for any box up to 2^32.
constexpr int kMaxWalkIterations = 1 << 22;

// A margin that keeps the long double root comparisons on the safe side:
// a stretch is taken as closed-form only when its roots advance by clearly
// more than one pixel per step.
constexpr long double kRootMargin = 1e-6L;

}  // namespace

struct QuadrantPath::Engine {
  virtual ~Engine() = default;
  virtual bool Row(int64_t j, PathRow* row) const = 0;
  virtual int64_t LastRow() const = 0;
};

namespace {

// The path in the arithmetic of `Num` (Int128 exact, or long double).
//
// The stepping algorithm keeps an error value; after k column steps and j
// row steps it equals
//   E(k, j) = A k (k + 2 - a) + B j (j + 2 + b1) + E0,
// with a = w - 1, b = h - 1, b1 = b mod 2, A = 4 b^2, B = 4 a^2 and
// E0 = 4 b^2 (1 - a) + 4 a^2 (1 + b1) + a^2 b1. From state (k, j) the path
// steps a column when X(k, j) = E(k, j) + E(k - 1, j) >= 0 and a row when
// Y(k, j) = E(k, j) + E(k, j - 1) <= 0 (both at once for a diagonal step).
template <typename Num>
class PathEngine final : public QuadrantPath::Engine {
 public:
  PathEngine(int64_t w, int64_t h, int64_t kcap)
      : a_(w - 1), b_(h - 1), b1_((h - 1) & 1), p_(2 + b1_), kcap_(kcap) {
    A_ = Num(4) * Num(b_) * Num(b_);
    B_ = Num(4) * Num(a_) * Num(a_);
    E0_ = A_ * Num(1 - a_) + B_ * Num(1 + b1_) + Num(a_) * Num(a_) * Num(b1_);
    // k (k + 2 - a) decreases up to k = (a - 2) / 2: there Y is monotone in k.
    klim_ = std::min(kcap_, FloorDiv(a_ - 2, 2));
    Build();
  }

  bool Row(int64_t j, PathRow* row) const override {
    if (j < 0 || j > last_row_) return false;
    if (j < first_walked_row_) return SteepRow(j, row);
    if (j < first_walked_row_ + static_cast<int64_t>(walked_.size())) {
      *row = walked_[static_cast<size_t>(j - first_walked_row_)];
      return true;
    }
    if (j <= last_shallow_row_) return ShallowRow(j, row);
    const int64_t t = j - last_shallow_row_ - 1;
    if (t < static_cast<int64_t>(tail_.size())) {
      *row = tail_[static_cast<size_t>(t)];
      return true;
    }
    return false;
  }

  int64_t LastRow() const override { return last_row_; }

 private:
  Num E(int64_t k, int64_t j) const {
    return A_ * Num(k) * Num(k + 2 - a_) + B_ * Num(j) * Num(j + p_) + E0_;
  }
  bool X(int64_t k, int64_t j) const { return E(k, j) + E(k - 1, j) >= Num(0); }
  bool Y(int64_t k, int64_t j) const { return E(k, j) + E(k, j - 1) <= Num(0); }

  static long double Ld(Num v) { return static_cast<long double>(v); }

  // First row of column k in which the column test succeeds. X grows with j,
  // so this is the ceiling of the positive root of a quadratic in j.
  int64_t ColumnEnd(int64_t k) const {
    if (X(k, 0)) return 0;
    if (B_ == Num(0)) return kNever;
    const long double c = Ld(A_ * (Num(k) * Num(k + 2 - a_) + Num(k - 1) * Num(k + 1 - a_)) +
                             Num(2) * E0_);
    const long double half_p = p_ / 2.0L;
    const long double disc = half_p * half_p - c / (2.0L * Ld(B_));
    int64_t j = disc > 0 ? ToIndex(std::ceil(-half_p + std::sqrt(disc))) : 0;
    j = std::max<int64_t>(j, 1);
    for (int i = 0; i < 64 && j > 1 && X(k, j - 1); ++i) --j;
    for (int i = 0; i < 64 && !X(k, j); ++i) ++j;
    return j;
  }

  // First column in [from, kcap] of row j in which the row test succeeds, or
  // kNever.
  int64_t RowEnd(int64_t j, int64_t from) const {
    if (from <= klim_) {
      const int64_t k = RegularRowEnd(j);
      if (k != kNever) return std::max(k, from);
    }
    for (int64_t k = std::max(from, klim_ + 1); k <= kcap_; ++k) {
      if (Y(k, j)) return k;
    }
    return kNever;
  }

  // First column in [0, klim] of row j in which the row test succeeds, or
  // kNever. Y is monotone there: once true it stays true.
  int64_t RegularRowEnd(int64_t j) const {
    if (klim_ < 0) return kNever;
    if (Y(0, j)) return 0;
    if (A_ == Num(0) || !Y(klim_, j)) return kNever;
    const long double half_a = (a_ - 2) / 2.0L;
    const long double d = Ld(B_ * (Num(j) * Num(j + p_) + Num(j - 1) * Num(j - 1 + p_)) +
                             Num(2) * E0_);
    const long double disc = half_a * half_a - d / (2.0L * Ld(A_));
    int64_t k = disc > 0 ? ToIndex(std::ceil(half_a - std::sqrt(disc))) : klim_;
    k = std::min(std::max<int64_t>(k, 1), klim_);
    for (int i = 0; i < 64 && k > 1 && Y(k - 1, j); ++i) --k;
    for (int i = 0; i < 64 && k < klim_ && !Y(k, j); ++i) ++k;
    return k;
  }

  // The continuous root of the column test in column k (rows), or a negative
  // value when the test holds on every row.
  long double ColumnRoot(int64_t k) const {
    const long double c = Ld(A_ * (Num(k) * Num(k + 2 - a_) + Num(k - 1) * Num(k + 1 - a_)) +
                             Num(2) * E0_);
    const long double half_p = p_ / 2.0L;
    const long double disc = half_p * half_p - c / (2.0L * Ld(B_));
    return disc < 0 ? -1.0L : -half_p + std::sqrt(disc);
  }

  // The continuous root of the row test in row j (columns), or a negative
  // value when no column of the regular stretch passes it.
  long double RowRoot(int64_t j) const {
    const long double half_a = (a_ - 2) / 2.0L;
    const long double d = Ld(B_ * (Num(j) * Num(j + p_) + Num(j - 1) * Num(j - 1 + p_)) +
                             Num(2) * E0_);
    const long double disc = half_a * half_a - d / (2.0L * Ld(A_));
    return disc < 0 ? -1.0L : half_a - std::sqrt(disc);
  }

  // Column k ends where its test first succeeds, whatever row it started on,
  // as long as every column before it advanced the root by a row or more.
  bool SteepColumn(int64_t k) const {
    if (B_ == Num(0)) return false;
    const long double r0 = ColumnRoot(k - 1), r1 = ColumnRoot(k);
    return r0 >= 0 && r1 >= 0 && r1 - r0 >= 1.0L + kRootMargin;
  }

  bool SteepRow(int64_t j, PathRow* row) const {
    // The first column whose run reaches row j.
    int64_t lo = 0, hi = steep_columns_;
    while (lo < hi) {
      const int64_t mid = lo + (hi - lo) / 2;
      if (ColumnEnd(mid) >= j) {
        hi = mid;
      } else {
        lo = mid + 1;
      }
    }
    row->ks = lo;
    row->ke = (ColumnEnd(lo) == j && !Y(lo, j)) ? lo + 1 : lo;
    row->down = true;
    return true;
  }

  bool ShallowRow(int64_t j, PathRow* row) const {
    int64_t prev_end;
    if (j == first_shallow_row_) {
      prev_end = walked_.back().ke;
    } else {
      prev_end = RegularRowEnd(j - 1);
    }
    row->ks = prev_end + (X(prev_end, j - 1) ? 1 : 0);
    row->ke = std::max(row->ks, RegularRowEnd(j));
    row->down = true;
    return true;
  }

  // Walks the path from state (k, j), the first state of row j, appending
  // complete rows to `rows`, until the path ends or `stop` accepts a
  // finished row. Returns whether `stop` ended the walk.
  template <typename Stop>
  bool Walk(int64_t k, int64_t j, std::vector<PathRow>* rows, Stop stop) {
    PathRow current{k, k, false};
    for (int i = 0; i < kMaxWalkIterations; ++i) {
      const bool x = X(k, j), y = Y(k, j);
      if (!x && !y) break;  // the error tests disagree: the path ends here
      if (y) {
        current.ke = k;
        current.down = true;
        rows->push_back(current);
        if (stop(j, k)) return true;
        k += x ? 1 : 0;
        ++j;
        current = PathRow{k, k, false};
        if (k > kcap_) break;  // entered the next row past the last column
        continue;
      }
      // A column step without a row step: the row runs on to the first
      // column whose row test succeeds.
      const int64_t end = RowEnd(j, k + 1);
      if (end == kNever) {
        k = kcap_;
        break;
      }
      k = end;
    }
    current.ke = std::min(k, kcap_);
    current.down = false;
    rows->push_back(current);
    return false;
  }

  void Build() {
    // The steep stretch: columns [0, steep_columns_) end at their column test.
    int64_t lo = 0, hi = kcap_;
    if (hi >= 1 && SteepColumn(1)) {
      lo = 1;
      while (lo < hi) {
        const int64_t mid = lo + (hi - lo + 1) / 2;
        if (SteepColumn(mid)) {
          lo = mid;
        } else {
          hi = mid - 1;
        }
      }
    }
    const int64_t k0 = lo;  // last steep column: its end state is on the path
    steep_columns_ = k0;
    first_walked_row_ = ColumnEnd(k0);
    if (first_walked_row_ == kNever) first_walked_row_ = 0;  // degenerate: no rows

    // Walk until a row ends at its row test with the row roots advancing by a
    // column or more from there on: every later row then ends at its test.
    const bool reached = Walk(k0, first_walked_row_, &walked_, [this](int64_t j, int64_t k) {
      if (j <= first_walked_row_ || RegularRowEnd(j) != k) return false;
      const int64_t next = RegularRowEnd(j + 1);
      if (next == kNever || next > klim_) return false;
      const long double s0 = RowRoot(j), s1 = RowRoot(j + 1);
      return s0 >= 0 && s1 - s0 >= 1.0L + kRootMargin;
    });
    last_row_ = first_walked_row_ + static_cast<int64_t>(walked_.size()) - 1;
    if (!reached) {
      last_shallow_row_ = last_row_;
      first_shallow_row_ = last_row_ + 1;
      return;
    }
    first_shallow_row_ = last_row_ + 1;
    // The shallow stretch lasts while the row test is met within the
    // regular columns; RegularRowEnd grows with j, so search for its end.
    int64_t s_lo = first_shallow_row_, s_hi = first_shallow_row_;
    for (int64_t step = 1; RegularRowEnd(s_hi) != kNever; step *= 2) {
      s_lo = s_hi;
      s_hi += step;
    }
    while (s_lo + 1 < s_hi) {  // RegularRowEnd(s_lo) exists, (s_hi) does not
      const int64_t mid = s_lo + (s_hi - s_lo) / 2;
      if (RegularRowEnd(mid) != kNever) {
        s_lo = mid;
      } else {
        s_hi = mid;
      }
    }
    if (RegularRowEnd(first_shallow_row_) == kNever) s_lo = first_shallow_row_ - 1;
    last_shallow_row_ = s_lo;
    // The last few rows, past the regular columns, are walked.
    PathRow last;
    if (last_shallow_row_ >= first_shallow_row_) {
      ShallowRow(last_shallow_row_, &last);
    } else {
      last = walked_.back();
    }
    const int64_t k = last.ke + (X(last.ke, last_shallow_row_) ? 1 : 0);
    last_row_ = last_shallow_row_;
    if (k > kcap_) {
      tail_.push_back(PathRow{k, k, false});
    } else {
      Walk(k, last_shallow_row_ + 1, &tail_, [](int64_t, int64_t) { return false; });
    }
    last_row_ += static_cast<int64_t>(tail_.size());
  }

  static int64_t ToIndex(long double v) {
    if (!(v > -4e18L)) return -4000000000000000000LL;
    if (v > 4e18L) return 4000000000000000000LL;
    return static_cast<int64_t>(v);
  }

  static constexpr int64_t kNever = INT64_MAX;

  int64_t a_, b_, b1_, p_, kcap_;
  int64_t klim_ = 0;
  Num A_{}, B_{}, E0_{};
  int64_t steep_columns_ = 0;
  int64_t first_walked_row_ = 0;
  std::vector<PathRow> walked_;
  int64_t first_shallow_row_ = 0;
  int64_t last_shallow_row_ = -1;
  std::vector<PathRow> tail_;
  int64_t last_row_ = 0;
};

// The path walked step by step, as the platform does, and kept per row.
class WalkedEngine final : public QuadrantPath::Engine {
 public:
  WalkedEngine(int64_t w, int64_t h, int64_t kcap) {
    const Int128 a = w - 1, b = h - 1;
    const Int128 asq = 8 * a * a, bsq = 8 * b * b;
    Int128 dx = 4 * b * b * (1 - a), dy = 4 * a * a * (1 + b % 2);
    Int128 err = dx + dy + a * a * (b % 2);
    int64_t k = 0;
    rows_.push_back(PathRow{0, 0, false});
    // Each step advances a column or a row: the bound only guards the loop.
    for (int64_t step = 0; k <= kcap && step <= w + h + 4; ++step) {
      const Int128 e2 = 2 * err;
      rows_.back().ke = k;
      const bool x = e2 >= dx, y = e2 <= dy;
      if (!x && !y) break;  // the error tests disagree: the path ends here
      if (x) {
        ++k;
        dx += bsq;
        err += dx;
      }
      if (y) {
        rows_.back().down = true;
        dy += asq;
        err += dy;
        rows_.push_back(PathRow{k, k, false});
      }
    }
  }

  bool Row(int64_t j, PathRow* row) const override {
    if (j < 0 || j >= static_cast<int64_t>(rows_.size())) return false;
    *row = rows_[static_cast<size_t>(j)];
    return true;
  }
  int64_t LastRow() const override { return static_cast<int64_t>(rows_.size()) - 1; }

 private:
  std::vector<PathRow> rows_;
};

}  // namespace

QuadrantPath::QuadrantPath(int64_t w, int64_t h, int64_t kcap, int64_t walk_limit) : kcap_(kcap) {
  // The walk takes at most one step per column and row of the quadrant.
  if (w / 2 + h / 2 + 2 <= walk_limit) {
    engine_ = std::make_unique<WalkedEngine>(w, h, kcap);
  } else if (w <= kExactLimit && h <= kExactLimit) {
    engine_ = std::make_unique<PathEngine<Int128>>(w, h, kcap);
  } else {
    engine_ = std::make_unique<PathEngine<long double>>(w, h, kcap);
  }
  last_row_ = engine_->LastRow();
}

QuadrantPath::~QuadrantPath() = default;

bool QuadrantPath::Row(int64_t j, PathRow* row) const { return engine_->Row(j, row); }

EllipseRegion::EllipseRegion(int64_t left, int64_t top, int64_t right, int64_t bottom,
                             int64_t walk_limit)
    : left_(left), top_(top), right_(right), bottom_(bottom) {
  ew_ = right - left;
  eh_ = bottom - top;
  if (ew_ >= 2 && eh_ >= 2) path_ = std::make_unique<QuadrantPath>(ew_, eh_, ew_ / 2, walk_limit);
}

EllipseRegion::~EllipseRegion() = default;

bool EllipseRegion::Row(int64_t y, int64_t* x0, int64_t* x1) const {
  if (y < top_ || y >= bottom_ || left_ >= right_) return false;
  if (!path_) {
    *x0 = left_;
    *x1 = right_;
    return true;
  }
  // The lower half is built from the middle row down; the upper half mirrors
  // it, row for row.
  const int64_t i = y - top_;
  const int64_t index = i < eh_ / 2 ? eh_ - 1 - i : i;
  const int64_t j = index - eh_ / 2;
  int64_t inset = 0;
  if (j > 0) {
    PathRow row;
    // Rows the outline never reaches stay empty.
    if (!path_->Row(j, &row)) return false;
    inset = row.ks;
  }
  *x0 = left_ + inset;
  *x1 = right_ - inset;
  return *x0 < *x1;
}

}  // namespace raster
}  // namespace plotvane
