// The quarter outline of an ellipse as the platform rasterises it, and the
// elliptic region built on the same outline.
//
// The outline is the path of an integer error-stepping algorithm. It starts
// at the widest point of the ellipse (column 0 here, the box's far edge) on
// its middle row (row 0) and moves towards the narrow end: each step goes one
// column inwards, one row outwards, or both, as two error tests decide. A
// state (k, j) is the point k columns in from the far edge and j rows out
// from the middle; states with k <= kcap belong to the path.
//
// Walking that path costs a step per pixel of the shape. To keep the cost
// proportional to the rows actually drawn, the path is evaluated per row:
//   - near its start the path is steep; there each column ends exactly where
//     the column's error test first succeeds, a closed form (a quadratic's
//     root), so any row is found by a binary search over the columns;
//   - near its end the path is shallow; there each row ends exactly where the
//     row's error test first succeeds, again a closed form;
//   - the short stretch between the two (around the 45-degree point) is
//     walked once, when the path is made, and kept.
// The closed forms hold as long as each column (row) advances the root by at
// least one row (column); the roots are concave (convex), so the stretches
// where that holds are a prefix (suffix) found by binary search.
//
// Arithmetic is exact (128-bit) for boxes up to 2^30 pixels across; larger
// boxes use long double, which may place single pixels differently but stays
// bounded and safe.
#ifndef PLOTVANE_CANVAS_QUADRANT_PATH_H_
#define PLOTVANE_CANVAS_QUADRANT_PATH_H_

#include <cstdint>
#include <memory>

namespace plotvane {
namespace raster {

// The states of one row of the path.
struct PathRow {
  int64_t ks = 0;       // column of the first state; the column the path
                        // enters the row with (may exceed kcap: no states)
  int64_t ke = 0;       // column of the last state (ke >= ks when any)
  bool down = false;    // the path continues to the next row from ke
  bool HasStates(int64_t kcap) const { return ks <= kcap; }
};

// Paths of up to this many steps are walked once and kept row by row (the
// cheapest way for shapes of a chart's size); longer ones are evaluated per
// row. Callers pass a limit in proportion to their bitmap.
constexpr int64_t kDefaultWalkLimit = 4096;

class QuadrantPath {
 public:
  // The path of the ellipse inscribed in a w x h box (w, h >= 1), cut after
  // column `kcap` (>= 0). Paths of at most `walk_limit` steps are walked.
  QuadrantPath(int64_t w, int64_t h, int64_t kcap, int64_t walk_limit = kDefaultWalkLimit);
  ~QuadrantPath();
  QuadrantPath(const QuadrantPath&) = delete;
  QuadrantPath& operator=(const QuadrantPath&) = delete;

  int64_t kcap() const { return kcap_; }
  // Row j (j >= 0) of the path; false when the path does not reach it.
  bool Row(int64_t j, PathRow* row) const;
  // The last row the path reaches.
  int64_t LastRow() const { return last_row_; }

  struct Engine;

 private:
  int64_t kcap_;
  int64_t last_row_ = 0;
  std::unique_ptr<Engine> engine_;
};

// The platform's elliptic region of the box [left, right) x [top, bottom):
// one span per row, built on the same outline. Boxes narrower or lower than
// 2 pixels give the plain box.
class EllipseRegion {
 public:
  EllipseRegion(int64_t left, int64_t top, int64_t right, int64_t bottom,
                int64_t walk_limit = kDefaultWalkLimit);
  ~EllipseRegion();
  EllipseRegion(const EllipseRegion&) = delete;
  EllipseRegion& operator=(const EllipseRegion&) = delete;

  int64_t Top() const { return top_; }
  int64_t Bottom() const { return bottom_; }
  // The span [*x0, *x1) of row y; false when the row is empty.
  bool Row(int64_t y, int64_t* x0, int64_t* x1) const;

 private:
  int64_t left_, top_, right_, bottom_;
  int64_t ew_ = 0, eh_ = 0;
  std::unique_ptr<QuadrantPath> path_;  // null for plain boxes
};

}  // namespace raster
}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_QUADRANT_PATH_H_
