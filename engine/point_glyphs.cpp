// Point glyphs: the mark drawn at each point of a line graph, at each marker
// and at each point of the lines over bars.
//
// A glyph of size a is centred on its pixel (X, Y) and reaches a pixels to
// each side. Boxes of the round and square glyphs exclude their right and
// bottom edges, as every filled shape does, so a dot of size 2 is 4 pixels
// across. Lines leave out their end point, so the arms of the crosses end a
// pixel further out and cover X - a to X + a. The diamond is narrower than
// it is tall (half width 0.577 a); the triangles are equilateral up to
// rounding (half height 0.866 a).
#include "engine/chartix.h"
#include "engine/drawing.h"
#include "engine/rounding.h"

namespace plotvane {

void TChartix::DrawPoint(Integer x, Integer y, TPointStyle point_style, Word point_size,
                         TColor colour) {
  TCanvas& canvas = Canvas();
  const TColor previous_pen = canvas.Pen().Color;
  canvas.Pen().Color = colour;
  canvas.Brush().SetStyle(TBrushStyle::bsClear);

  const Int64 cx = x, cy = y, a = point_size;
  auto at = [](Int64 px, Int64 py) { return TPoint{ClampToCanvas(px), ClampToCanvas(py)}; };
  auto line = [&canvas](TPoint from, TPoint to) {
    canvas.MoveTo(from.x, from.y);
    canvas.LineTo(to.x, to.y);
  };
  const TPoint top_left = at(cx - a, cy - a), bottom_right = at(cx + a, cy + a);
  // Filled shapes take the glyph's colour as their brush, which makes it
  // solid; the brush colour is the background again afterwards.
  bool filled = false;
  auto fill = [&canvas, &filled, colour] {
    canvas.Brush().SetColor(colour);
    filled = true;
  };
  switch (point_style) {
    case cxpsNone:
      break;
    case cxpsDot:
      fill();
      canvas.Ellipse(top_left.x, top_left.y, bottom_right.x, bottom_right.y);
      break;
    case cxpsCircle:
      canvas.Ellipse(top_left.x, top_left.y, bottom_right.x, bottom_right.y);
      break;
    case cxpsDCross:
      line(top_left, at(cx + a + 1, cy + a + 1));
      line(at(cx - a, cy + a), at(cx + a + 1, cy - a - 1));
      break;
    case cxpsVCross:
      line(at(cx, cy - a), at(cx, cy + a + 1));
      line(at(cx - a, cy), at(cx + a + 1, cy));
      break;
    case cxpsSquare:
      fill();
      canvas.Rectangle(top_left.x, top_left.y, bottom_right.x, bottom_right.y);
      break;
    case cxpsDiamond: {
      const Int64 left = Round64(static_cast<long double>(cx) - 0.577L * a);
      const Int64 right = Round64(static_cast<long double>(cx) + 0.577L * a);
      fill();
      canvas.Polygon({at(left, cy), at(cx, cy + a), at(right, cy), at(cx, cy - a)});
      break;
    }
    case cxpsTriangleU:
    case cxpsTriangleD: {
      // The base lies below the centre of an upward triangle, above that of
      // a downward one.
      const Int64 t = Round64(0.866L * a);
      const Int64 base = point_style == cxpsTriangleU ? t : -t;
      fill();
      canvas.Polygon({at(cx - a, cy + base), at(cx + a, cy + base), at(cx, cy - base)});
      break;
    }
  }
  if (filled) canvas.Brush().SetColor(FBGColour);
  canvas.Brush().SetStyle(TBrushStyle::bsSolid);
  canvas.Pen().Color = previous_pen;
}

}  // namespace plotvane
