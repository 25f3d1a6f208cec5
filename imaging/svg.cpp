// The SVG writer's document. It is laid out as
//
//   <svg xmlns=... width="W" height="H" viewBox="0 0 W H" role="img"
//        aria-label="NAME" xml:space="preserve">
//     <title>NAME</title>
//     <g shape-rendering="crispEdges" font-…>   the drawing, operation by operation
//       <rect .../>                           what the bitmap held before drawing,
//       ...                                   unless the first shape covers it
//     </g>
//     <g fill="#000" fill-opacity="0">        the image map, last area first
//       <a href=...><title>TITLE</title><rect .../></a>
//       ...
//     </g>
//   </svg>
//
// Transparency: when the transparent colour is painted only before any other
// colour, its elements are left out; otherwise the drawing is masked by a
// second copy of itself in white, with the transparent colour in black.
#include "imaging/svg.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "canvas/recording.h"
#include "imaging/svg_markup.h"

namespace plotvane {

namespace svg {
namespace {

// The colours an operation paints.
std::vector<TColor> ColoursOf(const TRecordedOp& op) {
  std::vector<TColor> colours;
  const bool solid = op.brush_style == TBrushStyle::bsSolid;
  switch (op.kind) {
    case TOpKind::kPixel:
      colours.push_back(op.brush_colour);
      break;
    case TOpKind::kText:
    case TOpKind::kTextBlock:
      if (solid) colours.push_back(op.brush_colour);
      colours.push_back(op.font->Color);
      break;
    default:
      if (solid) colours.push_back(op.brush_colour);
      if (op.pen.Style != TPenStyle::psClear) colours.push_back(op.pen.Color);
      break;
  }
  return colours;
}

// Whether the first operation covers the whole bitmap, so that what the
// bitmap held before cannot show.
bool CoversBitmap(const TRecording& recording, const TBitmap& bitmap) {
  if (recording.Empty()) return false;
  const TRecordedOp op = recording.Op(0);
  if (op.kind != TOpKind::kRectangle || op.brush_style != TBrushStyle::bsSolid ||
      op.pen.Style == TPenStyle::psClear || op.pen.Style == TPenStyle::psInsideFrame) {
    return false;
  }
  const int32_t* c = op.coords;
  return std::min(c[0], c[2]) <= 0 && std::min(c[1], c[3]) <= 0 &&
         std::max(c[0], c[2]) >= bitmap.Width() && std::max(c[1], c[3]) >= bitmap.Height();
}

// The colour of a pixel no operation painted.
TColor BlankColour(const TBitmap& bitmap) {
  if (bitmap.Palette().empty()) return 0;
  const TPaletteEntry& e = bitmap.Palette().front();
  return RGB(e.peRed, e.peGreen, e.peBlue);
}

// The palette entry or colour shown transparent, or -1.
int64_t TransparentOf(const TBitmap& bitmap, const TSvgSettings& settings) {
  if (!settings.transparent) return -1;
  const TColor colour = settings.transparent_colour & 0xFFFFFF;
  const std::vector<TPaletteEntry>& palette = bitmap.Palette();
  if (palette.empty()) return colour;
  const TPaletteEntry wanted{GetRValue(colour), GetGValue(colour), GetBValue(colour), 0};
  for (size_t i = 0; i < palette.size(); ++i) {
    if (palette[i] == wanted) return static_cast<int64_t>(i);
  }
  return -1;
}

// Whether `next` goes on with the wedge `op`: two Pie wedges of one box,
// pen and brush, the second starting on the radial where the first ends
// (see imaging/svg_shapes.cpp).
bool ContinuesWedge(const TRecordedOp& op, const TRecordedOp& next) {
  const int32_t* a = op.coords;
  const int32_t* b = next.coords;
  return op.kind == TOpKind::kPie && next.kind == TOpKind::kPie && a[8] == 0 && b[8] == 0 &&
         std::equal(a, a + 4, b) && a[6] == b[4] && a[7] == b[5] && op.pen.Color == next.pen.Color &&
         op.pen.Width == next.pen.Width && op.pen.Style == next.pen.Style &&
         op.brush_style == next.brush_style && op.brush_colour == next.brush_colour;
}

void WriteDrawing(const TBitmap& bitmap, const Paint& paint, const TextDefaults& defaults,
                  std::string* out) {
  const TRecording& recording = bitmap.Recording();
  if (!CoversBitmap(recording, bitmap)) {
    WriteBox(0, 0, bitmap.Width(), bitmap.Height(), BlankColour(bitmap), paint, out);
  }
  for (size_t i = 0; i < recording.Size(); ++i) {
    const TRecordedOp op = recording.Op(i);
    if (op.kind == TOpKind::kText || op.kind == TOpKind::kTextBlock) {
      WriteText(op, paint, defaults, out);
    } else if (i + 1 < recording.Size() && ContinuesWedge(op, recording.Op(i + 1))) {
      // One wedge from the first's start to the second's end.
      const int32_t* end = recording.Op(++i).coords;
      int32_t both[13];
      std::copy(op.coords, op.coords + 13, both);
      both[6] = end[6];
      both[7] = end[7];
      both[11] = end[11];
      both[12] = end[12];
      both[8] = both[9] == both[11] && both[10] == both[12] ? 1 : 0;
      TRecordedOp wedge = op;
      wedge.coords = both;
      WriteShape(wedge, paint, out);
    } else {
      WriteShape(op, paint, out);
    }
  }
}

// Whether the transparent colour is painted over another colour, so that
// leaving its elements out would show what lies beneath instead of nothing.
bool NeedsMask(const TBitmap& bitmap, const Paint& paint) {
  const TRecording& recording = bitmap.Recording();
  bool painted = !CoversBitmap(recording, bitmap) && !paint.Transparent(BlankColour(bitmap));
  for (size_t i = 0; i < recording.Size(); ++i) {
    const std::vector<TColor> colours = ColoursOf(recording.Op(i));
    const bool clear = std::any_of(colours.begin(), colours.end(),
                                   [&](TColor c) { return paint.Transparent(c); });
    if (clear && painted) return true;
    painted = painted || !std::all_of(colours.begin(), colours.end(),
                                      [&](TColor c) { return paint.Transparent(c); });
  }
  return false;
}

// A name for the mask that two documents share only when they are the same
// drawing, so that several pictures may stand in one page.
std::string MaskId(const std::string& drawing) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : drawing) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 0x100000001b3ULL;
  }
  char id[24];
  std::snprintf(id, sizeof id, "pv%016llx", static_cast<unsigned long long>(hash));
  return id;
}

}  // namespace
}  // namespace svg

std::string EncodeSVG(const TBitmap& bitmap, const TSvgSettings& settings) {
  using svg::AppendInteger;
  using svg::AppendXml;
  std::string out;
  out.reserve(4096 + 96 * bitmap.Recording().Size());
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\""
         " version=\"1.1\" width=\"";
  AppendInteger(bitmap.Width(), &out);
  out += "\" height=\"";
  AppendInteger(bitmap.Height(), &out);
  out += "\" viewBox=\"0 0 ";
  AppendInteger(bitmap.Width(), &out);
  out += ' ';
  AppendInteger(bitmap.Height(), &out);
  out += "\" role=\"img\" aria-label=\"";
  AppendXml(settings.name, &out);
  out += "\" xml:space=\"preserve\">\n<title>";
  AppendXml(settings.name, &out);
  out += "</title>\n";

  const int64_t transparent = svg::TransparentOf(bitmap, settings);
  svg::Paint paint(bitmap, transparent);
  if (!bitmap.Empty()) {
    const svg::TextDefaults defaults = svg::FirstTextDefaults(bitmap.Recording());
    // The drawing's group: crisp edges, and the font most texts share.
    std::string group = " shape-rendering=\"crispEdges\"";
    if (defaults.size > 0) {
      group += " font-family=\"" + defaults.family + "\" font-size=\"";
      AppendInteger(defaults.size, &group);
      group += '"';
    }
    if (transparent >= 0 && svg::NeedsMask(bitmap, paint)) {
      std::string drawing;
      svg::WriteDrawing(bitmap, paint, defaults, &drawing);
      const std::string id = svg::MaskId(drawing);
      out += "<mask id=\"" + id + "\" maskUnits=\"userSpaceOnUse\" x=\"0\" y=\"0\" width=\"";
      AppendInteger(bitmap.Width(), &out);
      out += "\" height=\"";
      AppendInteger(bitmap.Height(), &out);
      out += "\"><g" + group + ">\n";
      paint.SetMode(svg::Paint::kMask);
      svg::WriteDrawing(bitmap, paint, defaults, &out);
      out += "</g></mask>\n<g mask=\"url(#" + id + ")\"" + group + ">\n";
      out += drawing;
    } else {
      paint.SetMode(svg::Paint::kOmitTransparent);
      out += "<g" + group + ">\n";
      svg::WriteDrawing(bitmap, paint, defaults, &out);
    }
    out += "</g>\n";
  }
  svg::WriteLinks(settings.links, &out);
  out += "</svg>\n";
  return out;
}

}  // namespace plotvane
