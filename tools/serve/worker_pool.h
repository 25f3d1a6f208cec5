// A fixed set of threads that run tasks from one bounded queue. Drawing is
// the only work that takes a core for long, so it runs here, never on the
// thread that serves connections.
#ifndef PLOTVANE_TOOLS_SERVE_WORKER_POOL_H_
#define PLOTVANE_TOOLS_SERVE_WORKER_POOL_H_

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace plotvane {

class WorkerPool {
 public:
  // Starts `workers` threads (at least one). At most `capacity` tasks wait
  // for a thread at any time.
  WorkerPool(size_t workers, size_t capacity);
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;
  // Stop(), then joins the threads.
  ~WorkerPool();

  // Queues `task` for the next free thread and returns its number (never
  // 0). Returns 0, and does not take it, when `capacity` tasks already wait
  // or the pool is stopping. A task must not throw.
  uint64_t TrySubmit(std::function<void()> task);

  // Takes task `id` out of the queue unless a thread has taken it already.
  // True when it was still waiting (it is destroyed, never run).
  bool Withdraw(uint64_t id);

  // Refuses new tasks from now on; the threads finish every queued task and
  // end. Joining happens in the destructor.
  void Stop();

  // Stop(), and every task still waiting is destroyed without being run.
  void StopNow();

  size_t size() const { return threads_.size(); }

 private:
  void Work();

  const size_t capacity_;
  std::mutex mutex_;
  std::condition_variable ready_;
  struct Task {
    uint64_t id;
    std::function<void()> run;
  };
  std::deque<Task> tasks_;                   // guarded by mutex_
  uint64_t last_id_ = 0;                     // guarded by mutex_
  size_t idle_ = 0;                          // threads waiting; guarded by mutex_
  bool stopping_ = false;                    // guarded by mutex_
  std::vector<std::thread> threads_;
};

}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_SERVE_WORKER_POOL_H_
