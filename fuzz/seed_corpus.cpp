// Builds the fuzzer's seed corpus: every automation script given on the
// command line becomes a call stream of the same calls (by name, through
// GetIDsOfNames, as the script player makes them), and a few streams of our
// own fill every kind of chart with data and read it through every output
// member in every format.
//
//   fuzz_seeds OUTPUT_FOLDER [SCRIPT.json ...]
//
// A script that cannot be read is reported and skipped; the exit status is 1
// when any was.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <variant>

#include "base/utf.h"
#include "testing/call_stream.h"
#include "tools/gallery.h"
#include "tools/script.h"

namespace plotvane {
namespace fuzz {
namespace {

void WriteArg(CallWriter& w, const ScriptValue& value) {
  if (std::holds_alternative<bool>(value)) {
    w.ArgBool(std::get<bool>(value));
  } else if (std::holds_alternative<int32_t>(value)) {
    w.ArgI4(std::get<int32_t>(value));
  } else if (std::holds_alternative<double>(value)) {
    w.ArgR8(std::get<double>(value));
  } else if (std::holds_alternative<std::string>(value)) {
    w.ArgString(Utf8ToUtf16(std::get<std::string>(value)));
  } else {
    w.ArgEmpty();
  }
}

// One Invoke by name; `args` in natural order (a write's value last).
void WriteCall(CallWriter& w, const std::string& name, WORD flags,
               const std::vector<ScriptValue>& args) {
  w.InvokeByName(Utf8ToUtf16(name));
  w.CallHead(flags, args.size());
  for (const ScriptValue& a : args) WriteArg(w, a);
  w.CallTail();
}

// The calls of `script`; a script that reads no picture (the gallery's,
// whose pictures the demo reads) then reads its kind in every format, so
// that its settings reach the drawers.
std::vector<uint8_t> StreamOfScript(const Script& script, const std::string& kind) {
  CallWriter w;
  bool reads = false;
  for (const ScriptStep& step : script.steps) {
    reads = reads || step.kind == StepKind::kGet;
    switch (step.kind) {
      case StepKind::kPut:
        WriteCall(w, step.name, DISPATCH_PROPERTYPUT, {step.value});
        break;
      case StepKind::kGet:
        WriteCall(w, step.name, DISPATCH_PROPERTYGET, step.args);
        break;
      case StepKind::kCall:
        WriteCall(w, step.name, DISPATCH_METHOD, step.args);
        break;
    }
  }
  if (!reads && !kind.empty()) {
    for (const char* format : {"PNG", "GIF", "JPG", "BMP"}) {
      WriteCall(w, format + kind, DISPATCH_PROPERTYGET, {});
    }
  }
  return w.bytes();
}

// Data for every chart kind, date axes with their own patterns, an image
// map, then the output members from `first` on (at most as many as a stream
// may draw).
std::vector<uint8_t> StreamOfOutputs(uint8_t first, int32_t kind, bool vertical) {
  CallWriter w;
  const std::vector<std::vector<ScriptValue>> data = {
      {std::string("Apples"), 12, std::string("FF0000")},
      {std::string("Pears"), 7.5, std::string("R")},
      {std::string("Plums"), -5, std::string("#00a000")},
      {std::string("\xc3\x85lesund"), 1e6, std::string("zzz")},
      {std::string(""), 0, std::string("")},
      {std::string("Figs"), 3, std::string("6040C0")},
  };
  for (const auto& d : data) WriteCall(w, "AddData", DISPATCH_METHOD, d);
  for (int i = 0; i < 6; ++i) {
    WriteCall(w, "AddPoint", DISPATCH_METHOD,
              {44927.0 + i, 1.5 * i, std::string(i % 2 ? "FF0000" : "0000FF"), std::string("L")});
    WriteCall(w, "AddGroupedData", DISPATCH_METHOD,
              {std::string(i % 2 ? "Q1" : "Q2"), std::string("N"), 2.0 + i, std::string("R")});
    WriteCall(w, "AddMapArea", DISPATCH_METHOD,
              {std::string("a.html"), std::string("Item"), std::string("")});
  }
  WriteCall(w, "AddText", DISPATCH_METHOD, {std::string("Note"), 20, 30, 45.0});
  WriteCall(w, "AddExtraLine", DISPATCH_METHOD, {0, 0, 399, 299, 2, 1, std::string("0000FF")});
  WriteCall(w, "AddMarker", DISPATCH_METHOD, {44928.0, 2.0, 5, 6, std::string("00FF00")});
  WriteCall(w, "UseXAxisDates", DISPATCH_PROPERTYPUT, {true});
  WriteCall(w, "DateTimeFormat", DISPATCH_PROPERTYPUT, {1});
  WriteCall(w, "DateFormatString", DISPATCH_PROPERTYPUT, {std::string("yyyy-mm-dd")});
  WriteCall(w, "TimeFormatString", DISPATCH_PROPERTYPUT, {std::string("hh:nn")});
  WriteCall(w, "Title", DISPATCH_PROPERTYPUT, {std::string("Fruit sold")});
  WriteCall(w, "ShowPercent", DISPATCH_PROPERTYPUT, {true});
  WriteCall(w, "VerticalBars", DISPATCH_PROPERTYPUT, {vertical});
  // The overlays of bar and stacked charts.
  WriteCall(w, "ShowLinesWithBars", DISPATCH_PROPERTYPUT, {kind % 2 == 1});
  WriteCall(w, "ShowTrendLine", DISPATCH_PROPERTYPUT, {kind == 1});
  WriteCall(w, "PointStyle", DISPATCH_PROPERTYPUT, {int32_t{5}});
  WriteCall(w, "Transparent", DISPATCH_PROPERTYPUT, {true});
  WriteCall(w, "DPI", DISPATCH_PROPERTYPUT, {96});
  for (uint8_t i = 0; i < CallPlayer::kMaxDrawings; ++i) {
    w.Output(static_cast<uint8_t>(first + i), kind, i % 5);
  }
  return w.bytes();
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string BaseName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  return name.substr(0, name.rfind('.'));
}

}  // namespace
}  // namespace fuzz
}  // namespace plotvane

int main(int argc, char** argv) {
  using namespace plotvane;
  using namespace plotvane::fuzz;
  if (argc < 2) {
    std::cerr << "usage: fuzz_seeds OUTPUT_FOLDER [SCRIPT.json ...]\n";
    return 2;
  }
  const std::string out = argv[1];
  int status = 0;
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    try {
      const Script script = ParseScript(text.str());
      const std::string name = BaseName(argv[i]);
      if (!WriteFile(out + "/script-" + name, StreamOfScript(script, GalleryKindOf(name)))) status = 1;
    } catch (const ScriptError& e) {
      // Malformed scripts are part of the test data; their calls are not.
      std::cerr << argv[i] << ": skipped: " << e.what() << "\n";
    }
  }
  // Enough streams that each output member appears with each chart kind.
  const size_t outputs = 16 + 16 + 3;
  for (int32_t kind = 0; kind < 4; ++kind) {
    for (size_t first = 0; first < outputs; first += CallPlayer::kMaxDrawings) {
      const std::string name = out + "/outputs-" + std::to_string(kind) + "-" + std::to_string(first);
      if (!WriteFile(name, StreamOfOutputs(static_cast<uint8_t>(first), kind, kind % 2 == 0)))
        status = 1;
    }
  }
  return status;
}
