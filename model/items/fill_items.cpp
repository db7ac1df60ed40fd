#include "model/items/fill_items.h"

#include "model/items/marker_items.h"
#include "model/settings.h"
#include "platform/dc.h"

void DrawTwoPointLine(const CPieceItem& item, CDC* dc, double unitsPerPixel, int originX, int originY,
                      int penStyle, bool withBrush, bool endSquare) {
  const ItemSizePoints sizes(item);
  if (sizes.Count() != 2) return;
  CPieceItem::DrawEachSize(dc, penStyle, withBrush, [&](CDC* d, const CSizeRecord&, int index) {
    const std::vector<CFlaggedPoint>& points = sizes.Points(index);
    const CPoint start = ScreenPoint(points[0], unitsPerPixel, originX, originY);
    const CPoint end = ScreenPoint(points[1], unitsPerPixel, originX, originY);
    d->MoveTo(start);
    d->LineTo(end);
    if (endSquare) {
      d->Rectangle(OffsetPixel(end.x, -2), OffsetPixel(end.y, -2), OffsetPixel(end.x, 3), OffsetPixel(end.y, 3));
    }
  });
}

void CPieceItem5::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawTwoPointLine(*this, dc, unitsPerPixel, originX, originY, PS_SOLID, false, false);
}

void CPieceItem5::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawTwoPointLine(*this, dc, unitsPerPixel, originX, originY, PS_SOLID, true, true);
}

void CPieceItem17::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!g_DrawFlagDerivedItems) return;
  DrawTwoPointLine(*this, dc, unitsPerPixel, originX, originY, PS_DOT, true, false);
}

void CPieceItem17::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawTwoPointLine(*this, dc, unitsPerPixel, originX, originY, PS_DOT, true, true);
}
