// Test programs without Qt. The dialogs find the program's templates as the
// program's own start-up registers them.
#include <gtest/gtest.h>

#include "res/resources.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  RegisterDialogTemplates();
  return RUN_ALL_TESTS();
}
