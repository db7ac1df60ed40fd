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
// After a piece is read, the per-size step closes its outline and fills its
// notch, mark and line arrays (gerber_convert.cpp); when the whole model is
// read, BuildPieces makes every piece's outline array and turns its grade
// rules into per-size offsets from the base size.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
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

// An internal line: a 10-byte head, then its points. A line whose switch
// byte is not 0 is followed by further parts of a layout this reader does not
// know, so nothing after its points can be found.
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
  // Lines of the record after one with further parts: not read, since where
  // they start is unknown. The extra block is then not read either.
  uint16_t unreadLineCount = 0;
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

// The x, y places a point array holds, for adding each place once.
using CGgtPointKeys = std::unordered_set<uint64_t>;
inline uint64_t PointKey(int32_t x, int32_t y) {
  return (uint64_t{static_cast<uint32_t>(x)} << 32) | static_cast<uint32_t>(y);
}

// A grade rule turned into each size's offset from the base size.
struct CGgtRuleOffsets {
  int ruleNumber = 0;
  std::vector<CGgtDelta> offsets;  // one per size, in size-table order
};

// One code of a model, seven characters.
struct CGgtModelCode {
  CString code;
};

// The bounding box of a piece for one run of the per-size step.
struct CGgtOutlineListEntry {
  int32_t minX = 0;
  int32_t minY = 0;
  int32_t maxX = 0;
  int32_t maxY = 0;
  CString text;
};

// One entry per run of the per-size step; kept for the length of one build.
struct CGgtOutlineList {
  std::vector<CGgtOutlineListEntry> entries;
};

// What one build of a model carries from piece to piece: its options, what
// the first piece tells about the sizes, and the bounding box of the piece
// being converted.
class CGgtImportContext {
 public:
  // The options every import sets, words 1 to 20.
  static constexpr std::array<int32_t, 20> kImportOptions = {1, 0, 1, 1, 1, 0, 0, 1, 0, 1000,
                                                             4, 0, 0, 0, 3, 1, 1, 0, 1, 1};
  CGgtImportContext();
  virtual ~CGgtImportContext() = default;

  // Option word `word`, counted from 1.
  int32_t Option(int word) const { return options[static_cast<size_t>(word - 1)]; }

  std::array<int32_t, 20> options = kImportOptions;
  int32_t writeSteps = 0;  // option 7: further writing steps (never set by an import)
  // From the first piece kept (piece counter 1).
  uint16_t sizeIndex = 0;
  uint8_t namedSizes = 0;
  uint8_t baseSize[8] = {};
  int32_t xPosition = 0;  // where the next piece would start along x
  int32_t minX = 0;
  int32_t minY = 0;
  int32_t maxX = 0;
  int32_t maxY = 0;
  CGgtOutlineList outlineList;
  const CGgtRuleTable* currentRuleTable = nullptr;
  // 1 before the first piece of a build; raised after every piece kept.
  int pieceCounter = 1;
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
  // The places the four point arrays hold, so that a large piece adds its
  // points in linear time.
  CGgtPointKeys notchKeys;
  CGgtPointKeys markKeys;
  CGgtPointKeys straightLineKeys;
  CGgtPointKeys twoPointLineKeys;
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

  // Reads one piece entry of a model record or a style export file into
  // `piece`: 29 bytes (two code bytes, a 6-character code at 2, the name at
  // 9), then, when the second code byte is '+', a switch byte and, when that
  // is 0, the seven extension bytes and a 4-character text. False (the cursor
  // failed) when the entry is cut short.
  static bool ReadPieceEntry(ByteCursor& in, CPiece& piece);
  // Reads the block that follows a piece's internal lines. Null (and the
  // cursor failed) when it is cut short.
  static std::unique_ptr<CGgtExtraBlock> ReadExtraBlock(ByteCursor& in);
  // Reads a rule-table record at the cursor: head, size table, rules kept
  // sorted by number. Null when it is cut short or its counts do not fit.
  static std::unique_ptr<CGgtRuleTable> ReadRuleTableRecord(ByteCursor& in);
  // Reads a piece's record and the extra block after it at the cursor, and
  // classifies the corners of its points. False (the piece without a record)
  // when the record is cut short.
  static bool ReadPieceData(ByteCursor& in, CPiece& piece);
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

  // The steps after a piece's record and rule table are read: the first
  // piece kept tells the context its sizes, then the per-size step runs
  // once for every size of the piece (internal lines are collected on the
  // first run only), and the x position moves on. From the third size on a
  // run would repeat the second exactly (the outline is closed and every
  // point added), so its outline-list entry is copied instead.
  static void ConvertReadPiece(CGgtImportContext& context, CPiece& piece);

  // The per-size step: converts `piece` (its body must be read) and adds the
  // bounding box to the context's outline list. `sizeText` and `copyCount`
  // change nothing. The internal-line groups are filled only when
  // `fillLineGroups` is set, so a piece carries each internal line once.
  static void ConvertForSize(CGgtImportContext& context, CPiece& piece, const CString& sizeText, int copyCount,
                             bool fillLineGroups);
  static void ConvertPiece(CGgtImportContext& context, CPiece& piece, bool fillLineGroups);
  // The bounding box of the outline; no outline point keeps the old one.
  static void GetOutlineBounds(CGgtImportContext& context, const CGgtPieceBody& body);
  // An outline whose last point lies within the closing tolerance of its
  // first (each coordinate apart) ends exactly on the first.
  static void CloseOutline(const CGgtImportContext& context, std::vector<CGgtOutlinePoint>& outline);
  // Flagged points of `chain` from `start` up to, not including, `stop`
  // (all to the end when `stop` is kNoStop) become notch points.
  static constexpr size_t kNoStop = static_cast<size_t>(-1);
  static void CollectNotchPoints(const CGgtImportContext& context, CPiece& piece,
                                 const std::vector<CGgtOutlinePoint>& chain, size_t start, size_t stop);
  static void AddNotchPoint(CPiece& piece, const CGgtOutlinePoint& point);
  // Appends `entry` unless one with its x and y is there already; 1 when
  // added.
  static int AddUniqueEntry(std::vector<CGgtOutlineEntry>& entries, const CGgtOutlineEntry& entry);
  // The same, looking the place up in `keys`, the places `entries` holds.
  static int AddUniqueEntry(std::vector<CGgtOutlineEntry>& entries, CGgtPointKeys& keys,
                            const CGgtOutlineEntry& entry);
  static int IsOnOutline(const CGgtPieceBody& body, const CGgtOutlinePoint& point);
  static void ConvertInternalLines(const CGgtImportContext& context, CPiece& piece, bool fillLineGroups);
  // Appends to the first group an array of the points of `chain` from
  // `first` on, each with its own corner kind.
  static void WriteLine(CPiece& piece, const std::vector<CGgtOutlinePoint>& chain, size_t first);

  // The entry of a point with its corner kind (first 9 gives 2, first 10
  // gives 3, else 2 with attribute 1, else 0), its rule number (-1 when it
  // is not graded) and mark kind 0.
  static CGgtOutlineEntry LineEntry(const CGgtOutlinePoint& point);
  static int CornerKind(const CGgtOutlinePoint& point);
  static int RuleNumberOf(const CGgtOutlinePoint& point);
  // The first attribute that is 2, 4, 5 or 6; else 0.
  static int MarkKind(const CGgtOutlinePoint& point);

  // Gives every graded point that names rule `oldNumber` the number
  // `newNumber`.
  static void RenumberRule(CGgtPieceBody& body, int oldNumber, int newNumber);
  // The lowest rule number from 1 to 9998 that the piece's own rules leave
  // free; -1 when all are taken.
  static int FindFreeRuleNumber(const CGgtPieceBody& body);

  // The base size as the size tables name it: the text of the base-size
  // field with named sizes, else its 32-bit number in decimal.
  static CString BaseSizeName(const CGgtPieceBody& body);
  // Builds every piece's outline array and grade-rule offsets.
  void BuildPieces(CGgtImportContext& context);
  // Builds `piece`'s outline array and rule offsets from its body and rule
  // table; a piece without a record gets none.
  static void BuildPiece(CPiece& piece);

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
  // Set when the model's pieces were not all read: their records together
  // exceed what one model can sensibly hold.
  bool incomplete = false;

  // The records of one model's pieces are read up to this many bytes in all
  // (tests lower it).
  static constexpr size_t kMaxModelRecordBytes = size_t{256} << 20;
  size_t maxRecordBytes = kMaxModelRecordBytes;

 private:
  struct LoadedFile {
    std::vector<uint8_t> bytes;
    bool missing = false;
  };
  // A data file of the folder, loaded once per model read; null when it is
  // missing or cannot be read.
  const std::vector<uint8_t>* DataFile(const CString& name);

  std::map<std::string, LoadedFile> dataFiles_;
  size_t recordBytesLeft_ = kMaxModelRecordBytes;

  void ReadPieceFiles(CPiece& piece, CGgtImportContext& context);
  void ReadRuleTable(CPiece& piece, CGgtImportContext& context);
};
