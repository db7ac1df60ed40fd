#include "model/items/cut_line_item.h"

#include "model/settings.h"
#include "platform/dc.h"

void CPieceItem12::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!g_DrawFlagDerivedItems) return;
  DrawCurveRings(dc, unitsPerPixel, originX, originY, PS_DOT, TRUE, FALSE, FALSE);
}

void CPieceItem12::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}
