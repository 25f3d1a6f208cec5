#include "imaging/svg.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/utf.h"
#include "canvas/bitmap.h"
#include "canvas/canvas.h"
#include "canvas/text_layout.h"
#include "testing/xml_check.h"

namespace plotvane {
namespace {

using testing_xml::ParseXml;
using testing_xml::XmlElement;
using testing_xml::XmlError;

constexpr TColor kWhite = 0xFFFFFF, kBlack = 0, kRed = 0x0000FF, kBlue = 0xFF0000;
constexpr int kWidth = 40, kHeight = 30;

// A 4-bit bitmap of white, black, red and blue, painted white all over by
// its first operation.
std::unique_ptr<TBitmap> Picture() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf4bit);
  bitmap->SetPalette({{255, 255, 255, 0}, {0, 0, 0, 0}, {255, 0, 0, 0}, {0, 0, 255, 0}});
  bitmap->SetSize(kWidth, kHeight);
  TCanvas& c = bitmap->Canvas();
  c.Pen().Color = kWhite;
  c.Brush().SetColor(kWhite);
  c.Rectangle(0, 0, kWidth, kHeight);
  c.Pen() = TPen{kBlack, 1, TPenStyle::psSolid};
  return bitmap;
}

// The lines of the drawing group after the background.
std::vector<std::string> Elements(const std::string& svg) {
  std::vector<std::string> lines;
  std::istringstream in(svg.substr(svg.find("<g shape-rendering=\"crispEdges\">")));
  std::string line;
  std::getline(in, line);  // the group
  std::getline(in, line);  // the background
  while (std::getline(in, line) && line != "</g>") lines.push_back(line);
  return lines;
}

// ---- Pixels of crisp elements, evaluated here at pixel centres --------------

struct Figure {
  std::vector<std::pair<double, double>> points;
};

std::vector<Figure> Figures(const std::string& d) {
  std::vector<Figure> figures;
  std::vector<double> numbers;
  for (size_t at = 0; at < d.size();) {
    const char c = d[at];
    if (c == 'M' || c == 'L' || c == 'Z') {
      if (c == 'M') figures.emplace_back();
      ++at;
      continue;
    }
    if (c != '-' && c != '.' && (c < '0' || c > '9')) {
      ++at;
      continue;
    }
    size_t used = 0;
    numbers.push_back(std::stod(d.substr(at), &used));
    at += used;
    if (numbers.size() == 2) {
      figures.back().points.emplace_back(numbers[0], numbers[1]);
      numbers.clear();
    }
  }
  return figures;
}

// Non-zero winding of the closed figures around (x, y).
bool Inside(const std::vector<Figure>& figures, double x, double y) {
  int winding = 0;
  for (const Figure& f : figures) {
    for (size_t i = 0; i < f.points.size(); ++i) {
      const auto [ax, ay] = f.points[i];
      const auto [bx, by] = f.points[(i + 1) % f.points.size()];
      if ((ay <= y) != (by <= y) && x < ax + (y - ay) * (bx - ax) / (by - ay)) {
        winding += by > ay ? 1 : -1;
      }
    }
  }
  return winding != 0;
}

double Number(const XmlElement& e, const char* name, double fallback = 0) {
  const std::string* v = e.Attr(name);
  return v == nullptr ? fallback : std::stod(*v);
}

// Paints `e` into `pixels` (one TColor a pixel) as a viewer paints crisp
// elements: a pixel is painted when its centre lies inside. Returns false
// for elements it does not know how to evaluate.
bool Paint(const XmlElement& e, std::vector<TColor>* pixels) {
  if (e.Attr("shape-rendering") != nullptr) return false;  // smoothed
  auto colour = [](const std::string* v) {
    std::string hex = v->substr(1);
    if (hex.size() == 3) hex = {hex[0], hex[0], hex[1], hex[1], hex[2], hex[2]};
    return std::stoul(hex, nullptr, 16);
  };
  auto rgb = [](unsigned long v) { return RGB(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF); };
  std::vector<Figure> fill;
  if (e.Local() == "rect") {
    const double x = Number(e, "x"), y = Number(e, "y");
    const double w = Number(e, "width"), h = Number(e, "height");
    fill.push_back({{{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}});
  } else if (e.Local() == "path") {
    fill = Figures(*e.Attr("d"));
  } else {
    return false;
  }
  const std::string* fill_colour = e.Attr("fill");
  const std::string* stroke = e.Attr("stroke");
  const std::string* dashes = e.Attr("stroke-dasharray");
  std::vector<double> pattern;
  if (dashes != nullptr) {
    std::istringstream in(*dashes);
    for (double v; in >> v;) pattern.push_back(v);
  }
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double cx = x + 0.5, cy = y + 0.5;
      TColor& p = (*pixels)[static_cast<size_t>(y) * kWidth + x];
      if (*fill_colour != "none" && Inside(fill, cx, cy)) p = rgb(colour(fill_colour));
      if (stroke == nullptr) continue;
      // One-pixel strokes of level and upright segments only.
      double along = Number(e, "stroke-dashoffset");
      for (const Figure& f : fill) {
        const size_t n = f.points.size();
        const bool closed = e.Local() == "rect" || (*e.Attr("d")).find('Z') != std::string::npos;
        for (size_t i = 0; i + (closed ? 0 : 1) < n; ++i) {
          const auto [ax, ay] = f.points[i];
          const auto [bx, by] = f.points[(i + 1) % n];
          if (ax != bx && ay != by) return false;
          const bool on = ax == bx ? std::fabs(cx - ax) < 0.5 && (cy - ay) * (cy - by) <= 0
                                   : std::fabs(cy - ay) < 0.5 && (cx - ax) * (cx - bx) <= 0;
          if (on) {
            double phase = along + std::fabs(cx - ax) + std::fabs(cy - ay);
            bool dash_on = true;
            if (!pattern.empty()) {
              double period = 0;
              for (double v : pattern) period += v;
              phase = std::fmod(phase, period);
              for (size_t k = 0; k < pattern.size(); ++k) {
                if (phase < pattern[k]) {
                  dash_on = k % 2 == 0;
                  break;
                }
                phase -= pattern[k];
              }
            }
            if (dash_on) p = rgb(colour(stroke));
          }
          along += std::fabs(bx - ax) + std::fabs(by - ay);
        }
      }
    }
  }
  return true;
}

// ---- One operation, one element ----------------------------------------------

struct ShapeCase {
  const char* name;
  std::function<void(TCanvas&)> draw;
  std::vector<std::string> elements;
  bool pixels;  // the crisp elements must paint the canvas's very pixels
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.name; }

class SvgShapeTest : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(SvgShapeTest, WritesTheElementsThatPaintTheCanvasPixels) {
  const ShapeCase& c = GetParam();
  auto bitmap = Picture();
  c.draw(bitmap->Canvas());
  const std::string svg = EncodeSVG(*bitmap, {});
  ASSERT_EQ(XmlError(svg), "");
  const std::vector<std::string> lines = Elements(svg);
  std::string all;
  for (const std::string& l : lines) all += l + "\n";
  EXPECT_EQ(lines, c.elements) << all;
  if (!c.pixels) return;
  std::vector<TColor> pixels(kWidth * kHeight, kWhite);
  const XmlElement root = ParseXml(svg);
  for (const XmlElement& group : root.children) {
    if (group.Local() != "g") continue;
    for (size_t i = 1; i < group.children.size(); ++i) {
      ASSERT_TRUE(Paint(group.children[i], &pixels)) << all;
    }
  }
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      ASSERT_EQ(pixels[static_cast<size_t>(y) * kWidth + x], bitmap->GetPixel(x, y))
          << "pixel " << x << ", " << y << "\n" << all;
    }
  }
}

void Solid(TCanvas& c, TColor brush) { c.Brush().SetColor(brush); }
void Clear(TCanvas& c) { c.Brush().SetStyle(TBrushStyle::bsClear); }

INSTANTIATE_TEST_SUITE_P(
    Operations, SvgShapeTest,
    ::testing::Values(
        ShapeCase{"rectangle, outline and fill",
                  [](TCanvas& c) { Solid(c, kRed), c.Rectangle(5, 6, 15, 12); },
                  {R"(<rect x="5.5" y="6.5" width="9" height="5" fill="#F00" stroke="#000"/>)"},
                  true},
        ShapeCase{"rectangle, corners swapped",
                  [](TCanvas& c) { Solid(c, kRed), c.Rectangle(15, 12, 5, 6); },
                  {R"(<rect x="5.5" y="6.5" width="9" height="5" fill="#F00" stroke="#000"/>)"},
                  true},
        ShapeCase{"rectangle, no pen gives up the right and bottom edges",
                  [](TCanvas& c) {
                    c.Pen().Style = TPenStyle::psClear;
                    Solid(c, kRed);
                    c.Rectangle(5, 6, 15, 12);
                  },
                  {R"(<rect x="5" y="6" width="9" height="5" fill="#F00"/>)"}, true},
        ShapeCase{"rectangle, dashed pen over a clear brush",
                  [](TCanvas& c) {
                    c.Pen().Style = TPenStyle::psDot;
                    Clear(c);
                    c.Rectangle(5, 6, 15, 12);
                  },
                  {R"(<path d="M 14.5 6.5 L 5.5 6.5" fill="none" stroke="#000" stroke-dasharray="3 3" stroke-dashoffset="0.5"/>)",
                   R"(<path d="M 5.5 6.5 L 5.5 11.5" fill="none" stroke="#000" stroke-dasharray="3 3" stroke-dashoffset="9.5"/>)",
                   R"(<path d="M 5.5 11.5 L 14.5 11.5" fill="none" stroke="#000" stroke-dasharray="3 3" stroke-dashoffset="14.5"/>)",
                   R"(<path d="M 14.5 11.5 L 14.5 6.5" fill="none" stroke="#000" stroke-dasharray="3 3" stroke-dashoffset="23.5"/>)"},
                  true},
        ShapeCase{"level line, dashed, its gaps in the brush colour",
                  [](TCanvas& c) {
                    c.Pen().Style = TPenStyle::psDash;
                    Solid(c, kBlue);
                    c.MoveTo(35, 4);
                    c.LineTo(2, 4);
                  },
                  {R"(<path d="M 36 4.5 L 3 4.5" fill="none" stroke="#00F"/>)",
                   R"(<path d="M 36 4.5 L 3 4.5" fill="none" stroke="#000" stroke-dasharray="18 6"/>)"},
                  true},
        ShapeCase{"upright line leaves out its end point",
                  [](TCanvas& c) { c.MoveTo(3, 2), c.LineTo(3, 20); },
                  {R"(<path d="M 3.5 2 L 3.5 20" fill="none" stroke="#000"/>)"}, true},
        ShapeCase{"slanted line, one pixel for each step",
                  [](TCanvas& c) { c.MoveTo(2, 3), c.LineTo(30, 14); },
                  {R"(<path d=" M 2 2.788 L 30 13.788 L 30 14.788 L 2 3.788 Z" fill="#000"/>)"}, true},
        ShapeCase{"steep line, one pixel for each step",
                  [](TCanvas& c) { c.MoveTo(20, 25), c.LineTo(13, 2); },
                  {R"(<path d=" M 20.137 26 L 13.137 3 L 14.137 3 L 21.137 26 Z" fill="#000"/>)"},
                  true},
        ShapeCase{"pixel", [](TCanvas& c) { c.SetPixel(7, 8, kRed); },
                  {R"(<rect x="7" y="8" width="1" height="1" fill="#F00"/>)"}, true},
        ShapeCase{"wide pen: bands and round tips",
                  [](TCanvas& c) {
                    c.Pen().Width = 4;
                    c.MoveTo(5, 5);
                    c.LineTo(25, 5);
                  },
                  {R"(<path d=" M 5 3 L 25 3 L 25 7 L 5 7 Z M 3 5 A 2 2 0 1 1 7 5 A 2 2 0 1 1 3 5 Z M 23 5 A 2 2 0 1 1 27 5 A 2 2 0 1 1 23 5 Z" fill="#000" shape-rendering="auto"/>)"},
                  false},
        ShapeCase{"ellipse: smoothed fill, crisp outline",
                  [](TCanvas& c) { Solid(c, kRed), c.Ellipse(4, 4, 15, 11); },
                  {R"(<ellipse cx="9.5" cy="7.5" rx="5" ry="3" fill="#F00" shape-rendering="auto"/>)",
                   R"(<ellipse cx="9.5" cy="7.5" rx="5" ry="3" fill="none" stroke="#000"/>)"},
                  false},
        ShapeCase{"pie slice: the rim and the radials the raster stepped",
                  [](TCanvas& c) { Solid(c, kBlue), c.PieSlice(5, 5, 26, 26, 26, 15, 15, 5); },
                  {R"(<path d="M 15.5 15.5 L 25.5 15.5 A 10 10 0 0 0 16.495 5.55 Z" fill="#00F" shape-rendering="auto"/>)",
                   R"(<path d="M 25.5 15.5 A 10 10 0 0 0 16.495 5.55" fill="none" stroke="#000"/>)",
                   R"(<path d=" M 17.034 5 L 16.034 15 L 15.034 15 L 16.034 5 Z M 15 15 L 25 15 L 25 16 L 15 16 Z" fill="#000"/>)"},
                  false},
        ShapeCase{"polygon outline, one pixel for each step of each side",
                  [](TCanvas& c) {
                    Clear(c);
                    c.Polygon({{3, 3}, {36, 9}, {30, 27}, {6, 20}});
                  },
                  {R"(<path d=" M 3 2.893 L 36 8.893 L 36 9.893 L 3 3.893 Z M 37.151 9 L 31.151 27 L 30.151 27 L 36.151 9 Z M 31 28.13 L 7 21.13 L 7 20.13 L 31 27.13 Z M 6.073 21 L 3.073 4 L 4.073 4 L 7.073 21 Z" fill="#000"/>)"},
                  true},
        ShapeCase{"polygon: alternate fill, outline by its steps",
                  [](TCanvas& c) {
                    Solid(c, kRed);
                    c.Polygon({{3, 3}, {20, 5}, {8, 16}});
                  },
                  {R"(<polygon points="3.5,3.5 20.5,5.5 8.5,16.5" fill-rule="evenodd" fill="#F00" shape-rendering="auto"/>)",
                   R"(<path d=" M 3 2.926 L 20 4.926 L 20 5.926 L 3 3.926 Z M 21 5.526 L 9 16.526 L 9 15.526 L 21 4.526 Z M 8.177 17 L 3.177 4 L 4.177 4 L 9.177 17 Z" fill="#000"/>)"},
                  false}));

// ---- The document -------------------------------------------------------------

// Texts, titles and links are escaped whatever they hold, so the document is
// always well-formed: markup, quotes, references, control characters and
// unpaired surrogates.
TEST(SvgDocumentTest, IsWellFormedWhateverTheTextsHold) {
  const std::u16string hostile = u"<b a=\"1\">&amp; 'x' ]]> \x01 \xD800 \xDC00 \xFFFE end";
  auto bitmap = Picture();
  TCanvas& c = bitmap->Canvas();
  c.Font().Name = hostile;
  c.TextOut(2, 2, hostile);
  TRect block{2, 10, 38, 28};
  c.DrawText(hostile + u"\r\n&x", block, DT_LEFT);
  TSvgSettings settings;
  settings.name = hostile;
  settings.links.push_back({TMapShape::kRect, {1, 2, 3, 4}, hostile, hostile, hostile});
  const std::string svg = EncodeSVG(*bitmap, settings);
  ASSERT_EQ(XmlError(svg), "") << svg;
  const XmlElement root = ParseXml(svg);
  EXPECT_EQ(*root.Attr("role"), "img");
  EXPECT_EQ(root.children.at(0).Local(), "title");
  EXPECT_EQ(root.children.at(0).text, Utf16ToUtf8(u"<b a=\"1\">&amp; 'x' ]]> \xFFFD \xFFFD \xFFFD \xFFFD end"));
}

// Each character stands where the canvas put it, in the face that draws it.
TEST(SvgDocumentTest, PlacesEveryGlyphWhereTheCanvasDrewIt) {
  auto bitmap = Picture();
  TCanvas& c = bitmap->Canvas();
  const std::u16string text = u"Wide \u4e2d";
  c.TextOut(3, 4, text);
  const TTextLayout layout = LayOutText(c.Font(), c.GetTextAlign(), 3, 4, text);
  const XmlElement root = ParseXml(EncodeSVG(*bitmap, {}));
  const XmlElement* element = nullptr;
  for (const XmlElement& e : root.children.at(1).children) {
    if (e.Local() == "text") element = &e;
  }
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(*element->Attr("y"), std::to_string(layout.lines[0].pen_y));
  std::string xs;
  for (const XmlElement& run : element->children) xs += *run.Attr("x") + " ";
  std::string want;
  for (const TPlacedChar& p : layout.lines[0].chars) want += std::to_string(p.x) + " ";
  EXPECT_EQ(xs, want);
  ASSERT_EQ(element->children.size(), 2u);
  EXPECT_EQ(element->children[1].text, Utf16ToUtf8(u"\u4e2d"));
  EXPECT_NE(element->children[1].Attr("font-family"), nullptr) << "the fallback face is named";
  EXPECT_EQ(layout.faces.size(), 2u);
}

// The transparent colour is left out where it lies under everything, and
// masked where it paints over another colour, as the PNG shows it.
TEST(SvgDocumentTest, LeavesOutTheTransparentColourAsThePictureDoes) {
  const struct {
    const char* name;
    bool transparent;
    bool paint_over;
    bool mask;
    bool background;
  } cases[] = {{"opaque", false, false, false, true},
               {"background only", true, false, false, false},
               {"painted over a shape", true, true, true, true}};
  for (const auto& t : cases) {
    auto bitmap = Picture();
    TCanvas& c = bitmap->Canvas();
    c.Brush().SetColor(kRed);
    c.Rectangle(5, 5, 20, 20);
    if (t.paint_over) {
      c.Brush().SetColor(kWhite);
      c.Pen().Color = kWhite;
      c.Rectangle(8, 8, 12, 12);
    }
    TSvgSettings settings;
    settings.transparent = t.transparent;
    settings.transparent_colour = kWhite;
    const std::string svg = EncodeSVG(*bitmap, settings);
    ASSERT_EQ(XmlError(svg), "") << t.name;
    EXPECT_EQ(svg.find("<mask") != std::string::npos, t.mask) << t.name << "\n" << svg;
    EXPECT_EQ(svg.find("fill=\"#FFF\"") != std::string::npos, t.background) << t.name;
  }
}

// ---- The image map -------------------------------------------------------------

// Later areas lie under earlier ones, as a browser gives the pointer to the
// first area of a map; references read as HTML reads them, extra attributes
// only when they are plain and harmless.
TEST(SvgLinksTest, OverlaysTheMapAreasFirstOnTop) {
  auto bitmap = Picture();
  TSvgSettings settings;
  settings.links = {
      {TMapShape::kRect, {30, 20, 10, 5}, u"a.htm?x=1&amp;y=2", u"Fish &amp; chips", u""},
      {TMapShape::kPoly, {1, 1, 9, 1, 5, 8}, u"", u"Triangle", u""},
      {TMapShape::kCircle, {20, 15, 4}, u"c.htm", u"Dot", u""},
      {TMapShape::kCircle, {20, 15, 0}, u"none.htm", u"No area", u""},
  };
  const XmlElement root = ParseXml(EncodeSVG(*bitmap, settings));
  const XmlElement& overlay = root.children.back();
  ASSERT_EQ(overlay.children.size(), 3u);
  const XmlElement& circle = overlay.children[0];
  const XmlElement& poly = overlay.children[1];
  const XmlElement& rect = overlay.children[2];
  EXPECT_EQ(*circle.Attr("href"), "c.htm");
  EXPECT_EQ(circle.children[1].Local(), "circle");
  EXPECT_EQ(poly.Attr("href"), nullptr);
  EXPECT_EQ(*poly.children[1].Attr("points"), "1,1 9,1 5,8");
  EXPECT_EQ(*rect.Attr("href"), "a.htm?x=1&y=2");
  EXPECT_EQ(*rect.Attr("http://www.w3.org/1999/xlink href"), "a.htm?x=1&y=2");
  EXPECT_EQ(rect.children[0].text, "Fish & chips");
  const XmlElement& box = rect.children[1];
  EXPECT_EQ(*box.Attr("x") + "," + *box.Attr("y") + "," + *box.Attr("width") + "," +
                *box.Attr("height"),
            "10,5,20,15");
}

TEST(SvgLinksTest, CarriesOverOnlyPlainHarmlessAttributes) {
  const struct {
    const char16_t* extra;
    const char* kept;  // the link's attributes after href, in order
  } cases[] = {
      {u"target=\"_blank\" rel='noopener'", "target=_blank rel=noopener "},
      {u"onclick=\"alert(1)\" ONMOUSEOVER='x' style=\"color:red\"", ""},
      {u"href=\"javascript:x\" xlink:href=\"y\" xmlns:a=\"z\" transform=\"scale(9)\"", ""},
      {u"data-id=\"7\" aria-label=\"Seven &lt;7&gt;\" data-ID=\"8\"", "data-id=7 aria-label=Seven <7> "},
      {u"class=bare target=\"_top\" disabled", "target=_top "},
      {u"id=\"a\" id=\"b\" \"stray\" =\"x\" lang=\"en", "id=a "},
      {u"<script>alert(1)</script>", ""},
  };
  for (const auto& t : cases) {
    TSvgSettings settings;
    settings.links = {{TMapShape::kRect, {0, 0, 5, 5}, u"x.htm", u"T", t.extra}};
    const std::string svg = EncodeSVG(*Picture(), settings);
    ASSERT_EQ(XmlError(svg), "") << Utf16ToUtf8(t.extra);
    const XmlElement link = ParseXml(svg).children.back().children.at(0);
    std::string kept;
    for (size_t i = 2; i < link.attributes.size(); ++i) {
      kept += link.attributes[i].first + "=" + link.attributes[i].second + " ";
    }
    EXPECT_EQ(kept, t.kept) << Utf16ToUtf8(t.extra);
  }
}

}  // namespace
}  // namespace plotvane
