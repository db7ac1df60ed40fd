#include "formats/aama_reader.h"

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/aama_open_dlg.h"
#include "formats/aama_piece.h"
#include "formats/aama_rules.h"
#include "formats/dxf_pairs.h"
#include "formats/read_report.h"
#include "formats/staged_read.h"
#include "model/geometry.h"
#include "design/geometry/measure.h"
#include "model/item_factory.h"
#include "model/item_types.h"
#include "model/items/curve_item.h"
#include "model/items/text_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "platform/numbers.h"
#include "platform/progress.h"
#include "res/resources.h"

namespace {

constexpr UINT kMsgFileMissing = 40002;
constexpr UINT kMsgDataError = 40004;
constexpr UINT kMsgNotAama = 40007;

// The status bar's progress bar while a file is read.
constexpr int kProgressSteps = 1000;
constexpr int kProgressStart = 10;
constexpr int kProgressLinesPerRange = 5000;
constexpr UINT kMsgFileIncomplete = 40015;

// Authors whose polylines carry their boundary and vertex kinds in 999 comments.
bool UsesKindComments(int author) { return author == 8 || author == 11 || author == 12; }
constexpr int kAuthorScanvec = 3;

using Pair = std::pair<int, CString>;

bool StartsWithNoCase(const CString& text, std::string_view word) {
  return text.GetLength() >= static_cast<int>(word.size()) &&
         CompareNoCase(text.view().substr(0, word.size()), word) == 0;
}

// The text after the first colon, or the whole text when there is none.
CString AfterColon(const CString& text) {
  const int colon = text.Find(':');
  return colon < 0 ? text : text.Mid(colon + 1);
}

CString Trimmed(CString text) {
  text.Trim();
  return text;
}

// Puts the style's size count back after an append read that held it at one
// while its pieces were built, whatever way the read ends.
class SizeCountHold {
 public:
  void Hold() {
    saved_ = g_Style.SizeCount;
    g_Style.SizeCount = 1;
  }
  void Restore() {
    if (saved_ < 0) return;
    g_Style.SizeCount = g_Style.SizeRing ? saved_ : 0;
    saved_ = -1;
  }
  ~SizeCountHold() { Restore(); }

 private:
  int saved_ = -1;
};

// Called with the report of a data error before the style is emptied, so
// that the open command shows its message while the style is as the read
// left it.
using DataErrorNotice = std::function<void(const AamaReadReport&)>;

// One read of one file, into g_Style.
class AamaFileReader {
 public:
  AamaFileReader(std::string_view dxf, std::optional<std::string_view> rules, const AamaReadOptions& options,
                 DataErrorNotice notice)
      : dxf_(dxf), rules_(rules), append_(options.append), options_(options), notice_(std::move(notice)) {}

  AamaReadReport Run();

 private:
  enum class EntityEnd { kRead, kTruncated };

  // An entity that lacks a group it needs, or whose group is not directly
  // followed by its partner (a 10 without its 20), is dropped; when the file
  // ended inside it, the file was cut short.
  static EntityEnd Incomplete(bool ended) { return ended ? EntityEnd::kTruncated : EntityEnd::kRead; }

  DxfPairReader::Status Next() {
    if (unread_) {
      unread_ = false;
      return DxfPairReader::Status::kPair;
    }
    return in_.Next();
  }
  // The pair just read is read again by the next Next().
  void Unread() { unread_ = true; }

  // The pairs of the current entity up to (not including) the next code 0,
  // which is left for the caller. `ended` tells that the file ended (or
  // could no longer be read) first. The pairs stay until the next call: one
  // vector serves every entity of the file.
  const std::vector<Pair>& GatherEntity(bool& ended);

  // A coordinate or radius of the file scaled to model units. A value that
  // is no number, or is not finite or beyond what the model holds once
  // scaled, marks the entity bad: the read fails after it (0 stands in).
  double Scaled(const CString& value) {
    const std::optional<double> number = ParseWholeNumber(value.view());
    if (!number || !ModelUnits(*number * scale_)) {
      badNumber_ = true;
      return 0.0;
    }
    return *number * scale_;
  }
  int32_t Coord(const CString& value) { return Checked(Scaled(value)); }
  // A position already in model units as the model holds it.
  int32_t Checked(double scaled) {
    const std::optional<int32_t> units = ModelUnits(scaled);
    if (!units) badNumber_ = true;
    return units.value_or(0);
  }

  void Begin();
  void PreScan();
  bool SkipToFirstSection();
  std::optional<AamaReadReport> ReadBlocks();
  AamaReadReport GradeNewPieces();
  EntityEnd ReadLine();
  EntityEnd ReadCircle();
  EntityEnd ReadArc();
  EntityEnd ReadText();
  EntityEnd ReadPoint();
  // The header groups of a POLYLINE up to its first VERTEX: the item type the
  // polyline makes (outline, closed or open line). None when it has no vertex
  // (`end` kRead: it gives nothing) or the file ends first (`end` kTruncated).
  std::optional<int32_t> ReadPolylineHeader(EntityEnd& end);
  EntityEnd ReadPolyline();
  void AddCurveItem(CPieceItem* item);
  void HeaderOrTextItem(int32_t x, int32_t y, const CString& text);
  // Takes the value of a BLOCK's group 2: the name its piece gets when no
  // "Piece" text names it. A layout or anonymous block ("*...") is passed
  // over whole.
  void NameBlock(const CString& name);
  void StraightenUnmarkedPolylines();
  void CompleteCurrentPiece();
  void FinishAtEndOfFile();
  AamaReadReport Refused(const char* reason);
  AamaReadReport DataError(AamaReadReport stop);
  void NewCurrentPiece() { current_ = std::make_unique<CPieceRecord>(); }
  CPieceItem* ItemOfType(int32_t type, bool make);

  std::string_view dxf_;
  std::optional<std::string_view> rules_;
  bool append_ = false;
  DxfPairReader in_;
  bool unread_ = false;
  std::vector<Pair> entity_;  // GatherEntity's pairs
  // An entity held a coordinate that is no number or out of range.
  bool badNumber_ = false;
  // Whether the file's EOF marker was reached, and whether a SECTION is
  // open (no ENDSEC yet).
  bool sawEof_ = false;
  bool inSection_ = false;
  AamaReadOptions options_;
  DataErrorNotice notice_;
  double scale_ = 1.0;
  int author_ = 0;
  int priorCount_ = 0;
  CString sampleSize_;
  std::unique_ptr<CPieceRecord> current_;
  // The block being read: its name, whether its name is still to come (the
  // BLOCK's groups are being read), and whether it is passed over.
  CString blockName_;
  bool awaitingBlockName_ = false;
  bool skippingBlock_ = false;
  // Whether a "Piece" text named the current piece, and how many drawable
  // entities it holds: a block with none makes no piece.
  bool pieceNamed_ = false;
  int drawables_ = 0;
  // Polylines of the current piece whose vertices took the curve kind only
  // because nothing marked them: no 999 comment and no bulge.
  std::vector<CPieceItem*> unmarkedPolylines_;
  SizeCountHold sizeHold_;
  int lines_ = 0;  // of the file, counted by the pre-scan
  std::optional<CStatusProgress> progress_;
};

const std::vector<Pair>& AamaFileReader::GatherEntity(bool& ended) {
  std::vector<Pair>& pairs = entity_;
  pairs.clear();
  ended = false;
  // A bound on one entity's groups: more than this is no pattern file.
  constexpr size_t kMaxGroups = 1u << 16;
  while (true) {
    if (Next() != DxfPairReader::Status::kPair) {
      ended = true;
      return pairs;
    }
    if (in_.Code() == 0) {
      Unread();
      return pairs;
    }
    if (pairs.size() < kMaxGroups) pairs.emplace_back(in_.Code(), in_.Value());
  }
}

// Index of the first pair with `code`, or -1.
int FindGroup(const std::vector<Pair>& pairs, int code) {
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (pairs[i].first == code) return static_cast<int>(i);
  }
  return -1;
}

// Whether the pair after `index` has `code`.
bool Follows(const std::vector<Pair>& pairs, int index, int code) {
  return index >= 0 && static_cast<size_t>(index) + 1 < pairs.size() && pairs[static_cast<size_t>(index) + 1].first == code;
}

// What a group search found: the group, none (the entity lacks it, which is
// a truncation when the file ended inside it), or a group not followed by
// its partner (a malformed entity, dropped).
enum class Found { kYes, kMissing, kMalformed };

Found PointGroup(const std::vector<Pair>& pairs, int xCode, int yCode, int& index) {
  index = FindGroup(pairs, xCode);
  if (index < 0) return Found::kMissing;
  return Follows(pairs, index, yCode) ? Found::kYes : Found::kMalformed;
}

void AamaFileReader::PreScan() {
  DxfPairReader scan;
  scan.OpenBytes(dxf_);
  while (scan.Next() == DxfPairReader::Status::kPair) {
    const CString& value = scan.Value();
    if (StartsWithNoCase(value, "UNITS")) {
      const double perMm = g_Style.GetScale();
      scale_ = Trimmed(AfterColon(value)).CompareNoCase("METRIC") == 0 ? perMm : perMm * 25.4;
      scale_ *= AamaScaleFactor(options_.scaleText);
    } else if (StartsWithNoCase(value, "Author")) {
      author_ = AamaAuthorCode(value);
    }
  }
  lines_ = scan.StopLine();
}

CPieceItem* AamaFileReader::ItemOfType(int32_t type, bool make) {
  CPieceItem* item = nullptr;
  if (current_->FindItem(type, &item)) return item;
  if (!make) return nullptr;
  std::unique_ptr<CPieceItem> made = CreatePieceItem(type);
  item = made.get();
  current_->AddItem(made.release());
  return item;
}

void AamaFileReader::AddCurveItem(CPieceItem* item) {
  if (auto* curve = dynamic_cast<CPieceCurveItem*>(item)) curve->SmoothCurves();
  current_->AddItem(item);
}

AamaFileReader::EntityEnd AamaFileReader::ReadLine() {
  bool ended = false;
  const std::vector<Pair>& pairs = GatherEntity(ended);
  int p1 = -1;
  int p2 = -1;
  const Found f1 = PointGroup(pairs, 10, 20, p1);
  const Found f2 = PointGroup(pairs, 11, 21, p2);
  if (f1 != Found::kYes || f2 != Found::kYes) return Incomplete(ended);
  const int layerAt = FindGroup(pairs, 8);
  const int layer = layerAt < 0 ? 0 : ParseInt(pairs[static_cast<size_t>(layerAt)].second.view());
  std::unique_ptr<CPieceItem> item;
  if (layer == 7) {
    item = CreatePieceItem(kItemTypeGrainLine);
  } else {
    item = CreatePieceItem(kItemTypeOpenLine);
    item->Tag = layer == 5 ? static_cast<int32_t>(kAamaGradeReferenceAttribute)
                           : layer == 6 ? static_cast<int32_t>(kAamaMirrorLineAttribute) : 0;
  }
  const size_t i1 = static_cast<size_t>(p1);
  const size_t i2 = static_cast<size_t>(p2);
  item->AddTailVertex(Coord(pairs[i1].second), Coord(pairs[i1 + 1].second), kVertexKindKeyCorner);
  item->AddTailVertex(Coord(pairs[i2].second), Coord(pairs[i2 + 1].second), kVertexKindKeyCorner);
  AddCurveItem(item.release());
  return EntityEnd::kRead;
}

AamaFileReader::EntityEnd AamaFileReader::ReadCircle() {
  bool ended = false;
  const std::vector<Pair>& pairs = GatherEntity(ended);
  int c = -1;
  const Found fc = PointGroup(pairs, 10, 20, c);
  const int r = FindGroup(pairs, 40);
  if (fc != Found::kYes || r < 0) return Incomplete(ended);
  std::unique_ptr<CPieceItem> item = CreatePieceItem(kItemTypeCircles);
  const size_t ic = static_cast<size_t>(c);
  item->AddTailVertex(Coord(pairs[ic].second), Coord(pairs[ic + 1].second), kVertexKindKeyCorner);
  item->AddTailVertex(Coord(pairs[static_cast<size_t>(r)].second), 0, kVertexKindSkipRun);
  current_->AddItem(item.release());
  return EntityEnd::kRead;
}

AamaFileReader::EntityEnd AamaFileReader::ReadArc() {
  bool ended = false;
  const std::vector<Pair>& pairs = GatherEntity(ended);
  int c = -1;
  int a = -1;
  const Found fc = PointGroup(pairs, 10, 20, c);
  const Found fa = PointGroup(pairs, 50, 51, a);
  const int r = FindGroup(pairs, 40);
  if (fc != Found::kYes || fa != Found::kYes || r < 0) return Incomplete(ended);
  const size_t ic = static_cast<size_t>(c);
  const size_t ia = static_cast<size_t>(a);
  const double cx = Scaled(pairs[ic].second);
  const double cy = Scaled(pairs[ic + 1].second);
  const int32_t radius = Coord(pairs[static_cast<size_t>(r)].second);
  double a0 = ParseDouble(pairs[ia].second.view());
  double a1 = ParseDouble(pairs[ia + 1].second.view());
  if (!std::isfinite(a0) || !std::isfinite(a1)) a0 = a1 = 0.0;
  const double sweep = a0 <= a1 ? a1 - a0 : 360.0 - a0 + a1;
  const double step = sweep / 4.0;
  std::unique_ptr<CPieceItem> item = CreatePieceItem(kItemTypeOpenLine);
  for (int i = 0; i <= 4; ++i) {
    const double angle = (a0 + i * step) * kPiExact / 180.0;
    int rx = 0;
    int ry = 0;
    RotatePoint(radius, 0, 0, 0, std::sin(angle), std::cos(angle), &rx, &ry);
    item->AddTailVertex(Checked(cx + rx), Checked(cy + ry), kVertexKindCurve);
  }
  item->VertexHead->Flags = kVertexKindKeyCorner;
  item->VertexHead->Prev->Flags = kVertexKindKeyCorner;
  AddCurveItem(item.release());
  return EntityEnd::kRead;
}

void AamaFileReader::HeaderOrTextItem(int32_t x, int32_t y, const CString& text) {
  const CString value = AfterColon(text);
  if (StartsWithNoCase(text, "Piece")) {
    current_->PieceName = Trimmed(value);
    pieceNamed_ = true;
  } else if (StartsWithNoCase(text, "Size")) {
    current_->Annotation = Trimmed(value);
  } else if (StartsWithNoCase(text, "Sample Size") || StartsWithNoCase(text, "Sample_Size")) {
    sampleSize_ = Trimmed(value);
  } else if (StartsWithNoCase(text, "STYLE NAME") || StartsWithNoCase(text, "STYLE_NAME")) {
    g_Style.StyleName = Trimmed(value);
  } else if (StartsWithNoCase(text, "AUTHOR") || StartsWithNoCase(text, "CREATION")) {
    if (priorCount_ == 0) g_Style.HeaderText4 += value + " ";
  } else if (StartsWithNoCase(text, "UNITS")) {
    if (priorCount_ == 0) g_Style.HeaderText4 += text + " ";
  } else if (StartsWithNoCase(text, "QUANTITY")) {
    current_->Quantity = ParseInt(value.view());
  } else {
    std::unique_ptr<CPieceItem> made = CreatePieceItem(kItemTypeText);
    auto* item = static_cast<CPieceItem11*>(made.get());
    item->AnchorX = x;
    item->AnchorY = y;
    item->Text = StartsWithNoCase(text, "COMMENT") ? Trimmed(value) : text;
    current_->AddItem(made.release());
  }
}

AamaFileReader::EntityEnd AamaFileReader::ReadText() {
  bool ended = false;
  const std::vector<Pair>& pairs = GatherEntity(ended);
  int p = -1;
  const Found fp = PointGroup(pairs, 10, 20, p);
  const int t = FindGroup(pairs, 1);
  if (fp != Found::kYes || t < 0) return Incomplete(ended);
  const size_t ip = static_cast<size_t>(p);
  HeaderOrTextItem(Coord(pairs[ip].second), Coord(pairs[ip + 1].second),
                   Trimmed(pairs[static_cast<size_t>(t)].second));
  return EntityEnd::kRead;
}

AamaFileReader::EntityEnd AamaFileReader::ReadPoint() {
  bool ended = false;
  const std::vector<Pair>& pairs = GatherEntity(ended);
  int p = -1;
  const Found fp = PointGroup(pairs, 10, 20, p);
  if (fp != Found::kYes) return Incomplete(ended);
  // The point layer tells curve points (3) and notches (4) from turn points.
  int kind = kVertexKindKeyCorner;
  bool notch = false;
  const int layerAt = FindGroup(pairs, 8);
  if (layerAt >= 0 && layerAt < p) {
    const int layer = ParseInt(pairs[static_cast<size_t>(layerAt)].second.view());
    if (layer == 3) kind = options_.allGradePoints ? kVertexKindKeySmooth : kVertexKindCurve;
    if (layer == 4) notch = true;
  }
  const size_t ip = static_cast<size_t>(p);
  const int32_t x = Coord(pairs[ip].second);
  const int32_t y = Coord(pairs[ip + 1].second);
  if (notch) {
    ItemOfType(kItemTypeNotches, true)->AddTailVertex(x, y, kVertexKindKeyCorner);
    return EntityEnd::kRead;
  }
  CPieceItem* points = ItemOfType(kItemTypeFilledMarkers, true);
  // Five millimetres, in 32 bits as the model keeps it.
  const int32_t mark = static_cast<int32_t>(static_cast<uint32_t>(g_Style.GetScale()) * 5u);
  points->AddTailVertex(x, y, static_cast<uint32_t>(kind));
  points->AddTailVertex(mark, 0, kVertexKindFixedSingle2);
  points->AddTailVertex(mark, mark, kVertexKindFixedSingle2);
  return EntityEnd::kRead;
}

std::optional<int32_t> AamaFileReader::ReadPolylineHeader(EntityEnd& end) {
  bool boundary = false;
  bool closed = false;
  bool boundaryLayer = false;
  while (true) {
    if (Next() != DxfPairReader::Status::kPair) {
      end = EntityEnd::kTruncated;
      return std::nullopt;
    }
    const int code = in_.Code();
    const CString& value = in_.Value();
    if (code == 0) {
      if (value == "VERTEX") break;
      Unread();  // a polyline without vertices gives nothing
      end = EntityEnd::kRead;
      return std::nullopt;
    }
    if (UsesKindComments(author_)) {
      if (code == 999) {
        if (ParseInt(value.view()) == 1) {
          boundary = true;
        } else {
          boundary = closed = false;
        }
      }
    } else if (code == 8) {
      boundaryLayer = ParseInt(value.view()) == 1;
      boundary = boundaryLayer;
    } else if (code == 70) {
      if (ParseInt(value.view()) == 1) {
        closed = true;
        if (!ItemOfType(kItemTypeOutline, false)) boundary = true;
      } else if (boundaryLayer) {
        closed = true;
      }
    }
  }
  return boundary ? kItemTypeOutline : closed ? kItemTypeClosedLine : kItemTypeOpenLine;
}

AamaFileReader::EntityEnd AamaFileReader::ReadPolyline() {
  EntityEnd headerEnd = EntityEnd::kRead;
  const std::optional<int32_t> type = ReadPolylineHeader(headerEnd);
  if (!type) return headerEnd;
  std::unique_ptr<CPieceItem> item(CreatePieceItem(*type));
  bool inBulgeRun = false;
  // Whether a 999 comment or a bulge on any vertex tells how it is drawn.
  bool marked = false;
  // At a "VERTEX": its groups, then the next code 0.
  while (true) {
    int kind = UsesKindComments(author_)     ? kVertexKindCurveCorner
               : author_ == kAuthorScanvec ? kVertexKindKeyCorner
                                           : kVertexKindCurve;
    bool ended = false;
    const std::vector<Pair>& pairs = GatherEntity(ended);
    if (ended) return EntityEnd::kTruncated;
    const int x = FindGroup(pairs, 10);
    for (int i = 0; i < x; ++i) {
      if (pairs[static_cast<size_t>(i)].first != 999) continue;
      marked = true;
      const CString& comment = pairs[static_cast<size_t>(i)].second;
      if (UsesKindComments(author_)) {
        const int comma = comment.Find(',');
        kind = comma >= 0 && ParseInt(comment.Mid(comma + 1, 1).view()) == 1 ? kVertexKindKeyCorner
                                                                                : kVertexKindCurveCorner;
      } else if (comment.Find(",,") >= 0) {
        kind = kVertexKindKeyCorner;
      }
    }
    if (Follows(pairs, x, 20)) {
      for (size_t i = static_cast<size_t>(x) + 2; i < pairs.size(); ++i) {
        if (pairs[i].first == 42 && ParseDouble(pairs[i].second.view()) != 0.0) marked = true;
      }
      if (append_) {
        bool bulged = false;
        for (size_t i = static_cast<size_t>(x) + 2; i < pairs.size(); ++i) bulged = bulged || pairs[i].first == 42;
        if (bulged) {
          kind = inBulgeRun ? kVertexKindCurve : kVertexKindCurveCorner;
          inBulgeRun = true;
        } else {
          kind = kVertexKindCurveCorner;
          if (item->VertexHead) item->VertexHead->Prev->Flags = kVertexKindCurveCorner;
          inBulgeRun = false;
        }
      }
      const size_t ix = static_cast<size_t>(x);
      item->AddTailVertex(Coord(pairs[ix].second), Coord(pairs[ix + 1].second), static_cast<uint32_t>(kind));
    }
    Next();  // the code 0 GatherEntity stopped at
    if (in_.Value() == "VERTEX") continue;
    if (in_.Value() != "SEQEND") Unread();  // a polyline cut short by another entity ends here
    break;
  }
  // Vertices that took the curve kind only by default: straightened at the
  // piece's completion when no point marks any of them.
  const bool byDefault = !marked && !append_ && !UsesKindComments(author_) && author_ != kAuthorScanvec;
  const int count = item->CountMainVertices();
  if (item->Type == kItemTypeOutline || item->Type == kItemTypeClosedLine) {
    if (count < 3) return EntityEnd::kRead;
    if (append_) item->VertexHead->Prev->Flags = kVertexKindCurveCorner;
    if (byDefault) unmarkedPolylines_.push_back(item.get());
    AddCurveItem(item.release());
    return EntityEnd::kRead;
  }
  if (count < 2) return EntityEnd::kRead;
  CVertexNode* first = item->VertexHead;
  CVertexNode* last = first->Prev;
  if (count >= 4 && first->X == last->X && first->Y == last->Y) {
    std::unique_ptr<CPieceItem> closedLine = CreatePieceItem(kItemTypeClosedLine);
    CVertexNode* n = first;
    for (int i = 0; i < item->VertexCount; ++i, n = n->Next) closedLine->AddTailVertex(n->X, n->Y, n->Flags);
    if (byDefault) unmarkedPolylines_.push_back(closedLine.get());
    AddCurveItem(closedLine.release());
    return EntityEnd::kRead;
  }
  first->Flags = kVertexKindKeyCorner;
  last->Flags = kVertexKindKeyCorner;
  if (byDefault) unmarkedPolylines_.push_back(item.get());
  AddCurveItem(item.release());
  return EntityEnd::kRead;
}

void AamaFileReader::NameBlock(const CString& name) {
  awaitingBlockName_ = false;
  blockName_ = name;
  skippingBlock_ = Trimmed(name).Left(1) == "*";
}

void AamaFileReader::StraightenUnmarkedPolylines() {
  StraightenUnmarkedLines(current_.get(), unmarkedPolylines_);
  unmarkedPolylines_.clear();
}

void AamaFileReader::CompleteCurrentPiece() {
  StraightenUnmarkedPolylines();
  if (!pieceNamed_) current_->PieceName = blockName_;
  BuildAamaPieceElements(current_.release(), options_.textInfo, author_, append_ ? 1 : 0);
  NewCurrentPiece();
  pieceNamed_ = false;
  drawables_ = 0;
}

void AamaFileReader::FinishAtEndOfFile() {
  CPieceItem* outline = nullptr;
  if (current_->FindItem(kItemTypeOutline, &outline)) {
    CompleteCurrentPiece();
    current_.reset();
    return;
  }
  if (g_Style.PieceCount > priorCount_) {
    // Shapes after the last block belong to the first piece of this file.
    StraightenUnmarkedPolylines();
    CPieceRecord* target = g_Style.PieceRing;
    for (int i = 0; i < priorCount_; ++i) target = target->Next;
    std::vector<CPieceItem*> items;
    CPieceItem* item = current_->ItemRing;
    for (int i = 0; i < current_->ItemCount && item; ++i, item = item->Next) items.push_back(item);
    current_->ItemRing = nullptr;
    current_->ItemCount = 0;
    for (CPieceItem* moved : items) {
      moved->Prev = moved->Next = nullptr;
      if (moved->Type == kItemTypeText && !options_.textInfo) {
        delete moved;
      } else {
        target->AddItem(moved);
      }
    }
  } else if (append_ && priorCount_ > 0 && current_->ItemCount > 0) {
    // Shapes of a file that made no piece become a piece of their own, never
    // part of a piece of an earlier file.
    CompleteCurrentPiece();
  }
  current_.reset();
}

AamaReadReport AamaFileReader::Refused(const char* reason) {
  AamaReadReport report;
  report.outcome = AamaReadResult::kRefused;
  report.messageId = kMsgNotAama;
  report.line = in_.StopLine();
  report.reason = reason;
  return report;
}

AamaReadReport AamaFileReader::DataError(AamaReadReport stop) {
  stop.outcome = AamaReadResult::kFailed;
  stop.messageId = kMsgDataError;
  current_.reset();
  sizeHold_.Restore();
  if (notice_) notice_(stop);
  ClearStyle();
  return stop;
}

// The file's scale and author before its blocks are read: in append mode
// taken as the Lectra converter writes them; in normal mode from the header
// texts, the style cleared first.
void AamaFileReader::Begin() {
  if (append_) {
    priorCount_ = g_Style.PieceCount;
    scale_ = g_Style.GetScale() * 0.01;
    author_ = kAamaAuthorLectra;
  } else {
    ClearStyle();
    scale_ = g_Style.GetScale();
    PreScan();
  }
}

bool AamaFileReader::SkipToFirstSection() {
  while (Next() == DxfPairReader::Status::kPair) {
    if (in_.Code() == 0 && in_.Value() == "SECTION") {
      inSection_ = true;
      return true;
    }
  }
  return false;
}

// Reads the entities of every block up to the end of the file (or its EOF
// marker), completing a piece at each ENDBLK of a block that draws something.
// Layout and anonymous blocks are passed over. When the file breaks off
// inside an entity or is damaged between them, gives where and why.
std::optional<AamaReadReport> AamaFileReader::ReadBlocks() {
  while (true) {
    const DxfPairReader::Status status = Next();
    if (status == DxfPairReader::Status::kEof) return std::nullopt;
    if (status != DxfPairReader::Status::kPair) {
      // A damaged line where a group code belongs breaks the file off; a
      // code without its value at the very end only ends it.
      if (status == DxfPairReader::Status::kTruncated) return std::nullopt;
      AamaReadReport stop;
      stop.line = in_.StopLine();
      stop.reason = in_.StopReason();
      return stop;
    }
    if (in_.Code() != 0) {
      if (awaitingBlockName_ && in_.Code() == 2) NameBlock(in_.Value());
      continue;
    }
    awaitingBlockName_ = false;
    const CString name = in_.Value();
    if (name == "EOF") {
      sawEof_ = true;
      return std::nullopt;  // whatever follows the end marker is not read
    }
    if (name == "SECTION") inSection_ = true;
    if (name == "ENDSEC") inSection_ = false;
    const int entityLine = in_.CodeLine();
    if (skippingBlock_) {
      // A layout or anonymous block holds no piece: what it holds is dropped
      // up to its end (or the end of its section, or the next block).
      if (name != "BLOCK" && name != "ENDBLK" && name != "ENDSEC") continue;
      skippingBlock_ = false;
      blockName_.Empty();
      if (name == "ENDBLK") continue;
    }
    if (name == "LINE" || name == "3DLINE" || name == "CIRCLE" || name == "TEXT" || name == "ARC" ||
        name == "POLYLINE" || name == "POINT") {
      ++drawables_;
    }
    EntityEnd end = EntityEnd::kRead;
    if (name == "BLOCK") {
      blockName_.Empty();
      awaitingBlockName_ = true;
    } else if (name == "ENDBLK") {
      // A block that draws nothing makes no piece.
      if (drawables_ > 0) CompleteCurrentPiece();
      blockName_.Empty();
    } else if (name == "LINE" || name == "3DLINE") {
      end = ReadLine();
    } else if (name == "CIRCLE") {
      end = ReadCircle();
    } else if (name == "TEXT") {
      end = ReadText();
    } else if (name == "ARC") {
      end = ReadArc();
    } else if (name == "POLYLINE") {
      end = ReadPolyline();
    } else if (name == "POINT") {
      end = ReadPoint();
    }
    if (badNumber_) {
      AamaReadReport stop;
      stop.line = entityLine;
      stop.reason = "coordinate not a number or out of range inside " + std::string(name.view());
      return stop;
    }
    if (end == EntityEnd::kTruncated) {
      AamaReadReport stop;
      stop.line = in_.StopLine();
      stop.reason = in_.StopReason(name.view());
      return stop;
    }
  }
}

// The sizes of the new pieces (the sample size, then the size blocks merged),
// the pieces placed and listed, then graded by the rule table for a style of
// one size and for every appended file, and finished.
AamaReadReport AamaFileReader::GradeNewPieces() {
  AamaReadReport report;
  SetAamaSampleSize(sampleSize_, priorCount_, append_);
  if (!append_) {
    MergeAamaSizeBlocks(sampleSize_, priorCount_, options_.sizesSeparate != 0);
  } else if (priorCount_ == 0) {
    g_Style.SortSizes();
  }

  std::vector<CPieceRecord*> pieces;
  CPieceRecord* piece = g_Style.PieceRing;
  for (int i = 0; i < g_Style.PieceCount && piece; ++i, piece = piece->Next) {
    if (i >= priorCount_) pieces.push_back(piece);
  }
  for (CPieceRecord* p : pieces) PlaceAamaPiece(p);

  if (g_Style.SizeCount == 1 || append_) {
    CAamaRuleTable table;
    const CAamaRuleTable::Result rules =
        rules_ ? table.ReadBytes(*rules_, scale_, options_.scaleText, author_, priorCount_, append_)
               : CAamaRuleTable::Result::kNoFile;
    if (!table.Problem().empty()) {
      report.file = AamaReadReport::File::kRules;
      report.line = table.ProblemLine();
      report.reason = table.Problem();
    }
    // A table that cannot name the sizes, or is cut short, fails the read.
    if (rules == CAamaRuleTable::Result::kDamaged) return DataError(std::move(report));
    sizeHold_.Restore();
    // Without a rule table the appended pieces still get a place for every
    // size of the style, so that every per-size run is whole.
    if (rules == CAamaRuleTable::Result::kRead || g_Style.SizeCount > 1) GradeAamaPieces(table, priorCount_, author_);
  }
  sizeHold_.Restore();
  for (CPieceRecord* p : pieces) FinishAamaPiece(p);
  return report;
}

AamaReadReport AamaFileReader::Run() {
  in_.OpenBytes(dxf_);
  Begin();
  // The status bar's bar, from a tenth of a percent at the start: a
  // thousand steps over the lines the pre-scan counted (one a line in
  // append mode, which counts none).
  progress_.emplace(0, kProgressSteps, kProgressStart);
  in_.FollowWith(&*progress_, lines_ / kProgressLinesPerRange);
  if (!SkipToFirstSection()) return Refused("not an AAMA file: no SECTION");

  NewCurrentPiece();
  if (g_Style.SizeCount == 0) g_Style.AddSize(new CSizeRecord(CString(), 0.0, 0.0, 0, 1));
  if (append_ && priorCount_ > 0) sizeHold_.Hold();

  // A file that breaks off is taken as ended there unless its author is a
  // known system other than assyst.
  std::optional<AamaReadReport> cut = ReadBlocks();
  if (cut && (badNumber_ || (author_ != 0 && author_ != kAamaAuthorAssyst))) return DataError(std::move(*cut));
  // A file that ends before its EOF marker, or inside a section, was cut
  // short: what it holds is kept, with a warning.
  if (!cut && (!sawEof_ || inSection_)) {
    AamaReadReport end;
    end.line = in_.StopLine();
    end.reason = "file ends before its EOF";
    cut = std::move(end);
  }

  FinishAtEndOfFile();
  if (g_Style.PieceCount == 0) return Refused("no piece found");
  AamaReadReport report;
  if (g_Style.PieceCount > priorCount_) report = GradeNewPieces();
  if (cut && report.reason.empty()) {
    report.line = cut->line;
    report.reason = cut->reason + ", taken as the end";
  }
  if (cut && report.outcome == AamaReadResult::kSuccess && report.messageId == 0) report.messageId = kMsgFileIncomplete;
  return report;
}

AamaReadReport ReadAamaInto(std::string_view dxf, std::optional<std::string_view> rules, CStyle& style,
                            const AamaReadOptions& options, DataErrorNotice notice) {
  ScopedStyleInUse inUse(style);
  // The reader goes before the style is handed back: it still puts the
  // style's size count back as it ends.
  AamaFileReader reader(dxf, rules, options, std::move(notice));
  return reader.Run();
}

}  // namespace

int AamaAuthorCode(const CString& line) {
  static constexpr std::pair<const char*, int> kAuthors[] = {
      {"ZORVEK", 1}, {"Optitex", 2}, {"Scanvec", 3}, {"LECTRA", 4},        {"GERBER", 5}, {"PAD", 6},
      {"ASAHI", 7},  {"TORAY", 8},   {"assyst", 9},  {"INVESTRONICA", 10}, {"Yuka", 11},  {"SHIMA", 12},
  };
  for (const auto& [name, code] : kAuthors) {
    if (line.Find(std::string_view(name)) >= 0) return code;
  }
  return 0;
}

AamaReadReport ReadAamaBytes(std::string_view dxf, std::optional<std::string_view> rules, CStyle& style,
                             const AamaReadOptions& options) {
  return ReadAamaInto(dxf, rules, style, options, nullptr);
}

const AamaReadReport& LastAamaReadReport() { return LastReportOf<AamaReadReport>(); }

AamaReadResult ReadAamaFile(const char* path, BOOL bAppend, BOOL bLectra) {
  const CString dxfPath(path ? path : "");
  std::vector<uint8_t> dxf;
  if (!ReadPatternFile(dxfPath, dxf)) {
    AamaReadReport missing;
    missing.outcome = AamaReadResult::kFailed;
    missing.messageId = kMsgFileMissing;
    missing.reason = "cannot be opened";
    return KeepAndShowReport(missing);
  }
  AamaReadOptions options;
  // The two flags always come together; either one asks for append mode.
  options.append = bAppend != 0 || bLectra != 0;
  if (!options.append) {
    CAamaOpenDlg dlg;
    if (dlg.DoModal() != IDOK) {
      AamaReadReport cancelled;
      cancelled.outcome = AamaReadResult::kCancelled;
      cancelled.reason = "cancelled";
      return KeepAndShowReport(cancelled);
    }
    options.textInfo = dlg.m_bTextInfo;
    options.allGradePoints = dlg.m_bAllGradePoints;
    options.scaleText = dlg.m_strScale;
    options.sizesSeparate = dlg.m_bSizesSeparate;
  }
  // A rule table that cannot be read counts as none.
  std::vector<uint8_t> rules;
  const CString rulesPath = CAamaRuleTable::FindRuleFile(dxfPath);
  const bool haveRules = !rulesPath.IsEmpty() && ReadPatternFile(rulesPath, rules);

  const std::optional<std::string_view> ruleBytes = haveRules ? std::optional(BytesOf(rules)) : std::nullopt;
  if (options.append) {
    // An appended file adds to the loaded style, and a data error empties it.
    bool shown = false;
    const AamaReadReport report =
        ReadAamaInto(BytesOf(dxf), ruleBytes, g_Style, options, [&shown](const AamaReadReport& stop) {
          shown = true;
          KeepAndShowReport(stop);
        });
    if (shown) return report.outcome;
    return KeepAndShowReport(report);
  }
  // The file replaces the loaded style only when it is read whole; a refused
  // file or a data error leaves what is loaded, which is in place again when
  // the message shows.
  StagedStyleRead staged;
  const AamaReadReport report = ReadAamaInto(BytesOf(dxf), ruleBytes, staged.Style(), options, nullptr);
  if (report.outcome == AamaReadResult::kSuccess) {
    staged.Commit();
  } else {
    staged.Drop();
  }
  return KeepAndShowReport(report);
}

int AamaReadReturnValue(AamaReadResult result) {
  return result == AamaReadResult::kSuccess || result == AamaReadResult::kCancelled ? 1 : 0;
}
