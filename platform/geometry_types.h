// Points, sizes, rectangles and the logical font, with the meaning the drawing
// code and the stored files give them.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/win_types.h"

struct CSize {
  int32_t cx = 0;
  int32_t cy = 0;
  constexpr CSize() = default;
  constexpr CSize(int32_t x, int32_t y) : cx(x), cy(y) {}
  friend constexpr bool operator==(const CSize&, const CSize&) = default;
};

struct CPoint {
  int32_t x = 0;
  int32_t y = 0;
  constexpr CPoint() = default;
  constexpr CPoint(int32_t px, int32_t py) : x(px), y(py) {}
  void Offset(int32_t dx, int32_t dy) { x += dx; y += dy; }
  friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
  constexpr CPoint operator+(const CPoint& o) const { return {x + o.x, y + o.y}; }
  constexpr CPoint operator-(const CPoint& o) const { return {x - o.x, y - o.y}; }
};

// A box whose right and bottom edges lie outside it, as on the screen:
// (0, 0, 10, 10) covers pixels 0..9 each way.
struct CRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  constexpr CRect() = default;
  constexpr CRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
  constexpr CRect(CPoint top_left, CPoint bottom_right)
      : left(top_left.x), top(top_left.y), right(bottom_right.x), bottom(bottom_right.y) {}

  constexpr int32_t Width() const { return right - left; }
  constexpr int32_t Height() const { return bottom - top; }
  constexpr CPoint TopLeft() const { return {left, top}; }
  constexpr CPoint BottomRight() const { return {right, bottom}; }
  constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }
  constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
  constexpr bool PtInRect(CPoint p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  void SetRect(int32_t l, int32_t t, int32_t r, int32_t b) { left = l; top = t; right = r; bottom = b; }
  void SetRectEmpty() { left = top = right = bottom = 0; }
  void OffsetRect(int32_t dx, int32_t dy) { left += dx; right += dx; top += dy; bottom += dy; }
  void InflateRect(int32_t dx, int32_t dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
  void DeflateRect(int32_t dx, int32_t dy) { InflateRect(-dx, -dy); }
  // Swaps edges so that left <= right and top <= bottom.
  void NormalizeRect() {
    if (left > right) { int32_t t = left; left = right; right = t; }
    if (top > bottom) { int32_t t = top; top = bottom; bottom = t; }
  }
  // Union of two boxes; an empty box takes no part. Both empty gives an empty box.
  BOOL UnionRect(const CRect& a, const CRect& b);
  // Overlap of two boxes; no overlap gives an empty box and FALSE.
  BOOL IntersectRect(const CRect& a, const CRect& b);
  friend constexpr bool operator==(const CRect&, const CRect&) = default;
};

inline BOOL CRect::UnionRect(const CRect& a, const CRect& b) {
  if (a.IsRectEmpty() && b.IsRectEmpty()) { SetRectEmpty(); return FALSE; }
  if (a.IsRectEmpty()) { *this = b; return TRUE; }
  if (b.IsRectEmpty()) { *this = a; return TRUE; }
  left = a.left < b.left ? a.left : b.left;
  top = a.top < b.top ? a.top : b.top;
  right = a.right > b.right ? a.right : b.right;
  bottom = a.bottom > b.bottom ? a.bottom : b.bottom;
  return TRUE;
}

inline BOOL CRect::IntersectRect(const CRect& a, const CRect& b) {
  CRect r(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
          a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom);
  if (r.IsRectEmpty()) { SetRectEmpty(); return FALSE; }
  *this = r;
  return TRUE;
}

inline constexpr int LF_FACESIZE = 32;

// The logical font as the settings file "kov.dat" and the native pattern files
// store it: 60 bytes, five little-endian int32 fields, eight single bytes and a
// 32-byte face name (GBK bytes, NUL-terminated when shorter).
struct LOGFONT {
  int32_t lfHeight = 0;
  int32_t lfWidth = 0;
  int32_t lfEscapement = 0;   // tenths of a degree, counter-clockwise
  int32_t lfOrientation = 0;
  int32_t lfWeight = 0;
  uint8_t lfItalic = 0;
  uint8_t lfUnderline = 0;
  uint8_t lfStrikeOut = 0;
  uint8_t lfCharSet = 0;
  uint8_t lfOutPrecision = 0;
  uint8_t lfClipPrecision = 0;
  uint8_t lfQuality = 0;
  uint8_t lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};

  static constexpr size_t kStoredSize = 60;

  // Writes the stored layout. The field order above is the stored order.
  std::array<uint8_t, kStoredSize> ToBytes() const;
  // Reads the stored layout. The face name is always terminated: a name that
  // fills all 32 bytes keeps its first 31.
  static LOGFONT FromBytes(const uint8_t* bytes);
  // Reads the stored layout byte for byte: all 32 face-name bytes are kept,
  // with no terminator forced, so that ToBytes gives back exactly the bytes
  // read (a text item's font in a pattern file). Whoever reads the face name
  // bounds it by LF_FACESIZE (strnlen), never by a terminator.
  static LOGFONT FromBytesExact(const uint8_t* bytes);
};
static_assert(sizeof(LOGFONT) == LOGFONT::kStoredSize, "LOGFONT is stored as 60 bytes");

inline std::array<uint8_t, LOGFONT::kStoredSize> LOGFONT::ToBytes() const {
  std::array<uint8_t, kStoredSize> out{};
  const int32_t ints[5] = {lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight};
  for (int i = 0; i < 5; ++i) {
    const uint32_t v = static_cast<uint32_t>(ints[i]);
    for (int b = 0; b < 4; ++b) out[i * 4 + b] = static_cast<uint8_t>(v >> (8 * b));
  }
  const uint8_t bytes[8] = {lfItalic, lfUnderline, lfStrikeOut, lfCharSet,
                            lfOutPrecision, lfClipPrecision, lfQuality, lfPitchAndFamily};
  std::memcpy(out.data() + 20, bytes, 8);
  std::memcpy(out.data() + 28, lfFaceName, LF_FACESIZE);
  return out;
}

inline LOGFONT LOGFONT::FromBytesExact(const uint8_t* in) {
  LOGFONT f;
  int32_t ints[5];
  for (int i = 0; i < 5; ++i) {
    uint32_t v = 0;
    for (int b = 0; b < 4; ++b) v |= static_cast<uint32_t>(in[i * 4 + b]) << (8 * b);
    ints[i] = static_cast<int32_t>(v);
  }
  f.lfHeight = ints[0];
  f.lfWidth = ints[1];
  f.lfEscapement = ints[2];
  f.lfOrientation = ints[3];
  f.lfWeight = ints[4];
  f.lfItalic = in[20];
  f.lfUnderline = in[21];
  f.lfStrikeOut = in[22];
  f.lfCharSet = in[23];
  f.lfOutPrecision = in[24];
  f.lfClipPrecision = in[25];
  f.lfQuality = in[26];
  f.lfPitchAndFamily = in[27];
  std::memcpy(f.lfFaceName, in + 28, LF_FACESIZE);
  return f;
}

inline LOGFONT LOGFONT::FromBytes(const uint8_t* in) {
  LOGFONT f = FromBytesExact(in);
  f.lfFaceName[LF_FACESIZE - 1] = '\0';
  return f;
}
