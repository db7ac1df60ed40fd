// Fixture of the main-window tests: a private program folder (ZVAAMA_HOME)
// for "kov.dat", scripted prompts, and an empty style with default settings
// before and after every test; plus builders of small graded pieces, added to
// the style and to the list pane as a reader adds them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>

#include "app/main_frame.h"
#include "app/pattern_list.h"
#include "model/items/grain_line_item.h"
#include "model/items/outline_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "tests/support/clean_style.h"
#include "tests/support/piece_items.h"
#include "tests/support/scoped_home.h"
#include "tests/support/temp_folder.h"

class MainFrameFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(home_folder_.path().empty());
    home_ = home_folder_.path();
    use_home_.emplace(home_);
    ClearStyle();
    g_Selection.Reset();
  }

  void TearDown() override {
    frame_.reset();
    ResetStyleAndSettings();
    use_home_.reset();
  }

  // The main window, built now (reading "kov.dat" from the private folder),
  // at a fixed size and laid out as on the screen.
  CMainFrame& Frame() {
    if (!frame_) {
      frame_ = std::make_unique<CMainFrame>();
      frame_->resize(900, 640);
      frame_->show();
      QApplication::processEvents();
    }
    return *frame_;
  }

  std::string HomeFile(const char* name) const { return home_ + "/" + name; }

  // Adds `count` visible sizes named "S0", "S1", ... in black.
  static void AddSizes(int count) {
    for (int i = 0; i < count; ++i) {
      CString name;
      name.Format("S%d", i);
      g_Style.AddSize(new CSizeRecord(name, i, 0, 0, 1));
    }
  }

  // A graded vertex: the main node at (x, y) and one copy per further size,
  // each size `grade` units further out from (0, 0) along x and y.
  static void AddGraded(CPieceItem* item, int x, int y, uint32_t kind, int grade) {
    item->AddTailVertex(x, y, kind);
    for (int s = 1; s < g_Style.SizeCount; ++s) {
      item->AddTailVertex(x + (x >= 0 ? grade : -grade) * s, y + (y >= 0 ? grade : -grade) * s, 64);
    }
  }

  // A piece whose outline runs through `corners` (model units, corners of
  // kind 0; curve points of kind 1 where `curved` says so), with a vertical
  // grain line through its middle; its box is the outline's extent over
  // every size. Added to the style and, when there is one, the list pane.
  static CPieceRecord* AddPiece(const char* name, const std::vector<std::pair<int, int>>& corners,
                                const std::vector<bool>& curved = {}, const char* category = "A") {
    auto* piece = new CPieceRecord();
    piece->PieceName = name;
    piece->Category = category;
    auto* outline = new CPieceItem0(nullptr, nullptr);
    for (size_t i = 0; i < corners.size(); ++i) {
      const bool smooth = i < curved.size() && curved[i];
      AddGraded(outline, corners[i].first, corners[i].second, smooth ? 1u : 0u, 40);
    }
    outline->SmoothCurves();
    piece->AddItem(outline);
    int minX = 0x7FFFFFFF, maxX = static_cast<int>(0x80000000u), minY = 0x7FFFFFFF, maxY = maxX;
    outline->GetExtent(1, &minX, &maxX, &minY, &maxY);
    auto* grain = new CPieceItem1(nullptr, nullptr);
    const int midX = minX + (maxX - minX) / 2;
    AddGraded(grain, midX, minY + (maxY - minY) / 5, 0, 0);
    AddGraded(grain, midX, maxY - (maxY - minY) / 5, 0, 0);
    piece->AddItem(grain);
    piece->BoxMinX = minX;
    piece->BoxMaxX = maxX;
    piece->BoxMinY = minY;
    piece->BoxMaxY = maxY;
    // The rulers count from the outline's first vertex, as the readers set it.
    if (!corners.empty()) {
      piece->AuxX = corners[0].first;
      piece->AuxY = corners[0].second;
    }
    g_Style.AddPiece(piece);
    if (g_pListPane) g_pListPane->AddPiece(piece);
    return piece;
  }

  // A rectangle w x h with its top-left corner at (x, y).
  static CPieceRecord* AddRectPiece(const char* name, int x, int y, int w, int h, const char* category = "A") {
    return AddPiece(name, {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, {}, category);
  }

  ScriptedPrompts prompts_;
  ScopedPrompts scoped_prompts_{&prompts_};
  TempFolder home_folder_{"zvaama-frame"};  // removed with everything in it after the test
  std::unique_ptr<CMainFrame> frame_;
  std::string home_;

 private:
  std::optional<ScopedProgramHome> use_home_;
};
