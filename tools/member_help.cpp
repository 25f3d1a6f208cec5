#include "tools/member_help.h"

#include <algorithm>
#include <vector>

#include "base/ascii.h"
#include "base/utf.h"
#include "client/text.h"

namespace plotvane {

namespace {

std::vector<const MemberReference*> Alphabetical(const InterfaceReference& reference) {
  std::vector<const MemberReference*> sorted;
  for (const MemberReference& m : reference.members) sorted.push_back(&m);
  std::sort(sorted.begin(), sorted.end(), [](const MemberReference* a, const MemberReference* b) {
    return CompareIgnoringCase(std::string_view(a->name), std::string_view(b->name)) < 0;
  });
  return sorted;
}

const char* KindOf(const MemberReference& m) {
  if (m.method) return "method";
  if (!m.params.empty()) return "read-only indexed property";
  return m.put ? "read-write property" : "read-only property";
}

// The script steps that use `m`, with its parameters' names standing for
// their values.
std::vector<std::string> Steps(const MemberReference& m) {
  std::string args;
  for (const ParamReference& p : m.params) args += (args.empty() ? "" : ", ") + p.name;
  const std::string quoted = JsonQuoted(m.name);
  const std::string with_args = args.empty() ? "" : ", \"args\": [" + args + "]";
  if (m.method) return {"{\"call\": " + quoted + with_args + "}"};
  std::vector<std::string> steps = {"{\"get\": " + quoted + with_args + "}"};
  if (m.put) steps.push_back("{\"put\": " + quoted + ", \"value\": VALUE}");
  return steps;
}

std::string EnumLine(const EnumReference& e) {
  std::string text = e.name + ":";
  for (size_t i = 0; i < e.values.size(); ++i) {
    text += (i > 0 ? ", " : " ") + e.values[i].first + " = " + std::to_string(e.values[i].second);
  }
  return text;
}

}  // namespace

std::string MemberListText(const InterfaceReference& reference) {
  std::string text = reference.name + ": " + reference.help + ", " +
                     std::to_string(reference.members.size()) +
                     " members. plotvane help MEMBER shows one in full.\n\n";
  for (const MemberReference* m : Alphabetical(reference)) {
    text += Signature(*m) + "\n    " + m->help + "\n";
  }
  return text;
}

bool MemberHelpText(const InterfaceReference& reference, std::string_view name, std::string* out) {
  const std::u16string wanted = Utf8ToUtf16(name);
  for (const EnumReference& e : reference.enumerations) {
    if (EqualIgnoringCase(wanted, e.name)) {
      *out = "enumeration " + EnumLine(e) + "\n";
      return true;
    }
  }
  const MemberReference* m = FindMemberReference(reference, name);
  if (m == nullptr) return false;
  std::string text = Signature(*m) + "\n" + KindOf(*m) + ", dispatch number " +
                     std::to_string(m->dispid) + "\n\n" + m->help + "\n";
  std::vector<std::string> types;
  for (const ParamReference& p : m->params) types.push_back(p.type);
  types.push_back(m->type);
  std::vector<std::string> shown;
  for (const std::string& type : types) {
    const EnumReference* e = FindEnumReference(reference, type);
    if (e == nullptr || std::find(shown.begin(), shown.end(), type) != shown.end()) continue;
    shown.push_back(type);
    text += "\n" + EnumLine(*e) + "\n";
  }
  text += "\nIn a script:\n";
  for (const std::string& step : Steps(*m)) text += "    " + step + "\n";
  *out = text;
  return true;
}

std::string MemberListJson(const InterfaceReference& reference) {
  std::string json = "[";
  for (const MemberReference* m : Alphabetical(reference)) {
    if (json.size() > 1) json += ",\n";
    json += "{\"name\": " + JsonQuoted(m->name) + ", \"kind\": " + JsonQuoted(KindOf(*m)) +
            ", \"signature\": " + JsonQuoted(Signature(*m)) + ", \"help\": " +
            JsonQuoted(m->help) + ", \"step\": " + JsonQuoted(Steps(*m).back()) + "}";
  }
  return json + "]";
}

}  // namespace plotvane
