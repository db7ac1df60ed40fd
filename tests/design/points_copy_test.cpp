// Copying, cloning and editing the definitions of construction points: what a
// copy keeps and what it leaves behind, how references, rows and measures
// are replaced or released, the sizes a stored point carries on, and the
// pair points' question to a line on long chains and cycles.
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/formula.h"
#include "design/core/pattern_data.h"
#include "design/core/piece_measure.h"
#include "design/core/size_table.h"
#include "design/core/text_element.h"
#include "design/curves/graded_line.h"
#include "design/points/distance_points.h"
#include "design/points/free_point.h"
#include "design/points/intersection_points.h"
#include "design/points/mirror_points.h"
#include "design/points/offset_point.h"
#include "design/points/point_kinds.h"
#include "design/points/polar_points.h"
#include "design/points/ratio_points.h"
#include "design/points/reference_points.h"
#include "design/points/rotated_points.h"

namespace {

// Three sizes, base size 1, and two rows W and H.
struct Design {
  explicit Design(int32_t sizes = 3) {
    RegisterPointKinds();
    for (int32_t i = 0; i < sizes; ++i) data.InsertSize(i, "S", 0, 1);
    data.SetBaseSize(sizes > 1 ? 1 : 0);
    const int32_t values[2][3] = {{10, 20, 30}, {5, 6, 7}};
    for (int32_t r = 0; r < 2; ++r) {
      CSizeTableRow* row = data.AddSizeRow(r == 0 ? "W" : "H");
      for (int32_t size = 0; size < sizes && size < 3; ++size) row->SetValue(size, values[r][size]);
    }
  }
  template <typename T, typename... Args>
  T* Add(Args&&... args) {
    auto object = std::make_unique<T>(&data, 0, std::forward<Args>(args)...);
    object->SetState(1);
    return static_cast<T*>(data.AddElement(std::move(object)));
  }
  // A formula reading `row` plus `constant`.
  CFormula RowFormula(CSizeTableRow* row, int32_t constant = 0) {
    CFormulaTerm term;
    term.sign = 1;
    term.row = row;
    return CFormula(&data, std::list<CFormulaTerm>{term}, 0, 1.0, 1.0, constant);
  }
  CFormula Constant(int32_t value) { return CFormula(&data, {}, 0, 1.0, 1.0, value); }
  CPatternData data;
};

CPoint At(CGradedPoint& point, int32_t size) {
  CPoint p;
  point.GetPoint(size, &p);
  return p;
}

TEST(PointsCopy, ACloneOfAStoredFreePointComputesEverySizeFromItsCoordinate) {
  Design design;
  auto* point = design.Add<CFreePoint>(50, 60);
  point->SetComputeAll(0);
  for (int32_t size = 0; size < 3; ++size) point->SetSizePoint(size, 10 * size, -size);
  point->Invalidate(-1);
  point->SetStatus(7);
  ASSERT_EQ(At(*point, 0), CPoint(0, 0));

  std::unique_ptr<CGradedObject> made = point->Clone();
  auto* copy = dynamic_cast<CFreePoint*>(made.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetComputeAll(), 1);
  EXPECT_EQ(copy->GetState(), 1);
  EXPECT_EQ(copy->GetStatus(), 7);
  for (int32_t size = 0; size < 3; ++size) EXPECT_EQ(At(*copy, size), CPoint(50, 60)) << size;
}

TEST(PointsCopy, CopyFromKeepsTheStoredCoordinateButNotTheSizePoints) {
  Design source;
  auto* point = source.Add<CFreePoint>(50, 60);
  point->SetComputeAll(0);
  for (int32_t size = 0; size < 3; ++size) point->SetSizePoint(size, 10 * size, -size);
  Design target;
  auto* copy = target.Add<CFreePoint>(0, 0);
  copy->SetState(0);
  copy->CopyFrom(*point);
  EXPECT_EQ(copy->GetState(), 1);
  EXPECT_EQ(copy->GetComputeAll(), 1);
  for (int32_t size = 0; size < 3; ++size) EXPECT_EQ(At(*copy, size), CPoint(50, 60)) << size;
}

TEST(PointsCopy, AnUnplacedPointCopiedIntoAnotherDesignKeepsItsPositionsAndValue) {
  Design source;
  std::vector<CGradedPoint*> points;
  for (int32_t i = 0; i < 6; ++i) points.push_back(source.Add<CFreePoint>(i, i));
  auto* original = source.Add<CPointElem24>(points[3], points[5], 2);

  Design target;
  std::vector<CGradedPoint*> others;
  for (int32_t i = 0; i < 6; ++i) others.push_back(target.Add<CFreePoint>(i, i));
  auto* copy = target.Add<CPointElem24>(nullptr, nullptr, 0);
  copy->CopyFrom(*original);
  // The positions wait for ResolveIds: no pointer into the source's design.
  EXPECT_EQ(copy->GetReference1(), nullptr);
  copy->ResolveIds();
  EXPECT_EQ(copy->GetReference1(), others[3]);
  EXPECT_EQ(copy->GetReference2(), others[5]);
  EXPECT_EQ(copy->GetValue(), 2);

  std::unique_ptr<CGradedObject> clone = original->Clone();
  auto* cloned = dynamic_cast<CPointElem24*>(clone.get());
  ASSERT_NE(cloned, nullptr);
  EXPECT_EQ(cloned->GetReference1(), points[3]);
  EXPECT_EQ(cloned->GetReference2(), points[5]);
  EXPECT_EQ(cloned->GetValue(), 2);
}

TEST(PointsCopy, CopiedFormulasReadTheRowsOfTheirOwnDesign) {
  auto source = std::make_unique<Design>();
  auto* a = source->Add<CFreePoint>(0, 0);
  auto* b = source->Add<CFreePoint>(100, 0);
  auto* original = source->Add<CDistanceTowardsPoint>(a, b, source->RowFormula(source->data.GetSizeRowAt(1)));
  original->SetStatus(3);

  Design target;
  auto* ta = target.Add<CFreePoint>(0, 0);
  auto* tb = target.Add<CFreePoint>(100, 0);
  auto* copy = target.Add<CDistanceTowardsPoint>(nullptr, nullptr, target.Constant(0));
  copy->CopyFrom(*original);
  source.reset();  // nothing of the copy may point into the source any more
  copy->ResolveIds();
  EXPECT_EQ(copy->GetStatus(), 3);
  EXPECT_TRUE(copy->GetDistance().UsesSizeRow(target.data.GetSizeRowAt(1)));
  EXPECT_EQ(copy->GetPoint1(), ta);
  EXPECT_EQ(copy->GetPoint2(), tb);
  EXPECT_EQ(At(*copy, 0), CPoint(5, 0));
  EXPECT_EQ(At(*copy, 2), CPoint(7, 0));
}

TEST(PointsCopy, AClonedOffsetPointHasFreshLabelsAndTheSameDefinition) {
  Design design;
  auto* reference = design.Add<CFreePoint>(10, 10);
  auto* point = design.Add<COffsetPoint>(reference, design.Constant(5), design.Constant(3));
  CDimLabel shown = point->GetLabel1();
  shown.SetVisible(TRUE);
  point->SetLabel1(shown);
  std::unique_ptr<CGradedObject> made = point->Clone();
  auto* copy = dynamic_cast<COffsetPoint*>(made.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetReference(), reference);
  EXPECT_EQ(At(*copy, 1), CPoint(15, 7));
  EXPECT_FALSE(copy->GetLabel1().IsVisible());
}

TEST(PointsCopy, AClonedLinkedPointKeepsItsLinkAndCoordinate) {
  Design design;
  auto* other = design.Add<CFreePoint>(0, 0);
  auto* point = design.Add<CLinkedPoint>(CPoint(4, 9));
  point->SetLink(other);
  std::unique_ptr<CGradedObject> made = point->Clone();
  auto* copy = dynamic_cast<CLinkedPoint*>(made.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetLink(), other);
  EXPECT_EQ(copy->GetStoredPoint(), CPoint(4, 9));

  auto* replacement = design.Add<CFreePoint>(1, 1);
  point->ReplaceReference(other, replacement);
  EXPECT_EQ(point->GetLink(), replacement);
  EXPECT_FALSE(point->RefersTo(replacement));
}

TEST(PointsCopy, InsertedSizesCarryTheStoredGradingOn) {
  struct Case {
    int32_t index;
    CPoint added;
  };
  const Case cases[] = {{0, CPoint(80, 6)}, {2, CPoint(140, 18)}, {1, CPoint(120, 14)}};
  for (const Case& c : cases) {
    Design design(2);
    auto* point = design.Add<CFreePoint>(0, 0);
    point->SetComputeAll(0);
    point->SetSizePoint(0, 100, 10);
    point->SetSizePoint(1, 120, 14);
    point->InsertSize(c.index);
    ASSERT_EQ(point->GetSizePointCount(), 3) << c.index;
    CPoint added;
    point->GetSizePoint(c.index, &added);
    EXPECT_EQ(added, c.added) << c.index;
    EXPECT_TRUE(point->IsDirty(c.index)) << c.index;
    point->RemoveSize(c.index);
    CPoint first;
    point->GetSizePoint(0, &first);
    EXPECT_EQ(first, CPoint(100, 10)) << c.index;
  }
}

// The answers of the row and measure operations for kinds holding no
// formula, one formula and two formulas.
TEST(PointsCopy, RowsAreReleasedReplacedAndReportedPerKind) {
  struct Case {
    const char* name;
    BOOL releases;
    BOOL reportsUse;
    bool invalidatesWithoutUpdate;  // only the one-formula kinds
  };
  const Case cases[] = {{"free", FALSE, FALSE, false},
                        {"offset", TRUE, FALSE, false},
                        {"distance", TRUE, TRUE, true},
                        {"circles", TRUE, TRUE, false},
                        {"polar", TRUE, TRUE, true}};
  for (const Case& c : cases) {
    Design design;
    CSizeTableRow* w = design.data.GetSizeRowAt(0);
    CSizeTableRow* h = design.data.GetSizeRowAt(1);
    auto* a = design.Add<CFreePoint>(0, 0);
    auto* b = design.Add<CFreePoint>(100, 0);
    CGradedPoint* point = nullptr;
    const CFormula* formula = nullptr;
    const std::string name = c.name;
    if (name == "free") {
      point = a;
    } else if (name == "offset") {
      auto* p = design.Add<COffsetPoint>(a, design.RowFormula(w), design.RowFormula(w, 1));
      point = p;
      formula = &p->GetDy();
    } else if (name == "distance") {
      auto* p = design.Add<CDistanceTowardsPoint>(a, b, design.RowFormula(w));
      point = p;
    } else if (name == "circles") {
      auto* p = design.Add<CCircleIntersectPoint>(a, design.Constant(80), b, design.RowFormula(w, 60), 0);
      point = p;
      formula = &p->GetRadius2();
    } else {
      auto* p = design.Add<CPolarPoint15>(a, design.RowFormula(w), 0.0);
      point = p;
      formula = &p->GetDistance();
    }
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(point->UsesSizeRow(h, FALSE));
    EXPECT_FALSE(point->ReleaseSizeRow(h, FALSE));
    for (int32_t size = 0; size < 3; ++size) At(*point, size);
    EXPECT_EQ(point->UsesSizeRow(w, FALSE), c.reportsUse);
    EXPECT_EQ(point->IsDirty(0) != 0, c.invalidatesWithoutUpdate);

    // Replacing the row moves the formula onto the other one.
    point->ReplaceSizeRow(w, h);
    EXPECT_EQ(point->UsesSizeRow(h, FALSE), c.reportsUse);
    EXPECT_FALSE(point->UsesSizeRow(w, FALSE));
    point->ReplaceSizeRow(h, w);

    EXPECT_EQ(point->ReleaseSizeRow(w, TRUE), c.releases);
    // Released formulas no longer read the row: a second release finds none.
    EXPECT_FALSE(point->ReleaseSizeRow(w, TRUE));
    if (formula) {
      EXPECT_FALSE(formula->UsesSizeRow(w));
      // Frozen at the base size's value (row W is 20 there).
      EXPECT_EQ(formula->Evaluate(0), formula->Evaluate(2));
      EXPECT_GE(formula->GetConstant(), 20);
    }
  }
}

TEST(PointsCopy, MeasuresAreReleasedByBothFormulaKindsButReportedByOneOnly) {
  Design design;
  CPieceMeasure* arm = design.data.AddMeasure(
      std::make_unique<CPieceMeasure>(&design.data, kMeasureKindDistance, nullptr, nullptr, nullptr, "Arm"));
  CPieceMeasure* leg = design.data.AddMeasure(
      std::make_unique<CPieceMeasure>(&design.data, kMeasureKindDistance, nullptr, nullptr, nullptr, "Leg"));
  CFormulaTerm term;
  term.sign = 1;
  term.measure = arm;
  const CFormula usesArm(&design.data, std::list<CFormulaTerm>{term}, 0, 1.0, 1.0, 4);
  auto* a = design.Add<CFreePoint>(0, 0);
  auto* b = design.Add<CFreePoint>(100, 0);
  auto* offset = design.Add<COffsetPoint>(a, design.Constant(1), usesArm);
  auto* distance = design.Add<CDistanceTowardsPoint>(a, b, usesArm);

  EXPECT_FALSE(offset->UsesMeasure(arm, TRUE));
  EXPECT_TRUE(distance->UsesMeasure(arm, FALSE));
  EXPECT_TRUE(distance->IsDirty(0));

  distance->ReplaceMeasure(arm, leg);
  EXPECT_TRUE(distance->GetDistance().UsesMeasure(leg));
  EXPECT_FALSE(distance->ReleaseMeasure(arm, FALSE));
  EXPECT_TRUE(distance->ReleaseMeasure(leg, FALSE));
  EXPECT_FALSE(distance->GetDistance().UsesMeasure(leg));

  EXPECT_TRUE(offset->ReleaseMeasure(arm, TRUE));
  EXPECT_FALSE(offset->GetDy().UsesMeasure(arm));
  EXPECT_TRUE(offset->GetDy().GetTerms().empty());
}

TEST(PointsCopy, ReplacingAReferenceMovesThePointOntoTheNewObject) {
  Design design;
  auto* a = design.Add<CFreePoint>(0, 0);
  auto* b = design.Add<CFreePoint>(100, 0);
  auto* c = design.Add<CFreePoint>(0, 100);
  auto* point = design.Add<CSegmentRatioPoint>(a, b, 0.5);
  ASSERT_EQ(At(*point, 1), CPoint(50, 0));
  point->ReplaceReference(b, c);
  EXPECT_FALSE(point->RefersTo(b));
  EXPECT_TRUE(point->RefersTo(c));
  EXPECT_EQ(At(*point, 1), CPoint(0, 50));
  // A reference that is not held changes nothing and invalidates nothing.
  point->ReplaceReference(b, a);
  EXPECT_FALSE(point->IsDirty(1));
}

TEST(PointsCopy, AMirrorPointTakesANewSourceOnlyInPlaceOfItsOwn) {
  Design design;
  auto* source = design.Add<CFreePoint>(10, 10);
  auto* other = design.Add<CFreePoint>(20, 30);
  auto* l1 = design.Add<CFreePoint>(0, 0);
  auto* l2 = design.Add<CFreePoint>(0, 100);
  auto* mirror = design.Add<CLineMirrorPoint>(source, l1, l2);
  ASSERT_EQ(At(*mirror, 1), CPoint(-10, 10));
  mirror->ReplaceSourcePoint(other, source);
  EXPECT_EQ(mirror->GetSourcePoint(), source);
  mirror->ReplaceSourcePoint(source, other);
  EXPECT_EQ(mirror->GetSourcePoint(), other);
  EXPECT_EQ(At(*mirror, 1), CPoint(-20, 30));
}

TEST(PointsCopy, APairPointOnALongChainIsFoundOnTheLine) {
  Design design(1);
  auto* a = design.Add<CFreePoint>(0, 0);
  auto* b = design.Add<CFreePoint>(1000, 0);
  auto* off = design.Add<CFreePoint>(0, 500);
  auto* line = design.Add<CGradedLine>(0, 0, a, b);
  constexpr int kChain = 100'000;
  CGradedPoint* last = a;
  CGradedPoint* strayLast = off;
  for (int i = 0; i < kChain; ++i) {
    // Alternate the three kinds that ask the line about their two points.
    if (i % 3 == 0) {
      last = design.Add<CSegmentRatioPoint>(last, b, 0.5);
    } else if (i % 3 == 1) {
      last = design.Add<CDistanceTowardsPoint>(last, b, design.Constant(1));
    } else {
      last = design.Add<CPerpendicularFootPoint>(off, last, b);
    }
    strayLast = design.Add<CSegmentRatioPoint>(strayLast, b, 0.5);
  }
  EXPECT_TRUE(last->UsesLine(line));
  EXPECT_TRUE(line->IsRelatedTo(last));
  // A chain that starts off the line is not on it.
  EXPECT_FALSE(strayLast->UsesLine(line));
}

TEST(PointsCopy, PointsSharingTheirPairPointsAreAnsweredOnce) {
  Design design(1);
  auto* a = design.Add<CFreePoint>(0, 0);
  auto* b = design.Add<CFreePoint>(1000, 0);
  auto* off = design.Add<CFreePoint>(0, 500);
  auto* line = design.Add<CGradedLine>(0, 0, a, b);
  // Each point is built on the one before twice: 2^200 paths lead back to
  // the first, which a question asked once per path would never finish.
  CGradedPoint* last = design.Add<CSegmentRatioPoint>(a, b, 0.5);
  CGradedPoint* stray = design.Add<CSegmentRatioPoint>(a, off, 0.5);
  for (int i = 0; i < 200; ++i) {
    last = design.Add<CSegmentRatioPoint>(last, last, 0.5);
    stray = design.Add<CDistanceTowardsPoint>(stray, stray, design.Constant(0));
  }
  EXPECT_TRUE(last->UsesLine(line));
  EXPECT_FALSE(stray->UsesLine(line));
}

TEST(PointsCopy, APairPointCycleIsNotOnTheLineAndTheQuestionEnds) {
  Design design(1);
  auto* a = design.Add<CFreePoint>(0, 0);
  auto* b = design.Add<CFreePoint>(1000, 0);
  auto* line = design.Add<CGradedLine>(0, 0, a, b);
  auto* p = design.Add<CSegmentRatioPoint>(nullptr, b, 0.5);
  auto* q = design.Add<CDistanceTowardsPoint>(p, b, design.Constant(1));
  auto* r = design.Add<CPerpendicularFootPoint>(a, q, a);
  // Close the cycle p -> q -> p, as a damaged file may.
  p->ReplaceReference(nullptr, q);  // a null reference is never replaced
  EXPECT_EQ(p->GetPoint1(), nullptr);
  p->SetParamsRatio(q, b, 0.5);
  EXPECT_FALSE(p->UsesLine(line));
  EXPECT_FALSE(q->UsesLine(line));
  EXPECT_FALSE(line->IsRelatedTo(p));
  // A point whose pair holds a point of the cycle is not on the line
  // either; one whose pair is the line's own points is.
  EXPECT_FALSE(r->UsesLine(line));
  auto* s = design.Add<CDistanceTowardsPoint>(a, b, design.Constant(1));
  EXPECT_TRUE(s->UsesLine(line));
  EXPECT_FALSE(s->UsesLine(nullptr));
}

LOGFONT FontOf(int32_t height, int32_t escapement) {
  LOGFONT font;
  font.lfHeight = height;
  font.lfEscapement = escapement;
  return font;
}

TEST(TextCopy, AClonedHiddenTextIsShownWithTheSameTextAndBox) {
  CPatternData data;
  CTextElement text(&data, 4, 100, 200, CString("abc"), FontOf(40, 900));
  text.SetState(0);
  std::unique_ptr<CGradedObject> made = text.Clone();
  auto* copy = dynamic_cast<CTextElement*>(made.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetState(), 1);
  EXPECT_EQ(copy->GetStatus(), 4);
  EXPECT_EQ(copy->GetTextBox(), text.GetTextBox());
  CPoint position;
  CString words;
  LOGFONT font;
  copy->GetText(position, words, font);
  EXPECT_EQ(position, CPoint(100, 200));
  EXPECT_EQ(words, CString("abc"));
  EXPECT_EQ(font.lfEscapement, 900);
}

TEST(TextCopy, CopyFromTakesTheStateAndLaysTheBoxOut) {
  CPatternData data;
  CTextElement source(&data, 2, -50, 10, CString("xy"), FontOf(30, 0));
  source.SetState(0);
  CTextElement target(&data, 0, 0, 0, CString(), FontOf(10, 0));
  target.CopyFrom(source);
  EXPECT_EQ(target.GetState(), 0);
  EXPECT_EQ(target.GetStatus(), 2);
  EXPECT_EQ(target.GetTextBox(), source.GetTextBox());
  // Another kind of object is not a text to copy.
  CFreePoint point(&data, 0, 1, 1);
  target.CopyFrom(point);
  EXPECT_EQ(target.GetTextBox(), source.GetTextBox());
}

TEST(TextCopy, APointIsInTheTurnedBoxOnly) {
  CPatternData data;
  // Turned a quarter: the box runs upwards from the position.
  const CTextElement text(&data, 0, 100, 200, CString("abcd"), FontOf(40, 900));
  const std::array<CPoint, 4> box = text.GetTextBox();
  ASSERT_LT(box[1].y, 200);
  const CPoint centre((box[0].x + box[2].x) / 2, (box[0].y + box[2].y) / 2);
  EXPECT_TRUE(text.ContainsPoint(centre.x, centre.y));
  // Where the unturned box would lie: below the position.
  EXPECT_FALSE(text.ContainsPoint(101, 205));
  EXPECT_FALSE(text.ContainsPoint(box[2].x + 5, box[2].y - 5));
}

}  // namespace
