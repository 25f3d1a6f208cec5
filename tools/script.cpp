// Reading automation scripts: JSON text to checked steps. Every rule is
// checked before anything runs, so a malformed script plays no step at all.
#include "tools/script.h"

#include <cmath>
#include <limits>
#include <string>

#include <nlohmann/json.hpp>

namespace plotvane {

namespace {

using Json = nlohmann::json;

// Thrown from the parser's callback to stop reading a text that nests too
// deeply, before it costs memory.
struct TooDeep {};

Json ReadJson(std::string_view text) {
  if (text.size() > kMaxScriptBytes) {
    throw ScriptError("the script is larger than " + std::to_string(kMaxScriptBytes >> 20) +
                      " MiB");
  }
  try {
    return Json::parse(text, [](int depth, Json::parse_event_t, Json&) {
      if (depth > kMaxScriptDepth) throw TooDeep();
      return true;
    });
  } catch (const TooDeep&) {
    throw ScriptError("the script nests deeper than " + std::to_string(kMaxScriptDepth) +
                      " levels");
  } catch (const Json::exception& e) {
    // The reader's message starts with its own error tag: "[json.exception…] ".
    std::string why = e.what();
    const size_t tag = why.find("] ");
    if (why.rfind("[json.", 0) == 0 && tag != std::string::npos) why.erase(0, tag + 2);
    throw ScriptError("not JSON: " + why);
  }
}

// Raises `what` for step `index`.
[[noreturn]] void Refuse(size_t index, const std::string& what) {
  throw ScriptError("step " + std::to_string(index) + ": " + what);
}

std::string Quoted(const char* field) { return std::string("\"") + field + "\""; }

// A JSON scalar as a script value; `what` names it in a refusal.
ScriptValue ToValue(const Json& json, size_t index, const std::string& what) {
  switch (json.type()) {
    case Json::value_t::null:
      return std::monostate();
    case Json::value_t::boolean:
      return json.get<bool>();
    case Json::value_t::string:
      return json.get<std::string>();
    case Json::value_t::number_integer: {
      const int64_t n = json.get<int64_t>();
      if (n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max()) {
        return static_cast<int32_t>(n);
      }
      return static_cast<double>(n);
    }
    case Json::value_t::number_unsigned: {
      const uint64_t n = json.get<uint64_t>();
      if (n <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        return static_cast<int32_t>(n);
      }
      return static_cast<double>(n);
    }
    case Json::value_t::number_float: {
      const double d = json.get<double>();
      // A literal beyond the double range reads as infinity; no automation
      // value can carry it faithfully.
      if (!std::isfinite(d)) Refuse(index, what + " is a number out of range");
      return d;
    }
    default:
      Refuse(index, what + " must be a number, a string, true, false or null");
  }
}

StepKind KindOf(const Json& step, size_t index, const char** field) {
  static const struct {
    const char* field;
    StepKind kind;
  } kKinds[] = {{"put", StepKind::kPut}, {"get", StepKind::kGet}, {"call", StepKind::kCall}};
  const char* found = nullptr;
  StepKind kind = StepKind::kGet;
  for (const auto& k : kKinds) {
    if (!step.contains(k.field)) continue;
    if (found != nullptr) {
      Refuse(index, "a step has only one of \"put\", \"get\" and \"call\"");
    }
    found = k.field;
    kind = k.kind;
  }
  if (found == nullptr) {
    // Name the field that was meant as the kind, when there is one.
    for (const auto& [key, value] : step.items()) {
      if (key != "value" && key != "args" && key != "save") {
        Refuse(index, "unknown step kind \"" + key + "\"");
      }
    }
    Refuse(index, "unknown step kind: a step needs \"put\", \"get\" or \"call\"");
  }
  *field = found;
  return kind;
}

ScriptStep ReadStep(const Json& json, size_t index) {
  if (!json.is_object()) Refuse(index, "a step must be an object");
  ScriptStep step;
  const char* kind_field = nullptr;
  step.kind = KindOf(json, index, &kind_field);
  const bool put = step.kind == StepKind::kPut;
  for (const auto& [key, value] : json.items()) {
    if (key == kind_field) {
      if (!value.is_string()) Refuse(index, Quoted(kind_field) + " must be a member name (a string)");
      step.name = value.get<std::string>();
    } else if (key == "value") {
      if (!put) Refuse(index, "\"value\" belongs to \"put\" only");
      step.value = ToValue(value, index, "\"value\"");
    } else if (key == "args") {
      if (put) Refuse(index, "\"put\" takes no \"args\"");
      if (!value.is_array()) Refuse(index, "\"args\" must be an array");
      for (size_t i = 0; i < value.size(); ++i) {
        step.args.push_back(ToValue(value[i], index, "argument " + std::to_string(i)));
      }
    } else if (key == "save") {
      if (put) Refuse(index, "\"save\" belongs to \"get\" and \"call\" only");
      if (!value.is_string() || value.get<std::string>().empty() ||
          value.get<std::string>().find('\0') != std::string::npos) {
        Refuse(index, "\"save\" must be a file path (a non-empty string)");
      }
      step.save = value.get<std::string>();
    } else if (key == "put" || key == "get" || key == "call") {
      // Already refused by KindOf: a step has one kind.
    } else {
      Refuse(index, "unknown field \"" + key + "\"");
    }
  }
  if (put && !json.contains("value")) Refuse(index, "\"put\" needs a \"value\"");
  return step;
}

}  // namespace

Script ParseScript(std::string_view text) {
  const Json json = ReadJson(text);
  Script script;
  const Json* steps = &json;
  if (json.is_object()) {
    for (const auto& [key, value] : json.items()) {
      if (key == "onError") {
        if (value != "stop" && value != "continue") {
          throw ScriptError("\"onError\" must be \"stop\" or \"continue\"");
        }
        script.continue_on_error = value == "continue";
      } else if (key != "steps") {
        throw ScriptError("unknown field \"" + key + "\" in the script");
      }
    }
    if (!json.contains("steps")) throw ScriptError("the script has no \"steps\"");
    steps = &json.at("steps");
    if (!steps->is_array()) throw ScriptError("\"steps\" must be an array");
  } else if (!json.is_array()) {
    throw ScriptError("a script is an object with \"steps\" or an array of steps");
  }
  script.steps.reserve(steps->size());
  for (size_t i = 0; i < steps->size(); ++i) script.steps.push_back(ReadStep((*steps)[i], i));
  return script;
}

}  // namespace plotvane
