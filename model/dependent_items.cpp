// Removal of the items that hang on outline vertices (V shapes, segment
// chains, two-point lines and notches, with the marks they leave on the
// outline), and the removal of a stretch of the outline with its dependants.
#include <memory>

#include "model/grading.h"
#include "model/item_factory.h"
#include "model/item_types.h"
#include "model/items/curve_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"

namespace {
constexpr uint32_t kVShapeMark = 0x800;      // a V shape's leg ends here
constexpr uint32_t kSegmentMark = 0x1000;    // a segment item has a point here
constexpr uint32_t kLineMark = 0x2000;       // a two-point line starts here
// A notch anchor moved during a span removal: kind 108 (so that the search
// for anchors at the next vertex passes it over) with direction code 4.
constexpr uint32_t kReanchoredNotchFlags = 0x046C;
// Notches within half a millimetre of a stretch of the outline lie on it.
constexpr double kNotchOnOutlineTolerance = 0.5;


// The nearest key vertex at or before `start` walking back along the main
// vertices (forward when `forward`), or `stop` when the walk reaches it first.
CVertexNode* NearestKeyVertex(const CPieceItem* outline, CVertexNode* start, CVertexNode* stop, bool forward) {
  CVertexNode* node = start;
  for (int32_t i = 0; i < outline->VertexCount; ++i) {
    if (node == stop || node->IsKey()) return node;
    node = forward ? outline->NextMainVertex(node) : outline->PrevMainVertex(node);
  }
  return stop;
}

// Whether the kept outline from E round to S (both left out) holds a key vertex.
bool HasKeyVertexBetween(const CPieceItem* outline, CVertexNode* e, CVertexNode* s) {
  if (e == s) return false;
  CVertexNode* node = outline->NextMainVertex(e);
  for (int32_t i = 0; i < outline->VertexCount && node != s && node != e; ++i) {
    if (node->IsKey()) return true;
    node = outline->NextMainVertex(node);
  }
  return false;
}

// Removes the notch whose point group is `point` through the style (only on
// a piece that allows editing). FALSE when it stayed.
bool RemoveNotch(CPieceRecord* piece, CPieceItem* notches, CVertexNode* point) {
  CPieceRecord* owner = piece;
  g_Style.RemoveItemVertex(point, notches, owner);
  return point == nullptr;
}

// The notches anchored at the main vertices from `first` to `last` are
// tested against the curve stretch cS -> cE that goes away: on it they are
// removed, on the kept stretch cE -> cS they are anchored at the vertex that
// starts the curve segment under them, anywhere else they are removed.
// Re-anchored notches carry kind 108 until every vertex has been seen.
void RepairNotches(CPieceRecord* piece, CPieceCurveItem* outline, CVertexNode* first, CVertexNode* last,
                   CVertexNode* cS, CVertexNode* cE) {
  CSizeRecord* size = g_Style.SizeRing;
  bool reanchored = false;
  CVertexNode* vertex = first;
  for (int32_t v = 0; v < outline->VertexCount; ++v) {
    // Every round re-anchors (kind 108 is not looked for), removes or stops.
    for (;;) {
      CPieceItem* notches = nullptr;
      CVertexNode* anchor =
          piece->FindVertexOfKind(vertex->X, vertex->Y, kVertexKindMovedSingle, kItemTypeNotches, &notches);
      if (!anchor) break;
      // The notch's point on the outline is two main vertices back.
      CVertexNode* point = notches->PrevMainVertex(notches->PrevMainVertex(anchor));
      int fx = 0;
      int fy = 0;
      CVertexNode* segment = nullptr;
      if (!outline->HitTestInSpan(size, point->X, point->Y, kNotchOnOutlineTolerance, cS, cE, &fx, &fy) &&
          outline->HitTestInSpan(size, point->X, point->Y, kNotchOnOutlineTolerance, cE, cS, &fx, &fy) &&
          outline->HitTest(size, point->X, point->Y, kNotchOnOutlineTolerance, &segment, &fx, &fy) && segment) {
        const int32_t count = outline->GetCurveCount(size);
        for (int32_t i = 0; i < count && segment->Kind() == kVertexKindGraded; ++i) segment = segment->Prev;
        anchor->X = segment->X;
        anchor->Y = segment->Y;
        anchor->Flags = (anchor->Flags & 0xFFFF0000u) | kReanchoredNotchFlags;
        reanchored = true;
      } else if (!RemoveNotch(piece, notches, point)) {
        break;  // a piece that may not be edited keeps its notches
      }
    }
    if (vertex == last) break;
    vertex = outline->NextMainVertex(vertex);
  }
  if (!reanchored) return;
  CPieceItem* item = piece->ItemRing;
  for (int32_t i = 0; item && i < piece->ItemCount; ++i, item = item->Next) {
    CVertexNode* node = item->VertexHead;
    for (int32_t n = 0; node && n < item->VertexCount; ++n, node = node->Next) {
      if (node->Kind() == kVertexKindReanchored) node->Flags = (node->Flags & ~0xFFu) | kVertexKindMovedSingle;
    }
  }
}

// Removes the two-point lines, V shapes and segment chains whose marks stand
// on the main vertices from `from` to `to`.
void RemoveMarkedItems(CPieceRecord* piece, const CPieceItem* outline, CVertexNode* from, CVertexNode* to) {
  auto eachVertex = [&](auto&& visit) {
    CVertexNode* vertex = from;
    for (int32_t v = 0; v < outline->VertexCount; ++v) {
      visit(vertex);
      if (vertex == to) break;
      vertex = outline->NextMainVertex(vertex);
    }
  };
  eachVertex([&](CVertexNode* vertex) {
    if (!(vertex->Flags & kLineMark)) return;
    vertex->Flags &= ~kLineMark;
    for (;;) {
      CPieceItem* line = nullptr;
      CVertexNode* start = piece->FindVertexOfKind(vertex->X, vertex->Y, kVertexKindKeyCorner, kItemTypeTwoPointLine, &line);
      if (!start) break;
      CPieceRecord* owner = piece;
      g_Style.RemoveItemVertex(start, line, owner);
      if (start) break;  // not removed: the piece may not be edited
    }
  });
  eachVertex([&](CVertexNode* vertex) {
    if (!(vertex->Flags & kVShapeMark)) return;
    CPieceItem* shape = nullptr;
    while (piece->FindVertexOfKind(vertex->X, vertex->Y, kVertexKindCurveCorner, kItemTypeVShape, &shape)) piece->RemoveVShape(&shape);
  });
  eachVertex([&](CVertexNode* vertex) {
    if (!(vertex->Flags & kSegmentMark)) return;
    for (;;) {
      CPieceItem* segments = nullptr;
      CVertexNode* node = piece->FindVertex(vertex->X, vertex->Y, kItemTypeSegmentPairs, &segments);
      if (!node) break;
      const int32_t before = segments->VertexCount;
      piece->RemoveSegmentChain(&segments, node);
      if (segments && segments->VertexCount == before) break;  // a chain without start
    }
  });
}

// The repairs before a span of the outline goes: the notches around it, then
// the items marked on it. The repair stretch runs from the key vertex before
// the span to the key vertex after it; without `alwaysKeyStretch` it is the
// vertex before the span alone when the rest of the outline holds no key
// vertex.
void RepairSpanDependants(CPieceRecord* piece, CPieceItem* outline, CVertexNode* from, CVertexNode* to,
                          bool alwaysKeyStretch) {
  auto* curve = dynamic_cast<CPieceCurveItem*>(outline);
  if (!curve) return;
  CVertexNode* s = outline->PrevMainVertex(from);
  CVertexNode* e = outline->NextMainVertex(to);
  CVertexNode* first = s;
  CVertexNode* last = s;
  if (alwaysKeyStretch || HasKeyVertexBetween(outline, e, s)) {
    first = NearestKeyVertex(outline, s, to, false);
    last = NearestKeyVertex(outline, e, from, true);
  }
  CVertexNode* cS = curve->FindCurveVertex(g_Style.SizeRing, s->X, s->Y);
  CVertexNode* cE = curve->FindCurveVertex(g_Style.SizeRing, e->X, e->Y);
  // Without the curve round the span nothing tells where a notch lies:
  // the notches are left for the refit.
  if (cS && cE) RepairNotches(piece, curve, first, last, cS, cE);
  RemoveMarkedItems(piece, outline, from, to);
}

bool IsOutlineSpan(const CPieceItem* outline, const CVertexNode* from, const CVertexNode* to) {
  return outline && outline->Type == kItemTypeOutline && outline->VertexHead && from && to && from->IsMain() &&
         to->IsMain();
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
    CVertexNode* outline = FindVertex(ends[i].x, ends[i].y, kItemTypeOutline, nullptr);
    if (outline && !FindVertexOfKind(ends[i].x, ends[i].y, kVertexKindCurveCorner, kItemTypeVShape, nullptr)) outline->Flags &= ~kVShapeMark;
  }
}

void CPieceRecord::RemoveSegmentChain(CPieceItem** item, CVertexNode* node) {
  if (!item || !*item || !node) return;
  CPieceItem* segments = *item;
  // The chain starts at the nearest node of kind 0 at or before `node`.
  CVertexNode* start = node;
  for (int32_t i = 0; i < segments->VertexCount && start->Kind() != kVertexKindKeyCorner; ++i) start = start->Prev;
  if (start->Kind() != kVertexKindKeyCorner) return;

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
      if (FindVertex(end.x, end.y, kItemTypeSegmentPairs, nullptr)) continue;
      if (CVertexNode* outline = FindVertex(end.x, end.y, kItemTypeOutline, nullptr)) outline->Flags &= ~kSegmentMark;
    }
    if (empty || pKind == kVertexKindKeySmooth || !after) break;
    p = after;
  }
}

void CPieceRecord::RemoveOutlineSpan(CPieceItem* outline, CVertexNode* from, CVertexNode* to) {
  if (!IsOutlineSpan(outline, from, to)) return;
  const std::unique_ptr<CPieceItem> before(ClonePieceItem(outline));
  CVertexNode* s = outline->PrevMainVertex(from);
  CVertexNode* e = outline->NextMainVertex(to);
  RepairSpanDependants(this, outline, from, to, false);

  // The span goes with its copies and graded points; the parameter node of
  // the vertex before it stays. A span of the whole ring but the vertex after
  // `to` (which is `from` itself) empties the ring, `to` last.
  const bool wholeRing = from == e;
  CVertexNode* stop = wholeRing ? to : e;
  CVertexNode* node = outline->NextVertexSkipCopies(s);
  for (int32_t guard = outline->VertexCount; node && node != stop && guard > 0; --guard) {
    node = outline->RemoveGradedVertex(node);
  }
  // A whole ring leaves nothing worth keeping, not even a parameter node.
  if (wholeRing) DeleteItemVertices(outline);

  if (outline->CountMainVertices() <= 2) return;
  GradePiece(outline);
  if (auto* curve = dynamic_cast<CPieceCurveItem*>(outline)) curve->SmoothCurves();
  CPieceItem* notches = nullptr;
  if (FindItem(kItemTypeNotches, &notches)) {
    notches->UpdateNotchesFromOutline(before.get(), outline, 0);
    if (notches->VertexCount == 0) RemoveItem(notches);
  }
}

void CPieceRecord::DetachOutlineSpan(CPieceItem* outline, CVertexNode* from, CVertexNode* to) {
  if (!IsOutlineSpan(outline, from, to)) return;
  RepairSpanDependants(this, outline, from, to, true);
}

void CPieceRecord::PrepareSpanRemoval(CPieceItem* outline, CVertexNode* from, CVertexNode* to) {
  if (!IsOutlineSpan(outline, from, to)) return;
  RepairSpanDependants(this, outline, from, to, false);
}
