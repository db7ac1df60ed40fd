// The *.rul grade-rule table written beside an AAMA DXF file.
//
// The DXF file holds the base size only; each of its grade points carries a
// rule number ("# n" beside the point). The table gives every number one
// (dx, dy) pair per size of the style: how far that size's vertex lies from
// the base size's, in the DXF file's unit (millimetres or inches) and with y
// pointing up as in the file. Rule 1 is the all-zero rule.
//
// The rule numbers come from the AAMA writer (formats/aama_writer.h), which
// stores each as a float in the fourth word (Value) of the vertex node.
#pragma once

#include <ctime>
#include <string>

#include "model/item_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CPieceRecord;

// The name of the rule table, made from the DXF path's file name without its
// extension, trimmed: every byte other than 0-9, A-Z and a-z becomes the
// letter 'A' + (the byte's unsigned value mod 26), so "my-style 1" gives
// "myTstyleG1". It follows "GRADE RULE TABLE: " in the table and
// "Grade Rule Table: " in the DXF file.
CString AamaRuleTableName(const CString& dxfPath);

// The path of the rule table: the DXF path with ".rul" in place of its
// extension ("/a/b.dxf" gives "/a/b.rul", "/a/b" gives "/a/b.rul").
CString AamaRuleFilePath(const CString& dxfPath);

// What the table is written from.
struct AamaRuleSource {
  // The pieces written, `count` of them from `ring` along their Next links
  // (the style's work-area ring or its ring of all pieces; not copies).
  CPieceRecord* ring = nullptr;
  int count = 0;
  // Curve points (kinds 1 and 2) of the curve items may carry numbers.
  bool gradePoints = false;
  // Inches ("UNITS: ENGLISH") rather than millimetres ("UNITS: METRIC").
  bool english = false;
  CString tableName;
  // The creation date and time written, in UTC.
  time_t when = 0;
};

// The whole table as bytes, every line ended by CR LF. Reads g_Style's sizes
// (the sorted SizeArray, the base size at the head of the size ring).
//
// A vertex that may carry a number (by item type: kinds 0 and 3 of the curve
// items 0, 8, 9, 12, 21, with 1 and 2 when `gradePoints`; every main vertex
// of the items 1-7, 10, 17, 19, 20, 22, 24, 25; kinds 0 and 3 of the notch
// items 13, 18, 23, as the writer numbers them) gets a rule when its number is 1 or more, and is then set to 0,
// so that each number is written once. A size's delta is taken from the
// vertex's node of that size (its per-size copy by size-ring position); a
// vertex without copies has a zero delta.
std::string BuildAamaRuleText(const AamaRuleSource& source);

class DxfOutput;

// The same table handed to `out` as it is made, so that a large table never
// has to be held whole; the caller flushes `out` and checks it.
void WriteAamaRuleText(const AamaRuleSource& source, DxfOutput& out);

// Sizes per line of a rule's delta pairs.
inline constexpr int kAamaRulePairsPerLine = 4;

struct CVertexNode;

// The rule class of an item type, from its column of the type table
// (AamaRuleItemClass, model/item_types.h).
AamaRuleItemClass AamaRuleClassOf(int type);

// The node of size-ring position `sizeIndex` of the graded vertex `main`: the
// main vertex itself for 0, else its per-size copy `sizeIndex` nodes on. A
// vertex that has no such copy (an ungraded vertex, or a short group of a
// damaged ring) stands for itself in every size.
CVertexNode* AamaSizeNode(CVertexNode* main, int sizeIndex);
