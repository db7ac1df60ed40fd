// The symbols of a piece (element type 1024): small drawn marks placed at a
// construction point (the anchor) and turned by an angle. Nine kinds exist,
// told apart by a sub-code (1, 2, 4, ..., 256) that is also the element's
// subtype; each kind has its own integer parameters, in model units, and
// keeps one shape of a fixed number of points per size of the container.
//
// Every kind stores the same record: the anchor's object position, its
// integer parameters in order, then the angle in degrees as a double. The
// common base reads it; each kind fixes its sub-code, its parameter count
// and its shape's point count, and names its parameters (GetParams).
//
// A size's shape is computed lazily: the kind lays its points out on the
// horizontal axis through the anchor's position at that size, and the base
// turns them about the anchor by minus the angle. A size whose anchor is
// missing or cannot be had keeps an all-zero shape and counts as unplaced:
// it is neither hit nor boxed. Where a kind's tangent or edge points have
// no real value (a circle that the point they are drawn from lies inside,
// a bar wider than its circle, a radius of 0), they fall on the axis at the
// circle's near side, Q + (r, 0), and a second circle's at C2 - (r, 0), so
// that every shape holds finite points.
//
// Ownership: the owner piece owns the symbol; the anchor is a plain pointer
// into the container's object list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "design/core/design_element.h"
#include "design/core/graded_object.h"
#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/win_types.h"

class CGradedPoint;
class CPatternRecord;

// The sub-codes of the symbol kinds.
inline constexpr uint32_t kSymbolSubCode1 = 1;
inline constexpr uint32_t kSymbolSubCode2 = 2;
inline constexpr uint32_t kSymbolSubCode4 = 4;
inline constexpr uint32_t kSymbolSubCode8 = 8;
inline constexpr uint32_t kSymbolSubCode16 = 16;
inline constexpr uint32_t kSymbolSubCode32 = 32;
inline constexpr uint32_t kSymbolSubCode64 = 64;
inline constexpr uint32_t kSymbolSubCode128 = 128;
inline constexpr uint32_t kSymbolSubCode256 = 256;

// The points of one size's shape.
using CSymbolShape = std::vector<CPoint>;

class CSymbolElem : public CDesignElement {
 public:
  uint32_t GetSubCode() const { return m_SubCode; }
  // The construction point the symbol stands on; null when none.
  CGradedPoint* GetAnchor() const { return m_Anchor; }
  // Degrees.
  double GetAngle() const { return m_Angle; }
  // The integer parameters in stored order.
  std::span<const int32_t> GetIntParams() const { return m_Params; }

  // Sets the angle (degrees); every size is computed again.
  void SetAngle(double angle);

  // The shape held for one size as it stands; nothing is computed. 0 (and
  // `shape` untouched) for a size outside the per-size shapes.
  BOOL GetStoredShape(int32_t size, CSymbolShape* shape) const;
  int32_t GetShapeCount() const { return static_cast<int32_t>(m_Shapes.size()); }
  // The shape of one size in record order, computed first when the size is
  // dirty. 0 (and `shape` untouched) for a size outside the per-size shapes.
  BOOL GetShape(int32_t size, CSymbolShape* shape);

  // ---- Overrides of the design element ----------------------------------

  // The anchor's own hit test at the base size: on a hit `point` gets the
  // anchor's position and `distance` its distance. No anchor, no hit.
  BOOL HitTest(int32_t x, int32_t y, double tolerance, CPoint* point, double* distance) override;
  // Whether the base size's shape is hit, the first hit deciding: a circle
  // (a position inside it, or closer to its rim than the tolerance, with
  // the distance to the rim, 0 inside), the inside of the shape's outline
  // (distance 0), then its segments within the tolerance, in a fixed order
  // per kind. Reference points on the axis take no part.
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  // Whether `object` is the anchor.
  BOOL RefersTo(const CGradedObject* object) const override;
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // Lays out and turns the size's shape (see above). 0 when the anchor is
  // missing or cannot be had at the size (the shape then all zero), or for
  // a size outside the shapes.
  BOOL Calculate(int32_t size) override;
  // Keep the per-size shapes aligned with the size table: a size inserted at
  // `index` (0 to the shape count) gets a shape of all points (0, 0). An
  // index outside changes nothing.
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;
  // The box of the size's shape: its drawn points and, for each circle, the
  // square about its centre of half side the rounded distance to the
  // circle's rim point; right and bottom one past. Empty for an unplaced
  // size.
  CRect GetBoundRect(int32_t size) const override;
  // The same with the shape turned about (cx, cy) first; the circles keep
  // the radius of the unturned shape.
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Reads the anchor (a construction point; any other object gives none),
  // the kind's integer parameters and the angle; the same at every version.
  // Everything is read before anything is stored. 0 when the record is cut
  // short or the symbol has no container.
  BOOL Load(ArchiveReader& archive) override;

 protected:
  // A symbol of `subCode` with `paramCount` parameters of 0, angle 0, no
  // anchor, and one shape of `shapePoints` points (0, 0) per size of the
  // owner's container.
  CSymbolElem(CPatternRecord* owner, uint32_t subCode, size_t paramCount, size_t shapePoints);

  int32_t Param(size_t index) const { return m_Params[index]; }
  // Stores the anchor, the parameters (as many as the kind has) and the
  // angle; every size gets an all-zero shape again and is computed anew.
  void SetAll(CGradedPoint* anchor, std::vector<int32_t> params, double angle);
  // The kind's points in record order, laid out unturned on the horizontal
  // axis through `q`; `shape` comes with the kind's point count.
  virtual void LayOut(CPoint q, CSymbolShape& shape) const = 0;

 private:
  // Whether the size's shape stands at its anchor (computed first when the
  // size is dirty).
  BOOL GetPlacedShape(int32_t size, CSymbolShape* shape);
  CRect ShapeRect(int32_t size, bool turn, int32_t cx, int32_t cy, double sinA, double cosA) const;

  uint32_t m_SubCode;
  size_t m_ShapePoints;
  CGradedPoint* m_Anchor = nullptr;
  std::vector<int32_t> m_Params;
  double m_Angle = 0.0;
  std::vector<CSymbolShape> m_Shapes;
  // One per shape: 1 when the shape was laid out at the anchor.
  std::vector<char> m_Placed;
};

// ---- The kinds ----------------------------------------------------------------
// Each kind's GetParams gives the anchor, its parameters by name and the
// angle; its SetParams stores the same set.

// A bar of `length` from `offset` behind the anchor, with a cross bar of
// `width` at each end. Shape: S, E, then the cross bars' ends S - w/2,
// S + w/2, E - w/2, E + w/2 (across the axis).
struct CSymbolParams1 {
  CGradedPoint* anchor = nullptr;
  int32_t length = 0;
  int32_t width = 0;
  int32_t offset = 0;
  double angle = 0.0;
};

class CSymbolElem1 : public CSymbolElem {
 public:
  explicit CSymbolElem1(CPatternRecord* owner);
  CSymbolParams1 GetParams() const;
  void SetParams(const CSymbolParams1& params);

 protected:
  void LayOut(CPoint q, CSymbolShape& shape) const override;
};

// A circle of `radius` about the anchor with tangents to a point at c -
// radius, and a point at `a`. Shape: Q, the tangent points T1, T2, the tip
// P, the point F.
struct CSymbolParams2 {
  CGradedPoint* anchor = nullptr;
  int32_t a = 0;
  int32_t radius = 0;
  int32_t c = 0;
  double angle = 0.0;
};

class CSymbolElem2 : public CSymbolElem {
 public:
  explicit CSymbolElem2(CPatternRecord* owner);
  CSymbolParams2 GetParams() const;
  void SetParams(const CSymbolParams2& params);

 protected:
  void LayOut(CPoint q, CSymbolShape& shape) const override;
};

// A circle joined by two tangents to a box on the axis. Shape: Q, the
// tangent points T1, T2, the box's near end C on the axis, its corners A1,
// A2 (near) and B1, B2 (far), the reference point R at `offset`.
struct CSymbolParams4 {
  CGradedPoint* anchor = nullptr;
  int32_t offset = 0;
  int32_t radius = 0;
  int32_t length = 0;
  int32_t boxLength = 0;
  int32_t boxWidth = 0;
  double angle = 0.0;
};

class CSymbolElem4 : public CSymbolElem {
 public:
  explicit CSymbolElem4(CPatternRecord* owner);
  CSymbolParams4 GetParams() const;
  void SetParams(const CSymbolParams4& params);

 protected:
  void LayOut(CPoint q, CSymbolShape& shape) const override;
};

// A circle with two tangents meeting at a tip, and a cross bar before it.
// Shape: Q, the tangent points T1, T2, the tip C, the reference point R at
// `offset`, the cross bar's ends D1, D2.
struct CSymbolParams8 {
  CGradedPoint* anchor = nullptr;
  int32_t offset = 0;
  int32_t radius = 0;
  int32_t length = 0;
  int32_t barWidth = 0;
  int32_t barDistance = 0;
  double angle = 0.0;
};

class CSymbolElem8 : public CSymbolElem {
 public:
  explicit CSymbolElem8(CPatternRecord* owner);
  CSymbolParams8 GetParams() const;
  void SetParams(const CSymbolParams8& params);

 protected:
  void LayOut(CPoint q, CSymbolShape& shape) const override;
};

// A circle with a stem along the axis ending in a cross bar. Shape: Q, the
// reference point R at `offset`, where the stem leaves the circle T2, T1,
// the stem's ends F1, F2 about the bar's middle C, the bar's ends E1, E2.
struct CSymbolParams16 {
  CGradedPoint* anchor = nullptr;
  int32_t offset = 0;
  int32_t radius = 0;
  int32_t length = 0;
  int32_t stemWidth = 0;
  int32_t barWidth = 0;
  double angle = 0.0;
};

class CSymbolElem16 : public CSymbolElem {
 public:
  explicit CSymbolElem16(CPatternRecord* owner);
  CSymbolParams16 GetParams() const;
  void SetParams(const CSymbolParams16& params);

 protected:
  void LayOut(CPoint q, CSymbolShape& shape) const override;
};

// Two circles on the axis joined by a bar. Shape: Q, the second centre C2,
// the reference point R at `offset`, where the bar leaves the first circle
// T2, T1, the second reference point G (R mirrored), where the bar meets the
// second circle U2, U1.
struct CSymbolParams32 {
  CGradedPoint* anchor = nullptr;
  int32_t offset = 0;
  int32_t radius = 0;
  int32_t length = 0;
  int32_t barWidth = 0;
  double angle = 0.0;
};

class CSymbolElem32 : public CSymbolElem {
 public:
  explicit CSymbolElem32(CPatternRecord* owner);
  CSymbolParams32 GetParams() const;
  void SetParams(const CSymbolParams32& params);

 protected:
  void LayOut(CPoint q, CSymbolShape& shape) const override;
};

// A plain bar of `length` from `offset` behind the anchor. Shape: S, E.
struct CSymbolParams64 {
  CGradedPoint* anchor = nullptr;
  int32_t length = 0;
  int32_t offset = 0;
  double angle = 0.0;
};

class CSymbolElem64 : public CSymbolElem {
 public:
  explicit CSymbolElem64(CPatternRecord* owner);
  CSymbolParams64 GetParams() const;
  void SetParams(const CSymbolParams64& params);

 protected:
  void LayOut(CPoint q, CSymbolShape& shape) const override;
};

// A box of `length` by `width` from `offset` behind the anchor. Shape: as
// the first kind's; the cross bars' ends are the box's corners.
struct CSymbolParams128 {
  CGradedPoint* anchor = nullptr;
  int32_t length = 0;
  int32_t width = 0;
  int32_t offset = 0;
  double angle = 0.0;
};

class CSymbolElem128 : public CSymbolElem {
 public:
  explicit CSymbolElem128(CPatternRecord* owner);
  CSymbolParams128 GetParams() const;
  void SetParams(const CSymbolParams128& params);

 protected:
  void LayOut(CPoint q, CSymbolShape& shape) const override;
};

// Two circles about the anchor through the points at `a` and `b` on the
// axis. Shape: Q and those two points.
struct CSymbolParams256 {
  CGradedPoint* anchor = nullptr;
  int32_t a = 0;
  int32_t b = 0;
  double angle = 0.0;
};

class CSymbolElem256 : public CSymbolElem {
 public:
  explicit CSymbolElem256(CPatternRecord* owner);
  CSymbolParams256 GetParams() const;
  void SetParams(const CSymbolParams256& params);

 protected:
  void LayOut(CPoint q, CSymbolShape& shape) const override;
};

// Joins the nine kinds to the element table under type 1024 and their
// sub-codes.
void RegisterSymbolElements();
