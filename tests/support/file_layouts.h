// Byte-level readers of the PNG and GIF block structure, for tests that
// check what decoders do not show: chunk order and CRCs, GIF packed bytes,
// extension bytes, minimum code sizes and sub-block sizes. Both throw
// std::runtime_error on a file whose structure is broken.
#ifndef PLOTVANE_TESTS_SUPPORT_FILE_LAYOUTS_H_
#define PLOTVANE_TESTS_SUPPORT_FILE_LAYOUTS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plotvane {
namespace testing {

struct PNGChunk {
  std::string type;
  std::vector<uint8_t> data;
};

// The chunks of a PNG file, after checking the signature and every CRC.
std::vector<PNGChunk> PNGChunks(const std::vector<uint8_t>& file);

// The chunk types in file order, separated by spaces: "IHDR PLTE IDAT IEND".
std::string PNGChunkOrder(const std::vector<PNGChunk>& chunks);

uint32_t BigEndian32(const uint8_t* bytes);

struct GIFLayout {
  std::string version;                           // "GIF87a" or "GIF89a"
  uint8_t screen_packed = 0;                     // packed byte of the logical screen descriptor
  size_t global_entries = 0;                     // entries of the global table, 0 if none
  std::vector<std::vector<uint8_t>> extensions;  // whole blocks, introducer first
  int images = 0;
  uint8_t image_packed = 0;        // of the first image descriptor
  int min_code_size = -1;          // of the first image
  std::vector<size_t> sub_blocks;  // data sub-block sizes of the first image
  bool trailer = false;            // the file ends with exactly one trailer byte
};

GIFLayout GIFBlocks(const std::vector<uint8_t>& file);

}  // namespace testing
}  // namespace plotvane

#endif  // PLOTVANE_TESTS_SUPPORT_FILE_LAYOUTS_H_
