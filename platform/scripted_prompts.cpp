#include "platform/scripted_prompts.h"

#include <algorithm>
#include <utility>

namespace {

inline constexpr UINT kTypeMask = 0x0F;

// The answer of a user who dismisses the box without agreeing to anything.
int CancelAnswerFor(UINT type) {
  switch (type & kTypeMask) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    default: return IDCANCEL;
  }
}

bool BoxOffers(UINT type, int answer) {
  switch (type & kTypeMask) {
    case MB_OK: return answer == IDOK;
    case MB_OKCANCEL: return answer == IDOK || answer == IDCANCEL;
    case MB_YESNOCANCEL: return answer == IDYES || answer == IDNO || answer == IDCANCEL;
    case MB_YESNO: return answer == IDYES || answer == IDNO;
    default: return true;
  }
}

CString Note(const char* format, int id) {
  CString s;
  s.Format(format, id);
  return s;
}

bool Apply(CDialog& dialog, const DialogAction& a) {
  auto* pane = dynamic_cast<CFileDialogPane*>(&dialog);
  switch (a.kind) {
    case DialogAction::Kind::kSelectFile:
      if (pane) pane->SelectFile(a.text);
      return pane != nullptr;
    case DialogAction::Kind::kEnterFolder:
      if (pane) pane->EnterFolder(a.text);
      return pane != nullptr;
    case DialogAction::Kind::kText: return dialog.UserSetText(a.id, a.text);
    case DialogAction::Kind::kCheck: return dialog.UserSetCheck(a.id, a.value);
    case DialogAction::Kind::kSelect: return dialog.UserSelect(a.id, a.value);
    case DialogAction::Kind::kSelectItem: return dialog.UserSetItemSelected(a.id, a.value, a.on);
    case DialogAction::Kind::kSelectText: {
      const ControlState* control = dialog.FindControl(a.id);
      if (control == nullptr) return false;
      const auto at = std::find(control->items.begin(), control->items.end(), a.text);
      if (at == control->items.end()) return false;
      const int index = static_cast<int>(at - control->items.begin());
      return control->multi_select ? dialog.UserSetItemSelected(a.id, index, a.on) : dialog.UserSelect(a.id, index);
    }
    case DialogAction::Kind::kClick: return dialog.UserClick(a.id);
    case DialogAction::Kind::kDoubleClick: return dialog.UserDoubleClick(a.id);
  }
  return false;
}

}  // namespace

// --- DialogScript ---

DialogScript& DialogScript::SetText(int id, const CString& text) {
  DialogAction a;
  a.kind = DialogAction::Kind::kText;
  a.id = id;
  a.text = text;
  actions.push_back(std::move(a));
  return *this;
}

DialogScript& DialogScript::SetCheck(int id, int state) {
  DialogAction a;
  a.kind = DialogAction::Kind::kCheck;
  a.id = id;
  a.value = state;
  actions.push_back(std::move(a));
  return *this;
}

DialogScript& DialogScript::Select(int id, int index) {
  DialogAction a;
  a.kind = DialogAction::Kind::kSelect;
  a.id = id;
  a.value = index;
  actions.push_back(std::move(a));
  return *this;
}

DialogScript& DialogScript::SelectItem(int id, int index, bool on) {
  DialogAction a;
  a.kind = DialogAction::Kind::kSelectItem;
  a.id = id;
  a.value = index;
  a.on = on;
  actions.push_back(std::move(a));
  return *this;
}

DialogScript& DialogScript::SelectText(int id, const CString& text, bool on) {
  DialogAction a;
  a.kind = DialogAction::Kind::kSelectText;
  a.id = id;
  a.text = text;
  a.on = on;
  actions.push_back(std::move(a));
  return *this;
}

DialogScript& DialogScript::Click(int id) {
  DialogAction a;
  a.kind = DialogAction::Kind::kClick;
  a.id = id;
  actions.push_back(std::move(a));
  return *this;
}

DialogScript& DialogScript::SelectFile(const CString& path) {
  DialogAction a;
  a.kind = DialogAction::Kind::kSelectFile;
  a.text = path;
  actions.push_back(std::move(a));
  return *this;
}

DialogScript& DialogScript::EnterFolder(const CString& folder) {
  DialogAction a;
  a.kind = DialogAction::Kind::kEnterFolder;
  a.text = folder;
  actions.push_back(std::move(a));
  return *this;
}

DialogScript& DialogScript::DoubleClick(int id) {
  DialogAction a;
  a.kind = DialogAction::Kind::kDoubleClick;
  a.id = id;
  actions.push_back(std::move(a));
  return *this;
}

// --- the script ---

ScriptedPrompts& ScriptedPrompts::AnswerMessage(int answer) {
  Entry e(PromptKind::kMessageBox);
  e.answer = answer;
  script_.push_back(std::move(e));
  return *this;
}

ScriptedPrompts& ScriptedPrompts::ChooseFile(const CString& path, int filter_index, DialogScript pane) {
  return ChooseFiles({path}, filter_index, std::move(pane));
}

ScriptedPrompts& ScriptedPrompts::ChooseFiles(std::vector<CString> paths, int filter_index,
                                              DialogScript pane) {
  Entry e(PromptKind::kFileDialog);
  e.dialog = std::move(pane);
  e.chosen = true;
  e.files.paths = std::move(paths);
  e.files.filter_index = filter_index;
  script_.push_back(std::move(e));
  return *this;
}

ScriptedPrompts& ScriptedPrompts::CancelFileDialog(DialogScript pane) {
  Entry e(PromptKind::kFileDialog);
  e.dialog = std::move(pane);
  script_.push_back(std::move(e));
  return *this;
}

ScriptedPrompts& ScriptedPrompts::ChooseFont(const LOGFONT& font) {
  Entry e(PromptKind::kFontDialog);
  e.chosen = true;
  e.font = font;
  script_.push_back(std::move(e));
  return *this;
}

ScriptedPrompts& ScriptedPrompts::CancelFontDialog() {
  script_.push_back(Entry(PromptKind::kFontDialog));
  return *this;
}

ScriptedPrompts& ScriptedPrompts::ChooseFolder(const CString& folder) {
  Entry e(PromptKind::kFolderDialog);
  e.chosen = true;
  e.folder = folder;
  script_.push_back(std::move(e));
  return *this;
}

ScriptedPrompts& ScriptedPrompts::CancelFolderDialog() {
  script_.push_back(Entry(PromptKind::kFolderDialog));
  return *this;
}

ScriptedPrompts& ScriptedPrompts::RunOptionsDialog(DialogScript script) {
  Entry e(PromptKind::kOptionsDialog);
  e.dialog = std::move(script);
  script_.push_back(std::move(e));
  return *this;
}

std::optional<ScriptedPrompts::Entry> ScriptedPrompts::Take(PromptKind kind, int template_id) {
  if (script_.empty() || script_.front().kind != kind) return std::nullopt;
  if (kind == PromptKind::kOptionsDialog && script_.front().dialog.template_id != 0 &&
      script_.front().dialog.template_id != template_id) {
    return std::nullopt;
  }
  Entry e = std::move(script_.front());
  script_.pop_front();
  return e;
}

int ScriptedPrompts::unscripted_count() const {
  int n = 0;
  for (const PromptRecord& r : records_) n += r.scripted ? 0 : 1;
  return n;
}

// --- the questions ---

int ScriptedPrompts::MessageBox(const CString& text, const CString& caption, UINT type) {
  PromptRecord r;
  r.kind = PromptKind::kMessageBox;
  r.text = text;
  r.caption = caption;
  r.type = type;
  if (std::optional<Entry> e = Take(PromptKind::kMessageBox)) {
    r.scripted = true;
    r.answer = e->answer;
    if (!BoxOffers(type, r.answer)) r.notes.push_back(Note("answer %d is not offered by the box", r.answer));
  } else {
    r.answer = CancelAnswerFor(type);
  }
  records_.push_back(r);
  return r.answer;
}

std::optional<FileDialogResult> ScriptedPrompts::FileDialog(const FileDialogRequest& request) {
  // As with options dialogs, the record goes in before anything the pane asks.
  const size_t at = records_.size();
  records_.emplace_back();
  PromptRecord r;
  r.kind = PromptKind::kFileDialog;
  r.file_request = request;
  CFileDialogPane* pane = request.pane;
  if (pane) {
    r.template_id = pane->GetTemplateId();
    pane->BeginModalRun();
    r.controls_at_open = pane->Controls();
  }
  std::optional<FileDialogResult> result;
  if (std::optional<Entry> e = Take(PromptKind::kFileDialog)) {
    r.scripted = true;
    if (pane) {
      for (const DialogAction& a : e->dialog.actions) {
        if (!Apply(*pane, a)) {
          r.notes.push_back(Note("control %d: missing, disabled, hidden or not fit for the action", a.id));
        }
      }
    } else if (!e->dialog.actions.empty()) {
      r.notes.push_back(Note("%d pane actions for a dialog without a pane",
                             static_cast<int>(e->dialog.actions.size())));
    }
    // Choosing no path at all is a cancel.
    if (e->chosen && !e->files.paths.empty()) {
      if (e->files.paths.size() > 1 && !(request.open && request.multi_select)) {
        r.notes.push_back(Note("%d paths for a dialog that takes one; the first is used",
                               static_cast<int>(e->files.paths.size())));
        e->files.paths.resize(1);
      }
      result = std::move(e->files);
    }
  }
  r.answer = result ? IDOK : IDCANCEL;
  if (pane) {
    // The file the user confirms is the one selected last.
    if (result && !(pane->GetPathName() == result->paths.front())) pane->SelectFile(result->paths.front());
    pane->EndDialog(r.answer);
    r.controls_at_close = pane->Controls();
  }
  records_[at] = std::move(r);
  return result;
}

BOOL ScriptedPrompts::FontDialog(LOGFONT& font) {
  PromptRecord r;
  r.kind = PromptKind::kFontDialog;
  r.font = font;
  BOOL chosen = FALSE;
  if (std::optional<Entry> e = Take(PromptKind::kFontDialog)) {
    r.scripted = true;
    if (e->chosen) {
      font = e->font;
      chosen = TRUE;
    }
  }
  r.answer = chosen ? IDOK : IDCANCEL;
  records_.push_back(r);
  return chosen;
}

std::optional<CString> ScriptedPrompts::FolderDialog(const CString& title, const CString& initial) {
  PromptRecord r;
  r.kind = PromptKind::kFolderDialog;
  r.text = title;
  r.caption = initial;
  std::optional<CString> folder;
  if (std::optional<Entry> e = Take(PromptKind::kFolderDialog)) {
    r.scripted = true;
    if (e->chosen) folder = std::move(e->folder);
  }
  r.answer = folder ? IDOK : IDCANCEL;
  records_.push_back(r);
  return folder;
}

std::optional<CString> ScriptedPrompts::FolderDialogAccepting(
    const CString& title, const CString& initial,
    const std::function<bool(const CString&)>& acceptable) {
  std::optional<CString> folder = FolderDialog(title, initial);
  if (folder && acceptable && !acceptable(*folder)) {
    PromptRecord& r = records_.back();
    r.notes.push_back("the folder is not acceptable, OK was not offered");
    r.answer = IDCANCEL;
    return std::nullopt;
  }
  return folder;
}

int ScriptedPrompts::RunDialog(CDialog& dialog) {
  // The record goes in first: questions the dialog asks while it runs (a
  // number it refuses, a folder chooser behind a button) come after it.
  const size_t at = records_.size();
  {
    PromptRecord r;
    r.kind = PromptKind::kOptionsDialog;
    r.template_id = dialog.GetTemplateId();
    records_.push_back(std::move(r));
  }
  std::optional<Entry> entry = Take(PromptKind::kOptionsDialog, dialog.GetTemplateId());
  std::vector<CString> notes;

  dialog.BeginModalRun();
  records_[at].controls_at_open = dialog.Controls();

  if (entry) {
    for (const DialogAction& a : entry->dialog.actions) {
      if (dialog.IsEnded()) {
        notes.push_back(Note("control %d: the dialog had already ended", a.id));
        break;
      }
      if (!Apply(dialog, a)) {
        notes.push_back(Note("control %d: missing, disabled, hidden or not fit for the action", a.id));
      }
    }
    if (!dialog.IsEnded()) {
      const int button = entry->dialog.button;
      if (!dialog.UserClick(button)) {
        // No such button, or it is disabled: the user can only close the dialog.
        notes.push_back(Note("button %d could not be pressed", button));
      } else if (!dialog.IsEnded()) {
        notes.push_back(Note("the dialog stayed open after button %d", button));
      }
    }
  }
  if (!dialog.IsEnded()) dialog.OnCancel();
  if (!dialog.IsEnded()) dialog.EndDialog(IDCANCEL);

  PromptRecord& r = records_[at];
  r.scripted = entry.has_value();
  r.controls_at_close = dialog.Controls();
  r.answer = dialog.GetResult();
  r.notes = std::move(notes);
  return r.answer;
}
