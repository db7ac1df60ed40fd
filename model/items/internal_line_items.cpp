#include "model/items/internal_line_items.h"

#include <vector>

#include "model/settings.h"
#include "platform/dc.h"

namespace {

constexpr int32_t kLineAttributeMask = 0xF;

// Draws an internal line's curve rings; shown selected, with the vertex
// marks that the mark switches (and, for types 8 and 9, the switch of their
// own marks) let through.
void DrawInternalLine(const CPieceCurveItem& item, CDC* dc, double unitsPerPixel, int originX, int originY,
                      int penStyle, BOOL closed, bool selected, bool marksGated) {
  BOOL keyMarks = FALSE;
  BOOL curveMarks = FALSE;
  if (selected && (!marksGated || g_DrawFlagMarksType8And9)) {
    keyMarks = g_DrawFlagKeyVertexMarks ? TRUE : FALSE;
    curveMarks = g_DrawFlagCurveVertexMarks ? TRUE : FALSE;
  }
  item.DrawCurveRings(dc, unitsPerPixel, originX, originY, penStyle, closed, keyMarks, curveMarks);
}

}  // namespace

int InternalLinePenStyle(int32_t lineAttribute) {
  switch (lineAttribute & kLineAttributeMask) {
    case 0:
      return g_OptCurveMode ? PS_DOT : PS_SOLID;
    case 1:
    case 5:
      return PS_SOLID;
    case 2:
      return PS_DASH;
    case 3:
      return PS_DOT;
    case 4:
      return PS_DASHDOT;
    default:
      return PS_DOT;
  }
}

void CPieceItem8::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawInternalLine(*this, dc, unitsPerPixel, originX, originY, InternalLinePenStyle(Tag), TRUE, false, true);
}

void CPieceItem8::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawInternalLine(*this, dc, unitsPerPixel, originX, originY, InternalLinePenStyle(Tag), TRUE, true, true);
}

void CPieceItem9::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawInternalLine(*this, dc, unitsPerPixel, originX, originY, InternalLinePenStyle(Tag), FALSE, false, true);
}

void CPieceItem9::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawInternalLine(*this, dc, unitsPerPixel, originX, originY, InternalLinePenStyle(Tag), FALSE, true, true);
}

void CPieceItem14::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawInternalLine(*this, dc, unitsPerPixel, originX, originY, PS_SOLID, TRUE, false, false);
}

void CPieceItem14::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawInternalLine(*this, dc, unitsPerPixel, originX, originY, PS_SOLID, TRUE, true, false);
}

void CPieceItem15::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawInternalLine(*this, dc, unitsPerPixel, originX, originY, PS_SOLID, FALSE, false, false);
}

void CPieceItem15::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawInternalLine(*this, dc, unitsPerPixel, originX, originY, PS_SOLID, FALSE, true, false);
}

void CPieceItem9::ReverseDirection() {
  if (!VertexHead || VertexCount <= 0) return;
  CVertexNode* const first = VertexHead->IsMain() ? VertexHead : NextMainVertex(VertexHead);
  if (!first || !first->IsMain()) return;
  // Cut the ring into runs: a node that is not a per-size copy and the copies
  // that follow it. Reversing the runs, not the nodes, keeps every vertex's
  // copies after it in size order.
  std::vector<std::vector<CVertexNode*>> runs;
  CVertexNode* node = first;
  for (int32_t i = 0; i < VertexCount; ++i, node = node->Next) {
    if (runs.empty() || node->Kind() != kVertexKindCopy) runs.emplace_back();
    runs.back().push_back(node);
  }
  std::vector<CVertexNode*> order;
  order.reserve(static_cast<size_t>(VertexCount));
  CVertexNode* newHead = nullptr;
  for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
    if (!newHead && run->front()->IsMain()) newHead = run->front();
    order.insert(order.end(), run->begin(), run->end());
  }
  for (size_t i = 0; i < order.size(); ++i) {
    CVertexNode* next = order[(i + 1) % order.size()];
    order[i]->Next = next;
    next->Prev = order[i];
  }
  VertexHead = newHead;
}
