// The lower pane (work window between its rulers) and the main splitter.
#include "app/child_frame.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

#include "app/ruler_bar.h"
#include "app/splitter.h"
#include "app/work_window.h"
#include "model/selection.h"
#include "model/settings.h"
#include "model/style.h"
#include "tests/support/clean_style.h"

namespace {

class ChildFrameTest : public CleanStyleTest {};

TEST_F(ChildFrameTest, WorkWindowSitsBetweenTheRulers) {
  CChildFrame frame;
  frame.resize(400, 300);
  frame.show();
  QApplication::processEvents();
  // The left ruler takes the full height, the top one the width beside it.
  EXPECT_EQ(frame.GetLeftRulerBar()->geometry(), QRect(0, 0, 20, 300));
  EXPECT_EQ(frame.GetTopRulerBar()->geometry(), QRect(20, 0, 380, 20));
  EXPECT_EQ(frame.GetWorkWindow()->geometry(), QRect(20, 20, 380, 280));
  EXPECT_EQ(frame.GetLeftRulerBar()->orientation(), RulerOrientation::kVertical);
  EXPECT_EQ(frame.GetTopRulerBar()->orientation(), RulerOrientation::kHorizontal);
  EXPECT_EQ(frame.GetRulerFlag(), 1);

  // A hidden ruler gives its room to the work window.
  frame.GetTopRulerBar()->ToggleVisible();
  EXPECT_EQ(frame.GetWorkWindow()->geometry(), QRect(20, 0, 380, 300));
  frame.GetTopRulerBar()->ToggleVisible();
  EXPECT_EQ(frame.GetWorkWindow()->geometry(), QRect(20, 20, 380, 280));
}

TEST_F(ChildFrameTest, RegistersTheShellItProvides) {
  {
    CChildFrame frame;
    EXPECT_EQ(g_pChildFrame, &frame);
    EXPECT_EQ(g_pWorkWindow, frame.GetWorkWindow());
    EXPECT_EQ(g_pChildFrame->GetTopRuler(), frame.GetTopRulerBar());
    EXPECT_EQ(g_pChildFrame->GetLeftRuler(), frame.GetLeftRulerBar());
  }
  EXPECT_EQ(g_pChildFrame, nullptr);
  EXPECT_EQ(g_pWorkWindow, nullptr);
}

TEST_F(ChildFrameTest, RulerScalesFollowTheWorkWindow) {
  CChildFrame frame;
  frame.resize(400, 300);
  CWorkWindow* view = frame.GetWorkWindow();
  // Before any zoom the rulers assume the idle scale.
  EXPECT_DOUBLE_EQ(frame.GetTopRulerBar()->viewScale(), kRulerIdleScale);
  view->SetScale(1.0);  // 40 pixels are 1 mm
  EXPECT_DOUBLE_EQ(frame.GetTopRulerBar()->scale().major, 40.0);
  EXPECT_DOUBLE_EQ(frame.GetLeftRulerBar()->scale().major, 40.0);
  view->SetScale(10.0);
  EXPECT_DOUBLE_EQ(frame.GetLeftRulerBar()->scale().major, 400.0);
  // The top ruler maps the work window's origin.
  view->SetOriginX(1234);
  EXPECT_EQ(frame.GetTopRulerBar()->CurrentView().originX, 1234);
}

TEST_F(ChildFrameTest, SplitterBarStopsBelowTheListPane) {
  CmySplitter splitter;
  EXPECT_EQ(splitter.SetMaxBarPos(62), 67);
  EXPECT_EQ(splitter.GetMaxBarPos(), 62);
  EXPECT_EQ(splitter.ClampBarPos(200), 67);
  EXPECT_EQ(splitter.ClampBarPos(67), 67);
  EXPECT_EQ(splitter.ClampBarPos(30), 30);

  auto* list = new QLabel("list");
  auto* lower = new CChildFrame;
  splitter.addWidget(list);
  splitter.addWidget(lower);
  list->setMinimumHeight(0);
  splitter.resize(400, 400);
  splitter.show();
  QApplication::processEvents();
  splitter.SetRowInfo(0, 62, 0);
  splitter.RecalcLayout();
  EXPECT_EQ(splitter.sizes().at(0), 62);
  // A taller window gives the room to the lower row.
  splitter.resize(400, 600);
  QApplication::processEvents();
  EXPECT_EQ(splitter.sizes().at(0), 62);

  QSplitterHandle* bar = splitter.handle(1);
  ASSERT_NE(bar, nullptr);
  auto drag_to = [&](int y) {
    const QPointF grab(10, 0);
    QMouseEvent press(QEvent::MouseButtonPress, grab, bar->mapToGlobal(grab), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    const QPointF to = bar->mapFrom(&splitter, QPointF(10, y));
    QMouseEvent move(QEvent::MouseMove, to, bar->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, bar->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(bar, &release);
    QApplication::processEvents();
  };
  // Downwards the bar stops at the list pane's height + 5.
  drag_to(250);
  EXPECT_EQ(splitter.sizes().at(0), 67);
  // Upwards it moves freely.
  drag_to(30);
  EXPECT_EQ(splitter.sizes().at(0), 30);
}

}  // namespace
