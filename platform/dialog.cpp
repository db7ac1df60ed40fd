#include "platform/dialog.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

#include "platform/gbk.h"
#include "platform/numbers.h"

namespace {

bool IsComboKind(ControlKind kind) {
  return kind == ControlKind::kComboDropDown || kind == ControlKind::kComboDropList;
}

bool HasItems(ControlKind kind) { return IsComboKind(kind) || kind == ControlKind::kListBox; }

bool IsButtonKind(ControlKind kind) {
  return kind == ControlKind::kCheckBox || kind == ControlKind::kRadioButton;
}

bool IsMultiList(const ControlState& c) { return c.kind == ControlKind::kListBox && c.multi_select; }

// Appends an entry, or inserts it in text order into a sorted list, and
// returns its index.
int InsertItem(ControlState& c, const CString& text) {
  size_t pos = c.items.size();
  if (c.sorted) {
    pos = 0;
    while (pos < c.items.size() && c.items[pos].CompareNoCase(text.view()) <= 0) ++pos;
  }
  c.items.insert(c.items.begin() + static_cast<std::ptrdiff_t>(pos), text);
  c.selected.insert(c.selected.begin() + static_cast<std::ptrdiff_t>(pos), false);
  // The selected entry stays selected when an entry goes in before it.
  if (c.cur_sel >= static_cast<int>(pos)) ++c.cur_sel;
  return static_cast<int>(pos);
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A whole integer, blanks around it allowed; out of int range fails.
bool ParseWholeInt(std::string_view text, int& out) {
  std::string_view s = TrimBlanks(text);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  int value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  out = value;
  return true;
}

// A whole decimal number ("12", "-1.5", ".5", "2e3"), blanks around it
// allowed; no hexadecimal, infinity or NaN, whatever the locale.
bool ParseWholeDouble(std::string_view text, double& out) {
  std::string_view s = TrimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || !(std::isdigit(static_cast<unsigned char>(s.front())) || s.front() == '.')) {
    return false;
  }
  double value = 0.0;
  const auto [end, ec] =
      std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) return false;
  out = negative ? -value : value;
  return true;
}

// What the framework says when a number field holds something else. The
// empty caption stands for the program's title.
void TellNotANumber(const char* text) {
  Prompts().MessageBox(text, CString(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

CDialog::CDialog(int template_id, const DialogTemplate* dialog_template)
    : template_id_(template_id), template_(dialog_template) {
  ResetControls();
}

void CDialog::ResetControls() {
  controls_.clear();
  if (!template_) return;
  controls_.reserve(template_->controls.size());
  for (const ControlTemplate& t : template_->controls) {
    ControlState c;
    c.id = t.id;
    c.kind = t.kind;
    c.group_start = t.group_start;
    c.sorted = t.sorted;
    c.multi_select = t.multi_select;
    c.enabled = !t.disabled;
    // Combo and list boxes have no caption; their entries come separately.
    if (!HasItems(t.kind)) c.text = CString(Utf8ToGbk(t.text ? t.text : ""));
    for (const char* item : t.items) InsertItem(c, CString(Utf8ToGbk(item ? item : "")));
    controls_.push_back(std::move(c));
  }
}

int CDialog::DoModal() { return Prompts().RunDialog(*this); }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnControlChanged(int) {}

void CDialog::OnControlDoubleClicked(int) {}

bool CDialog::PaintControl(int, CDC&, const CRect&) { return false; }

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  failed_control_ = dx.Failed() ? dx.FailedControl() : 0;
  return dx.Failed() ? FALSE : TRUE;
}

void CDialog::EndDialog(int result) {
  ended_ = true;
  result_ = result;
}

void CDialog::BeginModalRun() {
  ended_ = false;
  result_ = IDCANCEL;
  failed_control_ = 0;
  ResetControls();
  OnInitDialog();
}

// --- control table ---

ControlState* CDialog::MutableControl(int id) {
  for (ControlState& c : controls_) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

const ControlState* CDialog::FindControl(int id) const {
  for (const ControlState& c : controls_) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

CString CDialog::GetDlgItemText(int id) const {
  const ControlState* c = FindControl(id);
  return c ? c->text : CString();
}

void CDialog::SetDlgItemText(int id, const CString& text) {
  ControlState* c = MutableControl(id);
  if (!c || c->kind == ControlKind::kComboDropList || c->kind == ControlKind::kListBox) return;
  c->text = text;
  if (IsComboKind(c->kind)) {
    // The edit field no longer shows the selected entry unless it is the same text.
    if (c->cur_sel >= 0 && !(c->items[static_cast<size_t>(c->cur_sel)] == text)) c->cur_sel = -1;
  }
}

UINT CDialog::IsDlgButtonChecked(int id) const {
  const ControlState* c = FindControl(id);
  return c ? static_cast<UINT>(c->check) : 0;
}

void CDialog::CheckDlgButton(int id, UINT check) {
  ControlState* c = MutableControl(id);
  if (c) c->check = check > BST_INDETERMINATE ? BST_CHECKED : static_cast<int>(check);
}

void CDialog::CheckRadioButton(int first, int last, int check) {
  for (ControlState& c : controls_) {
    if (c.id >= first && c.id <= last && IsButtonKind(c.kind)) {
      c.check = c.id == check ? BST_CHECKED : BST_UNCHECKED;
    }
  }
}

void CDialog::EnableControl(int id, bool enable) {
  ControlState* c = MutableControl(id);
  if (c) c->enabled = enable;
}

bool CDialog::IsControlEnabled(int id) const {
  const ControlState* c = FindControl(id);
  return c && c->enabled;
}

void CDialog::ShowControl(int id, bool show) {
  ControlState* c = MutableControl(id);
  if (c) c->visible = show;
}

bool CDialog::IsControlVisible(int id) const {
  const ControlState* c = FindControl(id);
  return c && c->visible;
}

void CDialog::InvalidateControl(int id) {
  ControlState* c = MutableControl(id);
  if (c) ++c->repaints;
}

int CDialog::AddString(int id, const CString& text) {
  ControlState* c = MutableControl(id);
  if (!c || !HasItems(c->kind)) return CB_ERR;
  return InsertItem(*c, text);
}

void CDialog::ResetContent(int id) {
  ControlState* c = MutableControl(id);
  if (!c || !HasItems(c->kind)) return;
  c->items.clear();
  c->selected.clear();
  c->cur_sel = -1;
  if (IsComboKind(c->kind)) c->text.Empty();
}

int CDialog::GetCount(int id) const {
  const ControlState* c = FindControl(id);
  if (!c || !HasItems(c->kind)) return CB_ERR;
  return static_cast<int>(c->items.size());
}

CString CDialog::GetItemText(int id, int index) const {
  const ControlState* c = FindControl(id);
  if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return CString();
  return c->items[static_cast<size_t>(index)];
}

int CDialog::FindStringExact(int id, const CString& text) const {
  const ControlState* c = FindControl(id);
  if (!c) return CB_ERR;
  for (size_t i = 0; i < c->items.size(); ++i) {
    if (c->items[i].CompareNoCase(text.view()) == 0) return static_cast<int>(i);
  }
  return CB_ERR;
}

int CDialog::GetCurSel(int id) const {
  const ControlState* c = FindControl(id);
  if (!c || !HasItems(c->kind)) return CB_ERR;
  return c->cur_sel;
}

int CDialog::SetCurSel(int id, int index) {
  ControlState* c = MutableControl(id);
  if (!c || !HasItems(c->kind) || IsMultiList(*c)) return CB_ERR;
  if (index < 0 || index >= static_cast<int>(c->items.size())) {
    c->cur_sel = -1;
    if (IsComboKind(c->kind)) c->text.Empty();
    return CB_ERR;
  }
  c->cur_sel = index;
  if (IsComboKind(c->kind)) c->text = c->items[static_cast<size_t>(index)];
  return index;
}

int CDialog::GetSel(int id, int index) const {
  const ControlState* c = FindControl(id);
  if (!c || !HasItems(c->kind) || index < 0 || index >= static_cast<int>(c->items.size())) {
    return LB_ERR;
  }
  if (IsMultiList(*c)) return c->selected[static_cast<size_t>(index)] ? 1 : 0;
  return c->cur_sel == index ? 1 : 0;
}

int CDialog::SetSel(int id, int index, bool select) {
  ControlState* c = MutableControl(id);
  if (!c || !IsMultiList(*c) || index < -1 || index >= static_cast<int>(c->items.size())) {
    return LB_ERR;
  }
  if (index == -1) {
    for (size_t i = 0; i < c->selected.size(); ++i) c->selected[i] = select;
  } else {
    c->selected[static_cast<size_t>(index)] = select;
  }
  return 0;
}

int CDialog::GetSelCount(int id) const {
  const ControlState* c = FindControl(id);
  if (!c || !IsMultiList(*c)) return LB_ERR;
  int count = 0;
  for (bool s : c->selected) count += s ? 1 : 0;
  return count;
}

std::vector<int> CDialog::GetSelItems(int id) const {
  std::vector<int> out;
  const ControlState* c = FindControl(id);
  if (!c || !IsMultiList(*c)) return out;
  for (size_t i = 0; i < c->selected.size(); ++i) {
    if (c->selected[i]) out.push_back(static_cast<int>(i));
  }
  return out;
}

std::vector<size_t> CDialog::RadioButtonsFrom(size_t start) const {
  std::vector<size_t> group;
  for (size_t i = start; i < controls_.size(); ++i) {
    if (i > start && controls_[i].group_start) break;
    if (controls_[i].kind == ControlKind::kRadioButton) group.push_back(i);
  }
  return group;
}

std::vector<size_t> CDialog::RadioGroupOf(size_t index) const {
  size_t start = index;
  while (start > 0 && !controls_[start].group_start) --start;
  return RadioButtonsFrom(start);
}

// --- the user's actions ---

bool CDialog::IsUsable(const ControlState* control) const {
  return control && control->enabled && control->visible;
}

bool CDialog::UserSetText(int id, const CString& text) {
  ControlState* c = MutableControl(id);
  if (!IsUsable(c)) return false;
  if (c->kind != ControlKind::kEdit && c->kind != ControlKind::kComboDropDown) return false;
  SetDlgItemText(id, text);
  OnControlChanged(id);
  return true;
}

bool CDialog::UserSetCheck(int id, int state) {
  ControlState* c = MutableControl(id);
  if (!IsUsable(c)) return false;
  if (c->kind == ControlKind::kCheckBox) {
    if (state < BST_UNCHECKED || state > BST_INDETERMINATE) return false;
    c->check = state;
  } else if (c->kind == ControlKind::kRadioButton) {
    if (state != BST_CHECKED) return false;
    const size_t self = static_cast<size_t>(c - controls_.data());
    for (size_t i : RadioGroupOf(self)) controls_[i].check = BST_UNCHECKED;
    controls_[self].check = BST_CHECKED;
  } else {
    return false;
  }
  OnControlChanged(id);
  return true;
}

bool CDialog::UserSelect(int id, int index) {
  ControlState* c = MutableControl(id);
  if (!IsUsable(c) || !HasItems(c->kind) || IsMultiList(*c)) return false;
  if (index < 0 || index >= static_cast<int>(c->items.size())) return false;
  SetCurSel(id, index);
  OnControlChanged(id);
  return true;
}

bool CDialog::UserSetItemSelected(int id, int index, bool selected) {
  ControlState* c = MutableControl(id);
  if (!IsUsable(c) || !IsMultiList(*c)) return false;
  if (index < 0 || index >= static_cast<int>(c->items.size())) return false;
  c->selected[static_cast<size_t>(index)] = selected;
  c->cur_sel = index;  // the entry the user last touched
  OnControlChanged(id);
  return true;
}

bool CDialog::UserClick(int id) {
  ControlState* c = MutableControl(id);
  if (!IsUsable(c)) return false;
  switch (c->kind) {
    case ControlKind::kCheckBox:
      return UserSetCheck(id, c->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    case ControlKind::kRadioButton:
      return UserSetCheck(id, BST_CHECKED);
    case ControlKind::kPushButton:
    case ControlKind::kDefPushButton:
      if (id == IDOK) {
        OnOK();
      } else if (id == IDCANCEL) {
        OnCancel();
      } else {
        OnControlChanged(id);
      }
      return true;
    default:
      return false;
  }
}

bool CDialog::UserDoubleClick(int id) {
  ControlState* c = MutableControl(id);
  if (!IsUsable(c) || c->kind != ControlKind::kListBox) return false;
  OnControlDoubleClicked(id);
  return true;
}

// --- data exchange ---

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  if (pDX->Failed()) return;
  pDX->PrepareCtrl(nIDC);
  CDialog* dlg = pDX->m_pDlgWnd;
  if (pDX->m_bSaveAndValidate) {
    value = dlg->GetDlgItemText(nIDC);
  } else {
    dlg->SetDlgItemText(nIDC, value);
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  if (pDX->Failed()) return;
  pDX->PrepareCtrl(nIDC);
  CDialog* dlg = pDX->m_pDlgWnd;
  if (pDX->m_bSaveAndValidate) {
    int parsed = 0;
    if (!ParseWholeInt(dlg->GetDlgItemText(nIDC).view(), parsed)) {
      TellNotANumber("Please enter an integer.");
      pDX->Fail();
      return;
    }
    value = parsed;
  } else {
    dlg->SetDlgItemText(nIDC, CString(FormatNumberText("%d", value)));
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  if (pDX->Failed()) return;
  pDX->PrepareCtrl(nIDC);
  CDialog* dlg = pDX->m_pDlgWnd;
  if (pDX->m_bSaveAndValidate) {
    double parsed = 0.0;
    if (!ParseWholeDouble(dlg->GetDlgItemText(nIDC).view(), parsed)) {
      TellNotANumber("Please enter a number.");
      pDX->Fail();
      return;
    }
    value = parsed;
  } else {
    dlg->SetDlgItemText(nIDC, CString(FormatNumberText("%.15g", value)));
  }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  if (pDX->Failed()) return;
  pDX->PrepareCtrl(nIDC);
  CDialog* dlg = pDX->m_pDlgWnd;
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<int>(dlg->IsDlgButtonChecked(nIDC));
  } else {
    dlg->CheckDlgButton(nIDC, value < 0 ? 0u : static_cast<UINT>(value));
  }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  if (pDX->Failed()) return;
  pDX->PrepareCtrl(nIDC);
  CDialog* dlg = pDX->m_pDlgWnd;
  const ControlState* first = dlg->FindControl(nIDC);
  if (!first) return;
  // The group is the one this control starts: the next group start ends it.
  const std::vector<size_t> group =
      dlg->RadioButtonsFrom(static_cast<size_t>(first - dlg->controls_.data()));
  if (pDX->m_bSaveAndValidate) {
    value = -1;
    for (size_t n = 0; n < group.size(); ++n) {
      if (dlg->controls_[group[n]].check == BST_CHECKED) {
        value = static_cast<int>(n);
        break;
      }
    }
  } else {
    for (size_t n = 0; n < group.size(); ++n) {
      dlg->controls_[group[n]].check =
          static_cast<int>(n) == value ? BST_CHECKED : BST_UNCHECKED;
    }
  }
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  if (pDX->Failed()) return;
  pDX->PrepareCtrl(nIDC);
  CDialog* dlg = pDX->m_pDlgWnd;
  const ControlState* c = dlg->FindControl(nIDC);
  if (!c) return;
  if (pDX->m_bSaveAndValidate) {
    value = c->text;
    return;
  }
  const int exact = dlg->FindStringExact(nIDC, value);
  if (exact != CB_ERR) {
    dlg->SetCurSel(nIDC, exact);
  } else if (c->kind == ControlKind::kComboDropList) {
    // A list-only combo cannot show a text of its own: the first entry that
    // begins with it, or nothing.
    int prefix = CB_ERR;
    for (size_t i = 0; i < c->items.size() && prefix == CB_ERR; ++i) {
      if (c->items[i].Left(value.GetLength()).CompareNoCase(value.view()) == 0) {
        prefix = static_cast<int>(i);
      }
    }
    dlg->SetCurSel(nIDC, prefix);
  } else {
    dlg->SetDlgItemText(nIDC, value);
  }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& value) {
  if (pDX->Failed()) return;
  pDX->PrepareCtrl(nIDC);
  CDialog* dlg = pDX->m_pDlgWnd;
  if (pDX->m_bSaveAndValidate) {
    value = dlg->GetCurSel(nIDC);
  } else {
    dlg->SetCurSel(nIDC, value);
  }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& value) { DDX_CBIndex(pDX, nIDC, value); }
