// Test programs that touch Qt. A Qt GUI program with neither a platform nor a
// display aborts, and CTest lists the cases by running the program before any
// test environment applies, so the default is chosen here. The dialogs find
// the program's templates as the program's own start-up registers them.
#include <cstdlib>

#include <QApplication>
#include <gtest/gtest.h>

#include "res/resources.h"

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY")) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  RegisterDialogTemplates();
  return RUN_ALL_TESTS();
}
