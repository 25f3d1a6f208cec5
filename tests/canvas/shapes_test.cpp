// Shapes and lines against the reference renderer's recorded pixels, and the
// properties the recordings cannot show: the canvas's own departures from
// the reference, clipping of shapes far larger than the bitmap, and bounds.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>

#include "canvas/bitmap.h"
#include "canvas/canvas.h"
#include "tests/canvas/shape_script.h"

namespace plotvane {
namespace {

// ---- Reference scripts --------------------------------------------------------

struct ScriptCase {
  const char* script;
  const char* op;    // the operation the script is about
  int at_least;      // how many of them it must draw
};

class ReferenceScript : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ReferenceScript, MatchesEveryRecordedPixel) {
  const ScriptCase& c = GetParam();
  testing_shapes::ShapeScript script(c.script, PLOTVANE_TEST_DATA "/canvas");
  const testing_shapes::ReplayResult result = script.Run();
  EXPECT_GT(result.dumps, 0) << c.script;
  const auto drawn = result.drawn.find(c.op);
  EXPECT_GE(drawn == result.drawn.end() ? 0 : drawn->second, c.at_least) << c.script;
  for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ReferenceScript,
    ::testing::Values(ScriptCase{"rectangles.ops", "rect", 150},
                      ScriptCase{"ellipses.ops", "ellipse", 2000},
                      ScriptCase{"pies.ops", "pie", 600},
                      ScriptCase{"pie_chart.ops", "pie", 40},
                      ScriptCase{"polygons.ops", "polygon", 40},
                      ScriptCase{"gaps.ops", "rect", 40},
                      ScriptCase{"lines.ops", "lineto", 400},
                      ScriptCase{"palette.ops", "ellipse", 24},
                      ScriptCase{"large.ops", "ellipse", 18},
                      ScriptCase{"styled_ellipses.ops", "ellipse", 500},
                      ScriptCase{"narrow_pies.ops", "pie", 1100}),
    [](const ::testing::TestParamInfo<ScriptCase>& p) {
      std::string name = p.param.script;
      return name.substr(0, name.find('.'));
    });

// A script whose background differs from what the brush gives our canvas is
// refused at the drawing line, so it cannot pass by testing something else.
struct BackgroundCase {
  const char* name;
  const char* body;    // after a bitmap line
  const char* refusal; // expected in the message; null: the script is accepted
};

class ScriptBackground : public ::testing::TestWithParam<BackgroundCase> {};

TEST_P(ScriptBackground, MustFollowTheBrush) {
  const BackgroundCase& c = GetParam();
  const std::string dir = ::testing::TempDir();
  const std::string name = std::string("background_") + c.name + ".ops";
  {
    std::ofstream out(dir + "/" + name);
    out << "bitmap 8 8 24\n" << c.body << "\nrect 1 1 6 6\n";
  }
  testing_shapes::ShapeScript script(name, dir);
  if (c.refusal == nullptr) {
    EXPECT_NO_THROW(script.Run());
    return;
  }
  try {
    script.Run();
    ADD_FAILURE() << "accepted";
  } catch (const std::runtime_error& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find(name + ":"), std::string::npos) << message;
    EXPECT_NE(message.find(c.refusal), std::string::npos) << message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ScriptBackground,
    ::testing::Values(
        BackgroundCase{"reset", "pen 0000FF 1 2", nullptr},
        BackgroundCase{"solid", "brush 123456\nbkcolor 123456\nbkmode opaque", nullptr},
        BackgroundCase{"clear", "brush clear\nbkmode transparent\nbkcolor 00FF00", nullptr},
        BackgroundCase{"stale_colour", "brush 123456\nbkmode opaque", ":4: background colour FFFFFF"},
        BackgroundCase{"transparent", "bkmode transparent", ":3: background transparent"},
        BackgroundCase{"clear_opaque", "brush clear", ":3: opaque background under a clear brush"},
        BackgroundCase{"bad_mode", "bkmode Opaque", ":2: bkmode takes"}),
    [](const ::testing::TestParamInfo<BackgroundCase>& p) { return std::string(p.param.name); });

// ---- Helpers ------------------------------------------------------------------

std::unique_ptr<TBitmap> NewBitmap(int w, int h) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(TPixelFormat::pf8bit);
  b->SetPalette({{255, 255, 255, 0}, {0, 0, 0, 0}, {255, 0, 0, 0}, {0, 0, 255, 0}});
  b->SetSize(w, h);
  return b;
}

constexpr TColor kBlack = 0x000000, kRed = 0x0000FF, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

// The pixels of a w x h window at (x, y) of a bitmap as one string.
std::string Window(const TBitmap& b, int x, int y, int w, int h) {
  std::string s;
  for (int row = y; row < y + h; ++row) {
    for (int col = x; col < x + w; ++col) {
      const TColor c = b.GetPixel(col, row);
      s += c == kWhite ? '.' : c == kBlack ? '#' : c == kRed ? 'r' : c == kBlue ? 'b' : '?';
    }
    s += '\n';
  }
  return s;
}

// ---- Departures from the reference ---------------------------------------------

// The reference paints nothing for a 1 x 1 box with a 1-pixel pen; the box
// covers one pixel, so the canvas paints it (in the pen's colour, the outline
// being that pixel), for rectangles and for the ellipses drawn as them. Boxes
// of one row or column paint all of it, as in the reference.
TEST(Rectangle, BoxOfOnePixelPaintsIt) {
  struct Case {
    bool ellipse;
    int x1, y1, x2, y2;
    TPenStyle style;
    const char* want;
  } cases[] = {
      {false, 1, 1, 2, 2, TPenStyle::psSolid, "...\n.#.\n...\n"},
      {false, 2, 2, 1, 1, TPenStyle::psDot, "...\n.#.\n...\n"},
      {false, 1, 1, 2, 2, TPenStyle::psClear, "...\n...\n...\n"},  // null pen: fill one smaller
      {false, 0, 1, 3, 2, TPenStyle::psSolid, "...\n###\n...\n"},
      {true, 1, 1, 2, 2, TPenStyle::psSolid, "...\n.#.\n...\n"},
      {true, 1, 0, 2, 3, TPenStyle::psSolid, ".#.\n.#.\n.#.\n"},
  };
  for (const Case& c : cases) {
    auto b = NewBitmap(3, 3);
    TCanvas& canvas = b->Canvas();
    canvas.Pen().Color = kWhite;
    canvas.Brush().SetColor(kWhite);
    canvas.Rectangle(0, 0, 3, 3);
    canvas.Pen().Color = kBlack;
    canvas.Pen().Style = c.style;
    canvas.Brush().SetColor(kRed);
    if (c.ellipse) {
      canvas.Ellipse(c.x1, c.y1, c.x2, c.y2);
    } else {
      canvas.Rectangle(c.x1, c.y1, c.x2, c.y2);
    }
    EXPECT_EQ(Window(*b, 0, 0, 3, 3), c.want) << c.x1 << "," << c.y1 << " ellipse " << c.ellipse;
  }
}

// For tall thin ellipses the reference's interior region leaves its top and
// bottom rows unset and fills them from stale memory (whole rows across the
// bitmap). The canvas leaves such rows empty: the fill stays within the rows
// the outline reaches, which lie inside the box.
TEST(Ellipse, ThinEllipseFillsOnlyRowsItsOutlineReaches) {
  for (int h : {8, 13, 21, 40}) {
    for (TPenStyle style : {TPenStyle::psClear, TPenStyle::psSolid}) {
      auto b = NewBitmap(30, 50);
      TCanvas& canvas = b->Canvas();
      canvas.Pen().Color = kWhite;
      canvas.Brush().SetColor(kWhite);
      canvas.Rectangle(0, 0, 30, 50);
      canvas.Pen().Color = kBlack;
      canvas.Pen().Style = style;
      canvas.Brush().SetColor(kRed);
      canvas.Ellipse(10, 2, 14, 2 + h);
      int outline_top = 50, outline_bottom = -1;
      for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 30; ++x) {
          const TColor c = b->GetPixel(x, y);
          if (c == kWhite) continue;
          EXPECT_TRUE(x >= 10 && x < 14 && y >= 2 && y < 2 + h) << "h " << h << " at " << x << "," << y;
          if (c == kBlack) {
            outline_top = std::min(outline_top, y);
            outline_bottom = std::max(outline_bottom, y);
          } else if (style == TPenStyle::psSolid) {
            EXPECT_TRUE(y > outline_top && y < 2 + h - (outline_top - 2)) << "h " << h << " at " << y;
          }
        }
      }
    }
  }
}

// ---- Clipping -------------------------------------------------------------------

// A shape far larger than the bitmap is drawn as its visible part: the same
// pixels as the window of a drawing on a bitmap large enough to hold it (the
// small bitmap evaluates the outline per row, the large one walks it).
struct ClipCase {
  const char* name;
  void (*draw)(TCanvas&, int dx, int dy);
  int width;
  int wx, wy;  // the window's top-left corner in the large drawing
};

class ClipWindow : public ::testing::TestWithParam<ClipCase> {};

TEST_P(ClipWindow, SameAsWindowOfWholeDrawing) {
  const ClipCase& c = GetParam();
  const int big = 2000, ww = 24, wh = 18;
  auto whole = NewBitmap(big, big);
  whole->Canvas().Pen().Width = c.width;
  whole->Canvas().Brush().SetColor(kRed);
  c.draw(whole->Canvas(), 0, 0);
  auto window = NewBitmap(ww, wh);
  window->Canvas().Pen().Width = c.width;
  window->Canvas().Brush().SetColor(kRed);
  c.draw(window->Canvas(), -c.wx, -c.wy);
  const std::string want = Window(*whole, c.wx, c.wy, ww, wh);
  EXPECT_EQ(want, Window(*window, 0, 0, ww, wh)) << c.name;
  EXPECT_NE(want.find('#'), std::string::npos) << c.name << ": the window shows no outline";
}

void BigEllipse(TCanvas& c, int dx, int dy) { c.Ellipse(3 + dx, 40 + dy, 1990 + dx, 1950 + dy); }
void BigPie(TCanvas& c, int dx, int dy) {
  c.Pie(3 + dx, 40 + dy, 1990 + dx, 1950 + dy, 1990 + dx, 1950 + dy, 296 + dx, 322 + dy);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ClipWindow,
    ::testing::Values(
        ClipCase{"ellipse_rim", BigEllipse, 1, 282, 311},
        ClipCase{"ellipse_side", BigEllipse, 1, 0, 985},
        ClipCase{"ellipse_top", BigEllipse, 1, 984, 35},
        ClipCase{"ellipse_wide", BigEllipse, 9, 282, 311},
        ClipCase{"ellipse_dotted", [](TCanvas& c, int dx, int dy) {
                   c.Pen().Style = TPenStyle::psDot;
                   BigEllipse(c, dx, dy);
                 }, 1, 282, 311},
        ClipCase{"pie_rim", BigPie, 1, 282, 311},
        ClipCase{"pie_centre", BigPie, 1, 984, 985},
        ClipCase{"pie_wide", BigPie, 6, 282, 311},
        ClipCase{"pie_dashed", [](TCanvas& c, int dx, int dy) {
                   c.Pen().Style = TPenStyle::psDashDotDot;
                   BigPie(c, dx, dy);
                 }, 1, 282, 311},
        ClipCase{"pie_flat_dotted", [](TCanvas& c, int dx, int dy) {
                   // One row, passed twice by the outline: the later pass shows.
                   c.Pen().Style = TPenStyle::psDot;
                   c.Pie(-1000 + dx, 985 + dy, 3000 + dx, 986 + dy, 1500 + dx, 990 + dy, 3000 + dx,
                         986 + dy);
                 }, 1, 990, 977},
        ClipCase{"polygon", [](TCanvas& c, int dx, int dy) {
                   c.Polygon({{dx, 600 + dy}, {1990 + dx, 615 + dy}, {540 + dx, 660 + dy}});
                 }, 3, 500, 600},
        ClipCase{"line", [](TCanvas& c, int dx, int dy) {
                   c.MoveTo(dx + 1, dy + 1);
                   c.LineTo(dx + 1900, dy + 1990);
                 }, 1, 700, 725},
        ClipCase{"line_dotted", [](TCanvas& c, int dx, int dy) {
                   c.Pen().Style = TPenStyle::psDashDot;
                   c.MoveTo(dx + 1950, dy + 5);
                   c.LineTo(dx + 20, dy + 1900);
                 }, 1, 1000, 930}),
    [](const ::testing::TestParamInfo<ClipCase>& p) { return std::string(p.param.name); });

// ---- Bounds ----------------------------------------------------------------------

// Extreme coordinates and pen widths finish, paint only inside the bitmap and
// leave the sanitizers quiet.
TEST(Bounds, ExtremeShapesStayInsideTheBitmap) {
  constexpr int kMax = 2147483647, kMin = -2147483647 - 1;
  struct Case {
    const char* name;
    void (*draw)(TCanvas&);
  } cases[] = {
      {"rect", [](TCanvas& c) { c.Rectangle(kMin, kMin, kMax, kMax); }},
      {"ellipse", [](TCanvas& c) { c.Ellipse(kMin, kMin, kMax, kMax); }},
      {"ellipse 65535", [](TCanvas& c) { c.Ellipse(-30000, -30000, 35535, 35535); }},
      {"pie", [](TCanvas& c) { c.Pie(kMin, kMin, kMax, kMax, kMax, 0, kMin, kMin); }},
      {"pie 65535", [](TCanvas& c) { c.Pie(-65500, 5, 35, 65540, 40, 40, 40, 40); }},
      {"polygon", [](TCanvas& c) { c.Polygon({{kMin, kMin}, {kMax, 0}, {kMin, kMax}}); }},
      {"line", [](TCanvas& c) { c.MoveTo(kMin, kMax); c.LineTo(kMax, kMin); }},
      {"wide line", [](TCanvas& c) { c.Pen().Width = kMax; c.MoveTo(kMin, 3); c.LineTo(kMax, 3); }},
      {"wide ellipse", [](TCanvas& c) { c.Pen().Width = kMax; c.Ellipse(kMin, kMin, kMax, kMax); }},
      {"wide pie", [](TCanvas& c) { c.Pen().Width = 1 << 20; c.Pie(-9000000, 0, 9000000, 9000000, 0, 0, 5, 0); }},
      {"wide rect", [](TCanvas& c) { c.Pen().Width = kMax; c.Pen().Style = TPenStyle::psInsideFrame; c.Rectangle(kMin, kMin, kMax, kMax); }},
      {"dotted ellipse", [](TCanvas& c) { c.Pen().Style = TPenStyle::psDot; c.Ellipse(kMin, kMin, kMax, kMax); }},
  };
  for (const Case& c : cases) {
    auto b = NewBitmap(17, 9);
    c.draw(b->Canvas());
    auto empty = std::make_unique<TBitmap>();
    c.draw(empty->Canvas());
    EXPECT_TRUE(empty->Empty()) << c.name;
  }
}

// Canvases of different bitmaps draw on different threads at once.
TEST(Threads, CanvasesOfDifferentBitmapsDrawInParallel) {
  auto draw = [](TBitmap* b) {
    TCanvas& c = b->Canvas();
    for (int i = 0; i < 40; ++i) {
      c.Pen().Width = 1 + i % 4;
      c.Brush().SetColor(i % 2 ? kRed : kBlue);
      c.Ellipse(i, i, 120 - i, 90 - i);
      c.Pie(0, 0, 100, 80, i * 7, 0, 0, i * 5);
      c.MoveTo(0, i);
      c.LineTo(127, 95 - i);
    }
  };
  auto expected = NewBitmap(128, 96);
  draw(expected.get());
  std::vector<std::unique_ptr<TBitmap>> bitmaps;
  for (int i = 0; i < 4; ++i) bitmaps.push_back(NewBitmap(128, 96));
  std::vector<std::thread> threads;
  for (auto& b : bitmaps) threads.emplace_back(draw, b.get());
  for (auto& t : threads) t.join();
  for (auto& b : bitmaps) EXPECT_EQ(Window(*b, 0, 0, 128, 96), Window(*expected, 0, 0, 128, 96));
}

}  // namespace
}  // namespace plotvane
