// The readers' progress bar in the main window's status bar, offscreen: it is
// laid over the status bar where the readers have always put it, and every
// position that reaches it paints the status bar at once, before the event
// loop runs again.
#include <QEvent>
#include <QObject>
#include <QProgressBar>
#include <QStatusBar>

#include "main_frame_fixture.h"
#include "platform/progress.h"

namespace {

class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
  int paints = 0;
};

class StatusProgressTest : public MainFrameFixture {};

TEST_F(StatusProgressTest, TheBarSitsInTheStatusBarAndPaintsAtEachPosition) {
  QStatusBar* status = Frame().GetStatusBarWidget();
  ASSERT_NE(status, nullptr);
  QApplication::processEvents();
  PaintCounter counter;
  status->installEventFilter(&counter);
  {
    CStatusProgress progress(0, 1000, 10);
    const QList<QProgressBar*> bars = status->findChildren<QProgressBar*>();
    ASSERT_EQ(bars.size(), 1);
    const QProgressBar* bar = bars.front();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 1000);
    EXPECT_EQ(bar->value(), 10);
    const QRect client = status->rect();
    EXPECT_EQ(bar->geometry(), QRect(QPoint(5, 4), QPoint(client.width() < 160 ? client.width() - 6 : 154,
                                                           client.height() - 5)));
    const int before = counter.paints;
    for (int i = 0; i < 20; ++i) progress.StepIt();
    EXPECT_EQ(bar->value(), 30);
    // No event loop ran: every paint came from a position.
    EXPECT_GE(counter.paints - before, 20);
  }
  EXPECT_TRUE(status->findChildren<QProgressBar*>().isEmpty());
  status->removeEventFilter(&counter);
}

}  // namespace
