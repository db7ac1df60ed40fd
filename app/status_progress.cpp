#include "app/status_progress.h"

#include <algorithm>

#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>

namespace {

class StatusProgressBar : public IProgressBar {
 public:
  explicit StatusProgressBar(QStatusBar* statusBar) : status_bar_(statusBar) {
    const QRect client = statusBar->rect();
    QRect place(5, 4, 0, client.height() - 8);
    place.setRight(client.width() < 160 ? client.width() - 5 - 1 : 155 - 1);
    bar_ = new QProgressBar(statusBar);
    bar_->setTextVisible(false);
    bar_->setGeometry(place);
    bar_->show();
  }
  ~StatusProgressBar() override {
    delete bar_.data();
    if (status_bar_) status_bar_->repaint();
  }

  void SetRange(int lower, int upper) override {
    if (bar_) bar_->setRange(lower, upper);
  }
  void SetPos(int position) override {
    if (!bar_) return;
    bar_->setValue(position);
    // Painted now, since the task that moves the bar keeps the event loop
    // waiting; but only when the bar's fill has moved by a pixel: a long
    // read moves it a thousand times, and each paint of the status bar
    // costs more than the reading between two positions.
    const int fill = FillWidth();
    if (fill == painted_fill_) return;
    painted_fill_ = fill;
    if (status_bar_) status_bar_->repaint();
  }

 private:
  // The pixels of the bar's width its position fills.
  int FillWidth() const {
    const long long span = static_cast<long long>(bar_->maximum()) - bar_->minimum();
    if (span <= 0) return 0;
    const long long done = std::clamp<long long>(static_cast<long long>(bar_->value()) - bar_->minimum(), 0, span);
    return static_cast<int>(done * bar_->width() / span);
  }

  int painted_fill_ = -1;
  QPointer<QStatusBar> status_bar_;
  QPointer<QProgressBar> bar_;
};

}  // namespace

CStatusProgressHost::CStatusProgressHost(QStatusBar* statusBar)
    : status_bar_(statusBar), previous_(SetProgressHost(this)) {}

CStatusProgressHost::~CStatusProgressHost() { SetProgressHost(previous_); }

std::unique_ptr<IProgressBar> CStatusProgressHost::CreateStatusProgress() {
  if (!status_bar_) return nullptr;
  return std::make_unique<StatusProgressBar>(status_bar_);
}
