// Playing automation scripts: each step becomes a GetIDsOfNames and an Invoke
// call on the Draw object, and each outcome a RESULT of the result document.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <variant>
#include <vector>

#include "base/utf.h"
#include "client/call_failure.h"
#include "client/text.h"
#include "runtime/bstr.h"
#include "runtime/com_ptr.h"
#include "runtime/error_info.h"
#include "runtime/safearray.h"
#include "tools/script.h"

namespace plotvane {

namespace {

// Failures the command finds itself carry this source.
constexpr char kOwnSource[] = "plotvane";

// The text of a result code, for failures that come without error
// information (those of the dispatch layer).
const char* DescriptionOf(HRESULT hr) {
  static const struct {
    HRESULT hr;
    const char* text;
  } kTexts[] = {
      {DISP_E_UNKNOWNNAME, "Unknown name."},
      {DISP_E_MEMBERNOTFOUND, "Member not found."},
      {DISP_E_BADPARAMCOUNT, "Invalid number of parameters."},
      {DISP_E_TYPEMISMATCH, "Type mismatch."},
      {DISP_E_OVERFLOW, "Out of present range."},
      {DISP_E_PARAMNOTFOUND, "Parameter not found."},
      {DISP_E_NONAMEDARGS, "Does not support named arguments."},
      {DISP_E_BADVARTYPE, "Bad variable type."},
      {DISP_E_EXCEPTION, "Exception occurred."},
      {E_UNEXPECTED, "Unexpected failure."},
      {E_INVALIDARG, "Invalid argument."},
      {E_OUTOFMEMORY, "Out of memory."},
      {E_NOTIMPL, "Not implemented."},
      {E_POINTER, "Invalid pointer."},
      {E_FAIL, "Unspecified failure."},
      {RPC_E_CALL_CANCELED, "The call was cancelled."},
  };
  for (const auto& t : kTexts) {
    if (t.hr == hr) return t.text;
  }
  return "Unknown failure.";
}

std::string Text(BSTR text) { return Utf16ToUtf8(std::u16string_view(text, SysStringLen(text))); }

// Owns the strings an Invoke call may leave in its EXCEPINFO.
struct ExcepInfo {
  ExcepInfo() : info{} {}
  ExcepInfo(const ExcepInfo&) = delete;
  ExcepInfo& operator=(const ExcepInfo&) = delete;
  ~ExcepInfo() {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
  }
  EXCEPINFO info;
};

// Fills the failure of `out` from what the failed call left: the EXCEPINFO
// for DISP_E_EXCEPTION, otherwise the thread's error information. The
// thread's error information is collected in every case, so that it cannot
// be mistaken for a later step's. A refusal of the dispatch layer leaves
// neither, and the description empty.
void CollectFailure(HRESULT hr, ExcepInfo* excep, StepOutcome* out) {
  out->hr = hr;
  ComPtr<IErrorInfo> error;
  const bool have_error = GetErrorInfo(0, error.ReleaseAndGetAddressOf()) == S_OK && error;
  if (hr == DISP_E_EXCEPTION && excep != nullptr) {
    EXCEPINFO& info = excep->info;
    if (info.pfnDeferredFillIn != nullptr) info.pfnDeferredFillIn(&info);
    if (info.scode != 0) out->hr = info.scode;
    out->description = Text(info.bstrDescription);
    out->source = Text(info.bstrSource);
  } else if (have_error) {
    BStr description, source;
    error->GetDescription(description.ReleaseAndGetAddressOf());
    error->GetSource(source.ReleaseAndGetAddressOf());
    out->description = Text(description.Get());
    out->source = Text(source.Get());
  }
}

// Completes a failure of `step` that came without a description: what the
// interface's description says of it, otherwise the code's own text.
void Describe(IDispatch* object, const ScriptStep& step, const std::vector<VARIANT>& args,
              UINT arg_error, StepOutcome* out) {
  if (!out->description.empty()) return;
  FailedCall call;
  call.hr = out->hr;
  call.name = step.name;
  call.kind = step.kind == StepKind::kPut   ? CallKind::kPut
              : step.kind == StepKind::kGet ? CallKind::kGet
                                            : CallKind::kCall;
  call.args = args.data();
  call.arg_count = args.size();
  call.arg_error = arg_error;
  out->description = ExplainFailedCall(object, call);
  if (out->description.empty()) out->description = DescriptionOf(out->hr);
}

void OwnFailure(HRESULT hr, const std::string& description, StepOutcome* out) {
  out->hr = hr;
  out->description = description;
  out->source = kOwnSource;
  out->value.Clear();
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Writes a byte-array result's bytes, or a text result as UTF-8, to `path`.
void SaveResult(const std::string& path, const std::string& folder, StepOutcome* out) {
  std::string text;
  const bool bytes_result = out->value.vt() == (VT_ARRAY | VT_UI1) && out->value->parray != nullptr;
  if (out->value.vt() == VT_BSTR) {
    text = Text(out->value->bstrVal);
  } else if (!bytes_result) {
    OwnFailure(DISP_E_TYPEMISMATCH, "Type mismatch: \"save\" needs a byte array or text result.",
               out);
    return;
  }
  const std::string file = folder.empty() || path.front() == '/' ? path : folder + "/" + path;
  std::unique_ptr<std::FILE, FileCloser> stream(std::fopen(file.c_str(), "wb"));
  bool ok = stream != nullptr;
  if (bytes_result) {
    SafeArrayAccess bytes(out->value->parray);
    ok = ok && bytes.ok();
    if (ok && bytes.size() > 0) {
      ok = std::fwrite(bytes.data(), 1, bytes.size(), stream.get()) == bytes.size();
    }
  } else if (ok && !text.empty()) {
    ok = std::fwrite(text.data(), 1, text.size(), stream.get()) == text.size();
  }
  if (stream != nullptr) ok = std::fclose(stream.release()) == 0 && ok;
  if (!ok) {
    const int error = errno;
    OwnFailure(E_FAIL, "Cannot write \"" + path + "\": " + std::strerror(error) + ".", out);
    return;
  }
  out->saved = path;
}

WORD FlagsOf(StepKind kind) {
  switch (kind) {
    case StepKind::kPut: return DISPATCH_PROPERTYPUT;
    case StepKind::kGet: return DISPATCH_PROPERTYGET;
    case StepKind::kCall: return DISPATCH_METHOD;
  }
  return DISPATCH_METHOD;
}

void Play(IDispatch* object, const ScriptStep& step, const std::string& folder, StepOutcome* out) {
  SetErrorInfo(0, nullptr);
  std::u16string name = Utf8ToUtf16(step.name);
  LPOLESTR names[] = {name.data()};
  DISPID id = DISPID_UNKNOWN;
  const bool put = step.kind == StepKind::kPut;
  std::vector<Variant> args;
  if (put) {
    args.push_back(ToVariant(step.value));
  } else {
    for (const ScriptValue& arg : step.args) args.push_back(ToVariant(arg));
  }
  // The arguments in the script's order and, for DISPPARAMS, last first; the
  // variants stay owned by `args`, the callee only reads them.
  std::vector<VARIANT> in_order(args.size()), raw(args.size());
  for (size_t i = 0; i < args.size(); ++i) {
    in_order[i] = *args[i].Get();
    raw[args.size() - 1 - i] = *args[i].Get();
  }
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  if (FAILED(hr)) {
    CollectFailure(hr, nullptr, out);
    return Describe(object, step, in_order, 0, out);
  }
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{raw.data(), put ? &named : nullptr, static_cast<UINT>(raw.size()),
                    put ? 1u : 0u};
  ExcepInfo excep;
  UINT arg_error = 0;
  hr = object->Invoke(id, IID_NULL, 0, FlagsOf(step.kind), &params,
                      put ? nullptr : out->value.Get(), &excep.info, &arg_error);
  if (FAILED(hr)) {
    out->value.Clear();
    CollectFailure(hr, &excep, out);
    return Describe(object, step, in_order, arg_error, out);
  }
  if (!step.save.empty()) SaveResult(step.save, folder, out);
}

// ---------------------------------------------------------------------------
// Result JSON
// ---------------------------------------------------------------------------

std::string Number(double d) {
  if (!std::isfinite(d)) return "null";  // JSON has no infinities
  char text[64];
  const auto end = std::to_chars(text, text + sizeof(text), d).ptr;
  return std::string(text, end);
}

std::string Base64(const uint8_t* data, size_t size) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((size + 2) / 3 * 4);
  for (size_t i = 0; i < size; i += 3) {
    const size_t n = std::min<size_t>(3, size - i);
    uint32_t group = static_cast<uint32_t>(data[i]) << 16;
    if (n > 1) group |= static_cast<uint32_t>(data[i + 1]) << 8;
    if (n > 2) group |= data[i + 2];
    for (size_t k = 0; k < 4; ++k) {
      out += k <= n ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
  }
  return out;
}

// The "vt" name and the extra fields of a successful result.
std::string ValueFields(const StepOutcome& outcome) {
  const VARIANT& v = *outcome.value.Get();
  auto with_value = [](const char* vt, const std::string& value) {
    return std::string("\"vt\": \"") + vt + "\", \"value\": " + value;
  };
  switch (v.vt) {
    case VT_EMPTY: return "\"vt\": \"EMPTY\"";
    case VT_NULL: return "\"vt\": \"NULL\"";
    case VT_I2: return with_value("I2", std::to_string(v.iVal));
    case VT_I4: return with_value("I4", std::to_string(v.lVal));
    case VT_UI1: return with_value("UI1", std::to_string(v.bVal));
    case VT_UI2: return with_value("UI2", std::to_string(v.uiVal));
    case VT_UI4: return with_value("UI4", std::to_string(v.ulVal));
    // A single is written as the double that equals it exactly.
    case VT_R4: return with_value("R4", Number(static_cast<double>(v.fltVal)));
    case VT_R8: return with_value("R8", Number(v.dblVal));
    case VT_BOOL: return with_value("BOOL", v.boolVal != 0 ? "true" : "false");
    case VT_BSTR:
      if (!outcome.saved.empty()) return "\"vt\": \"BSTR\", \"saved\": " + JsonQuoted(outcome.saved);
      return with_value("BSTR", JsonQuoted(Text(v.bstrVal)));
    case VT_ARRAY | VT_UI1: {
      LONG lower = 0, upper = -1;
      SafeArrayGetLBound(v.parray, 1, &lower);
      SafeArrayGetUBound(v.parray, 1, &upper);
      std::string fields = "\"vt\": \"ARRAY|UI1\", \"lbound\": " + std::to_string(lower) +
                           ", \"ubound\": " + std::to_string(upper);
      if (!outcome.saved.empty()) return fields + ", \"saved\": " + JsonQuoted(outcome.saved);
      SafeArrayAccess bytes(v.parray);
      return fields + ", \"base64\": \"" + Base64(bytes.data(), bytes.size()) + "\"";
    }
    default: {
      char vt[16];
      std::snprintf(vt, sizeof(vt), "0x%04X", v.vt);
      return std::string("\"vt\": \"") + vt + "\"";
    }
  }
}

}  // namespace

StepOutcome RunStep(IDispatch* object, const ScriptStep& step, size_t index,
                    const std::string& folder) {
  StepOutcome out;
  out.step = index;
  try {
    Play(object, step, folder, &out);
  } catch (const std::bad_alloc&) {
    OwnFailure(E_OUTOFMEMORY, DescriptionOf(E_OUTOFMEMORY), &out);
  }
  return out;
}

std::string ResultJson(const StepOutcome& outcome) {
  std::string json = "{\"step\": " + std::to_string(outcome.step) + ", ";
  if (FAILED(outcome.hr)) {
    char code[16];
    std::snprintf(code, sizeof(code), "0x%08X", static_cast<uint32_t>(outcome.hr));
    json += "\"error\": {\"hresult\": \"" + std::string(code) +
            "\", \"description\": " + JsonQuoted(outcome.description) +
            ", \"source\": " + JsonQuoted(outcome.source) + "}";
  } else {
    json += ValueFields(outcome);
  }
  return json + "}";
}

size_t RunScript(IDispatch* object, const Script& script, std::ostream& out,
                 const std::string& folder, StepGate* gate) {
  size_t failed = 0;
  out << "{\"results\": [";
  for (size_t i = 0; i < script.steps.size(); ++i) {
    const ScriptStep& step = script.steps[i];
    StepOutcome outcome;
    outcome.step = i;
    const StepGate::Verdict verdict =
        gate != nullptr ? gate->Before(step, i, &outcome) : StepGate::Verdict::kPlay;
    if (verdict == StepGate::Verdict::kStop) break;
    if (verdict == StepGate::Verdict::kPlay) outcome = RunStep(object, step, i, folder);
    std::string result = ResultJson(outcome);
    const bool go_on = gate == nullptr || gate->After(step, &outcome, &result);
    out << (i == 0 ? "\n  " : ",\n  ") << result;
    if (FAILED(outcome.hr)) ++failed;
    if (!go_on || (FAILED(outcome.hr) && !script.continue_on_error)) break;
  }
  out << "\n], \"failed\": " << failed << "}\n";
  out.flush();
  return failed;
}

}  // namespace plotvane
