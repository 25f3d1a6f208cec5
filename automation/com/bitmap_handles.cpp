// The bitmap handle table: one mutex-guarded map from handle number to the
// picture's BMP file bytes. Numbers are handed out in increasing order and
// wrap around within 1 .. 2^31 - 1, skipping numbers still alive, so a
// deleted handle's number comes back only after two billion others.
#include "automation/com/bitmap_handles.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>

namespace plotvane {
namespace {

constexpr uint32_t kLastHandleNumber = 0x7FFFFFFF;

class HandleTable {
 public:
  HBITMAP Add(std::vector<uint8_t> bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (pictures_.size() >= kMaxBitmapHandles) {
      throw std::runtime_error("Too many bitmap handles: " + std::to_string(kMaxBitmapHandles) +
                               " are alive. Delete handles with DeleteObject when done.");
    }
    if (bytes.size() > kMaxBitmapHandleBytes - total_bytes_) {
      throw std::runtime_error("Bitmap handles hold too much memory: at most " +
                               std::to_string(kMaxBitmapHandleBytes >> 20) +
                               " MiB together. Delete handles with DeleteObject when done.");
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

  bool Remove(HGDIOBJ handle) {
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
  // Handles are numbers in pointer clothing; anything beyond 31 bits is no
  // handle of ours, and maps to 0, which is never used.
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

  std::mutex mutex_;
  std::unordered_map<uint32_t, std::vector<uint8_t>> pictures_;
  size_t total_bytes_ = 0;
  uint32_t last_number_ = 0;
};

// Lives until the process ends, when pictures whose handles the client never
// deleted are freed with it.
HandleTable& Table() {
  static HandleTable table;
  return table;
}

}  // namespace

HBITMAP CreateBitmapHandle(std::vector<uint8_t> bmp_file) { return Table().Add(std::move(bmp_file)); }

}  // namespace plotvane

LONG GetBitmapFileBytes(HBITMAP hbm, LONG cb, LPVOID lpvBits) {
  if (cb < 0) return -1;
  const int64_t result = plotvane::Table().Read(hbm, lpvBits, static_cast<size_t>(cb));
  // A picture larger than a LONG can express cannot arise: the bitmap budget
  // keeps BMP files far below 2 GiB. Report it as unreadable all the same.
  return result > INT32_MAX ? -1 : static_cast<LONG>(result);
}

BOOL DeleteObject(HGDIOBJ ho) { return plotvane::Table().Remove(ho) ? TRUE : FALSE; }
