// The rasteriser's closed forms against the step-by-step algorithms they
// replace: the per-row quadrant path against walking it, and clipped lines
// against stepping through every pixel.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "canvas/bitmap.h"
#include "canvas/quadrant_path.h"
#include "canvas/raster.h"

namespace plotvane {
namespace raster {
namespace {

// The quadrant path walked one step at a time: row j -> (first column, last
// column, continues downwards).
std::map<int64_t, PathRow> WalkPath(int64_t w, int64_t h, int64_t kcap) {
  const Int128 a = w - 1, b = h - 1;
  const Int128 asq = 8 * a * a, bsq = 8 * b * b;
  Int128 dx = 4 * b * b * (1 - a), dy = 4 * a * a * (1 + b % 2);
  Int128 err = dx + dy + a * a * (b % 2);
  int64_t k = 0, j = 0;
  std::map<int64_t, PathRow> rows;
  rows[0] = PathRow{0, 0, false};
  while (k <= kcap) {
    const Int128 e2 = 2 * err;
    rows[j].ke = k;
    const bool x = e2 >= dx, y = e2 <= dy;
    if (x) {
      ++k;
      dx += bsq;
      err += dx;
    }
    if (y) {
      rows[j].down = true;
      ++j;
      dy += asq;
      err += dy;
      rows[j] = PathRow{k, k, false};
    }
  }
  return rows;
}

void ExpectSamePath(int64_t w, int64_t h, int64_t kcap) {
  const std::map<int64_t, PathRow> walked = WalkPath(w, h, kcap);
  const QuadrantPath path(w, h, kcap, /*walk_limit=*/0);  // always per row
  ASSERT_EQ(path.LastRow(), walked.rbegin()->first) << w << "x" << h << " kcap " << kcap;
  for (const auto& [j, want] : walked) {
    PathRow got;
    ASSERT_TRUE(path.Row(j, &got)) << w << "x" << h << " row " << j;
    const bool states = want.ks <= kcap;
    ASSERT_EQ(got.ks, want.ks) << w << "x" << h << " kcap " << kcap << " row " << j;
    if (states) {
      ASSERT_EQ(std::min(got.ke, kcap), want.ke) << w << "x" << h << " row " << j;
    }
    ASSERT_EQ(got.down, want.down) << w << "x" << h << " kcap " << kcap << " row " << j;
  }
  PathRow beyond;
  EXPECT_FALSE(path.Row(path.LastRow() + 1, &beyond));
}

// Both cuts in use: the outline's (a - w/2) and the region's (w/2).
TEST(QuadrantPath, MatchesWalkForEverySmallBox) {
  for (int64_t w = 1; w <= 64; ++w) {
    for (int64_t h = 1; h <= 64; ++h) {
      ExpectSamePath(w, h, w - 1 - w / 2);
      ExpectSamePath(w, h, w / 2);
    }
  }
}

TEST(QuadrantPath, MatchesWalkForLargeBoxes) {
  std::mt19937_64 random(20261209);
  std::vector<std::pair<int64_t, int64_t>> boxes = {
      {201, 201}, {199, 199}, {4000, 3}, {3, 4000}, {65535, 65535}, {65535, 7}, {7, 65535},
      {131071, 40000}, {100000, 100001}};
  for (int i = 0; i < 60; ++i) {
    const int64_t w = 3 + static_cast<int64_t>(random() % 6000);
    boxes.push_back({w, i % 3 == 0 ? w : 3 + static_cast<int64_t>(random() % 6000)});
  }
  for (const auto& [w, h] : boxes) {
    ExpectSamePath(w, h, w - 1 - w / 2);
    ExpectSamePath(w, h, w / 2);
  }
}

// The line stepped pixel by pixel, the platform's way: the minor coordinate
// advances when the error plus the direction's bias is positive.
std::set<std::pair<int64_t, int64_t>> StepLine(Point from, Point to) {
  const int64_t dx = to.x - from.x, dy = to.y - from.y;
  const int64_t adx = std::abs(dx), ady = std::abs(dy);
  int octant;
  if (dy > 0) {
    octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
  } else {
    octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
  }
  const bool x_major = octant == 1 || octant == 4 || octant == 5 || octant == 8;
  const int bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
  const int64_t major = x_major ? adx : ady, minor = x_major ? ady : adx;
  const int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  std::set<std::pair<int64_t, int64_t>> pixels;
  int64_t x = from.x, y = from.y, err = 2 * minor - major;
  for (int64_t i = 0; i < major; ++i) {
    pixels.insert({x, y});
    if (err + bias > 0) {
      (x_major ? y : x) += x_major ? sy : sx;
      err += 2 * minor - 2 * major;
    } else {
      err += 2 * minor;
    }
    (x_major ? x : y) += x_major ? sx : sy;
  }
  return pixels;
}

// Lines with ends far outside a small bitmap paint exactly the stepped
// pixels that fall inside it, in every direction.
TEST(ThinLine, ClippedLineMatchesSteppedLine) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-150, 170);
  for (int i = 0; i < 3000; ++i) {
    const Point from{coordinate(random), coordinate(random)};
    const Point to = i % 5 == 0 ? Point{from.x + (i % 11) - 5, from.y + (i % 7) - 3}
                                : Point{coordinate(random), coordinate(random)};
    TBitmap bitmap;
    bitmap.SetPixelFormat(TPixelFormat::pf8bit);
    bitmap.SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    bitmap.SetSize(21, 13);
    Surface surface(bitmap, 0xFFFFFF);
    ThinLine(surface, from, to, nullptr);
    const auto stepped = StepLine(from, to);
    for (int y = 0; y < 13; ++y) {
      for (int x = 0; x < 21; ++x) {
        ASSERT_EQ(bitmap.GetIndex(x, y) == 1, stepped.count({x, y}) == 1)
            << "line (" << from.x << "," << from.y << ")-(" << to.x << "," << to.y << ") at " << x
            << "," << y;
      }
    }
  }
}

// A dashed line counts its pattern from its own first pixel, also where the
// bitmap cuts the line's start away.
TEST(ThinLine, DashPatternCountsFromTheLineStart) {
  struct Case {
    int style;
    const char* row;  // x = 0..39 of a line from x = -8
  } cases[] = {
      {1, "##########......##################......"},
      {2, "#...###...###...###...###...###...###..."},
      {3, "#......###......#########......###......"},
      {4, "#...###...###...#########...###...###..."},
  };
  for (const Case& c : cases) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(TPixelFormat::pf8bit);
    bitmap.SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    bitmap.SetSize(40, 1);
    Surface surface(bitmap, 0xFFFFFF);
    Dash dash(c.style);
    ThinLine(surface, Point{-8, 0}, Point{100, 0}, &dash);
    std::string row;
    for (int x = 0; x < 40; ++x) row += bitmap.GetIndex(x, 0) ? '#' : '.';
    EXPECT_EQ(row, c.row) << "style " << c.style;
  }
}

}  // namespace
}  // namespace raster
}  // namespace plotvane
