// The Draw object as a scripting client sees it: every call goes through
// GetIDsOfNames and Invoke with VARIANT arguments.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "automation/draw.h"
#include "automation/members.h"
#include "automation/server.h"
#include "base/ascii.h"
#include "base/utf.h"
#include "imaging/base64.h"
#include "runtime/bitmap_handles.h"
#include "runtime/com.h"
#include "testing/draw_client.h"
#include "testing/scratch_folder.h"

namespace plotvane {
namespace {

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

struct Outcome {
  HRESULT hr = S_OK;
  Variant value;
  std::u16string description, source;
  GUID guid{};
};

class Client {
 public:
  Client() { EXPECT_EQ(object_.created(), S_OK); }

  Outcome Get(const char16_t* name, std::vector<Variant> args = {}) {
    return Invoke(name, DISPATCH_PROPERTYGET, std::move(args), nullptr);
  }
  Outcome Call(const char16_t* name, std::vector<Variant> args = {}) {
    return Invoke(name, DISPATCH_METHOD, std::move(args), nullptr);
  }
  Outcome Put(const char16_t* name, Variant value) {
    std::vector<Variant> args;
    args.push_back(std::move(value));
    return Invoke(name, DISPATCH_PROPERTYPUT, std::move(args), nullptr);
  }
  // The value of a property as text, integer or real, for compact checks.
  std::u16string Text(const char16_t* name) {
    Outcome o = Get(name);
    EXPECT_EQ(o.hr, S_OK) << Narrow(name);
    Variant text;
    EXPECT_EQ(VariantChangeType(text.Get(), o.value.Get(), 0, VT_BSTR), S_OK) << Narrow(name);
    return text->bstrVal == nullptr ? u"" : std::u16string(text->bstrVal);
  }
  std::vector<uint8_t> Bytes(const char16_t* name, LONG* lbound = nullptr, LONG* ubound = nullptr) {
    Outcome o = Get(name);
    EXPECT_EQ(o.hr, S_OK) << Narrow(name) << " " << Narrow(o.description);
    if (o.hr != S_OK) return {};
    EXPECT_EQ(o.value.vt(), VT_ARRAY | VT_UI1);
    return testing_client::ArrayBytes(*o.value.Get(), lbound, ubound);
  }
  Outcome Invoke(const char16_t* name, WORD flags, std::vector<Variant> args, EXCEPINFO* excep) {
    Outcome out;
    out.hr = object_.Invoke(name, flags, std::move(args), out.value.Get(), excep);
    ComPtr<IErrorInfo> error;
    if (GetErrorInfo(0, error.ReleaseAndGetAddressOf()) == S_OK) {
      BSTR text = nullptr;
      error->GetDescription(&text);
      out.description = text ? text : u"";
      SysFreeString(text);
      error->GetSource(&text);
      out.source = text ? text : u"";
      SysFreeString(text);
      error->GetGUID(&out.guid);
    }
    return out;
  }
  IDispatch* dispatch() { return object_.dispatch(); }

 private:
  testing_client::DrawClient object_;
};

TEST(DrawTest, NewObjectReadsTheDefaultsThroughInvoke) {
  Client c;
  const struct {
    const char16_t* name;
    const char16_t* expected;
  } cases[] = {
      {u"Width", u"400"}, {u"Height", u"300"}, {u"CenterX", u"175"}, {u"CenterY", u"150"},
      {u"PieDia", u"200"}, {u"Offset", u"10"}, {u"LegendX", u"320"}, {u"LegendY", u"10"},
      {u"Square", u"8"}, {u"Padding", u"5"}, {u"OriginX", u"50"}, {u"OriginY", u"250"},
      {u"MaxX", u"250"}, {u"MaxY", u"200"}, {u"XMarkSize", u"4"}, {u"PointSize", u"2"},
      {u"LineWidth", u"1"}, {u"TrendLineWidth", u"1"}, {u"JPegQuality", u"100"}, {u"DPI", u"0"},
      {u"RNDColor", u"0"}, {u"Decimals", u"0"}, {u"BGColor", u"FFFFFF"},
      {u"LineGraphTextBGColor", u"FFFFFF"}, {u"TransColor", u"FFFFFF"}, {u"GraphPen", u"000000"},
      {u"TitleColor", u"000000"}, {u"LabelFont", u"Arial"}, {u"StackedTextSize", u"8"},
      {u"TitleBold", u"True"}, {u"LabelBold", u"False"}, {u"ShowLabel", u"True"},
      {u"VerticalBars", u"True"}, {u"UseLZW", u"True"}, {u"ShowTotalifZero", u"True"},
      {u"Transparent", u"False"}, {u"GridStyle", u"1"}, {u"PointStyle", u"0"},
      {u"LegendAlign", u"0"}, {u"StackedTextAlign", u"0"}, {u"DateTimeFormat", u"0"},
      {u"ImageMapText", u""}, {u"Title", u""}, {u"DataCount", u"0"},
      {u"Version", u"Plotvane 3.1.1.0 (64 bit)"},
  };
  for (const auto& k : cases) EXPECT_EQ(c.Text(k.name), k.expected) << Narrow(k.name);
  EXPECT_EQ(c.Get(u"Width").value.vt(), VT_I4);
  EXPECT_EQ(c.Get(u"ShowLabel").value->boolVal, VARIANT_TRUE);
  EXPECT_EQ(Members().size(), 212u);
}

// Every member explains itself in one sentence, and the default it states is
// what a new object reads back: a string in quotes, an enumeration by its
// constant's name. Read-write properties all have one; methods, pictures and
// texts made on reading none.
TEST(DrawTest, EveryMemberHasItsLineAndTheDefaultOfANewObject) {
  Client c;
  for (const TMember& m : Members()) {
    SCOPED_TRACE(m.name);
    const std::string help = m.help;
    ASSERT_GT(help.size(), 10u);
    EXPECT_TRUE(help[0] >= 'A' && help[0] <= 'Z') << help;
    EXPECT_EQ(help.back(), '.');
    EXPECT_EQ(help.find_first_of("\n\r\t"), std::string::npos);
    EXPECT_LE(help.size(), 160u) << "one line";
    std::string want = m.default_text;
    EXPECT_EQ(want.empty(), m.kind == TMemberKind::kMethod || m.param_count > 0 ||
                                m.type == TArgType::kVariant || m.name == std::string("Version") ||
                                m.name == std::string("CreateGUID") ||
                                std::string(m.name).rfind("SVG", 0) == 0);
    if (want.empty()) continue;
    if (m.type == TArgType::kBstr) {
      ASSERT_TRUE(want.size() >= 2 && want.front() == '"' && want.back() == '"') << want;
      want = want.substr(1, want.size() - 2);
    }
    for (const TEnumeration& e : Enumerations()) {
      if (e.name != std::string(IdlTypeOf(m.type))) continue;
      const auto constant = std::find_if(e.values.begin(), e.values.end(),
                                         [&](const TEnumValue& v) { return v.name == want; });
      ASSERT_NE(constant, e.values.end()) << want;
      want = std::to_string(constant->value);
    }
    EXPECT_EQ(Narrow(c.Text(Widen(m.name).c_str())), want);
  }
}

TEST(DrawTest, WritesFollowTheConversionRuleOfEachMember) {
  const struct {
    const char16_t* name;
    std::vector<Variant (*)()> writes;  // applied in order
    const char16_t* reads;
  } cases[] = {
      {u"Width", {[] { return Variant::I4(70000); }}, u"4464"},
      {u"Height", {[] { return Variant::I4(-1); }}, u"65535"},
      {u"CenterX", {[] { return Variant::R8(2.5); }}, u"2"},
      {u"ShowLabel", {[] { return Variant::I4(5); }}, u"True"},
      {u"Decimals", {[] { return Variant::I4(-70000); }}, u"-70000"},
      {u"BGColor", {[] { return Variant::String(u"zzz"); }}, u"FFFFFF"},
      {u"BGColor", {[] { return Variant::String(u"#00ff00"); }}, u"00FF00"},
      {u"GraphPen", {[] { return Variant::String(u""); }}, u"000000"},
      {u"LineGraphTextBGColor",
       {[] { return Variant::String(u"123456"); }, [] { return Variant::String(u"zzz"); }},
       u"FFFFFF"},
      {u"LineGraphTextColor",
       {[] { return Variant::String(u"123456"); }, [] { return Variant::String(u"zzz"); }},
       u"000000"},
      {u"LineGraphLeaderColor",
       {[] { return Variant::String(u"123456"); }, [] { return Variant::String(u"zz"); }},
       u"000000"},
      {u"LabelFont", {[] { return Variant::String(u"Courier"); }, [] { return Variant::String(u""); }},
       u"Courier"},
      {u"LabelSize", {[] { return Variant::I4(12); }}, u"12"},
      {u"LabelBold", {[] { return Variant::Bool(true); }, [] { return Variant::Bool(false); }},
       u"False"},
      {u"GridStyle", {[] { return Variant::I4(2); }, [] { return Variant::I4(7); }}, u"2"},
      {u"PointStyle", {[] { return Variant::I4(5); }}, u"5"},
      {u"PointStyle", {[] { return Variant::I4(5); }, [] { return Variant::I4(9); }}, u"0"},
      {u"TitleTextAlign", {[] { return Variant::I4(8); }, [] { return Variant::I4(9); }}, u"0"},
      {u"StackedTextAlign", {[] { return Variant::I4(3); }, [] { return Variant::I4(9); }}, u"3"},
      {u"DateTimeFormat", {[] { return Variant::I4(2); }, [] { return Variant::I4(5); }}, u"0"},
      {u"RNDColor", {[] { return Variant::I4(300); }}, u"0"},
      {u"RNDColor", {[] { return Variant::I4(210); }, [] { return Variant::I4(-1); }}, u"210"},
      {u"StartAngle", {[] { return Variant::R8(0.1); }}, u"0.1"},
      {u"JPegQuality", {[] { return Variant::I4(356); }}, u"356"},
      {u"Title", {[] { return Variant::I4(42); }}, u"42"},
  };
  for (const auto& k : cases) {
    Client c;
    for (auto write : k.writes) EXPECT_EQ(c.Put(k.name, write()).hr, S_OK) << Narrow(k.name);
    EXPECT_EQ(c.Text(k.name), k.reads) << Narrow(k.name);
  }
}

TEST(DrawTest, TextStyleBitsAndFallbacksThatDependOnOtherMembers) {
  Client c;
  c.Put(u"TextBold", Variant::Bool(true));
  c.Put(u"TextItalic", Variant::Bool(true));
  EXPECT_EQ(c.Text(u"TextBold"), u"True");
  EXPECT_EQ(c.Text(u"TextItalic"), u"True");
  EXPECT_EQ(c.Text(u"TextUnderline"), u"False");
  c.Put(u"TextUnderline", Variant::Bool(true));
  EXPECT_EQ(c.Text(u"TextUnderline"), u"True");
  EXPECT_EQ(c.Text(u"TextBold"), u"True");

  c.Put(u"TextColor", Variant::String(u"FF0000"));
  c.Put(u"TextBGColor", Variant::String(u"zzz"));
  EXPECT_EQ(c.Text(u"TextBGColor"), u"FF0000");

  // A bold flag reads true only while bold is the whole style.
  c.Put(u"LegendFont", Variant::String(u"Arial"));
  c.Put(u"TitleSize", Variant::I4(20));
  EXPECT_EQ(c.Text(u"TitleBold"), u"True");
}

TEST(DrawTest, MethodsForwardToTheEngine) {
  Client c;
  c.Call(u"AddData", [] {
    std::vector<Variant> a;
    a.push_back(Variant::String(u"a"));
    a.push_back(Variant::R8(1.23456789));
    a.push_back(Variant::String(u"R"));
    return a;
  }());
  EXPECT_EQ(c.Text(u"DataCount"), u"1");
  std::vector<Variant> index;
  index.push_back(Variant::I4(0));
  Outcome value = c.Get(u"ReadValue", std::move(index));
  ASSERT_EQ(value.value.vt(), VT_R4);
  EXPECT_EQ(value.value->fltVal, 1.23456789f);
  std::vector<Variant> colour_index;
  colour_index.push_back(Variant::String(u"0"));
  EXPECT_EQ(Narrow(c.Get(u"ReadColor", std::move(colour_index)).value->bstrVal), "990033");

  std::vector<Variant> colour;
  colour.push_back(Variant::R8(2147483653.0));  // 0x80000005: a system colour
  EXPECT_EQ(Narrow(c.Call(u"OLEColorToStr", std::move(colour)).value->bstrVal), "050000");

  const std::u16string a = c.Text(u"CreateGUID"), b = c.Text(u"CreateGUID");
  EXPECT_EQ(a.size(), 36u);
  EXPECT_NE(a, b);
  EXPECT_EQ(a[8], u'-');
}

TEST(DrawTest, DispatchFailuresUseTheStandardCodes) {
  Client c;
  EXPECT_EQ(c.Get(u"NoSuchMember").hr, DISP_E_UNKNOWNNAME);
  EXPECT_EQ(c.Put(u"Version", Variant::String(u"x")).hr, DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(c.Get(u"ClearData").hr, DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(c.Call(u"Width").hr, DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(c.Put(u"Width", Variant::String(u"abc")).hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(c.Put(u"Width", Variant::R8(1e10)).hr, DISP_E_OVERFLOW);
  std::vector<Variant> one;
  one.push_back(Variant::String(u"a"));
  EXPECT_EQ(c.Call(u"AddData", std::move(one)).hr, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(c.Get(u"width").hr, S_OK);  // names ignore letter case
}

TEST(DrawTest, MemberFailuresBecomeUnexpectedWithErrorInformation) {
  Client c;
  Outcome o = c.Get(u"GIFBar");
  EXPECT_EQ(o.hr, E_UNEXPECTED);
  EXPECT_EQ(o.description, u"No data items or points defined.");
  EXPECT_EQ(o.source, u"Plotvane.Draw");
  EXPECT_EQ(o.guid, IID_IDraw);
  EXPECT_EQ(o.value.vt(), VT_EMPTY);

  for (const char16_t* member : {u"Base64Out", u"DummyGraph"}) {
    std::vector<Variant> args;
    args.push_back(Variant::I4(9));
    if (std::u16string(member) == u"Base64Out") args.push_back(Variant::I4(0));
    Outcome bad = c.Call(member, std::move(args));
    EXPECT_EQ(bad.hr, E_UNEXPECTED) << Narrow(member);
    EXPECT_EQ(bad.description, u"Invalid graph type.") << Narrow(member);
  }

  EXCEPINFO info{};
  Outcome with_info = c.Invoke(u"PNGLine", DISPATCH_PROPERTYGET, {}, &info);
  EXPECT_EQ(with_info.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(info.scode, E_UNEXPECTED);
  EXPECT_EQ(std::u16string(info.bstrDescription), u"No data items or points defined.");
  EXPECT_EQ(std::u16string(info.bstrSource), u"Plotvane.Draw");
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);
}

TEST(DrawTest, ByteArraysStartAtOneAndMatchTheOtherDeliveries) {
  Client c;
  LONG lo = 0, hi = 0;
  EXPECT_TRUE(c.Bytes(u"BMPPie", &lo, &hi).empty());
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(hi, 0);

  for (const char16_t* name : {u"Apples", u"Pears"}) {
    std::vector<Variant> a;
    a.push_back(Variant::String(name));
    a.push_back(Variant::I4(3));
    a.push_back(Variant::String(u"R"));
    c.Call(u"AddData", std::move(a));
  }
  const std::vector<uint8_t> bmp = c.Bytes(u"BMPPie", &lo, &hi);
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(static_cast<size_t>(hi), bmp.size());
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');

  std::vector<Variant> args;
  args.push_back(Variant::I4(0));
  args.push_back(Variant::I4(2));
  const std::string base64 = BufferToBase64(bmp.data(), bmp.size());
  EXPECT_EQ(Narrow(c.Call(u"Base64Out", std::move(args)).value->bstrVal), base64);
  std::vector<Variant> unknown_format;
  unknown_format.push_back(Variant::I4(0));
  unknown_format.push_back(Variant::I4(7));
  EXPECT_EQ(SysStringLen(c.Call(u"Base64Out", std::move(unknown_format)).value->bstrVal), 0u);

  std::vector<Variant> kind;
  kind.push_back(Variant::I4(0));
  Outcome handle = c.Get(u"BMPHandle", std::move(kind));
  ASSERT_EQ(handle.hr, S_OK);
  HBITMAP h = BitmapHandleFromNumber(handle.value->lVal);
  const LONG size = GetBitmapFileBytes(h, 0, nullptr);
  std::vector<uint8_t> from_handle(static_cast<size_t>(size));
  GetBitmapFileBytes(h, size, from_handle.data());
  EXPECT_EQ(from_handle, bmp);
  EXPECT_TRUE(DeleteObject(h));
  EXPECT_FALSE(DeleteObject(h));

  // The JPEG quality is the low byte of the setting: 356 encodes as 100.
  const std::vector<uint8_t> jpeg_100 = c.Bytes(u"JPGPie");
  c.Put(u"JPegQuality", Variant::I4(356));
  EXPECT_EQ(c.Bytes(u"JPGPie"), jpeg_100);
}

// IDraw2's SVG documents, reached by name through the object's IDispatch:
// each kind with its own name, bars upright or level as VerticalBars says,
// the chart's title as the name, one link per area of the image map, the
// same document saved, and failures that name IDraw2.
TEST(DrawTest, SvgDocumentsFollowTheOtherOutputs) {
  Client c;
  Outcome none = c.Get(u"svgbar");
  EXPECT_EQ(none.hr, E_UNEXPECTED);
  EXPECT_EQ(none.description, u"No data items or points defined.");
  EXPECT_EQ(none.guid, IID_IDraw2);
  for (const char16_t* name : {u"Apples", u"Pears"}) {
    c.Call(u"AddData", testing_client::Values(Variant::String(name), Variant::I4(3),
                                              Variant::String(u"R")));
    c.Call(u"AddMapArea", testing_client::Values(Variant::String(u"a.htm"),
                                                 Variant::String(name), Variant::String(u"")));
    c.Call(u"AddPoint", testing_client::Values(Variant::I4(1), Variant::I4(2),
                                               Variant::String(u"R"), Variant::String(name)));
    c.Call(u"AddGroupedData", testing_client::Values(Variant::String(u"G"), Variant::String(name),
                                                     Variant::I4(2), Variant::String(u"R")));
  }
  const struct {
    const char16_t* member;
    bool vertical;
    const char* name;
  } cases[] = {
      {u"SVGPie", true, "Pie chart"},
      {u"SVGBar", true, "Vertical bar chart"},
      {u"SVGBar", false, "Horizontal bar chart"},
      {u"SVGLine", false, "Line graph"},
      {u"SVGStackedBar", true, "Vertical stacked bar chart"},
      {u"SVGStackedBar", false, "Horizontal stacked bar chart"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    c.Put(u"VerticalBars", Variant::Bool(k.vertical));
    const std::u16string svg = c.Text(k.member);
    const std::u16string map = c.Text(u"ImageMapText");
    EXPECT_NE(svg.find(u"aria-label=\"" + Widen(k.name) + u"\""), std::u16string::npos);
    size_t links = 0, areas = 0;
    for (size_t at = svg.find(u"<a "); at != std::u16string::npos; at = svg.find(u"<a ", at + 1)) ++links;
    for (size_t at = map.find(u"<area "); at != std::u16string::npos; at = map.find(u"<area ", at + 1)) ++areas;
    EXPECT_EQ(links, areas);
    EXPECT_GT(links, 0u);
  }
  c.Put(u"Title", Variant::String(u"Fruit & more"));
  const std::u16string titled = c.Text(u"SVGPie");
  EXPECT_NE(titled.find(u"<title>Fruit &amp; more</title>"), std::u16string::npos);

  ScratchFolder folder("plotvane-svg");
  const std::string path = folder.path() + "/pie.svg";
  ASSERT_EQ(c.Call(u"SaveSVGPie", testing_client::Values(Variant::String(Utf8ToUtf16(path)))).hr, S_OK);
  std::ifstream file(path, std::ios::binary);
  EXPECT_EQ(Utf8ToUtf16(std::string(std::istreambuf_iterator<char>(file), {})), titled);
}

TEST(DrawTest, SavingToAPathThatCannotBeCreatedNamesThePath) {
  Client c;
  std::vector<Variant> path;
  path.push_back(Variant::String(u"/nonexistent-dir/pie.png"));
  Outcome o = c.Call(u"SavePNGPie", std::move(path));
  EXPECT_EQ(o.hr, E_UNEXPECTED);
  EXPECT_NE(o.description.find(u"/nonexistent-dir/pie.png"), std::u16string::npos)
      << Narrow(o.description);
}

// An outer object that counts the references the inner object forwards.
class Outer final : public IUnknown {
 public:
  HRESULT QueryInterface(REFIID, void** out) override {
    *out = this;
    ++refs;
    return S_OK;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  ULONG refs = 1;
};

TEST(DrawTest, AggregationHandsOutTheInnerUnknownOnly) {
  Outer outer;
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateDrawObject(&outer, IID_IDispatch, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(CreateDrawObject(nullptr, IID_IDispatch, nullptr), E_POINTER);
  EXPECT_EQ(CreateDrawObject(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);

  const LONG before = ServerObjectCount();
  IUnknown* inner = nullptr;
  ASSERT_EQ(CreateDrawObject(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)), S_OK);
  EXPECT_EQ(ServerObjectCount(), before + 1);
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(inner->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  // The interface's references belong to the outer object.
  EXPECT_EQ(outer.refs, 2u);
  dispatch->Release();
  EXPECT_EQ(outer.refs, 1u);
  EXPECT_EQ(ServerObjectCount(), before + 1);
  inner->Release();  // the aggregate's own reference: frees the object
  EXPECT_EQ(ServerObjectCount(), before);
}

}  // namespace
}  // namespace plotvane
