#include "formats/ptn_preview_dlg.h"

#include <string>

#include "formats/ptn_preview.h"
#include "platform/dc.h"
#include "res/resource_ids.h"

namespace {

// The system colours of the standard scheme the preview area is drawn in.
constexpr COLORREF kWindowColor = RGB(255, 255, 255);
constexpr COLORREF kWindowTextColor = RGB(0, 0, 0);

}  // namespace

// --- the preview area ---

void CPreviewWnd::SubclassDlgItem(int id, CDialog* parent) {
  id_ = id;
  parent_ = parent;
}

void CPreviewWnd::SetPreview(const CString& /*path*/) {
  m_pPicture.reset();
  if (parent_) parent_->InvalidateControl(id_);
}

int CPreviewWnd::LoadPreview(const CString& /*path*/) { return -1; }

BOOL CPreviewWnd::GetPictureSize(int& width, int& height) const {
  if (!m_pPicture) return FALSE;
  const CSize size = m_pPicture->GetSize();
  width = size.cx;
  height = size.cy;
  return TRUE;
}

void CPreviewWnd::OnPaint(CDC& dc, const CRect& client) const {
  const int saved = dc.SaveDC();
  CPen window_pen(PS_SOLID, 1, kWindowColor);
  CBrush window_brush(kWindowColor);
  dc.SelectObject(&window_pen);
  dc.SelectObject(&window_brush);
  dc.Rectangle(client);
  CPen text_pen(PS_SOLID, 1, kWindowTextColor);
  dc.SelectObject(&text_pen);
  dc.MoveTo(client.left, client.top);
  dc.LineTo(client.right, client.bottom);
  dc.MoveTo(client.right, client.top);
  dc.LineTo(client.left, client.bottom);
  dc.RestoreDC(saved);
}

// --- the dialog ---

CPreviewFileDlg::CPreviewFileDlg() : CFileDialogPane(IDD_PREVIEW_OPEN) {}

BOOL CPreviewFileDlg::OnInitDialog() {
  CFileDialogPane::OnInitDialog();
  m_wndPreview.SubclassDlgItem(IDC_PREVIEW_AREA, this);
  CheckDlgButton(IDC_PREVIEW_SHOW, m_bShowPreview > 0 ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemText(IDC_PREVIEW_DESCRIPTION, m_strDescription);
  return TRUE;
}

void CPreviewFileDlg::OnControlChanged(int id) {
  if (id == IDC_PREVIEW_SHOW) OnShowStylePicture();
}

bool CPreviewFileDlg::PaintControl(int id, CDC& dc, const CRect& client) {
  if (id != IDC_PREVIEW_AREA) return false;
  m_wndPreview.OnPaint(dc, client);
  return true;
}

void CPreviewFileDlg::OnShowStylePicture() {
  // The switch follows the check box as the user left it, so that the two
  // never disagree, however the box was set.
  m_bShowPreview = IsDlgButtonChecked(IDC_PREVIEW_SHOW) == BST_CHECKED ? 1 : 0;
  ReadPreview(m_bShowPreview ? GetSelectedPath() : CString());
}

void CPreviewFileDlg::OnFileNameChange() {
  if (m_bShowPreview) ReadPreview(GetSelectedPath());
}

void CPreviewFileDlg::OnFolderChange() { ReadPreview(CString()); }

void CPreviewFileDlg::ReadPreview(const CString& path) {
  if (path.IsEmpty()) {
    m_wndPreview.SetPreview(CString());
    return;
  }
  if (m_wndPreview.LoadPreview(path) >= 0) {
    m_wndPreview.SetPreview(path);
    return;
  }
  std::string bytes;
  if (!ReadPreviewBytes(path, bytes)) {
    m_wndPreview.SetPreview(CString());
    return;
  }
  const PreviewHeader header = ReadPreviewHeader(bytes);
  if (!header.ShowsPreview()) return;
  if (header.outcome == PreviewOutcome::kNewDescription) m_strDescription = header.description;
  m_wndPreview.SetPreview(path);
  SetDlgItemText(IDC_PREVIEW_DESCRIPTION, m_strDescription);
}
