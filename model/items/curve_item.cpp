#include "model/items/curve_item.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "design/geometry/point_line.h"
#include "model/geometry.h"
#include "model/item_types.h"
#include "model/piece_record.h"
#include "model/spline.h"
#include "model/style.h"
#include "model/work_area.h"
#include "platform/dc.h"
#include "platform/parallel.h"

namespace {

// From this many sizes on, a curve's sizes are fitted on several threads
// when it is first read: a graded style's pieces are mirrored and refitted
// one by one on saving and opening, and each holds a curve per size.
constexpr int32_t kSizesFittedInParallel = 4;

double SquaredDistance(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  return dx * dx + dy * dy;
}

// From `node` on (itself included), the first curve node that is no spline
// point, going forward or backward; null when one turn of the ring finds none.
CVertexNode* SkipSplinePoints(CVertexNode* node, int32_t ringCount, bool forward) {
  for (int32_t i = 0; node && i < ringCount; ++i) {
    if (node->Kind() != kVertexKindGraded) return node;
    node = forward ? node->Next : node->Prev;
  }
  return nullptr;
}

}  // namespace

CPieceCurveItem::CPieceCurveItem(int32_t type, CPieceItem* prev, CPieceItem* next)
    : CPieceItem(type, prev, next) {}

CPieceCurveItem::~CPieceCurveItem() { DeleteCurveRings(); }

void CPieceCurveItem::DeleteCurveRings() {
  CurveRings.reset();
  CurveRingCount = 0;
  pending_ = false;
  smoothed_ = false;
  prepared_.clear();
}

CVertexRing* CPieceCurveItem::CurveRingAt(int sizeIndex) const {
  MakePendingCurves();
  if (!CurveRings || sizeIndex < 0 || sizeIndex >= CurveRingCount) return nullptr;
  return &CurveRings[sizeIndex];
}

CVertexNode* CPieceCurveItem::NodeOfSize(CVertexNode* main, int sizeIndex) {
  CVertexNode* node = main;
  for (int s = 0; s < sizeIndex && node; ++s) node = node->Next;
  return node;
}

CVertexRing* CPieceCurveItem::CurveRingOf(const CSizeRecord* size) const {
  return CurveRingAt(g_Style.IndexOfSize(size));
}

CVertexNode* CPieceCurveItem::FirstMainVertex() const {
  if (!VertexHead) return nullptr;
  CVertexNode* start = VertexHead->IsMain() ? VertexHead : NextMainVertex(VertexHead);
  return start && start->IsMain() ? start : nullptr;
}

CVertexNode* CPieceCurveItem::NextVertexSkipCopies(CVertexNode* node) const {
  return CPieceItem::NextVertexSkipCopies(node);
}

CVertexNode* CPieceCurveItem::PrevVertexSkipCopies(CVertexNode* node) const {
  return CPieceItem::PrevVertexSkipCopies(node);
}

namespace {

void StartExtent(int* minX, int* maxX, int* minY, int* maxY) {
  *minX = kBoxEmptyMin;
  *minY = kBoxEmptyMin;
  *maxX = kExtentEmptyMax;
  *maxY = kExtentEmptyMax;
}

void WidenExtent(const CVertexRing& ring, int* minX, int* maxX, int* minY, int* maxY) {
  CVertexNode* node = ring.Head;
  for (int32_t i = 0; node && i < ring.Count; ++i, node = node->Next) {
    if (node->X > *maxX) *maxX = node->X;
    if (node->X < *minX) *minX = node->X;
    if (node->Y > *maxY) *maxY = node->Y;
    if (node->Y < *minY) *minY = node->Y;
  }
}

}  // namespace

void CPieceCurveItem::GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const {
  const CVertexRing* ring = CurveRingOf(size);
  if (!ring) return;
  StartExtent(minX, maxX, minY, maxY);
  WidenExtent(*ring, minX, maxX, minY, maxY);
}

void CPieceCurveItem::GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const {
  MakePendingCurves();
  if (!CurveRings) return;
  StartExtent(minX, maxX, minY, maxY);
  const CSizeRecord* size = g_Style.SizeRing;
  for (int s = 0; s < CurveRingCount && s < g_Style.SizeCount && size; ++s, size = size->Next) {
    if (all == 0 ? s == 0 : size->Visible != 0) WidenExtent(CurveRings[s], minX, maxX, minY, maxY);
  }
}

CVertexNode* CPieceCurveItem::FindCurveVertexWithKind(CSizeRecord* size, int32_t x, int32_t y, int kind) const {
  const CVertexRing* ring = CurveRingOf(size);
  if (!ring) return nullptr;
  CVertexNode* node = ring->Head;
  for (int32_t i = 0; node && i < ring->Count; ++i, node = node->Next) {
    if (node->X == x && node->Y == y && node->Kind() == kind) return node;
  }
  return nullptr;
}

CVertexNode* CPieceCurveItem::FindCurveVertex(CSizeRecord* size, int32_t x, int32_t y) const {
  const CVertexRing* ring = CurveRingOf(size);
  if (!ring) return nullptr;
  CVertexNode* node = ring->Head;
  for (int32_t i = 0; node && i < ring->Count; ++i, node = node->Next) {
    if (node->X == x && node->Y == y) return node;
  }
  return nullptr;
}

CVertexNode* CPieceCurveItem::MapToCurveVertex(CSizeRecord* size, CVertexNode* node) const {
  const int s = g_Style.IndexOfSize(size);
  const CVertexRing* ring = CurveRingAt(s);
  if (!ring || !node) return nullptr;
  CVertexNode* main = nullptr;
  CVertexNode* curve =
      FindPairedStep(*ring, [&](CVertexNode* m, CVertexNode*) { return NodeOfSize(m, s) == node; }, &main);
  if (curve && curve->X == node->X && curve->Y == node->Y) return curve;
  return FindCurveVertex(size, node->X, node->Y);
}

CVertexNode* CPieceCurveItem::MapToMainVertex(CSizeRecord* size, CVertexNode* curveNode) const {
  const int s = g_Style.IndexOfSize(size);
  const CVertexRing* ring = CurveRingAt(s);
  if (!ring || !curveNode) return nullptr;
  CVertexNode* main = nullptr;
  if (FindPairedStep(*ring, [&](CVertexNode*, CVertexNode* c) { return c == curveNode; }, &main)) {
    CVertexNode* sizeNode = NodeOfSize(main, s);
    if (sizeNode && sizeNode->X == curveNode->X && sizeNode->Y == curveNode->Y) return sizeNode;
  }
  // By position and kind over every main vertex.
  CVertexNode* const first = FirstMainVertex();
  main = first;
  while (main) {
    CVertexNode* sizeNode = NodeOfSize(main, s);
    if (sizeNode && sizeNode->X == curveNode->X && sizeNode->Y == curveNode->Y &&
        sizeNode->Kind() == curveNode->Kind()) {
      return sizeNode;
    }
    main = NextMainVertex(main);
    if (main == first) break;
  }
  return nullptr;
}

template <typename Stop>
CVertexNode* CPieceCurveItem::FindPairedStep(const CVertexRing& ring, const Stop& stop, CVertexNode** main) const {
  // The curve holds one vertex node per main vertex, in the same order, with
  // spline points between them.
  CVertexNode* const first = FirstMainVertex();
  CVertexNode* m = first;
  CVertexNode* curve = ring.Head;
  while (m && curve) {
    curve = SkipSplinePoints(curve, ring.Count, true);
    if (!curve) break;
    if (stop(m, curve)) {
      *main = m;
      return curve;
    }
    m = NextMainVertex(m);
    curve = curve->Next;
    if (m == first) break;
  }
  return nullptr;
}

CVertexNode* CPieceCurveItem::KeyVertexBeside(CSizeRecord* size, CVertexNode* curveNode, bool forward) const {
  const CVertexRing* ring = CurveRingOf(size);
  if (!ring || !curveNode) return nullptr;
  CVertexNode* vertex = SkipSplinePoints(forward ? curveNode->Next : curveNode->Prev, ring->Count, forward);
  CVertexNode* main = MapToMainVertex(size, vertex);
  if (main && main->Kind() == kVertexKindCopy) main = PrevMainVertex(main);
  return main;
}

CVertexNode* CPieceCurveItem::NextKeyVertexOnCurve(CSizeRecord* size, CVertexNode* curveNode) const {
  return KeyVertexBeside(size, curveNode, true);
}

CVertexNode* CPieceCurveItem::PrevKeyVertexOnCurve(CSizeRecord* size, CVertexNode* curveNode) const {
  return KeyVertexBeside(size, curveNode, false);
}

void CPieceCurveItem::BuildCurveRings() {
  DeleteCurveRings();
  const int32_t sizes = g_Style.SizeCount;
  if (sizes <= 0) return;
  CurveRings = std::make_unique<CVertexRing[]>(static_cast<size_t>(sizes));
  CurveRingCount = sizes;
  // One node per main vertex and size, from the head round to it again. A
  // head that is no main vertex (a damaged ring) starts at the next one.
  CVertexNode* const start = FirstMainVertex();
  if (!start) return;
  CVertexNode* main = start;
  do {
    CVertexNode* sizeNode = main;
    for (int32_t s = 0; s < sizes; ++s) {
      CurveRings[s].AddTail(sizeNode->X, sizeNode->Y, main->Flags);
      sizeNode = sizeNode->Next;
    }
    main = NextMainVertex(main);
  } while (main && main != start);
}

void CPieceCurveItem::SeparateCoincidentVertices() {
  CVertexNode* const first = FirstMainVertex();
  if (!first) return;
  const int sizes = g_Style.SizeCount;
  CVertexNode* prev = first;
  // Every step either removes a vertex or moves on by one, so the pairs end
  // when the pair that closes the ring (its second vertex the first) is done.
  for (;;) {
    CVertexNode* cur = NextMainVertex(prev);
    if (!cur || cur == prev) return;  // a single vertex has no neighbour
    const bool closesRing = cur == first;
    if (cur->X == prev->X && cur->Y == prev->Y) {
      if (Type == kItemTypeCutLine) {
        bool everySize = true;
        for (int s = 1; s < sizes && everySize; ++s) {
          const CVertexNode* a = NodeOfSize(prev, s);
          const CVertexNode* b = NodeOfSize(cur, s);
          everySize = a && b && a->X == b->X && a->Y == b->Y;
        }
        if (everySize) {
          RemoveGradedVertex(cur);
          if (closesRing || !VertexHead) return;
          continue;  // prev meets the vertex after the removed one
        }
      } else {
        for (CVertexNode* node : {prev, cur}) node->Flags = WithCornerKind(node->Flags);
      }
    }
    if (closesRing) return;
    prev = cur;
  }
}

std::vector<CPieceCurveItem::CurveInput> CPieceCurveItem::GatherCurveInput(int32_t sizes) const {
  // The same walk as BuildCurveRings.
  std::vector<CurveInput> input;
  CVertexNode* const start = FirstMainVertex();
  if (!start || sizes <= 0) return input;
  input.reserve(static_cast<size_t>(VertexCount));
  CVertexNode* main = start;
  do {
    CVertexNode* sizeNode = main;
    for (int32_t s = 0; s < sizes; ++s) {
      input.push_back({sizeNode->X, sizeNode->Y, main->Flags});
      sizeNode = sizeNode->Next;
    }
    main = NextMainVertex(main);
  } while (main && main != start);
  return input;
}

uint64_t CPieceCurveItem::CurveRingsChecksum() const {
  MakePendingCurves();
  // FNV-1a over 32-bit words.
  uint64_t hash = 14695981039346656037ull;
  const auto mix = [&hash](uint64_t word) {
    hash ^= word;
    hash *= 1099511628211ull;
  };
  mix(static_cast<uint32_t>(CurveRingCount));
  mix(CurveRings ? 1 : 0);
  for (int32_t s = 0; CurveRings && s < CurveRingCount; ++s) {
    const CVertexRing& ring = CurveRings[s];
    mix(static_cast<uint32_t>(ring.Count));
    const CVertexNode* node = ring.Head;
    mix(node ? 1 : 0);
    for (int32_t i = 0; node && i < ring.Count; ++i, node = node->Next) {
      mix(node->Flags);
      mix(static_cast<uint32_t>(node->X));
      mix(static_cast<uint32_t>(node->Y));
      mix(static_cast<uint32_t>(node->Value));
      mix(node->Attributes);
      // A ring whose links were changed does not count as the one smoothed.
      mix(node->Next && node->Next->Prev == node ? 1 : 2);
    }
    mix(node == ring.Head ? 1 : 2);
  }
  return hash;
}

void CPieceCurveItem::SmoothCurves() {
  SeparateCoincidentVertices();
  const int32_t sizes = g_Style.SizeCount;
  if (sizes <= 0) {
    DeleteCurveRings();
    return;
  }
  std::vector<CurveInput> input = GatherCurveInput(sizes);
  if (sizes == smoothed_sizes_) {
    if (pending_ && input == smoothed_from_) return;
    if (smoothed_ && CurveRingsChecksum() == smoothed_checksum_ && RingsHoldInput(input)) return;
  }
  DeleteCurveRings();
  smoothed_from_ = std::move(input);
  smoothed_sizes_ = sizes;
  pending_ = true;
}

bool CPieceCurveItem::RingsHoldInput(const std::vector<CurveInput>& input) const {
  // A smoothed ring holds its size's input nodes, in order, with spline
  // points (kind 100, which no main vertex has) between them.
  if (!CurveRings || CurveRingCount <= 0) return false;
  const auto sizes = static_cast<size_t>(CurveRingCount);
  const size_t mains = input.size() / sizes;
  for (size_t s = 0; s < sizes; ++s) {
    const CVertexRing& ring = CurveRings[static_cast<int32_t>(s)];
    size_t k = 0;
    const CVertexNode* node = ring.Head;
    for (int32_t i = 0; node && i < ring.Count; ++i, node = node->Next) {
      if (node->Kind() == kVertexKindGraded) continue;
      if (k == mains) return false;
      const CurveInput& in = input[k * sizes + s];
      if (node->X != in.x || node->Y != in.y || node->Flags != in.flags) return false;
      ++k;
    }
    if (k != mains) return false;
  }
  return true;
}

void CPieceCurveItem::FitRing(size_t size, CVertexRing& ring) const {
  // The input holds each main vertex's nodes of every size in turn.
  const auto sizes = static_cast<size_t>(smoothed_sizes_);
  for (size_t i = size; i < smoothed_from_.size(); i += sizes) {
    ring.AddTail(smoothed_from_[i].x, smoothed_from_[i].y, smoothed_from_[i].flags);
  }
  if (ring.Count > 2) SmoothRing(ring);
}

void CPieceCurveItem::PrepareRing(size_t size, std::vector<CFlaggedPoint>* out) const {
  // The scratch ring's nodes are made and freed on this thread, which may be
  // a worker's.
  CScopedThreadNodePool threadPool;
  CVertexRing ring;
  FitRing(size, ring);
  out->clear();
  out->reserve(static_cast<size_t>(ring.Count));
  const CVertexNode* node = ring.Head;
  for (int32_t i = 0; node && i < ring.Count; ++i, node = node->Next) out->push_back({node->Flags, node->X, node->Y});
}

void CPieceCurveItem::PrepareCurves() const {
  if (!pending_ || !prepared_.empty()) return;
  std::vector<std::vector<CFlaggedPoint>> rings(static_cast<size_t>(smoothed_sizes_));
  for (size_t s = 0; s < rings.size(); ++s) PrepareRing(s, &rings[s]);
  prepared_ = std::move(rings);
}

void CPieceCurveItem::MakePendingCurves() const {
  if (!pending_) return;
  pending_ = false;
  const int32_t sizes = smoothed_sizes_;
  if (prepared_.empty() && sizes >= kSizesFittedInParallel && ParallelThreads() > 1) {
    // The sizes' curves are fitted side by side, each on its own.
    std::vector<std::vector<CFlaggedPoint>> rings(static_cast<size_t>(sizes));
    ParallelFor(rings.size(), [this, &rings](size_t s) { PrepareRing(s, &rings[s]); });
    prepared_ = std::move(rings);
  }
  CurveRings = std::make_unique<CVertexRing[]>(static_cast<size_t>(sizes));
  CurveRingCount = sizes;
  if (!prepared_.empty()) {
    for (int32_t s = 0; s < sizes; ++s) {
      for (const CFlaggedPoint& p : prepared_[static_cast<size_t>(s)]) CurveRings[s].AddTail(p.X, p.Y, p.Flags);
    }
    prepared_.clear();
    FinishSmoothing();
    return;
  }
  for (int32_t s = 0; s < sizes; ++s) FitRing(static_cast<size_t>(s), CurveRings[s]);
  FinishSmoothing();
}

void CPieceCurveItem::FinishSmoothing() const {
  smoothed_checksum_ = CurveRingsChecksum();
  smoothed_ = true;
  // The rings hold the input now: it is not kept twice.
  std::vector<CurveInput>().swap(smoothed_from_);
}

void CPieceCurveItem::CopyCurvesFrom(const CPieceCurveItem& source) {
  DeleteCurveRings();
  smoothed_from_ = source.smoothed_from_;
  smoothed_sizes_ = source.smoothed_sizes_;
  if (source.pending_) {
    pending_ = true;
    return;
  }
  if (!source.CurveRings) return;
  CurveRings = std::make_unique<CVertexRing[]>(static_cast<size_t>(source.CurveRingCount));
  CurveRingCount = source.CurveRingCount;
  for (int32_t s = 0; s < CurveRingCount; ++s) {
    const CVertexRing& from = source.CurveRings[s];
    const CVertexNode* node = from.Head;
    for (int32_t i = 0; node && i < from.Count; ++i, node = node->Next) {
      CVertexNode* copy = CurveRings[s].AddTail(node->X, node->Y, node->Flags);
      copy->Value = node->Value;
      copy->Attributes = node->Attributes;
    }
  }
  smoothed_ = source.smoothed_;
  smoothed_checksum_ = source.smoothed_checksum_;
}

int32_t CPieceCurveItem::GetCurveCount(CSizeRecord* size) const {
  const CVertexRing* ring = CurveRingOf(size);
  return ring ? ring->Count : 0;
}

CVertexNode* CPieceCurveItem::GetCurveHead(CSizeRecord* size) const {
  const CVertexRing* ring = CurveRingOf(size);
  return ring ? ring->Head : nullptr;
}

void CPieceCurveItem::NearestOnSegments(const CVertexRing& ring, int32_t segments, int32_t x, int32_t y,
                                        double* best, CVertexNode** node, CPoint* near) {
  CVertexNode* a = ring.Head;
  for (int32_t i = 0; a && i < segments; ++i, a = a->Next) {
    CVertexNode* b = a->Next;
    // A segment whose box, grown by a unit for the rounding of the foot
    // below, lies farther than the best so far cannot win: skip the rest.
    const double outX = std::max({0.0, static_cast<double>(std::min(a->X, b->X)) - 1 - x,
                                  static_cast<double>(x) - std::max(a->X, b->X) - 1});
    const double outY = std::max({0.0, static_cast<double>(std::min(a->Y, b->Y)) - 1 - y,
                                  static_cast<double>(y) - std::max(a->Y, b->Y) - 1});
    if (outX * outX + outY * outY > *best * (1 + 1e-9) + 1) continue;
    const double dx = static_cast<double>(b->X) - a->X;
    const double dy = static_cast<double>(b->Y) - a->Y;
    CPoint candidate(a->X, a->Y);
    double measure = 0;
    if (dx == 0 && dy == 0) {
      measure = SquaredDistance(x, y, a->X, a->Y);
    } else {
      const double px = static_cast<double>(x) - a->X;
      const double py = static_cast<double>(y) - a->Y;
      const double len2 = dx * dx + dy * dy;
      const double t = (px * dx + py * dy) / len2;
      // The foot keeps the segment's own coordinate along an axis it does
      // not move in, so that rounding cannot step off the segment there.
      const CPoint foot(dx == 0 ? a->X : RoundToNearest(a->X + t * dx),
                        dy == 0 ? a->Y : RoundToNearest(a->Y + t * dy));
      const double cross = px * dy - py * dx;
      measure = cross * cross / len2;
      candidate = foot;
      const bool inX = foot.x >= std::min(a->X, b->X) && foot.x <= std::max(a->X, b->X);
      const bool inY = foot.y >= std::min(a->Y, b->Y) && foot.y <= std::max(a->Y, b->Y);
      if (!inX || !inY) {
        const double toA = SquaredDistance(x, y, a->X, a->Y);
        const double toB = SquaredDistance(x, y, b->X, b->Y);
        measure = toB < toA ? toB : toA;
        candidate = toB < toA ? CPoint(b->X, b->Y) : CPoint(a->X, a->Y);
      }
    }
    if (measure <= *best) {
      *best = measure;
      *node = (x == b->X && y == b->Y) ? b : a;
      *near = candidate;
    }
  }
}

BOOL CPieceCurveItem::HitTestMainVertex(int32_t x, int32_t y, double tolerance, CVertexNode** node, int* footX,
                                        int* footY) const {
  CSizeRecord* first = g_Style.SizeRing;
  CVertexNode* found = nullptr;
  if (!HitTest(first, x, y, tolerance, &found, footX, footY)) return FALSE;
  const CVertexRing* ring = CurveRingOf(first);
  found = SkipSplinePoints(found, ring ? ring->Count : 0, false);
  *node = MapToMainVertex(first, found);
  return TRUE;
}

BOOL CPieceCurveItem::HitTestInSpan(CSizeRecord* size, int32_t x, int32_t y, double tolerance, CVertexNode* from,
                                    CVertexNode* to, int* footX, int* footY) const {
  if (!from || !to) return FALSE;
  CVertexNode* found = nullptr;
  if (!HitTest(size, x, y, tolerance, &found, footX, footY)) return FALSE;
  const CVertexRing* ring = CurveRingOf(size);
  if (!ring) return FALSE;
  CVertexNode* node = from;
  for (int32_t i = 0; node && i < ring->Count; ++i, node = node->Next) {
    if (node == found) return found != to || (x == to->X && y == to->Y) ? TRUE : FALSE;
    if (node == to) return FALSE;
  }
  return FALSE;
}

BOOL CPieceCurveItem::ContainsPoint(int32_t x, int32_t y) const {
  const std::vector<CPoint> points = GetCurvePoints(g_Style.SizeRing);
  if (points.empty()) return FALSE;
  return IsPointInPolygon(x, y, points.data(), static_cast<int>(points.size())) != 0 ? TRUE : FALSE;
}

std::vector<CPoint> CPieceCurveItem::GetCurvePoints(CSizeRecord* size) const {
  std::vector<CPoint> points;
  const CVertexRing* ring = CurveRingOf(size);
  if (!ring) return points;
  points.reserve(static_cast<size_t>(ring->Count));
  CVertexNode* node = ring->Head;
  for (int32_t i = 0; node && i < ring->Count; ++i, node = node->Next) points.emplace_back(node->X, node->Y);
  return points;
}

std::vector<CPoint> CPieceCurveItem::ScreenCurvePoints(int sizeIndex, double unitsPerPixel, int originX,
                                                       int originY) const {
  std::vector<CPoint> points;
  const CVertexRing* ring = CurveRingAt(sizeIndex);
  if (!ring) return points;
  points.reserve(static_cast<size_t>(ring->Count));
  CVertexNode* node = ring->Head;
  for (int32_t i = 0; node && i < ring->Count; ++i, node = node->Next) {
    CPoint p;
    ModelToScreen(node->X, node->Y, &p.x, &p.y, unitsPerPixel, originX, originY);
    points.push_back(p);
  }
  return points;
}

void CPieceCurveItem::DrawCurveRings(CDC* dc, double unitsPerPixel, int originX, int originY, int penStyle,
                                     BOOL closed, BOOL keyMarks, BOOL curveMarks) const {
  if (!dc) return;
  const bool marks = keyMarks || curveMarks;
  dc->SaveDC();
  dc->SetBkColor(0xFFFFFF);
  DrawEachSize(dc, penStyle, false, [&](CDC* d, const CSizeRecord& size, int sizeIndex) {
    const CVertexRing* ring = CurveRingAt(sizeIndex);
    if (!ring || ring->Count == 0) return;
    const std::vector<CPoint> points = ScreenCurvePoints(sizeIndex, unitsPerPixel, originX, originY);
    CGdiObject* oldBrush = d->SelectStockObject(NULL_BRUSH);
    if (closed) {
      d->Polygon(points.data(), static_cast<int>(points.size()));
    } else {
      d->Polyline(points.data(), static_cast<int>(points.size()));
    }
    if (oldBrush) d->SelectObject(oldBrush);
    if (!marks) return;
    CBrush brush(size.Color);
    CPen pen(PS_SOLID, 1, size.Color);
    CBrush* markBrush = d->SelectObject(&brush);
    CPen* markPen = d->SelectObject(&pen);
    const CVertexNode* node = ring->Head;
    for (size_t i = 0; i < points.size(); ++i, node = node->Next) {
      const CPoint p = points[i];
      const int kind = node->Kind();
      if (IsKeyVertexKind(kind) && keyMarks) {
        d->Rectangle(p.x - 2, p.y - 2, p.x + 3, p.y + 3);
      } else if (IsCurveVertexKind(kind) && curveMarks) {
        DrawEllipseIfVisible(d, p.x, p.y, p.x - 2, p.y - 2, p.x + 2, p.y + 2);
      }
    }
    if (markPen) d->SelectObject(markPen);
    if (markBrush) d->SelectObject(markBrush);
  });
  dc->RestoreDC(-1);
}

void CPiecePolylineItem::NearestCurvePoint(CSizeRecord* size, int32_t x, int32_t y, CVertexNode** node) const {
  *node = nullptr;
  const CVertexRing* ring = CurveRingOf(size);
  if (!ring) return;
  double best = 1e20;
  CPoint near;
  NearestOnSegments(*ring, ring->Count, x, y, &best, node, &near);
}

BOOL CPiecePolylineItem::HitTest(CSizeRecord* size, int32_t x, int32_t y, double tolerance, CVertexNode** node,
                                 int* footX, int* footY) const {
  const CVertexRing* ring = CurveRingOf(size);
  const double scale = g_Style.GetScale();
  if (!ring || scale <= 0) return FALSE;
  double bound = scale * (tolerance + 1.0);
  CVertexNode* found = nullptr;
  CPoint foot;
  const CPoint point(x, y);
  CVertexNode* a = ring->Head;
  for (int32_t i = 0; a && i < ring->Count; ++i, a = a->Next) {
    const CVertexNode* b = a->Next;
    // The distance is measured to the segment's line through a foot rounded
    // into the segment's box, or to an end: never nearer than the box grown
    // by a unit. A segment whose grown box lies beyond the bound cannot win.
    const double outX = std::max({0.0, static_cast<double>(std::min(a->X, b->X)) - 1 - x,
                                  static_cast<double>(x) - std::max(a->X, b->X) - 1});
    const double outY = std::max({0.0, static_cast<double>(std::min(a->Y, b->Y)) - 1 - y,
                                  static_cast<double>(y) - std::max(a->Y, b->Y) - 1});
    if (outX * outX + outY * outY > bound * bound * (1 + 1e-9) + 1) continue;
    const double d = PointSegmentDistance(point, a->X, a->Y, b->X, b->Y);
    if (d < bound) {
      bound = d;
      found = (x == b->X && y == b->Y) ? a->Next : a;
      foot = ProjectPointOntoLine2P(x, y, a->X, a->Y, b->X, b->Y);
    }
  }
  if (!found || !(bound / scale < tolerance)) return FALSE;
  *node = found;
  *footX = foot.x;
  *footY = foot.y;
  return TRUE;
}

void CPieceOpenLineItem::NearestCurvePoint(CSizeRecord* size, int32_t x, int32_t y, CVertexNode** node) const {
  *node = nullptr;
  const CVertexRing* ring = CurveRingOf(size);
  if (!ring) return;
  double best = 1e20;
  CPoint near;
  NearestOnSegments(*ring, ring->Count > 1 ? ring->Count - 1 : ring->Count, x, y, &best, node, &near);
}

BOOL CPieceOpenLineItem::HitTest(CSizeRecord* size, int32_t x, int32_t y, double tolerance, CVertexNode** node,
                                 int* footX, int* footY) const {
  const CVertexRing* ring = CurveRingOf(size);
  const double scale = g_Style.GetScale();
  if (!ring || scale <= 0) return FALSE;
  const double reach = scale * (tolerance + 1.0);
  double best = reach * reach;
  CVertexNode* found = nullptr;
  CPoint near;
  NearestOnSegments(*ring, ring->Count > 1 ? ring->Count - 1 : ring->Count, x, y, &best, &found, &near);
  if (!found || !(std::sqrt(best) / scale < tolerance)) return FALSE;
  *node = found;
  *footX = near.x;
  *footY = near.y;
  return TRUE;
}
