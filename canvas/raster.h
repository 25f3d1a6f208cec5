// The rasteriser beneath TCanvas: painting spans of one colour, filling
// polygons, thin and wide lines, and the round shapes (ellipses, pie wedges
// and the round pen tips). Every routine clips to the bitmap before it walks
// anything, so its cost follows the visible part, not the shape.
//
// Glossary:
//   box      a shape's bounding box [left, right) x [top, bottom), corners
//            sorted; right and bottom lie outside.
//   span     a run [x0, x1) of pixels on one row.
//   chain    the closed sequence of points an outline is drawn through; a thin
//            pen paints every point, a wide pen a round tip at every point
//            and a band along every segment.
//   dash     the on/off pattern of a styled 1-pixel pen, counted in pixels
//            along the major axis of each segment.
//
// All coordinates are 64-bit so that 32-bit inputs, their differences and the
// half pen widths added to them never overflow; products go through Int128.
#ifndef PLOTVANE_CANVAS_RASTER_H_
#define PLOTVANE_CANVAS_RASTER_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "canvas/bitmap.h"
#include "canvas/canvas.h"
#include "canvas/quadrant_path.h"
#include "canvas/types.h"

namespace plotvane {
namespace raster {

__extension__ typedef __int128 Int128;

struct Point {
  int64_t x = 0;
  int64_t y = 0;
  friend bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
  friend bool operator!=(const Point& a, const Point& b) { return !(a == b); }
};

// Floor and ceiling of a / b for b > 0.
inline int64_t FloorDiv(Int128 a, Int128 b) {
  Int128 q = a / b;
  if (q * b > a) --q;
  return static_cast<int64_t>(q);
}
inline int64_t CeilDiv(Int128 a, Int128 b) {
  Int128 q = a / b;
  if (q * b < a) ++q;
  return static_cast<int64_t>(q);
}

// Round outlines of up to this many steps are walked once rather than
// evaluated per row: in proportion to the bitmap, so that shapes far larger
// than a width x height bitmap still cost only their visible rows.
inline int64_t WalkLimit(int64_t width, int64_t height) { return 4 * (width + height) + 1024; }

// Paints one colour on a bitmap. The colour is resolved once, when the
// surface is made: on indexed bitmaps to the palette entry drawing uses (the
// exact entry or the nearest), on 24-bit bitmaps to its bytes. Everything
// outside the bitmap is ignored.
class Surface {
 public:
  // REQUIRES: `bitmap` outlives the surface and keeps its size meanwhile.
  Surface(TBitmap& bitmap, TColor colour);

  int64_t Width() const { return width_; }
  int64_t Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  // Paints [x0, x1) on row y; clipped.
  void Span(int64_t y, int64_t x0, int64_t x1) {
    if (y < 0 || y >= height_) return;
    x0 = x0 > 0 ? x0 : 0;
    x1 = x1 < width_ ? x1 : width_;
    if (x0 >= x1) return;
    if (bits_ == 8) {
      // Most spans of thin shapes are a few pixels: stored directly.
      uint8_t* p = pixels_ + static_cast<size_t>(y) * stride_ + x0;
      const uint8_t v = static_cast<uint8_t>(index_);
      if (x1 - x0 <= 8) {
        for (int64_t n = x1 - x0; n > 0; --n) *p++ = v;
      } else {
        std::memset(p, v, static_cast<size_t>(x1 - x0));
      }
      return;
    }
    if (bits_ == 4) {
      // Two pixels a byte, the left one in the high nibble: the odd ends
      // keep their other nibble.
      uint8_t* row = pixels_ + static_cast<size_t>(y) * stride_;
      const uint8_t v = static_cast<uint8_t>(index_);
      if (x0 & 1) {
        row[x0 >> 1] = static_cast<uint8_t>((row[x0 >> 1] & 0xF0) | v);
        ++x0;
      }
      if (x1 & 1) {
        row[x1 >> 1] = static_cast<uint8_t>((row[x1 >> 1] & 0x0F) | (v << 4));
        --x1;
      }
      if (x0 < x1) {
        uint8_t* p = row + (x0 >> 1);
        const uint8_t pair = static_cast<uint8_t>((v << 4) | v);
        if (x1 - x0 <= 16) {
          for (int64_t n = (x1 - x0) >> 1; n > 0; --n) *p++ = pair;
        } else {
          std::memset(p, pair, static_cast<size_t>(x1 - x0) >> 1);
        }
      }
      return;
    }
    SpanOther(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1));
  }
  void Plot(int64_t x, int64_t y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    uint8_t* row = pixels_ + static_cast<size_t>(y) * stride_;
    if (bits_ == 8) {
      row[x] = static_cast<uint8_t>(index_);
    } else if (bits_ == 24) {
      std::memcpy(row + 3 * static_cast<size_t>(x), bgr_, 3);
    } else {
      bitmap_.SetIndex(static_cast<int>(x), static_cast<int>(y), index_);
    }
  }
  // Paints [x0, x1) x [y0, y1); clipped.
  void Box(int64_t x0, int64_t y0, int64_t x1, int64_t y1);

  // True once the whole bitmap has been painted in one piece: the rest of a
  // primitive in this colour can change nothing, and wide pens stop there.
  bool Full() const { return full_; }

  int64_t WalkLimit() const { return raster::WalkLimit(width_, height_); }

  // Counts `work` units (a row or an edge crossing each) of the primitive
  // being drawn, and makes the bitmap's stop test after every few thousand:
  // a single primitive may walk every row of a large bitmap many times over.
  // Throws EStopped when the test says stop.
  void Progress(int64_t work) {
    work_left_ -= work;
    if (work_left_ < 0) {
      work_left_ = kStopCheckWork;
      stop_.Check();
    }
  }

 private:
  static constexpr int64_t kStopCheckWork = 4096;

  // Paints [x0, x1) on row y of a bitmap of 24 or 1 bits a pixel.
  // REQUIRES: the span lies on the bitmap and is not empty.
  void SpanOther(int y, int a, int b);

  TBitmap& bitmap_;
  int64_t width_;
  int64_t height_;
  int bits_;
  uint8_t* pixels_;  // row 0
  size_t stride_;
  int index_ = 0;         // palette entry (indexed bitmaps)
  uint8_t bgr_[3] = {};   // blue, green, red (24-bit bitmaps)
  bool full_ = false;
  TStopTest stop_;  // the bitmap's
  int64_t work_left_ = kStopCheckWork;
};

// ---- Polygons -------------------------------------------------------------

enum class FillRule { kAlternate, kWinding };

// Fills the polygon through `points` (closed implicitly). A pixel (x, y) is
// inside when the point (x, y) is: edges are followed exactly, left and top
// boundaries belong to the polygon, right and bottom ones do not, so
// polygons sharing an edge tile without gaps or overlaps.
void FillPolygon(Surface& surface, const std::vector<Point>& points, FillRule rule);

// ---- Pens -------------------------------------------------------------------

// A pen as it draws: null pens draw nothing and count as 0 pixels wide for
// the fills that make room for the outline; pens wider than 1 pixel are
// solid whatever their style.
struct PenGeometry {
  bool visible;
  int64_t width;    // 0 for a null pen
  int dash_style;   // pattern of a 1-pixel pen (0: solid)
  bool inside_frame;
};
PenGeometry GeometryOf(const TPen& pen);

// The on/off pattern of a styled 1-pixel pen and the position in it.
class Dash {
 public:
  // Solid when `style` has no pattern (0, 5, 6).
  explicit Dash(int style);
  bool Solid() const { return length_ == 0; }
  // Starts the pattern afresh (every LineTo and every shape does).
  void Reset() { phase_ = 0; }
  // Whether the pixel `offset` pixels past the current position is painted.
  bool On(int64_t offset) const;
  void Skip(int64_t pixels);
  // Where the pixels between the dashes go: null leaves them alone.
  Surface* Gaps() const { return gaps_; }
  void SetGaps(Surface* gaps) { gaps_ = gaps; }

 private:
  Surface* gaps_ = nullptr;
  const uint8_t* runs_ = nullptr;  // alternating on and off lengths
  int count_ = 0;
  int length_ = 0;                 // sum of the runs; 0 for solid
  int64_t phase_ = 0;
};

// A 1-pixel line from `from` up to, but not including, `to`. Ties between
// two candidate pixels are settled by the direction of the line (the
// platform's bias), so a line and its reverse may differ. `dash` may be null
// (solid); otherwise it is advanced by the line's length.
void ThinLine(Surface& surface, Point from, Point to, Dash* dash);

// The pixels of a round pen tip of `width` (>= 2) centred on (0, 0): the
// platform's elliptic region of a width x width box around the centre.
class RoundTip {
 public:
  RoundTip(int64_t width, int64_t walk_limit)
      : region_(-(width / 2), -(width / 2), (width + 1) / 2, (width + 1) / 2, walk_limit),
        reach_(width / 2 + 1) {}

  // Row offsets [Top(), Bottom()) hold pixels.
  int64_t Top() const { return region_.Top(); }
  int64_t Bottom() const { return region_.Bottom(); }
  // The span [*x0, *x1) on row offset r; false when the row is empty. Spans
  // are nested: the nearer the middle row, the wider.
  bool Row(int64_t r, int64_t* x0, int64_t* x1) const { return region_.Row(r, x0, x1); }

  // Paints the union of the tips centred on (x, y) for x in [x0, x1].
  void PaintRun(Surface& surface, int64_t y, int64_t x0, int64_t x1) const;

 private:
  EllipseRegion region_;
  int64_t reach_;  // no pixel lies farther than this from the centre
};

// The band a pen of `width` (>= 2) lays along the segment from `a` to `b`,
// without tips. Rounding depends on the direction, as on the platform.
void WideSegment(Surface& surface, Point a, Point b, int64_t width);
// The quadrilateral of a slanted segment's band (neither level nor upright):
// its half-widths across each axis rounded separately on either side; its
// pixels are those the polygon rule puts inside.
std::array<Point, 4> WideBand(Point a, Point b, int64_t width);

// Draws a polyline with a pen: 1-pixel lines (solid or dashed) when `width`
// is 1, otherwise bands with a round tip at every vertex. `close` joins the
// last point to the first. `dash` is restarted by the caller.
void PenPolyline(Surface& surface, const std::vector<Point>& points, bool close, int64_t width,
                 Dash* dash);

// ---- Round shapes -------------------------------------------------------------

// A box [left, right) x [top, bottom) with sorted corners.
struct Box {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;
  int64_t Width() const { return right - left; }
  int64_t Height() const { return bottom - top; }
};

// The box of corners given in any order.
inline Box Sorted(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  return Box{x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1};
}
// The box a shape's outline runs in: an inside-frame pen keeps its whole
// width inside the box.
inline Box PenBox(Box box, const PenGeometry& pen) {
  if (pen.inside_frame) {
    box.left += pen.width / 2;
    box.top += pen.width / 2;
    box.right -= (pen.width - 1) / 2;
    box.bottom -= (pen.width - 1) / 2;
  }
  return box;
}

// The outline of the ellipse inscribed in a box, or of a pie wedge cut from
// it: a chain that starts at the middle of the right edge and runs
// counter-clockwise, one pixel step at a time, through the four quarters of
// the ellipse (each a mirror image of one quadrant path). A wedge keeps the
// part of the chain between its two radials and closes through the centre,
// (left + width / 2, top + height / 2).
class RoundChain {
 public:
  // The whole ellipse. REQUIRES: box width and height >= 1. `walk_limit`:
  // see Surface::WalkLimit.
  RoundChain(const Box& box, int64_t walk_limit);
  // The wedge from the radial through `start` counter-clockwise to the
  // radial through `end`; equal radials give the whole ellipse plus one
  // radial. `path` is PathOf(box, walk_limit), which the wedges of one box
  // may share. REQUIRES: box width and height >= 1; `path` not null.
  RoundChain(const Box& box, Point start, Point end, std::shared_ptr<const QuadrantPath> path,
             int64_t walk_limit);
  // The quadrant path of the ellipse inscribed in `box`; immutable.
  static std::shared_ptr<const QuadrantPath> PathOf(const Box& box, int64_t walk_limit);
  ~RoundChain();
  RoundChain(const RoundChain&) = delete;
  RoundChain& operator=(const RoundChain&) = delete;

  // Draws the chain with a pen of `width` pixels; `dash` (1-pixel pens
  // only) may be null, and is started afresh.
  void Outline(Surface& surface, int64_t width, Dash* dash) const;
  // Fills the wedge (the chain's polygon, non-zero winding), right and bottom
  // boundaries excluded. Only for wedges.
  void FillWedge(Surface& surface) const;
  // Whether the wedge's chain runs a whole turn: its radials meet at one
  // position of the outline.
  bool WholeTurn() const;
  // A wedge's first and last points on the outline, where its radials from
  // the centre meet it.
  Point FirstPoint() const;
  Point LastPoint() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Fills the platform's elliptic region of the box (the interior of an
// ellipse, its outline pixels included).
void FillEllipse(Surface& surface, const Box& box);

}  // namespace raster
}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_RASTER_H_
