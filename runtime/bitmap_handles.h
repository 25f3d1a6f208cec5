// Bitmap handles: how a picture is handed to a client as a single integer.
//
// The server stores a finished picture (the bytes of a BMP file) in a
// process-wide table and returns its handle; the client reads the picture
// through the handle and must delete the handle when done, as it would a
// bitmap handle of the platform. Handles are non-zero, fit in 31 bits (so
// they stay positive as a 32-bit integer) and are never reused while alive.
//
// The table is bounded so that a client that never deletes its handles fails
// clearly instead of exhausting memory: at most kMaxBitmapHandles live
// handles holding at most kMaxBitmapHandleBytes bytes together.
//
//   plotvane::CreateBitmapHandle(bytes)     stores a copy of the bytes (server)
//   GetBitmapFileBytes(h, 0, nullptr)       size of the BMP file (client)
//   GetBitmapFileBytes(h, size, buffer)     copies the BMP file (client)
//   DeleteObject(h)                         frees the handle (client)
#ifndef PLOTVANE_RUNTIME_BITMAP_HANDLES_H_
#define PLOTVANE_RUNTIME_BITMAP_HANDLES_H_


#ifdef __cplusplus
#include <cstddef>
#include <cstdint>
#include <vector>
#endif

#include "runtime/types.h"

// Handles are opaque pointers as the platform's are; the value is the
// handle's number. Convert with the helpers in namespace plotvane below.
struct HBITMAP__;
typedef struct HBITMAP__* HBITMAP;
typedef void* HGDIOBJ;


#ifdef __cplusplus
extern "C" {
#endif

// With `lpvBits` null: returns the size in bytes of the BMP file behind
// `hbm`. Otherwise copies its first min(cb, size) bytes to `lpvBits` and
// returns how many were copied. Returns -1 for an unknown handle or a negative
// `cb` (0 is a valid size: a bitmap without pixels has an empty file).
PLOTVANE_COM_EXPORT LONG GetBitmapFileBytes(HBITMAP hbm, LONG cb, LPVOID lpvBits);

// Deletes the handle `ho` and frees its picture. Returns TRUE, or FALSE when
// `ho` is not a live handle (never made, or already deleted).
PLOTVANE_COM_EXPORT BOOL DeleteObject(HGDIOBJ ho);

#ifdef __cplusplus
}  // extern "C"
#endif

#ifdef __cplusplus
// The most handles alive at once: far more than any page holds pictures for,
// few enough that a client leaking them is stopped early.
constexpr size_t kMaxBitmapHandles = 10000;
// The most bytes all live handles may hold together (1 GiB).
constexpr size_t kMaxBitmapHandleBytes = size_t{1} << 30;

namespace plotvane {

// Stores `bmp_file` under a new handle and returns it; the caller (in the
// end, the client) owns the handle and deletes it with DeleteObject.
// Throws std::runtime_error with a message naming the limit when the table
// already holds kMaxBitmapHandles handles or the bytes would exceed
// kMaxBitmapHandleBytes; std::bad_alloc when memory is exhausted.
PLOTVANE_COM_EXPORT HBITMAP CreateBitmapHandle(std::vector<uint8_t> bmp_file);

// The number a handle travels as through the automation interface, and back.
inline int32_t BitmapHandleNumber(HBITMAP handle) {
  return static_cast<int32_t>(reinterpret_cast<uintptr_t>(handle));
}
inline HBITMAP BitmapHandleFromNumber(int32_t number) {
  return reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(static_cast<uint32_t>(number)));
}

}  // namespace plotvane
#endif  // __cplusplus

#endif  // PLOTVANE_RUNTIME_BITMAP_HANDLES_H_
