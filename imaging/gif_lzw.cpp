// GIF's LZW, as written here. With m the minimum code size, code 2^m clears
// the string table, 2^m + 1 ends the data, and new strings get codes from
// 2^m + 2 upwards. Codes start m + 1 bits wide and are packed into bytes least
// significant bit first.
//
//   byte m
//   sub-blocks: length (1..255) followed by that many bytes of codes
//   terminator: 0
//
// The codes: a clear code first; then the longest string of pixels already in
// the table is extended pixel by pixel; when (string, pixel) is not in the
// table the string's code is written, the pixel starts the next string and
// the pair is added under the next free code. When the next free code has
// reached 4095 a clear code is written instead of adding, and the table
// starts over. After each code, once the next free code no longer fits the
// current width, the width grows by a bit (at most 12); a clear code returns
// it to m + 1. At the end come the last string's code and the end code, and
// the last partial byte is padded with zero bits.
//
// The string table maps (prefix code, pixel) to a code. For pictures of at
// most 16 colours, which is what charts are, it is a plain array of 4095
// prefixes by 2^m pixels: one load per pixel. For more colours that array
// would be too large to clear each time the table starts over, so the table
// is hashed with open addressing instead: at most 4093 strings in 8192 slots
// keeps probe chains short, and starting over only rewrites one small array.
#include "imaging/gif_lzw.h"

#include <algorithm>
#include <vector>

namespace plotvane {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kLastFreeCode = 4095;
constexpr int kHashBits = 13;
constexpr uint32_t kEmptySlot = 0xFFFFFFFF;
constexpr size_t kSubBlockBytes = 255;
// The largest minimum code size the direct table serves (16 colours).
constexpr int kMaxDirectCodeSize = 4;

// The hashed string table, for any minimum code size.
class HashedTable {
 public:
  explicit HashedTable(int /*min_code_size*/)
      : keys_(size_t{1} << kHashBits, kEmptySlot), codes_(size_t{1} << kHashBits) {}

  void Clear(int /*next_code*/) { std::fill(keys_.begin(), keys_.end(), kEmptySlot); }

  // The code of (prefix, pixel), or -1.
  int Find(int prefix, uint8_t pixel) const {
    const uint32_t key = Key(prefix, pixel);
    for (size_t slot = Hash(key);; slot = (slot + 1) & Mask()) {
      if (keys_[slot] == key) return codes_[slot];
      if (keys_[slot] == kEmptySlot) return -1;
    }
  }

  // REQUIRES: (prefix, pixel) is absent.
  void Insert(int prefix, uint8_t pixel, int code) {
    const uint32_t key = Key(prefix, pixel);
    size_t slot = Hash(key);
    while (keys_[slot] != kEmptySlot) slot = (slot + 1) & Mask();
    keys_[slot] = key;
    codes_[slot] = static_cast<uint16_t>(code);
  }

 private:
  static uint32_t Key(int prefix, uint8_t pixel) {
    return (static_cast<uint32_t>(prefix) << 8) | pixel;
  }
  static size_t Mask() { return (size_t{1} << kHashBits) - 1; }
  static size_t Hash(uint32_t key) { return (key * 2654435761u) >> (32 - kHashBits); }

  std::vector<uint32_t> keys_;
  std::vector<uint16_t> codes_;
};

// The direct string table: entry prefix * 2^m + pixel holds the code of
// (prefix, pixel), 0 for none (no string ever gets code 0). Prefixes are
// codes below 4095; with 16 pixels a prefix the table takes just under
// 128 KiB, below the size the C library maps fresh for every picture.
// REQUIRES: min_code_size <= kMaxDirectCodeSize.
class DirectTable {
 public:
  explicit DirectTable(int min_code_size)
      : bits_(min_code_size), codes_(size_t{kLastFreeCode} << min_code_size, 0) {}

  // Only the rows of prefixes below `next_code` can hold codes.
  void Clear(int next_code) {
    std::fill(codes_.begin(), codes_.begin() + (static_cast<size_t>(next_code) << bits_), 0);
  }

  int Find(int prefix, uint8_t pixel) const {
    const uint16_t code = codes_[Slot(prefix, pixel)];
    return code == 0 ? -1 : code;
  }

  void Insert(int prefix, uint8_t pixel, int code) {
    codes_[Slot(prefix, pixel)] = static_cast<uint16_t>(code);
  }

 private:
  size_t Slot(int prefix, uint8_t pixel) const {
    return (static_cast<size_t>(prefix) << bits_) | pixel;
  }

  const int bits_;
  std::vector<uint16_t> codes_;
};

// Packs codes least significant bit first into sub-blocks.
class CodePacker {
 public:
  explicit CodePacker(std::vector<uint8_t>* out) : out_(out) {}

  void Put(int code, int width) {
    bits_ |= static_cast<uint32_t>(code) << count_;
    count_ += width;
    while (count_ >= 8) {
      PutByte(static_cast<uint8_t>(bits_));
      bits_ >>= 8;
      count_ -= 8;
    }
  }

  void Finish() {
    if (count_ > 0) PutByte(static_cast<uint8_t>(bits_));
    if (block_.size() > 0) FlushBlock();
    out_->push_back(0);
  }

 private:
  void PutByte(uint8_t byte) {
    block_.push_back(byte);
    if (block_.size() == kSubBlockBytes) FlushBlock();
  }
  void FlushBlock() {
    out_->push_back(static_cast<uint8_t>(block_.size()));
    out_->insert(out_->end(), block_.begin(), block_.end());
    block_.clear();
  }

  std::vector<uint8_t>* out_;
  std::vector<uint8_t> block_;
  uint32_t bits_ = 0;
  int count_ = 0;
};

// Besides the string table the encoder knows which codes stand for runs of
// one pixel value (p, pp, ppp, ...): a run of n pixels of a string table
// that holds runs up to length m is then matched in one step instead of
// min(n, m) lookups. Charts are mostly such runs. Each run of p in the table
// extends the one before it, so runs_[p][k] is the code of p repeated k
// times for k from 1 to the longest known.
template <typename StringTable>
class LZWEncoder {
 public:
  LZWEncoder(int min_code_size, std::vector<uint8_t>* out)
      : min_code_size_(min_code_size),
        clear_code_(1 << min_code_size),
        end_code_(clear_code_ + 1),
        next_code_(clear_code_ + 2),
        width_(min_code_size + 1),
        table_(min_code_size),
        run_length_(kLastFreeCode, 0),
        run_pixel_(kLastFreeCode, 0),
        runs_(static_cast<size_t>(clear_code_)),
        packer_(out) {
    for (int p = 0; p < clear_code_; ++p) {
      run_length_[static_cast<size_t>(p)] = 1;
      run_pixel_[static_cast<size_t>(p)] = static_cast<uint8_t>(p);
      runs_[static_cast<size_t>(p)] = {0, static_cast<uint16_t>(p)};
    }
  }

  void Encode(const uint8_t* pixels, size_t count) {
    PutCode(clear_code_);
    if (count > 0) {
      int prefix = pixels[0];
      size_t i = 1;
      while (i < count) {
        const uint8_t pixel = pixels[i];
        const size_t have = run_length_[static_cast<size_t>(prefix)];
        if (have > 0 && run_pixel_[static_cast<size_t>(prefix)] == pixel) {
          const std::vector<uint16_t>& run = runs_[pixel];
          const size_t longest = run.size() - 1;
          if (have < longest) {
            // The prefix is a run of this pixel that the table knows longer
            // runs of: follow the pixels as far as both go.
            const size_t most = std::min(longest - have, count - i);
            size_t n = 1;
            while (n < most && pixels[i + n] == pixel) ++n;
            prefix = run[have + n];
            i += n;
            continue;
          }
        }
        const int code = table_.Find(prefix, pixel);
        if (code >= 0) {
          prefix = code;
          ++i;
          continue;
        }
        PutCode(prefix);
        if (next_code_ == kLastFreeCode) {
          PutCode(clear_code_);
        } else {
          Insert(prefix, pixel, next_code_++);
        }
        prefix = pixel;
        ++i;
      }
      PutCode(prefix);
    }
    PutCode(end_code_);
    packer_.Finish();
  }

 private:
  void Insert(int prefix, uint8_t pixel, int code) {
    table_.Insert(prefix, pixel, code);
    const size_t have = run_length_[static_cast<size_t>(prefix)];
    const bool run = have > 0 && run_pixel_[static_cast<size_t>(prefix)] == pixel;
    run_length_[static_cast<size_t>(code)] = run ? static_cast<uint16_t>(have + 1) : 0;
    run_pixel_[static_cast<size_t>(code)] = pixel;
    if (run) runs_[pixel].push_back(static_cast<uint16_t>(code));
  }

  void PutCode(int code) {
    packer_.Put(code, width_);
    if (code == clear_code_) {
      table_.Clear(next_code_);
      for (auto& run : runs_) run.resize(2);
      next_code_ = clear_code_ + 2;
      width_ = min_code_size_ + 1;
    } else if (next_code_ > (1 << width_) - 1 && width_ < kMaxCodeBits) {
      ++width_;
    }
  }

  const int min_code_size_;
  const int clear_code_;
  const int end_code_;
  int next_code_;
  int width_;
  StringTable table_;
  std::vector<uint16_t> run_length_;  // by code: n for a run of n pixels, else 0
  std::vector<uint8_t> run_pixel_;    // by code: the pixel of a run
  std::vector<std::vector<uint16_t>> runs_;  // by pixel: codes of its runs by length
  CodePacker packer_;
};

}  // namespace

void WriteLZWImageData(ByteWriter* out, const uint8_t* pixels, size_t count, int min_code_size) {
  std::vector<uint8_t> bytes;
  // Charts compress far below one byte a pixel; reserve for the usual case.
  bytes.reserve(count / 4 + 64);
  bytes.push_back(static_cast<uint8_t>(min_code_size));
  if (min_code_size <= kMaxDirectCodeSize) {
    LZWEncoder<DirectTable>(min_code_size, &bytes).Encode(pixels, count);
  } else {
    LZWEncoder<HashedTable>(min_code_size, &bytes).Encode(pixels, count);
  }
  out->Write(bytes);
}

}  // namespace plotvane
