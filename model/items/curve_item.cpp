#include "model/items/curve_item.h"

#include "model/style.h"

CPieceCurveItem::CPieceCurveItem(int32_t type, CPieceItem* prev, CPieceItem* next)
    : CPieceItem(type, prev, next) {}

CPieceCurveItem::~CPieceCurveItem() { DeleteCurveRings(); }

void CPieceCurveItem::DeleteCurveRings() {
  CurveRings.reset();
  CurveRingCount = 0;
}

CVertexRing* CPieceCurveItem::CurveRingAt(int sizeIndex) const {
  if (!CurveRings || sizeIndex < 0 || sizeIndex >= CurveRingCount) return nullptr;
  return &CurveRings[sizeIndex];
}

CVertexNode* CPieceCurveItem::NextVertexSkipCopies(CVertexNode* node) const {
  return CPieceItem::NextVertexSkipCopies(node);
}

CVertexNode* CPieceCurveItem::PrevVertexSkipCopies(CVertexNode* node) const {
  return CPieceItem::PrevVertexSkipCopies(node);
}

void CPieceCurveItem::GetDrawExtent(CSizeRecord*, int*, int*, int*, int*) const {
  // drawn by the item-drawing work
}

void CPieceCurveItem::GetExtent(int, int*, int*, int*, int*) const {
  // drawn by the item-drawing work
}

CVertexNode* CPieceCurveItem::FindCurveVertexWithKind(CSizeRecord* size, int32_t x, int32_t y, int kind) const {
  const CVertexRing* ring = CurveRingAt(g_Style.IndexOfSize(size));
  if (!ring) return nullptr;
  CVertexNode* node = ring->Head;
  for (int32_t i = 0; i < ring->Count; ++i, node = node->Next) {
    if (node->X == x && node->Y == y && node->Kind() == kind) return node;
  }
  return nullptr;
}

CVertexNode* CPieceCurveItem::FindCurveVertex(CSizeRecord* size, int32_t x, int32_t y) const {
  const CVertexRing* ring = CurveRingAt(g_Style.IndexOfSize(size));
  if (!ring) return nullptr;
  CVertexNode* node = ring->Head;
  for (int32_t i = 0; i < ring->Count; ++i, node = node->Next) {
    if (node->X == x && node->Y == y) return node;
  }
  return nullptr;
}

CVertexNode* CPieceCurveItem::MapToCurveVertex(CSizeRecord*, CVertexNode*) const {
  // curve lookup by the curve work
  return nullptr;
}

CVertexNode* CPieceCurveItem::MapToMainVertex(CSizeRecord*, CVertexNode*) const {
  // curve lookup by the curve work
  return nullptr;
}

CVertexNode* CPieceCurveItem::NextKeyVertexOnCurve(CSizeRecord*, CVertexNode*) const {
  // curve lookup by the curve work
  return nullptr;
}

CVertexNode* CPieceCurveItem::PrevKeyVertexOnCurve(CSizeRecord*, CVertexNode*) const {
  // curve lookup by the curve work
  return nullptr;
}

void CPieceCurveItem::BuildCurveRings() {
  DeleteCurveRings();
  const int32_t sizes = g_Style.SizeCount;
  if (sizes <= 0) return;
  CurveRings = std::make_unique<CVertexRing[]>(static_cast<size_t>(sizes));
  CurveRingCount = sizes;
  if (!VertexHead) return;
  // One node per main vertex and size, from the head round to it again. A
  // head that is no main vertex (a damaged ring) starts at the next one.
  CVertexNode* start = VertexHead;
  if (!start->IsMain()) start = NextMainVertex(start);
  if (!start->IsMain()) return;
  CVertexNode* main = start;
  do {
    CVertexNode* sizeNode = main;
    for (int32_t s = 0; s < sizes; ++s) {
      CurveRings[s].AddTail(sizeNode->X, sizeNode->Y, main->Flags);
      sizeNode = sizeNode->Next;
    }
    main = NextMainVertex(main);
  } while (main && main != start);
}

void CPieceCurveItem::SmoothCurves() {
  // smoothed by the curve work
}

int32_t CPieceCurveItem::GetCurveCount(CSizeRecord* size) const {
  const CVertexRing* ring = CurveRingAt(g_Style.IndexOfSize(size));
  return ring ? ring->Count : 0;
}

CVertexNode* CPieceCurveItem::GetCurveHead(CSizeRecord* size) const {
  const CVertexRing* ring = CurveRingAt(g_Style.IndexOfSize(size));
  return ring ? ring->Head : nullptr;
}

void CPieceCurveItem::NearestCurvePoint(CSizeRecord*, int32_t, int32_t, CVertexNode**) const {
  // curve lookup by the curve work
}

BOOL CPieceCurveItem::HitTest(CSizeRecord*, int32_t, int32_t, double, CVertexNode**, int*, int*) const {
  // curve lookup by the curve work
  return FALSE;
}

BOOL CPieceCurveItem::HitTestMainVertex(int32_t, int32_t, double, CVertexNode**, int*, int*) const {
  // curve lookup by the curve work
  return FALSE;
}

std::vector<CPoint> CPieceCurveItem::GetCurvePoints(CSizeRecord* size) const {
  std::vector<CPoint> points;
  const CVertexRing* ring = CurveRingAt(g_Style.IndexOfSize(size));
  if (!ring) return points;
  points.reserve(static_cast<size_t>(ring->Count));
  CVertexNode* node = ring->Head;
  for (int32_t i = 0; i < ring->Count; ++i, node = node->Next) points.emplace_back(node->X, node->Y);
  return points;
}

void CPiecePolylineItem::NearestCurvePoint(CSizeRecord*, int32_t, int32_t, CVertexNode**) const {
  // curve lookup by the curve work
}

BOOL CPiecePolylineItem::HitTest(CSizeRecord*, int32_t, int32_t, double, CVertexNode**, int*, int*) const {
  // curve lookup by the curve work
  return FALSE;
}

BOOL CPiecePolylineItem::HitTestMainVertex(int32_t, int32_t, double, CVertexNode**, int*, int*) const {
  // curve lookup by the curve work
  return FALSE;
}

void CPieceOpenLineItem::NearestCurvePoint(CSizeRecord*, int32_t, int32_t, CVertexNode**) const {
  // curve lookup by the curve work
}

BOOL CPieceOpenLineItem::HitTest(CSizeRecord*, int32_t, int32_t, double, CVertexNode**, int*, int*) const {
  // curve lookup by the curve work
  return FALSE;
}

BOOL CPieceOpenLineItem::HitTestMainVertex(int32_t, int32_t, double, CVertexNode**, int*, int*) const {
  // curve lookup by the curve work
  return FALSE;
}
