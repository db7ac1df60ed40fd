#include "platform/parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <sched.h>

namespace {

// A few threads are enough for the work handed out here, and more only
// contend for memory.
constexpr size_t kMaxThreads = 8;

// Set on a thread while it runs a batch's work (and on the pool's threads).
thread_local bool t_in_batch = false;

// The processors this process may run on (its affinity), at least one.
size_t UsableProcessors() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof(set), &set) == 0) {
    const int count = CPU_COUNT(&set);
    if (count > 0) return static_cast<size_t>(count);
  }
  return std::max<size_t>(1, std::thread::hardware_concurrency());
}

// One ParallelFor's work, on the caller's stack: its indices are handed out
// through `next`, and the caller waits until no thread is inside it.
struct Batch {
  const std::function<void(size_t)>* work = nullptr;
  size_t count = 0;
  std::atomic<size_t> next{0};
  size_t active = 0;  // pool threads inside the batch, under the pool's mutex

  void Drain() {
    for (size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) (*work)(i);
  }
};

class WorkerPool {
 public:
  WorkerPool() {
    const size_t threads = std::min(UsableProcessors(), kMaxThreads);
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

  // The calling thread works too, from the start: pool threads join as they
  // wake, and none is waited for that has not joined.
  void Run(size_t count, const std::function<void(size_t)>& work) {
    std::lock_guard<std::mutex> oneBatch(batch_mutex_);
    Batch batch;
    batch.work = &work;
    batch.count = count;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      batch_ = &batch;
      ++generation_;
    }
    wake_.notify_all();
    batch.Drain();
    std::unique_lock<std::mutex> lock(mutex_);
    batch_ = nullptr;
    done_.wait(lock, [&batch] { return batch.active == 0; });
  }

 private:
  void Serve() {
    t_in_batch = true;
    size_t seen = 0;
    for (;;) {
      Batch* batch = nullptr;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
        if (stopping_) return;
        seen = generation_;
        batch = batch_;
        if (!batch) continue;  // that batch is over already
        ++batch->active;
      }
      batch->Drain();
      {
        std::lock_guard<std::mutex> lock(mutex_);
        --batch->active;
      }
      done_.notify_all();
    }
  }

  std::vector<std::thread> workers_;
  std::mutex batch_mutex_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  Batch* batch_ = nullptr;
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
  // Work that itself asks for parallel work (or a pool thread's) runs it
  // serially: the pool serves one batch at a time.
  if (count < 2 || t_in_batch || ParallelThreads() < 2) {
    for (size_t i = 0; i < count; ++i) work(i);
    return;
  }
  t_in_batch = true;
  Pool().Run(count, work);
  t_in_batch = false;
}
