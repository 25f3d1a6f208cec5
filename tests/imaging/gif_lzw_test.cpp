// The LZW coder against the textbook form of the same coding: one string
// table lookup per pixel, no shortcuts. The coder matches runs of one pixel
// value in one step and keeps two kinds of string table; whatever it does
// inside, its codes must be exactly these.
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "imaging/byte_writer.h"
#include "imaging/gif_lzw.h"

namespace plotvane {
namespace {

// The image data of `pixels` as GIF defines it: minimum code size, codes
// least significant bit first in sub-blocks of 255 bytes, terminator.
std::vector<uint8_t> TextbookLZW(const std::vector<uint8_t>& pixels, int m) {
  const int clear = 1 << m, end = clear + 1;
  std::map<std::pair<int, int>, int> table;
  int next = clear + 2, width = m + 1;
  std::vector<uint8_t> bytes;
  uint32_t bits = 0;
  int count = 0;
  auto put = [&](int code) {
    bits |= static_cast<uint32_t>(code) << count;
    count += width;
    for (; count >= 8; count -= 8, bits >>= 8) bytes.push_back(static_cast<uint8_t>(bits));
    if (code == clear) {
      table.clear();
      next = clear + 2;
      width = m + 1;
    } else if (next > (1 << width) - 1 && width < 12) {
      ++width;
    }
  };
  put(clear);
  if (!pixels.empty()) {
    int prefix = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
      const auto found = table.find({prefix, pixels[i]});
      if (found != table.end()) {
        prefix = found->second;
        continue;
      }
      put(prefix);
      if (next == 4095) {
        put(clear);
      } else {
        table[{prefix, pixels[i]}] = next++;
      }
      prefix = pixels[i];
    }
    put(prefix);
  }
  put(end);
  if (count > 0) bytes.push_back(static_cast<uint8_t>(bits));
  std::vector<uint8_t> out{static_cast<uint8_t>(m)};
  for (size_t at = 0; at < bytes.size(); at += 255) {
    const size_t n = std::min<size_t>(255, bytes.size() - at);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + n));
  }
  out.push_back(0);
  return out;
}

// Runs of random values and random lengths up to `longest_run`.
std::vector<uint8_t> Runs(size_t count, int m, int longest_run, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> pixels;
  while (pixels.size() < count) {
    const uint8_t value = static_cast<uint8_t>(random() % (1u << m));
    const size_t length = 1 + random() % static_cast<uint32_t>(longest_run);
    pixels.insert(pixels.end(), std::min(length, count - pixels.size()), value);
  }
  return pixels;
}

TEST(GifLzwTest, CodesAreThoseOfTheTextbookCoder) {
  const struct {
    const char* what;
    size_t count;
    int longest_run;
  } pictures[] = {
      {"no pixels", 0, 1},
      {"one pixel", 1, 1},
      {"one long run", 100000, 1000000},
      {"noise, the table starting over", 20000, 1},
      {"short runs", 30000, 4},
      {"chart-like runs", 100000, 400},
      {"runs longer than the table knows", 150000, 5000},
  };
  for (int m = 2; m <= 8; ++m) {
    for (const auto& p : pictures) {
      const std::vector<uint8_t> pixels = Runs(p.count, m, p.longest_run, 7u * m + 1);
      std::vector<uint8_t> written;
      VectorByteWriter writer(&written);
      WriteLZWImageData(&writer, pixels.data(), pixels.size(), m);
      EXPECT_EQ(written, TextbookLZW(pixels, m)) << p.what << ", minimum code size " << m;
    }
  }
}

}  // namespace
}  // namespace plotvane
