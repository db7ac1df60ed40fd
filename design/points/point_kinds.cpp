#include "design/points/point_kinds.h"

#include "design/points/angle_line_points.h"
#include "design/points/direction_line_points.h"
#include "design/points/distance_points.h"
#include "design/points/free_point.h"
#include "design/points/intersection_points.h"
#include "design/points/mirror_points.h"
#include "design/points/offset_point.h"
#include "design/points/polar_points.h"
#include "design/points/ratio_points.h"
#include "design/points/reference_points.h"
#include "design/points/rotated_points.h"
#include "design/points/span_points.h"
#include "design/points/tangent_points.h"

void RegisterPointKinds() {
  RegisterFreePoints();
  RegisterOffsetPoints();
  RegisterIntersectionPoints();
  RegisterReferencePoints();
  RegisterRatioPoints();
  RegisterDistancePoints();
  RegisterSpanPoints();
  RegisterMirrorPoints();
  RegisterPolarPoints();
  RegisterAngleLinePoints();
  RegisterDirectionLinePoints();
  RegisterTangentPoints();
  RegisterRotatedPoints();
}
