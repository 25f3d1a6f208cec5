// How drawing grows with the items of a chart: every chart kind at its
// default 400 x 300 page with 6, 60 and 600 items, the engine alone (no
// encoding). A drawer whose cost follows its painted pixels and its items
// grows about tenfold per step at most, and much less where more items paint
// no more pixels (the pie's slices share one disc).
//
//   growth_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// Arguments: kind (0 pie, 1 vertical bars, 2 line graph, 3 vertical stacked
// bars, 4 horizontal bars, 5 horizontal stacked bars), items.
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "engine/chartix.h"

namespace plotvane {
namespace {

std::u16string Name(int i) {
  const std::string name = "Item " + std::to_string(i + 1);
  return std::u16string(name.begin(), name.end());
}

double Value(int i) { return 10 + (i * 37) % 50; }

// A chart of `count` items of the kind: slices, bars, points on three lines,
// or segments in groups of three.
void Fill(TChartix& chart, int kind, int count) {
  chart.FTitle = u"Fruit sold";
  for (int i = 0; i < count; ++i) {
    switch (kind) {
      case 0:
      case 1:
      case 4:
        chart.AddData(Name(i), Value(i), u"R");
        break;
      case 2: {
        static const char16_t* const kColours[] = {u"FF0000", u"0000FF", u"008000"};
        const char16_t* colour = kColours[i % 3];
        chart.AddPoint(i / 3, Value(i), colour, std::u16string(u"Line ") + colour);
        break;
      }
      default: {
        const std::string group = "G" + std::to_string(i / 3);
        chart.AddStackedData(std::u16string(group.begin(), group.end()), Name(i % 3), Value(i),
                             u"R");
        break;
      }
    }
  }
  if (kind == 1 || kind == 4) chart.FShowGrid = true;
}

TGraphType GraphOf(int kind) {
  switch (kind) {
    case 0: return cxtPie;
    case 1: return cxtVBar;
    case 2: return cxtLine;
    case 3: return cxtVStackedBar;
    case 4: return cxtHBar;
    default: return cxtHStackedBar;
  }
}

void BM_Growth(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0)), count = static_cast<int>(state.range(1));
  TChartix chart;
  Fill(chart, kind, count);
  for (auto _ : state) {
    auto bitmap = std::make_unique<TBitmap>();
    chart.GetGraph(bitmap, GraphOf(kind));
    benchmark::DoNotOptimize(bitmap.get());
  }
}
BENCHMARK(BM_Growth)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {6, 60, 600}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plotvane

BENCHMARK_MAIN();
