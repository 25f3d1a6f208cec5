// Texts of the SVG writer. A recorded text becomes:
//   - its cell in the brush colour when it was drawn opaque (a box, or for a
//     turned text the quadrilateral the canvas filled);
//   - one text element in the font's face, pixel size, weight, slant and
//     colour, holding a run (tspan) per face: every glyph at the position
//     the canvas gave it, so that a viewer's own advances cannot drift from
//     the picture's along a long line. A turned text turns every glyph about
//     its own origin (rotate), as the canvas does;
//   - its underline and strike-out bands, and a block's mnemonic underline,
//     as filled shapes where the canvas put them;
//   - a block drawn clipped sits in a nested viewport of its rectangle.
// The family list names the face asked for, the face it resolved to, the
// faces that share that face's metrics, and the generic family, so that a
// viewer without our faces keeps the layout. Glyphs a fallback face drew
// name that face. A code point no face has shows the font's missing-glyph
// box in the picture; so that the viewer draws a box as well, one XML cannot
// carry (or that it would take for white space) is written as a
// noncharacter, which no face maps.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf.h"
#include "canvas/font_lookup.h"
#include "canvas/recording.h"
#include "canvas/text_layout.h"
#include "imaging/svg_markup.h"

namespace plotvane {
namespace svg {
namespace {

constexpr char32_t kNoGlyph = 0xFDD0;

// Families that share a face's advance widths, and its generic family.
struct Kin {
  const char* family;
  const char* alternatives[3];
  const char* generic;
};
constexpr Kin kKin[] = {
    {"Liberation Sans", {"Arimo", "Arial", "Helvetica"}, "sans-serif"},
    {"Liberation Serif", {"Tinos", "Times New Roman", "Times"}, "serif"},
    {"Liberation Mono", {"Cousine", "Courier New", "Courier"}, "monospace"},
    {"DejaVu Sans", {"Bitstream Vera Sans", nullptr, nullptr}, "sans-serif"},
    {"DejaVu Serif", {"Bitstream Vera Serif", nullptr, nullptr}, "serif"},
    {"DejaVu Sans Mono", {"Bitstream Vera Sans Mono", nullptr, nullptr}, "monospace"},
};

const Kin* KinOf(const std::string& family) {
  for (const Kin& kin : kKin) {
    if (family == kin.family) return &kin;
  }
  return nullptr;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
         });
}

// Appends a family name to a CSS family list: bare when it is a plain
// identifier sequence, otherwise as a quoted string.
void AppendFamily(const std::string& name, std::string* list) {
  bool plain = !name.empty() && !(name[0] >= '0' && name[0] <= '9') && name[0] != '-';
  for (const char c : name) {
    plain = plain && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                      (c >= '0' && c <= '9') || c == '-');
  }
  for (const char* keyword : {"serif", "sans-serif", "monospace", "cursive", "fantasy",
                              "system-ui", "inherit", "initial", "unset", "default"}) {
    plain = plain && !SameName(name, keyword);
  }
  if (!list->empty()) *list += ", ";
  if (plain) {
    *list += name;
    return;
  }
  *list += '\'';
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) continue;
    if (c == '\'' || c == '\\') *list += '\\';
    *list += c;
  }
  *list += '\'';
}

// The family list of the font's own face: asked for, resolved, kin, generic.
std::string FamilyList(const TFont& font, const std::string& resolved) {
  std::vector<std::string> names;
  // Face names are cut as font lookup cuts them; what XML cannot carry is
  // left out.
  const std::u16string_view face =
      std::u16string_view(font.Name).substr(0, kMaxFaceNameLength);
  std::string asked_utf8;
  for (size_t i = 0; i < face.size(); ++i) {
    char32_t c = face[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < face.size() && face[i + 1] >= 0xDC00 &&
        face[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (face[++i] - 0xDC00);
    }
    if (XmlChar(c)) AppendUtf8(c, &asked_utf8);
  }
  names.push_back(asked_utf8);
  names.push_back(resolved);
  const Kin* kin = KinOf(resolved);
  if (kin != nullptr) {
    for (const char* alternative : kin->alternatives) {
      if (alternative != nullptr) names.push_back(alternative);
    }
  }
  std::string list;
  std::vector<std::string> seen;
  for (const std::string& name : names) {
    if (name.empty()) continue;
    if (std::any_of(seen.begin(), seen.end(), [&](const std::string& s) { return SameName(s, name); })) {
      continue;
    }
    seen.push_back(name);
    AppendFamily(name, &list);
  }
  if (!list.empty()) list += ", ";
  list += kin != nullptr ? kin->generic : "sans-serif";
  return list;
}

std::string FallbackList(const std::string& family) {
  std::string list;
  AppendFamily(family, &list);
  const Kin* kin = KinOf(family);
  list += ", ";
  list += kin != nullptr ? kin->generic : "sans-serif";
  return list;
}

class TextWriter {
 public:
  TextWriter(const TRecordedOp& op, const TTextLayout& layout, const Paint& paint,
             const TextDefaults& defaults, std::string* out)
      : op_(op), layout_(layout), paint_(paint), defaults_(defaults), out_(*out) {}

  void Write();

 private:
  // A band of the text; `box` for one on the pixel grid whatever the
  // text's direction.
  void Band(const TBand& band, TColor colour, bool box = false);
  void Glyphs(const TLaidLine& line);
  // Appends the code point at `c` of `line`, as the document carries it.
  void Char(const TLaidLine& line, const TPlacedChar& c);
  void Number(double v) { AppendNumber(v, &out_); }
  // The x positions of the glyphs [first, end) of `line` (and their y
  // positions along a turned line) as attributes.
  void Positions(const TLaidLine& line, size_t first, size_t end) {
    auto list = [&](const char* name, int64_t TPlacedChar::*axis) {
      out_ += name;
      for (size_t i = first; i < end; ++i) {
        if (i > first) out_ += ' ';
        AppendInteger(line.chars[i].*axis, &out_);
      }
      out_ += '"';
    };
    list(" x=\"", &TPlacedChar::x);
    if (layout_.escapement != 0) list(" y=\"", &TPlacedChar::y);
  }

  const TRecordedOp& op_;
  const TTextLayout& layout_;
  const Paint& paint_;
  const TextDefaults& defaults_;
  std::string& out_;
};

void TextWriter::Write() {
  const bool opaque = op_.brush_style == TBrushStyle::bsSolid;
  if (layout_.clipped) {
    const TRect& r = layout_.clip;
    const double w = static_cast<double>(int64_t{r.Right} - r.Left);
    const double h = static_cast<double>(int64_t{r.Bottom} - r.Top);
    const double box[] = {static_cast<double>(r.Left), static_cast<double>(r.Top), w, h};
    out_ += "<svg";
    const char* names[] = {" x=\"", "\" y=\"", "\" width=\"", "\" height=\""};
    for (int i = 0; i < 4; ++i) {
      out_ += names[i];
      Number(box[i]);
    }
    out_ += "\" viewBox=\"";
    for (int i = 0; i < 4; ++i) {
      if (i > 0) out_ += ' ';
      Number(box[i]);
    }
    out_ += "\">\n";
  }
  for (const TLaidLine& line : layout_.lines) {
    if (opaque) Band(line.cell, op_.brush_colour);
    Glyphs(line);
    for (const TBand& band : line.decorations) Band(band, op_.font->Color);
    if (line.marked) {
      const TPixelBox& m = line.mark;
      TBand box;
      box.corners[0][0] = box.corners[3][0] = static_cast<double>(m.left);
      box.corners[1][0] = box.corners[2][0] = static_cast<double>(m.right);
      box.corners[0][1] = box.corners[1][1] = static_cast<double>(m.top);
      box.corners[2][1] = box.corners[3][1] = static_cast<double>(m.bottom);
      if (m.right > m.left) Band(box, op_.font->Color, true);
    }
  }
  if (layout_.clipped) out_ += "</svg>\n";
}

void TextWriter::Band(const TBand& band, TColor colour, bool box) {
  if (!paint_.Shows(colour)) return;
  const auto& c = band.corners;
  if (layout_.escapement == 0 || box) {
    const double w = c[2][0] - c[0][0], h = c[2][1] - c[0][1];
    if (w <= 0 || h <= 0) return;
    out_ += "<rect x=\"";
    Number(c[0][0]);
    out_ += "\" y=\"";
    Number(c[0][1]);
    out_ += "\" width=\"";
    Number(w);
    out_ += "\" height=\"";
    Number(h);
  } else {
    // Pixels whose top-left corner lies inside: the corners moved by half a
    // pixel, decided at the centres.
    out_ += "<polygon shape-rendering=\"auto\" points=\"";
    for (int i = 0; i < 4; ++i) {
      if (i > 0) out_ += ' ';
      Number(c[i][0] + 0.5);
      out_ += ',';
      Number(c[i][1] + 0.5);
    }
  }
  out_ += "\" fill=\"";
  paint_.Append(colour, &out_);
  out_ += "\"/>\n";
}

void TextWriter::Char(const TLaidLine& line, const TPlacedChar& c) {
  char32_t code_point = line.text[c.first];
  if (c.units == 2) {
    code_point = 0x10000 + ((code_point - 0xD800) << 10) + (line.text[c.first + 1] - 0xDC00);
  }
  const bool blank = code_point == '\t' || code_point == '\n' || code_point == '\r';
  if (!XmlChar(code_point) || (c.missing && blank)) code_point = kNoGlyph;
  AppendXmlChar(code_point, &out_);
}

void TextWriter::Glyphs(const TLaidLine& line) {
  if (line.chars.empty() || !paint_.Shows(op_.font->Color)) return;
  const TFont& font = *op_.font;
  const bool turned = layout_.escapement != 0;
  out_ += "<text";
  std::string family;
  AppendXml(FamilyList(font, layout_.faces[0]), &family);
  if (family != defaults_.family) out_ += " font-family=\"" + family + '"';
  if (layout_.ppem != defaults_.size) {
    out_ += " font-size=\"";
    AppendInteger(layout_.ppem, &out_);
    out_ += '"';
  }
  if (font.Bold()) out_ += " font-weight=\"bold\"";
  if ((font.Style & fsItalic) != 0) out_ += " font-style=\"italic\"";
  out_ += " fill=\"";
  paint_.Append(font.Color, &out_);
  out_ += '"';
  if (turned) {
    out_ += " rotate=\"";
    Number(-layout_.escapement / 10.0);
    out_ += '"';
  } else {
    out_ += " y=\"";
    AppendInteger(line.pen_y, &out_);
    out_ += '"';
  }
  // A line of one run in the font's own face needs no run of its own.
  const bool plain = std::all_of(line.chars.begin(), line.chars.end(), [](const TPlacedChar& c) {
    return c.face == 0 && c.units == 1;
  });
  if (plain) {
    Positions(line, 0, line.chars.size());
    out_ += '>';
    for (const TPlacedChar& c : line.chars) Char(line, c);
    out_ += "</text>\n";
    return;
  }
  out_ += '>';
  // Runs of one face; a code point beyond the 16-bit range stands alone, so
  // that viewers that count positions by code point and by UTF-16 unit
  // place it alike.
  for (size_t start = 0; start < line.chars.size();) {
    const TPlacedChar& first = line.chars[start];
    size_t end = start + 1;
    if (first.units == 1) {
      while (end < line.chars.size() && line.chars[end].face == first.face &&
             line.chars[end].units == 1) {
        ++end;
      }
    }
    out_ += "<tspan";
    if (first.face != 0) {
      out_ += " font-family=\"";
      AppendXml(FallbackList(layout_.faces[first.face]), &out_);
      out_ += '"';
    }
    Positions(line, start, end);
    out_ += '>';
    for (size_t i = start; i < end; ++i) Char(line, line.chars[i]);
    out_ += "</tspan>";
    start = end;
  }
  out_ += "</text>\n";
}

TTextLayout LayOut(const TRecordedOp& op) {
  const int32_t* c = op.coords;
  return op.kind == TOpKind::kText
             ? LayOutText(*op.font, op.align, c[0], c[1], op.text)
             : LayOutTextBlock(*op.font, op.align, op.text, TRect{c[0], c[1], c[2], c[3]},
                               op.format);
}

}  // namespace

TextDefaults FirstTextDefaults(const TRecording& recording) {
  TextDefaults defaults;
  for (size_t i = 0; i < recording.Size(); ++i) {
    const TRecordedOp op = recording.Op(i);
    if (op.kind != TOpKind::kText && op.kind != TOpKind::kTextBlock) continue;
    const TTextLayout layout = LayOut(op);
    AppendXml(FamilyList(*op.font, layout.faces[0]), &defaults.family);
    defaults.size = layout.ppem;
    break;
  }
  return defaults;
}

void WriteText(const TRecordedOp& op, const Paint& paint, const TextDefaults& defaults,
               std::string* out) {
  TextWriter(op, LayOut(op), paint, defaults, out).Write();
}

}  // namespace svg
}  // namespace plotvane
