// The prompts of the window program: real Qt dialogs behind the prompt seam.
// Texts go to the screen decoded from GBK and come back encoded to GBK;
// paths are the file system's own bytes both ways, never re-encoded.
#pragma once

#include <vector>

#include <QDialog>
#include <QFont>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include "platform/dialog.h"
#include "platform/geometry_types.h"
#include "platform/prompts.h"
#include "platform/text.h"

class QButtonGroup;

class QtPrompts : public IPrompts {
 public:
  int MessageBox(const CString& text, const CString& caption, UINT type) override;
  std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) override;
  BOOL FontDialog(LOGFONT& font) override;
  std::optional<CString> FolderDialog(const CString& title, const CString& initial) override;
  int RunDialog(CDialog& dialog) override;

  // --- the translations, each in one place ---

  // The icon and buttons of a message box of `type` (MB_ flags), and the
  // answer for the button the user pressed; closing the box without a
  // button gives the box's cancel-like answer (IDCANCEL, IDNO for yes/no,
  // IDOK for a box with OK alone).
  static QMessageBox::Icon IconFor(UINT type);
  static QMessageBox::StandardButtons ButtonsFor(UINT type);
  static int AnswerFor(int pressed, UINT type);

  // "Name|*.a;*.b|All Files (*.*)|*.*|" as Qt name filters, one per pair, in
  // order: "Name (*.a *.b)", "All Files (*.*) (*)". The dialog hides the
  // part Qt reads the patterns from, so the user sees the names as written.
  // "*.*" means every file, as it did on Windows.
  static QStringList NameFilters(const CString& filter);

  // The font dialog's font for a logical font whose negative height is in
  // pixels at kFontDialogDpi, and back: the chosen face, size, weight and
  // style go into a copy of `base`, which keeps everything else
  // (escapement, character set, quality, ...). lfWidth becomes 0.
  static constexpr int kFontDialogDpi = 96;
  static QFont DialogFontFor(const LOGFONT& font);
  static LOGFONT LogFontFrom(const QFont& font, const LOGFONT& base);

  static QString FromGbk(const CString& text);
  static CString ToGbk(const QString& text);
};

// An options dialog on screen: widgets built from the dialog's template and
// kept equal to its control table. The user's changes go into the table
// through CDialog's User...() actions, which run the dialog's handlers; the
// widgets are then brought up to date from the table (values, lists,
// enabled and shown states), so enable rules reach the screen. OK runs the
// dialog's OnOK and closes only when it ended the dialog; Cancel, Escape and
// closing the window run OnCancel.
class QtDialogHost : public QDialog {
 public:
  // Dialog units to pixels, for a 9-point CJK font.
  static constexpr double kUnitX = 1.75;
  static constexpr double kUnitY = 1.875;

  // Builds the widgets; the dialog must have a template and outlive the host.
  QtDialogHost(CDialog& dialog, QWidget* parent = nullptr);
  ~QtDialogHost() override;

  // Starts the modal run (OnInitDialog) and shows its result on the widgets.
  void Start();
  // The widget of control `id` (the first one with that id), or null.
  QWidget* WidgetFor(int id) const;
  // Brings every widget up to date from the control table.
  void SyncFromTable();

  void accept() override;
  void reject() override;

 private:
  void Build();
  QWidget* MakeWidget(size_t index, const ControlTemplate& t);
  void Connect(size_t index, QWidget* widget);
  // After any action of the user: close when the dialog ended itself,
  // otherwise show the table.
  void AfterUserAction();

  CDialog& dialog_;
  std::vector<QWidget*> widgets_;  // one per control of the table, same order
  std::vector<QButtonGroup*> groups_;
  bool syncing_ = false;
};
