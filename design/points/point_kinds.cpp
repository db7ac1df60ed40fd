#include "design/points/point_kinds.h"

#include "design/points/angle_line_points.h"
#include "design/points/free_point.h"
#include "design/points/mirror_points.h"
#include "design/points/polar_points.h"

void RegisterPointKinds() {
  RegisterFreePoints();
  RegisterMirrorPoints();
  RegisterPolarPoints();
  RegisterAngleLinePoints();
}
