#include "imaging/png_chunks.h"

#include <algorithm>
#include <cstring>

#include <zlib.h>

namespace plotvane {

namespace {

void PutU32BE(uint8_t* out, uint32_t v) {
  out[0] = static_cast<uint8_t>(v >> 24);
  out[1] = static_cast<uint8_t>(v >> 16);
  out[2] = static_cast<uint8_t>(v >> 8);
  out[3] = static_cast<uint8_t>(v);
}

}  // namespace

void WritePNGChunk(ByteWriter* out, const char* type, const uint8_t* data, size_t size) {
  uint8_t head[8];
  PutU32BE(head, static_cast<uint32_t>(size));
  std::memcpy(head + 4, type, 4);
  // The CRC covers the type letters and the data but not the length. zlib's
  // CRC-32 is the one the format defines, and its table is built once and
  // never changed, so writers on several threads can share it.
  uLong crc = crc32(0L, head + 4, 4);
  // crc32 takes a uInt length: feed huge data in pieces.
  for (size_t done = 0; done < size;) {
    const size_t piece = std::min<size_t>(size - done, 1u << 30);
    crc = crc32(crc, data + done, static_cast<uInt>(piece));
    done += piece;
  }
  uint8_t tail[4];
  PutU32BE(tail, static_cast<uint32_t>(crc));
  out->Write(head, sizeof head);
  out->Write(data, size);
  out->Write(tail, sizeof tail);
}

void WriteIDATChunks(ByteWriter* out, const uint8_t* data, size_t size) {
  size_t done = 0;
  do {
    const size_t piece = std::min(size - done, kIdatChunkBytes);
    WritePNGChunk(out, "IDAT", data + done, piece);
    done += piece;
  } while (done < size);
}

}  // namespace plotvane
