// Qt's own texts in Chinese once start-up has installed Qt's translation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

#include "platform/qt/qt_translation.h"

namespace {

// Takes the translation out again so that the other tests see Qt's texts as
// before.
void RemoveQtTranslation() {
  for (QTranslator* t : qApp->findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(t);
    delete t;
  }
}

TEST(QtTranslationTest, MessageBoxButtonsAndDialogTextsSpeakChinese) {
  const QString file = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm");
  ASSERT_TRUE(QFileInfo::exists(file)) << "package qt6-translations-l10n missing: " << file.toStdString();
  ASSERT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));

  EXPECT_TRUE(InstallQtTranslation(*qApp));
  EXPECT_TRUE(InstallQtTranslation(*qApp));  // a second call keeps the one translator
  EXPECT_EQ(qApp->findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);

  // The message box's standard buttons take their texts from this context.
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), QString::fromUtf8("确定"));
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
  RemoveQtTranslation();
}

}  // namespace
