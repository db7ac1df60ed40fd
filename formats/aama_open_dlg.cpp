#include "formats/aama_open_dlg.h"

#include <cmath>
#include <string_view>

#include "platform/numbers.h"
#include "res/resource_ids.h"

namespace {

// The entries of the scale list with the factor each stands for.
struct ScaleEntry {
  std::string_view text;
  double factor;
};
constexpr ScaleEntry kScaleEntries[] = {
    {"1.0", 1.0},         {"0.1", 0.1},           {"10.0", 10.0},  {"25.4", 25.4},
    {"2.54", 2.54},       {"1/2.54", 1.0 / 2.54}, {"1/25.4", 1.0 / 25.4},
    {"0.01", 0.01},       {"0.001", 0.001},       {"0.0001", 0.0001},
};

const ScaleEntry* FindScaleEntry(std::string_view text) {
  for (const ScaleEntry& e : kScaleEntries) {
    if (e.text == text) return &e;
  }
  return nullptr;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The whole text (blanks around it allowed) as a number; false when anything
// else is in it.
bool ParseWholeNumber(std::string_view text, double& out) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.empty()) return false;
  size_t i = 0;
  if (text[i] == '+' || text[i] == '-') ++i;
  size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exp_digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++exp_digits;
    if (exp_digits == 0) return false;
  }
  if (i != text.size()) return false;
  out = ParseDouble(text);
  return true;
}

}  // namespace

CAamaOpenDlg::CAamaOpenDlg(void* /*parent*/) : CDialog(IDD_AAMA_OPEN) {}

void CAamaOpenDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  if (pDX->m_bSaveAndValidate && !pDX->Failed()) {
    // A scale the reader cannot apply (a word, zero, a negative number)
    // would put every piece at a nonsense size or on one point: the user is
    // asked again, and no member changes.
    pDX->PrepareCtrl(IDC_AAMA_OPEN_SCALE);
    if (!IsAcceptableAamaScale(GetDlgItemText(IDC_AAMA_OPEN_SCALE))) {
      Prompts().MessageBox("Please enter a number.", CString(), MB_OK | MB_ICONEXCLAMATION);
      pDX->Fail();
      return;
    }
  }
  DDX_Check(pDX, IDC_AAMA_OPEN_TEXT_INFO, m_bTextInfo);
  DDX_Check(pDX, IDC_AAMA_OPEN_ALL_GRADE, m_bAllGradePoints);
  DDX_CBString(pDX, IDC_AAMA_OPEN_SCALE, m_strScale);
  DDX_Check(pDX, IDC_AAMA_OPEN_SIZES_APART, m_bSizesSeparate);
}

bool IsAcceptableAamaScale(const CString& text) {
  if (FindScaleEntry(text.view())) return true;
  double value = 0.0;
  return ParseWholeNumber(text.view(), value) && std::isfinite(value) && value > 0.0;
}

double AamaScaleFactor(const CString& text) {
  if (const ScaleEntry* e = FindScaleEntry(text.view())) return e->factor;
  return ParseDouble(text.view());
}
