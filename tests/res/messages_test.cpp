#include <gtest/gtest.h>

#include <vector>

#include "platform/prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

// Records the message boxes asked for and answers each with `answer`.
class RecordingPrompts : public IPrompts {
 public:
  struct Asked {
    CString text;
    CString caption;
    UINT type;
  };

  int MessageBox(const CString& text, const CString& caption, UINT type) override {
    asked.push_back({text, caption, type});
    return answer;
  }
  std::optional<FileDialogResult> FileDialog(const FileDialogRequest&) override { return std::nullopt; }
  BOOL FontDialog(LOGFONT&) override { return FALSE; }
  std::optional<CString> FolderDialog(const CString&, const CString&) override { return std::nullopt; }
  int RunDialog(CDialog&) override { return IDCANCEL; }

  std::vector<Asked> asked;
  int answer = IDOK;
};

class ShowFailureMessageTest : public testing::Test {
 protected:
  void SetUp() override { previous_ = SetPrompts(&prompts_); }
  void TearDown() override { SetPrompts(previous_); }

  RecordingPrompts prompts_;
  IPrompts* previous_ = nullptr;
};

TEST_F(ShowFailureMessageTest, AsksWithTheTitleAsCaptionAndTheExclamationIcon) {
  prompts_.answer = IDYES;  // whatever the box answers is handed back
  EXPECT_EQ(ShowFailureMessage(IDS_NOT_PTN_FILE), IDYES);
  ASSERT_EQ(prompts_.asked.size(), 1u);
  EXPECT_EQ(prompts_.asked[0].text.str(), "\xB7\xC7\xD4\xF3\xCE\xAC\xD6\xBD\xD1\xF9\xB5\xB5\xB0\xB8 !");
  EXPECT_EQ(prompts_.asked[0].caption.str(), "\xD4\xF3\xCE\xAC\xB8\xF1\xCA\xBD\xD7\xAA\xBB\xBB\xC8\xED\xBC\xFE");
  EXPECT_EQ(prompts_.asked[0].type, MB_ICONEXCLAMATION | MB_OK);
}

TEST_F(ShowFailureMessageTest, EachMessageGoesThroughTheSeam) {
  for (UINT id : {40001u, 40002u, 40004u, 40005u, 40006u, 40007u, 40008u, 40012u}) {
    ShowFailureMessage(id);
  }
  ASSERT_EQ(prompts_.asked.size(), 8u);
  for (const RecordingPrompts::Asked& a : prompts_.asked) {
    EXPECT_FALSE(a.text.IsEmpty());
    EXPECT_EQ(a.caption, LoadString(IDS_APP_TITLE));
  }
  EXPECT_EQ(prompts_.asked[2].text, LoadString(IDS_FILE_DATA_ERROR));
}

}  // namespace
