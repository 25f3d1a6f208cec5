// IDraw and IDraw2 bound early: every accessor of every member, called
// through the virtual table declared by the generated header, gives what the
// same call through Invoke gives on a twin object, failures included.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include <gtest/gtest.h>

#include "plotvane.h"
#include "runtime/com.h"
#include "runtime/typeinfo.h"
#include "testing/draw_client.h"
#include "testing/scratch_folder.h"

namespace plotvane {
namespace {

using testing_client::ArrayBytes;
using testing_client::DrawClient;
using testing_client::ErrorDescription;

// What one call gave: its result, its value and, for a failure, the source
// and description of the thread's error information.
struct Outcome {
  HRESULT hr = S_OK;
  Variant value;
  std::u16string source, description;
};

// Takes the thread's error information: its source and description.
void TakeErrorInfo(std::u16string* source, std::u16string* description) {
  ComPtr<IErrorInfo> error;
  if (GetErrorInfo(0, error.ReleaseAndGetAddressOf()) != S_OK || !error) return;
  BStr text;
  error->GetSource(text.ReleaseAndGetAddressOf());
  *source = text.str();
  error->GetDescription(text.ReleaseAndGetAddressOf());
  *description = text.str();
}

void Finish(Outcome* o) {
  if (FAILED(o->hr)) TakeErrorInfo(&o->source, &o->description);
}

// One side's arguments: the same values for both sides, but a file of its own
// for the saving members, so that the two files can be compared.
struct Samples {
  std::u16string text;
  VARIANT_BOOL flag = VARIANT_FALSE;
};

template <typename T>
T Sample(const Samples& s, BStr* keep) {
  if constexpr (std::is_same_v<T, BSTR>) {
    *keep = BStr(s.text);
    return keep->Get();
  } else if constexpr (std::is_same_v<T, VARIANT_BOOL>) {
    return s.flag;
  } else if constexpr (std::is_same_v<T, DOUBLE>) {
    return 2.5;
  } else if constexpr (std::is_same_v<T, FLOAT>) {
    return 1.25f;
  } else if constexpr (std::is_same_v<T, USHORT>) {
    return 0;
  } else if constexpr (std::is_same_v<T, OLE_COLOR>) {
    return 0x123456;
  } else if constexpr (std::is_enum_v<T>) {
    return static_cast<T>(2);
  } else {
    static_assert(std::is_same_v<T, LONG>);
    return 12;  // small: every size and position stays cheap to draw
  }
}

template <typename T>
Variant ToVariant(T value) {
  if constexpr (std::is_same_v<T, BSTR>) {
    return Variant::String(std::u16string_view(value));
  } else if constexpr (std::is_same_v<T, VARIANT_BOOL>) {
    return Variant::Bool(value != 0);
  } else if constexpr (std::is_same_v<T, DOUBLE>) {
    return Variant::R8(value);
  } else if constexpr (std::is_same_v<T, FLOAT>) {
    return Variant::R4(value);
  } else if constexpr (std::is_same_v<T, USHORT>) {
    return Variant::UI2(value);
  } else if constexpr (std::is_same_v<T, OLE_COLOR>) {
    Variant v = Variant::I4(static_cast<LONG>(value));
    v->vt = VT_UI4;
    return v;
  } else if constexpr (std::is_same_v<T, VARIANT>) {
    return Variant::Attach(&value);
  } else {
    return Variant::I4(static_cast<LONG>(value));  // LONG and the enumerations
  }
}

// A result pointer, as opposed to a string passed in.
template <typename T>
constexpr bool kIsOut = std::is_pointer_v<T> && !std::is_same_v<T, BSTR>;

using Caller = Outcome (*)(IDraw* draw, const Samples& samples);

// Calls `M` (a method of IDraw or of IDraw2, which one object serves)
// through the virtual table with the samples of its parameter types; a
// trailing result pointer receives the value.
template <auto M>
struct VtableCall;
template <typename C, typename... A, HRESULT (C::*M)(A...)>
struct VtableCall<M> {
  static Outcome Run(IDraw* draw, const Samples& s) {
    constexpr size_t n = sizeof...(A);
    using Last = std::tuple_element_t<n, std::tuple<void, A...>>;
    Outcome o;
    if constexpr (n > 0 && kIsOut<Last>) {
      std::remove_pointer_t<Last> out{};
      o.hr = Invoke(draw, s, &out, std::make_index_sequence<n - 1>{});
      if (SUCCEEDED(o.hr)) o.value = ToVariant(out);
      if constexpr (std::is_same_v<decltype(out), BSTR>) SysFreeString(out);  // ours now
    } else {
      o.hr = Invoke(draw, s, static_cast<std::nullptr_t*>(nullptr), std::make_index_sequence<n>{});
    }
    Finish(&o);
    return o;
  }
  template <typename Out, size_t... I>
  static HRESULT Invoke(IDraw* draw, const Samples& s, Out* out, std::index_sequence<I...>) {
    using Args = std::tuple<A...>;
    BStr keep[sizeof...(A) + 1];
    std::tuple<std::tuple_element_t<I, Args>...> in{
        Sample<std::tuple_element_t<I, Args>>(s, &keep[I])...};
    C* target = static_cast<C*>(draw);
    if constexpr (std::is_same_v<Out, std::nullptr_t>) {
      return (target->*M)(std::get<I>(in)...);
    } else {
      return (target->*M)(std::get<I>(in)..., out);
    }
  }
  // The same arguments for Invoke, in natural order.
  static std::vector<Variant> Arguments(const Samples& s) {
    constexpr size_t n = sizeof...(A);
    using Last = std::tuple_element_t<n, std::tuple<void, A...>>;
    return Args(s, std::make_index_sequence<(n > 0 && kIsOut<Last>) ? n - 1 : n>{});
  }
  template <size_t... I>
  static std::vector<Variant> Args(const Samples& s, std::index_sequence<I...>) {
    using Args = std::tuple<A...>;
    std::vector<Variant> out;
    BStr keep;
    (out.push_back(ToVariant(Sample<std::tuple_element_t<I, Args>>(s, &keep))), ...);
    return out;
  }
};

struct Accessor {
  const char16_t* name;
  WORD flags;  // how Invoke reaches the same accessor
  Caller call;
  std::vector<Variant> (*arguments)(const Samples&);
};

template <auto M>
Accessor Make(const char16_t* name, WORD flags) {
  return {name, flags, &VtableCall<M>::Run, &VtableCall<M>::Arguments};
}

#define GET(N) Make<&IDraw::get_##N>(u"" #N, DISPATCH_PROPERTYGET)
#define PUT(N) Make<&IDraw::put_##N>(u"" #N, DISPATCH_PROPERTYPUT)
#define PROP(N) GET(N), PUT(N)
#define METHOD(N) Make<&IDraw::N>(u"" #N, DISPATCH_METHOD)
#define GET2(N) Make<&IDraw2::get_##N>(u"" #N, DISPATCH_PROPERTYGET)
#define METHOD2(N) Make<&IDraw2::N>(u"" #N, DISPATCH_METHOD)

// Every entry of the table after IDispatch's, in the header's order.
const std::vector<Accessor>& AllAccessors() {
  static const std::vector<Accessor> accessors = {
    PROP(Width), PROP(Height), PROP(CenterX), PROP(CenterY), PROP(BGColor), PROP(PieDia),
    PROP(ShowLabel), PROP(ShowPercent), PROP(LabelFont), PROP(LabelSize), PROP(LabelBold),
    PROP(LabelBGColor), PROP(LabelColor), PROP(LegendX), PROP(LegendY), PROP(Square),
    PROP(Padding), PROP(LegendFont), PROP(LegendTextSize), PROP(LegendBGColor), PROP(LegendColor),
    PROP(JPegQuality), PROP(TitleX), PROP(TitleY), PROP(TitleFont), PROP(TitleSize),
    PROP(TitleBold), PROP(TitleBGColor), PROP(TitleColor), PROP(Title), PROP(Decimals),
    METHOD(AddData), GET(ReadName), GET(ReadValue), GET(ReadColor), METHOD(ClearData),
    GET(DataCount), PROP(GraphPen), GET(JPGPie), PROP(ShowLegend), PROP(ShowLegendBox),
    GET(GIFPie), PROP(OriginX), PROP(OriginY), PROP(MaxX), PROP(MaxY), PROP(BarWidth),
    PROP(BarGap), PROP(YGrad), PROP(YTop), GET(GIFBar), GET(JPGBar), GET(BMPBar), GET(BMPPie),
    METHOD(SaveGIFPie), METHOD(SaveJPGPie), METHOD(SaveBMPPie), METHOD(SaveGIFBar),
    METHOD(SaveJPGBar), METHOD(SaveBMPBar), PROP(AxisTextFont), PROP(AxisTextSize),
    PROP(AxisTextBGColor), PROP(AxisTextColor), PROP(AxisTextBold), PROP(XAxisText),
    PROP(YAxisText), PROP(RNDColor), PROP(LabelVertical), PROP(Offset), GET(Version),
    PROP(ShowNumbers), PROP(ShowGrid), PROP(GridColor), PROP(ShowBarTotal), PROP(GridStyle),
    PROP(VerticalBars), PROP(TransColor), GET(PNGBar), GET(PNGPie), METHOD(SavePNGBar),
    METHOD(SavePNGPie), GET(BMPHandle), PROP(Transparent), PROP(XTop), PROP(XGrad),
    PROP(XValuesVertical), PROP(LineWidth), PROP(PointStyle), PROP(PointSize),
    METHOD(SaveGIFLine), METHOD(SaveBMPLine), METHOD(SavePNGLine), METHOD(SaveJPGLine),
    GET(GIFLine), GET(BMPLine), GET(JPGLine), GET(PNGLine), METHOD(AddPoint), METHOD(AddXValue),
    PROP(UseXAxisLabels), PROP(XOffset), PROP(YOffset), PROP(UseYAxisLabels), METHOD(AddYValue),
    PROP(XMarkSize), PROP(YMarkSize), PROP(XAxisNegative), PROP(YAxisNegative), PROP(Prefix),
    PROP(Suffix), PROP(ShowSeparator), PROP(PlotAreaColor), METHOD(AddText), PROP(ShowLine),
    METHOD(AddMapArea), PROP(ImageMapExtra), METHOD(SetImageMapParams), GET(ImageMapText),
    PROP(LineGraphTextFont), PROP(LineGraphTextBGColor), PROP(LineGraphTextColor),
    PROP(LineGraphTextSize), PROP(LineGraphTextBold), PROP(LineGraphTextAlign),
    PROP(LineGraphTextX), PROP(LineGraphTextY), PROP(LineGraphTextBorder),
    PROP(LineGraphTextLeader), PROP(LineGraphBorderColor), PROP(LineGraphLeaderColor),
    METHOD(AddLineGraphText), PROP(ShowPlotBorder), PROP(TitleTextAlign), PROP(HideVGrid),
    PROP(HideHGrid), METHOD(OLEColorToStr), PROP(UseXAxisDates), PROP(UseYAxisDates),
    PROP(DateTimeFormat), PROP(UseLZW), PROP(ShowStackedValue), PROP(StackedTextFont),
    PROP(StackedTextSize), PROP(StackedTextBGColor), PROP(StackedTextColor),
    PROP(StackedTextTransparent), PROP(StackedTextAlign), METHOD(AddGroupedData),
    GET(GIFStackedBar), GET(JPGStackedBar), GET(PNGStackedBar), GET(BMPStackedBar),
    METHOD(SaveGIFStackedBar), METHOD(SaveJPGStackedBar), METHOD(SavePNGStackedBar),
    METHOD(SaveBMPStackedBar), PROP(LegendVertical), PROP(LegendAlign), GET(CreateGUID),
    PROP(DateFormatString), PROP(TimeFormatString), METHOD(AddExtraLine), PROP(ShowSeparatorX),
    PROP(ShowSeparatorY), PROP(PrefixX), PROP(PrefixY), PROP(SuffixX), PROP(SuffixY),
    PROP(TextFont), PROP(TextSize), PROP(TextBold), PROP(TextItalic), PROP(TextUnderline),
    PROP(TextTransparent), PROP(TextBGColor), PROP(TextColor), PROP(LegendInvert),
    PROP(LegendHideEmptyNames), PROP(StartAngle), PROP(ShowTrendLine), PROP(TrendLineColor),
    PROP(TrendLineWidth), GET(ReadBarGap), GET(ReadBarWidth), GET(ReadXGrad), GET(ReadXTop),
    GET(ReadYGrad), GET(ReadYTop), PROP(TrendLineName), METHOD(DummyGraph), GET(XPixelsPerUnit),
    GET(YPixelsPerUnit), GET(FirstBarPos), GET(LastBarPos), PROP(BarTotalVertical),
    PROP(ShowLinesWithBars), PROP(ShowTotalifZero), PROP(DPI), METHOD(AddMarker),
    PROP(CustomLegend), METHOD(AddCustomLegend), METHOD(ClearCustomLegend), METHOD(Base64Out),
    GET2(SVGPie), GET2(SVGBar), GET2(SVGLine), GET2(SVGStackedBar), METHOD2(SaveSVGPie),
    METHOD2(SaveSVGBar), METHOD2(SaveSVGLine), METHOD2(SaveSVGStackedBar),
  };
  return accessors;
}

Outcome ByInvoke(const DrawClient& client, const Accessor& a, const Samples& s) {
  Outcome o;
  o.hr = client.Invoke(a.name, a.flags, a.arguments(s), o.value.ReleaseAndGetAddressOf());
  Finish(&o);
  return o;
}

std::vector<uint8_t> FileBytes(const std::u16string& path) {
  std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> HandleBytes(const VARIANT& v) {
  HBITMAP handle = BitmapHandleFromNumber(v.lVal);
  std::vector<uint8_t> bytes(static_cast<size_t>(std::max<LONG>(0, GetBitmapFileBytes(handle, 0, nullptr))));
  GetBitmapFileBytes(handle, static_cast<LONG>(bytes.size()), bytes.data());
  DeleteObject(handle);
  return bytes;
}

// Both values alike: same type and value; pictures byte for byte; the
// handles of BMPHandle by their pictures; CreateGUID by its form only.
void ExpectSame(const Accessor& a, Outcome& early, Outcome& late) {
  const std::u16string name = a.name;
  SCOPED_TRACE(std::string(name.begin(), name.end()));
  ASSERT_EQ(early.hr, late.hr);
  EXPECT_EQ(early.source, late.source);
  EXPECT_EQ(early.description, late.description);
  if (FAILED(early.hr)) return;
  ASSERT_EQ(early.value.vt(), late.value.vt());
  const VARIANT& e = *early.value.Get();
  const VARIANT& l = *late.value.Get();
  if (name == u"BMPHandle") {
    EXPECT_EQ(HandleBytes(e), HandleBytes(l));
  } else if (name == u"CreateGUID") {
    EXPECT_EQ(SysStringLen(e.bstrVal), 36u);
    EXPECT_EQ(SysStringLen(l.bstrVal), 36u);
  } else if (e.vt == VT_BSTR) {
    EXPECT_EQ(std::u16string_view(e.bstrVal, SysStringLen(e.bstrVal)),
              std::u16string_view(l.bstrVal, SysStringLen(l.bstrVal)));
  } else if (e.vt == (VT_ARRAY | VT_UI1)) {
    EXPECT_EQ(ArrayBytes(e), ArrayBytes(l));
  } else if (e.vt == VT_R8) {
    EXPECT_EQ(e.dblVal, l.dblVal);
  } else if (e.vt == VT_R4) {
    EXPECT_EQ(e.fltVal, l.fltVal);
  } else if (e.vt == VT_BOOL) {
    EXPECT_EQ(e.boolVal, l.boolVal);
  } else if (e.vt != VT_EMPTY) {
    ASSERT_EQ(e.vt, VT_I4);
    EXPECT_EQ(e.lVal, l.lVal);
  }
}

class VtableTest : public ::testing::Test {
 protected:
  VtableTest() {
    EXPECT_EQ(late_.created(), S_OK);
    EXPECT_EQ(early_holder_.created(), S_OK);
    EXPECT_EQ(early_holder_->QueryInterface(IID_IDraw, reinterpret_cast<void**>(&early_)), S_OK);
  }
  ~VtableTest() override {
    if (early_ != nullptr) early_->Release();
  }

  ScratchFolder folder_{"plotvane-vtable"};
  DrawClient early_holder_;  // bound early, through `early_`
  IDraw* early_ = nullptr;
  DrawClient late_;          // its twin, bound late
};

TEST_F(VtableTest, EveryAccessorAgreesWithInvoke) {
  const std::string folder = folder_.path();
  const std::u16string early_file = std::u16string(folder.begin(), folder.end()) + u"/early";
  const std::u16string late_file = std::u16string(folder.begin(), folder.end()) + u"/late";
  for (const Accessor& a : AllAccessors()) {
    Samples early{u"00FF80"}, late{u"00FF80"};
    const std::u16string name = a.name;
    if (name.rfind(u"Save", 0) == 0) {
      early.text = early_file;
      late.text = late_file;
    }
    if (a.flags == DISPATCH_PROPERTYPUT) {
      // Boolean writes turn the current value over, so that every write
      // changes what the reads below see.
      Variant now;
      late_.Invoke(a.name, DISPATCH_PROPERTYGET, {}, now.ReleaseAndGetAddressOf());
      early.flag = late.flag = now->vt == VT_BOOL && now->boolVal ? VARIANT_FALSE : VARIANT_TRUE;
    }
    Outcome e = a.call(early_, early);
    Outcome l = ByInvoke(late_, a, late);
    ExpectSame(a, e, l);
    if (name.rfind(u"Save", 0) == 0 && SUCCEEDED(e.hr)) {
      EXPECT_EQ(FileBytes(early_file), FileBytes(late_file)) << "for " << a.flags;
    }
  }
  // Every write went to its own member: the twins read alike everywhere.
  for (const Accessor& a : AllAccessors()) {
    if (a.flags != DISPATCH_PROPERTYGET) continue;
    Samples s{u"00FF80"};
    Outcome e = a.call(early_, s);
    Outcome l = ByInvoke(late_, a, s);
    ExpectSame(a, e, l);
  }
}

TEST_F(VtableTest, TheTableIsTheTypeLibrarysVirtualTable) {
  // The object's interface is IDraw2; its virtual-table view continues the
  // view of IDraw it derives from.
  ComPtr<ITypeInfo> dispatch, newest;
  ASSERT_EQ(early_->GetTypeInfo(0, 0, dispatch.ReleaseAndGetAddressOf()), S_OK);
  HREFTYPE ref = 0;
  ASSERT_EQ(dispatch->GetRefTypeOfImplType(0xFFFFFFFFu, &ref), S_OK);
  ASSERT_EQ(dispatch->GetRefTypeInfo(ref, newest.ReleaseAndGetAddressOf()), S_OK);
  ComPtr<ITypeInfo> base;
  ASSERT_EQ(newest->GetRefTypeOfImplType(0, &ref), S_OK);
  ASSERT_EQ(newest->GetRefTypeInfo(ref, base.ReleaseAndGetAddressOf()), S_OK);
  size_t i = 0;
  for (ITypeInfo* vtable : {base.Get(), newest.Get()}) {
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(vtable->GetTypeAttr(&attr), S_OK);
    for (UINT k = 0; k < attr->cFuncs; ++k, ++i) {
      ASSERT_LT(i, AllAccessors().size());
      FUNCDESC* f = nullptr;
      ASSERT_EQ(vtable->GetFuncDesc(k, &f), S_OK);
      BStr name;
      vtable->GetDocumentation(f->memid, name.ReleaseAndGetAddressOf(), nullptr, nullptr, nullptr);
      const Accessor& a = AllAccessors()[i];
      EXPECT_EQ(name.str(), a.name);
      EXPECT_EQ(f->invkind, a.flags == DISPATCH_METHOD ? INVOKE_FUNC
                                                        : static_cast<INVOKEKIND>(a.flags));
      EXPECT_EQ(f->oVft, static_cast<SHORT>((7 + i) * sizeof(void*)));
      vtable->ReleaseFuncDesc(f);
    }
    EXPECT_EQ(attr->cbSizeVft, (7 + i) * sizeof(void*));
    vtable->ReleaseTypeAttr(attr);
  }
  EXPECT_EQ(i, AllAccessors().size());
  for (const auto& [view, name] : {std::pair{base.Get(), u"IDraw"}, {newest.Get(), u"IDraw2"}}) {
    BStr got;
    view->GetDocumentation(MEMBERID_NIL, got.ReleaseAndGetAddressOf(), nullptr, nullptr, nullptr);
    EXPECT_EQ(got.str(), name);
  }
}

TEST_F(VtableTest, FailuresSetErrorInformationAndLeaveResultsEmpty) {
  struct Case {
    const char* what;
    HRESULT (*call)(IDraw* d, BSTR* text);
    HRESULT hr;
    const char16_t* description;
  };
  const Case cases[] = {
      {"Base64Out of no data",
       [](IDraw* d, BSTR* t) { return d->Base64Out(gtBar, ifPNG, t); }, E_UNEXPECTED,
       u"No data items or points defined."},
      {"Base64Out of an unknown kind",
       [](IDraw* d, BSTR* t) {
         BStr name(u"a");
         d->AddData(name.Get(), 1, nullptr);
         return d->Base64Out(static_cast<TxGraphType>(7), ifPNG, t);
       },
       E_UNEXPECTED, u"Invalid graph type."},
      {"a null result pointer", [](IDraw* d, BSTR*) { return d->get_Title(nullptr); }, E_POINTER,
       u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BSTR text = SysAllocString(u"left over");
    BSTR before = text;
    EXPECT_EQ(c.call(early_, &text), c.hr);
    if (text != before) SysFreeString(before);
    EXPECT_EQ(text == before, c.hr == E_POINTER);  // otherwise set empty before the call
    EXPECT_EQ(text == nullptr, c.hr == E_UNEXPECTED);
    SysFreeString(text);
    EXPECT_EQ(ErrorDescription(), c.description);
  }
  VARIANT picture;
  picture.vt = VT_I4;  // an out argument is not read, only set
  ComPtr<IDraw> fresh;
  ASSERT_EQ(late_->QueryInterface(IID_IDraw, fresh.ReleaseAndGetAddressOfVoid()), S_OK);
  EXPECT_EQ(fresh->get_GIFBar(&picture), E_UNEXPECTED);
  EXPECT_EQ(picture.vt, VT_EMPTY);
  std::u16string source, description;
  TakeErrorInfo(&source, &description);
  EXPECT_EQ(source, u"Plotvane.Draw");
  EXPECT_EQ(description, u"No data items or points defined.");
}

TEST_F(VtableTest, TheInterfaceIsOneObjectWithIDispatch) {
  ComPtr<IUnknown> a, b;
  ASSERT_EQ(early_->QueryInterface(IID_IUnknown, a.ReleaseAndGetAddressOfVoid()), S_OK);
  ASSERT_EQ(early_holder_->QueryInterface(IID_IUnknown, b.ReleaseAndGetAddressOfVoid()), S_OK);
  EXPECT_EQ(a.Get(), b.Get());
  // IDispatch's methods are the first seven entries.
  DISPID id = DISPID_UNKNOWN;
  std::u16string name = u"width";
  LPOLESTR names[] = {name.data()};
  EXPECT_EQ(early_->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 3);
  ISupportErrorInfo* support = nullptr;
  ASSERT_EQ(early_->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDraw), S_OK);
  support->Release();
}

// A C++ client's run-time type operations read the two words before the
// table's entries: the offset to the whole object and the type information,
// of IDraw2, which derives from IDraw.
TEST_F(VtableTest, CxxClientsSeeAnObjectOfTheirIDrawClass) {
  EXPECT_EQ(dynamic_cast<void*>(early_), static_cast<void*>(early_));
  EXPECT_STREQ(typeid(*early_).name(), typeid(IDraw2).name());
  EXPECT_NE(dynamic_cast<IDraw2*>(early_), nullptr);
}

}  // namespace
}  // namespace plotvane
