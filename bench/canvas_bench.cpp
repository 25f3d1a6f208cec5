// Canvas primitives on a chart-sized bitmap: 400 x 300, 4 bits, the palette a
// chart would have. Each benchmark draws one batch per iteration.
//
//   canvas_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "canvas/bitmap.h"
#include "canvas/canvas.h"

namespace plotvane {
namespace {

std::unique_ptr<TBitmap> ChartBitmap() {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(TPixelFormat::pf4bit);
  b->SetPalette({{255, 255, 255, 0}, {0, 0, 0, 0}, {255, 0, 0, 0}, {0, 160, 0, 0},
                 {0, 0, 255, 0}, {255, 215, 0, 0}});
  b->SetSize(400, 300);
  return b;
}

// The whole bitmap filled, as every chart starts.
void BM_Fill(benchmark::State& state) {
  auto b = ChartBitmap();
  TCanvas& c = b->Canvas();
  for (auto _ : state) {
    c.Pen().Color = 0xFFFFFF;
    c.Brush().SetColor(0xFFFFFF);
    c.Rectangle(0, 0, 400, 300);
    benchmark::DoNotOptimize(b->ScanLine(0));
  }
}
BENCHMARK(BM_Fill);

// 1000 1-pixel lines in all directions, solid, dotted every fourth.
void BM_Lines1000(benchmark::State& state) {
  auto b = ChartBitmap();
  TCanvas& c = b->Canvas();
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      c.Pen().Style = i % 4 == 3 ? TPenStyle::psDot : TPenStyle::psSolid;
      c.Pen().Color = i % 2 ? 0x0000FF : 0x000000;
      c.MoveTo((i * 37) % 400, (i * 11) % 300);
      c.LineTo((i * 53 + 100) % 400, (i * 29 + 150) % 300);
    }
    benchmark::DoNotOptimize(b->ScanLine(0));
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_Lines1000);

// 100 filled and outlined ellipses, from point glyphs to pie-sized discs.
void BM_Ellipses100(benchmark::State& state) {
  auto b = ChartBitmap();
  TCanvas& c = b->Canvas();
  c.Pen().Color = 0x000000;
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) {
      const int r = 2 + (i * 7) % 100;
      const int x = (i * 41) % 400, y = (i * 23) % 300;
      c.Brush().SetColor(i % 2 ? 0x0000FF : 0x00A000);
      c.Ellipse(x - r, y - r, x + r + 1, y + r + 1);
    }
    benchmark::DoNotOptimize(b->ScanLine(0));
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_Ellipses100);

// 100 short labels.
void BM_Texts100(benchmark::State& state) {
  auto b = ChartBitmap();
  TCanvas& c = b->Canvas();
  c.Brush().SetStyle(TBrushStyle::bsClear);
  const std::u16string label = u"Apples 12.5%";
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) c.TextOut((i * 37) % 380, (i * 13) % 290, label);
    benchmark::DoNotOptimize(b->ScanLine(0));
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_Texts100);

// A pie chart's disc and twelve wedges.
void BM_PieChart(benchmark::State& state) {
  auto b = ChartBitmap();
  TCanvas& c = b->Canvas();
  c.Pen().Color = 0x000000;
  for (auto _ : state) {
    c.Brush().SetColor(0x000000);
    c.Ellipse(76, 51, 275, 250);
    for (int i = 0; i < 12; ++i) {
      c.Brush().SetColor(i % 2 ? 0x0000FF : 0x00A000);
      c.Pie(76, 51, 275, 250, 175 + (i * 17) % 100, 51, 76, 51 + (i * 13) % 200);
    }
    benchmark::DoNotOptimize(b->ScanLine(0));
  }
}
BENCHMARK(BM_PieChart);

}  // namespace
}  // namespace plotvane

BENCHMARK_MAIN();
