// A design that holds one object of every kind the archive layout knows: free
// points and a point of every other kind, a text, a two-point line, a curve
// of every curve kind, and one pattern record with an element of every type
// and subtype; from version 150 on also one stored piece. Readers are tried
// on it whole and cut short, and it seeds the archive fuzz target.
#pragma once

#include <cstdint>
#include <string>

#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/band_records.h"
#include "tests/design_writer/boundary_records.h"
#include "tests/design_writer/curves_records.h"
#include "tests/design_writer/dart_records.h"
#include "tests/design_writer/line_records.h"
#include "tests/design_writer/sample_points.h"
#include "tests/design_writer/symbol_records.h"

namespace design_fixture {

// The element types without a subtype, and the subtypes of 32, 64 and 1024.
inline constexpr int32_t kPlainElementTypes[] = {1, 2, 4, 8, 16, 128, 256, 512};
inline constexpr int32_t kConstructSubtypes[] = {1, 2, 4, 8, 16, 32, 64, 128, 256, 512};
inline constexpr int32_t kShapeSubtypes[] = {1, 2, 4, 8, 16, 32};
inline constexpr int32_t kSymbolSubtypes[] = {1, 2, 4, 8, 16, 32, 64, 128, 256};

inline ElementFields SampleElement(const DesignArchiveWriter& w, int32_t type, int32_t subtype,
                                   const SampleRefs& refs) {
  switch (type) {
    case 1:
    case 16: return SampleBoundaryGroupElement(w, type, refs);
    case 4:
    case 128:
    case 256:
    case 512: return SampleLineGroupElement(w, type, refs);
    case 32: return SampleDartElement(w, subtype, refs);
    case 64: return SampleBandElement(w, subtype, refs);
    default: return SampleSymbolGroupElement(w, type, subtype, refs);
  }
}

inline std::string EveryObjectDesign(int32_t version) {
  DesignArchiveWriter w(version);
  w.header().scale = 40;
  w.header().names[1] = "EVERY";
  w.header().label_font.face = "Song";
  w.AddSize({"M", 0, 0});
  w.AddSize({"L", 0, 0});
  w.SetBaseSize(0);
  SampleRefs refs;
  for (int i = 0; i < 4; ++i) refs.points[i] = w.AddFreePoint(1000 * i, 500 * (i % 2));
  ArchiveFont font;
  font.face = "Song";
  refs.text = w.AddText(100, 100, "TEXT", font);
  ExpectedReferences expected;
  refs.lines[0] = AddSampleLine(w, refs, expected);
  refs.lines[1] = refs.lines[0];
  for (int32_t kind = 1; kind <= 8; ++kind) {
    const int curve = AddSampleCurve(w, kind, refs, expected);
    if (kind <= 2) refs.curves[kind - 1] = curve;
  }
  for (int32_t kind = 2; kind <= 47; ++kind) {
    if (kind != 20) AddSamplePoint(w, kind, refs, expected);
  }
  PatternRecordFields record;
  record.name = "EVERY";
  record.ref_point = refs.points[0];
  for (int32_t type : kPlainElementTypes) record.elements.push_back(SampleElement(w, type, 0, refs));
  for (int32_t subtype : kConstructSubtypes) record.elements.push_back(SampleElement(w, 32, subtype, refs));
  for (int32_t subtype : kShapeSubtypes) record.elements.push_back(SampleElement(w, 64, subtype, refs));
  for (int32_t subtype : kSymbolSubtypes) record.elements.push_back(SampleElement(w, 1024, subtype, refs));
  w.AddRecord(record);
  if (version >= 150) {
    w.AddStoredSize({"M", 0.0, 0.0, 0x0000FF});
    w.AddStoredSize({"L", 1.0, 0.0, 0x00FF00});
    StoredPieceFields piece;
    piece.strings[0] = "EVERY";
    StoredItemFields outline;
    outline.code = 0;
    outline.vertices = {{1, 0, 0, 0, 0}, {1, 3000, 0, 0, 0}, {1, 3000, 2000, 0, 0}, {1, 0, 2000, 0, 0}};
    piece.items.push_back(outline);
    w.AddStoredPiece(piece);
  }
  return w.Bytes();
}

}  // namespace design_fixture
