// A device context that draws nothing and remembers every drawing call, in
// order, with its arguments and the drawing state in force at that moment.
// Tests of the item drawings assert on these records instead of on pixels:
// which pen (style, width, colour) drew a stroke, whether a box was filled,
// where a text went and in which font.
#pragma once

#include <string>
#include <vector>

#include "platform/dc.h"

struct DrawCall {
  enum class Op {
    kMoveTo,
    kLineTo,
    kPolyline,
    kPolygon,
    kEllipse,
    kRectangle,
    kArc,
    kSetPixel,
    kTextOut,
    kFillSolidRect,
  };

  Op op = Op::kMoveTo;
  // MoveTo: the new position. LineTo: from and to. Polyline and Polygon: the
  // points as given. Arc: the start and end radial points. SetPixel and
  // TextOut: the position.
  std::vector<CPoint> points;
  // Ellipse, Rectangle and Arc: the box as given (not normalised).
  // FillSolidRect: the box filled.
  CRect rect;
  CString text;          // TextOut
  COLORREF color = 0;    // SetPixel and FillSolidRect
  CDC::State state;      // pen, brush, font, colours and modes at the call

  // One compact line, for readable expectations, e.g.
  //   "LineTo (0,0)-(10,0) pen=dash/1/0x0000FF"
  //   "Rectangle (0,0,5,5) pen=solid/1/0x000000 brush=hollow rop=xor"
  //   "TextOut (3,4) \"12\" font=-14/0 color=0x0000FF bk=transparent align=0"
  // The raster operation appears only when it is not the copying one; texts
  // are written as their bytes.
  std::string ToString() const;
};

class RecordingDC : public CDC {
 public:
  // `metrics` must outlive the device context; null means FixedTextMetrics.
  explicit RecordingDC(const ITextMetrics* metrics = nullptr) : CDC(metrics) {}

  const std::vector<DrawCall>& calls() const { return calls_; }
  // Every call as ToString gives it, in order.
  std::vector<std::string> Lines() const;
  // The same lines, each ended with '\n'.
  std::string Text() const;
  void Clear() { calls_.clear(); }

 protected:
  void DoLine(CPoint from, CPoint to) override;
  void DoPolyline(const CPoint* points, int count) override;
  void DoPolygon(const CPoint* points, int count) override;
  void DoEllipse(const CRect& box) override;
  void DoRectangle(const CRect& box) override;
  void DoArc(const CRect& box, CPoint start, CPoint end) override;
  COLORREF DoSetPixel(CPoint p, COLORREF color) override;
  void DoTextOut(CPoint p, const CString& text) override;
  void DoFillSolidRect(const CRect& box, COLORREF color) override;
  void OnMoveTo(CPoint p) override;

 private:
  DrawCall& Record(DrawCall::Op op);

  std::vector<DrawCall> calls_;
};
