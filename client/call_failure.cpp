#include "client/call_failure.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "base/ascii.h"
#include "base/utf.h"
#include "client/interface_reference.h"
#include "client/text.h"
#include "client/type_reader.h"
#include "runtime/bstr.h"
#include "runtime/com_ptr.h"

namespace plotvane {

namespace {

// Names and values echoed back are cut here, so that a hostile megabyte does
// not come back in the answer; no member's name is half as long.
constexpr size_t kEchoUnits = 64;

std::u16string Cut(std::u16string text) {
  if (text.size() > kEchoUnits) {
    text.resize(kEchoUnits);
    // Never leave half a surrogate pair behind.
    if (text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();
    text += u"\u2026";
  }
  return text;
}

std::string Quoted(std::string_view utf8) { return JsonQuoted(Utf16ToUtf8(Cut(Utf8ToUtf16(utf8)))); }

// The distance between `a` and `b` ignoring ASCII case: insertions,
// deletions, substitutions and swaps of neighbours count one each.
size_t Distance(std::u16string_view a, std::u16string_view b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const bool same = AsciiUpper(a[i - 1]) == AsciiUpper(b[j - 1]);
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && AsciiUpper(a[i - 1]) == AsciiUpper(b[j - 2]) &&
          AsciiUpper(a[i - 2]) == AsciiUpper(b[j - 1])) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// The member whose name is nearest to `name`, when it is near enough to be
// what was meant: about one slip per three letters, at most three.
const MemberReference* Nearest(const InterfaceReference& reference, std::string_view name) {
  const std::u16string wanted = Utf8ToUtf16(name);
  if (wanted.empty() || wanted.size() > kEchoUnits) return nullptr;
  const MemberReference* best = nullptr;
  size_t best_distance = 0;
  for (const MemberReference& m : reference.members) {
    const std::u16string candidate = Utf8ToUtf16(m.name);
    const size_t limit = std::min<size_t>(3, std::max<size_t>(1, candidate.size() / 3));
    const size_t distance = Distance(wanted, candidate);
    if (distance <= limit && (best == nullptr || distance < best_distance)) {
      best = &m;
      best_distance = distance;
    }
  }
  return best;
}

std::string UnknownName(const InterfaceReference& reference, std::string_view name) {
  std::string text = "Unknown name " + Quoted(name);
  if (const MemberReference* m = Nearest(reference, name)) text += "; did you mean \"" + m->name + "\"?";
  return text;
}

// What a value of `type` must be, for a caller who gave something else.
std::string Expected(const InterfaceReference& reference, const std::string& type) {
  if (type == "long") return "a whole number from -2147483648 to 2147483647 (long)";
  if (type == "unsigned short") return "a whole number from 0 to 65535 (unsigned short)";
  if (type == "double") return "a number (double)";
  if (type == "float") return "a number within \u00b13.4E38 (float)";
  if (type == "VARIANT_BOOL") return "true or false (VARIANT_BOOL)";
  if (type == "BSTR") return "a string (BSTR)";
  if (type == "OLE_COLOR") return "a colour number from 0 to 4294967295 (OLE_COLOR)";
  if (const EnumReference* e = FindEnumReference(reference, type)) {
    std::string text = "a " + type + " number (";
    for (size_t i = 0; i < e->values.size(); ++i) {
      text += (i > 0 ? ", " : "") + e->values[i].first + " = " + std::to_string(e->values[i].second);
    }
    return text + ")";
  }
  return "a " + type;
}

// The value a caller gave, as a script would write it.
std::string Given(const VARIANT& v) {
  switch (v.vt) {
    case VT_EMPTY: return "null";
    case VT_NULL: return "null";
    case VT_BOOL: return v.boolVal != 0 ? "true" : "false";
    case VT_I2: return std::to_string(v.iVal);
    case VT_I4: return std::to_string(v.lVal);
    case VT_UI2: return std::to_string(v.uiVal);
    case VT_UI4: return std::to_string(v.ulVal);
    case VT_R4:
    case VT_R8: {
      const double d = v.vt == VT_R4 ? static_cast<double>(v.fltVal) : v.dblVal;
      if (std::isnan(d)) return "NaN";
      if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
      char text[32];
      return std::string(text, std::to_chars(text, text + sizeof(text), d).ptr);
    }
    case VT_BSTR:
      return JsonQuoted(Utf16ToUtf8(Cut(std::u16string(v.bstrVal == nullptr ? u"" : v.bstrVal,
                                                       SysStringLen(v.bstrVal)))));
    default: return "a value of variant type " + std::to_string(v.vt);
  }
}

std::string WrongCount(const MemberReference& m, const FailedCall& call) {
  const std::string given = ": " + std::to_string(call.arg_count) + " given";
  if (call.kind == CallKind::kPut) return m.name + " takes one value" + given;
  if (m.params.empty()) return m.name + " takes no arguments" + given;
  return m.name + " takes " + ParamNames(m) + given;
}

std::string WrongArgument(const InterfaceReference& reference, const MemberReference& m,
                          const FailedCall& call) {
  if (call.args == nullptr || call.arg_error >= call.arg_count) return "";
  const size_t index = call.arg_count - 1 - call.arg_error;  // in the caller's order
  const std::string given = ", not " + Given(call.args[index]);
  if (call.kind == CallKind::kPut && index + 1 == call.arg_count) {
    return m.name + " takes " + Expected(reference, m.type) + given;
  }
  if (index >= m.params.size()) return "";
  const ParamReference& p = m.params[index];
  return m.name + ": " + p.name + " (argument " + std::to_string(index + 1) + ") takes " +
         Expected(reference, p.type) + given;
}

std::string WrongUse(const MemberReference& m, const FailedCall& call) {
  switch (call.kind) {
    case CallKind::kPut:
      if (m.method) return m.name + " is a method, not a property";
      return m.get && !m.put ? m.name + " is a read-only property" : "";
    case CallKind::kGet:
      return m.method ? m.name + " is a method, not a property" : "";
    case CallKind::kCall:
      return m.method ? "" : m.name + " is a property, not a method";
  }
  return "";
}

}  // namespace

std::string ExplainFailedCall(IDispatch* object, const FailedCall& call) {
  if (call.hr != DISP_E_UNKNOWNNAME && call.hr != DISP_E_BADPARAMCOUNT &&
      call.hr != DISP_E_TYPEMISMATCH && call.hr != DISP_E_OVERFLOW &&
      call.hr != DISP_E_MEMBERNOTFOUND) {
    return "";
  }
  InterfaceReference reference;
  try {
    ComPtr<ITypeInfo> info;
    if (object == nullptr || FAILED(object->GetTypeInfo(0, 0, info.ReleaseAndGetAddressOf())) ||
        !info) {
      return "";
    }
    reference = ReadInterfaceReference(info.Get(), /*with_help=*/false);
  } catch (const TypeReadFailure&) {
    return "";
  }
  if (call.hr == DISP_E_UNKNOWNNAME) return UnknownName(reference, call.name);
  const MemberReference* m = FindMemberReference(reference, call.name);
  if (m == nullptr) return "";
  switch (call.hr) {
    case DISP_E_BADPARAMCOUNT: return WrongCount(*m, call);
    case DISP_E_MEMBERNOTFOUND: return WrongUse(*m, call);
    default: return WrongArgument(reference, *m, call);
  }
}

}  // namespace plotvane
