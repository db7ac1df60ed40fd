#include "design/points/point_kinds.h"

#include "design/points/direction_line_points.h"
#include "design/points/free_point.h"
#include "design/points/rotated_points.h"
#include "design/points/tangent_points.h"

void RegisterPointKinds() {
  RegisterFreePoints();
  RegisterDirectionLinePoints();
  RegisterTangentPoints();
  RegisterRotatedPoints();
}
