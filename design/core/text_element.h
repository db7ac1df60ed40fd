// A free text of a design (object kind 8): a text placed in the construction,
// the same for every size, written in its own font and turned by the font's
// escapement. It keeps the turned box around the text, which the container
// uses to find a text by position and for its extent.
//
// The box is measured with the screen's text metrics: the work window's
// device context when a window is installed (g_pWorkWindow), else fixed
// metrics (FixedTextMetrics), so that a headless read gives the same box on
// every machine. A change of position, text or font lays the box out at once;
// UpdateLabel, which every Invalidate of the object calls (the loader
// invalidates every object once the file is read), only marks it, and the box
// is laid out when it is next asked for. Loading thus measures nothing.
//
// A text refers to nothing: no references, no formulas, no labels.
#pragma once

#include <array>
#include <cstdint>

#include "design/core/graded_object.h"
#include "platform/geometry_types.h"
#include "platform/text.h"

class CTextElement : public CGradedObject {
 public:
  // For the loader: an empty text at (0, 0) in a default font, until Load
  // reads it.
  CTextElement(CPatternData* owner, uint16_t status);
  // A shown text at (x, y), its box laid out at once.
  CTextElement(CPatternData* owner, uint16_t status, int32_t x, int32_t y, const CString& text,
               const LOGFONT& font);
  ~CTextElement() override;

  // Stores position, text and font and lays the box out again.
  void SetText(int32_t x, int32_t y, const CString& text, const LOGFONT& font);
  void GetText(CPoint& position, CString& text, LOGFONT& font) const;
  CPoint GetPosition() const { return m_Position; }

  // Measures the text in its font and lays the box out now: with (w, h) the
  // extent of the text and (x, y) the position, corner A = (x + w, y),
  // corner B = (x, y + h) and corner C = (x + w, y + h), each turned about
  // the position by minus the escapement.
  void CalcTextBox();
  // The box as position, A, C, B: its outline in order around it. Laid out
  // first when it is marked.
  std::array<CPoint, 4> GetTextBox() const;
  // Whether (x, y) lies inside the box (position, A, C, B); the container
  // finds a text by position with it.
  BOOL ContainsPoint(int32_t x, int32_t y) const;
  // Whether the box waits to be laid out (after UpdateLabel or Load).
  BOOL IsTextBoxMarked() const { return m_BoxMarked ? TRUE : FALSE; }

  // ---- Overrides of the graded object -----------------------------------

  // The smallest rectangle that holds the position and the three corners; the
  // same at every size.
  CRect GetBoundRect(int32_t size) const override;
  // Empties the list and answers 1: a text refers to nothing.
  BOOL GetReferences(CGradedObjectList& references) const override;
  // Marks the box for layout at its next use.
  void UpdateLabel() override;
  // A shown text of the same owner, status, position, text and font, even
  // when this one is hidden.
  std::unique_ptr<CGradedObject> Clone() const override;
  // Takes over the state, the status, the position, the text and the font of
  // another text and lays the box out; any other object changes nothing.
  void CopyFrom(const CGradedObject& other) override;
  // Reads the record: state, status, position, text and font. Everything is
  // read before anything is stored, so a short record fails (0) and leaves the
  // object as it was. A face name longer than the font's field holds is cut
  // to at most 31 bytes, on a character boundary. Marks the box.
  BOOL Load(ArchiveReader& archive) override;

 private:
  // Lays the box out when it is marked; the box is a cache of position, text
  // and font, hence const.
  void LayOutIfMarked() const;
  void LayOut() const;

  CPoint m_Position;
  CString m_Text;
  LOGFONT m_Font;
  mutable CPoint m_CornerA;
  mutable CPoint m_CornerB;
  mutable CPoint m_CornerC;
  mutable bool m_BoxMarked = true;
};

// Joins the text to the object-kind table under kind 8 (the loader asks for
// it also for kind 5 of the older files); the loader makes it with status 0.
void RegisterTextElements();
