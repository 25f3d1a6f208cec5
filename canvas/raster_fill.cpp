// Span painting and polygon filling.
//
// Polygons are filled scanline by scanline in the manner of the platform's
// polygon regions: on row y every edge that spans the row (top end included,
// bottom end excluded, horizontal edges ignored) crosses it at the first
// pixel column at or right of its exact position, ceil(x1 + (y - y1) (x2 -
// x1) / (y2 - y1)); the crossings, sorted, bound the spans by the even-odd
// or the non-zero winding rule. Only the rows of the bitmap are visited, and
// each edge is considered only on the rows it spans.
#include <algorithm>
#include <cstring>

#include "canvas/bitmap.h"
#include "canvas/raster.h"

namespace plotvane {
namespace raster {

Surface::Surface(TBitmap& bitmap, TColor colour)
    : bitmap_(bitmap),
      width_(bitmap.Width()),
      height_(bitmap.Height()),
      bits_(bitmap.Palette().empty() ? 24 : bitmap.BitsPerPixel()),
      pixels_(bitmap.Height() > 0 ? bitmap.ScanLine(0) : nullptr),
      stride_(static_cast<size_t>(bitmap.BytesPerScanLine())),
      stop_(bitmap.StopTest()) {
  if (bits_ == 24) {
    bgr_[0] = GetBValue(colour);
    bgr_[1] = GetGValue(colour);
    bgr_[2] = GetRValue(colour);
  } else {
    index_ = bitmap.DrawingIndex(colour);
  }
}

void Surface::SpanOther(int y, int a, int b) {
  uint8_t* row = bitmap_.ScanLine(y);
  switch (bits_) {
    case 24:
      for (int x = a; x < b; ++x) std::memcpy(row + 3 * static_cast<size_t>(x), bgr_, 3);
      break;
    default:
      for (int x = a; x < b; ++x) bitmap_.SetIndex(x, y, index_);
      break;
  }
}

void Surface::Box(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  if (x0 <= 0 && y0 <= 0 && x1 >= width_ && y1 >= height_ && !Empty()) full_ = true;
  y0 = std::max<int64_t>(y0, 0);
  y1 = std::min(y1, height_);
  for (int64_t y = y0; y < y1; ++y) Span(y, x0, x1);
}

namespace {

struct Edge {
  Point top;     // the end with the smaller y
  Point bottom;  // exclusive: the edge spans rows [top.y, bottom.y)
  int direction; // +1 when the polygon runs downwards along it

  int64_t CrossingAt(int64_t y) const {
    const Int128 dy = bottom.y - top.y;
    return top.x + CeilDiv(Int128(y - top.y) * (bottom.x - top.x), dy);
  }
};

struct Crossing {
  int64_t x;
  int direction;
  bool operator<(const Crossing& o) const {
    return x != o.x ? x < o.x : direction < o.direction;
  }
};

void FillRow(Surface& surface, int64_t y, std::vector<Crossing>& xs, FillRule rule) {
  std::sort(xs.begin(), xs.end());
  if (rule == FillRule::kAlternate) {
    for (size_t i = 0; i + 1 < xs.size(); i += 2) surface.Span(y, xs[i].x, xs[i + 1].x);
    return;
  }
  int winding = 0;
  int64_t start = 0;
  for (const Crossing& c : xs) {
    if (winding == 0) start = c.x;
    winding += c.direction;
    if (winding == 0) surface.Span(y, start, c.x);
  }
}

}  // namespace

void FillPolygon(Surface& surface, const std::vector<Point>& points, FillRule rule) {
  if (surface.Empty() || points.size() < 3) return;
  int64_t left = points[0].x, right = points[0].x;
  for (const Point& p : points) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
  }
  if (right < 0 || left >= surface.Width()) return;
  std::vector<Edge> edges;
  edges.reserve(points.size());
  for (size_t i = 0; i < points.size(); ++i) {
    const Point& p = points[i];
    const Point& q = points[(i + 1) % points.size()];
    if (p.y == q.y) continue;
    // Edges wholly above or below the bitmap cannot cross a visible row.
    if (std::max(p.y, q.y) <= 0 || std::min(p.y, q.y) >= surface.Height()) continue;
    edges.push_back(p.y < q.y ? Edge{p, q, 1} : Edge{q, p, -1});
  }
  // Crossing counts, and with them the winding, are unchanged by edges that
  // lie outside the visible rows, so clipping them away is exact.
  std::sort(edges.begin(), edges.end(),
            [](const Edge& a, const Edge& b) { return a.top.y < b.top.y; });
  std::vector<const Edge*> active;
  std::vector<Crossing> xs;
  size_t next = 0;
  const int64_t first = std::max<int64_t>(0, edges.empty() ? 0 : edges.front().top.y);
  for (int64_t y = first; y < surface.Height(); ++y) {
    while (next < edges.size() && edges[next].top.y <= y) active.push_back(&edges[next++]);
    active.erase(std::remove_if(active.begin(), active.end(),
                                [y](const Edge* e) { return e->bottom.y <= y; }),
                 active.end());
    if (active.empty()) {
      if (next == edges.size()) break;
      continue;
    }
    surface.Progress(static_cast<int64_t>(active.size()));
    xs.clear();
    for (const Edge* e : active) xs.push_back({e->CrossingAt(y), e->direction});
    FillRow(surface, y, xs, rule);
  }
}

}  // namespace raster
}  // namespace plotvane
