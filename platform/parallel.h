// Running independent pieces of work on the processor's cores: a small pool
// of worker threads, started on first use and kept for the life of the
// program, that ParallelFor hands indices to. The work given must share no
// mutable state between indices.
#pragma once

#include <cstddef>
#include <functional>

// Calls `work(i)` once for every i in [0, count), on the pool's threads and
// the calling one, and returns when every call has returned. Calls run
// serially, in index order, on the calling thread when the machine has one
// core, `count` is below 2, or the caller is itself running work of a
// ParallelFor. `work` must not throw.
void ParallelFor(size_t count, const std::function<void(size_t)>& work);

// Threads ParallelFor runs on, the calling one included.
size_t ParallelThreads();
