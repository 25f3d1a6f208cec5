// Ellipses and pie wedges.
//
// One quadrant path (quadrant_path.h) gives the four quarters of the outline
// by mirroring. In box coordinates, with a = w - 1, hu = h - 1 - h / 2 and
// hd = h / 2, the state (k, j) of the path is the point
//   quarter 0 (upper right): (a - k, hu - j)     chain follows the path
//   quarter 1 (upper left):  (k,     hu - j)     chain runs the path backwards
//   quarter 2 (lower left):  (k,     hd + j)     chain follows the path
//   quarter 3 (lower right): (a - k, hd + j)     chain runs the path backwards
// The chain visits quarter 0 to 3 in turn, counter-clockwise on the screen.
// A position on it is a cycle number c (quarter c mod 4; a wedge that passes
// its start again counts on into cycles 4 to 7) and a state.
//
// A wedge's radials are located as on the platform: the first chain point of
// the radial's quarter whose direction from the centre is at or beyond the
// radial's (comparisons exact in 128 bits). The wedge is the chain from the
// first radial's point up to, not including, the second's, closed through
// the centre.
//
// A 1-pixel pen draws the outline as the platform draws a closed polyline
// through the chain's points (and a wedge's centre) with repeated points
// dropped: each point once, in chain order, a later one painting over an
// earlier one on the same pixel (which only boxes one or two pixels across
// make happen, or a dashed outline that closes on its first point). So an
// outline whose points are all one pixel draws nothing, and a wedge whose
// radials meet before the chain's first point has no arc and draws nothing
// with any pen.
//
// Everything is evaluated per row of the bitmap: a row of a quarter is one
// row of the path, and only rows inside the bitmap (widened by the pen) that
// the chain reaches are looked at, each in the quarters the chain passes
// through there, so a wedge costs the rows it covers, not the whole ellipse.
// The wedges of one pie share their box, and with it the path.
#include <algorithm>
#include <memory>
#include <vector>

#include "canvas/quadrant_path.h"
#include "canvas/raster.h"

namespace plotvane {
namespace raster {

namespace {

// Dashed outlines number their points along the chain, which takes a walk of
// the whole path; beyond this many steps the numbering is estimated instead
// (it moves only the phase of the pattern).
constexpr int64_t kCountedSteps = int64_t{1} << 21;

// A wide pen does at most about this many span operations on a round outline
// before it falls back to following the outline every few rows.
constexpr uint64_t kWideWork = uint64_t{1} << 23;

struct State {
  int64_t j = 0;
  int64_t k = 0;
  friend bool operator<(const State& a, const State& b) {
    return a.j != b.j ? a.j < b.j : a.k < b.k;
  }
  friend bool operator==(const State& a, const State& b) { return a.j == b.j && a.k == b.k; }
  friend bool operator<=(const State& a, const State& b) { return !(b < a); }
};

struct Position {
  int64_t cycle = 0;
  State state;
};

// States [first, last] in path order, on the chain in cycle `cycle`.
struct Range {
  State first;
  State last;
  int64_t cycle;
};

}  // namespace

struct RoundChain::Impl {
  Impl(const Box& b, std::shared_ptr<const QuadrantPath> shared, int64_t limit)
      : box(b), a(b.Width() - 1), hu(b.Height() - 1 - b.Height() / 2), hd(b.Height() / 2),
        path_owner(std::move(shared)), path(*path_owner), walk_limit(limit) {
    FindEnds();
  }

  // ---- The path -------------------------------------------------------------

  void FindEnds() {
    PathRow row;
    last_row = path.LastRow();
    while (last_row > 0 && !(path.Row(last_row, &row) && row.HasStates(path.kcap()))) --last_row;
    path.Row(last_row, &row);
    path_last = State{last_row, std::min(row.ke, path.kcap())};
  }

  // The states of row j: false when it has none.
  bool RowStates(int64_t j, int64_t* k0, int64_t* k1) const {
    if (j < 0 || j > last_row) return false;
    PathRow row;
    if (!path.Row(j, &row) || !row.HasStates(path.kcap())) return false;
    *k0 = row.ks;
    *k1 = std::min(row.ke, path.kcap());
    return true;
  }

  State PathPred(State s) const {
    int64_t k0 = 0, k1 = 0;
    if (RowStates(s.j, &k0, &k1) && s.k > k0) return {s.j, s.k - 1};
    if (s.j > 0 && RowStates(s.j - 1, &k0, &k1)) return {s.j - 1, k1};
    return s;
  }
  State PathSucc(State s) const {
    int64_t k0 = 0, k1 = 0;
    if (RowStates(s.j, &k0, &k1) && s.k < k1) return {s.j, s.k + 1};
    if (RowStates(s.j + 1, &k0, &k1)) return {s.j + 1, k0};
    return s;
  }

  // ---- Quarters ---------------------------------------------------------------

  static bool Forward(int64_t cycle) { return cycle % 2 == 0; }
  State LocalFirst(int64_t cycle) const { return Forward(cycle) ? State{0, 0} : path_last; }
  State LocalLast(int64_t cycle) const { return Forward(cycle) ? path_last : State{0, 0}; }
  State LocalPred(int64_t cycle, State s) const {
    return Forward(cycle) ? PathPred(s) : PathSucc(s);
  }
  bool Before(const Position& p, const Position& q) const {
    if (p.cycle != q.cycle) return p.cycle < q.cycle;
    return Forward(p.cycle) ? p.state < q.state : q.state < p.state;
  }

  Point Map(int64_t quarter, State s) const {
    switch (quarter & 3) {
      case 0:
        return {box.left + a - s.k, box.top + hu - s.j};
      case 1:
        return {box.left + s.k, box.top + hu - s.j};
      case 2:
        return {box.left + s.k, box.top + hd + s.j};
      default:
        return {box.left + a - s.k, box.top + hd + s.j};
    }
  }
  // The path row that quarter q has on bitmap row y (may be negative).
  int64_t PathRowAt(int quarter, int64_t y) const {
    return quarter < 2 ? box.top + hu - y : y - box.top - hd;
  }
  // The bitmap columns of states [k0, k1] in quarter q.
  void Columns(int quarter, int64_t k0, int64_t k1, int64_t* x0, int64_t* x1) const {
    if (quarter == 0 || quarter == 3) {
      *x0 = box.left + a - k1;
      *x1 = box.left + a - k0;
    } else {
      *x0 = box.left + k0;
      *x1 = box.left + k1;
    }
  }

  // ---- Radials ------------------------------------------------------------------

  // The first state (path order) whose direction, as (a - k - w/2, j) from
  // the centre, satisfies  px * u <= py * v  (or < when `strict`); false when
  // none does.
  bool FirstAtOrBeyond(Int128 u, Int128 v, bool strict, State* out) const {
    const int64_t x_base = a - box.Width() / 2;  // px = x_base - k
    auto holds = [&](int64_t k, int64_t j) {
      const Int128 lhs = Int128(x_base - k) * u, rhs = Int128(j) * v;
      return strict ? lhs < rhs : lhs <= rhs;
    };
    auto row_holds = [&](int64_t j) {
      int64_t k0 = 0, k1 = 0;
      return RowStates(j, &k0, &k1) && holds(k1, j);
    };
    if (!row_holds(last_row)) return false;
    int64_t lo = 0, hi = last_row;
    while (lo < hi) {
      const int64_t mid = lo + (hi - lo) / 2;
      if (row_holds(mid)) {
        hi = mid;
      } else {
        lo = mid + 1;
      }
    }
    int64_t k0 = 0, k1 = 0;
    RowStates(lo, &k0, &k1);
    // holds() turns true as k grows: px falls while py stays.
    int64_t k = k1;
    if (u != 0) {
      const Int128 rhs = Int128(lo) * v;
      const int64_t px_max = strict ? CeilDiv(rhs, u) - 1 : FloorDiv(rhs, u);
      k = std::max(k0, x_base - px_max);
    } else {
      k = k0;
    }
    *out = State{lo, std::min(k, k1)};
    return true;
  }

  // The chain position of the radial through (tx, ty), relative to the centre
  // with y pointing up.
  Position Locate(int64_t tx, int64_t ty) const {
    State s;
    const Int128 u = ty >= 0 ? Int128(ty) : -Int128(ty);
    const Int128 v = tx >= 0 ? Int128(tx) : -Int128(tx);
    if (ty >= 0 && tx >= 0) {
      if (FirstAtOrBeyond(u, v, false, &s)) return {0, s};
      return {1, LocalFirst(1)};
    }
    if (ty >= 0) {  // quarter 1: the position just before the first such state
      if (!FirstAtOrBeyond(u, v, true, &s)) return {1, LocalFirst(1)};
      if (s == State{0, 0}) return {2, LocalFirst(2)};
      return {1, PathPred(s)};
    }
    if (tx < 0) {
      if (FirstAtOrBeyond(u, v, true, &s)) return {2, s};
      return {3, LocalFirst(3)};
    }
    if (!FirstAtOrBeyond(u, v, false, &s)) return {3, LocalFirst(3)};
    if (s == State{0, 0}) return {4, LocalFirst(4)};
    return {3, PathPred(s)};
  }

  void SetArc(Point start, Point end) {
    const int64_t cx = box.left + box.Width() / 2, cy = box.top + box.Height() / 2;
    centre = Point{cx, cy};
    begin = Locate(start.x - cx, cy - start.y);
    finish = Locate(end.x - cx, cy - end.y);
    if (!Before(begin, finish)) finish.cycle += 4;
    wedge = true;
    BuildRanges();
  }

  void SetWhole() {
    begin = Position{0, LocalFirst(0)};
    finish = Position{4, LocalFirst(4)};
    BuildRanges();
  }

  void BuildRanges() {
    for (auto& r : ranges) r.clear();
    for (auto& rows : quarter_rows) rows = RowSpan{};
    for (int64_t c = begin.cycle; c <= finish.cycle; ++c) {
      const State first = c == begin.cycle ? begin.state : LocalFirst(c);
      State last;
      if (c == finish.cycle) {
        if (finish.state == LocalFirst(c)) continue;
        last = LocalPred(c, finish.state);
      } else {
        last = LocalLast(c);
      }
      ranges[c & 3].push_back(Forward(c) ? Range{first, last, c} : Range{last, first, c});
      const Range& r = ranges[c & 3].back();
      const int q = static_cast<int>(c & 3);
      // Path rows grow upwards in the upper quarters, downwards in the lower.
      const int64_t ya = q < 2 ? box.top + hu - r.last.j : box.top + hd + r.first.j;
      const int64_t yb = q < 2 ? box.top + hu - r.first.j : box.top + hd + r.last.j;
      quarter_rows[q].Add(ya, yb + 1);
    }
    arc_rows = RowSpan{};
    for (const RowSpan& rows : quarter_rows) arc_rows.Add(rows.y0, rows.y1);
    chain_rows = arc_rows;
    if (wedge) chain_rows.Add(centre.y, centre.y + 1);
    junctions.clear();
    for (int64_t c = 0; c < 8; ++c) {
      if (JunctionInChain(c)) junctions.push_back({c, Map(c, LocalLast(c)), Map(c + 1, LocalFirst(c + 1))});
    }
    first_point = Map(begin.cycle, begin.state);
    if (finish.state == LocalFirst(finish.cycle)) {
      last_point = Map(finish.cycle - 1, LocalLast(finish.cycle - 1));
    } else {
      last_point = Map(finish.cycle, LocalPred(finish.cycle, finish.state));
    }
  }

  // States [*k0, *k1] of row j that quarter q's part of the chain holds in
  // range r; false when none.
  static bool Clip(const Range& r, int64_t j, int64_t* k0, int64_t* k1) {
    if (j < r.first.j || j > r.last.j) return false;
    if (j == r.first.j) *k0 = std::max(*k0, r.first.k);
    if (j == r.last.j) *k1 = std::min(*k1, r.last.k);
    return *k0 <= *k1;
  }
  bool InChain(int quarter, State s, int* which) const {
    for (size_t i = 0; i < ranges[quarter].size(); ++i) {
      const Range& r = ranges[quarter][i];
      if (r.first <= s && s <= r.last) {
        *which = static_cast<int>(i);
        return true;
      }
    }
    return false;
  }

  // Whether the step from cycle c's last point to cycle c + 1's first lies on
  // the chain.
  bool JunctionInChain(int64_t c) const {
    if (begin.cycle > c) return false;
    const Position after{c + 1, LocalFirst(c + 1)};
    return Before(after, finish);
  }

  // Whether the chain holds no point: a wedge whose second radial falls on
  // the first's position one turn early.
  bool Empty() const {
    for (const auto& r : ranges) {
      if (!r.empty()) return false;
    }
    return true;
  }
  // Whether every point of the chain, and the centre of a wedge, is one
  // pixel. States of one quarter map to distinct pixels.
  bool OnePixel() const {
    for (int q = 0; q < 4; ++q) {
      for (const Range& r : ranges[q]) {
        if (!(r.first == r.last) || Map(q, r.first) != first_point) return false;
      }
    }
    return !wedge || first_point == centre;
  }

  // Visits the chain's stretches on bitmap row y, quarter by quarter: for
  // each range of a quarter that holds states of the row,
  // run(q, j, range, c0, c1), with j the quarter's path row there and
  // [c0, c1] the states the range holds; then, after a quarter's stretches,
  // quarter_done(q, j, k1), with k1 the last state of that path row.
  template <class Run, class QuarterDone>
  void VisitRow(int64_t y, Run run, QuarterDone quarter_done) const {
    for (int q = 0; q < 4; ++q) {
      if (!quarter_rows[q].Holds(y)) continue;
      const int64_t j = PathRowAt(q, y);
      int64_t k0 = 0, k1 = 0;
      if (!RowStates(j, &k0, &k1)) continue;
      for (const Range& r : ranges[q]) {
        int64_t c0 = k0, c1 = k1;
        if (Clip(r, j, &c0, &c1)) run(q, j, r, c0, c1);
      }
      quarter_done(q, j, k1);
    }
  }
  template <class Run>
  void VisitRow(int64_t y, Run run) const {
    VisitRow(y, run, [](int, int64_t, int64_t) {});
  }

  // ---- Drawing -------------------------------------------------------------------

  void ThinSolid(Surface& surface) const;
  void ThinDashed(Surface& surface, Dash* dash) const;
  void Wide(Surface& surface, int64_t width) const;
  void WideSampled(Surface& surface, int64_t width) const;
  // The wide pen's steps between quarters and, for a wedge, its radials
  // with a tip at the centre.
  void WideJoins(Surface& surface, const RoundTip& tip, int64_t width) const;
  void Fill(Surface& surface) const;

  // Bitmap rows [y0, y1); empty when y0 >= y1.
  struct RowSpan {
    int64_t y0 = 0;
    int64_t y1 = 0;
    void Add(int64_t from, int64_t to) {
      if (from >= to) return;
      if (y0 >= y1) {
        y0 = from;
        y1 = to;
      } else {
        y0 = std::min(y0, from);
        y1 = std::max(y1, to);
      }
    }
    bool Holds(int64_t y) const { return y >= y0 && y < y1; }
  };
  // The step from cycle c's last point (p) to cycle c + 1's first (q).
  struct Junction {
    int64_t cycle;
    Point p, q;
  };

  // The rows of [*y0, *y1) that the chain reaches (the centre included).
  void ClipToChain(int64_t* y0, int64_t* y1) const {
    *y0 = std::max(*y0, chain_rows.y0);
    *y1 = std::min(*y1, chain_rows.y1);
  }

  Box box;
  int64_t a, hu, hd;
  std::shared_ptr<const QuadrantPath> path_owner;
  const QuadrantPath& path;
  int64_t walk_limit;
  int64_t last_row = 0;  // last path row with states
  State path_last;
  bool wedge = false;
  Point centre;
  Position begin, finish;
  std::vector<Range> ranges[4];
  RowSpan quarter_rows[4];  // the bitmap rows each quarter's part of the chain covers
  RowSpan arc_rows;         // their union
  RowSpan chain_rows;       // that, with the centre of a wedge
  std::vector<Junction> junctions;  // the steps between quarters on the chain
  Point first_point, last_point;
};

namespace {

// Visible bitmap rows of the box, widened by `margin`.
void VisibleRows(const Box& box, const Surface& surface, int64_t margin, int64_t* y0,
                 int64_t* y1) {
  *y0 = std::max(box.top - margin, -margin);
  *y1 = std::min(box.bottom + margin, surface.Height() + margin);
}

}  // namespace

void RoundChain::Impl::ThinSolid(Surface& surface) const {
  int64_t y0, y1;
  VisibleRows(box, surface, 0, &y0, &y1);
  y0 = std::max<int64_t>(y0, 0);
  // Only the rows of the outline's own quarters: a thin wedge's radials
  // reach rows its arc does not.
  y0 = std::max(y0, arc_rows.y0);
  y1 = std::min(y1, arc_rows.y1);
  for (int64_t y = y0; y < y1; ++y) {
    VisitRow(y, [&](int q, int64_t, const Range&, int64_t c0, int64_t c1) {
      int64_t x0 = 0, x1 = 0;
      Columns(q, c0, c1, &x0, &x1);
      surface.Span(y, x0, x1 + 1);
    });
  }
  if (wedge) {
    ThinLine(surface, last_point, centre, nullptr);
    ThinLine(surface, centre, first_point, nullptr);
  }
}

void RoundChain::Impl::ThinDashed(Surface& surface, Dash* dash) const {
  // Path indices: the number of states before each row, counted on a walk
  // of the path (or estimated from k + j for paths too long to walk).
  const int64_t steps = box.Width() / 2 + box.Height() / 2 + 2;
  const bool counted = steps <= kCountedSteps;
  std::unique_ptr<QuadrantPath> walked;
  if (counted && steps > walk_limit) {
    walked = std::make_unique<QuadrantPath>(box.Width(), box.Height(), path.kcap(), steps);
  }
  const QuadrantPath& source = walked ? *walked : path;
  auto states = [&](int64_t j, int64_t* k0, int64_t* k1) {
    PathRow row;
    if (!source.Row(j, &row) || !row.HasStates(source.kcap())) return false;
    *k0 = row.ks;
    *k1 = std::min(row.ke, source.kcap());
    return true;
  };
  std::vector<int64_t> before;
  if (counted) {
    before.resize(static_cast<size_t>(last_row) + 2, 0);
    for (int64_t j = 0; j <= last_row; ++j) {
      int64_t k0 = 0, k1 = -1;
      states(j, &k0, &k1);
      before[static_cast<size_t>(j) + 1] = before[static_cast<size_t>(j)] + (k1 - k0 + 1);
    }
  }
  auto index = [&](State s) {
    if (!counted) return s.k + s.j;
    int64_t k0 = 0, k1 = 0;
    states(s.j, &k0, &k1);
    return before[static_cast<size_t>(s.j)] + (s.k - k0);
  };
  const int64_t n = index(path_last) + 1;
  // Where two quarters meet on one pixel (odd width or height) the step
  // between them has no length and moves the pattern by nothing.
  const bool odd_w = box.Width() % 2 == 1, odd_h = box.Height() % 2 == 1;
  auto repeated = [&](int64_t c) {  // the step from cycle c to c + 1
    return (c % 2 == 0) ? odd_w : odd_h;
  };
  auto numeric = [&](const Position& p) {
    const int64_t i = index(p.state);
    return p.cycle * n + (Forward(p.cycle) ? i : n - 1 - i);
  };
  const int64_t start = numeric(begin);
  // Pattern offset of chain position `pos`.
  auto offset = [&](int64_t pos) {
    int64_t skipped = 0;
    for (int64_t c = begin.cycle; c < finish.cycle; ++c) {
      const int64_t junction = (c + 1) * n;
      if (junction > start && junction <= pos && repeated(c)) ++skipped;
    }
    return pos - start - skipped;
  };
  // An outline that closes on its first point (a whole ellipse of odd
  // height, or a wedge whose chain ends where it began, on the centre) does
  // not paint that point again: it keeps the start of the pattern.
  const int64_t last = numeric(finish) - 1;
  const int64_t last_offset = offset(last);
  const bool closes_on_first = last_point == first_point && (!wedge || centre == first_point);
  // The stretches of a row are painted in chain order, so that where the
  // chain passes a pixel twice the later point's part of the pattern shows.
  // The chain spans at most five cycles, a range each.
  struct Stretch {
    int64_t cycle;
    int q;
    int64_t j, c0, c1;
  };
  Stretch stretches[8];
  int64_t y0, y1;
  VisibleRows(box, surface, 0, &y0, &y1);
  y0 = std::max<int64_t>(y0, 0);
  ClipToChain(&y0, &y1);
  for (int64_t y = y0; y < y1; ++y) {
    int count = 0;
    VisitRow(y, [&](int q, int64_t j, const Range& r, int64_t c0, int64_t c1) {
      // Only the columns inside the bitmap.
      if (q == 0 || q == 3) {
        c0 = std::max(c0, box.left + a - (surface.Width() - 1));
        c1 = std::min(c1, box.left + a);
      } else {
        c0 = std::max(c0, -box.left);
        c1 = std::min(c1, surface.Width() - 1 - box.left);
      }
      if (c0 > c1 || count == 8) return;
      int slot = count++;
      for (; slot > 0 && stretches[slot - 1].cycle > r.cycle; --slot) {
        stretches[slot] = stretches[slot - 1];
      }
      stretches[slot] = Stretch{r.cycle, q, j, c0, c1};
    });
    for (const Stretch* s = stretches; s != stretches + count; ++s) {
      for (int64_t k = s->c0; k <= s->c1; ++k) {
        const int64_t i = index(State{s->j, k});
        const int64_t pos = s->cycle * n + (Forward(s->cycle) ? i : n - 1 - i);
        // (The last point and a repeat of it just before share its offset.)
        const int64_t at = offset(pos);
        if (closes_on_first && at == last_offset) continue;
        Surface* target = dash->On(at) ? &surface : dash->Gaps();
        if (target == nullptr) continue;
        const Point p = Map(s->q, State{s->j, k});
        target->Plot(p.x, p.y);
      }
    }
  }
  if (wedge) {
    // The first radial starts on the last chain point, with its offset.
    dash->Skip(last_offset);
    ThinLine(surface, last_point, centre, dash);
    ThinLine(surface, centre, first_point, dash);
  }
}

void RoundChain::Impl::Wide(Surface& surface, int64_t width) const {
  const RoundTip tip(width, surface.WalkLimit());
  const int64_t margin = width / 2 + 2;
  int64_t y0, y1;
  VisibleRows(box, surface, margin, &y0, &y1);
  // Estimated work: rows x tip rows; beyond the budget the outline is
  // followed every few rows instead (only for pens and shapes far larger
  // than the bitmap).
  const int64_t tip_rows = std::min(width, surface.Height() + 2);
  if (static_cast<uint64_t>(std::max<int64_t>(y1 - y0, 0)) * static_cast<uint64_t>(tip_rows) * 8 >
      kWideWork) {
    WideSampled(surface, width);
    return;
  }
  // Each row paints what the chain holds on it (tips and bands reach the
  // rows around), so rows the chain does not reach paint nothing.
  ClipToChain(&y0, &y1);
  // The step from a row to the next path row, when both ends are on the
  // same stretch of the chain.
  auto step = [&](int q, int64_t j, int64_t k1) {
    int64_t n0 = 0, n1 = 0;
    if (!RowStates(j + 1, &n0, &n1)) return;
    const State from{j, k1}, to{j + 1, n0};
    int which_from, which_to;
    if (!InChain(q, from, &which_from) || !InChain(q, to, &which_to) || which_from != which_to) {
      return;
    }
    const Point p = Map(q, from), p2 = Map(q, to);
    if (Forward(q)) {
      WideSegment(surface, p, p2, width);
    } else {
      WideSegment(surface, p2, p, width);
    }
  };
  for (int64_t y = y0; y < y1 && !surface.Full(); ++y) {
    auto run = [&](int q, int64_t, const Range&, int64_t c0, int64_t c1) {
      int64_t x0 = 0, x1 = 0;
      Columns(q, c0, c1, &x0, &x1);
      tip.PaintRun(surface, y, x0, x1);
      if (x1 > x0) surface.Box(x0, y - width / 2, x1, y - width / 2 + width);
    };
    VisitRow(y, run, step);
  }
  WideJoins(surface, tip, width);
}

void RoundChain::Impl::WideSampled(Surface& surface, int64_t width) const {
  // Chain points every `step` rows of each quarter, joined by bands with a
  // tip at each: the same band along the outline, only its edge follows
  // chords of the outline instead of every pixel step.
  const RoundTip tip(width, surface.WalkLimit());
  const int64_t rows = last_row + 1;
  const int64_t step = std::max<int64_t>(1, rows / 2048);
  for (int q = 0; q < 4; ++q) {
    for (const Range& r : ranges[q]) {
      std::vector<Point> points;
      for (int64_t j = r.first.j;; j = std::min(j + step, r.last.j)) {
        int64_t k0 = 0, k1 = 0;
        if (RowStates(j, &k0, &k1) && Clip(r, j, &k0, &k1)) {
          points.push_back(Map(q, State{j, k0}));
          if (k1 != k0) points.push_back(Map(q, State{j, k1}));
        }
        if (j >= r.last.j) break;
      }
      for (size_t i = 0; i + 1 < points.size(); ++i) {
        if (Forward(q)) {
          WideSegment(surface, points[i], points[i + 1], width);
        } else {
          WideSegment(surface, points[i + 1], points[i], width);
        }
      }
      for (const Point& p : points) {
        if (surface.Full()) return;
        tip.PaintRun(surface, p.y, p.x, p.x);
      }
    }
  }
  WideJoins(surface, tip, width);
}

void RoundChain::Impl::WideJoins(Surface& surface, const RoundTip& tip, int64_t width) const {
  for (int64_t c = 0; c < 8; ++c) {
    if (!JunctionInChain(c)) continue;
    WideSegment(surface, Map(c, LocalLast(c)), Map(c + 1, LocalFirst(c + 1)), width);
  }
  if (wedge) {
    WideSegment(surface, last_point, centre, width);
    WideSegment(surface, centre, first_point, width);
    tip.PaintRun(surface, centre.y, centre.x, centre.x);
  }
}

void RoundChain::Impl::Fill(Surface& surface) const {
  // Crossings of the chain with each bitmap row (see raster_fill.cpp for the
  // rule): every step between two path rows crosses once, at the column of
  // its upper end; the radials are ordinary edges.
  struct Crossing {
    int64_t x;
    int direction;
    bool operator<(const Crossing& o) const {
      return x != o.x ? x < o.x : direction < o.direction;
    }
  };
  // A row's crossings: one for each quarter, junction and radial, so a
  // fixed buffer holds them; sorted by insertion, as there are few.
  struct Crossings {
    std::vector<Crossing> items;
    size_t n = 0;
    void clear() { n = 0; }
    void push_back(Crossing c) {
      if (n == items.size()) items.resize(2 * n + 8);
      size_t i = n++;
      for (; i > 0 && c < items[i - 1]; --i) items[i] = items[i - 1];
      items[i] = c;
    }
    const Crossing* begin() const { return items.data(); }
    const Crossing* end() const { return items.data() + n; }
  };
  // A straight edge of the chain (a radial, or a junction that changes
  // rows): on each row it spans it crosses at p.x + ceil(dy * dx / h), dy
  // counted from its upper end. The rows are visited in order, so the
  // quotient and remainder are carried from row to row.
  struct Straight {
    Point p;  // upper end
    int64_t bottom = 0, dx = 0, h = 0;
    int direction = 0;
    bool started = false;
    int64_t f = 0, r = 0;    // floor(dy * dx / h) and its remainder
    int64_t qd = 0, rd = 0;  // floor(dx / h) and its remainder

    Straight(Point a, Point b) {
      direction = a.y < b.y ? 1 : -1;
      if (a.y > b.y) std::swap(a, b);
      p = a;
      bottom = b.y;
      dx = b.x - a.x;
      h = b.y - a.y;
    }
    void Cross(int64_t y, Crossings* xs) {
      if (y < p.y || y >= bottom) return;
      const int64_t dy = y - p.y;
      // Edges this long are computed afresh on each row in 128 bits.
      constexpr int64_t kSmall = int64_t{1} << 31;
      if (h >= kSmall || dx >= kSmall || dx <= -kSmall) {
        xs->push_back({p.x + CeilDiv(Int128(dy) * dx, h), direction});
        return;
      }
      if (!started) {
        started = true;
        f = FloorDiv(Int128(dy) * dx, h);
        r = dy * dx - f * h;
        qd = FloorDiv(dx, h);
        rd = dx - qd * h;
      } else {
        f += qd;
        r += rd;
        if (r >= h) {
          r -= h;
          ++f;
        }
      }
      xs->push_back({p.x + f + (r != 0 ? 1 : 0), direction});
    }
  };
  std::vector<Straight> straights;
  // Junctions between quarters that change rows (even heights only).
  for (const Junction& junction : junctions) {
    if (junction.cycle % 2 != 0 && junction.p.y != junction.q.y) {
      straights.emplace_back(junction.p, junction.q);
    }
  }
  if (last_point.y != centre.y) straights.emplace_back(last_point, centre);
  if (centre.y != first_point.y) straights.emplace_back(centre, first_point);
  int64_t y0, y1;
  VisibleRows(box, surface, 0, &y0, &y1);
  y0 = std::max<int64_t>(y0, 0);
  // Every crossing lies between two chain points or a chain point and the
  // centre: the rows beyond them hold none.
  ClipToChain(&y0, &y1);
  Crossings xs;
  xs.items.resize(4 + straights.size());
  for (int64_t y = y0; y < y1; ++y) {
    xs.clear();
    for (int q = 0; q < 4; ++q) {
      if (!quarter_rows[q].Holds(y)) continue;
      // The step that crosses row y joins path rows j and j + 1; its upper
      // end is the row j + 1 state in the upper quarters and the row j state
      // in the lower ones.
      const int64_t j = q < 2 ? PathRowAt(q, y) - 1 : PathRowAt(q, y);
      int64_t k0 = 0, k1 = 0, n0 = 0, n1 = 0;
      if (!RowStates(j, &k0, &k1) || !RowStates(j + 1, &n0, &n1)) continue;
      const State from{j, k1}, to{j + 1, n0};
      int wf, wt;
      if (!InChain(q, from, &wf) || !InChain(q, to, &wt) || wf != wt) continue;
      const Point upper = Map(q, q < 2 ? to : from);
      // Quarters 1 and 2 run downwards along the chain, 0 and 3 upwards.
      xs.push_back({upper.x, (q == 1 || q == 2) ? 1 : -1});
    }
    for (Straight& edge : straights) edge.Cross(y, &xs);
    int winding = 0;
    int64_t start = 0;
    for (const Crossing& c : xs) {
      if (winding == 0) start = c.x;
      winding += c.direction;
      if (winding == 0) surface.Span(y, start, c.x);
    }
  }
}

std::shared_ptr<const QuadrantPath> RoundChain::PathOf(const Box& box, int64_t walk_limit) {
  return std::make_shared<const QuadrantPath>(box.Width(), box.Height(),
                                              box.Width() - 1 - box.Width() / 2, walk_limit);
}

RoundChain::RoundChain(const Box& box, int64_t walk_limit)
    : impl_(std::make_unique<Impl>(box, PathOf(box, walk_limit), walk_limit)) {
  impl_->SetWhole();
}

RoundChain::RoundChain(const Box& box, Point start, Point end,
                       std::shared_ptr<const QuadrantPath> path, int64_t walk_limit)
    : impl_(std::make_unique<Impl>(box, std::move(path), walk_limit)) {
  impl_->SetArc(start, end);
}

RoundChain::~RoundChain() = default;

bool RoundChain::WholeTurn() const {
  const Impl& c = *impl_;
  return c.wedge && c.finish.cycle - c.begin.cycle == 4 && c.finish.state == c.begin.state;
}

Point RoundChain::FirstPoint() const { return impl_->first_point; }
Point RoundChain::LastPoint() const { return impl_->last_point; }

void RoundChain::Outline(Surface& surface, int64_t width, Dash* dash) const {
  if (surface.Empty() || impl_->Empty()) return;
  if (width > 1) {
    impl_->Wide(surface, width);
  } else if (impl_->OnePixel()) {
    // A polyline of a single point draws nothing.
  } else if (dash != nullptr && !dash->Solid()) {
    dash->Reset();
    impl_->ThinDashed(surface, dash);
  } else {
    impl_->ThinSolid(surface);
  }
}

void RoundChain::FillWedge(Surface& surface) const {
  if (!surface.Empty()) impl_->Fill(surface);
}

void FillEllipse(Surface& surface, const Box& box) {
  if (surface.Empty()) return;
  const EllipseRegion region(box.left, box.top, box.right, box.bottom, surface.WalkLimit());
  const int64_t y0 = std::max<int64_t>(box.top, 0), y1 = std::min(box.bottom, surface.Height());
  for (int64_t y = y0; y < y1; ++y) {
    int64_t x0 = 0, x1 = 0;
    if (region.Row(y, &x0, &x1)) surface.Span(y, x0, x1);
  }
}

}  // namespace raster
}  // namespace plotvane
