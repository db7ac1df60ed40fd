#include "app/render_throttle.h"

#include <utility>

#include <QTimer>

CRenderThrottle::CRenderThrottle(QObject* owner, int intervalMs, std::function<void()> render)
    : timer_(new QTimer(owner)) {
  timer_->setSingleShot(true);
  timer_->setInterval(intervalMs);
  QObject::connect(timer_, &QTimer::timeout, owner, [this, render = std::move(render)] {
    if (pending_) render();
  });
}

void CRenderThrottle::Request() {
  if (pending_) return;
  pending_ = true;
  timer_->start();
}

void CRenderThrottle::Served() {
  pending_ = false;
  timer_->stop();
}
