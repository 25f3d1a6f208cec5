#include "canvas/recording.h"

#include <algorithm>

namespace plotvane {

void TRecording::Clear() {
  ops_.clear();
  coords_.clear();
  texts_.clear();
  fonts_.clear();
}

void TRecording::Reserve() {
  // What a chart of a page draws, in one allocation each rather than in a
  // series of growing ones.
  ops_.reserve(kFirstOps);
  coords_.reserve(8 * kFirstOps);
  texts_.reserve(16 * kFirstOps);
}

void TRecording::AddEntry(TOpKind kind, const TPen& pen, const TBrush& brush, size_t first) {
  ops_.push_back(Entry{kind, pen.Style, brush.Style(), pen.Width, pen.Color, brush.Color(),
                       static_cast<uint32_t>(first),
                       static_cast<uint32_t>(coords_.size() - first)});
}

void TRecording::AddShape(TOpKind kind, const TPen& pen, const TBrush& brush,
                          std::initializer_list<int32_t> coords) {
  if (ops_.capacity() == 0) Reserve();
  const size_t first = coords_.size();
  coords_.insert(coords_.end(), coords);
  AddEntry(kind, pen, brush, first);
}

void TRecording::AddPolygon(const TPen& pen, const TBrush& brush,
                            const std::vector<TPoint>& points) {
  if (ops_.capacity() == 0) Reserve();
  const size_t first = coords_.size();
  coords_.reserve(first + 2 * points.size());
  for (const TPoint& p : points) {
    coords_.push_back(p.x);
    coords_.push_back(p.y);
  }
  AddEntry(TOpKind::kPolygon, pen, brush, first);
}

uint32_t TRecording::FontIndex(const TFont& font) {
  const size_t searched = std::min(fonts_.size(), kFontsSearched);
  for (size_t i = fonts_.size(); i > fonts_.size() - searched; --i) {
    if (fonts_[i - 1] == font) return static_cast<uint32_t>(i - 1);
  }
  fonts_.push_back(font);
  return static_cast<uint32_t>(fonts_.size() - 1);
}

void TRecording::AddText(TOpKind kind, const TFont& font, const TBrush& brush, unsigned align,
                         unsigned format, std::initializer_list<int32_t> coords,
                         std::u16string_view text) {
  if (ops_.capacity() == 0) Reserve();
  const size_t first = coords_.size();
  const uint64_t start = texts_.size();
  coords_.insert(coords_.end(), coords);
  const size_t fields = coords_.size();
  coords_.resize(fields + kTextFields);
  int32_t* f = coords_.data() + fields;
  f[kFont] = static_cast<int32_t>(FontIndex(font));
  f[kAlign] = static_cast<int32_t>(align);
  f[kFormat] = static_cast<int32_t>(format);
  f[kTextStartLow] = static_cast<int32_t>(static_cast<uint32_t>(start));
  f[kTextStartHigh] = static_cast<int32_t>(static_cast<uint32_t>(start >> 32));
  f[kTextLength] = static_cast<int32_t>(static_cast<uint32_t>(text.size()));
  texts_.append(text.data(), text.size());
  // The pen plays no part in a text.
  AddEntry(kind, TPen{}, brush, first);
  ops_.back().count -= kTextFields;
}

TRecordedOp TRecording::Op(size_t index) const {
  const Entry& e = ops_[index];
  TRecordedOp op;
  op.kind = e.kind;
  op.pen = TPen{e.pen_colour, e.pen_width, e.pen_style};
  op.brush_style = e.brush_style;
  op.brush_colour = e.brush_colour;
  op.coords = coords_.data() + e.first;
  op.coord_count = e.count;
  if (e.kind == TOpKind::kText || e.kind == TOpKind::kTextBlock) {
    const int32_t* f = coords_.data() + e.first + e.count;
    op.font = &fonts_[static_cast<uint32_t>(f[kFont])];
    op.align = static_cast<uint32_t>(f[kAlign]);
    op.format = static_cast<uint32_t>(f[kFormat]);
    const uint64_t start = static_cast<uint32_t>(f[kTextStartLow]) |
                           (static_cast<uint64_t>(static_cast<uint32_t>(f[kTextStartHigh])) << 32);
    op.text = std::u16string_view(texts_).substr(start, static_cast<uint32_t>(f[kTextLength]));
  }
  return op;
}

}  // namespace plotvane
