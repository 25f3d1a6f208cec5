// TFont: the description of a font as the engine holds it (face, size,
// colour, style), and of the turned fonts the engine makes for rotated text.
//
// Glossary
//   - height: the font's pixel height. Negative values give the character
//     height (em size) in pixels, as point sizes do: a size of 8 points at 96
//     pixels per inch is the height -11. Positive values give the cell height.
//   - cell: the box a text occupies: its advance width by the font's cell
//     height (ascent + descent). A text's reference point is a point of its
//     cell chosen by the text alignment (top-left by default).
//   - ascent / descent: the part of the cell above / below the baseline.
//   - escapement: the direction of the text in tenths of a degree,
//     counter-clockwise; 900 reads upwards.
#ifndef PLOTVANE_CANVAS_FONT_H_
#define PLOTVANE_CANVAS_FONT_H_

#include <cstdint>
#include <string>

#include "canvas/types.h"

namespace plotvane {

// The screen resolution all sizes are converted with.
constexpr int kPixelsPerInch = 96;

// Style bits of a font.
enum TFontStyle : uint8_t {
  fsBold = 1,
  fsItalic = 2,
  fsUnderline = 4,
  fsStrikeOut = 8,
};
using TFontStyles = uint8_t;

class TFont {
 public:
  // Face name as given; lookup resolves "Arial" and unknown faces to the
  // bundled sans-serif face.
  std::u16string Name = u"Arial";
  // Pixel height (see the glossary); -11 is 8 points.
  int Height = -11;
  TColor Color = 0;
  TFontStyles Style = 0;
  // Direction in tenths of a degree; non-zero only for the turned fonts the
  // engine makes for one rotated text.
  int Escapement = 0;

  // Size in points, read back from the height: -MulDiv(Height, 72, 96).
  int Size() const { return -MulDiv(Height, 72, kPixelsPerInch); }
  // Stores the height -MulDiv(points, 96, 72). The one height that cannot be
  // negated (-2^31 pixels, from about -1.6e9 points) becomes the largest
  // positive one, so that a height always has a magnitude.
  void SetSize(int points) {
    const int pixels = MulDiv(points, kPixelsPerInch, 72);
    Height = pixels == INT32_MIN ? INT32_MAX : -pixels;
  }
  bool Bold() const { return (Style & fsBold) != 0; }
  // 700 for bold, 400 otherwise.
  int Weight() const { return Bold() ? 700 : 400; }

  friend bool operator==(const TFont& a, const TFont& b) {
    return a.Name == b.Name && a.Height == b.Height && a.Color == b.Color && a.Style == b.Style &&
           a.Escapement == b.Escapement;
  }
};

// Metrics of a font as the text measuring functions report them, in pixels.
struct TTextMetric {
  int tmHeight = 0;  // cell height: ascent + descent
  int tmAscent = 0;
  int tmDescent = 0;
  int tmInternalLeading = 0;
  int tmExternalLeading = 0;
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
};

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_FONT_H_
