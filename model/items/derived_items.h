// The dotted derived items: closed contour (21), two-point line (22),
// notches (23), corner marks (24) and segment pairs or end ticks (25).
#pragma once

#include "model/items/curve_item.h"
#include "model/items/segment_items.h"

class CPieceItem21 : public CPiecePolylineItem {
 public:
  CPieceItem21(CPieceItem* prev, CPieceItem* next) : CPiecePolylineItem(21, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

class CPieceItem22 : public CPieceFillItem {
 public:
  CPieceItem22(CPieceItem* prev, CPieceItem* next) : CPieceFillItem(22, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

class CPieceItem23 : public CPieceNotchItem {
 public:
  CPieceItem23(CPieceItem* prev, CPieceItem* next) : CPieceNotchItem(23, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

class CPieceItem24 : public CPieceSimpleItem {
 public:
  CPieceItem24(CPieceItem* prev, CPieceItem* next) : CPieceSimpleItem(24, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

// Pairs (P, Q) of graded points; the base's own word is not read.
class CPieceItem25 : public CPieceSegmentItem {
 public:
  CPieceItem25(CPieceItem* prev, CPieceItem* next) : CPieceSegmentItem(25, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
