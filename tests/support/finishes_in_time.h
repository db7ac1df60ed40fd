// A guard for tests of loops that must end: the call runs on its own thread,
// and a loop that never ends fails the test instead of hanging the run. It
// measures no speed: the bound is far above what the call takes.
#pragma once

#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <utility>

// Whether `call` came back within ten seconds.
template <typename Call>
bool FinishesInTime(Call call) {
  auto task = std::make_shared<std::packaged_task<void()>>(std::move(call));
  std::future<void> done = task->get_future();
  std::thread([task] { (*task)(); }).detach();
  return done.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
}
