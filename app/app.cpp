#include "app/app.h"

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QTimer>

#include "app/main_frame.h"
#include "platform/dialog.h"
#include "platform/prompts.h"
#include "platform/qt/qt_prompts.h"
#include "platform/qt/qt_translation.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

// How long the window may settle on the screen before its picture is taken.
constexpr int kScreenshotDelayMs = 500;

}  // namespace

CZvAamaApp::CZvAamaApp() = default;

CZvAamaApp::~CZvAamaApp() {
  // The window goes first: it empties the style while the prompts are still
  // installed and Qt still runs.
  frame_.reset();
  if (prompts_installed_) SetPrompts(previous_prompts_);
}

BOOL CZvAamaApp::InitInstance(int& argc, char** argv) {
  RegisterDialogTemplates();
  if (QApplication::instance() == nullptr) qt_ = std::make_unique<QApplication>(argc, argv);
  // Qt's own buttons and dialogs speak Chinese; without the translation
  // file they stay English and the program runs all the same.
  InstallQtTranslation(*QApplication::instance());
  prompts_ = std::make_unique<QtPrompts>();
  previous_prompts_ = SetPrompts(prompts_.get());
  prompts_installed_ = true;

  frame_ = std::make_unique<CMainFrame>();
  frame_->show();

  const char* screenshot = std::getenv("ZVAAMA_SCREENSHOT");
  if (screenshot != nullptr && screenshot[0] != '\0') {
    const QString path = QString::fromLocal8Bit(screenshot);
    QTimer::singleShot(kScreenshotDelayMs, frame_.get(), [this, path] { TakeScreenshotAndClose(path); });
  }
  return TRUE;
}

int CZvAamaApp::Run() {
  const int code = QApplication::exec();
  return code != 0 ? code : exit_code_;
}

void CZvAamaApp::TakeScreenshotAndClose(const QString& path) {
  const QImage picture = frame_->grab().toImage();
  if (picture.isNull() || !picture.save(path, "PNG")) {
    std::fprintf(stderr, "zvaama: could not save the window picture to %s\n", path.toLocal8Bit().constData());
    exit_code_ = 1;
  }
  frame_->close();
}

void CZvAamaApp::OnAppAbout() {
  CDialog about(IDD_ABOUTBOX);
  about.DoModal();
}
