// The store file: the registry tree as UTF-8 text, one line per key and per
// value.
//
//   ; Plotvane registry store
//   [HKEY_CLASSES_ROOT\CLSID\{…}]          a key: its root and path in brackets
//   @="Draw Object"                        its default value
//   "ThreadingModel"="Both"                a named value
//
// Every key has its own header line, in depth-first order with subkeys sorted
// by name as the registry compares them, so that the same tree always gives
// the same file; a root appears only when it holds values. Key names are
// written as they are (they contain no "\", control character or unpaired
// surrogate). Value names and values are quoted; inside the quotes "\\",
// "\"", "\n", "\r" and "\t" stand for themselves and "\uXXXX" for any other
// UTF-16 unit that cannot be written as it is (control characters, unpaired
// surrogates). Lines starting with ";" and empty lines are comments; a line
// may end in CR LF.
#include <string>
#include <string_view>
#include <vector>

#include "base/utf.h"
#include "runtime/registry_tree.h"

namespace plotvane {
namespace detail {
namespace {

void AppendEscapedUnit(char16_t c, std::string* out) {
  static const char kHex[] = "0123456789ABCDEF";
  *out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) *out += kHex[(c >> shift) & 0xF];
}

// Writes `text` as UTF-8, escaping as the layout above says when `quoted`.
void AppendText(std::u16string_view text, bool quoted, std::string* out) {
  if (quoted) *out += '"';
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      AppendUtf8(0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00), out);
      ++i;
    } else if (!quoted) {
      AppendUtf8(c, out);  // key names hold nothing that needs escaping
    } else if (c == u'\\' || c == u'"') {
      *out += '\\';
      *out += static_cast<char>(c);
    } else if (c == u'\n') {
      *out += "\\n";
    } else if (c == u'\r') {
      *out += "\\r";
    } else if (c == u'\t') {
      *out += "\\t";
    } else if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c <= 0xDFFF)) {
      AppendEscapedUnit(c, out);
    } else {
      AppendUtf8(c, out);
    }
  }
  if (quoted) *out += '"';
}

void SerializeKey(const RegKey& key, const std::string& path, bool header, std::string* out) {
  if (header) {
    *out += '[';
    *out += path;
    *out += "]\n";
  }
  for (const auto& [name, value] : key.values) {
    if (name.empty()) {
      *out += '@';
    } else {
      AppendText(name, true, out);
    }
    *out += '=';
    AppendText(value, true, out);
    *out += '\n';
  }
  for (const auto& [name, subkey] : key.subkeys) {
    std::string sub_path = path + '\\';
    AppendText(name, false, &sub_path);
    SerializeKey(*subkey, sub_path, true, out);
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads a quoted text starting at `*at` (on its opening quote) and moves
// `*at` past the closing quote.
bool ReadQuoted(std::string_view line, size_t* at, std::u16string* out) {
  if (*at >= line.size() || line[*at] != '"') return false;
  ++*at;
  while (*at < line.size()) {
    const char c = line[*at];
    if (c == '"') {
      ++*at;
      return true;
    }
    if (c != '\\') {
      uint32_t unit;
      if (!ReadUtf8(line, at, &unit)) return false;
      AppendUtf16(unit, out);
      continue;
    }
    if (*at + 1 >= line.size()) return false;
    const char e = line[*at + 1];
    *at += 2;
    switch (e) {
      case '\\': *out += u'\\'; break;
      case '"': *out += u'"'; break;
      case 'n': *out += u'\n'; break;
      case 'r': *out += u'\r'; break;
      case 't': *out += u'\t'; break;
      case 'u': {
        if (*at + 4 > line.size()) return false;
        uint32_t unit = 0;
        for (int k = 0; k < 4; ++k) {
          const int d = HexDigit(line[*at + k]);
          if (d < 0) return false;
          unit = unit * 16 + static_cast<uint32_t>(d);
        }
        *at += 4;
        *out += static_cast<char16_t>(unit);
        break;
      }
      default:
        return false;
    }
  }
  return false;
}

// Creates the key named by a header's text ("ROOT\A\B") and returns it.
RegKey* ReadHeader(std::string_view path, RegRoots* roots) {
  const size_t cut = path.find('\\');
  const std::string_view root_name = path.substr(0, cut);
  RegKey* key = nullptr;
  for (size_t i = 0; i < kRegistryRootNames.size(); ++i) {
    if (root_name == kRegistryRootNames[i]) key = &(*roots)[i];
  }
  if (key == nullptr) return nullptr;
  if (cut == std::string_view::npos) return key;
  std::u16string names;
  if (!Utf8ToUtf16Strict(path.substr(cut + 1), &names)) return nullptr;
  std::vector<std::u16string> parts;
  if (!SplitKeyPath(names.c_str(), &parts) || parts.empty()) return nullptr;
  // A name cannot hold a zero unit; SplitKeyPath would have stopped there.
  if (names.find(u'\0') != std::u16string::npos) return nullptr;
  for (const auto& name : parts) {
    auto& slot = key->subkeys[name];
    if (slot == nullptr) slot = std::make_unique<RegKey>();
    key = slot.get();
  }
  return key;
}

bool ReadValueLine(std::string_view line, RegKey* key) {
  std::u16string name, value;
  size_t at = 0;
  if (!line.empty() && line[0] == '@') {
    at = 1;
  } else if (!ReadQuoted(line, &at, &name) || name.size() > kMaxRegistryValueName) {
    return false;
  }
  if (at >= line.size() || line[at] != '=') return false;
  ++at;
  if (!ReadQuoted(line, &at, &value) || at != line.size()) return false;
  if (value.size() * sizeof(char16_t) > kMaxRegistryValueBytes) return false;
  key->values[name] = std::move(value);
  return true;
}

}  // namespace

std::string SerializeRegistry(const RegRoots& roots) {
  std::string out = "; Plotvane registry store\n";
  for (size_t i = 0; i < roots.size(); ++i) {
    SerializeKey(roots[i], kRegistryRootNames[i], !roots[i].values.empty(), &out);
  }
  return out;
}

bool ParseRegistry(std::string_view text, RegRoots* roots) {
  RegKey* key = nullptr;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (line.back() != ']' || line.size() < 2) return false;
      key = ReadHeader(line.substr(1, line.size() - 2), roots);
      if (key == nullptr) return false;
    } else if (key == nullptr || !ReadValueLine(line, key)) {
      return false;
    }
  }
  return true;
}

}  // namespace detail
}  // namespace plotvane
