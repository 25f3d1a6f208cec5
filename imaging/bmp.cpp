// The BMP file written here (integers little-endian):
//
//   file header (14 bytes)   "BM", file size(4), 0(2), 0(2), offset of the
//                            pixels(4)
//   info header (40 bytes)   its size(4)=40, width(4), height(4) > 0 (rows
//                            bottom-up), planes(2)=1, bits a pixel(2) 1/4/8/24,
//                            compression(4)=0 (none), pixel bytes(4),
//                            x and y pixels per metre(4 each)=0, colours in
//                            the table(4), important colours(4)=0
//   colour table             indexed bitmaps only: every palette entry as
//                            blue, green, red, 0
//   pixels                   rows from the bottom up, each padded with zeros
//                            to a multiple of 4 bytes
//
// The rows are the bitmap's stored rows, which already have this layout; only
// their order is reversed.
#include "imaging/bmp.h"

namespace plotvane {

namespace {

struct BitmapFileHeader {
  uint16_t bfType;
  uint32_t bfSize;
  uint16_t bfReserved1;
  uint16_t bfReserved2;
  uint32_t bfOffBits;
};

struct BitmapInfoHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};

// Sizes as stored: the sum of the fields, without the padding a compiler may
// put between them in memory.
constexpr uint32_t kFileHeaderSize =
    sizeof(BitmapFileHeader::bfType) + sizeof(BitmapFileHeader::bfSize) +
    sizeof(BitmapFileHeader::bfReserved1) + sizeof(BitmapFileHeader::bfReserved2) +
    sizeof(BitmapFileHeader::bfOffBits);
constexpr uint32_t kInfoHeaderSize =
    sizeof(BitmapInfoHeader::biSize) + sizeof(BitmapInfoHeader::biWidth) +
    sizeof(BitmapInfoHeader::biHeight) + sizeof(BitmapInfoHeader::biPlanes) +
    sizeof(BitmapInfoHeader::biBitCount) + sizeof(BitmapInfoHeader::biCompression) +
    sizeof(BitmapInfoHeader::biSizeImage) + sizeof(BitmapInfoHeader::biXPelsPerMeter) +
    sizeof(BitmapInfoHeader::biYPelsPerMeter) + sizeof(BitmapInfoHeader::biClrUsed) +
    sizeof(BitmapInfoHeader::biClrImportant);
constexpr uint32_t kColourTableEntrySize = 4;
static_assert(kFileHeaderSize == 14 && kInfoHeaderSize == 40, "BMP header layout");

void Put(std::vector<uint8_t>* out, const BitmapFileHeader& h) {
  PutU16LE(out, h.bfType);
  PutU32LE(out, h.bfSize);
  PutU16LE(out, h.bfReserved1);
  PutU16LE(out, h.bfReserved2);
  PutU32LE(out, h.bfOffBits);
}

void Put(std::vector<uint8_t>* out, const BitmapInfoHeader& h) {
  PutU32LE(out, h.biSize);
  PutU32LE(out, static_cast<uint32_t>(h.biWidth));
  PutU32LE(out, static_cast<uint32_t>(h.biHeight));
  PutU16LE(out, h.biPlanes);
  PutU16LE(out, h.biBitCount);
  PutU32LE(out, h.biCompression);
  PutU32LE(out, h.biSizeImage);
  PutU32LE(out, static_cast<uint32_t>(h.biXPelsPerMeter));
  PutU32LE(out, static_cast<uint32_t>(h.biYPelsPerMeter));
  PutU32LE(out, h.biClrUsed);
  PutU32LE(out, h.biClrImportant);
}

}  // namespace

void SaveBitmapToStream(const TBitmap& bitmap, ByteWriter* stream) {
  if (bitmap.Empty()) return;
  const int bits = bitmap.BitsPerPixel();
  const uint32_t colours = bits == 24 ? 0 : static_cast<uint32_t>(bitmap.Palette().size());
  const uint32_t stride = static_cast<uint32_t>(bitmap.BytesPerScanLine());
  const uint32_t pixel_bytes = stride * static_cast<uint32_t>(bitmap.Height());
  const uint32_t offset = kFileHeaderSize + kInfoHeaderSize + colours * kColourTableEntrySize;

  BitmapFileHeader file{};
  file.bfType = 'B' | ('M' << 8);
  file.bfSize = offset + pixel_bytes;
  file.bfOffBits = offset;
  BitmapInfoHeader info{};
  info.biSize = kInfoHeaderSize;
  info.biWidth = bitmap.Width();
  info.biHeight = bitmap.Height();
  info.biPlanes = 1;
  info.biBitCount = static_cast<uint16_t>(bits);
  info.biSizeImage = pixel_bytes;
  info.biClrUsed = colours;

  std::vector<uint8_t> head;
  head.reserve(offset);
  Put(&head, file);
  Put(&head, info);
  for (uint32_t i = 0; i < colours; ++i) {
    const TPaletteEntry& e = bitmap.Palette()[i];
    head.insert(head.end(), {e.peBlue, e.peGreen, e.peRed, 0});
  }
  stream->Write(head);
  for (int y = bitmap.Height() - 1; y >= 0; --y) stream->Write(bitmap.ScanLine(y), stride);
}

std::vector<uint8_t> EncodeBMP(const TBitmap& bitmap) {
  std::vector<uint8_t> bytes;
  VectorByteWriter writer(&bytes);
  SaveBitmapToStream(bitmap, &writer);
  return bytes;
}

}  // namespace plotvane
