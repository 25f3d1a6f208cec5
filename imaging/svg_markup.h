// What the parts of the SVG writer share: the document being written, with
// the escaping that keeps it well-formed XML whatever text it carries, and
// the numbers and colours of its attributes. Internal to imaging/svg*.cpp.
#ifndef PLOTVANE_IMAGING_SVG_MARKUP_H_
#define PLOTVANE_IMAGING_SVG_MARKUP_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/bitmap.h"
#include "canvas/recording.h"
#include "canvas/types.h"
#include "imaging/svg.h"

namespace plotvane {
namespace svg {

// The character that stands for a unit XML cannot carry (a control
// character, an unpaired surrogate, U+FFFE, U+FFFF) in an attribute or a
// title: the replacement character.
constexpr char32_t kReplacement = 0xFFFD;

// Whether XML 1.0 documents may hold `c`.
constexpr bool XmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Appends `c` to `out` as UTF-8, escaped for element content and
// double-quoted attribute values: "&", "<", ">" and '"' as entity
// references, tab, line feed and carriage return as character references
// (so that attribute values keep them). REQUIRES: XmlChar(c).
void AppendXmlChar(char32_t c, std::string* out);

// Appends UTF-16 `text`, escaped as AppendXmlChar does; what XML cannot carry
// becomes kReplacement.
void AppendXml(std::u16string_view text, std::string* out);
void AppendXml(std::string_view utf8, std::string* out);

// Appends `v` with at most three decimals, trailing zeros left out ("12",
// "10.5", "-0.25").
void AppendNumber(double v, std::string* out);
void AppendInteger(int64_t v, std::string* out);

// The colours of the document. Drawing on an indexed bitmap uses the palette
// entry nearest to a colour, so that is the colour the document shows.
class Paint {
 public:
  enum Mode {
    kExact,            // every colour as drawn
    kOmitTransparent,  // the transparent colour as "none"
    kMask,             // white, the transparent colour black
  };
  // `transparent` is the palette entry (indexed bitmaps) or the colour
  // (others) shown transparent, or -1 for none.
  Paint(const TBitmap& bitmap, int64_t transparent) : bitmap_(bitmap), transparent_(transparent) {}
  void SetMode(Mode mode) { mode_ = mode; }
  // The colour `colour` is drawn with, as 0x00BBGGRR.
  TColor Drawn(TColor colour) const;
  // Whether `colour` is drawn in the transparent colour.
  bool Transparent(TColor colour) const;
  // Whether an element painted only in `colour` shows at all.
  bool Shows(TColor colour) const { return mode_ != kOmitTransparent || !Transparent(colour); }
  // Appends `colour` as this mode shows it: "#RRGGBB", or "none".
  void Append(TColor colour, std::string* out) const;

 private:
  // The palette entry drawing uses for `colour` (indexed bitmaps), the
  // colours looked up last remembered: a document names the same few
  // colours again and again.
  int Index(TColor colour) const;

  const TBitmap& bitmap_;
  int64_t transparent_;
  Mode mode_ = kExact;
  struct Remembered {
    TColor colour = 0xFFFFFFFF;  // none
    int index = 0;
  };
  mutable std::array<Remembered, 64> remembered_{};
};

// Writes a recorded shape, line or pixel (any kind but the texts) as the
// canvas drew it.
void WriteShape(const TRecordedOp& op, const Paint& paint, std::string* out);
// Writes the box [x0, x1) x [y0, y1) filled with `colour`; nothing when empty.
void WriteBox(int64_t x0, int64_t y0, int64_t x1, int64_t y1, TColor colour, const Paint& paint,
              std::string* out);

// The font family list (as XML text) and pixel size the drawing's group
// gives its texts, which a text that shares them leaves out: those of the
// first text drawn (nothing without texts).
struct TextDefaults {
  std::string family;
  int64_t size = 0;
};
// Throws EFontError when the text's font cannot be loaded at all.
TextDefaults FirstTextDefaults(const TRecording& recording);

// Writes a recorded text (kText, kTextBlock) as the canvas drew it.
// Throws EFontError when its font cannot be loaded at all.
void WriteText(const TRecordedOp& op, const Paint& paint, const TextDefaults& defaults,
               std::string* out);

// Writes the image map as a group of links over the drawing, the last area
// first, so that where areas overlap the earlier one lies on top.
void WriteLinks(const std::vector<TSvgLink>& links, std::string* out);

}  // namespace svg
}  // namespace plotvane

#endif  // PLOTVANE_IMAGING_SVG_MARKUP_H_
