// A made-up graded style in AAMA form, as large as a benchmark asks: the DXF
// text (one block per piece, drawn in the sample size) and the *.rul grade-rule
// table beside it. Used to time reading and writing AAMA files of the size
// real pattern rooms exchange.
#pragma once

#include <cstddef>
#include <string>

// What the style holds.
struct AamaStyleShape {
  int pieces = 100;           // blocks, one per piece
  int sizes = 8;              // sizes in the rule table, the sample in the middle
  int outline_vertices = 48;  // boundary vertices of each piece, at least 8
  int grade_point_every = 4;  // every n-th boundary vertex is a graded corner
};

// The two files' text, lines ended by LF, numbers written with a decimal
// point whatever the locale.
struct AamaStyleText {
  std::string dxf;
  std::string rul;
};

// Builds the style. Each piece has a closed boundary on layer 1 whose graded
// corners carry a turn point (layer 2) and a "# n" grade-rule text, three
// notches (layer 4) on its bottom edge, a grain line (layer 7), an open
// internal line (layer 8) and two drill holes (layer 13), with piece name,
// size and quantity texts. The grade points of each piece share three rules
// of their own (numbers from 1, wrapping after 9999), every one of them in the
// table, with deltas growing with the distance from the sample size; so both
// files grow with the piece count. The same shape always gives the same bytes.
AamaStyleText GenerateAamaStyle(const AamaStyleShape& shape);

// The shape whose DXF text is about `dxf_bytes` long (never fewer than one
// piece), the other fields as in `base`.
AamaStyleShape AamaShapeForBytes(size_t dxf_bytes, AamaStyleShape base = {});

// Writes the style to `dxf_path` and its rule table beside it, the same name
// with the extension ".rul". False when either file cannot be written.
bool WriteAamaStyle(const AamaStyleText& style, const std::string& dxf_path);
