// Corner codes between memory and the flat files, line attributes, the sign
// of corner widths, and the tidying of internal lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "model/corner_codes.h"
#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "support/model_fixture.h"

namespace {

class CornerCodesTest : public ModelTest {
 protected:
  // An outline of main vertices (kind 0) with one copy per further size at
  // the same place, each followed by a parameter node with the given y
  // word (and x 0).
  static CPieceItem0* OutlineWithCodes(CPieceRecord* piece, const std::vector<uint32_t>& yWords) {
    auto* outline = new CPieceItem0(nullptr, nullptr);
    int x = 0;
    for (uint32_t y : yWords) {
      outline->AddTailVertex(x, 0, 0);
      for (int s = 1; s < g_Style.SizeCount; ++s) outline->AddTailVertex(x, 0, 64);
      outline->AddTailVertex(0, static_cast<int32_t>(y), 128);
      x += 1000;
    }
    piece->AddItem(outline);
    return outline;
  }

  static std::vector<uint32_t> ParamYWords(const CPieceItem* item) {
    std::vector<uint32_t> words;
    CVertexNode* node = item->VertexHead;
    for (int i = 0; i < item->VertexCount; ++i, node = node->Next) {
      if (node->Kind() == 128) words.push_back(static_cast<uint32_t>(node->Y));
    }
    return words;
  }

  // An internal line of `type` through the points, one size.
  static CPieceItem* Line(CPieceRecord* piece, int type, const std::vector<CPoint>& points) {
    CPieceItem* line = type == 8 ? static_cast<CPieceItem*>(new CPieceItem8(nullptr, nullptr))
                                 : static_cast<CPieceItem*>(new CPieceItem9(nullptr, nullptr));
    for (const CPoint& p : points) line->AddTailVertex(p.x, p.y, 0);
    piece->AddItem(line);
    return line;
  }

  static std::vector<CPoint> Points(const CPieceItem* item) {
    std::vector<CPoint> points;
    CVertexNode* node = item->VertexHead;
    for (int i = 0; i < item->VertexCount; ++i, node = node->Next) points.emplace_back(node->X, node->Y);
    return points;
  }
};

TEST_F(CornerCodesTest, EncodingWorksOnACopyAndDecodingTheCopyRenumbers) {
  AddSizes(2);
  CPieceRecord piece;
  const uint32_t withHigh13 = (7u << 16) | 13u;
  const std::vector<uint32_t> memory = {0, 1, 2, 3, 4, 5, 12, withHigh13, (3u << 16) | 6u};
  CPieceItem0* outline = OutlineWithCodes(&piece, memory);

  std::unique_ptr<CPieceRecord> written = piece.EncodeCornerCodes();
  ASSERT_TRUE(written);
  CPieceItem* copy = nullptr;
  ASSERT_TRUE(written->FindItem(0, &copy));
  EXPECT_EQ(ParamYWords(copy), (std::vector<uint32_t>{5, 1, 3, 4, 1, 2, 1, (7u << 16) | 10u, 1}));
  // The piece in memory keeps its own codes.
  EXPECT_EQ(ParamYWords(outline), memory);

  written->DecodeCornerCodes();
  EXPECT_EQ(ParamYWords(copy), (std::vector<uint32_t>{10, 6, 8, 9, 6, 7, 6, withHigh13, 6}));
}

TEST_F(CornerCodesTest, EveryCodeRenumbersBothWays) {
  struct Case {
    uint32_t in;
    uint32_t encoded;
    uint32_t decoded;
  };
  const uint32_t high = 0x00050000u;
  const Case kCases[] = {
      {high | 0, 5, 6},           {high | 1, 1, 6},          {high | 2, 3, 7},          {high | 3, 4, 8},
      {high | 4, 1, 9},           {high | 5, 2, 10},         {high | 6, 1, 11},         {high | 7, 2, 15},
      {high | 8, 3, 16},          {high | 9, 4, 17},         {high | 10, 5, high | 13},  {high | 11, 6, high | 14},
      {high | 12, 1, high | 18},  {high | 13, high | 10, high | 19}, {high | 14, high | 11, high | 20},
      {high | 15, 7, high | 21},  {high | 16, high | 8, 6},  {high | 17, high | 9, 6},  {high | 18, high | 12, 6},
      {high | 19, high | 13, 6},  {high | 20, high | 14, 6}, {high | 21, high | 15, 6}, {high | 22, 1, 6},
      {0xFFFFFFFFu, 1, 6},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.in & 0xFFFF);
    EXPECT_EQ(EncodeCornerCode(c.in), c.encoded);
    EXPECT_EQ(DecodeCornerCode(c.in), c.decoded);
  }
}

TEST_F(CornerCodesTest, DecodingLeavesOtherNodesAndPiecesWithoutOutlineAlone) {
  AddSizes(1);
  CPieceRecord bare;
  auto* line = new CPieceItem9(nullptr, nullptr);
  line->AddTailVertex(0, 0, 0);
  line->AddTailVertex(0, 3, 128);
  bare.AddItem(line);
  bare.DecodeCornerCodes();
  EXPECT_EQ(line->VertexHead->Next->Y, 3);

  CPieceRecord piece;
  CPieceItem0* outline = OutlineWithCodes(&piece, {1});
  outline->VertexHead->Y = 1;  // a main vertex at y 1 is no code
  piece.DecodeCornerCodes();
  EXPECT_EQ(outline->VertexHead->Y, 1);
  EXPECT_EQ(ParamYWords(outline), std::vector<uint32_t>{6});
}

TEST_F(CornerCodesTest, LineAttributesTravelInTheHeadVertex) {
  AddSizes(1);
  auto* listed = new CPieceRecord;
  CPieceItem* closed = Line(listed, 8, {{0, 0}, {10, 0}, {10, 10}});
  CPieceItem* open = Line(listed, 9, {{0, 0}, {5, 5}});
  closed->Tag = 0x33;
  open->Tag = 0x1F;
  closed->VertexHead->Attributes = 0xFFF01234u;
  g_Style.AddPiece(listed);
  auto* work = new CPieceRecord;
  CPieceItem* workLine = Line(work, 9, {{1, 1}, {2, 2}});
  workLine->Tag = 5;
  g_Style.AddWorkPiece(work);

  PackLineAttributes();
  EXPECT_EQ(closed->VertexHead->Attributes, 0x00031234u);
  EXPECT_EQ(open->VertexHead->Attributes, 0x000F0000u);
  EXPECT_EQ(workLine->VertexHead->Attributes, 0x00050000u);

  closed->Tag = 0x30;
  open->Tag = 0;
  workLine->Tag = 0;
  UnpackLineAttributes();
  EXPECT_EQ(closed->Tag, 0x33);
  EXPECT_EQ(open->Tag, 0xF);
  EXPECT_EQ(workLine->Tag, 0);  // the work area is not unpacked
}

TEST_F(CornerCodesTest, TheFirstDecidingWidthGivesTheSign) {
  AddSizes(1);
  struct Case {
    std::vector<int32_t> widths;  // x words of the parameter nodes, in order
    int negative;
  };
  auto word = [](int incoming, int outgoing) {
    return static_cast<int32_t>((static_cast<uint32_t>(incoming) << 16) | (static_cast<uint32_t>(outgoing) & 0xFFFFu));
  };
  const Case kCases[] = {
      {{0, 0}, 0},
      {{0, word(0, -40)}, 1},
      {{0, word(-40, 0)}, 1},
      {{word(40, 40), word(-40, -40)}, 0},
      {{word(40, -40)}, 1},
      {{}, 0},
  };
  for (const Case& c : kCases) {
    CPieceRecord piece;
    auto* outline = new CPieceItem0(nullptr, nullptr);
    auto* contour = new CPieceItem21(nullptr, nullptr);
    for (int32_t x : c.widths) {
      for (CPieceItem* item : {static_cast<CPieceItem*>(outline), static_cast<CPieceItem*>(contour)}) {
        item->AddTailVertex(0, 0, 0);
        item->AddTailVertex(x, 6, 128);
      }
    }
    piece.AddItem(outline);
    piece.AddItem(contour);
    EXPECT_EQ(piece.IsOutlineParamNegative(), c.negative);
    EXPECT_EQ(piece.IsItem21ParamNegative(), c.negative);
  }
  // Only nodes whose whole flags word is 128 count.
  CPieceRecord piece;
  auto* outline = new CPieceItem0(nullptr, nullptr);
  outline->AddTailVertex(0, 0, 0);
  outline->AddTailVertex(word(-1, -1), 6, 0x180);
  piece.AddItem(outline);
  EXPECT_EQ(piece.IsOutlineParamNegative(), 0);
  EXPECT_EQ(CPieceRecord().IsOutlineParamNegative(), 0);
}

TEST_F(CornerCodesTest, SegmentItemsAreMarkedWhenAPointOfKindFourLeavesTheOutline) {
  AddSizes(1);
  auto* piece = new CPieceRecord;
  auto* outline = new CPieceItem0(nullptr, nullptr);
  for (CPoint p : {CPoint(0, 0), CPoint(100, 0), CPoint(100, 100)}) outline->AddTailVertex(p.x, p.y, 0);
  piece->AddItem(outline);
  auto* onOutline = new CPieceItem7(nullptr, nullptr);
  onOutline->AddTailVertex(0, 0, 4);
  onOutline->AddTailVertex(50, 50, 0);  // off the outline, but not of kind 4
  onOutline->SegmentWord = 1;
  piece->AddItem(onOutline);
  auto* off = new CPieceItem7(nullptr, nullptr);
  off->AddTailVertex(100, 0, 0);
  off->AddTailVertex(50, 50, 4);
  piece->AddItem(off);
  g_Style.AddPiece(piece);
  auto* noOutline = new CPieceRecord;
  auto* loose = new CPieceItem7(nullptr, nullptr);
  loose->AddTailVertex(50, 50, 4);
  noOutline->AddItem(loose);
  g_Style.AddPiece(noOutline);

  g_Style.MarkItems7OffOutline();
  EXPECT_EQ(onOutline->SegmentWord, 0);
  EXPECT_EQ(off->SegmentWord, 1);
  EXPECT_EQ(loose->SegmentWord, 0);
}

TEST_F(CornerCodesTest, DuplicateLinesAreWithinTwoUnitsOfTheSameShape) {
  AddSizes(1);
  struct Case {
    int type;
    std::vector<CPoint> other;
    int removed;
  };
  const Case kCases[] = {
      {9, {{2, -2}, {102, 2}, {98, 102}}, 1},
      {9, {{2, -2}, {103, 2}, {98, 102}}, 0},
      {9, {{0, 0}, {100, 0}}, 0},
      {8, {{0, 0}, {100, 0}, {100, 100}}, 0},
  };
  for (const Case& c : kCases) {
    CPieceRecord piece;
    Line(&piece, 9, {{0, 0}, {100, 0}, {100, 100}});
    Line(&piece, c.type, c.other);
    EXPECT_EQ(piece.RemoveDuplicateLines(), c.removed);
    EXPECT_EQ(piece.ItemCount, 2 - c.removed);
  }
  CPieceRecord triple;
  for (int i = 0; i < 3; ++i) Line(&triple, 8, {{i, 0}, {100, i}, {100, 100}});
  EXPECT_EQ(triple.RemoveDuplicateLines(), 2);
  EXPECT_EQ(triple.ItemCount, 1);
}

TEST_F(CornerCodesTest, OpenLinesThatMeetAreJoined) {
  AddSizes(1);
  struct Case {
    const char* name;
    std::vector<CPoint> first;
    std::vector<CPoint> second;
    std::vector<CPoint> joined;
  };
  const Case kCases[] = {
      {"end to start", {{0, 0}, {10, 0}}, {{10, 0}, {10, 10}}, {{0, 0}, {10, 0}, {10, 10}}},
      {"start to start", {{0, 0}, {10, 0}}, {{0, 0}, {0, 10}, {5, 20}}, {{5, 20}, {0, 10}, {0, 0}, {10, 0}}},
      {"start to end", {{0, 0}, {10, 0}}, {{5, 20}, {0, 10}, {0, 0}}, {{5, 20}, {0, 10}, {0, 0}, {10, 0}}},
      {"end to end", {{0, 0}, {10, 0}}, {{5, 20}, {10, 10}, {10, 0}}, {{0, 0}, {10, 0}, {10, 10}, {5, 20}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPieceRecord piece;
    Line(&piece, 9, c.first);
    Line(&piece, 9, c.second);
    piece.JoinOpenLines();
    ASSERT_EQ(piece.ItemCount, 1);
    EXPECT_EQ(piece.ItemRing->Type, 9);
    EXPECT_EQ(Points(piece.ItemRing), c.joined);
  }
}

TEST_F(CornerCodesTest, JoiningCarriesEverySizeOfAVertex) {
  AddSizes(2);
  CPieceRecord piece;
  auto* a = new CPieceItem9(nullptr, nullptr);
  AddGraded(a, 0, 0, 0);
  AddGraded(a, 500, 0, 0);
  piece.AddItem(a);
  auto* b = new CPieceItem9(nullptr, nullptr);
  AddGraded(b, 0, 0, 0);
  AddGraded(b, 0, 500, 1);
  piece.AddItem(b);
  piece.JoinOpenLines();
  ASSERT_EQ(piece.ItemCount, 1);
  EXPECT_EQ(Points(piece.ItemRing),
            (std::vector<CPoint>{{0, 500}, {10, 600}, {0, 0}, {10, 100}, {500, 0}, {510, 100}}));
  EXPECT_EQ(Kinds(piece.ItemRing), (std::vector<int>{1, 64, 0, 64, 0, 64}));
}

TEST_F(CornerCodesTest, AChainClosingOnItselfBecomesAClosedLine) {
  AddSizes(1);
  CPieceRecord piece;
  Line(&piece, 9, {{0, 0}, {10, 0}});
  Line(&piece, 9, {{10, 0}, {10, 10}});
  Line(&piece, 9, {{10, 10}, {0, 10}});
  Line(&piece, 9, {{0, 10}, {0, 0}});
  for (CPieceItem* line = piece.ItemRing; line->Tag == 0; line = line->Next) line->Tag = 2;
  Line(&piece, 8, {{-5, -5}, {20, -5}, {20, 20}});
  piece.JoinOpenLines();
  ASSERT_EQ(ItemTypes(piece), (std::vector<int>{8, 8}));
  // The last line took the others on: the closed line starts where it did.
  CPieceItem* closed = piece.ItemRing->Next;
  EXPECT_EQ(Points(closed), (std::vector<CPoint>{{0, 10}, {0, 0}, {10, 0}, {10, 10}}));
  EXPECT_EQ(closed->Tag, 2);
  auto* curve = dynamic_cast<CPieceCurveItem*>(closed);
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(curve->GetCurveCount(g_Style.SizeRing), 4);

  // A single open line that closes is turned by the second walk; one of
  // three main vertices is no closed line.
  CPieceRecord single;
  Line(&single, 9, {{0, 0}, {10, 0}, {10, 10}, {0, 0}});
  Line(&single, 9, {{50, 0}, {60, 0}, {50, 0}});
  single.JoinOpenLines();
  EXPECT_EQ(ItemTypes(single), (std::vector<int>{9, 8}));
}

TEST_F(CornerCodesTest, JoiningIsSwitchedOff) {
  AddSizes(1);
  g_SwitchJoinLines = 0;
  CPieceRecord piece;
  Line(&piece, 9, {{0, 0}, {10, 0}});
  Line(&piece, 9, {{10, 0}, {10, 10}});
  Line(&piece, 9, {{10, 10}, {0, 10}, {0, 0}});
  piece.JoinOpenLines();
  EXPECT_EQ(ItemTypes(piece), (std::vector<int>{9, 9, 9}));
  EXPECT_EQ(Points(piece.ItemRing), (std::vector<CPoint>{{0, 0}, {10, 0}}));
}

TEST_F(CornerCodesTest, OnlyTheLastOfConsecutiveParameterNodesStays) {
  AddSizes(1);
  CPieceRecord piece;
  auto* outline = new CPieceItem0(nullptr, nullptr);
  outline->AddTailVertex(0, 0, 0);
  outline->AddTailVertex(1, 6, 128);
  outline->AddTailVertex(2, 7, 128);
  outline->AddTailVertex(3, 8, 128);
  outline->AddTailVertex(100, 0, 0);
  outline->AddTailVertex(4, 9, 128);
  piece.AddItem(outline);
  piece.RemoveRepeatedParamNodes();
  EXPECT_EQ(Kinds(outline), (std::vector<int>{0, 128, 0, 128}));
  EXPECT_EQ(outline->VertexHead->Next->X, 3);
}

TEST_F(CornerCodesTest, SpikesAndShortStepsAreRemoved) {
  AddSizes(2);  // scale 40: one millimetre is 40 units
  auto* spiked = new CPieceItem12(nullptr, nullptr);
  CPieceRecord piece;
  piece.AddItem(spiked);
  // A square with a needle on its top edge, out from (2100, 4000) to
  // (2050, 8000) and back to (2000, 4000), and a step of 20 units after the
  // first corner.
  const std::vector<CPoint> corners = {{0, 0},       {4000, 0},    {4020, 0},    {4000, 4000},
                                       {2100, 4000}, {2050, 8000}, {2000, 4000}, {0, 4000}};
  for (const CPoint& p : corners) AddGraded(spiked, p.x, p.y, 0);
  spiked->RemoveSpikes(1);
  EXPECT_EQ(spiked->MainVertexPositions(0),
            (std::vector<CPoint>{{0, 0}, {4000, 0}, {4000, 4000}, {2100, 4000}, {2000, 4000}, {0, 4000}}));
  EXPECT_EQ(spiked->VertexCount, 12);

  // A square stays as it is, and a triangle is never touched.
  auto* square = new CPieceItem12(nullptr, nullptr);
  piece.AddItem(square);
  for (const CPoint& p : {CPoint(0, 0), CPoint(4000, 0), CPoint(4000, 4000), CPoint(0, 4000)}) {
    AddGraded(square, p.x, p.y, 0);
  }
  square->RemoveSpikes(0);
  EXPECT_EQ(square->CountMainVertices(), 4);
  auto* thin = new CPieceItem12(nullptr, nullptr);
  piece.AddItem(thin);
  for (const CPoint& p : {CPoint(0, 0), CPoint(4000, 0), CPoint(0, 10)}) AddGraded(thin, p.x, p.y, 0);
  thin->RemoveSpikes(0);
  EXPECT_EQ(thin->CountMainVertices(), 3);
}

TEST_F(CornerCodesTest, ASmoothVertexTakesTheKindOfTheCornerAfterIt) {
  AddSizes(1);
  auto* line = new CPieceItem12(nullptr, nullptr);
  CPieceRecord piece;
  piece.AddItem(line);
  line->AddTailVertex(0, 0, 0);
  line->AddTailVertex(4000, 0, 0x201);   // smooth, with a notch byte
  line->AddTailVertex(4010, 0, 2);       // a corner 10 units on
  line->AddTailVertex(4000, 4000, 0);
  line->AddTailVertex(0, 4000, 0);
  line->RemoveSpikes(1);
  EXPECT_EQ(line->CountMainVertices(), 4);
  EXPECT_EQ(line->VertexHead->Next->Flags, 0x202u);
}

TEST_F(CornerCodesTest, LineVerticesSnapOntoTheOutline) {
  AddSizes(2);
  CPieceRecord piece;
  auto* outline = new CPieceItem0(nullptr, nullptr);
  for (const CPoint& p : {CPoint(0, 0), CPoint(4000, 0), CPoint(4000, 4000), CPoint(0, 4000)}) {
    AddGraded(outline, p.x, p.y, 0);
  }
  outline->SmoothCurves();
  piece.AddItem(outline);
  auto* line = new CPieceItem9(nullptr, nullptr);
  line->AddTailVertex(4030, 20, 0);  // 0.9 mm from an outline vertex
  line->AddTailVertex(4050, 30, 64);
  line->AddTailVertex(2000, 60, 0);  // 1.5 mm inside the bottom edge
  line->AddTailVertex(2000, 60, 64);
  line->AddTailVertex(2000, 2000, 0);  // far from everything
  line->AddTailVertex(2000, 2000, 64);
  piece.AddItem(line);
  piece.SnapLinesToOutline();
  EXPECT_EQ(Points(line),
            (std::vector<CPoint>{{4000, 0}, {4010, 100}, {2000, 0}, {2000, 0}, {2000, 2000}, {2000, 2000}}));
}

}  // namespace
