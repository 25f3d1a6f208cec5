// The render driver: one entry into drawing (GetGraph), the fresh bitmap every
// chart starts from (PrepareCanvas), and the small queries about the last
// drawing.
//
// A drawing runs the drawers of its chart type in a fixed order on a new
// bitmap; later drawers paint over earlier ones and image-map areas are
// appended in drawing order. The palette of an indexed chart holds exactly
// the colours the chart can use, so no other colour can ever appear in it.
#include <cstdlib>
#include <vector>

#include "engine/chartix.h"
#include "engine/drawing.h"
#include "engine/errors.h"
#include "engine/extra_line.h"

namespace plotvane {

namespace {

constexpr char kNoData[] = "No data items or points defined.";

// The drawers a chart is made of, in drawing order: later ones paint over
// earlier ones and append their image-map areas after theirs.
enum class Drawer : uint8_t {
  kPie,
  kVBars,
  kHBars,
  kVStackedBars,
  kHStackedBars,
  kTrendLine,  // when FShowTrendLine
  kBarLines,   // when FShowLinesWithBars and there are points
  kLegend,
  kStackedLegend,
  kTitle,
  kAxisCaptions,
  kLineGraph,
  kLineLegend,
  kMarkers,
  kLineGraphText,
};

struct ChartDrawers {
  TGraphType type;
  std::vector<Drawer> full;    // GetGraph, before the text items and extra lines
  std::vector<Drawer> handle;  // the reduced drawing of Handle
};

const std::vector<Drawer>& DrawersOf(TGraphType graph_type, bool full) {
  using D = Drawer;
  // Chart kinds without drawers of their own here draw only their
  // annotation, on an empty bitmap.
  static const ChartDrawers kCharts[] = {
      {cxtPie, {D::kPie, D::kLegend, D::kTitle}, {D::kPie, D::kLegend, D::kTitle}},
      {cxtVBar,
       {D::kVBars, D::kTrendLine, D::kBarLines, D::kLegend, D::kTitle, D::kAxisCaptions},
       {D::kVBars, D::kLegend, D::kTitle, D::kAxisCaptions}},
      {cxtHBar,
       {D::kHBars, D::kTrendLine, D::kBarLines, D::kLegend, D::kTitle, D::kAxisCaptions},
       {D::kHBars, D::kLegend, D::kTitle, D::kAxisCaptions}},
      {cxtLine,
       {D::kLineGraph, D::kLineLegend, D::kTitle, D::kAxisCaptions, D::kMarkers, D::kLineGraphText},
       {D::kLineGraph, D::kLineLegend, D::kTitle, D::kAxisCaptions, D::kLineGraphText}},
      // The reduced drawing has no stacked charts.
      {cxtVStackedBar,
       {D::kVStackedBars, D::kBarLines, D::kStackedLegend, D::kTitle, D::kAxisCaptions},
       {}},
      {cxtHStackedBar,
       {D::kHStackedBars, D::kBarLines, D::kStackedLegend, D::kTitle, D::kAxisCaptions},
       {}},
  };
  static const std::vector<Drawer> kNone;
  for (const ChartDrawers& chart : kCharts) {
    if (chart.type == graph_type) return full ? chart.full : chart.handle;
  }
  return kNone;
}

// Wraps the areas the drawers appended in the map element, with an id
// attribute beside the name when `with_id`.
void WrapImageMap(TChartix& chart, bool with_id) {
  std::u16string text = u"<map name=\"" + chart.FIMName;
  text += with_id ? u"\" id=\"" + chart.FIMName + u"\" >" : u"\">";
  text += chart.FImageMapText;
  text += chart.FImageMapExtra;
  text += u"</map>";
  chart.FImageMapText = std::move(text);
}

}  // namespace

// The drawer sequence of a drawing: a friend of TChartix, whose drawers are
// private.
class RenderSteps {
 public:
  // The drawers of one chart type in their order: those of a full drawing,
  // or of the reduced drawing of Handle.
  static void DrawChart(TChartix& chart, TGraphType graph_type, bool full) {
    for (const Drawer drawer : DrawersOf(graph_type, full)) {
      chart.stop_test_.Check();
      Run(chart, drawer, graph_type);
    }
  }

 private:
  static void Run(TChartix& chart, Drawer drawer, TGraphType graph_type) {
    switch (drawer) {
      case Drawer::kPie: chart.DrawPie(); break;
      case Drawer::kVBars: chart.DrawVBarGraph(); break;
      case Drawer::kHBars: chart.DrawHBarGraph(); break;
      case Drawer::kVStackedBars: chart.DrawVStackedBarGraph(); break;
      case Drawer::kHStackedBars: chart.DrawHStackedBarGraph(); break;
      case Drawer::kTrendLine:
        if (chart.FShowTrendLine) chart.DrawTrendLine(graph_type);
        break;
      case Drawer::kBarLines:
        if (chart.FShowLinesWithBars && !chart.Points.Empty()) chart.DrawBarLines(graph_type);
        break;
      case Drawer::kLegend: chart.DrawLegend(graph_type); break;
      case Drawer::kStackedLegend: chart.DrawStackedLegend(); break;
      case Drawer::kTitle: chart.DrawTitle(); break;
      case Drawer::kAxisCaptions: chart.DrawAxisCaptions(graph_type); break;
      case Drawer::kLineGraph: chart.DrawLineGraph(); break;
      case Drawer::kLineLegend: chart.DrawLineLegend(); break;
      case Drawer::kMarkers: chart.DrawMarkers(); break;
      case Drawer::kLineGraphText: chart.DrawLineGraphText(); break;
    }
  }
};

void TChartix::GetGraph(std::unique_ptr<TBitmap>& bitmap, TGraphType graph_type) {
  FImageMapText.clear();
  FImageMapAreas.clear();
  const bool has_data = (graph_type == cxtVBar || graph_type == cxtHBar)        ? !NameList.Empty()
                        : graph_type == cxtLine                                  ? !Points.Empty()
                        : (graph_type == cxtVStackedBar || graph_type == cxtHStackedBar)
                            ? !StackedGroupList.Empty()
                            : true;
  if (!has_data) throw EInvalidGraphic(kNoData);

  NewBitmap();
  RenderSteps::DrawChart(*this, graph_type, /*full=*/true);
  DrawTextItems();
  if (!ExtraLines.Empty()) DrawExtraLines();

  auto copy = std::make_unique<TBitmap>();
  copy->Assign(*FBitmap);
  bitmap = std::move(copy);
  if (FUseImageMap) WrapImageMap(*this, /*with_id=*/true);
}

std::unique_ptr<TBitmap> TChartix::Handle(TGraphType graph_type) {
  FImageMapText.clear();
  FImageMapAreas.clear();
  NewBitmap();
  RenderSteps::DrawChart(*this, graph_type, /*full=*/false);
  if (FUseImageMap) WrapImageMap(*this, /*with_id=*/false);
  return FBitmap->ReleaseHandle();  // the caller owns the image from here on
}

void TChartix::NewBitmap() {
  FBitmap = std::make_unique<TBitmap>();
  FBitmap->SetStopTest(stop_test_);
}

void TChartix::PrepareCanvas(TGraphType graph_type) {
  NewBitmap();
  ColoursUsed.Clear();
  ColoursUsed.SetSorted(true);
  auto add = [this](const std::u16string& colour) { ColoursUsed.Add(UpperCase(colour)); };
  auto add_colour = [&add](TColor colour) { add(GetColour(colour)); };
  auto add_point_colours = [this, &add] {
    for (const auto& line : Points.Lines()) add(line.Colour);
  };

  switch (graph_type) {
    case cxtPie:
    case cxtVBar:
    case cxtHBar:
      for (const auto& c : ColourList) add(c);
      break;
    case cxtLine:
      add_point_colours();
      for (const auto& m : MarkerList) add_colour(m.Colour);
      break;
    case cxtVStackedBar:
    case cxtHStackedBar:
      for (const auto& c : StackedColourList) add(TextAfterLast(c, u'='));
      break;
  }
  if (FShowLinesWithBars && graph_type != cxtPie && graph_type != cxtLine) add_point_colours();
  if (FCustomLegend) {
    for (const auto& c : CustomLegendColourList) add(c);
  }

  for (TColor c : {FBGColour, FLabelBGColour, FLabelFont.Color, FLegendBGColour,
                   FLegendFont.Color, FTitleBGColour, FTitleFont.Color, FAxisTextBGColour,
                   FAxisTextFont.Color, FGridColour, FTransColour, FGraphPen, FPlotAreaColor,
                   FTextBGColor, FTextFont.Color, FLineGraphTextBGColor, FLineGraphFont.Color,
                   FLineGraphBorderColor, FLineGraphLeaderColor, FStackedTextBGColor,
                   FStackedTextFont.Color, FTrendLineColour}) {
    add_colour(c);
  }
  for (const auto& line : ExtraLines) {
    add_colour(static_cast<TColor>(ParseExtraLine(line).colour));
  }

  const int n = ColoursUsed.Count();
  if (n > 256) {
    FBitmap->SetPixelFormat(TPixelFormat::pf24bit);
    return;
  }
  FBitmap->SetPixelFormat(n <= 16 ? TPixelFormat::pf4bit : TPixelFormat::pf8bit);
  std::vector<TPaletteEntry> palette;
  palette.reserve(static_cast<size_t>(n));
  for (const auto& entry : ColoursUsed) {
    const TColor c = SetColour(entry, 0);
    palette.push_back(TPaletteEntry{GetRValue(c), GetGValue(c), GetBValue(c), 0});
  }
  FBitmap->SetPalette(palette);
}

void PaintBackground(TChartix& chart) {
  chart.FBitmap->SetHeight(chart.FHeight);
  chart.FBitmap->SetWidth(chart.FWidth);
  TCanvas& canvas = chart.FBitmap->Canvas();
  canvas.Brush().SetColor(chart.FBGColour);
  canvas.Pen().Color = chart.FBGColour;
  canvas.Rectangle(0, 0, chart.FWidth, chart.FHeight);
}

Integer TChartix::GetTextHeight(const std::u16string& text) { return Canvas().TextExtent(text).cy; }

Integer TChartix::GetTextWidth(const std::u16string& text) { return Canvas().TextExtent(text).cx; }

TColor TChartix::PixelColour(Integer x, Integer y) const {
  if (x < 0 || y < 0 || x >= FBitmap->Width() || y >= FBitmap->Height()) return kClrInvalid;
  return FBitmap->GetPixel(x, y);
}

Double TChartix::GraphX(Integer pixel_x) const {
  if (XLinePX == 0) return 0;
  return (pixel_x - static_cast<Double>(FOriginX)) / XLinePX + FXOffset;
}

Double TChartix::GraphY(Integer pixel_y) const {
  if (YLinePX == 0) return 0;
  return FYOffset - (pixel_y - static_cast<Double>(FOriginY)) / YLinePX;
}

}  // namespace plotvane
