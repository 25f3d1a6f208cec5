// A Draw object driven the way a client drives it, through IDispatch, for the
// benchmarks: names resolved once, calls made with Invoke.
#ifndef PLOTVANE_BENCH_DRAW_CLIENT_H_
#define PLOTVANE_BENCH_DRAW_CLIENT_H_

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "testing/draw_client.h"

namespace plotvane {

using testing_client::BytesMemberName;
using testing_client::Values;

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

  // `count` items of every kind of data: data items, points of two lines,
  // grouped values in three groups, with automatic colours.
  void AddItems(int count) const {
    const DISPID add_data = Id(u"AddData"), add_point = Id(u"AddPoint");
    const DISPID add_grouped = Id(u"AddGroupedData");
    for (int i = 0; i < count; ++i) {
      const std::string n = "Item " + std::to_string(i + 1);
      const std::u16string name(n.begin(), n.end());
      const double value = 10 + (i * 37) % 50;
      Invoke(add_data, DISPATCH_METHOD, Values(Variant::String(name), Variant::R8(value), Variant::String(u"R")));
      Invoke(add_point, DISPATCH_METHOD,
             Values(Variant::R8(i), Variant::R8(value), Variant::String(i % 2 ? u"FF0000" : u"0000FF"),
                    Variant::String(u"Line")));
      Invoke(add_grouped, DISPATCH_METHOD,
             Values(Variant::String(i % 3 == 0 ? u"A" : i % 3 == 1 ? u"B" : u"C"),
                    Variant::String(name), Variant::R8(value), Variant::String(u"R")));
    }
  }

 private:
  testing_client::DrawClient client_;
};

inline const char* KindName(int kind) {
  static const char* kNames[] = {"pie", "bar", "line", "stacked"};
  return kNames[kind];
}
inline const char* FormatName(int format) {
  static const char* kNames[] = {"png", "gif", "bmp", "jpeg"};
  return kNames[format];
}

}  // namespace plotvane

#endif  // PLOTVANE_BENCH_DRAW_CLIENT_H_
