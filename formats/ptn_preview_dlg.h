// The native open dialog's own part beside the file list (template 510): a
// preview area, a switch that turns the preview on and off, and the
// description stored in the header of the file selected. The dialog reads
// only the header (formats/ptn_preview.h); the file is opened afterwards by
// the native reader.
//
// The open command hands the dialog to the file dialog as its pane
// (FileDialogRequest::pane), which tells it of every file selected and every
// folder entered.
#pragma once

#include <memory>

#include "platform/dialog.h"
#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CDC;

// A picture of a style for the preview area. The program knows no picture
// format, so none is ever made; the type gives the preview window's
// ownership of one its shape.
class CPreviewPicture {
 public:
  virtual ~CPreviewPicture() = default;
  virtual CSize GetSize() const = 0;
};

// The preview area (control 1387 of template 510): where a picture of the
// style would go, a window-coloured box crossed by its two diagonals.
class CPreviewWnd {
 public:
  CPreviewWnd() = default;
  CPreviewWnd(const CPreviewWnd&) = delete;
  CPreviewWnd& operator=(const CPreviewWnd&) = delete;

  // Takes over control `id` of `parent`: repaints of the preview go to that
  // control. `parent` must outlive the window's use of it.
  void SubclassDlgItem(int id, CDialog* parent);
  int GetDlgCtrlID() const { return id_; }

  // Drops the picture, if there is one, and repaints the area. The path is
  // not looked at: no picture is ever made from a file.
  void SetPreview(const CString& path);
  // A picture made from the file at `path`: always -1, none can be.
  int LoadPreview(const CString& path);
  // The size of the picture; FALSE (sizes untouched) when there is none.
  BOOL GetPictureSize(int& width, int& height) const;
  bool HasPicture() const { return m_pPicture != nullptr; }

  // Paints the area `client` (device pixels): a box filled and outlined in
  // the window colour, and its two diagonals in the window text colour, each
  // from a corner to the opposite one. Leaves the device context's state as
  // it found it.
  void OnPaint(CDC& dc, const CRect& client) const;

 private:
  std::unique_ptr<CPreviewPicture> m_pPicture;
  CDialog* parent_ = nullptr;
  int id_ = 0;
};

class CPreviewFileDlg : public CFileDialogPane {
 public:
  CPreviewFileDlg();

  // Subclasses the preview area, and shows the switch and the description.
  BOOL OnInitDialog() override;
  // The switch (control 1388) runs OnShowStylePicture.
  void OnControlChanged(int id) override;
  // The preview area is painted by the preview window.
  bool PaintControl(int id, CDC& dc, const CRect& client) override;

  // The switch was clicked: the preview follows it, reading the selected
  // file when it comes on and clearing the preview when it goes off.
  void OnShowStylePicture();
  // The file the user selected last; empty after a folder change.
  CString GetSelectedPath() const { return GetPathName(); }
  // Shows the preview and the description of the native file at `path`; an
  // empty path only clears the preview. A file that cannot be read, is not a
  // native pattern file, or whose header is cut short changes nothing.
  void ReadPreview(const CString& path);

  CPreviewWnd m_wndPreview;
  // Read and show the header of every file selected (the switch, 1388).
  int m_bShowPreview = 1;
  // The description shown (1684), GBK bytes; it stays until a file with a
  // description of its own is selected.
  CString m_strDescription;

 protected:
  void OnFileNameChange() override;
  void OnFolderChange() override;
};
