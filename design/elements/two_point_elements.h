// Two small design elements of a piece: the two-point element (type 2), a
// line between two end points, and the label (type 8), a text at a position
// in its own font.
//
// A two-point element is either free, with two fixed points A and B, or tied
// to two construction points, whose positions it takes in every size. It
// keeps one pair of end points per size of the container. Only a pair of
// references ties it: a record that names one point and not the other loads
// as a free element, so that it never follows half a pair.
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
  CTwoPointElement(CPatternRecord* owner, CPoint a, CPoint b);
  // Tied to two construction points; a pair with a null member ties to none.
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

  // ---- Overrides of the design element ----------------------------------

  // Whether `object` is one of the two construction points.
  BOOL RefersTo(const CGradedObject* object) const override;
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
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

  // Reads position, text and font, then measures the box. Everything is read
  // before anything is stored, so a short record (0) leaves the label as it
  // was. A face name is kept to its first 31 bytes.
  BOOL Load(ArchiveReader& archive) override;

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
