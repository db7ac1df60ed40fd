// The piece outline: its drawing with vertex marks, and the placing and
// measuring of notch positions along its curve.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "model/items/all_items.h"
#include "platform/recording_dc.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

class OutlineItemTest : public ModelTest {
 protected:
  // A square of side 1000 from (0, 0), counter-clockwise; size s shifted by
  // (10 s, 100 s).
  std::vector<CVertexNode*> AddSquare(uint32_t kind = 0) {
    return {AddGraded(&outline_, 0, 0, kind), AddGraded(&outline_, 1000, 0, kind),
            AddGraded(&outline_, 1000, 1000, kind), AddGraded(&outline_, 0, 1000, kind)};
  }

  // Replaces the first size's curve by nodes of the given positions and
  // kinds, for walks over spline points at places the test chooses.
  void SetCurve(const std::vector<CVertexNode>& nodes) {
    outline_.CurveRings = std::make_unique<CVertexRing[]>(1);
    outline_.CurveRingCount = 1;
    for (const CVertexNode& n : nodes) outline_.CurveRings[0].AddTail(n.X, n.Y, n.Flags);
  }

  static CVertexNode Node(int x, int y, uint32_t flags) {
    CVertexNode n;
    n.X = x;
    n.Y = y;
    n.Flags = flags;
    return n;
  }

  CPieceItem0 outline_{nullptr, nullptr};
};

// Drawing.

TEST_F(OutlineItemTest, SelectedOutlineMarksItsVerticesAsTheSwitchesSay) {
  FakeShell shell;  // a client area of 800 x 600 pixels
  AddSizes(1);
  AddGraded(&outline_, 100, 100, 0);
  AddGraded(&outline_, 300, 100, 1);
  AddGraded(&outline_, 300, 300, 2);
  AddGraded(&outline_, 100, 300, 3);
  outline_.BuildCurveRings();
  outline_.CurveRings[0].InsertAfter(outline_.CurveRings[0].Head, 200, 90, 100);  // a spline point

  const std::string polygon = "Polygon (100,100)-(200,90)-(300,100)-(300,300)-(100,300) pen=solid/1/0x000010 brush=hollow";
  const std::string square0 = "Rectangle (98,98,103,103) pen=solid/1/0x000010 brush=0x000010";
  const std::string circle1 = "Ellipse (298,98,302,102) pen=solid/1/0x000010 brush=0x000010";
  const std::string circle2 = "Ellipse (298,298,302,302) pen=solid/1/0x000010 brush=0x000010";
  const std::string square3 = "Rectangle (98,298,103,303) pen=solid/1/0x000010 brush=0x000010";
  struct Case {
    int outlineMarks, keyMarks, curveMarks;
    std::vector<std::string> lines;
  };
  const Case kCases[] = {
      {1, 1, 1, {polygon, square0, circle1, circle2, square3}},
      {1, 1, 0, {polygon, square0, square3}},
      {1, 0, 1, {polygon, circle1, circle2}},
      {1, 0, 0, {polygon}},
      {0, 1, 1, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.outlineMarks << c.keyMarks << c.curveMarks);
    g_DrawFlagOutlineMarks = c.outlineMarks;
    g_DrawFlagKeyVertexMarks = c.keyMarks;
    g_DrawFlagCurveVertexMarks = c.curveMarks;
    RecordingDC dc;
    outline_.DrawSelected(&dc, 1.0, 0, 0, nullptr);
    EXPECT_EQ(dc.Lines(), c.lines);
    EXPECT_EQ(dc.state().pen.color(), 0u);
  }
}

TEST_F(OutlineItemTest, WithoutMarksTheSelectedOutlineIsTheOutline) {
  FakeShell shell;
  AddSizes(2);
  AddSquare(1);
  outline_.SmoothCurves();
  g_DrawFlagKeyVertexMarks = 0;
  g_DrawFlagCurveVertexMarks = 0;
  RecordingDC plain;
  RecordingDC selected;
  outline_.Draw(&plain, 4.0, -100, -100, nullptr);
  outline_.DrawSelected(&selected, 4.0, -100, -100, nullptr);
  EXPECT_FALSE(plain.calls().empty());
  EXPECT_EQ(selected.Lines(), plain.Lines());
}

TEST_F(OutlineItemTest, CurveVertexMarksOutsideTheWindowAreDrawnOnlyWhenPrinting) {
  FakeShell shell;
  shell.client = CRect(0, 0, 200, 200);
  AddSizes(1);
  AddGraded(&outline_, 100, 100, 1);
  AddGraded(&outline_, 500, 100, 1);
  AddGraded(&outline_, 300, 0, 0);
  outline_.BuildCurveRings();
  for (bool printing : {false, true}) {
    RecordingDC dc;
    dc.SetPrinting(printing);
    outline_.DrawSelected(&dc, 1.0, 0, 0, nullptr);
    int ellipses = 0;
    for (const DrawCall& call : dc.calls()) ellipses += call.op == DrawCall::Op::kEllipse ? 1 : 0;
    EXPECT_EQ(ellipses, printing ? 2 : 1);
  }
}

// Placing points along the outline.

TEST_F(OutlineItemTest, PointBetweenVerticesWalksTheCurveOfTheSize) {
  auto sizes = AddSizes(2);
  std::vector<CVertexNode*> v = AddSquare();
  outline_.SmoothCurves();
  struct Case {
    int a, b, code, from, to, size;
    CPoint expected;
  };
  const Case kCases[] = {
      {1, 3, 0x000, 0, 1, 0, {250, 0}},            // a quarter of the edge
      {1, 1, 0x300, 1, 2, 1, {1010, 600}},         // half of size 1's edge
      {300, 0, 0x100, 0, 1, 0, {300, 0}},
      {300, 0, 0x400, 0, 1, 1, {310, 100}},
      {0, 300, 0x200, 0, 1, 0, {700, 0}},          // back from the span's end
      {0, 300, 0x500, 0, 1, 0, {700, 0}},
      {0, -300, 0x200, 0, 1, 0, {1000, 300}},      // a negative distance goes the other way
      {-200, 0, 0x100, 0, 1, 0, {0, 200}},         // backward from the start
      {1000, 0, 0x100, 0, 1, 0, {1000, 0}},        // exactly on a node
      {4300, 0, 0x400, 0, 1, 0, {300, 0}},         // longer than the ring: round again
      {2, -2, 0x000, 0, 1, 0, {0, 0}},             // a ratio without parts stays at the start
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.a << ":" << c.b << " code " << c.code << " size " << c.size);
    int x = -1, y = -1;
    outline_.PointBetweenVertices(c.a, c.b, c.code, v[c.from], v[c.to], sizes[c.size], &x, &y);
    EXPECT_EQ(CPoint(x, y), c.expected);
  }
  int x = -1, y = -1;
  outline_.PointBetweenVertices(1, 1, 0x600, v[0], v[1], sizes[0], &x, &y);
  CSizeRecord stranger;
  outline_.PointBetweenVertices(1, 1, 0, v[0], v[1], &stranger, &x, &y);
  EXPECT_EQ(CPoint(x, y), CPoint(-1, -1)) << "another code or size writes nothing";
}

TEST_F(OutlineItemTest, AWalkOnAnOutlineWithoutLengthEndsAtItsStart) {
  auto sizes = AddSizes(1);
  std::vector<CVertexNode*> v = {AddGraded(&outline_, 70, 70, 0), AddGraded(&outline_, 70, 70, 0),
                                 AddGraded(&outline_, 70, 70, 0)};
  outline_.SmoothCurves();
  int x = 0, y = 0;
  outline_.PointBetweenVertices(500, 0, 0x100, v[0], v[1], sizes[0], &x, &y);
  EXPECT_EQ(CPoint(x, y), CPoint(70, 70));
  x = y = 0;
  outline_.PointAtRatio(1, 1, 0x000, v[1], sizes[0], &x, &y);
  EXPECT_EQ(CPoint(x, y), CPoint(70, 70));
  x = y = 0;
  outline_.CalcNotchEndPoint(sizes[0], 70, 70, 100, 0, &x, &y);
  EXPECT_EQ(CPoint(x, y), CPoint(70, 70)) << "no direction: a mark of no length";
}

TEST_F(OutlineItemTest, AHugeDistanceOnASmallOutlineWrapsWithoutWalkingEveryTurn) {
  auto sizes = AddSizes(1);
  std::vector<CVertexNode*> v = {AddGraded(&outline_, 0, 0, 0), AddGraded(&outline_, 3, 0, 0),
                                 AddGraded(&outline_, 3, 4, 0)};
  outline_.SmoothCurves();  // a ring 12 units round
  int x = 0, y = 0;
  outline_.PointBetweenVertices(2147483644, 0, 0x100, v[0], v[1], sizes[0], &x, &y);  // 4 past whole turns
  EXPECT_EQ(CPoint(x, y), CPoint(3, 1));
}

TEST_F(OutlineItemTest, PointAtRatioMeasuresTheSpanFromOneVertex) {
  auto sizes = AddSizes(2);
  std::vector<CVertexNode*> v = {AddGraded(&outline_, 0, 0, 0), AddGraded(&outline_, 1000, 0, 2),
                                 AddGraded(&outline_, 1000, 1000, 0), AddGraded(&outline_, 0, 1000, 0)};
  outline_.SmoothCurves();
  struct Case {
    int a, b, code, vertex, size;
    CPoint expected;
  };
  const Case kCases[] = {
      {1, 1, 0x000, 0, 0, {1000, 0}},      // the span runs past the corner of kind 2 to the next key vertex
      {1, 1, 0x300, 0, 0, {500, 0}},       // the span ends at the next vertex
      {1, 3, 0x300, 2, 1, {760, 1100}},
      {250, 0, 0x400, 1, 0, {1000, 250}},
      {0, 250, 0x500, 0, 0, {0, 250}},     // backward from the vertex
      {0, -250, 0x200, 0, 0, {250, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.a << ":" << c.b << " code " << c.code);
    int x = -1, y = -1;
    outline_.PointAtRatio(c.a, c.b, c.code, v[c.vertex], sizes[c.size], &x, &y);
    EXPECT_EQ(CPoint(x, y), c.expected);
  }
}

TEST_F(OutlineItemTest, MeasureSpanGivesBothDistancesThatAddUpToTheSpan) {
  auto sizes = AddSizes(1);
  AddGraded(&outline_, 0, 0, 0);
  AddGraded(&outline_, 600, 0, 2);
  AddGraded(&outline_, 1000, 0, 0);
  AddGraded(&outline_, 1000, 1000, 0);
  AddGraded(&outline_, 0, 1000, 0);
  outline_.SmoothCurves();
  struct Case {
    CPoint point, start;
    int code;
    int d1, d2, total;
  };
  const Case kCases[] = {
      {{250, 3}, {0, 0}, 0x000, 250, 750, 1000},     // to the next key vertex
      {{250, 3}, {0, 0}, 0x100, 250, 750, 1000},
      {{250, 3}, {1000, 0}, 0x200, 250, 750, 1000},  // from the previous key vertex
      {{250, 3}, {0, 0}, 0x300, 250, 350, 600},      // to the next vertex
      {{250, 3}, {600, 0}, 0x500, 250, 350, 600},
      {{800, 0}, {0, 0}, 0x400, 800, -200, 600},     // beyond the span: the smaller one gives way
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y << " code " << c.code);
    int d1 = -1, d2 = -1, total = -1;
    outline_.MeasureNotchPosition(c.point.x, c.point.y, c.start.x, c.start.y, c.code, nullptr, sizes[0], &d1,
                                  &d2, &total);
    EXPECT_EQ(std::vector<int>({d1, d2, total}), std::vector<int>({c.d1, c.d2, c.total}));
  }
  // A start that is no node of the curve, or another code, writes nothing.
  int d1 = -1, d2 = -1, total = -1;
  outline_.MeasureNotchPosition(250, 3, 5, 5, 0x000, nullptr, sizes[0], &d1, &d2, &total);
  outline_.MeasureNotchPosition(250, 3, 0, 0, 0x700, nullptr, sizes[0], &d1, &d2, &total);
  EXPECT_EQ(std::vector<int>({d1, d2, total}), std::vector<int>({-1, -1, -1}));
}

TEST_F(OutlineItemTest, MeasuredDistancesPlaceThePointAgain) {
  auto sizes = AddSizes(2);
  std::vector<CVertexNode*> v = AddSquare(1);  // smooth: spline points on every side
  v[0]->Flags = 0;
  v[2]->Flags = 0;
  outline_.SmoothCurves();
  CVertexNode* sample = outline_.GetCurveHead(sizes[0])->Next->Next->Next;
  ASSERT_EQ(sample->Kind(), 100);
  int d1 = 0, d2 = 0, total = 0;
  outline_.MeasureNotchPosition(sample->X, sample->Y, 0, 0, 0x000, nullptr, sizes[0], &d1, &d2, &total);
  EXPECT_EQ(d1 + d2, total);
  int x = 0, y = 0;
  outline_.PointBetweenVertices(d1, d2, 0x100, v[0], v[2], sizes[0], &x, &y);
  EXPECT_NEAR(x, sample->X, 1);
  EXPECT_NEAR(y, sample->Y, 1);
}

TEST_F(OutlineItemTest, NotchEndPointRunsInwardOnTheBisector) {
  auto sizes = AddSizes(1);
  AddSquare();
  outline_.SmoothCurves();
  const int r = static_cast<int>(std::lround(100 / std::sqrt(2.0)));
  struct Case {
    CPoint point;
    int angle;
    CPoint expected;
  };
  const Case kCases[] = {
      {{500, 0}, 0, {500, 100}},           // on an edge: straight in
      {{500, 0}, 900, {400, 0}},           // turned a quarter counter-clockwise
      {{1000, 500}, 0, {900, 500}},
      {{1000, 0}, 0, {1000 - r, r}},       // at a corner: half-way between the edges
      {{0, 1000}, -450, {0, 900}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y << " angle " << c.angle);
    int x = 0, y = 0;
    outline_.CalcNotchEndPoint(sizes[0], c.point.x, c.point.y, 100, c.angle, &x, &y);
    EXPECT_NEAR(x, c.expected.x, 1);
    EXPECT_NEAR(y, c.expected.y, 1);
  }
}

TEST_F(OutlineItemTest, NotchDirectionWalksStopAtAVertexOneMillimetreAwayElseAfterFive) {
  AddSizes(1);  // scale 40: 1 mm = 40 units, 5 mm = 200
  // The point sits on a vertex at (0, 0) of a bottom edge; after 50 units the
  // curve turns up. A vertex there ends the forward walk; a spline point
  // there lets it run on to 5 mm, up the steep part.
  struct Case {
    uint32_t turnKind;
    CPoint expected;
  };
  const Case kCases[] = {{0, {0, 100}}, {100, {-66, 75}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.turnKind);
    SetCurve({Node(0, 0, 0), Node(50, 0, c.turnKind), Node(50, 400, 100), Node(-400, 400, 0),
              Node(-400, 0, 0)});
    int x = 0, y = 0;
    outline_.CalcNotchEndPoint(g_Style.SizeRing, 0, 0, 100, 0, &x, &y);
    EXPECT_EQ(CPoint(x, y), c.expected);
  }
}

// Rings as a damaged file can give them: any kind byte anywhere (copies and
// parameter nodes at the head, groups cut short), doubled points, notch bits.
// Every curve operation must stay within the rings and come back.
TEST_F(OutlineItemTest, DamagedRingsAreWalkedSafely) {
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t bound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % bound;
  };
  const uint32_t kKinds[] = {0, 1, 2, 3, 5, 64, 64, 100, 128};
  for (int round = 0; round < 150; ++round) {
    SCOPED_TRACE(round);
    ResetStyleAndSettings();
    auto sizes = AddSizes(1 + static_cast<int>(next(3)));
    std::unique_ptr<CPieceCurveItem> items[] = {std::make_unique<CPieceItem0>(nullptr, nullptr),
                                                std::make_unique<CPieceItem9>(nullptr, nullptr),
                                                std::make_unique<CPieceItem12>(nullptr, nullptr)};
    const int count = static_cast<int>(next(10));
    std::vector<uint32_t> flags;
    std::vector<CPoint> points;
    for (int i = 0; i < count; ++i) {
      flags.push_back(kKinds[next(9)] | (next(4) == 0 ? 0x300u : 0u));
      points.emplace_back(static_cast<int>(next(5)) * 250, static_cast<int>(next(5)) * 250);
    }
    for (auto& item : items) {
      for (int i = 0; i < count; ++i) item->AddTailVertex(points[i].x, points[i].y, flags[i]);
      item->SmoothCurves();
      CVertexNode* node = nullptr;
      int x = 0, y = 0, z = 0;
      item->HitTestMainVertex(500, 500, 10.0, &node, &x, &y);
      item->GetExtent(1, &x, &y, &z, &z);
      RecordingDC dc;
      item->DrawSelected(&dc, 1.0, 0, 0, nullptr);
      for (CSizeRecord* size : sizes) {
        item->NearestCurvePoint(size, 300, 300, &node);
        CVertexNode* curve = item->GetCurveHead(size);
        for (int i = 0; i < item->GetCurveCount(size); ++i, curve = curve->Next) {
          item->MapToMainVertex(size, curve);
          item->NextKeyVertexOnCurve(size, curve);
          item->PrevKeyVertexOnCurve(size, curve);
          item->HitTestInSpan(size, curve->X + 3, curve->Y, 1.0, curve, curve->Next, &x, &y);
        }
      }
    }
    auto* outline = static_cast<CPieceItem0*>(items[0].get());
    CVertexNode* a = outline->VertexHead;
    for (int i = 0; i < outline->VertexCount; ++i, a = a->Next) {
      for (CSizeRecord* size : sizes) {
        int x = 0, y = 0, d1 = 0, d2 = 0, total = 0;
        outline->MapToCurveVertex(size, a);
        for (int code = 0; code <= 0x500; code += 0x100) {
          outline->PointBetweenVertices(3, 1, code, a, a->Next, size, &x, &y);
          outline->PointAtRatio(1, -7000, code, a, size, &x, &y);
          outline->MeasureNotchPosition(a->X + 5, a->Y, a->X, a->Y, code, nullptr, size, &d1, &d2, &total);
        }
        outline->CalcNotchEndPoint(size, a->X, a->Y + 2, 140, 300, &x, &y);
      }
    }
  }
}

}  // namespace
