#include "design/curves/polyline_curves.h"

#include <memory>

#include "design/core/factories.h"

CPolylineCurve::CPolylineCurve(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2)
    : CPointListCurve(PointListKind::kPolyline, kCurveKindPolyline, owner, status, attribute1, attribute2) {}

CClosedPolylineCurve::CClosedPolylineCurve(CPatternData* owner, uint16_t status, int32_t attribute1,
                                           int32_t attribute2)
    : CPointListCurve(PointListKind::kPolyline, kCurveKindClosedPolyline, owner, status, attribute1,
                      attribute2) {}

void RegisterPolylineCurves() {
  CurveKindFactory& table = GetCurveKindFactory();
  table.Register(kCurveKindPolyline, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CPolylineCurve>(owner, 0, 0, kDefaultCurveAttribute2);
  });
  table.Register(kCurveKindClosedPolyline, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CClosedPolylineCurve>(owner, 0, 0, kDefaultCurveAttribute2);
  });
}
