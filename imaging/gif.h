// The GIF image classes: one picture made of frames, colour maps and
// extensions, written as a GIF file.
//
//   TGIFColorMap                 up to 256 RGB entries and an "optimized" flag
//   TGIFGraphicControlExtension  delay and transparent colour of a frame
//   TGIFFrame                    one image: size, local colour map, extensions,
//                                one colour-map index per pixel
//   TGIFImage                    logical screen, global colour map, frames:
//     Assign            turns a bitmap into the one frame (24-bit bitmaps are
//                       reduced to 256 colours first)
//     OptimizeColorMap  one global table of the used colours, most used first
//     ApplyTransparency makes one colour of the global table transparent
//     SaveToStream      writes the file
//
// Terms: a colour map's "bits per pixel" b is the smallest n >= 1 with
// 2^n >= its count (0 for an empty map); the file stores 2^b entries, the ones
// past the count black. The table "in force" for a frame is its local map when
// that has entries, else the global map.
#ifndef PLOTVANE_IMAGING_GIF_H_
#define PLOTVANE_IMAGING_GIF_H_

#include <cstdint>
#include <string>
#include <vector>

#include "canvas/bitmap.h"
#include "imaging/byte_writer.h"

namespace plotvane {

// How Assign turns a 24-bit bitmap into at most 256 colours.
enum class TColorReduction : uint8_t {
  rmNone,      // the bitmap's own colours; more than 2^ReductionBits fail
  rmQuantize,  // an octree quantizer builds the palette (the usual choice)
};

// How pixels are mapped onto the reduced palette.
enum class TDitherMode : uint8_t {
  dmNearest,         // each pixel to its own colour's entry
  dmFloydSteinberg,  // the mapping error is diffused to the neighbours
};

struct TGIFColor {
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;
  friend bool operator==(const TGIFColor& a, const TGIFColor& b) {
    return a.Red == b.Red && a.Green == b.Green && a.Blue == b.Blue;
  }
};

class TGIFColorMap {
 public:
  static constexpr int kMaxColors = 256;

  int Count() const { return static_cast<int>(colors_.size()); }
  // REQUIRES: 0 <= index < Count().
  const TGIFColor& operator[](int index) const { return colors_[static_cast<size_t>(index)]; }
  const std::vector<TGIFColor>& Colors() const { return colors_; }
  // Appends an entry. REQUIRES: Count() < kMaxColors.
  void Add(const TGIFColor& color) { colors_.push_back(color); }
  // Empties the map and clears the optimized flag.
  void Clear();

  // The index of `colour` (0x00BBGGRR, compared by red, green and blue): on an
  // optimized map the first match, otherwise the last; -1 when absent.
  int IndexOf(TColor colour) const;

  // Set by OptimizeColorMap; written to the file as the sort flag.
  bool Optimized() const { return optimized_; }
  void SetOptimized(bool optimized) { optimized_ = optimized; }

  int BitsPerPixel() const;

 private:
  std::vector<TGIFColor> colors_;
  bool optimized_ = false;
};

// Written before a frame (and it makes the file "89a"): no disposal method, no
// user input, a delay in hundredths of a second and, when Transparent(), the
// colour index the frame shows as transparent.
class TGIFGraphicControlExtension {
 public:
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent) { transparent_ = transparent; }
  uint8_t TransparentColorIndex() const { return transparent_index_; }
  void SetTransparentColorIndex(uint8_t index) { transparent_index_ = index; }
  uint16_t Delay() const { return delay_; }
  void SetDelay(uint16_t delay) { delay_ = delay; }

  // 0x21 0xF9 4 flags delay(2, little-endian) index 0.
  void SaveToStream(ByteWriter* stream) const;

 private:
  bool transparent_ = false;
  uint8_t transparent_index_ = 0;
  uint16_t delay_ = 0;
};

class TGIFFrame {
 public:
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Sets the size and makes Data() width x height zero bytes.
  // REQUIRES: 0 <= width, height <= 65535.
  void SetSize(int width, int height);

  TGIFColorMap& ColorMap() { return color_map_; }
  const TGIFColorMap& ColorMap() const { return color_map_; }
  // One colour-map index per pixel, rows top to bottom.
  std::vector<uint8_t>& Data() { return data_; }
  const std::vector<uint8_t>& Data() const { return data_; }

  // Appends a new extension and returns it; the reference lives until the
  // next extension is added.
  TGIFGraphicControlExtension& AddGraphicControlExtension();
  const std::vector<TGIFGraphicControlExtension>& Extensions() const { return extensions_; }
  std::vector<TGIFGraphicControlExtension>& Extensions() { return extensions_; }

 private:
  int width_ = 0;
  int height_ = 0;
  TGIFColorMap color_map_;
  std::vector<uint8_t> data_;
  std::vector<TGIFGraphicControlExtension> extensions_;
};

class TGIFImage {
 public:
  // An empty image: logical screen 0 x 0, no colours, no frames.
  TGIFImage() = default;
  TGIFImage(const TGIFImage&) = delete;
  TGIFImage& operator=(const TGIFImage&) = delete;

  // Reduction of 24-bit bitmaps (default rmQuantize), the dithering used by
  // it (default dmFloydSteinberg) and the most colours it keeps as a power of
  // two (default 8: 256 colours; values are clamped to 1..8).
  TColorReduction ColorReduction() const { return color_reduction_; }
  void SetColorReduction(TColorReduction reduction) { color_reduction_ = reduction; }
  TDitherMode DitherMode() const { return dither_mode_; }
  void SetDitherMode(TDitherMode mode) { dither_mode_ = mode; }
  int ReductionBits() const { return reduction_bits_; }
  void SetReductionBits(int bits);

  // Replaces the image by one frame holding `bitmap`. A 1-, 4- or 8-bit bitmap
  // is taken as it is: its whole palette becomes the frame's local colour map
  // and each pixel's index one byte (indices past the palette become 0). A
  // 24-bit bitmap is first reduced by ColorReduction. A bitmap without pixels
  // gives a 0 x 0 frame without data. The logical screen takes the frame's
  // size. Throws EGIFError when rmNone meets too many colours, and "Image is
  // too large for the GIF format" for a side longer than 65535 pixels (the
  // file's size fields have 16 bits).
  void Assign(const TBitmap& bitmap);

  // Moves every frame onto one global colour map holding exactly the colours
  // the pixels use: unused entries dropped, equal colours merged, the most
  // used first, colours used equally often in the order they first appear in
  // the frames' maps (so the output is reproducible). The local maps are
  // emptied and the pixels renumbered; the global map is flagged optimized.
  void OptimizeColorMap();

  // The transparency a chart asks for: adds a graphic control extension to
  // frame 0 that marks the first entry of `colour` in the global colour map as
  // transparent, or, when the map lacks the colour, an extension without a
  // transparent colour (flags 0, index 0). Call after OptimizeColorMap.
  // Does nothing when there is no frame.
  void ApplyTransparency(TColor colour);

  int Width() const { return screen_width_; }
  int Height() const { return screen_height_; }
  TGIFColorMap& ColorMap() { return global_map_; }
  const TGIFColorMap& ColorMap() const { return global_map_; }
  std::vector<TGIFFrame>& Images() { return frames_; }
  const std::vector<TGIFFrame>& Images() const { return frames_; }

  // Writes the GIF file. Throws EGIFError "Color not in color table" when a
  // pixel lies outside the table in force, and whatever the stream throws.
  void SaveToStream(ByteWriter* stream) const;

 private:
  TColorReduction color_reduction_ = TColorReduction::rmQuantize;
  TDitherMode dither_mode_ = TDitherMode::dmFloydSteinberg;
  int reduction_bits_ = 8;
  int screen_width_ = 0;
  int screen_height_ = 0;
  TGIFColorMap global_map_;
  std::vector<TGIFFrame> frames_;
};

}  // namespace plotvane

#endif  // PLOTVANE_IMAGING_GIF_H_
