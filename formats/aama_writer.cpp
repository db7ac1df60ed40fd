#include "formats/aama_writer.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "formats/aama_rul_writer.h"
#include "formats/aama_save_dlg.h"
#include "design/geometry/measure.h"
#include "formats/dxf_output.h"
#include "model/geometry.h"
#include "model/item_types.h"
#include "model/items/curve_item.h"
#include "model/items/text_item.h"
#include "model/lookup.h"
#include "model/outline_walk.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "platform/binary_file.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

// Curve points get a rule number of their own only this far (in millimetres
// of curve length) from the nearest grade point.
constexpr double kGradePointSpacingMm = 30.0;
// The layers of the AAMA convention.
constexpr int8_t kLayerBoundary = 1;
constexpr int8_t kLayerTurnPoint = 2;
constexpr int8_t kLayerCurvePoint = 3;
constexpr int8_t kLayerNotch = 4;
constexpr int8_t kLayerGradeReference = 5;
constexpr int8_t kLayerGrainLine = 7;
constexpr int8_t kLayerInternal = 8;
constexpr int8_t kLayerDrillHole = 13;
constexpr int8_t kLayerSewLine = 14;
// Point marks whose sub-kind (flags bits 8-11) is this are not drill holes.
constexpr uint32_t kMarkSubKindMask = 0xF00;
constexpr uint32_t kMarkSubKindNoHole = 0x800;
// A grain line this close to level in y gets a grade reference line along it.
constexpr double kLevelTolerance = 0.00001;
// A grade reference line is this long, in file units.
constexpr float kGradeReferenceLength = 2.0f;

// A curve vertex the reader made (kind 1 or 2): a grade point only when
// grade points are asked for.
bool IsCurvePointKind(int kind) { return kind == kVertexKindCurve || kind == kVertexKindCurveCorner; }

// The options as the dialog left them, with the rules that tie them
// together applied.
struct Options {
  bool allPieces = true;
  bool baseSizeOnly = false;
  int notch = 0;  // 0 points, 1 lines, 2 none, 3 into the curves
  int text = 0;   // 1: texts lose their high bits
  bool gradeToRul = true;
  bool controlPoints = false;
  bool gradePoints = true;
  bool descAsName = false;
};

// What one piece is written under: the block name (its name, or its
// description with the description as name) and the description of its
// ANNOTATION text.
struct PieceLabel {
  CString blockName;
  CString annotation;
};

// The units of the file: inches while the screen shows inches, else
// millimetres.
struct Units {
  bool english = false;
  double divisor = 1.0;  // model units per file unit
  float textHeight = 2.0f;
  float lineStep = 3.0f;
  float firstInsertX = 127.0f;
  int32_t nudge = 0;  // model units: 0.1 mm
};

Units UnitsOfStyle() {
  Units u;
  const int32_t scale = g_Style.GetScale();
  u.english = g_UnitMode < 2;
  if (u.english) {
    u.divisor = scale * 25.4;
    u.textHeight = 0.1f;
    u.lineStep = 0.14f;
    u.firstInsertX = 5.0f;
  } else {
    u.divisor = scale;
  }
  u.nudge = RoundToNearest(scale * 0.1);
  return u;
}

// A TEXT entity of the style's bytes, stripped when `strip` is 1.
void WriteText(DxfOutput& out, float x, float y, float height, const CString& text, int strip) {
  WriteDxfText(out, 1, x, y, height, OneDxfLine(text, strip == 1), 0);
}

// A block's name: the piece's block name and the size name, joined by "_",
// always in 7-bit bytes.
CString BlockNameOf(const CString& pieceName, const CString& sizeName) {
  return OneDxfLine(pieceName + "_" + sizeName, true);
}

// `count` pieces from `ring` along their Next links, each once: a count
// larger than the ring would bring the head round again, and a piece listed
// twice would be renamed for ever, its name always equal to its own.
std::vector<CPieceRecord*> PiecesFrom(CPieceRecord* ring, int count) {
  std::vector<CPieceRecord*> pieces;
  CPieceRecord* piece = ring;
  for (int i = 0; i < count && piece && (i == 0 || piece != ring); ++i, piece = piece->Next) pieces.push_back(piece);
  return pieces;
}

// Makes the texts distinct: at the first pair (i, j), i < j, of equal texts
// text j gets j + 1 appended (and `renamed(j)` is told), and the search
// starts again from the first pair.
template <typename Renamed>
void MakeDistinct(const std::vector<CString*>& texts, Renamed renamed) {
  const size_t n = texts.size();
  bool changed = true;
  while (changed) {
    changed = false;
    for (size_t i = 0; i < n && !changed; ++i) {
      for (size_t j = i + 1; j < n; ++j) {
        if (*texts[i] == *texts[j]) {
          CString suffix;
          suffix.Format("%d", static_cast<int>(j + 1));
          *texts[j] += suffix;
          renamed(j);
          changed = true;
          break;
        }
      }
    }
  }
}

// Rule numbers given to vertices, with the fourth word each held before, so
// that the style gets its words back when the writer is done.
class RuleNumbers {
 public:
  RuleNumbers() = default;
  RuleNumbers(const RuleNumbers&) = delete;
  RuleNumbers& operator=(const RuleNumbers&) = delete;
  ~RuleNumbers() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) it->first->Value = it->second;
  }

  // Numbers the vertices of the pieces from 2 on, in piece, item and ring
  // order (rule 1 is the all-zero rule).
  //
  // Every main vertex of an item that can carry a rule starts from 0: a word
  // left over from earlier work would otherwise read as a rule number, be
  // written as a second rule of that number and shown as its label, and end
  // the 30 mm walks between curve points early.
  void Assign(const std::vector<CPieceRecord*>& pieces, bool gradePoints) {
    for (CPieceRecord* piece : pieces) {
      for (CPieceItem* item : ItemsOf(piece)) {
        if (AamaRuleClassOf(item->Type) == AamaRuleItemClass::kNone) continue;
        for (CVertexNode* node : NodesOf(item)) {
          if (!node->IsMain()) continue;
          saved_.emplace_back(node, node->Value);
          node->Value = 0;
        }
      }
    }
    const double spacing = kGradePointSpacingMm * g_Style.GetScale();
    int counter = 1;
    for (CPieceRecord* piece : pieces) {
      for (CPieceItem* item : ItemsOf(piece)) {
        const AamaRuleItemClass itemClass = AamaRuleClassOf(item->Type);
        if (itemClass == AamaRuleItemClass::kNone) continue;
        for (CVertexNode* node : NodesOf(item)) {
          const int kind = node->Kind();
          bool numbered = false;
          switch (itemClass) {
            case AamaRuleItemClass::kCurve:
              // A curve point numbered here ends the walks of the curve
              // points after it, so grade points come at most every 30 mm.
              numbered = IsKeyVertexKind(kind) ||
                         (gradePoints && IsCurvePointKind(kind) && item->DistanceToKeyVertex(node) >= spacing);
              break;
            case AamaRuleItemClass::kPoints: numbered = node->IsMain(); break;
            case AamaRuleItemClass::kNotches: numbered = IsKeyVertexKind(kind); break;
            case AamaRuleItemClass::kNone: break;
          }
          if (!numbered) continue;
          ++counter;
          node->Value = std::bit_cast<int32_t>(static_cast<float>(counter));
        }
      }
    }
  }

 private:
  std::vector<std::pair<CVertexNode*, int32_t>> saved_;
};

// The rule number a vertex carries.
int RuleNumberOf(const CVertexNode* node) {
  return node ? TruncateTowardZero(std::bit_cast<float>(node->Value)) : 0;
}

bool SamePlace(const CVertexNode* a, const CVertexNode* b) { return a->X == b->X && a->Y == b->Y; }

// Writes the blocks of one piece: a working copy, mirrored so that y points
// up, drawn once for each size written.
class PieceBlockWriter {
 public:
  PieceBlockWriter(DxfOutput& out, const Options& options, const Units& units)
      : out_(out), options_(options), units_(units) {}

  // The blocks of `piece`; returns the width of the piece in file units,
  // which the INSERTs step by.
  float Write(const CPieceRecord* piece, const PieceLabel& label, const std::vector<int>& sizesWritten) {
    copy_ = DuplicatePiece(piece);
    copy_->Recalc(1);
    const int64_t middle = (static_cast<int64_t>(copy_->BoxMinY) + copy_->BoxMaxY) / 2;
    copy_->MirrorHorizontal(static_cast<int32_t>(middle));

    if (options_.notch == 3 && !options_.controlPoints) InsertNotches(-1);
    for (int m : sizesWritten) WriteBlock(label, m);

    const float width = Width();
    copy_.reset();
    return width;
  }

 private:
  float Width() const {
    if (copy_->BoxMaxX < copy_->BoxMinX || units_.divisor == 0.0) return 0.0f;
    return static_cast<float>((static_cast<int64_t>(copy_->BoxMaxX) - copy_->BoxMinX) / units_.divisor);
  }

  // The notches of the outline, the cut line and the contour put into them,
  // for every size (-1) or one size's curve.
  void InsertNotches(int size) {
    static constexpr std::pair<int, int> kPairs[] = {{kItemTypeNotches, kItemTypeOutline},
                                                     {kItemTypeDerivedNotches, kItemTypeCutLine},
                                                     {kItemTypeDottedNotches, kItemTypeContour}};
    for (const auto& [notchType, curveType] : kPairs) {
      CPieceItem* notches = nullptr;
      CPieceItem* curve = nullptr;
      if (copy_->FindItem(notchType, &notches) && copy_->FindItem(curveType, &curve)) {
        InsertNotchesIntoCurve(curve, notches, size);
      }
    }
  }

  void Convert(const CVertexNode* node, float* x, float* y) const {
    ModelToAamaPoint(x, y, node, copy_.get(), units_.divisor);
  }
  float ToFile(int64_t length) const {
    return units_.divisor == 0.0 ? 0.0f : static_cast<float>(length / units_.divisor);
  }

  void Point(int8_t layer, const CVertexNode* node) {
    float x = 0, y = 0;
    Convert(node, &x, &y);
    WriteDxfPoint(out_, layer, x, y);
  }
  void Label(int8_t layer, const CVertexNode* node, int number) {
    float x = 0, y = 0;
    Convert(node, &x, &y);
    WriteDxfTextEntity(out_, &number, layer, x, y, units_.textHeight);
  }
  void PointAndLabel(int8_t layer, const CVertexNode* node) {
    Point(layer, node);
    Label(layer, node, RuleNumberOf(node));
  }
  void Line(int8_t layer, const CVertexNode* a, const CVertexNode* b) {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Convert(a, &x1, &y1);
    Convert(b, &x2, &y2);
    WriteDxfLine(out_, layer, x1, y1, x2, y2);
  }

  void WriteBlock(const PieceLabel& label, int m) {
    CSizeRecord* size = g_Style.SizeArray[static_cast<size_t>(m)];
    k_ = g_Style.IndexOfSize(size);
    if (k_ < 0) return;

    // Where the block's texts start: beside the grain line's middle, or the
    // middle of the piece when it has no grain line.
    float anchorX = 0, anchorY = 0;
    CPieceItem* grain = nullptr;
    if (copy_->FindItem(kItemTypeGrainLine, &grain) && grain->VertexHead) {
      float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
      Convert(grain->VertexHead, &x1, &y1);
      Convert(grain->NextMainVertex(grain->VertexHead), &x2, &y2);
      anchorX = (x1 + x2) / 2 + 3 * units_.lineStep;
      anchorY = (y1 + y2) / 2 + 3 * units_.lineStep;
    } else if (copy_->BoxMaxX >= copy_->BoxMinX && copy_->BoxMaxY >= copy_->BoxMinY) {
      anchorX = ToFile(static_cast<int64_t>(copy_->BoxMaxX) - copy_->BoxMinX) / 2;
      anchorY = ToFile(static_cast<int64_t>(copy_->BoxMaxY) - copy_->BoxMinY) / 2;
    }

    if (options_.notch == 3 && options_.controlPoints) InsertNotches(k_);

    out_.Line("  0");
    out_.Line("BLOCK");
    out_.Line("  8");
    out_.Line("0");
    out_.Line("  2");
    out_.Line(BlockNameOf(label.blockName, size->Name).view());
    out_.Line(" 70");
    out_.Line("64");
    out_.Line(" 10");
    out_.Line("0.0000");
    out_.Line(" 20");
    out_.Line("0.0000");

    float y = anchorY;
    auto text = [&](const CString& value, int strip) {
      y += units_.lineStep;
      WriteText(out_, anchorX, y, units_.textHeight, value, strip);
    };
    text("PIECE NAME: " + label.blockName, options_.text);
    if (!options_.descAsName) text("ANNOTATION: " + label.annotation, options_.text);
    text(copy_->Category.IsEmpty() ? CString("CATEGORY: A") : "CATEGORY: " + copy_->Category, options_.text);
    CString quantity;
    quantity.Format("QUANTITY: %d", copy_->Quantity);
    text(quantity, 0);
    text("SIZE: " + size->Name, options_.text);

    // The items from the outline on, round the ring.
    std::vector<CPieceItem*> items = ItemsOf(copy_.get());
    CPieceItem* outline = nullptr;
    size_t first = 0;
    if (copy_->FindItem(kItemTypeOutline, &outline)) {
      for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == outline) first = i;
      }
    }
    for (size_t i = 0; i < items.size(); ++i) WriteItem(items[(first + i) % items.size()]);

    out_.Line("  0");
    out_.Line("ENDBLK");
  }

  void WriteItem(CPieceItem* item) {
    if (!item->VertexHead || item->VertexCount <= 0) return;
    switch (item->Type) {
      case kItemTypeOutline: case kItemTypeClosedLine: case kItemTypeCutLine: case kItemTypeContour: {
        int8_t layer = kLayerInternal;
        if (item->Type == kItemTypeOutline) layer = kLayerBoundary;
        if (item->Type == kItemTypeCutLine) layer = kLayerSewLine;
        Polyline(item, layer, true, true);
        if (k_ == 0) CurvePoints(item);
        break;
      }
      case kItemTypeOpenLine:
        if (item->CountMainVertices() < 3) {
          TwoPointLine(item);
        } else {
          Polyline(item, kLayerInternal, false, true);
          if (k_ == 0) CurvePoints(item);
        }
        break;
      case kItemTypeGrainLine: GrainLine(item); break;
      case kItemTypeFilledMarkers: case kItemTypeHollowMarkers: DrillHoles(item); break;
      case kItemTypeSlot: Pairs(item); break;
      case kItemTypeTwoPointLine: case kItemTypeDerivedLine: case kItemTypeDottedLine: TwoPointLine(item); break;
      case kItemTypeVShape: case kItemTypeSegmentPairs: case kItemTypeDerivedCornerMark:
      case kItemTypeDerivedSegments: case kItemTypeCornerMarks: case kItemTypeEndTicks:
        Polyline(item, kLayerInternal, false, false);
        if (k_ == 0) {
          for (CVertexNode* v : MainVerticesOf(item)) {
            const int kind = v->Kind();
            PointAndLabel(IsSmoothVertexKind(kind) ? kLayerCurvePoint : kLayerTurnPoint, v);
          }
        }
        break;
      case kItemTypeCircles: Circles(item); break;
      case kItemTypeText: Text(item); break;
      case kItemTypeNotches: case kItemTypeDerivedNotches: case kItemTypeDottedNotches: Notches(item); break;
      default: break;
    }
  }

  // A polyline through the size's vertices. Without control points (or
  // where the curve has no smoothed ring) one vertex per main vertex, a
  // vertex at the place of the one before nudged 0.1 mm aside so that no
  // edge has no length; with them, every point of the size's smoothed curve.
  void Polyline(CPieceItem* item, int8_t layer, bool closed, bool smoothable) {
    out_.Line("  0");
    out_.Line("POLYLINE");
    out_.Line("  8");
    out_.Integer(layer);
    out_.Line("  66");
    out_.Line("1");
    out_.Line("  70");
    out_.Line(closed ? "1" : "0");
    const CVertexRing* ring = nullptr;
    if (smoothable && options_.controlPoints) {
      if (auto* curve = dynamic_cast<CPieceCurveItem*>(item)) ring = curve->CurveRingAt(k_);
    }
    if (ring && ring->Head && ring->Count > 0) {
      const CVertexNode* node = ring->Head;
      for (int32_t i = 0; i < ring->Count && node; ++i, node = node->Next) Vertex(layer, node);
    } else {
      const std::vector<CVertexNode*> mains = MainVerticesOf(item);
      const size_t n = mains.size();
      for (size_t i = 0; i < n; ++i) {
        CVertexNode* written = AamaSizeNode(mains[i], k_);
        Vertex(layer, written);
        CVertexNode* next = AamaSizeNode(mains[(i + 1) % n], k_);
        CVertexNode* after = AamaSizeNode(mains[(i + 2) % n], k_);
        if (SamePlace(next, written)) {
          next->X = WrapAdd(next->X, units_.nudge);
          if (SamePlace(next, after)) {
            next->X = WrapSub(next->X, units_.nudge);
            next->Y = WrapAdd(next->Y, units_.nudge);
            if (SamePlace(next, after)) next->X = WrapAdd(next->X, units_.nudge);
          }
        }
      }
    }
    out_.Line("  0");
    out_.Line("SEQEND");
  }

  void Vertex(int8_t layer, const CVertexNode* node) {
    float x = 0, y = 0;
    Convert(node, &x, &y);
    WriteDxfVertex(out_, layer, x, y);
  }

  // The base size's points of a curve: corners on the turn-point layer,
  // curve points on the curve-point layer, grade points labelled with their
  // rule numbers. With control points the smoothed points are written, each
  // labelled with the number of the vertex it stands for.
  void CurvePoints(CPieceItem* item) {
    auto* curve = dynamic_cast<CPieceCurveItem*>(item);
    std::vector<CVertexNode*> nodes;
    const CVertexRing* ring = options_.controlPoints && curve ? curve->CurveRingAt(0) : nullptr;
    if (ring && ring->Head && ring->Count > 0) {
      CVertexNode* node = ring->Head;
      for (int32_t i = 0; i < ring->Count && node; ++i, node = node->Next) nodes.push_back(node);
    } else {
      ring = nullptr;
      nodes = NodesOf(item);
    }
    for (CVertexNode* node : nodes) {
      const int kind = node->Kind();
      int8_t layer = 0;
      if (IsSmoothVertexKind(kind) || kind == kVertexKindGraded) layer = kLayerCurvePoint;
      else if (IsCornerVertexKind(kind)) layer = kLayerTurnPoint;
      else continue;
      Point(layer, node);
      const bool gradePoint = IsKeyVertexKind(kind) || (options_.gradePoints && IsCurvePointKind(kind));
      if (!gradePoint) continue;
      int number = RuleNumberOf(node);
      if (ring && number <= 0) number = RuleNumberOf(curve->MapToMainVertex(g_Style.SizeRing, node));
      if (number > 0) Label(layer, node, number);
    }
  }

  // The grain line in the base size's place for every size, and the grade
  // reference line: along it when it lies level, else a short level line
  // from its start.
  void GrainLine(CPieceItem* item) {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Convert(item->VertexHead, &x1, &y1);
    Convert(item->NextMainVertex(item->VertexHead), &x2, &y2);
    WriteDxfLine(out_, kLayerGrainLine, x1, y1, x2, y2);
    if (std::fabs(static_cast<double>(y1) - y2) >= kLevelTolerance) {
      WriteDxfLine(out_, kLayerGradeReference, x1, y1, x1 + kGradeReferenceLength, y1);
    } else {
      WriteDxfLine(out_, kLayerGradeReference, x1, y1, x2, y2);
    }
  }

  void DrillHoles(CPieceItem* item) {
    for (CVertexNode* v : MainVerticesOf(item)) {
      if ((v->Flags & kMarkSubKindMask) == kMarkSubKindNoHole) continue;
      Point(kLayerDrillHole, AamaSizeNode(v, k_));
      if (k_ == 0) Label(kLayerDrillHole, v, RuleNumberOf(v));
    }
  }

  // Lines between the first and second, third and fourth ... main vertex.
  void Pairs(CPieceItem* item) {
    const std::vector<CVertexNode*> mains = MainVerticesOf(item);
    for (size_t i = 0; i + 1 < mains.size(); i += 2) {
      Line(kLayerInternal, AamaSizeNode(mains[i], k_), AamaSizeNode(mains[i + 1], k_));
      if (k_ == 0) {
        PointAndLabel(kLayerTurnPoint, mains[i]);
        PointAndLabel(kLayerTurnPoint, mains[i + 1]);
      }
    }
  }

  void TwoPointLine(CPieceItem* item) {
    const std::vector<CVertexNode*> mains = MainVerticesOf(item);
    if (mains.size() < 2) return;
    Line(kLayerInternal, AamaSizeNode(mains[0], k_), AamaSizeNode(mains[1], k_));
    if (k_ == 0) {
      PointAndLabel(kLayerTurnPoint, mains[0]);
      PointAndLabel(kLayerTurnPoint, mains[1]);
    }
  }

  // Each circle: its centre group, then its radius group (the radius of
  // each size in x, the first node no main vertex) after the centre's copies. A circle of the default
  // radius of 0.1 mm is a placeholder and is left out, as is one without a
  // positive radius.
  void Circles(CPieceItem* item) {
    for (CVertexNode* centre : MainVerticesOf(item)) {
      CVertexNode* radius = centre;
      for (int i = 0; i < g_Style.SizeCount && radius; ++i) radius = radius->Next;
      if (!radius || radius == centre || radius->IsMain() || radius->Kind() == kVertexKindCopy) continue;
      if (radius->X == g_Style.GetScale() * 0.1) continue;
      const float r = ToFile(AamaSizeNode(radius, k_)->X);
      if (!(r > 0.0f)) continue;
      float x = 0, y = 0;
      Convert(AamaSizeNode(centre, k_), &x, &y);
      out_.Line("  0");
      out_.Line("CIRCLE");
      out_.Line("  8");
      out_.Line("8");
      out_.Line(" 10");
      out_.Number(x);
      out_.Line(" 20");
      out_.Number(y);
      out_.Line(" 40");
      out_.Number(r);
      if (k_ == 0) PointAndLabel(kLayerTurnPoint, centre);
    }
  }

  // A text item at its anchor. The font height may be stored negative (a
  // character height); the file takes its size.
  void Text(CPieceItem* item) {
    auto* text = dynamic_cast<CPieceItem11*>(item);
    if (!text) return;
    const float x = ToFile(static_cast<int64_t>(text->AnchorX) - copy_->BoxMinX);
    const float y = ToFile(static_cast<int64_t>(text->AnchorY) - copy_->BoxMinY);
    float height = std::fabs(ToFile(text->Font.lfHeight));
    if (!(height > 0.0f)) height = units_.textHeight;
    WriteText(out_, x, y, height, text->Text, options_.text);
  }

  // Notch mode 0: a point per notch with its depth (" 30") and width
  // (" 39"); mode 1: a line per notch; modes 2 and 3: nothing here. Each
  // notch is its notch vertex and end vertex (each with its copies), a width
  // node and a reference node.
  void Notches(CPieceItem* item) {
    if (options_.notch == 1) {
      Pairs(item);
      return;
    }
    if (options_.notch != 0) return;
    CVertexNode* head = item->VertexHead;
    CVertexNode* notch = head;
    CVertexNode* end = item->NextMainVertex(head);
    for (int32_t guard = 0; guard < item->VertexCount && notch && end; ++guard) {
      const CVertexNode* notchNode = AamaSizeNode(notch, k_);
      CVertexNode* endNode = AamaSizeNode(end, k_);
      Point(kLayerNotch, notchNode);
      const double depth = Distance(notchNode->X, notchNode->Y, endNode->X, endNode->Y);
      out_.Line(" 30");
      out_.Number(units_.divisor == 0.0 ? 0.0f : static_cast<float>(depth / units_.divisor));
      CVertexNode* following = item->NextMainVertex(endNode);
      CVertexNode* width = following ? following->Prev : nullptr;
      width = width ? width->Prev : nullptr;
      const bool hasWidth = width && width->Kind() == kVertexKindFixedSingle;
      out_.Line(" 39");
      out_.Number(hasWidth ? ToFile(width->X) : 0.0f);
      if (k_ == 0) Label(kLayerNotch, notch, RuleNumberOf(notch));
      if (!hasWidth) break;
      notch = item->NextMainVertex(width);
      end = item->NextMainVertex(notch);
      if (notch == head) break;
    }
  }

  DxfOutput& out_;
  const Options& options_;
  const Units& units_;
  std::unique_ptr<CPieceRecord> copy_;
  int k_ = 0;  // size-ring position of the size being written
};

// The sorted sizes must be the sizes of the ring, each once: a size missing
// from the ring would get a block that no size of the style has. The records
// are only compared, never read, until the array is known to be sound.
void EnsureSortedSizes() {
  bool complete = static_cast<int>(g_Style.SizeArray.size()) == g_Style.SizeCount;
  std::vector<bool> seen(g_Style.SizeArray.size(), false);
  for (const CSizeRecord* size : g_Style.SizeArray) {
    const int k = g_Style.IndexOfSize(size);
    complete = complete && k >= 0 && static_cast<size_t>(k) < seen.size() && !seen[static_cast<size_t>(k)];
    if (complete) seen[static_cast<size_t>(k)] = true;
  }
  if (!complete) g_Style.SortSizes();
}

int Fail() {
  ShowFailureMessage(IDS_SAVE_PTN_FAILED);
  return 0;
}

// The piece names and descriptions of a save, made distinct on copies so
// that the style keeps its own. The copies follow the pieces of the style's
// ring of all pieces, and the work-area copies linked to them, exactly as
// FixAamaPieceNames renames the records: a name that is empty or equal to
// an earlier one changes, and each change is copied to the piece's
// work-area copy.
class WrittenPieceNames {
 public:
  explicit WrittenPieceNames(bool descriptionAsName) {
    const std::vector<CPieceRecord*> pieces = PiecesFrom(g_Style.PieceRing, g_Style.PieceCount);
    for (CPieceRecord* piece : pieces) NamesOf(piece);
    auto copyToLink = [&](size_t i) {
      CPieceRecord* piece = pieces[i];
      if (!piece->Linked || !piece->Link) return;
      Names& link = NamesOf(piece->Link);
      const Names& own = NamesOf(piece);
      link.name = own.name;
      link.description = own.description;
    };
    for (size_t i = 0; i < pieces.size(); ++i) {
      Names& names = NamesOf(pieces[i]);
      CString& text = descriptionAsName ? names.description : names.name;
      if (!text.IsEmpty()) continue;
      text.Format("Piece%d", static_cast<int>(i + 1));
      copyToLink(i);
    }
    std::vector<CString*> texts;
    for (CPieceRecord* piece : pieces) texts.push_back(&NamesOf(piece).name);
    MakeDistinct(texts, copyToLink);
    if (descriptionAsName) {
      texts.clear();
      for (CPieceRecord* piece : pieces) texts.push_back(&NamesOf(piece).description);
      MakeDistinct(texts, copyToLink);
    }
  }

  // What `piece` (of either ring) is written under; a piece that no
  // renaming reached keeps its own name and description.
  PieceLabel LabelFor(const CPieceRecord* piece, bool descriptionAsName) const {
    const auto it = names_.find(piece);
    const CString& name = it != names_.end() ? it->second.name : piece->PieceName;
    const CString& description = it != names_.end() ? it->second.description : piece->Annotation;
    return {descriptionAsName ? description : name, description};
  }

  // Gives the records the names worked out here.
  void ApplyToStyle() const {
    for (const auto& [piece, names] : names_) {
      auto* record = const_cast<CPieceRecord*>(piece);
      record->PieceName = names.name;
      record->Annotation = names.description;
    }
  }

 private:
  struct Names {
    CString name;
    CString description;
  };

  // The copy of a record's names, taken from the record when first asked.
  Names& NamesOf(const CPieceRecord* piece) {
    auto [it, added] = names_.try_emplace(piece);
    if (added) it->second = {piece->PieceName, piece->Annotation};
    return it->second;
  }

  std::map<const CPieceRecord*, Names> names_;
};

// Runs the dialog; false when the user cancelled. The options are then as
// the dialog left them (and as it copied them back to the settings).
bool AskOptions(Options* options) {
  CAamaSaveDlg dlg;
  if (dlg.DoModal() != IDOK) return false;
  options->allPieces = dlg.m_nPieces != 0;
  options->baseSizeOnly = dlg.m_nSizes != 0;
  options->notch = dlg.m_nNotch;
  options->text = dlg.m_nText;
  options->gradeToRul = dlg.m_bGradeToRul != 0;
  options->controlPoints = dlg.m_bControlPoints != 0;
  options->gradePoints = dlg.m_bGradePoints != 0;
  options->descAsName = dlg.m_bDescAsName != 0;
  return true;
}

// The rules that tie the options together: a rule table needs two sizes and
// all of them asked for, and then only the base size is drawn; control
// points are written only when the sizes are not drawn out one by one.
void TieOptions(Options* options, int sizeCount) {
  if (options->baseSizeOnly || sizeCount < 2) options->gradeToRul = false;
  if (!options->baseSizeOnly && options->gradeToRul) options->baseSizeOnly = true;
  if (!options->baseSizeOnly && !options->gradeToRul && sizeCount > 1) options->controlPoints = false;
}

// The sizes written, by their place in the sorted sizes.
std::vector<int> SizesWritten(const Options& options) {
  std::vector<int> sizes;
  for (size_t m = 0; m < g_Style.SizeArray.size(); ++m) {
    if (!options.baseSizeOnly || g_Style.SizeArray[m] == g_Style.SizeRing) sizes.push_back(static_cast<int>(m));
  }
  return sizes;
}

// The file's empty header and its blocks: every written size of every
// piece. Returns each piece's width in file units.
std::vector<float> WriteBlocksSection(DxfOutput& out, const Options& options, const Units& units,
                                      const std::vector<CPieceRecord*>& pieces, const std::vector<PieceLabel>& labels,
                                      const std::vector<int>& sizesWritten) {
  for (const char* line : {"  0", "SECTION", "  2", "HEADER", "  0", "ENDSEC", "  0", "SECTION", "  2", "BLOCKS"}) {
    out.Line(line);
  }
  std::vector<float> widths;
  PieceBlockWriter blocks(out, options, units);
  for (size_t p = 0; p < pieces.size(); ++p) widths.push_back(blocks.Write(pieces[p], labels[p], sizesWritten));
  for (const char* line : {"  0", "ENDSEC"}) out.Line(line);
  return widths;
}

// The entities: the style's header texts, one above the other, then one
// INSERT per block, side by side from left to right; and the end of file.
void WriteEntitiesSection(DxfOutput& out, const Options& options, const Units& units, const CString& styleName,
                          const CString& tableName, const std::vector<PieceLabel>& labels,
                          const std::vector<float>& widths, const std::vector<int>& sizesWritten) {
  for (const char* line : {"  0", "SECTION", "  2", "ENTITIES"}) out.Line(line);
  const time_t now = CurrentTime();
  const CString baseName = g_Style.SizeRing ? g_Style.SizeRing->Name : CString();
  const std::pair<CString, int> headerTexts[] = {
      {"Style Name: " + styleName, options.text},
      {"Creation Date: " + FormatUtcTime(now, "%m-%d-%Y"), 0},
      {"Creation Time: " + FormatUtcTime(now, "%H:%M:%S"), 0},
      {"Author: ZORVEK TECHNOLOGY", 0},
      {"PRODUCT: ZV-KOV", 0},
      {"VERSION: V5.0", 0},
      {"Sample Size: " + baseName, options.text},
      {"Grade Rule Table: " + tableName, 0},
      {units.english ? "Units: ENGLISH" : "Units: METRIC", 0},
      {"TOLERANCE: .0001", 0},
  };
  float y = 0;
  for (const auto& [text, strip] : headerTexts) {
    y += units.lineStep;
    WriteText(out, 0.0f, y, units.textHeight, text, strip);
  }

  float x = units.firstInsertX;
  for (size_t p = 0; p < labels.size(); ++p) {
    for (int m : sizesWritten) {
      out.Line("  0");
      out.Line("INSERT");
      out.Line("  8");
      out.Line("1");
      out.Line("  2");
      out.Line(BlockNameOf(labels[p].blockName, g_Style.SizeArray[static_cast<size_t>(m)]->Name).view());
      out.Line(" 10");
      out.Number(x);
      out.Line(" 20");
      out.Line("0.0000");
      x += widths[p];
    }
  }
  for (const char* line : {"  0", "ENDSEC", "  0", "EOF"}) out.Line(line);
}

// The *.rul table of the `count` pieces written, from the ring they were
// taken from, into `file`'s temporary file beside the DXF file (put in place
// by the caller); false when it could not be created or written.
bool WriteRuleTable(AtomicFileWriter& file, const CString& dxfPath, const Options& options, const Units& units,
                    int count, const CString& tableName) {
  AamaRuleSource source;
  source.ring = options.allPieces ? g_Style.PieceRing : g_Style.WorkPieceRing;
  source.count = count;
  source.gradePoints = options.gradePoints;
  source.english = units.english;
  source.tableName = tableName;
  source.when = CurrentTime();
  if (!file.Open(AamaRuleFilePath(dxfPath))) return false;
  DxfOutput out(file);
  WriteAamaRuleText(source, out);
  return out.Flush();
}

}  // namespace

void FixAamaSizeNames() {
  EnsureSortedSizes();
  std::vector<CString*> names;
  for (size_t i = 0; i < g_Style.SizeArray.size(); ++i) {
    CSizeRecord* size = g_Style.SizeArray[i];
    if (!size) continue;
    if (size->Name.IsEmpty()) size->Name.Format("SIZE%x", static_cast<unsigned>(i + 1));
    names.push_back(&size->Name);
  }
  MakeDistinct(names, [](size_t) {});
}

void FixAamaPieceNames(bool descriptionAsName) {
  WrittenPieceNames(descriptionAsName).ApplyToStyle();
}

int SaveAamaFile(const char* path) {
  const CString dxfPath(path);
  CString styleName = g_Style.StyleName;
  styleName.Trim();
  if (styleName.IsEmpty()) styleName = "Style1";
  FixAamaSizeNames();

  Options options;
  if (!AskOptions(&options)) return 1;
  const std::vector<CPieceRecord*> pieces =
      options.allPieces ? PiecesFrom(g_Style.PieceRing, g_Style.PieceCount)
                        : PiecesFrom(g_Style.WorkPieceRing, g_Style.WorkPieceCount);
  // Nothing to write is a failed save, not a silent success.
  if (pieces.empty() || g_Style.SizeArray.empty()) return Fail();
  const WrittenPieceNames names(options.descAsName);
  std::vector<PieceLabel> labels;
  for (const CPieceRecord* piece : pieces) labels.push_back(names.LabelFor(piece, options.descAsName));

  RuleNumbers numbers;
  numbers.Assign(pieces, options.gradePoints);
  TieOptions(&options, g_Style.SizeCount);

  // A folder in the file's place would only be found when the finished
  // file is put there, after the rule table beside it was replaced. A DXF
  // file named *.rul would be its own rule table: one of the two files would
  // be lost, so nothing is written.
  const bool writeRules = options.gradeToRul && g_Style.SizeCount > 1;
  if (writeRules && AamaRuleFilePath(dxfPath) == dxfPath) return Fail();
  AtomicFileWriter dxfFile;
  if (IsFolder(dxfPath) || !dxfFile.Open(dxfPath)) return Fail();
  const Units units = UnitsOfStyle();
  DxfOutput out(dxfFile);
  const std::vector<int> sizesWritten = SizesWritten(options);
  const std::vector<float> widths = WriteBlocksSection(out, options, units, pieces, labels, sizesWritten);
  const CString tableName = writeRules ? AamaRuleTableName(dxfPath) : CString();
  WriteEntitiesSection(out, options, units, styleName, tableName, labels, widths, sizesWritten);
  if (!out.Flush()) return Fail();
  if (!writeRules) return dxfFile.Commit() ? 1 : Fail();
  AtomicFileWriter ruleFile;
  if (!WriteRuleTable(ruleFile, dxfPath, options, units, static_cast<int>(pieces.size()), tableName)) {
    return Fail();
  }
  // Both files are written out whole before either is put in place, so a
  // full disk leaves both old files. The rule table is put in place first:
  // the predictable reason for the DXF file's rename to fail (a folder in its
  // place) was ruled out above, while the rule table's (a folder named like
  // it) then fails before anything changed. Only an unexpected failure of the
  // DXF file's rename, after the rule table's succeeded, can still leave a new
  // table beside the old DXF file.
  if (!CommitTogether({&ruleFile, &dxfFile})) return Fail();
  return 1;
}
