#include "automation/output.h"

#include <memory>

#include "automation/draw_object.h"
#include "base/utf.h"
#include "engine/errors.h"
#include "imaging/base64.h"
#include "imaging/bmp.h"
#include "imaging/byte_writer.h"
#include "imaging/gif.h"
#include "imaging/jpeg.h"
#include "imaging/pvPNGImage.h"
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

int32_t BMPHandle(Tdraw& draw, int32_t kind) {
  const std::unique_ptr<TBitmap> bitmap = Draw(draw, kind);
  // The handle table keeps the picture as its BMP file; the client owns the
  // handle from here on.
  return BitmapHandleNumber(CreateBitmapHandle(EncodeBMP(*bitmap)));
}

void DummyGraph(Tdraw& draw, int32_t kind) { Draw(draw, kind); }

}  // namespace plotvane
