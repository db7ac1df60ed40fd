// One of the two rulers of the child frame (app/child_frame.h): along the top
// or the left edge of the work window, 20 pixels thick, showing work-area
// coordinates in the display unit (app/ruler_scale.h). The ruler keeps its
// own canvas and repaints it whenever it is refreshed; the cursor mark is
// drawn on it in XOR at any time.
//
// The ruler reads the work window it belongs to: its scale when DrawScale
// runs, its origin and extent when it repaints, and the current piece.
#pragma once

#include <QImage>
#include <QWidget>

#include "app/render_throttle.h"
#include "app/ruler_scale.h"
#include "model/shell_services.h"

class IWorkWindow;

// The longest a request waits for the ruler to be drawn again.
inline constexpr int kRulerRenderIntervalMs = 20;

class CRulerBar : public QWidget, public IRulerBar {
 public:
  // `view` is the work window the ruler measures (null: g_pWorkWindow);
  // it must outlive the ruler.
  CRulerBar(RulerOrientation orientation, IWorkWindow* view, QWidget* parent = nullptr);
  ~CRulerBar() override;

  // Takes the work window's scale (an idle scale while it has none) and
  // recomputes the tick intervals for the display unit, then repaints.
  void DrawScale();
  // Repaints the ruler at once.
  void Refresh() override;
  // Moves the cursor mark to pixel x (top ruler) or y (left ruler) of the work
  // window: the old mark is erased and the new one drawn, in XOR.
  void SetMark(int x, int y);
  // Hides a visible ruler, shows a hidden one.
  void ToggleVisible();

  RulerOrientation orientation() const { return orientation_; }
  const RulerScale& scale() const { return scale_; }
  // The view scale the intervals were computed for.
  double viewScale() const { return view_scale_; }
  // The ruler's picture as last drawn.
  const QImage& canvas() const;
  // What the ruler maps now: its scale, the work window's origin, and the
  // reference point (the current piece's, else the extent's top-left corner).
  RulerView CurrentView() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // New system colours: the ruler is drawn again in them.
  void changeEvent(QEvent* event) override;

 private:
  IWorkWindow* View() const;
  RulerColors Colors() const;
  // Asks for the ruler to be drawn again: served once for all the requests
  // of the next kRulerRenderIntervalMs, or sooner when it is painted or read,
  // so that a run of view changes (picking many pieces) does not redraw it
  // for each one.
  void Render();
  // Draws the whole ruler into the canvas.
  void RenderCanvas();

  RulerOrientation orientation_;
  IWorkWindow* view_;
  QImage canvas_;
  RulerScale scale_;
  double view_scale_ = kRulerIdleScale;
  int32_t mark_x_ = kNoRulerMark;
  int32_t mark_y_ = kNoRulerMark;
  CRenderThrottle render_;
};
