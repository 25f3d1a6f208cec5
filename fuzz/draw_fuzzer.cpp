// libFuzzer target: every input is a call stream (call_stream.h) played on
// Draw objects through IDispatch, with the pictures written to a folder of
// its own. A crash, a sanitizer report, a leak, a call slower than the
// fuzzer's -timeout or a broken promise of the component ends the run with
// the input kept as a reproducer.
//
// With PLOTVANE_FUZZ_TRACE set in the environment every call is listed on
// standard error, which is how a reproducer is read.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "testing/call_stream.h"
#include "testing/scratch_folder.h"

namespace {

plotvane::fuzz::CallPlayer* player = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static plotvane::ScratchFolder folder("plotvane-fuzz");
  // Drawing stops for the rest of a stream after a quarter of a second, so
  // only a single call can run into the one-second limit (-timeout=1).
  static plotvane::fuzz::CallPlayer the_player(
      folder.path(), std::getenv("PLOTVANE_FUZZ_TRACE") != nullptr ? &std::cerr : nullptr,
      std::chrono::milliseconds(250));
  player = &the_player;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> failures = player->Play(data, size);
  if (failures.empty()) return 0;
  for (const std::string& f : failures) std::fprintf(stderr, "broken promise: %s\n", f.c_str());
  std::abort();
}
