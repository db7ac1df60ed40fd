// The notch (element type 16): a notch placed on the piece outline, given
// relative to one or two construction points of the outline, pointing into
// the piece along the outline's normal turned by an angle. For each size it
// keeps the notch shape on the outline and, when the piece has a seam
// allowance, the same shape moved onto the seam line; both per-size lists
// have one shape per size of the owner's size table from construction on.
//
// Position modes: 0 walks a signed offset along the outline from A; 1 and 2
// walk a share of the outline between A and B (from A, or back from B); 3
// and 4 walk the offset from A, or back from B.
//
// The references are resolved while the notch reads its record and name
// points of the container; the notch owns only its shapes.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "design/core/design_element.h"
#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/win_types.h"

class CGradedObject;
class CGradedPoint;

inline constexpr int32_t kElementTypeNotch = 16;

// The six points of one notch shape, all (0, 0) until computed: the anchor
// on the outline, the tip, and the corners of the notch rectangle (anchor
// end right, anchor end left, tip end left, tip end right).
struct CShapeRecord6 {
  std::array<CPoint, 6> points{};
};

class CNotchElement : public CDesignElement {
 public:
  // The number of codes the notch hands on to its piece item unchanged.
  static constexpr int32_t kFlagCount = 5;

  // An empty notch of `owner`: no references, every number 0, one empty
  // shape of each list per size, every size dirty.
  explicit CNotchElement(CPatternRecord* owner);
  ~CNotchElement() override;

  CGradedPoint* GetPointA() const { return m_pPointA; }
  CGradedPoint* GetPointB() const { return m_pPointB; }
  double GetRatio() const { return m_Ratio; }
  int32_t GetOffset() const { return m_Offset; }
  int32_t GetMode() const { return m_Mode; }
  int32_t GetShapeKind() const { return m_ShapeKind; }
  int32_t GetLength() const { return m_Length; }
  int32_t GetWidth() const { return m_Width; }
  // The turn against the outline's normal, in degrees.
  double GetAngle() const { return m_Angle; }
  // Code `index` (0 to kFlagCount - 1); 0 for an index outside.
  int32_t GetFlag(int32_t index) const;

  // The shapes of one size as they stand (nothing is computed); 0 and `out`
  // untouched for a size outside the lists.
  BOOL GetOutlineShape(int32_t size, CShapeRecord6& out) const;
  BOOL GetSeamShape(int32_t size, CShapeRecord6& out) const;
  int32_t GetShapeCount() const { return static_cast<int32_t>(m_OutlineShapes.size()); }

  // ---- Overrides of the design element ----------------------------------

  // Whether A or B is `object`; null never matches.
  BOOL RefersTo(const CGradedObject* object) const override;
  // A and B, those that are set.
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // Keep one shape of each list per size, in step with the flags.
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;
  // Reads the record at the owner's data version. A and B resolve at once
  // to points, or to none. Files below version 106 store the angle in
  // radians; it is held in degrees. A record cut short fails (0) and keeps
  // nothing.
  BOOL Load(ArchiveReader& archive) override;

 private:
  CGradedPoint* m_pPointA = nullptr;
  CGradedPoint* m_pPointB = nullptr;
  double m_Ratio = 0.0;
  int32_t m_Offset = 0;
  int32_t m_Mode = 0;
  int32_t m_ShapeKind = 0;
  int32_t m_Length = 0;
  int32_t m_Width = 0;
  double m_Angle = 0.0;
  std::array<int32_t, kFlagCount> m_Flags{};
  std::vector<CShapeRecord6> m_OutlineShapes;
  std::vector<CShapeRecord6> m_SeamShapes;
};

// Joins the notch to the element table under type 16.
void RegisterNotchElements();
