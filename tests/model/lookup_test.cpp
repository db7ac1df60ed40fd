// Item and vertex lookups of a piece, its hit tests, its drawing extent, the
// corner parameters at an outline vertex and the length to a key vertex.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

#include "model/item_factory.h"
#include "model/items/all_items.h"
#include "model/lookup.h"
#include "support/model_fixture.h"

namespace {

// A curve item whose curve hit test answers with a fixed foot point.
class FootCurve : public CPiecePolylineItem {
 public:
  FootCurve(int32_t type, CPoint foot) : CPiecePolylineItem(type, nullptr, nullptr), foot_(foot) {}
  BOOL HitTestMainVertex(int32_t, int32_t, double, CVertexNode** node, int* fx, int* fy) const override {
    *node = VertexHead;
    *fx = foot_.x;
    *fy = foot_.y;
    return TRUE;
  }

 private:
  CPoint foot_;
};

// An outline that maps a vertex onto its curve by position.
class MappedOutline : public CPiecePolylineItem {
 public:
  MappedOutline() : CPiecePolylineItem(0, nullptr, nullptr) {}
  CVertexNode* MapToCurveVertex(CSizeRecord* size, CVertexNode* node) const override {
    return FindCurveVertex(size, node->X, node->Y);
  }
};

// An item with a fixed drawing extent; `fresh` starts the box afresh as some
// item classes do, the others merge into it.
class BoxItem : public CPieceItem {
 public:
  BoxItem(int minX, int maxX, int minY, int maxY, bool fresh)
      : CPieceItem(5, nullptr, nullptr), box_{minX, maxX, minY, maxY}, fresh_(fresh) {}
  void GetDrawExtent(CSizeRecord*, int* minX, int* maxX, int* minY, int* maxY) const override {
    if (fresh_) {
      *minX = *minY = kBoxEmptyMin;
      *maxX = *maxY = kExtentEmptyMax;
    }
    *minX = std::min(*minX, box_[0]);
    *maxX = std::max(*maxX, box_[1]);
    *minY = std::min(*minY, box_[2]);
    *maxY = std::max(*maxY, box_[3]);
  }

 private:
  int box_[4];
  bool fresh_;
};

class LookupTest : public ModelTest {
 protected:
  // Adds an item of a type code with one main vertex per position.
  CPieceItem* AddItem(int type, std::vector<CPoint> vertices, uint32_t kind = 0) {
    std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(type);
    CPieceItem* item = ownedItem.get();
    for (const CPoint& p : vertices) item->AddTailVertex(p.x, p.y, kind);
    piece_.AddItem(ownedItem.release());
    return item;
  }

  CPieceRecord piece_;
};

TEST_F(LookupTest, HitTestReachesTheToleranceAndNoFurther) {
  // Scale 40 units per millimetre: 1 mm is 40 units.
  CPieceItem* outline = AddItem(0, {{1000, 0}, {0, 5000}});
  struct Case {
    int x;
    bool hit;
  };
  const Case kCases[] = {{1040, true}, {960, true}, {1041, false}, {959, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.x);
    CPieceItem* item = nullptr;
    CVertexNode* node = nullptr;
    EXPECT_EQ(piece_.HitTestVertex(c.x, 0, -1, 1.0, &item, &node) != 0, c.hit);
    EXPECT_EQ(item, c.hit ? outline : nullptr);
    EXPECT_EQ(node, c.hit ? outline->VertexHead : nullptr);
    node = nullptr;
    EXPECT_EQ(outline->HitTestVertex(c.x, 0, 1.0, &node, FALSE) != 0, c.hit);
  }
}

TEST_F(LookupTest, AnyTypePassesOverTextsAndDerivedItems) {
  AddItem(0, {{50000, 50000}});
  for (int type = 1; type < kItemTypeCount; ++type) {
    SCOPED_TRACE(type);
    // A dimension's first two nodes are its anchors: the vertex comes third.
    std::vector<CPoint> vertices = {{0, 0}};
    if (type == 28) vertices.insert(vertices.begin(), 2, CPoint(90000, 90000));
    CPieceItem* item = AddItem(type, vertices);
    const bool passedOver = type == 11 || type == 12 || (type >= 17 && type <= 25);
    CPieceItem* found = nullptr;
    EXPECT_EQ(piece_.HitTestVertex(0, 0, -1, 1.0, &found, nullptr) != 0, !passedOver);
    // Named by its own type, every item is searched.
    EXPECT_TRUE(piece_.HitTestVertex(0, 0, type, 1.0, &found, nullptr));
    EXPECT_EQ(found, item);
    piece_.RemoveItem(item);
  }
}

TEST_F(LookupTest, OutlineVertexInReachWinsOverANearerOne) {
  CPieceItem* line = AddItem(8, {{5, 0}});  // the ring's head, and nearer
  CPieceItem* outline = AddItem(0, {{30, 0}});
  CPieceItem* item = nullptr;
  ASSERT_TRUE(piece_.HitTestVertex(0, 0, -1, 1.0, &item, nullptr));
  EXPECT_EQ(item, outline);
  // Out of the outline's reach the nearest other vertex answers.
  ASSERT_TRUE(piece_.HitTestVertex(5, 0, -1, 0.1, &item, nullptr));
  EXPECT_EQ(item, line);
}

TEST_F(LookupTest, PieceWithoutOutlineHitsNothing) {
  AddItem(8, {{0, 0}});
  AddItem(9, {{0, 0}});
  CPieceItem* item = nullptr;
  EXPECT_FALSE(piece_.HitTestVertex(0, 0, -1, 1.0, &item, nullptr));
  EXPECT_FALSE(piece_.HitTestVertex(0, 0, 8, 1.0, &item, nullptr));
  EXPECT_EQ(item, nullptr);
}

TEST_F(LookupTest, DimensionAnchorsAreNoTargets) {
  AddItem(0, {{50000, 0}});
  CPieceItem* dimension = AddItem(28, {{0, 0}, {0, 0}});
  EXPECT_FALSE(piece_.HitTestVertex(0, 0, 28, 1.0, nullptr, nullptr));
  CVertexNode* label = dimension->AddTailVertex(0, 10, 0);
  CVertexNode* node = nullptr;
  ASSERT_TRUE(piece_.HitTestVertex(0, 0, 28, 1.0, nullptr, &node));
  EXPECT_EQ(node, label);
}

TEST_F(LookupTest, FindItemInRingOrder) {
  CPieceItem1 unrelated(nullptr, nullptr);
  CPieceItem* const sentinel = &unrelated;
  CPieceItem* out = sentinel;
  EXPECT_FALSE(piece_.FindItem(0, &out));
  EXPECT_EQ(out, sentinel);

  CPieceItem* first8 = AddItem(8, {});
  CPieceItem* outline = AddItem(0, {});
  CPieceItem* second8 = AddItem(8, {});
  ASSERT_TRUE(piece_.FindItem(8, &out));
  EXPECT_EQ(out, first8);
  ASSERT_TRUE(piece_.FindItemAfter(8, first8, &out));
  EXPECT_EQ(out, second8);
  // The search goes round the ring and tries `start` itself last.
  ASSERT_TRUE(piece_.FindItemAfter(8, second8, &out));
  EXPECT_EQ(out, first8);
  ASSERT_TRUE(piece_.FindItemAfter(0, outline, &out));
  EXPECT_EQ(out, outline);
  out = sentinel;
  EXPECT_FALSE(piece_.FindItemAfter(9, first8, &out));
  EXPECT_FALSE(piece_.FindItemAfter(8, nullptr, &out));
  EXPECT_EQ(out, sentinel);
}

TEST_F(LookupTest, FindVertexByTypeKindAndAnyItem) {
  AddSizes(2);
  CPieceItem* cutLine = AddItem(12, {{7, 7}});
  CPieceItem* vShape = AddItem(6, {});
  vShape->AddTailVertex(7, 7, 64);  // a copy is no main vertex
  CVertexNode* leg = vShape->AddTailVertex(7, 7, 0x802);
  CPieceItem* corners = AddItem(24, {{7, 7}});

  CPieceItem* item = nullptr;
  EXPECT_EQ(piece_.FindVertex(7, 7, 6, &item), leg);
  EXPECT_EQ(item, vShape);
  EXPECT_EQ(piece_.FindVertex(7, 8, 6, &item), nullptr);
  EXPECT_EQ(piece_.FindVertexOfKind(7, 7, 2, 6, &item), leg);
  EXPECT_EQ(piece_.FindVertexOfKind(7, 7, 64, 6, &item), vShape->VertexHead);
  EXPECT_EQ(piece_.FindVertexOfKind(7, 7, 3, 6, &item), nullptr);
  EXPECT_EQ(piece_.FindVertex(7, 7, 12, &item), cutLine->VertexHead);

  // Any item but the cut line and the items 17 to 20 (21 to 25 count here).
  item = nullptr;
  EXPECT_EQ(piece_.FindVertexAnyItem(7, 7, &item), leg);
  EXPECT_EQ(item, vShape);
  piece_.RemoveItem(vShape);
  EXPECT_EQ(piece_.FindVertexAnyItem(7, 7, &item), corners->VertexHead);
  EXPECT_EQ(item, corners);
}

TEST_F(LookupTest, HitTestFromStartsAtTheGivenItemAndStopsAtTheRingEnd) {
  CPieceItem* a = AddItem(8, {{0, 0}});
  CPieceItem* derived = AddItem(17, {{0, 0}});
  CPieceItem* corner = AddItem(24, {{0, 0}});
  CPieceItem* item = nullptr;
  ASSERT_TRUE(piece_.HitTestVertexFrom(0, 0, -1, 1.0, a, &item, nullptr));
  EXPECT_EQ(item, a);
  // From the derived line: 17 is passed over, 24 is not.
  ASSERT_TRUE(piece_.HitTestVertexFrom(0, 0, -1, 1.0, derived, &item, nullptr));
  EXPECT_EQ(item, corner);
  ASSERT_TRUE(piece_.HitTestVertexFrom(0, 0, 17, 1.0, derived, &item, nullptr));
  EXPECT_EQ(item, derived);
  // The walk does not wrap past the ring's tail to the head.
  EXPECT_FALSE(piece_.HitTestVertexFrom(0, 0, 8, 1.0, corner, &item, nullptr));
}

TEST_F(LookupTest, HitTestCurveTakesTheNearestFootOfTheCurveItems) {
  auto* far = new FootCurve(0, CPoint(0, 30));
  auto* near = new FootCurve(8, CPoint(0, 10));
  auto* notTried = new FootCurve(12, CPoint(0, 0));
  far->AddTailVertex(0, 0, 0);
  near->AddTailVertex(0, 0, 0);
  notTried->AddTailVertex(0, 0, 0);
  piece_.AddItem(far);
  piece_.AddItem(near);
  piece_.AddItem(notTried);
  CPieceItem* item = nullptr;
  CVertexNode* segment = nullptr;
  int fx = -1;
  int fy = -1;
  ASSERT_TRUE(piece_.HitTestCurve(0, 0, 1.0, &item, &segment, &fx, &fy));
  EXPECT_EQ(item, near);
  EXPECT_EQ(segment, near->VertexHead);
  EXPECT_EQ(fy, 10);
  // The nearest foot is 0.25 mm away: a tolerance of 0.25 is not enough.
  EXPECT_FALSE(piece_.HitTestCurve(0, 0, 0.25, &item, &segment, &fx, &fy));
  EXPECT_TRUE(piece_.HitTestCurve(0, 0, 0.26, &item, &segment, &fx, &fy));
}

TEST_F(LookupTest, DrawExtentIsTheUnionOfTheItems) {
  AddSizes(2);
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  piece_.GetDrawExtent(0, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(minX, kBoxEmptyMin);
  EXPECT_EQ(maxX, kExtentEmptyMax);
  piece_.AddItem(new BoxItem(-5, 10, 0, 20, false));
  piece_.AddItem(new BoxItem(0, 30, -7, 5, true));
  piece_.GetDrawExtent(1, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(minX, -5);
  EXPECT_EQ(maxX, 30);
  EXPECT_EQ(minY, -7);
  EXPECT_EQ(maxY, 20);
}

class CornerParamsTest : public LookupTest {
 protected:
  // An outline of four corners on a 100-unit line and back: (0,0), (50,0),
  // (100,0), (100,100); two sizes. A corner parameter node packs the leaving
  // width in its low half and the arriving width in its high half.
  void SetUp() override {
    LookupTest::SetUp();
    AddSizes(2);
    outline_ = AddItem(0, {});
    for (const CPoint& p : {CPoint(0, 0), CPoint(50, 0), CPoint(100, 0), CPoint(100, 100)}) {
      vertices_.push_back(AddGraded(outline_, p.x, p.y, 0));
    }
  }

  static uint32_t Pack(int leaving, int arriving) {
    return (static_cast<uint32_t>(arriving) << 16) | (static_cast<uint32_t>(leaving) & 0xFFFFu);
  }

  CVertexNode* AddParams(int vertex, int leaving, int arriving, int32_t codeWord) {
    CVertexNode* after = vertices_[static_cast<size_t>(vertex)]->Next;  // its copy
    return outline_->InsertVertexAfter(after, static_cast<int32_t>(Pack(leaving, arriving)), codeWord, 128);
  }

  CPieceItem* outline_ = nullptr;
  std::vector<CVertexNode*> vertices_;
};

TEST_F(CornerParamsTest, OwnParameterNodeGivesItsCodeAndWidths) {
  AddParams(1, -3, 12, 5);
  int code = 0, p1 = 0, p2 = 0;
  GetVertexCornerParams(outline_, vertices_[1], &code, &p1, &p2);
  EXPECT_EQ(code, 5);
  EXPECT_EQ(p1, 12);
  EXPECT_EQ(p2, -3);
  // Codes 13, 14 and 18 to 21 keep the whole y word.
  for (int c : {13, 14, 18, 21, 12, 22}) {
    SCOPED_TRACE(c);
    CVertexNode* param = FindCornerParamNode(outline_, vertices_[1]);
    ASSERT_NE(param, nullptr);
    param->Y = 0x70000 | c;
    GetVertexCornerParams(outline_, vertices_[1], &code, &p1, &p2);
    const bool whole = c == 13 || c == 14 || (c >= 18 && c <= 21);
    EXPECT_EQ(code, whole ? (0x70000 | c) : c);
  }
}

TEST_F(CornerParamsTest, WidthsBlendAlongTheOutlineBetweenParameterNodes) {
  AddParams(0, 10, 99, 1);
  AddParams(2, 77, 30, 1);
  int code = 0, p1 = 0, p2 = 0;
  GetVertexCornerParams(outline_, vertices_[1], &code, &p1, &p2);
  EXPECT_EQ(code, 6);
  EXPECT_EQ(p1, 20);
  EXPECT_EQ(p2, 20);
  // Without any parameter node every width is 0; a null vertex gives 6, 0, 0.
  CPieceItem* bare = AddItem(0, {{0, 0}, {10, 0}});
  GetVertexCornerParams(bare, bare->VertexHead, &code, &p1, &p2);
  EXPECT_EQ(p1, 0);
  code = p1 = p2 = 9;
  GetVertexCornerParams(outline_, nullptr, &code, &p1, &p2);
  EXPECT_EQ(code, 6);
  EXPECT_EQ(p1, 0);
  EXPECT_EQ(p2, 0);
}

TEST_F(CornerParamsTest, StretchWithoutLengthKeepsTheLeavingWidth) {
  // The vertex and both neighbours with parameters lie on one point.
  for (CVertexNode* v : vertices_) {
    for (CVertexNode* n = v; n == v || n->Kind() == 64; n = n->Next) n->X = n->Y = 0;
  }
  AddParams(0, 10, 0, 1);
  AddParams(2, 0, 30, 1);
  int code = 0, p1 = 0, p2 = 0;
  GetVertexCornerParams(outline_, vertices_[1], &code, &p1, &p2);
  EXPECT_EQ(p1, 10);
  EXPECT_EQ(p2, 10);
}

class KeyDistanceTest : public LookupTest {
 protected:
  // Outline K (0,0) key, A (100,0), B (250,0) curve vertices, C (250,300)
  // key; the closing side C -> K is 390 long.
  void SetUp() override {
    LookupTest::SetUp();
    AddSizes(1);
    outline_ = new MappedOutline;
    k_ = outline_->AddTailVertex(0, 0, 0);
    a_ = outline_->AddTailVertex(100, 0, 2);
    b_ = outline_->AddTailVertex(250, 0, 1);
    outline_->AddTailVertex(250, 300, 3);
    outline_->BuildCurveRings();
    piece_.AddItem(outline_);
  }
  MappedOutline* outline_ = nullptr;
  CVertexNode* k_ = nullptr;
  CVertexNode* a_ = nullptr;
  CVertexNode* b_ = nullptr;
};

TEST_F(KeyDistanceTest, ShorterWayToAKeyVertex) {
  EXPECT_EQ(outline_->DistanceToKeyVertex(a_), 100);
  EXPECT_EQ(outline_->DistanceToKeyVertex(b_), 250);
  // A curve vertex that carries a positive length ends the walk too.
  a_->Value = std::bit_cast<int32_t>(1.5f);
  EXPECT_EQ(outline_->DistanceToKeyVertex(b_), 150);
  a_->Value = std::bit_cast<int32_t>(-1.5f);
  EXPECT_EQ(outline_->DistanceToKeyVertex(b_), 250);
}

TEST_F(KeyDistanceTest, NothingToMeasureGivesZero) {
  CVertexNode stray;
  stray.X = 12345;
  EXPECT_EQ(outline_->DistanceToKeyVertex(&stray), 0);
  EXPECT_EQ(outline_->DistanceToKeyVertex(nullptr), 0);
  CPieceItem* grain = AddItem(1, {{100, 0}});
  EXPECT_EQ(grain->DistanceToKeyVertex(grain->VertexHead), 0);
}

}  // namespace
