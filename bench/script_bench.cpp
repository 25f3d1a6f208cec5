// A whole request as the plotvane command serves it: the process starts,
// loads the server library, plays an automation script that fills a default
// 400 x 300 chart with six items and reads its picture, prints the result
// document (to /dev/null here) and exits. Process start is included; this is
// what a web server pays for a chart when it starts the command per request.
// BM_PlotvaneRunPieSaved is the default pie saved to a file as PNG; see
// growth_bench for how drawing grows with the items of each chart kind.
//
//   script_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/draw_client.h"
#include "testing/scratch_folder.h"

extern char** environ;

namespace plotvane {
namespace {

// The step that adds item i (from 0) of a six-item chart.
std::string AddDataStep(int i) {
  return "{\"call\": \"AddData\", \"args\": [\"Item " + std::to_string(i + 1) + "\", " +
         std::to_string(10 + (i * 37) % 50) + ", \"R\"]},\n";
}

// The script of one chart: six items of each kind of data, then the picture.
std::string ChartScript(int kind, int format) {
  std::string steps;
  for (int i = 0; i < 6; ++i) {
    const std::string n = std::to_string(i + 1), v = std::to_string(10 + (i * 37) % 50);
    steps += AddDataStep(i);
    steps += "{\"call\": \"AddPoint\", \"args\": [" + n + ", " + v + ", \"" +
             (i % 2 ? "FF0000" : "0000FF") + "\", \"Line\"]},\n";
    steps += "{\"call\": \"AddGroupedData\", \"args\": [\"" + std::string(1, 'A' + i % 3) +
             "\", \"Item " + n + "\", " + v + ", \"R\"]},\n";
  }
  const std::u16string member = BytesMemberName(kind, format);
  return "{\"steps\": [\n" + steps + "{\"get\": \"" + std::string(member.begin(), member.end()) +
         "\"}\n]}\n";
}

// Runs `plotvane run script` and waits for it; aborts unless it succeeds.
void RunCommand(const std::string& script) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const std::string command = PLOTVANE_COMMAND;
  char* argv[] = {const_cast<char*>(command.c_str()), const_cast<char*>("run"),
                  const_cast<char*>(script.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, command.c_str(), &actions, nullptr, argv, environ) != 0) std::abort();
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
}

void BM_PlotvaneRun(benchmark::State& state) {
  static ScratchFolder folder("plotvane-bench");
  const int kind = static_cast<int>(state.range(0)), format = static_cast<int>(state.range(1));
  const std::string script = folder.path() + "/" + KindName(kind) + "-" + FormatName(format) + ".json";
  std::ofstream(script) << ChartScript(kind, format);
  for (auto _ : state) RunCommand(script);
  state.SetLabel(std::string(KindName(kind)) + " " + FormatName(format));
}
BENCHMARK(BM_PlotvaneRun)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1, 2, 3}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The one-chart request of a page script: a default pie of six items as PNG,
// saved to a file by the command itself.
void BM_PlotvaneRunPieSaved(benchmark::State& state) {
  static ScratchFolder folder("plotvane-bench");
  const std::string script = folder.path() + "/pie-saved.json";
  std::string steps;
  for (int i = 0; i < 6; ++i) steps += AddDataStep(i);
  std::ofstream(script) << "{\"steps\": [\n" << steps << "{\"get\": \"PNGPie\", \"save\": \""
                        << folder.path() << "/pie.png\"}\n]}\n";
  for (auto _ : state) RunCommand(script);
}
BENCHMARK(BM_PlotvaneRunPieSaved)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plotvane

BENCHMARK_MAIN();
