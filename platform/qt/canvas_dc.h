// The device context of a view: it draws on a QImage canvas, which the view
// keeps and blits in its paint event. Drawing happens whenever the program
// draws (XOR frames, ruler marks, pieces placed at once), not only while the
// window is painted, so the canvas holds the picture in between.
//
// The screen conventions of dc.h are mapped here, and only here:
// - one-pixel pens are drawn pixel by pixel, one pixel per step along the
//   longer axis, the end pixel of every stroke left out; dashes are 18 on and
//   6 off, dots 3 and 3, dash-dots 9, 6, 3, 6, running on along a polyline
//   and starting again with every LineTo; while the background mode is
//   OPAQUE the gaps are painted in the background colour;
// - Rectangle and Ellipse cover the box without its right and bottom edges
//   (one pixel less each way again when the pen is null); Arc runs
//   counter-clockwise from the start radial to the end radial;
// - R2_XORPEN xors the pen colour (the brush colour for fills) into every
//   pixel a primitive covers, once, so that the same figure drawn twice
//   leaves the canvas as it was; R2_NOT inverts the covered pixels;
// - text escapement turns the text counter-clockwise, alignment places the
//   given point at the text's top, bottom or baseline and left, right or
//   centre, and an OPAQUE background fills the text's cell;
// - nothing is antialiased but text drawn with the copying raster operation.
#pragma once

#include <QImage>

#include "platform/dc.h"

class QtCanvasDC : public CDC {
 public:
  // Draws on `canvas`, which must outlive the device context. A canvas that
  // is neither Format_RGB32 nor Format_ARGB32 is converted to Format_RGB32
  // first. `metrics` must outlive the device context; null measures with the
  // fonts the canvas draws in (QtTextMetrics).
  explicit QtCanvasDC(QImage& canvas, const ITextMetrics* metrics = nullptr);

  QImage& canvas() { return canvas_; }

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

 private:
  class Layer;

  QImage& canvas_;
};
