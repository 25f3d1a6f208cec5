// The PNG file written by TpvPNGImage (integers big-endian):
//
//   signature  137 80 78 71 13 10 26 10
//   IHDR       width(4) height(4) bit-depth(1) colour-type(1) 0 0 0
//              bit depth 1, 4 or 8 for 1-, 4- and 8-bit bitmaps, 8 for 24-bit;
//              colour type 3 (indexed) or 2 (truecolour)
//   PLTE       indexed only: every palette entry (2, 16 or 256) as R G B
//   tRNS       one transparent colour only. Indexed: index + 1 bytes, 255 for
//              every index before the transparent one and 0 for it.
//              Truecolour: 0 R 0 G 0 B (three 2-byte samples)
//   pHYs       both resolutions set: X(4) Y(4) pixels per metre, unit 1 (metre)
//   IDAT ...   the zlib stream, 512 000 bytes a chunk, the last the rest
//   IEND       no data
//
// Each chunk is length(4) type(4) data CRC-32(4), the CRC over type and data.
// Before compression every row, top to bottom, is led by its filter byte:
// indexed rows are the stored bytes unchanged (filter 0, None: a chart's flat
// areas already compress well), truecolour rows are R G B triples filtered
// with Paeth (filter 4) against the row above, zeros above the first row.
//
// A bitmap without pixels is written as a 0 x 0 4-bit indexed file with 16
// black palette entries and one IDAT holding an empty zlib stream.
#include "imaging/pvPNGImage.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include <zlib.h>

#include "imaging/errors.h"
#include "imaging/png_chunks.h"

namespace plotvane {

namespace {

constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr double kInchesPerMetre = 39.37007874;
constexpr uint8_t kColourTypeTruecolour = 2;
constexpr uint8_t kColourTypeIndexed = 3;
constexpr uint8_t kFilterNone = 0;
constexpr uint8_t kFilterPaeth = 4;
// The file format caps every 4-byte count at 2^31 - 1.
constexpr double kLargestPixelsPerMetre = 2147483647.0;
// The compressor's first output buffer. Kept small: a large buffer would be
// fresh memory for every picture, and page faults would cost more than the
// compression itself.
constexpr size_t kFirstOutputBytes = 16384;
// The most filtered bytes handed to the compressor at a time.
constexpr size_t kFeedBlockBytes = 32768;

// Owns one zlib deflate stream, set up as the PNG data stream is compressed:
// default level, deflate, 32 KiB window, memory level 8, default strategy.
//
// Setting a stream up allocates about 270 KiB; set up for every picture,
// that memory often comes fresh from the system, and its page faults cost as
// much as compressing a chart. So every thread keeps the stream it set up
// first and resets it for each picture: a reset stream compresses exactly as
// a new one.
class Deflater {
 public:
  static Deflater& ForThisThread() {
    thread_local std::unique_ptr<Deflater> kept;
    if (!kept) kept = std::make_unique<Deflater>();
    return *kept;
  }

  Deflater() {
    const int rc = deflateInit2(&z_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    if (rc != Z_OK) Fail(rc);
    ready_ = true;
  }
  ~Deflater() {
    if (ready_) deflateEnd(&z_);
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // Compresses everything `source` yields, handing it to zlib `block` bytes
  // at a time without flushing, and returns the finished zlib stream.
  template <typename Source>
  std::vector<uint8_t> Compress(Source* source, size_t block) {
    // Also after a stream that failed half way.
    if (const int rc = deflateReset(&z_); rc != Z_OK) Fail(rc);
    const size_t size = source->Size();
    // Chart pictures shrink to a few per cent; start small and let Step grow
    // the buffer for pictures that do not.
    std::vector<uint8_t> out(std::min<size_t>(deflateBound(&z_, size), kFirstOutputBytes));
    z_.next_out = out.data();
    z_.avail_out = static_cast<uInt>(out.size());
    std::vector<uint8_t> buffer(std::min(block, size));
    for (size_t done = 0; done < size; done += block) {
      const size_t piece = std::min(block, size - done);
      source->Read(buffer.data(), piece);
      z_.next_in = buffer.data();
      z_.avail_in = static_cast<uInt>(piece);
      while (z_.avail_in > 0) Step(&out, Z_NO_FLUSH);
    }
    // Z_FINISH may need several calls: it returns Z_OK (or Z_BUF_ERROR) while
    // output space runs short and Z_STREAM_END only once everything is out.
    while (Step(&out, Z_FINISH) != Z_STREAM_END) {
    }
    out.resize(z_.total_out);
    return out;
  }

 private:
  int Step(std::vector<uint8_t>* out, int flush) {
    if (z_.avail_out == 0) {
      const size_t used = out->size();
      out->resize(used * 2 + 64);
      z_.next_out = out->data() + used;
      z_.avail_out = static_cast<uInt>(out->size() - used);
    }
    const int rc = deflate(&z_, flush);
    // Z_BUF_ERROR only means "no progress", which with output room left
    // would repeat for ever; treat it as the failure it then is.
    if (rc == Z_BUF_ERROR ? z_.avail_out != 0 : rc != Z_OK && rc != Z_STREAM_END) Fail(rc);
    return rc;
  }

  [[noreturn]] void Fail(int rc) const {
    if (rc == Z_MEM_ERROR) throw std::bad_alloc();
    throw EPNGError(z_.msg != nullptr ? z_.msg : "zlib error " + std::to_string(rc));
  }

  z_stream z_{};
  bool ready_ = false;
};

// Bytes of one unfiltered PNG row of the bitmap.
size_t RowBytes(const TBitmap& bitmap) {
  const size_t width = static_cast<size_t>(bitmap.Width());
  switch (bitmap.BitsPerPixel()) {
    case 1:
      return (width + 7) / 8;
    case 4:
      return (width + 1) / 2;
    case 8:
      return width;
    default:
      return width * 3;
  }
}

uint8_t PaethPredictor(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  if (pb <= pc) return static_cast<uint8_t>(b);
  return static_cast<uint8_t>(c);
}

// The filtered image data, height x (row bytes + 1) bytes, each row led by its
// filter byte, handed out in pieces of any size. Only the rows being filtered
// are held, not the whole stream.
class FilteredRows {
 public:
  explicit FilteredRows(const TBitmap& bitmap)
      : bitmap_(bitmap),
        row_bytes_(RowBytes(bitmap)),
        truecolour_(bitmap.BitsPerPixel() == 24),
        row_(row_bytes_ + 1),
        row_used_(row_.size()) {
    if (truecolour_) {
      previous_.assign(row_bytes_, 0);  // zeros above the first row
      current_.resize(row_bytes_);
    }
  }

  size_t Size() const { return static_cast<size_t>(bitmap_.Height()) * (row_bytes_ + 1); }

  // Copies the next `n` bytes to `out`. REQUIRES: n <= the bytes left.
  void Read(uint8_t* out, size_t n) {
    while (n > 0) {
      if (row_used_ == row_.size()) FilterNextRow();
      const size_t piece = std::min(n, row_.size() - row_used_);
      std::memcpy(out, row_.data() + row_used_, piece);
      row_used_ += piece;
      out += piece;
      n -= piece;
    }
  }

 private:
  void FilterNextRow() {
    const uint8_t* source = bitmap_.ScanLine(next_y_++);
    row_used_ = 0;
    if (!truecolour_) {
      row_[0] = kFilterNone;
      std::memcpy(row_.data() + 1, source, row_bytes_);
      return;
    }
    for (size_t i = 0; i < row_bytes_; i += 3) {  // B G R to R G B
      current_[i] = source[i + 2];
      current_[i + 1] = source[i + 1];
      current_[i + 2] = source[i];
    }
    row_[0] = kFilterPaeth;
    for (size_t i = 0; i < row_bytes_; ++i) {
      const int a = i >= 3 ? current_[i - 3] : 0;
      const int c = i >= 3 ? previous_[i - 3] : 0;
      row_[i + 1] = static_cast<uint8_t>(current_[i] - PaethPredictor(a, previous_[i], c));
    }
    previous_.swap(current_);
  }

  const TBitmap& bitmap_;
  const size_t row_bytes_;
  const bool truecolour_;
  int next_y_ = 0;
  std::vector<uint8_t> row_;                 // the filtered row being handed out
  size_t row_used_;                          // bytes of row_ already handed out
  std::vector<uint8_t> previous_, current_;  // unfiltered R G B rows, for Paeth
};

void WriteHeader(ByteWriter* out, uint32_t width, uint32_t height, uint8_t bit_depth,
                 uint8_t colour_type) {
  std::vector<uint8_t> data;
  PutU32BE(&data, width);
  PutU32BE(&data, height);
  data.insert(data.end(), {bit_depth, colour_type, 0, 0, 0});
  WritePNGChunk(out, "IHDR", data.data(), data.size());
}

void WritePalette(ByteWriter* out, const std::vector<TPaletteEntry>& palette) {
  std::vector<uint8_t> data;
  data.reserve(palette.size() * 3);
  for (const TPaletteEntry& e : palette) data.insert(data.end(), {e.peRed, e.peGreen, e.peBlue});
  WritePNGChunk(out, "PLTE", data.data(), data.size());
}

uint32_t DpiToPixelsPerMetre(int dpi) {
  if (dpi <= 0) return 0;
  // nearbyint rounds halves to even in the default rounding mode.
  const double ppm = std::nearbyint(dpi * kInchesPerMetre);
  return static_cast<uint32_t>(std::min(ppm, kLargestPixelsPerMetre));
}

int PixelsPerMetreToDpi(uint32_t ppm) {
  return static_cast<int>(std::nearbyint(ppm / kInchesPerMetre));
}

}  // namespace

void TpvPNGImage::Assign(const TBitmap& source) {
  Clear();
  // TBitmap::Assign keeps the pixel format and the whole palette, which is
  // what every format needs, a 4-bit bitmap's 16 entries included.
  FBitmap.Assign(source);
}

void TpvPNGImage::Assign(const TpvPNGImage& source) {
  if (&source == this) return;
  FBitmap.Assign(source.FBitmap);
  FXPixelsPerMetre = source.FXPixelsPerMetre;
  FYPixelsPerMetre = source.FYPixelsPerMetre;
  FAlpha = source.FAlpha;
}

void TpvPNGImage::Clear() {
  TBitmap empty;
  FBitmap.Assign(empty);
  FXPixelsPerMetre = 0;
  FYPixelsPerMetre = 0;
  FAlpha = TAlpha{};
}

void TpvPNGImage::SetTransparency(TColor TransparentColour, bool IsTransparent) {
  FAlpha = TAlpha{};
  if (!IsTransparent) return;
  if (FBitmap.BitsPerPixel() == 24) {
    FAlpha.FTransparencyType = TTransparencyType::ttSingleRGB;
    FAlpha.FHasSingleTransparency = true;
    FAlpha.FSingleTransColour = TransparentColour;
    FAlpha.FRed = GetRValue(TransparentColour);
    FAlpha.FGreen = GetGValue(TransparentColour);
    FAlpha.FBlue = GetBValue(TransparentColour);
    return;
  }
  const TPaletteEntry wanted{GetRValue(TransparentColour), GetGValue(TransparentColour),
                             GetBValue(TransparentColour), 0};
  const std::vector<TPaletteEntry>& palette = FBitmap.Palette();
  for (size_t i = 0; i < palette.size(); ++i) {
    if (palette[i] == wanted) {
      FAlpha.FTransparencyType = TTransparencyType::ttGIF;
      FAlpha.FHasSingleTransparency = true;
      FAlpha.FSingleTransColour = TransparentColour;
      FAlpha.FTransparentIndex = static_cast<uint8_t>(i);
      return;
    }
  }
}

int TpvPNGImage::XDPI() const { return PixelsPerMetreToDpi(FXPixelsPerMetre); }
int TpvPNGImage::YDPI() const { return PixelsPerMetreToDpi(FYPixelsPerMetre); }
void TpvPNGImage::SetXDPI(int dpi) { FXPixelsPerMetre = DpiToPixelsPerMetre(dpi); }
void TpvPNGImage::SetYDPI(int dpi) { FYPixelsPerMetre = DpiToPixelsPerMetre(dpi); }

void TpvPNGImage::SaveToStream(ByteWriter* stream) const {
  stream->Write(kSignature, sizeof kSignature);
  const bool empty = FBitmap.Empty();
  const int bits = FBitmap.BitsPerPixel();
  const bool indexed = empty || bits != 24;
  if (empty) {
    WriteHeader(stream, 0, 0, 4, kColourTypeIndexed);
    WritePalette(stream, std::vector<TPaletteEntry>(16));
  } else {
    WriteHeader(stream, static_cast<uint32_t>(FBitmap.Width()),
                static_cast<uint32_t>(FBitmap.Height()), static_cast<uint8_t>(indexed ? bits : 8),
                indexed ? kColourTypeIndexed : kColourTypeTruecolour);
    if (indexed) WritePalette(stream, FBitmap.Palette());
  }

  // A transparency set for a bitmap that has no pixels has nothing to apply
  // to, and a truecolour tRNS would not even fit the empty file's type.
  if (!empty && FAlpha.FHasSingleTransparency) {
    std::vector<uint8_t> data;
    if (FAlpha.FTransparencyType == TTransparencyType::ttGIF && indexed) {
      data.assign(FAlpha.FTransparentIndex + size_t{1}, 255);
      data.back() = 0;
    } else if (FAlpha.FTransparencyType == TTransparencyType::ttSingleRGB && !indexed) {
      for (uint16_t sample : {FAlpha.FRed, FAlpha.FGreen, FAlpha.FBlue}) {
        data.insert(data.end(), {static_cast<uint8_t>(sample >> 8), static_cast<uint8_t>(sample)});
      }
    }
    if (!data.empty()) WritePNGChunk(stream, "tRNS", data.data(), data.size());
  }

  if (FXPixelsPerMetre != 0 && FYPixelsPerMetre != 0) {
    std::vector<uint8_t> data;
    PutU32BE(&data, FXPixelsPerMetre);
    PutU32BE(&data, FYPixelsPerMetre);
    data.push_back(1);  // unit: metre
    WritePNGChunk(stream, "pHYs", data.data(), data.size());
  }

  // The rows go to zlib in blocks of at most 32 KiB. Without flushing, zlib's
  // output does not depend on how its input is divided, and a block as large
  // as a sizeable part of the picture would be fresh memory, page faults
  // included, for every picture.
  const size_t block = kFeedBlockBytes;
  // A bitmap with a width but no height (or the reverse) has no rows either.
  const TBitmap none;
  FilteredRows rows(empty ? none : FBitmap);
  const std::vector<uint8_t> compressed = Deflater::ForThisThread().Compress(&rows, block);
  WriteIDATChunks(stream, compressed.data(), compressed.size());
  WritePNGChunk(stream, "IEND", nullptr, 0);
}

}  // namespace plotvane
