// A writer of native pattern files in the archive layout (the parametric
// design with, from data version 150 on, the computed pieces after it), for
// the tests of the design loader.
//
// It is written from the file layout alone and shares nothing with the
// loader: no code, no constant and no table of version gates. A mistake that
// the loader and this writer shared would pass every round trip, so the
// writer itself is pinned against a hand-written byte table
// (archive_writer_test.cpp).
//
// A fixture is described section by section; Bytes() lays the whole file
// out as the chosen data version stores it: every record gets exactly the
// fields that version carries. Appending a size, a size-table row, a measure,
// a graded object or a pattern record returns its stored position, which is
// what other records use to refer to it (-1 is no reference).
//
// The file has no end marker: below version 150 it ends with the last
// pattern record, from 150 on with the last stored piece. A test that wants
// a short or over-long file cuts or extends Bytes() itself.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry_types.h"
#include "tests/support/le_bytes.h"

namespace design_fixture {

// Magic words that open a file of the archive layout. The first two announce
// vertex records without an attribute word in the stored pieces; the last
// two (valid from version 150 on) announce vertex records with one.
inline constexpr uint32_t kMagicB5686E9D = 0xB5686E9D;
inline constexpr uint32_t kMagicB5686E99 = 0xB5686E99;
inline constexpr uint32_t kMagicAAAAAAAA = 0xAAAAAAAA;
inline constexpr uint32_t kMagic99999999 = 0x99999999;

// The data versions at which the layout changes, as this writer knows them.
// Each name says what a file of that version or later has.
inline constexpr int32_t kStatusWordInPoints = 104;         // points store a u16 status
inline constexpr int32_t kSecondFont = 105;                 // header carries the second font
inline constexpr int32_t kFifthName = 109;                  // header carries name5
inline constexpr int32_t kCurveKinds = 109;                 // curves store their curve kind
inline constexpr int32_t kPerSizeFreePoints = 110;          // free points may store per-size points
inline constexpr int32_t kLastVersionWithTextKind5 = 118;   // up to here kind 5 is a text
inline constexpr int32_t kMeasureDisplay = 102;             // measures store valid, mode, offsets
inline constexpr int32_t kOldReservedWordFrom = 122;        // header reserved word, 122..149
inline constexpr int32_t kOldReservedWordTo = 149;
inline constexpr int32_t kStoredPieces = 150;               // computed pieces follow the design
inline constexpr int32_t kItemAttributes = 151;             // items 8 and 9 store attributes
inline constexpr int32_t kRecordWordPair = 152;             // pattern records: two more words
inline constexpr int32_t kRecordDoubles = 153;              // pattern records: two doubles and a word
inline constexpr int32_t kPieceWordPair1 = 154;             // stored pieces: two more words
inline constexpr int32_t kHeaderSecondWord = 155;           // header field 9 has a second word
inline constexpr int32_t kNewReservedWord = 158;            // header reserved word again
inline constexpr int32_t kRecordWord159 = 159;              // pattern records: one more word
inline constexpr int32_t kItem9Reserved = 159;              // stored item 9: a reserved word
inline constexpr int32_t kPieceWordPair2 = 160;             // stored pieces: two more words
inline constexpr int32_t kRecordWord161 = 161;              // pattern records: one more word
inline constexpr int32_t kQuantityAsText = 162;             // quantities stored as text
inline constexpr int32_t kSizeExtraWord = 163;              // exactly 163: an extra int32 per size

// Little-endian archive bytes: the numbers of LeBytes, plus the two string
// forms of the layout and the font record.
class ArchiveBytes {
 public:
  ArchiveBytes& U8(uint8_t v) { le_.U8(v); return *this; }
  ArchiveBytes& U16(uint16_t v) { le_.U16(v); return *this; }
  ArchiveBytes& U32(uint32_t v) { le_.U32(v); return *this; }
  ArchiveBytes& I32(int32_t v) { le_.I32(v); return *this; }
  ArchiveBytes& Double(double v) { le_.Double(v); return *this; }
  ArchiveBytes& Raw(std::string_view bytes) { le_.Raw(bytes); return *this; }
  ArchiveBytes& Point(int32_t x, int32_t y) { return I32(x).I32(y); }

  // The framework's string: a one-byte length below 0xFF; else 0xFF and a
  // 16-bit length below 0xFFFF; else 0xFF, 0xFFFF and a 32-bit length. The
  // bytes follow with no terminator.
  ArchiveBytes& CStr(std::string_view text) {
    const size_t n = text.size();
    if (n < 0xFF) {
      U8(static_cast<uint8_t>(n));
    } else if (n < 0xFFFF) {
      U8(0xFF).U16(static_cast<uint16_t>(n));
    } else {
      U8(0xFF).U16(0xFFFF).U32(static_cast<uint32_t>(n));
    }
    return Raw(text);
  }

  // The stored pieces' string: an int32 length, then the bytes.
  ArchiveBytes& Counted(std::string_view text) {
    le_.Str(text);
    return *this;
  }

  const std::string& Bytes() const { return le_.Bytes(); }
  size_t Size() const { return le_.Size(); }

 private:
  LeBytes le_;
};

// A font as the archive stores it: five int32, eight bytes, then the face
// name as a framework string (any length, so that a test can store a name
// that does not fit a LOGFONT).
struct ArchiveFont {
  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strike_out = 0;
  uint8_t char_set = 0;
  uint8_t out_precision = 0;
  uint8_t clip_precision = 0;
  uint8_t quality = 0;
  uint8_t pitch_and_family = 0;
  std::string face;

  // The fields of a LOGFONT; its face name up to its terminator (at most 32).
  static ArchiveFont From(const LOGFONT& f) {
    ArchiveFont a;
    a.height = f.lfHeight;
    a.width = f.lfWidth;
    a.escapement = f.lfEscapement;
    a.orientation = f.lfOrientation;
    a.weight = f.lfWeight;
    a.italic = f.lfItalic;
    a.underline = f.lfUnderline;
    a.strike_out = f.lfStrikeOut;
    a.char_set = f.lfCharSet;
    a.out_precision = f.lfOutPrecision;
    a.clip_precision = f.lfClipPrecision;
    a.quality = f.lfQuality;
    a.pitch_and_family = f.lfPitchAndFamily;
    size_t n = 0;
    while (n < sizeof f.lfFaceName && f.lfFaceName[n] != '\0') ++n;
    a.face.assign(f.lfFaceName, n);
    return a;
  }

  void WriteTo(ArchiveBytes& out) const {
    out.I32(height).I32(width).I32(escapement).I32(orientation).I32(weight);
    out.U8(italic).U8(underline).U8(strike_out).U8(char_set);
    out.U8(out_precision).U8(clip_precision).U8(quality).U8(pitch_and_family);
    out.CStr(face);
  }
};

// The header's values; the reserved fields are written as zeros, except the
// reserved byte block, which a test may fill.
struct ArchiveHeader {
  uint32_t magic = kMagicB5686E9D;
  int32_t mode = 0;
  int32_t scale = 10;
  // The first scale word of version 150 and later; the loader keeps the
  // second one. Unset: the same as `scale`.
  std::optional<int32_t> first_scale;
  std::string names[5];
  std::string reserved_block;
  ArchiveFont label_font;
  ArchiveFont second_font;
};

// One size of the design. `extra` is stored only in files of version 163.
struct SizeFields {
  std::string name;
  uint16_t color_index = 0;
  int32_t extra = 0;
};

// One measure. The display fields are stored from version 102 on.
struct MeasureFields {
  std::string name;
  int32_t kind = 1;
  int32_t refs[3] = {-1, -1, -1};
  int32_t valid = 1;
  int32_t text_mode = 4;
  int32_t offset = 100;
  int32_t label_x = 0;
  int32_t label_y = 0;
};

// A free point (kind 1, or 20 for a curve's vertex point).
struct FreePointFields {
  int32_t x = 0;
  int32_t y = 0;
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t point_kind = 1;
  // Stored from version 110 on when the design's mode is 2.
  uint32_t compute_all = 1;
  // With compute_all 0: one position per size, in size order (missing ones
  // are written as (0, 0), extra ones are dropped). The point is laid out
  // when it is added, so the sizes must be added before it.
  std::vector<std::pair<int32_t, int32_t>> per_size;
};

// One term of a formula record; indices are positions in the size-table row
// and measure lists (-1 for none).
struct FormulaTermFields {
  int32_t sign = 1;
  int32_t row = -1;
  int32_t measure = -1;
  int32_t multiply = 1;
  double numerator = 1.0;
  double denominator = 1.0;
};

// A formula record: its terms, then offset, divisor, factor and constant.
struct FormulaFields {
  std::vector<FormulaTermFields> terms;
  int32_t offset = 0;
  double divisor = 1.0;
  double factor = 1.0;
  int32_t constant = 0;

  // A formula of a constant only.
  static FormulaFields Constant(int32_t value) {
    FormulaFields f;
    f.constant = value;
    return f;
  }

  std::string Bytes() const {
    ArchiveBytes out;
    out.I32(static_cast<int32_t>(terms.size()));
    for (const FormulaTermFields& t : terms) {
      out.I32(t.sign).I32(t.row).I32(t.measure).I32(t.multiply).Double(t.numerator).Double(t.denominator);
    }
    out.I32(offset).Double(divisor).Double(factor).I32(constant);
    return out.Bytes();
  }
};

// A dimension label record (60 bytes).
struct LabelFields {
  uint32_t mode = 0;
  uint32_t orientation = 4;
  int32_t offset = 400;
  int32_t text_x = 0;
  int32_t text_y = 0;
  uint32_t parts = 0;
  double lines[4] = {};
  uint32_t visible = 0;

  std::string Bytes() const {
    ArchiveBytes out;
    out.U32(mode).U32(orientation).I32(offset).Point(text_x, text_y).U32(parts);
    for (double v : lines) out.Double(v);
    out.U32(visible);
    return out.Bytes();
  }
};

// A design element of a pattern record: the loader's envelope (type code
// and, for types 32, 64 and 1024, a subtype) around the element's own record,
// given as bytes.
struct ElementFields {
  int32_t type = 1;
  int32_t subtype = 0;
  std::string body;
  // The two words in front of the type from version 150 on.
  uint32_t lead_word = 0;
  int32_t lead_int = 0;
};

// One pattern record (a design piece).
struct PatternRecordFields {
  std::string name;
  std::string annotation;
  std::string text3;
  int32_t quantity = 1;
  // From version 162 the quantity is text; unset: the digits of `quantity`.
  std::optional<std::string> quantity_text;
  std::string category;
  int32_t p1x = 0, p1y = 0, p2x = 0, p2y = 0;
  int32_t option1 = 0;
  int32_t option2 = 2;
  int32_t flag = 0;
  int32_t option3 = 0;
  double double_value = 0.0;
  int32_t option4 = 0;
  int32_t ref_point = -1;
  std::vector<ElementFields> elements;
};

// A size of the stored pieces' size ring.
struct StoredSizeFields {
  std::string name;
  double key1 = 0.0;
  double key2 = 0.0;
  uint32_t color = 0;
};

// A vertex of a stored piece item. The attribute word is stored only under
// the magic words 0xAAAAAAAA and 0x99999999.
struct StoredVertex {
  int32_t flags = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t attributes = 0;
  uint32_t reserved = 0;
};

// A drawable item of a stored piece. Which of the fields are stored follows
// from the stored type code and the version.
struct StoredItemFields {
  int32_t code = 0;
  int32_t attributes = 0;  // codes 8 and 9, from version 151
  int32_t reserved9 = 0;   // code 9, from version 159
  int32_t reserved = 0;    // every code
  std::vector<StoredVertex> vertices;  // every code but 11
  // Code 11: the text body.
  int32_t text_x = 0, text_y = 0;
  std::string text;
  ArchiveFont font;
  // Code 3: seven int32 in stored order.
  int32_t tail3[7] = {};
  // Code 26: three words per stored size, a flag with an optional extra
  // vertex (flags, x, y) and a last int32.
  std::vector<std::array<uint32_t, 3>> per_size26;
  std::optional<StoredVertex> extra26;
  int32_t flag26 = 0;  // stored flag; a non-zero flag needs extra26
  int32_t last26 = 0;
  // Code 28: three int32 and a counted string.
  int32_t ints28[3] = {};
  std::string text28;
};

// One stored (computed) piece of version 150 and later.
struct StoredPieceFields {
  std::string strings[3];
  int32_t piece_integer = 1;
  // From version 162 the piece integer is text; unset: its digits.
  std::optional<std::string> piece_integer_text;
  std::string fourth;
  double d1 = 0.0, d2 = 0.0;
  int32_t i1 = 0;
  int32_t corner_mode = 2;  // the second int32: 0 to 3 kept, others read as 2
  int32_t i3 = 0, i4 = 0;
  double d3 = 0.0;
  uint32_t u1 = 0;
  std::vector<StoredItemFields> items;
};

// Objects already in a fixture that a sample point of any kind can refer to:
// positions of points, two-point lines, curves and one text (-1 where the
// fixture has none of that kind).
struct SampleRefs {
  int points[4] = {-1, -1, -1, -1};
  int lines[2] = {-1, -1};
  int curves[2] = {-1, -1};
  int text = -1;
  uint32_t state = 1;  // the sample's own state: 1 shown, 0 hidden
};

// What a sample point's loader must report: the positions its references
// resolve to, in field order (-1 for a field that resolves to none).
using ExpectedReferences = std::vector<int>;

class DesignArchiveWriter {
 public:
  explicit DesignArchiveWriter(int32_t version) : version_(version) {}

  int32_t version() const { return version_; }
  ArchiveHeader& header() { return header_; }

  int AddSize(SizeFields size) { return Append(sizes_, std::move(size)); }
  void SetBaseSize(int32_t index) { base_size_ = index; }
  // The number of sizes added so far: records stored once per size need it.
  int32_t SizeCount() const { return Count(sizes_); }
  int AddSizeRow(std::string name, std::vector<uint32_t> values) {
    return Append(rows_, Row{std::move(name), std::move(values)});
  }
  int AddMeasure(MeasureFields measure) { return Append(measures_, std::move(measure)); }

  // A graded object around a given record body: `kind` 1 (point, `subkind`
  // its point kind), 2 (line), 4 (curve, `subkind` its curve kind, stored
  // from version 109 on), 8 (text; 5 up to version 118).
  int AddObject(int32_t kind, int32_t subkind, std::string body) {
    ArchiveBytes out;
    out.I32(kind);
    if (kind == 1 || (kind == 4 && version_ >= kCurveKinds)) out.I32(subkind);
    out.Raw(body);
    return Append(objects_, out.Bytes());
  }
  // An object record written exactly as given after the two leading words of
  // version 150 on (kind included): for kinds the loader does not know.
  int AddRawObject(std::string record) { return Append(objects_, std::move(record)); }

  // The part that every point record starts with: state, then the status
  // word from version 104 on. (Point kinds that first appeared after 103
  // store the status always; their tests write that part themselves.)
  std::string PointBase(uint32_t state, uint16_t status) const {
    ArchiveBytes out;
    out.U32(state);
    if (version_ >= kStatusWordInPoints) out.U16(status);
    return out.Bytes();
  }

  int AddFreePoint(const FreePointFields& p) {
    ArchiveBytes out;
    out.Raw(PointBase(p.state, p.status)).Point(p.x, p.y);
    if (version_ >= kPerSizeFreePoints && header_.mode == 2) {
      out.U32(p.compute_all);
      if (p.compute_all == 0) {
        for (size_t i = 0; i < sizes_.size(); ++i) {
          if (i < p.per_size.size()) {
            out.Point(p.per_size[i].first, p.per_size[i].second);
          } else {
            out.Point(0, 0);
          }
        }
      }
    }
    return AddObject(1, p.point_kind, out.Bytes());
  }
  int AddFreePoint(int32_t x, int32_t y) {
    FreePointFields p;
    p.x = x;
    p.y = y;
    return AddFreePoint(p);
  }

  // A text object: kind 8 (or 5, a text up to version 118).
  int AddText(int32_t x, int32_t y, std::string_view text, const ArchiveFont& font,
              uint32_t state = 1, uint16_t status = 0, int32_t kind = 8) {
    ArchiveBytes out;
    out.U32(state).U16(status).Point(x, y).CStr(text);
    font.WriteTo(out);
    return AddObject(kind, 0, out.Bytes());
  }

  int AddRecord(PatternRecordFields record) { return Append(records_, std::move(record)); }
  PatternRecordFields& Record(int index) { return records_.at(static_cast<size_t>(index)); }

  // The stored pieces, written from version 150 on. Their style header is
  // the design header's scale and names unless a test sets other ones.
  int AddStoredSize(StoredSizeFields size) { return Append(stored_sizes_, std::move(size)); }
  int AddStoredPiece(StoredPieceFields piece) { return Append(pieces_, std::move(piece)); }
  std::optional<int32_t>& stored_scale() { return stored_scale_; }
  std::optional<std::string>& stored_name(int i) { return stored_names_[i]; }

  // The whole file.
  std::string Bytes() const {
    ArchiveBytes out;
    WriteHeader(out);
    WriteSizes(out);
    out.I32(base_size_);
    out.I32(Count(rows_));
    for (const Row& row : rows_) {
      out.CStr(row.name);
      for (size_t i = 0; i < sizes_.size(); ++i) out.U32(i < row.values.size() ? row.values[i] : 0);
    }
    out.I32(Count(measures_));
    for (const MeasureFields& m : measures_) WriteMeasure(out, m);
    out.I32(Count(objects_));
    for (const std::string& record : objects_) {
      if (version_ >= kStoredPieces) out.U32(0).I32(0);
      out.Raw(record);
    }
    out.I32(Count(records_));
    for (const PatternRecordFields& r : records_) WriteRecord(out, r);
    if (version_ >= kStoredPieces) WriteStoredPieces(out);
    return out.Bytes();
  }

 private:
  struct Row {
    std::string name;
    std::vector<uint32_t> values;
  };

  template <typename T>
  static int Append(std::vector<T>& list, T item) {
    list.push_back(std::move(item));
    return static_cast<int>(list.size()) - 1;
  }
  template <typename T>
  static int32_t Count(const std::vector<T>& list) {
    return static_cast<int32_t>(list.size());
  }

  void WriteHeader(ArchiveBytes& out) const {
    out.U32(header_.magic).I32(version_);
    if (version_ >= kNewReservedWord ||
        (version_ >= kOldReservedWordFrom && version_ <= kOldReservedWordTo)) {
      out.U32(0);
    }
    out.I32(header_.mode);
    if (version_ >= kStoredPieces) out.I32(header_.first_scale.value_or(header_.scale));
    out.U16(0);
    for (int i = 0; i < 17; ++i) out.U32(0);
    out.I32(static_cast<int32_t>(header_.reserved_block.size())).Raw(header_.reserved_block);
    if (version_ >= kStoredPieces) {
      out.U32(0);
      if (version_ >= kHeaderSecondWord) out.U32(0);
      out.I32(0).I32(0);
    }
    out.I32(header_.scale);
    for (int i = 0; i < 4; ++i) out.CStr(header_.names[i]);
    if (version_ >= kFifthName) out.CStr(header_.names[4]);
    header_.label_font.WriteTo(out);
    if (version_ >= kSecondFont) header_.second_font.WriteTo(out);
  }

  void WriteSizes(ArchiveBytes& out) const {
    out.I32(Count(sizes_));
    for (const SizeFields& s : sizes_) {
      out.CStr(s.name).U16(s.color_index);
      if (version_ == kSizeExtraWord) out.I32(s.extra);
    }
  }

  void WriteMeasure(ArchiveBytes& out, const MeasureFields& m) const {
    out.CStr(m.name).I32(m.kind).I32(m.refs[0]).I32(m.refs[1]).I32(m.refs[2]);
    if (version_ >= kMeasureDisplay) {
      out.I32(m.valid).I32(m.text_mode).I32(m.offset).Point(m.label_x, m.label_y);
    }
  }

  void WriteRecord(ArchiveBytes& out, const PatternRecordFields& r) const {
    if (version_ >= kStoredPieces) out.U32(0);
    if (version_ >= kRecordWordPair) out.U32(0).U32(0);
    if (version_ >= kRecordDoubles) out.Double(0.0).Double(0.0).U32(0);
    if (version_ >= kRecordWord159) out.I32(0);
    if (version_ >= kRecordWord161) out.I32(0);
    out.CStr(r.name).CStr(r.annotation).CStr(r.text3);
    if (version_ >= kQuantityAsText) {
      out.CStr(r.quantity_text.value_or(std::to_string(r.quantity)));
    } else {
      out.I32(r.quantity);
    }
    out.CStr(r.category).Point(r.p1x, r.p1y).Point(r.p2x, r.p2y);
    out.I32(r.option1).I32(r.option2).I32(r.flag).I32(r.option3);
    out.Double(r.double_value).I32(r.option4).I32(0).I32(r.ref_point);
    out.I32(Count(r.elements));
    for (const ElementFields& e : r.elements) {
      if (version_ >= kStoredPieces) out.U32(e.lead_word).I32(e.lead_int);
      out.I32(e.type);
      if (e.type == 32 || e.type == 64 || e.type == 1024) out.I32(e.subtype);
      out.Raw(e.body);
    }
  }

  void WriteStoredPieces(ArchiveBytes& out) const {
    out.I32(stored_scale_.value_or(header_.scale));
    for (int i = 0; i < 5; ++i) out.CStr(stored_names_[i].value_or(header_.names[i]));
    out.I32(Count(pieces_)).I32(Count(stored_sizes_));
    for (const StoredSizeFields& s : stored_sizes_) {
      out.CStr(s.name).Double(s.key1).Double(s.key2).U32(s.color);
    }
    for (const StoredPieceFields& p : pieces_) WritePiece(out, p);
  }

  void WritePiece(ArchiveBytes& out, const StoredPieceFields& p) const {
    out.U32(0).I32(0).I32(0).I32(0).U32(0).I32(0).I32(0);
    if (version_ >= kPieceWordPair1) out.U32(0).U32(0);
    if (version_ >= kPieceWordPair2) out.U32(0).U32(0);
    out.Counted(p.strings[0]).Counted(p.strings[1]).Counted(p.strings[2]);
    if (version_ >= kQuantityAsText) {
      out.Counted(p.piece_integer_text.value_or(std::to_string(p.piece_integer)));
    } else {
      out.I32(p.piece_integer);
    }
    out.Counted(p.fourth);
    out.Double(p.d1).Double(p.d2).I32(p.i1).I32(p.corner_mode).I32(p.i3).I32(p.i4);
    out.Double(p.d3).U32(p.u1);
    out.I32(Count(p.items));
    for (const StoredItemFields& item : p.items) WriteItem(out, item);
  }

  bool VerticesHaveAttributes() const {
    return header_.magic == kMagicAAAAAAAA || header_.magic == kMagic99999999;
  }

  void WriteItem(ArchiveBytes& out, const StoredItemFields& item) const {
    out.I32(item.code);
    if ((item.code == 8 || item.code == 9) && version_ >= kItemAttributes) out.I32(item.attributes);
    if (item.code == 9 && version_ >= kItem9Reserved) out.I32(item.reserved9);
    out.I32(item.reserved);
    if (item.code == 11) {
      out.Point(item.text_x, item.text_y).Counted(item.text);
      item.font.WriteTo(out);
      return;
    }
    out.I32(Count(item.vertices));
    for (const StoredVertex& v : item.vertices) {
      out.I32(v.flags).Point(v.x, v.y);
      if (VerticesHaveAttributes()) out.I32(v.attributes);
      out.U32(v.reserved);
    }
    if (item.code == 26) {
      for (size_t i = 0; i < stored_sizes_.size(); ++i) {
        const std::array<uint32_t, 3> words =
            i < item.per_size26.size() ? item.per_size26[i] : std::array<uint32_t, 3>{};
        out.U32(words[0]).U32(words[1]).U32(words[2]);
      }
      out.I32(item.flag26);
      if (item.flag26 != 0) {
        const StoredVertex v = item.extra26.value_or(StoredVertex{});
        out.I32(v.flags).Point(v.x, v.y);
      }
      out.I32(item.last26);
    } else if (item.code == 28) {
      out.I32(item.ints28[0]).I32(item.ints28[1]).I32(item.ints28[2]).Counted(item.text28);
    } else if (item.code == 3) {
      for (int32_t v : item.tail3) out.I32(v);
    }
  }

  int32_t version_;
  ArchiveHeader header_;
  std::vector<SizeFields> sizes_;
  int32_t base_size_ = 0;
  std::vector<Row> rows_;
  std::vector<MeasureFields> measures_;
  std::vector<std::string> objects_;
  std::vector<PatternRecordFields> records_;
  std::optional<int32_t> stored_scale_;
  std::optional<std::string> stored_names_[5];
  std::vector<StoredSizeFields> stored_sizes_;
  std::vector<StoredPieceFields> pieces_;
};

}  // namespace design_fixture
