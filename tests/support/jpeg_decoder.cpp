// libjpeg's decompressor behind DecodeJPEG. Errors leave error_exit by
// longjmp into Decode, which owns no C++ objects; its caller throws.
#include <csetjmp>
#include <cstdio>
#include <stdexcept>
#include <string>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "tests/support/decoders.h"

namespace plotvane {
namespace testing {

namespace {

struct Errors {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<Errors*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}

void Silent(j_common_ptr) {}

bool Decode(jpeg_decompress_struct* cinfo, Errors* errors, const std::vector<uint8_t>& file,
            DecodedJPEG* out) {
  if (setjmp(errors->jump) != 0) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  jpeg_create_decompress(cinfo);
  jpeg_mem_src(cinfo, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(cinfo, TRUE);
  out->progressive = cinfo->progressive_mode;
  out->saw_jfif = cinfo->saw_JFIF_marker;
  out->density_unit = cinfo->density_unit;
  out->x_density = cinfo->X_density;
  out->y_density = cinfo->Y_density;
  for (int c = 0; c < cinfo->num_components && c < 3; ++c) {
    out->sampling[c] = {cinfo->comp_info[c].h_samp_factor, cinfo->comp_info[c].v_samp_factor};
  }
  for (int t = 0; t < 2; ++t) {
    if (cinfo->quant_tbl_ptrs[t] == nullptr) continue;
    for (int i = 0; i < 64; ++i) out->quant[t][i] = cinfo->quant_tbl_ptrs[t]->quantval[i];
  }
  cinfo->out_color_space = JCS_RGB;
  // Plain replication of the chroma samples: a picture that is constant over
  // each 2 x 2 cell then comes back without interpolation blur.
  cinfo->do_fancy_upsampling = FALSE;
  jpeg_start_decompress(cinfo);
  out->width = static_cast<int>(cinfo->output_width);
  out->height = static_cast<int>(cinfo->output_height);
  out->components = cinfo->num_components;
  const size_t stride = static_cast<size_t>(out->width) * 3;
  out->rgb.resize(stride * out->height);
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = out->rgb.data() + cinfo->output_scanline * stride;
    jpeg_read_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  return true;
}

}  // namespace

DecodedJPEG DecodeJPEG(const std::vector<uint8_t>& file) {
  jpeg_decompress_struct cinfo{};
  Errors errors;
  cinfo.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = ErrorExit;
  errors.pub.output_message = Silent;
  DecodedJPEG out;
  if (!Decode(&cinfo, &errors, file, &out)) {
    throw std::runtime_error(std::string("libjpeg: ") + errors.message);
  }
  return out;
}

}  // namespace testing
}  // namespace plotvane
