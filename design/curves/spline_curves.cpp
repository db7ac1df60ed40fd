#include "design/curves/spline_curves.h"

#include <memory>

#include "design/core/factories.h"

CSplineCurve::CSplineCurve(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2)
    : CPointListCurve(PointListKind::kSpline, kCurveKindSpline, owner, status, attribute1, attribute2) {}

CClosedSplineCurve::CClosedSplineCurve(CPatternData* owner, uint16_t status, int32_t attribute1,
                                       int32_t attribute2)
    : CPointListCurve(PointListKind::kSpline, kCurveKindClosedSpline, owner, status, attribute1, attribute2) {}

void RegisterSplineCurves() {
  CurveKindFactory& table = GetCurveKindFactory();
  table.Register(kCurveKindSpline, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CSplineCurve>(owner, 0, 0, kDefaultCurveAttribute2);
  });
  table.Register(kCurveKindClosedSpline, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CClosedSplineCurve>(owner, 0, 0, kDefaultCurveAttribute2);
  });
}
