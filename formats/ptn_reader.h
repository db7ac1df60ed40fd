// The native pattern file reader: tells the layout of a *.ptn (*.pds, *.pdf,
// *.ggs) file from its first two words and reads the flat layouts
// (formats/ptn_layout.h) into a style: the header texts, the sizes and every
// piece with its items, each piece then brought up to date by the steps of
// formats/ptn_piece_steps.h and listed in the list pane.
//
// The flat layouts read are magic 0xAAAAAAAA (and 0x99999999, read alike)
// below data version 150, and the older 0x55555555 below version 118, with
// the older records and conversions of each version. The archive layout goes
// to its own reader.
//
// A file is never trusted: every count and length is checked against the
// bytes left before anything is made from it, every field is read whole, and
// a file that ends or goes wrong anywhere gets its failure and message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/byte_cursor.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CPieceRecord;
class CStyle;

enum class PtnReadResult {
  kSuccess,  // the style holds the file's sizes and pieces, listed in the list
             // pane (a file newer than the program: with the warning 40006)
  kRefused,  // shorter than its first two words (no message), not a pattern
             // file of ours or a damaged header (40003), the old flat magic
             // from version 118 on (no message), the archive layout while it
             // has no reader (40006), or no file (40002): the style untouched
  kFailed,   // the file ends or goes wrong after its header was accepted
             // (40003): the style read into is left empty, its list reset
};

// How a read ended and, when it did not succeed, where and why.
struct PtnReadReport {
  PtnReadResult outcome = PtnReadResult::kSuccess;
  UINT messageId = 0;  // the message for the user: the failure's, or on
                       // success the version warning 40006; 0 for none
  size_t offset = 0;   // the byte of the file where reading stopped
  std::string reason;  // a few words on what was wrong; empty on success
  UINT warningId = 0;  // 40006 when the file is newer than the program and
                       // the read failed after that was known: shown before
                       // the failure's message
};

// What ReadPtnElements needs of the style a piece goes into: its number of
// sizes (the per-size copies and triples of the older records) and its scale
// (the notch width nodes of the older records).
struct PtnStyleFacts {
  int32_t sizeCount = 0;
  int32_t scale = 0;
  // The vertex nodes the pieces read may still come to once every stored
  // node has its per-size copies (stored nodes times the number of sizes),
  // counted down item by item; null for no bound. A file of many sizes and
  // many vertices would otherwise make the model grow far beyond the file.
  int64_t* gradedNodesLeft = nullptr;
};

// The most vertex nodes a style read from a file may come to with every
// stored node graded for each size: far above any real style (a hundred
// pieces of five hundred vertices in twenty sizes make a million).
inline constexpr int64_t kPtnMaxGradedNodes = int64_t{1} << 24;

// Reads one piece record of the piece block into `piece` (an empty piece),
// field by field as the flat layout of `magic` and `version` stores it, with
// the conversions of the older records. `factor` scales every coordinate (the
// opener passes 1.0; above 1.01 or below 0.99 the coordinates, the halves of
// the corner parameters and the type-3 fields are multiplied). 1 when the
// whole record was read; 0 on a record cut short, a count beyond the bytes
// left or beyond the graded-node bound, or an item type code outside 0 to
// 28, `piece` then holding what was read before. After the items: the repeated internal lines are removed and
// the piece's reference point is set from its outline's head vertex (none
// for a piece without an outline or with an outline without vertices).
int ReadPtnElements(ByteCursor& in, double factor, CPieceRecord* piece, uint32_t magic, int32_t version,
                    const PtnStyleFacts& style);

// Reads the native pattern file held in `bytes` into `style`; no message is
// shown (the report names what a caller shows). `style` may be g_Style or
// any other style: another one is swapped into g_Style while the read runs
// (the model works on g_Style) and swapped back before the call returns. The
// list pane gets the calls a read into g_Style makes.
//
// Refused: `style` untouched. Failed: `style` left empty, the list pane
// reset. Success: the style holds the file's sizes and pieces with its data
// version back at g_DefaultDataVersion.
PtnReadReport ReadPtnBytes(std::string_view bytes, CStyle& style);

// Opens the native pattern file at `path` in place of g_Style: reads it whole
// and reads it with ReadPtnBytes into a style of its own (StagedStyleRead)
// that replaces g_Style only when the read succeeds. On every failure
// g_Style, the list pane and the selection stay as they were, and the
// message shows with them in place; a version warning shows before the read
// style takes the place of the loaded one. 1 when the file was read (the
// main frame then retitles and redraws), 0 when not.
int OpenPtnFile(const CString& path);

// The report of the last OpenPtnFile call (kSuccess with no reason before
// any), stored before any message is shown.
const PtnReadReport& LastPtnReadReport();
