// The options dialogs of the program (file-type choice, DXF and AAMA options,
// folder and style choosers) are built on CDialog: a dialog template
// (platform/dialog_template.h), a table holding the state of each of its
// controls, and the data exchange that moves values between the controls and
// the dialog's members.
//
// The control table belongs to the dialog, not to a window, so that a dialog
// runs the same with or without a screen: the Qt prompts build widgets from
// the template and mirror the table, the scripted prompts of the tests change
// the table as a user would. Either way the dialog's own initialisation,
// enable rules, data exchange and validation are what run.
//
// One modal run: DoModal() hands the dialog to Prompts().RunDialog(), which
// calls BeginModalRun() (fresh controls from the template, then
// OnInitDialog()), then passes the user's actions in through the User...()
// functions until the dialog has ended itself with EndDialog().
#pragma once

#include <vector>

#include "platform/dialog_template.h"
#include "platform/prompts.h"
#include "platform/text.h"
#include "platform/win_types.h"

// Check states of check boxes and radio buttons.
inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;
inline constexpr int BST_INDETERMINATE = 2;

// The "no such item" answer of the list and combo box helpers.
inline constexpr int CB_ERR = -1;
inline constexpr int LB_ERR = -1;

// The state of one control. Texts are GBK bytes.
struct ControlState {
  int id = 0;
  ControlKind kind = ControlKind::kStatic;
  bool group_start = false;       // a radio group starts here
  bool sorted = false;            // list entries are kept in order of their text
  bool multi_select = false;      // list box with any number of entries selected
  CString text;                   // caption, edit text, or a combo box's text
  int check = BST_UNCHECKED;      // check boxes and radio buttons
  int cur_sel = -1;               // selected entry of a combo or single-selection list; -1 none
  std::vector<CString> items;     // entries of a combo or list box
  std::vector<bool> selected;     // multi-selection lists: one flag per entry
  bool enabled = true;
  bool visible = true;
  int repaints = 0;               // how often the dialog asked for the control to be painted again
};

class CDC;
class CDialog;

// One transfer between the controls and the members: towards the members
// when m_bSaveAndValidate is TRUE, towards the controls when FALSE. A value
// that does not parse makes the transfer fail: the user has been told, the
// remaining transfers of the exchange are skipped, and UpdateData returns FALSE.
class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, BOOL save_and_validate)
      : m_bSaveAndValidate(save_and_validate), m_pDlgWnd(dialog) {}

  BOOL m_bSaveAndValidate;
  CDialog* m_pDlgWnd;

  // Names the control the next transfer works on (the one a failure points at).
  void PrepareCtrl(int id) { last_control_ = id; }
  // Marks the exchange failed at the control last prepared.
  void Fail() {
    if (!failed_) failed_control_ = last_control_;
    failed_ = true;
  }
  bool Failed() const { return failed_; }
  int FailedControl() const { return failed_control_; }

 private:
  int last_control_ = 0;
  int failed_control_ = 0;
  bool failed_ = false;
};

class CDialog {
 public:
  // A dialog on the template registered with `template_id` (the program's
  // resources register theirs at start-up: RegisterDialogTemplates); without
  // one, a dialog without controls.
  explicit CDialog(int template_id) : CDialog(template_id, RegisteredDialogTemplate(template_id)) {}
  // A dialog on a template given directly (tests build theirs in code); the
  // template must outlive the dialog. A null template gives a dialog without
  // controls, which the window prompts refuse to show.
  CDialog(int template_id, const DialogTemplate* dialog_template);
  virtual ~CDialog() = default;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog modally through the prompt seam: IDOK, IDCANCEL, or
  // whatever the dialog ended itself with; -1 when it could not be shown.
  int DoModal();

  int GetTemplateId() const { return template_id_; }
  const DialogTemplate* GetTemplate() const { return template_; }

  // Called once the controls exist; the default transfers the members to
  // the controls. Returns TRUE (the framework then focuses the first control).
  virtual BOOL OnInitDialog();
  // Binds controls to members with the DDX_ functions below; the default binds nothing.
  virtual void DoDataExchange(CDataExchange* pDX);
  // The OK button: takes the controls into the members and ends the dialog
  // with IDOK; when a value does not parse the dialog stays open.
  virtual void OnOK();
  // The Cancel button (and Escape, and closing the window): ends with IDCANCEL.
  virtual void OnCancel();
  // The user clicked a button other than OK and Cancel, toggled a check box,
  // chose a radio button, edited a text or changed a selection of control
  // `id`. Enable rules ("check box X enables edit Y") and button commands
  // live here. The control table already holds the new state. Only the
  // user's actions notify: what the dialog's own code changes (SetDlgItemText,
  // UpdateData(FALSE), ...) does not, so a handler that must also run then
  // is called by that code itself.
  virtual void OnControlChanged(int id);
  // The user double-clicked an entry of list box `id`.
  virtual void OnControlDoubleClicked(int id);
  // A control the dialog draws itself (a picture control): paints control
  // `id` on `dc`, whose box `client` is the control's area in device pixels,
  // its top left at (0, 0). Returns false, drawing nothing, for a control
  // that keeps its own look (the default for every control). The window
  // prompts call it whenever they paint such a control.
  virtual bool PaintControl(int id, CDC& dc, const CRect& client);

  // Transfers between the controls and the members; FALSE when a value did
  // not parse (the user has been told, the dialog stays as it was).
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  // Ends the modal run with `result` once the current handler returns.
  void EndDialog(int result);

  // Controls. Ids not in the table are ignored by setters and read as empty,
  // unchecked, disabled or CB_ERR/LB_ERR by getters.
  CString GetDlgItemText(int id) const;
  // Drop-down list combos have no text of their own: use SetCurSel.
  void SetDlgItemText(int id, const CString& text);
  UINT IsDlgButtonChecked(int id) const;
  void CheckDlgButton(int id, UINT check);
  // Checks `check` and clears every other button whose id lies in [first, last].
  void CheckRadioButton(int first, int last, int check);
  // Stand-in for enabling or disabling the control's window.
  void EnableControl(int id, bool enable);
  bool IsControlEnabled(int id) const;
  void ShowControl(int id, bool show);
  bool IsControlVisible(int id) const;
  // Asks for control `id` to be painted again (what it shows has changed);
  // the window prompts repaint it when they next show the table.
  void InvalidateControl(int id);

  // Combo and list boxes. AddString appends, or inserts in text order in a
  // sorted list, and returns the entry's index.
  int AddString(int id, const CString& text);
  void ResetContent(int id);
  int GetCount(int id) const;
  CString GetItemText(int id, int index) const;
  // Index of the first entry equal to `text` (ASCII case ignored), or CB_ERR.
  int FindStringExact(int id, const CString& text) const;
  int GetCurSel(int id) const;
  // Selects entry `index` (a combo box shows its text) and returns it; an
  // index outside the list clears the selection and returns CB_ERR.
  int SetCurSel(int id, int index);
  // Multi-selection list boxes: selection flags per entry; SetSel with index
  // -1 applies to every entry. LB_ERR on other controls or bad indices.
  int GetSel(int id, int index) const;
  int SetSel(int id, int index, bool select);
  int GetSelCount(int id) const;
  std::vector<int> GetSelItems(int id) const;

  // The whole table, in template order.
  const std::vector<ControlState>& Controls() const { return controls_; }
  const ControlState* FindControl(int id) const;

  // --- Driven by the prompt back ends during a modal run ---

  // Starts a run: the controls as the template makes them, then OnInitDialog().
  void BeginModalRun();
  bool IsEnded() const { return ended_; }
  int GetResult() const { return result_; }
  // The control the last failed data exchange stopped at (to give it the
  // focus), or 0.
  int GetFailedControl() const { return failed_control_; }

  // The user's actions. Each changes the table as the control would, then
  // notifies the dialog; each returns false, changing nothing, when the
  // control is missing, disabled or hidden, or the action does not fit it.
  bool UserSetText(int id, const CString& text);  // edits and editable combos
  // Check boxes take any state; a radio button can only be chosen
  // (BST_CHECKED), which clears the others of its group.
  bool UserSetCheck(int id, int state);
  bool UserSelect(int id, int index);             // combo or single-selection list
  bool UserSetItemSelected(int id, int index, bool selected);  // multi-selection list
  // A push button: IDOK runs OnOK, IDCANCEL runs OnCancel, any other id
  // OnControlChanged. Check boxes and radio buttons toggle or get chosen.
  bool UserClick(int id);
  bool UserDoubleClick(int id);

 protected:
  // The state of control `id`, for changes the helpers above do not cover; or null.
  ControlState* MutableControl(int id);

 private:
  friend void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);

  void ResetControls();
  // Indices into controls_ of the radio buttons from the control at `start`
  // up to the next control that starts a group.
  std::vector<size_t> RadioButtonsFrom(size_t start) const;
  // The same for the whole group the control at `index` belongs to.
  std::vector<size_t> RadioGroupOf(size_t index) const;
  bool IsUsable(const ControlState* control) const;

  int template_id_ = 0;
  const DialogTemplate* template_ = nullptr;
  std::vector<ControlState> controls_;
  bool ended_ = false;
  int result_ = IDCANCEL;
  int failed_control_ = 0;
};

// Controls of the program's own inside a file dialog, beside its file list
// (FileDialogRequest::pane). The file dialog runs the pane as a modal run of
// its own: BeginModalRun when it opens, then SelectFile and EnterFolder as
// the user moves through the files, and EndDialog with the file dialog's
// answer. A control whose id is kFileListPlaceholder marks where the file
// dialog's own controls go and is not shown.
class CFileDialogPane : public CDialog {
 public:
  static constexpr int kFileListPlaceholder = 1119;

  using CDialog::CDialog;

  // The file the user selected last (file-system bytes); empty after a
  // folder change.
  const CString& GetPathName() const { return path_; }
  const CString& GetFolderPath() const { return folder_; }

  // Driven by the file dialogs: the user selected `path`, or entered `folder`.
  void SelectFile(const CString& path) {
    path_ = path;
    OnFileNameChange();
  }
  void EnterFolder(const CString& folder) {
    folder_ = folder;
    path_.Empty();
    OnFolderChange();
  }

 protected:
  virtual void OnFileNameChange() {}
  virtual void OnFolderChange() {}

 private:
  CString path_;
  CString folder_;
};

// Data exchange with the framework's meanings. Each does nothing once the
// exchange has failed.
//
// Text of an edit (or any control). The int and double forms write numbers
// with a decimal point whatever the locale ("%d", 15 significant digits) and
// read only a whole number: surrounding blanks are allowed, anything else
// tells the user "Please enter an integer." or "Please enter a number." and
// fails the exchange, leaving the member as it was.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
// Check box state: 0, 1 or 2.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Index of the chosen button in the radio group that starts at `nIDC`,
// counting radio buttons only, up to the next control that starts a group;
// -1 when none is chosen.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Combo box text. Loading selects the entry equal to the text (ASCII case
// ignored); an editable combo otherwise shows the text as it is, a drop-down
// list selects the first entry that begins with it, if any.
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
// Selected entry of a combo or list box, -1 for none.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& value);
