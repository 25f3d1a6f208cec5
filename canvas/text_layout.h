// Text layout: where the canvas puts every glyph, cell and decoration line of
// a text, for a writer that draws the same text another way (with a
// viewer's own fonts, say) and must not let it drift from the pixels.
//
// The positions are the canvas's own, in bitmap pixels: each glyph's origin
// on the baseline (along an unturned line the pen moved by the drawn
// advances before it, along a turned line the measured advances turned and
// rounded towards zero), the cell, and the bands the canvas fills. A band
// along an unturned line is a box with whole-pixel corners; along a turned
// line, the quadrilateral whose pixels are those whose top-left corner it
// holds, as for polygons.
#ifndef PLOTVANE_CANVAS_TEXT_LAYOUT_H_
#define PLOTVANE_CANVAS_TEXT_LAYOUT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/font.h"
#include "canvas/font_instance.h"
#include "canvas/types.h"

namespace plotvane {

// One code point of a line and where its glyph goes.
struct TPlacedChar {
  size_t first = 0;    // its first UTF-16 unit in the line's text
  uint8_t units = 1;   // 1, or 2 for a surrogate pair
  bool missing = false;  // no face has it (or an unpaired surrogate): the
                         // font's missing-glyph box is drawn
  uint16_t face = 0;   // index into TTextLayout::faces
  int64_t x = 0;       // the glyph's origin on the baseline
  int64_t y = 0;
};

// A filled quadrilateral: corners in order, x then y.
struct TBand {
  double corners[4][2] = {};
};

struct TLaidLine {
  std::u16string text;  // as drawn: a block's mnemonic "&" removed
  int64_t pen_x = 0;    // the baseline's start
  int64_t pen_y = 0;
  int64_t width = 0;    // measured advances
  std::vector<TPlacedChar> chars;
  TBand cell;           // filled first when the text is opaque
  std::vector<TBand> decorations;  // underline, strike-out (font colour)
  bool marked = false;  // a block's mnemonic underline, in `mark`
  TPixelBox mark;
};

struct TTextLayout {
  int64_t ppem = 0;     // pixels per em of the font's own face
  int escapement = 0;   // tenths of a degree, counter-clockwise, [0, 3600)
  TTextMetric metrics;
  // Family names of the faces that draw the glyphs: [0] is the font's own,
  // the others its fallback faces.
  std::vector<std::string> faces;
  std::vector<TLaidLine> lines;
  // A block drawn without DT_NOCLIP is cut to its rectangle.
  bool clipped = false;
  TRect clip;
};

// The layout of TCanvas::TextOut(x, y, text) in `font` with the text
// alignment `align`.
// Throws EFontError when no font can be loaded at all.
TTextLayout LayOutText(const TFont& font, unsigned align, int x, int y, std::u16string_view text);

// The layout of TCanvas::DrawText(text, rect, format) in `font` with the text
// alignment `align` (format without DT_CALCRECT). Lines lying wholly outside
// a clipping rectangle are kept.
TTextLayout LayOutTextBlock(const TFont& font, unsigned align, std::u16string_view text,
                            const TRect& rect, unsigned format);

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_TEXT_LAYOUT_H_
