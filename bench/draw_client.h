// A Draw object driven the way a client drives it, through IDispatch, for the
// benchmarks: names resolved once, calls made with Invoke.
#ifndef PLOTVANE_BENCH_DRAW_CLIENT_H_
#define PLOTVANE_BENCH_DRAW_CLIENT_H_

#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/utf.h"
#include "client/graph_kinds.h"
#include "testing/draw_client.h"

namespace plotvane {

using testing_client::BytesMemberName;
using testing_client::Values;

// The chart kinds of the benchmarks' first argument: 0 pie, 1 vertical bars,
// 2 horizontal bars, 3 line graph, 4 vertical stacked bars, 5 horizontal
// stacked bars. Each is a graph type a client asks for (TxGraphType) with the
// VerticalBars setting, and the number of data values of the chart a page
// shows: six slices or bars, three lines of 20 points, four groups of three.
struct ChartKind {
  const char* name;
  int graph_type;
  bool vertical;
  int page_values;
};
constexpr int kKindCount = 6;
inline const ChartKind& KindOf(int kind) {
  static const ChartKind kKinds[kKindCount] = {
      {"pie", 0, true, 6},   {"vbar", 1, true, 6},      {"hbar", 1, false, 6},
      {"line", 2, true, 60}, {"vstacked", 3, true, 12}, {"hstacked", 3, false, 12}};
  return kKinds[kind];
}

// Aborts on any failure: a benchmark that measures failures measures nothing.
class DrawClient {
 public:
  DrawClient() {
    if (client_.created() != S_OK) std::abort();
  }

  DISPID Id(const char16_t* name) const {
    DISPID id = DISPID_UNKNOWN;
    if (client_.IdOf(name, &id) != S_OK) std::abort();
    return id;
  }
  void Invoke(DISPID id, WORD flags, std::vector<Variant> args = {}, VARIANT* result = nullptr) const {
    if (client_.Invoke(id, flags, std::move(args), result) != S_OK) std::abort();
  }
  void Put(const char16_t* name, Variant value) const {
    if (client_.Put(name, std::move(value)) != S_OK) std::abort();
  }

  // `values` data values of chart kind `kind` (KindOf) and nothing else, as a
  // page adds them, with VerticalBars set for the kind. Pie and bars: one
  // item per value, automatic colours. Line graph: three lines, a third of
  // the points each. Stacked bars: groups x items, as square as `values`
  // divides (no fewer groups than items), each item with its own name and
  // colour in every group.
  void Fill(int kind, int values) const {
    const ChartKind& k = KindOf(kind);
    Put(u"VerticalBars", Variant::Bool(k.vertical));
    if (k.graph_type == 2) {
      const DISPID add_point = Id(u"AddPoint");
      static const char16_t* kColours[] = {u"E02020", u"2040E0", u"20A020"};
      static const char16_t* kNames[] = {u"North", u"South", u"West"};
      for (int line = 0; line < 3; ++line) {
        for (int i = 0; i < values / 3; ++i) {
          const double y = 10 + (i * (7 + 5 * line) + 13 * line) % 40;
          Invoke(add_point, DISPATCH_METHOD,
                 Values(Variant::R8(i + 1), Variant::R8(y), Variant::String(kColours[line]),
                        Variant::String(kNames[line])));
        }
      }
    } else if (k.graph_type == 3) {
      const DISPID add_grouped = Id(u"AddGroupedData");
      static const char16_t* kColours[] = {u"4E79A7", u"F28E2B", u"E15759", u"76B7B2",
                                           u"59A14F", u"EDC948", u"B07AA1", u"FF9DA7"};
      int items = 1;
      for (int d = 1; d * d <= values; ++d) {
        if (values % d == 0) items = d;
      }
      for (int g = 0; g < values / items; ++g) {
        for (int i = 0; i < items; ++i) {
          Invoke(add_grouped, DISPATCH_METHOD,
                 Values(Variant::String(Text("Group ", g + 1)), Variant::String(Text("Item ", i + 1)),
                        Variant::R8(4 + (g * 7 + i * 5) % 11), Variant::String(kColours[i % 8])));
        }
      }
    } else {
      const DISPID add_data = Id(u"AddData");
      for (int i = 0; i < values; ++i) {
        Invoke(add_data, DISPATCH_METHOD,
               Values(Variant::String(Text("Item ", i + 1)), Variant::R8(10 + (i * 37) % 50),
                      Variant::String(u"R")));
      }
    }
  }

  // A page of width x height pixels with the default 400 x 300 layout
  // scaled to it: the pie, the legend's anchor, the axes' origin and lengths.
  void Page(int width, int height) const {
    const auto x = [width](int at400) { return Variant::I4(at400 * width / 400); };
    const auto y = [height](int at300) { return Variant::I4(at300 * height / 300); };
    Put(u"Width", Variant::I4(width));
    Put(u"Height", Variant::I4(height));
    Put(u"CenterX", x(175));
    Put(u"CenterY", y(150));
    Put(u"PieDia", y(200));
    Put(u"LegendX", x(320));
    Put(u"LegendY", y(10));
    Put(u"OriginX", x(50));
    Put(u"OriginY", y(250));
    Put(u"MaxX", x(250));
    Put(u"MaxY", y(200));
  }

  // Reads the byte-array property `member` once; the picture's size in bytes.
  // For a text property (the SVG documents) the size of its UTF-8 file.
  size_t Picture(DISPID member) const {
    Variant picture;
    Invoke(member, DISPATCH_PROPERTYGET, {}, picture.Get());
    if (picture.vt() == VT_BSTR) {
      return Utf16ToUtf8(std::u16string_view(picture->bstrVal, SysStringLen(picture->bstrVal))).size();
    }
    return picture->parray->rgsabound[0].cElements;
  }

 private:
  static std::u16string Text(const char* prefix, int n) {
    const std::string text = prefix + std::to_string(n);
    return std::u16string(text.begin(), text.end());
  }

  testing_client::DrawClient client_;
};

// The graph type names (TxGraphType) of the byte-array properties.
inline const char* KindName(int kind) { return kGraphKinds[kind].name; }
inline const char* FormatName(int format) {
  static const char* kNames[] = {"png", "gif", "bmp", "jpeg"};
  return kNames[format];
}

}  // namespace plotvane

#endif  // PLOTVANE_BENCH_DRAW_CLIENT_H_
