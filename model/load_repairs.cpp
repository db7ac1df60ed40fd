// Repairs and conversions of pieces around loading: the old vertex layout,
// old corner parameters, the tidying of curve items, the carrying of graded
// key-vertex positions between lines that share a point, the exchange of
// two-leg item ends, the style-wide repair after a native load, and the
// nearest curve segment that the cut-line rebuild and the DXF reader use.
#include <algorithm>
#include <cmath>
#include <vector>

#include "model/geometry.h"
#include "model/grading.h"
#include "model/items/curve_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"

namespace {

constexpr int32_t kClosedLineType = 8;
constexpr int32_t kOpenLineType = 9;
// How near (millimetres) a key vertex must lie to the outline to take its
// grading from the outline segment.
constexpr double kKeyVertexSnapTolerance = 1.0;

bool IsInternalLine(const CPieceItem* item) {
  return item->Type == kClosedLineType || item->Type == kOpenLineType;
}

bool IsKeyVertex(const CVertexNode* node) { return node->Kind() == 0 || node->Kind() == 3; }

// The nodes of a graded point, one per size: the main vertex, then the
// copies after it; fewer when the group is short.
std::vector<CVertexNode*> SizeNodes(CVertexNode* main) {
  std::vector<CVertexNode*> nodes{main};
  for (CVertexNode* node = main->Next; static_cast<int32_t>(nodes.size()) < g_Style.SizeCount && node != main &&
                                       node->Kind() == kVertexKindCopy;
       node = node->Next) {
    nodes.push_back(node);
  }
  return nodes;
}

// The main vertices of an item from its head round, in ring order.
std::vector<CVertexNode*> MainVerticesOf(const CPieceItem& item) {
  std::vector<CVertexNode*> mains;
  CVertexNode* const head = item.VertexHead;
  if (!head) return mains;
  CVertexNode* node = head->IsMain() ? head : item.NextMainVertex(head);
  if (!node || !node->IsMain()) return mains;
  CVertexNode* const first = node;
  for (int32_t i = 0; i < item.VertexCount; ++i) {
    mains.push_back(node);
    node = item.NextMainVertex(node);
    if (node == first) break;
  }
  return mains;
}

// Sets a node's position; true when it moved.
bool MoveNode(CVertexNode* node, int32_t x, int32_t y) {
  if (node->X == x && node->Y == y) return false;
  node->X = x;
  node->Y = y;
  return true;
}

// Every size's node of `to` takes the position of the same size's node of
// `from`; true when one moved.
bool CopySizePositions(const std::vector<CVertexNode*>& from, const std::vector<CVertexNode*>& to) {
  bool moved = false;
  for (size_t i = 1; i < from.size() && i < to.size(); ++i) moved = MoveNode(to[i], from[i]->X, from[i]->Y) || moved;
  return moved;
}

bool IsUngraded(const std::vector<CVertexNode*>& nodes) {
  for (const CVertexNode* node : nodes) {
    if (node->X != nodes[0]->X || node->Y != nodes[0]->Y) return false;
  }
  return true;
}

void Regrade(CPieceItem* item) {
  GradePiece(item);
  if (auto* curve = dynamic_cast<CPieceCurveItem*>(item)) curve->SmoothCurves();
}

bool CarryOverApplies() { return g_OptGradedCheck != 0 && g_Style.SizeCount >= 2; }

std::vector<CPieceItem*> InternalLines(const CPieceRecord& piece) {
  std::vector<CPieceItem*> lines;
  CPieceItem* item = piece.ItemRing;
  for (int32_t i = 0; item && i < piece.ItemCount; ++i, item = item->Next) {
    if (IsInternalLine(item)) lines.push_back(item);
  }
  return lines;
}

// A key vertex on an outline segment takes, in every size, the place at the
// same ratio along that segment.
bool SnapToOutlineSegment(const CPieceCurveItem& outline, CVertexNode* vertex) {
  CVertexNode* a = nullptr;
  int footX = 0;
  int footY = 0;
  if (!outline.HitTestMainVertex(vertex->X, vertex->Y, kKeyVertexSnapTolerance, &a, &footX, &footY) || !a) {
    return false;
  }
  CVertexNode* b = outline.NextMainVertex(a);
  const double span = std::hypot(static_cast<double>(b->X) - a->X, static_cast<double>(b->Y) - a->Y);
  const double r = span > 0 ? std::hypot(static_cast<double>(footX) - a->X, static_cast<double>(footY) - a->Y) / span : 0;
  const std::vector<CVertexNode*> as = SizeNodes(a);
  const std::vector<CVertexNode*> bs = SizeNodes(b);
  const std::vector<CVertexNode*> vs = SizeNodes(vertex);
  // Between two corners the point keeps its ratio along the graded segment;
  // next to a smooth vertex it follows the segment's start and the change
  // of the segment's grading.
  const bool corners = (a->Flags & 1u) == 0 && (b->Flags & 1u) == 0;
  bool moved = false;
  for (size_t i = 1; i < vs.size() && i < as.size() && i < bs.size(); ++i) {
    auto place = [&](int32_t v, int32_t a0, int32_t ai, int32_t b0, int32_t bi) {
      if (corners) return WrapAdd(ai, TruncateTowardZero(r * (static_cast<double>(bi) - ai)));
      const double shiftA = static_cast<double>(ai) - a0;
      const double shiftB = static_cast<double>(bi) - b0;
      return WrapAdd(WrapAdd(v, TruncateTowardZero(shiftA)), TruncateTowardZero(r * (shiftB - shiftA)));
    };
    moved = MoveNode(vs[i], place(vertex->X, a->X, as[i]->X, b->X, bs[i]->X),
                     place(vertex->Y, a->Y, as[i]->Y, b->Y, bs[i]->Y)) ||
            moved;
  }
  return moved;
}

}  // namespace

void CPieceRecord::CarryGradedKeyVertices() {
  if (!CarryOverApplies()) return;
  CPieceItem* outlineItem = nullptr;
  FindItem(kItemTypeOutline, &outlineItem);
  const auto* outline = dynamic_cast<const CPieceCurveItem*>(outlineItem);
  for (CPieceItem* line : InternalLines(*this)) {
    bool changed = false;
    for (CVertexNode* vertex : MainVerticesOf(*line)) {
      if (!IsKeyVertex(vertex)) continue;
      if (CVertexNode* on = FindVertex(vertex->X, vertex->Y, kItemTypeOutline, nullptr)) {
        changed = CopySizePositions(SizeNodes(on), SizeNodes(vertex)) || changed;
      } else if (g_OptNoKeyVertexSnap == 0 && outline) {
        changed = SnapToOutlineSegment(*outline, vertex) || changed;
      }
    }
    if (!changed) continue;
    Regrade(line);
    for (CVertexNode* vertex : MainVerticesOf(*line)) PropagateKeyVertex(line, vertex);
  }
}

void CPieceRecord::PropagateKeyVertex(CPieceItem* item, CVertexNode* vertex) {
  if (g_OptGradedCheck == 0 || !vertex) return;
  const std::vector<CVertexNode*> from = SizeNodes(vertex);
  for (CPieceItem* other : InternalLines(*this)) {
    if (other == item) continue;
    bool changed = false;
    for (CVertexNode* w : MainVerticesOf(*other)) {
      if (IsKeyVertex(w) && w->X == vertex->X && w->Y == vertex->Y) {
        changed = CopySizePositions(from, SizeNodes(w)) || changed;
      }
    }
    if (changed) Regrade(other);
  }
}

void CPieceRecord::ShareGradedKeyVertices() {
  if (!CarryOverApplies()) return;
  const std::vector<CPieceItem*> lines = InternalLines(*this);
  for (CPieceItem* line : lines) {
    bool changed = false;
    for (CVertexNode* vertex : MainVerticesOf(*line)) {
      const std::vector<CVertexNode*> nodes = SizeNodes(vertex);
      if (!IsKeyVertex(vertex) || !IsUngraded(nodes)) continue;
      // The first graded vertex of another line at this place lends its
      // grading.
      bool lent = false;
      for (CPieceItem* lender : lines) {
        if (lender == line) continue;
        CVertexNode* node = lender->VertexHead;
        for (int32_t i = 0; node && i < lender->VertexCount && !lent; ++i, node = node->Next) {
          if (!node->IsMain() || node->X != vertex->X || node->Y != vertex->Y) continue;
          const std::vector<CVertexNode*> graded = SizeNodes(node);
          if (IsUngraded(graded)) continue;
          changed = CopySizePositions(graded, nodes) || changed;
          lent = true;
        }
        if (lent) break;
      }
    }
    if (changed) Regrade(line);
  }
}

void CPieceRecord::SwapSimpleItemEnds() {
  CPieceItem* item = ItemRing;
  for (int32_t i = 0; item && i < ItemCount; ++i, item = item->Next) {
    if ((item->Type != 6 && item->Type != 19 && item->Type != 24) || !item->VertexHead) continue;
    CVertexNode* first = item->VertexHead;
    CVertexNode* second = item->NextMainVertex(item->NextMainVertex(first));
    if (second == first) continue;
    const std::vector<CVertexNode*> a = SizeNodes(first);
    const std::vector<CVertexNode*> b = SizeNodes(second);
    for (size_t k = 0; k < a.size() && k < b.size(); ++k) {
      std::swap(a[k]->Flags, b[k]->Flags);
      std::swap(a[k]->X, b[k]->X);
      std::swap(a[k]->Y, b[k]->Y);
    }
  }
}

int CPieceItem::FindNearestSegment(int32_t x, int32_t y, int sizeIndex, CVertexNode** node) const {
  constexpr double kFarAway = 2147483647.0;
  if (node) *node = nullptr;
  const auto* curve = dynamic_cast<const CPieceCurveItem*>(this);
  const CVertexRing* ring = curve ? curve->CurveRingAt(sizeIndex) : nullptr;
  if (!ring) return TruncateTowardZero(kFarAway);
  double best = kFarAway;
  CVertexNode* bestEnd = nullptr;
  CVertexNode* a = ring->Head;
  for (int32_t i = 0; a && i < ring->Count; ++i, a = a->Next) {
    const CVertexNode* b = a->Next;
    int footX = 0;
    int footY = 0;
    double d = PointLineFoot(x, y, a->X, a->Y, b->X, b->Y, &footX, &footY);
    const bool inX = footX >= std::min(a->X, b->X) && footX <= std::max(a->X, b->X);
    const bool inY = footY >= std::min(a->Y, b->Y) && footY <= std::max(a->Y, b->Y);
    if (!inX || !inY) {
      d = std::min(std::hypot(static_cast<double>(x) - a->X, static_cast<double>(y) - a->Y),
                   std::hypot(static_cast<double>(x) - b->X, static_cast<double>(y) - b->Y));
    }
    if (d < best) {
      best = d;
      bestEnd = a->Next;
    }
  }
  if (bestEnd && node) {
    CVertexNode* spanStart = curve->PrevKeyVertexOnCurve(g_Style.SizeAt(sizeIndex), bestEnd);
    if (spanStart) *node = NextMainVertex(spanStart);
  }
  return TruncateTowardZero(best);
}
