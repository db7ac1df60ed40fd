// Text measured with the fonts Qt draws it in, and the one mapping from the
// stored logical font (LOGFONT) to a Qt font that the canvas uses as well, so
// that what GetTextExtent says is what the canvas paints.
#pragma once

#include <string_view>

#include <QFont>
#include <QString>

#include "platform/dc.h"

class QtTextMetrics : public ITextMetrics {
 public:
  // Width: the advance of the decoded text; height: ascent plus descent.
  CSize Extent(const LOGFONT& font, std::string_view gbk_text) const override;
  int Ascent(const LOGFONT& font) const override;
  int Descent(const LOGFONT& font) const override;

  // The family that draws Chinese text when the named face is missing.
  static constexpr const char* kCjkFallbackFamily = "WenQuanYi Micro Hei";
  // Heights are capped at this many pixels; file fonts can be absurd.
  static constexpr int kMaxPixelHeight = 32000;
  // The cell height a font of height 0 ("any size") gets.
  static constexpr int kDefaultCellHeight = 16;

  // The Qt font for a logical font:
  // - a negative lfHeight is the character height in pixels (the em size),
  //   a positive one the cell height (ascent plus descent), 0 a default size;
  // - lfWeight 0 is normal, otherwise 1..1000 as in the font itself;
  // - lfItalic, lfUnderline and lfStrikeOut as flags; a non-zero lfWidth
  //   (average character width) stretches the font to match;
  // - the face name, GBK bytes, names the family, with kCjkFallbackFamily
  //   behind it; an empty name gives the application's default family.
  // Escapement is not part of the font: the canvas turns the text itself.
  static QFont FontFor(const LOGFONT& font);

  // GBK bytes as Qt text. Bad bytes become U+FFFD, as on Windows.
  static QString Decode(std::string_view gbk);
};
