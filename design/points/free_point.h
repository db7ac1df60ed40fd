// The free points: points that stand by themselves. A free point stores one
// coordinate, the position of the base size and, while every size is
// computed, of every size; with compute-all 0 the other sizes keep positions
// stored for them (the split points of a curve, and the free points of a
// mode-2 design that the file stores per size).
//
// Kind 1 (CFreePoint) is the ordinary free point of a design; the two-point
// lines make their end points of it. Kind 20 (CFreeVertexPoint) is the free
// point a spline curve keeps for each of its vertices; it is not a point of
// the design in its own right. Both have the same record and behaviour, which
// CFreePointBase holds. A free point refers to nothing: no references, no
// formulas, no labels.
#pragma once

#include <cstdint>

#include "design/points/graded_point.h"

class CFreePointBase : public CGradedPoint {
 public:
  // Stores the coordinate and invalidates every size.
  void SetPoint(int32_t x, int32_t y);
  CPoint GetStoredPoint() const { return m_Point; }

  // Reads the record: the base part, the coordinate and, in a design of
  // mode 2 from version 110 on, the compute-all flag with (when it is 0) one
  // position per size, each such size then clean. 0 when the record is cut
  // short; the point is then left as it was.
  BOOL Load(ArchiveReader& archive) override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  CFreePointBase(int32_t kind, CPatternData* owner, uint16_t status, CPoint point);

  // A size that the point computes (every size with compute-all 1, else the
  // base size) is the stored coordinate; a free point is always defined.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  CPoint m_Point;
};

class CFreePoint : public CFreePointBase {
 public:
  // For the loaders: the coordinate is (0, 0) until Load reads it.
  CFreePoint(CPatternData* owner, uint16_t status);
  // A point at (x, y), hidden until its creator sets the state.
  CFreePoint(CPatternData* owner, uint16_t status, int32_t x, int32_t y);
  CFreePoint(CPatternData* owner, uint16_t status, CPoint point);
};

class CFreeVertexPoint : public CFreePointBase {
 public:
  CFreeVertexPoint(CPatternData* owner, uint16_t status);
  CFreeVertexPoint(CPatternData* owner, uint16_t status, int32_t x, int32_t y);
  CFreeVertexPoint(CPatternData* owner, uint16_t status, CPoint point);

  // A curve's vertex, not a point of the design: 0.
  BOOL IsRealPoint() const override;
  // A vertex is picked with its curve, never by itself: 0 without a test.
  // The hit tests and PickPoint still find it.
  BOOL Pick(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
            double* distance) override;
};

// Joins kinds 1 and 20 to the point-kind table; the loader makes them with
// status 0.
void RegisterFreePoints();
