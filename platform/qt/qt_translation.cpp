#include "platform/qt/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace {

// Marks the translator so that a second call finds it installed.
constexpr char kTranslatorName[] = "zv_qt_translation";

}  // namespace

bool InstallQtTranslation(QCoreApplication& app) {
  const QString name = QString::fromLatin1(kTranslatorName);
  if (app.findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly) != nullptr) return true;
  auto* translator = new QTranslator(&app);
  translator->setObjectName(name);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  return true;
}
