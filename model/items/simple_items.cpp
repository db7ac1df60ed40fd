#include "model/items/simple_items.h"

#include <algorithm>
#include <cmath>

#include "model/geometry.h"
#include "model/items/marker_items.h"
#include "model/settings.h"
#include "model/style.h"
#include "model/work_area.h"
#include "platform/dc.h"
#include "design/geometry/measure.h"

namespace {

constexpr int kMinCornerPixels = 3;    // the apex circle and hole cross never shrink below this
constexpr double kCircleMm = 3.0;      // apex and hole circle radius
constexpr double kCrossMm = 5.0;       // hole cross half-length
constexpr double kShortLegMm = 10.0;   // legs drawn while lines are hidden

// The circle radius and the cross half-length in pixels at one zoom.
struct CornerPixels {
  int circle;
  int cross;
};

CornerPixels CornerSizes(double unitsPerPixel) {
  const double scale = g_Style.GetScale();
  return {std::max(kMinCornerPixels, RoundToNearest(kCircleMm * scale / unitsPerPixel)),
          std::max(kMinCornerPixels, RoundToNearest(kCrossMm * scale / unitsPerPixel))};
}

// A vertex mark circle about a device point, left out on the screen when the
// point lies outside the work window.
void MarkCircle(CDC* dc, CPoint centre, int r) {
  const CRect box = CircleBox(centre, r);
  DrawEllipseIfVisible(dc, centre.x, centre.y, box.left, box.top, box.right, box.bottom);
}

// The legs P0 -> P1 -> P2 (with P2's pixel) and the circle at the apex.
void DrawFullLegs(CDC* dc, const std::vector<CFlaggedPoint>& p, double unitsPerPixel, int originX, int originY,
                  const CornerPixels& px) {
  const CPoint apex = ScreenPoint(p[1], unitsPerPixel, originX, originY);
  const CPoint end = ScreenPoint(p[2], unitsPerPixel, originX, originY);
  dc->MoveTo(ScreenPoint(p[0], unitsPerPixel, originX, originY));
  dc->LineTo(apex);
  dc->LineTo(end);
  dc->LineTo(end.x, OffsetPixel(end.y, 1));
  MarkCircle(dc, apex, px.circle);
}

// The drill hole of corner P0, P1, P2 at distance `distance` from the apex P1
// on the bisector: Q on the second leg as far from the apex as P0, the
// bisector point M halfway between P0 and Q, the hole at `distance` from P1
// toward M. False when the second leg or the bisector has no direction.
bool HoleCentre(const std::vector<CFlaggedPoint>& p, CFlaggedPoint* hole) {
  const CFlaggedPoint& p0 = p[0];
  const CFlaggedPoint& p1 = p[1];
  const CFlaggedPoint& p2 = p[2];
  const double secondLeg = Distance(p2, p1);
  if (secondLeg == 0.0) return false;
  const double reach = Distance(p0, p1) / secondLeg;
  CFlaggedPoint q;
  q.X = RoundToInt(p1.X + (static_cast<double>(p2.X) - p1.X) * reach);
  q.Y = RoundToInt(p1.Y + (static_cast<double>(p2.Y) - p1.Y) * reach);
  CFlaggedPoint m;
  m.X = RoundToInt((static_cast<double>(p0.X) + q.X) / 2.0);
  m.Y = RoundToInt((static_cast<double>(p0.Y) + q.Y) / 2.0);
  const double bisector = Distance(m, p1);
  if (bisector == 0.0) return false;
  const double along = p[3].X / bisector;
  hole->X = RoundToInt(p1.X + (static_cast<double>(m.X) - p1.X) * along);
  hole->Y = RoundToInt(p1.Y + (static_cast<double>(m.Y) - p1.Y) * along);
  return true;
}

// The drill hole mark: a circle and a cross about the hole.
void DrawHole(CDC* dc, const std::vector<CFlaggedPoint>& p, double unitsPerPixel, int originX, int originY,
              const CornerPixels& px) {
  CFlaggedPoint hole;
  if (!HoleCentre(p, &hole)) return;
  const CPoint h = ScreenPoint(hole, unitsPerPixel, originX, originY);
  MarkCircle(dc, h, px.circle);
  dc->MoveTo(OffsetPixel(h.x, -px.cross), h.y);
  dc->LineTo(OffsetPixel(h.x, int64_t{px.cross} + 1), h.y);
  dc->MoveTo(h.x, OffsetPixel(h.y, -px.cross));
  dc->LineTo(h.x, OffsetPixel(h.y, int64_t{px.cross} + 1));
}

bool AsksForHole(const ItemSizePoints& sizes) {
  const std::vector<CFlaggedPoint>& first = sizes.Points(0);
  return !first.empty() && (first[0].Flags & 0xF00) == kCornerHoleCode;
}

// A leg of 10 mm from the apex toward `end`; nothing when `end` is on the
// apex.
void DrawShortLeg(CDC* dc, const CFlaggedPoint& apex, const CFlaggedPoint& end, double unitsPerPixel, int originX,
                  int originY) {
  const double length = Distance(end, apex);
  if (length == 0.0) return;
  const double reach = kShortLegMm * g_Style.GetScale() / length;
  CFlaggedPoint tip;
  tip.X = WrapAdd(apex.X, RoundToInt((static_cast<double>(end.X) - apex.X) * reach));
  tip.Y = WrapAdd(apex.Y, RoundToInt((static_cast<double>(end.Y) - apex.Y) * reach));
  dc->MoveTo(ScreenPoint(apex, unitsPerPixel, originX, originY));
  dc->LineTo(ScreenPoint(tip, unitsPerPixel, originX, originY));
}

// The corner mark's legs while lines are hidden: the apex circle, the two
// 10 mm legs and an end mark at each leg end pointing to the apex.
void DrawShortLegs(CDC* dc, const std::vector<CFlaggedPoint>& p, double unitsPerPixel, int originX, int originY,
                   const CornerPixels& px) {
  MarkCircle(dc, ScreenPoint(p[1], unitsPerPixel, originX, originY), px.circle);
  DrawShortLeg(dc, p[1], p[0], unitsPerPixel, originX, originY);
  DrawShortLeg(dc, p[1], p[2], unitsPerPixel, originX, originY);
  const uint32_t packed = static_cast<uint32_t>(p[3].Y);
  const int stub = static_cast<int>(packed & 0xFFFF);
  const int bar = static_cast<int16_t>(packed >> 16);
  const CPoint apex(p[1].X, p[1].Y);
  DrawSegmentEndMark(dc, CPoint(p[0].X, p[0].Y), apex, stub, bar, unitsPerPixel, originX, originY);
  DrawSegmentEndMark(dc, CPoint(p[2].X, p[2].Y), apex, stub, bar, unitsPerPixel, originX, originY);
}

constexpr int kCornerPoints = 4;

}  // namespace

void DrawCornerEachSize(const CPieceItem& item, CDC* dc, double unitsPerPixel, int originX, int originY,
                        bool fullLegs) {
  if (!dc) return;
  const NullBrushScope hollow(dc);
  const ItemSizePoints sizes(item);
  if (sizes.Count() != kCornerPoints) return;
  const CornerPixels px = CornerSizes(unitsPerPixel);
  const bool hole = AsksForHole(sizes);
  CPieceItem::DrawEachSize(dc, PS_DASH, false, [&](CDC* d, const CSizeRecord&, int index) {
    const std::vector<CFlaggedPoint>& p = sizes.Points(index);
    if (fullLegs) {
      DrawFullLegs(d, p, unitsPerPixel, originX, originY, px);
    } else {
      DrawShortLegs(d, p, unitsPerPixel, originX, originY, px);
    }
    if (hole) DrawHole(d, p, unitsPerPixel, originX, originY, px);
  });
}

void CPieceItem6::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawCornerEachSize(*this, dc, unitsPerPixel, originX, originY, true);
}

void CPieceItem6::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem6::MoveLegEnd(CVertexNode* source, CVertexNode* leg) {
  if (!source || !leg || !VertexHead) return;
  CVertexNode* first = nullptr;
  CVertexNode* apex = NextMainVertex(leg);
  CVertexNode* second = nullptr;
  if (apex->Kind() == kVShapeApexKind) {
    first = leg;
    second = NextMainVertex(apex);
  } else {
    second = leg;
    apex = PrevMainVertex(leg);
    first = PrevMainVertex(apex);
  }
  auto middle = [](int32_t a, int32_t b) { return RoundToInt((static_cast<double>(a) + b) / 2.0); };
  for (int s = 0; s < g_Style.SizeCount; ++s) {
    const int32_t oldX = middle(first->X, second->X);
    const int32_t oldY = middle(first->Y, second->Y);
    leg->X = source->X;
    leg->Y = source->Y;
    apex->X = WrapAdd(apex->X, WrapSub(middle(first->X, second->X), oldX));
    apex->Y = WrapAdd(apex->Y, WrapSub(middle(first->Y, second->Y), oldY));
    source = source->Next;
    leg = leg->Next;
    first = first->Next;
    second = second->Next;
    apex = apex->Next;
  }
}

void CPieceItem19::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!g_DrawFlagDerivedItems) return;
  DrawCornerEachSize(*this, dc, unitsPerPixel, originX, originY, g_DrawFlagLines != 0);
}

void CPieceItem19::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}
