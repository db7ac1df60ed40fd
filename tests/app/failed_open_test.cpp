// The open commands with their real readers: a file that is refused or
// cannot be read leaves the loaded style, the list pane, the work area, the
// title and the style file as they were, and its message shows while the
// loaded style is in place.
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>

#include "app/work_window.h"
#include "main_frame_fixture.h"
#include "model/shell_services.h"
#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

// A one-piece AAMA file by GERBER.
const char kAamaStyle[] =
    "0\nSECTION\n2\nHEADER\n999\nAuthor: GERBER\n999\nUNITS: METRIC\n0\nENDSEC\n"
    "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n1\n2\nP1\n"
    "0\nTEXT\n8\n1\n10\n0\n20\n0\n1\nPiece Name: FRONT\n"
    "0\nPOLYLINE\n8\n1\n66\n1\n70\n1\n"
    "0\nVERTEX\n8\n1\n10\n0\n20\n0\n0\nVERTEX\n8\n1\n10\n100\n20\n0\n"
    "0\nVERTEX\n8\n1\n10\n100\n20\n100\n0\nVERTEX\n8\n1\n10\n0\n20\n100\n0\nSEQEND\n"
    "0\nENDBLK\n0\nENDSEC\n0\nEOF\n";

// Three squares, read as three pieces.
std::string ThreeSquares() {
  std::string body = "  0\nSECTION\n  2\nENTITIES\n";
  for (int left : {0, 300, 600}) {
    body += "  0\nPOLYLINE\n  8\n0\n 66\n1\n 70\n1\n";
    for (const auto& [x, y] : {std::pair{left, 0}, {left + 100, 0}, {left + 100, 100}, {left, 100}}) {
      body += "  0\nVERTEX\n 10\n" + std::to_string(x) + "\n 20\n" + std::to_string(y) + "\n";
    }
    body += "  0\nSEQEND\n";
  }
  return body + "  0\nENDSEC\n  0\nEOF\n";
}

// Notes, at each message box, what the style and the list pane held.
class WatchingPrompts : public ScriptedPrompts {
 public:
  int MessageBox(const CString& text, const CString& caption, UINT type) override {
    CMainFrame* frame = frame_;
    seen.push_back({g_Style.PieceRing, g_Style.PieceCount, frame ? frame->GetListBox()->GetCount() : -1});
    return ScriptedPrompts::MessageBox(text, caption, type);
  }
  struct Seen {
    CPieceRecord* first;
    int pieces;
    int listed;
  };
  std::vector<Seen> seen;
  CMainFrame* frame_ = nullptr;
};

// What the window shows of the loaded style.
struct Shown {
  std::vector<CPieceRecord*> pieces;
  std::vector<CPieceRecord*> work;
  std::vector<CPieceRecord*> listed;
  int listSelection = -1;
  CPieceRecord* current = nullptr;
  int sizes = 0;
  int scale = 0;
  CString styleName;
  QString title;
  CString styleFile;
  CRect extent;
  int originX = 0;
  int originY = 0;
  double viewScale = 0;

  bool operator==(const Shown&) const = default;
};

class FailedOpenTest : public MainFrameFixture {
 protected:
  Shown Now() {
    Shown s;
    CPieceRecord* piece = g_Style.PieceRing;
    for (int i = 0; i < g_Style.PieceCount; ++i, piece = piece->Next) s.pieces.push_back(piece);
    piece = g_Style.WorkPieceRing;
    for (int i = 0; i < g_Style.WorkPieceCount; ++i, piece = piece->Next) s.work.push_back(piece);
    CPatternListBox* list = Frame().GetListBox();
    for (int i = 0; i < list->GetCount(); ++i) s.listed.push_back(list->GetItemData(i));
    s.listSelection = list->GetCurSel();
    s.current = g_Selection.GetCurrentPiece();
    s.sizes = g_Style.SizeCount;
    s.scale = g_Style.GetScale();
    s.styleName = g_Style.StyleName;
    s.title = Frame().windowTitle();
    s.styleFile = Frame().GetStyleFile();
    CWorkWindow* view = Frame().GetWorkWindow();
    s.extent = view->Extent;
    s.originX = view->GetOriginX();
    s.originY = view->GetOriginY();
    s.viewScale = view->GetScale();
    return s;
  }

  // Runs an open command on `path`, answering its options dialog with OK
  // (a DXF drawing read as many patterns) when `asks` says it comes.
  void Open(WatchingPrompts& prompts, int command, const std::string& path, bool asks) {
    prompts.ChooseFile(path);
    if (asks && command == ID_FILE_OPEN_AAMA) prompts.RunOptionsDialog(DialogScript(IDD_AAMA_OPEN));
    if (asks && command == ID_FILE_OPEN_DXF) {
      prompts.RunOptionsDialog(DialogScript(IDD_DXF_OPEN).ChooseRadio(IDC_DXF_OPEN_MANY));
    }
    ASSERT_TRUE(Frame().RunCommand(command));
    QApplication::processEvents();
  }

  // Places every listed piece, as clicks on the list pane do.
  void PlaceAll() {
    CPatternListBox* list = Frame().GetListBox();
    for (int i = 0; i < list->GetCount(); ++i) {
      list->SetCurSel(i);
      list->OnSelchange();
      QApplication::processEvents();
    }
  }

  TempFolder files_{"zv_failed_open"};
};

TEST_F(FailedOpenTest, ARefusedOrBrokenFileLeavesWhatIsLoaded) {
  const std::string cutAama =
      "0\nSECTION\n2\nHEADER\n999\nAuthor: GERBER\n0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n1\n2\nP1\n"
      "0\nPOLYLINE\n8\n1\n70\n1\n0\nVERTEX\n10\n0\n20\n0\n";
  struct Case {
    const char* name;
    int command;
    std::string bytes;  // empty: the file is not there
    bool asks;          // whether the options dialog comes before the failure
    int message;
    std::string rules = {};  // the *.rul beside it; empty: none
    const char* special = nullptr;  // "folder" or "pipe" in the file's place
  };
  auto aamaWithCoordinate = [](const char* value) {
    std::string text = kAamaStyle;
    const std::string at = "10\n100\n20\n100\n";
    return text.replace(text.find(at), at.size(), std::string("10\n") + value + "\n20\n100\n");
  };
  const std::vector<Case> kCases = {
      {"not AAMA", ID_FILE_OPEN_AAMA, "SECTION\n0\nEOF\n", true, 40007},
      {"AAMA cut inside a POLYLINE", ID_FILE_OPEN_AAMA, cutAama, true, 40004},
      {"missing AAMA", ID_FILE_OPEN_AAMA, "", false, 40002},
      {"binary DXF", ID_FILE_OPEN_DXF, std::string("AutoCAD Binary DXF\r\n\x1a\0\0SECTION\0", 29), false, 40005},
      {"DXF cut inside a LINE", ID_FILE_OPEN_DXF, "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n1.0\n 20\n", true,
       40004},
      {"missing DXF", ID_FILE_OPEN_DXF, "", false, 40002},
      {"rule table of 300 sizes naming 3", ID_FILE_OPEN_AAMA, kAamaStyle, true, 40004,
       "UNITS: METRIC\nNUMBER OF SIZES: 300\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 1\n-1,0 0,0 1,0\n"},
      {"rule table whose sample size is not listed", ID_FILE_OPEN_AAMA, kAamaStyle, true, 40004,
       "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: S M L\nSAMPLE SIZE: XL\nRULE: DELTA 1\n-1,0 0,0 1,0\n"},
      {"rule table cut inside its last rule", ID_FILE_OPEN_AAMA, kAamaStyle, true, 40004,
       "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 1\n-1,0 0,0 1,"},
      {"rule table naming fewer sizes than it holds", ID_FILE_OPEN_AAMA, kAamaStyle, true, 40004,
       "UNITS: METRIC\nNUMBER OF SIZES: 4\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 1\n-1,0 0,0 1,0 2,0\n"},
      {"rule table of 1001 sizes", ID_FILE_OPEN_AAMA, kAamaStyle, true, 40004,
       "UNITS: METRIC\nNUMBER OF SIZES: 1001\nSIZE LIST: S M L\nSAMPLE SIZE: M\n"},
      {"NaN coordinate", ID_FILE_OPEN_AAMA, aamaWithCoordinate("nan"), true, 40004},
      {"1e308 coordinate", ID_FILE_OPEN_AAMA, aamaWithCoordinate("1e308"), true, 40004},
      {"AAMA folder", ID_FILE_OPEN_AAMA, "", false, 40002, {}, "folder"},
      {"AAMA named pipe", ID_FILE_OPEN_AAMA, "", false, 40002, {}, "pipe"},
      {"DXF folder", ID_FILE_OPEN_DXF, "", false, 40002, {}, "folder"},
      {"DXF named pipe", ID_FILE_OPEN_DXF, "", false, 40002, {}, "pipe"},
  };
  struct Loaded {
    int command;
    std::string path;
  };
  const Loaded kLoaded[] = {
      {ID_FILE_OPEN_AAMA, files_.AddFile("style.dxf", kAamaStyle)},
      {ID_FILE_OPEN_DXF, files_.AddFile("three.dxf", ThreeSquares())},
  };
  WatchingPrompts prompts;
  ScopedPrompts scoped(&prompts);
  prompts.frame_ = &Frame();
  for (const Loaded& loaded : kLoaded) {
    ClearStyle();
    Open(prompts, loaded.command, loaded.path, true);
    ASSERT_GT(g_Style.PieceCount, 0);
    PlaceAll();
    ASSERT_EQ(g_Style.WorkPieceCount, g_Style.PieceCount);
    const Shown before = Now();
    for (const Case& c : kCases) {
      SCOPED_TRACE(loaded.path + " then " + c.name);
      std::string path = c.bytes.empty() ? files_ / "missing.dxf" : files_.AddFile("bad.dxf", c.bytes);
      if (c.special) {
        path = files_ / (std::string(c.special) + ".dxf");
        std::filesystem::remove(path);
        if (std::string(c.special) == "folder") {
          std::filesystem::create_directory(path);
        } else {
          ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        }
      }
      std::filesystem::remove(files_ / "bad.rul");
      if (!c.rules.empty()) files_.AddFile("bad.rul", c.rules);
      const size_t messages = prompts.seen.size();
      Open(prompts, c.command, path, c.asks);
      ASSERT_EQ(prompts.seen.size(), messages + 1);
      EXPECT_EQ(prompts.records().back().text, LoadString(c.message));
      EXPECT_EQ(prompts.seen.back().first, before.pieces.front()) << "the message shows over the loaded style";
      EXPECT_EQ(prompts.seen.back().pieces, static_cast<int>(before.pieces.size()));
      EXPECT_EQ(prompts.seen.back().listed, static_cast<int>(before.listed.size()));
      EXPECT_TRUE(Now() == before);
    }
  }
}

TEST_F(FailedOpenTest, AGoodFileAfterALoadedStyleReplacesIt) {
  WatchingPrompts prompts;
  ScopedPrompts scoped(&prompts);
  Open(prompts, ID_FILE_OPEN_AAMA, files_.AddFile("style.dxf", kAamaStyle), true);
  PlaceAll();
  ASSERT_EQ(g_Style.WorkPieceCount, 1);
  Open(prompts, ID_FILE_OPEN_DXF, files_.AddFile("three.dxf", ThreeSquares()), true);
  EXPECT_TRUE(prompts.seen.empty());
  // The list pane shows the new pieces in the style's order; nothing is
  // placed or selected yet.
  std::vector<CPieceRecord*> pieces;
  CPieceRecord* piece = g_Style.PieceRing;
  for (int i = 0; i < g_Style.PieceCount; ++i, piece = piece->Next) pieces.push_back(piece);
  ASSERT_EQ(pieces.size(), 3u);
  CPatternListBox* list = Frame().GetListBox();
  std::vector<CPieceRecord*> listed;
  for (int i = 0; i < list->GetCount(); ++i) listed.push_back(list->GetItemData(i));
  EXPECT_EQ(listed, pieces);
  EXPECT_EQ(list->GetCurSel(), -1);
  EXPECT_EQ(g_Style.WorkPieceCount, 0);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), nullptr);
  EXPECT_EQ(Frame().GetStyleFile(), CString(files_ / "three"));
}

}  // namespace
