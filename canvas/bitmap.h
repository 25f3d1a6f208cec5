// TBitmap: an in-memory device-independent bitmap, the surface every chart is
// drawn on and the only thing the image writers see.
//
// Layout of the pixels (the same as a bottom-up DIB's rows, but stored top row
// first):
//   - rows from the top (y = 0) to the bottom, each BytesPerScanLine() bytes,
//     padded with zero bytes to a multiple of 4;
//   - pf1bit: 8 pixels a byte, the leftmost in the high-order bit;
//     pf4bit: 2 pixels a byte, the leftmost in the high nibble;
//     pf8bit: one palette index a byte;
//     pf24bit: blue, green, red bytes for each pixel.
// The indexed formats carry a palette of 2, 16 or 256 entries; every pixel is
// an index into it, so no colour outside the palette can appear.
#ifndef PLOTVANE_CANVAS_BITMAP_H_
#define PLOTVANE_CANVAS_BITMAP_H_

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

#include "canvas/recording.h"
#include "canvas/stop.h"
#include "canvas/types.h"

namespace plotvane {

class TCanvas;

enum class TPixelFormat : uint8_t {
  pfDevice,  // a new bitmap: no pixels yet, treated as 24 bits once sized
  pf1bit,
  pf4bit,
  pf8bit,
  pf24bit,
};

// One entry of a logical palette: red, green, blue and flags (always 0 here).
struct TPaletteEntry {
  uint8_t peRed = 0;
  uint8_t peGreen = 0;
  uint8_t peBlue = 0;
  uint8_t peFlags = 0;
  friend bool operator==(const TPaletteEntry& a, const TPaletteEntry& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue;
  }
};

// Raised when a bitmap would exceed the pixel budget (see kMaxBitmapPixels).
class EOutOfResources : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The largest bitmap that can be made, in pixels (width x height). Width and
// height are 16-bit settings, so a client can ask for 65535 x 65535; anything
// above this budget is refused instead of exhausting memory. 4096 x 4096 and
// 16384 x 1024 still fit, which is far beyond any chart served to a page.
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 24;

class TBitmap {
 public:
  // An empty bitmap: 0 x 0, pfDevice, no palette.
  TBitmap();
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  // Copies size, pixel format, palette, pixels and recording of `source`
  // (the drawing state of the canvas is not copied).
  void Assign(const TBitmap& source);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // True while the bitmap has no pixels (width or height 0).
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // Resizing keeps the pixel format and palette; the new pixels are palette
  // index 0 (or black for 24 bits), existing pixels inside both sizes are
  // kept. Negative sizes count as 0.
  // Throws EOutOfResources when width x height exceeds kMaxBitmapPixels.
  void SetWidth(int width);
  void SetHeight(int height);
  void SetSize(int width, int height);

  TPixelFormat PixelFormat() const { return pixel_format_; }
  // Changing the format converts existing pixels by colour (to the nearest
  // palette entry when indexed).
  void SetPixelFormat(TPixelFormat format);
  // Bits per pixel of the stored format: 1, 4, 8 or 24 (pfDevice gives 24).
  int BitsPerPixel() const;

  // The colour table of an indexed bitmap: 2, 16 or 256 entries (empty for 24
  // bits). SetPalette takes the entries of a logical palette; a palette
  // shorter than the format's table is padded with black, a longer one cut.
  const std::vector<TPaletteEntry>& Palette() const { return palette_; }
  void SetPalette(const std::vector<TPaletteEntry>& entries);

  // Bytes of one stored row, padded to a multiple of 4.
  int BytesPerScanLine() const { return stride_; }
  // Row y counted from the top. REQUIRES: 0 <= y < Height().
  uint8_t* ScanLine(int y) { return pixels_.data() + static_cast<size_t>(y) * stride_; }
  const uint8_t* ScanLine(int y) const {
    return pixels_.data() + static_cast<size_t>(y) * stride_;
  }

  // The colour at (x, y); 0 outside the bitmap. For indexed bitmaps the colour
  // of the palette entry the pixel holds.
  TColor GetPixel(int x, int y) const;
  // Paints (x, y) with `colour`; on indexed bitmaps with the nearest palette
  // colour (NearestIndex). Outside the bitmap nothing happens.
  void SetPixel(int x, int y, TColor colour);
  // Raw palette index of (x, y) of an indexed bitmap. REQUIRES: inside.
  int GetIndex(int x, int y) const;
  void SetIndex(int x, int y, int index) {
    uint8_t* row = ScanLine(y);
    switch (pixel_format_) {
      case TPixelFormat::pf1bit: {
        const uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<uint8_t>(index & 1 ? row[x >> 3] | mask : row[x >> 3] & ~mask);
        break;
      }
      case TPixelFormat::pf4bit: {
        uint8_t& b = row[x >> 1];
        b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | (index & 0x0F))
                    : static_cast<uint8_t>((b & 0x0F) | ((index & 0x0F) << 4));
        break;
      }
      case TPixelFormat::pf8bit:
        row[x] = static_cast<uint8_t>(index);
        break;
      default:
        break;
    }
  }
  // The palette entry drawing in `colour` uses: the first exact match, or the
  // entry nearest in squared RGB distance (the first on a tie).
  int NearestIndex(TColor colour) const;
  // NearestIndex, remembered for the colours looked up last: every shape and
  // text resolves its colours, and a chart of many items draws with the same
  // few colours again and again.
  int DrawingIndex(TColor colour);

  // The drawing state and operations of this bitmap. The canvas lives as long
  // as the bitmap.
  TCanvas& Canvas();

  // The test drawing on this bitmap makes between its steps (canvas/stop.h);
  // the empty test by default. Neither copied by Assign nor handed on by
  // ReleaseHandle: it belongs to whoever draws here.
  const TStopTest& StopTest() const { return stop_; }
  void SetStopTest(const TStopTest& stop) { stop_ = stop; }

  // The operations drawn on this bitmap through its canvas, in order: the
  // vector form of the same picture. Resizing and changing the pixel format
  // keep it.
  const TRecording& Recording() const { return recording_; }
  TRecording& Recording() { return recording_; }

  // Gives the image away: the returned bitmap owns the pixels, format,
  // palette and recording, and this bitmap is left empty (0 x 0, pfDevice).
  // Used to hand a picture to a client as a handle it must delete.
  std::unique_ptr<TBitmap> ReleaseHandle();

 private:
  void Reallocate(int width, int height, TPixelFormat format);
  // Forgets the remembered indices; called whenever the palette may change.
  void ForgetIndices() { index_memo_.fill(IndexMemo{}); }

  // A colour's RGB value (kNoRgb: none) and the entry it draws with.
  static constexpr TColor kNoRgb = 0xFFFFFFFF;
  struct IndexMemo {
    TColor rgb = kNoRgb;
    int index = 0;
  };

  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  TPixelFormat pixel_format_ = TPixelFormat::pfDevice;
  std::vector<TPaletteEntry> palette_;
  std::vector<uint8_t> pixels_;
  std::unique_ptr<TCanvas> canvas_;  // made on first use
  TStopTest stop_;
  TRecording recording_;
  std::array<IndexMemo, 256> index_memo_{};  // by a hash of the RGB value
};

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_BITMAP_H_
