#include "app/render_throttle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QObject>

namespace {

// Runs the event loop until `done` holds or five seconds have passed.
template <typename Done>
void RunEventsUntil(Done done) {
  QElapsedTimer waited;
  waited.start();
  while (!done() && waited.elapsed() < 5000) QApplication::processEvents();
}

TEST(RenderThrottle, RequestsWhileOneWaitsShareOneRender) {
  QObject owner;
  int renders = 0;
  CRenderThrottle* self = nullptr;
  CRenderThrottle throttle(&owner, 5, [&] {
    ++renders;
    self->Served();
  });
  self = &throttle;
  EXPECT_FALSE(throttle.Pending());
  for (int i = 0; i < 100; ++i) throttle.Request();
  EXPECT_TRUE(throttle.Pending());
  EXPECT_EQ(renders, 0);
  RunEventsUntil([&] { return !throttle.Pending(); });
  EXPECT_EQ(renders, 1);
  // A later request waits for an interval of its own.
  throttle.Request();
  RunEventsUntil([&] { return !throttle.Pending(); });
  EXPECT_EQ(renders, 2);
}

TEST(RenderThrottle, ARenderServedEarlyIsNotDoneAgain) {
  QObject owner;
  int timed = 0;
  CRenderThrottle throttle(&owner, 5, [&] { ++timed; });
  throttle.Request();
  // The picture was needed at once (painted or read): rendered then.
  throttle.Served();
  EXPECT_FALSE(throttle.Pending());
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 50) QApplication::processEvents();
  EXPECT_EQ(timed, 0);
}

}  // namespace
