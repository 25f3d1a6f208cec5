// Small pieces every chart drawer stands on: the fonts the engine makes for
// one text, text alignment flags, the background behind a text, the scope
// that gives automatic settings back, and the clamp that keeps far-off
// positions inside the canvas's range.
#ifndef PLOTVANE_ENGINE_DRAWING_H_
#define PLOTVANE_ENGINE_DRAWING_H_

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "canvas/canvas.h"
#include "canvas/font.h"
#include "engine/chartix.h"
#include "engine/rounding.h"

namespace plotvane {

// Room for a face name in a font description, without its terminator.
constexpr size_t kFaceNameLength = 31;

// The font made for one text from `source` as a font description: its pixel
// height, bold (weight 700 against 400), italic, underline and strike-out,
// its face name cut to the description's room, every other member zero,
// turned by `escapement` tenths of a degree (900 reads upwards). The text is
// drawn in the source's colour. The caller assigns it to the canvas for the
// text and replaces it afterwards.
inline TFont MadeFont(const TFont& source, int escapement) {
  TFont font;
  font.Name = source.Name.substr(0, kFaceNameLength);
  font.Height = source.Height;
  font.Color = source.Color;
  font.Style = source.Style & (fsBold | fsItalic | fsUnderline | fsStrikeOut);
  font.Escapement = escapement;
  return font;
}

// Text alignment flags for a TTextAlign. Returns false for values outside
// the enumeration, which leave the alignment in force.
inline bool AlignFlags(int align, unsigned& flags) {
  static const unsigned kHorizontal[3] = {TA_LEFT, TA_CENTER, TA_RIGHT};
  static const unsigned kVertical[3] = {TA_TOP, TA_BASELINE, TA_BOTTOM};
  if (align < cxtaTopLeft || align > cxtaBottomRight) return false;
  flags = kHorizontal[align % 3] | kVertical[align / 3];
  return true;
}

// The background behind the texts drawn while it lives: an opaque fill of
// `colour`, or none when `transparent`; the brush style in force before is
// given back at the end.
//
// Setting a brush colour makes the brush solid, so the order of the steps
// decides which style comes back:
//  - kColourFirst: the colour is set, the (now solid) style remembered, then
//    cleared for a transparent text. Afterwards the brush is solid in
//    `colour`, whatever it was before.
//  - kStyleFirst: the style is remembered, then either cleared or the colour
//    set. Afterwards the brush has its earlier style again.
class TextBackground {
 public:
  enum Order { kColourFirst, kStyleFirst };

  TextBackground(TCanvas& canvas, TColor colour, bool transparent, Order order)
      : brush_(canvas.Brush()) {
    if (order == kColourFirst) brush_.SetColor(colour);
    style_ = brush_.Style();
    if (transparent) {
      brush_.SetStyle(TBrushStyle::bsClear);
    } else if (order == kStyleFirst) {
      brush_.SetColor(colour);
    }
  }
  ~TextBackground() { brush_.SetStyle(style_); }
  TextBackground(const TextBackground&) = delete;
  TextBackground& operator=(const TextBackground&) = delete;

 private:
  TBrush& brush_;
  TBrushStyle style_;
};

// Gives the settings a drawing fills in when they are 0 (FBarWidth,
// FBarGap, FYTop, FYGrad, FXTop, FXGrad) back the values they had when the
// scope began, on every way out of it, errors included, so an automatic
// setting is automatic again at the next drawing. FYOffset and FXOffset are
// not given back: a reset offset stays reset.
class AutoSettingsScope {
 public:
  explicit AutoSettingsScope(TChartix& chart)
      : chart_(chart),
        bar_width_(chart.FBarWidth),
        bar_gap_(chart.FBarGap),
        y_top_(chart.FYTop),
        y_grad_(chart.FYGrad),
        x_top_(chart.FXTop),
        x_grad_(chart.FXGrad) {}
  ~AutoSettingsScope() {
    chart_.FBarWidth = bar_width_;
    chart_.FBarGap = bar_gap_;
    chart_.FYTop = y_top_;
    chart_.FYGrad = y_grad_;
    chart_.FXTop = x_top_;
    chart_.FXGrad = x_grad_;
  }
  AutoSettingsScope(const AutoSettingsScope&) = delete;
  AutoSettingsScope& operator=(const AutoSettingsScope&) = delete;

 private:
  TChartix& chart_;
  Integer bar_width_, bar_gap_;
  Double y_top_, y_grad_, x_top_, x_grad_;
};

// Keeps a position worked out in 64 bits inside the range the canvas works
// with. Whatever is that far out lies off the bitmap anyway, and clipping
// it there costs nothing.
inline int ClampToCanvas(Int64 v) {
  constexpr Int64 kLimit = INT_MAX / 4;
  return static_cast<int>(std::max(-kLimit, std::min(kLimit, v)));
}

// A length in pixels from a real value, Round with halves to even, held to
// +-2^40: far beyond any bitmap, yet room to add and subtract positions
// without overflow.
inline Int64 PixelLength(long double v) {
  constexpr Int64 kLimit = Int64{1} << 40;
  return std::max(-kLimit, std::min(kLimit, Round64(v)));
}

// A pixel position in 64 bits: values far beyond the scale have positions
// the canvas cannot take.
struct Pixel {
  Int64 x = 0;
  Int64 y = 0;
};

// Draws the line from `from` to `to` with the canvas's pen, end point left
// out. The canvas takes positions within ClampToCanvas's range; a line
// reaching beyond it is cut back to that range along its own direction,
// so that its visible part keeps its slope however far off its ends lie.
inline void Segment(TCanvas& canvas, Pixel from, Pixel to) {
  const Int64 limit = ClampToCanvas(INT64_MAX);
  auto inside = [limit](Pixel p) { return std::abs(p.x) <= limit && std::abs(p.y) <= limit; };
  if (!inside(from) || !inside(to)) {
    // Liang-Barsky: the parameter range [t0, t1] of from + t (to - from)
    // that lies within the square of the range.
    const long double dx = static_cast<long double>(to.x) - from.x;
    const long double dy = static_cast<long double>(to.y) - from.y;
    long double t0 = 0, t1 = 1;
    auto clip = [&t0, &t1](long double p, long double q) {
      if (p == 0) return q >= 0;
      const long double t = q / p;
      if (p < 0) {
        if (t > t1) return false;
        t0 = std::max(t0, t);
      } else {
        if (t < t0) return false;
        t1 = std::min(t1, t);
      }
      return true;
    };
    const long double fx = from.x, fy = from.y, l = limit;
    if (!clip(-dx, fx + l) || !clip(dx, l - fx) || !clip(-dy, fy + l) || !clip(dy, l - fy)) return;
    to = {Round64(fx + t1 * dx), Round64(fy + t1 * dy)};
    from = {Round64(fx + t0 * dx), Round64(fy + t0 * dy)};
  }
  canvas.MoveTo(ClampToCanvas(from.x), ClampToCanvas(from.y));
  canvas.LineTo(ClampToCanvas(to.x), ClampToCanvas(to.y));
}

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_DRAWING_H_
