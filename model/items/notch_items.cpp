#include "model/items/notch_items.h"

#include "model/items/marker_items.h"
#include "model/settings.h"
#include "platform/dc.h"

void DrawNotchItem(const CPieceNotchItem& item, CDC* dc, double unitsPerPixel, int originX, int originY,
                   int penStyle) {
  if (!dc || !item.VertexHead || item.VertexCount <= 0) return;
  DrawVertexPointNumbers(dc, item, unitsPerPixel, originX, originY);
  item.DrawNotches(dc, unitsPerPixel, originX, originY, penStyle);
}

void CPieceItem13::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawNotchItem(*this, dc, unitsPerPixel, originX, originY, PS_SOLID);
}

void CPieceItem13::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem13::DrawNotch(CDC* dc, double unitsPerPixel, int originX, int originY, CVertexNode* node) const {
  DrawNotchEachSize(dc, unitsPerPixel, originX, originY, node, PS_SOLID);
}

void CPieceItem18::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!g_DrawFlagDerivedItems) return;
  DrawNotchItem(*this, dc, unitsPerPixel, originX, originY, PS_DOT);
}

void CPieceItem18::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem18::DrawNotch(CDC* dc, double unitsPerPixel, int originX, int originY, CVertexNode* node) const {
  DrawNotchEachSize(dc, unitsPerPixel, originX, originY, node, PS_DOT);
}
