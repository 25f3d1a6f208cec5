// The memory the service lets answers take: one budget shared by every
// request, from the script waiting for a worker, through the answer being
// drawn (reserved at the most it may take), to the answer waiting for a slow
// reader (its real size). A reservation is an owner object: it returns its
// bytes when it is destroyed, on whatever thread and path that happens.
#ifndef PLOTVANE_TOOLS_SERVE_MEMORY_BUDGET_H_
#define PLOTVANE_TOOLS_SERVE_MEMORY_BUDGET_H_

#include <atomic>
#include <cstddef>

namespace plotvane {

class MemoryBudget {
 public:
  explicit MemoryBudget(size_t limit) : limit_(limit) {}
  MemoryBudget(const MemoryBudget&) = delete;
  MemoryBudget& operator=(const MemoryBudget&) = delete;

  // Bytes of the budget. Empty after default construction or a move.
  class Reservation {
   public:
    Reservation() = default;
    Reservation(Reservation&& other) noexcept : budget_(other.budget_), bytes_(other.bytes_) {
      other.budget_ = nullptr;
      other.bytes_ = 0;
    }
    Reservation& operator=(Reservation&& other) noexcept;
    Reservation(const Reservation&) = delete;
    Reservation& operator=(const Reservation&) = delete;
    ~Reservation() { Release(); }

    // Makes the reservation `bytes` large. Shrinking always succeeds;
    // growing fails, leaving it as it was, when the budget has not the
    // difference left. An empty reservation cannot grow.
    bool Resize(size_t bytes);
    void Release() { Resize(0); }
    size_t bytes() const { return bytes_; }
    bool held() const { return budget_ != nullptr; }

   private:
    friend class MemoryBudget;
    MemoryBudget* budget_ = nullptr;
    size_t bytes_ = 0;
  };

  // A reservation of `bytes`; an empty one (held() false) when the budget
  // has not that much left.
  Reservation TryReserve(size_t bytes);

  size_t used() const { return used_.load(std::memory_order_relaxed); }
  size_t limit() const { return limit_; }

 private:
  bool Take(size_t bytes);
  void Give(size_t bytes) { used_.fetch_sub(bytes, std::memory_order_relaxed); }

  const size_t limit_;
  std::atomic<size_t> used_{0};
};

}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_SERVE_MEMORY_BUDGET_H_
