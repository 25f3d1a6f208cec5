#include "canvas/bitmap.h"
#include "canvas/canvas.h"

namespace plotvane {

// Not yet rendered: text arrives with the font machinery.
void TCanvas::TextOut(int, int, const std::u16string&) {}
int TCanvas::DrawText(const std::u16string&, TRect&, unsigned) { return 0; }
TSize TCanvas::TextExtent(const std::u16string&) { return {}; }
TTextMetric TCanvas::GetTextMetrics() { return {}; }

}  // namespace plotvane
