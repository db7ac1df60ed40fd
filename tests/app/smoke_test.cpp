// The built program in a real window: under Xvfb it starts, shows its main
// window (whose picture it saves), closes itself and writes "kov.dat" back.
// A file named on its command line changes none of that.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include "tests/support/file_bytes.h"
#include "tests/support/temp_folder.h"

namespace {

#ifdef ZVAAMA_EXECUTABLE

TEST(ProgramSmokeTest, StartsShowsItsWindowAndClosesCleanly) {
  const QString xvfb = QStandardPaths::findExecutable("xvfb-run");
  if (xvfb.isEmpty()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb): no real window to try";

  const TempFolder folder("zvaama-smoke");
  ASSERT_FALSE(folder.path().empty());
  const std::string home = folder.path();
  const std::string runtime = home + "/runtime";
  std::filesystem::create_directory(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);

  // A settings file from an earlier run, with a font of its own: it must come
  // back unchanged.
  std::vector<char> settings(92, 0);
  settings[0] = static_cast<char>(0xB0);  // height -80
  for (int i = 1; i < 4; ++i) settings[i] = static_cast<char>(0xFF);
  settings[16] = static_cast<char>(0x90);  // weight 400
  settings[17] = 0x01;
  settings[60] = 0x01;  // all pieces
  settings[76] = 0x01;  // grade amounts to the rule file
  settings[84] = 0x01;  // grade points
  const std::string face = "\xCB\xCE\xCC\xE5";
  std::copy(face.begin(), face.end(), settings.begin() + 28);
  WriteFile(home + "/kov.dat", settings);

  const std::string screenshot = home + "/window.png";
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("QT_QPA_PLATFORM");  // a real X server this time
  env.insert("ZVAAMA_HOME", QString::fromStdString(home));
  env.insert("ZVAAMA_SCREENSHOT", QString::fromStdString(screenshot));
  env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime));
  QProcess program;
  program.setProcessEnvironment(env);
  program.setProcessChannelMode(QProcess::MergedChannels);
  // A file named on the command line is no File command: the program starts
  // as without it.
  program.start(xvfb, {"-a", ZVAAMA_EXECUTABLE, QString::fromStdString(home + "/kov.dat")});
  ASSERT_TRUE(program.waitForStarted(10000));
  const bool finished = program.waitForFinished(50000);
  if (!finished) program.kill();
  const std::string output = program.readAll().toStdString();
  ASSERT_TRUE(finished) << output;
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << output;
  EXPECT_EQ(program.exitCode(), 0) << output;

  const QImage picture(QString::fromStdString(screenshot));
  ASSERT_FALSE(picture.isNull()) << output;
  EXPECT_GE(picture.width(), 300);
  EXPECT_GE(picture.height(), 200);
  EXPECT_EQ(ReadFile<std::vector<char>>(home + "/kov.dat"), settings);
}

#else

TEST(ProgramSmokeTest, StartsShowsItsWindowAndClosesCleanly) {
  GTEST_SKIP() << "the test program was built without the path of zvaama";
}

#endif

}  // namespace
