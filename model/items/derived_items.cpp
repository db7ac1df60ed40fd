#include "model/items/derived_items.h"

#include <vector>

#include "model/items/fill_items.h"
#include "model/items/marker_items.h"
#include "model/items/notch_items.h"
#include "model/items/simple_items.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/dc.h"

namespace {

CPoint At(const CFlaggedPoint& p) { return CPoint(p.X, p.Y); }

}  // namespace

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
  DrawCornerEachSize(*this, dc, unitsPerPixel, originX, originY, g_DrawFlagLines != 0);
}

void CPieceItem24::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  if (g_DrawFlagFill22to25) Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem25::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!dc || !g_DrawFlagDerivedItems) return;
  const ItemSizePoints sizes(*this);
  if (sizes.Count() < 1) return;
  const COLORREF oldBk = dc->SetBkColor(0xFFFFFF);
  const SegmentEndMarkSizes marks = CurrentSegmentEndMarkSizes();
  CPieceItem::DrawEachSize(dc, PS_DASH, false, [&](CDC* d, const CSizeRecord&, int index) {
    const std::vector<CFlaggedPoint>& points = sizes.Points(index);
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
      const CFlaggedPoint& p = points[i];
      const CFlaggedPoint& q = points[i + 1];
      DrawMarkedSegment(d, At(p), At(q), marks, unitsPerPixel, originX, originY);
    }
  });
  dc->SetBkColor(oldBk);
}

void CPieceItem25::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  if (g_DrawFlagFill22to25) Draw(dc, unitsPerPixel, originX, originY, piece);
}
