// Test pictures for the image writers: no symmetry and distinct channels, so
// flips, transpositions and red/blue swaps all show, drawn from a fixed seed.
#ifndef PLOTVANE_TESTS_SUPPORT_PICTURES_H_
#define PLOTVANE_TESTS_SUPPORT_PICTURES_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "canvas/bitmap.h"

namespace plotvane {
namespace testing {

// An indexed bitmap (pf1bit, pf4bit or pf8bit) whose palette holds distinct
// colours with unequal channels and whose pixels are random indices below
// `colours` (at most the palette's size).
std::unique_ptr<TBitmap> RandomIndexedBitmap(TPixelFormat format, int width, int height,
                                             int colours, uint32_t seed);

// A 24-bit bitmap of random colours drawn from `colours` distinct random
// colours (0: every pixel its own random colour).
std::unique_ptr<TBitmap> RandomTrueColourBitmap(int width, int height, int colours, uint32_t seed);

// A 24-bit picture of smooth, unequal ramps in each channel with a little
// noise, so that nearly every pixel has a colour of its own.
std::unique_ptr<TBitmap> SmoothTrueColourBitmap(int width, int height);

// A 24-bit picture of random colours, each filling an aligned 2 x 2 cell:
// what a JPEG with chroma sampled once per 2 x 2 pixels keeps almost exactly.
std::unique_ptr<TBitmap> RandomCellBitmap(int width, int height, uint32_t seed);

// The colour of every pixel, rows top to bottom.
std::vector<TColor> PixelColours(const TBitmap& bitmap);

std::string FormatName(TPixelFormat format);

}  // namespace testing
}  // namespace plotvane

#endif  // PLOTVANE_TESTS_SUPPORT_PICTURES_H_
