// The line graph: its lines, glyphs, map circles, legend, markers and
// anchored texts, the plot area and the scale it publishes. Most cases use
// a scale of whole pixels, X from 0 to 10 over 250 pixels and Y from 0 to
// 10 over 200, so that value (x, y) lies at pixel (50 + 25 x, 250 - 20 y).
// Expected shapes are drawn with the canvas on a page of their own and
// compared pixel for pixel, colour by colour.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/chartix.h"
#include "engine/errors.h"
#include "tests/engine/chart_fixture.h"

namespace plotvane {
namespace {

using testing_charts::Draw;
using testing_charts::Extent;
using testing_charts::RectArea;
using testing_charts::TextSize;
using testing_charts::ToString;

constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kYellow = 0x00FFFF,
                 kMagenta = 0xFF00FF, kGrey = 0x808080, kBlack = 0;

std::unique_ptr<TChartix> NewGraph() {
  auto chart = std::make_unique<TChartix>();
  chart->FXTop = chart->FYTop = 10;
  chart->FXGrad = chart->FYGrad = 1;
  chart->FShowLegend = false;
  return chart;
}

// The pixel of value (x, y) on the scale of NewGraph.
TPoint P(double x, double y) {
  return {50 + static_cast<int>(25 * x), 250 - static_cast<int>(20 * y)};
}

TRect Box(int l, int t, int r, int b) { return TRect{l, t, r, b}; }

// Round(w / 2), halves to even.
int Half(int w) { return w % 2 == 0 || (w / 2) % 2 == 0 ? w / 2 : w / 2 + 1; }

// A page of `w` x `h` in 24 bits for expected shapes.
std::unique_ptr<TBitmap> NewPage(int w = 400, int h = 300) {
  auto page = std::make_unique<TBitmap>();
  page->SetPixelFormat(TPixelFormat::pf24bit);
  page->SetSize(w, h);
  return page;
}

// "" when `a` and `b` have `colour` at exactly the same pixels, else the
// first pixel where they differ.
std::string Difference(const TBitmap& a, const TBitmap& b, TColor colour) {
  for (int y = 0; y < std::max(a.Height(), b.Height()); ++y) {
    for (int x = 0; x < std::max(a.Width(), b.Width()); ++x) {
      const bool in_a = x < a.Width() && y < a.Height() && a.GetPixel(x, y) == colour;
      const bool in_b = x < b.Width() && y < b.Height() && b.GetPixel(x, y) == colour;
      if (in_a != in_b) return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
    }
  }
  return "";
}

void Polyline(TCanvas& canvas, const std::vector<TPoint>& points, TColor colour) {
  canvas.Pen().Color = colour;
  canvas.MoveTo(points[0].x, points[0].y);
  for (size_t i = 1; i < points.size(); ++i) canvas.LineTo(points[i].x, points[i].y);
}

// ---- Lines and glyphs ----------------------------------------------------------

struct Point {
  double x, y;
  const char16_t* colour;
  const char16_t* name;
};

TEST(LineGraphTest, EachRunOfOneColourStringIsOnePolylineInListOrder) {
  struct Case {
    const char* name;
    std::vector<Point> points;
    bool show_line, squares;
    std::vector<std::vector<TPoint>> red, blue;  // expected polylines
  } cases[] = {
      {"alternating colours",
       {{1, 1, u"FF0000", u"r"}, {2, 8, u"0000FF", u"b"}, {3, 3, u"FF0000", u"r"},
        {4, 8, u"0000FF", u"b"}, {5, 1, u"FF0000", u"r"}},
       true, false, {{P(1, 1), P(3, 3), P(5, 1)}}, {{P(2, 8), P(4, 8)}}},
      {"two names, one colour string",
       {{1, 1, u"FF0000", u"a"}, {2, 5, u"ff0000", u"a"}, {6, 2, u"FF0000", u"b"},
        {8, 7, u"FF0000", u"b"}},
       true, false, {{P(1, 1), P(2, 5), P(6, 2), P(8, 7)}}, {}},
      {"unsorted x", {{3, 2, u"FF0000", u""}, {1, 5, u"FF0000", u""}, {2, 8, u"FF0000", u""}},
       true, false, {{P(3, 2), P(1, 5), P(2, 8)}}, {}},
      {"squares over the lines",
       {{1, 1, u"FF0000", u"r"}, {2, 1, u"0000FF", u"b"}, {3, 1, u"FF0000", u"r"},
        {4, 1, u"0000FF", u"b"}},
       true, true, {{P(1, 1), P(3, 1)}}, {{P(2, 1), P(4, 1)}}},
      {"only squares",
       {{1, 1, u"FF0000", u"r"}, {2, 8, u"0000FF", u"b"}, {3, 3, u"FF0000", u"r"}},
       false, true, {{P(1, 1), P(3, 3)}}, {{P(2, 8)}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto chart = NewGraph();
    chart->FShowLine = c.show_line;
    if (c.squares) {
      chart->FPointStyle = cxpsSquare;
      chart->FPointSize = 2;
    }
    for (const Point& p : c.points) chart->AddPoint(p.x, p.y, p.colour, p.name);
    Draw(*chart, cxtLine);

    auto page = NewPage();
    TCanvas& canvas = page->Canvas();
    const std::pair<const std::vector<std::vector<TPoint>>*, TColor> lines[] = {{&c.red, kRed},
                                                                                {&c.blue, kBlue}};
    if (c.show_line) {
      for (const auto& l : lines)
        for (const auto& line : *l.first) Polyline(canvas, line, l.second);
    }
    if (c.squares) {  // after every line, the glyphs in list order
      for (const auto& l : lines) {
        for (const auto& line : *l.first) {
          for (const TPoint& p : line) {
            canvas.Pen().Color = l.second;
            canvas.Brush().SetColor(l.second);
            canvas.Rectangle(p.x - 2, p.y - 2, p.x + 2, p.y + 2);
          }
        }
      }
    }
    EXPECT_EQ(Difference(chart->Bitmap(), *page, kRed), "");
    EXPECT_EQ(Difference(chart->Bitmap(), *page, kBlue), "");
  }
}

TEST(LineGraphTest, GlyphsHaveTheTabledShapes) {
  enum Kind { kEllipse, kBox, kLine, kPolygon };
  struct Shape {
    Kind kind;
    bool filled;
    std::vector<TPoint> points;
  };
  struct Case {
    TPointStyle style;
    Word size;
    std::vector<Shape> shapes;  // centred on (100, 100)
  } cases[] = {
      {cxpsNone, 2, {}},
      {cxpsDot, 2, {{kEllipse, true, {{98, 98}, {102, 102}}}}},
      {cxpsCircle, 2, {{kEllipse, false, {{98, 98}, {102, 102}}}}},
      {cxpsDCross, 2, {{kLine, false, {{98, 98}, {103, 103}}}, {kLine, false, {{98, 102}, {103, 97}}}}},
      {cxpsVCross, 2, {{kLine, false, {{100, 98}, {100, 103}}}, {kLine, false, {{98, 100}, {103, 100}}}}},
      {cxpsSquare, 2, {{kBox, true, {{98, 98}, {102, 102}}}}},
      {cxpsDiamond, 2, {{kPolygon, true, {{99, 100}, {100, 102}, {101, 100}, {100, 98}}}}},
      {cxpsTriangleU, 2, {{kPolygon, true, {{98, 102}, {102, 102}, {100, 98}}}}},
      {cxpsTriangleD, 2, {{kPolygon, true, {{98, 98}, {102, 98}, {100, 102}}}}},
      {cxpsDot, 4, {{kEllipse, true, {{96, 96}, {104, 104}}}}},
      {cxpsCircle, 4, {{kEllipse, false, {{96, 96}, {104, 104}}}}},
      {cxpsDCross, 4, {{kLine, false, {{96, 96}, {105, 105}}}, {kLine, false, {{96, 104}, {105, 95}}}}},
      {cxpsVCross, 4, {{kLine, false, {{100, 96}, {100, 105}}}, {kLine, false, {{96, 100}, {105, 100}}}}},
      {cxpsSquare, 4, {{kBox, true, {{96, 96}, {104, 104}}}}},
      {cxpsDiamond, 4, {{kPolygon, true, {{98, 100}, {100, 104}, {102, 100}, {100, 96}}}}},
      {cxpsTriangleU, 4, {{kPolygon, true, {{96, 103}, {104, 103}, {100, 97}}}}},
      {cxpsTriangleD, 4, {{kPolygon, true, {{96, 97}, {104, 97}, {100, 103}}}}},
      // Half widths of 5.19 and half heights of 7.79 tell the factors apart.
      {cxpsDiamond, 9, {{kPolygon, true, {{95, 100}, {100, 109}, {105, 100}, {100, 91}}}}},
      {cxpsTriangleU, 9, {{kPolygon, true, {{91, 108}, {109, 108}, {100, 92}}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("style " + std::to_string(c.style) + " size " + std::to_string(c.size));
    TChartix chart;
    chart.FBGColour = kYellow;
    chart.FBitmap = NewPage(200, 200);
    TCanvas& canvas = TChartixTestPeer::Canvas(chart);
    canvas.Pen().Color = kGrey;
    canvas.Brush().SetColor(kMagenta);
    TChartixTestPeer::Point(chart, 100, 100, c.style, c.size, kRed);

    auto page = NewPage(200, 200);
    TCanvas& expected = page->Canvas();
    expected.Pen().Color = kRed;
    bool filled = false;
    for (const Shape& s : c.shapes) {
      filled = s.filled;
      expected.Brush().SetColor(kRed);
      if (!s.filled) expected.Brush().SetStyle(TBrushStyle::bsClear);
      const TPoint a = s.points[0], b = s.points[1];
      switch (s.kind) {
        case kEllipse: expected.Ellipse(a.x, a.y, b.x, b.y); break;
        case kBox: expected.Rectangle(a.x, a.y, b.x, b.y); break;
        case kLine: expected.MoveTo(a.x, a.y); expected.LineTo(b.x, b.y); break;
        case kPolygon: expected.Polygon(s.points); break;
      }
    }
    EXPECT_EQ(Difference(chart.Bitmap(), *page, kRed), "");
    // The pen comes back; the brush is left solid, in the background colour
    // after a filled shape.
    EXPECT_EQ(canvas.Pen().Color, kGrey);
    EXPECT_EQ(canvas.Brush().Style(), TBrushStyle::bsSolid);
    EXPECT_EQ(canvas.Brush().Color(), filled ? kYellow : kMagenta);
  }
  // Sizes as they show: a dot of size 2 is 4 pixels across, the arms of a
  // cross of size 4 cover X - 4 to X + 4.
  TChartix chart;
  chart.FBitmap = NewPage(200, 200);
  TChartixTestPeer::Point(chart, 50, 50, cxpsDot, 2, kRed);
  TChartixTestPeer::Point(chart, 100, 100, cxpsVCross, 4, kBlue);
  EXPECT_EQ(ToString(Extent(chart, kRed)), "48,48,51,51");
  EXPECT_EQ(ToString(Extent(chart, kBlue)), "96,96,104,104");
}

TEST(LineGraphTest, MarkersTakeTheirOwnStyleSizeAndColourAndTheHandleDrawingHasNone) {
  auto chart = NewGraph();
  chart->AddPoint(1, 1, u"FF0000", u"");
  chart->FPointStyle = cxpsDot;
  chart->FPointSize = 6;
  chart->AddMarker(2, 2, cxpsSquare, 3, u"00FF00");
  chart->AddMarker(5, 5, cxpsNone, 4, u"FF00FF");
  chart->AddMarker(12, 11, cxpsDot, 2, u"0000FF");  // beyond both axes' tops
  chart->AddLineGraphText(u"Ab", 4, 5, 0);
  chart->FLineGraphTextTransparent = false;
  chart->FLineGraphTextBGColor = kYellow;
  Draw(*chart, cxtLine);
  EXPECT_EQ(ToString(Extent(*chart, kGreen)), "97,207,102,212");
  EXPECT_GT(Extent(*chart, kMagenta).Left, Extent(*chart, kMagenta).Right);  // none
  EXPECT_EQ(ToString(Extent(*chart, kBlue)), "348,28,351,31");
  // The handle's drawing has the graph and its texts, but no markers.
  const std::unique_ptr<TBitmap> handle = chart->Handle(cxtLine);
  EXPECT_EQ(handle->GetPixel(P(1, 1).x, P(1, 1).y), kRed);
  EXPECT_EQ(handle->GetPixel(150, 150), kYellow);
  EXPECT_NE(handle->GetPixel(P(2, 2).x, P(2, 2).y), kGreen);
}

TEST(LineGraphTest, MapCirclesFollowTheListOrder) {
  auto chart = NewGraph();
  chart->FPointSize = 3;
  chart->AddPoint(1, 1, u"FF0000", u"");
  chart->AddPoint(2, 2, u"0000FF", u"");
  chart->AddPoint(3, 3, u"FF0000", u"");
  for (const char16_t* title : {u"e0", u"e1", u"e2"}) chart->AddMapArea(u"", title, u"");
  auto circle = [](TPoint p, int entry) {
    const std::string e = "e" + std::to_string(entry);
    return "<area shape=\"circle\" coords=\"" + std::to_string(p.x) + "," + std::to_string(p.y) +
           ",6\" title=\"" + e + "\"  alt=\"" + e + "\" />";
  };
  // The second red point is list entry 1, before the blue one.
  EXPECT_EQ(Draw(*chart, cxtLine), "<map name=\"map1\" id=\"map1\" >" + circle(P(1, 1), 0) +
                                       circle(P(3, 3), 1) + circle(P(2, 2), 2) + "</map>");
  chart->FIMDataArea = false;
  EXPECT_EQ(Draw(*chart, cxtLine), "<map name=\"map1\" id=\"map1\" ></map>");
}

// ---- Legend --------------------------------------------------------------------

TEST(LineGraphTest, LegendHasOneEntryPerLineNamedByItsFirstShownName) {
  auto chart = NewGraph();
  chart->FShowLegend = true;
  chart->FLegendX = 200;
  chart->FLegendY = 150;
  chart->FIMDataArea = false;
  chart->AddPoint(1, 1, u"FF0000", u"");
  chart->AddPoint(2, 1, u"FF0000", u"Alpha");
  chart->AddPoint(1, 2, u"0000FF", u"");
  chart->AddPoint(1, 3, u"00FF00", u"Gamma");
  for (const char16_t* title : {u"e0", u"e1", u"e2"}) chart->AddMapArea(u"", title, u"");
  const int alpha = TextSize(chart->FLegendFont, u"Alpha").cx;
  const int gamma = TextSize(chart->FLegendFont, u"Gamma").cx;
  auto row = [](int k, int width) {  // swatch and name of row k of a column at (200, 150)
    const int yc = 160 + 16 * k;
    return RectArea(205, yc - 4, 213, yc + 4, k) + RectArea(218, yc - 6, 218 + width, yc + 6, k);
  };
  const std::string open = "<map name=\"map1\" id=\"map1\" >";
  EXPECT_EQ(Draw(*chart, cxtLine), open + row(0, 0) + row(1, 0) + row(2, gamma) + "</map>");
  EXPECT_EQ(chart->PixelColour(209, 176), kBlue);

  // Hidden names: the red line is named after its second point, the blue one
  // has no entry.
  chart->FLegendHideEmptyNames = true;
  EXPECT_EQ(Draw(*chart, cxtLine), open + row(0, alpha) + row(1, gamma) + "</map>");
  EXPECT_EQ(chart->PixelColour(209, 176), kGreen);

  chart->FCustomLegend = true;
  chart->AddCustomLegend(u"", u"FF00FF");
  EXPECT_EQ(Draw(*chart, cxtLine), open + row(0, 0) + "</map>");
  EXPECT_EQ(chart->PixelColour(209, 160), kMagenta);

  // In one row a name's area reaches from yc - 6 to yc + 6, as in a column,
  // not one cell high as in the row legend of pies and bars (to 165).
  chart->AddCustomLegend(u"", u"FFFF00");
  chart->FLegendVertical = false;
  EXPECT_EQ(Draw(*chart, cxtLine), open + RectArea(205, 156, 213, 164, 0) +
                                       RectArea(218, 154, 218, 166, 0) +
                                       RectArea(223, 156, 231, 164, 1) +
                                       RectArea(236, 154, 236, 166, 1) + "</map>");
}

// ---- Plot area and scale -------------------------------------------------------

TEST(LineGraphTest, PlotAreaWidensByTheLabelPointSizeTowardsNegativeParts) {
  struct Case {
    Word x_negative, y_negative;
    bool numbers;
    TRect plot;  // inclusive
  } cases[] = {
      {0, 0, true, Box(50, 0, 300, 200)},      {40, 0, true, Box(10, 0, 260, 200)},
      {0, 60, true, Box(50, 60, 308, 260)},    {40, 60, true, Box(2, 52, 268, 268)},
      {40, 60, false, Box(10, 60, 260, 260)},
  };
  for (const Case& c : cases) {
    auto chart = NewGraph();
    chart->AddPoint(1, 1, u"FF0000", u"");
    chart->FOriginY = 200;
    chart->FXAxisNegative = c.x_negative;
    chart->FYAxisNegative = c.y_negative;
    chart->FShowNumbers = c.numbers;
    chart->FPlotAreaColor = kYellow;
    chart->FGraphPen = kYellow;  // axes without tick marks stay inside the plot
    chart->FXMarkSize = chart->FYMarkSize = 0;
    chart->FLabelBGColour = kGreen;
    Draw(*chart, cxtLine);
    SCOPED_TRACE(std::to_string(c.x_negative) + " " + std::to_string(c.y_negative));
    EXPECT_EQ(ToString(Extent(*chart, kYellow)), ToString(c.plot));
  }
}

TEST(LineGraphTest, ReadBackFieldsHoldTheScaleUsedAndAutomaticScalesStayAutomatic) {
  auto chart = std::make_unique<TChartix>();
  chart->AddPoint(37, 23, u"FF0000", u"");
  chart->AddPoint(1, 1, u"FF0000", u"");
  Draw(*chart, cxtLine);
  EXPECT_EQ(chart->FReadXTop, 40);
  EXPECT_EQ(chart->FReadXGrad, 8);
  EXPECT_EQ(chart->FReadYTop, 30);
  EXPECT_EQ(chart->FReadYGrad, 6);
  EXPECT_EQ(chart->FXPixelsPerUnit, 250.0 / 40);
  EXPECT_EQ(chart->FYPixelsPerUnit, 200.0 / 30);
  EXPECT_EQ(chart->FXTop, 0);
  EXPECT_EQ(chart->FXGrad, 0);
  EXPECT_EQ(chart->FYTop, 0);
  EXPECT_EQ(chart->FYGrad, 0);
  // GraphX and GraphY read the picture's pixels back as values.
  EXPECT_EQ(chart->GraphX(100), 8);
  EXPECT_EQ(chart->GraphY(50), 30);
  EXPECT_EQ(chart->PixelColour(50 + 231, 250 - 153), kRed);  // (37, 23): Round(231.25), Round(153.33)

  chart->FXTop = 50;
  chart->FXGrad = 5;
  Draw(*chart, cxtLine);
  EXPECT_EQ(chart->FReadXTop, 50);
  EXPECT_EQ(chart->FReadXGrad, 5);
  EXPECT_EQ(chart->FXTop, 50);

  chart->FLabelFont.Height = 0;  // a point size of 0 cannot space the steps
  EXPECT_THROW_MSG(Draw(*chart, cxtLine), EDivByZero, "Division by zero");
  EXPECT_EQ(chart->FYTop, 0);
  EXPECT_EQ(chart->FYGrad, 0);
}

// ---- The axes under the graph --------------------------------------------------

TEST(LineGraphTest, VerticalGridLinesStandAtEveryXStepOnBothSides) {
  struct Case {
    Word origin_x, x_negative;
    std::vector<int> columns;  // grid columns in a row between the horizontal lines
  } cases[] = {
      {50, 0, {100, 150, 200, 250, 300}},
      {150, 100, {60, 90, 120, 180, 210, 240, 270, 300}},  // 30 pixels a step
  };
  for (const Case& c : cases) {
    auto chart = NewGraph();
    chart->AddPoint(1, 1, u"FF0000", u"");
    chart->FOriginX = c.origin_x;
    chart->FXAxisNegative = c.x_negative;
    chart->FXGrad = 2;
    chart->FYGrad = 5;
    chart->FShowNumbers = false;
    chart->FShowGrid = true;
    chart->FGridColour = kGrey;
    chart->FGridStyle = TPenStyle::psSolid;
    Draw(*chart, cxtLine);
    std::vector<int> columns;
    for (int x = 0; x < 400; ++x) {
      if (chart->PixelColour(x, 160) == kGrey) columns.push_back(x);
    }
    EXPECT_EQ(columns, c.columns) << c.origin_x;
    // Grid lines end at the plot's top, tick marks 4 pixels under the axis.
    EXPECT_EQ(chart->PixelColour(c.columns.back(), 51), kGrey);
    EXPECT_NE(chart->PixelColour(c.columns.back(), 49), kGrey);
    EXPECT_EQ(chart->PixelColour(c.columns.back(), 254), kBlack);
    EXPECT_NE(chart->PixelColour(c.columns.back(), 255), kBlack);
  }
}

TEST(LineGraphTest, LowerCaptionFollowsTheXNumbersAndOriginNumbersYieldToNegativeParts) {
  const int tall = TextSize(TChartix().FLabelFont, u"10").cx;
  const int zero = TextSize(TChartix().FLabelFont, u"0").cx;
  struct Case {
    bool numbers, vertical;
    Word y_negative;
    int caption_top;
    bool x_origin_number;
  } cases[] = {
      {true, false, 0, 250 + 6 + 11 + 3, true},
      {true, true, 0, 250 + 6 + tall + 3, true},
      {false, false, 0, 250 + 3, false},
      {true, false, 50, 250 + 5 + 3, false},  // origin at 200, numbers end above the negative part
  };
  for (const Case& c : cases) {
    auto chart = NewGraph();
    chart->AddPoint(1, 1, u"FF0000", u"");
    chart->FShowNumbers = c.numbers;
    chart->FXValuesVertical = c.vertical;
    chart->FYAxisNegative = c.y_negative;
    chart->FOriginY = static_cast<Word>(250 - c.y_negative);
    chart->FXAxisText = u"x";
    chart->FAxisTextBGColour = kYellow;
    chart->FLabelBGColour = kGreen;
    Draw(*chart, cxtLine);
    SCOPED_TRACE(std::to_string(c.numbers) + std::to_string(c.vertical) + std::to_string(c.y_negative));
    EXPECT_EQ(Extent(*chart, kYellow).Top, c.caption_top);
    const int number_top = chart->FOriginY + 6;
    const int origin_left = 50 - Half(zero);
    EXPECT_EQ(chart->PixelColour(origin_left, number_top) == kGreen, c.x_origin_number);
  }
}

// ---- Text items ----------------------------------------------------------------

struct Metrics {
  int w, hc, ascent, descent;
};

Metrics MetricsOf(const TFont& font, const std::u16string& text) {
  TBitmap scratch;
  scratch.Canvas().Font() = font;
  const TTextMetric tm = scratch.Canvas().GetTextMetrics();
  return {scratch.Canvas().TextExtent(text).cx, tm.tmHeight, tm.tmAscent, tm.tmDescent};
}

std::unique_ptr<TChartix> NewTextGraph(const std::u16string& text, Single angle) {
  auto chart = NewGraph();
  chart->AddPoint(1, 1, u"FF0000", u"");
  chart->AddLineGraphText(text, 4, 5, angle);  // at (150, 150)
  chart->FLineGraphTextBGColor = kYellow;
  chart->FLineGraphBorderColor = kGreen;
  chart->FLineGraphLeaderColor = kMagenta;
  chart->FLineGraphTextTransparent = false;
  return chart;
}

TEST(LineGraphTextTest, FramesAndCellsOfEveryAlignmentLevelAndUpwards) {
  const std::u16string text = u"Ab";
  const Metrics m = MetricsOf(TChartix().FLineGraphFont, text);
  const int w = m.w, hc = m.hc, a = m.ascent, d = m.descent;
  const int half = Half(w);
  for (int align = cxtaTopLeft; align <= cxtaBottomRight; ++align) {
    const int h = align % 3, v = align / 3;
    for (Single angle : {0.0f, 90.0f}) {
      SCOPED_TRACE("align " + std::to_string(align) + " angle " + std::to_string(angle));
      auto chart = NewTextGraph(text, angle);
      chart->FLineGraphTextAlign = static_cast<TTextAlign>(align);
      Draw(*chart, cxtLine);
      const TRect cell = Extent(*chart, kYellow);
      TRect expected;
      if (angle == 0) {
        expected.Left = 150 - (h == 0 ? 0 : h == 1 ? w / 2 : w);
        expected.Top = 150 - (v == 0 ? 0 : v == 1 ? a : hc);
        expected = Box(expected.Left, expected.Top, expected.Left + w - 1, expected.Top + hc - 1);
      } else {
        const int left = 150 + (v == 0 ? 0 : v == 1 ? -a : -hc);
        const int end = 150 + (h == 0 ? 0 : h == 1 ? w / 2 : w);
        expected = Box(left, end - w, left + hc - 1, end - 1);
      }
      EXPECT_EQ(ToString(cell), ToString(expected));

      chart->FLineGraphTextBorder = true;
      Draw(*chart, cxtLine);
      int x1, y1, x2, y2;  // the frame's corners as given, right and bottom outside
      if (angle == 0) {
        x1 = 150 + (h == 0 ? -2 : h == 1 ? -half - 2 : -w - 2);
        x2 = 150 + (h == 0 ? w + 1 : h == 1 ? half + 1 : 1);
        const int top = v == 0 ? 0 : v == 1 ? a : hc;
        y1 = 150 - top;
        y2 = 150 + hc - top + 1;
      } else {
        y1 = 150 - (h == 0 ? w + 1 : h == 1 ? half + 1 : 1);
        y2 = 150 - (h == 0 ? -2 : h == 1 ? -half - 2 : -w - 2);
        x1 = 150 + (v == 0 ? 0 : v == 1 ? -a : -hc);
        x2 = 150 + (v == 0 ? hc + 1 : v == 1 ? d + 1 : 1);
      }
      EXPECT_EQ(ToString(Extent(*chart, kGreen)), ToString(Box(x1, y1, x2 - 1, y2 - 1)));
    }
  }
}

TEST(LineGraphTextTest, OffsetsMoveTheAnchorAndTheLeaderJoinsItToTheDataPoint) {
  auto chart = NewTextGraph(u"Ab", 0);
  chart->FLineGraphTextXOffset = 20;
  chart->FLineGraphTextYOffset = 10;  // up
  chart->FLineGraphTextLeader = true;
  Draw(*chart, cxtLine);
  const TRect cell = Extent(*chart, kYellow);
  EXPECT_EQ(cell.Left, 170);
  EXPECT_EQ(cell.Top, 140);
  auto page = NewPage();
  Polyline(page->Canvas(), {{150, 150}, {170, 140}}, kMagenta);
  EXPECT_EQ(Difference(chart->Bitmap(), *page, kMagenta), "");

  chart->FLineGraphTextXOffset = chart->FLineGraphTextYOffset = 0;
  Draw(*chart, cxtLine);
  EXPECT_GT(Extent(*chart, kMagenta).Left, Extent(*chart, kMagenta).Right);  // nothing to see
}

TEST(LineGraphTextTest, LevelBlocksStepByTheCellHeightAndOtherAnglesGetNoFrame) {
  const Metrics first = MetricsOf(TChartix().FLineGraphFont, u"Ab");
  const Metrics second = MetricsOf(TChartix().FLineGraphFont, u"Longer");
  auto chart = NewTextGraph(u"Ab\r\nLonger", 0);
  Draw(*chart, cxtLine);
  EXPECT_EQ(ToString(Extent(*chart, kYellow)),
            ToString(Box(150, 150, 150 + second.w - 1, 150 + 2 * first.hc - 1)));
  EXPECT_NE(chart->PixelColour(150 + first.w, 150), kYellow);  // the first line is shorter
  chart->FLineGraphTextBorder = true;
  Draw(*chart, cxtLine);
  EXPECT_EQ(ToString(Extent(*chart, kGreen)),
            ToString(Box(148, 150, 150 + second.w, 150 + 2 * first.hc)));

  for (bool transparent : {false, true}) {
    auto turned = NewTextGraph(u"Ab", 45);
    turned->FLineGraphTextBorder = true;
    turned->FLineGraphTextTransparent = transparent;
    Draw(*turned, cxtLine);
    EXPECT_GT(Extent(*turned, kGreen).Left, Extent(*turned, kGreen).Right);
    EXPECT_EQ(Extent(*turned, kYellow).Left <= Extent(*turned, kYellow).Right, !transparent);
  }
}

// ---- Far values ----------------------------------------------------------------

TEST(LineGraphTest, FarValuesKeepTheirDirectionAndCostOnlyTheBitmap) {
  auto chart = NewGraph();
  chart->AddPoint(0, 0, u"FF0000", u"");
  chart->AddPoint(4e13, 4e13, u"FF0000", u"");  // 1e15 pixels out, on the line to (20, 20)
  chart->AddPoint(1e300, -1e300, u"0000FF", u"");
  chart->AddPoint(1e300, 1e300, u"0000FF", u"");
  chart->FPointStyle = cxpsDot;
  chart->FPointSize = 65535;
  chart->FLineWidth = 3;
  chart->AddMarker(1e300, 1e300, cxpsSquare, 65535, u"00FF00");
  chart->AddLineGraphText(u"far", 1e30f, -1e30f, 90);
  chart->FLineGraphTextLeader = true;
  chart->FLineGraphTextBorder = true;
  chart->FShowGrid = true;
  Draw(*chart, cxtLine);
  // Only a narrow pen and no glyph keep the comparison to the line alone.
  chart->FPointStyle = cxpsNone;
  chart->FLineWidth = 1;
  chart->MarkerList.clear();
  chart->LineGraphTextList.clear();
  Draw(*chart, cxtLine);
  auto page = NewPage();
  Polyline(page->Canvas(), {P(0, 0), P(20, 20)}, kRed);
  EXPECT_EQ(Difference(chart->Bitmap(), *page, kRed), "");
}

}  // namespace
}  // namespace plotvane
