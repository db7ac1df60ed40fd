#include "design/core/text_element.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>

#include "design/core/factories.h"
#include "design/geometry/point_line.h"
#include "design/geometry/text_extent.h"
#include "model/shell_services.h"
#include "platform/dc.h"
#include "platform/recording_dc.h"

namespace {

// The escapement is in tenths of a degree; half a turn is 1800 of them.
constexpr double kEscapementPerHalfTurn = 1800.0;
// The value of pi the stored designs were laid out with.
constexpr double kPi = 3.14159265359;

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
  int lines = 0;
  const CSize extent = GetMultilineTextExtentByValue(dc, text, &lines);
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

}  // namespace

CTextElement::CTextElement(CPatternData* owner, uint16_t status) : CGradedObject(kObjectKindText, owner, status) {}

CTextElement::CTextElement(CPatternData* owner, uint16_t status, int32_t x, int32_t y, const CString& text,
                           const LOGFONT& font)
    : CGradedObject(kObjectKindText, owner, status) {
  SetText(x, y, text, font);
}

CTextElement::~CTextElement() = default;

void CTextElement::SetText(int32_t x, int32_t y, const CString& text, const LOGFONT& font) {
  m_Position = CPoint(x, y);
  m_Text = text;
  m_Font = font;
  CalcTextBox();
}

void CTextElement::GetText(CPoint& position, CString& text, LOGFONT& font) const {
  position = m_Position;
  text = m_Text;
  font = m_Font;
}

void CTextElement::CalcTextBox() { LayOut(); }

void CTextElement::LayOut() const {
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
  m_BoxMarked = false;
}

void CTextElement::LayOutIfMarked() const {
  if (m_BoxMarked) LayOut();
}

std::array<CPoint, 4> CTextElement::GetTextBox() const {
  LayOutIfMarked();
  return {m_Position, m_CornerA, m_CornerC, m_CornerB};
}

CRect CTextElement::GetBoundRect(int32_t) const {
  const std::array<CPoint, 4> box = GetTextBox();
  CRect bound(box[0], box[0]);
  for (const CPoint& p : box) {
    bound.left = std::min(bound.left, p.x);
    bound.top = std::min(bound.top, p.y);
    bound.right = std::max(bound.right, p.x);
    bound.bottom = std::max(bound.bottom, p.y);
  }
  return bound;
}

BOOL CTextElement::GetReferences(CGradedObjectList& references) const {
  references.clear();
  return TRUE;
}

void CTextElement::UpdateLabel() { m_BoxMarked = true; }

BOOL CTextElement::Load(ArchiveReader& archive) {
  uint32_t state = 0;
  uint16_t status = 0;
  CPoint position;
  CString text;
  LOGFONT font;
  if (!archive.ReadU32(state) || !archive.ReadU16(status) || !archive.ReadI32(position.x) ||
      !archive.ReadI32(position.y) || !archive.ReadString(text) || !archive.ReadFont(font)) {
    return FALSE;
  }
  SetState(static_cast<int32_t>(state));
  SetStatus(status);
  m_Position = position;
  m_Text = std::move(text);
  m_Font = font;
  m_BoxMarked = true;
  return TRUE;
}

void RegisterTextElements() {
  GetObjectKindFactory().Register(kObjectKindText, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CTextElement>(owner, 0);
  });
}
