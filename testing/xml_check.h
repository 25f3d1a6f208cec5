// XML documents read back by a parser nobody here wrote (expat, with
// namespaces, so that an undeclared prefix is an error too): whether a
// document is well-formed, and its elements as a tree for assertions.
// Header-only; its users link expat.
#ifndef PLOTVANE_TESTING_XML_CHECK_H_
#define PLOTVANE_TESTING_XML_CHECK_H_

#include <expat.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace plotvane {
namespace testing_xml {

// An element: its name ("URI name" for a namespaced one, as expat reports
// it with a blank separator), attributes in document order, the text
// directly inside it (all of its text pieces, joined) and its children.
struct XmlElement {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::string text;
  std::vector<XmlElement> children;

  // The value of attribute `key`, or null.
  const std::string* Attr(const std::string& key) const {
    for (const auto& [k, v] : attributes) {
      if (k == key) return &v;
    }
    return nullptr;
  }
  // The name without its namespace.
  std::string Local() const { return name.substr(name.rfind(' ') + 1); }
};

namespace detail {

struct Builder {
  XmlElement root;
  std::vector<XmlElement*> open;
};

inline void Start(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto* b = static_cast<Builder*>(data);
  XmlElement e;
  e.name = name;
  // An attribute in a namespace is named "URI name", a plain one by itself.
  for (int i = 0; attributes[i] != nullptr; i += 2) {
    e.attributes.emplace_back(attributes[i], attributes[i + 1]);
  }
  if (b->open.empty()) {
    b->root = std::move(e);
    b->open.push_back(&b->root);
  } else {
    b->open.back()->children.push_back(std::move(e));
    b->open.push_back(&b->open.back()->children.back());
  }
}
inline void End(void* data, const XML_Char*) { static_cast<Builder*>(data)->open.pop_back(); }
inline void Text(void* data, const XML_Char* s, int len) {
  auto* b = static_cast<Builder*>(data);
  if (!b->open.empty()) b->open.back()->text.append(s, static_cast<size_t>(len));
}

// Parses `text`; "" when it is well-formed, otherwise expat's account.
inline std::string Parse(const std::string& text, Builder* builder) {
  std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreateNS("UTF-8", ' '),
                                                                 XML_ParserFree);
  XML_SetUserData(parser.get(), builder);
  XML_SetElementHandler(parser.get(), Start, End);
  XML_SetCharacterDataHandler(parser.get(), Text);
  if (XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE) ==
      XML_STATUS_OK) {
    return "";
  }
  return std::string(XML_ErrorString(XML_GetErrorCode(parser.get()))) + " at line " +
         std::to_string(XML_GetCurrentLineNumber(parser.get())) + ", column " +
         std::to_string(XML_GetCurrentColumnNumber(parser.get()));
}

}  // namespace detail

// "" when `text` is a well-formed XML document, otherwise what is wrong.
inline std::string XmlError(const std::string& text) {
  detail::Builder builder;
  return detail::Parse(text, &builder);
}

// The document's root element. Throws std::runtime_error with the parser's
// account when the document is not well-formed.
inline XmlElement ParseXml(const std::string& text) {
  detail::Builder builder;
  const std::string error = detail::Parse(text, &builder);
  if (!error.empty()) throw std::runtime_error("not well-formed XML: " + error);
  return std::move(builder.root);
}

}  // namespace testing_xml
}  // namespace plotvane

#endif  // PLOTVANE_TESTING_XML_CHECK_H_
