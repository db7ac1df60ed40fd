// The polyline curves: straight segments through a list of points, open
// (curve kind 5) or closed (kind 6). Their record and references are those of
// every curve through a list of points (point_list_curve.h); the open kind
// fills missing point positions and ends as it reads them.
#pragma once

#include <cstdint>

#include "design/curves/point_list_curve.h"

class CPolylineCurve : public CPointListCurve<CGradedOpenCurve> {
 public:
  // For the loaders: no points, no ends, full.
  CPolylineCurve(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2);
};

class CClosedPolylineCurve : public CPointListCurve<CGradedClosedCurve> {
 public:
  CClosedPolylineCurve(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2);
};

// Joins curve kinds 5 and 6 to the curve-kind table; the loader makes them
// with status 0, attribute 1 0 and attribute 2 1.
void RegisterPolylineCurves();
