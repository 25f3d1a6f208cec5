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
// A code point the face lacks is drawn with a fallback face: of the installed
// faces that have it, the one fontconfig ranks closest to the face in the
// style asked for (its family's likeness first, then weight and slant). The
// choice is made for blocks of code points at a time and remembered.
//
// Files are read once per process and shared, immutable, by every thread.
#ifndef PLOTVANE_CANVAS_FONT_LOOKUP_H_
#define PLOTVANE_CANVAS_FONT_LOOKUP_H_

#include <array>
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
  std::string family;  // the face's family name, as fontconfig knows it
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

// Fallback faces are chosen for blocks of this many code points at a time,
// aligned to multiples of it.
constexpr char32_t kFallbackBlockSize = 256;

// The faces that draw the code points of one block for a font that lacks
// them. Immutable once made.
struct TFallbackBlock {
  // For each code point of the block, from its first: 0 when no installed
  // face has it, otherwise k, for faces[k - 1].
  std::array<uint8_t, kFallbackBlockSize> face{};
  std::vector<std::shared_ptr<const TFontFile>> faces;
};

// Returns, for each code point from block * kFallbackBlockSize on, the
// installed face closest to `font` in the given style that has it (`font`
// itself never: only the code points it lacks are meant to be asked for).
// Never returns null; blocks beyond U+10FFFF have no faces. Thread-safe; one
// fontconfig query per font and style, the coverage of the faces it ranked
// read once per block; results are cached process-wide (bounded).
// Throws EFontError when the font configuration cannot be loaded. A face
// whose file cannot be read is passed over.
std::shared_ptr<const TFallbackBlock> ResolveFallbackBlock(const TFontFile& font, bool bold,
                                                           bool italic, char32_t block);

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_FONT_LOOKUP_H_
