// Picture controls that the dialog paints itself: the Qt prompts draw them
// through CDialog::PaintControl on a canvas, and repaint them when the dialog
// asks for it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>

#include "platform/dc.h"
#include "platform/dialog.h"
#include "platform/qt/qt_prompts.h"

namespace {

constexpr int kPicture = 1387;
constexpr int kFramed = 1390;

ControlTemplate Picture(int id, int x) {
  ControlTemplate c;
  c.id = id;
  c.kind = ControlKind::kPicture;
  c.x = x;
  c.y = 4;
  c.cx = 80;
  c.cy = 80;
  return c;
}

const DialogTemplate kTemplate{9300, "preview", 200, 100, {Picture(kPicture, 4), Picture(kFramed, 100)}};

// Paints its first picture control white, crossed by its diagonals in black.
class CrossedPicture : public CDialog {
 public:
  CrossedPicture() : CDialog(kTemplate.id, &kTemplate) {}
  int paints = 0;

  bool PaintControl(int id, CDC& dc, const CRect& client) override {
    if (id != kPicture) return false;
    ++paints;
    dc.FillSolidRect(client, RGB(255, 255, 255));
    dc.MoveTo(client.left, client.top);
    dc.LineTo(client.right, client.bottom);
    dc.MoveTo(client.right, client.top);
    dc.LineTo(client.left, client.bottom);
    return true;
  }
};

// Whether a black pixel lies within one pixel of (x, y).
bool BlackNear(const QImage& image, int x, int y) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int px = x + dx;
      const int py = y + dy;
      if (image.valid(px, py) && image.pixelColor(px, py) == QColor(Qt::black)) return true;
    }
  }
  return false;
}

TEST(QtPictureControl, TheDialogPaintsItsPictureControl) {
  CrossedPicture dialog;
  QtDialogHost host(dialog);
  host.Start();
  QWidget* picture = host.WidgetFor(kPicture);
  ASSERT_NE(picture, nullptr);
  const QImage image = picture->grab().toImage();
  const int w = image.width();
  const int h = image.height();
  ASSERT_GT(w, 20);
  ASSERT_GT(h, 20);
  EXPECT_GE(dialog.paints, 1);
  // Both diagonals, at a quarter and at three quarters of their length.
  for (double t : {0.25, 0.5, 0.75}) {
    SCOPED_TRACE(t);
    EXPECT_TRUE(BlackNear(image, static_cast<int>(t * w), static_cast<int>(t * h)));
    EXPECT_TRUE(BlackNear(image, static_cast<int>((1 - t) * w), static_cast<int>(t * h)));
  }
  // Between the diagonals the box is white.
  EXPECT_EQ(image.pixelColor(w / 2, h / 8), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(w / 8, h / 2), QColor(Qt::white));

  // A picture control the dialog leaves alone keeps its frame and is never crossed.
  const QImage framed = host.WidgetFor(kFramed)->grab().toImage();
  EXPECT_NE(framed.pixelColor(framed.width() / 2, framed.height() / 2), QColor(Qt::black));
}

TEST(QtPictureControl, ARepaintTheDialogAsksForReachesTheScreen) {
  CrossedPicture dialog;
  QtDialogHost host(dialog);
  host.Start();
  host.show();
  QApplication::processEvents();
  const int shown = dialog.paints;
  ASSERT_GE(shown, 1);

  host.SyncFromTable();
  QApplication::processEvents();
  EXPECT_EQ(dialog.paints, shown);

  dialog.InvalidateControl(kPicture);
  EXPECT_EQ(dialog.FindControl(kPicture)->repaints, 1);
  host.SyncFromTable();
  QApplication::processEvents();
  EXPECT_GT(dialog.paints, shown);
  host.hide();
}

}  // namespace
