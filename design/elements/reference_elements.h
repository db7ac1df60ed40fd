// The design elements that take a part of the construction into a design
// piece by reference, drawing nothing of their own: a construction point
// (type 128), the straight line between two construction points (type 256)
// and the part of a construction curve between two of its points (type 512).
//
// Each keeps a 16-bit attribute that is only stored and copied; the line and
// curve elements also keep the line type that the piece item gets. Their
// references are resolved while the record loads: a point field takes only a
// point, the curve field only a curve; any other stored position gives none.
// Every stored reference counts as used by the element.
//
// Ownership: the piece owns the element; the referenced objects belong to the
// container and are plain pointers here.
#pragma once

#include <cstdint>
#include <vector>

#include "design/core/design_element.h"
#include "design/geometry/polyline.h"

class CGradedCurve;
class CGradedObject;
class CGradedPoint;

inline constexpr int32_t kElementTypePiecePoint = 128;
inline constexpr int32_t kElementTypePieceLine = 256;
inline constexpr int32_t kElementTypePieceCurve = 512;

// A construction point taken into the piece.
class CPiecePointElement : public CDesignElement {
 public:
  // For the loader: no point.
  CPiecePointElement(CPatternRecord* owner, uint16_t attribute);
  CPiecePointElement(CPatternRecord* owner, uint16_t attribute, CGradedPoint* point);

  CGradedPoint* GetRef() const { return m_Point; }
  void SetRef(CGradedPoint* point) { m_Point = point; }
  uint16_t GetAttribute() const { return m_Attribute; }
  void SetAttribute(uint16_t attribute) { m_Attribute = attribute; }

  BOOL RefersTo(const CGradedObject* object) const override;
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // A hit when the point at the base size lies within the tolerance
  // (rounded distance, the tolerance included); never without a point.
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  // The one-unit box at the point; empty without a point or position.
  CRect GetBoundRect(int32_t size) const override;
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Item type 9 with the point of the base size twice (flags 0); 0 and no
  // vertices without a point or its position.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;
  // The attribute and the point's position (6 bytes), the point resolved at
  // once. 0 when the record is cut short.
  BOOL Load(ArchiveReader& archive) override;

 private:
  CGradedPoint* m_Point = nullptr;
  uint16_t m_Attribute;
};

// The straight line between two construction points.
class CPieceLineElement : public CDesignElement {
 public:
  // For the loader: no points.
  CPieceLineElement(CPatternRecord* owner, uint16_t attribute, int32_t lineType);
  CPieceLineElement(CPatternRecord* owner, uint16_t attribute, int32_t lineType, CGradedPoint* first,
                    CGradedPoint* second);

  void GetRefs(CGradedPoint** first, CGradedPoint** second) const;
  void SetRefs(CGradedPoint* first, CGradedPoint* second);
  uint16_t GetAttribute() const { return m_Attribute; }
  void SetAttribute(uint16_t attribute) { m_Attribute = attribute; }
  // The piece item made from the element has the line type plus 1.
  int32_t GetLineType() const { return m_LineType; }
  void SetLineType(int32_t lineType) { m_LineType = lineType; }

  BOOL RefersTo(const CGradedObject* object) const override;
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // A hit when the segment between the points at the base size passes
  // within the tolerance; never without both points.
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  // The least and greatest x and y of the two points (no unit added);
  // empty without both points or their positions.
  CRect GetBoundRect(int32_t size) const override;
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Item type 9 with the two points of the base size (flags 0); 0 and no
  // vertices without both points or their positions.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;
  // The attribute, the line type and the two points' positions (14 bytes),
  // the points resolved at once. 0 when the record is cut short.
  BOOL Load(ArchiveReader& archive) override;

 private:
  CGradedPoint* m_First = nullptr;
  CGradedPoint* m_Second = nullptr;
  uint16_t m_Attribute;
  int32_t m_LineType;
};

// The part of a construction curve between two of its points; both points
// the same object on a closed curve stand for the whole ring. The curve is
// held as the graded object of curve kind that the container gives.
class CPieceCurveElement : public CDesignElement {
 public:
  // For the loader: no curve, no points; one empty section per size of the
  // container.
  CPieceCurveElement(CPatternRecord* owner, uint16_t attribute, int32_t lineType);
  CPieceCurveElement(CPatternRecord* owner, uint16_t attribute, int32_t lineType, CGradedObject* curve,
                     CGradedPoint* first, CGradedPoint* second);

  void GetRefs(CGradedObject** curve, CGradedPoint** first, CGradedPoint** second) const;
  // Stores the references; every size is due again and the sections are
  // emptied.
  void SetRefs(CGradedObject* curve, CGradedPoint* first, CGradedPoint* second);
  uint16_t GetAttribute() const { return m_Attribute; }
  void SetAttribute(uint16_t attribute) { m_Attribute = attribute; }
  int32_t GetLineType() const { return m_LineType; }
  void SetLineType(int32_t lineType) { m_LineType = lineType; }
  // One section per size, in step with the container's sizes.
  int32_t GetSectionCount() const { return static_cast<int32_t>(m_Sections.size()); }
  // The part of the curve between the two points at `size` (GetCurveSection;
  // an open curve closing on one point, taken from that point to itself, is
  // its whole list as it stands), kept as the size's section. `out` is
  // emptied first; 0 with it empty for a size outside the sections, and
  // without the curve, a point or a point's position.
  BOOL GetSectionPoints(int32_t size, PointList& out);

  BOOL RefersTo(const CGradedObject* object) const override;
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // A hit when the whole curve at the base size (not only the part) passes
  // within the tolerance; never without the curve and both points.
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  // The least and greatest x and y of the part at the size (no unit added);
  // empty without the curve, a point or a part.
  CRect GetBoundRect(int32_t size) const override;
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // The part at the base size as a piece item: type 8 when it is the whole
  // ring of a closed curve (both points one object, more than two ring
  // points; no closing copy), else type 9. A polyline's points go out as
  // they are (ends flagged 0, the points between 2); a spline's, an arc's or
  // a circle's are thinned to spline controls within a tenth of a
  // millimetre, its defining points kept. A part of fewer than two distinct
  // points goes out as the two points. 0 and no vertices without the curve,
  // a point or a position, or when nothing is left to export.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;
  // Both keep the sections at one empty list per size and make every size
  // due again.
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;
  // The attribute, the line type and the positions of the curve and the two
  // points (18 bytes), resolved at once. 0 when the record is cut short.
  BOOL Load(ArchiveReader& archive) override;

 private:
  void ResetSections();
  // The curve and the points' positions at `size`; 0 when one is missing.
  BOOL GetCurveAndPoints(int32_t size, CGradedCurve** curve, CPoint* p1, CPoint* p2) const;
  // The part at `size` without touching the kept sections.
  BOOL ComputeSection(int32_t size, PointList& out) const;

  CGradedObject* m_Curve = nullptr;
  CGradedPoint* m_First = nullptr;
  CGradedPoint* m_Second = nullptr;
  uint16_t m_Attribute;
  int32_t m_LineType;
  std::vector<std::vector<CPoint>> m_Sections;
};

// Joins types 128, 256 and 512 to the element table; the loader makes them
// with attribute 0 and line type 0.
void RegisterReferenceElements();
