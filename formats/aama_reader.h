// Reading an AAMA DXF file (*.dxf, *.aam) with its *.rul grade-rule table
// into a style.
//
// Every block of the file becomes a piece; the texts of a block name the
// piece, its size and quantity and carry grade-rule numbers ("#12" at a
// point); the style's header takes the author, creation and unit texts. A
// style drawn as one block per piece and size is merged into graded pieces;
// one drawn for the sample size only is graded by the rule table beside it.
//
// Two modes: the open command (normal mode) asks the options of
// CAamaOpenDlg first and replaces the style; the Lectra import (append mode)
// asks nothing and adds the pieces of each converter-made file to the style,
// the file taken to be in hundredths of a millimetre.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "platform/win_types.h"

class CStyle;

enum class AamaReadResult {
  kSuccess,    // the file was read (the style may hold fewer than two sizes);
               // a file cut short before its EOF marker keeps what it holds
               // and shows the warning 40015
  kRefused,    // not an AAMA file, or no piece in it: message 40007 was shown
  kFailed,     // the path is no regular file or could not be opened (40002),
               // its data ends inside an entity, a coordinate is no number
               // or beyond what the model holds, or its rule table cannot be
               // used (40004; the core's style is then empty, the file
               // open's g_Style as it was)
  kCancelled,  // the user cancelled the options: style, title and path are as
               // they were
};

// The choices of one read: the options dialog's in normal mode. Append mode
// takes the file to be in hundredths of a millimetre whatever the scale text.
struct AamaReadOptions {
  bool append = false;          // add to the style's pieces and sizes (the Lectra import)
  BOOL textInfo = FALSE;        // keep the pieces' text items
  BOOL allGradePoints = FALSE;  // curve points of the point layer are grade points
  CString scaleText = "1.0";    // factor on the unit scale, as the dialog's scale box holds it
  BOOL sizesSeparate = FALSE;   // leave the size blocks of a piece as pieces of their own
};

// How a read ended and, when it did not go as planned, where and why.
struct AamaReadReport {
  // The file a position is in: the AAMA file or the rule table beside it.
  enum class File { kDxf, kRules };

  AamaReadResult outcome = AamaReadResult::kSuccess;
  UINT messageId = 0;  // the message for the user (a warning on success); 0 for none
  File file = File::kDxf;
  int line = 0;        // 1-based line of `file` where reading stopped; 0 when none applies
  // A few words on what was wrong ("ends inside POLYLINE", "rule table: bad
  // size count"). A successful read may carry one too: a file taken as ended
  // where it broke off, or a rule table that was passed over.
  std::string reason;
};

// Reads the AAMA file held in `dxf` into `style`, with `rules` the bytes of
// the *.rul file beside it (none: no rule file); no dialog and no message
// (the report names the message a caller shows). Normal mode clears `style`
// first; append mode adds to it.
//
// `style` may be g_Style or any other style: another one is swapped into
// g_Style while the read runs (the model works on g_Style) and swapped back
// before the call returns, so g_Style then holds what it held before. The
// list pane is kept up to date as for a read into g_Style.
AamaReadReport ReadAamaBytes(std::string_view dxf, std::optional<std::string_view> rules, CStyle& style,
                             const AamaReadOptions& options);

// Reads the AAMA file at `path`. The callers pass the two flags equal: 0, 0
// for the open command, 1, 1 for the Lectra import.
//
// Normal mode: the options are asked before anything changes; then the file
// is read into a style of its own (StagedStyleRead) that replaces g_Style
// only when the read succeeds: a refused file or a data error leaves g_Style,
// the list pane and the selection as they were, and the message shows with
// them in place. Append mode: the pieces are added to g_Style after the
// existing ones and graded to the style's sizes; a data error there clears
// the style; on every path the style's size count ends equal to its size
// ring.
//
// A file that ends inside an entity is taken as ended there when its author
// line names no known system or "assyst"; otherwise it is a data error.
//
// Opens the file and the rule table beside it (CAamaRuleTable::FindRuleFile),
// asks the options in normal mode, reads them with ReadAamaBytes, and shows a
// failure through the prompt seam.
AamaReadResult ReadAamaFile(const char* path, BOOL bAppend, BOOL bLectra);

// The report of the last ReadAamaFile call (kSuccess with no reason before
// any), for tools that tell where a refused file went wrong. It is stored
// before any failure message is shown.
const AamaReadReport& LastAamaReadReport();

// The value the commands test: 1 when the file was read or the user
// cancelled, 0 after a failure message.
int AamaReadReturnValue(AamaReadResult result);

// The author code of an "Author" line: the first of the known systems whose
// name occurs in it (case counts), in the order ZORVEK 1, Optitex 2, Scanvec 3,
// LECTRA 4, GERBER 5, PAD 6, ASAHI 7, TORAY 8, assyst 9, INVESTRONICA 10,
// Yuka 11, SHIMA 12; 0 when none does.
int AamaAuthorCode(const CString& line);
