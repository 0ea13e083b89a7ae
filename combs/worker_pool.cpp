#include "combs/worker_pool.h"

namespace px {

WorkerPool::~WorkerPool() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  for (auto& t : threads_) t.join();
}

int WorkerPool::Threads() const {
  std::lock_guard lock(mutex_);
  return int(threads_.size());
}

void WorkerPool::Run(int workers, const std::function<void(int)>& job) {
  if (workers <= 1) {
    job(0);
    return;
  }
  {
    std::unique_lock lock(mutex_);
    while (int(threads_.size()) < workers - 1) {
      const int index = int(threads_.size()) + 1;
      threads_.emplace_back([this, index] { Loop(index); });
    }
    job_ = &job;
    active_ = workers;
    pending_ = workers - 1;
    ++round_;
  }
  wake_.notify_all();
  job(0);
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] { return pending_ == 0; });
  job_ = nullptr;
}

void WorkerPool::Loop(int index) {
  uint64_t seen = 0;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return quit_ || round_ != seen; });
    if (quit_) return;
    seen = round_;
    if (index >= active_) continue;  // not needed this round
    const auto* job = job_;
    lock.unlock();
    (*job)(index);
    lock.lock();
    if (--pending_ == 0) done_.notify_one();
  }
}

}  // namespace px
