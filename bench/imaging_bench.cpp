// Encoding cost of a typical chart picture in every format.
//
// The 4-bit picture is what a bar chart looks like to the writers: a white
// page, a grey plot area with grid lines, a few flat bars, axis lines and
// small text-like marks. The 24-bit picture is the same chart with a shaded
// plot area, so that it holds far more than 256 colours.
//
// The bar picture (argument 1) is no imitation: the engine's default
// vertical bar chart, five items with title, legend and grid, as drawn.
//
// BM_ZlibDeflateOfFilteredRows compresses the PNG writer's filtered rows of
// a 4-bit picture with the same zlib settings and nothing else: the PNG
// writer's cost over it is framing, filtering and checksums.
#include <memory>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include "canvas/bitmap.h"
#include "engine/chartix.h"
#include "imaging/base64.h"
#include "imaging/bmp.h"
#include "imaging/byte_writer.h"
#include "imaging/gif.h"
#include "imaging/jpeg.h"
#include "imaging/pvPNGImage.h"

namespace plotvane {
namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;

void FillBox(TBitmap* bitmap, int x0, int y0, int x1, int y1, int index) {
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) bitmap->SetIndex(x, y, index);
  }
}

std::unique_ptr<TBitmap> ChartPicture4Bit() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf4bit);
  bitmap->SetPalette({{255, 255, 255, 0},
                      {0, 0, 0, 0},
                      {220, 220, 220, 0},
                      {153, 0, 51, 0},
                      {102, 0, 204, 0},
                      {0, 153, 153, 0},
                      {255, 153, 0, 0},
                      {128, 128, 128, 0}});
  bitmap->SetSize(kWidth, kHeight);
  FillBox(bitmap.get(), 50, 50, 300, 250, 2);                                      // plot area
  for (int y = 70; y < 250; y += 30) FillBox(bitmap.get(), 50, y, 300, y + 1, 7);  // grid
  const int tops[] = {180, 90, 140, 60, 200};
  for (int i = 0; i < 5; ++i) {
    FillBox(bitmap.get(), 60 + 48 * i, tops[i], 60 + 48 * i + 36, 250, 3 + i % 4);
  }
  FillBox(bitmap.get(), 49, 50, 50, 251, 1);  // axes
  FillBox(bitmap.get(), 49, 250, 300, 251, 1);
  // Text-like marks: labels under the bars, a legend and a title, drawn as
  // 5 x 7 cells of random strokes.
  std::mt19937 random(42);
  auto text = [&](int x, int y, int characters) {
    for (int c = 0; c < characters; ++c) {
      for (int dy = 0; dy < 7; ++dy) {
        for (int dx = 0; dx < 5; ++dx) {
          if (random() % 3 == 0) bitmap->SetIndex(x + 6 * c + dx, y + dy, 1);
        }
      }
    }
  };
  for (int i = 0; i < 5; ++i) text(60 + 48 * i, 256, 5);
  for (int i = 0; i < 6; ++i) text(10, 66 + 30 * i, 5);
  for (int i = 0; i < 5; ++i) {
    FillBox(bitmap.get(), 320, 60 + 20 * i, 330, 70 + 20 * i, 3 + i % 4);
    text(335, 61 + 20 * i, 9);
  }
  text(120, 15, 25);
  return bitmap;
}

std::unique_ptr<TBitmap> ChartPicture24Bit() {
  auto bitmap = ChartPicture4Bit();
  bitmap->SetPixelFormat(TPixelFormat::pf24bit);
  for (int y = 50; y < 250; ++y) {
    for (int x = 50; x < 300; ++x) {
      if (bitmap->GetPixel(x, y) != RGB(220, 220, 220)) continue;
      bitmap->SetPixel(
          x, y,
          RGB(static_cast<uint8_t>(180 + (x - 50) / 5), static_cast<uint8_t>(190 + (y - 50) / 7),
              static_cast<uint8_t>(230 - (x + y) / 20)));
    }
  }
  return bitmap;
}

std::unique_ptr<TBitmap> DrawnBarChart() {
  TChartix chart;
  chart.FTitle = u"Fruit sold";
  chart.FShowGrid = true;
  const char16_t* names[] = {u"Apples", u"Pears", u"Plums", u"Kiwis", u"Figs"};
  for (int i = 0; i < 5; ++i) chart.AddData(names[i], 10 + (i * 37) % 50, u"R");
  auto bitmap = std::make_unique<TBitmap>();
  chart.GetGraph(bitmap, cxtVBar);
  return bitmap;
}

// 4: the imitated 4-bit chart, 24: its shaded 24-bit form, 1: the drawn
// bar chart.
const TBitmap& Picture(int which) {
  static const std::unique_ptr<TBitmap> four = ChartPicture4Bit();
  static const std::unique_ptr<TBitmap> twenty_four = ChartPicture24Bit();
  static const std::unique_ptr<TBitmap> bars = DrawnBarChart();
  return which == 4 ? *four : which == 1 ? *bars : *twenty_four;
}

// The whole PNG output of a chart: copy the bitmap in, write the file.
void BM_PNG(benchmark::State& state) {
  const TBitmap& bitmap = Picture(static_cast<int>(state.range(0)));
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    TpvPNGImage image;
    image.Assign(bitmap);
    bytes.clear();
    VectorByteWriter writer(&bytes);
    image.SaveToStream(&writer);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_PNG)->Arg(4)->Arg(24)->Arg(1);

// Writing the file alone, the part to set against zlib's own cost below.
void BM_PNGSaveToStream(benchmark::State& state) {
  TpvPNGImage image;
  image.Assign(Picture(static_cast<int>(state.range(0))));
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    bytes.clear();
    VectorByteWriter writer(&bytes);
    image.SaveToStream(&writer);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_PNGSaveToStream)->Arg(4)->Arg(24)->Arg(1);

void BM_ZlibDeflateOfFilteredRows(benchmark::State& state) {
  const TBitmap& bitmap = Picture(static_cast<int>(state.range(0)));  // both 4-bit
  const size_t row_bytes = (static_cast<size_t>(bitmap.Width()) + 1) / 2;
  std::vector<uint8_t> rows;
  for (int y = 0; y < bitmap.Height(); ++y) {
    rows.push_back(0);
    rows.insert(rows.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + row_bytes);
  }
  std::vector<uint8_t> out;
  for (auto _ : state) {
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    out.resize(deflateBound(&z, rows.size()));
    z.next_in = rows.data();
    z.avail_in = static_cast<uInt>(rows.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_ZlibDeflateOfFilteredRows)->Arg(4)->Arg(1);

void BM_GIF(benchmark::State& state) {
  const TBitmap& bitmap = Picture(static_cast<int>(state.range(0)));
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    TGIFImage image;
    image.SetColorReduction(TColorReduction::rmQuantize);
    image.Assign(bitmap);
    image.OptimizeColorMap();
    bytes.clear();
    VectorByteWriter writer(&bytes);
    image.SaveToStream(&writer);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_GIF)->Arg(4)->Arg(24);

void BM_JPEG(benchmark::State& state) {
  const TBitmap& bitmap = Picture(static_cast<int>(state.range(0)));
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    TJPEGImage image;
    image.Assign(bitmap);
    image.SetCompressionQuality(100);
    bytes.clear();
    VectorByteWriter writer(&bytes);
    image.SaveToStream(&writer);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_JPEG)->Arg(4)->Arg(24);

void BM_BMP(benchmark::State& state) {
  const TBitmap& bitmap = Picture(static_cast<int>(state.range(0)));
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    bytes.clear();
    VectorByteWriter writer(&bytes);
    SaveBitmapToStream(bitmap, &writer);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_BMP)->Arg(4)->Arg(24);

void BM_Base64OfBMP(benchmark::State& state) {
  const std::vector<uint8_t> bmp = EncodeBMP(Picture(4));
  for (auto _ : state) {
    std::string text = BufferToBase64(bmp.data(), bmp.size());
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_Base64OfBMP);

}  // namespace
}  // namespace plotvane

BENCHMARK_MAIN();
