#include "model/geometry.h"

#include <cmath>

#include "model/style.h"
#include "design/geometry/measure.h"

namespace {

// Circles larger than this (in model units) are taken as straight lines.
constexpr double kMaxCircleRadius = 500000.0;

bool Same(int x1, int y1, int x2, int y2) { return x1 == x2 && y1 == y2; }

double Length(double dx, double dy) { return std::sqrt(dx * dx + dy * dy); }

double Squared(double v) { return v * v; }

// One millimetre in model units.
double Millimetre() { return g_Style.GetScale(); }

}  // namespace

void ScreenToModel(int x, int y, int* mx, int* my, double unitsPerPixel, int originX, int originY) {
  *mx = RoundToNearest(x * unitsPerPixel + originX);
  *my = RoundToNearest(y * unitsPerPixel + originY);
}

void ModelToScreen(int x, int y, int* sx, int* sy, double unitsPerPixel, int originX, int originY) {
  *sx = RoundToNearest((static_cast<double>(x) - originX) / unitsPerPixel);
  *sy = RoundToNearest((static_cast<double>(y) - originY) / unitsPerPixel);
}

BOOL IsTurnAbovePi(CPoint a, CPoint b, CPoint c) {
  double t = std::atan2(static_cast<double>(a.y) - b.y, static_cast<double>(b.x) - a.x) -
             std::atan2(static_cast<double>(a.y) - c.y, static_cast<double>(c.x) - a.x);
  if (t < 0) t += kTwoPi;
  return t > kPi ? TRUE : FALSE;
}

BOOL CircleThroughPoints(int x1, int y1, int x2, int y2, int x3, int y3, int* cx, int* cy,
                         int* r) {
  *r = 0;
  if (Same(x1, y1, x2, y2) || Same(x1, y1, x3, y3) || Same(x2, y2, x3, y3)) return FALSE;
  // The centre is equally far from p1 and p2, and from p1 and p3:
  //   2 (x2 - x1) cx + 2 (y2 - y1) cy = x2^2 + y2^2 - x1^2 - y1^2, and so on.
  const double a1 = 2 * (static_cast<double>(x2) - x1);
  const double b1 = 2 * (static_cast<double>(y2) - y1);
  const double a2 = 2 * (static_cast<double>(x3) - x1);
  const double b2 = 2 * (static_cast<double>(y3) - y1);
  const double base = Squared(x1) + Squared(y1);
  const double c1 = Squared(x2) + Squared(y2) - base;
  const double c2 = Squared(x3) + Squared(y3) - base;
  const double det = a1 * b2 - a2 * b1;
  if (std::trunc(det) == 0) return FALSE;  // collinear
  const double fx = (c1 * b2 - c2 * b1) / det;
  const double fy = (a1 * c2 - a2 * c1) / det;
  const double radius = Length(fx - x1, fy - y1);
  if (radius > kMaxCircleRadius || radius < 1.0) return FALSE;
  *cx = RoundToNearest(fx);
  *cy = RoundToNearest(fy);
  *r = RoundToNearest(radius);
  if (!IsSweepNotLess(x1, y1, x2, y2, x3, y3, *cx, *cy)) *r = -*r;
  return TRUE;
}

int ProjectPointOntoBisector(int px, int py, int ax, int ay, int bx, int by, int* fx, int* fy) {
  const double length = Length(static_cast<double>(bx) - ax, static_cast<double>(by) - ay);
  if (length > Millimetre() && length > 0) {
    // The bisector: 2 (ax - bx) x + 2 (ay - by) y = ax^2 + ay^2 - bx^2 - by^2.
    const double a = 2 * (static_cast<double>(ax) - bx);
    const double b = 2 * (static_cast<double>(ay) - by);
    const double c = Squared(ax) + Squared(ay) - Squared(bx) - Squared(by);
    PerpendicularFoot(px, py, a, b, c, fx, fy);
    return 1;
  }
  *fx = px;
  *fy = py;
  return 0;
}

BOOL ParallelLineAtDistance(int x1, int y1, int x2, int y2, int d, double* a, double* b,
                            double* c) {
  if (Same(x1, y1, x2, y2)) return FALSE;
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double length = Length(dx, dy);
  if (length < Millimetre() * 0.1) return FALSE;
  const double qx = x1 + d * dy / length;
  const double qy = y1 - d * dx / length;
  *a = dy;
  *b = -dx;
  *c = *a * qx + *b * qy;
  return TRUE;
}

int SolveLinear2(double a1, double b1, double c1, double a2, double b2, double c2, int* x, int* y) {
  const double det = a1 * b2 - a2 * b1;
  const double num_x = c1 * b2 - c2 * b1;
  const double num_y = a1 * c2 - a2 * c1;
  if (!IsNegligible(det)) {
    *x = RoundToNearest(num_x / det);
    *y = RoundToNearest(num_y / det);
    return 1;
  }
  // Parallel. The same line only when both numerators vanish: the first one
  // alone vanishes for any two vertical lines.
  return IsNegligible(num_x) && IsNegligible(num_y) ? 2 : 0;
}

int PerpendicularFoot(int px, int py, double a, double b, double c, int* fx, int* fy) {
  const int code = SolveLinear2(a, b, c, b, -a, b * px - a * py, fx, fy);
  if (code != 1) {
    *fx = px;
    *fy = py;
  }
  return code;
}

int PointLineFoot(int px, int py, int x1, int y1, int x2, int y2, int* fx, int* fy) {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  PerpendicularFoot(px, py, dy, -dx, x1 * dy - y1 * dx, fx, fy);
  const double distance =
      Length(static_cast<double>(*fx) - px, static_cast<double>(*fy) - py);
  return static_cast<int>(distance < 2147483647.0 ? distance : 2147483647.0);
}

void RotatePoint(int x, int y, int cx, int cy, double s, double c, int* rx, int* ry) {
  const double dx = static_cast<double>(x) - cx;
  const double dy = static_cast<double>(y) - cy;
  *rx = WrapAdd(RoundToNearest(dx * c - dy * s), cx);
  *ry = WrapAdd(RoundToNearest(dx * s + dy * c), cy);
}

BOOL BisectorPointAtDistance(int d, int ax, int ay, int bx, int by, int px, int py, int* x,
                             int* y) {
  const double dx = static_cast<double>(bx) - ax;
  const double dy = static_cast<double>(by) - ay;
  const double length = Length(dx, dy);
  // A style scale of 0 or less (a damaged file) must not let two equal points
  // through to a division by their distance.
  if (!(length > Millimetre()) || !(length > 0)) return FALSE;
  const double mx = (static_cast<double>(ax) + bx) / 2;
  const double my = (static_cast<double>(ay) + by) / 2;
  // Unit normal to the left of A -> B (model y up).
  const double nx = -dy / length;
  const double ny = dx / length;
  const int x1 = RoundToNearest(mx + d * nx);
  const int y1 = RoundToNearest(my + d * ny);
  const int x2 = RoundToNearest(mx - d * nx);
  const int y2 = RoundToNearest(my - d * ny);
  const double d1 = Squared(static_cast<double>(x1) - px) + Squared(static_cast<double>(y1) - py);
  const double d2 = Squared(static_cast<double>(x2) - px) + Squared(static_cast<double>(y2) - py);
  if (d2 < d1) {
    *x = x2;
    *y = y2;
  } else {
    *x = x1;
    *y = y1;
  }
  return TRUE;
}

BOOL IsRotationToward(int ax, int ay, int cx, int cy, int bx, int by) {
  double theta = VectorAngle(cx, cy, bx, by) - VectorAngle(cx, cy, ax, ay);
  while (theta < 0) theta += kTwoPi;
  if (theta > kPi) theta -= kPi;
  const double s = std::sin(theta);
  const double c = std::cos(theta);
  int px = 0;
  int py = 0;
  int mx = 0;
  int my = 0;
  RotatePoint(ax, ay, cx, cy, s, c, &px, &py);
  RotatePoint(ax, ay, cx, cy, -s, c, &mx, &my);
  const double plus = Squared(static_cast<double>(px) - bx) + Squared(static_cast<double>(py) - by);
  const double minus = Squared(static_cast<double>(mx) - bx) + Squared(static_cast<double>(my) - by);
  return plus < minus ? TRUE : FALSE;
}

double PolygonAreaHeron(const CPoint* points, int n) {
  if (points == nullptr || n < 4) return 0;
  auto side = [](CPoint p, CPoint q) {
    return Length(static_cast<double>(q.x) - p.x, static_cast<double>(q.y) - p.y);
  };
  double area = 0;
  for (int i = 0; i <= n - 4; ++i) {
    const double a = side(points[0], points[i + 1]);
    const double b = side(points[i + 1], points[i + 2]);
    const double c = side(points[i + 2], points[0]);
    const double s = (a + b + c) / 2;
    area += std::sqrt(std::fabs((s - a) * s * (s - b) * (s - c)));
  }
  return area;
}

void SegmentToRectangle(int ax, int ay, int bx, int by, int w, CPoint corners[4]) {
  const double dx = static_cast<double>(bx) - ax;
  const double dy = static_cast<double>(by) - ay;
  const double length = Length(dx, dy);
  int nx = 0;
  int ny = 0;
  if (length > 0) {
    nx = RoundToNearest(dy * w / (2 * length));   // -(ay - by) = dy
    ny = RoundToNearest(-dx * w / (2 * length));  // ax - bx = -dx
  }
  corners[0] = CPoint(WrapSub(ax, nx), WrapSub(ay, ny));
  corners[1] = CPoint(WrapAdd(ax, nx), WrapAdd(ay, ny));
  corners[2] = CPoint(WrapAdd(bx, nx), WrapAdd(by, ny));
  corners[3] = CPoint(WrapSub(bx, nx), WrapSub(by, ny));
}

COLORREF GetSizeColor(int /*sizeIndex*/) { return RGB(0, 0, 0); }

CString GetLongestTextLine(const CString& text) {
  const std::string_view all = text.view();
  if (all.find('\n') == std::string_view::npos) return text;
  std::string_view best;
  size_t start = 0;
  while (true) {
    const size_t end = all.find('\n', start);
    const std::string_view line =
        all.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (line.size() > best.size()) best = line;
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  if (best.empty()) return text;
  return CString(best);
}

int32_t TruncateTowardZero(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

int CountTextLines(const CString& text) {
  int lines = 1;
  for (char ch : text.view()) {
    if (ch == '\n') ++lines;
  }
  return lines;
}
