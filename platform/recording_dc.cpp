#include "platform/recording_dc.h"

#include <cstdio>

namespace {

const char* OpName(DrawCall::Op op) {
  switch (op) {
    case DrawCall::Op::kMoveTo: return "MoveTo";
    case DrawCall::Op::kLineTo: return "LineTo";
    case DrawCall::Op::kPolyline: return "Polyline";
    case DrawCall::Op::kPolygon: return "Polygon";
    case DrawCall::Op::kEllipse: return "Ellipse";
    case DrawCall::Op::kRectangle: return "Rectangle";
    case DrawCall::Op::kArc: return "Arc";
    case DrawCall::Op::kSetPixel: return "SetPixel";
    case DrawCall::Op::kTextOut: return "TextOut";
    case DrawCall::Op::kFillSolidRect: return "FillSolidRect";
  }
  return "?";
}

std::string Color(COLORREF c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%06X", static_cast<unsigned>(c));
  return buf;
}

std::string Point(CPoint p) {
  return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
}

std::string Box(const CRect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

std::string PenText(const CPen& pen) {
  const char* style = "solid";
  switch (pen.style()) {
    case PS_SOLID: style = "solid"; break;
    case PS_DASH: style = "dash"; break;
    case PS_DOT: style = "dot"; break;
    case PS_DASHDOT: style = "dashdot"; break;
    case PS_NULL: style = "null"; break;
    default: style = nullptr; break;
  }
  const std::string style_text = style ? style : "style" + std::to_string(pen.style());
  return " pen=" + style_text + "/" + std::to_string(pen.width()) + "/" + Color(pen.color());
}

std::string BrushText(const CBrush& brush) {
  return brush.hollow() ? " brush=hollow" : " brush=" + Color(brush.color());
}

std::string RopText(int rop) {
  switch (rop) {
    case R2_COPYPEN: return "";
    case R2_XORPEN: return " rop=xor";
    case R2_NOT: return " rop=not";
    default: return " rop=" + std::to_string(rop);
  }
}

}  // namespace

std::string DrawCall::ToString() const {
  std::string line = OpName(op);
  switch (op) {
    case Op::kMoveTo:
      if (!points.empty()) line += " " + Point(points[0]);
      break;
    case Op::kLineTo:
      if (points.size() == 2) line += " " + Point(points[0]) + "-" + Point(points[1]);
      line += PenText(state.pen) + RopText(state.rop2);
      break;
    case Op::kPolyline:
    case Op::kPolygon: {
      line += " ";
      for (size_t i = 0; i < points.size(); ++i) line += (i ? "-" : "") + Point(points[i]);
      line += PenText(state.pen);
      if (op == Op::kPolygon) line += BrushText(state.brush);
      line += RopText(state.rop2);
      break;
    }
    case Op::kEllipse:
    case Op::kRectangle:
      line += " " + Box(rect) + PenText(state.pen) + BrushText(state.brush) + RopText(state.rop2);
      break;
    case Op::kArc:
      line += " " + Box(rect);
      if (points.size() == 2) line += " " + Point(points[0]) + "-" + Point(points[1]);
      line += PenText(state.pen) + RopText(state.rop2);
      break;
    case Op::kSetPixel:
      if (!points.empty()) line += " " + Point(points[0]);
      line += " " + Color(color) + RopText(state.rop2);
      break;
    case Op::kTextOut: {
      if (!points.empty()) line += " " + Point(points[0]);
      const LOGFONT& font = state.font.logfont();
      line += " \"" + text.str() + "\" font=" + std::to_string(font.lfHeight) + "/" +
              std::to_string(font.lfEscapement) + " color=" + Color(state.text_color);
      line += state.bk_mode == OPAQUE ? " bk=" + Color(state.bk_color) : std::string(" bk=transparent");
      line += " align=" + std::to_string(state.text_align) + RopText(state.rop2);
      break;
    }
    case Op::kFillSolidRect:
      line += " " + Box(rect) + " " + Color(color);
      break;
  }
  return line;
}

std::vector<std::string> RecordingDC::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(calls_.size());
  for (const DrawCall& call : calls_) lines.push_back(call.ToString());
  return lines;
}

std::string RecordingDC::Text() const {
  std::string text;
  for (const DrawCall& call : calls_) text += call.ToString() + "\n";
  return text;
}

DrawCall& RecordingDC::Record(DrawCall::Op op) {
  DrawCall& call = calls_.emplace_back();
  call.op = op;
  call.state = state();
  return call;
}

void RecordingDC::DoLine(CPoint from, CPoint to) {
  Record(DrawCall::Op::kLineTo).points = {from, to};
}

void RecordingDC::DoPolyline(const CPoint* points, int count) {
  Record(DrawCall::Op::kPolyline).points.assign(points, points + count);
}

void RecordingDC::DoPolygon(const CPoint* points, int count) {
  Record(DrawCall::Op::kPolygon).points.assign(points, points + count);
}

void RecordingDC::DoEllipse(const CRect& box) {
  Record(DrawCall::Op::kEllipse).rect = box;
}

void RecordingDC::DoRectangle(const CRect& box) {
  Record(DrawCall::Op::kRectangle).rect = box;
}

void RecordingDC::DoArc(const CRect& box, CPoint start, CPoint end) {
  DrawCall& call = Record(DrawCall::Op::kArc);
  call.rect = box;
  call.points = {start, end};
}

COLORREF RecordingDC::DoSetPixel(CPoint p, COLORREF color) {
  DrawCall& call = Record(DrawCall::Op::kSetPixel);
  call.points = {p};
  call.color = color;
  return color;
}

void RecordingDC::DoTextOut(CPoint p, const CString& text) {
  DrawCall& call = Record(DrawCall::Op::kTextOut);
  call.points = {p};
  call.text = text;
}

void RecordingDC::DoFillSolidRect(const CRect& box, COLORREF color) {
  DrawCall& call = Record(DrawCall::Op::kFillSolidRect);
  call.rect = box;
  call.color = color;
}

void RecordingDC::OnMoveTo(CPoint p) {
  Record(DrawCall::Op::kMoveTo).points = {p};
}
