// Gerber export files: one "*.tmp" file per style, per piece and per
// grade-rule table, each starting with the text "GGT IXPORT". The readers
// here serve both ways such files arrive: unpacked from a zip archive into the
// work folder, and picked in the export-file dialog.
//
// Header of every file: the signature at 0 (10 bytes, any letter case), the
// name at 21 (20 bytes, up to the first 0 byte) and the file type at 42 (12
// style, 20 piece, 23 rule table). Piece and rule-table files hold their
// record from offset 54 on, as the storage folder's data files hold it at
// their data offset.
//
// A file takes part only when it opens, is longer than 64 bytes and carries
// the signature; anything else is passed over silently. No reader here shows
// a message.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "imports/gerber_model.h"
#include "platform/text.h"

inline constexpr int kGgtStyleFile = 12;
inline constexpr int kGgtPieceFile = 20;
inline constexpr int kGgtRuleTableFile = 23;
inline constexpr size_t kGgtExportDataOffset = 54;

// The header of an export file, taken from its first bytes.
struct GgtExportHeader {
  CString name;
  int type = 0;
};
// False when `bytes` (the file's first bytes, or all of it) is not an export
// file: the file 64 bytes or shorter, `bytes` too short to hold the type
// byte, or without the signature (ASCII letters in any case). `fileLength`
// is the whole file's length. `header` is left as it was on false.
bool ParseGgtExportHeader(std::string_view bytes, int64_t fileLength, GgtExportHeader& header);

// One export file found in a folder.
struct GgtExportFile {
  CString path;
  CString name;
  int64_t length = 0;
};

// The export files of a folder by type, each list in file-name order. Style
// files are listed only when longer than 144 bytes: a shorter one holds no
// entry.
struct GgtExportFolder {
  std::vector<GgtExportFile> styles;
  std::vector<GgtExportFile> pieces;
  std::vector<GgtExportFile> ruleTables;
};
// Scans the "*.tmp" files (any letter case) of `folder`.
GgtExportFolder ScanGgtExportFolder(const CString& folder);

// Reads the piece file at `path` into `piece`: its record from offset 54,
// its rule table from the files of `ruleTables` named as the piece's table,
// then the per-size step. 0 when the file does not
// open or is not a piece file, else 1 (a record cut short leaves the piece
// without its record).
int ReadPieceFile(CModel& model, CPiece& piece, const CString& path, CGgtImportContext& context,
                  const std::vector<GgtExportFile>& ruleTables);

// Loads the rule table `piece` names from the matching files of
// `ruleTables` (names compare exactly; a later file that reads replaces an
// earlier one).
void LoadPieceRuleTable(CPiece& piece, CGgtImportContext& context, const std::vector<GgtExportFile>& ruleTables);

// Builds `model` from the piece files `pieceFiles`, in their order: each
// becomes a piece named by its header; a file that does not read is
// dropped. Then the pieces are built.
void BuildModelFromPieceFiles(CModel& model, const std::vector<GgtExportFile>& pieceFiles,
                              const std::vector<GgtExportFile>& ruleTables);

// The entries of a style file, as its bytes hold them.
struct GgtStyleEntries {
  uint16_t values[3] = {};  // piece entries, model codes, a kept value
  std::vector<std::unique_ptr<CPiece>> pieces;
  std::vector<CGgtModelCode> modelCodes;
};
// Reads the piece entries (from offset 154) and the model codes of a style
// file; its header is not checked here. Both counts are signed: a negative
// one reads nothing, and model codes are read only after at least one entry
// was announced. Entries and codes stop at the last whole one. False when
// the bytes are too short for the three values and the entries' offset.
bool ReadGgtStyleEntries(std::string_view bytes, GgtStyleEntries& entries);

// Reads the style file `style` (named `styleName` in the dialog's list) of
// the scanned `files` into `model`: its entries, each given at most one piece
// file of its name (no file is read twice), then the pieces are built. An
// entry without a file that reads is dropped. `model` should be new: its
// pieces and model codes are replaced, its counts are those of what was read
// and kept. A style file too short for its entries gives a model without
// pieces. 0 when the style file does not open or is not a style file, else 1.
int ReadStyle(CModel& model, const GgtExportFile& style, const CString& styleName, const GgtExportFolder& files);

// The zip path: when `folder` holds at least one piece file, a new model
// built from all of them (with an empty style name); else null.
std::unique_ptr<CModel> ReadGgtExportFiles(const CString& folder);
