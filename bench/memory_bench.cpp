// Peak memory of one Draw object: the most heap it holds at any moment while
// it is created, filled with data and asked for its picture, above what the
// process held before (shared font data, loaded once per process, is warmed
// up first and not counted). Every allocation of the process is counted, the
// C libraries' (FreeType, zlib, libjpeg) included, by standing in front of
// the C library's allocator.
//
//   memory_bench --benchmark_repetitions=1
//
// The time columns mean nothing here; the counters peak_KiB (one object) and
// maxrss_MiB (the whole process so far, getrusage) are the figures.
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/draw_client.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* p);
}

namespace {

std::atomic<long long> current_bytes{0};
std::atomic<long long> peak_bytes{0};

void Allocated(void* p) {
  if (p == nullptr) return;
  const long long now = current_bytes += static_cast<long long>(malloc_usable_size(p));
  long long peak = peak_bytes.load();
  while (now > peak && !peak_bytes.compare_exchange_weak(peak, now)) {
  }
}
void Freeing(void* p) {
  if (p != nullptr) current_bytes -= static_cast<long long>(malloc_usable_size(p));
}

}  // namespace

extern "C" {
void* malloc(size_t size) {
  void* p = __libc_malloc(size);
  Allocated(p);
  return p;
}
void* calloc(size_t count, size_t size) {
  void* p = __libc_calloc(count, size);
  Allocated(p);
  return p;
}
void* realloc(void* old, size_t size) {
  Freeing(old);
  void* p = __libc_realloc(old, size);
  // A failed reallocation keeps the old block.
  Allocated(p != nullptr || size == 0 ? p : old);
  return p;
}
void free(void* p) {
  Freeing(p);
  __libc_free(p);
}
void* memalign(size_t alignment, size_t size) {
  void* p = __libc_memalign(alignment, size);
  Allocated(p);
  return p;
}
void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }
int posix_memalign(void** out, size_t alignment, size_t size) {
  void* p = memalign(alignment, size);
  if (p == nullptr) return 12;  // ENOMEM
  *out = p;
  return 0;
}
}

namespace plotvane {
namespace {

// One object's life: created, filled with the data of the chart of `kind`
// (KindOf) a page shows, its picture in `format` made, released.
void OneObject(int kind, int format) {
  DrawClient c;
  c.Fill(kind, KindOf(kind).page_values);
  c.Picture(c.Id(BytesMemberName(KindOf(kind).graph_type, format)));
}

void BM_PeakMemoryOfOneObject(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0)), format = static_cast<int>(state.range(1));
  OneObject(kind, format);  // fonts and tables the process keeps are loaded now
  long long most = 0;
  for (auto _ : state) {
    const long long before = current_bytes.load();
    peak_bytes = before;
    OneObject(kind, format);
    most = std::max(most, peak_bytes.load() - before);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_KiB"] = static_cast<double>(most) / 1024;
  state.counters["maxrss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
  state.SetLabel(std::string(KindOf(kind).name) + " " + FormatName(format));
}
BENCHMARK(BM_PeakMemoryOfOneObject)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1, 2, 3}})
    ->Iterations(20)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plotvane

BENCHMARK_MAIN();
