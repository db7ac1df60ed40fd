#include "model/items/segment_items.h"

void GradedItemExtent(const CPieceItem&, int, int*, int*, int*, int*) {
  // drawn by the item-drawing work
}

void GradedItemDrawExtent(const CPieceItem&, CSizeRecord*, int*, int*, int*, int*) {
  // drawn by the item-drawing work
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

void CPieceItem7::Draw(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem7::DrawSelected(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem20::Draw(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem20::DrawSelected(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}
