// Reading an AAMA DXF file (*.dxf, *.aam) with its *.rul grade-rule table
// into the process-wide style.
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

#include "platform/text.h"
#include "platform/win_types.h"

enum class AamaReadResult {
  kSuccess,    // the file was read (the style may hold fewer than two sizes)
  kRefused,    // not an AAMA file, or no piece in it: message 40007 was shown
  kFailed,     // the file could not be opened (40002) or its data ends inside
               // an entity (40004, the style then empty)
  kCancelled,  // the user cancelled the options: style, title and path are as
               // they were
};

// Reads the AAMA file at `path`. The callers pass the two flags equal: 0, 0
// for the open command, 1, 1 for the Lectra import.
//
// Normal mode: the options are asked before anything changes; then the
// style is cleared and filled. Append mode: the pieces are added after the
// existing ones and graded to the style's sizes; on every path the style's
// size count ends equal to its size ring.
//
// A file that ends inside an entity is taken as ended there when its author
// line names no known system or "assyst"; otherwise it is a data error and
// the style is cleared.
AamaReadResult ReadAamaFile(const char* path, BOOL bAppend, BOOL bLectra);

// The value the commands test: 1 when the file was read or the user
// cancelled, 0 after a failure message.
int AamaReadReturnValue(AamaReadResult result);

// The author code of an "Author" line: the first of the known systems whose
// name occurs in it (case counts), in the order ZORVEK 1, Optitex 2, Scanvec 3,
// LECTRA 4, GERBER 5, PAD 6, ASAHI 7, TORAY 8, assyst 9, INVESTRONICA 10,
// Yuka 11, SHIMA 12; 0 when none does.
int AamaAuthorCode(const CString& line);
