// TRecording: the drawing operations made on one bitmap, in order, with their
// integer coordinates and the canvas state in force, kept beside the pixels
// they painted so that a vector writer can draw the same picture again.
//
// An operation is recorded when the canvas paints it (after the checks that
// make it draw nothing: an empty bitmap, an empty box, an invisible pen, a
// pie slice too thin to show), so the recording holds what the pixels show
// and nothing else. It costs one small entry per operation plus its
// coordinates and text; nothing is recorded per pixel.
//
// Coordinates by kind (bitmap pixels, the canvas's own arguments):
//   kRectangle, kEllipse   x1 y1 x2 y2 (corners in any order)
//   kPie                   x1 y1 x2 y2 x3 y3 x4 y4 whole fx fy lx ly: the box,
//                          the points on the two radials, 1 when the radials
//                          met at one point of the outline (the whole ellipse
//                          was drawn), and the outline's first and last
//                          pixels, where the radials from the centre end
//   kPieSlice              as kPie, a wedge drawn by PieSlice (whole is 0)
//   kPolygon               x y for each point (at least two)
//   kLine                  x1 y1 x2 y2: from the pen position to the end point
//   kPixel                 x y; the colour is BrushColour
//   kText                  x y: the reference point
//   kTextBlock             left top right bottom: the block's rectangle
#ifndef PLOTVANE_CANVAS_RECORDING_H_
#define PLOTVANE_CANVAS_RECORDING_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/font.h"
#include "canvas/types.h"

namespace plotvane {

enum class TOpKind : uint8_t {
  kRectangle,
  kEllipse,
  kPie,
  kPieSlice,
  kPolygon,
  kLine,
  kPixel,
  kText,
  kTextBlock,
};

// One recorded operation, as the reader sees it. The pointers stay valid
// until the recording changes.
struct TRecordedOp {
  TOpKind kind = TOpKind::kRectangle;
  TPen pen;
  TBrushStyle brush_style = TBrushStyle::bsSolid;
  TColor brush_colour = 0;          // the brush's colour; a kPixel's own colour
  const int32_t* coords = nullptr;  // see the file comment
  size_t coord_count = 0;
  // Texts only.
  const TFont* font = nullptr;
  unsigned align = 0;   // text alignment flags (TA_*) in force
  unsigned format = 0;  // kTextBlock: its DT_* flags
  std::u16string_view text;
};

class TRecording {
 public:
  TRecording() = default;

  size_t Size() const { return ops_.size(); }
  bool Empty() const { return ops_.empty(); }
  // REQUIRES: index < Size().
  TRecordedOp Op(size_t index) const;
  void Clear();

  // ---- Recording (TCanvas) ------------------------------------------------
  // A shape, line or pixel with the pen and brush in force.
  void AddShape(TOpKind kind, const TPen& pen, const TBrush& brush,
                std::initializer_list<int32_t> coords);
  void AddPolygon(const TPen& pen, const TBrush& brush, const std::vector<TPoint>& points);
  // A text (kText: x, y; kTextBlock: the rectangle) in `font` with the brush
  // in force (a solid brush paints the text's background).
  void AddText(TOpKind kind, const TFont& font, const TBrush& brush, unsigned align,
               unsigned format, std::initializer_list<int32_t> coords, std::u16string_view text);

 private:
  // Fonts are kept once for a run of texts that use them; texts look among
  // the last few fonts before adding another.
  static constexpr size_t kFontsSearched = 8;

  struct Entry {
    TOpKind kind;
    TPenStyle pen_style;
    TBrushStyle brush_style;
    int32_t pen_width;
    TColor pen_colour;
    TColor brush_colour;
    uint32_t first;  // first coordinate in coords_
    uint32_t count;  // coordinates
  };
  // What a text keeps beyond its coordinates, in coords_ after them.
  enum TextField { kFont, kAlign, kFormat, kTextStartLow, kTextStartHigh, kTextLength, kTextFields };

  // Room made at the first operation.
  static constexpr size_t kFirstOps = 128;
  void Reserve();
  void AddEntry(TOpKind kind, const TPen& pen, const TBrush& brush, size_t first);
  uint32_t FontIndex(const TFont& font);

  std::vector<Entry> ops_;
  std::vector<int32_t> coords_;
  std::u16string texts_;
  std::vector<TFont> fonts_;
};

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_RECORDING_H_
