// The lower pane of the main window: the work window framed by a ruler along
// its left edge and one along its top. The left ruler is laid out first, so
// it takes the frame's full height and the top ruler the width beside it;
// the left ruler's ticks therefore start 20 pixels down, level with the work
// window.
//
// There is one child frame; it registers itself as g_pChildFrame while it
// exists, and its work window as g_pWorkWindow.
#pragma once

#include <QWidget>

#include "model/shell_services.h"

class CRulerBar;
class CWorkWindow;

class CChildFrame : public QWidget, public IChildFrame {
 public:
  // Creates the work window and both rulers.
  explicit CChildFrame(QWidget* parent = nullptr);
  ~CChildFrame() override;

  // Creates the left ruler, then the top one, and draws their scales. The
  // flag is kept. TRUE once both exist (a second call keeps the rulers it
  // has).
  BOOL CreateRulers(int flag);

  CWorkWindow* GetWorkWindow() const { return work_window_; }
  CRulerBar* GetTopRulerBar() const { return top_ruler_; }
  CRulerBar* GetLeftRulerBar() const { return left_ruler_; }
  IRulerBar* GetTopRuler() override;
  IRulerBar* GetLeftRuler() override;
  int GetRulerFlag() const { return ruler_flag_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // A ruler shown or hidden gives its room to the work window or takes it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Layout();

  int ruler_flag_ = 0;
  CWorkWindow* work_window_ = nullptr;  // child widget, owned by Qt
  CRulerBar* top_ruler_ = nullptr;      // child widget, owned by Qt
  CRulerBar* left_ruler_ = nullptr;     // child widget, owned by Qt
};
