// Call streams that once broke the component, played again, and the faults
// they found, each pinned down by a direct case. Every file in
// tests/data/fuzz is a stream kept by the fuzzer, named for its fault; the
// player checks the component's promises after every call (call_stream.h).
#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "automation/draw.h"
#include "runtime/com.h"
#include "testing/call_stream.h"
#include "testing/draw_client.h"
#include "testing/scratch_folder.h"

namespace plotvane {
namespace {

const std::string kReproducers = std::string(PLOTVANE_TEST_DATA) + "/fuzz";

std::vector<std::string> ReproducerNames() {
  std::vector<std::string> names;
  if (DIR* dir = opendir(kReproducers.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bin") == 0) names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class FuzzReproducerTest : public testing::TestWithParam<std::string> {};

TEST_P(FuzzReproducerTest, PlaysWithoutBreakingAPromise) {
  std::ifstream in(kReproducers + "/" + GetParam(), std::ios::binary);
  ASSERT_TRUE(in) << GetParam();
  const std::vector<uint8_t> stream((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ScratchFolder folder("plotvane-fuzz-test");
  std::ostringstream trace;
  fuzz::CallPlayer player(folder.path(), &trace);
  const std::vector<std::string> failures = player.Play(stream.data(), stream.size());
  EXPECT_TRUE(failures.empty()) << failures.front() << "\ncalls:\n" << trace.str();
}

// The test's name is the file's, without ".bin" and with "_" for "-".
std::string TestName(const testing::TestParamInfo<std::string>& file) {
  std::string name = file.param.substr(0, file.param.size() - 4);
  std::replace_if(name.begin(), name.end(),
                  [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Reproducers, FuzzReproducerTest, testing::ValuesIn(ReproducerNames()),
                         TestName);

using testing_client::Values;
// An object reached through IDispatch only, as a client holds it.
using Object = testing_client::DrawClient;

TEST(FuzzFindingsTest, ArgumentCountsWithoutTheirArraysAreRefused) {
  Object o;
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = 500;
  DISPID put = DISPID_PROPERTYPUT;
  const struct {
    const char* what;
    DISPPARAMS params;
  } cases[] = {
      {"named count, no names", {&value, nullptr, 1, 1}},
      {"two named, no names", {&value, nullptr, 1, 2}},
      {"arguments, no array", {nullptr, &put, 1, 1}},
  };
  for (const auto& c : cases) {
    DISPPARAMS params = c.params;
    EXPECT_EQ(o->Invoke(3 /* Width */, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                        nullptr),
              E_INVALIDARG)
        << c.what;
  }
  // Nothing was written.
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  Variant width;
  ASSERT_EQ(o->Invoke(3, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, width.Get(), nullptr, nullptr), S_OK);
  EXPECT_EQ(width->lVal, 400);
}

// Font sizes anywhere in the integer range: sizes whose pixel height does not
// fit read back as the platform's overflow result, the one height that cannot
// be negated is kept positive, and every text of every chart is still placed
// (labels beside and under the pie, legend, title, captions, free text).
TEST(FuzzFindingsTest, ChartsDrawWithFontsOfAnySize) {
  const struct {
    int32_t points;
    int32_t reads_back;
  } sizes[] = {
      {1610612736, -1},            // 2^31 pixels: beyond an int
      {-1610612736, -1610612735},  // -2^31 pixels: kept as 2^31 - 1
      {-1600000000, -1600000000},
      {1600000000, 1600000000},
      {INT32_MIN, -1},
      {INT32_MAX, -1},
  };
  const char16_t* fonts[] = {u"LabelSize", u"LegendTextSize", u"TitleSize", u"AxisTextSize",
                             u"TextSize"};
  for (const auto& size : sizes) {
    for (const char16_t* font : fonts) {
      Object o;
      const std::string what = std::to_string(size.points) + " for " + std::string(font, font + std::char_traits<char16_t>::length(font));
      ASSERT_EQ(o.Put(font, Variant::I4(size.points)), S_OK) << what;
      Variant read;
      ASSERT_EQ(o.Invoke(font, DISPATCH_PROPERTYGET, {}, read.Get()), S_OK) << what;
      EXPECT_EQ(read->lVal, size.reads_back) << what;
      o.Put(u"Title", Variant::String(u"Title"));
      o.Put(u"XAxisText", Variant::String(u"Across"));
      o.Put(u"YAxisText", Variant::String(u"Up"));
      o.Put(u"VerticalBars", Variant::Bool(false));
      o.Put(u"CenterX", Variant::I4(0));
      o.Put(u"Offset", Variant::I4(65535));
      for (const char16_t* name : {u"Left", u"Right", u"Up", u"Down"}) {
        o.Call(u"AddData", Values(Variant::String(name), Variant::R8(1), Variant::String(u"R")));
        o.Call(u"AddMapArea", Values(Variant::String(u"u"), Variant::String(name), Variant::String(u"")));
      }
      o.Call(u"AddText", Values(Variant::String(u"Free"), Variant::I4(5), Variant::I4(5), Variant::R4(30)));
      for (const char16_t* picture : {u"PNGPie", u"GIFBar"}) {
        Variant bytes;
        EXPECT_EQ(o.Invoke(picture, DISPATCH_PROPERTYGET, {}, bytes.Get()), S_OK) << what;
      }
    }
  }
}

// A pie far larger than the picture: repairing the seam of a one-slice pie
// walked the box between the seam and the centre, some 23000 x 23000 pixels
// for a diameter of 65535, nearly all of them off the picture. It walks only
// the picture's pixels now, so the drawing costs what the picture has.
TEST(FuzzFindingsTest, ASeamFarBeyondThePictureCostsOnlyThePicturesPixels) {
  Object o;
  o.Put(u"PieDia", Variant::I4(65535));
  o.Put(u"StartAngle", Variant::R8(118.5));  // the seam at 45 degrees
  o.Call(u"AddData", Values(Variant::String(u"Apples"), Variant::R8(12), Variant::String(u"FF0000")));
  const auto start = std::chrono::steady_clock::now();
  Variant bytes;
  ASSERT_EQ(o.Invoke(u"GIFPie", DISPATCH_PROPERTYGET, {}, bytes.Get()), S_OK);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  // The walk over the whole box took over a second under the sanitizers.
  EXPECT_LT(took.count(), 0.5);
}

// The side caption is placed left of the furthest text left of the plot. The
// total of a bar reaching far left of the axis stands at the end of the
// integer range, and the caption's column is then worked out without
// overflowing.
TEST(FuzzFindingsTest, ACaptionBesideATotalAtTheIntegerEndIsPlaced) {
  Object o;
  o.Put(u"VerticalBars", Variant::Bool(false));
  o.Put(u"ShowBarTotal", Variant::Bool(true));
  o.Put(u"XAxisText", Variant::String(u"Across"));
  o.Call(u"AddData", Values(Variant::String(u"Far"), Variant::R8(-488447488), Variant::String(u"R")));
  o.Call(u"AddData", Values(Variant::String(u"Near"), Variant::R8(3), Variant::String(u"R")));
  Variant bytes;
  EXPECT_EQ(o.Invoke(u"PNGBar", DISPATCH_PROPERTYGET, {}, bytes.Get()), S_OK);
}

}  // namespace
}  // namespace plotvane
