// The base of the curves of a design (object kind 4) and its two branches.
// A curve runs through, or is built on, construction points; eight curve
// kinds differ in how they are defined (a list of points, three points, a
// centre and points). The base keeps what every kind shares: the curve kind,
// two stored attributes, the part of the curve between a start and an end
// point (the whole curve when `full`), the per-size point lists and their
// flags, and the link object (the root's link, so that the container finds
// the objects a curve is linked to).
//
// Each kind reads its own record; the base offers the common head of the
// record (state, status, attributes) and the ends. Stored references are
// object positions until ResolveIds turns them into pointers: a point field
// takes only a point, the link any object.
//
// What a curve refers to is one list per kind: its defining points (and the
// centre of the centre kinds), then the start and the end. RefersTo and
// GetUsedObjects answer from it; GetReferences lists only the defining points
// and the centre. The link never counts as a use.
#pragma once

#include <cstdint>
#include <vector>

#include "design/core/formula.h"
#include "design/core/graded_object.h"
#include "design/geometry/polyline.h"
#include "design/points/graded_point.h"
#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/win_types.h"

// Curve kinds, as the archive stores them after the object kind. Odd kinds
// are open curves, even kinds closed ones.
inline constexpr int32_t kCurveKindSpline = 1;
inline constexpr int32_t kCurveKindClosedSpline = 2;
inline constexpr int32_t kCurveKindThreePointArc = 3;
inline constexpr int32_t kCurveKindThreePointCircle = 4;
inline constexpr int32_t kCurveKindPolyline = 5;
inline constexpr int32_t kCurveKindClosedPolyline = 6;
inline constexpr int32_t kCurveKindCenterArc = 7;
inline constexpr int32_t kCurveKindCenterCircle = 8;

// Curve records store their second attribute from this data version on;
// older files give it the value 1.
inline constexpr int32_t kFirstVersionWithCurveAttribute2 = 114;
inline constexpr int32_t kDefaultCurveAttribute2 = 1;

class CGradedCurve : public CGradedObject {
 public:
  // A field typed as a curve resolves only to objects of this kind.
  static constexpr int32_t kObjectKind = kObjectKindCurve;

  ~CGradedCurve() override;

  int32_t GetSubtype() const { return m_Subtype; }
  void SetAttribute1(int32_t value) { m_Attribute1 = value; }
  int32_t GetAttribute1() const { return m_Attribute1; }
  void SetAttribute2(int32_t value) { m_Attribute2 = value; }
  int32_t GetAttribute2() const { return m_Attribute2; }
  // 1 for the closed kinds (2, 4, 6, 8), 0 for the open ones.
  BOOL IsClosed() const { return m_Closed; }

  // The points at which the used part of the curve begins and ends (null
  // when none or not resolved).
  void GetEnds(CGradedPoint*& start, CGradedPoint*& end) const {
    start = m_Start;
    end = m_End;
  }
  CGradedPoint* GetStart() const { return m_Start; }
  CGradedPoint* GetEnd() const { return m_End; }
  // 1 when the used part is the whole curve.
  BOOL IsFull() const { return m_Full; }
  BOOL IsEnd(const CGradedObject* object) const { return object && (object == m_Start || object == m_End); }
  // The stored positions of the ends as read (-1 for none).
  int32_t GetStoredStartIndex() const { return m_StoredStart; }
  int32_t GetStoredEndIndex() const { return m_StoredEnd; }

  // The defining points in curve order (through points; the centre kinds
  // their points on the curve without the centre).
  virtual void GetDefiningRefs(CGradedObjectList& refs) const = 0;
  // The first and last defining point; untouched when there is none.
  virtual void GetFirstLastRefs(CGradedPoint*& first, CGradedPoint*& last) const = 0;

  // The link: the object this curve was derived from.
  BOOL HasLink() const { return GetLink() != nullptr; }
  BOOL IsLinkedTo(const CGradedObject* object) const { return object && GetLink() == object; }

  // Post-load fix-ups of the points along a curve ask the order of the stored
  // definition. Whether `index` is the first stored position (0 when nothing
  // is stored); whether `a` is met before `b` walking the stored positions
  // (1 too when neither occurs, 0 when `b` comes first). Kinds without a
  // stored point list answer as with an empty one.
  virtual BOOL IsFirstStoredRef(int32_t index) const;
  virtual BOOL IsStoredRefBefore(int32_t a, int32_t b) const;

  // ---- Geometry per size --------------------------------------------------
  // Every size is computed on demand from the defining points' positions at
  // that size and cached until the size is invalidated. Two caches per size:
  // the whole curve, which a kind rebuilds in GetFullPoints when the size is
  // dirty (the object's flag), and the used part, which the branch cuts from
  // it in GetPoints when the part's own flag is set (SetEnds,
  // InvalidatePoints, every rebuild of the whole curve). A rebuild or cut
  // that fails leaves the cached list empty, never partial or stale. The
  // base computes no shape: the measuring answers below are 0 (or nothing)
  // until a branch or a kind gives one.

  // The used part (start to end) of the curve at a size.
  virtual BOOL GetPoints(int32_t size, PointList& out);
  // The whole curve at a size, in curve order (a closed curve's first point
  // is not repeated at its end).
  virtual BOOL GetFullPoints(int32_t size, PointList& out);
  // The point at `ratio` of the length of the part between a and b, walked
  // forwards (direction non-zero) or backwards (0).
  virtual BOOL PointAtRatioBetween(int32_t size, CGradedPoint* a, CGradedPoint* b, int32_t direction, double ratio,
                                   int32_t* x, int32_t* y);
  // The point at `ratio` of the whole length, walked from `start`.
  virtual BOOL PointAtRatio(int32_t size, CGradedPoint* start, int32_t direction, double ratio, int32_t* x,
                            int32_t* y);
  // The point at a signed length along the curve from `start`.
  virtual BOOL PointAtLength(int32_t size, CGradedPoint* start, int32_t direction, int32_t length, int32_t* x,
                             int32_t* y);
  // PointAtLength with the length a graded value evaluated at the size.
  BOOL PointAtLengthFormula(int32_t size, CGradedPoint* start, int32_t direction, const CFormula& length, int32_t* x,
                            int32_t* y);
  // The rounded length of the part between the positions of a and b.
  virtual int32_t GetSection(int32_t size, CGradedObject* a, CGradedObject* b, int32_t direction);
  // The position at a size of a point the curve owns (a linked point that is
  // its first or last defining point); 0 when it gives none.
  virtual BOOL CalcLinkedPoint(int32_t size, CGradedPoint* point, CPoint& out);
  // Keeps the defining points of the base size, and moves the points the
  // curve owns at the other sizes after that shape.
  virtual void StoreBasePoints();
  virtual BOOL UpdateOwnedPoints();
  // Whether the object is a defining point, an end, or a point defined on
  // this curve (its UsesCurve). The centre of the centre kinds is not a
  // defining point. A point asked again while its own answer is being found
  // (a cycle in a damaged file) is not related.
  virtual BOOL IsRelatedTo(const CGradedObject* object) const;
  // The length of the whole curve (`total`) and of the part between the
  // position of `ref` and (x, y) (`part`), measured as GetSection measures;
  // both 0 when the curve or the point cannot be had at the size. The base
  // writes nothing.
  virtual void MeasureSection(int32_t size, CGradedPoint* ref, int32_t x, int32_t y, int32_t direction,
                              int32_t& total, int32_t& part);
  // Marks the used part of one size, or of every size for -1, to be cut
  // again.
  void InvalidatePoints(int32_t size);

  // Sets the points at which the used part begins and ends; every size's
  // part is cut again. The curve is full when they are its own ends: an open
  // curve's first and last defining point in either order, a closed curve's
  // first point as both.
  virtual void SetEnds(CGradedPoint* start, CGradedPoint* end);

  // The box of the used part at a size: (least x, least y, greatest x + 1,
  // greatest y + 1); empty when the size gives no points.
  CRect GetBoundRect(int32_t size) const override;
  // The box of the used part at the base size grown by one unit on every
  // side (one unit beyond GetBoundRect's), as the last cut of the base size
  // left it; a base size still to be computed or cut is cut first. Empty
  // while the base size gives no points.
  CRect GetBaseBoundRect() const;
  // Every size dirty, then the whole curve of each computed again; the used
  // parts follow on their next GetPoints.
  void RecalcAll() override;

  // The defining points and the centre.
  BOOL GetReferences(CGradedObjectList& references) const override;
  // The defining points, the centre, the start and the end.
  void GetUsedObjects(CGradedObjectList& used) const override;
  BOOL RefersTo(const CGradedObject* object) const override;

  // The per-size lists follow the size table: a size inserted at `index`
  // starts as a copy of the size that was there and must be cut again; an
  // index outside the lists changes none of them.
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;
  // Number of per-size whole lists (the owner's size count).
  int32_t GetSizeListCount() const { return static_cast<int32_t>(m_WholeLists.size()); }
  // Whether the used part of a size must be cut again; 0 for a size outside.
  BOOL IsPartDirty(int32_t size) const;

 protected:
  CGradedCurve(int32_t subtype, CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2,
               BOOL closed);

  // The fields every curve record starts with.
  struct HeadRecord {
    uint32_t state = 1;
    uint16_t status = 0;
    int32_t attribute1 = 0;
    int32_t attribute2 = kDefaultCurveAttribute2;
  };
  // How a kind's head is gated: the spline kinds, which exist in files that
  // predate the status word and the first attribute, read those from the
  // versions that store them; every other kind reads them always.
  enum class HeadGates { kSpline, kAlways };
  // Reads the head; 0 when cut short. Nothing is stored.
  BOOL ReadHead(ArchiveReader& archive, HeadGates gates, HeadRecord& head) const;
  void ApplyHead(const HeadRecord& head);

  // The points of the kind in RefersTo's order without the ends: the
  // defining points, and the centre where the kind has one.
  virtual void GetPointRefs(CGradedObjectList& refs) const = 0;

  // Stores the ends as positions (resolved by ResolveEnds) and the full flag.
  void SetStoredEnds(int32_t start, int32_t end, BOOL full);
  // The ends and the link from their stored positions: the ends as points,
  // the link as any object.
  void ResolveEnds(int32_t linkIndex);

  // The point at `position` of the owner, or null.
  CGradedPoint* ResolvePoint(int32_t position) const;

  // The cached whole list and used part of a size; null for a size outside
  // the lists. A kind rebuilds the whole list of a dirty size into it.
  PointList* WholeListAt(int32_t size);
  PointList* PartListAt(int32_t size);
  // Marks the used part of a size cut (0) or to be cut again (1).
  void SetPartDirty(int32_t size, BOOL dirty);

  // The cache frame of a kind's GetFullPoints: a size outside the lists
  // gives 0 and an empty list; a clean size its cached list with 1 (empty
  // when its rebuild failed); a dirty size is rebuilt by `rebuild`
  // (PointList& -> BOOL, which leaves the list a failed size is to keep),
  // kept, marked clean with its used part to be cut again, and answers the
  // rebuild's result.
  template <class Rebuild>
  BOOL CachedFullPoints(int32_t size, PointList& out, Rebuild&& rebuild) {
    out.clear();
    if (!WholeListAt(size)) return FALSE;
    if (!IsDirty(size)) {
      out = *WholeListAt(size);
      return TRUE;
    }
    PointList rebuilt;
    const BOOL ok = rebuild(rebuilt);
    // The defining points may have asked this curve again while it was
    // rebuilt, and the lists may have changed: the slot is taken only now.
    PointList* cached = WholeListAt(size);
    if (!cached) return FALSE;
    *cached = std::move(rebuilt);
    ClearDirty(size);
    SetPartDirty(size, TRUE);
    out = *cached;
    return ok;
  }

  // The branches' GetPoints: the used part of a size from the cache, the
  // whole curve computed first when the size is dirty and the part cut again
  // when it must be (the whole curve when full, else the section between the
  // positions of the start and the end: along the list for an open curve,
  // forwards round the ring for a closed one). 0 when this call's rebuild or
  // cut failed, with what it left: an empty part when the start or the end
  // has no position at the size or does not lie on the curve. Later calls
  // give the cached part with 1 until the size is invalidated, as points do.
  BOOL GetCachedPart(int32_t size, PointList& out);

 private:
  int32_t m_Subtype;
  int32_t m_Attribute1;
  int32_t m_Attribute2;
  CGradedPoint* m_Start = nullptr;
  CGradedPoint* m_End = nullptr;
  BOOL m_Full = TRUE;
  BOOL m_Closed;
  int32_t m_StoredStart = -1;
  int32_t m_StoredEnd = -1;
  // One entry per size of the owner: the whole curve, its used part, and
  // whether that part must be cut again.
  std::vector<PointList> m_WholeLists;
  std::vector<PointList> m_PartLists;
  std::vector<int32_t> m_PartDirty;
  // The box of the base size's used part, grown by one unit.
  CRect m_BaseRect;
};

// The branches measure along the whole curve of a size (a kind's
// GetFullPoints) and on the points of references at that size. Every answer
// there needs both: a size whose curve is empty (its rebuild failed) or a
// reference without a position gives 0 and writes no point. A point is
// placed on the curve within 5 units: at the vertex it equals, else at the
// nearest place, which becomes a vertex of a working copy.
//
// The direction flag chooses the way along the curve: non-zero forwards
// (from the first point of the list towards the last), 0 backwards. Lengths
// are sums of straight segment lengths.

// The open kinds (1, 3, 5, 7): the curve is a polyline from its first point
// to its last.
class CGradedOpenCurve : public CGradedCurve {
 public:
  // The section of the whole curve from the start's position to the end's.
  BOOL GetPoints(int32_t size, PointList& out) override;
  // Hit test of the whole curve.
  BOOL HitTest(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point, double* distance) override;
  // Hit test of the used part; a hidden curve (state 0) is never hit.
  BOOL HitTestIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                      double* distance) override;
  // The point at `ratio` of the length of the section from a to b (as
  // GetSection takes it, always walked from a); the ratio is held to 0..1.
  BOOL PointAtRatioBetween(int32_t size, CGradedPoint* a, CGradedPoint* b, int32_t direction, double ratio,
                           int32_t* x, int32_t* y) override;
  // The point at `ratio` (held to 0..1) of the whole length. The walk runs
  // from the first point when `start` stands there (unless the curve ends
  // where it begins and the direction is 0), else back from the last.
  BOOL PointAtRatio(int32_t size, CGradedPoint* start, int32_t direction, double ratio, int32_t* x,
                    int32_t* y) override;
  // The point |length| along the curve from where `start` lies: forwards
  // when the direction is non-zero and the length not negative, or the
  // direction 0 and the length negative; backwards otherwise. From the first
  // point the walk goes forwards (on a curve that ends where it begins, as
  // the direction says, from that end). Past the end of the curve, its last
  // point reached.
  BOOL PointAtLength(int32_t size, CGradedPoint* start, int32_t direction, int32_t length, int32_t* x,
                     int32_t* y) override;
  // The rounded length of the section between the positions of a and b; on
  // a curve that ends where it begins, a section from or to that point runs
  // from the first point (direction non-zero) or back from the last. A
  // section that cannot be found (a point off the curve) is the straight
  // line between the two positions. 0 when the curve or a position is
  // missing.
  int32_t GetSection(int32_t size, CGradedObject* a, CGradedObject* b, int32_t direction) override;
  void MeasureSection(int32_t size, CGradedPoint* ref, int32_t x, int32_t y, int32_t direction, int32_t& total,
                      int32_t& part) override;

 protected:
  CGradedOpenCurve(int32_t subtype, CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2)
      : CGradedCurve(subtype, owner, status, attribute1, attribute2, FALSE) {}
};

// The closed kinds (2, 4, 6, 8): the curve is a ring, its last point joined
// back to its first.
class CGradedClosedCurve : public CGradedCurve {
 public:
  // The section forwards round the ring from the start's position to the
  // end's.
  BOOL GetPoints(int32_t size, PointList& out) override;
  // Hit test of the whole ring, its closing segment included.
  BOOL HitTest(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point, double* distance) override;
  // A hidden curve (state 0) is never hit; a full curve is tested as the
  // whole ring, else its used part as an open polyline.
  BOOL HitTestIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                      double* distance) override;
  // The point at `ratio` (held to 0..1) of the length of the section from a
  // to b round the ring (forwards or backwards as the direction says).
  BOOL PointAtRatioBetween(int32_t size, CGradedPoint* a, CGradedPoint* b, int32_t direction, double ratio,
                           int32_t* x, int32_t* y) override;
  // The point at `ratio` of the ring's length, walked from where `start`
  // lies. A ratio above 1 goes round again: whole turns are taken off before
  // the walk. A negative ratio gives the start's place; a ring of no length
  // gives it too (ratio 0) or nothing.
  BOOL PointAtRatio(int32_t size, CGradedPoint* start, int32_t direction, double ratio, int32_t* x,
                    int32_t* y) override;
  // The point |length| round the ring from where `start` lies, the way
  // chosen as on an open curve (direction and sign of the length); whole
  // turns are taken off first. A ring of no length gives only a length of 0.
  BOOL PointAtLength(int32_t size, CGradedPoint* start, int32_t direction, int32_t length, int32_t* x,
                     int32_t* y) override;
  // The rounded length of the ring section from a to b, forwards (direction
  // non-zero) or backwards; the straight line when it cannot be found, 0
  // when the curve or a position is missing.
  int32_t GetSection(int32_t size, CGradedObject* a, CGradedObject* b, int32_t direction) override;
  void MeasureSection(int32_t size, CGradedPoint* ref, int32_t x, int32_t y, int32_t direction, int32_t& total,
                      int32_t& part) override;

 protected:
  CGradedClosedCurve(int32_t subtype, CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2)
      : CGradedCurve(subtype, owner, status, attribute1, attribute2, TRUE) {}
};
