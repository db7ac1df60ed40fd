// Two small design elements of a piece: the two-point element (type 2), a
// line between two end points, and the label (type 8), a text at a position
// in its own font.
//
// A two-point element is either free, with two fixed points A and B, or tied
// to two construction points, whose positions it takes in every size. It
// keeps one pair of end points per size of the container. Only a pair of
// references ties it: a record that names one point and not the other loads
// as a free element, so that it never follows half a pair. A free element's
// pairs are its own: the fixed points reach them only where they are set
// (construction, SetPoints, a record older than per-size pairs, a size
// inserted without a base pair), so recalculating a size never overwrites
// the pairs a file stores per size.
//
// A label keeps its text and the font's face name as the file's bytes and
// measures its box when it is set or loaded: the work window's text metrics
// when a window is installed, else fixed metrics, so that a headless read
// gives the same box on every machine.
//
// Ownership: the owner piece owns both; the construction points are plain
// pointers into the container's object list.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "design/core/design_element.h"
#include "design/core/graded_object.h"
#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CGradedPoint;
class CPatternRecord;

inline constexpr int32_t kElementTypeTwoPoint = 2;
inline constexpr int32_t kElementTypeLabel = 8;

class CTwoPointElement : public CDesignElement {
 public:
  // For the loader: both points (0, 0), no references, one pair of (0, 0)
  // end points per size of the owner's container.
  explicit CTwoPointElement(CPatternRecord* owner);
  // Free, with A and B as the end points of every size.
  CTwoPointElement(CPatternRecord* owner, CPoint a, CPoint b);
  // Tied to two construction points; a pair with a null member ties to none.
  // A and B are the end points of every size until the size is computed.
  CTwoPointElement(CPatternRecord* owner, CPoint a, CPoint b, CGradedPoint* refA, CGradedPoint* refB);

  // The fixed points, as stored.
  CPoint GetPointA() const { return m_A; }
  CPoint GetPointB() const { return m_B; }
  // The construction points; both null, or both set.
  CGradedPoint* GetRefA() const { return m_RefA; }
  CGradedPoint* GetRefB() const { return m_RefB; }

  // The end points held for one size as they stand; nothing is computed.
  // 0 (and the outputs untouched) for a size outside the per-size pairs.
  BOOL GetSizePoints(int32_t size, CPoint* start, CPoint* end) const;
  int32_t GetSizePointCount() const { return static_cast<int32_t>(m_StartPoints.size()); }

  // Empties the list, then appends the two construction points; nothing when
  // the element is free.
  BOOL GetReferences(CGradedObjectList& references) const;

  // The element's two ends as a whole: the construction points' positions
  // at the base size when tied, else the fixed points.
  void GetEndPoints(CPoint* a, CPoint* b) const;
  // The end points of one size, computed first when the size is dirty. 0
  // (outputs untouched) for a size outside the per-size pairs.
  BOOL GetEndPointsAt(int32_t size, CPoint* a, CPoint* b);
  // Frees the element at A and B: the references go, and every size takes
  // A and B as its end points.
  void SetPoints(CPoint a, CPoint b);
  // Ties the element to two construction points (to none when either is
  // null); every size is computed again.
  void SetRefs(CGradedPoint* refA, CGradedPoint* refB);
  // Gives one size its own end points. A tied element is first freed where
  // it stands: every dirty size is computed, the base size's ends become the
  // fixed points and the references go. At the base size A and B also
  // become the fixed points. A size outside the pairs changes nothing else.
  void SetSizePoints(int32_t size, CPoint a, CPoint b);

  // ---- Overrides of the design element ----------------------------------

  // A hit when the segment between the base size's end points passes
  // within the tolerance; `distance` gets the distance.
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  // Whether `object` is one of the two construction points.
  BOOL RefersTo(const CGradedObject* object) const override;
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // A tied element takes both construction points' positions at the size (0
  // when either cannot be had there, its position as handed out being
  // kept); a free one keeps the size's pair as it stands. 0 for a size
  // outside the pairs.
  BOOL Calculate(int32_t size) override;
  // The box of the size's end points, right and bottom one past the
  // greater; empty for a size outside the pairs.
  CRect GetBoundRect(int32_t size) const override;
  // The same with both end points turned about (cx, cy) first.
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Piece item 1 with the base size's two end points, flag 0 each. 0 (no
  // item) when the container has no base size with a pair.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;
  // Keep the per-size pairs aligned with the size table. A size inserted at
  // `index` (0 to the pair count) gets the base size's pair when the
  // container has sizes and a base size with a pair; the fixed points when
  // it has sizes but no such pair; (0, 0) and (0, 1000) when it has no size
  // or a negative base size. An index outside changes nothing.
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;
  // Reads the fixed points, from version 122 on the two construction
  // points, and from version 121 on one pair of end points per size; before
  // 121 every size gets A and B. 0 when the record is cut short or the
  // element has no container.
  BOOL Load(ArchiveReader& archive) override;

 private:
  // Ties the element to both points, or to none when either is null.
  void SetRefPair(CGradedPoint* refA, CGradedPoint* refB);
  // Writes the fixed points into every size's pair.
  void FillSizesWithFixedPoints();

  CPoint m_A;
  CPoint m_B;
  CGradedPoint* m_RefA = nullptr;
  CGradedPoint* m_RefB = nullptr;
  std::vector<CPoint> m_StartPoints;
  std::vector<CPoint> m_EndPoints;
};

class CLabelElement : public CDesignElement {
 public:
  // For the loader: an empty text at (0, 0) in a default font, an empty box.
  explicit CLabelElement(CPatternRecord* owner);
  // A label at (x, y), its box measured at once.
  CLabelElement(CPatternRecord* owner, int32_t x, int32_t y, const CString& text, const LOGFONT& font);

  // Stores position, text and font and measures the box again.
  void SetText(int32_t x, int32_t y, const CString& text, const LOGFONT& font);
  void GetText(CPoint& position, CString& text, LOGFONT& font) const;

  // The box as position, A, C, B: its outline in order around it. With (w, h)
  // the extent of the text, A = position + (w, 0), B = position + (0, h) and
  // C = position + (w, h), each turned about the position by minus the
  // font's escapement.
  std::array<CPoint, 4> GetTextBox() const { return {m_Position, m_CornerA, m_CornerC, m_CornerB}; }

  // A hit when (x, y) lies inside the box; the distance is then 0. The
  // tolerance plays no part: a label is picked by its text, not near it.
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  // The least and greatest x and y of the box's four corners, nothing added
  // to right and bottom; the same at every size.
  CRect GetBoundRect(int32_t size) const override;
  // The same with the corners turned about (cx, cy) first.
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Reads position, text and font, then measures the box. Everything is read
  // before anything is stored, so a short record (0) leaves the label as it
  // was. A face name is kept to its first 31 bytes.
  BOOL Load(ArchiveReader& archive) override;
  // Piece item 11 with no vertices: the text, position and font reach the
  // item through GetText.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;

 private:
  void CalcTextBox();

  CPoint m_Position;
  CString m_Text;
  LOGFONT m_Font;
  CPoint m_CornerA;
  CPoint m_CornerB;
  CPoint m_CornerC;
};

// Joins both elements to the element table, type 2 and type 8 (subtype 0).
void RegisterTwoPointElements();
