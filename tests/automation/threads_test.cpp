// Draw objects used on several threads at once: each object by one thread at
// a time, many objects drawing in parallel. Every picture, map text and
// failure must be exactly what the same object gives on a single thread.
// Run under ThreadSanitizer with the tsan preset as well.
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "automation/com/com.h"
#include "automation/draw.h"
#include "fuzz/scratch_folder.h"

namespace plotvane {
namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 2;

enum class Delivery { kBytes, kBase64, kHandle, kFile };

// One object's settings and the picture asked of it.
struct Job {
  int32_t kind;        // TxGraphType
  bool vertical;       // VerticalBars
  int32_t format;      // TxImageFormat
  Delivery delivery;
  int32_t variant;     // picks sizes, texts, fonts and date patterns
};

// What one job gives: the picture's bytes (or Base64 text), the map text, or
// the failure's description.
struct Outcome {
  HRESULT hr = S_OK;
  std::string bytes;
  std::u16string map;
  std::u16string error;

  bool operator==(const Outcome& o) const {
    return hr == o.hr && bytes == o.bytes && map == o.map && error == o.error;
  }
};

class Object {
 public:
  Object() { EXPECT_EQ(CreateDrawObject(nullptr, IID_IDispatch, reinterpret_cast<void**>(&d_)), S_OK); }
  ~Object() { d_->Release(); }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  HRESULT Invoke(const char16_t* name, WORD flags, std::vector<Variant> args, VARIANT* result) {
    std::u16string n(name);
    LPOLESTR names[] = {n.data()};
    DISPID id = DISPID_UNKNOWN;
    if (HRESULT hr = d_->GetIDsOfNames(IID_NULL, names, 1, 0, &id); FAILED(hr)) return hr;
    std::vector<VARIANT> raw;
    for (auto it = args.rbegin(); it != args.rend(); ++it) raw.push_back(*it->Get());
    DISPID put = DISPID_PROPERTYPUT;
    const bool is_put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS params{raw.data(), is_put ? &put : nullptr, static_cast<UINT>(raw.size()),
                      is_put ? 1u : 0u};
    return d_->Invoke(id, IID_NULL, 0, flags, &params, result, nullptr, nullptr);
  }
  void Put(const char16_t* name, Variant value) {
    std::vector<Variant> args;
    args.push_back(std::move(value));
    EXPECT_EQ(Invoke(name, DISPATCH_PROPERTYPUT, std::move(args), nullptr), S_OK);
  }
  void Call(const char16_t* name, std::vector<Variant> args) {
    EXPECT_EQ(Invoke(name, DISPATCH_METHOD, std::move(args), nullptr), S_OK);
  }

 private:
  IDispatch* d_ = nullptr;
};

std::vector<Variant> Args3(Variant a, Variant b, Variant c) {
  std::vector<Variant> v;
  v.push_back(std::move(a));
  v.push_back(std::move(b));
  v.push_back(std::move(c));
  return v;
}

// Settings that differ from job to job, so that parallel drawings share as
// little as possible by accident: sizes, texts, fonts, rotated items, date
// and time patterns of both axes.
void Configure(Object& o, const Job& job) {
  static const char16_t* kFaces[] = {u"Arial", u"Liberation Serif", u"Liberation Mono", u"Unknown Face"};
  static const char16_t* kDates[] = {u"yyyy-mm-dd", u"dd/mm/yy", u"mmmm d, yyyy", u"ddd d mmm"};
  static const char16_t* kTimes[] = {u"hh:nn", u"hh:nn:ss", u"h:n am/pm", u"hh"};
  const int v = job.variant;
  o.Put(u"Width", Variant::I4(300 + 20 * v));
  o.Put(u"Height", Variant::I4(200 + 10 * v));
  o.Put(u"PieDia", Variant::I4(120 + 8 * v));
  o.Put(u"VerticalBars", Variant::Bool(job.vertical));
  o.Put(u"Title", Variant::String(u"Chart \u00c5 " + std::u16string(1, u'A' + v)));
  o.Put(u"TitleFont", Variant::String(kFaces[v % 4]));
  o.Put(u"LabelSize", Variant::I4(7 + v % 5));
  o.Put(u"ShowPercent", Variant::Bool(v % 2 == 0));
  o.Put(u"Decimals", Variant::I4(v % 3));
  o.Put(u"Transparent", Variant::Bool(v % 3 == 0));
  o.Put(u"DPI", Variant::I4(v % 2 == 0 ? 0 : 96));
  o.Put(u"JPegQuality", Variant::I4(40 + 10 * v));
  o.Put(u"UseXAxisDates", Variant::Bool(true));
  o.Put(u"UseYAxisDates", Variant::Bool(v % 2 == 1));
  o.Put(u"DateTimeFormat", Variant::I4(v % 3));
  o.Put(u"DateFormatString", Variant::String(kDates[v % 4]));
  o.Put(u"TimeFormatString", Variant::String(kTimes[(v / 2) % 4]));
  for (int i = 0; i < 6; ++i) {
    const std::u16string name = u"Item " + std::u16string(1, u'a' + i);
    o.Call(u"AddData", Args3(Variant::String(name), Variant::R8(3 + (i * 7 + v) % 11),
                             Variant::String(u"R")));
    o.Call(u"AddMapArea", Args3(Variant::String(u"i.html"), Variant::String(name), Variant::String(u"")));
    std::vector<Variant> point;
    point.push_back(Variant::R8(44927.25 + i * (v + 1)));
    point.push_back(Variant::R8(i * 1.5));
    point.push_back(Variant::String(i % 2 ? u"FF0000" : u"0000FF"));
    point.push_back(Variant::String(u"Line"));
    o.Call(u"AddPoint", std::move(point));
    std::vector<Variant> grouped;
    grouped.push_back(Variant::String(i % 2 ? u"Q1" : u"Q2"));
    grouped.push_back(Variant::String(name));
    grouped.push_back(Variant::R8(2 + i + v));
    grouped.push_back(Variant::String(u"R"));
    o.Call(u"AddGroupedData", std::move(grouped));
  }
  std::vector<Variant> text;
  text.push_back(Variant::String(u"Rotated"));
  text.push_back(Variant::I4(40 + v));
  text.push_back(Variant::I4(60));
  text.push_back(Variant::R4(15.0f * static_cast<float>(v)));
  o.Call(u"AddText", std::move(text));
}

std::string ArrayBytes(const VARIANT& v) {
  if (v.vt != (VT_ARRAY | VT_UI1)) return "not a byte array";
  LONG lo = 0, hi = -1;
  SafeArrayGetLBound(v.parray, 1, &lo);
  SafeArrayGetUBound(v.parray, 1, &hi);
  const char* data = static_cast<const char*>(v.parray->pvData);
  return std::string(data, data + (hi - lo + 1));
}

std::u16string ErrorDescription() {
  ComPtr<IErrorInfo> error;
  if (GetErrorInfo(0, error.ReleaseAndGetAddressOf()) != S_OK || !error) return u"";
  BSTR text = nullptr;
  error->GetDescription(&text);
  std::u16string out(text == nullptr ? u"" : text, SysStringLen(text));
  SysFreeString(text);
  return out;
}

const char16_t* BytesMember(int32_t kind, int32_t format) {
  static const char16_t* kNames[4][4] = {
      {u"PNGPie", u"GIFPie", u"BMPPie", u"JPGPie"},
      {u"PNGBar", u"GIFBar", u"BMPBar", u"JPGBar"},
      {u"PNGLine", u"GIFLine", u"BMPLine", u"JPGLine"},
      {u"PNGStackedBar", u"GIFStackedBar", u"BMPStackedBar", u"JPGStackedBar"}};
  return kNames[kind][format];
}

// Plays `job` on a new object; `file` is where a saved picture goes.
Outcome Play(const Job& job, const std::string& file) {
  Object o;
  Configure(o, job);
  Outcome out;
  Variant result;
  std::vector<Variant> args;
  switch (job.delivery) {
    case Delivery::kBytes:
      out.hr = o.Invoke(BytesMember(job.kind, job.format), DISPATCH_PROPERTYGET, {}, result.Get());
      if (out.hr == S_OK) out.bytes = ArrayBytes(*result.Get());
      break;
    case Delivery::kBase64:
      args.push_back(Variant::I4(job.kind));
      args.push_back(Variant::I4(job.format));
      out.hr = o.Invoke(u"Base64Out", DISPATCH_METHOD, std::move(args), result.Get());
      if (out.hr == S_OK) out.bytes = std::string(result->bstrVal, result->bstrVal + SysStringLen(result->bstrVal));
      break;
    case Delivery::kHandle: {
      args.push_back(Variant::I4(job.kind));
      out.hr = o.Invoke(u"BMPHandle", DISPATCH_PROPERTYGET, std::move(args), result.Get());
      if (out.hr != S_OK) break;
      const HBITMAP handle = BitmapHandleFromNumber(result->lVal);
      out.bytes.resize(static_cast<size_t>(std::max(0, GetBitmapFileBytes(handle, 0, nullptr))));
      GetBitmapFileBytes(handle, static_cast<LONG>(out.bytes.size()), out.bytes.data());
      EXPECT_EQ(DeleteObject(handle), TRUE);
      break;
    }
    case Delivery::kFile: {
      static const char16_t* kSave[] = {u"SavePNGPie", u"SaveGIFBar", u"SaveBMPLine", u"SaveJPGStackedBar"};
      const std::u16string path(file.begin(), file.end());
      args.push_back(Variant::String(path));
      out.hr = o.Invoke(kSave[job.kind], DISPATCH_METHOD, std::move(args), nullptr);
      std::ifstream in(file, std::ios::binary);
      out.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      unlink(file.c_str());
      break;
    }
  }
  if (out.hr != S_OK) out.error = ErrorDescription();
  Variant map;
  EXPECT_EQ(o.Invoke(u"ImageMapText", DISPATCH_PROPERTYGET, {}, map.Get()), S_OK);
  out.map.assign(map->bstrVal == nullptr ? u"" : map->bstrVal, SysStringLen(map->bstrVal));
  return out;
}

std::vector<Job> AllJobs() {
  std::vector<Job> jobs;
  int variant = 0;
  for (int32_t kind = 0; kind < 4; ++kind) {
    for (bool vertical : {true, false}) {
      if (!vertical && (kind == 0 || kind == 2)) continue;  // no horizontal pies or lines
      for (int32_t format = 0; format < 4; ++format) {
        jobs.push_back(Job{kind, vertical, format, Delivery::kBytes, variant++ % 8});
      }
      jobs.push_back(Job{kind, vertical, (kind + 1) % 4, Delivery::kBase64, variant++ % 8});
      jobs.push_back(Job{kind, vertical, 2, Delivery::kHandle, variant++ % 8});
      jobs.push_back(Job{kind, vertical, kind, Delivery::kFile, variant++ % 8});
    }
  }
  // A kind that does not exist fails on every thread with its own message.
  jobs.push_back(Job{9, true, 0, Delivery::kBase64, 3});
  return jobs;
}

TEST(ThreadsTest, ObjectsDrawingInParallelGiveTheSingleThreadedBytes) {
  fuzz::ScratchFolder folder("plotvane-threads");
  const std::vector<Job> jobs = AllJobs();
  std::vector<Outcome> expected;
  for (size_t i = 0; i < jobs.size(); ++i) {
    expected.push_back(Play(jobs[i], folder.path() + "/single-" + std::to_string(i)));
    ASSERT_TRUE(jobs[i].kind > 3 || expected.back().hr == S_OK) << "job " << i;
  }
  for (size_t i = 0; i < 7; ++i) {
    ASSERT_EQ(jobs[i].kind, 0);
    ASSERT_FALSE(expected[i].bytes.empty()) << "pie job " << i;
  }
  ASSERT_EQ(expected.back().error, u"Invalid graph type.");

  // Every thread plays every job, each starting at a different one, so that
  // at any moment different kinds and formats are being drawn.
  std::atomic<int> mismatches{0};
  std::vector<std::string> first_mismatch(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        for (size_t k = 0; k < jobs.size(); ++k) {
          const size_t i = (k + static_cast<size_t>(t) * jobs.size() / kThreads) % jobs.size();
          const std::string file = folder.path() + "/t" + std::to_string(t) + "-" + std::to_string(i);
          if (Play(jobs[i], file) == expected[i]) continue;
          if (mismatches++ == 0 || first_mismatch[static_cast<size_t>(t)].empty()) {
            first_mismatch[static_cast<size_t>(t)] = "job " + std::to_string(i);
          }
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(mismatches.load(), 0);
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_TRUE(first_mismatch[static_cast<size_t>(t)].empty())
        << "thread " << t << ": " << first_mismatch[static_cast<size_t>(t)];
  }
}

}  // namespace
}  // namespace plotvane
