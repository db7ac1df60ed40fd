// Writing the style as an AAMA DXF file, with its *.rul grade-rule table.
//
// The file follows the AAMA DXF convention: one block per piece and size
// (named "<piece>_<size>"), drawn from the piece's lower left corner with y
// pointing up, on the AAMA layers (1 boundary and texts, 2 turn points, 3
// curve points, 4 notches, 5 grade reference line, 7 grain line, 8 internal
// lines, 13 drill holes, 14 sew line); the texts of each block name the
// piece, its category, quantity and size; the entities section holds the
// style's header texts and one INSERT per block, side by side. When the
// grading goes to a rule table, only the base size is drawn and its grade
// points carry rule numbers ("# n"), which the *.rul file beside it
// resolves into one delta per size (formats/aama_rul_writer.h).
#pragma once

#include "platform/text.h"

// Writes the current style to `path` (and the rule table beside it) after
// asking CAamaSaveDlg. Returns 1 when the files were written or the user
// cancelled; 0 when nothing could be written (no piece in the chosen set, a
// file that cannot be created or written), after showing message 40001.
//
// Both files are written in full to temporary files first and put in place
// only when every write succeeded, the rule table before the DXF file, so a
// failure leaves the files that were there as they were.
//
// Changes to the style that remain: sizes without a name, or with the name of
// an earlier one, are renamed before the dialog (FixAamaSizeNames), and the
// dialog keeps the options it was left with in the settings. The pieces are
// written under names made distinct as FixAamaPieceNames makes them, but on
// copies: every piece keeps its own name and description. The rule numbers
// given to the vertices while writing are taken back: every vertex keeps the
// fourth word it had.
int SaveAamaFile(const char* path);

// Names every size of the sorted sizes: an empty name becomes "SIZE" and its
// place (from 1) in lower-case hexadecimal ("SIZEa" for the tenth), and a
// name equal to an earlier size's gets that size's place in decimal appended
// ("M", "M" gives "M", "M2"), until every name is distinct.
void FixAamaSizeNames();

// Names the pieces of the style's ring of all pieces (the names a save
// writes them under, given to the records themselves), each change copied to
// the piece's work-area copy: an empty name (with `descriptionAsName` the
// description) becomes "Piece" and the piece's place from 1; a name equal to
// an earlier piece's gets the later piece's place appended ("Front" at the
// fourth place becomes "Front4"), and with `descriptionAsName` the
// descriptions are then made distinct the same way.
void FixAamaPieceNames(bool descriptionAsName);
