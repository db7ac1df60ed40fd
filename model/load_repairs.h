// Helpers of the load repairs that the cut-line rebuild shares.
#pragma once

#include <cstdint>

#include "platform/geometry_types.h"

// How far (x, y) lies from the segment a-b as the nearest-segment search
// measures it: the distance to the foot of the perpendicular, truncated,
// when the foot lies within the segment's x and y ranges; else the distance
// to the nearer end.
double NearestSegmentDistance(int32_t x, int32_t y, CPoint a, CPoint b);
