// The dimension label's record, its binding to a point in each mode, and
// its copies.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "design/core/pattern_data.h"
#include "design/points/dim_label.h"
#include "design/points/free_point.h"
#include "platform/archive.h"
#include "tests/design_writer/archive_writer.h"

namespace {

using design_fixture::LabelFields;

class DimLabelTest : public ::testing::Test {
 protected:
  DimLabelTest() { data_.SetScale(40); }
  CPatternData data_;
  CFreePoint point_{&data_, 0};
};

TEST_F(DimLabelTest, ANewLabelIsHiddenAutomaticAndDueForLayout) {
  const CDimLabel label;
  EXPECT_EQ(label.IsVisible(), 0);
  EXPECT_EQ(label.GetOrientation(), kLabelOrientationAuto);
  EXPECT_TRUE(label.NeedsLayout());
  EXPECT_EQ(label.GetOwner(), nullptr);
}

// Each mode setter binds the label and stands it 10 mm off; only the
// division keeps its orientation.
TEST_F(DimLabelTest, ModeSettersBindTheLabelTenMillimetresOff) {
  struct Case {
    void (CDimLabel::*set)(CPatternData*, CGradedObject*);
    int32_t mode;
    int32_t orientation;
  };
  const Case kCases[] = {
      {&CDimLabel::SetLinear, kLabelModeLinear, 0},
      {&CDimLabel::SetLinearLeader, kLabelModeLinearLeader, 0},
      {&CDimLabel::SetAngle, kLabelModeAngle, 0},
      {&CDimLabel::SetDivision, kLabelModeDivision, kLabelOrientationAuto},
      {&CDimLabel::SetAlongCurve, kLabelModeAlongCurve, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.mode);
    CDimLabel label;
    (label.*c.set)(&data_, &point_);
    EXPECT_EQ(label.GetOwner(), &data_);
    EXPECT_EQ(label.GetLabelledObject(), &point_);
    EXPECT_EQ(label.GetMode(), c.mode);
    EXPECT_EQ(label.GetOrientation(), c.orientation);
    EXPECT_EQ(label.GetOffsetDistance(), 400);
  }
  // A scale from a hostile file cannot overflow the distance.
  data_.SetScale(INT32_MAX);
  CDimLabel far;
  far.SetLinear(&data_, &point_);
  EXPECT_EQ(far.GetOffsetDistance(), INT32_MAX);
}

TEST_F(DimLabelTest, LoadReadsTheSixtyByteRecordAndEveryShortOneFails) {
  LabelFields fields;
  fields.mode = 2;
  fields.orientation = 3;
  fields.offset = -250;
  fields.text_x = 7;
  fields.text_y = -9;
  fields.parts = 5;
  fields.visible = 1;
  const std::string record = fields.Bytes();
  ASSERT_EQ(record.size(), 60u);

  CDimLabel label;
  label.SetLinear(&data_, &point_);
  ArchiveReader archive{std::string_view(record)};
  ASSERT_TRUE(label.Load(archive));
  EXPECT_EQ(archive.Remaining(), 0u);
  EXPECT_EQ(label.GetMode(), 2);
  EXPECT_EQ(label.GetOrientation(), 3);
  EXPECT_EQ(label.GetOffsetDistance(), -250);
  EXPECT_EQ(label.GetTextOffset(), CPoint(7, -9));
  EXPECT_EQ(label.GetPartCount(), 5);
  EXPECT_EQ(label.IsVisible(), 1);
  EXPECT_EQ(label.GetLabelledObject(), &point_);

  for (size_t n = 0; n < record.size(); ++n) {
    CDimLabel cut;
    cut.SetLinear(&data_, &point_);
    ArchiveReader shorter{std::string_view(record).substr(0, n)};
    EXPECT_FALSE(cut.Load(shorter)) << n;
    EXPECT_EQ(cut.GetMode(), kLabelModeLinear) << n;  // left as it was
  }
}

TEST_F(DimLabelTest, CopyFromKeepsTheTargetsBindingAndAssignTakesEverything) {
  CFreePoint other(&data_, 0);
  CDimLabel source;
  source.SetAngle(&data_, &other);
  source.SetVisible(1);
  source.SetOffsetDistance(123);

  CDimLabel copied;
  copied.SetLinear(nullptr, &point_);
  copied.CopyFrom(source);
  EXPECT_EQ(copied.GetMode(), kLabelModeAngle);
  EXPECT_EQ(copied.GetOffsetDistance(), 123);
  EXPECT_EQ(copied.IsVisible(), 1);
  EXPECT_EQ(copied.GetOwner(), nullptr);
  EXPECT_EQ(copied.GetLabelledObject(), &point_);

  CDimLabel assigned;
  assigned.Assign(source);
  EXPECT_EQ(assigned.GetOwner(), &data_);
  EXPECT_EQ(assigned.GetLabelledObject(), &other);

  assigned.SetOwner(nullptr);
  EXPECT_EQ(assigned.GetOwner(), nullptr);
  EXPECT_EQ(assigned.GetLabelledObject(), &other);
}

}  // namespace
