// The readers move the status bar's progress bar while they read, not once
// at the end: a long file reaches the bar many times, each position further
// on, with pieces still coming after it.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/aama_reader.h"
#include "formats/dxf_reader.h"
#include "model/style.h"
#include "platform/progress.h"
#include "tests/support/clean_style.h"

namespace {

// Notes each position with the number of pieces the style being read held
// then.
class RecordingHost : public IProgressHost {
 public:
  struct Step {
    int position;
    int pieces;
  };
  std::unique_ptr<IProgressBar> CreateStatusProgress() override { return std::make_unique<Bar>(this); }
  std::vector<std::pair<int, int>> ranges;
  std::vector<Step> steps;

 private:
  class Bar : public IProgressBar {
   public:
    explicit Bar(RecordingHost* host) : host_(host) {}
    void SetRange(int lower, int upper) override { host_->ranges.emplace_back(lower, upper); }
    void SetPos(int position) override { host_->steps.push_back({position, g_Style.PieceCount}); }

   private:
    RecordingHost* host_;
  };
};

// `count` square pieces, one block each.
std::string AamaOfSquares(int count) {
  std::string text = "0\nSECTION\n2\nBLOCKS\n";
  for (int i = 0; i < count; ++i) {
    text += "0\nBLOCK\n8\n1\n2\nP" + std::to_string(i) + "\n0\nPOLYLINE\n8\n1\n66\n1\n70\n1\n";
    for (const char* corner : {"10\n0\n20\n0\n", "10\n100\n20\n0\n", "10\n100\n20\n100\n", "10\n0\n20\n100\n"}) {
      text += std::string("0\nVERTEX\n8\n1\n") + corner;
    }
    text += "0\nSEQEND\n0\nENDBLK\n";
  }
  return text + "0\nENDSEC\n0\nEOF\n";
}

std::string DxfOfLines(int count) {
  std::string text = "  0\nSECTION\n  2\nENTITIES\n";
  for (int i = 0; i < count; ++i) {
    const std::string y = std::to_string(i % 500);
    text += "  0\nLINE\n  8\n0\n 10\n0\n 20\n" + y + "\n 11\n50\n 21\n" + y + "\n";
  }
  return text + "  0\nENDSEC\n  0\nEOF\n";
}

class ReadProgressTest : public CleanStyleTest {
 protected:
  void SetUp() override {
    CleanStyleTest::SetUp();
    previous_ = SetProgressHost(&host_);
  }
  void TearDown() override {
    SetProgressHost(previous_);
    CleanStyleTest::TearDown();
  }

  // Positions only move forward, and many of them came while reading.
  void ExpectManyStepsWhileReading(int firstPosition) {
    ASSERT_EQ(host_.ranges, (std::vector<std::pair<int, int>>{{0, 1000}}));
    ASSERT_GT(host_.steps.size(), 100u);
    EXPECT_EQ(host_.steps.front().position, firstPosition);
    for (size_t i = 1; i < host_.steps.size(); ++i) {
      EXPECT_GT(host_.steps[i].position, host_.steps[i - 1].position);
      EXPECT_LE(host_.steps[i].position, 1000);
    }
  }

  RecordingHost host_;
  IProgressHost* previous_ = nullptr;
};

TEST_F(ReadProgressTest, AnAamaFileMovesTheBarAsItsBlocksAreRead) {
  const std::string text = AamaOfSquares(2000);
  ASSERT_EQ(ReadAamaBytes(text, std::nullopt, g_Style, AamaReadOptions{}).outcome, AamaReadResult::kSuccess);
  ASSERT_EQ(g_Style.PieceCount, 2000);
  ExpectManyStepsWhileReading(10);
  // Pieces were still being read after the bar had moved on.
  EXPECT_LT(host_.steps[host_.steps.size() / 2].pieces, 2000);
  EXPECT_GT(host_.steps[host_.steps.size() / 2].pieces, 0);
}

TEST_F(ReadProgressTest, APlainDxfFileMovesTheBarEveryFiftyLines) {
  const std::string text = DxfOfLines(2000);
  ASSERT_EQ(ReadDxfBytes(text, g_Style, DxfReadOptions{}).outcome, DxfReadResult::kSuccess);
  ExpectManyStepsWhileReading(0);
  // 2000 LINEs of 12 lines each and 8 lines around them: a step every 50.
  EXPECT_NEAR(host_.steps.back().position, (2000 * 12 + 8) / 50, 1);
}

}  // namespace
