#include "platform/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace {

TEST(ParallelFor, CallsEveryIndexOnceWhateverTheCount) {
  for (size_t count : {0u, 1u, 2u, 7u, 1000u}) {
    SCOPED_TRACE(count);
    std::vector<std::atomic<int>> calls(count);
    ParallelFor(count, [&calls](size_t i) { calls[i].fetch_add(1); });
    for (size_t i = 0; i < count; ++i) EXPECT_EQ(calls[i].load(), 1) << i;
  }
}

TEST(ParallelFor, ReturnsOnlyWhenEveryCallHasReturned) {
  std::atomic<int> finished{0};
  ParallelFor(64, [&finished](size_t) {
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    finished.fetch_add(1);
  });
  EXPECT_EQ(finished.load(), 64);
}

TEST(ParallelFor, BatchesFollowOneAnother) {
  // The pool is used again and again, as a read uses it run after run.
  for (int batch = 0; batch < 200; ++batch) {
    std::atomic<size_t> sum{0};
    ParallelFor(10, [&sum](size_t i) { sum.fetch_add(i); });
    ASSERT_EQ(sum.load(), 45u) << batch;
  }
}

TEST(ParallelFor, WorkThatAsksForMoreRunsItInPlace) {
  std::vector<std::atomic<int>> calls(8 * 8);
  ParallelFor(8, [&calls](size_t outer) {
    ParallelFor(8, [&calls, outer](size_t inner) { calls[outer * 8 + inner].fetch_add(1); });
  });
  for (size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i].load(), 1) << i;
}

TEST(ParallelFor, ASingleCallRunsOnTheCallingThread) {
  std::thread::id ran;
  ParallelFor(1, [&ran](size_t) { ran = std::this_thread::get_id(); });
  EXPECT_EQ(ran, std::this_thread::get_id());
  EXPECT_GE(ParallelThreads(), 1u);
}

}  // namespace
