// The base of the elements that make up one design piece: the piece boundary
// with its seam allowance, the points, lines and curves taken from the
// construction, marks, notches, symbols, texts and the construction elements.
// It keeps the owner piece, the element's type code and one
// needs-recalculation flag per size, drives the per-size recalculation, and
// declares the operations that the piece and the container use on every
// element alike. The base's own answers are neutral.
//
// Ownership: the owner piece owns its elements. An element reaches the design
// container only through its piece; it stores no container of its own.
#pragma once

#include <cstdint>
#include <vector>

#include "design/geometry/vertex.h"

#include "design/core/size_flags.h"
#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/win_types.h"

class CGradedObject;
class CPatternData;
class CPatternRecord;
class CPieceMeasure;
class CSizeTableRow;

// Element type codes: one bit each, fixed by the element's class.
inline constexpr int32_t kElementTypeBoundary = 1;
inline constexpr int32_t kElementTypeConstruct = 32;  // carries a subtype 1 .. 512
inline constexpr int32_t kElementTypeShape = 64;      // carries a subtype 1 .. 32
inline constexpr int32_t kElementTypeSymbol = 1024;   // carries a subtype 1 .. 256

class CDesignElement {
 public:
  // An element of `type` owned by `owner`, dirty in every size of the
  // owner's container (no sizes for a null owner or container).
  CDesignElement(CPatternRecord* owner, int32_t type);
  virtual ~CDesignElement();
  CDesignElement(const CDesignElement&) = delete;
  CDesignElement& operator=(const CDesignElement&) = delete;

  int32_t GetType() const { return m_Type; }
  CPatternRecord* GetOwner() const { return m_Owner; }
  // The owner piece's container; null without an owner.
  CPatternData* GetPatternData() const;

  // Computes the element for one size, or for every size of the container in
  // ascending order with -1. The flags are not consulted: callers that want
  // only the stale sizes test IsDirty themselves.
  void Recalc(int32_t size);
  // The flag of one size; with -1 whether any size is dirty. A size outside
  // the flags answers 0.
  BOOL IsDirty(int32_t size) const;
  // Marks one size dirty, or every size with -1; a size outside the flags
  // marks nothing.
  void Invalidate(int32_t size);
  // Marks a size as computed; an override of Calculate calls it once it has
  // stored that size. A size outside the flags is ignored.
  void ClearDirty(int32_t size);
  int32_t GetDirtyCount() const { return m_Dirty.Count(); }

  // ---- Virtual operations -------------------------------------------------

  // Registers the element with the graded objects it uses (for example a
  // point element puts its point back in use).
  virtual void LinkReferences();
  // Hit tests at the base size, in model units. An edge hit names the two
  // points that bound the edge in outline order, the foot of the
  // perpendicular and its distance.
  virtual BOOL HitTestEdge(int32_t x, int32_t y, double tolerance, CGradedObject** first,
                           CGradedObject** second, CPoint* foot, double* distance);
  virtual BOOL HitTest(int32_t x, int32_t y, double tolerance, CPoint* point, double* distance);
  virtual BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance);
  virtual BOOL RefersTo(const CGradedObject* object) const;
  // Appends every graded object for which RefersTo answers 1 (duplicates
  // and nulls allowed), so that the loader can count the users of each
  // object in one pass. Every element kind that refers to objects must list
  // them all here; the base refers to nothing.
  virtual void GetUsedObjects(std::vector<CGradedObject*>& used) const;
  virtual void ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject);
  // Formula bookkeeping of the elements that hold formulas: 1 when a formula
  // of the element uses the row (or measure), after freezing it or marking
  // the element dirty.
  virtual BOOL FreezeIfUsesSizeRow(CSizeTableRow* row);
  virtual BOOL InvalidateIfUsesSizeRow(CSizeTableRow* row);
  virtual BOOL FreezeIfUsesMeasure(CPieceMeasure* measure);
  virtual BOOL InvalidateIfUsesMeasure(CPieceMeasure* measure);
  // Computes one size and clears its flag; the base has nothing to compute.
  virtual BOOL Calculate(int32_t size);
  // Keep the flags aligned with the size table: a size inserted at `index`
  // starts dirty. An index outside the table changes nothing.
  virtual void InsertSize(int32_t index);
  virtual void RemoveSize(int32_t index);
  virtual CRect GetBoundRect(int32_t size) const;
  // The box of the element with the piece turned about (cx, cy).
  virtual CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const;
  // Reads the element's record; the base reads nothing and answers 0.
  virtual BOOL Load(ArchiveReader& archive);
  // Turns the element into the item type code and the vertices of one piece
  // item of the style; the base exports nothing and answers 0.
  virtual BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices);
  virtual void CopyFrom(const CDesignElement& other);

 private:
  CPatternRecord* m_Owner;
  int32_t m_Type;
  CSizeFlags m_Dirty;
};
