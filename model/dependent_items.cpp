// Removal of the items that hang on outline vertices: V shapes and segment
// chains, with the marks they leave on the outline.
#include "model/piece_item.h"
#include "model/piece_record.h"

namespace {
constexpr uint32_t kVShapeMark = 0x800;      // a V shape's leg ends here
constexpr uint32_t kSegmentMark = 0x1000;    // a segment item has a point here
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
    CVertexNode* outline = FindVertex(ends[i].x, ends[i].y, 0, nullptr);
    if (outline && !FindVertexOfKind(ends[i].x, ends[i].y, 2, 6, nullptr)) outline->Flags &= ~kVShapeMark;
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
      if (FindVertex(end.x, end.y, 7, nullptr)) continue;
      if (CVertexNode* outline = FindVertex(end.x, end.y, 0, nullptr)) outline->Flags &= ~kSegmentMark;
    }
    if (empty || pKind == 3 || !after) break;
    p = after;
  }
}
