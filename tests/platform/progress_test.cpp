#include "platform/progress.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Records what reaches the bars it makes.
class RecordingHost : public IProgressHost {
 public:
  std::unique_ptr<IProgressBar> CreateStatusProgress() override {
    ++made;
    return std::make_unique<Bar>(this);
  }
  int made = 0;
  int destroyed = 0;
  std::vector<std::string> calls;

 private:
  class Bar : public IProgressBar {
   public:
    explicit Bar(RecordingHost* host) : host_(host) {}
    ~Bar() override { ++host_->destroyed; }
    void SetRange(int lower, int upper) override {
      host_->calls.push_back("range " + std::to_string(lower) + " " + std::to_string(upper));
    }
    void SetPos(int position) override { host_->calls.push_back("pos " + std::to_string(position)); }

   private:
    RecordingHost* host_;
  };
};

TEST(StatusProgress, ShowsItsRangeAndEveryForwardStepThenGoes) {
  RecordingHost host;
  IProgressHost* previous = SetProgressHost(&host);
  {
    CStatusProgress progress(0, 12, 10);
    progress.StepIt();
    progress.SetPos(5);  // backwards: nothing
    progress.SetPos(11);  // the same: nothing
    progress.StepIt();
    progress.StepIt();    // past the end: nothing
    progress.SetPos(40);  // past the end: nothing
    EXPECT_EQ(progress.Position(), 12);
    EXPECT_EQ(host.destroyed, 0);
  }
  SetProgressHost(previous);
  EXPECT_EQ(host.made, 1);
  EXPECT_EQ(host.destroyed, 1);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"range 0 12", "pos 10", "pos 11", "pos 12"}));
}

TEST(StatusProgress, WithoutAHostCountsAlone) {
  IProgressHost* previous = SetProgressHost(nullptr);
  CStatusProgress progress(0, 1000, 10);
  for (int i = 0; i < 5; ++i) progress.StepIt();
  EXPECT_EQ(progress.Position(), 15);
  SetProgressHost(previous);
}

}  // namespace
