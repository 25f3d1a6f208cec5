#include "tools/serve/worker_pool.h"

#include <algorithm>
#include <utility>

namespace plotvane {

WorkerPool::WorkerPool(size_t workers, size_t capacity) : capacity_(capacity) {
  threads_.reserve(std::max<size_t>(workers, 1));
  for (size_t i = 0; i < std::max<size_t>(workers, 1); ++i) threads_.emplace_back([this] { Work(); });
}

WorkerPool::~WorkerPool() {
  Stop();
  for (std::thread& t : threads_) t.join();
}

uint64_t WorkerPool::TrySubmit(std::function<void()> task) {
  uint64_t id = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // A task taken by an idle thread at once does not wait.
    if (stopping_ || tasks_.size() >= capacity_ + idle_) return 0;
    id = ++last_id_;
    tasks_.push_back({id, std::move(task)});
  }
  ready_.notify_one();
  return id;
}

bool WorkerPool::Withdraw(uint64_t id) {
  std::function<void()> withdrawn;  // destroyed outside the lock
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = std::find_if(tasks_.begin(), tasks_.end(), [id](const Task& t) { return t.id == id; });
  if (it == tasks_.end()) return false;
  withdrawn = std::move(it->run);
  tasks_.erase(it);
  return true;
}

void WorkerPool::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  ready_.notify_all();
}

void WorkerPool::StopNow() {
  std::deque<Task> dropped;  // destroyed outside the lock
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    dropped.swap(tasks_);
  }
  ready_.notify_all();
}

void WorkerPool::Work() {
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      ++idle_;
      ready_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
      --idle_;
      if (tasks_.empty()) return;  // stopping, and nothing left to do
      task = std::move(tasks_.front().run);
      tasks_.pop_front();
    }
    task();
  }
}

}  // namespace plotvane
