#include "design/elements/two_point_elements.h"

#include <cmath>
#include <memory>
#include <optional>
#include <utility>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/geometry/point_line.h"
#include "design/geometry/text_extent.h"
#include "design/points/graded_point.h"
#include "model/shell_services.h"
#include "platform/dc.h"
#include "platform/recording_dc.h"

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

// The escapement is in tenths of a degree; half a turn is 1800 of them.
constexpr double kEscapementPerHalfTurn = 1800.0;
// The value of pi the stored designs were laid out with.
constexpr double kPi = 3.14159265359;

int32_t SizeCountOf(const CPatternRecord* owner) {
  const CPatternData* data = owner ? owner->GetPatternData() : nullptr;
  return data ? data->GetSizeCount() : 0;
}

// The extent of the text in the font: measured on the work window's device
// context when a window is installed, else on one with fixed metrics. The
// device context's state is left as it was found.
CSize MeasureText(const CString& text, const LOGFONT& logfont) {
  IWorkWindow* window = g_pWorkWindow;
  CDC* screen = window ? window->GetDC() : nullptr;
  std::optional<RecordingDC> headless;
  if (!screen) headless.emplace();
  CDC& dc = screen ? *screen : *headless;
  CFont font;
  font.CreateFontIndirect(&logfont);
  const int saved = dc.SaveDC();
  dc.SelectObject(&font);
  const CSize extent = GetMultilineTextExtentByValue(dc, text, nullptr);
  dc.RestoreDC(saved);
  if (screen) window->ReleaseDC(screen);
  return extent;
}

// The corner at offset (dx, dy) from the position, turned about the position.
// The offset is turned about the origin and then added, so that a corner far
// out wraps like every other coordinate instead of overflowing.
CPoint TurnedCorner(CPoint position, int32_t dx, int32_t dy, double sinA, double cosA) {
  CPoint offset(dx, dy);
  RotatePointInPlace(&offset, 0, 0, sinA, cosA);
  return CPoint(WrapAdd(position.x, offset.x), WrapAdd(position.y, offset.y));
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
  const CSize extent = MeasureText(m_Text, m_Font);
  // The escapement turns the text counter-clockwise as seen with y growing
  // downwards, as model coordinates are drawn; the rotation turns the other
  // way there, hence the minus.
  const double angle = -m_Font.lfEscapement / kEscapementPerHalfTurn * kPi;
  const double sinA = std::sin(angle);
  const double cosA = std::cos(angle);
  m_CornerA = TurnedCorner(m_Position, extent.cx, 0, sinA, cosA);
  m_CornerB = TurnedCorner(m_Position, 0, extent.cy, sinA, cosA);
  m_CornerC = TurnedCorner(m_Position, extent.cx, extent.cy, sinA, cosA);
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
