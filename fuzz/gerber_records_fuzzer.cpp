// Fuzzes the Gerber record readers and what follows them: a piece record
// with the extra block after it and a grade-rule table record, in the order
// the first input byte chooses, then the per-size step and the building of
// the piece's outline and rule offsets, as an import runs them. Nothing here
// touches the file system.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "imports/gerber_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzInput input = SplitOptions(data, size);
  ByteCursor in(input.rest);
  CPiece piece;
  std::unique_ptr<CGgtRuleTable> table;
  // Bit 0: the rule table comes first.
  if (input.options & 1) {
    table = CModel::ReadRuleTableRecord(in);
    if (!CModel::ReadPieceData(in, piece)) return 0;
  } else {
    if (!CModel::ReadPieceData(in, piece)) return 0;
    table = CModel::ReadRuleTableRecord(in);
  }
  if (piece.body == nullptr) __builtin_trap();
  CGgtImportContext context;
  if (table) {
    piece.ruleTable = std::move(table);
    piece.ruleTableFound = 1;
    context.currentRuleTable = piece.ruleTable.get();
  }
  // Bit 1: the piece is not the first of its build.
  if (input.options & 2) context.pieceCounter = 2;
  CModel::ConvertReadPiece(context, piece);
  CModel::BuildPiece(piece);
  if (piece.outline.size() != piece.body->outline.size()) __builtin_trap();
  return 0;
}
