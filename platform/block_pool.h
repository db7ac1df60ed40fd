// A pool of equal blocks for objects made and freed by the hundred thousand
// (the vertex nodes of a large style): blocks are cut from 1 MB slabs and
// freed blocks are kept on a list for the next request, so that neither costs
// a heap call. When the last block in use is freed the slabs go back to the
// heap but one, so an emptied style holds almost no memory.
//
// Not thread-safe: one pool serves one thread's objects.
#pragma once

#include <cstddef>
#include <vector>

class CBlockPool {
 public:
  // Blocks of `block_size` bytes (rounded up to pointer alignment).
  explicit CBlockPool(size_t block_size);
  ~CBlockPool();
  CBlockPool(const CBlockPool&) = delete;
  CBlockPool& operator=(const CBlockPool&) = delete;

  // A block of the pool's size, aligned for any object of that size.
  void* Allocate();
  // Gives back a block this pool handed out; null is ignored.
  void Free(void* block);

  size_t BlockSize() const { return block_size_; }
  // Blocks handed out and not freed.
  size_t InUse() const { return in_use_; }
  // Slabs held from the heap.
  size_t Slabs() const { return slabs_.size(); }

 private:
  struct FreeBlock {
    FreeBlock* next;
  };
  void ReleaseSlabs();
  // Every block free again: all slabs but the newest go back to the heap.
  void KeepOneSlab();

  size_t block_size_;
  size_t in_use_ = 0;
  FreeBlock* free_ = nullptr;
  char* bump_ = nullptr;  // next unused block of the newest slab
  char* bump_end_ = nullptr;
  std::vector<char*> slabs_;
};
