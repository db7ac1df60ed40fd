// Binary and text files: exact reads, detected write failures (a full disk),
// whole-or-nothing replacement of files, and line reading and writing.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/binary_file.h"
#include "platform/text_file.h"
#include "tests/support/file_bytes.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------

TEST(BinaryFile, WritesReadsAndSeeksExactBytes) {
  TempFolder dir;
  const CString path = CString(dir / "a.bin");
  CFile out;
  ASSERT_TRUE(out.Open(path, CFile::Mode::kWrite));
  const uint8_t data[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_TRUE(out.Write(data, sizeof data));
  EXPECT_EQ(out.GetLength(), 10);
  EXPECT_EQ(out.GetPosition(), 10);
  ASSERT_TRUE(out.Close());
  EXPECT_FALSE(out.Close());  // already closed

  CFile in;
  ASSERT_TRUE(in.Open(path, CFile::Mode::kRead));
  EXPECT_EQ(in.GetLength(), 10);
  ASSERT_TRUE(in.Seek(4, CFile::SeekFrom::kBegin));
  uint8_t four[4] = {};
  ASSERT_TRUE(in.Read(four, 4));
  EXPECT_EQ(four[0], 5);
  EXPECT_EQ(four[3], 8);
  EXPECT_EQ(in.GetPosition(), 8);
  ASSERT_TRUE(in.Seek(-3, CFile::SeekFrom::kEnd));
  EXPECT_EQ(in.GetPosition(), 7);
  ASSERT_TRUE(in.Seek(1, CFile::SeekFrom::kCurrent));
  EXPECT_EQ(in.GetPosition(), 8);
  EXPECT_FALSE(in.Seek(-1, CFile::SeekFrom::kBegin));
  EXPECT_EQ(in.GetFilePath(), path);
}

TEST(BinaryFile, ShortReadFailsAndLeavesNothingHalfRead) {
  TempFolder dir;
  WriteFile(dir / "short.bin", "\x11\x22\x33");
  CFile in;
  ASSERT_TRUE(in.Open(CString(dir / "short.bin"), CFile::Mode::kRead));
  uint8_t word[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_FALSE(in.Read(word, 4));
  for (uint8_t b : word) EXPECT_EQ(b, 0);
  // Reading up to a count gives what is there.
  ASSERT_TRUE(in.SeekToBegin());
  EXPECT_EQ(in.ReadUpTo(word, 4), 3u);
  EXPECT_EQ(word[2], 0x33);
  EXPECT_EQ(in.ReadUpTo(word, 4), 0u);
}

TEST(BinaryFile, ReadWriteModeMixesReadsAndWrites) {
  TempFolder dir;
  WriteFile(dir / "rw.bin", "abcdef");
  CFile file;
  ASSERT_TRUE(file.Open(CString(dir / "rw.bin"), CFile::Mode::kReadWrite));
  char two[2];
  ASSERT_TRUE(file.Read(two, 2));
  ASSERT_TRUE(file.Write("XY", 2));  // overwrites "cd"
  ASSERT_TRUE(file.Read(two, 2));
  EXPECT_EQ(std::string(two, 2), "ef");
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadFile(dir / "rw.bin"), "abXYef");
}

TEST(BinaryFile, OpenFailures) {
  TempFolder dir;
  CFile file;
  EXPECT_FALSE(file.Open(CString(dir / "missing.bin"), CFile::Mode::kRead));
  EXPECT_NE(file.LastError(), 0);
  EXPECT_FALSE(file.Open(CString(dir / "missing.bin"), CFile::Mode::kReadWrite));
  fs::create_directory(dir / "folder");
  EXPECT_FALSE(file.Open(CString(dir / "folder"), CFile::Mode::kRead));
  EXPECT_FALSE(file.Open(CString(dir / "no_such_folder/x.bin"), CFile::Mode::kWrite));
  WriteFile(dir / "there.bin", "x");
  EXPECT_FALSE(file.Open(CString(dir / "there.bin"), CFile::Mode::kCreateNew));
  EXPECT_EQ(ReadFile(dir / "there.bin"), "x");
  uint8_t b = 0;
  EXPECT_FALSE(file.Read(&b, 1));
  EXPECT_FALSE(file.Write(&b, 1));
}

TEST(BinaryFile, FullDiskShowsAsFailedClose) {
  // Writes are buffered and seem to succeed; the failure comes out when the
  // buffer goes to the device, and Close() must report it.
  CFile file;
  ASSERT_TRUE(file.Open("/dev/full", CFile::Mode::kWrite));
  EXPECT_TRUE(file.Write("kov", 3));
  EXPECT_FALSE(file.Close());
}

TEST(BinaryFile, FailedWriteMakesCloseFail) {
  TempFolder dir;
  CFile file;
  ASSERT_TRUE(file.Open(CString(dir / "big.bin"), CFile::Mode::kWrite));
  const std::vector<uint8_t> block(64 * 1024, 0x5A);
  {
    FileSizeLimit limit(1000);
    EXPECT_FALSE(file.Write(block.data(), block.size()));
    EXPECT_FALSE(file.Close());
  }
}

// ---------------------------------------------------------------------------

TEST(AtomicFileWriter, CommitReplacesTargetWhole) {
  TempFolder dir;
  WriteFile(dir / "style.ptn", "old contents");
  AtomicFileWriter writer;
  ASSERT_TRUE(writer.Open(CString(dir / "style.ptn")));
  ASSERT_TRUE(writer.Write("new", 3));
  // Until the commit the target is the old file and the data sits beside it.
  EXPECT_EQ(ReadFile(dir / "style.ptn"), "old contents");
  EXPECT_EQ(dir.Names().size(), 2u);
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(ReadFile(dir / "style.ptn"), "new");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"style.ptn"});
}

TEST(AtomicFileWriter, SeekBackThroughTheFileToFillInAnOffset) {
  TempFolder dir;
  AtomicFileWriter writer;
  ASSERT_TRUE(writer.Open(CString(dir / "flat.ptn")));
  CFile& file = writer.File();
  ASSERT_TRUE(file.Write("\0\0\0\0", 4));
  ASSERT_TRUE(file.Write("data", 4));
  ASSERT_TRUE(file.SeekToBegin());
  ASSERT_TRUE(file.Write("\x04\0\0\0", 4));
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(ReadFile(dir / "flat.ptn"), std::string("\x04\0\0\0data", 8));
}

TEST(AtomicFileWriter, AbandonOrDestroyLeavesTargetAndNoTemporary) {
  TempFolder dir;
  WriteFile(dir / "kov.dat", "settings");
  {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(CString(dir / "kov.dat")));
    ASSERT_TRUE(writer.Write("half", 4));
    writer.Abandon();
    EXPECT_FALSE(writer.Commit());
  }
  {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(CString(dir / "kov.dat")));
    ASSERT_TRUE(writer.Write("half", 4));
  }
  EXPECT_EQ(ReadFile(dir / "kov.dat"), "settings");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"kov.dat"});
}

TEST(AtomicFileWriter, FullDiskLeavesTargetUntouched) {
  TempFolder dir;
  WriteFile(dir / "style.dxf", "the old style");
  const std::vector<uint8_t> block(8 * 1024, 'x');
  AtomicFileWriter writer;
  ASSERT_TRUE(writer.Open(CString(dir / "style.dxf")));
  {
    FileSizeLimit limit(4096);
    // Small writes stay in the buffer; the failure may show at any later write
    // or only at the commit, which must fail either way.
    for (int i = 0; i < 4; ++i) writer.Write(block.data(), block.size());
    EXPECT_FALSE(writer.Commit());
  }
  EXPECT_EQ(ReadFile(dir / "style.dxf"), "the old style");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"style.dxf"});
}

TEST(AtomicFileWriter, KeepsPermissionsAndSymbolicLinks) {
  TempFolder dir;
  WriteFile(dir / "real.rul", "old");
  ::chmod((dir / "real.rul").c_str(), 0640);
  fs::create_symlink(dir / "real.rul", dir / "link.rul");
  ASSERT_TRUE(WriteWholeFile(CString(dir / "link.rul"), std::vector<uint8_t>{'n', 'e', 'w'}));
  EXPECT_TRUE(fs::is_symlink(dir / "link.rul"));
  EXPECT_EQ(ReadFile(dir / "real.rul"), "new");
  struct stat info;
  ASSERT_EQ(::stat((dir / "real.rul").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(AtomicFileWriter, TargetWithTheLongestNameAllowed) {
  TempFolder dir;
  const std::string name = std::string(251, 'n') + ".dxf";  // 255 bytes
  ASSERT_TRUE(WriteWholeFile(CString(dir / name), "0\r\n", 3));
  EXPECT_EQ(ReadFile(dir / name), "0\r\n");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{name});
}

TEST(AtomicFileWriter, MissingFolderFailsToOpen) {
  TempFolder dir;
  AtomicFileWriter writer;
  EXPECT_FALSE(writer.Open(CString(dir / "DXF/out.dxf")));
  EXPECT_FALSE(writer.Commit());
  EXPECT_FALSE(WriteWholeFile(CString(dir / "DXF/out.dxf"), "x", 1));
}

TEST(ReadWholeFile, ReadsRefusesAndReports) {
  TempFolder dir;
  WriteFile(dir / "ten.bin", "0123456789");
  std::vector<uint8_t> bytes = {1, 2, 3};
  EXPECT_EQ(ReadWholeFile(CString(dir / "ten.bin"), 10, bytes), FileReadStatus::kOk);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123456789");
  EXPECT_EQ(ReadWholeFile(CString(dir / "ten.bin"), 9, bytes), FileReadStatus::kTooLarge);
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(ReadWholeFile(CString(dir / "none.bin"), 100, bytes), FileReadStatus::kCannotOpen);
  WriteFile(dir / "empty.bin", "");
  EXPECT_EQ(ReadWholeFile(CString(dir / "empty.bin"), 100, bytes), FileReadStatus::kOk);
  EXPECT_TRUE(bytes.empty());
}

// ---------------------------------------------------------------------------

struct LineCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> lines;
  bool last_line_had_end;
};

TEST(TextFileReader, LineEndsOfEveryKind) {
  const LineCase kCases[] = {
      {"empty file", "", {}, false},
      {"LF", "0\nSECTION\n", {"0", "SECTION"}, true},
      {"CR LF", "0\r\nSECTION\r\n", {"0", "SECTION"}, true},
      {"lone CR", "0\rSECTION\r", {"0", "SECTION"}, true},
      {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}, false},
      {"no end on last line", "EOF", {"EOF"}, false},
      {"empty lines are lines", "a\n\n\r\n\rb\n", {"a", "", "", "", "b"}, true},
      {"only a line end", "\r\n", {""}, true},
      {"CR CR LF is two lines", "a\r\r\n", {"a", ""}, true},
      {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}, false},
      {"GBK bytes kept", "\xC7\xB0\xC6\xAC\r\n\x95\x5C\n", {"\xC7\xB0\xC6\xAC", "\x95\x5C"}, true},
      {"NUL and 0xFF kept", std::string("a\0b\xFF", 4), {std::string("a\0b\xFF", 4)}, false},
  };
  TempFolder dir;
  for (const LineCase& c : kCases) {
    SCOPED_TRACE(c.name);
    WriteFile(dir / "t.txt", c.bytes);
    TextFileReader reader;
    ASSERT_TRUE(reader.Open(CString(dir / "t.txt")));
    std::vector<std::string> lines;
    bool had_end = false;
    CString line;
    while (reader.ReadLine(line)) {
      lines.push_back(line.str());
      had_end = reader.LineHadEnd();
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(had_end, c.last_line_had_end);
    EXPECT_TRUE(reader.IsEof());
    EXPECT_FALSE(reader.HasError());
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_TRUE(line.IsEmpty());
  }
}

TEST(TextFileReader, LongLinesAndLineEndsAcrossTheReadBuffer) {
  // The reader streams through a buffer of 64 KiB; put the CR of a CR LF at
  // its last byte and the LF at the first byte of the next fill.
  TempFolder dir;
  const std::string first(64 * 1024 - 1, 'x');
  const std::string second(200 * 1024, 'y');
  WriteFile(dir / "long.txt", first + "\r\n" + second + "\r" + "\n" + "end");
  TextFileReader reader;
  ASSERT_TRUE(reader.Open(CString(dir / "long.txt")));
  CString line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line.str(), first);
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line.str(), second);
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line.str(), "end");
  EXPECT_FALSE(reader.ReadLine(line));
}

TEST(TextFileReader, LineBeyondTheLimitStopsTheReader) {
  TempFolder dir;
  WriteFile(dir / "hostile.dxf", "0\n" + std::string(5000, '9') + "\nSECTION\n");
  TextFileReader reader;
  ASSERT_TRUE(reader.Open(CString(dir / "hostile.dxf"), 1000));
  CString line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line.str(), "0");
  EXPECT_FALSE(reader.ReadLine(line));
  EXPECT_TRUE(reader.LineTooLong());
  EXPECT_FALSE(reader.IsEof());
  EXPECT_FALSE(reader.ReadLine(line));

  // A line of exactly the limit is still a line.
  WriteFile(dir / "edge.dxf", std::string(1000, 'a') + "\n");
  ASSERT_TRUE(reader.Open(CString(dir / "edge.dxf"), 1000));
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line.GetLength(), 1000);
}

TEST(TextFileReader, MissingFileDoesNotOpen) {
  TempFolder dir;
  TextFileReader reader;
  EXPECT_FALSE(reader.Open(CString(dir / "none.rul")));
  CString line;
  EXPECT_FALSE(reader.ReadLine(line));
}

// ---------------------------------------------------------------------------

TEST(TextFileWriter, LinesEndInCrLfAndRawTextIsKept) {
  TempFolder dir;
  TextFileWriter writer;
  ASSERT_TRUE(writer.Open(CString(dir / "AAMA.LST")));
  EXPECT_TRUE(writer.WriteLine("/ibas/\xC7\xB0\xC6\xAC.IBA "));
  EXPECT_TRUE(writer.WriteLine(""));
  EXPECT_TRUE(writer.Write("raw\nend"));
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(ReadFile(dir / "AAMA.LST"), "/ibas/\xC7\xB0\xC6\xAC.IBA \r\n\r\nraw\nend");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"AAMA.LST"});

  // What was written reads back line by line.
  TextFileReader reader;
  ASSERT_TRUE(reader.Open(CString(dir / "AAMA.LST")));
  CString line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "/ibas/\xC7\xB0\xC6\xAC.IBA ");
}

TEST(TextFileWriter, FailuresAreReportedAndLeaveTheOldFile) {
  TempFolder dir;
  WriteFile(dir / "style.rul", "old table\r\n");
  const std::string long_line(10 * 1024, 'r');
  {
    TextFileWriter writer;
    ASSERT_TRUE(writer.Open(CString(dir / "style.rul")));
    FileSizeLimit limit(2048);
    for (int i = 0; i < 3; ++i) writer.WriteLine(long_line);
    EXPECT_FALSE(writer.Commit());
    EXPECT_TRUE(writer.Failed());
  }
  EXPECT_EQ(ReadFile(dir / "style.rul"), "old table\r\n");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"style.rul"});

  // Not committed: the old file stays.
  {
    TextFileWriter writer;
    ASSERT_TRUE(writer.Open(CString(dir / "style.rul")));
    writer.WriteLine("half a table");
  }
  EXPECT_EQ(ReadFile(dir / "style.rul"), "old table\r\n");

  // Direct writing to a full device fails at the commit.
  TextFileWriter direct;
  ASSERT_TRUE(direct.Open("/dev/full", TextFileWriter::Mode::kDirect));
  direct.WriteLine("0");
  EXPECT_FALSE(direct.Commit());

  TextFileWriter nowhere;
  EXPECT_FALSE(nowhere.Open(CString(dir / "DXF/a.dxf")));
  EXPECT_FALSE(nowhere.WriteLine("0"));
  EXPECT_FALSE(nowhere.Commit());
}

}  // namespace
