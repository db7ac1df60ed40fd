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

  BOOL RefersTo(const CGradedObject* object) const override;
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // Both keep the sections at one empty list per size and make every size
  // due again.
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;
  // The attribute, the line type and the positions of the curve and the two
  // points (18 bytes), resolved at once. 0 when the record is cut short.
  BOOL Load(ArchiveReader& archive) override;

 private:
  void ResetSections();

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
