// The Draw object's member reference as the command prints it
// (`plotvane help [MEMBER]`) and as the playground lists it, made from what
// the server's type library says (client/interface_reference.h).
#ifndef PLOTVANE_TOOLS_MEMBER_HELP_H_
#define PLOTVANE_TOOLS_MEMBER_HELP_H_

#include <string>
#include <string_view>

#include "client/interface_reference.h"

namespace plotvane {

// Every member in alphabetical order, each as its signature and, indented
// below it, its help.
std::string MemberListText(const InterfaceReference& reference);

// One member in full: signature, kind and dispatch number, help, the values
// of an enumeration it takes, and the script steps that use it. `name` may
// also be an enumeration's. False when `reference` has neither.
bool MemberHelpText(const InterfaceReference& reference, std::string_view name, std::string* out);

// The members as a JSON array for the playground, in alphabetical order:
// [{"name": "AddData", "kind": "method", "signature": "AddData(Name: BSTR, …)",
//   "help": "…", "step": "{\"call\": \"AddData\", \"args\": [Name, Value, Colour]}"}, …]
std::string MemberListJson(const InterfaceReference& reference);

}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_MEMBER_HELP_H_
