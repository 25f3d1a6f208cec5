#include "canvas/font_lookup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
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
  bool acceptable = false;
};

// Asks fontconfig for `family` in the style. The answer is acceptable when
// its family is the one asked for or one the configuration binds strongly to
// it (a metric-compatible stand-in); weakly bound families are mere
// preferences of the system's default face and are not.
Match MatchFamily(FcConfig* config, const std::string& family, bool bold, bool italic) {
  Match result;
  FcPatternOwner pattern(FcPatternCreate());
  if (pattern.get() == nullptr) return result;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
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

    // A configuration of our own, so that it is released with the cache.
    if (config_ == nullptr) config_ = LoadFontConfig();
    if (config_ == nullptr) throw EFontError("The font configuration cannot be loaded");
    Match match = MatchFamily(config_, family, bold, italic);
    if (!match.acceptable) {
      Match fallback = MatchFamily(config_, kFallbackFamily, bold, italic);
      // Without the fallback face installed any face fontconfig offers will do.
      if (fallback.acceptable || match.path.empty()) match = fallback;
    }
    if (match.path.empty()) throw EFontError("No font is installed to draw \"" + family + "\"");

    std::shared_ptr<const TFontFile>& file = by_path_[{match.path, match.face_index}];
    if (file == nullptr) {
      auto made = std::make_shared<TFontFile>();
      made->path = match.path;
      made->face_index = match.face_index;
      made->data = ReadFile(match.path);
      file = std::move(made);
    }
    if (by_name_.size() >= kMaxCachedNames) by_name_.clear();
    by_name_[key] = file;
    return file;
  }

 private:
  std::mutex mutex_;  // guards everything below and every fontconfig call
  FcConfig* config_ = nullptr;
  std::map<std::string, std::shared_ptr<const TFontFile>> by_name_;
  std::map<std::pair<std::string, int>, std::shared_ptr<const TFontFile>> by_path_;
};

}  // namespace

std::shared_ptr<const TFontFile> ResolveFontFile(const std::u16string& name, bool bold,
                                                 bool italic) {
  static FontFileCache cache;
  return cache.Resolve(name, bold, italic);
}

}  // namespace plotvane
