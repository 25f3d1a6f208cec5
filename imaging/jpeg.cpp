// TJPEGImage drives the IJG compressor (library version 62) to write:
//
//   SOI, APP0 "JFIF" 1.01 (density unit 0, density 1 x 1), DQT (luminance
//   and chrominance tables scaled to the quality, baseline: entries 1..255),
//   SOF0 (8-bit, width, height, Y 2x2, Cb 1x1, Cr 1x1), DHT (the standard
//   Huffman tables), SOS and the entropy-coded data of one sequential scan,
//   EOI
//
// all of it chosen by jpeg_set_defaults and jpeg_set_quality with
// force-baseline; the rows go in top to bottom as R G B.
//
// Errors. The library reports a fatal error by calling error_exit, which must
// not return. It is compiled as C, so a C++ exception must not pass through
// its frames. Our error_exit therefore formats the library's message and
// longjmps back to RunCompressor, the only function that calls into the
// library. RunCompressor owns no C++ objects (every object it touches lives in
// its caller), so the jump skips no destructor; it destroys the compression
// object and returns false, and its caller throws EJPEGError with the message.
// The destination callbacks, which run inside the library, catch their own
// exceptions and turn them into a library error the same way.
#include "imaging/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "imaging/errors.h"

namespace plotvane {

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;  // first, so the library's pointer converts back
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings would go to standard error; a component has no business there.
void OutputMessage(j_common_ptr) {}

// Collects the compressed bytes into a vector, one buffer at a time.
struct MemoryDestination {
  jpeg_destination_mgr pub;  // first, so the library's pointer converts back
  std::vector<uint8_t>* out;
  JOCTET buffer[16384];
};

MemoryDestination* DestinationOf(j_compress_ptr cinfo) {
  return reinterpret_cast<MemoryDestination*>(cinfo->dest);
}

void InitDestination(j_compress_ptr cinfo) {
  MemoryDestination* dest = DestinationOf(cinfo);
  dest->pub.next_output_byte = dest->buffer;
  dest->pub.free_in_buffer = sizeof dest->buffer;
}

// Appends `size` bytes of the buffer; on failure raises the library's
// out-of-memory error, which leaves through ErrorExit. The jump happens after
// the handler has finished, so no exception is left half-handled.
void Append(j_compress_ptr cinfo, size_t size) {
  MemoryDestination* dest = DestinationOf(cinfo);
  bool failed = false;
  try {
    dest->out->insert(dest->out->end(), dest->buffer, dest->buffer + size);
  } catch (...) {
    failed = true;
  }
  if (failed) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  Append(cinfo, sizeof DestinationOf(cinfo)->buffer);
  InitDestination(cinfo);
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  MemoryDestination* dest = DestinationOf(cinfo);
  Append(cinfo, sizeof dest->buffer - dest->pub.free_in_buffer);
}

// What RunCompressor needs, prepared by its caller.
struct CompressJob {
  const TBitmap* bitmap;
  const uint8_t (*palette)[3];  // RGB of each index, for indexed bitmaps
  int quality;
  uint8_t* row;  // room for one row of R G B
};

// Fills job.row with row y as R G B.
void ConvertRow(const CompressJob& job, int y) {
  const TBitmap& bitmap = *job.bitmap;
  const uint8_t* src = bitmap.ScanLine(y);
  uint8_t* dst = job.row;
  const int width = bitmap.Width();
  const int bits = bitmap.BitsPerPixel();
  for (int x = 0; x < width; ++x, dst += 3) {
    int index;
    switch (bits) {
      case 1:
        index = (src[x >> 3] >> (7 - (x & 7))) & 1;
        break;
      case 4:
        index = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
        break;
      case 8:
        index = src[x];
        break;
      default:
        dst[0] = src[3 * x + 2];
        dst[1] = src[3 * x + 1];
        dst[2] = src[3 * x];
        continue;
    }
    std::memcpy(dst, job.palette[index], 3);
  }
}

// The only function that calls into the library; see the note at the top on
// why it owns no C++ objects. Returns false after an error, with the message
// in errors->message and the compression object destroyed.
// REQUIRES: cinfo is zero-filled; errors and dest are set up.
bool RunCompressor(jpeg_compress_struct* cinfo, ErrorManager* errors, MemoryDestination* dest,
                   const CompressJob& job) {
  if (setjmp(errors->jump) != 0) {
    jpeg_destroy_compress(cinfo);
    return false;
  }
  jpeg_create_compress(cinfo);
  cinfo->dest = &dest->pub;
  cinfo->image_width = static_cast<JDIMENSION>(job.bitmap->Width());
  cinfo->image_height = static_cast<JDIMENSION>(job.bitmap->Height());
  cinfo->input_components = 3;
  cinfo->in_color_space = JCS_RGB;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, job.quality, TRUE);
  jpeg_start_compress(cinfo, TRUE);
  for (int y = 0; y < job.bitmap->Height(); ++y) {
    ConvertRow(job, y);
    JSAMPROW rows[1] = {job.row};
    jpeg_write_scanlines(cinfo, rows, 1);
  }
  jpeg_finish_compress(cinfo);
  jpeg_destroy_compress(cinfo);
  return true;
}

}  // namespace

void TJPEGImage::Assign(const TBitmap& bitmap) {
  bitmap_.Assign(bitmap);
  compressed_ = false;
  data_.clear();
}

void TJPEGImage::SetCompressionQuality(int quality) {
  const int low_byte = quality & 0xFF;
  if (low_byte == quality_) return;
  quality_ = low_byte;
  compressed_ = false;
  data_.clear();
}

void TJPEGImage::Compress() {
  if (compressed_) return;
  data_.clear();
  if (bitmap_.Empty()) {
    compressed_ = true;
    return;
  }
  uint8_t palette[256][3] = {};
  const std::vector<TPaletteEntry>& entries = bitmap_.Palette();
  for (size_t i = 0; i < entries.size() && i < 256; ++i) {
    palette[i][0] = entries[i].peRed;
    palette[i][1] = entries[i].peGreen;
    palette[i][2] = entries[i].peBlue;
  }
  std::vector<uint8_t> row(static_cast<size_t>(bitmap_.Width()) * 3);
  std::vector<uint8_t> out;
  jpeg_compress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  ErrorManager errors;
  cinfo.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = ErrorExit;
  errors.pub.output_message = OutputMessage;
  errors.message[0] = '\0';
  MemoryDestination dest;
  dest.pub.init_destination = InitDestination;
  dest.pub.empty_output_buffer = EmptyOutputBuffer;
  dest.pub.term_destination = TermDestination;
  dest.out = &out;
  const CompressJob job{&bitmap_, palette, quality_, row.data()};
  if (!RunCompressor(&cinfo, &errors, &dest, job)) throw EJPEGError(errors.message);
  data_.swap(out);
  compressed_ = true;
}

void TJPEGImage::SaveToStream(ByteWriter* stream) {
  Compress();
  stream->Write(data_);
}

}  // namespace plotvane
