// The BMP writer: a bitmap as an uncompressed device-independent bitmap file.
#ifndef PLOTVANE_IMAGING_BMP_H_
#define PLOTVANE_IMAGING_BMP_H_

#include <cstdint>
#include <string>
#include <vector>

#include "canvas/bitmap.h"
#include "imaging/byte_writer.h"

namespace plotvane {

// Writes `bitmap` as a BMP file: a 1-, 4- or 8-bit bitmap with its whole
// colour table (2, 16 or 256 entries), any other as 24 bits a pixel. A bitmap
// without pixels writes nothing (0 bytes). Throws what the stream throws.
void SaveBitmapToStream(const TBitmap& bitmap, ByteWriter* stream);

// The BMP file of `bitmap` in memory (empty for a bitmap without pixels).
std::vector<uint8_t> EncodeBMP(const TBitmap& bitmap);

}  // namespace plotvane

#endif  // PLOTVANE_IMAGING_BMP_H_
