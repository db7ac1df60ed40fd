// Hand-built native flat pattern files for the reader's tests and the fuzz
// seeds: a header, the piece block right after it (no compatibility block),
// sizes and pieces of items given as vertex lists, each record laid out the
// way the file's magic word and data version store it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "formats/ptn_layout.h"
#include "tests/support/le_bytes.h"

namespace ptn_fixture {

struct Vertex {
  Vertex(uint32_t f, int32_t vx, int32_t vy, uint32_t a = 0) : flags(f), x(vx), y(vy), attributes(a) {}
  uint32_t flags = 0;
  int32_t x = 0;
  int32_t y = 0;
  uint32_t attributes = 0;  // written only where the layout has the word
};

struct ItemRec {
  explicit ItemRec(int32_t t, std::vector<Vertex> v = {}, int32_t attribute = 0)
      : type(t), vertices(std::move(v)), lineAttribute(attribute) {}
  int32_t type = 0;
  std::vector<Vertex> vertices;
  // Old flat magic from version 115 on, types 8 and 9: the stored attribute.
  int32_t lineAttribute = 0;
  // The fields after the vertices (types 3, 26, 28), already laid out.
  std::string tail;
  // When set, the whole body after the type code, as given (text items,
  // damaged records).
  std::optional<std::string> body;
};

struct PieceRec {
  std::string name = "P";
  int32_t quantity = 1;
  std::vector<ItemRec> items;
};

// A text item's body: anchor, counted text, the 60-byte font record.
inline std::string TextBody(int32_t x, int32_t y, const std::string& text, const std::string& font60,
                            int32_t storedCount) {
  LeBytes b;
  b.I32(x).I32(y).I32(storedCount).Raw(text).Raw(font60);
  return b.Bytes();
}

struct FlatFile {
  uint32_t magic = kPtnMagicFlat;
  int32_t version = 121;
  uint32_t reserved = 0;
  int32_t scale = 40;
  uint16_t subVersion = 0;
  std::vector<std::string> texts = {"T1", "STYLE", "T3", "T4", "T5"};
  // Old flat magic from version 108 on.
  std::string display1 = "D1";
  std::string display2 = "D2";
  int32_t displayFlag = 7;
  std::vector<std::string> sizes = {"M"};
  std::vector<PieceRec> pieces;
  // The piece-block offset written instead of the true one.
  std::optional<uint32_t> pieceBlockOffset;

  bool LongVertices() const {
    return magic != kPtnMagicOldFlat && version >= kPtnFirstVersionWithAttributeWord;
  }

  std::string Bytes() const {
    LeBytes b;
    b.U32(magic).I32(version);
    if (version >= kPtnFirstVersionWithExtraWord && version < kPtnFirstVersionArchive) b.U32(0x12345678u);
    b.U32(reserved).I32(scale).U16(subVersion).Zeros(kPtnFillerBytes);
    const size_t offsetAt = b.Size();
    b.U32(0);
    b.PatchU32(offsetAt, pieceBlockOffset.value_or(static_cast<uint32_t>(b.Size())));
    const size_t textCount = version >= kPtnFirstVersionWithFifthText ? 5 : 4;
    for (size_t i = 0; i < textCount; ++i) b.Str(texts[i]);
    if (magic == kPtnMagicOldFlat && version >= kPtnFirstVersionWithDisplayTexts) {
      b.Str(display1).Str(display2).I32(displayFlag);
    }
    b.I32(static_cast<int32_t>(pieces.size())).I32(static_cast<int32_t>(sizes.size()));
    for (size_t i = 0; i < sizes.size(); ++i) {
      b.Str(sizes[i]).Double(static_cast<double>(i)).Double(0.0).I32(0x10 * static_cast<int32_t>(i + 1));
    }
    for (const PieceRec& piece : pieces) WritePiece(b, piece);
    return b.Bytes();
  }

  void WritePiece(LeBytes& b, const PieceRec& piece) const {
    b.Str(piece.name).Str("annotation").Str("text3");
    if (version >= kPtnFirstVersionQuantityText) {
      b.Str(std::to_string(piece.quantity));
    } else {
      b.I32(piece.quantity);
    }
    b.Str("category").I32(1).I32(2).I32(3).I32(4).I32(5).I32(6).I32(7).I32(8).Double(9.5).I32(10);
    b.I32(static_cast<int32_t>(piece.items.size()));
    for (const ItemRec& item : piece.items) {
      b.I32(item.type);
      if (item.body) {
        b.Raw(*item.body);
        continue;
      }
      if (magic == kPtnMagicOldFlat && version >= kPtnFirstVersionWithLineAttribute &&
          (item.type == 8 || item.type == 9)) {
        b.I32(item.lineAttribute);
      }
      b.I32(static_cast<int32_t>(item.vertices.size()));
      for (const Vertex& v : item.vertices) {
        b.U32(v.flags).I32(v.x).I32(v.y);
        if (LongVertices()) b.U32(v.attributes);
      }
      b.Raw(item.tail);
    }
  }
};

// A square outline of `side` units from (x, y), four key corners.
inline ItemRec SquareOutline(int32_t x, int32_t y, int32_t side) {
  return ItemRec{0, {{0, x, y}, {0, x + side, y}, {0, x + side, y + side}, {0, x, y + side}}};
}

// A small valid file of the current layout: one piece with an outline, an
// open line, a grain line and a text.
inline FlatFile SmallFile() {
  FlatFile file;
  PieceRec piece;
  piece.items.push_back(SquareOutline(0, 0, 4000));
  piece.items.push_back(ItemRec{9, {{0, 500, 500}, {0, 1500, 800}}});
  piece.items.push_back(ItemRec{1, {{0, 2000, 500}, {0, 2000, 3500}}});
  ItemRec text{11};
  text.body = TextBody(1000, 1000, "FRONT", std::string(60, '\0'), 5);
  piece.items.push_back(text);
  file.pieces.push_back(piece);
  return file;
}

// A small valid file of each older layout and record, named for the fuzz
// corpus (fuzz/corpus/ptn_reader), which holds them as written.
inline std::vector<std::pair<std::string, FlatFile>> SeedFiles() {
  std::vector<std::pair<std::string, FlatFile>> seeds;
  auto outlineWithParams = [](int32_t code) {
    ItemRec outline{0};
    const int32_t corners[4][2] = {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}};
    for (const auto& c : corners) {
      outline.vertices.push_back({0, c[0], c[1]});
      outline.vertices.push_back({128, 0x00280050, code});
    }
    return outline;
  };
  FlatFile small = SmallFile();
  small.sizes = {"S", "M"};
  seeds.push_back({"small_121.ptn", small});

  FlatFile old110 = small;
  old110.magic = kPtnMagicOldFlat;
  old110.version = 110;
  old110.pieces[0].items[0] = outlineWithParams(3);
  seeds.push_back({"old_flat_110.ptn", old110});
  FlatFile old115 = old110;
  old115.version = 115;
  old115.pieces[0].items.push_back(ItemRec{8, {{1, 900, 900}, {1, 1900, 900}, {1, 1400, 1900}}, 2});
  seeds.push_back({"old_flat_115.ptn", old115});

  FlatFile v105 = small;
  v105.version = 105;
  v105.pieces[0].items[0] = outlineWithParams(5);
  v105.pieces[0].items.push_back(ItemRec{2, {{0, 100, 100}, {64, 110, 200}, {103, 9, 9}}});
  seeds.push_back({"flat_105.ptn", v105});

  FlatFile v117 = small;
  v117.version = 117;
  v117.subVersion = kPtnSubVersionEncodedCorners;
  v117.pieces[0].items[0] = outlineWithParams((10 << 16) | 13);
  seeds.push_back({"flat_117_1175.ptn", v117});

  FlatFile v120 = small;
  v120.version = 120;
  v120.sizes = {"S", "M", "L"};
  seeds.push_back({"flat_120.ptn", v120});

  FlatFile v122 = small;
  v122.version = 122;
  PieceRec items;
  items.items.push_back(SquareOutline(0, 0, 4000));
  ItemRec marked{26, {{0, 0, 0}, {0, 1000, 1000}}};
  marked.tail = LeBytes().I32(1).I32(2).I32(3).I32(4).I32(5).I32(6).I32(1).U32(0xA02).I32(7).I32(8).I32(0x0103).Bytes();
  items.items.push_back(marked);
  ItemRec dimension{28, {{0, 0, 0}, {0, 4000, 0}, {0, 0, -500}, {0, 4000, -500}}};
  dimension.tail = LeBytes().I32(3).I32(0).I32(0).Str("12.5").Bytes();
  items.items.push_back(dimension);
  ItemRec slot{3, {{0, 100, 100}, {0, 900, 100}}};
  slot.tail = LeBytes().I32(4).I32(200).I32(100).I32(0).I32(60).I32(40).I32(300).Bytes();
  items.items.push_back(slot);
  items.items.push_back(ItemRec{13, {{0x468, 4000, 2000}, {102, 120, 0}, {104, 3900, 2000}}});
  items.items.push_back(ItemRec{6, {{0, 0, 1000}, {0, 400, 1200}, {0, 0, 1400}}});
  v122.pieces.push_back(items);
  seeds.push_back({"flat_122_items.ptn", v122});
  return seeds;
}

}  // namespace ptn_fixture
