// A widget's picture rendered at most once per interval: a render asked for
// while one is waiting joins it, and the waiting render is done when the
// interval ends, or sooner when the picture is needed (the widget is painted
// or its picture read). Many changes in a row (a long list of pieces added,
// the view moved again and again) so cost one render.
#pragma once

#include <functional>

class QObject;
class QTimer;

class CRenderThrottle {
 public:
  // `render` is called when the interval ends with a render waiting; it is
  // expected to call Served. `owner` owns the timer.
  CRenderThrottle(QObject* owner, int intervalMs, std::function<void()> render);
  CRenderThrottle(const CRenderThrottle&) = delete;
  CRenderThrottle& operator=(const CRenderThrottle&) = delete;

  // Asks for a render: the first request starts the interval, later ones
  // join the render already waiting.
  void Request();
  // Whether a render is waiting.
  bool Pending() const { return pending_; }
  // The render was done: nothing waits any more.
  void Served();

 private:
  QTimer* timer_ = nullptr;  // child of the owner
  bool pending_ = false;
};
