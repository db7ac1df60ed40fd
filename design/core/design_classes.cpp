#include "design/core/design_classes.h"

#include "design/construct/darts.h"
#include "design/construct/type64_elements.h"
#include "design/core/factories.h"
#include "design/core/stored_pieces.h"
#include "design/core/text_element.h"
#include "design/curves/arc_curves.h"
#include "design/curves/circle_curves.h"
#include "design/curves/graded_line.h"
#include "design/curves/polyline_curves.h"
#include "design/curves/spline_curves.h"
#include "design/elements/boundary.h"
#include "design/elements/mark_element.h"
#include "design/elements/notch_element.h"
#include "design/elements/reference_elements.h"
#include "design/elements/symbol_elements.h"
#include "design/elements/two_point_elements.h"
#include "design/points/point_kinds.h"

void RegisterDesignClasses() {
  static const bool registered = [] {
    RegisterPointKinds();
    RegisterPieceItemCodes();
    RegisterTextElements();
    RegisterDarts();
    RegisterBoundaryElements();
    RegisterNotchElements();
    RegisterType64Elements();
    RegisterGradedLines();
    RegisterReferenceElements();
    RegisterMarkElements();
    RegisterTwoPointElements();
    RegisterSymbolElements();
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
