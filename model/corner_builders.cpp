// The corner item builders: after the cut line was rebuilt, the marks that
// touch the outline (V shapes, two-point lines, segment pairs and notches)
// are carried on to the cut line so that the cut piece shows them too.
//
// Every builder meets the cut line the same way: the mark's segment from an
// inner point I to its outline point O, taken as a line, is crossed with
// each segment of the cut line's curve in every size. A crossing counts only
// on the cut line's side of the outline and within three corner widths of
// O; the nearest to O wins. A mark end counts only when every size meets the
// cut line.
#include <cstdint>
#include <vector>

#include "model/geometry.h"
#include "model/item_types.h"
#include "model/items/all_items.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/shell_services.h"
#include "model/style.h"

namespace {

// Flags of the vertices the builders add to the cut line where a mark meets
// it: a corner (kind 2) with the mark's bit.
constexpr uint32_t kCutLineVShapeVertex = 0x802;
constexpr uint32_t kCutLineType5Vertex = 0x2002;
constexpr uint32_t kCutLineSegmentVertex = 0x1002;
constexpr uint32_t kCopyFlags = kVertexKindCopy;
// How many corner widths a crossing may lie beyond the outline.
constexpr double kWidthsOfReach = 3.0;
// Notch direction codes (flags byte 1) of a notch's outline-vertex node:
// measured to the next key vertex (0 ratio, 0x100 forward, 0x200 backward)
// or to the next vertex that is no spline point (0x300, 0x400, 0x500).
constexpr uint32_t kDirectionMask = 0xFF00;
constexpr uint32_t kToKeyRatio = 0x000;
constexpr uint32_t kToKeyForward = 0x100;
constexpr uint32_t kToKeyBackward = 0x200;
constexpr uint32_t kToVertexRatio = 0x300;
constexpr uint32_t kToVertexForward = 0x400;
constexpr uint32_t kToVertexBackward = 0x500;
constexpr uint32_t kKeyToVertexStep = 0x300;

struct Meeting {
  std::vector<CPoint> crossings;        // one per size, in size-ring order
  CVertexNode* segmentStart = nullptr;  // the first size's crossed cut-line segment
  CVertexNode* segmentEnd = nullptr;
};

CPoint At(const CVertexNode* node) { return CPoint(node->X, node->Y); }

bool Between(int32_t v, int32_t a, int32_t b) { return a <= b ? (v >= a && v <= b) : (v >= b && v <= a); }

// Whether `p` lies between `a` and `b` in x and in y, ends included.
bool PointBetween(CPoint p, CPoint a, CPoint b) { return Between(p.x, a.x, b.x) && Between(p.y, a.y, b.y); }

double SquaredDistance(CPoint a, CPoint b) {
  const double dx = static_cast<double>(a.x) - b.x;
  const double dy = static_cast<double>(a.y) - b.y;
  return dx * dx + dy * dy;
}

// A graded point's nodes: the main vertex for the first size, then the copies
// that follow it; fewer than the number of sizes when the group is short.
std::vector<CVertexNode*> GroupNodes(CVertexNode* main) {
  std::vector<CVertexNode*> nodes;
  if (!main) return nodes;
  nodes.push_back(main);
  for (CVertexNode* node = main->Next;
       static_cast<int32_t>(nodes.size()) < g_Style.SizeCount && node != main && node->Kind() == kVertexKindCopy;
       node = node->Next) {
    nodes.push_back(node);
  }
  return nodes;
}

std::vector<CPieceItem*> ItemsOfType(const CPieceRecord& piece, int32_t type) {
  std::vector<CPieceItem*> items;
  CPieceItem* item = piece.ItemRing;
  for (int32_t i = 0; item && i < piece.ItemCount; ++i, item = item->Next) {
    if (item->Type == type) items.push_back(item);
  }
  return items;
}

bool FindOutlineAndCutLine(const CPieceRecord& piece, CPieceItem** outline, CPieceCurveItem** cut) {
  CPieceItem* cutItem = nullptr;
  if (!piece.FindItem(kItemTypeOutline, outline) || !piece.FindItem(kItemTypeCutLine, &cutItem)) return false;
  *cut = dynamic_cast<CPieceCurveItem*>(cutItem);
  return *cut != nullptr && g_Style.SizeCount > 0;
}

int32_t OutgoingWidth(const CVertexNode* param) {
  const int32_t width = static_cast<int16_t>(static_cast<uint32_t>(param->X) & 0xFFFFu);
  return width < 0 ? -width : width;
}

// The corner width a mark end at `o` is measured against: from the outline
// vertex at `o` (the outline's head when none lies exactly there), walking
// back, the first parameter node's outgoing width made positive; 0 when the
// walk meets none.
int32_t ReferenceWidth(const CPieceItem& outline, CVertexNode* o) {
  CVertexNode* vertex = outline.FindVertex(o->X, o->Y);
  if (!vertex) vertex = outline.VertexHead;
  if (!vertex) return 0;
  CVertexNode* node = vertex->Prev;
  for (int32_t i = 0; i < outline.VertexCount; ++i, node = node->Prev) {
    if (node->Flags == static_cast<uint32_t>(kVertexKindParameter)) return OutgoingWidth(node);
  }
  return 0;
}

// Crosses the mark end from `inner` to `outer` (one node per size) with the
// cut line in every size. With `segmentRule` and an inward cut line only a
// crossing between the mark's two ends counts. True when every size met the
// cut line; `meeting` then holds the crossings.
bool MeetCutLine(const CPieceCurveItem& cut, const std::vector<CVertexNode*>& inner,
                 const std::vector<CVertexNode*>& outer, int widthSign, bool segmentRule, int32_t width,
                 Meeting* meeting) {
  const int sizes = g_Style.SizeCount;
  if (static_cast<int>(inner.size()) < sizes || static_cast<int>(outer.size()) < sizes) return false;
  const double reach = kWidthsOfReach * width;
  const double reach2 = reach * reach;
  meeting->crossings.assign(static_cast<size_t>(sizes), CPoint());
  CSizeRecord* size = g_Style.SizeRing;
  for (int s = 0; s < sizes && size; ++s, size = size->Next) {
    const CPoint i = At(inner[static_cast<size_t>(s)]);
    const CPoint o = At(outer[static_cast<size_t>(s)]);
    CVertexNode* a = cut.GetCurveHead(size);
    const int32_t count = cut.GetCurveCount(size);
    bool found = false;
    double best = 0;
    for (int32_t k = 0; a && k < count; ++k, a = a->Next) {
      CVertexNode* b = a->Next;
      CPoint x;
      const int result = IntersectSegments(i.x, i.y, o.x, o.y, a->X, a->Y, b->X, b->Y, &x.x, &x.y);
      if (result != 1 && result != 2) continue;
      bool onSide = false;
      if (widthSign != 0) {
        onSide = PointBetween(o, i, x);
      } else {
        onSide = PointBetween(x, o, i) || (!segmentRule && PointBetween(i, o, x));
      }
      if (!onSide || !PointBetween(x, At(a), At(b))) continue;
      const double d2 = SquaredDistance(x, o);
      if (d2 > reach2) continue;
      if (!found || d2 < best) {
        found = true;
        best = d2;
        meeting->crossings[static_cast<size_t>(s)] = x;
        if (s == 0) {
          meeting->segmentStart = a;
          meeting->segmentEnd = b;
        }
      }
    }
    if (!found) return false;
  }
  return true;
}

// Appends the crossings to a derived item: the first size's node with
// `firstFlags`, the others as copies. Returns the first node appended.
CVertexNode* AppendCrossings(CPieceItem* item, const Meeting& meeting, uint32_t firstFlags) {
  CVertexNode* first = nullptr;
  for (size_t s = 0; s < meeting.crossings.size(); ++s) {
    const CPoint p = meeting.crossings[s];
    CVertexNode* node = item->AddTailVertex(p.x, p.y, s == 0 ? firstFlags : kCopyFlags);
    if (!first) first = node;
  }
  return first;
}

// Adds the crossing to the cut line as a vertex with `flags` and its copies,
// in front of the first key vertex at or after it, and smooths the cut line
// again so that the next mark meets it as it now stands.
void AddCutLineVertex(CPieceCurveItem* cut, const Meeting& meeting, uint32_t flags) {
  CVertexNode* before = cut->NextKeyVertexOnCurve(g_Style.SizeRing, meeting.segmentStart);
  if (!before) return;
  for (size_t s = 0; s < meeting.crossings.size(); ++s) {
    const CPoint p = meeting.crossings[s];
    cut->InsertVertexBefore(before, p.x, p.y, s == 0 ? flags : kCopyFlags);
  }
  cut->SmoothCurves();
}

// From `node` on (itself included), the first curve node that is no spline
// point, forward or backward; `node` itself when the whole ring is spline.
CVertexNode* SkipSplinePoints(CVertexNode* node, int32_t count, bool forward) {
  CVertexNode* current = node;
  for (int32_t i = 0; i < count; ++i) {
    if (current->Kind() != kVertexKindGraded) return current;
    current = forward ? current->Next : current->Prev;
  }
  return node;
}

// From `node` on (itself included), at most once round, the first key
// vertex; null when there is none.
CVertexNode* FindKeyVertex(CVertexNode* node, int32_t count, bool forward) {
  CVertexNode* current = node;
  for (int32_t i = 0; i < count; ++i) {
    if (current->IsKey()) return current;
    current = forward ? current->Next : current->Prev;
  }
  return nullptr;
}

// The outline-vertex node of a notch moved onto the cut line: the cut-line
// curve vertex its direction code measures from, found from the end of the
// crossed segment, and the code it is measured with there. A code the notch
// layout does not know is taken as 0.
CVertexNode* NotchAnchorOnCutLine(CVertexNode* segmentEnd, int32_t count, uint32_t* direction) {
  switch (*direction) {
    case kToVertexRatio:
    case kToVertexForward:
      return SkipSplinePoints(segmentEnd->Prev, count, false);
    case kToKeyBackward:
      if (segmentEnd->IsKey()) return segmentEnd;
      if (CVertexNode* key = FindKeyVertex(segmentEnd, count, true)) return key;
      *direction = kToVertexBackward;
      return SkipSplinePoints(segmentEnd, count, true);
    case kToVertexBackward:
      return SkipSplinePoints(segmentEnd, count, true);
    case kToKeyForward:
      break;
    default:
      *direction = kToKeyRatio;
      break;
  }
  CVertexNode* before = segmentEnd->Prev;
  if (before->IsKey()) return before;
  if (CVertexNode* key = FindKeyVertex(before, count, false)) return key;
  *direction += kKeyToVertexStep;
  return SkipSplinePoints(before, count, false);
}

// The corner width a notch at `base` is measured against: the outgoing
// width, made positive, of the parameter node before the next main vertex
// of the outline vertex that starts the outline segment within the pick
// tolerance of the notch (g_NotchParamFactor screen pixels); 0 when the
// notch is not that near the outline.
int32_t NotchReferenceWidth(const CPieceItem& outline, CVertexNode* base) {
  const auto* curve = dynamic_cast<const CPieceCurveItem*>(&outline);
  const double styleScale = g_Style.GetScale();
  if (!curve || styleScale == 0) return 0;
  const double viewScale = GetWorkWindowScale();
  const double tolerance = g_NotchParamFactor * viewScale / styleScale;
  CVertexNode* hit = nullptr;
  int footX = 0;
  int footY = 0;
  if (!curve->HitTestMainVertex(base->X, base->Y, tolerance, &hit, &footX, &footY) || !hit) return 0;
  CVertexNode* node = outline.NextMainVertex(hit)->Prev;
  for (int32_t i = 0; i < outline.VertexCount; ++i, node = node->Prev) {
    if (node->Kind() == kVertexKindParameter) return OutgoingWidth(node);
  }
  return 0;
}

}  // namespace

void CPieceRecord::BuildVShapeExtensions(int widthSign) {
  CPieceItem* outline = nullptr;
  CPieceCurveItem* cut = nullptr;
  if (!FindOutlineAndCutLine(*this, &outline, &cut)) return;
  const int32_t sizes = g_Style.SizeCount;
  for (CPieceItem* shape : ItemsOfType(*this, kItemTypeVShape)) {
    CVertexNode* firstEnd = shape->VertexHead;
    if (!firstEnd) continue;
    CVertexNode* apex = shape->NextMainVertex(firstEnd);
    CVertexNode* secondEnd = shape->NextMainVertex(apex);
    auto* extension = new CPieceItem19(nullptr, nullptr);
    CVertexNode* secondLeg = nullptr;
    bool met = true;
    // Each leg runs from the apex to its end; the cut line takes the first
    // leg's vertex before the second leg is crossed with it.
    for (CVertexNode* end : {firstEnd, secondEnd}) {
      Meeting meeting;
      if (!MeetCutLine(*cut, GroupNodes(apex), GroupNodes(end), widthSign, false, ReferenceWidth(*outline, end),
                       &meeting)) {
        met = false;
        break;
      }
      CVertexNode* first = AppendCrossings(extension, meeting, end->Flags);
      if (end == secondEnd) secondLeg = first;
      AddCutLineVertex(cut, meeting, kCutLineVShapeVertex);
    }
    if (!met || !secondLeg) {
      delete extension;
      continue;
    }
    for (CVertexNode* node : GroupNodes(apex)) extension->InsertVertexBefore(secondLeg, node->X, node->Y, node->Flags);
    const CVertexNode* last = shape->VertexHead->Prev;
    extension->AddTailVertex(last->X, last->Y, last->Flags);
    if (extension->VertexCount == 3 * sizes + 1) {
      AddItem(extension);
    } else {
      delete extension;
    }
  }
}

void CPieceRecord::BuildType5Extensions(int widthSign) {
  CPieceItem* outline = nullptr;
  CPieceCurveItem* cut = nullptr;
  if (!FindOutlineAndCutLine(*this, &outline, &cut)) return;
  const int32_t sizes = g_Style.SizeCount;
  for (CPieceItem* line : ItemsOfType(*this, kItemTypeTwoPointLine)) {
    CVertexNode* onOutline = line->VertexHead;
    if (!onOutline) continue;
    CVertexNode* inner = line->NextMainVertex(onOutline);
    const std::vector<CVertexNode*> innerNodes = GroupNodes(inner);
    Meeting meeting;
    if (!MeetCutLine(*cut, innerNodes, GroupNodes(onOutline), widthSign, false, ReferenceWidth(*outline, onOutline),
                     &meeting) ||
        static_cast<int32_t>(innerNodes.size()) != sizes) {
      continue;
    }
    auto* extension = new CPieceItem17(nullptr, nullptr);
    AppendCrossings(extension, meeting, 0);
    for (size_t s = 0; s < innerNodes.size(); ++s) {
      extension->AddTailVertex(innerNodes[s]->X, innerNodes[s]->Y, s == 0 ? 0 : kCopyFlags);
    }
    AddItem(extension);
    AddCutLineVertex(cut, meeting, kCutLineType5Vertex);
  }
}

void CPieceRecord::BuildSegmentExtensions(int widthSign) {
  CPieceItem* outline = nullptr;
  CPieceCurveItem* cut = nullptr;
  if (!FindOutlineAndCutLine(*this, &outline, &cut)) return;
  const int32_t sizes = g_Style.SizeCount;
  for (CPieceItem* segments : ItemsOfType(*this, kItemTypeSegmentPairs)) {
    // The pairs start at the first main vertex that is no off-outline point
    // (kind 4).
    CVertexNode* start = segments->VertexHead;
    for (int32_t i = 0; start && i < segments->VertexCount && (!start->IsMain() || start->Kind() == 4); ++i) {
      start = start->Next;
    }
    if (!start || !start->IsMain() || start->Kind() == 4) continue;
    auto* extension = new CPieceItem20(nullptr, nullptr);
    bool met = true;
    // With an odd number of main vertices the pairs go round twice, so that
    // every vertex is paired with both neighbours; the bound only guards a
    // damaged ring.
    CVertexNode* a = start;
    for (int32_t guard = 2 * segments->VertexCount + 2; met && guard > 0; --guard) {
      CVertexNode* b = segments->NextMainVertex(a);
      // Each pair at both ends: the outline point first, then the inner one.
      CVertexNode* const ends[2][2] = {{a, b}, {b, segments->PrevMainVertex(b)}};
      for (const auto& end : ends) {
        CVertexNode* o = end[0];
        CVertexNode* i = end[1];
        Meeting meeting;
        if (!MeetCutLine(*cut, GroupNodes(i), GroupNodes(o), widthSign, true, ReferenceWidth(*outline, o),
                         &meeting)) {
          met = false;
          break;
        }
        AppendCrossings(extension, meeting, o->Flags);
        AddCutLineVertex(cut, meeting, kCutLineSegmentVertex);
      }
      a = segments->NextMainVertex(b);
      if (a == start) break;
    }
    if (met && extension->VertexCount > 0 && extension->VertexCount % (2 * sizes) == 0) {
      AddItem(extension);
    } else {
      delete extension;
    }
  }
}

void CPieceRecord::BuildCutLineNotches(int widthSign) {
  CPieceItem* outline = nullptr;
  CPieceCurveItem* cut = nullptr;
  CPieceItem* notches = nullptr;
  if (!FindOutlineAndCutLine(*this, &outline, &cut) || !FindItem(kItemTypeNotches, &notches)) return;
  const int32_t sizes = g_Style.SizeCount;
  CVertexNode* start = notches->VertexHead;
  for (int32_t i = 0; start && i < notches->VertexCount && start->Kind() != kVertexKindKeyCorner; ++i) start = start->Next;
  if (!start || start->Kind() != kVertexKindKeyCorner) return;

  auto* moved = new CPieceItem18(nullptr, nullptr);
  CVertexNode* base = start;
  for (int32_t guard = notches->VertexCount; guard > 0; --guard) {
    CVertexNode* end = notches->NextMainVertex(base);
    CVertexNode* nextBase = notches->NextMainVertex(end);
    const std::vector<CVertexNode*> bases = GroupNodes(base);
    const std::vector<CVertexNode*> ends = GroupNodes(end);
    // The width node follows the end group; the outline-vertex node after it.
    CVertexNode* widthNode = ends.empty() ? nullptr : ends.back()->Next;
    const bool hasWidth = widthNode && !widthNode->IsMain() && widthNode != base;
    CVertexNode* anchor = hasWidth ? widthNode->Next : nullptr;
    Meeting meeting;
    if (hasWidth && static_cast<int32_t>(ends.size()) == sizes &&
        MeetCutLine(*cut, ends, bases, widthSign, false, NotchReferenceWidth(*outline, base), &meeting)) {
      // The base goes to the crossing and the end point by the same shift:
      // the base group, then the end group.
      for (size_t s = 0; s < bases.size(); ++s) {
        const CPoint p = meeting.crossings[s];
        moved->AddTailVertex(p.x, p.y, s == 0 ? base->Flags : kCopyFlags);
      }
      for (size_t s = 0; s < ends.size(); ++s) {
        const CPoint shift(WrapSub(meeting.crossings[s].x, bases[s]->X), WrapSub(meeting.crossings[s].y, bases[s]->Y));
        moved->AddTailVertex(WrapAdd(ends[s]->X, shift.x), WrapAdd(ends[s]->Y, shift.y),
                             s == 0 ? end->Flags : kCopyFlags);
      }
      CVertexNode* width = moved->AddTailVertex(widthNode->X, widthNode->Y, widthNode->Flags);
      width->Value = widthNode->Value;
      uint32_t direction = anchor && !anchor->IsMain() ? anchor->Flags & kDirectionMask : kToKeyRatio;
      const int32_t count = cut->GetCurveCount(g_Style.SizeRing);
      CVertexNode* point = NotchAnchorOnCutLine(meeting.segmentEnd, count, &direction);
      moved->AddTailVertex(point->X, point->Y, direction | kVertexKindMovedSingle);
    }
    base = nextBase;
    if (!base || base == start || base == end) break;
  }
  if (moved->VertexCount > 0) {
    AddItem(moved);
  } else {
    delete moved;
  }
}
