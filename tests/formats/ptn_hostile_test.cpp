// The native reader on hostile files that the fuzzer found to take far too
// long: each must be read, or refused, in time (the test timeout is the
// guard; nothing here measures time).
#include <gtest/gtest.h>

#include <string>

#include "formats/ptn_reader.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "tests/support/clean_style.h"
#include "tests/support/file_bytes.h"
#include "tests/support/test_data.h"

namespace {

class PtnHostileTest : public CleanStyleTest {
 protected:
  ScriptedPrompts prompts_;
  ScopedPrompts scoped_{&prompts_};
};

// A flat file whose outline has coordinates so far apart that the offset cut
// line folds into a ring of about two thousand points where every segment
// crosses every other. The repair pass rebuilds the cut line; the loop
// clean-up used to spend minutes on it.
TEST_F(PtnHostileTest, FileWhoseCutLineCrossesItselfEverywhereIsReadInTime) {
  const std::string bytes = ReadFile(TestDataPath("hostile_cut_line.ptn"));
  ASSERT_EQ(bytes.size(), 585u);
  CStyle style;
  style.StyleName = "untouched";
  const PtnReadReport report = ReadPtnBytes(bytes, style);
  EXPECT_LE(report.offset, bytes.size());
  EXPECT_EQ(report.outcome, PtnReadResult::kSuccess) << report.reason;
  EXPECT_EQ(style.PieceCount, 1);
  // The style read into is never the loaded one.
  EXPECT_EQ(g_Style.PieceCount, 0);
  EXPECT_TRUE(prompts_.records().empty());
}

}  // namespace
