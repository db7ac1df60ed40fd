// The derived cut line (type 12): a closed curve that the derived-item
// rebuild makes from the outline and its corner parameters, one per size.
// It is drawn dotted and hollow, one polygon per visible size in the size's
// colour, and only while derived items are shown; selected it looks the same.
#pragma once

#include "model/items/curve_item.h"

class CPieceItem12 : public CPiecePolylineItem {
 public:
  CPieceItem12(CPieceItem* prev, CPieceItem* next) : CPiecePolylineItem(kItemTypeCutLine, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
