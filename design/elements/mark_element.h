// The mark of a design piece (element type 4): a small symbol at a referenced
// construction point (its anchor). Shape kinds 0 to 2 are a square of half
// side `size`, 3 a larger square, 4 a rectangle of width by height turned by
// the angle (degrees). Two style codes and two switches travel with the mark
// into the piece item's flag word.
//
// Ownership: the piece owns the mark; the anchor belongs to the container.
#pragma once

#include <cstdint>
#include <vector>

#include "design/core/design_element.h"

class CGradedObject;
class CGradedPoint;

inline constexpr int32_t kElementTypeMark = 4;

// Every field but the anchor, in record order.
struct MarkParams {
  int32_t shapeKind = 0;
  int32_t code2 = 0;
  int32_t code3 = 0;
  int32_t switchA = 0;
  int32_t switchB = 0;
  int32_t size = 0;
  int32_t width = 0;
  int32_t height = 0;
  double angle = 0.0;  // degrees
};

class CMarkElement : public CDesignElement {
 public:
  // For the loader: no anchor, width and height 5 mm worth of model units
  // (of the container's scale; the style's without a container), the other
  // fields 0.
  explicit CMarkElement(CPatternRecord* owner);
  CMarkElement(CPatternRecord* owner, CGradedPoint* anchor, const MarkParams& params);

  CGradedPoint* GetAnchor() const { return m_Anchor; }
  const MarkParams& GetParams() const { return m_Params; }
  void Set(CGradedPoint* anchor, const MarkParams& params) {
    m_Anchor = anchor;
    m_Params = params;
  }
  // The anchor's position at a size (CGradedPoint::GetPoint); 0 without an
  // anchor, `point` then untouched.
  BOOL GetAnchorPoint(int32_t size, CPoint* point) const;

  // ---- Overrides of the design element ----------------------------------

  // The anchor's own hit test at the base size: on a hit `point` gets the
  // anchor's position and `distance` its distance. No anchor, no hit.
  BOOL HitTest(int32_t x, int32_t y, double tolerance, CPoint* point, double* distance) override;
  // A hit when the rounded distance to the anchor at the base size is at
  // most the tolerance; `distance` gets it. No anchor, no hit.
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  // True for the anchor; null never matches.
  BOOL RefersTo(const CGradedObject* object) const override;
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // The box of the mark about the anchor P at the size, right and bottom
  // one past the greatest x and y. Kinds 0 to 2: P +- size; kind 3: P +- d
  // with d = size + (size + 1) / 2; kind 4: the rectangle of half sides
  // (width + 1) / 2 and (height + 1) / 2 turned about P by the angle; any
  // other kind (0, 0, 1, 1). Halves truncate. Empty without an anchor.
  CRect GetBoundRect(int32_t size) const override;
  // GetBoundRect with only its top-left and bottom-right corners turned
  // about (cx, cy), spanning the two turned corners with nothing added. A
  // quarter turn therefore does not give the turned box's true extent; the
  // stored designs were laid out with this box, so it is kept
  // (MarkCompute.TurnedBoxSpansOnlyTwoCorners).
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Piece item 2 with three vertices: the anchor at the base size with the
  // packed flag word (kind in bits 8 to 11, code 2 in 12 to 15, switch A bit
  // 16, switch B bit 17, code 3 in bits 18 and 19; its low byte 0, so a main
  // vertex), then (size, angle in tenths of a degree) and (width, height),
  // both with flag 103. Without an anchor: no item, 0.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;
  // Reads the record at the container's data version: the anchor's position
  // (resolved at once as a point), six words, width and height (111), the
  // angle (112). Fields a version does not store keep their values; 0 when
  // the record is cut short.
  BOOL Load(ArchiveReader& archive) override;

 private:
  CGradedPoint* m_Anchor = nullptr;
  MarkParams m_Params;
};

// Joins type 4 to the element table.
void RegisterMarkElements();
