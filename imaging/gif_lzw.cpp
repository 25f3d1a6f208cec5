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
// The table is hashed on (prefix code, pixel) with open addressing: at most
// 4093 strings in 8192 slots keeps probe chains short, and starting over only
// rewrites one small array.
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

class StringTable {
 public:
  StringTable() : keys_(size_t{1} << kHashBits, kEmptySlot), codes_(size_t{1} << kHashBits) {}

  void Clear() { std::fill(keys_.begin(), keys_.end(), kEmptySlot); }

  // The code of (prefix, pixel), or -1.
  int Find(uint32_t key) const {
    for (size_t slot = Hash(key);; slot = (slot + 1) & Mask()) {
      if (keys_[slot] == key) return codes_[slot];
      if (keys_[slot] == kEmptySlot) return -1;
    }
  }

  // REQUIRES: key is absent.
  void Insert(uint32_t key, int code) {
    size_t slot = Hash(key);
    while (keys_[slot] != kEmptySlot) slot = (slot + 1) & Mask();
    keys_[slot] = key;
    codes_[slot] = static_cast<uint16_t>(code);
  }

  static uint32_t Key(int prefix, uint8_t pixel) {
    return (static_cast<uint32_t>(prefix) << 8) | pixel;
  }

 private:
  static size_t Mask() { return (size_t{1} << kHashBits) - 1; }
  static size_t Hash(uint32_t key) { return (key * 2654435761u) >> (32 - kHashBits); }

  std::vector<uint32_t> keys_;
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

class LZWEncoder {
 public:
  LZWEncoder(int min_code_size, std::vector<uint8_t>* out)
      : min_code_size_(min_code_size),
        clear_code_(1 << min_code_size),
        end_code_(clear_code_ + 1),
        next_code_(clear_code_ + 2),
        width_(min_code_size + 1),
        packer_(out) {}

  void Encode(const uint8_t* pixels, size_t count) {
    PutCode(clear_code_);
    if (count > 0) {
      int prefix = pixels[0];
      for (size_t i = 1; i < count; ++i) {
        const uint32_t key = StringTable::Key(prefix, pixels[i]);
        const int code = table_.Find(key);
        if (code >= 0) {
          prefix = code;
          continue;
        }
        PutCode(prefix);
        if (next_code_ == kLastFreeCode) {
          PutCode(clear_code_);
        } else {
          table_.Insert(key, next_code_++);
        }
        prefix = pixels[i];
      }
      PutCode(prefix);
    }
    PutCode(end_code_);
    packer_.Finish();
  }

 private:
  void PutCode(int code) {
    packer_.Put(code, width_);
    if (code == clear_code_) {
      table_.Clear();
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
  CodePacker packer_;
};

}  // namespace

void WriteLZWImageData(ByteWriter* out, const uint8_t* pixels, size_t count, int min_code_size) {
  std::vector<uint8_t> bytes;
  // Charts compress far below one byte a pixel; reserve for the usual case.
  bytes.reserve(count / 4 + 64);
  bytes.push_back(static_cast<uint8_t>(min_code_size));
  LZWEncoder(min_code_size, &bytes).Encode(pixels, count);
  out->Write(bytes);
}

}  // namespace plotvane
