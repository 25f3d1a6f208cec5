// libpng's reader behind DecodePNG. libpng reports errors by longjmp, so the
// function that sets the jump owns no C++ objects; its caller throws.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include <png.h>

#include "tests/support/decoders.h"

namespace plotvane {
namespace testing {

namespace {

struct Reader {
  const std::vector<uint8_t>* file;
  size_t position;
  char message[256];
};

void ReadBytes(png_structp png, png_bytep out, png_size_t size) {
  auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
  if (reader->position + size > reader->file->size()) png_error(png, "read past the end");
  std::memcpy(out, reader->file->data() + reader->position, size);
  reader->position += size;
}

void OnError(png_structp png, png_const_charp message) {
  auto* reader = static_cast<Reader*>(png_get_error_ptr(png));
  std::snprintf(reader->message, sizeof reader->message, "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

bool Decode(png_structp png, png_infop info, DecodedPNG* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, png_get_error_ptr(png), ReadBytes);
  png_read_info(png, info);
  int interlace, compression, filter;
  png_get_IHDR(png, info, &out->width, &out->height, &out->bit_depth, &out->color_type, &interlace,
               &compression, &filter);
  png_colorp palette;
  int palette_size;
  if (png_get_PLTE(png, info, &palette, &palette_size) & PNG_INFO_PLTE) {
    for (int i = 0; i < palette_size; ++i) {
      out->palette.push_back({palette[i].red, palette[i].green, palette[i].blue});
    }
  }
  png_bytep alpha;
  int alpha_count;
  png_color_16p rgb;
  if (png_get_tRNS(png, info, &alpha, &alpha_count, &rgb) & PNG_INFO_tRNS) {
    if (out->color_type == PNG_COLOR_TYPE_PALETTE) {
      out->trns_alpha.assign(alpha, alpha + alpha_count);
    } else {
      out->has_trns_rgb = true;
      out->trns_rgb = {rgb->red, rgb->green, rgb->blue};
    }
  }
  png_uint_32 x, y;
  int unit;
  if (png_get_pHYs(png, info, &x, &y, &unit) & PNG_INFO_pHYs) {
    out->has_phys = true;
    out->phys_x = x;
    out->phys_y = y;
    out->phys_unit = unit;
  }
  if (out->bit_depth < 8) png_set_packing(png);
  png_read_update_info(png, info);
  const size_t row_bytes = png_get_rowbytes(png, info);
  out->samples.resize(row_bytes * out->height);
  for (png_uint_32 row = 0; row < out->height; ++row) {
    png_read_row(png, out->samples.data() + row * row_bytes, nullptr);
  }
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

DecodedPNG DecodePNG(const std::vector<uint8_t>& file) {
  Reader reader{&file, 0, {}};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reader, OnError, OnWarning);
  png_infop info = png_create_info_struct(png);
  DecodedPNG out;
  const bool ok = Decode(png, info, &out);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) throw std::runtime_error(std::string("libpng: ") + reader.message);
  return out;
}

}  // namespace testing
}  // namespace plotvane
