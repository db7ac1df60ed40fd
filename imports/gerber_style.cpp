#include "imports/gerber_style.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

#include "formats/aama_piece.h"
#include "model/geometry.h"
#include "model/grading.h"
#include "model/item_factory.h"
#include "model/item_types.h"
#include "model/items/all_items.h"
#include "model/lookup.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "platform/numbers.h"
#include "platform/progress.h"

namespace {

// Notches and their outline vertices are looked for within 2 mm.
constexpr double kSnapTolerance = 2.0;
// A notch's place on the outline is kept as a ratio along its span, the span
// ending at the next vertex that is no spline point.
constexpr int kNotchPlacement = kNotchRatioToVertex;
// The notch's outline vertex, moved with the outline, placed by ratio.
constexpr uint32_t kNotchReferenceFlags = (static_cast<uint32_t>(kNotchPlacement)) | kVertexKindMovedSingle;
constexpr size_t kSizeEntryBytes = 10;
constexpr int kGerberCornerPoint = 2;
constexpr int kGerberSmoothPoint = 3;

// Pen colours of the first sixteen sizes; later sizes keep the colour they
// were made with.
constexpr COLORREF kSizeColors[16] = {
    RGB(0, 0, 0),       RGB(0, 255, 0),     RGB(255, 0, 0),   RGB(0, 0, 255),     RGB(0, 255, 255), RGB(128, 0, 128),
    RGB(255, 255, 0),   RGB(128, 128, 128), RGB(128, 128, 0), RGB(192, 192, 192), RGB(0, 128, 0),   RGB(0, 0, 128),
    RGB(255, 0, 255),   RGB(0, 128, 128),   RGB(128, 0, 0),   RGB(0, 255, 0),
};

int32_t ToModelUnits(double fileUnits) { return TruncateTowardZero(fileUnits / kGgtUnitsPerModelUnit); }

// The ungraded position of a point.
CPoint BasePosition(const CGgtOutlineEntry& p) { return CPoint(ToModelUnits(p.x), ToModelUnits(p.y)); }

int PieceSizeCount(const CPiece& piece) { return piece.body ? piece.body->sizeCount : 0; }
int PieceBaseIndex(const CPiece& piece) { return piece.body ? piece.body->sizeIndex : 0; }

int32_t Middle(int32_t a, int32_t b) {
  return static_cast<int32_t>((static_cast<int64_t>(a) + static_cast<int64_t>(b)) / 2);
}

CString DecimalText(int value) {
  CString text;
  text.Format("%d", value);
  return text;
}

// The name of size `index` in a piece's size table: the text up to the first
// zero byte with named sizes, else the signed 16-bit little-endian number in
// the entry's first two bytes. Without that entry, `fallback`.
CString SizeTableName(const CGgtPieceBody& body, size_t index, const CString& fallback) {
  if (body.sizeTable.size() / kSizeEntryBytes <= index) return fallback;
  const uint8_t* entry = body.sizeTable.data() + index * kSizeEntryBytes;
  if (body.namedSizes != 0) return GgtFieldText(entry, kSizeEntryBytes);
  const auto number = static_cast<int16_t>(static_cast<uint16_t>(entry[0] | (entry[1] << 8)));
  return DecimalText(number);
}

// The style's sizes, made from the reference piece: the base size first in
// the ring, then the smaller sizes, then the larger ones, so that the ring
// order is the order of every vertex's copies; the sorted array has them in
// the piece's own order with the base size at its base index.
void BuildSizeTable(const CPiece& reference) {
  const int sizes = PieceSizeCount(reference);
  const int base = PieceBaseIndex(reference);
  for (int i = 0; i < sizes; ++i) {
    CString name;
    double key = 0.0;
    if (i == 0) {
      name = DecimalText(base + 1);
    } else if (i <= base) {
      name = DecimalText(i);
      key = i - base - 1;
    } else {
      name = DecimalText(i + 1);
      key = i - base;
    }
    auto* size = new CSizeRecord(name, key, key, 0, 1);
    if (g_Style.SizeCount >= 0 && g_Style.SizeCount < 16) size->Color = kSizeColors[g_Style.SizeCount];
    g_Style.AddSize(size);
  }
  g_Style.SortSizes();
  for (size_t i = 0; i < g_Style.SizeArray.size(); ++i) {
    CSizeRecord* size = g_Style.SizeArray[i];
    size->Name = SizeTableName(*reference.body, i, size->Name);
  }
}

// The first piece with the most sizes; null when no piece has a size.
const CPiece* FindReferencePiece(const CModel& model) {
  const CPiece* reference = nullptr;
  for (const auto& piece : model.pieces) {
    if (piece && PieceSizeCount(*piece) > (reference ? PieceSizeCount(*reference) : 0)) reference = piece.get();
  }
  return reference;
}

uint64_t TotalPointCount(const CModel& model) {
  uint64_t total = 0;
  for (const auto& piece : model.pieces) {
    if (!piece) continue;
    total += piece->outline.size() + piece->notchPoints.size() + piece->markPoints.size() +
             piece->straightLinePoints.size() + piece->twoPointLinePoints.size();
    for (const auto& line : piece->firstLineGroup) total += line.size();
    for (const auto& line : piece->secondLineGroup) total += line.size();
  }
  return total;
}

uint64_t NotchPointCount(const CModel& model) {
  uint64_t total = 0;
  for (const auto& piece : model.pieces) total += piece ? piece->notchPoints.size() : 0;
  return total;
}

// Whether the conversion stays within kGgtMaxVertexNodes: every point gives
// at least one node per size; and sorting the sizes, and placing a notch in
// every size (each size is looked up along the size ring), take work that
// grows with the square of the sizes. A piece claiming tens of thousands of
// sizes would otherwise make millions of nodes or keep the import busy for
// minutes.
bool WorkIsBounded(const CModel& model, int styleSizes) {
  const auto sizes = static_cast<uint64_t>(std::max(1, styleSizes));
  if (TotalPointCount(model) > kGgtMaxVertexNodes / sizes) return false;
  return NotchPointCount(model) + 1 <= kGgtMaxVertexNodes / (sizes * sizes);
}

// The node `steps` places after `node` in its ring.
CVertexNode* NodeAfter(CVertexNode* node, int steps) {
  for (int i = 0; i < steps && node; ++i) node = node->Next;
  return node;
}

// Builds one piece record from a Gerber piece.
class PieceConverter {
 public:
  PieceConverter(const CPiece& piece, int styleSizes, int referenceBase)
      : piece_(piece), copies_(std::max(0, styleSizes - 1)) {
    const int sizes = PieceSizeCount(piece);
    const int base = PieceBaseIndex(piece);
    // The piece's own graded sizes: all but its base, or all of them when its
    // base index lies outside its table; never more than the style has.
    int graded = sizes == 0 ? 0 : (base < sizes ? sizes - 1 : sizes);
    graded_ = std::min(graded, copies_);
    // Aligned on the base size: the sizes the reference piece has below this
    // piece's smallest are copies of the base position; a piece whose base
    // lies higher than the reference's starts at once.
    leading_ = std::clamp(referenceBase - base, 0, copies_ - graded_);
    trailing_ = copies_ - graded_ - leading_;
  }

  // The piece record, or null for a piece without outline points.
  std::unique_ptr<CPieceRecord> Convert();

 private:
  // Adds `p` to `item` at `base` with the main kind `flags`, then its
  // per-size copies: the base position for the sizes the piece lacks, its
  // graded position for each of its own sizes. The copies go to `copies`
  // when given.
  CVertexNode* AddGradedVertex(CPieceItem* item, const CGgtOutlineEntry& p, uint32_t flags, CPoint base,
                               std::vector<CVertexNode*>* copies = nullptr) const;
  // Adds `base` with the main kind `flags` and a copy of it for every further
  // size.
  CVertexNode* AddUngradedVertex(CPieceItem* item, CPoint base, uint32_t flags,
                                 std::vector<CVertexNode*>* copies = nullptr) const;
  void AddNotches(CPieceRecord* record, CPieceItem0* outline) const;
  void AddLineGroup(CPieceRecord* record, const std::vector<std::vector<CGgtOutlineEntry>>& group,
                    bool firstGroup) const;
  // Gives `to` the grading of `from`: each copy of `to` is `to` moved by the
  // offset of the same copy of `from`.
  void CopyGrading(CVertexNode* from, CVertexNode* to) const;

  const CPiece& piece_;
  int copies_;
  int graded_ = 0;
  int leading_ = 0;
  int trailing_ = 0;
};

CVertexNode* PieceConverter::AddGradedVertex(CPieceItem* item, const CGgtOutlineEntry& p, uint32_t flags,
                                             CPoint base, std::vector<CVertexNode*>* copies) const {
  CVertexNode* main = item->AddTailVertex(base.x, base.y, flags);
  auto addCopy = [&](CPoint at) {
    CVertexNode* copy = item->AddTailVertex(at.x, at.y, kVertexKindCopy);
    if (copies) copies->push_back(copy);
  };
  for (int i = 0; i < leading_; ++i) addCopy(base);
  const int sizes = PieceSizeCount(piece_);
  const int pieceBase = PieceBaseIndex(piece_);
  int written = 0;
  for (int s = 0; s < sizes && written < graded_; ++s) {
    if (s == pieceBase) continue;
    addCopy(GgtPointToModel(piece_, p.x, p.y, p.ruleNumber, s));
    ++written;
  }
  for (int i = 0; i < trailing_; ++i) addCopy(base);
  return main;
}

CVertexNode* PieceConverter::AddUngradedVertex(CPieceItem* item, CPoint base, uint32_t flags,
                                               std::vector<CVertexNode*>* copies) const {
  CVertexNode* main = item->AddTailVertex(base.x, base.y, flags);
  for (int i = 0; i < copies_; ++i) {
    CVertexNode* copy = item->AddTailVertex(base.x, base.y, kVertexKindCopy);
    if (copies) copies->push_back(copy);
  }
  return main;
}

void PieceConverter::CopyGrading(CVertexNode* from, CVertexNode* to) const {
  for (int s = 1; s <= copies_; ++s) {
    const CVertexNode* source = NodeAfter(from, s);
    CVertexNode* target = NodeAfter(to, s);
    if (!source || !target) return;
    target->X = SaturateToInt32(static_cast<int64_t>(to->X) + source->X - from->X);
    target->Y = SaturateToInt32(static_cast<int64_t>(to->Y) + source->Y - from->Y);
  }
}

// Each notch point within the snap tolerance of the outline becomes a notch
// mark on it: its start on the outline (on an outline vertex when one is
// that near), its inner end, its width and the outline vertex its place is
// measured from. In every further size the notch sits at the same ratio
// along its span of the outline as in the base size.
void PieceConverter::AddNotches(CPieceRecord* record, CPieceItem0* outline) const {
  CSizeRecord* baseSize = g_Style.SizeRing;
  if (piece_.notchPoints.empty() || !baseSize) return;
  const int32_t scale = g_Style.GetScale();
  const int length = RoundToNearest(scale * g_NotchSizeB / 10.0);
  const int width = RoundToNearest(scale * g_NotchSizeA / 10.0);
  const uint32_t endFlags = (static_cast<uint32_t>(g_DefaultNotchType & 0xFF) << 8) | 1u;

  std::unique_ptr<CPieceItem> made = CreatePieceItem(kItemTypeNotches);
  CPieceItem* notches = made.get();
  record->AddItem(made.release());
  for (const CGgtOutlineEntry& p : piece_.notchPoints) {
    const CPoint at = BasePosition(p);
    CVertexNode* found = nullptr;
    int fx = at.x;
    int fy = at.y;
    if (!outline->HitTestMainVertex(at.x, at.y, kSnapTolerance, &found, &fx, &fy) || !found) continue;
    // The outline vertex the notch is measured from: the main vertex of the
    // segment found.
    CVertexNode* reference = found->IsMain() ? found : outline->PrevMainVertex(found);
    if (!reference) continue;
    CPieceItem* hitItem = nullptr;
    CVertexNode* nearVertex = nullptr;
    if (record->HitTestVertex(at.x, at.y, kItemTypeOutline, kSnapTolerance, &hitItem, &nearVertex) && nearVertex) {
      fx = nearVertex->X;
      fy = nearVertex->Y;
    }
    std::vector<CVertexNode*> startCopies;
    AddGradedVertex(notches, p, kVertexKindKeyCorner, CPoint(fx, fy), &startCopies);
    int ex = fx;
    int ey = fy;
    outline->CalcNotchEndPoint(baseSize, fx, fy, length, 0, &ex, &ey);
    std::vector<CVertexNode*> endCopies;
    AddUngradedVertex(notches, CPoint(ex, ey), endFlags, &endCopies);
    notches->AddTailVertex(width, 0, kVertexKindFixedSingle);
    notches->AddTailVertex(reference->X, reference->Y, kNotchReferenceFlags);

    int a = 0;
    int b = 0;
    int total = 0;
    outline->MeasureNotchPosition(fx, fy, reference->X, reference->Y, kNotchPlacement, notches, baseSize, &a, &b,
                                  &total);
    CSizeRecord* size = baseSize;
    for (size_t s = 0; s < startCopies.size() && s < endCopies.size(); ++s) {
      size = size->Next;
      if (!size || size == baseSize) break;
      int px = startCopies[s]->X;
      int py = startCopies[s]->Y;
      outline->PointAtRatio(a, b, kNotchPlacement, reference, size, &px, &py);
      startCopies[s]->X = px;
      startCopies[s]->Y = py;
      int qx = px;
      int qy = py;
      outline->CalcNotchEndPoint(size, px, py, length, 0, &qx, &qy);
      endCopies[s]->X = qx;
      endCopies[s]->Y = qy;
    }
  }
  // Every notch point lay off the outline: no empty notch item is kept.
  if (notches->VertexCount == 0) record->RemoveItem(notches);
}

// Each line of two points or more becomes an open internal line. The ends of
// a line are made corners; in the first group an end that is no key vertex
// first takes the grading of the other end when that one is graded.
void PieceConverter::AddLineGroup(CPieceRecord* record, const std::vector<std::vector<CGgtOutlineEntry>>& group,
                                  bool firstGroup) const {
  for (const auto& line : group) {
    if (line.size() < 2) continue;
    std::unique_ptr<CPieceItem> made = CreatePieceItem(kItemTypeOpenLine);
    auto* item = static_cast<CPieceCurveItem*>(made.get());
    record->AddItem(made.release());
    for (const CGgtOutlineEntry& p : line) {
      const int kind = firstGroup ? GgtLineVertexKind(p.cornerKind, p.ruleNumber)
                                  : GgtOutlineVertexKind(p.cornerKind, p.ruleNumber);
      AddGradedVertex(item, p, static_cast<uint32_t>(kind), BasePosition(p));
    }
    CVertexNode* first = item->VertexHead;
    CVertexNode* last = item->PrevMainVertex(first);
    if (firstGroup && first && last) {
      const int f = first->Kind();
      const int l = last->Kind();
      if (f != kVertexKindKeyCorner && IsKeyVertexKind(l)) {
        CopyGrading(last, first);
      } else if (l != kVertexKindKeyCorner && IsKeyVertexKind(f)) {
        CopyGrading(first, last);
      }
    }
    if (first) first->Flags = 0;
    if (last) last->Flags = 0;
    GradePiece(item);
    item->SmoothCurves();
  }
}

std::unique_ptr<CPieceRecord> PieceConverter::Convert() {
  if (piece_.outline.empty()) return nullptr;
  auto record = std::make_unique<CPieceRecord>();
  record->PieceName = piece_.name;

  std::unique_ptr<CPieceItem> madeOutline = CreatePieceItem(kItemTypeOutline);
  auto* outline = static_cast<CPieceItem0*>(madeOutline.get());
  record->AddItem(madeOutline.release());
  for (const CGgtOutlineEntry& p : piece_.outline) {
    AddGradedVertex(outline, p, static_cast<uint32_t>(GgtOutlineVertexKind(p.cornerKind, p.ruleNumber)),
                    BasePosition(p));
  }
  record->AuxX = outline->VertexHead->X;
  record->AuxY = outline->VertexHead->Y;

  if (piece_.straightLinePoints.size() >= 2) {
    std::unique_ptr<CPieceItem> made = CreatePieceItem(kItemTypeOpenLine);
    auto* line = static_cast<CPieceCurveItem*>(made.get());
    record->AddItem(made.release());
    for (const CGgtOutlineEntry& p : piece_.straightLinePoints) {
      AddUngradedVertex(line, BasePosition(p), kVertexKindKeyCorner);
    }
    line->SmoothCurves();
  }
  // The outline's curve vertices graded and its curves built before the
  // notches are placed on it.
  GradePiece(outline);
  outline->SmoothCurves();

  AddNotches(record.get(), outline);

  if (!piece_.markPoints.empty()) {
    std::unique_ptr<CPieceItem> made = CreatePieceItem(kItemTypeFilledMarkers);
    CPieceItem* marks = made.get();
    record->AddItem(made.release());
    const int32_t markSize = SaturateToInt32(5LL * g_Style.GetScale());
    for (const CGgtOutlineEntry& p : piece_.markPoints) {
      AddGradedVertex(marks, p, kVertexKindKeyCorner, BasePosition(p));
      marks->AddTailVertex(markSize, 0, kVertexKindFixedSingle2);
      marks->AddTailVertex(markSize, markSize, kVertexKindFixedSingle2);
    }
  }

  if (piece_.twoPointLinePoints.size() >= 2) {
    std::unique_ptr<CPieceItem> made = CreatePieceItem(kItemTypeGrainLine);
    CPieceItem* grain = made.get();
    record->AddItem(made.release());
    for (size_t i = 0; i < 2; ++i) AddUngradedVertex(grain, BasePosition(piece_.twoPointLinePoints[i]), 0);
  }

  AddLineGroup(record.get(), piece_.firstLineGroup, true);
  AddLineGroup(record.get(), piece_.secondLineGroup, false);

  if (!FindFirstItem(record.get(), kItemTypeGrainLine)) AddDefaultGrainLine(record.get());
  record->UpdateCurveItems();
  record->NormalizeOrientation(1);
  record->Recalc(1);
  // Gerber's y axis points up, the model's down.
  record->MirrorHorizontal(Middle(record->BoxMinY, record->BoxMaxY));
  if (piece_.body) {
    record->PieceName = piece_.body->name;
    record->Annotation = piece_.body->ruleTableName;
    record->Category = piece_.body->text2;
  }
  return record;
}

}  // namespace

CPoint GgtPointToModel(const CPiece& piece, int32_t x, int32_t y, int ruleId, int sizeIndex) {
  double dx = 0.0;
  double dy = 0.0;
  if (sizeIndex >= 0 && sizeIndex < PieceSizeCount(piece) && ruleId > 0) {
    const auto rule = std::find_if(piece.gradeRules.begin(), piece.gradeRules.end(),
                                   [ruleId](const CGgtRuleOffsets& r) { return r.ruleNumber == ruleId; });
    if (rule != piece.gradeRules.end() && static_cast<size_t>(sizeIndex) < rule->offsets.size()) {
      dx = rule->offsets[static_cast<size_t>(sizeIndex)].dx;
      dy = rule->offsets[static_cast<size_t>(sizeIndex)].dy;
    }
  }
  return CPoint(ToModelUnits(x + dx), ToModelUnits(y + dy));
}

int GgtOutlineVertexKind(int pointType, int ruleNumber) {
  if (ruleNumber >= 0) return pointType == kGerberCornerPoint ? kVertexKindKeyCorner : kVertexKindKeySmooth;
  return pointType == kGerberCornerPoint ? kVertexKindCurveCorner : kVertexKindCurve;
}

int GgtLineVertexKind(int pointType, int ruleNumber) {
  if (ruleNumber >= 0) return pointType == kGerberCornerPoint ? kVertexKindKeyCorner : kVertexKindKeySmooth;
  return pointType == kGerberSmoothPoint ? kVertexKindCurve : kVertexKindCurveCorner;
}

bool GgtModelFitsStyle(const CModel& model) {
  const CPiece* reference = FindReferencePiece(model);
  return WorkIsBounded(model, reference ? PieceSizeCount(*reference) : 0);
}

bool ConvertGgtModel(const CModel& model) {
  const CPiece* reference = FindReferencePiece(model);
  const int styleSizes = reference ? PieceSizeCount(*reference) : 0;
  if (!WorkIsBounded(model, styleSizes)) return false;

  if (reference) BuildSizeTable(*reference);
  const int referenceBase = reference ? PieceBaseIndex(*reference) : 0;

  CStatusProgress progress(0, model.pieceCount, 0);
  for (const auto& piece : model.pieces) {
    progress.SetPos(g_Style.PieceCount);
    if (!piece) continue;
    std::unique_ptr<CPieceRecord> record = PieceConverter(*piece, styleSizes, referenceBase).Convert();
    if (!record) continue;
    CPieceRecord* added = record.release();
    g_Style.AddPiece(added);
    if (g_pListPane) g_pListPane->AddPiece(added);
    g_Style.StyleName = model.modelName;
    g_Style.HeaderText3 = model.text2;
  }
  return true;
}
