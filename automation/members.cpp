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

constexpr TMember Prop(const char* name, DISPID id, T type, TGetHandler get, TPutHandler put,
                       const char* default_text, const char* help) {
  return TMember{name, id, K::kGetPut, type, 0, kNoParams, get, put, nullptr, help, default_text};
}
constexpr TMember ReadOnly(const char* name, DISPID id, T type, TGetHandler get,
                           const char* default_text, const char* help) {
  return TMember{name, id, K::kGet, type, 0, kNoParams, get, nullptr, nullptr, help, default_text};
}
constexpr TMember Indexed(const char* name, DISPID id, T type, TParam index, TGetHandler get,
                          const char* help) {
  TMember m{name, id, K::kGet, type, 1, kNoParams, get, nullptr, nullptr, help, ""};
  m.params[0] = index;
  return m;
}
constexpr TMember Method(const char* name, DISPID id, T result,
                         std::initializer_list<TParam> params, TCallHandler call,
                         const char* help) {
  TMember m{name, id, K::kMethod, result, static_cast<uint8_t>(params.size()), kNoParams,
            nullptr, nullptr, call, help, ""};
  size_t i = 0;
  for (const TParam& p : params) m.params[i++] = p;
  return m;
}

// Each property macro takes, after the member's name, number and field, its
// default (D) and its help (H).
#define WORD_PROP(N, ID, F, D, H) \
  Prop(#N, ID, T::kI4, GetWord<&TChartix::F>, PutWord<&TChartix::F>, D, H)
#define INT_PROP(N, ID, F, D, H) \
  Prop(#N, ID, T::kI4, GetInt<&TChartix::F>, PutInt<&TChartix::F>, D, H)
#define DOUBLE_PROP(N, ID, F, D, H) \
  Prop(#N, ID, T::kR8, GetDouble<&TChartix::F>, PutDouble<&TChartix::F>, D, H)
#define SINGLE_PROP(N, ID, F, D, H) \
  Prop(#N, ID, T::kR4, GetSingle<&TChartix::F>, PutSingle<&TChartix::F>, D, H)
#define BOOL_PROP(N, ID, F, D, H) \
  Prop(#N, ID, T::kBool, GetBool<&TChartix::F>, PutBool<&TChartix::F>, D, H)
#define STRING_PROP(N, ID, F, D, H) \
  Prop(#N, ID, T::kBstr, GetString<&TChartix::F>, PutString<&TChartix::F>, D, H)
#define COLOUR_PROP(N, ID, F, B, D, H)                              \
  Prop(#N, ID, T::kBstr, GetColourField<&TChartix::F, Fallback::B>, \
       PutColourField<&TChartix::F, Fallback::B>, D, H)
#define FACE_PROP(N, ID, F, D, H) \
  Prop(#N, ID, T::kBstr, GetFace<&TChartix::F>, PutFace<&TChartix::F>, D, H)
#define SIZE_PROP(N, ID, F, D, H) \
  Prop(#N, ID, T::kI4, GetSize<&TChartix::F>, PutSize<&TChartix::F>, D, H)
#define BOLD_PROP(N, ID, F, D, H) \
  Prop(#N, ID, T::kBool, GetBold<&TChartix::F>, PutBold<&TChartix::F>, D, H)
#define FONT_COLOUR_PROP(N, ID, F, B, D, H)                                                   \
  Prop(#N, ID, T::kBstr, GetFontColour<&TChartix::F>, PutFontColour<&TChartix::F, Fallback::B>, \
       D, H)
#define DRAW_INT(N, ID, F, D, H) \
  Prop(#N, ID, T::kI4, GetDrawInt<&Tdraw::F>, PutDrawInt<&Tdraw::F>, D, H)
#define DRAW_BOOL(N, ID, F, D, H) \
  Prop(#N, ID, T::kBool, GetDrawBool<&Tdraw::F>, PutDrawBool<&Tdraw::F>, D, H)
#define READ_INT(N, ID, F, D, H) ReadOnly(#N, ID, T::kI4, GetInt<&TChartix::F>, D, H)
#define READ_DOUBLE(N, ID, F, D, H) ReadOnly(#N, ID, T::kR8, GetDouble<&TChartix::F>, D, H)
#define TEXT_ALIGN_PROP(N, ID, F, D, H)                        \
  Prop(#N, ID, T::kTextAlign, GetTextAlignField<&TChartix::F>, \
       PutTextAlignField<&TChartix::F>, D, H)
// Pictures and files: the help names the chart and the format.
#define BYTES_PROP(N, ID, K, F, H) ReadOnly(#N, ID, T::kVariant, BytesGet<K, F>, "", H)
#define SAVE_METHOD(N, ID, K, F, H) \
  Method(#N, ID, T::kNone, {{"FileName", T::kBstr}}, SaveCall<K, F>, H)
#define SVG_PROP(N, ID, K, H) ReadOnly(#N, ID, T::kBstr, SvgGet<K>, "", H)
#define SVG_SAVE_METHOD(N, ID, K, H) \
  Method(#N, ID, T::kNone, {{"FileName", T::kBstr}}, SvgSaveCall<K>, H)

// Colours are RRGGBB texts ("FF0000" is red). Unless its help says
// otherwise, a colour property keeps its value when written with a text it
// cannot read.
//
// In virtual-table order, which is also the order of the type library.
constexpr TMember kTable[] = {
    WORD_PROP(Width, 3, FWidth, "400", "Width of the picture in pixels."),
    WORD_PROP(Height, 4, FHeight, "300", "Height of the picture in pixels."),
    WORD_PROP(CenterX, 5, FCentreX, "175",
              "Pie: horizontal position of the centre, in pixels from the left edge."),
    WORD_PROP(CenterY, 6, FCentreY, "150",
              "Pie: vertical position of the centre, in pixels from the top edge."),
    COLOUR_PROP(BGColor, 7, FBGColour, kOwn, R"("FFFFFF")",
                "Background colour of the whole picture."),
    WORD_PROP(PieDia, 8, FPieDia, "200",
              "Pie: diameter in pixels; drawing makes an even diameter odd by adding 1."),
    BOOL_PROP(ShowLabel, 9, FShowLabel, "True",
              "Writes the item names beside the pie slices and at the bars."),
    BOOL_PROP(ShowPercent, 10, FShowPercent, "False",
              "Writes numbers as percentages of the total instead of the values."),
    FACE_PROP(LabelFont, 12, FLabelFont, R"("Arial")",
              "Font face of the labels, bar totals and axis numbers; an empty text is ignored."),
    SIZE_PROP(LabelSize, 13, FLabelFont, "8",
              "Size in points of the labels, bar totals and axis numbers."),
    BOLD_PROP(LabelBold, 14, FLabelFont, "False",
              "Draws the labels, bar totals and axis numbers bold."),
    COLOUR_PROP(LabelBGColor, 15, FLabelBGColour, kOwn, R"("FFFFFF")",
                "Background colour behind the labels."),
    FONT_COLOUR_PROP(LabelColor, 16, FLabelFont, kOwn, R"("000000")",
                     "Colour of the labels, bar totals and axis numbers."),
    WORD_PROP(LegendX, 17, FLegendX, "320",
              "Horizontal position of the legend in pixels; LegendAlign says which of its points lies there."),
    WORD_PROP(LegendY, 18, FLegendY, "10", "Vertical position of the legend in pixels."),
    WORD_PROP(Square, 19, FSquare, "8", "Side of a legend's colour swatch in pixels."),
    WORD_PROP(Padding, 20, FPadding, "5", "Spacing inside the legend in pixels."),
    FACE_PROP(LegendFont, 21, FLegendFont, R"("Arial")",
              "Font face of the legend; an empty text is ignored."),
    SIZE_PROP(LegendTextSize, 22, FLegendFont, "8", "Size in points of the legend's text."),
    COLOUR_PROP(LegendBGColor, 23, FLegendBGColour, kOwn, R"("FFFFFF")",
                "Background colour of the legend."),
    FONT_COLOUR_PROP(LegendColor, 24, FLegendFont, kOwn, R"("000000")",
                     "Colour of the legend's text."),
    DRAW_INT(JPegQuality, 25, FJpegQuality, "100",
             "JPEG quality from 0 to 100; the encoder takes the low 8 bits of the value."),
    WORD_PROP(TitleX, 26, FTitleX, "0",
              "Horizontal position of the title in pixels; TitleTextAlign says which of its points lies there."),
    WORD_PROP(TitleY, 27, FTitleY, "0", "Vertical position of the title in pixels."),
    FACE_PROP(TitleFont, 28, FTitleFont, R"("Arial")",
              "Font face of the title; an empty text is ignored."),
    SIZE_PROP(TitleSize, 29, FTitleFont, "8", "Size in points of the title."),
    BOLD_PROP(TitleBold, 30, FTitleFont, "True", "Draws the title bold."),
    COLOUR_PROP(TitleBGColor, 31, FTitleBGColour, kOwn, R"("FFFFFF")",
                "Background colour behind the title."),
    FONT_COLOUR_PROP(TitleColor, 32, FTitleFont, kOwn, R"("000000")", "Colour of the title."),
    STRING_PROP(Title, 33, FTitle, R"("")", "Title of the chart; an empty title is not drawn."),
    INT_PROP(Decimals, 34, FDecimals, "0",
             "Number of decimals of the values and axis numbers written on the chart."),
    Method("AddData", 35, T::kNone, {{"Name", T::kBstr}, {"Value", T::kR8}, {"Colour", T::kBstr}},
           AddDataCall,
           R"(Adds an item of a pie or bar chart: its name, value and colour ("R" takes the next automatic colour; an unreadable colour is black).)"),
    Indexed("ReadName", 36, T::kBstr, {"Index", T::kUI2}, ReadNameGet,
            R"(The name of data item Index, counted from 0; "" beyond the last.)"),
    Indexed("ReadValue", 37, T::kR4, {"Index", T::kUI2}, ReadValueGet,
            "The value of data item Index, counted from 0, in single precision; 0 beyond the last."),
    Indexed("ReadColor", 38, T::kBstr, {"Index", T::kUI2}, ReadColorGet,
            R"(The colour of data item Index, counted from 0; "000000" beyond the last.)"),
    Method("ClearData", 39, T::kNone, {}, ClearDataCall,
           "Removes the data items, points, stacked values, text items, markers, extra lines and image-map entries; settings stay."),
    ReadOnly("DataCount", 40, T::kI4, DataCountGet, "0", "Number of data items added with AddData."),
    COLOUR_PROP(GraphPen, 41, FGraphPen, kOwn, R"("000000")",
                "Colour of the outlines, axes and scale marks."),
    BYTES_PROP(JPGPie, 42, gtPie, ifJPG, "The pie chart as JPEG bytes."),
    BOOL_PROP(ShowLegend, 43, FShowLegend, "True", "Draws the legend."),
    BOOL_PROP(ShowLegendBox, 44, FShowLegendBox, "True", "Draws a frame around the legend."),
    BYTES_PROP(GIFPie, 45, gtPie, ifGIF, "The pie chart as GIF bytes."),
    WORD_PROP(OriginX, 46, FOriginX, "50",
              "Horizontal position in pixels of the axes' origin (bar, stacked bar and line charts)."),
    WORD_PROP(OriginY, 47, FOriginY, "250", "Vertical position in pixels of the axes' origin."),
    WORD_PROP(MaxX, 48, FMaxX, "250", "Length in pixels of the category (X) axis."),
    WORD_PROP(MaxY, 49, FMaxY, "200",
              "Length in pixels of the value axis, which lies horizontally in horizontal bar charts."),
    INT_PROP(BarWidth, 50, FBarWidth, "0", "Width of a bar in pixels; 0 chooses it from the axis."),
    INT_PROP(BarGap, 51, FBarGap, "0", "Gap between two bars in pixels; 0 chooses it from the axis."),
    DOUBLE_PROP(YGrad, 52, FYGrad, "0",
                "Step between the numbered ticks of the value axis; 0 chooses it."),
    DOUBLE_PROP(YTop, 53, FYTop, "0", "Top value of the value axis; 0 chooses it from the data."),
    BYTES_PROP(GIFBar, 54, gtBar, ifGIF,
               "The bar chart as GIF bytes, vertical or horizontal by VerticalBars."),
    BYTES_PROP(JPGBar, 55, gtBar, ifJPG,
               "The bar chart as JPEG bytes, vertical or horizontal by VerticalBars."),
    BYTES_PROP(BMPBar, 56, gtBar, ifBMP,
               "The bar chart as BMP bytes, vertical or horizontal by VerticalBars."),
    BYTES_PROP(BMPPie, 57, gtPie, ifBMP, "The pie chart as BMP bytes."),
    SAVE_METHOD(SaveGIFPie, 58, gtPie, ifGIF,
                "Writes the pie chart as GIF to the file FileName, created or overwritten."),
    SAVE_METHOD(SaveJPGPie, 59, gtPie, ifJPG,
                "Writes the pie chart as JPEG to the file FileName, created or overwritten."),
    SAVE_METHOD(SaveBMPPie, 60, gtPie, ifBMP,
                "Writes the pie chart as BMP to the file FileName, created or overwritten."),
    SAVE_METHOD(SaveGIFBar, 61, gtBar, ifGIF,
                "Writes the bar chart as GIF to the file FileName, created or overwritten."),
    SAVE_METHOD(SaveJPGBar, 62, gtBar, ifJPG,
                "Writes the bar chart as JPEG to the file FileName, created or overwritten."),
    SAVE_METHOD(SaveBMPBar, 63, gtBar, ifBMP,
                "Writes the bar chart as BMP to the file FileName, created or overwritten."),
    FACE_PROP(AxisTextFont, 64, FAxisTextFont, R"("Arial")",
              "Font face of the axis captions; an empty text is ignored."),
    SIZE_PROP(AxisTextSize, 65, FAxisTextFont, "8", "Size in points of the axis captions."),
    COLOUR_PROP(AxisTextBGColor, 66, FAxisTextBGColour, kOwn, R"("FFFFFF")",
                "Background colour behind the axis captions."),
    FONT_COLOUR_PROP(AxisTextColor, 67, FAxisTextFont, kOwn, R"("000000")",
                     "Colour of the axis captions."),
    BOLD_PROP(AxisTextBold, 68, FAxisTextFont, "False", "Draws the axis captions bold."),
    STRING_PROP(XAxisText, 70, FXAxisText, R"("")", "Caption of the category (X) axis."),
    STRING_PROP(YAxisText, 71, FYAxisText, R"("")", "Caption of the value (Y) axis."),
    Prop("RNDColor", 72, T::kI4, GetInt<&TChartix::FRNDColour>, PutRNDColor, "0",
         R"(Index from 0 to 210 of the automatic colour that the next item of colour "R" gets; other values are ignored.)"),
    BOOL_PROP(LabelVertical, 73, FLabelVertical, "False",
              "Turns the bar names by 90 degrees, to read upwards."),
    WORD_PROP(Offset, 11, FOffset, "10", "Pie: distance of the slice labels from the rim in pixels."),
    ReadOnly("Version", 69, T::kBstr, VersionGet, "",
             "The component's name, version number and word size."),
    BOOL_PROP(ShowNumbers, 2, FShowNumbers, "True",
              "Writes the values beside slices and bars and the numbers along the value axes."),
    BOOL_PROP(ShowGrid, 1, FShowGrid, "False", "Draws grid lines at the ticks of the axes."),
    COLOUR_PROP(GridColor, 74, FGridColour, kOwn, R"("000000")", "Colour of the grid lines."),
    BOOL_PROP(ShowBarTotal, 75, FShowBarTotal, "False", "Writes each bar's value at its end."),
    Prop("GridStyle", 76, T::kGridStyle, GetGridStyle, PutGridStyle, "gsDot",
         "Pen style of the grid lines; other values change nothing."),
    DRAW_BOOL(VerticalBars, 77, FVerticalBars, "True",
              "Bar and stacked bar pictures have upright bars; False lays them down."),
    COLOUR_PROP(TransColor, 78, FTransColour, kOwn, R"("FFFFFF")",
                "The colour that Transparent makes transparent in GIF and PNG pictures."),
    BYTES_PROP(PNGBar, 79, gtBar, ifPNG,
               "The bar chart as PNG bytes, vertical or horizontal by VerticalBars."),
    BYTES_PROP(PNGPie, 80, gtPie, ifPNG, "The pie chart as PNG bytes."),
    SAVE_METHOD(SavePNGBar, 81, gtBar, ifPNG,
                "Writes the bar chart as PNG to the file FileName, created or overwritten."),
    SAVE_METHOD(SavePNGPie, 82, gtPie, ifPNG,
                "Writes the pie chart as PNG to the file FileName, created or overwritten."),
    Indexed("BMPHandle", 83, T::kI4, {"GraphType", T::kGraphType}, BMPHandleGet,
            "A bitmap handle of the chart of kind GraphType; the caller owns it and deletes it."),
    BOOL_PROP(Transparent, 84, FTransparent, "False",
              "GIF and PNG pictures make TransColor transparent."),
    DOUBLE_PROP(XTop, 85, FXTop, "0",
                "Line graph: top value of the X axis; 0 chooses it from the data."),
    DOUBLE_PROP(XGrad, 86, FXGrad, "0",
                "Line graph: step between the numbered ticks of the X axis; 0 chooses it."),
    BOOL_PROP(XValuesVertical, 87, FXValuesVertical, "True",
              "Writes the numbers along a horizontal value axis turned by 90 degrees."),
    WORD_PROP(LineWidth, 88, FLineWidth, "1", "Pen width in pixels of the lines of a line graph."),
    Prop("PointStyle", 89, T::kPointStyle, GetPointStyle, PutPointStyle, "psxNone",
         "Glyph drawn at each point of a line; other values draw none."),
    WORD_PROP(PointSize, 90, FPointSize, "2", "Size in pixels of the point glyphs."),
    SAVE_METHOD(SaveGIFLine, 91, gtLine, ifGIF,
                "Writes the line graph as GIF to the file FileName, created or overwritten."),
    SAVE_METHOD(SaveBMPLine, 92, gtLine, ifBMP,
                "Writes the line graph as BMP to the file FileName, created or overwritten."),
    SAVE_METHOD(SavePNGLine, 93, gtLine, ifPNG,
                "Writes the line graph as PNG to the file FileName, created or overwritten."),
    SAVE_METHOD(SaveJPGLine, 94, gtLine, ifJPG,
                "Writes the line graph as JPEG to the file FileName, created or overwritten."),
    BYTES_PROP(GIFLine, 95, gtLine, ifGIF, "The line graph as GIF bytes."),
    BYTES_PROP(BMPLine, 96, gtLine, ifBMP, "The line graph as BMP bytes."),
    BYTES_PROP(JPGLine, 97, gtLine, ifJPG, "The line graph as JPEG bytes."),
    BYTES_PROP(PNGLine, 98, gtLine, ifPNG, "The line graph as PNG bytes."),
    Method("AddPoint", 99, T::kNone,
           {{"X", T::kR8}, {"Y", T::kR8}, {"Color", T::kBstr}, {"LineName", T::kBstr}}, AddPointCall,
           "Adds the point (X, Y) to the line of colour Color, named LineName in the legend; the points of one colour form one line."),
    Method("AddXValue", 100, T::kNone, {{"Name", T::kR8}, {"Value", T::kBstr}}, AddXValueCall,
           "Labels the X-axis number Name with the text Value, shown when UseXAxisLabels is on."),
    BOOL_PROP(UseXAxisLabels, 101, FUseXAxisLabels, "False",
              "Writes the labels of AddXValue instead of the X-axis numbers."),
    DOUBLE_PROP(XOffset, 102, FXOffset, "0", "Line graph: the value of the X axis at the origin."),
    DOUBLE_PROP(YOffset, 103, FYOffset, "0", "The value of the value axis at the origin."),
    BOOL_PROP(UseYAxisLabels, 104, FUseYAxisLabels, "False",
              "Writes the labels of AddYValue instead of the value-axis numbers."),
    Method("AddYValue", 105, T::kNone, {{"Name", T::kR8}, {"Value", T::kBstr}}, AddYValueCall,
           "Labels the value-axis number Name with the text Value, shown when UseYAxisLabels is on."),
    WORD_PROP(XMarkSize, 106, FXMarkSize, "4", "Length in pixels of the tick marks of the X axis."),
    WORD_PROP(YMarkSize, 107, FYMarkSize, "4",
              "Length in pixels of the tick marks of the value axis."),
    WORD_PROP(XAxisNegative, 108, FXAxisNegative, "0",
              "Pixels of the X axis on the negative side of the origin."),
    WORD_PROP(YAxisNegative, 109, FYAxisNegative, "0",
              "Pixels of the value axis on the negative side of the origin, for negative values."),
    STRING_PROP(Prefix, 110, FPrefix, R"("")",
                "Text written before every value and axis number, such as a currency sign."),
    STRING_PROP(Suffix, 111, FSuffix, R"("")",
                "Text written after every value and axis number, such as a unit."),
    BOOL_PROP(ShowSeparator, 112, FShowSeparator, "False",
              "Writes thousands separators in every number."),
    COLOUR_PROP(PlotAreaColor, 113, FPlotAreaColor, kOwn, R"("FFFFFF")",
                "Fill colour of the plot area of bar, stacked bar and line charts."),
    Method("AddText", 114, T::kNone,
           {{"Value", T::kBstr}, {"X", T::kI4}, {"Y", T::kI4}, {"Angle", T::kR4}}, AddTextCall,
           "Adds a text in the Text font, its top-left corner at the pixel (X, Y), turned Angle degrees counter-clockwise."),
    BOOL_PROP(ShowLine, 115, FShowLine, "True", "Line graph: joins the points of each line."),
    Method("AddMapArea", 116, T::kNone,
           {{"URL", T::kBstr}, {"HelpText", T::kBstr}, {"ExtraHTML", T::kBstr}}, AddMapAreaCall,
           "Adds the image-map entry of the next data item: its link (may be empty), its title and extra attribute text."),
    STRING_PROP(ImageMapExtra, 117, FImageMapExtra, R"("")",
                "Text put into the image map just before its closing tag."),
    Method("SetImageMapParams", 118, T::kNone,
           {{"MapName", T::kBstr}, {"DataArea", T::kBool}, {"MapLabel", T::kBool}, {"Legend", T::kBool}},
           SetImageMapParamsCall,
           R"(Names the image map ("map1" before any call) and chooses whether data shapes, labels and legend entries get areas (all True before).)"),
    ReadOnly("ImageMapText", 119, T::kBstr, GetString<&TChartix::FImageMapText>, R"("")",
             "The HTML image map of the last picture drawn; empty until AddMapArea is called."),
    FACE_PROP(LineGraphTextFont, 120, FLineGraphFont, R"("Arial")",
              "Font face of the text items of a line graph; an empty text is ignored."),
    COLOUR_PROP(LineGraphTextBGColor, 121, FLineGraphTextBGColor, kWhite, R"("FFFFFF")",
                "Background colour of the text items of a line graph; an unreadable colour is white."),
    FONT_COLOUR_PROP(LineGraphTextColor, 122, FLineGraphFont, kBlack, R"("000000")",
                     "Colour of the text items of a line graph; an unreadable colour is black."),
    SIZE_PROP(LineGraphTextSize, 123, FLineGraphFont, "8",
              "Size in points of the text items of a line graph."),
    BOLD_PROP(LineGraphTextBold, 124, FLineGraphFont, "False",
              "Draws the text items of a line graph bold."),
    TEXT_ALIGN_PROP(LineGraphTextAlign, 125, FLineGraphTextAlign, "taTopLeft",
                    "Which point of a line graph's text item lies at its position; other values are taTopLeft."),
    INT_PROP(LineGraphTextX, 126, FLineGraphTextXOffset, "0",
             "Horizontal distance in pixels of a line graph's text items from their points."),
    INT_PROP(LineGraphTextY, 127, FLineGraphTextYOffset, "0",
             "Vertical distance in pixels of a line graph's text items from their points."),
    BOOL_PROP(LineGraphTextBorder, 128, FLineGraphTextBorder, "False",
              "Frames the text items of a line graph that are turned by 0 or 90 degrees."),
    BOOL_PROP(LineGraphTextLeader, 129, FLineGraphTextLeader, "False",
              "Draws a line from each text item's point to its text."),
    COLOUR_PROP(LineGraphBorderColor, 130, FLineGraphBorderColor, kBlack, R"("000000")",
                "Colour of the frames of a line graph's text items; an unreadable colour is black."),
    COLOUR_PROP(LineGraphLeaderColor, 131, FLineGraphLeaderColor, kBlack, R"("000000")",
                "Colour of the lines to a line graph's text items; an unreadable colour is black."),
    Method("AddLineGraphText", 132, T::kNone,
           {{"Text", T::kBstr}, {"X", T::kR8}, {"Y", T::kR8}, {"Angle", T::kR4}}, AddLineGraphTextCall,
           "Adds a text item of the line graph at (X, Y) in the units of its axes, turned Angle degrees counter-clockwise."),
    BOOL_PROP(ShowPlotBorder, 133, FShowPlotBorder, "False", "Draws a frame around the plot area."),
    TEXT_ALIGN_PROP(TitleTextAlign, 134, FTitleTextAlign, "taTopLeft",
                    "Which point of the title lies at (TitleX, TitleY); other values are taTopLeft."),
    BOOL_PROP(HideVGrid, 135, FHideVGrid, "False", "Leaves out the vertical grid lines."),
    BOOL_PROP(HideHGrid, 136, FHideHGrid, "False", "Leaves out the horizontal grid lines."),
    Method("OLEColorToStr", 137, T::kBstr, {{"Color", T::kOleColor}}, OLEColorToStrCall,
           "The RRGGBB text of the colour number Color, 0x00BBGGRR; its high byte is dropped."),
    BOOL_PROP(UseXAxisDates, 138, FUseXAxisDates, "False",
              "Writes the X-axis numbers as dates and times (days since 30 December 1899)."),
    BOOL_PROP(UseYAxisDates, 139, FUseYAxisDates, "False",
              "Writes the value-axis numbers as dates and times (days since 30 December 1899)."),
    Prop("DateTimeFormat", 140, T::kI4, GetDateTimeFormat, PutDateTimeFormat, "0",
         "What axis dates show: 0 date and time, 1 the date, 2 the time; other values are 0."),
    DRAW_BOOL(UseLZW, 141, FUseLZW, "True", "Kept and read back; no picture depends on it."),
    BOOL_PROP(ShowStackedValue, 142, FShowStackedValues, "False",
              "Writes each stacked value on its segment."),
    FACE_PROP(StackedTextFont, 143, FStackedTextFont, R"("Arial")",
              "Font face of the stacked values; an empty text is ignored."),
    SIZE_PROP(StackedTextSize, 144, FStackedTextFont, "8", "Size in points of the stacked values."),
    COLOUR_PROP(StackedTextBGColor, 145, FStackedTextBGColor, kOwn, R"("FFFFFF")",
                "Background colour behind the stacked values."),
    FONT_COLOUR_PROP(StackedTextColor, 146, FStackedTextFont, kOwn, R"("000000")",
                     "Colour of the stacked values."),
    BOOL_PROP(StackedTextTransparent, 147, FStackedTextTransparent, "True",
              "Writes the stacked values without a background."),
    Prop("StackedTextAlign", 148, T::kStackedTextAlign, GetStackedAlign, PutStackedAlign,
         "stCentreH", "Where and which way the stacked values are written; other values change nothing."),
    Method("AddGroupedData", 149, T::kNone,
           {{"Group", T::kBstr}, {"Name", T::kBstr}, {"Value", T::kR8}, {"Color", T::kBstr}},
           AddGroupedDataCall,
           "Adds a segment of a stacked bar: its group (one bar per group), name, value (kept as its absolute value) and colour."),
    BYTES_PROP(GIFStackedBar, 150, gtStackedBar, ifGIF,
               "The stacked bar chart as GIF bytes, vertical or horizontal by VerticalBars."),
    BYTES_PROP(JPGStackedBar, 151, gtStackedBar, ifJPG,
               "The stacked bar chart as JPEG bytes, vertical or horizontal by VerticalBars."),
    BYTES_PROP(PNGStackedBar, 152, gtStackedBar, ifPNG,
               "The stacked bar chart as PNG bytes, vertical or horizontal by VerticalBars."),
    BYTES_PROP(BMPStackedBar, 153, gtStackedBar, ifBMP,
               "The stacked bar chart as BMP bytes, vertical or horizontal by VerticalBars."),
    SAVE_METHOD(SaveGIFStackedBar, 154, gtStackedBar, ifGIF,
                "Writes the stacked bar chart as GIF to the file FileName, created or overwritten."),
    SAVE_METHOD(SaveJPGStackedBar, 155, gtStackedBar, ifJPG,
                "Writes the stacked bar chart as JPEG to the file FileName, created or overwritten."),
    SAVE_METHOD(SavePNGStackedBar, 156, gtStackedBar, ifPNG,
                "Writes the stacked bar chart as PNG to the file FileName, created or overwritten."),
    SAVE_METHOD(SaveBMPStackedBar, 157, gtStackedBar, ifBMP,
                "Writes the stacked bar chart as BMP to the file FileName, created or overwritten."),
    BOOL_PROP(LegendVertical, 158, FLegendVertical, "True",
              "Lists the legend's entries one under the other; False puts them side by side."),
    TEXT_ALIGN_PROP(LegendAlign, 159, FLegendAlign, "taTopLeft",
                    "Which point of the legend lies at (LegendX, LegendY); other values are taTopLeft."),
    ReadOnly("CreateGUID", 160, T::kBstr, CreateGUIDGet, "",
             "A new globally unique identifier at every read: 36 characters, without braces."),
    STRING_PROP(DateFormatString, 161, FDateFormat, R"("")",
                R"(Pattern of the dates on the axes, such as "dd/mm/yyyy", which is also what "" gives.)"),
    STRING_PROP(TimeFormatString, 162, FTimeFormat, R"("")",
                R"(Pattern of the times on the axes, such as "hh:nn:ss", which is also what "" gives.)"),
    Method("AddExtraLine", 163, T::kNone,
           {{"X1", T::kI4}, {"Y1", T::kI4}, {"X2", T::kI4}, {"Y2", T::kI4}, {"Thickness", T::kI4},
            {"PenStyle", T::kGridStyle}, {"Colour", T::kBstr}},
           AddExtraLineCall,
           "Adds a line from the pixel (X1, Y1) to (X2, Y2), Thickness pixels wide, in PenStyle and Colour, drawn over the chart."),
    BOOL_PROP(ShowSeparatorX, 164, FShowSeparatorX, "False",
              "Writes thousands separators in the X-axis numbers."),
    BOOL_PROP(ShowSeparatorY, 165, FShowSeparatorY, "False",
              "Writes thousands separators in the value-axis numbers."),
    STRING_PROP(PrefixX, 166, FPrefixX, R"("")", "Text written before the X-axis numbers."),
    STRING_PROP(PrefixY, 167, FPrefixY, R"("")", "Text written before the value-axis numbers."),
    STRING_PROP(SuffixX, 168, FSuffixX, R"("")", "Text written after the X-axis numbers."),
    STRING_PROP(SuffixY, 169, FSuffixY, R"("")", "Text written after the value-axis numbers."),
    FACE_PROP(TextFont, 170, FTextFont, R"("Arial")",
              "Font face of the texts of AddText; an empty text is ignored."),
    SIZE_PROP(TextSize, 171, FTextFont, "8", "Size in points of the texts of AddText."),
    Prop("TextBold", 172, T::kBool, GetTextStyle<fsBold>, PutTextStyle<fsBold>, "False",
         "Draws the texts of AddText bold."),
    Prop("TextItalic", 173, T::kBool, GetTextStyle<fsItalic>, PutTextStyle<fsItalic>, "False",
         "Draws the texts of AddText in italics."),
    Prop("TextUnderline", 174, T::kBool, GetTextStyle<fsUnderline>, PutTextStyle<fsUnderline>,
         "False", "Underlines the texts of AddText."),
    BOOL_PROP(TextTransparent, 175, FTextTransparent, "True",
              "Draws the texts of AddText without a background."),
    COLOUR_PROP(TextBGColor, 176, FTextBGColor, kTextFontColour, R"("FFFFFF")",
                "Background colour of the texts of AddText; an unreadable colour takes TextColor."),
    FONT_COLOUR_PROP(TextColor, 177, FTextFont, kOwn, R"("000000")",
                     "Colour of the texts of AddText."),
    BOOL_PROP(LegendInvert, 178, FLegendInvert, "False",
              "Lists the legend's entries in reverse order."),
    BOOL_PROP(LegendHideEmptyNames, 179, FLegendHideEmptyNames, "False",
              "Gives items with an empty name no legend entry."),
    SINGLE_PROP(StartAngle, 180, FStartAngle, "0",
                "Pie: angle in degrees of the first slice's edge, counter-clockwise from straight down."),
    BOOL_PROP(ShowTrendLine, 181, FShowTrendLine, "False",
              "Bar charts: draws the least-squares trend line of the bar values."),
    COLOUR_PROP(TrendLineColor, 182, FTrendLineColour, kOwn, R"("000000")",
                "Colour of the trend line."),
    INT_PROP(TrendLineWidth, 183, FTrendLineWidth, "1", "Pen width in pixels of the trend line."),
    READ_INT(ReadBarGap, 184, FReadBarGap, "0",
             "The gap between bars, in pixels, that the last bar or stacked bar chart used."),
    READ_INT(ReadBarWidth, 185, FReadBarWidth, "0",
             "The bar width in pixels that the last bar or stacked bar chart used."),
    READ_DOUBLE(ReadXGrad, 186, FReadXGrad, "0", "The X-axis step that the last line graph used."),
    READ_DOUBLE(ReadXTop, 187, FReadXTop, "0",
                "The X-axis top value that the last line graph used."),
    READ_DOUBLE(ReadYGrad, 188, FReadYGrad, "0",
                "The value-axis step that the last chart with a value axis used."),
    READ_DOUBLE(ReadYTop, 189, FReadYTop, "0",
                "The value-axis top value that the last chart with a value axis used."),
    STRING_PROP(TrendLineName, 190, FTrendLineName, R"("")", "Legend text of the trend line."),
    Method("DummyGraph", 191, T::kNone, {{"GraphType", T::kGraphType}}, DummyGraphCall,
           "Draws the chart of kind GraphType without a picture, for ImageMapText and the read-back values."),
    READ_DOUBLE(XPixelsPerUnit, 192, FXPixelsPerUnit, "0",
                "Pixels per unit of the X direction in the last drawing (from bar to bar in vertical bar charts)."),
    READ_DOUBLE(YPixelsPerUnit, 193, FYPixelsPerUnit, "0",
                "Pixels per unit of the Y direction in the last drawing (from bar to bar in horizontal bar charts)."),
    READ_INT(FirstBarPos, 194, FFirstBarPos, "0",
             "Pixel position of the first bar's centre in the last bar or stacked bar chart."),
    READ_INT(LastBarPos, 195, FLastBarPos, "0",
             "Pixel position of the last bar's centre in the last bar or stacked bar chart."),
    BOOL_PROP(BarTotalVertical, 196, FBarTotalVertical, "False",
              "Turns the bar totals by 90 degrees."),
    BOOL_PROP(ShowLinesWithBars, 197, FShowLinesWithBars, "False",
              "Draws the lines of AddPoint over bar and stacked bar charts, the k-th point over the k-th bar."),
    BOOL_PROP(ShowTotalifZero, 198, FShowTotalIfZero, "True",
              "Writes the total also of a bar whose value is the origin's value."),
    DRAW_INT(DPI, 199, FDPI, "0", "Resolution written into PNG pictures, in dots per inch; 0 writes none."),
    Method("AddMarker", 200, T::kNone,
           {{"X", T::kR8}, {"Y", T::kR8}, {"PointStyle", T::kPointStyle}, {"PointSize", T::kI4},
            {"Colour", T::kBstr}},
           AddMarkerCall,
           "Adds a glyph at (X, Y) in the units of the line graph's axes, of PointStyle, PointSize pixels and Colour."),
    BOOL_PROP(CustomLegend, 201, FCustomLegend, "False",
              "Shows the entries of AddCustomLegend as the legend instead of the data's."),
    Method("AddCustomLegend", 202, T::kNone, {{"Value", T::kBstr}, {"Colour", T::kBstr}},
           AddCustomLegendCall, "Adds an entry of the custom legend: its text and colour."),
    Method("ClearCustomLegend", 203, T::kNone, {}, ClearCustomLegendCall,
           "Removes every entry of the custom legend."),
    Method("Base64Out", 204, T::kBstr, {{"GraphType", T::kGraphType}, {"FileFormat", T::kImageFormat}},
           Base64OutCall,
           R"(The chart of kind GraphType in FileFormat as Base64 text, lines broken after 76 characters; an unknown format gives "".)"),
    // IDraw2: the same charts as SVG documents with the image map inside.
    SVG_PROP(SVGPie, 205, gtPie,
             "The pie chart as an SVG document, its image map inside as links."),
    SVG_PROP(SVGBar, 206, gtBar,
             "The bar chart as an SVG document, vertical or horizontal by VerticalBars, its image map inside as links."),
    SVG_PROP(SVGLine, 207, gtLine,
             "The line graph as an SVG document, its image map inside as links."),
    SVG_PROP(SVGStackedBar, 208, gtStackedBar,
             "The stacked bar chart as an SVG document, vertical or horizontal by VerticalBars, its image map inside as links."),
    SVG_SAVE_METHOD(SaveSVGPie, 209, gtPie,
                    "Writes the pie chart as SVG to the file FileName, created or overwritten."),
    SVG_SAVE_METHOD(SaveSVGBar, 210, gtBar,
                    "Writes the bar chart as SVG to the file FileName, created or overwritten."),
    SVG_SAVE_METHOD(SaveSVGLine, 211, gtLine,
                    "Writes the line graph as SVG to the file FileName, created or overwritten."),
    SVG_SAVE_METHOD(SaveSVGStackedBar, 212, gtStackedBar,
                    "Writes the stacked bar chart as SVG to the file FileName, created or overwritten."),
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

std::string MemberDocumentation(const TMember& member) {
  std::string text = member.help;
  if (*member.default_text != '\0') text += std::string(" Default: ") + member.default_text + ".";
  return text;
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
