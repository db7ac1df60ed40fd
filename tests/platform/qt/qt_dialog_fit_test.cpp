// Every dialog of the program shows the whole text of its check boxes,
// radio buttons and labels, inside its window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QString>
#include <QStyle>

#include "platform/dialog.h"
#include "platform/qt/qt_prompts.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

// What a check box or radio button needs: its indicator, the gap after it
// and its text as drawn (the mnemonic's '&' is not drawn).
int ButtonNeeds(const QAbstractButton& button, QStyle::PixelMetric indicator, QStyle::PixelMetric spacing) {
  QString text = button.text();
  text.remove(QLatin1Char('&'));
  return button.style()->pixelMetric(indicator, nullptr, &button) +
         button.style()->pixelMetric(spacing, nullptr, &button) + button.fontMetrics().horizontalAdvance(text);
}

TEST(QtDialogFitTest, EveryTextControlOfEveryDialogIsWideEnoughForItsText) {
  ScriptedPrompts prompts;
  ScopedPrompts installed{&prompts};
  ASSERT_FALSE(AllDialogTemplateIds().empty());
  for (int id : AllDialogTemplateIds()) {
    SCOPED_TRACE(id);
    CDialog dialog(id);
    QtDialogHost host(dialog);
    host.Start();
    auto fits = [&](const QWidget& w, int needed, const QString& text) {
      EXPECT_GE(w.width(), needed) << text.toStdString();
      EXPECT_LE(w.mapTo(&host, QPoint(w.width(), 0)).x(), host.width()) << text.toStdString();
    };
    for (const QCheckBox* box : host.findChildren<QCheckBox*>()) {
      fits(*box, ButtonNeeds(*box, QStyle::PM_IndicatorWidth, QStyle::PM_CheckBoxLabelSpacing), box->text());
    }
    for (const QRadioButton* radio : host.findChildren<QRadioButton*>()) {
      fits(*radio, ButtonNeeds(*radio, QStyle::PM_ExclusiveIndicatorWidth, QStyle::PM_RadioButtonLabelSpacing),
           radio->text());
    }
    for (const QLabel* label : host.findChildren<QLabel*>()) {
      if (label->text().isEmpty()) continue;
      fits(*label, label->fontMetrics().horizontalAdvance(label->text()), label->text());
    }
    // Grown to fit, a control still covers no other control (frames aside).
    const QList<QWidget*> controls = host.findChildren<QWidget*>();
    for (const QAbstractButton* button : host.findChildren<QAbstractButton*>()) {
      for (const QWidget* other : controls) {
        if (other == button || other->parentWidget() != button->parentWidget() || qobject_cast<const QGroupBox*>(other)) {
          continue;
        }
        // Rounding units to pixels lets rows one dialog unit apart share a pixel row.
        EXPECT_LE(button->geometry().intersected(other->geometry()).height(), 1)
            << button->text().toStdString() << " covers " << other->metaObject()->className();
      }
    }
  }
}

TEST(QtDialogFitTest, TheLongestAamaSaveOptionIsShownWhole) {
  ScriptedPrompts prompts;
  ScopedPrompts installed{&prompts};
  CDialog dialog(IDD_AAMA_SAVE);
  QtDialogHost host(dialog);
  host.Start();
  auto* ascii = qobject_cast<QRadioButton*>(host.WidgetFor(IDC_AAMA_SAVE_TEXT_ASCII));
  ASSERT_NE(ascii, nullptr);
  EXPECT_EQ(ascii->text(), QString::fromUtf8("全部输出为英文字符"));
  EXPECT_GE(ascii->width(), ascii->sizeHint().width());
}

}  // namespace
