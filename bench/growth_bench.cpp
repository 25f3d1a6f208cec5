// How drawing grows with the items of a chart: every chart kind at its
// default 400 x 300 page with 6, 60 and 600 items, the engine alone (no
// encoding). A drawer whose cost follows its painted pixels and its items
// grows about tenfold per step at most, and much less where more items paint
// no more pixels (the pie's slices share one disc).
//
//   growth_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// Arguments: kind, numbered as in draw_bench (0 pie, 1 vertical bars,
// 2 horizontal bars, 3 line graph, 4 vertical stacked bars, 5 horizontal
// stacked bars), items.
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

// What each kind draws its items as, and which graph type.
struct Kind {
  TGraphType graph;
  enum { kItems, kPoints, kSegments } data;  // slices or bars, points, segments
};
constexpr Kind kKinds[] = {{cxtPie, Kind::kItems},         {cxtVBar, Kind::kItems},
                           {cxtHBar, Kind::kItems},        {cxtLine, Kind::kPoints},
                           {cxtVStackedBar, Kind::kSegments}, {cxtHStackedBar, Kind::kSegments}};

// A chart of `count` items of the kind: slices, bars (over a grid), points
// on three lines, or segments in groups of three.
void Fill(TChartix& chart, const Kind& kind, int count) {
  chart.FTitle = u"Fruit sold";
  for (int i = 0; i < count; ++i) {
    switch (kind.data) {
      case Kind::kItems:
        chart.AddData(Name(i), Value(i), u"R");
        break;
      case Kind::kPoints: {
        static const char16_t* const kColours[] = {u"FF0000", u"0000FF", u"008000"};
        const char16_t* colour = kColours[i % 3];
        chart.AddPoint(i / 3, Value(i), colour, std::u16string(u"Line ") + colour);
        break;
      }
      case Kind::kSegments: {
        const std::string group = "G" + std::to_string(i / 3);
        chart.AddStackedData(std::u16string(group.begin(), group.end()), Name(i % 3), Value(i),
                             u"R");
        break;
      }
    }
  }
  if (kind.graph == cxtVBar || kind.graph == cxtHBar) chart.FShowGrid = true;
}

void BM_Growth(benchmark::State& state) {
  const Kind& kind = kKinds[state.range(0)];
  TChartix chart;
  Fill(chart, kind, static_cast<int>(state.range(1)));
  for (auto _ : state) {
    auto bitmap = std::make_unique<TBitmap>();
    chart.GetGraph(bitmap, kind.graph);
    benchmark::DoNotOptimize(bitmap.get());
  }
}
BENCHMARK(BM_Growth)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {6, 60, 600}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plotvane

BENCHMARK_MAIN();
