#include "app/splitter.h"

#include <algorithm>

#include <QMouseEvent>

namespace {

// The bar between the two rows: a drag follows the mouse but stops at the
// splitter's lowest position.
class BarHandle : public QSplitterHandle {
 public:
  BarHandle(Qt::Orientation orientation, CmySplitter* splitter)
      : QSplitterHandle(orientation, splitter), splitter_(splitter) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) grab_offset_ = event->position().toPoint().y();
    QSplitterHandle::mousePressEvent(event);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const int y = mapTo(splitter_, event->position().toPoint()).y() - grab_offset_;
    moveSplitter(splitter_->ClampBarPos(y));
  }

 private:
  CmySplitter* splitter_;
  int grab_offset_ = 0;
};

}  // namespace

CmySplitter::CmySplitter(QWidget* parent) : QSplitter(Qt::Vertical, parent) {
  setChildrenCollapsible(false);
  setHandleWidth(5);
}

int CmySplitter::SetMaxBarPos(int height) {
  max_bar_pos_ = height + 5;
  return max_bar_pos_;
}

void CmySplitter::SetRowInfo(int row, int height, int minimum) {
  if (row != 0 && row != 1) return;
  if (row == 0) row_height_ = height;
  if (QWidget* w = widget(row)) w->setMinimumHeight(minimum > 0 ? minimum : 0);
}

void CmySplitter::RecalcLayout() {
  if (count() < 2) return;
  // The lower row takes every change of the window's height.
  setStretchFactor(0, 0);
  setStretchFactor(1, 1);
  const int total = height() - handleWidth();
  setSizes({row_height_, std::max(total - row_height_, 0)});
}

QSplitterHandle* CmySplitter::createHandle() { return new BarHandle(orientation(), this); }
