#include "model/lookup.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>
#include <unordered_map>

#include "model/grading.h"
#include "model/item_types.h"
#include "model/items/curve_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "design/geometry/measure.h"

namespace {

// Corner codes whose parameter node keeps data above the code in its y word.
constexpr int kWholeWordCornerCodes[] = {13, 14, 18, 19, 20, 21};
// The code of a vertex without corner parameters of its own.
constexpr int kInterpolatedCornerCode = 6;

// Whether an item is tried for a type argument: its own type, or any type
// not passed over for -1.
template <typename PassedOver>
bool IsTried(int32_t itemType, int32_t type, PassedOver passedOver) {
  return itemType == type || (type == -1 && !passedOver(itemType));
}

// Walks the piece's items from `first` for at most ItemCount items and
// returns the first that `match` accepts.
template <typename Match>
CPieceItem* FirstItemFrom(const CPieceRecord& piece, CPieceItem* first, Match match) {
  CPieceItem* item = first;
  for (int32_t i = 0; i < piece.ItemCount && item; ++i, item = item->Next) {
    if (match(item)) return item;
  }
  return nullptr;
}

// The first node of the first item of that type that `match` accepts.
template <typename Match>
CVertexNode* FindNodeInItemsOfType(const CPieceRecord& piece, int32_t type, CPieceItem** item, Match match) {
  CVertexNode* found = nullptr;
  CPieceItem* owner = FirstItemFrom(piece, piece.ItemRing, [&](CPieceItem* candidate) {
    if (candidate->Type != type) return false;
    found = match(candidate);
    return found != nullptr;
  });
  if (owner && item) *item = owner;
  return found;
}

// The item's nearest main vertex within reach; a dimension's first two nodes
// repeat the vertices it measures and are no target of their own.
BOOL NearestVertexOfItem(const CPieceItem& item, int32_t x, int32_t y, double tol, CVertexNode** node) {
  if (item.Type == kItemTypeDimension) {
    if (item.VertexCount <= 2 || !item.VertexHead) return FALSE;
    return FindNearestVertexWithin(item.VertexHead->Next->Next, item.VertexCount - 2, x, y, tol, FALSE, node);
  }
  return item.HitTestVertex(x, y, tol, node, FALSE);
}

int16_t LowHalf(int32_t word) { return static_cast<int16_t>(static_cast<uint32_t>(word) & 0xFFFFu); }
int16_t HighHalf(int32_t word) { return static_cast<int16_t>(static_cast<uint32_t>(word) >> 16); }

}  // namespace

CVertexNode* FindCornerParamNode(const CPieceItem* outline, CVertexNode* vertex) {
  if (!outline || !vertex) return nullptr;
  CVertexNode* last = vertex;
  CVertexNode* node = vertex->Next;
  for (int32_t i = 0; i < outline->VertexCount && node != vertex; ++i, node = node->Next) {
    if (node->Kind() != kVertexKindCopy && node->Kind() != kVertexKindParameter) break;
    last = node;
  }
  return last->Kind() == kVertexKindParameter ? last : nullptr;
}

namespace {

// Walks the outline's main vertices from `vertex` forward or backward to the
// first one with corner parameters and returns its parameter node; null when
// the walk comes round to `vertex` first. The length walked, up to that
// vertex or the last one reached, is added to `*length`.
const CVertexNode* WalkToCornerParams(CPieceItem* outline, CVertexNode* vertex, bool forward, double* length) {
  CVertexNode* current = vertex;
  for (int32_t i = 0; i < outline->VertexCount; ++i) {
    CVertexNode* step = forward ? outline->NextMainVertex(current) : outline->PrevMainVertex(current);
    if (!step || step == vertex) break;
    *length += forward ? Distance(*current, *step) : Distance(*step, *current);
    if (const CVertexNode* param = FindCornerParamNode(outline, step)) return param;
    current = step;
  }
  return nullptr;
}

}  // namespace

void GetVertexCornerParams(CPieceItem* outline, CVertexNode* node, int* code, int* p1, int* p2) {
  int cornerCode = kInterpolatedCornerCode;
  int first = 0;
  int second = 0;
  if (outline && node) {
    if (const CVertexNode* param = FindCornerParamNode(outline, node)) {
      cornerCode = static_cast<int>(static_cast<uint32_t>(param->Y) & 0xFFFFu);
      if (std::find(std::begin(kWholeWordCornerCodes), std::end(kWholeWordCornerCodes), cornerCode) !=
          std::end(kWholeWordCornerCodes)) {
        cornerCode = param->Y;
      }
      second = LowHalf(param->X);
      first = HighHalf(param->X);
    } else {
      // The width leaving the parameter node behind the vertex blends into
      // the width arriving at the one ahead, by the length along the outline.
      double behind = 0;
      const CVertexNode* behindParam = WalkToCornerParams(outline, node, false, &behind);
      const int leaving = behindParam ? LowHalf(behindParam->X) : 0;
      double total = behind;
      const CVertexNode* aheadParam = WalkToCornerParams(outline, node, true, &total);
      const int arriving = aheadParam ? HighHalf(aheadParam->X) : 0;
      first = total > 0 ? TruncateTowardZero(leaving + (arriving - leaving) * behind / total) : leaving;
      second = first;
    }
  }
  if (code) *code = cornerCode;
  if (p1) *p1 = first;
  if (p2) *p2 = second;
}

int CPieceItem::DistanceToKeyVertex(CVertexNode* vertex) const {
  const auto* curve = dynamic_cast<const CPieceCurveItem*>(this);
  CSizeRecord* const firstSize = g_Style.SizeRing;
  if (!curve || !vertex || !firstSize) return 0;
  CVertexNode* const start = curve->MapToCurveVertex(firstSize, vertex);
  const int32_t count = curve->GetCurveCount(firstSize);
  if (!start || count <= 0) return 0;
  // A curve vertex ends the walk when its vertex carries a positive length
  // (a single-precision value in its fourth word). Its vertex is the first
  // main vertex of the ring at its place with its flags; they are looked up
  // in a table made on the first need, so that a long walk over a dense
  // curve does not search the ring at every step.
  struct Place {
    int32_t x;
    int32_t y;
    uint32_t flags;
    bool operator==(const Place&) const = default;
  };
  struct PlaceHash {
    size_t operator()(const Place& p) const {
      const uint64_t xy = (static_cast<uint64_t>(static_cast<uint32_t>(p.x)) << 32) | static_cast<uint32_t>(p.y);
      return std::hash<uint64_t>()(xy) ^ (std::hash<uint32_t>()(p.flags) * 0x9E3779B97F4A7C15ull);
    }
  };
  std::unordered_map<Place, const CVertexNode*, PlaceHash> mains;
  bool mainsMade = false;
  auto endsWalk = [&](const CVertexNode* node) {
    const int kind = node->Kind();
    if (IsKeyVertexKind(kind)) return true;
    if (!IsCurveVertexKind(kind)) return false;
    if (!mainsMade) {
      mainsMade = true;
      if (Type != kItemTypeText) {
        const CVertexNode* n = VertexHead;
        for (int32_t i = 0; i < VertexCount && n; ++i, n = n->Next) {
          if (n->IsMain()) mains.try_emplace(Place{n->X, n->Y, n->Flags}, n);
        }
      }
    }
    const auto found = mains.find(Place{node->X, node->Y, node->Flags});
    return found != mains.end() && std::bit_cast<float>(found->second->Value) > 0.0f;
  };
  auto walk = [&](bool forward) {
    double length = 0;
    CVertexNode* node = start;
    for (int32_t i = 0; i < count; ++i) {
      CVertexNode* step = forward ? node->Next : node->Prev;
      length += Distance(*node, *step);
      node = step;
      if (node == start || endsWalk(node)) break;
    }
    return length;
  };
  return TruncateTowardZero(std::min(walk(true), walk(false)));
}

BOOL CPieceRecord::FindItem(int32_t type, CPieceItem** out) const {
  CPieceItem* found = FirstItemFrom(*this, ItemRing, [type](CPieceItem* item) { return item->Type == type; });
  if (!found) return FALSE;
  if (out) *out = found;
  return TRUE;
}

BOOL CPieceRecord::FindItemAfter(int32_t type, CPieceItem* start, CPieceItem** out) const {
  if (!start) return FALSE;
  CPieceItem* found = FirstItemFrom(*this, start->Next, [type](CPieceItem* item) { return item->Type == type; });
  if (!found) return FALSE;
  if (out) *out = found;
  return TRUE;
}

CVertexNode* CPieceRecord::FindVertex(int32_t x, int32_t y, int32_t type, CPieceItem** item) const {
  return FindNodeInItemsOfType(*this, type, item,
                               [x, y](const CPieceItem* candidate) { return candidate->FindVertex(x, y); });
}

CVertexNode* CPieceRecord::FindVertexOfKind(int32_t x, int32_t y, int kind, int32_t type, CPieceItem** item) const {
  return FindNodeInItemsOfType(*this, type, item, [x, y, kind](const CPieceItem* candidate) -> CVertexNode* {
    CVertexNode* node = candidate->VertexHead;
    for (int32_t i = 0; i < candidate->VertexCount && node; ++i, node = node->Next) {
      if (node->X == x && node->Y == y && node->Kind() == kind) return node;
    }
    return nullptr;
  });
}

CVertexNode* CPieceRecord::FindVertexAnyItem(int32_t x, int32_t y, CPieceItem** item) const {
  CVertexNode* found = nullptr;
  CPieceItem* owner = FirstItemFrom(*this, ItemRing, [&](CPieceItem* candidate) {
    if (IsPassedOverByLookups(candidate->Type)) return false;
    found = candidate->FindVertex(x, y);
    return found != nullptr;
  });
  if (owner && item) *item = owner;
  return found;
}

BOOL CPieceRecord::HitTestVertex(int32_t x, int32_t y, int32_t type, double tol, CPieceItem** item,
                                 CVertexNode** node) const {
  CPieceItem* outline = nullptr;
  if (!FindItem(kItemTypeOutline, &outline)) return FALSE;
  const double reach = g_Style.GetScale() * tol;
  double best = g_Style.GetScale() * (tol + 1.0);
  CPieceItem* bestItem = nullptr;
  CVertexNode* bestNode = nullptr;
  CPieceItem* current = outline;
  for (int32_t i = 0; i < ItemCount && current; ++i, current = current->Next) {
    if (!IsTried(current->Type, type, IsPassedOverByHitTest)) continue;
    CVertexNode* found = nullptr;
    if (!NearestVertexOfItem(*current, x, y, tol, &found)) continue;
    const double d = Distance(x, y, found->X, found->Y);
    if (!(d < best)) continue;
    bestItem = current;
    bestNode = found;
    best = d;
    // The outline comes first, and a vertex of it in reach wins outright.
    if (current == outline && reach >= best) break;
  }
  if (!bestItem || !(reach >= best)) return FALSE;
  if (item) *item = bestItem;
  if (node) *node = bestNode;
  return TRUE;
}

BOOL CPieceRecord::HitTestVertexFrom(int32_t x, int32_t y, int32_t type, double tol, CPieceItem* start,
                                     CPieceItem** item, CVertexNode** node) const {
  if (!start) return FALSE;
  CPieceItem* current = start;
  for (int32_t i = 0; i < ItemCount && current; ++i) {
    CVertexNode* found = nullptr;
    if (IsTried(current->Type, type, IsPassedOverByLookups) && current->HitTestVertex(x, y, tol, &found, FALSE)) {
      if (item) *item = current;
      if (node) *node = found;
      return TRUE;
    }
    current = current->Next;
    if (current == ItemRing) break;
  }
  return FALSE;
}

BOOL CPieceRecord::HitTestCurve(int32_t x, int32_t y, double tol, CPieceItem** item, CVertexNode** segment,
                                int* fx, int* fy) const {
  const double scale = g_Style.GetScale();
  double best = tol + 1.0;
  CPieceItem* bestItem = nullptr;
  CVertexNode* bestSegment = nullptr;
  int bestX = 0;
  int bestY = 0;
  FirstItemFrom(*this, ItemRing, [&](CPieceItem* candidate) {
    if (!IsGradedType(candidate->Type)) return false;
    const auto* curve = dynamic_cast<const CPieceCurveItem*>(candidate);
    CVertexNode* found = nullptr;
    int footX = 0;
    int footY = 0;
    if (!curve || !curve->HitTestMainVertex(x, y, tol, &found, &footX, &footY)) return false;
    const double apart = Distance(x, y, footX, footY);
    const double d = scale > 0 ? apart / scale : apart;
    if (d < best) {
      best = d;
      bestItem = candidate;
      bestSegment = found;
      bestX = footX;
      bestY = footY;
    }
    return false;
  });
  if (!bestItem || !(tol > best)) return FALSE;
  if (item) *item = bestItem;
  if (segment) *segment = bestSegment;
  if (fx) *fx = bestX;
  if (fy) *fy = bestY;
  return TRUE;
}

void CPieceRecord::GetDrawExtent(int size, int* minX, int* maxX, int* minY, int* maxY) const {
  int left = kBoxEmptyMin;
  int right = kExtentEmptyMax;
  int top = kBoxEmptyMin;
  int bottom = kExtentEmptyMax;
  CSizeRecord* const record = g_Style.SizeAt(size);
  // Each item reports into a box of its own, merged here, so that an item
  // that starts its box afresh cannot drop what the others gave.
  FirstItemFrom(*this, ItemRing, [&](CPieceItem* item) {
    int itemMinX = kBoxEmptyMin;
    int itemMaxX = kExtentEmptyMax;
    int itemMinY = kBoxEmptyMin;
    int itemMaxY = kExtentEmptyMax;
    item->GetDrawExtent(record, &itemMinX, &itemMaxX, &itemMinY, &itemMaxY);
    left = std::min(left, itemMinX);
    right = std::max(right, itemMaxX);
    top = std::min(top, itemMinY);
    bottom = std::max(bottom, itemMaxY);
    return false;
  });
  if (minX) *minX = left;
  if (maxX) *maxX = right;
  if (minY) *minY = top;
  if (maxY) *maxY = bottom;
}

std::vector<CPieceItem*> ItemsOf(const CPieceRecord* piece) {
  std::vector<CPieceItem*> items;
  CPieceItem* item = piece->ItemRing;
  for (int i = 0; item && i < piece->ItemCount; ++i, item = item->Next) items.push_back(item);
  return items;
}

std::vector<CVertexNode*> NodesOf(const CPieceItem* item) {
  std::vector<CVertexNode*> nodes;
  CVertexNode* node = item->VertexHead;
  for (int i = 0; node && i < item->VertexCount; ++i, node = node->Next) nodes.push_back(node);
  return nodes;
}

std::vector<CVertexNode*> MainVerticesOf(const CPieceItem* item) {
  std::vector<CVertexNode*> nodes;
  for (CVertexNode* node : NodesOf(item)) {
    if (node->IsMain()) nodes.push_back(node);
  }
  return nodes;
}

std::vector<CVertexNode*> WalkMainVertices(const CPieceItem& item) {
  std::vector<CVertexNode*> mains;
  CVertexNode* const head = item.VertexHead;
  if (!head) return mains;
  CVertexNode* const first = head->IsMain() ? head : item.NextMainVertex(head);
  if (!first || !first->IsMain()) return mains;
  CVertexNode* node = first;
  for (int32_t i = 0; node && i < item.VertexCount; ++i) {
    mains.push_back(node);
    node = item.NextMainVertex(node);
    if (node == first) break;
  }
  return mains;
}

CPieceItem* FindFirstItem(CPieceRecord* piece, int type) {
  CPieceItem* item = nullptr;
  return piece->FindItem(type, &item) ? item : nullptr;
}
