#include "model/items/frame_item.h"

#include <cmath>

#include "model/geometry.h"
#include "model/items/marker_items.h"
#include "model/settings.h"
#include "model/style.h"
#include "model/work_area.h"
#include "platform/dc.h"

namespace {
// Points per size: the corners P0 .. P3, the undrawn P4, and P5 and P6 that
// describe the circles on the diagonals P0-P2 and P1-P3.
constexpr int kFramePoints = 7;
constexpr uint32_t kNotchBits = 0xF00;
constexpr uint32_t kCirclePair = 0x100;

// The two circles on the diagonal from `from` to `to`, `circle.X` from
// either end, of radius `circle.Y`, when the circle node says they are there.
void DrawDiagonalCircles(CDC* dc, const CFlaggedPoint& from, const CFlaggedPoint& to, const CFlaggedPoint& circle,
                         double unitsPerPixel, int originX, int originY) {
  if ((circle.Flags & kNotchBits) != kCirclePair) return;
  const double dx = static_cast<double>(to.X) - from.X;
  const double dy = static_cast<double>(to.Y) - from.Y;
  const double length = std::sqrt(dx * dx + dy * dy);
  // A diagonal of no length puts both circles on its one point.
  const double t = length > 0.0 ? circle.X / length : 0.0;
  const int r = RoundToNearest(circle.Y / unitsPerPixel);
  const int32_t ox = TruncateTowardZero(dx * t);
  const int32_t oy = TruncateTowardZero(dy * t);
  const CPoint centres[2] = {{WrapAdd(from.X, ox), WrapAdd(from.Y, oy)}, {WrapSub(to.X, ox), WrapSub(to.Y, oy)}};
  for (const CPoint& c : centres) {
    const CPoint s = ScreenPoint(c.x, c.y, unitsPerPixel, originX, originY);
    const CRect box = CircleBox(s, r);
    DrawEllipseIfVisible(dc, s.x, s.y, box.left, box.top, box.right, box.bottom);
  }
}
}  // namespace

void CPieceItem29::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!dc) return;
  NullBrushScope hollow(dc);
  const ItemSizePoints sizes(*this);
  if (sizes.Count() != kFramePoints) return;
  DrawEachSize(dc, PS_SOLID, false, [&](CDC* d, const CSizeRecord& size, int index) {
    const std::vector<CFlaggedPoint>& p = sizes.Points(index);
    if (p.size() != kFramePoints) return;
    if (g_DrawFlagLines) {
      CPen dash(PS_DASH, 1, size.Color);
      CPen* solid = d->SelectObject(&dash);
      d->MoveTo(ScreenPoint(p[0], unitsPerPixel, originX, originY));
      for (int corner : {1, 2, 3, 0}) d->LineTo(ScreenPoint(p[corner], unitsPerPixel, originX, originY));
      d->SelectObject(solid);
    }
    DrawDiagonalCircles(d, p[0], p[2], p[5], unitsPerPixel, originX, originY);
    DrawDiagonalCircles(d, p[1], p[3], p[6], unitsPerPixel, originX, originY);
  });
}

void CPieceItem29::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem29::GetDrawExtent(CSizeRecord*, int* minX, int* maxX, int* minY, int* maxY) const {
  GetExtent(0, minX, maxX, minY, maxY);
}

// Every position the ring stores for the frame, in all sizes: main vertices
// and their per-size copies; graded, skip and parameter nodes are left out.
void CPieceItem29::GetExtent(int, int* minX, int* maxX, int* minY, int* maxY) const {
  if (!VertexHead) return;
  *minX = *maxX = VertexHead->X;
  *minY = *maxY = VertexHead->Y;
  const CVertexNode* node = VertexHead;
  for (int32_t i = 0; i < VertexCount; ++i, node = node->Next) {
    if (node->Kind() > kVertexKindCopy) continue;
    if (node->X < *minX) *minX = node->X;
    if (node->X > *maxX) *maxX = node->X;
    if (node->Y < *minY) *minY = node->Y;
    if (node->Y > *maxY) *maxY = node->Y;
  }
}
