// A made-up style in AAMA form, as large as a benchmark asks, in one of the
// two ways AAMA files come: size blocks with texts and a *.rul grade-rule
// table beside them, or named blocks without any text and no rule table. Used
// to time reading and writing AAMA files of the size real pattern rooms
// exchange.
#pragma once

#include <cstddef>
#include <string>

// How the blocks of the file are written.
enum class AamaBlockLayout {
  // One block per piece, drawn in the sample size, whose texts name the
  // piece, its size and quantity, and carry a "# n" grade rule at each graded
  // corner; the rule table beside the file grades them.
  kSizeBlocksWithTexts,
  // As other CAD systems write them: the blocks start with the layout blocks
  // "*Model_Space" (empty) and "*Paper_Space" (a frame of a few entities),
  // then one block per piece whose block name is the only piece name. No
  // TEXT entity anywhere and no rule table: the pieces are not graded.
  kNamedBlocksLayoutFirst,
};

// What the style holds.
struct AamaStyleShape {
  AamaBlockLayout layout = AamaBlockLayout::kSizeBlocksWithTexts;
  int pieces = 100;           // blocks, one per piece
  int sizes = 8;              // sizes in the rule table, the sample in the middle
  int outline_vertices = 48;  // boundary vertices of each piece, at least 8
  int grade_point_every = 4;  // every n-th boundary vertex is a graded corner (a turn point)
};

// The named-blocks shape with the piece weight of real files of that kind
// (about 6.5 KB of DXF text a piece: some 1,700 pieces make 11 MB).
AamaStyleShape NamedBlocksShape(int pieces = 100);

// The two files' text, lines ended by LF, numbers written with a decimal
// point whatever the locale.
struct AamaStyleText {
  std::string dxf;
  std::string rul;
};

// Builds the style. With size blocks with texts, each piece has a closed boundary on layer 1 whose graded
// corners carry a turn point (layer 2) and a "# n" grade-rule text, three
// notches (layer 4) on its bottom edge, a grain line (layer 7), an open
// internal line (layer 8) and two drill holes (layer 13), with piece name,
// size and quantity texts. The grade points of each piece share three rules
// of their own (numbers from 1, wrapping after 9999), every one of them in the
// table, with deltas growing with the distance from the sample size; so both
// files grow with the piece count. With named blocks, each piece has the same
// kind of boundary with turn points (layer 2) at its graded corners, the
// notches, grain line and internal line, but no drill hole and no text, and
// `rul` is empty. The same shape always gives the same bytes.
AamaStyleText GenerateAamaStyle(const AamaStyleShape& shape);

// The shape whose DXF text is about `dxf_bytes` long (never fewer than one
// piece), the other fields as in `base`.
AamaStyleShape AamaShapeForBytes(size_t dxf_bytes, AamaStyleShape base = {});

// Writes the style to `dxf_path` and its rule table beside it, the same name
// with the extension ".rul" (none when the style has no table). False when
// either file cannot be written.
bool WriteAamaStyle(const AamaStyleText& style, const std::string& dxf_path);
