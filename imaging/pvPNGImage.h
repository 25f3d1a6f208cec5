// TpvPNGImage: holds one bitmap and writes it as a PNG file.
//
//   Assign           takes a copy of a bitmap (or of another PNG image)
//   SetTransparency  marks one colour of the picture as fully transparent
//   XDPI, YDPI       physical resolution, written when both are set
//   SaveToStream     writes the PNG file to a byte sink
//
// Indexed bitmaps (1, 4 or 8 bits a pixel) become indexed-colour PNG files with
// their whole palette, 24-bit bitmaps truecolour files; nothing is converted or
// re-quantised. Greyscale output is not offered: chart palettes are coloured,
// and an indexed file shows a grey palette exactly as well.
#ifndef PLOTVANE_IMAGING_PVPNGIMAGE_H_
#define PLOTVANE_IMAGING_PVPNGIMAGE_H_

#include <cstdint>
#include <string>

#include "canvas/bitmap.h"
#include "imaging/byte_writer.h"

namespace plotvane {

// How a picture is transparent. Only a single transparent colour is ever set.
enum class TTransparencyType : uint8_t {
  ttGIF,        // an indexed picture: one palette index is transparent
  ttSingleRGB,  // a truecolour picture: one colour is transparent
  ttNone,       // opaque
};

// The transparency state of a picture. Reset state: ttNone, nothing else set.
struct TAlpha {
  TTransparencyType FTransparencyType = TTransparencyType::ttNone;
  bool FHasSingleTransparency = false;
  TColor FSingleTransColour = 0;
  uint8_t FTransparentIndex = 0;  // the transparent palette index (ttGIF)
  uint16_t FRed = 0;              // the transparent colour's components (ttSingleRGB)
  uint16_t FGreen = 0;
  uint16_t FBlue = 0;
};

class TpvPNGImage {
 public:
  // An empty image: a 0 x 0 bitmap, opaque, no resolution.
  TpvPNGImage() = default;
  TpvPNGImage(const TpvPNGImage&) = delete;
  TpvPNGImage& operator=(const TpvPNGImage&) = delete;

  // Takes a copy of `source` with its pixel format and palette (a 4-bit bitmap
  // keeps its 16-entry palette). Transparency and resolution are reset, so
  // they are set after assigning.
  void Assign(const TBitmap& source);
  // Copies the bitmap, the transparency and the resolution of `source`.
  void Assign(const TpvPNGImage& source);
  // Back to the empty image, as assigning nothing.
  void Clear();

  // With IsTransparent, makes `TransparentColour` (0x00BBGGRR) transparent:
  // on a truecolour bitmap that colour; on an indexed bitmap the first palette
  // entry with the same red, green and blue, and nothing when no entry has it.
  // Without IsTransparent the picture becomes opaque. Acts on the bitmap held
  // now, so it is called after Assign.
  void SetTransparency(TColor TransparentColour, bool IsTransparent);

  // Resolution in dots per inch, stored as whole pixels per metre (dpi x
  // 39.37007874, rounded half to even). 0 or a negative value means "not set";
  // values too large for the file are stored as the largest it can carry.
  int XDPI() const;
  int YDPI() const;
  void SetXDPI(int dpi);
  void SetYDPI(int dpi);

  int Width() const { return FBitmap.Width(); }
  int Height() const { return FBitmap.Height(); }
  const TBitmap& Bitmap() const { return FBitmap; }
  const TAlpha& Alpha() const { return FAlpha; }

  // Writes the whole PNG file to `stream`. A bitmap without pixels still gives
  // a file: 0 x 0, a palette of 16 black entries and an empty data stream.
  // Throws EPNGError when the compressor fails, std::bad_alloc, and whatever
  // the stream throws. The image itself is not changed.
  void SaveToStream(ByteWriter* stream) const;

 private:
  TBitmap FBitmap;
  uint32_t FXPixelsPerMetre = 0;  // 0: not set
  uint32_t FYPixelsPerMetre = 0;
  TAlpha FAlpha;
};

}  // namespace plotvane

#endif  // PLOTVANE_IMAGING_PVPNGIMAGE_H_
