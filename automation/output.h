// The output members: a chart kind and an image format become a drawing and
// its encoded bytes, delivered as bytes, a file, Base64 text or a bitmap
// handle. Everything a member creates (bitmap, encoder, stream) lives only
// for that call.
#ifndef PLOTVANE_AUTOMATION_OUTPUT_H_
#define PLOTVANE_AUTOMATION_OUTPUT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/chartix.h"

namespace plotvane {

class Tdraw;

// Chart kinds and image formats of the automation interface.
enum TxGraphType : int32_t { gtPie = 0, gtBar = 1, gtLine = 2, gtStackedBar = 3 };
enum TxImageFormat : int32_t { ifPNG = 0, ifGIF = 1, ifBMP = 2, ifJPG = 3 };

// The engine chart type of `kind`; bars and stacked bars are vertical or
// horizontal by the object's VerticalBars. Throws EInvalidGraphic("Invalid
// graph type.") for any other kind.
TGraphType MapGraphType(const Tdraw& draw, int32_t kind);

// Draws the chart and encodes it in `format` (ifPNG, ifGIF, ifBMP or ifJPG).
// Throws the drawing's and the encoder's errors.
std::vector<uint8_t> ChartBytes(Tdraw& draw, int32_t kind, TxImageFormat format);
// The same written to `path` (created or overwritten); a file that cannot be
// created fails with a message naming the path.
void SaveChart(Tdraw& draw, int32_t kind, TxImageFormat format, const std::u16string& path);
// Base64 text of the chart; "" for an unknown format (the chart is drawn all
// the same, so its errors and side effects stand).
std::string Base64Out(Tdraw& draw, int32_t kind, int32_t format);
// Draws the chart and writes it as an SVG document (UTF-8) with its image
// map inside: the chart's title (or, without one, its kind) as the
// document's name, the picture's transparent colour left out as the PNG
// leaves it out. Throws the drawing's errors.
std::string ChartSVG(Tdraw& draw, int32_t kind);
// The same written to `path`, as SaveChart writes.
void SaveChartSVG(Tdraw& draw, int32_t kind, const std::u16string& path);
// Draws the chart and hands it to the client as a bitmap handle, which the
// client must delete.
int32_t BMPHandle(Tdraw& draw, int32_t kind);
// Draws the chart for its side effects only (image map, read-back values).
void DummyGraph(Tdraw& draw, int32_t kind);

}  // namespace plotvane

#endif  // PLOTVANE_AUTOMATION_OUTPUT_H_
