#include "tests/support/file_layouts.h"

#include <cstring>
#include <stdexcept>

#include <zlib.h>

namespace plotvane {
namespace testing {

namespace {

// Bounds-checked reading of a file.
class Cursor {
 public:
  explicit Cursor(const std::vector<uint8_t>& file) : file_(file) {}
  size_t at() const { return at_; }
  bool done() const { return at_ >= file_.size(); }
  uint8_t Byte() {
    Need(1);
    return file_[at_++];
  }
  void Skip(size_t n) {
    Need(n);
    at_ += n;
  }
  const uint8_t* Here(size_t n) {
    Need(n);
    return file_.data() + at_;
  }

 private:
  void Need(size_t n) const {
    if (file_.size() - at_ < n) throw std::runtime_error("truncated file");
  }
  const std::vector<uint8_t>& file_;
  size_t at_ = 0;
};

}  // namespace

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

std::vector<PNGChunk> PNGChunks(const std::vector<uint8_t>& file) {
  static const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
  Cursor in(file);
  if (std::memcmp(in.Here(8), kSignature, 8) != 0) throw std::runtime_error("no PNG signature");
  in.Skip(8);
  std::vector<PNGChunk> chunks;
  while (!in.done()) {
    const uint32_t length = BigEndian32(in.Here(4));
    in.Skip(4);
    const uint8_t* typed = in.Here(4 + size_t{length} + 4);
    PNGChunk chunk{std::string(typed, typed + 4),
                   std::vector<uint8_t>(typed + 4, typed + 4 + length)};
    if (BigEndian32(typed + 4 + length) != crc32(0L, typed, 4 + length)) {
      throw std::runtime_error("bad CRC in " + chunk.type);
    }
    in.Skip(4 + size_t{length} + 4);
    chunks.push_back(std::move(chunk));
  }
  return chunks;
}

std::string PNGChunkOrder(const std::vector<PNGChunk>& chunks) {
  std::string order;
  for (const PNGChunk& c : chunks) order += (order.empty() ? "" : " ") + c.type;
  return order;
}

GIFLayout GIFBlocks(const std::vector<uint8_t>& file) {
  Cursor in(file);
  GIFLayout g;
  const uint8_t* header = in.Here(13);
  g.version = std::string(header, header + 6);
  g.screen_packed = header[10];
  in.Skip(13);
  if (g.screen_packed & 0x80) {
    g.global_entries = size_t{1} << ((g.screen_packed & 7) + 1);
    in.Skip(3 * g.global_entries);
  }
  for (;;) {
    const size_t start = in.at();
    const uint8_t kind = in.Byte();
    if (kind == 0x3B) {
      g.trailer = in.done();
      return g;
    }
    const bool image = kind == 0x2C;
    if (kind == 0x21) {
      in.Skip(1);  // label
    } else if (image) {
      in.Skip(8);
      const uint8_t packed = in.Byte();
      if (packed & 0x80) in.Skip(3 * (size_t{1} << ((packed & 7) + 1)));
      const uint8_t min_code_size = in.Byte();
      if (g.images == 0) {
        g.image_packed = packed;
        g.min_code_size = min_code_size;
      }
      ++g.images;
    } else {
      throw std::runtime_error("unknown GIF block " + std::to_string(kind));
    }
    std::vector<size_t> blocks;
    for (uint8_t size = in.Byte(); size != 0; size = in.Byte()) {
      blocks.push_back(size);
      in.Skip(size);
    }
    if (image && g.images == 1) g.sub_blocks = blocks;
    if (!image) g.extensions.emplace_back(file.begin() + start, file.begin() + in.at());
  }
}

}  // namespace testing
}  // namespace plotvane
