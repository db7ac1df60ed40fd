#include "model/outline_walk.h"

#include <cmath>

#include "model/grading.h"
#include "model/item_types.h"
#include "model/items/curve_item.h"
#include "model/piece_item.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "design/geometry/measure.h"

namespace {

double SegmentLength(const CVertexNode* a, const CVertexNode* b) { return SqrtDistance(a->X, a->Y, b->X, b->Y); }

// One end of a notch on the curve: its position and the curve node before it
// in ring order (the node a walk ended on when it ended exactly there).
struct NotchEnd {
  CVertexNode* node = nullptr;
  int x = 0;
  int y = 0;
};

NotchEnd Walk(CVertexNode* start, int d) {
  NotchEnd end;
  WalkAlongOutline(start, d, &end.node, &end.x, &end.y);
  return end;
}

// The end at `h` from the foot (fx, fy) toward `toward`, a neighbouring node
// `d` away: on the segment when it is long enough, else by walking on from
// `toward` for the rest (`sign` -1 walks backward).
NotchEnd EndBeside(CVertexNode* toward, CVertexNode* segmentStart, int fx, int fy, int h, int sign) {
  const double d = SqrtDistance(fx, fy, toward->X, toward->Y);
  if (d < h || d == 0.0) return Walk(toward, TruncateTowardZero(sign * (h - d)));
  NotchEnd end;
  end.node = segmentStart;
  end.x = TruncateTowardZero(fx + (static_cast<double>(toward->X) - fx) * h / d);
  end.y = TruncateTowardZero(fy + (static_cast<double>(toward->Y) - fy) * h / d);
  return end;
}

// The main vertex that ends the curve segment holding `node`, a node of
// `size`'s curve ring: from `node` back over spline points to a vertex node,
// then on to the next vertex node, mapped to the item's main vertex.
CVertexNode* InsertionReference(const CPieceCurveItem* curve, CSizeRecord* size, CVertexNode* node) {
  const int32_t count = curve->GetCurveCount(size);
  if (!node || count <= 0) return nullptr;
  CVertexNode* at = node;
  for (int32_t i = 0; i < count && at->Kind() > kVertexKindCopy; ++i) at = at->Prev;
  CVertexNode* reference = at->Next;
  for (int32_t i = 0; i < count && reference->Kind() > kVertexKindCopy; ++i) reference = reference->Next;
  if (reference->Kind() > kVertexKindCopy) return nullptr;
  CVertexNode* main = curve->MapToMainVertex(size, reference);
  // For a later size the mapping gives the vertex's copy of that size.
  if (main && !main->IsMain()) main = curve->PrevMainVertex(main);
  return main && main->IsMain() ? main : nullptr;
}

// A main vertex at (x, y) in front of `reference`, then its copies for sizes
// 1 .. n-1 shifted like `model`'s copies, so that they follow it in order.
CVertexNode* InsertGradedBefore(CPieceItem* curve, CVertexNode* reference, int value, int x, int y,
                                uint32_t flags, CVertexNode* model) {
  CVertexNode* vertex = curve->InsertVertexBefore(reference, x, y, flags);
  vertex->Value = value;
  const CVertexNode* copy = model;
  for (int32_t s = 1; s < g_Style.SizeCount; ++s) {
    copy = copy->Next;
    curve->InsertVertexBefore(reference, WrapAdd(x, WrapSub(copy->X, model->X)),
                              WrapAdd(y, WrapSub(copy->Y, model->Y)), kVertexKindCopy);
  }
  return vertex;
}

}  // namespace

BOOL WalkAlongOutline(CVertexNode* start, int d, CVertexNode** node, int* x, int* y) {
  if (!start) return FALSE;
  *node = start;
  *x = start->X;
  *y = start->Y;
  if (d == 0) return TRUE;
  const bool forward = d > 0;
  auto step = [forward](CVertexNode* n) { return forward ? n->Next : n->Prev; };
  const double target = std::fabs(static_cast<double>(d));

  double lap = 0.0;
  CVertexNode* n = start;
  do {
    CVertexNode* m = step(n);
    lap += SegmentLength(n, m);
    n = m;
  } while (n != start);
  // A ring of no length would never reach the distance: the walk ends where
  // it started.
  if (lap == 0.0) return TRUE;
  // Whole turns beyond the first are counted at once; the walk then goes at
  // most about two turns.
  double total = 0.0;
  if (target > 2 * lap) total = (std::floor(target / lap) - 1) * lap;

  CVertexNode* previous = start;
  CVertexNode* reached = start;
  double last = 0.0;
  while (std::trunc(total) < target) {
    previous = reached;
    reached = step(reached);
    last = SegmentLength(previous, reached);
    total += last;
  }
  if (std::trunc(total) == target) {
    *node = reached;
    *x = reached->X;
    *y = reached->Y;
    return TRUE;
  }
  const double t = std::fabs((total - target) / last);
  *x = TruncateTowardZero(reached->X + (static_cast<double>(previous->X) - reached->X) * t);
  *y = TruncateTowardZero(reached->Y + (static_cast<double>(previous->Y) - reached->Y) * t);
  *node = forward ? previous : reached;
  return TRUE;
}

CVertexNode* InsertVertexWithSizeOffsets(CSizeRecord* size, CVertexNode* node, CPieceItem* curve, int value,
                                         int x, int y, uint32_t flags, CVertexNode* model) {
  if (!curve || !size || !model || !IsNotchCurveType(curve->Type)) return nullptr;
  const auto* curveItem = dynamic_cast<const CPieceCurveItem*>(curve);
  if (!curveItem) return nullptr;
  CVertexNode* reference = InsertionReference(curveItem, size, node);
  if (!reference) return nullptr;
  return InsertGradedBefore(curve, reference, value, x, y, flags, model);
}

void CopySizeOffsets(CVertexNode* target, int /*ignored*/, CVertexNode* model) {
  if (!target || !model) return;
  target->Value = model->Value;
  target->Flags &= ~0xFFu;
  CVertexNode* copy = target;
  const CVertexNode* modelCopy = model;
  for (int32_t s = 1; s < g_Style.SizeCount; ++s) {
    copy = copy->Next;
    modelCopy = modelCopy->Next;
    if (copy->Kind() != kVertexKindCopy) break;
    copy->X = WrapAdd(target->X, WrapSub(modelCopy->X, model->X));
    copy->Y = WrapAdd(target->Y, WrapSub(modelCopy->Y, model->Y));
  }
}

void InsertNotchesIntoCurve(CPieceItem* curve, CPieceItem* notches, int size) {
  if (!curve || !notches || !notches->VertexHead || !IsNotchCurveType(curve->Type)) return;
  auto* curveItem = dynamic_cast<CPieceCurveItem*>(curve);
  if (!curveItem || size < -1 || size >= g_Style.SizeCount) return;
  // Graded insertion locates the marks on the first size's curve.
  const bool allSizes = size == -1;
  const int sizeIndex = allSizes ? 0 : size;
  CSizeRecord* sizeRecord = g_Style.SizeAt(sizeIndex);
  CVertexRing* ring = curveItem->CurveRingAt(sizeIndex);
  if (!sizeRecord || !ring) return;

  CVertexNode* const first = notches->VertexHead->IsMain() ? notches->VertexHead
                                                          : notches->NextMainVertex(notches->VertexHead);
  if (!first->IsMain()) return;
  CVertexNode* mark = first;
  for (int32_t guard = 0; guard < notches->VertexCount; ++guard) {
    CVertexNode* inner = notches->NextMainVertex(mark);
    CVertexNode* nextMark = notches->NextMainVertex(inner);
    if (inner == mark) break;  // no inner end: not a notch
    const int half = nextMark->Prev->Prev->X / 2;
    const CVertexNode* at = CPieceCurveItem::NodeOfSize(mark, sizeIndex);

    CVertexNode* segment = nullptr;
    int fx = 0;
    int fy = 0;
    if (curveItem->HitTest(sizeRecord, at->X, at->Y, 1.0, &segment, &fx, &fy) && segment) {
      NotchEnd back;
      NotchEnd ahead;
      if (fx == segment->X && fy == segment->Y) {
        back = Walk(segment, -half);
        ahead = Walk(segment, half);
      } else {
        back = EndBeside(segment, segment, fx, fy, half, -1);
        ahead = EndBeside(segment->Next, segment, fx, fy, half, 1);
      }
      if (allSizes) {
        // Both places are found before either end goes in, so that the two
        // ends of one segment come out in ring order.
        CVertexNode* keep[2] = {nullptr, nullptr};
        CVertexNode* reference[2] = {nullptr, nullptr};
        const NotchEnd ends[2] = {back, ahead};
        for (int e = 0; e < 2; ++e) {
          const NotchEnd& end = ends[e];
          if (end.node->IsMain() && end.node->X == end.x && end.node->Y == end.y) {
            keep[e] = curveItem->MapToMainVertex(sizeRecord, end.node);
          }
          if (!keep[e]) reference[e] = InsertionReference(curveItem, sizeRecord, end.node);
        }
        for (int e = 0; e < 2; ++e) {
          if (keep[e]) {
            CopySizeOffsets(keep[e], 0, mark);
          } else if (reference[e]) {
            InsertGradedBefore(curve, reference[e], mark->Value, ends[e].x, ends[e].y, 0, mark);
          }
        }
      } else {
        // Into this size's curve ring: the end ahead first, so that the end
        // behind, put after the same node, comes before it.
        for (const NotchEnd* end : {&ahead, &back}) {
          CVertexNode* node = end->node;
          if (node->X == end->x && node->Y == end->y) {
            node->Flags &= ~0xFFu;
          } else {
            node = ring->InsertAfter(node, end->x, end->y, 0);
          }
          node->Value = mark->Value;
        }
      }
    }
    mark = nextMark;
    if (mark == first || !mark->IsMain()) break;
  }
}
