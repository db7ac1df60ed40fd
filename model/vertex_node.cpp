#include "model/vertex_node.h"

#include "model/piece_item.h"

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
CVertexNode* NewNode(int32_t x, int32_t y, uint32_t flags) {
  CVertexNode* node = new CVertexNode;
  node->X = x;
  node->Y = y;
  node->Flags = flags;
  return node;
}
}  // namespace

CVertexRing::~CVertexRing() { RemoveAll(); }

void CVertexRing::LinkFirst(CVertexNode* node) {
  node->Prev = node;
  node->Next = node;
  Head = node;
  Count = 1;
}

int32_t CVertexRing::CountBetween(CVertexNode* from, CVertexNode* to) const {
  int32_t n = 1;
  for (CVertexNode* node = from; node != to && n < Count; node = node->Next) ++n;
  return n;
}

CVertexNode* CVertexRing::AddHead(int32_t x, int32_t y, uint32_t flags) {
  CVertexNode* node = NewNode(x, y, flags);
  AddHeadNode(node);
  return node;
}

void CVertexRing::AddHeadNode(CVertexNode* node) {
  if (!node) return;
  if (!Head) {
    LinkFirst(node);
    return;
  }
  LinkNodeBefore(Head, node);
  Head = node;
  ++Count;
}

CVertexNode* CVertexRing::AddTail(int32_t x, int32_t y, uint32_t flags) {
  CVertexNode* node = NewNode(x, y, flags);
  AddTailNode(node);
  return node;
}

void CVertexRing::AddTailNode(CVertexNode* node) {
  if (!node) return;
  if (!Head) {
    LinkFirst(node);
    return;
  }
  LinkNodeBefore(Head, node);
  ++Count;
}

CVertexNode* CVertexRing::InsertBefore(CVertexNode* at, int32_t x, int32_t y, uint32_t flags) {
  if (!Head) {
    CVertexNode* node = NewNode(x, y, flags);
    LinkFirst(node);
    return node;
  }
  if (!at) return nullptr;
  CVertexNode* node = NewNode(x, y, flags);
  LinkNodeBefore(at, node);
  ++Count;
  return node;
}

CVertexNode* CVertexRing::InsertAfter(CVertexNode* at, int32_t x, int32_t y, uint32_t flags) {
  if (!Head) {
    CVertexNode* node = NewNode(x, y, flags);
    LinkFirst(node);
    return node;
  }
  if (!at) return nullptr;
  CVertexNode* node = NewNode(x, y, flags);
  LinkNodeAfter(at, node);
  ++Count;
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

CVertexNode* CVertexRing::RemoveAt(CVertexNode* node) {
  if (!Head || !node) return nullptr;
  if (Count <= 1) {
    delete node;
    Head = nullptr;
    Count = 0;
    return nullptr;
  }
  CVertexNode* next = node->Next;
  if (node == Head) Head = next;
  UnlinkNode(node);
  delete node;
  --Count;
  return next;
}

void CVertexRing::RemoveAll() {
  CVertexNode* node = Head;
  for (int32_t i = 0; i < Count && node; ++i) {
    CVertexNode* next = node->Next;
    delete node;
    node = next;
  }
  Head = nullptr;
  Count = 0;
}

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
  return FindIf(x, y, [](const CVertexNode& n) { return n.Kind() == 1 || n.Kind() == 3; });
}

CVertexNode* CVertexRing::FindEvenKind(int32_t x, int32_t y) const {
  return FindIf(x, y, [](const CVertexNode& n) { return n.Kind() == 0 || n.Kind() == 2; });
}

void DeleteItemVertices(CPieceItem* item) {
  if (!item) return;
  CVertexNode* node = item->VertexHead;
  for (int32_t i = 0; i < item->VertexCount && node; ++i) {
    CVertexNode* next = node->Next;
    delete node;
    node = next;
  }
  item->VertexHead = nullptr;
  item->VertexCount = 0;
}
