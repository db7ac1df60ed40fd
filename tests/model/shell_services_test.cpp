// The work-window words the piece operations read (load mode, view scale):
// set for a read with or without a work window, and put back afterwards, so
// that a read in a test or a fuzzer runs the operations exactly as one with
// the program's window.
#include <gtest/gtest.h>

#include <optional>

#include "model/shell_services.h"
#include "tests/model/support/fake_shell.h"

namespace {

TEST(ShellServicesTest, ScopedWordsActWithAndWithoutAWorkWindow) {
  for (const bool windowed : {false, true}) {
    SCOPED_TRACE(windowed ? "with a work window" : "without one");
    std::optional<FakeShell> shell;
    if (windowed) {
      shell.emplace();
      shell->scale = 7.5;
    }
    const double before = GetWorkWindowScale();
    EXPECT_EQ(before, windowed ? 7.5 : 1.0);
    {
      ScopedLoadMode mode(kLoadModeFlatNative);
      ScopedViewScale scale(3.0);
      EXPECT_EQ(GetWorkWindowLoadMode(), kLoadModeFlatNative);
      EXPECT_EQ(GetWorkWindowScale(), 3.0);
    }
    EXPECT_EQ(GetWorkWindowLoadMode(), 0);
    EXPECT_EQ(GetWorkWindowScale(), before);
    {
      ScopedViewScale scale(3.0, 0.0);  // a reader that leaves the view unscaled
    }
    EXPECT_EQ(GetWorkWindowScale(), 0.0);
    { ScopedViewScale restore(before, before); }
  }
}

}  // namespace
