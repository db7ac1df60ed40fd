#include "app/child_frame.h"

#include <algorithm>

#include <QEvent>

#include "app/ruler_bar.h"
#include "app/work_window.h"

CChildFrame::CChildFrame(QWidget* parent) : QWidget(parent) {
  work_window_ = new CWorkWindow(this);
  CreateRulers(1);
  g_pChildFrame = this;
  Layout();
}

CChildFrame::~CChildFrame() {
  if (g_pChildFrame == this) g_pChildFrame = nullptr;
  // The rulers and the work window are children and go with the frame; the
  // work window must not reach the rulers while they are taken down.
  if (work_window_) work_window_->SetRulers(nullptr, nullptr);
}

BOOL CChildFrame::CreateRulers(int flag) {
  ruler_flag_ = flag;
  if (!left_ruler_) {
    left_ruler_ = new CRulerBar(RulerOrientation::kVertical, work_window_, this);
    left_ruler_->installEventFilter(this);
  }
  if (!top_ruler_) {
    top_ruler_ = new CRulerBar(RulerOrientation::kHorizontal, work_window_, this);
    top_ruler_->installEventFilter(this);
  }
  work_window_->SetRulers(top_ruler_, left_ruler_);
  left_ruler_->DrawScale();
  top_ruler_->DrawScale();
  return TRUE;
}

IRulerBar* CChildFrame::GetTopRuler() { return top_ruler_; }
IRulerBar* CChildFrame::GetLeftRuler() { return left_ruler_; }

void CChildFrame::Layout() {
  const int w = width();
  const int h = height();
  const int t = kRulerThickness;
  const bool left = left_ruler_ && !left_ruler_->isHidden();
  const bool top = top_ruler_ && !top_ruler_->isHidden();
  const int x0 = left ? t : 0;
  const int y0 = top ? t : 0;
  if (left_ruler_) left_ruler_->setGeometry(0, 0, t, h);
  if (top_ruler_) top_ruler_->setGeometry(x0, 0, std::max(w - x0, 0), t);
  work_window_->setGeometry(x0, y0, std::max(w - x0, 0), std::max(h - y0, 0));
}

void CChildFrame::resizeEvent(QResizeEvent*) { Layout(); }

bool CChildFrame::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == top_ruler_ || watched == left_ruler_) &&
      (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)) {
    Layout();
  }
  return QWidget::eventFilter(watched, event);
}
