// The zip archive reader on small archives written by Python's zipfile
// (tests/imports/data/make_fixtures.py) and on bytes patched in the test.
#include "imports/zip_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "tests/support/file_bytes.h"
#include "tests/support/le_bytes.h"
#include "tests/support/temp_folder.h"
#include "zip_fixtures.h"

namespace {


// The open entry's data to its end, in pieces of `piece` bytes.
std::string ReadAll(CZipReader& reader, uint32_t piece = 1000) {
  std::string data;
  std::string buffer(piece, '\0');
  while (const uint32_t got = reader.ReadEntry(buffer.data(), piece)) data.append(buffer.data(), got);
  return data;
}

// The cause `action` throws, 0 when it throws nothing.
int CauseOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const CZipException& e) {
    return e.m_iCause;
  }
  return 0;
}

void SetU16(std::string& bytes, size_t at, uint16_t v) {
  bytes[at] = static_cast<char>(v & 0xFF);
  bytes[at + 1] = static_cast<char>(v >> 8);
}

TEST(ZipReaderTest, ReadsStoredAndDeflatedEntriesByteForByte) {
  for (const char* name : {"two.zip", "prefixed.zip"}) {
    SCOPED_TRACE(name);
    CZipReader reader(Fixture(name));
    EXPECT_EQ(reader.GetGlobalInfo().entry_count, 2u);
    CZipEntryInfo info;
    CString entryName;
    reader.GetEntryInfo(&info, &entryName);
    EXPECT_EQ(entryName, "a.tmp");
    EXPECT_EQ(info.compression_method, 0u);
    EXPECT_EQ(info.modified, FixtureTime());
    reader.OpenEntry();
    EXPECT_EQ(ReadAll(reader), StoredText());
    EXPECT_TRUE(reader.IsEndOfEntry());
    EXPECT_EQ(reader.Tell(), StoredText().size());
    EXPECT_EQ(reader.GetGlobalComment(), "zipped export");
    EXPECT_EQ(reader.GetLocalExtraField(), "");
    reader.CloseEntry();

    ASSERT_TRUE(reader.GoToNextEntry());
    reader.GetEntryInfo(&info, &entryName);
    EXPECT_EQ(entryName, "b.tmp");
    EXPECT_EQ(info.compression_method, 8u);
    reader.OpenEntry();
    EXPECT_EQ(ReadAll(reader, 2048), DeflatedText());
    reader.CloseEntry();

    // The last entry stays current.
    EXPECT_FALSE(reader.GoToNextEntry());
    reader.GetEntryInfo(nullptr, &entryName);
    EXPECT_EQ(entryName, "b.tmp");
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
  }
}

TEST(ZipReaderTest, LocatesEntriesByNameAndKeepsTheCurrentOneWhenMissing) {
  CZipReader reader(Fixture("two.zip"));
  CString name;
  EXPECT_TRUE(reader.LocateEntry("B.TMP", false));
  reader.GetEntryInfo(nullptr, &name);
  EXPECT_EQ(name, "b.tmp");
  EXPECT_FALSE(reader.LocateEntry("A.TMP", true));
  reader.GetEntryInfo(nullptr, &name);
  EXPECT_EQ(name, "b.tmp");
  EXPECT_TRUE(reader.LocateEntry("a.tmp", true));
  reader.GetEntryInfo(nullptr, &name);
  EXPECT_EQ(name, "a.tmp");
  EXPECT_EQ(CauseOf([&] { reader.LocateEntry(CString('x', 256), true); }), CZipException::badFuncParam);
  EXPECT_FALSE(reader.LocateEntry(CString('x', 255), true));
}

TEST(ZipReaderTest, WrongCallsAndHarmlessRepeats) {
  CZipReader reader;
  reader.Close();  // nothing open: nothing happens
  reader.Open(Fixture("two.zip"));
  reader.Open(Fixture("bzip2.zip"));  // already open: nothing happens
  EXPECT_EQ(reader.GetGlobalInfo().entry_count, 2u);
  EXPECT_EQ(CauseOf([&] { char b[4]; reader.ReadEntry(b, 4); }), CZipException::badFuncParam);
  EXPECT_EQ(CauseOf([&] { reader.Tell(); }), CZipException::badFuncParam);
  EXPECT_EQ(CauseOf([&] { reader.GetLocalExtraField(); }), CZipException::badFuncParam);
  reader.OpenEntry();
  char byte = 'q';
  EXPECT_EQ(reader.ReadEntry(&byte, 0), 0u);
  EXPECT_EQ(byte, 'q');
  EXPECT_EQ(reader.Tell(), 0u);
  reader.Close();
  reader.Close();
}

TEST(ZipReaderTest, AFileThatDoesNotOpenThrowsTheFileException) {
  TempFolder folder("zv_zip");
  try {
    CZipReader reader(CString((folder / "missing.zip").c_str()));
    FAIL() << "no exception";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_strFileName, CString((folder / "missing.zip").c_str()));
  }
}

// Archives that are not zip archives, or damaged ones, refused at Open with
// cause 11 and the archive's path.
TEST(ZipReaderTest, RefusesDamagedArchivesAtOpen) {
  const std::string two = ReadFile(Fixture("two.zip"));
  const size_t end = two.rfind(std::string("PK\x05\x06", 4));
  ASSERT_NE(end, std::string::npos);
  auto patched16 = [&](size_t at, uint16_t v) {
    std::string bytes = two;
    SetU16(bytes, end + at, v);
    return bytes;
  };
  // The largest comment puts the signature 65,557 bytes from the end.
  std::string longComment = two.substr(0, end + 22);
  SetU16(longComment, end + 20, 65535);
  longComment += std::string(65535, ' ');
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case kCases[] = {
      {"empty archive: end record at offset 0", LeBytes().U32(0x06054b50).Zeros(18).Bytes()},
      {"three bytes", "PK\x05"},
      {"no bytes", ""},
      {"end record behind the largest comment", longComment},
      {"70,000 bytes after the end record", two + std::string(70000, '\0')},
      {"nonzero disk number", patched16(4, 1)},
      {"nonzero central directory disk", patched16(6, 1)},
      {"entry counts differ", patched16(10, 3)},
      {"central directory past the end record", patched16(16, 0x7FFF)},
      {"cut in the central directory", two.substr(0, end - 10) + two.substr(end)},
  };
  TempFolder folder("zv_zip");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const std::string path = folder.AddFile("case.zip", c.bytes);
    CZipReader reader;
    try {
      reader.Open(CString(path.c_str()));
      FAIL() << "opened";
    } catch (const CZipException& e) {
      EXPECT_EQ(e.m_iCause, CZipException::badZipFile);
      EXPECT_EQ(e.m_szFileName, CString(path.c_str()));
    }
    EXPECT_FALSE(reader.IsOpen());
    reader.Close();
  }
}

TEST(ZipReaderTest, OpenEntryChecksMethodAndLocalHeader) {
  struct Case {
    const char* fixture;
    int openCause;  // 0: opens
  };
  const Case kCases[] = {
      {"bzip2.zip", CZipException::badZipFile},       // listed fine, refused at OpenEntry
      {"bit3.zip", 0},                                // zeros in the local header, bit 3 set
      {"bit3_nobit.zip", CZipException::badZipFile},  // the same zeros without bit 3
      {"crc_central.zip", CZipException::badZipFile},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.fixture);
    CZipReader reader(Fixture(c.fixture));
    CZipEntryInfo info;
    reader.GetEntryInfo(&info);
    EXPECT_EQ(CauseOf([&] { reader.OpenEntry(); }), c.openCause);
    if (c.openCause == 0) {
      EXPECT_EQ(ReadAll(reader), StoredText());
      reader.CloseEntry();
    }
    reader.Close();
  }
}

TEST(ZipReaderTest, CrcIsCheckedWhenAnEntryReadToItsEndIsClosed) {
  for (const char* name : {"crc_data.zip", "bit3_badcrc.zip"}) {
    SCOPED_TRACE(name);
    {
      CZipReader reader(Fixture(name));
      reader.OpenEntry();
      ReadAll(reader);
      try {
        reader.CloseEntry();
        FAIL() << "no CRC error";
      } catch (const CZipException& e) {
        EXPECT_EQ(e.m_iCause, CZipException::badCrc);
        EXPECT_EQ(e.m_szFileName, CString(Fixture(name).c_str()));
      }
      reader.CloseEntry();  // dropped by the throw: nothing left to check
      reader.Close();
    }
    {
      CZipReader reader(Fixture(name));
      reader.OpenEntry();
      char part[10];
      EXPECT_EQ(reader.ReadEntry(part, sizeof part), 10u);
      EXPECT_FALSE(reader.IsEndOfEntry());
      EXPECT_EQ(CauseOf([&] { reader.CloseEntry(); }), 0);
      reader.Close();
    }
    {
      // Read to the end and left open: Close reports it and still closes.
      CZipReader reader(Fixture(name));
      reader.OpenEntry();
      ReadAll(reader);
      EXPECT_EQ(CauseOf([&] { reader.Close(); }), CZipException::badCrc);
      EXPECT_FALSE(reader.IsOpen());
    }
  }
}

// Entries whose data does not match their declared sizes end with a cause,
// never with a hang or a quiet short read.
TEST(ZipReaderTest, DataShorterThanDeclaredEndsTheRead) {
  struct Case {
    const char* fixture;
    int cause;
  };
  const Case kCases[] = {
      {"stored_short.zip", CZipException::badZipFile},
      {"deflate_long.zip", CZipException::badZipFile},
      {"deflate_cut.zip", CZipException::bufError},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.fixture);
    CZipReader reader(Fixture(c.fixture));
    reader.OpenEntry();
    EXPECT_EQ(CauseOf([&] { ReadAll(reader); }), c.cause);
    EXPECT_EQ(CauseOf([&] { reader.Close(); }), 0);
  }
}

// A header or data read that runs into the end of the file is a damaged
// archive, never stale bytes.
TEST(ZipReaderTest, ReadsPastTheEndOfTheFileAreADamagedArchive) {
  const std::string two = ReadFile(Fixture("two.zip"));
  const size_t end = two.rfind(std::string("PK\x05\x06", 4));
  const size_t central = static_cast<uint8_t>(two[end + 16]) | (static_cast<uint8_t>(two[end + 17]) << 8);
  ASSERT_EQ(two.substr(central, 4), std::string("PK\x01\x02", 4));
  auto set32 = [](std::string& bytes, size_t at, uint32_t v) {
    SetU16(bytes, at, static_cast<uint16_t>(v & 0xFFFF));
    SetU16(bytes, at + 2, static_cast<uint16_t>(v >> 16));
  };
  // The first local header placed 10 bytes into the end record: its 30
  // bytes run past the end of the file.
  std::string headerCut = two;
  set32(headerCut, central + 42, static_cast<uint32_t>(end + 10));
  // The stored entry declared 100,000 bytes long in both headers: its data
  // runs past the end of the file.
  std::string dataCut = two;
  set32(dataCut, 18, 100000);
  set32(dataCut, 22, 100000);
  set32(dataCut, central + 20, 100000);
  set32(dataCut, central + 24, 100000);
  TempFolder folder("zv_zip");
  for (const std::string* bytes : {&headerCut, &dataCut}) {
    const std::string path = folder.AddFile("cut.zip", *bytes);
    CZipReader reader(CString(path.c_str()));
    EXPECT_EQ(CauseOf([&] {
                reader.OpenEntry();
                ReadAll(reader);
              }),
              CZipException::badZipFile);
    reader.Close();
  }
}

TEST(ZipReaderTest, SetFileTimeGivesTheEntryTimeAndOrdinaryPermissions) {
  TempFolder folder("zv_zip");
  CZipReader reader(Fixture("setuid.zip"));
  CZipEntryInfo info;
  reader.GetEntryInfo(&info);
  EXPECT_EQ(info.external_attributes, 0104755u << 16);
  CFile file;
  const CString path = (folder / "setuid.tmp").c_str();
  ASSERT_TRUE(file.Open(path, CFile::Mode::kCreateNew));
  ASSERT_TRUE(file.Write("x", 1));
  EXPECT_TRUE(CZipReader::SetFileTime(file, info));
  EXPECT_FALSE(file.IsOpen());
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, FixtureTime());
  EXPECT_EQ(st.st_mode & (S_ISUID | S_IXUSR | S_IXGRP | S_IXOTH), 0u);
}

}  // namespace
