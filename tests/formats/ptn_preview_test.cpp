#include "formats/ptn_preview.h"

#include <gtest/gtest.h>

#include <string>

#include "formats/ptn_layout.h"
#include "tests/support/le_bytes.h"
#include "tests/support/temp_folder.h"

namespace {

// The header of a flat file as the writer lays it out: magic, version,
// reserved word, scale, sub-version, the filler, the piece-block offset,
// then the style's five header texts; a piece count follows.
std::string WrittenFlatFile(int32_t version = kPtnWrittenVersion, uint32_t magic = kPtnMagicFlat) {
  LeBytes b;
  b.U32(magic).I32(version).U32(0).I32(40).U16(0);
  for (int i = 0; i < 17; ++i) b.U32(0x1234u * static_cast<uint32_t>(i + 1));
  b.U32(0);
  b.PatchU32(kPtnPieceBlockOffsetAt, static_cast<uint32_t>(b.Size()));
  b.Str("style one").Str("\xC7\xB0\xC6\xAC").Str("customer").Str("spring coat").Str("fifth");
  b.I32(0).I32(0);
  return b.Bytes();
}

// An archive header: magic, version, a word, a half word, 17 words, a block
// of n bytes, a word, then five counted strings, the fourth the description.
std::string ArchiveFile(int32_t version, const std::string& block = "abc",
                        uint32_t magic = kPtnMagicArchive) {
  LeBytes b;
  b.U32(magic).I32(version).U32(7).U16(3);
  for (int i = 0; i < 17; ++i) b.U32(static_cast<uint32_t>(i));
  b.U32(static_cast<uint32_t>(block.size())).Raw(block).U32(9);
  // Counted strings: one length byte below 0xFF.
  for (const char* s : {"name1", "name2", "name3", "archive description", "name5"}) {
    b.U8(static_cast<uint8_t>(std::string(s).size())).Raw(s);
  }
  return b.Bytes();
}

TEST(PtnPreviewTest, AWrittenFlatFileShowsItsFourthHeaderText) {
  const std::string file = WrittenFlatFile();
  ASSERT_EQ(file.substr(kPtnHeaderBytes, 4), std::string("\x09\0\0\0", 4));  // the texts start at 90
  for (uint32_t magic : {kPtnMagicFlat, kPtnMagicFlatAlias, kPtnMagicOldFlat}) {
    SCOPED_TRACE(magic);
    const PreviewHeader h = ReadPreviewHeader(WrittenFlatFile(kPtnWrittenVersion, magic));
    EXPECT_EQ(h.outcome, PreviewOutcome::kNewDescription);
    EXPECT_EQ(h.description, "spring coat");
    EXPECT_TRUE(h.ShowsPreview());
  }
}

TEST(PtnPreviewTest, FlatVersionsMoveTheTextsByTheirExtraWords) {
  // Versions 122 to 149 and from 158 on hold one more word after the version.
  struct Case {
    int32_t version;
    size_t extra_words;
  };
  const Case kCases[] = {{116, 0}, {121, 0}, {122, 1}, {149, 1}, {150, 0}, {157, 0}, {158, 1}, {200, 1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.version);
    std::string file = WrittenFlatFile(c.version);
    file.insert(8, std::string(4 * c.extra_words, '\x5A'));
    const PreviewHeader h = ReadPreviewHeader(file);
    EXPECT_EQ(h.outcome, PreviewOutcome::kNewDescription);
    EXPECT_EQ(h.description, "spring coat");
  }
}

TEST(PtnPreviewTest, OlderFlatFilesKeepTheDescriptionShown) {
  for (int32_t version : {100, 115, -1}) {
    SCOPED_TRACE(version);
    // Only magic and version are needed: nothing after them is read.
    const PreviewHeader h = ReadPreviewHeader(LeBytes().U32(kPtnMagicFlat).I32(version).Bytes());
    EXPECT_EQ(h.outcome, PreviewOutcome::kKeepDescription);
    EXPECT_TRUE(h.ShowsPreview());
    EXPECT_TRUE(h.description.IsEmpty());
  }
}

TEST(PtnPreviewTest, TheDescriptionEndsAtItsFirstNulAndEmptyCountsAreEmptyTexts) {
  LeBytes b;
  b.U32(kPtnMagicFlat).I32(121).Zeros(kPtnHeaderBytes - 8);
  b.I32(0).I32(-5).Str("x").Str(std::string("coat\0lining", 11)).I32(-1);
  const PreviewHeader h = ReadPreviewHeader(b.Bytes());
  EXPECT_EQ(h.outcome, PreviewOutcome::kNewDescription);
  EXPECT_EQ(h.description, "coat");
}

TEST(PtnPreviewTest, TheFifthTextIsReadOnlyUpTo255Bytes) {
  LeBytes b;
  b.U32(kPtnMagicFlat).I32(121).Zeros(kPtnHeaderBytes - 8);
  b.Str("a").Str("b").Str("c").Str("d").I32(100000).Raw(std::string(255, 'e'));
  EXPECT_EQ(ReadPreviewHeader(b.Bytes()).outcome, PreviewOutcome::kNewDescription);
  // One byte fewer, and the text is cut.
  std::string cut = b.Bytes();
  cut.pop_back();
  EXPECT_EQ(ReadPreviewHeader(cut).outcome, PreviewOutcome::kCutShort);
}

TEST(PtnPreviewTest, AnArchiveHeaderShowsItsDescriptionFromVersion109) {
  for (uint32_t magic : {kPtnMagicArchive, kPtnMagicArchiveOld}) {
    SCOPED_TRACE(magic);
    const PreviewHeader h = ReadPreviewHeader(ArchiveFile(109, "abc", magic));
    EXPECT_EQ(h.outcome, PreviewOutcome::kNewDescription);
    EXPECT_EQ(h.description, "archive description");
  }
  // A long description uses the escaped length form.
  LeBytes b;
  b.U32(kPtnMagicArchive).I32(160).Zeros(4 + 2 + 68).U32(0).U32(0).U8(0).U8(0).U8(0);
  b.U8(0xFF).U16(300).Raw(std::string(300, 'd')).U8(0);
  const PreviewHeader h = ReadPreviewHeader(b.Bytes());
  EXPECT_EQ(h.outcome, PreviewOutcome::kNewDescription);
  EXPECT_EQ(h.description, CString(std::string(300, 'd')));

  const PreviewHeader old = ReadPreviewHeader(ArchiveFile(108));
  EXPECT_EQ(old.outcome, PreviewOutcome::kNoDescription);
  EXPECT_FALSE(old.ShowsPreview());
}

TEST(PtnPreviewTest, OtherFilesAreNotNative) {
  for (const std::string& bytes : {std::string(), std::string("PK\3\4"), std::string("0\r\nSECTION\r\n"),
                                   LeBytes().U32(0xAAAAAAABu).I32(121).Zeros(200).Bytes()}) {
    const PreviewHeader h = ReadPreviewHeader(bytes);
    EXPECT_EQ(h.outcome, PreviewOutcome::kNotNative);
    EXPECT_FALSE(h.ShowsPreview());
  }
}

TEST(PtnPreviewTest, EveryCutOfAHeaderChangesNothing) {
  // Whole files pass; every shorter prefix past the magic stops the reading.
  struct Case {
    const char* name;
    std::string file;
    size_t needed;  // bytes up to the end of the last field read
  };
  const std::string flat = WrittenFlatFile();
  const std::string archive = ArchiveFile(120);
  const Case kCases[] = {
      {"flat", flat, flat.size() - 8},
      {"archive", archive, archive.size()},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadPreviewHeader(std::string_view(c.file).substr(0, c.needed)).outcome,
              PreviewOutcome::kNewDescription);
    for (size_t n = 4; n < c.needed; ++n) {
      SCOPED_TRACE(n);
      const PreviewHeader h = ReadPreviewHeader(std::string_view(c.file).substr(0, n));
      ASSERT_EQ(h.outcome, PreviewOutcome::kCutShort);
      ASSERT_FALSE(h.ShowsPreview());
    }
  }
}

TEST(PtnPreviewTest, CountsPastTheEndStopTheReading) {
  // The archive's block, and each flat text, claiming more than is left.
  std::string archive = ArchiveFile(120);
  archive[4 + 4 + 4 + 2 + 68] = '\x7F';
  EXPECT_EQ(ReadPreviewHeader(archive).outcome, PreviewOutcome::kCutShort);
  for (size_t text = 0; text < 4; ++text) {
    SCOPED_TRACE(text);
    LeBytes b;
    b.U32(kPtnMagicFlat).I32(121).Zeros(kPtnHeaderBytes - 8);
    for (size_t i = 0; i < 5; ++i) {
      if (i == text) {
        b.U32(0x7FFFFFF0u);
      } else {
        b.Str("t");
      }
    }
    EXPECT_EQ(ReadPreviewHeader(b.Bytes()).outcome, PreviewOutcome::kCutShort);
  }
}

TEST(PtnPreviewTest, OnlyABoundedPrefixOfAFileIsRead) {
  // A description that lies past the read limit is not reached: the header
  // counts as cut short, even though the file goes on.
  LeBytes b;
  b.U32(kPtnMagicFlat).I32(121).Zeros(kPtnHeaderBytes - 8);
  b.Str(std::string(kPreviewReadLimit, 'a')).Str("").Str("").Str("far").Str("");
  EXPECT_EQ(ReadPreviewHeader(b.Bytes()).outcome, PreviewOutcome::kCutShort);

  TempFolder folder("zv_preview");
  const std::string big = folder.AddFile("big.ptn", b.Bytes());
  std::string read;
  ASSERT_TRUE(ReadPreviewBytes(CString(big), read));
  EXPECT_EQ(read.size(), kPreviewReadLimit);
  EXPECT_EQ(read, b.Bytes().substr(0, kPreviewReadLimit));

  const std::string small = folder.AddFile("small.ptn", WrittenFlatFile());
  ASSERT_TRUE(ReadPreviewBytes(CString(small), read));
  EXPECT_EQ(read, WrittenFlatFile());
  EXPECT_FALSE(ReadPreviewBytes(CString(folder / "missing.ptn"), read));
  EXPECT_FALSE(ReadPreviewBytes(CString(folder.path()), read));
}

}  // namespace
