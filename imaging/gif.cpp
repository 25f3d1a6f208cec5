// The GIF file written by TGIFImage (16-bit values little-endian):
//
//   "GIF87a", or "GIF89a" when any frame carries an extension
//   logical screen: width(2) height(2) packed bg-index(1)=0 aspect(1)=0
//     packed = 0x80 (global table present) | 0x08 (sort: map optimized)
//              | (b - 1) << 4 | (b - 1), b the global map's bits per pixel,
//              both fields taken modulo 8 (an empty map gives 0x77)
//   global table: 2^b entries R G B, black past the map's count (none if empty)
//   for each frame with pixels:
//     extensions: 0x21 0xF9 4 flags delay(2) transparent-index 0
//     image descriptor: 0x2C left(2)=0 top(2)=0 width(2) height(2) packed
//       packed = 0 when the global table is in force, else
//                0x80 | (b - 1) followed by the local table of 2^b entries
//     image data: LZW with minimum code size max(b, 2) (gif_lzw.cpp)
//   trailer 0x3B
//
// A frame without pixels (a 0 x 0 bitmap) writes its extensions but no image
// descriptor.
#include "imaging/gif.h"

#include <algorithm>
#include <unordered_map>

#include "imaging/errors.h"
#include "imaging/gif_lzw.h"
#include "imaging/gif_quantize.h"

namespace plotvane {

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
// Sizes are 16-bit fields of the file.
constexpr int kMaxSide = 65535;

uint32_t Rgb(const TGIFColor& c) {
  return (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
}

// Writes 2^b entries: the map's, then black.
void WriteColorTable(std::vector<uint8_t>* out, const TGIFColorMap& map) {
  const int entries = map.BitsPerPixel() == 0 ? 0 : 1 << map.BitsPerPixel();
  for (int i = 0; i < entries; ++i) {
    const TGIFColor c = i < map.Count() ? map[i] : TGIFColor{};
    out->insert(out->end(), {c.Red, c.Green, c.Blue});
  }
}

// Unpacks one row of an indexed bitmap of `bits` bits a pixel into one byte
// per pixel; indices past the palette become 0.
void UnpackRow(const TBitmap& bitmap, int bits, int y, uint8_t* out) {
  const uint8_t* row = bitmap.ScanLine(y);
  const int width = bitmap.Width();
  switch (bits) {
    case 1:
      for (int x = 0; x < width; ++x) out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
      break;
    case 4: {
      // Two pixels a byte, high nibble first; a byte at a time, which the
      // compiler turns into wide moves.
      const int pairs = width / 2;
      for (int i = 0; i < pairs; ++i) {
        out[2 * i] = row[i] >> 4;
        out[2 * i + 1] = row[i] & 0x0F;
      }
      if (width & 1) out[width - 1] = row[pairs] >> 4;
      break;
    }
    default: {
      const size_t palette_size = bitmap.Palette().size();
      for (int x = 0; x < width; ++x) out[x] = row[x] < palette_size ? row[x] : 0;
      break;
    }
  }
}

// Pixels of each index. Four interleaved counts keep runs of one colour (the
// flat areas of a chart) from waiting on the same counter.
std::vector<uint64_t> Histogram(const std::vector<uint8_t>& pixels) {
  std::vector<uint64_t> counts(4 * TGIFColorMap::kMaxColors, 0);
  const size_t n = pixels.size();
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    ++counts[pixels[i]];
    ++counts[TGIFColorMap::kMaxColors + pixels[i + 1]];
    ++counts[2 * TGIFColorMap::kMaxColors + pixels[i + 2]];
    ++counts[3 * TGIFColorMap::kMaxColors + pixels[i + 3]];
  }
  for (; i < n; ++i) ++counts[pixels[i]];
  for (size_t c = 0; c < TGIFColorMap::kMaxColors; ++c) {
    for (size_t lane = 1; lane < 4; ++lane)
      counts[c] += counts[lane * TGIFColorMap::kMaxColors + c];
  }
  counts.resize(TGIFColorMap::kMaxColors);
  return counts;
}

struct ColorUse {
  TGIFColor color;
  uint64_t count = 0;
  int new_index = 0;
};

// Index of the kept colour nearest to `c` by squared RGB distance, the first
// on a tie.
int NearestKept(const std::vector<ColorUse>& kept, const TGIFColor& c) {
  int best = 0;
  int best_distance = -1;
  for (size_t i = 0; i < kept.size(); ++i) {
    const int dr = c.Red - kept[i].color.Red, dg = c.Green - kept[i].color.Green,
              db = c.Blue - kept[i].color.Blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (best_distance < 0 || distance < best_distance) {
      best_distance = distance;
      best = static_cast<int>(i);
    }
  }
  return best;
}

}  // namespace

void TGIFColorMap::Clear() {
  colors_.clear();
  optimized_ = false;
}

int TGIFColorMap::IndexOf(TColor colour) const {
  const TGIFColor wanted{GetRValue(colour), GetGValue(colour), GetBValue(colour)};
  int found = -1;
  for (int i = 0; i < Count(); ++i) {
    if (colors_[static_cast<size_t>(i)] == wanted) {
      if (optimized_) return i;
      found = i;
    }
  }
  return found;
}

int TGIFColorMap::BitsPerPixel() const {
  if (colors_.empty()) return 0;
  int bits = 1;
  while ((1 << bits) < Count()) ++bits;
  return bits;
}

void TGIFGraphicControlExtension::SaveToStream(ByteWriter* stream) const {
  const uint8_t bytes[] = {kExtensionIntroducer,
                           kGraphicControlLabel,
                           4,
                           static_cast<uint8_t>(transparent_ ? 1 : 0),
                           static_cast<uint8_t>(delay_),
                           static_cast<uint8_t>(delay_ >> 8),
                           transparent_index_,
                           0};
  stream->Write(bytes, sizeof bytes);
}

void TGIFFrame::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
  data_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
}

TGIFGraphicControlExtension& TGIFFrame::AddGraphicControlExtension() {
  extensions_.emplace_back();
  return extensions_.back();
}

void TGIFImage::SetReductionBits(int bits) { reduction_bits_ = std::clamp(bits, 1, 8); }

void TGIFImage::Assign(const TBitmap& bitmap) {
  frames_.clear();
  global_map_.Clear();
  screen_width_ = 0;
  screen_height_ = 0;
  if (bitmap.Width() > kMaxSide || bitmap.Height() > kMaxSide) {
    throw EGIFError("Image is too large for the GIF format");
  }
  frames_.emplace_back();
  TGIFFrame& frame = frames_.back();
  if (bitmap.Empty()) {
    frame.SetSize(0, 0);
  } else if (bitmap.BitsPerPixel() != 24) {
    frame.SetSize(bitmap.Width(), bitmap.Height());
    for (const TPaletteEntry& e : bitmap.Palette()) {
      frame.ColorMap().Add(TGIFColor{e.peRed, e.peGreen, e.peBlue});
    }
    const int bits = bitmap.BitsPerPixel();
    for (int y = 0; y < bitmap.Height(); ++y) {
      UnpackRow(bitmap, bits, y, frame.Data().data() + static_cast<size_t>(y) * bitmap.Width());
    }
  } else {
    ReducedBitmap reduced =
        ReduceColors(bitmap, 1 << reduction_bits_, color_reduction_ == TColorReduction::rmQuantize,
                     dither_mode_ == TDitherMode::dmFloydSteinberg);
    frame.SetSize(bitmap.Width(), bitmap.Height());
    for (const TGIFColor& c : reduced.palette) frame.ColorMap().Add(c);
    frame.Data().swap(reduced.indices);
  }
  screen_width_ = frame.Width();
  screen_height_ = frame.Height();
}

void TGIFImage::OptimizeColorMap() {
  // Count the pixels of each colour over all frames, merging equal colours.
  // Colours enter `uses` in the order they first appear in the frames' maps,
  // and the stable sort keeps that order among equal counts.
  std::vector<ColorUse> uses;
  std::unordered_map<uint32_t, size_t> use_of_rgb;
  std::vector<std::vector<size_t>> use_of_entry(frames_.size());
  for (size_t f = 0; f < frames_.size(); ++f) {
    const TGIFFrame& frame = frames_[f];
    const TGIFColorMap& map = frame.ColorMap().Count() > 0 ? frame.ColorMap() : global_map_;
    const std::vector<uint64_t> histogram = Histogram(frame.Data());
    use_of_entry[f].assign(TGIFColorMap::kMaxColors, 0);
    for (int i = 0; i < TGIFColorMap::kMaxColors; ++i) {
      const uint64_t used = histogram[static_cast<size_t>(i)];
      if (used == 0) continue;
      // A pixel past the map's count shows the black that pads the table.
      const TGIFColor color = i < map.Count() ? map[i] : TGIFColor{};
      auto [it, added] = use_of_rgb.emplace(Rgb(color), uses.size());
      if (added) uses.push_back(ColorUse{color, 0, 0});
      uses[it->second].count += used;
      use_of_entry[f][static_cast<size_t>(i)] = it->second;
    }
  }
  std::vector<size_t> order(uses.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return uses[a].count > uses[b].count; });

  // The most used colours stay; any beyond the table's size take the nearest
  // kept colour.
  const size_t kept_count = std::min<size_t>(order.size(), TGIFColorMap::kMaxColors);
  std::vector<ColorUse> kept;
  for (size_t rank = 0; rank < kept_count; ++rank) {
    uses[order[rank]].new_index = static_cast<int>(rank);
    kept.push_back(uses[order[rank]]);
  }
  for (size_t rank = kept_count; rank < order.size(); ++rank) {
    uses[order[rank]].new_index = NearestKept(kept, uses[order[rank]].color);
  }

  global_map_.Clear();
  for (const ColorUse& use : kept) global_map_.Add(use.color);
  global_map_.SetOptimized(true);
  for (size_t f = 0; f < frames_.size(); ++f) {
    TGIFFrame& frame = frames_[f];
    uint8_t remap[TGIFColorMap::kMaxColors] = {};
    for (size_t i = 0; i < TGIFColorMap::kMaxColors; ++i) {
      remap[i] = static_cast<uint8_t>(uses.empty() ? 0 : uses[use_of_entry[f][i]].new_index);
    }
    for (uint8_t& pixel : frame.Data()) pixel = remap[pixel];
    frame.ColorMap().Clear();
  }
}

void TGIFImage::ApplyTransparency(TColor colour) {
  if (frames_.empty()) return;
  TGIFGraphicControlExtension& extension = frames_[0].AddGraphicControlExtension();
  extension.SetTransparent(true);
  extension.SetTransparentColorIndex(0);
  const int index = global_map_.IndexOf(colour);
  if (index < 0) {
    extension.SetTransparent(false);
  } else {
    extension.SetTransparentColorIndex(static_cast<uint8_t>(index));
  }
}

void TGIFImage::SaveToStream(ByteWriter* stream) const {
  std::vector<uint8_t> out;
  const bool extended = std::any_of(frames_.begin(), frames_.end(),
                                    [](const TGIFFrame& f) { return !f.Extensions().empty(); });
  const char* signature = extended ? "GIF89a" : "GIF87a";
  out.insert(out.end(), signature, signature + 6);

  const int global_bits = global_map_.BitsPerPixel();
  const int size_field = (global_bits - 1) & 7;
  uint8_t packed = static_cast<uint8_t>(size_field << 4 | size_field);
  if (global_map_.Count() > 0) packed |= global_map_.Optimized() ? 0x88 : 0x80;
  PutU16LE(&out, static_cast<uint32_t>(screen_width_));
  PutU16LE(&out, static_cast<uint32_t>(screen_height_));
  out.insert(out.end(), {packed, 0, 0});
  WriteColorTable(&out, global_map_);
  stream->Write(out);

  for (const TGIFFrame& frame : frames_) {
    for (const TGIFGraphicControlExtension& e : frame.Extensions()) e.SaveToStream(stream);
    if (frame.Data().empty()) continue;
    const bool local = frame.ColorMap().Count() > 0;
    const TGIFColorMap& map = local ? frame.ColorMap() : global_map_;
    const int bits = map.BitsPerPixel();
    const uint8_t* pixels = frame.Data().data();
    const size_t count = frame.Data().size();
    // A pixel past the table sets a bit at or above `bits` in the union of
    // all pixels (gathered without branches, which keeps the pass fast).
    uint8_t used_bits = 0;
    for (size_t i = 0; i < count; ++i) used_bits |= pixels[i];
    if ((used_bits >> bits) != 0) throw EGIFError("Color not in color table");
    out.clear();
    out.push_back(kImageSeparator);
    PutU16LE(&out, 0);
    PutU16LE(&out, 0);
    PutU16LE(&out, static_cast<uint32_t>(frame.Width()));
    PutU16LE(&out, static_cast<uint32_t>(frame.Height()));
    out.push_back(local ? static_cast<uint8_t>(0x80 | (bits - 1)) : 0);
    if (local) WriteColorTable(&out, map);
    stream->Write(out);
    WriteLZWImageData(stream, pixels, count, std::max(bits, 2));
  }
  stream->WriteByte(kTrailer);
}

}  // namespace plotvane
