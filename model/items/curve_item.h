// The curve items: the piece outline and the other closed and open lines of a
// piece. Besides the item's own ring of graded vertices they keep one derived
// ring per size, the curve of that size: the size's vertices with the points
// of a cubic spline inserted wherever the vertices are smooth. Drawing,
// extents, hit tests and notch placement read the curve rings only, so a
// change of the vertex ring shows there after SmoothCurves has run again.
//
// Family: CPiecePolylineItem (closed curves) is the base of types 0, 8, 12, 14
// and 21; CPieceOpenLineItem (open curves) of types 9 and 15.
//
// Ownership: the item owns its curve rings and every node in them; they are
// rebuilt from scratch, never shared.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/piece_item.h"
#include "model/vertex_node.h"

class CPieceCurveItem : public CPieceItem {
 public:
  CPieceCurveItem(int32_t type, CPieceItem* prev, CPieceItem* next);
  ~CPieceCurveItem() override;

  CVertexNode* NextVertexSkipCopies(CVertexNode* node) const override;
  CVertexNode* PrevVertexSkipCopies(CVertexNode* node) const override;
  // Extent of that size's curve ring; of the first size's (all = 0) or of
  // every visible size's curve.
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;

  // First node of that size's curve ring at (x, y) (and of that kind).
  virtual CVertexNode* FindCurveVertexWithKind(CSizeRecord* size, int32_t x, int32_t y, int kind) const;
  virtual CVertexNode* FindCurveVertex(CSizeRecord* size, int32_t x, int32_t y) const;
  // The curve node of a vertex's node of that size, and back.
  virtual CVertexNode* MapToCurveVertex(CSizeRecord* size, CVertexNode* node) const;
  virtual CVertexNode* MapToMainVertex(CSizeRecord* size, CVertexNode* curveNode) const;
  // The key vertex after (before) a curve node, as a main vertex.
  virtual CVertexNode* NextKeyVertexOnCurve(CSizeRecord* size, CVertexNode* curveNode) const;
  virtual CVertexNode* PrevKeyVertexOnCurve(CSizeRecord* size, CVertexNode* curveNode) const;
  // Makes one curve ring per size of the style from the main vertices (the
  // node of size s of each, with the main vertex's flags word), without
  // spline points. No rings when the style has no size.
  virtual void BuildCurveRings();
  // Rebuilds the curve rings and inserts the spline points.
  virtual void SmoothCurves();
  // Node count and head of that size's curve ring; 0 and null when the rings
  // are not built or the size is not one of them.
  virtual int32_t GetCurveCount(CSizeRecord* size) const;
  virtual CVertexNode* GetCurveHead(CSizeRecord* size) const;

  // Nearest point of that size's curve; hit test within `tolerance`
  // millimetres; the same on the first size mapped back to a main vertex.
  // Closed and open curves differ (CPiecePolylineItem, CPieceOpenLineItem).
  virtual void NearestCurvePoint(CSizeRecord* size, int32_t x, int32_t y, CVertexNode** node) const;
  virtual BOOL HitTest(CSizeRecord* size, int32_t x, int32_t y, double tolerance, CVertexNode** node,
                       int* footX, int* footY) const;
  virtual BOOL HitTestMainVertex(int32_t x, int32_t y, double tolerance, CVertexNode** node, int* footX,
                                 int* footY) const;

  // The (x, y) of that size's curve ring from its head, in ring order; empty
  // when the rings are not built or the size is not one of them.
  std::vector<CPoint> GetCurvePoints(CSizeRecord* size) const;
  // The curve ring of a size index, or null when not built or out of range.
  CVertexRing* CurveRingAt(int sizeIndex) const;
  // Frees the curve rings.
  void DeleteCurveRings();

  // One ring per size in size-ring order, CurveRingCount of them; null until
  // built. The count is the number allocated, which stays right even when the
  // style's number of sizes changes later.
  std::unique_ptr<CVertexRing[]> CurveRings;
  int32_t CurveRingCount = 0;
};

// Closed curves: types 0, 8, 12, 14 and 21.
class CPiecePolylineItem : public CPieceCurveItem {
 public:
  CPiecePolylineItem(int32_t type, CPieceItem* prev, CPieceItem* next) : CPieceCurveItem(type, prev, next) {}

  void NearestCurvePoint(CSizeRecord* size, int32_t x, int32_t y, CVertexNode** node) const override;
  BOOL HitTest(CSizeRecord* size, int32_t x, int32_t y, double tolerance, CVertexNode** node, int* footX,
               int* footY) const override;
  BOOL HitTestMainVertex(int32_t x, int32_t y, double tolerance, CVertexNode** node, int* footX,
                         int* footY) const override;
};

// Open curves: types 9 and 15. The walk over segments stops at the last node.
class CPieceOpenLineItem : public CPieceCurveItem {
 public:
  CPieceOpenLineItem(int32_t type, CPieceItem* prev, CPieceItem* next) : CPieceCurveItem(type, prev, next) {}

  void NearestCurvePoint(CSizeRecord* size, int32_t x, int32_t y, CVertexNode** node) const override;
  BOOL HitTest(CSizeRecord* size, int32_t x, int32_t y, double tolerance, CVertexNode** node, int* footX,
               int* footY) const override;
  BOOL HitTestMainVertex(int32_t x, int32_t y, double tolerance, CVertexNode** node, int* footX,
                         int* footY) const override;
};
