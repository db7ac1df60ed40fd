#include "design/core/pattern_record.h"

#include <cfloat>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "design/construct/construct_element.h"
#include "design/construct/type64_elements.h"
#include "design/core/graded_object.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/size_table.h"
#include "design/curves/graded_curve.h"
#include "design/elements/boundary.h"
#include "design/elements/reference_elements.h"
#include "design/elements/two_point_elements.h"
#include "design/geometry/point_line.h"
#include "design/geometry/primitives.h"
#include "design/points/graded_point.h"
#include "platform/numbers.h"

namespace {

// The data versions at which a piece's record grows. Each name says what a
// record of that version or later has.
constexpr int32_t kFirstVersionWithLeadingWord = 150;    // a word, and a pair before each element
constexpr int32_t kFirstVersionWithWordPair = 152;       // two more words
constexpr int32_t kFirstVersionWithDoubles = 153;        // two doubles and a word
constexpr int32_t kFirstVersionWithWord159 = 159;        // one more word
constexpr int32_t kFirstVersionWithWord161 = 161;        // one more word
constexpr int32_t kFirstVersionWithQuantityText = 162;   // the quantity is text

// The element types whose code is followed by a subtype.
bool HasSubtype(int32_t type) {
  return type == kElementTypeConstruct || type == kElementTypeShape || type == kElementTypeSymbol;
}

// `rect` moved by (dx, dy), each edge kept inside the int range: element
// boxes and offsets come from file data.
CRect MovedBy(const CRect& rect, int64_t dx, int64_t dy) {
  return CRect(SaturateToInt32(rect.left + dx), SaturateToInt32(rect.top + dy), SaturateToInt32(rect.right + dx),
               SaturateToInt32(rect.bottom + dy));
}

// The elements that stay where they are when the piece is aligned on its
// reference point.
bool StaysInPlace(int32_t type) { return type == kElementTypeTwoPoint || type == kElementTypeLabel; }

}  // namespace

CPatternRecord::CPatternRecord(CPatternData* owner) : m_Owner(owner) {}

// Head first, one at a time: an element being destroyed finds the ones after
// it still in place and the ones before it gone.
CPatternRecord::~CPatternRecord() {
  while (!m_Elements.empty()) {
    std::unique_ptr<CDesignElement> head = std::move(m_Elements.front());
    m_Elements.pop_front();
    head.reset();
  }
}

void CPatternRecord::SetDouble2(double angle) {
  m_Double2 = angle;
  Invalidate(-1);
}

BOOL CPatternRecord::UsesRefPoint(const CGradedObject* object) const {
  return object != nullptr && object == m_RefPoint;
}

CSize CPatternRecord::GetRefOffset(int32_t size) const {
  auto* point = dynamic_cast<CGradedPoint*>(m_RefPoint);
  if (!point || !m_Owner) return CSize(0, 0);
  const int32_t base = m_Owner->GetBaseSize();
  if (size == base) return CSize(0, 0);
  CPoint at, atBase;
  point->GetPoint(size, &at);
  point->GetPoint(base, &atBase);
  return CSize(SaturateToInt32(static_cast<int64_t>(at.x) - atBase.x),
               SaturateToInt32(static_cast<int64_t>(at.y) - atBase.y));
}

CPatternRecord::POSITION CPatternRecord::GetFirstElementPosition() const {
  if (m_Elements.empty()) return POSITION();
  return POSITION(m_Elements.cbegin());
}

CDesignElement* CPatternRecord::GetNextElement(POSITION& position) const {
  if (!position) return nullptr;
  CDesignElement* element = position.m_At->get();
  auto next = std::next(position.m_At);
  position = next == m_Elements.cend() ? POSITION() : POSITION(next);
  return element;
}

CDesignElement* CPatternRecord::GetPrevElement(POSITION& position) const {
  if (!position) return nullptr;
  CDesignElement* element = position.m_At->get();
  position = position.m_At == m_Elements.cbegin() ? POSITION() : POSITION(std::prev(position.m_At));
  return element;
}

CDesignElement* CPatternRecord::AddElement(std::unique_ptr<CDesignElement> element) {
  if (!element) return nullptr;
  m_Elements.push_back(std::move(element));
  return m_Elements.back().get();
}

CDesignElement* CPatternRecord::AddElementAtHead(std::unique_ptr<CDesignElement> element) {
  if (!element) return nullptr;
  m_Elements.push_front(std::move(element));
  return m_Elements.front().get();
}

std::unique_ptr<CDesignElement> CPatternRecord::RemoveElement(const CDesignElement* element) {
  for (auto it = m_Elements.begin(); it != m_Elements.end(); ++it) {
    if (it->get() == element && element != nullptr) {
      std::unique_ptr<CDesignElement> removed = std::move(*it);
      m_Elements.erase(it);
      return removed;
    }
  }
  return nullptr;
}

BOOL CPatternRecord::HasElement(const CDesignElement* element) const {
  if (!element) return FALSE;
  for (const auto& held : m_Elements) {
    if (held.get() == element) return TRUE;
  }
  return FALSE;
}

BOOL CPatternRecord::FindElementOfType(int32_t type, CDesignElement** found) const {
  for (const auto& element : m_Elements) {
    if (element->GetType() == type) {
      if (found) *found = element.get();
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CPatternRecord::FindNextElementOfType(int32_t type, CDesignElement** found) const {
  if (!found || !*found) return FALSE;
  auto it = m_Elements.cbegin();
  while (it != m_Elements.cend() && it->get() != *found) ++it;
  if (it == m_Elements.cend()) return FALSE;
  for (++it; it != m_Elements.cend(); ++it) {
    if ((*it)->GetType() == type) {
      *found = it->get();
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CPatternRecord::RefersTo(const CGradedObject* object) const {
  for (const auto& element : m_Elements) {
    if (element->RefersTo(object)) return TRUE;
  }
  return FALSE;
}

void CPatternRecord::Recalc(int32_t size) {
  for (auto& element : m_Elements) {
    if (size == -1) {
      element->Recalc(-1);
    } else {
      element->Calculate(size);
    }
  }
}

void CPatternRecord::Invalidate(int32_t size) {
  for (auto& element : m_Elements) element->Invalidate(size);
}

void CPatternRecord::InsertSize(int32_t index) {
  for (auto& element : m_Elements) element->InsertSize(index);
}

void CPatternRecord::RemoveSize(int32_t index) {
  for (auto& element : m_Elements) element->RemoveSize(index);
}

CPieceBoundary* CPatternRecord::GetBoundary() const {
  CDesignElement* element = nullptr;
  if (!FindElementOfType(kElementTypeBoundary, &element)) return nullptr;
  return dynamic_cast<CPieceBoundary*>(element);
}

BOOL CPatternRecord::GetOutline(int32_t size, PointList& out) const {
  out.clear();
  CPieceBoundary* boundary = GetBoundary();
  return boundary ? boundary->GetOutline(size, out) : FALSE;
}

BOOL CPatternRecord::HasSeamLine() const {
  const CPieceBoundary* boundary = GetBoundary();
  return boundary ? boundary->HasSeamAllowance() : FALSE;
}

BOOL CPatternRecord::GetSeamLine(int32_t size, PointList& out) const {
  out.clear();
  CPieceBoundary* boundary = GetBoundary();
  if (!boundary || !boundary->HasSeamAllowance()) return FALSE;
  return boundary->GetSeamLine(size, out);
}

BOOL CPatternRecord::HasNegativeSeamWidth() const {
  const CPieceBoundary* boundary = GetBoundary();
  return boundary ? boundary->HasNegativeSeamWidth() : FALSE;
}

BOOL CPatternRecord::GetCutOutline(int32_t size, PointList& out) const {
  if (!GetOutline(size, out)) return FALSE;
  for (const auto& element : m_Elements) {
    if (element->GetType() == kElementTypeConstruct) {
      if (auto* dart = dynamic_cast<CConstructElement*>(element.get())) dart->MergeIntoOutline(size, out);
    } else if (element->GetType() == kElementTypeShape) {
      if (auto* band = dynamic_cast<CType64Element*>(element.get())) band->ApplyToOutline(size, out);
    }
  }
  return TRUE;
}

BOOL CPatternRecord::GetCutSeamLine(int32_t size, PointList& out) const {
  if (!GetSeamLine(size, out)) return FALSE;
  for (const auto& element : m_Elements) {
    if (element->GetType() == kElementTypeConstruct) {
      if (auto* dart = dynamic_cast<CConstructElement*>(element.get())) dart->MergeIntoSeamLine(size, out);
    } else if (element->GetType() == kElementTypeShape) {
      if (auto* band = dynamic_cast<CType64Element*>(element.get())) band->ApplyToSeamLine(size, out);
    }
  }
  return TRUE;
}

BOOL CPatternRecord::PtInside(int32_t x, int32_t y, int32_t size) const {
  CPieceBoundary* boundary = GetBoundary();
  return boundary ? boundary->PtInside(x, y, size) : FALSE;
}

CRect CPatternRecord::GetBoundRect(int32_t size) const {
  CRect bounds;
  if (m_Elements.empty()) return bounds;
  const CSize offset = GetRefOffset(size);
  for (const auto& element : m_Elements) {
    CRect rect = element->GetBoundRect(size);
    if (!StaysInPlace(element->GetType())) {
      rect = MovedBy(rect, -static_cast<int64_t>(offset.cx), -static_cast<int64_t>(offset.cy));
    }
    CRect joined;
    joined.UnionRect(bounds, rect);
    bounds = joined;
  }
  return bounds;
}

BOOL CPatternRecord::Load(ArchiveReader& archive, const ElementFactory& elements) {
  const int32_t version = m_Owner ? m_Owner->GetVersion() : kNewestDataVersion;

  // Leading words of the newer versions, read and dropped.
  size_t leading = 0;
  if (version >= kFirstVersionWithLeadingWord) leading += sizeof(uint32_t);
  if (version >= kFirstVersionWithWordPair) leading += 2 * sizeof(uint32_t);
  if (version >= kFirstVersionWithDoubles) leading += 2 * sizeof(double) + sizeof(uint32_t);
  if (version >= kFirstVersionWithWord159) leading += sizeof(int32_t);
  if (version >= kFirstVersionWithWord161) leading += sizeof(int32_t);
  if (!archive.Skip(leading)) return FALSE;

  CString text;
  if (!archive.ReadString(text)) return FALSE;
  m_PieceName = text;
  if (!archive.ReadString(text)) return FALSE;
  m_Annotation = text;
  if (!archive.ReadString(text)) return FALSE;
  m_Text3 = text;
  if (version >= kFirstVersionWithQuantityText) {
    // atoi of the text: "3" is 3, an empty or non-numeric text 0, and a
    // number beyond the int range stops at its end.
    if (!archive.ReadString(text)) return FALSE;
    m_Quantity = ParseInt(text.view());
  } else {
    int32_t quantity = 0;
    if (!archive.ReadI32(quantity)) return FALSE;
    m_Quantity = quantity;
  }
  if (!archive.ReadString(text)) return FALSE;
  m_Category = text;

  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int32_t options[4] = {};
  double value = 0.0;
  int32_t option4 = 0;
  int32_t refIndex = -1;
  int32_t count = 0;
  if (!archive.ReadI32(x1) || !archive.ReadI32(y1) || !archive.ReadI32(x2) || !archive.ReadI32(y2)) return FALSE;
  for (int32_t& option : options) {
    if (!archive.ReadI32(option)) return FALSE;
  }
  if (!archive.ReadDouble(value) || !archive.ReadI32(option4) || !archive.Skip(sizeof(int32_t)) ||
      !archive.ReadI32(refIndex) || !archive.ReadI32(count)) {
    return FALSE;
  }
  SetPoints(x1, y1, x2, y2);
  m_Option1 = options[0];
  m_Option2 = options[1];
  m_Flag = options[2];
  m_Option3 = options[3];
  m_DoubleValue = value;
  m_Option4 = option4;
  // The reference point is a construction point: any other object (or a
  // position outside the list) gives the piece none.
  m_RefPoint = m_Owner ? ResolveObjectOfKind(*m_Owner, refIndex, kObjectKindPoint) : nullptr;

  // Each element's envelope is at least its type code (and the pair in front
  // of it from version 150 on); a count that cannot fit is refused before
  // anything is made from it.
  const size_t envelope =
      sizeof(int32_t) + (version >= kFirstVersionWithLeadingWord ? sizeof(uint32_t) + sizeof(int32_t) : 0);
  if (!archive.CheckCount(count, envelope)) return Fail(archive, DesignLoadFault::kMalformed, "element count beyond the bytes left");
  // Every element keeps one flag per size.
  if (m_Owner && !m_Owner->ReservePerSizeEntries(count, archive.Position())) return FALSE;
  for (int32_t i = 0; i < count; ++i) {
    if (version >= kFirstVersionWithLeadingWord && !archive.Skip(sizeof(uint32_t) + sizeof(int32_t))) {
      return Fail(archive, DesignLoadFault::kMalformed, "cut short");
    }
    ElementCode code;
    if (!archive.ReadI32(code.type) || (HasSubtype(code.type) && !archive.ReadI32(code.subtype))) {
      return Fail(archive, DesignLoadFault::kMalformed, "cut short");
    }
    const std::string where = "element " + std::to_string(i);
    std::unique_ptr<CDesignElement> element = elements.Create(code, this);
    if (!element) {
      const bool defined = IsLayoutElementCode(code);
      return Fail(archive, defined ? DesignLoadFault::kCodeNotBuilt : DesignLoadFault::kUnknownCode,
                  where + ": element type " + std::to_string(code.type) + " subtype " +
                      std::to_string(code.subtype) + (defined ? " is not read yet" : " is no element type"));
    }
    // An element that fails to read its record is dropped here; the record
    // keeps only whole elements.
    if (!element->Load(archive) || archive.Failed()) {
      return Fail(archive, DesignLoadFault::kMalformed, where + ": record cut short or malformed");
    }
    AddElement(std::move(element));
  }
  return TRUE;
}

BOOL CPatternRecord::Fail(const ArchiveReader& archive, DesignLoadFault fault, std::string_view what) const {
  if (m_Owner) m_Owner->NoteLoadFailure(fault, archive.Position(), what);
  return FALSE;
}

void CPatternRecord::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  for (const auto& element : m_Elements) element->GetUsedObjects(used);
}

void CPatternRecord::ResolveIds() {
  for (auto& element : m_Elements) element->LinkReferences();
}

void CPatternRecord::ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject) {
  for (auto& element : m_Elements) element->ReplaceReference(oldObject, newObject);
  if (m_RefPoint == oldObject) m_RefPoint = newObject;
}

// Every element is asked, not just those up to the first that answers: a
// later element would otherwise keep a formula on a deleted row or measure,
// or a stale value.
BOOL CPatternRecord::FreezeIfUsesSizeRow(CSizeTableRow* row) {
  BOOL any = FALSE;
  for (auto& element : m_Elements) {
    if (element->FreezeIfUsesSizeRow(row)) any = TRUE;
  }
  return any;
}

BOOL CPatternRecord::InvalidateIfUsesSizeRow(CSizeTableRow* row) {
  BOOL any = FALSE;
  for (auto& element : m_Elements) {
    if (element->InvalidateIfUsesSizeRow(row)) any = TRUE;
  }
  return any;
}

BOOL CPatternRecord::FreezeIfUsesMeasure(CPieceMeasure* measure) {
  BOOL any = FALSE;
  for (auto& element : m_Elements) {
    if (element->FreezeIfUsesMeasure(measure)) any = TRUE;
  }
  return any;
}

BOOL CPatternRecord::InvalidateIfUsesMeasure(CPieceMeasure* measure) {
  BOOL any = FALSE;
  for (auto& element : m_Elements) {
    if (element->InvalidateIfUsesMeasure(measure)) any = TRUE;
  }
  return any;
}

BOOL CPatternRecord::GetOutlineWithMarks(int32_t size, PointList& out) const {
  if (!GetOutline(size, out)) return FALSE;
  for (const auto& element : m_Elements) {
    if (element->GetType() != kElementTypeShape) continue;
    if (auto* band = dynamic_cast<CType64Element*>(element.get())) band->ApplyToOutline(size, out);
  }
  return TRUE;
}

namespace {

// The cut ring whose area or length a piece reports.
bool GetMeasuredRing(const CPatternRecord& piece, int32_t size, BOOL seam, PointList& ring) {
  if (seam && piece.HasSeamLine()) return piece.GetCutSeamLine(size, ring) != FALSE;
  return piece.GetCutOutline(size, ring) != FALSE;
}

}  // namespace

double CPatternRecord::GetArea(int32_t size, BOOL seam) const {
  PointList ring;
  GetMeasuredRing(*this, size, seam, ring);
  return PolygonArea(ring);
}

int32_t CPatternRecord::GetPerimeter(int32_t size, BOOL seam) const {
  PointList ring;
  GetMeasuredRing(*this, size, seam, ring);
  if (ring.empty()) return 0;
  double length = 0.0;
  CPoint previous = ring.back();
  for (const CPoint& p : ring) {
    const double dx = static_cast<double>(p.x) - previous.x;
    const double dy = static_cast<double>(p.y) - previous.y;
    length += std::sqrt(dx * dx + dy * dy);
    previous = p;
  }
  return RoundToNearest(length);
}

CRect CPatternRecord::GetTurnedBoundRect(int32_t size) const {
  CRect bounds;
  if (m_Elements.empty()) return bounds;
  const int32_t base = m_Owner ? m_Owner->GetBaseSize() : 0;
  const CPoint centre = GetBoundRect(base).CenterPoint();
  const double sinA = std::sin(-m_Double2);
  const double cosA = std::cos(-m_Double2);
  // How far the reference point, turned with the piece, has moved from its
  // turned base-size position.
  int64_t dx = 0, dy = 0;
  if (auto* point = dynamic_cast<CGradedPoint*>(m_RefPoint)) {
    CPoint at, atBase;
    point->GetPoint(size, &at);
    point->GetPoint(base, &atBase);
    RotatePointInPlace(&at, centre.x, centre.y, sinA, cosA);
    RotatePointInPlace(&atBase, centre.x, centre.y, sinA, cosA);
    dx = static_cast<int64_t>(at.x) - atBase.x;
    dy = static_cast<int64_t>(at.y) - atBase.y;
  }
  for (const auto& element : m_Elements) {
    CRect rect = element->GetBoundRectAt(size, centre.x, centre.y, sinA, cosA);
    if (!StaysInPlace(element->GetType())) rect = MovedBy(rect, -dx, -dy);
    CRect joined;
    joined.UnionRect(bounds, rect);
    bounds = joined;
  }
  return bounds;
}

void CPatternRecord::ShowDirectionAt(double radians) {
  const int32_t base = m_Owner ? m_Owner->GetBaseSize() : 0;
  const double reach = 100.0 * (m_Owner ? m_Owner->GetScale() : kClearedScale);
  const CRect box = GetBoundRect(base);
  const CPoint from(box.left, box.bottom);
  const CPoint to(SaturateToInt32(from.x + static_cast<int64_t>(RoundToNearest(reach * std::cos(radians)))),
                  SaturateToInt32(from.y + static_cast<int64_t>(RoundToNearest(reach * std::sin(radians)))));
  ShowDirection(from, to);
}

void CPatternRecord::ShowDirection(const CPoint& /*from*/, const CPoint& /*to*/) {}

CString CPatternRecord::ExpandText(const CString& text, int32_t size) const {
  std::string out;
  const std::string_view in = text.view();
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '&' || i + 1 >= in.size()) {
      out += in[i];
      continue;
    }
    const char code = in[i + 1];
    switch (code) {
      case 'C': case 'c': out += m_Annotation.view(); break;
      case 'M': case 'm': out += m_Category.view(); break;
      case 'N': case 'n': out += std::to_string(m_Quantity); break;
      case 'P': case 'p': out += m_PieceName.view(); break;
      case 'O': case 'o': if (m_Owner) out += m_Owner->GetName1().view(); break;
      case 'T': case 't': if (m_Owner) out += m_Owner->GetName2().view(); break;
      case 'U': case 'u': if (m_Owner) out += m_Owner->GetName3().view(); break;
      case 'S': case 's':
        if (const CSizeEntry* entry = m_Owner ? m_Owner->GetSizeAt(size) : nullptr) out += entry->GetName().view();
        break;
      default:
        // Not a code: the '&' and the character stay.
        out += '&';
        out += code;
        break;
    }
    ++i;
  }
  return CString(std::move(out));
}

BOOL CPatternRecord::FindPointElement(const CGradedObject* object, CDesignElement** found) const {
  for (const auto& element : m_Elements) {
    if (element->GetType() != kElementTypePiecePoint) continue;
    auto* point = dynamic_cast<CPiecePointElement*>(element.get());
    if (point && point->GetRef() == object) {
      if (found) *found = element.get();
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CPatternRecord::FindLineElement(const CGradedObject* a, const CGradedObject* b, CDesignElement** found) const {
  for (const auto& element : m_Elements) {
    if (element->GetType() != kElementTypePieceLine) continue;
    auto* line = dynamic_cast<CPieceLineElement*>(element.get());
    if (!line) continue;
    CGradedPoint* first = nullptr;
    CGradedPoint* second = nullptr;
    line->GetRefs(&first, &second);
    if ((first == a && second == b) || (first == b && second == a)) {
      if (found) *found = element.get();
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CPatternRecord::FindCurveElement(const CGradedObject* curve, const CGradedObject* a, const CGradedObject* b,
                                      CDesignElement** found) const {
  const auto* asCurve =
      curve && curve->GetKind() == kObjectKindCurve ? dynamic_cast<const CGradedCurve*>(curve) : nullptr;
  if (!asCurve) return FALSE;
  const bool closed = asCurve->IsClosed() != FALSE;
  for (const auto& element : m_Elements) {
    if (element->GetType() != kElementTypePieceCurve) continue;
    auto* part = dynamic_cast<CPieceCurveElement*>(element.get());
    if (!part) continue;
    CGradedObject* on = nullptr;
    CGradedPoint* first = nullptr;
    CGradedPoint* second = nullptr;
    part->GetRefs(&on, &first, &second);
    if (on != curve) continue;
    if ((first == a && second == b) || (!closed && first == b && second == a)) {
      if (found) *found = element.get();
      return TRUE;
    }
  }
  return FALSE;
}

namespace {

bool TypeInMask(int32_t type, int32_t mask) { return (type & mask) != 0; }

}  // namespace

BOOL CPatternRecord::HitTestElements(int32_t x, int32_t y, double tolerance, int32_t typeMask,
                                     CDesignElement** found, CPoint* point, double* distance) const {
  double best = DBL_MAX;
  CDesignElement* bestElement = nullptr;
  CPoint bestPoint;
  for (const auto& element : m_Elements) {
    if (!TypeInMask(element->GetType(), typeMask)) continue;
    CPoint hit;
    double d = DBL_MAX;
    if (element->HitTest(x, y, tolerance, &hit, &d) && d < best) {
      best = d;
      bestElement = element.get();
      bestPoint = hit;
    }
  }
  if (!bestElement) return FALSE;
  if (found) *found = bestElement;
  if (point) *point = bestPoint;
  if (distance) *distance = best;
  return TRUE;
}

BOOL CPatternRecord::HitTestEdgeElements(int32_t x, int32_t y, double tolerance, int32_t typeMask,
                                         CDesignElement** found, CGradedObject** first, CGradedObject** second,
                                         CPoint* foot, double* distance) const {
  double best = DBL_MAX;
  CDesignElement* bestElement = nullptr;
  CGradedObject* bestFirst = nullptr;
  CGradedObject* bestSecond = nullptr;
  CPoint bestFoot;
  for (const auto& element : m_Elements) {
    if (!TypeInMask(element->GetType(), typeMask)) continue;
    CGradedObject* a = nullptr;
    CGradedObject* b = nullptr;
    CPoint at;
    double d = DBL_MAX;
    if (element->HitTestEdge(x, y, tolerance, &a, &b, &at, &d) && d < best) {
      best = d;
      bestElement = element.get();
      bestFirst = a;
      bestSecond = b;
      bestFoot = at;
    }
  }
  if (!bestElement) return FALSE;
  if (found) *found = bestElement;
  if (first) *first = bestFirst;
  if (second) *second = bestSecond;
  if (foot) *foot = bestFoot;
  if (distance) *distance = best;
  return TRUE;
}

BOOL CPatternRecord::HitTestPointElements(int32_t x, int32_t y, double tolerance, int32_t typeMask,
                                          CDesignElement** found, double* distance) const {
  double best = DBL_MAX;
  CDesignElement* bestElement = nullptr;
  for (const auto& element : m_Elements) {
    if (!TypeInMask(element->GetType(), typeMask)) continue;
    double d = DBL_MAX;
    if (element->HitTestPoint(x, y, tolerance, &d) && d < best) {
      best = d;
      bestElement = element.get();
    }
  }
  if (!bestElement) return FALSE;
  if (found) *found = bestElement;
  if (distance) *distance = best;
  return TRUE;
}
