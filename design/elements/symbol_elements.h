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

  // The shape held for one size as it stands; nothing is computed. 0 (and
  // `shape` untouched) for a size outside the per-size shapes.
  BOOL GetStoredShape(int32_t size, CSymbolShape* shape) const;
  int32_t GetShapeCount() const { return static_cast<int32_t>(m_Shapes.size()); }

  // ---- Overrides of the design element ----------------------------------

  // Whether `object` is the anchor.
  BOOL RefersTo(const CGradedObject* object) const override;
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // Keep the per-size shapes aligned with the size table: a size inserted at
  // `index` (0 to the shape count) gets a shape of all points (0, 0). An
  // index outside changes nothing.
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;
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

 private:
  uint32_t m_SubCode;
  size_t m_ShapePoints;
  CGradedPoint* m_Anchor = nullptr;
  std::vector<int32_t> m_Params;
  double m_Angle = 0.0;
  std::vector<CSymbolShape> m_Shapes;
};

// ---- The kinds ----------------------------------------------------------------
// Each kind's GetParams gives the anchor, its parameters by name and the
// angle.

// A bar of `length` from `offset` behind the anchor, with a cross bar of
// `width` at each end.
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
};

// A circle of `radius` about the anchor with tangents to a point at c -
// radius, and a point at `a`.
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
};

// A circle joined by two tangents to a box on the axis.
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
};

// A circle with two tangents meeting at a tip, and a cross bar before it.
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
};

// A circle with a stem along the axis ending in a cross bar.
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
};

// Two circles on the axis joined by a bar.
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
};

// A plain bar of `length` from `offset` behind the anchor.
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
};

// A box of `length` by `width` from `offset` behind the anchor.
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
};

// Two points on the axis at `a` and `b` from the anchor.
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
};

// Joins the nine kinds to the element table under type 1024 and their
// sub-codes.
void RegisterSymbolElements();
