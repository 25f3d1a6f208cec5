// The process's bitmap handle table and the functions clients call on it.
#include "runtime/bitmap_handles.h"

#include <utility>

#include "runtime/bitmap_handle_table.h"

namespace plotvane {
namespace {

// Lives until the process ends, when pictures whose handles the client never
// deleted are freed with it.
BitmapHandleTable& Table() {
  static BitmapHandleTable table(kMaxBitmapHandles, kMaxBitmapHandleBytes);
  return table;
}

}  // namespace

HBITMAP CreateBitmapHandle(std::vector<uint8_t> bmp_file) {
  return Table().Add(std::move(bmp_file));
}

}  // namespace plotvane

LONG GetBitmapFileBytes(HBITMAP hbm, LONG cb, LPVOID lpvBits) {
  if (cb < 0) return -1;
  const int64_t result = plotvane::Table().Read(hbm, lpvBits, static_cast<size_t>(cb));
  // A picture larger than a LONG can express cannot arise: the bitmap budget
  // keeps BMP files far below 2 GiB. Report it as unreadable all the same.
  return result > INT32_MAX ? -1 : static_cast<LONG>(result);
}

BOOL DeleteObject(HGDIOBJ ho) { return plotvane::Table().Remove(ho) ? TRUE : FALSE; }
