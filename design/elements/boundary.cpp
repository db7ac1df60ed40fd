#include "design/elements/boundary.h"

#include <memory>
#include <utility>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
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

CRect SizeListRect(const std::vector<std::vector<CPoint>>& lists, int32_t size) {
  CRect rect;
  if (size < 0 || size >= static_cast<int32_t>(lists.size())) return rect;
  const std::vector<CPoint>& list = lists[static_cast<size_t>(size)];
  GetPointListRect(&rect, PointList(list.begin(), list.end()));
  return rect;
}

}  // namespace

BOOL CPieceBoundary::GetOutline(int32_t size, PointList& out) { return CopySizeList(m_Outlines, size, out); }

BOOL CPieceBoundary::GetSeamLine(int32_t size, PointList& out) { return CopySizeList(m_SeamLines, size, out); }

BOOL CPieceBoundary::PtInside(int32_t x, int32_t y, int32_t size) {
  PointList outline;
  GetOutline(size, outline);
  return IsPointInPointList(x, y, outline) ? TRUE : FALSE;
}

CRect CPieceBoundary::GetBoundRect(int32_t size) const {
  CRect rect;
  rect.UnionRect(SizeListRect(m_Outlines, size), SizeListRect(m_SeamLines, size));
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

void RegisterBoundaryElements() {
  GetElementFactory().Register(ElementCode{kElementTypeBoundary, 0},
                               [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
                                 return std::make_unique<CPieceBoundary>(owner);
                               });
}
