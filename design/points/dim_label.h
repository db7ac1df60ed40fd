// The dimension label that a construction point shows for one of its graded
// values: a dimension line, an angle arc, a row of equal arcs or a path
// along a curve, with the value's text beside it, drawn at the base size.
// The label does not know what it measures: it asks the point that owns it
// for its text and the points that place it, and lays itself out from them
// when a rectangle or a hit test needs the layout.
//
// A point holds its labels by value; the owner container and the labelled
// point are plain pointers, never freed through the label.
#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CGradedObject;
class CPatternData;

// What a label shows, and which label operation of its point it asks.
inline constexpr int32_t kLabelModeLinear = 0;        // a dimension line beside two points
inline constexpr int32_t kLabelModeLinearLeader = 1;  // the same, text at the crossing of two lines
inline constexpr int32_t kLabelModeAngle = 2;         // an arc marking an angle
inline constexpr int32_t kLabelModeDivision = 3;      // a row of equal arcs, no text
inline constexpr int32_t kLabelModeAlongCurve = 4;    // a path offset from a curve

// Text orientations: 0 and 1 horizontal, 2 and 3 turned a quarter, 4 chosen
// at layout.
inline constexpr int32_t kLabelOrientationAuto = 4;

// The shift that stands a dimension off the segment from `from` to `to`:
// `distance` long, square to the segment, towards -y of a segment running
// towards +x for a distance of 0 or more and the other side for a negative
// one. Two points less than a unit apart give no direction and no shift. The
// measures of the design stand their dimension lines off alike.
CPoint DimensionOffset(CPoint from, CPoint to, int32_t distance);

// The size of one line of label text in `font`, measured through the work
// window's device context (fixed metrics without a window): each character
// on its own, a byte of 0xA0 or more with a byte after it being one two-byte
// character, the widths summed and the tallest character giving the height.
// A font of height 0 is measured with height 1. Sums stop at the int range.
CSize MeasureLabelText(const CString& text, LOGFONT font);

// The most equal parts a division label draws: the count comes from the
// file, and every layout and hit test builds one arc per part.
inline constexpr int32_t kMaxDivisionParts = 1000;

class CDimLabel {
 public:
  // Hidden, laid out anew at first use, automatic orientation, mode 0, no
  // owner and no labelled point.
  CDimLabel() = default;
  virtual ~CDimLabel() = default;
  CDimLabel(const CDimLabel&) = default;
  CDimLabel& operator=(const CDimLabel&) = default;

  // Every field of `other`, its owner and labelled object included.
  void Assign(const CDimLabel& other) { *this = other; }
  // As Assign, but this label keeps its owner and labelled object.
  virtual void CopyFrom(const CDimLabel& other);

  // The mode setters: each binds the label to the owner and the labelled
  // point, sets the mode, horizontal text (the division keeps its
  // orientation) and an offset distance of 10 mm in the owner's scale. The
  // leader mode also sets its two line directions.
  void SetLinear(CPatternData* owner, CGradedObject* object);
  void SetLinearLeader(CPatternData* owner, CGradedObject* object);
  void SetAngle(CPatternData* owner, CGradedObject* object);
  void SetDivision(CPatternData* owner, CGradedObject* object);
  void SetAlongCurve(CPatternData* owner, CGradedObject* object);

  void SetOwner(CPatternData* owner) { m_Owner = owner; }
  // How far the dimension stands off what it measures (signed: the sign
  // chooses the side); the layout is computed again.
  void SetOffsetDistance(int32_t distance) {
    m_OffsetDistance = distance;
    m_NeedsLayout = TRUE;
  }
  int32_t IsVisible() const { return m_Visible; }
  void SetVisible(int32_t visible) { m_Visible = visible; }
  // The layout is computed again before the label is next used.
  void Invalidate() { m_NeedsLayout = TRUE; }

  CPatternData* GetOwner() const { return m_Owner; }
  CGradedObject* GetLabelledObject() const { return m_Object; }
  int32_t GetMode() const { return m_Mode; }
  int32_t GetOrientation() const { return m_Orientation; }
  int32_t GetOffsetDistance() const { return m_OffsetDistance; }
  CPoint GetTextOffset() const { return m_TextOffset; }
  int32_t GetPartCount() const { return m_PartCount; }
  BOOL NeedsLayout() const { return m_NeedsLayout; }

  // ---- Layout and hit tests -------------------------------------------
  // Each lays the label out first when it is marked for a new layout.

  // Asks the labelled point for the text and the points of the label's mode
  // and places the dimension and its text.
  void Layout();
  // The box of the dimension and its text; empty for a hidden label.
  CRect GetRect();
  // Whether (x, y) lies in the text box.
  BOOL HitText(int32_t x, int32_t y);
  // Whether (x, y) lies within `tolerance` of the dimension; `distance`
  // gets how far.
  BOOL Pick(int32_t x, int32_t y, double tolerance, double* distance);
  // The size of the text in the design's label font.
  CSize GetTextExtent();
  // Places the text box centred at (x, y) moved by the text offset.
  void PlaceText(int32_t x, int32_t y);

  // The results of the last layout, for the owner's drawing and for tests.
  CString GetText() const { return m_Text; }
  CPoint GetStart() const { return m_Start; }
  CPoint GetEnd() const { return m_End; }
  CRect GetTextRect() const { return m_TextRect; }
  CRect GetLabelRect() const { return m_LabelRect; }
  CPoint GetTextAnchor() const { return m_TextAnchor; }

  // Reads the label's record: mode, orientation, offset distance, text
  // offset, part count, the four line-direction coefficients and the
  // visible flag. The text, the points and the rectangles are not stored;
  // the next layout rebuilds them. 0 when the record is cut short; the label
  // is then left as it was.
  virtual BOOL Load(ArchiveReader& archive);

 protected:
  // One arc of a division: about `centre`, of `radius`, running from `from`
  // to `to` through increasing angles.
  struct DivisionArc {
    CPoint centre;
    int32_t radius = 0;
    CPoint from;
    CPoint to;
  };

  void Bind(CPatternData* owner, CGradedObject* object, int32_t mode, bool horizontalText);

  CPatternData* m_Owner = nullptr;
  CGradedObject* m_Object = nullptr;
  BOOL m_NeedsLayout = TRUE;
  int32_t m_Mode = kLabelModeLinear;
  int32_t m_Orientation = kLabelOrientationAuto;
  CString m_Text;
  CPoint m_Start;
  CPoint m_End;
  int32_t m_OffsetDistance = 0;
  CPoint m_TextOffset;
  int32_t m_PartCount = 0;
  int32_t m_AngleSide = 0;
  CRect m_LabelRect;
  CRect m_TextRect;
  double m_LineA1 = 0.0;
  double m_LineB1 = 0.0;
  double m_LineA2 = 0.0;
  double m_LineB2 = 0.0;
  CPoint m_TextAnchor;
  CPoint m_ArmPoint1;
  CPoint m_ArmPoint2;
  int32_t m_Visible = 0;
  double m_TextScale = 1.0;

 private:
  void LayoutLinear();
  void LayoutAngle();
  void LayoutDivision();
  void LayoutAlongCurve();
  // Orientation 4 is decided from the laid-out dimension: turned text for a
  // vertical one, horizontal text otherwise.
  void ResolveOrientation();
  // The arcs over the equal parts of the laid-out dimension (at most
  // kMaxDivisionParts; none for a count of 0 or less).
  std::vector<DivisionArc> DivisionArcs() const;
  // The labelled point's curve path moved off the curve by the offset
  // distance; empty without a point or a path.
  std::list<CPoint> MovedPath(CString* text);
  // The sweep of the angle mark from the vertex, through increasing angles.
  void AngleSweep(double* from, double* sweep) const;
};
