// One design piece of a parametric design: its texts (piece name,
// annotation, a third text, category), its quantity, a set of piece options,
// the graded point on which the piece's sizes are aligned, and the ordered
// list of its design elements (boundary with seam allowance, marks, notches,
// symbols, texts, references to construction points, lines and curves, and
// the construction elements). The container keeps its records in its piece
// list; the elements of a piece reach the container's sizes and objects
// through the record.
//
// Ownership: the record owns its elements and deletes them head first when
// it is destroyed. The reference point and the owner are plain pointers into
// the container and are never freed through the record.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string_view>
#include <vector>

#include "design/core/design_element.h"
#include "design/core/factories.h"
#include "design/core/load_failure.h"
#include "design/geometry/polyline.h"
#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CGradedObject;
class CPatternData;
class CPieceBoundary;
class CPieceMeasure;
class CSizeTableRow;

class CPatternRecord {
 private:
  using ElementList = std::list<std::unique_ptr<CDesignElement>>;

 public:
  // A place in the element list for walking it in either direction; a null
  // position (the default, or one walked off either end) names no element.
  class POSITION {
   public:
    POSITION() = default;
    explicit operator bool() const { return m_Valid; }

   private:
    friend class CPatternRecord;
    explicit POSITION(ElementList::const_iterator at) : m_At(at), m_Valid(true) {}
    ElementList::const_iterator m_At{};
    bool m_Valid = false;
  };

  // An empty piece: quantity 1, option2 2, every other number 0, no texts,
  // no reference point, no elements.
  explicit CPatternRecord(CPatternData* owner);
  virtual ~CPatternRecord();
  CPatternRecord(const CPatternRecord&) = delete;
  CPatternRecord& operator=(const CPatternRecord&) = delete;

  // The design container that holds the record; not owned.
  CPatternData* GetPatternData() const { return m_Owner; }

  // ---- Texts and numbers ------------------------------------------------------
  CString GetPieceName() const { return m_PieceName; }
  void SetPieceName(const char* text) { m_PieceName = text; }
  CString GetAnnotation() const { return m_Annotation; }
  void SetAnnotation(const char* text) { m_Annotation = text; }
  // Handed to the converted piece's third text.
  CString GetText3() const { return m_Text3; }
  void SetText3(const char* text) { m_Text3 = text; }
  // Handed to the converted piece's quantity.
  int32_t GetQuantity() const { return m_Quantity; }
  void SetQuantity(int32_t quantity) { m_Quantity = quantity; }
  CString GetCategory() const { return m_Category; }
  void SetCategory(const char* text) { m_Category = text; }
  void GetPoints(CPoint& point1, CPoint& point2) const {
    point1 = m_Point1;
    point2 = m_Point2;
  }
  void SetPoints(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    m_Point1 = CPoint(x1, y1);
    m_Point2 = CPoint(x2, y2);
  }
  // Piece options kept and copied as stored; the converter only tests the
  // flag for zero.
  int32_t GetOption1() const { return m_Option1; }
  void SetOption1(int32_t value) { m_Option1 = value; }
  int32_t GetOption2() const { return m_Option2; }
  void SetOption2(int32_t value) { m_Option2 = value; }
  int32_t GetFlag() const { return m_Flag; }
  void SetFlag(int32_t value) { m_Flag = value; }
  int32_t GetOption3() const { return m_Option3; }
  void SetOption3(int32_t value) { m_Option3 = value; }
  int32_t GetOption4() const { return m_Option4; }
  void SetOption4(int32_t value) { m_Option4 = value; }
  double GetDoubleValue() const { return m_DoubleValue; }
  void SetDoubleValue(double value) { m_DoubleValue = value; }
  // A pair of values that the file does not store.
  void GetIntPair(int32_t& first, int32_t& second) const {
    first = m_IntPair[0];
    second = m_IntPair[1];
  }
  void SetIntPair(int32_t first, int32_t second) {
    m_IntPair[0] = first;
    m_IntPair[1] = second;
  }
  // The piece's turning angle in radians (not stored in the file). Turning
  // the piece changes every element at every size, so the setter marks them
  // all dirty.
  double GetDouble2() const { return m_Double2; }
  void SetDouble2(double angle);

  // ---- Reference point --------------------------------------------------------
  // The construction point on which the piece's sizes are aligned; null when
  // the piece has none. Not owned.
  CGradedObject* GetRefPoint() const { return m_RefPoint; }
  void SetRefPoint(CGradedObject* point) { m_RefPoint = point; }
  // Whether `object` is the reference point (a null object never is).
  BOOL UsesRefPoint(const CGradedObject* object) const;
  // How far the reference point has moved at `size` from where it stands at
  // the base size, so that every size can be drawn with it in one place.
  // (0, 0) at the base size, and without a reference point (or with one
  // that is not a construction point).
  CSize GetRefOffset(int32_t size) const;

  // ---- Element list -----------------------------------------------------------
  POSITION GetFirstElementPosition() const;
  // The element at `position`; `position` moves to the next (previous)
  // element, or becomes null past the tail (head). A null position gives
  // null and stays null.
  CDesignElement* GetNextElement(POSITION& position) const;
  CDesignElement* GetPrevElement(POSITION& position) const;
  int32_t GetElementCount() const { return static_cast<int32_t>(m_Elements.size()); }
  // The record takes the element over (a null element is ignored); returns
  // the element kept.
  CDesignElement* AddElement(std::unique_ptr<CDesignElement> element);
  CDesignElement* AddElementAtHead(std::unique_ptr<CDesignElement> element);
  // Unlinks the element and hands it back to the caller; null when the
  // record does not hold it.
  std::unique_ptr<CDesignElement> RemoveElement(const CDesignElement* element);
  BOOL HasElement(const CDesignElement* element) const;
  // The first element in list order whose type code is `type`; `*found`
  // is left unchanged when there is none.
  BOOL FindElementOfType(int32_t type, CDesignElement** found) const;
  // The first element after `*found` (which must be in the list) whose type
  // code is `type`; FALSE leaves `*found` unchanged.
  BOOL FindNextElementOfType(int32_t type, CDesignElement** found) const;

  // ---- Operations on every element, in list order ---------------------------
  // Whether an element refers to `object`; the scan stops at the first that
  // does.
  BOOL RefersTo(const CGradedObject* object) const;
  // Appends what every element refers to (CDesignElement::GetUsedObjects),
  // for the loader's one-pass count of each object's users.
  void GetUsedObjects(std::vector<CGradedObject*>& used) const;
  // With -1 every element recomputes every size; otherwise each element
  // computes that one size.
  void Recalc(int32_t size);
  void Invalidate(int32_t size);
  void InsertSize(int32_t index);
  void RemoveSize(int32_t index);
  // Has every element register with the graded objects it uses, once the
  // container's objects are resolved.
  void ResolveIds();
  // Every element's reference to `oldObject` becomes `newObject`, and so
  // does the reference point.
  void ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject);
  // Formula bookkeeping for a size-table row or measure that is removed or
  // changed: every element is asked (freezing its formulas on the row or
  // measure, or marking itself dirty), so that none is left holding a
  // deleted row or a stale value. 1 when any element used it.
  BOOL FreezeIfUsesSizeRow(CSizeTableRow* row);
  BOOL InvalidateIfUsesSizeRow(CSizeTableRow* row);
  BOOL FreezeIfUsesMeasure(CPieceMeasure* measure);
  BOOL InvalidateIfUsesMeasure(CPieceMeasure* measure);

  // ---- Piece geometry at a size ------------------------------------------------
  // All through the piece's boundary (its first element of type 1). `out`
  // is emptied first in every case, so that it never keeps points of an
  // earlier call.

  // The outline ring of the size; 0 without a boundary.
  BOOL GetOutline(int32_t size, PointList& out) const;
  // Whether the boundary carries a seam allowance; 0 without a boundary.
  BOOL HasSeamLine() const;
  // The seam line of the size; 0 without a boundary or seam allowance.
  BOOL GetSeamLine(int32_t size, PointList& out) const;
  // Whether the seam allowance lies on the other side (the boundary's first
  // non-zero width is negative); 0 without a boundary.
  BOOL HasNegativeSeamWidth() const;
  // The outline (seam line) as it is cut: a copy of the boundary's list,
  // into which every dart (type 32) and band (type 64), in list order,
  // splices its shape of the size. The boundary's own lists stay as they
  // are. 0, with nothing spliced, when there is no outline (seam line).
  BOOL GetCutOutline(int32_t size, PointList& out) const;
  BOOL GetCutSeamLine(int32_t size, PointList& out) const;
  // Whether (x, y) lies inside the outline of the size; 0 without a
  // boundary.
  BOOL PtInside(int32_t x, int32_t y, int32_t size) const;
  // The box of every element at the size. Every element except the
  // two-point and label elements (types 2 and 8), which stay where they
  // are, is first moved back by the reference point's offset, so that all
  // sizes are drawn with the reference point at its base-size position.
  // Empty for a piece without elements.
  CRect GetBoundRect(int32_t size) const;
  // The outline of the size with every band (type 64) spliced in, in list
  // order; the darts are left out. 0 without an outline.
  BOOL GetOutlineWithMarks(int32_t size, PointList& out) const;
  // The area enclosed by the cut seam line when `seam` is 1 and the piece
  // has a seam allowance, else by the cut outline; 0 without one.
  double GetArea(int32_t size, BOOL seam) const;
  // The length of the same ring, its closing edge included, rounded once
  // at the end.
  int32_t GetPerimeter(int32_t size, BOOL seam) const;
  // The box of the piece at the size with the piece turned by its turning
  // angle (GetDouble2) about the centre of its base-size box. With a
  // reference point every element except the two-point and label elements
  // is moved back by how far the turned reference point has moved from its
  // turned base-size position.
  CRect GetTurnedBoundRect(int32_t size) const;
  // The segment from the lower left corner of the base-size box 100 mm
  // along the direction `radians` (counter-clockwise from +x), handed to
  // ShowDirection. Not used by the converter.
  void ShowDirectionAt(double radians);
  // Receives the segment ShowDirectionAt makes; the piece has nothing to
  // draw it with, so it does nothing.
  void ShowDirection(const CPoint& from, const CPoint& to);

  // ---- Texts ------------------------------------------------------------------
  // `text` with its codes filled in for the size: &P piece name, &C
  // annotation, &M category, &N quantity, &O, &T and &U the design's first,
  // second and third names, &S the size's name (empty for a size the design
  // does not have); code letters in either case. Any other '&' is kept as
  // it stands, a final one included.
  CString ExpandText(const CString& text, int32_t size) const;

  // ---- Element searches and hit tests -------------------------------------------
  // Each in list order; the out element is left unchanged on a miss.

  // The first point element (type 128) on `object`.
  BOOL FindPointElement(const CGradedObject* object, CDesignElement** found) const;
  // The first line element (type 256) between a and b, in either order.
  BOOL FindLineElement(const CGradedObject* a, const CGradedObject* b, CDesignElement** found) const;
  // The first curve element (type 512) on `curve` between a and b: in
  // either order on an open curve, in the stored order on a closed one
  // (where the two orders are two different parts of the ring). 0 at once
  // when `curve` is no curve.
  BOOL FindCurveElement(const CGradedObject* curve, const CGradedObject* a, const CGradedObject* b,
                        CDesignElement** found) const;
  // The element among those whose type shares a bit with `typeMask` (-1
  // for all) that reports a hit nearest to (x, y); a later hit wins only
  // when strictly nearer. 1 with that element and its outputs.
  BOOL HitTestElements(int32_t x, int32_t y, double tolerance, int32_t typeMask, CDesignElement** found,
                       CPoint* point, double* distance) const;
  BOOL HitTestEdgeElements(int32_t x, int32_t y, double tolerance, int32_t typeMask, CDesignElement** found,
                           CGradedObject** first, CGradedObject** second, CPoint* foot, double* distance) const;
  BOOL HitTestPointElements(int32_t x, int32_t y, double tolerance, int32_t typeMask, CDesignElement** found,
                            double* distance) const;

  // ---- Reading ----------------------------------------------------------------
  // Reads the piece's record at the container's data version (the newest
  // version without a container). Each element is made from `elements` by
  // its type code and subtype and reads its own record. The graded objects
  // must be loaded before, since the reference point is resolved at once.
  //
  // Returns 0 when the record is cut short, when its element count cannot
  // fit in the bytes left, when an element's type code (or subtype) has no
  // class, or when an element fails to read its record: elements carry no
  // length, so nothing after such an element can be found. The record then
  // keeps what was read before the failure (its texts first, so that the
  // caller can name the piece) and the elements read whole before it; the
  // element that failed is freed.
  BOOL Load(ArchiveReader& archive, const ElementFactory& elements = GetElementFactory());

 private:
  // The first element of type 1 when it is a boundary; null otherwise.
  CPieceBoundary* GetBoundary() const;
  // Notes why the load stopped with the owner (when there is one); 0.
  BOOL Fail(const ArchiveReader& archive, DesignLoadFault fault, std::string_view what) const;

  CString m_PieceName;
  CString m_Annotation;
  CString m_Text3;
  int32_t m_Quantity = 1;
  CString m_Category;
  CPoint m_Point1;
  CPoint m_Point2;
  int32_t m_Option1 = 0;
  int32_t m_Option2 = 2;
  int32_t m_Flag = 0;
  int32_t m_Option3 = 0;
  double m_DoubleValue = 0.0;
  int32_t m_Option4 = 0;
  CGradedObject* m_RefPoint = nullptr;
  CPatternData* m_Owner;
  ElementList m_Elements;
  int32_t m_IntPair[2] = {0, 0};
  double m_Double2 = 0.0;
};
