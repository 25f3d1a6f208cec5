// The shape and line operations of TCanvas on top of the rasteriser.
//
// Each operation resolves its pen and brush colours once (to palette entries
// on indexed bitmaps), sorts its box, and hands the rasteriser what the
// platform's primitives would draw: the brush's interior first, then the
// pen's outline over it.
#include "canvas/canvas.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "canvas/bitmap.h"
#include "canvas/font_instance.h"
#include "canvas/raster.h"
#include "canvas/recording.h"

namespace plotvane {

namespace {

using raster::Box;
using raster::Point;

using raster::GeometryOf;
using raster::PenBox;
using raster::PenGeometry;
using raster::Sorted;

// The dash pattern of a pen as it draws. As on the platform's canvas, a solid
// brush gives an opaque background, so the gaps between the dashes take the
// brush colour; under a clear brush they keep what was there.
class PenPattern {
 public:
  PenPattern(TBitmap& bitmap, const PenGeometry& pen, const TBrush& brush) : dash_(pen.dash_style) {
    if (!dash_.Solid() && brush.Style() == TBrushStyle::bsSolid) {
      gaps_.emplace(bitmap, brush.Color());
      dash_.SetGaps(&*gaps_);
    }
  }
  PenPattern(const PenPattern&) = delete;
  PenPattern& operator=(const PenPattern&) = delete;
  raster::Dash* dash() { return &dash_; }

 private:
  std::optional<raster::Surface> gaps_;
  raster::Dash dash_;
};

}  // namespace

TCanvas::TCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
TCanvas::~TCanvas() = default;

unsigned TCanvas::SetTextAlign(unsigned flags) {
  const unsigned previous = text_align_;
  text_align_ = flags;
  return previous;
}

TColor TCanvas::Pixel(int x, int y) const { return bitmap_.GetPixel(x, y); }
void TCanvas::SetPixel(int x, int y, TColor colour) {
  if (x < 0 || y < 0 || x >= bitmap_.Width() || y >= bitmap_.Height()) return;
  TBrush pixel;
  pixel.SetColor(colour);
  bitmap_.Recording().AddShape(TOpKind::kPixel, TPen{}, pixel, {x, y});
  bitmap_.SetPixel(x, y, colour);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (bitmap_.Empty()) return;
  bitmap_.StopTest().Check();
  const Box sorted = Sorted(x1, y1, x2, y2);
  if (sorted.left == sorted.right || sorted.top == sorted.bottom) return;
  bitmap_.Recording().AddShape(TOpKind::kRectangle, pen_, brush_, {x1, y1, x2, y2});
  const PenGeometry pen = GeometryOf(pen_);
  const Box box = PenBox(sorted, pen);
  // The outline runs through the outermost pixels: right and bottom inclusive.
  const int64_t l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
  const bool fill = brush_.Style() == TBrushStyle::bsSolid;
  if (pen.visible && pen.width > 1) {
    // The interior is the box less its last row and column (the band covers
    // them); an inside-frame pen may have turned it inside out.
    if (fill) {
      raster::Surface brush(bitmap_, brush_.Color());
      brush.Box(std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b));
    }
  } else if (fill) {
    // A 1-pixel outline covers the edges; without one the fill gives up the
    // right and bottom edges, as the outline would have covered them.
    raster::Surface brush(bitmap_, brush_.Color());
    const int64_t w = pen.width;
    brush.Box(l + (w + 1) / 2, t + (w + 1) / 2, r - w / 2, b - w / 2);
  }
  if (!pen.visible) return;
  raster::Surface outline(bitmap_, pen_.Color);
  if (l == r && t == b && pen.width == 1) {
    // A box of one pixel is its own outline.
    outline.Plot(l, t);
    return;
  }
  PenPattern pattern(bitmap_, pen, brush_);
  raster::PenPolyline(outline, {{r, t}, {l, t}, {l, b}, {r, b}}, true, pen.width, pattern.dash());
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (bitmap_.Empty()) return;
  bitmap_.StopTest().Check();
  const Box sorted = Sorted(x1, y1, x2, y2);
  if (sorted.left == sorted.right || sorted.top == sorted.bottom) return;
  const PenGeometry pen = GeometryOf(pen_);
  const Box box = PenBox(sorted, pen);
  // Too thin to curve: drawn as the rectangle of the original box.
  if (box.Width() <= 2 || box.Height() <= 2) {
    Rectangle(x1, y1, x2, y2);
    return;
  }
  bitmap_.Recording().AddShape(TOpKind::kEllipse, pen_, brush_, {x1, y1, x2, y2});
  if (brush_.Style() == TBrushStyle::bsSolid) {
    raster::Surface brush(bitmap_, brush_.Color());
    raster::FillEllipse(brush, box);
  }
  if (!pen.visible) return;
  raster::Surface outline(bitmap_, pen_.Color);
  PenPattern pattern(bitmap_, pen, brush_);
  raster::RoundChain(box, outline.WalkLimit()).Outline(outline, pen.width, pattern.dash());
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  DrawWedge(x1, y1, x2, y2, x3, y3, x4, y4, true);
}

bool TCanvas::PieSlice(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  return DrawWedge(x1, y1, x2, y2, x3, y3, x4, y4, false);
}

bool TCanvas::DrawWedge(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                        bool whole_when_radials_meet) {
  if (bitmap_.Empty()) return false;
  bitmap_.StopTest().Check();
  const Box sorted = Sorted(x1, y1, x2, y2);
  if (sorted.left == sorted.right || sorted.top == sorted.bottom) return false;
  const PenGeometry pen = GeometryOf(pen_);
  const Box box = PenBox(sorted, pen);
  if (box.Width() <= 0 || box.Height() <= 0) return false;
  const int64_t walk_limit = raster::WalkLimit(bitmap_.Width(), bitmap_.Height());
  PiePath& kept = pie_path_;
  if (kept.path == nullptr || kept.left != box.left || kept.top != box.top ||
      kept.right != box.right || kept.bottom != box.bottom || kept.walk_limit != walk_limit) {
    kept = PiePath{box.left, box.top, box.right, box.bottom, walk_limit,
                   raster::RoundChain::PathOf(box, walk_limit)};
  }
  const raster::RoundChain wedge(box, Point{x3, y3}, Point{x4, y4}, kept.path, walk_limit);
  if (!whole_when_radials_meet && wedge.WholeTurn()) return false;
  const Point first = wedge.FirstPoint(), last = wedge.LastPoint();
  bitmap_.Recording().AddShape(
      whole_when_radials_meet ? TOpKind::kPie : TOpKind::kPieSlice, pen_, brush_,
      {x1, y1, x2, y2, x3, y3, x4, y4, wedge.WholeTurn() ? 1 : 0, static_cast<int32_t>(first.x),
       static_cast<int32_t>(first.y), static_cast<int32_t>(last.x), static_cast<int32_t>(last.y)});
  if (brush_.Style() == TBrushStyle::bsSolid) {
    raster::Surface brush(bitmap_, brush_.Color());
    wedge.FillWedge(brush);
  }
  if (!pen.visible) return true;
  raster::Surface outline(bitmap_, pen_.Color);
  PenPattern pattern(bitmap_, pen, brush_);
  wedge.Outline(outline, pen.width, pattern.dash());
  return true;
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (bitmap_.Empty() || points.size() < 2) return;
  bitmap_.StopTest().Check();
  bitmap_.Recording().AddPolygon(pen_, brush_, points);
  std::vector<Point> chain;
  chain.reserve(points.size());
  for (const TPoint& p : points) chain.push_back(Point{p.x, p.y});
  if (brush_.Style() == TBrushStyle::bsSolid) {
    raster::Surface brush(bitmap_, brush_.Color());
    raster::FillPolygon(brush, chain, raster::FillRule::kAlternate);
  }
  const PenGeometry pen = GeometryOf(pen_);
  if (!pen.visible) return;
  raster::Surface outline(bitmap_, pen_.Color);
  PenPattern pattern(bitmap_, pen, brush_);
  raster::PenPolyline(outline, chain, true, pen.width, pattern.dash());
}

void TCanvas::LineTo(int x, int y) {
  const TPoint from = pen_pos_;
  pen_pos_ = {x, y};
  const PenGeometry pen = GeometryOf(pen_);
  if (bitmap_.Empty() || !pen.visible) return;
  bitmap_.StopTest().Check();
  bitmap_.Recording().AddShape(TOpKind::kLine, pen_, brush_, {from.x, from.y, x, y});
  raster::Surface outline(bitmap_, pen_.Color);
  PenPattern pattern(bitmap_, pen, brush_);
  raster::PenPolyline(outline, {Point{from.x, from.y}, Point{x, y}}, false, pen.width, pattern.dash());
}

}  // namespace plotvane
