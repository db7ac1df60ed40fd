#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

const ControlTemplate* FindControl(const DialogTemplate& d, int id) {
  for (const ControlTemplate& c : d.controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

// The buttons of the radio group that starts at `first`, in order.
std::vector<int> RadioGroup(const DialogTemplate& d, int first) {
  std::vector<int> ids;
  auto it = std::find_if(d.controls.begin(), d.controls.end(), [first](const ControlTemplate& c) { return c.id == first; });
  if (it == d.controls.end() || !it->group_start) return ids;
  do {
    ids.push_back(it->id);
    ++it;
  } while (it != d.controls.end() && it->kind == ControlKind::kRadioButton && !it->group_start);
  return ids;
}

// The area a control covers on screen when closed: a combo box's height
// includes its drop-down list.
int VisibleHeight(const ControlTemplate& c) {
  bool combo = c.kind == ControlKind::kComboDropDown || c.kind == ControlKind::kComboDropList;
  return combo ? std::min(c.cy, 14) : c.cy;
}

bool Overlap(const ControlTemplate& a, const ControlTemplate& b) {
  return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + VisibleHeight(b) && b.y < a.y + VisibleHeight(a);
}

TEST(DialogTemplateTest, EveryTemplateIsFoundAndWellFormed) {
  const std::vector<int>& ids = AllDialogTemplateIds();
  EXPECT_EQ(std::set<int>(ids.begin(), ids.end()),
            (std::set<int>{100, 132, 133, 134, 135, 137, 175, 308, 329, 368, 510}));
  for (int id : ids) {
    const DialogTemplate* d = FindDialogTemplate(id);
    ASSERT_NE(d, nullptr) << id;
    SCOPED_TRACE(id);
    EXPECT_EQ(d->id, id);
    std::set<int> seen;
    for (const ControlTemplate& c : d->controls) {
      SCOPED_TRACE(c.id);
      if (c.id != IDC_STATIC) {
        EXPECT_TRUE(seen.insert(c.id).second) << "duplicate control id";
      }
      EXPECT_GE(c.x, 0);
      EXPECT_GE(c.y, 0);
      EXPECT_GT(c.cx, 0);
      EXPECT_GT(c.cy, 0);
      EXPECT_LE(c.x + c.cx, d->cx);
      EXPECT_LE(c.y + VisibleHeight(c), d->cy);
      EXPECT_TRUE(c.items.empty() || c.kind == ControlKind::kComboDropDown || c.kind == ControlKind::kComboDropList);
    }
    // Nothing but group boxes may lie on top of another control.
    for (size_t i = 0; i < d->controls.size(); ++i) {
      for (size_t j = i + 1; j < d->controls.size(); ++j) {
        const ControlTemplate& a = d->controls[i];
        const ControlTemplate& b = d->controls[j];
        if (a.kind == ControlKind::kGroupBox || b.kind == ControlKind::kGroupBox) continue;
        EXPECT_FALSE(Overlap(a, b)) << a.id << " overlaps " << b.id;
      }
    }
  }
  EXPECT_EQ(FindDialogTemplate(0), nullptr);
  EXPECT_EQ(FindDialogTemplate(128), nullptr);
  EXPECT_EQ(FindDialogTemplate(IDC_STATIC), nullptr);
}

TEST(DialogTemplateTest, CaptionsAndButtons) {
  struct Case {
    int id;
    const char* caption;
    const char* ok;      // null: no OK button
    const char* cancel;  // null: no Cancel button
  };
  const Case kCases[] = {
      {100, "关于 ZV-KOV", "确定", nullptr},
      {132, "输出为AAMA格式(*.dxf,*.rul)文件", "确定(&O)", "取消(&C)"},
      {133, "请选择格伯款式的数据目录", "确定", "取消"},
      {134, "打开格伯*.tmp文件", "确定(&O)", "取消(&C)"},
      {135, "选择格伯文件类型", "确定(&O)", "取消(&C)"},
      {137, "打开一个或多个力克(Lectra)纸样文件(*.IBA)", "确定(&O)", "取消(&C)"},
      {175, "", nullptr, nullptr},
      {308, "打开DXF格式文件", "确   定(&O)", "取   消(&C)"},
      {329, "输出为DXF格式文件", "确定", "取消"},
      {368, "打开AAMA格式(*.dxf,*.rul)文件", "确定(&O)", "取消(&C)"},
      {510, "", nullptr, nullptr},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.id);
    const DialogTemplate* d = FindDialogTemplate(c.id);
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->caption, c.caption);
    const ControlTemplate* ok = FindControl(*d, 1);
    const ControlTemplate* cancel = FindControl(*d, 2);
    ASSERT_EQ(ok != nullptr, c.ok != nullptr);
    ASSERT_EQ(cancel != nullptr, c.cancel != nullptr);
    if (ok) {
      EXPECT_STREQ(ok->text, c.ok);
      EXPECT_EQ(ok->kind, ControlKind::kDefPushButton);
    }
    if (cancel) {
      EXPECT_STREQ(cancel->text, c.cancel);
      EXPECT_EQ(cancel->kind, ControlKind::kPushButton);
    }
    int defaults = 0;
    for (const ControlTemplate& control : d->controls) defaults += control.kind == ControlKind::kDefPushButton;
    EXPECT_EQ(defaults, ok ? 1 : 0);
  }
}

TEST(DialogTemplateTest, RadioGroupsCountTheirButtonsInOrder) {
  struct Case {
    int dialog;
    std::vector<int> group;  // the first button starts the group; the order gives the values 0, 1, ...
  };
  const Case kCases[] = {
      {132, {1205, 1521}},
      {132, {1002, 1003}},
      {132, {1010, 1011, 1012, 1034}},
      {132, {1013, 1014}},
      {308, {1479, 1008, 1481}},
      {308, {1482, 1483}},
      {329, {1205, 1521}},
      {329, {1523, 1522}},
      {135, {1024, 1025, 1041}},
  };
  int radios_in_groups = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.group.front());
    const DialogTemplate* d = FindDialogTemplate(c.dialog);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(RadioGroup(*d, c.group.front()), c.group);
    radios_in_groups += static_cast<int>(c.group.size());
  }
  int radios = 0;
  for (int id : AllDialogTemplateIds()) {
    for (const ControlTemplate& c : FindDialogTemplate(id)->controls) radios += c.kind == ControlKind::kRadioButton;
  }
  EXPECT_EQ(radios, radios_in_groups);
}

TEST(DialogTemplateTest, ControlsHaveTheirKindsAndTexts) {
  struct Case {
    int dialog;
    int id;
    ControlKind kind;
    const char* text;
  };
  const Case kCases[] = {
      {132, 1014, ControlKind::kRadioButton, "全部输出为英文字符"},
      {132, 1031, ControlKind::kCheckBox, "放码量输出到*.rul文件,基码输出到*.dxf文件中"},
      {132, 1037, ControlKind::kCheckBox, "纸样说明输出为纸样名"},
      {133, 1004, ControlKind::kEdit, ""},
      {133, 1003, ControlKind::kPushButton, "浏览"},
      {133, 1002, ControlKind::kListBox, ""},
      {134, 1015, ControlKind::kEdit, ""},
      {134, 1017, ControlKind::kCheckBox, "创建新款式"},
      {134, 1018, ControlKind::kEdit, ""},
      {134, 1021, ControlKind::kPushButton, "全部纸样"},
      {135, 1025, ControlKind::kRadioButton, "tmp压缩文件"},
      {137, 1015, ControlKind::kEdit, ""},
      {137, 1038, ControlKind::kListBox, ""},
      {137, 1021, ControlKind::kPushButton, "全部纸样"},
      {175, 1350, ControlKind::kListBox, ""},
      {308, 1481, ControlKind::kRadioButton, "英寸"},
      {329, 1034, ControlKind::kCheckBox, "边线外凸剪口"},
      {329, 1526, ControlKind::kCheckBox, "增加控制点"},
      {510, 1387, ControlKind::kPicture, ""},
      {510, 1388, ControlKind::kCheckBox, "显示款式图(&P)"},
      {510, 1684, ControlKind::kStatic, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.dialog << "/" << c.id);
    const ControlTemplate* control = FindControl(*FindDialogTemplate(c.dialog), c.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->kind, c.kind);
    EXPECT_STREQ(control->text, c.text);
  }
}

TEST(DialogTemplateTest, ListBoxSelectionAndOrder) {
  struct Case {
    int dialog;
    int id;
    bool multi_select;
    bool sorted;
  };
  const Case kCases[] = {
      {133, 1002, false, true},   // model names shown sorted
      {134, 1002, false, false},  // style files in scan order: the index is the path's index
      {134, 1020, true, false},
      {137, 1038, true, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.dialog << "/" << c.id);
    const ControlTemplate* control = FindControl(*FindDialogTemplate(c.dialog), c.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->multi_select, c.multi_select);
    EXPECT_EQ(control->sorted, c.sorted);
  }
}

TEST(DialogTemplateTest, AamaOpenLayoutAndScaleList) {
  const DialogTemplate* d = FindDialogTemplate(IDD_AAMA_OPEN);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->cx, 115);
  EXPECT_EQ(d->cy, 90);
  struct Row {
    int id;
    ControlKind kind;
    int x, y, cx, cy;
    const char* text;
  };
  const Row kRows[] = {
      {65535, ControlKind::kGroupBox, 7, 4, 102, 67, ""},
      {65535, ControlKind::kStatic, 13, 17, 35, 8, "比例参数"},
      {1026, ControlKind::kComboDropDown, 52, 15, 52, 65, ""},
      {1756, ControlKind::kCheckBox, 12, 35, 82, 10, "文字说明信息"},
      {1267, ControlKind::kCheckBox, 12, 47, 89, 10, "所有点都是放码点"},
      {1040, ControlKind::kCheckBox, 12, 59, 48, 10, "各码分开"},
      {1, ControlKind::kDefPushButton, 12, 73, 40, 14, "确定(&O)"},
      {2, ControlKind::kPushButton, 62, 73, 40, 14, "取消(&C)"},
  };
  ASSERT_EQ(d->controls.size(), std::size(kRows));
  for (size_t i = 0; i < d->controls.size(); ++i) {
    SCOPED_TRACE(i);
    const ControlTemplate& c = d->controls[i];
    EXPECT_EQ(c.id, kRows[i].id);
    EXPECT_EQ(c.kind, kRows[i].kind);
    EXPECT_EQ((std::vector<int>{c.x, c.y, c.cx, c.cy}),
              (std::vector<int>{kRows[i].x, kRows[i].y, kRows[i].cx, kRows[i].cy}));
    EXPECT_STREQ(c.text, kRows[i].text);
  }
  std::vector<std::string> items(d->controls[2].items.begin(), d->controls[2].items.end());
  EXPECT_EQ(items, (std::vector<std::string>{"1.0", "0.1", "10.0", "25.4", "2.54", "1/2.54", "1/25.4", "0.01",
                                             "0.001", "0.0001"}));
}

TEST(DialogTemplateTest, AamaSaveKeepsItsTabOrder) {
  const DialogTemplate* d = FindDialogTemplate(IDD_AAMA_SAVE);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->cx, 184);
  EXPECT_EQ(d->cy, 175);
  std::vector<int> order;
  for (const ControlTemplate& c : d->controls) order.push_back(c.id);
  EXPECT_EQ(order, (std::vector<int>{1, 1205, 1521, 65535, 1002, 1003, 65535, 1010, 1011, 1012, 1034, 65535, 1013,
                                     1014, 65535, 2, 1031, 65535, 1032, 1033, 1037, 65535}));
  for (const ControlTemplate& c : d->controls) EXPECT_FALSE(c.disabled) << c.id;
}

}  // namespace
