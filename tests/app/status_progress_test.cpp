// The readers' progress bar in the main window's status bar, offscreen: it is
// laid over the status bar where the readers have always put it, and every
// position that reaches it paints the status bar at once, before the event
// loop runs again.
#include <fstream>
#include <string>

#include <QEvent>
#include <QObject>
#include <QProgressBar>
#include <QStatusBar>

#include "main_frame_fixture.h"
#include "platform/progress.h"
#include "res/command_ids.h"
#include "res/resource_ids.h"

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
    // No event loop ran: every paint came from a position, one each time
    // the bar's fill moved by a pixel or more.
    const auto fillAt = [bar](int value) { return value * bar->width() / 1000; };
    EXPECT_EQ(counter.paints - before, fillAt(30) - fillAt(10));
    while (bar->value() < 990) progress.StepIt();
    EXPECT_EQ(counter.paints - before, fillAt(990) - fillAt(10));
  }
  EXPECT_TRUE(status->findChildren<QProgressBar*>().isEmpty());
  status->removeEventFilter(&counter);
}

TEST_F(StatusProgressTest, TheStatusBarRepaintsWhileALongFileIsRead) {
  std::string text = "0\nSECTION\n2\nBLOCKS\n";
  for (int i = 0; i < 1500; ++i) {
    text += "0\nBLOCK\n8\n1\n2\nP" + std::to_string(i) + "\n0\nPOLYLINE\n8\n1\n66\n1\n70\n1\n";
    for (const char* corner : {"10\n0\n20\n0\n", "10\n100\n20\n0\n", "10\n100\n20\n100\n"}) {
      text += std::string("0\nVERTEX\n8\n1\n") + corner;
    }
    text += "0\nSEQEND\n0\nENDBLK\n";
  }
  text += "0\nENDSEC\n0\nEOF\n";
  const std::string path = home_folder_ / "long.dxf";
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  QStatusBar* status = Frame().GetStatusBarWidget();
  QApplication::processEvents();
  PaintCounter counter;
  status->installEventFilter(&counter);
  prompts_.ChooseFile(path);
  prompts_.RunOptionsDialog(DialogScript(IDD_AAMA_OPEN));
  ASSERT_TRUE(Frame().RunCommand(ID_FILE_OPEN_AAMA));
  // The command ran without the event loop: its paints came from the bar.
  EXPECT_GT(counter.paints, 100);
  status->removeEventFilter(&counter);
  EXPECT_EQ(g_Style.PieceCount, 1500);
  EXPECT_TRUE(status->findChildren<QProgressBar*>().isEmpty());
}

}  // namespace
