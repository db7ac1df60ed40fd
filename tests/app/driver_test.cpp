// The headless driver: its usage errors, the JSON it dumps after the real
// open commands, the message lines and exit status of refused files, and
// that a refused open leaves what was loaded before.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

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

std::string Dxf(const std::string& entities) {
  return "  0\nSECTION\n  2\nENTITIES\n" + entities + "  0\nENDSEC\n  0\nEOF\n";
}

const char kLine[] = "  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n100\n 21\n0\n";

// One graded piece in AAMA form: a 10 mm square whose corners (0, 0) and
// (10, 0) carry rules 2 and 3 of a five-size table with sample size M.
const char kAamaStyle[] =
    "0\nSECTION\n2\nHEADER\n999\nAuthor: GERBER\n999\nUNITS: METRIC\n0\nENDSEC\n"
    "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n1\n2\nP1\n"
    "0\nTEXT\n8\n1\n10\n0\n20\n0\n1\nPiece Name: FRONT\n"
    "0\nTEXT\n8\n1\n10\n0\n20\n0\n1\nSize: M\n"
    "0\nPOLYLINE\n8\n1\n66\n1\n70\n1\n"
    "0\nVERTEX\n8\n1\n10\n0\n20\n0\n0\nVERTEX\n8\n1\n10\n10\n20\n0\n"
    "0\nVERTEX\n8\n1\n10\n10\n20\n10\n0\nVERTEX\n8\n1\n10\n0\n20\n10\n0\nSEQEND\n"
    "0\nPOINT\n8\n2\n10\n0\n20\n0\n0\nTEXT\n8\n1\n10\n0\n20\n0\n1\n# 2\n"
    "0\nPOINT\n8\n2\n10\n10\n20\n0\n0\nTEXT\n8\n1\n10\n10\n20\n0\n1\n# 3\n"
    "0\nENDBLK\n0\nENDSEC\n0\nEOF\n";
const char kAamaRules[] =
    "UNITS: METRIC\nNUMBER OF SIZES: 5\nSIZE LIST: XS S M L XL\nSAMPLE SIZE: M\n"
    "RULE: DELTA 2\n-2,1 -1,0.5 0,0 1,-0.5 2,-1\n"
    "RULE: DELTA 3\n-4,0 -2,0 0,0 2,0 4,0\nEND\n";

class DriverTest : public ::testing::Test {
 protected:
  QString File(const std::string& name, const std::string& bytes) {
    folder_.AddFile(name, bytes);
    return QString::fromStdString(folder_ / name);
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

TEST_F(DriverTest, ARefusedScaleLeavesTheOpenStyleAndTheLaterStepsRun) {
  const QString dxf = File("line.dxf", Dxf(kLine));
  const QString aama = File("style.dxf", kAamaStyle);
  const DriverRun run = Run({"open-dxf", dxf, "open-aama", aama, "scale=abc", "dump"});
  EXPECT_EQ(run.status, 1);
  const QJsonArray pieces = run.Dump()["pieces"].toArray();
  ASSERT_EQ(pieces.size(), 1);
  EXPECT_EQ(pieces[0].toObject()["items"].toArray().size(), 3);
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
  // 100 mm is 4000 units, plus the gap of the placement.
  const std::vector<Case> cases = {
      {{}, {{0, 0}, {7900, 0}, {0, 7900}}},
      {{"--size", "2000x200"}, {{0, 0}, {7900, 0}, {15800, 0}}},
      {{"--size", "200x2000"}, {{0, 0}, {0, 7900}, {0, 15800}}},
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

}  // namespace
