// A Draw object driven the way a client drives it, through IDispatch, for the
// benchmarks: names resolved once, calls made with Invoke.
#ifndef PLOTVANE_BENCH_DRAW_CLIENT_H_
#define PLOTVANE_BENCH_DRAW_CLIENT_H_

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "automation/com/com.h"
#include "automation/draw.h"

namespace plotvane {

class DrawClient {
 public:
  DrawClient() {
    if (CreateDrawObject(nullptr, IID_IDispatch, reinterpret_cast<void**>(&d_)) != S_OK) std::abort();
  }
  ~DrawClient() { d_->Release(); }
  DrawClient(const DrawClient&) = delete;
  DrawClient& operator=(const DrawClient&) = delete;

  DISPID Id(const char16_t* name) {
    std::u16string n(name);
    LPOLESTR names[] = {n.data()};
    DISPID id = DISPID_UNKNOWN;
    if (d_->GetIDsOfNames(IID_NULL, names, 1, 0, &id) != S_OK) std::abort();
    return id;
  }
  // Invokes `id`; `args` in natural order. Aborts on failure: a benchmark
  // that measures failures measures nothing.
  void Invoke(DISPID id, WORD flags, std::vector<Variant> args = {}, VARIANT* result = nullptr) {
    std::vector<VARIANT> raw;
    for (auto it = args.rbegin(); it != args.rend(); ++it) raw.push_back(*it->Get());
    DISPID put = DISPID_PROPERTYPUT;
    const bool is_put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS params{raw.data(), is_put ? &put : nullptr, static_cast<UINT>(raw.size()),
                      is_put ? 1u : 0u};
    if (d_->Invoke(id, IID_NULL, 0, flags, &params, result, nullptr, nullptr) != S_OK) std::abort();
  }
  void Put(const char16_t* name, Variant value) {
    std::vector<Variant> args;
    args.push_back(std::move(value));
    Invoke(Id(name), DISPATCH_PROPERTYPUT, std::move(args));
  }
  void Call(const char16_t* name, std::vector<Variant> args) {
    Invoke(Id(name), DISPATCH_METHOD, std::move(args));
  }

  // `count` items of every kind of data: data items, points of two lines,
  // grouped values in three groups, with automatic colours.
  void AddItems(int count) {
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

  template <typename... T>
  static std::vector<Variant> Values(T&&... values) {
    std::vector<Variant> v;
    (v.push_back(std::forward<T>(values)), ...);
    return v;
  }

 private:
  IDispatch* d_ = nullptr;
};

// The byte-array property of chart kind `kind` (TxGraphType) in format
// `format` (TxImageFormat: PNG, GIF, BMP, JPEG).
inline const char16_t* BytesMemberName(int kind, int format) {
  static const char16_t* kNames[4][4] = {
      {u"PNGPie", u"GIFPie", u"BMPPie", u"JPGPie"},
      {u"PNGBar", u"GIFBar", u"BMPBar", u"JPGBar"},
      {u"PNGLine", u"GIFLine", u"BMPLine", u"JPGLine"},
      {u"PNGStackedBar", u"GIFStackedBar", u"BMPStackedBar", u"JPGStackedBar"}};
  return kNames[kind][format];
}
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
