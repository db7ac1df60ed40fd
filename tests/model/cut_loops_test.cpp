// The loop clean-up of the cut-line rebuild: where the cut line beside the
// outline crosses itself, the smaller loop is cut off at the crossing; a
// ring that crosses itself everywhere, as only a damaged file makes, is
// tidied within a bounded number of steps. Scale 40: 400 units are 10 mm.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "support/model_fixture.h"

namespace {

// A one-size outline of corner vertices (kind 0), each with a mitre corner
// of `width` on both sides.
CPieceItem0* OutlineOf(const std::vector<CPoint>& points, int width) {
  auto* outline = new CPieceItem0(nullptr, nullptr);
  const uint32_t widths = (static_cast<uint32_t>(width) << 16) | (static_cast<uint32_t>(width) & 0xFFFFu);
  for (const CPoint& p : points) {
    outline->AddTailVertex(p.x, p.y, 0);
    outline->AddTailVertex(static_cast<int32_t>(widths), 6, 128);
  }
  outline->SmoothCurves();
  return outline;
}

class CutLoopsTest : public ModelTest {
 protected:
  CPieceItem* CutLine() { return Item(piece.get(), 12); }

  std::unique_ptr<CPieceRecord> piece = std::make_unique<CPieceRecord>();
};

TEST_F(CutLoopsTest, ASlotNarrowerThanTwiceTheWidthIsCutOffTheCutLine) {
  AddSizes(1);
  // A square with a slot 400 wide from the top edge down to y = 1000: the
  // cut line 400 outside runs into the slot from both walls, crosses itself
  // there, and the loop down the slot goes.
  piece->AddItem(OutlineOf({{0, 0}, {4000, 0}, {4000, 4000}, {2200, 4000}, {2200, 1000}, {1800, 1000}, {1800, 4000},
                            {0, 4000}},
                           400));
  EXPECT_EQ(piece->RebuildDerivedItems(FALSE), 1);
  ASSERT_NE(CutLine(), nullptr);
  EXPECT_EQ(CutLine()->MainVertexPositions(0),
            (std::vector<CPoint>{{-400, -400}, {4400, -400}, {4400, 4400}, {2200, 4400}, {-400, 4400}}));
}

// Unbounded, the clean-up of this ring took over a minute in an optimised
// build; the test timeout is the guard.
TEST_F(CutLoopsTest, AStarWhoseEverySegmentCrossesEveryOtherIsTidiedInTime) {
  AddSizes(2);
  // 2001 points round a circle 8 m across, each joined to the one nearly
  // opposite: the cut line beside it crosses itself at almost every pair of
  // segments, in both sizes.
  constexpr int kPoints = 2001;
  std::vector<CPoint> star;
  for (int i = 0; i < kPoints; ++i) {
    const double angle = 6.283185307179586 * ((i * 1000) % kPoints) / kPoints;
    star.push_back({static_cast<int>(400000 * std::cos(angle)), static_cast<int>(400000 * std::sin(angle))});
  }
  piece->AddItem(OutlineOf(star, 400));
  EXPECT_EQ(piece->RebuildDerivedItems(FALSE), 1);
  EXPECT_NE(CutLine(), nullptr);
}

}  // namespace
