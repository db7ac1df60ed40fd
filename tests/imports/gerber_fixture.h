// Builds Gerber storage folders for the tests, byte by byte from the record
// layouts (offsets and widths written out here), never from the reader's
// structures, so that a misread offset shows.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/le_bytes.h"

namespace gerber_fixture {

// A fixed-width text field: the text, then 0 bytes up to `width`.
inline std::string Field(const std::string& text, size_t width) {
  std::string field = text.substr(0, width);
  field.resize(width, '\0');
  return field;
}

// A catalogue record, 64 bytes: name at 0 (20), code at 20 (3), block index
// at 23 (1), byte 24 unused, flags at 25 (bit 1 deleted), 38 bytes unused.
inline std::string CatalogueRecord(const std::string& name, const std::string& code, uint8_t block,
                                   bool deleted = false) {
  LeBytes b;
  b.Raw(Field(name, 20)).Raw(Field(code, 3)).U8(block).U8(0).U8(deleted ? 2 : 0).Zeros(38);
  return b.Bytes();
}

// A data file: a 16-byte file head, then the given 64-byte-aligned blocks;
// `blocks[i]` is placed at i * 64 + 16 (a block longer than 64 bytes takes
// the following blocks too, so leave those empty).
inline std::string DataFile(const std::vector<std::string>& blocks) {
  std::string file(16, '\xEE');
  for (size_t i = 0; i < blocks.size(); ++i) {
    size_t at = 16 + i * 64;
    if (file.size() < at) file.resize(at, '\0');
    if (!blocks[i].empty()) {
      if (file.size() < at + blocks[i].size()) file.resize(at + blocks[i].size(), '\0');
      file.replace(at, blocks[i].size(), blocks[i]);
    }
  }
  return file;
}

// A model record: text 1 at 0 (40), text 2 at 40 (40), piece count at 80,
// model-code count at 82, a 16-bit value at 84, 14 bytes unused, then the
// entries (already built) and the 7-byte model codes.
inline std::string ModelRecord(const std::string& text1, const std::string& text2, uint16_t pieces,
                               const std::vector<std::string>& entries, const std::vector<std::string>& codes) {
  LeBytes b;
  b.Raw(Field(text1, 40)).Raw(Field(text2, 40)).U16(pieces).U16(static_cast<uint16_t>(codes.size())).U16(77).Zeros(14);
  for (const std::string& entry : entries) b.Raw(entry);
  for (const std::string& code : codes) b.Raw(Field(code, 7));
  return b.Bytes();
}

// A piece entry: byte A at 0, byte B at 1 ('+' extended), code at 2 (6),
// byte 8 unused, name at 9 (20); extended: switch at 29, and when it is 0
// seven bytes at 30 (the first the copy count) and a 4-character text at 37.
inline std::string PieceEntry(const std::string& name, char byteB = 'N', int extendedSwitch = -1,
                              int8_t copies = 1) {
  LeBytes b;
  b.U8('a').U8(static_cast<uint8_t>(byteB)).Raw(Field("PC" + name.substr(0, 4), 6)).U8(0).Raw(Field(name, 20));
  if (extendedSwitch >= 0) {
    b.U8(static_cast<uint8_t>(extendedSwitch));
    if (extendedSwitch == 0) b.U8(static_cast<uint8_t>(copies)).Zeros(6).Raw(Field("T4T4", 4));
  }
  return b.Bytes();
}

// A block head of a piece or table: data offset (32-bit), a 32-bit value, a
// 20-byte name.
inline std::string BlockHead(uint32_t dataOffset) {
  LeBytes b;
  b.U32(dataOffset).U32(0xDEADBEEF).Raw(Field("head name", 20));
  return b.Bytes();
}

// A grade rule: number at 0, code at 2 (4), name switch at 6, name at 7
// (18), byte 25 unused, then the delta pairs (dx, dy signed 32-bit).
inline std::string GradeRule(uint16_t number, const std::string& code, const std::vector<int32_t>& deltas,
                             const std::string& name = "") {
  LeBytes b;
  b.U16(number).Raw(Field(code, 4)).U8(name.empty() ? 0 : 1).Raw(Field(name, 18)).U8(0);
  for (int32_t d : deltas) b.I32(d);
  return b.Bytes();
}

// An outline point: number at 0, x at 2, y at 6, no-rule switch at 10, flags
// at 11 (bit 3: an 8-byte extension follows), attribute count at 12; then
// the extension, the 6-byte rule reference (when the switch is 0), the
// attribute bytes.
inline std::string OutlinePoint(uint16_t number, int32_t x, int32_t y, std::vector<uint8_t> attributes = {},
                                int ruleNumber = -1, bool extension = false, uint8_t flags = 0x01) {
  LeBytes b;
  b.U16(number).I32(x).I32(y).U8(ruleNumber >= 0 ? 0 : 1).U8(static_cast<uint8_t>(flags | (extension ? 0x08 : 0)));
  b.U16(static_cast<uint16_t>(attributes.size()));
  if (extension) b.I32(111).I32(222);
  if (ruleNumber >= 0) b.U16(static_cast<uint16_t>(ruleNumber)).U32(0x01020304);
  for (uint8_t a : attributes) b.U8(a);
  return b.Bytes();
}

struct PieceRecordFields {
  uint16_t sizeCount = 0;
  uint16_t steps = 1;
  uint8_t namedSizes = 0;
  std::string ruleTable;
  uint16_t ruleCount = 0;
  uint16_t pointCount = 0;
  uint16_t lineCount = 0;
};

// A piece record head, 98 bytes: text 1 at 0 (20), text 2 at 20 (20), 2
// unused, sizes at 42, steps at 44, base size at 46 (8), size index at 54,
// named-sizes flag at 56, bytes at 57 and 58, rule-table name at 59 (20), 1
// unused, rule count at 80, a 16-bit value at 82, point count at 84, 2
// unused, line count at 88, 32-bit values at 90 and 94.
inline std::string PieceHead(const PieceRecordFields& s) {
  LeBytes b;
  b.Raw(Field("piece text 1", 20)).Raw(Field("piece text 2", 20)).U16(0);
  b.U16(s.sizeCount).U16(s.steps).Raw(Field("M", 8)).U16(3).U8(s.namedSizes).U8(0x57).U8(0x58);
  b.Raw(Field(s.ruleTable, 20)).U8(0).U16(s.ruleCount).U16(0x82).U16(s.pointCount).U16(0);
  b.U16(s.lineCount).U32(90).U32(94);
  return b.Bytes();
}

// An internal line head, 10 bytes: number at 0, type at 2, 1 unused, point
// count at 4, switch at 6, 1 unused, a 16-bit value at 8.
inline std::string LineHead(uint16_t number, char type, uint16_t points, uint8_t switchByte = 0) {
  LeBytes b;
  b.U16(number).U8(static_cast<uint8_t>(type)).U8(0).U16(points).U8(switchByte).U8(0).U16(8);
  return b.Bytes();
}

// An extra block head, 6 bytes: item count at 0, flags at 2, count of
// 30-byte records at 3, 2 unused.
inline std::string ExtraHead(uint16_t items, uint8_t flags, uint8_t records) {
  LeBytes b;
  b.U16(items).U8(flags).U8(records).U16(0);
  return b.Bytes();
}

// A rule-table record head, 90 bytes: text 1 at 0 (40), text 2 at 40 (40),
// sizes at 80, steps at 82, a 16-bit value at 84, named-sizes flag at 86, a
// byte at 87, rule count at 88.
inline std::string RuleTableHead(uint16_t sizes, uint16_t steps, uint16_t rules) {
  LeBytes b;
  b.Raw(Field("table text 1", 40)).Raw(Field("table text 2", 40)).U16(sizes).U16(steps).U16(84).U8(0).U8(87);
  b.U16(rules);
  return b.Bytes();
}

// A data file whose block i holds the block head of records[i]; the records
// follow the heads, one after another, at the offsets the heads give.
inline std::string RecordFile(const std::vector<std::string>& records) {
  size_t offset = 16 + records.size() * 64;
  std::vector<std::string> heads;
  std::string tail;
  for (const std::string& record : records) {
    heads.push_back(BlockHead(static_cast<uint32_t>(offset + tail.size())));
    tail += record;
  }
  std::string file = DataFile(heads);
  file.resize(offset, '\0');
  return file + tail;
}

// An export file: signature at 0 (10), 11 bytes not read, name at 21 (20),
// a byte at 41, type at 42 (12 style, 20 piece, 23 rule table), 11 bytes
// not read, then `data` from offset 54.
inline std::string ExportFile(const std::string& name, uint8_t type, const std::string& data,
                              const std::string& signature = "GGT IXPORT") {
  LeBytes b;
  b.Raw(Field(signature, 10)).Raw(std::string(11, 'u')).Raw(Field(name, 20)).U8(0x41).U8(type);
  b.Raw(std::string(11, 'v')).Raw(data);
  return b.Bytes();
}

// A style file's data after the header: bytes 54 to 133 not read, the piece
// entry count at 134, the model code count at 136, a kept value at 138, 14
// bytes not read, then the entries (already built) from 154 and the 7-byte
// model codes. `entryCount` may differ from entries.size() to make a count
// that lies.
inline std::string StyleData(uint16_t entryCount, const std::vector<std::string>& entries,
                             const std::vector<std::string>& codes) {
  LeBytes b;
  b.Zeros(134 - 54).U16(entryCount).U16(static_cast<uint16_t>(codes.size())).U16(138).Zeros(14);
  for (const std::string& entry : entries) b.Raw(entry);
  for (const std::string& code : codes) b.Raw(Field(code, 7));
  return b.Bytes();
}

// The record of a piece of one size (34) whose outline is a square of
// `side` file units: four corners, no grade rules, no lines, an empty extra
// block. Enough for the conversion to keep the piece.
inline std::string SquarePieceRecord(int32_t side) {
  PieceRecordFields fields;
  fields.sizeCount = 1;
  fields.ruleTable = "NONE";
  fields.pointCount = 4;
  LeBytes b;
  b.Raw(PieceHead(fields)).U8(0x22).Zeros(9);
  b.Raw(OutlinePoint(1, 0, 0)).Raw(OutlinePoint(2, side, 0)).Raw(OutlinePoint(3, side, side));
  b.Raw(OutlinePoint(4, 0, side)).Raw(ExtraHead(0, 0, 0));
  return b.Bytes();
}

// The files (name, bytes) of a storage folder of two models: JACKET with
// the pieces FRONT and BACK, SKIRT with PANEL; squares of 10000, 20000 and
// 30000 file units.
inline std::vector<std::pair<std::string, std::string>> TwoModelStorageFiles() {
  const std::string end = CatalogueRecord("END", "000", 0);
  return {
      {"model.ctl", CatalogueRecord("JACKET", "001", 1) + CatalogueRecord("SKIRT", "002", 1) + end},
      {"model001.mod", DataFile({"", ModelRecord("jacket", "", 2, {PieceEntry("FRONT"), PieceEntry("BACK")}, {})})},
      {"model002.mod", DataFile({"", ModelRecord("skirt", "", 1, {PieceEntry("PANEL")}, {})})},
      {"piece.ctl", CatalogueRecord("FRONT", "PA1", 0) + CatalogueRecord("BACK", "PA1", 1) +
                        CatalogueRecord("PANEL", "PA1", 2) + end},
      {"piecepa1.pce",
       RecordFile({SquarePieceRecord(10000), SquarePieceRecord(20000), SquarePieceRecord(30000)})},
  };
}

// A zip archive holding `entries` (stored name, bytes) uncompressed, in
// order: a local header and the data per entry, the central directory, the
// end record. Every entry is dated 2021-03-04 06:06:08.
inline std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& entries) {
  constexpr uint16_t kTime = (6 << 11) | (6 << 5) | (8 / 2);
  constexpr uint16_t kDate = ((2021 - 1980) << 9) | (3 << 5) | 4;
  LeBytes local;
  LeBytes central;
  for (const auto& [name, data] : entries) {
    const uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    const uint32_t size = static_cast<uint32_t>(data.size());
    const uint32_t offset = static_cast<uint32_t>(local.Bytes().size());
    local.U32(0x04034b50).U16(20).U16(0).U16(0).U16(kTime).U16(kDate).U32(crc).U32(size).U32(size);
    local.U16(static_cast<uint16_t>(name.size())).U16(0).Raw(name).Raw(data);
    central.U32(0x02014b50).U16(20).U16(20).U16(0).U16(0).U16(kTime).U16(kDate).U32(crc).U32(size).U32(size);
    central.U16(static_cast<uint16_t>(name.size())).U16(0).U16(0).U16(0).U16(0).U32(0).U32(offset).Raw(name);
  }
  const std::string directory = central.Bytes();
  LeBytes end;
  end.U32(0x06054b50).U16(0).U16(0).U16(static_cast<uint16_t>(entries.size()));
  end.U16(static_cast<uint16_t>(entries.size())).U32(static_cast<uint32_t>(directory.size()));
  end.U32(static_cast<uint32_t>(local.Bytes().size())).U16(0);
  return local.Bytes() + directory + end.Bytes();
}

}  // namespace gerber_fixture
