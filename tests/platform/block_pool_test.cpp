#include "platform/block_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

namespace {

// Enough blocks of 40 bytes (a vertex node's size) to fill several slabs.
constexpr int kManyBlocks = 100000;

TEST(BlockPool, BlocksAreDistinctAlignedAndKeepTheirBytes) {
  CBlockPool pool(40);
  EXPECT_EQ(pool.BlockSize(), 40u);
  std::vector<unsigned char*> blocks;
  for (int i = 0; i < kManyBlocks; ++i) {
    auto* block = static_cast<unsigned char*>(pool.Allocate());
    ASSERT_EQ(reinterpret_cast<uintptr_t>(block) % alignof(void*), 0u);
    std::memset(block, i & 0xFF, 40);
    blocks.push_back(block);
  }
  EXPECT_GT(pool.Slabs(), 1u);
  EXPECT_EQ(std::set<unsigned char*>(blocks.begin(), blocks.end()).size(), blocks.size());
  for (size_t i = 0; i < blocks.size(); ++i) {
    for (int b = 0; b < 40; ++b) ASSERT_EQ(blocks[i][b], static_cast<unsigned char>(i & 0xFF)) << i;
  }
  EXPECT_EQ(pool.InUse(), static_cast<size_t>(kManyBlocks));
  for (unsigned char* block : blocks) pool.Free(block);
}

TEST(BlockPool, FreedBlocksAreHandedOutAgain) {
  CBlockPool pool(24);
  void* a = pool.Allocate();
  void* b = pool.Allocate();
  pool.Free(a);
  EXPECT_EQ(pool.Allocate(), a);
  pool.Free(nullptr);
  EXPECT_EQ(pool.InUse(), 2u);
  pool.Free(a);
  pool.Free(b);
}

TEST(BlockPool, EmptyingThePoolGivesBackAllButOneSlab) {
  CBlockPool pool(40);
  std::vector<void*> blocks;
  for (int i = 0; i < kManyBlocks; ++i) blocks.push_back(pool.Allocate());
  ASSERT_GT(pool.Slabs(), 2u);
  for (void* block : blocks) pool.Free(block);
  EXPECT_EQ(pool.InUse(), 0u);
  EXPECT_EQ(pool.Slabs(), 1u);
  // The kept slab serves again.
  void* again = pool.Allocate();
  EXPECT_NE(again, nullptr);
  EXPECT_EQ(pool.Slabs(), 1u);
  pool.Free(again);
}

TEST(BlockPool, TinyBlocksStillHoldAFreeListLink) {
  CBlockPool pool(1);
  EXPECT_EQ(pool.BlockSize(), sizeof(void*));
  void* a = pool.Allocate();
  void* b = pool.Allocate();
  EXPECT_NE(a, b);
  pool.Free(a);
  pool.Free(b);
}

}  // namespace
