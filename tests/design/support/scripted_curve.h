// A curve for the tests of the objects built on curves: its whole polyline is
// given per size (or one for every size), and its measuring operations answer
// what the test scripts, recording the arguments they were asked with. So a
// test of a point kind shows what the kind asks of a curve and what it makes
// of the answer, without depending on how a curve kind computes.
#pragma once

#include <cstdint>
#include <map>
#include <utility>

#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/geometry/polyline.h"

namespace design_test {

// One scripted answer: the result and the point written with it.
struct CurveAnswer {
  BOOL result = FALSE;
  CPoint point;
};

// The arguments of the last measuring call.
struct CurveCall {
  int calls = 0;
  int32_t size = -1;
  const CGradedObject* start = nullptr;
  const CGradedObject* end = nullptr;
  int32_t direction = -1;
  double ratio = 0.0;
  int32_t length = 0;
};

class ScriptedCurve : public CGradedCurve {
 public:
  // Curve kind 1 (open) or 2 (closed), shown.
  ScriptedCurve(CPatternData* owner, bool closed)
      : CGradedCurve(closed ? kCurveKindClosedSpline : kCurveKindSpline, owner, 0, 0, kDefaultCurveAttribute2,
                     closed ? TRUE : FALSE) {}

  // The whole polyline of every size without one of its own.
  PointList polyline;
  std::map<int32_t, PointList> polylineAt;
  // Sizes at which GetFullPoints fails (with an empty list).
  std::map<int32_t, bool> failsAt;

  CurveAnswer ratioAnswer, ratioBetweenAnswer, lengthAnswer, linkedAnswer;
  int32_t sectionAnswer = 0;
  CurveCall ratioCall, ratioBetweenCall, lengthCall, sectionCall, linkedCall;
  int fullPointCalls = 0;

  BOOL GetFullPoints(int32_t size, PointList& out) override {
    ++fullPointCalls;
    out.clear();
    if (failsAt.count(size)) return FALSE;
    auto own = polylineAt.find(size);
    out = own != polylineAt.end() ? own->second : polyline;
    return TRUE;
  }
  BOOL GetPoints(int32_t size, PointList& out) override { return GetFullPoints(size, out); }

  BOOL PointAtRatio(int32_t size, CGradedPoint* start, int32_t direction, double ratio, int32_t* x,
                    int32_t* y) override {
    ratioCall = Record(ratioCall, size, start, nullptr, direction, ratio, 0);
    return Answer(ratioAnswer, x, y);
  }
  BOOL PointAtRatioBetween(int32_t size, CGradedPoint* a, CGradedPoint* b, int32_t direction, double ratio,
                           int32_t* x, int32_t* y) override {
    ratioBetweenCall = Record(ratioBetweenCall, size, a, b, direction, ratio, 0);
    return Answer(ratioBetweenAnswer, x, y);
  }
  BOOL PointAtLength(int32_t size, CGradedPoint* start, int32_t direction, int32_t length, int32_t* x,
                     int32_t* y) override {
    lengthCall = Record(lengthCall, size, start, nullptr, direction, 0.0, length);
    return Answer(lengthAnswer, x, y);
  }
  int32_t GetSection(int32_t size, CGradedObject* a, CGradedObject* b, int32_t direction) override {
    sectionCall = Record(sectionCall, size, a, b, direction, 0.0, 0);
    return sectionAnswer;
  }
  BOOL CalcLinkedPoint(int32_t size, CGradedPoint* point, CPoint& out) override {
    linkedCall = Record(linkedCall, size, point, nullptr, -1, 0.0, 0);
    if (linkedAnswer.result) out = linkedAnswer.point;
    return linkedAnswer.result;
  }

  void GetDefiningRefs(CGradedObjectList&) const override {}
  void GetFirstLastRefs(CGradedPoint*&, CGradedPoint*&) const override {}

 protected:
  void GetPointRefs(CGradedObjectList&) const override {}

 private:
  static CurveCall Record(CurveCall call, int32_t size, const CGradedObject* start, const CGradedObject* end,
                          int32_t direction, double ratio, int32_t length) {
    ++call.calls;
    call.size = size;
    call.start = start;
    call.end = end;
    call.direction = direction;
    call.ratio = ratio;
    call.length = length;
    return call;
  }
  static BOOL Answer(const CurveAnswer& answer, int32_t* x, int32_t* y) {
    if (answer.result) {
      *x = answer.point.x;
      *y = answer.point.y;
    }
    return answer.result;
  }
};

// A scripted curve added to `data`, open or closed, with one polyline for
// every size.
inline ScriptedCurve* AddScriptedCurve(CPatternData& data, PointList polyline, bool closed = false) {
  auto curve = std::make_unique<ScriptedCurve>(&data, closed);
  curve->polyline = std::move(polyline);
  return static_cast<ScriptedCurve*>(data.AddElement(std::move(curve)));
}

}  // namespace design_test
