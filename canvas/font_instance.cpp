// Font instances: sizes, metrics, advances and monochrome glyph images.
//
// Sizes and metrics follow the platform's rules for TrueType fonts, from the
// font's own tables:
//   - the scale is ppem * 64 / units-per-em in 16.16, font units times the
//     scale give 26.6 pixels (truncated), which round half up to pixels;
//   - ascent and descent are the scaled usWinAscent and usWinDescent of the
//     OS/2 table (the hhea values when those are zero), the cell height their
//     sum, the internal leading the part of the cell outside the em, the
//     external leading whatever of the hhea line gap the cell does not use;
//   - the average character width is the scaled OS/2 average, the maximum
//     the scaled width of the font's bounding box;
//   - measured advances come from outlines hinted for grey-level output,
//     drawn glyphs and their advances from outlines hinted for monochrome
//     output, each advance rounded up to whole pixels.
// Beyond the largest size FreeType hints (65535 ppem) outlines are loaded in
// font units and scaled and turned here in 64-bit arithmetic, unhinted.
//
// A code point the font lacks is measured and drawn by an instance of the
// fallback face that has it, made at the same ppem and direction. The text's
// cell stays the font's: its height, ascent and descent, and so every line
// height and alignment, are the font's own whatever faces draw the glyphs;
// fallback glyphs sit on the font's baseline and are cut to its cell, as the
// font's own are. The fallback face is chosen for a whole block of code
// points at once (canvas/font_lookup.h) and the choice is kept by the
// instance, so a text costs one shared lookup per block it touches, and a
// text the font covers costs nothing more than the test that a glyph exists.
//
// Glyph images are rendered by FreeType's monochrome rasteriser into a box of
// whole pixels around the glyph (turned glyphs: around the turned corners of
// the unturned box). A glyph's outline is loaded once for its advance and
// box; nothing is rendered while the box lies outside the visible part of
// the bitmap. Small glyphs are kept; large ones are rendered whole once per
// drawing into the drawing's store when no larger than about two bitmaps,
// otherwise each time, only within the visible part of the bitmap, in tiles,
// so their cost follows the bitmap, not the glyph.
#include "canvas/font_instance.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_BITMAP_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRIGONOMETRY_H
#include FT_TRUETYPE_TABLES_H

#include "canvas/font_lookup.h"

namespace plotvane {

namespace {

constexpr int64_t kMaxHintedPpem = 65535;
// Glyphs whose box holds at most this many pixels are rendered whole and kept.
constexpr int64_t kMaxWholeGlyphPixels = 256 * 256;
// A cut glyph is rendered this far beyond the visible box, so that how the
// rasteriser treats the edges of its target never shows.
constexpr int64_t kCutMargin = 2;
// The rasteriser is given targets of at most this many pixels a side.
constexpr int64_t kTileSide = 4096;
// Bytes of kept glyph images, and glyphs, an instance holds before it starts
// afresh.
constexpr size_t kMaxGlyphStoreBytes = size_t{1} << 20;
constexpr size_t kMaxGlyphEntries = 8192;
// What a thread keeps.
constexpr size_t kMaxInstances = 16;
constexpr size_t kMaxFaces = 8;
constexpr size_t kMaxRememberedNames = 16;
// What an instance keeps of its fallbacks: faces (which share the instance's
// budget of kept glyph images) and blocks of code points.
constexpr size_t kMaxFallbackFaces = 8;
constexpr size_t kMaxRememberedBlocks = 256;

thread_local int64_t rendered_pixels = 0;  // RenderedGlyphPixels

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if (a % b != 0 && ((a < 0) != (b < 0))) --q;
  return q;
}
int64_t FloorPixel(int64_t v26_6) { return FloorDiv(v26_6, 64); }
int64_t CeilPixel(int64_t v26_6) { return -FloorDiv(-v26_6, 64); }

// Font units to whole pixels: truncated to 26.6, then rounded half up.
int64_t ScaleUnits(int64_t units, int64_t scale) {
  return FloorDiv(FloorDiv(units * scale, 65536) + 32, 64);
}

int ClampToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

// (v * m) in 16.16 applied to a 26.6 vector, in 64 bits.
FT_Vector Transform64(FT_Vector v, const FT_Matrix& m) {
  const int64_t x = v.x, y = v.y;
  return {static_cast<FT_Pos>(FloorDiv(x * m.xx + y * m.xy, 65536)),
          static_cast<FT_Pos>(FloorDiv(x * m.yx + y * m.yy, 65536))};
}

// The vertical extent of the font in font units: usWinAscent and
// usWinDescent, or the horizontal header's when those are zero.
struct VerticalUnits {
  int64_t ascent = 0;
  int64_t descent = 0;
};

VerticalUnits VerticalUnitsOf(FT_Face face) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent != 0) {
    return {os2->usWinAscent, os2->usWinDescent};
  }
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  if (hhea != nullptr && hhea->Ascender - hhea->Descender != 0) {
    return {hhea->Ascender, -static_cast<int64_t>(hhea->Descender)};
  }
  return {face->ascender, -static_cast<int64_t>(face->descender)};
}

// The pixels per em for a font height: a negative height is the em itself; a
// positive one is a cell height, met by the nearest ppem unless that cell
// comes out taller than asked; zero asks for a 16-pixel cell.
int64_t PpemForHeight(int64_t height, int64_t units_per_em, const VerticalUnits& v) {
  if (height == 0) height = 16;
  if (height < 0) return std::min(-height, kMaxPpem);
  const int64_t cell = v.ascent + v.descent;
  if (cell <= 0) return std::min(height, kMaxPpem);
  height = std::min(height, kMaxPpem);
  int64_t ppem = (units_per_em * height + cell / 2) / cell;
  if (ppem > 1 && (cell * ppem + units_per_em / 2) / units_per_em > height) --ppem;
  return std::max<int64_t>(ppem, 1);
}

// Owns an FT_Library.
class FtLibrary {
 public:
  FtLibrary() {
    if (FT_Init_FreeType(&library_) != 0) throw EFontError("Cannot start the font rasteriser");
  }
  ~FtLibrary() { FT_Done_FreeType(library_); }
  FtLibrary(const FtLibrary&) = delete;
  FtLibrary& operator=(const FtLibrary&) = delete;
  FT_Library get() const { return library_; }

 private:
  FT_Library library_ = nullptr;
};

// Owns an FT_Face made from a shared font file, which it keeps alive.
class FtFace {
 public:
  FtFace(FT_Library library, std::shared_ptr<const TFontFile> file) : file_(std::move(file)) {
    if (FT_New_Memory_Face(library, file_->data.data(), static_cast<FT_Long>(file_->data.size()),
                           file_->face_index, &face_) != 0) {
      face_ = nullptr;
      throw EFontError("Cannot load the font file " + file_->path);
    }
  }
  ~FtFace() {
    if (face_ != nullptr) FT_Done_Face(face_);
  }
  FtFace(const FtFace&) = delete;
  FtFace& operator=(const FtFace&) = delete;
  FT_Face get() const { return face_; }
  const TFontFile* file() const { return file_.get(); }

 private:
  std::shared_ptr<const TFontFile> file_;
  FT_Face face_ = nullptr;
};

}  // namespace

struct TFontInstance::Impl {
  struct Drawn {
    int64_t advance = 0;  // pixels, along the unturned line
    TPixelBox box;
    bool whole = false;     // small enough to keep its image
    bool rendered = false;  // `image` holds the whole glyph
    TGlyphImage image;
  };

  FT_Library library = nullptr;
  std::shared_ptr<FtFace> face_owner;
  FT_Face face = nullptr;  // face_owner's
  FT_Size size = nullptr;  // FreeType's scaling of this instance (hinted sizes only)
  int64_t ppem = 0;
  bool unscaled = false;   // outlines loaded in font units and scaled here
  int64_t scale_x = 0;     // 26.6 pixels per font unit, 16.16
  int64_t scale_y = 0;
  int64_t cell_ascent = 0;  // pixels
  int64_t cell_descent = 0;
  bool turned = false;
  FT_Matrix rotation{0x10000, 0, 0, 0x10000};
  std::unordered_map<FT_UInt, int> measured;
  std::unordered_map<FT_UInt, Drawn> drawn;
  size_t drawn_bytes = 0;  // of the images in `drawn`
  size_t max_drawn_bytes = kMaxGlyphStoreBytes;
  TGlyphImage cut;
  TGlyphImage none;

  // Fallback faces, for an instance of a font (never of a fallback face).
  struct FallbackFace {
    const TFontFile* file;
    std::unique_ptr<TFontInstance> instance;  // null when the face cannot be loaded
  };
  TThreadFonts* fonts = nullptr;  // the thread's table, which made this instance
  bool fallback = false;          // an instance of a fallback face
  bool bold = false;              // the style the fallback faces are chosen for
  bool italic = false;
  std::vector<FallbackFace> fallbacks;  // least recently made first
  std::unordered_map<char32_t, std::shared_ptr<const TFallbackBlock>> fallback_blocks;

  ~Impl() {
    if (size != nullptr) FT_Done_Size(size);
  }

  // The glyph of a code point. The Latin-1 range, which chart texts are
  // mostly made of, is looked up in the face's character map once each.
  FT_UInt GlyphIndex(char32_t code_point) {
    if (code_point >= kLatinGlyphs) {
      return code_point > 0x10FFFF ? 0 : FT_Get_Char_Index(face, code_point);
    }
    FT_UInt& glyph = latin_glyphs[code_point];
    if (glyph == kUnknownGlyph) glyph = FT_Get_Char_Index(face, code_point);
    return glyph;
  }
  static constexpr char32_t kLatinGlyphs = 256;
  static constexpr FT_UInt kUnknownGlyph = ~FT_UInt{0};
  std::array<FT_UInt, kLatinGlyphs> latin_glyphs = MakeUnknownGlyphs();
  static std::array<FT_UInt, kLatinGlyphs> MakeUnknownGlyphs() {
    std::array<FT_UInt, kLatinGlyphs> glyphs;
    glyphs.fill(kUnknownGlyph);
    return glyphs;
  }

  FT_Vector Turn(FT_Vector v) const {
    if (!turned) return v;
    if (unscaled) return Transform64(v, rotation);
    FT_Vector_Transform(&v, &rotation);
    return v;
  }

  // Loads the glyph's outline for drawing into the face's slot, scaled to
  // 26.6 pixels and turned, with the unturned metrics. False when the glyph
  // has no outline.
  bool LoadOutline(FT_UInt glyph, FT_Glyph_Metrics* metrics) {
    if (!unscaled) {
      FT_Activate_Size(size);
      if (FT_Load_Glyph(face, glyph,
                        FT_LOAD_NO_BITMAP | FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH |
                            FT_LOAD_TARGET_MONO) != 0 ||
          face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        return false;
      }
      *metrics = face->glyph->metrics;
      if (turned) FT_Outline_Transform(&face->glyph->outline, &rotation);
      return true;
    }
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
      return false;
    }
    FT_Outline& outline = face->glyph->outline;
    // The rasteriser's finer precision is meant for small glyphs only.
    outline.flags &= ~FT_OUTLINE_HIGH_PRECISION;
    int64_t x_min = 0, x_max = 0, y_min = 0, y_max = 0;
    for (int i = 0; i < outline.n_points; ++i) {
      FT_Vector& p = outline.points[i];
      p.x = static_cast<FT_Pos>(FloorDiv(p.x * scale_x, 65536));
      p.y = static_cast<FT_Pos>(FloorDiv(p.y * scale_y, 65536));
      x_min = i == 0 ? p.x : std::min<int64_t>(x_min, p.x);
      x_max = i == 0 ? p.x : std::max<int64_t>(x_max, p.x);
      y_min = i == 0 ? p.y : std::min<int64_t>(y_min, p.y);
      y_max = i == 0 ? p.y : std::max<int64_t>(y_max, p.y);
      p = Turn(p);
    }
    metrics->horiBearingX = x_min;
    metrics->width = x_max - x_min;
    metrics->horiBearingY = y_max;
    metrics->height = y_max - y_min;
    metrics->horiAdvance = FloorDiv(face->glyph->metrics.horiAdvance * scale_x, 65536);
    return true;
  }

  // The whole-pixel box around the glyph, relative to the pen, y down: the
  // glyph's extent cut to the rows of the text cell, turned (by its corners)
  // and widened to whole pixels. Whatever of the glyph lies outside is cut.
  TPixelBox BoxOf(const FT_Glyph_Metrics& m) const {
    const int64_t left = m.horiBearingX, right = m.horiBearingX + m.width;
    const int64_t top = std::min<int64_t>(m.horiBearingY, cell_ascent * 64);
    const int64_t bottom = std::max<int64_t>(m.horiBearingY - m.height, -cell_descent * 64);
    if (top <= bottom || right <= left) return {};
    int64_t x_min = left, x_max = right, y_min = bottom, y_max = top;
    if (turned) {
      const FT_Vector corners[4] = {Turn({left, top}), Turn({right, top}), Turn({left, bottom}),
                                    Turn({right, bottom})};
      x_min = x_max = corners[0].x;
      y_min = y_max = corners[0].y;
      for (const FT_Vector& c : corners) {
        x_min = std::min<int64_t>(x_min, c.x);
        x_max = std::max<int64_t>(x_max, c.x);
        y_min = std::min<int64_t>(y_min, c.y);
        y_max = std::max<int64_t>(y_max, c.y);
      }
    }
    return {FloorPixel(x_min), -CeilPixel(y_max), CeilPixel(x_max), -FloorPixel(y_min)};
  }

  // Files `entry` under `glyph`, starting the store afresh when its images
  // would pass their budget or its entries their count.
  Drawn& Keep(FT_UInt glyph, Drawn&& entry) {
    const size_t bytes = entry.image.bits.size();
    if (drawn_bytes + bytes > max_drawn_bytes || drawn.size() >= kMaxGlyphEntries) {
      drawn.clear();
      drawn_bytes = 0;
    }
    drawn_bytes += bytes;
    return drawn.insert_or_assign(glyph, std::move(entry)).first->second;
  }

  // Renders the outline in the slot within `target` into `image`.
  void Render(const TPixelBox& target, TGlyphImage* image) {
    rendered_pixels += (target.right - target.left) * (target.bottom - target.top);
    image->left = target.left;
    image->top = target.top;
    image->width = static_cast<int>(target.right - target.left);
    image->height = static_cast<int>(target.bottom - target.top);
    image->pitch = (image->width + 7) / 8;
    image->bits.assign(static_cast<size_t>(image->pitch) * image->height, 0);
    FT_Outline& outline = face->glyph->outline;
    int64_t shifted_x = 0, shifted_y = 0;
    std::vector<uint8_t> tile;
    for (int64_t ty = 0; ty < image->height; ty += kTileSide) {
      for (int64_t tx = 0; tx < image->width; tx += kTileSide) {
        const int w = static_cast<int>(std::min<int64_t>(kTileSide, image->width - tx));
        const int h = static_cast<int>(std::min<int64_t>(kTileSide, image->height - ty));
        const bool single = w == image->width && h == image->height;
        // Put the tile's bottom-left corner at the origin (outline y is up).
        const int64_t dx = -(target.left + tx) * 64, dy = (target.top + ty + h) * 64;
        FT_Outline_Translate(&outline, static_cast<FT_Pos>(dx - shifted_x),
                             static_cast<FT_Pos>(dy - shifted_y));
        shifted_x = dx;
        shifted_y = dy;
        FT_Bitmap bitmap;
        FT_Bitmap_Init(&bitmap);
        bitmap.rows = static_cast<unsigned>(h);
        bitmap.width = static_cast<unsigned>(w);
        bitmap.pitch = single ? image->pitch : (w + 7) / 8;
        bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
        bitmap.num_grays = 2;
        if (!single) tile.assign(static_cast<size_t>(bitmap.pitch) * h, 0);
        bitmap.buffer = single ? image->bits.data() : tile.data();
        FT_Outline_Get_Bitmap(library, &outline, &bitmap);
        if (single) return;
        for (int y = 0; y < h; ++y) {
          for (int x = 0; x < w; ++x) {
            if ((tile[static_cast<size_t>(y) * bitmap.pitch + (x >> 3)] & (0x80 >> (x & 7))) == 0) {
              continue;
            }
            const int64_t ix = tx + x, iy = ty + y;
            image->bits[static_cast<size_t>(iy) * image->pitch + (ix >> 3)] |=
                static_cast<uint8_t>(0x80 >> (ix & 7));
          }
        }
      }
    }
  }
};

TGlyphStore::TGlyphStore(int64_t bitmap_pixels)
    : bitmap_pixels_(bitmap_pixels),
      max_bytes_(static_cast<size_t>(std::max<int64_t>(bitmap_pixels, 0))) {}

bool TGlyphStore::Takes(int64_t pixels) const {
  return pixels > 0 && pixels / 8 <= static_cast<int64_t>(max_bytes_ / 4);
}

const TGlyphImage* TGlyphStore::Find(uint64_t instance, uint32_t glyph) {
  for (size_t i = entries_.size(); i-- > 0;) {
    if (entries_[i].instance != instance || entries_[i].glyph != glyph) continue;
    std::rotate(entries_.begin() + static_cast<std::ptrdiff_t>(i),
                entries_.begin() + static_cast<std::ptrdiff_t>(i) + 1, entries_.end());
    return &entries_.back().image;
  }
  return nullptr;
}

const TGlyphImage& TGlyphStore::Keep(uint64_t instance, uint32_t glyph, TGlyphImage&& image) {
  const size_t bytes = image.bits.size();
  size_t drop = 0;
  while (drop < entries_.size() && bytes_ + bytes > max_bytes_) {
    bytes_ -= entries_[drop++].image.bits.size();
  }
  entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(drop));
  bytes_ += bytes;
  entries_.push_back({instance, glyph, std::move(image)});
  return entries_.back().image;
}

TFontInstance::TFontInstance(Passkey) : impl_(std::make_unique<Impl>()) {
  static std::atomic<uint64_t> serials{0};
  serial_ = ++serials;
}
TFontInstance::~TFontInstance() = default;

int TFontInstance::MeasuredAdvance(char32_t code_point) {
  Impl& m = *impl_;
  const FT_UInt glyph = m.GlyphIndex(code_point);
  if (glyph == 0) {
    if (TFontInstance* fallback = Fallback(code_point)) return fallback->MeasuredAdvance(code_point);
  }
  auto it = m.measured.find(glyph);
  if (it != m.measured.end()) return it->second;
  int64_t advance = 0;
  if (!m.unscaled) {
    FT_Activate_Size(m.size);
    if (FT_Load_Glyph(m.face, glyph, FT_LOAD_NO_BITMAP | FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH) ==
        0) {
      advance = FloorDiv(m.face->glyph->metrics.horiAdvance + 63, 64);
    }
  } else {
    FT_Fixed units = 0;
    if (FT_Get_Advance(m.face, glyph, FT_LOAD_NO_SCALE, &units) == 0) {
      advance = FloorDiv(FloorDiv(static_cast<int64_t>(units) * m.scale_x, 65536) + 63, 64);
    }
  }
  const int result = ClampToInt(std::max<int64_t>(advance, 0));
  m.measured.emplace(glyph, result);
  return result;
}

int64_t TFontInstance::Ppem() const { return impl_->ppem; }

int64_t TFontInstance::DrawnAdvance(char32_t code_point) {
  Impl& m = *impl_;
  const FT_UInt glyph = m.GlyphIndex(code_point);
  if (glyph == 0) {
    if (TFontInstance* fallback = Fallback(code_point)) return fallback->DrawnAdvance(code_point);
  }
  auto it = m.drawn.find(glyph);
  if (it != m.drawn.end()) return it->second.advance;
  FT_Glyph_Metrics metrics{};
  return m.LoadOutline(glyph, &metrics) ? FloorDiv(metrics.horiAdvance + 63, 64) : 0;
}

const std::string& TFontInstance::Family() const { return impl_->face_owner->file()->family; }

const std::string& TFontInstance::FaceFamily(char32_t code_point, bool* missing) {
  Impl& m = *impl_;
  *missing = false;
  if (m.GlyphIndex(code_point) == 0) {
    if (TFontInstance* fallback = Fallback(code_point)) {
      return fallback->impl_->face_owner->file()->family;
    }
    *missing = true;
  }
  return Family();
}

const TGlyphImage& TFontInstance::DrawnGlyph(char32_t code_point, const TPixelBox& visible,
                                             int64_t* advance, TGlyphStore* store) {
  Impl& m = *impl_;
  const FT_UInt glyph = m.GlyphIndex(code_point);
  if (glyph == 0) {
    if (TFontInstance* fallback = Fallback(code_point)) {
      return fallback->DrawnGlyph(code_point, visible, advance, store);
    }
  }
  // The outline is loaded once for the glyph's advance and box; nothing is
  // rendered until some of the box is visible.
  FT_Glyph_Metrics metrics{};
  bool loaded = false;
  auto it = m.drawn.find(glyph);
  Impl::Drawn* entry = it == m.drawn.end() ? nullptr : &it->second;
  if (entry == nullptr) {
    Impl::Drawn made;
    loaded = m.LoadOutline(glyph, &metrics);
    if (loaded) {
      made.advance = FloorDiv(metrics.horiAdvance + 63, 64);
      made.box = m.BoxOf(metrics);
    }
    const TPixelBox& b = made.box;
    made.whole = b.Empty() || (b.right - b.left) * (b.bottom - b.top) <= kMaxWholeGlyphPixels;
    made.rendered = !loaded || b.Empty();  // nothing to render
    entry = &m.Keep(glyph, std::move(made));
  }
  *advance = entry->advance;
  const TPixelBox target{std::max(entry->box.left, visible.left - kCutMargin),
                         std::max(entry->box.top, visible.top - kCutMargin),
                         std::min(entry->box.right, visible.right + kCutMargin),
                         std::min(entry->box.bottom, visible.bottom + kCutMargin)};
  if (target.Empty()) return m.none;
  if (entry->whole) {
    if (entry->rendered) return entry->image;
    // Only whole renderings are kept: a glyph first seen in part is rendered
    // whole here all the same.
    if (!loaded && !m.LoadOutline(glyph, &metrics)) return m.none;
    Impl::Drawn made = std::move(*entry);
    m.Render(made.box, &made.image);
    made.rendered = true;
    return m.Keep(glyph, std::move(made)).image;
  }
  // A glyph no larger than a few bitmaps is rendered whole into the
  // drawing's store and painted from there wherever it lands: rendering it
  // once costs little more than cutting it once, and a glyph keeps the same
  // pixels wherever it is cut by the bitmap's edges.
  const TPixelBox& b = entry->box;
  if (store != nullptr && store->Takes((b.right - b.left) * (b.bottom - b.top))) {
    if (const TGlyphImage* kept = store->Find(serial_, glyph)) return *kept;
    if (!loaded && !m.LoadOutline(glyph, &metrics)) return m.none;
    TGlyphImage whole;
    m.Render(b, &whole);
    return store->Keep(serial_, glyph, std::move(whole));
  }
  if (!loaded && !m.LoadOutline(glyph, &metrics)) return m.none;
  m.Render(target, &m.cut);
  return m.cut;
}

// The fonts of one thread: its FreeType library, faces and instances.
// Instances keep the faces they use alive, so a face leaves the table
// without harm to them.
class TThreadFonts {
 public:
  TThreadFonts() = default;
  ~TThreadFonts() {
    instances_.clear();  // their faces belong to the library
    faces_.clear();
  }
  TThreadFonts(const TThreadFonts&) = delete;
  TThreadFonts& operator=(const TThreadFonts&) = delete;

  TFontInstance& Acquire(const TFont& font) {
    std::shared_ptr<const TFontFile> file = Resolve(font);
    int escapement = font.Escapement % 3600;
    if (escapement < 0) escapement += 3600;
    const TFontStyles style = font.Style & (fsBold | fsItalic);
    for (size_t i = 0; i < instances_.size(); ++i) {
      Entry& e = instances_[i];
      if (e.file == file.get() && e.height == font.Height && e.escapement == escapement &&
          e.style == style) {
        std::rotate(instances_.begin() + static_cast<std::ptrdiff_t>(i),
                    instances_.begin() + static_cast<std::ptrdiff_t>(i) + 1, instances_.end());
        return *instances_.back().instance;
      }
    }
    if (instances_.size() >= kMaxInstances) instances_.erase(instances_.begin());
    std::shared_ptr<FtFace> face = Face(file);
    const FT_Face ft = face->get();
    const int64_t ppem = PpemForHeight(font.Height, UnitsPerEm(ft), VerticalUnitsOf(ft));
    std::unique_ptr<TFontInstance> made = Make(std::move(face), ppem, escapement);
    made->impl_->bold = font.Bold();
    made->impl_->italic = (font.Style & fsItalic) != 0;
    instances_.push_back({file.get(), font.Height, escapement, style, std::move(made)});
    return *instances_.back().instance;
  }

  // An instance of the fallback face `file` that draws for `font`: at its
  // ppem and direction, its glyphs cut to `font`'s cell.
  // Throws EFontError when the face cannot be loaded or sized.
  std::unique_ptr<TFontInstance> MakeFallback(const TFontInstance& font,
                                              const std::shared_ptr<const TFontFile>& file) {
    const TFontInstance::Impl& f = *font.impl_;
    std::unique_ptr<TFontInstance> made = Make(Face(file), f.ppem, font.escapement_);
    TFontInstance::Impl& m = *made->impl_;
    m.fallback = true;
    m.cell_ascent = f.cell_ascent;
    m.cell_descent = f.cell_descent;
    m.max_drawn_bytes = kMaxGlyphStoreBytes / kMaxFallbackFaces;
    return made;
  }

 private:
  struct Entry {
    const TFontFile* file;
    int height;
    int escapement;
    TFontStyles style;
    std::unique_ptr<TFontInstance> instance;
  };
  struct Name {
    std::u16string name;
    bool bold;
    bool italic;
    std::shared_ptr<const TFontFile> file;
  };

  static int64_t UnitsPerEm(FT_Face face) {
    return face->units_per_EM > 0 ? face->units_per_EM : 2048;
  }

  std::shared_ptr<const TFontFile> Resolve(const TFont& font) {
    const bool bold = font.Bold(), italic = (font.Style & fsItalic) != 0;
    for (const Name& n : names_) {
      if (n.bold == bold && n.italic == italic && n.name == font.Name) return n.file;
    }
    if (names_.size() >= kMaxRememberedNames) names_.erase(names_.begin());
    names_.push_back({font.Name, bold, italic, ResolveFontFile(font.Name, bold, italic)});
    return names_.back().file;
  }

  std::shared_ptr<FtFace> Face(const std::shared_ptr<const TFontFile>& file) {
    for (const auto& f : faces_) {
      if (f->file() == file.get()) return f;
    }
    if (faces_.size() >= kMaxFaces) faces_.erase(faces_.begin());
    faces_.push_back(std::make_shared<FtFace>(library_.get(), file));
    return faces_.back();
  }

  std::unique_ptr<TFontInstance> Make(std::shared_ptr<FtFace> face, int64_t ppem, int escapement);

  FtLibrary library_;
  std::vector<std::shared_ptr<FtFace>> faces_;  // least recently made first
  std::vector<Entry> instances_;                // least recently used first
  std::vector<Name> names_;
};

TFontInstance* TFontInstance::Fallback(char32_t code_point) {
  Impl& m = *impl_;
  if (m.fallback || code_point > 0x10FFFF) return nullptr;
  const char32_t block = code_point / kFallbackBlockSize;
  auto it = m.fallback_blocks.find(block);
  if (it == m.fallback_blocks.end()) {
    if (m.fallback_blocks.size() >= kMaxRememberedBlocks) m.fallback_blocks.clear();
    it = m.fallback_blocks
             .emplace(block, ResolveFallbackBlock(*m.face_owner->file(), m.bold, m.italic, block))
             .first;
  }
  const TFallbackBlock& choice = *it->second;
  const uint8_t k = choice.face[code_point % kFallbackBlockSize];
  if (k == 0) return nullptr;
  const std::shared_ptr<const TFontFile>& file = choice.faces[k - 1];
  auto face = std::find_if(m.fallbacks.begin(), m.fallbacks.end(),
                           [&](const Impl::FallbackFace& f) { return f.file == file.get(); });
  if (face == m.fallbacks.end()) {
    if (m.fallbacks.size() >= kMaxFallbackFaces) m.fallbacks.erase(m.fallbacks.begin());
    std::unique_ptr<TFontInstance> made;
    try {
      made = m.fonts->MakeFallback(*this, file);
    } catch (const EFontError&) {
      // Remembered as unusable: its code points draw the missing-glyph box.
    }
    m.fallbacks.push_back({file.get(), std::move(made)});
    face = m.fallbacks.end() - 1;
  }
  TFontInstance* instance = face->instance.get();
  // The face's character map decides, should fontconfig's account of it differ.
  if (instance == nullptr || instance->impl_->GlyphIndex(code_point) == 0) return nullptr;
  return instance;
}

std::unique_ptr<TFontInstance> TThreadFonts::Make(std::shared_ptr<FtFace> owner, int64_t ppem,
                                                  int escapement) {
  auto made = std::make_unique<TFontInstance>(TFontInstance::Passkey());
  TFontInstance::Impl& m = *made->impl_;
  m.library = library_.get();
  m.fonts = this;
  m.face_owner = std::move(owner);
  const FT_Face face = m.face = m.face_owner->get();
  m.ppem = ppem;
  const int64_t units_per_em = UnitsPerEm(face);
  const VerticalUnits v = VerticalUnitsOf(face);
  m.unscaled = ppem > kMaxHintedPpem || !FT_IS_SCALABLE(face);
  if (!m.unscaled) {
    if (FT_New_Size(face, &m.size) != 0) throw EFontError("Cannot size the font");
    FT_Activate_Size(m.size);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0) {
      throw EFontError("Cannot size the font");
    }
    m.scale_x = face->size->metrics.x_scale;
    m.scale_y = face->size->metrics.y_scale;
  } else {
    m.scale_x = m.scale_y = (ppem * 64 * 65536 + units_per_em / 2) / units_per_em;
  }
  if (escapement != 0) {
    m.turned = true;
    FT_Vector unit;
    FT_Vector_Unit(&unit, static_cast<FT_Angle>(escapement / 10.0 * 65536.0));
    m.rotation = {unit.x, -unit.y, unit.y, unit.x};
  }
  made->escapement_ = escapement;

  const auto sy = [&](int64_t units) { return ClampToInt(ScaleUnits(units, m.scale_y)); };
  const auto sx = [&](int64_t units) { return ClampToInt(ScaleUnits(units, m.scale_x)); };
  TTextMetric& tm = made->metrics_;
  tm.tmAscent = sy(v.ascent);
  tm.tmDescent = sy(v.descent);
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  m.cell_ascent = tm.tmAscent;
  m.cell_descent = tm.tmDescent;
  tm.tmInternalLeading = sy(v.ascent + v.descent - units_per_em);
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
  if (hhea != nullptr) {
    const int64_t unused = (v.ascent + v.descent) - (hhea->Ascender - hhea->Descender);
    tm.tmExternalLeading = std::max(0, sy(hhea->Line_Gap - unused));
  }
  tm.tmAveCharWidth = os2 != nullptr && os2->version != 0xFFFF ? sx(os2->xAvgCharWidth) : 0;
  if (tm.tmAveCharWidth <= 0) tm.tmAveCharWidth = 1;
  tm.tmMaxCharWidth = sx(static_cast<int64_t>(face->bbox.xMax) - face->bbox.xMin);

  // Decoration lines: the scaled position of the line's centre, the top edge
  // half a thickness above it; at least one pixel thick.
  if (post != nullptr && os2 != nullptr && os2->version != 0xFFFF) {
    const int underline = std::max(1, sy(post->underlineThickness));
    made->underline_ = {-(sy(post->underlinePosition) + underline / 2), underline};
    const int strike = std::max(1, sy(os2->yStrikeoutSize));
    made->strike_out_ = {-(sy(os2->yStrikeoutPosition) + strike / 2), strike};
  } else {
    const int thickness = tm.tmAscent / 20 + 1;
    made->underline_ = {0, thickness};
    made->strike_out_ = {-(tm.tmAscent / 2 + thickness / 2), thickness};
  }
  return made;
}

int64_t RenderedGlyphPixels() { return rendered_pixels; }

TFontInstance& AcquireFontInstance(const TFont& font) {
  static thread_local TThreadFonts fonts;
  return fonts.Acquire(font);
}

}  // namespace plotvane
