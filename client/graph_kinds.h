// The chart kinds a client asks the Draw object for, with every name a
// client gives them: the value of TxGraphType (GraphType, Base64Out), the
// short name of the service's queries, the start of a gallery script's name,
// and the suffix of the output members (PNGStackedBar, SaveGIFStackedBar).
#ifndef PLOTVANE_CLIENT_GRAPH_KINDS_H_
#define PLOTVANE_CLIENT_GRAPH_KINDS_H_

#include <cstddef>
#include <cstdint>

namespace plotvane {

struct GraphKind {
  int32_t graph_type;   // TxGraphType
  const char* name;     // kind=stacked
  const char* gallery;  // stackedbar-default.json, before the hyphen
  const char* member;   // PNGStackedBar
};

inline constexpr GraphKind kPieGraph{0, "pie", "pie", "Pie"};
inline constexpr GraphKind kBarGraph{1, "bar", "bar", "Bar"};
inline constexpr GraphKind kLineGraph{2, "line", "line", "Line"};
inline constexpr GraphKind kStackedBarGraph{3, "stacked", "stackedbar", "StackedBar"};

// Every kind, indexed by its TxGraphType value.
inline constexpr GraphKind kGraphKinds[] = {kPieGraph, kBarGraph, kLineGraph, kStackedBarGraph};
constexpr size_t kGraphKindCount = sizeof(kGraphKinds) / sizeof(kGraphKinds[0]);
static_assert(kGraphKinds[0].graph_type == 0 && kGraphKinds[1].graph_type == 1 &&
                  kGraphKinds[2].graph_type == 2 && kGraphKinds[3].graph_type == 3,
              "kGraphKinds is indexed by TxGraphType");

}  // namespace plotvane

#endif  // PLOTVANE_CLIENT_GRAPH_KINDS_H_
