// The main window's static splitter: two rows, the pattern list pane above
// and the child frame with the work window below. The upper row keeps the
// height the list pane asks for, and the bar between the rows cannot be
// dragged lower than that height plus 5 pixels (dragging upwards is free).
#pragma once

#include <QSplitter>

class CmySplitter : public QSplitter {
 public:
  explicit CmySplitter(QWidget* parent = nullptr);

  // The lowest bar position := height + 5; returns it.
  int SetMaxBarPos(int height);
  // The height the lowest bar position was set for.
  int GetMaxBarPos() const { return max_bar_pos_ - 5; }
  // The lowest position (top of the bar, in pixels) a drag may reach.
  int LowestBarPos() const { return max_bar_pos_; }

  // Gives a row its height (the other row takes the rest); `minimum` is the
  // row's smallest height.
  void SetRowInfo(int row, int height, int minimum);
  // Lays the rows out again after a change of row heights.
  void RecalcLayout();
  // Where a drag of the bar to `pos` ends: never below the lowest position.
  int ClampBarPos(int pos) const { return pos >= max_bar_pos_ ? max_bar_pos_ : pos; }

 protected:
  QSplitterHandle* createHandle() override;

 private:
  int max_bar_pos_ = 62 + 5;
  int row_height_ = 62;
};
