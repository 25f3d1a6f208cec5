// giflib's reader behind DecodeGIF.
#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include <gif_lib.h>

#include "tests/support/decoders.h"

namespace plotvane {
namespace testing {

namespace {

struct Reader {
  const std::vector<uint8_t>* file;
  size_t position;
};

int ReadBytes(GifFileType* gif, GifByteType* out, int size) {
  auto* reader = static_cast<Reader*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(size), reader->file->size() - reader->position);
  std::memcpy(out, reader->file->data() + reader->position, n);
  reader->position += n;
  return static_cast<int>(n);
}

struct Closer {
  void operator()(GifFileType* gif) const {
    int error;
    DGifCloseFile(gif, &error);
  }
};

std::vector<Rgb> Colours(const ColorMapObject* map) {
  std::vector<Rgb> colours;
  for (int i = 0; i < map->ColorCount; ++i) {
    colours.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
  }
  return colours;
}

}  // namespace

DecodedGIF DecodeGIF(const std::vector<uint8_t>& file) {
  Reader reader{&file, 0};
  int error = 0;
  std::unique_ptr<GifFileType, Closer> gif(DGifOpen(&reader, ReadBytes, &error));
  if (!gif) throw std::runtime_error(std::string("giflib: ") + GifErrorString(error));
  if (DGifSlurp(gif.get()) != GIF_OK) {
    throw std::runtime_error(std::string("giflib: ") + GifErrorString(gif->Error));
  }
  DecodedGIF out;
  out.screen_width = gif->SWidth;
  out.screen_height = gif->SHeight;
  if (gif->SColorMap != nullptr) {
    out.has_global_map = true;
    out.sort_flag = gif->SColorMap->SortFlag;
    out.global_map = Colours(gif->SColorMap);
  }
  out.image_count = gif->ImageCount;
  if (gif->ImageCount > 0) {
    const SavedImage& image = gif->SavedImages[0];
    out.width = image.ImageDesc.Width;
    out.height = image.ImageDesc.Height;
    out.has_local_map = image.ImageDesc.ColorMap != nullptr;
    out.pixels.assign(image.RasterBits,
                      image.RasterBits + static_cast<size_t>(out.width) * out.height);
    GraphicsControlBlock gcb;
    if (DGifSavedExtensionToGCB(gif.get(), 0, &gcb) == GIF_OK) {
      out.has_graphic_control = image.ExtensionBlockCount > 0;
      out.transparent_index = gcb.TransparentColor;
    }
  }
  return out;
}

}  // namespace testing
}  // namespace plotvane
