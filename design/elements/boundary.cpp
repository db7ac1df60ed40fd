#include "design/elements/boundary.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/elements/seam_allowance.h"
#include "design/curves/graded_curve.h"
#include "design/geometry/point_line.h"
#include "design/geometry/spline_fit.h"
#include "design/points/graded_point.h"

namespace {

// From this data version on a seam entry stores both widths; before it only
// the outgoing one, the incoming width being the outgoing width of the entry
// before.
constexpr int32_t kFirstVersionWithBothWidths = 106;
// From this data version on every seam entry stores its corner parameter;
// before it only the corner kinds that extend an edge do.
constexpr int32_t kFirstVersionWithCornerParam = 117;
constexpr int32_t kCornerExtendIncoming = 10;
constexpr int32_t kCornerExtendOutgoing = 11;

// Stored sizes: an outline entry is three object positions; a seam entry at
// least a point position, its widths and its corner kind.
constexpr size_t kWordBytes = 4;
constexpr size_t kEntryBytes = 3 * kWordBytes;

size_t LeastSeamEntryBytes(int32_t version) {
  size_t words = 3;  // point, outgoing width, corner kind
  if (version >= kFirstVersionWithBothWidths) ++words;
  if (version >= kFirstVersionWithCornerParam) ++words;
  return words * kWordBytes;
}

bool StoresCornerParam(int32_t version, int32_t cornerKind) {
  return version >= kFirstVersionWithCornerParam || cornerKind == kCornerExtendIncoming ||
         cornerKind == kCornerExtendOutgoing;
}

// An entry's line is a two-point line or a curve; anything else is none.
CGradedObject* ResolveLineOrCurve(const CPatternData& data, int32_t position) {
  if (CGradedObject* line = ResolveObjectOfKind(data, position, kObjectKindLine)) return line;
  return ResolveObjectOfKind(data, position, kObjectKindCurve);
}

// Files below the both-widths version store one width per entry: the
// incoming side takes the outgoing width of the entry before, the first
// entry the last one's.
void TakeIncomingWidthsFromEntryBefore(std::vector<CSeamEntry>& seams) {
  if (seams.empty()) return;
  int32_t before = seams.back().widthOut;
  for (CSeamEntry& seam : seams) {
    const int32_t own = seam.widthOut;
    seam.widthIn = before;
    before = own;
  }
}

// The cut-off corners at one of the widths are held as the cut-off corner at
// a given width. Runs once every width is known.
void HoldCutOffCornersAtParam(std::vector<CSeamEntry>& seams) {
  for (CSeamEntry& seam : seams) {
    if (seam.cornerKind == kSeamCornerCutAtWidthIn) {
      seam.cornerKind = kSeamCornerCutAtParam;
      seam.cornerParam = seam.widthIn;
    } else if (seam.cornerKind == kSeamCornerCutAtWidthOut) {
      seam.cornerKind = kSeamCornerCutAtParam;
      seam.cornerParam = seam.widthOut;
    }
  }
}

}  // namespace

CPieceBoundary::CPieceBoundary(CPatternRecord* owner) : CDesignElement(owner, kElementTypeBoundary) {
  const CPatternData* data = GetPatternData();
  const size_t sizes = data && data->GetSizeCount() > 0 ? static_cast<size_t>(data->GetSizeCount()) : 0;
  m_Outlines.resize(sizes);
  m_SeamLines.resize(sizes);
}

CPieceBoundary::~CPieceBoundary() = default;

BOOL CPieceBoundary::HasNegativeSeamWidth() const {
  for (const CSeamEntry& seam : m_SeamEntries) {
    if (seam.widthIn == 0 && seam.widthOut == 0) continue;
    return seam.widthIn < 0 || seam.widthOut < 0 ? TRUE : FALSE;
  }
  return FALSE;
}

BOOL CPieceBoundary::GetStoredOutline(int32_t size, std::vector<CPoint>& out) const {
  if (size < 0 || size >= static_cast<int32_t>(m_Outlines.size())) return FALSE;
  out = m_Outlines[static_cast<size_t>(size)];
  return TRUE;
}

BOOL CPieceBoundary::GetStoredSeamLine(int32_t size, std::vector<CPoint>& out) const {
  if (size < 0 || size >= static_cast<int32_t>(m_SeamLines.size())) return FALSE;
  out = m_SeamLines[static_cast<size_t>(size)];
  return TRUE;
}

namespace {

// `out` emptied and given the list of `size` from `lists`; 0 outside them.
BOOL CopySizeList(const std::vector<std::vector<CPoint>>& lists, int32_t size, PointList& out) {
  out.clear();
  if (size < 0 || size >= static_cast<int32_t>(lists.size())) return FALSE;
  const std::vector<CPoint>& list = lists[static_cast<size_t>(size)];
  out.assign(list.begin(), list.end());
  return TRUE;
}

}  // namespace

BOOL CPieceBoundary::GetOutline(int32_t size, PointList& out) {
  if (size >= 0 && size < GetSizeListCount() && IsDirty(size)) Recalc(size);
  return CopySizeList(m_Outlines, size, out);
}

BOOL CPieceBoundary::GetSeamLine(int32_t size, PointList& out) {
  if (size >= 0 && size < GetSizeListCount() && IsDirty(size)) Recalc(size);
  return CopySizeList(m_SeamLines, size, out);
}

BOOL CPieceBoundary::PtInside(int32_t x, int32_t y, int32_t size) {
  PointList outline;
  GetOutline(size, outline);
  return IsPointInPointList(x, y, outline) ? TRUE : FALSE;
}

void CPieceBoundary::ListsAt(int32_t size, PointList& outline, PointList& seamLine) const {
  // Computing a dirty size is the boundary's own cache at work: the box of
  // a piece is asked of a const element, but the element is never const.
  auto* self = const_cast<CPieceBoundary*>(this);
  self->GetOutline(size, outline);
  self->GetSeamLine(size, seamLine);
}

CRect CPieceBoundary::GetBoundRect(int32_t size) const {
  PointList outline, seamLine;
  ListsAt(size, outline, seamLine);
  CRect outlineRect, seamRect, rect;
  GetPointListRect(&outlineRect, outline);
  GetPointListRect(&seamRect, seamLine);
  rect.UnionRect(outlineRect, seamRect);
  return rect;
}

CRect CPieceBoundary::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  PointList points, seamLine;
  ListsAt(size, points, seamLine);
  points.splice(points.end(), seamLine);
  for (CPoint& p : points) RotatePointInPlace(&p, cx, cy, sinA, cosA);
  CRect rect;
  GetPointListRect(&rect, points);
  return rect;
}

template <class Visit>
bool CPieceBoundary::AnyReference(Visit visit) const {
  for (const CBoundaryEntry& entry : m_Entries) {
    if (visit(entry.line) || visit(entry.startPoint) || visit(entry.endPoint)) return true;
  }
  for (const CSeamEntry& seam : m_SeamEntries) {
    if (visit(seam.point)) return true;
  }
  return false;
}

BOOL CPieceBoundary::RefersTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  return AnyReference([object](const CGradedObject* reference) { return reference == object; }) ? TRUE : FALSE;
}

void CPieceBoundary::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  AnyReference([&used](CGradedObject* reference) {
    if (reference) used.push_back(reference);
    return false;
  });
}

void CPieceBoundary::InsertSize(int32_t index) {
  CDesignElement::InsertSize(index);
  if (index < 0 || index > static_cast<int32_t>(m_Outlines.size())) return;
  m_Outlines.insert(m_Outlines.begin() + index, std::vector<CPoint>());
  m_SeamLines.insert(m_SeamLines.begin() + index, std::vector<CPoint>());
}

void CPieceBoundary::RemoveSize(int32_t index) {
  CDesignElement::RemoveSize(index);
  if (index < 0 || index >= static_cast<int32_t>(m_Outlines.size())) return;
  m_Outlines.erase(m_Outlines.begin() + index);
  m_SeamLines.erase(m_SeamLines.begin() + index);
}

BOOL CPieceBoundary::Load(ArchiveReader& archive) {
  if (!GetPatternData()) return FALSE;
  std::vector<CBoundaryEntry> entries;
  std::vector<CSeamEntry> seams;
  if (!ReadEntries(archive, entries) || !ReadSeamEntries(archive, seams)) return FALSE;
  m_Entries = std::move(entries);
  m_SeamEntries = std::move(seams);
  return TRUE;
}

BOOL CPieceBoundary::ReadEntries(ArchiveReader& archive, std::vector<CBoundaryEntry>& entries) {
  const CPatternData& data = *GetPatternData();
  int32_t count = 0;
  if (!archive.ReadI32(count) || !archive.CheckCount(count, kEntryBytes)) return FALSE;
  if (count <= 0) return TRUE;
  entries.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    int32_t line = -1;
    int32_t start = -1;
    int32_t end = -1;
    if (!archive.ReadI32(line) || !archive.ReadI32(start) || !archive.ReadI32(end)) return FALSE;
    CBoundaryEntry entry;
    entry.owner = this;
    entry.line = ResolveLineOrCurve(data, line);
    entry.startPoint = ResolveObject<CGradedPoint>(data, start);
    entry.endPoint = ResolveObject<CGradedPoint>(data, end);
    entries.push_back(entry);
  }
  return TRUE;
}

BOOL CPieceBoundary::ReadSeamEntries(ArchiveReader& archive, std::vector<CSeamEntry>& seams) {
  const int32_t version = GetPatternData()->GetVersion();
  int32_t count = 0;
  if (!archive.ReadI32(count) || !archive.CheckCount(count, LeastSeamEntryBytes(version))) return FALSE;
  if (count <= 0) return TRUE;
  seams.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    CSeamEntry seam;
    if (!ReadSeamEntry(archive, version, seam)) return FALSE;
    seams.push_back(seam);
  }
  if (version < kFirstVersionWithBothWidths) TakeIncomingWidthsFromEntryBefore(seams);
  HoldCutOffCornersAtParam(seams);
  return TRUE;
}

BOOL CPieceBoundary::ReadSeamEntry(ArchiveReader& archive, int32_t version, CSeamEntry& seam) {
  int32_t point = -1;
  if (!archive.ReadI32(point)) return FALSE;
  if (version >= kFirstVersionWithBothWidths && !archive.ReadI32(seam.widthIn)) return FALSE;
  if (!archive.ReadI32(seam.widthOut) || !archive.ReadI32(seam.cornerKind)) return FALSE;
  if (StoresCornerParam(version, seam.cornerKind) && !archive.ReadI32(seam.cornerParam)) return FALSE;
  seam.owner = this;
  seam.point = ResolveObject<CGradedPoint>(*GetPatternData(), point);
  return TRUE;
}

// ---- Sections of the outline entries ------------------------------------------

namespace {

// The point of a ring that (x, y) lies on within 5 units, made a vertex of
// `ring` when it is none (as the ring sections place their ends); end()
// when it is off the ring.
PointList::iterator PlaceOnRing(PointList& ring, CPoint q) {
  for (auto it = ring.begin(); it != ring.end(); ++it) {
    if (*it == q) return it;
  }
  CPoint nearest;
  double distance = 0;
  PointPos prev, at, next;
  if (!HitTestClosedPolyline(ring, 5.0, q.x, q.y, &nearest, &distance, &prev, &at, &next)) return ring.end();
  if (at != ring.cend()) return ring.erase(at, at);  // the vertex itself, as a mutable position
  if (*prev == q) return ring.erase(prev, prev);
  if (*next == q) return ring.erase(next, next);
  // Between two neighbours, or on the closing segment (taken at the tail).
  return std::next(prev) == next ? ring.insert(next, q) : ring.insert(ring.end(), q);
}

// The whole ring from p round to p again, the closing point repeated; 0 when
// p is off the ring.
BOOL WholeRingFrom(const PointList& ring, CPoint p, PointList& out) {
  PointList work = ring;
  const PointList::iterator at = PlaceOnRing(work, p);
  if (at == work.end()) return FALSE;
  out.assign(at, work.end());
  out.insert(out.end(), work.begin(), at);
  out.push_back(*at);
  return TRUE;
}

// The point an open curve begins and ends at, when its first and last
// defining point are one object; null otherwise.
CGradedPoint* PointOpenCurveClosesOn(const CGradedCurve& curve) {
  CGradedPoint* first = nullptr;
  CGradedPoint* last = nullptr;
  curve.GetFirstLastRefs(first, last);
  return first == last ? first : nullptr;
}

}  // namespace

BOOL GetCurveSection(CGradedCurve& curve, const CGradedPoint* start, const CGradedPoint* end, CPoint p1, CPoint p2,
                     int32_t size, WholeCurveEnds wholeEnds, PointList& out) {
  out.clear();
  PointList whole;
  if (size < 0 || size >= curve.GetSizeListCount()) return FALSE;
  curve.GetFullPoints(size, whole);
  if (curve.IsClosed()) {
    const BOOL found = start == end ? WholeRingFrom(whole, p1, out)
                                    : GetRingSectionForward(whole, p1.x, p1.y, p2.x, p2.y, &out);
    if (!found) out.clear();
    return found;
  }
  const CGradedPoint* closesOn = PointOpenCurveClosesOn(curve);
  bool pin = true;
  if (closesOn && start == closesOn && end == closesOn) {
    out = whole;
    pin = wholeEnds == WholeCurveEnds::kPin;
  } else if (closesOn && start == closesOn) {
    if (!GetPolylineStart(whole, p2.x, p2.y, &out)) out.clear();
  } else if (closesOn && end == closesOn) {
    if (!GetPolylineEnd(whole, p1.x, p1.y, &out)) out.clear();
  } else if (!GetPolylineSection(whole, p1.x, p1.y, p2.x, p2.y, &out)) {
    out.clear();
  }
  if (!pin) return TRUE;
  if (out.empty()) {
    out = {p1, p2};
  } else {
    out.front() = p1;
    out.back() = p2;
  }
  return TRUE;
}

BOOL CBoundaryEntry::GetSection(int32_t size, PointList& out) const {
  out.clear();
  if (!line || !startPoint || !endPoint || !line->GetOwner()) return FALSE;
  if (size < 0 || size >= line->GetOwner()->GetSizeCount()) return FALSE;
  CPoint p1, p2;
  if (!startPoint->GetPoint(size, &p1) || !endPoint->GetPoint(size, &p2)) return FALSE;
  if (line->GetKind() == kObjectKindLine) {
    out = {p1, p2};
    return TRUE;
  }
  auto* curve = line->GetKind() == kObjectKindCurve ? dynamic_cast<CGradedCurve*>(line) : nullptr;
  if (!curve) return FALSE;
  GetCurveSection(*curve, startPoint, endPoint, p1, p2, size, WholeCurveEnds::kPin, out);
  return out.empty() ? FALSE : TRUE;
}

// ---- The outline of a size ------------------------------------------------------

namespace {

void AppendForwards(PointList& ring, PointList& section) { ring.splice(ring.end(), section); }
void AppendBackwards(PointList& ring, PointList& section) {
  section.reverse();
  ring.splice(ring.end(), section);
}
// The ring then begins with the section in its own order.
void PrependInOrder(PointList& ring, PointList& section) { ring.splice(ring.begin(), section); }
void PrependReversed(PointList& ring, PointList& section) {
  section.reverse();
  ring.splice(ring.begin(), section);
}

bool NearerToFirst(CPoint to, CPoint first, CPoint second) {
  return PointDistance(to.x, to.y, first.x, first.y) <= PointDistance(to.x, to.y, second.x, second.y);
}

// Chains the stretches of the outline entries into a ring. The first entry
// that gives a stretch starts it. The entry after it is joined by its point
// objects to the end of the first (at the tail), or else the ring grows at
// its head from then on; this entry decides the growing end even when it
// gives no stretch itself, so that an entry that lost its line still holds
// its place in the chain. Every later stretch is joined by coordinates at
// the growing end: the end of the stretch that lies there, else the nearer
// one.
class OutlineChain {
 public:
  void Add(const CBoundaryEntry& entry, PointList section) {
    switch (m_Stage) {
      case Stage::kFirst:
        if (section.empty()) return;
        m_Ring = std::move(section);
        m_FirstStart = entry.startPoint;
        m_FirstEnd = entry.endPoint;
        m_Stage = Stage::kSecond;
        return;
      case Stage::kSecond:
        m_Stage = Stage::kLater;
        if (m_FirstEnd == entry.startPoint) {
          AppendForwards(m_Ring, section);
        } else if (m_FirstEnd == entry.endPoint) {
          AppendBackwards(m_Ring, section);
        } else {
          m_AtHead = true;
          if (m_FirstStart != entry.startPoint) {
            PrependInOrder(m_Ring, section);
          } else {
            PrependReversed(m_Ring, section);
          }
        }
        return;
      case Stage::kLater:
        if (section.empty()) return;
        if (m_AtHead) {
          AddAtHead(section);
        } else {
          AddAtTail(section);
        }
        return;
    }
  }

  PointList& Ring() { return m_Ring; }

 private:
  enum class Stage { kFirst, kSecond, kLater };

  void AddAtTail(PointList& section) {
    const CPoint tail = m_Ring.back();
    if (section.front() == tail) {
      AppendForwards(m_Ring, section);
    } else if (section.back() == tail) {
      AppendBackwards(m_Ring, section);
    } else if (NearerToFirst(tail, section.front(), section.back())) {
      AppendForwards(m_Ring, section);
    } else {
      AppendBackwards(m_Ring, section);
    }
  }

  void AddAtHead(PointList& section) {
    const CPoint head = m_Ring.front();
    if (section.front() == head) {
      PrependReversed(m_Ring, section);
    } else if (section.back() == head) {
      PrependInOrder(m_Ring, section);
    } else if (NearerToFirst(head, section.front(), section.back())) {
      PrependReversed(m_Ring, section);
    } else {
      PrependInOrder(m_Ring, section);
    }
  }

  PointList m_Ring;
  Stage m_Stage = Stage::kFirst;
  bool m_AtHead = false;
  const CGradedPoint* m_FirstStart = nullptr;
  const CGradedPoint* m_FirstEnd = nullptr;
};

}  // namespace

void CPieceBoundary::SetEntries(std::vector<CBoundaryEntry> entries) {
  for (CBoundaryEntry& entry : entries) entry.owner = this;
  m_Entries = std::move(entries);
  Recalc(-1);
}

BOOL CPieceBoundary::Calculate(int32_t size) {
  if (size < 0 || size >= GetSizeListCount()) return CDesignElement::Calculate(size);
  OutlineChain chain;
  for (const CBoundaryEntry& entry : m_Entries) {
    PointList section;
    entry.GetSection(size, section);
    chain.Add(entry, std::move(section));
  }
  PointList& ring = chain.Ring();
  RemoveDuplicatePoints(ring);
  m_Reversed = 0;
  if (!ring.empty() && GetRingOrientation(ring)) {
    PointList turned;
    ReverseRing(ring, &turned);
    ring = std::move(turned);
    m_Reversed = 1;
  }
  m_Outlines[static_cast<size_t>(size)].assign(ring.begin(), ring.end());
  BuildSeamAllowance(size);
  return CDesignElement::Calculate(size);
}

void CPieceBoundary::BuildSeamAllowance(int32_t size) {
  if (size < 0 || size >= static_cast<int32_t>(m_SeamLines.size())) return;
  const CPatternData* data = GetPatternData();
  const auto& stored = m_Outlines[static_cast<size_t>(size)];
  const PointList outline(stored.begin(), stored.end());
  PointList seam;
  // Nothing to build (no seam entries, or too short an outline) leaves the
  // size's seam line as it was.
  if (::BuildSeamAllowance(outline, m_SeamEntries, size, data ? data->GetScale() : 0.0, seam)) {
    m_SeamLines[static_cast<size_t>(size)].assign(seam.begin(), seam.end());
  }
}

// ---- Hit tests --------------------------------------------------------------------

BOOL CPieceBoundary::HitTest(int32_t x, int32_t y, double tolerance, CGradedObject** element, CPoint* point,
                             double* distance) {
  const CPatternData* data = GetPatternData();
  if (!data) return FALSE;
  const int32_t base = data->GetBaseSize();
  CGradedPoint* best = nullptr;
  CPoint bestPoint;
  double bestDistance = 0;
  for (const CBoundaryEntry& entry : m_Entries) {
    for (CGradedPoint* candidate : {entry.startPoint, entry.endPoint}) {
      CPoint at;
      double d = 0;
      if (!candidate || !candidate->HitTest(x, y, tolerance, base, &at, &d)) continue;
      if (best && !(d < bestDistance)) continue;
      best = candidate;
      bestPoint = at;
      bestDistance = d;
    }
  }
  if (!best) return FALSE;
  if (element) *element = best;
  if (point) *point = bestPoint;
  if (distance) *distance = bestDistance;
  return TRUE;
}

BOOL CPieceBoundary::HitTest(int32_t x, int32_t y, double tolerance, CPoint* point, double* distance) {
  return HitTest(x, y, tolerance, static_cast<CGradedObject**>(nullptr), point, distance);
}

BOOL CPieceBoundary::HitTestEdge(int32_t x, int32_t y, double tolerance, CGradedObject** first,
                                 CGradedObject** second, CPoint* foot, double* distance) {
  const CPatternData* data = GetPatternData();
  if (!data) return FALSE;
  const int32_t base = data->GetBaseSize();
  // The free end of the chain, followed by point objects from the first
  // entry that gives a stretch, as the outline chains them.
  const CBoundaryEntry* winner = nullptr;
  CPoint bestFoot;
  double bestDistance = 0;
  const CGradedPoint* tracked = nullptr;
  bool trackedIsWinnerEnd = false;
  bool chainStarted = false;
  for (const CBoundaryEntry& entry : m_Entries) {
    PointList section;
    entry.GetSection(base, section);
    if (!chainStarted) {
      if (section.empty()) continue;
      tracked = entry.endPoint;
      chainStarted = true;
    } else {
      tracked = tracked == entry.startPoint ? entry.endPoint : entry.startPoint;
    }
    if (section.empty()) continue;
    CPoint nearest;
    double d = 0;
    PointPos prev, at, next;
    if (!HitTestPolyline(section, tolerance, x, y, &nearest, &d, &prev, &at, &next)) continue;
    if (winner && !(d < bestDistance)) continue;
    winner = &entry;
    bestFoot = nearest;
    bestDistance = d;
    trackedIsWinnerEnd = tracked == entry.endPoint;
  }
  if (!winner) return FALSE;
  // Turned round when the outline was stored turned round.
  const bool forwards = trackedIsWinnerEnd != (m_Reversed != 0);
  if (first) *first = forwards ? winner->startPoint : winner->endPoint;
  if (second) *second = forwards ? winner->endPoint : winner->startPoint;
  if (foot) *foot = bestFoot;
  if (distance) *distance = bestDistance;
  return TRUE;
}

// ---- The piece outline item ---------------------------------------------------------

namespace {

// Vertex flags of the outline item. A vertex still unmarked after every
// entry is a plain point (one a construction element cut in, or a point the
// entries leave unnamed); curve samples are thinned away.
constexpr uint32_t kCornerFlag = 0;
constexpr uint32_t kCurveControlFlag = kControlVertexFlag;
constexpr uint32_t kPlainPointFlag = 2;
constexpr uint32_t kCurveSampleFlag = 100;
constexpr uint32_t kSeamVertexFlag = 0x80;
constexpr uint32_t kUnmarkedFlag = 0xFFFFFFFFu;

// The corner kinds that carry a parameter in a second seam vertex.
constexpr int32_t kFirstCornerWithParam = 10;
constexpr int32_t kLastCornerWithParam = 15;

bool IsCurveVertex(uint32_t flag) {
  return flag == kCurveControlFlag || flag == kControlVertexFlag2 || flag == kCurveSampleFlag;
}
bool IsAnchorVertex(uint32_t flag) { return flag == kCornerFlag || flag == kPlainPointFlag; }

constexpr size_t kNoVertex = static_cast<size_t>(-1);

// The first vertex at p that is not a seam vertex; kNoVertex when there is
// none.
size_t FindVertex(const std::vector<CVertex>& vertices, CPoint p) {
  for (size_t i = 0; i < vertices.size(); ++i) {
    if (vertices[i].flag != kSeamVertexFlag && vertices[i].x == p.x && vertices[i].y == p.y) return i;
  }
  return kNoVertex;
}

void SetFlagAt(std::vector<CVertex>& vertices, CPoint p, uint32_t flag) {
  const size_t i = FindVertex(vertices, p);
  if (i != kNoVertex) vertices[i].flag = flag;
}

bool PositionAt(CGradedPoint* point, int32_t size, CPoint* at) { return point && point->GetPoint(size, at); }

bool IsPolylineKind(int32_t subtype) {
  return subtype == kCurveKindPolyline || subtype == kCurveKindClosedPolyline;
}

// Flags the vertices that one entry names: a two-point line its two ends as
// corners; a curve its defining points as controls (plain points on a
// polyline), the entry's ends as corners (on a closed curve only when they
// are two points) and its other points as samples.
void MarkEntry(const CBoundaryEntry& entry, int32_t size, std::vector<CVertex>& vertices) {
  PointList section;
  if (!entry.GetSection(size, section)) return;
  CPoint p1, p2;
  PositionAt(entry.startPoint, size, &p1);
  PositionAt(entry.endPoint, size, &p2);
  if (entry.line->GetKind() == kObjectKindLine) {
    SetFlagAt(vertices, p1, kCornerFlag);
    SetFlagAt(vertices, p2, kCornerFlag);
    return;
  }
  auto* curve = static_cast<CGradedCurve*>(entry.line);
  const uint32_t controlFlag = IsPolylineKind(curve->GetSubtype()) ? kPlainPointFlag : kCurveControlFlag;
  CGradedObjectList refs;
  curve->GetDefiningRefs(refs);
  for (CGradedObject* ref : refs) {
    CPoint at;
    if (!PositionAt(dynamic_cast<CGradedPoint*>(ref), size, &at)) continue;
    const size_t i = FindVertex(vertices, at);
    if (i != kNoVertex && (vertices[i].flag == kUnmarkedFlag || vertices[i].flag == kCurveSampleFlag)) {
      vertices[i].flag = controlFlag;
    }
  }
  if (!curve->IsClosed() || entry.startPoint != entry.endPoint) {
    SetFlagAt(vertices, p1, kCornerFlag);
    SetFlagAt(vertices, p2, kCornerFlag);
  }
  for (const CPoint& p : section) {
    const size_t i = FindVertex(vertices, p);
    if (i != kNoVertex && vertices[i].flag == kUnmarkedFlag) vertices[i].flag = kCurveSampleFlag;
  }
}

// Thins every run of curve vertices between two anchors (corners and plain
// points) to its spline controls; the anchors keep their places and flags.
// The ring then starts at the anchor before the first curve vertex. A ring
// of curve vertices only is thinned as one closed curve.
void ThinCurveRuns(std::vector<CVertex>& vertices, double tolerance) {
  const auto curveAt = std::find_if(vertices.begin(), vertices.end(),
                                    [](const CVertex& v) { return IsCurveVertex(v.flag); });
  if (curveAt == vertices.end()) return;
  const size_t n = vertices.size();
  if (std::none_of(vertices.begin(), vertices.end(), [](const CVertex& v) { return IsAnchorVertex(v.flag); })) {
    VertexList fitted;
    FitCurveVertices2(VertexList(vertices.begin(), vertices.end()), tolerance, &fitted);
    vertices.assign(fitted.begin(), fitted.end());
    return;
  }
  size_t start = static_cast<size_t>(curveAt - vertices.begin());
  while (!IsAnchorVertex(vertices[start].flag)) start = (start + n - 1) % n;

  std::vector<CVertex> out;
  VertexList run;
  const auto closeRun = [&](const CVertex& to) {
    if (run.size() <= 1) {
      run.clear();
      return;
    }
    run.push_back(to);
    VertexList fitted;
    FitCurveVertices(run, tolerance, &fitted);
    if (fitted.size() >= 2) out.insert(out.end(), std::next(fitted.begin()), std::prev(fitted.end()));
    run.clear();
  };
  for (size_t k = 0; k < n; ++k) {
    const CVertex& v = vertices[(start + k) % n];
    if (IsAnchorVertex(v.flag)) {
      closeRun(v);
      out.push_back(v);
      run.push_back(v);  // the anchor that bounds the next run
    } else {
      run.push_back(v);
    }
  }
  closeRun(vertices[start]);
  vertices = std::move(out);
}

// The seam vertices of one seam entry.
void AddSeamVertices(const CSeamEntry& seam, int32_t size, std::vector<CVertex>& vertices) {
  CPoint at;
  if (!PositionAt(seam.point, size, &at)) return;
  const size_t i = FindVertex(vertices, at);
  if (i == kNoVertex) return;
  const auto half = [](int32_t width) {
    return static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(std::clamp(width, -32768, 32767))));
  };
  std::vector<CVertex> added;
  added.push_back(CVertex{static_cast<int32_t>((half(seam.widthIn) << 16) | half(seam.widthOut)), seam.cornerKind,
                          kSeamVertexFlag});
  if (seam.cornerKind >= kFirstCornerWithParam && seam.cornerKind <= kLastCornerWithParam) {
    added.push_back(CVertex{seam.cornerParam, 0, kSeamVertexFlag});
  }
  vertices.insert(vertices.begin() + static_cast<std::ptrdiff_t>(i) + 1, added.begin(), added.end());
}

}  // namespace

BOOL CPieceBoundary::ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) {
  if (!vertices) return FALSE;
  vertices->clear();
  const CPatternRecord* owner = GetOwner();
  const CPatternData* data = GetPatternData();
  if (!owner || !data) return FALSE;
  const int32_t base = data->GetBaseSize();
  PointList outline;
  if (!owner->GetCutOutline(base, outline) || outline.empty()) return FALSE;
  if (GetRingOrientation(outline)) {
    PointList turned;
    ReverseRing(outline, &turned);
    outline = std::move(turned);
  }
  std::vector<CVertex> out;
  out.reserve(outline.size());
  for (const CPoint& p : outline) out.push_back(CVertex{p.x, p.y, kUnmarkedFlag});
  for (const CBoundaryEntry& entry : m_Entries) MarkEntry(entry, base, out);
  for (CVertex& v : out) {
    if (v.flag == kUnmarkedFlag) v.flag = kPlainPointFlag;
  }
  ThinCurveRuns(out, exportFactor);
  for (const CSeamEntry& seam : m_SeamEntries) AddSeamVertices(seam, base, out);
  *vertices = std::move(out);
  if (itemType) *itemType = 0;
  return TRUE;
}

void RegisterBoundaryElements() {
  GetElementFactory().Register(ElementCode{kElementTypeBoundary, 0},
                               [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
                                 return std::make_unique<CPieceBoundary>(owner);
                               });
}
