// Emptying the work folder and unpacking a zip archive into it.
#include "imports/work_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/temp_folder.h"
#include "zip_fixtures.h"

namespace {

std::vector<std::string> SortedNames(const TempFolder& folder) {
  std::vector<std::string> names = folder.Names();
  std::sort(names.begin(), names.end());
  return names;
}

TEST(WorkFilesTest, DeleteWorkFilesRemovesFilesAndLinksButNotTargetsOrSubfolders) {
  TempFolder outside("zv_zip_outside");
  const std::string target = outside.AddFile("target.tmp", "keep me");
  TempFolder work("zv_zip_work");
  work.AddFile("old.tmp", "from an earlier import");
  work.AddFile("NOEXT");
  ASSERT_EQ(::symlink(target.c_str(), (work / "link.tmp").c_str()), 0);
  ASSERT_EQ(::symlink(outside.path().c_str(), (work / "folderlink").c_str()), 0);
  std::filesystem::create_directory(work / "sub");
  WriteFile(work / "sub" + "/inner.tmp", "stays");

  DeleteWorkFiles(CString(work.path().c_str()));

  EXPECT_EQ(SortedNames(work), std::vector<std::string>{"sub"});
  EXPECT_EQ(ReadFile(work / "sub" + "/inner.tmp"), "stays");
  EXPECT_EQ(ReadFile(target), "keep me");
}

TEST(WorkFilesTest, UnpackWritesEveryEntryWithItsBytesAndTime) {
  TempFolder work("zv_zip_work");
  work.AddFile("a.tmp", "an older, longer file of the same name that is replaced");
  ASSERT_EQ(UnpackZip(Fixture("prefixed.zip").c_str(), work.path().c_str()), UnpackResult::kOk);
  EXPECT_EQ(SortedNames(work), (std::vector<std::string>{"a.tmp", "b.tmp"}));

  EXPECT_EQ(ReadFile(work / "a.tmp"), StoredText());
  EXPECT_EQ(ReadFile(work / "b.tmp"), DeflatedText());
  struct stat st;
  ASSERT_EQ(::stat((work / "b.tmp").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, FixtureTime());
}

TEST(WorkFilesTest, ExtractedFilesKeepOrdinaryPermissions) {
  TempFolder work("zv_zip_work");
  ASSERT_EQ(UnpackZip(Fixture("setuid.zip").c_str(), work.path().c_str()), UnpackResult::kOk);
  struct stat st;
  ASSERT_EQ(::stat((work / "setuid.tmp").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & (S_ISUID | S_ISGID | S_IXUSR | S_IXGRP | S_IXOTH), 0u);
  EXPECT_NE(st.st_mode & S_IRUSR, 0u);
}

// Every failure leaves the folder empty, even when good entries came first,
// and creates nothing outside it.
TEST(WorkFilesTest, AFailedUnpackLeavesTheFolderEmpty) {
  struct Case {
    const char* fixture;
    UnpackResult result;
  };
  const Case kCases[] = {
      {"bad_dotdot.zip", UnpackResult::kBadName},   {"bad_absolute.zip", UnpackResult::kBadName},
      {"bad_folder.zip", UnpackResult::kBadName},   {"bad_backslash.zip", UnpackResult::kBadName},
      {"bad_nul.zip", UnpackResult::kBadName},      {"crc_data.zip", UnpackResult::kBadArchive},
      {"bit3_badcrc.zip", UnpackResult::kBadArchive}, {"deflate_cut.zip", UnpackResult::kBadArchive},
      {"stored_short.zip", UnpackResult::kBadArchive}, {"bzip2.zip", UnpackResult::kBadArchive},
      {"no_such_archive.zip", UnpackResult::kCannotOpen},
  };
  // No folder named: nothing is written into the current folder.
  EXPECT_EQ(UnpackZip(Fixture("two.zip").c_str(), ""), UnpackResult::kWriteFailed);
  EXPECT_FALSE(std::filesystem::exists("a.tmp"));
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.fixture);
    TempFolder parent("zv_zip_parent");
    const std::string work = parent / "TMP";
    std::filesystem::create_directory(work);
    EXPECT_EQ(UnpackZip(Fixture(c.fixture).c_str(), work.c_str()), c.result);
    EXPECT_TRUE(std::filesystem::is_empty(work));
    EXPECT_EQ(SortedNames(parent), std::vector<std::string>{"TMP"});
    EXPECT_FALSE(std::filesystem::exists("/x.tmp"));
  }
}

TEST(WorkFilesTest, AnEntryNamedLikeALinkInTheFolderReplacesTheLinkNotItsTarget) {
  TempFolder outside("zv_zip_outside");
  const std::string target = outside.AddFile("target.tmp", "keep me");
  TempFolder work("zv_zip_work");
  ASSERT_EQ(::symlink(target.c_str(), (work / "a.tmp").c_str()), 0);
  ASSERT_EQ(UnpackZip(Fixture("two.zip").c_str(), work.path().c_str()), UnpackResult::kOk);
  EXPECT_EQ(ReadFile(target), "keep me");
  EXPECT_FALSE(std::filesystem::is_symlink(work / "a.tmp"));
}

}  // namespace
