#include "app/status_progress.h"

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
    // Painted now: the task that moves the bar keeps the event loop waiting.
    if (status_bar_) status_bar_->repaint();
  }

 private:
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
