#include "design/geometry/device_mapping.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "design/geometry/point_line.h"
#include "design/geometry/primitives.h"
#include "platform/numbers.h"

namespace {

int ToModel(int device, double scale, int origin) {
  return SaturateToInt32(static_cast<int64_t>(RoundToNearest(device * scale)) + origin);
}

int ToDevice(int model, double scale, int origin) {
  return RoundToNearest((static_cast<double>(model) - origin) / scale);
}

// The quadrants (Quadrant) around the centre, named as they lie on a y-down
// screen; an offset on an axis belongs to the quadrant on the positive side.
enum Quarter { kRightBelow = 1, kLeftBelow = 2, kLeftAbove = 3, kRightAbove = 4 };

Quarter QuarterOf(int64_t dx, int64_t dy) {
  // Only the signs count, so the offsets may be clamped to 32 bits.
  return static_cast<Quarter>(Quadrant(SaturateToInt32(dx), SaturateToInt32(dy)));
}

// Counter-clockwise on a y-down screen the quadrants follow one another
// right-below, right-above, left-above, left-below.
Quarter NextQuarter(Quarter q) {
  switch (q) {
    case kRightBelow: return kRightAbove;
    case kRightAbove: return kLeftAbove;
    case kLeftAbove: return kLeftBelow;
    case kLeftBelow: return kRightBelow;
  }
  return kRightBelow;
}

// Whether the radial `end` lies counter-clockwise (on the screen) ahead of
// `start` by less than a half turn; equal directions are not ahead.
bool IsAhead(int64_t startX, int64_t startY, int64_t endX, int64_t endY) {
  // The cross product with y turned upwards.
  return startY * endX - startX * endY > 0;
}

}  // namespace

void DeviceToModel(int x, int y, double scale, int originX, int originY, int* modelX, int* modelY) {
  *modelX = ToModel(x, scale, originX);
  *modelY = ToModel(y, scale, originY);
}

CPoint DeviceToModelPoint(int x, int y, double scale, int originX, int originY) {
  return CPoint(ToModel(x, scale, originX), ToModel(y, scale, originY));
}

void ModelToDevice(int x, int y, double scale, int originX, int originY, int* deviceX, int* deviceY) {
  *deviceX = ToDevice(x, scale, originX);
  *deviceY = ToDevice(y, scale, originY);
}

CPoint ModelToDevicePoint(int x, int y, double scale, int originX, int originY) {
  return CPoint(ToDevice(x, scale, originX), ToDevice(y, scale, originY));
}

void DrawPointListPolygon(CDC& dc, const std::list<CPoint>& points, double scale, int originX,
                          int originY) {
  if (points.empty()) return;
  std::vector<CPoint> device;
  device.reserve(points.size());
  for (const CPoint& p : points) device.push_back(ModelToDevicePoint(p.x, p.y, scale, originX, originY));
  dc.Polygon(device.data(), SaturateToInt32(static_cast<int64_t>(device.size())));
}

void GetArcRect(CRect* rect, int left, int top, int right, int bottom, int xStart, int yStart,
                int xEnd, int yEnd) {
  const CRect box(std::min(left, right), std::min(top, bottom), std::max(left, right),
                  std::max(top, bottom));
  const int64_t cx = RoundToNearest((static_cast<double>(left) + right) / 2);
  const int64_t cy = RoundToNearest((static_cast<double>(top) + bottom) / 2);
  const int64_t sx = xStart - cx, sy = yStart - cy;
  const int64_t ex = xEnd - cx, ey = yEnd - cy;
  const Quarter first = QuarterOf(sx, sy);
  const Quarter last = QuarterOf(ex, ey);
  if (first == last && !IsAhead(sx, sy, ex, ey)) {
    *rect = box;
    return;
  }
  CRect hull(std::min(xStart, xEnd), std::min(yStart, yEnd), std::max(xStart, xEnd),
             std::max(yStart, yEnd));
  // Leaving a quarter the arc passes the extreme between it and the next.
  for (Quarter q = first; q != last; q = NextQuarter(q)) {
    switch (q) {
      case kRightBelow: hull.right = box.right; break;
      case kRightAbove: hull.top = box.top; break;
      case kLeftAbove: hull.left = box.left; break;
      case kLeftBelow: hull.bottom = box.bottom; break;
    }
  }
  *rect = hull;
}
