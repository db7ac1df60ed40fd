#include "formats/dxf_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "formats/aama_piece.h"
#include "formats/dxf_open_dlg.h"
#include "formats/dxf_pairs.h"
#include "formats/read_report.h"
#include "formats/staged_read.h"
#include "model/geometry.h"
#include "model/item_factory.h"
#include "model/items/all_items.h"
#include "model/lookup.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/shell_services.h"
#include "model/item_types.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "design/geometry/measure.h"
#include "platform/numbers.h"
#include "platform/progress.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

// A circle's radius node and a point mark's two size nodes.
constexpr int kKindRadius = kVertexKindSkipRun;
constexpr int kKindPointSize = kVertexKindFixedSingle2;
// Points farther than this many millimetres outside a split piece's outline
// do not go with it.
constexpr int kPointReachMm = 60;
// Texts outside the outline are lined up this far right of it, one every
// 8 mm down.
constexpr int kLooseTextOffset = 2000;
constexpr int kLooseTextStepMm = 8;

struct Pair {
  int code = 0;
  CString value;
};

// An entity: its name and every pair up to the next group code 0.
struct Entity {
  CString name;
  std::vector<Pair> pairs;
  bool complete = true;  // ended at a group code 0, not at the end of the file
};

// The pairs of a file with one pair of look-ahead.
class PairStream {
 public:
  explicit PairStream(DxfPairReader& in) : in_(in) {}
  // The next pair, or none at the end of the file or where it is damaged.
  std::optional<Pair> Next() {
    if (pending_) {
      std::optional<Pair> p = std::move(pending_);
      pending_.reset();
      return p;
    }
    if (in_.Next() != DxfPairReader::Status::kPair) return std::nullopt;
    return Pair{in_.Code(), in_.Value()};
  }
  void PushBack(Pair p) { pending_ = std::move(p); }
  // True when the reading stopped on a damaged file rather than at its end.
  bool Damaged() const {
    const auto s = in_.LastStatus();
    return s == DxfPairReader::Status::kTruncated || s == DxfPairReader::Status::kBadCode ||
           s == DxfPairReader::Status::kReadError;
  }
  // Where the reading stopped and why, inside the entity `entity` (none when
  // empty): a damaged line, or the end of the file.
  DxfReadReport StopReport(std::string_view entity) const {
    return DxfReadReport{DxfReadResult::kFailed, IDS_FILE_DATA_ERROR, in_.StopLine(), in_.StopReason(entity)};
  }

 private:
  DxfPairReader& in_;
  std::optional<Pair> pending_;
};

CString Trimmed(const CString& s) {
  CString t = s;
  t.Trim();
  return t;
}

Entity ReadEntity(PairStream& in, const CString& name) {
  Entity e;
  e.name = name;
  while (std::optional<Pair> p = in.Next()) {
    if (p->code == 0) {
      in.PushBack(std::move(*p));
      return e;
    }
    e.pairs.push_back(std::move(*p));
  }
  e.complete = false;
  return e;
}

// Reads the groups of an entity in file order, as the drawing programs write
// them: `Skip` to the next pair of a code, `Require` the very next pair to
// have a code (an x is followed by its y).
class GroupCursor {
 public:
  explicit GroupCursor(const std::vector<Pair>& pairs) : pairs_(pairs) {}
  std::optional<double> Skip(int code) {
    while (pos_ < pairs_.size()) {
      const Pair& p = pairs_[pos_++];
      if (p.code == code) return Number(p);
    }
    ran_out_ = true;
    return std::nullopt;
  }
  std::optional<double> Require(int code) {
    if (pos_ >= pairs_.size()) {
      ran_out_ = true;
      return std::nullopt;
    }
    const Pair& p = pairs_[pos_++];
    if (p.code != code) return std::nullopt;
    return Number(p);
  }
  const Pair* SkipToPair(int code) {
    while (pos_ < pairs_.size()) {
      const Pair& p = pairs_[pos_++];
      if (p.code == code) return &p;
    }
    ran_out_ = true;
    return nullptr;
  }
  // The entity's pairs ended before a group it needs.
  bool RanOut() const { return ran_out_; }

 private:
  // A value that is no number reads as NaN, which no coordinate takes.
  static double Number(const Pair& p) {
    return ParseWholeNumber(p.value.view()).value_or(std::numeric_limits<double>::quiet_NaN());
  }

  const std::vector<Pair>& pairs_;
  size_t pos_ = 0;
  bool ran_out_ = false;
};


void SetKind(CVertexNode* node, int kind) { node->Flags = (node->Flags & ~0xFFu) | static_cast<uint32_t>(kind); }

void SmoothIfCurve(CPieceItem* item) {
  if (auto* curve = dynamic_cast<CPieceCurveItem*>(item)) curve->SmoothCurves();
}

int32_t Middle(int32_t a, int32_t b) {
  return static_cast<int32_t>((static_cast<int64_t>(a) + static_cast<int64_t>(b)) / 2);
}

// Builds the items of one piece from the entities of the drawing.
class DxfEntityReader {
 public:
  DxfEntityReader(CPieceRecord* piece, double factor) : piece_(piece), factor_(factor) {}

  // File units to model units, truncated toward zero (so 1.99 units of a
  // factor 1 make 1). A value that is not finite or lies beyond what the
  // model holds marks the drawing bad (0 stands in): the read fails.
  int32_t Model(double v) { return Checked(v * factor_); }
  // A position already in model units as the model holds it.
  int32_t Checked(double scaled) {
    const std::optional<int32_t> units = ModelUnits(scaled);
    if (!units) bad_number_ = true;
    return units.value_or(0);
  }
  // A coordinate read so far was no number or out of range.
  bool BadNumber() const { return bad_number_; }
  void SetFactor(double factor) { factor_ = factor; }

  // The polylines read whose vertices are curve points only because nothing
  // marked them: no 999 comment and no bulge on any vertex.
  const std::vector<CPieceItem*>& UnmarkedPolylines() const { return unmarked_; }

  // False when the entity needs groups the file no longer holds.
  bool Add(const Entity& e) {
    const CString& n = e.name;
    if (n == "LINE" || n == "3DLINE") return AddLine(e);
    if (n == "CIRCLE") return AddCircle(e);
    if (n == "TEXT") return AddText(e);
    if (n == "ARC") return AddArc(e);
    if (n == "POINT") return AddPoint(e);
    return true;
  }

  // A POLYLINE with its VERTEX entities up to its SEQEND. False when the file
  // ends first.
  bool AddPolyline(const Entity& header, PairStream& in) {
    bool closed = false;
    for (const Pair& p : header.pairs) {
      if (p.code == 70) closed = (ParseInt(p.value.view()) & 1) != 0;
    }
    if (!header.complete) return false;
    std::unique_ptr<CPieceItem> item(CreatePieceItem(closed ? kItemTypeClosedLine : kItemTypeOpenLine));
    bool marked = false;
    for (;;) {
      std::optional<Pair> start = in.Next();
      if (!start) return false;
      const CString name = Trimmed(start->value);
      Entity e = ReadEntity(in, name);
      if (name == "SEQEND") break;
      if (!e.complete) return false;
      if (name != "VERTEX") continue;
      int kind = kVertexKindCurve;
      GroupCursor g(e.pairs);
      bool beforeX = true;
      for (const Pair& p : e.pairs) {
        if (p.code == 10) beforeX = false;
        if (beforeX && p.code == 999) {
          marked = true;
          if (p.value.Find(",,") >= 0) kind = kVertexKindKeyCorner;
        }
        if (p.code == 42 && ParseDouble(p.value.view()) != 0.0) marked = true;
      }
      std::optional<double> x = g.Skip(10);
      std::optional<double> y = x ? g.Require(20) : std::nullopt;
      if (x && y) item->AddTailVertex(Model(*x), Model(*y), static_cast<uint32_t>(kind));
    }
    const int count = item->CountMainVertices();
    if ((closed && count < 3) || (!closed && count < 2)) return true;
    if (!closed) {
      std::vector<CVertexNode*> v = MainVerticesOf(item.get());
      if (v.size() >= 4 && v.front()->X == v.back()->X && v.front()->Y == v.back()->Y) {
        std::unique_ptr<CPieceItem> ring(CreatePieceItem(kItemTypeClosedLine));
        for (size_t i = 0; i + 1 < v.size(); ++i) ring->AddTailVertex(v[i]->X, v[i]->Y, v[i]->Flags);
        item = std::move(ring);
      } else {
        SetKind(v.front(), kVertexKindKeyCorner);
        SetKind(v.back(), kVertexKindKeyCorner);
      }
    }
    SmoothIfCurve(item.get());
    if (!marked) unmarked_.push_back(item.get());
    piece_->AddItem(item.release());
    return true;
  }

 private:
  bool AddLine(const Entity& e) {
    GroupCursor g(e.pairs);
    std::optional<double> x1 = g.Skip(10);
    std::optional<double> y1 = x1 ? g.Require(20) : std::nullopt;
    std::optional<double> x2 = y1 ? g.Skip(11) : std::nullopt;
    std::optional<double> y2 = x2 ? g.Require(21) : std::nullopt;
    if (!y2) return !(g.RanOut() && !e.complete);
    std::unique_ptr<CPieceItem> line = CreatePieceItem(kItemTypeOpenLine);
    line->AddTailVertex(Model(*x1), Model(*y1), kVertexKindKeyCorner);
    line->AddTailVertex(Model(*x2), Model(*y2), kVertexKindKeyCorner);
    SmoothIfCurve(line.get());
    piece_->AddItem(line.release());
    return true;
  }

  bool AddCircle(const Entity& e) {
    GroupCursor g(e.pairs);
    std::optional<double> x = g.Skip(10);
    std::optional<double> y = x ? g.Require(20) : std::nullopt;
    std::optional<double> r = y ? g.Skip(40) : std::nullopt;
    if (!r) return !(g.RanOut() && !e.complete);
    std::unique_ptr<CPieceItem> made = CreatePieceItem(kItemTypeCircles);
    CPieceItem* circle = made.get();
    piece_->AddItem(made.release());
    circle->AddTailVertex(Model(*x), Model(*y), kVertexKindKeyCorner);
    circle->AddTailVertex(Model(*r), 0, kKindRadius);
    return true;
  }

  bool AddText(const Entity& e) {
    GroupCursor g(e.pairs);
    std::optional<double> x = g.Skip(10);
    std::optional<double> y = x ? g.Require(20) : std::nullopt;
    const Pair* text = y ? g.SkipToPair(1) : nullptr;
    if (!text) return !(g.RanOut() && !e.complete);
    std::unique_ptr<CPieceItem> made = CreatePieceItem(kItemTypeText);
    auto* item = static_cast<CPieceItem11*>(made.get());
    item->AnchorX = Model(*x);
    item->AnchorY = Model(*y);
    item->Text = text->value;
    piece_->AddItem(made.release());
    return true;
  }

  bool AddArc(const Entity& e) {
    GroupCursor g(e.pairs);
    std::optional<double> cx = g.Skip(10);
    std::optional<double> cy = cx ? g.Require(20) : std::nullopt;
    std::optional<double> r = cy ? g.Skip(40) : std::nullopt;
    std::optional<double> a0 = r ? g.Skip(50) : std::nullopt;
    std::optional<double> a1 = a0 ? g.Require(51) : std::nullopt;
    if (!a1) return !(g.RanOut() && !e.complete);
    // The centre and radius are checked before the arc is drawn from them.
    Model(*cx);
    Model(*cy);
    Model(*r);
    if (!std::isfinite(*a0) || !std::isfinite(*a1)) bad_number_ = true;
    if (bad_number_) return true;
    // An arc runs counter-clockwise from its start angle to its end angle,
    // through 0 degrees when the end is the smaller.
    const double sweep = *a1 < *a0 ? 360.0 - *a0 + *a1 : *a1 - *a0;
    const double step = sweep / 4.0;
    const int32_t radius = Model(*r);
    std::unique_ptr<CPieceItem> arc = CreatePieceItem(kItemTypeOpenLine);
    for (int i = 0; i <= 4; ++i) {
      const double angle = (*a0 + i * step) * kPi / 180.0;
      int rx = 0;
      int ry = 0;
      RotatePoint(radius, 0, 0, 0, std::sin(angle), std::cos(angle), &rx, &ry);
      arc->AddTailVertex(Checked(rx + *cx * factor_), Checked(ry + *cy * factor_), kVertexKindCurve);
    }
    SetKind(arc->VertexHead, kVertexKindKeyCorner);
    SetKind(arc->VertexHead->Prev, kVertexKindKeyCorner);
    SmoothIfCurve(arc.get());
    piece_->AddItem(arc.release());
    return true;
  }

  bool AddPoint(const Entity& e) {
    bool marked = false;
    for (const Pair& p : e.pairs) {
      if (p.code == 10) break;
      if (p.code == 8 && Trimmed(p.value) == "3") marked = true;
    }
    GroupCursor g(e.pairs);
    std::optional<double> x = g.Skip(10);
    std::optional<double> y = x ? g.Require(20) : std::nullopt;
    if (!y) return !(g.RanOut() && !e.complete);
    CPieceItem* points = FindFirstItem(piece_, kItemTypeFilledMarkers);
    if (!points) {
      std::unique_ptr<CPieceItem> made = CreatePieceItem(kItemTypeFilledMarkers);
      points = made.get();
      piece_->AddItem(made.release());
    }
    const int32_t size = 5 * g_Style.GetScale();
    points->AddTailVertex(Model(*x), Model(*y), marked ? kVertexKindCurve : kVertexKindKeyCorner);
    points->AddTailVertex(size, 0, kKindPointSize);
    points->AddTailVertex(size, size, kKindPointSize);
    return true;
  }

  CPieceRecord* piece_;
  double factor_;
  bool bad_number_ = false;
  std::vector<CPieceItem*> unmarked_;
};

void RemovePointMark(CPieceItem* points, CVertexNode* mark) {
  CVertexNode* next = points->RemoveVertex(mark);
  for (int i = 0; i < 2 && next && next->Kind() == kKindPointSize; ++i) next = points->RemoveVertex(next);
}

// Points lying on a vertex of the outline or a line give that vertex its
// kind (a point on layer "3" keeps it a curve point, any other makes it a
// corner) and go; the others stay as free marks.
void PlacePointsOnVertices(CPieceRecord* piece) {
  CPieceItem* points = FindFirstItem(piece, kItemTypeFilledMarkers);
  if (!points) return;
  std::set<CVertexNode*> used;
  for (CVertexNode* mark : MainVerticesOf(points)) {
    for (CPieceItem* item : ItemsOf(piece)) {
      if (item->Type != kItemTypeOutline && item->Type != kItemTypeGrainLine && item->Type != kItemTypeClosedLine &&
          item->Type != kItemTypeOpenLine) {
        continue;
      }
      CVertexNode* vertex = item->FindVertex(mark->X, mark->Y);
      if (!vertex) continue;
      int kind = kVertexKindKeyCorner;
      if (mark->Kind() == kVertexKindCurve && item->Type != kItemTypeGrainLine) {
        const std::vector<CVertexNode*> mains = MainVerticesOf(item);
        const bool lineEnd =
            item->Type == kItemTypeOpenLine && (vertex == item->VertexHead || vertex == mains.back());
        if (!lineEnd) kind = kVertexKindCurve;
      }
      SetKind(vertex, kind);
      used.insert(mark);
    }
  }
  for (CVertexNode* mark : used) RemovePointMark(points, mark);
  if (points->VertexCount == 0) {
    piece->RemoveItem(points);
    return;
  }
  for (CVertexNode* node : NodesOf(points)) {
    if (node->IsMain()) SetKind(node, kVertexKindKeyCorner);
  }
}

double SegmentDistance(CPoint p, CPoint a, CPoint b) {
  const double dx = static_cast<double>(b.x) - a.x;
  const double dy = static_cast<double>(b.y) - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((static_cast<double>(p.x) - a.x) * dx + (static_cast<double>(p.y) - a.y) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return Distance(p.x, p.y, a.x + t * dx, a.y + t * dy);
}

// Removes the points of a point item that lie outside the outline and farther
// than 60 mm from it, with their size nodes.
void KeepPointsNear(CPieceItem* points, CPieceItem* outline) {
  auto* curve = dynamic_cast<CPieceCurveItem*>(outline);
  if (!curve) return;
  const std::vector<CPoint> ring = curve->GetCurvePoints(g_Style.SizeAt(0));
  const double reach = static_cast<double>(kPointReachMm) * g_Style.GetScale();
  for (CVertexNode* mark : MainVerticesOf(points)) {
    if (curve->ContainsPoint(mark->X, mark->Y)) continue;
    double nearest = HUGE_VAL;
    for (size_t i = 0; i < ring.size(); ++i) {
      nearest = std::min(nearest, SegmentDistance(CPoint(mark->X, mark->Y), ring[i], ring[(i + 1) % ring.size()]));
    }
    if (nearest > reach) RemovePointMark(points, mark);
  }
}

void AddToStyleAndList(CPieceRecord* piece) {
  g_Style.AddPiece(piece);
  if (g_pListPane) g_pListPane->AddPiece(piece);
}

void SetReferencePoint(CPieceRecord* piece) {
  CPieceItem* outline = FindFirstItem(piece, kItemTypeOutline);
  if (outline && outline->VertexHead) {
    piece->AuxX = outline->VertexHead->X;
    piece->AuxY = outline->VertexHead->Y;
  }
}

// Many patterns: every closed line of at least `minArea` becomes a piece of
// its own, with the points near it.
void SplitPieces(CPieceRecord* main, double minArea) {
  CPieceItem* points = FindFirstItem(main, kItemTypeFilledMarkers);
  for (CPieceItem* item : ItemsOf(main)) {
    if (item->Type != kItemTypeClosedLine) continue;
    auto piece = std::make_unique<CPieceRecord>();
    std::unique_ptr<CPieceItem> made = CreatePieceItem(kItemTypeOutline);
    CPieceItem* outline = made.get();
    for (CVertexNode* node : NodesOf(item)) outline->AddTailVertex(node->X, node->Y, node->Flags);
    SmoothIfCurve(outline);
    piece->AddItem(made.release());
    if (std::fabs(piece->CalcArea(g_Style.SizeAt(0), 1)) < minArea) continue;
    if (points) {
      std::unique_ptr<CPieceItem> clone = ClonePieceItem(points);
      KeepPointsNear(clone.get(), outline);
      if (clone->VertexCount != 0) piece->AddItem(clone.release());
    }
    SetReferencePoint(piece.get());
    main->RemoveItem(item);
    AddDefaultGrainLine(piece.get());
    piece->Recalc(1);
    AddToStyleAndList(piece.release());
  }
  CPieceItem* outline = FindFirstItem(main, kItemTypeOutline);
  if (outline) SmoothIfCurve(outline);
  if (points && outline) {
    KeepPointsNear(points, outline);
    if (points->VertexCount == 0) main->RemoveItem(points);
  }
}

// Lines, circles and texts of the main piece that lie in another piece's
// outline move to that piece.
void HandOutItems(CPieceRecord* main) {
  CPieceRecord* other = g_Style.PieceRing;
  for (int i = 0; other && i < g_Style.PieceCount; ++i, other = other->Next) {
    if (other == main) continue;
    auto* outline = dynamic_cast<CPieceCurveItem*>(FindFirstItem(other, kItemTypeOutline));
    if (!outline) continue;
    for (CPieceItem* item : ItemsOf(main)) {
      bool inside = false;
      if (item->Type == kItemTypeClosedLine || item->Type == kItemTypeOpenLine) {
        const std::vector<CVertexNode*> v = MainVerticesOf(item);
        inside = !v.empty() &&
                 (outline->ContainsPoint(v.front()->X, v.front()->Y) || outline->ContainsPoint(v.back()->X, v.back()->Y));
      } else if (item->Type == kItemTypeCircles && item->VertexHead) {
        inside = outline->ContainsPoint(item->VertexHead->X, item->VertexHead->Y);
      } else if (item->Type == kItemTypeText) {
        const auto* text = static_cast<const CPieceItem11*>(item);
        inside = outline->ContainsPoint(text->AnchorX, text->AnchorY);
      }
      if (!inside) continue;
      other->AddItem(ClonePieceItem(item).release());
      main->RemoveItem(item);
    }
  }
}

void LineUpLooseTexts(CPieceRecord* main) {
  auto* outline = dynamic_cast<CPieceCurveItem*>(FindFirstItem(main, kItemTypeOutline));
  if (!outline) return;
  int minX = kBoxEmptyMin, maxX = kExtentEmptyMax, minY = kBoxEmptyMin, maxY = kExtentEmptyMax;
  outline->GetExtent(0, &minX, &maxX, &minY, &maxY);
  int n = 0;
  for (CPieceItem* item : ItemsOf(main)) {
    if (item->Type != kItemTypeText) continue;
    auto* text = static_cast<CPieceItem11*>(item);
    if (outline->ContainsPoint(text->AnchorX, text->AnchorY)) continue;
    text->AnchorX = WrapAdd(maxX, kLooseTextOffset);
    text->AnchorY = WrapAdd(minY, kLooseTextStepMm * g_Style.GetScale() * n);
    ++n;
  }
}

// The report of an entity holding a coordinate that is no number or out of
// range.
DxfReadReport BadNumberReport(const PairStream& in, std::string_view entity) {
  DxfReadReport report = in.StopReport(entity);
  report.reason = "coordinate not a number or out of range inside " + std::string(entity);
  return report;
}

// Reads the entities into the reader's piece. When the file ends inside an
// entity or is damaged, or an entity holds a coordinate the model cannot
// take, gives where and why. `whole` tells whether the file reached its EOF
// marker outside any section.
std::optional<DxfReadReport> ReadEntities(PairStream& in, DxfEntityReader& reader, int dataUnit, bool& whole) {
  // The first SECTION was read before.
  bool inSection = true;
  whole = false;
  while (std::optional<Pair> p = in.Next()) {
    if (p->code == 9 && Trimmed(p->value) == "$MEASUREMENT") {
      // The drawing's own unit: 1 metric, else imperial. Only a file read as
      // millimetres follows it.
      std::optional<Pair> value = in.Next();
      if (!value) return in.Damaged() ? std::optional(in.StopReport("$MEASUREMENT")) : std::nullopt;
      if (dataUnit == 0 && value->code == 70) {
        reader.SetFactor(ParseInt(value->value.view()) == 1 ? g_Style.GetScale() : g_Style.GetScale() * 25.4);
      } else {
        in.PushBack(std::move(*value));
      }
      continue;
    }
    if (p->code != 0) continue;
    const CString name = Trimmed(p->value);
    // Whatever follows the end of the drawing is not read.
    if (name == "EOF") {
      whole = !inSection;
      return std::nullopt;
    }
    if (name == "SECTION") inSection = true;
    if (name == "ENDSEC") inSection = false;
    if (name == "POLYLINE") {
      Entity header = ReadEntity(in, name);
      const bool read = reader.AddPolyline(header, in);
      if (reader.BadNumber()) return BadNumberReport(in, name.view());
      if (!read) return in.StopReport(name.view());
      continue;
    }
    if (name == "LINE" || name == "3DLINE" || name == "CIRCLE" || name == "TEXT" || name == "ARC" ||
        name == "POINT") {
      Entity e = ReadEntity(in, name);
      const bool read = reader.Add(e);
      if (reader.BadNumber()) return BadNumberReport(in, name.view());
      if (!read || (!e.complete && in.Damaged())) return in.StopReport(name.view());
    }
  }
  return in.Damaged() ? std::optional(in.StopReport("")) : std::nullopt;
}

// An ASCII DXF file is pairs from its first line on, with a SECTION before
// anything is drawn; a binary one ("AutoCAD Binary DXF") or any other file
// fails there. Reads `file` up to its first SECTION; the refusal when none
// comes.
std::optional<DxfReadReport> SkipToFirstSection(DxfPairReader& file) {
  while (file.Next() == DxfPairReader::Status::kPair) {
    if (file.IsEntity("SECTION")) return std::nullopt;
  }
  return DxfReadReport{DxfReadResult::kRefused, IDS_NOT_ASCII_DXF, file.StopLine(), "not an ASCII DXF file"};
}

// The drawing read into `piece` becomes the style's pieces: lines joined,
// marked points placed, an outline made, the piece turned the model's way up
// and, for many patterns, split at its closed lines; then every piece is
// listed and moved to the origin.
void ListReadPieces(std::unique_ptr<CPieceRecord> piece, bool many, double minArea) {
  const int32_t savedJoin = g_SwitchJoinLines;
  g_SwitchJoinLines = 1;
  piece->JoinOpenLines();
  g_SwitchJoinLines = savedJoin;
  PlacePointsOnVertices(piece.get());
  EnsurePieceOutline(piece.get());
  piece->UpdateCurveItems();
  piece->Recalc(1);
  piece->NormalizeOrientation(1);
  piece->MirrorHorizontal(Middle(piece->BoxMinY, piece->BoxMaxY));
  SetReferencePoint(piece.get());

  if (many) SplitPieces(piece.get(), minArea);
  piece->UpdateCurveItems();
  piece->Recalc(1);
  CPieceRecord* main = piece.release();
  AddToStyleAndList(main);
  if (many && g_Style.PieceCount > 1) HandOutItems(main);
  LineUpLooseTexts(main);
  main->Recalc(1);
  AddDefaultGrainLine(main);

  CPieceRecord* each = g_Style.PieceRing;
  for (int i = 0; each && i < g_Style.PieceCount; ++i, each = each->Next) {
    each->Recalc(1);
    MoveAamaPieceToOrigin(each);
  }
}

DxfReadReport ReadDxfInto(std::string_view bytes, CStyle& style, const DxfReadOptions& options) {
  ScopedStyleInUse inUse(style);
  DxfPairReader file;
  file.OpenBytes(bytes);
  if (std::optional<DxfReadReport> refused = SkipToFirstSection(file)) return *refused;
  // The status bar's bar: one step of a thousand every 50 lines.
  CStatusProgress progress(0, 1000, 0);
  file.FollowWith(&progress, 50);

  // The area a split piece needs, from the scale of the style as it was.
  const double minArea = 400.0 * g_Style.GetScale() * g_Style.GetScale();
  ClearStyle();
  const double scale = g_Style.GetScale();
  const double unitFactors[] = {1.0, 10.0, 25.4};
  const int unit = std::clamp(options.dataUnit, 0, 2);
  auto piece = std::make_unique<CPieceRecord>();
  if (g_Style.SizeCount == 0) {
    g_Style.AddSize(new CSizeRecord(CString(""), 0.0, 0.0, 0, 1));
    g_Style.SortSizes();
  }

  DxfEntityReader reader(piece.get(), scale * unitFactors[unit]);
  PairStream in(file);
  bool whole = false;
  if (std::optional<DxfReadReport> stop = ReadEntities(in, reader, unit, whole)) {
    piece.reset();
    ClearStyle();
    return *stop;
  }
  // A file cut short before any entity holds nothing: refused as an empty
  // file is, never opened as the made-up square of an empty drawing.
  if (!whole && piece->ItemCount == 0) {
    piece.reset();
    ClearStyle();
    return DxfReadReport{DxfReadResult::kRefused, IDS_NOT_ASCII_DXF, file.StopLine(), "file ends before any entity"};
  }
  // The drawing is one piece: a polyline that no point of the whole drawing
  // marks is drawn straight.
  StraightenUnmarkedLines(piece.get(), reader.UnmarkedPolylines());
  ListReadPieces(std::move(piece), options.manyPatterns, minArea);
  // A drawing cut short keeps what was read, with a warning.
  if (!whole) return DxfReadReport{DxfReadResult::kSuccess, IDS_FILE_INCOMPLETE, file.StopLine(), "file ends before its EOF"};
  return DxfReadReport{};
}

}  // namespace

int DxfReadResultCode(DxfReadResult result) {
  return result == DxfReadResult::kSuccess || result == DxfReadResult::kCancelled ? 1 : 0;
}

DxfReadReport ReadDxfBytes(std::string_view bytes, CStyle& style, const DxfReadOptions& options) {
  return ReadDxfInto(bytes, style, options);
}

const DxfReadReport& LastDxfReadReport() { return LastReportOf<DxfReadReport>(); }

DxfReadResult ReadDxfFile(const CString& path) {
  std::vector<uint8_t> bytes;
  if (!ReadPatternFile(path, bytes)) {
    return KeepAndShowReport(DxfReadReport{DxfReadResult::kFailed, IDS_FILE_MISSING, 0, "cannot be opened"});
  }
  DxfPairReader check;
  check.OpenBytes(BytesOf(bytes));
  if (std::optional<DxfReadReport> refused = SkipToFirstSection(check)) return KeepAndShowReport(*refused);

  // The options come first: a cancel leaves the style as it was.
  CDxfOpenDlg dialog;
  if (dialog.DoModal() != IDOK) {
    return KeepAndShowReport(DxfReadReport{DxfReadResult::kCancelled, 0, 0, "cancelled"});
  }
  DxfReadOptions options;
  options.dataUnit = dialog.m_nDataUnit;
  options.manyPatterns = dialog.m_nPatternCount == 0;

  // The drawing replaces the loaded style only when it is read whole; after a
  // data error what is loaded is in place again when the message shows.
  StagedStyleRead staged;
  const DxfReadReport report = ReadDxfInto(BytesOf(bytes), staged.Style(), options);
  if (report.outcome == DxfReadResult::kSuccess) {
    staged.Commit();
  } else {
    staged.Drop();
  }
  return KeepAndShowReport(report);
}
