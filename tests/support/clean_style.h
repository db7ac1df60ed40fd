// The shared state every test that touches the style starts and ends with:
// an empty style, no selection and every setting at its default, so that no
// test sees what another left behind.
#pragma once

#include <gtest/gtest.h>

#include "model/selection.h"
#include "model/settings.h"
#include "model/style.h"

// Empties g_Style, forgets the selection and restores the default settings.
inline void ResetStyleAndSettings() {
  ClearStyle();
  g_Selection.Reset();
  RestoreDefaultSettings();
}

// As ResetStyleAndSettings, and then once more the piece-text settings a
// drawing of a piece reads, with the initial font, which the defaults leave
// alone: for the tests that draw pieces.
inline void ResetStyleAndDrawingSettings() {
  ResetStyleAndSettings();
  g_PtnDisplayFlag = 1;
  g_PtnText1 = "&T &P&N";
  g_PtnText2 = "&M &U";
  g_DefaultFontInitial = DefaultFontAtStartUp();
}

// A fixture that resets the style and settings before and after each test.
class CleanStyleTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetStyleAndSettings(); }
  void TearDown() override { ResetStyleAndSettings(); }
};
