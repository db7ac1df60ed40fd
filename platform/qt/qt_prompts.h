// The prompts of the window program: real Qt dialogs behind the prompt seam.
// Texts go to the screen decoded from GBK and come back encoded to GBK;
// paths are the file system's own bytes both ways, never re-encoded.
#pragma once

#include <functional>
#include <vector>

#include <QDialog>
#include <QFileDialog>
#include <QFont>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include "platform/dialog.h"
#include "platform/geometry_types.h"
#include "platform/prompts.h"
#include "platform/text.h"

class QButtonGroup;
class QLabel;
class QPushButton;

class QtPrompts : public IPrompts {
 public:
  int MessageBox(const CString& text, const CString& caption, UINT type) override;
  std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) override;
  BOOL FontDialog(LOGFONT& font) override;
  std::optional<CString> FolderDialog(const CString& title, const CString& initial) override;
  int RunDialog(CDialog& dialog) override;
  // The folder dialog refuses to confirm a folder that is not acceptable.
  std::optional<CString> FolderDialogAccepting(
      const CString& title, const CString& initial,
      const std::function<bool(const CString&)>& acceptable) override;

  // Starts the pane's run and shows its controls in the file dialog: those
  // to the right of the file-list placeholder in a column beside the
  // dialog's own controls, those below it in a row underneath. The pane is
  // told of every file the user selects and every folder entered.
  static void AddPane(QFileDialog& dialog, CFileDialogPane& pane);

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

// The folder dialog of FolderDialogAccepting: below the folders, the title
// line and a status line with the selected folder (shortened as
// ShortenStatusPath does); its OK button is offered only while the selected
// folder is acceptable, and a folder that is not is never confirmed.
class QtAcceptingFolderDialog : public QFileDialog {
 public:
  QtAcceptingFolderDialog(QWidget* parent, const CString& title, const CString& initial,
                          std::function<bool(const CString&)> acceptable);

  // The user's selection moved to `folder`: the status line shows it and
  // OK follows whether it is acceptable.
  void SelectionMoved(const QString& folder);

  QLabel* TitleLine() const { return title_line_; }
  QLabel* StatusLine() const { return status_line_; }
  QPushButton* OkButton() const { return ok_button_; }

  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<bool(const CString&)> acceptable_;
  QLabel* title_line_ = nullptr;
  QLabel* status_line_ = nullptr;
  QPushButton* ok_button_ = nullptr;
  bool accepted_ = true;
};

// Widgets for controls of a dialog, built from its template and kept equal
// to its control table. The user's changes go into the table through
// CDialog's User...() actions, which run the dialog's handlers; then every
// pane of the dialog is brought up to date from the table (values, lists,
// enabled and shown states), so enable rules reach the screen.
class QtControlPane : public QWidget {
 public:
  // Dialog units to pixels, for a 9-point CJK font.
  static constexpr double kUnitX = 1.75;
  static constexpr double kUnitY = 1.875;

  // Widgets for the controls at `indices` of the dialog's template (all of
  // them when empty), placed relative to `origin_x`, `origin_y` in dialog
  // units. The dialog must have a template and outlive the pane.
  QtControlPane(CDialog& dialog, const std::vector<size_t>& indices, int origin_x, int origin_y,
                QWidget* parent);

  // The widget of control `id` (the first one with that id), or null.
  QWidget* WidgetFor(int id) const;
  void SyncFromTable();

  // The width a control gets on screen: its template width, widened for a
  // check box, radio button or label to what its text needs in the dialog
  // font, so that no text is cut off.
  static int ScreenWidth(const ControlTemplate& t, const QWidget& widget);

  // What the owner does with a click on OK or Cancel (their ids), and after
  // every other action of the user (at least: sync every pane).
  std::function<void(int id)> on_ok_cancel;
  std::function<void()> after_action;

 protected:
  // Return, Enter and Escape in an editable combo box (its list closed) go
  // on to the window, as in every other control: Return presses the default
  // button, Escape cancels. Qt's editable combo box keeps them otherwise.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* MakeWidget(const ControlTemplate& t);
  void Connect(int id, QWidget* widget);
  void Done();

  CDialog& dialog_;
  std::vector<QWidget*> widgets_;  // one per control of the table; null when not built here
  std::vector<QButtonGroup*> groups_;
  bool syncing_ = false;
};

// An options dialog on screen: one pane with every control of the template.
// OK runs the dialog's OnOK and closes only when it ended the dialog;
// Cancel, Escape and closing the window run OnCancel. Return presses the
// default button wherever the focus is (a multi-line edit keeps it). The
// window has the template's size, or more when a control grew to fit its
// text.
class QtDialogHost : public QDialog {
 public:
  QtDialogHost(CDialog& dialog, QWidget* parent = nullptr);

  // Starts the modal run (OnInitDialog) and shows its result on the widgets.
  void Start();
  QWidget* WidgetFor(int id) const { return pane_->WidgetFor(id); }
  void SyncFromTable() { pane_->SyncFromTable(); }

  void accept() override;
  void reject() override;

 private:
  // After any action of the user: close when the dialog ended itself,
  // otherwise show the table.
  void AfterUserAction();

  CDialog& dialog_;
  QtControlPane* pane_ = nullptr;
};
