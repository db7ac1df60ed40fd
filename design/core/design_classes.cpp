#include "design/core/design_classes.h"

#include "design/core/factories.h"
#include "design/core/stored_pieces.h"
#include "design/core/text_element.h"
#include "design/curves/graded_line.h"
#include "design/elements/mark_element.h"
#include "design/elements/reference_elements.h"
#include "design/points/point_kinds.h"

void RegisterDesignClasses() {
  static const bool registered = [] {
    RegisterPointKinds();
    RegisterPieceItemCodes();
    RegisterTextElements();
    RegisterGradedLines();
    RegisterReferenceElements();
    RegisterMarkElements();
    return true;
  }();
  (void)registered;
}

DesignTables DesignTables::Registered() {
  RegisterDesignClasses();
  return DesignTables{GetObjectKindFactory(), GetPointKindFactory(), GetCurveKindFactory(), GetElementFactory()};
}
