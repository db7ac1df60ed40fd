// The folder dialog that confirms only folders its caller can use (the Gerber
// storage folders): title line, status line and OK on screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <QDir>
#include <QLabel>
#include <QPushButton>

#include "platform/prompts.h"
#include "platform/qt/qt_prompts.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(QtAcceptingFolderDialog, OkFollowsTheSelectionAndTheStatusLineShowsItShortened) {
  TempFolder folder("zv_qt_accept");
  const std::string store = folder / "store";
  const std::string plain = folder / "plain";
  const std::string deep = folder / "a-rather-long-folder-name-for-the-status-line";
  for (const std::string& f : {store, plain, deep}) std::filesystem::create_directory(f);
  std::vector<CString> asked;
  auto is_store = [&asked](const CString& path) {
    asked.push_back(path);
    return path.Right(6) == "/store";
  };

  QtAcceptingFolderDialog dialog(nullptr, "Current Selection", CString(plain), is_store);
  ASSERT_NE(dialog.TitleLine(), nullptr);
  ASSERT_NE(dialog.OkButton(), nullptr);
  EXPECT_EQ(dialog.TitleLine()->text(), QString("Current Selection"));
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.back(), CString(plain)) << "the initial folder is judged at once, without a separator";
  EXPECT_EQ(dialog.StatusLine()->text().toStdString(), ShortenStatusPath(CString(plain + "/")).str());
  EXPECT_FALSE(dialog.OkButton()->isEnabled());
  // The file dialog enabling its button on its own does not offer the folder.
  dialog.OkButton()->setEnabled(true);
  EXPECT_FALSE(dialog.OkButton()->isEnabled());

  emit dialog.currentChanged(QString::fromStdString(store));
  EXPECT_TRUE(dialog.OkButton()->isEnabled());
  EXPECT_EQ(asked.back(), CString(store));

  emit dialog.directoryEntered(QString::fromStdString(deep));
  EXPECT_FALSE(dialog.OkButton()->isEnabled());
  const QString shown = dialog.StatusLine()->text();
  EXPECT_EQ(shown.size(), 35 + 3);
  EXPECT_TRUE(shown.endsWith("..."));
  EXPECT_EQ(shown.left(35).toStdString(), deep.substr(0, 35));

  // A folder that is not acceptable is never confirmed.
  dialog.setDirectory(QString::fromStdString(plain));
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
}

}  // namespace
