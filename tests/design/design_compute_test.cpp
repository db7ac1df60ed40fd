// What the design computes around its points: the length and validity of
// measures, the container's searches for lines and line ends and its
// recalculation of the pieces, and a piece's geometry at a size (the offset
// of its reference point, its outline and seam line as its darts and bands
// cut them, the inside test and its box). Curves are the scripted test
// double; outlines come from a boundary whose lists the test gives, since
// the outline assembly of the boundary is built elsewhere.
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "design/construct/darts.h"
#include "design/construct/type64_elements.h"
#include "design/core/design_element.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/core/piece_measure.h"
#include "design/curves/graded_curve.h"
#include "design/curves/graded_line.h"
#include "design/elements/boundary.h"
#include "design/points/graded_point.h"
#include "platform/archive.h"
#include "tests/design/support/scripted_curve.h"
#include "tests/support/le_bytes.h"

namespace {

using design_test::AddScriptedCurve;
using design_test::ScriptedCurve;

constexpr int kSizeCount = 3;
constexpr int kBaseSize = 1;

void SetUpSizes(CPatternData& data) {
  for (int i = 0; i < kSizeCount; ++i) data.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
  data.SetBaseSize(kBaseSize);
}

// A point of the test's own kind at a given position per size, so that the
// tests do not hang on how any point kind computes. Shown unless told
// otherwise.
class PlacedPoint : public CGradedPoint {
 public:
  PlacedPoint(CPatternData* owner, std::vector<CPoint> perSize)
      : CGradedPoint(kPointKindFree, owner, 0), m_PerSize(std::move(perSize)) {}

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    if (size < 0 || static_cast<size_t>(size) >= m_PerSize.size()) return FALSE;
    *x = m_PerSize[static_cast<size_t>(size)].x;
    *y = m_PerSize[static_cast<size_t>(size)].y;
    return TRUE;
  }

 private:
  std::vector<CPoint> m_PerSize;
};

// A point at `at` in every size.
PlacedPoint* AddPoint(CPatternData& data, CPoint at, int32_t state = 1) {
  auto point = std::make_unique<PlacedPoint>(&data, std::vector<CPoint>(kSizeCount, at));
  point->SetState(state);
  return static_cast<PlacedPoint*>(data.AddElement(std::move(point)));
}

// A shown point graded by hand: one position per size.
PlacedPoint* AddGradedPoint(CPatternData& data, const std::vector<CPoint>& perSize) {
  auto point = std::make_unique<PlacedPoint>(&data, perSize);
  point->SetState(1);
  return static_cast<PlacedPoint*>(data.AddElement(std::move(point)));
}

CGradedLine* AddLine(CPatternData& data, CGradedPoint* a, CGradedPoint* b) {
  return static_cast<CGradedLine*>(data.AddElement(std::make_unique<CGradedLine>(&data, 0, 0, 1, a, b)));
}

// A curve of any kind whose used part runs between two given points; it
// computes nothing.
class EndsCurve : public CGradedCurve {
 public:
  EndsCurve(CPatternData* owner, int32_t subtype)
      : CGradedCurve(subtype, owner, 0, 0, kDefaultCurveAttribute2, subtype % 2 == 0 ? TRUE : FALSE) {}
  void SetEndPoints(const CGradedPoint* start, const CGradedPoint* end) {
    SetStoredEnds(GetOwner()->GetElementIndex(start), GetOwner()->GetElementIndex(end), FALSE);
    ResolveEnds(-1);
  }
  void GetDefiningRefs(CGradedObjectList&) const override {}
  void GetFirstLastRefs(CGradedPoint*&, CGradedPoint*&) const override {}

 protected:
  void GetPointRefs(CGradedObjectList&) const override {}
};

EndsCurve* AddEndsCurve(CPatternData& data, int32_t subtype) {
  return static_cast<EndsCurve*>(data.AddElement(std::make_unique<EndsCurve>(&data, subtype)));
}

CPieceMeasure* AddMeasure(CPatternData& data, int32_t kind, CGradedObject* a, CGradedObject* b,
                          CGradedObject* curve = nullptr) {
  return data.AddMeasure(std::make_unique<CPieceMeasure>(&data, kind, a, b, curve, "M"));
}

// ---- Measures ------------------------------------------------------------------

TEST(DesignComputeMeasure, StraightLengthFollowsThePointsAtEachSize) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* origin = AddPoint(data, CPoint(0, 0));
  PlacedPoint* graded = AddGradedPoint(data, {CPoint(3, 4), CPoint(300, 400), CPoint(-600, -800)});
  CPieceMeasure* measure = AddMeasure(data, kMeasureKindDistance, origin, graded);
  EXPECT_EQ(measure->GetLength(0), 5);
  EXPECT_EQ(measure->GetLength(kBaseSize), 500);
  EXPECT_EQ(measure->GetLength(2), 1000);

  // Corners of the allowed range: the differences do not fit an int32 when
  // squared, nor summed in it.
  PlacedPoint* low = AddPoint(data, CPoint(-50'000'000, -50'000'000));
  PlacedPoint* high = AddPoint(data, CPoint(50'000'000, 50'000'000));
  EXPECT_EQ(AddMeasure(data, kMeasureKindDistance, low, high)->GetLength(0), 141'421'356);
  // The length is rounded, not cut: (0, 0) to (2, 2) is 2.83 -> 3, and
  // (2, 1) to (0, 0) is 2.24 -> 2.
  PlacedPoint* p22 = AddPoint(data, CPoint(2, 2));
  PlacedPoint* p21 = AddPoint(data, CPoint(2, 1));
  EXPECT_EQ(AddMeasure(data, kMeasureKindDistance, origin, p22)->GetLength(0), 3);
  EXPECT_EQ(AddMeasure(data, kMeasureKindDistance, p21, origin)->GetLength(0), 2);
}

TEST(DesignComputeMeasure, CurveLengthIsTheCurvesSectionWalkedForwards) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(100, 0));
  ScriptedCurve* curve = AddScriptedCurve(data, {CPoint(0, 0), CPoint(100, 0)});
  curve->sectionAnswer = 1234;
  CPieceMeasure* measure = AddMeasure(data, kMeasureKindCurve, a, b, curve);
  EXPECT_EQ(measure->GetLength(2), 1234);
  EXPECT_EQ(curve->sectionCall.calls, 1);
  EXPECT_EQ(curve->sectionCall.size, 2);
  EXPECT_EQ(curve->sectionCall.start, a);
  EXPECT_EQ(curve->sectionCall.end, b);
  EXPECT_EQ(curve->sectionCall.direction, 1);
}

TEST(DesignComputeMeasure, MissingOrMistypedReferencesMeasureNothing) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(300, 400));
  CGradedLine* line = AddLine(data, a, b);
  ScriptedCurve* curve = AddScriptedCurve(data, {CPoint(0, 0), CPoint(300, 400)});
  curve->sectionAnswer = 777;
  struct Case {
    const char* what;
    int32_t kind;
    CGradedObject* refs[3];
  };
  const Case kCases[] = {
      {"distance without its second point", kMeasureKindDistance, {a, nullptr, nullptr}},
      {"distance without its first point", kMeasureKindDistance, {nullptr, b, nullptr}},
      {"distance to a line", kMeasureKindDistance, {a, line, nullptr}},
      {"curve measure without its curve", kMeasureKindCurve, {a, b, nullptr}},
      {"curve measure on a line", kMeasureKindCurve, {a, b, line}},
      {"curve measure without its first point", kMeasureKindCurve, {nullptr, b, curve}},
      {"curve measure without its second point", kMeasureKindCurve, {a, nullptr, curve}},
      {"a kind that is no measure", 3, {a, b, curve}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPieceMeasure measure(&data, c.kind, c.refs[0], c.refs[1], c.refs[2], "M");
    EXPECT_EQ(measure.GetLength(kBaseSize), 0);
  }
  EXPECT_EQ(curve->sectionCall.calls, 0);
}

TEST(DesignComputeMeasure, ValidityAsksWhetherThePointsMayCarryAMeasure) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* shown = AddPoint(data, CPoint(0, 0));
  PlacedPoint* shown2 = AddPoint(data, CPoint(10, 0));
  PlacedPoint* hidden = AddPoint(data, CPoint(20, 0), 0);
  PlacedPoint* hiddenLineEnd = AddPoint(data, CPoint(30, 0), 0);
  PlacedPoint* hiddenCurveEnd = AddPoint(data, CPoint(40, 0), 0);
  AddLine(data, shown, hiddenLineEnd);
  EndsCurve* spline = AddEndsCurve(data, kCurveKindSpline);
  spline->SetEndPoints(hiddenCurveEnd, shown);
  EndsCurve* polyline = AddEndsCurve(data, kCurveKindPolyline);
  EndsCurve* closedPolyline = AddEndsCurve(data, kCurveKindClosedPolyline);
  EndsCurve* hiddenCurve = AddEndsCurve(data, kCurveKindClosedSpline);
  hiddenCurve->SetState(0);
  struct Case {
    const char* what;
    int32_t kind;
    CGradedObject* refs[3];
    int32_t valid;
  };
  const Case kCases[] = {
      {"two shown points", kMeasureKindDistance, {shown, shown2, nullptr}, 1},
      {"a hidden point that nothing ends on", kMeasureKindDistance, {shown, hidden, nullptr}, 0},
      {"the hidden point first", kMeasureKindDistance, {hidden, shown, nullptr}, 0},
      {"a hidden end of a line", kMeasureKindDistance, {hiddenLineEnd, shown, nullptr}, 1},
      {"a hidden end of a curve", kMeasureKindDistance, {shown, hiddenCurveEnd, nullptr}, 1},
      {"a missing point", kMeasureKindDistance, {shown, nullptr, nullptr}, 0},
      {"a curve instead of a point", kMeasureKindDistance, {shown, spline, nullptr}, 0},
      {"shown curve, points it may end on", kMeasureKindCurve, {hiddenCurveEnd, shown, spline}, 1},
      {"shown curve, a hidden loose point", kMeasureKindCurve, {shown, hidden, spline}, 0},
      {"polyline curve skips the point test", kMeasureKindCurve, {hidden, hidden, polyline}, 1},
      {"closed polyline curve too", kMeasureKindCurve, {hidden, shown, closedPolyline}, 1},
      {"hidden curve", kMeasureKindCurve, {shown, shown2, hiddenCurve}, 0},
      {"no curve", kMeasureKindCurve, {shown, shown2, nullptr}, 0},
      {"a point as the curve", kMeasureKindCurve, {shown, shown2, shown}, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPieceMeasure measure(&data, c.kind, c.refs[0], c.refs[1], c.refs[2], "M");
    measure.UpdateValidity(FALSE);
    measure.UpdateValidity(TRUE);
    EXPECT_EQ(measure.IsValid(), c.valid);
  }

  // Without a container nothing can be asked: invalid.
  CPieceMeasure orphan(nullptr, kMeasureKindDistance, shown, shown2, nullptr, "M");
  orphan.UpdateValidity(TRUE);
  EXPECT_EQ(orphan.IsValid(), 0);
}

TEST(DesignComputeMeasure, ACheckOfFalseMakesTheMeasureInvalidAndAsksNothingMore) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(10, 0));
  CPieceMeasure* measure = AddMeasure(data, kMeasureKindDistance, a, b);
  ASSERT_EQ(measure->IsValid(), 1);
  // Both points could carry the measure; with check 0 it is invalid all the
  // same.
  measure->UpdateValidity(FALSE);
  EXPECT_EQ(measure->IsValid(), 0);
  measure->UpdateValidity(TRUE);
  EXPECT_EQ(measure->IsValid(), 1);
}

// ---- The container's searches and recalculation ----------------------------------

TEST(DesignComputeContainer, IsLineEndPointAcceptsPointsInUseAndEndsOfLinesAndCurves) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* shown = AddPoint(data, CPoint(0, 0));
  PlacedPoint* through = AddPoint(data, CPoint(10, 0), 0);
  PlacedPoint* throughOnly = AddPoint(data, CPoint(20, 0), 0);
  PlacedPoint* end = AddPoint(data, CPoint(30, 0), 0);
  PlacedPoint* curveStart = AddPoint(data, CPoint(40, 0), 0);
  PlacedPoint* curveEnd = AddPoint(data, CPoint(50, 0), 0);
  PlacedPoint* loose = AddPoint(data, CPoint(60, 0), 0);
  // A full line ends on its through points; this one is drawn from
  // `through` to `end` only.
  CGradedLine* full = AddLine(data, shown, through);
  CGradedLine* part = AddLine(data, through, throughOnly);
  part->SetEnds(through, end);
  EndsCurve* curve = AddEndsCurve(data, kCurveKindSpline);
  curve->SetEndPoints(curveStart, curveEnd);
  // A curve that merely passes a point by its defining list does not count.
  ScriptedCurve* other = AddScriptedCurve(data, {CPoint(60, 0), CPoint(70, 0)});

  struct Case {
    const char* what;
    const CGradedObject* object;
    BOOL expected;
  };
  const Case kCases[] = {
      {"a shown point", shown, TRUE},
      {"a hidden through point of a full line", through, TRUE},
      {"a hidden through point the line is not drawn to", throughOnly, FALSE},
      {"a hidden end of a line", end, TRUE},
      {"a hidden start of a curve", curveStart, TRUE},
      {"a hidden end of a curve", curveEnd, TRUE},
      {"a hidden point nothing ends on", loose, FALSE},
      {"no object", nullptr, FALSE},
      {"a line", full, FALSE},
      {"a curve", other, FALSE},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(data.IsLineEndPoint(c.object), c.expected);
  }
}

TEST(DesignComputeContainer, FindLineUsingAndFindLineTakeTheFirstMatchingLine) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(10, 0));
  PlacedPoint* c = AddPoint(data, CPoint(20, 0));
  PlacedPoint* endOnly = AddPoint(data, CPoint(30, 0));
  PlacedPoint* onCurve = AddPoint(data, CPoint(40, 0));
  EndsCurve* curve = AddEndsCurve(data, kCurveKindSpline);
  curve->SetEndPoints(onCurve, onCurve);
  CGradedLine* bc = AddLine(data, b, c);
  CGradedLine* ab = AddLine(data, a, b);
  AddLine(data, b, a);  // through a and b too, after ab
  ab->SetEnds(a, endOnly);

  CGradedLine* found = nullptr;
  EXPECT_TRUE(data.FindLineUsing(b, &found));
  EXPECT_EQ(found, bc);
  EXPECT_TRUE(data.FindLineUsing(a, &found));
  EXPECT_EQ(found, ab);
  // A drawn end counts as a use.
  EXPECT_TRUE(data.FindLineUsing(endOnly, &found));
  EXPECT_EQ(found, ab);
  // Only lines are searched: a curve that ends on the point is not one.
  found = bc;
  EXPECT_FALSE(data.FindLineUsing(onCurve, &found));
  EXPECT_EQ(found, nullptr);
  EXPECT_FALSE(data.FindLineUsing(nullptr, &found));

  EXPECT_TRUE(data.FindLine(a, b, &found));
  EXPECT_EQ(found, ab);
  EXPECT_TRUE(data.FindLine(b, a, &found));
  EXPECT_EQ(found, ab);
  EXPECT_TRUE(data.FindLine(c, b, &found));
  EXPECT_EQ(found, bc);
  // Through points only: `endOnly` is where `ab` is drawn to, not through.
  EXPECT_FALSE(data.FindLine(a, endOnly, &found));
  EXPECT_EQ(found, nullptr);
  EXPECT_FALSE(data.FindLine(a, c, &found));
  EXPECT_FALSE(data.FindLine(nullptr, nullptr, &found));
}

TEST(DesignComputeContainer, UpdateMeasuresReachesOnlyTheMeasuresOnTheObject) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(10, 0));
  PlacedPoint* c = AddPoint(data, CPoint(20, 0));
  CPieceMeasure* onA = AddMeasure(data, kMeasureKindDistance, a, b);
  CPieceMeasure* onC = AddMeasure(data, kMeasureKindDistance, b, c);
  CPieceMeasure* alsoOnA = AddMeasure(data, kMeasureKindDistance, c, a);

  // Hide a: the measures on it turn invalid, the other stays as it was
  // (invalid here, to show it is not asked again).
  onC->UpdateValidity(FALSE);
  a->SetState(0);
  data.UpdateMeasures(a);
  EXPECT_EQ(onA->IsValid(), 0);
  EXPECT_EQ(alsoOnA->IsValid(), 0);
  EXPECT_EQ(onC->IsValid(), 0);

  a->SetState(1);
  data.UpdateMeasures(a);
  EXPECT_EQ(onA->IsValid(), 1);
  EXPECT_EQ(alsoOnA->IsValid(), 1);
  EXPECT_EQ(onC->IsValid(), 0);

  data.UpdateMeasures(nullptr);
  EXPECT_EQ(onC->IsValid(), 0);
}

// An element that logs each size it computes.
class LoggingElement : public CDesignElement {
 public:
  LoggingElement(CPatternRecord* owner, int32_t type) : CDesignElement(owner, type) {}
  BOOL Calculate(int32_t size) override {
    calculated.push_back(size);
    ClearDirty(size);
    return TRUE;
  }
  std::vector<int32_t> calculated;
};

TEST(DesignComputeContainer, RecalcPiecesHandsTheSizeToEveryPiece) {
  CPatternData data;
  SetUpSizes(data);
  std::vector<LoggingElement*> elements;
  for (int i = 0; i < 2; ++i) {
    CPatternRecord* piece = data.AddPiece(std::make_unique<CPatternRecord>(&data));
    for (int32_t type : {kElementTypeBoundary, kElementTypeConstruct}) {
      elements.push_back(
          static_cast<LoggingElement*>(piece->AddElement(std::make_unique<LoggingElement>(piece, type))));
    }
  }
  data.RecalcPieces(2);
  for (LoggingElement* e : elements) EXPECT_EQ(e->calculated, std::vector<int32_t>({2}));
  data.RecalcPieces(-1);
  for (LoggingElement* e : elements) EXPECT_EQ(e->calculated, std::vector<int32_t>({2, 0, 1, 2}));
}

// ---- A piece's geometry ---------------------------------------------------------

TEST(DesignComputeRecord, RefOffsetIsTheReferencePointsMoveFromTheBaseSize) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* ref = AddGradedPoint(data, {CPoint(90, 210), CPoint(100, 200), CPoint(130, 160)});
  PlacedPoint* other = AddPoint(data, CPoint(5, 5));
  CGradedLine* line = AddLine(data, ref, other);
  CPatternRecord piece(&data);
  EXPECT_EQ(piece.GetRefOffset(0), CSize(0, 0));
  piece.SetRefPoint(ref);
  // At the base size the point has a position, but no offset.
  EXPECT_EQ(piece.GetRefOffset(kBaseSize), CSize(0, 0));
  EXPECT_EQ(piece.GetRefOffset(0), CSize(-10, 10));
  EXPECT_EQ(piece.GetRefOffset(2), CSize(30, -40));
  // A reference point that is no construction point gives no offset.
  piece.SetRefPoint(line);
  EXPECT_EQ(piece.GetRefOffset(2), CSize(0, 0));
}

// A boundary whose outline and seam line of every size the test gives. Its
// seam entries (which decide whether the piece has a seam line) come from a
// record it reads.
class ScriptedBoundary : public CPieceBoundary {
 public:
  explicit ScriptedBoundary(CPatternRecord* owner) : CPieceBoundary(owner) {}
  BOOL GetOutline(int32_t, PointList& out) override {
    out = outline;
    return TRUE;
  }
  BOOL GetSeamLine(int32_t, PointList& out) override {
    out = seamLine;
    return TRUE;
  }
  // Reads a record of no outline entries and one seam entry of these widths.
  void GiveSeamEntry(int32_t widthIn, int32_t widthOut) {
    LeBytes record;
    record.I32(0).I32(1).I32(-1).I32(widthIn).I32(widthOut).I32(1).I32(0);
    ArchiveReader archive{std::string_view(record.Bytes())};
    ASSERT_TRUE(Load(archive));
  }
  PointList outline;
  PointList seamLine;
};

// The order in which the piece's darts and bands were asked to cut.
using CutLog = std::vector<std::string>;

// A dart that marks the list it is given with one point, (marker, 0) on the
// outline and (marker, 1) on the seam line.
class MarkingDart : public CConstructElement {
 public:
  MarkingDart(CPatternRecord* owner, int32_t marker, CutLog* log)
      : CConstructElement(owner, kConstructSubtype1), m_Marker(marker), m_Log(log) {}
  void MergeIntoOutline(int32_t size, PointList& outline) override { Mark("dart outline", size, outline, 0); }
  void MergeIntoSeamLine(int32_t size, PointList& seamLine) override { Mark("dart seam", size, seamLine, 1); }

 private:
  void Mark(const char* what, int32_t size, PointList& list, int32_t y) {
    m_Log->push_back(std::string(what) + " " + std::to_string(size));
    list.push_back(CPoint(m_Marker, y));
  }
  int32_t m_Marker;
  CutLog* m_Log;
};

// The same for a band.
class MarkingBand : public CType64Element {
 public:
  MarkingBand(CPatternRecord* owner, int32_t marker, CutLog* log)
      : CType64Element(owner, 1), m_Marker(marker), m_Log(log) {}
  void ApplyToOutline(int32_t size, PointList& outline) override { Mark("band outline", size, outline, 0); }
  void ApplyToSeamLine(int32_t size, PointList& seamLine) override { Mark("band seam", size, seamLine, 1); }

 private:
  void Mark(const char* what, int32_t size, PointList& list, int32_t y) {
    m_Log->push_back(std::string(what) + " " + std::to_string(size));
    list.push_back(CPoint(m_Marker, y));
  }
  int32_t m_Marker;
  CutLog* m_Log;
};

const PointList kSquare = {CPoint(0, 0), CPoint(100, 0), CPoint(100, 100), CPoint(0, 100)};

TEST(DesignComputeRecord, APieceWithoutBoundaryHasNoOutline) {
  CPatternData data;
  SetUpSizes(data);
  CPatternRecord piece(&data);
  CutLog log;
  piece.AddElement(std::make_unique<MarkingDart>(&piece, 1, &log));
  // An element of type 1 that is not a boundary is no boundary either.
  piece.AddElement(std::make_unique<LoggingElement>(&piece, kElementTypeBoundary));

  PointList list = {CPoint(7, 7)};
  EXPECT_FALSE(piece.GetOutline(0, list));
  EXPECT_TRUE(list.empty());
  list = {CPoint(7, 7)};
  EXPECT_FALSE(piece.GetCutOutline(0, list));
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(piece.HasSeamLine());
  EXPECT_FALSE(piece.GetSeamLine(0, list));
  EXPECT_FALSE(piece.GetCutSeamLine(0, list));
  EXPECT_FALSE(piece.HasNegativeSeamWidth());
  EXPECT_FALSE(piece.PtInside(50, 50, 0));
  EXPECT_TRUE(log.empty());
}

TEST(DesignComputeRecord, ABoundaryWithNoOutlineYetIsHandledSafely) {
  CPatternData data;
  SetUpSizes(data);
  CPatternRecord piece(&data);
  piece.SetRefPoint(AddGradedPoint(data, {CPoint(1, 1), CPoint(2, 2), CPoint(3, 3)}));
  piece.AddElement(std::make_unique<CPieceBoundary>(&piece));
  // A dart and a band of the kinds read from files cut nothing into an empty
  // outline.
  piece.AddElement(std::make_unique<CConstructElement1>(&piece));
  piece.AddElement(std::make_unique<CType64Element1>(&piece));

  for (int32_t size : {0, kBaseSize, 2, -1, kSizeCount, INT32_MAX}) {
    SCOPED_TRACE(size);
    PointList list;
    piece.GetOutline(size, list);
    EXPECT_TRUE(list.empty());
    piece.GetCutOutline(size, list);
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(piece.PtInside(0, 0, size));
    piece.GetBoundRect(size);
  }
  // A boundary with no outline has an empty box, and so has a piece without
  // elements.
  CPatternRecord boundaryOnly(&data);
  boundaryOnly.AddElement(std::make_unique<CPieceBoundary>(&boundaryOnly));
  for (int32_t size = 0; size < kSizeCount; ++size) EXPECT_TRUE(boundaryOnly.GetBoundRect(size).IsRectEmpty());
  EXPECT_TRUE(CPatternRecord(&data).GetBoundRect(0).IsRectEmpty());
}

TEST(DesignComputeRecord, CutOutlineSplicesEveryDartAndBandInListOrder) {
  CPatternData data;
  SetUpSizes(data);
  CPatternRecord piece(&data);
  CutLog log;
  piece.AddElement(std::make_unique<MarkingDart>(&piece, 1, &log));
  auto* boundary = static_cast<ScriptedBoundary*>(piece.AddElement(std::make_unique<ScriptedBoundary>(&piece)));
  boundary->outline = kSquare;
  piece.AddElement(std::make_unique<MarkingBand>(&piece, 2, &log));
  // Type codes that the element's class does not back are passed over.
  piece.AddElement(std::make_unique<LoggingElement>(&piece, kElementTypeConstruct));
  piece.AddElement(std::make_unique<LoggingElement>(&piece, kElementTypeShape));
  piece.AddElement(std::make_unique<MarkingDart>(&piece, 3, &log));

  PointList cut;
  ASSERT_TRUE(piece.GetCutOutline(2, cut));
  PointList expected = kSquare;
  expected.insert(expected.end(), {CPoint(1, 0), CPoint(2, 0), CPoint(3, 0)});
  EXPECT_EQ(cut, expected);
  EXPECT_EQ(log, CutLog({"dart outline 2", "band outline 2", "dart outline 2"}));
  // The outline itself is a copy that the cut leaves alone.
  PointList outline;
  ASSERT_TRUE(piece.GetOutline(2, outline));
  EXPECT_EQ(outline, kSquare);

  // Without seam entries the piece has no seam line, and nothing is cut.
  boundary->seamLine = {CPoint(-10, -10), CPoint(110, -10), CPoint(110, 110)};
  log.clear();
  EXPECT_FALSE(piece.HasSeamLine());
  EXPECT_FALSE(piece.GetSeamLine(2, cut));
  EXPECT_FALSE(piece.GetCutSeamLine(2, cut));
  EXPECT_TRUE(log.empty());

  boundary->GiveSeamEntry(10, 10);
  EXPECT_TRUE(piece.HasSeamLine());
  EXPECT_FALSE(piece.HasNegativeSeamWidth());
  ASSERT_TRUE(piece.GetCutSeamLine(0, cut));
  expected = boundary->seamLine;
  expected.insert(expected.end(), {CPoint(1, 1), CPoint(2, 1), CPoint(3, 1)});
  EXPECT_EQ(cut, expected);
  EXPECT_EQ(log, CutLog({"dart seam 0", "band seam 0", "dart seam 0"}));
}

TEST(DesignComputeRecord, NegativeSeamWidthIsTheBoundarys) {
  CPatternData data;
  SetUpSizes(data);
  CPatternRecord piece(&data);
  auto* boundary = static_cast<ScriptedBoundary*>(piece.AddElement(std::make_unique<ScriptedBoundary>(&piece)));
  boundary->GiveSeamEntry(-10, 0);
  EXPECT_TRUE(piece.HasSeamLine());
  EXPECT_TRUE(piece.HasNegativeSeamWidth());
}

TEST(DesignComputeRecord, PtInsideTestsTheOutlineOfTheSize) {
  CPatternData data;
  SetUpSizes(data);
  CPatternRecord piece(&data);
  auto* boundary = static_cast<ScriptedBoundary*>(piece.AddElement(std::make_unique<ScriptedBoundary>(&piece)));
  boundary->outline = kSquare;
  struct Case {
    CPoint at;
    BOOL inside;
  };
  const Case kCases[] = {{CPoint(50, 50), TRUE}, {CPoint(150, 50), FALSE}, {CPoint(50, -1), FALSE},
                         {CPoint(-50, 50), FALSE}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.at.x << "," << c.at.y);
    EXPECT_EQ(piece.PtInside(c.at.x, c.at.y, 0), c.inside);
  }
  // Two points enclose nothing.
  boundary->outline = {CPoint(0, 0), CPoint(100, 100)};
  EXPECT_FALSE(piece.PtInside(50, 50, 0));
}

// An element of a given type and box.
class BoxElement : public CDesignElement {
 public:
  BoxElement(CPatternRecord* owner, int32_t type, CRect box) : CDesignElement(owner, type), m_Box(box) {}
  CRect GetBoundRect(int32_t) const override { return m_Box; }

 private:
  CRect m_Box;
};

TEST(DesignComputeRecord, BoundRectAlignsEverySizeOnTheReferencePoint) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* ref = AddGradedPoint(data, {CPoint(0, 0), CPoint(0, 0), CPoint(10, -5)});
  CPatternRecord piece(&data);
  piece.SetRefPoint(ref);
  piece.AddElement(std::make_unique<BoxElement>(&piece, 128, CRect(200, 200, 220, 220)));
  piece.AddElement(std::make_unique<BoxElement>(&piece, 2, CRect(100, 100, 110, 110)));
  piece.AddElement(std::make_unique<BoxElement>(&piece, 8, CRect(-30, 0, -20, 5)));
  // An empty box adds nothing, wherever it is moved.
  piece.AddElement(std::make_unique<BoxElement>(&piece, 4, CRect()));

  EXPECT_EQ(piece.GetBoundRect(kBaseSize), CRect(-30, 0, 220, 220));
  // At size 2 the reference point stands (10, -5) away: the point element
  // goes back by that, the two-point and label elements stay.
  EXPECT_EQ(piece.GetBoundRect(2), CRect(-30, 0, 210, 225));
  piece.AddElement(std::make_unique<BoxElement>(&piece, 16, CRect(-100, -100, -90, -90)));
  EXPECT_EQ(piece.GetBoundRect(2), CRect(-110, -95, 210, 225));
  EXPECT_EQ(piece.GetBoundRect(kBaseSize), CRect(-100, -100, 220, 220));

  // A box at the edge of the int range is held there, not wrapped.
  CPatternRecord far(&data);
  far.SetRefPoint(AddGradedPoint(data, {CPoint(0, 0), CPoint(50'000'000, 0), CPoint(-50'000'000, 0)}));
  far.AddElement(std::make_unique<BoxElement>(&far, 128, CRect(INT32_MAX - 200'000'000, 0, INT32_MAX - 10, 10)));
  const CRect moved = far.GetBoundRect(2);
  EXPECT_EQ(moved, CRect(INT32_MAX - 100'000'000, 0, INT32_MAX, 10));
}

}  // namespace
