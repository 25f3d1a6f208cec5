#include "automation/output.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "automation/draw_object.h"
#include "base/utf.h"
#include "engine/errors.h"
#include "imaging/base64.h"
#include "imaging/bmp.h"
#include "imaging/byte_writer.h"
#include "imaging/gif.h"
#include "imaging/jpeg.h"
#include "imaging/pvPNGImage.h"
#include "imaging/svg.h"
#include "runtime/bitmap_handles.h"

namespace plotvane {

namespace {


std::unique_ptr<TBitmap> Draw(Tdraw& draw, int32_t kind) {
  const TGraphType type = MapGraphType(draw, kind);
  auto bitmap = std::make_unique<TBitmap>();
  draw.Graph().GetGraph(bitmap, type);
  return bitmap;
}

// Encodes `bitmap` with the encoder of `format`, configured from the object's
// settings, into `stream`.
void Encode(Tdraw& draw, const TBitmap& bitmap, TxImageFormat format, ByteWriter* stream) {
  const TChartix& chart = draw.Graph();
  switch (format) {
    case ifGIF: {
      TGIFImage gif;
      gif.SetColorReduction(TColorReduction::rmQuantize);
      gif.Assign(bitmap);
      gif.OptimizeColorMap();
      if (chart.FTransparent) gif.ApplyTransparency(chart.FTransColour);
      gif.SaveToStream(stream);
      break;
    }
    case ifPNG: {
      TpvPNGImage png;
      png.Assign(bitmap);
      if (chart.FTransparent) png.SetTransparency(chart.FTransColour, true);
      if (draw.FDPI != 0) {
        png.SetXDPI(draw.FDPI);
        png.SetYDPI(draw.FDPI);
      }
      png.SaveToStream(stream);
      break;
    }
    case ifJPG: {
      TJPEGImage jpeg;
      jpeg.Assign(bitmap);
      jpeg.SetCompressionQuality(draw.FJpegQuality & 0xFF);
      jpeg.SaveToStream(stream);
      break;
    }
    case ifBMP:
      SaveBitmapToStream(bitmap, stream);
      break;
  }
}

bool KnownFormat(int32_t format) { return format >= ifPNG && format <= ifJPG; }

// What a chart without a title is called.
const char16_t* KindName(TGraphType type) {
  switch (type) {
    case cxtPie: return u"Pie chart";
    case cxtVBar: return u"Vertical bar chart";
    case cxtHBar: return u"Horizontal bar chart";
    case cxtLine: return u"Line graph";
    case cxtVStackedBar: return u"Vertical stacked bar chart";
    case cxtHStackedBar: return u"Horizontal stacked bar chart";
  }
  return u"Chart";
}

// The SVG settings of the drawing just made: the image map's areas with the
// entries they link to.
TSvgSettings SvgSettings(const TChartix& chart, TGraphType type) {
  TSvgSettings settings;
  settings.name = chart.FTitle.empty() ? KindName(type) : chart.FTitle;
  settings.transparent = chart.FTransparent;
  settings.transparent_colour = chart.FTransColour;
  settings.links.reserve(chart.FImageMapAreas.size());
  for (const TImageMapArea& area : chart.FImageMapAreas) {
    TSvgLink link;
    link.shape = area.shape == TImageMapArea::kRect   ? TMapShape::kRect
                 : area.shape == TImageMapArea::kPoly ? TMapShape::kPoly
                                                      : TMapShape::kCircle;
    link.coords.assign(area.coords.begin(), area.coords.end());
    link.href = chart.IMURLList[area.index];
    link.title = chart.IMTitleList[area.index];
    link.extra = chart.IMAreaExtra[area.index];
    settings.links.push_back(std::move(link));
  }
  return settings;
}

}  // namespace

TGraphType MapGraphType(const Tdraw& draw, int32_t kind) {
  switch (kind) {
    case gtPie:
      return cxtPie;
    case gtBar:
      return draw.FVerticalBars ? cxtVBar : cxtHBar;
    case gtLine:
      return cxtLine;
    case gtStackedBar:
      return draw.FVerticalBars ? cxtVStackedBar : cxtHStackedBar;
    default:
      throw EInvalidGraphic("Invalid graph type.");
  }
}

std::vector<uint8_t> ChartBytes(Tdraw& draw, int32_t kind, TxImageFormat format) {
  const std::unique_ptr<TBitmap> bitmap = Draw(draw, kind);
  std::vector<uint8_t> bytes;
  VectorByteWriter stream(&bytes);
  Encode(draw, *bitmap, format, &stream);
  return bytes;
}

void SaveChart(Tdraw& draw, int32_t kind, TxImageFormat format, const std::u16string& path) {
  const std::unique_ptr<TBitmap> bitmap = Draw(draw, kind);
  // Encoded in memory first, so a failing encoder leaves an existing file as
  // it was.
  std::vector<uint8_t> bytes;
  VectorByteWriter stream(&bytes);
  Encode(draw, *bitmap, format, &stream);
  WriteFile(Utf16ToUtf8(path), bytes);
}

std::string Base64Out(Tdraw& draw, int32_t kind, int32_t format) {
  const std::unique_ptr<TBitmap> bitmap = Draw(draw, kind);
  if (!KnownFormat(format)) return "";
  std::vector<uint8_t> bytes;
  VectorByteWriter stream(&bytes);
  Encode(draw, *bitmap, static_cast<TxImageFormat>(format), &stream);
  return BufferToBase64(bytes.data(), bytes.size());
}

std::string ChartSVG(Tdraw& draw, int32_t kind) {
  const TGraphType type = MapGraphType(draw, kind);
  const std::unique_ptr<TBitmap> bitmap = Draw(draw, kind);
  return EncodeSVG(*bitmap, SvgSettings(draw.Graph(), type));
}

void SaveChartSVG(Tdraw& draw, int32_t kind, const std::u16string& path) {
  const std::string text = ChartSVG(draw, kind);
  WriteFile(Utf16ToUtf8(path), std::vector<uint8_t>(text.begin(), text.end()));
}

int32_t BMPHandle(Tdraw& draw, int32_t kind) {
  const std::unique_ptr<TBitmap> bitmap = Draw(draw, kind);
  // The handle table keeps the picture as its BMP file; the client owns the
  // handle from here on.
  return BitmapHandleNumber(CreateBitmapHandle(EncodeBMP(*bitmap)));
}

void DummyGraph(Tdraw& draw, int32_t kind) { Draw(draw, kind); }

}  // namespace plotvane
