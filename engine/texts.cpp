// The annotation drawn over a finished chart: the title, the axis captions,
// the free text items and the extra lines.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "engine/chartix.h"
#include "engine/drawing.h"
#include "engine/extra_line.h"
#include "engine/rounding.h"

namespace plotvane {

namespace {

// A decimal integer as AddExtraLine writes it; 0 when it does not read.
Int64 ReadInteger(const std::u16string& s) {
  std::string narrow;
  for (char16_t c : s) {
    if (c > 0x7F) return 0;
    narrow += static_cast<char>(c);
  }
  return std::strtoll(narrow.c_str(), nullptr, 10);
}

int ToInt(Int64 v) {
  return static_cast<int>(std::max<Int64>(INT32_MIN, std::min<Int64>(INT32_MAX, v)));
}

}  // namespace

ExtraLine ParseExtraLine(std::u16string record) {
  auto take_last = [&record]() {
    const size_t comma = record.rfind(u',');
    std::u16string field = comma == std::u16string::npos ? record : record.substr(comma + 1);
    record = comma == std::u16string::npos ? std::u16string() : record.substr(0, comma);
    return field;
  };
  ExtraLine line;
  line.colour = ReadInteger(take_last());
  line.style = take_last();
  line.thickness = ReadInteger(take_last());
  line.y2 = ReadInteger(take_last());
  line.x2 = ReadInteger(take_last());
  line.y1 = ReadInteger(take_last());
  line.x1 = ReadInteger(record);
  return line;
}

void TChartix::DrawTitle() {
  TCanvas& canvas = Canvas();
  const TextBackground background(canvas, FTitleBGColour, FTitleTransparent,
                                  TextBackground::kStyleFirst);
  canvas.Font() = FTitleFont;
  const unsigned previous_align = canvas.GetTextAlign();
  unsigned flags = 0;
  if (AlignFlags(FTitleTextAlign, flags)) canvas.SetTextAlign(flags);
  if (!FTitle.empty()) canvas.TextOut(FTitleX, FTitleY, FTitle);
  canvas.SetTextAlign(previous_align);
}

void TChartix::DrawAxisCaptions(TGraphType graph_type) {
  TCanvas& canvas = Canvas();
  canvas.Font() = FAxisTextFont;
  const TextBackground background(canvas, FAxisTextBGColour, FAxisTextTransparent,
                                  TextBackground::kColourFirst);

  const bool horizontal_bars = graph_type == cxtHBar || graph_type == cxtHStackedBar;
  // The caption under the plot: the category axis of vertical charts, the
  // value axis of horizontal ones.
  const std::u16string& bottom_text = horizontal_bars ? FYAxisText : FXAxisText;
  if (!bottom_text.empty()) {
    const int w = GetTextWidth(bottom_text);
    // Any font size a client sets stays a position the canvas can take.
    const Int64 font_height = AbsHeight(canvas.Font());
    int x, y;
    if (horizontal_bars) {
      x = Round((static_cast<long double>(FMaxY) - w) / 2) + FOriginX - FYAxisNegative;
      y = static_cast<int>(
          std::min<Int64>(font_height + FOriginY + 3 + TextBottom + FXMarkSize, INT_MAX / 4));
    } else {
      x = Round((static_cast<long double>(FMaxX) - w) / 2) + FOriginX - FXAxisNegative;
      y = ClampToCanvas(static_cast<Int64>(TextBottom) + 3);
    }
    canvas.TextOut(x, y, bottom_text);
  }

  // The caption beside the plot reads from bottom to top.
  const std::u16string& side_text = horizontal_bars ? FXAxisText : FYAxisText;
  canvas.Font() = MadeFont(FAxisTextFont, 900);
  if (!side_text.empty()) {
    const TSize extent = canvas.TextExtent(side_text);
    // TextLeft may stand at the end of the integer range when a text left of
    // the plot lay that far out.
    const int x = ClampToCanvas(static_cast<Int64>(TextLeft) - extent.cy - 5);
    const int y = horizontal_bars
                      ? FOriginY - Round((static_cast<long double>(FMaxX) - extent.cx) / 2) -
                            FXAxisNegative
                      : FOriginY - Round((static_cast<long double>(FMaxY) - extent.cx) / 2) +
                            FYAxisNegative;
    canvas.TextOut(x, y, side_text);
  }
  canvas.Font() = FAxisTextFont;  // the turned font lives for one text only
}

void TChartix::DrawTextItems() {
  TCanvas& canvas = Canvas();
  const TextBackground background(canvas, FTextBGColor, FTextTransparent,
                                  TextBackground::kStyleFirst);
  for (const TTextItem& item : TextList) {
    canvas.Font() = MadeFont(FTextFont, Round(static_cast<long double>(item.Angle) * 10));
    canvas.TextOut(Round(item.x), Round(item.y), item.Value);
  }
  if (!TextList.empty()) canvas.Font() = FTextFont;
}

void TChartix::DrawExtraLines() {
  TCanvas& canvas = Canvas();
  const TPen previous = canvas.Pen();
  for (const auto& record : ExtraLines) {
    const ExtraLine line = ParseExtraLine(record);
    TPenStyle style = TPenStyle::psSolid;
    if (line.style.size() == 1 && line.style[0] >= u'0' && line.style[0] <= u'6')
      style = static_cast<TPenStyle>(line.style[0] - u'0');
    canvas.Pen().Width = ToInt(line.thickness);
    canvas.Pen().Style = style;
    canvas.Pen().Color = static_cast<TColor>(line.colour);
    canvas.MoveTo(ToInt(line.x1), ToInt(line.y1));
    canvas.LineTo(ToInt(line.x2), ToInt(line.y2));
  }
  canvas.Pen() = previous;
}

}  // namespace plotvane
