// Repairs and conversions of pieces around loading: the old vertex layout,
// old corner parameters, the tidying of curve items, the carrying of graded
// key-vertex positions between lines that share a point, the exchange of
// two-leg item ends, the style-wide repair after a native load, and the
// nearest curve segment that the cut-line rebuild and the DXF reader use.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "model/lookup.h"
#include "model/corner_codes.h"
#include "model/geometry.h"
#include "model/grading.h"
#include "model/items/curve_item.h"
#include "model/load_repairs.h"
#include "model/item_types.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "model/work_area.h"
#include "design/geometry/measure.h"

namespace {

// How near (millimetres) a key vertex must lie to the outline to take its
// grading from the outline segment.
constexpr double kKeyVertexSnapTolerance = 1.0;

bool IsInternalLine(const CPieceItem* item) {
  return item->Type == kItemTypeClosedLine || item->Type == kItemTypeOpenLine;
}


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
    for (CVertexNode* vertex : WalkMainVertices(*line)) {
      if (!vertex->IsKey()) continue;
      if (CVertexNode* on = FindVertex(vertex->X, vertex->Y, kItemTypeOutline, nullptr)) {
        changed = CopySizePositions(SizeNodes(on), SizeNodes(vertex)) || changed;
      } else if (g_OptNoKeyVertexSnap == 0 && outline) {
        changed = SnapToOutlineSegment(*outline, vertex) || changed;
      }
    }
    if (!changed) continue;
    Regrade(line);
    for (CVertexNode* vertex : WalkMainVertices(*line)) PropagateKeyVertex(line, vertex);
  }
}

void CPieceRecord::PropagateKeyVertex(CPieceItem* item, CVertexNode* vertex) {
  if (g_OptGradedCheck == 0 || !vertex) return;
  const std::vector<CVertexNode*> from = SizeNodes(vertex);
  for (CPieceItem* other : InternalLines(*this)) {
    if (other == item) continue;
    bool changed = false;
    for (CVertexNode* w : WalkMainVertices(*other)) {
      if (w->IsKey() && w->X == vertex->X && w->Y == vertex->Y) {
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
    for (CVertexNode* vertex : WalkMainVertices(*line)) {
      const std::vector<CVertexNode*> nodes = SizeNodes(vertex);
      if (!vertex->IsKey() || !IsUngraded(nodes)) continue;
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
    if (!IsVShapeType(item->Type) || !item->VertexHead) continue;
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

double NearestSegmentDistance(int32_t x, int32_t y, CPoint a, CPoint b) {
  int footX = 0;
  int footY = 0;
  const double d = PointLineFoot(x, y, a.x, a.y, b.x, b.y, &footX, &footY);
  const bool inX = footX >= std::min(a.x, b.x) && footX <= std::max(a.x, b.x);
  const bool inY = footY >= std::min(a.y, b.y) && footY <= std::max(a.y, b.y);
  if (inX && inY) return d;
  return std::min(std::hypot(static_cast<double>(x) - a.x, static_cast<double>(y) - a.y),
                  std::hypot(static_cast<double>(x) - b.x, static_cast<double>(y) - b.y));
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
    const double d = NearestSegmentDistance(x, y, CPoint(a->X, a->Y), CPoint(b->X, b->Y));
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

namespace {

constexpr uint32_t kParameterFlags = 0x80;
constexpr uint32_t kCopyFlags = 0x40;
// Marks on outline vertices where a V shape's leg ends (0x800) or a point
// pair's point (0x1000) sits; they keep the vertex from being tidied away.
constexpr uint32_t kVShapeMark = 0x800;
constexpr uint32_t kPointPairMark = 0x1000;
constexpr uint32_t kMarks = kVShapeMark | kPointPairMark;
constexpr uint32_t kVShapeVertex = 0x802;
constexpr uint32_t kPointPairVertex = 0x1002;
// The outline-vertex node of a notch as the repair sets it: a single node
// that grading moves (kind 104), placed by the next vertex (direction 3).
constexpr uint32_t kNotchAnchorFlags = 0x368;
// Beyond these a vertex is taken for damage: a coordinate above half a
// billion units, a smooth vertex more than five million units from a
// neighbour.
constexpr int32_t kFarCoordinate = 500000000;
constexpr double kFarNeighbour = 5000000.0;
// How near (millimetres) a mark's point must lie to the outline to be tied
// to it.
constexpr double kOutlineTestTolerance = 2.0;
constexpr int32_t kDataVersionWithIncomingWidths = 106;


// A smooth vertex becomes the corner of its kind: 1 -> 2, 3 -> 0.
void MakeCorner(CVertexNode* node) {
  if (!node) return;
  node->Flags = WithCornerKind(node->Flags);
}

// Renumbers an old corner code into the current numbering; codes 10 to 15
// also take their further value into the high half (`folds`).
uint32_t NewCornerCode(uint32_t code, bool* folds) { return CurrentCornerCode(code, folds).value_or(code); }

// The length along the main vertices from `from` to `to`, stepping with
// `step` (forward or backward).
template <typename Step>
double PathLength(CVertexNode* from, CVertexNode* to, int32_t limit, Step step) {
  double length = 0;
  CVertexNode* node = from;
  for (int32_t i = 0; i < limit && node != to; ++i) {
    CVertexNode* next = step(node);
    length += Distance(*node, *next);
    node = next;
  }
  return length;
}

// Inserts a new outline vertex with `flags` at `at` and its per-size copies
// in front of `before`.
CVertexNode* InsertOutlineVertex(CPieceItem* outline, CVertexNode* before, CPoint at, uint32_t flags) {
  CVertexNode* vertex = outline->InsertVertexBefore(before, at.x, at.y, flags);
  for (int s = 1; s < g_Style.SizeCount; ++s) outline->InsertVertexBefore(before, at.x, at.y, kCopyFlags);
  return vertex;
}

// The outline main vertex that starts the outline segment within 2 mm of
// (x, y); null when the outline is not that near.
CVertexNode* OutlineTest(const CPieceCurveItem& outline, int32_t x, int32_t y) {
  CVertexNode* hit = nullptr;
  int footX = 0;
  int footY = 0;
  if (!outline.HitTestMainVertex(x, y, kOutlineTestTolerance, &hit, &footX, &footY)) return nullptr;
  return hit;
}

}  // namespace

int CPieceItem::FindLaterDuplicate(CVertexNode* vertex, CVertexNode** duplicate) const {
  if (duplicate) *duplicate = nullptr;
  if (!vertex) return 0;
  CVertexNode* node = NextMainVertex(vertex);
  for (int32_t i = 0; node && node != vertex && i < VertexCount; ++i, node = NextMainVertex(node)) {
    if (node->X != vertex->X || node->Y != vertex->Y) continue;
    if (Type == kItemTypeOpenLine && node == VertexHead) continue;
    if (duplicate) *duplicate = node;
    return 1;
  }
  return 0;
}

void CPieceRecord::ConvertOldVertexLayout() {
  CPieceItem* item = ItemRing;
  for (int32_t i = 0; item && i < ItemCount; ++i, item = item->Next) {
    if (!IsOldLayoutType(item->Type) || !item->VertexHead) continue;
    CVertexNode* node = item->VertexHead;
    for (int32_t remaining = item->VertexCount; node && remaining > 0; --remaining) {
      CVertexNode* next = node->Next;
      if (node->IsMain()) {
        for (int s = 1; s < g_Style.SizeCount; ++s) item->InsertVertexAfter(node, node->X, node->Y, kCopyFlags);
      } else if (node->Kind() == kVertexKindParameter) {
        node->Flags = kParameterFlags;
        bool folds = false;
        const uint32_t code = NewCornerCode(static_cast<uint32_t>(node->Y) & 0xFFFFu, &folds);
        if (code != (static_cast<uint32_t>(node->Y) & 0xFFFFu) || folds) {
          uint32_t y = code & 0xFFFFu;
          if (folds && next != node && next->Kind() == kVertexKindParameter && remaining > 1) {
            y |= (static_cast<uint32_t>(next->X) & 0xFFFFu) << 16;
            next = item->RemoveVertex(next);
            --remaining;
          }
          node->Y = static_cast<int32_t>(y);
        }
        // Only one parameter node follows a vertex.
        while (next && next != node && next->Kind() == kVertexKindParameter && remaining > 1) {
          next = item->RemoveVertex(next);
          --remaining;
        }
      }
      node = next;
    }
  }
}

void CPieceRecord::UpgradeCornerParams() {
  CPieceItem* outline = nullptr;
  if (g_Style.DataVersion >= kDataVersionWithIncomingWidths || !FindItem(kItemTypeOutline, &outline)) return;
  CVertexNode* node = outline->VertexHead;
  for (int32_t i = 0; node && i < outline->VertexCount; ++i, node = node->Next) {
    if (node->Kind() != kVertexKindParameter) continue;
    // The parameter node before this one, round the ring; itself when alone.
    CVertexNode* before = node->Prev;
    for (int32_t k = 0; k < outline->VertexCount && before->Kind() != kVertexKindParameter; ++k) before = before->Prev;
    const uint32_t incoming = static_cast<uint32_t>(before->X) & 0xFFFFu;
    node->X = static_cast<int32_t>((static_cast<uint32_t>(node->X) & 0xFFFFu) | (incoming << 16));
  }
}

namespace {

// The tidying of one curve item of NormalizeVertexKinds.
class CurveTidying {
 public:
  explicit CurveTidying(CPieceItem* item) : item_(item), fewest_(item->Type == kItemTypeOpenLine ? 2 : 3) {}

  void Run();

 private:
  bool AtFewest() const { return item_->CountMainVertices() <= fewest_; }
  // Removes a run of nodes from `from` up to `to` (excluded), stepping over
  // parameter nodes; stops early at the fewest main vertices.
  void CutRun(CVertexNode* from, CVertexNode* to);
  // May the too-close rule remove this vertex?
  bool Removable(CVertexNode* vertex) const {
    return (vertex->Flags & kMarks) == 0 && item_->NextMainVertex(vertex)->Prev->Kind() != kVertexKindParameter;
  }
  // Applies the rules to the main vertex `v`; returns the node the walk
  // goes on with, or null when the item's tidying ends.
  CVertexNode* Examine(CVertexNode* v, bool* done);

  CPieceItem* item_;
  int32_t fewest_;
};

void CurveTidying::CutRun(CVertexNode* from, CVertexNode* to) {
  CVertexNode* node = from;
  for (int32_t guard = item_->VertexCount; node && node != to && guard > 0; --guard) {
    if (node->Kind() == kVertexKindParameter) {
      node = item_->NextMainVertex(node);
      continue;
    }
    node = item_->RemoveGradedVertex(node);
    if (AtFewest()) return;
  }
}

CVertexNode* CurveTidying::Examine(CVertexNode* v, bool* done) {
  CVertexNode* prev = item_->PrevMainVertex(v);
  CVertexNode* next = item_->NextMainVertex(v);
  const double dPrev = Distance(*v, *prev);
  const double dNext = Distance(*v, *next);
  const double dPrevSmooth = v->IsSmooth() ? dPrev : 0;
  const double dNextSmooth = v->IsSmooth() ? dNext : 0;

  CVertexNode* w = nullptr;
  if (g_OptCornerRebuild != 0 && item_->FindLaterDuplicate(v, &w)) {
    // A repeated vertex closes a loop: the shorter way round from it to its
    // repeat goes. The vertex keeps the more telling kind of the two.
    if (v->IsSmooth() && w->IsCorner()) v->Flags = w->Flags;
    if (IsCurveVertexKind(v->Kind()) && w->IsKey()) v->Flags = w->Flags;
    const int32_t limit = item_->VertexCount;
    const double forward = PathLength(v, w, limit, [this](CVertexNode* n) { return item_->NextMainVertex(n); });
    const double backward = PathLength(v, w, limit, [this](CVertexNode* n) { return item_->PrevMainVertex(n); });
    if (forward < backward) {
      CutRun(item_->NextMainVertex(v), w);
      item_->RemoveGradedVertex(w);
      if (AtFewest()) *done = true;
    } else {
      CutRun(w, v);
    }
    return v;
  }

  if (v->X > kFarCoordinate || v->Y > kFarCoordinate || dPrevSmooth > kFarNeighbour || dNextSmooth > kFarNeighbour) {
    return item_->RemoveGradedVertex(v);
  }

  const double scale = g_Style.GetScale();
  if (dPrev < scale || dNext < scale) {
    CVertexNode* n = nullptr;
    if (dPrev < scale) {
      if (v != item_->VertexHead) n = prev;
    } else if (next != item_->VertexHead) {
      n = next;
    }
    if (!n) return v->Next;
    const int vk = v->Kind();
    const int nk = n->Kind();
    // The neighbour goes when this vertex says at least as much (a corner
    // beside a smooth vertex, a key vertex beside a curve vertex, or the
    // same kind); otherwise this vertex goes.
    const bool dropNeighbour = ((vk == 0 || vk == 2) && (nk == 1 || nk == 3)) ||
                               ((vk == 0 || vk == 3) && (nk == 1 || nk == 2)) || vk == nk;
    if (dropNeighbour) {
      if (Removable(n)) item_->RemoveGradedVertex(n);
      return v->Next;
    }
    if (Removable(v)) return item_->RemoveGradedVertex(v);
  }
  return v->Next;
}

void CurveTidying::Run() {
  if (!item_->VertexHead) return;
  if (!item_->VertexHead->IsMain()) item_->VertexHead = item_->NextMainVertex(item_->VertexHead);
  CVertexNode* node = item_->VertexHead;
  bool done = false;
  for (int32_t steps = item_->VertexCount; node && steps > 0 && !done; --steps) {
    if (AtFewest()) return;
    node = node->IsMain() ? Examine(node, &done) : node->Next;
  }
}

}  // namespace

void CPieceRecord::NormalizeVertexKinds() {
  CPieceItem* cut = nullptr;
  if (FindItem(kItemTypeCutLine, &cut) && cut->VertexCount < 3) RemoveItem(cut);
  CPieceItem* item = ItemRing;
  for (int32_t i = 0, count = ItemCount; item && i < count; ++i, item = item->Next) {
    if (IsTidiedCurveType(item->Type)) CurveTidying(item).Run();
  }
}

namespace {

// Ties one leg end `end` (of a V shape or corner mark, with `apexSide` its
// neighbour in the item) to the outline. `first` tells the first leg from
// the second: it decides which outline neighbour becomes a corner.
void TieLegEnd(CPieceCurveItem* outline, CVertexNode* end, CVertexNode* apexSide, bool first) {
  auto neighbour = [&](CVertexNode* v) { return first ? outline->NextMainVertex(v) : outline->PrevMainVertex(v); };
  if (CVertexNode* on = outline->FindVertex(end->X, end->Y)) {
    on->Flags |= kVShapeMark;
    MakeCorner(on);
    MakeCorner(neighbour(on));
    return;
  }
  if (CVertexNode* hit = OutlineTest(*outline, end->X, end->Y)) {
    CVertexNode* after = outline->NextMainVertex(hit);
    InsertOutlineVertex(outline, after, CPoint(end->X, end->Y), kVShapeVertex);
    MakeCorner(first ? after : hit);
  } else if (CVertexNode* reached = ExtendLineToOutline(outline, apexSide, end)) {
    // The leg carried on to the outline: its end moves there in every size.
    MakeCorner(neighbour(reached));
    reached->Flags |= kVShapeMark;
    const std::vector<CVertexNode*> from = SizeNodes(reached);
    const std::vector<CVertexNode*> to = SizeNodes(end);
    for (size_t i = 0; i < from.size() && i < to.size(); ++i) {
      to[i]->X = from[i]->X;
      to[i]->Y = from[i]->Y;
    }
  }
  outline->SmoothCurves();
}

// Ties every point of a point pair item to the outline.
void TiePointPairs(CPieceCurveItem* outline, CPieceItem* pairs) {
  for (CVertexNode* v : WalkMainVertices(*pairs)) {
    if (CVertexNode* on = outline->FindVertex(v->X, v->Y)) {
      on->Flags |= kPointPairMark;
      MakeCorner(on);
      continue;
    }
    if (CVertexNode* hit = OutlineTest(*outline, v->X, v->Y)) {
      InsertOutlineVertex(outline, outline->NextMainVertex(hit), CPoint(v->X, v->Y), kPointPairVertex);
    }
    outline->SmoothCurves();
  }
}

// The outline place a notch at `point` belongs to: the outline vertex that
// starts the outline segment it lies on, or the outline's head when it lies
// on none.
CPoint NotchAnchor(const CPieceCurveItem& outline, const CVertexNode* point) {
  const CVertexNode* at = OutlineTest(outline, point->X, point->Y);
  if (!at) at = outline.VertexHead;
  return CPoint(at->X, at->Y);
}

// The notches of a notch item: each notch's point (a main vertex) and inner
// end, in ring order from the head.
std::vector<std::pair<CVertexNode*, CVertexNode*>> Notches(const CPieceItem& item) {
  std::vector<std::pair<CVertexNode*, CVertexNode*>> notches;
  CVertexNode* const head = item.VertexHead;
  if (!head) return notches;
  CVertexNode* point = head;
  for (int32_t guard = item.VertexCount; guard > 0; --guard) {
    CVertexNode* inner = item.NextMainVertex(point);
    notches.emplace_back(point, inner);
    point = item.NextMainVertex(inner);
    if (point == head || point == inner || !point) break;
  }
  return notches;
}

void RepairNotches(CPieceItem* first, CPieceItem* later, const CPieceCurveItem& outline) {
  if (!later) {
    // The kept item: each notch's outline-vertex node, the node before the
    // next notch's point, is set from the outline.
    for (const auto& notch : Notches(*first)) {
      CVertexNode* anchor = first->NextMainVertex(notch.second)->Prev;
      if (anchor == notch.second || anchor->IsMain()) continue;
      const CPoint at = NotchAnchor(outline, notch.first);
      anchor->Flags = kNotchAnchorFlags;
      anchor->X = at.x;
      anchor->Y = at.y;
    }
    return;
  }
  // A later item's notches go to the first one, each with a new
  // outline-vertex node.
  for (const auto& notch : Notches(*later)) {
    const std::vector<CVertexNode*> points = SizeNodes(notch.first);
    const std::vector<CVertexNode*> inners = SizeNodes(notch.second);
    for (const CVertexNode* node : points) first->AddTailVertex(node->X, node->Y, node->Flags);
    for (const CVertexNode* node : inners) first->AddTailVertex(node->X, node->Y, node->Flags);
    const CVertexNode* width = inners.back()->Next;
    if (!width->IsMain()) first->AddTailVertex(width->X, width->Y, width->Flags);
    const CPoint at = NotchAnchor(outline, notch.first);
    first->AddTailVertex(at.x, at.y, kNotchAnchorFlags);
  }
}

// Repairs the items of one piece that has an outline.
void RepairPieceItems(CPieceRecord* piece, CPieceItem* outlineItem) {
  auto* outline = dynamic_cast<CPieceCurveItem*>(outlineItem);
  if (!outline) return;
  CPieceItem* firstMarkers = nullptr;
  CPieceItem* firstNotches = nullptr;
  CPieceItem* item = piece->ItemRing;
  for (int32_t guard = piece->ItemCount; item && guard > 0; --guard) {
    CPieceItem* next = item->Next;
    switch (item->Type) {
      case kItemTypeFilledMarkers:
        if (!firstMarkers) {
          firstMarkers = item;
        } else {
          CVertexNode* node = item->VertexHead;
          for (int32_t i = 0; node && i < item->VertexCount; ++i, node = node->Next) {
            firstMarkers->AddTailVertex(node->X, node->Y, node->Flags);
          }
          piece->RemoveItem(item);
        }
        break;
      case kItemTypeVShape:
      case kItemTypeCornerMarks:
        if (CVertexNode* e1 = item->VertexHead) {
          CVertexNode* apex = item->NextMainVertex(e1);
          CVertexNode* e2 = item->NextMainVertex(apex);
          TieLegEnd(outline, e1, apex, true);
          TieLegEnd(outline, e2, item->PrevMainVertex(e2), false);
        }
        break;
      case kItemTypeSegmentPairs:
      case kItemTypeEndTicks:
        TiePointPairs(outline, item);
        break;
      case kItemTypeNotches:
      case kItemTypeDottedNotches:
        if (!firstNotches) {
          firstNotches = item;
          RepairNotches(item, nullptr, *outline);
        } else {
          RepairNotches(firstNotches, item, *outline);
          piece->RemoveItem(item);
        }
        break;
      default:
        break;
    }
    if (next == piece->ItemRing) break;
    item = next;
  }
}

}  // namespace

int CStyle::RepairLoadedPieces() {
  CPieceRecord* piece = PieceRing;
  for (int32_t i = 0, count = PieceCount; piece && i < count; ++i) {
    CPieceRecord* next = piece->Next;
    CPieceItem* outline = nullptr;
    if (!piece->FindItem(kItemTypeOutline, &outline)) {
      // The list pane lets go of the piece while it still exists.
      if (g_pListPane) g_pListPane->RemovePiece(piece);
      RemovePiece(piece);
    } else {
      RepairPieceItems(piece, outline);
    }
    piece = PieceCount > 0 ? next : nullptr;
  }
  return PieceCount > 0 && SizeCount > 0 ? 1 : 0;
}
