// TChartix: the chart engine. One object holds every setting of a chart, the
// data lists its adding operations fill, the working fields its drawers share
// and the read-back values a drawing leaves for the client.
//
// Member functions are defined in the engine file of their topic:
//   chartix.cpp       construction and defaults
//   colours.cpp       colour strings and automatic colours
//   data_lists.cpp    adding, reading and clearing data
//   number_format.cpp value masks, prefixes and suffixes, dates, axis labels
//   render.cpp        GetGraph, PrepareCanvas, text measuring, pixel queries
//   image_map.cpp     image-map areas
//   axes.cpp          value axes, scales and grids
//   pie.cpp, bars.cpp, bar_lines.cpp, stacked_bars.cpp, legends.cpp, texts.cpp   the drawers
//   line_graph.cpp    the line graph, its legend, markers and text items
//   point_glyphs.cpp  the point glyphs of lines and markers
//
// Settings are public fields named with an F prefix, as the automation layer
// reads and writes them directly; they are never validated (a Word setting
// simply is 16 bits). Data lists are public for reading; they are filled only
// through the adding operations. One object must not be used by two threads
// at once; different objects share nothing and may draw in parallel.
#ifndef PLOTVANE_ENGINE_CHARTIX_H_
#define PLOTVANE_ENGINE_CHARTIX_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "canvas/bitmap.h"
#include "canvas/canvas.h"
#include "canvas/font.h"
#include "canvas/stop.h"
#include "engine/point_list.h"
#include "engine/string_list.h"
#include "engine/types.h"

namespace plotvane {

enum TGraphType : uint8_t {
  cxtPie,
  cxtVBar,
  cxtHBar,
  cxtLine,
  cxtVStackedBar,
  cxtHStackedBar,
};

enum TPointStyle : uint8_t {
  cxpsNone,
  cxpsDot,
  cxpsCircle,
  cxpsDCross,
  cxpsVCross,
  cxpsSquare,
  cxpsDiamond,
  cxpsTriangleU,
  cxpsTriangleD,
};

// Which point of a text cell or legend box lies on its reference point.
enum TTextAlign : uint8_t {
  cxtaTopLeft,
  cxtaTopCentre,
  cxtaTopRight,
  cxtaBaselineLeft,
  cxtaBaselineCentre,
  cxtaBaselineRight,
  cxtaBottomLeft,
  cxtaBottomCentre,
  cxtaBottomRight,
};

enum TStackedTextAlign : uint8_t {
  cxstCentreH,
  cxstCentreV,
  cxstLeftH,
  cxstLeftV,
  cxstRightH,
  cxstRightV,
};

enum TDateTimeFormat : uint8_t { dtDateTime, dtDate, dtTime };

// A free text item (pixels) or a line-graph text item (line-graph units).
struct TTextItem {
  std::u16string Value;
  Double x = 0;
  Double y = 0;
  Single Angle = 0;  // degrees, counter-clockwise
};

// A marker placed in line-graph units.
struct TMarkerItem {
  Double x = 0;
  Double y = 0;
  TPointStyle PointStyle = cxpsNone;
  Word PointSize = 0;
  TColor Colour = 0;
};

// One area of the image map as a drawer made it: its shape, its coordinates
// as the map's area element gives them (a rectangle's left, top, right and
// bottom; a polygon's points; a circle's centre and radius) and its entry.
struct TImageMapArea {
  enum Shape : uint8_t { kRect, kPoly, kCircle };
  Shape shape = kRect;
  std::vector<Integer> coords;
  Integer index = 0;  // the AddMapArea entry
};

// What a pixel query outside the bitmap answers: no colour at all.
constexpr TColor kClrInvalid = 0xFFFFFFFF;

// The 211 automatic colours, lower-case RRGGBB, walked by NextRNDColour.
extern const std::array<const char16_t*, 211> RNDColourTable;

class TChartix {
 public:
  // Creates the engine with every default: an empty bitmap, empty lists
  // (XAxisValues and YAxisValues sorted), seven "Arial" 8-point black fonts of
  // which the title font is bold.
  TChartix();
  ~TChartix();
  TChartix(const TChartix&) = delete;
  TChartix& operator=(const TChartix&) = delete;

  // ======================================================================
  // Colours
  // ======================================================================

  // RRGGBB in upper case from a 0x00BBGGRR colour; the high byte is ignored.
  static std::u16string GetColour(TColor colour);
  // Reads a colour string ("FF0000", "#ff0000", "$FF0000", "FFOOOO"); returns
  // `old_colour` when it cannot be read. An empty string is black.
  static TColor SetColour(const std::u16string& colour, TColor old_colour);
  // Sets the index of the next automatic colour; values outside 0..210 are
  // ignored.
  void SetRNDColor(Integer value);

  // ======================================================================
  // Data lists: adding, reading, clearing. None of them fails.
  // ======================================================================

  // Appends a data item. A colour of exactly "R" or "r" takes the next
  // automatic colour; any other unreadable colour is black.
  void AddData(const std::u16string& name, Double value, const std::u16string& colour);
  // The name, value or colour string of item `index`; "", 0 or "000000" out of
  // range.
  std::u16string ReadName(Integer index) const;
  Double ReadValue(Integer index) const;
  std::u16string ReadColor(Integer index) const;
  Integer DataCount() const { return NameList.Count(); }
  // Empties the data, points, stacked data, texts, markers, extra lines and
  // image-map entries and zeroes the read-back values (ResetReadBack).
  // Settings, axis labels, the custom legend, FUseImageMap, FImageMapText,
  // FRNDColour and the working fields stay.
  void ClearData();

  // Adds a point of a line; points of one colour string (upper-cased) form one
  // line and are kept together in the order added.
  void AddPoint(Double x, Double y, const std::u16string& color, const std::u16string& line_name);
  // A user label for the axis number `name` ("number=label" in a sorted list).
  void AddXValue(Double name, const std::u16string& value);
  void AddYValue(Double name, const std::u16string& value);
  void ClearAxisLabels();
  // A stacked value of `group`; negative values are stored as their absolute
  // values.
  void AddStackedData(const std::u16string& group, const std::u16string& name, Double value,
                      const std::u16string& colour);
  void AddText(const std::u16string& value, Integer x, Integer y, Single angle);
  void AddLineGraphText(const std::u16string& value, Single x, Single y, Single angle);
  void AddMarker(Double x, Double y, TPointStyle point_style, Word point_size,
                 const std::u16string& colour);
  void AddExtraLine(Integer x1, Integer y1, Integer x2, Integer y2, Integer thickness,
                    TPenStyle pen_style, TColor colour);
  void AddCustomLegend(const std::u16string& value, const std::u16string& colour);
  void ClearCustomLegend();
  // Registers map entry k (k = number of earlier calls) and switches the image
  // map on for the life of the object.
  void AddMapArea(const std::u16string& url, const std::u16string& title,
                  const std::u16string& extra);

  // ======================================================================
  // Number and date texts (they read the settings at the moment of the call)
  // ======================================================================

  // "0." plus FDecimals "#" (or -FDecimals "0"), with "#,##" in front when
  // thousands separators are on for the value, X-axis or Y-axis numbers.
  std::u16string GetValueMask() const;
  std::u16string GetXValueMask() const;
  std::u16string GetYValueMask() const;
  // Wraps a formatted number in the prefix and suffix; a leading minus sign
  // stays in front of the prefix ("-$1,200").
  std::u16string AddPrefixSuffix(const std::u16string& text) const;
  std::u16string AddPrefixSuffixX(const std::u16string& text) const;
  std::u16string AddPrefixSuffixY(const std::u16string& text) const;
  // Date and time text of a day number by FDateTimeFormat, FDateFormat and
  // FTimeFormat; never empty (" " instead).
  std::u16string GetDateText(Double value) const;
  // The user label registered for the number an axis text shows, or "".
  // Throws EConvertError when the text is not a number.
  std::u16string GetXAxisLabel(const std::u16string& text) const;
  std::u16string GetYAxisLabel(const std::u16string& text) const;

  // ======================================================================
  // Drawing
  // ======================================================================

  // Draws a chart of `graph_type` and replaces `bitmap` with a copy of it.
  // Throws EInvalidGraphic("No data items or points defined.") when the type
  // has no data; `bitmap` is then left as it was.
  void GetGraph(std::unique_ptr<TBitmap>& bitmap, TGraphType graph_type);
  // A reduced drawing (no trend line, lines over bars, markers, text items or
  // extra lines) whose image is handed over; FBitmap is left empty.
  std::unique_ptr<TBitmap> Handle(TGraphType graph_type);
  // Colour of pixel (x, y) of the last drawing; kClrInvalid outside it.
  TColor PixelColour(Integer x, Integer y) const;
  // A pixel position of the last line graph (or vertical value axis) in scale
  // units; 0 when the scale has no pixels per unit.
  Double GraphX(Integer pixel_x) const;
  Double GraphY(Integer pixel_y) const;
  // The last drawing, kept until the next one.
  const TBitmap& Bitmap() const { return *FBitmap; }
  // The test every drawing makes between its steps (canvas/stop.h), from now
  // on: once it says stop, GetGraph and Handle throw EStopped, leaving a
  // partly drawn FBitmap. The empty test, the default, never stops.
  void SetStopTest(const TStopTest& stop) {
    stop_test_ = stop;
    FBitmap->SetStopTest(stop);
  }

  // ======================================================================
  // Owned objects and data lists (filled by the adding operations)
  // ======================================================================

  std::unique_ptr<TBitmap> FBitmap;  // the drawing surface, replaced by each drawing
  TStringList NameList;              // names of the data items
  TStringList ValueList;             // values of the data items, as value text
  TStringList ColourList;            // colours of the data items, as colour strings
  TPointList Points;                 // points, grouped into lines by colour string
  TStringList ColoursUsed;           // census of the colours of the last drawing
  TStringList StackedGroupList;      // distinct group names, in order of first appearance
  TStringList StackedNameList;       // "group=name" per stacked value
  TStringList StackedValueList;      // stacked values (absolute), as value text
  TStringList StackedColourList;     // colour string per stacked value
  TStringList XAxisValues;           // sorted "number=label" user labels of the X axis
  TStringList YAxisValues;           // the same for the Y axis
  TStringList IMURLList;             // image-map entries: link,
  TStringList IMTitleList;           // title,
  TStringList IMAreaExtra;           // and extra HTML
  TStringList ExtraLines;            // "X1,Y1,X2,Y2,Thickness,PenStyle,Colour"
  TStringList CustomLegendNameList;  // custom legend entries: names
  TStringList CustomLegendColourList;  // and colour strings
  std::vector<TTextItem> TextList;           // free text items
  std::vector<TTextItem> LineGraphTextList;  // text items in line-graph units
  std::vector<TMarkerItem> MarkerList;       // markers in line-graph units

  // ======================================================================
  // Size, background and common colours
  // ======================================================================

  Word FWidth = 400;                   // bitmap width in pixels
  Word FHeight = 300;                  // bitmap height in pixels
  TColor FBGColour = 0xFFFFFF;         // background of the whole image
  TColor FGraphPen = 0;                // outlines, axes and marks
  TColor FPlotAreaColor = 0xFFFFFF;    // fill of the plot area
  bool FShowPlotBorder = false;        // frame around the plot area
  bool FTransparent = false;           // GIF and PNG mark FTransColour transparent
  TColor FTransColour = 0xFFFFFF;      // the colour made transparent
  Integer FRNDColour = 0;              // next automatic colour, 0..210 (SetRNDColor)

  // ======================================================================
  // Pie
  // ======================================================================

  Word FCentreX = 175;      // centre of the pie in pixels
  Word FCentreY = 150;
  Word FPieDia = 200;       // diameter in pixels; the pie drawer leaves it odd
  Word FOffset = 10;        // distance of the slice labels from the rim
  Single FStartAngle = 0;   // first slice's leading edge, degrees

  // ======================================================================
  // Data labels and numbers
  // ======================================================================

  bool FShowLabel = true;            // draw item names
  bool FShowPercent = false;         // numbers as percentages of the total
  bool FShowNumbers = true;          // draw numbers
  TFont FLabelFont;                  // labels, totals and axis numbers
  TColor FLabelBGColour = 0xFFFFFF;  // background behind label texts
  bool FLabelTransparent = false;    // label texts without background
  bool FLabelVertical = false;       // bar names rotated by 90 degrees
  Integer FDecimals = 0;             // >0 up to N decimals, <0 exactly -N

  // ======================================================================
  // Legend
  // ======================================================================

  bool FShowLegend = true;             // draw the legend
  bool FShowLegendBox = true;          // frame around the legend
  Word FLegendX = 320;                 // anchor of the legend box in pixels
  Word FLegendY = 10;
  TTextAlign FLegendAlign = cxtaTopLeft;  // which point of the box lies on the anchor
  Word FSquare = 8;                    // side of a colour swatch
  Word FPadding = 5;                   // spacing inside the legend
  TFont FLegendFont;                   // legend names; also frame and swatch outlines
  TColor FLegendBGColour = 0xFFFFFF;   // legend background
  bool FLegendVertical = true;         // entries one under the other
  bool FLegendInvert = false;          // entries in reverse order
  bool FLegendHideEmptyNames = false;  // no entry for empty names
  bool FCustomLegend = false;          // list the custom entries instead

  // ======================================================================
  // Title and axis captions
  // ======================================================================

  std::u16string FTitle;                   // title text
  Word FTitleX = 0;                        // title reference point
  Word FTitleY = 0;
  TTextAlign FTitleTextAlign = cxtaTopLeft;  // which point of the title lies there
  TFont FTitleFont;                        // the only font created bold
  TColor FTitleBGColour = 0xFFFFFF;        // background behind the title
  bool FTitleTransparent = false;          // title without background
  std::u16string FXAxisText;               // axis captions
  std::u16string FYAxisText;
  TFont FAxisTextFont;                     // caption font
  TColor FAxisTextBGColour = 0xFFFFFF;     // background behind captions
  bool FAxisTextTransparent = false;       // captions without background

  // ======================================================================
  // Plot geometry, scales and grid
  // ======================================================================

  Word FOriginX = 50;            // pixel position of the axes' origin
  Word FOriginY = 250;
  Word FMaxX = 250;              // length of the category (X) axis in pixels
  Word FMaxY = 200;              // length of the value axis in pixels
  Word FYAxisNegative = 0;       // value-axis pixels on the negative side
  Word FXAxisNegative = 0;       // category-axis pixels on the negative side
  Double FYTop = 0;              // top and step of the value scale; 0 automatic
  Double FYGrad = 0;
  Double FXTop = 0;              // the same for the line graph's X scale
  Double FXGrad = 0;
  Double FXOffset = 0;           // value at the origin of the X and Y scales
  Double FYOffset = 0;
  Word FXMarkSize = 4;           // length of the scale marks
  Word FYMarkSize = 4;
  bool FXValuesVertical = true;  // horizontal-axis numbers rotated by 90 degrees
  bool FShowGrid = false;        // draw grid lines
  TPenStyle FGridStyle = TPenStyle::psDot;  // pen style of grid lines
  TColor FGridColour = 0;        // grid colour
  bool FHideVGrid = false;       // suppress vertical grid lines
  bool FHideHGrid = false;       // suppress horizontal grid lines
  bool FUseXAxisLabels = false;  // axis numbers replaced by user labels
  bool FUseYAxisLabels = false;

  // ======================================================================
  // Number formatting
  // ======================================================================

  std::u16string FPrefix;   // text before / after formatted values
  std::u16string FSuffix;
  std::u16string FPrefixX;  // axis-specific, used while FPrefix / FSuffix is empty
  std::u16string FSuffixX;
  std::u16string FPrefixY;
  std::u16string FSuffixY;
  bool FShowSeparator = false;   // thousands separators in all numbers
  bool FShowSeparatorX = false;  // in X-axis numbers
  bool FShowSeparatorY = false;  // in vertical-value-axis numbers

  // ======================================================================
  // Dates and times
  // ======================================================================

  bool FUseXAxisDates = false;              // axis numbers shown as dates/times
  bool FUseYAxisDates = false;
  TDateTimeFormat FDateTimeFormat = dtDateTime;  // date, time or both
  std::u16string FDateFormat;               // date pattern; empty: the process's short date
  std::u16string FTimeFormat;               // time pattern; empty: the process's long time

  // ======================================================================
  // Bars, trend line and lines over bars
  // ======================================================================

  Integer FBarWidth = 0;            // bar width in pixels; 0 automatic
  Integer FBarGap = 0;              // gap between bars; 0 automatic
  bool FShowBarTotal = false;       // value written at each bar end
  bool FShowTotalIfZero = true;     // also for a bar at the origin value
  bool FBarTotalVertical = false;   // totals rotated by 90 degrees
  bool FShowLinesWithBars = false;  // point series over bar and stacked charts
  bool FShowTrendLine = false;      // least-squares trend line
  TColor FTrendLineColour = 0;      // its colour
  Integer FTrendLineWidth = 1;      // its pen width
  std::u16string FTrendLineName;    // its legend text

  // ======================================================================
  // Line graph
  // ======================================================================

  bool FShowLine = true;                 // join the points by lines
  Word FLineWidth = 1;                   // line pen width
  TPointStyle FPointStyle = cxpsNone;    // glyph at each point
  Word FPointSize = 2;                   // glyph size in pixels
  TFont FLineGraphFont;                  // font of the line-graph text items
  TColor FLineGraphTextBGColor = 0xFFFFFF;  // their background
  bool FLineGraphTextTransparent = true;    // their background left out
  TTextAlign FLineGraphTextAlign = cxtaTopLeft;  // their reference point
  Integer FLineGraphTextXOffset = 0;     // pixel offset from their point
  Integer FLineGraphTextYOffset = 0;
  bool FLineGraphTextLeader = false;     // leader line from point to text
  bool FLineGraphTextBorder = false;     // frame around the text
  TColor FLineGraphLeaderColor = 0;
  TColor FLineGraphBorderColor = 0;

  // ======================================================================
  // Free text items
  // ======================================================================

  TFont FTextFont;                  // font of the text items
  TColor FTextBGColor = 0xFFFFFF;   // their background
  bool FTextTransparent = true;     // their background left out

  // ======================================================================
  // Stacked bars
  // ======================================================================

  bool FShowStackedValues = false;               // value written on each segment
  TStackedTextAlign FStackedTextAlign = cxstCentreH;  // its placement and direction
  TFont FStackedTextFont;                        // its font
  TColor FStackedTextBGColor = 0xFFFFFF;         // its background
  bool FStackedTextTransparent = true;           // its background left out

  // ======================================================================
  // Image map
  // ======================================================================

  bool FUseImageMap = false;    // set by AddMapArea, never cleared
  bool FIMDataArea = true;      // areas for data shapes
  bool FIMLabel = true;         // areas for labels
  bool FIMLegend = true;        // areas for legend entries
  std::u16string FIMName = u"map1";  // name and id of the map element
  std::u16string FImageMapExtra;     // text placed just before the closing tag
  std::u16string FImageMapText;      // the HTML of the last drawing (read only)
  std::vector<TImageMapArea> FImageMapAreas;  // its areas, in the order of the text

  // ======================================================================
  // Working fields: shared by the drawers of one drawing and kept until the
  // next. Not published; ClearData leaves them.
  // ======================================================================

  // Sum of |value| over the data items. Written by DrawPie, by the start of
  // DrawVBarGraph and DrawHBarGraph and again by DrawHBarAxis; read by the
  // percentages of slices, bars and totals and by GetMaxValue.
  Double Total = 0;
  // Left-most pixel column of the texts left of the plot, where
  // DrawAxisCaptions puts the side caption. Written by DrawYAxis (its
  // numbers: vertical charts and the line graph) and by DrawHBarGraph and
  // DrawHStackedBarGraph (labels and totals left of the value axis's origin).
  Integer TextLeft = 0;
  // Where the texts under the plot end, for DrawAxisCaptions' lower caption.
  // Vertical bar charts: the lowest pixel row reached below the origin line
  // (DrawVBarGraph). Horizontal charts: the depth of the band of numbers
  // under the tick marks, not a row (DrawHBarAxis). Line graph: the lowest
  // row reached by the X numbers (DrawXAxis).
  Integer TextBottom = 0;
  // Pixels per value unit of the line graph's X axis (DrawXAxis) and of the
  // vertical value axis (DrawYAxis: vertical bars, the line graph, vertical
  // stacked bars). 1 before any such drawing and for an axis of span 0.
  // Read by the line graph's points, markers and texts and by GraphX and
  // GraphY.
  Double XLinePX = 1.0;
  Double YLinePX = 1.0;

  // ======================================================================
  // Read-back values: the layout the last drawing used, automatic choices
  // included, for clients placing their own marks. Read only for clients;
  // 0 at creation and after ClearData.
  // ======================================================================

  // Bar width and gap, W and G (bar and stacked drawers).
  Integer FReadBarWidth = 0;
  Integer FReadBarGap = 0;
  // Centre of the first and the last bar: its x in vertical charts, its y in
  // horizontal ones, where the first bar is the lowest (bar and stacked
  // drawers).
  Integer FFirstBarPos = 0;
  Integer FLastBarPos = 0;
  // Pixels per unit along the image's x and y: W + G and the value scale in
  // vertical bar charts, the value scale and W + G in horizontal ones,
  // XLinePX and YLinePX after a line graph.
  Double FXPixelsPerUnit = 0;
  Double FYPixelsPerUnit = 0;
  // Top and step of the value scale as the axis used them (bar, stacked and
  // line drawers), and of the X scale (line graph).
  Double FReadYTop = 0;
  Double FReadYGrad = 0;
  Double FReadXTop = 0;
  Double FReadXGrad = 0;

 private:
  friend class TChartixTestPeer;
  // The steps the drawers are made of are no part of this contract. Those
  // several engine files share are in engine/drawing.h; each file keeps its
  // own in a class of its own, a friend for the operations below.
  friend class DrawingSteps;     // engine/drawing.h
  friend class RenderSteps;      // render.cpp
  friend class AxisSteps;        // axes.cpp
  friend class BarSteps;         // bars.cpp
  friend class PieSteps;         // pie.cpp
  friend class StackedBarSteps;  // stacked_bars.cpp

  // Advances an automatic colour index by the table's stride.
  static void NextRNDColour(Integer& index);
  static std::u16string NormaliseColourString(const std::u16string& colour);

  // Render driver. PrepareCanvas makes FBitmap anew with the pixel format
  // and palette of the colours the chart can use; the drawer sizes it.
  void PrepareCanvas(TGraphType graph_type);
  // Width and height in pixels of `text` in the canvas's current font.
  Integer GetTextHeight(const std::u16string& text);
  Integer GetTextWidth(const std::u16string& text);

  // Image-map areas for map entry `index`; nothing when the entry is missing.
  void AddRectArea(Integer left, Integer top, Integer right, Integer bottom, Integer index);
  void AddPieSliceArea(Integer end_x, Integer end_y, Integer start_x, Integer start_y,
                       Integer index, Extended start_angle, Extended end_angle);
  void AddCircleArea(Integer x, Integer y, Integer index);

  // Value axes (axes.cpp). The largest data value, rounded up, for the
  // automatic scale of the items, the points' X and Y values and the stacked
  // groups; at least 0 unless every value is negative.
  Int64 GetMaxValue();
  Int64 GetMaxX();
  Int64 GetMaxY();
  Integer GetMaxStackedTotal();
  // The automatic top and step of an axis where they are 0, from the largest
  // value and the axis's positive length; the step becomes positive.
  // Throws EDivByZero when the label font's point size is 0.
  void CalculateScale(Double& grad, Double& top, Double& offset, Int64 max_value,
                      Int64 axis_length);
  void DrawYAxis(TGraphType graph_type);
  void DrawGrid(TGraphType graph_type);
  void DrawHBarAxis(TGraphType graph_type);
  void DrawXAxis(TGraphType graph_type);

  // Bar charts (bars.cpp) and their overlays (bar_lines.cpp).
  void DrawVBarGraph();
  void DrawHBarGraph();
  void DrawTrendLine(TGraphType graph_type);
  // The line series over a plain or stacked bar chart of `graph_type`, on
  // the layout its bar drawer has just published.
  void DrawBarLines(TGraphType graph_type);

  // Pie, legend, title, captions, text items and extra lines.
  void DrawPie();
  void DrawLegend(TGraphType graph_type);
  void DrawTitle();
  void DrawAxisCaptions(TGraphType graph_type);
  void DrawTextItems();
  void DrawExtraLines();

  // Line graph (line_graph.cpp, point_glyphs.cpp).
  // The bitmap, plot area, both axes, the lines, the point glyphs and the
  // map circles of the points; publishes the scale it used (FXPixelsPerUnit,
  // FYPixelsPerUnit, FReadXTop, FReadXGrad, FReadYTop, FReadYGrad) and gives
  // automatic tops and steps back.
  void DrawLineGraph();
  // The legend: the custom entries, or one per line.
  void DrawLineLegend();
  // One glyph of `point_style` centred on pixel (x, y), `point_size`
  // pixels from its centre to its edges, in `colour`, with the current pen
  // width. Gives the pen colour back; leaves the brush solid, in FBGColour
  // after a filled shape.
  void DrawPoint(Integer x, Integer y, TPointStyle point_style, Word point_size, TColor colour);
  // Every marker of MarkerList with its own style, size and colour, on the
  // scale of the line graph just drawn.
  void DrawMarkers();
  // Every text item of LineGraphTextList at its data position, with its
  // leader and frame.
  void DrawLineGraphText();

  // Stacked bar charts (stacked_bars.cpp).
  // The text of entry `index` of `list` before its last "=" (empty when it
  // has none), and after it (the whole text when it has none); "" for an
  // index out of range.
  static std::u16string GetEntryName(const TStringList& list, Integer index);
  static std::u16string GetEntryValue(const TStringList& list, Integer index);
  void DrawVStackedBarGraph();
  void DrawHStackedBarGraph();
  void DrawStackedLegend();

  TCanvas& Canvas() { return FBitmap->Canvas(); }
  // Replaces FBitmap with a new, empty bitmap that draws under stop_test_.
  void NewBitmap();

  TStopTest stop_test_;  // set by the owner, handed to every new FBitmap

  // Each name in StackedGroupList with its index, for a lookup that does
  // not grow with the list.
  std::unordered_map<std::u16string, Integer> stacked_groups_;
  // The group index of each stacked item, as AddStackedData added it.
  std::vector<Integer> stacked_item_groups_;
};

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_CHARTIX_H_
