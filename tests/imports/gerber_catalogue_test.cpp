// Recognising a Gerber storage folder and listing the models of "model.ctl".
#include "imports/gerber_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/imports/gerber_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

using gerber_fixture::CatalogueRecord;

TEST(GerberCatalogueTest, StorageFolderNeedsBothCataloguesAndAModelFileOfThreeCharacters) {
  struct Case {
    std::vector<std::string> top;   // files in the folder
    std::vector<std::string> data;  // files in its "data/" subfolder (none: no subfolder)
    bool storage;
    int direct;  // the flag after the check; 7 = left as it was
    std::string dataName = "data";
  };
  const Case kCases[] = {
      {{"model.ctl", "piece.ctl", "model001.mod"}, {}, true, 1},
      {{"MODEL.CTL", "Piece.Ctl", "MODELABC.MOD"}, {}, true, 1},
      {{"readme.txt"}, {"model.ctl", "piece.ctl", "model001.mod"}, true, 0},
      {{}, {"MODEL.CTL", "PIECE.CTL", "MODEL9Z9.MOD"}, true, 0, "DATA"},
      {{"model.ctl", "piece.ctl", "model12.mod"}, {"model.ctl", "piece.ctl", "model12.mod"}, false, 7},
      {{"model.ctl", "piece.ctl", "model1234.mod"}, {}, false, 7},
      {{"model.ctl", "piece.ctl", "model1.mod"}, {}, false, 7},
      {{"model.ctl", "model001.mod"}, {"piece.ctl"}, false, 7},
      {{"piece.ctl", "model001.mod"}, {}, false, 7},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.top.empty() ? c.data.front() : c.top.front() + " " + std::to_string(c.top.size()));
    TempFolder folder("zv_gerber_check");
    for (const std::string& name : c.top) folder.AddFile(name, "x");
    if (!c.data.empty()) {
      std::filesystem::create_directory(folder / c.dataName);
      for (const std::string& name : c.data) folder.AddFile(c.dataName + "/" + name, "x");
    }
    int direct = 7;
    EXPECT_EQ(IsStorageFolder(CString(folder.path()), &direct), c.storage);
    EXPECT_EQ(direct, c.direct);
  }
}

TEST(GerberCatalogueTest, CheckModelCtlCodesByLength) {
  struct Case {
    int length;  // -1: no file
    int code;
  };
  const Case kCases[] = {{-1, 1}, {65, 2}, {63, 2}, {64, 3}, {128, 0}, {192, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.length);
    TempFolder folder("zv_gerber_ctl");
    if (c.length >= 0) folder.AddFile("MODEL.CTL", std::string(static_cast<size_t>(c.length), 'm'));
    EXPECT_EQ(CheckModelCtl(CString(folder.path())), c.code);
  }
}

TEST(GerberCatalogueTest, ModelListLeavesOutTheLastRecordAndDeletedOnes) {
  TempFolder folder("zv_gerber_list");
  folder.AddFile("model.ctl", CatalogueRecord("FIRST", "001", 2) + CatalogueRecord("SECOND", "002", 200) +
                                  CatalogueRecord("LAST", "003", 1));
  std::vector<CDataBase> entries = ReadModelCatalogue(CString(folder.path()));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, CString("FIRST"));
  EXPECT_EQ(entries[0].code, CString("001"));
  EXPECT_EQ(entries[0].blockIndex, 2);
  EXPECT_EQ(entries[1].name, CString("SECOND"));
  EXPECT_EQ(entries[1].blockIndex, -56);  // a block byte of 200 is signed

  folder.AddFile("model.ctl", CatalogueRecord("FIRST", "001", 0) + CatalogueRecord("GONE", "002", 0, true) +
                                  CatalogueRecord("THIRD", "003", 0) + CatalogueRecord("LAST", "004", 0));
  entries = ReadModelCatalogue(CString(folder.path()));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, CString("FIRST"));
  EXPECT_EQ(entries[1].name, CString("THIRD"));
  EXPECT_EQ(entries[1].code, CString("003"));
}

TEST(GerberCatalogueTest, ModelListIsEmptyWhenTheCatalogueFailsItsCheck) {
  TempFolder folder("zv_gerber_list");
  folder.AddFile("model.ctl", CatalogueRecord("ONLY", "001", 0));
  EXPECT_TRUE(ReadModelCatalogue(CString(folder.path())).empty());
  folder.AddFile("model.ctl", CatalogueRecord("A", "001", 0) + CatalogueRecord("B", "002", 0) + "x");
  EXPECT_TRUE(ReadModelCatalogue(CString(folder.path())).empty());
}

}  // namespace
