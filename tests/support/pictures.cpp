#include "tests/support/pictures.h"

#include <algorithm>
#include <random>
#include <set>

namespace plotvane {
namespace testing {

namespace {

// Colours whose three channels differ, no two alike.
std::vector<TColor> DistinctColours(size_t count, std::mt19937* random) {
  std::vector<TColor> colours;
  std::set<TColor> seen;
  while (colours.size() < count) {
    const TColor c = (*random)() & 0xFFFFFF;
    const uint8_t r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    if (r == g || g == b || r == b || !seen.insert(c).second) continue;
    colours.push_back(c);
  }
  return colours;
}

}  // namespace

std::unique_ptr<TBitmap> RandomIndexedBitmap(TPixelFormat format, int width, int height,
                                             int colours, uint32_t seed) {
  std::mt19937 random(seed);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(format);
  const size_t palette_size = bitmap->Palette().size();
  std::vector<TPaletteEntry> palette;
  for (TColor c : DistinctColours(palette_size, &random)) {
    palette.push_back(TPaletteEntry{GetRValue(c), GetGValue(c), GetBValue(c), 0});
  }
  bitmap->SetPalette(palette);
  bitmap->SetSize(width, height);
  std::uniform_int_distribution<int> index(0, colours - 1);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) bitmap->SetIndex(x, y, index(random));
  }
  return bitmap;
}

std::unique_ptr<TBitmap> RandomTrueColourBitmap(int width, int height, int colours, uint32_t seed) {
  std::mt19937 random(seed);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf24bit);
  bitmap->SetSize(width, height);
  const std::vector<TColor> pool = DistinctColours(static_cast<size_t>(colours), &random);
  std::uniform_int_distribution<size_t> pick(0, pool.empty() ? 0 : pool.size() - 1);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bitmap->SetPixel(x, y, pool.empty() ? random() & 0xFFFFFF : pool[pick(random)]);
    }
  }
  return bitmap;
}

std::unique_ptr<TBitmap> SmoothTrueColourBitmap(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf24bit);
  bitmap->SetSize(width, height);
  const int w = std::max(width - 1, 1), h = std::max(height - 1, 1);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // A little noise of 0..3 a channel makes nearly every pixel a colour
      // of its own.
      const uint32_t noise = static_cast<uint32_t>(x * 7919 + y * 104729) * 2654435761u;
      const int r = 30 + 200 * x / w + static_cast<int>(noise >> 30);         // left to right
      const int g = 220 - 180 * y / h + static_cast<int>((noise >> 27) & 3);  // bottom to top
      const int b = 40 + 150 * (x + 2 * y) / (w + 2 * h) +
                    static_cast<int>((noise >> 24) & 3);  // along a slant
      bitmap->SetPixel(
          x, y, RGB(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)));
    }
  }
  return bitmap;
}

std::unique_ptr<TBitmap> RandomCellBitmap(int width, int height, uint32_t seed) {
  std::mt19937 random(seed);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf24bit);
  bitmap->SetSize(width, height);
  for (int y = 0; y < height; y += 2) {
    for (int x = 0; x < width; x += 2) {
      const TColor c = random() & 0xFFFFFF;
      for (int cy = y; cy < std::min(y + 2, height); ++cy) {
        for (int cx = x; cx < std::min(x + 2, width); ++cx) bitmap->SetPixel(cx, cy, c);
      }
    }
  }
  return bitmap;
}

std::vector<TColor> PixelColours(const TBitmap& bitmap) {
  std::vector<TColor> colours;
  colours.reserve(static_cast<size_t>(bitmap.Width()) * bitmap.Height());
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) colours.push_back(bitmap.GetPixel(x, y) & 0xFFFFFF);
  }
  return colours;
}

std::string FormatName(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit:
      return "1-bit";
    case TPixelFormat::pf4bit:
      return "4-bit";
    case TPixelFormat::pf8bit:
      return "8-bit";
    case TPixelFormat::pf24bit:
      return "24-bit";
    default:
      return "device";
  }
}

}  // namespace testing
}  // namespace plotvane
