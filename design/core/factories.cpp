#include "design/core/factories.h"

#include "design/core/design_element.h"
#include "design/core/graded_object.h"
#include "model/piece_item.h"

// Each table is made on first use, so that a registration from any setup
// code finds it built.

ObjectKindFactory& GetObjectKindFactory() {
  static ObjectKindFactory table;
  return table;
}

PointKindFactory& GetPointKindFactory() {
  static PointKindFactory table;
  return table;
}

CurveKindFactory& GetCurveKindFactory() {
  static CurveKindFactory table;
  return table;
}

ElementFactory& GetElementFactory() {
  static ElementFactory table;
  return table;
}

ItemCodeFactory& GetItemCodeFactory() {
  static ItemCodeFactory table;
  return table;
}
