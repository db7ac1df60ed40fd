// Removal of the items that hang on outline vertices: V shapes and segment
// chains, with the marks they leave on the outline.
#include "model/piece_item.h"
#include "model/piece_record.h"

namespace {
constexpr uint32_t kVShapeMark = 0x800;      // a V shape's leg ends here
constexpr uint32_t kSegmentMark = 0x1000;    // a segment item has a point here

// First node at (x, y) among the items of a type that `match` accepts.
template <typename Match>
CVertexNode* FindInItemsOfType(const CPieceRecord& piece, int32_t type, int32_t x, int32_t y, Match match) {
  CPieceItem* item = piece.ItemRing;
  for (int32_t i = 0; i < piece.ItemCount && item; ++i, item = item->Next) {
    if (item->Type != type) continue;
    CVertexNode* node = item->VertexHead;
    for (int32_t k = 0; k < item->VertexCount && node; ++k, node = node->Next) {
      if (node->X == x && node->Y == y && match(*node)) return node;
    }
  }
  return nullptr;
}

CVertexNode* FindMainVertex(const CPieceRecord& piece, int32_t type, int32_t x, int32_t y) {
  return FindInItemsOfType(piece, type, x, y, [](const CVertexNode& n) { return n.IsMain(); });
}

CVertexNode* FindVertexOfKind(const CPieceRecord& piece, int32_t type, int32_t x, int32_t y, int kind) {
  return FindInItemsOfType(piece, type, x, y, [kind](const CVertexNode& n) { return n.Kind() == kind; });
}
}  // namespace

void CPieceRecord::RemoveVShape(CPieceItem** item) {
  if (!item || !*item) return;
  CPieceItem* shape = *item;
  CPoint ends[2];
  int endCount = 0;
  if (CVertexNode* first = shape->VertexHead) {
    ends[endCount++] = CPoint(first->X, first->Y);
    CVertexNode* second = shape->NextMainVertex(shape->NextMainVertex(first));
    ends[endCount++] = CPoint(second->X, second->Y);
  }
  RemoveItem(shape);
  *item = nullptr;
  for (int i = 0; i < endCount; ++i) {
    CVertexNode* outline = FindMainVertex(*this, 0, ends[i].x, ends[i].y);
    if (outline && !FindVertexOfKind(*this, 6, ends[i].x, ends[i].y, 2)) outline->Flags &= ~kVShapeMark;
  }
}

void CPieceRecord::RemoveSegmentChain(CPieceItem** item, CVertexNode* node) {
  if (!item || !*item || !node) return;
  CPieceItem* segments = *item;
  // The chain starts at the nearest node of kind 0 at or before `node`.
  CVertexNode* start = node;
  for (int32_t i = 0; i < segments->VertexCount && start->Kind() != 0; ++i) start = start->Prev;
  if (start->Kind() != 0) return;

  CVertexNode* p = start;
  for (int32_t guard = segments->VertexCount; guard > 0; --guard) {
    const int pKind = p->Kind();
    CVertexNode* b = segments->NextMainVertex(p);
    const CPoint ends[2] = {CPoint(p->X, p->Y), CPoint(b->X, b->Y)};
    CVertexNode* after = b == p ? nullptr : segments->NextMainVertex(b);
    if (after == p || after == b) after = nullptr;
    segments->RemoveGradedVertex(p);
    if (b != p) segments->RemoveGradedVertex(b);
    const bool empty = segments->VertexCount == 0;
    if (empty) {
      RemoveItem(segments);
      *item = nullptr;
    }
    for (const CPoint& end : ends) {
      if (FindMainVertex(*this, 7, end.x, end.y)) continue;
      if (CVertexNode* outline = FindMainVertex(*this, 0, end.x, end.y)) outline->Flags &= ~kSegmentMark;
    }
    if (empty || pKind == 3 || !after) break;
    p = after;
  }
}
