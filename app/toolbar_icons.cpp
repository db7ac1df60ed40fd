#include "app/toolbar_icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include "res/command_ids.h"

namespace {

const QColor kInk(0, 0, 0);
const QColor kFolder(230, 190, 60);
const QColor kFolderDark(160, 120, 20);
const QColor kDisk(40, 70, 160);
const QColor kPaper(255, 255, 255);

// A letter in the lower right corner that tells apart the files a folder or
// disk button opens or saves.
void DrawTag(QPainter& p, QChar letter, const QColor& color) {
  QFont font;
  font.setFamily("DejaVu Sans");
  font.setPixelSize(9);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::NoPen);
  p.setBrush(kPaper);
  p.drawRect(QRect(9, 7, 7, 8));
  p.setPen(color);
  p.drawText(QRect(9, 6, 7, 9), Qt::AlignCenter, QString(letter));
}

void DrawPage(QPainter& p) {
  const QPolygon page({QPoint(3, 1), QPoint(9, 1), QPoint(12, 4), QPoint(12, 14), QPoint(3, 14)});
  p.setPen(kInk);
  p.setBrush(kPaper);
  p.drawPolygon(page);
  p.drawPolyline(QPolygon({QPoint(9, 1), QPoint(9, 4), QPoint(12, 4)}));
}

void DrawFolder(QPainter& p) {
  p.setPen(kFolderDark);
  p.setBrush(kFolder);
  p.drawPolygon(QPolygon({QPoint(0, 3), QPoint(5, 3), QPoint(6, 4), QPoint(13, 4), QPoint(13, 13), QPoint(0, 13)}));
  p.setBrush(kFolder.lighter(120));
  p.drawPolygon(QPolygon({QPoint(0, 13), QPoint(3, 7), QPoint(15, 7), QPoint(13, 13)}));
}

void DrawDisk(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kDisk);
  p.drawRect(QRect(1, 1, 13, 13));
  p.setBrush(kPaper);
  p.drawRect(QRect(3, 1, 9, 5));
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(QRect(4, 9, 7, 5));
}

void DrawShowAll(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRect(4, 4, 7, 6));
  // Arrows out of every corner.
  const QPoint corners[4][3] = {
      {QPoint(0, 0), QPoint(3, 0), QPoint(0, 3)},
      {QPoint(15, 0), QPoint(12, 0), QPoint(15, 3)},
      {QPoint(0, 14), QPoint(3, 14), QPoint(0, 11)},
      {QPoint(15, 14), QPoint(12, 14), QPoint(15, 11)},
  };
  const QPoint inner[4] = {QPoint(3, 3), QPoint(12, 3), QPoint(3, 11), QPoint(12, 11)};
  for (int i = 0; i < 4; ++i) {
    p.drawLine(corners[i][0], inner[i]);
    p.drawLine(corners[i][0], corners[i][1]);
    p.drawLine(corners[i][0], corners[i][2]);
  }
}

void DrawRemovePiece(QPainter& p) {
  // A bodice-like piece.
  p.setPen(kInk);
  p.setBrush(QColor(210, 230, 250));
  p.drawPolygon(QPolygon({QPoint(2, 2), QPoint(7, 1), QPoint(11, 3), QPoint(10, 13), QPoint(1, 13)}));
  QPen cross(QColor(200, 0, 0));
  cross.setWidth(2);
  p.setPen(cross);
  p.drawLine(QPoint(9, 8), QPoint(14, 13));
  p.drawLine(QPoint(14, 8), QPoint(9, 13));
}

void DrawFontLetter(QPainter& p) {
  QFont font;
  font.setFamily("DejaVu Serif");
  font.setPixelSize(14);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(0, 0, 160));
  p.drawText(QRect(0, 0, 16, 15), Qt::AlignCenter, "A");
}

void DrawAbout(QPainter& p) {
  p.setPen(QColor(0, 60, 160));
  p.setBrush(QColor(220, 235, 255));
  p.drawEllipse(QRect(1, 0, 13, 13));
  QFont font;
  font.setFamily("DejaVu Sans");
  font.setPixelSize(11);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRect(1, 0, 14, 14), Qt::AlignCenter, "?");
}

}  // namespace

QImage ToolbarImage(int commandId) {
  QImage image(kToolbarImageWidth, kToolbarImageHeight, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  switch (commandId) {
    case ID_FILE_NEW_STYLE:
      DrawPage(p);
      break;
    case ID_FILE_OPEN_PTN:
      DrawFolder(p);
      break;
    case ID_FILE_OPEN_DXF:
      DrawFolder(p);
      DrawTag(p, 'D', QColor(0, 110, 0));
      break;
    case ID_FILE_OPEN_AAMA:
      DrawFolder(p);
      DrawTag(p, 'A', QColor(160, 0, 0));
      break;
    case ID_FILE_OPEN_GGT:
      DrawFolder(p);
      DrawTag(p, 'G', QColor(0, 0, 160));
      break;
    case ID_FILE_OPEN_IBA:
      DrawFolder(p);
      DrawTag(p, 'L', QColor(120, 0, 140));
      break;
    case ID_FILE_SAVE_PTN:
      DrawDisk(p);
      break;
    case ID_FILE_SAVE_DXF:
      DrawDisk(p);
      DrawTag(p, 'D', QColor(0, 110, 0));
      break;
    case ID_FILE_SAVE_AAMA:
      DrawDisk(p);
      DrawTag(p, 'A', QColor(160, 0, 0));
      break;
    case ID_VIEW_FULL_SCREEN:
      DrawShowAll(p);
      break;
    case ID_VIEW_REMOVE_PIECE:
      DrawRemovePiece(p);
      break;
    case ID_VIEW_DEFAULT_FONT:
      DrawFontLetter(p);
      break;
    case ID_APP_ABOUT:
      DrawAbout(p);
      break;
    default:
      p.setPen(kInk);
      p.drawRect(QRect(2, 2, 11, 10));
      break;
  }
  return image;
}
