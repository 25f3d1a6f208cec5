// Small pieces every chart drawer stands on: the fonts the engine makes for
// one text, text alignment flags, the background behind a text, the scope
// that gives automatic settings back, and the clamp that keeps far-off
// positions inside the canvas's range; then the steps that several drawer
// files share: the frame and slot layout of bar charts, and legend boxes.
#ifndef PLOTVANE_ENGINE_DRAWING_H_
#define PLOTVANE_ENGINE_DRAWING_H_

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/font.h"
#include "engine/chartix.h"
#include "engine/rounding.h"
#include "engine/scale.h"

namespace plotvane {

// The pixel height of a font, whatever the sign it is kept with.
inline Int64 AbsHeight(const TFont& font) { return std::abs(static_cast<Int64>(font.Height)); }

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

// ---- The frame and slots of bar charts -----------------------------------------

// Sizes the bitmap PrepareCanvas made to FWidth x FHeight and paints it in
// FBGColour, brush and pen both. (render.cpp)
void PaintBackground(TChartix& chart);

// The slot layout of `count` bars from FBarWidth and FBarGap along FMaxX
// pixels. (bars.cpp)
SlotLayout LayOutBars(const TChartix& chart, TGraphType graph_type, Int64 count);

// Writes the read-back layout of `count` bars in `slots` on a value scale
// of `per_unit` pixels per unit. (bars.cpp)
void PublishBarLayout(TChartix& chart, TGraphType graph_type, const SlotLayout& slots, Int64 count,
                      Double per_unit);

// ---- Legends --------------------------------------------------------------------

// One entry of a legend: the name shown beside the swatch and the swatch's
// colour string.
struct LegendEntry {
  std::u16string name;
  std::u16string colour;
};

// What sets one chart kind's legend box apart from another's, beside its
// entries. The defaults are the legend of pies and bar charts.
struct LegendLayout {
  // Image-map areas for swatches and names (with FUseImageMap and FIMLegend).
  bool map_areas = true;
  // In one row, the map area of a name reaches Round(h / 2) above and below
  // the row centre, as in a column, instead of being one cell h high.
  bool centred_row_name_areas = false;
  // In a column, the box's width in pixels when not negative, in place of
  // the widest entry name + 3p + s: a legend may size its box by names it
  // does not list.
  Int64 column_width = -1;
  // In one row, each swatch's top lies Round(s / 2) above the row centre
  // instead of halfway down the box.
  bool row_swatch_on_centre = false;
  // Each name is shown by its part after the last "=" (the whole name when
  // it has none). A row still takes its box width from the names, but
  // advances by the widths of the texts shown.
  bool show_after_last_equals = false;
  // The brush style in force before the legend is given back after it.
  bool keep_brush_style = false;
};

// The entries of the custom legend, in the order added. (legends.cpp)
std::vector<LegendEntry> CustomLegendEntries(const TChartix& chart);

// Appends one entry per line of Points (a run of points of one colour
// string), named after its first point whose name is not hidden by
// FLegendHideEmptyNames; a line whose every name is hidden gets none.
// (legends.cpp)
void AppendLineEntries(const TChartix& chart, std::vector<LegendEntry>& entries);

// ---- Steps on the engine's private operations ----------------------------------

// The steps several drawer files share that draw through the engine's own
// operations (PrepareCanvas, the axes, text measures, map areas): a friend
// of TChartix. Each is defined in the file named beside it.
class DrawingSteps {
 public:
  // Bitmap, background, plot area, value axis, plot border and category
  // axis line of a bar or stacked chart. Returns the brush style the value
  // axis left. (bars.cpp)
  static TBrushStyle DrawBarFrame(TChartix& chart, TGraphType graph_type);

  // Lays out and draws a legend box of `entries`, anchored at (FLegendX,
  // FLegendY) by FLegendAlign, in one column or one row. (legends.cpp)
  static void DrawLegendBox(TChartix& chart, const std::vector<LegendEntry>& entries,
                            const LegendLayout& layout);

  // The group (index into StackedGroupList) of stacked item `item`, or -1
  // when it belongs to none: the group it was added to, which is the group
  // GetEntryName of its entry names, also when the item's own name holds an
  // "=". (stacked_bars.cpp)
  static Integer StackedGroupOf(const TChartix& chart, Integer item);
};

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_DRAWING_H_
