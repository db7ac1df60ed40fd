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
#include "design/geometry/polyline.h"
#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/win_types.h"

class CDC;
class CGradedObject;
class CGradedPoint;

inline constexpr int32_t kElementTypeNotch = 16;

// The six points of one notch shape, all (0, 0) until computed: the anchor
// on the outline, the tip, and the corners of the notch rectangle (anchor
// end right, anchor end left, tip end left, tip end right).
struct CShapeRecord6 {
  enum Corner { kAnchor = 0, kTip, kAnchorEndRight, kAnchorEndLeft, kTipEndLeft, kTipEndRight };

  void Set(CPoint anchor, CPoint tip, CPoint anchorEndRight, CPoint anchorEndLeft, CPoint tipEndLeft,
           CPoint tipEndRight) {
    points = {anchor, tip, anchorEndRight, anchorEndLeft, tipEndLeft, tipEndRight};
  }
  void Get(CPoint& anchor, CPoint& tip, CPoint& anchorEndRight, CPoint& anchorEndLeft, CPoint& tipEndLeft,
           CPoint& tipEndRight) const {
    anchor = points[kAnchor];
    tip = points[kTip];
    anchorEndRight = points[kAnchorEndRight];
    anchorEndLeft = points[kAnchorEndLeft];
    tipEndLeft = points[kTipEndLeft];
    tipEndRight = points[kTipEndRight];
  }
  // The box of the six points, right and bottom one past the greatest x
  // and y.
  CRect GetBoundRect() const;
  void CopyFrom(const CShapeRecord6& other) { points = other.points; }

  std::array<CPoint, 6> points{};
};

// The fields a notch hands to its piece item besides its position: the
// shape code (3 bits), length and width in model units, the turn against
// the outline's normal in degrees, and five codes passed on unchanged.
struct CNotchShape {
  int32_t shapeKind = 0;
  int32_t length = 0;
  int32_t width = 0;
  double angle = 0.0;
  std::array<int32_t, 5> flags{};
};

class CNotchElement : public CDesignElement {
 public:
  // The number of codes the notch hands on to its piece item unchanged.
  static constexpr int32_t kFlagCount = 5;

  // An empty notch of `owner`: no references, every number 0, one empty
  // shape of each list per size, every size dirty.
  explicit CNotchElement(CPatternRecord* owner);
  // A notch of `owner` placed at once by the setter of the same arguments.
  CNotchElement(CPatternRecord* owner, CGradedPoint* pointA, int32_t offset, const CNotchShape& shape);
  CNotchElement(CPatternRecord* owner, CGradedPoint* pointA, CGradedPoint* pointB, double ratio, int32_t mode,
                const CNotchShape& shape);
  CNotchElement(CPatternRecord* owner, CGradedPoint* pointA, CGradedPoint* pointB, int32_t offset, int32_t mode,
                const CNotchShape& shape);
  // The shapes go with the notch. Its hidden construction points (state 0)
  // go to the container's DeleteElement, which deletes those that nothing
  // else uses. While the container frees its contents it asks nothing.
  ~CNotchElement() override;

  // Placing the notch: `offset` along the outline from A (mode 0); a share
  // of the outline between A and B (modes 1 and 2); `offset` from A or back
  // from B (modes 3 and 4). Each keeps one shape of each list per size and
  // marks every size dirty.
  void SetPosition(CGradedPoint* pointA, int32_t offset, const CNotchShape& shape);
  void SetPosition(CGradedPoint* pointA, CGradedPoint* pointB, double ratio, int32_t mode, const CNotchShape& shape);
  void SetPosition(CGradedPoint* pointA, CGradedPoint* pointB, int32_t offset, int32_t mode,
                   const CNotchShape& shape);

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
  // Whether the last computation of the size placed the notch (on the
  // outline), and whether it found its place on the seam line too.
  BOOL HasOutlineShape(int32_t size) const;
  BOOL HasSeamShape(int32_t size) const;

  // Draws one shape with the pen selected in `dc` (none is selected here),
  // in device pixels of the view (model units per pixel `scale`, model
  // point (originX, originY) at pixel (0, 0)). A notch whose anchor and tip
  // lie within 4 pixels is drawn as a 4-pixel stroke from the anchor
  // towards the tip, or not at all when they coincide. Otherwise by the
  // shape code: 1 a T, 2 a V, 3 a rounded notch, 4 a slit, 5 a box open at
  // the anchor end; other codes draw nothing.
  void Draw(CDC* dc, double scale, int32_t originX, int32_t originY, const CShapeRecord6& record) const;
  // The same figures with the shape code `kind`, the piece turned by its
  // angle about the centre of its box at the base size.
  void DrawTurned(CDC* dc, double scale, int32_t originX, int32_t originY, const CShapeRecord6& record,
                  int32_t kind) const;

  // ---- Overrides of the design element ----------------------------------

  // Whether A or B is `object`; null never matches.
  BOOL RefersTo(const CGradedObject* object) const override;
  // A and B, those that are set.
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // Places the notch at one size: the anchor on the piece outline, the tip
  // pointing into the piece along the outline's normal turned by the angle,
  // the corners of the rectangle of the notch's width; then, when the piece
  // has a seam line, the same shape moved along the notch's line onto it.
  // 0 when the notch cannot be placed (a missing point, an unknown mode, a
  // position off the outline, an outline of no length): the size then has
  // no shape, and no item is exported from it. The flag is cleared either
  // way.
  BOOL Calculate(int32_t size) override;
  // Hit at the base size: within `tolerance` of a corner of the notch, or
  // inside its rectangle; `distance` gets the least distance to a corner.
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  // Keep one shape of each list per size, in step with the flags.
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;
  // The box of the size's outline shape and, where it has one, its seam
  // shape, as they stand; the same turned about (cx, cy).
  CRect GetBoundRect(int32_t size) const override;
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Item type 13 from the base size's shape: the anchor with the codes, the
  // tip with the shape code, the width with the angle in tenths of a
  // degree, the anchor again. 0, nothing handed over, when the base size
  // has no shape.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;
  // Reads the record at the owner's data version. A and B resolve at once
  // to points, or to none. Files below version 106 store the angle in
  // radians; it is held in degrees. A record cut short fails (0) and keeps
  // nothing.
  BOOL Load(ArchiveReader& archive) override;

 private:
  void ResizeShapes();
  void SetShape(const CNotchShape& shape);
  // The anchor of the size on `outline`; 0 when it cannot be had.
  BOOL PlaceAnchor(int32_t size, const PointList& outline, CPoint* anchor) const;
  // The whole outline shape of the size; 0 when it cannot be had.
  BOOL ComputeShape(int32_t size, const PointList& outline, CShapeRecord6& shape) const;
  // Where the notch's line meets the seam line; 0 when it does not.
  BOOL FindSeamPoint(int32_t size, const CShapeRecord6& shape, CPoint* onSeam) const;
  void DrawShape(CDC* dc, double scale, int32_t originX, int32_t originY, const CShapeRecord6& record,
                 int32_t kind) const;

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
  std::vector<char> m_OutlineSet;  // per size: the outline shape was placed
  std::vector<char> m_SeamSet;     // per size: the seam shape was placed
};

// Joins the notch to the element table under type 16.
void RegisterNotchElements();
