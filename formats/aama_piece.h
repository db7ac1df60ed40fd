// Finishing a pattern piece read from an AAMA or plain DXF file.
//
// The readers collect raw shapes into a piece: polylines, lines, circles,
// texts, a point item (type 2) holding the marked points and a notch item
// (type 13) holding the notch points. These functions turn such a piece into
// a finished one: grade-rule numbers carried onto the vertices, an outline and
// a grain line always present, the piece moved to the origin with its notch
// points turned into notch marks and mirrored from the file's upward y axis to
// the program's downward one, and pieces drawn as a half with a mirror line
// unfolded.
//
// Vertex kinds used here (low byte of a node's flags): 0 a corner that is a
// grade point, 1 a curve point, 2 a corner that is no grade point, 3 a curve
// point that is a grade point, 64 a per-size copy, 101 a circle's radius node,
// 102 a notch width node, 103 a point mark's size node, 104 a notch's
// reference node. A node's attribute word holds its grade-rule number in the
// low 16 bits.
#pragma once

#include <cstdint>
#include <vector>

class CPieceItem;
class CPieceRecord;

// Line attributes the AAMA reader gives open lines (type 9).
inline constexpr uint32_t kAamaMirrorLineAttribute = 33;
inline constexpr uint32_t kAamaGradeReferenceAttribute = 44;

// Completes one block's piece and appends it to g_Style (which takes it
// over). `keepTexts` 0 removes every text once the "#" grade numbers were read
// from them; `author` is the file's author code (no step depends on it);
// `append` is set when the file is added to a style that already has pieces
// and sizes, so that vertices keep the kinds the first file gave them.
void BuildAamaPieceElements(CPieceRecord* piece, int keepTexts, int author, int append);

// Makes each of `lines` (polylines of `piece` whose vertices are curve points
// only because nothing marked them) straight: when no point of the piece's
// point item (type 2) lies on any of its main vertices, every main vertex
// becomes a corner grade point (kind 0). Lines with a point on a vertex keep
// their kinds, for the points to give them.
void StraightenUnmarkedLines(CPieceRecord* piece, const std::vector<CPieceItem*>& lines);

// Gives a piece without an outline (type 0) one: its first closed line
// (type 8) becomes the outline; else its first circle (type 10) an octagon of
// curve grade points (kind 3) on the circle; else a square of plain corners
// (kind 2) from (100, 100) to (200, 200).
void EnsurePieceOutline(CPieceRecord* piece);

// Replaces the piece's grain line (type 1) by one across the piece at half
// its height: from where a horizontal line there first crosses the outline to
// where it last does, a fifth cut off at each end; across the whole box when
// it does not cross. A piece without an outline only loses its grain line.
void AddDefaultGrainLine(CPieceRecord* piece);

// Moves the piece so that its box starts at (0, 0): text anchors and every
// node of kind 64 or below; a circle's radius node and the per-size radii
// after it stay. Then the curves and the box are brought up to date.
void MoveAamaPieceToOrigin(CPieceRecord* piece);

// After the whole file was read: the piece to the origin, into the list
// pane, its notch points turned into notch marks on the outline, and mirrored
// about its horizontal middle line. `notchType` is the mark shape new notches
// get (the program's default notch type, 1 unless the settings change it).
void PlaceAamaPiece(CPieceRecord* piece, int notchType = 1);

// After the grade rules were applied: duplicate lines removed, rule numbers
// cleared, a half piece with a mirror line (open line with attribute 33)
// unfolded into the whole piece, orientation normalised and notches refitted.
void FinishAamaPiece(CPieceRecord* piece);

// The notches placed again on the piece's outline as it stands; a notch item
// left empty goes.
void RefitAamaNotches(CPieceRecord* piece);
