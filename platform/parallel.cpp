#include "platform/parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// A few threads are enough for the work handed out here, and more only
// contend for memory.
constexpr size_t kMaxThreads = 8;

class WorkerPool {
 public:
  WorkerPool() {
    const size_t cores = std::max<size_t>(1, std::thread::hardware_concurrency());
    const size_t threads = std::min(cores, kMaxThreads);
    for (size_t i = 1; i < threads; ++i) workers_.emplace_back([this] { Serve(); });
  }
  ~WorkerPool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  size_t Threads() const { return workers_.size() + 1; }

  void Run(size_t count, const std::function<void(size_t)>& work) {
    // One batch at a time: a second caller waits for the first.
    std::lock_guard<std::mutex> batch(batch_mutex_);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      work_ = &work;
      count_ = count;
      next_.store(0);
      busy_ = workers_.size();
      ++generation_;
    }
    wake_.notify_all();
    Drain();
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    work_ = nullptr;
  }

 private:
  void Drain() {
    for (size_t i = next_.fetch_add(1); i < count_; i = next_.fetch_add(1)) (*work_)(i);
  }

  void Serve() {
    size_t seen = 0;
    for (;;) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
        if (stopping_) return;
        seen = generation_;
      }
      Drain();
      {
        std::lock_guard<std::mutex> lock(mutex_);
        --busy_;
      }
      done_.notify_one();
    }
  }

  std::vector<std::thread> workers_;
  std::mutex batch_mutex_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  const std::function<void(size_t)>* work_ = nullptr;
  size_t count_ = 0;
  std::atomic<size_t> next_{0};
  size_t busy_ = 0;
  size_t generation_ = 0;
  bool stopping_ = false;
};

WorkerPool& Pool() {
  static WorkerPool pool;
  return pool;
}

}  // namespace

size_t ParallelThreads() { return Pool().Threads(); }

void ParallelFor(size_t count, const std::function<void(size_t)>& work) {
  if (count < 2 || ParallelThreads() < 2) {
    for (size_t i = 0; i < count; ++i) work(i);
    return;
  }
  Pool().Run(count, work);
}
