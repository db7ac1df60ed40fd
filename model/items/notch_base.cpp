// The notch marks: their rectangle and five shapes, their drawing per size,
// and keeping them on the piece outline after the outline changed.
#include <cmath>
#include <vector>

#include "model/geometry.h"
#include "model/items/marker_items.h"
#include "model/items/outline_item.h"
#include "model/items/segment_items.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "platform/dc.h"
#include "design/geometry/measure.h"

namespace {

// How far a notch's point may lie from the outline and still be on it, in
// millimetres.
constexpr double kNotchOnOutlineTolerance = 0.2;

CPoint Midpoint(CPoint a, CPoint b) {
  return CPoint(RoundToInt((static_cast<double>(a.x) + b.x) / 2.0), RoundToInt((static_cast<double>(a.y) + b.y) / 2.0));
}

// One line figure in screen pixels: MoveTo the first point, LineTo the
// others, then one pixel below the last so that the end pixel is drawn.
void DrawFigure(CDC* dc, std::initializer_list<CPoint> points) {
  const CPoint* p = points.begin();
  dc->MoveTo(*p);
  for (++p; p != points.end(); ++p) dc->LineTo(*p);
  const CPoint last = *(points.end() - 1);
  dc->LineTo(last.x, OffsetPixel(last.y, 1));
}

// The nodes of one notch: node k of each group is its position in size k.
struct NotchNodes {
  std::vector<CVertexNode*> points;
  std::vector<CVertexNode*> inners;
  CVertexNode* width = nullptr;   // X: width, Y: angle in tenths of a degree
  CVertexNode* anchor = nullptr;  // the outline vertex's position; byte 1: direction code
};

// Reads the notch whose point group starts at `point`. False when `point` is
// no notch point (a main vertex of kind 0), when a group is short (a node
// that should be a per-size copy is not one), or when the ring is too short
// for the two groups, the width node and, with `withAnchor`, the anchor.
bool ReadNotch(const CPieceItem& item, CVertexNode* point, bool withAnchor, NotchNodes* notch) {
  const int sizes = g_Style.SizeCount;
  if (!point || point->Kind() != kVertexKindKeyCorner || sizes <= 0) return false;
  const int64_t needed = 2 * static_cast<int64_t>(sizes) + (withAnchor ? 2 : 1);
  if (item.VertexCount < needed) return false;
  notch->points.assign(static_cast<size_t>(sizes), nullptr);
  notch->inners.assign(static_cast<size_t>(sizes), nullptr);
  CVertexNode* node = point;
  for (std::vector<CVertexNode*>* group : {&notch->points, &notch->inners}) {
    for (int k = 0; k < sizes; ++k, node = node->Next) {
      if (k > 0 && node->Kind() != kVertexKindCopy) return false;
      (*group)[static_cast<size_t>(k)] = node;
    }
  }
  notch->width = node;
  notch->anchor = withAnchor ? node->Next : nullptr;
  return true;
}

CPoint At(const CVertexNode* node) { return CPoint(node->X, node->Y); }

// The first main vertex from the head, or null when the ring holds none.
CVertexNode* FirstMainVertex(const CPieceItem& item) {
  if (!item.VertexHead) return nullptr;
  CVertexNode* start = item.VertexHead->IsMain() ? item.VertexHead : item.NextMainVertex(item.VertexHead);
  return start && start->IsMain() ? start : nullptr;
}

// The notch points of the item (main vertices of kind 0), in ring order.
std::vector<CVertexNode*> NotchPoints(const CPieceItem& item) {
  std::vector<CVertexNode*> points;
  CVertexNode* const start = FirstMainVertex(item);
  CVertexNode* node = start;
  for (int32_t i = 0; node && i < item.VertexCount; ++i) {
    if (node->Kind() == kVertexKindKeyCorner) points.push_back(node);
    node = item.NextMainVertex(node);
    if (node == start) break;
  }
  return points;
}

// Removes one notch: its point and every node after it up to the next
// notch point (its two groups and its parameter nodes).
void RemoveNotch(CPieceItem* item, CVertexNode* point) {
  int32_t count = 1;
  for (CVertexNode* node = point->Next; node != point && count < item->VertexCount; node = node->Next) {
    if (node->IsMain() && node->Kind() == kVertexKindKeyCorner) break;
    ++count;
  }
  CVertexNode* node = point;
  for (int32_t i = 0; i < count && node && item->VertexHead; ++i) node = item->RemoveVertex(node);
}

// Node `sizeIndex` of the graded group of a main vertex, or null when the
// group is short.
CVertexNode* GroupNode(CVertexNode* main, int sizeIndex) {
  CVertexNode* node = main;
  for (int k = 1; k <= sizeIndex; ++k) {
    node = node->Next;
    if (node->Kind() != kVertexKindCopy) return nullptr;
  }
  return node;
}

// Direction codes of a notch's anchor (byte 1 of its flags): where the span
// that the notch's place is measured on ends.
constexpr int kLastDirectionCode = 5;
bool MeasuresBackward(int code) { return code == 2 || code == 5; }


// The outline vertex at the far end of the span that a notch anchored at
// `anchor` is measured on: for codes 3 and 4 the next main vertex, for 5 the
// previous one; for 0 and 1 the next corner (kind 0 or 3), for 2 the previous
// corner, or the next (previous) main vertex when the outline has no other
// corner.
CVertexNode* SpanEnd(const CPieceItem& outline, CVertexNode* anchor, int code) {
  const bool backward = MeasuresBackward(code);
  auto step = [&](CVertexNode* node) { return backward ? outline.PrevMainVertex(node) : outline.NextMainVertex(node); };
  if (code >= 3) return step(anchor);
  CVertexNode* node = step(anchor);
  for (int32_t i = 0; node && node != anchor && i < outline.VertexCount; ++i, node = step(node)) {
    if (node->IsKey()) return node;
  }
  return step(anchor);
}

// The place of a main vertex among the outline's main vertices from the
// first one, or -1 when it is not one of them.
int32_t MainVertexIndex(const CPieceItem& outline, const CVertexNode* vertex) {
  CVertexNode* const start = FirstMainVertex(outline);
  CVertexNode* node = start;
  for (int32_t i = 0; node && i < outline.VertexCount; ++i) {
    if (node == vertex) return i;
    node = outline.NextMainVertex(node);
    if (node == start) break;
  }
  return -1;
}

CVertexNode* MainVertexAt(const CPieceItem& outline, int32_t index) {
  CVertexNode* const start = FirstMainVertex(outline);
  CVertexNode* node = start;
  for (int32_t i = 0; node && i < index; ++i) {
    node = outline.NextMainVertex(node);
    if (node == start) return nullptr;
  }
  return node;
}

// The vertex of `to` that corresponds to `vertex` of `from`: at the same
// position, or, with `byPlace`, at the same place among the main vertices.
CVertexNode* CorrespondingVertex(const CPieceItem& from, const CPieceItem& to, CVertexNode* vertex, bool byPlace) {
  if (!vertex) return nullptr;
  if (!byPlace) return to.FindVertex(vertex->X, vertex->Y);
  const int32_t index = MainVertexIndex(from, vertex);
  return index < 0 ? nullptr : MainVertexAt(to, index);
}

}  // namespace

void CPieceNotchItem::NotchMarkGeometry(int tipX, int tipY, int baseX, int baseY, int width, CPoint corners[4]) {
  const double dx = static_cast<double>(tipX) - baseX;
  const double dy = static_cast<double>(tipY) - baseY;
  const double length = std::sqrt(dx * dx + dy * dy);
  // Half the width across the segment; a notch without length has no
  // direction to stand across, so all four corners fall on its point.
  double hx = 0;
  double hy = 0;
  if (length > 0) {
    hx = RoundToInt(dx * width / 2 / length);
    hy = RoundToInt(dy * width / 2 / length);
  }
  const double leftX = baseX - hy;
  const double leftY = baseY + hx;
  const double rightX = baseX + hy;
  const double rightY = baseY - hx;
  corners[0] = CPoint(RoundToInt(rightX + dx), RoundToInt(rightY + dy));
  corners[1] = CPoint(RoundToInt(leftX + dx), RoundToInt(leftY + dy));
  corners[2] = CPoint(RoundToInt(leftX), RoundToInt(leftY));
  corners[3] = CPoint(RoundToInt(rightX), RoundToInt(rightY));
}

void CPieceNotchItem::DrawNotchMark(CDC* dc, uint32_t shape, const CPoint corners[4], double unitsPerPixel,
                                    int originX, int originY) {
  if (!dc) return;
  const CPoint rightTip = corners[0];
  const CPoint leftTip = corners[1];
  const CPoint leftBase = corners[2];
  const CPoint rightBase = corners[3];
  auto screen = [&](CPoint p) { return ScreenPoint(p.x, p.y, unitsPerPixel, originX, originY); };
  const CPoint tipMid = screen(Midpoint(leftTip, rightTip));
  const CPoint baseMid = screen(Midpoint(leftBase, rightBase));
  switch (shape & kNotchShapeMask) {
    case kNotchShapeT:
      DrawFigure(dc, {tipMid, baseMid});
      DrawFigure(dc, {screen(leftBase), screen(rightBase)});
      break;
    case kNotchShapeV:
      DrawFigure(dc, {screen(leftTip), baseMid, screen(rightTip)});
      break;
    case kNotchShapeU: {
      const CPoint sLeftTip = screen(leftTip);
      const CPoint sRightTip = screen(rightTip);
      const int length = RoundToInt(Distance(tipMid, baseMid));
      const int r = RoundToInt(Distance(sLeftTip, sRightTip) / 2.0);
      if (r < 2) {
        // Too narrow on screen to show a round end.
        DrawFigure(dc, {tipMid, baseMid});
      } else if (length < r) {
        // Shallower than its half width: one arc through the tip corners and
        // the inner end.
        int cx = 0;
        int cy = 0;
        int radius = 0;
        if (CircleThroughPoints(sLeftTip.x, sLeftTip.y, baseMid.x, baseMid.y, sRightTip.x, sRightTip.y, &cx, &cy,
                                &radius)) {
          const int rr = radius < 0 ? -radius : radius;
          dc->Arc(OffsetPixel(cx, -rr), OffsetPixel(cy, -rr), OffsetPixel(cx, rr), OffsetPixel(cy, rr), sRightTip.x,
                  sRightTip.y, sLeftTip.x, sLeftTip.y);
        } else {
          DrawFigure(dc, {sLeftTip, baseMid, sRightTip});
        }
      } else {
        // Two sides shortened by half the width and a half circle between
        // their ends, bulging towards the inner end.
        const double side = Distance(leftTip, leftBase);
        const double half = Distance(leftTip, rightTip) / 2.0;
        const double ux = side > 0 ? (static_cast<double>(leftTip.x) - leftBase.x) / side * half : 0.0;
        const double uy = side > 0 ? (static_cast<double>(leftTip.y) - leftBase.y) / side * half : 0.0;
        const CPoint rightEnd = screen(CPoint(RoundToInt(rightBase.x + ux), RoundToInt(rightBase.y + uy)));
        const CPoint leftEnd = screen(CPoint(RoundToInt(leftBase.x + ux), RoundToInt(leftBase.y + uy)));
        DrawFigure(dc, {sRightTip, rightEnd});
        DrawFigure(dc, {sLeftTip, leftEnd});
        const CPoint centre = Midpoint(rightEnd, leftEnd);
        dc->Arc(OffsetPixel(centre.x, -r), OffsetPixel(centre.y, -r), OffsetPixel(centre.x, r),
                OffsetPixel(centre.y, r), rightEnd.x, rightEnd.y, leftEnd.x, leftEnd.y);
      }
      break;
    }
    case kNotchShapeSlit:
      DrawFigure(dc, {tipMid, baseMid});
      break;
    case kNotchShapeBox:
      DrawFigure(dc, {screen(leftTip), screen(leftBase), screen(rightBase), screen(rightTip)});
      break;
    default:
      break;
  }
}

void CPieceNotchItem::DrawNotchEachSize(CDC* dc, double unitsPerPixel, int originX, int originY,
                                        CVertexNode* point, int penStyle) const {
  NotchNodes notch;
  if (!dc || !ReadNotch(*this, point, false, &notch)) return;
  const uint32_t shape = notch.inners.front()->Flags;
  const int width = notch.width->X;
  DrawEachSize(dc, penStyle, false, [&](CDC* d, const CSizeRecord&, int index) {
    if (index < 0 || static_cast<size_t>(index) >= notch.points.size()) return;
    const CVertexNode* tip = notch.points[static_cast<size_t>(index)];
    const CVertexNode* base = notch.inners[static_cast<size_t>(index)];
    CPoint corners[4];
    NotchMarkGeometry(tip->X, tip->Y, base->X, base->Y, width, corners);
    DrawNotchMark(d, shape, corners, unitsPerPixel, originX, originY);
  });
}

void CPieceNotchItem::DrawNotches(CDC* dc, double unitsPerPixel, int originX, int originY, int penStyle) const {
  for (CVertexNode* point : NotchPoints(*this)) {
    DrawNotchEachSize(dc, unitsPerPixel, originX, originY, point, penStyle);
  }
}

int32_t CPieceItem::TrimAgainstOutline(CPieceItem* outline) {
  auto* curve = dynamic_cast<CPieceCurveItem*>(outline);
  if (!curve || !VertexHead || VertexCount <= 0) return 0;
  int32_t removed = 0;
  bool removedInPass = true;
  while (removedInPass && VertexHead) {
    removedInPass = false;
    for (CVertexNode* point : NotchPoints(*this)) {
      NotchNodes notch;
      bool onOutline = ReadNotch(*this, point, true, &notch) && outline->FindVertex(notch.anchor->X, notch.anchor->Y);
      if (onOutline) {
        CVertexNode* hit = nullptr;
        int footX = 0;
        int footY = 0;
        onOutline = curve->HitTestMainVertex(point->X, point->Y, kNotchOnOutlineTolerance, &hit, &footX, &footY) != 0;
      }
      if (onOutline) continue;
      RemoveNotch(this, point);
      if (g_pWorkWindow) g_pWorkWindow->Redraw();
      ++removed;
      removedInPass = true;
      break;  // the ring changed: start again from the head
    }
  }
  return removed;
}

void CPieceItem::UpdateNotchesFromOutline(CPieceItem* oldOutline, CPieceItem* newOutline, int lookup) {
  auto* before = dynamic_cast<CPieceItem0*>(oldOutline);
  auto* after = dynamic_cast<CPieceItem0*>(newOutline);
  if (!before || !after) return;
  // A notch that is not on the old outline cannot be measured on it.
  TrimAgainstOutline(before);
  const bool byPlace = lookup != 0;
  for (CVertexNode* point : NotchPoints(*this)) {
    NotchNodes notch;
    if (!ReadNotch(*this, point, true, &notch)) continue;
    const int code = static_cast<int>((notch.anchor->Flags >> 8) & 0xFF);
    if (code > kLastDirectionCode) continue;
    CVertexNode* const oldAnchor = before->FindVertex(notch.anchor->X, notch.anchor->Y);
    if (!oldAnchor) continue;
    CVertexNode* const oldEnd = SpanEnd(*before, oldAnchor, code);
    CVertexNode* const newAnchor = CorrespondingVertex(*before, *after, oldAnchor, byPlace);
    if (!newAnchor) continue;
    CVertexNode* newEnd = CorrespondingVertex(*before, *after, oldEnd, byPlace);
    // The old span's end may be gone from the new outline (a span removed):
    // measure to where the span ends now.
    if (!newEnd) newEnd = SpanEnd(*after, newAnchor, code);
    CVertexNode* const from = MeasuresBackward(code) ? newEnd : newAnchor;
    CVertexNode* const to = MeasuresBackward(code) ? newAnchor : newEnd;
    const int angle = notch.width->Y;
    const int placement = code << 8;

    CSizeRecord* size = g_Style.SizeRing;
    for (size_t s = 0; s < notch.points.size() && size; ++s, size = size->Next) {
      const int index = static_cast<int>(s);
      CVertexNode* const tip = notch.points[s];
      CVertexNode* const inner = notch.inners[s];
      CVertexNode* const anchorOfSize = GroupNode(oldAnchor, index);
      if (!anchorOfSize) continue;
      CVertexNode* const start = before->FindCurveVertex(size, anchorOfSize->X, anchorOfSize->Y);
      CVertexNode* nearest = nullptr;
      before->NearestCurvePoint(size, tip->X, tip->Y, &nearest);
      if (!start || !nearest) continue;
      int d1 = 0;
      int d2 = 0;
      int total = -1;
      before->MeasureSpan(tip->X, tip->Y, nearest, start, placement, &d1, &d2, &total);
      if (total < 0) continue;  // the span has no end on the old curve
      const int length = RoundToInt(Distance(At(tip), At(inner)));
      // The new place exists only where both span ends have a node on the
      // new outline's curve of this size.
      CVertexNode* const fromOfSize = GroupNode(from, index);
      CVertexNode* const toOfSize = GroupNode(to, index);
      if (!fromOfSize || !toOfSize) continue;
      CVertexNode* const curveFrom = after->MapToCurveVertex(size, fromOfSize);
      if (!curveFrom) continue;
      CVertexNode* const curveTo = after->MapToCurveVertex(size, toOfSize);
      if (!curveTo) continue;
      int x = tip->X;
      int y = tip->Y;
      // The span's ends are the nodes just mapped when the size is found at
      // this place of the size ring (it always is in a sound style).
      if (g_Style.IndexOfSize(size) == index) {
        after->PointBetweenCurveNodes(d1, d2, placement, curveFrom, curveTo, &x, &y);
      } else {
        after->PointBetweenVertices(d1, d2, placement, from, to, size, &x, &y);
      }
      int innerX = inner->X;
      int innerY = inner->Y;
      after->CalcNotchEndPoint(size, x, y, length, angle, &innerX, &innerY);
      tip->X = x;
      tip->Y = y;
      inner->X = innerX;
      inner->Y = innerY;
    }
    notch.anchor->X = newAnchor->X;
    notch.anchor->Y = newAnchor->Y;
  }
  // Whatever could not be placed on the new outline goes.
  TrimAgainstOutline(after);
}
