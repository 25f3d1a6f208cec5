// Image-map areas. Each area is one HTML element appended to FImageMapText
// while a chart is drawn, for map entry `index` (the index-th AddMapArea):
//
//   <area shape="rect" coords="L,T,R,B" href="URL" title="TITLE" EXTRA alt="TITLE" />
//
// The href attribute is left out when the entry's link is empty, and the
// extra text is inserted as given (an empty one leaves two blanks in a row).
// Links, titles and extra texts are not escaped: the client supplies
// HTML-safe text. A shape whose index has no entry gets no area. Each area
// is also kept in FImageMapAreas, for writers that draw the map another way.
#include <cmath>
#include <string>

#include "engine/chartix.h"
#include "engine/rounding.h"

namespace plotvane {

namespace {

void AppendNumber(std::u16string& out, Int64 n) {
  for (char c : std::to_string(n)) out += static_cast<char16_t>(c);
}

void AppendCoords(std::u16string& out, std::initializer_list<Int64> coords) {
  bool first = true;
  for (Int64 c : coords) {
    if (!first) out += u',';
    AppendNumber(out, c);
    first = false;
  }
}

// The end of area element `index`: its link, title, extra text and
// alternative text, after its coordinates.
void AppendAreaTail(TChartix& chart, Integer index) {
  std::u16string& text = chart.FImageMapText;
  const std::u16string& url = chart.IMURLList[index];
  const std::u16string& title = chart.IMTitleList[index];
  if (!url.empty()) {
    text += u"\" href=\"";
    text += url;
  }
  text += u"\" title=\"";
  text += title;
  text += u"\" ";
  text += chart.IMAreaExtra[index];
  text += u" alt=\"";
  text += title;
  text += u"\" />";
}

}  // namespace

void TChartix::AddRectArea(Integer left, Integer top, Integer right, Integer bottom,
                           Integer index) {
  if (index < 0 || index >= IMURLList.Count()) return;
  FImageMapText += u"<area shape=\"rect\" coords=\"";
  AppendCoords(FImageMapText, {left, top, right, bottom});
  FImageMapAreas.push_back({TImageMapArea::kRect, {left, top, right, bottom}, index});
  AppendAreaTail(*this, index);
}

void TChartix::AddPieSliceArea(Integer end_x, Integer end_y, Integer start_x, Integer start_y,
                               Integer index, Extended start_angle, Extended end_angle) {
  if (index < 0 || index >= IMURLList.Count()) return;
  // The polygon follows the rim at three intermediate angles, so that a wide
  // slice is covered by more than its triangle.
  const Extended half = static_cast<Extended>(FPieDia) / 2;
  const Extended q = (end_angle - start_angle) / 4;
  auto rim = [&](Extended a) {
    return TPoint{Round(FCentreX + std::sin(a) * half), Round(FCentreY + std::cos(a) * half)};
  };
  const TPoint p1 = rim(start_angle + q), p2 = rim(start_angle + 2 * q),
               p3 = rim(start_angle + 3 * q);
  FImageMapText += u"<area shape=\"poly\" coords=\"";
  AppendCoords(FImageMapText, {end_x, end_y, FCentreX, FCentreY, start_x, start_y, p1.x, p1.y,
                               p2.x, p2.y, p3.x, p3.y});
  FImageMapAreas.push_back({TImageMapArea::kPoly,
                            {end_x, end_y, FCentreX, FCentreY, start_x, start_y, p1.x, p1.y, p2.x,
                             p2.y, p3.x, p3.y},
                            index});
  AppendAreaTail(*this, index);
}

void TChartix::AddCircleArea(Integer x, Integer y, Integer index) {
  if (index < 0 || index >= IMURLList.Count()) return;
  FImageMapText += u"<area shape=\"circle\" coords=\"";
  AppendCoords(FImageMapText, {x, y, 2 * static_cast<Int64>(FPointSize)});
  FImageMapAreas.push_back({TImageMapArea::kCircle, {x, y, 2 * Integer{FPointSize}}, index});
  AppendAreaTail(*this, index);
}

}  // namespace plotvane
