// The program's string table. Texts are written here in UTF-8 and handed out
// as GBK bytes, the code page every other text of the program is in.

#include <algorithm>
#include <iterator>

#include "platform/gbk.h"
#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

struct StringEntry {
  UINT id;
  const char* text;
};

// Sorted by id.
constexpr StringEntry kStrings[] = {
    // The document type: window title, no file filter, type name "ZVAama".
    {IDR_MAINFRAME, "泽维格式转换软件\n\nZVAama\n\n\nZVAama.Document\nZVAama Document"},

    // Status-bar prompt and tooltip of each command, joined by "\n".
    {ID_FILE_SAVE_PTN, "保存为泽维文档(*.ptn)\n保存为泽维文档"},
    {ID_FILE_OPEN_PTN, "打开一个泽维格式文档(*.ptn,*.pdf,*.pds,*.ggs)\n打开泽维文档"},
    {ID_FILE_SAVE_DXF, "保存为DXF格式文档(*.dxf)\n保存为DXF格式文档"},
    {ID_FILE_OPEN_DXF, "打开一个DXF格式文档(*.dxf)\n打开DXF格式文档"},
    {ID_FILE_SAVE_AAMA, "保存为AAMA格式文档(*.dxf,*.rul)\n保存为AAMA格式文档(*.dxf,*.rul)"},
    {ID_FILE_OPEN_AAMA, "打开一个AAMA格式文档(*.dxf,*.rul,*.aam)\n打开AAMA格式文档(*.dxf,*.rul)"},
    {ID_FILE_NEW_STYLE, "新建空白文档\n新建空白文档"},
    {ID_VIEW_FULL_SCREEN, "全屏显示\n全屏显示"},
    {ID_VIEW_REMOVE_PIECE, "从工作区移去一个衣片\n移去一个衣片"},
    {ID_FILE_OPEN_GGT, "打开一个格伯(GGT)款式\n打开格伯(GGT)款式"},
    {ID_FILE_OPEN_IBA, "打开一个或多个力克(Lectra)纸样文件(*.IBA)\n打开力克IBA文件"},
    {ID_VIEW_DEFAULT_FONT, "选择一个默认字体\n默认字体"},

    // The caption of every message box, then the failure messages.
    {IDS_APP_TITLE, "泽维格式转换软件"},
    {IDS_SAVE_PTN_FAILED, "存储纸样档案失败 !"},
    {IDS_FILE_MISSING, "档案不存在或档案数据错误 !"},
    {IDS_NOT_PTN_FILE, "非泽维纸样档案 !"},
    {IDS_FILE_DATA_ERROR, "文件数据有错误!"},
    {IDS_NOT_ASCII_DXF, "非DXF格式Ascii文件!"},
    {IDS_NEWER_FILE_VERSION, "正运行的软件版本低于文档版本!"},
    {IDS_NOT_AAMA_FILE, "非AAMA格式文件!"},
    {IDS_NO_PIECE_IN_FILE, "打开的档案中不含有任何衣片!"},
    {IDS_IBA_NOT_ONE_STYLE, "这些IBA纸样不属于同一个款式!"},
    {IDS_ZIP_UNPACK_FAILED, "解压文件写入TMP目录失败!"},
    {IDS_CONVERTER_FAILED, "IBA转换程序未能启动或运行超时!"},
    {IDS_FILE_INCOMPLETE, "文件不完整，只读入了部分数据!"},

    {AFX_IDS_APP_TITLE, "ZV-KOV"},
    {AFX_IDS_IDLEMESSAGE, "泽维格式转换软件"},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; }),
              "the string table must stay sorted by id");

const StringEntry* FindEntry(UINT id) {
  auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                             [](const StringEntry& e, UINT key) { return e.id < key; });
  return it != std::end(kStrings) && it->id == id ? it : nullptr;
}

}  // namespace

CString LoadString(UINT id) {
  const StringEntry* entry = FindEntry(id);
  return entry ? CString(Utf8ToGbk(entry->text)) : CString();
}

bool HasString(UINT id) { return FindEntry(id) != nullptr; }
