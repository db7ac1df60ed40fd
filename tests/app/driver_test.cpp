// The headless driver: its usage errors, the JSON it dumps after the real
// open commands, the message lines and exit status of refused files, and
// that a refused open leaves what was loaded before.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include "imports/gerber_export.h"
#include "tests/design_writer/every_object_design.h"
#include "tests/design_writer/pinned_file.h"
#include "tests/imports/gerber_fixture.h"
#include "tests/support/dxf_audit.h"
#include "tests/support/dxf_text.h"
#include "tests/support/file_bytes.h"
#include "tests/support/temp_folder.h"

#ifndef ZVAAMA_DRIVER_EXECUTABLE
#error "the driver tests need the driver's path"
#endif

namespace {

struct DriverRun {
  int status = -1;
  std::string out;
  std::string err;
  // The "message ID TEXT" lines of stderr, by id.
  std::vector<int> messages;

  QJsonObject Dump() const {
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(out));
    return doc.object();
  }
};

DriverRun RunDriver(const QStringList& args) {
  QProcess process;
  process.start(ZVAAMA_DRIVER_EXECUTABLE, args);
  DriverRun run;
  if (!process.waitForFinished(50000)) {
    process.kill();
    process.waitForFinished();
    run.err = "driver did not finish";
    return run;
  }
  run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = process.readAllStandardOutput().toStdString();
  run.err = process.readAllStandardError().toStdString();
  for (const QByteArray& line : QByteArray::fromStdString(run.err).split('\n')) {
    if (line.startsWith("message ")) run.messages.push_back(line.split(' ').value(1).toInt());
  }
  return run;
}

const char kLine[] = "  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n100\n 21\n0\n";

// One graded piece in AAMA form: a 100 mm square whose corners (0, 0) and
// (100, 0) carry rules 2 and 3 of a five-size table with sample size M.
const char kAamaStyle[] =
    "0\nSECTION\n2\nHEADER\n999\nAuthor: GERBER\n999\nUNITS: METRIC\n0\nENDSEC\n"
    "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n1\n2\nP1\n"
    "0\nTEXT\n8\n1\n10\n0\n20\n0\n1\nPiece Name: FRONT\n"
    "0\nTEXT\n8\n1\n10\n0\n20\n0\n1\nSize: M\n"
    "0\nPOLYLINE\n8\n1\n66\n1\n70\n1\n"
    "0\nVERTEX\n8\n1\n10\n0\n20\n0\n0\nVERTEX\n8\n1\n10\n100\n20\n0\n"
    "0\nVERTEX\n8\n1\n10\n100\n20\n100\n0\nVERTEX\n8\n1\n10\n0\n20\n100\n0\nSEQEND\n"
    "0\nPOINT\n8\n2\n10\n0\n20\n0\n0\nTEXT\n8\n1\n10\n0\n20\n0\n1\n# 2\n"
    "0\nPOINT\n8\n2\n10\n100\n20\n0\n0\nTEXT\n8\n1\n10\n100\n20\n0\n1\n# 3\n"
    "0\nENDBLK\n0\nENDSEC\n0\nEOF\n";
const char kAamaRules[] =
    "UNITS: METRIC\nNUMBER OF SIZES: 5\nSIZE LIST: XS S M L XL\nSAMPLE SIZE: M\n"
    "RULE: DELTA 2\n-2,1 -1,0.5 0,0 1,-0.5 2,-1\n"
    "RULE: DELTA 3\n-4,0 -2,0 0,0 2,0 4,0\nEND\n";

class DriverTest : public ::testing::Test {
 protected:
  QString File(const std::string& name, const std::string& bytes) {
    return QString::fromStdString(folder_.AddFile(name, bytes));
  }
  QString Home() const { return QString::fromStdString(home_.path()); }
  DriverRun Run(QStringList steps) {
    steps.prepend(Home());
    steps.prepend("--home");
    return RunDriver(steps);
  }

  TempFolder folder_{"zv_driver"};
  TempFolder home_{"zv_driver_home"};
};

TEST_F(DriverTest, BadUsageExitsWithTwo) {
  const std::vector<QStringList> cases = {
      {},
      {"frobnicate"},
      {"open-dxf"},
      {"open-dxf", "place-all"},
      {"open-dxf", "a.dxf", "unit=furlong"},
      {"open-dxf", "a.dxf", "unit=mm", "unit=cm"},
      {"open-aama", "a.dxf", "unit=mm"},
      {"save-aama", "a.dxf", "notch=4"},
      {"dump", "scale=1"},
      {"--size", "0x5", "dump"},
      {"--size", "800", "dump"},
      {"--home"},
  };
  for (const QStringList& args : cases) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const DriverRun run = RunDriver(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
  }
}

TEST_F(DriverTest, OpenDxfAndPlaceDumpsThePieceAndItsWorkAreaCopy) {
  const QString path = File("line.dxf", Dxf(kLine));
  const DriverRun run = Run({"open-dxf", path, "unit=mm", "place-all", "dump"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.messages.empty()) << run.err;
  const QJsonObject dump = run.Dump();
  EXPECT_EQ(dump["scale"].toInt(), 40);
  EXPECT_EQ(dump["header"].toArray().size(), 5);
  ASSERT_EQ(dump["sizes"].toArray().size(), 1);
  const QJsonArray pieces = dump["pieces"].toArray();
  ASSERT_EQ(pieces.size(), 1);
  const QJsonObject piece = pieces[0].toObject();
  EXPECT_EQ(piece["texts"].toArray().size(), 4);
  EXPECT_EQ(piece["quantity"].toInt(), 1);
  // A single line becomes a square outline with a grain line; 100 mm is 4000
  // units.
  std::vector<int> types;
  for (const QJsonValue item : piece["items"].toArray()) types.push_back(item.toObject()["type"].toInt());
  EXPECT_EQ(types, (std::vector<int>{9, 0, 1}));
  const QJsonArray box = piece["box"].toArray();
  ASSERT_EQ(box.size(), 4);
  EXPECT_EQ(box[2].toInt() - box[0].toInt(), 4000);
  const QJsonArray vertex = piece["items"].toArray()[0].toObject()["vertices"].toArray()[0].toArray();
  EXPECT_EQ(vertex.size(), 5);

  // Placing copied the piece into the work area at a placed rectangle.
  const QJsonArray work = dump["work"].toArray();
  ASSERT_EQ(work.size(), 1);
  const QJsonArray placed = work[0].toObject()["placed"].toArray();
  ASSERT_EQ(placed.size(), 4);
  EXPECT_EQ(placed[2].toInt() - placed[0].toInt(), 4000);
  EXPECT_FALSE(pieces[0].toObject().contains("placed"));
}

TEST_F(DriverTest, OpenAamaReadsTheRuleTableAndItsSizes) {
  const QString path = File("style.dxf", kAamaStyle);
  File("STYLE.RUL", kAamaRules);
  const DriverRun run = Run({"open-aama", path, "scale=1.0", "text-info=0", "dump"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.messages.empty()) << run.err;
  const QJsonObject dump = run.Dump();
  QStringList sizes;
  for (const QJsonValue size : dump["sizes"].toArray()) sizes << size.toObject()["name"].toString();
  EXPECT_EQ(sizes, (QStringList{"M", "XS", "S", "L", "XL"}));
  const QJsonArray pieces = dump["pieces"].toArray();
  ASSERT_EQ(pieces.size(), 1);
  EXPECT_EQ(pieces[0].toObject()["texts"].toArray()[0].toString(), "FRONT");
  EXPECT_TRUE(dump["work"].toArray().isEmpty());
  // The driver closes the window as a user would, which keeps the settings.
  EXPECT_EQ(std::filesystem::file_size(home_ / "kov.dat"), 92u);
}

TEST_F(DriverTest, RefusedAndBrokenFilesGiveTheirMessageAndStatusOne) {
  const std::string binary("AutoCAD Binary DXF\r\n\x1a\0\0SECTION\0", 29);
  const std::string truncated = "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n1.0\n 20\n";
  struct Case {
    const char* name;
    const char* step;
    std::string bytes;
    int message;
  };
  const std::vector<Case> cases = {
      {"binary DXF", "open-dxf", binary, 40005},
      {"binary AAMA", "open-aama", binary, 40007},
      {"ends inside an entity", "open-dxf", truncated, 40004},
      {"missing file", "open-dxf", "", 40002},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = c.bytes.empty() ? QString::fromStdString(folder_ / "missing.dxf") : File("bad.dxf", c.bytes);
    const DriverRun run = Run({c.step, path, "dump"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.messages, std::vector<int>{c.message}) << run.err;
    EXPECT_TRUE(run.Dump()["pieces"].toArray().isEmpty());
  }
}

TEST_F(DriverTest, AFileThatCannotBeReadIsFollowedByWhereAndWhyItStopped) {
  // The POLYLINE's last vertex is cut off after line 12; a GERBER AAMA file
  // breaks off in its POLYLINE after line 26; the binary header is no group
  // code on line 1.
  const std::string cutPolyline = "  0\nSECTION\n  0\nPOLYLINE\n 70\n1\n  0\nVERTEX\n 10\n0\n 20\n0\n";
  const std::string cutAama =
      "0\nSECTION\n2\nHEADER\n999\nAuthor: GERBER\n0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n"
      "0\nPOLYLINE\n8\n1\n70\n1\n0\nVERTEX\n10\n0\n20\n0\n";
  struct Case {
    const char* step;
    std::string bytes;
    std::string message;  // the start of the message line
    std::string reason;   // the line right after it
  };
  const std::vector<Case> cases = {
      {"open-dxf", cutPolyline, "message 40004 ", "reason 12 ends inside POLYLINE"},
      {"open-aama", cutAama, "message 40004 ", "reason 26 ends inside POLYLINE"},
      {"open-aama", std::string("AutoCAD Binary DXF\r\n\x1a\0\0SECTION\0", 29), "message 40007 ",
       "reason 1 not an AAMA file: no SECTION"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    const DriverRun run = Run({c.step, File("cut.dxf", c.bytes)});
    EXPECT_EQ(run.status, 1);
    const size_t message = run.err.find(c.message);
    ASSERT_NE(message, std::string::npos) << run.err;
    const size_t next = run.err.find('\n', message) + 1;
    EXPECT_EQ(run.err.substr(next, c.reason.size() + 1), c.reason + "\n") << run.err;
  }
  // A file that reads well gives no reason line.
  const DriverRun good = Run({"open-dxf", File("line.dxf", Dxf(kLine))});
  EXPECT_EQ(good.status, 0);
  EXPECT_EQ(good.err.find("reason "), std::string::npos) << good.err;
}

TEST_F(DriverTest, ARefusedScaleLeavesTheOpenStyleAndTheLaterStepsRun) {
  const QString dxf = File("line.dxf", Dxf(kLine));
  const QString aama = File("style.dxf", kAamaStyle);
  const DriverRun run = Run({"open-dxf", dxf, "open-aama", aama, "scale=abc", "dump"});
  EXPECT_EQ(run.status, 1);
  const QJsonArray pieces = run.Dump()["pieces"].toArray();
  ASSERT_EQ(pieces.size(), 1);
  EXPECT_EQ(pieces[0].toObject()["items"].toArray().size(), 3);
}

TEST_F(DriverTest, AFailedOpenLeavesTheDumpOfWhatWasLoaded) {
  const QString aama = File("style.dxf", kAamaStyle);
  File("STYLE.RUL", kAamaRules);
  const QString dxf = File("line.dxf", Dxf(kLine));
  const std::string cutAama =
      "0\nSECTION\n2\nHEADER\n999\nAuthor: GERBER\n0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n1\n2\nP1\n"
      "0\nPOLYLINE\n8\n1\n70\n1\n0\nVERTEX\n10\n0\n20\n0\n";
  struct Case {
    const char* name;
    const char* step;
    std::string bytes;  // empty: the file is not there
    int message;
  };
  const std::vector<Case> cases = {
      {"not AAMA", "open-aama", "SECTION\n0\nEOF\n", 40007},
      {"AAMA without a piece", "open-aama",
       "0\nSECTION\n2\nHEADER\n0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n0\nENDSEC\n0\nEOF\n", 40007},
      {"GERBER AAMA cut inside a POLYLINE", "open-aama", cutAama, 40004},
      {"missing AAMA", "open-aama", "", 40002},
      {"binary DXF", "open-dxf", std::string("AutoCAD Binary DXF\r\n\x1a\0\0SECTION\0", 29), 40005},
      {"DXF without a SECTION", "open-dxf", "  0\nEOF\n", 40005},
      {"DXF cut inside a LINE", "open-dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n1.0\n 20\n", 40004},
      {"missing DXF", "open-dxf", "", 40002},
  };
  for (const QString& loaded : {aama, dxf}) {
    const char* open = loaded == aama ? "open-aama" : "open-dxf";
    const DriverRun before = Run({open, loaded, "place-all", "dump"});
    ASSERT_EQ(before.status, 0) << before.err;
    ASSERT_FALSE(before.Dump()["work"].toArray().isEmpty());
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(open) + " then " + c.name);
      const QString bad = c.bytes.empty() ? QString::fromStdString(folder_ / "missing.dxf") : File("bad.dxf", c.bytes);
      const DriverRun after = Run({open, loaded, "place-all", c.step, bad, "dump"});
      EXPECT_EQ(after.status, 1);
      EXPECT_EQ(after.messages, std::vector<int>{c.message}) << after.err;
      EXPECT_EQ(after.out, before.out);
    }
  }
}

TEST_F(DriverTest, TheWorkWindowShapeDecidesWhereThePiecesGo) {
  // Three 100 mm squares: a wide window puts them in a row, a tall one in a
  // column, the default 1024 x 768 one starts a second row.
  std::string squares;
  for (const char* x : {"0", "300", "600"}) {
    const int left = std::stoi(x);
    squares += "  0\nPOLYLINE\n  8\n0\n 66\n1\n 70\n1\n";
    for (const auto& [vx, vy] : {std::pair{left, 0}, {left + 100, 0}, {left + 100, 100}, {left, 100}}) {
      squares += "  0\nVERTEX\n 10\n" + std::to_string(vx) + "\n 20\n" + std::to_string(vy) + "\n";
    }
    squares += "  0\nSEQEND\n";
  }
  const QString path = File("three.dxf", Dxf(squares));
  struct Case {
    std::vector<QString> size;
    std::vector<std::pair<int, int>> corners;  // top-left of each placed piece
  };
  // 100 mm is 4000 units, plus the gap of the placement: the squares mark
  // no point, so they stay squares.
  const std::vector<Case> cases = {
      {{}, {{0, 0}, {6400, 0}, {0, 6400}}},
      {{"--size", "2000x200"}, {{0, 0}, {6400, 0}, {12800, 0}}},
      {{"--size", "200x2000"}, {{0, 0}, {0, 6400}, {0, 12800}}},
  };
  for (const Case& c : cases) {
    QStringList args(c.size.begin(), c.size.end());
    args << "open-dxf" << path << "patterns=many" << "place-all" << "dump";
    SCOPED_TRACE(args.join(' ').toStdString());
    const DriverRun run = Run(args);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::pair<int, int>> corners;
    for (const QJsonValue piece : run.Dump()["work"].toArray()) {
      const QJsonArray placed = piece.toObject()["placed"].toArray();
      corners.emplace_back(placed[0].toInt(), placed[1].toInt());
    }
    EXPECT_EQ(corners, c.corners);
  }
}

// The outline's positions in size `s` for each piece of a dump: the node s
// places after each main vertex, sorted so that where a ring starts does not
// matter.
std::vector<std::vector<std::pair<int, int>>> OutlinesInSize(const QJsonArray& pieces, int s) {
  std::vector<std::vector<std::pair<int, int>>> outlines;
  for (const QJsonValue piece : pieces) {
    for (const QJsonValue item : piece.toObject()["items"].toArray()) {
      if (item.toObject()["type"].toInt() != 0) continue;
      const QJsonArray nodes = item.toObject()["vertices"].toArray();
      // The readers move a piece to the origin by the box of all its sizes,
      // which grading may change: measure from the base size's corner.
      std::vector<std::pair<int, int>> points;
      int baseX = INT_MAX;
      int baseY = INT_MAX;
      for (int i = 0; i + s < nodes.size(); ++i) {
        if ((nodes[i].toArray()[0].toInt() & 0xFF) >= 64) continue;
        baseX = std::min(baseX, nodes[i].toArray()[1].toInt());
        baseY = std::min(baseY, nodes[i].toArray()[2].toInt());
        const QJsonArray at = nodes[i + s].toArray();
        points.emplace_back(at[1].toInt(), at[2].toInt());
      }
      for (auto& [x, y] : points) {
        x -= baseX;
        y -= baseY;
      }
      std::sort(points.begin(), points.end());
      outlines.push_back(points);
      break;
    }
  }
  return outlines;
}

bool Near(const std::vector<std::pair<int, int>>& a, const std::vector<std::pair<int, int>>& b, int tolerance) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::abs(a[i].first - b[i].first) > tolerance || std::abs(a[i].second - b[i].second) > tolerance) return false;
  }
  return true;
}

QStringList SizeNames(const QJsonObject& dump) {
  QStringList names;
  for (const QJsonValue size : dump["sizes"].toArray()) names << size.toObject()["name"].toString();
  return names;
}

TEST_F(DriverTest, SaveAamaAndOpenItAgainKeepsSizesNamesAndEveryOutline) {
  const QString style = File("style.dxf", kAamaStyle);
  File("style.rul", kAamaRules);
  const QString saved = QString::fromStdString(folder_ / "out.dxf");
  const DriverRun run = Run({"open-aama", style, "dump", "save-aama", saved, "pieces=all", "open-aama", saved, "dump"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.messages.empty()) << run.err;
  // Two dumps, one per line.
  const size_t split = run.out.find('\n');
  ASSERT_NE(split, std::string::npos);
  const QJsonObject before = QJsonDocument::fromJson(QByteArray::fromStdString(run.out.substr(0, split))).object();
  const QJsonObject after = QJsonDocument::fromJson(QByteArray::fromStdString(run.out.substr(split + 1))).object();
  EXPECT_TRUE(std::filesystem::exists(folder_ / "out.rul"));
  EXPECT_DXF_AUDIT_OK(folder_ / "out.dxf");

  EXPECT_EQ(SizeNames(after), SizeNames(before));
  const QJsonArray a = before["pieces"].toArray();
  const QJsonArray b = after["pieces"].toArray();
  ASSERT_EQ(a.size(), b.size());
  for (int i = 0; i < a.size(); ++i) {
    EXPECT_EQ(b[i].toObject()["texts"].toArray()[0], a[i].toObject()["texts"].toArray()[0]);
    EXPECT_EQ(b[i].toObject()["quantity"], a[i].toObject()["quantity"]);
  }
  for (int s = 0; s < 5; ++s) {
    SCOPED_TRACE(s);
    const auto was = OutlinesInSize(a, s);
    const auto is = OutlinesInSize(b, s);
    ASSERT_EQ(was.size(), is.size());
    for (size_t p = 0; p < was.size(); ++p) EXPECT_TRUE(Near(was[p], is[p], 1));
  }
}

TEST_F(DriverTest, SaveDxfWithSizesApartGivesOnePieceASize) {
  const QString style = File("style.dxf", kAamaStyle);
  File("style.rul", kAamaRules);
  const QString saved = QString::fromStdString(folder_ / "plain.dxf");
  const DriverRun run =
      Run({"open-aama", style, "save-dxf", saved, "sizes=separate", "open-dxf", saved, "patterns=many", "dump"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_DXF_AUDIT_OK(folder_ / "plain.dxf");
  EXPECT_EQ(run.Dump()["pieces"].toArray().size(), 5);
}

TEST_F(DriverTest, AamaExportOptionsCarryOverToTheNextRun) {
  const QString style = File("style.dxf", kAamaStyle);
  File("style.rul", kAamaRules);
  // Without the rule table the first time; the next run's dialog starts from
  // that choice.
  ASSERT_EQ(Run({"open-aama", style, "save-aama", QString::fromStdString(folder_ / "one.dxf"), "grade-to-rul=0"}).status, 0);
  ASSERT_EQ(Run({"open-aama", style, "save-aama", QString::fromStdString(folder_ / "two.dxf")}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "two.dxf"));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "one.rul"));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "two.rul"));
}

TEST_F(DriverTest, SavesThatCannotWriteFailWithTheirMessage) {
  const QString style = File("style.dxf", kAamaStyle);
  File("style.rul", kAamaRules);
  const QString target = QString::fromStdString(folder_ / "out.dxf");
  struct Case {
    const char* name;
    QStringList steps;
    std::vector<int> messages;
  };
  const std::vector<Case> cases = {
      {"empty work area, DXF", {"open-aama", style, "save-dxf", target, "pieces=work"}, {40001}},
      {"empty work area, AAMA", {"open-aama", style, "save-aama", target, "pieces=work"}, {40001}},
      {"missing folder", {"open-aama", style, "save-dxf", QString::fromStdString(folder_ / "no/out.dxf")}, {40001}},
      // Nothing to save: the command is not offered.
      {"empty style", {"save-aama", target}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DriverRun run = Run(c.steps);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.messages, c.messages) << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder_ / "out.dxf"));
  }
}

// A file as other pattern systems write it: empty layout blocks first, each
// piece named only by its block, an INSERT per block.
TEST_F(DriverTest, OpenAamaOfAnotherSystemGivesOneNamedPiecePerBlock) {
  std::string file = "0\nSECTION\n2\nHEADER\n999\nUNITS: METRIC\n0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n"
                     "0\nBLOCK\n8\n0\n2\n*MODEL_SPACE\n0\nENDBLK\n0\nBLOCK\n8\n0\n2\n*PAPER_SPACE\n0\nENDBLK\n";
  const std::pair<const char*, int> kPieces[] = {{"FRONT", 300}, {"BACK", 250}, {"SLEEVE", 200}};
  for (const auto& [name, size] : kPieces) {
    const std::string s = std::to_string(size);
    file += std::string("0\nBLOCK\n8\n0\n2\n") + name + "\n0\nPOLYLINE\n8\n1\n66\n1\n70\n1\n" +
            "0\nVERTEX\n8\n1\n10\n0\n20\n0\n0\nVERTEX\n8\n1\n10\n" + s + "\n20\n0\n" +
            "0\nVERTEX\n8\n1\n10\n" + s + "\n20\n" + s + "\n0\nVERTEX\n8\n1\n10\n0\n20\n" + s +
            "\n0\nSEQEND\n0\nENDBLK\n";
  }
  file += "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
  for (const auto& [name, size] : kPieces) file += std::string("0\nINSERT\n8\n1\n2\n") + name + "\n10\n0\n20\n0\n";
  file += "0\nENDSEC\n0\nEOF\n";

  const DriverRun run = Run({"open-aama", File("other.dxf", file), "scale=1.0", "text-info=0", "dump"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.messages.empty()) << run.err;
  const QJsonObject dump = run.Dump();
  EXPECT_EQ(dump["sizes"].toArray().size(), 1);
  const QJsonArray pieces = dump["pieces"].toArray();
  ASSERT_EQ(pieces.size(), 3);
  for (int i = 0; i < 3; ++i) {
    const auto& [name, size] = kPieces[i];
    SCOPED_TRACE(name);
    const QJsonObject piece = pieces[i].toObject();
    EXPECT_EQ(piece["texts"].toArray()[0].toString(), name);
    const int side = size * dump["scale"].toInt();
    EXPECT_EQ(piece["box"].toArray(), (QJsonArray{0, 0, side, side}));
  }
}

}  // namespace

// The native file through the driver: an AAMA style saved natively, opened
// and saved again gives the same bytes, and the reopened style keeps its
// sizes, header texts, scale, piece texts and outline.
TEST_F(DriverTest, SavePtnOpenItAndSaveAgainGivesTheSameFile) {
  const QString style = File("style.dxf", kAamaStyle);
  File("style.rul", kAamaRules);
  const QString first = QString::fromStdString(folder_ / "first.ptn");
  const QString second = QString::fromStdString(folder_ / "second.ptn");
  const DriverRun run =
      Run({"open-aama", style, "dump", "save-ptn", first, "open-ptn", first, "dump", "save-ptn", second});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.messages.empty()) << run.err;
  const std::string a = ReadFile(folder_ / "first.ptn");
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(ReadFile(folder_ / "second.ptn"), a);

  const size_t split = run.out.find('\n');
  ASSERT_NE(split, std::string::npos);
  const QJsonObject before = QJsonDocument::fromJson(QByteArray::fromStdString(run.out.substr(0, split))).object();
  const QJsonObject after = QJsonDocument::fromJson(QByteArray::fromStdString(run.out.substr(split + 1))).object();
  EXPECT_EQ(SizeNames(after), SizeNames(before));
  EXPECT_EQ(after["header"], before["header"]);
  EXPECT_EQ(after["scale"], before["scale"]);
  EXPECT_EQ(after["version"].toInt(), 121);
  const QJsonArray was = before["pieces"].toArray();
  const QJsonArray is = after["pieces"].toArray();
  ASSERT_EQ(is.size(), was.size());
  for (int i = 0; i < was.size(); ++i) EXPECT_EQ(is[i].toObject()["texts"], was[i].toObject()["texts"]);
  for (int s = 0; s < 5; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(OutlinesInSize(is, s), OutlinesInSize(was, s));
  }
}

TEST_F(DriverTest, ANativeFileThatIsNoneOfOursIsRefusedWithWhereItStopped) {
  const QString bad = File("bad.ptn", std::string("\x78\x56\x34\x12\x79\x00\x00\x00", 8) + std::string(90, '\0'));
  const DriverRun run = Run({"open-ptn", bad, "dump"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.messages, std::vector<int>{40003}) << run.err;
  EXPECT_NE(run.err.find("reason "), std::string::npos) << run.err;
  EXPECT_EQ(run.Dump()["pieces"].toArray().size(), 0);
}

// The small archive file pinned byte by byte: its stored piece becomes the
// style.
TEST_F(DriverTest, ANativeArchiveFileOpensWithItsStoredPiece) {
  const QString path = File("pinned.ptn", std::string(reinterpret_cast<const char*>(design_fixture::kPinnedFile),
                                                      sizeof design_fixture::kPinnedFile));
  const DriverRun run = Run({"open-ptn", path, "dump"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.messages.empty()) << run.err;
  const QJsonObject dump = run.Dump();
  EXPECT_EQ(dump["scale"].toInt(), 10);
  EXPECT_EQ(dump["version"].toInt(), 121);
  EXPECT_EQ(dump["sizes"].toArray().size(), 1);
  const QJsonArray pieces = dump["pieces"].toArray();
  ASSERT_EQ(pieces.size(), 1);
  const QJsonObject piece = pieces[0].toObject();
  EXPECT_EQ(piece["texts"].toArray()[0].toString(), "A");
  const QJsonArray items = piece["items"].toArray();
  ASSERT_EQ(items.size(), 1);
  EXPECT_EQ(items[0].toObject()["type"].toInt(), 0);
  EXPECT_EQ(items[0].toObject()["vertices"].toArray().size(), 3);
}

// A design with an object of every kind the archive layout knows: its stored
// piece becomes the style.
TEST_F(DriverTest, AnArchiveFileOfEveryObjectOpensWithItsStoredPiece) {
  const QString path = File("every.ptn", design_fixture::EveryObjectDesign(150));
  const DriverRun run = Run({"open-ptn", path, "dump"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.messages.empty()) << run.err;
  const QJsonObject dump = run.Dump();
  EXPECT_EQ(dump["sizes"].toArray().size(), 2);
  const QJsonArray pieces = dump["pieces"].toArray();
  ASSERT_EQ(pieces.size(), 1);
  EXPECT_EQ(pieces[0].toObject()["texts"].toArray()[0].toString(), "EVERY");
  const QJsonArray items = pieces[0].toObject()["items"].toArray();
  ASSERT_EQ(items.size(), 1);
  // The four corners of the outline, each with its copy for the second size.
  EXPECT_EQ(items[0].toObject()["vertices"].toArray().size(), 8);
}

// --- the Gerber and Lectra imports ----------------------------------------------

namespace {

namespace gf = gerber_fixture;

std::string GerberPieceFile(const std::string& name) {
  return gf::ExportFile(name, kGgtPieceFile, gf::SquarePieceRecord(10000));
}

std::string GerberStyleFile(const std::string& name, const std::vector<std::string>& pieces) {
  std::vector<std::string> entries;
  for (const std::string& piece : pieces) entries.push_back(gf::PieceEntry(piece));
  return gf::ExportFile(name, kGgtStyleFile, gf::StyleData(static_cast<uint16_t>(entries.size()), entries, {}));
}

QStringList PieceNames(const QJsonObject& dump) {
  QStringList names;
  for (const QJsonValue piece : dump["pieces"].toArray()) {
    names << piece.toObject()["texts"].toArray()[0].toString();
  }
  return names;
}

// Gerber folders for the driver: a storage folder of JACKET (FRONT, BACK)
// and SKIRT (PANEL), export files of the styles SHIRT (FRONT) and SKIRT
// (PANEL, BAND), the piece files FRONT and BAND alone, and a zip archive of
// the export files FRONT and BACK.
class GerberDriverTest : public DriverTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(folder_ / "storage");
    for (const auto& [name, bytes] : gf::TwoModelStorageFiles()) folder_.AddFile("storage/" + name, bytes);
    std::filesystem::create_directory(folder_ / "export");
    folder_.AddFile("export/s1.tmp", GerberStyleFile("SHIRT", {"FRONT"}));
    folder_.AddFile("export/s2.tmp", GerberStyleFile("SKIRT", {"PANEL", "BAND"}));
    folder_.AddFile("export/p1.tmp", GerberPieceFile("FRONT"));
    folder_.AddFile("export/p2.tmp", GerberPieceFile("PANEL"));
    folder_.AddFile("export/p3.tmp", GerberPieceFile("BAND"));
    std::filesystem::create_directory(folder_ / "loose");
    folder_.AddFile("loose/p1.tmp", GerberPieceFile("FRONT"));
    folder_.AddFile("loose/p2.tmp", GerberPieceFile("BAND"));
    folder_.AddFile("style.zip", gf::StoredZip({{"p1.tmp", GerberPieceFile("FRONT")},
                                                {"p2.tmp", GerberPieceFile("BACK")}}));
  }
  QString Path(const std::string& name) const { return QString::fromStdString(folder_ / name); }
};

}  // namespace

TEST_F(GerberDriverTest, GerberStepsAnswerTheImportDialogsByName) {
  struct Case {
    QStringList step;
    QString styleName;
    QStringList pieces;
  };
  const std::vector<Case> cases = {
      {{"open-gerber-folder", Path("storage"), "model=SKIRT"}, "SKIRT", {"PANEL"}},
      {{"open-gerber-folder", Path("storage"), "model=JACKET"}, "JACKET", {"FRONT", "BACK"}},
      {{"open-gerber-tmp", Path("export"), "style=SKIRT"}, "SKIRT", {"PANEL", "BAND"}},
      {{"open-gerber-tmp", Path("export"), "new=TYPED", "pieces=BAND"}, "TYPED", {"BAND"}},
      {{"open-gerber-tmp", Path("export"), "new=TYPED", "pieces=FRONT,BAND"}, "TYPED", {"FRONT", "BAND"}},
      {{"open-gerber-tmp", Path("export"), "new=ALL", "pieces=all"}, "ALL", {"FRONT", "PANEL", "BAND"}},
      // Without style files the dialog opens with every piece selected.
      {{"open-gerber-tmp", Path("loose"), "new=TYPED", "pieces=BAND"}, "TYPED", {"BAND"}},
      {{"open-gerber-tmp", Path("loose"), "new=TYPED"}, "TYPED", {"FRONT", "BAND"}},
      {{"open-gerber-zip", Path("style.zip")}, "", {"FRONT", "BACK"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step.join(' ').toStdString());
    const DriverRun run = Run(c.step + QStringList{"dump"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.messages.empty()) << run.err;
    const QJsonObject dump = run.Dump();
    EXPECT_EQ(dump["header"].toArray()[1].toString(), c.styleName);
    EXPECT_EQ(PieceNames(dump), c.pieces);
  }
  // The zip form left its export files in the program folder's "TMP/".
  EXPECT_TRUE(std::filesystem::exists(home_ / "TMP/p1.tmp"));
  EXPECT_TRUE(std::filesystem::exists(home_ / "TMP/p2.tmp"));
}

TEST_F(GerberDriverTest, GerberStepFailsWhenADialogRefusesItsAnswer) {
  struct Case {
    QStringList step;
    std::vector<int> messages;
  };
  const std::vector<Case> cases = {
      {{"open-gerber-folder", Path("export")}, {}},
      {{"open-gerber-folder", Path("storage"), "model=COAT"}, {}},
      {{"open-gerber-tmp", Path("export"), "style=COAT"}, {}},
      {{"open-gerber-tmp", Path("export"), "new=TYPED", "pieces=COAT"}, {}},
      {{"open-gerber-zip", Path("missing.zip")}, {40002}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step.join(' ').toStdString());
    const DriverRun run = Run(c.step);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.messages, c.messages) << run.err;
    EXPECT_NE(run.err.find(c.step[0].toStdString() + " failed"), std::string::npos) << run.err;
  }
}

// The Lectra converter is the "convert" of the --home folder: a stub that
// copies the AAMA pair lying beside each listed IBA file into "DXF/".
TEST_F(DriverTest, OpenIbaRunsTheConverterOfTheHomeFolder) {
  const std::string converter = home_.AddFile(
      "convert",
      "#!/bin/sh\n"
      "[ \"$1\" = ./ACTCONFIG/AAMA.ACT ] && [ \"$2\" = graphic ] || exit 3\n"
      "tr -d '\\r' < ACTCONFIG/AAMA.LST | while IFS= read -r line; do\n"
      "  path=\"${line% }\"; base=\"${path%.*}\"; name=$(basename \"$base\")\n"
      "  cp \"$base.dxf\" \"DXF/$name.DXF\" && cp \"$base.rul\" \"DXF/$name.RUL\" || exit 4\n"
      "done\n");
  std::filesystem::permissions(converter, std::filesystem::perms::owner_all);
  const QString iba = File("a.IBA", "IBA");
  File("a.dxf", kAamaStyle);
  File("a.rul", kAamaRules);
  const DriverRun run = Run({"open-iba", iba, "dump"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.messages.empty()) << run.err;
  const QJsonObject dump = run.Dump();
  EXPECT_EQ(PieceNames(dump), QStringList{"FRONT"});
  EXPECT_EQ(dump["sizes"].toArray().size(), 5);
}
