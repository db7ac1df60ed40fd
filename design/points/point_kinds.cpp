#include "design/points/point_kinds.h"

#include "design/points/free_point.h"

void RegisterPointKinds() {
  RegisterFreePoints();
}
