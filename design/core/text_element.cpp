#include "design/core/text_element.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "design/core/factories.h"
#include "design/core/text_box.h"
#include "design/geometry/polyline.h"

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
  const TextBoxCorners box = TurnTextBox(m_Position, MeasureTextInFont(m_Text, m_Font), m_Font.lfEscapement);
  m_CornerA = box.a;
  m_CornerB = box.b;
  m_CornerC = box.c;
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

BOOL CTextElement::ContainsPoint(int32_t x, int32_t y) const {
  const std::array<CPoint, 4> box = GetTextBox();
  const PointList outline(box.begin(), box.end());
  return IsPointInPointList(x, y, outline) ? TRUE : FALSE;
}

std::unique_ptr<CGradedObject> CTextElement::Clone() const {
  return std::make_unique<CTextElement>(GetOwner(), GetStatus(), m_Position.x, m_Position.y, m_Text, m_Font);
}

void CTextElement::CopyFrom(const CGradedObject& other) {
  const auto* source = dynamic_cast<const CTextElement*>(&other);
  if (!source || source == this) return;
  SetState(source->GetState());
  SetStatus(source->GetStatus());
  CPoint position;
  CString text;
  LOGFONT font;
  source->GetText(position, text, font);
  SetText(position.x, position.y, text, font);
}

void RegisterTextElements() {
  GetObjectKindFactory().Register(kObjectKindText, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CTextElement>(owner, 0);
  });
}
