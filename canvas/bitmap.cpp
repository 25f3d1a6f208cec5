#include "canvas/bitmap.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "canvas/canvas.h"

namespace plotvane {

namespace {

int BitsOf(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit:
      return 1;
    case TPixelFormat::pf4bit:
      return 4;
    case TPixelFormat::pf8bit:
      return 8;
    default:
      return 24;
  }
}

size_t PaletteSizeOf(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit:
      return 2;
    case TPixelFormat::pf4bit:
      return 16;
    case TPixelFormat::pf8bit:
      return 256;
    default:
      return 0;
  }
}

int StrideOf(int width, int bits) {
  int64_t row_bits = static_cast<int64_t>(width) * bits;
  return static_cast<int>(((row_bits + 31) / 32) * 4);
}

}  // namespace

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  width_ = source.width_;
  height_ = source.height_;
  stride_ = source.stride_;
  pixel_format_ = source.pixel_format_;
  palette_ = source.palette_;
  pixels_ = source.pixels_;
  recording_ = source.recording_;
  ForgetIndices();
}

int TBitmap::BitsPerPixel() const { return BitsOf(pixel_format_); }

void TBitmap::SetWidth(int width) { SetSize(width, height_); }
void TBitmap::SetHeight(int height) { SetSize(width_, height); }

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  if (static_cast<int64_t>(width) * height > kMaxBitmapPixels) {
    throw EOutOfResources("Bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels exceeds the limit of " + std::to_string(kMaxBitmapPixels) +
                          " pixels");
  }
  Reallocate(width, height, pixel_format_);
}

void TBitmap::Reallocate(int width, int height, TPixelFormat format) {
  ForgetIndices();
  const int bits = BitsOf(format);
  const int stride = StrideOf(width, bits);
  std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height, 0);
  if (format == pixel_format_) {
    // Same layout: keep the overlapping rows byte for byte.
    const int bytes = std::min(StrideOf(std::min(width, width_), bits), stride_);
    const int rows = bytes == 0 ? 0 : std::min(height, height_);
    for (int y = 0; y < rows; ++y) {
      std::memcpy(pixels.data() + static_cast<size_t>(y) * stride, ScanLine(y), bytes);
    }
    width_ = width;
    height_ = height;
    stride_ = stride;
    pixels_.swap(pixels);
    return;
  }
  // Another layout: carry the pixels over by colour.
  std::vector<uint8_t> old_pixels;
  old_pixels.swap(pixels_);
  const int old_width = width_, old_height = height_, old_stride = stride_;
  const TPixelFormat old_format = pixel_format_;
  const std::vector<TPaletteEntry> old_palette = palette_;

  pixel_format_ = format;
  palette_.resize(PaletteSizeOf(format));
  width_ = width;
  height_ = height;
  stride_ = stride;
  pixels_.swap(pixels);
  if (old_pixels.empty()) return;

  TBitmap old;
  old.width_ = old_width;
  old.height_ = old_height;
  old.stride_ = old_stride;
  old.pixel_format_ = old_format;
  old.palette_ = old_palette;
  old.pixels_.swap(old_pixels);
  const int rows = std::min(height, old_height), cols = std::min(width, old_width);
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < cols; ++x) SetPixel(x, y, old.GetPixel(x, y));
  }
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pixel_format_) return;
  Reallocate(width_, height_, format);
}

void TBitmap::SetPalette(const std::vector<TPaletteEntry>& entries) {
  const size_t size = PaletteSizeOf(pixel_format_);
  palette_.assign(size, TPaletteEntry{});
  std::copy_n(entries.begin(), std::min(size, entries.size()), palette_.begin());
  ForgetIndices();
}

int TBitmap::GetIndex(int x, int y) const {
  const uint8_t* row = ScanLine(y);
  switch (pixel_format_) {
    case TPixelFormat::pf1bit:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case TPixelFormat::pf4bit:
      return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    case TPixelFormat::pf8bit:
      return row[x];
    default:
      return 0;
  }
}

TColor TBitmap::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  if (palette_.empty()) {
    const uint8_t* p = ScanLine(y) + static_cast<size_t>(x) * 3;
    return RGB(p[2], p[1], p[0]);
  }
  const TPaletteEntry& e = palette_[static_cast<size_t>(GetIndex(x, y))];
  return RGB(e.peRed, e.peGreen, e.peBlue);
}

void TBitmap::SetPixel(int x, int y, TColor colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  if (palette_.empty()) {
    uint8_t* p = ScanLine(y) + static_cast<size_t>(x) * 3;
    p[0] = GetBValue(colour);
    p[1] = GetGValue(colour);
    p[2] = GetRValue(colour);
    return;
  }
  SetIndex(x, y, DrawingIndex(colour));
}

int TBitmap::NearestIndex(TColor colour) const {
  const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
  int best = 0;
  int best_distance = -1;
  for (size_t i = 0; i < palette_.size(); ++i) {
    const TPaletteEntry& e = palette_[i];
    const int dr = e.peRed - r, dg = e.peGreen - g, db = e.peBlue - b;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance == 0) return static_cast<int>(i);
    if (best_distance < 0 || distance < best_distance) {
      best = static_cast<int>(i);
      best_distance = distance;
    }
  }
  return best;
}

int TBitmap::DrawingIndex(TColor colour) {
  const TColor rgb = colour & 0xFFFFFF;
  IndexMemo& memo = index_memo_[(rgb * 0x9E3779B1u) >> 24];
  if (memo.rgb != rgb) memo = IndexMemo{rgb, NearestIndex(rgb)};
  return memo.index;
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>(*this);
  return *canvas_;
}

std::unique_ptr<TBitmap> TBitmap::ReleaseHandle() {
  auto released = std::make_unique<TBitmap>();
  released->width_ = width_;
  released->height_ = height_;
  released->stride_ = stride_;
  released->pixel_format_ = pixel_format_;
  released->palette_.swap(palette_);
  released->pixels_.swap(pixels_);
  released->recording_ = std::move(recording_);
  recording_.Clear();
  width_ = height_ = stride_ = 0;
  pixel_format_ = TPixelFormat::pfDevice;
  palette_.clear();
  ForgetIndices();
  return released;
}

}  // namespace plotvane
