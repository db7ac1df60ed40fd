#include "design/points/curve_direction.h"

#include "design/core/graded_object.h"

namespace {

// The curve's defining points in order; false when there is no curve or it
// names none.
bool DefiningPoints(const CGradedObject* curve, CGradedObjectList& points) {
  if (!curve || !curve->GetReferences(points)) return false;
  return !points.empty();
}

}  // namespace

BOOL ReadCurveDirection(ArchiveReader& archive, int32_t version, int32_t& direction) {
  if (version < kFirstVersionWithCurveDirection) return TRUE;
  uint32_t flag = 0;
  if (!archive.ReadU32(flag)) return FALSE;
  direction = static_cast<int32_t>(flag);
  return TRUE;
}

void SetDirectionFromFirstPoint(const CGradedObject* curve, const CGradedObject* start, int32_t& direction) {
  CGradedObjectList points;
  if (!DefiningPoints(curve, points)) return;
  direction = start && points.front() == start ? 1 : 0;
}

void SetDirectionFromOrder(const CGradedObject* curve, const CGradedObject* met, const CGradedObject* other,
                           int32_t& direction) {
  CGradedObjectList points;
  if (!DefiningPoints(curve, points)) return;
  for (const CGradedObject* point : points) {
    if (!point) continue;
    if (point == met) {
      direction = 1;
      return;
    }
    if (point == other) {
      direction = 0;
      return;
    }
  }
  direction = 1;
}
