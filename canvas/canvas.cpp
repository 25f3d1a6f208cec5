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

// Not yet rendered: text arrives with the font machinery.
void TCanvas::TextOut(int, int, const std::u16string&) {}
int TCanvas::DrawText(const std::u16string&, TRect&, unsigned) { return 0; }
TSize TCanvas::TextExtent(const std::u16string&) { return {}; }
TTextMetric TCanvas::GetTextMetrics() { return {}; }

}  // namespace plotvane
