#include "design/geometry/device_mapping.h"

#include <climits>
#include <cmath>
#include <list>
#include <vector>

#include <gtest/gtest.h>

#include "platform/recording_dc.h"

namespace {

struct ViewCase {
  const char* name;
  CPoint from;
  double scale;
  CPoint origin;
  CPoint to;
};

TEST(ModelToDevice, RoundsTheWholeQuotient) {
  const ViewCase kCases[] = {
      {"halves round away from zero", {103, 97}, 2.0, {100, 100}, {2, -2}},
      {"origin lands on pixel 0", {100, 100}, 2.0, {100, 100}, {0, 0}},
      {"below half rounds down", {104, 96}, 3.0, {100, 100}, {1, -1}},
      {"fine scale magnifies", {7, -3}, 0.5, {0, 0}, {14, -6}},
      {"far model point clamps", {INT_MAX, INT_MIN}, 0.001, {0, 0}, {INT_MAX, INT_MIN}},
      {"no scale clamps, no division fault", {5, -5}, 0.0, {0, 0}, {INT_MAX, INT_MIN}},
  };
  for (const ViewCase& c : kCases) {
    SCOPED_TRACE(c.name);
    int x = 0, y = 0;
    ModelToDevice(c.from.x, c.from.y, c.scale, c.origin.x, c.origin.y, &x, &y);
    EXPECT_EQ(CPoint(x, y), c.to);
    EXPECT_EQ(ModelToDevicePoint(c.from.x, c.from.y, c.scale, c.origin.x, c.origin.y), c.to);
  }
}

TEST(DeviceToModel, RoundsTheScaledValueThenAddsTheOrigin) {
  const ViewCase kCases[] = {
      {"scaled then shifted", {2, -2}, 2.0, {100, 100}, {104, 96}},
      {"half rounds away from zero before the origin", {3, -3}, 0.5, {10, 10}, {12, 8}},
      {"pixel 0 is the origin", {0, 0}, 7.5, {-40, 25}, {-40, 25}},
      {"sum beyond 32 bits clamps", {INT_MAX, INT_MIN}, 1.0, {INT_MAX, INT_MIN}, {INT_MAX, INT_MIN}},
  };
  for (const ViewCase& c : kCases) {
    SCOPED_TRACE(c.name);
    int x = 0, y = 0;
    DeviceToModel(c.from.x, c.from.y, c.scale, c.origin.x, c.origin.y, &x, &y);
    EXPECT_EQ(CPoint(x, y), c.to);
    EXPECT_EQ(DeviceToModelPoint(c.from.x, c.from.y, c.scale, c.origin.x, c.origin.y), c.to);
  }
}

TEST(DrawPointListPolygon, DrawsOneFilledPolygonInDevicePixels) {
  RecordingDC dc;
  CBrush brush(0x00FF00);
  dc.SelectObject(&brush);
  DrawPointListPolygon(dc, {{100, 100}, {103, 97}, {110, 120}}, 2.0, 100, 100);
  ASSERT_EQ(dc.calls().size(), 1u);
  const DrawCall& call = dc.calls()[0];
  EXPECT_EQ(call.op, DrawCall::Op::kPolygon);
  EXPECT_EQ(call.points, (std::vector<CPoint>{{0, 0}, {2, -2}, {5, 10}}));
  EXPECT_EQ(call.state.brush.color(), 0x00FF00u);
}

TEST(DrawPointListPolygon, EmptyListDrawsNothing) {
  RecordingDC dc;
  DrawPointListPolygon(dc, {}, 1.0, 0, 0);
  EXPECT_TRUE(dc.calls().empty());
}

// The box (0, 0)-(100, 100) around centre (50, 50); radial points on the
// circle of radius 50 at the four extremes and in between.
constexpr CPoint kRight{100, 50}, kTop{50, 0}, kLeft{0, 50}, kBottom{50, 100};
constexpr CPoint kRightAbove{85, 15}, kLeftAbove{15, 15}, kLeftBelow{15, 85};
constexpr CPoint kRightBelow{85, 85}, kRightBelowLater{95, 70};

TEST(GetArcRect, CoversTheCounterClockwiseScreenArc) {
  struct Case {
    const char* name;
    CPoint start, end;
    CRect rect;
  };
  const Case kCases[] = {
      {"within one quarter", kRightBelow, kRightBelowLater, {85, 70, 95, 85}},
      {"end behind start in one quarter: the whole ellipse", kRightBelowLater, kRightBelow,
       {0, 0, 100, 100}},
      {"equal radials: the whole ellipse, as the arc call draws", kRightBelow, kRightBelow,
       {0, 0, 100, 100}},
      {"up across the right extreme", kRightBelow, kRightAbove, {85, 15, 100, 85}},
      {"across the right and the top", kRightBelow, kLeftAbove, {15, 0, 100, 85}},
      {"the upper half", kRight, kLeft, {0, 0, 100, 50}},
      {"the lower half", kLeft, kRight, {0, 50, 100, 100}},
      {"three extremes", kLeftAbove, kRightAbove, {0, 15, 100, 100}},
      {"top to bottom through the left", kTop, kBottom, {0, 0, 50, 100}},
      {"bottom to top through the right", kBottom, kTop, {50, 0, 100, 100}},
      {"left-below to right-below across the bottom", kLeftBelow, kRightBelow, {15, 85, 85, 100}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CRect rect;
    GetArcRect(&rect, 0, 0, 100, 100, c.start.x, c.start.y, c.end.x, c.end.y);
    EXPECT_EQ(rect, c.rect);
  }
}

TEST(GetArcRect, BoxGivenBackwardsAndOddCentre) {
  CRect rect;
  // Box edges swapped: the same arc as in order.
  GetArcRect(&rect, 100, 100, 0, 0, kRight.x, kRight.y, kLeft.x, kLeft.y);
  EXPECT_EQ(rect, CRect(0, 0, 100, 50));
  // Centre (1.5, 1.5) rounds to (2, 2): (2, 0) lies above it, (3, 3) below.
  GetArcRect(&rect, 0, 0, 3, 3, 3, 3, 2, 0);
  EXPECT_EQ(rect, CRect(2, 0, 3, 3));
}

}  // namespace
