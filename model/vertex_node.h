// The vertex node and the free-standing vertex ring.
//
// Every piece item keeps its geometry as a circular, doubly linked ring of
// vertex nodes in integer model units. The low byte of a node's flags word
// says what the node is:
//   0 .. 63  a main vertex of the shape (readers use 0 to 6: 0 and 3 key
//            vertices, 1 and 2 curve vertices; 1 and 3 smooth). A graded main
//            vertex holds size 0 and is followed by NUMBER OF SIZES - 1 copies;
//   64       a per-size copy inside such a group (sizes 1 .. n-1);
//   100      an intermediate vertex made by grading or smoothing (a group);
//   101      a run that grading and the transforms pass over (a group);
//   102, 103 a single node that grading never moves;
//   104, 105 a single node that grading moves like a vertex (notch anchors);
//   108      a notch node re-anchored during an outline span removal;
//   128      a parameter node after a group: corner data in X and Y.
// Bits 8-15 are the notch direction code; higher bits belong to the item
// classes (point numbers in bits 18 and up, outline marks in bits 11-13).
//
// Ownership: a node belongs to exactly one ring, and the ring's owner (a
// CVertexRing or the piece item whose ring it is) frees it. Nodes are never
// shared between rings.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win_types.h"

class CPieceItem;

// The main vertex kinds readers make. Key vertices (0 and 3) end a graded run
// and anchor notches and derived items; corners (0 and 2) break the spline;
// smooth vertices (1 and 3) are passed through by it.
inline constexpr int kVertexKindKeyCorner = 0;
inline constexpr int kVertexKindCurve = 1;
inline constexpr int kVertexKindCurveCorner = 2;
inline constexpr int kVertexKindKeySmooth = 3;

inline constexpr int kVertexKindCopy = 64;          // first kind that is not a main vertex
inline constexpr int kVertexKindGraded = 100;
inline constexpr int kVertexKindSkipRun = 101;
inline constexpr int kVertexKindFixedSingle = 102;
inline constexpr int kVertexKindFixedSingle2 = 103;
inline constexpr int kVertexKindMovedSingle = 104;
inline constexpr int kVertexKindMovedSingle2 = 105;
inline constexpr int kVertexKindReanchored = 108;
inline constexpr int kVertexKindParameter = 128;

// The vertex kind of a flags word (its low byte).
constexpr int VertexKind(uint32_t flags) { return static_cast<int>(flags & 0xFF); }
// Main vertices are the kinds below 64.
constexpr bool IsMainVertexKind(int kind) { return kind < kVertexKindCopy; }
// A key vertex (kind 0 or 3): grading runs and notch spans end there.
constexpr bool IsKeyVertexKind(int kind) { return kind == kVertexKindKeyCorner || kind == kVertexKindKeySmooth; }
// A corner (kind 0 or 2): the spline starts a new span there.
constexpr bool IsCornerVertexKind(int kind) { return kind == kVertexKindKeyCorner || kind == kVertexKindCurveCorner; }
// A smooth vertex (kind 1 or 3): the spline passes through it.
constexpr bool IsSmoothVertexKind(int kind) { return kind == kVertexKindCurve || kind == kVertexKindKeySmooth; }
// A curve vertex (kind 1 or 2): a main vertex between key vertices.
constexpr bool IsCurveVertexKind(int kind) { return kind == kVertexKindCurve || kind == kVertexKindCurveCorner; }
// The corner a smooth vertex becomes: 1 -> 2, 3 -> 0; every other kind stays.
constexpr int CornerKindOf(int kind) {
  if (kind == kVertexKindCurve) return kVertexKindCurveCorner;
  if (kind == kVertexKindKeySmooth) return kVertexKindKeyCorner;
  return kind;
}
// A flags word with its kind made CornerKindOf; the bits above the kind stay.
constexpr uint32_t WithCornerKind(uint32_t flags) {
  return (flags & ~0xFFu) | static_cast<uint32_t>(CornerKindOf(VertexKind(flags)));
}

// One node of a vertex ring; every field 0 after construction.
struct CVertexNode {
  uint32_t Flags = 0;
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Value = 0;
  CVertexNode* Prev = nullptr;
  CVertexNode* Next = nullptr;
  uint32_t Attributes = 0;  // bits 16-19: line attribute of item types 8 and 9

  int Kind() const { return VertexKind(Flags); }
  bool IsMain() const { return IsMainVertexKind(Kind()); }
  bool IsKey() const { return IsKeyVertexKind(Kind()); }
  bool IsCorner() const { return IsCornerVertexKind(Kind()); }
  bool IsSmooth() const { return IsSmoothVertexKind(Kind()); }

#if !defined(ZV_PLAIN_NODE_HEAP)
  // Nodes come from a pool of their own rather than one heap call each: a
  // large style holds millions of them. Builds with ZV_PLAIN_NODE_HEAP (the
  // sanitizer builds) use the plain heap, so that every node's lifetime is
  // checked on its own.
  static void* operator new(size_t size);
  static void operator delete(void* node, size_t size);
#endif
};

// While one lives, the nodes its thread makes and frees come from a pool of
// that thread's own rather than the shared one, which serves one thread
// only: for scratch rings built, used and freed on a worker thread. Nodes
// made under it must be freed under it, on the same thread.
class CScopedThreadNodePool {
 public:
  CScopedThreadNodePool();
  ~CScopedThreadNodePool();
  CScopedThreadNodePool(const CScopedThreadNodePool&) = delete;
  CScopedThreadNodePool& operator=(const CScopedThreadNodePool&) = delete;

 private:
  void* was_ = nullptr;
};

// A ring of nodes with a head and a count, as the curve items keep one per
// size. The ring owns its nodes and frees them on destruction. Circular: the
// head's Prev is the tail; one node links to itself; empty is a null head and
// a count of 0. Every walk counts nodes from the head.
class CVertexRing {
 public:
  CVertexRing() = default;
  ~CVertexRing();
  CVertexRing(const CVertexRing&) = delete;
  CVertexRing& operator=(const CVertexRing&) = delete;

  CVertexNode* GetHead() const { return Head; }
  // The ring must not be empty.
  CVertexNode* GetTail() const { return Head->Prev; }
  CVertexNode* GetPrev(CVertexNode* node) const { return node->Prev; }
  CVertexNode* GetNext(CVertexNode* node) const { return node->Next; }
  int32_t GetCount() const { return Count; }
  BOOL IsEmpty() const { return Count == 0 ? TRUE : FALSE; }

  // Nodes from `from` to `to` inclusive following Next (1 when they are the
  // same node). Counts at most one turn of the ring: when `to` is not met,
  // the result is the ring's count.
  int32_t CountBetween(CVertexNode* from, CVertexNode* to) const;

  // New node made the head.
  CVertexNode* AddHead(int32_t x, int32_t y, uint32_t flags);
  // An existing node made the head; null is ignored. The ring takes it over.
  void AddHeadNode(CVertexNode* node);
  // New node after the tail; a first node becomes the head.
  CVertexNode* AddTail(int32_t x, int32_t y, uint32_t flags);
  void AddTailNode(CVertexNode* node);
  // New node in front of (after) `at`, the head unchanged; on an empty ring
  // the only node. Null, and nothing made, when `at` is null on a non-empty
  // ring.
  CVertexNode* InsertBefore(CVertexNode* at, int32_t x, int32_t y, uint32_t flags);
  CVertexNode* InsertAfter(CVertexNode* at, int32_t x, int32_t y, uint32_t flags);
  // Frees the head; returns the new head (null when the ring became empty).
  CVertexNode* RemoveHead();
  // Frees the tail; returns the new tail (null when the ring became empty).
  CVertexNode* RemoveTail();
  // Frees a node of this ring; returns the node that followed it, or null when
  // the ring is or became empty.
  CVertexNode* RemoveAt(CVertexNode* node);
  void RemoveAll();

  // First node from the head with that position and the whole flags word.
  CVertexNode* Find(int32_t x, int32_t y, uint32_t flags) const;
  // First node at that position whose kind is below 64.
  CVertexNode* FindMain(int32_t x, int32_t y) const;
  // First node at that position of kind 1 or 3 (smooth vertices).
  CVertexNode* FindOddKind(int32_t x, int32_t y) const;
  // First node at that position of kind 0 or 2 (corners).
  CVertexNode* FindEvenKind(int32_t x, int32_t y) const;

  CVertexNode* Head = nullptr;
  int32_t Count = 0;

 private:
  template <typename Match>
  CVertexNode* FindIf(int32_t x, int32_t y, Match match) const;
};

// Links `node` in front of `at` in a ring (neither null).
void LinkNodeBefore(CVertexNode* at, CVertexNode* node);
// Links `node` after `at` in a ring (neither null).
void LinkNodeAfter(CVertexNode* at, CVertexNode* node);
// Takes `node` out of its ring and leaves it linked to itself.
void UnlinkNode(CVertexNode* node);

// The ring operations shared by a CVertexRing and an item's own vertex ring
// (VertexHead, VertexCount): each works on a head and a count its owner
// keeps, with the same circular convention as CVertexRing.

// A new node at that position with that flags word, linked to nothing; the
// caller owns it until a ring takes it over.
CVertexNode* NewVertexNode(int32_t x, int32_t y, uint32_t flags);
// `node` made the head (AddHead) or linked after the tail (AddTail); on an
// empty ring it becomes the only node. The ring takes it over; null is
// ignored.
void AddRingHead(CVertexNode*& head, int32_t& count, CVertexNode* node);
void AddRingTail(CVertexNode*& head, int32_t& count, CVertexNode* node);
// `node` linked in front of (after) `at`, the head unchanged; on an empty ring
// the only node. False, and `node` stays the caller's, when `node` is null or
// `at` is null on a non-empty ring.
bool InsertRingBefore(CVertexNode*& head, int32_t& count, CVertexNode* at, CVertexNode* node);
bool InsertRingAfter(CVertexNode*& head, int32_t& count, CVertexNode* at, CVertexNode* node);
// Frees `node` of the ring; returns the node that followed it, or null when
// the ring is or became empty. A freed head passes to the next node.
CVertexNode* RemoveRingNode(CVertexNode*& head, int32_t& count, CVertexNode* node);
// Frees the `count` nodes from the head; the ring is then empty.
void FreeRingNodes(CVertexNode*& head, int32_t& count);

// Frees every node of the item's own ring; VertexCount 0, VertexHead null.
void DeleteItemVertices(CPieceItem* item);
