// Threads that outlive one filter pass: a run makes thousands of passes, and
// starting their threads anew each time cost more than some passes did.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace px {

class WorkerPool {
 public:
  WorkerPool() = default;
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Calls job(w) for every w in [0, workers): 0 on the calling thread, the
  // others on the pool's threads (started on first need, then kept). Returns
  // once every call has returned. job must not throw.
  void Run(int workers, const std::function<void(int)>& job);

  int Threads() const;

 private:
  void Loop(int index);

  mutable std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::vector<std::thread> threads_;
  const std::function<void(int)>* job_ = nullptr;
  int active_ = 0;       // workers of the current round, the caller included
  int pending_ = 0;      // pool workers of the round still running
  uint64_t round_ = 0;
  bool quit_ = false;
};

// A pool made on first use and never shared: a copy of its owner starts
// without one, so two owners never wait on each other's threads.
class LazyWorkerPool {
 public:
  LazyWorkerPool() = default;
  LazyWorkerPool(const LazyWorkerPool&) {}
  LazyWorkerPool& operator=(const LazyWorkerPool&) { return *this; }
  LazyWorkerPool(LazyWorkerPool&&) noexcept = default;
  LazyWorkerPool& operator=(LazyWorkerPool&&) noexcept = default;
  WorkerPool& Get() {
    if (!pool_) pool_ = std::make_unique<WorkerPool>();
    return *pool_;
  }

 private:
  std::unique_ptr<WorkerPool> pool_;
};

}  // namespace px
