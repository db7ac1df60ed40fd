// The piece's operations over its elements for the design's editing: formula
// bookkeeping when a row or measure goes, reference replacement, text codes,
// the piece's area and perimeter, and the element searches.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/design_element.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/core/piece_measure.h"
#include "design/curves/graded_line.h"
#include "design/elements/boundary.h"
#include "design/elements/reference_elements.h"
#include "design/points/free_point.h"
#include "design/points/graded_point.h"
#include "tests/design/support/scripted_curve.h"

namespace {

constexpr int32_t kSizes = 3;
constexpr int32_t kBase = 1;

// An element whose answers the test scripts and whose calls it counts.
class ScriptedElement : public CDesignElement {
 public:
  ScriptedElement(CPatternRecord* owner, int32_t type) : CDesignElement(owner, type) {}

  BOOL uses = FALSE;
  int calls = 0;
  CGradedObject* replacedOld = nullptr;
  CGradedObject* replacedNew = nullptr;
  bool hits = false;
  double distance = 0.0;
  int links = 0;
  CRect box;
  mutable CPoint turnedAbout;
  mutable double turnSin = 0.0, turnCos = 0.0;

  BOOL FreezeIfUsesSizeRow(CSizeTableRow*) override { return Answer(); }
  BOOL InvalidateIfUsesSizeRow(CSizeTableRow*) override { return Answer(); }
  BOOL FreezeIfUsesMeasure(CPieceMeasure*) override { return Answer(); }
  BOOL InvalidateIfUsesMeasure(CPieceMeasure*) override { return Answer(); }
  void ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject) override {
    replacedOld = oldObject;
    replacedNew = newObject;
  }
  BOOL HitTest(int32_t, int32_t, double, CPoint* point, double* d) override {
    if (!hits) return FALSE;
    *point = CPoint(static_cast<int32_t>(distance), 0);
    *d = distance;
    return TRUE;
  }
  void LinkReferences() override { ++links; }
  CRect GetBoundRect(int32_t) const override { return box; }
  CRect GetBoundRectAt(int32_t, int32_t cx, int32_t cy, double sinA, double cosA) const override {
    turnedAbout = CPoint(cx, cy);
    turnSin = sinA;
    turnCos = cosA;
    return box;
  }
  BOOL HitTestPoint(int32_t, int32_t, double, double* d) override {
    if (!hits) return FALSE;
    *d = distance;
    return TRUE;
  }

 private:
  BOOL Answer() {
    ++calls;
    return uses;
  }
};

// A point whose position at each size the test gives.
class PlacedPoint : public CGradedPoint {
 public:
  PlacedPoint(CPatternData* owner, std::vector<CPoint> at)
      : CGradedPoint(kPointKindFree, owner, 0), at_(std::move(at)) {
    SetState(1);
  }

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    if (size < 0 || size >= static_cast<int32_t>(at_.size())) return FALSE;
    *x = at_[static_cast<size_t>(size)].x;
    *y = at_[static_cast<size_t>(size)].y;
    return TRUE;
  }

 private:
  std::vector<CPoint> at_;
};

class PatternRecordEditing : public ::testing::Test {
 protected:
  PatternRecordEditing() {
    for (int32_t i = 0; i < kSizes; ++i) data_.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data_.SetBaseSize(kBase);
    piece_ = data_.AddPiece(std::make_unique<CPatternRecord>(&data_));
  }
  ScriptedElement* Scripted(int32_t type, BOOL uses = FALSE) {
    auto* element = static_cast<ScriptedElement*>(piece_->AddElement(std::make_unique<ScriptedElement>(piece_, type)));
    element->uses = uses;
    return element;
  }
  CFreePoint* Point(CPoint p) {
    auto* point = static_cast<CFreePoint*>(data_.AddElement(std::make_unique<CFreePoint>(&data_, 0, p)));
    point->SetState(1);
    return point;
  }
  CGradedLine* Line(CGradedPoint* a, CGradedPoint* b) {
    return static_cast<CGradedLine*>(data_.AddElement(std::make_unique<CGradedLine>(&data_, 0, 0, 1, a, b)));
  }

  CPatternData data_;
  CPatternRecord* piece_ = nullptr;
};

TEST_F(PatternRecordEditing, EveryElementIsAskedWhenARowOrMeasureGoes) {
  // Two elements use the row or measure: both must freeze (or be marked),
  // not only the first; the answer says whether any did.
  using Operation = BOOL (*)(CPatternRecord&);
  struct Case {
    const char* name;
    Operation run;
  };
  const Case kCases[] = {
      {"freeze on measure", [](CPatternRecord& r) { return r.FreezeIfUsesMeasure(nullptr); }},
      {"invalidate on measure", [](CPatternRecord& r) { return r.InvalidateIfUsesMeasure(nullptr); }},
      {"freeze on row", [](CPatternRecord& r) { return r.FreezeIfUsesSizeRow(nullptr); }},
      {"invalidate on row", [](CPatternRecord& r) { return r.InvalidateIfUsesSizeRow(nullptr); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternRecord piece(&data_);
    auto add = [&](BOOL uses) {
      auto* e = static_cast<ScriptedElement*>(piece.AddElement(std::make_unique<ScriptedElement>(&piece, 4)));
      e->uses = uses;
      return e;
    };
    ScriptedElement* first = add(TRUE);
    ScriptedElement* between = add(FALSE);
    ScriptedElement* last = add(TRUE);
    EXPECT_TRUE(c.run(piece));
    EXPECT_EQ(first->calls, 1);
    EXPECT_EQ(between->calls, 1);
    EXPECT_EQ(last->calls, 1);

    first->uses = last->uses = FALSE;
    EXPECT_FALSE(c.run(piece));
  }
}

TEST_F(PatternRecordEditing, ReplaceReferenceReachesEveryElementAndTheReferencePoint) {
  CFreePoint* oldPoint = Point({0, 0});
  CFreePoint* newPoint = Point({5, 5});
  ScriptedElement* a = Scripted(4);
  ScriptedElement* b = Scripted(16);
  piece_->SetRefPoint(oldPoint);
  piece_->ReplaceReference(oldPoint, newPoint);
  EXPECT_EQ(a->replacedOld, oldPoint);
  EXPECT_EQ(b->replacedNew, newPoint);
  EXPECT_EQ(piece_->GetRefPoint(), newPoint);

  // Another reference point stays.
  piece_->ReplaceReference(oldPoint, nullptr);
  EXPECT_EQ(piece_->GetRefPoint(), newPoint);
}

TEST_F(PatternRecordEditing, ExpandTextFillsInTheCodes) {
  piece_->SetPieceName("Front");
  piece_->SetAnnotation("cut 2");
  piece_->SetCategory("top");
  piece_->SetQuantity(3);
  data_.SetName1("one");
  data_.SetName2("two");
  data_.SetName3("three");
  struct Case {
    const char* text;
    int32_t size;
    const char* expanded;
  };
  const Case kCases[] = {
      {"&P-&S", 2, "Front-S2"},
      {"&p-&s", 0, "Front-S0"},
      {"&C/&M/&N", 0, "cut 2/top/3"},
      {"&O&T&U", 0, "onetwothree"},
      {"size &", 0, "size &"},
      {"&x &&", 0, "&x &&"},
      {"&S", 7, ""},
      {"", 0, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(piece_->ExpandText(c.text, c.size).str(), c.expanded);
  }
}

TEST_F(PatternRecordEditing, AreaAndPerimeterOfTheOutline) {
  CFreePoint* a = Point({0, 0});
  CFreePoint* b = Point({300, 0});
  CFreePoint* c = Point({0, 400});
  auto entry = [](CGradedObject* line, CGradedPoint* start, CGradedPoint* end) {
    CBoundaryEntry e;
    e.line = line;
    e.startPoint = start;
    e.endPoint = end;
    return e;
  };
  EXPECT_EQ(piece_->GetPerimeter(kBase, FALSE), 0);
  EXPECT_EQ(piece_->GetArea(kBase, FALSE), 0.0);

  auto* boundary = static_cast<CPieceBoundary*>(piece_->AddElement(std::make_unique<CPieceBoundary>(piece_)));
  boundary->SetEntries({entry(Line(a, b), a, b), entry(Line(b, c), b, c), entry(Line(c, a), c, a)});
  // 300 + 500 + 400: the closing edge back to the first point counts.
  EXPECT_EQ(piece_->GetPerimeter(kBase, FALSE), 1200);
  EXPECT_DOUBLE_EQ(std::abs(piece_->GetArea(kBase, FALSE)), 60000.0);
  // Without a seam allowance the seam asks for the outline.
  EXPECT_EQ(piece_->GetPerimeter(kBase, TRUE), 1200);

  PointList withMarks;
  EXPECT_TRUE(piece_->GetOutlineWithMarks(kBase, withMarks));
  EXPECT_EQ(withMarks.size(), 3u);
}

TEST_F(PatternRecordEditing, ElementSearchesMatchTheirReferences) {
  CFreePoint* a = Point({0, 0});
  CFreePoint* b = Point({10, 0});
  CFreePoint* other = Point({20, 0});
  auto* pointElement =
      piece_->AddElement(std::make_unique<CPiecePointElement>(piece_, 0, static_cast<CGradedPoint*>(b)));
  auto* lineElement = piece_->AddElement(std::make_unique<CPieceLineElement>(piece_, 0, 0, a, b));
  auto* open = design_test::AddScriptedCurve(data_, {{0, 0}, {10, 0}}, false);
  auto* closed = design_test::AddScriptedCurve(data_, {{0, 0}, {10, 0}, {0, 10}}, true);
  auto* openElement = piece_->AddElement(std::make_unique<CPieceCurveElement>(piece_, 0, 0, open, a, b));
  auto* closedElement = piece_->AddElement(std::make_unique<CPieceCurveElement>(piece_, 0, 0, closed, a, b));

  CDesignElement* found = nullptr;
  EXPECT_TRUE(piece_->FindPointElement(b, &found));
  EXPECT_EQ(found, pointElement);
  EXPECT_FALSE(piece_->FindPointElement(a, &found));

  struct Case {
    const char* name;
    const CGradedObject* curve;  // null: a line search
    const CGradedObject* first;
    const CGradedObject* second;
    CDesignElement* expected;  // null: none
  };
  const Case kCases[] = {
      {"line as stored", nullptr, a, b, lineElement},
      {"line reversed", nullptr, b, a, lineElement},
      {"line elsewhere", nullptr, a, other, nullptr},
      {"open curve reversed", open, b, a, openElement},
      {"closed curve as stored", closed, a, b, closedElement},
      {"closed curve reversed is another part", closed, b, a, nullptr},
      {"no curve", a, a, b, nullptr},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CDesignElement* result = nullptr;
    const BOOL hit = c.curve ? piece_->FindCurveElement(c.curve, c.first, c.second, &result)
                             : piece_->FindLineElement(c.first, c.second, &result);
    EXPECT_EQ(hit != FALSE, c.expected != nullptr);
    EXPECT_EQ(result, c.expected);
  }
}

TEST_F(PatternRecordEditing, HitTestsTakeTheNearestElementOfTheMask) {
  ScriptedElement* far = Scripted(4);
  ScriptedElement* nearer = Scripted(16);
  ScriptedElement* same = Scripted(16);
  ScriptedElement* missed = Scripted(16);
  far->hits = nearer->hits = same->hits = true;
  far->distance = 6.0;
  nearer->distance = 2.0;
  same->distance = 2.0;  // not strictly nearer: the earlier stays
  missed->distance = 0.0;

  CDesignElement* found = nullptr;
  CPoint point;
  double distance = 0.0;
  ASSERT_TRUE(piece_->HitTestElements(0, 0, 10.0, -1, &found, &point, &distance));
  EXPECT_EQ(found, nearer);
  EXPECT_EQ(distance, 2.0);
  ASSERT_TRUE(piece_->HitTestPointElements(0, 0, 10.0, 4, &found, &distance));
  EXPECT_EQ(found, far);
  found = nullptr;
  EXPECT_FALSE(piece_->HitTestElements(0, 0, 10.0, 8, &found, &point, &distance));
  EXPECT_EQ(found, nullptr);
}

TEST_F(PatternRecordEditing, AMeasureStandsOffThroughTheGivenPoint) {
  // The offset is read back from a point beside the measured part; the
  // layout then puts the dimension through that point, on its side.
  CFreePoint* a = Point({0, 0});
  CFreePoint* b = Point({100, 0});
  auto* curve = design_test::AddScriptedCurve(data_, {{0, 0}, {50, 0}, {100, 0}});
  struct Case {
    const char* name;
    int32_t kind;
    CPoint through;
    int32_t offset;
  };
  const Case kCases[] = {
      {"distance, right side", kMeasureKindDistance, {50, -30}, 30},
      {"distance, left side", kMeasureKindDistance, {20, 40}, -40},
      {"curve, right side", kMeasureKindCurve, {40, -25}, 25},
      {"curve, left side", kMeasureKindCurve, {70, 12}, -12},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPieceMeasure measure(&data_, c.kind, a, b, curve, "m");
    measure.UpdateLayout();
    measure.SetOffsetFromPoint(c.through.x, c.through.y);
    int32_t mode = 0, offset = 0;
    CPoint labelOffset;
    measure.GetDisplay(&mode, &offset, &labelOffset);
    EXPECT_EQ(offset, c.offset);
    EXPECT_TRUE(measure.IsLayoutDirty());
    measure.UpdateLayout();
    EXPECT_EQ(measure.GetDimensionStart(), CPoint(0, c.through.y));
    EXPECT_EQ(measure.GetDimensionEnd(), CPoint(100, c.through.y));
  }

  // Without its points nothing changes.
  CPieceMeasure loose(&data_, kMeasureKindDistance, a, nullptr, nullptr, "m");
  int32_t mode = 0, before = 0, after = 0;
  CPoint labelOffset;
  loose.GetDisplay(&mode, &before, &labelOffset);
  loose.SetOffsetFromPoint(5, 5);
  loose.GetDisplay(&mode, &after, &labelOffset);
  EXPECT_EQ(after, before);
}

TEST_F(PatternRecordEditing, MovingAMeasureLabelAgreesWithANewLayout) {
  CFreePoint* a = Point({0, 0});
  CFreePoint* b = Point({100, 0});
  CPieceMeasure measure(&data_, kMeasureKindDistance, a, b, nullptr, "m");
  measure.UpdateLayout();
  const CRect before = measure.GetLabelRect();
  measure.MoveLabel(5, -3);
  const CRect moved = measure.GetLabelRect();
  EXPECT_EQ(moved, CRect(before.left + 5, before.top - 3, before.right + 5, before.bottom - 3));
  measure.UpdateLayout();
  EXPECT_EQ(measure.GetLabelRect(), moved);
}

TEST_F(PatternRecordEditing, TheTurnedBoxFollowsTheTurnedReferencePoint) {
  // The piece's base box is (0, 0)-(100, 50), centre (50, 25), and the piece
  // is turned a quarter turn. The reference point moves 10 to the right at
  // size 2: turned with the piece that is 10 down, so the elements that
  // follow the reference point are moved 10 up; the label stays.
  ScriptedElement* follows = Scripted(4);
  ScriptedElement* label = Scripted(8);
  follows->box = CRect(0, 0, 100, 50);
  label->box = CRect(0, 0, 100, 50);
  auto* reference = static_cast<CGradedPoint*>(
      data_.AddElement(std::make_unique<PlacedPoint>(&data_, std::vector<CPoint>{{60, 25}, {60, 25}, {70, 25}})));
  piece_->SetRefPoint(reference);
  piece_->SetDouble2(1.570796326795);

  EXPECT_EQ(piece_->GetTurnedBoundRect(kBase), CRect(0, 0, 100, 50));
  EXPECT_EQ(piece_->GetTurnedBoundRect(2), CRect(0, 0, 100, 60));
  EXPECT_EQ(follows->turnedAbout, CPoint(50, 25));
  EXPECT_NEAR(follows->turnSin, -1.0, 1e-12);
  EXPECT_NEAR(follows->turnCos, 0.0, 1e-12);

  // The segment handed on for a direction asks nothing of the elements.
  piece_->ShowDirectionAt(0.5);
}

TEST_F(PatternRecordEditing, ResolveIdsLinksEveryElement) {
  ScriptedElement* a = Scripted(4);
  ScriptedElement* b = Scripted(16);
  piece_->ResolveIds();
  EXPECT_EQ(a->links, 1);
  EXPECT_EQ(b->links, 1);
}

}  // namespace
