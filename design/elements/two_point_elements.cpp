#include "design/elements/two_point_elements.h"

#include <memory>
#include <utility>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/core/text_box.h"
#include "design/points/graded_point.h"

namespace {

// From this data version on a two-point element stores one pair of end
// points per size, and from the next one also its two construction points.
constexpr int32_t kFirstVersionWithSizePairs = 121;
constexpr int32_t kFirstVersionWithPointRefs = 122;
// A stored pair of end points: two points of two int32.
constexpr size_t kSizePairBytes = 4 * sizeof(int32_t);

// The end of the pair a size gets when the container has no size to copy
// from: a vertical stroke of 1000 units from the origin.
constexpr int32_t kNoSizeEndY = 1000;

int32_t SizeCountOf(const CPatternRecord* owner) {
  const CPatternData* data = owner ? owner->GetPatternData() : nullptr;
  return data ? data->GetSizeCount() : 0;
}

bool ReadPoint(ArchiveReader& archive, CPoint& point) { return archive.ReadI32(point.x) && archive.ReadI32(point.y); }

}  // namespace

// ---- Two-point element ---------------------------------------------------------

CTwoPointElement::CTwoPointElement(CPatternRecord* owner) : CTwoPointElement(owner, CPoint(), CPoint()) {}

CTwoPointElement::CTwoPointElement(CPatternRecord* owner, CPoint a, CPoint b)
    : CTwoPointElement(owner, a, b, nullptr, nullptr) {}

CTwoPointElement::CTwoPointElement(CPatternRecord* owner, CPoint a, CPoint b, CGradedPoint* refA, CGradedPoint* refB)
    : CDesignElement(owner, kElementTypeTwoPoint),
      m_A(a),
      m_B(b),
      m_StartPoints(static_cast<size_t>(SizeCountOf(owner))),
      m_EndPoints(static_cast<size_t>(SizeCountOf(owner))) {
  SetRefPair(refA, refB);
}

void CTwoPointElement::SetRefPair(CGradedPoint* refA, CGradedPoint* refB) {
  const bool pair = refA && refB;
  m_RefA = pair ? refA : nullptr;
  m_RefB = pair ? refB : nullptr;
}

BOOL CTwoPointElement::GetSizePoints(int32_t size, CPoint* start, CPoint* end) const {
  if (size < 0 || size >= GetSizePointCount()) return FALSE;
  if (start) *start = m_StartPoints[static_cast<size_t>(size)];
  if (end) *end = m_EndPoints[static_cast<size_t>(size)];
  return TRUE;
}

BOOL CTwoPointElement::GetReferences(CGradedObjectList& references) const {
  references.clear();
  if (m_RefA && m_RefB) {
    references.push_back(m_RefA);
    references.push_back(m_RefB);
  }
  return TRUE;
}

BOOL CTwoPointElement::RefersTo(const CGradedObject* object) const {
  if (!object || !m_RefA || !m_RefB) return FALSE;
  return object == m_RefA || object == m_RefB ? TRUE : FALSE;
}

void CTwoPointElement::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  CGradedObjectList references;
  GetReferences(references);
  used.insert(used.end(), references.begin(), references.end());
}

void CTwoPointElement::InsertSize(int32_t index) {
  if (index < 0 || index > GetSizePointCount()) return;
  const CPatternData* data = GetPatternData();
  const int32_t base = data ? data->GetBaseSize() : -1;
  CPoint start(0, 0), end(0, kNoSizeEndY);
  if (data && data->GetSizeCount() > 0 && base >= 0) {
    if (!GetSizePoints(base, &start, &end)) {
      start = m_A;
      end = m_B;
    }
  }
  m_StartPoints.insert(m_StartPoints.begin() + index, start);
  m_EndPoints.insert(m_EndPoints.begin() + index, end);
  CDesignElement::InsertSize(index);
}

void CTwoPointElement::RemoveSize(int32_t index) {
  if (index >= 0 && index < GetSizePointCount()) {
    m_StartPoints.erase(m_StartPoints.begin() + index);
    m_EndPoints.erase(m_EndPoints.begin() + index);
  }
  CDesignElement::RemoveSize(index);
}

BOOL CTwoPointElement::Load(ArchiveReader& archive) {
  const CPatternData* data = GetPatternData();
  if (!data) return FALSE;
  const int32_t version = data->GetVersion();
  CPoint a, b;
  if (!ReadPoint(archive, a) || !ReadPoint(archive, b)) return FALSE;
  CGradedPoint* refA = nullptr;
  CGradedPoint* refB = nullptr;
  if (version >= kFirstVersionWithPointRefs) {
    int32_t indexA = -1, indexB = -1;
    if (!archive.ReadI32(indexA) || !archive.ReadI32(indexB)) return FALSE;
    refA = ResolveObject<CGradedPoint>(*data, indexA);
    refB = ResolveObject<CGradedPoint>(*data, indexB);
  }
  m_A = a;
  m_B = b;
  SetRefPair(refA, refB);

  const int32_t sizes = GetSizePointCount();
  if (version < kFirstVersionWithSizePairs) {
    for (int32_t i = 0; i < sizes; ++i) {
      m_StartPoints[static_cast<size_t>(i)] = a;
      m_EndPoints[static_cast<size_t>(i)] = b;
    }
    return TRUE;
  }
  if (!archive.CheckCount(sizes, kSizePairBytes)) return FALSE;
  for (int32_t i = 0; i < sizes; ++i) {
    if (!ReadPoint(archive, m_StartPoints[static_cast<size_t>(i)]) ||
        !ReadPoint(archive, m_EndPoints[static_cast<size_t>(i)])) {
      return FALSE;
    }
  }
  return TRUE;
}

// ---- Label -------------------------------------------------------------------

CLabelElement::CLabelElement(CPatternRecord* owner) : CDesignElement(owner, kElementTypeLabel) {}

CLabelElement::CLabelElement(CPatternRecord* owner, int32_t x, int32_t y, const CString& text, const LOGFONT& font)
    : CDesignElement(owner, kElementTypeLabel) {
  SetText(x, y, text, font);
}

void CLabelElement::SetText(int32_t x, int32_t y, const CString& text, const LOGFONT& font) {
  m_Position = CPoint(x, y);
  m_Text = text;
  m_Font = font;
  CalcTextBox();
}

void CLabelElement::GetText(CPoint& position, CString& text, LOGFONT& font) const {
  position = m_Position;
  text = m_Text;
  font = m_Font;
}

void CLabelElement::CalcTextBox() {
  const TextBoxCorners box = TurnTextBox(m_Position, MeasureTextInFont(m_Text, m_Font), m_Font.lfEscapement);
  m_CornerA = box.a;
  m_CornerB = box.b;
  m_CornerC = box.c;
}

BOOL CLabelElement::Load(ArchiveReader& archive) {
  CPoint position;
  CString text;
  LOGFONT font;
  if (!ReadPoint(archive, position) || !archive.ReadString(text) || !archive.ReadFont(font)) return FALSE;
  SetText(position.x, position.y, text, font);
  return TRUE;
}

// ---- Registration --------------------------------------------------------------

void RegisterTwoPointElements() {
  ElementFactory& factory = GetElementFactory();
  factory.Register(ElementCode{kElementTypeTwoPoint, 0}, [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
    return std::make_unique<CTwoPointElement>(owner);
  });
  factory.Register(ElementCode{kElementTypeLabel, 0}, [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
    return std::make_unique<CLabelElement>(owner);
  });
}
