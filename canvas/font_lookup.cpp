#include "canvas/font_lookup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <utility>

#include <fontconfig/fontconfig.h>

#include "base/utf.h"
#include "canvas/font_config.h"

namespace plotvane {

namespace {

// The face every unknown name falls back to.
constexpr const char* kFallbackFamily = "Liberation Sans";

// Bound on the names remembered; a client can make up any number of names.
constexpr size_t kMaxCachedNames = 256;
// Bounds on the fallback choices remembered: fonts in a style, and blocks
// of code points over all of them (a text can touch every block there is;
// those of one font, 4352, fit).
constexpr size_t kMaxFallbackChains = 64;
constexpr size_t kMaxFallbackBlocks = 8192;
// The language fallback faces are ranked for. Fixed, so that a text draws
// the same whatever the locale of the process drawing it.
constexpr const char* kFallbackLanguage = "en";

// Owns an FcPattern.
class FcPatternOwner {
 public:
  explicit FcPatternOwner(FcPattern* pattern) : pattern_(pattern) {}
  ~FcPatternOwner() {
    if (pattern_ != nullptr) FcPatternDestroy(pattern_);
  }
  FcPatternOwner(const FcPatternOwner&) = delete;
  FcPatternOwner& operator=(const FcPatternOwner&) = delete;
  FcPattern* get() const { return pattern_; }

 private:
  FcPattern* pattern_;
};

struct FcFontSetDeleter {
  void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};
using FcFontSetOwner = std::unique_ptr<FcFontSet, FcFontSetDeleter>;

struct FcCharSetDeleter {
  void operator()(FcCharSet* set) const { FcCharSetDestroy(set); }
};
using FcCharSetOwner = std::unique_ptr<FcCharSet, FcCharSetDeleter>;

std::string ToLowerAscii(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// The face name as fontconfig takes it: cut at the first NUL and after
// kMaxFaceNameLength units, unpaired surrogates replaced by U+FFFD.
std::string FaceNameToUtf8(const std::u16string& name) {
  std::u16string_view face(name);
  face = face.substr(0, std::min(face.find(u'\0'), kMaxFaceNameLength));
  return Utf16ToUtf8(face);
}

// A font file fontconfig chose, and whether it is acceptable for the name.
struct Match {
  std::string path;
  int face_index = 0;
  std::string family;
  bool acceptable = false;
};

// The family, weight, slant and scalability every lookup asks for.
void AddStyle(FcPattern* pattern, const std::string& family, bool bold, bool italic) {
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
}

std::string StringOf(FcPattern* pattern, const char* object) {
  FcChar8* value = nullptr;
  if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch) return {};
  return reinterpret_cast<const char*>(value);
}

// Asks fontconfig for `family` in the style. The answer is acceptable when
// its family is the one asked for or one the configuration binds strongly to
// it (a metric-compatible stand-in); weakly bound families are mere
// preferences of the system's default face and are not.
Match MatchFamily(FcConfig* config, const std::string& family, bool bold, bool italic) {
  Match result;
  FcPatternOwner pattern(FcPatternCreate());
  if (pattern.get() == nullptr) return result;
  AddStyle(pattern.get(), family, bold, italic);
  if (!FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) return result;
  FcDefaultSubstitute(pattern.get());

  std::set<std::string> bound;
  FcValue value;
  FcValueBinding binding;
  for (int i = 0; FcPatternGetWithBinding(pattern.get(), FC_FAMILY, i, &value, &binding) ==
                  FcResultMatch;
       ++i) {
    if (value.type == FcTypeString && binding != FcValueBindingWeak) {
      bound.insert(ToLowerAscii(reinterpret_cast<const char*>(value.u.s)));
    }
  }

  FcResult status = FcResultNoMatch;
  FcPatternOwner match(FcFontMatch(config, pattern.get(), &status));
  FcChar8* file = nullptr;
  if (match.get() == nullptr ||
      FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) {
    return result;
  }
  result.path = reinterpret_cast<const char*>(file);
  int index = 0;
  if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) == FcResultMatch) {
    result.face_index = index;
  }
  result.family = StringOf(match.get(), FC_FAMILY);
  FcChar8* found = nullptr;
  for (int i = 0; FcPatternGetString(match.get(), FC_FAMILY, i, &found) == FcResultMatch; ++i) {
    if (bound.count(ToLowerAscii(reinterpret_cast<const char*>(found))) != 0) {
      result.acceptable = true;
    }
  }
  return result;
}

// Reads the whole file, in one read when its size holds still.
std::vector<uint8_t> ReadFile(const std::string& path) {
  std::vector<uint8_t> data;
  size_t filled = 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  bool failed = fd < 0;
  struct stat info {};
  if (!failed && ::fstat(fd, &info) == 0 && info.st_size > 0) {
    data.resize(static_cast<size_t>(info.st_size) + 1);  // room to meet the end
  }
  // Up to the end, whatever the size said: the file may be changing.
  while (!failed) {
    if (filled == data.size()) data.resize(std::max<size_t>(2 * data.size(), 65536));
    const ssize_t n = ::read(fd, data.data() + filled, data.size() - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    filled += static_cast<size_t>(n);
  }
  if (fd >= 0) ::close(fd);
  data.resize(failed ? 0 : filled);
  if (data.empty()) throw EFontError("Cannot read the font file " + path);
  return data;
}

class FontFileCache {
 public:
  FontFileCache() = default;
  ~FontFileCache() {
    chains_.clear();  // their font sets belong to the configuration
    if (config_ != nullptr) FcConfigDestroy(config_);
  }
  FontFileCache(const FontFileCache&) = delete;
  FontFileCache& operator=(const FontFileCache&) = delete;

  std::shared_ptr<const TFontFile> Resolve(const std::u16string& name, bool bold, bool italic) {
    const std::string family = FaceNameToUtf8(name);
    const std::string key = ToLowerAscii(family) + (bold ? "\x01" : "\x02") + (italic ? "1" : "0");
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = by_name_.find(key);
    if (it != by_name_.end()) return it->second;

    FcConfig* config = Config();
    Match match = MatchFamily(config, family, bold, italic);
    if (!match.acceptable) {
      Match fallback = MatchFamily(config, kFallbackFamily, bold, italic);
      // Without the fallback face installed any face fontconfig offers will do.
      if (fallback.acceptable || match.path.empty()) match = fallback;
    }
    if (match.path.empty()) throw EFontError("No font is installed to draw \"" + family + "\"");

    std::shared_ptr<const TFontFile> file = File(match.path, match.face_index, match.family);
    if (by_name_.size() >= kMaxCachedNames) by_name_.clear();
    by_name_[key] = file;
    return file;
  }

  std::shared_ptr<const TFallbackBlock> ResolveFallback(const TFontFile& font, bool bold,
                                                        bool italic, char32_t block) {
    if (block > 0x10FFFF / kFallbackBlockSize) return none_;
    const std::string key = font.path + '\0' + std::to_string(font.face_index) +
                            (bold ? "\x01" : "\x02") + (italic ? "1" : "0");
    std::lock_guard<std::mutex> lock(mutex_);
    auto chain = chains_.find(key);
    if (chain == chains_.end()) {
      if (chains_.size() >= kMaxFallbackChains) {
        chains_.clear();
        blocks_ = 0;
      }
      chain = chains_.emplace(key, RankFallbacks(font, bold, italic)).first;
    }
    auto found = chain->second.blocks.find(block);
    if (found != chain->second.blocks.end()) return found->second;
    if (blocks_ >= kMaxFallbackBlocks) {
      for (auto& c : chains_) c.second.blocks.clear();
      blocks_ = 0;
    }
    std::shared_ptr<const TFallbackBlock> made = ChooseFallbacks(chain->second, block);
    chain->second.blocks.emplace(block, made);
    ++blocks_;
    return made;
  }

 private:
  // A face that may stand in for a font, with the code points it has.
  struct Candidate {
    std::string path;
    int face_index = 0;
    std::string family;
    const FcCharSet* charset = nullptr;  // owned by the chain's font set
    bool unreadable = false;
  };
  // The faces that may stand in for one font in one style, closest first,
  // and the choices made from them so far, by block.
  struct Chain {
    FcFontSetOwner ranked;
    std::vector<Candidate> candidates;
    std::map<char32_t, std::shared_ptr<const TFallbackBlock>> blocks;
  };

  // REQUIRES: mutex_ held.
  FcConfig* Config() {
    // A configuration of our own, so that it is released with the cache.
    if (config_ == nullptr) config_ = LoadFontConfig();
    if (config_ == nullptr) throw EFontError("The font configuration cannot be loaded");
    return config_;
  }

  // The file of a face, read when first asked for. REQUIRES: mutex_ held.
  std::shared_ptr<const TFontFile> File(const std::string& path, int face_index,
                                        const std::string& family) {
    std::shared_ptr<const TFontFile>& file = by_path_[{path, face_index}];
    if (file == nullptr) {
      auto made = std::make_shared<TFontFile>();
      made->path = path;
      made->face_index = face_index;
      made->family = family;
      made->data = ReadFile(path);
      file = std::move(made);
    }
    return file;
  }

  // The installed faces other than `font`, ranked by fontconfig as matches
  // for `font`'s family in the style, each kept only when it has code points
  // the faces ranked before it lack: the first face of the list that has a
  // code point is the closest that has it. Colour faces are left out (their
  // glyphs have no outlines). REQUIRES: mutex_ held.
  Chain RankFallbacks(const TFontFile& font, bool bold, bool italic) {
    Chain chain;
    FcConfig* config = Config();
    FcPatternOwner pattern(FcPatternCreate());
    if (pattern.get() == nullptr) return chain;
    AddStyle(pattern.get(), font.family, bold, italic);
    FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>(kFallbackLanguage));
    if (!FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) return chain;
    FcDefaultSubstitute(pattern.get());
    FcResult status = FcResultNoMatch;
    chain.ranked.reset(FcFontSort(config, pattern.get(), FcTrue, nullptr, &status));
    if (chain.ranked == nullptr) return chain;
    for (int i = 0; i < chain.ranked->nfont; ++i) {
      FcPattern* face = chain.ranked->fonts[i];
      Candidate c;
      c.path = StringOf(face, FC_FILE);
      FcPatternGetInteger(face, FC_INDEX, 0, &c.face_index);
      c.family = StringOf(face, FC_FAMILY);
      FcBool scalable = FcFalse, colour = FcFalse;
      FcPatternGetBool(face, FC_SCALABLE, 0, &scalable);
      FcPatternGetBool(face, FC_COLOR, 0, &colour);
      FcCharSet* charset = nullptr;
      if (c.path.empty() || !scalable || colour ||
          FcPatternGetCharSet(face, FC_CHARSET, 0, &charset) != FcResultMatch ||
          (c.path == font.path && c.face_index == font.face_index)) {
        continue;
      }
      c.charset = charset;
      chain.candidates.push_back(std::move(c));
    }
    return chain;
  }

  // Gives each code point of the block the first candidate that has it.
  // REQUIRES: mutex_ held.
  std::shared_ptr<const TFallbackBlock> ChooseFallbacks(Chain& chain, char32_t block) {
    const char32_t first = block * kFallbackBlockSize;
    FcCharSetOwner whole(FcCharSetCreate());
    if (whole == nullptr) return none_;
    for (char32_t c = first; c < first + kFallbackBlockSize; ++c) FcCharSetAddChar(whole.get(), c);
    std::array<FcChar32, FC_CHARSET_MAP_SIZE> needed;
    needed.fill(~FcChar32{0});
    auto made = std::make_shared<TFallbackBlock>();
    for (Candidate& c : chain.candidates) {
      if (c.unreadable) continue;
      // The candidate's code points in this block, as a bit map.
      FcCharSetOwner common(FcCharSetIntersect(whole.get(), c.charset));
      std::array<FcChar32, FC_CHARSET_MAP_SIZE> has{};
      FcChar32 next = 0;
      if (common == nullptr ||
          FcCharSetFirstPage(common.get(), has.data(), &next) == FC_CHARSET_DONE) {
        continue;
      }
      bool adds = false;
      for (size_t w = 0; w < has.size(); ++w) adds |= (has[w] & needed[w]) != 0;
      if (!adds) continue;
      try {
        made->faces.push_back(File(c.path, c.face_index, c.family));
      } catch (const EFontError&) {
        c.unreadable = true;
        continue;
      }
      const auto k = static_cast<uint8_t>(made->faces.size());
      bool done = true;
      for (size_t w = 0; w < has.size(); ++w) {
        const FcChar32 take = has[w] & needed[w];
        for (int bit = 0; bit < 32; ++bit) {
          if ((take >> bit) & 1) made->face[w * 32 + bit] = k;
        }
        needed[w] &= ~take;
        done &= needed[w] == 0;
      }
      if (done || made->faces.size() == UINT8_MAX) break;
    }
    if (made->faces.empty()) return none_;
    return made;
  }

  std::mutex mutex_;  // guards everything below and every fontconfig call
  FcConfig* config_ = nullptr;
  std::map<std::string, std::shared_ptr<const TFontFile>> by_name_;
  std::map<std::pair<std::string, int>, std::shared_ptr<const TFontFile>> by_path_;
  std::map<std::string, Chain> chains_;  // by font file, face and style
  size_t blocks_ = 0;                    // blocks held by all chains
  // What every block no installed face has anything of shares.
  const std::shared_ptr<const TFallbackBlock> none_ = std::make_shared<const TFallbackBlock>();
};

FontFileCache& Cache() {
  static FontFileCache cache;
  return cache;
}

}  // namespace

std::shared_ptr<const TFontFile> ResolveFontFile(const std::u16string& name, bool bold,
                                                 bool italic) {
  return Cache().Resolve(name, bold, italic);
}

std::shared_ptr<const TFallbackBlock> ResolveFallbackBlock(const TFontFile& font, bool bold,
                                                           bool italic, char32_t block) {
  return Cache().ResolveFallback(font, bold, italic, block);
}

}  // namespace plotvane
