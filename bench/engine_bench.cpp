// Drawing cost of the charts, without encoding: a default 400 x 300 pie with
// six items and bar chart with five, and how they grow with items.
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "engine/chartix.h"

namespace plotvane {
namespace {

void AddItems(TChartix& chart, int count) {
  for (int i = 0; i < count; ++i) {
    const std::string name = "Item " + std::to_string(i);
    chart.AddData(std::u16string(name.begin(), name.end()), 10 + (i * 37) % 50, u"R");
  }
}

void BM_DefaultPie(benchmark::State& state) {
  TChartix chart;
  AddItems(chart, static_cast<int>(state.range(0)));
  chart.FTitle = u"Fruit sold";
  for (auto _ : state) {
    auto bitmap = std::make_unique<TBitmap>();
    chart.GetGraph(bitmap, cxtPie);
    benchmark::DoNotOptimize(bitmap.get());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DefaultPie)->Arg(6)->Arg(60)->Arg(600)->Unit(benchmark::kMicrosecond);

// A default vertical bar chart beside the pie: five items, title, legend and
// grid.
void BM_DefaultVBar(benchmark::State& state) {
  TChartix chart;
  AddItems(chart, static_cast<int>(state.range(0)));
  chart.FTitle = u"Fruit sold";
  chart.FShowGrid = true;
  for (auto _ : state) {
    auto bitmap = std::make_unique<TBitmap>();
    chart.GetGraph(bitmap, cxtVBar);
    benchmark::DoNotOptimize(bitmap.get());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DefaultVBar)->Arg(5)->Arg(50)->Arg(500)->Unit(benchmark::kMicrosecond);

void BM_PieWithImageMap(benchmark::State& state) {
  TChartix chart;
  AddItems(chart, 6);
  for (int i = 0; i < 6; ++i) chart.AddMapArea(u"slice.html", u"Slice", u"");
  for (auto _ : state) {
    auto bitmap = std::make_unique<TBitmap>();
    chart.GetGraph(bitmap, cxtPie);
    benchmark::DoNotOptimize(chart.FImageMapText.data());
  }
}
BENCHMARK(BM_PieWithImageMap)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plotvane

BENCHMARK_MAIN();
