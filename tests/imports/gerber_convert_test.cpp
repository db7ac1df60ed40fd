// Converting a read Gerber piece: the per-size step (closed outline, notch,
// mark and line arrays, bounding boxes) and the building of the outline
// array and the per-size grade offsets.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "imports/gerber_model.h"
#include "tests/imports/gerber_fixture.h"
#include "tests/imports/gerber_points.h"
#include "tests/support/le_bytes.h"

namespace {

namespace gf = gerber_fixture;

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();


CGgtOutlinePoint Notch(int32_t x, int32_t y) { return GgtPoint(x, y, {9}, -1, 1); }

CGgtInternalLine Line(char type, std::vector<CGgtOutlinePoint> points) {
  CGgtInternalLine line;
  line.type = type;
  line.pointCount = static_cast<uint16_t>(points.size());
  line.points = std::move(points);
  return line;
}

// A size table of numbered sizes, 10 bytes an entry.
std::vector<uint8_t> NumberedSizes(const std::vector<uint16_t>& numbers) {
  std::vector<uint8_t> table;
  for (uint16_t number : numbers) {
    std::vector<uint8_t> entry(10, 0);
    entry[0] = static_cast<uint8_t>(number);
    entry[1] = static_cast<uint8_t>(number >> 8);
    table.insert(table.end(), entry.begin(), entry.end());
  }
  return table;
}

void SetBaseNumber(CGgtPieceBody& body, int32_t number) {
  std::memset(body.baseSize, 0, sizeof body.baseSize);
  for (int i = 0; i < 4; ++i) body.baseSize[i] = static_cast<uint8_t>(static_cast<uint32_t>(number) >> (8 * i));
}

CGgtGradeRule Rule(uint16_t number, const std::vector<int32_t>& dxs, const std::vector<int32_t>& dys) {
  CGgtGradeRule rule;
  rule.number = number;
  for (size_t i = 0; i < dxs.size(); ++i) rule.deltas.push_back({dxs[i], dys[i]});
  return rule;
}

// A piece whose numbered sizes are 100, 101, ... with size 100 + `base` as
// its base size.
std::unique_ptr<CPiece> GradedPiece(int sizes, int base) {
  auto piece = std::make_unique<CPiece>();
  piece->body = std::make_unique<CGgtPieceBody>();
  std::vector<uint16_t> numbers;
  for (int i = 0; i < sizes; ++i) numbers.push_back(static_cast<uint16_t>(100 + i));
  piece->body->sizeCount = static_cast<uint16_t>(sizes);
  piece->body->sizeTable = NumberedSizes(numbers);
  SetBaseNumber(*piece->body, 100 + base);
  return piece;
}

void GiveTable(CPiece& piece, int sizes, std::vector<CGgtGradeRule> rules) {
  piece.ruleTable = std::make_unique<CGgtRuleTable>();
  piece.ruleTable->sizeCount = static_cast<uint16_t>(sizes);
  piece.ruleTable->sizeTable = piece.body->sizeTable;
  piece.ruleTable->sizeTable.resize(static_cast<size_t>(sizes) * 10, 0);
  piece.ruleTable->rules = std::move(rules);
  piece.ruleTable->ruleCount = static_cast<uint16_t>(piece.ruleTable->rules.size());
}

std::vector<int32_t> Negated(const std::vector<int32_t>& values) {
  std::vector<int32_t> out;
  for (int32_t v : values) out.push_back(-v);
  return out;
}

TEST(GerberConvertTest, GradeRulesBecomeOffsetsFromTheBaseSize) {
  struct Case {
    const char* what;
    bool fromTable;
    int sizes;
    int base;
    std::vector<int32_t> stored;  // dx of the stored steps; dy is their negation
    std::vector<int32_t> dx;
    std::vector<int32_t> dy;  // empty: the negation of dx
  };
  const Case kCases[] = {
      {"table, base in the middle", true, 5, 2, {10, 20, 30, 40}, {-30, -20, 0, 30, 70}, {}},
      {"table, base first: running sums", true, 5, 0, {10, 20, 30, 40}, {0, 10, 30, 60, 100}, {}},
      {"own rules repeat their steps", false, 6, 0, {1, 2, 4}, {0, 1, 3, 7, 8, 10}, {}},
      {"table with fewer steps than sizes", true, 5, 0, {10, 20}, {0, 10, 30, 30, 30}, {}},
      {"table without steps", true, 3, 1, {}, {0, 0, 0}, {}},
      {"own rule without steps", false, 4, 2, {}, {0, 0, 0, 0}, {}},
      {"sums held at the top of the range", false, 3, 0, {kMax, kMax}, {0, kMax, kMax}, {0, -kMax, kMin}},
      {"differences held below the base", false, 3, 2, {kMax}, {kMin, -kMax, 0}, {kMax, kMax, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    auto piece = GradedPiece(c.sizes, c.base);
    CGgtGradeRule rule = Rule(7, c.stored, Negated(c.stored));
    if (c.fromTable) {
      GiveTable(*piece, c.sizes, {rule});
    } else {
      piece->body->gradeSteps = static_cast<int16_t>(c.stored.size()) - 1;
      piece->body->rules = {rule};
    }
    CModel::BuildPiece(*piece);
    ASSERT_EQ(piece->gradeRules.size(), 1u);
    EXPECT_EQ(piece->gradeRules[0].ruleNumber, 7);
    std::vector<int32_t> dx;
    std::vector<int32_t> dy;
    for (const CGgtDelta& d : piece->gradeRules[0].offsets) {
      dx.push_back(d.dx);
      dy.push_back(d.dy);
    }
    EXPECT_EQ(dx, c.dx);
    EXPECT_EQ(dy, c.dy.empty() ? Negated(c.dx) : c.dy);
  }
}

std::vector<int> RuleNumbers(const CPiece& piece) {
  std::vector<int> numbers;
  for (const CGgtRuleOffsets& rule : piece.gradeRules) numbers.push_back(rule.ruleNumber);
  return numbers;
}

TEST(GerberConvertTest, TableRulesComeBeforeOwnRulesAndAnUnknownBaseSizeGivesNone) {
  auto piece = GradedPiece(3, 1);
  piece->body->gradeSteps = 0;
  piece->body->rules = {Rule(9, {1}, {1}), Rule(2, {1}, {1})};
  GiveTable(*piece, 3, {Rule(3, {1, 1}, {1, 1}), Rule(5, {1, 1}, {1, 1})});
  CModel::BuildPiece(*piece);
  EXPECT_EQ(RuleNumbers(*piece), (std::vector<int>{3, 5, 9, 2}));

  // The table names its sizes differently: only the piece's own rules match.
  piece->ruleTable->namedSizes = 1;
  CModel::BuildPiece(*piece);
  EXPECT_EQ(RuleNumbers(*piece), (std::vector<int>{9, 2}));

  SetBaseNumber(*piece->body, 99);
  CModel::BuildPiece(*piece);
  EXPECT_TRUE(piece->gradeRules.empty());
}

TEST(GerberConvertTest, ATableTooLargeForMemoryGivesNoRuleObjects) {
  // 2100 sizes × 2000 rules would be 4.2 million offset pairs.
  auto piece = GradedPiece(2100, 0);
  GiveTable(*piece, 2100, std::vector<CGgtGradeRule>(2000));
  piece->body->gradeSteps = 0;
  piece->body->rules = {Rule(4, {1}, {0})};
  CModel::BuildPiece(*piece);
  EXPECT_EQ(RuleNumbers(*piece), (std::vector<int>{4}));
}

TEST(GerberConvertTest, BaseSizeIsNamedByTextOrByNumber) {
  struct Case {
    uint8_t named;
    std::vector<uint8_t> field;
    const char* name;
  };
  const Case kCases[] = {
      {1, {'M', 0, 'X', 'X', 0, 0, 0, 0}, "M"},
      {1, {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}, "ABCDEFGH"},
      {0, {0x22, 0, 0, 0, 'X', 0, 0, 0}, "34"},
      {0, {0xFB, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}, "-5"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CGgtPieceBody body;
    body.namedSizes = c.named;
    std::memcpy(body.baseSize, c.field.data(), 8);
    EXPECT_EQ(CModel::BaseSizeName(body).view(), std::string(c.name));
  }
}

TEST(GerberConvertTest, OutlineArrayCarriesCornerRuleAndMarkKinds) {
  struct Case {
    std::vector<uint8_t> attributes;
    int rule;
    int corner;
    int mark;
  };
  const Case kCases[] = {
      {{10}, -1, 2, 0},     // the first point is always a corner
      {{1}, 4, 2, 0},       // a corner without a corner code
      {{9}, -1, 2, 0},      // corner
      {{10}, -1, 3, 0},     // smooth
      {{10, 9}, -1, 3, 0},  // the first code decides
      {{1, 10}, -1, 3, 0},  // a smooth code outranks 1
      {{5, 2}, -1, 0, 5},   // the first mark code
      {{}, -1, 0, 0},       // nothing
      {{6, 9}, 12, 2, 6},   // a graded corner mark
      {{}, -1, 2, 0},       // the last point is always a corner
  };
  CPiece piece;
  piece.body = std::make_unique<CGgtPieceBody>();
  for (size_t i = 0; i < std::size(kCases); ++i) {
    piece.body->outline.push_back(
        GgtPoint(static_cast<int32_t>(i), -static_cast<int32_t>(i), kCases[i].attributes, kCases[i].rule));
  }
  CModel::BuildPiece(piece);
  ASSERT_EQ(piece.outline.size(), std::size(kCases));
  for (size_t i = 0; i < std::size(kCases); ++i) {
    SCOPED_TRACE(i);
    const CGgtOutlineEntry& e = piece.outline[i];
    EXPECT_EQ(e.x, static_cast<int32_t>(i));
    EXPECT_EQ(e.y, -static_cast<int32_t>(i));
    EXPECT_EQ(e.cornerKind, kCases[i].corner);
    EXPECT_EQ(e.ruleNumber, kCases[i].rule);
    EXPECT_EQ(e.markKind, kCases[i].mark);
  }
}

// What the per-size step left in a piece, by counts and notch positions.
struct Converted {
  std::vector<std::pair<int32_t, int32_t>> notches{};
  size_t marks = 0;
  size_t straight = 0;
  size_t twoPoint = 0;
  std::vector<size_t> first{};   // sizes of the arrays of the first group
  std::vector<size_t> second{};  // and of the second
};

Converted Summary(const CPiece& piece) {
  Converted s;
  for (const CGgtOutlineEntry& e : piece.notchPoints) s.notches.emplace_back(e.x, e.y);
  s.marks = piece.markPoints.size();
  s.straight = piece.straightLinePoints.size();
  s.twoPoint = piece.twoPointLinePoints.size();
  for (const auto& array : piece.firstLineGroup) s.first.push_back(array.size());
  for (const auto& array : piece.secondLineGroup) s.second.push_back(array.size());
  return s;
}

// Every entry the step makes has mark kind 0, whatever its point carries.
void ExpectNoMarkKinds(const CPiece& piece) {
  auto check = [](const std::vector<CGgtOutlineEntry>& entries) {
    for (const CGgtOutlineEntry& e : entries) EXPECT_EQ(e.markKind, 0);
  };
  check(piece.notchPoints);
  check(piece.markPoints);
  check(piece.straightLinePoints);
  check(piece.twoPointLinePoints);
  for (const auto& array : piece.firstLineGroup) check(array);
  for (const auto& array : piece.secondLineGroup) check(array);
}

TEST(GerberConvertTest, PerSizeStepClosesTheOutlineAndFillsTheArrays) {
  using Xy = std::pair<int32_t, int32_t>;
  const std::vector<CGgtOutlinePoint> square = {GgtPoint(0, 0), GgtPoint(100, 0), GgtPoint(100, 100), GgtPoint(0, 100)};
  struct Case {
    const char* what;
    std::vector<CGgtOutlinePoint> outline;
    std::vector<CGgtInternalLine> lines;
    Xy last;  // the last outline point afterwards
    Converted expected;
  };
  const Case kCases[] = {
      {"a last point within the tolerance closes and adds no notch",
       {GgtPoint(0, 0), Notch(50, 0), Notch(50, 50), Notch(2, -3)},
       {},
       {0, 0},
       {.notches = {{50, 0}, {50, 50}}}},
      {"a last point beyond the tolerance stays and is scanned",
       {GgtPoint(0, 0), Notch(50, 0), Notch(4, 0)},
       {},
       {4, 0},
       {.notches = {{50, 0}, {4, 0}}}},
      {"a single outline point adds no notch", {Notch(7, 7)}, {}, {7, 7}, {}},
      {"flagged points at one place give one notch",
       square,
       {Line('5', {Notch(10, 10), Notch(10, 10)})},
       {0, 100},
       {.notches = {{10, 10}}}},
      {"a flagged point on the outline gives none", square, {Line('X', {Notch(100, 0)})}, {0, 100}, {.first = {1}}},
      {"a two-point line of one point", square, {Line('G', {GgtPoint(1, 1)})}, {0, 100}, {.twoPoint = 1}},
      {"a two-point line of three points",
       square,
       {Line('G', {GgtPoint(1, 1), GgtPoint(2, 2), GgtPoint(3, 3)})},
       {0, 100},
       {.twoPoint = 2}},
      {"only the first straight line counts; its notches do not",
       square,
       {Line('M', {Notch(10, 10), Notch(20, 20)}), Line('M', {Notch(30, 30), Notch(40, 40)})},
       {0, 100},
       {.straight = 2}},
      {"mark points are unique", square, {Line('D', {GgtPoint(5, 5, {5}), GgtPoint(5, 5), GgtPoint(6, 6)})}, {0, 100}, {.marks = 2}},
      {"an S line of two points", square, {Line('S', {GgtPoint(1, 1), GgtPoint(2, 2)})}, {0, 100}, {.second = {2}}},
      {"an S line of four points",
       square,
       {Line('S', {GgtPoint(1, 1), GgtPoint(2, 2), GgtPoint(3, 3), GgtPoint(4, 4)})},
       {0, 100},
       {.first = {4}, .second = {4}}},
      {"an X line of three points", square, {Line('X', {GgtPoint(1, 1), GgtPoint(2, 2), GgtPoint(3, 3)})}, {0, 100}, {.first = {3, 3}}},
      {"an X line of two points", square, {Line('X', {GgtPoint(1, 1), GgtPoint(2, 2)})}, {0, 100}, {.first = {2}}},
      {"an X line without points", square, {Line('X', {})}, {0, 100}, {.first = {0}}},
      {"a B line of two points", square, {Line('B', {GgtPoint(1, 1), GgtPoint(2, 2)})}, {0, 100}, {.first = {2}}},
      {"a 5 line gives no array but its notches off the outline",
       square,
       {Line('5', {Notch(100, 100), Notch(3, 3), GgtPoint(4, 4, {5}, 2)})},
       {0, 100},
       {.notches = {{3, 3}}}},
      {"an A line gives nothing", square, {Line('A', {GgtPoint(1, 1), GgtPoint(2, 2), GgtPoint(3, 3)})}, {0, 100}, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CGgtImportContext context;
    CPiece piece;
    piece.body = std::make_unique<CGgtPieceBody>();
    piece.body->outline = c.outline;
    piece.body->lines = c.lines;
    CModel::ConvertPiece(context, piece, true);
    ASSERT_FALSE(piece.body->outline.empty());
    EXPECT_EQ(piece.body->outline.back().x, c.last.first);
    EXPECT_EQ(piece.body->outline.back().y, c.last.second);
    Converted s = Summary(piece);
    EXPECT_EQ(s.notches, c.expected.notches);
    EXPECT_EQ(s.marks, c.expected.marks);
    EXPECT_EQ(s.straight, c.expected.straight);
    EXPECT_EQ(s.twoPoint, c.expected.twoPoint);
    EXPECT_EQ(s.first, c.expected.first);
    EXPECT_EQ(s.second, c.expected.second);
    ExpectNoMarkKinds(piece);
  }
}

TEST(GerberConvertTest, LineArraysTakeEachPointsCornerAndRule) {
  CGgtImportContext context;
  CPiece piece;
  piece.body = std::make_unique<CGgtPieceBody>();
  piece.body->outline = {GgtPoint(0, 0), GgtPoint(100, 0), GgtPoint(100, 100)};
  piece.body->lines = {Line('X', {GgtPoint(1, 1, {10, 5}, 3), GgtPoint(2, 2, {9}), GgtPoint(3, 3, {10}, 4)}),
                       Line('S', {GgtPoint(7, 7, {10}), GgtPoint(8, 8, {10}, 6)}),
                       Line('G', {GgtPoint(9, 9, {10}, 11), GgtPoint(10, 10, {9})})};
  CModel::ConvertPiece(context, piece, true);

  auto kinds = [](const std::vector<CGgtOutlineEntry>& entries) {
    std::vector<std::pair<int, int>> out;
    for (const CGgtOutlineEntry& e : entries) out.emplace_back(e.cornerKind, e.ruleNumber);
    return out;
  };
  using Kinds = std::vector<std::pair<int, int>>;
  ASSERT_EQ(piece.firstLineGroup.size(), 2u);
  // The written line keeps its ends' own kinds; the line's array makes them
  // corners.
  EXPECT_EQ(kinds(piece.firstLineGroup[0]), (Kinds{{3, 3}, {2, -1}, {3, 4}}));
  EXPECT_EQ(kinds(piece.firstLineGroup[1]), (Kinds{{2, 3}, {2, -1}, {2, 4}}));
  ASSERT_EQ(piece.secondLineGroup.size(), 1u);
  EXPECT_EQ(kinds(piece.secondLineGroup[0]), (Kinds{{2, -1}, {2, 6}}));
  EXPECT_EQ(kinds(piece.twoPointLinePoints), (Kinds{{0, 11}, {0, -1}}));
  EXPECT_EQ(piece.firstLineGroup[1][2].x, 3);
  EXPECT_EQ(piece.secondLineGroup[0][1].y, 8);
  ExpectNoMarkKinds(piece);
}

TEST(GerberConvertTest, CloseOutlineComparesFarApartCoordinatesWithoutOverflow) {
  CGgtImportContext context;
  std::vector<CGgtOutlinePoint> outline = {GgtPoint(kMax, kMin), GgtPoint(0, 0), GgtPoint(kMin + 2, kMax - 1)};
  CModel::CloseOutline(context, outline);
  EXPECT_EQ(outline.back().x, kMin + 2);
  outline = {GgtPoint(kMax, kMin), GgtPoint(kMax - 3, kMin + 3)};
  CModel::CloseOutline(context, outline);
  EXPECT_EQ(outline.back().x, kMax);
  EXPECT_EQ(outline.back().y, kMin);
}

// A five-size piece with a closing outline and one line of type "X".
std::unique_ptr<CPiece> FiveSizePiece() {
  auto piece = GradedPiece(5, 2);
  piece->body->outline = {GgtPoint(0, 0), GgtPoint(100, 0), GgtPoint(100, 50), Notch(2, -3)};
  piece->body->lines = {Line('X', {Notch(1, 1), GgtPoint(2, 2), GgtPoint(3, 3)}), Line('S', {GgtPoint(1, 1), GgtPoint(2, 2)})};
  return piece;
}

TEST(GerberConvertTest, EverySizeRunsTheStepButTheLinesAreTakenOnce) {
  CGgtImportContext context;
  auto piece = FiveSizePiece();
  CModel::ConvertReadPiece(context, *piece);
  EXPECT_EQ(Summary(*piece).first, (std::vector<size_t>{3, 3}));
  EXPECT_EQ(Summary(*piece).second, (std::vector<size_t>{2}));
  EXPECT_EQ(Summary(*piece).notches, (std::vector<std::pair<int32_t, int32_t>>{{1, 1}}));
  // The first run measures the outline before it closes; the later ones
  // measure the closed outline.
  ASSERT_EQ(context.outlineList.entries.size(), 5u);
  const std::vector<CGgtOutlineListEntry>& boxes = context.outlineList.entries;
  EXPECT_EQ(boxes[0].minY, -3);
  for (size_t i = 1; i < boxes.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(boxes[i].minX, 0);
    EXPECT_EQ(boxes[i].minY, 0);
    EXPECT_EQ(boxes[i].maxX, 100);
    EXPECT_EQ(boxes[i].maxY, 50);
    EXPECT_TRUE(boxes[i].text.IsEmpty());
  }
  EXPECT_EQ(context.xPosition, 0);  // pieces are not spread along x
}

TEST(GerberConvertTest, RunsFollowTheSizeOptionAndPiecesCanBeSpreadAlongX) {
  struct Case {
    const char* what;
    int sizes;
    bool perSize;
    int32_t startX;
    size_t boxes;
    int32_t nextX;
  };
  const Case kCases[] = {
      {"one run per size", 5, true, 0, 5, 10100},
      {"one run in all", 5, false, 0, 1, 10100},
      {"no size, no run: the box stays", 0, true, 7, 0, 7 + 10000},
      {"the position is held at the end of the range", 1, true, kMax - 5, 1, kMax},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CGgtImportContext context;
    context.options[0] = 0;
    context.options[16] = c.perSize ? 1 : 0;
    context.xPosition = c.startX;
    auto piece = FiveSizePiece();
    piece->body->sizeCount = static_cast<uint16_t>(c.sizes);
    CModel::ConvertReadPiece(context, *piece);
    EXPECT_EQ(context.outlineList.entries.size(), c.boxes);
    EXPECT_EQ(Summary(*piece).first.size(), c.boxes == 0 ? 0u : 2u);
    EXPECT_EQ(context.xPosition, c.nextX);
  }
}

TEST(GerberConvertTest, OnlyTheFirstPieceTellsTheContextItsSizes) {
  CGgtImportContext context;
  auto first = FiveSizePiece();
  first->body->sizeIndex = 4;
  first->body->namedSizes = 1;
  std::memcpy(first->body->baseSize, "ABCDEFGH", 8);
  CModel::ConvertReadPiece(context, *first);
  EXPECT_EQ(context.sizeIndex, 4);
  EXPECT_EQ(context.namedSizes, 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(context.baseSize), 8), "ABCDEFGH");

  context.pieceCounter = 2;
  auto second = FiveSizePiece();
  second->body->sizeIndex = 9;
  CModel::ConvertReadPiece(context, *second);
  EXPECT_EQ(context.sizeIndex, 4);
  EXPECT_EQ(context.namedSizes, 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(context.baseSize), 8), "ABCDEFGH");

  CPiece unread;
  context.pieceCounter = 1;
  CModel::ConvertReadPiece(context, unread);
  EXPECT_EQ(context.sizeIndex, 4);
}

// A read piece, end to end: named sizes "S", "M" (the base), "L", two own
// rules of one step, an outline whose last point closes onto the first.
TEST(GerberConvertTest, ReadPieceIsConvertedAndBuilt) {
  gf::PieceRecordFields fields;
  fields.sizeCount = 3;
  fields.steps = 1;
  fields.namedSizes = 1;
  fields.ruleCount = 2;
  fields.pointCount = 4;
  fields.lineCount = 1;
  LeBytes b;
  b.Raw(gf::PieceHead(fields)).Raw(gf::Field("S", 10)).Raw(gf::Field("M", 10)).Raw(gf::Field("L", 10));
  b.Raw(gf::GradeRule(5, "R5", {-10, 1, 10, 2})).Raw(gf::GradeRule(6, "R6", {3, 0, 4, 0}));
  b.Raw(gf::OutlinePoint(1, 0, 0, {}, 5, false, 0));
  b.Raw(gf::OutlinePoint(2, 1000, 0, {}, 6, false, 1));
  b.Raw(gf::OutlinePoint(3, 1000, 800, {5}, -1, false, 0));
  b.Raw(gf::OutlinePoint(4, 1, 2, {}, -1, false, 1));
  b.Raw(gf::LineHead(1, 'M', 2)).Raw(gf::OutlinePoint(10, 500, 100)).Raw(gf::OutlinePoint(11, 500, 700));
  b.Raw(gf::ExtraHead(0, 0, 0));
  const std::string bytes = b.Bytes();
  ByteCursor in(bytes);

  CModel model;
  model.pieces.push_back(std::make_unique<CPiece>());
  CPiece& piece = *model.pieces.back();
  ASSERT_TRUE(CModel::ReadPieceData(in, piece));
  CGgtImportContext context;
  CModel::ConvertReadPiece(context, piece);
  model.BuildPieces(context);

  EXPECT_EQ(std::string(reinterpret_cast<const char*>(context.baseSize), 2), std::string("M\0", 2));
  EXPECT_EQ(context.sizeIndex, 3);
  EXPECT_EQ(context.outlineList.entries.size(), 3u);
  ASSERT_EQ(piece.outline.size(), 4u);
  EXPECT_EQ(piece.outline[3].x, 0);
  EXPECT_EQ(piece.outline[3].y, 0);
  EXPECT_EQ(piece.outline[0].ruleNumber, 5);
  EXPECT_EQ(piece.outline[2].markKind, 5);
  EXPECT_EQ(piece.outline[2].cornerKind, 2);  // classified as a corner when read
  EXPECT_EQ(Summary(piece).notches, (std::vector<std::pair<int32_t, int32_t>>{{1000, 0}}));
  EXPECT_EQ(piece.straightLinePoints.size(), 2u);

  ASSERT_EQ(RuleNumbers(piece), (std::vector<int>{5, 6}));
  const std::vector<CGgtDelta>& r5 = piece.gradeRules[0].offsets;
  ASSERT_EQ(r5.size(), 3u);
  EXPECT_EQ(r5[0].dx, 10);  // the base minus the first step back
  EXPECT_EQ(r5[0].dy, -1);
  EXPECT_EQ(r5[1].dx, 0);
  EXPECT_EQ(r5[2].dx, 10);
  EXPECT_EQ(r5[2].dy, 2);
}

TEST(GerberConvertTest, RulesAreRenumberedAndFreeNumbersFound) {
  CGgtPieceBody body;
  body.outline = {GgtPoint(0, 0, {}, 5), GgtPoint(1, 0, {}, 6), GgtPoint(2, 0)};
  body.outline[2].ruleNumber = 5;  // no rule reference: stays
  CGgtOutlinePoint switched = GgtPoint(3, 0, {}, 5);
  switched.noRuleSwitch = 2;
  body.outline.push_back(switched);
  body.lines = {Line('X', {GgtPoint(4, 4, {}, 5)})};
  CModel::RenumberRule(body, 5, 8);
  EXPECT_EQ(body.outline[0].ruleNumber, 8);
  EXPECT_EQ(body.outline[1].ruleNumber, 6);
  EXPECT_EQ(body.outline[2].ruleNumber, 5);
  EXPECT_EQ(body.outline[3].ruleNumber, 5);
  EXPECT_EQ(body.lines[0].points[0].ruleNumber, 8);

  struct Case {
    std::vector<uint16_t> numbers;
    int free;
  };
  std::vector<uint16_t> all;
  for (uint16_t n = 1; n <= 9998; ++n) all.push_back(n);
  std::vector<uint16_t> allButLast(all.begin(), all.end() - 1);
  const Case kCases[] = {{{}, 1}, {{1, 2, 4}, 3}, {{2, 9999, 0}, 1}, {all, -1}, {allButLast, 9998}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.free);
    CGgtPieceBody rules;
    for (uint16_t n : c.numbers) rules.rules.push_back(Rule(n, {}, {}));
    EXPECT_EQ(CModel::FindFreeRuleNumber(rules), c.free);
  }
}

}  // namespace
