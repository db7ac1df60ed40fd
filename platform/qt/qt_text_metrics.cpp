#include "platform/qt/qt_text_metrics.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QStringConverter>
#include <QStringList>

namespace {

int ClampPixels(int64_t pixels) {
  if (pixels < 1) return 1;
  if (pixels > QtTextMetrics::kMaxPixelHeight) return QtTextMetrics::kMaxPixelHeight;
  return static_cast<int>(pixels);
}

// The em size whose ascent plus descent is `cell` pixels in this family.
int PixelSizeForCell(QFont font, int cell) {
  font.setPixelSize(cell);
  const QFontMetricsF metrics(font);
  const double measured = metrics.ascent() + metrics.descent();
  if (!(measured > 0)) return cell;
  return ClampPixels(std::llround(cell * (cell / measured)));
}

}  // namespace

QString QtTextMetrics::Decode(std::string_view gbk) {
  QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
  if (!decoder.isValid()) return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
  QString text = decoder.decode(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
  // The decoder drops a lead byte that ends the text without its trail byte;
  // it is shown as one bad character instead, like any other bad byte.
  bool lead_open = false;
  for (const char byte : gbk) lead_open = !lead_open && IsGbkLeadByte(static_cast<unsigned char>(byte));
  if (lead_open) text += QChar(QChar::ReplacementCharacter);
  return text;
}

QFont QtTextMetrics::FontFor(const LOGFONT& lf) {
  QFont font;
  const size_t name_length = strnlen(lf.lfFaceName, LF_FACESIZE);
  const QString face = Decode(std::string_view(lf.lfFaceName, name_length)).trimmed();
  QStringList families;
  families << (face.isEmpty() ? QGuiApplication::font().family() : face);
  families << QString::fromLatin1(kCjkFallbackFamily);
  font.setFamilies(families);

  font.setWeight(lf.lfWeight <= 0 ? QFont::Normal : static_cast<QFont::Weight>(lf.lfWeight > 1000 ? 1000 : lf.lfWeight));
  font.setItalic(lf.lfItalic != 0);
  font.setUnderline(lf.lfUnderline != 0);
  font.setStrikeOut(lf.lfStrikeOut != 0);
  // Windows places characters by their own advances, without kerning pairs.
  font.setKerning(false);

  const int64_t height = lf.lfHeight;
  if (height < 0) {
    font.setPixelSize(ClampPixels(-height));
  } else {
    font.setPixelSize(PixelSizeForCell(font, ClampPixels(height == 0 ? kDefaultCellHeight : height)));
  }

  if (lf.lfWidth != 0) {
    const double natural = QFontMetricsF(font).averageCharWidth();
    if (natural > 0) {
      const double wanted = std::fabs(static_cast<double>(lf.lfWidth));
      const double stretch = std::round(100.0 * wanted / natural);
      font.setStretch(stretch < 1 ? 1 : stretch > 4000 ? 4000 : static_cast<int>(stretch));
    }
  }
  return font;
}

CSize QtTextMetrics::Extent(const LOGFONT& font, std::string_view gbk_text) const {
  const QFontMetrics metrics(FontFor(font));
  return CSize(metrics.horizontalAdvance(Decode(gbk_text)), metrics.ascent() + metrics.descent());
}

int QtTextMetrics::Ascent(const LOGFONT& font) const {
  return QFontMetrics(FontFor(font)).ascent();
}

int QtTextMetrics::Descent(const LOGFONT& font) const {
  return QFontMetrics(FontFor(font)).descent();
}
