// The layout of a measure's dimension at the base size: the line or the path
// along the curve stood off the measured part, the label "name=length"
// measured in the design's label font and centred on the dimension, the
// automatic text direction, and the picking and extent operations the
// design container asks for.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "design/core/pattern_data.h"
#include "design/core/piece_measure.h"
#include "design/points/graded_point.h"
#include "model/settings.h"
#include "platform/recording_dc.h"
#include "tests/design/support/scripted_curve.h"
#include "tests/model/support/fake_shell.h"

namespace {

constexpr int32_t kBaseSize = 1;
constexpr int32_t kScale = 40;
constexpr int32_t kFontHeight = 10;

// Every byte is 10 wide and a line as high as the font; the bytes measured
// are noted, so that a test reads the label text back.
class NotingMetrics : public ITextMetrics {
 public:
  CSize Extent(const LOGFONT& font, std::string_view text) const override {
    measured += text;
    return CSize(10 * static_cast<int32_t>(text.size()), font.lfHeight);
  }
  int Ascent(const LOGFONT&) const override { return 0; }
  int Descent(const LOGFONT&) const override { return 0; }
  mutable std::string measured;
};

class MeasuringShell : public FakeShell {
 public:
  CDC* GetDC() override { return &screen; }
  void ReleaseDC(CDC*) override {}
  NotingMetrics metrics;
  RecordingDC screen{&metrics};
};

// Lengths shown in whole millimetres for the test, the settings put back
// after.
class UnitsInMillimetres {
 public:
  UnitsInMillimetres() : mode_(g_UnitMode), precision_(g_UnitPrecision) {
    g_UnitMode = 3;
    g_UnitPrecision = 1;
  }
  ~UnitsInMillimetres() {
    g_UnitMode = mode_;
    g_UnitPrecision = precision_;
  }

 private:
  int32_t mode_;
  int32_t precision_;
};

// A point at a position of its own per size (`at` for sizes not listed).
class PlacedPoint : public CGradedPoint {
 public:
  explicit PlacedPoint(CPatternData* owner) : CGradedPoint(kPointKindFree, owner, 0) { SetState(1); }
  CPoint at;
  std::map<int32_t, CPoint> atSize;

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    const auto own = atSize.find(size);
    const CPoint p = own != atSize.end() ? own->second : at;
    *x = p.x;
    *y = p.y;
    return TRUE;
  }
};

struct Design {
  MeasuringShell shell;
  UnitsInMillimetres units;
  CPatternData data;

  Design() {
    for (int i = 0; i < 3; ++i) data.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data.SetBaseSize(kBaseSize);
    data.SetScale(kScale);
    LOGFONT font;
    font.lfHeight = kFontHeight;
    data.SetLabelFont(font);
  }

  PlacedPoint* Point(CPoint at) {
    auto point = std::make_unique<PlacedPoint>(&data);
    point->at = at;
    return static_cast<PlacedPoint*>(data.AddElement(std::move(point)));
  }
  // A measure between two new points; its offset is the default 10 mm (400).
  CPieceMeasure* Distance(CPoint p1, CPoint p2, const char* name = "AB") {
    return data.AddMeasure(
        std::make_unique<CPieceMeasure>(&data, kMeasureKindDistance, Point(p1), Point(p2), nullptr, name));
  }
};

void Move(CGradedObject* point, CPoint to) {
  static_cast<PlacedPoint*>(point)->at = to;
  point->Invalidate(-1);
}

// The label "AB=25" (1000 units at 40 per mm) is 50 wide and 10 high.
TEST(MeasureLayout, DistanceLabelShowsNameAndBaseSizeLengthCentredOnTheLine) {
  Design design;
  CPieceMeasure* measure = design.Distance({0, 0}, {1000, 0});
  CGradedObject *first, *second;
  measure->GetRefs(&first, &second, nullptr);
  // Another size is longer; the label shows the base size.
  static_cast<PlacedPoint*>(second)->atSize[0] = CPoint(2000, 0);
  design.shell.metrics.measured.clear();
  EXPECT_EQ(measure->GetLabelExtent(), CSize(50, 10));
  EXPECT_EQ(design.shell.metrics.measured, "AB=25");

  EXPECT_TRUE(measure->IsLayoutDirty());
  measure->UpdateLayout();
  EXPECT_FALSE(measure->IsLayoutDirty());
  EXPECT_EQ(measure->GetDimensionStart(), CPoint(0, -400));
  EXPECT_EQ(measure->GetDimensionEnd(), CPoint(1000, -400));
  EXPECT_EQ(measure->GetLabelRect(), CRect(475, -405, 525, -395));
  EXPECT_EQ(measure->GetBoundRect(), CRect(0, -405, 1001, -395));

  // Edges included.
  EXPECT_TRUE(measure->HitTestLabel(475, -405));
  EXPECT_TRUE(measure->HitTestLabel(525, -395));
  EXPECT_FALSE(measure->HitTestLabel(526, -400));
  double distance = -1;
  EXPECT_TRUE(measure->HitTestLine(300, -395, 10.0, &distance));
  EXPECT_DOUBLE_EQ(distance, 5.0);
  EXPECT_FALSE(measure->HitTestLine(300, -380, 10.0, &distance));
}

TEST(MeasureLayout, AutomaticTextModeIsDecidedAtTheFirstLayoutAndStays) {
  struct Case {
    CPoint p2;
    int32_t mode;
    CRect label;
  };
  const Case kCases[] = {
      {{0, 1000}, 3, CRect(395, 475, 405, 525)},  // vertical: the box turned
      {{1000, 0}, 0, CRect(475, -405, 525, -395)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.mode);
    Design design;
    CPieceMeasure* measure = design.Distance({0, 0}, c.p2);
    EXPECT_EQ(measure->GetTextMode(), kMeasureTextModeAuto);
    EXPECT_EQ(measure->GetBoundRect().IsRectEmpty(), false);  // lays out first
    EXPECT_EQ(measure->GetTextMode(), c.mode);
    EXPECT_EQ(measure->GetLabelRect(), c.label);
    CGradedObject *first, *second;
    measure->GetRefs(&first, &second, nullptr);
    Move(second, c.mode == 3 ? CPoint(1000, 0) : CPoint(0, 1000));
    measure->SetLayoutDirty();
    measure->UpdateLayout();
    EXPECT_EQ(measure->GetTextMode(), c.mode);
  }
}

TEST(MeasureLayout, OffsetSignChoosesTheSideAndCoincidingPointsGetNoShift) {
  struct Case {
    CPoint p1, p2;
    int32_t offset;
    CPoint start, end;
  };
  const Case kCases[] = {
      {{0, 0}, {1000, 0}, 400, {0, -400}, {1000, -400}},
      {{0, 0}, {1000, 0}, -400, {0, 400}, {1000, 400}},
      {{0, 0}, {300, 400}, -500, {-400, 300}, {-100, 700}},
      {{70, 80}, {70, 80}, 400, {70, 80}, {70, 80}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.offset);
    Design design;
    CPieceMeasure* measure = design.Distance(c.p1, c.p2);
    measure->SetDisplay(0, c.offset, CPoint());
    measure->UpdateLayout();
    EXPECT_EQ(measure->GetDimensionStart(), c.start);
    EXPECT_EQ(measure->GetDimensionEnd(), c.end);
    int32_t mode = -1, offset = 0;
    CPoint labelOffset(9, 9);
    measure->GetDisplay(&mode, &offset, &labelOffset);
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(offset, c.offset);
    EXPECT_EQ(labelOffset, CPoint());
  }
}

TEST(MeasureLayout, LabelOffsetAndVerticalTextPlaceTheBox) {
  struct Case {
    int32_t mode;
    CPoint labelOffset;
    CRect label;
  };
  const Case kCases[] = {
      {1, {100, 50}, CRect(575, -355, 625, -345)},
      {2, {0, 0}, CRect(495, -425, 505, -375)},
      // The offset comes from the file: the box stops at the range's end.
      {0, {INT32_MAX, 0}, CRect(INT32_MAX - 25, -405, INT32_MAX, -395)},
      {0, {INT32_MIN, INT32_MIN}, CRect(INT32_MIN + 475, INT32_MIN, INT32_MIN + 525, INT32_MIN + 5)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.mode);
    Design design;
    CPieceMeasure* measure = design.Distance({0, 0}, {1000, 0});
    measure->SetDisplay(c.mode, 400, c.labelOffset);
    measure->UpdateLayout();
    EXPECT_EQ(measure->GetLabelRect(), c.label);
    const int64_t middleX = (int64_t{c.label.left} + c.label.right) / 2;
    const int64_t middleY = (int64_t{c.label.top} + c.label.bottom) / 2;
    EXPECT_TRUE(measure->HitTestLabel(static_cast<int32_t>(middleX), static_cast<int32_t>(middleY)));
  }
  // A mode that is neither horizontal nor vertical places no box.
  Design design;
  CPieceMeasure* measure = design.Distance({0, 0}, {1000, 0});
  measure->SetDisplay(7, 400, CPoint());
  measure->UpdateLayout();
  EXPECT_TRUE(measure->GetLabelRect().IsRectEmpty());
}

TEST(MeasureLayout, UnnamedMeasureCountsItsLabelButLeavesItOutOfTheBound) {
  Design design;
  CPieceMeasure* measure = design.Distance({0, 0}, {1000, 0}, "");
  design.shell.metrics.measured.clear();
  EXPECT_EQ(measure->GetLabelExtent(), CSize(30, 10));
  EXPECT_EQ(design.shell.metrics.measured, "=25");
  EXPECT_EQ(measure->GetBoundRect(), CRect(0, -400, 1001, -399));
  EXPECT_EQ(measure->GetLabelRect(), CRect(485, -405, 515, -395));
  EXPECT_TRUE(measure->HitTestLabel(500, -400));
}

TEST(MeasureLayout, InvalidMeasureIsNeitherHitNorCounted) {
  Design design;
  CPieceMeasure* measure = design.Distance({0, 0}, {1000, 0});
  measure->UpdateValidity(FALSE);
  double distance = -1;
  EXPECT_FALSE(measure->HitTestLabel(500, -400));
  EXPECT_FALSE(measure->HitTestLine(500, -400, 10.0, &distance));
  EXPECT_EQ(distance, -1);
  EXPECT_TRUE(measure->GetBoundRect().IsRectEmpty());
  EXPECT_TRUE(measure->IsLayoutDirty());  // nothing was laid out for it
}

// The curve runs (0, 0) - (1000, 0) - (1000, 1000); the measure's points are
// its ends. The chord turned gives a shift of 400 along (1, -1).
TEST(MeasureLayout, CurveMeasureFollowsTheSectionStoodOff) {
  Design design;
  design_test::ScriptedCurve* curve = design_test::AddScriptedCurve(design.data, {{0, 0}, {1000, 0}, {1000, 1000}});
  curve->sectionAnswer = 2000;
  CPieceMeasure* measure = design.data.AddMeasure(std::make_unique<CPieceMeasure>(
      &design.data, kMeasureKindCurve, design.Point({0, 0}), design.Point({1000, 1000}), curve, "C"));
  design.shell.metrics.measured.clear();
  measure->UpdateLayout();
  EXPECT_EQ(design.shell.metrics.measured, "C=50");
  EXPECT_EQ(measure->GetDimensionStart(), CPoint(283, -283));
  EXPECT_EQ(measure->GetDimensionEnd(), CPoint(1283, 717));
  EXPECT_EQ(measure->GetTextMode(), 0);
  // Halfway along the path is its corner.
  EXPECT_EQ(measure->GetLabelRect(), CRect(1263, -288, 1303, -278));
  EXPECT_EQ(measure->GetBoundRect(), CRect(283, -288, 1303, 717));
  double distance = -1;
  EXPECT_TRUE(measure->HitTestLine(1285, 300, 3.0, &distance));
  EXPECT_DOUBLE_EQ(distance, 2.0);
  EXPECT_FALSE(measure->HitTestLine(1000, 300, 3.0, &distance));
  // Along a hidden curve the measure has no extent.
  curve->SetState(0);
  EXPECT_TRUE(measure->GetBoundRect().IsRectEmpty());
}

TEST(MeasureLayout, MissingReferencesLeaveTheDimensionWhereItWas) {
  Design design;
  auto* measure = design.data.AddMeasure(
      std::make_unique<CPieceMeasure>(&design.data, kMeasureKindCurve, nullptr, nullptr, nullptr, "X"));
  measure->UpdateLayout();
  EXPECT_EQ(measure->GetDimensionStart(), CPoint());
  EXPECT_EQ(measure->GetDimensionEnd(), CPoint());
  EXPECT_EQ(measure->GetTextMode(), 3);  // a dimension of one point counts as vertical
  EXPECT_FALSE(measure->HitTestLine(0, 0, 5.0, nullptr));
}

TEST(MeasureLayout, NewLabelFontLaysTheMeasuresOutAgain) {
  Design design;
  CPieceMeasure* measure = design.Distance({0, 0}, {1000, 0});
  measure->UpdateLayout();
  LOGFONT font;
  font.lfHeight = 20;
  design.data.SetLabelFont(font);
  EXPECT_TRUE(measure->IsLayoutDirty());
  EXPECT_TRUE(measure->HitTestLabel(500, -410));
  EXPECT_EQ(measure->GetLabelRect(), CRect(475, -410, 525, -390));
}

}  // namespace
