// Text on the canvas: measuring, single lines (TextOut) and blocks of lines
// (DrawText), in the canvas's current font.
//
// A line of text is laid out like this:
//   1. Its width is the sum of the measured advances of its code points,
//      each in the face that draws it (a fallback face's for a code point
//      the font lacks); its cell is that width by the font's cell height,
//      the baseline lying `ascent` below the cell's top edge.
//   2. The text alignment picks the reference point in the cell: left, centre
//      (half the width, rounded towards the left) or right; top, baseline or
//      bottom. For a turned font these are taken along the text's own
//      direction and rounded towards zero, one axis at a time.
//   3. With a solid brush the cell, turned with the text, is filled first.
//   4. Each glyph is drawn at the pen, which starts on the baseline at the
//      cell's start. Along an unturned line it moves by each glyph's drawn
//      advance, which may differ from the measured one by a pixel, so glyphs
//      may end a little short of or beyond the cell; along a turned line
//      each glyph sits where the measured advances before it lead.
//   5. Underline and strike-out are filled across the width in the font
//      colour.
// What a line costs follows the pixels it can reach: a line whose cell
// misses the clip draws no glyph, a glyph whose box misses it is placed but
// never rendered, glyph images are painted a run of pixels at a time, and
// cells and bands are filled only where they meet the clip. Drawing makes
// the bitmap's stop test before each line and glyph.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "canvas/bitmap.h"
#include "canvas/canvas.h"
#include "canvas/font_instance.h"
#include "canvas/raster.h"
#include "canvas/recording.h"
#include "canvas/text_layout.h"

namespace plotvane {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Reads UTF-16 code points; a surrogate without its partner reads as
// kNoCodePoint.
class Utf16Reader {
 public:
  Utf16Reader(const char16_t* begin, const char16_t* end) : p_(begin), end_(end) {}
  bool Done() const { return p_ == end_; }
  const char16_t* Position() const { return p_; }
  char32_t Next() {
    const char32_t unit = *p_++;
    if (unit < 0xD800 || unit > 0xDFFF) return unit;
    if (unit <= 0xDBFF && p_ != end_ && *p_ >= 0xDC00 && *p_ <= 0xDFFF) {
      return 0x10000 + ((unit - 0xD800) << 10) + (*p_++ - 0xDC00);
    }
    return kNoCodePoint;
  }

 private:
  const char16_t* p_;
  const char16_t* end_;
};

// A stretch of UTF-16 text: one line of a block, or a whole TextOut string.
struct TextSpan {
  const char16_t* begin;
  const char16_t* end;
};

int64_t MeasureSpan(TFontInstance& font, TextSpan span) {
  int64_t width = 0;
  for (Utf16Reader r(span.begin, span.end); !r.Done();) width += font.MeasuredAdvance(r.Next());
  return width;
}

int SaturateToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Paints pixels in one colour (a raster surface: the palette entry nearest to
// it on indexed bitmaps, the colour itself on 24-bit ones). Pixels outside
// `clip` are left.
class Painter {
 public:
  Painter(TBitmap& bitmap, TColor colour, const TPixelBox& clip)
      : surface_(bitmap, colour), clip_(clip) {}

  const TPixelBox& Clip() const { return clip_; }

  // Paints [x0, x1) on row y; clipped.
  void Span(int64_t y, int64_t x0, int64_t x1) {
    if (y < clip_.top || y >= clip_.bottom) return;
    surface_.Span(y, std::max(x0, clip_.left), std::min(x1, clip_.right));
  }

  void Box(const TPixelBox& box) {
    const int64_t left = std::max(box.left, clip_.left), right = std::min(box.right, clip_.right);
    const int64_t top = std::max(box.top, clip_.top), bottom = std::min(box.bottom, clip_.bottom);
    for (int64_t y = top; y < bottom; ++y) surface_.Span(y, left, right);
  }

  // Fills the polygon (even-odd) as the raster rules fill polygons: a pixel
  // is painted when its top-left corner lies inside, or on a left or top
  // edge.
  void Polygon(const double (*points)[2], int count) {
    double y_min = points[0][1], y_max = points[0][1];
    for (int i = 1; i < count; ++i) {
      y_min = std::min(y_min, points[i][1]);
      y_max = std::max(y_max, points[i][1]);
    }
    const int64_t first = std::max<int64_t>(clip_.top, ToPixel(std::ceil(y_min)));
    const int64_t last = std::min<int64_t>(clip_.bottom, ToPixel(std::ceil(y_max)));
    std::vector<double> xs;
    for (int64_t y = first; y < last; ++y) {
      const double yc = static_cast<double>(y);  // the row's top edge
      xs.clear();
      for (int i = 0; i < count; ++i) {
        const double* p = points[i];
        const double* q = points[(i + 1) % count];
        if ((p[1] <= yc && yc < q[1]) || (q[1] <= yc && yc < p[1])) {
          xs.push_back(p[0] + (yc - p[1]) * (q[0] - p[0]) / (q[1] - p[1]));
        }
      }
      std::sort(xs.begin(), xs.end());
      for (size_t k = 0; k + 1 < xs.size(); k += 2) {
        const int64_t left = std::max<int64_t>(clip_.left, ToPixel(std::ceil(xs[k])));
        const int64_t right = std::min<int64_t>(clip_.right, ToPixel(std::ceil(xs[k + 1])));
        surface_.Span(y, left, right);
      }
    }
  }

 private:
  // Far coordinates are held just outside any bitmap.
  static int64_t ToPixel(double v) {
    return static_cast<int64_t>(std::clamp(v, -1e9, 1e9));
  }

  raster::Surface surface_;
  TPixelBox clip_;
};

// How a line is drawn: the canvas state it reads.
struct LineStyle {
  unsigned align;
  TColor colour;
  bool opaque;
  TColor background;
  bool underline;
  bool strike_out;
};

LineStyle StyleOf(unsigned align, const TFont& font, const TBrush& brush) {
  return {align,
          font.Color,
          brush.Style() == TBrushStyle::bsSolid,
          brush.Color(),
          (font.Style & fsUnderline) != 0,
          (font.Style & fsStrikeOut) != 0};
}

// The pen position on the baseline at the start of a line whose reference
// point is (x, y).
void LineOrigin(const TTextMetric& tm, int escapement, int64_t width, unsigned align, int x, int y,
                int64_t* pen_x, int64_t* pen_y) {
  const unsigned horizontal = align & TA_CENTER;
  const unsigned vertical = align & TA_BASELINE;
  if (escapement == 0) {
    int64_t px = x, py = y;
    if (horizontal == TA_CENTER) px -= width / 2;
    if (horizontal == TA_RIGHT) px -= width;
    if (vertical == TA_TOP) py += tm.tmAscent;
    if (vertical == TA_BOTTOM) py -= tm.tmDescent;
    *pen_x = px;
    *pen_y = py;
    return;
  }
  const double angle = escapement * kPi / 1800.0;
  const double cos_e = std::cos(angle), sin_e = std::sin(angle);
  // The width along the text's direction, each axis rounded towards zero.
  const double wx = std::trunc(cos_e * static_cast<double>(width));
  const double wy = std::trunc(-sin_e * static_cast<double>(width));
  double px = x, py = y;
  if (horizontal == TA_CENTER) {
    px -= std::trunc(wx / 2);
    py -= std::trunc(wy / 2);
  }
  if (horizontal == TA_RIGHT) {
    px -= wx;
    py -= wy;
  }
  if (vertical == TA_TOP) {
    px = std::trunc(px + tm.tmAscent * sin_e);
    py = std::trunc(py + tm.tmAscent * cos_e);
  }
  if (vertical == TA_BOTTOM) {
    px = std::trunc(px - tm.tmDescent * sin_e);
    py = std::trunc(py - tm.tmDescent * cos_e);
  }
  *pen_x = static_cast<int64_t>(std::clamp(px, -4e18, 4e18));
  *pen_y = static_cast<int64_t>(std::clamp(py, -4e18, 4e18));
}

// The band `offset` .. `offset + thickness` rows below the baseline (in the
// text's direction) from the pen origin across `width`. A turned band is the
// quadrilateral through its corners, each corner rounded towards zero as it
// is stepped to: along the width first, then across the thickness.
TBand BandOf(int escapement, int64_t pen_x, int64_t pen_y, int64_t width, int offset,
             int thickness) {
  TBand band;
  double(&c)[4][2] = band.corners;
  const double x = static_cast<double>(pen_x), y = static_cast<double>(pen_y);
  if (escapement == 0) {
    const double top = y + offset, right = x + static_cast<double>(width);
    const double bottom = top + thickness;
    c[0][0] = c[3][0] = x;
    c[1][0] = c[2][0] = right;
    c[0][1] = c[1][1] = top;
    c[2][1] = c[3][1] = bottom;
    return band;
  }
  const double angle = escapement * kPi / 1800.0;
  const double cos_e = std::cos(angle), sin_e = std::sin(angle);
  const double wx = std::trunc(cos_e * static_cast<double>(width));
  const double wy = std::trunc(-sin_e * static_cast<double>(width));
  c[0][0] = std::trunc(x + offset * sin_e);
  c[0][1] = std::trunc(y + offset * cos_e);
  c[1][0] = std::trunc(x + wx + offset * sin_e);
  c[1][1] = std::trunc(y + wy + offset * cos_e);
  c[2][0] = std::trunc(c[1][0] + thickness * sin_e);
  c[2][1] = std::trunc(c[1][1] + thickness * cos_e);
  c[3][0] = std::trunc(c[0][0] + thickness * sin_e);
  c[3][1] = std::trunc(c[0][1] + thickness * cos_e);
  return band;
}

// Fills the band of BandOf.
void FillBand(Painter& painter, int escapement, int64_t pen_x, int64_t pen_y, int64_t width,
              int offset, int thickness) {
  if (escapement == 0) {
    painter.Box({pen_x, pen_y + offset, pen_x + width, pen_y + offset + thickness});
    return;
  }
  painter.Polygon(BandOf(escapement, pen_x, pen_y, width, offset, thickness).corners, 4);
}

// The 64 pixels of a glyph row from column `x` (a multiple of 8) on, the
// first in the high-order bit; pixels past the row's `bytes` read as clear.
uint64_t RowWord(const uint8_t* row, int64_t x, int64_t bytes) {
  const int64_t at = x >> 3;
  if (at + 8 <= bytes) {
    uint64_t word;
    std::memcpy(&word, row + at, 8);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
  }
  uint64_t word = 0;
  for (int64_t k = 0; at + k < bytes; ++k) {
    word |= static_cast<uint64_t>(row[at + k]) << (56 - 8 * k);
  }
  return word;
}

// Paints the set pixels of a glyph image that lie in `visible` (relative to
// the pen at (pen_x, pen_y)), a run of them at a time, reading each row 64
// pixels at a time.
void PaintGlyph(Painter& painter, const TGlyphImage& glyph, const TPixelBox& visible,
                int64_t pen_x, int64_t pen_y) {
  const int64_t y_first = std::max<int64_t>(0, visible.top - glyph.top);
  const int64_t y_last = std::min<int64_t>(glyph.height, visible.bottom - glyph.top);
  const int64_t x_first = std::max<int64_t>(0, visible.left - glyph.left);
  const int64_t x_last = std::min<int64_t>(glyph.width, visible.right - glyph.left);
  if (x_first >= x_last) return;
  const int64_t x0 = pen_x + glyph.left;
  constexpr uint64_t kAll = ~uint64_t{0};
  for (int64_t gy = y_first; gy < y_last; ++gy) {
    const uint8_t* row = glyph.bits.data() + static_cast<size_t>(gy) * glyph.pitch;
    const int64_t y = pen_y + glyph.top + gy;
    int64_t run = -1;  // the first column of the run being read, or -1
    for (int64_t col = x_first & ~int64_t{63}; col < x_last; col += 64) {
      uint64_t word = RowWord(row, col, glyph.pitch);
      if (col < x_first) word &= kAll >> (x_first - col);
      if (x_last - col < 64) word &= ~(kAll >> (x_last - col));
      // Alternately the next set and the next clear pixel of the word.
      for (int at = 0; at < 64;) {
        const uint64_t rest = (run < 0 ? word : ~word) << at;
        if (rest == 0) break;
        at += __builtin_clzll(rest);
        if (run < 0) {
          run = col + at;
        } else {
          painter.Span(y, x0 + run, x0 + col + at);
          run = -1;
        }
      }
    }
    if (run >= 0) painter.Span(y, x0 + run, x0 + x_last);
  }
}

// Draws the glyphs of a line whose pen starts at (pen_x, pen_y). Along an
// unturned line the pen moves by each glyph's drawn advance. Along a turned
// line each glyph is placed from the line's start by the measured advances
// before it, turned, each axis rounded towards zero. A glyph wholly outside
// the clip costs its place in the line and nothing more.
void DrawGlyphs(Painter& painter, TFontInstance& font, TextSpan span, int64_t pen_x,
                int64_t pen_y, const TStopTest& stop, TGlyphStore* store) {
  const TPixelBox& clip = painter.Clip();
  const bool turned = font.Escapement() != 0;
  const double angle = font.Escapement() * kPi / 1800.0;
  const double cos_e = std::cos(angle), sin_e = std::sin(angle);
  const int64_t start_x = pen_x, start_y = pen_y;
  int64_t measured = 0;
  for (Utf16Reader r(span.begin, span.end); !r.Done();) {
    stop.Check();
    const char32_t code_point = r.Next();
    if (turned) {
      const double along = static_cast<double>(measured);
      pen_x = start_x + static_cast<int64_t>(std::clamp(std::trunc(along * cos_e), -4e18, 4e18));
      pen_y = start_y + static_cast<int64_t>(std::clamp(std::trunc(-along * sin_e), -4e18, 4e18));
      measured += font.MeasuredAdvance(code_point);
    }
    const TPixelBox visible{clip.left - pen_x, clip.top - pen_y, clip.right - pen_x,
                            clip.bottom - pen_y};
    int64_t advance = 0;
    const TGlyphImage& glyph = font.DrawnGlyph(code_point, visible, &advance, store);
    PaintGlyph(painter, glyph, visible, pen_x, pen_y);
    pen_x += advance;
  }
}

// Whether a glyph of a line whose pen starts at (pen_x, pen_y) may reach
// `clip`. Glyphs are cut to the rows of the text cell, so nothing of them
// lies farther from the baseline than the cell does; a turned line allows a
// few pixels for the rounding of its turned glyph boxes and pen positions.
bool LineMeetsClip(const TTextMetric& tm, int escapement, int64_t pen_x, int64_t pen_y,
                   const TPixelBox& clip) {
  if (escapement == 0) {
    return pen_y - tm.tmAscent < clip.bottom && pen_y + tm.tmDescent > clip.top;
  }
  constexpr double kSlack = 4;
  const double angle = escapement * kPi / 1800.0;
  const double across_x = std::sin(angle), across_y = std::cos(angle);  // down the cell
  double nearest = 0, farthest = 0;
  bool first = true;
  for (const int64_t x : {clip.left, clip.right}) {
    for (const int64_t y : {clip.top, clip.bottom}) {
      const double d = static_cast<double>(x - pen_x) * across_x +
                       static_cast<double>(y - pen_y) * across_y;
      nearest = first ? d : std::min(nearest, d);
      farthest = first ? d : std::max(farthest, d);
      first = false;
    }
  }
  return farthest > -tm.tmAscent - kSlack && nearest < tm.tmDescent + kSlack;
}

// Draws one line with its reference point at (x, y), clipped to `clip`
// (which lies inside the bitmap).
void DrawLine(TBitmap& bitmap, TFontInstance& font, const LineStyle& style, int x, int y,
              TextSpan span, const TPixelBox& clip, TGlyphStore* store) {
  const TTextMetric& tm = font.Metrics();
  const int escapement = font.Escapement();
  const int64_t width = MeasureSpan(font, span);
  int64_t pen_x = 0, pen_y = 0;
  LineOrigin(tm, escapement, width, style.align, x, y, &pen_x, &pen_y);
  if (style.opaque) {
    Painter background(bitmap, style.background, clip);
    FillBand(background, escapement, pen_x, pen_y, width, -tm.tmAscent, tm.tmHeight);
  }
  Painter ink(bitmap, style.colour, clip);
  if (LineMeetsClip(tm, escapement, pen_x, pen_y, clip)) {
    DrawGlyphs(ink, font, span, pen_x, pen_y, bitmap.StopTest(), store);
  }
  if (style.underline) {
    const TDecorationLine line = font.Underline();
    FillBand(ink, escapement, pen_x, pen_y, width, line.offset, line.thickness);
  }
  if (style.strike_out) {
    const TDecorationLine line = font.StrikeOut();
    FillBand(ink, escapement, pen_x, pen_y, width, line.offset, line.thickness);
  }
}

// The lines of a block: broken at CR, LF, CR LF and LF CR. A break at the
// very end starts no further line; an empty text is one empty line.
std::vector<TextSpan> SplitLines(std::u16string_view text) {
  std::vector<TextSpan> lines;
  const char16_t* p = text.data();
  const char16_t* end = p + text.size();
  do {
    const char16_t* start = p;
    while (p != end && *p != u'\r' && *p != u'\n') ++p;
    lines.push_back({start, p});
    if (p != end) {
      const char16_t first = *p++;
      if (p != end && (*p == u'\r' || *p == u'\n') && *p != first) ++p;
    }
  } while (p != end);
  return lines;
}

// Removes mnemonic prefixes from a line: "&&" stands for "&", and "&" before
// any other character marks that character, whose position in `out` is
// returned (or -1).
int StripPrefixes(TextSpan line, std::u16string* out) {
  int marked = -1;
  out->clear();
  for (const char16_t* p = line.begin; p != line.end; ++p) {
    if (*p == u'&' && p + 1 != line.end) {
      ++p;
      if (*p != u'&') marked = static_cast<int>(out->size());
    }
    out->push_back(*p);
  }
  return marked;
}

// One line of a block as DrawText places it: its text (without mnemonic
// prefixes unless DT_NOPREFIX), its reference point, and the underline of
// its marked character, one row below the baseline.
struct BlockLine {
  TextSpan text;
  int x;
  int y;
  bool marked;
  TPixelBox mark;
};

// Calls `place` with each line of the block `text` in `rect`, in order.
template <typename F>
void PlaceBlockLines(TFontInstance& font, std::u16string_view text, const TRect& rect,
                     unsigned format, F&& place) {
  const int line_height = font.Metrics().tmHeight;
  std::u16string stripped;
  int64_t y = rect.Top;
  for (TextSpan line : SplitLines(text)) {
    int marked = -1;
    if ((format & DT_NOPREFIX) == 0) {
      marked = StripPrefixes(line, &stripped);
      line = {stripped.data(), stripped.data() + stripped.size()};
    }
    const int64_t width = MeasureSpan(font, line);
    int64_t x = rect.Left;
    if ((format & DT_CENTER) != 0) {
      x = (static_cast<int64_t>(rect.Left) + rect.Right - width) / 2;
    } else if ((format & DT_RIGHT) != 0) {
      x = rect.Right - width;
    }
    BlockLine placed{line, SaturateToInt(x), SaturateToInt(y), marked >= 0, {}};
    if (placed.marked) {
      const int64_t row = placed.y + font.Metrics().tmAscent + 1;
      placed.mark = {placed.x + MeasureSpan(font, {line.begin, line.begin + marked}), row,
                     placed.x + MeasureSpan(font, {line.begin, line.begin + marked + 1}) - 1,
                     row + 1};
    }
    place(placed);
    y += line_height;
  }
}

}  // namespace

TGlyphStore& TCanvas::GlyphStore() {
  const int64_t pixels = static_cast<int64_t>(bitmap_.Width()) * bitmap_.Height();
  if (glyph_store_ == nullptr || glyph_store_->BitmapPixels() != pixels) {
    glyph_store_ = std::make_unique<TGlyphStore>(pixels);
  }
  return *glyph_store_;
}

TSize TCanvas::TextExtent(const std::u16string& text) {
  if (text.empty()) return {0, 0};
  TFontInstance& font = AcquireFontInstance(font_);
  const int64_t width = MeasureSpan(font, {text.data(), text.data() + text.size()});
  return {SaturateToInt(width), font.Metrics().tmHeight};
}

TTextMetric TCanvas::GetTextMetrics() { return AcquireFontInstance(font_).Metrics(); }

void TCanvas::TextOut(int x, int y, const std::u16string& text) {
  if (bitmap_.Empty() || text.empty()) return;
  bitmap_.StopTest().Check();
  TFontInstance& font = AcquireFontInstance(font_);
  const LineStyle style = StyleOf(text_align_, font_, brush_);
  const TPixelBox clip{0, 0, bitmap_.Width(), bitmap_.Height()};
  bitmap_.Recording().AddText(TOpKind::kText, font_, brush_, text_align_, 0, {x, y}, text);
  DrawLine(bitmap_, font, style, x, y, {text.data(), text.data() + text.size()}, clip,
           &GlyphStore());
}

int TCanvas::DrawText(const std::u16string& text, TRect& rect, unsigned format) {
  TFontInstance& font = AcquireFontInstance(font_);
  const int line_height = font.Metrics().tmHeight;
  const bool prefixes = (format & DT_NOPREFIX) == 0;
  const std::vector<TextSpan> lines = SplitLines(text);
  const int64_t height = static_cast<int64_t>(line_height) * static_cast<int64_t>(lines.size());

  std::u16string stripped;
  if ((format & DT_CALCRECT) != 0) {
    int64_t widest = 0;
    for (TextSpan line : lines) {
      if (prefixes) {
        StripPrefixes(line, &stripped);
        line = {stripped.data(), stripped.data() + stripped.size()};
      }
      widest = std::max(widest, MeasureSpan(font, line));
    }
    rect.Right = SaturateToInt(rect.Left + widest);
    rect.Bottom = SaturateToInt(rect.Top + height);
    return SaturateToInt(height);
  }
  if (bitmap_.Empty()) return SaturateToInt(height);

  const LineStyle style = StyleOf(text_align_, font_, brush_);
  TPixelBox clip{0, 0, bitmap_.Width(), bitmap_.Height()};
  if ((format & DT_NOCLIP) == 0) {
    clip = {std::max<int64_t>(clip.left, rect.Left), std::max<int64_t>(clip.top, rect.Top),
            std::min<int64_t>(clip.right, rect.Right), std::min<int64_t>(clip.bottom, rect.Bottom)};
    if (clip.Empty()) return SaturateToInt(height);
  }
  bitmap_.Recording().AddText(TOpKind::kTextBlock, font_, brush_, text_align_, format,
                              {rect.Left, rect.Top, rect.Right, rect.Bottom}, text);
  PlaceBlockLines(font, text, rect, format, [&](const BlockLine& line) {
    bitmap_.StopTest().Check();
    DrawLine(bitmap_, font, style, line.x, line.y, line.text, clip, &GlyphStore());
    if (line.marked) Painter(bitmap_, font_.Color, clip).Box(line.mark);
  });
  return SaturateToInt(height);
}

// ---- Layout for other writers ----------------------------------------------

namespace {

// The index of `family` in `layout`'s faces, added when new.
uint16_t FaceIndex(TTextLayout& layout, const std::string& family) {
  for (size_t i = 0; i < layout.faces.size(); ++i) {
    if (layout.faces[i] == family) return static_cast<uint16_t>(i);
  }
  layout.faces.push_back(family);
  return static_cast<uint16_t>(layout.faces.size() - 1);
}

// One line placed as DrawLine draws it, its glyphs as DrawGlyphs places them.
TLaidLine LayOutLine(TFontInstance& font, TTextLayout& layout, const TFont& description,
                     unsigned align, int x, int y, TextSpan span) {
  const TTextMetric& tm = font.Metrics();
  const int escapement = font.Escapement();
  TLaidLine line;
  line.text.assign(span.begin, span.end);
  line.width = MeasureSpan(font, span);
  LineOrigin(tm, escapement, line.width, align, x, y, &line.pen_x, &line.pen_y);
  line.cell = BandOf(escapement, line.pen_x, line.pen_y, line.width, -tm.tmAscent, tm.tmHeight);
  if ((description.Style & fsUnderline) != 0) {
    const TDecorationLine d = font.Underline();
    line.decorations.push_back(
        BandOf(escapement, line.pen_x, line.pen_y, line.width, d.offset, d.thickness));
  }
  if ((description.Style & fsStrikeOut) != 0) {
    const TDecorationLine d = font.StrikeOut();
    line.decorations.push_back(
        BandOf(escapement, line.pen_x, line.pen_y, line.width, d.offset, d.thickness));
  }
  const double angle = escapement * kPi / 1800.0;
  const double cos_e = std::cos(angle), sin_e = std::sin(angle);
  int64_t pen_x = line.pen_x, pen_y = line.pen_y, measured = 0;
  for (Utf16Reader r(span.begin, span.end); !r.Done();) {
    TPlacedChar placed;
    placed.first = static_cast<size_t>(r.Position() - span.begin);
    const char32_t code_point = r.Next();
    placed.units = static_cast<uint8_t>(r.Position() - span.begin - placed.first);
    placed.face = FaceIndex(layout, font.FaceFamily(code_point, &placed.missing));
    if (escapement != 0) {
      const double along = static_cast<double>(measured);
      placed.x = line.pen_x +
                 static_cast<int64_t>(std::clamp(std::trunc(along * cos_e), -4e18, 4e18));
      placed.y = line.pen_y +
                 static_cast<int64_t>(std::clamp(std::trunc(-along * sin_e), -4e18, 4e18));
      measured += font.MeasuredAdvance(code_point);
    } else {
      placed.x = pen_x;
      placed.y = pen_y;
      pen_x += font.DrawnAdvance(code_point);
    }
    line.chars.push_back(placed);
  }
  return line;
}

TTextLayout StartLayout(TFontInstance& font) {
  TTextLayout layout;
  layout.ppem = font.Ppem();
  layout.escapement = font.Escapement();
  layout.metrics = font.Metrics();
  layout.faces.push_back(font.Family());
  return layout;
}

}  // namespace

TTextLayout LayOutText(const TFont& font, unsigned align, int x, int y,
                       std::u16string_view text) {
  TFontInstance& instance = AcquireFontInstance(font);
  TTextLayout layout = StartLayout(instance);
  layout.lines.push_back(
      LayOutLine(instance, layout, font, align, x, y, {text.data(), text.data() + text.size()}));
  return layout;
}

TTextLayout LayOutTextBlock(const TFont& font, unsigned align, std::u16string_view text,
                            const TRect& rect, unsigned format) {
  TFontInstance& instance = AcquireFontInstance(font);
  TTextLayout layout = StartLayout(instance);
  layout.clipped = (format & DT_NOCLIP) == 0;
  layout.clip = rect;
  PlaceBlockLines(instance, text, rect, format, [&](const BlockLine& line) {
    TLaidLine laid = LayOutLine(instance, layout, font, align, line.x, line.y, line.text);
    laid.marked = line.marked;
    laid.mark = line.mark;
    layout.lines.push_back(std::move(laid));
  });
  return layout;
}

}  // namespace plotvane
