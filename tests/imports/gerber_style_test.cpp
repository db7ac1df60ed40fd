// Turning a Gerber model into the style: the size table from the piece with
// the most sizes, pieces with fewer sizes aligned on their base size, notches
// placed on the outline in every size, lines, marks and grain lines, the
// texts, and the refusal of a model that claims absurdly many sizes.
#include "imports/gerber_style.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "tests/model/support/fake_shell.h"
#include "tests/support/clean_style.h"
#include "tests/support/piece_items.h"

namespace {

// A Gerber point: file units, point type, grade rule (-1: not graded).
CGgtOutlineEntry Pt(int32_t x, int32_t y, int type = 2, int rule = 0) { return {x, y, type, rule, 0}; }

// 40100 file units are 4074.16 model units; 20100 are 2042.16.
constexpr int32_t kSide = 40100;
constexpr int32_t kModelSide = 4074;

// A piece of `sizes` sizes with its base at `base`, size numbers 30, 32, ...
// and a square outline of corners graded with rule 0 (no offset).
std::unique_ptr<CPiece> MakePiece(int sizes, int base, const char* name = "piece") {
  auto piece = std::make_unique<CPiece>();
  piece->name = name;
  auto body = std::make_unique<CGgtPieceBody>();
  body->name = name;
  body->sizeCount = static_cast<uint16_t>(sizes);
  body->sizeIndex = static_cast<uint16_t>(base);
  for (int i = 0; i < sizes; ++i) {
    std::vector<uint8_t> entry(10, 0);
    entry[0] = static_cast<uint8_t>(30 + 2 * i);
    body->sizeTable.insert(body->sizeTable.end(), entry.begin(), entry.end());
  }
  piece->body = std::move(body);
  piece->outline = {Pt(0, 0), Pt(kSide, 0), Pt(kSide, kSide), Pt(0, kSide)};
  return piece;
}

// Rule `number` moving a point by (dx(s), dy(s)) in size s.
CGgtRuleOffsets Rule(int number, std::vector<CGgtDelta> offsets) { return {number, std::move(offsets)}; }

// The per-size copies that follow a main vertex.
std::vector<CVertexNode*> CopiesOf(CVertexNode* main) {
  std::vector<CVertexNode*> copies;
  for (CVertexNode* n = main->Next; n && n != main && n->Kind() == kVertexKindCopy; n = n->Next) copies.push_back(n);
  return copies;
}

std::vector<CPieceItem*> ItemsOfType(const CPieceRecord* piece, int type) {
  std::vector<CPieceItem*> items;
  CPieceItem* item = piece->ItemRing;
  for (int i = 0; item && i < piece->ItemCount; ++i, item = item->Next) {
    if (item->Type == type) items.push_back(item);
  }
  return items;
}

class GerberStyleTest : public CleanStyleTest {
 protected:
  FakeShell shell_;
};

TEST(GgtPointToModelTest, OffsetsOnlyFromARuleThePieceHoldsForOneOfItsSizes) {
  CPiece piece;
  piece.body = std::make_unique<CGgtPieceBody>();
  piece.body->sizeCount = 3;
  piece.gradeRules = {Rule(1, {{0, 0}, {1000, -1000}, {2000, 0}}), Rule(1, {{0, 0}, {5000, 5000}, {0, 0}}),
                      Rule(2, {{0, 0}}), Rule(3, {{0, 0}, {0, 0}, {0, 0}, {9000, 9000}}),
                      Rule(4, {{0, 0}, {INT32_MAX, INT32_MIN}})};
  struct Case {
    const char* what;
    int32_t x, y;
    int rule, size;
    int32_t outX, outY;
  };
  const Case kCases[] = {
      {"first rule of that number", 0, 0, 1, 1, 101, -101},
      {"no such rule", 0, 0, 7, 1, 0, 0},
      {"rule 0 is no rule", 0, 0, 0, 1, 0, 0},
      {"negative rule", 0, 0, -1, 1, 0, 0},
      {"size past the rule's offsets", 1000, 1000, 2, 2, 101, 101},
      {"size past the piece's sizes", 0, 0, 3, 3, 0, 0},
      {"negative size", 0, 0, 1, -1, 0, 0},
      {"truncated toward zero", -1000, -20100, 0, 0, -101, -2042},
      {"no overflow", INT32_MAX, INT32_MIN, 4, 1, 436368677, -436368677},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const CPoint p = GgtPointToModel(piece, c.x, c.y, c.rule, c.size);
    EXPECT_EQ(p.x, c.outX);
    EXPECT_EQ(p.y, c.outY);
  }
  CPiece noRecord;
  noRecord.gradeRules = piece.gradeRules;
  EXPECT_EQ(GgtPointToModel(noRecord, 0, 0, 1, 1).x, 0) << "a piece without its record has no sizes";
}

TEST(GgtVertexKindTest, PointTypeAndGradingGiveTheMainVertexKind) {
  struct Case {
    int type, rule, outline, line;
  };
  const Case kCases[] = {{2, 0, 0, 0},  {2, 5, 0, 0},  {3, 0, 3, 3},  {0, 7, 3, 3},
                         {2, -1, 2, 2}, {3, -1, 1, 1}, {0, -1, 1, 2}, {4, -1, 1, 2}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " rule " << c.rule);
    EXPECT_EQ(GgtOutlineVertexKind(c.type, c.rule), c.outline);
    EXPECT_EQ(GgtLineVertexKind(c.type, c.rule), c.line);
  }
}

// Pieces of 5, 7 and 5 sizes: the first 7-size piece gives the sizes, and
// every other piece's mark has its graded positions where its sizes fall
// among the style's, the base position copied for the sizes it lacks.
TEST_F(GerberStyleTest, PiecesWithFewerSizesAreAlignedOnTheirBaseSize) {
  struct Case {
    int sizes, base, leading, trailing;
  };
  // The reference piece (7 sizes, base 3) comes second.
  const Case kCases[] = {{5, 2, 1, 1}, {7, 3, 0, 0}, {5, 4, 0, 2}, {5, 0, 2, 0}, {7, 4, 0, 0}};
  CModel model;
  for (const Case& c : kCases) {
    auto piece = MakePiece(c.sizes, c.base);
    std::vector<CGgtDelta> offsets;
    for (int s = 0; s < c.sizes; ++s) offsets.push_back({s == c.base ? 0 : 1000 * (s + 1), 0});
    piece->gradeRules = {Rule(1, offsets)};
    piece->markPoints = {Pt(20100, 20100, 0, 1)};
    model.pieces.push_back(std::move(piece));
  }
  model.pieces[1]->body->sizeTable[5 * 10] = 0xFE;
  model.pieces[1]->body->sizeTable[5 * 10 + 1] = 0xFF;
  model.pieceCount = 5;
  ASSERT_TRUE(ConvertGgtModel(model));

  ASSERT_EQ(g_Style.SizeCount, 7);
  ASSERT_EQ(g_Style.SizeArray.size(), 7u);
  const char* kNames[] = {"30", "32", "34", "36", "38", "-2", "42"};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(g_Style.SizeArray[i]->Name, kNames[i]) << i;
  EXPECT_EQ(g_Style.SizeRing, g_Style.SizeArray[3]) << "the base size heads the ring";

  const std::vector<CPieceRecord*> pieces = StylePieces();
  ASSERT_EQ(pieces.size(), 5u);
  EXPECT_EQ(shell_.entries, pieces);
  for (size_t k = 0; k < pieces.size(); ++k) {
    const Case& c = kCases[k];
    SCOPED_TRACE(testing::Message() << "piece " << k);
    CPieceItem* marks = Item(pieces[k], kItemTypeFilledMarkers);
    ASSERT_NE(marks, nullptr);
    CVertexNode* mark = marks->VertexHead;
    ASSERT_EQ(mark->X, 2042);
    std::vector<int32_t> expected(static_cast<size_t>(c.leading), 2042);
    for (int s = 0; s < c.sizes && expected.size() < 6; ++s) {
      if (s != c.base) expected.push_back(GgtPointToModel(*model.pieces[k], 20100, 20100, 1, s).x);
    }
    expected.insert(expected.end(), static_cast<size_t>(c.trailing), 2042);
    std::vector<int32_t> copies;
    for (CVertexNode* copy : CopiesOf(mark)) copies.push_back(copy->X);
    EXPECT_EQ(copies, expected);
    EXPECT_EQ(marks->VertexCount, 1 + 6 + 2) << "the mark, six copies, two size nodes";
  }
}

TEST_F(GerberStyleTest, SeventeenSizesTakeTheColourTableAndNamedSizes) {
  CModel model;
  auto piece = MakePiece(17, 0);
  std::vector<uint8_t>& table = piece->body->sizeTable;
  piece->body->namedSizes = 1;
  for (size_t i = 0; i < 10; ++i) table[i] = static_cast<uint8_t>('A' + i);  // no zero byte
  table[10] = 'X';
  table[11] = 'S';
  table[12] = 0;
  table[13] = 'Z';
  model.pieces.push_back(std::move(piece));
  ASSERT_TRUE(ConvertGgtModel(model));

  ASSERT_EQ(g_Style.SizeCount, 17);
  EXPECT_EQ(g_Style.SizeAt(0)->Color, RGB(0, 0, 0));
  EXPECT_EQ(g_Style.SizeAt(1)->Color, RGB(0, 255, 0));
  EXPECT_EQ(g_Style.SizeAt(2)->Color, RGB(255, 0, 0));
  EXPECT_EQ(g_Style.SizeAt(15)->Color, RGB(0, 255, 0));
  EXPECT_EQ(g_Style.SizeAt(16)->Color, 0u) << "the colour it was made with";
  EXPECT_EQ(g_Style.SizeArray[0]->Name, "ABCDEFGHIJ");
  EXPECT_EQ(g_Style.SizeArray[1]->Name, "XS");
}

// A notch 1.9 mm off the bottom edge is put on it and keeps its ratio along
// the edge in every size; one 2.1 mm off is dropped.
TEST_F(GerberStyleTest, NotchesNearTheOutlineArePlacedOnItInEverySize) {
  CModel model;
  auto piece = MakePiece(3, 0);
  piece->outline = {Pt(0, 0), Pt(kSide, 0, 2, 1), Pt(kSide, kSide, 2, 1), Pt(0, kSide)};
  piece->gradeRules = {Rule(1, {{0, 0}, {2000, 0}, {4000, 0}})};
  piece->notchPoints = {Pt(20100, -748), Pt(10100, -827)};  // 1.9 mm and 2.1 mm off
  model.pieces.push_back(std::move(piece));
  ASSERT_TRUE(ConvertGgtModel(model));

  ASSERT_EQ(g_Style.PieceCount, 1);
  CPieceItem* notches = Item(g_Style.PieceRing, kItemTypeNotches);
  ASSERT_NE(notches, nullptr);
  ASSERT_EQ(notches->VertexCount, 3 + 3 + 2) << "one notch: start and end in 3 sizes, width, outline vertex";
  // Mirrored from Gerber's upward y: the bottom edge y = 0 lies at y = 4074.
  CVertexNode* start = notches->VertexHead;
  EXPECT_EQ(start->Kind(), kVertexKindKeyCorner);
  EXPECT_EQ(start->X, 2042);
  EXPECT_EQ(start->Y, kModelSide);
  const double ratio = 2042.0 / kModelSide;
  const int32_t rightX[] = {4277, 4480};
  std::vector<CVertexNode*> startCopies = CopiesOf(start);
  ASSERT_EQ(startCopies.size(), 2u);
  for (size_t s = 0; s < 2; ++s) {
    EXPECT_NEAR(startCopies[s]->X, ratio * rightX[s], 2.0) << s;
    EXPECT_EQ(startCopies[s]->Y, kModelSide) << s;
  }
  CVertexNode* end = startCopies.back()->Next;
  EXPECT_EQ(end->Flags, (static_cast<uint32_t>(g_DefaultNotchType) << 8) | 1u);
  const int32_t length = 40 * g_NotchSizeB / 10;
  EXPECT_EQ(end->X, 2042);
  EXPECT_EQ(end->Y, kModelSide - length) << "the notch runs into the piece";
  std::vector<CVertexNode*> endCopies = CopiesOf(end);
  ASSERT_EQ(endCopies.size(), 2u);
  for (size_t s = 0; s < 2; ++s) {
    EXPECT_NEAR(endCopies[s]->X, startCopies[s]->X, 2.0) << s;
    EXPECT_NEAR(endCopies[s]->Y, kModelSide - length, 2.0) << s;
  }
  CVertexNode* width = endCopies.back()->Next;
  EXPECT_EQ(width->Flags, 102u);
  EXPECT_EQ(width->X, 40 * g_NotchSizeA / 10);
  CVertexNode* reference = width->Next;
  EXPECT_EQ(reference->Flags, 0x368u);
  EXPECT_EQ(reference->Y, kModelSide);
  EXPECT_TRUE(reference->X == 0 || reference->X == kModelSide) << reference->X;
}

// Without sizes the pieces are still made, but no notch: a notch is placed
// on the base size, and there is none.
TEST_F(GerberStyleTest, WithoutSizesPiecesComeWithoutNotches) {
  CModel model;
  auto bare = MakePiece(0, 0, "bare");
  bare->notchPoints = {Pt(20100, 0)};
  bare->markPoints = {Pt(20100, 20100)};
  auto noRecord = MakePiece(0, 0, "no record");
  noRecord->body.reset();
  noRecord->notchPoints = {Pt(20100, 0)};
  auto noOutline = MakePiece(0, 0, "no outline");
  noOutline->outline.clear();
  model.pieces.push_back(std::move(bare));
  model.pieces.push_back(std::move(noRecord));
  model.pieces.push_back(std::move(noOutline));
  ASSERT_TRUE(ConvertGgtModel(model));

  EXPECT_EQ(g_Style.SizeCount, 0);
  const std::vector<CPieceRecord*> pieces = StylePieces();
  ASSERT_EQ(pieces.size(), 2u) << "the piece without an outline is dropped";
  EXPECT_EQ(pieces[0]->PieceName, "bare");
  EXPECT_EQ(pieces[1]->PieceName, "no record");
  for (CPieceRecord* piece : pieces) {
    EXPECT_EQ(Item(piece, kItemTypeNotches), nullptr);
    ASSERT_NE(Item(piece, kItemTypeOutline), nullptr);
    EXPECT_EQ(Item(piece, kItemTypeOutline)->VertexCount, 4) << "no per-size copies";
  }
  ASSERT_NE(Item(pieces[0], kItemTypeFilledMarkers), nullptr);
  EXPECT_EQ(Item(pieces[0], kItemTypeFilledMarkers)->VertexCount, 3);
}

TEST_F(GerberStyleTest, TwoPointLineOfOnePointGivesTheDefaultGrainLine) {
  CModel model;
  auto one = MakePiece(2, 0);
  one->twoPointLinePoints = {Pt(10100, 20100)};
  auto three = MakePiece(2, 0);
  three->twoPointLinePoints = {Pt(10100, 20100), Pt(30100, 20100), Pt(5000, 5000)};
  model.pieces.push_back(std::move(one));
  model.pieces.push_back(std::move(three));
  ASSERT_TRUE(ConvertGgtModel(model));

  const std::vector<CPieceRecord*> pieces = StylePieces();
  ASSERT_EQ(pieces.size(), 2u);
  struct Want {
    int32_t x0, x1, y;
  };
  // Across the middle 60 % of the width at mid-height; else the first two
  // points, mirrored about the piece's middle (y 2042 -> 4074 - 2042).
  const Want kWant[] = {{814, 3259, 2037}, {1026, 3058, 2032}};
  for (size_t k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    ASSERT_EQ(CountItems(pieces[k], kItemTypeGrainLine), 1);
    CPieceItem* grain = Item(pieces[k], kItemTypeGrainLine);
    const std::vector<CVertexNode*> mains = Mains(grain);
    ASSERT_EQ(mains.size(), 2u);
    EXPECT_EQ(mains[0]->X, kWant[k].x0);
    EXPECT_EQ(mains[1]->X, kWant[k].x1);
    EXPECT_EQ(mains[0]->Y, kWant[k].y);
    EXPECT_EQ(mains[1]->Y, kWant[k].y);
    EXPECT_EQ(grain->VertexCount, 4) << "one copy each for the second size";
  }
}

// Each line of the first group becomes an open line; an end that is no key
// vertex takes the grading of a graded other end. The second group's ends
// keep their own grading. All ends become plain corners.
TEST_F(GerberStyleTest, LineGroupsBecomeOpenLines) {
  CModel model;
  auto piece = MakePiece(3, 0);
  piece->gradeRules = {Rule(1, {{0, 0}, {2000, 1000}, {4000, 2000}})};
  const std::vector<CGgtOutlineEntry> graded = {Pt(5100, 5100, 3, -1), Pt(10100, 8100, 3, 0),
                                                Pt(15100, 6100, 0, -1), Pt(20100, 5100, 2, 1)};
  piece->firstLineGroup = {graded, {Pt(5100, 30100), Pt(30100, 30100)}, {Pt(1000, 1000)}};
  piece->secondLineGroup = {graded};
  model.pieces.push_back(std::move(piece));
  ASSERT_TRUE(ConvertGgtModel(model));

  const std::vector<CPieceItem*> lines = ItemsOfType(g_Style.PieceRing, kItemTypeOpenLine);
  ASSERT_EQ(lines.size(), 3u) << "two lines of the first group, one of the second";
  for (size_t k : {0u, 2u}) {
    SCOPED_TRACE(k);
    const std::vector<CVertexNode*> mains = Mains(lines[k]);
    ASSERT_EQ(mains.size(), 4u);
    EXPECT_EQ(mains.front()->Flags, 0u);
    EXPECT_EQ(mains.back()->Flags, 0u);
    EXPECT_EQ(mains[1]->Kind(), kVertexKindKeySmooth);
    EXPECT_EQ(mains[2]->Kind(), k == 0 ? kVertexKindCurveCorner : kVertexKindCurve);
    const std::vector<CVertexNode*> firstCopies = CopiesOf(mains.front());
    const std::vector<CVertexNode*> lastCopies = CopiesOf(mains.back());
    ASSERT_EQ(firstCopies.size(), 2u);
    ASSERT_EQ(lastCopies.size(), 2u);
    for (size_t s = 0; s < 2; ++s) {
      const int32_t lastDx = lastCopies[s]->X - mains.back()->X;
      const int32_t lastDy = lastCopies[s]->Y - mains.back()->Y;
      EXPECT_NE(lastDx, 0);
      EXPECT_NE(lastDy, 0);
      const bool carried = k == 0;
      EXPECT_EQ(firstCopies[s]->X - mains.front()->X, carried ? lastDx : 0) << s;
      EXPECT_EQ(firstCopies[s]->Y - mains.front()->Y, carried ? lastDy : 0) << s;
    }
  }
}

TEST_F(GerberStyleTest, PieceAndStyleTexts) {
  CModel model;
  model.modelName = "JACKET-01";
  model.text1 = "first";
  model.text2 = "second";
  auto piece = MakePiece(1, 0, "entry name");
  piece->body->name = "FRONT";
  piece->body->ruleTableName = "RULES-A";
  piece->body->text2 = "cotton";
  model.pieces.push_back(std::move(piece));
  ASSERT_TRUE(ConvertGgtModel(model));

  ASSERT_EQ(g_Style.PieceCount, 1);
  const CPieceRecord* record = g_Style.PieceRing;
  EXPECT_EQ(record->PieceName, "FRONT");
  EXPECT_EQ(record->Annotation, "RULES-A");
  EXPECT_EQ(record->Text3, "");
  EXPECT_EQ(record->Category, "cotton");
  EXPECT_EQ(g_Style.StyleName, "JACKET-01");
  EXPECT_EQ(g_Style.HeaderText3, "second");
}

// A piece claiming tens of thousands of sizes: the model is refused whole
// when its nodes (sizes x points) or its per-size steps (sizes squared x one
// more than the notch points) would pass 2^24.
TEST_F(GerberStyleTest, AModelTooLargeForItsSizesIsRefused) {
  struct Case {
    int sizes, points, notches;
  };
  // Each alone over one bound: 64 x 262145 points; 4097 squared; 2048 squared x 5.
  const Case kCases[] = {{64, 262145 - 8, 0}, {4097, 4, 0}, {2048, 4, 4}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.sizes);
    CModel model;
    model.pieces.push_back(MakePiece(1, 0, "small"));
    auto hostile = MakePiece(0, 0, "hostile");
    hostile->body->sizeCount = static_cast<uint16_t>(c.sizes);
    hostile->outline.clear();
    for (int i = 0; i < c.points; ++i) hostile->outline.push_back(Pt(i * 100, (i % 2) * 100));
    for (int i = 0; i < c.notches; ++i) hostile->notchPoints.push_back(Pt(i * 100, 0));
    model.pieces.push_back(std::move(hostile));
    model.pieces.push_back(MakePiece(1, 0, "small"));
    EXPECT_FALSE(ConvertGgtModel(model));
    EXPECT_EQ(g_Style.PieceCount, 0);
    EXPECT_EQ(g_Style.SizeCount, 0);
    EXPECT_TRUE(shell_.entries.empty());
  }
}

}  // namespace
