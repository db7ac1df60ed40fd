#include "formats/ptn_preview_dlg.h"

#include <gtest/gtest.h>

#include <string>

#include "formats/ptn_layout.h"
#include "platform/recording_dc.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "tests/support/le_bytes.h"
#include "tests/support/temp_folder.h"

namespace {

// A flat file of `version` as the writer lays it out, whose fourth header
// text is `description`.
std::string FlatFile(const std::string& description, int32_t version = kPtnWrittenVersion) {
  LeBytes b;
  b.U32(kPtnMagicFlat).I32(version).U32(0).I32(40).U16(0).Zeros(kPtnFillerBytes).U32(kPtnHeaderBytes);
  b.Str("style").Str("name").Str("third").Str(description).Str("fifth").I32(0).I32(0);
  return b.Bytes();
}

class PtnPreviewDlgTest : public ::testing::Test {
 protected:
  PtnPreviewDlgTest()
      : coat_(folder_.AddFile("coat.ptn", FlatFile("winter coat"))),
        skirt_(folder_.AddFile("skirt.ptn", FlatFile("pleated skirt"))) {}

  // The dialog as the file dialog opens it.
  void Open() { dlg_.BeginModalRun(); }
  CString Shown() const { return dlg_.GetDlgItemText(IDC_PREVIEW_DESCRIPTION); }
  int Repaints() const { return dlg_.FindControl(IDC_PREVIEW_AREA)->repaints; }

  TempFolder folder_{"zv_preview_dlg"};
  CString coat_;
  CString skirt_;
  CPreviewFileDlg dlg_;
};

TEST_F(PtnPreviewDlgTest, OpeningShowsTheSwitchAndTheDescription) {
  Open();
  EXPECT_EQ(dlg_.GetTemplateId(), IDD_PREVIEW_OPEN);
  EXPECT_EQ(dlg_.IsDlgButtonChecked(IDC_PREVIEW_SHOW), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(Shown(), "");

  CPreviewFileDlg other;
  other.m_bShowPreview = 0;
  other.m_strDescription = "kept";
  other.BeginModalRun();
  EXPECT_EQ(other.IsDlgButtonChecked(IDC_PREVIEW_SHOW), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(other.GetDlgItemText(IDC_PREVIEW_DESCRIPTION), "kept");
  EXPECT_EQ(other.m_wndPreview.GetDlgCtrlID(), IDC_PREVIEW_AREA);
}

TEST_F(PtnPreviewDlgTest, SelectingFilesShowsTheirDescriptionsAndAFolderOnlyClearsThePreview) {
  Open();
  dlg_.SelectFile(coat_);
  EXPECT_EQ(Shown(), "winter coat");
  EXPECT_EQ(dlg_.m_strDescription, "winter coat");
  EXPECT_EQ(dlg_.GetSelectedPath(), coat_);
  const int after_coat = Repaints();
  EXPECT_GE(after_coat, 1);

  dlg_.EnterFolder(CString(folder_.path()));
  EXPECT_EQ(Repaints(), after_coat + 1);
  EXPECT_EQ(Shown(), "winter coat");
  EXPECT_EQ(dlg_.GetSelectedPath(), "");
  EXPECT_FALSE(dlg_.m_wndPreview.HasPicture());

  dlg_.SelectFile(skirt_);
  EXPECT_EQ(Shown(), "pleated skirt");
}

TEST_F(PtnPreviewDlgTest, WithTheSwitchOffSelectionsReadNothing) {
  Open();
  dlg_.SelectFile(coat_);
  const int before = Repaints();
  ASSERT_TRUE(dlg_.UserClick(IDC_PREVIEW_SHOW));
  EXPECT_EQ(dlg_.m_bShowPreview, 0);
  EXPECT_EQ(Repaints(), before + 1);  // the preview is cleared
  EXPECT_EQ(Shown(), "winter coat");

  dlg_.SelectFile(skirt_);
  EXPECT_EQ(Repaints(), before + 1);
  EXPECT_EQ(Shown(), "winter coat");
  EXPECT_EQ(dlg_.m_strDescription, "winter coat");

  // On again: the file selected meanwhile is read at once.
  ASSERT_TRUE(dlg_.UserClick(IDC_PREVIEW_SHOW));
  EXPECT_EQ(dlg_.m_bShowPreview, 1);
  EXPECT_EQ(Shown(), "pleated skirt");
}

TEST_F(PtnPreviewDlgTest, FilesWithoutADescriptionOfTheirOwn) {
  LeBytes archive_old;
  archive_old.U32(kPtnMagicArchive).I32(108).Zeros(200);
  struct Case {
    const char* name;
    std::string bytes;
    bool repainted;
  };
  const Case kCases[] = {
      {"older flat file", FlatFile("ignored", 115), true},
      {"not native", "0\r\nSECTION\r\n2\r\nENTITIES\r\n", false},
      {"cut header", FlatFile("cut off").substr(0, kPtnHeaderBytes + 20), false},
      {"older archive", archive_old.Bytes(), false},
      {"empty", "", false},
  };
  Open();
  dlg_.SelectFile(coat_);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const CString path(folder_.AddFile(std::string(c.name) + ".ptn", c.bytes));
    const int before = Repaints();
    dlg_.SelectFile(path);
    EXPECT_EQ(Shown(), "winter coat");
    EXPECT_EQ(dlg_.m_strDescription, "winter coat");
    EXPECT_EQ(Repaints(), before + (c.repainted ? 1 : 0));
  }
  // A file that cannot be opened only clears the preview.
  const int before = Repaints();
  dlg_.SelectFile(CString(folder_ / "gone.ptn"));
  EXPECT_EQ(Repaints(), before + 1);
  EXPECT_EQ(Shown(), "winter coat");
}

TEST_F(PtnPreviewDlgTest, TheOpenFileDialogCarriesThePaneThroughTheUsersChoices) {
  ScriptedPrompts prompts;
  ScopedPrompts use(&prompts);
  prompts.ChooseFile(skirt_, 1, DialogScript().SelectFile(coat_).EnterFolder(CString(folder_.path())));
  FileDialogRequest request;
  request.default_extension = "ptn";
  request.pane = &dlg_;
  ASSERT_TRUE(Prompts().FileDialog(request).has_value());
  ASSERT_EQ(prompts.records().size(), 1u);
  EXPECT_TRUE(prompts.records()[0].notes.empty());
  EXPECT_EQ(prompts.records()[0].template_id, IDD_PREVIEW_OPEN);
  EXPECT_EQ(dlg_.GetSelectedPath(), skirt_);
  EXPECT_EQ(dlg_.m_strDescription, "pleated skirt");
}

TEST_F(PtnPreviewDlgTest, ThePreviewAreaIsAWindowColouredBoxWithItsDiagonals) {
  Open();
  RecordingDC dc;
  const CPen* pen_before = dc.state().selected_pen;
  const CBrush* brush_before = dc.state().selected_brush;
  ASSERT_TRUE(dlg_.PaintControl(IDC_PREVIEW_AREA, dc, CRect(0, 0, 120, 90)));
  const std::vector<std::string> lines = dc.Lines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Rectangle (0,0,120,90) pen=solid/1/0xFFFFFF brush=0xFFFFFF");
  EXPECT_EQ(lines[2], "LineTo (0,0)-(120,90) pen=solid/1/0x000000");
  EXPECT_EQ(lines[4], "LineTo (120,0)-(0,90) pen=solid/1/0x000000");
  // The device context is left as it was found.
  EXPECT_EQ(dc.state().selected_pen, pen_before);
  EXPECT_EQ(dc.state().selected_brush, brush_before);

  // The same with a selection made, and the other controls keep their own look.
  dlg_.SelectFile(coat_);
  dc.Clear();
  ASSERT_TRUE(dlg_.PaintControl(IDC_PREVIEW_AREA, dc, CRect(0, 0, 120, 90)));
  EXPECT_EQ(dc.Lines(), lines);
  EXPECT_FALSE(dlg_.PaintControl(IDC_PREVIEW_DESCRIPTION, dc, CRect(0, 0, 10, 10)));

  int width = 7;
  int height = 8;
  EXPECT_EQ(dlg_.m_wndPreview.GetPictureSize(width, height), FALSE);
  EXPECT_EQ(width, 7);
  EXPECT_EQ(dlg_.m_wndPreview.LoadPreview(coat_), -1);
}

}  // namespace
