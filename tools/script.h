// Automation scripts: a conversation with one Draw object written down as
// JSON, and the result document that playing it gives.
//
// A script is {"onError": "stop" | "continue", "steps": [STEP, ...]} or a bare
// array of steps; a step is {"put": NAME, "value": V}, {"get": NAME} or
// {"call": NAME}, the last two with optional "args": [V, ...] and
// "save": PATH. Every step resolves NAME with GetIDsOfNames and calls Invoke,
// as a scripting client does. The result document is
// {"results": [RESULT, ...], "failed": N}, one RESULT per step played.
#ifndef PLOTVANE_TOOLS_SCRIPT_H_
#define PLOTVANE_TOOLS_SCRIPT_H_

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "client/script_value.h"
#include "runtime/interfaces.h"
#include "runtime/types.h"
#include "runtime/variant.h"

namespace plotvane {

// A value written in a script (ScriptValue) is JSON null, true/false, an
// integer literal that fits 32 bits, any other number or a string.

enum class StepKind { kPut, kGet, kCall };

struct ScriptStep {
  StepKind kind = StepKind::kGet;
  std::string name;               // the member, matched ignoring case
  std::vector<ScriptValue> args;  // get and call: the arguments in order
  ScriptValue value;              // put: the new value
  std::string save;               // get and call: the file for a byte array or text, or ""
};

struct Script {
  bool continue_on_error = false;  // "onError": "continue"
  std::vector<ScriptStep> steps;
};

// Why a script is refused. The message names the step by its 0-based index
// where one is at fault: `step 3: "put" needs a "value"`.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The largest script read, and the deepest nesting of JSON arrays and
// objects accepted in it (a valid script nests four deep).
constexpr size_t kMaxScriptBytes = size_t{16} << 20;
constexpr int kMaxScriptDepth = 32;

// Reads and checks a whole script: nothing of a malformed script is played.
// Throws ScriptError for text that is not JSON, nests deeper than
// kMaxScriptDepth, or is not a script (unknown step kind or field, a field of
// the wrong type, a number out of the double range, a bad "onError").
Script ParseScript(std::string_view text);

// What playing one step gave: a result (hr succeeded) or a failure.
struct StepOutcome {
  size_t step = 0;
  HRESULT hr = S_OK;
  std::string description;  // failures: what went wrong
  std::string source;       // failures: who raised it ("" when nobody said)
  Variant value;            // successes: the result (VT_EMPTY for puts)
  std::string saved;        // successes with "save": the path as the script gave it
};

// Plays `step` (index `index` of its script) on `object`. A relative "save"
// path is taken relative to `folder` ("": the current folder). Never throws:
// every failure, the server's and the command's own (a result that cannot be
// saved), is reported in the outcome.
StepOutcome RunStep(IDispatch* object, const ScriptStep& step, size_t index,
                    const std::string& folder);

// The RESULT object of one outcome, as JSON text.
std::string ResultJson(const StepOutcome& outcome);

// What a host decides around each step that RunScript plays. The plotvane
// command plays every step as written; a host that serves other people's
// scripts refuses some steps, ends a script at its deadline and bounds what
// the document may hold.
class StepGate {
 public:
  enum class Verdict {
    kPlay,    // play the step
    kRefuse,  // record the failure filled in instead of playing the step
    kStop,    // end the script before the step
  };
  virtual ~StepGate() = default;

  // Called before step `index` is played. For kRefuse, `*refusal` (whose
  // step index is already set) must have been given a failing hr and its
  // description and source.
  virtual Verdict Before(const ScriptStep& step, size_t index, StepOutcome* refusal) = 0;

  // Called after step `index` with its outcome and `*result`, the RESULT
  // text about to be written. The gate may release what the outcome holds,
  // or replace both with a failure (keeping them in step with ResultJson).
  // Returns false to end the script after this step.
  virtual bool After(const ScriptStep& step, StepOutcome* outcome, std::string* result) = 0;
};

// Plays `script` on `object`, writing the result document to `out` as the
// steps run; stops after the first failure unless the script continues on
// errors. `gate`, when given, is asked around every step. Returns the number
// of failed steps.
size_t RunScript(IDispatch* object, const Script& script, std::ostream& out,
                 const std::string& folder = "", StepGate* gate = nullptr);

}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_SCRIPT_H_
