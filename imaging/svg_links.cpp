// The image map of the SVG writer: one link per area, over the drawing.
//
//   <g fill="#000" fill-opacity="0">
//     <a href="LINK" xlink:href="LINK" EXTRA><title>TITLE</title><SHAPE/></a>
//     ...
//   </g>
//
// The shapes are invisible but take the pointer (a fill of no opacity), and
// come in reverse map order: a browser gives the pointer to the first area
// of a map that holds it, and to the topmost, last, element of a picture.
// Links, titles and extra attributes come from HTML written for the map, so
// the character references HTML would read in them are read first, and all
// of it is escaped as XML. Of the extra text only name="value" pairs with
// names of link attributes (or data-* and aria-* ones) are kept: never an
// event handler, a style or anything that changes the drawing, and nothing
// is inserted as it stands.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/utf.h"
#include "imaging/svg_markup.h"

namespace plotvane {
namespace svg {
namespace {

// The character a reference at text[at] ("&...;") stands for, moving `at`
// past it, or 0 (nothing moved) when it is not one HTML reads this way.
char32_t ReadReference(std::u16string_view text, size_t* at) {
  const size_t end = text.find(u';', *at);
  if (end == std::u16string_view::npos || end - *at > 10) return 0;
  const std::u16string_view name = text.substr(*at + 1, end - *at - 1);
  char32_t c = 0;
  if (name.size() >= 2 && name[0] == u'#') {
    const bool hex = name[1] == u'x' || name[1] == u'X';
    const std::u16string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    for (const char16_t d : digits) {
      int v = -1;
      if (d >= u'0' && d <= u'9') v = d - u'0';
      if (hex && d >= u'a' && d <= u'f') v = d - u'a' + 10;
      if (hex && d >= u'A' && d <= u'F') v = d - u'A' + 10;
      if (v < 0) return 0;
      c = c * (hex ? 16 : 10) + static_cast<char32_t>(v);
      if (c > 0x10FFFF) return 0;
    }
    if (c == 0 || !XmlChar(c)) c = kReplacement;
  } else {
    static constexpr struct {
      const char16_t* name;
      char32_t c;
    } kNamed[] = {{u"amp", '&'}, {u"lt", '<'}, {u"gt", '>'}, {u"quot", '"'}, {u"apos", '\''},
                  {u"nbsp", 0xA0}};
    for (const auto& named : kNamed) {
      if (name == named.name) c = named.c;
    }
    if (c == 0) return 0;
  }
  *at = end + 1;
  return c;
}

// Appends HTML text with its character references read, escaped as XML.
void AppendHtmlText(std::u16string_view text, std::string* out) {
  std::u16string plain;
  plain.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    if (text[at] == u'&') {
      if (const char32_t c = ReadReference(text, &at)) {
        AppendUtf16(c, &plain);
        continue;
      }
    }
    plain += text[at++];
  }
  AppendXml(plain, out);
}

bool Blank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

// Whether an attribute `name` (lower case) of an area may pass to the link.
bool Allowed(const std::string& name) {
  static constexpr const char* kLinkAttributes[] = {
      "target", "rel", "hreflang", "type", "download", "referrerpolicy", "class", "id", "lang",
      "tabindex"};
  for (const char* allowed : kLinkAttributes) {
    if (name == allowed) return true;
  }
  const bool data = name.rfind("data-", 0) == 0 || name.rfind("aria-", 0) == 0;
  return data && name.size() > 5 &&
         std::all_of(name.begin() + 5, name.end(), [](char c) {
           return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                  c == '.';
         });
}

// Appends the plain name="value" (or name='value') pairs of `extra` whose
// names Allowed() accepts, each name once.
void AppendExtra(std::u16string_view extra, std::string* out) {
  std::vector<std::string> seen;
  size_t at = 0;
  while (at < extra.size()) {
    while (at < extra.size() && Blank(extra[at])) ++at;
    const size_t name_start = at;
    while (at < extra.size() && !Blank(extra[at]) && extra[at] != u'=' && extra[at] != u'"' &&
           extra[at] != u'\'') {
      ++at;
    }
    if (at == name_start) {
      ++at;  // a stray quote or "="
      continue;
    }
    std::string name;
    for (size_t i = name_start; i < at; ++i) {
      const char16_t c = extra[i];
      name += c < 0x80 ? static_cast<char>(c >= u'A' && c <= u'Z' ? c + 32 : c) : '\x01';
    }
    size_t value_at = at;
    while (value_at < extra.size() && Blank(extra[value_at])) ++value_at;
    if (value_at >= extra.size() || extra[value_at] != u'=') continue;  // no value
    ++value_at;
    while (value_at < extra.size() && Blank(extra[value_at])) ++value_at;
    if (value_at >= extra.size()) break;
    const char16_t quote = extra[value_at];
    if (quote != u'"' && quote != u'\'') {
      at = value_at;  // unquoted: not a plain pair
      while (at < extra.size() && !Blank(extra[at])) ++at;
      continue;
    }
    const size_t close = extra.find(quote, value_at + 1);
    if (close == std::u16string_view::npos) break;
    at = close + 1;
    if (!Allowed(name) || std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
    seen.push_back(name);
    *out += ' ';
    *out += name;
    *out += "=\"";
    AppendHtmlText(extra.substr(value_at + 1, close - value_at - 1), out);
    *out += '"';
  }
}

// The area's shape; false when a browser's map would give it no area.
bool AppendShape(const TSvgLink& link, std::string* out) {
  const std::vector<int32_t>& c = link.coords;
  switch (link.shape) {
    case TMapShape::kRect: {
      if (c.size() < 4) return false;
      *out += "<rect x=\"";
      AppendInteger(std::min(c[0], c[2]), out);
      *out += "\" y=\"";
      AppendInteger(std::min(c[1], c[3]), out);
      *out += "\" width=\"";
      AppendInteger(std::abs(int64_t{c[2]} - c[0]), out);
      *out += "\" height=\"";
      AppendInteger(std::abs(int64_t{c[3]} - c[1]), out);
      break;
    }
    case TMapShape::kPoly: {
      if (c.size() < 6) return false;
      *out += "<polygon fill-rule=\"evenodd\" points=\"";
      for (size_t i = 0; i + 1 < c.size(); i += 2) {
        if (i > 0) *out += ' ';
        AppendInteger(c[i], out);
        *out += ',';
        AppendInteger(c[i + 1], out);
      }
      break;
    }
    case TMapShape::kCircle: {
      if (c.size() < 3 || c[2] <= 0) return false;
      *out += "<circle cx=\"";
      AppendInteger(c[0], out);
      *out += "\" cy=\"";
      AppendInteger(c[1], out);
      *out += "\" r=\"";
      AppendInteger(c[2], out);
      break;
    }
  }
  *out += "\"/>";
  return true;
}

}  // namespace

void WriteLinks(const std::vector<TSvgLink>& links, std::string* out) {
  if (links.empty()) return;
  *out += "<g fill=\"#000\" fill-opacity=\"0\">\n";
  std::string shape;
  for (auto link = links.rbegin(); link != links.rend(); ++link) {
    shape.clear();
    if (!AppendShape(*link, &shape)) continue;
    *out += "<a";
    if (!link->href.empty()) {
      std::string href;
      AppendHtmlText(link->href, &href);
      *out += " href=\"" + href + "\" xlink:href=\"" + href + '"';
    }
    AppendExtra(link->extra, out);
    *out += "><title>";
    AppendHtmlText(link->title, out);
    *out += "</title>";
    *out += shape;
    *out += "</a>\n";
  }
  *out += "</g>\n";
}

}  // namespace svg
}  // namespace plotvane
