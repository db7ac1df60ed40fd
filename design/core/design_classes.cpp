#include "design/core/design_classes.h"

#include "design/core/factories.h"
#include "design/core/stored_pieces.h"
#include "design/core/text_element.h"
#include "design/elements/symbol_elements.h"
#include "design/elements/two_point_elements.h"
#include "design/points/point_kinds.h"

void RegisterDesignClasses() {
  static const bool registered = [] {
    RegisterPointKinds();
    RegisterPieceItemCodes();
    RegisterTextElements();
    RegisterTwoPointElements();
    RegisterSymbolElements();
    return true;
  }();
  (void)registered;
}

DesignTables DesignTables::Registered() {
  RegisterDesignClasses();
  return DesignTables{GetObjectKindFactory(), GetPointKindFactory(), GetCurveKindFactory(), GetElementFactory()};
}
