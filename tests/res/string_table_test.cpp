#include <gtest/gtest.h>

#include "platform/gbk.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

TEST(StringTableTest, KnownIdsGiveTheirTexts) {
  struct Case {
    UINT id;
    const char* text;
  };
  const Case kCases[] = {
      {40000, "泽维格式转换软件"},
      {40001, "存储纸样档案失败 !"},
      {40002, "档案不存在或档案数据错误 !"},
      {40003, "非泽维纸样档案 !"},
      {40004, "文件数据有错误!"},
      {40005, "非DXF格式Ascii文件!"},
      {40006, "正运行的软件版本低于文档版本!"},
      {40007, "非AAMA格式文件!"},
      {40008, "打开的档案中不含有任何衣片!"},
      {40012, "这些IBA纸样不属于同一个款式!"},
      {57344, "ZV-KOV"},
      {57345, "泽维格式转换软件"},
      {128, "泽维格式转换软件\n\nZVAama\n\n\nZVAama.Document\nZVAama Document"},
      {32771, "保存为泽维文档(*.ptn)\n保存为泽维文档"},
      {32775, "保存为AAMA格式文档(*.dxf,*.rul)\n保存为AAMA格式文档(*.dxf,*.rul)"},
      {32782, "从工作区移去一个衣片\n移去一个衣片"},
      {32785, "打开一个或多个力克(Lectra)纸样文件(*.IBA)\n打开力克IBA文件"},
      {32786, "选择一个默认字体\n默认字体"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.id);
    EXPECT_TRUE(HasString(c.id));
    EXPECT_EQ(GbkToUtf8(LoadString(c.id).str()), c.text);
  }
}

TEST(StringTableTest, TextsComeAsGbkBytes) {
  EXPECT_EQ(LoadString(IDS_APP_TITLE).str(), "\xD4\xF3\xCE\xAC\xB8\xF1\xCA\xBD\xD7\xAA\xBB\xBB\xC8\xED\xBC\xFE");
  EXPECT_EQ(LoadString(IDS_NOT_PTN_FILE).str(), "\xB7\xC7\xD4\xF3\xCE\xAC\xD6\xBD\xD1\xF9\xB5\xB5\xB0\xB8 !");
  EXPECT_EQ(LoadString(AFX_IDS_APP_TITLE), CString("ZV-KOV"));
}

TEST(StringTableTest, UnknownIdsGiveNothing) {
  for (UINT id : {0u, 1u, 127u, 40009u, 40011u, 57346u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(HasString(id));
    EXPECT_TRUE(LoadString(id).IsEmpty());
  }
}

TEST(StringTableTest, EveryMessageIsFullyEncodable) {
  // A character GBK lacks would turn into '?' and reach the user that way.
  for (UINT id = 40000; id < 40100; ++id) {
    if (!HasString(id)) continue;
    SCOPED_TRACE(id);
    EXPECT_EQ(LoadString(id).Find('?'), -1);
    EXPECT_FALSE(LoadString(id).IsEmpty());
  }
}

}  // namespace
