// Replays the text operations of a drawing script on our canvas, so that a
// test can compare what the canvas prints and paints with what the same
// script produced on the reference renderer, recorded next to the script in
// tests/data/canvas (text_scripts.py writes and records them).
//
// Script lines (one operation each, "#" starts a comment):
//   bitmap W H BPP [RRGGBB ...]   new bitmap (4, 8 or 24 bits); the listed
//                                 colours start the palette, the rest is black
//   font FACE HEIGHT WEIGHT ITALIC UNDERLINE STRIKEOUT ESCAPEMENT
//   textcolor RRGGBB | bkcolor RRGGBB | bkmode opaque|transparent
//   textalign H V                 left|center|right, top|baseline|bottom
//   text X Y "S" | drawtext L T R B "S" | measuretext L T R B "S"
//   metrics | extent "S" | setpixel X Y RRGGBB | dump NAME [X Y W H]
//   quality N                     accepted and ignored (text is monochrome)
// Strings take the escapes \n \r \t \\ \" and \uXXXX.
#ifndef PLOTVANE_TESTS_CANVAS_TEXT_SCRIPT_H_
#define PLOTVANE_TESTS_CANVAS_TEXT_SCRIPT_H_

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/utf.h"
#include "canvas/bitmap.h"
#include "canvas/canvas.h"

namespace plotvane {
namespace testing_text {

inline std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// One row of pixels as the recorded dumps write it: RRGGBB values separated
// by single blanks.
inline std::string DumpRow(const TBitmap& bitmap, int x, int y, int w) {
  std::string out;
  char buf[8];
  for (int col = x; col < x + w; ++col) {
    const TColor c = bitmap.GetPixel(col, y);
    std::snprintf(buf, sizeof buf, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    if (col > x) out += ' ';
    out += buf;
  }
  return out;
}

// FNV-1a, 64 bits, as 16 lower-case hexadecimal digits.
inline std::string RowDigest(const std::string& row) {
  uint64_t h = 0xCBF29CE484222325u;
  for (unsigned char c : row) {
    h ^= c;
    h *= 0x100000001B3u;
  }
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
  return buf;
}

class TextScript {
 public:
  // Runs `script`; throws std::runtime_error naming the line it cannot read.
  void Run(const std::string& script) {
    std::istringstream lines(script);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
      ++number;
      line_ = number;
      try {
        Execute(Tokens(line));
      } catch (const std::exception& e) {
        throw std::runtime_error("line " + std::to_string(number) + ": " + e.what());
      }
    }
  }

  // The output in the recorded form: what the script printed, one line a
  // query, then for each dump "dump NAME W H BPP" and one digest a row.
  const std::vector<std::string>& Output() const { return output_; }
  // The pixel row behind each digest line of Output() (empty for others).
  const std::vector<std::string>& Rows() const { return rows_; }
  // The script line that made each line of Output().
  const std::vector<int>& ScriptLines() const { return script_lines_; }

 private:
  struct Token {
    std::string text;     // as written (unquoted tokens)
    std::u16string wide;  // the decoded string (quoted tokens)
  };

  static std::vector<Token> Tokens(const std::string& line) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
      if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
        ++i;
      } else if (line[i] == '#') {
        break;
      } else if (line[i] == '"') {
        Token token;
        std::string utf8;
        for (++i; i < line.size() && line[i] != '"'; ++i) {
          if (line[i] != '\\' || i + 1 >= line.size()) {
            utf8 += line[i];
            continue;
          }
          const char e = line[++i];
          if (e == 'u') {
            token.wide += Utf8ToUtf16(utf8);
            utf8.clear();
            token.wide += static_cast<char16_t>(std::stoul(line.substr(i + 1, 4), nullptr, 16));
            i += 4;
          } else {
            utf8 += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
          }
        }
        token.wide += Utf8ToUtf16(utf8);
        ++i;
        tokens.push_back(token);
      } else {
        size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
        tokens.push_back({line.substr(i, j - i), {}});
        i = j;
      }
    }
    return tokens;
  }

  static TColor Colour(const std::string& hex) {
    const unsigned long v = std::stoul(hex, nullptr, 16);
    return RGB(static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
               static_cast<uint8_t>(v));
  }

  TCanvas& Canvas() {
    if (!bitmap_) throw std::runtime_error("no bitmap");
    TCanvas& canvas = bitmap_->Canvas();
    canvas.Font() = font_;
    canvas.Font().Color = text_colour_;
    if (opaque_) {
      canvas.Brush().SetColor(background_);
    } else {
      canvas.Brush().SetStyle(TBrushStyle::bsClear);
    }
    canvas.SetTextAlign(align_);
    return canvas;
  }

  void Print(const std::string& s) {
    output_.push_back(s);
    rows_.emplace_back();
    script_lines_.push_back(line_);
  }

  void Execute(const std::vector<Token>& t) {
    if (t.empty()) return;
    const std::string& op = t[0].text;
    auto num = [&](size_t i) { return std::stoi(t.at(i).text); };
    if (op == "bitmap") {
      bitmap_ = std::make_unique<TBitmap>();
      const int bpp = num(3);
      bitmap_->SetPixelFormat(bpp == 4   ? TPixelFormat::pf4bit
                              : bpp == 8 ? TPixelFormat::pf8bit
                                         : TPixelFormat::pf24bit);
      std::vector<TPaletteEntry> palette;
      for (size_t i = 4; i < t.size(); ++i) {
        const TColor c = Colour(t[i].text);
        palette.push_back({GetRValue(c), GetGValue(c), GetBValue(c), 0});
      }
      if (bpp != 24) bitmap_->SetPalette(palette);
      bitmap_->SetSize(num(1), num(2));
      font_ = TFont();
      text_colour_ = 0;
      background_ = 0xFFFFFF;
      opaque_ = true;
      align_ = TA_LEFT | TA_TOP;
    } else if (op == "font") {
      font_.Name = t.at(1).text.empty() ? t.at(1).wide : Utf8ToUtf16(t.at(1).text);
      font_.Height = num(2);
      font_.Style = static_cast<TFontStyles>((num(3) >= 600 ? fsBold : 0) |
                                             (num(4) ? fsItalic : 0) |
                                             (num(5) ? fsUnderline : 0) |
                                             (num(6) ? fsStrikeOut : 0));
      font_.Escapement = num(7);
    } else if (op == "textcolor") {
      text_colour_ = Colour(t.at(1).text);
    } else if (op == "bkcolor") {
      background_ = Colour(t.at(1).text);
    } else if (op == "bkmode") {
      opaque_ = t.at(1).text == "opaque";
    } else if (op == "textalign") {
      align_ = 0;
      for (size_t i = 1; i < t.size(); ++i) {
        const std::string& a = t[i].text;
        if (a == "center" || a == "centre") align_ |= TA_CENTER;
        if (a == "right") align_ |= TA_RIGHT;
        if (a == "baseline") align_ |= TA_BASELINE;
        if (a == "bottom") align_ |= TA_BOTTOM;
      }
    } else if (op == "text") {
      Canvas().TextOut(num(1), num(2), t.at(3).wide);
    } else if (op == "drawtext" || op == "measuretext") {
      TRect r{num(1), num(2), num(3), num(4)};
      const bool measure = op == "measuretext";
      Canvas().DrawText(t.at(5).wide, r,
                        DT_NOCLIP | DT_NOPREFIX | (measure ? DT_CALCRECT : 0u));
      if (measure) {
        Print(std::to_string(r.Left) + " " + std::to_string(r.Top) + " " +
              std::to_string(r.Right) + " " + std::to_string(r.Bottom));
      }
    } else if (op == "metrics") {
      const TTextMetric m = Canvas().GetTextMetrics();
      std::ostringstream s;
      s << m.tmHeight << ' ' << m.tmAscent << ' ' << m.tmDescent << ' ' << m.tmInternalLeading
        << ' ' << m.tmExternalLeading << ' ' << m.tmAveCharWidth << ' ' << m.tmMaxCharWidth;
      Print(s.str());
    } else if (op == "extent") {
      const TSize size = Canvas().TextExtent(t.at(1).wide);
      Print(std::to_string(size.cx) + " " + std::to_string(size.cy));
    } else if (op == "setpixel") {
      Canvas().SetPixel(num(1), num(2), Colour(t.at(3).text));
    } else if (op == "dump") {
      if (!bitmap_) throw std::runtime_error("no bitmap");
      const bool region = t.size() >= 6;
      const int x = region ? num(2) : 0, y = region ? num(3) : 0;
      const int w = region ? num(4) : bitmap_->Width(), h = region ? num(5) : bitmap_->Height();
      Print("dump " + t.at(1).text + " " + std::to_string(w) + " " + std::to_string(h) + " " +
            std::to_string(bitmap_->BitsPerPixel()));
      for (int row = y; row < y + h; ++row) {
        rows_.push_back(DumpRow(*bitmap_, x, row, w));
        output_.push_back(RowDigest(rows_.back()));
        script_lines_.push_back(line_);
      }
    } else if (op != "quality") {
      throw std::runtime_error("unknown operation " + op);
    }
  }

  std::unique_ptr<TBitmap> bitmap_;
  TFont font_;
  TColor text_colour_ = 0;
  TColor background_ = 0xFFFFFF;
  bool opaque_ = true;
  unsigned align_ = TA_LEFT | TA_TOP;
  std::vector<std::string> output_;
  std::vector<std::string> rows_;
  std::vector<int> script_lines_;
  int line_ = 0;
};

}  // namespace testing_text
}  // namespace plotvane

#endif  // PLOTVANE_TESTS_CANVAS_TEXT_SCRIPT_H_
