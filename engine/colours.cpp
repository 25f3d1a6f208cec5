// Colour strings and the automatic colours.
//
// Clients see colours as six hexadecimal digits RRGGBB; inside the engine they
// are 0x00BBGGRR. Automatic colours come from a table of 211 web colours (the
// 216 web-safe colours without five greys), walked with a stride of 48 so that
// neighbouring items get colours far apart in the table.

#include "engine/chartix.h"

namespace plotvane {

const std::array<const char16_t*, 211> RNDColourTable = {
    u"990033", u"ff3366", u"cc0033", u"ff0033", u"ff9999", u"cc3366", u"ffccff", u"cc6699",
    u"993366", u"660033", u"cc3399", u"ff99cc", u"ff66cc", u"ff99ff", u"ff6699", u"cc0066",
    u"ff0066", u"ff3399", u"ff0099", u"ff33cc", u"ff00cc", u"ff66ff", u"ff33ff", u"ff00ff",
    u"cc0099", u"990066", u"cc66cc", u"cc33cc", u"cc99ff", u"cc66ff", u"cc33ff", u"993399",
    u"cc00cc", u"cc00ff", u"9900cc", u"990099", u"cc99cc", u"996699", u"663366", u"660099",
    u"9933cc", u"660066", u"9900ff", u"9933ff", u"9966cc", u"330033", u"663399", u"6633cc",
    u"6600cc", u"9966ff", u"330066", u"6600ff", u"6633ff", u"ccccff", u"9999ff", u"9999cc",
    u"6666cc", u"6666ff", u"666699", u"333366", u"333399", u"330099", u"3300cc", u"3300ff",
    u"3333ff", u"3333cc", u"0066ff", u"0033ff", u"3366ff", u"3366cc", u"000066", u"000033",
    u"0000ff", u"000099", u"0033cc", u"0000cc", u"336699", u"0066cc", u"99ccff", u"6699ff",
    u"003366", u"6699cc", u"006699", u"3399cc", u"0099cc", u"66ccff", u"3399ff", u"003399",
    u"0099ff", u"33ccff", u"00ccff", u"99ffff", u"66ffff", u"33ffff", u"00ffff", u"00cccc",
    u"009999", u"669999", u"99cccc", u"ccffff", u"33cccc", u"66cccc", u"339999", u"336666",
    u"006666", u"003333", u"00ffcc", u"33ffcc", u"33cc99", u"00cc99", u"66ffcc", u"99ffcc",
    u"00ff99", u"339966", u"006633", u"336633", u"669966", u"66cc66", u"99ff99", u"66ff66",
    u"339933", u"99cc99", u"66ff99", u"33ff99", u"33cc66", u"00cc66", u"66cc99", u"009966",
    u"009933", u"33ff66", u"00ff66", u"ccffcc", u"ccff99", u"99ff66", u"99ff33", u"00ff33",
    u"33ff33", u"00cc33", u"33cc33", u"66ff33", u"00ff00", u"66cc33", u"006600", u"003300",
    u"009900", u"33ff00", u"66ff00", u"99ff00", u"66cc00", u"00cc00", u"33cc00", u"339900",
    u"99cc66", u"669933", u"99cc33", u"336600", u"669900", u"99cc00", u"ccff66", u"ccff33",
    u"ccff00", u"999900", u"cccc00", u"cccc33", u"333300", u"666600", u"999933", u"cccc66",
    u"666633", u"999966", u"cccc99", u"ffffcc", u"ffff99", u"ffff66", u"ffff33", u"ffff00",
    u"ffcc00", u"ffcc66", u"ffcc33", u"cc9933", u"996600", u"cc9900", u"ff9900", u"cc6600",
    u"993300", u"cc6633", u"663300", u"ff9966", u"ff6633", u"ff9933", u"ff6600", u"cc3300",
    u"996633", u"330000", u"663333", u"996666", u"cc9999", u"993333", u"cc6666", u"ffcccc",
    u"ff3333", u"cc3333", u"ff6666", u"660000", u"990000", u"cc0000", u"ff0000", u"ff3300",
    u"cc9966", u"ffcc99", u"cccccc",
};

namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

std::u16string TChartix::GetColour(TColor colour) {
  static const char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string s(6, u'0');
  const uint8_t bytes[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
  for (int i = 0; i < 3; ++i) {
    s[2 * i] = kDigits[bytes[i] >> 4];
    s[2 * i + 1] = kDigits[bytes[i] & 0x0F];
  }
  return s;
}

std::u16string TChartix::NormaliseColourString(const std::u16string& colour) {
  std::u16string r = colour;
  if (r.size() > 1 && (r[0] == u'#' || r[0] == u'$')) r.erase(0, 1);
  for (char16_t& c : r) {
    if (c == u'o' || c == u'O') c = u'0';
  }
  return r;
}

TColor TChartix::SetColour(const std::u16string& colour, TColor old_colour) {
  const std::u16string n = NormaliseColourString(colour);
  // The pieces RR, GG, BB are reordered to BBGGRR; where the string is short a
  // piece is shorter or empty, so the digits that remain form the number.
  const std::u16string first6 = n.substr(0, 6);
  const std::u16string rr = first6.substr(0, 2);
  const std::u16string gg = first6.size() > 2 ? first6.substr(2, 2) : std::u16string();
  const std::u16string bb = first6.size() > 4 ? first6.substr(4, 2) : std::u16string();
  TColor value = 0;
  for (char16_t c : bb + gg + rr) {
    const int d = HexDigit(c);
    if (d < 0) return old_colour;
    value = (value << 4) | static_cast<TColor>(d);
  }
  return value;
}

void TChartix::NextRNDColour(Integer& index) {
  constexpr int kTableSize = 211;
  constexpr int kStride = 48;
  index = ((index + 1 + kStride) % kTableSize) - 1;
  if (index < 0) index = ((index + 1 + kStride) % kTableSize) - 1;
}

void TChartix::SetRNDColor(Integer value) {
  if (value >= 0 && value <= 210) FRNDColour = value;
}

}  // namespace plotvane
