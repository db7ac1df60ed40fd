// Rebuilding a V shape (a dart drawn as a V on the outline) at a new depth:
// the apex moves onto the mouth's bisector, and the outline between the two
// leg ends is replaced by one closing vertex.
#include <cmath>
#include <memory>

#include "model/geometry.h"
#include "model/grading.h"
#include "model/item_factory.h"
#include "model/item_types.h"
#include "model/items/curve_item.h"
#include "model/items/simple_items.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "design/geometry/measure.h"

namespace {

constexpr uint32_t kLegEndMark = 0x800;       // a V shape's leg ends on this outline vertex
constexpr uint32_t kClosingFromFirstLeg = 0x100;
constexpr uint32_t kClosingFromSecondLeg = 0x200;
constexpr uint32_t kClosingMask = 0x300;
constexpr uint32_t kGradeApex = 0x400;
constexpr uint32_t kKeptModeBits = 0x700;

// Whether `main` is followed by the copies of every further size.
bool HasSizeCopies(const CVertexNode* main) {
  const CVertexNode* node = main;
  for (int32_t s = 1; s < g_Style.SizeCount; ++s) {
    node = node->Next;
    if (node->Kind() != kVertexKindCopy) return false;
  }
  return true;
}

// The outline vertex at (x, y) that carries the leg-end mark: `first` (the
// first main vertex there), else the next one there in ring order that has
// it. Null when none of them is marked; the search goes round the ring once
// at most.
CVertexNode* MarkedLegEnd(const CPieceItem* outline, CVertexNode* first, int32_t x, int32_t y) {
  CVertexNode* vertex = first;
  for (int32_t i = 0; vertex && i <= outline->VertexCount; ++i) {
    if (vertex->Flags & kLegEndMark) return vertex;
    vertex = outline->FindMainVertexFrom(x, y, vertex);
    if (vertex == first) return nullptr;
  }
  return nullptr;
}

// A leg end becomes a corner: smooth kind 1 -> 2, 3 -> 0; the rest of the
// flags stay.
void MakeCorner(CVertexNode* vertex) { vertex->Flags = WithCornerKind(vertex->Flags); }

// Re-grades and re-smooths the outline and refits the piece's notches from
// `before`, the outline as it was.
void RefitOutline(CPieceRecord* piece, CPieceItem* outline, CPieceItem* before) {
  GradePiece(outline);
  if (auto* curve = dynamic_cast<CPieceCurveItem*>(outline)) curve->SmoothCurves();
  CPieceItem* notches = nullptr;
  if (!piece->FindItem(kItemTypeNotches, &notches)) return;
  notches->UpdateNotchesFromOutline(before, outline, 0);
  if (notches->VertexCount == 0) piece->RemoveItem(notches);
}

// The node reached by walking the outline's vertices (copies and parameter
// nodes passed over) from `start` until the straight steps add up to at
// least `distance`. A distance longer than the ring goes round it; on a ring
// of no length the walk ends where it started.
CVertexNode* WalkVertices(const CPieceItem* outline, CVertexNode* start, double distance, bool forward) {
  auto step = [&](CVertexNode* node) {
    return forward ? outline->NextVertexSkipCopies(node) : outline->PrevVertexSkipCopies(node);
  };
  auto length = [](const CVertexNode* a, const CVertexNode* b) { return Distance(*a, *b); };
  double lap = 0.0;
  CVertexNode* node = start;
  for (int32_t i = 0; i < outline->VertexCount; ++i) {
    CVertexNode* next = step(node);
    if (!next) return start;
    lap += length(node, next);
    node = next;
    if (node == start) break;
  }
  if (lap == 0.0 || node != start) return start;
  double sum = 0.0;
  if (distance > 2 * lap) sum = (std::floor(distance / lap) - 1) * lap;
  node = start;
  while (sum < distance) {
    CVertexNode* next = step(node);
    sum += length(node, next);
    node = next;
  }
  return node;
}

// Where the outline folded about the leg `legEnd` -> `apex` meets the
// bisector through `apex` and `middle`: the direction from the leg end to
// the outline 2 mm on (walking away from the mouth) is mirrored in the leg,
// and that ray is crossed with the bisector. The middle when they are
// parallel.
CPoint FoldedClosingPoint(const CPieceItem* outline, CVertexNode* legEnd, CPoint apex, CPoint middle,
                          bool forward) {
  const CVertexNode* far = WalkVertices(outline, legEnd, 2.0 * g_Style.GetScale(), forward);
  const double theta =
      VectorAngle(legEnd->X, legEnd->Y, apex.x, apex.y) - VectorAngle(legEnd->X, legEnd->Y, far->X, far->Y);
  int rx = 0;
  int ry = 0;
  RotatePoint(apex.x, apex.y, legEnd->X, legEnd->Y, std::sin(theta), std::cos(theta), &rx, &ry);
  int ix = middle.x;
  int iy = middle.y;
  if (IntersectSegments(legEnd->X, legEnd->Y, rx, ry, apex.x, apex.y, middle.x, middle.y, &ix, &iy) == 0) {
    return middle;
  }
  return CPoint(ix, iy);
}

}  // namespace

void CPieceItem6::RebuildOnOutline(CPieceRecord* piece, int depth, int param, int packLow, int packHigh,
                                   uint32_t legFlags, uint32_t mode) {
  const int32_t sizes = g_Style.SizeCount;
  if (!piece || !VertexHead || sizes <= 0 || VertexCount < 3 * sizes + 1) return;
  CVertexNode* const p0 = VertexHead;
  CVertexNode* const p1 = NextMainVertex(p0);
  CVertexNode* const p2 = PrevMainVertex(p0);
  CVertexNode* const p3 = VertexHead->Prev;
  if (!p0->IsMain() || p1 == p0 || p2 == p0 || p2 == p1 || p3->IsMain()) return;
  if (!HasSizeCopies(p0) || !HasSizeCopies(p1) || !HasSizeCopies(p2)) return;

  // The leg ends on the outline.
  CPieceItem* outline = nullptr;
  CVertexNode* const first0 = piece->FindVertex(p0->X, p0->Y, kItemTypeOutline, &outline);
  CVertexNode* const l0 = first0 ? MarkedLegEnd(outline, first0, p0->X, p0->Y) : nullptr;
  if (!l0) return;
  CVertexNode* const first2 = outline->FindVertex(p2->X, p2->Y);
  CVertexNode* const l2 = first2 ? MarkedLegEnd(outline, first2, p2->X, p2->Y) : nullptr;
  if (!l2 || l2 == l0 || !HasSizeCopies(l0) || !HasSizeCopies(l2)) return;

  // The new apex.
  CPoint apex;
  if (!BisectorPointAtDistance(depth, p0->X, p0->Y, p2->X, p2->Y, p1->X, p1->Y, &apex.x, &apex.y)) return;
  // Clearing the mouth removes the V shapes marked on the vertices that go;
  // one of them on this V's own leg-end point could be this item.
  for (CVertexNode* v = outline->NextMainVertex(l0); v != l2 && v != l0; v = outline->NextMainVertex(v)) {
    if ((v->X == p0->X && v->Y == p0->Y) || (v->X == p2->X && v->Y == p2->Y)) return;
  }

  // Clear the mouth, and make the leg ends corners.
  if (outline->NextMainVertex(l0) != l2) {
    piece->RemoveOutlineSpan(outline, outline->NextMainVertex(l0), outline->PrevMainVertex(l2));
  }
  {
    const std::unique_ptr<CPieceItem> before(ClonePieceItem(outline));
    outline->RemoveGradedVerticesAround(l0);
    MakeCorner(l0);
    outline->RemoveGradedVerticesAround(l2);
    MakeCorner(l2);
    RefitOutline(piece, outline, before.get());
  }

  // The closing point.
  const CPoint middle(RoundToInt((static_cast<double>(p0->X) + p2->X) / 2.0),
                      RoundToInt((static_cast<double>(p0->Y) + p2->Y) / 2.0));
  CPoint closing = middle;
  switch (mode & kClosingMask) {
    case kClosingFromFirstLeg:
      closing = FoldedClosingPoint(outline, l0, apex, middle, false);
      break;
    case kClosingFromSecondLeg:
      closing = FoldedClosingPoint(outline, l2, apex, middle, true);
      break;
    default:  // 0, and both bits at once, which choose no leg
      break;
  }
  {
    const std::unique_ptr<CPieceItem> before(ClonePieceItem(outline));
    outline->InsertVertexBefore(l2, closing.x, closing.y, 2);
    for (int32_t s = 1; s < sizes; ++s) outline->InsertVertexBefore(l2, closing.x, closing.y, kVertexKindCopy);
    RefitOutline(piece, outline, before.get());
  }

  // The V's points from the outline: the leg ends and their grading, the
  // apex graded like the first leg end.
  const uint32_t legEndFlags = (legFlags & 0xFF00u) | 2;
  CVertexNode* a = l0;
  CVertexNode* b = l2;
  CVertexNode* n0 = p0;
  CVertexNode* n1 = p1;
  CVertexNode* n2 = p2;
  for (int32_t s = 0; s < sizes; ++s) {
    n0->X = a->X;
    n0->Y = a->Y;
    n1->X = WrapAdd(apex.x, WrapSub(a->X, l0->X));
    n1->Y = WrapAdd(apex.y, WrapSub(a->Y, l0->Y));
    n2->X = b->X;
    n2->Y = b->Y;
    const bool main = s == 0;
    n0->Flags = main ? legEndFlags : kVertexKindCopy;
    n1->Flags = main ? kVShapeApexKind : kVertexKindCopy;
    n2->Flags = main ? legEndFlags : kVertexKindCopy;
    a = a->Next;
    b = b->Next;
    n0 = n0->Next;
    n1 = n1->Next;
    n2 = n2->Next;
  }
  p3->X = param;
  p3->Y = static_cast<int32_t>((static_cast<uint32_t>(packLow) & 0xFFFFu) |
                               ((static_cast<uint32_t>(packHigh) & 0xFFFFu) << 16));
  p3->Flags = (mode & kKeptModeBits) | kVertexKindMovedSingle2;

  if (mode & kGradeApex) GradeFirstCurveRun(this);
}
