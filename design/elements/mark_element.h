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

  // True for the anchor; null never matches.
  BOOL RefersTo(const CGradedObject* object) const override;
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
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
