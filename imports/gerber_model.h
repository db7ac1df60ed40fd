// A Gerber model (style) as read from a storage folder: its pieces, each with
// the record of its ".pce" file (size table, own grade rules, outline points,
// internal lines) and the grade-rule table that "rutab.ctl" names for it.
//
// Every object owns what it holds. The reader never trusts a file: every read
// is exact and bounded, and every count is checked against the bytes left
// before anything is made from it. A record cut short is dropped whole: the
// piece loses its record, a rule table is not taken, and the list of pieces
// of a model stops at its last whole entry.
//
// Turning the read pieces into outlines for every size and into the style's
// pieces is not done here yet: CModel::ConvertReadPieces is the one place
// where that work will be called, and it does nothing for now.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "imports/gerber_catalogue.h"
#include "platform/byte_cursor.h"
#include "platform/text.h"

// One step of a grade rule: the change of a point from one size to the next,
// in file units.
struct CGgtDelta {
  int32_t dx = 0;
  int32_t dy = 0;
};

// A grade rule: 26 bytes, then (steps + 1) delta pairs.
struct CGgtGradeRule {
  uint16_t number = 0;
  CString code;  // four characters: "X", "P" and "A" removed, filled up with spaces
  CString name;  // empty unless the record announces one
  std::vector<CGgtDelta> deltas;
};

// An outline point: 14 bytes, the optional 8-byte extension, the optional
// 6-byte rule reference, then one byte per attribute code.
struct CGgtOutlinePoint {
  uint16_t number = 0;
  int32_t x = 0;
  int32_t y = 0;
  uint8_t noRuleSwitch = 0;  // 0: the point has a rule reference
  uint8_t flags = 0;         // bit 3 (the extension's flag) cleared
  uint16_t attributeCount = 0;
  bool hasExtension = false;
  int32_t extension[2] = {0, 0};
  bool hasRuleReference = false;
  uint16_t ruleNumber = 0;
  uint8_t ruleBytes[4] = {0, 0, 0, 0};
  std::vector<uint8_t> attributes;  // the codes, in file order
};

// An internal line: a 10-byte head, then its points.
struct CGgtInternalLine {
  uint16_t number = 0;
  char type = 0;
  uint16_t pointCount = 0;
  uint8_t switchByte = 0;
  uint16_t value = 0;
  std::vector<CGgtOutlinePoint> points;
};

// The block after a piece's internal lines; kept, not interpreted.
struct CGgtExtraBlock {
  static constexpr size_t kItemBytes = 8 + 10 + 14 + 20 + 26;
  uint16_t itemCount = 0;
  uint8_t flags = 0;  // bit 0: a 34-byte record follows the head
  uint8_t recordCount = 0;
  CString record34;
  std::vector<CString> records30;
  std::vector<CString> items;
};

// The record of a piece in its ".pce" file.
class CGgtPieceBody {
 public:
  virtual ~CGgtPieceBody() = default;

  // A size-table entry: a text of up to 10 characters with named sizes, else
  // a 16-bit size number in the entry's first two bytes.
  CString SizeName(int index) const;
  int SizeNumber(int index) const;

  CString name;  // the piece's name in its model
  CString text1;
  CString text2;
  uint16_t sizeCount = 0;
  int16_t gradeSteps = 0;  // each rule stores gradeSteps + 1 delta pairs
  uint8_t baseSize[8] = {};
  uint16_t sizeIndex = 0;
  uint8_t namedSizes = 0;
  uint8_t byte57 = 0;
  uint8_t byte58 = 0;
  CString ruleTableName;  // the key into "rutab.ctl"
  uint16_t pieceRuleCount = 0;
  uint16_t value82 = 0;
  uint16_t outlinePointCount = 0;
  uint16_t internalLineCount = 0;
  uint32_t value90 = 0;
  uint32_t value94 = 0;
  std::vector<uint8_t> sizeTable;  // sizeCount entries of 10 bytes
  std::vector<CGgtGradeRule> rules;  // the piece's own rules, in file order
  std::vector<CGgtOutlinePoint> outline;
  std::vector<CGgtInternalLine> lines;
};

// A grade-rule table of a ".rtb" file; its rules are kept sorted by number.
class CGgtRuleTable {
 public:
  virtual ~CGgtRuleTable() = default;

  CString text1;
  CString text2;
  uint16_t sizeCount = 0;
  int16_t gradeSteps = 0;
  uint16_t value84 = 0;
  uint8_t namedSizes = 0;
  uint8_t byte87 = 0;
  uint16_t ruleCount = 0;
  std::vector<uint8_t> sizeTable;
  std::vector<CGgtGradeRule> rules;
};

// One entry of a converted outline: a point with its corner kind (0, 2 or
// 3), grade rule number (-1 for none) and mark kind (0, 2, 4, 5 or 6).
struct CGgtOutlineEntry {
  int32_t x = 0;
  int32_t y = 0;
  int32_t cornerKind = 0;
  int32_t ruleNumber = -1;
  int32_t markKind = 0;
};

// A grade rule turned into each size's offset from the base size.
struct CGgtRuleOffsets {
  int ruleNumber = 0;
  std::vector<CGgtDelta> offsets;  // one per size, in size-table order
};

// One code of a model, seven characters.
struct CGgtModelCode {
  CString code;
};

// One piece of a model: its entry in the model record, where its catalogues
// placed it, and what was read for it.
class CPiece {
 public:
  virtual ~CPiece() = default;

  int found = 0;           // 1 once "piece.ctl" names it
  int ruleTableFound = 0;  // 1 once "rutab.ctl" names its table
  uint8_t byteA = 0;
  uint8_t byteB = 0;  // '+' marks an extended entry
  CString code;
  CString name;
  CString text4;
  uint8_t extension[7] = {};  // the first, signed, is the copy count
  CString pieceCode = "aaa";
  int pieceBlockIndex = 0;
  CString ruleTableCode = "aaa";
  int ruleTableBlockIndex = 0;
  std::unique_ptr<CGgtPieceBody> body;       // none when its record could not be read
  std::unique_ptr<CGgtRuleTable> ruleTable;  // none when not found or cut short
  std::unique_ptr<CGgtExtraBlock> extraBlock;

  // The copy count: values below 1 count as 1.
  int CopyCount() const;

  // Filled when the pieces are converted; empty until then.
  std::vector<CGgtRuleOffsets> gradeRules;
  std::vector<CGgtOutlineEntry> outline;
  std::vector<CGgtOutlineEntry> notchPoints;
  std::vector<CGgtOutlineEntry> markPoints;
  std::vector<CGgtOutlineEntry> straightLinePoints;
  std::vector<CGgtOutlineEntry> twoPointLinePoints;
  std::vector<std::vector<CGgtOutlineEntry>> firstLineGroup;
  std::vector<std::vector<CGgtOutlineEntry>> secondLineGroup;
};

// Where a search of "rutab.ctl" ended.
struct RuleTableSearch {
  bool found = false;
  CString code;
  int blockIndex = 0;
  int reads = 0;  // catalogue records read
};

class CModel {
 public:
  virtual ~CModel() = default;

  // Reads the model `entry` of the storage folder `folder` (the folder that
  // holds the catalogues) with all its pieces. Returns 0 as the import
  // command expects; a model that cannot be read leaves the model empty, a
  // piece missing from "piece.ctl" is dropped and the piece count lowered.
  int ReadModelFile(const CString& folder, const CDataBase& entry);

  // Reads the block that follows a piece's internal lines. Null (and the
  // cursor failed) when it is cut short.
  static std::unique_ptr<CGgtExtraBlock> ReadExtraBlock(ByteCursor& in);
  // Reads a rule-table record at the cursor: head, size table, rules kept
  // sorted by number. Null when it is cut short or its counts do not fit.
  static std::unique_ptr<CGgtRuleTable> ReadRuleTableRecord(ByteCursor& in);
  // Reads a piece record at the cursor and drops the rules of its ungraded
  // points. Null when cut short.
  static std::unique_ptr<CGgtPieceBody> ReadPieceRecord(ByteCursor& in);
  // Reads one grade rule with `steps` + 1 delta pairs (none when `steps` is
  // negative). False when it is cut short.
  static bool ReadGradeRule(ByteCursor& in, int steps, CGgtGradeRule& rule);
  // Reads `count` outline points in file order. False when the count cannot
  // fit in the bytes left or a point is cut short.
  static bool ReadOutlinePoints(ByteCursor& in, int count, std::vector<CGgtOutlinePoint>& points);

  // A point marked as a notch or a mark (attribute 4, 5 or 6) is never
  // graded: its rule reference goes, and so does the piece rule it named
  // when no other point of the piece names that rule.
  static void DropUngradedRules(CGgtPieceBody& body);
  // Gives every point of the outline and of each internal line a corner (9)
  // or smooth (10) attribute, unless it already carries that code.
  static void ClassifyCorners(CGgtPieceBody& body);
  // Whether point `index` of `chain` is smooth: the last point is; a point
  // already marked 9 or 10 is not; otherwise the turn between the directions
  // to its neighbours decides (smooth above 120 degrees).
  static bool IsSmoothPoint(const std::vector<CGgtOutlinePoint>& chain, size_t index);

  // Searches "rutab.ctl" of `folder` for `name`: a binary search over the
  // sorted records; when a probe meets a deleted record it scans the live
  // records from the first instead. A deleted record never matches.
  static RuleTableSearch FindRuleTable(const CString& folder, const CString& name);

  std::vector<std::unique_ptr<CPiece>> pieces;
  CString modelName;
  CString text1;
  CString text2;
  uint16_t pieceCount = 0;
  uint16_t modelCodeCount = 0;
  uint16_t value84 = 0;
  CString folder;
  std::vector<CGgtModelCode> modelCodes;

 private:
  void ReadPieceFiles(CPiece& piece);
  void ReadRuleTable(CPiece& piece);
  // The per-size conversion of every piece and the building of the pieces'
  // outlines and offsets belong here; nothing is converted yet.
  void ConvertReadPieces() {}
};
