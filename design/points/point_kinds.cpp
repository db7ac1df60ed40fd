#include "design/points/point_kinds.h"

#include "design/points/free_point.h"
#include "design/points/intersection_points.h"
#include "design/points/offset_point.h"
#include "design/points/reference_points.h"

void RegisterPointKinds() {
  RegisterFreePoints();
  RegisterOffsetPoints();
  RegisterIntersectionPoints();
  RegisterReferencePoints();
}
