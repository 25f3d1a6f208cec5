// TFontInstance: one font at one pixel size and direction, ready to measure
// and draw text. Instances are made and cached per thread, so FreeType's
// faces, which are not safe to share, never meet two threads.
//
// Glossary (see also canvas/font.h)
//   - ppem: pixels per em, the size FreeType scales outlines to. A negative
//     font height is the ppem itself; a positive one asks for a cell height
//     and is turned into the largest ppem whose cell does not exceed it.
//   - measured advance: the advance width text measuring reports, from
//     outlines hinted for grey-level output.
//   - drawn advance: the distance the pen moves after drawing a glyph, from
//     outlines hinted for monochrome output. The two may differ by a pixel
//     for some glyphs; the text cell always uses the measured advances.
//   - glyph image: a monochrome bitmap of one glyph, placed relative to the
//     pen position on the baseline, y growing downwards.
//   - fallback face: a face that draws a code point the font lacks (see
//     canvas/font_lookup.h), at the font's ppem and direction, measured and
//     drawn with its own advances on the font's baseline, within the font's
//     cell. The font's own metrics stay those of the text.
#ifndef PLOTVANE_CANVAS_FONT_INSTANCE_H_
#define PLOTVANE_CANVAS_FONT_INSTANCE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "canvas/font.h"

namespace plotvane {

struct TFontFile;

// The code point a decoder passes for a unit that encodes none (an unpaired
// surrogate): it draws the missing-glyph box.
constexpr char32_t kNoCodePoint = 0xFFFFFFFF;

// Font sizes beyond this many pixels per em are drawn at this size: no bitmap
// can show more of a glyph, and every coordinate stays far from overflow.
constexpr int64_t kMaxPpem = int64_t{1} << 20;

// A box [left, right) x [top, bottom) in pixels relative to the pen, y down.
struct TPixelBox {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;
  bool Empty() const { return left >= right || top >= bottom; }
};

// A monochrome glyph bitmap. Rows run from the top, one bit a pixel, the
// leftmost pixel in the high-order bit.
struct TGlyphImage {
  int64_t left = 0;  // column of the first pixel relative to the pen
  int64_t top = 0;   // row of the first pixel relative to the pen
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes a row
  std::vector<uint8_t> bits;

  bool Test(int x, int y) const {
    return (bits[static_cast<size_t>(y) * pitch + (x >> 3)] & (0x80 >> (x & 7))) != 0;
  }
};

// The position and thickness of a decoration line (underline, strike-out):
// the line covers `thickness` rows starting `offset` rows below the baseline
// (negative offsets lie above it), in the text's own direction.
struct TDecorationLine {
  int offset = 0;
  int thickness = 0;
};

class TThreadFonts;

// Whole renderings of glyphs too large for a font instance to keep, for one
// drawing. A glyph many times the size of the bitmap is only ever cut to
// what shows; one no larger than about two bitmaps is rendered whole once
// and painted from at every place it lands, which costs little more than
// cutting it once and keeps its pixels the same wherever the bitmap's edges
// cut it. A store belongs to the canvas of one bitmap, so what it holds goes
// when that drawing does; it holds at most as many bytes as the bitmap has
// pixels.
class TGlyphStore {
 public:
  explicit TGlyphStore(int64_t bitmap_pixels);
  TGlyphStore(const TGlyphStore&) = delete;
  TGlyphStore& operator=(const TGlyphStore&) = delete;

  // Whether the store takes the rendering of a glyph box of `pixels` pixels:
  // at most a quarter of its bytes, so that several glyphs fit.
  bool Takes(int64_t pixels) const;
  // The bitmap size the store was made for.
  int64_t BitmapPixels() const { return bitmap_pixels_; }

 private:
  friend class TFontInstance;
  struct Entry {
    uint64_t instance;  // the serial number of the font instance
    uint32_t glyph;
    TGlyphImage image;
  };
  // The entry of `glyph` of instance `instance`, made most recently used;
  // null when there is none.
  const TGlyphImage* Find(uint64_t instance, uint32_t glyph);
  // Keeps `image`, dropping the least recently used entries to make room.
  const TGlyphImage& Keep(uint64_t instance, uint32_t glyph, TGlyphImage&& image);

  int64_t bitmap_pixels_;
  size_t max_bytes_;
  size_t bytes_ = 0;
  std::vector<Entry> entries_;  // least recently used first
};

class TFontInstance {
 public:
  // Instances are made only by the calling thread's font table.
  class Passkey {
    Passkey() = default;
    friend class TThreadFonts;
  };
  explicit TFontInstance(Passkey);
  TFontInstance(const TFontInstance&) = delete;
  TFontInstance& operator=(const TFontInstance&) = delete;
  ~TFontInstance();

  // Cell height, ascent, descent, leadings and character widths in pixels.
  // A turned font reports the metrics of the unturned one.
  const TTextMetric& Metrics() const { return metrics_; }
  TDecorationLine Underline() const { return underline_; }
  TDecorationLine StrikeOut() const { return strike_out_; }
  // The direction in tenths of a degree, counter-clockwise, in [0, 3600).
  int Escapement() const { return escapement_; }

  // The advance width of `code_point` as text measuring reports it, in
  // pixels (never negative). A code point the font lacks measures as its
  // fallback face's glyph, or as the font's missing-glyph box when no
  // installed face has it.
  int MeasuredAdvance(char32_t code_point);

  // The pixels per em the font is drawn at.
  int64_t Ppem() const;
  // The drawn advance of `code_point` (as DrawnGlyph gives it), without
  // rendering its image.
  int64_t DrawnAdvance(char32_t code_point);
  // The family name of the font's own face.
  const std::string& Family() const;
  // The family name of the face that draws `code_point`: the font's own or,
  // for a code point it lacks, its fallback face's. `*missing` tells whether
  // no installed face has it, so that the font's missing-glyph box stands
  // for it.
  const std::string& FaceFamily(char32_t code_point, bool* missing);

  // The image of `code_point`'s glyph, turned by the escapement, as far as it
  // reaches into `visible` (relative to the pen), and its drawn advance in
  // pixels (along the unturned line). The image may extend beyond `visible`:
  // only glyphs too large to keep whole are cut to it. It is empty when the
  // glyph has no pixels in `visible`, and then nothing was rendered. A glyph
  // too large to keep is rendered whole into `store` (may be null) when the
  // store takes it, and drawn from there. The returned image stays
  // valid until the next call on this instance or `store`. A code point the
  // font lacks is drawn as MeasuredAdvance measures it.
  const TGlyphImage& DrawnGlyph(char32_t code_point, const TPixelBox& visible, int64_t* advance,
                                TGlyphStore* store = nullptr);

 private:
  friend class TThreadFonts;
  struct Impl;

  // The instance of the fallback face that draws `code_point`, which this
  // font lacks; null when no installed face has it.
  TFontInstance* Fallback(char32_t code_point);

  std::unique_ptr<Impl> impl_;
  uint64_t serial_;  // unique in the process: names the instance in a TGlyphStore
  TTextMetric metrics_;
  TDecorationLine underline_;
  TDecorationLine strike_out_;
  int escapement_ = 0;
};

// The pixels of the glyph images the calling thread has rendered so far,
// whole or cut: the rasteriser's share of what drawing text has cost.
int64_t RenderedGlyphPixels();

// The instance that draws `font` (its name, height, bold and italic style and
// escapement) on the calling thread. The reference stays valid until the next
// call of AcquireFontInstance on the same thread.
// Throws EFontError when no font can be loaded at all.
TFontInstance& AcquireFontInstance(const TFont& font);

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_FONT_INSTANCE_H_
