#include "tools/serve/memory_budget.h"

#include <utility>

namespace plotvane {

MemoryBudget::Reservation& MemoryBudget::Reservation::operator=(Reservation&& other) noexcept {
  if (this != &other) {
    Release();
    budget_ = std::exchange(other.budget_, nullptr);
    bytes_ = std::exchange(other.bytes_, 0);
  }
  return *this;
}

bool MemoryBudget::Reservation::Resize(size_t bytes) {
  if (budget_ == nullptr) return bytes == 0;
  if (bytes > bytes_ && !budget_->Take(bytes - bytes_)) return false;
  if (bytes < bytes_) budget_->Give(bytes_ - bytes);
  bytes_ = bytes;
  return true;
}

MemoryBudget::Reservation MemoryBudget::TryReserve(size_t bytes) {
  Reservation reservation;
  if (!Take(bytes)) return reservation;
  reservation.budget_ = this;
  reservation.bytes_ = bytes;
  return reservation;
}

bool MemoryBudget::Take(size_t bytes) {
  size_t used = used_.load(std::memory_order_relaxed);
  do {
    if (bytes > limit_ || used > limit_ - bytes) return false;
  } while (!used_.compare_exchange_weak(used, used + bytes, std::memory_order_relaxed));
  return true;
}

}  // namespace plotvane
