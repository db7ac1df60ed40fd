#include "platform/block_pool.h"

#include <cstdint>
#include <new>

#include <sys/mman.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define ZV_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define ZV_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define ZV_POISON(p, n) ((void)(p), (void)(n))
#define ZV_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace {
constexpr size_t kSlabBytes = 1024 * 1024;

// Maps a new slab's pages at once: one call instead of a page fault for
// every 4 KB as the blocks are first written, which is much of the cost of
// building a large style. Where the system cannot, the pages come as they
// are touched.
void Prefault(char* slab, size_t bytes) {
#if defined(MADV_POPULATE_WRITE)
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(slab) + page - 1) / page * page;
  const uintptr_t end = (reinterpret_cast<uintptr_t>(slab) + bytes) / page * page;
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
  (void)slab;
  (void)bytes;
#endif
}

size_t RoundedBlockSize(size_t size) {
  if (size < sizeof(void*)) size = sizeof(void*);
  return (size + alignof(void*) - 1) / alignof(void*) * alignof(void*);
}
}  // namespace

CBlockPool::CBlockPool(size_t block_size) : block_size_(RoundedBlockSize(block_size)) {}

CBlockPool::~CBlockPool() { ReleaseSlabs(); }

void* CBlockPool::Allocate() {
  void* block = nullptr;
  if (free_) {
    ZV_UNPOISON(free_, block_size_);
    block = free_;
    free_ = free_->next;
  } else {
    if (bump_ == nullptr || static_cast<size_t>(bump_end_ - bump_) < block_size_) {
      char* slab = static_cast<char*>(::operator new(kSlabBytes));
      Prefault(slab, kSlabBytes);
      slabs_.push_back(slab);
      bump_ = slab;
      bump_end_ = slab + kSlabBytes;
      ZV_POISON(slab, kSlabBytes);
    }
    block = bump_;
    bump_ += block_size_;
    ZV_UNPOISON(block, block_size_);
  }
  ++in_use_;
  return block;
}

void CBlockPool::Free(void* block) {
  if (!block) return;
  auto* freed = static_cast<FreeBlock*>(block);
  freed->next = free_;
  free_ = freed;
  ZV_POISON(block, block_size_);
  if (--in_use_ == 0) KeepOneSlab();
}

void CBlockPool::KeepOneSlab() {
  if (slabs_.empty()) return;
  char* kept = slabs_.back();
  slabs_.pop_back();
  ReleaseSlabs();
  slabs_.push_back(kept);
  bump_ = kept;
  bump_end_ = kept + kSlabBytes;
}

void CBlockPool::ReleaseSlabs() {
  for (char* slab : slabs_) {
    ZV_UNPOISON(slab, kSlabBytes);
    ::operator delete(slab);
  }
  slabs_.clear();
  free_ = nullptr;
  bump_ = bump_end_ = nullptr;
}
