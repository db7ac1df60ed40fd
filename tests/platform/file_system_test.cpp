// Folders and names: case-insensitive lookup and patterns as the exchanged
// files need them ("model.ctl" finds "MODEL.CTL", "*.RUL" finds "a.rul"),
// path parts, file status, and the program's own folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Sets or clears an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = ::getenv(name)) {
      old_ = old;
      had_ = true;
    }
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (had_) {
      ::setenv(name_.c_str(), old_.c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }

 private:
  std::string name_;
  std::string old_;
  bool had_ = false;
};

std::vector<std::string> Strings(const std::vector<CString>& names) {
  std::vector<std::string> out;
  for (const CString& n : names) out.push_back(n.str());
  return out;
}

struct MatchCase {
  const char* name;
  const char* pattern;
  bool matches;
};

TEST(Wildcard, CaseInsensitiveStarAndQuestionMark) {
  const MatchCase kCases[] = {
      {"a.rul", "*.RUL", true},
      {"STYLE.DXF", "*.dxf", true},
      {"a.rul.bak", "*.RUL", false},
      {"a.ru", "*.RUL", false},
      {"MODEL.CTL", "model.ctl", true},
      {"model001.mod", "model???.mod", true},
      {"MODEL9A2.MOD", "model???.mod", true},
      {"model01.mod", "model???.mod", false},
      {"model0001.mod", "model???.mod", false},
      {"noext", "*.*", true},  // Windows: "*.*" is every name
      {".hidden", "*.*", true},
      {"abc", "abc.*", true},
      {"abc.x", "abc.*", true},
      {"abd", "abc.*", false},
      {"", "*", true},
      {"", "?", false},
      {"x", "", false},
      {"piece1.tmp", "*.tmp", true},
      {"a.IBA", "*.IBA", true},
      // A GBK character is one character for '?', and its trail byte is never
      // folded as a letter: 0x81 0x41 is not 0x81 0x61.
      {"\xC7\xB0.dxf", "?.dxf", true},
      {"\xC7\xB0.dxf", "??.dxf", false},
      {"\x95\x5C", "?", true},
      {"a\x81\x41", "A\x81\x61", false},
      {"a\x81\x41", "A\x81\x41", true},
      // Backtracking, not exponential search.
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*a*a*c", false},
      {"abcabcabd", "*abd", true},
  };
  for (const MatchCase& c : kCases) {
    SCOPED_TRACE(std::string(c.name) + " ~ " + c.pattern);
    EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches);
  }
}

struct SplitCase {
  const char* path;
  const char* folder;
  const char* name;
  const char* extension;
};

TEST(Paths, SplitPathGivesFolderNameAndExtension) {
  const SplitCase kCases[] = {
      {"/work/my-style 1.dxf", "/work/", "my-style 1", ".dxf"},
      {"/a.b/c", "/a.b/", "c", ""},
      {"style.tar.gz", "", "style.tar", ".gz"},
      {"/dir/.profile", "/dir/", "", ".profile"},
      {"/dir/", "/dir/", "", ""},
      {"", "", "", ""},
      {"/\xC7\xB0\xC6\xAC/\x95\x5C.ptn", "/\xC7\xB0\xC6\xAC/", "\x95\x5C", ".ptn"},
  };
  for (const SplitCase& c : kCases) {
    SCOPED_TRACE(c.path);
    const PathParts parts = SplitPath(c.path);
    EXPECT_EQ(parts.folder, c.folder);
    EXPECT_EQ(parts.name, c.name);
    EXPECT_EQ(parts.extension, c.extension);
    EXPECT_EQ(parts.folder + parts.name + parts.extension, c.path);
  }
}

TEST(Paths, JoinPathPutsOneSlashBetween) {
  EXPECT_EQ(JoinPath("/tmp", "a"), "/tmp/a");
  EXPECT_EQ(JoinPath("/tmp/", "a"), "/tmp/a");
  EXPECT_EQ(JoinPath("/tmp/", "/a"), "/tmp/a");
  EXPECT_EQ(JoinPath("", "a"), "a");
}

TEST(Folders, ListFolderMatchesSortsAndFilters) {
  TempFolder dir;
  dir.AddFile("b.DXF");
  dir.AddFile("a.dxf");
  dir.AddFile("C.Dxf");
  dir.AddFile("c.rul");
  dir.AddFile("D.RUL");
  fs::create_directory(dir / "sub.dxf");
  EXPECT_EQ(Strings(ListFolder(CString(dir.path()), "*.DXF")), (std::vector<std::string>{"a.dxf", "b.DXF", "C.Dxf"}));
  EXPECT_EQ(Strings(ListFolder(CString(dir.path()), "*.rul")), (std::vector<std::string>{"c.rul", "D.RUL"}));
  EXPECT_EQ(Strings(ListFolder(CString(dir.path()), "*.dxf", ListKind::kFolders)),
            std::vector<std::string>{"sub.dxf"});
  EXPECT_EQ(ListFolder(CString(dir.path()), "*.*", ListKind::kAll).size(), 6u);
  EXPECT_TRUE(ListFolder(CString(dir / "missing"), "*.*").empty());
}

TEST(Folders, FindFileNoCaseFindsAnySpellingAndPrefersExact) {
  TempFolder dir;
  dir.AddFile("MODEL.CTL");
  dir.AddFile("Piece.ctl");
  dir.AddFile("piece.ctl");
  EXPECT_EQ(FindFileNoCase(CString(dir.path()), "model.ctl"), CString(dir / "MODEL.CTL"));
  EXPECT_EQ(FindFileNoCase(CString(dir.path()), "piece.ctl"), CString(dir / "piece.ctl"));
  EXPECT_EQ(FindFileNoCase(CString(dir.path()), "PIECE.CTL"), CString(dir / "Piece.ctl"));
  EXPECT_TRUE(FindFileNoCase(CString(dir.path()), "rutab.ctl").IsEmpty());
  EXPECT_TRUE(FindFileNoCase(CString(dir / "none"), "model.ctl").IsEmpty());
  EXPECT_TRUE(FindFileNoCase(CString(dir.path()), "").IsEmpty());
}

TEST(Files, StatusTimesAndReadOnly) {
  TempFolder dir;
  dir.AddFile("entry.tmp", "12345");
  const CString path(dir / "entry.tmp");
  const time_t when = 981173106;  // 2001-02-03 04:05:06 UTC
  ASSERT_TRUE(SetFileModificationTime(path, when));
  FileStatus status;
  ASSERT_TRUE(GetFileStatus(path, status));
  EXPECT_EQ(status.size, 5u);
  EXPECT_EQ(status.modified, when);
  EXPECT_FALSE(status.is_folder);
  EXPECT_FALSE(status.read_only);

  ASSERT_TRUE(SetReadOnly(path, true));
  ASSERT_TRUE(GetFileStatus(path, status));
  EXPECT_TRUE(status.read_only);
  ASSERT_TRUE(SetReadOnly(path, false));
  ASSERT_TRUE(GetFileStatus(path, status));
  EXPECT_FALSE(status.read_only);

  ASSERT_TRUE(GetFileStatus(CString(dir.path()), status));
  EXPECT_TRUE(status.is_folder);
  EXPECT_FALSE(GetFileStatus(CString(dir / "none"), status));
  EXPECT_FALSE(SetFileModificationTime(CString(dir / "none"), when));
  EXPECT_FALSE(SetReadOnly(CString(dir / "none"), true));

  EXPECT_TRUE(PathExists(path));
  EXPECT_TRUE(IsFile(path));
  EXPECT_FALSE(IsFolder(path));
  EXPECT_TRUE(IsFolder(CString(dir.path())));
  EXPECT_FALSE(IsFile(CString(dir.path())));
  EXPECT_FALSE(PathExists(CString(dir / "none")));
}

TEST(Files, RemoveRenameAndMakeFolder) {
  TempFolder dir;
  dir.AddFile("old.dxf", "old");
  dir.AddFile("keep.dxf", "keep");

  // A rename never replaces an existing file.
  EXPECT_FALSE(RenameFile(CString(dir / "old.dxf"), CString(dir / "keep.dxf")));
  EXPECT_TRUE(IsFile(CString(dir / "old.dxf")));
  FileStatus status;
  ASSERT_TRUE(GetFileStatus(CString(dir / "keep.dxf"), status));
  EXPECT_EQ(status.size, 4u);
  EXPECT_TRUE(RenameFile(CString(dir / "old.dxf"), CString(dir / "new.dxf")));
  EXPECT_FALSE(PathExists(CString(dir / "old.dxf")));
  EXPECT_TRUE(IsFile(CString(dir / "new.dxf")));

  EXPECT_TRUE(MakeFolder(CString(dir / "TMP")));
  EXPECT_TRUE(MakeFolder(CString(dir / "TMP")));  // already there
  EXPECT_FALSE(MakeFolder(CString(dir / "new.dxf")));
  EXPECT_FALSE(MakeFolder(CString(dir / "a/b")));

  EXPECT_TRUE(RemoveFile(CString(dir / "new.dxf")));
  EXPECT_FALSE(RemoveFile(CString(dir / "new.dxf")));
  EXPECT_FALSE(RemoveFile(CString(dir / "TMP")));  // folders are not files
  EXPECT_TRUE(IsFolder(CString(dir / "TMP")));
}

TEST(ProgramFolder, ExecutableFolderOrZvaamaHome) {
  {
    ScopedEnv home("ZVAAMA_HOME", nullptr);
    const std::string exe = fs::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(ProgramFolder().str(), exe.substr(0, exe.rfind('/') + 1));
  }
  {
    ScopedEnv home("ZVAAMA_HOME", "/opt/zv");
    EXPECT_EQ(ProgramFolder(), "/opt/zv/");
  }
  {
    ScopedEnv home("ZVAAMA_HOME", "/opt/zv/");
    EXPECT_EQ(ProgramFolder(), "/opt/zv/");
  }
}

TEST(ProgramFolder, ProgramPathMapsWindowsNamesOntoTheDisk) {
  TempFolder dir;
  fs::create_directory(dir / "actconfig");
  dir.AddFile("actconfig/aama.lst");
  fs::create_directory(dir / "Dxf");
  dir.AddFile("KOV.DAT");
  ScopedEnv home("ZVAAMA_HOME", dir.path().c_str());
  const std::string root = dir.path() + "/";
  EXPECT_EQ(ProgramPath(".\\ACTCONFIG\\AAMA.LST").str(), root + "actconfig/aama.lst");
  EXPECT_EQ(ProgramPath(".\\ACTCONFIG\\AAMA.ACT").str(), root + "actconfig/AAMA.ACT");
  EXPECT_EQ(ProgramPath("DXF\\").str(), root + "Dxf/");
  EXPECT_EQ(ProgramPath("TMP\\").str(), root + "TMP/");
  EXPECT_EQ(ProgramPath("kov.dat").str(), root + "KOV.DAT");
  EXPECT_EQ(ProgramPath("").str(), root);
}

}  // namespace
