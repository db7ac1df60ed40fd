#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

// The entries of a pop-up as command ids, 0 for a separator.
std::vector<int> Entries(const MenuItem& popup) {
  std::vector<int> ids;
  for (const MenuItem& item : popup.children) ids.push_back(item.id);
  return ids;
}

const Accelerator* FindKey(int key, bool ctrl, bool shift, bool alt) {
  for (const Accelerator& a : *FindAccelerators(IDR_MAINFRAME)) {
    if (a.key == key && a.ctrl == ctrl && a.shift == shift && a.alt == alt) return &a;
  }
  return nullptr;
}

TEST(MenuTest, MainMenuHoldsTheCommandsInOrder) {
  const std::vector<MenuItem>* menu = FindMenu(IDR_MAINFRAME);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->size(), 3u);
  EXPECT_STREQ((*menu)[0].text, "文件(&F)");
  EXPECT_STREQ((*menu)[1].text, "查看(&V)");
  EXPECT_STREQ((*menu)[2].text, "帮助(&H)");
  EXPECT_EQ(Entries((*menu)[0]), (std::vector<int>{32778, 0, 32772, 32774, 32776, 32783, 32785, 0, 32771, 32773,
                                                   32775, 0, 57616, 0, 57665}));
  EXPECT_EQ(Entries((*menu)[1]), (std::vector<int>{59392, 59393, 0, 32780, 32782, 0, 32786}));
  EXPECT_EQ(Entries((*menu)[2]), (std::vector<int>{57664}));
  for (const MenuItem& popup : *menu) {
    EXPECT_EQ(popup.id, 0);
    for (const MenuItem& item : popup.children) {
      SCOPED_TRACE(item.id);
      EXPECT_TRUE(item.children.empty());
      EXPECT_EQ(item.id == 0, std::string_view(item.text).empty());
    }
  }
  EXPECT_STREQ((*menu)[0].children[2].text, "打开泽维文档(*.ptn,*.pds,*.pdf)\tCtrl+O");
  EXPECT_STREQ((*menu)[1].children[4].text, "移去一个衣片(&R)");
  EXPECT_STREQ((*menu)[2].children[0].text, "关于 ZV-KOV(&A)...");
}

TEST(MenuTest, EveryProgramCommandHasPromptAndTooltip) {
  for (const MenuItem& popup : *FindMenu(IDR_MAINFRAME)) {
    for (const MenuItem& item : popup.children) {
      if (item.id == 0 || item.id >= 0xE000) continue;  // separators and framework commands
      SCOPED_TRACE(item.text);
      CString prompt = LoadString(static_cast<UINT>(item.id));
      int newline = prompt.Find('\n');
      EXPECT_GT(newline, 0);
      EXPECT_EQ(prompt.Find('\n', newline + 1), -1);
    }
  }
}

TEST(AcceleratorTest, KeysShownInTheMenuRunThoseEntries) {
  // "\tCtrl+N" in a menu text promises that Ctrl+N runs that very entry.
  int checked = 0;
  for (const MenuItem& popup : *FindMenu(IDR_MAINFRAME)) {
    for (const MenuItem& item : popup.children) {
      std::string_view text = item.text;
      size_t hint = text.find("\tCtrl+");
      if (hint == std::string_view::npos) continue;
      ASSERT_EQ(text.size(), hint + 7) << text;
      SCOPED_TRACE(text);
      const Accelerator* a = FindKey(text.back(), true, false, false);
      ASSERT_NE(a, nullptr);
      EXPECT_EQ(a->command, item.id);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 9);
}

TEST(AcceleratorTest, KeysReachTheirCommands) {
  struct Case {
    const char* name;
    int key;
    bool ctrl, shift, alt;
    int command;
  };
  const Case kCases[] = {
      {"Ctrl+N", 'N', true, false, false, ID_FILE_NEW_STYLE},
      {"Ctrl+O", 'O', true, false, false, ID_FILE_OPEN_PTN},
      {"Ctrl+S", 'S', true, false, false, ID_FILE_SAVE_PTN},
      {"Ctrl+G", 'G', true, false, false, 32783},
      {"keypad +", vk::kAdd, false, false, false, 32779},
      {"keypad -", vk::kSubtract, false, false, false, 32781},
      {"Ctrl+P", 'P', true, false, false, 0xE107},
      {"Ctrl+Insert", vk::kInsert, true, false, false, 0xE122},
      {"Shift+Insert", vk::kInsert, false, true, false, 0xE125},
      {"Shift+Delete", vk::kDelete, false, true, false, 0xE123},
      {"Alt+Backspace", vk::kBack, false, false, true, 0xE12B},
      {"F1", vk::kF1, false, false, false, 0xE146},
      {"Shift+F1", vk::kF1, false, true, false, 0xE145},
      {"F6", vk::kF1 + 5, false, false, false, 0xE150},
      {"Shift+F6", vk::kF1 + 5, false, true, false, 0xE151},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const Accelerator* a = FindKey(c.key, c.ctrl, c.shift, c.alt);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->command, c.command);
  }
}

TEST(AcceleratorTest, NoKeyIsBoundTwiceOrToTheEmptyDocumentCommands) {
  const std::vector<Accelerator>& table = *FindAccelerators(IDR_MAINFRAME);
  EXPECT_EQ(table.size(), 24u);
  for (size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NE(table[i].command, ID_FILE_NEW);
    EXPECT_NE(table[i].command, ID_FILE_OPEN);
    EXPECT_NE(table[i].command, 0xE103);  // the framework's document save
    for (size_t j = i + 1; j < table.size(); ++j) {
      EXPECT_FALSE(table[i].key == table[j].key && table[i].ctrl == table[j].ctrl &&
                   table[i].shift == table[j].shift && table[i].alt == table[j].alt);
    }
  }
}

TEST(ToolbarTest, ButtonsInOrder) {
  const std::vector<int>* buttons = FindToolbar(IDR_MAINFRAME);
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(*buttons, (std::vector<int>{32778, 0, 32772, 32776, 32783, 32785, 0, 32771, 32775, 0, 32780, 32782,
                                        32786, 57664}));
}

TEST(MenuTest, OtherIdsHaveNoMenuKeysOrToolbar) {
  for (int id : {0, 100, 129, 132}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(FindMenu(id), nullptr);
    EXPECT_EQ(FindAccelerators(id), nullptr);
    EXPECT_EQ(FindToolbar(id), nullptr);
  }
}

}  // namespace
