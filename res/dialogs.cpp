// The dialog templates: every options dialog of the readers, writers and
// imports, the About box, the list pane's form and the part of the native
// open dialog that shows the file's description. Positions and sizes are in
// dialog units. The order of the controls is the tab order; a radio group
// runs from a button marked `group_start` to the next control that is not a
// radio button or starts a group, and the dialogs' data exchange counts the
// buttons in that order.

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

using K = ControlKind;

ControlTemplate Control(int id, K kind, int x, int y, int cx, int cy, const char* text = "") {
  ControlTemplate c;
  c.id = id;
  c.kind = kind;
  c.x = x;
  c.y = y;
  c.cx = cx;
  c.cy = cy;
  c.text = text;
  return c;
}

ControlTemplate Label(int x, int y, int cx, int cy, const char* text) {
  return Control(IDC_STATIC, K::kStatic, x, y, cx, cy, text);
}
ControlTemplate Frame(int x, int y, int cx, int cy, const char* text = "") {
  return Control(IDC_STATIC, K::kGroupBox, x, y, cx, cy, text);
}
// The first button of a radio group.
ControlTemplate FirstRadio(int id, int x, int y, int cx, int cy, const char* text) {
  ControlTemplate c = Control(id, K::kRadioButton, x, y, cx, cy, text);
  c.group_start = true;
  return c;
}
ControlTemplate Radio(int id, int x, int y, int cx, int cy, const char* text) {
  return Control(id, K::kRadioButton, x, y, cx, cy, text);
}
ControlTemplate Check(int id, int x, int y, int cx, int cy, const char* text) {
  return Control(id, K::kCheckBox, x, y, cx, cy, text);
}
ControlTemplate Button(int id, int x, int y, int cx, int cy, const char* text) {
  return Control(id, K::kPushButton, x, y, cx, cy, text);
}
ControlTemplate DefButton(int id, int x, int y, int cx, int cy, const char* text) {
  return Control(id, K::kDefPushButton, x, y, cx, cy, text);
}
ControlTemplate Edit(int id, int x, int y, int cx, int cy) { return Control(id, K::kEdit, x, y, cx, cy); }
ControlTemplate ListBox(int id, int x, int y, int cx, int cy) { return Control(id, K::kListBox, x, y, cx, cy); }

ControlTemplate GroupStart(ControlTemplate c) {
  c.group_start = true;
  return c;
}
ControlTemplate Wrapped(ControlTemplate c) {
  c.multiline = true;
  return c;
}
ControlTemplate MultiSelect(ControlTemplate c) {
  c.multi_select = true;
  return c;
}
ControlTemplate Sorted(ControlTemplate c) {
  c.sorted = true;
  return c;
}

DialogTemplate Dialog(int id, const char* caption, int cx, int cy, std::vector<ControlTemplate> controls) {
  DialogTemplate d;
  d.id = id;
  d.caption = caption;
  d.cx = cx;
  d.cy = cy;
  d.controls = std::move(controls);
  return d;
}

DialogTemplate AboutBox() {
  return Dialog(IDD_ABOUTBOX, "关于 ZV-KOV", 180, 62,
                {
                    Label(12, 10, 156, 8, "泽维格式转换软件"),
                    Label(12, 22, 156, 8, "ZV-KOV"),
                    GroupStart(DefButton(IDOK, 65, 40, 50, 14, "确定")),
                });
}

// AAMA export options: which pieces and sizes, how notches and texts are
// written, and how curves keep their shape.
DialogTemplate AamaSaveDialog() {
  return Dialog(IDD_AAMA_SAVE, "输出为AAMA格式(*.dxf,*.rul)文件", 184, 175,
                {
                    DefButton(IDOK, 37, 158, 50, 14, "确定(&O)"),
                    FirstRadio(IDC_AAMA_SAVE_WORK_PIECES, 14, 14, 72, 10, "仅工作区衣片"),
                    Radio(IDC_AAMA_SAVE_ALL_PIECES, 14, 24, 72, 10, "输出全部衣片"),
                    GroupStart(Frame(7, 4, 84, 32, "衣片选择")),
                    FirstRadio(IDC_AAMA_SAVE_ALL_SIZES, 102, 14, 70, 10, "输出所有码"),
                    Radio(IDC_AAMA_SAVE_BASE_SIZE, 102, 24, 70, 10, "仅输出基码"),
                    GroupStart(Frame(95, 4, 82, 32, "号型选择")),
                    FirstRadio(IDC_AAMA_SAVE_NOTCH, 14, 48, 72, 10, "剪口"),
                    Radio(IDC_AAMA_SAVE_NOTCH_MARK, 14, 58, 72, 10, "剪口标记"),
                    Radio(IDC_AAMA_SAVE_NO_NOTCH, 14, 68, 72, 10, "不输出"),
                    Radio(IDC_AAMA_SAVE_NOTCH_BUMP, 14, 78, 72, 10, "边线外凸剪口"),
                    GroupStart(Frame(7, 39, 84, 52, "剪口输出")),
                    FirstRadio(IDC_AAMA_SAVE_TEXT_NORMAL, 102, 48, 70, 10, "正常"),
                    Wrapped(Radio(IDC_AAMA_SAVE_TEXT_ASCII, 102, 59, 70, 20, "全部输出为英文字符")),
                    GroupStart(Frame(95, 39, 82, 52, "文字输出")),
                    Button(IDCANCEL, 97, 158, 50, 14, "取消(&C)"),
                    Wrapped(Check(IDC_AAMA_SAVE_GRADE_TO_RUL, 14, 128, 156, 16,
                                  "放码量输出到*.rul文件,基码输出到*.dxf文件中")),
                    Frame(7, 94, 170, 24, "保持曲线形状"),
                    Check(IDC_AAMA_SAVE_CONTROL_POINTS, 14, 104, 76, 10, "增加控制点"),
                    Check(IDC_AAMA_SAVE_GRADE_POINTS, 102, 104, 70, 10, "增加放码点"),
                    Check(IDC_AAMA_SAVE_DESC_AS_NAME, 14, 144, 156, 10, "纸样说明输出为纸样名"),
                    Frame(7, 121, 170, 34),
                });
}

// Asks for a Gerber storage folder and lists the models of its catalogue.
DialogTemplate GgtStyleFolderDialog() {
  return Dialog(IDD_GGT_STYLE_FOLDER, "请选择格伯款式的数据目录", 230, 150,
                {
                    Label(7, 9, 50, 8, "格伯款式目录"),
                    Edit(IDC_GGT_FOLDER, 60, 7, 120, 12),
                    Button(IDC_GGT_FOLDER_BROWSE, 185, 6, 38, 14, "浏览"),
                    Sorted(ListBox(IDC_GGT_FOLDER_MODELS, 7, 25, 216, 98)),
                    GroupStart(DefButton(IDOK, 53, 129, 50, 14, "确定")),
                    Button(IDCANCEL, 127, 129, 50, 14, "取消"),
                });
}

// Picks a folder of Gerber export files and either one style of it or a set
// of its pieces as a new style.
DialogTemplate GgtTmpOpenDialog() {
  return Dialog(IDD_GGT_TMP_OPEN, "打开格伯*.tmp文件", 260, 200,
                {
                    Label(7, 9, 72, 8, "格伯*.tmp文件目录="),
                    Edit(IDC_GGT_TMP_FOLDER, 82, 7, 130, 12),
                    Button(IDC_GGT_TMP_BROWSE, 215, 6, 38, 14, "浏览"),
                    Check(IDC_GGT_TMP_NEW_STYLE, 7, 26, 64, 10, "创建新款式"),
                    Label(75, 27, 40, 8, "新款式名="),
                    Edit(IDC_GGT_TMP_STYLE_NAME, 118, 25, 135, 12),
                    Frame(7, 42, 120, 130, "款式列表"),
                    ListBox(IDC_GGT_TMP_STYLES, 13, 53, 108, 113),
                    Frame(133, 42, 120, 130, "纸样列表"),
                    MultiSelect(ListBox(IDC_GGT_TMP_PIECES, 139, 53, 108, 113)),
                    Button(IDC_GGT_TMP_ALL_PIECES, 7, 179, 50, 14, "全部纸样"),
                    GroupStart(DefButton(IDOK, 143, 179, 50, 14, "确定(&O)")),
                    Button(IDCANCEL, 203, 179, 50, 14, "取消(&C)"),
                });
}

// The form a Gerber style comes in: storage folder, export files or zip.
DialogTemplate GgtFileTypeDialog() {
  return Dialog(IDD_GGT_FILE_TYPE, "选择格伯文件类型", 182, 66,
                {
                    Frame(7, 7, 110, 52, "文件类型"),
                    FirstRadio(IDC_GGT_TYPE_MODEL, 15, 19, 95, 10, "款式(Model)文件"),
                    Radio(IDC_GGT_TYPE_TMP, 15, 31, 95, 10, "tmp压缩文件"),
                    Radio(IDC_GGT_TYPE_ZIP, 15, 43, 95, 10, "zip文件"),
                    GroupStart(DefButton(IDOK, 125, 7, 50, 14, "确定(&O)")),
                    Button(IDCANCEL, 125, 25, 50, 14, "取消(&C)"),
                });
}

// Picks Lectra *.IBA files of one folder for the external converter.
DialogTemplate IbaOpenDialog() {
  return Dialog(IDD_IBA_OPEN, "打开一个或多个力克(Lectra)纸样文件(*.IBA)", 230, 173,
                {
                    Frame(7, 4, 216, 28, "力克*.IBA文件目录"),
                    Edit(IDC_IBA_FOLDER, 14, 14, 160, 12),
                    Button(IDC_IBA_BROWSE, 178, 13, 38, 14, "浏览"),
                    Frame(7, 36, 216, 110, "纸样列表"),
                    MultiSelect(ListBox(IDC_IBA_FILES, 14, 47, 202, 93)),
                    Button(IDC_IBA_ALL_FILES, 7, 152, 50, 14, "全部纸样"),
                    GroupStart(DefButton(IDOK, 113, 152, 50, 14, "确定(&O)")),
                    Button(IDCANCEL, 173, 152, 50, 14, "取消(&C)"),
                });
}

// The list pane: one owner-drawn row of piece thumbnails filling the form.
DialogTemplate PatternListForm() {
  return Dialog(IDD_PATTERN_LIST, "", 300, 40,
                {
                    ListBox(IDC_PATTERN_LIST, 0, 0, 300, 40),
                });
}

// Unit of the file's numbers, and one pattern or many in the drawing.
DialogTemplate DxfOpenDialog() {
  return Dialog(IDD_DXF_OPEN, "打开DXF格式文件", 150, 104,
                {
                    Frame(7, 7, 136, 30, "文件数据单位"),
                    FirstRadio(IDC_DXF_OPEN_MM, 15, 19, 38, 10, "毫米"),
                    Radio(IDC_DXF_OPEN_CM, 58, 19, 38, 10, "厘米"),
                    Radio(IDC_DXF_OPEN_INCH, 101, 19, 38, 10, "英寸"),
                    GroupStart(Frame(7, 42, 136, 30, "纸样个数")),
                    FirstRadio(IDC_DXF_OPEN_MANY, 15, 54, 55, 10, "多个纸样"),
                    Radio(IDC_DXF_OPEN_ONE, 75, 54, 64, 10, "仅一个纸样"),
                    GroupStart(DefButton(IDOK, 20, 82, 50, 14, "确   定(&O)")),
                    Button(IDCANCEL, 80, 82, 50, 14, "取   消(&C)"),
                });
}

// Which pieces, sizes side by side or overlaid, notch bumps, control points.
DialogTemplate DxfSaveDialog() {
  return Dialog(IDD_DXF_SAVE, "输出为DXF格式文件", 190, 112,
                {
                    Frame(7, 7, 85, 42, "纸样选择"),
                    FirstRadio(IDC_DXF_SAVE_WORK_PIECES, 14, 19, 72, 10, "仅工作区纸样"),
                    Radio(IDC_DXF_SAVE_ALL_PIECES, 14, 33, 72, 10, "全部纸样"),
                    GroupStart(Frame(98, 7, 85, 42, "输出方式")),
                    FirstRadio(IDC_DXF_SAVE_SIZES_APART, 105, 19, 72, 10, "各码分开"),
                    Radio(IDC_DXF_SAVE_SIZES_OVERLAID, 105, 33, 72, 10, "各码重叠"),
                    GroupStart(Frame(7, 54, 85, 28, "剪口")),
                    Check(IDC_DXF_SAVE_NOTCH_BUMP, 14, 66, 72, 10, "边线外凸剪口"),
                    Frame(98, 54, 85, 28, "曲线段"),
                    Check(IDC_DXF_SAVE_CONTROL_POINTS, 105, 66, 72, 10, "增加控制点"),
                    GroupStart(DefButton(IDOK, 35, 90, 50, 14, "确定")),
                    Button(IDCANCEL, 105, 90, 50, 14, "取消"),
                });
}

// Scale factor and switches for reading an AAMA file.
DialogTemplate AamaOpenDialog() {
  ControlTemplate scale = Control(IDC_AAMA_OPEN_SCALE, K::kComboDropDown, 52, 15, 52, 65);
  scale.items = {"1.0", "0.1", "10.0", "25.4", "2.54", "1/2.54", "1/25.4", "0.01", "0.001", "0.0001"};
  return Dialog(IDD_AAMA_OPEN, "打开AAMA格式(*.dxf,*.rul)文件", 115, 90,
                {
                    Frame(7, 4, 102, 67),
                    Label(13, 17, 35, 8, "比例参数"),
                    scale,
                    Check(IDC_AAMA_OPEN_TEXT_INFO, 12, 35, 82, 10, "文字说明信息"),
                    Check(IDC_AAMA_OPEN_ALL_GRADE, 12, 47, 89, 10, "所有点都是放码点"),
                    Check(IDC_AAMA_OPEN_SIZES_APART, 12, 59, 48, 10, "各码分开"),
                    DefButton(IDOK, 12, 73, 40, 14, "确定(&O)"),
                    Button(IDCANCEL, 62, 73, 40, 14, "取消(&C)"),
                });
}

// Added beside the file list of the native open dialog: the file dialog's
// own controls take the place of 1119, the preview sits to its right and the
// description stored in the file's header below.
DialogTemplate PreviewOpenPart() {
  return Dialog(IDD_PREVIEW_OPEN, "", 350, 160,
                {
                    Control(IDC_PREVIEW_FILE_LIST_AREA, K::kStatic, 0, 0, 240, 130),
                    Control(IDC_PREVIEW_AREA, K::kPicture, 246, 4, 100, 100),
                    Check(IDC_PREVIEW_SHOW, 246, 108, 100, 10, "显示款式图(&P)"),
                    Control(IDC_PREVIEW_DESCRIPTION, K::kStatic, 4, 134, 342, 22),
                });
}

const std::vector<DialogTemplate>& AllDialogs() {
  static const std::vector<DialogTemplate> dialogs = {
      AboutBox(),          AamaSaveDialog(), GgtStyleFolderDialog(), GgtTmpOpenDialog(),
      GgtFileTypeDialog(), IbaOpenDialog(),  PatternListForm(),      DxfOpenDialog(),
      DxfSaveDialog(),     AamaOpenDialog(), PreviewOpenPart(),
  };
  return dialogs;
}

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
  const std::vector<DialogTemplate>& dialogs = AllDialogs();
  auto it = std::find_if(dialogs.begin(), dialogs.end(), [id](const DialogTemplate& d) { return d.id == id; });
  return it != dialogs.end() ? &*it : nullptr;
}

const std::vector<int>& AllDialogTemplateIds() {
  static const std::vector<int> ids = [] {
    std::vector<int> out;
    for (const DialogTemplate& d : AllDialogs()) out.push_back(d.id);
    return out;
  }();
  return ids;
}

void RegisterDialogTemplates() {
  // Each id gets the very template FindDialogTemplate hands out for it.
  for (int id : AllDialogTemplateIds()) RegisterDialogTemplate(*FindDialogTemplate(id));
}
