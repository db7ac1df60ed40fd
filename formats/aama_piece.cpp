#include "formats/aama_piece.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "model/geometry.h"
#include "design/geometry/measure.h"
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

namespace {

constexpr uint32_t kRuleMask = 0xFFFF;
constexpr uint32_t kCopiedRuleMarker = 2;  // bits 16-19 while a piece is completed
// A circle's radius node, a notch's width node and a point mark's size nodes.
constexpr int kKindRadius = kVertexKindSkipRun;
constexpr int kKindNotchWidth = kVertexKindFixedSingle;
constexpr int kKindPointSize = kVertexKindFixedSingle2;
constexpr uint32_t kNotchReferenceFlags = 0x468;  // kind 104, placed by distance from the vertex

int SizeCount() { return std::max(1, static_cast<int>(g_Style.SizeCount)); }

void SetKind(CVertexNode* node, int kind) { node->Flags = (node->Flags & ~0xFFu) | static_cast<uint32_t>(kind); }

bool IsOneOf(int type, std::initializer_list<int> types) {
  return std::find(types.begin(), types.end(), type) != types.end();
}

// The items whose vertices take the kinds and rule numbers of the point marks
// lying on them.
bool TakesMarks(int type) {
  return IsOneOf(type, {kItemTypeOutline, kItemTypeGrainLine, kItemTypeClosedLine, kItemTypeOpenLine,
                        kItemTypeNotches});
}

// Removes a point mark (a main vertex of the point item) with the size nodes
// that follow it.
void RemovePointMark(CPieceItem* points, CVertexNode* mark) {
  CVertexNode* next = points->RemoveVertex(mark);
  for (int i = 0; i < 2 && next && next->Kind() == kKindPointSize; ++i) next = points->RemoveVertex(next);
}

void AddPointMark(CPieceItem* points, int x, int y, int kind, uint32_t rule) {
  const int32_t size = 5 * g_Style.GetScale();
  CVertexNode* mark = points->AddTailVertex(x, y, static_cast<uint32_t>(kind));
  mark->Attributes = rule;
  points->AddTailVertex(size, 0, kKindPointSize);
  points->AddTailVertex(size, size, kKindPointSize);
}

// Grade-rule number of a "#" text: the rest of the text as an integer, made
// positive. Numbers beyond the 16 bits a vertex holds leave the point
// ungraded rather than wrapped onto another rule.
uint32_t RuleNumberOfText(const CString& trimmed) {
  const long long n = std::llabs(static_cast<long long>(ParseInt(trimmed.Mid(1).view())));
  return n > static_cast<long long>(kRuleMask) ? 0u : static_cast<uint32_t>(n);
}

void ReadRuleTexts(CPieceRecord* piece) {
  CPieceItem* points = FindFirstItem(piece, kItemTypeFilledMarkers);
  if (!points || !FindFirstItem(piece, kItemTypeText)) return;
  for (CPieceItem* item : ItemsOf(piece)) {
    if (item->Type != kItemTypeText) continue;
    const auto* text = static_cast<const CPieceItem11*>(item);
    CString trimmed = text->Text;
    trimmed.Trim();
    if (trimmed.GetAt(0) != '#') continue;
    const uint32_t rule = RuleNumberOfText(trimmed);
    if (CVertexNode* mark = points->FindVertex(text->AnchorX, text->AnchorY)) {
      mark->Attributes = (mark->Attributes & ~kRuleMask) | rule;
      if (mark->Kind() == kVertexKindCurve) SetKind(mark, kVertexKindKeySmooth);
      else if (mark->Kind() == kVertexKindCurveCorner) SetKind(mark, kVertexKindKeyCorner);
    } else {
      AddPointMark(points, text->AnchorX, text->AnchorY, kVertexKindKeyCorner, rule);
    }
  }
}

bool IsOpenLineEnd(const CPieceItem* item, const CVertexNode* vertex) {
  if (item->Type != kItemTypeOpenLine) return false;
  const std::vector<CVertexNode*> mains = MainVerticesOf(item);
  return !mains.empty() && (vertex == mains.front() || vertex == mains.back());
}

// The kind a vertex takes from the point mark lying on it.
int KindFromMark(const CPieceItem* item, const CVertexNode* vertex, const CVertexNode* mark, int append) {
  const int markKind = mark->Kind();
  const bool hasRule = (mark->Attributes & kRuleMask) != 0;
  const bool grain = item->Type == kItemTypeGrainLine;
  if (!grain && markKind == kVertexKindCurve) return kVertexKindCurve;
  if (!grain && markKind == kVertexKindKeySmooth) return kVertexKindKeySmooth;
  if (!append) {
    if (grain || IsOpenLineEnd(item, vertex)) return kVertexKindKeyCorner;
    return hasRule ? markKind : kVertexKindCurveCorner;
  }
  const int kind = vertex->Kind();
  if (IsCornerVertexKind(kind) && markKind == kVertexKindKeyCorner) return kVertexKindKeyCorner;
  if (IsSmoothVertexKind(kind) && markKind == kVertexKindKeyCorner) return kVertexKindKeySmooth;
  return hasRule ? markKind : kVertexKindCurveCorner;
}

void PlaceMarksOnVertices(CPieceRecord* piece, int append) {
  CPieceItem* points = FindFirstItem(piece, kItemTypeFilledMarkers);
  if (!points) return;
  std::vector<CVertexNode*> placed;
  for (CVertexNode* mark : MainVerticesOf(points)) {
    bool found = false;
    for (CPieceItem* item : ItemsOf(piece)) {
      if (!TakesMarks(item->Type)) continue;
      CVertexNode* vertex = item->FindVertex(mark->X, mark->Y);
      if (!vertex) continue;
      found = true;
      if ((vertex->Attributes & kRuleMask) != 0) continue;
      const int kind = KindFromMark(item, vertex, mark, append);
      vertex->Attributes = (mark->Attributes & kRuleMask) | (kCopiedRuleMarker << 16);
      SetKind(vertex, kind);
    }
    if (found) placed.push_back(mark);
  }
  for (CVertexNode* mark : placed) RemovePointMark(points, mark);
  if (points->VertexCount == 0) {
    piece->RemoveItem(points);
    return;
  }
  for (CVertexNode* mark : MainVerticesOf(points)) SetKind(mark, kVertexKindKeyCorner);
}

}  // namespace

void StraightenUnmarkedLines(CPieceRecord* piece, const std::vector<CPieceItem*>& lines) {
  if (!piece || lines.empty()) return;
  std::set<std::pair<int32_t, int32_t>> marks;
  if (CPieceItem* points = FindFirstItem(piece, kItemTypeFilledMarkers)) {
    for (CVertexNode* mark : MainVerticesOf(points)) marks.emplace(mark->X, mark->Y);
  }
  for (CPieceItem* line : lines) {
    const std::vector<CVertexNode*> mains = MainVerticesOf(line);
    const bool pointOnLine = std::any_of(mains.begin(), mains.end(), [&marks](const CVertexNode* v) {
      return marks.count({v->X, v->Y}) != 0;
    });
    if (pointOnLine) continue;
    for (CVertexNode* v : mains) SetKind(v, kVertexKindKeyCorner);
    if (auto* curve = dynamic_cast<CPieceCurveItem*>(line)) curve->SmoothCurves();
  }
}

void EnsurePieceOutline(CPieceRecord* piece) {
  if (!piece || FindFirstItem(piece, kItemTypeOutline)) return;
  if (CPieceItem* closed = FindFirstItem(piece, kItemTypeClosedLine)) {
    std::unique_ptr<CPieceItem> outline = CreatePieceItem(kItemTypeOutline);
    // The whole node goes across, rule number included, so that a closed
    // line's grade points stay graded as the outline's.
    for (CVertexNode* node : NodesOf(closed)) {
      CVertexNode* copy = outline->AddTailVertex(node->X, node->Y, node->Flags);
      copy->Value = node->Value;
      copy->Attributes = node->Attributes;
    }
    piece->RemoveItem(closed);
    piece->AddItem(outline.release());
    return;
  }
  if (CPieceItem* circle = FindFirstItem(piece, kItemTypeCircles)) {
    CVertexNode* centre = circle->VertexHead;
    CVertexNode* radius = centre;
    for (int i = 0; radius && i < circle->VertexCount && radius->Kind() != kKindRadius; ++i) radius = radius->Next;
    if (centre && radius && radius->Kind() == kKindRadius) {
      std::unique_ptr<CPieceItem> outline = CreatePieceItem(kItemTypeOutline);
      for (int i = 0; i < 8; ++i) {
        const double angle = i * 45.0 * kPi / 180.0;
        int rx = 0;
        int ry = 0;
        RotatePoint(radius->X, 0, 0, 0, std::sin(angle), std::cos(angle), &rx, &ry);
        outline->AddTailVertex(WrapAdd(centre->X, rx), WrapAdd(centre->Y, ry), kVertexKindKeySmooth);
      }
      piece->RemoveItem(circle);
      piece->AddItem(outline.release());
      return;
    }
  }
  std::unique_ptr<CPieceItem> outline = CreatePieceItem(kItemTypeOutline);
  outline->AddTailVertex(100, 100, kVertexKindCurveCorner);
  outline->AddTailVertex(200, 100, kVertexKindCurveCorner);
  outline->AddTailVertex(200, 200, kVertexKindCurveCorner);
  outline->AddTailVertex(100, 200, kVertexKindCurveCorner);
  piece->AddItem(outline.release());
}

namespace {

void ClearCopiedRuleMarkers(CPieceRecord* piece) {
  for (CPieceItem* item : ItemsOf(piece)) {
    if (!TakesMarks(item->Type)) continue;
    for (CVertexNode* node : NodesOf(item)) {
      if (((node->Attributes >> 16) & 0xF) == kCopiedRuleMarker) node->Attributes &= kRuleMask;
    }
  }
}

int32_t Middle(int32_t a, int32_t b) {
  return static_cast<int32_t>((static_cast<int64_t>(a) + static_cast<int64_t>(b)) / 2);
}

}  // namespace

void BuildAamaPieceElements(CPieceRecord* piece, int keepTexts, int /*author*/, int append) {
  if (!piece) return;
  const int32_t savedJoin = g_SwitchJoinLines;
  g_SwitchJoinLines = 1;
  piece->JoinOpenLines();
  g_SwitchJoinLines = savedJoin;

  ReadRuleTexts(piece);
  if (!keepTexts) {
    for (CPieceItem* item : ItemsOf(piece)) {
      if (item->Type == kItemTypeText) piece->RemoveItem(item);
    }
  }
  PlaceMarksOnVertices(piece, append);
  EnsurePieceOutline(piece);
  CPieceItem* outline = FindFirstItem(piece, kItemTypeOutline);
  if (outline && outline->VertexHead) {
    piece->AuxX = outline->VertexHead->X;
    piece->AuxY = outline->VertexHead->Y;
  }
  ClearCopiedRuleMarkers(piece);
  {
    ScopedLoadMode mode(kLoadModeSkipNotchRefit);
    piece->NormalizeOrientation(1);
  }
  piece->UpdateCurveItems();
  piece->Recalc(1);
  if (!FindFirstItem(piece, kItemTypeGrainLine)) AddDefaultGrainLine(piece);
  g_Style.AddPiece(piece);
}

void AddDefaultGrainLine(CPieceRecord* piece) {
  if (!piece) return;
  while (CPieceItem* grain = FindFirstItem(piece, kItemTypeGrainLine)) piece->RemoveItem(grain);
  piece->Recalc(0);
  const int32_t y = Middle(piece->BoxMinY, piece->BoxMaxY);
  const int64_t margin = 10LL * g_Style.GetScale();
  const int32_t scanLeft = SaturateToInt32(piece->BoxMinX - margin);
  const int32_t scanRight = SaturateToInt32(piece->BoxMaxX + margin);
  const int32_t boxLeft = piece->BoxMinX;
  const int32_t boxRight = piece->BoxMaxX;
  piece->Recalc(1);

  CPieceItem* outline = FindFirstItem(piece, kItemTypeOutline);
  if (!outline) return;
  const std::vector<CVertexNode*> mains = MainVerticesOf(outline);
  int32_t left = INT32_MAX;
  int32_t right = INT32_MIN;
  for (size_t i = 0; i < mains.size(); ++i) {
    const CVertexNode* a = mains[i];
    const CVertexNode* b = mains[(i + 1) % mains.size()];
    int ix = 0;
    int iy = 0;
    const int hit = IntersectSegments(a->X, a->Y, b->X, b->Y, scanLeft, y, scanRight, y, &ix, &iy);
    if (hit == 1 || hit == 3) {
      left = std::min(left, ix);
      right = std::max(right, ix);
    }
  }
  if (right <= left) {
    left = boxLeft;
    right = boxRight;
  }
  // A fifth of the width is left free at each end, truncated as stored.
  const double inset = (static_cast<double>(right) - static_cast<double>(left)) * 0.2;
  left = TruncateTowardZero(left + inset);
  right = TruncateTowardZero(right - inset);

  std::unique_ptr<CPieceItem> grain = CreatePieceItem(kItemTypeGrainLine);
  for (int32_t x : {left, right}) {
    grain->AddTailVertex(x, y, kVertexKindKeyCorner);
    for (int s = 1; s < SizeCount(); ++s) grain->AddTailVertex(x, y, kVertexKindCopy);
  }
  piece->AddItem(grain.release());
}

void MoveAamaPieceToOrigin(CPieceRecord* piece) {
  if (!piece || piece->BoxMinX > piece->BoxMaxX || piece->BoxMinY > piece->BoxMaxY) return;
  const int32_t dx = piece->BoxMinX;
  const int32_t dy = piece->BoxMinY;
  for (CPieceItem* item : ItemsOf(piece)) {
    if (item->Type == kItemTypeText) {
      auto* text = static_cast<CPieceItem11*>(item);
      text->AnchorX = WrapSub(text->AnchorX, dx);
      text->AnchorY = WrapSub(text->AnchorY, dy);
      continue;
    }
    const bool circle = item->Type == kItemTypeCircles || item->Type == kItemTypeDerivedCircles;
    int keep = 0;  // radius nodes of a circle still to pass over
    for (CVertexNode* node : NodesOf(item)) {
      if (circle && node->Kind() == kKindRadius) {
        keep = SizeCount() - 1;
        continue;
      }
      if (keep > 0 && node->Kind() == kVertexKindCopy) {
        --keep;
        continue;
      }
      keep = 0;
      if (node->Kind() > kVertexKindCopy) continue;
      node->X = WrapSub(node->X, dx);
      node->Y = WrapSub(node->Y, dy);
    }
  }
  piece->UpdateCurveItems();
  piece->Recalc(1);
}

namespace {

// Turns the notch points (the old notch item's main vertices) into notch
// marks on the outline: each point goes to the nearest outline point (or an
// outline vertex within 2 mm), and gets an inner end, a width and the outline
// vertex it is measured from, with its place along the outline carried to
// every size.
void BuildNotchMarks(CPieceRecord* piece, int notchType) {
  CPieceItem* points = FindFirstItem(piece, kItemTypeNotches);
  auto* outline = static_cast<CPieceItem0*>(FindFirstItem(piece, kItemTypeOutline));
  if (!points || !outline) return;
  CSizeRecord* base = g_Style.SizeAt(0);
  const int sizes = SizeCount();
  const int32_t scale = g_Style.GetScale();
  const int length = RoundToNearest(scale * g_NotchSizeB / 10.0);
  const int width = RoundToNearest(scale * g_NotchSizeA / 10.0);

  std::unique_ptr<CPieceItem> made = CreatePieceItem(kItemTypeNotches);
  CPieceItem* notches = made.get();
  piece->AddItem(made.release());
  for (CVertexNode* m : MainVerticesOf(points)) {
    CVertexNode* start = nullptr;
    int fx = 0;
    int fy = 0;
    if (!outline->HitTestMainVertex(m->X, m->Y, 2.0, &start, &fx, &fy) || !start) continue;
    CPieceItem* hitItem = nullptr;
    CVertexNode* nearVertex = nullptr;
    if (piece->HitTestVertex(m->X, m->Y, kItemTypeOutline, 2.0, &hitItem, &nearVertex) && nearVertex) {
      fx = nearVertex->X;
      fy = nearVertex->Y;
    }
    CVertexNode* a = notches->AddTailVertex(fx, fy, kVertexKindKeyCorner);
    std::vector<CVertexNode*> aCopies;
    CVertexNode* own = m->Next;
    for (int s = 1; s < sizes; ++s) {
      const bool hasCopy = own && own != m && own->Kind() == kVertexKindCopy;
      aCopies.push_back(notches->AddTailVertex(hasCopy ? own->X : fx, hasCopy ? own->Y : fy, kVertexKindCopy));
      if (hasCopy) own = own->Next;
    }
    int bx = fx;
    int by = fy;
    outline->CalcNotchEndPoint(base, fx, fy, length, 0, &bx, &by);
    notches->AddTailVertex(bx, by, (static_cast<uint32_t>(notchType & 0xFF) << 8) | 1u);
    std::vector<CVertexNode*> bCopies;
    for (int s = 1; s < sizes; ++s) bCopies.push_back(notches->AddTailVertex(bx, by, kVertexKindCopy));
    notches->AddTailVertex(width, 0, kKindNotchWidth);
    notches->AddTailVertex(start->X, start->Y, kNotchReferenceFlags);

    int d1 = 0;
    int d2 = 0;
    int total = 0;
    outline->MeasureNotchPosition(a->X, a->Y, start->X, start->Y, kNotchFromStartToVertex, notches, base, &d1, &d2,
                                  &total);
    for (int s = 1; s < sizes; ++s) {
      CSizeRecord* size = g_Style.SizeAt(s);
      CVertexNode* ac = aCopies[static_cast<size_t>(s - 1)];
      CVertexNode* bc = bCopies[static_cast<size_t>(s - 1)];
      int px = ac->X;
      int py = ac->Y;
      outline->PointAtRatio(d1, d2, kNotchFromStartToVertex, start, size, &px, &py);
      ac->X = px;
      ac->Y = py;
      int ex = px;
      int ey = py;
      outline->CalcNotchEndPoint(size, px, py, length, 0, &ex, &ey);
      bc->X = ex;
      bc->Y = ey;
    }
  }
  piece->RemoveItem(points);
  if (notches->VertexCount == 0) piece->RemoveItem(notches);
}

// Unfolds a half piece about its mirror line from `a` to `b`, two outline
// vertices: the outline between them (the side the line closes) goes, and the
// mirrored half with the mirrored copies of the other items comes in.
void UnfoldAt(CPieceRecord* piece, CPieceItem* outline, CVertexNode* a, CVertexNode* b) {
  // The vertices between the two ends on the side the mirror line closes go;
  // when the line joins a vertex to the first or second one after it, that
  // short side is the one between them.
  if (a == outline->NextMainVertex(b) || a == outline->NextMainVertex(outline->NextMainVertex(b))) std::swap(a, b);
  for (CVertexNode* cur = outline->NextMainVertex(a); cur && cur != b && cur != a;) {
    CVertexNode* next = outline->NextMainVertex(cur);
    outline->RemoveGradedVertex(cur);
    cur = next;
  }
  for (CVertexNode* end : {a, b}) {
    if (end->Kind() == kVertexKindCurve) SetKind(end, kVertexKindCurveCorner);
    else if (end->Kind() == kVertexKindKeySmooth) SetKind(end, kVertexKindKeyCorner);
  }

  std::unique_ptr<CPieceRecord> copy(DuplicatePiece(piece));
  {
    ScopedLoadMode mode(kLoadModeSkipNotchRefit);
    copy->MirrorLine(a->X, a->Y, b->X, b->Y);
  }
  CPieceItem* copyOutline = FindFirstItem(copy.get(), kItemTypeOutline);
  if (copyOutline) {
    CVertexNode* ca = copyOutline->FindVertexWithFlags(a->X, a->Y, a->Flags);
    CVertexNode* cb = copyOutline->FindVertexWithFlags(b->X, b->Y, b->Flags);
    if (ca && cb && ca != cb) {
      // The mirrored half runs from the end whose next main vertex is not the
      // other end round to that other end.
      CVertexNode* from = copyOutline->NextMainVertex(ca) == cb ? cb : ca;
      CVertexNode* to = from == ca ? cb : ca;
      CVertexNode* node = copyOutline->NextVertexSkipCopies(from);
      for (int i = 0; node && node != to && i < copyOutline->VertexCount; ++i, node = node->Next) {
        CVertexNode* added = outline->InsertVertexBefore(b, node->X, node->Y, node->Flags);
        added->Value = node->Value;
        added->Attributes = node->Attributes;
      }
    }
    copy->RemoveItem(copyOutline);
  }
  while (CPieceItem* grain = FindFirstItem(copy.get(), kItemTypeGrainLine)) copy->RemoveItem(grain);
  for (CPieceItem* item : ItemsOf(copy.get())) {
    const bool merged = IsOneOf(item->Type, {kItemTypeNotches, kItemTypeCircles, kItemTypeFilledMarkers});
    CPieceItem* target = merged ? FindFirstItem(piece, item->Type) : nullptr;
    if (target) {
      for (CVertexNode* node : NodesOf(item)) {
        CVertexNode* added = target->AddTailVertex(node->X, node->Y, node->Flags);
        added->Value = node->Value;
        added->Attributes = node->Attributes;
      }
    } else {
      piece->AddItem(ClonePieceItem(item).release());
    }
  }
  piece->UpdateCurveItems();
  piece->Recalc(1);
}

void UnfoldMirrorLines(CPieceRecord* piece) {
  for (CPieceItem* item : ItemsOf(piece)) {
    if (item->Type != kItemTypeOpenLine || static_cast<uint32_t>(item->Tag) != kAamaMirrorLineAttribute) continue;
    const std::vector<CVertexNode*> ends = MainVerticesOf(item);
    if (ends.size() != 2) continue;
    CPieceItem* outline = FindFirstItem(piece, kItemTypeOutline);
    CVertexNode* a = outline ? outline->FindVertex(ends[0]->X, ends[0]->Y) : nullptr;
    CVertexNode* b = outline ? outline->FindVertex(ends[1]->X, ends[1]->Y) : nullptr;
    piece->RemoveItem(item);
    if (a && b && a != b) UnfoldAt(piece, outline, a, b);
  }
}

}  // namespace

void PlaceAamaPiece(CPieceRecord* piece, int notchType) {
  if (!piece) return;
  MoveAamaPieceToOrigin(piece);
  if (g_pListPane) g_pListPane->AddPiece(piece);
  BuildNotchMarks(piece, notchType);
  piece->MirrorHorizontal(Middle(piece->BoxMinY, piece->BoxMaxY));
}

void FinishAamaPiece(CPieceRecord* piece) {
  if (!piece) return;
  piece->RemoveDuplicateLines();
  for (CPieceItem* item : ItemsOf(piece)) {
    if (!IsOneOf(item->Type, {kItemTypeOutline, kItemTypeGrainLine, kItemTypeFilledMarkers, kItemTypeClosedLine,
                              kItemTypeOpenLine, kItemTypeCircles, kItemTypeNotches})) {
      continue;
    }
    if (item->Type == kItemTypeOpenLine && static_cast<uint32_t>(item->Tag) == kAamaGradeReferenceAttribute) {
      item->Tag = 0;
    }
    for (CVertexNode* node : NodesOf(item)) node->Attributes = 0;
  }
  UnfoldMirrorLines(piece);
  piece->NormalizeOrientation(1);
  RefitAamaNotches(piece);
}

void RefitAamaNotches(CPieceRecord* piece) {
  CPieceItem* notches = FindFirstItem(piece, kItemTypeNotches);
  CPieceItem* outline = FindFirstItem(piece, kItemTypeOutline);
  if (notches && outline) {
    notches->UpdateNotchesFromOutline(outline, outline, 0);
    if (notches->VertexCount == 0) piece->RemoveItem(notches);
  }
}
