// What a client pays for a chart, through IDispatch, for every chart kind
// (KindOf: pie, vertical and horizontal bars, line graph, vertical and
// horizontal stacked bars), each a default 400 x 300 chart as a page shows
// it, with the legend, labels and axes the defaults give: drawn only
// (DummyGraph) and drawn and encoded (the byte-array properties) in every
// format, on one and two threads with one object per thread; and how a PNG
// grows with pixels (200 x 150 to 1600 x 1200, the default layout scaled
// with the page) and with data values (6 to 6000).
//
//   draw_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// Every benchmark counts charts in items_per_second: on two threads that is
// the charts both threads together made per second of wall time.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "base/ascii.h"
#include "bench/draw_client.h"

namespace plotvane {
namespace {

// The arguments (kind) or (kind, x) for every kind and every x of `xs`.
void EveryKind(benchmark::internal::Benchmark* b, const std::vector<int64_t>& xs = {}) {
  for (int kind = 0; kind < kKindCount; ++kind) {
    if (xs.empty()) b->Arg(kind);
    for (const int64_t x : xs) b->Args({kind, x});
  }
}

// Drawing only: the chart and its image map, no picture.
void BM_Draw(benchmark::State& state) {
  const ChartKind& kind = KindOf(static_cast<int>(state.range(0)));
  DrawClient c;
  c.Fill(static_cast<int>(state.range(0)), kind.page_values);
  const DISPID dummy = c.Id(u"DummyGraph");
  for (auto _ : state) {
    c.Invoke(dummy, DISPATCH_METHOD, Values(Variant::I4(kind.graph_type)));
  }
  state.SetLabel(kind.name);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Draw)
    ->Apply([](benchmark::internal::Benchmark* b) { EveryKind(b); })
    ->Threads(1)
    ->Threads(2)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// Drawing and encoding in format range(1) (0 PNG, 1 GIF, 2 BMP, 3 JPEG), as
// the byte array a client writes to its response.
void BM_DrawAndEncode(benchmark::State& state) {
  const ChartKind& kind = KindOf(static_cast<int>(state.range(0)));
  const int format = static_cast<int>(state.range(1));
  DrawClient c;
  c.Fill(static_cast<int>(state.range(0)), kind.page_values);
  const DISPID member = c.Id(BytesMemberName(kind.graph_type, format));
  size_t bytes = 0;
  for (auto _ : state) bytes = c.Picture(member);
  state.SetLabel(std::string(kind.name) + " " + FormatName(format) + " " + std::to_string(bytes) +
                 " bytes");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawAndEncode)
    ->Apply([](benchmark::internal::Benchmark* b) { EveryKind(b, {0, 1, 2, 3}); })
    ->Threads(1)
    ->Threads(2)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// The default pie (range(0) 0) and vertical bar chart (1) as SVG (range(1)
// 1), the document with its image map inside, beside the same chart as PNG
// (0), as a client reads either.
void BM_SvgBesidePng(benchmark::State& state) {
  const ChartKind& kind = KindOf(static_cast<int>(state.range(0)));
  const bool svg = state.range(1) != 0;
  DrawClient c;
  c.Fill(static_cast<int>(state.range(0)), kind.page_values);
  const std::u16string svg_name = u"SVG" + Widen(kGraphKinds[kind.graph_type].member);
  const DISPID member = svg ? c.Id(svg_name.c_str()) : c.Id(BytesMemberName(kind.graph_type, 0));
  size_t bytes = 0;
  for (auto _ : state) bytes = c.Picture(member);
  state.SetLabel(std::string(kind.name) + (svg ? " svg " : " png ") + std::to_string(bytes) +
                 " bytes");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SvgBesidePng)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// A PNG on a page range(1) pixels wide and three quarters as high, the
// default layout scaled with it.
void BM_ByPixels(benchmark::State& state) {
  const ChartKind& kind = KindOf(static_cast<int>(state.range(0)));
  const int width = static_cast<int>(state.range(1)), height = width * 3 / 4;
  DrawClient c;
  c.Page(width, height);
  c.Fill(static_cast<int>(state.range(0)), kind.page_values);
  const DISPID member = c.Id(BytesMemberName(kind.graph_type, 0));
  for (auto _ : state) c.Picture(member);
  state.SetLabel(std::string(kind.name) + " " + std::to_string(width) + "x" + std::to_string(height));
  state.counters["ns_per_pixel"] = benchmark::Counter(
      static_cast<double>(width) * height,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ByPixels)
    ->Apply([](benchmark::internal::Benchmark* b) { EveryKind(b, {200, 400, 800, 1600}); })
    ->Unit(benchmark::kMicrosecond);

// A default PNG of range(1) data values (see DrawClient::Fill for how each
// kind holds them).
void BM_ByItems(benchmark::State& state) {
  const ChartKind& kind = KindOf(static_cast<int>(state.range(0)));
  const int values = static_cast<int>(state.range(1));
  DrawClient c;
  c.Fill(static_cast<int>(state.range(0)), values);
  const DISPID member = c.Id(BytesMemberName(kind.graph_type, 0));
  for (auto _ : state) c.Picture(member);
  state.SetLabel(std::string(kind.name) + " " + std::to_string(values) + " values");
  state.counters["per_value"] = benchmark::Counter(
      values, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ByItems)
    ->Apply([](benchmark::internal::Benchmark* b) { EveryKind(b, {6, 60, 600, 6000}); })
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plotvane

BENCHMARK_MAIN();
