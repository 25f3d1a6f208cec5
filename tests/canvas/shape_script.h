// Replays the shape and line operations of a drawing script on our canvas and
// compares the result with the pixels the reference renderer (tools:
// gdi-oracle) recorded for the same script in tests/data/canvas.
//
// Script lines (one operation each, "#" starts a comment):
//   bitmap W H BPP [RRGGBB ...]   new bitmap (4, 8 or 24 bits); the listed
//                                 colours start the palette, the rest is
//                                 black. Resets pen (black, 1, solid), brush
//                                 (white, solid), background (white, opaque),
//                                 pen position (0, 0).
//   pen RRGGBB WIDTH STYLE | brush RRGGBB | brush clear
//   rect X1 Y1 X2 Y2 | ellipse X1 Y1 X2 Y2 | pie X1 Y1 X2 Y2 X3 Y3 X4 Y4
//   polygon N X1 Y1 ... XN YN | moveto X Y | lineto X Y | setpixel X Y RRGGBB
//   bkcolor RRGGBB | bkmode opaque|transparent
//                                 the reference paints the gaps of styled
//                                 pens in the background colour when opaque.
//                                 Our canvas has no background of its own: a
//                                 solid brush paints the gaps in its colour,
//                                 a clear brush leaves them. So before every
//                                 operation the pen draws, the script's
//                                 background must be opaque in the brush's
//                                 colour under a solid brush and transparent
//                                 under a clear one; a script that departs
//                                 from that is refused, naming the line,
//                                 since it would test something the canvas
//                                 cannot express.
//   dump PATH [X Y W H]           compare with the recorded PATH (or PATH.gz)
//   save PATH | pixel X Y         ignored
// A mismatch names the script line of the last operation drawn near the
// pixel, so a failure points at its case.
#ifndef PLOTVANE_TESTS_CANVAS_SHAPE_SCRIPT_H_
#define PLOTVANE_TESTS_CANVAS_SHAPE_SCRIPT_H_

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "canvas/bitmap.h"
#include "canvas/canvas.h"

namespace plotvane {
namespace testing_shapes {

// Reads a recorded dump, plain or gzip-compressed (PATH.gz).
inline std::string ReadDump(const std::string& path) {
  std::ifstream plain(path, std::ios::binary);
  if (plain) {
    std::ostringstream s;
    s << plain.rdbuf();
    return s.str();
  }
  gzFile gz = gzopen((path + ".gz").c_str(), "rb");
  if (gz == nullptr) throw std::runtime_error("no recorded dump " + path + "[.gz]");
  std::string out;
  char buf[1 << 16];
  int n;
  while ((n = gzread(gz, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  gzclose(gz);
  if (n < 0) throw std::runtime_error("corrupt dump " + path + ".gz");
  return out;
}

inline TColor ParseColour(const std::string& s) {
  const unsigned long v = std::stoul(s, nullptr, 16);
  return RGB(static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v));
}

inline std::string ColourText(TColor c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return buf;
}

struct ReplayResult {
  std::vector<std::string> failures;   // one per mismatching operation
  std::map<std::string, int> drawn;    // operations drawn, by name
  int dumps = 0;                       // dumps compared
};

class ShapeScript {
 public:
  ShapeScript(std::string script_path, std::string data_dir)
      : path_(std::move(script_path)), dir_(std::move(data_dir)) {}

  ReplayResult Run() {
    std::ifstream in(dir_ + "/" + path_);
    if (!in) throw std::runtime_error("cannot read " + path_);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      const std::string text = line.substr(0, line.find('#'));
      std::istringstream tokens(text);
      std::vector<std::string> t;
      for (std::string w; tokens >> w;) t.push_back(w);
      if (!t.empty()) Op(number, t, Trim(text));
    }
    return std::move(result_);
  }

 private:
  struct Drawn {
    int line;
    std::string text;
    int64_t x0, y0, x1, y1;  // pixels it may touch
  };

  static std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
  }

  void Op(int number, const std::vector<std::string>& t, const std::string& text) {
    const std::string& op = t[0];
    auto n = [&](size_t i) { return std::stoi(t.at(i)); };
    if (op == "bitmap") {
      bitmap_ = std::make_unique<TBitmap>();
      const int bpp = n(3);
      bitmap_->SetPixelFormat(bpp == 4 ? TPixelFormat::pf4bit
                              : bpp == 8 ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
      std::vector<TPaletteEntry> palette;
      for (size_t i = 4; i < t.size(); ++i) {
        const TColor c = ParseColour(t[i]);
        palette.push_back({GetRValue(c), GetGValue(c), GetBValue(c), 0});
      }
      if (bpp != 24) bitmap_->SetPalette(palette);
      bitmap_->SetSize(n(1), n(2));
      canvas_ = &bitmap_->Canvas();
      drawn_.clear();
      opaque_ = true;
      background_ = 0xFFFFFF;
      return;
    }
    if (canvas_ == nullptr) throw std::runtime_error(path_ + ": drawing before bitmap");
    TCanvas& c = *canvas_;
    if (op == "pen") {
      c.Pen().Color = ParseColour(t.at(1));
      c.Pen().Width = n(2);
      c.Pen().Style = static_cast<TPenStyle>(n(3));
    } else if (op == "brush") {
      if (t.at(1) == "clear") {
        c.Brush().SetStyle(TBrushStyle::bsClear);
      } else {
        c.Brush().SetColor(ParseColour(t[1]));
      }
    } else if (op == "bkcolor") {
      background_ = ParseColour(t.at(1));
    } else if (op == "bkmode") {
      if (t.at(1) != "opaque" && t.at(1) != "transparent") {
        throw std::runtime_error(Where(number) + ": bkmode takes opaque or transparent, not " + t[1]);
      }
      opaque_ = t[1] == "opaque";
    } else if (op == "rect" || op == "ellipse") {
      CheckBackground(number);
      if (op == "rect") {
        c.Rectangle(n(1), n(2), n(3), n(4));
      } else {
        c.Ellipse(n(1), n(2), n(3), n(4));
      }
      Record(op, number, text, {n(1), n(3)}, {n(2), n(4)});
    } else if (op == "pie") {
      CheckBackground(number);
      c.Pie(n(1), n(2), n(3), n(4), n(5), n(6), n(7), n(8));
      Record(op, number, text, {n(1), n(3), (n(1) + n(3)) / 2}, {n(2), n(4), (n(2) + n(4)) / 2});
    } else if (op == "polygon") {
      CheckBackground(number);
      std::vector<TPoint> points;
      std::vector<int64_t> xs, ys;
      for (int i = 0; i < n(1); ++i) {
        points.push_back({n(2 + 2 * i), n(3 + 2 * i)});
        xs.push_back(points.back().x);
        ys.push_back(points.back().y);
      }
      c.Polygon(points);
      Record(op, number, text, xs, ys);
    } else if (op == "moveto") {
      c.MoveTo(n(1), n(2));
    } else if (op == "lineto") {
      CheckBackground(number);
      const TPoint from = c.PenPos();
      c.LineTo(n(1), n(2));
      Record(op, number, text, {from.x, n(1)}, {from.y, n(2)});
    } else if (op == "setpixel") {
      c.SetPixel(n(1), n(2), ParseColour(t.at(3)));
    } else if (op == "dump") {
      Compare(t.at(1), t.size() > 2 ? n(2) : 0, t.size() > 2 ? n(3) : 0,
              t.size() > 2 ? n(4) : bitmap_->Width(), t.size() > 2 ? n(5) : bitmap_->Height());
    } else if (op != "save" && op != "pixel") {
      throw std::runtime_error(Where(number) + ": unknown op " + op);
    }
  }

  std::string Where(int number) const { return path_ + ":" + std::to_string(number); }

  // The reference's background must be the one our canvas derives from the
  // brush (see the header comment). Checked for every operation, not only
  // for styled pens, so a script stays valid when its pens change.
  void CheckBackground(int number) {
    const TBrush& b = canvas_->Brush();
    if (b.Style() == TBrushStyle::bsClear) {
      if (opaque_) {
        throw std::runtime_error(Where(number) +
                                 ": opaque background under a clear brush (use bkmode transparent)");
      }
    } else if (!opaque_ || background_ != b.Color()) {
      throw std::runtime_error(Where(number) + ": background " +
                               (opaque_ ? "colour " + ColourText(background_) : "transparent") +
                               " under the solid brush " + ColourText(b.Color()) +
                               " (use bkcolor " + ColourText(b.Color()) + " and bkmode opaque)");
    }
  }

  void Record(const std::string& op, int number, const std::string& text,
              const std::vector<int64_t>& xs, const std::vector<int64_t>& ys) {
    const int64_t reach = canvas_->Pen().Width / 2 + 2;
    drawn_.push_back({number, text, *std::min_element(xs.begin(), xs.end()) - reach,
                      *std::min_element(ys.begin(), ys.end()) - reach,
                      *std::max_element(xs.begin(), xs.end()) + reach,
                      *std::max_element(ys.begin(), ys.end()) + reach});
    ++result_.drawn[op];
  }

  void Compare(const std::string& name, int x, int y, int w, int h) {
    std::istringstream dump(ReadDump(dir_ + "/" + name));
    int dw = 0, dh = 0, bpp = 0;
    dump >> dw >> dh >> bpp;
    ++result_.dumps;
    if (dw != w || dh != h) {
      result_.failures.push_back(name + ": recorded " + std::to_string(dw) + "x" +
                                 std::to_string(dh) + ", expected " + std::to_string(w) + "x" +
                                 std::to_string(h));
      return;
    }
    struct Miss {
      int count = 0;
      int x = 0, y = 0;
      std::string want, got;
    };
    std::map<int, Miss> by_op;  // index into drawn_ (-1: none)
    std::map<int, const Drawn*> ops;
    for (int row = 0; row < h; ++row) {
      for (int col = 0; col < w; ++col) {
        std::string want;
        dump >> want;
        const std::string got = ColourText(bitmap_->GetPixel(x + col, y + row));
        if (want == got) continue;
        int culprit = -1;
        for (int i = static_cast<int>(drawn_.size()) - 1; i >= 0; --i) {
          const Drawn& d = drawn_[static_cast<size_t>(i)];
          if (x + col >= d.x0 && x + col <= d.x1 && y + row >= d.y0 && y + row <= d.y1) {
            culprit = i;
            break;
          }
        }
        Miss& m = by_op[culprit];
        if (m.count++ == 0) {
          m.x = x + col;
          m.y = y + row;
          m.want = want;
          m.got = got;
        }
      }
    }
    for (const auto& [index, m] : by_op) {
      std::string where = index < 0 ? std::string("no operation")
                                    : path_ + ":" + std::to_string(drawn_[index].line) + " " +
                                          drawn_[index].text;
      result_.failures.push_back(where + ": " + std::to_string(m.count) +
                                 " pixels differ, first at (" + std::to_string(m.x) + ", " +
                                 std::to_string(m.y) + "): reference " + m.want + ", ours " +
                                 m.got);
    }
  }

  std::string path_, dir_;
  std::unique_ptr<TBitmap> bitmap_;
  TCanvas* canvas_ = nullptr;
  bool opaque_ = true;            // the script's background mode
  TColor background_ = 0xFFFFFF;  // and colour
  std::vector<Drawn> drawn_;
  ReplayResult result_;
};

}  // namespace testing_shapes
}  // namespace plotvane

#endif  // PLOTVANE_TESTS_CANVAS_SHAPE_SCRIPT_H_
