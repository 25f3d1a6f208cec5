// The pie chart.
//
// Angles are radians measured from the downward vertical and growing
// counter-clockwise as seen on the image (0 down, pi/2 right, pi up). The
// point at angle a on the rim is
//   Rim(a) = (Round(FCentreX + sin a * D/2), Round(FCentreY + cos a * D/2))
// with D the (odd) diameter and D/2 a real number, rounded halves to even.
// Slices follow each other from FStartAngle, each as wide as its share of the
// sum of the absolute values. A slice wider than 5.5 radians is drawn as two
// wedges, because a wedge whose radials nearly meet is not drawn reliably;
// the outline left along the seam between them is then painted over.
#include <algorithm>
#include <cmath>

#include "engine/chartix.h"
#include "engine/drawing.h"
#include "engine/number_format.h"
#include "engine/rounding.h"

namespace plotvane {

namespace {

constexpr Extended kPi = 3.141592653589793238462643383279502884L;
// Slices wider than this are drawn in two wedges, split at 5 radians.
constexpr Extended kLargestWedge = 5.5L;
constexpr Extended kSeamAngle = 5.0L;

struct PieGeometry {
  int centre_x, centre_y;
  Extended half_diameter;  // D / 2
  int left, top, right, bottom;  // the bounding box, right and bottom excluded

  TPoint Rim(Extended a) const {
    return TPoint{Round(centre_x + std::sin(a) * half_diameter),
                  Round(centre_y + std::cos(a) * half_diameter)};
  }
};

// Brings a label angle into [0, 2 pi]. Angles from absurd start angles (huge
// or not finite) are reduced with fmod instead of stepwise, which would never
// end.
Extended NormaliseAngle(Extended phi) {
  const Extended two_pi = 2 * kPi;
  if (!std::isfinite(phi) || std::fabs(phi) > 1e6L) {
    phi = std::fmod(phi, two_pi);
    if (phi < 0) phi += two_pi;
    return phi;
  }
  if (phi > 0) {
    while (phi > two_pi) phi -= two_pi;
  } else {
    while (phi < 0) phi += two_pi;
  }
  return phi;
}

// Paints over, in the slice's `colour`, the outline the two wedges of a wide
// slice leave along their seam: the pen's pixels in the box from the seam's
// rim point to the centre that touch the colour beside the centre and
// nothing but it and the pen.
void RepairPieSeam(const TChartix& chart, TCanvas& canvas, TPoint seam, TColor colour) {
  const TBitmap& bitmap = *chart.FBitmap;
  const int cx = chart.FCentreX, cy = chart.FCentreY;
  const TColor pen = chart.FGraphPen & 0xFFFFFF;
  const int d = seam.x <= cx ? 2 : -2;
  // Outside the bitmap a pixel reads as no colour at all, which never counts
  // as the pen or the reference colour.
  auto pixel = [&bitmap](int x, int y) -> TColor {
    if (x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) return kClrInvalid;
    return bitmap.GetPixel(x, y);
  };
  // Only the part of the box on the bitmap can hold the pen, so a pie far
  // larger than the picture costs no more than the picture's pixels.
  const int x_first = std::max(std::min(seam.x, cx), 0);
  const int x_last = std::min(std::max(seam.x, cx), bitmap.Width() - 1);
  const int y_first = std::max(std::min(seam.y, cy), 0);
  const int y_last = std::min(std::max(seam.y, cy), bitmap.Height() - 1);
  for (int x = x_first; x <= x_last; ++x) {
    for (int y = y_first; y <= y_last; ++y) {
      if (pixel(x, y) != pen) continue;
      const TColor reference = pixel(cx + d, cy);
      bool touches_reference = false, only_pen_and_reference = true;
      for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
          const TColor c = pixel(x + dx, y + dy);
          if (c == reference) {
            touches_reference = true;
          } else if (c != pen) {
            only_pen_and_reference = false;
          }
        }
      }
      if (touches_reference && only_pen_and_reference) canvas.SetPixel(x, y, colour);
    }
  }
}

}  // namespace

// The labels of the slices: a friend of TChartix, for its canvas, text
// measures and map areas.
class PieSteps {
 public:
  // The name and the number of slice `index` of `value` out of `sum`,
  // beside the rim at `mid_angle`; `font_height` is the label font's pixel
  // height and `lift` how far the texts are raised above their point.
  static void DrawPieLabel(TChartix& chart, int index, Double value, Double sum, Extended mid_angle,
                           Int64 font_height, Int64 lift, const std::u16string& mask);
};

void TChartix::DrawPie() {
  PrepareCanvas(cxtPie);
  const int count = NameList.Count();
  std::vector<Double> values(static_cast<size_t>(count));
  Double sum = 0;
  for (int i = 0; i < count; ++i) {
    values[static_cast<size_t>(i)] = ReadValue(i);
    sum += std::fabs(values[static_cast<size_t>(i)]);
  }
  Total = sum;
  if (sum == 0 || !std::isfinite(sum)) return;

  PaintBackground(*this);
  TCanvas& canvas = Canvas();

  canvas.Pen().Color = FGraphPen;
  if (FPieDia % 2 == 0) ++FPieDia;  // an odd diameter has a centre pixel
  const int k = FPieDia / 2;
  const PieGeometry g{FCentreX, FCentreY, static_cast<Extended>(FPieDia) / 2,
                      FCentreX - k + 1, FCentreY - k + 1, FCentreX + k, FCentreY + k};
  canvas.Brush().SetColor(FGraphPen);
  canvas.Ellipse(g.left, g.top, g.right, g.bottom);

  Extended theta = static_cast<Extended>(FStartAngle) * kPi / 180;
  TPoint start = g.Rim(theta);
  canvas.Font() = FLabelFont;
  canvas.Pen().Width = 1;
  // Label positions are worked out in 64 bits: a client may set any font
  // size, and a label as wide as the canvas can measure must not wrap.
  const Int64 font_height = AbsHeight(FLabelFont);
  const Int64 lift = font_height - FLabelFont.Size() - 2;
  const std::u16string mask = GetValueMask();
  const bool slice_areas = FUseImageMap && FIMDataArea;

  for (int i = 0; i < count; ++i) {
    const Double value = values[static_cast<size_t>(i)];
    const TColor colour = SetColour(ColourList[i], 0);
    canvas.Brush().SetColor(colour);
    const Extended theta_end =
        theta + static_cast<Extended>(std::fabs(value)) / static_cast<Extended>(sum) * 2 * kPi;
    TPoint end{};
    if (!std::isfinite(theta_end)) {  // an absurd start angle: nothing can be placed
      theta = theta_end;
      continue;
    }
    if (theta_end - theta <= kLargestWedge) {
      end = g.Rim(theta_end);
      // Nothing would show: no wedge, label or area. Rim points a pixel apart
      // may still put both radials through one point of the outline, where a
      // plain Pie would paint the whole disc over the slices before.
      if (end == start ||
          !canvas.PieSlice(g.left, g.top, g.right, g.bottom, start.x, start.y, end.x, end.y)) {
        theta = theta_end;
        continue;
      }
      if (slice_areas) AddPieSliceArea(end.x, end.y, start.x, start.y, i, theta, theta_end);
    } else {
      const Extended theta_seam = theta + kSeamAngle;
      const TPoint seam = g.Rim(theta_seam);
      canvas.Pie(g.left, g.top, g.right, g.bottom, start.x, start.y, seam.x, seam.y);
      if (slice_areas) AddPieSliceArea(seam.x, seam.y, start.x, start.y, i, theta, theta_seam);
      end = g.Rim(theta_end);
      canvas.Pie(g.left, g.top, g.right, g.bottom, seam.x, seam.y, end.x, end.y);
      if (slice_areas) AddPieSliceArea(end.x, end.y, seam.x, seam.y, i, theta_seam, theta_end);
      RepairPieSeam(*this, canvas, seam, colour);
      if (count == 1) canvas.Ellipse(g.left, g.top, g.right, g.bottom);
    }
    PieSteps::DrawPieLabel(*this, i, value, sum, (theta + theta_end) / 2, font_height, lift, mask);
    start = end;
    theta = theta_end;
  }
}

void PieSteps::DrawPieLabel(TChartix& chart, int index, Double value, Double sum,
                            Extended mid_angle, Int64 font_height, Int64 lift,
                            const std::u16string& mask) {
  TCanvas& canvas = chart.Canvas();
  const TextBackground background(canvas, chart.FLabelBGColour, chart.FLabelTransparent,
                                  TextBackground::kColourFirst);

  // Labels lie on an ellipse FOffset pixels outside the rim horizontally and
  // twice that vertically, where the texts above and below need the room.
  const Extended d = chart.FPieDia;
  const Int64 x = Round(chart.FCentreX + std::sin(mid_angle) * (d + 2 * chart.FOffset) / 2);
  const Int64 y = Round(chart.FCentreY + std::cos(mid_angle) * (d + 4 * chart.FOffset) / 2) - lift;
  const bool right_half = NormaliseAngle(mid_angle) < kPi;
  auto left_edge = [&](const std::u16string& text) -> Int64 {
    return right_half ? x : x - chart.GetTextWidth(text);
  };

  if (chart.FShowLabel) {
    const std::u16string& name = chart.NameList[index];
    const Int64 left = left_edge(name);
    canvas.TextOut(ClampToCanvas(left), ClampToCanvas(y - font_height - 1), name);
    if (chart.FUseImageMap && chart.FIMLabel) {
      chart.AddRectArea(ClampToCanvas(left), ClampToCanvas(y - font_height - 1),
                        ClampToCanvas(left + chart.GetTextWidth(name)), ClampToCanvas(y), index);
    }
  }
  if (chart.FShowNumbers) {
    const std::u16string number = chart.FShowPercent
                                      ? FormatFloat(mask, std::fabs(value) * (100 / sum)) + u"%"
                                      : chart.AddPrefixSuffix(FormatFloat(mask, value));
    const Int64 top = chart.FShowLabel ? y + 1 : y - font_height / 2;
    canvas.TextOut(ClampToCanvas(left_edge(number)), ClampToCanvas(top), number);
  }
}

}  // namespace plotvane
