// The straight line of a design (object kind 2): two construction points it
// passes through (the through points) and the two points between which it is
// drawn (the ends), which are the through points unless the line was given
// other ends. A line may be tied to one other object (its link); the link is
// kept in the root's link slot, so that the container finds the objects that
// lines name as their link.
//
// The line keeps no geometry of its own: every size follows from its
// points. What it refers to, for the loader's count of users, is the through
// points and the ends; the link does not count.
//
// Ownership: the container owns the line and every object it names; the line
// holds plain pointers.
#pragma once

#include <cstdint>

#include "design/core/formula.h"
#include "design/core/graded_object.h"

class CGradedPoint;

class CGradedLine : public CGradedObject {
 public:
  static constexpr int32_t kObjectKind = kObjectKindLine;

  // For the loaders: no points, no link, full (the ends are the through
  // points); the references come from Load and ResolveIds.
  CGradedLine(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2);
  // Through points and ends a and b, full.
  CGradedLine(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2, CGradedPoint* a,
              CGradedPoint* b);
  // Through points a and b, the given ends and link; full when the ends are
  // the through points in either order.
  CGradedLine(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2, CGradedPoint* a,
              CGradedPoint* b, CGradedObject* link, CGradedPoint* end1, CGradedPoint* end2);

  // ---- Fields ---------------------------------------------------------------
  void GetThroughRefs(CGradedPoint** a, CGradedPoint** b) const;
  void SetThroughRefs(CGradedPoint* a, CGradedPoint* b);
  // The through points when the line is full, else the stored ends.
  void GetEndRefs(CGradedPoint** a, CGradedPoint** b) const;
  // The stored ends, whatever the full flag says.
  void GetStoredEnds(CGradedPoint** a, CGradedPoint** b) const;
  // Stores the ends; the line is full when they are the through points in
  // either order.
  void SetEnds(CGradedPoint* a, CGradedPoint* b);
  BOOL IsFull() const { return m_Full; }
  void SetFull(BOOL full) { m_Full = full ? TRUE : FALSE; }
  BOOL HasLink() const { return GetLink() != nullptr ? TRUE : FALSE; }
  // Whether the line is tied to `object`; null never matches.
  BOOL IsLinkedTo(const CGradedObject* object) const;
  int32_t GetAttribute1() const { return m_Attribute1; }
  void SetAttribute1(int32_t value) { m_Attribute1 = value; }
  int32_t GetAttribute2() const { return m_Attribute2; }
  void SetAttribute2(int32_t value) { m_Attribute2 = value; }
  // Whether the through points are a and b in either order; null through
  // points never match.
  BOOL IsThrough(const CGradedObject* a, const CGradedObject* b) const;

  // ---- Positions at a size ------------------------------------------------

  // The through points at a size: the first, and the second only when the
  // first was had; 1 when both were. A position not had is what the point
  // handed out (its cached position), (0, 0) for one not asked or missing.
  // The line's flag of that size is cleared in every case.
  BOOL GetThroughPoints(int32_t size, CPoint* p1, CPoint* p2);
  // The same for the ends (GetEndRefs); no flag is touched.
  BOOL GetEndPoints(int32_t size, CPoint* p1, CPoint* p2);
  // As GetThroughPoints and GetEndPoints, but each point computes the size
  // through its CalcPoint; both clear the line's flag of the size.
  BOOL CalcThroughPoints(int32_t size, CPoint* p1, CPoint* p2);
  BOOL CalcEndPoints(int32_t size, CPoint* p1, CPoint* p2);
  // The point at t of the way from `start` (the first through point when it
  // is `start`, else the second) to the other through point; t is not
  // limited to 0..1, so t = 0 and t = 1 give the two points exactly. The
  // result says whether both positions were had; the point is written from
  // the positions GetThroughPoints handed out.
  BOOL PointAtRatio(int32_t size, const CGradedPoint* start, double t, int32_t* x, int32_t* y);
  // The point at distance d from `start` towards the other through point; at
  // or beyond the segment's length, the other through point; a negative d
  // goes back beyond `start`. A line of zero length gives its point for
  // every d. The result and the positions as PointAtRatio.
  BOOL PointAtDistance(int32_t size, const CGradedPoint* start, int32_t d, int32_t* x, int32_t* y);
  BOOL PointAtDistanceFormula(int32_t size, const CGradedPoint* start, const CFormula& distance, int32_t* x,
                              int32_t* y);
  // The rounded length of the segment between the through points
  // (`total`), and the rounded distance from `start` (chosen as in
  // PointAtRatio) to (x, y) (`part`); both 0 when a through point has no
  // position at the size.
  void MeasureAlong(int32_t size, const CGradedPoint* start, int32_t x, int32_t y, int32_t& total, int32_t& part);
  // Whether the object is a reference or an end of the line, or a point
  // that is defined on the line (its UsesLine). A point asked again while
  // its own answer is being found (a cycle in a damaged file) is not.
  BOOL IsRelatedTo(const CGradedObject* object) const;

  // The positions Load read, in record order: through point 1, through
  // point 2, end 1, end 2, link (-1 for none).
  static constexpr int kStoredIdCount = 5;
  int32_t GetStoredId(int which) const { return which >= 0 && which < kStoredIdCount ? m_StoredIds[which] : -1; }

  // ---- Overrides of the graded object -----------------------------------

  // The box of the drawn segment (the ends) at a size: (least x, least y,
  // greatest x + 1, greatest y + 1), so a horizontal segment is 1 high;
  // empty when an end has no position.
  CRect GetBoundRect(int32_t size) const override;
  // Hit test of the segment between the through points at a size; 0 when
  // either has no position.
  BOOL HitTest(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point, double* distance) override;
  // The same on the drawn segment; a hidden line (state 0) is never hit.
  BOOL HitTestIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                      double* distance) override;
  // The line keeps nothing per size: its through points compute every size
  // again, the first, then the second.
  void RecalcAll() override;

  // Empties the list and lists the two through points; 1.
  BOOL GetReferences(CGradedObjectList& references) const override;
  // The through points and the ends (not the link).
  void GetUsedObjects(CGradedObjectList& used) const override;
  // True for a through point or an end; null and the link never match.
  BOOL RefersTo(const CGradedObject* object) const override;
  // Through points and ends resolve as points (any other kind gives none),
  // the link as an object of any kind.
  void ResolveIds() override;
  // Reads the record at the owner's data version: state, status (104),
  // attribute 1 (109), attribute 2 (114, else 1), the through points, the
  // ends (103; below 109 they are the through points, whatever is stored)
  // and the link. Everything is read before anything is kept; 0 when the
  // record is cut short or there is no owner.
  BOOL Load(ArchiveReader& archive) override;

 private:
  int32_t m_Attribute1;
  int32_t m_Attribute2;
  CGradedPoint* m_Through1 = nullptr;
  CGradedPoint* m_Through2 = nullptr;
  CGradedPoint* m_End1 = nullptr;
  CGradedPoint* m_End2 = nullptr;
  BOOL m_Full = TRUE;
  int32_t m_StoredIds[kStoredIdCount] = {-1, -1, -1, -1, -1};
};

// Joins the line to the object-kind table under kind 2; the loader makes it
// with status 0, attribute 1 0 and attribute 2 1.
void RegisterGradedLines();
