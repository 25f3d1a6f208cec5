#include "canvas/canvas.h"

#include "canvas/bitmap.h"

namespace plotvane {

TCanvas::TCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}

unsigned TCanvas::SetTextAlign(unsigned flags) {
  const unsigned previous = text_align_;
  text_align_ = flags;
  return previous;
}

TColor TCanvas::Pixel(int x, int y) const { return bitmap_.GetPixel(x, y); }
void TCanvas::SetPixel(int x, int y, TColor colour) { bitmap_.SetPixel(x, y, colour); }

// Not yet rasterised: the shapes and lines arrive with the raster rules.
void TCanvas::Rectangle(int, int, int, int) {}
void TCanvas::Ellipse(int, int, int, int) {}
void TCanvas::Pie(int, int, int, int, int, int, int, int) {}
void TCanvas::Polygon(const std::vector<TPoint>&) {}
void TCanvas::LineTo(int x, int y) { pen_pos_ = {x, y}; }

}  // namespace plotvane
