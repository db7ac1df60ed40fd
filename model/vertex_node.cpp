#include "model/vertex_node.h"

#include <new>

#include "model/piece_item.h"
#include "platform/block_pool.h"

#if defined(ZV_PLAIN_NODE_HEAP)
// The plain heap serves every thread.
CScopedThreadNodePool::CScopedThreadNodePool() = default;
CScopedThreadNodePool::~CScopedThreadNodePool() = default;
#else
namespace {
// Never destroyed: nodes of global styles may be freed during exit, after
// static destructors have run.
CBlockPool& SharedNodePool() {
  static CBlockPool* pool = new CBlockPool(sizeof(CVertexNode));
  return *pool;
}

// The pool of this thread's CScopedThreadNodePool, while one lives.
thread_local CBlockPool* t_thread_pool = nullptr;

CBlockPool& NodePool() { return t_thread_pool ? *t_thread_pool : SharedNodePool(); }
}  // namespace

CScopedThreadNodePool::CScopedThreadNodePool() : was_(t_thread_pool) {
  static thread_local CBlockPool own(sizeof(CVertexNode));
  t_thread_pool = &own;
}

CScopedThreadNodePool::~CScopedThreadNodePool() { t_thread_pool = static_cast<CBlockPool*>(was_); }

void* CVertexNode::operator new(size_t size) {
  if (size != sizeof(CVertexNode)) return ::operator new(size);
  return NodePool().Allocate();
}

void CVertexNode::operator delete(void* node, size_t size) {
  if (size != sizeof(CVertexNode)) {
    ::operator delete(node);
    return;
  }
  NodePool().Free(node);
}
#endif

void LinkNodeBefore(CVertexNode* at, CVertexNode* node) {
  node->Prev = at->Prev;
  node->Next = at;
  at->Prev->Next = node;
  at->Prev = node;
}

void LinkNodeAfter(CVertexNode* at, CVertexNode* node) {
  node->Next = at->Next;
  node->Prev = at;
  at->Next->Prev = node;
  at->Next = node;
}

void UnlinkNode(CVertexNode* node) {
  node->Prev->Next = node->Next;
  node->Next->Prev = node->Prev;
  node->Prev = node;
  node->Next = node;
}

namespace {
// Links `node` into an empty ring as its only node.
void LinkOnlyNode(CVertexNode*& head, int32_t& count, CVertexNode* node) {
  node->Prev = node;
  node->Next = node;
  head = node;
  count = 1;
}
}  // namespace

CVertexNode* NewVertexNode(int32_t x, int32_t y, uint32_t flags) {
  CVertexNode* node = new CVertexNode;
  node->X = x;
  node->Y = y;
  node->Flags = flags;
  return node;
}

void AddRingHead(CVertexNode*& head, int32_t& count, CVertexNode* node) {
  if (!node) return;
  if (!head) {
    LinkOnlyNode(head, count, node);
    return;
  }
  LinkNodeBefore(head, node);
  head = node;
  ++count;
}

void AddRingTail(CVertexNode*& head, int32_t& count, CVertexNode* node) {
  if (!node) return;
  if (!head) {
    LinkOnlyNode(head, count, node);
    return;
  }
  LinkNodeBefore(head, node);
  ++count;
}

bool InsertRingBefore(CVertexNode*& head, int32_t& count, CVertexNode* at, CVertexNode* node) {
  if (!node) return false;
  if (!head) {
    LinkOnlyNode(head, count, node);
    return true;
  }
  if (!at) return false;
  LinkNodeBefore(at, node);
  ++count;
  return true;
}

bool InsertRingAfter(CVertexNode*& head, int32_t& count, CVertexNode* at, CVertexNode* node) {
  if (!node) return false;
  if (!head) {
    LinkOnlyNode(head, count, node);
    return true;
  }
  if (!at) return false;
  LinkNodeAfter(at, node);
  ++count;
  return true;
}

CVertexNode* RemoveRingNode(CVertexNode*& head, int32_t& count, CVertexNode* node) {
  if (!head || !node) return nullptr;
  if (count <= 1) {
    delete node;
    head = nullptr;
    count = 0;
    return nullptr;
  }
  CVertexNode* next = node->Next;
  if (node == head) head = next;
  UnlinkNode(node);
  delete node;
  --count;
  return next;
}

void FreeRingNodes(CVertexNode*& head, int32_t& count) {
  CVertexNode* node = head;
  for (int32_t i = 0; i < count && node; ++i) {
    CVertexNode* next = node->Next;
    delete node;
    node = next;
  }
  head = nullptr;
  count = 0;
}

CVertexRing::~CVertexRing() { RemoveAll(); }

int32_t CVertexRing::CountBetween(CVertexNode* from, CVertexNode* to) const {
  int32_t n = 1;
  for (CVertexNode* node = from; node != to && n < Count; node = node->Next) ++n;
  return n;
}

CVertexNode* CVertexRing::AddHead(int32_t x, int32_t y, uint32_t flags) {
  CVertexNode* node = NewVertexNode(x, y, flags);
  AddHeadNode(node);
  return node;
}

void CVertexRing::AddHeadNode(CVertexNode* node) { AddRingHead(Head, Count, node); }

CVertexNode* CVertexRing::AddTail(int32_t x, int32_t y, uint32_t flags) {
  CVertexNode* node = NewVertexNode(x, y, flags);
  AddTailNode(node);
  return node;
}

void CVertexRing::AddTailNode(CVertexNode* node) { AddRingTail(Head, Count, node); }

CVertexNode* CVertexRing::InsertBefore(CVertexNode* at, int32_t x, int32_t y, uint32_t flags) {
  if (Head && !at) return nullptr;
  CVertexNode* node = NewVertexNode(x, y, flags);
  InsertRingBefore(Head, Count, at, node);
  return node;
}

CVertexNode* CVertexRing::InsertAfter(CVertexNode* at, int32_t x, int32_t y, uint32_t flags) {
  if (Head && !at) return nullptr;
  CVertexNode* node = NewVertexNode(x, y, flags);
  InsertRingAfter(Head, Count, at, node);
  return node;
}

CVertexNode* CVertexRing::RemoveHead() {
  if (!Head) return nullptr;
  return RemoveAt(Head);
}

CVertexNode* CVertexRing::RemoveTail() {
  if (!Head) return nullptr;
  RemoveAt(Head->Prev);
  return Head ? Head->Prev : nullptr;
}

CVertexNode* CVertexRing::RemoveAt(CVertexNode* node) { return RemoveRingNode(Head, Count, node); }

void CVertexRing::RemoveAll() { FreeRingNodes(Head, Count); }

template <typename Match>
CVertexNode* CVertexRing::FindIf(int32_t x, int32_t y, Match match) const {
  CVertexNode* node = Head;
  for (int32_t i = 0; i < Count; ++i, node = node->Next) {
    if (node->X == x && node->Y == y && match(*node)) return node;
  }
  return nullptr;
}

CVertexNode* CVertexRing::Find(int32_t x, int32_t y, uint32_t flags) const {
  return FindIf(x, y, [flags](const CVertexNode& n) { return n.Flags == flags; });
}

CVertexNode* CVertexRing::FindMain(int32_t x, int32_t y) const {
  return FindIf(x, y, [](const CVertexNode& n) { return n.IsMain(); });
}

CVertexNode* CVertexRing::FindOddKind(int32_t x, int32_t y) const {
  return FindIf(x, y, [](const CVertexNode& n) { return n.IsSmooth(); });
}

CVertexNode* CVertexRing::FindEvenKind(int32_t x, int32_t y) const {
  return FindIf(x, y, [](const CVertexNode& n) { return n.IsCorner(); });
}

void DeleteItemVertices(CPieceItem* item) {
  if (item) FreeRingNodes(item->VertexHead, item->VertexCount);
}
