// The IDraw member table and the handlers that carry each member to the
// engine. Conversion rules of the properties:
//   Word      a written value keeps its low 16 bits (70000 becomes 4464)
//   Integer, Double, Single, string   copied unchanged
//   Boolean   any non-zero value is True; True reads back as -1
//   colour    RRGGBB text; an unreadable text falls back per member (most
//             keep their current colour)
//   font      face (an empty face is ignored), size in points (stored as
//             the pixel height), bold, colour
//   enumerations map one to one; out-of-range values follow the member's rule
#include "automation/members.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string>

#include "automation/draw_object.h"
#include "automation/output.h"
#include "automation/vtable.h"
#include "base/ascii.h"
#include "base/utf.h"
#include "imaging/byte_writer.h"
#include "runtime/guid.h"
#include "runtime/variant.h"

namespace plotvane {

// {6E772568-C3A1-41DE-95C3-9A3575FF57DC}
const GUID LIBID_Plotvane = {0x6E772568, 0xC3A1, 0x41DE,
                             {0x95, 0xC3, 0x9A, 0x35, 0x75, 0xFF, 0x57, 0xDC}};
// {9A08A001-F7D1-4848-92B9-3BB5E21F6438}
const IID IID_IDraw = {0x9A08A001, 0xF7D1, 0x4848, {0x92, 0xB9, 0x3B, 0xB5, 0xE2, 0x1F, 0x64, 0x38}};
// {87F115CD-C304-442C-948E-E854523D84E5}
const IID IID_IDraw2 = {0x87F115CD, 0xC304, 0x442C, {0x94, 0x8E, 0xE8, 0x54, 0x52, 0x3D, 0x84, 0xE5}};
// {62C75F58-23FA-4ECC-B03E-466195CF294A}
const CLSID CLSID_Draw = {0x62C75F58, 0x23FA, 0x4ECC,
                          {0xB0, 0x3E, 0x46, 0x61, 0x95, 0xCF, 0x29, 0x4A}};

namespace {

// Enumerations of the interface, beside the engine's own.
enum TxGridStyle : int32_t { gsSolid = 0, gsDot = 1, gsDash = 2 };

// ---------------------------------------------------------------------------
// Results and arguments
// ---------------------------------------------------------------------------

void Return(VARIANT* result, Variant value) { *result = value.Detach(); }
void ReturnI4(VARIANT* r, int32_t v) { Return(r, Variant::I4(v)); }
void ReturnR8(VARIANT* r, double v) { Return(r, Variant::R8(v)); }
void ReturnR4(VARIANT* r, float v) { Return(r, Variant::R4(v)); }
void ReturnBool(VARIANT* r, bool v) { Return(r, Variant::Bool(v)); }
void ReturnString(VARIANT* r, const std::u16string& v) { Return(r, Variant::String(v)); }
void ReturnBytes(VARIANT* r, const std::vector<uint8_t>& bytes) {
  Return(r, Variant::Bytes(bytes.data(), bytes.size(), 1));
}

int32_t I4(const VARIANT& v) { return v.lVal; }
double R8(const VARIANT& v) { return v.dblVal; }
float R4(const VARIANT& v) { return v.fltVal; }
bool Bool(const VARIANT& v) { return v.boolVal != 0; }
uint16_t UI2(const VARIANT& v) { return v.uiVal; }
std::u16string Str(const VARIANT& v) {
  return v.bstrVal == nullptr ? std::u16string() : std::u16string(v.bstrVal, SysStringLen(v.bstrVal));
}

// ---------------------------------------------------------------------------
// Engine fields
// ---------------------------------------------------------------------------

template <Word TChartix::*F>
void GetWord(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnI4(r, d.Graph().*F); }
template <Word TChartix::*F>
void PutWord(Tdraw& d, const VARIANT*, const VARIANT& v) {
  d.Graph().*F = static_cast<Word>(static_cast<uint32_t>(I4(v)) & 0xFFFF);
}

template <Integer TChartix::*F>
void GetInt(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnI4(r, d.Graph().*F); }
template <Integer TChartix::*F>
void PutInt(Tdraw& d, const VARIANT*, const VARIANT& v) { d.Graph().*F = I4(v); }

template <Double TChartix::*F>
void GetDouble(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnR8(r, d.Graph().*F); }
template <Double TChartix::*F>
void PutDouble(Tdraw& d, const VARIANT*, const VARIANT& v) { d.Graph().*F = R8(v); }

template <Single TChartix::*F>
void GetSingle(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnR4(r, d.Graph().*F); }
template <Single TChartix::*F>
void PutSingle(Tdraw& d, const VARIANT*, const VARIANT& v) { d.Graph().*F = R4(v); }

template <bool TChartix::*F>
void GetBool(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnBool(r, d.Graph().*F); }
template <bool TChartix::*F>
void PutBool(Tdraw& d, const VARIANT*, const VARIANT& v) { d.Graph().*F = Bool(v); }

template <std::u16string TChartix::*F>
void GetString(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnString(r, d.Graph().*F); }
template <std::u16string TChartix::*F>
void PutString(Tdraw& d, const VARIANT*, const VARIANT& v) { d.Graph().*F = Str(v); }

// What an unreadable colour text gives.
enum class Fallback { kOwn, kWhite, kBlack, kTextFontColour };

template <TColor TChartix::*F, Fallback B>
void GetColourField(Tdraw& d, const VARIANT*, VARIANT* r) {
  ReturnString(r, TChartix::GetColour(d.Graph().*F));
}
template <TColor TChartix::*F, Fallback B>
void PutColourField(Tdraw& d, const VARIANT*, const VARIANT& v) {
  TChartix& g = d.Graph();
  const TColor fallback = B == Fallback::kWhite            ? 0xFFFFFF
                          : B == Fallback::kBlack          ? 0
                          : B == Fallback::kTextFontColour ? g.FTextFont.Color
                                                           : g.*F;
  g.*F = TChartix::SetColour(Str(v), fallback);
}

// ---------------------------------------------------------------------------
// Fonts
// ---------------------------------------------------------------------------

template <TFont TChartix::*F>
void GetFace(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnString(r, (d.Graph().*F).Name); }
template <TFont TChartix::*F>
void PutFace(Tdraw& d, const VARIANT*, const VARIANT& v) {
  std::u16string face = Str(v);
  if (!face.empty()) (d.Graph().*F).Name = std::move(face);
}

template <TFont TChartix::*F>
void GetSize(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnI4(r, (d.Graph().*F).Size()); }
template <TFont TChartix::*F>
void PutSize(Tdraw& d, const VARIANT*, const VARIANT& v) { (d.Graph().*F).SetSize(I4(v)); }

// Reads True when the style is exactly bold; writing adds or removes bold.
template <TFont TChartix::*F>
void GetBold(Tdraw& d, const VARIANT*, VARIANT* r) {
  ReturnBool(r, (d.Graph().*F).Style == fsBold);
}
template <TFontStyle S>
void SetStyle(TFont& font, bool on) {
  font.Style = static_cast<TFontStyles>(on ? (font.Style | S) : (font.Style & ~S));
}
template <TFont TChartix::*F>
void PutBold(Tdraw& d, const VARIANT*, const VARIANT& v) { SetStyle<fsBold>(d.Graph().*F, Bool(v)); }

template <TFont TChartix::*F>
void GetFontColour(Tdraw& d, const VARIANT*, VARIANT* r) {
  ReturnString(r, TChartix::GetColour((d.Graph().*F).Color));
}
template <TFont TChartix::*F, Fallback B>
void PutFontColour(Tdraw& d, const VARIANT*, const VARIANT& v) {
  TFont& font = d.Graph().*F;
  font.Color = TChartix::SetColour(Str(v), B == Fallback::kBlack ? 0 : font.Color);
}

// The text font's style bits, each read on its own.
template <TFontStyle S>
void GetTextStyle(Tdraw& d, const VARIANT*, VARIANT* r) {
  ReturnBool(r, (d.Graph().FTextFont.Style & S) != 0);
}
template <TFontStyle S>
void PutTextStyle(Tdraw& d, const VARIANT*, const VARIANT& v) {
  SetStyle<S>(d.Graph().FTextFont, Bool(v));
}

// ---------------------------------------------------------------------------
// The automation object's own settings
// ---------------------------------------------------------------------------

template <Integer Tdraw::*F>
void GetDrawInt(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnI4(r, d.*F); }
template <Integer Tdraw::*F>
void PutDrawInt(Tdraw& d, const VARIANT*, const VARIANT& v) { d.*F = I4(v); }
template <bool Tdraw::*F>
void GetDrawBool(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnBool(r, d.*F); }
template <bool Tdraw::*F>
void PutDrawBool(Tdraw& d, const VARIANT*, const VARIANT& v) { d.*F = Bool(v); }

// ---------------------------------------------------------------------------
// Enumerations
// ---------------------------------------------------------------------------

void GetGridStyle(Tdraw& d, const VARIANT*, VARIANT* r) {
  switch (d.Graph().FGridStyle) {
    case TPenStyle::psSolid: return ReturnI4(r, gsSolid);
    case TPenStyle::psDash: return ReturnI4(r, gsDash);
    default: return ReturnI4(r, gsDot);
  }
}
// False for values outside the enumeration.
bool MapGridStyle(int32_t value, TPenStyle& style) {
  switch (value) {
    case gsSolid: style = TPenStyle::psSolid; return true;
    case gsDot: style = TPenStyle::psDot; return true;
    case gsDash: style = TPenStyle::psDash; return true;
    default: return false;
  }
}
void PutGridStyle(Tdraw& d, const VARIANT*, const VARIANT& v) {
  MapGridStyle(I4(v), d.Graph().FGridStyle);  // other values change nothing
}

TPointStyle MapPointStyle(int32_t value) {
  return value >= cxpsNone && value <= cxpsTriangleD ? static_cast<TPointStyle>(value) : cxpsNone;
}
void GetPointStyle(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnI4(r, d.Graph().FPointStyle); }
void PutPointStyle(Tdraw& d, const VARIANT*, const VARIANT& v) {
  d.Graph().FPointStyle = MapPointStyle(I4(v));
}

template <TTextAlign TChartix::*F>
void GetTextAlignField(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnI4(r, d.Graph().*F); }
template <TTextAlign TChartix::*F>
void PutTextAlignField(Tdraw& d, const VARIANT*, const VARIANT& v) {
  const int32_t value = I4(v);
  d.Graph().*F = value >= cxtaTopLeft && value <= cxtaBottomRight ? static_cast<TTextAlign>(value)
                                                                   : cxtaTopLeft;
}

void GetStackedAlign(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnI4(r, d.Graph().FStackedTextAlign); }
void PutStackedAlign(Tdraw& d, const VARIANT*, const VARIANT& v) {
  const int32_t value = I4(v);
  if (value >= cxstCentreH && value <= cxstRightV)
    d.Graph().FStackedTextAlign = static_cast<TStackedTextAlign>(value);
}

void GetDateTimeFormat(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnI4(r, d.Graph().FDateTimeFormat); }
void PutDateTimeFormat(Tdraw& d, const VARIANT*, const VARIANT& v) {
  const int32_t value = I4(v);
  d.Graph().FDateTimeFormat = value == dtDate ? dtDate : value == dtTime ? dtTime : dtDateTime;
}

// ---------------------------------------------------------------------------
// Data
// ---------------------------------------------------------------------------

void AddDataCall(Tdraw& d, const VARIANT* a, VARIANT*) {
  d.Graph().AddData(Str(a[0]), R8(a[1]), Str(a[2]));
}
void ReadNameGet(Tdraw& d, const VARIANT* a, VARIANT* r) { ReturnString(r, d.Graph().ReadName(UI2(a[0]))); }
void ReadValueGet(Tdraw& d, const VARIANT* a, VARIANT* r) {
  ReturnR4(r, static_cast<float>(d.Graph().ReadValue(UI2(a[0]))));
}
void ReadColorGet(Tdraw& d, const VARIANT* a, VARIANT* r) { ReturnString(r, d.Graph().ReadColor(UI2(a[0]))); }
void ClearDataCall(Tdraw& d, const VARIANT*, VARIANT*) { d.Graph().ClearData(); }
void DataCountGet(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnI4(r, d.Graph().DataCount()); }
void AddPointCall(Tdraw& d, const VARIANT* a, VARIANT*) {
  d.Graph().AddPoint(R8(a[0]), R8(a[1]), Str(a[2]), Str(a[3]));
}
void AddXValueCall(Tdraw& d, const VARIANT* a, VARIANT*) { d.Graph().AddXValue(R8(a[0]), Str(a[1])); }
void AddYValueCall(Tdraw& d, const VARIANT* a, VARIANT*) { d.Graph().AddYValue(R8(a[0]), Str(a[1])); }
void AddTextCall(Tdraw& d, const VARIANT* a, VARIANT*) {
  d.Graph().AddText(Str(a[0]), I4(a[1]), I4(a[2]), R4(a[3]));
}
void AddMapAreaCall(Tdraw& d, const VARIANT* a, VARIANT*) {
  d.Graph().AddMapArea(Str(a[0]), Str(a[1]), Str(a[2]));
}
void SetImageMapParamsCall(Tdraw& d, const VARIANT* a, VARIANT*) {
  TChartix& g = d.Graph();
  g.FIMName = Str(a[0]);
  g.FIMDataArea = Bool(a[1]);
  g.FIMLabel = Bool(a[2]);
  g.FIMLegend = Bool(a[3]);
}
void AddLineGraphTextCall(Tdraw& d, const VARIANT* a, VARIANT*) {
  // The positions are kept in single precision.
  d.Graph().AddLineGraphText(Str(a[0]), static_cast<float>(R8(a[1])), static_cast<float>(R8(a[2])),
                             R4(a[3]));
}
void OLEColorToStrCall(Tdraw&, const VARIANT* a, VARIANT* r) {
  ReturnString(r, TChartix::GetColour(a[0].ulVal));
}
void AddGroupedDataCall(Tdraw& d, const VARIANT* a, VARIANT*) {
  d.Graph().AddStackedData(Str(a[0]), Str(a[1]), R8(a[2]), Str(a[3]));
}
void AddExtraLineCall(Tdraw& d, const VARIANT* a, VARIANT*) {
  TPenStyle style = TPenStyle::psSolid;
  MapGridStyle(I4(a[5]), style);  // other values draw solid lines
  d.Graph().AddExtraLine(I4(a[0]), I4(a[1]), I4(a[2]), I4(a[3]), I4(a[4]), style,
                         TChartix::SetColour(Str(a[6]), 0));
}
void AddMarkerCall(Tdraw& d, const VARIANT* a, VARIANT*) {
  d.Graph().AddMarker(R8(a[0]), R8(a[1]), MapPointStyle(I4(a[2])),
                      static_cast<Word>(static_cast<uint32_t>(I4(a[3])) & 0xFFFF), Str(a[4]));
}
void AddCustomLegendCall(Tdraw& d, const VARIANT* a, VARIANT*) {
  d.Graph().AddCustomLegend(Str(a[0]), Str(a[1]));
}
void ClearCustomLegendCall(Tdraw& d, const VARIANT*, VARIANT*) { d.Graph().ClearCustomLegend(); }
void PutRNDColor(Tdraw& d, const VARIANT*, const VARIANT& v) { d.Graph().SetRNDColor(I4(v)); }

// ---------------------------------------------------------------------------
// Texts of the object itself
// ---------------------------------------------------------------------------

void VersionGet(Tdraw&, const VARIANT*, VARIANT* r) {
  const std::string text = "Plotvane 3.1.1.0 (" + std::to_string(sizeof(void*) * 8) + " bit)";
  ReturnString(r, Widen(text));
}
void CreateGUIDGet(Tdraw&, const VARIANT*, VARIANT* r) {
  GUID guid{};
  if (FAILED(CoCreateGuid(&guid))) throw std::runtime_error("Cannot create a GUID");
  OLECHAR text[39];
  StringFromGUID2(guid, text, 39);
  ReturnString(r, std::u16string(text + 1, 36));  // without the braces
}

// ---------------------------------------------------------------------------
// Output
// ---------------------------------------------------------------------------

template <TxGraphType K, TxImageFormat F>
void BytesGet(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnBytes(r, ChartBytes(d, K, F)); }
template <TxGraphType K, TxImageFormat F>
void SaveCall(Tdraw& d, const VARIANT* a, VARIANT*) { SaveChart(d, K, F, Str(a[0])); }
void BMPHandleGet(Tdraw& d, const VARIANT* a, VARIANT* r) { ReturnI4(r, BMPHandle(d, I4(a[0]))); }
void DummyGraphCall(Tdraw& d, const VARIANT* a, VARIANT*) { DummyGraph(d, I4(a[0])); }
void Base64OutCall(Tdraw& d, const VARIANT* a, VARIANT* r) {
  ReturnString(r, Widen(Base64Out(d, I4(a[0]), I4(a[1]))));
}
template <TxGraphType K>
void SvgGet(Tdraw& d, const VARIANT*, VARIANT* r) { ReturnString(r, Utf8ToUtf16(ChartSVG(d, K))); }
template <TxGraphType K>
void SvgSaveCall(Tdraw& d, const VARIANT* a, VARIANT*) { SaveChartSVG(d, K, Str(a[0])); }

// ---------------------------------------------------------------------------
// The table
// ---------------------------------------------------------------------------

using K = TMemberKind;
using T = TArgType;
constexpr std::array<TParam, kMaxParams> kNoParams{};

constexpr TMember Prop(const char* name, DISPID id, T type, TGetHandler get, TPutHandler put) {
  return TMember{name, id, K::kGetPut, type, 0, kNoParams, get, put, nullptr};
}
constexpr TMember ReadOnly(const char* name, DISPID id, T type, TGetHandler get) {
  return TMember{name, id, K::kGet, type, 0, kNoParams, get, nullptr, nullptr};
}
constexpr TMember Indexed(const char* name, DISPID id, T type, TParam index, TGetHandler get) {
  TMember m{name, id, K::kGet, type, 1, kNoParams, get, nullptr, nullptr};
  m.params[0] = index;
  return m;
}
constexpr TMember Method(const char* name, DISPID id, T result,
                         std::initializer_list<TParam> params, TCallHandler call) {
  TMember m{name, id, K::kMethod, result, static_cast<uint8_t>(params.size()), kNoParams,
            nullptr, nullptr, call};
  size_t i = 0;
  for (const TParam& p : params) m.params[i++] = p;
  return m;
}

#define WORD_PROP(N, ID, F) Prop(#N, ID, T::kI4, GetWord<&TChartix::F>, PutWord<&TChartix::F>)
#define INT_PROP(N, ID, F) Prop(#N, ID, T::kI4, GetInt<&TChartix::F>, PutInt<&TChartix::F>)
#define DOUBLE_PROP(N, ID, F) \
  Prop(#N, ID, T::kR8, GetDouble<&TChartix::F>, PutDouble<&TChartix::F>)
#define SINGLE_PROP(N, ID, F) \
  Prop(#N, ID, T::kR4, GetSingle<&TChartix::F>, PutSingle<&TChartix::F>)
#define BOOL_PROP(N, ID, F) Prop(#N, ID, T::kBool, GetBool<&TChartix::F>, PutBool<&TChartix::F>)
#define STRING_PROP(N, ID, F) \
  Prop(#N, ID, T::kBstr, GetString<&TChartix::F>, PutString<&TChartix::F>)
#define COLOUR_PROP(N, ID, F, B)                                      \
  Prop(#N, ID, T::kBstr, GetColourField<&TChartix::F, Fallback::B>, \
       PutColourField<&TChartix::F, Fallback::B>)
#define FACE_PROP(N, ID, F) Prop(#N, ID, T::kBstr, GetFace<&TChartix::F>, PutFace<&TChartix::F>)
#define SIZE_PROP(N, ID, F) Prop(#N, ID, T::kI4, GetSize<&TChartix::F>, PutSize<&TChartix::F>)
#define BOLD_PROP(N, ID, F) Prop(#N, ID, T::kBool, GetBold<&TChartix::F>, PutBold<&TChartix::F>)
#define FONT_COLOUR_PROP(N, ID, F, B) \
  Prop(#N, ID, T::kBstr, GetFontColour<&TChartix::F>, PutFontColour<&TChartix::F, Fallback::B>)
#define DRAW_INT(N, ID, F) Prop(#N, ID, T::kI4, GetDrawInt<&Tdraw::F>, PutDrawInt<&Tdraw::F>)
#define DRAW_BOOL(N, ID, F) Prop(#N, ID, T::kBool, GetDrawBool<&Tdraw::F>, PutDrawBool<&Tdraw::F>)
#define READ_INT(N, ID, F) ReadOnly(#N, ID, T::kI4, GetInt<&TChartix::F>)
#define READ_DOUBLE(N, ID, F) ReadOnly(#N, ID, T::kR8, GetDouble<&TChartix::F>)
#define TEXT_ALIGN_PROP(N, ID, F)                                   \
  Prop(#N, ID, T::kTextAlign, GetTextAlignField<&TChartix::F>, \
       PutTextAlignField<&TChartix::F>)
#define BYTES_PROP(N, ID, K, F) ReadOnly(#N, ID, T::kVariant, BytesGet<K, F>)
#define SAVE_METHOD(N, ID, K, F) Method(#N, ID, T::kNone, {{"FileName", T::kBstr}}, SaveCall<K, F>)
#define SVG_PROP(N, ID, K) ReadOnly(#N, ID, T::kBstr, SvgGet<K>)
#define SVG_SAVE_METHOD(N, ID, K) \
  Method(#N, ID, T::kNone, {{"FileName", T::kBstr}}, SvgSaveCall<K>)

// In virtual-table order, which is also the order of the type library.
constexpr TMember kTable[] = {
    WORD_PROP(Width, 3, FWidth),
    WORD_PROP(Height, 4, FHeight),
    WORD_PROP(CenterX, 5, FCentreX),
    WORD_PROP(CenterY, 6, FCentreY),
    COLOUR_PROP(BGColor, 7, FBGColour, kOwn),
    WORD_PROP(PieDia, 8, FPieDia),
    BOOL_PROP(ShowLabel, 9, FShowLabel),
    BOOL_PROP(ShowPercent, 10, FShowPercent),
    FACE_PROP(LabelFont, 12, FLabelFont),
    SIZE_PROP(LabelSize, 13, FLabelFont),
    BOLD_PROP(LabelBold, 14, FLabelFont),
    COLOUR_PROP(LabelBGColor, 15, FLabelBGColour, kOwn),
    FONT_COLOUR_PROP(LabelColor, 16, FLabelFont, kOwn),
    WORD_PROP(LegendX, 17, FLegendX),
    WORD_PROP(LegendY, 18, FLegendY),
    WORD_PROP(Square, 19, FSquare),
    WORD_PROP(Padding, 20, FPadding),
    FACE_PROP(LegendFont, 21, FLegendFont),
    SIZE_PROP(LegendTextSize, 22, FLegendFont),
    COLOUR_PROP(LegendBGColor, 23, FLegendBGColour, kOwn),
    FONT_COLOUR_PROP(LegendColor, 24, FLegendFont, kOwn),
    DRAW_INT(JPegQuality, 25, FJpegQuality),
    WORD_PROP(TitleX, 26, FTitleX),
    WORD_PROP(TitleY, 27, FTitleY),
    FACE_PROP(TitleFont, 28, FTitleFont),
    SIZE_PROP(TitleSize, 29, FTitleFont),
    BOLD_PROP(TitleBold, 30, FTitleFont),
    COLOUR_PROP(TitleBGColor, 31, FTitleBGColour, kOwn),
    FONT_COLOUR_PROP(TitleColor, 32, FTitleFont, kOwn),
    STRING_PROP(Title, 33, FTitle),
    INT_PROP(Decimals, 34, FDecimals),
    Method("AddData", 35, T::kNone, {{"Name", T::kBstr}, {"Value", T::kR8}, {"Colour", T::kBstr}}, AddDataCall),
    Indexed("ReadName", 36, T::kBstr, {"Index", T::kUI2}, ReadNameGet),
    Indexed("ReadValue", 37, T::kR4, {"Index", T::kUI2}, ReadValueGet),
    Indexed("ReadColor", 38, T::kBstr, {"Index", T::kUI2}, ReadColorGet),
    Method("ClearData", 39, T::kNone, {}, ClearDataCall),
    ReadOnly("DataCount", 40, T::kI4, DataCountGet),
    COLOUR_PROP(GraphPen, 41, FGraphPen, kOwn),
    BYTES_PROP(JPGPie, 42, gtPie, ifJPG),
    BOOL_PROP(ShowLegend, 43, FShowLegend),
    BOOL_PROP(ShowLegendBox, 44, FShowLegendBox),
    BYTES_PROP(GIFPie, 45, gtPie, ifGIF),
    WORD_PROP(OriginX, 46, FOriginX),
    WORD_PROP(OriginY, 47, FOriginY),
    WORD_PROP(MaxX, 48, FMaxX),
    WORD_PROP(MaxY, 49, FMaxY),
    INT_PROP(BarWidth, 50, FBarWidth),
    INT_PROP(BarGap, 51, FBarGap),
    DOUBLE_PROP(YGrad, 52, FYGrad),
    DOUBLE_PROP(YTop, 53, FYTop),
    BYTES_PROP(GIFBar, 54, gtBar, ifGIF),
    BYTES_PROP(JPGBar, 55, gtBar, ifJPG),
    BYTES_PROP(BMPBar, 56, gtBar, ifBMP),
    BYTES_PROP(BMPPie, 57, gtPie, ifBMP),
    SAVE_METHOD(SaveGIFPie, 58, gtPie, ifGIF),
    SAVE_METHOD(SaveJPGPie, 59, gtPie, ifJPG),
    SAVE_METHOD(SaveBMPPie, 60, gtPie, ifBMP),
    SAVE_METHOD(SaveGIFBar, 61, gtBar, ifGIF),
    SAVE_METHOD(SaveJPGBar, 62, gtBar, ifJPG),
    SAVE_METHOD(SaveBMPBar, 63, gtBar, ifBMP),
    FACE_PROP(AxisTextFont, 64, FAxisTextFont),
    SIZE_PROP(AxisTextSize, 65, FAxisTextFont),
    COLOUR_PROP(AxisTextBGColor, 66, FAxisTextBGColour, kOwn),
    FONT_COLOUR_PROP(AxisTextColor, 67, FAxisTextFont, kOwn),
    BOLD_PROP(AxisTextBold, 68, FAxisTextFont),
    STRING_PROP(XAxisText, 70, FXAxisText),
    STRING_PROP(YAxisText, 71, FYAxisText),
    Prop("RNDColor", 72, T::kI4, GetInt<&TChartix::FRNDColour>, PutRNDColor),
    BOOL_PROP(LabelVertical, 73, FLabelVertical),
    WORD_PROP(Offset, 11, FOffset),
    ReadOnly("Version", 69, T::kBstr, VersionGet),
    BOOL_PROP(ShowNumbers, 2, FShowNumbers),
    BOOL_PROP(ShowGrid, 1, FShowGrid),
    COLOUR_PROP(GridColor, 74, FGridColour, kOwn),
    BOOL_PROP(ShowBarTotal, 75, FShowBarTotal),
    Prop("GridStyle", 76, T::kGridStyle, GetGridStyle, PutGridStyle),
    DRAW_BOOL(VerticalBars, 77, FVerticalBars),
    COLOUR_PROP(TransColor, 78, FTransColour, kOwn),
    BYTES_PROP(PNGBar, 79, gtBar, ifPNG),
    BYTES_PROP(PNGPie, 80, gtPie, ifPNG),
    SAVE_METHOD(SavePNGBar, 81, gtBar, ifPNG),
    SAVE_METHOD(SavePNGPie, 82, gtPie, ifPNG),
    Indexed("BMPHandle", 83, T::kI4, {"GraphType", T::kGraphType}, BMPHandleGet),
    BOOL_PROP(Transparent, 84, FTransparent),
    DOUBLE_PROP(XTop, 85, FXTop),
    DOUBLE_PROP(XGrad, 86, FXGrad),
    BOOL_PROP(XValuesVertical, 87, FXValuesVertical),
    WORD_PROP(LineWidth, 88, FLineWidth),
    Prop("PointStyle", 89, T::kPointStyle, GetPointStyle, PutPointStyle),
    WORD_PROP(PointSize, 90, FPointSize),
    SAVE_METHOD(SaveGIFLine, 91, gtLine, ifGIF),
    SAVE_METHOD(SaveBMPLine, 92, gtLine, ifBMP),
    SAVE_METHOD(SavePNGLine, 93, gtLine, ifPNG),
    SAVE_METHOD(SaveJPGLine, 94, gtLine, ifJPG),
    BYTES_PROP(GIFLine, 95, gtLine, ifGIF),
    BYTES_PROP(BMPLine, 96, gtLine, ifBMP),
    BYTES_PROP(JPGLine, 97, gtLine, ifJPG),
    BYTES_PROP(PNGLine, 98, gtLine, ifPNG),
    Method("AddPoint", 99, T::kNone, {{"X", T::kR8}, {"Y", T::kR8}, {"Color", T::kBstr}, {"LineName", T::kBstr}}, AddPointCall),
    Method("AddXValue", 100, T::kNone, {{"Name", T::kR8}, {"Value", T::kBstr}}, AddXValueCall),
    BOOL_PROP(UseXAxisLabels, 101, FUseXAxisLabels),
    DOUBLE_PROP(XOffset, 102, FXOffset),
    DOUBLE_PROP(YOffset, 103, FYOffset),
    BOOL_PROP(UseYAxisLabels, 104, FUseYAxisLabels),
    Method("AddYValue", 105, T::kNone, {{"Name", T::kR8}, {"Value", T::kBstr}}, AddYValueCall),
    WORD_PROP(XMarkSize, 106, FXMarkSize),
    WORD_PROP(YMarkSize, 107, FYMarkSize),
    WORD_PROP(XAxisNegative, 108, FXAxisNegative),
    WORD_PROP(YAxisNegative, 109, FYAxisNegative),
    STRING_PROP(Prefix, 110, FPrefix),
    STRING_PROP(Suffix, 111, FSuffix),
    BOOL_PROP(ShowSeparator, 112, FShowSeparator),
    COLOUR_PROP(PlotAreaColor, 113, FPlotAreaColor, kOwn),
    Method("AddText", 114, T::kNone, {{"Value", T::kBstr}, {"X", T::kI4}, {"Y", T::kI4}, {"Angle", T::kR4}}, AddTextCall),
    BOOL_PROP(ShowLine, 115, FShowLine),
    Method("AddMapArea", 116, T::kNone, {{"URL", T::kBstr}, {"HelpText", T::kBstr}, {"ExtraHTML", T::kBstr}}, AddMapAreaCall),
    STRING_PROP(ImageMapExtra, 117, FImageMapExtra),
    Method("SetImageMapParams", 118, T::kNone, {{"MapName", T::kBstr}, {"DataArea", T::kBool}, {"MapLabel", T::kBool}, {"Legend", T::kBool}}, SetImageMapParamsCall),
    ReadOnly("ImageMapText", 119, T::kBstr, GetString<&TChartix::FImageMapText>),
    FACE_PROP(LineGraphTextFont, 120, FLineGraphFont),
    COLOUR_PROP(LineGraphTextBGColor, 121, FLineGraphTextBGColor, kWhite),
    FONT_COLOUR_PROP(LineGraphTextColor, 122, FLineGraphFont, kBlack),
    SIZE_PROP(LineGraphTextSize, 123, FLineGraphFont),
    BOLD_PROP(LineGraphTextBold, 124, FLineGraphFont),
    TEXT_ALIGN_PROP(LineGraphTextAlign, 125, FLineGraphTextAlign),
    INT_PROP(LineGraphTextX, 126, FLineGraphTextXOffset),
    INT_PROP(LineGraphTextY, 127, FLineGraphTextYOffset),
    BOOL_PROP(LineGraphTextBorder, 128, FLineGraphTextBorder),
    BOOL_PROP(LineGraphTextLeader, 129, FLineGraphTextLeader),
    COLOUR_PROP(LineGraphBorderColor, 130, FLineGraphBorderColor, kBlack),
    COLOUR_PROP(LineGraphLeaderColor, 131, FLineGraphLeaderColor, kBlack),
    Method("AddLineGraphText", 132, T::kNone, {{"Text", T::kBstr}, {"X", T::kR8}, {"Y", T::kR8}, {"Angle", T::kR4}}, AddLineGraphTextCall),
    BOOL_PROP(ShowPlotBorder, 133, FShowPlotBorder),
    TEXT_ALIGN_PROP(TitleTextAlign, 134, FTitleTextAlign),
    BOOL_PROP(HideVGrid, 135, FHideVGrid),
    BOOL_PROP(HideHGrid, 136, FHideHGrid),
    Method("OLEColorToStr", 137, T::kBstr, {{"Color", T::kOleColor}}, OLEColorToStrCall),
    BOOL_PROP(UseXAxisDates, 138, FUseXAxisDates),
    BOOL_PROP(UseYAxisDates, 139, FUseYAxisDates),
    Prop("DateTimeFormat", 140, T::kI4, GetDateTimeFormat, PutDateTimeFormat),
    DRAW_BOOL(UseLZW, 141, FUseLZW),
    BOOL_PROP(ShowStackedValue, 142, FShowStackedValues),
    FACE_PROP(StackedTextFont, 143, FStackedTextFont),
    SIZE_PROP(StackedTextSize, 144, FStackedTextFont),
    COLOUR_PROP(StackedTextBGColor, 145, FStackedTextBGColor, kOwn),
    FONT_COLOUR_PROP(StackedTextColor, 146, FStackedTextFont, kOwn),
    BOOL_PROP(StackedTextTransparent, 147, FStackedTextTransparent),
    Prop("StackedTextAlign", 148, T::kStackedTextAlign, GetStackedAlign, PutStackedAlign),
    Method("AddGroupedData", 149, T::kNone, {{"Group", T::kBstr}, {"Name", T::kBstr}, {"Value", T::kR8}, {"Color", T::kBstr}}, AddGroupedDataCall),
    BYTES_PROP(GIFStackedBar, 150, gtStackedBar, ifGIF),
    BYTES_PROP(JPGStackedBar, 151, gtStackedBar, ifJPG),
    BYTES_PROP(PNGStackedBar, 152, gtStackedBar, ifPNG),
    BYTES_PROP(BMPStackedBar, 153, gtStackedBar, ifBMP),
    SAVE_METHOD(SaveGIFStackedBar, 154, gtStackedBar, ifGIF),
    SAVE_METHOD(SaveJPGStackedBar, 155, gtStackedBar, ifJPG),
    SAVE_METHOD(SavePNGStackedBar, 156, gtStackedBar, ifPNG),
    SAVE_METHOD(SaveBMPStackedBar, 157, gtStackedBar, ifBMP),
    BOOL_PROP(LegendVertical, 158, FLegendVertical),
    TEXT_ALIGN_PROP(LegendAlign, 159, FLegendAlign),
    ReadOnly("CreateGUID", 160, T::kBstr, CreateGUIDGet),
    STRING_PROP(DateFormatString, 161, FDateFormat),
    STRING_PROP(TimeFormatString, 162, FTimeFormat),
    Method("AddExtraLine", 163, T::kNone, {{"X1", T::kI4}, {"Y1", T::kI4}, {"X2", T::kI4}, {"Y2", T::kI4}, {"Thickness", T::kI4}, {"PenStyle", T::kGridStyle}, {"Colour", T::kBstr}}, AddExtraLineCall),
    BOOL_PROP(ShowSeparatorX, 164, FShowSeparatorX),
    BOOL_PROP(ShowSeparatorY, 165, FShowSeparatorY),
    STRING_PROP(PrefixX, 166, FPrefixX),
    STRING_PROP(PrefixY, 167, FPrefixY),
    STRING_PROP(SuffixX, 168, FSuffixX),
    STRING_PROP(SuffixY, 169, FSuffixY),
    FACE_PROP(TextFont, 170, FTextFont),
    SIZE_PROP(TextSize, 171, FTextFont),
    Prop("TextBold", 172, T::kBool, GetTextStyle<fsBold>, PutTextStyle<fsBold>),
    Prop("TextItalic", 173, T::kBool, GetTextStyle<fsItalic>, PutTextStyle<fsItalic>),
    Prop("TextUnderline", 174, T::kBool, GetTextStyle<fsUnderline>, PutTextStyle<fsUnderline>),
    BOOL_PROP(TextTransparent, 175, FTextTransparent),
    COLOUR_PROP(TextBGColor, 176, FTextBGColor, kTextFontColour),
    FONT_COLOUR_PROP(TextColor, 177, FTextFont, kOwn),
    BOOL_PROP(LegendInvert, 178, FLegendInvert),
    BOOL_PROP(LegendHideEmptyNames, 179, FLegendHideEmptyNames),
    SINGLE_PROP(StartAngle, 180, FStartAngle),
    BOOL_PROP(ShowTrendLine, 181, FShowTrendLine),
    COLOUR_PROP(TrendLineColor, 182, FTrendLineColour, kOwn),
    INT_PROP(TrendLineWidth, 183, FTrendLineWidth),
    READ_INT(ReadBarGap, 184, FReadBarGap),
    READ_INT(ReadBarWidth, 185, FReadBarWidth),
    READ_DOUBLE(ReadXGrad, 186, FReadXGrad),
    READ_DOUBLE(ReadXTop, 187, FReadXTop),
    READ_DOUBLE(ReadYGrad, 188, FReadYGrad),
    READ_DOUBLE(ReadYTop, 189, FReadYTop),
    STRING_PROP(TrendLineName, 190, FTrendLineName),
    Method("DummyGraph", 191, T::kNone, {{"GraphType", T::kGraphType}}, DummyGraphCall),
    READ_DOUBLE(XPixelsPerUnit, 192, FXPixelsPerUnit),
    READ_DOUBLE(YPixelsPerUnit, 193, FYPixelsPerUnit),
    READ_INT(FirstBarPos, 194, FFirstBarPos),
    READ_INT(LastBarPos, 195, FLastBarPos),
    BOOL_PROP(BarTotalVertical, 196, FBarTotalVertical),
    BOOL_PROP(ShowLinesWithBars, 197, FShowLinesWithBars),
    BOOL_PROP(ShowTotalifZero, 198, FShowTotalIfZero),
    DRAW_INT(DPI, 199, FDPI),
    Method("AddMarker", 200, T::kNone, {{"X", T::kR8}, {"Y", T::kR8}, {"PointStyle", T::kPointStyle}, {"PointSize", T::kI4}, {"Colour", T::kBstr}}, AddMarkerCall),
    BOOL_PROP(CustomLegend, 201, FCustomLegend),
    Method("AddCustomLegend", 202, T::kNone, {{"Value", T::kBstr}, {"Colour", T::kBstr}}, AddCustomLegendCall),
    Method("ClearCustomLegend", 203, T::kNone, {}, ClearCustomLegendCall),
    Method("Base64Out", 204, T::kBstr, {{"GraphType", T::kGraphType}, {"FileFormat", T::kImageFormat}}, Base64OutCall),
    // IDraw2: the same charts as SVG documents with the image map inside.
    SVG_PROP(SVGPie, 205, gtPie),
    SVG_PROP(SVGBar, 206, gtBar),
    SVG_PROP(SVGLine, 207, gtLine),
    SVG_PROP(SVGStackedBar, 208, gtStackedBar),
    SVG_SAVE_METHOD(SaveSVGPie, 209, gtPie),
    SVG_SAVE_METHOD(SaveSVGBar, 210, gtBar),
    SVG_SAVE_METHOD(SaveSVGLine, 211, gtLine),
    SVG_SAVE_METHOD(SaveSVGStackedBar, 212, gtStackedBar),
};
constexpr size_t kMemberCount = sizeof(kTable) / sizeof(kTable[0]);
// IDraw is published: its members, their numbers and its virtual table never
// change. Newer members go to the end, into IDraw2, numbered above IDraw's.
constexpr size_t kIDrawMembers = 204;
static_assert(kTable[kIDrawMembers - 1].dispid == 204 && kTable[kIDrawMembers].dispid == 205,
              "IDraw ends with Base64Out; IDraw2's members follow it");

}  // namespace

const std::vector<TMember>& Members() {
  static const std::vector<TMember> table(std::begin(kTable), std::end(kTable));
  return table;
}

const TVtableEntry* MemberVtableEntries(size_t* count) {
  // The entries are typed functions made from the table itself, so the
  // virtual table cannot disagree with Invoke about a member.
  static const auto entries = MemberEntries<kTable, kMemberCount>();
  *count = entries.size();
  return entries.data();
}

namespace {

// The members sorted by name, for a binary search.
const std::vector<const TMember*>& ByName() {
  static const std::vector<const TMember*> sorted = [] {
    std::vector<const TMember*> v;
    for (const TMember& m : Members()) v.push_back(&m);
    std::sort(v.begin(), v.end(), [](const TMember* a, const TMember* b) {
      return CompareIgnoringCase(std::string_view(a->name), std::string_view(b->name)) < 0;
    });
    return v;
  }();
  return sorted;
}

}  // namespace

const std::vector<TInterface>& Interfaces() {
  static const std::vector<TInterface> interfaces = {
      {"IDraw", "Dispatch interface for draw Object", &IID_IDraw, 0, kIDrawMembers},
      {"IDraw2", "Dispatch interface for draw Object, with SVG pictures", &IID_IDraw2,
       kIDrawMembers, kMemberCount},
  };
  return interfaces;
}

const TInterface& InterfaceOf(const TMember& member) {
  const size_t index = static_cast<size_t>(&member - Members().data());
  for (const TInterface& i : Interfaces()) {
    if (index < i.end) return i;
  }
  return Interfaces().back();
}

const TMember* FindMember(const std::u16string& name) {
  const auto& sorted = ByName();
  auto it = std::lower_bound(sorted.begin(), sorted.end(), name,
                             [](const TMember* m, const std::u16string& key) {
                               return CompareIgnoringCase(key, m->name) > 0;
                             });
  return it != sorted.end() && EqualIgnoringCase(name, (*it)->name) ? *it : nullptr;
}

const TMember* FindMember(DISPID dispid) {
  // Dispatch numbers run from 1 to the number of members.
  static const std::vector<const TMember*> by_dispid = [] {
    std::vector<const TMember*> v(Members().size() + 1, nullptr);
    for (const TMember& m : Members()) {
      if (m.dispid >= 0 && static_cast<size_t>(m.dispid) < v.size()) v[static_cast<size_t>(m.dispid)] = &m;
    }
    return v;
  }();
  return dispid >= 0 && static_cast<size_t>(dispid) < by_dispid.size()
             ? by_dispid[static_cast<size_t>(dispid)]
             : nullptr;
}

const std::vector<TEnumeration>& Enumerations() {
  static const std::vector<TEnumeration> enumerations = {
      {"TxGridStyle", {{"gsSolid", gsSolid}, {"gsDot", gsDot}, {"gsDash", gsDash}}},
      {"TxPointStyle",
       {{"psxNone", cxpsNone}, {"psxDot", cxpsDot}, {"psxCircle", cxpsCircle},
        {"psxDiagCross", cxpsDCross}, {"psxCross", cxpsVCross}, {"psxSquare", cxpsSquare},
        {"psxDiamond", cxpsDiamond}, {"psxTriangleU", cxpsTriangleU},
        {"psxTriangleD", cxpsTriangleD}}},
      {"TxGraphType",
       {{"gtPie", gtPie}, {"gtBar", gtBar}, {"gtLine", gtLine}, {"gtStackedBar", gtStackedBar}}},
      {"TxTextAlign",
       {{"taTopLeft", cxtaTopLeft}, {"taTopCentre", cxtaTopCentre}, {"taTopRight", cxtaTopRight},
        {"taBaselineLeft", cxtaBaselineLeft}, {"taBaselineCentre", cxtaBaselineCentre},
        {"taBaselineRight", cxtaBaselineRight}, {"taBottomLeft", cxtaBottomLeft},
        {"taBottomCentre", cxtaBottomCentre}, {"taBottomRight", cxtaBottomRight}}},
      {"TxStackedTextAlign",
       {{"stCentreH", cxstCentreH}, {"stCentreV", cxstCentreV}, {"stLeftH", cxstLeftH},
        {"stLeftV", cxstLeftV}, {"stRightH", cxstRightH}, {"stRightV", cxstRightV}}},
      {"TxImageFormat", {{"ifPNG", ifPNG}, {"ifGIF", ifGIF}, {"ifBMP", ifBMP}, {"ifJPG", ifJPG}}},
  };
  return enumerations;
}

// The interface's point styles and text alignments are the engine's own
// values, so they map by number.
static_assert(cxpsDCross == 3 && cxpsVCross == 4 && cxpsTriangleD == 8, "point styles");
static_assert(cxtaBaselineLeft == 3 && cxtaBottomRight == 8, "text alignments");
static_assert(cxstLeftH == 2 && cxstRightV == 5, "stacked text alignments");
static_assert(dtDate == 1 && dtTime == 2, "date-time formats");

VARTYPE VarTypeOf(TArgType type) {
  switch (type) {
    case TArgType::kNone: return VT_EMPTY;
    case TArgType::kUI2: return VT_UI2;
    case TArgType::kR8: return VT_R8;
    case TArgType::kR4: return VT_R4;
    case TArgType::kBool: return VT_BOOL;
    case TArgType::kBstr: return VT_BSTR;
    case TArgType::kVariant: return VT_VARIANT;
    case TArgType::kOleColor: return VT_UI4;
    default: return VT_I4;  // I4 and the enumerations
  }
}

const char* IdlTypeOf(TArgType type) {
  switch (type) {
    case TArgType::kNone: return "void";
    case TArgType::kI4: return "long";
    case TArgType::kUI2: return "unsigned short";
    case TArgType::kR8: return "double";
    case TArgType::kR4: return "float";
    case TArgType::kBool: return "VARIANT_BOOL";
    case TArgType::kBstr: return "BSTR";
    case TArgType::kVariant: return "VARIANT";
    case TArgType::kOleColor: return "OLE_COLOR";
    case TArgType::kGridStyle: return "TxGridStyle";
    case TArgType::kPointStyle: return "TxPointStyle";
    case TArgType::kGraphType: return "TxGraphType";
    case TArgType::kTextAlign: return "TxTextAlign";
    case TArgType::kStackedTextAlign: return "TxStackedTextAlign";
    case TArgType::kImageFormat: return "TxImageFormat";
  }
  return "long";
}

}  // namespace plotvane
