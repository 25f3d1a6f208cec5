// The shapes of the SVG writer: each recorded shape, line and pixel as the
// elements that paint its pixels at 1x.
//
//   - Fills lie on the pixel grid: a pixel is painted when its centre lies
//     inside. Boxes are given by their edges; polygons and pie wedges, whose
//     raster pixels are those whose top-left corner lies inside, are moved
//     by half a pixel so that their centres decide alike. Curved and slanted
//     fills are smoothed by the viewer.
//   - A solid one-pixel pen paints a crisp chain of pixels: level and
//     upright lines and box outlines as strokes through pixel centres; a
//     slanted line as the parallelogram one pixel across its minor axis
//     whose pixel centres are the raster's (one pixel per step, nearest to
//     the line), from half a step before its first pixel to half a step
//     before its end point, which it leaves out; an arc as a stroke through
//     the centres of its outline's pixels.
//   - A dashed one-pixel pen strokes through pixel centres; the pattern
//     counts pixels along each segment's major axis (a slanted segment gets
//     that count as its pathLength) and runs on from segment to segment.
//     Under a solid brush the gaps take the brush colour, painted first.
//   - A wider pen is solid and painted as the raster paints it: a band
//     along each segment (whole rows or columns for level and upright ones,
//     a quadrilateral whose half-widths are rounded apart on either side
//     for slanted ones) and a round tip, the circle in the pen's square, at
//     every point; an ellipse's or wedge's outline is a round stroke.
//   - Two Pie wedges in a row that share a radial, box, pen and brush are a
//     slice too wide for one wedge, whose shared radial the drawer paints
//     over pixel by pixel afterwards: they are written as one wedge, so that
//     no smoothed trace of that radial remains.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "canvas/raster.h"
#include "canvas/recording.h"
#include "imaging/svg_markup.h"

namespace plotvane {
namespace svg {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The pen as the raster draws it, and its colour.
struct Pen : raster::PenGeometry {
  TColor colour;
};

Pen PenOf(const TPen& pen) { return {raster::GeometryOf(pen), pen.Color}; }

const char* DashArray(int style) {
  switch (style) {
    case 1: return "18 6";
    case 2: return "3 3";
    case 3: return "9 6 3 6";
    case 4: return "9 3 3 3 3 3";
    default: return nullptr;
  }
}

using raster::Box;
using raster::PenBox;

Box Sorted(const int32_t* c) { return raster::Sorted(c[0], c[1], c[2], c[3]); }

// Where a pen of `width` centres its band on pixel `p`.
double Centre(int64_t p, int64_t width) {
  return static_cast<double>(p) + ((width & 1) != 0 ? 0.5 : 0.0);
}

struct XY {
  double x, y;
};

class Shapes {
 public:
  Shapes(const Paint& paint, std::string* out) : paint_(paint), out_(*out) {}

  void Rectangle(const TRecordedOp& op);
  void Ellipse(const TRecordedOp& op);
  void Pie(const TRecordedOp& op);
  void Polygon(const TRecordedOp& op);
  void Line(const TRecordedOp& op);
  void Pixel(const TRecordedOp& op) {
    FillBox(op.coords[0], op.coords[1], int64_t{op.coords[0]} + 1, int64_t{op.coords[1]} + 1,
            op.brush_colour);
  }
  // The box [x0, x1) x [y0, y1) in `colour`; nothing when empty.
  void FillBox(int64_t x0, int64_t y0, int64_t x1, int64_t y1, TColor colour);

 private:
  void Start(const char* element) {
    out_ += '<';
    out_ += element;
  }
  void Attr(const char* name, double v) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    AppendNumber(v, &out_);
    out_ += '"';
  }
  void Colour(const char* name, TColor colour) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    paint_.Append(colour, &out_);
    out_ += '"';
  }
  void Raw(const char* text) { out_ += text; }
  void Point(XY p) {
    AppendNumber(p.x, &out_);
    out_ += ' ';
    AppendNumber(p.y, &out_);
  }
  void End() { out_ += "/>\n"; }
  // Stroke attributes of a pen of `width` in `colour`.
  void Stroke(int64_t width, TColor colour);
  // Leaves the element unfilled: it only strokes.
  void NoFill() { Raw(" fill=\"none\""); }

  // A closed outline through `points` (pixel positions) with `pen`; `gaps`
  // is the brush for a dashed pen's gaps (null when clear).
  void Outline(const std::vector<XY>& points, const Pen& pen, const TColor* gaps);
  // The pixels a pen of `width` >= 2 paints along `points`: a band along
  // each segment and a round tip at every point, as one filled path.
  void WidePolyline(const std::vector<XY>& points, bool close, const Pen& pen);
  // The pixels of solid one-pixel lines along `points` (pixel positions),
  // each leaving out its end point, as one crisp filled path.
  void ThinPolyline(const std::vector<XY>& points, bool close, TColor colour);
  // A one-pixel stroke from `a` to `b` in `colour`, dashed with pattern
  // `dash` (0: solid) from `offset` on, the dash lengths measured against a
  // `path_length` (0: the segment's own length).
  void Segment(const XY& a, const XY& b, TColor colour, int dash, double offset,
               double path_length);
  // Dashes of a one-pixel pen through pixel centres, segment by segment.
  void DashedSegments(const std::vector<XY>& centres, bool close, const Pen& pen);

  const Paint& paint_;
  std::string& out_;
};

void Shapes::FillBox(int64_t x0, int64_t y0, int64_t x1, int64_t y1, TColor colour) {
  if (x1 <= x0 || y1 <= y0 || !paint_.Shows(colour)) return;
  Start("rect");
  Attr("x", static_cast<double>(x0));
  Attr("y", static_cast<double>(y0));
  Attr("width", static_cast<double>(x1 - x0));
  Attr("height", static_cast<double>(y1 - y0));
  Colour("fill", colour);
  End();
}

void Shapes::Stroke(int64_t width, TColor colour) {
  Colour("stroke", colour);
  if (width != 1) {
    Attr("stroke-width", static_cast<double>(width));
    Raw(" stroke-linecap=\"round\" stroke-linejoin=\"round\"");
  }
}

bool AxisAligned(const std::vector<XY>& points) {
  for (size_t i = 0; i < points.size(); ++i) {
    const XY& a = points[i];
    const XY& b = points[(i + 1) % points.size()];
    if (a.x != b.x && a.y != b.y) return false;
  }
  return true;
}

void Shapes::Outline(const std::vector<XY>& points, const Pen& pen, const TColor* gaps) {
  if (pen.width > 1) {
    WidePolyline(points, true, pen);
    return;
  }
  if (pen.dash_style == 0 && !AxisAligned(points)) {
    ThinPolyline(points, true, pen.colour);
    return;
  }
  std::vector<XY> centres;
  centres.reserve(points.size());
  for (const XY& p : points) centres.push_back({p.x + (pen.width & 1 ? 0.5 : 0.0),
                                                p.y + (pen.width & 1 ? 0.5 : 0.0)});
  auto path = [&](TColor colour) {
    if (!paint_.Shows(colour)) return;
    Start("path d=\"M");
    for (size_t i = 0; i < centres.size(); ++i) {
      if (i > 0) Raw(" L");
      out_ += ' ';
      Point(centres[i]);
    }
    Raw(" Z\"");
    NoFill();
    Stroke(pen.width, colour);
    End();
  };
  if (pen.dash_style == 0) {
    path(pen.colour);
    return;
  }
  if (gaps != nullptr) path(*gaps);
  DashedSegments(centres, true, pen);
}

// Appends a closed sub-path through `corners`, turned clockwise on the
// screen, so that the pieces of a pen add up under the non-zero rule.
void AppendClockwise(std::vector<XY> corners, std::string* out) {
  double area = 0;
  for (size_t i = 0; i < corners.size(); ++i) {
    const XY& a = corners[i];
    const XY& b = corners[(i + 1) % corners.size()];
    area += a.x * b.y - b.x * a.y;
  }
  if (area < 0) std::reverse(corners.begin(), corners.end());
  for (size_t i = 0; i < corners.size(); ++i) {
    *out += i == 0 ? " M " : " L ";
    AppendNumber(corners[i].x, out);
    *out += ' ';
    AppendNumber(corners[i].y, out);
  }
  *out += " Z";
}

// Appends the pixels of a one-pixel line from pixel `a` up to, but not
// including, pixel `b`: a box for a level or upright line; for a slanted one
// the parallelogram one pixel across its minor axis, from half a step
// before `a` to half a step before `b` along its major axis, whose pixel
// centres are the line's pixels (one per step, nearest to the line). Where
// two pixels are equally near, the raster takes the one towards the start
// for lines heading into some octants and the other one for the rest; the
// parallelogram leans by a 64th of a pixel to take the same one.
void AppendThinSegment(const XY& a, const XY& b, std::string* out) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  if (dx == 0 && dy == 0) return;
  bool x_major, away;  // away: ties go away from the start
  if (dy > 0) {
    x_major = dx > 0 ? dx > dy : -dx > dy;
    away = !x_major && dx <= 0;
  } else if (dx < 0) {
    x_major = -dx > -dy;
    away = true;
  } else {
    x_major = dx > -dy;
    away = x_major;
  }
  const double major = x_major ? std::fabs(dx) : std::fabs(dy);
  const XY back{dx / major / 2, dy / major / 2};
  const double minor_sign = (x_major ? dy : dx) < 0 ? -1 : 1;
  const bool slanted = dx != 0 && dy != 0;
  const double lean = slanted ? (away ? 1 : -1) * minor_sign / 64 : 0;
  const XY shift = x_major ? XY{0, lean} : XY{lean, 0};
  const XY s{a.x + 0.5 - back.x + shift.x, a.y + 0.5 - back.y + shift.y};
  const XY e{b.x + 0.5 - back.x + shift.x, b.y + 0.5 - back.y + shift.y};
  const XY across = x_major ? XY{0, 0.5} : XY{0.5, 0};
  AppendClockwise({{s.x - across.x, s.y - across.y},
                   {e.x - across.x, e.y - across.y},
                   {e.x + across.x, e.y + across.y},
                   {s.x + across.x, s.y + across.y}},
                  out);
}

void Shapes::ThinPolyline(const std::vector<XY>& points, bool close, TColor colour) {
  if (!paint_.Shows(colour) || points.size() < 2) return;
  Start("path d=\"");
  const size_t n = points.size();
  for (size_t i = 0; i < (close ? n : n - 1); ++i) {
    AppendThinSegment(points[i], points[(i + 1) % n], &out_);
  }
  Raw("\"");
  Colour("fill", colour);
  End();
}

void Shapes::WidePolyline(const std::vector<XY>& points, bool close, const Pen& pen) {
  if (!paint_.Shows(pen.colour) || points.empty()) return;
  const double w = static_cast<double>(pen.width);
  const int64_t half = pen.width / 2;
  Start("path d=\"");
  const size_t n = points.size();
  const size_t segments = close ? n : n - 1;
  for (size_t i = 0; i < segments; ++i) {
    const XY& a = points[i];
    const XY& b = points[(i + 1) % n];
    const double dx = b.x - a.x, dy = b.y - a.y;
    if (dx == 0 && dy == 0) continue;
    if (dy == 0) {
      // A level band: whole rows, from one point to the other.
      const double top = a.y - half, left = std::min(a.x, b.x), right = std::max(a.x, b.x);
      AppendClockwise({{left, top}, {right, top}, {right, top + w}, {left, top + w}}, &out_);
      continue;
    }
    if (dx == 0) {
      const double left = a.x - half, top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
      AppendClockwise({{left, top}, {left + w, top}, {left + w, bottom}, {left, bottom}}, &out_);
      continue;
    }
    // A slanted band, its pixels those whose top-left corner it holds.
    const std::array<raster::Point, 4> band =
        raster::WideBand({static_cast<int64_t>(a.x), static_cast<int64_t>(a.y)},
                         {static_cast<int64_t>(b.x), static_cast<int64_t>(b.y)}, pen.width);
    std::vector<XY> corners;
    for (const raster::Point& p : band) {
      corners.push_back({static_cast<double>(p.x) + 0.5, static_cast<double>(p.y) + 0.5});
    }
    AppendClockwise(std::move(corners), &out_);
  }
  // Round tips: the circle inscribed in the pen's square around each point.
  const double r = w / 2;
  for (const XY& p : points) {
    const double cx = p.x - half + r, cy = p.y - half + r;
    out_ += " M ";
    Point({cx - r, cy});
    for (const double end_x : {cx + r, cx - r}) {
      out_ += " A ";
      Point({r, r});
      out_ += " 0 1 1 ";
      Point({end_x, cy});
    }
    out_ += " Z";
  }
  Raw("\"");
  Colour("fill", pen.colour);
  Raw(" shape-rendering=\"auto\"");
  End();
}

void Shapes::Segment(const XY& a, const XY& b, TColor colour, int dash, double offset,
                     double path_length) {
  if (!paint_.Shows(colour)) return;
  Start("path d=\"M ");
  Point(a);
  Raw(" L ");
  Point(b);
  Raw("\"");
  NoFill();
  Stroke(1, colour);
  if (dash != 0) {
    Raw(" stroke-dasharray=\"");
    Raw(DashArray(dash));
    Raw("\"");
    if (offset != 0) Attr("stroke-dashoffset", offset);
    if (path_length > 0) Attr("pathLength", path_length);
  }
  End();
}

void Shapes::DashedSegments(const std::vector<XY>& centres, bool close, const Pen& pen) {
  if (!paint_.Shows(pen.colour)) return;
  // The pattern runs on from segment to segment, counted in pixels along
  // each one's major axis; a pixel's centre is half a pixel into it.
  double phase = 0.5;
  const size_t segments = close ? centres.size() : centres.size() - 1;
  for (size_t i = 0; i < segments; ++i) {
    const XY& a = centres[i];
    const XY& b = centres[(i + 1) % centres.size()];
    const double major = std::max(std::fabs(b.x - a.x), std::fabs(b.y - a.y));
    if (major == 0) continue;
    Segment(a, b, pen.colour, pen.dash_style, phase, a.x != b.x && a.y != b.y ? major : 0);
    phase += major;
  }
}

void Shapes::Rectangle(const TRecordedOp& op) {
  const Pen pen = PenOf(op.pen);
  const Box box = PenBox(Sorted(op.coords), pen);
  // The outline runs through the outermost pixels: right and bottom inclusive.
  const int64_t l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
  const bool fill = op.brush_style == TBrushStyle::bsSolid;
  if (fill && pen.visible && pen.width == 1 && pen.dash_style == 0 && l <= r && t <= b &&
      paint_.Drawn(pen.colour) == paint_.Drawn(op.brush_colour)) {
    FillBox(l, t, r + 1, b + 1, op.brush_colour);  // outline and fill alike
    return;
  }
  if (fill && pen.visible && pen.width == 1 && pen.dash_style == 0 && l < r && t < b) {
    Start("rect");
    Attr("x", l + 0.5);
    Attr("y", t + 0.5);
    Attr("width", static_cast<double>(r - l));
    Attr("height", static_cast<double>(b - t));
    Colour("fill", op.brush_colour);
    Stroke(1, pen.colour);
    End();
    return;
  }
  if (fill) {
    if (pen.visible && pen.width > 1) {
      // The band covers the last row and column; an inside-frame pen may
      // have turned the box inside out.
      FillBox(std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b), op.brush_colour);
    } else {
      const int64_t w = pen.width;
      FillBox(l + (w + 1) / 2, t + (w + 1) / 2, r - w / 2, b - w / 2, op.brush_colour);
    }
  }
  if (!pen.visible) return;
  if (l == r && t == b && pen.width == 1) {
    FillBox(l, t, l + 1, t + 1, pen.colour);
    return;
  }
  const std::vector<XY> corners = {{double(r), double(t)}, {double(l), double(t)},
                                   {double(l), double(b)}, {double(r), double(b)}};
  Outline(corners, pen, fill ? &op.brush_colour : nullptr);
}

void Shapes::Ellipse(const TRecordedOp& op) {
  const Pen pen = PenOf(op.pen);
  const Box box = PenBox(Sorted(op.coords), pen);
  const bool fill = op.brush_style == TBrushStyle::bsSolid;
  // The outline's pixels span [left, right - 1]; the fill reaches them.
  const double w = static_cast<double>(box.right - box.left);
  const double h = static_cast<double>(box.bottom - box.top);
  const int64_t band = pen.visible ? pen.width : 1;
  const double cx = Centre(box.left, band) + (w - 1) / 2, cy = Centre(box.top, band) + (h - 1) / 2;
  const double rx = (w - 1) / 2, ry = (h - 1) / 2;
  // The fill is smoothed; a one-pixel outline stays a crisp chain of pixels.
  auto ellipse = [&](bool filled, TColor stroke_colour, const char* dashes) {
    Start("ellipse");
    Attr("cx", cx);
    Attr("cy", cy);
    Attr("rx", rx);
    Attr("ry", ry);
    if (filled) {
      Colour("fill", op.brush_colour);
      Raw(" shape-rendering=\"auto\"");
    } else {
      NoFill();
      Stroke(pen.width, stroke_colour);
      if (pen.width > 1) Raw(" shape-rendering=\"auto\"");
      Raw(dashes);
    }
    End();
  };
  if (fill && paint_.Shows(op.brush_colour)) ellipse(true, 0, "");
  if (!pen.visible || !paint_.Shows(pen.colour)) return;
  if (pen.dash_style == 0) {
    ellipse(false, pen.colour, "");
    return;
  }
  // A dashed outline starts at the middle of the right edge and runs
  // counter-clockwise, as the raster walks it.
  if (fill) ellipse(false, op.brush_colour, "");
  Start("path d=\"M ");
  Point({cx + rx, cy});
  for (const double end_x : {cx - rx, cx + rx}) {
    Raw(" A ");
    Point({rx, ry});
    Raw(" 0 1 0 ");
    Point({end_x, cy});
  }
  Raw("\"");
  NoFill();
  Stroke(1, pen.colour);
  Raw(" stroke-dasharray=\"");
  Raw(DashArray(pen.dash_style));
  Raw("\" stroke-dashoffset=\"0.5\"");
  End();
}

// The point of the ellipse about `middle` on the ray towards `p`: a point of
// the raster's outline, moved onto the curve the arc follows.
XY OnEllipse(const XY& middle, double rx, double ry, const XY& p) {
  const double dx = p.x - middle.x, dy = p.y - middle.y;
  if (rx <= 0 || ry <= 0 || (dx == 0 && dy == 0)) return p;
  const double scale = 1 / std::hypot(dx / rx, dy / ry);
  return {middle.x + dx * scale, middle.y + dy * scale};
}

void Shapes::Pie(const TRecordedOp& op) {
  const Pen pen = PenOf(op.pen);
  const Box box = PenBox(Sorted(op.coords), pen);
  const bool fill = op.brush_style == TBrushStyle::bsSolid;
  const int32_t* c = op.coords;
  const bool whole = c[8] != 0;
  const XY centre{static_cast<double>(box.left + (box.right - box.left) / 2),
                  static_cast<double>(box.top + (box.bottom - box.top) / 2)};
  // The outline's pixels where the radials end, as the raster found them.
  const XY first{static_cast<double>(c[9]), static_cast<double>(c[10])};
  const XY last{static_cast<double>(c[11]), static_cast<double>(c[12])};
  const double rx = (box.right - box.left - 1) / 2.0, ry = (box.bottom - box.top - 1) / 2.0;
  // The outline runs counter-clockwise from `first` to `last`: towards
  // smaller angles on the screen, the long way round past half a turn.
  const double ex = box.left + rx, ey = box.top + ry;  // the ellipse's centre pixel
  const double span_start = std::atan2((first.y - ey) * rx, (first.x - ex) * ry);
  double span = span_start - std::atan2((last.y - ey) * rx, (last.x - ex) * ry);
  while (span < 0) span += 2 * kPi;
  const char* arc_flags = span > kPi ? " 0 1 0 " : " 0 0 0 ";
  // The rim from `first` to `last` (the whole ellipse when the radials
  // meet), pixel positions moved to where a pen of `width` centres.
  auto rim = [&](int64_t width) {
    const XY middle{Centre(box.left, width) + rx, Centre(box.top, width) + ry};
    const XY from = OnEllipse(middle, rx, ry, {Centre(c[9], width), Centre(c[10], width)});
    const XY to = OnEllipse(middle, rx, ry, {Centre(c[11], width), Centre(c[12], width)});
    if (!whole && from.x == to.x && from.y == to.y) return;
    if (whole) {
      const XY opposite{2 * middle.x - from.x, 2 * middle.y - from.y};
      for (const XY& p : {opposite, from}) {
        Raw(" A ");
        Point({rx, ry});
        Raw(" 0 1 0 ");
        Point(p);
      }
      return;
    }
    Raw(" A ");
    Point({rx, ry});
    Raw(arc_flags);
    Point(to);
  };
  // The wedge filled, or outlined by a pen of `width` (with `dashes`).
  auto wedge = [&](int64_t width, bool filled, TColor stroke_colour, const std::string& dashes) {
    Start("path d=\"M ");
    Point({Centre(static_cast<int64_t>(centre.x), width), Centre(static_cast<int64_t>(centre.y), width)});
    Raw(" L ");
    Point(OnEllipse({Centre(box.left, width) + rx, Centre(box.top, width) + ry}, rx, ry,
                    {Centre(c[9], width), Centre(c[10], width)}));
    rim(width);
    Raw(" Z\"");
    if (filled) {
      Colour("fill", op.brush_colour);
    } else {
      NoFill();
      Stroke(width, stroke_colour);
      out_ += dashes;
    }
    // The fill is smoothed; a one-pixel outline stays a crisp chain of pixels.
    if (filled || width > 1) Raw(" shape-rendering=\"auto\"");
    End();
  };
  if (fill && paint_.Shows(op.brush_colour)) wedge(1, true, 0, "");
  if (!pen.visible || !paint_.Shows(pen.colour)) return;
  if (pen.dash_style == 0 && pen.width == 1) {
    // The rim, then the radials as the raster steps them: from the rim's
    // last pixel to the centre and on to its first.
    Start("path d=\"M ");
    Point(OnEllipse({box.left + 0.5 + rx, box.top + 0.5 + ry}, rx, ry, {c[9] + 0.5, c[10] + 0.5}));
    rim(1);
    Raw("\"");
    NoFill();
    Stroke(1, pen.colour);
    End();
    ThinPolyline({last, centre, first}, false, pen.colour);
    return;
  }
  if (pen.dash_style == 0) {
    wedge(pen.width, false, pen.colour, "");
    return;
  }
  // A dashed wedge: its gaps and dashes along the same outline.
  if (fill) wedge(1, false, op.brush_colour, "");
  wedge(1, false, pen.colour,
        std::string(" stroke-dasharray=\"") + DashArray(pen.dash_style) + "\" stroke-dashoffset=\"0.5\"");
}

void Shapes::Polygon(const TRecordedOp& op) {
  const Pen pen = PenOf(op.pen);
  const bool fill = op.brush_style == TBrushStyle::bsSolid;
  std::vector<XY> points;
  points.reserve(op.coord_count / 2);
  for (size_t i = 0; i + 1 < op.coord_count; i += 2) {
    points.push_back({static_cast<double>(op.coords[i]), static_cast<double>(op.coords[i + 1])});
  }
  const bool crisp = AxisAligned(points);
  // A slanted fill is smoothed, so it shares its element only with a crisp
  // outline of a crisp shape.
  const bool shared = crisp && pen.visible && pen.width == 1 && pen.dash_style == 0;
  if (fill && paint_.Shows(op.brush_colour)) {
    Start("polygon points=\"");
    for (size_t i = 0; i < points.size(); ++i) {
      if (i > 0) out_ += ' ';
      AppendNumber(points[i].x + 0.5, &out_);
      out_ += ',';
      AppendNumber(points[i].y + 0.5, &out_);
    }
    Raw("\" fill-rule=\"evenodd\"");
    Colour("fill", op.brush_colour);
    if (shared) Stroke(1, pen.colour);
    if (!crisp) Raw(" shape-rendering=\"auto\"");
    End();
    if (shared) return;
  }
  if (!pen.visible) return;
  Outline(points, pen, fill ? &op.brush_colour : nullptr);
}

void Shapes::Line(const TRecordedOp& op) {
  const Pen pen = PenOf(op.pen);
  const XY from{static_cast<double>(op.coords[0]), static_cast<double>(op.coords[1])};
  const XY to{static_cast<double>(op.coords[2]), static_cast<double>(op.coords[3])};
  const bool level = from.x == to.x || from.y == to.y;
  if (pen.width > 1) {
    WidePolyline({from, to}, false, pen);
    return;
  }
  if (pen.dash_style == 0 && !level) {
    ThinPolyline({from, to}, false, pen.colour);
    return;
  }
  const double dx = to.x - from.x, dy = to.y - from.y;
  const double major = std::max(std::fabs(dx), std::fabs(dy));
  if (major == 0) return;
  // Half a step back along the major axis: from the first pixel's near edge
  // to the end point's near edge.
  const XY back{dx / major / 2, dy / major / 2};
  const XY a{from.x + 0.5 - back.x, from.y + 0.5 - back.y};
  const XY b{to.x + 0.5 - back.x, to.y + 0.5 - back.y};
  if (pen.dash_style != 0 && op.brush_style == TBrushStyle::bsSolid) {
    Segment(a, b, op.brush_colour, 0, 0, 0);  // the gaps
  }
  Segment(a, b, pen.colour, pen.dash_style, 0, level ? 0 : major);
}

}  // namespace

void WriteBox(int64_t x0, int64_t y0, int64_t x1, int64_t y1, TColor colour, const Paint& paint,
              std::string* out) {
  Shapes(paint, out).FillBox(x0, y0, x1, y1, colour);
}

void WriteShape(const TRecordedOp& op, const Paint& paint, std::string* out) {
  Shapes shapes(paint, out);
  switch (op.kind) {
    case TOpKind::kRectangle: shapes.Rectangle(op); break;
    case TOpKind::kEllipse: shapes.Ellipse(op); break;
    case TOpKind::kPie:
    case TOpKind::kPieSlice: shapes.Pie(op); break;
    case TOpKind::kPolygon: shapes.Polygon(op); break;
    case TOpKind::kLine: shapes.Line(op); break;
    case TOpKind::kPixel: shapes.Pixel(op); break;
    case TOpKind::kText:
    case TOpKind::kTextBlock: break;
  }
}

}  // namespace svg
}  // namespace plotvane
