// Whole-piece transforms: which points move for a size or a mode, text
// angles, mirrors with their notch directions, turning closed rings
// counter-clockwise with their corner parameters, and the signed area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "model/item_factory.h"
#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

constexpr double kHalfPi = 1.5707963267949;
constexpr int kNever = -3;   // a node no transform moves (width, parameter)
constexpr int kSingle = -2;  // a point stored once: moves for sizes -1 and 0

class TransformsTest : public ModelTest {
 protected:
  // Appends a graded run of `kind` at (x, y), size s at (x + s, y + 2 s),
  // and records the nodes' sizes.
  CVertexNode* Run(CPieceItem* item, int x, int y, uint32_t kind) {
    CVertexNode* main = item->AddTailVertex(x, y, kind);
    role_[main] = 0;
    for (int s = 1; s < g_Style.SizeCount; ++s) role_[item->AddTailVertex(x + s, y + 2 * s, 64)] = s;
    return main;
  }
  CVertexNode* Node(CPieceItem* item, int x, int y, uint32_t flags, int role) {
    CVertexNode* node = item->AddTailVertex(x, y, flags);
    role_[node] = role;
    return node;
  }

  // A piece with one item of every treatment: outline (0), grain line (1),
  // two-point line (5), text (11), notches (13), a derived two-point line
  // (22), marked line (26), cross marker (27), dimension (28) and frame (29).
  CPieceRecord* BuildPiece() {
    auto* piece = new CPieceRecord;
    std::unique_ptr<CPieceItem> ownedOutline = CreatePieceItem(0);
    CPieceItem* outline = ownedOutline.get();
    Run(outline, 0, 0, 0);
    Node(outline, 0x00050007, 0, kVertexKindParameter, kNever);
    Run(outline, 1000, 0, 0);
    Run(outline, 1000, 1000, 3);
    Run(outline, 0, 1000, 0);
    piece->AddItem(ownedOutline.release());

    // The dimension measures between the grain line's two ends, which move
    // with it in every mode, so that it stays anchored.
    std::unique_ptr<CPieceItem> ownedGrain = CreatePieceItem(1);
    CPieceItem* grain = ownedGrain.get();
    Node(grain, 200, 500, 0, kSingle);
    Node(grain, 800, 500, 0, kSingle);
    piece->AddItem(ownedGrain.release());

    std::unique_ptr<CPieceItem> ownedLine = CreatePieceItem(5);
    CPieceItem* line = ownedLine.get();
    Run(line, 100, 100, 0);
    Run(line, 300, 100, 3);
    piece->AddItem(ownedLine.release());

    auto* text = new CPieceItem11(nullptr, nullptr);
    text->AnchorX = 400;
    text->AnchorY = 600;
    piece->AddItem(text);

    std::unique_ptr<CPieceItem> ownedNotches = CreatePieceItem(13);
    CPieceItem* notches = ownedNotches.get();
    Run(notches, 500, 0, 0);
    Run(notches, 500, 50, 0x101);
    Node(notches, 40, 900, kVertexKindFixedSingle, kNever);
    Node(notches, 1000, 0, (1u << 8) | kVertexKindMovedSingle, kSingle);
    piece->AddItem(ownedNotches.release());

    std::unique_ptr<CPieceItem> ownedDerived = CreatePieceItem(22);
    CPieceItem* derived = ownedDerived.get();
    Run(derived, 150, 150, 0);
    Run(derived, 250, 150, 0);
    piece->AddItem(ownedDerived.release());

    auto* marked = new CPieceItem26(nullptr, nullptr);
    Node(marked, 100, 800, 2, kSingle);
    Node(marked, 300, 800, 2, kSingle);
    marked->MarkedNode = std::make_unique<CVertexNode>();
    marked->MarkedNode->X = 200;
    marked->MarkedNode->Y = 800;
    piece->AddItem(marked);

    std::unique_ptr<CPieceItem> ownedCross = CreatePieceItem(27);
    CPieceItem* cross = ownedCross.get();
    Node(cross, 600, 700, 0, kSingle);
    Node(cross, 650, 750, 0, kNever);  // only the head is the marker's point
    piece->AddItem(ownedCross.release());

    auto* dimension = new CPieceItem28(nullptr, nullptr);
    dimension->FirstItemType = 1;
    dimension->SecondItemType = 1;
    Node(dimension, 200, 500, 0, kSingle);
    Node(dimension, 800, 500, 0, kSingle);
    Node(dimension, 200, 400, 0, kSingle);
    Node(dimension, 800, 400, 0, kSingle);
    piece->AddItem(dimension);

    std::unique_ptr<CPieceItem> ownedFrame = CreatePieceItem(29);
    CPieceItem* frame = ownedFrame.get();
    Node(frame, 10, 10, 0, kNever);
    Node(frame, 20, 20, 0, kNever);
    piece->AddItem(ownedFrame.release());

    piece->UpdateCurveItems();
    return piece;
  }

  // Every point of the piece by node (the text anchor and the marked node
  // under their own keys), in model units.
  static std::map<const void*, CPoint> Points(const CPieceRecord* piece) {
    std::map<const void*, CPoint> points;
    const CPieceItem* item = piece->ItemRing;
    for (int i = 0; i < piece->ItemCount; ++i, item = item->Next) {
      const CVertexNode* node = item->VertexHead;
      for (int n = 0; n < item->VertexCount; ++n, node = node->Next) points[node] = CPoint(node->X, node->Y);
      if (auto* text = dynamic_cast<const CPieceItem11*>(item)) points[text] = CPoint(text->AnchorX, text->AnchorY);
      if (auto* marked = dynamic_cast<const CPieceItem26*>(item)) {
        points[marked->MarkedNode.get()] = CPoint(marked->MarkedNode->X, marked->MarkedNode->Y);
      }
    }
    return points;
  }

  // The item type that holds a key of Points().
  static int TypeOf(const CPieceRecord* piece, const void* key) {
    const CPieceItem* item = piece->ItemRing;
    for (int i = 0; i < piece->ItemCount; ++i, item = item->Next) {
      if (item == key) return item->Type;
      const CVertexNode* node = item->VertexHead;
      for (int n = 0; n < item->VertexCount; ++n, node = node->Next) {
        if (node == key) return item->Type;
      }
      if (auto* marked = dynamic_cast<const CPieceItem26*>(item)) {
        if (marked->MarkedNode.get() == key) return 26;
      }
    }
    return -1;
  }

  int RoleOf(const void* key) const {
    auto it = role_.find(static_cast<const CVertexNode*>(key));
    return it == role_.end() ? kSingle : it->second;  // text anchor, marked node
  }

  std::map<const CVertexNode*, int> role_;
};

CPoint QuarterTurn(CPoint p) { return CPoint(-p.y, p.x); }

TEST_F(TransformsTest, TurningOneSizeMovesOnlyThatSizesNodes) {
  AddSizes(3);
  for (int size : {2, 0, -1}) {
    SCOPED_TRACE(size);
    role_.clear();
    std::unique_ptr<CPieceRecord> piece(BuildPiece());
    const auto before = Points(piece.get());
    piece->Rotate(0, 0, kHalfPi, 0, size);
    const auto after = Points(piece.get());
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [key, was] : before) {
      const int role = RoleOf(key);
      const int type = TypeOf(piece.get(), key);
      bool moves = role >= 0 ? (size == -1 || size == role) : role == kSingle && (size == -1 || size == 0);
      if (type == 29) moves = false;
      SCOPED_TRACE(testing::Message() << "type " << type << " at " << was.x << "," << was.y);
      EXPECT_EQ(after.at(key), moves ? QuarterTurn(was) : was);
    }
  }
}

TEST_F(TransformsTest, ModesChooseTheItemsThatTurn) {
  AddSizes(2);
  struct Case {
    int mode;
    std::vector<int> turned;
  };
  const Case kCases[] = {
      {0, {0, 1, 5, 11, 13, 22, 26, 27, 28}},
      {1, {0, 5, 11, 13, 22, 26, 27}},
      {2, {1, 26, 27, 28}},
      {3, {26, 27}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.mode);
    role_.clear();
    std::unique_ptr<CPieceRecord> piece(BuildPiece());
    const auto before = Points(piece.get());
    piece->Rotate(0, 0, kHalfPi, c.mode, -1);
    const auto after = Points(piece.get());
    for (const auto& [key, was] : before) {
      const int type = TypeOf(piece.get(), key);
      const bool typeTurns = std::find(c.turned.begin(), c.turned.end(), type) != c.turned.end();
      const bool moves = typeTurns && RoleOf(key) != kNever;
      SCOPED_TRACE(testing::Message() << "type " << type << " at " << was.x << "," << was.y);
      EXPECT_EQ(after.at(key), moves ? QuarterTurn(was) : was);
    }
  }
}

TEST_F(TransformsTest, TurningTurnsTheTextAngleTheOtherWayWithinAFullTurn) {
  AddSizes(1);
  struct Case {
    int angle;
    double turn;
    int expected;
  };
  const Case kCases[] = {
      {0, kHalfPi, 2700},     // a quarter turn counter-clockwise is -900 tenths
      {100, kHalfPi, 2800},
      {3599, -0.0005, 3599},  // rounds to no change
      {3599, -0.01, 5},       // +6 tenths passes 3600
      {3000, -kHalfPi * 2 / 3, 3600},  // exactly 3600 stays
      {0, 4 * kHalfPi * 3, 0},         // three whole turns: -10800 comes up to 0
      {0, -4 * kHalfPi * 3, 3600},     // and +10800 down to 3600, not 0
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.angle << " by " << c.turn);
    CPieceRecord piece;
    auto* text = new CPieceItem11(nullptr, nullptr);
    text->Font.lfEscapement = c.angle;
    text->Font.lfOrientation = c.angle;
    piece.AddItem(text);
    piece.Rotate(0, 0, c.turn, 0, -1);
    EXPECT_EQ(text->Font.lfEscapement, c.expected);
    EXPECT_EQ(text->Font.lfOrientation, c.expected);
  }
}

TEST_F(TransformsTest, MovingLeavesTheDerivedItemsAndUnderRawLoadingTheCurves) {
  AddSizes(2);
  FakeShell shell;
  for (int loadMode : {0, kLoadModeRawCopy}) {
    SCOPED_TRACE(loadMode);
    shell.LoadMode = loadMode;
    role_.clear();
    std::unique_ptr<CPieceRecord> piece(BuildPiece());
    const auto before = Points(piece.get());
    piece->Move(5, -7, -1);
    for (const auto& [key, was] : Points(piece.get())) {
      const int type = TypeOf(piece.get(), key);
      const bool moves = type != 22 && type != 29 && RoleOf(key) != kNever;
      SCOPED_TRACE(testing::Message() << "type " << type);
      EXPECT_EQ(was, moves ? CPoint(before.at(key).x + 5, before.at(key).y - 7) : before.at(key));
    }
    auto* outline = dynamic_cast<CPieceCurveItem*>(Item(piece.get(), 0));
    const CVertexNode* curveHead = outline->GetCurveHead(g_Style.SizeRing);
    EXPECT_EQ(CPoint(curveHead->X, curveHead->Y), loadMode == kLoadModeRawCopy ? CPoint(0, 0) : CPoint(5, -7));
  }
}

// A piece without an outline (so that no notch refit follows a mirror) with
// a closed internal line and one notch anchor for each direction code 0-6.
// Every x + y is even, so that mirroring about the diagonal is exact.
CPieceRecord* MirrorPiece() {
  auto* piece = new CPieceRecord;
  std::unique_ptr<CPieceItem> ring = CreatePieceItem(8);
  for (CPoint p : {CPoint(0, 0), CPoint(100, 0), CPoint(100, 50), CPoint(0, 70)}) {
    ring->AddTailVertex(p.x, p.y, 0);
    ring->AddTailVertex(p.x + 3, p.y + 5, 64);
  }
  piece->AddItem(ring.release());
  std::unique_ptr<CPieceItem> notches = CreatePieceItem(13);
  for (uint32_t direction = 0; direction <= 6; ++direction) {
    notches->AddTailVertex(10 * direction, 0, 0);
    notches->AddTailVertex(10 * direction, 2, 64);
    notches->AddTailVertex(10 * direction, 20, 0x101);
    notches->AddTailVertex(10 * direction, 22, 64);
    notches->AddTailVertex(40, 900, kVertexKindFixedSingle);
    notches->AddTailVertex(10 * direction, 0, (direction << 8) | kVertexKindMovedSingle);
  }
  piece->AddItem(notches.release());
  auto* text = new CPieceItem11(nullptr, nullptr);
  text->AnchorX = 30;
  text->AnchorY = 40;
  text->Font.lfEscapement = 300;
  text->Font.lfOrientation = 300;
  piece->AddItem(text);
  piece->UpdateCurveItems();
  return piece;
}

std::vector<uint32_t> NotchDirections(const CPieceRecord* piece) {
  CPieceItem* notches = nullptr;
  piece->FindItem(13, &notches);
  std::vector<uint32_t> directions;
  CVertexNode* node = notches->VertexHead;
  for (int i = 0; i < notches->VertexCount; ++i, node = node->Next) {
    if (node->Kind() == kVertexKindMovedSingle) directions.push_back((node->Flags >> 8) & 0xFF);
  }
  return directions;
}

TEST_F(TransformsTest, MirrorsSwapNotchDirectionsAndTextAngles) {
  AddSizes(2);
  std::unique_ptr<CPieceRecord> piece(MirrorPiece());
  const auto before = Points(piece.get());
  piece->MirrorHorizontal(100);
  EXPECT_EQ(NotchDirections(piece.get()), (std::vector<uint32_t>{0, 2, 1, 3, 5, 4, 6}));
  for (const auto& [key, was] : Points(piece.get())) {
    const CPoint old = before.at(key);
    const bool fixed = old == CPoint(40, 900);  // the notch widths
    EXPECT_EQ(was, fixed ? old : CPoint(old.x, 200 - old.y));
  }
  auto* text = dynamic_cast<CPieceItem11*>(Item(piece.get(), 11));
  EXPECT_EQ(text->Font.lfEscapement, 3300);
  EXPECT_EQ(text->Font.lfOrientation, 3300);
}

TEST_F(TransformsTest, MirroringAboutALineTwiceGivesThePieceBack) {
  AddSizes(2);
  std::unique_ptr<CPieceRecord> piece(MirrorPiece());
  CPieceItem* ring = Item(piece.get(), 8);
  const auto before = Points(piece.get());
  const std::vector<int> kinds = Kinds(ring);
  CVertexNode* second = ring->VertexHead->Next->Next;

  piece->MirrorLine(0, 0, 10, 10);  // the diagonal: (x, y) -> (y, x)
  EXPECT_EQ(ring->VertexHead->Next->Next->Next->Next->Next->Next, second);  // reversed, head kept
  for (const auto& [key, was] : Points(piece.get())) {
    const CPoint old = before.at(key);
    EXPECT_EQ(was, old == CPoint(40, 900) ? old : CPoint(old.y, old.x));
  }
  EXPECT_EQ(NotchDirections(piece.get()), (std::vector<uint32_t>{0, 2, 1, 3, 5, 4, 6}));

  piece->MirrorLine(0, 0, 10, 10);
  EXPECT_EQ(Points(piece.get()), before);
  EXPECT_EQ(ring->VertexHead->Next->Next, second);
  EXPECT_EQ(Kinds(ring), kinds);
  EXPECT_EQ(NotchDirections(piece.get()), (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(dynamic_cast<CPieceItem11*>(Item(piece.get(), 11))->Font.lfEscapement, 300);
}

TEST_F(TransformsTest, MirroringAboutTwoEqualPointsChangesNothing) {
  AddSizes(2);
  std::unique_ptr<CPieceRecord> piece(MirrorPiece());
  CPieceItem* ring = Item(piece.get(), 8);
  const auto before = Points(piece.get());
  CVertexNode* second = ring->VertexHead->Next->Next;
  piece->MirrorLine(50, 60, 50, 60);
  EXPECT_EQ(Points(piece.get()), before);
  EXPECT_EQ(ring->VertexHead->Next->Next, second);
  EXPECT_EQ(NotchDirections(piece.get()), (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6}));
}

class OrientationTest : public TransformsTest {
 protected:
  // An outline of corners through `corners` with their copies (size s at
  // +s, +2 s) and, after the first three, parameter nodes: corner codes 0, 8
  // and 13 (with 2 in the high half), widths 5/7, 1/2 and 3/4 (high/low).
  static CPieceItem* Outline(CPieceRecord* piece, const std::vector<CPoint>& corners) {
    std::unique_ptr<CPieceItem> ownedOutline = CreatePieceItem(0);
    CPieceItem* outline = ownedOutline.get();
    const int32_t params[3][2] = {{0x00050007, 0}, {0x00010002, 8}, {0x00030004, 0x0002000D}};
    for (size_t i = 0; i < corners.size(); ++i) {
      outline->AddTailVertex(corners[i].x, corners[i].y, 0);
      for (int s = 1; s < g_Style.SizeCount; ++s) outline->AddTailVertex(corners[i].x + s, corners[i].y + 2 * s, 64);
      if (i < 3) outline->AddTailVertex(params[i][0], params[i][1], kVertexKindParameter);
    }
    piece->AddItem(ownedOutline.release());
    return outline;
  }

  static std::vector<CPoint> MainPositions(const CPieceItem* item) {
    std::vector<CPoint> points;
    for (CPoint p : item->MainVertexPositions(0)) points.push_back(p);
    return points;
  }

  static std::vector<CPoint> Params(const CPieceItem* item) {
    std::vector<CPoint> params;  // (x word, y word) in ring order
    CVertexNode* node = item->VertexHead;
    for (int i = 0; i < item->VertexCount; ++i, node = node->Next) {
      if (node->Kind() == kVertexKindParameter) params.emplace_back(node->X, node->Y);
    }
    return params;
  }
};

TEST_F(OrientationTest, ACounterClockwiseOutlineStaysAsItIs) {
  AddSizes(2);
  CPieceRecord piece;
  CPieceItem* outline = Outline(&piece, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  const std::vector<CPoint> params = Params(outline);
  piece.NormalizeOrientation(1);
  EXPECT_EQ(MainPositions(outline), (std::vector<CPoint>{{0, 0}, {100, 0}, {100, 100}, {0, 100}}));
  EXPECT_EQ(Params(outline), params);
}

TEST_F(OrientationTest, AClockwiseOutlineIsReversedWithItsCornersTurnedRound) {
  AddSizes(2);
  FakeShell shell;
  for (int loadMode : {0, kLoadModeFlatNative}) {
    SCOPED_TRACE(loadMode);
    shell.LoadMode = loadMode;
    CPieceRecord piece;
    CPieceItem* outline = Outline(&piece, {{0, 0}, {0, 100}, {100, 100}, {100, 0}});
    CVertexNode* head = outline->VertexHead;
    piece.NormalizeOrientation(1);
    EXPECT_EQ(outline->VertexHead, head);
    EXPECT_EQ(MainPositions(outline), (std::vector<CPoint>{{0, 0}, {100, 0}, {100, 100}, {0, 100}}));
    // Each vertex keeps its copy and parameter node: the parameters now
    // stand in the order of the vertices (0,0), (100,100), (0,100).
    EXPECT_EQ(Kinds(outline), (std::vector<int>{0, 64, 128, 0, 64, 0, 64, 128, 0, 64, 128}));
    EXPECT_EQ(CPoint(head->Next->X, head->Next->Y), CPoint(1, 2));
    const std::vector<CPoint> params = Params(outline);
    ASSERT_EQ(params.size(), 3u);
    // Codes 0 -> 3, 13 -> 14 (high half kept), 8 -> 7.
    EXPECT_EQ(params[0].y, 3);
    EXPECT_EQ(params[1].y, 0x0002000E);
    EXPECT_EQ(params[2].y, 7);
    if (loadMode == kLoadModeFlatNative) {
      // Each takes the whole width word of the parameter after it.
      EXPECT_EQ(params[0].x, 0x00030004);
      EXPECT_EQ(params[1].x, 0x00010002);
      EXPECT_EQ(params[2].x, 0x00050007);
    } else {
      EXPECT_EQ(params[0].x, 0x00070005);
      EXPECT_EQ(params[1].x, 0x00040003);
      EXPECT_EQ(params[2].x, 0x00020001);
    }
  }
}

TEST_F(OrientationTest, AReversedOutlineRefitsItsNotchesUnlessTheReaderSaysNot) {
  AddSizes(1);
  FakeShell shell;
  for (int loadMode : {0, kLoadModeSkipNotchRefit}) {
    SCOPED_TRACE(loadMode);
    shell.LoadMode = loadMode;
    CPieceRecord piece;
    Outline(&piece, {{0, 0}, {0, 100}, {100, 100}, {100, 0}});
    // A notch that belongs to no outline vertex: a refit drops it, and the
    // emptied notch item goes with it.
    std::unique_ptr<CPieceItem> notches = CreatePieceItem(13);
    notches->AddTailVertex(50, 0, 0);
    notches->AddTailVertex(50, 10, 0x101);
    notches->AddTailVertex(40, 900, kVertexKindFixedSingle);
    notches->AddTailVertex(5000, 5000, (3u << 8) | kVertexKindMovedSingle);
    piece.AddItem(notches.release());
    piece.NormalizeOrientation(1);
    EXPECT_EQ(Item(&piece, 13) != nullptr, loadMode == kLoadModeSkipNotchRefit);
  }
}

TEST_F(OrientationTest, ReversingUnconditionallySwapsTheSelectedVertices) {
  AddSizes(2);
  CPieceRecord piece;
  CPieceItem* outline = Outline(&piece, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  CVertexNode* a = outline->VertexHead;
  CVertexNode* b = outline->NextMainVertex(a);
  g_Selection.SetCurrent(&piece, outline, a, b);
  piece.NormalizeOrientation(0);
  EXPECT_EQ(MainPositions(outline), (std::vector<CPoint>{{0, 0}, {0, 100}, {100, 100}, {100, 0}}));
  EXPECT_EQ(g_Selection.GetValue2(), b);
  EXPECT_EQ(g_Selection.GetValue3(), a);
}

TEST_F(TransformsTest, AreaIsPositiveForACounterClockwiseRing) {
  AddSizes(2);
  auto square = [](int type, int side, bool clockwise) {
    std::unique_ptr<CPieceItem> item = CreatePieceItem(type);
    std::vector<CPoint> corners = {{0, 0}, {side, 0}, {side, side}, {0, side}};
    if (clockwise) std::reverse(corners.begin() + 1, corners.end());
    for (CPoint p : corners) {
      item->AddTailVertex(p.x, p.y, 0);
      item->AddTailVertex(p.x, 2 * p.y, 64);  // size 1 twice as high
    }
    dynamic_cast<CPieceCurveItem*>(item.get())->SmoothCurves();
    return item;
  };
  CSizeRecord* first = g_Style.SizeRing;
  CSizeRecord* second = first->Next;

  CPieceRecord outlineOnly;
  outlineOnly.AddItem(square(0, 10, false).release());
  EXPECT_DOUBLE_EQ(outlineOnly.CalcArea(first, 0), 100.0);
  EXPECT_DOUBLE_EQ(outlineOnly.CalcArea(second, 1), 200.0);

  CPieceRecord clockwise;
  clockwise.AddItem(square(0, 10, true).release());
  EXPECT_DOUBLE_EQ(clockwise.CalcArea(first, 0), -100.0);

  CPieceRecord all;
  all.AddItem(square(0, 10, false).release());
  all.AddItem(square(12, 20, false).release());
  all.AddItem(square(21, 30, false).release());
  EXPECT_DOUBLE_EQ(all.CalcArea(first, 0), 900.0);  // the contour
  EXPECT_DOUBLE_EQ(all.CalcArea(first, 1), 400.0);  // the cut line

  CPieceRecord none;
  EXPECT_DOUBLE_EQ(none.CalcArea(first, 0), 0.0);
}

}  // namespace
