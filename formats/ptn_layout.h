// The flat layouts of the native pattern files (*.ptn and the *.pds, *.pdf,
// *.ggs files offered beside them): the words that tell a layout apart, the
// data versions at which a record changed, and the header's fixed offsets.
// The reader (formats/ptn_reader.h), the writer (formats/ptn_writer.h) and
// the open dialog's header preview (formats/ptn_preview.h) share them.
//
// Every integer is little-endian. A string is an int32 byte count and that
// many GBK bytes with no terminator; a count of 0 or less stands for an empty
// text and is followed by nothing.
#pragma once

#include <cstddef>
#include <cstdint>

// First words. The writer writes kPtnMagicFlat; the older flat layout and the
// archive layouts are read.
inline constexpr uint32_t kPtnMagicFlat = 0xAAAAAAAAu;
inline constexpr uint32_t kPtnMagicFlatAlias = 0x99999999u;  // read exactly as kPtnMagicFlat
inline constexpr uint32_t kPtnMagicOldFlat = 0x55555555u;
inline constexpr uint32_t kPtnMagicArchive = 0xB5686E9Du;
inline constexpr uint32_t kPtnMagicArchiveOld = 0xB5686E99u;

// The data version every file is written with: the layout this program
// writes is that of version 121, whatever the style in memory says.
inline constexpr int32_t kPtnWrittenVersion = 121;

// Data versions at which the flat layout or its meaning changed.
inline constexpr int32_t kPtnFirstVersionWithCornerParamsCarried = 106;  // older: UpgradeCornerParams acts
inline constexpr int32_t kPtnFirstVersionWithAttributeWord = 107;  // 16-byte vertex records (flat magic)
inline constexpr int32_t kPtnFirstVersionWithDisplayTexts = 108;   // old flat magic: two texts and a flag
inline constexpr int32_t kPtnFirstVersionWithoutWidthNodes = 112;  // older: notch width nodes are rebuilt
inline constexpr int32_t kPtnFirstVersionWithLineAttribute = 115;  // old flat magic: types 8 and 9
inline constexpr int32_t kPtnFirstVersionWithFifthText = 116;
inline constexpr int32_t kPtnVersionWithSubVersionCheck = 117;     // corner codes only with sub-version 1175
inline constexpr uint16_t kPtnSubVersionEncodedCorners = 1175;
inline constexpr int32_t kPtnFirstVersionWithEncodedCorners = 118;
inline constexpr int32_t kPtnFirstVersionWithShapeFields = 118;    // type-3 items store their seven fields
inline constexpr int32_t kPtnFirstVersionOldFlatRefused = 118;     // the old flat magic from here on
inline constexpr int32_t kPtnFirstVersionWithGradedSingles = 121;  // older: a two-node type-1 item gets copies
inline constexpr int32_t kPtnFirstVersionWithExtraWord = 122;      // 122..149: one more word before the reserved one
inline constexpr int32_t kPtnFirstVersionArchive = 150;            // flat magic at 150 or more: archive layout
inline constexpr int32_t kPtnFirstVersionQuantityText = 162;       // the piece quantity stored as a text

// The header: magic, version, reserved word, scale, u16 sub-version, 68
// filler bytes, the piece-block offset. Versions 122 to 149 hold one more
// word after the version, which moves everything after it by 4 bytes.
inline constexpr size_t kPtnFillerBytes = 68;
inline constexpr size_t kPtnPieceBlockOffsetAt = 86;
inline constexpr size_t kPtnHeaderBytes = 90;
inline constexpr size_t kPtnHeaderBytesWithExtraWord = 94;

// The 60-byte font record of a text item.
inline constexpr size_t kPtnFontRecordBytes = 60;

// The item types that leave their graded-vertex runs out of the piece block:
// the curve items, whose runs are rebuilt from the main vertices on loading.
constexpr bool PtnItemSkipsGradedRuns(int32_t type) {
  return type == 0 || type == 8 || type == 9 || type == 12 || type == 14 || type == 15 || type == 21;
}

// The first word of a native file names an archive layout at any version, or
// a flat magic from kPtnFirstVersionArchive on.
constexpr bool IsPtnArchiveLayout(uint32_t magic, int32_t version) {
  if (magic == kPtnMagicArchive || magic == kPtnMagicArchiveOld) return true;
  return (magic == kPtnMagicFlat || magic == kPtnMagicFlatAlias) && version >= kPtnFirstVersionArchive;
}
