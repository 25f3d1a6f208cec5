// The SVG writer: a bitmap drawn again as an SVG 1.1 document from the
// recording it carries, with the chart's image map laid over it as links.
//
// The document is the picture at 1x: every recorded operation becomes the
// element that paints the same pixels (shapes on the pixel grid, one-pixel
// pens on pixel centres, texts glyph by glyph where the canvas put them), in
// the colours the bitmap shows. Width, height and viewBox are the bitmap's,
// so the picture scales, and so do its links.
#ifndef PLOTVANE_IMAGING_SVG_H_
#define PLOTVANE_IMAGING_SVG_H_

#include <cstdint>
#include <string>
#include <vector>

#include "canvas/bitmap.h"
#include "canvas/types.h"

namespace plotvane {

enum class TMapShape : uint8_t { kRect, kPoly, kCircle };

// One area of an image map, with the entry it links to. The strings are the
// map's own, HTML as the client gave it: character references in them are
// read as HTML reads them.
struct TSvgLink {
  TMapShape shape = TMapShape::kRect;
  // kRect: left, top, right, bottom; kPoly: x, y of each point; kCircle:
  // x, y, radius. Pixels of the picture.
  std::vector<int32_t> coords;
  std::u16string href;   // empty: the area links nowhere
  std::u16string title;  // its tooltip
  // Further attributes of the map's area element. Only plain name="value"
  // pairs of link attributes (target, rel, class, data-…, aria-… and a few
  // more) are carried over: never an event handler, a style or anything
  // that changes the drawing.
  std::u16string extra;
};

struct TSvgSettings {
  // The document's accessible name (its title).
  std::u16string name;
  // Pixels in `transparent_colour` are left out, as the PNG writer marks
  // them transparent: on an indexed bitmap the pixels of the first palette
  // entry of that colour (none when the palette lacks it), on others the
  // pixels of that colour.
  bool transparent = false;
  TColor transparent_colour = 0;
  // The image map's areas in map order: where areas overlap, the earlier
  // one takes the pointer, as in the HTML map.
  std::vector<TSvgLink> links;
};

// Writes `bitmap` as an SVG document (UTF-8) from its recording. A bitmap
// without pixels gives a document of no size.
// Throws EFontError when a text's font cannot be loaded at all.
std::string EncodeSVG(const TBitmap& bitmap, const TSvgSettings& settings);

}  // namespace plotvane

#endif  // PLOTVANE_IMAGING_SVG_H_
