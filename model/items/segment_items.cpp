#include "model/items/segment_items.h"

#include <cmath>
#include <vector>

#include "model/geometry.h"
#include "model/items/marker_items.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/dc.h"

namespace {

constexpr int kEmptyMin = 0x7FFFFFFF;
constexpr int kEmptyMax = static_cast<int>(0x80000000u);

void StartEmptyBox(int* minX, int* maxX, int* minY, int* maxY) {
  *minX = kEmptyMin;
  *minY = kEmptyMin;
  *maxX = kEmptyMax;
  *maxY = kEmptyMax;
}

void Widen(const CVertexNode& node, int* minX, int* maxX, int* minY, int* maxY) {
  if (node.X > *maxX) *maxX = node.X;
  if (node.X < *minX) *minX = node.X;
  if (node.Y > *maxY) *maxY = node.Y;
  if (node.Y < *minY) *minY = node.Y;
}

// Visits the nodes of every graded group of the item with their size index
// and size record: from the first main vertex after the head, around the ring
// once. A group ends after NUMBER OF SIZES nodes, or earlier at the first node
// that is not a per-size copy (a short group), and the whole walk takes no
// more nodes than the ring holds.
template <typename Visit>
void ForEachGradedNode(const CPieceItem& item, Visit visit) {
  if (!item.VertexHead || item.VertexCount <= 0 || g_Style.SizeCount <= 0) return;
  CVertexNode* const start = item.NextMainVertex(item.VertexHead);
  if (!start || !start->IsMain()) return;
  int32_t budget = item.VertexCount;
  CVertexNode* main = start;
  do {
    CVertexNode* const following = item.NextMainVertex(main);
    CVertexNode* node = main;
    CSizeRecord* size = g_Style.SizeRing;
    for (int k = 0; k < g_Style.SizeCount && size && budget > 0; ++k, --budget) {
      if (k > 0 && node->Kind() != kVertexKindCopy) break;
      visit(*node, k, *size);
      node = node->Next;
      size = size->Next;
    }
    main = following;
  } while (main != start && budget > 0);
}

}  // namespace

void GradedItemExtent(const CPieceItem& item, int all, int* minX, int* maxX, int* minY, int* maxY) {
  StartEmptyBox(minX, maxX, minY, maxY);
  ForEachGradedNode(item, [&](const CVertexNode& node, int k, const CSizeRecord& size) {
    const bool counted = all == 0 ? k == 0 : size.Visible != 0;
    if (counted) Widen(node, minX, maxX, minY, maxY);
  });
}

void GradedItemDrawExtent(const CPieceItem& item, CSizeRecord* skip, int* minX, int* maxX, int* minY,
                          int* maxY) {
  StartEmptyBox(minX, maxX, minY, maxY);
  ForEachGradedNode(item, [&](const CVertexNode& node, int, const CSizeRecord& size) {
    if (&size != skip) Widen(node, minX, maxX, minY, maxY);
  });
}

void CPieceSegmentItem::GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const {
  GradedItemDrawExtent(*this, size, minX, maxX, minY, maxY);
}
void CPieceSegmentItem::GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const {
  GradedItemExtent(*this, all, minX, maxX, minY, maxY);
}

void CPieceSimpleItem::GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const {
  GradedItemDrawExtent(*this, size, minX, maxX, minY, maxY);
}
void CPieceSimpleItem::GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const {
  GradedItemExtent(*this, all, minX, maxX, minY, maxY);
}

void CPieceFillItem::GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const {
  GradedItemDrawExtent(*this, size, minX, maxX, minY, maxY);
}
void CPieceFillItem::GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const {
  GradedItemExtent(*this, all, minX, maxX, minY, maxY);
}

void CPieceNotchItem::GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const {
  GradedItemDrawExtent(*this, size, minX, maxX, minY, maxY);
}
void CPieceNotchItem::GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const {
  GradedItemExtent(*this, all, minX, maxX, minY, maxY);
}

namespace {

CPoint At(const CFlaggedPoint& p) { return CPoint(p.X, p.Y); }

}  // namespace

void DrawSegmentEndMark(CDC* dc, CPoint end, CPoint toward, int stub, int bar, double unitsPerPixel,
                        int originX, int originY) {
  const double dx = static_cast<double>(toward.x) - end.x;
  const double dy = static_cast<double>(toward.y) - end.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (length == 0.0) return;
  const double ux = dx / length;
  const double uy = dy / length;
  const double mx = end.x + stub * ux;
  const double my = end.y + stub * uy;
  const double half = bar / 2.0;
  const CPoint inner(RoundToInt(mx), RoundToInt(my));
  const CPoint bar1(RoundToInt(mx + half * uy), RoundToInt(my - half * ux));
  const CPoint bar2(RoundToInt(mx - half * uy), RoundToInt(my + half * ux));
  dc->MoveTo(ScreenPoint(end.x, end.y, unitsPerPixel, originX, originY));
  dc->LineTo(ScreenPoint(inner.x, inner.y, unitsPerPixel, originX, originY));
  dc->MoveTo(ScreenPoint(bar1.x, bar1.y, unitsPerPixel, originX, originY));
  const CPoint last = ScreenPoint(bar2.x, bar2.y, unitsPerPixel, originX, originY);
  dc->LineTo(last);
  dc->LineTo(last.x, OffsetPixel(last.y, 1));
}

SegmentEndMarkSizes CurrentSegmentEndMarkSizes() {
  const double scale = g_Style.GetScale();
  SegmentEndMarkSizes marks;
  marks.Stub = TruncateTowardZero(scale * g_NotchSizeB / 10.0);
  marks.Bar = TruncateTowardZero(scale * g_NotchSizeA / 10.0);
  return marks;
}

void DrawMarkedSegment(CDC* dc, CPoint p, CPoint q, SegmentEndMarkSizes marks, double unitsPerPixel, int originX,
                       int originY) {
  if (g_DrawFlagLines) {
    dc->MoveTo(ScreenPoint(p.x, p.y, unitsPerPixel, originX, originY));
    dc->LineTo(ScreenPoint(q.x, q.y, unitsPerPixel, originX, originY));
  } else {
    DrawSegmentEndMark(dc, p, q, marks.Stub, marks.Bar, unitsPerPixel, originX, originY);
    DrawSegmentEndMark(dc, q, p, marks.Stub, marks.Bar, unitsPerPixel, originX, originY);
  }
}

void CPieceItem7::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!dc) return;
  const COLORREF oldBk = dc->SetBkColor(0xFFFFFF);
  const ItemSizePoints sizes(*this);
  if (sizes.Count() > 0) {
    const SegmentEndMarkSizes marks = CurrentSegmentEndMarkSizes();
    DrawEachSize(dc, PS_DASH, false, [&](CDC* d, const CSizeRecord&, int index) {
      const std::vector<CFlaggedPoint>& points = sizes.Points(index);
      // Pairs (0, 1), (2, 3), ...; the size's points form a ring, so an odd
      // last point pairs with the first.
      for (size_t i = 0; i < points.size(); i += 2) {
        const CFlaggedPoint& p = points[i];
        const CFlaggedPoint& q = points[(i + 1) % points.size()];
        DrawMarkedSegment(d, At(p), At(q), marks, unitsPerPixel, originX, originY);
      }
    });
  }
  dc->SetBkColor(oldBk);
}

void CPieceItem7::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem20::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!dc || !g_DrawFlagDerivedItems) return;
  const COLORREF oldBk = dc->SetBkColor(0xFFFFFF);
  const ItemSizePoints sizes(*this);
  if (sizes.Count() > 0) {
    DrawEachSize(dc, PS_DASH, false, [&](CDC* d, const CSizeRecord&, int index) {
      const std::vector<CFlaggedPoint>& points = sizes.Points(index);
      for (size_t i = 0; i + 1 < points.size(); i += 2) {
        d->MoveTo(ScreenPoint(points[i], unitsPerPixel, originX, originY));
        d->LineTo(ScreenPoint(points[i + 1], unitsPerPixel, originX, originY));
      }
    });
  }
  dc->SetBkColor(oldBk);
}

void CPieceItem20::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}
