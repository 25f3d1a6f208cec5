// Chunk framing of the PNG writer, kept apart so that the framing rules can be
// exercised on data of any size without building a picture for it.
#ifndef PLOTVANE_IMAGING_PNG_CHUNKS_H_
#define PLOTVANE_IMAGING_PNG_CHUNKS_H_

#include <cstddef>
#include <cstdint>

#include "imaging/byte_writer.h"

namespace plotvane {

// The compressed image data is cut into IDAT chunks of this many bytes.
constexpr size_t kIdatChunkBytes = 512000;

// Writes one chunk: data length (4 bytes, big-endian), the four letters of
// `type`, `size` bytes of `data`, and the CRC-32 over type and data.
// REQUIRES: type has four letters; size < 2^31.
void WritePNGChunk(ByteWriter* out, const char* type, const uint8_t* data, size_t size);

// Writes `size` bytes of compressed image data as IDAT chunks of
// kIdatChunkBytes each, the last one holding the rest. At least one chunk is
// written, so an empty input gives one IDAT without data.
void WriteIDATChunks(ByteWriter* out, const uint8_t* data, size_t size);

}  // namespace plotvane

#endif  // PLOTVANE_IMAGING_PNG_CHUNKS_H_
