// The variable-length-code LZW coder of GIF image data.
#ifndef PLOTVANE_IMAGING_GIF_LZW_H_
#define PLOTVANE_IMAGING_GIF_LZW_H_

#include <cstddef>
#include <cstdint>

#include "imaging/byte_writer.h"

namespace plotvane {

// Writes the image data of one frame: the minimum code size byte, the LZW
// codes of `pixels` in data sub-blocks of at most 255 bytes, and the
// zero-length terminator block.
// REQUIRES: 2 <= min_code_size <= 8; every pixel < 2^min_code_size.
void WriteLZWImageData(ByteWriter* out, const uint8_t* pixels, size_t count, int min_code_size);

}  // namespace plotvane

#endif  // PLOTVANE_IMAGING_GIF_LZW_H_
