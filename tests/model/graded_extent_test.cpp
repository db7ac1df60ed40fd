// The extents of the items whose vertices are graded groups (segment, simple,
// fill and notch items): which sizes count, and what a damaged ring gives.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "model/items/all_items.h"
#include "support/model_fixture.h"

namespace {

constexpr int kEmptyMin = 0x7FFFFFFF;
constexpr int kEmptyMax = static_cast<int>(0x80000000u);

struct Box {
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  friend bool operator==(const Box&, const Box&) = default;
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << "x " << b.minX << ".." << b.maxX << ", y " << b.minY << ".." << b.maxY;
}

const Box kEmptyBox{kEmptyMin, kEmptyMax, kEmptyMin, kEmptyMax};

Box Extent(const CPieceItem& item, int all) {
  // Garbage in, so that a walk that writes nothing shows.
  Box b{1, 2, 3, 4};
  item.GetExtent(all, &b.minX, &b.maxX, &b.minY, &b.maxY);
  return b;
}

Box DrawExtent(const CPieceItem& item, CSizeRecord* skip) {
  Box b{1, 2, 3, 4};
  item.GetDrawExtent(skip, &b.minX, &b.maxX, &b.minY, &b.maxY);
  return b;
}

// One item of each of the four graded-point bases.
struct Kind {
  const char* name;
  std::function<std::unique_ptr<CPieceItem>()> make;
};
const Kind kKinds[] = {
    {"segment", [] { return std::make_unique<CPieceItem7>(nullptr, nullptr); }},
    {"simple", [] { return std::make_unique<CPieceItem6>(nullptr, nullptr); }},
    {"fill", [] { return std::make_unique<CPieceItem5>(nullptr, nullptr); }},
    {"notch", [] { return std::make_unique<CPieceItem13>(nullptr, nullptr); }},
};

class GradedExtentTest : public ModelTest {};

TEST_F(GradedExtentTest, TheFirstSizeCountsAloneOrEveryVisibleSize) {
  auto sizes = AddSizes(3);
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.name);
    auto item = kind.make();
    // Sizes at (x + 10 s, y + 100 s).
    AddGraded(item.get(), 0, 0, 0);
    AddGraded(item.get(), -50, 30, 1);
    for (CSizeRecord* size : sizes) size->Visible = 1;
    EXPECT_EQ(Extent(*item, 0), (Box{-50, 0, 0, 30}));
    EXPECT_EQ(Extent(*item, 1), (Box{-50, 20, 0, 230}));

    // Hidden sizes leave the all-sizes extent, never the first-size one.
    sizes[0]->Visible = 0;
    sizes[2]->Visible = 0;
    EXPECT_EQ(Extent(*item, 0), (Box{-50, 0, 0, 30}));
    EXPECT_EQ(Extent(*item, -1), (Box{-40, 10, 100, 130}));
    sizes[1]->Visible = 0;
    EXPECT_EQ(Extent(*item, 1), kEmptyBox);
  }
}

TEST_F(GradedExtentTest, TheDrawExtentLeavesOutOneSizeAndCountsHiddenOnes) {
  auto sizes = AddSizes(3);
  sizes[1]->Visible = 0;
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.name);
    auto item = kind.make();
    AddGraded(item.get(), 0, 0, 0);
    AddGraded(item.get(), -50, 30, 1);
    EXPECT_EQ(DrawExtent(*item, sizes[2]), (Box{-50, 10, 0, 130}));
    EXPECT_EQ(DrawExtent(*item, sizes[0]), (Box{-40, 20, 100, 230}));
    // A record of no size of the style leaves out nothing.
    CSizeRecord stranger(CString("X"), 0, 0, 0, 1);
    EXPECT_EQ(DrawExtent(*item, &stranger), (Box{-50, 20, 0, 230}));
    EXPECT_EQ(DrawExtent(*item, nullptr), (Box{-50, 20, 0, 230}));
  }
}

TEST_F(GradedExtentTest, RingsWithNothingToCountGiveTheEmptyBox) {
  AddSizes(3);
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.name);
    auto empty = kind.make();
    EXPECT_EQ(Extent(*empty, 1), kEmptyBox);
    EXPECT_EQ(DrawExtent(*empty, nullptr), kEmptyBox);
    // Only parameter and single nodes: no graded group.
    auto noMain = kind.make();
    noMain->AddTailVertex(5, 5, kVertexKindParameter);
    noMain->AddTailVertex(6, 6, kVertexKindMovedSingle);
    EXPECT_EQ(Extent(*noMain, 0), kEmptyBox);
    EXPECT_EQ(DrawExtent(*noMain, nullptr), kEmptyBox);
  }
}

TEST_F(GradedExtentTest, AShortGroupStopsAtTheNextNodeThatIsNoCopy) {
  AddSizes(3);
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.name);
    // A has only two of its three nodes; the parameter node after it must
    // not be taken for A in the third size.
    auto item = kind.make();
    item->AddTailVertex(0, 0, 0);
    item->AddTailVertex(10, 100, kVertexKindCopy);
    item->AddTailVertex(-9999, -9999, kVertexKindFixedSingle);
    AddGraded(item.get(), 500, 500, 0);
    EXPECT_EQ(Extent(*item, 1), (Box{0, 520, 0, 700}));
    EXPECT_EQ(DrawExtent(*item, nullptr), (Box{0, 520, 0, 700}));

    // A lone main vertex in a style of three sizes is counted once, not
    // taken again for the sizes it lacks.
    auto lone = kind.make();
    lone->AddTailVertex(7, 8, 0);
    EXPECT_EQ(Extent(*lone, 1), (Box{7, 7, 8, 8}));
  }
}

TEST_F(GradedExtentTest, AStyleWithoutSizesGivesTheEmptyBox) {
  CPieceItem20 item(nullptr, nullptr);
  item.AddTailVertex(1, 2, 0);
  EXPECT_EQ(Extent(item, 1), kEmptyBox);
  EXPECT_EQ(Extent(item, 0), kEmptyBox);
}

}  // namespace
