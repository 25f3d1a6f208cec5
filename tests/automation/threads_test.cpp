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

#include "testing/scratch_folder.h"
#include "testing/draw_client.h"

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

using testing_client::ArrayBytes;
using testing_client::BytesMemberName;
using testing_client::DrawClient;
using testing_client::ErrorDescription;
using testing_client::Values;

// Settings that differ from job to job, so that parallel drawings share as
// little as possible by accident: sizes, texts, fonts, rotated items, date
// and time patterns of both axes.
void Configure(const DrawClient& o, const Job& job) {
  const auto put = [&o](const char16_t* name, Variant value) {
    EXPECT_EQ(o.Put(name, std::move(value)), S_OK);
  };
  const auto call = [&o](const char16_t* name, std::vector<Variant> args) {
    EXPECT_EQ(o.Call(name, std::move(args)), S_OK);
  };
  static const char16_t* kFaces[] = {u"Arial", u"Liberation Serif", u"Liberation Mono", u"Unknown Face"};
  static const char16_t* kDates[] = {u"yyyy-mm-dd", u"dd/mm/yy", u"mmmm d, yyyy", u"ddd d mmm"};
  static const char16_t* kTimes[] = {u"hh:nn", u"hh:nn:ss", u"h:n am/pm", u"hh"};
  const int v = job.variant;
  put(u"Width", Variant::I4(300 + 20 * v));
  put(u"Height", Variant::I4(200 + 10 * v));
  put(u"PieDia", Variant::I4(120 + 8 * v));
  put(u"VerticalBars", Variant::Bool(job.vertical));
  // Titles and turned texts with code points the fonts lack, drawn by a
  // fallback face.
  put(u"Title", Variant::String(u"Chart \u00c5 \u56fe\ud45c " + std::u16string(1, u'A' + v)));
  put(u"TitleFont", Variant::String(kFaces[v % 4]));
  put(u"LabelSize", Variant::I4(7 + v % 5));
  put(u"ShowPercent", Variant::Bool(v % 2 == 0));
  put(u"Decimals", Variant::I4(v % 3));
  put(u"Transparent", Variant::Bool(v % 3 == 0));
  put(u"DPI", Variant::I4(v % 2 == 0 ? 0 : 96));
  put(u"JPegQuality", Variant::I4(40 + 10 * v));
  put(u"UseXAxisDates", Variant::Bool(true));
  put(u"UseYAxisDates", Variant::Bool(v % 2 == 1));
  put(u"DateTimeFormat", Variant::I4(v % 3));
  put(u"DateFormatString", Variant::String(kDates[v % 4]));
  put(u"TimeFormatString", Variant::String(kTimes[(v / 2) % 4]));
  // Bar options: a negative axis part with negative values, an offset, grid
  // styles, upward labels and totals, user labels, given widths and gaps,
  // legend anchors.
  put(u"YAxisNegative", Variant::I4(v % 4 == 1 ? 60 : 0));
  put(u"YOffset", Variant::R8(v == 5 ? 2 : 0));
  put(u"ShowGrid", Variant::Bool(v % 2 == 0));
  put(u"GridStyle", Variant::I4(v % 3));
  put(u"ShowBarTotal", Variant::Bool(true));
  put(u"LabelVertical", Variant::Bool(v % 3 == 1));
  put(u"BarTotalVertical", Variant::Bool(v % 4 == 2));
  put(u"UseYAxisLabels", Variant::Bool(v == 6));
  call(u"AddYValue", Values(Variant::R8(0), Variant::String(u"zero")));
  put(u"BarWidth", Variant::I4(v == 7 ? 12 : 0));
  put(u"BarGap", Variant::I4(v == 7 ? 9 : 0));
  put(u"LegendAlign", Variant::I4(v % 9));
  // Lines over bars and stacked bars, and the trend line, on half the variants.
  put(u"ShowLinesWithBars", Variant::Bool(v % 2 == 1));
  put(u"ShowTrendLine", Variant::Bool(v % 3 != 2));
  put(u"TrendLineName", Variant::String(v % 2 ? u"Trend" : u""));
  put(u"ShowStackedValue", Variant::Bool(true));
  put(u"StackedTextAlign", Variant::I4(v % 6));
  put(u"StackedTextTransparent", Variant::Bool(v % 2 == 0));
  for (int i = 0; i < 6; ++i) {
    const std::u16string name = u"Item " + std::u16string(1, u'a' + i);
    const double sign = v % 4 == 1 && i % 3 == 1 ? -1 : 1;
    call(u"AddData", Values(Variant::String(name), Variant::R8(sign * (3 + (i * 7 + v) % 11)),
                             Variant::String(u"R")));
    call(u"AddMapArea", Values(Variant::String(u"i.html"), Variant::String(name), Variant::String(u"")));
    call(u"AddPoint", Values(Variant::R8(44927.25 + i * (v + 1)), Variant::R8(i * 1.5),
                             Variant::String(i % 2 ? u"FF0000" : u"0000FF"), Variant::String(u"Line")));
    call(u"AddGroupedData", Values(Variant::String(i % 2 ? u"Q1" : u"Q2"), Variant::String(name),
                                   Variant::R8(2 + i + v), Variant::String(u"R")));
  }
  call(u"AddText", Values(Variant::String(u"Rotated \u65cb\ud68c"), Variant::I4(40 + v),
                          Variant::I4(60), Variant::R4(15.0f * static_cast<float>(v))));
  // Line graphs: an X axis of days numbered in the job's date pattern, one
  // to three days a step, with markers and framed texts on it.
  put(u"XOffset", Variant::R8(44926));
  put(u"XTop", Variant::R8(44927.25 + 5 * (v + 1)));
  put(u"XGrad", Variant::R8(1 + v % 3));
  put(u"PointStyle", Variant::I4(v % 9));
  put(u"ShowGrid", Variant::Bool(v % 2 == 0));
  put(u"LineGraphTextBorder", Variant::Bool(true));
  put(u"LineGraphTextLeader", Variant::Bool(true));
  put(u"LineGraphTextAlign", Variant::I4(v));
  put(u"LineGraphTextY", Variant::I4(12));
  call(u"AddMarker", Values(Variant::R8(44928 + v), Variant::R8(3), Variant::I4(1 + v % 8),
                            Variant::I4(3), Variant::String(u"00A000")));
  call(u"AddLineGraphText", Values(Variant::String(u"Day \u00e9"), Variant::R8(44929), Variant::R8(4.5),
                                   Variant::R4(v % 2 == 0 ? 0.0f : 90.0f)));
}

// Plays `job` on a new object; `file` is where a saved picture goes.
Outcome Play(const Job& job, const std::string& file) {
  DrawClient o;
  Configure(o, job);
  Outcome out;
  Variant result;
  std::vector<Variant> args;
  switch (job.delivery) {
    case Delivery::kBytes:
      out.hr = o.Invoke(BytesMemberName(job.kind, job.format), DISPATCH_PROPERTYGET, {}, result.Get());
      if (out.hr == S_OK) {
        const std::vector<uint8_t> bytes = ArrayBytes(*result.Get());
        out.bytes.assign(bytes.begin(), bytes.end());
      }
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
  ScratchFolder folder("plotvane-threads");
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
  for (size_t i = 0; i < jobs.size(); ++i) {
    if (jobs[i].kind == 2 && jobs[i].delivery == Delivery::kBytes) {
      ASSERT_GT(expected[i].bytes.size(), 500u) << "line job " << i;  // a drawn graph
    }
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
