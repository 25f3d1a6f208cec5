// BitmapHandleTable: the store behind bitmap handles (bitmap_handles.h), one
// mutex-guarded map from handle number to the picture's BMP file bytes.
//
// Numbers are handed out in increasing order and wrap around within
// 1 .. 2^31 - 1, skipping numbers still alive, so a deleted handle's number
// comes back only after two billion others. The process uses one table with
// the documented limits; a table of its own, with small limits, lets the
// limits be exercised without filling memory.
#ifndef PLOTVANE_RUNTIME_BITMAP_HANDLE_TABLE_H_
#define PLOTVANE_RUNTIME_BITMAP_HANDLE_TABLE_H_

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/bitmap_handles.h"

namespace plotvane {

class BitmapHandleTable {
 public:
  // A table holding at most `max_handles` pictures of at most `max_bytes`
  // bytes together.
  BitmapHandleTable(size_t max_handles, size_t max_bytes)
      : max_handles_(max_handles), max_bytes_(max_bytes) {}
  BitmapHandleTable(const BitmapHandleTable&) = delete;
  BitmapHandleTable& operator=(const BitmapHandleTable&) = delete;

  // Stores `bytes` under a new handle. Throws std::runtime_error when either
  // limit would be exceeded.
  HBITMAP Add(std::vector<uint8_t> bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (pictures_.size() >= max_handles_) {
      throw std::runtime_error("Too many bitmap handles: " + std::to_string(max_handles_) +
                               " are alive. Delete handles with DeleteObject when done.");
    }
    if (bytes.size() > max_bytes_ - total_bytes_) {
      throw std::runtime_error("Bitmap handles would hold more than " + std::to_string(max_bytes_) +
                               " bytes. Delete handles with DeleteObject when done.");
    }
    const uint32_t number = NextFreeNumber();
    total_bytes_ += bytes.size();
    pictures_.emplace(number, std::move(bytes));
    return BitmapHandleFromNumber(static_cast<int32_t>(number));
  }

  // The picture's size; with `buffer`, also copies up to `capacity` bytes of
  // it and returns the count copied. -1 for an unknown handle.
  int64_t Read(HBITMAP handle, void* buffer, size_t capacity) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = pictures_.find(NumberOf(handle));
    if (it == pictures_.end()) return -1;
    const std::vector<uint8_t>& bytes = it->second;
    if (buffer == nullptr) return static_cast<int64_t>(bytes.size());
    const size_t n = std::min(capacity, bytes.size());
    if (n > 0) std::memcpy(buffer, bytes.data(), n);
    return static_cast<int64_t>(n);
  }

  // Frees the picture; false for an unknown handle.
  bool Remove(const void* handle) {
    std::vector<uint8_t> picture;  // freed after the lock is released
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = pictures_.find(NumberOf(handle));
    if (it == pictures_.end()) return false;
    picture = std::move(it->second);
    total_bytes_ -= picture.size();
    pictures_.erase(it);
    return true;
  }

 private:
  static constexpr uint32_t kLastHandleNumber = 0x7FFFFFFF;

  // Handles are numbers in pointer clothing; anything beyond 31 bits is no
  // handle of ours and maps to 0, which is never used.
  static uint32_t NumberOf(const void* handle) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    return value <= kLastHandleNumber ? static_cast<uint32_t>(value) : 0;
  }

  // REQUIRES: mutex_ held, fewer than kLastHandleNumber handles alive.
  uint32_t NextFreeNumber() {
    do {
      last_number_ = last_number_ == kLastHandleNumber ? 1 : last_number_ + 1;
    } while (pictures_.count(last_number_) != 0);
    return last_number_;
  }

  const size_t max_handles_;
  const size_t max_bytes_;
  std::mutex mutex_;
  std::unordered_map<uint32_t, std::vector<uint8_t>> pictures_;
  size_t total_bytes_ = 0;
  uint32_t last_number_ = 0;
};

}  // namespace plotvane

#endif  // PLOTVANE_RUNTIME_BITMAP_HANDLE_TABLE_H_
