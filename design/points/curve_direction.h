// The direction flag of the points that walk a curve from one of its points
// (kinds 5, 8, 35 and 36): the sense in which the curve is walked. Files
// that did not store it get it derived after loading, from the order in which
// the curve names its defining points (the references it reports, in the
// order of its record).
//
// Both helpers leave the flag as it is when there is no curve or the curve
// names no points. A null point is never found among the curve's points.
#pragma once

#include <cstdint>

#include "platform/archive.h"
#include "platform/win_types.h"

class CGradedObject;

// The points that walk a curve (kinds 5, 8, 35 and 36) store their direction
// flag from this data version on.
inline constexpr int32_t kFirstVersionWithCurveDirection = 109;
// The direction flag of such a point until a record, or the order of its
// curve's defining points, gives it another.
inline constexpr int32_t kDefaultCurveDirection = 1;

// Reads the stored direction flag of a file of `version` where it has one
// (nothing is read below 109, and `direction` is left alone); 0 when it is
// cut short.
BOOL ReadCurveDirection(ArchiveReader& archive, int32_t version, int32_t& direction);

// direction := 1 when `start` is the curve's first defining point, else 0.
void SetDirectionFromFirstPoint(const CGradedObject* curve, const CGradedObject* start, int32_t& direction);

// Walking the curve's defining points from the first: direction := 1 at the
// first that is `met`, 0 at the first that is `other` (a point that is both
// counts as `met`), and 1 when neither occurs.
void SetDirectionFromOrder(const CGradedObject* curve, const CGradedObject* met, const CGradedObject* other,
                           int32_t& direction);
