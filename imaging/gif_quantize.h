// Colour reduction of truecolour bitmaps for the GIF writer.
#ifndef PLOTVANE_IMAGING_GIF_QUANTIZE_H_
#define PLOTVANE_IMAGING_GIF_QUANTIZE_H_

#include <cstdint>
#include <vector>

#include "canvas/bitmap.h"
#include "imaging/gif.h"

namespace plotvane {

// A bitmap expressed in at most a given number of colours.
struct ReducedBitmap {
  std::vector<TGIFColor> palette;
  std::vector<uint8_t> indices;  // one palette index a pixel, rows top to bottom
};

// Reduces the 24-bit `bitmap` to at most `max_colors` colours (2..256). A
// bitmap with no more colours than that keeps its colours exactly and maps
// every pixel to its own colour. With `reduce` off, more colours than that
// fail with EGIFError. With `dither`, the error of each mapped pixel is
// spread over its unvisited neighbours (Floyd-Steinberg).
// REQUIRES: bitmap.BitsPerPixel() == 24.
ReducedBitmap ReduceColors(const TBitmap& bitmap, int max_colors, bool reduce, bool dither);

}  // namespace plotvane

#endif  // PLOTVANE_IMAGING_GIF_QUANTIZE_H_
