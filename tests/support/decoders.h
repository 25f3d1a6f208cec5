// Thin wrappers around decoders nobody here wrote (libpng, giflib, libjpeg),
// so that tests can check the image writers against them. Each throws
// std::runtime_error with the decoder's own message when it refuses a file.
#ifndef PLOTVANE_TESTS_SUPPORT_DECODERS_H_
#define PLOTVANE_TESTS_SUPPORT_DECODERS_H_

#include <array>
#include <cstdint>
#include <vector>

namespace plotvane {
namespace testing {

using Rgb = std::array<uint8_t, 3>;

struct DecodedPNG {
  uint32_t width = 0, height = 0;
  int bit_depth = 0, color_type = 0;
  std::vector<Rgb> palette;         // PLTE
  std::vector<uint8_t> trns_alpha;  // tRNS of an indexed image
  bool has_trns_rgb = false;        // tRNS of a truecolour image
  std::array<uint16_t, 3> trns_rgb{};
  bool has_phys = false;
  uint32_t phys_x = 0, phys_y = 0;
  int phys_unit = 0;
  // Rows top to bottom: one palette index a pixel for indexed images (low
  // bit depths unpacked), R G B for truecolour.
  std::vector<uint8_t> samples;
};
DecodedPNG DecodePNG(const std::vector<uint8_t>& file);

struct DecodedGIF {
  int screen_width = 0, screen_height = 0;
  bool has_global_map = false;
  bool sort_flag = false;
  std::vector<Rgb> global_map;  // as many entries as the file stores
  int image_count = 0;
  // Of the first image:
  int width = 0, height = 0;
  bool has_local_map = false;
  int transparent_index = -1;  // -1: no graphic control extension transparency
  bool has_graphic_control = false;
  std::vector<uint8_t> pixels;  // colour-table indices, rows top to bottom
};
DecodedGIF DecodeGIF(const std::vector<uint8_t>& file);

struct DecodedJPEG {
  int width = 0, height = 0, components = 0;
  bool progressive = false;
  bool saw_jfif = false;
  int density_unit = -1, x_density = 0, y_density = 0;
  std::array<std::array<int, 2>, 3> sampling{};  // h, v per component
  // Quantisation tables 0 (luminance) and 1 (chrominance), natural order.
  std::array<std::array<int, 64>, 2> quant{};
  std::vector<uint8_t> rgb;  // rows top to bottom
};
DecodedJPEG DecodeJPEG(const std::vector<uint8_t>& file);

}  // namespace testing
}  // namespace plotvane

#endif  // PLOTVANE_TESTS_SUPPORT_DECODERS_H_
