#include "platform/qt/qt_prompts.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <string>

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTreeWidget>

#include "platform/gbk.h"
#include "platform/qt/canvas_dc.h"
#include "platform/qt/qt_text_metrics.h"

namespace {

inline constexpr UINT kTypeMask = 0x0F;
inline constexpr UINT kIconMask = 0xF0;

QWidget* ActiveWindow() { return QApplication::activeWindow(); }

QString PathFromBytes(const CString& path) {
  return QFile::decodeName(QByteArray(path.c_str(), path.GetLength()));
}

CString PathToBytes(const QString& path) {
  const QByteArray bytes = QFile::encodeName(path);
  return CString(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}

// Static texts show "&x" as an underlined x on Windows; a label has no use
// for the mnemonic, so "&" goes and "&&" stays as one "&".
QString WithoutMnemonic(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != u'&') {
      out += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == u'&') {
      out += u'&';
      ++i;
    }
  }
  return out;
}

QString Utf8(const char* text) { return QString::fromUtf8(text ? text : ""); }

// A picture control: a framed box, unless the dialog paints the control
// itself (CDialog::PaintControl). Then the dialog draws on a canvas of the
// control's size, which is copied to the screen whole.
class PictureControl : public QFrame {
 public:
  PictureControl(CDialog& dialog, int id, QWidget* parent) : QFrame(parent), dialog_(dialog), id_(id) {
    setFrameShape(QFrame::Box);
  }

  // Repaints when the dialog has asked for it since the last time.
  void FollowRepaints(int repaints) {
    if (repaints == repaints_seen_) return;
    repaints_seen_ = repaints;
    update();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QImage canvas(size(), QImage::Format_RGB32);
    canvas.fill(palette().color(QPalette::Window));
    bool painted = false;
    {
      QtCanvasDC dc(canvas);
      painted = dialog_.PaintControl(id_, dc, CRect(0, 0, width(), height()));
    }
    if (!painted) {
      QFrame::paintEvent(event);
      return;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, canvas);
  }

 private:
  CDialog& dialog_;
  int id_;
  int repaints_seen_ = 0;
};

}  // namespace

// --- texts and translations ---

QString QtPrompts::FromGbk(const CString& text) {
  const std::string utf8 = GbkToUtf8(text.view());
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

CString QtPrompts::ToGbk(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return CString(Utf8ToGbk(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size()))));
}

QMessageBox::Icon QtPrompts::IconFor(UINT type) {
  switch (type & kIconMask) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButtons QtPrompts::ButtonsFor(UINT type) {
  switch (type & kTypeMask) {
    case MB_OKCANCEL: return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO: return QMessageBox::Yes | QMessageBox::No;
    default: return QMessageBox::Ok;
  }
}

int QtPrompts::AnswerFor(int pressed, UINT type) {
  switch (pressed) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: break;
  }
  switch (type & kTypeMask) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL: return IDCANCEL;
    case MB_YESNO: return IDNO;
    default: return IDOK;
  }
}

QStringList QtPrompts::NameFilters(const CString& filter) {
  const QStringList parts = FromGbk(filter).split(u'|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& name = parts[i];
    QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
    if (patterns.isEmpty()) continue;  // a name without patterns, or the closing "|"
    for (QString& p : patterns) {
      p = p.trimmed();
      if (p == QStringLiteral("*.*")) p = QStringLiteral("*");
    }
    out << name + QStringLiteral(" (") + patterns.join(u' ') + u')';
  }
  return out;
}

QFont QtPrompts::DialogFontFor(const LOGFONT& font) {
  QFont f = QtTextMetrics::FontFor(font);
  // The dialog lists sizes in points: give it the same size in points.
  const int pixels = f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
  f.setPointSizeF(pixels * 72.0 / kFontDialogDpi);
  return f;
}

LOGFONT QtPrompts::LogFontFrom(const QFont& font, const LOGFONT& base) {
  LOGFONT lf = base;
  double pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * kFontDialogDpi / 72.0;
  if (!(pixels >= 1.0)) pixels = 1.0;
  if (pixels > QtTextMetrics::kMaxPixelHeight) pixels = QtTextMetrics::kMaxPixelHeight;
  lf.lfHeight = -static_cast<int32_t>(std::lround(pixels));
  lf.lfWidth = 0;
  lf.lfWeight = std::clamp(static_cast<int>(font.weight()), 1, 1000);
  lf.lfItalic = font.italic() ? 1 : 0;
  lf.lfUnderline = font.underline() ? 1 : 0;
  lf.lfStrikeOut = font.strikeOut() ? 1 : 0;
  // The face name is stored in 32 bytes with its terminating zero: cut it
  // before the last whole character that fits.
  const CString face = ToGbk(font.family());
  int length = 0;
  while (length < face.GetLength()) {
    const int step = IsGbkLeadByte(static_cast<unsigned char>(face[length])) ? 2 : 1;
    if (length + step > LF_FACESIZE - 1) break;
    length += step;
  }
  std::memset(lf.lfFaceName, 0, sizeof(lf.lfFaceName));
  std::memcpy(lf.lfFaceName, face.c_str(), static_cast<size_t>(length));
  return lf;
}

// --- the standard dialogs ---

int QtPrompts::MessageBox(const CString& text, const CString& caption, UINT type) {
  const QString title = caption.IsEmpty() ? QApplication::applicationDisplayName() : FromGbk(caption);
  QMessageBox box(IconFor(type), title, FromGbk(text), ButtonsFor(type), ActiveWindow());
  const QMessageBox::StandardButtons buttons = ButtonsFor(type);
  box.setDefaultButton(buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok);
  return AnswerFor(box.exec(), type);
}

std::optional<FileDialogResult> QtPrompts::FileDialog(const FileDialogRequest& request) {
  QFileDialog dialog(ActiveWindow(), FromGbk(request.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  if (request.open) {
    dialog.setFileMode(request.multi_select ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  } else {
    dialog.setFileMode(QFileDialog::AnyFile);
  }
  dialog.setDefaultSuffix(FromGbk(request.default_extension));
  const QStringList filters = NameFilters(request.filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!request.initial_name.IsEmpty()) {
    const QFileInfo initial(PathFromBytes(request.initial_name));
    if (initial.dir().exists()) dialog.setDirectory(initial.absolutePath());
    dialog.selectFile(initial.fileName());
  }
  CFileDialogPane* pane = request.pane;
  if (pane) AddPane(dialog, *pane);
  std::optional<FileDialogResult> result;
  if (dialog.exec() == QDialog::Accepted) {
    FileDialogResult chosen;
    for (const QString& path : dialog.selectedFiles()) chosen.paths.push_back(PathToBytes(path));
    const qsizetype filter = filters.indexOf(dialog.selectedNameFilter());
    chosen.filter_index = filter >= 0 ? static_cast<int>(filter) + 1 : 1;
    if (!chosen.paths.empty()) result = std::move(chosen);
  }
  if (pane) pane->EndDialog(result ? IDOK : IDCANCEL);
  return result;
}

void QtPrompts::AddPane(QFileDialog& dialog, CFileDialogPane& pane) {
  pane.BeginModalRun();
  const DialogTemplate* t = pane.GetTemplate();
  auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
  if (!t || !grid) return;
  // The placeholder stands for the file dialog's own controls: what lies to
  // its right goes in a column beside them, what lies below it in a row
  // under them. Without a placeholder everything goes beside them.
  const ControlTemplate* holder = nullptr;
  for (const ControlTemplate& c : t->controls) {
    if (c.id == CFileDialogPane::kFileListPlaceholder) holder = &c;
  }
  std::vector<size_t> beside, below;
  int beside_x = INT32_MAX, beside_y = INT32_MAX, below_x = INT32_MAX, below_y = INT32_MAX;
  for (size_t i = 0; i < t->controls.size(); ++i) {
    const ControlTemplate& c = t->controls[i];
    if (&c == holder) continue;
    if (holder && c.x < holder->x + holder->cx && c.y >= holder->y + holder->cy) {
      below.push_back(i);
      below_x = std::min(below_x, c.x);
      below_y = std::min(below_y, c.y);
    } else {
      beside.push_back(i);
      beside_x = std::min(beside_x, c.x);
      beside_y = std::min(beside_y, c.y);
    }
  }
  std::vector<QtControlPane*> panes;
  if (!beside.empty()) panes.push_back(new QtControlPane(pane, beside, beside_x, beside_y, &dialog));
  if (!below.empty()) panes.push_back(new QtControlPane(pane, below, below_x, below_y, &dialog));
  const int rows = grid->rowCount();
  const int columns = grid->columnCount();
  if (!beside.empty()) grid->addWidget(panes.front(), 0, columns, rows, 1, Qt::AlignTop);
  if (!below.empty()) grid->addWidget(panes.back(), rows, 0, 1, columns, Qt::AlignLeft);
  auto sync_all = [panes] {
    for (QtControlPane* p : panes) p->SyncFromTable();
  };
  for (QtControlPane* p : panes) p->after_action = sync_all;
  sync_all();
  QObject::connect(&dialog, &QFileDialog::currentChanged, &dialog, [&pane, sync_all](const QString& path) {
    if (path.isEmpty() || QFileInfo(path).isDir()) return;
    pane.SelectFile(PathToBytes(path));
    sync_all();
  });
  QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, [&pane, sync_all](const QString& folder) {
    pane.EnterFolder(PathToBytes(folder));
    sync_all();
  });
}

BOOL QtPrompts::FontDialog(LOGFONT& font) {
  QFontDialog dialog(DialogFontFor(font), ActiveWindow());
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return FALSE;
  font = LogFontFrom(dialog.selectedFont(), font);
  return TRUE;
}

std::optional<CString> QtPrompts::FolderDialog(const CString& title, const CString& initial) {
  const QString folder = QFileDialog::getExistingDirectory(
      ActiveWindow(), FromGbk(title), PathFromBytes(initial),
      QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (folder.isEmpty()) return std::nullopt;
  return PathToBytes(folder);
}

QtAcceptingFolderDialog::QtAcceptingFolderDialog(QWidget* parent, const CString& title, const CString& initial,
                                                 std::function<bool(const CString&)> acceptable)
    : QFileDialog(parent, QtPrompts::FromGbk(title), PathFromBytes(initial)), acceptable_(std::move(acceptable)) {
  setFileMode(QFileDialog::Directory);
  setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  title_line_ = new QLabel(QtPrompts::FromGbk(title), this);
  status_line_ = new QLabel(this);
  title_line_->setObjectName("titleLine");
  status_line_->setObjectName("statusLine");
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    const int row = grid->rowCount();
    const int columns = std::max(1, grid->columnCount());
    grid->addWidget(title_line_, row, 0, 1, columns);
    grid->addWidget(status_line_, row + 1, 0, 1, columns);
  }
  if (auto* buttons = findChild<QDialogButtonBox*>()) {
    ok_button_ = buttons->button(QDialogButtonBox::Open);
    if (!ok_button_) ok_button_ = buttons->button(QDialogButtonBox::Ok);
  }
  // The file dialog enables its button whenever the selection looks valid to
  // it; the filter takes that back while the folder is not acceptable.
  if (ok_button_) ok_button_->installEventFilter(this);
  connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
    if (!path.isEmpty() && QFileInfo(path).isDir()) {
      SelectionMoved(path);
    } else {
      SelectionMoved(directory().absolutePath());
    }
  });
  connect(this, &QFileDialog::directoryEntered, this, [this](const QString& folder) { SelectionMoved(folder); });
  SelectionMoved(directory().absolutePath());
}

void QtAcceptingFolderDialog::SelectionMoved(const QString& folder) {
  const CString path = PathToBytes(folder);
  accepted_ = !acceptable_ || acceptable_(path);
  CString shown = path;
  if (!shown.IsEmpty() && shown.Right(1) != "/") shown += "/";
  status_line_->setText(PathFromBytes(ShortenStatusPath(shown)));
  if (ok_button_) ok_button_->setEnabled(accepted_);
}

bool QtAcceptingFolderDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ok_button_ && event->type() == QEvent::EnabledChange && !accepted_ && ok_button_->isEnabled()) {
    ok_button_->setEnabled(false);
  }
  return QFileDialog::eventFilter(watched, event);
}

void QtAcceptingFolderDialog::accept() {
  const QStringList chosen = selectedFiles();
  if (acceptable_ && (chosen.isEmpty() || !acceptable_(PathToBytes(chosen.front())))) return;
  QFileDialog::accept();
}

std::optional<CString> QtPrompts::FolderDialogAccepting(
    const CString& title, const CString& initial,
    const std::function<bool(const CString&)>& acceptable) {
  QtAcceptingFolderDialog dialog(ActiveWindow(), title, initial, acceptable);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return PathToBytes(chosen.front());
}

int QtPrompts::RunDialog(CDialog& dialog) {
  if (!dialog.GetTemplate()) return -1;
  QtDialogHost host(dialog, ActiveWindow());
  host.Start();
  if (!dialog.IsEnded()) host.exec();
  if (!dialog.IsEnded()) dialog.EndDialog(IDCANCEL);
  return dialog.GetResult();
}

// --- options dialogs on screen ---

QtControlPane::QtControlPane(CDialog& dialog, const std::vector<size_t>& indices, int origin_x,
                             int origin_y, QWidget* parent)
    : QWidget(parent), dialog_(dialog) {
  QFont font = QApplication::font();
  font.setFamilies({QApplication::font().family(), QString::fromLatin1(QtTextMetrics::kCjkFallbackFamily)});
  font.setPointSize(9);
  setFont(font);

  const DialogTemplate* t = dialog_.GetTemplate();
  if (!t) return;
  std::vector<bool> wanted(t->controls.size(), indices.empty());
  for (size_t i : indices) {
    if (i < wanted.size()) wanted[i] = true;
  }
  widgets_.assign(t->controls.size(), nullptr);
  QButtonGroup* group = nullptr;
  int right = 0;
  int bottom = 0;
  for (size_t i = 0; i < t->controls.size(); ++i) {
    const ControlTemplate& c = t->controls[i];
    if (c.group_start || c.kind != ControlKind::kRadioButton) group = nullptr;
    if (!wanted[i]) continue;
    QWidget* w = MakeWidget(c);
    widgets_[i] = w;
    if (!w) continue;
    const int x = static_cast<int>(std::lround((c.x - origin_x) * kUnitX));
    const int y = static_cast<int>(std::lround((c.y - origin_y) * kUnitY));
    const int width = ScreenWidth(c, *w);
    // A combo box's template height includes its drop-down list; on screen
    // it is as tall as its edit field.
    int height = static_cast<int>(std::lround(c.cy * kUnitY));
    if (qobject_cast<QComboBox*>(w)) height = std::min(height, w->sizeHint().height());
    w->setGeometry(x, y, width, height);
    right = std::max(right, x + width);
    bottom = std::max(bottom, y + height);
    if (c.kind == ControlKind::kGroupBox) w->lower();  // frames lie under the controls they surround
    if (c.kind == ControlKind::kRadioButton) {
      if (!group) {
        group = new QButtonGroup(this);
        groups_.push_back(group);
      }
      group->addButton(static_cast<QRadioButton*>(w));
    }
    Connect(c.id, w);
  }
  setMinimumSize(right, bottom);
}

int QtControlPane::ScreenWidth(const ControlTemplate& t, const QWidget& widget) {
  const int width = static_cast<int>(std::lround(t.cx * kUnitX));
  switch (t.kind) {
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton:
    case ControlKind::kStatic:
      return std::max(width, widget.sizeHint().width());
    default:
      return width;
  }
}

bool QtControlPane::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  // The edit field sees the key first (and keeps Return while it shows an
  // inline completion), then the combo box itself.
  auto* combo = qobject_cast<QComboBox*>(watched);
  if (!combo && watched->parent()) combo = qobject_cast<QComboBox*>(watched->parent());
  if (!combo || !combo->isEditable() || !combo->lineEdit()) return QWidget::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool passed_on = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape;
  if (!passed_on || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
    return QWidget::eventFilter(watched, event);
  }
  // The table gets the text as shown, a completion included, before OK reads it.
  const auto at = std::find(widgets_.begin(), widgets_.end(), combo);
  const ControlTemplate* layout = dialog_.GetTemplate() && at != widgets_.end()
      ? &dialog_.GetTemplate()->controls[static_cast<size_t>(at - widgets_.begin())] : nullptr;
  const ControlState* state = layout ? dialog_.FindControl(layout->id) : nullptr;
  if (!syncing_ && state && key->key() != Qt::Key_Escape) {
    const CString shown = QtPrompts::ToGbk(combo->currentText());
    if (!(shown == state->text)) {
      dialog_.UserSetText(layout->id, shown);
      Done();
    }
  }
  event->ignore();  // the parents see it, up to the window
  return true;
}

QWidget* QtControlPane::MakeWidget(const ControlTemplate& t) {
  const QString text = Utf8(t.text);
  switch (t.kind) {
    case ControlKind::kGroupBox: return new QGroupBox(text, this);
    case ControlKind::kStatic: return new QLabel(WithoutMnemonic(text), this);
    case ControlKind::kPicture: return new PictureControl(dialog_, t.id, this);
    case ControlKind::kEdit: {
      if (t.multiline) {
        auto* edit = new QPlainTextEdit(this);
        edit->setReadOnly(t.read_only);
        return edit;
      }
      auto* edit = new QLineEdit(this);
      edit->setReadOnly(t.read_only);
      if (t.password) edit->setEchoMode(QLineEdit::Password);
      if (t.number_only) {
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
      }
      return edit;
    }
    case ControlKind::kComboDropDown:
    case ControlKind::kComboDropList: {
      auto* combo = new QComboBox(this);
      combo->setEditable(t.kind == ControlKind::kComboDropDown);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->setMaxVisibleItems(12);
      if (combo->isEditable()) {
        combo->installEventFilter(this);
        combo->lineEdit()->installEventFilter(this);
      }
      return combo;
    }
    case ControlKind::kListBox: {
      auto* list = new QListWidget(this);
      list->setSelectionMode(t.multi_select ? QAbstractItemView::MultiSelection
                                            : QAbstractItemView::SingleSelection);
      return list;
    }
    case ControlKind::kCheckBox: return new QCheckBox(text, this);
    case ControlKind::kRadioButton: return new QRadioButton(text, this);
    case ControlKind::kPushButton:
    case ControlKind::kDefPushButton: {
      auto* button = new QPushButton(text, this);
      button->setAutoDefault(false);
      button->setDefault(t.kind == ControlKind::kDefPushButton);
      return button;
    }
    case ControlKind::kProgress: return new QProgressBar(this);
    case ControlKind::kTree: return new QTreeWidget(this);
  }
  return nullptr;
}

void QtControlPane::Done() {
  if (after_action) after_action();
}

void QtControlPane::Connect(int id, QWidget* widget) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
      if (syncing_) return;
      dialog_.UserSetText(id, QtPrompts::ToGbk(text));
      Done();
    });
  } else if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) {
    connect(text, &QPlainTextEdit::textChanged, this, [this, id, text] {
      if (syncing_) return;
      // Windows keeps CR LF between the lines of a multi-line edit.
      QString value = text->toPlainText();
      value.replace(u'\n', QStringLiteral("\r\n"));
      dialog_.UserSetText(id, QtPrompts::ToGbk(value));
      Done();
    });
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    connect(combo, qOverload<int>(&QComboBox::activated), this, [this, id](int row) {
      if (syncing_) return;
      dialog_.UserSelect(id, row);
      Done();
    });
    if (QLineEdit* edit = combo->lineEdit()) {
      connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
        if (syncing_) return;
        dialog_.UserSetText(id, QtPrompts::ToGbk(text));
        Done();
      });
    }
  } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
    connect(list, &QListWidget::itemSelectionChanged, this, [this, id, list] {
      if (syncing_) return;
      const ControlState* c = dialog_.FindControl(id);
      if (!c) return;
      if (c->multi_select) {
        for (int row = 0; row < list->count() && static_cast<size_t>(row) < c->selected.size(); ++row) {
          const bool on = list->item(row)->isSelected();
          if (on != c->selected[static_cast<size_t>(row)]) {
            dialog_.UserSetItemSelected(id, row, on);
            c = dialog_.FindControl(id);  // a handler may have refilled the list
            if (!c || static_cast<size_t>(row) >= c->selected.size()) break;
          }
        }
      } else {
        const int row = list->currentRow();
        if (row >= 0 && list->item(row)->isSelected()) dialog_.UserSelect(id, row);
      }
      Done();
    });
    connect(list, &QListWidget::itemDoubleClicked, this, [this, id](QListWidgetItem*) {
      if (syncing_) return;
      dialog_.UserDoubleClick(id);
      Done();
    });
  } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
    connect(check, &QCheckBox::clicked, this, [this, id, check] {
      if (syncing_) return;
      const int state = check->checkState() == Qt::Checked          ? BST_CHECKED
                        : check->checkState() == Qt::PartiallyChecked ? BST_INDETERMINATE
                                                                      : BST_UNCHECKED;
      dialog_.UserSetCheck(id, state);
      Done();
    });
  } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
    connect(radio, &QRadioButton::clicked, this, [this, id] {
      if (syncing_) return;
      dialog_.UserSetCheck(id, BST_CHECKED);
      Done();
    });
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    connect(button, &QPushButton::clicked, this, [this, id] {
      if (syncing_) return;
      if ((id == IDOK || id == IDCANCEL) && on_ok_cancel) {
        on_ok_cancel(id);
      } else {
        dialog_.UserClick(id);
        Done();
      }
    });
  }
}

QtDialogHost::QtDialogHost(CDialog& dialog, QWidget* parent) : QDialog(parent), dialog_(dialog) {
  const DialogTemplate* t = dialog_.GetTemplate();
  if (t) {
    setWindowTitle(Utf8(t->caption));
  }
  pane_ = new QtControlPane(dialog_, {}, 0, 0, this);
  if (t) {
    // A control that grew past the window's edge to fit its text widens the
    // window, leaving a dialog's usual margin of 7 units after it.
    constexpr int kMarginUnits = 7;
    int width = static_cast<int>(std::lround(t->cx * QtControlPane::kUnitX));
    if (pane_->minimumWidth() > width) {
      width = pane_->minimumWidth() + static_cast<int>(std::lround(kMarginUnits * QtControlPane::kUnitX));
    }
    setFixedSize(width, static_cast<int>(std::lround(t->cy * QtControlPane::kUnitY)));
  }
  pane_->setGeometry(rect());
  pane_->on_ok_cancel = [this](int id) {
    if (id == IDOK) {
      accept();
    } else {
      reject();
    }
  };
  pane_->after_action = [this] { AfterUserAction(); };
}

void QtDialogHost::Start() {
  dialog_.BeginModalRun();
  SyncFromTable();
  // Windows gives the focus to the first control that takes it.
  for (QWidget* w : pane_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w && w->isEnabled() && w->focusPolicy() != Qt::NoFocus && !qobject_cast<QLabel*>(w) &&
        !qobject_cast<QGroupBox*>(w)) {
      w->setFocus();
      break;
    }
  }
}

QWidget* QtControlPane::WidgetFor(int id) const {
  const std::vector<ControlState>& table = dialog_.Controls();
  for (size_t i = 0; i < table.size() && i < widgets_.size(); ++i) {
    if (table[i].id == id) return widgets_[i];
  }
  return nullptr;
}

void QtControlPane::SyncFromTable() {
  syncing_ = true;
  const std::vector<ControlState>& table = dialog_.Controls();
  // Exclusive groups refuse "nothing chosen"; lift that while the states are set.
  for (QButtonGroup* g : groups_) g->setExclusive(false);
  for (size_t i = 0; i < table.size() && i < widgets_.size(); ++i) {
    const ControlState& c = table[i];
    QWidget* w = widgets_[i];
    if (!w) continue;
    if (w->isEnabled() != c.enabled) w->setEnabled(c.enabled);
    if (w->isHidden() == c.visible) w->setVisible(c.visible);
    const QString text = QtPrompts::FromGbk(c.text);
    if (auto* picture = dynamic_cast<PictureControl*>(w)) {
      picture->FollowRepaints(c.repaints);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
      if (edit->text() != text) edit->setText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
      QString shown = text;
      shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
      if (plain->toPlainText() != shown) plain->setPlainText(shown);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
      QStringList items;
      for (const CString& item : c.items) items << QtPrompts::FromGbk(item);
      QStringList shown;
      for (int r = 0; r < combo->count(); ++r) shown << combo->itemText(r);
      if (shown != items) {
        combo->clear();
        combo->addItems(items);
      }
      if (combo->isEditable()) {
        if (c.cur_sel >= 0 && combo->currentIndex() != c.cur_sel) combo->setCurrentIndex(c.cur_sel);
        if (combo->currentText() != text) combo->setEditText(text);
      } else if (combo->currentIndex() != c.cur_sel) {
        combo->setCurrentIndex(c.cur_sel);
      }
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
      QStringList items;
      for (const CString& item : c.items) items << QtPrompts::FromGbk(item);
      bool same = list->count() == items.size();
      for (int r = 0; same && r < list->count(); ++r) same = list->item(r)->text() == items[r];
      if (!same) {
        list->clear();
        list->addItems(items);
      }
      for (int r = 0; r < list->count(); ++r) {
        const bool on = c.multi_select ? (static_cast<size_t>(r) < c.selected.size() && c.selected[static_cast<size_t>(r)])
                                       : r == c.cur_sel;
        if (list->item(r)->isSelected() != on) list->item(r)->setSelected(on);
      }
      if (!c.multi_select && c.cur_sel < 0) list->setCurrentRow(-1);
    } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
      if (c.check == BST_INDETERMINATE) box->setTristate(true);
      const Qt::CheckState state = c.check == BST_CHECKED         ? Qt::Checked
                                   : c.check == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                                  : Qt::Unchecked;
      if (box->checkState() != state) box->setCheckState(state);
    } else if (auto* radio = qobject_cast<QRadioButton*>(w)) {
      if (radio->isChecked() != (c.check == BST_CHECKED)) radio->setChecked(c.check == BST_CHECKED);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
      if (group->title() != text) group->setTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
      const QString plain = WithoutMnemonic(text);
      if (label->text() != plain) label->setText(plain);
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
      if (button->text() != text) button->setText(text);
    }
  }
  for (QButtonGroup* g : groups_) g->setExclusive(true);
  syncing_ = false;
}

void QtDialogHost::AfterUserAction() {
  if (dialog_.IsEnded()) {
    done(dialog_.GetResult());
    return;
  }
  SyncFromTable();
}

void QtDialogHost::accept() {
  if (!dialog_.IsControlEnabled(IDOK) && dialog_.FindControl(IDOK)) return;  // a greyed OK does nothing
  dialog_.OnOK();
  AfterUserAction();
  // A value that did not parse: the user corrects it where it is.
  if (!dialog_.IsEnded() && dialog_.GetFailedControl() != 0) {
    if (QWidget* w = WidgetFor(dialog_.GetFailedControl())) {
      w->setFocus();
      if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
    }
  }
}

void QtDialogHost::reject() {
  dialog_.OnCancel();
  AfterUserAction();
}
