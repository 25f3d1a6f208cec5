// Cost of the text a chart draws: 100 labels of the kind axes, bars and
// legends carry, on a 400 x 300 4-bit bitmap, measured and drawn, unturned and
// turned upwards; and of texts far larger than the largest bitmap. The first
// iteration makes the fonts and glyphs; the figures are those of a warm
// thread, as in a server that draws chart after chart.
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "canvas/bitmap.h"
#include "canvas/canvas.h"

namespace plotvane {
namespace {

std::unique_ptr<TBitmap> ChartBitmap() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf4bit);
  bitmap->SetPalette({{255, 255, 255, 0}, {0, 0, 0, 0}, {220, 220, 220, 0}, {153, 0, 51, 0}});
  bitmap->SetSize(400, 300);
  return bitmap;
}

std::vector<std::u16string> Labels() {
  std::vector<std::u16string> labels;
  for (int i = 0; i < 100; ++i) {
    std::string s = i % 3 == 0   ? std::to_string(i * 1234.5)
                    : i % 3 == 1 ? "Category " + std::to_string(i)
                                 : "Q" + std::to_string(i % 4 + 1) + " 20" + std::to_string(i);
    labels.emplace_back(s.begin(), s.end());
  }
  return labels;
}

void DrawLabels(benchmark::State& state, int escapement, bool opaque) {
  auto bitmap = ChartBitmap();
  TCanvas& canvas = bitmap->Canvas();
  const std::vector<std::u16string> labels = Labels();
  if (!opaque) canvas.Brush().SetStyle(TBrushStyle::bsClear);
  const auto draw = [&] {
    for (int i = 0; i < 100; ++i) {
      canvas.Font().Height = i % 10 == 0 ? -13 : -11;
      canvas.Font().Style = i % 10 == 0 ? fsBold : 0;
      canvas.Font().Escapement = escapement;
      canvas.TextOut(10 + (i * 37) % 300, 20 + (i * 53) % 260, labels[i]);
    }
  };
  draw();  // makes the fonts and glyphs
  for (auto _ : state) draw();
  state.SetItemsProcessed(state.iterations() * 100);
}

void BM_TextOut100(benchmark::State& state) { DrawLabels(state, 0, false); }
void BM_TextOut100Opaque(benchmark::State& state) { DrawLabels(state, 0, true); }
void BM_TextOut100Upwards(benchmark::State& state) { DrawLabels(state, 900, false); }

void BM_TextExtent100(benchmark::State& state) {
  TBitmap bitmap;
  TCanvas& canvas = bitmap.Canvas();
  const std::vector<std::u16string> labels = Labels();
  canvas.TextWidth(labels[0]);  // makes the font
  for (auto _ : state) {
    int total = 0;
    for (const std::u16string& label : labels) total += canvas.TextWidth(label);
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * 100);
}

// Texts far larger than the bitmap: 100 texts of 310 glyphs at 4000 pixels
// per em, at places over and beyond a 4096 x 4096 4-bit bitmap (range(0) 0),
// or all over it (1). Each iteration draws on a fresh bitmap, as a drawing
// does.
void BM_HugeText100(benchmark::State& state) {
  const int spread = state.range(0) == 0 ? 16384 : 4096;
  std::u16string text;
  while (text.size() < 310) text += u"WMQ@#%&";
  for (auto _ : state) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(TPixelFormat::pf4bit);
    bitmap.SetPalette({{255, 255, 255, 0}, {0, 0, 0, 0}});
    bitmap.SetSize(4096, 4096);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font().Height = -4000;
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    uint32_t seed = 1;
    for (int i = 0; i < 100; ++i) {
      seed = seed * 1103515245u + 12345u;
      const int x = static_cast<int>((seed >> 8) % spread) - spread / 2;
      seed = seed * 1103515245u + 12345u;
      const int y = static_cast<int>((seed >> 8) % spread) - spread / 2;
      canvas.TextOut(x, y, text);
    }
  }
  state.SetItemsProcessed(state.iterations() * 100);
}

BENCHMARK(BM_TextOut100)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_TextOut100Opaque)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_TextOut100Upwards)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_TextExtent100)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_HugeText100)->Arg(0)->Arg(1)->Repetitions(5)->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plotvane

BENCHMARK_MAIN();
