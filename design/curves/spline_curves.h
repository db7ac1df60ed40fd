// The spline curves: a smooth curve through a list of points, open (curve
// kind 1, the kind of every curve of files before data version 109) or
// closed (kind 2). Their record and references are those of every curve
// through a list of points (point_list_curve.h).
#pragma once

#include <cstdint>

#include "design/curves/point_list_curve.h"

class CSplineCurve : public CPointListCurve<CGradedOpenCurve> {
 public:
  // For the loaders: no points, no ends, full.
  CSplineCurve(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2);
};

class CClosedSplineCurve : public CPointListCurve<CGradedClosedCurve> {
 public:
  CClosedSplineCurve(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2);
};

// Joins curve kinds 1 and 2 to the curve-kind table; the loader makes them
// with status 0, attribute 1 0 and attribute 2 1.
void RegisterSplineCurves();
