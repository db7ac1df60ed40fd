#include "design/core/design_classes.h"

#include "design/core/factories.h"
#include "design/core/stored_pieces.h"
#include "design/core/text_element.h"
#include "design/curves/arc_curves.h"
#include "design/curves/circle_curves.h"
#include "design/curves/polyline_curves.h"
#include "design/curves/spline_curves.h"
#include "design/points/point_kinds.h"

void RegisterDesignClasses() {
  static const bool registered = [] {
    RegisterPointKinds();
    RegisterPieceItemCodes();
    RegisterTextElements();
    RegisterSplineCurves();
    RegisterArcCurves();
    RegisterCircleCurves();
    RegisterPolylineCurves();
    return true;
  }();
  (void)registered;
}

DesignTables DesignTables::Registered() {
  RegisterDesignClasses();
  return DesignTables{GetObjectKindFactory(), GetPointKindFactory(), GetCurveKindFactory(), GetElementFactory()};
}
