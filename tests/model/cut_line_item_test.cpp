// The derived cut line (type 12): a dotted, hollow polygon per visible size,
// shown only with the derived items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/items/all_items.h"
#include "platform/recording_dc.h"
#include "support/model_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class CutLineTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    sizes_ = AddSizes(3);
    // A triangle of corners; size s lies 10 s right and 100 s lower.
    AddGraded(&cut_, 0, 0, 0);
    AddGraded(&cut_, 200, 0, 0);
    AddGraded(&cut_, 100, 50, 0);
    cut_.SmoothCurves();
  }

  std::vector<CSizeRecord*> sizes_;
  CPieceItem12 cut_{nullptr, nullptr};
};

TEST_F(CutLineTest, DrawsADottedHollowPolygonPerVisibleSizeLastSizeFirst) {
  sizes_[1]->Visible = 0;
  RecordingDC dc;
  dc.SetBkColor(0x123456);
  cut_.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(dc.Lines(), (Lines{
                            "Polygon (20,200)-(220,200)-(120,250) pen=dot/1/0x000030 brush=hollow",
                            "Polygon (0,0)-(200,0)-(100,50) pen=dot/1/0x000010 brush=hollow",
                        }));
  for (const DrawCall& call : dc.calls()) EXPECT_EQ(call.state.bk_color, 0xFFFFFFu);
  EXPECT_EQ(dc.GetBkColor(), 0x123456u);

  RecordingDC selected;
  cut_.DrawSelected(&selected, 1.0, 0, 0, nullptr);
  EXPECT_EQ(selected.Lines(), dc.Lines());
}

TEST_F(CutLineTest, HiddenWithTheDerivedItemsSelectedOrNot) {
  g_DrawFlagDerivedItems = 0;
  RecordingDC dc;
  cut_.Draw(&dc, 1.0, 0, 0, nullptr);
  cut_.DrawSelected(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
}

TEST_F(CutLineTest, ACutLineWithoutCurvesDrawsNothing) {
  CPieceItem12 unbuilt(nullptr, nullptr);
  AddGraded(&unbuilt, 0, 0, 0);
  AddGraded(&unbuilt, 10, 0, 0);
  CPieceItem12 empty(nullptr, nullptr);
  empty.SmoothCurves();
  RecordingDC dc;
  unbuilt.Draw(&dc, 1.0, 0, 0, nullptr);
  empty.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
}

}  // namespace
