// TJPEGImage: holds one bitmap and writes it as a baseline JFIF file.
//
//   Assign              takes a copy of a bitmap, dropping earlier output
//   CompressionQuality  the quality handed to the compressor (low 8 bits)
//   Compress            compresses now (SaveToStream does it on demand)
//   SaveToStream        writes the compressed bytes to a byte sink
//
// Palettised bitmaps are expanded to their palette's colours first, so an
// indexed bitmap and its truecolour copy give the same bytes.
#ifndef PLOTVANE_IMAGING_JPEG_H_
#define PLOTVANE_IMAGING_JPEG_H_

#include <cstdint>
#include <string>
#include <vector>

#include "canvas/bitmap.h"
#include "imaging/byte_writer.h"

namespace plotvane {

class TJPEGImage {
 public:
  // An empty image: a 0 x 0 bitmap, quality 100.
  TJPEGImage() = default;
  TJPEGImage(const TJPEGImage&) = delete;
  TJPEGImage& operator=(const TJPEGImage&) = delete;

  // Takes a copy of `bitmap` and drops any compressed data.
  void Assign(const TBitmap& bitmap);

  // The quality keeps the low 8 bits of what is set (300 becomes 44); the
  // compressor reads 0 as 1 and anything above 100 as 100. A new quality
  // drops compressed data made with the old one.
  int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int quality);

  // Compresses the bitmap if that has not been done since the last Assign or
  // quality change. A bitmap without pixels compresses to nothing (0 bytes).
  // Throws EJPEGError with the library's message (for example a side longer
  // than the library supports), std::bad_alloc; the image then holds no
  // compressed data.
  void Compress();
  // The compressed file. REQUIRES: Compress() has run.
  const std::vector<uint8_t>& Data() const { return data_; }

  // Compresses on demand, then writes the compressed bytes unchanged.
  // Throws as Compress and whatever the stream throws.
  void SaveToStream(ByteWriter* stream);

 private:
  TBitmap bitmap_;
  int quality_ = 100;
  bool compressed_ = false;
  std::vector<uint8_t> data_;
};

}  // namespace plotvane

#endif  // PLOTVANE_IMAGING_JPEG_H_
