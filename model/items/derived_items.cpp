#include "model/items/derived_items.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/geometry.h"
#include "model/items/fill_items.h"
#include "model/items/marker_items.h"
#include "model/items/notch_items.h"
#include "model/settings.h"
#include "model/style.h"
#include "model/work_area.h"
#include "platform/dc.h"

namespace {

constexpr int kCornerMarkPoints = 4;
constexpr uint32_t kCornerHoleMask = 0xF00;
constexpr uint32_t kCornerHoleFlag = 0x100;
constexpr double kCornerCircleMm = 3.0;  // circle at the corner and about the hole
constexpr double kHoleCrossMm = 5.0;     // half-length of the hole's cross
constexpr double kCornerLegMm = 10.0;    // legs drawn while lines are hidden
constexpr int kMinMarkPixels = 3;        // circles and crosses never shrink below this

double Length(double dx, double dy) { return std::hypot(dx, dy); }

double Distance(const CFlaggedPoint& a, const CFlaggedPoint& b) {
  return Length(static_cast<double>(a.X) - b.X, static_cast<double>(a.Y) - b.Y);
}

CPoint At(const CFlaggedPoint& p) { return CPoint(p.X, p.Y); }

// A millimetre length in device pixels at this zoom, rounded and at least
// kMinMarkPixels.
int MarkPixels(double millimetres, double unitsPerPixel) {
  return std::max(kMinMarkPixels, static_cast<int>(RoundToNearest(millimetres * g_Style.GetScale() / unitsPerPixel)));
}

// A circle of `r` pixels about a device point, left out on the screen when
// the point lies outside the work window.
void CircleAt(CDC* dc, CPoint centre, int r) {
  const CRect box = CircleBox(centre, r);
  DrawEllipseIfVisible(dc, centre.x, centre.y, box.left, box.top, box.right, box.bottom);
}

// The hole of a corner: W on the second leg as far from the corner P1 as P0,
// the bisector point B halfway between P0 and W, and the hole at `distance`
// from P1 toward B. False when the second leg or the bisector has no
// direction (a leg of no length, or legs pointing in opposite directions).
bool CornerHole(const std::vector<CFlaggedPoint>& p, CPoint* hole) {
  const CFlaggedPoint& p0 = p[0];
  const CFlaggedPoint& p1 = p[1];
  const CFlaggedPoint& p2 = p[2];
  const double secondLeg = Distance(p2, p1);
  if (secondLeg == 0.0) return false;
  const double reach = Distance(p0, p1) / secondLeg;
  const double wx = p1.X + (static_cast<double>(p2.X) - p1.X) * reach;
  const double wy = p1.Y + (static_cast<double>(p2.Y) - p1.Y) * reach;
  const CPoint b(RoundToInt((static_cast<double>(p0.X) + RoundToInt(wx)) / 2.0),
                 RoundToInt((static_cast<double>(p0.Y) + RoundToInt(wy)) / 2.0));
  const double bx = static_cast<double>(b.x) - p1.X;
  const double by = static_cast<double>(b.y) - p1.Y;
  const double bisector = Length(bx, by);
  if (bisector == 0.0) return false;
  *hole = CPoint(RoundToInt(p1.X + p[3].X * bx / bisector), RoundToInt(p1.Y + p[3].X * by / bisector));
  return true;
}

// A leg of 10 mm from the corner toward `end`; nothing when `end` lies on
// the corner.
void CornerLeg(CDC* dc, const CFlaggedPoint& corner, const CFlaggedPoint& end, double unitsPerPixel, int originX,
               int originY) {
  const double length = Distance(end, corner);
  if (length == 0.0) return;
  const double k = kCornerLegMm * g_Style.GetScale() / length;
  const CPoint tip(WrapAdd(corner.X, RoundToInt((static_cast<double>(end.X) - corner.X) * k)),
                   WrapAdd(corner.Y, RoundToInt((static_cast<double>(end.Y) - corner.Y) * k)));
  dc->MoveTo(ScreenPoint(corner, unitsPerPixel, originX, originY));
  dc->LineTo(ScreenPoint(tip.x, tip.y, unitsPerPixel, originX, originY));
}

void DrawCornerOfSize(CDC* dc, const std::vector<CFlaggedPoint>& p, bool withHole, double unitsPerPixel,
                      int originX, int originY, int circle, int cross) {
  const CPoint corner = ScreenPoint(p[1], unitsPerPixel, originX, originY);
  if (g_DrawFlagLines) {
    const CPoint end = ScreenPoint(p[2], unitsPerPixel, originX, originY);
    dc->MoveTo(ScreenPoint(p[0], unitsPerPixel, originX, originY));
    dc->LineTo(corner);
    dc->LineTo(end);
    dc->LineTo(end.x, OffsetPixel(end.y, 1));
    CircleAt(dc, corner, circle);
  } else {
    CircleAt(dc, corner, circle);
    CornerLeg(dc, p[1], p[0], unitsPerPixel, originX, originY);
    CornerLeg(dc, p[1], p[2], unitsPerPixel, originX, originY);
    const uint32_t packed = static_cast<uint32_t>(p[3].Y);
    const int stem = static_cast<int>(packed & 0xFFFF);
    const int bar = static_cast<int16_t>(packed >> 16);
    DrawSegmentEndMark(dc, At(p[0]), At(p[1]), stem, bar, unitsPerPixel, originX, originY);
    DrawSegmentEndMark(dc, At(p[2]), At(p[1]), stem, bar, unitsPerPixel, originX, originY);
  }
  CPoint hole;
  if (!withHole || !CornerHole(p, &hole)) return;
  const CPoint h = ScreenPoint(hole.x, hole.y, unitsPerPixel, originX, originY);
  CircleAt(dc, h, circle);
  dc->MoveTo(OffsetPixel(h.x, -cross), h.y);
  dc->LineTo(OffsetPixel(h.x, int64_t{cross} + 1), h.y);
  dc->MoveTo(h.x, OffsetPixel(h.y, -cross));
  dc->LineTo(h.x, OffsetPixel(h.y, int64_t{cross} + 1));
}

}  // namespace

void DrawCornerMark(const CPieceItem& item, CDC* dc, double unitsPerPixel, int originX, int originY) {
  if (!dc) return;
  const NullBrushScope hollow(dc);
  const ItemSizePoints sizes(item);
  if (sizes.Count() != kCornerMarkPoints) return;
  const int circle = MarkPixels(kCornerCircleMm, unitsPerPixel);
  const int cross = MarkPixels(kHoleCrossMm, unitsPerPixel);
  const bool withHole = (sizes.Points(0)[0].Flags & kCornerHoleMask) == kCornerHoleFlag;
  CPieceItem::DrawEachSize(dc, PS_DASH, false, [&](CDC* d, const CSizeRecord&, int index) {
    DrawCornerOfSize(d, sizes.Points(index), withHole, unitsPerPixel, originX, originY, circle, cross);
  });
}

void CPieceItem21::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!g_DrawFlagDerivedItems) return;
  DrawCurveRings(dc, unitsPerPixel, originX, originY, PS_DOT, TRUE, FALSE, FALSE);
}

void CPieceItem21::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!g_DrawFlagType21Marks || !g_DrawFlagDerivedItems) return;
  DrawCurveRings(dc, unitsPerPixel, originX, originY, PS_DOT, TRUE, g_DrawFlagKeyVertexMarks ? TRUE : FALSE,
                 g_DrawFlagCurveVertexMarks ? TRUE : FALSE);
}

void CPieceItem22::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!g_DrawFlagDerivedItems) return;
  DrawTwoPointLine(*this, dc, unitsPerPixel, originX, originY, PS_DOT, true, false);
}

void CPieceItem22::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!g_DrawFlagFill22to25) return;
  DrawTwoPointLine(*this, dc, unitsPerPixel, originX, originY, PS_DOT, true, true);
}

void CPieceItem23::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!g_DrawFlagDerivedItems) return;
  DrawNotchItem(*this, dc, unitsPerPixel, originX, originY, PS_DOT);
}

void CPieceItem23::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  if (g_DrawFlagFill22to25) Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem24::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!g_DrawFlagDerivedItems) return;
  DrawCornerMark(*this, dc, unitsPerPixel, originX, originY);
}

void CPieceItem24::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  if (g_DrawFlagFill22to25) Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem25::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!dc || !g_DrawFlagDerivedItems) return;
  const ItemSizePoints sizes(*this);
  if (sizes.Count() < 1) return;
  const COLORREF oldBk = dc->SetBkColor(0xFFFFFF);
  // Tick sizes from the notch dimensions (tenths of a millimetre), truncated
  // to model units.
  const double scale = g_Style.GetScale();
  const int stem = TruncateToInt(scale * g_NotchSizeB / 10.0);
  const int bar = TruncateToInt(scale * g_NotchSizeA / 10.0);
  CPieceItem::DrawEachSize(dc, PS_DASH, false, [&](CDC* d, const CSizeRecord&, int index) {
    const std::vector<CFlaggedPoint>& points = sizes.Points(index);
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
      const CFlaggedPoint& p = points[i];
      const CFlaggedPoint& q = points[i + 1];
      if (g_DrawFlagLines) {
        d->MoveTo(ScreenPoint(p, unitsPerPixel, originX, originY));
        d->LineTo(ScreenPoint(q, unitsPerPixel, originX, originY));
      } else {
        DrawSegmentEndMark(d, At(p), At(q), stem, bar, unitsPerPixel, originX, originY);
        DrawSegmentEndMark(d, At(q), At(p), stem, bar, unitsPerPixel, originX, originY);
      }
    }
  });
  dc->SetBkColor(oldBk);
}

void CPieceItem25::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  if (g_DrawFlagFill22to25) Draw(dc, unitsPerPixel, originX, originY, piece);
}
