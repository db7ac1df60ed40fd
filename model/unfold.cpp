#include "model/item_types.h"
#include "model/unfold.h"

#include <cstdint>
#include <memory>
#include <utility>

#include "model/geometry.h"
#include "model/grading.h"
#include "model/item_factory.h"
#include "model/lookup.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "model/work_area.h"

namespace {

constexpr double kQuarterTurn = 1.570796326795;
constexpr int32_t kJoinedCornerCode = 6;  // a plain corner whose widths blend along the outline

CPieceItem* OutlineOf(const CPieceRecord* piece) {
  CPieceItem* outline = nullptr;
  return piece->FindItem(kItemTypeOutline, &outline) ? outline : nullptr;
}

bool IsMainVertexOf(const CPieceItem* item, const CVertexNode* vertex) {
  if (!vertex || !vertex->IsMain()) return false;
  const CVertexNode* node = item->VertexHead;
  for (int32_t i = 0; node && i < item->VertexCount; ++i, node = node->Next) {
    if (node == vertex) return true;
  }
  return false;
}

// The same vertex on a copy of the outline: by position and flags word.
CVertexNode* SameVertex(const CPieceItem* outline, const CVertexNode* vertex) {
  return outline->FindVertexWithFlags(vertex->X, vertex->Y, vertex->Flags);
}

// Whether every node of the vertex's size group stands where the vertex does.
bool IsUngraded(const CVertexNode* vertex) {
  const CVertexNode* node = vertex;
  for (int32_t s = 1; s < g_Style.SizeCount; ++s) {
    node = node->Next;
    if (node->X != vertex->X || node->Y != vertex->Y) return false;
  }
  return true;
}

CPoint SizePoint(CVertexNode* vertex, int size) {
  const CVertexNode* node = vertex;
  for (int s = 0; s < size; ++s) node = node->Next;
  return CPoint(node->X, node->Y);
}

// A smooth fold-line end becomes a corner (kind 1 -> 2, 3 -> 0), with all
// that hangs on its kind rebuilt.
void MakeCorner(CPieceRecord* piece, CVertexNode* vertex) {
  if (!vertex->IsSmooth()) return;
  piece->SetOutlineVertexKind(vertex, WithCornerKind(vertex->Flags));
}

void RemoveCornerParams(CPieceItem* outline, CVertexNode* vertex) {
  if (CVertexNode* param = FindCornerParamNode(outline, vertex)) outline->RemoveVertex(param);
}

// Both 16-bit widths of a parameter word set to `width`.
int32_t BothHalves(int width) {
  const uint32_t half = static_cast<uint32_t>(width) & 0xFFFFu;
  return static_cast<int32_t>((half << 16) | half);
}

// Each size of both halves is turned so that its fold line runs the same way,
// and moved so that it lies on the first size's fold line: the whole's sizes
// then share one line of symmetry. The halves are turned back at the end.
void AlignSizesOnFoldLine(CPieceRecord* whole, CVertexNode* a, CVertexNode* b, CPieceRecord* mirror,
                          CVertexNode* ma, CVertexNode* mb) {
  double back = 0.0;
  for (int s = 0; s < g_Style.SizeCount; ++s) {
    const CPoint as = SizePoint(a, s);
    const CPoint bs = SizePoint(b, s);
    const CPoint mas = SizePoint(ma, s);
    const CPoint mbs = SizePoint(mb, s);
    const double turn = -VectorAngle(as.x, as.y, bs.x, bs.y) + kQuarterTurn;
    const double mirrorTurn = -VectorAngle(mas.x, mas.y, mbs.x, mbs.y) + kQuarterTurn;
    if (s == 0) back = turn;
    whole->Rotate(a->X, a->Y, turn, 0, s);
    mirror->Rotate(ma->X, ma->Y, mirrorTurn, 0, s);
    whole->Move(a->X - SizePoint(a, s).x, 0, s);
    const CPoint aligned = SizePoint(a, s);
    const CPoint mirrored = SizePoint(ma, s);
    mirror->Move(aligned.x - mirrored.x, aligned.y - mirrored.y, s);
  }
  whole->Rotate(a->X, a->Y, -back, 0, -1);
  mirror->Rotate(ma->X, ma->Y, -back, 0, -1);
}

// Moves the mirror outline's ring, less its fold-line ends, into `outline`
// in front of `b`; the mirror's outline item is left empty and removed.
void JoinMirrorOutline(CPieceItem* outline, CVertexNode* b, CPieceRecord* mirror, CPieceItem* mirrorOutline,
                       CVertexNode* ma, CVertexNode* mb) {
  mirrorOutline->RemoveGradedVertex(mb);
  CVertexNode* first = mirrorOutline->RemoveGradedVertex(ma);
  const int32_t count = mirrorOutline->VertexCount;
  if (first && count > 0) {
    CVertexNode* last = first->Prev;
    CVertexNode* before = b->Prev;
    before->Next = first;
    first->Prev = before;
    last->Next = b;
    b->Prev = last;
    outline->VertexCount += count;
  }
  mirrorOutline->VertexHead = nullptr;
  mirrorOutline->VertexCount = 0;
  mirror->RemoveItem(mirrorOutline);
  GradePiece(outline);
}

// The mirror's other items join the whole: marks, slots, circles and notches
// go into the whole's item of their type when it has one, everything else
// (the grain line aside) comes over as a copy.
void JoinMirrorItems(CPieceRecord* whole, CPieceRecord* mirror) {
  CPieceItem* grain = nullptr;
  if (mirror->FindItem(kItemTypeGrainLine, &grain)) mirror->RemoveItem(grain);
  CPieceItem* item = mirror->ItemRing;
  for (int32_t i = 0; item && i < mirror->ItemCount; ++i, item = item->Next) {
    CPieceItem* target = nullptr;
    switch (item->Type) {
      case kItemTypeFilledMarkers:
      case kItemTypeSlot:
      case kItemTypeHollowMarkers:
      case kItemTypeCircles:
      case kItemTypeNotches:
      case kItemTypeDerivedNotches:
      case kItemTypeDottedNotches:
        whole->FindItem(item->Type, &target);
        break;
      default:
        break;
    }
    if (target) {
      const CVertexNode* node = item->VertexHead;
      for (int32_t n = 0; node && n < item->VertexCount; ++n, node = node->Next) {
        target->AddTailVertex(node->X, node->Y, node->Flags);
      }
    } else {
      whole->AddItem(ClonePieceItem(item).release());
    }
  }
}

}  // namespace

void UnfoldCurrentPiece() {
  CPieceRecord* const current = g_Selection.GetCurrentPiece();
  if (!current) return;
  CPieceItem* const sourceOutline = OutlineOf(current);
  CVertexNode* a = g_Selection.GetValue2();
  CVertexNode* b = g_Selection.GetValue3();
  // The fold line needs two vertices of this outline at two places.
  if (!sourceOutline || a == b || !IsMainVertexOf(sourceOutline, a) || !IsMainVertexOf(sourceOutline, b) ||
      (a->X == b->X && a->Y == b->Y)) {
    return;
  }
  // The fold line runs forward from A to B.
  if (sourceOutline->NextMainVertex(b) == a) std::swap(a, b);

  std::unique_ptr<CPieceRecord> whole(DuplicatePiece(current));
  CPieceItem* const outline = OutlineOf(whole.get());
  CVertexNode* const wa = SameVertex(outline, a);
  CVertexNode* const wb = SameVertex(outline, b);
  if (!wa || !wb || wa == wb) return;
  int codeA = 0, p1A = 0, p2A = 0, codeB = 0, p1B = 0, p2B = 0;
  GetVertexCornerParams(outline, wa, &codeA, &p1A, &p2A);
  GetVertexCornerParams(outline, wb, &codeB, &p1B, &p2B);
  whole->AllowEdit = 1;

  // Drop the outline along the fold line and release what hangs on it.
  if (outline->NextMainVertex(wa) != wb) {
    whole->RemoveOutlineSpan(outline, outline->NextMainVertex(wa), outline->PrevMainVertex(wb));
  }
  whole->DetachOutlineSpan(outline, wa, wb);
  MakeCorner(whole.get(), wa);
  MakeCorner(whole.get(), wb);
  RemoveCornerParams(outline, wa);
  RemoveCornerParams(outline, wb);

  // The mirror image about the fold line (its rings reversed by the mirror).
  std::unique_ptr<CPieceRecord> mirror(DuplicatePiece(whole.get()));
  CPieceItem* const mirrorOutline = OutlineOf(mirror.get());
  CVertexNode* const ma = SameVertex(mirrorOutline, wa);
  CVertexNode* const mb = SameVertex(mirrorOutline, wb);
  if (!ma || !mb) return;
  mirror->MirrorLine(ma->X, ma->Y, mb->X, mb->Y);
  if (ma->Prev->Kind() == kVertexKindParameter) mirrorOutline->RemoveVertex(ma->Prev);

  if (g_Style.SizeCount >= 2 && (!IsUngraded(wa) || !IsUngraded(wb))) {
    AlignSizesOnFoldLine(whole.get(), wa, wb, mirror.get(), ma, mb);
  }

  JoinMirrorOutline(outline, wb, mirror.get(), mirrorOutline, ma, mb);
  JoinMirrorItems(whole.get(), mirror.get());
  mirror.reset();

  // The joins get plain corners, with the widths the fold line's ends had.
  outline->InsertVertexBefore(outline->NextMainVertex(wa), BothHalves(p1A), kJoinedCornerCode,
                              kVertexKindParameter);
  outline->InsertVertexBefore(outline->NextMainVertex(wb), BothHalves(p2B), kJoinedCornerCode,
                              kVertexKindParameter);
  whole->UpdateCurveItems();
  whole->RebuildDerivedItems(TRUE);
  whole->Recalc(1);

  // The whole piece is listed, and its copy placed in the work area.
  CPieceRecord* const placed = whole.release();
  std::unique_ptr<CPieceRecord> listedCopy = DuplicatePiece(placed);
  CPieceRecord* const listed = listedCopy.get();
  placed->Link = listed;
  listed->Link = placed;
  placed->Linked = 1;
  listed->Linked = 1;
  placed->AllowEdit = 1;
  listed->AllowEdit = 0;
  g_Style.AddPiece(listedCopy.release());
  if (g_pListPane) g_pListPane->AddPiece(listed);
  if (g_pWorkWindow) g_pWorkWindow->PlacePiece(placed);
  g_Style.AddWorkPiece(placed);
  if (g_pWorkWindow) g_pWorkWindow->ZoomToFit();
  SyncWorkPieceOrigins();
}
