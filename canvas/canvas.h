// TCanvas: the drawing state of one bitmap (pen, brush, font, pen position,
// text alignment) and the drawing operations the charts are made of.
//
// Raster rules (they decide the exact pixels of every chart):
//   - Coordinates are bitmap pixels; everything outside the bitmap is clipped.
//   - Filled shapes (Rectangle, Ellipse, Pie, Polygon) leave their right and
//     bottom edges unpainted and accept their corners in either order.
//   - LineTo paints from the pen position up to, but not including, the end
//     point (1-pixel pens); wider pens are solid whatever their style and have
//     round ends.
//   - Dash and dot patterns apply to 1-pixel pens only; each LineTo starts the
//     pattern afresh. Under a solid brush the gaps take the brush colour (an
//     opaque background); under a clear brush they keep whatever was there.
//   - On indexed bitmaps every pixel drawn is a palette entry: the colour's
//     exact entry or, when missing, the nearest one. No smoothing colours ever
//     appear there.
// Drawing on an empty bitmap does nothing; measuring text still works.
// Every drawing operation makes the bitmap's stop test (TBitmap::StopTest)
// as it starts, and long ones now and then as they go; once the test says
// stop they throw EStopped, leaving what was painted so far.
#ifndef PLOTVANE_CANVAS_CANVAS_H_
#define PLOTVANE_CANVAS_CANVAS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "canvas/font.h"
#include "canvas/types.h"

namespace plotvane {

class TBitmap;
class TGlyphStore;
namespace raster {
class QuadrantPath;
}

// Pen styles by their platform ordinals.
enum class TPenStyle : uint8_t {
  psSolid = 0,
  psDash = 1,
  psDot = 2,
  psDashDot = 3,
  psDashDotDot = 4,
  psClear = 5,
  psInsideFrame = 6,
};

enum class TBrushStyle : uint8_t { bsSolid, bsClear };

struct TPen {
  TColor Color = 0;
  int Width = 1;  // pixels; values below 1 count as 1
  TPenStyle Style = TPenStyle::psSolid;
};

// A brush. Setting its colour makes a clear brush solid: drawers rely on that
// to get a filled shape or an opaque text background.
class TBrush {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor color) {
    color_ = color;
    style_ = TBrushStyle::bsSolid;
  }
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style) { style_ = style; }

 private:
  TColor color_ = 0xFFFFFF;
  TBrushStyle style_ = TBrushStyle::bsSolid;
};

// Text alignment flags (the reference point of drawn text), with the
// platform's values. Horizontal: left, right or centre; vertical: top,
// baseline or bottom.
enum : unsigned {
  TA_LEFT = 0,
  TA_RIGHT = 2,
  TA_CENTER = 6,
  TA_TOP = 0,
  TA_BOTTOM = 8,
  TA_BASELINE = 24,
};

// DrawText format flags used by the engine, with the platform's values.
enum : unsigned {
  DT_LEFT = 0x0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_WORDBREAK = 0x10,
  DT_NOCLIP = 0x100,
  DT_CALCRECT = 0x400,
  DT_NOPREFIX = 0x800,
};

class TCanvas {
 public:
  // REQUIRES: `bitmap` outlives the canvas (the bitmap owns its canvas).
  explicit TCanvas(TBitmap& bitmap);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // ---- State ------------------------------------------------------------
  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  // The font texts are drawn and measured with. Assigning a copy of an engine
  // font makes it current for the next text operation.
  TFont& Font() { return font_; }
  TPoint PenPos() const { return pen_pos_; }
  void SetPenPos(TPoint p) { pen_pos_ = p; }
  // Returns the previous flags.
  unsigned SetTextAlign(unsigned flags);
  unsigned GetTextAlign() const { return text_align_; }

  // ---- Shapes (filled with the brush, outlined with the pen) -------------
  // Box [x1, x2) x [y1, y2) with its corners in any order.
  void Rectangle(int x1, int y1, int x2, int y2);
  // The ellipse inscribed in the box.
  void Ellipse(int x1, int y1, int x2, int y2);
  // The wedge of the ellipse inscribed in the box, from the radial through
  // (x3, y3) counter-clockwise to the radial through (x4, y4).
  // Radials that meet at one point of the outline make it the whole ellipse.
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  // Pie, except that radials meeting at one point of the outline draw nothing
  // (the slice is too thin to show) and give false.
  bool PieSlice(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  // Closed polygon, alternate fill.
  void Polygon(const std::vector<TPoint>& points);

  // ---- Lines --------------------------------------------------------------
  void MoveTo(int x, int y) { pen_pos_ = {x, y}; }
  // Line from the pen position to (x, y), end point excluded; the pen
  // position becomes (x, y).
  void LineTo(int x, int y);

  // ---- Pixels --------------------------------------------------------------
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor colour);

  // ---- Text ----------------------------------------------------------------
  // Draws `text` (UTF-16) in the font colour with its reference point at
  // (x, y) as the text alignment says. With a solid brush the text cell is
  // first filled with the brush colour; with a clear brush only glyph pixels
  // change. A turned font (Escapement) turns the cell about the reference
  // point. A code point the font lacks is drawn, and measured, in the
  // closest installed face that has it, or as the font's missing-glyph box
  // when none has it; the cell keeps the font's height.
  void TextOut(int x, int y, const std::u16string& text);
  // Measures or draws a multi-line block (lines broken at CR, LF, CR LF and
  // LF CR; each line placed like TextOut at the left, centre or right of
  // `rect`, one cell height below the last) in `rect`. With DT_CALCRECT
  // nothing is drawn and `rect` receives the block's extent. Without
  // DT_NOCLIP drawing is clipped to `rect`; without DT_NOPREFIX "&" marks
  // the next character, which is underlined ("&&" is "&"). DT_WORDBREAK is
  // not applied: lines break only where the text breaks them. Returns the
  // block's height.
  int DrawText(const std::u16string& text, TRect& rect, unsigned format);
  // Advance width and cell height of `text` in the current font; a turned
  // font measures as the unturned one; an empty text measures 0 x 0.
  TSize TextExtent(const std::u16string& text);
  int TextWidth(const std::u16string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::u16string& text) { return TextExtent(text).cy; }
  TTextMetric GetTextMetrics();

 private:
  TBitmap& bitmap_;
  TPen pen_;
  TBrush brush_;
  TFont font_;
  TPoint pen_pos_;
  unsigned text_align_ = TA_LEFT | TA_TOP;
  // The outline path of the last Pie's box and the bitmap size it was made
  // for: the wedges of one pie share it instead of each walking it again.
  struct PiePath {
    int64_t left = 0, top = 0, right = 0, bottom = 0, walk_limit = 0;
    std::shared_ptr<const raster::QuadrantPath> path;
  };
  PiePath pie_path_;
  // Large glyphs this drawing repeats, rendered once (made on first use, and
  // anew when the bitmap's size changes).
  std::unique_ptr<TGlyphStore> glyph_store_;
  TGlyphStore& GlyphStore();
  // Pie and PieSlice; false when nothing was drawn.
  bool DrawWedge(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                 bool whole_when_radials_meet);
};

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_CANVAS_H_
