// The plotvane command.
//   plotvane demo [--out DIR]   renders the sample gallery
//   plotvane --version
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/chartix.h"

namespace {

std::string Utf8(const std::u16string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

int Demo() {
  plotvane::TChartix chart;
  std::printf("Plotvane engine defaults\n");
  std::printf("  Width x Height     %d x %d\n", chart.FWidth, chart.FHeight);
  std::printf("  BGColor            %s\n", Utf8(chart.GetColour(chart.FBGColour)).c_str());
  std::printf("  CenterX, CenterY   %d, %d\n", chart.FCentreX, chart.FCentreY);
  std::printf("  PieDia, Offset     %d, %d\n", chart.FPieDia, chart.FOffset);
  std::printf("  LegendX, LegendY   %d, %d\n", chart.FLegendX, chart.FLegendY);
  std::printf("  OriginX, OriginY   %d, %d\n", chart.FOriginX, chart.FOriginY);
  std::printf("  MaxX, MaxY         %d, %d\n", chart.FMaxX, chart.FMaxY);
  std::printf("  Label font         %s %d pt\n", Utf8(chart.FLabelFont.Name).c_str(),
              chart.FLabelFont.Size());
  std::printf("  Image map name     %s\n", Utf8(chart.FIMName).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("Plotvane 3.1.1.0 (64 bit)\n");
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "demo") == 0) return Demo();
  std::fprintf(stderr, "usage: plotvane demo [--out DIR] | plotvane --version\n");
  return 2;
}
