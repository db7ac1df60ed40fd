#include <gtest/gtest.h>

#include "model/items/all_items.h"
#include "model/selection.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

class SelectionTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    listed_.Link = &copy_;
    listed_.Linked = 1;
    copy_.Link = &listed_;
    shell_.calls.clear();
  }
  void TearDown() override {
    g_Selection.Reset();
    ModelTest::TearDown();
  }

  FakeShell shell_;
  CPieceRecord listed_;
  CPieceRecord copy_;
};

TEST_F(SelectionTest, NewCurrentPieceSelectsItsSourceAndRefreshesTheRulers) {
  g_Selection.SetCurrent(&copy_, nullptr, nullptr, nullptr);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), &copy_);
  EXPECT_EQ(shell_.selected, &listed_);
  EXPECT_EQ(shell_.calls, (std::vector<std::string>{"SelectPiece", "Refresh top", "Refresh left"}));

  shell_.calls.clear();
  g_Selection.SetCurrent(&copy_, nullptr, nullptr, nullptr);
  EXPECT_TRUE(shell_.calls.empty()) << "the same selection again tells nobody";

  g_Selection.SetCurrent(nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(shell_.selected, nullptr);
  EXPECT_EQ(shell_.calls, (std::vector<std::string>{"SelectPiece", "Refresh top", "Refresh left"}));
}

TEST_F(SelectionTest, ChangingOnlyTheValuesSelectsAgainWithoutRulers) {
  CPieceItem1 item(nullptr, nullptr);
  CVertexNode* b = item.AddTailVertex(0, 0, 0);
  CVertexNode* c = item.AddTailVertex(1, 0, 0);
  g_Selection.SetCurrent(&copy_, nullptr, nullptr, nullptr);
  shell_.calls.clear();
  g_Selection.SetCurrent(&copy_, &item, b, c);
  EXPECT_EQ(shell_.calls, (std::vector<std::string>{"SelectPiece"}));
  EXPECT_EQ(g_Selection.GetValue1(), &item);
  EXPECT_EQ(g_Selection.GetValue2(), b);
  EXPECT_EQ(g_Selection.GetValue3(), c);
}

TEST_F(SelectionTest, NoThirdValueStoresTheSecond) {
  CPieceItem1 item(nullptr, nullptr);
  CVertexNode* b = item.AddTailVertex(0, 0, 0);
  g_Selection.SetCurrent(&copy_, &item, b, nullptr);
  EXPECT_EQ(g_Selection.GetValue3(), b);
  shell_.calls.clear();
  // Stored third value b differs from the null given: still a change.
  g_Selection.SetCurrent(&copy_, &item, b, nullptr);
  EXPECT_EQ(shell_.calls, (std::vector<std::string>{"SelectPiece"}));
  // With no second value either, the repeat is no change.
  g_Selection.SetCurrent(&copy_, &item, nullptr, nullptr);
  shell_.calls.clear();
  g_Selection.SetCurrent(&copy_, &item, nullptr, nullptr);
  EXPECT_TRUE(shell_.calls.empty());
}

TEST_F(SelectionTest, WorksWithoutAShell) {
  IPatternListBox* list = g_pListPane;
  IChildFrame* frame = g_pChildFrame;
  g_pListPane = nullptr;
  g_pChildFrame = nullptr;
  g_Selection.SetCurrent(&copy_, nullptr, nullptr, nullptr);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), &copy_);
  g_Selection.Reset();
  EXPECT_EQ(g_Selection.GetCurrentPiece(), nullptr);
  EXPECT_EQ(g_Selection.SelectIndex, -1);
  g_pListPane = list;
  g_pChildFrame = frame;
  EXPECT_TRUE(shell_.calls.empty());
}

}  // namespace
