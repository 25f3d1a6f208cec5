// Font lookup: turns a face name and style into the font file that draws it.
//
// A face name is resolved by fontconfig. The answer is taken when it is the
// face asked for or one that the configuration binds to it as a metric-
// compatible stand-in ("Arial" is drawn with Liberation Sans, which has the
// same advance widths). Any other face name falls back to Liberation Sans, so
// that an unknown name never changes the layout of a chart to that of some
// arbitrary system face. Bold and italic select the matching face of the
// family.
//
// Files are read once per process and shared, immutable, by every thread.
#ifndef PLOTVANE_CANVAS_FONT_LOOKUP_H_
#define PLOTVANE_CANVAS_FONT_LOOKUP_H_

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace plotvane {

// Raised when no font at all can be found on the system.
class EFontError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One face of a font file, with the file's bytes. Immutable once made.
struct TFontFile {
  std::string path;
  int face_index = 0;
  std::vector<uint8_t> data;
};

// Face names longer than this many UTF-16 units are cut, as font
// descriptions hold at most 31 characters of a face name.
constexpr size_t kMaxFaceNameLength = 31;

// Returns the font file that draws `name` (UTF-16, compared without regard to
// case) in the given style. Never returns null. Thread-safe; results are
// cached process-wide (the cache is bounded: names beyond its size are
// resolved again when next asked for).
// Throws EFontError when the system offers no font at all, or the file
// fontconfig names cannot be read.
std::shared_ptr<const TFontFile> ResolveFontFile(const std::u16string& name, bool bold,
                                                 bool italic);

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_FONT_LOOKUP_H_
