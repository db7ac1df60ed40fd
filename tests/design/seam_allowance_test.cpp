// The seam line of a piece: the plain offset corner and every corner shape on
// a square outline, the widths between keyed points, the points too close to
// take part, allowances on the inside, the loop and spike clean-up, and
// hostile or degenerate outlines that must end without a fault.
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/pattern_data.h"
#include "design/elements/boundary.h"
#include "design/elements/seam_allowance.h"
#include "design/geometry/point_line.h"
#include "design/points/graded_point.h"

namespace {

constexpr double kScale = 40.0;  // model units per millimetre

// A construction point at the same place in every size.
class FixedPoint : public CGradedPoint {
 public:
  FixedPoint(CPatternData* owner, CPoint at) : CGradedPoint(kPointKindFree, owner, 0), m_At(at) {}

 protected:
  BOOL ComputePoint(int32_t, int32_t* x, int32_t* y) override {
    *x = m_At.x;
    *y = m_At.y;
    return TRUE;
  }

 private:
  CPoint m_At;
};

struct EntryFields {
  CPoint at;
  int32_t widthIn;
  int32_t widthOut;
  int32_t kind;
  int32_t param;
};

const PointList kSquare = {CPoint(0, 0), CPoint(1000, 0), CPoint(1000, 1000), CPoint(0, 1000)};

class SeamAllowanceTest : public ::testing::Test {
 protected:
  SeamAllowanceTest() { data_.InsertSize(0, CString("S"), 0, 1); }

  std::vector<CSeamEntry> Entries(const std::vector<EntryFields>& list) {
    std::vector<CSeamEntry> entries;
    for (const EntryFields& fields : list) {
      CSeamEntry entry;
      entry.point = static_cast<CGradedPoint*>(data_.AddElement(std::make_unique<FixedPoint>(&data_, fields.at)));
      entry.widthIn = fields.widthIn;
      entry.widthOut = fields.widthOut;
      entry.cornerKind = fields.kind;
      entry.cornerParam = fields.param;
      entries.push_back(entry);
    }
    return entries;
  }

  // Every corner of the square keyed with both widths `width`, kind 1,
  // except (0, 0), which takes `kind` and `param`.
  std::vector<CSeamEntry> SquareEntries(int32_t width, int32_t kind = 1, int32_t param = 0) {
    return Entries({{CPoint(0, 0), width, width, kind, param},
                    {CPoint(1000, 0), width, width, 1, 0},
                    {CPoint(1000, 1000), width, width, 1, 0},
                    {CPoint(0, 1000), width, width, 1, 0}});
  }

  PointList Build(const PointList& outline, const std::vector<CSeamEntry>& entries) {
    PointList seam;
    EXPECT_TRUE(BuildSeamAllowance(outline, entries, 0, kScale, seam));
    return seam;
  }

  CPatternData data_;
};

TEST_F(SeamAllowanceTest, KindOneOnEveryCornerGivesTheMitredSquareFromItsFirstPointOfLeastX) {
  const PointList expected = {CPoint(-100, -100), CPoint(1100, -100), CPoint(1100, 1100), CPoint(-100, 1100)};
  EXPECT_EQ(Build(kSquare, SquareEntries(100)), expected);
  // The same outline starting elsewhere: the first point of least x is now
  // the other corner at x = -100.
  const PointList turned = {CPoint(1000, 1000), CPoint(0, 1000), CPoint(0, 0), CPoint(1000, 0)};
  EXPECT_EQ(Build(turned, SquareEntries(100)),
            PointList({CPoint(-100, 1100), CPoint(-100, -100), CPoint(1100, -100), CPoint(1100, 1100)}));
}

// The corner shapes at (0, 0) of the square, every width 100, the other
// corners plain. The rest of the seam line is always the same three mitres.
TEST_F(SeamAllowanceTest, CornerKindsAtOneCornerOfTheSquare) {
  struct Case {
    int32_t kind;
    int32_t param;
    PointList corner;  // what stands in place of (-100, -100)
  };
  const Case kCases[] = {
      {1, 0, {CPoint(-100, -100)}},
      // Folded along the incoming edge, and along the outgoing one: mirror
      // images of each other.
      {2, 0, {CPoint(-100, -100), CPoint(0, -100)}},
      {3, 0, {CPoint(-100, 0), CPoint(-100, -100)}},
      {4, 0, {CPoint(-100, -100), CPoint(0, -100)}},
      {5, 0, {CPoint(-100, 0), CPoint(-100, -100)}},
      {6, 0, {CPoint(-100, 0), CPoint(0, -100)}},
      {7, 0, {CPoint(-100, 0), CPoint(0, -100)}},
      // U (0, 400), V (400, 0), E (-35, -35): the cut x + y = -70.
      {12, 50, {CPoint(-100, 30), CPoint(30, -100)}},
      {8, 0, {CPoint(-100, -42), CPoint(-42, -100)}},  // cut at the incoming width: E (-71, -71)
      {9, 0, {CPoint(-100, -42), CPoint(-42, -100)}},
      {10, 50, {CPoint(-100, -50), CPoint(0, -50), CPoint(0, -100)}},
      {11, 50, {CPoint(-100, 0), CPoint(-50, 0), CPoint(-50, -100)}},
      {13, 50, {CPoint(-100, 30), CPoint(30, -100)}},
      {13, 500, {CPoint(-100, -100)}},  // a rounding wider than the corner keeps the mitre
      {14, 50, {CPoint(-100, -50), CPoint(0, -50), CPoint(0, -100)}},
      {15, 50, {CPoint(-100, 0), CPoint(-50, 0), CPoint(-50, -100)}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE("kind " + std::to_string(c.kind) + " param " + std::to_string(c.param));
    PointList expected = c.corner;
    expected.insert(expected.end(), {CPoint(1100, -100), CPoint(1100, 1100), CPoint(-100, 1100)});
    EXPECT_EQ(Build(kSquare, SquareEntries(100, c.kind, c.param)), expected);
  }
}

// Rings compared as closed figures: the same points in the same cyclic
// order, wherever each starts.
PointList FromLeast(PointList ring) {
  auto least = ring.begin();
  for (auto it = ring.begin(); it != ring.end(); ++it) {
    if (it->x < least->x || (it->x == least->x && it->y < least->y)) least = it;
  }
  PointList out(least, ring.end());
  out.insert(out.end(), ring.begin(), least);
  return out;
}

// The mirror image across x = 0, its order reversed so that it runs the same
// way round.
PointList Mirrored(const PointList& ring) {
  PointList out;
  for (const CPoint& q : ring) out.push_front(CPoint(-q.x, q.y));
  return out;
}

TEST_F(SeamAllowanceTest, FoldingAlongTheOutgoingEdgeMirrorsFoldingAlongTheIncomingOne) {
  // A corner of about 121 degrees at (0, 0), between (-300, 500) and
  // (1000, 0).
  const PointList outline = {CPoint(0, 0), CPoint(1000, 0), CPoint(1000, 1000), CPoint(0, 1000), CPoint(-300, 500)};
  std::vector<CSeamEntry> folded;
  for (const CPoint& q : outline) folded.push_back(Entries({{q, 100, 100, q == CPoint(0, 0) ? 2 : 1, 0}}).front());
  const PointList seam = Build(outline, folded);
  const PointList mirroredOutline = Mirrored(outline);
  std::vector<CSeamEntry> mirroredFold;
  for (const CPoint& q : mirroredOutline) {
    mirroredFold.push_back(Entries({{q, 100, 100, q == CPoint(0, 0) ? 3 : 1, 0}}).front());
  }
  const PointList mirroredSeam = Build(mirroredOutline, mirroredFold);
  EXPECT_EQ(FromLeast(Mirrored(seam)), FromLeast(mirroredSeam));
  // The fold differs from the plain corner.
  EXPECT_NE(seam, Build(outline, Entries({{CPoint(0, 0), 100, 100, 1, 0}})));
}

TEST_F(SeamAllowanceTest, AnUnknownCornerKindLeavesItsCornerOut) {
  EXPECT_EQ(Build(kSquare, SquareEntries(100, 99)),
            PointList({CPoint(-100, 1100), CPoint(1100, -100), CPoint(1100, 1100)}));
}

TEST_F(SeamAllowanceTest, RoundedCornerOnAPointWithoutWidthsDividesByNothing) {
  // Both widths 0: the mitre is the corner itself, and so are its mirror
  // images; a negative parameter must not take a direction from them.
  EXPECT_EQ(Build(kSquare, SquareEntries(0, 13, -1)), kSquare);
}

TEST_F(SeamAllowanceTest, NothingToBuildLeavesTheSeamLineAsItWas) {
  const PointList before = {CPoint(7, 7), CPoint(8, 8)};
  PointList seam = before;
  EXPECT_FALSE(BuildSeamAllowance(kSquare, {}, 0, kScale, seam));
  EXPECT_EQ(seam, before);
  const PointList twoPoints = {CPoint(0, 0), CPoint(1000, 0)};
  EXPECT_FALSE(BuildSeamAllowance(twoPoints, SquareEntries(100), 0, kScale, seam));
  EXPECT_EQ(seam, before);
}

TEST_F(SeamAllowanceTest, EntriesThatKeyNoOutlinePointGiveNoSeamLine) {
  std::vector<CSeamEntry> entries = Entries({{CPoint(5, 5), 100, 100, 1, 0}});
  CSeamEntry withoutPoint;
  withoutPoint.widthIn = withoutPoint.widthOut = 100;
  withoutPoint.cornerKind = 1;
  entries.push_back(withoutPoint);
  PointList seam = {CPoint(7, 7)};
  EXPECT_TRUE(BuildSeamAllowance(kSquare, entries, 0, kScale, seam));
  EXPECT_TRUE(seam.empty());
}

TEST_F(SeamAllowanceTest, AnEntryWithoutItsPointIsPassedOver) {
  std::vector<CSeamEntry> entries = SquareEntries(100);
  entries.insert(entries.begin() + 1, CSeamEntry{});
  EXPECT_EQ(Build(kSquare, entries),
            PointList({CPoint(-100, -100), CPoint(1100, -100), CPoint(1100, 1100), CPoint(-100, 1100)}));
}

TEST_F(SeamAllowanceTest, TheWidthChangesEvenlyBetweenKeyedPoints) {
  // 100 leaving (0, 0), 200 arriving at (1000, 0): the unkeyed point halfway
  // takes 150, so the allowance runs in one straight line from -100 to -200.
  const PointList outline = {CPoint(0, 0), CPoint(500, 0), CPoint(1000, 0), CPoint(1000, 1000), CPoint(0, 1000)};
  const PointList seam = Build(outline, Entries({{CPoint(0, 0), 100, 100, 1, 0},
                                                 {CPoint(1000, 0), 200, 200, 1, 0},
                                                 {CPoint(1000, 1000), 100, 100, 1, 0},
                                                 {CPoint(0, 1000), 100, 100, 1, 0}}));
  int below = 0;
  for (const CPoint& q : seam) {
    if (q.y >= 0 || q.x <= 0 || q.x >= 1000) continue;
    ++below;
    SCOPED_TRACE(std::to_string(q.x) + "," + std::to_string(q.y));
    EXPECT_NEAR(q.y, -100 - 0.1 * q.x, 1.0);
  }
  EXPECT_GE(below, 1);
}

TEST_F(SeamAllowanceTest, APointWithoutEntryTooCloseToAKeyedOneTakesNoPart) {
  // (6, 8) is 10 units (a quarter millimetre) from (0, 0), which is keyed;
  // it would otherwise bend the allowance next to the corner.
  const PointList expected = {CPoint(-100, -100), CPoint(1100, -100), CPoint(1100, 1100), CPoint(-100, 1100)};
  const PointList last = {CPoint(0, 0), CPoint(1000, 0), CPoint(1000, 1000), CPoint(0, 1000), CPoint(6, 8)};
  EXPECT_EQ(Build(last, SquareEntries(100)), expected);
  const PointList first = {CPoint(0, 0), CPoint(8, 6), CPoint(1000, 0), CPoint(1000, 1000), CPoint(0, 1000)};
  EXPECT_EQ(Build(first, SquareEntries(100)), expected);
  // At a scale where 10 units are more than half a millimetre, it counts.
  PointList seam;
  ASSERT_TRUE(BuildSeamAllowance(last, SquareEntries(100), 0, 10.0, seam));
  EXPECT_NE(seam, expected);
}

TEST_F(SeamAllowanceTest, NegativeWidthsPutTheSeamLineInside) {
  EXPECT_EQ(Build(kSquare, SquareEntries(-100)),
            PointList({CPoint(100, 100), CPoint(900, 100), CPoint(900, 900), CPoint(100, 900)}));
}

TEST(SeamOffsetCorner, MitreOrFeet) {
  // A sharp corner: along +x, then back towards (0, 100).
  const CPoint prev(0, 0), sharp(1000, 0), back(0, 100);
  struct Case {
    const char* what;
    CPoint p, next;
    int32_t w0, w1, w2, w3;
    size_t points;
  };
  const Case kCases[] = {
      {"sharp, equal widths: the mitre however far", sharp, back, 10, 10, 10, 10, 1},
      {"sharp, unequal widths: the mitre lies past 5 x 30, the feet", sharp, back, 10, 10, 20, 20, 2},
      {"square, unequal widths: the mitre is near", sharp, CPoint(1000, 1000), 10, 10, 20, 20, 1},
      {"inside of a corner, equal widths: the feet", sharp, CPoint(1000, -1000), 10, 10, 10, 10, 2},
      {"negative equal widths on a convex corner: the feet", sharp, back, -10, -10, -10, -10, 2},
      {"negative widths on the inside: the mitre", sharp, CPoint(1000, -1000), -10, -10, -10, -10, 1},
      {"a point on its neighbour: itself", prev, back, 10, 10, 10, 10, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    PointList out;
    BuildOffsetCorner(prev, c.w0, c.p, c.w1, c.w2, c.next, c.w3, out);
    ASSERT_EQ(out.size(), c.points);
  }
  PointList out;
  BuildOffsetCorner(prev, 10, sharp, 10, 10, back, 10, out);
  EXPECT_GT(PointDistance(out.front().x, out.front().y, sharp.x, sharp.y), 150);
  out.clear();
  BuildOffsetCorner(prev, 10, sharp, 10, 20, back, 20, out);
  // The feet: 10 below the incoming edge, 20 off the outgoing one.
  EXPECT_EQ(out.front(), CPoint(1000, -10));
  EXPECT_EQ(PointDistance(out.back().x, out.back().y, sharp.x, sharp.y), 20);
  out.clear();
  BuildOffsetCorner(prev, 10, prev, 10, 10, back, 10, out);
  EXPECT_EQ(out, PointList({prev}));
}

TEST(SeamRemoveLoops, AFigureEightKeepsItsLargerPart) {
  // (0,0)-(300,300) crosses (300,0)-(0,100) at (75, 75).
  PointList ring = {CPoint(0, 0), CPoint(300, 300), CPoint(300, 0), CPoint(0, 100)};
  RemoveLoops(ring);
  EXPECT_EQ(ring, PointList({CPoint(75, 75), CPoint(300, 300), CPoint(300, 0)}));
  // The small lobe is cut off and the crossing takes its place.
  PointList big = {CPoint(0, 0), CPoint(1000, 0), CPoint(1000, 1000), CPoint(500, 1000),
                   CPoint(600, 1100), CPoint(400, 1100), CPoint(500, 1000), CPoint(0, 1000)};
  // (500, 1000) -> (600, 1100) ... back to (500, 1000): a loop touching at a point.
  RemoveLoops(big);
  EXPECT_EQ(big, PointList({CPoint(0, 0), CPoint(1000, 0), CPoint(1000, 1000), CPoint(500, 1000), CPoint(0, 1000)}));
}

TEST(SeamRemoveLoops, CrossingLoopNearACornerIsCut) {
  // The feet of a reflex corner overshoot and cross: the small triangle goes.
  PointList ring = {CPoint(0, 0), CPoint(1000, 0), CPoint(1000, 520), CPoint(480, 500),
                    CPoint(500, 480), CPoint(520, 1000), CPoint(0, 1000)};
  RemoveLoops(ring);
  ASSERT_EQ(ring.size(), 6u);
  // The crossing, (500.8, 500.8), rounds to (501, 501).
  EXPECT_EQ(ring, PointList({CPoint(0, 0), CPoint(1000, 0), CPoint(1000, 520), CPoint(501, 501),
                             CPoint(520, 1000), CPoint(0, 1000)}));
}

TEST(SeamRemoveSpikes, AZigzagShorterThanAMillimetreLosesItsMiddle) {
  const PointList ring = {CPoint(0, 0), CPoint(500, 0), CPoint(480, 5), CPoint(1000, 5),
                          CPoint(1000, 1000), CPoint(0, 1000)};
  PointList cleaned = ring;
  RemoveSpikes(cleaned, kScale);  // 1 mm = 40 units; the hop is about 21
  EXPECT_EQ(cleaned, PointList({CPoint(0, 0), CPoint(500, 0), CPoint(1000, 5), CPoint(1000, 1000), CPoint(0, 1000)}));
  cleaned = ring;
  RemoveSpikes(cleaned, 10.0);  // 1 mm = 10 units: the hop is longer
  EXPECT_EQ(cleaned, ring);
}

// Rings that cross themselves, fold back or collapse: each pass ends, never
// adds points, and the whole build ends too.
TEST_F(SeamAllowanceTest, DegenerateRingsEnd) {
  const std::vector<PointList> kRings = {
      {CPoint(5, 5), CPoint(5, 5), CPoint(5, 5), CPoint(5, 5)},
      {CPoint(0, 0), CPoint(100, 0), CPoint(50, 0), CPoint(200, 0), CPoint(0, 0)},
      {CPoint(0, 0), CPoint(200, 200), CPoint(200, 0), CPoint(0, 200)},
      // A pentagram: every edge crosses two others.
      {CPoint(0, 1000), CPoint(588, -809), CPoint(-951, 309), CPoint(951, 309), CPoint(-588, -809)},
      {CPoint(0, 0), CPoint(10, 0), CPoint(0, 0), CPoint(10, 0), CPoint(0, 0), CPoint(10, 0)},
      {CPoint(INT32_MIN, INT32_MIN), CPoint(INT32_MAX, INT32_MIN), CPoint(INT32_MAX, INT32_MAX),
       CPoint(INT32_MIN, INT32_MAX)},
      {CPoint(0, 0), CPoint(1, 0), CPoint(1, 1), CPoint(0, 1), CPoint(1, 0), CPoint(0, 1)},
  };
  for (size_t r = 0; r < kRings.size(); ++r) {
    SCOPED_TRACE(r);
    PointList loops = kRings[r];
    RemoveLoops(loops);
    EXPECT_LE(loops.size(), kRings[r].size());
    PointList spikes = kRings[r];
    RemoveSpikes(spikes, kScale);
    EXPECT_LE(spikes.size(), kRings[r].size());
    for (int32_t width : {0, 100, -100, INT32_MAX, INT32_MIN}) {
      for (int32_t kind = 1; kind <= 15; ++kind) {
        std::vector<CSeamEntry> entries;
        for (const CPoint& q : kRings[r]) {
          entries.push_back(Entries({{q, width, width, kind, width}}).front());
        }
        PointList seam;
        BuildSeamAllowance(kRings[r], entries, 0, kScale, seam);
      }
    }
  }
}

}  // namespace
