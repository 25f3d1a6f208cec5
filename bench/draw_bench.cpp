// What a client pays for a chart, through IDispatch: a default 400 x 300
// chart with six items of each kind of data, drawn only (DummyGraph) and
// drawn and encoded (the byte-array properties) in every format; charts per
// second on one and two threads, each thread with its own object; and how
// the cost grows with pixels (200 x 150 to 1600 x 1200, the pie scaled with
// the page) and with data items (6 to 6000); a default line graph of three
// lines of 20 points with legend and grid; and a default stacked chart of
// four groups of three items as PNG.
//
//   draw_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/draw_client.h"

namespace plotvane {
namespace {

// Drawing only: the chart and its image map, no picture.
void BM_Draw(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  DrawClient c;
  c.AddItems(6);
  const DISPID dummy = c.Id(u"DummyGraph");
  for (auto _ : state) {
    c.Invoke(dummy, DISPATCH_METHOD, Values(Variant::I4(kind)));
  }
  state.SetLabel(KindName(kind));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Draw)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// Drawing and encoding, as the byte array a client writes to its response.
void BM_DrawAndEncode(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const int format = static_cast<int>(state.range(1));
  DrawClient c;
  c.AddItems(6);
  const DISPID member = c.Id(BytesMemberName(kind, format));
  size_t bytes = 0;
  for (auto _ : state) {
    Variant picture;
    c.Invoke(member, DISPATCH_PROPERTYGET, {}, picture.Get());
    bytes = picture->parray->rgsabound[0].cElements;
  }
  state.SetLabel(std::string(KindName(kind)) + " " + FormatName(format) + " " +
                 std::to_string(bytes) + " bytes");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawAndEncode)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMicrosecond);

// Charts per second with one object per thread: a PNG pie, the most common
// request.
void BM_PiesPerSecond(benchmark::State& state) {
  DrawClient c;
  c.AddItems(6);
  const DISPID member = c.Id(u"PNGPie");
  for (auto _ : state) {
    Variant picture;
    c.Invoke(member, DISPATCH_PROPERTYGET, {}, picture.Get());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PiesPerSecond)->Threads(1)->Threads(2)->UseRealTime()->Unit(benchmark::kMicrosecond);

// A PNG pie on a page of range(0) x range(1) pixels, the pie and legend
// placed in proportion.
void BM_PieByPixels(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  DrawClient c;
  c.AddItems(6);
  c.Put(u"Width", Variant::I4(width));
  c.Put(u"Height", Variant::I4(height));
  c.Put(u"CenterX", Variant::I4(width * 175 / 400));
  c.Put(u"CenterY", Variant::I4(height / 2));
  c.Put(u"PieDia", Variant::I4(height * 2 / 3));
  c.Put(u"LegendX", Variant::I4(width * 320 / 400));
  const DISPID member = c.Id(u"PNGPie");
  for (auto _ : state) {
    Variant picture;
    c.Invoke(member, DISPATCH_PROPERTYGET, {}, picture.Get());
  }
  state.SetComplexityN(static_cast<int64_t>(width) * height);
  state.counters["ns_per_pixel"] = benchmark::Counter(
      static_cast<double>(width) * height, benchmark::Counter::kIsIterationInvariantRate |
                                               benchmark::Counter::kInvert);
}
BENCHMARK(BM_PieByPixels)
    ->Args({200, 150})
    ->Args({400, 300})
    ->Args({800, 600})
    ->Args({1600, 1200})
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

// A default PNG pie with range(0) items, and the same items as a bar chart
// (whose legend lists them all).
void BM_PieByItems(benchmark::State& state) {
  const int items = static_cast<int>(state.range(0));
  DrawClient c;
  c.AddItems(items);
  const DISPID member = c.Id(u"PNGPie");
  for (auto _ : state) {
    Variant picture;
    c.Invoke(member, DISPATCH_PROPERTYGET, {}, picture.Get());
  }
  state.SetComplexityN(items);
}
BENCHMARK(BM_PieByItems)
    ->Arg(6)->Arg(60)->Arg(600)->Arg(6000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

// A default vertical stacked chart of 4 groups of 3 items with its legend,
// drawn and encoded as PNG.
void BM_StackedPNG(benchmark::State& state) {
  DrawClient c;
  const DISPID add = c.Id(u"AddGroupedData");
  static const char16_t* kGroups[] = {u"Q1", u"Q2", u"Q3", u"Q4"};
  static const char16_t* kNames[] = {u"Oil", u"Gas", u"Coal"};
  for (int g = 0; g < 4; ++g) {
    for (int i = 0; i < 3; ++i) {
      c.Invoke(add, DISPATCH_METHOD,
               Values(Variant::String(kGroups[g]), Variant::String(kNames[i]),
                      Variant::R8(4 + (g * 7 + i * 5) % 11), Variant::String(u"R")));
    }
  }
  const DISPID member = c.Id(u"PNGStackedBar");
  size_t bytes = 0;
  for (auto _ : state) {
    Variant picture;
    c.Invoke(member, DISPATCH_PROPERTYGET, {}, picture.Get());
    bytes = picture->parray->rgsabound[0].cElements;
  }
  state.SetLabel(std::to_string(bytes) + " bytes");
}
BENCHMARK(BM_StackedPNG)->Unit(benchmark::kMicrosecond);

void BM_BarByItems(benchmark::State& state) {
  const int items = static_cast<int>(state.range(0));
  DrawClient c;
  c.AddItems(items);
  const DISPID member = c.Id(u"PNGBar");
  for (auto _ : state) {
    Variant picture;
    c.Invoke(member, DISPATCH_PROPERTYGET, {}, picture.Get());
  }
  state.SetComplexityN(items);
}
BENCHMARK(BM_BarByItems)
    ->Arg(6)->Arg(60)->Arg(600)->Arg(6000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

// A default line graph as a page shows it: three lines of 20 points with
// their legend over a grid, drawn and encoded as PNG (drawing only with
// range(0) = 0).
void BM_LineGraph(benchmark::State& state) {
  const bool encode = state.range(0) != 0;
  DrawClient c;
  const DISPID add_point = c.Id(u"AddPoint");
  static const char16_t* kColours[] = {u"E02020", u"2040E0", u"20A020"};
  static const char16_t* kNames[] = {u"North", u"South", u"West"};
  for (int line = 0; line < 3; ++line) {
    for (int i = 0; i < 20; ++i) {
      const double y = 10 + (i * (7 + 5 * line) + 13 * line) % 40;
      c.Invoke(add_point, DISPATCH_METHOD,
               Values(Variant::R8(i + 1), Variant::R8(y), Variant::String(kColours[line]),
                      Variant::String(kNames[line])));
    }
  }
  c.Put(u"ShowGrid", Variant::Bool(true));
  const DISPID member = encode ? c.Id(u"PNGLine") : c.Id(u"DummyGraph");
  size_t bytes = 0;
  for (auto _ : state) {
    Variant picture;
    if (encode) {
      c.Invoke(member, DISPATCH_PROPERTYGET, {}, picture.Get());
      bytes = picture->parray->rgsabound[0].cElements;
    } else {
      c.Invoke(member, DISPATCH_METHOD, Values(Variant::I4(2)));
    }
  }
  state.SetLabel(encode ? "png " + std::to_string(bytes) + " bytes" : "drawing only");
}
BENCHMARK(BM_LineGraph)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plotvane

BENCHMARK_MAIN();
