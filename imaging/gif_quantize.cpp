// Octree colour quantization with optional Floyd-Steinberg error diffusion.
//
// Every pixel's colour is sorted into an octree: level L picks one of eight
// children by bit 7 - L of red, green and blue, so a leaf at depth 8 holds a
// single colour. Leaves sum the colours they receive. Whenever there are more
// leaves than colours wanted, the deepest inner node that covers the fewest
// pixels is folded into a leaf of its own (the first such node on a tie), so
// rare colours merge before common ones and the flat areas of a chart keep
// their exact colours. The palette is each leaf's mean colour, leaves taken
// depth first in child order.
//
// Every pixel then takes the nearest palette entry in squared RGB distance.
// Without reduction every leaf holds one colour, so each pixel finds its own
// colour and the diffused error stays zero.
#include "imaging/gif_quantize.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "imaging/errors.h"

namespace plotvane {

namespace {

constexpr int kDepth = 8;

class Octree {
 public:
  Octree(int max_leaves, bool reduce) : max_leaves_(max_leaves), reduce_(reduce) { NewNode(0); }

  // Sorts `pixels` pixels of one colour into the tree. Throws EGIFError when
  // the tree may not reduce and the colours no longer fit.
  void Add(uint8_t r, uint8_t g, uint8_t b, uint64_t pixels) {
    int32_t id = 0;
    for (int level = 0;; ++level) {
      Node& node = nodes_[static_cast<size_t>(id)];
      node.count += pixels;
      if (node.leaf) {
        node.red += r * pixels;
        node.green += g * pixels;
        node.blue += b * pixels;
        break;
      }
      const int octant = Octant(r, g, b, level);
      if (node.child[octant] < 0) {
        const int32_t child = NewNode(level + 1);
        nodes_[static_cast<size_t>(id)].child[octant] = child;
      }
      id = nodes_[static_cast<size_t>(id)].child[octant];
    }
    while (leaves_ > max_leaves_) {
      if (!reduce_) throw EGIFError("Image has more colors than the color table can hold");
      Reduce();
    }
  }

  // The leaves' mean colours, depth first in child order.
  std::vector<TGIFColor> BuildPalette() const {
    std::vector<TGIFColor> palette;
    Number(0, &palette);
    return palette;
  }

 private:
  struct Node {
    std::array<int32_t, 8> child;
    uint64_t count = 0;                     // pixels in this subtree
    uint64_t red = 0, green = 0, blue = 0;  // leaves only
    bool leaf = false;
  };

  static int Octant(uint8_t r, uint8_t g, uint8_t b, int level) {
    const int shift = 7 - level;
    return (((r >> shift) & 1) << 2) | (((g >> shift) & 1) << 1) | ((b >> shift) & 1);
  }

  int32_t NewNode(int level) {
    Node node;
    node.child.fill(-1);
    node.leaf = level == kDepth;
    int32_t id;
    if (!free_.empty()) {
      id = free_.back();
      free_.pop_back();
      nodes_[static_cast<size_t>(id)] = node;
    } else {
      id = static_cast<int32_t>(nodes_.size());
      nodes_.push_back(node);
    }
    if (node.leaf) {
      ++leaves_;
    } else {
      reducible_[static_cast<size_t>(level)].push_back(id);
    }
    return id;
  }

  // Folds the deepest, least used inner node into a leaf. Its children are
  // all leaves, since an inner child would be deeper.
  void Reduce() {
    int level = kDepth - 1;
    while (reducible_[static_cast<size_t>(level)].empty()) --level;
    std::vector<int32_t>& candidates = reducible_[static_cast<size_t>(level)];
    size_t pick = 0;
    for (size_t i = 1; i < candidates.size(); ++i) {
      if (nodes_[static_cast<size_t>(candidates[i])].count <
          nodes_[static_cast<size_t>(candidates[pick])].count) {
        pick = i;
      }
    }
    const int32_t id = candidates[pick];
    candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(pick));
    Node& node = nodes_[static_cast<size_t>(id)];
    int children = 0;
    for (int32_t& child : node.child) {
      if (child < 0) continue;
      const Node& leaf = nodes_[static_cast<size_t>(child)];
      node.red += leaf.red;
      node.green += leaf.green;
      node.blue += leaf.blue;
      free_.push_back(child);
      child = -1;
      ++children;
    }
    node.leaf = true;
    leaves_ -= children - 1;
  }

  void Number(int32_t id, std::vector<TGIFColor>* palette) const {
    const Node& node = nodes_[static_cast<size_t>(id)];
    if (node.leaf) {
      if (node.count == 0) return;  // an empty tree's root
      const uint64_t n = node.count;
      palette->push_back(TGIFColor{static_cast<uint8_t>((node.red + n / 2) / n),
                                   static_cast<uint8_t>((node.green + n / 2) / n),
                                   static_cast<uint8_t>((node.blue + n / 2) / n)});
      return;
    }
    for (int32_t child : node.child) {
      if (child >= 0) Number(child, palette);
    }
  }

  const int max_leaves_;
  const bool reduce_;
  int leaves_ = 0;
  std::vector<Node> nodes_;
  std::vector<int32_t> free_;
  std::array<std::vector<int32_t>, kDepth> reducible_;
};

// Nearest palette entry by squared RGB distance, the lowest index on a tie.
// The entries are searched outwards from the colour's red value in order of
// red, stopping once the red difference alone exceeds the best distance; a
// small direct-mapped cache catches the colours dithering repeats.
class NearestColor {
 public:
  explicit NearestColor(const std::vector<TGIFColor>& palette) {
    for (size_t i = 0; i < palette.size(); ++i) {
      entries_.push_back(
          Entry{palette[i].Red, palette[i].Green, palette[i].Blue, static_cast<uint8_t>(i)});
    }
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.red < b.red; });
    tags_.fill(kNoTag);
  }

  int Find(uint8_t r, uint8_t g, uint8_t b) {
    const uint32_t rgb = (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
    const size_t slot = (rgb * 2654435761u) >> (32 - kCacheBits);
    if (tags_[slot] == rgb) return indices_[slot];
    const auto start = std::lower_bound(entries_.begin(), entries_.end(), r,
                                        [](const Entry& e, uint8_t red) { return e.red < red; });
    const size_t middle = static_cast<size_t>(start - entries_.begin());
    int best = -1;
    int best_distance = std::numeric_limits<int>::max();
    auto visit = [&](const Entry& e) {
      const int dr = r - e.red;
      if (dr * dr > best_distance) return false;  // every further entry is farther
      const int dg = g - e.green, db = b - e.blue;
      const int distance = dr * dr + dg * dg + db * db;
      if (distance < best_distance || (distance == best_distance && e.index < best)) {
        best_distance = distance;
        best = e.index;
      }
      return true;
    };
    for (size_t i = middle; i < entries_.size() && visit(entries_[i]); ++i) {
    }
    for (size_t i = middle; i > 0 && visit(entries_[i - 1]); --i) {
    }
    tags_[slot] = rgb;
    indices_[slot] = static_cast<uint8_t>(best);
    return best;
  }

 private:
  struct Entry {
    uint8_t red, green, blue, index;
  };
  static constexpr uint32_t kNoTag = 0xFFFFFFFF;
  static constexpr int kCacheBits = 14;
  std::vector<Entry> entries_;
  std::array<uint32_t, size_t{1} << kCacheBits> tags_;
  std::array<uint8_t, size_t{1} << kCacheBits> indices_{};
};

uint8_t ClampByte(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// Maps every pixel onto the palette, row by row from the left. Errors are
// kept in sixteenths: 7 to the right, 3, 5 and 1 below left, below and below
// right.
std::vector<uint8_t> MapPixels(const TBitmap& bitmap, const std::vector<TGIFColor>& palette,
                               bool dither) {
  const int width = bitmap.Width(), height = bitmap.Height();
  std::vector<uint8_t> indices(static_cast<size_t>(width) * height);
  NearestColor nearest(palette);
  // Per channel, width + 2 slots so that the neighbours of the edge pixels
  // need no test.
  const size_t slots = (static_cast<size_t>(width) + 2) * 3;
  std::vector<int> this_row(slots, 0), next_row(slots, 0);
  uint8_t* out = indices.data();
  for (int y = 0; y < height; ++y) {
    const uint8_t* bgr = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x, bgr += 3) {
      const size_t e = (static_cast<size_t>(x) + 1) * 3;
      const uint8_t r = ClampByte(bgr[2] + this_row[e] / 16);
      const uint8_t g = ClampByte(bgr[1] + this_row[e + 1] / 16);
      const uint8_t b = ClampByte(bgr[0] + this_row[e + 2] / 16);
      const int index = nearest.Find(r, g, b);
      *out++ = static_cast<uint8_t>(index);
      if (!dither) continue;
      const TGIFColor& got = palette[static_cast<size_t>(index)];
      const int error[3] = {r - got.Red, g - got.Green, b - got.Blue};
      for (size_t c = 0; c < 3; ++c) {
        this_row[e + 3 + c] += error[c] * 7;
        next_row[e - 3 + c] += error[c] * 3;
        next_row[e + c] += error[c] * 5;
        next_row[e + 3 + c] += error[c];
      }
    }
    this_row.swap(next_row);
    std::fill(next_row.begin(), next_row.end(), 0);
  }
  return indices;
}

}  // namespace

ReducedBitmap ReduceColors(const TBitmap& bitmap, int max_colors, bool reduce, bool dither) {
  Octree tree(max_colors, reduce);
  // Runs of one colour, the flat areas of a chart, enter the tree at once.
  const int width = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* bgr = bitmap.ScanLine(y);
    for (int x = 0; x < width;) {
      int end = x + 1;
      while (end < width && std::memcmp(bgr + 3 * end, bgr + 3 * x, 3) == 0) ++end;
      tree.Add(bgr[3 * x + 2], bgr[3 * x + 1], bgr[3 * x], static_cast<uint64_t>(end - x));
      x = end;
    }
  }
  ReducedBitmap result;
  result.palette = tree.BuildPalette();
  result.indices = MapPixels(bitmap, result.palette, dither);
  return result;
}

}  // namespace plotvane
