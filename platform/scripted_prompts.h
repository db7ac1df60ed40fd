// The prompts of the tests: a queue of expected questions, each answered in
// turn from the script, and a record of every question asked, so that a test
// can say what the user answers and then check what the program asked.
//
// A question that the script did not foresee (the script is used up, or its
// next entry is for another kind of question or another dialog) is answered
// as if the user cancelled it and recorded as unscripted; the script entry
// stays for the next question. No test ever waits for a user.
//
// Options dialogs run for real: their OnInitDialog, enable rules, data
// exchange and validation are the dialog's own; the script only plays the
// user's part on the control table.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "platform/dialog.h"
#include "platform/prompts.h"

enum class PromptKind { kMessageBox, kFileDialog, kFontDialog, kFolderDialog, kOptionsDialog };

// One thing the user does in an options dialog, or in the pane of a file
// dialog (where selecting a file or entering a folder is one too).
struct DialogAction {
  enum class Kind { kText, kCheck, kSelect, kSelectItem, kSelectText, kClick, kDoubleClick, kSelectFile, kEnterFolder };
  Kind kind = Kind::kClick;
  int id = 0;
  CString text;     // kText: the typed text (GBK bytes); kSelectText: the entry's text;
                    // kSelectFile, kEnterFolder: the path
  int value = 0;    // kCheck: the state; kSelect, kSelectItem: the entry
  bool on = true;   // kSelectItem, kSelectText: select or deselect the entry
};

// The user's part in one options dialog: actions in order, then a button.
struct DialogScript {
  DialogScript() = default;
  // A script for the dialog on template `id` only.
  explicit DialogScript(int id) : template_id(id) {}

  int template_id = 0;  // the dialog this is meant for; 0: whichever comes
  std::vector<DialogAction> actions;
  int button = IDOK;    // IDOK or IDCANCEL

  DialogScript& SetText(int id, const CString& text);
  DialogScript& SetCheck(int id, int state = BST_CHECKED);
  // Chooses a radio button, as a click on it does.
  DialogScript& ChooseRadio(int id) { return SetCheck(id, BST_CHECKED); }
  DialogScript& Select(int id, int index);
  DialogScript& SelectItem(int id, int index, bool on = true);
  // Selects the first entry of a list or combo box whose text is `text`, as
  // Select does (a multi-selection list: as SelectItem does); an entry that
  // is not listed cannot be chosen.
  DialogScript& SelectText(int id, const CString& text, bool on = true);
  DialogScript& Click(int id);
  DialogScript& DoubleClick(int id);
  // File dialog panes only.
  DialogScript& SelectFile(const CString& path);
  DialogScript& EnterFolder(const CString& folder);
  DialogScript& Press(int final_button) {
    button = final_button;
    return *this;
  }
};

// What was asked, and what came back.
struct PromptRecord {
  PromptKind kind = PromptKind::kMessageBox;
  bool scripted = false;  // false: nothing in the script fitted; cancelled
  // Message box: text, caption and type flags. Folder dialog: title in `text`,
  // initial folder in `caption`. File dialog with a pane, and options
  // dialogs: the template and the controls.
  CString text;
  CString caption;
  UINT type = 0;
  FileDialogRequest file_request;   // file dialogs
  LOGFONT font;                     // font dialog: the font it opened with
  int template_id = 0;              // options dialogs
  std::vector<ControlState> controls_at_open;   // after OnInitDialog
  std::vector<ControlState> controls_at_close;  // when the run ended
  int answer = IDCANCEL;            // the button the question ended with
  // What did not go as scripted: actions on disabled or missing controls,
  // an OK that left the dialog open, an answer the box does not offer.
  std::vector<CString> notes;
};

class ScriptedPrompts : public IPrompts {
 public:
  // Script entries, answered in the order they were added.
  ScriptedPrompts& AnswerMessage(int answer);
  // A file dialog with a pane plays `pane` first; the chosen file is then
  // selected in it, unless it was the last one selected already.
  ScriptedPrompts& ChooseFile(const CString& path, int filter_index = 1, DialogScript pane = {});
  ScriptedPrompts& ChooseFiles(std::vector<CString> paths, int filter_index = 1, DialogScript pane = {});
  ScriptedPrompts& CancelFileDialog(DialogScript pane = {});
  ScriptedPrompts& ChooseFont(const LOGFONT& font);
  ScriptedPrompts& CancelFontDialog();
  ScriptedPrompts& ChooseFolder(const CString& folder);
  ScriptedPrompts& CancelFolderDialog();
  ScriptedPrompts& RunOptionsDialog(DialogScript script);

  int MessageBox(const CString& text, const CString& caption, UINT type) override;
  std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) override;
  BOOL FontDialog(LOGFONT& font) override;
  std::optional<CString> FolderDialog(const CString& title, const CString& initial) override;
  // A scripted folder that is not acceptable could not have been confirmed:
  // the answer is Cancel, with a note.
  std::optional<CString> FolderDialogAccepting(
      const CString& title, const CString& initial,
      const std::function<bool(const CString&)>& acceptable) override;
  int RunDialog(CDialog& dialog) override;

  // Every question so far, in the order asked.
  const std::vector<PromptRecord>& records() const { return records_; }
  // Script entries not yet used.
  size_t pending() const { return script_.size(); }
  // Questions that the script did not answer.
  int unscripted_count() const;

 private:
  struct Entry {
    explicit Entry(PromptKind k) : kind(k) {}
    PromptKind kind;
    int answer = IDCANCEL;     // message box
    bool chosen = false;       // file, font and folder dialogs: false cancels
    FileDialogResult files;
    LOGFONT font;
    CString folder;
    DialogScript dialog;       // options dialog, or the pane of a file dialog
  };

  // The next script entry when it is of `kind` (and, for options dialogs,
  // meant for `template_id`); it is removed from the script.
  std::optional<Entry> Take(PromptKind kind, int template_id = 0);

  std::deque<Entry> script_;
  std::vector<PromptRecord> records_;
};

// Installs prompts for the lifetime of the object and puts the previous
// ones back afterwards.
class ScopedPrompts {
 public:
  explicit ScopedPrompts(IPrompts* prompts) : previous_(SetPrompts(prompts)) {}
  ~ScopedPrompts() { SetPrompts(previous_); }
  ScopedPrompts(const ScopedPrompts&) = delete;
  ScopedPrompts& operator=(const ScopedPrompts&) = delete;

 private:
  IPrompts* previous_;
};
